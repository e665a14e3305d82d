// Number formatting of SysUtils.h: FloatToStr/FloatToStrF, FormatFloat,
// the currency variants, Format, and text to float/currency.
//
// Every formatter first turns the value into decimal digits (Dec) and then
// rounds those digits half away from zero, as the class library does: a
// double contributes its digits rounded to the precision asked for (15 for
// FormatFloat), a Currency its exact digits. So FormatFloat("0.00", 1.005)
// is "1.01", and money never passes through binary fractions.
#include <cmath>
#include <cstdio>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Gbk.h"
#include "SysUtils.h"

namespace {

// value = 0.<digits> x 10^exp; digits has neither leading nor trailing
// zeros; empty digits is zero.
struct Dec {
    bool neg = false;
    std::string digits;
    int exp = 0;
    bool special = false; // NAN / INF, text in `digits`
    bool zero() const { return !special && digits.empty(); }
};

void normalize(Dec& d) {
    size_t lead = d.digits.find_first_not_of('0');
    if (lead == std::string::npos) {
        d.digits.clear();
        d.exp = 0;
        return;
    }
    if (lead) {
        d.digits.erase(0, lead);
        d.exp -= int(lead);
    }
    size_t last = d.digits.find_last_not_of('0');
    d.digits.resize(last + 1);
}

Dec fromDouble(double v, int precision) {
    Dec d;
    if (std::isnan(v)) {
        d.special = true;
        d.digits = "NAN";
        return d;
    }
    if (std::isinf(v)) {
        d.special = true;
        d.digits = v < 0 ? "-INF" : "INF";
        return d;
    }
    if (precision < 1) precision = 1;
    if (precision > 18) precision = 18;
    d.neg = std::signbit(v);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", precision - 1, std::fabs(v));
    char* e = std::strchr(buf, 'e');
    int exp10 = std::atoi(e + 1);
    for (char* p = buf; p < e; ++p)
        if (*p >= '0' && *p <= '9') d.digits += *p;
    d.exp = exp10 + 1;
    normalize(d);
    if (d.zero()) d.neg = false;
    return d;
}

Dec fromCurrency(Currency c) {
    Dec d;
    int64_t raw = c.Raw();
    d.neg = raw < 0;
    uint64_t u = d.neg ? uint64_t(0) - uint64_t(raw) : uint64_t(raw);
    d.digits = std::to_string(u);
    d.exp = int(d.digits.size()) - 4;
    normalize(d);
    if (d.zero()) d.neg = false;
    return d;
}

// Keeps `keep` leading digits, rounding half away from zero.
void roundKeep(Dec& d, int keep) {
    if (d.special || int(d.digits.size()) <= keep) return;
    if (keep < 0) {
        d.digits.clear();
        d.exp = 0;
        d.neg = false;
        return;
    }
    bool up = d.digits[size_t(keep)] >= '5';
    d.digits.resize(size_t(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[size_t(i)] == '9') d.digits[size_t(i--)] = '0';
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            d.exp++;
        } else {
            d.digits[size_t(i)]++;
        }
    }
    normalize(d);
    if (d.zero()) d.neg = false;
}

void roundDecimals(Dec& d, int decimals) { roundKeep(d, d.exp + decimals); }

char digitAt(const Dec& d, int i) { // i-th digit of 0.<digits>
    return (i >= 0 && i < int(d.digits.size())) ? d.digits[size_t(i)] : '0';
}

std::string intDigits(const Dec& d) {
    std::string r;
    for (int i = 0; i < d.exp; ++i) r += digitAt(d, i);
    return r;
}

std::string fracDigits(const Dec& d, int count) {
    std::string r;
    for (int i = 0; i < count; ++i) r += digitAt(d, d.exp + i);
    return r;
}

std::string group(const std::string& digits, char sep) {
    if (!sep) return digits;
    std::string r;
    int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) r += sep;
        r += digits[size_t(i)];
    }
    return r;
}

std::string fixedText(const Dec& d, int decimals, bool thousands, const TFormatSettings& fs) {
    std::string ip = intDigits(d);
    if (ip.empty()) ip = "0";
    std::string r = thousands ? group(ip, fs.ThousandSeparator) : ip;
    if (decimals > 0) {
        r += fs.DecimalSeparator;
        r += fracDigits(d, decimals);
    }
    return r;
}

