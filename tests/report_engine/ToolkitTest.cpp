// The toolbar kit under the preview window: buttons and their groups, the
// hook service, docks and the move loop, saved positions, the resizeable
// tool window and the spin edit, driven through the window system.
#include <gtest/gtest.h>

#include "Registry.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "report/toolkit/RM_Common.h"

namespace {

struct Bench {
    TForm form{nullptr};
    TDock97* top;
    TDock97* bottom;
    TToolbar97* bar;
    TToolbarButton97 *a, *b, *plain;
    Bench() {
        form.SetName("ToolForm");
        form.SetClientWidth(500);
        form.SetClientHeight(300);
        top = new TDock97(&form, dpTop);
        top->SetName("Dock971");
        top->SetParent(&form);
        bottom = new TDock97(&form, dpBottom);
        bottom->SetName("Dock972");
        bottom->SetParent(&form);
        bar = new TToolbar97(&form);
        bar->SetName("Bar1");
        bar->SetCaption("工具栏");
        bar->LockLayout();
        bar->SetDockedTo(top);
        a = new TToolbarButton97(&form);
        a->SetName("BtnA");
        a->SetParent(bar);
        a->SetCaption("甲");
        a->GroupIndex = 1;
        (new TToolbarSep97(&form))->SetParent(bar);
        b = new TToolbarButton97(&form);
        b->SetName("BtnB");
        b->SetParent(bar);
        b->SetCaption("乙");
        b->GroupIndex = 1;
        plain = new TToolbarButton97(&form);
        plain->SetName("BtnPlain");
        plain->SetParent(bar);
        plain->SetCaption("丙");
        bar->UnlockLayout();
    }
};

TEST(ToolbarButton, groupButtonsLatchOneAtATime) {
    Bench t;
    ShowAndActivate(&t.form);
    int clicks = 0;
    t.a->OnClick = [&](TObject*) { ++clicks; };
    SendClick(t.a);
    EXPECT_EQ(clicks, 1); // one click per press, not one from the button and one from the window layer
    EXPECT_TRUE(t.a->Down());
    SendClick(t.b);
    EXPECT_TRUE(t.b->Down());
    EXPECT_FALSE(t.a->Down());
    SendClick(t.b); // without AllowAllUp the down button stays down
    EXPECT_TRUE(t.b->Down());
    t.b->AllowAllUp = true;
    SendClick(t.b);
    EXPECT_FALSE(t.b->Down());
    SendClick(t.plain);
    EXPECT_FALSE(t.plain->Down()); // no group: never latches
}

TEST(ToolbarButton, disabledButtonDoesNotClick) {
    Bench t;
    ShowAndActivate(&t.form);
    int clicks = 0;
    t.plain->OnClick = [&](TObject*) { ++clicks; };
    t.plain->SetEnabled(false);
    EXPECT_EQ(t.plain->State(), tbsDisabled);
    t.plain->Click();
    EXPECT_EQ(clicks, 0);
    t.plain->SetEnabled(true);
    EXPECT_EQ(t.plain->State(), tbsUp);
}

TEST(ToolbarButton, comboDropdownFaceLeavesTheArrowOut) {
    Bench t;
    t.plain->DropdownAlways = true;
    t.plain->DropdownCombo = true;
    t.plain->SetBounds(0, 0, 40, 22);
    EXPECT_TRUE(t.plain->PointInFace(28, 5));
    EXPECT_FALSE(t.plain->PointInFace(29, 5)); // 40 - (9 + 2)
    t.plain->SetDropdownArrowWidth(3);
    EXPECT_EQ(t.plain->DropdownArrowWidth(), 7);
    t.plain->SetMargin(-5);
    EXPECT_EQ(t.plain->Margin(), -1);
}

TEST(ToolbarButton, missingDisabledCellIsEmbossedFromTheUpCell) {
    TToolbarButton97 b(nullptr);
    TBitmap g;
    g.SetSize(4, 4);
    g.Canvas()->Brush()->SetColor(clWhite);
    g.Canvas()->FillRect(TRect(0, 0, 4, 4));
    g.Canvas()->SetPixels(1, 1, clBlack);
    b.SetGlyph(&g);
    TBitmap* d = b.GlyphHolder().Cell(tbsDisabled);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(ColorToRGB(d->Canvas()->Pixels(1, 1)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ColorToRGB(d->Canvas()->Pixels(2, 2)), ColorToRGB(clBtnHighlight));
}

TEST(ToolbarHooks, registrationsCountAndOneFailureDoesNotStopTheOthers) {
    int first = 0, second = 0;
    int idA = 0, idB = 0, idC = 0;
    RegisterHookCallback(&idA, [&](THookProcKind, intptr_t) { throw Exception("boom"); }, {hkActivateApp});
    RegisterHookCallback(&idB, [&](THookProcKind, intptr_t) { ++second; }, {hkActivateApp});
    RegisterHookCallback(&idB, [&](THookProcKind, intptr_t) { ++first; }, {hkActivateApp});
    RegisterHookCallback(
        &idC, [&](THookProcKind, intptr_t) {}, {hkWindowPosChanged}, true); // designing
    EXPECT_FALSE(HookInstalled(hkWindowPosChanged));
    RMHookDispatch(hkActivateApp);
    EXPECT_EQ(second, 1); // the throwing callback did not stop it; the second registration added no call
    UnregisterHookCallback(&idB);
    RMHookDispatch(hkActivateApp);
    EXPECT_EQ(second, 2); // registered twice: still there after one unregistration
    UnregisterHookCallback(&idB);
    RMHookDispatch(hkActivateApp);
    EXPECT_EQ(second, 2);
    UnregisterHookCallback(&idA);
    EXPECT_EQ(first, 0);
}

TEST(ToolbarDock, toolbarLaysItsControlsOutInOrderAndTheDockFitsIt) {
    Bench t;
    ShowAndActivate(&t.form);
    EXPECT_LT(t.a->Left(), t.b->Left());
    EXPECT_LT(t.b->Left(), t.plain->Left());
    EXPECT_GE(t.a->Left(), t.bar->DragHandleSize());
    EXPECT_EQ(t.top->Height(), t.bar->Height());
    EXPECT_EQ(t.bottom->Height(), 0); // empty dock takes no room
    t.plain->Hide();
    t.bar->ArrangeControls();
    EXPECT_LT(t.bar->Width(), t.plain->Left() + t.plain->Width());
}

TEST(ToolbarDock, dragOutFloatsDragBackDocksEscRestores) {
    Bench t;
    ShowAndActivate(&t.form);
    // The drag handle, through the window system: press, move far below
    // the form, release.
    SendMouseDown(t.bar, 3, 5);
    TPoint far = t.form.ClientToScreen(TPoint(200, 600));
    TPoint local = t.bar->ScreenToClient(far);
    SendMouseMove(t.bar, local.X, local.Y);
    SendMouseUp(t.bar, local.X, local.Y);
    ProcessEvents();
    EXPECT_FALSE(t.bar->Docked());
    ASSERT_NE(t.bar->FloatingForm(), nullptr);
    EXPECT_TRUE(t.bar->FloatingForm()->Visible());
    EXPECT_EQ(t.top->Height(), 0);
    // Back over the bottom dock.
    t.bar->BeginMove(3, 5);
    t.bar->MoveTo(t.bottom->ClientToScreen(TPoint(60, -4)));
    t.bar->EndMove(true);
    EXPECT_EQ(t.bar->DockedTo(), t.bottom);
    EXPECT_GT(t.bottom->Height(), 0);
    EXPECT_EQ(t.bar->DockPos(), 57);
    // Esc during a move puts it back.
    t.bar->BeginMove(3, 5);
    t.bar->MoveTo(t.form.ClientToScreen(TPoint(200, 600)));
    EXPECT_FALSE(t.bar->Docked());
    t.bar->EndMove(false);
    EXPECT_EQ(t.bar->DockedTo(), t.bottom);
    EXPECT_EQ(t.bar->DockPos(), 57);
}

// One settings file per test: ctest runs the tests side by side.
struct RegistryFile {
    std::string path = std::string(BUILD_DIR) + "/test-output/toolkit-registry-" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
    RegistryFile() {
        remove(path.c_str());
        SetRegistryFileForTesting(path);
    }
    ~RegistryFile() { SetRegistryFileForTesting(""); }
};

TEST(ToolbarPositions, floatingAndDockedPositionsComeBack) {
    RegistryFile reg;
    {
        Bench t;
        ShowAndActivate(&t.form);
        t.bar->SetFloatingPosition(TPoint(100, 200));
        t.bar->SetDockedTo(nullptr);
        SaveToolWindowPosition(t.bar);
    }
    {
        Bench t;
        ShowAndActivate(&t.form);
        RestoreToolWindowPosition(t.bar);
        EXPECT_FALSE(t.bar->Docked());
        EXPECT_EQ(t.bar->FloatingPosition().X, 100);
        EXPECT_EQ(t.bar->FloatingPosition().Y, 200);
        EXPECT_TRUE(t.bar->Visible());
        // Docked in a second row at 40.
        auto* other = new TToolbar97(&t.form);
        other->SetName("Bar2");
        other->SetDockedTo(t.top);
        t.bar->SetDockRow(1);
        t.bar->SetDockPos(40);
        t.bar->SetDockedTo(t.top);
        EXPECT_EQ(t.bar->DockRow(), 1);
        SaveToolWindowPosition(t.bar);
    }
    TRegIniFile ini(RMRegRootKey);
    EXPECT_EQ(ini.ReadString("ToolBar\\Bar1", "DockName", ""), "Dock971");
    EXPECT_EQ(ini.ReadString("ToolBar\\Bar1", "XPosition", ""), "40");
    {
        Bench t;
        auto* other = new TToolbar97(&t.form);
        other->SetName("Bar2");
        other->SetDockedTo(t.top);
        ShowAndActivate(&t.form);
        t.bar->SetDockedTo(t.bottom);
        RestoreToolWindowPosition(t.bar);
        EXPECT_EQ(t.bar->DockedTo(), t.top);
        EXPECT_EQ(t.bar->DockRow(), 1);
        EXPECT_EQ(t.bar->DockPos(), 40);
    }
}

TEST(ToolbarPositions, resizeableWindowComesBackAtLeastFortyWide) {
    RegistryFile reg;
    TRegIniFile ini(RMRegRootKey);
    ini.WriteString("Form\\TRMResizeableToolWindow", "Width", "10");
    ini.WriteString("Form\\TRMResizeableToolWindow", "Docked", "0");
    TForm f(nullptr);
    TRMResizeableToolWindow w(&f);
    w.RestorePosition();
    EXPECT_EQ(w.Width(), 40);
}

TEST(ToolbarResize, edgeDragSizesAndEscLeavesTheSize) {
    Bench t;
    auto* w = new TRMResizeableToolWindow(&t.form);
    w->SetName("Insp");
    w->ClientAreaWidth = 120;
    w->ClientAreaHeight = 60;
    w->SetDockedTo(t.top);
    ShowAndActivate(&t.form);
    int h = w->Height();
    EXPECT_EQ(w->SizeHitTest(10, w->ClientHeight() - 2), 3); // bottom edge in a top dock
    EXPECT_EQ(w->SizeHitTest(10, 10), 0);
    TPoint start = w->ClientToScreen(TPoint(10, w->ClientHeight() - 2));
    w->BeginSizing(3, start);
    w->SizeTo(TPoint(start.X, start.Y + 30));
    w->EndSizing(false);
    EXPECT_EQ(w->Height(), h);
    // Through the window system this time.
    int y = w->ClientHeight() - 2;
    SendMouseDown(w, 10, y);
    SendMouseMove(w, 10, y + 30);
    SendMouseUp(w, 10, y + 30);
    EXPECT_EQ(w->Height(), h + 30);
}

TEST(RMSpinEdit, limitsStepsAndTyping) {
    TForm f(nullptr);
    f.SetClientWidth(200);
    f.SetClientHeight(80);
    auto* e = new TRMSpinEdit(&f);
    e->SetName("Spin");
    e->SetParent(&f);
    e->SetBounds(10, 10, 100, 22);
    e->MinValue = 1;
    e->SetValue(0);
    EXPECT_EQ(e->Text(), "1");
    e->MinValue = e->MaxValue = 0;
    e->SetValue(-12345);
    EXPECT_EQ(e->Text(), "-12345");
    e->SetValueType(rmvtFloat);
    e->SetDecimal(2);
    e->SetValue(1.5);
    EXPECT_EQ(e->Text(), "1.50");
    e->Increment = 0.4;
    e->SetValueType(rmvtInteger);
    EXPECT_EQ(e->Increment, 1);
    e->SetValueType(rmvtFloat);
    e->SetText("");
    ShowAndActivate(&f);
    SendText(e, "1.5.x");
    EXPECT_EQ(e->Text(), "1.5"); // a second separator and a letter are refused
    e->Increment = 0.1;
    SendKey(e, VK_UP);
    EXPECT_EQ(e->Text(), "1.60");
    SendClick(e->Button(), 7, e->Button()->Height() - 3); // the down arrow
    EXPECT_EQ(e->Text(), "1.50");
    SendClick(e->Button(), 7, 3); // the up arrow
    EXPECT_EQ(e->Text(), "1.60");
}

} // namespace
