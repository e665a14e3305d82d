// Text helpers of SysUtils.h: trimming, case, comparison, quoting, search
// and replace, and conversion of numbers and booleans to and from text.
// Locale comparison orders Chinese text by its GBK bytes, which is how a
// Simplified Chinese system sorts names and titles (pinyin order for the
// common characters).
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "Gbk.h"
#include "SysUtils.h"

TFormatSettings FormatSettings;

TFormatSettings::TFormatSettings() {
    static const char* const months[12] = {"一月", "二月", "三月", "四月", "五月",   "六月",
                                           "七月", "八月", "九月", "十月", "十一月", "十二月"};
    static const char* const days[7] = {"星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    for (int i = 0; i < 12; ++i) ShortMonthNames[i] = LongMonthNames[i] = months[i];
    for (int i = 0; i < 7; ++i) ShortDayNames[i] = LongDayNames[i] = days[i];
}

namespace {

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

int sign(int v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

} // namespace

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && uint8_t(s[b]) <= ' ') ++b;
    while (e > b && uint8_t(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

std::string TrimLeft(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && uint8_t(s[b]) <= ' ') ++b;
    return s.substr(b);
}

std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && uint8_t(s[e - 1]) <= ' ') --e;
    return s.substr(0, e);
}

std::string UpperCase(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = upperAscii(c);
    return r;
}

std::string LowerCase(const std::string& s) {
    std::string r = s;
    for (char& c : r) c = lowerAscii(c);
    return r;
}

std::string AnsiUpperCase(const std::string& s) { return UpperCase(s); }
std::string AnsiLowerCase(const std::string& s) { return LowerCase(s); }

int CompareStr(const std::string& a, const std::string& b) { return sign(a.compare(b)); }

int CompareText(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = uint8_t(upperAscii(a[i])), y = uint8_t(upperAscii(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool SameStr(const std::string& a, const std::string& b) { return a == b; }
bool SameText(const std::string& a, const std::string& b) { return a.size() == b.size() && CompareText(a, b) == 0; }

namespace {

// Letters without regard to case first; a case-sensitive compare then
// breaks the tie the way the locale does, lower case before upper case.
int ansiCompare(const std::string& a, const std::string& b, bool caseSensitive) {
    int c = CompareGbk(a, b, true);
    if (c != 0 || !caseSensitive) return c;
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i] != b[i]) {
            bool la = a[i] >= 'a' && a[i] <= 'z';
            return la ? -1 : 1;
        }
    }
    return 0;
}

} // namespace

int AnsiCompareStr(const std::string& a, const std::string& b) { return ansiCompare(a, b, true); }
int AnsiCompareText(const std::string& a, const std::string& b) { return ansiCompare(a, b, false); }
bool AnsiSameStr(const std::string& a, const std::string& b) { return a == b; }
bool AnsiSameText(const std::string& a, const std::string& b) { return SameText(a, b); }

std::string QuotedStr(const std::string& s) { return AnsiQuotedStr(s, '\''); }

std::string AnsiQuotedStr(const std::string& s, char quote) {
    std::string r;
    r.reserve(s.size() + 2);
    r += quote;
    for (char c : s) {
        if (c == quote) r += quote;
        r += c;
    }
    r += quote;
    return r;
}

std::string AnsiDequotedStr(const std::string& s, char quote) {
    if (s.empty() || s[0] != quote) return s;
    std::string r;
    size_t i = 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                r += quote;
                i += 2;
                continue;
            }
            return r;
        }
        r += s[i++];
    }
    return r;
}

std::string StringReplace(const std::string& s, const std::string& oldPattern, const std::string& newPattern,
                          TReplaceFlags flags) {
    if (oldPattern.empty()) return s;
    bool ignoreCase = flags.Contains(rfIgnoreCase);
    std::string hay = ignoreCase ? UpperCase(s) : s;
    std::string needle = ignoreCase ? UpperCase(oldPattern) : oldPattern;
    std::string r;
    size_t from = 0;
    while (true) {
        size_t at = hay.find(needle, from);
        if (at == std::string::npos) break;
        r.append(s, from, at - from);
        r += newPattern;
        from = at + needle.size();
        if (!flags.Contains(rfReplaceAll)) break;
    }
    r.append(s, from, std::string::npos);
    return r;
}

int Pos(const std::string& sub, const std::string& s) {
    if (sub.empty()) return 0;
    size_t at = s.find(sub);
    return at == std::string::npos ? 0 : int(at) + 1;
}

