// The report expression language: numbers, 'texts', [bracketed names],
// names, function calls, unary - + NOT, and four priority levels (tightest
// first): INT FRAC ROUND STR | * / MOD AND OR NOT | + - | = <> < > <= >=.
// An expression is compiled into a postfix text (operands in evaluation
// order, each operator one character) and the postfix text is evaluated on
// a value stack of 11 slots. Calc keeps both steps' work per text, so an
// expression evaluated once per row is read only once.
//
// Values are Variants. Arithmetic on two numbers gives a number (whole
// numbers stay whole under + - * MOD); "+" with a text that is not a number
// joins the texts; comparisons give 1 or 0 and compare as numbers when both
// sides are numbers, else as texts; "/" by zero gives 0.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
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
    size_t Count() const { return ArgTexts.size(); }
    Variant Arg(size_t i) const;
};

// The operator characters of a postfix text besides + - * / < = >.
enum : char {
    rmpGreaterEq = 1,
    rmpLessEq = 2,
    rmpNotEqual = 3,
    rmpOr = 4,
    rmpAnd = 5,
    rmpInt = 6,
    rmpFrac = 7,
    rmpNeg = 9,
    rmpPlus = 10,
    rmpStr = 11,
    rmpNot = 12,
    rmpMod = 13,
    rmpRound = 14,
};

struct TRMPostfixProgram;

class TRMParser {
public:
    TRMParser();
    ~TRMParser();
    // Names as written inside brackets, upper-cased otherwise. Returns
    // Unassigned for an unknown name.
    std::function<Variant(const std::string& name, bool bracketed)> OnGetValue;
    // True when the function was known and result set.
    std::function<bool(const TRMFuncCall& call, Variant& result)> OnFunction;

    // The value of an expression: CompileToPostfix, then EvaluatePostfix.
    // A blank text is no expression and gives Null.
    Variant Calc(const std::string& expr);
    // The postfix text: operands in evaluation order, each followed by a
    // blank (a function call stands as written, with no blank after it),
    // and each operator one character (the enum above). Text after ";" is
    // left out. A prefix operator (unary sign, NOT) binds to the operand
    // after it, so "2 * -3" is "2 3 \x09*".
    static std::string CompileToPostfix(const std::string& expr);
    // The value of a postfix text; an empty one gives the integer 0.
    // Raises ERMExpressionError when an operator lacks its operands, when
    // more than 11 values would be stacked, or at an unmatched "(".
    Variant EvaluatePostfix(const std::string& postfix);
    // Checks the syntax only; the message is empty when it is sound.
    std::string Check(const std::string& expr);

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

    static constexpr int StackSize = 11;

private:
    // Read postfix texts, by their text and by the expression they came
    // from. Both are dropped together when they grow too large, and only
    // while nothing is being evaluated, so a running program stays.
    std::unordered_map<std::string, std::unique_ptr<const TRMPostfixProgram>> programs_;
    std::unordered_map<std::string, const TRMPostfixProgram*> compiled_;
    const TRMPostfixProgram* program(const std::string& postfix);
    Variant run(const TRMPostfixProgram& p);
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
