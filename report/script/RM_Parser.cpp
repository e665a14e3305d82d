#include "report/script/RM_Parser.h"
#include <algorithm>
#include <cstring>

#include <cmath>

#include "Gbk.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "report/model/RM_Utils.h"
#include "report/script/RM_FuncLib.h"

enum TRMNodeKind { nkConst, nkName, nkBracket, nkFunc, nkUnary, nkBinary };

struct TRMNode {
    TRMNodeKind Kind = nkConst;
    Variant Value;
    std::string Name; // names, functions; the operator for unary/binary
    std::vector<TRMNode*> Kids;
    std::vector<std::string> ArgTexts;
    ~TRMNode() {
        for (auto* k : Kids) delete k;
    }
};

Variant TRMFuncCall::Arg(size_t i) const {
    if (i >= ArgTexts.size()) return Null();
    if (ArgNodes && i < ArgNodes->size()) return Parser->Eval((*ArgNodes)[i]);
    return Parser->Calc(ArgTexts[i]);
}

namespace {

bool isNameStop(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '(' || c == ')' || c == '*' || c == '+' ||
           c == '-' || c == '/' || c == '<' || c == '=' || c == '>' || c == '[' || c == ';' || c == ',' || c == '\'';
}

class Compiler {
public:
    explicit Compiler(const std::string& s) : s_(s) {}
    TRMNode* Parse() {
        TRMNode* n = parseCompare();
        skip();
        if (p_ < s_.size() && s_[p_] != ';') {
            delete n;
            fail("unexpected \"" + s_.substr(p_, 10) + "\"");
        }
        return n;
    }

private:
    const std::string& s_;
    size_t p_ = 0;

