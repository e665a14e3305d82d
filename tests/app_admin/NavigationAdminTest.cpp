// The navigation page and its fading picture buttons: the twelve buttons
// and the menu items they run (never a disabled one), the fade levels and
// timer, one click per press and release, the blend arithmetic, the sound
// player's flags, and the small help and about windows.
#include "ExtCtrls.h"
#include "Graphics.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "TestKit.h"
#include "app/about.h"
#include "app/uBarHelp.h"
#include "app/uGlobal.h"
#include "app/uMainIDE.h"
#include "app/uShortCut.h"
#include "app/uVQGifButton.h"
#include "app/uVQGifWavctrl.h"
#include "app/uVQGifffBmp.h"

#include <gtest/gtest.h>

#include "support/TestNames.h"

#include <map>
#include <memory>

namespace {

// The application's main form for this test program: an MDI frame whose
// menu items count their clicks.
struct StubMain {
    TForm* form;
    TMainMenu* menu;
    std::map<std::string, int> clicks;
    TMenuItem* item(const std::string& name) { return dynamic_cast<TMenuItem*>(form->FindComponent(name)); }
};

StubMain& stubMain() {
    static StubMain* stub = [] {
        auto* s = new StubMain;
        s->form = new TForm(Application);
        s->form->SetName("FrmMain");
        s->form->SetFormStyle(fsMDIForm);
        s->form->SetBounds(0, 0, 900, 700);
        Application->FormCreated(s->form);
        s->menu = new TMainMenu(s->form);
        s->form->SetMenu(s->menu);
        for (const TNavButton& nb : NavButtons()) {
            if (s->item(nb.MenuItem)) continue;
            auto* it = new TMenuItem(s->form);
            it->SetName(nb.MenuItem);
            it->SetCaption(nb.Caption);
            const std::string name = nb.MenuItem;
            it->OnClick = [s, name](TObject*) { ++s->clicks[name]; };
            s->menu->Items()->Add(it);
        }
        s->form->Show();
        return s;
    }();
    return *stub;
}

class NavigationAdminTest : public ::testing::Test {
protected:
    // The frame stays up for the whole suite, as the program's does; shown
    // here, not by the first test, it is no test's leftover.
    static void SetUpTestSuite() { stubMain(); }
    static void TearDownTestSuite() { stubMain().form->Hide(); }
    void SetUp() override {
        StubMain& s = stubMain();
        s.clicks.clear();
        for (const TNavButton& nb : NavButtons()) s.item(nb.MenuItem)->SetEnabled(true);
        page = new TFrmMainIDE(Application);
        page->Show();
        ProcessEvents();
    }
    void TearDown() override {
        delete page;
        ProcessEvents();
    }
    tVQGifButton* button(const std::string& name) { return dynamic_cast<tVQGifButton*>(page->FindComponent(name)); }
    TFrmMainIDE* page = nullptr;
};

TEST_F(NavigationAdminTest, pageIsAnMdiChildWithTwelveButtonsInPlace) {
    EXPECT_EQ(page->FormStyle(), fsMDIChild);
    EXPECT_EQ(page->Caption(), "导航");
    EXPECT_EQ(page->ClientWidth(), 716);
    EXPECT_EQ(page->ClientHeight(), 509);
    EXPECT_EQ(page->Color(), RGB(236, 236, 236));
    EXPECT_EQ(page->Panel2->Color(), RGB(236, 236, 236));
    ASSERT_EQ(NavButtons().size(), 12u);
    for (const TNavButton& nb : NavButtons()) {
        SCOPED_TRACE(nb.Name);
        tVQGifButton* b = button(nb.Name);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->BoundsRect(), (TRect{nb.Left, nb.Top, nb.Left + nb.Width, nb.Top + nb.Height}));
        EXPECT_EQ(b->Interval(), nb.Interval);
        EXPECT_EQ(b->GlyphsTransparent(), nb.GlyphsTransparent);
        EXPECT_TRUE(b->Transparent());
        EXPECT_EQ(b->Cursor(), crHandPoint);
        EXPECT_FALSE(b->UpGlyph()->Empty());
        EXPECT_TRUE(b->DownGlyph()->Empty());
    }
    EXPECT_EQ(button("GbtBookSet")->Interval(), 2u);
    EXPECT_EQ(page->GbtQryExceedq, button("GbtQryExceedq"));
    // For a look by eye.
    EXPECT_TRUE(SaveFormPng(page, BUILD_DIR "/test-output/screens/navigation-page.png"));
}

TEST_F(NavigationAdminTest, eachButtonRunsItsMenuItem) {
    for (const TNavButton& nb : NavButtons()) button(nb.Name)->Click();
    EXPECT_EQ(stubMain().clicks, (std::map<std::string, int>{{"NBookSet", 2},
                                                             {"NMagzSet", 2},
                                                             {"NReaderSet", 1},
                                                             {"NBookSortSet", 1},
                                                             {"NBorrow", 1},
                                                             {"NBorrowMagz", 1},
                                                             {"NQryBorrow", 1},
                                                             {"NQryExcced", 1},
                                                             {"NQryBorrow1", 1},
                                                             {"NQryExceed1", 1}}));
}

