// The Jet-dialect translator. The statement is cut into tokens (quoted text,
// #date# literals, names, numbers, blanks, punctuation); a recursive pass over
// parenthesised ranges rewrites function calls, date literals, booleans and
// "select top N", and copies every other token as it came, so spacing and
// letter case of the untouched parts survive byte for byte.
// It does not check the statement: SQLite reports what is malformed.
#include "JetSql.h"

#include "System.h"

#include <cstddef>
#include <cstdio>
#include <vector>

namespace {

enum class Kind { Blank, Text, Name, Number, Date, Punct };

struct Token {
    Kind kind;
    std::string text;
};

[[noreturn]] void fail(const std::string& what, std::string_view sql) {
    throw EDatabaseError(what + ": " + std::string(sql));
}

bool isNameByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
           c >= 0x80;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool sameWord(const std::string& a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Quoted text runs to the closing quote; a doubled quote is one quote inside.
std::size_t endOfQuoted(std::string_view s, std::size_t i, char q) {
    for (std::size_t j = i + 1; j < s.size(); ++j) {
        if (s[j] != q) continue;
        if (j + 1 < s.size() && s[j + 1] == q) {
            ++j;
            continue;
        }
        return j + 1;
    }
    return std::string_view::npos;
}

std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        std::size_t j = i + 1;
        Kind k = Kind::Punct;
        if (isBlank(c)) {
            while (j < s.size() && isBlank(s[j])) ++j;
            k = Kind::Blank;
        } else if (c == '\'' || c == '"') {
            j = endOfQuoted(s, i, c);
            if (j == std::string_view::npos) fail("Unterminated string in SQL statement", s);
            k = Kind::Text;
        } else if (c == '#') {
            j = s.find('#', i + 1);
            if (j == std::string_view::npos) fail("Unterminated date literal in SQL statement", s);
            ++j;
            k = Kind::Date;
        } else if (c == '[') {
            j = s.find(']', i + 1);
            if (j == std::string_view::npos) fail("Unterminated name in brackets in SQL statement", s);
            ++j;
            k = Kind::Name;
        } else if (isDigit(c) || (c == '.' && i + 1 < s.size() && isDigit(s[i + 1]))) {
            while (j < s.size() && (isDigit(s[j]) || s[j] == '.')) ++j;
            if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
                std::size_t e = j + 1;
                if (e < s.size() && (s[e] == '+' || s[e] == '-')) ++e;
                if (e < s.size() && isDigit(s[e])) {
                    j = e;
                    while (j < s.size() && isDigit(s[j])) ++j;
                }
            }
            k = Kind::Number;
        } else if (isNameByte(static_cast<unsigned char>(c))) {
            while (j < s.size() && isNameByte(static_cast<unsigned char>(s[j]))) ++j;
            k = Kind::Name;
        } else if ((c == '<' || c == '>' || c == '!') && j < s.size() && (s[j] == '=' || (c == '<' && s[j] == '>'))) {
            ++j;
        }
        out.push_back({k, std::string(s.substr(i, j - i))});
        i = j;
    }
    return out;
}

// Reads the inside of a #...# literal: yyyy-M-d or yyyy/M/d (the form every
// statement here builds) or M/d/yyyy (the engine's own form), with an optional
// h:n[:s] time. Returns the stored form, 'yyyy-MM-dd' or 'yyyy-MM-dd hh:nn:ss'.
std::string dateLiteral(const std::string& token, std::string_view sql) {
    const std::string body = token.substr(1, token.size() - 2);
    int a = 0, b = 0, c = 0, h = 0, n = 0, sec = 0;
    char s1 = 0, s2 = 0;
    int used = 0;
    int got = std::sscanf(body.c_str(), " %d%c%d%c%d%n", &a, &s1, &b, &s2, &c, &used);
    if (got < 5 || s1 != s2 || (s1 != '-' && s1 != '/')) fail("Invalid date literal " + token, sql);
    std::string rest = body.substr(static_cast<std::size_t>(used));
    bool withTime = false;
    std::size_t p = rest.find_first_not_of(' ');
    if (p != std::string::npos) {
        int used2 = 0;
        rest = rest.substr(p);
        if (std::sscanf(rest.c_str(), "%d:%d:%d%n", &h, &n, &sec, &used2) == 3 ||
            (sec = 0, std::sscanf(rest.c_str(), "%d:%d%n", &h, &n, &used2) == 2)) {
            if (rest.find_first_not_of(' ', static_cast<std::size_t>(used2)) != std::string::npos)
                fail("Invalid date literal " + token, sql);
            withTime = true;
        } else {
            fail("Invalid date literal " + token, sql);
        }
    }
    int y = a, m = b, d = c;
    if (a < 100) {
        if (s1 != '/') fail("Invalid date literal " + token, sql);
        m = a;
        d = b;
        y = c;
    }
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (y < 100 || y > 9999 || m < 1 || m > 12 || d < 1 || d > days[m - 1] || (m == 2 && d == 29 && !leap) || h > 23 ||
        n > 59 || sec > 59 || h < 0 || n < 0 || sec < 0)
        fail("Invalid date literal " + token, sql);
    char buf[64];
    if (withTime)
        std::snprintf(buf, sizeof buf, "'%04d-%02d-%02d %02d:%02d:%02d'", y, m, d, h, n, sec);
    else
        std::snprintf(buf, sizeof buf, "'%04d-%02d-%02d'", y, m, d);
    return buf;
}

