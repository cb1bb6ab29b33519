#include "paging/paging_files.h"

#include <array>
#include <filesystem>
#include <unordered_map>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/file_format_version.h"
#include "archive/graph_check.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "files/atomic_file.h"
#include "files/save_failure.h"
#include "files/set_aside_file.h"
#include "paging/log_object.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_texts.h"

namespace {

ArchiveError ReadOwningList(ArchiveReader& reader, const ClassInfo& elementClass, LoadedList& out) {
    CObList* list = reader.ReadObjectOf<CObList>();
    if (reader.Failed()) return reader.Error();
    const std::array<GraphRoot, 1> roots = {{{list, &elementClass}}};
    std::vector<std::unique_ptr<Serializable>> strays;
    ArchiveError error = CheckLoadedGraph(reader, roots, strays);
    if (error != ArchiveError::None) return error;
    reader.ReleaseObjects();
    out.list.reset(list);
    out.strays = std::move(strays);
    return ArchiveError::None;
}

ArchiveError LoadListFile(const std::string& path, const ClassRegistry& registry, uint16_t formatVersion,
                          ArchiveError (*read)(ArchiveReader&, LoadedList&), bool reconcile,
                          LoadedList& out) {
    std::vector<uint8_t> bytes;
    if (ReadWholeFile(path, bytes) != ArchiveError::None) return ArchiveError::Io;
    ArchiveReader reader(bytes, registry, formatVersion);
    ArchiveError error = read(reader, out);
    if (error == ArchiveError::None && reconcile) ReconcileMessageRefCounts(reader);
    return error;
}

ArchiveError SaveListFile(const std::string& path, const CObList* list) {
    return ReplaceFileAtomically(path, [list](std::FILE* file) {
        ArchiveWriter writer(GetWrittenFileFormatVersion(), file);
        WriteListArchive(writer, list);
        writer.Flush();
        return writer.Error();
    });
}

}  // namespace

ArchiveError ReadQueue(ArchiveReader& reader, LoadedList& out) {
    return ReadOwningList(reader, CPage::kClass, out);
}

ArchiveError ReadLogList(ArchiveReader& reader, LoadedList& out) {
    return ReadOwningList(reader, CLogObject::kClass, out);
}

void ReconcileMessageRefCounts(const ArchiveReader& reader) {
    std::unordered_map<CPagerMessage*, int32_t> users;
    for (const auto& entry : reader.Entries()) {
        if (auto* page = As<CPage>(entry.object); page && page->GetMessage()) {
            users[page->GetMessage()]++;
        }
    }
    for (auto [message, count] : users)
        message->SetRefCount(count);
}

ArchiveError LoadQueueFile(const std::string& path, const ClassRegistry& registry, LoadedList& out) {
    return LoadQueueFile(path, registry, GetFileFormatVersion(), out);
}

ArchiveError LoadQueueFile(const std::string& path, const ClassRegistry& registry, uint16_t formatVersion,
                           LoadedList& out) {
    return LoadListFile(path, registry, formatVersion, &ReadQueue, true, out);
}

ArchiveError LoadLogWindowFile(const std::string& path, const ClassRegistry& registry, LoadedList& out) {
    return LoadListFile(path, registry, GetFileFormatVersion(), &ReadLogList, false, out);
}

void WriteListArchive(ArchiveWriter& writer, const CObList* list) {
    writer.WriteObject(list);
}

ArchiveError SaveQueueFile(const std::string& path, const CObList* queue) {
    if (!queue || queue->IsEmpty()) {
        return RemoveFileIfPresent(path) ? ArchiveError::None : ArchiveError::Io;
    }
    return SaveListFile(path, queue);
}

ArchiveError SaveLogWindowFile(const std::string& path, const CObList* log) {
    if (!log || GetWrittenFileFormatVersion() == 0) return ArchiveError::None;
    return SaveListFile(path, log);
}

const UnreadableFile* StartupLoad::Find(std::string_view fileName) const {
    for (const UnreadableFile& file : unreadable) {
        if (std::filesystem::path(file.path).filename() == fileName) return &file;
    }
    return nullptr;
}

std::string DescribeUnreadableFile(const UnreadableFile& file) {
    std::string text;
    if (file.error == ArchiveError::None) {
        text = file.path +
               " was not read: the directory file is in the older format that keeps "
               "the log inside it.";
    } else {
        text = file.path + " could not be read (" + std::string(ArchiveErrorText(file.error)) + ").";
    }
    if (file.movedTo) return text + " It was moved aside to " + *file.movedTo + ".";
    return text + " It could not be moved aside and is left as it is; it will not be written over.";
}

std::string SaveFailureText(const std::string& path) {
    std::string_view format;
    switch (DiagnoseSaveFailure(path)) {
        case SaveFailureCause::FolderMissing:
            format = paging_texts::kFileNotFound;
            break;
        case SaveFailureCause::DiskFull:
            return std::string(paging_texts::kDiskFull);
        default:
            format = paging_texts::kFileAccessDenied;
            break;
    }
    std::string text(format);
    const size_t marker = text.find("%1");
    if (marker != std::string::npos) text.replace(marker, 2, path);
    return text;
}

