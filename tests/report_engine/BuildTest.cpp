// Page building asserted on the recording canvas: bands in order, groups,
// master-detail, band columns, page numbers over two passes, totals, and
// the prepared-report file.
#include <gtest/gtest.h>

#include <algorithm>

#include "db/ListDataSet.h"
#include "Metafile.h"
#include "report/model/RM_Report.h"
#include "DesignPage.h"

namespace {

struct Fixture {
    TComponent owner{nullptr};
    TListDataSet books{nullptr};
    TRMDBDataSet* rmBooks;
    TRMReport report{&owner};
    TRMPage* page;

    Fixture(int rows = 60) {
        books.FieldDefs().Add("Title", ftString, 40);
        books.FieldDefs().Add("Kind", ftString, 10);
        books.FieldDefs().Add("Price", ftFloat);
        for (int i = 1; i <= rows; ++i)
            books.AddRow(
                {std::string("图书") + std::to_string(i), std::string(i <= rows / 2 ? "文学" : "科技"), double(i)});
        books.Open();
        rmBooks = new TRMDBDataSet(&owner);
        rmBooks->SetName("RMBooks");
        rmBooks->SetDataSet(&books);
        page = report.Pages[0];
    }
    TRMBandView* band(TRMBandKind k, int top, int h, const std::string& ds = "") {
        return AddBand(report, page, k, top, h, ds);
    }
    TRMMemoView* memo(int left, int top, const std::string& text, int w = 200) {
        return AddMemo(report, page, left, top, text, w);
    }
    TRMCalcMemoView* calc(int left, int top, const std::string& text, uint8_t type, const std::string& dataBand) {
        auto* m = static_cast<TRMCalcMemoView*>(page->Add(std::make_unique<TRMCalcMemoView>()));
        m->CreateUniqueName(&report);
        m->SetBounds(left, top, 300, 20);
        m->Memo = {text};
        m->Font.Name = "宋体";
        m->DBCalcType = type;
        m->DataBand = dataBand;
        return m;
    }
    // Texts of page i in drawing order.
    std::vector<std::string> texts(int i) { return PageTexts(report, i); }
    bool has(int i, const std::string& t) {
        auto v = texts(i);
        return std::find(v.begin(), v.end(), t) != v.end();
    }
};

// A total named only in a band's script is found and counted like one in
// a text: the build looks for the totals' calls in scripts too.
TEST(ReportBuild, totalsNamedOnlyInAScriptAreCounted) {
    Fixture f(4);
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]");
    TRMBandView* summary = f.band(bkSummary, 160, 24);
    summary->OnBeforePrint = {"begin", "  Total := SUM([Price]);", "  Biggest := MAX([Price])", "end"};
    f.memo(0, 161, "合计 [Total] 最大 [Biggest]");
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    EXPECT_TRUE(f.has(0, "合计 10 最大 4"));
}

// "PROGRESS" in a script speaks to the progress window; it is no variable.
TEST(ReportBuild, progressAssignmentGoesToTheProgressWindow) {
    Fixture f(2);
    TRMBandView* data = f.band(bkMasterData, 120, 22, "RMBooks");
    data->OnBeforePrint = {"Progress := 'Row ' + [Title]"};
    f.memo(0, 121, "[Title]");
    std::vector<std::string> shown;
    f.report.OnProgressText = [&](const std::string& t) { shown.push_back(t); };
    ASSERT_TRUE(f.report.PrepareReport());
    EXPECT_EQ(shown, (std::vector<std::string>{"Row 图书1", "Row 图书2"}));
    EXPECT_EQ(f.report.Variables.IndexOf("Progress"), -1);
}

TEST(ReportBuild, listWithPageNumbersOverTwoPassesAndTotal) {
    Fixture f;
    f.report.DoublePass = true;
    f.band(bkTitle, 40, 30);
    f.memo(0, 45, "图书清单");
    f.band(bkPageHeader, 80, 24);
    f.memo(0, 82, "书名");
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]");
    f.memo(300, 121, "[Price #N0.00]");
    f.band(bkSummary, 160, 24);
    f.memo(0, 161, "合计：[SUM([Price]) #N0.00]");
    f.band(bkPageFooter, 200, 24);
    f.memo(0, 201, "第 [Page#] 页 共 [TotalPages#] 页");
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    int n = f.report.EMFPages.Count();
    ASSERT_GE(n, 2);
    EXPECT_TRUE(f.has(0, "图书清单"));
    EXPECT_FALSE(f.has(1, "图书清单"));
    EXPECT_TRUE(f.has(0, "书名"));
    EXPECT_TRUE(f.has(1, "书名"));
    EXPECT_TRUE(f.has(0, "第 1 页 共 " + std::to_string(n) + " 页"));
    EXPECT_TRUE(f.has(n - 1, "第 " + std::to_string(n) + " 页 共 " + std::to_string(n) + " 页"));
    EXPECT_TRUE(f.has(n - 1, "合计：1830.00")); // 1 + ... + 60
    EXPECT_TRUE(f.has(0, "图书1"));
    EXPECT_TRUE(f.has(0, "1.00"));
    // Every row printed once, in order.
    std::vector<std::string> rows;
    for (int i = 0; i < n; ++i)
        for (auto& t : f.texts(i))
            if (t.rfind("图书", 0) == 0 && t != "图书清单") rows.push_back(t);
    ASSERT_EQ(rows.size(), 60u);
    EXPECT_EQ(rows.front(), "图书1");
    EXPECT_EQ(rows.back(), "图书60");
    // The list is left where it stood.
    EXPECT_EQ(f.books.RecNo(), 1);
}

