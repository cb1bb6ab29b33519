#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The program's files hold terminal passwords and the messages of pagers, often personal
// details: every file it writes is readable and writable by its owner only.
inline constexpr unsigned kPrivateFileMode = 0600;

// The mode a file that replaces `path` gets: the old file's mode when it gives no one more
// than kPrivateFileMode does (a file the user made read-only stays so), else
// kPrivateFileMode; kPrivateFileMode when there is no old file.
unsigned ReplacementModeFor(const std::string& path);

// Opens `path` for binary writing with exactly `mode`: created or emptied ("wb") and given
// that mode even when it was there before. A symbolic link there is never followed (the open
// fails): the file written is the one at that name.
std::FILE* OpenPrivateFileForWriting(const std::string& path, unsigned mode);

// Opens a file with no name yet in `folder` (which must exist), for binary writing with
// exactly `mode`; null when the folder's filesystem cannot hold unnamed files. Nothing of it
// is left on the disk unless NameUnnamedFile gives it a name, so a writer that dies on the
// way leaves no half-written file behind.
std::FILE* OpenUnnamedPrivateFile(const std::string& folder, unsigned mode);
// Gives a file from OpenUnnamedPrivateFile the name `path` (which must not exist yet).
bool NameUnnamedFile(std::FILE* file, const std::string& path);

// Which file a path names now, and its size.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
};
std::optional<FileIdentity> IdentifyFile(const std::string& path);

// Grows a file in place in two steps, each pushed to the disk before the next: `tail` is
// written at `end` (cutting off whatever lay beyond), then `patch` at `patchAt`. A crash
// leaves the old bytes up to `end`, with or without the tail after them, or all of it.
// Refused, with nothing written, unless `path` still names the file `expected` (same device
// and inode, at least `end` bytes): a file replaced meanwhile is not patched blindly.
bool AppendThenPatch(const std::string& path, const FileIdentity& expected, uint64_t end,
                     std::string_view tail, uint64_t patchAt, std::string_view patch);

// Opens `path` for appending ("ab"), creating it with kPrivateFileMode; an existing file that
// gives others access is narrowed to kPrivateFileMode first.
std::FILE* OpenPrivateFileForAppending(const std::string& path);

// For the programs' main(): files and folders that libraries create on their own (settings,
// the directory lock) are for the owner only too (umask 077).
void KeepNewFilesPrivate();

// Reads the whole of `path` when it is a regular file, never following a symbolic link at its
// last step; false for a link, a folder, a device or a read error.
bool ReadRegularFileNoFollow(const std::string& path, std::vector<uint8_t>& bytes);

// Whether `path` is a folder itself (not a symbolic link to one) that this user owns.
bool IsOwnFolder(const std::string& path);

// Makes the folder `path` (mode 0700) unless something is there already; false on an error.
bool MakePrivateFolder(const std::string& path);
