// vlgtool: the JSON it prints for each kind of file, the exact rebuild, and its errors.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "archive/archive_writer.h"
#include "directory/directory_file.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "files/atomic_file.h"
#include "paging/log_object.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_files.h"
#include "tests/directory/test_directory.h"
#include "tools/vlgtool/vlg_build.h"
#include "tools/vlgtool/vlg_dump.h"

using nlohmann::json;

namespace {

std::string DirectoryBytes(const DirectoryStore& store, uint16_t version = 1) {
    ArchiveWriter writer(version);
    WriteDirectory(writer, RootsOf(store));
    return writer.Bytes();
}

json Dump(const std::string& bytes, ArchiveError expected = ArchiveError::None) {
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    DumpResult result = DumpVlg(data);
    EXPECT_EQ(result.error, expected);
    return result.document;
}

std::string Build(const json& document) {
    BuildResult result = BuildVlg(document);
    EXPECT_EQ(result.error, ArchiveError::None) << result.message;
    return result.bytes;
}

const json& Object(const json& document, uint32_t index) {
    for (const json& object : document["objects"]) {
        if (object["index"] == index) return object;
    }
    static const json none;
    return none;
}

// A directory where back-references are everywhere: groups across services, member rows,
// accented text, a last message.
void FillRich(DirectoryStore& store) {
    FillWorkedExample(store);
    ServiceFields fields;
    fields.name = "Z\xE9ta \x80";
    fields.permanentLineID = 4;
    auto* other = new CService(fields);
    store.GetServiceList()->AddTail(other);
    auto* ann = As<CSubscriber>(store.GetSubscriberList()->GetHead());
    auto* cy = new CSubscriber("Cy", "9", "240", other);
    other->AddSubscriber(cy);
    store.GetSubscriberList()->AddTail(cy);
    auto* group = new CGroup("Both");
    AddGroupMember(*group, *cy);
    AddGroupMember(*group, *ann);
    store.GetGroupList()->AddTail(group);
    store.GetDisplayList()->AddTail(new CDisplayObject(nullptr, group, 1));
    store.GetDisplayList()->AddTail(new CDisplayObject(cy, group, 0));
    store.GetPresetMessageList()->AddTail(new CMessage("tab\tand \"quotes\""));
    store.SetLastMessageText("last");
}

}  // namespace

TEST(DirectoryVlgtool, WorkedExampleDumpsWithIndexesAndRebuildsExactly) {
    DirectoryStore store;
    FillWorkedExample(store);
    const std::string bytes = DirectoryBytes(store);
    json document = Dump(bytes);
    EXPECT_EQ(document["kind"], "directory");
    EXPECT_EQ(document["format_version"], 1);
    EXPECT_EQ(document["schemas"]["CService"], 1);
    EXPECT_EQ(document["roots"]["services"], 2);
    EXPECT_EQ(document["roots"]["subscribers"], 9);
    EXPECT_TRUE(document["roots"]["last_message"].is_null());
    EXPECT_EQ(Object(document, 4)["Name"], "Acme");
    EXPECT_EQ(Object(document, 4)["Subscribers"], 5);
    EXPECT_EQ(Object(document, 7)["Service"], 4);
    EXPECT_EQ(Object(document, 9)["items"], json::array({7}));
    EXPECT_EQ(Object(document, 14)["class"], "CDisplayObject");
    EXPECT_EQ(Build(document), bytes);
}

