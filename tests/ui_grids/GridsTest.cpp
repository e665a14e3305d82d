// The grid base through TStringGrid in a real offscreen form: geometry with
// hidden columns, keyboard navigation, row select, column sizing by a mouse
// drag, the in-place editor, and the drawing order seen by the recorder.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "GridTestSupport.h"
#include "Metafile.h"
#include "TestKit.h"
#include "Canvas_p.h"

namespace {

class StringGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Title();
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 400, 300);
        grid = new TStringGrid(form);
        grid->SetName("Grid1");
        grid->SetParent(form);
        grid->SetBorderStyle(bsNone);
        grid->SetScrollBars(ssNone);
        grid->SetBounds(0, 0, 300, 200);
        grid->SetColCount(5);
        grid->SetRowCount(20);
        ShowAndActivate(form);
        grid->SetFocus();
        ProcessEvents();
    }
    void TearDown() override { delete form; }

    TForm* form = nullptr;
    TStringGrid* grid = nullptr;
};

// ---- geometry

struct HiddenColumnRow {
    const char* name;
    int width;    // of column 2
    int col3Left; // CellRect(3, 1).Left
};

class HiddenColumns : public StringGridTest, public ::testing::WithParamInterface<HiddenColumnRow> {};

TEST_P(HiddenColumns, columnsAfterTheHiddenOneMoveLeft) {
    const auto& p = GetParam();
    grid->SetColWidths(2, p.width);
    EXPECT_EQ(grid->CellRect(3, 1).Left, p.col3Left);
    EXPECT_EQ(grid->CellRect(3, 1).Right, p.col3Left + 64);
    EXPECT_EQ(grid->MouseCoord(p.col3Left + 1, 30), (TGridCoord{3, 1}));
}

INSTANTIATE_TEST_SUITE_P(Widths, HiddenColumns,
                         ::testing::Values(HiddenColumnRow{"shown", 64, 195},
                                           HiddenColumnRow{"zeroKeepsItsLine", 0, 131},
                                           HiddenColumnRow{"minusOneDropsItsLine", -1, 130}),
                         RowName());

TEST_F(StringGridTest, newGridHasClassLibraryDefaults) {
    EXPECT_EQ(grid->DefaultColWidth(), 64);
    EXPECT_EQ(grid->DefaultRowHeight(), 24);
    EXPECT_EQ(grid->FixedCols(), 1);
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->CellRect(1, 1), (TRect{65, 25, 129, 49}));
    EXPECT_EQ(grid->VisibleRowCount(), 7);
    EXPECT_EQ(grid->MouseCoord(299, 199), (TGridCoord{4, 7}));
    EXPECT_EQ(grid->MouseCoord(330, 10), (TGridCoord{-1, -1}));
}

TEST_F(StringGridTest, indexFaultsRaiseGridErrors) {
    try {
        grid->SetColWidths(5, 10);
        FAIL();
    } catch (const EInvalidGridOperation& e) {
        EXPECT_STREQ(e.what(), "Grid index out of range");
    }
    try {
        grid->SetFixedCols(5);
        FAIL();
    } catch (const EInvalidGridOperation& e) {
        EXPECT_STREQ(e.what(), "Fixed column count must be less than column count");
    }
    grid->SetColCount(0);
    EXPECT_EQ(grid->ColCount(), 1);
    EXPECT_EQ(grid->FixedCols(), 0);
}

// ---- keyboard

struct NavRow {
    const char* name;
    TGridOptions extra;
    Word key;
    TShiftState shift;
    int startCol, startRow;
    int col, row;
};

class Navigation : public StringGridTest, public ::testing::WithParamInterface<NavRow> {};

TEST_P(Navigation, keyMovesTheCurrentCell) {
    const auto& p = GetParam();
    grid->SetOptions(grid->Options() + p.extra);
    grid->SetCol(p.startCol);
    grid->SetRow(p.startRow);
    SendKey(grid, p.key, p.shift);
    EXPECT_EQ(grid->Col(), p.col);
    EXPECT_EQ(grid->Row(), p.row);
}

