// The MARC import of 10,000 records: the parse alone, the parse with the
// database writes (one transaction, as the import runs), and the raw side
// of the comparison: the same parse with one prepared insert on SQLite
// itself, in one transaction. Records per second.
#include <benchmark/benchmark.h>

// The raw side calls the engine itself.
#include <sqlite3.h>

#include <cstdio>
#include <string>

#include "ADODB.h"
#include "Gbk.h"
#include "SysUtils.h"
#include "BenchDatabase.h"
#include "app/Marc.h"
#include "app/uDMData.h"
#include "app/uMarcIn.h"

namespace {

constexpr int kRecords = 10000;

std::string record(int i) {
    std::string directory, data;
    auto field = [&](const char* tag, const std::string& body) {
        const std::string bytes = Utf8ToGbk(body) + "\x1E";
        char entry[16];
        std::snprintf(entry, sizeof entry, "%s%04zu%05zu", tag, bytes.size(), data.size());
        directory += entry;
        data += bytes;
    };
    const std::string n = std::to_string(i);
    field("010", "\x1F"
                 "a7-5053-" +
                     n +
                     "\x1F"
                     "dCNY" +
                     std::to_string(10 + i % 90) + ".50");
    field("101", "\x1F"
                 "achi");
    field("200", "\x1F"
                 "a图书名称" +
                     n +
                     "\x1F"
                     "f作者" +
                     std::to_string(i % 500) +
                     "\x1F"
                     "g译者");
    field("210", "\x1F"
                 "c出版社" +
                     std::to_string(i % 300) +
                     "\x1F"
                     "d2011");
    field("215", "\x1F"
                 "a" +
                     std::to_string(100 + i % 700) +
                     "页\x1F"
                     "d26cm");
    field("330", "\x1F"
                 "a内容提要：本书介绍了第" +
                     n + "号主题的基本概念与方法。");
    field("690", "\x1F"
                 "aTP" +
                     std::to_string(i % 90) +
                     "\x1F"
                     "v4");
    return "00000nam  2200000   450 " + directory + "\x1E" + data + "\x1D";
}

const std::string& file() {
    static const std::string bytes = [] {
        std::string all;
        for (int i = 0; i < kRecords; ++i) all += record(i) + "\r\n";
        return all;
    }();
    return bytes;
}

void BM_MarcParse10000(benchmark::State& state) {
    for (auto _ : state) {
        int ok = 0;
        for (const TMarcChunk& c : SplitMarcRecords(file())) {
            TMarcBook book;
            ok += ParseMarcRecord(c.Bytes, book) == TMarcParse::Ok;
        }
        benchmark::DoNotOptimize(ok);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_MarcParse10000)->Unit(benchmark::kMillisecond);

void BM_MarcImport10000(benchmark::State& state) {
    const std::string db = GetTempFileName() + ".dat";
    CreateDatabaseFile(db, ShippedDatabaseScript());
    TADOConnection c;
    c.SetConnectionString(ConnectionStringFor(db));
    c.Open();
    for (auto _ : state) {
        const TMarcImportResult r = ImportMarc(&c, file(), EncodeDate(2026, 1, 1));
        benchmark::DoNotOptimize(r.Imported);
        state.PauseTiming();
        c.Execute("delete from BookinfoPre");
        state.ResumeTiming();
    }
    c.Close();
    DeleteFile(db);
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_MarcImport10000)->Unit(benchmark::kMillisecond);

void BM_MarcRawInsert10000(benchmark::State& state) {
    static const char* const columns[] = {"BookIsbn", "Grade",    "language", "Name",   "YName",
                                          "Writer",   "Translator", "Publisher", "PubDate", "BookPage",
                                          "Size",     "Attach",   "Remarks1", "SortCode", "PubNum"};
    const std::string db = GetTempFileName() + ".dat";
    CreateDatabaseFile(db, ShippedDatabaseScript());
    sqlite3* raw = nullptr;
    sqlite3_open_v2(db.c_str(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::string sql = "INSERT INTO BookinfoPre (RegDate, BookPrice", marks = "?, ?";
    for (const char* c : columns) {
        sql += std::string(", ") + c;
        marks += ", ?";
    }
    sql += ") VALUES (" + marks + ")";
    for (auto _ : state) {
        sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(raw, sql.c_str(), -1, &st, nullptr);
        int ok = 0;
        for (const TMarcChunk& c : SplitMarcRecords(file())) {
            TMarcBook book;
            if (ParseMarcRecord(c.Bytes, book) != TMarcParse::Ok) continue;
            sqlite3_bind_text(st, 1, "2026-01-01", -1, SQLITE_STATIC);
            if (book.Price)
                sqlite3_bind_double(st, 2, double(book.Price->Raw()) / 10000);
            else
                sqlite3_bind_null(st, 2);
            int i = 3;
            for (const char* column : columns) {
                const std::string v = book.Value(column);
                if (v.empty())
                    sqlite3_bind_null(st, i++);
                else
                    sqlite3_bind_text(st, i++, v.c_str(), int(v.size()), SQLITE_TRANSIENT);
            }
            ok += sqlite3_step(st) == SQLITE_DONE;
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
        benchmark::DoNotOptimize(ok);
        state.PauseTiming();
        sqlite3_exec(raw, "DELETE FROM BookinfoPre", nullptr, nullptr, nullptr);
        state.ResumeTiming();
    }
    sqlite3_close(raw);
    DeleteFile(db);
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_MarcRawInsert10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
