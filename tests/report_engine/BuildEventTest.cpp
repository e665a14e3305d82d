// What a build tells the program and what stops it: an error ends the
// build with the "错误" box and no built pages; the report's events come at
// their moments with their arguments, and what a handler changes prints;
// the first pass of a two-pass build only runs the objects' scripts.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "TestKit.h"
#include "db/ListDataSet.h"
#include "report/model/RM_Control.h"
#include "report/model/RM_Report.h"
#include "DesignPage.h"

namespace {

struct Build {
    TComponent owner{nullptr};
    TListDataSet books{nullptr};
    TRMReport report{&owner};
    TRMPage* page;
    TRMBandView *title, *data;
    TRMMemoView *titleMemo, *row;

    // A title and one row a book: "图书1", "图书2", ...
    explicit Build(int rows = 3) {
        books.FieldDefs().Add("Title", ftString, 40);
        books.FieldDefs().Add("Price", ftFloat);
        for (int i = 1; i <= rows; ++i) books.AddRow({"图书" + std::to_string(i), double(i)});
        books.Open();
        auto* rm = new TRMDBDataSet(&owner);
        rm->SetName("RMBooks");
        rm->SetDataSet(&books);
        page = report.Pages[0];
        title = band(bkTitle, 20, 30);
        titleMemo = memo(0, 22, "标题");
        data = band(bkMasterData, 60, 24, "RMBooks");
        row = memo(0, 62, "[Title]");
    }
    TRMBandView* band(TRMBandKind k, int top, int h, const std::string& ds = "") {
        return AddBand(report, page, k, top, h, ds);
    }
    TRMMemoView* memo(int left, int top, const std::string& text, int w = 150) {
        return AddMemo(report, page, left, top, text, w);
    }
    // The design is restored whole after every build: its objects are new.
    TRMView* obj(const std::string& name) { return report.FindObject(name); }
    struct Placed {
        std::string text;
        int left, top;
    };
    std::vector<Placed> placed(int i) {
        std::vector<Placed> out;
        TRMPage* p = report.EMFPages.UnpackPage(i);
        for (auto& o : p->Objects) {
            std::string t;
            for (auto& l : o->Memo) t += l;
            out.push_back({t, o->Left, o->Top});
        }
        report.EMFPages.FreeUnpacked(i);
        return out;
    }
    std::vector<std::string> texts(int i) {
        std::vector<std::string> out;
        for (auto& p : placed(i)) out.push_back(p.text);
        return out;
    }
    std::string errors() const {
        std::string e;
        for (auto& x : report.BuildErrors) e += x + "; ";
        return e;
    }
};

bool contains(const std::string& s, const std::string& part) { return s.find(part) != std::string::npos; }

// ---------------------------------------------------------------- build errors

// An error while the build runs stops it at once: one "错误" box says what
// failed, in which report and object, and the pages built before it (and
// by an earlier build) are gone.
TEST(ReportBuildErrors, stopTheBuildWithTheErrorBoxAndLeaveNoPages) {
    struct Case {
        const char* name;
        std::function<void(Build&, TRMView* row, TRMView* data)> spoil;
        std::string says;   // in the box
        bool namesTheRow;   // the box names the row's memo and its text
        bool twoPass;
    };
    const Case cases[] = {
        {"bad expression", [](Build& f, auto* row, auto*) { row->Memo = {"价[(1 + [Price]]"}; }, "", true, false},
        {"bad expression, two passes", [](Build& f, auto* row, auto*) { row->Memo = {"价[(1 + [Price]]"}; }, "", true,
         true},
        {"unknown data set",
         [](Build& f, auto*, auto* data) { static_cast<TRMBandView*>(data)->SetDataSet("RMNoSuch"); },
         "未找到数据集: RMNoSuch", false, false},
        {"script failing as it runs", [](Build& f, auto* row, auto*) { row->OnBeforePrint = {"A := NOSUCHFN(1)"}; }, "未知函数",
         true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Build f(5);
        f.report.SetName("BookReport");
        f.report.DoublePass = c.twoPass;
        const std::string rowName = f.row->Name, dataName = f.data->Name;
        ASSERT_TRUE(f.report.PrepareReport()) << f.errors();
        ASSERT_EQ(f.report.EMFPages.Count(), 1);
        TRMView* row = f.obj(rowName);
        c.spoil(f, row, f.obj(dataName));
        const std::string rowText = row->Memo[0];
        TSeamScript script;
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        script.ExpectMessage("计算时发生错误", IDOK, "错误");
        EXPECT_FALSE(f.report.PrepareReport()) << f.errors();
        EXPECT_TRUE(script.Unused().empty());
        ASSERT_EQ(script.Shown().size(), 1u); // once, though every row would fail
        EXPECT_EQ(f.report.EMFPages.Count(), 0);
        const std::string box = script.Shown()[0].Text;
        EXPECT_EQ(box, f.report.ErrorText);
        EXPECT_TRUE(contains(box, "报表: BookReport")) << box;
        EXPECT_TRUE(contains(box, c.says)) << box;
        if (c.namesTheRow) {
            EXPECT_TRUE(contains(box, "对象: " + rowName)) << box;
            EXPECT_TRUE(contains(box, "\r" + rowText + "\r")) << box;
        }
        EXPECT_FALSE(f.report.BuildErrors.empty());
    }
}

// A script that does not compile is listed, but the build goes on without
// it and shows no box; the next good build forgets the error.
TEST(ReportBuildErrors, aScriptThatDoesNotCompileIsListedAndTheBuildGoesOn) {
    Build f;
    f.data->OnBeforePrint = {"if 1 A := 2"};
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    ASSERT_TRUE(f.report.PrepareReport()) << f.errors();
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_EQ(f.report.ErrorText, "");
    ASSERT_FALSE(f.report.BuildErrors.empty());
    EXPECT_TRUE(contains(f.report.BuildErrors[0], "then")) << f.report.BuildErrors[0];
    EXPECT_EQ(f.texts(0), (std::vector<std::string>{"标题", "图书1", "图书2", "图书3"}));
}

// ---------------------------------------------------------------- events

// The events in the order of the build, with their arguments: the document
// around everything, each band's print around its objects, each object
// before its text is filled in (with the design text) and after it is
// written (with the printed text).
TEST(ReportEvents, comeInTheOrderOfTheBuildWithTheirArguments) {
    for (bool twoPass : {false, true}) {
        SCOPED_TRACE(twoPass);
        Build f(2);
        auto* summary = f.band(bkSummary, 100, 24);
        f.memo(0, 102, "完");
        f.report.DoublePass = twoPass;
        std::vector<std::string> log;
        TRMReport& r = f.report;
        r.OnBeginDoc = [&] { log.push_back("doc+"); };
        r.OnEndDoc = [&] { log.push_back("doc-"); };
        r.OnBeginBand = [&](TRMBandView* b) { log.push_back("+" + b->Name); };
        r.OnEndBand = [&](TRMBandView* b) { log.push_back("-" + b->Name); };
        r.OnBeforePrintBand = [&](TRMBandView* b, bool& print) {
            EXPECT_TRUE(print);
            log.push_back("?" + b->Name);
        };
        r.OnBeforePrint = [&](TRMLines& memo, TRMView* v) { log.push_back("<" + v->Name + ":" + memo.at(0)); };
        r.OnAfterPrint = [&](TRMView* v) { log.push_back(">" + v->Name + ":" + v->Memo1.at(0)); };
        const std::string t = f.title->Name, d = f.data->Name, s = summary->Name;
        const std::string tm = f.titleMemo->Name, rm = f.row->Name, sm = "Memo3";
        ASSERT_TRUE(r.PrepareReport()) << f.errors();
        std::vector<std::string> onePass = {"?" + t, "+" + t,  "<" + tm + ":标题", ">" + tm + ":标题", "-" + t,
                                            "?" + d, "+" + d,  "<" + rm + ":[Title]", ">" + rm + ":图书1", "-" + d,
                                            "?" + d, "+" + d,  "<" + rm + ":[Title]", ">" + rm + ":图书2", "-" + d,
                                            "?" + s, "+" + s,  "<" + sm + ":完",      ">" + sm + ":完",     "-" + s};
        std::vector<std::string> want = {"doc+"};
        if (twoPass) // the first pass fills in no text and writes nothing
            for (auto& e : onePass)
                if (e[0] != '<' && e[0] != '>') want.push_back(e);
        want.insert(want.end(), onePass.begin(), onePass.end());
        want.push_back("doc-");
        EXPECT_EQ(log, want);
    }
}

// What the handlers change takes effect: a band left out does not print,
// lines given to an object print as they are (unexpanded), and the
// events that end a band still come for a band that prints nothing.
TEST(ReportEvents, handlersChangeWhatPrints) {
    Build f(3);
    int rows = 0;
    f.report.OnBeforePrintBand = [&](TRMBandView* b, bool& print) {
        if (b == f.data && ++rows == 2) print = false;
    };
    f.report.OnBeforePrint = [&](TRMLines& memo, TRMView* v) {
        if (v == f.titleMemo) memo = {"[原样]"};
    };
    int hiddenEnds = 0;
    f.data->OnBeforePrint = {"Visible := [Line#] <> 3"};
    f.report.OnEndBand = [&](TRMBandView* b) { hiddenEnds += b == f.data && !b->Visible; };
    ASSERT_TRUE(f.report.PrepareReport()) << f.errors();
    EXPECT_EQ(f.texts(0), (std::vector<std::string>{"[原样]", "图书1"}));
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(hiddenEnds, 1);
}

// A row band with cross-tab columns says when its columns begin, and each
// data column may be given its own width: the columns after it move.
TEST(ReportEvents, crossTabColumnsBeginAndTakeTheWidthTheProgramGives) {
    Build f(2);
    TListDataSet months{nullptr};
    months.FieldDefs().Add("M", ftString, 10);
    for (int i = 1; i <= 3; ++i) months.AddRow({std::to_string(i) + "月"});
    months.Open();
    auto* rm = new TRMDBDataSet(&f.owner);
    rm->SetName("RMMonths");
    rm->SetDataSet(&months);
    f.row->SetBounds(0, 62, 140, 20);
    f.band(bkCrossData, 0, 1000, "RMMonths")->SetBounds(140, 0, 80, 1000);
    f.memo(140, 62, "[M]", 80);
    std::vector<std::string> begun;
    std::vector<int> asked;
    f.report.OnBeginColumn = [&](TRMBandView* b) { begun.push_back(b->Name); };
    f.report.OnPrintColumn = [&](int colNo, int& width) {
        asked.push_back(colNo);
        EXPECT_EQ(width, 80);
        if (colNo == 2) width = 120;
    };
    const std::string dataName = f.data->Name;
    ASSERT_TRUE(f.report.PrepareReport()) << f.errors();
    EXPECT_EQ(begun, (std::vector<std::string>{dataName, dataName}));
    EXPECT_EQ(asked, (std::vector<int>{1, 2, 3, 1, 2, 3}));
    std::vector<int> lefts;
    for (auto& p : f.placed(0))
        if (contains(p.text, "月") && p.top == f.placed(0)[1].top) lefts.push_back(p.left);
    EXPECT_EQ(lefts, (std::vector<int>{140, 220, 340}));
}

// A non-visual component of a dialog page goes to the program before the
// form would show; it is not put on the form, so with nothing else on the
// page no form shows and only the page script runs.
class TRMTestQuery : public TRMNonVisualControl {
public:
    TRMTestQuery() { SetComponent(new TComponent(nullptr)); }
    std::string ClassName() const override { return "TRMTestQuery"; }
};

TEST(ReportEvents, aDialogPagesNonVisualComponentIsHandedToTheProgram) {
    Build f(1);
    TRMPage* dlg = f.report.Pages.Add();
    dlg->PageType = 1;
    dlg->Script = {"Shown := 1"};
    auto* q = static_cast<TRMTestQuery*>(dlg->Add(std::make_unique<TRMTestQuery>()));
    q->CreateUniqueName(&f.report);
    q->SetPropValue("Name", std::string("QryKinds"));
    std::vector<std::string> handed; // the component goes with the design the build restores
    f.report.OnCustomizeObject = [&](TComponent* c) { handed.push_back(c->Name()); };
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    ASSERT_TRUE(f.report.PrepareReport()) << f.errors();
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0], "QryKinds");
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_EQ(RMToNumber(f.report.Variables["SHOWN"]), 1);
    EXPECT_EQ(f.texts(0), (std::vector<std::string>{"标题", "图书1"}));
}

// ---------------------------------------------------------------- two passes

// The first pass lays out and counts pages but only runs the objects'
// scripts: a text that asks asks once, the scripts run in both passes,
// and the page count the first pass found is printed.
TEST(ReportTwoPass, firstPassRunsOnlyTheObjectsScripts) {
    Build f(60);
    f.report.DoublePass = true;
    f.titleMemo->Memo = {"[INPUT('清单名称', '图书清单')]"};
    f.titleMemo->OnBeforePrint = {"INC(Runs)"};
    auto* pf = f.band(bkPageFooter, 200, 24);
    pf->Flags |= bfOnFirstPage | bfOnLastPage;
    f.memo(0, 202, "第[Page#]页 共[TotalPages#]页");
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    script.ExpectInput("", "新书通报");
    ASSERT_TRUE(f.report.PrepareReport()) << f.errors();
    EXPECT_TRUE(script.Unused().empty());
    EXPECT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(RMToNumber(f.report.Variables["RUNS"]), 2);
    ASSERT_EQ(f.report.EMFPages.Count(), 2);
    auto t = f.texts(0);
    EXPECT_EQ(t.front(), "新书通报");
    EXPECT_NE(std::find(t.begin(), t.end(), "第1页 共2页"), t.end());
}

} // namespace
