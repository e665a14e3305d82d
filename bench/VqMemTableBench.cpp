// The in-memory table at scale: appending 1,000,000 records of a text and an
// integer field, building an index on each (against std::stable_sort of the
// same keys), Locate by an indexed value at 10,000 and 1,000,000 records,
// and sorting by both fields.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "vq/VqMemTable.h"

namespace {

std::string CodeOf(int i) {
    // Scrambled so that neither key arrives sorted.
    char b[16];
    std::snprintf(b, sizeof b, "B%08u", unsigned(i) * 2654435761u % 100000000u);
    return b;
}
int NumOf(int i) { return int(unsigned(i) * 40503u % 1000003u); }

std::unique_ptr<TVqMemTable> NewTable() {
    auto t = std::make_unique<TVqMemTable>(nullptr);
    t->FieldDefs().Add("Code", ftString, 20);
    t->FieldDefs().Add("Num", ftInteger);
    t->Open();
    return t;
}

void Fill(TVqMemTable& t, int n) {
    TField* code = t.FieldByName("Code");
    TField* num = t.FieldByName("Num");
    for (int i = 0; i < n; ++i) {
        t.Append();
        code->SetAsString(CodeOf(i));
        num->SetAsInteger(NumOf(i));
        t.Post();
    }
}

TVqMemTable& Shared(int n) {
    static std::map<int, std::unique_ptr<TVqMemTable>> tables;
    auto& t = tables[n];
    if (!t) {
        t = NewTable();
        Fill(*t, n);
    }
    return *t;
}

void BM_Append(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto t = NewTable();
        state.ResumeTiming();
        Fill(*t, int(state.range(0)));
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Append)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);

void BuildIndex(benchmark::State& state, const char* field) {
    TVqMemTable& t = Shared(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        t.IndexDefs().Clear();
        t.RefreshIndexes();
        t.IndexDefs().Add("Ix", field, 0);
        state.ResumeTiming();
        t.RefreshIndexes();
    }
}
void BM_BuildIndexText(benchmark::State& s) { BuildIndex(s, "Code"); }
void BM_BuildIndexInteger(benchmark::State& s) { BuildIndex(s, "Num"); }
void BM_SortByBothFields(benchmark::State& s) { BuildIndex(s, "Num;Code"); }
BENCHMARK(BM_BuildIndexText)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildIndexInteger)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByBothFields)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_StableSortText(benchmark::State& state) {
    std::vector<std::string> keys;
    for (int i = 0; i < state.range(0); ++i) keys.push_back(CodeOf(i));
    for (auto _ : state) {
        state.PauseTiming();
        auto k = keys;
        state.ResumeTiming();
        std::stable_sort(k.begin(), k.end());
        benchmark::DoNotOptimize(k.data());
    }
}
void BM_StableSortInteger(benchmark::State& state) {
    std::vector<int> keys;
    for (int i = 0; i < state.range(0); ++i) keys.push_back(NumOf(i));
    for (auto _ : state) {
        state.PauseTiming();
        auto k = keys;
        state.ResumeTiming();
        std::stable_sort(k.begin(), k.end());
        benchmark::DoNotOptimize(k.data());
    }
}
BENCHMARK(BM_StableSortText)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StableSortInteger)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_LocateIndexed(benchmark::State& state) {
    const int n = int(state.range(0));
    TVqMemTable& t = Shared(n);
    if (t.IndexDefs().IndexOf("ByNum") < 0) {
        t.IndexDefs().Clear();
        t.IndexDefs().Add("ByNum", "Num", 0);
        t.RefreshIndexes();
    }
    t.SetIndexName("ByNum");
    std::mt19937 rng(7);
    int found = 0;
    for (auto _ : state) {
        const int i = int(rng() % unsigned(n));
        found += t.Locate("Num", Variant(NumOf(i)));
    }
    if (found != int(state.iterations())) state.SkipWithError("a key was not found");
}
BENCHMARK(BM_LocateIndexed)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
