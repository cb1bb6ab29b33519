#pragma once

#include <cstdio>
#include <string>

// The program's files hold terminal passwords and the messages of pagers, often personal
// details: every file it writes is readable and writable by its owner only.
inline constexpr unsigned kPrivateFileMode = 0600;

// The mode a file that replaces `path` gets: the old file's mode when it gives no one more
// than kPrivateFileMode does (a file the user made read-only stays so), else
// kPrivateFileMode; kPrivateFileMode when there is no old file.
unsigned ReplacementModeFor(const std::string& path);

// Opens `path` for binary writing with exactly `mode`: created or emptied ("wb") and given
// that mode even when it was there before.
std::FILE* OpenPrivateFileForWriting(const std::string& path, unsigned mode);

// Opens a file with no name yet in `folder` (which must exist), for binary writing with
// exactly `mode`; null when the folder's filesystem cannot hold unnamed files. Nothing of it
// is left on the disk unless NameUnnamedFile gives it a name, so a writer that dies on the
// way leaves no half-written file behind.
std::FILE* OpenUnnamedPrivateFile(const std::string& folder, unsigned mode);
// Gives a file from OpenUnnamedPrivateFile the name `path` (which must not exist yet).
bool NameUnnamedFile(std::FILE* file, const std::string& path);

// Opens `path` for appending ("ab"), creating it with kPrivateFileMode; an existing file that
// gives others access is narrowed to kPrivateFileMode first.
std::FILE* OpenPrivateFileForAppending(const std::string& path);

// For the programs' main(): files and folders that libraries create on their own (settings,
// the directory lock) are for the owner only too (umask 077).
void KeepNewFilesPrivate();
