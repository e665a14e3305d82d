// The plain RTF document writer that every exporter of the program shares
// (the grids' RTF exports, the word-processor export): the header, a font
// table and a colour table filled in order of first use, and a body of
// control words and escaped text. It knows nothing of grids or pages; each
// exporter writes its own rows with Raw/Line and its cell texts with Text.
//
// Text arrives as UTF-8 and leaves as pure ASCII: "\", "{" and "}" are
// escaped, and every other character above 127 becomes a Unicode escape
// followed by its GBK bytes, so a modern word processor reads the Unicode
// and an old one, reading the code page 936 the header declares, still
// shows the Chinese text.
//
//   TRtfWriter w;                       // "{\rtf1\ansi\ansicpg936\uc2"
//   int f = w.FontIndex("宋体");
//   int red = w.ColorIndex(255, 0, 0);
//   w.Raw("\\f" + std::to_string(f) + "\\cf" + std::to_string(red) + " ");
//   w.Text("书名{上}");
//   w.Line("\\par");
//   SaveBytes(path, w.Document());      // header, tables, body, "}"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Escapes UTF-8 text for the body of an RTF document. UnicodeSkip is the
// document's \ucN: 2 writes each character above 127 as \uN followed by its
// two GBK bytes as \'hh (or "??" when GBK has no two-byte form for it);
// 1 writes \uN?. Characters beyond the basic plane become two escapes (the
// UTF-16 pair). Tab becomes \tab, a line end (CR LF, LF or CR) \line, other
// control characters are dropped.
std::string RtfEscape(std::string_view utf8, int UnicodeSkip = 2);
// A font name for the font table: its GBK bytes as \'hh (what the table's
// \fcharset134 declares), with "\", "{", "}" escaped.
std::string RtfEscapeFontName(std::string_view utf8);

class TRtfWriter {
public:
    struct Font {
        std::string Name;
        std::string Family; // "nil", "roman", "swiss", "modern", "script", "decor", "tech"
        int Charset = 134;  // GB2312/GBK
    };
    struct Color {
        uint8_t Red = 0, Green = 0, Blue = 0;
        friend bool operator==(const Color&, const Color&) = default;
    };

    // Header is written first as it stands; it must say the \ucN that
    // matches UnicodeSkip.
    explicit TRtfWriter(std::string Header = "{\\rtf1\\ansi\\ansicpg936\\uc2", int UnicodeSkip = 2);

    // Position of the font in the font table (names compared ignoring ASCII
    // case), appended when new.
    int FontIndex(std::string_view name, std::string_view family = "nil", int charset = 134);
    // Position of the colour in the colour table, appended when new.
    int ColorIndex(uint8_t red, uint8_t green, uint8_t blue);
    // Appends the colour even when it is already there.
    int AddColor(uint8_t red, uint8_t green, uint8_t blue);
    const std::vector<Font>& Fonts() const { return fonts_; }
    const std::vector<Color>& Colors() const { return colors_; }

    // Control words (and anything already in RTF form) as they stand.
    void Raw(std::string_view words) { body_.append(words); }
    // The same followed by CR LF.
    void Line(std::string_view words);
    // Text, escaped.
    void Text(std::string_view utf8) { body_ += RtfEscape(utf8, unicodeSkip_); }
    const std::string& Body() const { return body_; }

    // "{\colortbl\red0\green0\blue0;...}" ("" with no colours).
    std::string ColorTable() const;
    // "{\fonttbl{\f0\fnil\fcharset134 name;}...}" ("" with no fonts).
    std::string FontTable() const;
    // Header, font table, colour table, body and the closing "}", each
    // table on a line of its own.
    std::string Document() const;

private:
    std::string header_;
    int unicodeSkip_;
    std::vector<Font> fonts_;
    std::vector<Color> colors_;
    std::string body_;
};
