// The database connection, queries and commands the application uses, over
// one SQLite file: statements are written in the Jet dialect and translated
// (JetSql.h); query rows are read into memory when the query opens and can
// be edited there, written back to a single base table, or kept in memory
// until UpdateBatch.
// Not here: the data-set machinery (DB.h), the Jet-to-SQLite rewrite.
#pragma once

#include <initializer_list>
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
class TADOConnectionPrivate;

// How a value reaches the engine when it is bound to a placeholder: by its
// own type, never through text the locale formats.
//   Null, Empty            NULL
//   whole numbers          integer;  Boolean: 1 / 0
//   Currency               the exact decimal, stored as the money columns
//                          store it (an integer when whole, else the number
//                          nearest the decimal); it reads back as the same
//                          Currency for any amount below 10^10
//   TDateTime              'yyyy-MM-dd' text, the form the DATE columns
//                          hold; ' hh:nn:ss' follows only when it has a time
//   Double, Single         a real number
//   text                   text, byte for byte (a quote, a %, an _ and a
//                          line break are only characters)
// An array raises EDatabaseError.

// One value for a placeholder of a statement: ":Name" in the text, or a
// "?" (Name "").
class TParameter {
public:
    explicit TParameter(std::string name) : name_(std::move(name)) {}
    const std::string& Name() const { return name_; }
    const Variant& Value() const { return value_; }
    void SetValue(const Variant& v) { value_ = v; }
    // A parameter that was never given a value is refused when the
    // statement runs, rather than quietly bound as NULL.
    bool Assigned() const { return !value_.IsEmpty(); }

private:
    std::string name_;
    Variant value_;
};

// The parameters of a query's or a command's statement, one for each
// distinct ":name" and one for each "?", in the order the text gives them.
// They are made again whenever the statement text changes; a name that
// stays keeps its value.
class TParameters {
public:
    int Count() const { return int(items_.size()); }
    // Raises EDatabaseError for an index outside 0..Count()-1.
    TParameter* Items(int index) const;
    // Names compare without regard to letter case; nullptr when absent.
    TParameter* FindParam(const std::string& name) const;
    // As FindParam, raising EDatabaseError "Parameter 'name' not found".
    TParameter* ParamByName(const std::string& name) const;
    // Rebuilds the list from the placeholders of a Jet-dialect statement.
    void ParseSQL(const std::string& sql);
    // Gives the "?" parameters the values, in order; raises
    // EDatabaseError when the counts differ.
    void AssignValues(const std::vector<Variant>& values);
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TParameter>> items_;
};

// Typed text as a LIKE pattern that matches it literally, for a statement
// that says "like ? escape '\'": a backslash, "%" and "_" get a backslash
// before them. The caller adds the wildcards it means ("%" + ... + "%").
std::string LikeEscaped(const std::string& typed);

// A statement with "?" placeholders and their values, in order: what a
// statement builder returns, so that a test can compare text and values
// and the caller runs it with Execute, TRowLookup or
// TADOQuery::SetStatement.
struct TBoundSql {
    std::string Text;
    std::vector<Variant> Values;
};

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
    // The same with "?" placeholders (one statement or several): the i-th
    // "?" of the whole text receives values[i], typed as TParameter says.
    // Raises EDatabaseError, running nothing, when the count of "?" and of
    // values differ or when the text uses ":name" placeholders.
    int Execute(const std::string& sql, std::initializer_list<Variant> values);
    int Execute(const std::string& sql, const std::vector<Variant>& values);
    int Execute(const TBoundSql& s) { return Execute(s.Text, s.Values); }
    // The file named by Data Source in the connection string.
    std::string DatabasePath() const;
    // The password the connection string carries ("" when none).
    std::string Password() const;
    // rowid of the last row inserted on this connection.
    int64_t LastInsertRowId() const;
    int CommandTimeout() const { return commandTimeout_; }
    void SetCommandTimeout(int seconds) { commandTimeout_ = seconds; }

    TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

private:
    friend class TCustomADODataSet;
    // The engine handle (ADOPrivate.h), reached by this layer's data sets
    // through TADOConnectionPrivate::get.
    friend class TADOConnectionPrivate;
    void addDataSet(TCustomADODataSet* ds);
    void removeDataSet(TCustomADODataSet* ds);
    std::unique_ptr<TADOConnectionPrivate> d_;
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
    // The values of its placeholders; nullptr when it has none.
    virtual const TParameters* CommandParameters() const { return nullptr; }

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

