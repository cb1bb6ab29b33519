// The queue file, the log window file and the start-up sequence that reads them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/class_registry.h"
#include "archive/file_format_version.h"
#include "directory/directory_file.h"
#include "directory/directory_store.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "files/atomic_file.h"
#include "paging/log_object.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "tests/directory/test_directory.h"

namespace {

constexpr std::time_t kNow = 1'700'000'000;

const ClassRegistry& Registry() {
    static const ClassRegistry registry = MakeProgramClassRegistry();
    return registry;
}

// Two pages for two subscribers sharing one message, the second scheduled.
OwningList TwoPageQueue() {
    OwningList queue(new CObList);
    auto* message = new CPagerMessage("Meeting at ten");
    ServiceFields fields;
    fields.name = "Acme";
    fields.permanentLineID = 3;
    CService service(fields);
    CSubscriber ann("Ann", "123", "80", &service);
    CSubscriber bob("Bob", "456", "5", &service);
    queue->AddTail(new CPage(message, CSubscriber::MakeDetachedCopy(ann), kWhenNow, std::nullopt, 0));
    queue->AddTail(new CPage(message, CSubscriber::MakeDetachedCopy(bob), kWhenAt, 1234567u, 0));
    message->AddRef();
    message->AddRef();
    return queue;
}

// The two-page queue as a program writing format 0 saved it.
void WriteOldQueue(const std::string& path) {
    ArchiveWriter writer(0);
    OwningList queue = TwoPageQueue();
    WriteListArchive(writer, queue.get());
    ASSERT_EQ(ReplaceFileAtomically(path, writer.Bytes()), ArchiveError::None);
}

std::string ReadFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadWholeFile(path, bytes), ArchiveError::None);
    return AsString(bytes);
}

}  // namespace

TEST(PagingRecordsQueueFile, PagesKeepTheirSharedMessageAndCopies) {
    TempFolder folder;
    const std::string path = folder.Path("Outgoing.vlg");
    OwningList queue = TwoPageQueue();
    ASSERT_EQ(SaveQueueFile(path, queue.get()), ArchiveError::None);

    SetFileFormatVersion(1);
    LoadedList loaded;
    ASSERT_EQ(LoadQueueFile(path, Registry(), loaded), ArchiveError::None);
    ASSERT_EQ(loaded.list->GetCount(), 2u);
    auto* first = As<CPage>(loaded.list->GetAt(0));
    auto* second = As<CPage>(loaded.list->GetAt(1));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->GetMessage(), second->GetMessage());
    EXPECT_EQ(first->GetMessage()->GetRefCount(), 2);
    EXPECT_EQ(first->GetMessage()->GetText(), "Meeting at ten");
    EXPECT_FALSE(first->GetScheduledTime().has_value());
    EXPECT_EQ(second->GetScheduledTime(), 1234567u);
    EXPECT_EQ(second->GetPageCount(), 3);
    EXPECT_NE(first->GetSubscriber()->GetService(), second->GetSubscriber()->GetService());
    EXPECT_EQ(second->GetSubscriber()->GetService()->GetPermanentLineID(), 3);
    EXPECT_TRUE(loaded.strays.empty());

    // Saved again, the file is the same; dropping the pages frees the message once.
    const std::string before = ReadFile(path);
    ASSERT_EQ(SaveQueueFile(path, loaded.list.get()), ArchiveError::None);
    EXPECT_EQ(ReadFile(path), before);
}

TEST(PagingRecordsQueueFile, ResendAllowanceAndStatusCodeSurviveAReload) {
    OwningList queue = TwoPageQueue();
    auto* first = As<CPage>(queue->GetHead());
    first->SetResendTimes(3);
    first->SetStatus(kStatusFailed, "No carrier", -7);
    ArchiveWriter writer;
    WriteListArchive(writer, queue.get());
    std::vector<uint8_t> bytes(writer.Bytes().begin(), writer.Bytes().end());

    // The two values sit right after When (Now, 0) in slots older versions wrote as 0.
    const std::vector<uint8_t> stored = Bytes(
        "00000000"
        "03000000"
        "f9ffffff");
    auto at = std::search(bytes.begin(), bytes.end(), stored.begin(), stored.end());
    ASSERT_NE(at, bytes.end());
    std::vector<uint8_t> older = bytes;
    std::fill(older.begin() + (at - bytes.begin()) + 4, older.begin() + (at - bytes.begin()) + 12, 0);

    struct Case {
        const std::vector<uint8_t>* file;
        int32_t allowance;
        int32_t code;
    };
    for (const Case& c : {Case{&bytes, 3, -7}, Case{&older, 0, 0}}) {
        ArchiveReader reader(*c.file, Registry(), 1);
        LoadedList loaded;
        ASSERT_EQ(ReadQueue(reader, loaded), ArchiveError::None);
        auto* page = As<CPage>(loaded.list->GetHead());
        EXPECT_EQ(page->GetResendTimes(), c.allowance);
        EXPECT_EQ(page->GetStatusCode(), c.code);
        EXPECT_EQ(page->GetStatusText(), "No carrier");
    }
}

