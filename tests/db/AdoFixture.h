// A fresh database file made from the shipped schema for each test, with
// an open connection on it.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include "ADODB.h"
#include "SysUtils.h"

inline const char* const kPassword = "mopu284617";

inline std::string connectionString(const std::string& path, const std::string& password = kPassword) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + path +
           ";Mode=ReadWrite;Extended Properties=\"\";Jet OLEDB:System database=\"\";"
           "Jet OLEDB:Registry Path=\"\";Jet OLEDB:Database Password=" +
           password;
}

inline std::string schemaScript() {
    std::string s;
    for (const char* f : {"/db/schema.sql", "/db/views.sql", "/db/rows.sql"})
        s += ReadFileBytes(std::string(SOURCE_DIR) + f) + "\n";
    return s;
}

template <class F>
inline std::string errorOf(F f) {
    try {
        f();
    } catch (const Exception& e) {
        return e.Message;
    }
    return "";
}

class AdoTest : public ::testing::Test {
protected:
    std::string path;
    TADOConnection conn;
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/') c = '_';
        path = std::string(BUILD_DIR) + "/adotest-" + std::to_string(getpid()) + "-" + name + ".dat";
        DeleteFile(path);
        CreateDatabaseFile(path, schemaScript());
        conn.SetLoginPrompt(false);
        conn.SetConnectionString(connectionString(path));
        conn.Open();
    }
    void TearDown() override {
        conn.Close();
        DeleteFile(path);
    }
    // One value by plain SQL, as text ("<null>" for null).
    std::string scalar(const std::string& sql) {
        TADOQuery q;
        q.SetConnection(&conn);
        q.SQL()->SetText(sql);
        q.Open();
        if (q.IsEmpty()) return "<none>";
        return q.Fields()[0]->IsNull() ? "<null>" : q.Fields()[0]->AsString();
    }
};
