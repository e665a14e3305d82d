#include "report/script/RM_Parser.h"
#include <algorithm>
#include <cstring>
#include <optional>

#include <cmath>

#include "Gbk.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "report/model/RM_Utils.h"
#include "report/script/RM_FuncLib.h"

Variant TRMFuncCall::Arg(size_t i) const {
    if (i >= ArgTexts.size()) return Null();
    return Parser->Calc(ArgTexts[i]);
}

namespace {

// The syntax checker's reading of an expression (scripts are checked
// before they are compiled); values come from the postfix text only.
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

std::string TRMParser::Check(const std::string& expr) {
    try {
        Compiler c(expr);
        delete c.Parse();
        return {};
    } catch (const Exception& e) {
        return e.Message;
    }
}

// ---------------------------------------------------------------- postfix

namespace {

// A smaller number binds tighter; "(" waits on the stack.
int priority(char op) {
    switch (op) {
    case rmpInt:
    case rmpFrac:
    case rmpRound:
    case rmpStr: return 0;
    case '*':
    case '/':
    case rmpMod:
    case rmpAnd:
    case rmpOr:
    case rmpNot: return 1;
    case '+':
    case '-':
    case rmpNeg:
    case rmpPlus: return 2;
    case '(': return 5;
    default: return 3; // = <> < > <= >=
    }
}

bool isPrefix(char op) {
    return op == rmpNeg || op == rmpPlus || op == rmpNot || op == rmpInt || op == rmpFrac || op == rmpRound ||
           op == rmpStr;
}

char wordOperator(const std::string& w) {
    static const struct {
        const char* Word;
        char Op;
    } kWords[] = {{"INT", rmpInt}, {"FRAC", rmpFrac}, {"ROUND", rmpRound}, {"OR", rmpOr},
                  {"AND", rmpAnd},  {"NOT", rmpNot},   {"STR", rmpStr},     {"MOD", rmpMod}};
    if (w.size() < 2 || w.size() > 5) return 0;
    for (const auto& k : kWords)
        if (SameText(w, k.Word)) return k.Op;
    return 0;
}

bool isOperatorChar(char c) {
    switch (c) {
    case '+':
    case '-':
    case '*':
    case '/':
    case '<':
    case '=':
    case '>':
    case rmpGreaterEq:
    case rmpLessEq:
    case rmpNotEqual:
    case rmpOr:
    case rmpAnd:
    case rmpInt:
    case rmpFrac:
    case rmpNeg:
    case rmpPlus:
    case rmpStr:
    case rmpNot:
    case rmpMod:
    case rmpRound: return true;
    default: return false;
    }
}

} // namespace

std::string TRMParser::CompileToPostfix(const std::string& s) {
    std::string out;
    std::string stack; // the top is the last character
    bool operand = false;
    auto pushOperator = [&](char op) {
        if (!operand && op == '-') op = rmpNeg;
        if (!operand && op == '+') op = rmpPlus;
        // A prefix operator after another operator waits for its own
        // operand instead of taking the earlier operator's.
        if (stack.empty() || priority(op) < priority(stack.back()) || (!operand && isPrefix(op))) {
            stack += op;
        } else {
            while (!stack.empty() && priority(op) >= priority(stack.back())) {
                out += stack.back();
                stack.pop_back();
            }
            stack += op;
        }
        operand = false;
    };
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c == '\r' || c == ' ') {
            ++i;
            continue;
        }
        if (c == '(') {
            stack += '(';
            operand = false;
            ++i;
            continue;
        }
        if (c == ')') {
            size_t open = stack.rfind('(');
            if (open != std::string::npos) {
                for (size_t k = stack.size(); k > open + 1; --k) out += stack[k - 1];
                stack.erase(open);
            }
            ++i;
            continue;
        }
        if (c == ';') break;
        if (c == '*' || c == '+' || c == '-' || c == '/' || c == '<' || c == '=' || c == '>') {
            char op = c;
            char next = i + 1 < s.size() ? s[i + 1] : 0;
            if (c == '<' && next == '>')
                op = rmpNotEqual;
            else if (c == '>' && next == '=')
                op = rmpGreaterEq;
            else if (c == '<' && next == '=')
                op = rmpLessEq;
            i += op == c ? 1 : 2;
            pushOperator(op);
            continue;
        }
        // An operand, with its "%c" prefix when it has one.
        std::string prefix;
        if (c == '%' && i + 1 < s.size()) {
            prefix = s.substr(i, 2);
            i += 2;
        }
        size_t body = i;
        bool name = false;
        if (i < s.size() && s[i] == '\'') {
            GetString(s, i);
        } else if (i < s.size() && s[i] == '[') {
            size_t open, close;
            RMGetBracketedVariable(s, i, open, close);
        } else {
            std::string id = GetIdentifier(s, i);
            if (id.empty()) continue; // blanks before a bracket or the end
            body = i - id.size();
            name = true;
            if (i < s.size() && s[i] == '[') {
                size_t open, close;
                RMGetBracketedVariable(s, i, open, close);
            }
        }
        std::string text = prefix + s.substr(body, i - body);
        if (name && prefix.empty()) {
            char first = text.empty() ? 0 : text[0];
            bool number = isdigit(uint8_t(first)) || first == ',' || first == '.';
            if (!number) {
                if (char op = wordOperator(text)) {
                    pushOperator(op);
                    continue;
                }
                if (i < s.size() && s[i] == '(') {
                    ++i;
                    GetParameters(s, i);
                    out += s.substr(body, i - body);
                    operand = true;
                    continue;
                }
            }
        }
        out += text;
        out += ' ';
        operand = true;
    }
    for (size_t k = stack.size(); k > 0; --k) out += stack[k - 1];
    return out;
}

