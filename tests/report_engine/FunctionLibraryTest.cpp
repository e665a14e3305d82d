// The functions a report author calls besides the arithmetic: edit masks,
// file names, the program's parameters, a form's control properties,
// functions the report supplies itself (OnUserFunction), object methods,
// and the names CALCWIDTH and Current#.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "Forms.h"
#include "Metafile.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "db/ListDataSet.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"
#include "DesignPage.h"

namespace {

struct FuncCase {
    const char* name;
    const char* expr;
    const char* expected; // the value as text
};
void PrintTo(const FuncCase& c, std::ostream* os) { *os << c.name; }

class ReportFunctions : public ::testing::TestWithParam<FuncCase> {};

TEST_P(ReportFunctions, evaluate) {
    TRMReport r;
    r.Variables["NOTHING"] = Null();
    const FuncCase& c = GetParam();
    Variant v;
    ASSERT_NO_THROW(v = r.Calc(c.expr)) << c.expr;
    EXPECT_EQ(VarToStr(v), c.expected) << c.expr;
}

const FuncCase kFunctions[] = {
    // FORMATTEXT: the text laid into the mask, which keeps no literals of
    // its own unless it says so.
    {"maskInsertsLiterals", "FORMATTEXT('000-0000', '1234567')", "123-4567"},
    {"maskFillsMissingWithBlanks", "FORMATTEXT('(000)000', '12345')", "(123)45 "},
    {"maskFromTheRight", "FORMATTEXT('!000-000', '12')", "   - 12"},
    {"maskEscapedLiteral", "FORMATTEXT('\\A00', '12')", "A12"},
    {"maskCaseDirectivesShowNothing", "FORMATTEXT('>LL<ll', 'abcd')", "abcd"},
    {"maskLongTextKeepsTheRest", "FORMATTEXT('00-00', '123456')", "12-3456"},
    {"maskChineseCharactersWhole", "FORMATTEXT('CC-CC', '图书馆藏')", "图书-馆藏"},
    {"maskThatKeepsItsLiterals", "FORMATTEXT('000-000;1;_', '123-456')", "123-456"},
    // EXTRACTFILEPATH: up to and including the last separator.
    {"pathWindows", "EXTRACTFILEPATH('C:\\Lib\\report\\BookData.rmf')", "C:\\Lib\\report\\"},
    {"pathSlashes", "EXTRACTFILEPATH('/srv/lib/report/图书.rmf')", "/srv/lib/report/"},
    {"pathDriveOnly", "EXTRACTFILEPATH('D:BookData.rmf')", "D:"},
    {"pathNone", "EXTRACTFILEPATH('BookData.rmf')", ""},
    {"paramBeyondTheLast", "PARAMSTR(999)", ""},
    // StringOfChar repeats a whole character, Chinese ones included.
    {"stringOfChinese", "StringOfChar('图书', 3)", "图图图"},
    {"stringOfEmpty", "StringOfChar('', 3)", ""},
    {"stringOfZeroTimes", "StringOfChar('*', 0)", ""},
    // POS counts as LENGTH and COPY do: GBK bytes, at character starts.
    {"posInGbkBytes", "POS('馆', '图书馆')", "5"},
    {"posAbsent", "POS('x', '图书馆')", "0"},
    {"posOfEmpty", "POS('', 'abc')", "0"},
    {"posAgreesWithCopy", "COPY('图书馆', POS('馆', '图书馆'), 2)", "馆"},
    {"lengthInGbkBytes", "LENGTH('图书a')", "5"},
    // COPY never prints half a Chinese character.
    {"copyWholeCharacters", "COPY('a图书馆', 2, 4)", "图书"},
    {"copyStartingInsideACharacter", "COPY('图书馆', 2, 3)", "书"},
    {"copyEndingInsideACharacter", "COPY('图书馆', 1, 3)", "图"},
    {"copyPastTheEnd", "COPY('图书', 5, 2)", ""},
    // NAMECASE leaves the rest of the text as it is.
    {"namecaseKeepsTheRest", "NAMECASE('aBC')", "ABC"},
    {"namecaseEmpty", "NAMECASE('')", ""},
    // INT and FRAC take a value within 1e-10 of a whole number as whole;
    // ROUND takes halves to the even neighbour.
    {"intNearlyWhole", "INT(2.9999999999999)", "3"},
    {"fracNearlyWhole", "FRAC(2.9999999999999)", "0"},
    {"intNegative", "INT(-2.5)", "-2"},
    {"fracNegative", "FRAC(-2.5)", "-0.5"},
    {"roundHalfToEvenDown", "ROUND(2.5)", "2"},
    {"roundHalfToEvenUp", "ROUND(3.5)", "4"},
    {"roundNegativeHalf", "ROUND(-2.5)", "-2"},
    // Numbers take "," as a decimal point too; ";" ends the expression.
    {"commaIsADecimalPoint", "1,5 + 1.5", "3"},
    {"semicolonEndsTheExpression", "3 + 4 ; 5", "7"},
    // RMRound(value, decimals), halves away from zero.
    {"rmroundTwoDecimals", "RMRound(3.14159, 2)", "3.14"},
    {"rmroundHalfAway", "RMRound(2.5, 0)", "3"},
    {"rmroundNegativeHalfAway", "RMRound(-2.5, 0)", "-3"},
    {"rmroundSmallIsZero", "RMRound(0.3, 0)", "0"},
    // No date: an empty text, not a number.
    {"formatDateTimeOfNothing", "FORMATDATETIME('yyyy-mm-dd', NOTHING)", ""},
    {"dayOfNothing", "DAY(NOTHING)", ""},
    {"yearOfAText", "YEAR('2026-12-11')", "2026"},
    {"formatDateTimeOfAText", "FORMATDATETIME('yyyy年m月', '2026-12-11')", "2026年12月"},
};
INSTANTIATE_TEST_SUITE_P(Report, ReportFunctions, ::testing::ValuesIn(kFunctions),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(ReportFunctionLibrary, paramStrZeroIsTheProgramsOwnPath) {
    TRMReport r;
    std::string p = VarToStr(r.Calc("PARAMSTR(0)"));
    EXPECT_EQ(ExtractFileName(p), "test_report_engine") << p;
    EXPECT_TRUE(FileExists(p)) << p;
}

// A form of the program with the controls a report reads.
struct ConditionForm {
    TForm* form;
    TEdit* edit;
    TCheckBox* check;
    TComboBox* combo;
    ConditionForm() {
        form = new TForm(nullptr);
        form->SetName("FrmPrintCond");
        edit = new TEdit(form);
        edit->SetParent(form);
        edit->SetName("EdtTitle");
        edit->SetText("新书通报");
        edit->SetBounds(10, 12, 150, 21);
        check = new TCheckBox(form);
        check->SetParent(form);
        check->SetName("ChkAll");
        check->SetChecked(true);
        combo = new TComboBox(form);
        combo->SetParent(form);
        combo->SetName("CmbKind");
        combo->Items()->Add("图书");
        combo->Items()->Add("期刊");
        combo->SetItemIndex(1);
    }
    ~ConditionForm() { delete form; }
};

TEST(ReportFunctionLibrary, getControlPropValueReadsTheOwnersAndOtherFormsControls) {
    ConditionForm f;
    TRMReport r(f.form); // the report sits on the form, as a window's does
    struct {
        const char* expr;
        const char* expected;
    } cases[] = {
        {"GETCONTROLPROPVALUE('EdtTitle', 'Text')", "新书通报"},
        {"GETCONTROLPROPVALUE('EdtTitle', 'Left')", "10"},
        {"GETCONTROLPROPVALUE('ChkAll', 'Checked')", "1"},
        {"GETCONTROLPROPVALUE('CmbKind', 'ItemIndex')", "1"},
        {"GETCONTROLPROPVALUE('FrmPrintCond.EdtTitle', 'text')", "新书通报"},
        {"GETCONTROLPROPVALUE('FrmPrintCond', 'Caption')", VarToStr(f.form->Caption()).c_str()},
        {"GETCONTROLPROPVALUE('EdtNone', 'Text')", "0"},
        {"GETCONTROLPROPVALUE('EdtTitle', 'NoSuchProperty')", "0"},
        {"GETCONTROLPROPVALUE('NoForm.EdtTitle', 'Text')", "0"},
    };
    for (auto& c : cases) EXPECT_EQ(VarToStr(r.Calc(c.expr)), c.expected) << c.expr;
    // A report owned elsewhere reaches the form by its name only.
    TRMReport other;
    EXPECT_EQ(VarToStr(other.Calc("GETCONTROLPROPVALUE('FrmPrintCond.ChkAll', 'Checked')")), "1");
    EXPECT_EQ(VarToStr(other.Calc("GETCONTROLPROPVALUE('EdtTitle', 'Text')")), "0");
}

TEST(ReportFunctionLibrary, userFunctionServesWhatNoLibraryKnowsWithTheArgumentsAsWritten) {
    TRMReport r;
    std::vector<std::string> names;
    std::vector<std::string> seenArgs;
    r.OnUserFunction = [&](const std::string& name, const std::vector<std::string>& args, Variant& val) {
        names.push_back(name);
        seenArgs = args;
        if (name == "LIBNAME") val = std::string("城东图书馆");
        if (name == "TWICE") val = RMToNumber(r.Calc(args[0])) * 2;
        // Any other name keeps the "0" it came with.
    };
    r.Variables["N"] = 21;
    EXPECT_EQ(VarToStr(r.Calc("LibName()")), "城东图书馆");
    EXPECT_EQ(VarToStr(r.Calc("Twice(N) + 1")), "43");
    EXPECT_EQ(seenArgs, (std::vector<std::string>{"N"}));
    EXPECT_EQ(VarToStr(r.Calc("Unknown('a, b', 2)")), "0");
    EXPECT_EQ(seenArgs, (std::vector<std::string>{"'a, b'", "2"}));
    // The report's own functions and the library come first.
    EXPECT_EQ(VarToStr(r.Calc("ABS(-2) + LENGTH('ab')")), "4");
    EXPECT_EQ(names, (std::vector<std::string>{"LIBNAME", "TWICE", "UNKNOWN"}));
}

TEST(ReportFunctionLibrary, unknownFunctionWithoutAHandlerIsAnExpressionError) {
    TRMReport r;
    EXPECT_THROW(r.Calc("Unknown(1)"), Exception);
    EXPECT_EQ(r.ExpandVariables("值[Unknown(1)]", nullptr), "值");
    ASSERT_FALSE(r.BuildErrors.empty());
    EXPECT_NE(r.BuildErrors.back().find("UNKNOWN"), std::string::npos) << r.BuildErrors.back();
}

TEST(ReportFunctionLibrary, objectMethodsFromScriptsAndExpressions) {
    TRMReport r;
    TRMPage* p = r.Pages[0];
    TRMMemoView* m = AddMemo(r, p, 10, 10, "第一行", 200);
    m->Name = "MemoTitle";
    r.Variables["WHAT"] = std::string("第三行");
    r.RunScript({"begin", "  MemoTitle.Memo.Add('第二行');", "  MemoTitle.Memo.Add(WHAT);",
                 "  N := MemoTitle.Memo.IndexOf('第二行');", "  MemoTitle.Hide", "end"});
    EXPECT_TRUE(r.ScriptError.empty()) << r.ScriptError;
    EXPECT_EQ(m->Memo, (TRMLines{"第一行", "第二行", "第三行"}));
    EXPECT_EQ(VarToStr(r.Calc("N")), "1");
    EXPECT_FALSE(m->Visible);
    r.RunScript({"begin MemoTitle.Memo.Delete(0); MemoTitle.Show end"});
    EXPECT_EQ(m->Memo, (TRMLines{"第二行", "第三行"}));
    EXPECT_TRUE(m->Visible);
    // A line of an object's text by its index.
    r.RunScript({"begin MemoTitle.Memo[1] := '第' + '二'; L := MemoTitle.Memo[0] end"});
    EXPECT_EQ(m->Memo, (TRMLines{"第二行", "第二"}));
    EXPECT_EQ(VarToStr(r.Calc("L")), "第二行");
    r.RunScript({"MemoTitle.Memo.Clear"});
    EXPECT_TRUE(m->Memo.empty());
    // In the object's own script its properties read by their bare names,
    // and another object's through its name, however deep.
    m->Font.Size = 12;
    r.RunScript({"begin F := Font.Size; G := MemoTitle.Font.Size + 1; MemoTitle.Font.Size := 14 end"}, m);
    EXPECT_EQ(VarToStr(r.Calc("F")), "12");
    EXPECT_EQ(VarToStr(r.Calc("G")), "13");
    EXPECT_EQ(m->Font.Size, 14);
}

// A one-band list over rows whose titles grow, built on the recording
// canvas.
struct ListFixture {
    TComponent owner{nullptr};
    TListDataSet books{nullptr};
    TRMDBDataSet* rmBooks;
    TRMReport report{&owner};
    TRMPage* page;
    explicit ListFixture(int rows) {
        books.FieldDefs().Add("Title", ftString, 40);
        for (int i = 1; i <= rows; ++i) books.AddRow({std::string(size_t(i), 'W')});
        books.Open();
        rmBooks = new TRMDBDataSet(&owner);
        rmBooks->SetName("RMBooks");
        rmBooks->SetDataSet(&books);
        page = report.Pages[0];
    }
    std::vector<std::string> texts(int i) { return PageTexts(report, i); }
};

TEST(ReportFunctionLibrary, currentCountsTheRecordsPrintedAndCalcWidthMeasuresTheText) {
    ListFixture f(3);
    AddBand(f.report, f.page, bkMasterData, 100, 24, "RMBooks");
    TRMMemoView* title = AddMemo(f.report, f.page, 0, 102, "[Title]", 300);
    title->Name = "MemoTitle";
    title->Font.Size = 10;
    // The memo's script reads the width its own text needs as it prints.
    title->OnBeforePrint = {"W[Current#] := CALCWIDTH"};
    AddMemo(f.report, f.page, 320, 102, "第[Current#]条", 100);
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    auto t = f.texts(0);
    for (const char* want : {"第1条", "第2条", "第3条"})
        EXPECT_NE(std::find(t.begin(), t.end(), want), t.end()) << want;
    // Width grows by one "W" a row; the first row needs the gaps and the
    // frame's room besides.
    TRMMemoView probe;
    probe.Font = title->Font;
    int w1 = int(RMToNumber(f.report.Calc("W[1]")));
    int w2 = int(RMToNumber(f.report.Calc("W[2]"))), w3 = int(RMToNumber(f.report.Calc("W[3]")));
    EXPECT_EQ(w1, probe.CalcTextWidth({"W"}));
    EXPECT_GT(w2, w1);
    EXPECT_EQ(w3 - w2, w2 - w1);
    EXPECT_EQ(probe.CalcTextWidth({}), 2 * probe.GapX + 1 + 1); // gaps, half frames, 1
    // Outside any object: 0.
    EXPECT_EQ(VarToStr(f.report.Calc("CALCWIDTH")), "0");
}

// INC and DEC store as an assignment does: into the dictionary variable,
// the object's property or the report variable of that name.
TEST(ReportFunctionLibrary, incAndDecReachWhateverTheNameStandsFor) {
    TRMReport r;
    r.Dictionary.Variables = {{"Counter", "5"}};
    TRMMemoView* m = AddMemo(r, r.Pages[0], 10, 10, "书名", 200);
    m->Name = "MemoTitle";
    m->Font.Size = 9;
    r.RunScript({"begin INC(Counter); INC(Counter); DEC(MemoTitle.Font.Size); INC(N); INC(N) end"});
    EXPECT_TRUE(r.ScriptError.empty()) << r.ScriptError;
    EXPECT_EQ(VarToStr(r.Calc("[Counter]")), "7");
    EXPECT_EQ(m->Font.Size, 8);
    EXPECT_EQ(VarToStr(r.Calc("N")), "2");
}

TEST(ReportFunctionLibrary, calcWidthOfANonMemoIsItsWidth) {
    TRMReport r;
    TRMView* line = r.Pages[0]->Add(std::make_unique<TRMLineView>());
    line->SetBounds(0, 0, 123, 0);
    line->Name = "Line1";
    line->OnBeforePrint = {"X := CALCWIDTH"};
    r.RunScript(line->OnBeforePrint, line);
    EXPECT_EQ(VarToStr(r.Calc("X")), "123");
}

} // namespace
