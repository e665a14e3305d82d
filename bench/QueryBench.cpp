// The query windows on a large library: 200,000 books, 20,000 readers and
// 1,000,000 loan rows over fourteen years (made once in /tmp and reused).
// Measures a month's loans opened in the loan query window with a footer
// sum against the same statement opened on a bare query, and the item
// ranking over a whole year in its window against its bare statement.
// The window figures should stay within 1.5 times the bare ones.
#include <benchmark/benchmark.h>

#include "ADODB.h"
#include "DB.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "app/QueryConditions.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "BenchDatabase.h"
#include "app/uQryBorrow.h"
#include "app/uQryBorrowOrder1.h"

#include <memory>
#include <string>

namespace {

const char* const kDbPath = "/tmp/quillory-query-bench.dat";
const char* const kProgramDir = "/tmp/quillory-query-bench/";

// Loans spread over 2010-2023, about 5,800 a month; every one returned, a
// seventh with a fine.
void generate() {
    MakeLargeLibrary(kDbPath, R"(
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<199999)
INSERT INTO Bookinfo(Code,Name,Writer,Publisher,SortCode,BookPrice,Times)
  SELECT printf('B%06d',i),'图书名称'||i,'作者'||(i%5000),'出版社'||(i%300),'TP'||(i%90),10+(i%900)/10.0,0 FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<19999)
INSERT INTO Readerinfo(Code,Name,Department,Isstop,BookQty)
  SELECT printf('R%05d',i),'读者'||i,'系'||(i%40),0,i%5 FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<999999)
INSERT INTO Borrowinfo(Code,Rcode,State,BorrowDate,ReturnDate,ExceedDay,ExceedFund,IsPay,Operator)
  SELECT printf('B%06d',(i*7919)%200000),printf('R%05d',(i*104729)%20000),'已还',
         printf('20%02d-%02d-%02d',10+i%14,1+i%12,1+(i/168)%28),printf('20%02d-%02d-%02d',10+i%14,1+i%12,1+(i/168)%28),
         i%7,(i%7)*0.5,i%2,'张三' FROM n;
ANALYZE;
)");
}

void useProgramDir() {
    static bool done = false;
    if (done) return;
    done = true;
    generate();
    UseLargeLibrary(kDbPath, kProgramDir);
    BusinessDate = EncodeDate(2020, 3, 31);
    CorpName = "图书馆";
}

TBoundSql monthOfLoans() {
    TLoanCondition c;
    c.From = EncodeDate(2020, 3, 1);
    c.To = EncodeDate(2020, 3, 31);
    return WithCondition("select * from QryBorrow where ", BorrowWhere(c));
}

TBoundSql yearRanking() { return ItemRankingSql(false, EncodeDate(2020, 1, 1), EncodeDate(2020, 12, 31), 1); }

// The statement on a bare query: every row fetched, nothing shown.
void openRaw(benchmark::State& state, const TBoundSql& sql) {
    useProgramDir();
    TADOQuery q;
    q.SetConnection(DMData->ADOConnection1);
    int rows = 0;
    for (auto _ : state) {
        q.Close();
        q.SetStatement(sql);
        q.Open();
        rows = q.RecordCount();
    }
    state.counters["rows"] = rows;
}

void BM_MonthOfLoansRaw(benchmark::State& state) { openRaw(state, monthOfLoans()); }
BENCHMARK(BM_MonthOfLoansRaw)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The loan query window with its grid and a footer summing the fines.
void BM_MonthOfLoansWindowWithFooterSum(benchmark::State& state) {
    useProgramDir();
    TSeamScript seam;
    std::unique_ptr<TFrmQryBorrow> w(new TFrmQryBorrow(Application));
    w->Show();
    w->SumFooters({"ExceedFund"});
    TLoanCondition c;
    c.From = EncodeDate(2020, 3, 1);
    c.To = EncodeDate(2020, 3, 31);
    w->WhereText = BorrowWhere(c);
    for (auto _ : state) {
        w->RunQuery(w->Statement());
        ProcessEvents();
    }
    state.counters["rows"] = w->ADOQueryBill->RecordCount();
    w->Close();
}
BENCHMARK(BM_MonthOfLoansWindowWithFooterSum)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_YearRankingRaw(benchmark::State& state) { openRaw(state, yearRanking()); }
BENCHMARK(BM_YearRankingRaw)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_YearRankingWindow(benchmark::State& state) {
    useProgramDir();
    TSeamScript seam;
    std::unique_ptr<TFrmQryBorrowOrder1> w(new TFrmQryBorrowOrder1(Application));
    w->Show();
    for (auto _ : state) {
        w->RunQuery(yearRanking());
        ProcessEvents();
    }
    state.counters["rows"] = w->ADOQueryBill->RecordCount();
    w->Close();
}
BENCHMARK(BM_YearRankingWindow)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
