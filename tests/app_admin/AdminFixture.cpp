// The per-test program folder; see AdminFixture.h.
#include "AdminFixture.h"

#include "ADODB.h"
#include "SysUtils.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"

#include <filesystem>
#include <unistd.h>

void AdminFixture::SetUp()
{
    namespace fs = std::filesystem;
    static int serial = 0;
    dir_ = (fs::temp_directory_path() / ("appadmin-" + std::to_string(::getpid()) + "-" + std::to_string(++serial)))
               .string() +
           "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_ + "Data");
    dbFile_ = dir_ + "Data/ombry.dat";
    std::string sql;
    for (const char* f : {"/db/schema.sql", "/db/views.sql", "/db/rows.sql"})
        sql += ReadFileBytes(std::string(SOURCE_DIR) + f) + "\n";
    CreateDatabaseFile(dbFile_, sql);
    AtomicWriteFile(dir_ + "ConSQL.ini", "[Server]\r\nPath=\r\n");
    SetExeDirForTesting(dir_);
    DatabasePath.clear();
    OperatorCode = "Admin";
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    dm.reset(new TDMData(nullptr));
    ASSERT_TRUE(dm->Opened());
}

void AdminFixture::TearDown()
{
    ProcessEvents();
    dm.reset();
    DMData = nullptr;
    SetExeDirForTesting("");
    std::filesystem::remove_all(dir_);
}

void AdminFixture::Exec(const std::string& sql)
{
    TADOConnection c;
    c.SetConnectionString(ConnectionStringFor(dbFile_));
    c.Open();
    c.Execute(sql);
}

std::vector<std::string> AdminFixture::Rows(const std::string& sql)
{
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

std::string AdminFixture::Scalar(const std::string& sql)
{
    auto rows = Rows(sql);
    return rows.empty() ? std::string() : rows.front().substr(0, rows.front().find('|'));
}
