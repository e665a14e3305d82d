#include "RtfWriter.h"

#include "Gbk.h"

#include <cstdio>

namespace {

void appendHexByte(std::string& out, uint8_t b) {
    static const char digits[] = "0123456789abcdef";
    out += "\\'";
    out += digits[b >> 4];
    out += digits[b & 15];
}

// \uN takes a signed 16-bit number.
void appendUnicodeUnit(std::string& out, unsigned unit) {
    out += "\\u";
    out += std::to_string(unit > 32767 ? int(unit) - 65536 : int(unit));
}

void appendFallback(std::string& out, char32_t cp, int skip) {
    if (skip == 1) {
        out += '?';
        return;
    }
    std::string one;
    Utf8Append(one, cp);
    std::string gbk = Utf8ToGbk(one);
    // Only a two-byte form fills the two places \uc2 skips; anything else
    // (unmappable, the one-byte euro) stands as question marks.
    if (gbk.size() == 2 && gbk != "??") {
        appendHexByte(out, uint8_t(gbk[0]));
        appendHexByte(out, uint8_t(gbk[1]));
    } else {
        out.append(size_t(skip), '?');
    }
}

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

} // namespace

std::string RtfEscape(std::string_view utf8, int UnicodeSkip) {
    std::string out;
    out.reserve(utf8.size() + utf8.size() / 2);
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = Utf8Next(utf8, pos);
        switch (cp) {
        case '\\': out += "\\\\"; continue;
        case '{': out += "\\{"; continue;
        case '}': out += "\\}"; continue;
        case '\t': out += "\\tab "; continue;
        case '\r':
            if (pos < utf8.size() && utf8[pos] == '\n') ++pos;
            out += "\\line ";
            continue;
        case '\n': out += "\\line "; continue;
        default: break;
        }
        if (cp < 32 || cp == 127) continue;
        if (cp < 128) {
            out += char(cp);
            continue;
        }
        if (cp > 0xFFFF) {
            char32_t v = cp - 0x10000;
            appendUnicodeUnit(out, 0xD800 + unsigned(v >> 10));
            out.append(size_t(UnicodeSkip), '?');
            appendUnicodeUnit(out, 0xDC00 + unsigned(v & 0x3FF));
            out.append(size_t(UnicodeSkip), '?');
            continue;
        }
        appendUnicodeUnit(out, unsigned(cp));
        appendFallback(out, cp, UnicodeSkip);
    }
    return out;
}

std::string RtfEscapeFontName(std::string_view utf8) {
    std::string out;
    for (unsigned char c : Utf8ToGbk(utf8)) {
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (c < 32) {
            continue;
        } else if (c < 128) {
            out += char(c);
        } else {
            appendHexByte(out, c);
        }
    }
    return out;
}

TRtfWriter::TRtfWriter(std::string Header, int UnicodeSkip)
    : header_(std::move(Header)), unicodeSkip_(UnicodeSkip < 1 ? 1 : UnicodeSkip) {}

int TRtfWriter::FontIndex(std::string_view name, std::string_view family, int charset) {
    for (size_t i = 0; i < fonts_.size(); ++i)
        if (sameIgnoringAsciiCase(fonts_[i].Name, name)) return int(i);
    fonts_.push_back(Font{std::string(name), std::string(family), charset});
    return int(fonts_.size() - 1);
}

int TRtfWriter::ColorIndex(uint8_t red, uint8_t green, uint8_t blue) {
    Color c{red, green, blue};
    for (size_t i = 0; i < colors_.size(); ++i)
        if (colors_[i] == c) return int(i);
    return AddColor(red, green, blue);
}

int TRtfWriter::AddColor(uint8_t red, uint8_t green, uint8_t blue) {
    colors_.push_back(Color{red, green, blue});
    return int(colors_.size() - 1);
}

void TRtfWriter::Line(std::string_view words) {
    body_.append(words);
    body_ += "\r\n";
}

std::string TRtfWriter::ColorTable() const {
    if (colors_.empty()) return {};
    std::string s = "{\\colortbl";
    for (const Color& c : colors_)
        s += "\\red" + std::to_string(c.Red) + "\\green" + std::to_string(c.Green) + "\\blue" + std::to_string(c.Blue) +
             ";";
    return s + "}";
}

std::string TRtfWriter::FontTable() const {
    if (fonts_.empty()) return {};
    std::string s = "{\\fonttbl";
    for (size_t i = 0; i < fonts_.size(); ++i) {
        const Font& f = fonts_[i];
        s += "{\\f" + std::to_string(i) + "\\f" + (f.Family.empty() ? std::string("nil") : f.Family);
        if (f.Charset >= 0) s += "\\fcharset" + std::to_string(f.Charset);
        s += " " + RtfEscapeFontName(f.Name) + ";}";
    }
    return s + "}";
}

std::string TRtfWriter::Document() const {
    std::string s = header_ + "\r\n";
    std::string fonts = FontTable(), colours = ColorTable();
    if (!fonts.empty()) s += fonts + "\r\n";
    if (!colours.empty()) s += colours + "\r\n";
    s += body_;
    s += "}";
    return s;
}