std::string exponentText(int e, int minDigits, bool plus) {
    std::string r = e < 0 ? "-" : (plus ? "+" : "");
    std::string n = std::to_string(std::abs(e));
    while (int(n.size()) < minDigits) n.insert(n.begin(), '0');
    return r + n;
}

std::string generalText(const Dec& d, int precision, int expDigits, const TFormatSettings& fs) {
    if (d.zero()) return "0";
    std::string r = d.neg ? "-" : "";
    if (d.exp > precision || d.exp < -3) {
        r += d.digits[0];
        if (d.digits.size() > 1) {
            r += fs.DecimalSeparator;
            r += d.digits.substr(1);
        }
        r += 'E';
        r += exponentText(d.exp - 1, expDigits, false);
        return r;
    }
    int fracCount = std::max(0, int(d.digits.size()) - d.exp);
    r += fixedText(d, fracCount, false, fs);
    return r;
}

std::string exponentFormat(const Dec& d, int precision, int expDigits, const TFormatSettings& fs) {
    std::string r = d.neg ? "-" : "";
    r += digitAt(d, 0);
    if (precision > 1) {
        r += fs.DecimalSeparator;
        for (int i = 1; i < precision; ++i) r += digitAt(d, i);
    }
    r += 'E';
    r += exponentText(d.zero() ? 0 : d.exp - 1, std::min(std::max(expDigits, 0), 4), true);
    return r;
}

std::string currencyText(const std::string& amount, bool neg, const TFormatSettings& fs) {
    const std::string& c = fs.CurrencyString;
    if (!neg) {
        switch (fs.CurrencyFormat) {
        case 1: return amount + c;
        case 2: return c + " " + amount;
        case 3: return amount + " " + c;
        default: return c + amount;
        }
    }
    switch (fs.NegCurrFormat) {
    case 0: return "(" + c + amount + ")";
    case 1: return "-" + c + amount;
    case 3: return c + amount + "-";
    case 4: return "(" + amount + c + ")";
    case 5: return "-" + amount + c;
    case 6: return amount + "-" + c;
    case 7: return amount + c + "-";
    case 8: return "-" + amount + " " + c;
    case 9: return "-" + c + " " + amount;
    case 10: return amount + " " + c + "-";
    case 11: return c + " " + amount + "-";
    case 12: return c + " -" + amount;
    case 13: return amount + "- " + c;
    case 14: return "(" + c + " " + amount + ")";
    case 15: return "(" + amount + " " + c + ")";
    default: return c + "-" + amount;
    }
}

// The four styles of FloatToStrF on a value already in digits.
std::string formatDec(Dec d, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
    if (d.special) return d.digits;
    switch (format) {
    case ffExponent: return exponentFormat(d, precision, digits, fs);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        if (d.exp > precision && format != ffCurrency) return generalText(d, precision, 0, fs);
        if (digits < 0) digits = 0;
        if (digits > 18) digits = 18;
        roundDecimals(d, digits);
        if (format == ffFixed) return (d.neg ? "-" : "") + fixedText(d, digits, false, fs);
        std::string amount = fixedText(d, digits, true, fs);
        if (format == ffNumber) return (d.neg ? "-" : "") + amount;
        return currencyText(amount, d.neg, fs);
    }
    default: return generalText(d, precision, digits, fs);
    }
}

// ------------------------------------------------------------- FormatFloat

