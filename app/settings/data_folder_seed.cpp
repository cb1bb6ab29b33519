#include "settings/data_folder_seed.h"

#include <QByteArrayView>
#include <QCryptographicHash>

#include <algorithm>
#include <map>
#include <optional>
#include <sstream>
#include <system_error>

#include "files/atomic_file.h"
#include "files/private_file.h"

namespace vorla {

namespace fs = std::filesystem;

namespace {

using Manifest = std::map<std::string, std::string>;  // relative path -> hex SHA-256

constexpr std::size_t kHexDigestLength = 64;

std::string Checksum(const std::vector<uint8_t>& bytes) {
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

bool IsHexDigest(std::string_view text) {
    return text.size() == kHexDigestLength && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// "<checksum> <path>" per line. Lines that do not fit are dropped: at worst a file is
// treated as one we never copied, which keeps it as it is.
Manifest ReadManifest(const fs::path& file) {
    Manifest manifest;
    std::vector<uint8_t> bytes;
    if (!ReadRegularFileNoFollow(file.string(), bytes)) return manifest;
    std::istringstream lines(std::string(bytes.begin(), bytes.end()));
    for (std::string line; std::getline(lines, line);) {
        if (line.size() < kHexDigestLength + 2 || line[kHexDigestLength] != ' ') continue;
        const std::string digest = line.substr(0, kHexDigestLength);
        if (IsHexDigest(digest)) manifest[line.substr(kHexDigestLength + 1)] = digest;
    }
    return manifest;
}

std::string ManifestText(const Manifest& manifest) {
    std::string text;
    for (const auto& [path, digest] : manifest)
        text += digest + ' ' + path + '\n';
    return text;
}

// Every regular file under the shipped folder, as "/"-separated relative paths in order.
std::vector<std::string> ShippedFiles(const fs::path& shippedData, std::vector<std::string>& problems) {
    std::vector<std::string> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(shippedData, fs::directory_options::skip_permission_denied, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        const std::string relative = it->path().lexically_relative(shippedData).generic_string();
        // Newlines would break the manifest's lines; nobody ships such names.
        if (relative.find('\n') == std::string::npos) files.push_back(relative);
    }
    if (ec) problems.push_back("cannot list " + shippedData.string() + ": " + ec.message());
    std::sort(files.begin(), files.end());
    return files;
}

// The folders from the data folder down to `relative`'s own, made (0700) where missing. Each
// must be a folder of this user itself: a symbolic link (or someone else's folder) on the way
// could send the copy anywhere, so nothing is written below it.
bool OwnFoldersUpTo(const fs::path& dataFolder, const std::string& relative,
                    std::vector<std::string>& problems) {
    fs::path folder = dataFolder;
    for (const fs::path& part : fs::path(relative).parent_path()) {
        folder /= part;
        if (!MakePrivateFolder(folder.string()) || !IsOwnFolder(folder.string())) {
            problems.push_back(folder.string() +
                               " is not a folder of this user (a symbolic link?): nothing is copied into it");
            return false;
        }
    }
    return true;
}

bool WriteFile(const fs::path& target, const std::vector<uint8_t>& bytes,
               std::vector<std::string>& problems) {
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (ReplaceFileAtomically(target.string(), view) != ArchiveError::None) {
        problems.push_back("cannot write " + target.string());
        return false;
    }
    return true;
}

}  // namespace

SeedOutcome SeedDataFolder(const fs::path& shippedData, const fs::path& dataFolder) {
    SeedOutcome outcome;
    {
        std::error_code ec;
        // It holds the user's directory and log: a folder others may look into is narrowed.
        const fs::perms perms = fs::status(dataFolder, ec).permissions();
        if (!ec && (perms & (fs::perms::group_all | fs::perms::others_all)) != fs::perms::none) {
            fs::permissions(dataFolder, fs::perms::group_all | fs::perms::others_all,
                            fs::perm_options::remove, ec);
            if (ec)
                outcome.problems.push_back("cannot narrow " + dataFolder.string() +
                                           " to its owner: " + ec.message());
        }
    }
    const fs::path manifestFile = dataFolder / kSeedManifestName;
    Manifest manifest = ReadManifest(manifestFile);
    const Manifest before = manifest;

    for (const std::string& relative : ShippedFiles(shippedData, outcome.problems)) {
        std::vector<uint8_t> shipped;
        if (ReadWholeFile((shippedData / relative).string(), shipped) != ArchiveError::None) {
            outcome.problems.push_back("cannot read " + (shippedData / relative).string());
            continue;
        }
        const std::string shippedSum = Checksum(shipped);
        const fs::path target = dataFolder / relative;
        const auto recorded = manifest.find(relative);
        if (!OwnFoldersUpTo(dataFolder, relative, outcome.problems)) continue;

        std::error_code ec;
        // The name itself, never what a link there points to.
        const fs::file_status status = fs::symlink_status(target, ec);
        if (!fs::exists(status)) {
            if (recorded != manifest.end()) continue;  // deleted by the user
            if (WriteFile(target, shipped, outcome.problems)) {
                manifest[relative] = shippedSum;
                ++outcome.copied;
            }
            continue;
        }
        std::vector<uint8_t> current;
        if (!fs::is_regular_file(status) || !ReadRegularFileNoFollow(target.string(), current)) {
            outcome.problems.push_back((fs::is_symlink(status)
                                            ? target.string() + " is a symbolic link: left alone"
                                            : "cannot read " + target.string()));
            continue;
        }
        const std::string currentSum = Checksum(current);
        if (currentSum == shippedSum) {
            manifest[relative] = shippedSum;
        } else if (recorded != manifest.end() && recorded->second == currentSum) {
            if (WriteFile(target, shipped, outcome.problems)) {
                manifest[relative] = shippedSum;
                ++outcome.updated;
            }
        } else {
            ++outcome.keptChanged;
        }
    }
    if (manifest != before &&
        ReplaceFileAtomically(manifestFile.string(), ManifestText(manifest)) != ArchiveError::None)
        outcome.problems.push_back("cannot write " + manifestFile.string());
    return outcome;
}

}  // namespace vorla
