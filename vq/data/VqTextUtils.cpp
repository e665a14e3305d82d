// Text, INI and input-code routines; see VqTextUtils.h.
#include "vq/data/VqTextUtils.h"

#include "Gbk.h"
#include "IniFiles.h"
#include "SysUtils.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

// Byte-wise ASCII lowering keeps byte offsets equal between the text and
// its folded copy, so positions found in one are valid in the other.
std::string foldAscii(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return r;
}

// The dictionary's lines as GBK bytes, line ends removed.
std::vector<std::string> readDictionary() {
    std::vector<std::string> lines;
    const std::string path = ExeDir() + "Ime.DCT";
    if (!FileExists(path)) return lines;
    std::string bytes;
    try {
        bytes = ReadFileBytes(path);
    } catch (const Exception&) {
        return lines;
    }
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The trimmed one-byte column (1-based) of a line; "" when the line is
// shorter.
std::string column(const std::string& line, size_t col) {
    if (line.size() < col) return {};
    return Trim(line.substr(col - 1, 1));
}

} // namespace

bool IsInCommaList(const std::string& list, const std::string& value) {
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find_first_of(",\r\n", start);
        if (end == std::string::npos) end = list.size();
        if (AnsiSameText(list.substr(start, end - start), value)) return true;
        // CR LF is one break, not an empty item between two.
        if (end + 1 < list.size() && list[end] == '\r' && list[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return false;
}

std::string ReplaceTextNoCase(const std::string& text, const std::string& search, const std::string& replacement) {
    if (search.empty()) return text;
    const std::string needle = foldAscii(search);
    const std::string folded = foldAscii(text);
    std::string out;
    out.reserve(text.size());
    size_t from = 0;
    for (;;) {
        size_t at = folded.find(needle, from);
        if (at == std::string::npos) break;
        out.append(text, from, at - from);
        out += replacement;
        from = at + search.size();
    }
    out.append(text, from, std::string::npos);
    return out;
}

std::string TranslateDBError(const std::string& message) {
    struct Rule {
        const char* phrase;
        const char* chinese;
        bool whole;
    };
    static const Rule rules[] = {
        {"must have a value", "值不能为空", false},
        {"duplicate key", "主键字段不得重复!", true},
        {"not a valid float", "您输入的数字不合法", false},
        {"Key violation", "主键字段不得重复", false},
        {"is not a valid date and time", "您输入的日期不合法", false},
        {"Dataset not in edit or insert mode", "非编辑状态不能编辑", false},
    };
    std::string result = message;
    for (const Rule& r : rules) {
        if (message.find(r.phrase) == std::string::npos) continue;
        result = r.whole ? std::string(r.chinese) : ReplaceTextNoCase(message, r.phrase, r.chinese);
        break;
    }
    return ReplaceTextNoCase(result, "Field", "字段");
}

TInputCodeDictionary::TInputCodeDictionary() {
    for (const std::string& line : readDictionary())
        if (line.size() >= 2)
            codes_.emplace(line.substr(0, 2), TCodes{column(line, 37), column(line, 13), column(line, 7)});
}

void TInputCodeDictionary::Build(const std::string& text, std::string& py, std::string& wbh, std::string& wb) const {
    // Keys are two GBK bytes at a time, so an ASCII letter pairs with the
    // next byte and usually finds nothing: the dictionary holds only
    // Chinese characters.
    const std::string gbk = Utf8ToGbk(text);
    std::string gbkPy, gbkWbh, gbkWb;
    for (size_t at = 0; at + 1 < gbk.size(); at += 2) {
        auto it = codes_.find(gbk.substr(at, 2));
        if (it == codes_.end()) continue;
        gbkPy += it->second.Py;
        gbkWbh += it->second.Wbh;
        gbkWb += it->second.Wb;
    }
    py = GbkToUtf8(gbkPy);
    wbh = GbkToUtf8(gbkWbh);
    wb = GbkToUtf8(gbkWb);
}

void BuildInputCodes(const std::string& text, std::string& py, std::string& wbh, std::string& wb) {
    TInputCodeDictionary().Build(text, py, wbh, wb);
}

std::string StripIniComment(const std::string& text) {
    const size_t cut = text.find_first_of("#*");
    return Trim(cut == std::string::npos ? text : text.substr(0, cut));
}

void ReadIniValue(const std::string& fileName, const std::string& section, const std::string& key, Variant& result,
                  const Variant& def) {
    TIniFile ini(fileName);
    const std::string raw = ini.ReadString(section, key, "");
    if (raw.empty()) {
        result = def;
        return;
    }
    const std::string text = StripIniComment(raw);
    switch (VarType(def)) {
    case varSmallint:
    case varInteger:
    case varByte:
    case varShortInt:
    case varWord:
    case varLongWord:
    case varInt64: result = StrToInt(text); break;
    case varSingle:
    case varDouble:
    case varCurrency: result = StrToFloat(text); break;
    case varDate: result = StrToDateTime(text); break;
    case varBoolean: result = StrToInt(text) == 1; break;
    default: result = text; break;
    }
}

void WriteIniString(const std::string& fileName, const std::string& section, const std::string& key,
                    const std::string& value) {
    TIniFile ini(fileName);
    ini.WriteString(section, key, value);
}

std::string GetExeRelativePath(const std::string& fileName) {
    return IncludeTrailingPathDelimiter(ExeDir()) + fileName;
}
