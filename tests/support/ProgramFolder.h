// A throw-away program folder for the tests of the application's windows:
// Data/ombry.dat made from the shipped schema, views and rows (and a test's
// own rows after them), a "ConSQL.ini" with an empty Path, and the
// executable's folder pointed at it, so the program finds them as it would
// beside itself. Header only: each test folder is a program of its own.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

#include "ADODB.h"
#include "SysUtils.h"
#include "app/uDMData.h"

// The statements of the shipped database, in the order the build runs them.
inline std::string ShippedDatabaseScript() {
    std::string script;
    for (const char* f : {"/db/schema.sql", "/db/views.sql", "/db/rows.sql"})
        script += ReadFileBytes(std::string(SOURCE_DIR) + f) + "\n";
    return script;
}

class TestProgramFolder {
public:
    // `tag` names the folder (with the process id and a serial, so tests in
    // parallel processes never share one); `extraSql` runs after the
    // shipped rows.
    explicit TestProgramFolder(const std::string& tag, const std::string& extraSql = "") {
        namespace fs = std::filesystem;
        static int serial = 0;
        dir = (fs::temp_directory_path() / (tag + "-" + std::to_string(::getpid()) + "-" + std::to_string(++serial)))
                  .string() +
              "/";
        fs::remove_all(dir);
        fs::create_directories(dir + "Data");
        dbFile = dir + "Data/ombry.dat";
        CreateDatabaseFile(dbFile, ShippedDatabaseScript() + extraSql);
        AtomicWriteFile(dir + "ConSQL.ini", "[Server]\r\nPath=\r\n");
        SetExeDirForTesting(dir);
    }
    ~TestProgramFolder() {
        SetExeDirForTesting("");
        std::filesystem::remove_all(dir);
    }
    TestProgramFolder(const TestProgramFolder&) = delete;
    TestProgramFolder& operator=(const TestProgramFolder&) = delete;

    // Runs one statement outside the program's connection (a test's own
    // rows, or reading back what the program wrote).
    void Exec(const std::string& sql) const {
        TADOConnection c;
        c.SetConnectionString(ConnectionStringFor(dbFile));
        c.Open();
        c.Execute(sql);
    }
    // The first column of the first row, as text ("" when there is none).
    std::string Scalar(const std::string& sql) const {
        TADOConnection c;
        c.SetConnectionString(ConnectionStringFor(dbFile));
        c.Open();
        TADOQuery q;
        q.SetConnection(&c);
        q.SQL()->SetText(sql);
        q.Open();
        return q.IsEmpty() ? std::string() : q.Fields().Fields(0)->AsString();
    }

    std::string dir;    // ends with "/"
    std::string dbFile; // dir + "Data/ombry.dat"
};
