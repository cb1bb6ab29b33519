// What waiting costs: a RECV of 300 ticks on a quiet pseudo-terminal must use well under 2%
// of one core (user + system CPU time over wall time, from getrusage). Also the matcher's
// cost per received byte with all 35 texts armed.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <string>

#include "engine/platform/paced_io.h"
#include "engine/platform/serial_port.h"
#include "engine/platform/tcp_port.h"
#include "engine/text_exchange/recv_text_set.h"

namespace {

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void QuietReceive300Ticks(benchmark::State& state) {
    int peer = -1;
    int device = -1;
    char name[256] = {};
    if (openpty(&peer, &device, name, nullptr, nullptr) != 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    rkl::platform::SerialPort port;
    rkl::platform::SerialSettings record;
    if (port.OpenPrepared(name, record) != 0) {
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    int pumps = 0;
    rkl::platform::Waiter waiter(rkl::platform::SystemClock(), [&] { ++pumps; });
    double cpu_total = 0;
    double wall_total = 0;
    for (auto _ : state) {
        const double cpu_before = CpuSeconds();
        const auto wall_before = std::chrono::steady_clock::now();
        const auto end = rkl::platform::ReceiveUntil(&port, waiter.NowTick() + 300, waiter,
                                                     [](unsigned char) { return false; });
        benchmark::DoNotOptimize(end);
        wall_total += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_before).count();
        cpu_total += CpuSeconds() - cpu_before;
    }
    state.counters["cpu_percent_of_core"] = 100.0 * cpu_total / wall_total;
    state.counters["wall_s_per_recv"] = wall_total / static_cast<double>(state.iterations());
    state.counters["pumps_per_recv"] = static_cast<double>(pumps) / static_cast<double>(state.iterations());
    close(peer);
    close(device);
}
BENCHMARK(QuietReceive300Ticks)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same on a TCP port whose far end is connected and silent, and after it closed.
void QuietReceive300TicksOnSocket(benchmark::State& state) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        state.SkipWithError("no loopback socket");
        return;
    }
    int pumps = 0;
    rkl::platform::Waiter waiter(rkl::platform::SystemClock(), [&] { ++pumps; });
    rkl::platform::TcpPort port;
    if (port.Connect("tcp://127.0.0.1:" + std::to_string(ntohs(address.sin_port)), waiter) != 0) {
        state.SkipWithError("cannot connect");
        return;
    }
    int peer = accept(listener, nullptr, nullptr);
    if (state.range(0) == 1) {
        close(peer);
        peer = -1;
    }
    double cpu_total = 0;
    double wall_total = 0;
    pumps = 0;
    for (auto _ : state) {
        const double cpu_before = CpuSeconds();
        const auto wall_before = std::chrono::steady_clock::now();
        const auto end = rkl::platform::ReceiveUntil(&port, waiter.NowTick() + 300, waiter,
                                                     [](unsigned char) { return false; });
        benchmark::DoNotOptimize(end);
        wall_total += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_before).count();
        cpu_total += CpuSeconds() - cpu_before;
    }
    state.counters["cpu_percent_of_core"] = 100.0 * cpu_total / wall_total;
    state.counters["pumps_per_recv"] = static_cast<double>(pumps) / static_cast<double>(state.iterations());
    if (peer >= 0) close(peer);
    close(listener);
}
BENCHMARK(QuietReceive300TicksOnSocket)
    ->ArgName("far_end_closed")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void MatchPerByteWith35Texts(benchmark::State& state) {
    rkl::TRecvTextSet texts;
    const char* kAnswers[] = {"OK\r\n", "CONNECT", "NO CARRIER", "BUSY",     "ERROR", "ID=",
                              "\x1b[p", "\r\x06",  "\r\x15",     "\x1b\x04", "RING",  "NO DIALTONE"};
    for (int s = 0; s < rkl::TRecvTextSet::kSlotCount; ++s) {
        std::string text = kAnswers[s % 12];
        text.insert(0, std::string(static_cast<std::size_t>(s / 12), 'X'));
        texts.AddText(s, "L" + std::to_string(s), text);
    }
    std::array<unsigned char, 256> storage{};
    rkl::TCharRing ring(storage.data(), 256);
    const std::string traffic = "ATDT5551234\r\n\r\nCONNEC 2400\r\nID?\rPG1\r\x1b[q\r\nOKAY";
    std::size_t i = 0;
    for (auto _ : state) {
        ring.Push(static_cast<unsigned char>(traffic[i++ % traffic.size()]));
        benchmark::DoNotOptimize(texts.MatchBuffer(ring));
    }
}
BENCHMARK(MatchPerByteWith35Texts);

}  // namespace

BENCHMARK_MAIN();
