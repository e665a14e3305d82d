// The exporters' fixture: a small list with Chinese text, a quote, a text
// beginning with "=", numbers, money, a date, a Boolean and an empty cell,
// described as a grid would describe it; and the readers that check the
// files with tools other than ours (python3's openpyxl, GBK decoding).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include <unistd.h>

#include "vq/VqMemTable.h"
#include "vq/export/VQExportSource.h"

inline std::unique_ptr<TVqMemTable> ListTable() {
    auto t = std::make_unique<TVqMemTable>(nullptr);
    t->FieldDefs().Add("BookName", ftString, 20);
    t->FieldDefs().Add("Code", ftString, 10);
    t->FieldDefs().Add("Note", ftString, 20);
    t->FieldDefs().Add("Price", ftFloat);
    t->FieldDefs().Add("Amount", ftCurrency);
    t->FieldDefs().Add("RegDate", ftDate);
    t->FieldDefs().Add("OnLoan", ftBoolean);
    t->Open();
    struct R {
        const char *name, *code, *note;
        double price;
        int64_t amountRaw;
        double date;
        bool loan;
    };
    const R rows[] = {{"红楼梦", "0012", "=1+1", 1234.5, 123400, 46000, true},
                      {"说\"文\"解字", "0013", "", 7.25, 5, 46001, false},
                      {"A&<b>", "", "a\"b", 0, 0, 0, false}};
    for (const R& r : rows) {
        t->Append();
        t->FieldByName("BookName")->SetAsString(r.name);
        if (*r.code) t->FieldByName("Code")->SetAsString(r.code);
        if (*r.note) t->FieldByName("Note")->SetAsString(r.note);
        if (r.price) t->FieldByName("Price")->SetAsFloat(r.price);
        if (r.amountRaw) t->FieldByName("Amount")->SetAsCurrency(Currency::FromRaw(r.amountRaw));
        if (r.date) t->FieldByName("RegDate")->SetAsDateTime(r.date);
        t->FieldByName("OnLoan")->SetAsBoolean(r.loan);
        t->Post();
    }
    return t;
}

// The grid's view of the table: Code hidden, the rest with Chinese titles.
inline TVQExportSource ListSource(TDataSet* t) {
    TVQExportSource s;
    s.DataSet = t;
    s.Columns = {{"书名", t->FieldByName("BookName"), 130},
                 {"备注", t->FieldByName("Note"), 60},
                 {"价格", t->FieldByName("Price"), 64},
                 {"金额", t->FieldByName("Amount"), 64},
                 {"登记日期", t->FieldByName("RegDate"), 80},
                 {"在借", t->FieldByName("OnLoan"), 40},
                 {"无字段", nullptr, 50}};
    return s;
}

inline std::string OutputDir(const std::string& kind) {
    const std::string dir = std::string(BUILD_DIR) + "/test-output/" + kind;
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs a python3 script (written to a file beside the output) and returns
// what it printed.
inline std::string RunPython(const std::string& script, const std::string& arg) {
    // One script file per call: ctest runs the tests of this program side
    // by side.
    static int calls = 0;
    const std::string path =
        OutputDir("exports") + "/.check-" + std::to_string(getpid()) + "-" + std::to_string(++calls) + ".py";
    {
        std::ofstream f(path);
        f << script;
    }
    const std::string cmd = "/usr/bin/python3 " + path + " '" + arg + "' 2>&1";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    std::remove(path.c_str());
    return out;
}
