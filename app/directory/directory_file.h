#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "archive/ob_list.h"
#include "directory/message.h"
#include "files/archive_error.h"

class ArchiveReader;
class ArchiveWriter;
class ClassRegistry;
class DirectoryStore;

// The four bytes that open a directory file of format 1 or later ("VLPW").
inline constexpr std::string_view kDirectoryMagic = "VLPW";
// The directory file is named after the application title.
inline constexpr std::string_view kDirectoryFileName = "Vorla Pro.vlg";

// A directory as read from a file, owning everything in it.
struct DirectoryContents {
    uint16_t formatVersion = 0;
    OwningList services;
    OwningList subscribers;
    OwningList groups;
    OwningList presetMessages;
    OwningList displayRows;
    OwningList logList;  // only in format-0 files
    std::unique_ptr<CMessage> lastMessage;
    std::vector<std::unique_ptr<Serializable>> strays;
};

// What a directory archive is written from (nothing is owned).
struct DirectoryRoots {
    const CObList* services = nullptr;
    const CObList* subscribers = nullptr;
    const CObList* groups = nullptr;
    const CObList* presetMessages = nullptr;
    const CObList* displayRows = nullptr;
    const CObList* logList = nullptr;  // written only in format 0
    const CMessage* lastMessage = nullptr;
};

// Reads a directory archive. A file without the magic is read in the reader's format
// version (the process-wide one at start: 0). On success `out` owns the graph; the reader's
// entries stay valid for inspection as long as `out` lives.
ArchiveError ReadDirectory(ArchiveReader& reader, DirectoryContents& out);

// Writes a directory archive in the writer's format version: the magic and version, then the
// five lists and the last message; format 0 has no magic and the log list before the last
// message.
void WriteDirectory(ArchiveWriter& writer, const DirectoryRoots& roots);
DirectoryRoots RootsOf(const DirectoryStore& store);

// The version a directory file's header names, or nothing when it has no complete header
// (a format-0 file, or one cut short before it).
std::optional<uint16_t> DirectoryHeaderVersion(std::span<const uint8_t> bytes);

// The program's load: reads the file and hands the directory to the store. The process-wide
// FileFormatVersion is set from the header as soon as it is read (so a damaged directory
// still gives the version its queue and log window file were written in); after a success
// without a header it is the reader's (0 at start); after a failure without one, the
// version this program writes. On failure the store is left as it was.
ArchiveError LoadDirectoryFile(const std::string& path, const ClassRegistry& registry, DirectoryStore& store);
// Writes the store's directory in GetWrittenFileFormatVersion, replacing the file atomically.
ArchiveError SaveDirectoryFile(const std::string& path, const DirectoryStore& store);
