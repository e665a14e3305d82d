// The book catalogue list over 200,000 copies: the window opening (its
// statement, columns and counters) against the same statement run raw, and
// a title click sorting the unfiltered list against the same in-memory sort
// of a raw query. Run with QT_QPA_PLATFORM=offscreen.
#include <benchmark/benchmark.h>

#include <string>

#include "ADODB.h"
#include "Forms.h"
#include "SysUtils.h"
#include "BenchDatabase.h"
#include "app/uBookData.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "vq/grid/VQDBGrid.h"

namespace {

constexpr int kBooks = 200000;

// A program folder with the shipped database and 200,000 copies, made once.
struct Library {
    std::string dir;
    TDMData* dm = nullptr;
    Library() {
        dir = GetTempFileName() + "-books/";
        ForceDirectories(dir + "Data");
        CreateDatabaseFile(dir + "Data/ombry.dat", ShippedDatabaseScript());
        AtomicWriteFile(dir + "ConSQL.ini", "[Server]\r\nPath=\r\n");
        SetExeDirForTesting(dir);
        Application->Title();
        dm = new TDMData(nullptr);
        TADOConnection* c = dm->ADOConnection1;
        TTransaction tx(c);
        for (int i = 0; i < kBooks; ++i) {
            const std::string n = std::to_string(i);
            c->Execute("insert into Bookinfo (Code, Name, Writer, Publisher, SortCode, Scode, BookPrice) "
                       "values (?,?,?,?,?,?,?)",
                       {Format("B%.7d", i), "图书名称" + std::to_string((i * 7919) % kBooks), "作者" + n.substr(0, 3),
                        std::string("出版社"), "TP" + std::to_string(i % 90), "TP/" + n, double(10 + i % 90)});
        }
        tx.Commit();
    }
};

Library& library() {
    static Library* l = new Library;
    return *l;
}

const char* const kOpening = "select top 1000 * from Bookinfo order by Id";
const char* const kAll = "select * from Bookinfo order by Id";

void BM_BookListOpenRaw(benchmark::State& state) {
    TADOConnection* c = library().dm->ADOConnection1;
    for (auto _ : state) {
        TADOQuery q;
        q.SetConnection(c);
        q.SQL()->SetText(kOpening);
        q.Open();
        benchmark::DoNotOptimize(q.RecordCount());
    }
}
BENCHMARK(BM_BookListOpenRaw)->Unit(benchmark::kMillisecond);

void BM_BookListOpenWindow(benchmark::State& state) {
    library();
    for (auto _ : state) {
        TFrmBookData list(nullptr);
        list.InitForm();
        benchmark::DoNotOptimize(list.ADOqData->RecordCount());
    }
}
BENCHMARK(BM_BookListOpenWindow)->Unit(benchmark::kMillisecond);

// The window alone, built but not filled: what opening costs on top of the
// statement whatever the size of the catalogue.
void BM_BookListWindowUnfilled(benchmark::State& state) {
    library();
    for (auto _ : state) {
        TFrmBookData list(nullptr);
        benchmark::DoNotOptimize(list.DBGrid1);
    }
}
BENCHMARK(BM_BookListWindowUnfilled)->Unit(benchmark::kMillisecond);

void BM_BookListSortRaw(benchmark::State& state) {
    TADOQuery q;
    q.SetConnection(library().dm->ADOConnection1);
    q.SQL()->SetText(kAll);
    q.Open();
    bool asc = true;
    for (auto _ : state) {
        q.SetSort(asc ? "Name ASC" : "Name DESC");
        asc = !asc;
        benchmark::DoNotOptimize(q.RecordCount());
    }
}
BENCHMARK(BM_BookListSortRaw)->Unit(benchmark::kMillisecond);

// The unfiltered list (all 200,000 rows), sorted by a click on the title
// column, which alternates ascending and descending as the raw loop does.
void BM_BookListSortTitleClick(benchmark::State& state) {
    library();
    TFrmBookData list(nullptr);
    list.InitForm();
    list.SbtFindClick(nullptr);
    TVQColumn* title = list.DBGrid1->FindColumnByFieldName("Name");
    for (auto _ : state) {
        list.DBGrid1TitleClick(title);
        benchmark::DoNotOptimize(list.ADOqData->RecordCount());
    }
}
BENCHMARK(BM_BookListSortTitleClick)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
