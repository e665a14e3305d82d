// The data grid's geometry and mouse plumbing: a rectangle selection dragged
// past the data cells goes on by itself, faster the further out the pointer
// is; the data area holds the frozen columns; rows are sized only over the
// indicator.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "GridFixture.h"
#include "StdCtrls.h"
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

// Records dragged over on the indicator are selected from the pressed one;
// below the cells the grid goes on by itself, as a dragged rectangle does.
TEST(GridAutoScroll, recordsDraggedOverTheIndicatorAreSelectedAndBelowTheCellsTheGridGoesOn) {
    DragForm f;
    const TRect first = f.grid->CellRect(0, f.grid->TitleOffset() + 1);
    SendMouseDown(f.grid, first.Left + 4, first.Top + 3);
    EXPECT_EQ(f.ds->RecNo(), 2);
    EXPECT_EQ(f.grid->SelectedRows()->Count(), 1);
    const TRect fourth = f.grid->CellRect(0, f.grid->TitleOffset() + 4);
    SendMouseMove(f.grid, fourth.Left + 4, fourth.Top + 3, TShiftState{ssLeft});
    EXPECT_EQ(f.ds->RecNo(), 5);
    EXPECT_EQ(f.grid->SelectedRows()->Count(), 4);
    EXPECT_FALSE(f.grid->AutoScrollTimerOn());
    const TRect area = f.grid->DataAreaRect();
    SendMouseMove(f.grid, fourth.Left + 4, area.Bottom - 1 + 30, TShiftState{ssLeft});
    EXPECT_EQ(f.ds->RecNo(), 10); // 30 px: five records a step
    EXPECT_EQ(f.grid->SelectedRows()->Count(), 9);
    EXPECT_TRUE(f.grid->AutoScrollTimerOn());
    EXPECT_EQ(f.grid->AutoScrollInterval(), 10);
    for (int i = 0; i < 50 && f.ds->RecNo() < 20; ++i) {
        ProcessEvents();
        Sleep(20);
    }
    EXPECT_GE(f.ds->RecNo(), 20);
    SendMouseMove(f.grid, fourth.Left + 4, fourth.Top + 3, TShiftState{ssLeft});
    EXPECT_FALSE(f.grid->AutoScrollTimerOn());
    SendMouseUp(f.grid, fourth.Left + 4, fourth.Top + 3);
    const int selected = f.grid->SelectedRows()->Count();
    EXPECT_EQ(selected, f.ds->RecNo() - 1);
    // After the release moving the pointer selects nothing more.
    SendMouseMove(f.grid, first.Left + 4, first.Top + 3);
    EXPECT_EQ(f.grid->SelectedRows()->Count(), selected);
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


// Frozen columns are sized by their title lines: the zone round a frozen
// column's right edge, and, when the frozen columns reach past the window,
// the window's right edge for the column it cuts.
TEST(GridFrozenSizing, aFrozenColumnsTitleLineAndTheWindowEdgeSizeIt) {
    struct Case {
        const char* name;
        int column;      // the frozen column sized
        int widen;       // its width first, to overflow the window (0: as is)
        int fromRight;   // the press: this many pixels left of the zone's edge
        int drag;        // pixels the pointer moves
        bool atWindowEdge;
    } cases[] = {
        {"titleLine", 0, 0, 1, 30, false},
        {"zoneStartsThreePixelsBefore", 1, 0, 3, -40, false},
        {"windowEdgeSizesTheCutColumn", 1, 600, 2, -100, true},
    };
    for (const Case& c : cases) {
        DragForm f;
        f.grid->SetFrozenCols(2);
        if (c.widen) f.grid->Columns()->Items(c.column)->SetWidth(c.widen);
        ProcessEvents();
        const int raw = f.grid->IndicatorOffset() + c.column;
        const TRect title = f.grid->CellRect(raw, 0);
        const int edge = c.atWindowEdge ? f.grid->ClientWidth() : title.Right;
        const int x = edge - c.fromRight, y = title.Top + 4;
        int ofs = 0, pos = 0, idx = -1, st = 0;
        f.grid->FrozenSizingHitTest(x, y, ofs, pos, idx, st);
        EXPECT_EQ(st, 6) << c.name;
        EXPECT_EQ(idx, raw) << c.name;
        EXPECT_EQ(pos, edge) << c.name;
        EXPECT_EQ(ofs, c.fromRight) << c.name;
        // Not in the data rows, nor just outside the zone.
        f.grid->FrozenSizingHitTest(x, f.cell(c.column, 1).Top + 4, ofs, pos, idx, st);
        EXPECT_EQ(st, 0) << c.name;
        f.grid->FrozenSizingHitTest(edge - 4, y, ofs, pos, idx, st);
        EXPECT_EQ(st, 0) << c.name;
        // The drag sets the width.
        const int before = f.grid->Columns()->Items(c.column)->Width();
        const int left = title.Left;
        SendMouseMove(f.grid, x, y);
        EXPECT_TRUE(f.grid->OverFrozenSizingLine(x, y)) << c.name;
        SendMouseDown(f.grid, x, y);
        SendMouseMove(f.grid, x + c.drag, y, TShiftState{ssLeft});
        SendMouseUp(f.grid, x + c.drag, y);
        EXPECT_EQ(f.grid->Columns()->Items(c.column)->Width(), edge + c.drag - left) << c.name << " was " << before;
        EXPECT_FALSE(f.grid->Columns()->Items(c.column)->Title()->SortMarker() != smNoneEh) << c.name;
    }
}

// A press that loses the focus while the button is down ends without
// acting on it, and lets go of the mouse.
TEST(GridCancelMode, losingTheFocusEndsATitlePressASizingAndAnAutoScroll) {
    DragForm f;
    auto* other = new TEdit(&f.form);
    other->SetParent(&f.form);
    other->SetBounds(420, 10, 100, 22);
    TColumnEh* c = f.grid->Columns()->Items(1);
    c->Title()->SetTitleButton(true);
    int clicks = 0;
    f.grid->OnTitleBtnClick = [&](TObject*, int, TColumnEh*) { ++clicks; };
    f.grid->SetFrozenCols(1);
    const TRect title = f.grid->CellRect(f.grid->IndicatorOffset() + 1, 0);
    auto refocus = [&] {
        other->SetFocus();
        ProcessEvents();
        EXPECT_FALSE(f.grid->MouseCapture());
        f.grid->SetFocus();
        ProcessEvents();
    };
    // A title press.
    SendMouseDown(f.grid, title.Left + 10, title.Top + 4);
    EXPECT_TRUE(f.grid->MouseCapture());
    refocus();
    SendMouseUp(f.grid, title.Left + 10, title.Top + 4);
    EXPECT_EQ(clicks, 0);
    SendClick(f.grid, title.Left + 10, title.Top + 4); // a whole click still counts
    EXPECT_EQ(clicks, 1);
    // A frozen column's sizing.
    const TRect frozen = f.grid->CellRect(f.grid->IndicatorOffset(), 0);
    const int width = f.grid->Columns()->Items(0)->Width();
    SendMouseDown(f.grid, frozen.Right - 1, frozen.Top + 4);
    SendMouseMove(f.grid, frozen.Right + 40, frozen.Top + 4, TShiftState{ssLeft});
    refocus();
    SendMouseUp(f.grid, frozen.Right + 40, frozen.Top + 4);
    EXPECT_EQ(f.grid->Columns()->Items(0)->Width(), width);
    // A rectangle dragged below the cells.
    const TRect start = f.cell(1, 1);
    SendMouseDown(f.grid, start.Left + 5, start.Top + 3);
    SendMouseMove(f.grid, start.Left + 5, f.grid->DataAreaRect().Bottom + 30, TShiftState{ssLeft});
    EXPECT_TRUE(f.grid->AutoScrollTimerOn());
    refocus();
    EXPECT_FALSE(f.grid->AutoScrollTimerOn());
    const int recNo = f.ds->RecNo();
    SendMouseMove(f.grid, start.Left + 5, f.grid->DataAreaRect().Bottom + 30, TShiftState{ssLeft});
    EXPECT_EQ(f.ds->RecNo(), recNo);
    SendMouseUp(f.grid, start.Left + 5, f.grid->DataAreaRect().Bottom + 30);
}

// A flat grid's border is a 1-pixel edge outside the cells: the cells get
// the pixel the 3-D border gave up on every side.
TEST(GridGeometry, aFlatGridsBorderIsOnePixelOutsideTheCells) {
    DragForm f;
    const int w = f.grid->ClientWidth(), h = f.grid->ClientHeight();
    EXPECT_EQ(f.grid->FlatBorderWidth(), 0);
    f.grid->SetFlat(true);
    ProcessEvents();
    EXPECT_EQ(f.grid->FlatBorderWidth(), 1);
    EXPECT_EQ(f.grid->ClientWidth(), w + 2);
    EXPECT_EQ(f.grid->ClientHeight(), h + 2);
    EXPECT_TRUE(SaveFormPng(&f.form, std::string(BUILD_DIR) + "/test-output/screens/gridlib-flat-border.png"));
    f.grid->SetBorderStyle(bsNone);
    EXPECT_EQ(f.grid->FlatBorderWidth(), 0);
    f.grid->SetFlat(false);
    f.grid->SetBorderStyle(bsSingle);
    ProcessEvents();
    EXPECT_EQ(f.grid->ClientWidth(), w);
}

} // namespace
