// What the keys select in the data grid: Shift with the row keys (arrows,
// pages, Ctrl+Home/End) stretches a rectangle of cells, Shift with the
// column keys (Left, Right, Home, End) stretches it sideways, and with
// whole rows selected the same keys select records. A plain move drops the
// selection unless the grid keeps it. Every key goes through the window
// system.
#include <gtest/gtest.h>

#include <vector>

#include "support/TestNames.h"

#include "GridSelectFixture.h"

namespace {

struct Stroke {
    Word key;
    TShiftState shift{};
};

enum GridSetup { multiSelect, rowSelect, noRectangles, keepsSelection, noMultiSelect };

constexpr int kPage = -100; // a record number: the pressed one plus a page of rows

TEST(GridKeySelect, shiftWithTheMovingKeysStretchesARectangleOrSelectsRecords) {
    const TShiftState shift{ssShift}, shiftCtrl{ssShift, ssCtrl};
    struct Case {
        const char* what;
        GridSetup setup;
        int col, row;                 // the cell clicked first (visible data row)
        std::vector<Stroke> strokes;
        TDBGridEhSelectionType kind;
        CellBox box{-1, -1, -1, -1};  // data columns and record numbers
        std::set<int> records{};
        int currentCol, currentRec;
    } cases[] = {
        {"Shift+Down twice", multiSelect, 1, 1, {{VK_DOWN, shift}, {VK_DOWN, shift}}, gstRectangle, {1, 1, 2, 4},
         {}, 1, 4},
        {"Shift+Right, then Shift+Down", multiSelect, 1, 1, {{VK_RIGHT, shift}, {VK_DOWN, shift}}, gstRectangle,
         {1, 2, 2, 3}, {}, 2, 3},
        {"Shift+Left, then Shift+Up", multiSelect, 2, 4, {{VK_LEFT, shift}, {VK_UP, shift}}, gstRectangle,
         {1, 2, 4, 5}, {}, 1, 4},
        {"Shift+End to the last column", multiSelect, 1, 1, {{VK_END, shift}}, gstRectangle, {1, 3, 2, 2}, {}, 3, 2},
        {"Shift+Home to the first column", multiSelect, 2, 3, {{VK_HOME, shift}}, gstRectangle, {0, 2, 4, 4}, {}, 0,
         4},
        {"Shift+Ctrl+End to the last record", multiSelect, 1, 1, {{VK_END, shiftCtrl}}, gstRectangle,
         {1, 1, 2, 20}, {}, 1, 20},
        {"Shift+Ctrl+Home to the first record", multiSelect, 2, 3, {{VK_HOME, shiftCtrl}}, gstRectangle,
         {2, 2, 1, 4}, {}, 2, 1},
        {"Shift+PgDn a page down", multiSelect, 0, 0, {{VK_NEXT, shift}}, gstRectangle, {0, 0, 1, kPage}, {}, 0,
         kPage},
        {"Shift+Down and back up: one cell is no rectangle", multiSelect, 1, 1, {{VK_DOWN, shift}, {VK_UP, shift}},
         gstNon, {}, {}, 1, 2},
        {"a plain Down drops the rectangle", multiSelect, 1, 1, {{VK_DOWN, shift}, {VK_DOWN}}, gstNon, {}, {}, 1, 4},
        {"a plain Left drops it", multiSelect, 1, 1, {{VK_RIGHT, shift}, {VK_LEFT}}, gstNon, {}, {}, 1, 2},
        {"a plain End drops it", multiSelect, 1, 1, {{VK_DOWN, shift}, {VK_END}}, gstNon, {}, {}, 3, 3},
        {"Esc drops it", multiSelect, 1, 1, {{VK_DOWN, shift}, {VK_ESCAPE}}, gstNon, {}, {}, 1, 3},
        {"Tab drops it", multiSelect, 1, 1, {{VK_DOWN, shift}, {VK_TAB}}, gstNon, {}, {}, 2, 3},
        {"a grid that keeps its selection keeps it on a plain Down", keepsSelection, 1, 1,
         {{VK_DOWN, shift}, {VK_DOWN}}, gstRectangle, {1, 1, 2, 3}, {}, 1, 4},
        {"rows: Shift+Down selects records", rowSelect, 0, 1, {{VK_DOWN, shift}, {VK_DOWN, shift}},
         gstRecordBookmarks, {}, {2, 3, 4}, 0, 4},
        {"rows: Shift+Up back towards the anchor lets records go", rowSelect, 0, 3,
         {{VK_UP, shift}, {VK_UP, shift}, {VK_DOWN, shift}}, gstRecordBookmarks, {}, {3, 4}, 0, 3},
        {"rows: Shift+End selects to the last record", rowSelect, 0, 1, {{VK_END, shift}}, gstRecordBookmarks, {},
         {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}, 0, 20},
        {"rows: a plain Down drops the records", rowSelect, 0, 1, {{VK_DOWN, shift}, {VK_DOWN}}, gstNon, {}, {}, 0,
         4},
        {"no rectangles allowed: Shift+Down only moves", noRectangles, 1, 1, {{VK_DOWN, shift}}, gstNon, {}, {}, 1,
         3},
        {"no multi-select: Shift+Right only moves", noMultiSelect, 1, 1, {{VK_RIGHT, shift}, {VK_DOWN, shift}},
         gstNon, {}, {}, 2, 3},
    };
    for (const Case& c : cases) {
        SelectForm f(520, c.setup == rowSelect ? TDBGridOptions{dgRowSelect} : TDBGridOptions{});
        if (c.setup == noRectangles) f.grid->SetAllowedSelections({gstRecordBookmarks, gstColumns, gstAll});
        if (c.setup == keepsSelection) f.grid->SetOptionsEh(f.grid->OptionsEh() >> dghClearSelection);
        if (c.setup == noMultiSelect) f.grid->SetOptions(f.grid->Options() >> dgMultiSelect);
        f.click(c.col, c.row);
        const int page = c.row + 1 + f.grid->VisibleDataRowCount();
        auto rec = [&](int n) { return n == kPage ? page : n; };
        for (const Stroke& s : c.strokes) SendKey(f.grid, s.key, s.shift);
        ASSERT_EQ(f.grid->Selection()->Kind(), c.kind) << c.what;
        if (c.kind == gstRectangle) {
            EXPECT_EQ(f.box(), (CellBox{c.box.left, c.box.right, rec(c.box.top), rec(c.box.bottom)})) << c.what;
        }
        EXPECT_EQ(f.selectedRecords(), c.records) << c.what;
        EXPECT_EQ(f.grid->SelectedIndex(), c.currentCol) << c.what;
        EXPECT_EQ(f.ds->RecNo(), rec(c.currentRec)) << c.what;
    }
}

// A rectangle dragged with the mouse goes on growing from its anchor under
// Shift with the keys, and a plain press after the keys starts afresh.
TEST(GridKeySelect, theKeysStretchARectangleTheMouseBegan) {
    SelectForm f;
    f.drag(1, 1, 2, 3);
    ASSERT_EQ(f.box(), (CellBox{1, 2, 2, 4}));
    SendKey(f.grid, VK_DOWN, TShiftState{ssShift});
    SendKey(f.grid, VK_RIGHT, TShiftState{ssShift});
    EXPECT_EQ(f.box(), (CellBox{1, 3, 2, 5}));
    SendKey(f.grid, VK_HOME, TShiftState{ssShift});
    EXPECT_EQ(f.box(), (CellBox{0, 1, 2, 5}));
    f.click(3, 6);
    EXPECT_EQ(f.grid->Selection()->Kind(), gstNon);
    SendKey(f.grid, VK_UP, TShiftState{ssShift});
    EXPECT_EQ(f.box(), (CellBox{3, 3, 6, 7}));
}

} // namespace
