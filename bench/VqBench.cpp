// The in-house library's costs that grow with the data: painting one screen
// of the data grid over 100 and 1,000,000 records (the grid reads only the
// rows that show), writing 100,000 x 10 cells as an .xlsx workbook in
// constant-memory mode against writing them as CSV (with the peak memory of
// each), and reading a 10,000 x 20 workbook against parsing the same cells
// as CSV. The data sets compute row i's values from i, so their own cost
// does not grow with the count.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "Forms.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "vq/data/VqTableCopy.h"
#include "vq/export/VQExcelExport.h"
#include "vq/grid/VQDBGrid.h"

namespace {

class TGeneratedDataSet : public TDataSet {
public:
    TGeneratedDataSet(TComponent* owner, int count, int columns) : TDataSet(owner), count_(count), columns_(columns) {}

protected:
    void StoreOpen() override {
        FieldDefs().Clear();
        for (int c = 0; c < columns_; ++c) {
            if (c % 3 == 0)
                FieldDefs().Add(Format("Text%d", c), ftString, 30);
            else if (c % 3 == 1)
                FieldDefs().Add(Format("Count%d", c), ftInteger);
            else
                FieldDefs().Add(Format("Price%d", c), ftFloat);
        }
    }
    void StoreClose() override {}
    int StoreRecordCount() const override { return count_; }
    TRecordId StoreRecordId(int pos) const override { return pos; }
    int StorePosition(TRecordId id) const override { return id >= 0 && id < count_ ? int(id) : -1; }
    Variant StoreValue(TRecordId id, const TField& field) const override {
        const int c = field.StoreIndex();
        if (c % 3 == 0) return Variant(Format("图书%.7d-%d", int(id), c));
        if (c % 3 == 1) return Variant(int(id % 1000 + c));
        return Variant(double(id % 10000) / 100.0 + c);
    }
    TRecordId StorePost(const PostRequest& r) override { return r.id; }
    void StoreDelete(TRecordId) override {}

private:
    int count_;
    int columns_;
};

TVQExportSource SourceOf(TDataSet* ds) {
    TVQExportSource s;
    s.DataSet = ds;
    for (int i = 0; i < ds->FieldCount(); ++i) s.Columns.push_back({ds->Fields().Fields(i)->FieldName(), ds->Fields().Fields(i), 80});
    return s;
}

// Peak resident memory since the last reset, in kB; the reset lets each
// benchmark report its own peak.
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}
long PeakKb() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

std::string Scratch(const std::string& ext) {
    return "/tmp/vqbench-" + std::to_string(getpid()) + ext;
}

void WriteCsv(TDataSet* ds, const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "wb");
    for (ds->First(); !ds->Eof(); ds->Next()) {
        for (int i = 0; i < ds->FieldCount(); ++i) {
            if (i) std::fputc(',', f);
            const std::string s = ds->Fields().Fields(i)->AsString();
            std::fwrite(s.data(), 1, s.size(), f);
        }
        std::fputc('\n', f);
    }
    std::fclose(f);
}

void PaintScreen(benchmark::State& state) {
    const int count = int(state.range(0));
    Application->Title();
    TForm form(nullptr);
    form.SetBounds(0, 0, 820, 620);
    auto* ds = new TGeneratedDataSet(&form, count, 3);
    auto* src = new TDataSource(&form);
    src->SetDataSet(ds);
    auto* grid = new TVQDBGrid(&form);
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

void ExportXlsx(benchmark::State& state) {
    TGeneratedDataSet ds(nullptr, int(state.range(0)), 10);
    ds.Open();
    const TVQExportSource src = SourceOf(&ds);
    const std::string path = Scratch(".xlsx");
    ResetPeak();
    for (auto _ : state) WriteExcelWorkbook(src, path, false);
    state.counters["peakKB"] = double(PeakKb());
    std::remove(path.c_str());
}

void ExportCsv(benchmark::State& state) {
    TGeneratedDataSet ds(nullptr, int(state.range(0)), 10);
    ds.Open();
    const std::string path = Scratch(".csv");
    ResetPeak();
    for (auto _ : state) WriteCsv(&ds, path);
    state.counters["peakKB"] = double(PeakKb());
    std::remove(path.c_str());
}

void ReadXlsx(benchmark::State& state) {
    TGeneratedDataSet ds(nullptr, int(state.range(0)), 20);
    ds.Open();
    const std::string path = Scratch("-read.xlsx");
    WriteExcelWorkbook(SourceOf(&ds), path, false);
    for (auto _ : state) {
        TVqSheet sheet = ReadSheet(path);
        benchmark::DoNotOptimize(sheet.RowCount());
    }
    std::remove(path.c_str());
}

void ParseCsv(benchmark::State& state) {
    TGeneratedDataSet ds(nullptr, int(state.range(0)), 20);
    ds.Open();
    const std::string path = Scratch("-read.csv");
    WriteCsv(&ds, path);
    for (auto _ : state) {
        std::ifstream f(path, std::ios::binary);
        std::stringstream all;
        all << f.rdbuf();
        std::vector<std::vector<std::string>> rows;
        std::string line;
        while (std::getline(all, line)) {
            std::vector<std::string> cells;
            size_t start = 0;
            for (size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1)
                cells.push_back(line.substr(start, comma - start));
            cells.push_back(line.substr(start));
            rows.push_back(std::move(cells));
        }
        benchmark::DoNotOptimize(rows.size());
    }
    std::remove(path.c_str());
}

} // namespace

BENCHMARK(PaintScreen)->Arg(100)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ExportXlsx)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ExportCsv)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(ReadXlsx)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(ParseCsv)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
