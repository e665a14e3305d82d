// Pattern tables and encoders of the 23 symbologies. The tables are the
// published ones; every encoder returns a bar string and never guesses: a
// character a symbology has no pattern for raises an error that names it,
// because a label that scans as a different code is worse than no label.
#include "report/barcode/BarcodeSymbols.h"

#include "System.h"

#include <array>
#include <vector>

const TRMBarcodeTypeInfo BarcodeTypeTable[BarcodeTypeCount] = {
    {"2_5_interleaved", true},
    {"2_5_industrial", true},
    {"2_5_matrix", true},
    {"Code39", false},
    {"Code39 Extended", false},
    {"Code128A", false},
    {"Code128B", false},
    {"Code128C", true},
    {"Code93", false},
    {"Code93 Extended", false},
    {"MSI", true},
    {"PostNet", true},
    {"Codebar", false},
    {"EAN8", true},
    {"EAN13", true},
    {"UPC_A", true},
    {"UPC_E0", true},
    {"UPC_E1", true},
    {"UPC Supp2", true},
    {"UPC Supp5", true},
    {"EAN128A", false},
    {"EAN128B", false},
    {"EAN128C", true},
};

namespace barcode {
namespace {

// 2 of 5 family: which of the five elements are wide, digits 0-9.
constexpr std::array<const char*, 10> kTwoOfFive = {"nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw",
                                                    "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn"};

// Code 39: nine elements, bar first; order of kCode39Chars gives the value.
constexpr std::string_view kCode39Chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
constexpr std::array<const char*, 44> kCode39 =
    {"nnnwwnwnn", "wnnwnnnnw", "nnwwnnnnw", "wnwwnnnnn", "nnnwwnnnw", "wnnwwnnnn", "nnwwwnnnn", "nnnwnnwnw",
     "wnnwnnwnn", "nnwwnnwnn", "wnnnnwnnw", "nnwnnwnnw", "wnwnnwnnn", "nnnnwwnnw", "wnnnwwnnn", "nnwnwwnnn",
     "nnnnnwwnw", "wnnnnwwnn", "nnwnnwwnn", "nnnnwwwnn", "wnnnnnnww", "nnwnnnnww", "wnwnnnnwn", "nnnnwnnww",
     "wnnnwnnwn", "nnwnwnnwn", "nnnnnnwww", "wnnnnnwwn", "nnwnnnwwn", "nnnnwnwwn", "wwnnnnnnw", "nwwnnnnnw",
     "wwwnnnnnn", "nwnnwnnnw", "wwnnwnnnn", "nwwnwnnnn", "nwnnnnwnw", "wwnnnnwnn", "nwwnnnwnn", "nwnwnwnnn",
     "nwnwnnnwn", "nwnnnwnwn", "nnnwnwnwn", "nwnnwnwnn"}; // the asterisk, start and stop
constexpr int kCode39Asterisk = 43;

// Code 93: six element widths; the four shifts ($) (%) (/) (+) are written
// '[' ']' '{' '}' in the text.
constexpr std::string_view kCode93Chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%[]{}";
constexpr std::array<const char*, 47> kCode93 = {
    "131112", "111213", "111312", "111411", "121113", "121212", "121311", "111114", "131211", "141111",
    "211113", "211212", "211311", "221112", "221211", "231111", "112113", "112212", "112311", "122112",
    "132111", "111123", "111222", "111321", "121122", "131121", "212112", "212211", "211122", "211221",
    "221121", "222111", "112122", "112221", "122121", "123111", "121131", "311112", "311211", "321111",
    "112131", "113121", "211131", "121221", "312111", "311121", "122211"};

// Code 128 values 0-105 as six element widths.
constexpr std::array<const char*, 106> kCode128 = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213", "221312",
    "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132", "221231", "213212",
    "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211", "212123", "212321", "232121",
    "111323", "131123", "131321", "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331",
    "132131", "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131", "311123",
    "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111", "111224", "111422", "121124",
    "121421", "141122", "141221", "112214", "112412", "122114", "122411", "142112", "142211", "241211", "221114",
    "413111", "241112", "134111", "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112",
    "421211", "212141", "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232"};
constexpr std::string_view kCode128Stop = "2331112";
constexpr int kFnc1 = 102;

// Codabar: seven elements, bar first.
constexpr std::string_view kCodabarChars = "0123456789-$:/.+ABCD";
constexpr std::array<const char*, 20> kCodabar = {
    "nnnnnww", "nnnnwwn", "nnnwnnw", "wwnnnnn", "nnwnnwn", "wnnnnwn", "nwnnnnw", "nwnnwnn", "nwwnnnn", "wnnwnnn",
    "nnnwwnn", "nnwwnnn", "wnnnwnw", "wnwnnnw", "wnwnwnn", "nnwnwnw", "nnwwnwn", "nwnwnnw", "nnnwnww", "nnnwwwn"};

// PostNet: five bars, '1' tall.
constexpr std::array<const char*, 10> kPostNet = {"11000", "00011", "00101", "00110", "01001",
                                                  "01010", "01100", "10001", "10010", "10100"};

// EAN/UPC set A (odd parity) as module widths space, bar, space, bar.
constexpr std::array<const char*, 10> kEanA = {"3211", "2221", "2122", "1411", "1132",
                                               "1231", "1114", "1312", "1213", "3112"};
// Parity of digits 2-7 of EAN-13 by the first digit ('L' set A, 'G' set B).
constexpr std::array<const char*, 10> kEan13Parity = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                                      "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};
// UPC-E number system 0 by check digit: 'E' even (set B), 'o' odd (set A).
constexpr std::array<const char*, 10> kUpcEParity = {"EEEooo", "EEoEoo", "EEooEo", "EEoooE", "EoEEoo",
                                                     "EooEEo", "EoooEE", "EoEoEo", "EoEooE", "EooEoE"};
// Five-digit add-on parity by its check value.
constexpr std::array<const char*, 10> kSupp5Parity = {"GGLLL", "GLGLL", "GLLGL", "GLLLG", "LGGLL",
                                                      "LLGGL", "LLLGG", "LGLGL", "LGLLG", "LLGLG"};

std::string Fmt(const char* format, std::string_view a, std::string_view b = {}, std::string_view c = {}) {
    std::string out;
    int arg = 0;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            out += arg == 0 ? a : arg == 1 ? b : c;
            ++arg;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

// The whole UTF-8 character at byte i, or "#n" for a control character, so
// that the message shows what the user typed.
std::string CharacterAt(std::string_view text, size_t i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (b < 0x20 || b == 0x7F) return "#" + std::to_string(b);
    size_t n = 1;
    if (b >= 0xC0) {
        while (i + n < text.size() && (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) ++n;
    }
    return std::string(text.substr(i, n));
}

[[noreturn]] void RaiseUnencodable(std::string_view className, std::string_view text, size_t i, TRMBarcodeType typ) {
    throw Exception(
        Fmt("%s: character <%s> cannot be encoded in %s", className, CharacterAt(text, i), BarcodeTypeTable[typ].Name));
}

int DigitValue(char ch) {
    if (ch < '0' || ch > '9') throw EConvertError(Fmt("'%s' is not a valid integer value", std::string(1, ch)));
    return ch - '0';
}

char NarrowWide(char nw, bool bar) { return bar ? (nw == 'w' ? '6' : '5') : (nw == 'w' ? '1' : '0'); }

// n/w elements alternating bar, space, ... to bar string.
std::string NarrowWideToBars(std::string_view pattern) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) out += NarrowWide(pattern[i], i % 2 == 0);
    return out;
}

// EAN/UPC digit in set 'L' (A), 'G' (B) or 'R' (C).
std::string EanDigit(char digit, char set) {
    std::string widths = kEanA[digit - '0'];
    std::string out;
    if (set == 'L') {
        for (size_t i = 0; i < 4; ++i) out += char((i % 2 ? '5' : '0') + widths[i] - '1');
    } else if (set == 'R') {
        for (size_t i = 0; i < 4; ++i) out += char((i % 2 ? '0' : '5') + widths[i] - '1');
    } else {
        for (size_t i = 0; i < 4; ++i) out += char((i % 2 ? '5' : '0') + widths[3 - i] - '1');
    }
    return out;
}

std::string ApplyCheckSum(std::string_view s, TRMCheckSumMethod method) {
    return method == csmModulo10 ? AppendMod10CheckDigit(s) : std::string(s);
}

Encoded Interleaved25(std::string_view text) {
    // An odd count gets a leading zero: the symbol carries pairs only, and a
    // dropped last digit would scan as a different number.
    std::string digits(text);
    if (digits.size() % 2) digits.insert(digits.begin(), '0');
    std::string bars = "5050";
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        const char* a = kTwoOfFive[digits[i] - '0'];
        const char* b = kTwoOfFive[digits[i + 1] - '0'];
        for (int e = 0; e < 5; ++e) {
            bars += NarrowWide(a[e], true);
            bars += NarrowWide(b[e], false);
        }
    }
    bars += "605";
    return {bars, digits};
}

