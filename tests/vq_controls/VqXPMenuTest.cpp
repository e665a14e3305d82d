// The flat menu painter: which items it takes over, how it measures them,
// its colour arithmetic, and a painted menu looked at as a picture.
#include "vq/controls/VqXPMenu.h"

#include "Forms.h"
#include "Menus.h"
#include "SysUtils.h"
#include "support/TestNames.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

struct ColourRow {
    const char* name;
    TColor (*fn)(TColor, int);
    TColor in;
    int amount;
    TColor expected;
};

class XPColour : public ::testing::TestWithParam<ColourRow> {};

TEST_P(XPColour, followsTheChannelRule) {
    const ColourRow& r = GetParam();
    EXPECT_EQ(r.fn(r.in, r.amount), r.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, XPColour,
    ::testing::Values(ColourRow{"darkenKeepsGreenTwoLighter", XPDarken, RGB(100, 100, 100), 30, RGB(70, 72, 70)},
                      ColourRow{"darkenClamps", XPDarken, RGB(10, 10, 10), 50, RGB(0, 0, 0)},
                      ColourRow{"negativeDarkenLightens", XPDarken, RGB(100, 100, 100), -40, RGB(140, 142, 140)},
                      ColourRow{"lightenHalfWay", XPLighten, RGB(0, 100, 255), 50, RGB(128, 178, 255)},
                      ColourRow{"lightenCappedAtHundred", XPLighten, RGB(0, 0, 0), 150, RGB(255, 255, 255)},
                      ColourRow{"greyMeanPlusLevel", XPGrey, RGB(30, 60, 90), 10, RGB(70, 70, 70)},
                      ColourRow{"greyCappedAt240", XPGrey, RGB(250, 250, 250), 10, RGB(240, 240, 240)}),
    RowName());

class XPMenu : public ::testing::Test {
protected:
    TForm form{nullptr};
    TMainMenu* menu = new TMainMenu(&form);
    TMenuItem* top = new TMenuItem(&form);
    TMenuItem* add(const std::string& caption, const std::string& key = "") {
        auto* item = new TMenuItem(&form);
        item->SetCaption(caption);
        if (!key.empty()) item->SetShortCut(TextToShortCut(key));
        top->Add(item);
        return item;
    }
    void SetUp() override {
        top->SetCaption("系统");
        menu->Items()->Add(top);
    }
    static std::pair<int, int> measure(TVQXPMenu& xp, TMenuItem* item) {
        TBitmap b;
        b.SetSize(10, 10);
        int w = 0, h = 0;
        xp.MeasureItem(item, b.Canvas(), w, h);
        return {w, h};
    }
};

TEST_F(XPMenu, activeHooksEveryItemAndTheMenuDrawsItself) {
    TMenuItem* open = add("打开");
    TVQXPMenu xp(&form);
    xp.SetActive(true);
    EXPECT_TRUE(menu->OwnerDraw());
    EXPECT_TRUE(bool(open->OnDrawItem));
    EXPECT_TRUE(bool(open->OnMeasureItem));
    xp.SetActive(false);
    EXPECT_FALSE(bool(open->OnDrawItem));
    EXPECT_FALSE(menu->OwnerDraw());
}

TEST_F(XPMenu, tag999KeepsAnItemOrAWholeMainMenuOutOfTheHooks) {
    TMenuItem* own = add("自绘");
    own->SetTag(999);
    TMenuItem* other = add("其他");
    TVQXPMenu xp(&form);
    xp.SetActive(true);
    EXPECT_FALSE(bool(own->OnDrawItem));
    EXPECT_TRUE(bool(other->OnDrawItem));

    TForm second(nullptr);
    auto* kept = new TMainMenu(&second);
    kept->SetTag(999);
    auto* item = new TMenuItem(&second);
    item->SetCaption("x");
    kept->Items()->Add(item);
    TVQXPMenu xp2(&second);
    xp2.SetActive(true);
    EXPECT_FALSE(kept->OwnerDraw());
    EXPECT_FALSE(bool(item->OnDrawItem));
}

TEST_F(XPMenu, applicationDrawingStaysUnlessOverrideOwnerDraw) {
    TMenuItem* own = add("自绘");
    int ownDraws = 0;
    own->OnDrawItem = [&](TObject*, TCanvas*, TRect, bool) { ++ownDraws; };
    TVQXPMenu xp(&form);
    xp.SetActive(true);
    TBitmap b;
    b.SetSize(100, 20);
    own->OnDrawItem(own, b.Canvas(), Rect(0, 0, 100, 20), false);
    EXPECT_EQ(ownDraws, 1);
    xp.SetOverrideOwnerDraw(true);
    own->OnDrawItem(own, b.Canvas(), Rect(0, 0, 100, 20), false);
    EXPECT_EQ(ownDraws, 1) << "the painter took the item over at once";
}

TEST_F(XPMenu, separatorMeasuresFourPixelsHigh) {
    TMenuItem* line = add("-");
    TVQXPMenu xp(&form);
    xp.SetActive(true);
    xp.Font()->SetSize(20);
    EXPECT_EQ(measure(xp, line).second, 4);
}

TEST_F(XPMenu, ampersandMeasuresOneNarrowerAndShortcutAddsItsTextAndWWW) {
    TMenuItem* plain = add("Exit");
    TMenuItem* amp = add("E&xit");
    TMenuItem* keyed = add("Exit", "Ctrl+F2");
    TVQXPMenu xp(&form);
    xp.SetActive(true);
    TBitmap b;
    b.SetSize(10, 10);
    b.Canvas()->SetFont(xp.Font());
    const int plainW = measure(xp, plain).first;
    EXPECT_EQ(plainW, b.Canvas()->TextWidth("Exit") + 5 + xp.IconWidth());
    EXPECT_EQ(measure(xp, amp).first, b.Canvas()->TextWidth("E&xit") - b.Canvas()->TextWidth("&") + 5 + 24);
    EXPECT_EQ(measure(xp, keyed).first, b.Canvas()->TextWidth("ExitCtrl+F2WWW") + 5 + 24);
    const int th = b.Canvas()->TextHeight("W");
    EXPECT_EQ(measure(xp, plain).second, th + int(std::lround(0.75 * th)));
}

TEST_F(XPMenu, systemColoursIgnoreTheColourProperties) {
    TVQXPMenu xp(&form);
    xp.SetColor(clRed);
    xp.DerivePalette();
    EXPECT_EQ(xp.CurrentPalette().face, XPLighten(clBtnFace, 86));
    xp.SetUseSystemColors(false);
    xp.DerivePalette();
    EXPECT_EQ(xp.CurrentPalette().face, clRed);
}

TEST_F(XPMenu, paintedItemsShowFaceIconColumnSelectionAndShortcut) {
    add("借书登记", "F2");
    TMenuItem* selected = add("还书登记", "F3");
    add("-");
    TMenuItem* checked = add("显示状态栏");
    checked->SetChecked(true);
    TMenuItem* disabled = add("权限设置");
    disabled->SetEnabled(false);
    TVQXPMenu xp(&form);
    xp.SetActive(true);
    TBitmap b;
    b.SetSize(220, 1);
    int y = 0;
    std::vector<std::pair<TMenuItem*, TRect>> rows;
    for (int i = 0; i < top->Count(); ++i) {
        auto [w, h] = measure(xp, top->Items(i));
        rows.push_back({top->Items(i), Rect(0, y, 220, y + h)});
        y += h;
    }
    b.SetSize(220, y);
    for (auto& [item, r] : rows)
        xp.DrawItem(item, b.Canvas(), Rect(r.Left, r.Top, r.Right, r.Bottom - 1), item == selected);
    const TVQXPMenu::Palette& p = xp.CurrentPalette();
    const TRect sel = rows[1].second;
    EXPECT_EQ(b.Canvas()->Pixels(5, rows[0].second.Top + 3), p.iconColumn);
    EXPECT_EQ(b.Canvas()->Pixels(200, rows[0].second.Top + 3), p.face);
    EXPECT_EQ(b.Canvas()->Pixels(100, sel.Top + 3), p.selectFill);
    EXPECT_EQ(b.Canvas()->Pixels(0, sel.Top + 1), ColorToRGB(p.selectFrame));

    const std::string dir = BUILD_DIR "/test-output/screens/";
    ForceDirectories(dir);
    b.SaveToFile(dir + "vq-xp-menu.bmp");
    const std::string cmd = "convert " + dir + "vq-xp-menu.bmp -scale 200% " + dir + "vq-xp-menu.png";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    DeleteFile(dir + "vq-xp-menu.bmp");
}

} // namespace

