// Queueing one message to a large group, and the due check over a large timed queue.
// Both should grow about linearly: ten times the pages, at most twelve times the time.
// Saving the log after each page should not grow with the log at all.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>

#include <memory>
#include <string>
#include <vector>

#include "archive/ob_list.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/log_object.h"
#include "paging/message_log.h"
#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_clock.h"
#include "paging/paging_files.h"
#include "paging/queue_page.h"
#include "settings/memory_settings_store.h"

namespace {

struct Directory {
    explicit Directory(int members) : group("Everyone") {
        ServiceFields fields;
        fields.name = "North";
        service = std::make_unique<CService>(fields);
        for (int i = 0; i < members; ++i) {
            // Names in no particular order, as a real group holds them.
            const int key = static_cast<int>((static_cast<int64_t>(i) * 7919) % members);
            subscribers.push_back(std::make_unique<CSubscriber>(
                "Member " + std::to_string(key), std::to_string(1000000 + key), "240", service.get()));
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
                QueuePage(queue, settings, *directory.subscribers[static_cast<size_t>(i)], message,
                          SendChoice::At, clock.Now() - static_cast<uint32_t>(pages - i));
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
    for (auto _ : state)
        benchmark::DoNotOptimize(queue.DueCheck());
}
BENCHMARK(BM_DueCheckNoneDue)->Arg(10'000)->Arg(100'000);

// A temporary program folder (ending in a separator) for the log window file.
struct LogFolder {
    LogFolder() {
        path = std::filesystem::temp_directory_path() /
               ("vorla-bench-log-" +
                std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
        std::filesystem::create_directories(path);
    }
    ~LogFolder() { std::filesystem::remove_all(path); }
    std::string Program() const { return path.string() + "/"; }
    std::filesystem::path path;
};

std::unique_ptr<CLogObject> SentRecord(uint32_t time, int i) {
    return std::make_unique<CLogObject>(time, "Member " + std::to_string(i), "Message Sent Successfully!",
                                        "The building will be closed tomorrow.", 0);
}

// What every page that leaves the queue costs the log: its record brought to the log window
// file (appended, then the count, each pushed to the disk) with the log already holding
// range(0) records. Real time: the cost is waiting for the disk.
void BM_LogSaveAfterPage(benchmark::State& state) {
    LogFolder folder;
    vorla::MemorySettingsStore settings;
    OwningList list(new CObList);
    MessageLog log(*list, settings, folder.Program());
    uint32_t time = 1'700'000'000;
    for (int i = 0; i < state.range(0); ++i)
        log.Add(SentRecord(time++, i));
    if (!log.SaveLog()) state.SkipWithError("the log window file could not be written");
    int i = 0;
    for (auto _ : state) {
        log.Add(SentRecord(time++, i++));
        if (!log.SaveLog()) state.SkipWithError("the log window file could not be written");
    }
}
BENCHMARK(BM_LogSaveAfterPage)->Arg(1'000)->Arg(100'000)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The same page with the whole log written again (what the first save of a run costs).
void BM_LogWholeSave(benchmark::State& state) {
    LogFolder folder;
    vorla::MemorySettingsStore settings;
    OwningList list(new CObList);
    uint32_t time = 1'700'000'000;
    for (int i = 0; i < state.range(0); ++i)
        list->AddTail(SentRecord(time++, i).release());
    const std::string path = folder.Program() + std::string(kLogWindowFileName);
    for (auto _ : state) {
        if (SaveLogWindowFile(path, list.get()) != ArchiveError::None) state.SkipWithError("not written");
    }
}
BENCHMARK(BM_LogWholeSave)->Arg(1'000)->Arg(100'000)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
