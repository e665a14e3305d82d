// The database connection, queries and commands the application uses, over
// one SQLite file: statements are written in the Jet dialect and translated
// (JetSql.h); query rows are read into memory when the query opens and can
// be edited there, written back to a single base table, or kept in memory
// until UpdateBatch.
// Not here: the data-set machinery (DB.h), the Jet-to-SQLite rewrite.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DB.h"

enum TConnectMode {
    cmUnknown,
    cmRead,
    cmWrite,
    cmReadWrite,
    cmShareDenyRead,
    cmShareDenyWrite,
    cmShareExclusive,
    cmShareDenyNone
};
enum TCursorLocation { clUseServer, clUseClient };
enum TCursorType { ctUnspecified, ctOpenForwardOnly, ctKeyset, ctDynamic, ctStatic };
enum TADOLockType { ltUnspecified, ltReadOnly, ltPessimistic, ltOptimistic, ltBatchOptimistic };

class TADOQuery;
class TCustomADODataSet;

// One open database file.
//
//   closed ──Open──► open ──BeginTrans──► in transaction
//     ▲               │  ◄──CommitTrans/RollbackTrans──┘
//     └────Close──────┘   (Close rolls back an open transaction)
//
// The connection string is the Jet form ("Provider=...;Data Source=<file>;
// ...;Jet OLEDB:Database Password=<password>"); only Data Source and the
// password matter. Open never creates a file: a missing file, a file that
// is not a database, or a password other than the one recorded in the
// file's MSysPassword table raise EDatabaseError and leave it closed.
// A second writer waits up to 5 seconds for the file's lock.
class TADOConnection : public TComponent {
public:
    explicit TADOConnection(TComponent* owner = nullptr);
    ~TADOConnection() override;
    std::string ClassName() const override { return "TADOConnection"; }

    const std::string& ConnectionString() const { return connectionString_; }
    // Closes an open connection first.
    void SetConnectionString(const std::string& s);
    bool LoginPrompt() const { return loginPrompt_; }
    void SetLoginPrompt(bool v) { loginPrompt_ = v; }
    TConnectMode Mode() const { return mode_; }
    // cmShareExclusive holds the file's lock for as long as the connection
    // is open, so no other connection can read or write it; cmRead opens
    // the file read-only. Takes effect at the next Open.
    void SetMode(TConnectMode m) { mode_ = m; }

    void Open();
    void Close();
    bool Connected() const;
    void SetConnected(bool v) { v ? Open() : Close(); }

    // Never nested: BeginTrans while a transaction is open raises
    // EDatabaseError, as do CommitTrans and RollbackTrans without one.
    // Returns the nesting level (1).
    int BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    bool InTransaction() const { return inTransaction_; }

    // Tables and saved queries (views) by name; the engine's own tables
    // (sqlite_...) and the system tables (MSys...) only when asked.
    void GetTableNames(TStrings* list, bool systemTables = false);
    // Runs one Jet-dialect statement (or several separated by ";");
    // returns the rows changed by the last one. Raises EDatabaseError with
    // the engine's message followed by the statement on a line of its own.
    int Execute(const std::string& sql);
    // The file named by Data Source in the connection string.
    std::string DatabasePath() const;
    // The password the connection string carries ("" when none).
    std::string Password() const;
    // rowid of the last row inserted on this connection.
    int64_t LastInsertRowId() const;
    int CommandTimeout() const { return commandTimeout_; }
    void SetCommandTimeout(int seconds) { commandTimeout_ = seconds; }

    TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

    // The engine handle for the data sets of this layer (ADOPrivate.h).
    struct Impl;
    Impl* impl() const { return impl_.get(); }

private:
    friend class TCustomADODataSet;
    void addDataSet(TCustomADODataSet* ds);
    void removeDataSet(TCustomADODataSet* ds);
    std::unique_ptr<Impl> impl_;
    std::string connectionString_;
    bool loginPrompt_ = true;
    TConnectMode mode_ = cmUnknown;
    bool inTransaction_ = false;
    int commandTimeout_ = 30;
    std::vector<TCustomADODataSet*> dataSets_;
};

// Value of one key of a connection string ("Data Source"), keys matched
// without regard to case, quotes around a value removed (a quote doubled
// inside them stands for one); "" when absent.
std::string ConnectionStringValue(const std::string& connectionString, const std::string& key);
// A value written so that ConnectionStringValue gives it back exactly: in
// double quotes (single quotes when it holds a double quote but no single
// one; a quote like the enclosing one doubled), so that ";", "=" and
// leading or trailing blanks stay part of it.
std::string ConnectionStringQuoted(const std::string& value);

// Makes a new database file from an SQL script (SQLite's own dialect, run
// as it is: the schema, views and rows of db/). Raises EDatabaseError when
// the file exists or a statement fails; a failed file is removed.
void CreateDatabaseFile(const std::string& path, const std::string& script);

// The rows of one statement, held in memory.
//
// A query whose FROM names one table (no join, grouping or DISTINCT) is
// writable: Post and Delete write INSERT / UPDATE / DELETE through the
// row's rowid (the key of an auto-number table, SQLite's own row number for
// a keyless one), only the columns that changed, and read the inserted row
// back so that its auto-number and defaults show at once. Rows of other
// queries (joins, views, aggregates) change in memory only. With
// ltBatchOptimistic every change stays in memory until UpdateBatch.
// Dates are written as 'yyyy-MM-dd' (plus ' hh:nn:ss' when there is a
// time), booleans as 0/1, money as a number.
class TCustomADODataSet : public TDataSet {
public:
    explicit TCustomADODataSet(TComponent* owner = nullptr);
    ~TCustomADODataSet() override;
    std::string ClassName() const override { return "TCustomADODataSet"; }