std::vector<std::string> splitSections(const std::string& f) {
    std::vector<std::string> out(1);
    char quote = 0;
    for (char c : f) {
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

struct Mask {
    int intCount = 0; // placeholders before the point
    int intMin = 0;   // digits always shown before the point
    int fracMax = 0;  // placeholders after the point
    int fracMin = 0;  // digits always shown after the point
    bool thousands = false;
    bool scientific = false;
    int expMin = 0; // zeros after E+
};

Mask scanMask(const std::string& f) {
    Mask m;
    bool afterPoint = false;
    int firstZero = -1;
    char quote = 0;
    for (size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (m.scientific) continue;
        switch (c) {
        case '"':
        case '\'': quote = c; break;
        case '.': afterPoint = true; break;
        case ',': m.thousands = true; break;
        case '0':
        case '#':
            if (afterPoint) {
                ++m.fracMax;
                if (c == '0') m.fracMin = m.fracMax;
            } else {
                if (c == '0' && firstZero < 0) firstZero = m.intCount;
                ++m.intCount;
            }
            break;
        case 'E':
        case 'e':
            if (i + 1 < f.size() && (f[i + 1] == '+' || f[i + 1] == '-')) {
                m.scientific = true;
                size_t j = i + 2;
                while (j < f.size() && f[j] == '0') ++j, ++m.expMin;
            }
            break;
        default: break;
        }
    }
    if (firstZero >= 0) m.intMin = m.intCount - firstZero;
    return m;
}

// Lays digits into the section: integer digits right-aligned on the
// placeholders before the point (extra digits at the first one), fraction
// digits left-aligned after it, literals where they stand.
std::string applyMask(const std::string& f, const Mask& m, const std::string& intPart, const std::string& fracPart,
                      const std::string& expPart, const TFormatSettings& fs) {
    std::string out;
    int intLen = int(intPart.size());
    int placeholder = 0; // integer placeholders seen so far
    int fracIndex = 0;
    bool afterPoint = false;
    bool pointDone = false;
    char quote = 0;
    auto emitInt = [&](int digitIndex) {
        out += intPart[size_t(digitIndex)];
        int fromRight = intLen - 1 - digitIndex;
        if (m.thousands && fromRight > 0 && fromRight % 3 == 0) out += fs.ThousandSeparator;
    };
    for (size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            continue;
        }
        if (!afterPoint && (c == '0' || c == '#')) {
            int offset = intLen - m.intCount; // digits beyond the placeholders
            if (placeholder == 0)
                for (int k = 0; k < offset; ++k) emitInt(k);
            int di = placeholder + offset;
            if (di >= 0 && di < intLen) emitInt(di);
            ++placeholder;
            continue;
        }
        if (c == ',') continue;
        if (c == '.') {
            if (!afterPoint) {
                afterPoint = true;
                if (!pointDone && !fracPart.empty()) out += fs.DecimalSeparator;
                pointDone = true;
            }
            continue;
        }
        if (afterPoint && (c == '0' || c == '#')) {
            if (fracIndex < int(fracPart.size())) out += fracPart[size_t(fracIndex)];
            ++fracIndex;
            continue;
        }
        if ((c == 'E' || c == 'e') && m.scientific && i + 1 < f.size() && (f[i + 1] == '+' || f[i + 1] == '-')) {
            out += c;
            out += expPart;
            i += 2;
            while (i < f.size() && f[i] == '0') ++i;
            --i;
            continue;
        }
        out += c;
    }
    return out;
}

std::string formatSection(const std::string& f, Dec d, const TFormatSettings& fs) {
    Mask m = scanMask(f);
    std::string intPart, fracPart, expPart;
    if (m.scientific) {
        int intCount = std::max(m.intCount, 1);
        roundKeep(d, intCount + m.fracMax);
        int e = d.zero() ? 0 : d.exp - intCount;
        for (int i = 0; i < intCount; ++i) intPart += digitAt(d, i);
        if (m.intCount == 0) intPart.clear();
        size_t lead = intPart.find_first_not_of('0');
        int keepLead = std::max(m.intMin, 1);
        if (lead == std::string::npos) lead = intPart.size();
        if (int(intPart.size()) - int(lead) < keepLead)
            lead = intPart.size() - std::min<size_t>(intPart.size(), size_t(keepLead));
        intPart = intPart.substr(lead);
        for (int i = 0; i < m.fracMax; ++i) fracPart += digitAt(d, intCount + i);
        std::string sign = e < 0 ? "-" : "";
        size_t eat = f.find_first_of("Ee");
        while (eat != std::string::npos && !(eat + 1 < f.size() && (f[eat + 1] == '+' || f[eat + 1] == '-')))
            eat = f.find_first_of("Ee", eat + 1);
        if (eat != std::string::npos && f[eat + 1] == '+' && e >= 0) sign = "+";
        expPart = sign;
        std::string n = std::to_string(std::abs(e));
        while (int(n.size()) < m.expMin) n.insert(n.begin(), '0');
        expPart += n;
    } else {
        roundDecimals(d, m.fracMax);
        intPart = intDigits(d);
        while (int(intPart.size()) < m.intMin) intPart.insert(intPart.begin(), '0');
        fracPart = fracDigits(d, m.fracMax);
    }
    while (int(fracPart.size()) > m.fracMin && !fracPart.empty() && fracPart.back() == '0') fracPart.pop_back();
    return applyMask(f, m, intPart, fracPart, expPart, fs);
}

// Rounds as the section chosen for the sign would, to learn whether the
// value shows as zero (then the third section applies).
bool roundsToZero(const std::string& f, Dec d) {
    Mask m = scanMask(f);
    if (m.scientific) return d.zero();
    roundDecimals(d, m.fracMax);
    return d.zero();
}

std::string formatWithSections(const std::string& format, Dec d, const TFormatSettings& fs, double generalValue,
                               bool isCurrency) {
    if (d.special) return d.digits;
    if (format.empty()) {
        if (isCurrency) return generalText(d, 19, 0, fs);
        return generalText(fromDouble(generalValue, 15), 15, 0, fs);
    }
    std::vector<std::string> sec = splitSections(format);
    bool neg = d.neg;
    const std::string* chosen = &sec[0];
    bool prefixMinus = false;
    if (neg) {
        if (sec.size() > 1 && !sec[1].empty())
            chosen = &sec[1];
        else
            prefixMinus = true;
    }
    bool zero = d.zero() || roundsToZero(*chosen, d);
    if (zero) {
        if (sec.size() > 2 && !sec[2].empty()) {
            chosen = &sec[2];
        } else {
            chosen = &sec[0];
        }
        prefixMinus = false;
    }
    Dec abs = d;
    abs.neg = false;
    std::string body = formatSection(*chosen, abs, fs);
    return prefixMinus ? "-" + body : body;
}

bool parseDecimal(const std::string& text, char decimalSep, Dec& d, bool allowExponent) {
    std::string s = Trim(text);
    if (s.empty()) return false;
    size_t i = 0;
    d = Dec();
    if (s[i] == '+' || s[i] == '-') d.neg = s[i++] == '-';
    bool anyDigit = false, point = false;
    int intCount = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            d.digits += c;
            anyDigit = true;
            if (!point) ++intCount;
        } else if (c == decimalSep && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return false;
    int e = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        if (!allowExponent) return false;
        ++i;
        bool eneg = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) eneg = s[i++] == '-';
        if (i >= s.size()) return false;
        long long ev = 0;
        for (; i < s.size(); ++i) {
            if (s[i] < '0' || s[i] > '9') return false;
            ev = ev * 10 + (s[i] - '0');
            if (ev > 100000) ev = 100000;
        }
        e = int(eneg ? -ev : ev);
    }
    if (i != s.size()) return false;
    d.exp = intCount + e;
    normalize(d);
    return true;
}

} // namespace

