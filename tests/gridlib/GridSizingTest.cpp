// The data grid's geometry and mouse plumbing: a rectangle selection dragged
// past the data cells goes on by itself, faster the further out the pointer
// is; the data area holds the frozen columns; rows are sized only over the
// indicator.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "GridFixture.h"
#include "TestKit.h"

namespace {

struct DragForm : GridForm {
    DragForm() : GridForm(200, 400, 240) {
        // Room below and right of the grid for the pointer to go.
        form.SetBounds(0, 0, 600, 420);
        queryColumns();
        TDBGridOptions o = grid->Options();
        o << dgMultiSelect;
        grid->SetOptions(o);
        ShowAndActivate(&form);
    }
    TRect cell(int dataCol, int dataRow) {
        return grid->CellRect(grid->IndicatorOffset() + dataCol, grid->TitleOffset() + dataRow);
    }
};

TEST(GridAutoScroll, aRectangleDraggedBelowTheCellsStepsBySixthsOfTheDistanceUpToEight) {
    struct Case {
        int below, records, interval;
    } cases[] = {
        {3, 0, 155},  // within the first six pixels: no record yet, the timer waits
        {6, 1, 110},  // 200 - 15 x 6
        {30, 5, 10},  // 200 - 450 would be no pause at all: the floor
        {90, 8, 10},  // the step's cap
    };
    for (const Case& c : cases) {
        DragForm f;
        const TRect start = f.cell(1, 1);
        SendMouseDown(f.grid, start.Left + 5, start.Top + 3);
        ASSERT_EQ(f.ds->RecNo(), 2);
        const TRect area = f.grid->DataAreaRect();
        SendMouseMove(f.grid, start.Left + 5, area.Bottom - 1 + c.below, TShiftState{ssLeft});
        EXPECT_EQ(f.ds->RecNo(), 2 + c.records) << c.below;
        EXPECT_TRUE(f.grid->AutoScrollTimerOn()) << c.below;
        EXPECT_EQ(f.grid->AutoScrollInterval(), c.interval) << c.below;
        EXPECT_EQ(f.grid->Selection()->Kind(), c.records ? gstRectangle : gstNon) << c.below;
        if (c.records) {
            TBookmark top, bottom;
            int left, right;
            ASSERT_TRUE(f.grid->Selection()->Rect()->BoxRect(left, top, right, bottom));
            EXPECT_EQ(bottom, f.ds->GetBookmark()) << c.below;
            EXPECT_EQ(left, 1);
            EXPECT_EQ(right, 1);
        }
        // Back over the cells the scrolling stops; so does the release.
        SendMouseMove(f.grid, start.Left + 5, start.Top + 3, TShiftState{ssLeft});
        EXPECT_FALSE(f.grid->AutoScrollTimerOn()) << c.below;
        EXPECT_EQ(f.grid->AutoScrollInterval(), -1);
        SendMouseMove(f.grid, start.Left + 5, area.Bottom + 40, TShiftState{ssLeft});
        EXPECT_TRUE(f.grid->AutoScrollTimerOn());
        SendMouseUp(f.grid, start.Left + 5, area.Bottom + 40);
        EXPECT_FALSE(f.grid->AutoScrollTimerOn());
    }
}

TEST(GridAutoScroll, aRectangleDraggedPastTheRightEdgeTakesTheNextColumnAndKeepsGoing) {
    DragForm f;
    const TRect start = f.cell(0, 2);
    SendMouseDown(f.grid, start.Left + 5, start.Top + 3);
    const TRect area = f.grid->DataAreaRect();
    SendMouseMove(f.grid, area.Right + 5, start.Top + 3, TShiftState{ssLeft});
    EXPECT_EQ(f.grid->SelectedIndex(), 1); // one column on at once
    EXPECT_EQ(f.grid->AutoScrollInterval(), 200 - 15 * 5);
    // The timer takes further columns while the pointer stays out there.
    for (int i = 0; i < 50 && f.grid->SelectedIndex() < 3; ++i) {
        ProcessEvents();
        Sleep(20);
    }
    EXPECT_EQ(f.grid->SelectedIndex(), 3);
    SendMouseUp(f.grid, area.Right + 5, start.Top + 3);
    TBookmark top, bottom;
    int left, right;
    ASSERT_TRUE(f.grid->Selection()->Rect()->BoxRect(left, top, right, bottom));
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 3);
}

TEST(GridGeometry, theDataAreaStartsAfterTheIndicatorAndHoldsTheFrozenColumns) {
    DragForm f;
    f.grid->SetFrozenCols(1);
    const TRect area = f.grid->DataAreaRect();
    const TRect frozen = f.cell(0, 0);
    EXPECT_EQ(area.Left, frozen.Left);
    EXPECT_EQ(area.Top, frozen.Top);
    // Ends above the footers.
    EXPECT_LE(area.Bottom, f.grid->CellRect(1, f.grid->FirstFooterRow()).Top);
    EXPECT_GE(area.Bottom, f.cell(0, f.grid->VisibleDataRowCount() - 1).Bottom);
}

TEST(GridGeometry, copyingAScrollBarObjectHidesTheBarAndTurnsTrackingOn) {
    DragForm f;
    EXPECT_TRUE(f.grid->VertScrollBar()->IsShowing());
    EXPECT_TRUE(f.grid->HorzScrollBar()->IsShowing());
    TDBGridEhScrollBar model(f.grid, sbVertical);
    model.SetVisible(false);
    model.SetTracking(true);
    f.grid->SetVertScrollBar(&model);
    EXPECT_FALSE(f.grid->VertScrollBar()->Visible());
    EXPECT_TRUE(f.grid->VertScrollBar()->Tracking());
    EXPECT_FALSE(f.grid->VertScrollBar()->IsShowing());
    EXPECT_EQ(f.grid->ScrollBars(), ssHorizontal);
    // Auto-fitted columns take the horizontal bar away too.
    f.grid->SetAutoFitColWidths(true);
    EXPECT_EQ(f.grid->ScrollBars(), ssNone);
    f.grid->VertScrollBar()->SetVisible(true);
    EXPECT_EQ(f.grid->ScrollBars(), ssVertical);
}

TEST(GridGeometry, fittingRowsToTextRoundsHalfALineDownAndMoreUp) {
    GridForm f(5);
    ShowAndActivate(&f.form);
    TBitmap b;
    b.Canvas()->Font()->Assign(f.grid->Font());
    const int t = b.Canvas()->TextHeight("Wg");
    struct Case {
        int rowHeight, lines;
    } cases[] = {
        {3 + 2 * t + t / 2, 2},     // two and a half lines: two
        {3 + 2 * t + t / 2 + 1, 3}, // a little more: three
        {3 + t / 2, 1},             // under one line: one
        {3 + t, 1},
    };
    for (const Case& c : cases) {
        f.grid->SetOptionsEh(TDBGridEhOptions{});
        f.grid->SetRowLines(0);
        f.grid->SetRowHeight(c.rowHeight);
        TDBGridEhOptions eh = f.grid->OptionsEh();
        f.grid->SetOptionsEh(eh << dghFitRowHeightToText);
        EXPECT_EQ(f.grid->RowLines(), c.lines) << c.rowHeight;
        EXPECT_EQ(f.grid->RowHeights(f.grid->TitleOffset()), c.lines * t + 3) << c.rowHeight;
    }
}

} // namespace
