#include "tools/vlgtool/vlg_build.h"

#include <memory>
#include <span>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/class_registry.h"
#include "archive/ob_list.h"
#include "directory/directory_file.h"
#include "directory/message.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "tools/vlgtool/record_json.h"

using nlohmann::json;

namespace {

// Every record built from the document, freed one by one at the end (ownership links are
// cut first, as the document may share or misplace objects freely).
class BuiltRecords : public ReferenceResolver {
public:
    ~BuiltRecords() override {
        for (Serializable* record : records_)
            record->ForgetOwned();
        for (Serializable* record : records_)
            delete record;
    }

    bool Add(uint32_t label, std::unique_ptr<Serializable> record) {
        records_.push_back(record.get());
        return byLabel_.emplace(label, record.release()).second;
    }

    Serializable* Resolve(const json& label, const ClassInfo* required) override {
        if (label.is_null()) return nullptr;
        auto found = byLabel_.find(CheckedNumber<uint32_t>(label, "a reference"));
        if (found == byLabel_.end()) {
            Fail(ArchiveError::BadIndex, "no object has the index " + label.dump());
            return nullptr;
        }
        if (required && !found->second->IsKindOf(*required)) {
            Fail(ArchiveError::BadClass, "object " + label.dump() + " is not a " + required->name);
            return nullptr;
        }
        return found->second;
    }

    void Fail(ArchiveError cause, std::string text) {
        if (error != ArchiveError::None) return;
        error = cause;
        message = std::move(text);
    }

    std::string message;

private:
    std::vector<Serializable*> records_;
    std::unordered_map<uint32_t, Serializable*> byLabel_;
};

std::string FromHex(const std::string& hex) {
    if (hex.size() % 2) throw std::runtime_error("trailing_hex has an odd length");
    auto digit = [&hex](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        throw std::runtime_error("trailing_hex \"" + hex +
                                 "\" is out of range: two hex digits (00 to FF) per byte");
    };
    std::string out;
    for (size_t i = 0; i < hex.size(); i += 2)
        out.push_back(static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1])));
    return out;
}

// Reads the result back as the program would.
ArchiveError Reload(const std::string& kind, uint16_t version, const std::string& bytes) {
    static const ClassRegistry registry = MakeProgramClassRegistry();
    std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ArchiveReader reader(data, registry, version);
    if (kind == "directory") {
        DirectoryContents contents;
        return ReadDirectory(reader, contents);
    }
    LoadedList list;
    return kind == "queue" ? ReadQueue(reader, list) : ReadLogList(reader, list);
}

}  // namespace

BuildResult BuildVlg(const json& document) {
    static const ClassRegistry registry = MakeProgramClassRegistry();
    BuildResult result;
    try {
        const std::string kind = document.at("kind").get<std::string>();
        if (kind != "directory" && kind != "queue" && kind != "log") {
            throw std::runtime_error("kind must be directory, queue or log");
        }
        const uint16_t version =
            document.contains("format_version")
                ? CheckedNumber<uint16_t>(document.at("format_version"), "format_version")
                : 1;

        BuiltRecords records;
        const json& objects = document.at("objects");
        for (const json& object : objects.get_ref<const json::array_t&>()) {
            const std::string name = object.at("class").get<std::string>();
            const ClassInfo* cls = registry.Find(name);
            if (!cls) {
                records.Fail(ArchiveError::BadClass, "unknown class " + name);
                break;
            }
            const uint32_t label = CheckedNumber<uint32_t>(object.at("index"), "index");
            if (label == 0 || !records.Add(label, cls->factory())) {
                records.Fail(ArchiveError::BadIndex, "index " + std::to_string(label) + " repeated or 0");
                break;
            }
        }
        if (records.error == ArchiveError::None) {
            for (const json& object : objects.get_ref<const json::array_t&>()) {
                RecordFromJson(*records.Resolve(object.at("index"), nullptr), object, records);
            }
        }

        ArchiveWriter writer(version);
        if (document.contains("schemas")) {
            for (const auto& [name, schema] : document.at("schemas").items()) {
                const uint16_t number = CheckedNumber<uint16_t>(schema, "schemas." + name);
                if (const ClassInfo* cls = registry.Find(name)) writer.OverrideSchema(*cls, number);
            }
        }
        const json& roots = document.at("roots");
        auto root = [&roots](const char* key) { return roots.contains(key) ? roots.at(key) : json(); };
        if (kind == "directory") {
            DirectoryRoots d;
            d.services = records.ResolveAs<CObList>(root("services"));
            d.subscribers = records.ResolveAs<CObList>(root("subscribers"));
            d.groups = records.ResolveAs<CObList>(root("groups"));
            d.presetMessages = records.ResolveAs<CObList>(root("preset_messages"));
            d.displayRows = records.ResolveAs<CObList>(root("display_rows"));
            d.logList = records.ResolveAs<CObList>(root("log_list"));
            d.lastMessage = records.ResolveAs<CMessage>(root("last_message"));
            if (records.error == ArchiveError::None) WriteDirectory(writer, d);
        } else {
            const CObList* list = records.ResolveAs<CObList>(root("list"));
            if (records.error == ArchiveError::None) WriteListArchive(writer, list);
        }
        if (records.error != ArchiveError::None) {
            result.error = records.error;
            result.message = std::string(ArchiveErrorText(records.error)) + ": " + records.message;
            return result;
        }
        if (writer.Error() != ArchiveError::None) {
            result.error = writer.Error();
            result.message = "bad schema: objects nest too deeply";
            return result;
        }
        result.bytes = writer.Bytes();
        if (document.contains("trailing_hex")) {
            result.bytes += FromHex(document.at("trailing_hex").get<std::string>());
        }
        ArchiveError reloaded = Reload(kind, version, result.bytes);
        if (reloaded != ArchiveError::None) {
            result.error = reloaded;
            result.message = std::string(ArchiveErrorText(reloaded)) +
                             " (the program would refuse the file this describes)";
            result.bytes.clear();
        }
    } catch (const std::exception& e) {
        result.error = ArchiveError::BadSchema;
        result.message = std::string("bad json: ") + e.what();
        result.bytes.clear();
    }
    return result;
}