std::string FloatToStr(double v) { return FloatToStr(v, FormatSettings); }
std::string FloatToStr(double v, const TFormatSettings& fs) { return FloatToStrF(v, ffGeneral, 15, 0, fs); }

std::string FloatToStrF(double v, TFloatFormat format, int precision, int digits) {
    return FloatToStrF(v, format, precision, digits, FormatSettings);
}

std::string FloatToStrF(double v, TFloatFormat format, int precision, int digits, const TFormatSettings& fs) {
    if (precision < 1) precision = 1;
    if (precision > 18) precision = 18;
    return formatDec(fromDouble(v, precision), format, precision, digits, fs);
}

std::string FormatFloat(const std::string& format, double v) { return FormatFloat(format, v, FormatSettings); }

std::string FormatFloat(const std::string& format, double v, const TFormatSettings& fs) {
    return formatWithSections(format, fromDouble(v, 15), fs, v, false);
}

std::string FormatCurr(const std::string& format, Currency v) {
    return formatWithSections(format, fromCurrency(v), FormatSettings, 0, true);
}

std::string CurrToStr(Currency v) {
    Dec d = fromCurrency(v);
    if (d.zero()) return "0";
    int fracCount = std::max(0, int(d.digits.size()) - d.exp);
    return (d.neg ? "-" : "") + fixedText(d, fracCount, false, FormatSettings);
}

std::string CurrToStrF(Currency v, TFloatFormat format, int digits) {
    return CurrToStrF(v, format, digits, FormatSettings);
}

std::string CurrToStrF(Currency v, TFloatFormat format, int digits, const TFormatSettings& fs) {
    if (format == ffGeneral) return CurrToStr(v);
    return formatDec(fromCurrency(v), format, 19, digits, fs);
}