int AnsiPos(const std::string& sub, const std::string& s) { return Pos(sub, s); }

std::string Copy(const std::string& s, int index, int count) {
    if (index < 1) index = 1;
    if (count <= 0 || size_t(index) > s.size()) return {};
    return s.substr(size_t(index - 1), size_t(count));
}

void Delete(std::string& s, int index, int count) {
    if (index < 1 || count <= 0 || size_t(index) > s.size()) return;
    s.erase(size_t(index - 1), size_t(count));
}

void Insert(const std::string& sub, std::string& s, int index) {
    if (index < 1) index = 1;
    if (size_t(index) > s.size() + 1) index = int(s.size()) + 1;
    s.insert(size_t(index - 1), sub);
}

std::string StringOfChar(char c, int count) { return count > 0 ? std::string(size_t(count), c) : ""; }

int LastDelimiter(const std::string& delimiters, const std::string& s) {
    size_t at = s.find_last_of(delimiters);
    return at == std::string::npos ? 0 : int(at) + 1;
}

bool StartsText(const std::string& prefix, const std::string& s) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

bool EndsText(const std::string& suffix, const std::string& s) {
    return s.size() >= suffix.size() && SameText(s.substr(s.size() - suffix.size()), suffix);
}

// ------------------------------------------------------------------ integers

std::string IntToStr(int v) { return std::to_string(v); }
std::string IntToStr(int64_t v) { return std::to_string(v); }
std::string IntToStr(long long v) { return std::to_string(v); }

std::string IntToHex(int64_t v, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    uint64_t u = uint64_t(v);
    std::string r;
    do {
        r.insert(r.begin(), hex[u & 15]);
        u >>= 4;
    } while (u);
    while (int(r.size()) < digits) r.insert(r.begin(), '0');
    return r;
}

bool TryStrToInt64(const std::string& text, int64_t& value) {
    std::string s = Trim(text);
    if (s.empty()) return false;
    size_t i = 0;
    bool neg = false;
    if (s[i] == '+' || s[i] == '-') neg = s[i++] == '-';
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    unsigned __int128 acc = 0;
    for (; i < s.size(); ++i) {
        int d;
        char c = s[i];
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        acc = acc * unsigned(base) + unsigned(d);
        if (acc > (unsigned __int128)UINT64_MAX) return false;
    }
    if (base == 16 && !neg && acc <= UINT64_MAX) {
        value = int64_t(uint64_t(acc));
        return true;
    }
    if (neg) {
        if (acc > (unsigned __int128)INT64_MAX + 1) return false;
        value = int64_t(-(__int128)acc);
    } else {
        if (acc > (unsigned __int128)INT64_MAX) return false;
        value = int64_t(acc);
    }
    return true;
}

bool TryStrToInt(const std::string& s, int& value) {
    int64_t v;
    if (!TryStrToInt64(s, v)) return false;
    // Hex may spell a negative 32-bit number ("$FFFFFFFF" is -1).
    if (v > INT_MAX && v <= int64_t(UINT32_MAX) && (Trim(s).find_first_of("$xX") != std::string::npos))
        v = int32_t(uint32_t(v));
    if (v < INT_MIN || v > INT_MAX) return false;
    value = int(v);
    return true;
}

int StrToInt(const std::string& s) {
    int v;
    if (!TryStrToInt(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
    return v;
}

int StrToIntDef(const std::string& s, int def) {
    int v;
    return TryStrToInt(s, v) ? v : def;
}

int64_t StrToInt64(const std::string& s) {
    int64_t v;
    if (!TryStrToInt64(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
    return v;
}

int64_t StrToInt64Def(const std::string& s, int64_t def) {
    int64_t v;
    return TryStrToInt64(s, v) ? v : def;
}

std::string BoolToStr(bool v, bool useBoolStrs) {
    if (useBoolStrs) return v ? "True" : "False";
    return v ? "-1" : "0";
}

bool TryStrToBool(const std::string& s, bool& value) {
    std::string t = Trim(s);
    if (SameText(t, "True")) {
        value = true;
        return true;
    }
    if (SameText(t, "False")) {
        value = false;
        return true;
    }
    double d;
    if (TryStrToFloat(t, d)) {
        value = d != 0;
        return true;
    }
    return false;
}

bool StrToBool(const std::string& s) {
    bool b;
    if (!TryStrToBool(s, b)) throw EConvertError("'" + s + "' is not a valid boolean value");
    return b;
}

bool StrToBoolDef(const std::string& s, bool def) {
    bool b;
    return TryStrToBool(s, b) ? b : def;
}
