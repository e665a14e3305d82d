// The lists and registries expressions draw on: named value lists, the
// script constants, the function libraries with the expression builder's
// catalogue, and the splitters that find the totals in texts and scripts.
#include <gtest/gtest.h>

#include <algorithm>

#include "report/model/RM_Report.h"
#include "report/script/RM_FuncLib.h"
#include "report/script/RM_Variables.h"

namespace {

// ---------------------------------------------------------------- named value lists

TEST(ReportVariables, namesIgnoreCaseAndPositionsOutsideReadAsZero) {
    TRMVariables v;
    v.SetVariable("Price", 12.5);
    v.SetVariable("读者", std::string("张三"));
    v.SetVariable("PRICE", 13);
    ASSERT_EQ(v.Count(), 2);
    EXPECT_EQ(v.GetName(0), "Price"); // the first spelling stays
    EXPECT_EQ(VarToStr(v.GetVariable("price")), "13");
    EXPECT_EQ(VarToStr(v.GetVariable("读者")), "张三");
    EXPECT_TRUE(VarIsNull(v.GetVariable("Missing")));
    EXPECT_EQ(VarToStr(v.GetValue(5)), "0");
    EXPECT_EQ(VarToStr(v.GetValue(-1)), "0");
    EXPECT_EQ(v.GetName(2), "");
    v.SetValue(7, 1); // ignored
    v.SetName(7, "X");
    EXPECT_EQ(v.Count(), 2);

    v.Insert(0, "First");
    EXPECT_EQ(v.GetName(0), "First");
    EXPECT_EQ(VarToStr(v.GetValue(0)), "0");
    EXPECT_EQ(v.IndexOf("price"), 1);
    v.SetName(0, "Renamed");
    EXPECT_EQ(v.IndexOf("RENAMED"), 0);
    EXPECT_EQ(v.IndexOf("First"), -1);
    v.SetName(0, "price"); // would make two entries of one name
    EXPECT_EQ(v.GetName(0), "Renamed");
    v.Delete(0);
    EXPECT_EQ(v.IndexOf("Price"), 0);
    v.Delete(9);

    TRMVariables copy;
    copy.SetVariable("Old", 1);
    copy.Assign(v);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.GetName(1), "读者");
    EXPECT_EQ(copy.IndexOf("Old"), -1);
}

TEST(ReportVariables, sortedListKeepsItsOrderAndIgnoresDuplicates) {
    TRMVariables v;
    v.SetVariable("b", 2);
    v.SetVariable("C", 3);
    v.SetVariable("a", 1);
    v.SetSorted(true);
    v.SetVariable("B2", 4);
    v.Insert(0, "Z");
    v.SetVariable("A", 9);
    std::vector<std::string> names;
    for (int i = 0; i < v.Count(); ++i) names.push_back(v.GetName(i));
    EXPECT_EQ(names, (std::vector<std::string>{"a", "b", "B2", "C", "Z"}));
    EXPECT_EQ(VarToStr(v.GetVariable("a")), "9");
    v.SetName(0, "Y");
    EXPECT_EQ(v.GetName(v.Count() - 1), "Z");
    EXPECT_EQ(v.IndexOf("Y"), v.Count() - 2);
}

// ---------------------------------------------------------------- script constants

struct ConstCase {
    const char* name;
    const char* expr;
    const char* expected;
};
void PrintTo(const ConstCase& c, std::ostream* os) { *os << c.name; }
class ScriptConstants : public ::testing::TestWithParam<ConstCase> {};

TEST_P(ScriptConstants, readInExpressions) {
    TRMReport r;
    TRMPictureView picture; // a picture object brings the blob kinds
    TRMCalcMemoView total;  // a total memo its kinds of total
    EXPECT_EQ(VarToStr(r.Calc(GetParam().expr)), GetParam().expected) << GetParam().expr;
}