bool TryStrToFloat(const std::string& s, double& value) { return TryStrToFloat(s, value, FormatSettings); }

bool TryStrToFloat(const std::string& s, double& value, const TFormatSettings& fs) {
    Dec d;
    if (!parseDecimal(s, fs.DecimalSeparator, d, true)) return false;
    if (d.zero()) {
        value = d.neg ? -0.0 : 0.0;
        return true;
    }
    if (d.exp > 4933 || d.exp < -4950) {
        if (d.exp > 0) return false;
        value = 0;
        return true;
    }
    // Rebuild in the C locale's form; strtod rounds correctly.
    std::string t = (d.neg ? "-0." : "0.") + d.digits + "e" + std::to_string(d.exp);
    char* end = nullptr;
    double r = std::strtod(t.c_str(), &end);
    if (std::isinf(r)) return false;
    value = r;
    return true;
}

double StrToFloat(const std::string& s) { return StrToFloat(s, FormatSettings); }

double StrToFloat(const std::string& s, const TFormatSettings& fs) {
    double v;
    if (!TryStrToFloat(s, v, fs)) throw EConvertError("'" + s + "' is not a valid floating point value");
    return v;
}

double StrToFloatDef(const std::string& s, double def) {
    double v;
    return TryStrToFloat(s, v) ? v : def;
}

bool TryStrToCurr(const std::string& s, Currency& value) {
    Dec d;
    if (!parseDecimal(s, FormatSettings.DecimalSeparator, d, true)) return false;
    if (d.zero()) {
        value = Currency();
        return true;
    }
    // Half to even on the fifth decimal, as conversion to money rounds.
    int keep = d.exp + 4;
    if (keep < 0) {
        value = Currency();
        return true;
    }
    std::string kept;
    for (int i = 0; i < keep; ++i) kept += digitAt(d, i);
    if (kept.size() > 19) return false;
    unsigned __int128 raw = 0;
    for (char c : kept) raw = raw * 10 + unsigned(c - '0');
    if (int(d.digits.size()) > keep) {
        char next = digitAt(d, keep);
        bool rest = false;
        for (size_t i = size_t(keep) + 1; i < d.digits.size(); ++i) rest |= d.digits[i] != '0';
        if (next > '5' || (next == '5' && (rest || (raw % 2) == 1))) ++raw;
    }
    if (raw > (unsigned __int128)INT64_MAX) return false;
    value = Currency::FromRaw(d.neg ? -int64_t(raw) : int64_t(raw));
    return true;
}

Currency StrToCurr(const std::string& s) {
    Currency c;
    if (!TryStrToCurr(s, c)) throw EConvertError("'" + s + "' is not a valid floating point value");
    return c;
}

Currency StrToCurrDef(const std::string& s, Currency def) {
    Currency c;
    return TryStrToCurr(s, c) ? c : def;
}

// ------------------------------------------------------------------ Format

TVarRec::TVarRec(const Variant& v) {
    switch (VarType(v)) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
        kind = vtInteger;
        i = v.AsInt64();
        break;
    case varLongWord:
    case varInt64:
        kind = vtInt64;
        i = v.AsInt64();
        break;
    case varSingle:
    case varDouble:
    case varDate:
        kind = vtExtended;
        d = v.AsDouble();
        break;
    case varCurrency:
        kind = vtCurrency;
        c = v.AsCurrency();
        break;
    case varBoolean:
        kind = vtBoolean;
        i = v.AsBoolean();
        break;
    default:
        kind = vtString;
        s = VarToStr(v);
        break;
    }
}

