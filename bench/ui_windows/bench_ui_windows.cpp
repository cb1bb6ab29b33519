// The log window over long logs: opening it (one row per record, sorted by the saved column)
// and sorting by each column, at 10,000 and 100,000 records, so the growth from one to the
// other can be read off (the target: ten times the records, at most twelve times as long).
// Also the outgoing window's model over a large queue. Runs offscreen.
#include <QApplication>
#include <QTreeView>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "archive/ob_list.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "paging/log_object.h"
#include "paging/outgoing_queue.h"
#include "paging/page.h"
#include "paging/pager_message.h"
#include "paging/paging_clock.h"
#include "settings/memory_settings_store.h"
#include "ui/windows/log_list_model.h"
#include "ui/windows/log_list_view.h"
#include "ui/windows/outgoing_model.h"

namespace {

// A log like a real one: a few hundred subscribers, times over months, mostly successes.
OwningList MakeLog(int records) {
    OwningList list(new CObList);
    list->Reserve(records);
    uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < records; ++i) {
        const uint32_t time = 1700000000u + next() % (180u * 24 * 3600);
        const std::string name = "Subscriber " + std::to_string(next() % 400);
        const int32_t code = next() % 10 == 0 ? -210 : 0;
        list->AddTail(new CLogObject(time, name, code ? "Page refused" : "Message Sent Successfully!",
                                     "Message number " + std::to_string(next() % 100000), code));
    }
    return list;
}

void BM_OpenLogModel(benchmark::State& state) {
    OwningList list = MakeLog(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CLogListModel model(list.get());
        benchmark::DoNotOptimize(model.rowCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OpenLogModel)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SortLogModel(benchmark::State& state) {
    OwningList list = MakeLog(static_cast<int>(state.range(0)));
    CLogListModel model(list.get());
    const int column = static_cast<int>(state.range(1));
    int order = 1;
    for (auto _ : state) {
        order = -order;  // each pass really reorders
        model.Sort(column, order);
    }
    state.SetLabel(std::string("column ") + std::to_string(column));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SortLogModel)
    ->ArgsProduct({{10000, 100000},
                   {CLogListModel::kDate, CLogListModel::kTime, CLogListModel::kName, CLogListModel::kStatus,
                    CLogListModel::kMessage}})
    ->Unit(benchmark::kMillisecond);

// A click on another column than the last one: the model makes that column's keys afresh
// before it sorts. Cycles through all five columns.
void BM_SortLogModelByNextColumn(benchmark::State& state) {
    OwningList list = MakeLog(static_cast<int>(state.range(0)));
    CLogListModel model(list.get());
    int column = 0;
    for (auto _ : state) {
        column = (column + 1) % CLogListModel::kColumnCount;
        model.Sort(column, 1);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SortLogModelByNextColumn)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// The whole window: model, details view and the first paint of the visible rows.
void BM_OpenLogWindow(benchmark::State& state) {
    OwningList list = MakeLog(static_cast<int>(state.range(0)));
    vorla::MemorySettingsStore settings;
    for (auto _ : state) {
        LogWindowContext context;
        context.settings = &settings;
        context.logList = [&list] { return list.get(); };
        CLogListView view(context);
        view.resize(800, 600);
        view.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(view.Model()->rowCount());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OpenLogWindow)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_OutgoingModelReload(benchmark::State& state) {
    ServiceFields fields;
    fields.name = "Acme";
    CService service(fields);
    CSubscriber subscriber("Ann", "1001", "240", &service);
    OwningList outgoing(new CObList);
    vorla::MemorySettingsStore settings;
    ManualClock clock(1700000000);
    OutgoingQueue queue(*outgoing, settings, clock, std::string());
    auto* message = new CPagerMessage("hello");
    for (int64_t i = 0; i < state.range(0); ++i) {
        auto copy = CSubscriber::MakeDetachedCopy(subscriber);
        copy->SetName("Subscriber " + std::to_string(i));
        auto* page = new CPage(message, std::move(copy), kWhenAt, 1700000000u + uint32_t(i % 5000), 0);
        message->AddRef();
        queue.AppendPage(page);
    }
    queue.Refresh();
    COutgoingModel model([&queue] { return &queue; });
    for (auto _ : state) {
        model.Reload();
        benchmark::DoNotOptimize(
            model.data(model.index(static_cast<int>(state.range(0)) - 1, 0), Qt::DisplayRole));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_OutgoingModelReload)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
