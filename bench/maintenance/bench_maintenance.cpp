// Subscriber Maintenance over large directories: opening the list (one row per subscriber,
// sorted by name), sorting by each column, and deleting 1,000 subscribers with their
// cross-links, at 10,000 and 100,000 subscribers, so the growth from one to the other can be
// read off (the target: ten times the records, at most twelve times as long). Runs offscreen.
#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "archive/ob_list.h"
#include "directory/directory_edits.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "platform/memory_reuse.h"
#include "ui/maintenance/subscriber_model.h"

namespace {

// A directory like a large real one: a few services, names in no order, groups of ten.
void MakeDirectory(DirectoryStore& store, int subscribers) {
    store.CreateEmpty();
    std::vector<CService*> services;
    for (int i = 0; i < 8; ++i) {
        ServiceFields fields;
        fields.name = "Service " + std::to_string(i);
        services.push_back(new CService(fields));
        store.GetServiceList()->AddTail(services.back());
    }
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    store.GetSubscriberList()->Reserve(static_cast<size_t>(subscribers));
    CGroup* group = nullptr;
    for (int i = 0; i < subscribers; ++i) {
        CService* service = services[next() % services.size()];
        auto* s =
            new CSubscriber("Person " + std::to_string(next() % 1000000) + " " + std::to_string(i),
                            std::to_string(next() % 10000000), std::to_string(40 + next() % 200), service);
        service->AddSubscriber(s);
        store.GetSubscriberList()->AddTail(s);
        if (i % 10 == 0) {
            group = new CGroup("Group " + std::to_string(i));
            store.GetGroupList()->AddTail(group);
        }
        AddGroupMember(*group, *s);
    }
}

void BM_OpenSubscriberList(benchmark::State& state) {
    DirectoryStore store;
    MakeDirectory(store, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        SubscriberModel model;
        model.SetList(store.GetSubscriberList());
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OpenSubscriberList)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortSubscriberList(benchmark::State& state) {
    DirectoryStore store;
    MakeDirectory(store, static_cast<int>(state.range(0)));
    SubscriberModel model;
    model.SetList(store.GetSubscriberList());
    const int column = static_cast<int>(state.range(1));
    for (auto _ : state) {
        // A click on the column after opening in another order: the column's keys are made
        // in the timed part, as they are the first time a user sorts by it.
        state.PauseTiming();
        model.Sort(column == 0 ? 1 : 0);
        model.Reload();
        state.ResumeTiming();
        model.Sort(column);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SortSubscriberList)
    ->ArgsProduct({{10000, 100000}, {0, 1, 2, 3}})
    ->ArgNames({"subscribers", "column"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);  // each one reopens the list untimed first

void BM_DeleteThousandSubscribers(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        DirectoryStore store;
        MakeDirectory(store, static_cast<int>(state.range(0)));
        std::vector<CSubscriber*> doomed;
        const size_t step = store.GetSubscriberList()->GetCount() / 1000;
        for (size_t i = 0; i < 1000; ++i)
            doomed.push_back(static_cast<CSubscriber*>(store.GetSubscriberList()->GetAt(i * step)));
        SubscriberModel model;
        model.SetList(store.GetSubscriberList());
        state.ResumeTiming();
        model.Remove(doomed);
        DeleteSubscribers(store, doomed);
        benchmark::DoNotOptimize(model.rowCount());
        state.PauseTiming();
        store.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteThousandSubscribers)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    vorla::KeepFreedMemoryForReuse();  // as the program does
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