namespace {

[[noreturn]] void badFormat(std::string_view format) {
    throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

// Width in display columns as the class library counts bytes of GBK text.
int textWidth(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return GbkByteLength(s);
    return int(s.size());
}

std::string truncateText(const std::string& s, int maxBytes) { return GbkLeftBytes(s, maxBytes); }

} // namespace

std::string FormatArgs(std::string_view format, const std::vector<TVarRec>& args) {
    return FormatArgs(FormatSettings, format, args);
}

std::string FormatArgs(const TFormatSettings& fs, std::string_view format, const std::vector<TVarRec>& args) {
    std::string out;
    size_t argIndex = 0;
    size_t i = 0;
    while (i < format.size()) {
        char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        ++i;
        auto readNumber = [&](int& value) -> bool {
            if (i < format.size() && format[i] == '*') {
                ++i;
                if (argIndex >= args.size())
                    throw EConvertError("No argument for format '" + std::string(format) + "'");
                const TVarRec& a = args[argIndex++];
                if (a.kind != TVarRec::vtInteger && a.kind != TVarRec::vtInt64) badFormat(format);
                value = int(a.i);
                return true;
            }
            bool any = false;
            value = 0;
            while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
                value = value * 10 + (format[i++] - '0');
                any = true;
            }
            return any;
        };
        int n = 0;
        size_t save = i;
        bool haveN = false;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
            n = n * 10 + (format[i++] - '0');
            haveN = true;
        }
        if (haveN && i < format.size() && format[i] == ':') {
            argIndex = size_t(n);
            ++i;
        } else {
            i = save;
        }
        bool left = false;
        if (i < format.size() && format[i] == '-') {
            left = true;
            ++i;
        }
        int width = 0, prec = -1;
        readNumber(width);
        if (i < format.size() && format[i] == '.') {
            ++i;
            if (!readNumber(prec)) prec = 0;
        }
        if (i >= format.size()) badFormat(format);
        char type = char(std::tolower(uint8_t(format[i++])));
        if (argIndex >= args.size()) throw EConvertError("No argument for format '" + std::string(format) + "'");
        const TVarRec& a = args[argIndex++];
        bool isInt = a.kind == TVarRec::vtInteger || a.kind == TVarRec::vtInt64;
        bool isFloat = a.kind == TVarRec::vtExtended || a.kind == TVarRec::vtCurrency;
        std::string text;
        auto floatDec = [&](int precision) {
            return a.kind == TVarRec::vtCurrency ? fromCurrency(a.c) : fromDouble(a.d, precision);
        };
        switch (type) {
        case 'd':
        case 'u': {
            if (!isInt) badFormat(format);
            int64_t v = a.i;
            if (type == 'u' && v < 0 && a.kind == TVarRec::vtInteger) v = int64_t(uint32_t(int32_t(v)));
            bool neg = v < 0;
            std::string digits = neg ? std::to_string(v).substr(1) : std::to_string(v);
            while (prec > 0 && int(digits.size()) < prec) digits.insert(digits.begin(), '0');
            text = (neg ? "-" : "") + digits;
            break;
        }
        case 'x': {
            if (!isInt) badFormat(format);
            int64_t v = a.kind == TVarRec::vtInteger ? int64_t(uint32_t(int32_t(a.i))) : a.i;
            text = IntToHex(v, std::max(prec, 0));
            break;
        }
        case 'e':
            if (!isFloat) badFormat(format);
            {
                int p = (prec < 0 || prec > 18) ? 15 : std::max(prec, 1);
                text = formatDec(floatDec(p), ffExponent, p, 3, fs);
            }
            break;
        case 'f':
        case 'n':
        case 'm':
            if (!isFloat) badFormat(format);
            {
                int digits = prec < 0 ? (type == 'm' ? fs.CurrencyDecimals : 2) : prec;
                TFloatFormat ff = type == 'f' ? ffFixed : (type == 'n' ? ffNumber : ffCurrency);
                text = formatDec(floatDec(18), ff, a.kind == TVarRec::vtCurrency ? 19 : 18, digits, fs);
            }
            break;
        case 'g':
            if (!isFloat) badFormat(format);
            {
                int p = (prec < 0 || prec > 18) ? 15 : std::max(prec, 1);
                Dec d = floatDec(p);
                roundKeep(d, p);
                text = formatDec(d, ffGeneral, p, 3, fs);
            }
            break;
        case 's':
            if (a.kind != TVarRec::vtString) badFormat(format);
            text = prec >= 0 ? truncateText(a.s, prec) : a.s;
            break;
        case 'p': {
            if (a.kind != TVarRec::vtPointer) badFormat(format);
            text = IntToHex(int64_t(reinterpret_cast<uintptr_t>(a.p)), 8);
            break;
        }
        default: badFormat(format);
        }
        int w = textWidth(text);
        if (w < width) {
            std::string pad(size_t(width - w), ' ');
            text = left ? text + pad : pad + text;
        }
        out += text;
    }
    return out;
}
