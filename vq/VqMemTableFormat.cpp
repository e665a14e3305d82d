// Byte-level codecs of the in-memory table's text and binary files. Every
// reader here works on a bounded buffer and throws EMemTableError before it
// would step past it; the table applies a parsed file only once the whole
// file has been read and checked.
#include "VqMemTableFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "Gbk.h"
#include "SysUtils.h"

namespace VqMemFile {

namespace {

constexpr std::string_view kTypeNames[] = {
    "Unknown",    "String",    "SmallInt", "Integer",    "Word",         "Boolean",     "Float",   "Currency",
    "BCD",        "Date",      "Time",     "DateTime",   "Bytes",        "VarBytes",    "AutoInc", "Blob",
    "Memo",       "Graphic",   "FmtMemo",  "ParadoxOle", "dBaseOle",     "TypedBinary", "Cursor",  "FixedChar",
    "WideString", "LargeInt",  "ADT",      "Array",      "Reference",    "DataSet",     "OraBlob", "OraClob",
    "Variant",    "Interface", "Dispatch", "Guid",       "SQLTimeStamp", "FMTBcdField"};

[[noreturn]] void Fail(const std::string& text) { throw EMemTableError(text); }

constexpr int64_t kDelphiEpoch = -25569; // 1899-12-30 in days from 1970

std::string Two(int v) {
    char b[3] = {char('0' + v / 10 % 10), char('0' + v % 10), 0};
    return b;
}

// Splits a day number into whole day and milliseconds of the day, carrying a
// rounded-up midnight into the next day.
void SplitDay(double v, int64_t& day, int64_t& ms) {
    day = int64_t(std::trunc(v));
    ms = int64_t(std::llround(std::fabs(v - double(day)) * 86400000.0));
    if (ms >= 86400000) {
        ms -= 86400000;
        day += v < 0 ? -1 : 1;
    }
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

int ToInt(std::string_view s) {
    int v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
}

std::string_view TrimView(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

bool ParseDatePart(std::string_view s, double& out) {
    const size_t a = s.find('/');
    if (a == std::string_view::npos) return false;
    const size_t b = s.find('/', a + 1);
    if (b == std::string_view::npos) return false;
    const auto ds = s.substr(0, a), ms = s.substr(a + 1, b - a - 1), ys = s.substr(b + 1);
    if (!AllDigits(ds) || !AllDigits(ms) || !AllDigits(ys) || ds.size() > 2 || ms.size() > 2 || ys.size() > 4)
        return false;
    const int d = ToInt(ds), m = ToInt(ms), y = ToInt(ys);
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || m < 1 || m > 12 || d < 1) return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (d > kDays[m - 1] + (m == 2 && leap ? 1 : 0)) return false;
    out = double(DaysFromCivil(y, unsigned(m), unsigned(d)) - kDelphiEpoch);
    return true;
}

bool ParseTimePart(std::string_view s, double& out) {
    int parts[3] = {0, 0, 0};
    int n = 0;
    size_t start = 0;
    while (true) {
        const size_t c = s.find(':', start);
        const auto item = s.substr(start, c == std::string_view::npos ? std::string_view::npos : c - start);
        if (n == 3 || !AllDigits(item) || item.size() > 2) return false;
        parts[n++] = ToInt(item);
        if (c == std::string_view::npos) break;
        start = c + 1;
    }
    if (n < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return false;
    out = (parts[0] * 3600.0 + parts[1] * 60.0 + parts[2]) / 86400.0;
    return true;
}

bool ParseFloatText(std::string_view s, double& out) {
    s = TrimView(s);
    std::string clean;
    for (char c : s)
        if (c != ',') clean.push_back(c); // thousands separators
    if (clean == "NAN") {
        out = std::nan("");
        return true;
    }
    if (clean == "INF") {
        out = HUGE_VAL;
        return true;
    }
    if (clean == "-INF") {
        out = -HUGE_VAL;
        return true;
    }
    const char* b = clean.data();
    const char* e = b + clean.size();
    if (b != e && *b == '+') ++b;
    if (b == e) return false;
    const auto r = std::from_chars(b, e, out);
    return r.ec == std::errc() && r.ptr == e;
}

bool ParseIntText(std::string_view s, int64_t& out) {
    s = TrimView(s);
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    if (s.empty()) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), out);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

bool IsSevenBit(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 128) return false;
    return true;
}

std::string ToUtf8(std::string_view codePage) {
    return IsSevenBit(codePage) ? std::string(codePage) : GbkToUtf8(codePage);
}

// Comma text: items separated by commas or blanks, quoted items with doubled
// quotes inside.
std::vector<std::string> SplitCommaText(std::string_view s) {
    std::vector<std::string> items;
    size_t p = 0;
    auto skipBlanks = [&] {
        while (p < s.size() && static_cast<unsigned char>(s[p]) <= ' ') ++p;
    };
    skipBlanks();
    while (p < s.size()) {
        std::string item;
        if (s[p] == '"') {
            ++p;
            while (p < s.size()) {
                if (s[p] == '"') {
                    if (p + 1 < s.size() && s[p + 1] == '"') {
                        item.push_back('"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item.push_back(s[p++]);
            }
        } else {
            while (p < s.size() && s[p] != ',' && static_cast<unsigned char>(s[p]) > ' ') item.push_back(s[p++]);
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (p < s.size() && s[p] == ',') {
            ++p;
            skipBlanks();
            if (p == s.size()) items.emplace_back();
        }
    }
    return items;
}

int DefInteger(const std::string& s) {
    int64_t v = 0;
    if (!ParseIntText(s, v) || v < INT32_MIN || v > INT32_MAX) Fail("'" + s + "' is not a valid integer value");
    return int(v);
}

bool HasFlag(const std::vector<std::string>& items, size_t from, std::string_view flag) {
    for (size_t i = from; i < items.size(); ++i)
        if (items[i] == flag) return true;
    return false;
}

FieldDef ParseFieldDefLine(const std::string& text) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos) Fail("Malformed field definition (" + text + ") in CSV file.");
    FieldDef d;
    d.Name = text.substr(0, eq);
    const auto items = SplitCommaText(std::string_view(text).substr(eq + 1));
    const std::string typeName = items.empty() ? std::string() : items[0];
    d.Type = TypeFromName(typeName);
    if (d.Type < 0) Fail("Unknown field type (" + typeName + ") in CSV file. (" + text + ")");
    if (items.size() < 5) Fail("Malformed field definition (" + text + ") in CSV file.");
    d.Size = DefInteger(items[1]);
    d.DisplayName = items[2];
    d.EditMask = items[3];
    d.DisplayWidth = DefInteger(items[4]);
    d.Required = HasFlag(items, 5, "REQ");
    d.ReadOnly = HasFlag(items, 5, "RO");
    d.Invisible = HasFlag(items, 5, "INV");
    return d;
}

IndexDef ParseIndexDefLine(const std::string& text) {
    const size_t eq = text.find('=');
    if (eq == std::string::npos) Fail("Malformed index definition (" + text + ") in CSV file.");
    const auto items = SplitCommaText(std::string_view(text).substr(eq + 1));
    if (items.empty()) Fail("Malformed index definition (" + text + ") in CSV file.");
    IndexDef d;
    d.Fields = items[0];
    d.Name = items.size() > 1 ? items[1] : text.substr(0, eq);
    d.DisplayName = d.Name;
    d.Descending = HasFlag(items, 2, "DESC");
    d.CaseInsensitive = HasFlag(items, 2, "CASE");
    d.NonMaintained = HasFlag(items, 2, "NONMT");
    d.Unique = HasFlag(items, 2, "UNIQ");
    return d;
}

} // namespace

std::string_view TypeName(int type) {
    if (type < 0 || type > tnFMTBcd) return {};
    return kTypeNames[type];
}

int TypeFromName(std::string_view name) {
    for (int t = tnString; t <= tnArray; ++t)
        if (t != tnCursor && kTypeNames[t] == name) return t;
    return -1;
}

bool IsTextType(int t) {
    return t == tnString || t == tnMemo || t == tnFmtMemo || t == tnFixedChar || t == tnWideString;
}

bool IsBytesType(int t) {
    return t == tnBytes || t == tnVarBytes || t == tnBlob || t == tnGraphic || t == tnParadoxOle || t == tnDBaseOle ||
           t == tnTypedBinary;
}

bool IsBlobLike(int t) {
    return t == tnVarBytes || t == tnBlob || t == tnMemo || t == tnGraphic || t == tnFmtMemo || t == tnParadoxOle ||
           t == tnDBaseOle || t == tnTypedBinary;
}

std::string EscapeText(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '\0': r += "%0"; break;
        case '\n': r += "%n"; break;
        case '\r': r += "%c"; break;
        case '%': r += "%%"; break;
        default: r.push_back(c);
        }
    }
    return r;
}

std::string UnescapeText(std::string_view s) {
    std::string r;
    r.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 1 < s.size()) {
            const char n = s[i + 1];
            const char c = n == '%' ? '%' : n == '0' ? '\0' : n == 'n' ? '\n' : n == 'c' ? '\r' : 1;
            if (c != 1) {
                r.push_back(c);
                ++i;
                continue;
            }
        }
        r.push_back(s[i]);
    }
    return r;
}

