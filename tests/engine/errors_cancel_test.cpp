// Cancel and INTERRUPT, the busy flag, Already Running, null handles and the port
// commands on ports and lines that are not there.
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/engine/engine_harness.h"

// Memory that runs out on demand, in the engine as anywhere else in this process: once armed,
// the allocation with the given number (0 = the next one) throws std::bad_alloc; later ones
// succeed again.
namespace {
long g_allocationsBeforeFailure = -1;  // -1: disarmed
bool g_allocationFailed = false;

void* Allocate(std::size_t size) {
    if (g_allocationsBeforeFailure >= 0 && g_allocationsBeforeFailure-- == 0) {
        g_allocationFailed = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

using engine_test::EngineHarness;

std::string Body(const std::string& lines) {
    return "ENTRY M\nLABEL M\n" + lines;
}

TEST(Cancel, BetweenStepsStopsAtOnce) {
    EngineHarness e(Body("SET a 1\nSET b 2\nEXIT 0\n"));
    ASSERT_EQ(RKL_Run(e.handle(), "M"), 0);
    e.Step();
    EXPECT_EQ(RKL_Cancel(e.handle()), -2);
    EXPECT_EQ(RKL_Done(e.handle()), 1);
    EXPECT_EQ(e.code(), -2);
    EXPECT_EQ(e.text(), "Canceled");
    // Further idle calls do nothing and keep reporting the cancel.
    EXPECT_EQ(e.Step(), -2);
}

TEST(Cancel, InterruptOffDefersItUntilTheMatchingOn) {
    EngineHarness e(
        Body("INTERRUPT OFF\nINTERRUPT off\nECHO one\nINTERRUPT ON\nECHO two\n"
             "INTERRUPT on\nECHO never\nEXIT 0\n"));
    ASSERT_EQ(RKL_Run(e.handle(), "M"), 0);
    e.Step();
    e.Step();
    EXPECT_EQ(RKL_Cancel(e.handle()), 0);  // nothing happens yet
    while (!RKL_Done(e.handle()))
        e.Step();
    EXPECT_EQ(e.code(), -2);
    EXPECT_EQ(e.Echoes(), (std::vector<std::string>{"one", "two"}));
}

TEST(Cancel, InterruptNeedsOnOrOff) {
    EngineHarness e(Body("INTERRUPT MAYBE\nEXIT 0\n"));
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), -11);
    EXPECT_EQ(e.text(), "Interrupt: Parameter Error");
}

TEST(Cancel, NextRunClearsTheRequestAndTheCounter) {
    EngineHarness e(Body("INTERRUPT OFF\nEXIT 3\n"));
    e.RunToEnd("M");
    RKL_Cancel(e.handle());  // counter still 1 from the run: deferred, never effective
    EXPECT_EQ(e.code(), 3);
    e.RunToEnd("M");
    EXPECT_EQ(e.code(), 3);
}

TEST(Run, AlreadyRunningIsRefusedAndTheEntryGoesOn) {
    EngineHarness e(Body("SET a 1\nEXIT 0 fine\n"));
    ASSERT_EQ(RKL_Run(e.handle(), "M"), 0);
    EXPECT_EQ(RKL_Run(e.handle(), "M"), -1);
    EXPECT_EQ(e.text(), "Already Running");
    EXPECT_EQ(RKL_IsRunning(e.handle()), 1);
    while (!RKL_Done(e.handle()))
        e.Step();
    EXPECT_EQ(e.code(), 0);
    EXPECT_EQ(e.text(), "fine");
}

TEST(Run, IdleWithoutEntryReturnsTheCurrentCode) {
    EngineHarness e(Body("EXIT 12\n"));
    EXPECT_EQ(e.Step(), 0);
    e.RunToEnd("M");
    EXPECT_EQ(e.Step(), 12);
    EXPECT_EQ(RKL_Done(e.handle()), 1);
}

// A host whose echo handler re-enters the engine, as a pumped message loop would.
int32_t g_nestedResult = 99;
intptr_t NestedIdle(void*, RKL_WINDOW, uint32_t, uintptr_t, intptr_t) {
    g_nestedResult = RKL_DoIdle(EngineHarness::current);
    return 0;
}

TEST(Run, NestedDoIdleReturnsZeroAndDoesNothing) {
    EngineHarness e(Body("ECHO hi\nEXIT 5\n"));
    RKL_HostHooks hooks{};
    hooks.sendMessage = NestedIdle;
    RKL_SetHostHooks(&hooks);
    ASSERT_EQ(RKL_Run(e.handle(), "M"), 0);
    e.Step();
    EXPECT_EQ(g_nestedResult, 0);
    EXPECT_EQ(RKL_IsRunning(e.handle()), 1);  // the EXIT line was not taken by the nested call
    e.Step();
    EXPECT_EQ(e.code(), 5);
}

// Destroying the handle from inside a hook must not pull it from under the engine.
intptr_t DestroyFromHook(void*, RKL_WINDOW, uint32_t, uintptr_t, intptr_t) {
    RKL_Destroy(EngineHarness::current);
    return 0;
}

TEST(Run, DestroyFromAHookIsDeferredUntilTheCallReturns) {
    const auto path = engine_test::WriteTempFile(Body("ECHO bye\nEXIT 0\n"));
    RKL_HostHooks hooks{};
    hooks.sendMessage = DestroyFromHook;
    RKL_SetHostHooks(&hooks);
    char echo;
    RKL_HANDLE h = RKL_Init(path.c_str(), &echo, nullptr, nullptr);
    EngineHarness::current = h;
    ASSERT_EQ(RKL_Run(h, "M"), 0);
    RKL_DoIdle(h);  // frees the handle on its way out; the sanitizer build checks the rest
    EngineHarness::current = nullptr;
    std::filesystem::remove(path);
    RKL_SetHostHooks(nullptr);
}

TEST(NullHandle, EveryExportCopes) {
    EXPECT_EQ(RKL_Set(nullptr, "a", "b"), -201);
    EXPECT_EQ(RKL_Run(nullptr, "M"), -201);
    EXPECT_EQ(RKL_DoIdle(nullptr), -201);
    EXPECT_EQ(RKL_Done(nullptr), 1);
    EXPECT_EQ(RKL_IsRunning(nullptr), 0);
    EXPECT_EQ(RKL_IsAlert(nullptr), 0);
    EXPECT_EQ(RKL_Cancel(nullptr), -201);
    int32_t code = 0;
    char text[256];
    EXPECT_NE(RKL_GetError(nullptr, &code, text), 0);
    EXPECT_EQ(code, -201);
    RKL_Destroy(nullptr);
    EngineHarness e(Body("EXIT 0\n"));
    EXPECT_EQ(RKL_Run(e.handle(), nullptr), -6);
    EXPECT_EQ(RKL_Set(e.handle(), nullptr, nullptr), -33);
    EXPECT_NE(RKL_GetError(e.handle(), nullptr, nullptr), 0);
}

// No provider library here (the provider is chosen once per process, on the first
// TAPIOPENPORT): the line functions answer without being called, and the script goes on at
// its error label.
const bool kNoProvider = setenv("VORLAPRO_TELEPHONY_PROVIDER", "/nonexistent/libno-provider.so", 1) == 0;

TEST(PortLevel, TelephonyWithoutAProviderIsUnavailable) {
    ASSERT_TRUE(kNoProvider);
    EngineHarness e(Body("TAPIOPENPORT 1 NoLine\nEXIT 0\nLABEL NoLine\nEXIT 7\n"));
    ASSERT_EQ(RKL_Run(e.handle(), "M"), 0);
    int32_t firstError = 0;
    std::string firstText;
    for (int step = 0; step < 10 && !RKL_Done(e.handle()); ++step) {
        e.Step();
        if (firstError == 0 && e.code() != 0) {
            firstError = e.code();
            firstText = e.text();
        }
    }
    EXPECT_EQ(firstError, static_cast<int32_t>(0x80000049));
    EXPECT_EQ(firstText, "LINEERR_OPERATIONUNAVAIL");
    EXPECT_EQ(e.code(), 7);
}

TEST(PortLevel, ClosingClosedPortsChecksOnlyTheLabel) {
    EngineHarness ok(Body("CLOSEPORT Closed\nTAPICLOSEPORT Closed\nEXIT 0\n"));
    ok.RunToEnd("M");
    EXPECT_EQ(ok.code(), 0);
    EngineHarness noLabel(Body("CLOSEPORT  \nEXIT 0\n"));
    noLabel.RunToEnd("M");
    EXPECT_EQ(noLabel.code(), -102);
    EXPECT_EQ(noLabel.text(), "ClosePort: No Error Label");
}

TEST(PortLevel, RecvTextChecksItsArguments) {
    struct Case {
        const char* line;
        int32_t code;
    };
    const Case cases[] = {{"RECVTEXT 35 L OK", -30},
                          {"RECVTEXT -1 L OK", -30},
                          {"RECVTEXT 0", -31},
                          {"RECVTEXT 0 L", -32},
                          {"RECVTEXT 0 L   ", -32}};
    for (const Case& c : cases) {
        EngineHarness e(Body(std::string(c.line) + "\nEXIT 0\n"));
        e.RunToEnd("M");
        EXPECT_EQ(e.code(), c.code) << c.line;
    }
}

TEST(PortLevel, TimeDateDelayAndSysBeepWork) {
    EngineHarness e(Body("TIME  now  \nDATE today\nSYSBEEP 3\nDELAY 0\nECHO {now}|{today}\nEXIT 0\n"));
    e.RunToEnd("M");
    ASSERT_EQ(e.code(), 0) << e.text();
    ASSERT_EQ(e.Echoes().size(), 1u);
    const std::string echoed = e.Echoes()[0];
    ASSERT_EQ(echoed.size(), 17u) << echoed;
    EXPECT_EQ(echoed[2], ':');
    EXPECT_EQ(echoed[5], ':');
    EXPECT_EQ(echoed[8], '|');
    EXPECT_EQ(echoed[11], '/');
    EXPECT_EQ(echoed[14], '/');

    EngineHarness empty(Body("TIME   \nEXIT 0\n"));
    empty.RunToEnd("M");
    EXPECT_EQ(empty.code(), -33);
}

int g_pumps = 0;
void CountPumpAndCancel(void*) {
    if (++g_pumps == 3) RKL_Cancel(EngineHarness::current);
}

TEST(PortLevel, DelayPumpsAndEndsEarlyWhenCanceled) {
    EngineHarness e(Body("DELAY 100000\nEXIT 0\n"));
    RKL_HostHooks hooks{};
    hooks.pump = CountPumpAndCancel;
    RKL_SetHostHooks(&hooks);
    g_pumps = 0;
    ASSERT_EQ(RKL_Run(e.handle(), "M"), 0);
    e.Step();
    EXPECT_EQ(g_pumps, 3);
    EXPECT_EQ(e.code(), -2);
}

// Each allocation of a whole cycle (RKL_Set, RKL_Run, the DoIdle calls) fails in turn, until
// one cycle needs fewer. The call that meets the failure answers with the handle's error set
// to a memory code, nothing is thrown at the host, the handle is not left busy or running, and
// the next run on it succeeds. Under the sanitizer build, nothing leaks.
TEST(Faults, AllocationFailureInsideACallIsReportedAndTheHandleStaysUsable) {
    const std::string script = Body(
        "SET count 1\nJUMPSUB Twice\nECHO {who} {count} {copy}\nEXIT 0\n"
        "LABEL Twice\nINC count\nSET copy {count}\nRETURN\n");
    const std::vector<int32_t> memoryCodes = {-206, -24, -20};  // Out Of Memory, New Variable, New Offset
    bool cycleCompleted = false;
    long failuresSeen = 0;
    for (long n = 0; n < 10000 && !cycleCompleted; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n));
        EngineHarness e(script);
        const RKL_HANDLE h = e.handle();
        int32_t failedAnswer = 0;
        int32_t failedCode = 0;
        bool seen = false;
        const auto watch = [&](int32_t answer) {
            if (seen || !g_allocationFailed) return;
            seen = true;
            failedAnswer = answer;
            RKL_GetError(h, &failedCode, nullptr);
        };
        const auto cycle = [&] {
            watch(RKL_Set(h, "who", "me"));
            const int32_t started = RKL_Run(h, "M");
            watch(started);
            for (int step = 0; started == 0 && step < 100 && !RKL_Done(h); ++step)
                watch(e.Step());
        };
        g_allocationFailed = false;
        g_allocationsBeforeFailure = n;
        EXPECT_NO_THROW(cycle());
        g_allocationsBeforeFailure = -1;
        EXPECT_EQ(RKL_Done(h), 1);
        if (!g_allocationFailed) {
            cycleCompleted = true;
            EXPECT_EQ(e.code(), 0);
            break;
        }
        ++failuresSeen;
        EXPECT_TRUE(seen);
        EXPECT_EQ(failedAnswer, failedCode);
        EXPECT_TRUE(std::find(memoryCodes.begin(), memoryCodes.end(), failedCode) != memoryCodes.end())
            << failedCode;
        RKL_Set(h, "who", "me");
        e.RunToEnd("M");
        EXPECT_EQ(e.code(), 0) << e.text();
        EXPECT_EQ(e.Echoes().empty() ? "" : e.Echoes().back(), "me 2 2");
    }
    EXPECT_TRUE(cycleCompleted);
    EXPECT_GT(failuresSeen, 0);
}

}  // namespace