TEST(ReportBuild, groupsPrintHeaderAndFooterWithTheGroupsOwnTotals) {
    Fixture f(6);
    auto* gh = f.band(bkGroupHeader, 80, 22);
    gh->SetDataSet("[Kind]");
    f.memo(0, 81, "类别：[Kind]");
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]");
    f.band(bkGroupFooter, 160, 22);
    f.memo(0, 161, "[Kind]小计：[SUM([Price])] 最大 [MAX([Price])] 平均 [AVG([Price])]");
    f.band(bkSummary, 200, 22);
    f.memo(0, 201, "总平均 [AVG([Price])]"); // its own count, not the last group's
    ASSERT_TRUE(f.report.PrepareReport());
    auto t = f.texts(0);
    std::vector<std::string> want = {"类别：文学", "图书1", "图书2", "图书3", "文学小计：6 最大 3 平均 2",
                                     "类别：科技", "图书4", "图书5", "图书6", "科技小计：15 最大 6 平均 5",
                                     "总平均 3.5"};
    EXPECT_EQ(t, want);
}

TEST(ReportBuild, maxOfNegativeValuesIsNotZeroAndMinOfNothingIsEmpty) {
    Fixture f(0);
    f.books.Close();
    f.books.AddRow({std::string("a"), std::string("x"), -5.0});
    f.books.AddRow({std::string("b"), std::string("x"), -3.0});
    f.books.Open();
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.band(bkSummary, 160, 22);
    f.memo(0, 161, "[MAX([Price])]|[MIN([Price])]");
    ASSERT_TRUE(f.report.PrepareReport());
    EXPECT_TRUE(f.has(0, "-3|-5"));
}

TEST(ReportBuild, masterDetailPrintsDetailRowsUnderEachMaster) {
    Fixture f(2);
    TComponent own(nullptr);
    TListDataSet loans(nullptr);
    loans.FieldDefs().Add("Who", ftString, 10);
    loans.AddRow({std::string("张三")});
    loans.AddRow({std::string("李四")});
    loans.Open();
    TRMDBDataSet rl(&own);
    rl.SetName("RMLoans");
    rl.SetDataSet(&loans);
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[RMBooks.\"Title\"]");
    f.band(bkDetailData, 150, 22, "RMLoans");
    f.memo(20, 151, "[Who]");
    ASSERT_TRUE(f.report.PrepareReport());
    std::vector<std::string> want = {"图书1", "张三", "李四", "图书2", "张三", "李四"};
    EXPECT_EQ(f.texts(0), want);
}

TEST(ReportBuild, bandColumnsPutThreeRecordsSideBySide) {
    Fixture f(5);
    auto* d = f.band(bkMasterData, 120, 40, "RMBooks");
    d->Columns = 3;
    d->ColumnWidth = 200;
    d->ColumnGap = 10;
    f.memo(0, 121, "[Title]", 150);
    ASSERT_TRUE(f.report.PrepareReport());
    TMetafile mf;
    TMetafileCanvas c(&mf);
    auto& r = f.report.EMFPages[0];
    f.report.EMFPages.Draw(0, &c, TRect(0, 0, r.PageWidth, r.PageHeight));
    auto recs = c.TextRecords();
    ASSERT_EQ(recs.size(), 5u);
    EXPECT_EQ(recs[0]->Bounds.Top, recs[2]->Bounds.Top);
    EXPECT_LT(recs[0]->Bounds.Left, recs[1]->Bounds.Left);
    EXPECT_LT(recs[1]->Bounds.Left, recs[2]->Bounds.Left);
    EXPECT_GT(recs[3]->Bounds.Top, recs[0]->Bounds.Top);
    EXPECT_EQ(recs[3]->Bounds.Left, recs[0]->Bounds.Left);
}

TEST(ReportBuild, pageFooterWithoutFirstAndLastFlagsPrintsOnMiddlePagesOnly) {
    Fixture f(120);
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]");
    auto* pf = f.band(bkPageFooter, 200, 24);
    pf->Flags &= ~(bfOnFirstPage | bfOnLastPage);
    f.memo(0, 201, "页脚");
    ASSERT_TRUE(f.report.PrepareReport());
    int n = f.report.EMFPages.Count();
    ASSERT_GE(n, 3);
    EXPECT_FALSE(f.has(0, "页脚"));
    EXPECT_TRUE(f.has(1, "页脚"));
    EXPECT_FALSE(f.has(n - 1, "页脚"));
}

TEST(ReportBuild, preparedReportFileRoundTrips) {
    Fixture f(40);
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]");
    ASSERT_TRUE(f.report.PrepareReport());
    std::string file = std::string(BUILD_DIR) + "/test-tmp-prepared.rmp";
    f.report.SavePreparedReport(file);
    TRMReport r2;
    ASSERT_TRUE(r2.LoadPreparedReport(file));
    ASSERT_EQ(r2.EMFPages.Count(), f.report.EMFPages.Count());
    for (int i = 0; i < r2.EMFPages.Count(); ++i) EXPECT_EQ(r2.EMFPages[i].Stream, f.report.EMFPages[i].Stream);
    remove(file.c_str());
}