std::string BytesToSixBit(std::string_view bytes) {
    std::string r;
    r.reserve((4 * bytes.size() + 2) / 3);
    uint32_t acc = 0;
    int bits = 0;
    for (unsigned char b : bytes) {
        acc |= uint32_t(b) << bits;
        bits += 8;
        while (bits >= 6) {
            r.push_back(char((acc & 63) + 32));
            acc >>= 6;
            bits -= 6;
        }
    }
    if (bits > 0) r.push_back(char((acc & 63) + 32));
    return r;
}

std::string SixBitToBytes(std::string_view text) {
    const size_t n = text.size() * 3 / 4;
    std::string r;
    r.reserve(n);
    uint32_t acc = 0;
    int bits = 0;
    for (unsigned char c : text) {
        if (c < 32 || c > 95) Fail("Invalid character in blob text (code " + std::to_string(c) + ").");
        acc |= uint32_t(c - 32) << bits;
        bits += 6;
        if (bits >= 8) {
            if (r.size() < n) r.push_back(char(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    return r;
}

std::string QuoteCell(std::string_view s) {
    std::string r;
    r.reserve(s.size() + 2);
    r.push_back('"');
    for (char c : s) {
        if (c == '"') r.push_back('"');
        r.push_back(c);
    }
    r.push_back('"');
    return r;
}

bool ReadCell(std::string_view line, size_t& pos, std::optional<std::string>& cell) {
    while (pos < line.size() && line[pos] != '"' && line[pos] != ',') ++pos;
    if (pos >= line.size()) return false;
    if (line[pos] == ',') {
        ++pos;
        cell.reset();
        return true;
    }
    std::string text;
    size_t p = pos + 1;
    while (true) {
        if (p >= line.size()) Fail("Quoted text does not end in CSV line (" + std::string(line) + ").");
        if (line[p] == '"') {
            if (p + 1 < line.size() && line[p + 1] == '"') {
                text.push_back('"');
                p += 2;
                continue;
            }
            break;
        }
        text.push_back(line[p++]);
    }
    pos = std::min(line.size(), p + 2);
    cell = std::move(text);
    return true;
}

std::string FormatFloatText(double v) {
    if (std::isnan(v)) return "NAN";
    if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
    if (v == 0) return "0";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    const std::string sci(buf, r.ptr);
    const size_t e = sci.find('e');
    const int exp = std::stoi(sci.substr(e + 1));
    std::string digits;
    const bool neg = sci[0] == '-';
    for (size_t i = neg ? 1 : 0; i < e; ++i)
        if (sci[i] != '.') digits.push_back(sci[i]);
    std::string out = neg ? "-" : "";
    if (exp >= 15 || exp < -5) {
        out += digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += "E" + std::to_string(exp);
        return out;
    }
    if (exp < 0) {
        out += "0." + std::string(size_t(-exp - 1), '0') + digits;
    } else if (size_t(exp) + 1 >= digits.size()) {
        out += digits + std::string(size_t(exp) + 1 - digits.size(), '0');
    } else {
        out += digits.substr(0, size_t(exp) + 1) + "." + digits.substr(size_t(exp) + 1);
    }
    return out;
}

std::string FormatDateText(double dayNumber) {
    int64_t day, ms;
    SplitDay(dayNumber, day, ms);
    int y, m, d;
    CivilFromDays(day + kDelphiEpoch, y, m, d);
    std::string ys = std::to_string(y);
    if (ys.size() < 4) ys.insert(0, 4 - ys.size(), '0');
    return Two(d) + "/" + Two(m) + "/" + ys;
}

std::string FormatTimeText(double dayNumber) {
    int64_t day, ms;
    SplitDay(dayNumber, day, ms);
    const int64_t s = ms / 1000;
    return Two(int(s / 3600)) + ":" + Two(int(s / 60 % 60)) + ":" + Two(int(s % 60));
}

std::string FormatDateTimeText(double dayNumber) {
    int64_t day, ms;
    SplitDay(dayNumber, day, ms);
    std::string r = FormatDateText(dayNumber);
    if (ms / 1000 != 0) r += " " + FormatTimeText(dayNumber);
    return r;
}

Value CellToValue(int type, int size, const std::string& cell, std::string_view fieldName, std::string_view trueText,
                  std::string_view falseText) {
    const std::string field(fieldName);
    if (IsTextType(type)) return UnescapeText(cell);
    if (IsBytesType(type)) return SixBitToBytes(cell);
    switch (type) {
    case tnSmallInt:
    case tnInteger:
    case tnWord:
    case tnAutoInc:
    case tnLargeInt: {
        int64_t v = 0;
        bool ok = ParseIntText(cell, v);
        if (ok && type == tnSmallInt) ok = v >= -32768 && v <= 32767;
        if (ok && type == tnWord) ok = v >= 0 && v <= 65535;
        if (ok && (type == tnInteger || type == tnAutoInc)) ok = v >= INT32_MIN && v <= INT32_MAX;
        if (!ok) Fail("'" + cell + "' is not a valid integer value for field '" + field + "'");
        return v;
    }
    case tnBoolean: {
        const auto t = TrimView(cell);
        auto same = [](std::string_view a, std::string_view b) {
            if (a.size() != b.size()) return false;
            for (size_t i = 0; i < a.size(); ++i)
                if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
                    return false;
            return true;
        };
        if (same(t, "True") || (!trueText.empty() && same(t, trueText))) return true;
        if (same(t, "False") || (!falseText.empty() && same(t, falseText))) return false;
        Fail("'" + cell + "' is not a valid boolean value for field '" + field + "'");
    }
    case tnFloat:
    case tnCurrency:
    case tnBCD: {
        double v = 0;
        if (!ParseFloatText(cell, v))
            Fail("'" + cell + "' is not a valid floating point value for field '" + field + "'");
        return v;
    }
    case tnDate: {
        double v = 0;
        if (!ParseDatePart(TrimView(cell), v)) Fail("'" + cell + "' is not a valid date for field '" + field + "'");
        return v;
    }
    case tnTime: {
        double v = 0;
        if (!ParseTimePart(TrimView(cell), v)) Fail("'" + cell + "' is not a valid time for field '" + field + "'");
        return v;
    }
    case tnDateTime: {
        const auto t = TrimView(cell);
        const size_t sp = t.find(' ');
        double d = 0, tm = 0;
        bool ok = ParseDatePart(t.substr(0, sp), d);
        if (ok && sp != std::string_view::npos) ok = ParseTimePart(TrimView(t.substr(sp + 1)), tm);
        if (!ok) Fail("'" + cell + "' is not a valid date and time for field '" + field + "'");
        return d < 0 ? d - tm : d + tm;
    }
    default: return cell;
    }
    (void)size;
}

std::string ValueToCell(int type, const Value& v, std::string_view trueText, std::string_view falseText) {
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (IsBytesType(type)) return QuoteCell(BytesToSixBit(*s));
        if (IsTextType(type)) return QuoteCell(EscapeText(*s));
        return QuoteCell(std::string_view(s->c_str()));
    }
    if (const auto* s = std::get_if<CodePageText>(&v)) return QuoteCell(BytesToSixBit(s->Bytes));
    if (const auto* i = std::get_if<int64_t>(&v)) return QuoteCell(std::to_string(*i));
    if (const auto* b = std::get_if<bool>(&v))
        return QuoteCell(*b ? (trueText.empty() ? "True" : trueText) : (falseText.empty() ? "False" : falseText));
    if (const auto* d = std::get_if<double>(&v)) {
        switch (type) {
        case tnDate: return QuoteCell(FormatDateText(*d));
        case tnTime: return QuoteCell(FormatTimeText(*d));
        case tnDateTime: return QuoteCell(FormatDateTimeText(*d));
        default: return QuoteCell(FormatFloatText(*d));
        }
    }
    return {};
}

std::string FieldDefText(const FieldDef& d) {
    std::string r = d.Name + "=" + std::string(TypeName(d.Type)) + "," + std::to_string(d.Size) + "," +
                    QuoteCell(d.DisplayName) + "," + QuoteCell(d.EditMask) + "," + std::to_string(d.DisplayWidth);
    if (d.Required) r += ",REQ";
    if (d.ReadOnly) r += ",RO";
    return r;
}

std::string IndexDefText(const IndexDef& d) {
    std::string r = d.Name + "=" + QuoteCell(d.Fields) + "," + QuoteCell(d.DisplayName);
    if (d.Descending) r += ",DESC";
    if (d.CaseInsensitive) r += ",CASE";
    if (d.NonMaintained) r += ",NONMT";
    if (d.Unique) r += ",UNIQ";
    return r;
}

void TextWriter::DefinitionBlock(const std::vector<FieldDef>& fields, const std::vector<IndexDef>* indexes) {
    out_ += QuoteCell("@@FILE VERSION@@") + "," + QuoteCell("200") + "\r\n";
    out_ += QuoteCell("@@TABLEDEF START@@") + "\r\n";
    for (const auto& f : fields) out_ += QuoteCell(FieldDefText(f)) + "\r\n";
    if (indexes) {
        out_ += QuoteCell("@@INDEXDEF START@@") + "\r\n";
        for (const auto& i : *indexes) out_ += QuoteCell(IndexDefText(i)) + "\r\n";
        out_ += QuoteCell("@@INDEXDEF END@@") + "\r\n";
    }
    out_ += QuoteCell("@@TABLEDEF END@@") + "\r\n";
}

void TextWriter::NamesLine(const std::vector<std::string>& names) {
    for (const auto& n : names) out_ += QuoteCell(n) + ",";
    out_ += "\r\n";
}

void TextWriter::BeginRecord() {
    if (lastRecordStart_ != std::string::npos) out_ += "\r\n";
    lastRecordStart_ = out_.size();
}

void TextWriter::NullCell() { out_ += ","; }

void TextWriter::Cell(std::string_view quotedCell) {
    out_ += quotedCell;
    out_ += ",";
}

std::string TextWriter::Finish(bool dropLastComma) {
    if (lastRecordStart_ != std::string::npos) {
        if (dropLastComma && out_.size() > lastRecordStart_ && out_.back() == ',') out_.pop_back();
        out_ += "\r\n";
    }
    return Utf8ToGbk(out_);
}

TextFile ParseTextFile(std::string_view gbkBytes) {
    const std::string text = GbkToUtf8(gbkBytes);
    TextFile f;
    enum { Header, InFields, InIndexes, Records } state = Header;
    bool fieldBlockOpen = false;
    size_t p = 0;
    while (p < text.size()) {
        while (p < text.size() && (text[p] == '\0' || text[p] == '\n' || text[p] == '\r')) ++p;
        if (p >= text.size()) break;
        size_t e = p;
        while (e < text.size() && text[e] != '\0' && text[e] != '\n' && text[e] != '\r') ++e;
        const std::string_view line(text.data() + p, e - p);
        p = e;
        size_t pos = 0;
        std::optional<std::string> cell;
        if (state == Records) {
            std::vector<std::optional<std::string>> row;
            while (pos < line.size() && ReadCell(line, pos, cell)) row.push_back(std::move(cell));
            f.Rows.push_back(std::move(row));
            continue;
        }
        if (!ReadCell(line, pos, cell)) cell.reset();
        const std::string first = cell.value_or(std::string());
        if (first == "@@FILE VERSION@@") {
            ReadCell(line, pos, cell);
        } else if (first == "@@TABLEDEF START@@") {
            f.DefinitionBlock = true;
            fieldBlockOpen = true;
            f.Fields.clear();
            state = InFields;
        } else if (first == "@@TABLEDEF END@@") {
            if (state == InIndexes) Fail("Index definitions do not end in CSV file.");
            fieldBlockOpen = false;
            state = Header;
        } else if (first == "@@INDEXDEF START@@") {
            f.IndexBlock = true;
            f.Indexes.clear();
            state = InIndexes;
        } else if (first == "@@INDEXDEF END@@") {
            state = fieldBlockOpen ? InFields : Header;
        } else if (state == InIndexes) {
            f.Indexes.push_back(ParseIndexDefLine(first));
        } else if (state == InFields) {
            f.Fields.push_back(ParseFieldDefLine(first));
        } else {
            state = Records; // the names line
        }
    }
    if (state == InIndexes) Fail("Index definitions do not end in CSV file.");
    if (fieldBlockOpen) Fail("Table definition does not end in CSV file.");
    return f;
}

// --- binary ----------------------------------------------------------------

void DoubleToExtended(double v, uint8_t out[10]) {
    uint64_t mant = 0;
    uint16_t se = std::signbit(v) ? 0x8000 : 0;
    if (std::isnan(v)) {
        se |= 0x7FFF;
        mant = 0xC000000000000000ull;
    } else if (std::isinf(v)) {
        se |= 0x7FFF;
        mant = 0x8000000000000000ull;
    } else if (v != 0) {
        int e = 0;
        const double m = std::frexp(std::fabs(v), &e); // m in [0.5, 1)
        mant = uint64_t(std::ldexp(m, 64));            // exact: 53 bits at most
        se |= uint16_t(e - 1 + 16383);
    }
    for (int i = 0; i < 8; ++i) out[i] = uint8_t(mant >> (8 * i));
    out[8] = uint8_t(se);
    out[9] = uint8_t(se >> 8);
}

double ExtendedToDouble(const uint8_t in[10]) {
    uint64_t mant = 0;
    for (int i = 0; i < 8; ++i) mant |= uint64_t(in[i]) << (8 * i);
    const int se = in[8] | (in[9] << 8);
    const bool neg = se & 0x8000;
    const int e = se & 0x7FFF;
    double r;
    if (e == 0x7FFF) {
        r = (mant << 1) == 0 ? HUGE_VAL : std::nan("");
    } else {
        // Round the 64-bit significand to 53 bits ourselves is unnecessary: the
        // conversion to double rounds to nearest, and ldexp scales exactly.
        r = std::ldexp(double(mant), (e == 0 ? 1 : e) - 16383 - 63);
    }
    return neg ? -r : r;
}

void ValueWriter::Signature() { out_ += "TPF0"; }

void ValueWriter::Integer(int64_t v) {
    auto put = [&](int bytes) {
        for (int i = 0; i < bytes; ++i) out_.push_back(char(uint8_t(uint64_t(v) >> (8 * i))));
    };
    if (v >= -128 && v <= 127) {
        out_.push_back(2);
        put(1);
    } else if (v >= -32768 && v <= 32767) {
        out_.push_back(3);
        put(2);
    } else {
        out_.push_back(4);
        put(4);
    }
}

void ValueWriter::Float(double v) {
    uint8_t b[10];
    DoubleToExtended(v, b);
    out_.push_back(5);
    out_.append(reinterpret_cast<const char*>(b), 10);
}

void ValueWriter::Tagged(int shortTag, int longTag, std::string_view bytes) {
    if (shortTag && bytes.size() <= 255) {
        out_.push_back(char(shortTag));
        out_.push_back(char(uint8_t(bytes.size())));
    } else {
        out_.push_back(char(longTag));
        for (int i = 0; i < 4; ++i) out_.push_back(char(uint8_t(uint32_t(bytes.size()) >> (8 * i))));
    }
    out_ += bytes;
}

void ValueWriter::Text(std::string_view utf8) {
    if (IsSevenBit(utf8))
        Tagged(6, 12, utf8);
    else
        Tagged(0, 20, utf8);
}

void ValueWriter::CodePageBytes(std::string_view bytes) { Tagged(6, 12, bytes); }

uint8_t ValueReader::Byte() { return uint8_t(Take(1)[0]); }

std::string_view ValueReader::Take(size_t n) {
    if (n > d_.size() - p_) Fail("Binary table file is truncated at byte " + std::to_string(d_.size()) + ".");
    const auto r = d_.substr(p_, n);
    p_ += n;
    return r;
}

void ValueReader::Signature() {
    if (Take(4) != "TPF0") Fail("Binary table file has no TPF0 signature.");
}

int ValueReader::NextTag() const {
    if (p_ >= d_.size()) Fail("Binary table file is truncated at byte " + std::to_string(d_.size()) + ".");
    return uint8_t(d_[p_]);
}

bool ValueReader::EndOfList() const { return NextTag() == 0; }

void ValueReader::ListBegin() {
    const size_t at = p_;
    if (Byte() != 1) Fail("Binary table file is corrupted: list expected at byte " + std::to_string(at) + ".");
}

void ValueReader::ListEnd() {
    const size_t at = p_;
    if (Byte() != 0) Fail("Binary table file is corrupted: list end expected at byte " + std::to_string(at) + ".");
}

Value ValueReader::Any() {
    const size_t at = p_;
    const int tag = Byte();
    auto le = [&](int n) {
        const auto b = Take(size_t(n));
        uint64_t v = 0;
        for (int i = 0; i < n; ++i) v |= uint64_t(uint8_t(b[i])) << (8 * i);
        return v;
    };
    switch (tag) {
    case 2: return int64_t(int8_t(le(1)));
    case 3: return int64_t(int16_t(le(2)));
    case 4: return int64_t(int32_t(le(4)));
    case 5: {
        const auto b = Take(10);
        return ExtendedToDouble(reinterpret_cast<const uint8_t*>(b.data()));
    }
    case 6: return CodePageText{std::string(Take(le(1)))};
    case 8: return false;
    case 9: return true;
    case 12: return CodePageText{std::string(Take(le(4)))};
    case 20: return std::string(Take(le(4)));
    default:
        Fail("Binary table file is corrupted: unexpected value tag " + std::to_string(tag) + " at byte " +
             std::to_string(at) + ".");
    }
}

namespace {
[[noreturn]] void WrongValue(size_t at, std::string_view what) {
    Fail("Binary table file is corrupted: " + std::string(what) + " expected at byte " + std::to_string(at) + ".");
}
} // namespace

int64_t ValueReader::Integer() {
    const size_t at = p_;
    const Value v = Any();
    if (const auto* i = std::get_if<int64_t>(&v)) return *i;
    WrongValue(at, "integer");
}

bool ValueReader::Boolean() {
    const size_t at = p_;
    const Value v = Any();
    if (const auto* b = std::get_if<bool>(&v)) return *b;
    WrongValue(at, "Boolean");
}

double ValueReader::Float() {
    const size_t at = p_;
    const Value v = Any();
    if (const auto* d = std::get_if<double>(&v)) return *d;
    if (const auto* i = std::get_if<int64_t>(&v)) return double(*i);
    WrongValue(at, "float");
}

std::string ValueReader::Text() {
    const size_t at = p_;
    Value v = Any();
    if (auto* s = std::get_if<std::string>(&v)) return std::move(*s);
    if (auto* s = std::get_if<CodePageText>(&v)) return ToUtf8(s->Bytes);
    WrongValue(at, "text");
}

Value BinaryToValue(int type, const Value& v, std::string_view fieldName) {
    auto wrong = [&]() -> Value {
        Fail("Binary table file does not match field '" + std::string(fieldName) + "' (" + std::string(TypeName(type)) +
             ").");
    };
    const auto* i = std::get_if<int64_t>(&v);
    const auto* d = std::get_if<double>(&v);
    switch (type) {
    case tnSmallInt:
    case tnInteger:
    case tnWord:
    case tnAutoInc: {
        if (!i) return wrong();
        const bool ok = type == tnSmallInt ? (*i >= -32768 && *i <= 32767)
                        : type == tnWord   ? (*i >= 0 && *i <= 65535)
                                           : (*i >= INT32_MIN && *i <= INT32_MAX);
        if (!ok) return wrong();
        return *i;
    }
    case tnBoolean:
        if (!std::holds_alternative<bool>(v)) return wrong();
        return v;
    case tnFloat:
        if (i) return double(*i);
        if (!d) return wrong();
        return *d;
    case tnLargeInt: {
        if (i) return *i;
        if (!d || !(std::fabs(*d) < 9.2233720368547758e18)) return wrong();
        return int64_t(std::llround(*d));
    }
    case tnCurrency:
    case tnBCD: {
        const double x = i ? double(*i) : d ? *d : (wrong(), 0.0);
        if (!(std::fabs(x) < 9.2e14)) return wrong();
        return double(std::llround(x * 10000.0)) / 10000.0;
    }
    case tnDate:
    case tnTime:
    case tnDateTime: {
        const double x = i ? double(*i) : d ? *d : (wrong(), 0.0);
        if (!std::isfinite(x)) return wrong();
        if (x == 0) return std::monostate{};
        return x;
    }
    default:
        if (const auto* s = std::get_if<std::string>(&v)) return *s;
        if (const auto* s = std::get_if<CodePageText>(&v)) return IsBytesType(type) ? s->Bytes : ToUtf8(s->Bytes);
        return wrong();
    }
}

void WriteBinaryValue(ValueWriter& w, int type, const Value& v) {
    const bool null = std::holds_alternative<std::monostate>(v);
    switch (type) {
    case tnSmallInt:
    case tnInteger:
    case tnWord:
    case tnAutoInc: w.Integer(null ? 0 : std::get<int64_t>(v)); return;
    case tnBoolean: w.Boolean(null ? false : std::get<bool>(v)); return;
    case tnFloat:
    case tnCurrency:
    case tnBCD:
    case tnDate:
    case tnTime:
    case tnDateTime: w.Float(null ? 0.0 : std::get<double>(v)); return;
    case tnLargeInt: w.Float(null ? 0.0 : double(std::get<int64_t>(v))); return;
    default: {
        const std::string empty;
        const std::string& s = null ? empty : std::get<std::string>(v);
        if (IsBytesType(type)) {
            // Blob bytes are not text: they go out unconverted under the short
            // text tags, whose bytes a blob field takes as they are.
            w.CodePageBytes(s);
            return;
        }
        w.Text(s);
        return;
    }
    }
}

BinaryFile ParseBinaryFile(std::string_view bytes, int tableFieldCount) {
    ValueReader r(bytes);
    BinaryFile f;
    r.Signature();
    r.Integer();
    r.ListBegin();
    while (!r.EndOfList()) {
        FieldDef d;
        d.Name = r.Text();
        const std::string typeName = r.Text();
        d.Type = TypeFromName(typeName);
        if (d.Type < 0) Fail("Unknown field type (" + typeName + ")");
        const int64_t size = r.Integer();
        d.DisplayName = r.Text();
        d.EditMask = r.Text();
        const int64_t width = r.Integer();
        d.Required = r.Boolean();
        d.ReadOnly = r.Boolean();
        d.Size = int(size);
        d.DisplayWidth = int(width);
        f.Fields.push_back(std::move(d));
    }
    r.ListEnd();
    r.ListBegin();
    while (!r.EndOfList()) {
        IndexDef d;
        r.Text(); // the name; the display name names the index
        d.Fields = r.Text();
        d.DisplayName = r.Text();
        d.Name = d.DisplayName;
        d.Descending = r.Boolean();
        d.CaseInsensitive = r.Boolean();
        d.NonMaintained = r.Boolean();
        d.Unique = r.Boolean();
        f.Indexes.push_back(std::move(d));
    }
    r.ListEnd();
    const size_t count = f.Fields.empty() ? size_t(std::max(tableFieldCount, 0)) : f.Fields.size();
    r.ListBegin();
    while (!r.EndOfList()) {
        if (count == 0) Fail("Binary table file holds records for a table without fields.");
        std::vector<Value> row;
        row.reserve(count);
        for (size_t i = 0; i < count; ++i) row.push_back(r.Any());
        f.Rows.push_back(std::move(row));
    }
    r.ListEnd();
    return f;
}

} // namespace VqMemFile
