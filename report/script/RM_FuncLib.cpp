#include "report/script/RM_FuncLib.h"

#include <algorithm>
#include <cmath>

#include "SysUtils.h"
#include "report/model/RM_Utils.h"
#include "report/script/RM_Interp.h"

const std::vector<std::string>& RMCategoryNames() {
    static const std::vector<std::string> names = {"统计", "日期/时间", "字符串", "其它", "数学", "逻辑", "解释器"};
    return names;
}

// ---------------------------------------------------------------- the library base

bool TRMFunctionLibrary::OnFunction(const TRMFuncCall& call, Variant& result) {
    for (size_t i = 0; i < FunctionNames.size(); ++i)
        if (SameText(FunctionNames[i], call.Name)) {
            DoFunction(int(i), call, result);
            return true;
        }
    return false;
}

void TRMFunctionLibrary::Clear() { FunctionDescs.clear(); }

void TRMFunctionLibrary::AddFunctionDesc(const std::string& name, const std::string& category,
                                         const std::string& letters, const std::string& description) {
    FunctionDescs.push_back({name, category, description, letters});
}

// ---------------------------------------------------------------- the standard library

namespace {

enum StdFunction {
    sfAvg,
    sfCount,
    sfMax,
    sfMin,
    sfSum,
    sfStrToFloat,
    sfParamStr,
    sfExtractFilePath,
    sfStringOfChar,
    sfMonthToEnglishShort,
    sfMonthToEnglishLong,
    sfSinglNumToBig,
    sfSmallToBig,
    sfCurrToBigNum,
    sfRMRound,
    sfStrToInt,
    sfAbs,
    sfGetControlPropValue,
};

const char* const kStdNames[] = {"AVG",
                                 "COUNT",
                                 "MAX",
                                 "MIN",
                                 "SUM",
                                 "STRTOFLOAT",
                                 "PARAMSTR",
                                 "EXTRACTFILEPATH",
                                 "StringOfChar",
                                 "MonthToEnglishShort",
                                 "MonthToEnglishLong",
                                 "SinglNumToBig",
                                 "SmallToBig",
                                 "CurrToBigNum",
                                 "RMRound",
                                 "STRTOINT",
                                 "ABS",
                                 "GETCONTROLPROPVALUE"};

// The expression builder's catalogue: every function and name an
// expression may use, not only this library's.
struct CatalogueEntry {
    const char* Name;
    int Category;
    const char* Letters;
    const char* Description;
};
const CatalogueEntry kCatalogue[] = {
#include "report/script/RM_FuncCatalogue.inc"
};

} // namespace

TRMStdFunctionLibrary::TRMStdFunctionLibrary() {
    FunctionNames.assign(std::begin(kStdNames), std::end(kStdNames));
    const auto& cats = RMCategoryNames();
    for (const auto& e : kCatalogue) AddFunctionDesc(e.Name, cats[size_t(e.Category)], e.Letters, e.Description);
}

