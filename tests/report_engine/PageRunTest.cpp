// How the report pages are run: a handler that prints bands itself, a page
// that goes on where the page before ended, a report built once per record
// of its data set, and dialog pages shown before the report pages (a
// parameter form whose Cancel builds nothing).
#include <gtest/gtest.h>

#include <algorithm>

#include "Buttons.h"
#include "StdCtrls.h"
#include "TestKit.h"
#include "db/ListDataSet.h"
#include "Metafile.h"
#include "report/model/RM_Control.h"
#include "report/model/RM_Report.h"

namespace {

struct Report {
    TComponent owner{nullptr};
    TListDataSet books{nullptr};
    TRMDBDataSet* rmBooks;
    TRMReport report{&owner};

    explicit Report(int rows = 3) {
        books.FieldDefs().Add("Title", ftString, 40);
        for (int i = 1; i <= rows; ++i) books.AddRow({std::string("图书") + std::to_string(i)});
        books.Open();
        rmBooks = new TRMDBDataSet(&owner);
        rmBooks->SetName("RMBooks");
        rmBooks->SetDataSet(&books);
    }
    TRMPage* page(int i) {
        while (report.Pages.Count() <= i) report.Pages.Add();
        return report.Pages[i];
    }
    TRMBandView* band(TRMPage* p, TRMBandKind k, int top, int h, const std::string& ds = "") {
        auto* b = static_cast<TRMBandView*>(p->Add(std::make_unique<TRMBandView>()));
        b->SetBandType(k);
        b->CreateUniqueName(&report);
        b->SetBounds(0, top, 700, h);
        b->SetDataSet(ds);
        return b;
    }
    TRMMemoView* memo(TRMPage* p, int left, int top, const std::string& text) {
        auto* m = static_cast<TRMMemoView*>(p->Add(std::make_unique<TRMMemoView>()));
        m->CreateUniqueName(&report);
        m->SetBounds(left, top, 300, 20);
        m->Memo = {text};
        m->Font.Name = "宋体";
        return m;
    }
    // Texts of built page i with their tops, in drawing order.
    std::vector<std::pair<std::string, int>> placed(int i) {
        TMetafile mf;
        std::vector<std::pair<std::string, int>> out;
        TMetafileCanvas c(&mf);
        auto& r = report.EMFPages[i];
        report.EMFPages.Draw(i, &c, TRect(0, 0, r.PageWidth, r.PageHeight));
        for (auto* t : c.TextRecords()) out.push_back({t->Text, t->Bounds.Top});
        return out;
    }
    std::vector<std::string> texts(int i) {
        std::vector<std::string> out;
        for (auto& [t, y] : placed(i)) out.push_back(t);
        return out;
    }
    std::string errors() const {
        std::string e;
        for (auto& x : report.BuildErrors) e += x + "; ";
        return e;
    }
};

// ---------------------------------------------------------------- manual build

// The handler replaces the data levels, the title and the summary: only
// what it shows prints, a new page it asks for gets the page footer and
// the next page's header, and the last page gets no closing footer.
TEST(ReportPageRun, manualBuildPrintsOnlyTheBandsTheHandlerShows) {
    Report r;
    TRMPage* p = r.page(0);
    r.band(p, bkTitle, 20, 30);
    r.memo(p, 0, 22, "标题");
    r.band(p, bkPageHeader, 60, 24)->Flags |= bfOnFirstPage;
    r.memo(p, 0, 62, "页眉");
    r.band(p, bkMasterData, 100, 24, "RMBooks");
    r.memo(p, 0, 102, "[Title]");
    auto* line = r.band(p, bkChild, 140, 24);
    line->Name = "Line";
    r.memo(p, 0, 142, "手工 [Page#]");
    r.band(p, bkSummary, 180, 24);
    r.memo(p, 0, 182, "合计");
    r.band(p, bkPageFooter, 220, 24)->Flags |= bfOnFirstPage | bfOnLastPage;
    r.memo(p, 0, 222, "页脚 [Page#]");
    std::vector<int> curYs;
    r.report.OnManualBuild = [&](TRMPage* pg) {
        EXPECT_EQ(pg, r.report.Pages[0]);
        curYs.push_back(pg->CurY());
        pg->ShowBandByName("Line");
        curYs.push_back(pg->CurY());
        pg->NewPage();
        pg->ShowBandByName("line");
    };
    ASSERT_TRUE(r.report.PrepareReport()) << r.errors();
    ASSERT_EQ(r.report.EMFPages.Count(), 2);
    EXPECT_EQ(r.texts(0), (std::vector<std::string>{"页眉", "手工 1", "页脚 1"}));
    EXPECT_EQ(r.texts(1), (std::vector<std::string>{"页眉", "手工 2"}));
    ASSERT_EQ(curYs.size(), 2u);
    EXPECT_EQ(curYs[1], curYs[0] + 24);
    // Outside a build the page's operations do nothing.
    r.report.Pages[0]->NewPage();
    EXPECT_EQ(r.report.Pages[0]->CurY(), -1);
}

// ---------------------------------------------------------------- continuation

struct Continued {
    Report r{3};
    TRMPage* second;
    // Page 1 lists the books; page 2 (its own title and list) follows.
    explicit Continued(bool goOn, int firstRows = 3) : r(firstRows) {
        TRMPage* p = r.page(0);
        r.band(p, bkTitle, 20, 30);
        r.memo(p, 0, 22, "第一部分");
        r.band(p, bkMasterData, 60, 24, "RMBooks");
        r.memo(p, 0, 62, "[Title]");
        second = r.page(1);
        second->PrintToPrevPage = goOn;
        r.band(second, bkTitle, 20, 30);
        r.memo(second, 0, 22, "第二部分");
        r.band(second, bkMasterData, 60, 24, "2");
        r.memo(second, 0, 62, "行[Line#]");
    }
};

TEST(ReportPageRun, pageMarkedToGoOnPrintsBelowThePreviousPage) {
    Continued c(true);
    ASSERT_TRUE(c.r.report.PrepareReport()) << c.r.errors();
    ASSERT_EQ(c.r.report.EMFPages.Count(), 1);
    auto t = c.r.placed(0);
    std::vector<std::string> want = {"第一部分", "图书1", "图书2", "图书3", "第二部分", "行1", "行2"};
    ASSERT_EQ(c.r.texts(0), want);
    // Below the third book, not at the top of the page.
    EXPECT_GT(t[4].second, t[3].second);
    EXPECT_EQ(c.r.report.EMFPages[0].DesignPageNo, 1);
}

TEST(ReportPageRun, pageNotMarkedStartsItsOwnPage) {
    Continued c(false);
    ASSERT_TRUE(c.r.report.PrepareReport()) << c.r.errors();
    ASSERT_EQ(c.r.report.EMFPages.Count(), 2);
    EXPECT_EQ(c.r.texts(1), (std::vector<std::string>{"第二部分", "行1", "行2"}));
    EXPECT_EQ(c.r.report.EMFPages[1].DesignPageNo, 2);
}

// A previous page run that broke onto more pages goes on on its last page;
// "Page#" counts the pages there are.
TEST(ReportPageRun, goingOnAfterALongListUsesItsLastPage) {
    Continued c(true, 80);
    c.r.memo(c.second, 320, 62, "页[Page#]");
    ASSERT_TRUE(c.r.report.PrepareReport()) << c.r.errors();
    int n = c.r.report.EMFPages.Count();
    ASSERT_GE(n, 2);
    auto last = c.r.texts(n - 1);
    EXPECT_NE(std::find(last.begin(), last.end(), "图书80"), last.end());
    EXPECT_NE(std::find(last.begin(), last.end(), "第二部分"), last.end());
    EXPECT_NE(std::find(last.begin(), last.end(), "页" + std::to_string(n)), last.end());
}

// ---------------------------------------------------------------- rtMultiple

// The design is built once per record of the report's data set: each run
// starts its own page, sees its record and counts the pages on.
TEST(ReportPageRun, multipleReportBuildsTheDesignOncePerRecord) {
    Report r(3);
    r.report.ReportType = rtMultiple;
    r.report.SetDataset(r.rmBooks);
    TRMPage* p = r.page(0);
    r.band(p, bkTitle, 20, 30);
    r.memo(p, 0, 22, "读者卡 [Title]");
    r.band(p, bkPageFooter, 200, 24);
    r.memo(p, 0, 202, "第[Page#]页");
    ASSERT_TRUE(r.report.PrepareReport()) << r.errors();
    ASSERT_EQ(r.report.EMFPages.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        auto t = r.texts(i);
        ASSERT_FALSE(t.empty());
        EXPECT_EQ(t[0], "读者卡 图书" + std::to_string(i + 1));
    }
    // The list is left where it stood.
    EXPECT_EQ(r.books.RecNo(), 1);
    // A simple report with the same data set prints its design once, and
    // a master band without a data set of its own runs over it.
    r.report.ReportType = rtSimple;
    static_cast<TRMMemoView*>(r.report.FindObject("Memo1"))->Memo = {"读者卡"};
    r.band(r.report.Pages[0], bkMasterData, 60, 24);
    r.memo(r.report.Pages[0], 0, 62, "[RMBooks.\"Title\"]");
    ASSERT_TRUE(r.report.PrepareReport()) << r.errors();
    ASSERT_EQ(r.report.EMFPages.Count(), 1);
    auto t = r.texts(0);
    EXPECT_EQ(std::count_if(t.begin(), t.end(), [](auto& s) { return s.rfind("图书", 0) == 0; }), 3);
    // The report forgets a data set that goes away.
    delete r.rmBooks;
    EXPECT_EQ(r.report.Dataset(), nullptr);
}

// An empty master data set builds no page when the report says so.
TEST(ReportPageRun, emptyMasterBuildsNoPageWithoutPrintIfEmpty) {
    Report r(0);
    TRMPage* p = r.page(0);
    r.band(p, bkTitle, 20, 30);
    r.memo(p, 0, 22, "标题");
    r.band(p, bkMasterData, 60, 24, "RMBooks");
    r.memo(p, 0, 62, "[Title]");
    ASSERT_TRUE(r.report.PrepareReport());
    EXPECT_EQ(r.report.EMFPages.Count(), 1);
    r.report.PrintIfEmpty = false;
    r.report.PrepareReport();
    EXPECT_EQ(r.report.EMFPages.Count(), 0);
}

// A report's texts may ask: an input box and a message box show through
// the dialog seam once, when the text prints, not while totals are found.
TEST(ReportPageRun, inputAndMessageBoxAskOncePerPrint) {
    Report r;
    TRMPage* p = r.page(0);
    r.band(p, bkTitle, 20, 30);
    r.memo(p, 0, 22, "[INPUT('请输入书名', '无')]");
    r.memo(p, 320, 22, "[MESSAGEBOX('确认打印？', '提示', 4)]");
    r.band(p, bkSummary, 80, 24);
    r.memo(p, 0, 82, "今天 [Date#]");
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    script.ExpectInput("", "新书");
    script.ExpectMessage("确认打印？", IDYES, "提示");
    ASSERT_TRUE(r.report.PrepareReport()) << r.errors();
    EXPECT_TRUE(script.Unused().empty());
    EXPECT_EQ(script.Shown().size(), 2u);
    auto t = r.texts(0);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0], "新书");
    EXPECT_EQ(t[1], "6");
    EXPECT_EQ(t[2], "今天 " + DateToStr(Date()));
}

