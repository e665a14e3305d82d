// The commands that handle the database file as a whole: backup, restore,
// repair (compaction) and the backup offer and compaction on exit. All of
// them act on the file in use (DatabasePath) and refuse, with a message,
// when that is not the local database. They work through the database
// engine (DatabaseFile.h), never by copying or renaming the live file: a
// backup is one committed state even while other desks save; restore,
// repair and the exit compaction hold the database exclusively and are
// refused while any other program (or connection) has it open, so nobody
// is left working on a file that was swapped away; an interrupted run
// leaves the old or the new database, never a part of one.
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

// "DBtmp.mdb" beside the database: where a restore keeps the data it
// replaces until the restored database has opened.
std::string CompactTempPath();
// The backup folder, "Backup" beside the executable, with a trailing "/".
std::string BackupFolder();
// "Bck" + yyyymmdd + ".RKB".
std::string DefaultBackupName(TDateTime day);

// Creates the backup folder, shows the save dialog ("备份数据", the backup
// folder, the default name) and writes a consistent copy of the database
// to the chosen file, overwriting it; a failed copy leaves that file as it
// was. Reads through a connection of its own, whether or not the shared
// one is open.
enum class TBackupOutcome { Cancelled, Copied, Failed };
TBackupOutcome RunBackupDialog(TSaveDialog* dialog);

// The menu commands. Each closes the shared connection while it works and
// reopens it afterwards; the dialogs are the main window's.
void BackupCommand(TSaveDialog* dialog);
// Restores only a file that is a database of this system (it opens with
// the database password, passes the engine's integrity check and has the
// system's tables), and only while no other program has the database
// open; the data it replaces is kept in CompactTempPath() until the shared
// connection has reopened on the restored database, and put back when it
// cannot. Otherwise "恢复不成功！" and the database is unchanged.
void RestoreCommand(TOpenDialog* dialog);
// Compacts in place while no other program has the database open;
// "数据整理出错！" otherwise, changing nothing.
void RepairCommand();
// After the exit question, with the connection closed: the backup offer
// (owned by owner) and a silent compaction, skipped while another program
// has the database open. Does nothing for a database that is not local.
void ExitBackupAndCompact(TComponent* owner);

// Deletes what an interrupted backup, restore, repair or compaction left
// behind: temporary copies in the database's folder and in the backup
// folder (those of a program still running are kept) and "DBtmp.mdb".
// Only while this program has the database open, which no restore or
// repair of another program can be doing then. Runs at start and at the
// start of each of the commands above.
void RemoveLeftoverCopies();
