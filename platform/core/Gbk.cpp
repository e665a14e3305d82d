// GBK conversion and UTF-8 walking. Every code point maps to exactly one
// GBK character ('?' when GBK has none), which is what lets the byte
// counting below map GBK byte positions back onto UTF-8.
//
// Towards GBK a table of the 64K basic-plane code points is built once from
// glibc's iconv; lengths, slices and locale comparisons then walk the UTF-8
// text without converting it (sorting a catalogue compares names millions
// of times). From GBK the conversion goes through iconv directly.
#include "Gbk.h"

#include <errno.h>
#include <iconv.h>

#include <memory>
#include <mutex>
#include <stdexcept>

namespace {

bool isAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

// One converter per thread and direction; iconv handles keep shift state
// and are not safe to share.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == (iconv_t)-1) throw std::runtime_error("iconv cannot convert GBK");
    }
    ~Converter() { iconv_close(cd_); }

    // Converts `in`; on a byte sequence it cannot convert, writes '?' and
    // skips `skip(in, pos)` bytes.
    template <class Skip>
    std::string run(std::string_view in, Skip skip) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string out;
        out.resize(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        size_t used = 0;
        while (srcLeft > 0) {
            char* dst = out.data() + used;
            size_t dstLeft = out.size() - used;
            size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            used = size_t(dst - out.data());
            if (r != (size_t)-1) break;
            if (errno == E2BIG) {
                out.resize(out.size() * 2 + 16);
                continue;
            }
            // EILSEQ or EINVAL (cut short at the end): one '?', skip on.
            if (used + 1 > out.size()) out.resize(out.size() * 2 + 16);
            out[used++] = '?';
            size_t n = skip(std::string_view(src, srcLeft));
            src += n;
            srcLeft -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(used);
        return out;
    }

private:
    iconv_t cd_;
};

// gbkOf[cp]: the GBK code of a basic-plane code point: below 0x100 a single
// byte, else lead byte * 256 + trail byte; 0 when GBK has no such character.
//
// Built one code point per call. Converting all of them in one text made
// iconv redo its first step over the rest of its buffer at each of the
// 40,000 code points GBK lacks: a second and a half at the first sort or
// comparison of Chinese text, which came at a desk's second scan.
const uint16_t* gbkTable() {
    static std::unique_ptr<uint16_t[]> table;
    static std::once_flag once;
    std::call_once(once, [] {
        table.reset(new uint16_t[0x10000]());
        for (char32_t cp = 0; cp < 0x80; ++cp) table[cp] = uint16_t(cp);
        iconv_t cd = iconv_open("GBK", "UTF-8");
        if (cd == (iconv_t)-1) throw std::runtime_error("iconv cannot convert GBK");
        std::string in;
        for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF) continue;
            in.clear();
            Utf8Append(in, cp);
            char out[4];
            char* src = in.data();
            char* dst = out;
            size_t srcLeft = in.size(), dstLeft = sizeof out;
            const bool converted = iconv(cd, &src, &srcLeft, &dst, &dstLeft) != (size_t)-1 && srcLeft == 0;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            const size_t n = size_t(dst - out);
            if (!converted || n == 0 || n > 2) continue;
            table[cp] = n == 2 ? uint16_t(uint8_t(out[0]) << 8 | uint8_t(out[1])) : uint8_t(out[0]);
        }
        iconv_close(cd);
    });
    return table.get();
}

// The GBK code of one code point, 0 when unmappable.
uint16_t gbkCode(const uint16_t* table, char32_t cp) { return cp < 0x10000 ? table[cp] : 0; }

int gbkWidth(uint16_t code) { return code > 0xFF ? 2 : 1; }

} // namespace

std::string Utf8ToGbk(std::string_view utf8) {
    if (isAscii(utf8)) return std::string(utf8);
    const uint16_t* table = gbkTable();
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        uint16_t code = gbkCode(table, Utf8Next(utf8, pos));
        if (code == 0)
            out += '?';
        else if (code > 0xFF) {
            out += char(code >> 8);
            out += char(code & 0xFF);
        } else {
            out += char(code);
        }
    }
    return out;
}

int CompareGbk(std::string_view a, std::string_view b, bool ignoreCase) {
    const uint16_t* table = gbkTable();
    size_t i = 0, j = 0;
    // Byte order of the GBK forms: compare codes as byte pairs.
    auto key = [&](std::string_view s, size_t& pos, uint8_t* bytes) -> int {
        char32_t cp = Utf8Next(s, pos);
        uint16_t code = gbkCode(table, cp);
        if (code == 0) code = '?';
        if (code > 0xFF) {
            bytes[0] = uint8_t(code >> 8);
            bytes[1] = uint8_t(code & 0xFF);
            return 2;
        }
        uint8_t c = uint8_t(code);
        if (ignoreCase && c >= 'a' && c <= 'z') c = uint8_t(c - 32);
        bytes[0] = c;
        return 1;
    };
    uint8_t ka[2], kb[2];
    int na = 0, nb = 0, ia = 0, ib = 0;
    while (true) {
        if (ia == na) {
            if (i >= a.size()) break;
            na = key(a, i, ka);
            ia = 0;
        }
        if (ib == nb) {
            if (j >= b.size()) {
                return 1;
            }
            nb = key(b, j, kb);
            ib = 0;
        }
        if (ka[ia] != kb[ib]) return ka[ia] < kb[ib] ? -1 : 1;
        ++ia;
        ++ib;
    }
    // a is used up: equal when b is too.
    return (ib == nb && j >= b.size()) ? 0 : -1;
}

