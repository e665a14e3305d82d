// Where bands land on the built page: band columns filled down first or
// across first with their headers at the top of every column, records at
// the band's design position, positions and breaks set by scripts, a new
// page after a number of groups, and repeated values suppressed or merged
// down a column. Asserted on the objects of the built pages; one list is
// printed to PDF and read back with pdftotext.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "db/ListDataSet.h"
#include "Printers.h"
#include "report/model/RM_Report.h"
#include "DesignPage.h"
#include "support/ReportOutput.h"

namespace {

// One object written into a built page.
struct Placed {
    std::string text;
    int left, top, height;
};

struct Layout {
    TComponent owner{nullptr};
    TListDataSet books{nullptr};
    TRMReport report{&owner};
    TRMPage* page;

    // Rows "图书1".. with a kind that changes every kindEvery rows.
    explicit Layout(int rows, int kindEvery = 0) {
        books.FieldDefs().Add("Title", ftString, 40);
        books.FieldDefs().Add("Kind", ftString, 10);
        books.FieldDefs().Add("Price", ftFloat);
        for (int i = 1; i <= rows; ++i) {
            std::string kind = kindEvery ? "类" + std::to_string((i - 1) / kindEvery)
                                         : std::string(i <= rows / 2 ? "文学" : "科技");
            books.AddRow({"图书" + std::to_string(i), kind, double(i)});
        }
        books.Open();
        auto* rm = new TRMDBDataSet(&owner);
        rm->SetName("RMBooks");
        rm->SetDataSet(&books);
        page = report.Pages[0];
    }
    TRMBandView* band(TRMBandKind k, int top, int h, const std::string& ds = "") {
        return AddBand(report, page, k, top, h, ds);
    }
    TRMMemoView* memo(int left, int top, const std::string& text, int w = 150) {
        return AddMemo(report, page, left, top, text, w);
    }
    void build() {
        ASSERT_TRUE(report.PrepareReport()) << (report.BuildErrors.empty() ? "" : report.BuildErrors[0]);
    }
    int pages() { return report.EMFPages.Count(); }
    // The memos written into built page i, in the order written.
    std::vector<Placed> placed(int i) {
        std::vector<Placed> out;
        TRMPage* p = report.EMFPages.UnpackPage(i);
        for (auto& o : p->Objects) {
            std::string t;
            for (auto& l : o->Memo) t += l;
            out.push_back({t, o->Left, o->Top, o->Height});
        }
        report.EMFPages.FreeUnpacked(i);
        return out;
    }
    // The one object of page i that reads text (a failure when there is
    // not exactly one).
    Placed at(int i, const std::string& text) {
        std::vector<Placed> all = placed(i), hit;
        std::copy_if(all.begin(), all.end(), std::back_inserter(hit), [&](auto& p) { return p.text == text; });
        EXPECT_EQ(hit.size(), 1u) << "\"" << text << "\" on page " << i + 1;
        return hit.empty() ? Placed{text, -1, -1, -1} : hit[0];
    }
    int count(int i, const std::string& text) {
        auto all = placed(i);
        return int(std::count_if(all.begin(), all.end(), [&](auto& p) { return p.text == text; }));
    }
};

// ---- band columns

// Down first: a column takes LinesPerPage records (or what fits), then the
// next column starts at the same top; the header marked for every band
// column stands above each; what follows the columns goes below the
// longest one, at the left; after the last column a new page begins.
TEST(ReportBandColumns, downFirstFillsAColumnThenTheNextFromTheSameTop) {
    struct Case {
        int rows;
        int pages;
    };
    for (Case c : {Case{11, 1}, Case{14, 2}}) {
        SCOPED_TRACE(c.rows);
        Layout f(c.rows);
        auto* h = f.band(bkMasterHeader, 80, 20);
        h->SetPropValue("RepeatHeader1", true);
        f.memo(10, 80, "书名");
        auto* d = f.band(bkMasterData, 120, 22, "RMBooks");
        d->Columns = 3;
        d->ColumnWidth = 200;
        d->ColumnGap = 20;
        d->LinesPerPage = 4;
        d->SetPropValue("PrintColFirst", false);
        f.memo(10, 121, "[Title]");
        f.band(bkMasterFooter, 160, 20);
        f.memo(10, 160, "完");
        f.build();
        ASSERT_EQ(f.pages(), c.pages);

        Placed first = f.at(0, "图书1");
        for (int i = 1; i <= std::min(c.rows, 12); ++i) {
            Placed p = f.at(0, "图书" + std::to_string(i));
            int col = (i - 1) / 4, line = (i - 1) % 4;
            EXPECT_EQ(p.left, first.left + 220 * col) << i;
            EXPECT_EQ(p.top, first.top + 22 * line) << i;
        }
        // The header once above each column, at its own height.
        std::vector<Placed> heads;
        for (auto& p : f.placed(0))
            if (p.text == "书名") heads.push_back(p);
        ASSERT_EQ(heads.size(), 3u);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(heads[size_t(k)].top, first.top - 21);
            EXPECT_EQ(heads[size_t(k)].left, 10 + 220 * k);
        }
        if (c.rows == 11) {
            // Below the first (longest) column, not below the third.
            EXPECT_EQ(f.at(0, "完").top, first.top - 1 + 4 * 22);
            EXPECT_EQ(f.at(0, "完").left, 10);
        } else {
            // Records 13 and 14 begin the next page in the first column.
            Placed p13 = f.at(1, "图书13");
            EXPECT_EQ(p13.left, first.left);
            EXPECT_EQ(f.at(1, "图书14").top, p13.top + 22);
            EXPECT_EQ(f.at(1, "完").top, p13.top - 1 + 2 * 22);
            EXPECT_EQ(f.count(1, "书名"), 0); // RepeatHeader1 alone: columns, not pages
        }
    }
}

