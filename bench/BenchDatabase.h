// Databases for the benchmark programs: the shipped schema, views and rows,
// and the large libraries made once in /tmp and reused between runs.
#pragma once

#include <string>

#include "ADODB.h"
#include "SysUtils.h"
#include "app/uDMData.h"

// The statements of the shipped database, found from the source tree.
inline std::string ShippedDatabaseScript() {
    std::string script;
    for (const char* f : {"/db/schema.sql", "/db/views.sql", "/db/rows.sql"})
        script += ReadFileBytes(ExtractFileDir(ExtractFileDir(__FILE__)) + f) + "\n";
    return script;
}

// The shipped database with `rows` after it, made at `dbPath` unless an
// earlier run left it there; made under another name and renamed, so a run
// cut short never leaves half a library to be reused.
inline void MakeLargeLibrary(const char* dbPath, const std::string& rows) {
    if (FileExists(dbPath)) return;
    const std::string tmp = std::string(dbPath) + ".tmp";
    DeleteFile(tmp);
    CreateDatabaseFile(tmp, ShippedDatabaseScript() + rows);
    RenameFile(tmp, dbPath);
}

// The program folder the data module reads: "ConSQL.ini" naming the file,
// and the data module open on it.
inline void UseLargeLibrary(const char* dbPath, const char* programDir) {
    ForceDirectories(programDir);
    AtomicWriteFile(std::string(programDir) + "ConSQL.ini", std::string("[Server]\r\nPath=") + dbPath + "\r\n");
    SetExeDirForTesting(programDir);
    if (!DMData) new TDMData(nullptr);
}