std::string GbkToUtf8(std::string_view gbk) {
    if (isAscii(gbk)) return std::string(gbk);
    thread_local Converter conv("UTF-8", "GBK");
    return conv.run(gbk, [](std::string_view rest) -> size_t {
        // A well-formed pair GBK does not map is one character; a stray
        // lead byte alone is one.
        if (rest.size() >= 2 && IsDBCSLeadByte(uint8_t(rest[0])) && uint8_t(rest[1]) >= 0x40 &&
            uint8_t(rest[1]) != 0x7F && uint8_t(rest[1]) != 0xFF)
            return 2;
        return 1;
    });
}

std::string FileTextToUtf8(std::string_view bytes) {
    if (bytes.size() >= 3 && uint8_t(bytes[0]) == 0xEF && uint8_t(bytes[1]) == 0xBB && uint8_t(bytes[2]) == 0xBF)
        return std::string(bytes.substr(3));
    return GbkToUtf8(bytes);
}

bool IsDBCSLeadByte(uint8_t b) { return b >= 0x81 && b <= 0xFE; }

int GbkByteLength(std::string_view utf8) {
    if (isAscii(utf8)) return int(utf8.size());
    const uint16_t* table = gbkTable();
    int n = 0;
    size_t pos = 0;
    while (pos < utf8.size()) n += gbkWidth(gbkCode(table, Utf8Next(utf8, pos)));
    return n;
}

namespace {

// Walks the GBK form of utf8 character by character; calls f(byteStart,
// byteWidth, utf8Start, utf8Len) and stops when it returns false.
template <class F>
void walkGbk(std::string_view utf8, F f) {
    const uint16_t* table = gbkTable();
    size_t gi = 0, ui = 0;
    while (ui < utf8.size()) {
        size_t u0 = ui;
        size_t w = size_t(gbkWidth(gbkCode(table, Utf8Next(utf8, ui))));
        if (!f(gi, w, u0, ui - u0)) return;
        gi += w;
    }
}

} // namespace

std::string GbkLeftBytes(std::string_view utf8, int n) {
    if (n <= 0) return {};
    size_t end = 0;
    walkGbk(utf8, [&](size_t g, size_t w, size_t u, size_t ul) {
        if (g + w > size_t(n)) return false;
        end = u + ul;
        return true;
    });
    return std::string(utf8.substr(0, end));
}

std::string GbkCopyBytes(std::string_view utf8, int start1, int count) {
    if (count <= 0) return {};
    long long from = (long long)start1 - 1;
    long long to = from + count;
    if (from < 0) from = 0;
    std::string out;
    walkGbk(utf8, [&](size_t g, size_t w, size_t u, size_t ul) {
        if ((long long)(g + w) > to) return false;
        if ((long long)g >= from) out.append(utf8.substr(u, ul));
        return true;
    });
    return out;
}

char32_t Utf8Next(std::string_view s, size_t& pos) {
    if (pos >= s.size()) return 0;
    unsigned char c = uint8_t(s[pos]);
    if (c < 0x80) {
        ++pos;
        return c;
    }
    int len = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + len > s.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i < len; ++i) {
        unsigned char cc = uint8_t(s[pos + i]);
        if ((cc & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    static const char32_t minCp[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minCp[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += len;
    return cp;
}

void Utf8Append(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

int Utf8Length(std::string_view s) {
    int n = 0;
    for (size_t pos = 0; pos < s.size(); ++n) Utf8Next(s, pos);
    return n;
}

std::string Utf8Copy(std::string_view s, int index, int count) {
    if (count <= 0) return {};
    if (index < 1) index = 1;
    size_t pos = 0;
    for (int i = 1; i < index && pos < s.size(); ++i) Utf8Next(s, pos);
    size_t start = pos;
    for (int i = 0; i < count && pos < s.size(); ++i) Utf8Next(s, pos);
    return std::string(s.substr(start, pos - start));
}

bool IsValidUtf8(std::string_view s) {
    size_t pos = 0;
    while (pos < s.size()) {
        size_t before = pos;
        char32_t cp = Utf8Next(s, pos);
        if (cp == 0xFFFD && !(pos - before == 3 && uint8_t(s[before]) == 0xEF)) return false;
    }
    return true;
}
