// SQLite behind the ADO stand-ins: the connection's engine handle and a
// statement holder shared by ADODB.cpp and ADODataSet.cpp. Private to
// platform/db: nothing outside this folder includes SQLite.
#pragma once

#include <sqlite3.h>

#include <list>
#include <string>
#include <unordered_map>
#include <vector>

#include "ADODB.h"

// Statements a connection prepared, kept by the text the program wrote, so
// that a statement run again (an import's insert, a desk's look-up) skips
// translation and preparation. A statement is taken out while it runs, so
// no two users ever share one (a second user of the same text prepares its
// own); it is given back only after it ran without error, and comes back
// reset with its values cleared. At most Capacity statements are kept; the
// one used longest ago goes first. The connection empties it when it
// closes and after a statement that changes the schema.
class StatementCache {
public:
    static constexpr size_t Capacity = 64;
    struct Entry {
        sqlite3_stmt* stmt = nullptr;
        // What a query learned while preparing it: whether the row's rowid
        // comes first, and of which table.
        bool rowidFirst = false;
        std::string table;
    };
    StatementCache() = default;
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;
    ~StatementCache() { Clear(); }
    // The statement kept under key, now the caller's; stmt is null when
    // there is none.
    Entry Take(const std::string& key);
    // Keeps a statement that ran without error under key. When one is kept
    // there already (a second user's), this one is finalized.
    void Give(const std::string& key, Entry e);
    // Finalizes every statement kept.
    void Clear();
    size_t Size() const { return byKey_.size(); }

private:
    using Order = std::list<std::pair<std::string, Entry>>;
    Order order_; // most recently given first
    std::unordered_map<std::string, Order::iterator> byKey_;
};

// Which statements are kept: those that read or write rows. A statement
// that changes the schema empties the cache instead; the rest (pragmas,
// transaction control) are run once and dropped.
enum class StatementKind { Rows, Schema, Other };
StatementKind KindOf(sqlite3_stmt* st);

class TADOConnectionPrivate {
public:
    static TADOConnectionPrivate* get(const TADOConnection* c) { return c ? c->d_.get() : nullptr; }
    sqlite3* db = nullptr;
    StatementCache statements;
    // The sharing lock held while the connection is open (DatabaseFile.h);
    // -1 when none.
    int lockFd = -1;
    std::string lockedFile;
};

// Takes the sharing lock of a database file (DatabaseFile.h): shared, or
// exclusive. Returns the descriptor that holds it, or -1 for a shared lock
// in a folder where the lock file can be neither created nor locked.
// Raises EDatabaseError "Could not use '<file>'; file already in use." when
// another holder stands in the way.
int LockDatabase(const std::string& databaseFile, bool exclusive);
// Lets go of a lock LockDatabase returned (-1 does nothing); the last user
// removes the lock file.
void UnlockDatabase(const std::string& databaseFile, int fd);
// Raises EDatabaseError "Not a valid password." unless the password matches
// the one the file's MSysPassword table records ("" when it has none).
void CheckDatabasePassword(sqlite3* db, const std::string& password);

// Raises EDatabaseError with the engine's message for db and, on a line
// of its own, the statement that failed.
[[noreturn]] void RaiseEngineError(sqlite3* db, const std::string& statement);

// A prepared statement, finalized when it goes out of scope.
class SqlStatement {
public:
    SqlStatement() = default;
    // Prepares the first statement of sql; `tail` receives the offset of
    // the rest. Raises as RaiseEngineError, naming `shownSql`.
    SqlStatement(sqlite3* db, const std::string& sql, const std::string& shownSql, size_t* tail = nullptr);
    ~SqlStatement() { sqlite3_finalize(stmt_); }
    // Adopts a statement already prepared (one taken from a cache).
    SqlStatement(sqlite3* db, sqlite3_stmt* adopted, const std::string& shownSql)
        : stmt_(adopted), db_(db), shown_(shownSql) {}
    SqlStatement(const SqlStatement&) = delete;
    SqlStatement& operator=(const SqlStatement&) = delete;
    SqlStatement(SqlStatement&& o) noexcept : stmt_(o.stmt_), db_(o.db_), shown_(std::move(o.shown_)) {
        o.stmt_ = nullptr;
    }
    SqlStatement& operator=(SqlStatement&& o) noexcept {
        if (this != &o) {
            sqlite3_finalize(stmt_);
            stmt_ = o.stmt_;
            db_ = o.db_;
            shown_ = std::move(o.shown_);
            o.stmt_ = nullptr;
        }
        return *this;
    }
    sqlite3_stmt* get() const { return stmt_; }
    // Lets go of the statement without finalizing it.
    sqlite3_stmt* release() {
        sqlite3_stmt* s = stmt_;
        stmt_ = nullptr;
        return s;
    }
    explicit operator bool() const { return stmt_ != nullptr; }
    // One step: true for a row, false when done; raises on failure.
    bool step();
    // Steps to the end; returns sqlite3_changes of the connection.
    int run();

private:
    sqlite3_stmt* stmt_ = nullptr;
    sqlite3* db_ = nullptr;
    std::string shown_;
};

// The connection's handle; raises EDatabaseError when it is not open.
sqlite3* OpenHandle(const TADOConnection* c);

// Where the values of a statement's placeholders come from: the values of
// an Execute call ("?" only), or a query's or command's Parameters.
struct PlaceholderValues {
    const std::vector<Variant>* positional = nullptr;
    const TParameters* parameters = nullptr;
};

// Binds every placeholder of a prepared (translated) statement: "?N" to
// the N-th positional value or the N-th "?" parameter, ":name" to the
// parameter of that name. Raises EDatabaseError naming `shownSql` for a
// placeholder without a value.
void BindPlaceholders(sqlite3_stmt* st, const PlaceholderValues& values, const std::string& shownSql);
// One value, typed as TParameter describes (ADODB.h).
void BindVariant(sqlite3_stmt* st, int index, const Variant& v);
// The stored text of a date: "yyyy-MM-dd", plus " hh:nn:ss" when it has a
// time of day ("hh:nn:ss" alone for ftTime).
std::string StoredDateText(double day, TFieldType type);

// Runs one or several translated statements with their placeholders
// bound; returns the rows changed by the last.
int ExecuteStatements(TADOConnection* c, const std::string& jetSql, const PlaceholderValues& values);