namespace {

class StartupSequence {
public:
    StartupSequence(DirectoryStore& store, const std::string& folder, const ClassRegistry& registry,
                    std::time_t now)
        : store_(store), folder_(folder), registry_(registry), now_(now) {}

    StartupLoad Run() {
        LoadDirectory();
        LoadQueue();
        store_.EnsureQueueAndLog();
        if (GetFileFormatVersion() != 0) {
            LoadLog();
        } else if (!UpgradeOldDirectory()) {
            result_.upgradeFailed = true;
        }
        SetWrittenFileFormatVersion(result_.upgradeFailed ? 0 : kCurrentFileFormatVersion);
        return std::move(result_);
    }

private:
    std::string PathOf(std::string_view name) const { return folder_ + std::string(name); }

    // Moves the file aside and says so in the text log, whatever the log-to-disk setting: a
    // monitoring system may have no other witness.
    void SetAside(const std::string& path, ArchiveError error) {
        UnreadableFile file{path, error, SetAsideUnreadableFile(path, now_)};
        const CLogObject line(static_cast<uint32_t>(now_), "", DescribeUnreadableFile(file), "", 0);
        AppendLogLine(PathOf(kTextLogFileName), line);
        result_.unreadable.push_back(std::move(file));
    }

    void LoadDirectory() {
        const std::string path = PathOf(kDirectoryFileName);
        std::error_code ignored;
        if (!std::filesystem::exists(path, ignored)) {
            store_.CreateEmpty();
            SetFileFormatVersion(kCurrentFileFormatVersion);
            return;
        }
        result_.directoryError = LoadDirectoryFile(path, registry_, store_);
        if (result_.directoryError == ArchiveError::None) return;
        SetAside(path, result_.directoryError);
        // Nothing of a damaged directory is kept, so it has no old log to stand for the log window
        // file, and no old format to upgrade.
        if (GetFileFormatVersion() == 0) SetFileFormatVersion(kCurrentFileFormatVersion);
        // Keep the windows working on an empty directory.
        if (!store_.GetServiceList()) store_.CreateEmpty();
    }

    void LoadQueue() {
        const std::string path = PathOf(kOutgoingFileName);
        std::error_code ignored;
        if (!std::filesystem::exists(path, ignored)) return;
        LoadedList queue;
        ArchiveError error = LoadQueueFile(path, registry_, GetFileFormatVersion(), queue);
        if (IsFormatError(error)) {
            // Format 0 and 1 differ only in fields of services inside the pages: a queue of the
            // other version fails in this one rather than reading as something else.
            const uint16_t other = GetFileFormatVersion() == 0 ? kCurrentFileFormatVersion : 0;
            LoadedList retry;
            if (LoadQueueFile(path, registry_, other, retry) == ArchiveError::None) {
                queue = std::move(retry);
                error = ArchiveError::None;
            }
        }
        if (error != ArchiveError::None) {
            SetAside(path, error);
            return;
        }
        DiscardListWithRecords(store_.SetOutgoingList(queue.list.release()));
        store_.AdoptStrays(std::move(queue.strays));
    }

    void LoadLog() {
        const std::string path = PathOf(kLogWindowFileName);
        std::error_code ignored;
        if (!std::filesystem::exists(path, ignored)) return;
        LoadedList log;
        const ArchiveError error = LoadLogWindowFile(path, registry_, log);
        if (error != ArchiveError::None) {
            SetAside(path, error);
            return;
        }
        while (Serializable* record = log.list->RemoveHead())
            store_.GetLogList()->AddTail(record);
        store_.AdoptStrays(std::move(log.strays));
    }

    // The log first (while the directory still holds it too), then the directory, then the
    // queue: a crash between two of them leaves files that still read together (an unread
    // log window file is set aside at the next start; a queue of the other version is read
    // in it).
    bool UpgradeOldDirectory() {
        const std::string logPath = PathOf(kLogWindowFileName);
        std::error_code ignored;
        if (std::filesystem::exists(logPath, ignored)) {
            SetAside(logPath, ArchiveError::None);
            if (!result_.unreadable.back().movedTo) return false;
        }
        SetWrittenFileFormatVersion(kCurrentFileFormatVersion);
        if (SaveLogWindowFile(logPath, store_.GetLogList()) != ArchiveError::None) return false;
        if (SaveDirectoryFile(PathOf(kDirectoryFileName), store_) != ArchiveError::None) return false;
        SetFileFormatVersion(kCurrentFileFormatVersion);
        const UnreadableFile* queue = result_.Find(kOutgoingFileName);
        if (!queue) SaveQueueFile(PathOf(kOutgoingFileName), store_.GetOutgoingList());
        return true;
    }

    DirectoryStore& store_;
    const std::string& folder_;
    const ClassRegistry& registry_;
    std::time_t now_;
    StartupLoad result_;
};

}  // namespace

StartupLoad LoadStartupFiles(DirectoryStore& store, const std::string& programFolder,
                             const ClassRegistry& registry, std::time_t now) {
    return StartupSequence(store, programFolder, registry, now).Run();
}
