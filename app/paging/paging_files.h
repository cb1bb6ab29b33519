#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive_error.h"
#include "ob_list.h"

class ArchiveReader;
class ArchiveWriter;
class ClassRegistry;
class DirectoryStore;

inline constexpr std::string_view kOutgoingFileName = "Outgoing.vlg";
inline constexpr std::string_view kLogWindowFileName = "Vorla Pro Log Window.vlg";
inline constexpr std::string_view kTextLogFileName = "Message Log.txt";

// A list read from the queue file or the log window file, owning its records. Strays are
// records the file reached only through cross-links (kept alive for those links).
struct LoadedList {
  OwningList list;
  std::vector<std::unique_ptr<Serializable>> strays;
};

// Reads one list object of pages (queue) or of log records (log window). The list must be a
// list, and its elements non-null records of the right class, each owned once.
ArchiveError ReadQueue(ArchiveReader& reader, LoadedList& out);
ArchiveError ReadLogList(ArchiveReader& reader, LoadedList& out);

// Sets every message's RefCount to the number of pages that use it. A damaged count would
// otherwise make the first page to go free a message other pages still use.
void ReconcileMessageRefCounts(const ArchiveReader& reader);

// The program's loads, in the process-wide FileFormatVersion; nothing is used of a file
// that fails.
ArchiveError LoadQueueFile(const std::string& path, const ClassRegistry& registry,
                           LoadedList& out);
ArchiveError LoadLogWindowFile(const std::string& path, const ClassRegistry& registry,
                               LoadedList& out);

// One archive holding the list object (null writes a null reference).
void WriteListArchive(ArchiveWriter& writer, const CObList* list);

// Saves the queue, replacing the file atomically; an empty (or missing) queue removes the
// file instead, so an empty queue leaves no file.
ArchiveError SaveQueueFile(const std::string& path, const CObList* queue);
// Saves the log list (an empty list too); with no list nothing is written.
ArchiveError SaveLogWindowFile(const std::string& path, const CObList* log);

// The start-up sequence over the program folder (ending in a path separator):
//  1. the directory file, or a new empty directory (format version 1) when there is none;
//  2. "Outgoing.vlg" into OutgoingList when it reads;
//  3. empty OutgoingList and LogList where still missing;
//  4. with a format version other than 0, the log window file's records appended to LogList.
// Returns the directory file's error (None when it loaded or did not exist). After an error
// the store holds empty directory lists; the caller must not save them over the damaged file.
ArchiveError LoadStartupFiles(DirectoryStore& store, const std::string& programFolder,
                              const ClassRegistry& registry);
