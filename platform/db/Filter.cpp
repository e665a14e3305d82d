// The Filter text of a data set: a small expression language over field
// values (comparisons, "is null", and/or/not, parentheses), parsed once when
// the text is set and evaluated per record while Filtered is on.
// Not here: OnFilterRecord and derived-class filters (DataSet.cpp).
#include "DB.h"
#include "DataSet_p.h"

#include <cctype>

#include "SysUtils.h"

struct TDataSet::FilterExpr {
    enum Kind { Or, And, Not, Compare, IsNull, IsNotNull } kind = Compare;
    std::string op;    // "=", "<>", "<", ">", "<=", ">="
    std::string field; // Compare / IsNull
    Variant literal;
    bool literalIsText = false;
    std::shared_ptr<FilterExpr> a, b;
};

namespace {

struct Token {
    enum Kind { End, Name, Text, Number, Op, LParen, RParen } kind = End;
    std::string text;
};

std::vector<Token> tokenize(const std::string& s) {
    std::vector<Token> out;
    size_t i = 0;
    auto bad = [] { throw EDatabaseError("Filter expression incorrectly formatted"); };
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (std::isspace(c)) {
            ++i;
        } else if (c == '\'' || c == '"') {
            char q = char(c);
            std::string t;
            ++i;
            for (;;) {
                if (i >= s.size()) bad();
                if (s[i] == q) {
                    if (i + 1 < s.size() && s[i + 1] == q) {
                        t += q;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t += s[i++];
            }
            out.push_back({Token::Text, t});
        } else if (c == '[') {
            size_t e = s.find(']', i);
            if (e == std::string::npos) bad();
            out.push_back({Token::Name, s.substr(i + 1, e - i - 1)});
            i = e + 1;
        } else if (std::isdigit(c) ||
                   (c == '-' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])) &&
                    (out.empty() || out.back().kind == Token::Op || out.back().kind == Token::LParen))) {
            size_t b = i++;
            while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
            out.push_back({Token::Number, s.substr(b, i - b)});
        } else if (c == '(') {
            out.push_back({Token::LParen, "("});
            ++i;
        } else if (c == ')') {
            out.push_back({Token::RParen, ")"});
            ++i;
        } else if (c == '=' || c == '<' || c == '>' || c == '!') {
            std::string op(1, char(c));
            ++i;
            if (i < s.size() && (s[i] == '=' || (c == '<' && s[i] == '>'))) op += s[i++];
            if (op == "!=") op = "<>";
            if (op == "!") bad();
            out.push_back({Token::Op, op});
        } else if (std::isalpha(c) || c == '_' || c >= 0x80) {
            size_t b = i;
            while (i < s.size()) {
                unsigned char d = static_cast<unsigned char>(s[i]);
                if (!(std::isalnum(d) || d == '_' || d >= 0x80)) break;
                ++i;
            }
            out.push_back({Token::Name, s.substr(b, i - b)});
        } else {
            bad();
        }
    }
    out.push_back({Token::End, ""});
    return out;
}

struct Parser {
    std::vector<Token> t;
    size_t p = 0;
    using Expr = std::shared_ptr<TDataSet::FilterExpr>;

    [[noreturn]] static void bad() { throw EDatabaseError("Filter expression incorrectly formatted"); }
    bool keyword(const char* k) {
        if (t[p].kind == Token::Name && SameText(t[p].text, k)) {
            ++p;
            return true;
        }
        return false;
    }
    Expr orExpr() {
        Expr e = andExpr();
        while (keyword("or")) {
            auto n = std::make_shared<TDataSet::FilterExpr>();
            n->kind = TDataSet::FilterExpr::Or;
            n->a = e;
            n->b = andExpr();
            e = n;
        }
        return e;
    }
    Expr andExpr() {
        Expr e = unary();
        while (keyword("and")) {
            auto n = std::make_shared<TDataSet::FilterExpr>();
            n->kind = TDataSet::FilterExpr::And;
            n->a = e;
            n->b = unary();
            e = n;
        }
        return e;
    }
    Expr unary() {
        if (keyword("not")) {
            auto n = std::make_shared<TDataSet::FilterExpr>();
            n->kind = TDataSet::FilterExpr::Not;
            n->a = unary();
            return n;
        }
        if (t[p].kind == Token::LParen) {
            ++p;
            Expr e = orExpr();
            if (t[p].kind != Token::RParen) bad();
            ++p;
            return e;
        }
        return comparison();
    }
    Expr comparison() {
        if (t[p].kind != Token::Name) bad();
        auto n = std::make_shared<TDataSet::FilterExpr>();
        n->field = t[p++].text;
        if (keyword("is")) {
            bool neg = keyword("not");
            if (!keyword("null")) bad();
            n->kind = neg ? TDataSet::FilterExpr::IsNotNull : TDataSet::FilterExpr::IsNull;
            return n;
        }
        if (t[p].kind != Token::Op) bad();
        n->op = t[p++].text;
        if (t[p].kind == Token::Text) {
            n->literal = Variant(t[p].text);
            n->literalIsText = true;
        } else if (t[p].kind == Token::Number) {
            n->literal = Variant(StrToFloat(t[p].text));
        } else if (t[p].kind == Token::Name && SameText(t[p].text, "null")) {
            n->kind = n->op == "=" ? TDataSet::FilterExpr::IsNull : TDataSet::FilterExpr::IsNotNull;
        } else {
            bad();
        }
        ++p;
        return n;
    }
};

} // namespace