Encoded Industrial25(std::string_view text) {
    std::string bars = "606050";
    for (char d : text)
        for (const char* e = kTwoOfFive[d - '0']; *e; ++e) bars += *e == 'w' ? "60" : "50";
    bars += "605060";
    return {bars, std::string(text)};
}

Encoded Matrix25(std::string_view text) {
    std::string bars = "705050";
    for (char d : text) bars += NarrowWideToBars(kTwoOfFive[d - '0']) + "0";
    bars += "70505";
    return {bars, std::string(text)};
}

std::string Code39Bars(std::string_view data, bool checksum, std::string_view className, TRMBarcodeType typ) {
    std::string bars = NarrowWideToBars(kCode39[kCode39Asterisk]) + "0";
    int sum = 0;
    for (size_t i = 0; i < data.size(); ++i) {
        size_t v = kCode39Chars.find(data[i]);
        if (v == std::string_view::npos) RaiseUnencodable(className, data, i, typ);
        sum += static_cast<int>(v);
        bars += NarrowWideToBars(kCode39[v]) + "0";
    }
    if (checksum) bars += NarrowWideToBars(kCode39[sum % 43]) + "0";
    bars += NarrowWideToBars(kCode39[kCode39Asterisk]);
    return bars;
}

Encoded Code128(TRMBarcodeType typ, std::string_view text, bool checksum, TRMCheckSumMethod method,
                std::string_view className) {
    bool setA = typ == bcCode128A || typ == bcCodeEAN128A;
    bool setC = typ == bcCode128C || typ == bcCodeEAN128C;
    bool ean = typ == bcCodeEAN128A || typ == bcCodeEAN128B || typ == bcCodeEAN128C;
    int start = setA ? 103 : setC ? 105 : 104;
    std::string widths = kCode128[start];
    int sum = start;
    int weight = 1;
    auto add = [&](int value) {
        sum += value * weight;
        ++weight;
        widths += kCode128[value];
    };
    if (ean) add(kFnc1);
    std::string stored(text);
    if (ean && checksum) stored = ApplyCheckSum(stored, method);
    if (setC) {
        if (stored.size() % 2) stored.insert(stored.begin(), '0');
        for (size_t i = 0; i + 1 < stored.size(); i += 2) {
            char a = stored[i], b = stored[i + 1];
            bool pair = a >= '0' && a <= '9' && b >= '0' && b <= '9';
            add(pair ? (a - '0') * 10 + (b - '0') : 0);
        }
    } else {
        unsigned char last = setA ? '_' : '~';
        for (size_t i = 0; i < stored.size(); ++i) {
            unsigned char ch = static_cast<unsigned char>(stored[i]);
            if (ch < ' ' || ch > last) RaiseUnencodable(className, stored, i, typ);
            add(ch - ' ');
        }
    }
    widths += kCode128[sum % 103];
    widths += kCode128Stop;
    return {WidthsToBars(widths), stored};
}

