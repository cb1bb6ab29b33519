#include "atomic_file.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "file_sync.h"

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::string TemporaryNameFor(const std::string& path) {
  // Unique within the process; one process owns a program directory at a time.
  static std::atomic<unsigned> counter{0};
  return path + ".tmp" + std::to_string(counter.fetch_add(1));
}

}  // namespace

ArchiveError ReadWholeFile(const std::string& path, std::vector<uint8_t>& out) {
  out.clear();
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return ArchiveError::Io;
  uint8_t chunk[65536];
  for (;;) {
    size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    out.insert(out.end(), chunk, chunk + got);
    if (got < sizeof chunk) break;
  }
  return std::ferror(file.get()) ? ArchiveError::Io : ArchiveError::None;
}

ArchiveError ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string temporary = TemporaryNameFor(path);
  {
    FilePtr file(std::fopen(temporary.c_str(), "wb"));
    if (!file) return ArchiveError::Io;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size() &&
              std::fflush(file.get()) == 0 && SyncFileToDisk(file.get());
    if (std::fclose(file.release()) != 0) ok = false;
    if (!ok) {
      std::remove(temporary.c_str());
      return ArchiveError::Io;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  if (error) {
    std::remove(temporary.c_str());
    return ArchiveError::Io;
  }
  return ArchiveError::None;
}

bool RemoveFileIfPresent(const std::string& path) {
  std::error_code error;
  std::filesystem::remove(path, error);
  return !error;
}
