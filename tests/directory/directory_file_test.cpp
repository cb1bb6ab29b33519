// The directory file: its exact layout, old files without the magic, object sharing across
// a save and a load, damaged graphs, and the atomic replacement.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/class_registry.h"
#include "archive/file_format_version.h"
#include "directory/cross_links.h"
#include "directory/directory_classes.h"
#include "directory/directory_file.h"
#include "directory/directory_rules.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "files/atomic_file.h"
#include "files/private_file.h"
#include "tests/directory/test_directory.h"

namespace {

const char* const kWorkedExample =
    "564C5057 0100"
    "FFFF 0000 0700 \"CObList\" 0100"
    "FFFF 0100 0800 \"CService\""
    "04\"Acme\" 03\"555\" 01000000 00 0F\"Factory Default\" 04\"AT&F\" 04\"COM1\""
    "60090000 01000000 00000000 00000000 0C\"VORLAPRO.RKL\" 00000000"
    "0180 0100"
    "FFFF 0100 0B00 \"CSubscriber\" 03\"Ann\" 03\"123\" 02\"80\" 0400"
    "0180 0000"
    "0180 0100 0700"
    "0180 0000"
    "0180 0000"
    "0180 0100"
    "FFFF 0100 0E00 \"CDisplayObject\" 0700 0000 00000000"
    "0000";

ClassRegistry Registry() {
    ClassRegistry registry;
    RegisterDirectoryClasses(registry);
    return registry;
}

std::string Save(const DirectoryStore& store, uint16_t version = 1) {
    ArchiveWriter writer(version);
    WriteDirectory(writer, RootsOf(store));
    EXPECT_EQ(writer.Error(), ArchiveError::None);
    return writer.Bytes();
}

ArchiveError Load(const std::string& bytes, DirectoryContents& out, uint16_t startVersion = 0) {
    static const ClassRegistry registry = Registry();
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    ArchiveReader reader(data, registry, startVersion);
    return ReadDirectory(reader, out);
}

}  // namespace

TEST(DirectoryFileLayout, WorkedExampleIsWrittenByteForByte) {
    DirectoryStore store;
    FillWorkedExample(store);
    EXPECT_EQ(Save(store), AsString(Bytes(kWorkedExample)));
}

TEST(DirectoryFileLayout, WorkedExampleLoadsIntoOneSharedGraph) {
    DirectoryContents contents;
    ASSERT_EQ(Load(AsString(Bytes(kWorkedExample)), contents), ArchiveError::None);
    EXPECT_EQ(contents.formatVersion, 1);
    ASSERT_EQ(contents.services->GetCount(), 1u);
    auto* service = As<CService>(contents.services->GetHead());
    auto* ann = As<CSubscriber>(contents.subscribers->GetHead());
    ASSERT_TRUE(service && ann);
    EXPECT_EQ(service->GetBaudRate(), 2400);
    EXPECT_EQ(service->GetModemName(), "Factory Default");
    EXPECT_EQ(ann->GetService(), service);
    EXPECT_EQ(service->GetSubscribers()->GetHead(), ann);
    auto* row = As<CDisplayObject>(contents.displayRows->GetHead());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetSubscriber(), ann);
    EXPECT_EQ(row->GetGroup(), nullptr);
    EXPECT_EQ(contents.lastMessage, nullptr);
    EXPECT_TRUE(contents.strays.empty());
}

TEST(DirectoryFileLayout, EmptyDirectoryIsFiveEmptyListsAndANullMessage) {
    DirectoryStore store;
    store.CreateEmpty();
    EXPECT_EQ(Save(store), AsString(Bytes("564C5057 0100 FFFF 0000 0700 \"CObList\" 0000"
                                          "0180 0000 0180 0000 0180 0000 0180 0000 0000")));
}

TEST(DirectoryFileLayout, FormatZeroHasNoMagicNoLineIdAndAnOldLogList) {
    // One service without PermanentLineID, its empty subscriber list, four empty lists, an
    // empty log list and a last message.
    std::string old =
        AsString(Bytes("FFFF 0000 0700 \"CObList\" 0100"
                       "FFFF 0100 0800 \"CService\" 01\"S\" 00 00000000 00 00 00 00 00000000 00000000 "
                       "00000000 00000000 00"
                       "0180 0000"
                       "0180 0000 0180 0000 0180 0000 0180 0000 0180 0000"
                       "FFFF 0100 0800 \"CMessage\" 05\"hello\" 00000000"));
    DirectoryContents contents;
    ASSERT_EQ(Load(old, contents), ArchiveError::None);
    EXPECT_EQ(contents.formatVersion, 0);
    auto* service = As<CService>(contents.services->GetHead());
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(service->GetName(), "S");
    EXPECT_EQ(service->GetPermanentLineID(), 0);
    ASSERT_NE(contents.logList, nullptr);
    EXPECT_TRUE(contents.logList->IsEmpty());
    ASSERT_NE(contents.lastMessage, nullptr);
    EXPECT_EQ(contents.lastMessage->GetText(), "hello");

    // Read as format 1, the Subscribers tag would be taken for PermanentLineID.
    DirectoryContents misread;
    if (Load(old, misread, 1) == ArchiveError::None) {
        EXPECT_EQ(As<CService>(misread.services->GetHead())->GetPermanentLineID(), 0x8001);
    }

    // Writing format 0 gives the same bytes back (the tools rebuild old files this way).
    DirectoryStore store;
    store.TakeDirectory(std::move(contents));
    store.EnsureQueueAndLog();
    EXPECT_EQ(Save(store, 0), old);
}

