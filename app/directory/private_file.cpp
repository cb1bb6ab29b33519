#include "private_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