    [[noreturn]] void fail(const std::string& m) { throw ERMExpressionError("表达式错误: " + m + " in " + s_); }
    void skip() {
        while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\t' || s_[p_] == '\r' || s_[p_] == '\n')) ++p_;
    }
    bool word(const char* w) {
        skip();
        size_t n = strlen(w);
        if (p_ + n > s_.size() || !SameText(s_.substr(p_, n), w)) return false;
        if (p_ + n < s_.size() && !isNameStop(s_[p_ + n])) return false;
        p_ += n;
        return true;
    }
    static TRMNode* bin(const std::string& op, TRMNode* a, TRMNode* b) {
        auto* n = new TRMNode;
        n->Kind = nkBinary;
        n->Name = op;
        n->Kids = {a, b};
        return n;
    }
    TRMNode* parseCompare() {
        TRMNode* a = parseAdd();
        for (;;) {
            skip();
            std::string op;
            if (s_.compare(p_, 2, "<>") == 0 || s_.compare(p_, 2, "<=") == 0 || s_.compare(p_, 2, ">=") == 0)
                op = s_.substr(p_, 2);
            else if (p_ < s_.size() && (s_[p_] == '=' || s_[p_] == '<' || s_[p_] == '>'))
                op = s_.substr(p_, 1);
            if (op.empty()) return a;
            p_ += op.size();
            a = bin(op, a, parseAdd());
        }
    }
    TRMNode* parseAdd() {
        TRMNode* a = parseMul();
        for (;;) {
            skip();
            if (p_ < s_.size() && (s_[p_] == '+' || s_[p_] == '-')) {
                std::string op(1, s_[p_++]);
                a = bin(op, a, parseMul());
            } else {
                return a;
            }
        }
    }
    TRMNode* parseMul() {
        TRMNode* a = parseUnary();
        for (;;) {
            skip();
            if (p_ < s_.size() && (s_[p_] == '*' || s_[p_] == '/')) {
                std::string op(1, s_[p_++]);
                a = bin(op, a, parseUnary());
            } else if (word("MOD")) {
                a = bin("MOD", a, parseUnary());
            } else if (word("AND")) {
                a = bin("AND", a, parseUnary());
            } else if (word("OR")) {
                a = bin("OR", a, parseUnary());
            } else {
                return a;
            }
        }
    }
    TRMNode* parseUnary() {
        skip();
        if (p_ < s_.size() && (s_[p_] == '-' || s_[p_] == '+')) {
            char c = s_[p_++];
            auto* n = new TRMNode;
            n->Kind = nkUnary;
            n->Name = std::string(1, c);
            n->Kids = {parseUnary()};
            return n;
        }
        if (word("NOT")) {
            auto* n = new TRMNode;
            n->Kind = nkUnary;
            n->Name = "NOT";
            n->Kids = {parseUnary()};
            return n;
        }
        return parsePrimary();
    }
    std::string readBracket(char open, char close) {
        // p_ at the opening bracket; quotes protect.
        int depth = 0;
        size_t start = p_;
        bool q = false;
        for (; p_ < s_.size(); ++p_) {
            char c = s_[p_];
            if (c == '\'') q = !q;
            if (q) continue;
            if (c == open)
                ++depth;
            else if (c == close && --depth == 0) {
                ++p_;
                return s_.substr(start + 1, p_ - start - 2);
            }
        }
        fail("missing \"" + std::string(1, close) + "\"");
    }
    TRMNode* parsePrimary() {
        skip();
        if (p_ >= s_.size()) fail("operand expected");
        char c = s_[p_];
        if (c == '(') {
            std::string inner = readBracket('(', ')');
            Compiler sub(inner);
            return sub.Parse();
        }
        if (c == '\'') {
            std::string t;
            ++p_;
            for (;;) {
                if (p_ >= s_.size()) fail("unterminated text");
                if (s_[p_] == '\'') {
                    if (p_ + 1 < s_.size() && s_[p_ + 1] == '\'') {
                        t += '\'';
                        p_ += 2;
                        continue;
                    }
                    ++p_;
                    break;
                }
                t += s_[p_++];
            }
            auto* n = new TRMNode;
            n->Value = t;
            return n;
        }
        if (c == '[') {
            auto* n = new TRMNode;
            n->Kind = nkBracket;
            n->Name = readBracket('[', ']');
            return n;
        }
        // "," is a decimal point as well as ".".
        if (isdigit(uint8_t(c)) || c == '.' || c == ',') {
            size_t st = p_;
            bool dot = false;
            while (p_ < s_.size() && (isdigit(uint8_t(s_[p_])) || s_[p_] == '.' || s_[p_] == ',')) {
                if (s_[p_] == '.' || s_[p_] == ',') dot = true;
                ++p_;
            }
            std::string t = s_.substr(st, p_ - st);
            auto* n = new TRMNode;
            if (!dot && t.size() < 10)
                n->Value = int(std::stol(t));
            else
                n->Value = RMStrToFloat(t);
            return n;
        }
        // A name: runs to a stop character; double-quoted parts may hold
        // anything.
        size_t st = p_;
        while (p_ < s_.size()) {
            if (s_[p_] == '"') {
                size_t e = s_.find('"', p_ + 1);
                p_ = e == std::string::npos ? s_.size() : e + 1;
                continue;
            }
            if (isNameStop(s_[p_])) break;
            ++p_;
        }
        if (p_ == st) fail("operand expected at \"" + s_.substr(p_, 10) + "\"");
        std::string name = s_.substr(st, p_ - st);
        skip();
        if (p_ < s_.size() && s_[p_] == '(') {
            std::string inner = readBracket('(', ')');
            auto* n = new TRMNode;
            n->Kind = nkFunc;
            n->Name = UpperCase(name);
            if (!Trim(inner).empty()) n->ArgTexts = RMGetParameters(inner);
            for (auto& a : n->ArgTexts) {
                Compiler sub(a);
                n->Kids.push_back(Trim(a).empty() ? new TRMNode{nkConst, Null(), {}, {}, {}} : sub.Parse());
            }
            return n;
        }
        if (p_ < s_.size() && s_[p_] == '[') {
            std::string idx = readBracket('[', ']');
            auto* n = new TRMNode;
            n->Kind = nkFunc;
            n->Name = "GETARRAY";
            n->ArgTexts = {"'" + name + "'", idx};
            auto* k0 = new TRMNode;
            k0->Value = name;
            Compiler sub(idx);
            n->Kids = {k0, sub.Parse()};
            return n;
        }
        auto* n = new TRMNode;
        std::string u = UpperCase(name);
        if (u == "TRUE")
            n->Value = 1;
        else if (u == "FALSE")
            n->Value = 0;
        else {
            n->Kind = nkName;
            n->Name = u;
        }
        return n;
    }
};

} // namespace