std::string Code93Bars(std::string_view data, std::string_view className, std::string_view textForMessage) {
    std::vector<int> values;
    for (char ch : data) {
        size_t v = kCode93Chars.find(ch);
        if (v == std::string_view::npos) throw Exception(Fmt("%s:Code93 bad Data <%s>", className, textForMessage));
        values.push_back(static_cast<int>(v));
    }
    int c = 0, k = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        size_t fromRight = values.size() - 1 - i;
        c += values[i] * static_cast<int>(fromRight % 20 + 1);
        k += values[i] * static_cast<int>((fromRight + 1) % 15 + 1);
    }
    c %= 47;
    k = (k + c) % 47;
    std::string widths = "111141";
    for (int v : values) widths += kCode93[v];
    widths += kCode93[c];
    widths += kCode93[k];
    widths += "1111411";
    return WidthsToBars(widths);
}

Encoded Msi(std::string_view text) {
    std::string bars = "60";
    auto digit = [&](char d) {
        int v = d - '0';
        for (int bit = 3; bit >= 0; --bit) bars += (v >> bit) & 1 ? "60" : "51";
    };
    for (char d : text) digit(d);
    digit(MsiCheckDigit(text));
    bars += "515";
    return {bars, std::string(text)};
}

Encoded PostNet(std::string_view text) {
    std::string bars = "51";
    for (char d : text)
        for (const char* b = kPostNet[d - '0']; *b; ++b) bars += *b == '1' ? "51" : "A1";
    bars += "5";
    return {bars, std::string(text)};
}

