// TAPIOPENPORT and TAPICLOSEPORT over the simulated provider: every way the line can fail
// ends at the error label with the line shut down, a hang-up and RKL_Destroy leave no call
// behind, and a cancel ends a wait at once. The provider's journal (VORLAPRO_SIM_LINES_LOG)
// shows what the engine asked of it.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/engine/engine_harness.h"

namespace engine_test {
namespace {

// The provider is loaded once per process, on the first TAPIOPENPORT: set before any test.
const bool kProviderChosen = setenv("VORLAPRO_TELEPHONY_PROVIDER", VORLA_SIM_PROVIDER, 1) == 0;

// A pseudo-terminal for the calls to hand out; nobody needs to be on its other side.
class Pty {
public:
    Pty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) path_ = ptsname(master_);
    }
    ~Pty() {
        if (master_ >= 0) close(master_);
    }
    const std::string& path() const { return path_; }

private:
    int master_ = -1;
    std::string path_;
};

// The simulated lines for one test, and the journal of what the engine did with them.
class SimLines {
public:
    explicit SimLines(const std::string& config, int waitSeconds = 1) : journal_(WriteTempFile("")) {
        EXPECT_TRUE(kProviderChosen);
        setenv("VORLAPRO_SIM_LINES", config.c_str(), 1);
        setenv("VORLAPRO_SIM_LINES_LOG", journal_.c_str(), 1);
        setenv("VORLAPRO_TELEPHONY_WAIT_SECONDS", std::to_string(waitSeconds).c_str(), 1);
    }
    ~SimLines() { std::filesystem::remove(journal_); }
    // The functions called, in order, blank-separated ("lineOpen lineMakeCall ...").
    std::string Calls() const {
        std::ifstream in(journal_);
        std::string calls;
        for (std::string name, id; in >> name >> id;)
            calls += (calls.empty() ? "" : " ") + name;
        return calls;
    }

private:
    std::filesystem::path journal_;
};

std::string Body(const std::string& lines) {
    return "ENTRY M\nLABEL M\n" + lines;
}

struct Stepped {
    int32_t code = 0;  // the first error the handle held
    std::string text;
    int32_t endCode = 0;  // what the entry ended with
};

// Runs the entry one line at a time and notes the first error before the script's EXIT
// overwrites it.
Stepped RunNotingFirstError(EngineHarness& e) {
    Stepped result;
    EXPECT_EQ(RKL_Run(e.handle(), "M"), 0);
    for (int step = 0; step < 100 && !RKL_Done(e.handle()); ++step) {
        e.Step();
        if (result.code == 0 && e.code() != 0) {
            result.code = e.code();
            result.text = e.text();
        }
    }
    result.endCode = e.code();
    return result;
}

constexpr const char* kOpenScript = "TAPIOPENPORT 4097 Bad\nEXIT 0 opened\nLABEL Bad\nEXIT 7 jumped\n";

TEST(TapiOpenPort, EveryFailureEndsAtTheLabelWithTheLineShutDown) {
    Pty pty;
    ASSERT_FALSE(pty.path().empty());
    struct Case {
        std::string lines;
        int32_t code;
        const char* text;
        const char* calls;
    };
    const std::string p = pty.path();
    const Case cases[] = {
        {"9 " + p + " Other Line", static_cast<int32_t>(0x80000002), "LINEERR_BADDEVICEID", "lineShutdown"},
        {"4097 " + p + " open=fail Sim", static_cast<int32_t>(0x8000004B), "LINEERR_RESOURCEUNAVAIL",
         "lineOpen lineShutdown"},
        {"4097 " + p + " call=fail Sim", static_cast<int32_t>(0x80000005), "LINEERR_CALLUNAVAIL",
         "lineOpen lineMakeCall lineClose lineShutdown"},
        {"4097 " + p + " reply=fail Sim", static_cast<int32_t>(0x80000048), "LINEERR_OPERATIONFAILED",
         "lineOpen lineMakeCall lineDrop lineClose lineShutdown"},
        {"4097 " + p + " reply=never Sim", -203, "Telephony: No Reply From The Line In 1 Seconds",
         "lineOpen lineMakeCall lineDrop lineClose lineShutdown"},
        {"4097 " + p + " connect=never Sim", -204, "Telephony: Call Not Connected In 1 Seconds",
         "lineOpen lineMakeCall lineDrop lineClose lineShutdown"},
        {"4097 " + p + " connect=fail Sim", -205, "Telephony: Call Ended Before It Connected",
         "lineOpen lineMakeCall lineDrop lineClose lineShutdown"},
        {"4097 /nonexistent/tty handoff=path Sim", 2, "TAPIOpen Error 2: No such file or directory",
         "lineOpen lineMakeCall lineDrop lineClose lineShutdown"},
        {"4097 /dev/null Sim", 25, "TAPIOpen Error 25: Inappropriate ioctl for device",
         "lineOpen lineMakeCall lineDrop lineClose lineShutdown"},
    };
    for (const Case& c : cases) {
        SimLines sim(c.lines);
        EngineHarness e(Body(kOpenScript));
        const Stepped run = RunNotingFirstError(e);
        EXPECT_EQ(run.code, c.code) << c.lines;
        EXPECT_EQ(run.text, c.text) << c.lines;
        EXPECT_EQ(run.endCode, 7) << c.lines << ": did not go on at the error label";
        EXPECT_EQ(sim.Calls(), c.calls) << c.lines;
    }
}