TEST(DirectoryFileGraph, SharedRecordsAndGroupLinksSurviveSaveAndLoad) {
    DirectoryStore store;
    FillWorkedExample(store);
    auto* service = As<CService>(store.GetServiceList()->GetHead());
    auto* ann = As<CSubscriber>(store.GetSubscriberList()->GetHead());
    auto* bob = new CSubscriber("Bob", "456", "Split", service);
    service->AddSubscriber(bob);
    store.GetSubscriberList()->AddTail(bob);
    auto* group = new CGroup("Team");
    AddGroupMember(*group, *ann);
    AddGroupMember(*group, *bob);
    store.GetGroupList()->AddTail(group);
    store.GetDisplayList()->AddTail(new CDisplayObject(nullptr, group, 1));
    store.GetDisplayList()->AddTail(new CDisplayObject(bob, group, 0));
    store.GetPresetMessageList()->AddTail(new CMessage("Call me"));
    store.SetLastMessageText("Lunch?");
    const std::string saved = Save(store);

    DirectoryContents contents;
    ASSERT_EQ(Load(saved, contents), ArchiveError::None);
    auto* loadedService = As<CService>(contents.services->GetHead());
    auto* loadedAnn = As<CSubscriber>(contents.subscribers->GetAt(0));
    auto* loadedBob = As<CSubscriber>(contents.subscribers->GetAt(1));
    auto* loadedGroup = As<CGroup>(contents.groups->GetHead());
    ASSERT_TRUE(loadedService && loadedAnn && loadedBob && loadedGroup);
    EXPECT_EQ(loadedBob->GetService(), loadedService);
    EXPECT_EQ(loadedService->GetSubscribers()->GetHead(), loadedBob);  // added at the head
    EXPECT_EQ(loadedGroup->GetMembers()->GetAt(0), loadedAnn);
    EXPECT_EQ(loadedGroup->GetMembers()->GetAt(1), loadedBob);
    EXPECT_EQ(loadedAnn->GetGroups()->GetHead(), loadedGroup);
    EXPECT_EQ(loadedBob->GetGroups()->GetHead(), loadedGroup);
    auto* memberRow = As<CDisplayObject>(contents.displayRows->GetAt(2));
    ASSERT_NE(memberRow, nullptr);
    EXPECT_EQ(memberRow->GetSubscriber(), loadedBob);
    EXPECT_EQ(memberRow->GetGroup(), loadedGroup);
    EXPECT_EQ(contents.lastMessage->GetText(), "Lunch?");

    // Saving what was loaded gives the same bytes.
    DirectoryStore reloaded;
    reloaded.TakeDirectory(std::move(contents));
    EXPECT_EQ(Save(reloaded), saved);
}

TEST(DirectoryFileGraph, GraphsThatWouldBreakOwnershipOrTypesAreRefused) {
    const std::string magicAndList = "564C5057 0100 FFFF 0000 0700 \"CObList\"";
    struct Case {
        std::string bytes;
        ArchiveError error;
    } cases[] = {
        // the service list holds a message
        {magicAndList + "0100 FFFF 0100 0800 \"CMessage\" 00 00000000 0180 0000 0180 0000 "
                        "0180 0000 0180 0000 0000",
         ArchiveError::BadClass},
        // the subscriber list is the service list again (two owners)
        {magicAndList + "0000 0200 0180 0000 0180 0000 0180 0000 0000", ArchiveError::BadIndex},
        // the service list holds a null
        {magicAndList + "0100 0000 0180 0000 0180 0000 0180 0000 0180 0000 0000", ArchiveError::BadClass},
        // the service list is missing (a null reference)
        {"564C5057 0100 0000 FFFF 0000 0700 \"CObList\" 0000 0180 0000 0180 0000 0180 0000 0000",
         ArchiveError::BadClass},
        // the first root is not a list at all
        {"564C5057 0100 FFFF 0100 0800 \"CMessage\" 00 00000000 0000 0000 0000 0000 0000",
         ArchiveError::BadClass},
    };
    for (const Case& c : cases) {
        DirectoryContents contents;
        EXPECT_EQ(Load(AsString(Bytes(c.bytes)), contents), c.error) << c.bytes;
        EXPECT_EQ(contents.services, nullptr);
    }
}