// ---------------------------------------------------------------- dialog pages

// Two controls a parameter form needs; the program registers its own
// classes the same way.
class TRMTestEdit : public TRMControl {
public:
    TRMTestEdit() {
        BaseName = "Edit";
        SetControl(edit_ = new TEdit(nullptr));
    }
    std::string ClassName() const override { return "TRMTestEdit"; }
    Variant GetPropValue(const std::string& name) override {
        if (SameText(name, "Text")) return edit_->Text();
        if (SameText(name, "TabOrder")) return tabOrder;
        return TRMControl::GetPropValue(name);
    }
    int tabOrder = 0;

private:
    TEdit* edit_;
};

class TRMTestButton : public TRMControl {
public:
    TRMTestButton() {
        BaseName = "Button";
        SetControl(button_ = new TButton(nullptr));
    }
    std::string ClassName() const override { return "TRMTestButton"; }
    TButton* button() const { return button_; }

private:
    TButton* button_;
};

struct Dialog {
    Report r;
    TRMPage* dlg;
    explicit Dialog() {
        static bool registered = [] {
            RMRegisterObjectByRes("TRMTestEdit", [] { return std::make_unique<TRMTestEdit>(); }, "", "");
            RMRegisterObjectByRes("TRMTestButton", [] { return std::make_unique<TRMTestButton>(); }, "", "");
            return true;
        }();
        (void)registered;
        // The dialog page first, the report page after it.
        dlg = r.page(0);
        dlg->PageType = 1;
        dlg->Name = "ParamDlg";
        dlg->Caption = "打印条件";
        dlg->DlgWidth = 300;
        dlg->DlgHeight = 150;
        auto* e = static_cast<TRMTestEdit*>(dlg->Add(std::make_unique<TRMTestEdit>()));
        e->Name = "EditTitle";
        e->SetBounds(10, 10, 200, 22);
        auto* ok = static_cast<TRMTestButton*>(dlg->Add(std::make_unique<TRMTestButton>()));
        ok->Name = "BtnOk";
        ok->SetBounds(10, 60, 75, 25);
        ok->button()->SetCaption("确定");
        ok->button()->SetModalResult(mrOk);
        ok->button()->SetDefault(true);
        auto* cancel = static_cast<TRMTestButton*>(dlg->Add(std::make_unique<TRMTestButton>()));
        cancel->Name = "BtnCancel";
        cancel->SetBounds(100, 60, 75, 25);
        cancel->button()->SetCaption("取消");
        cancel->button()->SetModalResult(mrCancel);
        cancel->button()->SetCancel(true);
        TRMPage* p = r.page(1);
        r.band(p, bkTitle, 20, 30);
        r.memo(p, 0, 22, "标题：[EditTitle.Text]");
    }
};

