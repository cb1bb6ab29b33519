#include "data_folder_seed.h"

#include <QCryptographicHash>
#include <QByteArrayView>

#include <algorithm>
#include <map>
#include <optional>
#include <sstream>
#include <system_error>

#include "atomic_file.h"

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
    return text.size() == kHexDigestLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

// "<checksum> <path>" per line. Lines that do not fit are dropped: at worst a file is
// treated as one we never copied, which keeps it as it is.
Manifest ReadManifest(const fs::path& file) {
    Manifest manifest;
    std::vector<uint8_t> bytes;
    if (ReadWholeFile(file.string(), bytes) != ArchiveError::None) return manifest;
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
    for (const auto& [path, digest] : manifest) text += digest + ' ' + path + '\n';
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

bool WriteFile(const fs::path& target, const std::vector<uint8_t>& bytes, std::vector<std::string>& problems) {
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (ec || ReplaceFileAtomically(target.string(), view) != ArchiveError::None) {
        problems.push_back("cannot write " + target.string());
        return false;
    }
    return true;
}

}  // namespace

SeedOutcome SeedDataFolder(const fs::path& shippedData, const fs::path& dataFolder) {
    SeedOutcome outcome;
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

        std::error_code ec;
        const fs::file_status status = fs::status(target, ec);
        if (!fs::exists(status)) {
            if (recorded != manifest.end()) continue;  // deleted by the user
            if (WriteFile(target, shipped, outcome.problems)) {
                manifest[relative] = shippedSum;
                ++outcome.copied;
            }
            continue;
        }
        std::vector<uint8_t> current;
        if (!fs::is_regular_file(status) || ReadWholeFile(target.string(), current) != ArchiveError::None) {
            outcome.problems.push_back("cannot read " + target.string());
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
    if (manifest != before && ReplaceFileAtomically(manifestFile.string(), ManifestText(manifest)) != ArchiveError::None)
        outcome.problems.push_back("cannot write " + manifestFile.string());
    return outcome;
}

}  // namespace vorla
