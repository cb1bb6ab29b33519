#include "tools/vorlapaged/users_file.h"

#include <crypt.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "files/atomic_file.h"

namespace fs = std::filesystem;

std::optional<std::string> HashPassword(std::string_view password) {
    char salt[CRYPT_GENSALT_OUTPUT_SIZE];
    if (!crypt_gensalt_rn("$y$", 0, nullptr, 0, salt, sizeof salt)) return std::nullopt;
    auto data = std::make_unique<crypt_data>();
    const std::string text(password);
    const char* hash = crypt_r(text.c_str(), salt, data.get());
    if (!hash || hash[0] == '*') return std::nullopt;
    return std::string(hash);
}

bool PasswordMatches(std::string_view password, const std::string& hash) {
    if (hash.empty() || hash[0] != '$') return false;
    auto data = std::make_unique<crypt_data>();
    const std::string text(password);
    const char* made = crypt_r(text.c_str(), hash.c_str(), data.get());
    if (!made || made[0] == '*') return false;
    const std::string_view got(made);
    if (got.size() != hash.size()) return false;
    unsigned char difference = 0;
    for (size_t i = 0; i < got.size(); ++i)
        difference |= static_cast<unsigned char>(got[i] ^ hash[i]);
    return difference == 0;
}

bool UsersFile::Load(std::string* problem) {
    std::error_code error;
    const fs::file_status status = fs::status(path_, error);
    if (error || !fs::is_regular_file(status)) {
        users_.clear();
        stamp_.reset();
        *problem = path_ + " is missing";
        return false;
    }
    constexpr fs::perms kOthers = fs::perms::group_all | fs::perms::others_all;
    if ((status.permissions() & kOthers) != fs::perms::none) {
        users_.clear();
        stamp_.reset();
        *problem = path_ + " may be read by others (it must have mode 0600); it is not used";
        return false;
    }
    const auto size = static_cast<long long>(fs::file_size(path_, error));
    const auto time = static_cast<long long>(fs::last_write_time(path_, error).time_since_epoch().count());
    if (stamp_ && stamp_->first == size && stamp_->second == time) return true;
    std::ifstream in(path_);
    if (!in) {
        *problem = path_ + " cannot be read";
        return false;
    }
    users_.clear();
    std::string line;
    while (std::getline(in, line)) {
        const size_t colon = line.find(':');
        if (colon == 0 || colon == std::string::npos) continue;
        users_.emplace_back(line.substr(0, colon), line.substr(colon + 1));
    }
    stamp_ = {size, time};
    return true;
}

bool UsersFile::Check(std::string_view user, std::string_view password, std::string* problem) {
    if (!Load(problem)) return false;
    for (const auto& [name, hash] : users_)
        if (name == user) return PasswordMatches(password, hash);
    // The same work as for a known user, so the time does not tell which names exist.
    static const std::string unknown = HashPassword("-").value_or(std::string());
    PasswordMatches(password, unknown);
    return false;
}

bool UsersFile::Set(std::string_view user, std::string_view password, std::string* error) {
    std::string problem;
    const bool exists = fs::exists(path_);
    if (exists && !Load(&problem)) {
        *error = problem;
        return false;
    }
    const std::optional<std::string> hash = HashPassword(password);
    if (!hash) {
        *error = "the system's crypt could not make a yescrypt hash";
        return false;
    }
    bool replaced = false;
    for (auto& [name, stored] : users_) {
        if (name == user) {
            stored = *hash;
            replaced = true;
        }
    }
    if (!replaced) users_.emplace_back(std::string(user), *hash);
    std::ostringstream text;
    for (const auto& [name, stored] : users_)
        text << name << ':' << stored << '\n';
    if (ReplaceFileAtomically(path_, text.str()) != ArchiveError::None) {
        *error = path_ + " could not be written";
        return false;
    }
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace,
                    ignored);
    stamp_.reset();
    return true;
}