void TRMStdFunctionLibrary::DoFunction(int index, const TRMFuncCall& c, Variant& r) {
    auto s = [&](size_t i) { return VarToStr(c.Arg(i)); };
    auto d = [&](size_t i) { return RMToNumber(c.Arg(i)); };
    // What a function gives when it produces nothing else.
    r = std::string("0");
    switch (StdFunction(index)) {
    case sfAvg:
    case sfCount:
    case sfMax:
    case sfMin:
    case sfSum: break;
    case sfStrToFloat: r = RMStrToFloat(s(0)); break;
    case sfParamStr: r = RMParamStr(int(d(0))); break;
    case sfExtractFilePath: r = RMExtractFilePath(s(0)); break;
    case sfStringOfChar: {
        // The first whole character: a Chinese one is never cut in half.
        std::string ch = s(0);
        if (!ch.empty()) ch = ch.substr(0, std::min(ch.size(), RMUtf8CharLen(uint8_t(ch[0]))));
        std::string o;
        for (int i = 0; i < int(d(1)); ++i) o += ch;
        r = o;
        break;
    }
    case sfMonthToEnglishShort:
    case sfMonthToEnglishLong: {
        static const char* lg[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
        int m = int(d(0));
        if (m < 1 || m > 12)
            r = std::string();
        else
            r = index == sfMonthToEnglishLong ? std::string(lg[m - 1]) : std::string(lg[m - 1]).substr(0, 3);
        break;
    }
    case sfSinglNumToBig: r = RMSinglNumToBig(d(0), int(d(1))); break;
    case sfSmallToBig: r = RMSmallToBig(s(0)); break;
    case sfCurrToBigNum: r = RMCurrToBigNum(d(0)); break;
    case sfRMRound: r = RMRound(int(d(1)), d(0)); break;
    case sfStrToInt: {
        std::string t = Trim(s(0));
        r = t.empty() ? 0 : StrToInt(t);
        break;
    }
    case sfAbs: {
        Variant v = c.Arg(0);
        double a = std::fabs(RMToNumber(v));
        // A whole number stays whole.
        if (VarIsOrdinal(v) && VarType(v) != varBoolean && a < 2e9)
            r = int(a);
        else
            r = a;
        break;
    }
    case sfGetControlPropValue:
        r = RMGetPropValue(c.Parser ? c.Parser->Owner : nullptr, Trim(s(0)), Trim(s(1)));
        break;
    }
}

// ---------------------------------------------------------------- the registry

namespace {
std::vector<std::unique_ptr<TRMFunctionLibrary>>& libraries() {
    static std::vector<std::unique_ptr<TRMFunctionLibrary>> list;
    // The engine's start: its own library is there before anything asks.
    static bool started = [] {
        list.push_back(std::make_unique<TRMStdFunctionLibrary>());
        return true;
    }();
    (void)started;
    return list;
}
} // namespace

void RMRegisterFunctionLibrary(std::unique_ptr<TRMFunctionLibrary> library) {
    if (!library) return;
    auto& list = libraries();
    for (auto& l : list)
        if (l->ClassName() == library->ClassName()) return;
    list.push_back(std::move(library));
}

void RMUnRegisterFunctionLibrary(const std::string& className) {
    auto& list = libraries();
    for (auto it = list.begin(); it != list.end(); ++it)
        if ((*it)->ClassName() == className) {
            list.erase(it);
            return;
        }
}

int RMGetFunctionLibraryCount() { return int(libraries().size()); }

TRMFunctionLibrary* RMGetFunctionLibrary(int index) {
    auto& list = libraries();
    return index >= 0 && index < int(list.size()) ? list[size_t(index)].get() : nullptr;
}

bool RMCallFunctionLibraries(const TRMFuncCall& call, Variant& result) {
    for (auto& l : libraries())
        if (l->OnFunction(call, result)) return true;
    return false;
}

// ---------------------------------------------------------------- splitters

bool TRMFunctionSplitter::matches(const std::string& name) const {
    return std::any_of(MatchFuncs.begin(), MatchFuncs.end(), [&](const std::string& f) { return SameText(f, name); });
}

void TRMFunctionSplitter::Split(const std::string& expr) {
    std::string s = Trim(expr);
    if (s.empty() || s[0] == '\'') return;
    if (depth_ >= 64) return;
    ++depth_;
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{depth_};
    // A variable met again inside its own value (directly or through
    // others) is not expanded again: its calls were found the first time.
    auto expand = [&](const std::string& name) {
        if (!Variables) return false;
        std::string key = UpperCase(Trim(name));
        const Variant* v = Variables->Find(key);
        if (!v) return false;
        if (std::find(expanding_.begin(), expanding_.end(), key) != expanding_.end()) return true;
        expanding_.push_back(key);
        struct Pop {
            std::vector<std::string>& e;
            ~Pop() { e.pop_back(); }
        } pop{expanding_};
        Split(VarToStr(*v));
        return true;
    };
    size_t i = 0;
    while (i < s.size()) {
        size_t k = i;
        if (s[i] == '[') {
            size_t open, close;
            std::string inner = RMGetBracketedVariable(s, k, open, close);
            if (!expand(inner)) Split(inner);
        } else {
            std::string id = TRMParser::GetIdentifier(s, k);
            if (id.empty() && k < s.size() && s[k] == '[') {
                // Blanks before a bracket: the bracket is searched too.
                i = k;
                continue;
            }
            if (k < s.size() && s[k] == '(') {
                ++k;
                std::vector<std::string> args = TRMParser::GetParameters(s, k);
                for (size_t a = 0; a < args.size() && a < 3; ++a) Split(args[a]);
                if (!id.empty() && matches(id)) SplitTo.push_back(s.substr(i, k - i));
            } else if (expand(id)) {
            } else if (k < s.size() && std::string_view("\r *+-/<=>").find(s[k]) != std::string_view::npos) {
                ++k;
            } else if (id.empty()) {
                break;
            }
        }
        i = k;
    }
}

TAggregateFunctionsSplitter::TAggregateFunctionsSplitter(std::vector<std::string>& splitTo,
                                                         const TRMVariables* variables)
    : TRMFunctionSplitter({"AVG", "COUNT", "MAX", "MIN", "SUM"}, splitTo, variables) {}

void TAggregateFunctionsSplitter::SplitMemo(const TRMLines& memo) {
    for (const std::string& line : memo) {
        size_t i = 0;
        while ((i = line.find('[', i)) != std::string::npos) {
            size_t open, close;
            RMGetBracketedVariable(line, i, open, close);
            Split(line.substr(open, (close == std::string::npos ? line.size() : close + 1) - open));
        }
    }
}

void TAggregateFunctionsSplitter::SplitScript(const TRMLines& script) {
    if (script.empty()) return;
    TRMInterpreter interp;
    TRMCode code;
    if (!interp.CompileScript(script, code).empty()) return;
    for (const TRMCodeLine& l : code)
        if (l.Kind != TRMCodeLine::Jump) Split(l.Expr);
}