void TDataSet::SetFilter(const std::string& text) {
    std::shared_ptr<FilterExpr> expr;
    if (!Trim(text).empty()) {
        Parser ps{tokenize(text)};
        expr = ps.orExpr();
        if (ps.t[ps.p].kind != Token::End) Parser::bad();
    }
    d_->filterText_ = text;
    d_->filterExpr_ = expr;
    if (Active() && d_->filtered_) {
        CheckBrowseMode();
        Resync();
        First();
    }
}

void TDataSet::SetFiltered(bool v) {
    if (d_->filtered_ == v) return;
    if (Active()) CheckBrowseMode();
    d_->filtered_ = v;
    if (Active()) {
        Resync();
        First();
    }
}

void TDataSet::SetFilterOptions(TFilterOptions o) {
    d_->filterOptions_ = o;
    if (Active() && d_->filtered_) {
        Resync();
        First();
    }
}

namespace {

bool evalNode(const TDataSet& ds, const TDataSet::FilterExpr& e, TFilterOptions options) {
    using E = TDataSet::FilterExpr;
    switch (e.kind) {
    case E::Or: return evalNode(ds, *e.a, options) || evalNode(ds, *e.b, options);
    case E::And: return evalNode(ds, *e.a, options) && evalNode(ds, *e.b, options);
    case E::Not: return !evalNode(ds, *e.a, options);
    default: break;
    }
    TField* f = ds.FieldByName(e.field);
    Variant v = f->Value();
    bool null = v.IsNull() || v.IsEmpty();
    if (e.kind == E::IsNull) return null;
    if (e.kind == E::IsNotNull) return !null;
    if (null) return false;
    int cmp;
    bool textField = f->DataType() == ftString || f->DataType() == ftFixedChar || f->DataType() == ftWideString ||
                     f->DataType() == ftMemo;
    if (textField) {
        std::string have = VarToStr(v), want = VarToStr(e.literal);
        bool ci = options & foCaseInsensitive;
        if (e.literalIsText && !(options & foNoPartialCompare) && !want.empty() && want.back() == '*' &&
            (e.op == "=" || e.op == "<>")) {
            want.pop_back();
            std::string head = have.substr(0, want.size());
            bool eq = ci ? AnsiSameText(head, want) : head == want;
            return e.op == "=" ? eq : !eq;
        }
        cmp = ci ? AnsiCompareText(have, want) : AnsiCompareStr(have, want);
    } else {
        Variant lit;
        try {
            lit = VarAsType(e.literal, varDouble);
            if (f->DataType() == ftDate || f->DataType() == ftDateTime || f->DataType() == ftTime) {
                if (e.literalIsText) lit = Variant(double(StrToDateTime(VarToStr(e.literal))));
            } else if (f->DataType() == ftBoolean && e.literalIsText) {
                lit = Variant(SameText(VarToStr(e.literal), "true") ? 1.0 : 0.0);
            }
        } catch (const Exception&) {
            if (f->DataType() == ftBoolean && e.literalIsText)
                lit = Variant(SameText(VarToStr(e.literal), "true") ? 1.0 : 0.0);
            else if (f->DataType() == ftDate || f->DataType() == ftDateTime)
                lit = Variant(double(StrToDateTime(VarToStr(e.literal))));
            else
                return false;
        }
        double a = f->DataType() == ftBoolean ? (v.AsBoolean() ? 1.0 : 0.0) : v.AsDouble();
        double b = lit.AsDouble();
        cmp = a < b ? -1 : a > b ? 1 : 0;
    }
    if (e.op == "=") return cmp == 0;
    if (e.op == "<>") return cmp != 0;
    if (e.op == "<") return cmp < 0;
    if (e.op == ">") return cmp > 0;
    if (e.op == "<=") return cmp <= 0;
    return cmp >= 0;
}

} // namespace

bool TDataSet::evalFilter() const {
    return d_->filterExpr_ ? evalNode(*this, *d_->filterExpr_, d_->filterOptions_) : true;
}
