// Cross-tab columns that run past the page's right edge continue on the
// following pages at the same height, with the header column repeated; the
// totals of cross cells sum a column over the rows, a row over the columns
// and, where the footers meet, everything. The pages print to PDF and the
// preview shows them side by side.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "db/ListDataSet.h"
#include "Metafile.h"
#include "Printers.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "report/model/RM_Report.h"
#include "DesignPage.h"
#include "report/preview/RM_Preview.h"
#include "support/ReportOutput.h"

namespace {

struct Text {
    std::string text;
    int left, top;
};

// A list of books (Price = row number) against twelve months (N = 1..12):
// each cell shows Price × N.
struct CrossTab {
    TComponent owner{nullptr};
    TListDataSet books{&owner}, months{&owner};
    TRMDBDataSet rmBooks{&owner}, rmMonths{&owner};
    TRMReport report{&owner};
    TRMPage* page;

    explicit CrossTab(int rows, bool repeatHeader = true) {
        books.FieldDefs().Add("Title", ftString, 40);
        books.FieldDefs().Add("Price", ftFloat);
        for (int i = 1; i <= rows; ++i) books.AddRow({std::string("图书") + std::to_string(i), double(i)});
        books.Open();
        months.FieldDefs().Add("M", ftString, 10);
        months.FieldDefs().Add("N", ftInteger);
        for (int i = 1; i <= 12; ++i) months.AddRow({std::to_string(i) + "月", i});
        months.Open();
        rmBooks.SetName("RMBooks");
        rmBooks.SetDataSet(&books);
        rmMonths.SetName("RMMonths");
        rmMonths.SetDataSet(&months);
        page = report.Pages[0];
        page->MarginLeft = page->MarginTop = page->MarginRight = page->MarginBottom = 10000; // 10 mm all round
        band(bkPageHeader, 40, 24)->Flags |= bfOnFirstPage;
        memo(320, 41, "第[Page#]页", 200); // beside the columns, not in them
        band(bkMasterHeader, 70, 22);
        band(bkMasterData, 100, 22, "RMBooks");
        band(bkMasterFooter, 130, 22);
        auto* pf = band(bkPageFooter, 200, 22);
        pf->Flags |= bfOnFirstPage | bfOnLastPage;
        memo(320, 201, "页脚[Page#]", 200);
        TRMBandView* h = band(bkCrossHeader, 0, 1000);
        h->SetBounds(40, 0, 100, 1000);
        if (repeatHeader) h->Flags |= bfRepeatHeader;
        band(bkCrossData, 0, 1000, "RMMonths")->SetBounds(140, 0, 80, 1000);
        band(bkCrossFooter, 0, 1000)->SetBounds(220, 0, 80, 1000);
        // Header row, data rows and footer row, each across the columns.
        memo(40, 71, "书名", 100);
        memo(140, 71, "[M]", 80);
        memo(220, 71, "全年", 80);
        memo(40, 101, "[Title]", 100);
        memo(140, 101, "[Price*N]", 80);
        memo(220, 101, "[SUM(Price*N)]", 80);
        memo(40, 131, "合计", 100);
        memo(140, 131, "[SUM(Price*N)]", 80);
        memo(220, 131, "[SUM(Price*N)]", 80);
    }
    TRMBandView* band(TRMBandKind k, int top, int h, const std::string& ds = "") {
        return AddBand(report, page, k, top, h, ds);
    }
    void memo(int left, int top, const std::string& text, int w) {
        AddMemo(report, page, left, top, text, w)->SetFrameAll(true);
    }
    std::vector<Text> texts(int i) {
        TMetafile mf;
        std::vector<Text> out;
        TMetafileCanvas c(&mf);
        auto& r = report.EMFPages[i];
        report.EMFPages.Draw(i, &c, TRect(0, 0, r.PageWidth, r.PageHeight));
        for (auto* t : c.TextRecords()) out.push_back({t->Text, t->Bounds.Left, t->Bounds.Top});
        return out;
    }
    // The texts of page i on the line of the text `row` (by top).
    std::vector<std::string> line(int i, const std::string& row) {
        auto all = texts(i);
        auto it = std::find_if(all.begin(), all.end(), [&](const Text& t) { return t.text == row; });
        if (it == all.end()) return {};
        int top = it->top;
        std::vector<Text> l;
        for (auto& t : all)
            if (t.top == top) l.push_back(t);
        std::sort(l.begin(), l.end(), [](auto& a, auto& b) { return a.left < b.left; });
        std::vector<std::string> r;
        for (auto& t : l) r.push_back(t.text);
        return r;
    }
    int leftOf(int i, const std::string& text) {
        for (auto& t : texts(i))
            if (t.text == text) return t.left;
        return -1;
    }
};

using L = std::vector<std::string>;

// Twelve columns of 80 pixels do not fit beside the header column: the
// first seven stay on page 1, the rest continue on page 2 at the same
// height behind the repeated header column, and the footer column ends
// there. Column totals, row totals and the grand total are exact.
TEST(ReportCrossTab, columnsPastTheRightEdgeContinueOnTheNextPageWithTotals) {
    CrossTab f(2);
    ASSERT_TRUE(f.report.PrepareReport()) << (f.report.BuildErrors.empty() ? "" : f.report.BuildErrors[0]);
    EXPECT_TRUE(f.report.BuildErrors.empty()) << f.report.BuildErrors[0];
    ASSERT_EQ(f.report.EMFPages.Count(), 2);
    EXPECT_EQ(f.line(0, "书名"), (L{"书名", "1月", "2月", "3月", "4月", "5月", "6月", "7月"}));
    EXPECT_EQ(f.line(0, "图书1"), (L{"图书1", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(f.line(0, "图书2"), (L{"图书2", "2", "4", "6", "8", "10", "12", "14"}));
    EXPECT_EQ(f.line(0, "合计"), (L{"合计", "3", "6", "9", "12", "15", "18", "21"}));
    EXPECT_EQ(f.line(1, "书名"), (L{"书名", "8月", "9月", "10月", "11月", "12月", "全年"}));
    EXPECT_EQ(f.line(1, "图书1"), (L{"图书1", "8", "9", "10", "11", "12", "78"}));
    EXPECT_EQ(f.line(1, "图书2"), (L{"图书2", "16", "18", "20", "22", "24", "156"}));
    EXPECT_EQ(f.line(1, "合计"), (L{"合计", "24", "27", "30", "33", "36", "234"}));
    // Same rows at the same heights; the repeated header column starts at
    // the printable left and the first column follows it.
    auto top = [&](int i, const std::string& t) {
        for (auto& x : f.texts(i))
            if (x.text == t) return x.top;
        return -1;
    };
    EXPECT_EQ(top(0, "图书2"), top(1, "图书2"));
    EXPECT_EQ(f.leftOf(1, "8月") - f.leftOf(1, "书名"), 100);
    EXPECT_LT(f.leftOf(1, "书名"), f.leftOf(0, "书名"));
    // Page header and footer on the added page, with its own number.
    EXPECT_EQ(f.line(0, "第1页"), (L{"第1页"}));
    EXPECT_EQ(f.line(1, "第2页"), (L{"第2页"}));
    EXPECT_EQ(f.line(0, "页脚1"), (L{"页脚1"}));
    EXPECT_EQ(f.line(1, "页脚2"), (L{"页脚2"}));
}

// Without RepeatHeader the continued columns start at the printable left.
TEST(ReportCrossTab, continuedColumnsWithoutRepeatedHeaderStartAtThePrintableLeft) {
    CrossTab f(1, false);
    ASSERT_TRUE(f.report.PrepareReport());
    ASSERT_EQ(f.report.EMFPages.Count(), 2);
    EXPECT_EQ(f.line(1, "8"), (L{"8", "9", "10", "11", "12", "78"}));
    EXPECT_EQ(f.leftOf(1, "8"), f.leftOf(0, "书名") - 40 + f.page->PrintableLeft());
}

// Rows that fill a page go on below, and each page of rows has its own
// page to the right: 1 and 2 hold the first rows, 3 and 4 the rest.
TEST(ReportCrossTab, rowsThatFillThePageGiveEachPageOfRowsItsOwnPageToTheRight) {
    CrossTab f(60);
    ASSERT_TRUE(f.report.PrepareReport());
    ASSERT_EQ(f.report.EMFPages.Count(), 4);
    EXPECT_FALSE(f.line(0, "图书1").empty());
    EXPECT_EQ(f.line(1, "图书1").back(), "78");
    int firstOn3 = 0;
    for (int i = 60; i >= 1; --i)
        if (!f.line(2, "图书" + std::to_string(i)).empty()) firstOn3 = i;
    ASSERT_GT(firstOn3, 1);
    EXPECT_TRUE(f.line(0, "图书" + std::to_string(firstOn3)).empty());
    EXPECT_EQ(f.line(3, "图书" + std::to_string(firstOn3)).back(), std::to_string(78 * firstOn3));
    EXPECT_EQ(f.line(3, "合计").back(), std::to_string(78 * 60 * 61 / 2));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(f.line(i, "第" + std::to_string(i + 1) + "页").size(), 1u) << i;
}

// The printed pages hold the same columns: pdftotext reads page 2's
// continued months and totals. The preview shows both pages side by side.
TEST(ReportCrossTab, printsToPdfAndPreviewsBothPages) {
    CrossTab f(3);
    ASSERT_TRUE(f.report.PrepareReport());
    ASSERT_EQ(f.report.EMFPages.Count(), 2);
    std::string pdf = ReportsFolder() + "crossTab.pdf";
    remove(pdf.c_str());
    Printer()->SetPrinterIndex(Printer()->PdfPrinterIndex());
    Printer()->SetFileName(pdf);
    f.report.ShowPrintDialog = false;
    ASSERT_TRUE(f.report.PrintPreparedReport());
    IndexReport("crossTab.pdf", "(cross-tab built in the test)", 2, "1月");
    std::string text = CommandOutput("pdftotext -layout '" + pdf + "' -");
    std::vector<std::string> pages;
    std::stringstream ss(text);
    std::string pg;
    while (std::getline(ss, pg, '\f')) pages.push_back(pg);
    if (!pages.empty() && Trim(pages.back()).empty()) pages.pop_back();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(pages[0].find("7月"), std::string::npos) << pages[0];
    EXPECT_EQ(pages[0].find("8月"), std::string::npos) << pages[0];
    EXPECT_NE(pages[1].find("12月"), std::string::npos) << pages[1];
    EXPECT_NE(pages[1].find("全年"), std::string::npos) << pages[1];
    EXPECT_NE(pages[1].find("468"), std::string::npos) << pages[1]; // 78 × (1 + 2 + 3)
    EXPECT_NE(pages[1].find("图书3"), std::string::npos) << pages[1];

    TRMPreviewForm w(nullptr, &f.report);
    ShowAndActivate(&w);
    SendKeyToFocus(&w, '4', TShiftState{} << ssCtrl); // two pages
    ProcessEvents();
    ForceDirectories(std::string(BUILD_DIR) + "/test-output/screens/");
    EXPECT_TRUE(SaveFormPng(&w, std::string(BUILD_DIR) + "/test-output/screens/report-cross-tab-pages.png"));
    // The next preview starts as it would on its own.
    TRMPreviewForm::LastZoomMode = zmPercent;
    TRMPreviewForm::LastScale = 1;
}

} // namespace