// Down first without a line limit: the column runs to the page's bottom.
TEST(ReportBandColumns, downFirstColumnRunsToTheBottomOfThePage) {
    Layout f(80);
    auto* d = f.band(bkMasterData, 120, 22, "RMBooks");
    d->Columns = 2;
    d->ColumnWidth = 300;
    d->ColumnGap = 10;
    d->Flags &= ~bfPrintColFirst;
    f.memo(0, 121, "[Title]");
    f.build();
    Placed first = f.at(0, "图书1");
    int k = 2;
    while (f.at(0, "图书" + std::to_string(k)).left == first.left) ++k;
    int bottom = f.page->PrintableTop() + f.page->PrintableHeight();
    Placed last = f.at(0, "图书" + std::to_string(k - 1));
    EXPECT_LE(last.top - 1 + 22, bottom);
    EXPECT_GT(last.top - 1 + 44, bottom); // one more would not have fitted
    Placed next = f.at(0, "图书" + std::to_string(k));
    EXPECT_EQ(next.left, first.left + 310);
    EXPECT_EQ(next.top, first.top);
}

// Across first (the default): records side by side, a header marked for
// every band column above each column of the first row only; LinesPerPage
// counts records per page as rows × columns; NewColumnAfter other than 1
// turns band columns off.
TEST(ReportBandColumns, acrossFirstRepeatsTheHeaderOverTheFirstRowAndCountsLinesByRows) {
    Layout f(8);
    auto* h = f.band(bkMasterHeader, 80, 20);
    h->SetPropValue("RepeatHeader1", true);
    f.memo(0, 80, "书名");
    auto* d = f.band(bkMasterData, 120, 22, "RMBooks");
    d->Columns = 3;
    d->ColumnWidth = 200;
    d->ColumnGap = 20;
    d->LinesPerPage = 2; // two rows of three
    f.memo(0, 121, "[Title]");
    f.build();
    ASSERT_EQ(f.pages(), 2);
    Placed first = f.at(0, "图书1");
    EXPECT_EQ(f.at(0, "图书3").left, first.left + 440);
    EXPECT_EQ(f.at(0, "图书3").top, first.top);
    EXPECT_EQ(f.at(0, "图书4").left, first.left);
    EXPECT_EQ(f.at(0, "图书4").top, first.top + 22);
    EXPECT_EQ(f.count(0, "书名"), 3);
    EXPECT_EQ(f.count(0, "图书7"), 0);
    EXPECT_EQ(f.at(1, "图书7").left, first.left);
    EXPECT_EQ(f.at(1, "图书8").left, first.left + 220);

    Layout g(4);
    auto* d2 = g.band(bkMasterData, 120, 22, "RMBooks");
    d2->Columns = 3;
    d2->NewColumnAfter = 2;
    g.memo(0, 121, "[Title]");
    g.build();
    EXPECT_EQ(g.at(0, "图书2").left, g.at(0, "图书1").left);
    EXPECT_EQ(g.at(0, "图书2").top, g.at(0, "图书1").top + 22);
}