TEST(PagingRecordsQueueFile, EmptyQueueLeavesNoFile) {
    TempFolder folder;
    const std::string path = folder.Path("Outgoing.vlg");
    OwningList queue = TwoPageQueue();
    ASSERT_EQ(SaveQueueFile(path, queue.get()), ArchiveError::None);
    ASSERT_TRUE(std::filesystem::exists(path));
    OwningList empty(new CObList);
    ASSERT_EQ(SaveQueueFile(path, empty.get()), ArchiveError::None);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(PagingRecordsQueueFile, WrongCountsAndWrongRecordsAreRepairedOrRefused) {
    OwningList queue = TwoPageQueue();
    As<CPage>(queue->GetHead())->GetMessage()->SetRefCount(0);  // as if the count was damaged
    ArchiveWriter writer;
    WriteListArchive(writer, queue.get());
    As<CPage>(queue->GetHead())->GetMessage()->SetRefCount(2);
    std::vector<uint8_t> bytes(writer.Bytes().begin(), writer.Bytes().end());
    {
        ArchiveReader reader(bytes, Registry(), 1);
        LoadedList loaded;
        ASSERT_EQ(ReadQueue(reader, loaded), ArchiveError::None);
        ReconcileMessageRefCounts(reader);
        EXPECT_EQ(As<CPage>(loaded.list->GetHead())->GetMessage()->GetRefCount(), 2);
    }  // both pages are discarded here; with a count of 0 the first would free the message

    // A file holding a null reference instead of the list is refused, not read as no list.
    auto nullList = Bytes("0000");
    ArchiveReader nullReader(nullList, Registry(), 1);
    LoadedList none;
    EXPECT_EQ(ReadQueue(nullReader, none), ArchiveError::BadClass);

    // The same bytes are not a log list.
    ArchiveReader asLog(bytes, Registry(), 1);
    LoadedList log;
    EXPECT_EQ(ReadLogList(asLog, log), ArchiveError::BadClass);

    // A page without a message is refused: the sender could not use it.
    CObList broken;
    auto* orphan = new CPage();
    broken.AddTail(orphan);
    ArchiveWriter brokenWriter;
    WriteListArchive(brokenWriter, &broken);
    delete orphan;
    std::vector<uint8_t> brokenBytes(brokenWriter.Bytes().begin(), brokenWriter.Bytes().end());
    ArchiveReader brokenReader(brokenBytes, Registry(), 1);
    LoadedList nothing;
    EXPECT_EQ(ReadQueue(brokenReader, nothing), ArchiveError::BadClass);
}

TEST(PagingRecordsLogFile, EmptyLogIsWrittenAsAnEmptyList) {
    TempFolder folder;
    const std::string path = folder.Path("Vorla Pro Log Window.vlg");
    CObList empty;
    ASSERT_EQ(SaveLogWindowFile(path, &empty), ArchiveError::None);
    EXPECT_EQ(ReadFile(path), AsString(Bytes("FFFF 0000 0700 \"CObList\" 0000")));
    EXPECT_EQ(SaveLogWindowFile(folder.Path("none.vlg"), nullptr), ArchiveError::None);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("none.vlg")));
}

