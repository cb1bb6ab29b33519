// Laying out the printed directory: N subscribers in shuffled order over N/1000 services, in
// N/10 groups of 10, sorted and cut into pages. The lines grow tenfold from 10,000 to
// 100,000 subscribers; the time should grow at most twelvefold.
//   bench_reports --benchmark_filter=ReportLayout
#include <benchmark/benchmark.h>

#include <QLocale>

#include <algorithm>
#include <random>

#include "directory/directory_report.h"
#include "directory/directory_rules.h"
#include "directory/directory_store.h"
#include "directory/group.h"
#include "directory/service.h"
#include "directory/subscriber.h"
#include "ui/windows/directory_report_printer.h"

namespace {

void Generate(DirectoryStore& store, int64_t count) {
    store.CreateEmpty();
    std::vector<int64_t> numbers(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i)
        numbers[static_cast<size_t>(i)] = i;
    std::shuffle(numbers.begin(), numbers.end(), std::mt19937(7));
    std::vector<CService*> services;
    for (int64_t s = 0; s < std::max<int64_t>(1, count / 1000); ++s) {
        ServiceFields fields;
        fields.name = "Service " + std::to_string(s);
        fields.accessNumber = "555-" + std::to_string(1000 + s);
        fields.port = "COM1";
        fields.baudRate = 2400;
        fields.modemName = "Factory Default";
        fields.scriptFile = "VORLAPRO.RKL";
        services.push_back(new CService(fields));
        store.GetServiceList()->AddTail(services.back());
    }
    CGroup* group = nullptr;
    for (int64_t i = 0; i < count; ++i) {
        const int64_t n = numbers[static_cast<size_t>(i)];
        CService* service = services[static_cast<size_t>(i) % services.size()];
        // Mixed case, so the case-insensitive order has work to do.
        auto* subscriber = new CSubscriber((n % 2 ? "subscriber " : "Subscriber ") + std::to_string(n),
                                           std::to_string(1000000 + n), "240", service);
        service->AddSubscriber(subscriber);
        store.GetSubscriberList()->AddTail(subscriber);
        if (i % 10 == 0) {
            group = new CGroup("Group " + std::to_string(n));
            store.GetGroupList()->AddTail(group);
        }
        AddGroupMember(*group, *subscriber);
    }
}

void LayOut(benchmark::State& state, const ReportOrder& order) {
    DirectoryStore store;
    Generate(store, state.range(0));
    const ReportChoice choice{true, true, true, true};
    size_t lines = 0;
    for (auto _ : state) {
        const auto sections = BuildReportSections(ReportSourceOf(store), choice, order);
        const auto pages = PaginateReport(sections, 60);
        benchmark::DoNotOptimize(pages.data());
        lines = 0;
        for (const auto& s : sections)
            lines += s.lines.size();
    }
    state.counters["lines"] = static_cast<double>(lines);
}

void BM_ReportLayoutPlain(benchmark::State& state) {
    LayOut(state, &CaseInsensitiveOrder);
}

// The program's order: the locale's collation (an English locale, so the collator is used
// even where the process runs in the C locale).
void BM_ReportLayoutLocale(benchmark::State& state) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    LayOut(state, &LocaleCollationOrder);
}

}  // namespace

BENCHMARK(BM_ReportLayoutPlain)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportLayoutLocale)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
