// The two file formats of the in-memory table, as pure byte-level codecs:
// the line-oriented text format (quoted comma cells, escapes, six-bit blobs,
// fixed number and date forms, GBK on disk) and the binary format of tagged
// values behind the "TPF0" signature. Nothing here knows a data set: the
// table (VqMemTable.cpp) turns its records into these structures and back,
// so every reader can be run on hostile bytes without a table around it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "VqMemTableError.h"

namespace VqMemFile {

// Field type numbers as both formats name them.
enum TypeNo : int {
    tnUnknown = 0,
    tnString,
    tnSmallInt,
    tnInteger,
    tnWord,
    tnBoolean,
    tnFloat,
    tnCurrency,
    tnBCD,
    tnDate,
    tnTime,
    tnDateTime,
    tnBytes,
    tnVarBytes,
    tnAutoInc,
    tnBlob,
    tnMemo,
    tnGraphic,
    tnFmtMemo,
    tnParadoxOle,
    tnDBaseOle,
    tnTypedBinary,
    tnCursor,
    tnFixedChar,
    tnWideString,
    tnLargeInt,
    tnADT,
    tnArray,
    tnReference,
    tnDataSet,
    tnOraBlob,
    tnOraClob,
    tnVariant,
    tnInterface,
    tnDispatch,
    tnGuid,
    tnSQLTimeStamp,
    tnFMTBcd
};

// "String", "SmallInt", ... for 0..37; "" outside.
std::string_view TypeName(int type);
// The type a reader accepts for a name (1..21, 23..27, case-sensitive),
// or -1.
int TypeFromName(std::string_view name);

// Texts written with escapes (text-format cells).
bool IsTextType(int type);
// Bytes written as six-bit text.
bool IsBytesType(int type);
// The fields that only mtfSaveBlobs selects.
bool IsBlobLike(int type);

// --- text-format pieces -------------------------------------------------

// Zero -> "%0", LF -> "%n", CR -> "%c", "%" -> "%%"; nothing else.
std::string EscapeText(std::string_view s);
// The reverse; a "%" before any other character (or at the end) is kept.
std::string UnescapeText(std::string_view s);

// Six bits per character, least significant bits of each byte first,
// characters " " (0) to "_" (63); (4n + 2) / 3 characters.
std::string BytesToSixBit(std::string_view bytes);
// (length * 3) / 4 bytes back; a character outside " ".."_" throws.
std::string SixBitToBytes(std::string_view text);

// "text" with inner quotes doubled.
std::string QuoteCell(std::string_view s);

// Reads one cell of a line from `pos`: skips up to the first quote or
// comma. Returns false when neither is left (no cell). Sets `cell` to
// nullopt for an empty cell, else to the unquoted text. `pos` ends after
// the cell's comma. An unterminated quote throws.
bool ReadCell(std::string_view line, size_t& pos, std::optional<std::string>& cell);

// Number and date forms the text format uses whatever the locale:
// "." decimals, "dd/mm/yyyy", "hh:nn:ss". Day numbers count from
// 1899-12-30.
std::string FormatFloatText(double v);
std::string FormatDateText(double dayNumber);
std::string FormatTimeText(double dayNumber);
std::string FormatDateTimeText(double dayNumber);

// --- values ---------------------------------------------------------------

// Text as the binary format's short tags carry it: bytes in the system code
// page (GBK), which only the field it lands in can interpret (a text field
// converts, a blob field keeps the bytes).
struct CodePageText {
    std::string Bytes;
    bool operator==(const CodePageText&) const = default;
};

// A field value on its way to or from a file. Texts are UTF-8, bytes travel
// as std::string too.
using Value = std::variant<std::monostate, int64_t, bool, double, std::string, CodePageText>;

// Converts a text-format cell (escapes still in it) into the value of a
// field of `type`; throws EMemTableError with `fieldName` on a text the
// field cannot take. `trueText`/`falseText` are the Boolean field's own
// text forms, also accepted besides "True"/"False".
Value CellToValue(int type, int size, const std::string& cell, std::string_view fieldName,
                  std::string_view trueText = {}, std::string_view falseText = {});
// The cell content (quoted, escapes applied) of a non-null value. Booleans
// use the given texts ("True"/"False" when empty).
std::string ValueToCell(int type, const Value& v, std::string_view trueText = {}, std::string_view falseText = {});

// --- definitions and whole files -----------------------------------------

struct FieldDef {
    std::string Name;
    int Type = tnString;
    int Size = 0;
    std::string DisplayName;
    std::string EditMask;
    int DisplayWidth = 0;
    bool Required = false;
    bool ReadOnly = false;
    bool Invisible = false;
    bool operator==(const FieldDef&) const = default;
};

struct IndexDef {
    std::string Name;
    std::string Fields;
    std::string DisplayName;
    bool Descending = false;
    bool CaseInsensitive = false;
    bool NonMaintained = false;
    bool Unique = false;
    bool operator==(const IndexDef&) const = default;
};

// The cell content of a definition line, e.g.
// Code=String,20,"条码","",10,REQ
std::string FieldDefText(const FieldDef& d);
std::string IndexDefText(const IndexDef& d);

// Accumulates a text file line by line in UTF-8; Finish() gives the GBK
// bytes with CR LF line ends.
class TextWriter {
public:
    void DefinitionBlock(const std::vector<FieldDef>& fields, const std::vector<IndexDef>* indexes);
    void NamesLine(const std::vector<std::string>& names);
    void BeginRecord();
    void NullCell();
    void Cell(std::string_view quotedCell);
    // `dropLastComma`: the table's last record was written, so its line
    // loses the final comma.
    std::string Finish(bool dropLastComma);

private:
    std::string out_;
    size_t lastRecordStart_ = std::string::npos;
};

struct TextFile {
    bool DefinitionBlock = false; // "@@TABLEDEF START@@" .. "@@TABLEDEF END@@"
    bool IndexBlock = false;      // "@@INDEXDEF START@@" .. "@@INDEXDEF END@@"
    std::vector<FieldDef> Fields;
    std::vector<IndexDef> Indexes;
    // Raw cells of each record line, escapes still in; nullopt is empty.
    std::vector<std::vector<std::optional<std::string>>> Rows;
};

// Parses a whole text file (GBK bytes). Throws EMemTableError on an
// unknown type name, a malformed definition, an unterminated quote or a
// definition block that does not end.
TextFile ParseTextFile(std::string_view gbkBytes);

// Tagged values of the binary format, little-endian.
class ValueWriter {
public:
    void Signature(); // "TPF0"
    void ListBegin() { out_.push_back(1); }
    void ListEnd() { out_.push_back(0); }
    void Integer(int64_t v);
    void Boolean(bool v) { out_.push_back(v ? 9 : 8); }
    void Float(double v);
    void Text(std::string_view utf8);
    // Bytes under the short text tags, unconverted (blob values).
    void CodePageBytes(std::string_view bytes);
    const std::string& Bytes() const { return out_; }

private:
    void Tagged(int shortTag, int longTag, std::string_view bytes);
    std::string out_;
};

// Reads tagged values from a buffer it never reads past; every shortfall or
// unexpected tag throws EMemTableError.
class ValueReader {
public:
    explicit ValueReader(std::string_view data) : d_(data) {}
    void Signature();
    bool EndOfList() const; // next byte is the list end (0)
    void ListBegin();
    void ListEnd();
    int NextTag() const;
    int64_t Integer();
    bool Boolean();
    double Float();     // an integer is taken as a float too
    std::string Text(); // UTF-8
    Value Any();        // whatever value comes next
    size_t Position() const { return p_; }

private:
    uint8_t Byte();
    std::string_view Take(size_t n);
    std::string_view d_;
    size_t p_ = 0;
};

struct BinaryFile {
    std::vector<FieldDef> Fields; // empty when written without definitions
    std::vector<IndexDef> Indexes;
    std::vector<std::vector<Value>> Rows;
};

// Turns a value read from a binary file into the value of a field of `type`
// (integers, Booleans, floats and texts must match the field; Currency and
// BCD round to four decimals; a date of 0 is null). Throws EMemTableError
// naming the field on a mismatch.
Value BinaryToValue(int type, const Value& v, std::string_view fieldName);
// Writes a field value (null as the type's zero or empty text).
void WriteBinaryValue(ValueWriter& w, int type, const Value& v);

// Parses a whole binary file. Records are split by the number of fields the
// file defines, or `tableFieldCount` when it defines none.
BinaryFile ParseBinaryFile(std::string_view bytes, int tableFieldCount);

// The 10-byte x87 extended number, little-endian, by hand.
void DoubleToExtended(double v, uint8_t out[10]);
double ExtendedToDouble(const uint8_t in[10]);

} // namespace VqMemFile
