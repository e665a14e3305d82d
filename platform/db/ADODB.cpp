// The connection to the database file, commands, and making a database from
// a script. Every statement the application writes goes through the Jet
// translator before SQLite sees it.
// Not here: query rows and their write-back (ADODataSet.cpp).
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "ADOPrivate.h"
#include "JetSql.h"
#include "SysUtils.h"
#include "ScopeExit.h"

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

// ------------------------------------------------------- statement cache

StatementCache::Entry StatementCache::Take(const std::string& key) {
    auto at = byKey_.find(key);
    if (at == byKey_.end()) return {};
    Entry e = std::move(at->second->second);
    order_.erase(at->second);
    byKey_.erase(at);
    return e;
}

void StatementCache::Give(const std::string& key, Entry e) {
    // Nothing of the last run stays behind: no read lock, no bound text.
    sqlite3_reset(e.stmt);
    sqlite3_clear_bindings(e.stmt);
    if (byKey_.count(key)) {
        sqlite3_finalize(e.stmt);
        return;
    }
    order_.emplace_front(key, std::move(e));
    byKey_.emplace(key, order_.begin());
    if (order_.size() > Capacity) {
        sqlite3_finalize(order_.back().second.stmt);
        byKey_.erase(order_.back().first);
        order_.pop_back();
    }
}

void StatementCache::Clear() {
    for (auto& kept : order_) sqlite3_finalize(kept.second.stmt);
    order_.clear();
    byKey_.clear();
}

StatementKind KindOf(sqlite3_stmt* st) {
    const char* text = sqlite3_sql(st);
    if (!text) return StatementKind::Other;
    while (*text && (std::isspace(static_cast<unsigned char>(*text)) || *text == '(')) ++text;
    std::string word;
    while (std::isalpha(static_cast<unsigned char>(*text))) word += char(std::toupper(static_cast<unsigned char>(*text++)));
    for (const char* rows : {"SELECT", "INSERT", "UPDATE", "DELETE", "REPLACE", "WITH", "VALUES"})
        if (word == rows) return StatementKind::Rows;
    for (const char* schema : {"CREATE", "DROP", "ALTER", "ATTACH", "DETACH", "VACUUM", "REINDEX"})
        if (word == schema) return StatementKind::Schema;
    return StatementKind::Other;
}

namespace {

// Runs one of the layer's own fixed statements (transaction control), kept
// prepared: a desk's save begins and ends a transaction each time.
void runKept(TADOConnectionPrivate* d, const char* sql, const char* shown) {
    const std::string key = std::string("T") + sql;
    StatementCache::Entry kept = d->statements.Take(key);
    SqlStatement st = kept.stmt ? SqlStatement(d->db, kept.stmt, shown) : SqlStatement(d->db, sql, shown);
    st.run();
    kept.stmt = st.release();
    d->statements.Give(key, std::move(kept));
}

} // namespace

sqlite3* OpenHandle(const TADOConnection* c) {
    TADOConnectionPrivate* d = TADOConnectionPrivate::get(c);
    if (!d || !d->db) throw EDatabaseError("Operation is not allowed when the object is closed");
    return d->db;
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

TADOConnection::TADOConnection(TComponent* owner) : TComponent(owner), d_(std::make_unique<TADOConnectionPrivate>()) {}

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

bool TADOConnection::Connected() const { return d_->db != nullptr; }

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
    ScopeExit refused([&] {
        sqlite3_close(db);
        UnlockDatabase(path, lockFd);
    });
    // Reading the schema fails here for a file that is no database.
    CheckDatabasePassword(db, Password());
    if (mode_ == cmShareExclusive) {
        SqlStatement(db, "PRAGMA locking_mode=EXCLUSIVE", "").run();
        // Takes the lock now and keeps it until the connection closes.
        SqlStatement(db, "BEGIN EXCLUSIVE", "").run();
        SqlStatement(db, "COMMIT", "").run();
    }
    refused.Dismiss();
    d_->db = db;
    d_->lockFd = lockFd;
    d_->lockedFile = path;
    inTransaction_ = false;
    if (AfterConnect) AfterConnect(this);
}