INSTANTIATE_TEST_SUITE_P(Keys, Navigation,
                         ::testing::Values(NavRow{"down", {}, VK_DOWN, {}, 1, 1, 1, 2},
                                           NavRow{"upStopsAtFixedRows", {}, VK_UP, {}, 1, 1, 1, 1},
                                           NavRow{"right", {}, VK_RIGHT, {}, 1, 1, 2, 1},
                                           NavRow{"endGoesToLastColumn", {}, VK_END, {}, 1, 1, 4, 1},
                                           NavRow{"homeGoesToFirstScrollingColumn", {}, VK_HOME, {}, 3, 1, 1, 1},
                                           NavRow{"ctrlEndGoesToLastCell", {}, VK_END, {ssCtrl}, 1, 1, 4, 19},
                                           NavRow{"ctrlHomeGoesToFirstCell", {}, VK_HOME, {ssCtrl}, 3, 5, 1, 1},
                                           NavRow{"pageDownMovesAPage", {}, VK_NEXT, {}, 1, 1, 1, 7},
                                           NavRow{"pageUpAtTopStays", {}, VK_PRIOR, {}, 1, 1, 1, 1},
                                           NavRow{"tabWrapsToNextRow", {goTabs}, VK_TAB, {}, 4, 1, 1, 2},
                                           NavRow{"shiftTabWrapsBack", {goTabs}, VK_TAB, {ssShift}, 1, 2, 4, 1},
                                           NavRow{"tabOnLastCellWrapsToFirst", {goTabs}, VK_TAB, {}, 4, 19, 1, 1},
                                           NavRow{"rowSelectRightKeepsColumn", {goRowSelect}, VK_RIGHT, {}, 1, 3, 1, 3},
                                           NavRow{"rowSelectEndGoesToLastRow", {goRowSelect}, VK_END, {}, 1, 3, 1, 19},
                                           NavRow{
                                               "rowSelectHomeGoesToFirstRow", {goRowSelect}, VK_HOME, {}, 1, 3, 1, 1}),
                         RowName());

TEST_F(StringGridTest, pageDownScrollsTheTopRow) {
    SendKey(grid, VK_NEXT);
    EXPECT_EQ(grid->TopRow(), 7);
    EXPECT_EQ(grid->Row(), 7);
    SendKey(grid, VK_END, {ssCtrl});
    EXPECT_EQ(grid->TopRow(), 13);
    EXPECT_EQ(grid->CellRect(4, 19).Bottom, 199);
}

TEST_F(StringGridTest, rowSelectSelectsWholeRowAndRightScrollsInstead) {
    grid->SetOptions(grid->Options() + TGridOptions{goRowSelect});
    grid->SetRow(4);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 4, 4, 4}));
    SendKey(grid, VK_RIGHT);
    EXPECT_EQ(grid->Col(), 1);
    EXPECT_EQ(grid->LeftCol(), 2);
    SendKey(grid, VK_DOWN);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 5, 4, 5}));
}

TEST_F(StringGridTest, shiftArrowExtendsTheRangeSelection) {
    grid->SetCol(1);
    grid->SetRow(1);
    SendKey(grid, VK_DOWN, {ssShift});
    SendKey(grid, VK_RIGHT, {ssShift});
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 2, 2}));
}

// ---- mouse

TEST_F(StringGridTest, draggingAColumnLineChangesItsWidth) {
    grid->SetOptions(grid->Options() + TGridOptions{goColSizing});
    // Column 1 spans 65..128; its line is at x = 129.
    Drag(grid, 129, 10, 149, 10);
    EXPECT_EQ(grid->ColWidths(1), 84);
    EXPECT_EQ(grid->CellRect(2, 1).Left, 150);
    EXPECT_EQ(grid->GridState(), gsNormal);
}

TEST_F(StringGridTest, columnSizedToOnePixelKeepsItsWidth) {
    grid->SetOptions(grid->Options() + TGridOptions{goColSizing});
    Drag(grid, 129, 10, 66, 10);
    EXPECT_EQ(grid->ColWidths(1), 64);
}

TEST_F(StringGridTest, draggingARowLineChangesItsHeight) {
    grid->SetOptions(grid->Options() + TGridOptions{goRowSizing});
    // Row 1 spans 25..48; its line is at y = 49.
    Drag(grid, 10, 49, 10, 59);
    EXPECT_EQ(grid->RowHeights(1), 34);
}

TEST_F(StringGridTest, clickSelectsTheCellUnderThePointer) {
    int clicks = 0;
    grid->OnClick = [&](TObject*) { ++clicks; };
    Press(grid, 200, 80);
    EXPECT_EQ(grid->Col(), 3);
    EXPECT_EQ(grid->Row(), 3);
    EXPECT_EQ(clicks, 1);
}

