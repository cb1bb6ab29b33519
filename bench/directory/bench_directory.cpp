// Saving and loading large directories: N subscribers over N/1000 services, with N/10
// groups of 10 members and one recipient row per group. Compare the load with plainly
// reading the same file (BM_ReadFile), and Load/100000 with Load/1000000 for linearity.
//   bench_directory --benchmark_filter='Load|ReadFile|Save'
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include <sys/resource.h>

#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "archive/class_registry.h"
#include "directory/directory_classes.h"
#include "directory/directory_file.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/display_object.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "files/atomic_file.h"

namespace {

void Generate(DirectoryStore& store, int64_t subscribers) {
    store.CreateEmpty();
    const int64_t services = std::max<int64_t>(1, subscribers / 1000);
    std::vector<CService*> serviceList;
    for (int64_t s = 0; s < services; ++s) {
        ServiceFields fields;
        fields.name = "Service " + std::to_string(s);
        fields.accessNumber = "555-" + std::to_string(1000 + s);
        fields.modemName = "Factory Default";
        fields.modemInit = "AT&F";
        fields.port = "COM1";
        fields.baudRate = 2400;
        fields.scriptFile = "VORLAPRO.RKL";
        serviceList.push_back(new CService(fields));
        store.GetServiceList()->AddTail(serviceList.back());
    }
    CGroup* group = nullptr;
    for (int64_t i = 0; i < subscribers; ++i) {
        CService* service = serviceList[static_cast<size_t>(i / 1000) % serviceList.size()];
        auto* subscriber =
            new CSubscriber("Subscriber " + std::to_string(i), std::to_string(1000000 + i), "240", service);
        service->AddSubscriber(subscriber);
        store.GetSubscriberList()->AddTail(subscriber);
        if (i % 10 == 0) {
            group = new CGroup("Group " + std::to_string(i / 10));
            store.GetGroupList()->AddTail(group);
            store.GetDisplayList()->AddTail(new CDisplayObject(nullptr, group, 0));
        }
        AddGroupMember(*group, *subscriber);
    }
}

// One file per size, made once per run.
const std::string& FileFor(int64_t subscribers) {
    static std::map<int64_t, std::string> files;
    auto& path = files[subscribers];
    if (path.empty()) {
        path = (std::filesystem::temp_directory_path() /
                ("bench-directory-" + std::to_string(subscribers) + ".vlg"))
                   .string();
        DirectoryStore store;
        Generate(store, subscribers);
        if (SaveDirectoryFile(path, store) != ArchiveError::None) std::abort();
    }
    return path;
}

double PeakRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_SaveDirectory(benchmark::State& state) {
    DirectoryStore store;
    Generate(store, state.range(0));
    const std::string path = FileFor(state.range(0)) + ".save";
    for (auto _ : state) {
        if (SaveDirectoryFile(path, store) != ArchiveError::None) state.SkipWithError("save failed");
    }
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
}

// The archive alone, into memory: what a save costs before the disk.
void BM_SerializeDirectory(benchmark::State& state) {
    DirectoryStore store;
    Generate(store, state.range(0));
    for (auto _ : state) {
        ArchiveWriter writer;
        WriteDirectory(writer, RootsOf(store));
        benchmark::DoNotOptimize(writer.Bytes().data());
    }
}

void BM_LoadDirectory(benchmark::State& state) {
    const std::string& path = FileFor(state.range(0));
    ClassRegistry registry;
    RegisterDirectoryClasses(registry);
    for (auto _ : state) {
        DirectoryStore store;
        if (LoadDirectoryFile(path, registry, store) != ArchiveError::None) {
            state.SkipWithError("load failed");
        }
        state.PauseTiming();  // freeing is not part of the load
        store.Clear();
        state.ResumeTiming();
    }
    state.counters["subscribers_per_s"] = benchmark::Counter(static_cast<double>(state.range(0)),
                                                             benchmark::Counter::kIsIterationInvariantRate);
}

// The floor: the same bytes read from the page cache with nothing built from them.
void BM_ReadFile(benchmark::State& state) {
    const std::string& path = FileFor(state.range(0));
    std::vector<uint8_t> bytes;
    for (auto _ : state) {
        if (ReadWholeFile(path, bytes) != ArchiveError::None) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}

}  // namespace

BENCHMARK(BM_SaveDirectory)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SerializeDirectory)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDirectory)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFile)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// `bench_directory --load-once FILE` loads one file in a fresh process and prints the time
// and the memory it took (peak resident set before and after), free of what generating a
// directory costs.
int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--load-once") {
        ClassRegistry registry;
        RegisterDirectoryClasses(registry);
        double before = PeakRssMegabytes();
        auto start = std::chrono::steady_clock::now();
        DirectoryStore store;
        ArchiveError error = LoadDirectoryFile(argv[2], registry, store);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("load %s: %.3f s, peak RSS %.1f MB (%.1f MB before), %zu subscribers\n",
                    std::string(ArchiveErrorText(error)).c_str(), seconds, PeakRssMegabytes(), before,
                    store.GetSubscriberList() ? store.GetSubscriberList()->GetCount() : 0);
        return error == ArchiveError::None ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
