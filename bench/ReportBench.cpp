// The report engine: building list reports (pages per second, and the cost
// per row at 1,000 against 10,000 rows), loading and saving a report file,
// and one expression evaluated against the same arithmetic in C++.
#include <benchmark/benchmark.h>

#include "report/model/RM_Report.h"

namespace {

struct ListReport {
    TComponent owner{nullptr};
    TRMUserDataset rows{&owner};
    TRMReport report{&owner};
    int n, i = 0;
    explicit ListReport(int count) : n(count) {
        rows.SetName("Rows");
        rows.OnFirst = [this] { i = 0; };
        rows.OnNext = [this] { ++i; };
        rows.OnPrior = [this] { --i; };
        rows.OnCheckEOF = [this](bool& eof) { eof = i >= n; };
        rows.OnGetField = [this](const std::string& f) -> Variant {
            if (f == "Name") return std::string("图书") + std::to_string(i);
            if (f == "Price") return 10.5 + i % 7;
            return Variant();
        };
        TRMPage* p = report.Pages[0];
        auto band = [&](TRMBandKind k, int top, int h, const char* ds = "") {
            auto* b = static_cast<TRMBandView*>(p->Add(std::make_unique<TRMBandView>()));
            b->SetBandType(k);
            b->CreateUniqueName(&report);
            b->SetBounds(0, top, 700, h);
            b->SetDataSet(ds);
        };
        auto memo = [&](int l, int t, int w, const std::string& text) {
            auto* m = static_cast<TRMMemoView*>(p->Add(std::make_unique<TRMMemoView>()));
            m->CreateUniqueName(&report);
            m->SetBounds(l, t, w, 20);
            m->Memo = {text};
            m->SetFrameAll(true);
        };
        band(bkPageHeader, 40, 24);
        memo(0, 42, 300, "书名");
        band(bkMasterData, 100, 20, "Rows");
        for (int c = 0; c < 8; ++c) memo(c * 85, 100, 85, c % 2 ? "[Price #N0.00]" : "[Name]");
        band(bkSummary, 140, 24);
        memo(0, 141, 300, "合计 [SUM([Price])]");
        band(bkPageFooter, 200, 24);
        memo(0, 201, 300, "第 [Page#] 页");
    }
};

void BM_BuildList(benchmark::State& state) {
    ListReport r(int(state.range(0)));
    // The first build also fills the platform's font and text caches;
    // the timed ones are the builds a user waits for afterwards.
    r.report.PrepareReport();
    int pages = 0;
    for (auto _ : state) {
        r.report.PrepareReport();
        pages += r.report.EMFPages.Count();
    }
    state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsRate);
    state.counters["rows/s"] =
        benchmark::Counter(double(state.iterations()) * state.range(0), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_BuildList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_SaveReportFile(benchmark::State& state) {
    ListReport r(1);
    for (auto _ : state) {
        TMemoryStream m;
        r.report.SaveToStream(m);
        benchmark::DoNotOptimize(m.Size());
    }
}
BENCHMARK(BM_SaveReportFile);

void BM_LoadReportFile(benchmark::State& state) {
    ListReport r(1);
    TMemoryStream m;
    r.report.SaveToStream(m);
    TRMReport other;
    for (auto _ : state) {
        m.SetPosition(0);
        other.LoadFromStream(m);
    }
}
BENCHMARK(BM_LoadReportFile);

void BM_ExpressionEngine(benchmark::State& state) {
    TRMReport r;
    r.Variables["A"] = 3.5;
    r.Variables["B"] = 2;
    for (auto _ : state) benchmark::DoNotOptimize(r.Calc("(A + B) * 2 - A / B + 1"));
}
BENCHMARK(BM_ExpressionEngine)->Iterations(1000000);

void BM_ExpressionNative(benchmark::State& state) {
    volatile double a = 3.5, b = 2;
    for (auto _ : state) benchmark::DoNotOptimize((a + b) * 2 - a / b + 1);
}
BENCHMARK(BM_ExpressionNative)->Iterations(1000000);

} // namespace

BENCHMARK_MAIN();
