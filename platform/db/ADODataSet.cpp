// Query rows in memory: reading a statement's rows with field types taken
// from the declared column types, client-side sorting, and writing posted
// rows back to the single table a query reads (by rowid), at once or in a
// batch.
// Not here: the connection and statement helpers (ADODB.cpp).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ADOPrivate.h"
#include "JetSql.h"
#include "ScopeExit.h"
#include "SysUtils.h"

namespace {

const char* const kRowidAlias = "$rowid";

// ------------------------------------------------------------ dates as text

const int64_t kEpoch = DaysFromCivil(1899, 12, 30);

bool readNumber(const char*& p, const char* end, int maxDigits, int& out) {
    int n = 0, v = 0;
    while (p < end && *p >= '0' && *p <= '9' && n < maxDigits) {
        v = v * 10 + (*p - '0');
        ++p;
        ++n;
    }
    out = v;
    return n > 0;
}

// "yyyy-M-d" or "yyyy/M/d", optionally followed by " h:n[:s]" (or "T").
bool parseDateText(const char* s, int len, double& out) {
    // The stored form, "yyyy-MM-dd", by the short road.
    if (len == 10 && s[4] == '-' && s[7] == '-') {
        int v[8], k = 0;
        for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
            unsigned digit = unsigned(s[i] - '0');
            if (digit > 9) break;
            v[k++] = int(digit);
        }
        if (k == 8) {
            int y = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
            int m = v[4] * 10 + v[5], d = v[6] * 10 + v[7];
            if (m >= 1 && m <= 12 && d >= 1 && d <= 31) {
                out = double(DaysFromCivil(y, unsigned(m), unsigned(d)) - kEpoch);
                return true;
            }
        }
    }
    const char* p = s;
    const char* end = s + len;
    while (p < end && *p == ' ') ++p;
    int y, m, d;
    if (!readNumber(p, end, 4, y) || p >= end || (*p != '-' && *p != '/')) return false;
    ++p;
    if (!readNumber(p, end, 2, m) || p >= end || (*p != '-' && *p != '/')) return false;
    ++p;
    if (!readNumber(p, end, 2, d)) return false;
    if (m < 1 || m > 12 || d < 1 || d > 31) return false;
    double day = double(DaysFromCivil(y, unsigned(m), unsigned(d)) - kEpoch);
    double frac = 0;
    if (p < end && (*p == ' ' || *p == 'T')) {
        ++p;
        int h = 0, n = 0, sec = 0;
        if (readNumber(p, end, 2, h) && p < end && *p == ':') {
            ++p;
            readNumber(p, end, 2, n);
            if (p < end && *p == ':') {
                ++p;
                readNumber(p, end, 2, sec);
                if (p < end && *p == '.')
                    while (p < end && (*p == '.' || (*p >= '0' && *p <= '9'))) ++p;
            }
            frac = (h * 3600 + n * 60 + sec) / 86400.0;
        }
    }
    while (p < end && *p == ' ') ++p;
    if (p != end) return false;
    out = day >= 0 ? day + frac : day - frac;
    return true;
}

} // namespace

// The stored form: "yyyy-MM-dd", with " hh:nn:ss" only when there is a time.
std::string StoredDateText(double v, TFieldType type) {
    double day = std::floor(v);
    int64_t secs = std::llround((v - day) * 86400.0);
    if (secs >= 86400) {
        day += 1;
        secs -= 86400;
    }
    char buf[40];
    int y, m, d;
    CivilFromDays(int64_t(day) + kEpoch, y, m, d);
    if (type == ftTime) {
        std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", int(secs / 3600), int(secs / 60 % 60), int(secs % 60));
    } else if (type == ftDate || secs == 0) {
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    } else {
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, int(secs / 3600), int(secs / 60 % 60),
                      int(secs % 60));
    }
    return buf;
}

