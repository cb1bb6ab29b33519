#include "files/private_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

constexpr unsigned kPermissionBits = 0777;

std::FILE* AsStdioFile(int fd, const char* mode) {
    if (fd < 0) return nullptr;
    std::FILE* file = fdopen(fd, mode);
    if (!file) ::close(fd);
    return file;
}

}  // namespace

unsigned ReplacementModeFor(const std::string& path) {
    struct stat old {};
    if (::stat(path.c_str(), &old) != 0) return kPrivateFileMode;
    const unsigned mode = old.st_mode & kPermissionBits;
    return (mode & ~kPrivateFileMode) == 0 ? mode : kPrivateFileMode;
}

std::FILE* OpenPrivateFileForWriting(const std::string& path, unsigned mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, mode);
    // The umask may have taken bits away, and an old file keeps its own mode: set it exactly.
    if (fd >= 0 && ::fchmod(fd, mode) != 0) {
        ::close(fd);
        return nullptr;
    }
    return AsStdioFile(fd, "wb");
}

std::FILE* OpenUnnamedPrivateFile(const std::string& folder, unsigned mode) {
#ifdef O_TMPFILE
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd >= 0 && ::fchmod(fd, mode) != 0) {
        ::close(fd);
        return nullptr;
    }
    return AsStdioFile(fd, "wb");
#else
    (void)folder;
    (void)mode;
    return nullptr;
#endif
}

bool NameUnnamedFile(std::FILE* file, const std::string& path) {
    // Linking by the descriptor itself (AT_EMPTY_PATH) needs a privilege; its /proc entry does not.
    const std::string self = "/proc/self/fd/" + std::to_string(fileno(file));
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

std::FILE* OpenPrivateFileForAppending(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, kPrivateFileMode);
    struct stat now {};
    if (fd >= 0 && ::fstat(fd, &now) == 0 && (now.st_mode & kPermissionBits & ~kPrivateFileMode) != 0 &&
        ::fchmod(fd, kPrivateFileMode) != 0) {
        ::close(fd);
        return nullptr;
    }
    return AsStdioFile(fd, "ab");
}

std::optional<FileIdentity> IdentifyFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return FileIdentity{static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
                        static_cast<uint64_t>(info.st_size)};
}

namespace {

bool WriteAllAt(int fd, std::string_view bytes, uint64_t at) {
    while (!bytes.empty()) {
        const ssize_t done = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(at));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(done));
        at += static_cast<uint64_t>(done);
    }
    return true;
}

bool Patch(int fd, const FileIdentity& expected, uint64_t end, std::string_view tail, uint64_t patchAt,
           std::string_view patch) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || static_cast<uint64_t>(info.st_dev) != expected.device ||
        static_cast<uint64_t>(info.st_ino) != expected.inode || static_cast<uint64_t>(info.st_size) < end) {
        return false;
    }
    const uint64_t newEnd = end + tail.size();
    if (!WriteAllAt(fd, tail, end)) return false;
    if (static_cast<uint64_t>(info.st_size) > newEnd && ::ftruncate(fd, static_cast<off_t>(newEnd)) != 0)
        return false;
    // The tail must be on the disk before the patch that makes readers see it.
    if (::fdatasync(fd) != 0) return false;
    return WriteAllAt(fd, patch, patchAt) && ::fdatasync(fd) == 0;
}

}  // namespace

bool AppendThenPatch(const std::string& path, const FileIdentity& expected, uint64_t end,
                     std::string_view tail, uint64_t patchAt, std::string_view patch) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool done = Patch(fd, expected, end, tail, patchAt, patch);
    return ::close(fd) == 0 && done;
}

void KeepNewFilesPrivate() {
    ::umask(077);
}

bool ReadRegularFileNoFollow(const std::string& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    uint8_t chunk[65536];
    while (ok) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    ::close(fd);
    if (!ok) bytes.clear();
    return ok;
}

bool IsOwnFolder(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
}

bool MakePrivateFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}
