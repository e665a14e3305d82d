// The pointer over the data grid's titles and indicator: columns selected
// by dragging along the strip at the foot of the titles (scrolling on past
// the edges), the arrows that show where a press selects, a column that
// follows the pointer while it is sized, and a column's own popup menu.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "GridFixture.h"
#include "Menus.h"
#include "TestKit.h"

namespace {

// Six narrow columns over the four fields, in a grid that shows four and a
// half of them, with room right of the grid for the pointer to go.
struct TitleForm : GridForm {
    TitleForm() : GridForm(30, 400, 240) {
        form.SetBounds(0, 0, 600, 420);
        grid->SetEnabled(false);
        const char* fields[] = {"Code", "BookName", "BookQty", "BookSum", "Code", "BookName"};
        for (int i = 0; i < 6; ++i) {
            TColumnEh* c = grid->Columns()->Add();
            c->SetFieldName(fields[i]);
            c->Title()->SetCaption(Format("列%d", i));
            c->SetWidth(80);
        }
        grid->SetOptions(with(grid->Options(), dgMultiSelect));
        grid->SetEnabled(true);
        ShowAndActivate(&form);
    }
    static TDBGridOptions with(TDBGridOptions o, TDBGridOption x) { return o << x; }
    TRect title(int dataCol) const { return grid->CellRect(grid->IndicatorOffset() + dataCol, 0); }
    // A point in the strip at the foot of a title, and one above it.
    TPoint strip(int dataCol) const { return {title(dataCol).Left + 20, title(dataCol).Bottom - 3}; }
    TPoint upper(int dataCol) const { return {title(dataCol).Left + 20, title(dataCol).Top + 2}; }
    // The record numbers of the selected records.
    std::vector<int> selectedRecords() {
        std::vector<int> r;
        const TBookmark back = ds->GetBookmark();
        for (int i = 0; i < grid->SelectedRows()->Count(); ++i) {
            ds->GotoBookmark(grid->SelectedRows()->BookmarkAt(i));
            r.push_back(ds->RecNo());
        }
        ds->GotoBookmark(back);
        return r;
    }
    TPoint indicator(int dataRow) const {
        const TRect r = grid->CellRect(0, grid->TitleOffset() + dataRow);
        return {r.Left + 4, r.Top + 3};
    }
    std::vector<int> selected() const {
        std::vector<int> r;
        TDBGridEhSelectionCols* cols = grid->Selection()->Columns();
        for (int i = 0; i < cols->Count(); ++i) r.push_back(cols->Items(i)->Index());
        return r;
    }
    void press(TPoint p, TShiftState shift = {}) { SendMouseDown(grid, p.X, p.Y, mbLeft, shift); }
    void drag(TPoint p) { SendMouseMove(grid, p.X, p.Y, TShiftState{ssLeft}); }
    void release(TPoint p, TShiftState shift = {}) { SendMouseUp(grid, p.X, p.Y, mbLeft, shift); }
};

TEST(GridTitleDrag, theFootOfATitleShowsTheDownArrowAndTheIndicatorTheRightArrow) {
    TitleForm f;
    ASSERT_GT(f.title(1).Height(), TCustomDBGridEh::kColumnSelectZone + 4);
    struct Case {
        const char* where;
        TPoint at;
        TCursor cursor;
    } cases[] = {
        {"foot of a title", f.strip(1), DownCursorEh()},
        {"lowest pixel of a title", {f.strip(1).X, f.title(1).Bottom - 1}, DownCursorEh()},
        {"seven pixels up", {f.strip(1).X, f.title(1).Bottom - TCustomDBGridEh::kColumnSelectZone}, DownCursorEh()},
        {"eight pixels up", {f.strip(1).X, f.title(1).Bottom - TCustomDBGridEh::kColumnSelectZone - 1}, crDefault},
        {"upper title", f.upper(1), crDefault},
        {"indicator of a record", {4, f.grid->CellRect(0, f.grid->TitleOffset() + 2).Top + 4}, RightCursorEh()},
        {"data cell", {f.strip(1).X, f.grid->CellRect(2, f.grid->TitleOffset() + 2).Top + 4}, crDefault},
        {"title line", {f.title(1).Right, f.title(1).Bottom - 3}, crHSplit},
    };
    for (const Case& c : cases) {
        SendMouseMove(f.grid, c.at.X, c.at.Y);
        EXPECT_EQ(f.grid->Cursor(), c.cursor) << c.where;
    }
    // A grid that may not select columns keeps the plain pointer there.
    f.grid->SetAllowedSelections({gstRecordBookmarks, gstRectangle, gstAll});
    SendMouseMove(f.grid, f.upper(1).X, f.upper(1).Y);
    SendMouseMove(f.grid, f.strip(1).X, f.strip(1).Y);
    EXPECT_EQ(f.grid->Cursor(), crDefault);
}

TEST(GridTitleDrag, draggingAlongTheTitlesSelectsTheColumnsPassedAndGivesBackTheOnesLeft) {
    TitleForm f;
    int titleClicks = 0;
    f.grid->OnTitleClick = [&](TColumnEh*) { ++titleClicks; };
    f.press(f.strip(0));
    EXPECT_EQ(f.grid->Selection()->Kind(), gstColumns);
    EXPECT_EQ(f.selected(), (std::vector<int>{0}));
    f.drag(f.strip(2));
    EXPECT_EQ(f.selected(), (std::vector<int>{0, 1, 2}));
    // Below the grid the drag still follows the titles.
    f.drag({f.strip(3).X, f.grid->ClientHeight() + 30});
    EXPECT_EQ(f.selected(), (std::vector<int>{0, 1, 2, 3}));
    f.drag(f.strip(1));
    EXPECT_EQ(f.selected(), (std::vector<int>{0, 1}));
    f.release(f.strip(1));
    EXPECT_EQ(f.selected(), (std::vector<int>{0, 1}));
    EXPECT_FALSE(f.grid->AutoScrollTimerOn());
    EXPECT_EQ(titleClicks, 0);
    // After the release the pointer selects nothing more.
    SendMouseMove(f.grid, f.strip(3).X, f.strip(3).Y);
    EXPECT_EQ(f.selected(), (std::vector<int>{0, 1}));
    // A Ctrl press adds a column to the others; a plain one starts afresh.
    f.press(f.strip(3), TShiftState{ssCtrl});
    f.release(f.strip(3), TShiftState{ssCtrl});
    EXPECT_EQ(f.selected(), (std::vector<int>{0, 1, 3}));
    f.press(f.strip(2));
    f.release(f.strip(2));
    EXPECT_EQ(f.selected(), (std::vector<int>{2}));
    // The upper part of a title stays a title press, also with Ctrl.
    SendClick(f.grid, f.upper(0).X, f.upper(0).Y);
    EXPECT_EQ(titleClicks, 1);
    f.press(f.upper(0), TShiftState{ssCtrl});
    f.release(f.upper(0), TShiftState{ssCtrl});
    EXPECT_EQ(titleClicks, 2);
    EXPECT_EQ(f.selected(), (std::vector<int>{2}));
}

TEST(GridTitleDrag, shiftExtendsFromTheAnchorAndShrinkingBackRestoresTheColumns) {
    TitleForm f;
    struct Step {
        int column;
        TShiftState shift;
        std::vector<int> expected;
    } steps[] = {
        {1, {}, {1}},
        {4, TShiftState{ssShift}, {1, 2, 3, 4}},
        {2, TShiftState{ssShift}, {1, 2}},
        {0, TShiftState{ssShift}, {0, 1}},  // past the anchor to the other side
        {4, TShiftState{ssCtrl}, {0, 1, 4}},  // a new anchor, selected
        {2, TShiftState{ssShift}, {0, 1, 2, 3, 4}},
        {1, TShiftState{ssCtrl}, {0, 2, 3, 4}},  // anchor 1, now not selected
        {3, TShiftState{ssShift}, {0, 4}},  // the range takes the anchor's state
        {2, TShiftState{ssShift}, {0, 3, 4}},  // and gives column 3 back
    };
    for (const Step& s : steps) {
        // Scrolled out of view columns come back for the press.
        f.grid->SetLeftCol(f.grid->IndicatorOffset() + std::max(0, s.column - 3));
        f.press(f.strip(s.column), s.shift);
        f.release(f.strip(s.column), s.shift);
        EXPECT_EQ(f.selected(), s.expected) << "column " << s.column;
    }
    // Ctrl on the last selected columns leaves none.
    for (int c : {0, 3, 4}) {
        f.grid->SetLeftCol(f.grid->IndicatorOffset() + std::max(0, c - 3));
        f.press(f.strip(c), TShiftState{ssCtrl});
        f.release(f.strip(c), TShiftState{ssCtrl});
    }
    EXPECT_EQ(f.grid->Selection()->Kind(), gstNon);
}

TEST(GridTitleDrag, pastTheRightEdgeTheTitlesScrollOneColumnAStepSoonerTheFurtherOut) {
    TitleForm f;
    const int left = f.grid->LeftCol();
    f.press(f.strip(2));
    const TRect area = f.grid->DataAreaRect();
    f.drag({area.Right + 5, f.strip(2).Y});
    EXPECT_EQ(f.grid->LeftCol(), left + 1);
    EXPECT_TRUE(f.grid->AutoScrollTimerOn());
    EXPECT_EQ(f.grid->AutoScrollInterval(), 150);
    EXPECT_EQ(f.selected().front(), 2);
    const int reached = f.selected().back();
    EXPECT_GT(reached, 3);
    // Further out, shorter pauses; the timer takes the rest of the columns.
    f.drag({area.Right + 15, f.strip(2).Y});
    for (int i = 0; i < 100 && f.grid->AutoScrollInterval() != 50; ++i) {
        ProcessEvents();
        Sleep(20);
    }
    EXPECT_EQ(f.grid->AutoScrollInterval(), 50);
    EXPECT_EQ(f.selected(), (std::vector<int>{2, 3, 4, 5}));
    // Back over the titles the selection follows the pointer again.
    f.drag(f.strip(4));
    EXPECT_EQ(f.selected(), (std::vector<int>{2, 3, 4}));
    // Left of the cells the view goes back.
    const int scrolled = f.grid->LeftCol();
    f.drag({2, f.strip(4).Y});
    EXPECT_EQ(f.grid->LeftCol(), scrolled - 1);
    EXPECT_EQ(f.grid->AutoScrollInterval(), 200 - 10 * (area.Left - 2));
    f.release({2, f.strip(4).Y});
    EXPECT_FALSE(f.grid->AutoScrollTimerOn());
    EXPECT_EQ(f.selected().back(), 2);
}

TEST(GridTitleDrag, aColumnSizedWithTracingFollowsThePointerAndEscPutsItBack) {
    struct Case {
        const char* name;
        bool trace;
        bool escape;
        int duringDrag;  // width while the button is still down
        int afterwards;
    } cases[] = {
        {"lineOnly", false, false, 80, 110},
        {"traced", true, false, 110, 110},
        {"tracedThenEsc", true, true, 110, 80},
    };
    for (const Case& c : cases) {
        TitleForm f;
        if (c.trace) f.grid->SetOptionsEh(f.grid->OptionsEh() << dghTraceColSizing);
        int changes = 0;
        f.grid->OnColWidthsChanged = [&](TObject*) { ++changes; };
        const TRect t = f.title(1);
        const int x = t.Right, y = t.Top + 4;
        SendMouseMove(f.grid, x, y);
        f.press({x, y});
        f.drag({x + 20, y});
        f.drag({x + 30, y});
        EXPECT_EQ(f.grid->Columns()->Items(1)->Width(), c.duringDrag) << c.name;
        EXPECT_EQ(changes > 0, c.trace) << c.name;
        if (c.escape) SendKey(f.grid, VK_ESCAPE);
        f.release({x + 30, y});
        EXPECT_EQ(f.grid->Columns()->Items(1)->Width(), c.afterwards) << c.name;
        EXPECT_EQ(f.grid->ColWidths(f.grid->IndicatorOffset() + 1), c.afterwards) << c.name;
        // Nothing of the press is left over: the next drag selects.
        f.press(f.strip(0));
        f.drag(f.strip(2));
        f.release(f.strip(2));
        EXPECT_EQ(f.selected(), (std::vector<int>{0, 1, 2})) << c.name;
    }
}

// A column dragged past its MaxWidth or below its MinWidth keeps the bound,
// and the grid shows the width the column keeps.
TEST(GridTitleDrag, aSizedColumnStopsAtItsMinAndMaxWidth) {
    struct Case {
        const char* name;
        int minWidth, maxWidth, by, expected;
    } cases[] = {
        {"wider than MaxWidth", 0, 100, 50, 100},
        {"narrower than MinWidth", 60, 0, -40, 60},
        {"within both", 60, 100, 10, 90},
    };
    for (const Case& c : cases) {
        TitleForm f;
        TColumnEh* col = f.grid->Columns()->Items(1);
        col->SetMinWidth(c.minWidth);
        col->SetMaxWidth(c.maxWidth);
        const TRect t = f.title(1);
        const int x = t.Right, y = t.Top + 4;
        SendMouseMove(f.grid, x, y);
        f.press({x, y});
        f.drag({x + c.by, y});
        f.release({x + c.by, y});
        EXPECT_EQ(col->Width(), c.expected) << c.name;
        EXPECT_EQ(f.grid->ColWidths(f.grid->IndicatorOffset() + 1), c.expected) << c.name;
    }
}

TEST(GridTitleDrag, aColumnsOwnMenuComesUpOverItsCellsInsteadOfTheGrids) {
    TitleForm f;
    auto* gridMenu = new TPopupMenu(&f.form);
    auto* gridItem = new TMenuItem(gridMenu);
    gridItem->SetCaption("刷新");
    gridMenu->Items()->Add(gridItem);
    f.grid->SetPopupMenu(gridMenu);
    auto* columnMenu = new TPopupMenu(&f.form);
    for (const char* caption : {"升序", "降序"}) {
        auto* item = new TMenuItem(columnMenu);
        item->SetCaption(caption);
        columnMenu->Items()->Add(item);
    }
    int chosen = 0;
    columnMenu->Items()->Items(1)->OnClick = [&](TObject*) { ++chosen; };
    f.grid->Columns()->Items(1)->SetPopupMenu(columnMenu);
    const TRect data = f.grid->CellRect(f.grid->IndicatorOffset() + 1, f.grid->TitleOffset() + 3);
    struct Case {
        const char* where;
        TPoint at;
        std::vector<std::string> menu;
    } cases[] = {
        {"title", f.upper(1), {"升序", "降序"}},
        {"data cell", {data.Left + 5, data.Top + 4}, {"升序", "降序"}},
        {"other column", {f.upper(0).X, data.Top + 4}, {"刷新"}},
    };
    for (const Case& c : cases) {
        SendClick(f.grid, c.at.X, c.at.Y, mbRight);
        EXPECT_EQ(OpenMenuCaptions(), c.menu) << c.where;
        SendKeyToMenu(VK_ESCAPE);
        ProcessEvents();
    }
    SendClick(f.grid, data.Left + 5, data.Top + 4, mbRight);
    ASSERT_EQ(OpenMenuCaptions(), (std::vector<std::string>{"升序", "降序"}));
    EXPECT_EQ(columnMenu->PopupComponent(), f.grid);
    ClickMenuItem("降序");
    EXPECT_EQ(chosen, 1);
    // Without automatic popup the grid's own menu serves that column too.
    columnMenu->SetAutoPopup(false);
    SendClick(f.grid, data.Left + 5, data.Top + 4, mbRight);
    EXPECT_EQ(OpenMenuCaptions(), (std::vector<std::string>{"刷新"}));
    SendKeyToMenu(VK_ESCAPE);
}

// The title cell over the indicator selects everything, and a press there
// while anything is selected clears it instead.
TEST(GridTitleDrag, theTopLeftCellSelectsAllOrClearsWhatIsSelected) {
    TitleForm f;
    const TRect corner = f.grid->CellRect(0, 0);
    auto pressCorner = [&] { SendClick(f.grid, corner.Left + 4, corner.Top + 4); };
    pressCorner();
    EXPECT_EQ(f.grid->Selection()->Kind(), gstAll);
    pressCorner();
    EXPECT_EQ(f.grid->Selection()->Kind(), gstNon);
    f.press(f.strip(1));
    f.release(f.strip(1));
    ASSERT_EQ(f.grid->Selection()->Kind(), gstColumns);
    pressCorner();
    EXPECT_EQ(f.grid->Selection()->Kind(), gstNon);
    EXPECT_EQ(f.selected(), (std::vector<int>{}));
    f.grid->SetAllowedSelections({gstRecordBookmarks, gstRectangle, gstColumns});
    pressCorner();
    EXPECT_EQ(f.grid->Selection()->Kind(), gstNon);
}

// On the indicator a plain press starts a new selection of records; Ctrl
// (or a grid that keeps its selection) turns one record in or out.
TEST(GridTitleDrag, aPlainPressOnTheIndicatorSelectsThatRecordAloneAndCtrlTogglesIt) {
    TitleForm f;
    auto pressIndicator = [&](int dataRow, TShiftState shift) {
        f.press(f.indicator(dataRow), shift);
        f.release(f.indicator(dataRow), shift);
    };
    auto selectedRecords = [&] { return f.selectedRecords(); };
    struct Step {
        int row;
        TShiftState shift;
        std::vector<int> records;
    } steps[] = {
        {1, {}, {2}},
        {3, TShiftState{ssCtrl}, {2, 4}},
        {5, {}, {6}},
        {5, {}, {6}},
        {5, TShiftState{ssCtrl}, {}},
    };
    for (const Step& s : steps) {
        pressIndicator(s.row, s.shift);
        EXPECT_EQ(selectedRecords(), s.records) << "row " << s.row;
    }
    f.grid->SetOptionsEh(f.grid->OptionsEh() >> dghClearSelection);
    pressIndicator(1, {});
    pressIndicator(2, {});
    EXPECT_EQ(selectedRecords(), (std::vector<int>{2, 3}));
}

// A title press that moves more than three pixels sideways drags the
// column instead of pressing the title; the right button drags columns too
// and presses no title.
TEST(GridTitleDrag, aTitleDraggedMovesItsColumnWithEitherButton) {
    struct Case {
        const char* name;
        TMouseButton button;
        int to;  // data column under the release, -1: the press's own
        int dx;  // with to -1: pixels moved sideways
        bool moved, clicked;
    } cases[] = {
        {"leftThreePixels", mbLeft, -1, 3, false, true},
        {"leftFourPixels", mbLeft, -1, 4, false, false},
        {"leftOntoColumnThree", mbLeft, 3, 0, true, false},
        {"rightOntoColumnThree", mbRight, 3, 0, true, false},
        {"rightClick", mbRight, -1, 0, false, false},
    };
    for (const Case& c : cases) {
        TitleForm f;
        TColumnEh* dragged = f.grid->Columns()->Items(1);
        dragged->Title()->SetTitleButton(true);
        int clicks = 0;
        f.grid->OnTitleBtnClick = [&](TObject*, int, TColumnEh*) { ++clicks; };
        std::pair<int, int> movedFromTo{-1, -1};
        f.grid->OnColumnMoved = [&](TObject*, int from, int to) { movedFromTo = {from, to}; };
        const TPoint from = f.upper(1);
        const TPoint to = c.to >= 0 ? f.upper(c.to) : TPoint{from.X + c.dx, from.Y};
        const TShiftState held{c.button == mbLeft ? ssLeft : ssRight};
        SendMouseDown(f.grid, from.X, from.Y, c.button);
        SendMouseMove(f.grid, (from.X + to.X) / 2, to.Y, held);
        SendMouseMove(f.grid, to.X, to.Y, held);
        SendMouseUp(f.grid, to.X, to.Y, c.button);
        EXPECT_EQ(clicks, c.clicked ? 1 : 0) << c.name;
        EXPECT_EQ(dragged->Index(), c.moved ? 3 : 1) << c.name;
        EXPECT_EQ(movedFromTo, c.moved ? std::make_pair(1, 3) : std::make_pair(-1, -1)) << c.name;
        EXPECT_FALSE(f.grid->MouseCapture()) << c.name;
        EXPECT_EQ(f.grid->GridState(), gsNormal) << c.name;
    }
}

// A Ctrl drag over the indicator turns the records passed as the press
// turned the pressed one; going back gives them the pressed one's old state.
TEST(GridTitleDrag, aCtrlDragOverTheIndicatorTurnsThePassedRecordsLikeThePressedOne) {
    TitleForm f;
    const TShiftState ctrl{ssCtrl};
    const TShiftState ctrlHeld{ssCtrl, ssLeft};
    f.press(f.indicator(1));
    SendMouseMove(f.grid, f.indicator(2).X, f.indicator(2).Y, TShiftState{ssLeft});
    f.release(f.indicator(2));
    ASSERT_EQ(f.selectedRecords(), (std::vector<int>{2, 3}));
    struct Step {
        const char* what;
        int pressRow;  // -1: the drag goes on
        int toRow;
        std::vector<int> records;
    } steps[] = {
        {"press 5 selects it", 4, 4, {2, 3, 5}},
        {"on to 8", -1, 7, {2, 3, 5, 6, 7, 8}},
        {"back to 6", -1, 5, {2, 3, 5, 6}},
        {"past the anchor to 3", -1, 2, {2, 3, 4, 5}},
        {"press 3 unselects it", 2, 2, {2, 4, 5}},
        {"up to 1", -1, 0, {4, 5}},
        {"down to 5, past 1 and 2 going back", -1, 4, {1, 2}},
    };
    for (const Step& s : steps) {
        if (s.pressRow >= 0) {
            f.release(f.indicator(s.pressRow), ctrl);
            f.press(f.indicator(s.pressRow), ctrl);
        }
        SendMouseMove(f.grid, f.indicator(s.toRow).X, f.indicator(s.toRow).Y, ctrlHeld);
        EXPECT_EQ(f.selectedRecords(), s.records) << s.what;
    }
    f.release(f.indicator(4), ctrl);
}

// A selected column that leaves the grid leaves the selection with it; the
// rest keep their order.
TEST(GridTitleDrag, aSelectedColumnThatLeavesTheGridLeavesTheSelection) {
    TitleForm f;
    f.press(f.strip(0));
    f.drag(f.strip(2));
    f.release(f.strip(2));
    ASSERT_EQ(f.selected(), (std::vector<int>{0, 1, 2}));
    f.grid->Columns()->Delete(1);
    EXPECT_EQ(f.selected(), (std::vector<int>{0, 1}));
    f.grid->Columns()->Delete(0);
    f.grid->Columns()->Delete(0);
    EXPECT_EQ(f.selected(), (std::vector<int>{}));
    EXPECT_EQ(f.grid->Selection()->Kind(), gstNon);
    // Shift from the anchor that left starts afresh at the clicked column.
    f.press(f.strip(1), TShiftState{ssShift});
    f.release(f.strip(1), TShiftState{ssShift});
    EXPECT_EQ(f.selected(), (std::vector<int>{1}));
}

TEST(GridTitleDrag, screenshotOfColumnsSelectedByDragging) {
    TitleForm f;
    f.press(f.strip(1));
    f.drag(f.strip(3));
    f.release(f.strip(3));
    ASSERT_EQ(f.selected(), (std::vector<int>{1, 2, 3}));
    SendMouseMove(f.grid, f.strip(2).X, f.strip(2).Y);
    EXPECT_TRUE(SaveFormPng(&f.form, std::string(BUILD_DIR) + "/test-output/screens/gridlib-columns-dragged.png"));
}

} // namespace