void TADOConnection::Close() {
    if (!Connected()) return;
    if (BeforeDisconnect) BeforeDisconnect(this);
    for (TCustomADODataSet* ds : std::vector<TCustomADODataSet*>(dataSets_)) ds->Close();
    if (inTransaction_ && !sqlite3_get_autocommit(d_->db)) sqlite3_exec(d_->db, "ROLLBACK", nullptr, nullptr, nullptr);
    inTransaction_ = false;
    d_->statements.Clear();
    sqlite3_close_v2(d_->db);
    d_->db = nullptr;
    UnlockDatabase(d_->lockedFile, d_->lockFd);
    d_->lockFd = -1;
    if (AfterDisconnect) AfterDisconnect(this);
}

int TADOConnection::BeginTrans() {
    OpenHandle(this);
    if (inTransaction_) throw EDatabaseError("A transaction is already open on this connection");
    // IMMEDIATE takes the write lock now (waiting for another writer), so
    // the save cannot fail half-way for want of it.
    runKept(TADOConnectionPrivate::get(this), "BEGIN IMMEDIATE", "BEGIN TRANSACTION");
    inTransaction_ = true;
    return 1;
}

void TADOConnection::CommitTrans() {
    sqlite3* db = OpenHandle(this);
    if (!inTransaction_) throw EDatabaseError("No transaction is open on this connection");
    if (!sqlite3_get_autocommit(db)) runKept(TADOConnectionPrivate::get(this), "COMMIT", "COMMIT TRANSACTION");
    inTransaction_ = false;
}

void TADOConnection::RollbackTrans() {
    sqlite3* db = OpenHandle(this);
    if (!inTransaction_) throw EDatabaseError("No transaction is open on this connection");
    inTransaction_ = false;
    // The engine may already have rolled back after a failed statement.
    if (!sqlite3_get_autocommit(db)) runKept(TADOConnectionPrivate::get(this), "ROLLBACK", "ROLLBACK TRANSACTION");
}

void TADOConnection::GetTableNames(TStrings* list, bool systemTables) {
    sqlite3* db = OpenHandle(this);
    list->BeginUpdate();
    list->Clear();
    ScopeExit restore([&] { list->EndUpdate(); });
    SqlStatement st(db, "SELECT name FROM sqlite_master WHERE type IN ('table','view') ORDER BY name COLLATE NOCASE",
                    "");
    while (st.step()) {
        std::string name = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
        if (StartsText("sqlite_", name)) continue;
        if (!systemTables && StartsText("MSys", name)) continue;
        list->Add(name);
    }
}

int ExecuteStatements(TADOConnection* c, const std::string& sql, const PlaceholderValues& values) {
    sqlite3* db = OpenHandle(c);
    StatementCache& cache = TADOConnectionPrivate::get(c)->statements;
    // Queries keep theirs under another key (ADODataSet.cpp).
    const std::string key = "E" + sql;
    if (StatementCache::Entry kept = cache.Take(key); kept.stmt) {
        // A failure below finalizes it: the cache only ever holds
        // statements whose last run succeeded.
        SqlStatement st(db, kept.stmt, sql);
        BindPlaceholders(st.get(), values, sql);
        const int changes = st.run();
        kept.stmt = st.release();
        cache.Give(key, std::move(kept));
        return changes;
    }
    std::string text = JetToSqlite(sql);
    int changes = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        std::string rest = text.substr(pos);
        if (Trim(rest).empty()) break;
        size_t tail = 0;
        SqlStatement st(db, rest, sql, &tail);
        if (st) {
            BindPlaceholders(st.get(), values, sql);
            changes = st.run();
            const StatementKind kind = KindOf(st.get());
            if (kind == StatementKind::Schema) cache.Clear();
            // Only a statement that is the whole text is kept: the key
            // stands for all of it.
            const bool whole = pos == 0 && (tail == 0 || Trim(rest.substr(tail)).empty());
            if (kind == StatementKind::Rows && whole) {
                StatementCache::Entry e;
                e.stmt = st.release();
                cache.Give(key, std::move(e));
            }
        }
        if (tail == 0) break;
        pos += tail;
    }
    return changes;
}