TEST(DirectoryVlgtool, EveryKindAndVersionRoundTrips) {
    DirectoryStore store;
    FillRich(store);
    const std::string directory = DirectoryBytes(store);
    EXPECT_EQ(Build(Dump(directory)), directory);
    json rich = Dump(directory);
    EXPECT_EQ(Object(rich, Object(rich, 4)["Subscribers"])["class"], "CObList");

    // Format 0: no magic, an old log list (times of whole seconds in this century).
    CObList log;
    CLogObject old(1000000000u, "Ann", "Message Sent Successfully!", "hi", 0);
    log.AddTail(&old);
    DirectoryRoots roots = RootsOf(store);
    roots.logList = &log;
    ArchiveWriter oldWriter(0);
    WriteDirectory(oldWriter, roots);
    json oldDocument = Dump(oldWriter.Bytes());
    EXPECT_EQ(oldDocument["format_version"], 0);
    EXPECT_FALSE(oldDocument["roots"]["log_list"].is_null());
    EXPECT_EQ(Build(oldDocument), oldWriter.Bytes());

    // The log window file, empty and not.
    ArchiveWriter logWriter;
    WriteListArchive(logWriter, &log);
    json logDocument = Dump(logWriter.Bytes());
    EXPECT_EQ(logDocument["kind"], "log");
    EXPECT_EQ(Build(logDocument), logWriter.Bytes());
    log.RemoveAll();
    ArchiveWriter emptyLog;
    WriteListArchive(emptyLog, &log);
    EXPECT_EQ(Dump(emptyLog.Bytes())["kind"], "log");
    EXPECT_EQ(Build(Dump(emptyLog.Bytes())), emptyLog.Bytes());

    // The queue: two pages sharing a message, one failed with resends left.
    auto* ann = As<CSubscriber>(store.GetSubscriberList()->GetHead());
    auto* message = new CPagerMessage("See you");
    OwningList queue(new CObList);
    queue->AddTail(new CPage(message, CSubscriber::MakeDetachedCopy(*ann), kWhenNow, {}, 0));
    auto* failed = new CPage(message, CSubscriber::MakeDetachedCopy(*ann), kWhenAt, 77u, 3);
    failed->SetStatus(kStatusFailed, "Line busy", 12);
    queue->AddTail(failed);
    message->AddRef();
    message->AddRef();
    ArchiveWriter queueWriter;
    WriteListArchive(queueWriter, queue.get());
    json queueDocument = Dump(queueWriter.Bytes());
    EXPECT_EQ(queueDocument["kind"], "queue");
    const json& failedJson = Object(queueDocument, queueDocument["objects"][0]["items"][1]);
    EXPECT_EQ(failedJson["ResendTimesLeft"], 3);
    EXPECT_EQ(failedJson["StatusCode"], 12);
    EXPECT_EQ(Build(queueDocument), queueWriter.Bytes());
}

TEST(DirectoryVlgtool, EditedDocumentsAreRenumberedAndChecked) {
    DirectoryStore store;
    FillWorkedExample(store);
    json document = Dump(DirectoryBytes(store));
    // Rename the service and add a preset message with a new label.
    for (json& object : document["objects"]) {
        if (object["index"] == 4) object["Name"] = "Acme Paging";
        if (object["index"] == 11) object["items"] = json::array({100});
    }
    document["objects"].push_back({{"index", 100}, {"class", "CMessage"}, {"Text", "Café"}});
    std::string bytes = Build(document);
    ASSERT_FALSE(bytes.empty());
    json again = Dump(bytes);
    bool found = false;
    for (const json& object : again["objects"]) {
        if (object["class"] == "CMessage") found = object["Text"] == "Café";
    }
    EXPECT_TRUE(found);

    json broken = document;
    broken["objects"].back()["index"] = 4;  // two objects with one label
    EXPECT_EQ(BuildVlg(broken).error, ArchiveError::BadIndex);
    broken = document;
    broken["roots"]["services"] = 999;
    EXPECT_EQ(BuildVlg(broken).error, ArchiveError::BadIndex);
    broken = document;
    broken["roots"]["last_message"] = 4;  // a service where a message must be
    EXPECT_EQ(BuildVlg(broken).error, ArchiveError::BadClass);
    broken = document;
    broken["roots"]["groups"] = 8;  // Ann's own Groups list as the group list: two owners
    EXPECT_EQ(BuildVlg(broken).error, ArchiveError::BadIndex);
    broken = document;
    broken["objects"][0]["class"] = "CNothing";
    EXPECT_EQ(BuildVlg(broken).error, ArchiveError::BadClass);
    broken = document;
    broken["objects"].back()["Text"] = "\xE2\x9C\x93";  // no byte in the code page
    EXPECT_NE(BuildVlg(broken).error, ArchiveError::None);
}

