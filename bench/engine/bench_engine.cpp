// One RKL_DoIdle on a SET/INC/JUMPNEQU loop against std::getline over the same lines
// from the same file. Both report the time per line; the engine's goal is at most
// four times the plain read.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "rkl32.h"

namespace {

// The loop body is the three lines after LABEL Loop; the counter never reaches the
// bound within a benchmark run, so every call executes a non-waiting line.
const char* const kScript =
    "ENTRY MAIN\n"
    "LABEL MAIN\n"
    "SET limit 1000000000000\n"
    "SET i 0\n"
    "LABEL Loop\n"
    "SET last {i}\n"
    "INC i\n"
    "JUMPNEQU {i} {limit} Loop\n"
    "EXIT 0\n";

// The lines one pass of the loop reads, as a file that getline reads over and over.
const char* const kLoopLines =
    "LABEL Loop\n"
    "SET last {i}\n"
    "INC i\n"
    "JUMPNEQU {i} {limit} Loop\n";

std::filesystem::path WriteFile(const char* name, const char* text) {
    const auto path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

void BM_DoIdleLoopLine(benchmark::State& state) {
    const auto path = WriteFile("bench_engine_loop.rkl", kScript);
    RKL_HANDLE h = RKL_Init(path.c_str(), nullptr, nullptr, nullptr);
    RKL_Run(h, "MAIN");
    for (auto _ : state)
        benchmark::DoNotOptimize(RKL_DoIdle(h));
    if (RKL_Done(h)) state.SkipWithError("the loop ended");
    state.SetItemsProcessed(state.iterations());
    RKL_Destroy(h);
    std::filesystem::remove(path);
}
BENCHMARK(BM_DoIdleLoopLine);

// Reading the loop's lines with std::getline from a file that repeats them many times,
// so that the rare seek back to the start costs next to nothing: the plain reading
// cost, a stricter baseline than one seek per loop pass.
void BM_GetlineSameLines(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < 25000; ++i)
        text += kLoopLines;
    const auto path = WriteFile("bench_engine_lines.rkl", text.c_str());
    std::ifstream in(path, std::ios::binary);
    std::string line;
    for (auto _ : state) {
        if (!std::getline(in, line)) {
            in.clear();
            in.seekg(0);
            std::getline(in, line);
        }
        benchmark::DoNotOptimize(line.data());
    }
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove(path);
}
BENCHMARK(BM_GetlineSameLines);

// The loop's own access pattern: the three body lines, then a seek back to the start
// of the body, as the engine's jump to the loop label does.
void BM_GetlineWithLoopSeeks(benchmark::State& state) {
    const auto path = WriteFile("bench_engine_loop_lines.rkl", kLoopLines);
    std::ifstream in(path, std::ios::binary);
    std::string line;
    std::getline(in, line);  // LABEL Loop
    const std::streampos body = in.tellg();
    int inPass = 0;
    for (auto _ : state) {
        if (inPass == 3) {
            in.seekg(body);
            inPass = 0;
        }
        std::getline(in, line);
        ++inPass;
        benchmark::DoNotOptimize(line.data());
    }
    state.SetItemsProcessed(state.iterations());
    std::filesystem::remove(path);
}
BENCHMARK(BM_GetlineWithLoopSeeks);

}  // namespace

BENCHMARK_MAIN();