std::vector<std::string> RMGetParameters(const std::string& s) {
    std::vector<std::string> out;
    int depth = 0;
    bool q = false;
    std::string cur;
    for (char c : s) {
        if (c == '\'') q = !q;
        if (!q) {
            if (c == '(')
                ++depth;
            else if (c == ')')
                --depth;
            else if (c == ',' && depth == 0) {
                out.push_back(Trim(cur));
                cur.clear();
                continue;
            }
        }
        cur += c;
    }
    out.push_back(Trim(cur));
    return out;
}

bool RMIsNumber(const Variant& v) {
    if (VarIsNumeric(v) || VarType(v) == varBoolean || VarType(v) == varDate) return true;
    return false;
}

double RMToNumber(const Variant& v) {
    if (VarIsClear(v)) return 0;
    if (VarIsStr(v)) {
        double d;
        std::string t = Trim(VarToStr(v));
        if (t.empty()) return 0;
        return TryStrToFloat(t, d) ? d : 0;
    }
    return v.AsDouble();
}

namespace {
bool numericText(const Variant& v, double& d) {
    if (RMIsNumber(v)) {
        d = v.AsDouble();
        return true;
    }
    if (VarIsClear(v)) {
        d = 0;
        return true;
    }
    return TryStrToFloat(Trim(VarToStr(v)), d);
}
bool isWhole(const Variant& v) { return VarIsOrdinal(v) && VarType(v) != varBoolean; }
Variant num(double d, bool whole) {
    if (whole && std::fabs(d) < 2e9) return int(d);
    return d;
}
} // namespace

TRMParser::TRMParser() = default;
TRMParser::~TRMParser() = default;

const TRMNode* TRMParser::compile(const std::string& expr) {
    auto it = cache_.find(expr);
    if (it != cache_.end()) return it->second.get();
    if (cache_.size() > 20000) cache_.clear();
    Compiler c(expr);
    std::unique_ptr<TRMNode> n(c.Parse());
    return (cache_[expr] = std::move(n)).get();
}

std::string TRMParser::Check(const std::string& expr) {
    try {
        Compiler c(expr);
        delete c.Parse();
        return {};
    } catch (const Exception& e) {
        return e.Message;
    }
}

Variant TRMParser::Calc(const std::string& expr) {
    // Blank text is no expression; asked without copying the text, as
    // every evaluation asks.
    if (std::all_of(expr.begin(), expr.end(), [](char c) { return uint8_t(c) <= ' '; })) return Null();
    if (Depth >= MaxDepth) throw ERMExpressionError("表达式嵌套过深: " + expr);
    ++Depth;
    ScopeExit leave([&] { --Depth; });
    return Eval(compile(expr));
}

Variant TRMParser::Eval(const TRMNode* n) {
    switch (n->Kind) {
    case nkConst: return n->Value;
    case nkName:
    case nkBracket: {
        Variant v = OnGetValue ? OnGetValue(n->Name, n->Kind == nkBracket) : Variant();
        if (VarIsEmpty(v) && n->Kind == nkName) {
            double d;
            if (TryStrToFloat(n->Name, d)) return d;
        }
        return v;
    }
    case nkFunc: {
        TRMFuncCall call{n->Name, n->ArgTexts, this, &n->Kids};
        Variant r;
        if (n->Name == "IF" && call.Count() >= 2) {
            return RMToNumber(call.Arg(0)) != 0 ? call.Arg(1) : call.Arg(2);
        }
        if (OnFunction && OnFunction(call, r)) return r;
        if (RMStdFunction(call, r)) return r;
        if (RMCallFunctionLibraries(call, r)) return r;
        throw ERMExpressionError("未知函数: " + n->Name);
    }
    case nkUnary: {
        Variant a = Eval(n->Kids[0]);
        if (n->Name == "NOT") return RMToNumber(a) == 0 ? 1 : 0;
        if (n->Name == "-") return num(-RMToNumber(a), isWhole(a));
        return a;
    }
    case nkBinary: {
        const std::string& op = n->Name;
        Variant a = Eval(n->Kids[0]);
        Variant b = Eval(n->Kids[1]);
        double x = 0, y = 0;
        bool nx = numericText(a, x), ny = numericText(b, y);
        bool whole = isWhole(a) && isWhole(b);
        if (op == "+") {
            if ((VarIsStr(a) || VarIsStr(b)) && !(nx && ny && !VarIsStr(a) && !VarIsStr(b))) {
                if (VarIsStr(a) || VarIsStr(b)) {
                    if (!(RMIsNumber(a) && RMIsNumber(b))) return VarToStr(a) + VarToStr(b);
                }
            }
            return num(x + y, whole);
        }
        if (op == "-") return num(x - y, whole);
        if (op == "*" || op == "AND") return num(x * y, whole || op == "AND");
        if (op == "OR") return num(x + y, true);
        if (op == "/") return y == 0 ? Variant(0) : Variant(x / y);
        if (op == "MOD") return y == 0 ? 0 : int(int64_t(x) % int64_t(y));
        int cmp;
        if (nx && ny && !(VarIsStr(a) && VarIsStr(b)))
            cmp = x < y ? -1 : x > y ? 1 : 0;
        else {
            std::string sa = VarToStr(a), sb = VarToStr(b);
            cmp = sa < sb ? -1 : sa > sb ? 1 : 0;
        }
        bool r = op == "="    ? cmp == 0
                 : op == "<>" ? cmp != 0
                 : op == "<"  ? cmp < 0
                 : op == ">"  ? cmp > 0
                 : op == "<=" ? cmp <= 0
                              : cmp >= 0;
        return r ? 1 : 0;
    }
    }
    return Null();
}

