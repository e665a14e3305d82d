// What a page break does to the bands around it: a band split over two
// pages keeps the rules of repeated values (a memo marked Suppress prints
// an equal value empty, with MergeRepeated the record above grows down over
// it), and a group header that stood over several band columns keeps its
// place above the columns of the next page.
#include <gtest/gtest.h>

#include <algorithm>

#include "db/ListDataSet.h"
#include "report/model/RM_Report.h"
#include "DesignPage.h"

namespace {

struct Placed {
    std::string text;
    int top, height;
};

struct Split {
    TComponent owner{nullptr};
    TListDataSet books{nullptr};
    TRMReport report{&owner};
    TRMPage* page;

    // Three books of one kind; the second has a text longer than a page.
    Split() {
        books.FieldDefs().Add("Kind", ftString, 10);
        books.FieldDefs().Add("Body", ftString, 4000);
        std::string longBody;
        for (int i = 1; i <= 70; ++i) longBody += (i > 1 ? "\n" : "") + std::string("第") + std::to_string(i) + "行";
        books.AddRow({std::string("文学"), std::string("短")});
        books.AddRow({std::string("文学"), longBody});
        books.AddRow({std::string("文学"), std::string("也短")});
        books.Open();
        auto* rm = new TRMDBDataSet(&owner);
        rm->SetName("RMBooks");
        rm->SetDataSet(&books);
        page = report.Pages[0];
    }
    std::vector<Placed> placed(int i) {
        std::vector<Placed> out;
        TRMPage* p = report.EMFPages.UnpackPage(i);
        for (auto& o : p->Objects) {
            std::string t;
            for (auto& l : o->Memo) t += l;
            out.push_back({t, o->Top, o->Height});
        }
        report.EMFPages.FreeUnpacked(i);
        return out;
    }
};

TEST(ReportSplitBand, repeatedValuesAreSuppressedOrMergedInABandCutAtThePageEnd) {
    for (bool merge : {false, true}) {
        SCOPED_TRACE(merge ? "suppress and merge" : "suppress");
        Split f;
        auto* d = AddBand(f.report, f.page, bkMasterData, 60, 24, "RMBooks");
        d->Flags |= bfBreaked | bfStretched;
        auto* kind = AddMemo(f.report, f.page, 0, 60, "[Kind]", 100);
        kind->Flags |= flSuppress | (merge ? flMergeRepeated : 0);
        auto* body = AddMemo(f.report, f.page, 120, 60, "[Body]", 300);
        body->Flags |= flStretched;
        ASSERT_TRUE(f.report.PrepareReport());
        ASSERT_EQ(f.report.EMFPages.Count(), 2);

        auto p1 = f.placed(0);
        std::vector<Placed> kinds;
        for (auto& p : p1)
            if (p.text == "文学" || p.text.empty()) kinds.push_back(p);
        auto second = std::find_if(p1.begin(), p1.end(), [](auto& p) { return p.text.rfind("第1行", 0) == 0; });
        ASSERT_NE(second, p1.end());
        if (merge) {
            // One record, grown from the first row down over the second.
            ASSERT_EQ(kinds.size(), 1u);
            EXPECT_EQ(kinds[0].text, "文学");
            EXPECT_EQ(kinds[0].top + kinds[0].height, second->top + 20);
        } else {
            // The second row's kind prints empty.
            ASSERT_EQ(kinds.size(), 2u);
            EXPECT_EQ(kinds[0].text, "文学");
            EXPECT_EQ(kinds[1].text, "");
            EXPECT_EQ(kinds[1].top, second->top);
        }
        // A new page starts merged values afresh (the third row shows its
        // kind); a value only suppressed stays suppressed.
        auto p2 = f.placed(1);
        EXPECT_EQ(std::count_if(p2.begin(), p2.end(), [](auto& p) { return p.text == "文学"; }), merge ? 1 : 0);
        EXPECT_TRUE(std::any_of(p2.begin(), p2.end(), [](auto& p) { return p.text == "也短"; }));
    }
}

// A group header marked to come at the top of every band column
// (RepeatHeader1) but not after a break (RepeatHeader) leaves its height
// free above the columns of the next page; marked RepeatHeader it prints
// there; unmarked the rows start at the top.
TEST(ReportColumnBreak, aGroupHeaderOverSeveralBandColumnsKeepsItsPlaceOnTheNextPage) {
    struct Case {
        const char* name;
        uint16_t flags;
        int rowDrop;       // how far below the page's top the first row prints
        bool headerPrints; // on the next page
    };
    for (Case c : {Case{"unmarked", 0, 0, false}, Case{"every band column", bfRepeatHeader1, 20, false},
                   Case{"after a break too", bfRepeatHeader1 | bfRepeatHeader, 20, true}}) {
        SCOPED_TRACE(c.name);
        TComponent owner{nullptr};
        TListDataSet books{nullptr};
        books.FieldDefs().Add("Title", ftString, 40);
        books.FieldDefs().Add("Kind", ftString, 10);
        for (int i = 1; i <= 14; ++i) books.AddRow({"图书" + std::to_string(i), std::string("文学")});
        books.Open();
        TRMReport report{&owner};
        auto* rm = new TRMDBDataSet(&owner);
        rm->SetName("RMBooks");
        rm->SetDataSet(&books);
        TRMPage* page = report.Pages[0];
        auto* g = AddBand(report, page, bkGroupHeader, 80, 20, "[Kind]");
        g->Flags |= c.flags;
        AddMemo(report, page, 0, 80, "类：[Kind]", 150);
        auto* d = AddBand(report, page, bkMasterData, 110, 22, "RMBooks");
        d->Columns = 2;
        d->ColumnWidth = 300;
        d->ColumnGap = 20;
        d->LinesPerPage = 5;
        d->SetPropValue("PrintColFirst", false);
        AddMemo(report, page, 0, 110, "[Title]", 150);
        ASSERT_TRUE(report.PrepareReport());
        ASSERT_EQ(report.EMFPages.Count(), 2);
        auto texts = [&](int i) {
            std::vector<Placed> out;
            TRMPage* p = report.EMFPages.UnpackPage(i);
            for (auto& o : p->Objects) out.push_back({o->Memo.empty() ? "" : o->Memo[0], o->Top, o->Height});
            report.EMFPages.FreeUnpacked(i);
            return out;
        };
        auto p1 = texts(0), p2 = texts(1);
        ASSERT_FALSE(p1.empty());
        const int pageTop = p1[0].top; // the group header opens page 1
        EXPECT_EQ(p1[0].text, "类：文学");
        auto row11 = std::find_if(p2.begin(), p2.end(), [](auto& p) { return p.text == "图书11"; });
        ASSERT_NE(row11, p2.end());
        EXPECT_EQ(row11->top, pageTop + c.rowDrop);
        bool header = std::any_of(p2.begin(), p2.end(), [&](auto& p) { return p.text == "类：文学" && p.top == pageTop; });
        EXPECT_EQ(header, c.headerPrints);
    }
}

} // namespace
