// The connection to the database file, commands, and making a database from
// a script. Every statement the application writes goes through the Jet
// translator before SQLite sees it.
// Not here: query rows and their write-back (ADODataSet.cpp).
#include <algorithm>
#include <cctype>

#include "ADOPrivate.h"
#include "JetSql.h"
#include "SysUtils.h"

namespace {

// Waiting for another writer: long enough for a desk's save to finish.
constexpr int kBusyTimeoutMs = 5000;

std::string trimmed(const std::string& s) { return Trim(s); }

} // namespace

void RaiseEngineError(sqlite3* db, const std::string& statement) {
    std::string msg = db ? sqlite3_errmsg(db) : "database is not open";
    if (!statement.empty()) msg += "\n" + statement;
    throw EDatabaseError(msg);
}

SqlStatement::SqlStatement(sqlite3* db, const std::string& sql, const std::string& shownSql, size_t* tail)
    : db_(db), shown_(shownSql) {
    const char* rest = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), int(sql.size()), &stmt_, &rest);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        RaiseEngineError(db, shownSql);
    }
    if (tail) *tail = size_t(rest - sql.c_str());
}

bool SqlStatement::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    RaiseEngineError(db_, shown_);
}

int SqlStatement::run() {
    while (step()) {}
    return sqlite3_changes(db_);
}

sqlite3* OpenHandle(const TADOConnection* c) {
    if (!c || !c->impl() || !c->impl()->db) throw EDatabaseError("Operation is not allowed when the object is closed");
    return c->impl()->db;
}

std::string ConnectionStringValue(const std::string& cs, const std::string& key) {
    size_t i = 0;
    while (i < cs.size()) {
        size_t eq = cs.find('=', i);
        if (eq == std::string::npos) break;
        std::string name = trimmed(cs.substr(i, eq - i));
        size_t v = eq + 1;
        while (v < cs.size() && cs[v] == ' ') ++v;
        std::string value;
        size_t next;
        if (v < cs.size() && (cs[v] == '"' || cs[v] == '\'')) {
            char q = cs[v];
            size_t at = v + 1;
            while (at < cs.size()) {
                if (cs[at] == q) {
                    if (at + 1 < cs.size() && cs[at + 1] == q) {
                        value += q;
                        at += 2;
                        continue;
                    }
                    break;
                }
                value += cs[at++];
            }
            next = cs.find(';', at);
        } else {
            next = cs.find(';', v);
            value = trimmed(cs.substr(v, next == std::string::npos ? std::string::npos : next - v));
        }
        if (SameText(name, key)) return value;
        if (next == std::string::npos) break;
        i = next + 1;
    }
    return "";
}

std::string ConnectionStringQuoted(const std::string& value) {
    const char q = value.find('"') != std::string::npos && value.find('\'') == std::string::npos ? '\'' : '"';
    std::string out(1, q);
    for (char c : value) {
        out += c;
        if (c == q) out += q;
    }
    return out + q;
}

// ------------------------------------------------------------ connection

TADOConnection::TADOConnection(TComponent* owner) : TComponent(owner), impl_(std::make_unique<Impl>()) {}

TADOConnection::~TADOConnection() {
    Destroying();
    try {
        Close();
    } catch (...) {}
    for (TCustomADODataSet* ds : std::vector<TCustomADODataSet*>(dataSets_)) ds->connection_ = nullptr;
}

void TADOConnection::addDataSet(TCustomADODataSet* ds) { dataSets_.push_back(ds); }

void TADOConnection::removeDataSet(TCustomADODataSet* ds) {
    dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), ds), dataSets_.end());
}

void TADOConnection::SetConnectionString(const std::string& s) {
    if (Connected()) Close();
    connectionString_ = s;
}

std::string TADOConnection::DatabasePath() const { return ConnectionStringValue(connectionString_, "Data Source"); }

std::string TADOConnection::Password() const {
    return ConnectionStringValue(connectionString_, "Jet OLEDB:Database Password");
}

bool TADOConnection::Connected() const { return impl_->db != nullptr; }

void TADOConnection::Open() {
    if (Connected()) return;
    if (BeforeConnect) BeforeConnect(this);
    std::string path = DatabasePath();
    if (path.empty()) throw EDatabaseError("No data source is named in the connection string");
    // SQLite would make an empty database where the file is missing.
    if (!FileExists(path)) throw EDatabaseError("Could not find file '" + path + "'.");
    int lockFd = LockDatabase(path, mode_ == cmShareExclusive);
    // One thread uses a connection at a time (the user-interface thread),
    // so the engine's own per-call locking is not needed.
    int flags = (mode_ == cmRead ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
        std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        UnlockDatabase(path, lockFd);
        throw EDatabaseError(msg + "\n" + path);
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db, 0);
    try {
        // Reading the schema fails here for a file that is no database.
        CheckDatabasePassword(db, Password());
        if (mode_ == cmShareExclusive) {
            SqlStatement(db, "PRAGMA locking_mode=EXCLUSIVE", "").run();
            // Takes the lock now and keeps it until the connection closes.
            SqlStatement(db, "BEGIN EXCLUSIVE", "").run();
            SqlStatement(db, "COMMIT", "").run();
        }
    } catch (...) {
        sqlite3_close(db);
        UnlockDatabase(path, lockFd);
        throw;
    }
    impl_->db = db;
    impl_->lockFd = lockFd;
    impl_->lockedFile = path;
    inTransaction_ = false;
    if (AfterConnect) AfterConnect(this);
}

