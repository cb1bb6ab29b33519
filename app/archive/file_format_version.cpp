#include "archive/file_format_version.h"

#include <atomic>

namespace {
std::atomic<uint16_t> gFileFormatVersion{0};
std::atomic<uint16_t> gWrittenFileFormatVersion{kCurrentFileFormatVersion};
}  // namespace

uint16_t GetFileFormatVersion() {
    return gFileFormatVersion.load(std::memory_order_relaxed);
}

void SetFileFormatVersion(uint16_t version) {
    gFileFormatVersion.store(version, std::memory_order_relaxed);
}

uint16_t GetWrittenFileFormatVersion() {
    return gWrittenFileFormatVersion.load(std::memory_order_relaxed);
}

void SetWrittenFileFormatVersion(uint16_t version) {
    gWrittenFileFormatVersion.store(version, std::memory_order_relaxed);
}
