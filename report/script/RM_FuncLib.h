// Function libraries: sets of functions that report expressions call by
// name, each with a catalogue (name, category, argument letters and a
// "head|explanation" description) for the expression builder. The engine
// asks the registered libraries in order after its own functions; the
// standard library (text, numbers, months, the capital money words, the
// totals' names) is registered before the first look-up.
//
// The splitters find the calls of chosen functions (the totals) inside an
// expression, an object's text or a script, without evaluating anything.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "report/io/RM_Stream.h"
#include "report/script/RM_Parser.h"
#include "report/script/RM_Variables.h"

// The categories the catalogue sorts functions into, in this order.
enum TRMFunctionCategory {
    rmfcTotals,      // 统计
    rmfcDateTime,    // 日期/时间
    rmfcText,        // 字符串
    rmfcOther,       // 其它
    rmfcMath,        // 数学
    rmfcLogic,       // 逻辑
    rmfcInterpreter, // 解释器
};
// The category captions, indexed by TRMFunctionCategory.
const std::vector<std::string>& RMCategoryNames();

struct TRMFunctionDesc {
    std::string FuncName;
    std::string Category;
    // "Name(<Arg>, ...)|what it gives".
    std::string Description;
    // One letter per argument: S text, N number, D date, B condition,
    // V any value, E date-time; none for operators and names without
    // arguments.
    std::string FuncPara;
};

class TRMFunctionLibrary {
public:
    virtual ~TRMFunctionLibrary() = default;
    // Registration keeps one library of each class name.
    virtual std::string ClassName() const = 0;

    std::vector<TRMFunctionDesc> FunctionDescs;
    // The names the library computes; a name's position is its index for
    // DoFunction. Looked up whatever the letter case.
    std::vector<std::string> FunctionNames;

    // True when the library knows the name (call.Name, upper-cased) and
    // has set result; otherwise result is left as it was.
    virtual bool OnFunction(const TRMFuncCall& call, Variant& result);
    // Computes function `index` of FunctionNames; the arguments are
    // evaluated as the function needs them (call.Arg).
    virtual void DoFunction(int index, const TRMFuncCall& call, Variant& result) = 0;
    void Clear();
    void AddFunctionDesc(const std::string& name, const std::string& category, const std::string& letters,
                         const std::string& description);
};

// The engine's own library. Its totals (AVG COUNT MAX MIN SUM) are
// counted by the page builder while a report builds; asked here, outside a
// build, they give "0".
class TRMStdFunctionLibrary : public TRMFunctionLibrary {
public:
    TRMStdFunctionLibrary();
    std::string ClassName() const override { return "TRMStdFunctionLibrary"; }
    void DoFunction(int index, const TRMFuncCall& call, Variant& result) override;
};

// The registry. Does nothing when a library of that class name is
// registered already.
void RMRegisterFunctionLibrary(std::unique_ptr<TRMFunctionLibrary> library);
// Frees and removes the first library of that class name.
void RMUnRegisterFunctionLibrary(const std::string& className);
int RMGetFunctionLibraryCount();
// Null outside 0 .. count - 1.
TRMFunctionLibrary* RMGetFunctionLibrary(int index);
// Asks every registered library in order; true when one served the call.
bool RMCallFunctionLibraries(const TRMFuncCall& call, Variant& result);

// Finds the calls of the functions named in MatchFuncs inside expressions
// and appends their source texts to SplitTo, nested calls included, in
// the order their argument lists close. A bracketed name or a bare name
// that Variables holds is searched through its value. Only the first
// three arguments of a call are searched.
class TRMFunctionSplitter {
public:
    TRMFunctionSplitter(std::vector<std::string> matchFuncs, std::vector<std::string>& splitTo,
                        const TRMVariables* variables)
        : MatchFuncs(std::move(matchFuncs)), SplitTo(splitTo), Variables(variables) {}
    virtual ~TRMFunctionSplitter() = default;
    // Raises ERMExpressionError for parentheses that do not close.
    void Split(const std::string& expr);

    std::vector<std::string> MatchFuncs;
    std::vector<std::string>& SplitTo;
    const TRMVariables* Variables;

protected:
    bool matches(const std::string& name) const;
    int depth_ = 0;
    // Upper-cased names of the variables being expanded.
    std::vector<std::string> expanding_;
};

// The totals' splitter: AVG COUNT MAX MIN SUM.
class TAggregateFunctionsSplitter : public TRMFunctionSplitter {
public:
    // variables: the dictionary's variables (name and expression text).
    TAggregateFunctionsSplitter(std::vector<std::string>& splitTo, const TRMVariables* variables);
    // Every outermost [...] of every line, brackets included.
    void SplitMemo(const TRMLines& memo);
    // The expressions of a script: conditions, calls and assigned values.
    // A script that does not compile gives nothing.
    void SplitScript(const TRMLines& script);
};