TEST(ReportBuild, designIsTheSameAfterABuild) {
    Fixture f(3);
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]");
    TMemoryStream a, b;
    f.report.SaveToStream(a);
    ASSERT_TRUE(f.report.PrepareReport());
    f.report.SaveToStream(b);
    a.SetPosition(0);
    b.SetPosition(0);
    EXPECT_EQ(a.ReadRest(), b.ReadRest());
}

TEST(ReportBuild, pageListNamesASetOfThePagesThereAre) {
    const struct {
        const char* list;
        int count;
        std::vector<int> pages;
    } rows[] = {
        {"1-2000000000", 3, {1, 2, 3}},
        {"", 2, {1, 2}},
        {"2-", 4, {2, 3, 4}},
        {"1,3-4", 5, {1, 3, 4}},
        {"4-2", 5, {}},
        {"3,1", 3, {1, 3}},
        {"2, 1-2 ,2", 3, {1, 2}},
        {"0-1,7", 3, {1}},
    };
    for (const auto& r : rows) EXPECT_EQ(RMParsePageList(r.list, r.count), r.pages) << '"' << r.list << '"';
    EXPECT_THROW(RMParsePageList("x", 2), EConvertError);
    EXPECT_THROW(RMParsePageList("1,a-3", 2), EConvertError);
}

} // namespace

namespace {

TEST(ReportBuild, highlightConditionChangesTheLookOfMatchingRowsOnly) {
    Fixture f(3);
    f.band(bkMasterData, 120, 22, "RMBooks");
    auto* m = f.memo(0, 121, "[Price]");
    m->HighlightStr = "[Price] > 2";
    m->HighlightStyle = 2;
    m->HighlightColor = clRed;
    ASSERT_TRUE(f.report.PrepareReport());
    TRMPage* p = f.report.EMFPages.UnpackPage(0);
    ASSERT_EQ(p->Objects.size(), 3u);
    auto* third = static_cast<TRMMemoView*>(p->Objects[2].get());
    auto* first = static_cast<TRMMemoView*>(p->Objects[0].get());
    EXPECT_EQ(third->Font.Color, clRed);
    EXPECT_EQ(third->Font.Style, 2);
    EXPECT_EQ(first->Font.Color, clBlack);
}

TEST(ReportBuild, pageColumnsFillDownThenAcross) {
    Fixture f(100);
    f.page->Columns = 2;
    f.page->ColumnGap = 5000;
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]");
    ASSERT_TRUE(f.report.PrepareReport());
    TMetafile mf;
    TMetafileCanvas c(&mf);
    auto& r = f.report.EMFPages[0];
    f.report.EMFPages.Draw(0, &c, TRect(0, 0, r.PageWidth, r.PageHeight));
    auto recs = c.TextRecords();
    ASSERT_GT(recs.size(), 2u);
    // The first column runs down the page, the next record after it starts
    // at the top of the second column.
    size_t k = 1;
    while (k < recs.size() && recs[k]->Bounds.Left == recs[0]->Bounds.Left) ++k;
    ASSERT_LT(k, recs.size());
    EXPECT_GT(recs[k]->Bounds.Left, recs[0]->Bounds.Left + 300);
    EXPECT_EQ(recs[k]->Bounds.Top, recs[0]->Bounds.Top);
    EXPECT_EQ(recs[k]->Text, "图书" + std::to_string(k + 1));
}

} // namespace

namespace {

// An aggregate memo keeps its own total over the rows of the band it names.
TEST(ReportBuild, aggregateMemosAccumulateTheirBandsRows) {
    Fixture f(6);
    auto* gh = f.band(bkGroupHeader, 80, 22);
    gh->SetDataSet("[Kind]");
    f.memo(0, 81, "类别：[Kind]");
    auto* data = f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]");
    f.band(bkGroupFooter, 160, 22);
    f.calc(0, 161, "小计：[Price]", rmdcSum, data->Name);
    f.calc(320, 161, "", rmdcCount, data->Name)->Left = 320;
    auto* cheap = f.calc(0, 181, "便宜的：", rmdcCount, data->Name);
    cheap->Top = 165;
    cheap->Left = 420;
    cheap->Filter = "[Price] < 3";
    cheap->Flags &= ~flHideZeros;
    auto* total = f.calc(520, 161, "总计[Price]", rmdcSum, data->Name);
    total->Flags |= 0x2000; // TotalCalc: never restarts
    total->ResetAfterPrint = 0;
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    auto t = f.texts(0);
    std::vector<std::string> want = {"类别：文学", "图书1", "图书2", "图书3", "小计：6",  "3", "便宜的：2", "总计6",
                                     "类别：科技", "图书4", "图书5", "图书6", "小计：15", "3", "便宜的：0", "总计21"};
    EXPECT_EQ(t, want);
}

// In a two-pass build a TotalCalc memo standing before the rows shows the
// grand total the first pass found.
TEST(ReportBuild, totalCalcMemoInTheTitleShowsTheGrandTotal) {
    Fixture f(6);
    f.report.DoublePass = true;
    f.band(bkTitle, 40, 24);
    auto* data = f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]");
    auto* total = f.calc(0, 41, "总金额：[Price #N0.00]", rmdcSum, data->Name);
    total->Flags |= 0x2000;
    total->ResetAfterPrint = 0;
    f.band(bkSummary, 200, 22);
    f.calc(0, 201, "最高：[Price]", rmdcMax, data->Name);
    ASSERT_TRUE(f.report.PrepareReport());
    auto t = f.texts(0);
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.front(), "总金额：21.00");
    EXPECT_EQ(t.back(), "最高：6");
}

} // namespace

