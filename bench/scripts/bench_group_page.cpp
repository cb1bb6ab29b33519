// Pages per second for a 100-member group sent to pagingsim in one call: over a
// pseudo-terminal through the simulated modem (vorlapro.rkl, one tick a character) and over
// TCP (vorlatcp.rkl, one write a block). Run from the build folder (VORLA_BUILD_DIR or
// the current folder must hold bin/pagingsim).
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "script_session.h"
#include "sender_blocks.h"
#include "sim_process.h"

namespace {

using pagingsim::testing::SenderBlocks;
using pagingsim::testing::SimProcess;
using scripts_test::Result;
using scripts_test::ScriptSession;

constexpr int kMembers = 100;

void GroupPage(benchmark::State& state) {
  const bool over_tcp = state.range(0) == 1;
  double pages_sent = 0;
  double seconds = 0;
  for (auto _ : state) {
    state.PauseTiming();
    SimProcess sim({"--tcp", "0", "--ring-ms", "50", "--guard-ms", "50", "--quiet"});
    if (!sim.ready()) {
      state.SkipWithError("pagingsim did not start (run from the build folder)");
      return;
    }
    ScriptSession session(over_tcp ? "vorlatcp.rkl" : "vorlapro.rkl",
                          over_tcp ? "tcp://127.0.0.1:" + std::to_string(sim.tcp_port()) : sim.link());
    session.Set(ScriptSession::DemoService());
    state.ResumeTiming();

    const auto start = std::chrono::steady_clock::now();
    if (session.Run("CONNECT").code != 0) {
      state.SkipWithError("CONNECT failed");
      return;
    }
    for (int member = 0; member < kMembers; ++member) {
      const std::string pin = std::to_string(5550000 + member);
      for (const std::string& block : SenderBlocks(pin, "Ward meeting moved to 15:00 in room 4")) {
        session.Set(ScriptSession::PageVariables(block, pin, 1, 1));
        if (session.Run("SEND_PAGE").code == 0) pages_sent += 1;
      }
    }
    session.Run("DISCONNECT");
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  state.counters["pages_per_second"] = pages_sent / seconds;
  state.counters["pages"] = pages_sent;
}
BENCHMARK(GroupPage)->ArgName("tcp")->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
