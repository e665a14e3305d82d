#include "report/script/RM_Interp.h"

#include <cstring>
#include <map>

#include "SysUtils.h"
#include "report/script/RM_Parser.h"

namespace {

class Compiler {
public:
    Compiler(const TRMLines& src, TRMCode& code) : code_(code) {
        for (auto& l : src) {
            for (char c : l) buf_ += c == '\t' ? ' ' : c;
            buf_ += '\r';
        }
    }
    std::string Run() {
        code_.clear();
        if (!Trim(buf_).empty()) statement();
        if (!err_.empty()) return err_;
        for (auto& l : code_) {
            if (l.Kind != TRMCodeLine::Jump || l.Name.empty()) continue;
            auto it = labels_.find(l.Name + ":");
            if (it == labels_.end()) {
                // A jump to nowhere is a compile error, not a jump to its
                // label text read as a line number.
                return "Line 1/1: Label \"" + l.Name + "\" is not defined";
            }
            l.Target = it->second;
        }
        return {};
    }

private:
    std::string buf_;
    size_t pos_ = 0, wordStart_ = 0;
    TRMCode& code_;
    std::string err_;
    std::map<std::string, int> labels_;

    void skipBlank() {
        for (;;) {
            while (pos_ < buf_.size() && uint8_t(buf_[pos_]) <= 32) ++pos_;
            if (buf_.compare(pos_, 1, "{") == 0) {
                size_t e = buf_.find('}', pos_);
                pos_ = e == std::string::npos ? buf_.size() : e + 1;
            } else if (buf_.compare(pos_, 2, "//") == 0) {
                size_t e = buf_.find('\r', pos_);
                pos_ = e == std::string::npos ? buf_.size() : e;
            } else {
                return;
            }
        }
    }
    std::string word() {
        skipBlank();
        wordStart_ = pos_;
        size_t s = pos_;
        while (pos_ < buf_.size() && uint8_t(buf_[pos_]) > 32) ++pos_;
        std::string w = UpperCase(buf_.substr(s, pos_ - s));
        return w.empty() ? " " : w;
    }
    void back() { pos_ = wordStart_; }
    void error(const std::string& m) {
        if (!err_.empty()) return;
        int line = 1, col = 1;
        for (size_t i = 0; i < wordStart_ && i < buf_.size(); ++i) {
            if (buf_[i] == '\r') {
                ++line;
                col = 1;
            } else {
                ++col;
            }
        }
        err_ = "Line " + std::to_string(line) + "/" + std::to_string(col) + ": " + m;
    }
    int emit(TRMCodeLine l) {
        code_.push_back(std::move(l));
        return int(code_.size()) - 1;
    }
    // The expression text up to a keyword that ends it (THEN, DO, TO, ...)
    // or a ";" outside brackets and quotes.
    std::string exprUntil(std::initializer_list<const char*> stops) {
        skipBlank();
        size_t s = pos_;
        int depth = 0;
        bool q = false;
        while (pos_ < buf_.size()) {
            char c = buf_[pos_];
            if (c == '\'') q = !q;
            if (!q) {
                if (c == '(' || c == '[')
                    ++depth;
                else if (c == ')' || c == ']')
                    --depth;
                else if (depth == 0 && c == ';')
                    break;
                else if (depth == 0 && (pos_ == s || uint8_t(buf_[pos_ - 1]) <= 32)) {
                    bool stop = false;
                    for (const char* k : stops) {
                        size_t n = strlen(k);
                        if (SameText(buf_.substr(pos_, n), k) &&
                            (pos_ + n >= buf_.size() || uint8_t(buf_[pos_ + n]) <= 32 || buf_[pos_ + n] == ';'))
                            stop = true;
                    }
                    if (stop) break;
                }
            }
            ++pos_;
        }
        std::string e = Trim(buf_.substr(s, pos_ - s));
        wordStart_ = s;
        TRMParser check;
        std::string m = e.empty() ? "Expression expected" : check.Check(e);
        if (!m.empty()) {
            // The expression may end early ("if A > 1 B := 2"): take the
            // longest part that parses and let the caller say what it
            // needed after it.
            for (size_t end = pos_; end > s; --end) {
                if (uint8_t(buf_[end - 1]) > 32) continue;
                std::string part = Trim(buf_.substr(s, end - s));
                if (!part.empty() && check.Check(part).empty()) {
                    pos_ = end;
                    return part;
                }
            }
            error(m);
        }
        return e;
    }
    bool expectWord(const char* w, const char* msg) {
        std::string x = word();
        if (x != w) {
            back();
            error(msg);
            return false;
        }
        return true;
    }
    void statement() {
        if (!err_.empty()) return;
        std::string w = word();
        if (w == "BEGIN") {
            for (;;) {
                statement();
                if (!err_.empty()) return;
                std::string s = word();
                if (s == "END" || s == "END;" || s == "END.") return;
                if (s == ";") continue;
                if (s[0] == ';') {
                    pos_ = wordStart_ + 1;
                    continue;
                }
                back();
                error("Need \";\" or \"end\" here");
                return;
            }
        }
        if (w == "IF") {
            std::string c = exprUntil({"THEN"});
            if (!expectWord("THEN", "Need \"then\" here")) return;
            int cond = emit({TRMCodeLine::CondJump, 0, {}, c});
            statement();
            std::string e = word();
            if (e == "ELSE") {
                int jump = emit({TRMCodeLine::Jump, 0, {}, {}});
                code_[size_t(cond)].Target = jump + 1;
                statement();
                code_[size_t(jump)].Target = int(code_.size());
            } else {
                back();
                code_[size_t(cond)].Target = int(code_.size());
            }
            return;
        }
        if (w == "WHILE") {
            std::string c = exprUntil({"DO"});
            if (!expectWord("DO", "Need \"do\" here")) return;
            int cond = emit({TRMCodeLine::CondJump, 0, {}, c});
            statement();
            emit({TRMCodeLine::Jump, cond, {}, {}});
            code_[size_t(cond)].Target = int(code_.size());
            return;
        }
        if (w == "REPEAT") {
            int start = int(code_.size());
            for (;;) {
                statement();
                if (!err_.empty()) return;
                std::string s = word();
                if (s == ";" || s[0] == ';') {
                    if (s.size() > 1) pos_ = wordStart_ + 1;
                    continue;
                }
                if (s == "UNTIL") break;
                back();
                error("Need \";\" or \"until\" here");
                return;
            }
            std::string c = exprUntil({"END", "ELSE", "UNTIL"});
            // Back to the first line of the loop while the condition is 0.
            emit({TRMCodeLine::CondJump, start, {}, c});
            return;
        }
        if (w == "FOR") {
            skipBlank();
            size_t s = pos_;
            while (pos_ < buf_.size() && buf_.compare(pos_, 2, ":=") != 0 && uint8_t(buf_[pos_]) > 32) ++pos_;
            std::string name = Trim(buf_.substr(s, pos_ - s));
            skipBlank();
            if (buf_.compare(pos_, 2, ":=") != 0) {
                wordStart_ = pos_;
                error("Need \":=\" here");
                return;
            }
            pos_ += 2;
            std::string from = exprUntil({"TO"});
            if (!expectWord("TO", "Need \"to\" here")) return;
            std::string to = exprUntil({"DO"});
            if (!expectWord("DO", "Need \"do\" here")) return;
            emit({TRMCodeLine::Assign, 0, name, from});
            int cond = emit({TRMCodeLine::CondJump, 0, {}, name + " <= " + to});
            statement();
            emit({TRMCodeLine::Assign, 0, name, name + " + 1"});
            emit({TRMCodeLine::Jump, cond, {}, {}});
            code_[size_t(cond)].Target = int(code_.size());
            return;
        }
        if (w == "GOTO") {
            std::string l = word();
            if (!l.empty() && l.back() == ';') {
                l.pop_back();
                pos_ = wordStart_ + l.size();
            }
            int n;
            if (!TryStrToInt(l, n)) {
                error("\"goto\" label must be a number");
                return;
            }
            emit({TRMCodeLine::Jump, 0, l, {}});
            return;
        }
        if (w == "END" || w == "END;" || w == "END." || w == "UNTIL" || w == "ELSE" || w == " " || w == ";" ||
            w[0] == ';') {
            back();
            return;
        }
        // A label "12:".
        size_t colon = w.find(':');
        if (colon != std::string::npos && colon > 0 && (colon + 1 >= w.size() || w[colon + 1] != '=')) {
            int n;
            if (TryStrToInt(w.substr(0, colon), n)) {
                labels_.emplace(w.substr(0, colon + 1), int(code_.size()));
                pos_ = wordStart_ + colon + 1;
                statement();
                return;
            }
        }
        back();
        // A name, maybe indexed, then := or nothing.
        skipBlank();
        size_t s = pos_;
        bool isName = pos_ < buf_.size() && (isalpha(uint8_t(buf_[pos_])) || buf_[pos_] == '_');
        while (isName && pos_ < buf_.size() && (isalnum(uint8_t(buf_[pos_])) || buf_[pos_] == '_' || buf_[pos_] == '.'))
            ++pos_;
        std::string name = buf_.substr(s, pos_ - s);
        std::string index;
        if (isName && pos_ < buf_.size() && buf_[pos_] == '[') {
            size_t e = buf_.find(']', pos_);
            if (e == std::string::npos) {
                wordStart_ = pos_;
                error("Need \"]\" here");
                return;
            }
            index = buf_.substr(pos_ + 1, e - pos_ - 1);
            pos_ = e + 1;
        }
        size_t after = pos_;
        skipBlank();
        if (isName && buf_.compare(pos_, 2, ":=") == 0) {
            pos_ += 2;
            std::string e = exprUntil({"END", "ELSE", "UNTIL"});
            if (index.empty())
                emit({TRMCodeLine::Assign, 0, name, e});
            else
                emit({TRMCodeLine::Call, 0, {}, "SETARRAY('" + name + "', " + index + ", " + e + ")"});
            return;
        }
        if (isName && index.empty()) {
            std::string next = pos_ < buf_.size() ? UpperCase(buf_.substr(pos_, 4)) : "";
            if (pos_ >= buf_.size() || buf_[pos_] == ';' || next.rfind("END", 0) == 0 || next == "ELSE" ||
                next == "UNTI") {
                emit({TRMCodeLine::Call, 0, {}, name + "(0)"});
                return;
            }
            if (buf_[pos_] != '(') {
                wordStart_ = pos_;
                error("Need \":=\" here");
                return;
            }
        }
        pos_ = s;
        (void)after;
        std::string e = exprUntil({"END", "ELSE", "UNTIL"});
        emit({TRMCodeLine::Call, 0, {}, e});
    }
};

} // namespace