namespace {

// A data band with AutoAppendBlank fills its page with empty rows; only
// memos marked PrintAtAppendBlank show on them.
TEST(ReportBuild, blankRowsFillThePageUpToLinesPerPage) {
    Fixture f(3);
    auto* data = f.band(bkMasterData, 120, 22, "RMBooks");
    ASSERT_EQ(data->Name, "Band1");
    data->Flags |= bfAutoAppendBlank;
    data->LinesPerPage = 10;
    f.memo(0, 121, "[Title]");
    auto* rule = f.memo(300, 121, "·");
    rule->Flags2 |= 0x10;
    f.band(bkMasterFooter, 160, 22);
    f.memo(0, 161, "完");
    ASSERT_TRUE(f.report.PrepareReport());
    auto t = f.texts(0);
    EXPECT_EQ(std::count(t.begin(), t.end(), "·"), 10);
    EXPECT_EQ(std::count(t.begin(), t.end(), "图书3"), 1);
    EXPECT_EQ(t.back(), "完");
    // Without a row limit the blank rows stop where the footer still fits
    // (a build reloads the design, so the band is looked up again).
    static_cast<TRMBandView*>(f.report.FindObject("Band1"))->LinesPerPage = 0;
    ASSERT_TRUE(f.report.PrepareReport());
    EXPECT_EQ(f.report.EMFPages.Count(), 1);
    t = f.texts(0);
    EXPECT_GT(std::count(t.begin(), t.end(), "·"), 30);
    EXPECT_EQ(t.back(), "完");
}

} // namespace

namespace {

// A band whose one memo holds more lines than a page: split between
// lines when the band may be split, moved whole when it may not.
TEST(ReportBuild, breakedBandSplitsBetweenLinesAndContinuesOnTheNextPage) {
    struct Case {
        bool breaked;
        int lines;
    };
    for (Case c : {Case{true, 80}, Case{false, 20}}) {
        SCOPED_TRACE(c.breaked);
        Fixture f(1);
        f.band(bkTitle, 40, 900); // fills most of the first page
        auto* b = f.band(bkMasterData, 960, 22, "RMBooks");
        b->Flags |= bfStretched;
        if (c.breaked) b->Flags |= bfBreaked;
        auto* m = f.memo(0, 960, "", 300);
        m->Flags |= flStretched;
        for (int i = 1; i <= c.lines; ++i) m->Memo.push_back("行" + std::to_string(i));
        ASSERT_TRUE(f.report.PrepareReport());
        std::vector<std::string> all;
        std::vector<int> pageOf;
        for (int p = 0; p < f.report.EMFPages.Count(); ++p)
            for (auto& t : f.texts(p))
                if (t.rfind("行", 0) == 0) {
                    all.push_back(t);
                    pageOf.push_back(p);
                }
        ASSERT_EQ(all.size(), size_t(c.lines)); // every line once, in order
        for (int i = 0; i < c.lines; ++i) EXPECT_EQ(all[size_t(i)], "行" + std::to_string(i + 1));
        if (c.breaked) {
            EXPECT_EQ(pageOf.front(), 0); // begins below the title
            EXPECT_GE(pageOf.back(), 1);
        } else {
            EXPECT_EQ(pageOf.front(), 1); // moved whole
            EXPECT_EQ(pageOf.back(), 1);
        }
    }
}

// A sub-report prints another design page's list inside a band, at the
// sub-report's place, and what follows the band comes below it.
TEST(ReportBuild, subReportPrintsItsPageInsideTheBand) {
    Fixture f(60);
    f.band(bkTitle, 40, 40);
    f.memo(0, 42, "目录");
    auto* sr = static_cast<TRMSubReportView*>(f.page->Add(std::make_unique<TRMSubReportView>()));
    sr->CreateUniqueName(&f.report);
    sr->SetBounds(120, 70, 300, 10);
    sr->SubPage = 1;
    f.band(bkSummary, 100, 24);
    f.memo(0, 101, "完");
    TRMPage* sub = f.report.Pages.Add();
    f.page = sub;
    f.band(bkMasterData, 40, 22, "RMBooks");
    auto* m = f.memo(sub->PrintableLeft(), 41, "[Title]");
    f.page = f.report.Pages[0];
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    ASSERT_GE(f.report.EMFPages.Count(), 2); // 60 rows go past the first page
    TMetafile mf;
    TMetafileCanvas c(&mf);
    auto& r0 = f.report.EMFPages[0];
    f.report.EMFPages.Draw(0, &c, TRect(0, 0, r0.PageWidth, r0.PageHeight));
    int titleBottom = 0, firstRowTop = -1, firstRowLeft = -1;
    for (auto* t : c.TextRecords()) {
        if (t->Text == "目录") titleBottom = t->Bounds.Bottom;
        if (t->Text == "图书1") {
            firstRowTop = t->Bounds.Top;
            firstRowLeft = t->Bounds.Left;
        }
    }
    ASSERT_GE(firstRowTop, 0);
    EXPECT_GT(firstRowTop, titleBottom);
    EXPECT_GE(firstRowLeft, 120); // shifted to the sub-report's place
    (void)m;
    int n = f.report.EMFPages.Count();
    int rows = 0;
    for (int p = 0; p < n; ++p)
        for (auto& t : f.texts(p)) rows += t.rfind("图书", 0) == 0;
    EXPECT_EQ(rows, 60);
    EXPECT_TRUE(f.has(n - 1, "完"));
    EXPECT_TRUE(f.has(n - 1, "图书60"));
    EXPECT_FALSE(f.has(1, "目录")); // the title once
    // The summary comes below the last row.
    TMetafile mf2;
    TMetafileCanvas c2(&mf2);
    auto& rl = f.report.EMFPages[n - 1];
    f.report.EMFPages.Draw(n - 1, &c2, TRect(0, 0, rl.PageWidth, rl.PageHeight));
    int last = 0, end = 0;
    for (auto* t : c2.TextRecords()) {
        if (t->Text == "图书60") last = t->Bounds.Bottom;
        if (t->Text == "完") end = t->Bounds.Top;
    }
    EXPECT_GE(end, last);
}

} // namespace

