// Circulation on a large library: 200,000 books, 20,000 readers and
// 1,000,000 loan rows (made once in /tmp and reused). Measures the save of
// a 10-line lending bill and of a 10-line return bill, the look-ups of one
// scanned code, and a scan through the real book desk (AddBorrowLine).
#include <benchmark/benchmark.h>

#include "ADODB.h"
#include "DB.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "app/Circulation.h"
#include "app/uBorrowBill.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "BenchDatabase.h"

#include <cstdio>
#include <memory>
#include <string>

namespace {

const char* const kDbPath = "/tmp/quillory-circ-bench.dat";
const char* const kProgramDir = "/tmp/quillory-circ-bench/";

// Books B000000..B199999; every tenth book is on loan (its open loan among
// the loan rows), the others are in the library. Readers R00000..R19999.
void generate() {
    MakeLargeLibrary(kDbPath, R"(
INSERT INTO ReaderType(Code,CeQty,LimitDay,RenewTime,IsLimit,CeQty1,LimitDay1,IsLimit1)
  VALUES ('学生',1000000,30,3,0,1000000,7,0);
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<199999)
INSERT INTO Bookinfo(Code,Name,Writer,Publisher,SortCode,BookPrice,RegDate,IsOut,Times)
  SELECT printf('B%06d',i),'图书名称'||i,'作者'||(i%5000),'出版社'||(i%300),'TP'||(i%90),10+(i%900)/10.0,
         printf('20%02d-%02d-%02d',10+i%14,1+i%12,1+i%28),CASE WHEN i%10=0 THEN '外借' END,0 FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<19999)
INSERT INTO Readerinfo(Code,Name,SortCode,Department,Isstop)
  SELECT printf('R%05d',i),'读者'||i,'学生','系'||(i%40),0 FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<979999)
INSERT INTO Borrowinfo(Code,Rcode,State,BorrowDate,ReturnDate,ExceedDay,ExceedFund,IsPay,Operator)
  SELECT printf('B%06d',(i*7919)%200000),printf('R%05d',(i*104729)%20000),'已还',
         printf('20%02d-%02d-%02d',10+i%14,1+i%12,1+i%28),printf('20%02d-%02d-%02d',10+i%14,1+i%12,1+i%28),
         i%7,(i%7)*0.1,i%2,'张三' FROM n;
WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i<19999)
INSERT INTO Borrowinfo(Code,Rcode,State,BorrowDate,ReturnDate,Operator)
  SELECT printf('B%06d',i*10),printf('R%05d',i),'未还','2025-03-01','2025-03-31','张三' FROM n;
UPDATE Readerinfo SET BookQty=1;
ANALYZE;
)");
}

// The program folder the data module reads: "ConSQL.ini" naming the file.
void useProgramDir() {
    static bool done = false;
    if (done) return;
    done = true;
    generate();
    UseLargeLibrary(kDbPath, kProgramDir);
    OperatorName = "管理员";
    BusinessDate = EncodeDate(2025, 3, 10);
    IfFine = true;
    PerFine = Currency::FromRaw(2000);
    // The file outlives a run: give back what earlier runs lent, so every
    // run measures the same library instead of running out of free books.
    DMData->ADOConnection1->Execute("delete from Borrowinfo where Operator=?", {Variant(OperatorName)});
    DMData->ADOConnection1->Execute("update Bookinfo set IsOut=NULL where substr(Code,7,1)<>'0'");
    DMData->ADOConnection1->Execute("update Readerinfo set BookQty=1");
}

// The books in the library, in turn; every tenth is on loan from the start.
int nextFreeBook() {
    static int next = 1;
    if (next % 10 == 0) ++next;
    if (next >= 200000) std::abort();
    return next++;
}

std::string bookCode(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "B%06d", i);
    return buf;
}

TBill lendingBill(const std::string& reader) {
    TBill bill;
    bill.Reader = reader;
    bill.ReaderName = "读者";
    bill.Operator = OperatorName;
    bill.BusinessDate = BusinessDate;
    for (int k = 0; k < 10; ++k)
        bill.Lines.push_back(TBillLine{bookCode(nextFreeBook()), CircWord::NewLoan, BusinessDate,
                                       DueDate(BusinessDate, 30), TDateTime(), 0, Currency()});
    return bill;
}

void BM_SaveLendingBill10(benchmark::State& state) {
    useProgramDir();
    int reader = 0;
    for (auto _ : state) {
        state.PauseTiming();
        char r[16];
        std::snprintf(r, sizeof r, "R%05d", reader++ % 20000);
        const TBill bill = lendingBill(r);
        state.ResumeTiming();
        SaveBorrowBill(DMData->ADOConnection1, bill);
    }
}
BENCHMARK(BM_SaveLendingBill10)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_SaveReturnBill10(benchmark::State& state) {
    useProgramDir();
    int reader = 7;
    for (auto _ : state) {
        state.PauseTiming();
        char r[16];
        std::snprintf(r, sizeof r, "R%05d", reader++ % 20000);
        TBill bill = lendingBill(r);
        SaveBorrowBill(DMData->ADOConnection1, bill);
        for (TBillLine& line : bill.Lines) {
            line.State = CircWord::NewReturn;
            line.ExceedDay = 0;
            line.ReturnDate = BusinessDate;
        }
        state.ResumeTiming();
        SaveReturnBill(DMData->ADOConnection1, bill);
    }
}
BENCHMARK(BM_SaveReturnBill10)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The look-ups of one scanned code that is in the library.
void BM_CheckBorrowLookups(benchmark::State& state) {
    useProgramDir();
    int i = 0;
    for (auto _ : state) {
        TBorrowScan scan;
        scan.Code = bookCode(150001 + (i++ % 9000) * 5 % 45000);
        scan.Reader = "R00042";
        scan.LoanLimit = 100;
        TItemInfo item;
        benchmark::DoNotOptimize(CheckBorrow(DMData->ADOConnection1, TItemKind::Book, scan, item));
    }
}
BENCHMARK(BM_CheckBorrowLookups)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// A scan at the real desk: look-ups, the new line, the sort of the bill.
void BM_DeskScan(benchmark::State& state) {
    useProgramDir();
    TSeamScript seam;
    std::unique_ptr<TFrmBorrowBill> desk(new TFrmBorrowBill(Application));
    desk->Show();
    desk->EditRCode->SetText("R00042");
    desk->LoadReader();
    // The first scan pays for loading fonts and preparing the grid once.
    desk->EditBCode->SetText(bookCode(149999));
    desk->AddBorrowLine();
    ProcessEvents();
    int i = 0;
    for (auto _ : state) {
        desk->EditBCode->SetText(bookCode(150001 + (i++ % 9000) * 5 % 45000));
        desk->AddBorrowLine();
        state.PauseTiming();
        desk->AdoqData->Delete();
        desk->LoanCount = 0;
        state.ResumeTiming();
    }
    desk->AdoqData->Close();
}
BENCHMARK(BM_DeskScan)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
