// Painting one screen of a data grid after a jump to another record, over a
// data set of 100 and of 1,000,000 records (offscreen). The grid reads only
// the rows that show, so both should cost about the same.
// The data set computes row i's values from i: its own cost does not grow
// with the count either (every value has the same width), so any
// difference is the grid's.
#include <benchmark/benchmark.h>

#include "DBGrids.h"
#include "Forms.h"
#include "SysUtils.h"
#include "TestKit.h"

namespace {

class TGeneratedDataSet : public TDataSet {
public:
    TGeneratedDataSet(TComponent* owner, int count) : TDataSet(owner), count_(count) {}

protected:
    void StoreOpen() override {
        FieldDefs().Clear();
        FieldDefs().Add("Code", ftString, 20);
        FieldDefs().Add("Name", ftString, 40);
        FieldDefs().Add("Price", ftInteger);
    }
    void StoreClose() override {}
    int StoreRecordCount() const override { return count_; }
    TRecordId StoreRecordId(int pos) const override { return pos; }
    int StorePosition(TRecordId id) const override { return id >= 0 && id < count_ ? int(id) : -1; }
    Variant StoreValue(TRecordId id, const TField& field) const override {
        switch (field.StoreIndex()) {
        case 0: return Variant(Format("B%.7d", int(id)));
        case 1: return Variant(Format("图书名称%.7d", int(id)));
        default: return Variant(int(id % 1000));
        }
    }
    TRecordId StorePost(const PostRequest& r) override { return r.id; }
    void StoreDelete(TRecordId) override {}

private:
    int count_;
};

void PaintScreen(benchmark::State& state) {
    const int count = int(state.range(0));
    Application->Title();
    TForm form(nullptr);
    form.SetBounds(0, 0, 820, 620);
    auto* ds = new TGeneratedDataSet(&form, count);
    auto* src = new TDataSource(&form);
    src->SetDataSet(ds);
    auto* grid = new TDBGrid(&form);
    grid->SetParent(&form);
    grid->SetBounds(0, 0, 800, 600);
    ds->Open();
    grid->SetDataSource(src);
    ShowAndActivate(&form);
    ProcessEvents();
    const int rows = grid->VisibleDataRowCount();
    int target = 1;
    for (auto _ : state) {
        // A jump of more than a screen, so every row is read and painted.
        target += rows + 7;
        if (target > count) target = 1 + target % 7;
        ds->SetRecNo(target);
        grid->Repaint();
    }
    state.counters["rows"] = rows;
}

} // namespace

BENCHMARK(PaintScreen)->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