namespace {

// Two design pages printed page by page take turns; when one has more
// pages than the other its rest follows, and every page appears once.
TEST(ReportBuild, pagePerPageTakesTurnsAndKeepsEveryPageOnce) {
    struct Case {
        const char* rowsA;
        const char* rowsB;
        std::vector<int> order;
    };
    const Case cases[] = {
        {"60", "60", {1, 2, 1, 2}},
        {"120", "10", {1, 2, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rowsA);
        Fixture f(1);
        f.report.PrintPagePerPage = true;
        f.band(bkMasterData, 40, 22, c.rowsA);
        f.memo(0, 41, "甲[Line#]");
        f.page = f.report.Pages.Add();
        f.band(bkMasterData, 40, 22, c.rowsB);
        f.memo(0, 41, "乙[Line#]");
        ASSERT_TRUE(f.report.PrepareReport());
        std::vector<int> got;
        for (int i = 0; i < f.report.EMFPages.Count(); ++i) got.push_back(f.report.EMFPages[i].DesignPageNo);
        EXPECT_EQ(got, c.order);
        EXPECT_TRUE(f.has(0, "甲1"));
        EXPECT_TRUE(f.has(1, "乙1"));
    }
}

// The background picture is stored once for all pages of its design
// page, and a prepared-report file shows it on every page again.
TEST(ReportBuild, backgroundIsCopiedOnceAndEveryPageKeepsIt) {
    Fixture f(1);
    f.page->BackPicture.Kind = 1;
    f.page->BackPicture.Bytes = std::string("BM") + std::string(60, '\0');
    f.band(bkMasterData, 40, 22, "100");
    f.memo(0, 41, "[Line#]");
    ASSERT_TRUE(f.report.PrepareReport());
    int n = f.report.EMFPages.Count();
    ASSERT_GE(n, 2);
    EXPECT_TRUE(f.report.EMFPages.GetBkPicture(0));
    EXPECT_FALSE(f.report.EMFPages.GetBkPicture(1));
    for (int i = 0; i < n; ++i) EXPECT_EQ(f.report.EMFPages[i].BkPictureIndex, 0);
    std::string file = std::string(BUILD_DIR) + "/test-tmp-background.rmp";
    f.report.SavePreparedReport(file);
    TRMReport r2;
    ASSERT_TRUE(r2.LoadPreparedReport(file));
    ASSERT_EQ(r2.EMFPages.Count(), n);
    for (int i = 0; i < n; ++i) EXPECT_EQ(r2.EMFPages[i].BkPictureIndex, 0);
    EXPECT_EQ(r2.EMFPages.GetBkPicture(0)->Picture.Bytes, f.page->BackPicture.Bytes);
    remove(file.c_str());
}

} // namespace

namespace {

// Cross-tab columns: each row prints its header cell, one cell per record
// of the column data set side by side, and the footer cell after them.
TEST(ReportBuild, crossTabPutsOneColumnPerRecordBesideEachRow) {
    Fixture f(2);
    TListDataSet months{nullptr};
    months.FieldDefs().Add("M", ftString, 10);
    for (const char* m : {"一月", "二月", "三月"}) months.AddRow({std::string(m)});
    months.Open();
    auto* rmMonths = new TRMDBDataSet(&f.owner);
    rmMonths->SetName("RMMonths");
    rmMonths->SetDataSet(&months);
    f.band(bkMasterData, 100, 22, "RMBooks");
    auto cross = [&](TRMBandKind k, int left, int width, const std::string& ds) {
        auto* b = f.band(k, 0, 1000, ds);
        b->SetBounds(left, 0, width, 1000);
    };
    cross(bkCrossHeader, 40, 100, "");
    cross(bkCrossData, 140, 80, "RMMonths");
    cross(bkCrossFooter, 220, 80, "");
    f.memo(40, 101, "[Title]", 100);
    f.memo(140, 101, "[M]:[Price]", 80);
    f.memo(220, 101, "合计", 80);
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    TMetafile mf;
    TMetafileCanvas c(&mf);
    auto& r = f.report.EMFPages[0];
    f.report.EMFPages.Draw(0, &c, TRect(0, 0, r.PageWidth, r.PageHeight));
    std::vector<std::pair<std::string, int>> row1, row2;
    int top1 = -1;
    for (auto* t : c.TextRecords()) {
        if (top1 < 0) top1 = t->Bounds.Top;
        (t->Bounds.Top == top1 ? row1 : row2).push_back({t->Text, t->Bounds.Left});
    }
    ASSERT_EQ(row1.size(), 5u);
    EXPECT_EQ(row1[0].first, "图书1");
    EXPECT_EQ(row1[1].first, "一月:1");
    EXPECT_EQ(row1[2].first, "二月:1");
    EXPECT_EQ(row1[3].first, "三月:1");
    EXPECT_EQ(row1[4].first, "合计");
    EXPECT_EQ(row1[2].second - row1[1].second, 80); // one column width apart
    EXPECT_EQ(row1[4].second - row1[3].second, 80);
    ASSERT_EQ(row2.size(), 5u);
    EXPECT_EQ(row2[3].first, "三月:2");
}

} // namespace

namespace {

// Two sub-reports side by side in the title: both lists start at their
// places on page 1 and, when the page is full, both go on at the top of
// page 2, still side by side; the sub-report's own footer total counts all
// its rows, and the summary comes below the longer list.
TEST(ReportBuild, subReportsSideBySideContinueTogetherOnTheNextPage) {
    Fixture f(60);
    f.band(bkTitle, 40, 40);
    f.memo(0, 42, "目录");
    for (int i = 0; i < 2; ++i) {
        auto* sr = static_cast<TRMSubReportView*>(f.page->Add(std::make_unique<TRMSubReportView>()));
        sr->CreateUniqueName(&f.report);
        sr->SetBounds(20 + 360 * i, 70, 300, 10);
        sr->SubPage = 1 + i;
    }
    f.band(bkPageHeader, 300, 24);
    f.memo(0, 301, "页眉[Page#]");
    f.band(bkSummary, 100, 24);
    f.memo(0, 101, "完");
    for (const char* lane : {"甲", "乙"}) {
        TRMPage* sub = f.report.Pages.Add();
        f.page = sub;
        bool a = std::string(lane) == "甲";
        f.band(bkMasterData, 40, 22, a ? "RMBooks" : "50");
        f.memo(sub->PrintableLeft(), 41, std::string(lane) + "[Line#]", 120);
        f.band(bkMasterFooter, 80, 22);
        f.memo(sub->PrintableLeft(), 81, std::string(lane) + (a ? "计[SUM([Price])]" : "计[SUM([Line#])]"), 200);
        f.page = f.report.Pages[0];
    }
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    ASSERT_EQ(f.report.EMFPages.Count(), 2);
    auto where = [&](int pg, const std::string& t) {
        TMetafile mf;
        TMetafileCanvas c(&mf);
        auto& r = f.report.EMFPages[pg];
        f.report.EMFPages.Draw(pg, &c, TRect(0, 0, r.PageWidth, r.PageHeight));
        for (auto* x : c.TextRecords())
            if (x->Text == t) return std::pair(x->Bounds.Left, x->Bounds.Top);
        return std::pair(-1, -1);
    };
    // Side by side on page 1, from the same height.
    EXPECT_EQ(where(0, "甲1").second, where(0, "乙1").second);
    EXPECT_EQ(where(0, "乙1").first - where(0, "甲1").first, 360);
    int k = 0; // rows of each lane on page 1
    while (where(0, "甲" + std::to_string(k + 1)).second >= 0) ++k;
    ASSERT_GT(k, 10);
    ASSERT_LT(k, 50);
    EXPECT_GE(where(0, "乙" + std::to_string(k)).second, 0);
    EXPECT_LT(where(0, "乙" + std::to_string(k + 1)).second, 0);
    // Both go on together at the top of page 2, below its page header.
    auto a = where(1, "甲" + std::to_string(k + 1)), b = where(1, "乙" + std::to_string(k + 1));
    EXPECT_EQ(a.second, b.second);
    EXPECT_GT(a.second, where(1, "页眉2").second);
    EXPECT_EQ(b.first - a.first, 360);
    int rows = 0;
    for (int p = 0; p < 2; ++p)
        for (auto& t : f.texts(p)) rows += t.rfind("甲", 0) == 0 && t.find("计") == std::string::npos;
    EXPECT_EQ(rows, 60);
    EXPECT_GE(where(1, "甲计1830").second, 0);
    EXPECT_GE(where(1, "乙计1275").second, 0);
    EXPECT_GT(where(1, "完").second, where(1, "甲计1830").second);
    EXPECT_FALSE(f.has(1, "目录"));
}

} // namespace

namespace {

// An object on no band prints on every page at its place.
TEST(ReportBuild, objectOnNoBandPrintsOnEveryPage) {
    Fixture f(60);
    f.band(bkMasterData, 100, 22, "RMBooks");
    f.memo(0, 101, "[Title]");
    f.memo(300, 40, "内部资料");
    ASSERT_TRUE(f.report.PrepareReport());
    ASSERT_EQ(f.report.EMFPages.Count(), 2);
    EXPECT_TRUE(f.has(0, "内部资料"));
    EXPECT_TRUE(f.has(1, "内部资料"));
}

} // namespace

namespace {

// A master row whose detail has no rows is left out, with its group
// header, unless the band is marked to print with no detail; a group
// header marked to repeat comes again at the top of the next page.
TEST(ReportBuild, masterWithoutDetailRowsIsLeftOutUnlessMarked) {
    for (bool printIfEmpty : {false, true}) {
        SCOPED_TRACE(printIfEmpty);
        Fixture f(3);
        // Book 2 has no loans; the others have one each.
        TRMUserDataset loans(&f.owner);
        loans.SetName("RMLoans");
        int row = 0;
        auto book = [&] { return f.books.FieldByName("Title")->AsString(); };
        loans.OnFirst = [&] { row = book() == "图书2" ? 1 : 0; };
        loans.OnNext = [&] { ++row; };
        loans.OnCheckEOF = [&](bool& eof) { eof = row >= 1; };
        loans.OnGetField = [&](const std::string&) { return Variant("借阅" + book().substr(6)); };
        f.band(bkMasterHeader, 90, 22);
        f.memo(0, 91, "书名");
        auto* md = f.band(bkMasterData, 120, 22, "RMBooks");
        if (printIfEmpty) md->Flags |= bfPrintIfSubsetEmpty;
        f.memo(0, 121, "[Title]");
        f.band(bkDetailData, 150, 22, "RMLoans");
        f.memo(20, 151, "[Who]");
        ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
        std::vector<std::string> want = {"书名", "图书1", "借阅1", "图书3", "借阅3"};
        if (printIfEmpty) want = {"书名", "图书1", "借阅1", "图书2", "图书3", "借阅3"};
        EXPECT_EQ(f.texts(0), want);
    }
}

TEST(ReportBuild, groupHeaderMarkedToRepeatComesAgainOnTheNextPage) {
    Fixture f(60);
    auto* g = f.band(bkGroupHeader, 90, 22, "[Kind]");
    g->Flags |= bfRepeatHeader;
    f.memo(0, 91, "类:[Kind]");
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]");
    ASSERT_TRUE(f.report.PrepareReport());
    ASSERT_GE(f.report.EMFPages.Count(), 2);
    auto t = f.texts(1);
    ASSERT_FALSE(t.empty());
    ASSERT_GE(t.size(), 2u);
    // The page starts inside the second group, which began on page 1.
    EXPECT_EQ(t[0], "类:科技");
    EXPECT_FALSE(f.has(0, t[1]));
    EXPECT_TRUE(f.has(0, "图书31"));
}

} // namespace