TEST(DirectoryFileGraph, RecordsReachedOnlyThroughLinksAreKeptAlive) {
    // A display row points at a subscriber that no list owns: it loads and is kept.
    std::string bytes =
        AsString(Bytes("564C5057 0100 FFFF 0000 0700 \"CObList\" 0000 0180 0000 0180 0000 0180 0000 0180 0100"
                       "FFFF 0100 0E00 \"CDisplayObject\""
                       "FFFF 0100 0B00 \"CSubscriber\" 01\"Z\" 00 00 0000 0180 0000"
                       "0000 00000000 0000"));
    DirectoryContents contents;
    ASSERT_EQ(Load(bytes, contents), ArchiveError::None);
    auto* row = As<CDisplayObject>(contents.displayRows->GetHead());
    ASSERT_NE(row, nullptr);
    ASSERT_NE(row->GetSubscriber(), nullptr);
    EXPECT_EQ(row->GetSubscriber()->GetName(), "Z");
    ASSERT_EQ(contents.strays.size(), 1u);
    EXPECT_EQ(contents.strays[0].get(), row->GetSubscriber());
}

// Each link pair is made to agree with the side the program acts on: a subscriber's service,
// a group's members.
TEST(DirectoryFileGraph, OneSidedLinksAreRepairedOnLoad) {
    DirectoryStore store;
    store.CreateEmpty();
    ServiceFields fields;
    fields.name = "Acme";
    auto* acme = new CService(fields);
    fields.name = "Beta";
    auto* beta = new CService(fields);
    auto* ann = new CSubscriber("Ann", "1", "80", acme);
    auto* bob = new CSubscriber("Bob", "2", "80", acme);
    auto* cy = new CSubscriber("Cy", "3", "80", beta);
    auto* team = new CGroup("Team");
    auto* crew = new CGroup("Crew");
    for (CService* service : {acme, beta})
        store.GetServiceList()->AddTail(service);
    for (CSubscriber* subscriber : {ann, bob, cy})
        store.GetSubscriberList()->AddTail(subscriber);
    for (CGroup* group : {team, crew})
        store.GetGroupList()->AddTail(group);
    acme->GetSubscribers()->AddTail(ann);  // Bob missing, Cy belongs to Beta, Beta lists nobody
    acme->GetSubscribers()->AddTail(cy);
    acme->GetSubscribers()->AddTail(ann);
    for (CSubscriber* member : {ann, bob, ann})
        team->GetMembers()->AddTail(member);
    bob->GetGroups()->AddTail(crew);  // Crew has no members; Ann and Bob miss Team
    crew->GetMembers()->AddTail(cy);  // Cy misses Crew

    DirectoryContents contents;
    ASSERT_EQ(Load(Save(store), contents), ArchiveError::None);
    EXPECT_EQ(RepairCrossLinks(contents), 9u);
    auto names = [](const CObList* list) {
        std::vector<std::string> out;
        for (const Serializable* item : *list) {
            if (auto* s = As<CSubscriber>(item)) out.push_back(s->GetName());
            if (auto* g = As<CGroup>(item)) out.push_back(g->GetName());
        }
        return out;
    };
    using Names = std::vector<std::string>;
    auto service = [&](size_t i) { return As<CService>(contents.services->GetAt(i)); };
    auto subscriber = [&](size_t i) { return As<CSubscriber>(contents.subscribers->GetAt(i)); };
    auto group = [&](size_t i) { return As<CGroup>(contents.groups->GetAt(i)); };
    EXPECT_EQ(names(service(0)->GetSubscribers()), (Names{"Bob", "Ann"}));
    EXPECT_EQ(names(service(1)->GetSubscribers()), Names{"Cy"});
    EXPECT_EQ(names(group(0)->GetMembers()), (Names{"Ann", "Bob"}));
    EXPECT_EQ(names(subscriber(0)->GetGroups()), Names{"Team"});
    EXPECT_EQ(names(subscriber(1)->GetGroups()), Names{"Team"});
    EXPECT_EQ(names(subscriber(2)->GetGroups()), Names{"Crew"});

    // What the program writes needs no repair.
    DirectoryStore repaired;
    repaired.TakeDirectory(std::move(contents));
    DirectoryContents again;
    ASSERT_EQ(Load(Save(repaired), again), ArchiveError::None);
    EXPECT_EQ(RepairCrossLinks(again), 0u);
}

