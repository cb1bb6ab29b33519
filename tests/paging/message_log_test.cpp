// The message log on disk, the port map and the engine host hooks.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <sys/stat.h>

#include "archive/class_registry.h"
#include "archive/file_format_version.h"
#include "directory/service.h"
#include "files/atomic_file.h"
#include "paging/engine_host.h"
#include "paging/log_object.h"
#include "paging/paging_classes.h"
#include "paging/paging_files.h"
#include "paging/port_map.h"
#include "tests/paging/paging_world.h"

namespace {}  // namespace

TEST(MessageLog, WritesTextLinesOnlyWithLogToDiskButAlwaysKeepsTheRecord) {
    PagingWorld w;
    w.log->Add(std::make_unique<CLogObject>(1'700'000'000, "Ann", "Message Sent Successfully!", "HI", 0));
    EXPECT_FALSE(std::filesystem::exists(w.folder / "Message Log.txt"));
    w.settings.WriteProfileInt("Preferences", "LogToDisk", 1);
    w.log->Add(std::make_unique<CLogObject>(1'700'000'001, "Bob", "511 Invalid pager ID", "HI", -210));
    EXPECT_EQ(w.logList->GetCount(), 2u);
    const std::string text = ReadAll(w.folder / "Message Log.txt");
    EXPECT_NE(text.find("\tBob\t511 Invalid pager ID\tHI\t-210\r\n"), std::string::npos);
    EXPECT_EQ(text.find("Ann"), std::string::npos);

    ASSERT_TRUE(w.log->SaveLog());
    SetFileFormatVersion(kCurrentFileFormatVersion);
    LoadedList loaded;
    ASSERT_EQ(LoadLogWindowFile((w.folder / "Vorla Pro Log Window.vlg").string(), MakeProgramClassRegistry(),
                                loaded),
              ArchiveError::None);
    EXPECT_EQ(loaded.list->GetCount(), 2u);
}

// After the first save a save appends only the new records in place, and the file is then
// byte for byte what a whole save writes, across the wider count from 0xFFFF records on,
// after Clear, and when the file was replaced behind the log's back.
TEST(MessageLog, AppendingSavesWriteWhatAWholeSaveWrites) {
    PagingWorld w;
    SetWrittenFileFormatVersion(kCurrentFileFormatVersion);
    const auto path = w.folder / "Vorla Pro Log Window.vlg";
    const auto whole = w.folder / "whole.vlg";
    uint32_t time = 1'700'000'000;
    auto add = [&](size_t count) {
        for (size_t i = 0; i < count; ++i)
            w.log->Add(std::make_unique<CLogObject>(time++, "N" + std::to_string(i % 97),
                                                    "Message Sent Successfully!", "HI", 0));
    };
    auto matchesWholeSave = [&] {
        EXPECT_TRUE(w.log->SaveLog());
        EXPECT_EQ(SaveLogWindowFile(whole.string(), w.logList.get()), ArchiveError::None);
        return ReadAll(path) == ReadAll(whole);
    };
    add(1);
    EXPECT_TRUE(matchesWholeSave());
    const std::string one = ReadAll(path);
    auto inode = [&] {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0);
        return info.st_ino;
    };
    const ino_t written = inode();
    add(2);
    EXPECT_TRUE(matchesWholeSave());
    EXPECT_EQ(inode(), written) << "appended in place, not replaced";

    // A process killed between the new records and the new count leaves the old count with
    // bytes after the list, which a reader passes over.
    const std::string three = ReadAll(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << one << three.substr(one.size());
    LoadedList loaded;
    ASSERT_EQ(LoadLogWindowFile(path.string(), MakeProgramClassRegistry(), loaded), ArchiveError::None);
    EXPECT_EQ(loaded.list->GetCount(), 1u);
    // That file is no longer the one the log wrote: the next save replaces it.
    ASSERT_EQ(ReplaceFileAtomically(path.string(), "elsewhere"), ArchiveError::None);
    add(1);
    EXPECT_TRUE(matchesWholeSave());

    DiscardRecord(w.logList->RemoveHead());  // the log window's Clear
    w.log->ForgetSavedRecords();
    add(1);
    EXPECT_TRUE(matchesWholeSave());

    add(0xFFFF - w.logList->GetCount() - 1);
    EXPECT_TRUE(matchesWholeSave());  // 0xFFFE records: the last short count
    add(1);
    EXPECT_TRUE(matchesWholeSave());  // the count widens: written whole
    add(3);
    EXPECT_TRUE(matchesWholeSave());  // appended after a wide count
}

TEST(MessageLog, ASplitRunWritesItsLinesInOrder) {
    PagingWorld w;
    w.settings.WriteProfileInt("Preferences", "LogToDisk", 1);
    w.Queue(std::string(30, 'A') + std::string(30, 'B'),
            {w.AddSubscriber("Ann", "1", w.AddService("S"), 30)});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());
    const std::string text = ReadAll(w.folder / "Message Log.txt");
    const size_t one = text.find("Message Split 1 of 2 Sent Ok");
    const size_t two = text.find("Message Split 2 of 2 Sent Ok");
    const size_t done = text.find("Message Sent Successfully!");
    ASSERT_NE(done, std::string::npos);
    EXPECT_LT(one, two);
    EXPECT_LT(two, done);
}

TEST(PortMap, OverridesWinOverSettingsAndUnknownNamesAreLeftToTheDefault) {
    vorla::MemorySettingsStore settings;
    settings.WriteProfileString("Ports", "COM1", "/dev/ttyUSB0");
    PortMap ports(&settings);
    EXPECT_EQ(ports.Map("com1"), "/dev/ttyUSB0");
    EXPECT_EQ(ports.Map("COM2"), std::nullopt);
    ports.Override("Com1", "/tmp/sim");
    EXPECT_EQ(ports.Map("COM1"), "/tmp/sim");
    EXPECT_EQ(ports.Map(""), std::nullopt);
}

TEST(EngineHost, EchoLinesBecomeTheDriversStatusLinesAndPortsMapThroughTheHook) {
    PagingWorld w;
    std::ofstream(w.folder / "rklfiles" / "echo.rkl")
        << "ENTRY CONNECT\nENTRY SEND_PAGE\nENTRY DISCONNECT\n"
           "LABEL CONNECT\nECHO Calling {serviceNumber}\nEXIT 0 ok\n"
           "LABEL SEND_PAGE\nOPENPORT {port}\nEXIT 0 sent\n"
           "LABEL DISCONNECT\nEXIT 0 bye\n";
    vorla::MemorySettingsStore settings;
    PortMap ports(&settings);
    ports.Override("COM1", (w.folder / "no-such-device").string());
    EngineHost host(EngineHost::ForDriver(*w.driver, &ports));
    w.Queue("HI", {w.AddSubscriber("Ann", "1", w.AddService("S", "ECHO.RKL"))});
    w.driver->StartSending();
    ASSERT_TRUE(w.RunUntilIdle());
    EXPECT_NE(std::find(w.observer.statusLines.begin(), w.observer.statusLines.end(), "Calling 5551000"),
              w.observer.statusLines.end());
    // The mapped device does not exist, so opening the port fails the page: proof the hook
    // answered instead of the default /dev/ttyS0.
    ASSERT_EQ(w.observer.logs.size(), 1u);
    EXPECT_NE(w.observer.logs[0].code, 0);
}
