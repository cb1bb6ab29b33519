#pragma once

#include <cstdint>

// The process-wide format version of the directory file last read or created: 0 at start
// (files written before the directory file had its magic), 1 once an empty directory is
// made or the value stored in a directory file with the magic. It decides how services and
// old log records are read and whether the log window file is read at start.
uint16_t GetFileFormatVersion();
void SetFileFormatVersion(uint16_t version);

// The version this program writes.
inline constexpr uint16_t kCurrentFileFormatVersion = 1;

// The version the directory, queue and log window files are written in: the current one,
// except while a format-0 directory could not be brought to it, when all files stay 0 so
// that the directory and the queue on disk are always read in the same version.
uint16_t GetWrittenFileFormatVersion();
void SetWrittenFileFormatVersion(uint16_t version);
