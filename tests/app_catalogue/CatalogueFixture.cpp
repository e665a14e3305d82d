// The per-test program folder; see CatalogueFixture.h.
#include "CatalogueFixture.h"

#include "ADODB.h"
#include "SysUtils.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"

void CatalogueFixture::SetUp() {
    folder_ = std::make_unique<TestProgramFolder>("appcatalogue");
    dir_ = folder_->dir;
    dbFile_ = folder_->dbFile;
    DatabasePath.clear();
    OperatorCode = "Admin";
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    dm.reset(new TDMData(nullptr));
    ASSERT_TRUE(dm->Opened());
}

void CatalogueFixture::TearDown() {
    ProcessEvents();
    dm.reset();
    DMData = nullptr;
    folder_.reset();
}

void CatalogueFixture::Exec(const std::string& sql) { folder_->Exec(sql); }

std::vector<std::string> CatalogueFixture::Rows(const std::string& sql) {
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

std::string CatalogueFixture::Scalar(const std::string& sql) {
    auto rows = Rows(sql);
    return rows.empty() ? std::string() : rows.front().substr(0, rows.front().find('|'));
}