// ---- tool-bar buttons and control-bar bands

namespace {

class XPToolbarPaint : public ::testing::Test {
protected:
    TForm form{nullptr};
    TVQXPMenu* menu = new TVQXPMenu(&form);
    TBitmap bmp;
    TVQXPToolBar bar;
    void SetUp() override {
        bmp.SetSize(80, 40);
        bmp.Canvas()->Brush()->SetColor(clWhite);
        bmp.Canvas()->FillRect(TRect{0, 0, 80, 40});
    }
    TColor At(int x, int y) { return ColorToRGB(bmp.Canvas()->Pixels(x, y)); }
    TVQXPMenu::Palette Paint(const TVQXPToolButton& b) {
        bool defaultDraw = true;
        menu->ToolbarDrawButton(bmp.Canvas(), bar, b, defaultDraw);
        EXPECT_FALSE(defaultDraw);
        return menu->CurrentPalette();
    }
};

TEST_F(XPToolbarPaint, hotCheckedTakesTheCheckedHotFillAndCheckedTheCheckedFillBothFramed) {
    struct Case {
        bool hot;
        TColor TVQXPMenu::Palette::*fill;
    };
    for (const Case& k : {Case{true, &TVQXPMenu::Palette::checkedHotFill}, Case{false, &TVQXPMenu::Palette::checkedFill}}) {
        TVQXPToolButton b;
        b.Rect = {0, 0, 40, 24};
        b.Hot = k.hot;
        b.Checked = true;
        const TVQXPMenu::Palette p = Paint(b);
        EXPECT_EQ(At(20, 12), ColorToRGB(p.*k.fill));
        EXPECT_EQ(At(0, 12), ColorToRGB(p.selectFrame));  // the outline's left
        EXPECT_EQ(At(20, 1), ColorToRGB(p.selectFrame));  // its top, one pixel down
        EXPECT_EQ(At(39, 12), ColorToRGB(p.selectFrame)); // its right
    }
}

TEST_F(XPToolbarPaint, aDropDownButtonHasTwoOutlinesSplitFourteenPixelsInside) {
    TVQXPToolButton b;
    b.Rect = {0, 0, 60, 24};
    b.Hot = true;
    b.DropDown = true;
    const TVQXPMenu::Palette p = Paint(b);
    EXPECT_EQ(At(60 - 15, 12), ColorToRGB(p.selectFrame));
    EXPECT_EQ(At(60 - 14, 12), ColorToRGB(p.selectFrame));
    EXPECT_EQ(At(60 - 16, 5), ColorToRGB(p.selectFill));
    EXPECT_EQ(At(60 - 10, 11), ColorToRGB(clBlack)); // the arrow's widest line
}

TEST_F(XPToolbarPaint, aSeparatorWithAPositiveTagShowsALineAndWithTagZeroOnlyTheBar) {
    for (int tag : {1, 0}) {
        TVQXPToolButton b;
        b.Rect = {10, 0, 40, 24};
        b.AfterSeparator = true;
        b.SeparatorRect = {0, 0, 10, 24};
        b.SeparatorTag = tag;
        Paint(b);
        const TColor bar = ColorToRGB(XPLighten(clBtnFace, 16));
        EXPECT_EQ(At(5, 10), tag > 0 ? ColorToRGB(XPDarken(clBtnFace, 30)) : bar) << tag;
        EXPECT_EQ(At(3, 10), bar);
    }
}

TEST_F(XPToolbarPaint, aBandTwentyHighHasGripLinesOnTheEvenRowsFromFiveToFifteen) {
    int options = 7;
    menu->BandPaint(bmp.Canvas(), clBtnFace, TRect{0, 0, 60, 20}, options);
    EXPECT_EQ(options, 0);
    const TColor fill = ColorToRGB(XPLighten(clBtnFace, 6));
    std::vector<int> rows;
    for (int y = 0; y < 20; ++y)
        if (At(4, y) != fill) rows.push_back(y);
    EXPECT_EQ(rows, (std::vector<int>{6, 8, 10, 12, 14}));
    EXPECT_EQ(At(4, 6), ColorToRGB(XPDarken(clBtnFace, 30)));
    EXPECT_EQ(At(4, 8), ColorToRGB(XPDarken(clBtnFace, 37)));
    EXPECT_EQ(At(7, 6), fill);
}

} // namespace
