// The per-test program folder; see CoreFixture.h.
#include "CoreFixture.h"

#include "ADODB.h"
#include "SysUtils.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"

#include <filesystem>
#include <memory>

void CoreFixture::SetUp()
{
    namespace fs = std::filesystem;
    static int serial = 0;
    dir_ = (fs::temp_directory_path() /
            ("appcore-" + std::to_string(::getpid()) + "-" + std::to_string(++serial)))
               .string() +
           "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_ + "Data");
    dbFile_ = dir_ + "Data/ombry.dat";
    std::string script;
    for (const char* f : {"/db/schema.sql", "/db/views.sql", "/db/rows.sql"})
        script += ReadFileBytes(std::string(SOURCE_DIR) + f) + "\n";
    CreateDatabaseFile(dbFile_, script);
    WriteIni("[Server]\r\nPath=\r\n");
    SetExeDirForTesting(dir_);
    DatabasePath.clear();
    OperatorCode.clear();
    OperatorName.clear();
}

void CoreFixture::TearDown()
{
    SetExeDirForTesting("");
    std::filesystem::remove_all(dir_);
}

void CoreFixture::WriteIni(const std::string& text)
{
    AtomicWriteFile(dir_ + "ConSQL.ini", text);
}

void CoreFixture::Exec(const std::string& sql)
{
    TADOConnection c;
    c.SetConnectionString(ConnectionStringFor(dbFile_));
    c.Open();
    c.Execute(sql);
}

std::string CoreFixture::Scalar(const std::string& sql)
{
    TADOConnection c;
    c.SetConnectionString(ConnectionStringFor(dbFile_));
    c.Open();
    TADOQuery q;
    q.SetConnection(&c);
    q.SQL()->SetText(sql);
    q.Open();
    return q.IsEmpty() ? std::string() : q.Fields().Fields(0)->AsString();
}