// The flag for every band column on a page header also makes it a
// repeated header; on a data header it does not.
TEST(ReportBandColumns, repeatHeader1OnAPageHeaderAlsoSetsRepeatHeader) {
    TRMBandView b;
    for (TRMBandKind k : {bkPageHeader, bkColumnHeader, bkMasterHeader}) {
        b.Flags = 0;
        b.SetBandType(k);
        b.SetPropValue("REPEATHEADER1", true);
        EXPECT_TRUE(b.GetPropValue("RepeatHeader1").AsBoolean());
        EXPECT_EQ(b.GetPropValue("RepeatHeader").AsBoolean(), k != bkMasterHeader) << int(k);
    }
}

// ---- design position and script positions

// The first record of a run, and the first after a page break, print at
// the band's design top; the others follow one below the other.
TEST(ReportBandPosition, printAtDesignPosPutsTheFirstRecordOfARunAndOfAPageAtTheBandsTop) {
    Layout f(80);
    f.band(bkPageHeader, 80, 24);
    f.memo(0, 80, "页眉");
    auto* d = f.band(bkMasterData, 300, 22, "RMBooks");
    d->SetPropValue("PrintAtDesignPos", true);
    f.memo(0, 301, "[Title]");
    f.build();
    ASSERT_GE(f.pages(), 2);
    EXPECT_EQ(f.at(0, "图书1").top, 301);
    EXPECT_EQ(f.at(0, "图书2").top, 323);
    std::vector<Placed> p2 = f.placed(1);
    ASSERT_GE(p2.size(), 3u);
    EXPECT_EQ(p2[0].text, "页眉");
    EXPECT_EQ(p2[1].top, 301);
    EXPECT_EQ(p2[2].top, 323);
}

// A band's script sets the position (CURY), asks for a new page (NEWPAGE)
// or a new page column (NEWCOLUMN); the requests take effect before the
// band prints, and a position set alongside a request holds on the new
// page.
TEST(ReportBandPosition, scriptSetsCurYAndBreaksPagesAndColumns) {
    Layout f(10);
    f.page->Columns = 2;
    f.band(bkPageHeader, 40, 24);
    f.memo(0, 40, "页眉");
    auto* d = f.band(bkMasterData, 120, 22, "RMBooks");
    d->OnBeforePrint = {"begin",
                        "  if [Price] = 3 then CurY := 600;",
                        "  if [Price] = 5 then NewColumn;",
                        "  if [Price] = 7 then NewPage;",
                        "  if [Price] = 7 then CurY := 500;",
                        "  if [Price] = 9 then NewPage",
                        "end"};
    f.memo(0, 121, "[Title]");
    f.build();
    EXPECT_TRUE(f.report.BuildErrors.empty()) << f.report.BuildErrors[0];
    ASSERT_EQ(f.pages(), 3);
    Placed p1 = f.at(0, "图书1");
    EXPECT_EQ(f.at(0, "图书3").top, 601);
    EXPECT_EQ(f.at(0, "图书4").top, 623);
    Placed p5 = f.at(0, "图书5"); // top of the second page column
    EXPECT_EQ(p5.top, p1.top);
    EXPECT_GT(p5.left, p1.left + 300);
    EXPECT_EQ(f.at(1, "图书7").top, 501);
    EXPECT_EQ(f.at(1, "图书8").top, 523);
    EXPECT_EQ(f.at(1, "图书7").left, p1.left);
    EXPECT_EQ(f.at(2, "图书9").top, p1.top);
    EXPECT_EQ(f.count(2, "页眉"), 1);
}

