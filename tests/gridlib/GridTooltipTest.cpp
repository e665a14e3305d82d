// Tooltips of the data grid: the whole text of a cell or title that does
// not fit shows at once when the pointer rests on it, a text that fits shows
// none, a title's own hint shows its short part, and a press hides it.
#include <gtest/gtest.h>

#include <chrono>

#include "support/TestNames.h"

#include "GridFixture.h"
#include "TestKit.h"

namespace {

class GridTooltipTest : public ::testing::Test {
protected:
    GridForm f{5};
    TColumnEh* code = nullptr;
    TColumnEh* name = nullptr;
    void SetUp() override {
        f.grid->SetEnabled(false);
        code = f.grid->Columns()->Add();
        code->SetFieldName("Code");
        code->SetWidth(120);
        name = f.grid->Columns()->Add();
        name->SetFieldName("BookName");
        name->SetWidth(30); // far too narrow for "图书3"
        name->Title()->SetCaption("一个很长很长的书名标题");
        f.grid->SetEnabled(true);
        ShowAndActivate(&f.form);
    }
    // The middle of the cell of column c (0-based) in data row r.
    TPoint cellMiddle(int c, int r) {
        const TRect cell = f.grid->CellRect(f.grid->IndicatorOffset() + c, f.grid->TitleOffset() + r);
        return {(cell.Left + cell.Right) / 2, (cell.Top + cell.Bottom) / 2};
    }
    bool tipShown() { return f.grid->TooltipWindow() && f.grid->TooltipWindow()->Visible(); }
};

TEST_F(GridTooltipTest, aCellTooNarrowForItsTextShowsItWholeAndOneThatFitsShowsNothing) {
    name->SetToolTips(true);
    code->SetToolTips(true);
    TPoint p = cellMiddle(1, 2);
    SendMouseMove(f.grid, p.X, p.Y);
    ASSERT_TRUE(tipShown());
    EXPECT_EQ(f.grid->TooltipWindow()->GetText(), "图书3");
    // Left-aligned: the text stands over the cell, one pixel left of it.
    const TRect cell = f.grid->CellRect(f.grid->IndicatorOffset() + 1, f.grid->TitleOffset() + 2);
    const TPoint at = f.grid->ClientToScreen(TPoint{cell.Left - 1, cell.Top - 1});
    EXPECT_EQ(f.grid->TooltipWindow()->Left(), at.X);
    EXPECT_EQ(f.grid->TooltipWindow()->Top(), at.Y);
    // "B003" fits its 120 pixels.
    p = cellMiddle(0, 2);
    SendMouseMove(f.grid, p.X, p.Y);
    EXPECT_FALSE(tipShown());
    // A press hides it.
    p = cellMiddle(1, 1);
    SendMouseMove(f.grid, p.X, p.Y);
    ASSERT_TRUE(tipShown());
    EXPECT_EQ(f.grid->TooltipWindow()->GetText(), "图书2");
    SendMouseDown(f.grid, p.X, p.Y);
    SendMouseUp(f.grid, p.X, p.Y);
    EXPECT_FALSE(tipShown());
}

TEST_F(GridTooltipTest, withoutToolTipsNoCellShowsOneAndTitlesShowTheirHintOrWholeCaption) {
    TPoint p = cellMiddle(1, 0);
    SendMouseMove(f.grid, p.X, p.Y);
    EXPECT_FALSE(tipShown());
    const TRect title = f.grid->CellRect(f.grid->IndicatorOffset() + 1, 0);
    name->Title()->SetToolTips(true);
    SendMouseMove(f.grid, title.Left + 5, title.Top + 4);
    ASSERT_TRUE(tipShown());
    EXPECT_EQ(f.grid->TooltipWindow()->GetText(), "一个很长很长的书名标题");
    // (With no hint pause: the pause itself is the next test's.)
    const int pause = Application->HintPause();
    Application->SetHintPause(0);
    name->Title()->SetHint("书名|图书的正式名称");
    SendMouseMove(f.grid, title.Left + 6, title.Top + 5);
    SendMouseMove(f.grid, 2, 2); // off the title, then back
    SendMouseMove(f.grid, title.Left + 6, title.Top + 5);
    Application->SetHintPause(pause);
    ASSERT_TRUE(tipShown());
    EXPECT_EQ(f.grid->TooltipWindow()->GetText(), "书名");
}

TEST_F(GridTooltipTest, aTitlesOwnHintWaitsTheHintPauseWhileCutOffTextsShowAtOnce) {
    const int saved = Application->HintPause();
    struct Restore {
        int ms;
        ~Restore() { Application->SetHintPause(ms); }
    } restore{saved};
    Application->SetHintPause(150);
    name->Title()->SetToolTips(true);
    code->Title()->SetHint("编号|图书的条码");
    const TRect codeTitle = f.grid->CellRect(f.grid->IndicatorOffset(), 0);
    const TRect nameTitle = f.grid->CellRect(f.grid->IndicatorOffset() + 1, 0);
    auto waitFor = [&](int ms) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < until) {
            ProcessEvents();
            Sleep(10);
        }
    };
    SendMouseMove(f.grid, codeTitle.Left + 5, codeTitle.Top + 4);
    EXPECT_FALSE(tipShown());
    waitFor(60);
    SendMouseMove(f.grid, codeTitle.Left + 7, codeTitle.Top + 4); // resting on it does not start again
    waitFor(250);
    ASSERT_TRUE(tipShown());
    EXPECT_EQ(f.grid->TooltipWindow()->GetText(), "编号");
    // The cut-off caption next to it comes at once.
    SendMouseMove(f.grid, nameTitle.Left + 5, nameTitle.Top + 4);
    ASSERT_TRUE(tipShown());
    EXPECT_EQ(f.grid->TooltipWindow()->GetText(), "一个很长很长的书名标题");
    // Leaving the hint's title before the pause ends shows nothing.
    SendMouseMove(f.grid, codeTitle.Left + 5, codeTitle.Top + 4);
    EXPECT_FALSE(tipShown());
    const TPoint data = cellMiddle(0, 1);
    SendMouseMove(f.grid, data.X, data.Y);
    waitFor(250);
    EXPECT_FALSE(tipShown());
}

TEST_F(GridTooltipTest, theMeasureCountsLinesWhenWrapping) {
    f.grid->TooltipFont()->Assign(f.grid->Font());
    const int h = f.grid->Canvas()->TextHeight("Wg");
    struct Case {
        const char* text;
        int width, height;
        bool wrap, exceeds;
    } cases[] = {
        {"短", 100, h + 4, false, false},
        {"一本很长很长很长很长的书名", 40, h + 4, false, true},
        {"一本很长很长很长很长的书名", 40, 20 * h, true, false},
        {"一本很长很长很长很长的书名", 40, h + 4, true, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(f.grid->TextExceedsCell(c.text, TRect{0, 0, c.width, c.height}, c.wrap), c.exceeds)
            << c.text << " " << c.width << "x" << c.height;
}

} // namespace
