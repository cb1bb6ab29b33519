#pragma once
// Replaces a file so that a crash or a full disk leaves either the old file or the new one:
// the content goes to a temporary file in the same folder, is flushed, and is renamed over
// the target.

#include <filesystem>
#include <string>
#include <string_view>

namespace vorla {

// Returns false and describes the failure in *error (when given); the target is then untouched.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view content, std::string* error = nullptr);

}  // namespace vorla
