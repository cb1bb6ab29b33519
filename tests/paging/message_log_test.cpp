// The message log on disk, the port map and the engine host hooks.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine_host.h"
#include "log_object.h"
#include "class_registry.h"
#include "file_format_version.h"
#include "paging_classes.h"
#include "paging_files.h"
#include "service.h"
#include "paging_world.h"
#include "port_map.h"

namespace {

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

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
  ASSERT_EQ(LoadLogWindowFile((w.folder / "Vorla Pro Log Window.vlg").string(),
                              MakeProgramClassRegistry(), loaded),
            ArchiveError::None);
  EXPECT_EQ(loaded.list->GetCount(), 2u);
}

TEST(MessageLog, ASplitRunWritesItsLinesInOrder) {
  PagingWorld w;
  w.settings.WriteProfileInt("Preferences", "LogToDisk", 1);
  w.Queue(std::string(30, 'A') + std::string(30, 'B'), {w.AddSubscriber("Ann", "1", w.AddService("S"), 30)});
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
