#include "private_file.h"

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
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
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

void KeepNewFilesPrivate() { ::umask(077); }
