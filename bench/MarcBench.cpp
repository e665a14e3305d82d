// The MARC import of 10,000 records: the parse alone, and the parse with
// the database writes (one transaction, as the import runs), in records
// per second.
#include <benchmark/benchmark.h>

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

} // namespace

BENCHMARK_MAIN();
