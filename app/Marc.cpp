// The MARC record reader; see Marc.h.
#include "Marc.h"

#include "Gbk.h"

#include <algorithm>

namespace {

constexpr char RecordEnd = 0x1D;
constexpr char FieldEnd = 0x1E;
constexpr char SubfieldMark = 0x1F;
constexpr size_t LeaderBytes = 24;
constexpr size_t EntryBytes = 12;

// Which subfield of which tag fills which column, and the column's width
// in GBK bytes (0: a memo, no limit).
struct TMapRow {
    const char* Tag;
    char Code;
    const char* Column;
    int Width;
};
const TMapRow fieldMap[] = {
    {"010", 'a', "BookIsbn", 20},   {"010", 'b', "Grade", 20},      {"101", 'a', "language", 20},
    {"200", 'a', "Name", 100},      {"200", 'e', "YName", 100},     {"200", 'f', "Writer", 30},
    {"200", 'g', "Translator", 50}, {"210", 'c', "Publisher", 100}, {"210", 'd', "PubDate", 20},
    {"215", 'a', "BookPage", 20},   {"215", 'd', "Size", 20},       {"215", 'e', "Attach", 20},
    {"330", 'a', "Remarks1", 0},    {"690", 'a', "SortCode", 20},   {"690", 'v', "PubNum", 50},
};

bool isBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::optional<size_t> number(std::string_view digits) {
    size_t v = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + size_t(c - '0');
    }
    return v;
}

// The raw value of subfield code in a field: after the first mark+code,
// up to the next mark or field end, else to the end of the field.
std::optional<std::string_view> subfield(std::string_view field, char code) {
    for (size_t i = 0; i + 1 < field.size(); ++i) {
        if (field[i] != SubfieldMark || field[i + 1] != code) continue;
        std::string_view rest = field.substr(i + 2);
        const size_t end = rest.find_first_of(std::string_view("\x1F\x1E", 2));
        return rest.substr(0, end);
    }
    return std::nullopt;
}

void setColumn(TMarcBook& out, const std::string& column, std::string value) {
    for (auto& [c, v] : out.Columns)
        if (c == column) {
            v = std::move(value);
            return;
        }
    out.Columns.emplace_back(column, std::move(value));
}

} // namespace

std::string TMarcBook::Value(const std::string& column) const {
    for (const auto& [c, v] : Columns)
        if (c == column) return v;
    return {};
}

std::vector<TMarcChunk> SplitMarcRecords(std::string_view file) {
    std::vector<TMarcChunk> out;
    int number = 0;
    size_t start = 0;
    for (size_t i = 0; i <= file.size(); ++i) {
        const bool end = i == file.size();
        if (!end && file[i] != '\n' && file[i] != RecordEnd) continue;
        // A record ended by 0x1D and then a line break is one record.
        const bool afterTerminator =
            !end && file[i] == '\n' && i > 0 &&
            (file[i - 1] == RecordEnd || (file[i - 1] == '\r' && i > 1 && file[i - 2] == RecordEnd));
        if (!afterTerminator && !(end && start == file.size()))
            out.push_back({++number, file.substr(start, i - start)});
        start = i + 1;
    }
    return out;
}

std::optional<Currency> MarcPrice(const std::string& value) {
    std::string whole, fraction;
    bool point = false;
    for (char c : value) {
        if (c >= '0' && c <= '9')
            (point ? fraction : whole) += c;
        else if (c == '.' && !point)
            point = true;
    }
    if (whole.empty() && fraction.empty()) return std::nullopt;
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.size() > 14) return std::nullopt;
    int64_t raw = 0;
    for (char c : whole) raw = raw * 10 + (c - '0');
    raw *= Currency::Scale;
    int64_t part = 0;
    for (size_t i = 0; i < 4; ++i) part = part * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    // Rounded half up on the fifth decimal: a price has no more anyway.
    if (fraction.size() > 4 && fraction[4] >= '5') ++part;
    return Currency::FromRaw(raw + part);
}

TMarcParse ParseMarcRecord(std::string_view record, TMarcBook& out) {
    out = {};
    if (std::all_of(record.begin(), record.end(), isBlank)) return TMarcParse::Blank;
    if (record.size() <= LeaderBytes) return TMarcParse::Damaged;
    std::string_view body = record.substr(LeaderBytes);
    // The data as the directory describes it still has its terminators;
    // the trimmed end only tells how far a value may reach.
    const size_t first = std::find_if_not(body.begin(), body.end(), isBlank) - body.begin();
    body.remove_prefix(first);
    const size_t dirEnd = body.find(FieldEnd);
    if (dirEnd == std::string_view::npos) return TMarcParse::Damaged;
    const std::string_view directory = body.substr(0, dirEnd);
    const std::string_view described = body.substr(dirEnd + 1);
    std::string_view data = described;
    while (!data.empty() && isBlank(data.back())) data.remove_suffix(1);

    const size_t entries = directory.size() / EntryBytes;
    for (size_t i = 0; i < entries; ++i) {
        const std::string_view entry = directory.substr(i * EntryBytes, EntryBytes);
        const std::string tag(entry.substr(0, 3));
        const auto length = number(entry.substr(3, 4));
        const auto start = number(entry.substr(7, 5));
        if (!length || !start) return TMarcParse::Damaged;
        // The last field may have lost its field and record terminators.
        if (*start > described.size() || *start + *length > described.size() + 2) return TMarcParse::Damaged;
        const std::string_view field = data.substr(std::min(*start, data.size()), *length);
        for (const TMapRow& row : fieldMap) {
            if (tag != row.Tag) continue;
            const auto raw = subfield(field, row.Code);
            if (!raw) continue;
            std::string text = GbkToUtf8(*raw);
            if (row.Width > 0) text = GbkLeftBytes(text, row.Width);
            setColumn(out, row.Column, std::move(text));
        }
        if (tag == "010")
            if (const auto raw = subfield(field, 'd')) out.Price = MarcPrice(std::string(*raw));
    }
    return TMarcParse::Ok;
}
