// Queueing one message to a large group, and the due check over a large timed queue.
// Both should grow about linearly: ten times the pages, at most twelve times the time.
#include <benchmark/benchmark.h>

#include <chrono>

#include <memory>
#include <string>
#include <vector>

#include "group.h"
#include "memory_settings_store.h"
#include "ob_list.h"
#include "outgoing_queue.h"
#include "page.h"
#include "pager_message.h"
#include "paging_clock.h"
#include "queue_page.h"
#include "service.h"
#include "subscriber.h"

namespace {

struct Directory {
  explicit Directory(int members) : group("Everyone") {
    ServiceFields fields;
    fields.name = "North";
    service = std::make_unique<CService>(fields);
    for (int i = 0; i < members; ++i) {
      // Names in no particular order, as a real group holds them.
      const int key = static_cast<int>((static_cast<int64_t>(i) * 7919) % members);
      subscribers.push_back(std::make_unique<CSubscriber>("Member " + std::to_string(key),
                                                          std::to_string(1000000 + key), "240",
                                                          service.get()));
      group.GetMembers()->AddTail(subscribers.back().get());
    }
  }
  std::unique_ptr<CService> service;
  std::vector<std::unique_ptr<CSubscriber>> subscribers;
  CGroup group;
};

void BM_QueueMessageToGroup(benchmark::State& state) {
  const int members = static_cast<int>(state.range(0));
  Directory directory(members);
  vorla::MemorySettingsStore settings;
  ManualClock clock(1'700'000'000);
  for (auto _ : state) {
    OwningList list(new CObList);
    {
      OutgoingQueue queue(*list, settings, clock, std::string());
      // Timed by hand, like the due check: pausing the benchmark's clock skews small runs.
      const auto start = std::chrono::steady_clock::now();
      CPagerMessage* message = MakePagerMessage("The building will be closed tomorrow.");
      QueueGroup(queue, settings, directory.group, message, SendChoice::Now, std::nullopt);
      queue.Refresh();
      benchmark::DoNotOptimize(queue.GetNextPage());
      const auto stop = std::chrono::steady_clock::now();
      state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    list.reset();
  }
  state.SetItemsProcessed(state.iterations() * members);
}
BENCHMARK(BM_QueueMessageToGroup)->Arg(10'000)->Arg(100'000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DueCheckAllDue(benchmark::State& state) {
  const int pages = static_cast<int>(state.range(0));
  Directory directory(pages);
  vorla::MemorySettingsStore settings;
  ManualClock clock(1'700'000'000);
  int runsStarted = 0;
  for (auto _ : state) {
    OwningList list(new CObList);
    {
      OutgoingQueue queue(*list, settings, clock, std::string());
      queue.SetSendStarter([&runsStarted] { ++runsStarted; });
      CPagerMessage* message = MakePagerMessage("Reminder");
      for (int i = 0; i < pages; ++i) {
        QueuePage(queue, settings, *directory.subscribers[static_cast<size_t>(i)], message, SendChoice::At,
                  clock.Now() - static_cast<uint32_t>(pages - i));
      }
      queue.Refresh();
      // Timed by hand: pausing and resuming the benchmark's clock costs more than a small
      // due check.
      const auto start = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(queue.DueCheck());
      const auto stop = std::chrono::steady_clock::now();
      state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
    list.reset();
  }
  state.SetItemsProcessed(state.iterations() * pages);
}
BENCHMARK(BM_DueCheckAllDue)->Arg(10'000)->Arg(100'000)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DueCheckNoneDue(benchmark::State& state) {
  const int pages = static_cast<int>(state.range(0));
  Directory directory(pages);
  vorla::MemorySettingsStore settings;
  ManualClock clock(1'700'000'000);
  OwningList list(new CObList);
  OutgoingQueue queue(*list, settings, clock, std::string());
  CPagerMessage* message = MakePagerMessage("Reminder");
  for (int i = 0; i < pages; ++i) {
    QueuePage(queue, settings, *directory.subscribers[static_cast<size_t>(i)], message, SendChoice::At,
              clock.Now() + 60 + static_cast<uint32_t>(i));
  }
  queue.Refresh();
  for (auto _ : state) benchmark::DoNotOptimize(queue.DueCheck());
}
BENCHMARK(BM_DueCheckNoneDue)->Arg(10'000)->Arg(100'000);

}  // namespace

BENCHMARK_MAIN();