Encoded Codabar(std::string_view text, std::string_view className) {
    std::string bars = NarrowWideToBars(kCodabar[kCodabarChars.find('A')]) + "0";
    for (size_t i = 0; i < text.size(); ++i) {
        size_t v = kCodabarChars.find(text[i]);
        if (v == std::string_view::npos) RaiseUnencodable(className, text, i, bcCodeCodabar);
        bars += NarrowWideToBars(kCodabar[v]) + "0";
    }
    bars += NarrowWideToBars(kCodabar[kCodabarChars.find('B')]);
    return {bars, std::string(text)};
}

Encoded Ean8(std::string_view text, bool checksum, TRMCheckSumMethod method) {
    std::string digits = checksum ? ApplyCheckSum(FitText(text, 7), method) : FitText(text, 8);
    if (digits.size() != 8) throw Exception("Invalid Text len (EAN8)");
    std::string bars = "505";
    for (int i = 0; i < 4; ++i) bars += EanDigit(digits[i], 'L');
    bars += "05050";
    for (int i = 4; i < 8; ++i) bars += EanDigit(digits[i], 'R');
    bars += "505";
    return {bars, std::string(text)};
}

std::string Ean13Bars(const std::string& digits) {
    const char* parity = kEan13Parity[digits[0] - '0'];
    std::string bars = "505";
    for (int i = 1; i < 7; ++i) bars += EanDigit(digits[i], parity[i - 1]);
    bars += "05050";
    for (int i = 7; i < 13; ++i) bars += EanDigit(digits[i], 'R');
    bars += "505";
    return bars;
}

Encoded Ean13(std::string_view text, bool checksum, TRMCheckSumMethod method) {
    std::string digits = checksum ? ApplyCheckSum(FitText(text, 12), method) : FitText(text, 13);
    if (digits.size() != 13) throw Exception("Invalid Text len (EAN13)");
    return {Ean13Bars(digits), digits};
}

Encoded UpcA(std::string_view text, bool checksum, TRMCheckSumMethod method) {
    std::string digits = FitText(text, 12);
    if (checksum) {
        std::string withCheck = ApplyCheckSum(digits.substr(0, 11), method);
        if (withCheck.size() == 12) digits = withCheck;
    }
    std::string bars = "505";
    for (int i = 0; i < 6; ++i) bars += EanDigit(digits[i], 'L');
    bars += "05050";
    for (int i = 6; i < 12; ++i) bars += EanDigit(digits[i], 'R');
    bars += "505";
    return {bars, digits};
}

