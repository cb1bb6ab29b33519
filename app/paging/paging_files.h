#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/ob_list.h"
#include "files/archive_error.h"

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

// The program's loads, in the process-wide FileFormatVersion (or the given one); nothing is
// used of a file that fails.
ArchiveError LoadQueueFile(const std::string& path, const ClassRegistry& registry, LoadedList& out);
ArchiveError LoadQueueFile(const std::string& path, const ClassRegistry& registry, uint16_t formatVersion,
                           LoadedList& out);
ArchiveError LoadLogWindowFile(const std::string& path, const ClassRegistry& registry, LoadedList& out);

// One archive holding the list object (null writes a null reference).
void WriteListArchive(ArchiveWriter& writer, const CObList* list);

// Both saves write in GetWrittenFileFormatVersion.
// Saves the queue, replacing the file atomically; an empty (or missing) queue removes the
// file instead, so an empty queue leaves no file.
ArchiveError SaveQueueFile(const std::string& path, const CObList* queue);
// Saves the log list (an empty list too); with no list nothing is written, and neither while
// the files are held at format 0 (the log then lives in the directory file).
ArchiveError SaveLogWindowFile(const std::string& path, const CObList* log);

// A saved file the start-up could not use, set aside so that nothing ever writes over it.
struct UnreadableFile {
    std::string path;
    // Why it was not used: a read error, or None for a log window file left unread beside a
    // format-0 directory (which keeps the log inside itself).
    ArchiveError error = ArchiveError::None;
    // Where it was moved; nothing when it could not be moved (it is then left in place, and
    // the caller must not write over it).
    std::optional<std::string> movedTo;
};

struct StartupLoad {
    // The directory file's error (None when it loaded or did not exist).
    ArchiveError directoryError = ArchiveError::None;
    // Every file that could not be used, in the order met; each has had its line in the text
    // log already.
    std::vector<UnreadableFile> unreadable;
    // A format-0 directory that could not be brought to the current version (the files are
    // then all written in format 0 for this run).
    bool upgradeFailed = false;

    const UnreadableFile* Find(std::string_view fileName) const;
};

// The start-up sequence over the program folder (ending in a path separator):
//  1. the directory file, or a new empty directory (format version 1) when there is none;
//     the format version comes from its header even when the rest is damaged;
//  2. "Outgoing.vlg" into OutgoingList when it reads (in the directory's version, or in the
//     other one when only that reads: a crash between the two files' rewrites leaves them so);
//  3. empty OutgoingList and LogList where still missing;
//  4. with a format version other than 0, the log window file's records appended to LogList;
//  5. a format-0 directory is rewritten at once in the current version, its log into the log
//     window file and the queue with it, so the files on disk always read together.
// A file that exists but does not read is moved aside (and a line says so in the text log);
// the program goes on without it. After a directory error the store holds empty directory
// lists.
StartupLoad LoadStartupFiles(DirectoryStore& store, const std::string& programFolder,
                             const ClassRegistry& registry, std::time_t now);

// What the user is told about a file that could not be used (one paragraph, no file-type
// specific preamble).
std::string DescribeUnreadableFile(const UnreadableFile& file);

// The file-error text for a queue or log window file that could not be written, with the
// path in it.
std::string SaveFailureText(const std::string& path);
