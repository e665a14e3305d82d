// Scripts: the coded lines they compile to, their values when run, their
// errors, and the bounds that keep a bad script from hanging a build.
#include <gtest/gtest.h>

#include "report/model/RM_Report.h"

namespace {

TRMCode compile(const TRMLines& src, std::string* err = nullptr) {
    TRMInterpreter in;
    TRMCode code;
    std::string e = in.CompileScript(src, code);
    if (err) *err = e;
    return code;
}

TEST(ReportScript, ifElseCompilesToFourLinesWithTargetsThreeAndFour) {
    auto c = compile({"if A > 1 then B := 1 else B := 2"});
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0].Kind, TRMCodeLine::CondJump);
    EXPECT_EQ(c[0].Target, 3);
    EXPECT_EQ(c[2].Kind, TRMCodeLine::Jump);
    EXPECT_EQ(c[2].Target, 4);
}

TEST(ReportScript, onlyTheFirstStatementOfAScriptIsCompiled) {
    auto c = compile({"A := 1; B := 2"});
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].Name, "A");
}

TEST(ReportScript, missingThenIsReportedWithLineAndColumn) {
    std::string err;
    compile({"begin", "  if A > 1 B := 2", "end"}, &err);
    EXPECT_EQ(err.rfind("Line 2/", 0), 0u) << err;
    EXPECT_NE(err.find("Need \"then\" here"), std::string::npos) << err;
}

TEST(ReportScript, undefinedGotoIsACompileError) {
    std::string err;
    compile({"begin goto 10; A := 1 end"}, &err);
    EXPECT_NE(err.find("10"), std::string::npos) << err;
}

struct RunCase {
    const char* name;
    std::vector<std::string> script;
    const char* variable;
    const char* expected;
};
void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }
class ScriptRuns : public ::testing::TestWithParam<RunCase> {};

TEST_P(ScriptRuns, leaveTheirValues) {
    TRMReport r;
    const RunCase& c = GetParam();
    r.RunScript(c.script);
    EXPECT_TRUE(r.ScriptError.empty()) << r.ScriptError;
    EXPECT_EQ(VarToStr(r.Calc(c.variable)), c.expected);
}

const RunCase kRuns[] = {
    {"forLeavesTheCounterPastTheEnd", {"begin S := 0; for I := 1 to 3 do S := S + I end"}, "I", "4"},
    {"forSums", {"begin S := 0; for I := 1 to 3 do S := S + I end"}, "S", "6"},
    {"whileLoop", {"begin N := 0;", "while N < 5 do N := N + 2", "end"}, "N", "6"},
    {"repeatUntil", {"begin N := 0; repeat N := N + 1 until N >= 3 end"}, "N", "3"},
    {"ifElse", {"begin A := 5; if A > 1 then B := 'big' else B := 'small' end"}, "B", "big"},
    {"exitStops", {"begin A := 1; exit; A := 2 end"}, "A", "1"},
    {"gotoJumps", {"begin A := 1; goto 5; A := 2; 5: B := A end"}, "B", "1"},
    {"indexedAssignmentSetsArray", {"begin arr[2] := 5 end"}, "arr[2]", "5"},
    {"incrementProcedure", {"begin K := 1; INC(K); INC(K) end"}, "K", "3"},
    {"commentsAreSkipped", {"begin { note } A := 1; // the rest", "B := 2 end"}, "B", "2"},
};
INSTANTIATE_TEST_SUITE_P(Report, ScriptRuns, ::testing::ValuesIn(kRuns),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(ReportScript, endlessLoopIsStoppedByTheStepBound) {
    TRMReport r;
    TRMInterpreter in;
    in.MaxSteps = 100000;
    TRMCode code;
    ASSERT_EQ(in.CompileScript({"while 1 do A := 1"}, code), "");
    EXPECT_THROW(in.RunScript(code, r.Parser, [](auto&, auto&) {}), ERMExpressionError);
}

TEST(ReportScript, endlessLoopEndsWhenTheBuildIsCancelled) {
    TRMReport r;
    TRMInterpreter in;
    TRMCode code;
    ASSERT_EQ(in.CompileScript({"while 1 do A := 1"}, code), "");
    int asked = 0;
    in.RunScript(
        code, r.Parser, [](auto&, auto&) {}, [&] { return ++asked > 3; });
    EXPECT_EQ(asked, 4);
}

TEST(ReportScript, objectScriptHidesItsMemoWhileBuilding) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    auto* b = static_cast<TRMBandView*>(p->Add(std::make_unique<TRMBandView>()));
    b->SetBandType(bkMasterData);
    b->SetDataSet("3");
    b->SetBounds(0, 100, 700, 20);
    auto* m = static_cast<TRMMemoView*>(p->Add(std::make_unique<TRMMemoView>()));
    m->Name = "Memo1";
    m->SetBounds(0, 100, 200, 20);
    m->Memo = {"行[Line#]"};
    m->OnBeforePrint = {"begin Visible := [Line#] <> 2 end"};
    ASSERT_TRUE(r.PrepareReport());
    TRMPage* built = r.EMFPages.UnpackPage(0);
    std::vector<std::string> texts;
    for (auto& o : built->Objects) texts.push_back(o->Memo.empty() ? "" : o->Memo[0]);
    EXPECT_EQ(texts, (std::vector<std::string>{"行1", "行3"}));
    EXPECT_TRUE(r.FindObject("Memo1")->Visible); // the design is back as it was
}

} // namespace