// A query: SQL holds the statement (changing it closes the query and
// makes its Parameters again from the placeholders in the text).
//
//   q.SQL()->SetText("select * from Readerinfo where Code=:Code");
//   q.Parameters()->ParamByName("Code")->SetValue(typedCode);
//   q.Open();
//
// Open and ExecSQL raise EDatabaseError "No value given for one or more
// required parameters." when a placeholder has no value.
class TADOQuery : public TCustomADODataSet {
public:
    explicit TADOQuery(TComponent* owner = nullptr);
    ~TADOQuery() override;
    std::string ClassName() const override { return "TADOQuery"; }
    TStrings* SQL() { return &sql_; }
    const TStrings* SQL() const { return &sql_; }
    TParameters* Parameters() { return &params_; }
    const TParameters* Parameters() const { return &params_; }
    // Sets SQL to s.Text and its "?" parameters to s.Values (closing the
    // query); raises EDatabaseError when the counts differ.
    void SetStatement(const TBoundSql& s);
    // Runs a statement that returns no rows; returns the rows it changed.
    int ExecSQL();

protected:
    std::string CommandSql() const override { return sql_.Text(); }
    const TParameters* CommandParameters() const override { return &params_; }

private:
    TSqlStrings sql_;
    TParameters params_;
};

// One statement to run; its Parameters are made from CommandText's
// placeholders as for TADOQuery.
class TADOCommand : public TComponent {
public:
    explicit TADOCommand(TComponent* owner = nullptr) : TComponent(owner) {}
    std::string ClassName() const override { return "TADOCommand"; }
    TADOConnection* Connection() const { return connection_; }
    void SetConnection(TADOConnection* c) { connection_ = c; }
    const std::string& CommandText() const { return commandText_; }
    void SetCommandText(const std::string& s);
    TParameters* Parameters() { return &params_; }
    int CommandTimeout() const { return commandTimeout_; }
    void SetCommandTimeout(int seconds) { commandTimeout_ = seconds; }
    // Runs CommandText with its parameters; returns the rows changed.
    // EDatabaseError without a connection, for a parameter with no value,
    // or on failure.
    int Execute();

private:
    TADOConnection* connection_ = nullptr;
    std::string commandText_;
    TParameters params_;
    int commandTimeout_ = 30;
};

// One transaction on a connection for as long as the object lives:
//
//   TTransaction() ──BeginTrans──► open ──Commit──► committed
//                                    │
//                                    └── destroyed uncommitted ──► rolled back
//
// A save writes its statements between construction and Commit; any
// exception that leaves the scope rolls every one of them back. The
// connection must be open and outside a transaction (BeginTrans raises
// otherwise). Commit raises as CommitTrans, and the transaction then still
// rolls back when destroyed. The destructor never raises: a rollback the
// engine already did, or a connection closed meanwhile, is no error.
class TTransaction {
public:
    explicit TTransaction(TADOConnection* c);
    ~TTransaction();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;
    void Commit();
    bool Committed() const { return committed_; }

private:
    TADOConnection* c_;
    bool committed_ = false;
};

// A query opened on a statement and its "?" values, closed when it goes
// out of scope: for the look-ups that read one row, or ask whether there
// is any. Raises EDatabaseError as TADOQuery::Open.
//
//   TRowLookup item(c, "select * from Bookinfo where code=?", {code});
//   if (item.Empty()) ...; item.Text("Name"); item["BookPrice"]->AsCurrency();
class TRowLookup {
public:
    TRowLookup(TADOConnection* c, const std::string& sql, std::initializer_list<Variant> values = {});
    TRowLookup(TADOConnection* c, const TBoundSql& s);
    bool Empty() const { return q_.IsEmpty(); }
    // The current (first) row's field; EDatabaseError for an unknown name.
    TField* operator[](const std::string& name) const { return q_.FieldByName(name); }
    std::string Text(const std::string& name) const { return q_.FieldByName(name)->AsString(); }
    TADOQuery& Query() { return q_; }

private:
    TADOQuery q_;
};
