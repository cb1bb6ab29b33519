#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/archive_error.h"

// Reads a whole file; Io when it cannot be opened or read.
ArchiveError ReadWholeFile(const std::string& path, std::vector<uint8_t>& out);

// Replaces `path` with `bytes` so that a crash or a full disk leaves either the old file or
// the new one, never a torn one: the bytes go to a temporary file in the same folder, are
// flushed to the disk, and the temporary file is renamed over the old one. The new file is
// private (see ReplacementModeFor).
ArchiveError ReplaceFileAtomically(const std::string& path, std::string_view bytes);
// The same, with the content written by `write` into the open temporary file; an error it
// returns abandons the temporary file and leaves the old one.
ArchiveError ReplaceFileAtomically(const std::string& path,
                                   const std::function<ArchiveError(std::FILE*)>& write);

// Removes the file if it is there; false only when it is there and cannot be removed.
bool RemoveFileIfPresent(const std::string& path);