// ---------------------------------------------------------------- text readers

std::string TRMParser::GetIdentifier(const std::string& s, size_t& pos) {
    while (pos < s.size() && uint8_t(s[pos]) <= 32) ++pos;
    size_t st = pos;
    bool quoted = false;
    for (; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\r' || c == ' ' || c == '(' || c == ')' || c == '*' || c == '+' || c == '-' || c == '/' ||
            c == '<' || c == '=' || c == '>' || c == '[')
            break;
    }
    return s.substr(st, pos - st);
}

std::string TRMParser::GetString(const std::string& s, size_t& pos) {
    size_t st = pos;
    if (pos >= s.size() || s[pos] != '\'') return {};
    for (++pos; pos < s.size(); ++pos)
        if (s[pos] == '\'') {
            if (pos + 1 < s.size() && s[pos + 1] == '\'') {
                ++pos;
                continue;
            }
            ++pos;
            break;
        }
    return s.substr(st, pos - st);
}

std::vector<std::string> TRMParser::GetParameters(const std::string& s, size_t& pos) {
    std::vector<std::string> out;
    std::string cur;
    int depth = 1;
    bool quoted = false;
    for (; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '\'') quoted = !quoted;
        if (!quoted) {
            if (c == '(') {
                ++depth;
            } else if (c == ')') {
                if (--depth == 0) {
                    ++pos;
                    out.push_back(cur);
                    return out;
                }
            } else if (c == ',' && depth == 1) {
                out.push_back(cur);
                cur.clear();
                continue;
            }
        }
        cur += c;
    }
    throw ERMExpressionError("表达式错误: missing \")\" in " + s);
}

std::string RMGetBracketedVariable(const std::string& s, size_t& pos, size_t& open, size_t& close) {
    open = pos;
    close = std::string::npos;
    int depth = 0;
    bool single = false, dbl = false;
    for (; pos < s.size(); ++pos) {
        char c = s[pos];
        if (c == '\'' && !dbl)
            single = !single;
        else if (c == '"' && !single)
            dbl = !dbl;
        if (single || dbl) continue;
        if (c == '[') {
            ++depth;
        } else if (c == ']' && --depth == 0) {
            close = pos++;
            return s.substr(open + 1, close - open - 1);
        }
    }
    return open + 1 <= s.size() ? s.substr(open + 1) : std::string();
}

// ---------------------------------------------------------------- numbers in words

namespace {
const char* const kDigit[] = {"零", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
const char* const kBig[] = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};

// Removes the last UTF-8 character.
void popChar(std::string& s) {
    if (s.empty()) return;
    size_t p = s.size() - 1;
    while (p > 0 && (uint8_t(s[p]) & 0xC0) == 0x80) --p;
    s.erase(p);
}
bool endsWith(const std::string& s, const std::string& t) {
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}
} // namespace