// A page header (or one of its objects) asking for a new page would ask
// again on that page without end: the request is not followed.
TEST(ReportBandPosition, newPageFromThePageHeaderDoesNotRunAway) {
    for (bool fromObject : {false, true}) {
        SCOPED_TRACE(fromObject);
        Layout f(3);
        auto* ph = f.band(bkPageHeader, 40, 24);
        auto* m = f.memo(0, 40, "页眉");
        (fromObject ? m->OnBeforePrint : ph->OnBeforePrint) = {"NewPage"};
        f.band(bkMasterData, 120, 22, "RMBooks");
        f.memo(0, 121, "[Title]");
        f.build();
        EXPECT_EQ(f.pages(), 1);
        EXPECT_EQ(f.count(0, "图书3"), 1);
    }
}

// ---- groups per page

// Two groups a page: the third group's header begins the next page, and
// no group is split.
TEST(ReportGroupsPerPage, aNewPageComesAfterTheGivenNumberOfGroups) {
    Layout f(12, 2); // 类0 .. 类5, two rows each
    auto* g = f.band(bkGroupHeader, 80, 22, "[Kind]");
    g->SetPropValue("GroupsPerPage", 2);
    f.memo(0, 80, "[Kind]");
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]");
    f.band(bkGroupFooter, 160, 22);
    f.memo(0, 160, "止[Kind]");
    f.build();
    ASSERT_EQ(f.pages(), 3);
    for (int p = 0; p < 3; ++p) {
        std::vector<std::string> want;
        for (int k = 2 * p; k < 2 * p + 2; ++k) {
            std::string kind = "类" + std::to_string(k);
            want.insert(want.end(), {kind, "图书" + std::to_string(2 * k + 1), "图书" + std::to_string(2 * k + 2),
                                     "止" + kind});
        }
        std::vector<std::string> got;
        for (auto& o : f.placed(p)) got.push_back(o.text);
        EXPECT_EQ(got, want) << "page " << p + 1;
    }
}

// ---- repeated values

// Suppress prints an equal value empty; with MergeRepeated the first
// record grows over the equal ones below it; MergeRepeated alone does
// nothing; a master memo that printed a new value keeps the records apart.
TEST(ReportRepeatedValues, suppressedValuesPrintEmptyAndMergedOnesGrowDownTheColumn) {
    struct Case {
        const char* name;
        bool suppress, merge, master;
        std::vector<std::pair<std::string, int>> kinds; // text and height of each record
    };
    const std::vector<Case> cases = {
        {"suppress", true, false, false, {{"文学", 20}, {"", 20}, {"", 20}, {"科技", 20}, {"", 20}, {"", 20}}},
        {"merge", true, true, false, {{"文学", 64}, {"科技", 64}}},
        {"merge alone", false, true, false,
         {{"文学", 20}, {"文学", 20}, {"文学", 20}, {"科技", 20}, {"科技", 20}, {"科技", 20}}},
        {"merge under a changing master", true, true, true,
         {{"文学", 20}, {"文学", 20}, {"文学", 20}, {"科技", 20}, {"科技", 20}, {"科技", 20}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Layout f(6);
        f.band(bkMasterData, 120, 22, "RMBooks");
        auto* title = f.memo(0, 121, "[Title]");
        title->Name = "TitleMemo";
        auto* kind = f.memo(200, 121, "[Kind]");
        if (c.suppress) kind->Flags |= flSuppress;
        if (c.merge) kind->Flags |= flMergeRepeated;
        if (c.master) kind->MasterMemoView = "TitleMemo";
        f.build();
        std::vector<Placed> got;
        for (auto& o : f.placed(0))
            if (o.left == 200) got.push_back(o);
        ASSERT_EQ(got.size(), c.kinds.size());
        int top = f.at(0, "图书1").top;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].text, c.kinds[i].first) << i;
            EXPECT_EQ(got[i].height, c.kinds[i].second) << i;
        }
        if (c.merge && c.suppress && !c.master) {
            EXPECT_EQ(got[0].top, top);
            EXPECT_EQ(got[1].top, f.at(0, "图书4").top);
        }
    }
}

