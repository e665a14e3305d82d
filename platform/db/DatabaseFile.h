// The database file as a whole: who may use it at once, a consistent copy
// taken while others keep working, the check that a file is a database
// that can be restored, putting one database's content in place of
// another's, and compaction in place. Everything goes through the engine,
// never through a plain file copy, so another connection never sees a
// half-written file.
// Not here: the connection itself (ADODB.h), file names and messages (the
// application's maintenance commands).
//
// Sharing. Every open TADOConnection holds a lock on the lock file beside
// its database (LockFileFor): a shared one, or an exclusive one in mode
// cmShareExclusive. An exclusive open is refused while any other
// connection, in this or another process, has the file open, and a shared
// open is refused while one holds it exclusively; the refusal is
// EDatabaseError "Could not use '<file>'; file already in use.". The locks
// are open-file-description byte-range locks (fcntl F_OFD_SETLK) on byte 0
// of the lock file, so two connections of one process exclude each other
// too, and a process that dies lets go of them. They never touch the
// database file, whose own byte-range locks belong to the engine. On a
// share (NFS, SMB) they go through the share's byte-range locking, so
// programs on different machines see each other, unless the share is
// mounted without it (nolock, nobrl). The lock file is created by the first
// user and removed by the last.
#pragma once

#include <string>
#include <vector>

class TADOConnection;

// The lock file of a database: the name with the extension ".ldb".
std::string LockFileFor(const std::string& databaseFile);

// Writes a consistent copy of the database that `source` has open (any
// mode) to `targetFile`, replacing that file: the engine's online backup
// copies one committed state, whatever other connections write meanwhile.
// The copy goes to a temporary file beside the target (TempFileBeside) and
// is renamed over it once complete and synced, so a failure or a kill
// leaves the target as it was. Raises EDatabaseError.
void BackupDatabase(TADOConnection* source, const std::string& targetFile);

// Raises EDatabaseError with the reason unless `file` is a database that
// opens with `password` (as TADOConnection checks it), passes the engine's
// integrity check and holds every table named in `tables`. Reads the file
// only, without a lock of this layer.
void CheckDatabaseFile(const std::string& file, const std::string& password, const std::vector<std::string>& tables);

// Replaces the content of the database that `target` has open in
// cmShareExclusive by the content of the database file `sourceFile`, in one
// write transaction of the engine: all of it or, on failure or a kill,
// nothing. Raises EDatabaseError (also when target is not exclusive).
void RestoreDatabase(TADOConnection* target, const std::string& sourceFile);

// Rebuilds the database that `c` has open in cmShareExclusive into its
// smallest form, in place and crash-safe (the engine's VACUUM). Raises
// EDatabaseError.
void CompactDatabaseInPlace(TADOConnection* c);