void TADOConnection::Close() {
    if (!Connected()) return;
    if (BeforeDisconnect) BeforeDisconnect(this);
    for (TCustomADODataSet* ds : std::vector<TCustomADODataSet*>(dataSets_)) ds->Close();
    if (inTransaction_ && !sqlite3_get_autocommit(impl_->db))
        sqlite3_exec(impl_->db, "ROLLBACK", nullptr, nullptr, nullptr);
    inTransaction_ = false;
    sqlite3_close_v2(impl_->db);
    impl_->db = nullptr;
    UnlockDatabase(impl_->lockedFile, impl_->lockFd);
    impl_->lockFd = -1;
    if (AfterDisconnect) AfterDisconnect(this);
}

int TADOConnection::BeginTrans() {
    sqlite3* db = OpenHandle(this);
    if (inTransaction_) throw EDatabaseError("A transaction is already open on this connection");
    // IMMEDIATE takes the write lock now (waiting for another writer), so
    // the save cannot fail half-way for want of it.
    SqlStatement(db, "BEGIN IMMEDIATE", "BEGIN TRANSACTION").run();
    inTransaction_ = true;
    return 1;
}

void TADOConnection::CommitTrans() {
    sqlite3* db = OpenHandle(this);
    if (!inTransaction_) throw EDatabaseError("No transaction is open on this connection");
    if (!sqlite3_get_autocommit(db)) SqlStatement(db, "COMMIT", "COMMIT TRANSACTION").run();
    inTransaction_ = false;
}

void TADOConnection::RollbackTrans() {
    sqlite3* db = OpenHandle(this);
    if (!inTransaction_) throw EDatabaseError("No transaction is open on this connection");
    inTransaction_ = false;
    // The engine may already have rolled back after a failed statement.
    if (!sqlite3_get_autocommit(db)) SqlStatement(db, "ROLLBACK", "ROLLBACK TRANSACTION").run();
}

void TADOConnection::GetTableNames(TStrings* list, bool systemTables) {
    sqlite3* db = OpenHandle(this);
    list->BeginUpdate();
    list->Clear();
    try {
        SqlStatement st(
            db, "SELECT name FROM sqlite_master WHERE type IN ('table','view') ORDER BY name COLLATE NOCASE", "");
        while (st.step()) {
            std::string name = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
            if (StartsText("sqlite_", name)) continue;
            if (!systemTables && StartsText("MSys", name)) continue;
            list->Add(name);
        }
    } catch (...) {
        list->EndUpdate();
        throw;
    }
    list->EndUpdate();
}

int TADOConnection::Execute(const std::string& sql) {
    sqlite3* db = OpenHandle(this);
    std::string text = JetToSqlite(sql);
    int changes = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        std::string rest = text.substr(pos);
        if (Trim(rest).empty()) break;
        size_t tail = 0;
        SqlStatement st(db, rest, sql, &tail);
        if (st) changes = st.run();
        if (tail == 0) break;
        pos += tail;
    }
    return changes;
}

int64_t TADOConnection::LastInsertRowId() const { return sqlite3_last_insert_rowid(OpenHandle(this)); }

int TADOCommand::Execute() {
    if (!connection_) throw EDatabaseError("Missing Connection or ConnectionString");
    return connection_->Execute(commandText_);
}

void CreateDatabaseFile(const std::string& path, const std::string& script) {
    if (FileExists(path)) throw EDatabaseError("Database file already exists: " + path);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        std::string msg = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw EDatabaseError(msg + "\n" + path);
    }
    char* err = nullptr;
    // A new file: nothing to lose if the machine stops half-way, and the
    // script's many small statements need no sync each.
    sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY", nullptr, nullptr, nullptr);
    int rc = sqlite3_exec(db, script.c_str(), nullptr, nullptr, &err);
    std::string msg = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    if (rc != SQLITE_OK) {
        DeleteFile(path);
        throw EDatabaseError(msg);
    }
}

void CompactDatabase(const std::string& sourceConnectionString, const std::string& targetConnectionString) {
    std::string target = ConnectionStringValue(targetConnectionString, "Data Source");
    if (target.empty()) throw EDatabaseError("No data source is named in the connection string");
    if (FileExists(target)) throw EDatabaseError("Database '" + target + "' already exists.");
    TADOConnection source;
    source.SetConnectionString(sourceConnectionString);
    source.SetMode(cmShareExclusive);
    source.Open();
    try {
        SqlStatement st(source.impl()->db, "VACUUM INTO ?1", "VACUUM INTO '" + target + "'");
        sqlite3_bind_text(st.get(), 1, target.c_str(), int(target.size()), SQLITE_TRANSIENT);
        st.run();
    } catch (...) {
        DeleteFile(target);
        throw;
    }
}
