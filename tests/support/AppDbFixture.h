// A program folder of its own for each test of the application's windows:
// a fresh database made from db/*.sql under Data/, a "ConSQL.ini" with an
// empty Path, the executable's folder pointed at it, the data module open
// and the dialog seam scripted (anything unexpected fails the test). Header
// only, like ProgramFolder.h: each test folder is a program of its own.
#pragma once

#include "TestKit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ADODB.h"
#include "SysUtils.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "support/ProgramFolder.h"

class AppDbFixture : public ::testing::Test {
protected:
    // `tag` names the program folder (see TestProgramFolder).
    explicit AppDbFixture(std::string tag) : tag_(std::move(tag)) {}

    void SetUp() override {
        folder_ = std::make_unique<TestProgramFolder>(tag_);
        dir_ = folder_->dir;
        dbFile_ = folder_->dbFile;
        DatabasePath.clear();
        OperatorCode = "Admin";
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        dm.reset(new TDMData(nullptr));
        ASSERT_TRUE(dm->Opened());
    }

    void TearDown() override {
        ProcessEvents();
        dm.reset();
        DMData = nullptr;
        folder_.reset();
    }

    // Runs statements on the test database through a connection of its own.
    void Exec(const std::string& sql) { folder_->Exec(sql); }

    // Every row of a query, columns joined by "|", rows in the query's order.
    std::vector<std::string> Rows(const std::string& sql) {
        TADOConnection c;
        c.SetConnectionString(ConnectionStringFor(dbFile_));
        c.Open();
        TADOQuery q;
        q.SetConnection(&c);
        q.SQL()->SetText(sql);
        q.Open();
        std::vector<std::string> rows;
        for (q.First(); !q.Eof(); q.Next()) {
            std::string row;
            for (int i = 0; i < q.FieldCount(); ++i) row += (i ? "|" : "") + q.Fields().Fields(i)->AsString();
            rows.push_back(row);
        }
        return rows;
    }

    std::string Scalar(const std::string& sql) {
        auto rows = Rows(sql);
        return rows.empty() ? std::string() : rows.front().substr(0, rows.front().find('|'));
    }

    TSeamScript script;
    std::unique_ptr<TDMData> dm;
    std::unique_ptr<TestProgramFolder> folder_;
    std::string dir_;    // ends with "/"
    std::string dbFile_; // dir_ + "Data/ombry.dat"

private:
    std::string tag_;
};