// A postfix text read once into its steps.
struct TRMPostfixStep {
    enum Kind : uint8_t { Operator, Value, Bracket, Name, Call, Array } Kind = Value;
    char Op = 0;
    bool IsNumber = false; // a number literal, held in Number
    double Number = 0;
    Variant Constant;
    std::string Text; // bracket text; upper-cased name or function
    std::vector<std::string> Args;
};
struct TRMPostfixProgram {
    std::vector<TRMPostfixStep> Steps;
};

const TRMPostfixProgram* TRMParser::program(const std::string& p) {
    auto it = programs_.find(p);
    if (it != programs_.end()) return it->second.get();
    auto prog = std::make_unique<TRMPostfixProgram>();
    size_t i = 0;
    while (i < p.size()) {
        char c = p[i];
        if (c == ' ') {
            ++i;
            continue;
        }
        TRMPostfixStep st;
        if (isOperatorChar(c)) {
            st.Kind = TRMPostfixStep::Operator;
            st.Op = c;
            ++i;
        } else if (c == '(' || c == ')') {
            throw ERMExpressionError("表达式错误: 括号不配对");
        } else if (c == '\'') {
            std::string lit = GetString(p, i);
            std::string t;
            for (size_t k = 1; k + 1 < lit.size(); ++k) {
                t += lit[k];
                if (lit[k] == '\'' && lit[k + 1] == '\'') ++k;
            }
            st.Constant = t;
        } else if (c == '[') {
            size_t open, close;
            st.Kind = TRMPostfixStep::Bracket;
            st.Text = RMGetBracketedVariable(p, i, open, close);
        } else {
            // The owner gives no meaning to a "%c" prefix: the operand
            // after it counts.
            if (c == '%') i = std::min(i + 2, p.size());
            std::string id = GetIdentifier(p, i);
            if (id.empty()) {
                if (i < p.size() && (p[i] == '(' || p[i] == ')')) throw ERMExpressionError("表达式错误: 括号不配对");
                if (i >= p.size()) break;
            }
            char first = id.empty() ? 0 : id[0];
            if (isdigit(uint8_t(first)) || first == ',' || first == '.') {
                std::string t = id;
                std::replace(t.begin(), t.end(), ',', '.');
                double d;
                if (!TryStrToFloat(t, d)) throw EConvertError("'" + id + "' is not a valid floating point value");
                st.IsNumber = true;
                st.Number = d;
            } else if (i < p.size() && p[i] == '[') {
                size_t open, close;
                std::string index = RMGetBracketedVariable(p, i, open, close);
                st.Kind = TRMPostfixStep::Array;
                st.Text = "GETARRAY('" + id + "', " + index + ")";
            } else if (i < p.size() && p[i] == '(') {
                ++i;
                st.Kind = TRMPostfixStep::Call;
                st.Text = UpperCase(id);
                st.Args = GetParameters(p, i);
                for (auto& a : st.Args) a = Trim(a);
                if (st.Args.size() == 1 && st.Args[0].empty()) st.Args.clear();
            } else if (SameText(id, "TRUE")) {
                st.Constant = 1;
            } else if (SameText(id, "FALSE")) {
                st.Constant = 0;
            } else {
                st.Kind = TRMPostfixStep::Name;
                st.Text = UpperCase(id);
            }
        }
        prog->Steps.push_back(std::move(st));
    }
    if (programs_.size() > 20000 && Depth == 0) {
        programs_.clear();
        compiled_.clear();
    }
    return (programs_[p] = std::move(prog)).get();
}