std::string RMNumToChinese(double x) {
    std::string r;
    if (x < 0) {
        r = "负";
        x = -x;
    }
    if (x >= 1e9) return r + FormatFloat("0.##", x);
    char buf[32];
    snprintf(buf, sizeof buf, "%12.2f", x);
    std::string t = buf;
    static const char* units[] = {"亿", "千", "百", "十", "万", "千", "百", "十", "一", ""};
    std::string out;
    int z = 0;
    bool anyWan = false; // a digit seen in the ten-thousands group
    for (int i = 0; i < 10; ++i) {
        char c = t[size_t(i)];
        if (c == ' ') continue;
        if (c == '.') {
            popChar(out);
            z = 15;
            continue;
        }
        int d = c - '0';
        if (i >= 1 && i <= 4 && d) anyWan = true;
        if (d) {
            out += kDigit[d];
            out += units[i];
            z = 0;
        } else {
            std::string w = z == 0 ? "零" : "";
            if (i == 4) {
                // The ten-thousands unit only when its group holds a digit:
                // 1亿 reads 一亿, not 一亿万.
                if (anyWan) {
                    if (endsWith(out, "零")) {
                        popChar(out);
                        out += "万零";
                    } else {
                        out += "万";
                    }
                }
            }
            out += w;
            ++z;
        }
    }
    // Trailing zeros of the integer part are dropped with the point.
    while (endsWith(out, "零")) popChar(out);
    int d1 = t[10] - '0', d2 = t[11] - '0';
    if (d1 == 0 && d2 != 0)
        out += std::string("点零") + kDigit[d2];
    else if (d1 != 0) {
        out += "点";
        out += kDigit[d1];
        if (d2) out += kDigit[d2];
    }
    if (out.rfind("一十", 0) == 0) out.erase(0, strlen("一"));
    return r + out;
}

std::string RMCurrToBigNum(double x) {
    Currency c = Currency::FromDouble(x);
    int64_t raw = c.Raw();
    bool neg = raw < 0;
    if (neg) raw = -raw;
    int64_t ip = raw / 10000, frac = raw % 10000;
    std::string digits = std::to_string(ip);
    std::string res;
    bool zero = true;
    static const char* unit[] = {"", "拾", "佰", "仟"};
    static const char* group[] = {"", "万", "亿", "兆"};
    int ngroups = int((digits.size() + 3) / 4);
    if (ip == 0) ngroups = 0;
    for (int g = 0; g < ngroups; ++g) {
        std::string gt;
        bool any = false;
        for (int k = 0; k < 4; ++k) {
            int pos = int(digits.size()) - 1 - (g * 4 + k);
            if (pos < 0) break;
            int d = digits[size_t(pos)] - '0';
            if (d == 0) {
                if (!zero && k != 0) gt = "零" + gt;
                zero = true;
            } else {
                gt = std::string(kBig[d]) + unit[k] + gt;
                zero = false;
                any = true;
            }
        }
        if (any)
            res = gt + group[std::min(g, 3)] + res;
        else if (!res.empty() && res.rfind("零", 0) != 0)
            res = "零" + res;
    }
    if (!res.empty()) res += "圆";
    std::string ft;
    if (frac) {
        std::string f = std::to_string(frac);
        f = std::string(4 - f.size(), '0') + f;
        while (!f.empty() && f.back() == '0') f.pop_back();
        static const char* fu[] = {"角", "分", "厘", ""};
        for (size_t i = 0; i < f.size(); ++i) res += std::string(kBig[f[i] - '0']) + fu[i];
    }
    if (res.empty()) res = "零";
    if (res.rfind("壹拾", 0) == 0) res.erase(0, strlen("壹"));
    if (neg) res = "负" + res;
    if ((raw / 100) % 10 == 0) res += "整";
    return res;
}

std::string RMSmallToBig(const std::string& s) {
    std::string out;
    for (char c : Trim(s)) {
        if (c >= '0' && c <= '9')
            out += kBig[c - '0'];
        else if (c == '.')
            out += "点";
        else if (c == '-')
            out += "负";
        else
            throw EConvertError("'" + s + "' is not a valid integer value");
    }
    return out;
}

std::string RMSinglNumToBig(double x, int n) {
    if (n == 0) return {};
    std::string t = FormatFloat("0.####", x);
    size_t dot = t.find('.');
    std::string ip = t.substr(0, dot);
    if (!ip.empty() && ip[0] == '-') ip.erase(0, 1);
    if (n > int(ip.size())) return {};
    return kBig[ip[ip.size() - size_t(n)] - '0'];
}

