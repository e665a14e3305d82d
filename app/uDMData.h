// The application's data module: the one shared database connection that
// every window's queries and transactions use, and the shared queries of
// the settings row and the operators. Creating it reads "ConSQL.ini" beside
// the executable, opens the database and brings a file of an earlier
// release up to this schema (SchemaUpgrade.h).
// Not here: the schema itself (the database file comes with it) or loading
// the settings into the globals (the main window's start-up).
#pragma once

#include "ADODB.h"
#include "Classes.h"

#include <string>

class TDMData : public TComponent {
public:
    // Runs DataModuleCreate. On failure the message has been shown and
    // Opened() is false; the program body then ends the program.
    explicit TDMData(TComponent* owner);
    ~TDMData() override;
    std::string ClassName() const override { return "TDMData"; }

    TADOConnection* ADOConnection1;
    TADOQuery* AdoqAcctinfo;
    TADOQuery* AdoQueryUser;
    TADOCommand* AdoCommUser;
    TADOQuery* AdoqTemp;

    // Whether creation found its configuration and opened the database.
    bool Opened() const { return opened_; }

private:
    bool DataModuleCreate();
    bool opened_ = false;
};

// The data module, set by its creation (the program body creates it before
// the main window); nullptr before.
extern TDMData* DMData;

// Full path of the database file in use ("/" separators), set at creation.
extern std::string DatabasePath;

// The database password the file is protected with.
inline constexpr const char* DatabasePassword = "mopu284617";

// The file a "ConSQL.ini" Path value selects: a value beginning with "\\"
// (a network share, mounted here as a folder: backslashes become "/") or
// with "/" names the file itself; anything else, empty included, selects
// "Data/ombry.dat" in exeDir (which ends with "/").
std::string DatabaseFileFor(const std::string& iniPath, const std::string& exeDir);

// True when the database in use is the local file beside the executable,
// false when "ConSQL.ini" named another file (a share): the exit backup
// offer and compaction, backup, restore and repair apply only to the local
// file.
bool DatabaseIsLocal();

// The connection string for a database file, in the engine's own form.
std::string ConnectionStringFor(const std::string& databaseFile);
