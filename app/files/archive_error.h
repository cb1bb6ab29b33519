#pragma once

#include <string_view>

// The ways reading an archive can fail. Every damaged or hostile file ends in one of the
// four format causes; Io covers files that cannot be opened, read or replaced.
enum class ArchiveError {
    None,
    EndOfFile,
    BadIndex,
    BadClass,
    BadSchema,
    Io,
};

// The short cause printed by tools and logged by the program: "end of file", "bad index",
// "bad class", "bad schema", "i/o error" (and "ok" for None).
std::string_view ArchiveErrorText(ArchiveError error);

// True for the four format causes (as opposed to success or an I/O failure).
bool IsFormatError(ArchiveError error);
