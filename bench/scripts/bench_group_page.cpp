// Pages per second for a 100-member group sent to pagingsim in one call: over a
// pseudo-terminal through the simulated modem (vorlapro.rkl, one tick a character), over
// TCP (vorlatcp.rkl, one write a block), to its SNPP carrier (vorlasnpp.rkl) and to its WCTP
// carrier (the WCTP transport, one HTTP request a page). Run from the build folder
// (VORLA_BUILD_DIR or the current folder must hold bin/pagingsim).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "paging/wctp/carrier_script_engine.h"
#include "paging/wctp/wctp_service.h"
#include "tests/pagingsim/sender_blocks.h"
#include "tests/pagingsim/sim_process.h"
#include "tests/scripts/script_session.h"

namespace {

using pagingsim::testing::SenderBlocks;
using pagingsim::testing::SimProcess;
using scripts_test::Result;
using scripts_test::ScriptSession;

constexpr int kMembers = 100;
constexpr const char* kText = "Ward meeting moved to 15:00 in room 4";

// 0: pseudo-terminal and modem, 1: TAP over TCP, 2: SNPP.
void GroupPage(benchmark::State& state) {
    const int way = static_cast<int>(state.range(0));
    const char* const scripts[] = {"vorlapro.rkl", "vorlatcp.rkl", "vorlasnpp.rkl"};
    double pages_sent = 0;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SimProcess sim(
            {way == 2 ? "--snpp" : "--tcp", "0", "--ring-ms", "50", "--guard-ms", "50", "--quiet"});
        if (!sim.ready()) {
            state.SkipWithError("pagingsim did not start (run from the build folder)");
            return;
        }
        ScriptSession session(scripts[way],
                              way > 0 ? "tcp://127.0.0.1:" + std::to_string(sim.tcp_port()) : sim.link());
        session.Set(ScriptSession::DemoService());
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        if (session.Run("CONNECT").code != 0) {
            state.SkipWithError("CONNECT failed");
            return;
        }
        for (int member = 0; member < kMembers; ++member) {
            const std::string pin = std::to_string(5550000 + member);
            for (const std::string& block : SenderBlocks(pin, kText)) {
                auto variables = ScriptSession::PageVariables(block, pin, 1, 1);
                variables["pageText"] = kText;
                variables["pageEnds"] = "1";
                session.Set(variables);
                if (session.Run("SEND_PAGE").code == 0) pages_sent += 1;
            }
        }
        session.Run("DISCONNECT");
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["pages_per_second"] = pages_sent / seconds;
    state.counters["pages"] = pages_sent;
}
BENCHMARK(GroupPage)
    ->ArgName("way")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The same group through the WCTP transport as the driver runs it: one session, one
// SEND_PAGE (an HTTP POST and its confirmation) a member, idle steps until each ends.
void GroupPageWctp(benchmark::State& state) {
    double pages_sent = 0;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        SimProcess sim({"--wctp", "0", "--quiet"});
        if (!sim.ready()) {
            state.SkipWithError("pagingsim did not start (run from the build folder)");
            return;
        }
        Rkl32ScriptEngine scripts;
        vorla::wctp::CarrierScriptEngine engine(scripts);
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        RKL_HANDLE handle =
            engine.Init(std::string("rklfiles/") + vorla::wctp::kScriptName, nullptr, nullptr);
        const std::string url = "http://127.0.0.1:" + std::to_string(sim.tcp_port()) + "/wctp";
        engine.Set(handle, "serviceNumber", url.c_str());
        engine.Set(handle, "modemString", "sender=bench");
        const auto run = [&](const char* entry) {
            engine.Run(handle, entry);
            while (!engine.Done(handle))
                engine.DoIdle(handle);
            int32_t code = 0;
            std::string text;
            engine.GetError(handle, code, text);
            return code;
        };
        if (run("CONNECT") != 0) {
            state.SkipWithError("CONNECT failed");
            return;
        }
        for (int member = 0; member < kMembers; ++member) {
            const std::string pin = std::to_string(5550000 + member);
            engine.Set(handle, "pagerNumber", pin.c_str());
            engine.SetPageText(handle, kText);
            if (run("SEND_PAGE") == 0) pages_sent += 1;
        }
        run("DISCONNECT");
        engine.Destroy(handle);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["pages_per_second"] = pages_sent / seconds;
    state.counters["pages"] = pages_sent;
}
BENCHMARK(GroupPageWctp)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
