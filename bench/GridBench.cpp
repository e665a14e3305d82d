// The second grid library: one screen painted after a jump over 100 and
// over 1,000,000 records (the grid reads only the rows that show), a full
// repaint of 40 rows x 10 columns with a footer against the platform
// TDBGrid, the sum list over 1,000,000 records against a plain walk reading
// the same field, Shift+Ctrl+End selection over 100,000 records against a
// plain First..Last walk, and printing 10,000 rows into the preview and
// through the built-in PDF printer (pages per second in the counters).
#include <benchmark/benchmark.h>

#include "DBGrids.h"
#include "Forms.h"
#include "Printers.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "gridlib/data/DBSumLst.h"
#include "gridlib/grid/DBGridEh.h"
#include "gridlib/print/PrViewEh.h"
#include "gridlib/print/PrnDbgeh.h"

namespace {

// Row i's values come from i: the data set's own cost does not grow with
// the count, so any difference is the grid's.
class TGeneratedDataSet : public TDataSet {
public:
    TGeneratedDataSet(TComponent* owner, int count, int fields = 3) : TDataSet(owner), count_(count), fields_(fields) {}

protected:
    void StoreOpen() override {
        FieldDefs().Clear();
        FieldDefs().Add("Code", ftString, 20);
        FieldDefs().Add("Name", ftString, 40);
        FieldDefs().Add("Price", ftInteger);
        for (int i = 3; i < fields_; ++i) FieldDefs().Add(Format("F%d", i), ftInteger);
    }
    void StoreClose() override {}
    int StoreRecordCount() const override { return count_; }
    TRecordId StoreRecordId(int pos) const override { return pos; }
    int StorePosition(TRecordId id) const override { return id >= 0 && id < count_ ? int(id) : -1; }
    Variant StoreValue(TRecordId id, const TField& field) const override {
        switch (field.StoreIndex()) {
        case 0: return Variant(Format("B%.7d", int(id)));
        case 1: return Variant(Format("图书名称%.7d", int(id)));
        default: return Variant(int((id * (field.StoreIndex() + 1)) % 1000));
        }
    }
    TRecordId StorePost(const PostRequest& r) override { return r.id; }
    void StoreDelete(TRecordId) override {}

private:
    int count_;
    int fields_;
};

struct Screen {
    TForm form{nullptr};
    TGeneratedDataSet* ds;
    TDataSource* src;
    explicit Screen(int count, int fields = 3) {
        Application->Title();
        form.SetBounds(0, 0, 820, 720);
        ds = new TGeneratedDataSet(&form, count, fields);
        src = new TDataSource(&form);
        src->SetDataSet(ds);
        ds->Open();
    }
};

void PaintScreenEh(benchmark::State& state) {
    const int count = int(state.range(0));
    Screen s(count);
    auto* grid = new TDBGridEh(&s.form);
    grid->SetParent(&s.form);
    grid->SetBounds(0, 0, 800, 600);
    grid->SetDataSource(s.src);
    ShowAndActivate(&s.form);
    ProcessEvents();
    const int rows = grid->VisibleDataRowCount();
    int target = 1;
    for (auto _ : state) {
        target += rows + 7;
        if (target > count) target = 1 + target % 7;
        s.ds->SetRecNo(target);
        grid->Repaint();
    }
    state.counters["rows"] = rows;
}

// 40 rows x 10 columns, with a footer row of sums on the Eh grid.
template <bool Eh>
void FullRepaint(benchmark::State& state) {
    Screen s(1000, 10);
    TCustomGrid* g;
    if (Eh) {
        auto* grid = new TDBGridEh(&s.form);
        grid->SetParent(&s.form);
        grid->SetDataSource(s.src);
        grid->SetFooterRowCount(1);
        for (int i = 0; i < grid->Columns()->Count(); ++i) {
            grid->Columns()->Items(i)->SetWidth(60);
            grid->Columns()->Items(i)->Footer()->SetValueType(i == 2 ? fvtSum : fvtNon);
        }
        grid->SumList()->SetActive(true);
        g = grid;
    } else {
        auto* grid = new TDBGrid(&s.form);
        grid->SetParent(&s.form);
        grid->SetDataSource(s.src);
        g = grid;
    }
    // 40 data rows of the default height, plus titles (and the footer).
    g->SetBounds(0, 0, 760, Eh ? 40 * 19 + 60 : 40 * 19 + 30);
    ShowAndActivate(&s.form);
    ProcessEvents();
    for (auto _ : state) g->Repaint();
}

void SumListRecalc(benchmark::State& state) {
    Screen s(int(state.range(0)));
    TDBSumList sums(nullptr);
    sums.SumCollection()->Add()->SetFieldName("Price");
    sums.SetDataSet(s.ds);
    for (auto _ : state) sums.RecalcAll();
}

void PlainWalk(benchmark::State& state) {
    Screen s(int(state.range(0)));
    TField* f = s.ds->FieldByName("Price");
    for (auto _ : state) {
        int64_t total = 0;
        s.ds->DisableControls();
        for (s.ds->First(); !s.ds->Eof(); s.ds->Next())
            if (!f->IsNull()) total += int64_t(f->AsFloat() * 10000);
        s.ds->EnableControls();
        benchmark::DoNotOptimize(total);
    }
}

void SelectToEnd(benchmark::State& state) {
    Screen s(int(state.range(0)));
    auto* grid = new TDBGridEh(&s.form);
    grid->SetParent(&s.form);
    grid->SetBounds(0, 0, 800, 600);
    grid->SetDataSource(s.src);
    // Whole rows selected: Shift+Ctrl+End selects records, not cells.
    TDBGridOptions o = grid->Options();
    o << dgMultiSelect << dgRowSelect;
    grid->SetOptions(o);
    ShowAndActivate(&s.form);
    for (auto _ : state) {
        state.PauseTiming();
        grid->Selection()->Clear();
        s.ds->First();
        state.ResumeTiming();
        SendKey(grid, VK_END, TShiftState{ssShift, ssCtrl});
    }
    state.counters["selected"] = grid->SelectedRows()->Count();
}

void PlainFirstToLast(benchmark::State& state) {
    Screen s(int(state.range(0)));
    for (auto _ : state) {
        s.ds->DisableControls();
        int n = 0;
        for (s.ds->First(); !s.ds->Eof(); s.ds->Next()) benchmark::DoNotOptimize(s.ds->GetBookmark());
        s.ds->EnableControls();
        benchmark::DoNotOptimize(n);
    }
}

void PrintPreview(benchmark::State& state) {
    Screen s(int(state.range(0)));
    auto* grid = new TDBGridEh(&s.form);
    grid->SetParent(&s.form);
    grid->SetDataSource(s.src);
    TPrintDBGridEh print(nullptr);
    print.SetDBGridEh(grid);
    print.PageHeader()->CenterText()->Add("&[Page]/&[Pages]");
    TPreviewBox box(nullptr);
    int pages = 0;
    for (auto _ : state) {
        print.RenderGridPages(box.Printer());
        pages += box.Printer()->PageCount();
    }
    state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsRate);
}

void PrintPdf(benchmark::State& state) {
    Screen s(int(state.range(0)));
    auto* grid = new TDBGridEh(&s.form);
    grid->SetParent(&s.form);
    grid->SetDataSource(s.src);
    TPrintDBGridEh print(nullptr);
    print.SetDBGridEh(grid);
    print.PageHeader()->CenterText()->Add("&[Page]/&[Pages]");
    const std::string pdf = "bench-grid-print.pdf";
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    int pages = 0;
    for (auto _ : state) {
        print.PrintDirect();
        state.PauseTiming();
        pages += print.LastPageCount();
        state.ResumeTiming();
    }
    remove(pdf.c_str());
    state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(PaintScreenEh)->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(FullRepaint, true)->Name("FullRepaint/DBGridEh")->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(FullRepaint, false)->Name("FullRepaint/TDBGrid")->Unit(benchmark::kMicrosecond);
BENCHMARK(SumListRecalc)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainWalk)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(SelectToEnd)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainFirstToLast)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(PrintPreview)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(PrintPdf)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_MAIN();