TEST(TapiClosePort, HangsUpAndShutsDownOrOnlyChecksItsLabel) {
    Pty pty;
    struct Case {
        std::string lines;
        std::string script;
        int32_t code;
        const char* calls;
    };
    const std::string sim = "4097 " + pty.path() + " Sim";
    const Case cases[] = {
        // Nothing open: only the label is looked at.
        {sim, "TAPICLOSEPORT Closed\nLABEL Closed\nEXIT 0\n", 0, ""},
        {sim, "TAPICLOSEPORT  \nEXIT 0\n", -102, ""},
        {sim, "TAPIOPENPORT 4097 Bad\nTAPICLOSEPORT Bad\nEXIT 0\nLABEL Bad\nEXIT 7\n", 0,
         "lineOpen lineMakeCall lineDrop lineClose lineShutdown"},
        // A port handed out by name is opened by the engine itself.
        {"4097 " + pty.path() + " handoff=path Sim",
         "TAPIOPENPORT 4097 Bad\nTAPICLOSEPORT Bad\nEXIT 0\nLABEL Bad\nEXIT 7\n", 0,
         "lineOpen lineMakeCall lineDrop lineClose lineShutdown"},
        // CLOSEPORT takes only the port: the call must still go down.
        {sim, "TAPIOPENPORT 4097 Bad\nCLOSEPORT Bad\nTAPICLOSEPORT Bad\nEXIT 0\nLABEL Bad\nEXIT 7\n", 0,
         "lineOpen lineMakeCall lineDrop lineClose lineShutdown"},
        // A hang-up whose reply never comes ends at the limit, at the label, with the line down.
        {"4097 " + pty.path() + " drop=never Sim",
         "TAPIOPENPORT 4097 Bad\nTAPICLOSEPORT Bad\nEXIT 0\nLABEL Bad\nEXIT 7\n", 7,
         "lineOpen lineMakeCall lineDrop lineClose lineShutdown"},
    };
    for (const Case& c : cases) {
        SimLines lines(c.lines);
        EngineHarness e(Body(c.script));
        e.RunToEnd("M");
        EXPECT_EQ(e.code(), c.code) << c.script;
        EXPECT_EQ(lines.Calls(), c.calls) << c.script;
    }
}

TEST(TapiOpenPort, DestroyingTheHandleDropsAnOpenCall) {
    Pty pty;
    SimLines sim("4097 " + pty.path() + " Sim");
    {
        EngineHarness e(Body(kOpenScript));
        e.RunToEnd("M");
        ASSERT_EQ(e.code(), 0) << e.text();
        EXPECT_EQ(sim.Calls(), "lineOpen lineMakeCall");
    }
    EXPECT_EQ(sim.Calls(), "lineOpen lineMakeCall lineDrop lineClose lineShutdown");
}

RKL_HANDLE g_cancelTarget = nullptr;
int g_pumps = 0;

TEST(TapiOpenPort, CancelEndsTheReplyWaitAtOnce) {
    Pty pty;
    SimLines sim("4097 " + pty.path() + " reply=never Sim", 60);
    EngineHarness e(Body(kOpenScript));
    RKL_HostHooks hooks{};
    hooks.pump = [](void*) {
        if (++g_pumps == 5) RKL_Cancel(g_cancelTarget);
    };
    RKL_SetHostHooks(&hooks);
    g_cancelTarget = e.handle();
    g_pumps = 0;
    const auto start = std::chrono::steady_clock::now();
    e.RunToEnd("M");
    const auto waited = std::chrono::steady_clock::now() - start;
    RKL_SetHostHooks(nullptr);
    EXPECT_EQ(e.code(), -2) << e.text();
    EXPECT_LT(waited, std::chrono::seconds(10));  // far below the 60 s limit
    EXPECT_EQ(sim.Calls(), "lineOpen lineMakeCall lineDrop lineClose lineShutdown");
}

}  // namespace
}  // namespace engine_test
