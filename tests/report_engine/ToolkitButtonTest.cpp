// The toolbar kit's buttons and flat edit as a person meets them: drop-down
// menus below or beside the button by its dock, the click that closes a
// menu on its own button, the form's Enter, Esc and Alt keys, the hot
// timer, linked actions, and the flat edit's height and border.
#include <gtest/gtest.h>

#include "Menus.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "report/toolkit/RM_TB97.h"

namespace {

struct MenuBench {
    TForm form{nullptr};
    TDock97* dock;
    TToolbar97* bar;
    TToolbarButton97* button;
    TPopupMenu* menu;
    int clicks = 0;
    explicit MenuBench(TDockPosition where) {
        form.SetClientWidth(360);
        form.SetClientHeight(260);
        form.SetLeft(220);
        form.SetTop(120);
        dock = new TDock97(&form, where);
        dock->SetParent(&form);
        bar = new TToolbar97(&form);
        bar->SetCaption("工具栏");
        bar->SetDockedTo(dock);
        button = new TToolbarButton97(&form);
        button->SetCaption("页面");
        button->SetWidth(48);
        button->SetParent(bar);
        button->OnClick = [this](TObject*) { ++clicks; };
        menu = new TPopupMenu(&form);
        for (const char* c : {"第一页", "上一页", "下一页", "最后一页"}) {
            auto* it = new TMenuItem(menu);
            it->SetCaption(c);
            menu->Items()->Add(it);
        }
        button->DropdownMenu = menu;
    }
};

TEST(ToolbarButtonMenu, opensBelowOrBesideTheButtonByItsDock) {
    struct Case {
        TDockPosition dock;
        const char* name;
    };
    for (Case c : {Case{dpTop, "top"}, Case{dpBottom, "bottom"}, Case{dpLeft, "left"}, Case{dpRight, "right"}}) {
        SCOPED_TRACE(c.name);
        MenuBench t(c.dock);
        ShowAndActivate(&t.form);
        SendClick(t.button);
        EXPECT_EQ(t.clicks, 1); // a plain drop-down button clicks, then shows its menu
        TRect m = OpenMenuRect();
        ASSERT_FALSE(IsRectEmpty(m));
        TPoint tl = t.button->ClientToScreen(TPoint(0, 0));
        int w = t.button->Width(), h = t.button->Height();
        if (c.dock == dpLeft) {
            EXPECT_EQ(m.Left, tl.X + w);
            EXPECT_EQ(m.Top, tl.Y);
        } else if (c.dock == dpRight) {
            EXPECT_EQ(m.Right, tl.X);
            EXPECT_EQ(m.Top, tl.Y);
        } else {
            EXPECT_EQ(m.Left, tl.X);
            EXPECT_EQ(m.Top, tl.Y + h);
        }
        if (c.dock == dpLeft) {
            ASSERT_TRUE(SaveFormPng(&t.form, BUILD_DIR "/test-output/screens/toolbar-menu-left-dock.png"));
        }
        EXPECT_EQ(t.menu->Alignment(), paLeft); // given back after the popup
        SendKeyToMenu(VK_ESCAPE);
        EXPECT_FALSE(MenuOpen());
    }
}

TEST(ToolbarButtonMenu, theClickThatClosesTheMenuOnItsButtonDoesNotPressItAgain) {
    MenuBench t(dpTop);
    ShowAndActivate(&t.form);
    SendClick(t.button);
    ASSERT_TRUE(MenuOpen());
    SendClick(t.button);
    EXPECT_FALSE(MenuOpen());
    EXPECT_EQ(t.clicks, 1);
    SendClick(t.button); // the button is a button again
    EXPECT_EQ(t.clicks, 2);
    EXPECT_TRUE(MenuOpen());
    SendKeyToMenu(VK_ESCAPE);
}

TEST(ToolbarButtonMenu, anOnDropdownThatSaysNoShowsNoMenu) {
    MenuBench t(dpTop);
    ShowAndActivate(&t.form);
    t.button->OnDropdown = [](TObject*, bool& showMenu, bool&) { showMenu = false; };
    SendClick(t.button);
    EXPECT_EQ(t.clicks, 1);
    EXPECT_FALSE(MenuOpen());
}

TEST(ToolbarButton, comboPartsAndWidths) {
    TForm form(nullptr);
    auto* b = new TToolbarButton97(&form);
    b->SetParent(&form);
    EXPECT_EQ(b->Width(), 22);
    EXPECT_EQ(b->Height(), 23);
    b->SetWidth(23);
    b->SetDropdownCombo(true);
    EXPECT_EQ(b->Width(), 34); // 23 + arrow width 9 + 2
    b->SetDropdownArrowWidth(12);
    EXPECT_EQ(b->Width(), 37);
    b->SetDropdownCombo(false);
    EXPECT_EQ(b->Width(), 23);
    b->SetWidth(5);
    b->SetDropdownCombo(true);
    b->SetDropdownCombo(false);
    EXPECT_EQ(b->Width(), 5);
}

struct KeyBench {
    TForm form{nullptr};
    TEdit* edit;
    TToolbarButton97 *ok, *cancel, *print;
    int okClicks = 0, cancelClicks = 0, printClicks = 0;
    KeyBench() {
        form.SetClientWidth(300);
        form.SetClientHeight(120);
        edit = new TEdit(&form);
        edit->SetParent(&form);
        edit->SetBounds(10, 10, 120, 22);
        auto button = [this](int x, const char* caption, int& clicks) {
            auto* b = new TToolbarButton97(&form);
            b->SetParent(&form);
            b->SetBounds(x, 60, 70, 23);
            b->SetCaption(caption);
            b->OnClick = [&clicks](TObject*) { ++clicks; };
            return b;
        };
        ok = button(10, "确定", okClicks);
        ok->Default = true;
        cancel = button(90, "取消", cancelClicks);
        cancel->Cancel = true;
        print = button(170, "打印(&P)", printClicks);
    }
};

TEST(ToolbarButtonKeys, enterEscAndTheAcceleratorClickTheirButtons) {
    KeyBench t;
    ShowAndActivate(&t.form);
    SendKey(t.edit, VK_RETURN);
    SendKey(t.edit, VK_ESCAPE);
    SendKey(t.edit, 'P', {ssAlt});
    EXPECT_EQ(t.okClicks, 1);
    EXPECT_EQ(t.cancelClicks, 1);
    EXPECT_EQ(t.printClicks, 1);
    // With a shift key down Enter is not the dialog's; Alt with another
    // letter is nobody's.
    SendKey(t.edit, VK_RETURN, {ssShift});
    SendKey(t.edit, 'Q', {ssAlt});
    EXPECT_EQ(t.okClicks, 1);
    EXPECT_EQ(t.printClicks, 1);
}

TEST(ToolbarButtonKeys, disabledHiddenAndGlyphOnlyButtonsDoNotAnswer) {
    KeyBench t;
    ShowAndActivate(&t.form);
    t.ok->SetEnabled(false);
    t.cancel->SetVisible(false);
    t.print->DisplayMode = dmGlyphOnly;
    SendKey(t.edit, VK_RETURN);
    SendKey(t.edit, VK_ESCAPE);
    SendKey(t.edit, 'P', {ssAlt});
    EXPECT_EQ(t.okClicks + t.cancelClicks + t.printClicks, 0);
}

TEST(ToolbarButton, theHotTimerFollowsTheHotButton) {
    TForm form(nullptr);
    form.SetClientWidth(200);
    form.SetClientHeight(80);
    auto* a = new TToolbarButton97(&form);
    a->SetParent(&form);
    a->SetBounds(10, 10, 40, 23);
    auto* b = new TToolbarButton97(&form);
    b->SetParent(&form);
    b->SetBounds(60, 10, 40, 23);
    ShowAndActivate(&form);
    ASSERT_NE(TToolbarButton97::HotTimer(), nullptr);
    EXPECT_EQ(TToolbarButton97::HotTimer()->Interval(), 125);
    SendMouseMove(&form, 150, 60); // the mouse comes into the window first
    SendMouseMove(a, 5, 5);
    EXPECT_EQ(TToolbarButton97::HotButton(), a);
    EXPECT_EQ(a->State(), tbsHot);
    EXPECT_TRUE(TToolbarButton97::HotTimer()->Enabled());
    a->HotTimerTick(); // the mouse is still on it
    EXPECT_EQ(TToolbarButton97::HotButton(), a);
    SendMouseMove(b, 5, 5);
    EXPECT_EQ(TToolbarButton97::HotButton(), b);
    EXPECT_EQ(a->State(), tbsUp);
    SendMouseMove(&form, 150, 60);
    EXPECT_EQ(TToolbarButton97::HotButton(), nullptr);
    EXPECT_FALSE(TToolbarButton97::HotTimer()->Enabled());
}

TEST(ToolbarButton, aLinkedActionGivesItsStateAndRunsOnClick) {
    TForm form(nullptr);
    form.SetClientWidth(200);
    form.SetClientHeight(80);
    auto* list = new TActionList(&form);
    auto* act = new TAction(list);
    act->SetCaption("放大镜");
    act->SetHint("放大镜 (Ctrl+M)");
    int runs = 0;
    act->OnExecute = [&](TObject*) { ++runs; };
    auto* b = new TToolbarButton97(&form);
    b->SetParent(&form);
    b->SetBounds(10, 10, 60, 23);
    b->GroupIndex = 1;
    b->AllowAllUp = true;
    b->SetAction(act);
    EXPECT_EQ(b->Caption(), "放大镜");
    EXPECT_EQ(b->Hint(), "放大镜 (Ctrl+M)");
    act->SetChecked(true);
    EXPECT_TRUE(b->Down());
    act->SetEnabled(false);
    EXPECT_EQ(b->State(), tbsDisabled);
    act->SetEnabled(true);
    ShowAndActivate(&form);
    SendClick(b);
    EXPECT_EQ(runs, 1);
    b->OnClick = [](TObject*) {}; // a handler of its own takes the click instead
    SendClick(b);
    EXPECT_EQ(runs, 1);
    delete act; // the button forgets it
    EXPECT_EQ(b->Action(), nullptr);
}

TEST(Edit97, heightBorderAndTheFlatEditClasses) {
    TForm form(nullptr);
    form.SetClientWidth(300);
    form.SetClientHeight(100);
    auto* plain = new TEdit(&form);
    plain->SetParent(&form);
    plain->SetBounds(10, 60, 100, 22);
    EXPECT_FALSE(IsFlatEditClass(plain));
    {
        auto* e1 = new TEdit97(&form);
        e1->SetParent(&form);
        e1->SetBounds(10, 10, 100, 19);
        auto* e2 = new TEdit97(&form);
        e2->SetParent(&form);
        e2->SetBounds(150, 10, 100, 19);
        EXPECT_TRUE(IsFlatEditClass(e1));
        e1->Font()->SetSize(20);
        TBitmap probe;
        probe.Canvas()->SetFont(e1->Font());
        TTextMetric tm;
        probe.Canvas()->GetTextMetrics(tm);
        EXPECT_EQ(e1->Height(), tm.tmHeight + 6);
        e2->SetEnabled(false);
        EXPECT_EQ(e2->Color(), clBtnFace);
        e2->SetEnabled(true);
        EXPECT_EQ(e2->Color(), clWindow);
        ShowAndActivate(&form);
        // Typing in one flat edit, the other does not light under the mouse.
        SendKey(e1, VK_END);
        EXPECT_TRUE(e1->BorderShown());
        SendMouseMove(e2, 5, 5);
        EXPECT_FALSE(e2->BorderShown());
        SendMouseMove(&form, 140, 90);
        // Typing in a plain edit, it does.
        SendKey(plain, VK_END);
        EXPECT_FALSE(e1->BorderShown());
        SendMouseMove(e2, 5, 5);
        EXPECT_TRUE(e2->BorderShown());
    }
}

} // namespace