namespace {

// A comparison operator's result (1 or 0) for the order of its operands.
int compared(char op, int cmp) {
    bool r = op == '='           ? cmp == 0
             : op == rmpNotEqual ? cmp != 0
             : op == '<'         ? cmp < 0
             : op == '>'         ? cmp > 0
             : op == rmpLessEq   ? cmp <= 0
                                 : cmp >= 0;
    return r ? 1 : 0;
}

Variant binaryOp(char op, const Variant& a, const Variant& b) {
    double x = 0, y = 0;
    bool nx = numericText(a, x), ny = numericText(b, y);
    bool whole = isWhole(a) && isWhole(b);
    switch (op) {
    case '+':
        if ((VarIsStr(a) || VarIsStr(b)) && !(RMIsNumber(a) && RMIsNumber(b))) return VarToStr(a) + VarToStr(b);
        return num(x + y, whole);
    case rmpOr: return num(x + y, true);
    case '-': return num(x - y, whole);
    case '*': return num(x * y, whole);
    case rmpAnd: return num(x * y, true);
    case '/': return y == 0 ? Variant(0) : Variant(x / y);
    case rmpMod: return int64_t(y) == 0 ? 0 : int(int64_t(x) % int64_t(y));
    default: break;
    }
    int cmp;
    if (nx && ny && !(VarIsStr(a) && VarIsStr(b)))
        cmp = x < y ? -1 : x > y ? 1 : 0;
    else {
        std::string sa = VarToStr(a), sb = VarToStr(b);
        cmp = sa < sb ? -1 : sa > sb ? 1 : 0;
    }
    return compared(op, cmp);
}

Variant unaryOp(char op, const Variant& a) {
    switch (op) {
    case rmpNeg: return num(-RMToNumber(a), isWhole(a));
    case rmpNot: return RMToNumber(a) == 0 ? 1 : 0;
    case rmpStr: return VarIsNull(a) ? std::string() : VarToStr(a);
    case rmpRound: return num(std::nearbyint(RMToNumber(a)), true); // halves to the even neighbour
    case rmpInt:
    case rmpFrac: {
        // A value within 1e-10 of a whole number is that number, so a sum
        // of fractions that should be whole is not cut down by one.
        double x = RMToNumber(a), w = std::nearbyint(x);
        bool nearWhole = std::fabs(w - x) < 1e-10;
        if (op == rmpInt) return nearWhole ? w : std::trunc(x);
        return nearWhole ? 0.0 : x - std::trunc(x);
    }
    default: return a; // unary plus
    }
}

} // namespace

namespace {

// One value of the stack. Plain numbers (whole or floating) are kept as
// numbers, so that arithmetic on them makes no Variant; any other value
// is kept as it is. Reading a number back gives the Variant it stands
// for: whole numbers as integers, others as floating point.
struct TRMSlot {
    double D = 0;
    bool Whole = false;
    std::optional<Variant> V; // set when the value is not a plain number