// A merged value never reaches back onto an earlier page: the next page
// starts its own record, and band columns merge each column on its own.
TEST(ReportRepeatedValues, mergedValuesStartAgainOnEachPageAndInEachColumn) {
    Layout f(60); // 文学 1-30, 科技 31-60
    auto* d = f.band(bkMasterData, 120, 22, "RMBooks");
    d->Columns = 2;
    d->ColumnWidth = 300;
    d->ColumnGap = 20;
    d->LinesPerPage = 20;
    d->Flags &= ~bfPrintColFirst;
    f.memo(0, 121, "[Title]");
    auto* kind = f.memo(150, 121, "[Kind]", 100);
    kind->Flags |= flSuppress | flMergeRepeated;
    f.build();
    ASSERT_EQ(f.pages(), 2);
    // Page 1: 图书1-20 down the first column, 21-40 down the second.
    std::vector<Placed> kinds;
    for (auto& o : f.placed(0))
        if (o.text == "文学" || o.text == "科技") kinds.push_back(o);
    ASSERT_EQ(kinds.size(), 3u);
    Placed first = f.at(0, "图书1");
    EXPECT_EQ(kinds[0].text, "文学");
    EXPECT_EQ(kinds[0].top, first.top);
    EXPECT_EQ(kinds[0].height, 20 + 19 * 22); // rows 1-20
    EXPECT_EQ(kinds[1].text, "文学");         // rows 21-30, second column
    EXPECT_EQ(kinds[1].left, 150 + 320);
    EXPECT_EQ(kinds[1].top, first.top);
    EXPECT_EQ(kinds[1].height, 20 + 9 * 22);
    EXPECT_EQ(kinds[2].text, "科技"); // rows 31-40
    EXPECT_EQ(kinds[2].height, 20 + 9 * 22);
    // Page 2 begins its own record for rows 41-60.
    Placed k2 = f.at(1, "科技");
    EXPECT_EQ(k2.top, f.at(1, "图书41").top);
    EXPECT_EQ(k2.height, 20 + 19 * 22);
}

// A merged memo on a band the new page does not clear (here a child band)
// starts a new record on the next page instead of writing over the place
// its last record had on the page before.
TEST(ReportRepeatedValues, mergedValueOnAChildBandStartsAgainOnTheNextPage) {
    Layout f(60); // 文学 1-30, 科技 31-60
    // A page header of many objects from the second page on puts the old
    // record's place inside the next page's bytes.
    f.band(bkPageHeader, 40, 30)->Flags &= ~bfOnFirstPage;
    for (int i = 0; i < 60; ++i) f.memo(300 + i * 6, 40, "·", 6);
    auto* d = f.band(bkMasterData, 120, 22, "RMBooks");
    d->ChildBand = "Child1";
    f.memo(0, 121, "[Title]");
    auto* c = f.band(bkChild, 150, 22);
    c->Name = "Child1";
    auto* kind = f.memo(200, 151, "[Kind]", 100);
    kind->Flags |= flSuppress | flMergeRepeated;
    f.build();
    ASSERT_GE(f.pages(), 2);
    int rowsSeen = 0;
    const int bottom = f.page->PrintableTop() + f.page->PrintableHeight();
    for (int p = 0; p < f.pages(); ++p) {
        SCOPED_TRACE(p + 1);
        std::vector<Placed> kinds, rows;
        for (auto& o : f.placed(p))
            if (o.left == 200)
                kinds.push_back(o);
            else if (o.text.rfind("图书", 0) == 0)
                rows.push_back(o);
        rowsSeen += int(rows.size());
        ASSERT_FALSE(rows.empty());
        ASSERT_FALSE(kinds.empty());
        // The page's first kind record begins on this page, no lower than
        // the child of its first row; each kind is one record that stays
        // on the page.
        EXPECT_LE(kinds[0].top, rows[0].top + 22);
        EXPECT_GE(kinds[0].top, f.page->PrintableTop());
        std::set<std::string> seen;
        for (auto& k : kinds) {
            EXPECT_TRUE(seen.insert(k.text).second) << k.text;
            EXPECT_LE(k.top + k.height, bottom);
            EXPECT_GT(k.height, 20);
        }
    }
    EXPECT_EQ(rowsSeen, 60);
}

