#pragma once

#include <ctime>
#include <optional>
#include <string>

// A saved file that could not be read is never overwritten or deleted: it is renamed, in its
// own folder, to "<stem>.unreadable-YYYYMMDD-HHMMSS<extension>" (local time; "-2", "-3", ...
// added when that name is taken), so the user can still recover it, and the program goes on
// without it. Returns the new path, or nothing when the file could not be renamed (it is then
// left where it is). An existing file is never replaced by the rename.
std::optional<std::string> SetAsideUnreadableFile(const std::string& path, std::time_t now);
