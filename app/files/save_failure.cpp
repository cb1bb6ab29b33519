#include "files/save_failure.h"

#include <filesystem>

#include <unistd.h>

namespace {
// Below this a save of a few records may well have run out of room.
constexpr std::uintmax_t kNearlyFull = 64 * 1024;
}  // namespace

SaveFailureCause DiagnoseSaveFailure(const std::string& path) {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    if (!std::filesystem::is_directory(folder, error)) return SaveFailureCause::FolderMissing;
    if (::access(folder.c_str(), W_OK) != 0) return SaveFailureCause::AccessDenied;
    const std::filesystem::space_info space = std::filesystem::space(folder, error);
    if (!error && space.available < kNearlyFull) return SaveFailureCause::DiskFull;
    return SaveFailureCause::Other;
}
