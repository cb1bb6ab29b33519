#include "directory/directory_file.h"

#include <algorithm>
#include <array>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/class_registry.h"
#include "archive/file_format_version.h"
#include "archive/graph_check.h"
#include "directory/cross_links.h"
#include "directory/directory_store.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "files/atomic_file.h"

namespace {

OwningList TakeList(Serializable* object) {
    return OwningList(static_cast<CObList*>(object));
}

}  // namespace

ArchiveError ReadDirectory(ArchiveReader& reader, DirectoryContents& out) {
    if (reader.Peek(kDirectoryMagic)) {
        reader.ReadRaw(kDirectoryMagic.size());
        reader.SetFormatVersion(reader.ReadWord());
    }
    const uint16_t version = reader.FormatVersion();
    Serializable* services = reader.ReadObject(nullptr);
    Serializable* subscribers = reader.ReadObject(nullptr);
    Serializable* groups = reader.ReadObject(nullptr);
    Serializable* presets = reader.ReadObject(nullptr);
    Serializable* display = reader.ReadObject(nullptr);
    Serializable* logList = version == 0 ? reader.ReadObject(nullptr) : nullptr;
    CMessage* last = reader.ReadObjectOf<CMessage>();
    if (reader.Failed()) return reader.Error();

    // The lists must be lists of the right records, each owned once; anything else would be
    // cast blindly by the windows later.
    static const ClassInfo kNoLogClass = {"", 0, false, nullptr, nullptr};
    const ClassInfo* logClass = nullptr;
    if (logList) {
        // The registry knows the log record once the paging layer has registered it; without it
        // the file could not have named one, so only an empty list passes.
        for (const auto& entry : reader.Entries()) {
            if (entry.cls && std::string_view(entry.cls->name) == "CLogObject") logClass = entry.cls;
        }
        if (!logClass) logClass = &kNoLogClass;
    }
    const std::array<GraphRoot, 7> roots = {{
        {services, &CService::kClass},
        {subscribers, &CSubscriber::kClass},
        {groups, &CGroup::kClass},
        {presets, &CMessage::kClass},
        {display, &CDisplayObject::kClass},
        {logList, logClass},
        {last, nullptr},
    }};
    // A list slot that is null stays null; one that is not a list is refused.
    for (const GraphRoot& root : roots) {
        if (root.object && root.elementClass && !As<CObList>(root.object)) {
            return ArchiveError::BadClass;
        }
    }
    std::vector<std::unique_ptr<Serializable>> strays;
    ArchiveError error = CheckLoadedGraph(reader, roots, strays);
    if (error != ArchiveError::None) {
        for (auto& stray : strays)
            stray.release();  // still the reader's to free
        return error;
    }
    reader.ReleaseObjects();
    out.formatVersion = version;
    out.services = TakeList(services);
    out.subscribers = TakeList(subscribers);
    out.groups = TakeList(groups);
    out.presetMessages = TakeList(presets);
    out.displayRows = TakeList(display);
    out.logList = TakeList(logList);
    out.lastMessage.reset(last);
    out.strays = std::move(strays);
    return ArchiveError::None;
}

void WriteDirectory(ArchiveWriter& writer, const DirectoryRoots& roots) {
    if (writer.FormatVersion() > 0) {
        writer.WriteRaw(kDirectoryMagic);
        writer.WriteWord(writer.FormatVersion());
    }
    writer.WriteObject(roots.services);
    writer.WriteObject(roots.subscribers);
    writer.WriteObject(roots.groups);
    writer.WriteObject(roots.presetMessages);
    writer.WriteObject(roots.displayRows);
    if (writer.FormatVersion() == 0) writer.WriteObject(roots.logList);
    writer.WriteObject(roots.lastMessage);
}

DirectoryRoots RootsOf(const DirectoryStore& store) {
    DirectoryRoots roots;
    roots.services = store.GetServiceList();
    roots.subscribers = store.GetSubscriberList();
    roots.groups = store.GetGroupList();
    roots.presetMessages = store.GetPresetMessageList();
    roots.displayRows = store.GetDisplayList();
    roots.logList = store.GetLogList();
    roots.lastMessage = store.GetLastMessage();
    return roots;
}

ArchiveError LoadDirectoryFile(const std::string& path, const ClassRegistry& registry,
                               DirectoryStore& store) {
    std::vector<uint8_t> bytes;
    const ArchiveError readError = ReadWholeFile(path, bytes);
    // The version is known as soon as the header is: the queue and the log window file are
    // read in it even when the rest of the directory turns out damaged. A failed file without
    // a header gives no version; the one this program writes is then the safer guess, because a
    // newer file read as an old one could be misread without an error, never the other way.
    const std::optional<uint16_t> header = DirectoryHeaderVersion(bytes);
    if (header) SetFileFormatVersion(*header);
    if (readError != ArchiveError::None) {
        if (!header) SetFileFormatVersion(kCurrentFileFormatVersion);
        return ArchiveError::Io;
    }
    ArchiveReader reader(bytes, registry, GetFileFormatVersion());
    DirectoryContents contents;
    ArchiveError error = ReadDirectory(reader, contents);
    if (error != ArchiveError::None) {
        if (!header) SetFileFormatVersion(kCurrentFileFormatVersion);
        return error;
    }
    SetFileFormatVersion(contents.formatVersion);
    RepairCrossLinks(contents);
    store.TakeDirectory(std::move(contents));
    return ArchiveError::None;
}

std::optional<uint16_t> DirectoryHeaderVersion(std::span<const uint8_t> bytes) {
    const size_t magic = kDirectoryMagic.size();
    if (bytes.size() < magic + 2) return std::nullopt;
    if (!std::equal(kDirectoryMagic.begin(), kDirectoryMagic.end(), bytes.begin())) return std::nullopt;
    return static_cast<uint16_t>(bytes[magic] | (bytes[magic + 1] << 8));
}

ArchiveError SaveDirectoryFile(const std::string& path, const DirectoryStore& store) {
    return ReplaceFileAtomically(path, [&store](std::FILE* file) {
        ArchiveWriter writer(GetWrittenFileFormatVersion(), file);
        WriteDirectory(writer, RootsOf(store));
        writer.Flush();
        return writer.Error();
    });
}