    TADOConnection* Connection() const { return connection_; }
    void SetConnection(TADOConnection* c);
    int CommandTimeout() const { return commandTimeout_; }
    void SetCommandTimeout(int seconds) { commandTimeout_ = seconds; }
    TCursorLocation CursorLocation() const { return cursorLocation_; }
    void SetCursorLocation(TCursorLocation c) { cursorLocation_ = c; }
    TCursorType CursorType() const { return cursorType_; }
    void SetCursorType(TCursorType c) { cursorType_ = c; }
    TADOLockType LockType() const { return lockType_; }
    void SetLockType(TADOLockType l) { lockType_ = l; }

    // "Field [ASC|DESC], Field2 [ASC|DESC]": orders the rows in memory
    // (text without regard to case, nulls first). "" restores the order
    // the statement gave.
    const std::string& Sort() const { return sort_; }
    void SetSort(const std::string& s);
    // Runs the statement again; goes to the first row.
    void Requery();
    // Writes every pending change of batch mode in one transaction (inside
    // the caller's transaction when one is open); on failure nothing of it
    // stays in the file and the changes stay pending.
    void UpdateBatch();
    // Drops every pending change of batch mode.
    void CancelBatch();
    // Whether batch mode holds changes not yet written.
    bool HasPendingChanges() const;
    int RowsAffected() const { return rowsAffected_; }
    // The auto-number (else the rowid) of the last row this data set
    // inserted into the database; 0 before any.
    int64_t LastSavedId() const { return lastSavedId_; }
    // The table rows are written to ("" when the rows are not writable).
    const std::string& UpdateTable() const { return baseTable_; }

protected:
    // The statement to run, in the Jet dialect.
    virtual std::string CommandSql() const = 0;

    void StoreOpen() override;
    void StoreClose() override;
    int StoreRecordCount() const override;
    TRecordId StoreRecordId(int pos) const override;
    int StorePosition(TRecordId id) const override;
    Variant StoreValue(TRecordId id, const TField& field) const override;
    TRecordId StorePost(const PostRequest& request) override;
    void StoreDelete(TRecordId id) override;
    void StoreRefresh() override;
    bool GetCanModify() const override { return lockType_ != ltReadOnly; }

    int rowsAffected_ = -1;

private:
    friend class TADOConnection;
    struct Row;
    struct Column;
    struct Rows;
    void checkConnection() const;
    void applySort();
    void writeInsert(Row& row);
    void writeUpdate(Row& row, const std::vector<Variant>& old);
    void writeDelete(Row& row);
    void readBack(Row& row);
    Row* rowOf(TRecordId id) const;

    TADOConnection* connection_ = nullptr;
    int commandTimeout_ = 30;
    TCursorLocation cursorLocation_ = clUseClient;
    TCursorType cursorType_ = ctStatic;
    TADOLockType lockType_ = ltOptimistic;
    std::string sort_;
    std::string baseTable_;
    int64_t lastSavedId_ = 0;
    std::unique_ptr<Rows> rows_;
};

// Compacts the database file of the source connection text into a new file
// named by the target text (as the engine's compaction object does; the
// password table comes along). Holds the source exclusively meanwhile, so
// it fails while another connection is writing. Raises EDatabaseError when
// the source cannot be opened (missing, wrong password, locked), when the
// target exists, or when the copy fails; no target file is left then.
void CompactDatabase(const std::string& sourceConnectionString, const std::string& targetConnectionString);

// The statement text of a query. Lines are kept as in any string list, and
// the text last set is kept as it was given: a literal holding a line
// break ('a\nb') reaches the engine unchanged instead of being split into
// lines and joined again with CR LF. Any change of the lines after that
// gives the joined lines again.
class TSqlStrings : public TStringList {
public:
    std::string Text() const override;
    void SetText(const std::string& text) override;

private:
    std::string exact_;
    std::vector<std::string> exactLines_;
    bool hasExact_ = false;
};

// A query: SQL holds the statement (changing it closes the query).
class TADOQuery : public TCustomADODataSet {
public:
    explicit TADOQuery(TComponent* owner = nullptr);
    ~TADOQuery() override;
    std::string ClassName() const override { return "TADOQuery"; }
    TStrings* SQL() { return &sql_; }
    const TStrings* SQL() const { return &sql_; }
    // Runs a statement that returns no rows; returns the rows it changed.
    int ExecSQL();

protected:
    std::string CommandSql() const override { return sql_.Text(); }

private:
    TSqlStrings sql_;
};

// One statement to run.
class TADOCommand : public TComponent {
public:
    explicit TADOCommand(TComponent* owner = nullptr) : TComponent(owner) {}
    std::string ClassName() const override { return "TADOCommand"; }
    TADOConnection* Connection() const { return connection_; }
    void SetConnection(TADOConnection* c) { connection_ = c; }
    const std::string& CommandText() const { return commandText_; }
    void SetCommandText(const std::string& s) { commandText_ = s; }
    int CommandTimeout() const { return commandTimeout_; }
    void SetCommandTimeout(int seconds) { commandTimeout_ = seconds; }
    // Runs CommandText; returns the rows changed. EDatabaseError without a
    // connection or on failure.
    int Execute();

private:
    TADOConnection* connection_ = nullptr;
    std::string commandText_;
    int commandTimeout_ = 30;
};
