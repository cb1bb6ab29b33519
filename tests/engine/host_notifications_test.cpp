// What the engine hands to the host: echo and log messages, alerts, the trace
// callback and its formats, the combo box of ports.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/engine_harness.h"

namespace {

using engine_test::EngineHarness;

std::string Body(const std::string& lines) {
    return "ENTRY M\nLABEL M\n" + lines;
}

bool HasTrace(const std::string& line) {
    return std::find(EngineHarness::traces.begin(), EngineHarness::traces.end(), line) !=
           EngineHarness::traces.end();
}

TEST(Notifications, EchoAndLogGoToTheirWindowsWithTheirNumbers) {
    EngineHarness e(Body("ECHO status {who}\nLOG logged$21\nLOGASIS as$21is\nEXIT 0\n"));
    RKL_Set(e.handle(), "who", "me");
    e.RunToEnd("M");
    ASSERT_EQ(EngineHarness::messages.size(), 3u);
    EXPECT_EQ(EngineHarness::messages[0].window, EngineHarness::EchoWindow());
    EXPECT_EQ(EngineHarness::messages[0].msg, 1200u);
    EXPECT_EQ(EngineHarness::messages[0].text, "status me");
    EXPECT_EQ(EngineHarness::messages[1].window, EngineHarness::LogWindow());
    EXPECT_EQ(EngineHarness::messages[1].msg, 1201u);
    EXPECT_EQ(EngineHarness::messages[1].text, "logged!");
    EXPECT_EQ(EngineHarness::messages[2].text, "as$21is");
}

TEST(Notifications, NoWindowNoMessage) {
    const auto path = engine_test::WriteTempFile(Body("ECHO x\nLOG y\nEXIT 0\n"));
    EngineHarness::messages.clear();
    EngineHarness::InstallHooks();
    RKL_HANDLE h = RKL_Init(path.c_str(), nullptr, nullptr, nullptr);
    RKL_Run(h, "M");
    while (!RKL_Done(h))
        RKL_DoIdle(h);
    EXPECT_TRUE(EngineHarness::messages.empty());
    RKL_Destroy(h);
    std::filesystem::remove(path);
}

TEST(Notifications, AlertCancelJumpsOkGoesOn) {
    const std::string script = Body("ALERT Abort   Really  send?\nEXIT 1\nLABEL Abort\nEXIT 2\n");
    EngineHarness ok(script);
    ok.RunToEnd("M");
    EXPECT_EQ(ok.code(), 1);
    EXPECT_EQ(EngineHarness::alerts, (std::vector<std::string>{"RKL Alert|Really  send?"}));
    EXPECT_EQ(EngineHarness::alertFlagSeen, 1);
    EXPECT_EQ(RKL_IsAlert(ok.handle()), 0);

    EngineHarness cancel(script);
    EngineHarness::alertAnswer = RKL_IDCANCEL;
    cancel.RunToEnd("M");
    EXPECT_EQ(cancel.code(), 2);

    EngineHarness missing(Body("ALERT Gone text\nEXIT 0\n"));
    EngineHarness::alertAnswer = RKL_IDCANCEL;
    missing.RunToEnd("M");
    EXPECT_EQ(missing.code(), -13);
}

TEST(Notifications, AlertWithoutHookAnswersOk) {
    EngineHarness e(Body("ALERT Abort text\nEXIT 0\nLABEL Abort\nEXIT 2\n"));
    RKL_SetHostHooks(nullptr);
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), 0);
}

TEST(Traces, DebugZeroTracesNothingButDebugOut) {
    EngineHarness e(Body("SET a 1\nDEBUG_OUT  raw {a} $41\nFROB\n"));
    e.RunToEnd("M");
    EXPECT_EQ(EngineHarness::traces, (std::vector<std::string>{"raw 1 A"}));
}

TEST(Traces, InterpreterBitTracesCommandsAndErrors) {
    EngineHarness e("DEBUG 16\n" + Body("set a  1\nINC a\nJUMPSUB S\nEXIT 0\nLABEL S\nRETURN\n"));
    e.RunToEnd("M");
    EXPECT_TRUE(HasTrace("TRKL::DoCommand ('SET', 'a  1');\r"));
    EXPECT_TRUE(HasTrace("TRKL::Set ('a  1');\r"));
    EXPECT_TRUE(HasTrace("TRKL::Inc ('a');\r"));
    EXPECT_TRUE(HasTrace("TRKL::JumpSub ('S');\r"));
    EXPECT_TRUE(HasTrace("TRKL::Return ();\r"));
    EXPECT_TRUE(HasTrace("TRKL::Exit ('0');\r"));
    EXPECT_TRUE(HasTrace("TRKL::SetError ( 0, 'Exited 0'\r"));
    // Host notifications are bit 4, not 16.
    EngineHarness quiet("DEBUG 16\n" + Body("ECHO x\nEXIT 0\n"));
    quiet.RunToEnd("M");
    EXPECT_FALSE(std::any_of(EngineHarness::traces.begin(), EngineHarness::traces.end(),
                             [](const std::string& t) { return t.rfind("TRKL::Echo", 0) == 0; }));
}

TEST(Traces, HostAndPortBits) {
    EngineHarness e("DEBUG 12\n" + Body("ECHO e\nLOG l\nALERT A m\nDELAY 0\nOPENPORT com2 X\n"));
    e.RunToEnd("M");
    EXPECT_TRUE(HasTrace("TRKL::Echo ('e');\r"));
    EXPECT_TRUE(HasTrace("TRKL::Log ('l');\r"));
    EXPECT_TRUE(HasTrace("TRKL::Alert ('A m');\r"));
    EXPECT_TRUE(HasTrace("TWinRKL::MyDelay ('0');\r"));
    EXPECT_TRUE(HasTrace("TWinRKL::OpenPort ('com2 X');\r"));
    EXPECT_FALSE(HasTrace("TRKL::DoCommand ('ECHO', 'e');\r"));
}

TEST(Traces, LongestLinesAreTracedWhole) {
    EngineHarness e("DEBUG 16\n" + Body("SET v " + std::string(505, 'z') + "\nEXIT 0\n"));
    e.RunToEnd("M");
    for (const auto& t : EngineHarness::traces)
        EXPECT_LT(t.size(), 1024u);
    EXPECT_TRUE(HasTrace("TRKL::Set ('v " + std::string(505, 'z') + "');\r"));
}

TEST(Traces, LastInitSetsTheCallbackForTheLibrary) {
    EngineHarness first(Body("DEBUG_OUT one\nEXIT 0\n"));
    const auto path = engine_test::WriteTempFile("");
    RKL_HANDLE second = RKL_Init(path.c_str(), nullptr, nullptr, nullptr);  // no callback now
    first.RunToEnd("M");
    EXPECT_TRUE(EngineHarness::traces.empty());
    RKL_Destroy(second);
    std::filesystem::remove(path);
}

TEST(Ports, FillComboAddsFourPortsInOrder) {
    EngineHarness::InstallHooks();
    EngineHarness::messages.clear();
    char combo;
    EXPECT_EQ(RKL_FillComboWithPorts(&combo), 1);
    ASSERT_EQ(EngineHarness::messages.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(EngineHarness::messages[i].msg, static_cast<uint32_t>(RKL_CB_ADDSTRING));
        EXPECT_EQ(EngineHarness::messages[i].text, "COM" + std::to_string(i + 1));
    }
}

}  // namespace