namespace {

// A sub-report in the master band prints its whole list under every
// master row, each row once.
TEST(ReportBuild, subReportInTheMasterBandPrintsItsListUnderEveryRow) {
    Fixture f(2);
    f.band(bkMasterData, 100, 40, "RMBooks");
    f.memo(0, 101, "[Title]");
    auto* sr = static_cast<TRMSubReportView*>(f.page->Add(std::make_unique<TRMSubReportView>()));
    sr->CreateUniqueName(&f.report);
    sr->SetBounds(40, 122, 300, 10);
    sr->SubPage = 1;
    f.page = f.report.Pages.Add();
    f.band(bkMasterData, 40, 22, "3");
    f.memo(f.page->PrintableLeft(), 41, "行[Line#]", 120);
    f.page = f.report.Pages[0];
    ASSERT_TRUE(f.report.PrepareReport());
    std::vector<std::string> want = {"图书1", "行1", "行2", "行3", "图书2", "行1", "行2", "行3"};
    EXPECT_EQ(f.texts(0), want);
}

} // namespace

namespace {

// A row its script hides counts only in totals marked to count hidden
// rows; a hidden band's child prints when the band says so.
TEST(ReportBuild, hiddenRowsCountOnlyInTotalsMarkedForThemAndKeepTheirChild) {
    Fixture f(4);
    auto* md = f.band(bkMasterData, 100, 22, "RMBooks");
    md->Name = "MasterData1";
    md->OnBeforePrint = {"MasterData1.Visible := [Price] <> 2"};
    md->Flags |= bfPrintChildIfInvisible;
    md->ChildBand = "Child1";
    f.memo(0, 101, "[Title]");
    auto* child = f.band(bkChild, 130, 22);
    child->Name = "Child1";
    f.memo(0, 131, "注[Price]");
    f.band(bkMasterFooter, 160, 22);
    f.memo(0, 161, "[SUM([Price])]|[SUM([Price],MasterData1,1)]");
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    std::vector<std::string> want = {"图书1", "注1", "注2", "图书3", "注3", "图书4", "注4", "8|10"};
    EXPECT_EQ(f.texts(0), want);
}

// DataFieldOnly: a memo that is one bracketed field prints that field; any
// other text prints nothing.
TEST(ReportBuild, dataFieldOnlyPrintsTheLinkedFieldAlone) {
    Fixture f(2);
    f.band(bkMasterData, 100, 22, "RMBooks");
    for (auto* m : {f.memo(0, 101, "[Title]"), f.memo(200, 101, "书名：[Kind]"), f.memo(400, 101, "[RMBooks.\"Kind\"]")})
        m->SetPropValue("DataFieldOnly", true);
    ASSERT_TRUE(f.report.PrepareReport());
    std::vector<std::string> want = {"图书1", "文学", "图书2", "科技"};
    EXPECT_EQ(f.texts(0), want);
}

// AutoHCenter moves the page's objects as one so that their extent stands
// in the middle of the paper, once however many passes the build makes;
// the design keeps its places.
TEST(ReportBuild, autoHCenterCentresTheObjectsOnThePaper) {
    for (bool twoPasses : {false, true}) {
        SCOPED_TRACE(twoPasses);
        Fixture f(1);
        f.report.DoublePass = twoPasses;
        f.page->AutoHCenter = true;
        f.band(bkMasterData, 100, 22, "RMBooks");
        f.memo(100, 101, "[Title]", 120);
        f.memo(220, 101, "[Kind]", 80);
        const int paper = f.page->PaperWidthPx();
        ASSERT_TRUE(f.report.PrepareReport());
        TMetafile mf;
        std::vector<int> lefts;
        {
            TMetafileCanvas c(&mf);
            auto& r = f.report.EMFPages[0];
            f.report.EMFPages.Draw(0, &c, TRect(0, 0, r.PageWidth, r.PageHeight));
            for (auto* t : c.TextRecords()) lefts.push_back(t->Bounds.Left);
        }
        const int offset = (paper - 200) / 2 - 100;
        ASSERT_EQ(lefts.size(), 2u);
        EXPECT_EQ(lefts[0], 100 + offset + 2);
        EXPECT_EQ(lefts[1], 220 + offset + 2);
        EXPECT_EQ(f.report.FindObject("Memo1")->Left, 100);
    }
}

// A data band tells scripts and texts its record in the run, its row on
// the page and whether its data is at the end, and a script moves its data
// set; outside a build it has no rows and is at its end.
TEST(ReportBuild, dataBandReadsItsRowsAndMovesItsDataFromScripts) {
    Fixture f(5);
    auto* md = f.band(bkMasterData, 100, 22, "RMBooks");
    md->Name = "MasterData1";
    md->LinesPerPage = 2;
    md->OnBeforePrint = {"if MasterData1.RowCount = 4 then MasterData1.Next"};
    f.memo(0, 101, "[Title] [MasterData1.RowCount]/[MasterData1.RowNo] [MasterData1.Eof]")->Flags &= ~flHideZeros;
    EXPECT_TRUE(VarIsNull(md->GetPropValue("RowNo")));
    EXPECT_TRUE(VarIsNull(md->GetPropValue("RowCount")));
    EXPECT_TRUE(md->GetPropValue("Eof").AsBoolean());
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    ASSERT_EQ(f.report.EMFPages.Count(), 2);
    std::vector<std::string> first = {"图书1 1/1 False", "图书2 2/2 False"};
    std::vector<std::string> second = {"图书3 3/1 False", "图书5 4/2 False"};
    EXPECT_EQ(f.texts(0), first);
    EXPECT_EQ(f.texts(1), second);
}

// What a script writes into a data band while the report builds reaches the
// band's run: its range reaches the data set it runs over (a "default"
// value keeps the data set's own), another data source takes over from its
// first record, its height spaces the rows. The design comes back as it was.
TEST(ReportBuild, scriptsRedirectARunningDataBand) {
    struct Case {
        const char* script;
        std::vector<std::string> rows;
        int rowStep;
    } cases[] = {
        {"begin MasterData1.RangeEnd := 2; MasterData1.RangeEndCount := 2 end", {"图书1", "图书2"}, 22},
        {"begin MasterData1.RangeEnd := 3; MasterData1.RangeEndCount := 2 end", {"图书1", "图书2", "图书3"}, 22},
        {"MasterData1.DataSource := 'RMMagz'", {"期刊1", "期刊2"}, 22},
        {"MasterData1.Height := 40", {"图书1", "图书2", "图书3"}, 40},
    };
    std::vector<std::pair<int, int>> steps; // design row step, drawn row step
    for (const Case& c : cases) {
        Fixture f(3);
        TListDataSet magz(nullptr);
        magz.FieldDefs().Add("Title", ftString, 40);
        magz.AddRow({std::string("期刊1")});
        magz.AddRow({std::string("期刊2")});
        magz.Open();
        auto* rmMagz = new TRMDBDataSet(&f.owner);
        rmMagz->SetName("RMMagz");
        rmMagz->SetDataSet(&magz);
        f.band(bkMasterHeader, 50, 22)->OnBeforePrint = {c.script};
        auto* md = f.band(bkMasterData, 100, 22, "RMBooks");
        md->Name = "MasterData1";
        auto* cell = f.memo(0, 100, "[Title]");
        cell->Name = "Cell";
        ASSERT_TRUE(f.report.PrepareReport()) << c.script;
        EXPECT_EQ(f.texts(0), c.rows) << c.script;
        // The rows' distance on the built page.
        TMetafile mf;
        TMetafileCanvas canvas(&mf);
        auto& pg = f.report.EMFPages[0];
        f.report.EMFPages.Draw(0, &canvas, TRect(0, 0, pg.PageWidth, pg.PageHeight));
        auto drawn = canvas.TextRecords();
        ASSERT_GE(drawn.size(), 2u);
        steps.push_back({c.rowStep, drawn[1]->Bounds.Top - drawn[0]->Bounds.Top});
        auto* design = dynamic_cast<TRMBandView*>(f.report.FindObject("MasterData1"));
        ASSERT_TRUE(design);
        EXPECT_EQ(design->Height, 22);
        EXPECT_EQ(design->DataSet(), "RMBooks");
        EXPECT_EQ(design->RangeEnd, reDefault);
    }
    // The drawn steps keep the design steps' proportion.
    for (auto [design, drawn] : steps) EXPECT_NEAR(drawn * 22.0 / design, steps[0].second, 1.0);
}

// "TotalPages#" is 0 in a single-pass build, the second one too; a
// two-pass build knows the count.
TEST(ReportBuild, pageCountIsKnownOnlyInTheFinalPass) {
    Fixture f(3);
    f.band(bkMasterData, 100, 22, "RMBooks");
    f.memo(0, 101, "[Title]");
    f.band(bkPageFooter, 1000, 22);
    f.memo(0, 1001, "[Page#]/[TotalPages#]")->Flags &= ~flHideZeros;
    for (bool twoPasses : {false, false, true}) {
        f.report.DoublePass = twoPasses;
        ASSERT_TRUE(f.report.PrepareReport());
        EXPECT_TRUE(f.has(0, twoPasses ? "1/1" : "1/0")) << twoPasses;
    }
}

} // namespace