int TADOConnection::Execute(const std::string& sql) { return ExecuteStatements(this, sql, {}); }

int TADOConnection::Execute(const std::string& sql, std::initializer_list<Variant> values) {
    return Execute(sql, std::vector<Variant>(values));
}

int TADOConnection::Execute(const std::string& sql, const std::vector<Variant>& values) {
    OpenHandle(this);
    // Counted before anything runs: a second statement must not find out
    // after the first has written.
    size_t marks = 0;
    for (const std::string& name : JetPlaceholders(sql)) {
        if (!name.empty())
            throw EDatabaseError("Execute takes ? placeholders; use a query's Parameters for :" + name + "\n" + sql);
        ++marks;
    }
    if (marks != values.size())
        throw EDatabaseError("The statement has " + std::to_string(marks) + " placeholders but " +
                             std::to_string(values.size()) + " values were given\n" + sql);
    PlaceholderValues pv;
    pv.positional = &values;
    return ExecuteStatements(this, sql, pv);
}

int64_t TADOConnection::LastInsertRowId() const { return sqlite3_last_insert_rowid(OpenHandle(this)); }

void TADOCommand::SetCommandText(const std::string& s) {
    commandText_ = s;
    params_.ParseSQL(s);
}

int TADOCommand::Execute() {
    if (!connection_) throw EDatabaseError("Missing Connection or ConnectionString");
    PlaceholderValues pv;
    pv.parameters = &params_;
    return ExecuteStatements(connection_, commandText_, pv);
}

// ------------------------------------------------------------ parameters

TParameter* TParameters::Items(int index) const {
    if (index < 0 || index >= Count()) throw EDatabaseError("Parameter index out of range: " + std::to_string(index));
    return items_[size_t(index)].get();
}

TParameter* TParameters::FindParam(const std::string& name) const {
    for (const auto& p : items_)
        if (!p->Name().empty() && SameText(p->Name(), name)) return p.get();
    return nullptr;
}

TParameter* TParameters::ParamByName(const std::string& name) const {
    if (TParameter* p = FindParam(name)) return p;
    throw EDatabaseError("Parameter '" + name + "' not found");
}

void TParameters::ParseSQL(const std::string& sql) {
    std::vector<std::unique_ptr<TParameter>> next;
    for (const std::string& name : JetPlaceholders(sql)) {
        if (!name.empty()) {
            bool seen = false;
            for (const auto& p : next) seen = seen || SameText(p->Name(), name);
            if (seen) continue;
        }
        auto p = std::make_unique<TParameter>(name);
        if (!name.empty())
            if (TParameter* old = FindParam(name)) p->SetValue(old->Value());
        next.push_back(std::move(p));
    }
    items_ = std::move(next);
}

void TParameters::AssignValues(const std::vector<Variant>& values) {
    std::vector<TParameter*> marks;
    for (const auto& p : items_)
        if (p->Name().empty()) marks.push_back(p.get());
    if (marks.size() != values.size())
        throw EDatabaseError("The statement has " + std::to_string(marks.size()) + " placeholders but " +
                             std::to_string(values.size()) + " values were given");
    for (size_t i = 0; i < marks.size(); ++i) marks[i]->SetValue(values[i]);
}

namespace {

[[noreturn]] void noValue(const std::string& shownSql) {
    throw EDatabaseError("No value given for one or more required parameters.\n" + shownSql);
}

// The n-th (from 1) "?" parameter of a parameter list.
const TParameter* nthMark(const TParameters& params, int n) {
    for (int i = 0; i < params.Count(); ++i)
        if (params.Items(i)->Name().empty() && --n == 0) return params.Items(i);
    return nullptr;
}

} // namespace

