// What presses and drags select in the data grid: on data cells they make
// rectangles of cells (Shift stretches one, Ctrl anchors a new one), on the
// indicator (and on any cell with whole rows selected) they select records,
// one by one as the pointer passes them. Also: the titles drawn afresh when
// the view leaves or reaches the frozen columns. Every press goes through
// the window system.
#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "support/TestNames.h"

#include "GridSelectFixture.h"
#include "TestKit.h"

namespace {

const std::string kScreens = std::string(BUILD_DIR) + "/test-output/screens/";

// A press or a drag: on data column col (-1: the indicator) of data row
// row, dragged on to (toCol, toRow) when toCol is given.
struct Press {
    int col, row;
    TShiftState shift{};
    int toCol = INT_MIN, toRow = 0;
};

TEST(GridMouseSelect, pressesOnDataCellsMakeRectanglesAndOnTheIndicatorRecords) {
    const TShiftState shift{ssShift}, ctrl{ssCtrl};
    struct Case {
        const char* what;
        std::vector<Press> presses;
        TDBGridEhSelectionType kind;
        int left = 0, right = 0, top = 0, bottom = 0; // the rectangle: data columns, record numbers
        std::set<int> records{};
    } cases[] = {
        {"Shift stretches from the cell that was current", {{1, 1}, {3, 3, shift}}, gstRectangle, 1, 3, 2, 4},
        {"Shift again keeps the anchor", {{1, 1}, {3, 3, shift}, {0, 0, shift}}, gstRectangle, 0, 1, 1, 2},
        {"Ctrl on a cell anchors anew: one cell is no rectangle", {{1, 1}, {3, 3, shift}, {2, 2, ctrl}}, gstNon},
        {"Ctrl on a cell drops the records of the indicator", {{-1, 1, ctrl}, {-1, 2, ctrl}, {1, 4, ctrl}}, gstNon},
        {"Shift on a cell after records: from the current cell", {{-1, 1}, {2, 3, shift}}, gstRectangle, 0, 2, 2, 4},
        {"Ctrl and a drag", {{1, 1, ctrl, 2, 3}}, gstRectangle, 1, 2, 2, 4},
        {"a drag, then Shift goes on from its anchor", {{3, 4, {}, 2, 2}, {0, 6, shift}}, gstRectangle, 0, 3, 5, 7},
        {"Ctrl on the indicator turns records", {{-1, 1, ctrl}, {-1, 3, ctrl}, {-1, 1, ctrl}}, gstRecordBookmarks,
         0, 0, 0, 0, {4}},
        {"Shift on the indicator: the range", {{-1, 1}, {-1, 4, shift}}, gstRecordBookmarks, 0, 0, 0, 0,
         {2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        SelectForm f;
        for (const Press& p : c.presses)
            if (p.toCol == INT_MIN)
                f.click(p.col, p.row, p.shift);
            else
                f.drag(p.col, p.row, p.toCol, p.toRow, p.shift);
        ASSERT_EQ(f.grid->Selection()->Kind(), c.kind) << c.what;
        EXPECT_EQ(f.selectedRecords(), c.records) << c.what;
        if (c.kind != gstRectangle) continue;
        EXPECT_EQ(f.box(), (CellBox{c.left, c.right, c.top, c.bottom})) << c.what;
        // The current cell is where the last press or drag ended.
        const Press& last = c.presses.back();
        const bool dragged = last.toCol != INT_MIN;
        EXPECT_EQ(f.grid->SelectedIndex(), dragged ? last.toCol : last.col) << c.what;
        EXPECT_EQ(f.ds->RecNo(), (dragged ? last.toRow : last.row) + 1) << c.what;
    }
}

// A right press keeps the selection it lands on (for a menu over it) and
// drops one it misses.
TEST(GridMouseSelect, aRightPressKeepsTheSelectionUnderItAndDropsItElsewhere) {
    SelectForm f;
    f.click(1, 1);
    f.click(2, 3, TShiftState{ssShift});
    ASSERT_EQ(f.grid->Selection()->Kind(), gstRectangle);
    f.click(2, 2, {}, mbRight);
    EXPECT_EQ(f.grid->Selection()->Kind(), gstRectangle);
    f.click(3, 5, {}, mbRight);
    EXPECT_EQ(f.grid->Selection()->Kind(), gstNon);
}

// Where rectangles may not be made, Ctrl on a data cell leaves the records.
TEST(GridMouseSelect, withoutRectanglesCtrlOnACellLeavesTheRecords) {
    SelectForm f;
    f.grid->SetAllowedSelections({gstRecordBookmarks, gstColumns, gstAll});
    f.click(-1, 1, TShiftState{ssCtrl});
    f.click(-1, 2, TShiftState{ssCtrl});
    f.click(1, 4, TShiftState{ssCtrl});
    f.click(1, 5, TShiftState{ssShift});
    EXPECT_EQ(f.grid->Selection()->Kind(), gstRecordBookmarks);
    EXPECT_EQ(f.selectedRecords(), (std::set<int>{2, 3}));
}

// With whole rows selected every cell acts as the indicator does.
TEST(GridMouseSelect, withRowSelectPressesOnCellsSelectRecords) {
    SelectForm f(520, TDBGridOptions{dgRowSelect});
    f.click(1, 1);
    EXPECT_EQ(f.selectedRecords(), (std::set<int>{2}));
    f.click(2, 3, TShiftState{ssCtrl});
    EXPECT_EQ(f.selectedRecords(), (std::set<int>{2, 4}));
    f.click(0, 5, TShiftState{ssShift});
    EXPECT_EQ(f.selectedRecords(), (std::set<int>{4, 5, 6}));
    f.drag(1, 0, 3, 2);
    EXPECT_EQ(f.selectedRecords(), (std::set<int>{1, 2, 3}));
    EXPECT_EQ(f.grid->Selection()->Kind(), gstRecordBookmarks);
}

// A plain drag over the indicator selects each record the pointer reaches
// and lets go of each it leaves going back, past the pressed one too.
TEST(GridMouseSelect, aPlainDragOverTheIndicatorSelectsRecordByRecord) {
    SelectForm f;
    f.click(-1, 8, TShiftState{ssCtrl}); // dropped by the plain press below
    const TPoint press = f.at(-1, 3);
    SendMouseDown(f.grid, press.X, press.Y);
    EXPECT_EQ(f.selectedRecords(), (std::set<int>{4}));
    struct Step {
        int row;
        std::set<int> records;
    } steps[] = {
        {4, {4, 5}},
        {6, {4, 5, 6, 7}},
        {5, {4, 5, 6}},
        {1, {2, 3, 4}},
        {3, {4}},
    };
    for (const Step& s : steps) {
        const TPoint p = f.at(-1, s.row);
        SendMouseMove(f.grid, p.X, p.Y, TShiftState{ssLeft});
        EXPECT_EQ(f.selectedRecords(), s.records) << s.row;
        EXPECT_EQ(f.ds->RecNo(), s.row + 1);
    }
    const TPoint end = f.at(-1, 2);
    SendMouseMove(f.grid, end.X, end.Y, TShiftState{ssLeft});
    SendMouseUp(f.grid, end.X, end.Y);
    EXPECT_EQ(f.selectedRecords(), (std::set<int>{3, 4}));
}

// Shift on the indicator selects from the anchor; dragging on moves the
// range's end, to the anchor's other side too.
TEST(GridMouseSelect, afterAShiftPressOnTheIndicatorADragMovesTheRangesEnd) {
    SelectForm f;
    f.click(-1, 2);
    const TPoint press = f.at(-1, 5);
    SendMouseDown(f.grid, press.X, press.Y, mbLeft, TShiftState{ssShift});
    EXPECT_EQ(f.selectedRecords(), (std::set<int>{3, 4, 5, 6}));
    for (const auto& [row, records] : {std::pair{3, std::set<int>{3, 4}}, std::pair{0, std::set<int>{1, 2, 3}}}) {
        const TPoint p = f.at(-1, row);
        SendMouseMove(f.grid, p.X, p.Y, TShiftState{ssShift, ssLeft});
        EXPECT_EQ(f.selectedRecords(), records) << row;
    }
    SendMouseUp(f.grid, f.at(-1, 0).X, f.at(-1, 0).Y, mbLeft, TShiftState{ssShift});
    f.click(-1, 1, TShiftState{ssShift}); // the same anchor still
    EXPECT_EQ(f.selectedRecords(), (std::set<int>{2, 3}));
}

// The titles are drawn afresh when the view leaves the first scrolling
// column beside the frozen ones, and when it comes back: here the frozen
// title's colour tells which way the view stands.
TEST(GridMouseSelect, titlesAreRepaintedWhenTheViewLeavesOrReachesTheFrozenColumns) {
    SelectForm f(300);
    f.grid->SetFrozenCols(1);
    TColumnEh* frozen = f.grid->Columns()->Items(0);
    f.grid->OnGetBtnParams = [&](TObject*, TColumnEh* c, TFont*, TColor& bg, TSortMarkerEh&, bool) {
        if (c == frozen) bg = f.grid->LeftCol() > f.grid->FixedCols() ? clYellow : clWhite;
    };
    f.grid->Invalidate();
    const TRect t = f.grid->CellRect(f.grid->IndicatorOffset(), 0);
    auto shown = [&] {
        TBitmap b;
        EXPECT_TRUE(GrabShown(f.grid, &b));
        return b.Canvas()->Pixels(t.Left + 3, t.Top + t.Height() / 2);
    };
    EXPECT_EQ(shown(), ColorToRGB(clWhite));
    SendKey(f.grid, VK_END); // the last column: the view scrolls right
    ASSERT_GT(f.grid->LeftCol(), f.grid->FixedCols());
    EXPECT_EQ(shown(), ColorToRGB(clYellow));
    // Back, column by column, to the first one that scrolls.
    for (int i = 0; i < 5 && f.grid->LeftCol() > f.grid->FixedCols(); ++i) SendKey(f.grid, VK_LEFT);
    ASSERT_EQ(f.grid->LeftCol(), f.grid->FixedCols());
    EXPECT_EQ(shown(), ColorToRGB(clWhite));
}

TEST(GridMouseSelect, screenOfARectangleDraggedOverCells) {
    SelectForm f;
    f.click(0, 1);
    f.drag(1, 2, 2, 5, TShiftState{ssCtrl});
    ASSERT_EQ(f.grid->Selection()->Kind(), gstRectangle);
    EXPECT_TRUE(SaveFormPng(&f.form, kScreens + "gridlib-grid-rectangle-selection.png"));
}

} // namespace