namespace {

// --------------------------------------------------- declared column types

std::string upper(const char* s) {
    std::string u = s ? s : "";
    for (char& c : u) c = char(std::toupper(static_cast<unsigned char>(c)));
    return u;
}

// Field type and size from a declared type such as "TEXT(20)", "MEMO TEXT",
// "CURRENCY", "DATE"; ftUnknown when there is none to go by.
TFieldType typeFromDecl(const char* decl, int& size) {
    size = 0;
    std::string u = upper(decl);
    if (u.empty()) return ftUnknown;
    size_t paren = u.find('(');
    if (paren != std::string::npos) size = std::atoi(u.c_str() + paren + 1);
    std::string base = u.substr(0, u.find_first_of("( "));
    auto has = [&](const char* w) { return u.find(w) != std::string::npos; };
    if (has("MEMO") || has("LONGTEXT") || has("LONGCHAR") || base == "NOTE" || base == "CLOB") return ftMemo;
    if (base == "COUNTER" || base == "AUTOINCREMENT" || base == "AUTONUMBER") return ftAutoInc;
    if (base == "SMALLINT" || base == "SHORT" || base == "INT2") return ftSmallint;
    if (base == "TINYINT" || base == "BYTE") return ftWord;
    if (base == "BIGINT" || base == "INT8") return ftLargeint;
    if (base == "INTEGER" || base == "INT" || base == "LONG" || base == "MEDIUMINT") return ftInteger;
    if (base == "CURRENCY" || base == "MONEY" || base == "SMALLMONEY") return ftCurrency;
    if (base == "BOOLEAN" || base == "BOOL" || base == "BIT" || base == "YESNO" || base == "LOGICAL") return ftBoolean;
    if (base == "DATE") return ftDate;
    if (base == "DATETIME" || base == "TIMESTAMP") return ftDateTime;
    if (base == "TIME") return ftTime;
    if (base == "IMAGE" || base == "PICTURE" || base == "GRAPHIC") return ftGraphic;
    if (base == "BLOB" || base == "LONGBINARY" || base == "BINARY" || base == "VARBINARY" || base == "OLEOBJECT")
        return ftBlob;
    if (base == "FLOAT" || base == "DOUBLE" || base == "REAL" || base == "NUMERIC" || base == "NUMBER" ||
        base == "DECIMAL" || base == "SINGLE")
        return ftFloat;
    if (has("CHAR") || has("TEXT") || base == "STRING" || has("CLOB")) {
        if (size <= 0) size = 255;
        return ftString;
    }
    return ftUnknown;
}

bool isTextType(TFieldType t) {
    return t == ftString || t == ftFixedChar || t == ftWideString || t == ftMemo || t == ftFmtMemo;
}

// One stored value of a query row: rows are kept as 16-byte cells with
// their text in one shared buffer, so that reading 100,000 rows costs no
// allocation per value; a Variant is made only when a value is read.
struct Cell {
    enum Kind : uint8_t { Null, Int, Int64, Double, Money, Date, Bool, Text, Bytes } kind = Null;
    uint32_t len = 0;
    union {
        int64_t i;
        double d;
        uint64_t off;
    };
    Cell() : i(0) {}
};

Cell textCell(std::string& arena, const void* p, int len, Cell::Kind kind) {
    Cell c;
    c.kind = kind;
    c.off = arena.size();
    c.len = uint32_t(len);
    arena.append(static_cast<const char*>(p), size_t(len));
    return c;
}

// One column of the current result row as the field type wants it.
Cell readCell(sqlite3_stmt* st, int i, TFieldType t, std::string& arena) {
    Cell c;
    if (isTextType(t)) {
        // NULL comes back as a null pointer, which saves asking for the type.
        const unsigned char* text = sqlite3_column_text(st, i);
        if (!text) return c;
        return textCell(arena, text, sqlite3_column_bytes(st, i), Cell::Text);
    }
    int storage = sqlite3_column_type(st, i);
    if (storage == SQLITE_NULL) return c;
    switch (t) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftMemo:
    case ftFmtMemo: return textCell(arena, sqlite3_column_text(st, i), sqlite3_column_bytes(st, i), Cell::Text);
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
        c.kind = Cell::Int;
        c.i = int(sqlite3_column_int64(st, i));
        return c;
    case ftLargeint:
        c.kind = Cell::Int64;
        c.i = sqlite3_column_int64(st, i);
        return c;
    case ftFloat:
        c.kind = Cell::Double;
        c.d = sqlite3_column_double(st, i);
        return c;
    case ftCurrency:
    case ftBCD:
        c.kind = Cell::Money;
        c.i = storage == SQLITE_INTEGER ? sqlite3_column_int64(st, i) * Currency::Scale
                                        : Currency::FromDouble(sqlite3_column_double(st, i)).Raw();
        return c;
    case ftBoolean:
        c.kind = Cell::Bool;
        if (storage == SQLITE_TEXT) {
            std::string s = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            c.i = SameText(s, "true") || SameText(s, "yes") || std::atof(s.c_str()) != 0;
        } else {
            c.i = sqlite3_column_double(st, i) != 0;
        }
        return c;
    case ftDate:
    case ftDateTime:
    case ftTime: {
        if (storage == SQLITE_TEXT) {
            const char* s = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            int len = sqlite3_column_bytes(st, i);
            double d;
            TDateTime tm;
            if (parseDateText(s, len, d)) {
                c.kind = Cell::Date;
                c.d = d;
            } else if (t == ftTime && TryStrToTime(std::string(s, size_t(len)), tm)) {
                c.kind = Cell::Date;
                c.d = tm.Val;
            } else if (len > 0) {
                return textCell(arena, s, len, Cell::Text);
            }
            return c;
        }
        c.kind = Cell::Date;
        c.d = sqlite3_column_double(st, i);
        return c;
    }
    case ftBlob:
    case ftGraphic: return textCell(arena, sqlite3_column_blob(st, i), sqlite3_column_bytes(st, i), Cell::Bytes);
    default: break;
    }
    switch (storage) {
    case SQLITE_INTEGER: {
        int64_t v = sqlite3_column_int64(st, i);
        c.kind = v >= INT32_MIN && v <= INT32_MAX ? Cell::Int : Cell::Int64;
        c.i = v;
        return c;
    }
    case SQLITE_FLOAT:
        c.kind = Cell::Double;
        c.d = sqlite3_column_double(st, i);
        return c;
    case SQLITE_BLOB: return textCell(arena, sqlite3_column_blob(st, i), sqlite3_column_bytes(st, i), Cell::Bytes);
    default: return textCell(arena, sqlite3_column_text(st, i), sqlite3_column_bytes(st, i), Cell::Text);
    }
}