TEST_F(StringGridTest, draggingAcrossCellsSelectsARange) {
    Drag(grid, 70, 30, 200, 80);
    EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, 3}));
}

TEST_F(StringGridTest, draggingATitleMovesTheColumnWithItsCells) {
    grid->SetOptions(grid->Options() + TGridOptions{goColMoving});
    grid->SetCells(1, 0, "A");
    grid->SetCells(3, 0, "C");
    int from = -1, to = -1;
    grid->OnColumnMoved = [&](TObject*, int f, int t) {
        from = f;
        to = t;
    };
    Drag(grid, 80, 10, 210, 10);
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 3);
    EXPECT_EQ(grid->Cells(3, 0), "A");
    EXPECT_EQ(grid->Cells(2, 0), "C");
}

// ---- editing

TEST_F(StringGridTest, typingOpensTheEditorAndWritesTheCell) {
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    grid->SetCells(1, 1, "old");
    SendText(grid, "a");
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    EXPECT_TRUE(grid->InplaceEditor()->Visible());
    SendText(grid->InplaceEditor(), "b");
    EXPECT_EQ(grid->Cells(1, 1), "ab");
    SendKey(grid->InplaceEditor(), VK_RETURN);
    EXPECT_FALSE(grid->InplaceEditor()->Visible());
    EXPECT_EQ(grid->Cells(1, 1), "ab");
    SendKey(grid, VK_DOWN);
    EXPECT_EQ(grid->Row(), 2);
}

TEST_F(StringGridTest, downInTheEditorMovesToTheNextRow) {
    grid->SetOptions(grid->Options() + TGridOptions{goEditing, goAlwaysShowEditor});
    grid->SetCells(1, 2, "second");
    grid->SetEditorMode(true);
    SendKey(grid->InplaceEditor(), VK_DOWN);
    EXPECT_EQ(grid->Row(), 2);
    EXPECT_EQ(grid->InplaceEditor()->GetText(), "second");
}

// ---- painting

struct PaintRow {
    const char* name;
    int col1Width;
    std::vector<std::string> texts;
};

class PaintOrder : public ::testing::TestWithParam<PaintRow> {};

TEST_P(PaintOrder, cellsPaintAreaByAreaRowByRow) {
    const auto& p = GetParam();
    Application->Title();
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 300);
    auto* g = new TStringGrid(&form);
    g->SetParent(&form);
    g->SetBorderStyle(bsNone);
    g->SetScrollBars(ssNone);
    g->SetBounds(0, 0, 300, 200);
    g->SetColCount(3);
    g->SetRowCount(3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) g->SetCells(c, r, Format("%d,%d", c, r));
    g->SetColWidths(1, p.col1Width);
    ShowAndActivate(&form);
    std::vector<TMetafileRecord> records;
    CanvasSetRecorder(g->Canvas(), &records);
    g->Repaint();
    CanvasSetRecorder(g->Canvas(), nullptr);
    std::vector<std::string> texts;
    for (const auto& r : records) {
        if (r.Kind != mrText) continue;
        texts.push_back(r.Text);
        int c = 0, row = 0;
        sscanf(r.Text.c_str(), "%d,%d", &c, &row);
        const TRect cell = g->CellRect(c, row);
        ASSERT_FALSE(r.Points.empty());
        EXPECT_EQ(r.Points[0], (TPoint{cell.Left + 2, cell.Top + 2})) << r.Text;
    }
    EXPECT_EQ(texts, p.texts);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, PaintOrder,
    ::testing::Values(PaintRow{"allShown", 64, {"0,0", "1,0", "2,0", "0,1", "0,2", "1,1", "2,1", "1,2", "2,2"}},
                      PaintRow{"hiddenColumnNotPainted", 0, {"0,0", "2,0", "0,1", "0,2", "2,1", "2,2"}},
                      PaintRow{"hiddenWithoutLineNotPainted", -1, {"0,0", "2,0", "0,1", "0,2", "2,1", "2,2"}}),
    RowName());

} // namespace

namespace {

TEST_F(StringGridTest, editorTakesTheCellsEditMask) {
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    grid->OnGetEditMask = [](TObject*, int, int, std::string& mask) { mask = "0000;1;_"; };
    SendText(grid, "1");
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    SendText(grid->InplaceEditor(), "2x3");
    EXPECT_EQ(grid->InplaceEditor()->EditMask(), "0000;1;_");
    EXPECT_EQ(grid->Cells(1, 1).substr(0, 3), "123");
}

} // namespace