TEST_F(NavigationAdminTest, aMouseClickRunsTheCommandOnce) {
    ShowAndActivate(page);
    SendClick(page->GbtBorrow);
    ProcessEvents();
    EXPECT_EQ(stubMain().clicks, (std::map<std::string, int>{{"NBorrow", 1}}));
}

TEST_F(NavigationAdminTest, aDisabledMenuItemIsNeverRunFromItsButton) {
    stubMain().item("NBorrow")->SetEnabled(false);
    page->GbtBorrow->SetEnabled(false);
    page->GbtBorrow->Click();
    page->RunMenuItem("NBorrow");
    EXPECT_TRUE(stubMain().clicks.empty());
}

// The fade is driven tick by tick through the button's own timer handler.
struct Probe : tVQGifButton {
    using tVQGifButton::MouseDown;
    using tVQGifButton::MouseEnter;
    using tVQGifButton::MouseLeave;
    using tVQGifButton::MouseUp;
    using tVQGifButton::tVQGifButton;
    void tick() { FadeTimer()->OnTimer(FadeTimer()); }
};

TEST(GifButton, enterFadesInOverTenTicksThenStopsTheTimer) {
    Probe b(nullptr);
    EXPECT_EQ(b.Width(), 100);
    EXPECT_EQ(b.Interval(), 100u);
    EXPECT_FALSE(b.FadeTimer()->Enabled());
    b.MouseEnter();
    EXPECT_TRUE(b.Inside());
    EXPECT_TRUE(b.FadeTimer()->Enabled());
    int ticks = 0;
    while (b.FadeTimer()->Enabled() && ticks < 50) {
        b.tick();
        ++ticks;
    }
    EXPECT_EQ(b.Level(), 1.0);
    EXPECT_GE(ticks, 10);
    EXPECT_LE(ticks, 12);
}

TEST(GifButton, leavingDuringAFadeInReversesFromTheLevelReached) {
    Probe b(nullptr);
    b.MouseEnter();
    for (int i = 0; i < 4; ++i) b.tick();
    const double reached = b.Level();
    EXPECT_NEAR(reached, 0.4, 1e-9);
    b.MouseLeave();
    EXPECT_FALSE(b.Inside());
    b.tick();
    EXPECT_NEAR(b.Level(), 0.3, 1e-9);
    while (b.FadeTimer()->Enabled()) b.tick();
    EXPECT_EQ(b.Level(), 0.0);
}

TEST(GifButton, withoutADownPictureTheFadeGoesOnWhilePressed) {
    Probe b(nullptr);
    b.MouseEnter();
    b.MouseDown(mbLeft, {}, 5, 5);
    EXPECT_TRUE(b.Pressed());
    EXPECT_TRUE(b.FadeTimer()->Enabled());
    b.MouseUp(mbLeft, {}, 500, 500);
    EXPECT_FALSE(b.Pressed());
    EXPECT_FALSE(b.Inside());
}

TEST(GifButton, withADownPicturePressingStopsTheFade) {
    Probe b(nullptr);
    TBitmap down;
    down.SetSize(10, 10);
    b.SetDownGlyph(&down);
    b.MouseEnter();
    b.MouseDown(mbLeft, {}, 5, 5);
    EXPECT_FALSE(b.FadeTimer()->Enabled());
    b.MouseUp(mbLeft, {}, 5, 5);
    EXPECT_EQ(b.Level(), 1.0);
}

TEST(GifButton, removedSoundPlayerIsForgotten) {
    Probe b(nullptr);
    auto* player = new TepWavePlayer(nullptr);
    b.SetClickSound(player);
    b.SetActiveSound(player);
    delete player;
    EXPECT_EQ(b.ClickSound(), nullptr);
    EXPECT_EQ(b.ActiveSound(), nullptr);
}

TEST(GifButton, clickPlaysTheClickSoundBeforeOnClick) {
    Probe b(nullptr);
    TepWavePlayer player(nullptr);
    std::vector<std::string> order;
    player.BeforePlay = [&](TObject*) { order.push_back("before"); };
    player.AfterPlay = [&](TObject*) { order.push_back("after"); };
    b.OnClick = [&](TObject*) { order.push_back("click"); };
    b.SetClickSound(&player);
    b.Click();
    EXPECT_EQ(order, (std::vector<std::string>{"before", "after", "click"}));
}

// ------------------------------------------------------------ blending

TBitmap* solid(TBitmap* b, int w, int h, TColor c) {
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(TRect{0, 0, w, h});
    return b;
}

struct BlendCase {
    const char* name;
    int own, other;
    double level;
    int expected;
};

class Blend : public ::testing::TestWithParam<BlendCase> {};

TEST_P(Blend, everyChannelIsTheRoundedMix) {
    const BlendCase& c = GetParam();
    TBitmap a, b;
    TEffectBmp mine(solid(&a, 3, 2, RGB(c.own, c.own, c.own)));
    TEffectBmp theirs(solid(&b, 3, 2, RGB(c.other, c.other, c.other)));
    mine.Blend(theirs, c.level);
    for (int y = 0; y < 2; ++y)
        for (int i = 0; i < 9; ++i) EXPECT_EQ(int(mine.ScanLine(y)[i]), c.expected) << y << "," << i;
}

