// A fresh in-memory library database for the translator and schema tests,
// made from the same .sql files the build ships, driven through the raw
// SQLite API so these tests stand apart from the data-set layer.
#pragma once

#include <sqlite3.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

class TestDb {
public:
    TestDb() {
        sqlite3_open(":memory:", &db_);
        for (const char* f : {"/db/schema.sql", "/db/views.sql", "/db/rows.sql"})
            exec(readFile(std::string(SOURCE_DIR) + f));
    }
    ~TestDb() { sqlite3_close(db_); }
    TestDb(const TestDb&) = delete;
    TestDb& operator=(const TestDb&) = delete;

    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        if (!in) throw std::runtime_error("cannot read " + path);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Runs one or more statements; throws with SQLite's message on failure.
    void exec(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::string msg = err ? err : "?";
            sqlite3_free(err);
            throw std::runtime_error(msg + " in: " + sql);
        }
    }

    // Rows of one statement, each a "|"-joined line (NULL shows as "<null>").
    std::vector<std::string> rows(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string(sqlite3_errmsg(db_)) + " in: " + sql);
        std::vector<std::string> out;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            std::string line;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                if (i) line += "|";
                const unsigned char* t = sqlite3_column_text(st, i);
                line += t ? reinterpret_cast<const char*>(t) : "<null>";
            }
            out.push_back(line);
        }
        const std::string msg = sqlite3_errmsg(db_);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) throw std::runtime_error(msg + " in: " + sql);
        return out;
    }

    std::string one(const std::string& sql) {
        const auto r = rows(sql);
        return r.empty() ? std::string("<none>") : r.front();
    }

private:
    sqlite3* db_ = nullptr;
};
