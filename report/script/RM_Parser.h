// The report expression language: numbers, 'texts', [bracketed names],
// names, function calls, unary - + NOT, and four priority levels (tightest
// first): INT FRAC ROUND STR | * / MOD AND OR | + - | = <> < > <= >=. An
// expression compiles once into a tree that is cached by its text.
//
// Values are Variants. Arithmetic on two numbers gives a number (whole
// numbers stay whole under + - * MOD); "+" with a text that is not a number
// joins the texts; comparisons give 1 or 0 and compare as numbers when both
// sides are numbers, else as texts; "/" by zero gives 0.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Variants.h"

class ERMExpressionError : public Exception {
public:
    using Exception::Exception;
};

class TComponent;
class TRMParser;

// One call seen by a function handler: its upper-cased name, the
// arguments as written (evaluated only on demand, so IF is lazy).
struct TRMFuncCall {
    std::string Name;
    std::vector<std::string> ArgTexts;
    TRMParser* Parser = nullptr;
    const std::vector<struct TRMNode*>* ArgNodes = nullptr;
    size_t Count() const { return ArgTexts.size(); }
    Variant Arg(size_t i) const;
};

struct TRMNode;

class TRMParser {
public:
    TRMParser();
    ~TRMParser();
    // Names as written inside brackets, upper-cased otherwise. Returns
    // Unassigned for an unknown name.
    std::function<Variant(const std::string& name, bool bracketed)> OnGetValue;
    // True when the function was known and result set.
    std::function<bool(const TRMFuncCall& call, Variant& result)> OnFunction;

    Variant Calc(const std::string& expr);
    // Checks the syntax only; the message is empty when it is sound.
    std::string Check(const std::string& expr);
    Variant Eval(const TRMNode* n);

    // Text readers shared with the splitters and the designer. Each reads
    // at pos and leaves pos after what it read.
    // A name: leading blanks and control characters are skipped; it runs
    // to a blank, CR, ( ) * + - / < = > or [ outside double quotes, so a
    // quoted part may hold any of them.
    static std::string GetIdentifier(const std::string& s, size_t& pos);
    // A 'literal' at pos, quotes included; '' inside is one quote.
    static std::string GetString(const std::string& s, size_t& pos);
    // pos just after "(": the arguments as written (not trimmed), split at
    // the commas outside inner parentheses and single quotes; pos after
    // the closing ")". Raises ERMExpressionError when it does not close.
    static std::vector<std::string> GetParameters(const std::string& s, size_t& pos);

    // The component under which GETCONTROLPROPVALUE looks for forms'
    // controls (a report's owner).
    TComponent* Owner = nullptr;

    // Nested evaluation depth (variables that name expressions); past the
    // limit Calc raises instead of recursing.
    int Depth = 0;
    static constexpr int MaxDepth = 64;

private:
    std::map<std::string, std::unique_ptr<TRMNode>> cache_;
    const TRMNode* compile(const std::string& expr);
};

// pos at "[": the text up to its matching "]" (brackets nest; quoted
// brackets do not count); open and close are the brackets' positions and
// pos ends after the closing one. An unclosed bracket takes the rest of
// the text, with close npos.
std::string RMGetBracketedVariable(const std::string& s, size_t& pos, size_t& open, size_t& close);

// Helpers used by the handlers.
bool RMIsNumber(const Variant& v);
double RMToNumber(const Variant& v);
std::string RMNumToChinese(double x);
std::string RMCurrToBigNum(double x);
std::string RMSmallToBig(const std::string& s);
std::string RMSinglNumToBig(double x, int n);
// The functions the parser computes itself (COPY, CNUMBER, STRTODATE ...)
// and the text, number and date functions every report serves (LENGTH,
// POS, FORMATFLOAT, DAY ...); the function libraries hold the rest. False
// for a name it does not know.
bool RMStdFunction(const TRMFuncCall& call, Variant& result);
// Splits at top-level commas outside single quotes and parentheses.
std::vector<std::string> RMGetParameters(const std::string& s);