INSTANTIATE_TEST_SUITE_P(
    Levels, Blend,
    ::testing::Values(BlendCase{"zeroKeepsOwn", 10, 200, 0.0, 10}, BlendCase{"oneTakesOther", 10, 200, 1.0, 200},
                      BlendCase{"belowZeroCountsAsZero", 10, 200, -0.3, 10},
                      BlendCase{"aboveOneCountsAsOne", 10, 200, 1.0000001, 200}, BlendCase{"half", 0, 200, 0.5, 100},
                      BlendCase{"tieRoundsToEvenDown", 0, 1, 0.5, 0}, BlendCase{"tieRoundsToEvenUp", 0, 3, 0.5, 2}),
    RowName());

TEST(EffectBmp, rowsArePaddedToFourBytesAndSizesMustMatch) {
    for (int w : {1, 2, 3, 4, 5, 71}) {
        TBitmap b;
        TEffectBmp e(solid(&b, w, 1, clBlack));
        EXPECT_EQ(e.Stride(), w * 3 + w % 4);
        EXPECT_EQ(e.Stride() % 4, 0);
    }
    TBitmap a, b;
    TEffectBmp small(solid(&a, 2, 2, RGB(10, 20, 30)));
    TEffectBmp big(solid(&b, 3, 2, clWhite));
    small.Blend(big, 1.0);
    EXPECT_EQ(int(small.ScanLine(0)[0]), 30);
    EXPECT_EQ(int(small.ScanLine(0)[2]), 10);
}

// ------------------------------------------------------------ sounds

struct FlagCase {
    const char* name;
    TepWavePlayOpts options;
    unsigned expected;
};

class PlayerFlags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(PlayerFlags, memoryAlwaysPlusOnePerOption) {
    TepWavePlayer p(nullptr);
    p.SetOptions(GetParam().options);
    EXPECT_EQ(p.PlayFlags(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Options, PlayerFlags,
                         ::testing::Values(FlagCase{"sync", {wpoSync}, 0x4}, FlagCase{"async", {wpoAsync}, 0x5},
                                           FlagCase{"noDefault", {wpoNoDefault}, 0x6}, FlagCase{"loop", {wpoLoop}, 0xC},
                                           FlagCase{"noStop", {wpoNoStop}, 0x14},
                                           FlagCase{
                                               "all", {wpoSync, wpoAsync, wpoNoDefault, wpoLoop, wpoNoStop}, 0x1F}),
                         RowName());

TEST(Wave, assigningCopiesTheDataAndSignalsAChange) {
    TepWave a, b;
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    TMemoryStream s;
    s.WriteBuffer(std::string("RIFF....WAVE"));
    s.SetPosition(0);
    a.LoadFromStream(s);
    EXPECT_TRUE(a.Modified());
    b.Assign(&a);
    EXPECT_EQ(b.Data(), "RIFF....WAVE");
    b.Assign(nullptr);
    EXPECT_EQ(b.Data(), "RIFF....WAVE");
    EXPECT_EQ(changes, 2);
}

// ------------------------------------------------------------ small windows

TEST(SmallWindows, aboutBoxShowsTheLibraryNameAndClosesOnEsc) {
    TSeamScript script;
    script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    CorpName = "第一图书馆";
    std::string shown;
    script.ExpectForm("Taboutform", mrNone, {}, [&](TCustomForm* f) {
        auto* a = static_cast<Taboutform*>(f);
        shown = a->LbName->Caption();
        EXPECT_EQ(a->LbDate->Caption(), "更新日期:2011-05-01");
        EXPECT_EQ(a->Caption(), "关于本软件");
        SendKeyToFocus(a, VK_ESCAPE);
    });
    ShowAboutBox();
    EXPECT_EQ(shown, "第一图书馆");
    EXPECT_TRUE(script.Unused().empty());
}

TEST(SmallWindows, labelHelpHasElevenLinesAndShortcutsTwo) {
    std::unique_ptr<TFrmBarHelp> help(new TFrmBarHelp(nullptr));
    EXPECT_EQ(help->Caption(), "报表帮助");
    ASSERT_EQ(help->Memo1->Lines()->Count(), 11);
    EXPECT_EQ(help->Memo1->Lines()->Strings(3), "");
    EXPECT_EQ(help->Memo1->Lines()->Strings(7), "");
    EXPECT_EQ(help->Memo1->Lines()->Strings(10), "黑点，然后用鼠标或按Shift加上下左右箭头键即可。");
    std::unique_ptr<TFrmShortCut> keys(new TFrmShortCut(nullptr));
    EXPECT_EQ(keys->Caption(), "快捷键提示");
    EXPECT_EQ(keys->Label2->Caption(), "借还图书 Ctrl+F5   借还期刊 Ctrl+F6  借阅查询 Ctrl+F7");
}

} // namespace
