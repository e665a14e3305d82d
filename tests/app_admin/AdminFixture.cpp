// The per-test program folder; see AdminFixture.h.
#include "AdminFixture.h"

#include "ADODB.h"
#include "SysUtils.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"

void AdminFixture::SetUp() {
    folder_ = std::make_unique<TestProgramFolder>("appadmin");
    dir_ = folder_->dir;
    dbFile_ = folder_->dbFile;
    DatabasePath.clear();
    OperatorCode = "Admin";
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    dm.reset(new TDMData(nullptr));
    ASSERT_TRUE(dm->Opened());
}

void AdminFixture::TearDown() {
    ProcessEvents();
    dm.reset();
    DMData = nullptr;
    folder_.reset();
}

void AdminFixture::Exec(const std::string& sql) { folder_->Exec(sql); }

std::vector<std::string> AdminFixture::Rows(const std::string& sql) {
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

std::string AdminFixture::Scalar(const std::string& sql) {
    auto rows = Rows(sql);
    return rows.empty() ? std::string() : rows.front().substr(0, rows.front().find('|'));
}