Variant cellValue(const Cell& c, const std::string& arena) {
    switch (c.kind) {
    case Cell::Null: return Null();
    case Cell::Int: return Variant(int(c.i));
    case Cell::Int64: return Variant(static_cast<long long>(c.i));
    case Cell::Double: return Variant(c.d);
    case Cell::Money: return Variant(Currency::FromRaw(c.i));
    case Cell::Date: return Variant(TDateTime(c.d));
    case Cell::Bool: return Variant(c.i != 0);
    case Cell::Text:
    case Cell::Bytes: return Variant(std::string_view(arena.data() + c.off, c.len));
    }
    return Null();
}

// The cell and text buffers of the last closed query, kept for the next:
// filling memory the process has touched before is several times faster
// than faulting in fresh pages, and queries are opened over and over.
struct SpareBuffers {
    std::vector<Cell> cells;
    std::string arena;
};
SpareBuffers& spareBuffers() {
    static thread_local SpareBuffers spare;
    return spare;
}
// A buffer larger than this is given back rather than kept.
constexpr size_t kMaxSpareBytes = size_t(64) << 20;

// One column of the current result row as a value (for rows read back).
Variant readValue(sqlite3_stmt* st, int i, TFieldType t) {
    std::string arena;
    return cellValue(readCell(st, i, t, arena), arena);
}