bool RMStdFunction(const TRMFuncCall& c, Variant& r) {
    const std::string& n = c.Name;
    auto s = [&](size_t i) { return VarToStr(c.Arg(i)); };
    auto d = [&](size_t i) { return RMToNumber(c.Arg(i)); };
    if (n == "COPY") {
        std::string t = s(0);
        // Positions in GBK bytes, two per Chinese character as the text is
        // on disk; a character cut by either end is left out rather than
        // printed as half a character.
        int from = int(d(1)), count = int(d(2));
        if (from < 1) from = 1;
        r = count <= 0 ? std::string() : GbkCopyBytes(t, from, count);
        return true;
    }
    if (n == "STRTODATE") {
        r = TDateTime(StrToDate(s(0)));
        return true;
    }
    if (n == "STRTOTIME") {
        r = TDateTime(StrToTime(s(0)));
        return true;
    }
    if (n == "CNUMBER") {
        r = RMNumToChinese(d(0));
        return true;
    }
    if (n == "INT" || n == "FRAC") {
        // A value within 1e-10 of a whole number is that number, so a sum
        // of fractions that should be whole is not cut down by one.
        double x = d(0), w = std::nearbyint(x);
        bool nearWhole = std::fabs(w - x) < 1e-10;
        if (n == "INT")
            r = nearWhole ? w : std::trunc(x);
        else
            r = nearWhole ? 0.0 : x - std::trunc(x);
        return true;
    }
    if (n == "ROUND") {
        // Halves go to the even neighbour.
        r = num(std::nearbyint(d(0)), true);
        return true;
    }
    if (n == "STR") {
        r = VarToStr(c.Arg(0));
        return true;
    }
    if (n == "LENGTH") {
        r = int(Utf8ToGbk(s(0)).size());
        return true;
    }
    if (n == "LOWERCASE") {
        r = LowerCase(s(0));
        return true;
    }
    if (n == "UPPERCASE") {
        r = UpperCase(s(0));
        return true;
    }
    if (n == "NAMECASE") {
        std::string t = s(0);
        if (!t.empty()) t[0] = char(toupper(uint8_t(t[0])));
        r = t;
        return true;
    }
    if (n == "POS") {
        // A position in the same units as LENGTH and COPY: GBK bytes.
        std::string sub = Utf8ToGbk(s(0)), text = Utf8ToGbk(s(1));
        size_t p = sub.empty() ? std::string::npos : RMGbkFind(text, sub);
        r = p == std::string::npos ? 0 : int(p + 1);
        return true;
    }
    if (n == "TRIM") {
        r = Trim(s(0));
        return true;
    }
    if (n == "DIV") {
        double y = d(1);
        r = y == 0 ? 0 : int(int64_t(d(0)) / int64_t(y));
        return true;
    }
    if (n == "MAXNUM") {
        Variant a = c.Arg(0), b = c.Arg(1);
        r = RMToNumber(b) > RMToNumber(a) ? b : a;
        return true;
    }
    if (n == "MINNUM") {
        Variant a = c.Arg(0), b = c.Arg(1);
        r = RMToNumber(b) < RMToNumber(a) ? b : a;
        return true;
    }
    if (n == "DAY" || n == "MONTH" || n == "YEAR") {
        Variant v = c.Arg(0);
        // No date, no part of it: an empty text rather than a number.
        if (VarIsNull(v) || VarIsEmpty(v) || (VarIsStr(v) && Trim(VarToStr(v)).empty())) {
            r = std::string();
            return true;
        }
        TDateTime dt = VarIsStr(v) ? StrToDate(VarToStr(v)) : VarToDateTime(v);
        Word y, m, dd;
        DecodeDate(dt, y, m, dd);
        r = int(n == "DAY" ? dd : n == "MONTH" ? m : y);
        return true;
    }
    if (n == "FORMATDATETIME") {
        Variant f = c.Arg(0), v = c.Arg(1);
        if (VarIsNull(f) || VarIsNull(v) || VarIsEmpty(v) || (VarIsStr(v) && Trim(VarToStr(v)).empty())) {
            r = std::string();
            return true;
        }
        r = FormatDateTime(VarToStr(f), VarIsStr(v) ? StrToDateTime(VarToStr(v)) : VarToDateTime(v));
        return true;
    }
    if (n == "FORMATTEXT") {
        r = RMFormatMaskText(s(0) + ";0; ", s(1));
        return true;
    }
    if (n == "FORMATFLOAT") {
        r = FormatFloat(s(0), d(1));
        return true;
    }
    return false;
}