TEST(DirectoryFileGraph, EveryTruncationOfARealFileFailsCleanly) {
    DirectoryStore store;
    FillWorkedExample(store);
    store.SetLastMessageText("bye");
    const std::string full = Save(store);
    for (size_t length = 0; length < full.size(); ++length) {
        DirectoryContents contents;
        ArchiveError error = Load(full.substr(0, length), contents);
        EXPECT_TRUE(IsFormatError(error)) << length;
    }
}

TEST(DirectoryFileDisk, LoadSetsTheFormatVersionAndSaveReplacesAtomically) {
    TempFolder folder;
    const std::string path = folder.Path("Vorla Pro.vlg");
    DirectoryStore store;
    FillWorkedExample(store);
    ASSERT_EQ(SaveDirectoryFile(path, store), ArchiveError::None);
    ASSERT_EQ(SaveDirectoryFile(path, store), ArchiveError::None);         // over an existing file
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"Vorla Pro.vlg"});  // no temp file left

    SetFileFormatVersion(0);
    ClassRegistry registry = Registry();
    DirectoryStore loaded;
    ASSERT_EQ(LoadDirectoryFile(path, registry, loaded), ArchiveError::None);
    EXPECT_EQ(GetFileFormatVersion(), 1);
    EXPECT_EQ(As<CService>(loaded.GetServiceList()->GetHead())->GetName(), "Acme");

    // A damaged file leaves the store as it was.
    std::ofstream(path, std::ios::binary | std::ios::trunc) << "VLPW\x01";
    EXPECT_EQ(LoadDirectoryFile(path, registry, loaded), ArchiveError::EndOfFile);
    EXPECT_EQ(As<CService>(loaded.GetServiceList()->GetHead())->GetName(), "Acme");
    EXPECT_EQ(LoadDirectoryFile(folder.Path("missing.vlg"), registry, loaded), ArchiveError::Io);

    // While the bytes are written nothing but the old file has a name, so a process that dies
    // in the middle (or a write that fails) leaves no temporary file behind.
    std::vector<std::string> namesWhileWriting;
    EXPECT_EQ(ReplaceFileAtomically(path,
                                    [&](std::FILE* file) {
                                        std::fputs("partial", file);
                                        std::fflush(file);
                                        namesWhileWriting = folder.Names();
                                        return ArchiveError::Io;
                                    }),
              ArchiveError::Io);
    EXPECT_EQ(namesWhileWriting, std::vector<std::string>{"Vorla Pro.vlg"});
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"Vorla Pro.vlg"});

    // A folder that cannot take the temporary file leaves the old file alone.
    EXPECT_EQ(SaveDirectoryFile(folder.Path("no-such-folder/x.vlg"), store), ArchiveError::Io);
}

// Files hold passwords and pager messages: a replacement is private, and keeps an old mode
// only when that is not wider; an appended file is narrowed too.
TEST(DirectoryFileDisk, WrittenFilesAreForTheirOwnerOnly) {
    const mode_t oldMask = umask(022);  // the usual umask, which would leave 0644
    TempFolder folder;
    auto modeOf = [](const std::string& path) {
        struct stat info {};
        EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
        return info.st_mode & 0777;
    };
    struct Case {
        int before;  // -1: no old file
        unsigned after;
    };
    for (const Case& c : {Case{-1, 0600}, Case{0644, 0600}, Case{0666, 0600}, Case{0640, 0600},
                          Case{0600, 0600}, Case{0400, 0400}}) {
        const std::string path = folder.Path("replaced" + std::to_string(c.before));
        if (c.before >= 0) {
            std::ofstream(path) << "old";
            ASSERT_EQ(chmod(path.c_str(), static_cast<mode_t>(c.before)), 0);
        }
        ASSERT_EQ(ReplaceFileAtomically(path, "new"), ArchiveError::None);
        EXPECT_EQ(modeOf(path), c.after) << std::oct << c.before;
    }
    const std::string log = folder.Path("log.txt");
    for (int round = 0; round < 2; ++round) {
        std::FILE* file = OpenPrivateFileForAppending(log);
        ASSERT_NE(file, nullptr);
        std::fputs("line\n", file);
        std::fclose(file);
        EXPECT_EQ(modeOf(log), 0600u);
        ASSERT_EQ(chmod(log.c_str(), 0644), 0);  // as an older version left it
    }
    std::vector<uint8_t> bytes;
    ASSERT_EQ(ReadWholeFile(log, bytes), ArchiveError::None);
    EXPECT_EQ(AsString(bytes), "line\nline\n");
    umask(oldMask);
}
