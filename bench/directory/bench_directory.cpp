// Saving and loading large directories: N subscribers over N/1000 services, with N/10
// groups of 10 members and one recipient row per group. Compare the load with plainly
// reading the same file (BM_ReadFile), and Load/100000 with Load/1000000 for linearity.
//   bench_directory --benchmark_filter='Load|ReadFile|Save'
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <sys/resource.h>

#include "archive_reader.h"
#include "atomic_file.h"
#include "class_registry.h"
#include "directory_file.h"
#include "directory_rules.h"
#include "directory_store.h"
#include "display_object.h"
#include "group.h"
#include "service.h"
#include "subscriber.h"

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
    auto* subscriber = new CSubscriber("Subscriber " + std::to_string(i),
                                       std::to_string(1000000 + i), "240", service);
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
            ("bench-directory-" + std::to_string(subscribers) + ".vlg")).string();
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

double CurrentRssMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
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

void BM_LoadDirectory(benchmark::State& state) {
  const std::string& path = FileFor(state.range(0));
  ClassRegistry registry;
  RegisterDirectoryClasses(registry);
  double residentDelta = 0;
  for (auto _ : state) {
    double before = CurrentRssMegabytes();
    DirectoryStore store;
    if (LoadDirectoryFile(path, registry, store) != ArchiveError::None) {
      state.SkipWithError("load failed");
    }
    residentDelta = CurrentRssMegabytes() - before;
    state.PauseTiming();  // freeing is not part of the load
    store.Clear();
    state.ResumeTiming();
  }
  state.counters["loaded_RSS_MB"] = residentDelta;
  state.counters["peak_RSS_MB"] = PeakRssMegabytes();
  state.counters["subscribers_per_s"] =
      benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}

// The floor: the same bytes read from the page cache with nothing built from them.
void BM_ReadFile(benchmark::State& state) {
  const std::string& path = FileFor(state.range(0));
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    if (ReadWholeFile(path, bytes) != ArchiveError::None) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
}

}  // namespace

BENCHMARK(BM_SaveDirectory)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadDirectory)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFile)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
