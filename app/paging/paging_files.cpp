#include "paging_files.h"

#include <array>
#include <filesystem>
#include <unordered_map>

#include "archive_reader.h"
#include "archive_writer.h"
#include "atomic_file.h"
#include "directory_file.h"
#include "directory_store.h"
#include "file_format_version.h"
#include "graph_check.h"
#include "log_object.h"
#include "page.h"
#include "pager_message.h"

namespace {

ArchiveError ReadOwningList(ArchiveReader& reader, const ClassInfo& elementClass,
                            LoadedList& out) {
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

ArchiveError LoadListFile(const std::string& path, const ClassRegistry& registry,
                          ArchiveError (*read)(ArchiveReader&, LoadedList&), bool reconcile,
                          LoadedList& out) {
  std::vector<uint8_t> bytes;
  if (ReadWholeFile(path, bytes) != ArchiveError::None) return ArchiveError::Io;
  ArchiveReader reader(bytes, registry, GetFileFormatVersion());
  ArchiveError error = read(reader, out);
  if (error == ArchiveError::None && reconcile) ReconcileMessageRefCounts(reader);
  return error;
}

ArchiveError SaveListFile(const std::string& path, const CObList* list) {
  return ReplaceFileAtomically(path, [list](std::FILE* file) {
    ArchiveWriter writer(kCurrentFileFormatVersion, file);
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
  for (auto [message, count] : users) message->SetRefCount(count);
}

ArchiveError LoadQueueFile(const std::string& path, const ClassRegistry& registry,
                           LoadedList& out) {
  return LoadListFile(path, registry, &ReadQueue, true, out);
}

ArchiveError LoadLogWindowFile(const std::string& path, const ClassRegistry& registry,
                               LoadedList& out) {
  return LoadListFile(path, registry, &ReadLogList, false, out);
}

void WriteListArchive(ArchiveWriter& writer, const CObList* list) { writer.WriteObject(list); }

ArchiveError SaveQueueFile(const std::string& path, const CObList* queue) {
  if (!queue || queue->IsEmpty()) {
    return RemoveFileIfPresent(path) ? ArchiveError::None : ArchiveError::Io;
  }
  return SaveListFile(path, queue);
}

ArchiveError SaveLogWindowFile(const std::string& path, const CObList* log) {
  if (!log) return ArchiveError::None;
  return SaveListFile(path, log);
}

ArchiveError LoadStartupFiles(DirectoryStore& store, const std::string& programFolder,
                              const ClassRegistry& registry) {
  ArchiveError directoryError = ArchiveError::None;
  const std::string directoryPath = programFolder + std::string(kDirectoryFileName);
  std::error_code ignored;
  if (std::filesystem::exists(directoryPath, ignored)) {
    directoryError = LoadDirectoryFile(directoryPath, registry, store);
  } else {
    store.CreateEmpty();
    SetFileFormatVersion(kCurrentFileFormatVersion);
  }
  if (directoryError != ArchiveError::None && !store.GetServiceList()) {
    // Keep the windows working on an empty directory; the error is the caller's to show.
    store.CreateEmpty();
  }

  LoadedList queue;
  if (LoadQueueFile(programFolder + std::string(kOutgoingFileName), registry, queue) ==
      ArchiveError::None) {
    DiscardListWithRecords(store.SetOutgoingList(queue.list.release()));
    store.AdoptStrays(std::move(queue.strays));
  }
  store.EnsureQueueAndLog();

  if (GetFileFormatVersion() != 0) {
    LoadedList log;
    if (LoadLogWindowFile(programFolder + std::string(kLogWindowFileName), registry, log) ==
        ArchiveError::None) {
      while (Serializable* record = log.list->RemoveHead()) store.GetLogList()->AddTail(record);
      store.AdoptStrays(std::move(log.strays));
    }
  }
  return directoryError;
}
