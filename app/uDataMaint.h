// The commands that handle the database file as a whole: backup, restore,
// repair (compaction) and the backup offer and compaction on exit. All of
// them act on the file in use (DatabasePath) and refuse, with a message,
// when that is not the local database. Compaction writes a copy beside the
// database and puts it in place by an atomic rename, so an interrupted run
// leaves either the old or the new file, never a part of one.
// Not here: the menu items (the main window) and the connection's creation.
#pragma once

#include "System.h"

#include <string>

class TComponent;
class TOpenDialog;
class TSaveDialog;

// The refusal shown when the database in use is not the local file.
inline constexpr const char* NotLocalDatabaseMessage = "当前数据库不是本机文件，不能进行此操作！";

// Compacts the database file source into the new file target (full paths).
// A target left by an interrupted run is removed first, so it never blocks.
// Returns false, without a message, when the source is held by another
// connection or anything else fails; a failed run leaves no target behind.
// The password travels in the connection text; the argument is unused.
bool CompactDatabase(const std::string& source, const std::string& target, const std::string& password);

// Where a compaction writes its copy: "DBtmp.mdb" beside the database.
std::string CompactTempPath();
// The backup folder, "Backup" beside the executable, with a trailing "/".
std::string BackupFolder();
// "Bck" + yyyymmdd + ".RKB".
std::string DefaultBackupName(TDateTime day);

// Creates the backup folder, shows the save dialog ("备份数据", the backup
// folder, the default name) and copies the database to the chosen file,
// overwriting it. The connection must be closed.
enum class TBackupOutcome { Cancelled, Copied, Failed };
TBackupOutcome RunBackupDialog(TSaveDialog* dialog);

// The menu commands. Each closes the shared connection while it works and
// reopens it afterwards; the dialogs are the main window's.
void BackupCommand(TSaveDialog* dialog);
void RestoreCommand(TOpenDialog* dialog);
void RepairCommand();
// After the exit question, with the connection closed: the backup offer
// (owned by owner) and a silent compaction. Does nothing for a database
// that is not local.
void ExitBackupAndCompact(TComponent* owner);
