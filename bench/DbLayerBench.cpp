// The database layer against SQLite used directly, on a generated library of
// 200,000 books, 20,000 readers and 1,000,000 loans (made once in /tmp and
// reused): walking a 100,000-row query, a lending save of ten loans in one
// transaction, and a top-20 code-prefix lookup.
#include <benchmark/benchmark.h>

// The raw side of each comparison calls the engine itself.
#include <sqlite3.h>

#include <cstdio>
#include <random>
#include <string>

#include "ADODB.h"
#include "JetSql.h"
#include "SysUtils.h"
#include "BenchDatabase.h"

namespace {

const char* const kDbPath = "/tmp/quillory-dblayer-bench.dat";
const char* const kPassword = "mopu284617";

void check(int rc, sqlite3* db) {
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

void generate() {
    if (FileExists(kDbPath)) return;
    std::string tmp = std::string(kDbPath) + ".tmp";
    DeleteFile(tmp);
    CreateDatabaseFile(tmp, ShippedDatabaseScript());
    sqlite3* db = nullptr;
    check(sqlite3_open(tmp.c_str(), &db), db);
    check(sqlite3_exec(db, "PRAGMA synchronous=OFF; BEGIN", nullptr, nullptr, nullptr), db);
    std::mt19937 rng(42);
    char buf[64];
    {
        sqlite3_stmt* st;
        check(sqlite3_prepare_v2(
                  db,
                  "INSERT INTO Bookinfo(Code,Name,Writer,Publisher,SortCode,BookPrice,RegDate,IsOut,Times) "
                  "VALUES(?,?,?,?,?,?,?,?,0)",
                  -1, &st, nullptr),
              db);
        for (int i = 0; i < 200000; ++i) {
            std::snprintf(buf, sizeof buf, "B%06d", i);
            sqlite3_bind_text(st, 1, buf, -1, SQLITE_TRANSIENT);
            std::string name = "图书名称" + std::to_string(i);
            sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
            std::string writer = "作者" + std::to_string(i % 5000);
            sqlite3_bind_text(st, 3, writer.c_str(), -1, SQLITE_TRANSIENT);
            std::string pub = "出版社" + std::to_string(i % 300);
            sqlite3_bind_text(st, 4, pub.c_str(), -1, SQLITE_TRANSIENT);
            std::string sort = "TP" + std::to_string(i % 90);
            sqlite3_bind_text(st, 5, sort.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(st, 6, 10 + (i % 900) / 10.0);
            std::snprintf(buf, sizeof buf, "20%02d-%02d-%02d", 10 + i % 14, 1 + i % 12, 1 + i % 28);
            sqlite3_bind_text(st, 7, buf, -1, SQLITE_TRANSIENT);
            if (i % 10 == 0)
                sqlite3_bind_text(st, 8, "外借", -1, SQLITE_STATIC);
            else
                sqlite3_bind_null(st, 8);
            check(sqlite3_step(st), db);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
    }
    {
        sqlite3_stmt* st;
        check(sqlite3_prepare_v2(db, "INSERT INTO Readerinfo(Code,Name,SortCode,Department) VALUES(?,?,?,?)", -1, &st,
                                 nullptr),
              db);
        for (int i = 0; i < 20000; ++i) {
            std::snprintf(buf, sizeof buf, "R%05d", i);
            sqlite3_bind_text(st, 1, buf, -1, SQLITE_TRANSIENT);
            std::string name = "读者" + std::to_string(i);
            sqlite3_bind_text(st, 2, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 3, "学生", -1, SQLITE_STATIC);
            std::string dept = "系" + std::to_string(i % 40);
            sqlite3_bind_text(st, 4, dept.c_str(), -1, SQLITE_TRANSIENT);
            check(sqlite3_step(st), db);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
    }
    {
        sqlite3_stmt* st;
        check(sqlite3_prepare_v2(
                  db,
                  "INSERT INTO Borrowinfo(Code,Rcode,State,BorrowDate,ReturnDate,ExceedDay,ExceedFund,IsPay,Operator) "
                  "VALUES(?,?,?,?,?,?,?,?,?)",
                  -1, &st, nullptr),
              db);
        for (int i = 0; i < 1000000; ++i) {
            std::snprintf(buf, sizeof buf, "B%06d", int(rng() % 200000));
            sqlite3_bind_text(st, 1, buf, -1, SQLITE_TRANSIENT);
            std::snprintf(buf, sizeof buf, "R%05d", int(rng() % 20000));
            sqlite3_bind_text(st, 2, buf, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 3, i % 20 == 0 ? "未还" : "已还", -1, SQLITE_STATIC);
            std::snprintf(buf, sizeof buf, "20%02d-%02d-%02d", 10 + i % 14, 1 + i % 12, 1 + i % 28);
            sqlite3_bind_text(st, 4, buf, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st, 5, buf, -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(st, 6, i % 7);
            sqlite3_bind_double(st, 7, (i % 7) * 0.1);
            sqlite3_bind_int(st, 8, i % 2);
            sqlite3_bind_text(st, 9, "张三", -1, SQLITE_STATIC);
            check(sqlite3_step(st), db);
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
    }
    check(sqlite3_exec(db, "COMMIT; ANALYZE", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
    RenameFile(tmp, kDbPath);
}

std::string connectionString() {
    return std::string("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=") + kDbPath +
           ";Mode=ReadWrite;Jet OLEDB:Database Password=" + kPassword;
}

TADOConnection& connection() {
    static TADOConnection* c = [] {
        generate();
        auto* conn = new TADOConnection;
        conn->SetConnectionString(connectionString());
        conn->Open();
        return conn;
    }();
    return *c;
}

sqlite3* rawDb() {
    static sqlite3* db = [] {
        connection();
        sqlite3* d = nullptr;
        // Opened as the layer opens its connections, so only the layer's own work differs.
        sqlite3_open_v2(kDbPath, &d, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        sqlite3_busy_timeout(d, 5000);
        return d;
    }();
    return db;
}

const char* const kWalkSql = "select * from Borrowinfo where Id <= 100000";

// Every column of every row into a value the program could keep.
void BM_WalkRaw(benchmark::State& state) {
    sqlite3* db = rawDb();
    for (auto _ : state) {
        sqlite3_stmt* st;
        std::string sql = JetToSqlite(kWalkSql);
        sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr);
        int n = sqlite3_column_count(st);
        size_t rows = 0, bytes = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int i = 0; i < n; ++i) {
                switch (sqlite3_column_type(st, i)) {
                case SQLITE_INTEGER: bytes += size_t(sqlite3_column_int64(st, i) & 1); break;
                case SQLITE_FLOAT: bytes += size_t(sqlite3_column_double(st, i) > 0); break;
                case SQLITE_TEXT: {
                    std::string s(reinterpret_cast<const char*>(sqlite3_column_text(st, i)),
                                  size_t(sqlite3_column_bytes(st, i)));
                    bytes += s.size();
                    break;
                }
                default: break;
                }
            }
            ++rows;
        }
        sqlite3_finalize(st);
        benchmark::DoNotOptimize(bytes);
        state.counters["rows"] = double(rows);
    }
}
BENCHMARK(BM_WalkRaw)->Unit(benchmark::kMillisecond);

void BM_WalkLayer(benchmark::State& state) {
    TADOConnection& conn = connection();
    for (auto _ : state) {
        TADOQuery q;
        q.SetConnection(&conn);
        q.SQL()->SetText(kWalkSql);
        q.Open();
        size_t rows = 0, bytes = 0;
        int n = q.FieldCount();
        for (q.First(); !q.Eof(); q.Next()) {
            for (int i = 0; i < n; ++i) {
                Variant v = q.Fields()[i]->Value();
                bytes += v.Type() == varString ? 1 : 0;
            }
            ++rows;
        }
        benchmark::DoNotOptimize(bytes);
        state.counters["rows"] = double(rows);
    }
}
BENCHMARK(BM_WalkLayer)->Unit(benchmark::kMillisecond);

// The statements of one lending bill of ten loans, as the desk writes them.
std::vector<std::string> lendingStatements(int round) {
    std::vector<std::string> out;
    char code[16], reader[16];
    std::snprintf(reader, sizeof reader, "R%05d", round % 20000);
    for (int k = 0; k < 10; ++k) {
        std::snprintf(code, sizeof code, "B%06d", (round * 10 + k) % 200000);
        out.push_back(std::string("insert into Borrowinfo(Code,Rcode,State,BorrowDate,ReturnDate,Operator) values('") +
                      code + "','" + reader + "','未还','2024-05-01','2024-05-31','张三')");
        out.push_back(std::string("update Bookinfo set "
                                  "isout='外借',times=times+1,Borrowman='读者',BorrowDate='2024-05-01' where Code='") +
                      code + "'");
    }
    out.push_back(
        std::string("update Readerinfo set BookQty=BookQty+10,Times=Times+10,BorrowDate=#2024-05-01# where Code='") +
        reader + "'");
    return out;
}

void BM_LendingSaveRaw(benchmark::State& state) {
    sqlite3* db = rawDb();
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> sql;
        for (const std::string& s : lendingStatements(round++)) sql.push_back(JetToSqlite(s));
        state.ResumeTiming();
        check(sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), db);
        for (const std::string& s : sql) {
            sqlite3_stmt* st;
            check(sqlite3_prepare_v2(db, s.c_str(), -1, &st, nullptr), db);
            check(sqlite3_step(st), db);
            sqlite3_finalize(st);
        }
        check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    }
}
BENCHMARK(BM_LendingSaveRaw)->Unit(benchmark::kMillisecond);

void BM_LendingSaveLayer(benchmark::State& state) {
    TADOConnection& conn = connection();
    TADOCommand cmd;
    cmd.SetConnection(&conn);
    int round = 100000;
    for (auto _ : state) {
        state.PauseTiming();
        auto statements = lendingStatements(round++);
        state.ResumeTiming();
        conn.BeginTrans();
        for (const std::string& s : statements) {
            cmd.SetCommandText(s);
            cmd.Execute();
        }
        conn.CommitTrans();
    }
}
BENCHMARK(BM_LendingSaveLayer)->Unit(benchmark::kMillisecond);

// The same bill as the desk now writes it: each statement's text fixed,
// its codes, dates and names bound.
void BM_LendingSaveLayerBound(benchmark::State& state) {
    TADOConnection& conn = connection();
    int round = 200000;
    const TDateTime borrowed = EncodeDate(2024, 5, 1), due = EncodeDate(2024, 5, 31);
    for (auto _ : state) {
        state.PauseTiming();
        char code[16], reader[16];
        std::snprintf(reader, sizeof reader, "R%05d", round % 20000);
        std::vector<std::string> codes;
        for (int k = 0; k < 10; ++k) {
            std::snprintf(code, sizeof code, "B%06d", (round * 10 + k) % 200000);
            codes.push_back(code);
        }
        ++round;
        state.ResumeTiming();
        TTransaction tx(&conn);
        for (const std::string& k : codes) {
            conn.Execute("insert into Borrowinfo(Code,Rcode,State,BorrowDate,ReturnDate,Operator) "
                         "values(?,?,'未还',?,?,?)",
                         {k, reader, borrowed, due, "张三"});
            conn.Execute("update Bookinfo set isout='外借',times=times+1,Borrowman=?,BorrowDate=? where Code=?",
                         {"读者", borrowed, k});
        }
        conn.Execute("update Readerinfo set BookQty=BookQty+10,Times=Times+10,BorrowDate=? where Code=?",
                     {borrowed, reader});
        tx.Commit();
    }
}
BENCHMARK(BM_LendingSaveLayerBound)->Unit(benchmark::kMillisecond);

// The catalogue lookup dialog's query (top 20 by code prefix, with the due
// date of an open loan).
void BM_PrefixTop20Layer(benchmark::State& state) {
    TADOConnection& conn = connection();
    int k = 0;
    for (auto _ : state) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "B%03d", (k++ * 37) % 200);
        TADOQuery q;
        q.SetConnection(&conn);
        q.SQL()->SetText(
            std::string("select top 20 a.Code,a.Name,a.Sortcode,a.isout,a.islimit,b.ReturnDate from Bookinfo a "
                        "left join (select Code,ReturnDate from Borrowinfo where State='未还') b on a.Code=b.Code "
                        "where a.code like '") +
            prefix + "%' order by a.code");
        q.Open();
        benchmark::DoNotOptimize(q.RecordCount());
    }
}
BENCHMARK(BM_PrefixTop20Layer)->Unit(benchmark::kMillisecond);

void BM_PrefixTop20SimpleLayer(benchmark::State& state) {
    TADOConnection& conn = connection();
    int k = 0;
    for (auto _ : state) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "B%03d", (k++ * 37) % 200);
        TADOQuery q;
        q.SetConnection(&conn);
        q.SQL()->SetText(std::string("select top 20 * from Bookinfo where Code like '") + prefix + "%' order by Code");
        q.Open();
        benchmark::DoNotOptimize(q.RecordCount());
    }
}
BENCHMARK(BM_PrefixTop20SimpleLayer)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
