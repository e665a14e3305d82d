// The script language of pages, bands and objects: one statement (as a rule
// a BEGIN ... END block) of IF/THEN/ELSE, WHILE/DO, REPEAT/UNTIL,
// FOR := TO DO, GOTO with numeric labels, assignments and procedure calls.
// Compiled into coded lines (a condition with a target, a jump, a call, an
// assignment) and run against the report: names and functions through the
// parser, assignments through SetValue.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Variants.h"
#include "report/io/RM_Stream.h"

class TRMParser;

struct TRMCodeLine {
    enum Op { Assign = 0, CondJump = 1, Jump = 2, Call = 3 } Kind = Assign;
    int Target = 0;
    std::string Name; // assignment target; the label of a jump before resolving
    std::string Expr; // condition, call or assigned expression
    // Expr compiled (TRMParser::CompileToPostfix), as the line runs it.
    std::string Postfix;
};
using TRMCode = std::vector<TRMCodeLine>;

class TRMInterpreter {
public:
    // Compiles; returns "" or the first error, "Line l/c: message".
    std::string CompileScript(const TRMLines& source, TRMCode& code);
    // Runs code; stops at EXIT, at the end, when cancelled() turns true, or
    // after MaxSteps lines (a runaway loop), which raises.
    void RunScript(const TRMCode& code, TRMParser& parser,
                   const std::function<void(const std::string& name, const Variant& value)>& setValue,
                   const std::function<bool()>& cancelled = {});
    long MaxSteps = 10000000;
};