// Typed into the form and confirmed with Enter: the report pages read what
// was entered.
TEST(ReportPageRun, dialogPageTakesWhatIsTypedBeforeTheBuild) {
    Dialog d;
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    script.ExpectForm("ParamDlg", mrNone, {}, [](TCustomForm* f) {
        EXPECT_EQ(f->Caption(), "打印条件");
        auto* edit = dynamic_cast<TEdit*>(FindControl(f, "EditTitle"));
        ASSERT_NE(edit, nullptr);
        SendText(edit, "新书通报");
        SaveFormPng(f, BUILD_DIR "/test-output/screens/report-dialog-page.png");
        SendKey(edit, VK_RETURN);
    });
    ASSERT_TRUE(d.r.report.PrepareReport()) << d.r.errors();
    EXPECT_TRUE(script.Unused().empty());
    ASSERT_EQ(d.r.report.EMFPages.Count(), 1);
    EXPECT_EQ(d.r.texts(0), (std::vector<std::string>{"标题：新书通报"}));
    // The design is as it was, the controls with their objects.
    ASSERT_EQ(d.r.report.Pages.Count(), 2);
    EXPECT_EQ(d.r.report.Pages[0]->Objects.size(), 3u);
}

// Cancel (Esc on the form) stops the build: no built page, false.
TEST(ReportPageRun, dialogPageCancelledBuildsNothing) {
    Dialog d;
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    script.ExpectForm("ParamDlg", mrNone, {{"EditTitle", "x"}},
                      [](TCustomForm* f) { SendKey(dynamic_cast<TEdit*>(FindControl(f, "EditTitle")), VK_ESCAPE); });
    EXPECT_FALSE(d.r.report.PrepareReport());
    EXPECT_TRUE(d.r.report.DialogCancelled);
    EXPECT_EQ(d.r.report.EMFPages.Count(), 0);
    EXPECT_TRUE(script.Unused().empty());
}

// The page script runs before the form shows; one that sets the modal
// result decides without showing it. A two-pass build asks only once.
TEST(ReportPageRun, dialogScriptDecidesAloneAndTwoPassesAskOnce) {
    {
        Dialog d;
        TSeamScript script;
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        d.dlg->Script = {"ModalResult := 2"};
        EXPECT_FALSE(d.r.report.PrepareReport());
        EXPECT_TRUE(script.Shown().empty());
    }
    {
        Dialog d;
        d.r.report.DoublePass = true;
        TSeamScript script;
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        script.ExpectForm("ParamDlg", mrOk, {{"EditTitle", "两遍"}});
        ASSERT_TRUE(d.r.report.PrepareReport()) << d.r.errors();
        EXPECT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(d.r.texts(0), (std::vector<std::string>{"标题：两遍"}));
    }
}

} // namespace