Encoded UpcE(std::string_view text, bool checksum, int numberSystem) {
    // The check digit is that of the UPC-A number the six digits stand for;
    // it is carried only by the parity pattern, and it is needed even when
    // the caller asked for no check digit in the text.
    std::string digits = FitText(text, 7);
    char c = UpcECheckDigit(std::string_view(digits).substr(0, 6), numberSystem);
    if (checksum) digits[6] = c;
    const char* parity = kUpcEParity[c - '0'];
    std::string bars = "505";
    for (int i = 0; i < 6; ++i) {
        bool even = parity[i] == 'E';
        if (numberSystem == 1) even = !even;
        bars += EanDigit(digits[i], even ? 'G' : 'L');
    }
    bars += "050505";
    return {bars, digits};
}

Encoded Supp2(std::string_view text, bool checksum) {
    std::string digits = FitText(text, 2);
    int value = (digits[0] - '0') * 10 + (digits[1] - '0');
    static constexpr std::array<const char*, 4> kParity = {"LL", "LG", "GL", "GG"};
    const char* parity = kParity[value % 4];
    std::string bars = "506" + EanDigit(digits[0], parity[0]) + "05" + EanDigit(digits[1], parity[1]);
    std::string stored = checksum ? AppendAddOnCheckDigit(digits + "0") : digits;
    return {bars, stored};
}

Encoded Supp5(std::string_view text, bool checksum) {
    std::string digits = FitText(text, 5);
    std::string withCheck = AppendAddOnCheckDigit(digits + "0");
    const char* parity = kSupp5Parity[withCheck.back() - '0'];
    std::string bars = "506";
    for (int i = 0; i < 5; ++i) {
        if (i) bars += "05";
        bars += EanDigit(digits[i], parity[i]);
    }
    return {bars, checksum ? withCheck : digits};
}

} // namespace

std::string FitText(std::string_view text, size_t n) {
    if (text.size() > n) return std::string(text.substr(0, n));
    return std::string(n - text.size(), '0') + std::string(text);
}

std::string AppendMod10CheckDigit(std::string_view s) {
    int sum = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        bool three = (s.size() - 1 - i) % 2 == 0;
        sum += DigitValue(s[i]) * (three ? 3 : 1);
    }
    int t = sum % 10;
    return std::string(s) + char('0' + (t == 0 ? 0 : 10 - t));
}

std::string AppendAddOnCheckDigit(std::string_view s) {
    std::string_view body = s.empty() ? s : s.substr(0, s.size() - 1);
    int sum = 0;
    for (size_t i = 0; i < body.size(); ++i) {
        bool three = (body.size() - 1 - i) % 2 == 0;
        sum += DigitValue(body[i]) * (three ? 3 : 9);
    }
    return std::string(body) + char('0' + sum % 10);
}

std::string ExpandUpcE(std::string_view d, int numberSystem) {
    std::string ns(1, char('0' + numberSystem));
    std::string s(d);
    switch (d[5]) {
    case '0':
    case '1':
    case '2': return ns + s.substr(0, 2) + s[5] + "0000" + s.substr(2, 3);
    case '3': return ns + s.substr(0, 3) + "00000" + s.substr(3, 2);
    case '4': return ns + s.substr(0, 4) + "00000" + s[4];
    default: return ns + s.substr(0, 5) + "0000" + s[5];
    }
}

char UpcECheckDigit(std::string_view sixDigits, int numberSystem) {
    return AppendMod10CheckDigit(ExpandUpcE(sixDigits, numberSystem)).back();
}

char MsiCheckDigit(std::string_view digits) {
    // Doubling starts at the rightmost digit, as readers check it; counting
    // from the left would give a different digit for odd lengths.
    int total = 0;
    for (size_t i = 0; i < digits.size(); ++i) {
        int v = DigitValue(digits[i]);
        if ((digits.size() - 1 - i) % 2 == 0) {
            v *= 2;
            total += v / 10 + v % 10;
        } else {
            total += v;
        }
    }
    int t = total % 10;
    return char('0' + (t == 0 ? 0 : 10 - t));
}