    void Set(Variant&& v) {
        int t = v.Type();
        if (t == varInteger) {
            D = v.AsInteger();
            Whole = true;
            V.reset();
        } else if (t == varDouble) {
            D = v.AsDouble();
            Whole = false;
            V.reset();
        } else {
            V = std::move(v);
        }
    }
    // As the value rules make a number: whole only while it fits.
    void SetNumber(double d, bool whole) {
        D = d;
        Whole = whole && std::fabs(d) < 2e9;
        V.reset();
    }
    Variant Get() const {
        if (V) return *V;
        return Whole ? Variant(int(D)) : Variant(D);
    }
};

// The binary operators on two plain numbers, by the rules of binaryOp.
void numberOp(char op, TRMSlot& a, const TRMSlot& b) {
    double x = a.D, y = b.D;
    bool whole = a.Whole && b.Whole;
    switch (op) {
    case '+': a.SetNumber(x + y, whole); return;
    case rmpOr: a.SetNumber(x + y, true); return;
    case '-': a.SetNumber(x - y, whole); return;
    case '*': a.SetNumber(x * y, whole); return;
    case rmpAnd: a.SetNumber(x * y, true); return;
    case '/':
        if (y == 0)
            a.SetNumber(0, true);
        else
            a.SetNumber(x / y, false);
        return;
    case rmpMod: a.SetNumber(int64_t(y) == 0 ? 0 : int(int64_t(x) % int64_t(y)), true); return;
    default: break;
    }
    a.SetNumber(compared(op, x < y ? -1 : x > y ? 1 : 0), true);
}

} // namespace

Variant TRMParser::run(const TRMPostfixProgram& p) {
    if (Depth >= MaxDepth) throw ERMExpressionError("表达式嵌套过深");
    ++Depth;
    ScopeExit leave([&] { --Depth; });
    TRMSlot stack[StackSize];
    int n = 0;
    auto top = [&]() -> TRMSlot& {
        if (n >= StackSize) throw ERMExpressionError("表达式错误: 表达式过于复杂");
        return stack[n++];
    };
    auto need = [&](int k) {
        if (n < k) throw ERMExpressionError("表达式错误: 运算符缺少运算对象");
    };
    for (const TRMPostfixStep& st : p.Steps) {
        switch (st.Kind) {
        case TRMPostfixStep::Operator:
            if (st.Op == rmpNeg || st.Op == rmpPlus || st.Op == rmpNot || st.Op == rmpStr || st.Op == rmpRound ||
                st.Op == rmpInt || st.Op == rmpFrac) {
                need(1);
                TRMSlot& a = stack[n - 1];
                if (!a.V && st.Op == rmpNeg)
                    a.SetNumber(-a.D, a.Whole);
                else if (!a.V && st.Op == rmpPlus) {
                } else
                    a.Set(unaryOp(st.Op, a.Get()));
            } else {
                need(2);
                TRMSlot &a = stack[n - 2], &b = stack[n - 1];
                if (!a.V && !b.V)
                    numberOp(st.Op, a, b);
                else
                    a.Set(binaryOp(st.Op, a.Get(), b.Get()));
                b.V.reset();
                --n;
            }
            break;
        case TRMPostfixStep::Value:
            if (st.IsNumber)
                top().SetNumber(st.Number, false);
            else
                top().Set(Variant(st.Constant));
            break;
        case TRMPostfixStep::Bracket: top().Set(OnGetValue ? OnGetValue(st.Text, true) : Variant()); break;
        case TRMPostfixStep::Name: {
            Variant v = OnGetValue ? OnGetValue(st.Text, false) : Variant();
            double d;
            if (VarIsEmpty(v) && TryStrToFloat(st.Text, d)) v = d;
            top().Set(std::move(v));
            break;
        }
        case TRMPostfixStep::Array: top().Set(Calc(st.Text)); break;
        case TRMPostfixStep::Call: {
            TRMFuncCall call{st.Text, st.Args, this};
            Variant r;
            if (st.Text == "IF" && call.Count() >= 2) {
                top().Set(RMToNumber(call.Arg(0)) != 0 ? call.Arg(1) : call.Arg(2));
                break;
            }
            if ((OnFunction && OnFunction(call, r)) || RMStdFunction(call, r) || RMCallFunctionLibraries(call, r)) {
                top().Set(std::move(r));
                break;
            }
            throw ERMExpressionError("未知函数: " + st.Text);
        }
        }
    }
    return n > 0 ? stack[0].Get() : Variant(0);
}

Variant TRMParser::EvaluatePostfix(const std::string& postfix) { return run(*program(postfix)); }

Variant TRMParser::Calc(const std::string& expr) {
    // Blank text is no expression; asked without copying the text, as
    // every evaluation asks.
    if (std::all_of(expr.begin(), expr.end(), [](char c) { return uint8_t(c) <= ' '; })) return Null();
    auto it = compiled_.find(expr);
    if (it != compiled_.end()) return run(*it->second);
    const TRMPostfixProgram* p = program(CompileToPostfix(expr));
    compiled_[expr] = p;
    return run(*p);
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