class Translator {
public:
    explicit Translator(std::string_view sql) : sql_(sql), t_(tokenize(sql)) { numberPlaceholders(); }

    std::string run() { return range(0, t_.size()); }

private:
    std::string_view sql_;
    std::vector<Token> t_;

    // Numbered before any rewrite, in the order the operator wrote them.
    void numberPlaceholders() {
        int n = 0;
        for (Token& tk : t_)
            if (tk.kind == Kind::Punct && tk.text == "?") tk.text = "?" + std::to_string(++n);
    }

    bool isPunct(std::size_t i, char c) const {
        return i < t_.size() && t_[i].kind == Kind::Punct && t_[i].text.size() == 1 && t_[i].text[0] == c;
    }

    std::size_t skipBlanks(std::size_t i, std::size_t end) const {
        while (i < end && t_[i].kind == Kind::Blank) ++i;
        return i;
    }

    // Index of the ')' matching the '(' at `open`; the statement's own
    // unbalanced parentheses are SQLite's to report, so this never fails.
    std::size_t closing(std::size_t open, std::size_t end) const {
        int depth = 0;
        for (std::size_t i = open; i < end; ++i) {
            if (isPunct(i, '('))
                ++depth;
            else if (isPunct(i, ')') && --depth == 0)
                return i;
        }
        return end;
    }

    bool previousIsDot(std::size_t i) const {
        while (i > 0) {
            --i;
            if (t_[i].kind != Kind::Blank) return isPunct(i, '.');
        }
        return false;
    }

    // Arguments of a call whose '(' is at `open` and ')' at `close`: each one
    // translated, with the blanks around it kept.
    std::vector<std::string> arguments(std::size_t open, std::size_t close) {
        std::vector<std::string> args;
        std::size_t start = open + 1;
        int depth = 0;
        for (std::size_t i = open + 1; i < close; ++i) {
            if (isPunct(i, '('))
                ++depth;
            else if (isPunct(i, ')'))
                --depth;
            else if (depth == 0 && isPunct(i, ',')) {
                args.push_back(range(start, i));
                start = i + 1;
            }
        }
        if (start < close || !args.empty()) args.push_back(range(start, close));
        return args;
    }

    static std::string trim(const std::string& s) {
        const auto b = s.find_first_not_of(" \t\r\n");
        if (b == std::string::npos) return {};
        const auto e = s.find_last_not_of(" \t\r\n");
        return s.substr(b, e - b + 1);
    }

    static std::string unquote(const std::string& s) {
        const std::string t = trim(s);
        if (t.size() >= 2 && (t[0] == '"' || t[0] == '\'') && t.back() == t[0]) return t.substr(1, t.size() - 2);
        return t;
    }

    void needArgs(const std::string& name, const std::vector<std::string>& args, std::size_t lo, std::size_t hi) {
        if (args.size() < lo || args.size() > hi) fail("Wrong number of arguments to " + name + "()", sql_);
    }

    // Rewrites a Jet function call; returns false (and leaves `out` alone)
    // for a name this dialect shares with SQLite.
    bool call(const std::string& name, std::size_t open, std::size_t close, std::string& out) {
        static const char* const known[] = {"isnull", "iif",   "left",  "right",   "len",
                                            "mid",    "ucase", "lcase", "datediff"};
        bool isKnown = false;
        for (const char* k : known) isKnown = isKnown || sameWord(name, k);
        if (!isKnown) return false;
        const std::vector<std::string> a = arguments(open, close);
        if (sameWord(name, "isnull")) {
            needArgs(name, a, 1, 1);
            out += "(" + trim(a[0]) + " IS NULL)";
        } else if (sameWord(name, "iif")) {
            needArgs(name, a, 3, 3);
            out += name + "(" + a[0] + "," + a[1] + "," + a[2] + ")";
        } else if (sameWord(name, "left")) {
            needArgs(name, a, 2, 2);
            out += "substr(" + a[0] + ",1," + a[1] + ")";
        } else if (sameWord(name, "right")) {
            needArgs(name, a, 2, 2);
            out += "substr(" + a[0] + ",-(" + trim(a[1]) + ")," + a[1] + ")";
        } else if (sameWord(name, "mid")) {
            needArgs(name, a, 2, 3);
            out += "substr(" + a[0] + "," + a[1] + (a.size() == 3 ? "," + a[2] : std::string()) + ")";
        } else if (sameWord(name, "len")) {
            needArgs(name, a, 1, 1);
            out += "length(" + a[0] + ")";
        } else if (sameWord(name, "ucase")) {
            needArgs(name, a, 1, 1);
            out += "upper(" + a[0] + ")";
        } else if (sameWord(name, "lcase")) {
            needArgs(name, a, 1, 1);
            out += "lower(" + a[0] + ")";
        } else {
            needArgs(name, a, 3, 3);
            out += dateDiff(unquote(a[0]), trim(a[1]), trim(a[2]));
        }
        return true;
    }

