// The sharing lock of a database and the whole-file operations of
// DatabaseFile.h, through SQLite's online backup and VACUUM.
// Not here: opening and closing connections (ADODB.cpp), which take and
// release the lock through LockDatabase / UnlockDatabase.
#include "DatabaseFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "ADOPrivate.h"
#include "ScopeExit.h"
#include "SysUtils.h"

namespace {

// Pages copied per step of a backup (32 MB of 4 KB pages): a step holds
// the source's read lock, so another desk's save waits for at most one
// step, well within its 5 seconds.
constexpr int kPagesPerStep = 8192;
// A step that finds the source locked by a writer waits and tries again
// for about as long as a save waits for the write lock.
constexpr int kBusyRetries = 250;
constexpr auto kBusyPause = std::chrono::milliseconds(20);

[[noreturn]] void raiseInUse(const std::string& databaseFile) {
    throw EDatabaseError("Could not use '" + databaseFile + "'; file already in use.");
}

bool sameFile(int fd, const std::string& path) {
    struct stat a, b;
    return fstat(fd, &a) == 0 && stat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// One byte-range lock on byte 0; F_UNLCK, F_RDLCK or F_WRLCK. Returns
// errno (0 on success).
int setLock(int fd, short type) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 1;
    return fcntl(fd, F_OFD_SETLK, &fl) == 0 ? 0 : errno;
}

// A raw engine handle on a file this layer only reads or only writes as a
// whole; closed when it goes out of scope.
struct Handle {
    sqlite3* db = nullptr;
    ~Handle() { sqlite3_close(db); }
    void open(const std::string& file, int flags) {
        if (sqlite3_open_v2(file.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
            RaiseEngineError(db, "");
        sqlite3_extended_result_codes(db, 0);
    }
};

void syncFile(const std::string& file) {
    int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

void syncFolderOf(const std::string& file) {
    std::string dir = ExtractFileDir(ExpandFileName(file));
    int fd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

void requireExclusive(TADOConnection* c) {
    OpenHandle(c);
    if (c->Mode() != cmShareExclusive) throw EDatabaseError("The database must be open exclusively for this operation");
}

// Runs the backup b to its end. A save on the source between two steps
// makes the engine start again from the first page; after that the rest
// goes in one step, which holds the source's read lock until the copy is
// complete, so a desk that keeps saving cannot hold the backup off.
int runBackup(sqlite3_backup* b) {
    bool oneGo = false;
    int before = -1;
    int busy = 0;
    while (true) {
        int rc = sqlite3_backup_step(b, oneGo ? -1 : kPagesPerStep);
        if (rc == SQLITE_DONE) return SQLITE_OK;
        if (rc == SQLITE_OK) {
            const int remaining = sqlite3_backup_remaining(b);
            if (before >= 0 && remaining >= before) oneGo = true;
            before = remaining;
            busy = 0;
            continue;
        }
        if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && ++busy < kBusyRetries) {
            std::this_thread::sleep_for(kBusyPause);
            continue;
        }
        return rc;
    }
}

} // namespace

std::string LockFileFor(const std::string& databaseFile) { return ChangeFileExt(databaseFile, ".ldb"); }

int LockDatabase(const std::string& databaseFile, bool exclusive) {
    const std::string lockFile = LockFileFor(databaseFile);
    // The last user removes the lock file; a user that opened it just
    // before finds, once locked, that the name now means another file, and
    // starts again on that one.
    for (int attempt = 0; attempt < 100; ++attempt) {
        int fd = open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0 && !exclusive) fd = open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            // A read-only folder without a lock file: nobody can take the
            // file exclusively there, so a reader needs no lock.
            if (!exclusive) return -1;
            throw EDatabaseError("Could not lock file '" + lockFile + "'.");
        }
        int err = setLock(fd, exclusive ? F_WRLCK : F_RDLCK);
        if (err != 0) {
            close(fd);
            if (err == EAGAIN || err == EACCES) raiseInUse(databaseFile);
            if (!exclusive) return -1;
            throw EDatabaseError("Could not lock file '" + lockFile + "': " + std::strerror(err));
        }
        if (sameFile(fd, lockFile)) return fd;
        close(fd);
    }
    raiseInUse(databaseFile);
}

void UnlockDatabase(const std::string& databaseFile, int fd) {
    if (fd < 0) return;
    const std::string lockFile = LockFileFor(databaseFile);
    // Exclusive now only when no one else holds it: then nobody needs the
    // file any more.
    if (setLock(fd, F_WRLCK) == 0 && sameFile(fd, lockFile)) unlink(lockFile.c_str());
    close(fd);
}

void CheckDatabasePassword(sqlite3* db, const std::string& password) {
    std::string recorded;
    bool hasPassword = false;
    {
        SqlStatement st(db, "SELECT name FROM sqlite_master WHERE type='table' AND name='MSysPassword' COLLATE NOCASE",
                        "");
        hasPassword = st.step();
    }
    if (hasPassword) {
        SqlStatement st(db, "SELECT Password FROM MSysPassword LIMIT 1", "");
        if (st.step() && sqlite3_column_type(st.get(), 0) != SQLITE_NULL)
            recorded = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
    }
    if (recorded != password) throw EDatabaseError("Not a valid password.");
}

void BackupDatabase(TADOConnection* source, const std::string& targetFile) {
    sqlite3* src = OpenHandle(source);
    const std::string temp = TempFileBeside(targetFile);
    // A failed or interrupted copy leaves no partial file beside the target.
    ScopeExit failed([&] {
        DeleteFile(temp);
        DeleteFile(temp + "-journal");
    });
    {
        Handle dst;
        dst.open(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        // A new file has nothing to roll back to; without a journal a
        // kill leaves only the temporary file, which the next run finds.
        SqlStatement(dst.db, "PRAGMA journal_mode=OFF", "").run();
        sqlite3_backup* b = sqlite3_backup_init(dst.db, "main", src, "main");
        if (!b) RaiseEngineError(dst.db, "");
        int rc = runBackup(b);
        int finish = sqlite3_backup_finish(b);
        if (rc != SQLITE_OK || finish != SQLITE_OK) {
            if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) throw EDatabaseError("database is locked");
            RaiseEngineError(dst.db, "");
        }
    }
    syncFile(temp);
    if (rename(temp.c_str(), targetFile.c_str()) != 0)
        throw EDatabaseError("Cannot create file \"" + targetFile + "\": " + std::strerror(errno));
    syncFolderOf(targetFile);
    failed.Dismiss();
}

void CheckDatabaseFile(const std::string& file, const std::string& password, const std::vector<std::string>& tables) {
    if (!FileExists(file)) throw EDatabaseError("Could not find file '" + file + "'.");
    Handle h;
    h.open(file, SQLITE_OPEN_READONLY);
    // Reading the schema fails here for a file that is no database.
    CheckDatabasePassword(h.db, password);
    {
        SqlStatement st(h.db, "PRAGMA integrity_check(1)", "");
        std::string verdict = st.step() ? reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)) : "";
        if (verdict != "ok") throw EDatabaseError("The database is damaged: " + verdict);
    }
    for (const std::string& table : tables) {
        SqlStatement st(h.db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE", "");
        sqlite3_bind_text(st.get(), 1, table.c_str(), int(table.size()), SQLITE_TRANSIENT);
        if (!st.step()) throw EDatabaseError("The database has no table " + table);
    }
}

void RestoreDatabase(TADOConnection* target, const std::string& sourceFile) {
    requireExclusive(target);
    sqlite3* dst = OpenHandle(target);
    if (!FileExists(sourceFile)) throw EDatabaseError("Could not find file '" + sourceFile + "'.");
    Handle src;
    src.open(sourceFile, SQLITE_OPEN_READONLY);
    sqlite3_backup* b = sqlite3_backup_init(dst, "main", src.db, "main");
    if (!b) RaiseEngineError(dst, "");
    // One step: the whole content is written in one transaction of the
    // target, so it is replaced entirely or not at all.
    int rc = sqlite3_backup_step(b, -1);
    int finish = sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE || finish != SQLITE_OK) RaiseEngineError(dst, "");
}

void CompactDatabaseInPlace(TADOConnection* c) {
    requireExclusive(c);
    SqlStatement(OpenHandle(c), "VACUUM", "VACUUM").run();
}
