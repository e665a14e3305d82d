// The import wizard on 10,000 spreadsheet rows of books (eight mapped
// columns, into an empty catalogue): the whole of it (the workbook read
// into the import table, then every row looked up by its code and
// inserted), the import alone, and beside them the same rows written by
// SQLite itself with one prepared look-up and one prepared insert reused
// for every row, in one transaction: the floor any import stands on.
#include <benchmark/benchmark.h>

#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "ADODB.h"
#include "BenchDatabase.h"
#include "SysUtils.h"
#include "app/uImportData.h"
#include "vq/VqMemTable.h"
#include "vq/data/VqTableCopy.h"

namespace {

constexpr int kRows = 10000;
const char* const kHeaders[] = {"条码", "书名", "作者", "出版社", "ISBN", "分类号", "定价", "登记日期"};
const char* const kColumns[] = {"Code", "Name", "Writer", "Publisher", "BookIsbn", "SortCode", "BookPrice", "RegDate"};
constexpr int kWidth = 8;

// The workbook, written once by openpyxl.
const std::string& workbook() {
    static const std::string path = [] {
        const std::string file = GetTempFileName() + "_import10000.xlsx";
        const std::string py = file + ".py";
        std::ofstream(py) << "import openpyxl, datetime\n"
                             "wb = openpyxl.Workbook(write_only=True); ws = wb.create_sheet()\n"
                             "ws.append(['条码', '书名', '作者', '出版社', 'ISBN', '分类号', '定价', '登记日期'])\n"
                             "for i in range(10000):\n"
                             "    ws.append(['B%06d' % i, '图书名称%d' % i, '作者%d' % (i % 500), '出版社%d' % (i % 300),\n"
                             "               '7-5053-%d' % i, 'TP%d' % (i % 90), 10 + (i % 90) + 0.5,\n"
                             "               datetime.date(2020, 1, 1) + datetime.timedelta(days=i % 1500)])\n"
                             "wb.save('" +
                                 file + "')\n";
        if (std::system(("/usr/bin/python3 " + py).c_str()) != 0) std::abort();
        return file;
    }();
    return path;
}

struct Library {
    std::string file;
    TADOConnection c;
    Library() {
        file = GetTempFileName() + ".dat";
        CreateDatabaseFile(file, ShippedDatabaseScript());
        c.SetConnectionString(ConnectionStringFor(file));
        c.Open();
    }
    ~Library() {
        c.Close();
        DeleteFile(file);
    }
};

void readSheet(TVqMemTable& source) { ExcelToMemTable(workbook(), 1, 1, kWidth, kRows, &source); }

void mapping(TVqMemTable& m) {
    for (const char* f : {"FieldName", "CFieldName", "PreValue", "SFieldName", "DefaultValue"})
        m.FieldDefs().Add(f, ftString, 30, false);
    m.CreateTable();
    m.Open();
    for (int i = 0; i < kWidth; ++i) {
        m.Append();
        m.FieldByName("FieldName")->SetAsString(kColumns[i]);
        m.FieldByName("SFieldName")->SetAsString(kHeaders[i]);
        m.Post();
    }
}

void BM_ImportWizardSheet10000(benchmark::State& state) {
    Library lib;
    TVqMemTable map(nullptr);
    mapping(map);
    for (auto _ : state) {
        TVqMemTable source(nullptr);
        readSheet(source);
        const TImportResult r = UpsertByKey(&lib.c, "BookInfo", "Code", &source, &map, false);
        if (r.Inserted != kRows) state.SkipWithError("not every row was imported");
        state.PauseTiming();
        lib.c.Execute("delete from Bookinfo");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ImportWizardSheet10000)->Unit(benchmark::kMillisecond);

void BM_ImportRows10000(benchmark::State& state) {
    Library lib;
    TVqMemTable map(nullptr);
    mapping(map);
    TVqMemTable source(nullptr);
    readSheet(source);
    for (auto _ : state) {
        const TImportResult r = UpsertByKey(&lib.c, "BookInfo", "Code", &source, &map, false);
        if (r.Inserted != kRows) state.SkipWithError("not every row was imported");
        state.PauseTiming();
        lib.c.Execute("delete from Bookinfo");
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_ImportRows10000)->Unit(benchmark::kMillisecond);

// The same rows as text, bound to a look-up and an insert prepared once.
void BM_PlainPreparedUpserts10000(benchmark::State& state) {
    Library lib;
    lib.c.Close();
    std::vector<std::vector<std::string>> rows;
    {
        TVqMemTable source(nullptr);
        readSheet(source);
        for (source.First(); !source.Eof(); source.Next()) {
            std::vector<std::string> row;
            for (const char* h : kHeaders) row.push_back(source.FieldByName(h)->AsString());
            // The day serial as the date text the column holds.
            row[7] = FormatDateTime("yyyy-mm-dd", TDateTime(StrToInt(row[7])));
            rows.push_back(row);
        }
    }
    sqlite3* db = nullptr;
    sqlite3_open(lib.file.c_str(), &db);
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* find = nullptr;
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "SELECT rowid FROM Bookinfo WHERE Code=?", -1, &find, nullptr);
        sqlite3_prepare_v2(db,
                           "INSERT INTO Bookinfo (Code, Name, Writer, Publisher, BookIsbn, SortCode, BookPrice, RegDate) "
                           "VALUES (?,?,?,?,?,?,?,?)",
                           -1, &insert, nullptr);
        for (const auto& row : rows) {
            sqlite3_bind_text(find, 1, row[0].c_str(), int(row[0].size()), SQLITE_STATIC);
            const bool found = sqlite3_step(find) == SQLITE_ROW;
            sqlite3_reset(find);
            if (found) continue;
            for (int i = 0; i < kWidth; ++i) {
                if (i == 6)
                    sqlite3_bind_double(insert, i + 1, std::stod(row[i]));
                else
                    sqlite3_bind_text(insert, i + 1, row[i].c_str(), int(row[i].size()), SQLITE_STATIC);
            }
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(find);
        sqlite3_finalize(insert);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        state.PauseTiming();
        sqlite3_exec(db, "DELETE FROM Bookinfo", nullptr, nullptr, nullptr);
        state.ResumeTiming();
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_PlainPreparedUpserts10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