INSTANTIATE_TEST_SUITE_P(
    ReportConstants, ScriptConstants,
    ::testing::Values(ConstCase{"red", "clRed", "255"}, ConstCase{"transparent", "cltransparent", "536870911"},
                      ConstCase{"firstSystemColour", "clScrollBar", "-2147483648"},
                      ConstCase{"lastSystemColour", "clInfoBk + 0", "-2147483624"},
                      ConstCase{"dialogResult", "mrCancel", "2"}, ConstCase{"messageBoxFlags", "mb_YesNo + mb_IconQuestion", "36"},
                      ConstCase{"frameSides", "RMftLeft + RMftTop", "12"}, ConstCase{"penDouble", "psDouble", "7"},
                      ConstCase{"dataRange", "reCount", "2"}, ConstCase{"lineBreak", "'a' + CRLF + 'b'", "a\r\nb"},
                      ConstCase{"orientation", "poLandscape", "1"}, ConstCase{"blobKind", "btGIF", "4"},
                      ConstCase{"totalKind", "rmdcMin + rmdcUser", "9"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(ReportConstants, tableHoldsEveryColourSortedAndAVariableWins) {
    TRMVariables& c = RMGetConstants();
    EXPECT_TRUE(c.Sorted());
    int colours = 0;
    for (int i = 0; i < c.Count(); ++i)
        if (c.GetName(i).rfind("cl", 0) == 0) ++colours;
    EXPECT_EQ(colours, 42);
    for (int i = 1; i < c.Count(); ++i) EXPECT_LT(UpperCase(c.GetName(i - 1)), UpperCase(c.GetName(i)));
    EXPECT_TRUE(VarIsNull(c.GetVariable("Null")));
    TRMReport r;
    r.Variables["mrOk"] = 42;
    EXPECT_EQ(VarToStr(r.Calc("mrOK")), "42");
}

// ---------------------------------------------------------------- function libraries

class TestLibrary : public TRMFunctionLibrary {
public:
    TestLibrary() {
        FunctionNames = {"TWICE", "STRTOFLOAT"};
        AddFunctionDesc("Twice", RMCategoryNames()[rmfcMath], "N", "Twice(<Value>)|两倍.");
    }
    std::string ClassName() const override { return "TestLibrary"; }
    void DoFunction(int index, const TRMFuncCall& c, Variant& r) override {
        r = index == 0 ? RMToNumber(c.Arg(0)) * 2 : -1.0;
    }
};

TEST(ReportFunctionLibraries, standardLibraryIsThereAndRegistrationKeepsOneOfAClass) {
    ASSERT_EQ(RMGetFunctionLibraryCount(), 1);
    TRMFunctionLibrary* std = RMGetFunctionLibrary(0);
    ASSERT_NE(std, nullptr);
    EXPECT_EQ(std->ClassName(), "TRMStdFunctionLibrary");
    EXPECT_EQ(RMGetFunctionLibrary(-1), nullptr);
    EXPECT_EQ(RMGetFunctionLibrary(1), nullptr);
    RMRegisterFunctionLibrary(std::make_unique<TRMStdFunctionLibrary>());
    EXPECT_EQ(RMGetFunctionLibraryCount(), 1);
    EXPECT_EQ(RMGetFunctionLibrary(0), std);

    // A library of the application's own serves names no earlier one
    // knows; the first library that knows a name serves it.
    TRMReport r;
    EXPECT_THROW(r.Calc("TWICE(21)"), ERMExpressionError);
    RMRegisterFunctionLibrary(std::make_unique<TestLibrary>());
    RMRegisterFunctionLibrary(std::make_unique<TestLibrary>());
    ASSERT_EQ(RMGetFunctionLibraryCount(), 2);
    EXPECT_EQ(VarToStr(r.Calc("twice(21)")), "42");
    EXPECT_EQ(VarToStr(r.Calc("STRTOFLOAT('1,5')")), "1.5");
    // A parser of its own, with no report, asks the same libraries.
    TRMParser bare;
    EXPECT_EQ(VarToStr(bare.Calc("TWICE(2) + 1")), "5");
    EXPECT_EQ(VarToStr(bare.Calc("CurrToBigNum(105)")), "壹佰零伍圆整");
    RMUnRegisterFunctionLibrary("TestLibrary");
    EXPECT_EQ(RMGetFunctionLibraryCount(), 1);
    EXPECT_THROW(r.Calc("TWICE(21)"), ERMExpressionError);
}

TEST(ReportFunctionLibraries, standardLibraryServesItsEighteenNamesOnly) {
    TRMFunctionLibrary* std = RMGetFunctionLibrary(0);
    ASSERT_NE(std, nullptr);
    ASSERT_EQ(std->FunctionNames.size(), 18u);
    EXPECT_EQ(std->FunctionNames[0], "AVG");
    EXPECT_EQ(std->FunctionNames[13], "CurrToBigNum");
    EXPECT_EQ(std->FunctionNames[17], "GETCONTROLPROPVALUE");
    TRMParser p;
    Variant r = std::string("untouched");
    std::vector<std::string> args{"'x'"};
    EXPECT_FALSE(std->OnFunction(TRMFuncCall{"LENGTH", args, &p}, r));
    EXPECT_EQ(VarToStr(r), "untouched");
    // Outside a build the totals have no rows: "0".
    std::vector<std::string> sumArgs{"[Price]"};
    EXPECT_TRUE(std->OnFunction(TRMFuncCall{"SUM", sumArgs, &p}, r));
    EXPECT_EQ(VarToStr(r), "0");
    std::vector<std::string> moneyArgs{"12.34"};
    EXPECT_TRUE(std->OnFunction(TRMFuncCall{"currtobignum", moneyArgs, &p}, r));
    EXPECT_EQ(VarToStr(r), "拾贰圆叁角肆分");
}

TEST(ReportFunctionLibraries, catalogueListsEveryFunctionWithItsCategoryAndLetters) {
    const auto& cats = RMCategoryNames();
    EXPECT_EQ(cats, (std::vector<std::string>{"统计", "日期/时间", "字符串", "其它", "数学", "逻辑", "解释器"}));
    const auto& descs = RMGetFunctionLibrary(0)->FunctionDescs;
    ASSERT_EQ(descs.size(), 72u);
    auto find = [&](const std::string& n) {
        auto it = std::find_if(descs.begin(), descs.end(), [&](const TRMFunctionDesc& d) { return d.FuncName == n; });
        return it == descs.end() ? nullptr : &*it;
    };
    EXPECT_EQ(descs.front().FuncName, "Copy");
    EXPECT_EQ(descs.back().FuncName, "GetControlPropValue");
    struct Row {
        const char* name;
        const char* category;
        const char* letters;
        const char* description;
    };
    const Row rows[] = {
        {"Copy", "字符串", "SNN", "Copy(<String>, <From>, <Count>)|返回<string>的子串."},
        {"IF", "逻辑", "BVV", "If(<Expression>, <Value1>, <Value2>)|如表达式<Expression> 为真，返回 <Value1>; 否则，返回 <Value2>"},
        {"Mod", "数学", "", "<Value1> Mod <Value2>|返回模运算."},
        {"Sum", "统计", "NSN", "SUM(<Expression> [,BandName [,1]])|计算[BandName]上<Expression>的和. 若使用[1]参数,则计算包括非可见行."},
        {"StrToFloat", "数学", "S", ""},
        {"CurrToBigNum", "字符串", "N", "CurrToBigNum(Value)|数字转换为人民币大写"},
        {"ShowBand", "解释器", "", "ShowBand(<BandName>)|显示<BandName>."},
        {"MonthtoEnglishLong", "日期/时间", "N", "MonthtoEnglishLong|Return English Long Month Name"},
    };
    for (const Row& row : rows) {
        const TRMFunctionDesc* d = find(row.name);
        ASSERT_NE(d, nullptr) << row.name;
        EXPECT_EQ(d->Category, row.category) << row.name;
        EXPECT_EQ(d->FuncPara, row.letters) << row.name;
        EXPECT_EQ(d->Description, row.description) << row.name;
    }
    // Every description names its function before the bar.
    for (const auto& d : descs)
        if (!d.Description.empty()) EXPECT_NE(d.Description.find('|'), std::string::npos) << d.FuncName;
}

// ---------------------------------------------------------------- splitters

struct SplitCase {
    const char* name;
    const char* expr;
    std::vector<std::string> found;
};
void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }
class AggregateSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(AggregateSplit, findsTheTotals) {
    TRMVariables dict;
    dict.SetVariable("Total", std::string("SUM([Price]) + 1"));
    dict.SetVariable("Loop", std::string("[Loop] + COUNT(MasterData1)"));
    std::vector<std::string> out;
    TAggregateFunctionsSplitter s(out, &dict);
    s.Split(GetParam().expr);
    EXPECT_EQ(out, GetParam().found);
}

INSTANTIATE_TEST_SUITE_P(
    ReportSplitter, AggregateSplit,
    ::testing::Values(SplitCase{"callTimesTwo", "SUM([Price])*2", {"SUM([Price])"}},
                      SplitCase{"blankBeforeTheNameKept", "[X] + SUM([Y])", {" SUM([Y])"}},
                      SplitCase{"quotedLiteral", "'SUM([Y])'", {}},
                      SplitCase{"innerCallsFirst", "SUM(MAX([A], Band1))", {"MAX([A], Band1)", "SUM(MAX([A], Band1))"}},
                      SplitCase{"insideParentheses", "(1 + avg([A]))", {" avg([A])"}},
                      SplitCase{"onlyThreeArgumentsSearched", "IF(1, 2, 3, SUM([A]))", {}},
                      SplitCase{"otherFunctionsSearched", "IF([A] > 0, MIN([A]), 0)", {"MIN([A])"}},
                      SplitCase{"bracketAfterBlanks", "[A] + [Total]", {"SUM([Price])"}},
                      SplitCase{"bareDictionaryName", "total * 2", {"SUM([Price])"}},
                      // A variable met inside its own value is not expanded again.
                      SplitCase{"selfReferenceEnds", "[Loop]", {" COUNT(MasterData1)"}}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(ReportSplitter, unclosedCallIsAnErrorWithAText) {
    std::vector<std::string> out;
    TAggregateFunctionsSplitter s(out, nullptr);
    try {
        s.Split("SUM([A]");
        FAIL() << "no error";
    } catch (const ERMExpressionError& e) {
        EXPECT_FALSE(e.Message.empty());
    }
}

TEST(ReportSplitter, memoLinesAndScriptsGiveTheirTotals) {
    std::vector<std::string> out;
    TAggregateFunctionsSplitter s(out, nullptr);
    s.SplitMemo({"合计 [SUM([Price]) #N0.00] 元", "\\[不是] [COUNT(MasterData1)] [Page#]"});
    EXPECT_EQ(out, (std::vector<std::string>{"SUM([Price])", "COUNT(MasterData1)"}));
    out.clear();
    s.SplitScript({"begin", "  if SUM([Price]) > 100 then", "    Memo1.Visible := 0", "  else",
                   "    t := MAX([Price]) ;", "end"});
    EXPECT_EQ(out, (std::vector<std::string>{"SUM([Price])", "MAX([Price])"}));
    out.clear();
    s.SplitScript({"if then else"});
    EXPECT_TRUE(out.empty());
}

} // namespace
