// Importing N people who all have the same name and company (the Brisko line "a,1,Acme"
// N times): Lomix reading them from a data file, and the merge naming them a, a1, a2, ...
// Both must grow linearly: compare /100000 with /1000000.
//   bench_import --benchmark_filter='Lomix|Merge'
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "directory/directory_store.h"
#include "directory/import_merge.h"
#include "translator/lomix_records.h"

namespace {

// One data file per size, made once per run.
const std::filesystem::path& DataFileFor(int64_t people) {
    static std::map<int64_t, std::filesystem::path> files;
    auto& path = files[people];
    if (path.empty()) {
        path = std::filesystem::temp_directory_path() / ("bench-import-" + std::to_string(people) + ".pdb");
        std::ofstream out(path, std::ios::binary);
        out << "[Paging Companies]\r\nAcme,5550100,2400,7E1\r\n\r\n[People]\r\n";
        for (int64_t i = 0; i < people; ++i)
            out << "a,1,Acme\r\n";
    }
    return path;
}

void BM_LomixReadPeople(benchmark::State& state) {
    const auto& file = DataFileFor(state.range(0));
    for (auto _ : state) {
        lomix::Translation translation;
        const size_t read = translation.ReadPeopleFrom(file);
        size_t handed = 0;
        while (translation.NextSubscriber() != nullptr)
            ++handed;
        if (read != static_cast<size_t>(state.range(0)) || handed != read)
            state.SkipWithError("records lost");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The merge's translator: the service Acme, then the prepared people, as a loaded Lomix
// hands them out.
lomix::Translation* g_translation = nullptr;
const void* GetService() {
    return g_translation->NextService();
}
const void* GetSubscriber() {
    return g_translation->NextSubscriber();
}

void BM_MergeOneNameOverAndOver(benchmark::State& state) {
    const auto& file = DataFileFor(state.range(0));
    lomix::Translation translation;
    translation.ReadCompaniesFrom(file, lomix::ModemSettings{});
    translation.ReadPeopleFrom(file);
    g_translation = &translation;
    for (auto _ : state) {
        state.PauseTiming();
        auto store = std::make_unique<DirectoryStore>();
        store->CreateEmpty();
        state.ResumeTiming();
        const ImportReport report =
            MergeImportedRecords(*store, {GetService, GetSubscriber, nullptr, nullptr});
        state.PauseTiming();
        if (report.subscribers.size() != static_cast<size_t>(state.range(0)) ||
            report.subscribers.back() != "a" + std::to_string(state.range(0) - 1)) {
            state.SkipWithError("unexpected names");
        }
        store.reset();
        state.ResumeTiming();
    }
    g_translation = nullptr;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_LomixReadPeople)->Arg(20000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergeOneNameOverAndOver)->Arg(20000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