void BindPlaceholders(sqlite3_stmt* st, const PlaceholderValues& values, const std::string& shownSql) {
    const int count = sqlite3_bind_parameter_count(st);
    for (int i = 1; i <= count; ++i) {
        const char* name = sqlite3_bind_parameter_name(st, i);
        const Variant* v = nullptr;
        if (!name || name[0] == '?') {
            const int n = name && name[1] ? std::atoi(name + 1) : i;
            if (values.positional) {
                if (n >= 1 && size_t(n) <= values.positional->size()) v = &(*values.positional)[size_t(n - 1)];
            } else if (values.parameters) {
                const TParameter* p = nthMark(*values.parameters, n);
                if (p && p->Assigned()) v = &p->Value();
            }
        } else if (values.parameters) {
            const TParameter* p = values.parameters->FindParam(name + 1);
            if (p && p->Assigned()) v = &p->Value();
        }
        if (!v) noValue(shownSql);
        BindVariant(st, i, *v);
    }
}

void BindVariant(sqlite3_stmt* st, int i, const Variant& v) {
    switch (v.Type()) {
    case varEmpty:
    case varNull: sqlite3_bind_null(st, i); return;
    case varBoolean: sqlite3_bind_int(st, i, v.AsBoolean() ? 1 : 0); return;
    case varSmallint:
    case varInteger:
    case varInt64:
    case varByte:
    case varWord:
    case varLongWord:
    case varShortInt: sqlite3_bind_int64(st, i, v.AsInt64()); return;
    case varSingle:
    case varDouble: sqlite3_bind_double(st, i, v.AsDouble()); return;
    case varCurrency: {
        // The money columns have numeric affinity: the decimal text
        // "12.5" would be stored as this very number, and "12" as the
        // integer, so the value is stored as if written out exactly.
        const int64_t raw = v.AsCurrency().Raw();
        if (raw % Currency::Scale == 0)
            sqlite3_bind_int64(st, i, raw / Currency::Scale);
        else
            sqlite3_bind_double(st, i, double(raw) / double(Currency::Scale));
        return;
    }
    case varDate: {
        const std::string text = StoredDateText(v.AsDateTime().Val, ftDateTime);
        sqlite3_bind_text(st, i, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    default: break;
    }
    if (v.IsArray()) throw EDatabaseError("An array cannot be bound to a statement parameter");
    const std::string text = VarToStr(v);
    sqlite3_bind_text(st, i, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
}

std::string LikeEscaped(const std::string& typed) {
    std::string out;
    out.reserve(typed.size());
    for (char c : typed) {
        if (c == '\\' || c == '%' || c == '_') out += '\\';
        out += c;
    }
    return out;
}

// ----------------------------------------------------------- transaction

TTransaction::TTransaction(TADOConnection* c) : c_(c) { c_->BeginTrans(); }

TTransaction::~TTransaction() {
    if (committed_) return;
    try {
        if (c_->Connected() && c_->InTransaction()) c_->RollbackTrans();
    } catch (...) {
        // The engine rolled back already, or the file went away: nothing
        // of the transaction is left either way.
    }
}

void TTransaction::Commit() {
    c_->CommitTrans();
    committed_ = true;
}

// -------------------------------------------------------------- look-up

TRowLookup::TRowLookup(TADOConnection* c, const std::string& sql, std::initializer_list<Variant> values)
    : TRowLookup(c, TBoundSql{sql, std::vector<Variant>(values)}) {}

TRowLookup::TRowLookup(TADOConnection* c, const TBoundSql& s) {
    q_.SetConnection(c);
    q_.SetStatement(s);
    q_.Open();
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
    ScopeExit failed([&] { DeleteFile(target); });
    {
        SqlStatement st(TADOConnectionPrivate::get(&source)->db, "VACUUM INTO ?1", "VACUUM INTO '" + target + "'");
        sqlite3_bind_text(st.get(), 1, target.c_str(), int(target.size()), SQLITE_TRANSIENT);
        st.run();
    }
    failed.Dismiss();
}
