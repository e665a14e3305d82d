// How a dock looks: its tiled background (also behind its toolbars, and
// with its transparent colour), its bound lines and its own pop-up menu.
#include <gtest/gtest.h>

#include "Menus.h"
#include "TestKit.h"
#include "report/toolkit/RM_TB97.h"

namespace {

// A 4 x 4 tile: red with a blue pixel at (1, 1); the bottom-left pixel (the
// transparent colour) is red.
void makeTile(TBitmap& b) {
    b.SetSize(4, 4);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(TRect(0, 0, 4, 4));
    b.Canvas()->SetPixels(1, 1, clBlue);
}

struct DockBench {
    TForm form{nullptr};
    TDock97 *top, *bottom;
    TToolbar97* bar;
    DockBench() {
        form.SetClientWidth(300);
        form.SetClientHeight(200);
        top = new TDock97(&form, dpTop);
        top->SetParent(&form);
        bottom = new TDock97(&form, dpBottom);
        bottom->SetParent(&form);
        bar = new TToolbar97(&form);
        bar->SetCaption("工具栏");
        bar->LockLayout();
        bar->SetDockedTo(top);
        for (const char* c : {"甲", "乙"}) {
            auto* b = new TToolbarButton97(&form);
            b->SetCaption(c);
            b->SetParent(bar);
        }
        bar->UnlockLayout();
    }
};

TEST(DockLook, theBackgroundTilesFromTheParentsOriginAndItsTransparentColourShowsTheDockColour) {
    DockBench t;
    ShowAndActivate(&t.form);
    TBitmap tile;
    makeTile(tile);
    t.bottom->SetBackground(&tile);
    t.bottom->SetColor(clLime);
    ASSERT_TRUE(t.bottom->HasBackground());
    int top = t.bottom->Top(); // the tiles start at the form's client origin, not the dock's
    TBitmap out;
    out.SetSize(8, 8);
    auto at = [&](int x, int y) { return ColorToRGB(out.Canvas()->Pixels(x, y)); };
    t.bottom->TileBackground(out.Canvas(), TRect(0, 0, 8, 8), t.bottom);
    auto blueRow = [&] { return ((1 - top) % 4 + 4) % 4; };
    EXPECT_EQ(at(1, blueRow()), ColorToRGB(clBlue));
    EXPECT_EQ(at(5, blueRow()), ColorToRGB(clBlue));
    EXPECT_EQ(at(0, blueRow()), ColorToRGB(clRed));
    t.bottom->SetBackgroundTransparent(true);
    t.bottom->TileBackground(out.Canvas(), TRect(0, 0, 8, 8), t.bottom);
    EXPECT_EQ(at(0, blueRow()), ColorToRGB(clLime));
    EXPECT_EQ(at(1, blueRow()), ColorToRGB(clBlue));
    // A new dock colour shows through at once.
    t.bottom->SetColor(clYellow);
    t.bottom->TileBackground(out.Canvas(), TRect(0, 0, 8, 8), t.bottom);
    EXPECT_EQ(at(0, blueRow()), ColorToRGB(clYellow));
    // Only the rectangle asked for is painted.
    out.Canvas()->Brush()->SetColor(clWhite);
    out.Canvas()->FillRect(TRect(0, 0, 8, 8));
    t.bottom->TileBackground(out.Canvas(), TRect(4, 0, 8, 8), t.bottom);
    EXPECT_EQ(at(1, blueRow()), ColorToRGB(clWhite));
    EXPECT_EQ(at(5, blueRow()), ColorToRGB(clBlue));
}

TEST(DockLook, boundLinesTakeAPixelEachOnlyWhileBarsShow) {
    DockBench t;
    ShowAndActivate(&t.form);
    int plain = t.top->Height();
    EXPECT_EQ(t.bar->Top(), 0);
    t.top->SetBoundLines({blTop, blBottom, blLeft});
    EXPECT_EQ(t.top->Height(), plain + 2);
    EXPECT_EQ(t.bar->Top(), 1);
    EXPECT_EQ(t.bar->Left(), 1);
    t.bottom->SetBoundLines({blTop, blBottom});
    EXPECT_EQ(t.bottom->Height(), 0); // no bars: no lines, no room
    t.bar->SetDockedTo(t.bottom);
    EXPECT_EQ(t.bottom->Height(), plain + 2);
    EXPECT_EQ(t.top->Height(), 0);
    t.top->SetBoundLines({});
    t.bar->SetDockedTo(t.top);
    EXPECT_EQ(t.top->Height(), plain);
}

TEST(DockLook, screenshotOfADockWithBackgroundAndBoundLines) {
    DockBench t;
    auto* left = new TDock97(&t.form, dpLeft);
    left->SetParent(&t.form);
    auto* side = new TToolbar97(&t.form);
    side->SetCaption("侧栏");
    side->LockLayout();
    side->SetDockedTo(left);
    auto* b = new TToolbarButton97(&t.form);
    b->SetCaption("丙");
    b->Opaque = false; // a transparent flat button shows the background
    b->SetParent(side);
    side->UnlockLayout();
    TBitmap tile;
    tile.SetSize(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) tile.Canvas()->SetPixels(x, y, (x / 4 + y / 4) % 2 ? TColor(0xE0C8B0) : clBtnFace);
    for (TDock97* d : {t.top, left}) {
        d->SetBackground(&tile);
        d->SetBoundLines({blTop, blBottom, blLeft, blRight});
    }
    ShowAndActivate(&t.form);
    EXPECT_TRUE(SaveFormPng(&t.form, BUILD_DIR "/test-output/screens/toolbar-dock-background.png"));
}

TEST(DockLook, aRightClickOnTheDockOpensItsPopupMenu) {
    DockBench t;
    auto* menu = new TPopupMenu(&t.form);
    auto* it = new TMenuItem(menu);
    it->SetCaption("自定义...");
    menu->Items()->Add(it);
    t.top->SetPopupMenu(menu);
    ShowAndActivate(&t.form);
    SendClick(t.top, t.top->Width() - 5, 5, mbRight);
    EXPECT_EQ(OpenMenuCaptions(), std::vector<std::string>{"自定义..."});
    SendKeyToMenu(VK_ESCAPE);
}

} // namespace