TEST(PagingRecordsStartup, CurrentFilesAreReadAndTheLogAppended) {
    TempFolder folder;
    const std::string dir = folder.path() + "/";
    {
        DirectoryStore store;
        FillWorkedExample(store);
        ASSERT_EQ(SaveDirectoryFile(dir + "Vorla Pro.vlg", store), ArchiveError::None);
        OwningList queue = TwoPageQueue();
        ASSERT_EQ(SaveQueueFile(dir + "Outgoing.vlg", queue.get()), ArchiveError::None);
        CObList log;
        CLogObject record(5u, "Ann", "Message Sent Successfully!", "hi", 0);
        log.AddTail(&record);
        ASSERT_EQ(SaveLogWindowFile(dir + "Vorla Pro Log Window.vlg", &log), ArchiveError::None);
        log.RemoveAll();
    }
    SetFileFormatVersion(0);
    DirectoryStore store;
    ASSERT_EQ(LoadStartupFiles(store, dir, Registry(), kNow).directoryError, ArchiveError::None);
    EXPECT_EQ(GetFileFormatVersion(), 1);
    EXPECT_EQ(store.GetServiceList()->GetCount(), 1u);
    EXPECT_EQ(store.GetOutgoingList()->GetCount(), 2u);
    ASSERT_EQ(store.GetLogList()->GetCount(), 1u);
    EXPECT_EQ(As<CLogObject>(store.GetLogList()->GetHead())->GetName(), "Ann");
}

TEST(PagingRecordsStartup, AnOldDirectoryIsUpgradedAtOnceSoItsFilesAlwaysReadTogether) {
    TempFolder folder;
    const std::string dir = folder.path() + "/";
    {
        // A format-0 directory with one old log record, a format-0 queue, and a stray log window
        // file beside them.
        DirectoryStore store;
        store.CreateEmpty();
        ArchiveWriter writer(0);
        CObList log;
        CLogObject record(900000000u, "Old", "Message Sent Successfully!", "x", 0);
        log.AddTail(&record);
        DirectoryRoots roots = RootsOf(store);
        roots.logList = &log;
        WriteDirectory(writer, roots);
        ASSERT_EQ(ReplaceFileAtomically(dir + "Vorla Pro.vlg", writer.Bytes()), ArchiveError::None);
        WriteOldQueue(dir + "Outgoing.vlg");
        ASSERT_EQ(ReplaceFileAtomically(dir + "Vorla Pro Log Window.vlg", "stray"), ArchiveError::None);
        log.RemoveAll();
    }
    SetFileFormatVersion(0);
    DirectoryStore store;
    const StartupLoad load = LoadStartupFiles(store, dir, Registry(), kNow);
    ASSERT_EQ(load.directoryError, ArchiveError::None);
    ASSERT_EQ(store.GetLogList()->GetCount(), 1u);  // the stray file's records are not added
    EXPECT_EQ(As<CLogObject>(store.GetLogList()->GetHead())->GetName(), "Old");
    EXPECT_EQ(store.GetOutgoingList()->GetCount(), 2u);
    ASSERT_EQ(load.unreadable.size(), 1u);  // the stray log window file, kept aside
    EXPECT_EQ(load.unreadable[0].error, ArchiveError::None);
    ASSERT_TRUE(load.unreadable[0].movedTo);
    EXPECT_EQ(ReadFile(*load.unreadable[0].movedTo), "stray");

    // A change to the queue rewrites it at once; a crash then must leave files that read
    // together: the directory, the queue and the old log all come back.
    ASSERT_EQ(SaveQueueFile(dir + "Outgoing.vlg", store.GetOutgoingList()), ArchiveError::None);
    SetFileFormatVersion(0);
    DirectoryStore again;
    const StartupLoad reload = LoadStartupFiles(again, dir, Registry(), kNow);
    EXPECT_EQ(reload.directoryError, ArchiveError::None);
    EXPECT_TRUE(reload.unreadable.empty());
    EXPECT_EQ(GetFileFormatVersion(), 1);
    EXPECT_EQ(again.GetOutgoingList()->GetCount(), 2u);
    ASSERT_EQ(again.GetLogList()->GetCount(), 1u);
    EXPECT_EQ(As<CLogObject>(again.GetLogList()->GetHead())->GetName(), "Old");
}

TEST(PagingRecordsStartup, AQueueOfTheOtherVersionIsReadInIt) {
    // A crash between the upgrade's rewrites leaves a current directory and a format-0 queue.
    TempFolder folder;
    const std::string dir = folder.path() + "/";
    DirectoryStore written;
    FillWorkedExample(written);
    ASSERT_EQ(SaveDirectoryFile(dir + "Vorla Pro.vlg", written), ArchiveError::None);
    WriteOldQueue(dir + "Outgoing.vlg");
    SetFileFormatVersion(0);
    DirectoryStore store;
    const StartupLoad load = LoadStartupFiles(store, dir, Registry(), kNow);
    EXPECT_TRUE(load.unreadable.empty());
    EXPECT_EQ(store.GetOutgoingList()->GetCount(), 2u);
}