// Cross-tab cells merge down their own column: the same value in the
// columns of one row stays three records side by side.
TEST(ReportRepeatedValues, crossTabCellsMergeDownTheirOwnColumn) {
    Layout f(6); // 文学 1-3, 科技 4-6
    f.band(bkMasterData, 120, 22, "RMBooks");
    f.memo(0, 121, "[Title]", 100);
    auto* cross = f.band(bkCrossData, 0, 0, "3");
    cross->SetBounds(200, 0, 80, 400);
    auto* cell = f.memo(200, 121, "[Kind]", 80);
    cell->Flags |= flSuppress | flMergeRepeated;
    f.build();
    std::vector<Placed> kinds;
    for (auto& o : f.placed(0))
        if (o.text == "文学" || o.text == "科技") kinds.push_back(o);
    ASSERT_EQ(kinds.size(), 6u);
    int top = f.at(0, "图书1").top;
    for (size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(kinds[i].text, i < 3 ? "文学" : "科技") << i;
        EXPECT_EQ(kinds[i].left, 200 + 80 * int(i % 3)) << i;
        EXPECT_EQ(kinds[i].top, top + (i < 3 ? 0 : 66)) << i;
        EXPECT_EQ(kinds[i].height, 64) << i;
    }
}

// ---- printed

// A down-first list of two band columns with the header over each column
// and the kinds merged, printed to PDF: pdftotext finds the header twice
// on each page and each kind once per column it stands in.
TEST(ReportBandColumns, downFirstListPrintsToPdf) {
    Layout f(40); // 文学 1-20, 科技 21-40
    f.band(bkTitle, 40, 30);
    f.memo(0, 40, "分栏图书清单", 300);
    auto* h = f.band(bkMasterHeader, 80, 22);
    h->SetPropValue("RepeatHeader1", true);
    h->SetPropValue("RepeatHeader", true);
    f.memo(0, 80, "分类", 80);
    f.memo(90, 80, "书名", 150);
    auto* d = f.band(bkMasterData, 120, 22, "RMBooks");
    d->Columns = 2;
    d->ColumnWidth = 340;
    d->ColumnGap = 10;
    d->LinesPerPage = 10;
    d->Flags &= ~bfPrintColFirst;
    auto* kind = f.memo(0, 121, "[Kind]", 80);
    kind->Flags |= flSuppress | flMergeRepeated;
    f.memo(90, 121, "[Title]");
    f.build();
    ASSERT_EQ(f.pages(), 2);
    std::string pdf = ReportsFolder() + "bandColumnsDownFirst.pdf";
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    f.report.ShowPrintDialog = false;
    ASSERT_TRUE(f.report.PrintPreparedReport());
    IndexReport("bandColumnsDownFirst.pdf", "(down-first band columns built in the test)", 2, "分栏图书清单");
    std::string text = CommandOutput("pdftotext -layout '" + pdf + "' -");
    std::vector<std::string> pages;
    std::stringstream ss(text);
    for (std::string pg; std::getline(ss, pg, '\f');)
        if (!Trim(pg).empty()) pages.push_back(pg);
    ASSERT_EQ(pages.size(), 2u) << text;
    auto count = [](const std::string& s, const std::string& w) {
        int n = 0;
        for (size_t p = s.find(w); p != std::string::npos; p = s.find(w, p + w.size())) ++n;
        return n;
    };
    EXPECT_EQ(count(pages[0], "分栏图书清单"), 1);
    EXPECT_EQ(count(pages[0], "书名"), 2) << pages[0];
    EXPECT_EQ(count(pages[1], "书名"), 2) << pages[1];
    EXPECT_EQ(count(pages[0], "文学"), 2) << pages[0];
    EXPECT_EQ(count(pages[0], "科技"), 0) << pages[0];
    EXPECT_EQ(count(pages[1], "科技"), 2) << pages[1];
    // Row 11 stands beside row 1: the second column starts at the top.
    std::stringstream lines(pages[0]);
    bool beside = false;
    for (std::string l; std::getline(lines, l);)
        beside |= l.find("图书1 ") != std::string::npos && l.find("图书11") != std::string::npos;
    EXPECT_TRUE(beside) << pages[0];
}

} // namespace