void bindValue(sqlite3_stmt* st, int i, const Variant& v, TFieldType t) {
    if (v.IsNull() || v.IsEmpty()) {
        sqlite3_bind_null(st, i);
        return;
    }
    switch (t) {
    case ftDate:
    case ftDateTime:
    case ftTime: {
        double d;
        if (VarIsStr(v)) {
            std::string s = VarToStr(v);
            if (!parseDateText(s.c_str(), int(s.size()), d)) d = double(StrToDateTime(s));
        } else {
            d = double(VarToDateTime(v));
        }
        std::string text = StoredDateText(d, t);
        sqlite3_bind_text(st, i, text.c_str(), int(text.size()), SQLITE_TRANSIENT);
        return;
    }
    case ftBoolean: sqlite3_bind_int(st, i, v.AsBoolean() ? 1 : 0); return;
    case ftCurrency:
    case ftBCD: BindVariant(st, i, Variant(v.AsCurrency())); return;
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint: sqlite3_bind_int64(st, i, v.AsInt64()); return;
    case ftFloat: sqlite3_bind_double(st, i, v.AsDouble()); return;
    case ftBlob:
    case ftGraphic: {
        std::string b = VarToStr(v);
        sqlite3_bind_blob(st, i, b.data(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    default: break;
    }
    switch (v.Type()) {
    case varSmallint:
    case varInteger:
    case varInt64:
    case varByte:
    case varWord:
    case varLongWord:
    case varShortInt: sqlite3_bind_int64(st, i, v.AsInt64()); return;
    case varDouble:
    case varSingle:
        if (!isTextType(t)) {
            sqlite3_bind_double(st, i, v.AsDouble());
            return;
        }
        break;
    default: break;
    }
    std::string s = VarToStr(v);
    sqlite3_bind_text(st, i, s.c_str(), int(s.size()), SQLITE_TRANSIENT);
}

std::string quoteIdent(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

// ------------------------------------------- which table a query reads

struct Token {
    std::string text; // identifier without its quotes, or the symbol
    size_t begin = 0, end = 0;
    bool word = false;
};

std::vector<Token> tokenize(const std::string& s) {
    std::vector<Token> out;
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isspace(c)) {
            ++i;
        } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
            while (i < s.size() && s[i] != '\n') ++i;
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            size_t e = s.find("*/", i + 2);
            i = e == std::string::npos ? s.size() : e + 2;
        } else if (c == '\'') {
            size_t b = i++;
            while (i < s.size()) {
                if (s[i] == '\'') {
                    if (i + 1 < s.size() && s[i + 1] == '\'') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.push_back({"'", b, i, false});
        } else if (c == '"' || c == '[' || c == '`') {
            char close = c == '[' ? ']' : char(c);
            size_t b = i;
            size_t e = s.find(close, i + 1);
            if (e == std::string::npos) e = s.size();
            out.push_back({s.substr(i + 1, e - i - 1), b, std::min(e + 1, s.size()), true});
            i = std::min(e + 1, s.size());
        } else if (std::isalnum(c) || c == '_' || c >= 0x80 || c == '$') {
            size_t b = i;
            while (i < s.size()) {
                unsigned char d = static_cast<unsigned char>(s[i]);
                if (!(std::isalnum(d) || d == '_' || d >= 0x80 || d == '$')) break;
                ++i;
            }
            out.push_back({s.substr(b, i - b), b, i, true});
        } else {
            out.push_back({std::string(1, char(c)), i, i + 1, false});
            ++i;
        }
    }
    return out;
}

struct SingleTable {
    std::string table, alias;
    size_t selectEnd = 0; // where the select list starts
};

// The one table a statement reads, when it reads exactly one and nothing
// (grouping, DISTINCT, joins, unions) makes its rows other than the
// table's own.
bool findSingleTable(const std::string& sql, SingleTable& out) {
    auto t = tokenize(sql);
    auto is = [&](size_t k, const char* w) { return k < t.size() && t[k].word && SameText(t[k].text, w); };
    if (t.empty() || !is(0, "select")) return false;
    out.selectEnd = t[0].end;
    int depth = 0;
    size_t from = 0;
    for (size_t k = 1; k < t.size(); ++k) {
        if (t[k].text == "(" && !t[k].word)
            ++depth;
        else if (t[k].text == ")" && !t[k].word)
            --depth;
        if (depth != 0) continue;
        for (const char* w : {"distinct", "group", "union", "join", "having", "intersect", "except", "window"})
            if (is(k, w)) return false;
        if (from == 0 && is(k, "from")) from = k;
    }
    if (from == 0 || from + 1 >= t.size() || !t[from + 1].word) return false;
    out.table = t[from + 1].text;
    size_t k = from + 2;
    static const char* const kFollow[] = {"where", "order",   "limit", "group", "having", "left", "inner", "join",
                                          "cross", "natural", "union", "right", "full",   "on",   "outer"};
    auto isFollow = [&](size_t i) {
        for (const char* w : kFollow)
            if (is(i, w)) return true;
        return false;
    };
    if (is(k, "as")) ++k;
    if (k < t.size() && t[k].word && !isFollow(k)) {
        out.alias = t[k].text;
        ++k;
    }
    if (k < t.size() && t[k].text == ".") return false; // schema.table
    if (k >= t.size() || t[k].text == ";") return true;
    return is(k, "where") || is(k, "order") || is(k, "limit");
}

} // namespace

// ------------------------------------------------------------ the rows

struct TCustomADODataSet::Column {
    std::string name;
    TFieldType type = ftUnknown;
    int size = 0;
    std::string originTable, originColumn;
    bool writable = false;
    bool required = false;
};

struct TCustomADODataSet::Row {
    enum Status : uint8_t { Unchanged, Inserted, Modified, Deleted, Removed };
    // Values of a changed or inserted row, and the values before a batch
    // change; most rows never have any, so they cost one pointer.
    struct Changes {
        std::vector<Variant> vals, original;
    };
    TRecordId id = 0;
    // The values as read are cells [firstCell, firstCell + columns); once a
    // row is changed its values live in vals() instead.
    size_t firstCell = 0;
    int64_t rowid = 0;
    std::unique_ptr<Changes> ch;
    Status status = Unchanged;
    bool hasRowid = false;

    bool hasVals() const { return ch && !ch->vals.empty(); }
    std::vector<Variant>& vals() {
        if (!ch) ch = std::make_unique<Changes>();
        return ch->vals;
    }
    std::vector<Variant>& original() {
        if (!ch) ch = std::make_unique<Changes>();
        return ch->original;
    }
    void dropOriginal() {
        if (ch) ch->original.clear();
    }
};

struct TCustomADODataSet::Rows {
    std::vector<Column> cols;
    std::vector<Cell> cells;
    std::string arena;
    Variant value(const Row& r, size_t c) const {
        if (r.hasVals()) return c < r.ch->vals.size() ? r.ch->vals[c] : Null();
        return cellValue(cells[r.firstCell + c], arena);
    }
    std::vector<Variant> values(const Row& r) const {
        if (r.hasVals()) return r.ch->vals;
        std::vector<Variant> out;
        out.reserve(cols.size());
        for (size_t c = 0; c < cols.size(); ++c) out.push_back(cellValue(cells[r.firstCell + c], arena));
        return out;
    }
    void materialise(Row& r) const {
        if (!r.hasVals()) r.vals() = values(r);
    }
    std::vector<Row> all;        // all[id - 1]
    std::vector<uint32_t> order; // presented rows, as indexes into all
    // The row and order vectors of the last closed query (see SpareBuffers).
    static std::vector<Row>& spareRows() {
        static thread_local std::vector<Row> v;
        return v;
    }
    static std::vector<uint32_t>& spareOrder() {
        static thread_local std::vector<uint32_t> v;
        return v;
    }
    mutable std::vector<int> posOf;
    mutable bool posDirty = true;
    bool updatable = false;
};

TCustomADODataSet::TCustomADODataSet(TComponent* owner) : TDataSet(owner) {}

TCustomADODataSet::~TCustomADODataSet() {
    try {
        Close();
    } catch (...) {}
    if (connection_) connection_->removeDataSet(this);
}

void TCustomADODataSet::SetConnection(TADOConnection* c) {
    if (c == connection_) return;
    Close();
    if (connection_) connection_->removeDataSet(this);
    connection_ = c;
    if (connection_) connection_->addDataSet(this);
}

void TCustomADODataSet::checkConnection() const {
    if (!connection_) DatabaseError("Missing Connection or ConnectionString", this);
    OpenHandle(connection_);
}

TCustomADODataSet::Row* TCustomADODataSet::rowOf(TRecordId id) const {
    if (!rows_ || id < 1 || size_t(id) > rows_->all.size()) return nullptr;
    return &rows_->all[size_t(id - 1)];
}

void TCustomADODataSet::StoreOpen() {
    checkConnection();
    sqlite3* db = OpenHandle(connection_);
    std::string shown = Trim(CommandSql());
    if (shown.empty()) DatabaseError("CommandText does not return a result set", this);
    auto rows = std::make_unique<Rows>();
    rows->cells.swap(spareBuffers().cells);
    rows->arena.swap(spareBuffers().arena);
    rows->all.swap(Rows::spareRows());
    rows->order.swap(Rows::spareOrder());

    // A query opened again (a look-up, a list refreshed) finds its
    // statement prepared, rowid column and all.
    const std::string key = "Q" + shown;
    StatementCache& cache = TADOConnectionPrivate::get(connection_)->statements;
    bool injected = false;
    std::string singleTable;
    SqlStatement st;
    if (StatementCache::Entry kept = cache.Take(key); kept.stmt) {
        st = SqlStatement(db, kept.stmt, shown);
        injected = kept.rowidFirst;
        singleTable = kept.table;
    } else {
        const std::string sql = JetToSqlite(shown);
        SingleTable single;
        if (findSingleTable(sql, single)) {
            bool isTable = false;
            {
                SqlStatement q(db, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?1 COLLATE NOCASE", "");
                sqlite3_bind_text(q.get(), 1, single.table.c_str(), int(single.table.size()), SQLITE_TRANSIENT);
                isTable = q.step();
            }
            if (isTable) {
                std::string qualifier = quoteIdent(single.alias.empty() ? single.table : single.alias);
                std::string withRowid = sql.substr(0, single.selectEnd) + " " + qualifier + ".rowid AS \"" +
                                        kRowidAlias + "\"," + sql.substr(single.selectEnd);
                try {
                    st = SqlStatement(db, withRowid, shown);
                    injected = true;
                    singleTable = single.table;
                } catch (const EDatabaseError&) {
                    injected = false;
                }
            }
        }
        if (!injected) st = SqlStatement(db, sql, shown);
    }
    PlaceholderValues placeholders;
    placeholders.parameters = CommandParameters();
    BindPlaceholders(st.get(), placeholders, shown);
    // The first step comes before the columns are read: a statement kept
    // from before another connection changed the schema is prepared again
    // there, and its columns are then the table's as it now is.
    // A statement that returns no rows is refused before it runs.
    if (sqlite3_column_count(st.get()) == 0) DatabaseError("CommandText does not return a result set", this);
    bool more = st.step();
    sqlite3_stmt* s = st.get();
    int n = sqlite3_column_count(s);
    int first = injected ? 1 : 0;
    rows->updatable = injected;
    for (int i = first; i < n; ++i) {
        Column c;
        c.name = sqlite3_column_name(s, i) ? sqlite3_column_name(s, i) : "";
        c.type = typeFromDecl(sqlite3_column_decltype(s, i), c.size);
        const char* table = sqlite3_column_table_name(s, i);
        const char* column = sqlite3_column_origin_name(s, i);
        if (table && column) {
            c.originTable = table;
            c.originColumn = column;
            const char *dt = nullptr, *coll = nullptr;
            int notNull = 0, pk = 0, autoinc = 0;
            if (sqlite3_table_column_metadata(db, sqlite3_column_database_name(s, i), table, column, &dt, &coll,
                                              &notNull, &pk, &autoinc) == SQLITE_OK) {
                if (autoinc) c.type = ftAutoInc;
                c.required = notNull && !autoinc;
            }
            c.writable = injected && SameText(c.originTable, singleTable);
        }
        rows->cols.push_back(c);
    }
    // Duplicate names (a.Code, b.Code) get a suffix, as the class library does.
    for (size_t i = 0; i < rows->cols.size(); ++i) {
        int k = 0;
        std::string base = rows->cols[i].name;
        for (size_t j = 0; j < i; ++j) {
            if (SameText(rows->cols[j].name, rows->cols[i].name)) {
                rows->cols[i].name = base + "_" + std::to_string(++k);
                j = size_t(-1);
            }
        }
    }
    size_t ncols = rows->cols.size();
    std::vector<TFieldType> types;
    for (const Column& c : rows->cols) types.push_back(c.type);
    for (; more; more = st.step()) {
        Row& r = rows->all.emplace_back();
        r.id = TRecordId(rows->all.size());
        r.firstCell = rows->cells.size();
        if (injected) {
            r.rowid = sqlite3_column_int64(s, 0);
            r.hasRowid = sqlite3_column_type(s, 0) != SQLITE_NULL;
        }
        size_t at = rows->cells.size();
        rows->cells.resize(at + ncols);
        Cell* out = rows->cells.data() + at;
        for (size_t c = 0; c < ncols; ++c) out[c] = readCell(s, int(c) + first, types[c], rows->arena);
    }
    // Columns without a declared type (expressions, aggregates) take the
    // kind of their first value.
    for (size_t c = 0; c < ncols; ++c) {
        Column& col = rows->cols[c];
        if (col.type != ftUnknown) continue;
        col.type = ftString;
        col.size = 255;
        for (const Row& r : rows->all) {
            const Cell& v = rows->cells[r.firstCell + c];
            if (v.kind == Cell::Null) continue;
            if (v.kind == Cell::Int)
                col.type = ftInteger;
            else if (v.kind == Cell::Int64)
                col.type = ftLargeint;
            else if (v.kind == Cell::Double)
                col.type = ftFloat;
            else if (v.kind == Cell::Bytes)
                col.type = ftBlob;
            break;
        }
    }
    rows->order.reserve(rows->all.size());
    for (size_t i = 0; i < rows->all.size(); ++i) rows->order.push_back(uint32_t(i));

    FieldDefs().Clear();
    for (const Column& c : rows->cols) {
        TFieldDef& d = FieldDefs().Add(c.name, c.type, isTextType(c.type) && c.type != ftMemo ? c.size : 0, c.required);
        if (c.type == ftCurrency) d.Precision = 19;
    }
    if (KindOf(s) == StatementKind::Rows) {
        StatementCache::Entry e;
        e.rowidFirst = injected;
        e.table = singleTable;
        e.stmt = st.release();
        cache.Give(key, std::move(e));
    }
    baseTable_ = injected ? singleTable : std::string();
    rows_ = std::move(rows);
    rowsAffected_ = int(rows_->all.size());
    if (!sort_.empty()) applySort();
}

void TCustomADODataSet::StoreClose() {
    if (rows_) {
        SpareBuffers& spare = spareBuffers();
        if (rows_->cells.capacity() > spare.cells.capacity() &&
            rows_->cells.capacity() * sizeof(Cell) <= kMaxSpareBytes) {
            rows_->cells.clear();
            spare.cells.swap(rows_->cells);
        }
        if (rows_->arena.capacity() > spare.arena.capacity() && rows_->arena.capacity() <= kMaxSpareBytes) {
            rows_->arena.clear();
            spare.arena.swap(rows_->arena);
        }
        if (rows_->all.capacity() > Rows::spareRows().capacity() &&
            rows_->all.capacity() * sizeof(Row) <= kMaxSpareBytes) {
            rows_->all.clear();
            Rows::spareRows().swap(rows_->all);
        }
        if (rows_->order.capacity() > Rows::spareOrder().capacity()) {
            rows_->order.clear();
            Rows::spareOrder().swap(rows_->order);
        }
    }
    rows_.reset();
    baseTable_.clear();
}

void TCustomADODataSet::StoreRefresh() {
    StoreClose();
    StoreOpen();
}

int TCustomADODataSet::StoreRecordCount() const { return rows_ ? int(rows_->order.size()) : 0; }

TRecordId TCustomADODataSet::StoreRecordId(int pos) const { return TRecordId(rows_->order[size_t(pos)]) + 1; }

int TCustomADODataSet::StorePosition(TRecordId id) const {
    if (!rows_) return -1;
    if (rows_->posDirty) {
        rows_->posOf.assign(rows_->all.size() + 1, -1);
        for (size_t i = 0; i < rows_->order.size(); ++i) rows_->posOf[size_t(rows_->order[i]) + 1] = int(i);
        rows_->posDirty = false;
    }
    if (id < 1 || size_t(id) >= rows_->posOf.size()) return -1;
    return rows_->posOf[size_t(id)];
}

Variant TCustomADODataSet::StoreValue(TRecordId id, const TField& field) const {
    const Row* r = rowOf(id);
    if (!r) return Null();
    size_t i = size_t(field.StoreIndex());
    return i < rows_->cols.size() ? rows_->value(*r, i) : Null();
}

void TCustomADODataSet::readBack(Row& row) {
    sqlite3* db = OpenHandle(connection_);
    std::string list;
    std::vector<size_t> idx;
    for (size_t c = 0; c < rows_->cols.size(); ++c) {
        if (!rows_->cols[c].writable) continue;
        if (!list.empty()) list += ",";
        list += quoteIdent(rows_->cols[c].originColumn);
        idx.push_back(c);
    }
    if (idx.empty()) return;
    std::string sql = "SELECT " + list + " FROM " + quoteIdent(baseTable_) + " WHERE rowid=?1";
    SqlStatement st(db, sql, sql);
    sqlite3_bind_int64(st.get(), 1, row.rowid);
    if (!st.step()) return;
    rows_->materialise(row);
    for (size_t k = 0; k < idx.size(); ++k) row.vals()[idx[k]] = readValue(st.get(), int(k), rows_->cols[idx[k]].type);
}

void TCustomADODataSet::writeInsert(Row& row) {
    sqlite3* db = OpenHandle(connection_);
    std::string names, marks;
    std::vector<size_t> idx;
    for (size_t c = 0; c < rows_->cols.size(); ++c) {
        const Column& col = rows_->cols[c];
        if (!col.writable || row.vals()[c].IsNull() || row.vals()[c].IsEmpty()) continue;
        if (!names.empty()) {
            names += ",";
            marks += ",";
        }
        names += quoteIdent(col.originColumn);
        marks += "?";
        idx.push_back(c);
    }
    std::string sql = "INSERT INTO " + quoteIdent(baseTable_) +
                      (idx.empty() ? std::string(" DEFAULT VALUES") : " (" + names + ") VALUES (" + marks + ")");
    SqlStatement st(db, sql, sql);
    for (size_t k = 0; k < idx.size(); ++k)
        bindValue(st.get(), int(k) + 1, row.vals()[idx[k]], rows_->cols[idx[k]].type);
    st.run();
    row.rowid = sqlite3_last_insert_rowid(db);
    row.hasRowid = true;
    readBack(row);
    lastSavedId_ = row.rowid;
    for (size_t c = 0; c < rows_->cols.size(); ++c)
        if (rows_->cols[c].type == ftAutoInc && rows_->cols[c].writable && !row.vals()[c].IsNull())
            lastSavedId_ = row.vals()[c].AsInt64();
    rowsAffected_ = 1;
}

void TCustomADODataSet::writeUpdate(Row& row, const std::vector<Variant>& old) {
    sqlite3* db = OpenHandle(connection_);
    if (!row.hasRowid) DatabaseError("Insufficient key column information for updating or refreshing.", this);
    std::string sets;
    std::vector<size_t> idx;
    for (size_t c = 0; c < rows_->cols.size(); ++c) {
        const Column& col = rows_->cols[c];
        if (!col.writable) continue;
        const Variant& nv = row.vals()[c];
        const Variant& ov = c < old.size() ? old[c] : Variant();
        bool same = (nv.IsNull() || nv.IsEmpty())
                        ? (ov.IsNull() || ov.IsEmpty())
                        : (!ov.IsNull() && !ov.IsEmpty() && nv.Type() == ov.Type() && VariantsEqual(nv, ov));
        if (same) continue;
        if (!sets.empty()) sets += ",";
        sets += quoteIdent(col.originColumn) + "=?";
        idx.push_back(c);
    }
    rowsAffected_ = 0;
    if (idx.empty()) return;
    std::string sql = "UPDATE " + quoteIdent(baseTable_) + " SET " + sets + " WHERE rowid=?";
    SqlStatement st(db, sql, sql);
    for (size_t k = 0; k < idx.size(); ++k)
        bindValue(st.get(), int(k) + 1, row.vals()[idx[k]], rows_->cols[idx[k]].type);
    sqlite3_bind_int64(st.get(), int(idx.size()) + 1, row.rowid);
    if (st.run() == 0)
        DatabaseError("Row cannot be located for updating. Some values may have been changed since it was last read.",
                      this);
    rowsAffected_ = 1;
}

void TCustomADODataSet::writeDelete(Row& row) {
    sqlite3* db = OpenHandle(connection_);
    if (!row.hasRowid) DatabaseError("Insufficient key column information for updating or refreshing.", this);
    std::string sql = "DELETE FROM " + quoteIdent(baseTable_) + " WHERE rowid=?1";
    SqlStatement st(db, sql, sql);
    sqlite3_bind_int64(st.get(), 1, row.rowid);
    if (st.run() == 0)
        DatabaseError("Row cannot be located for updating. Some values may have been changed since it was last read.",
                      this);
    rowsAffected_ = 1;
}

TRecordId TCustomADODataSet::StorePost(const PostRequest& req) {
    bool batch = lockType_ == ltBatchOptimistic;
    size_t ncols = rows_->cols.size();
    auto fitted = [&](const std::vector<Variant>& v) {
        std::vector<Variant> out(v.begin(), v.begin() + std::min(v.size(), ncols));
        out.resize(ncols, Null());
        return out;
    };
    if (req.inserting) {
        Row& r = rows_->all.emplace_back();
        r.id = TRecordId(rows_->all.size());
        r.vals() = fitted(req.values);
        if (batch) {
            r.status = Row::Inserted;
        } else if (rows_->updatable) {
            ScopeExit refused([this] { rows_->all.pop_back(); });
            writeInsert(r);
            refused.Dismiss();
        }
        size_t at = std::min(size_t(std::max(req.position, 0)), rows_->order.size());
        rows_->order.insert(rows_->order.begin() + long(at), uint32_t(r.id - 1));
        // Appending keeps the position index whole: copying a large table
        // row by row must not rebuild it for every row.
        if (!rows_->posDirty && at + 1 == rows_->order.size()) {
            rows_->posOf.resize(rows_->all.size() + 1, -1);
            rows_->posOf[size_t(r.id)] = int(at);
        } else {
            rows_->posDirty = true;
        }
        return r.id;
    }
    Row* r = rowOf(req.id);
    if (!r) DatabaseError("Record not found", this);
    std::vector<Variant> newVals = fitted(req.values);
    if (batch) {
        if (r->status == Row::Unchanged) {
            r->original() = rows_->values(*r);
            r->status = Row::Modified;
        }
        r->vals() = std::move(newVals);
    } else if (rows_->updatable) {
        std::vector<Variant> old = rows_->values(*r);
        r->vals() = std::move(newVals);
        ScopeExit refused([&] { r->vals() = std::move(old); });
        writeUpdate(*r, old);
        refused.Dismiss();
    } else {
        r->vals() = std::move(newVals);
    }
    return r->id;
}

void TCustomADODataSet::StoreDelete(TRecordId id) {
    Row* r = rowOf(id);
    if (!r) return;
    if (lockType_ == ltBatchOptimistic) {
        r->status = r->status == Row::Inserted ? Row::Removed : Row::Deleted;
    } else {
        if (rows_->updatable) writeDelete(*r);
        r->status = Row::Removed;
    }
    int pos = StorePosition(id);
    if (pos >= 0) rows_->order.erase(rows_->order.begin() + pos);
    rows_->posDirty = true;
}

bool TCustomADODataSet::HasPendingChanges() const {
    if (!rows_) return false;
    for (const Row& r : rows_->all)
        if (r.status == Row::Inserted || r.status == Row::Modified || r.status == Row::Deleted) return true;
    return false;
}

void TCustomADODataSet::UpdateBatch() {
    CheckActive();
    CheckBrowseMode();
    if (!HasPendingChanges()) return;
    if (!rows_->updatable) DatabaseError("Insufficient key column information for updating or refreshing.", this);
    sqlite3* db = OpenHandle(connection_);
    SqlStatement(db, "SAVEPOINT update_batch", "").run();
    std::vector<std::pair<Row*, int64_t>> inserted;
    try {
        for (Row& r : rows_->all)
            if (r.status == Row::Deleted) writeDelete(r);
        for (Row& r : rows_->all) {
            if (r.status == Row::Modified) {
                writeUpdate(r, r.original());
            } else if (r.status == Row::Inserted) {
                inserted.push_back({&r, r.rowid});
                writeInsert(r);
            }
        }
    } catch (...) {
        sqlite3_exec(db, "ROLLBACK TO update_batch; RELEASE update_batch", nullptr, nullptr, nullptr);
        for (auto& [row, rowid] : inserted) {
            row->rowid = rowid;
            row->hasRowid = false;
        }
        throw;
    }
    SqlStatement(db, "RELEASE update_batch", "").run();
    TRecordId current = ActiveRecordId();
    for (Row& r : rows_->all) {
        if (r.status == Row::Deleted)
            r.status = Row::Removed;
        else if (r.status != Row::Removed)
            r.status = Row::Unchanged;
        r.dropOriginal();
    }
    Resync(current);
}

void TCustomADODataSet::CancelBatch() {
    CheckActive();
    if (State() == dsEdit || State() == dsInsert) Cancel();
    if (!rows_) return;
    TRecordId current = ActiveRecordId();
    for (Row& r : rows_->all) {
        switch (r.status) {
        case Row::Inserted: r.status = Row::Removed; break;
        case Row::Modified:
            r.vals() = std::move(r.original());
            r.dropOriginal();
            r.status = Row::Unchanged;
            break;
        case Row::Deleted: r.status = Row::Unchanged; break;
        default: break;
        }
    }
    rows_->order.clear();
    for (size_t i = 0; i < rows_->all.size(); ++i)
        if (rows_->all[i].status != Row::Removed) rows_->order.push_back(uint32_t(i));
    rows_->posDirty = true;
    if (!sort_.empty()) applySort();
    Resync(current);
}

// ------------------------------------------------------------- sorting

void TCustomADODataSet::applySort() {
    if (!rows_) return;
    struct Key {
        size_t col;
        bool desc;
        bool text;
    };
    std::vector<Key> keys;
    std::string sortText = sort_;
    size_t start = 0;
    while (start < sortText.size()) {
        size_t comma = sortText.find(',', start);
        std::string part = Trim(sortText.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        start = comma == std::string::npos ? sortText.size() : comma + 1;
        if (part.empty()) continue;
        bool desc = false;
        size_t sp = part.find_last_of(' ');
        if (sp != std::string::npos) {
            std::string dir = Trim(part.substr(sp + 1));
            if (SameText(dir, "DESC") || SameText(dir, "ASC")) {
                desc = SameText(dir, "DESC");
                part = Trim(part.substr(0, sp));
            }
        }
        if (part.size() >= 2 && part.front() == '[' && part.back() == ']') part = part.substr(1, part.size() - 2);
        size_t c = 0;
        while (c < rows_->cols.size() && !SameText(rows_->cols[c].name, part)) ++c;
        if (c == rows_->cols.size()) DatabaseError("Field '" + part + "' not found", this);
        keys.push_back({c, desc, isTextType(rows_->cols[c].type)});
    }
    auto& order = rows_->order;
    if (keys.empty()) {
        std::sort(order.begin(), order.end());
    } else {
        const auto& all = rows_->all;
        std::stable_sort(order.begin(), order.end(), [&](uint32_t ia, uint32_t ib) {
            const Row* a = &all[ia];
            const Row* b = &all[ib];
            for (const Key& k : keys) {
                Variant x = rows_->value(*a, k.col);
                Variant y = rows_->value(*b, k.col);
                bool xn = x.IsNull() || x.IsEmpty(), yn = y.IsNull() || y.IsEmpty();
                int c;
                if (xn || yn)
                    c = xn == yn ? 0 : (xn ? -1 : 1);
                else if (k.text)
                    c = AnsiCompareText(VarToStr(x), VarToStr(y));
                else
                    c = VarCompareValue(x, y);
                if (c != 0) return k.desc ? c > 0 : c < 0;
            }
            return false;
        });
    }
    rows_->posDirty = true;
}

void TCustomADODataSet::SetSort(const std::string& s) {
    if (Active()) CheckBrowseMode();
    std::string old = sort_;
    sort_ = s;
    if (!Active()) return;
    TRecordId current = ActiveRecordId();
    ScopeExit refused([&] { sort_ = old; });
    applySort();
    refused.Dismiss();
    Resync(current);
}

void TCustomADODataSet::Requery() {
    if (Active()) CheckBrowseMode();
    Close();
    Open();
}

// ----------------------------------------------------------------- query

std::string TSqlStrings::Text() const {
    if (hasExact_ && ToVector() == exactLines_) return exact_;
    return TStringList::Text();
}

void TSqlStrings::SetText(const std::string& text) {
    hasExact_ = false;
    TStringList::SetText(text);
    exact_ = text;
    exactLines_ = ToVector();
    hasExact_ = true;
}

TADOQuery::TADOQuery(TComponent* owner) : TCustomADODataSet(owner) {
    sql_.OnChange = [this](TObject*) {
        Close();
        params_.ParseSQL(sql_.Text());
    };
}

void TADOQuery::SetStatement(const TBoundSql& s) {
    // The same text with other values is another statement too.
    Close();
    sql_.SetText(s.Text);
    params_.AssignValues(s.Values);
}

TADOQuery::~TADOQuery() {
    sql_.OnChange = nullptr;
    try {
        Close();
    } catch (...) {}
}

int TADOQuery::ExecSQL() {
    if (!Connection()) DatabaseError("Missing Connection or ConnectionString", this);
    PlaceholderValues placeholders;
    placeholders.parameters = &params_;
    rowsAffected_ = ExecuteStatements(Connection(), CommandSql(), placeholders);
    return rowsAffected_;
}