    // "d" and "y" count days between the date parts (a time of day does not
    // make a day); "m" and "yyyy" count calendar boundaries crossed, as the
    // engine does.
    std::string dateDiff(const std::string& interval, const std::string& a, const std::string& b) {
        if (sameWord(interval, "d") || sameWord(interval, "y"))
            return "CAST(julianday(date(" + b + ")) - julianday(date(" + a + ")) AS INTEGER)";
        if (sameWord(interval, "yyyy"))
            return "(CAST(strftime('%Y'," + b + ") AS INTEGER) - CAST(strftime('%Y'," + a + ") AS INTEGER))";
        if (sameWord(interval, "m"))
            return "((CAST(strftime('%Y'," + b + ") AS INTEGER) - CAST(strftime('%Y'," + a +
                   ") AS INTEGER)) * 12 + CAST(strftime('%m'," + b + ") AS INTEGER) - CAST(strftime('%m'," + a +
                   ") AS INTEGER))";
        fail("Unsupported DateDiff interval \"" + interval + "\"", sql_);
    }

    // Translates tokens [begin, end): one parenthesis level. A "select top N"
    // met at this level becomes "LIMIT N" after the level's last token, which
    // is after its ORDER BY and before a closing ')' or ';'.
    std::string range(std::size_t begin, std::size_t end) {
        std::string out;
        std::string limit;
        std::size_t i = begin;
        while (i < end) {
            const Token& tk = t_[i];
            if (tk.kind == Kind::Date) {
                out += dateLiteral(tk.text, sql_);
                ++i;
                continue;
            }
            if (tk.kind == Kind::Punct && tk.text == "(") {
                const std::size_t c = closing(i, end);
                out += "(" + range(i + 1, c);
                if (c < end) out += ")";
                i = c + 1;
                continue;
            }
            if (tk.kind != Kind::Name || tk.text[0] == '[') {
                out += tk.text;
                ++i;
                continue;
            }
            const std::size_t next = skipBlanks(i + 1, end);
            if (isPunct(next, '(') && !previousIsDot(i)) {
                const std::size_t c = closing(next, end);
                // An unclosed call is left as typed for SQLite to report.
                if (c < end && call(tk.text, next, c, out)) {
                    i = c + 1;
                    continue;
                }
            }
            if ((sameWord(tk.text, "true") || sameWord(tk.text, "false")) && !previousIsDot(i) && !isPunct(next, '(')) {
                out += sameWord(tk.text, "true") ? "1" : "0";
                ++i;
                continue;
            }
            if (sameWord(tk.text, "select")) {
                out += tk.text;
                i = selectTop(i + 1, end, out, limit);
                continue;
            }
            out += tk.text;
            ++i;
        }
        if (!limit.empty()) {
            std::size_t tail = out.find_last_not_of(" \t\r\n;");
            tail = tail == std::string::npos ? out.size() : tail + 1;
            out.insert(tail, " LIMIT " + limit);
        }
        return out;
    }

    // After a "select" at `i`: drops "top N" (with the blanks after N) when it
    // follows, possibly behind DISTINCT, and records N for this level.
    std::size_t selectTop(std::size_t i, std::size_t end, std::string& out, std::string& limit) {
        std::size_t j = skipBlanks(i, end);
        std::size_t topAt = j;
        if (j < end && t_[j].kind == Kind::Name && (sameWord(t_[j].text, "distinct") || sameWord(t_[j].text, "all")))
            topAt = skipBlanks(j + 1, end);
        if (topAt >= end || t_[topAt].kind != Kind::Name || !sameWord(t_[topAt].text, "top")) return i;
        const std::size_t n = skipBlanks(topAt + 1, end);
        if (n >= end || t_[n].kind != Kind::Number) return i;
        const std::string& count = t_[n].text;
        if (count.find_first_not_of("0123456789") != std::string::npos) fail("TOP needs a whole number", sql_);
        if (!limit.empty()) fail("TOP in more than one select of a compound statement", sql_);
        const std::size_t nextWord = skipBlanks(n + 1, end);
        if (nextWord < end && t_[nextWord].kind == Kind::Name && sameWord(t_[nextWord].text, "percent"))
            fail("TOP ... PERCENT is not supported", sql_);
        limit = count;
        for (std::size_t k = i; k < topAt; ++k) out += t_[k].text;
        return nextWord;
    }
};

} // namespace

std::string JetToSqlite(std::string_view jetSql) { return Translator(jetSql).run(); }

std::vector<std::string> JetPlaceholders(std::string_view jetSql) {
    std::vector<std::string> out;
    const std::vector<Token> t = tokenize(jetSql);
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != Kind::Punct) continue;
        if (t[i].text == "?") {
            out.emplace_back();
        } else if (t[i].text == ":" && i + 1 < t.size() && t[i + 1].kind == Kind::Name && t[i + 1].text[0] != '[') {
            out.push_back(t[i + 1].text);
            ++i;
        }
    }
    return out;
}