std::string WidthsToBars(std::string_view widths) {
    std::string out;
    out.reserve(widths.size());
    for (size_t i = 0; i < widths.size(); ++i) out += char((i % 2 == 0 ? '5' : '0') + widths[i] - '1');
    return out;
}

std::string Code39FullAscii(std::string_view text, std::string_view className) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char ch = static_cast<unsigned char>(text[i]);
        if (ch >= 128) RaiseUnencodable(className, text, i, bcCode39Extended);
        if ((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z') || ch == ' ') {
            out += char(ch);
        } else if (ch == 0) {
            out += "%U";
        } else if (ch <= 26) {
            out += '$';
            out += char('A' + ch - 1);
        } else if (ch <= 31) {
            out += '%';
            out += char('A' + ch - 27);
        } else if (ch <= '/') {
            out += '/';
            out += char('A' + ch - '!');
        } else if (ch == ':') {
            out += "/Z";
        } else if (ch <= '?') {
            out += '%';
            out += char('F' + ch - ';');
        } else if (ch == '@') {
            out += "%V";
        } else if (ch <= '_') {
            out += '%';
            out += char('K' + ch - '[');
        } else if (ch == '`') {
            out += "%W";
        } else if (ch <= 'z') {
            out += '+';
            out += char('A' + ch - 'a');
        } else {
            out += '%';
            out += char('P' + ch - '{');
        }
    }
    return out;
}

std::string Code93FullAscii(std::string_view text, std::string_view className) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 128) RaiseUnencodable(className, text, i, bcCode93Extended);
    }
    // The same table as Code 39's: there '$' '%' '/' '+' appear only as
    // shifts (the characters themselves expand to pairs), so each one maps
    // to the Code 93 shift that takes its place.
    std::string out = Code39FullAscii(text, className);
    for (char& ch : out) {
        switch (ch) {
        case '$': ch = '['; break;
        case '%': ch = ']'; break;
        case '/': ch = '{'; break;
        case '+': ch = '}'; break;
        default: break;
        }
    }
    return out;
}

Encoded Encode(TRMBarcodeType typ, std::string_view text, bool checksum, TRMCheckSumMethod method,
               std::string_view className) {
    if (typ < 0 || typ >= BarcodeTypeCount) throw Exception(Fmt("%s: wrong BarcodeType", className));
    // The digit tables are indexed by digit: never index them with anything else.
    if (BarcodeTypeTable[typ].Num)
        for (char ch : text)
            if (ch < '0' || ch > '9') throw Exception("Barcode must be numeric");
    switch (typ) {
    case bcCode_2_5_interleaved: return Interleaved25(text);
    case bcCode_2_5_industrial: return Industrial25(text);
    case bcCode_2_5_matrix: return Matrix25(text);
    case bcCode39: return {Code39Bars(text, checksum, className, typ), std::string(text)};
    case bcCode39Extended:
        return {Code39Bars(Code39FullAscii(text, className), checksum, className, typ), std::string(text)};
    case bcCode128A:
    case bcCode128B:
    case bcCode128C:
    case bcCodeEAN128A:
    case bcCodeEAN128B:
    case bcCodeEAN128C: return Code128(typ, text, checksum, method, className);
    case bcCode93: return {Code93Bars(text, className, text), std::string(text)};
    case bcCode93Extended: return {Code93Bars(Code93FullAscii(text, className), className, text), std::string(text)};
    case bcCodeMSI: return Msi(text);
    case bcCodePostNet: return PostNet(text);
    case bcCodeCodabar: return Codabar(text, className);
    case bcCodeEAN8: return Ean8(text, checksum, method);
    case bcCodeEAN13: return Ean13(text, checksum, method);
    case bcCodeUPC_A: return UpcA(text, checksum, method);
    case bcCodeUPC_E0: return UpcE(text, checksum, 0);
    case bcCodeUPC_E1: return UpcE(text, checksum, 1);
    case bcCodeUPC_Supp2: return Supp2(text, checksum);
    case bcCodeUPC_Supp5: return Supp5(text, checksum);
    }
    throw Exception(Fmt("%s: wrong BarcodeType", className));
}

} // namespace barcode
