#include "tools/vlgtool/vlg_dump.h"

#include <memory>
#include <optional>

#include "archive/archive_reader.h"
#include "archive/class_registry.h"
#include "archive/ob_list.h"
#include "directory/directory_file.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "tools/vlgtool/record_json.h"

using nlohmann::json;

namespace {

enum class Kind { Directory, Queue, Log };

const char* KindName(Kind kind) {
    switch (kind) {
        case Kind::Directory:
            return "directory";
        case Kind::Queue:
            return "queue";
        case Kind::Log:
            return "log";
    }
    return "";
}

// One attempt at reading the bytes as one kind; it keeps what it read alive for the dump.
struct Attempt {
    Attempt(std::span<const uint8_t> bytes, const ClassRegistry& registry, Kind k, uint16_t version)
        : kind(k), reader(bytes, registry, version) {
        if (kind == Kind::Directory) {
            error = ReadDirectory(reader, directory);
        } else {
            error = kind == Kind::Queue ? ReadQueue(reader, list) : ReadLogList(reader, list);
        }
    }

    Kind kind;
    ArchiveReader reader;
    ArchiveError error;
    DirectoryContents directory;
    LoadedList list;
};

json Roots(const Attempt& attempt, const LabelOf& labelOf) {
    json roots;
    if (attempt.kind != Kind::Directory) {
        roots["list"] = labelOf(attempt.list.list.get());
        return roots;
    }
    const DirectoryContents& d = attempt.directory;
    roots["services"] = labelOf(d.services.get());
    roots["subscribers"] = labelOf(d.subscribers.get());
    roots["groups"] = labelOf(d.groups.get());
    roots["preset_messages"] = labelOf(d.presetMessages.get());
    roots["display_rows"] = labelOf(d.displayRows.get());
    if (d.formatVersion == 0) roots["log_list"] = labelOf(d.logList.get());
    roots["last_message"] = labelOf(d.lastMessage.get());
    return roots;
}

json Describe(const Attempt& attempt, std::span<const uint8_t> bytes) {
    const auto& entries = attempt.reader.Entries();
    // Every object of the file was built by this reader and carries its index.
    LabelOf labelOf = [&attempt](const Serializable* object) -> json {
        if (!object) return nullptr;
        return attempt.reader.IndexOf(*object);
    };

    json document;
    document["kind"] = KindName(attempt.kind);
    document["format_version"] = attempt.reader.FormatVersion();
    json schemas = json::object();
    for (const auto& [cls, schema] : attempt.reader.SchemasInFile())
        schemas[cls->name] = schema;
    document["schemas"] = std::move(schemas);
    document["roots"] = Roots(attempt, labelOf);
    json objects = json::array();
    for (uint32_t i = 1; i < entries.size(); ++i) {
        if (!entries[i].object) continue;
        json object = RecordToJson(*entries[i].object, labelOf);
        object["index"] = i;
        objects.push_back(std::move(object));
    }
    document["objects"] = std::move(objects);
    if (!attempt.reader.AtEnd()) {
        // Bytes after the last root: the program ignores them; kept so a rebuild is exact.
        static const char* const kHex = "0123456789abcdef";
        std::string hex;
        for (size_t i = attempt.reader.Position(); i < bytes.size(); ++i) {
            hex += kHex[bytes[i] >> 4];
            hex += kHex[bytes[i] & 0xF];
        }
        document["trailing_hex"] = hex;
    }
    return document;
}

}  // namespace

DumpResult DumpVlg(std::span<const uint8_t> bytes) {
    static const ClassRegistry registry = MakeProgramClassRegistry();
    // A directory file of format 1 or later says so; otherwise the candidates are tried and
    // the one that reads the whole file wins. The readers insist on the right record class in
    // each list, so a queue never passes for a log.
    std::vector<std::pair<Kind, uint16_t>> candidates;
    std::string_view magic = kDirectoryMagic;
    if (bytes.size() >= magic.size() &&
        std::equal(magic.begin(), magic.end(), bytes.begin(),
                   [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; })) {
        candidates = {{Kind::Directory, 0}};
    } else {
        // An empty list reads as either; the program writes an empty log but never an empty
        // queue (it removes the file), so the log comes first.
        candidates = {{Kind::Log, 1}, {Kind::Queue, 1}, {Kind::Directory, 0}, {Kind::Queue, 0}};
    }

    std::unique_ptr<Attempt> partial;  // read, but with bytes left over
    ArchiveError furthestError = ArchiveError::EndOfFile;
    size_t furthest = 0;
    for (auto [kind, version] : candidates) {
        auto attempt = std::make_unique<Attempt>(bytes, registry, kind, version);
        if (attempt->error == ArchiveError::None) {
            if (attempt->reader.AtEnd()) return {ArchiveError::None, Describe(*attempt, bytes)};
            if (!partial) partial = std::move(attempt);
            continue;
        }
        if (attempt->reader.Position() >= furthest) {
            furthest = attempt->reader.Position();
            furthestError = attempt->error;
        }
    }
    if (partial) return {ArchiveError::None, Describe(*partial, bytes)};
    return {furthestError, nullptr};
}
