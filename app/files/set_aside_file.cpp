#include "files/set_aside_file.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Renames without ever replacing a file already at `to`: EEXIST when one is there.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace rename: a hard link refuses an existing name too.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    if (::unlink(from.c_str()) != 0) {
        ::unlink(to.c_str());
        return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> SetAsideUnreadableFile(const std::string& path, std::time_t now) {
    const std::filesystem::path original(path);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = original.stem().string() + ".unreadable-" + stamp;
    const std::string extension = original.extension().string();
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string name = base + (attempt == 1 ? "" : "-" + std::to_string(attempt)) + extension;
        const std::string target = (original.parent_path() / name).string();
        if (RenameWithoutReplacing(path, target)) return target;
        if (errno != EEXIST) return std::nullopt;
    }
    return std::nullopt;
}
