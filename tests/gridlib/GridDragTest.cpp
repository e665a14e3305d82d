// A data grid that drags automatically and selects several things: a press
// on the selection drags it away on the next move, a press elsewhere still
// selects, and a press on the selection that does not move is a click.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "ExtCtrls.h"
#include "GridFixture.h"
#include "TestKit.h"

namespace {

struct DragGridForm : GridForm {
    TPanel* bin = nullptr;
    TObject* dropped = nullptr;
    int ended = 0;
    DragGridForm() : GridForm(12, 400, 240) {
        form.SetBounds(0, 0, 560, 300);
        queryColumns();
        TDBGridOptions o = grid->Options();
        o << dgMultiSelect;
        grid->SetOptions(o);
        grid->SetDragMode(dmAutomatic);
        grid->OnEndDrag = [this](TObject*, TObject*, int, int) { ++ended; };
        bin = new TPanel(&form);
        bin->SetParent(&form);
        bin->SetBounds(420, 20, 100, 100);
        bin->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
        bin->OnDragDrop = [this](TObject*, TObject* src, int, int) { dropped = src; };
        ShowAndActivate(&form);
    }
    TRect cell(int dataCol, int dataRow) {
        return grid->CellRect(grid->IndicatorOffset() + dataCol, grid->TitleOffset() + dataRow);
    }
    TPoint inBin() { return grid->ScreenToClient(bin->ClientToScreen({40, 40})); }
};

TEST(GridDrag, aPressOnSelectedRecordsDragsThemAndElsewhereSelectsAsEver) {
    DragGridForm f;
    // Records 2 and 3 by their indicator; no drag begins there either.
    for (int row : {1, 2}) {
        const TRect r = f.grid->CellRect(0, f.grid->TitleOffset() + row);
        SendMouseDown(f.grid, r.Left + 4, r.Top + 3, mbLeft, TShiftState{ssCtrl});
        SendMouseUp(f.grid, r.Left + 4, r.Top + 3, mbLeft, TShiftState{ssCtrl});
    }
    ASSERT_EQ(f.grid->SelectedRows()->Count(), 2);
    EXPECT_FALSE(f.grid->Dragging());
    // A press on a cell of a selected record, a move: the drag runs.
    const TRect selected = f.cell(1, 2);
    SendMouseDown(f.grid, selected.Left + 5, selected.Top + 3);
    EXPECT_EQ(f.ds->RecNo(), 3);
    EXPECT_FALSE(f.grid->Dragging());
    SendMouseMove(f.grid, selected.Left + 6, selected.Top + 3, TShiftState{ssLeft});
    EXPECT_TRUE(f.grid->Dragging());
    SendMouseMove(f.grid, f.inBin().X, f.inBin().Y, TShiftState{ssLeft});
    SendMouseUp(f.grid, f.inBin().X, f.inBin().Y);
    EXPECT_EQ(f.dropped, f.grid);
    EXPECT_EQ(f.ended, 1);
    EXPECT_EQ(f.grid->SelectedRows()->Count(), 2); // the dragged records stay selected
    // A press on a record not selected drags nothing: it selects.
    const TRect plain = f.cell(1, 5), below = f.cell(2, 7);
    SendMouseDown(f.grid, plain.Left + 5, plain.Top + 3);
    SendMouseMove(f.grid, below.Left + 5, below.Top + 3, TShiftState{ssLeft});
    EXPECT_FALSE(f.grid->Dragging());
    SendMouseUp(f.grid, below.Left + 5, below.Top + 3);
    EXPECT_EQ(f.grid->Selection()->Kind(), gstRectangle);
    EXPECT_EQ(f.ended, 1);
}

TEST(GridDrag, aPressOnTheSelectionThatDoesNotMoveIsAClickThatClearsIt) {
    DragGridForm f;
    const TRect from = f.cell(0, 1), to = f.cell(1, 3);
    SendMouseDown(f.grid, from.Left + 5, from.Top + 3);
    SendMouseMove(f.grid, to.Left + 5, to.Top + 3, TShiftState{ssLeft});
    SendMouseUp(f.grid, to.Left + 5, to.Top + 3);
    ASSERT_EQ(f.grid->Selection()->Kind(), gstRectangle);
    TColumnEh* clicked = nullptr;
    f.grid->OnCellClick = [&](TColumnEh* c) { clicked = c; };
    const TRect inside = f.cell(0, 2);
    SendClick(f.grid, inside.Left + 5, inside.Top + 3);
    EXPECT_FALSE(f.grid->Dragging());
    EXPECT_EQ(f.grid->Selection()->Kind(), gstNon);
    EXPECT_EQ(f.ds->RecNo(), 3);
    EXPECT_EQ(clicked, f.grid->Columns()->Items(0));
    EXPECT_EQ(f.ended, 0);
}

} // namespace