// A number that does not fit its field would be stored changed (a baud rate of 0, an index
// of 4294967295): refused, naming the field.
TEST(DirectoryVlgtool, NumbersThatDoNotFitTheirFieldAreRefusedByName) {
    DirectoryStore store;
    FillWorkedExample(store);
    const json document = Dump(DirectoryBytes(store));
    struct Case {
        const char* field;
        std::function<void(json&)> edit;
    };
    auto service = [](json& d) -> json& {
        for (json& object : d["objects"])
            if (object["index"] == 4) return object;
        return d;
    };
    const Case cases[] = {
        {"BaudRate", [&](json& d) { service(d)["BaudRate"] = 1099511627776LL; }},
        {"BaudRate", [&](json& d) { service(d)["BaudRate"] = 2400.5; }},
        {"Parity", [&](json& d) { service(d)["Parity"] = -2147483649LL; }},
        {"Parity", [&](json& d) { service(d)["Parity"] = true; }},
        {"format_version", [](json& d) { d["format_version"] = 65537; }},
        {"index", [](json& d) { d["objects"].back()["index"] = -1; }},
        {"reference", [](json& d) { d["roots"]["services"] = 4294967298LL; }},
        {"schemas.CService", [](json& d) { d["schemas"]["CService"] = 70000; }},
        {"trailing_hex", [](json& d) { d["trailing_hex"] = "-1"; }},
    };
    for (const Case& c : cases) {
        json edited = document;
        c.edit(edited);
        const BuildResult result = BuildVlg(edited);
        EXPECT_EQ(result.error, ArchiveError::BadSchema) << c.field << ": " << result.message;
        EXPECT_NE(result.message.find(c.field), std::string::npos) << result.message;
        EXPECT_TRUE(result.bytes.empty()) << c.field;
    }
}

TEST(DirectoryVlgtool, DamagedFilesReportTheirCause) {
    DirectoryStore store;
    FillWorkedExample(store);
    std::string bytes = DirectoryBytes(store);
    Dump(bytes.substr(0, bytes.size() - 1), ArchiveError::EndOfFile);
    Dump(AsString(Bytes("FFFF 0000 0400 \"CFoo\"")), ArchiveError::BadClass);
    Dump("", ArchiveError::EndOfFile);
}

TEST(DirectoryVlgtool, CommandLineRoundTripAndExitCodes) {
    const char* buildDir = std::getenv("VORLA_BUILD_DIR");
    ASSERT_NE(buildDir, nullptr);
    const std::string tool = std::string(buildDir) + "/bin/vlgtool";
    TempFolder folder;
    DirectoryStore store;
    FillRich(store);
    ASSERT_EQ(SaveDirectoryFile(folder.Path("Vorla Pro.vlg"), store), ArchiveError::None);
    auto run = [](const std::string& command) {
        int status = std::system((command + " 2>/dev/null").c_str());
        return WEXITSTATUS(status);
    };
    const std::string quoted = "'" + folder.Path("Vorla Pro.vlg") + "'";
    EXPECT_EQ(run(tool + " dump " + quoted + " > " + folder.Path("d.json")), 0);
    EXPECT_EQ(run(tool + " build " + folder.Path("d.json") + " " + folder.Path("copy.vlg")), 0);
    std::vector<uint8_t> original, copy;
    ReadWholeFile(folder.Path("Vorla Pro.vlg"), original);
    ReadWholeFile(folder.Path("copy.vlg"), copy);
    EXPECT_EQ(original, copy);

    EXPECT_EQ(run(tool + " dump " + folder.Path("missing.vlg")), 1);
    std::ofstream(folder.Path("cut.vlg"), std::ios::binary)
        << AsString(std::span(original).first(original.size() / 2));
    EXPECT_EQ(run(tool + " dump " + folder.Path("cut.vlg")), 2);
    std::ofstream(folder.Path("bad.json")) << "{ not json";
    EXPECT_EQ(run(tool + " build " + folder.Path("bad.json") + " " + folder.Path("x.vlg")), 2);
    EXPECT_EQ(run(tool + " frobnicate"), 64);
}