TEST(PagingRecordsStartup, NoDirectoryMeansANewOne) {
    TempFolder folder;
    const std::string dir = folder.path() + "/";
    SetFileFormatVersion(0);
    DirectoryStore store;
    ASSERT_EQ(LoadStartupFiles(store, dir, Registry(), kNow).directoryError, ArchiveError::None);
    EXPECT_EQ(GetFileFormatVersion(), 1);
    EXPECT_TRUE(store.GetServiceList()->IsEmpty());
    EXPECT_TRUE(store.GetLogList()->IsEmpty());
}

// The damaged-directory case: a cut directory file must cost neither the queue nor the log,
// and no file that did not read is ever left in place to be written over.
TEST(PagingRecordsStartup, UnreadableFilesAreMovedAsideAndTheRestStillReads) {
    TempFolder folder;
    const std::string dir = folder.path() + "/";
    {
        DirectoryStore store;
        FillWorkedExample(store);
        ASSERT_EQ(SaveDirectoryFile(dir + "Vorla Pro.vlg", store), ArchiveError::None);
        OwningList queue = TwoPageQueue();
        ASSERT_EQ(SaveQueueFile(dir + "Outgoing.vlg", queue.get()), ArchiveError::None);
        CObList log;
        CLogObject a(5u, "Ann", "Sent", "hi", 0), b(6u, "Bob", "Sent", "hi", 0), c(7u, "Cy", "Sent", "", 0);
        log.AddTail(&a);
        log.AddTail(&b);
        log.AddTail(&c);
        ASSERT_EQ(SaveLogWindowFile(dir + "Vorla Pro Log Window.vlg", &log), ArchiveError::None);
        log.RemoveAll();
    }
    const std::string whole = ReadFile(dir + "Vorla Pro.vlg");
    const std::string cut = whole.substr(0, whole.size() / 2);
    ASSERT_EQ(ReplaceFileAtomically(dir + "Vorla Pro.vlg", cut), ArchiveError::None);

    SetFileFormatVersion(0);
    DirectoryStore store;
    StartupLoad load = LoadStartupFiles(store, dir, Registry(), kNow);
    EXPECT_EQ(load.directoryError, ArchiveError::EndOfFile);
    EXPECT_TRUE(store.GetServiceList()->IsEmpty());
    EXPECT_EQ(store.GetOutgoingList()->GetCount(), 2u);
    EXPECT_EQ(store.GetLogList()->GetCount(), 3u);
    ASSERT_EQ(load.unreadable.size(), 1u);
    ASSERT_TRUE(load.unreadable[0].movedTo);
    EXPECT_FALSE(std::filesystem::exists(dir + "Vorla Pro.vlg"));
    EXPECT_EQ(ReadFile(*load.unreadable[0].movedTo), cut);

    // Damaged queue and log window files go aside too, each under its own new name, and the
    // text log says so.
    ASSERT_EQ(ReplaceFileAtomically(dir + "Outgoing.vlg", "garbage"), ArchiveError::None);
    ASSERT_EQ(ReplaceFileAtomically(dir + "Vorla Pro Log Window.vlg", "junk"), ArchiveError::None);
    ASSERT_EQ(ReplaceFileAtomically(dir + "Vorla Pro.vlg", cut), ArchiveError::None);
    DirectoryStore second;
    load = LoadStartupFiles(second, dir, Registry(), kNow);
    ASSERT_EQ(load.unreadable.size(), 3u);
    EXPECT_TRUE(second.GetOutgoingList()->IsEmpty());
    std::set<std::string> asideNames;
    for (const UnreadableFile& file : load.unreadable) {
        ASSERT_TRUE(file.movedTo) << file.path;
        EXPECT_FALSE(std::filesystem::exists(file.path));
        asideNames.insert(*file.movedTo);
    }
    EXPECT_EQ(asideNames.size() + 1, 4u) << "the second damaged directory did not replace the first";
    EXPECT_EQ(ReadFile(*load.Find("Outgoing.vlg")->movedTo), "garbage");
    const std::string textLog = ReadFile(dir + "Message Log.txt");
    EXPECT_NE(textLog.find("Outgoing.vlg could not be read ("), std::string::npos) << textLog;
    EXPECT_EQ(std::count(textLog.begin(), textLog.end(), '\n'), 4);
}