std::string TRMInterpreter::CompileScript(const TRMLines& source, TRMCode& code) {
    Compiler c(source, code);
    std::string error = c.Run();
    // Running a script never reads infix text again.
    for (TRMCodeLine& l : code) {
        if (l.Kind == TRMCodeLine::Jump) continue;
        try {
            l.Postfix = TRMParser::CompileToPostfix(l.Expr);
        } catch (const Exception& e) {
            if (error.empty()) error = "Line 1/1: " + e.Message;
        }
    }
    return error;
}

void TRMInterpreter::RunScript(const TRMCode& code, TRMParser& parser,
                               const std::function<void(const std::string&, const Variant&)>& setValue,
                               const std::function<bool()>& cancelled) {
    long steps = 0;
    for (size_t i = 0; i < code.size();) {
        if (++steps > MaxSteps) throw ERMExpressionError("脚本运行步数超出限制");
        if ((steps & 1023) == 0 && cancelled && cancelled()) return;
        const TRMCodeLine& l = code[i];
        switch (l.Kind) {
        case TRMCodeLine::CondJump:
            i = RMToNumber(parser.EvaluatePostfix(l.Postfix)) != 0 ? i + 1 : size_t(l.Target);
            break;
        case TRMCodeLine::Jump: i = size_t(l.Target); break;
        case TRMCodeLine::Call:
            // A call stands in its postfix text as written.
            if (SameText(l.Postfix, "EXIT(0)")) return;
            parser.EvaluatePostfix(l.Postfix);
            ++i;
            break;
        case TRMCodeLine::Assign:
            setValue(l.Name, parser.EvaluatePostfix(l.Postfix));
            ++i;
            break;
        }
    }
}
