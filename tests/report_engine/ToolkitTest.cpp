// The toolbar kit under the preview window: buttons and their groups, the
// hook service, docks and the move loop, saved positions, the resizeable
// tool window and the spin edit, driven through the window system.
#include <gtest/gtest.h>

#include "Registry.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "DragTo.h"
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
    t.plain->SetDropdownCombo(true);
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
    TGlyphList* list = nullptr;
    int i = b.GlyphHolder().GetStateImage(tbsDisabled, list);
    ASSERT_GE(i, 0);
    EXPECT_EQ(ColorToRGB(list->Pixel(i, 1, 1)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(ColorToRGB(list->Pixel(i, 2, 2)), ColorToRGB(clBtnHighlight));
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
    // The window waits for the release; an outline shows where it goes.
    SendMouseMove(t.bar, local.X, local.Y);
    EXPECT_TRUE(t.bar->Docked());
    EXPECT_TRUE(t.bar->Outline().Visible());
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
    // Held 7 pixels into the floating window (frame included), it is held
    // about as far into the docked bar.
    EXPECT_EQ(t.bar->DockPos(), 53);
    // Esc during a move leaves it where it was: the window waits for the
    // release, and the keyboard ends the drag wherever it is.
    SendMouseDown(t.bar, 3, 5);
    local = t.bar->ScreenToClient(far);
    SendMouseMove(t.bar, local.X, local.Y);
    EXPECT_TRUE(t.bar->Moving());
    EXPECT_EQ(t.bar->MoveTarget(), nullptr);
    EXPECT_EQ(t.bar->DockedTo(), t.bottom);
    SendKeyToFocus(&t.form, VK_ESCAPE);
    EXPECT_FALSE(t.bar->Moving());
    SendMouseUp(t.bar, local.X, local.Y);
    EXPECT_EQ(t.bar->DockedTo(), t.bottom);
    EXPECT_EQ(t.bar->DockPos(), 53);
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

// Across a top dock the bottom edge sizes the whole row; Esc puts every
// window of it back.
TEST(ToolbarResize, edgeAcrossTheDockSizesTheWholeRow) {
    Bench t;
    auto make = [&](const char* name, int height, int minHeight) {
        auto* w = new TRMResizeableToolWindow(&t.form);
        w->SetName(name);
        w->ClientAreaWidth = 100;
        w->ClientAreaHeight = height;
        w->MinClientHeight = minHeight;
        w->SetDockRow(1);
        w->SetDockedTo(t.top);
        return w;
    };
    auto* a = make("InspA", 60, 20);
    auto* b = make("InspB", 40, 50);
    ShowAndActivate(&t.form);
    ASSERT_EQ(a->DockRow(), b->DockRow());
    int ha = a->ClientAreaHeight, hb = b->ClientAreaHeight;
    int y = a->ClientHeight() - 2;
    SendMouseDown(a, 10, y);
    SendMouseMove(a, 10, y + 30);
    SendKey(a, VK_ESCAPE);
    SendMouseUp(a, 10, y + 30);
    EXPECT_EQ(a->ClientAreaHeight, ha);
    EXPECT_EQ(b->ClientAreaHeight, hb);
    DragTo(a, TPoint(10, y), a->ClientToScreen(TPoint(10, y + 30)));
    EXPECT_EQ(a->ClientAreaHeight, ha + 30);
    EXPECT_EQ(b->ClientAreaHeight, ha + 30);
    // Not below the largest minimum of the row.
    y = a->ClientHeight() - 2;
    DragTo(a, TPoint(10, y), a->ClientToScreen(TPoint(10, y - 200)));
    EXPECT_EQ(a->ClientAreaHeight, 50);
    EXPECT_EQ(b->ClientAreaHeight, 50);
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

// A second toolbar of one button on the bench's top dock.
TToolbar97* secondBar(Bench& t, const char* name, int row, int pos) {
    auto* bar = new TToolbar97(&t.form);
    bar->SetName(name);
    bar->LockLayout();
    bar->SetDockRow(row);
    bar->SetDockPos(pos);
    bar->SetDockedTo(t.top);
    auto* b = new TToolbarButton97(&t.form);
    b->SetParent(bar);
    bar->UnlockLayout();
    return bar;
}

TEST(ToolbarDock, rowsCloseUpBarsKeepTheirOrderAndFullSizeTakesARow) {
    Bench t;
    ShowAndActivate(&t.form);
    // Frame 2 all round and the 9-pixel handle; 72 pixels of controls.
    EXPECT_EQ(t.bar->Width(), 72 + 13);
    EXPECT_EQ(t.bar->Height(), 23 + 4);
    auto* other = secondBar(t, "Bar2", 3, 10);
    EXPECT_EQ(other->DockRow(), 1); // rows 1 and 2 were empty
    other->SetDockRow(0);
    EXPECT_EQ(other->DockPos(), 85); // moved to the end of the bar it overlapped
    EXPECT_EQ(other->Left(), 85);
    EXPECT_EQ(t.top->Height(), 27);
    // Narrowing the form slides the far bar back, but only for as long as
    // it is narrow: its place is kept.
    other->SetDockPos(300);
    t.form.SetClientWidth(200);
    ProcessEvents();
    EXPECT_EQ(other->Left(), 200 - other->Width());
    EXPECT_EQ(other->DockPos(), 300);
    EXPECT_EQ(t.bar->Left(), 0);
    t.form.SetClientWidth(500);
    ProcessEvents();
    EXPECT_EQ(other->Left(), 300);
    // A full-size bar gets its row to itself, across the whole dock.
    auto* full = secondBar(t, "Bar3", 0, 0);
    full->FullSize = true;
    t.top->ArrangeBars();
    EXPECT_EQ(full->DockRow(), 0);
    EXPECT_EQ(t.bar->DockRow(), 1);
    EXPECT_EQ(other->DockRow(), 1);
    EXPECT_EQ(full->Width(), t.top->ClientWidth());
    EXPECT_EQ(t.top->Height(), 2 * 27);
}

TEST(ToolbarDock, offsetsNearARowBandsEdgeOpenANewRow) {
    Bench t;
    ShowAndActivate(&t.form);
    secondBar(t, "Bar2", 1, 0);
    ASSERT_EQ(t.top->RowThickness(0), 23);
    // Bands: row 0 is 0..26, row 1 is 27..53.
    const struct {
        int offset, row;
        bool before;
    } cases[] = {{0, 0, true},   {4, 0, true},   {5, 0, false},  {21, 0, false}, {22, 1, true},
                 {31, 1, true},  {32, 1, false}, {48, 1, false}, {49, 2, false}, {200, 2, false}};
    for (auto c : cases) {
        bool before = !c.before;
        EXPECT_EQ(t.top->RowAtOffset(c.offset, before), c.row) << c.offset;
        EXPECT_EQ(before, c.before) << c.offset;
    }
    // A top bound line takes the dock's first pixel: the bands move down
    // with the rows drawn inside it.
    t.top->SetBoundLines({blTop});
    for (auto c : cases) {
        bool before = !c.before;
        EXPECT_EQ(t.top->RowAtOffset(c.offset + 1, before), c.row) << c.offset << " with a bound line";
        EXPECT_EQ(before, c.before) << c.offset << " with a bound line";
    }
    t.top->SetBoundLines({});
    // Dropped on the first pixels of the dock, a bar opens a row above.
    auto* other = t.top->ToolWindows().back();
    other->BeginMove(3, 20);
    other->MoveTo(t.top->ClientToScreen(TPoint(100, 2))); // its centre 5 pixels before the first row
    other->EndMove(true);
    EXPECT_EQ(other->DockRow(), 0);
    EXPECT_EQ(t.bar->DockRow(), 1);
}

TEST(ToolbarDock, emptyDocksThicknessAndRefusedPlacements) {
    Bench t;
    EXPECT_EQ(t.bottom->Height(), 0);
    t.bottom->FixAlign = true;
    t.bottom->ArrangeBars();
    EXPECT_EQ(t.bottom->Height(), 1);
    EXPECT_THROW(t.top->SetPosition(dpLeft), EInvalidOperation); // it holds a toolbar
    t.bottom->SetPosition(dpLeft);                                // an empty one may move
    EXPECT_EQ(t.bottom->Align(), alLeft);
    TDock97 inner(nullptr);
    EXPECT_THROW(inner.SetParent(t.top), EInvalidOperation);
    EXPECT_THROW(inner.SetParent(t.bar), EInvalidOperation);
    TToolbarSep97 sep(nullptr);
    EXPECT_THROW(sep.SetParent(&t.form), EInvalidOperation);
    TPanel panel(nullptr);
    panel.SetParent(&t.form);
    TToolbar97 loose(nullptr);
    EXPECT_THROW(loose.SetParent(&panel), EInvalidOperation);
}

TEST(ToolbarDock, handleAndCloseButtonSizes) {
    const struct {
        bool allowDrag, closeButton;
        TDragHandleStyle style;
        int frame;
        TRect close;
    } cases[] = {{true, false, dhDouble, 13, {}},
                 {true, false, dhSingle, 10, {}},
                 {true, false, dhNone, 4, {}},
                 {true, true, dhNone, 18, {3, 2, 14, 13}},
                 {false, true, dhDouble, 4, {}}};
    for (auto c : cases) {
        Bench t;
        t.top->AllowDrag = c.allowDrag;
        t.bar->DragHandleStyle = c.style;
        t.bar->SetCloseButtonWhenDocked(c.closeButton);
        t.top->ArrangeBars();
        EXPECT_EQ(t.bar->Width() - 72, c.frame) << c.style << c.closeButton;
        EXPECT_EQ(t.bar->Height(), 27);
        EXPECT_EQ(t.bar->DockedCloseButtonRect(), c.close);
    }
}

TEST(ToolbarDock, dockedCloseButtonAsksAndHides) {
    Bench t;
    t.bar->SetCloseButtonWhenDocked(true);
    bool allow = false;
    int closed = 0;
    t.bar->OnCloseQuery = [&](TObject*, bool& can) { can = allow; };
    t.bar->OnClose = [&](TObject*) { ++closed; };
    ShowAndActivate(&t.form);
    SendClick(t.bar, 8, 7);
    EXPECT_TRUE(t.bar->Visible()); // refused
    allow = true;
    SendMouseDown(t.bar, 8, 7);
    SendMouseUp(t.bar, 40, 7); // released off the button: nothing
    EXPECT_TRUE(t.bar->Visible());
    SendClick(t.bar, 8, 7);
    EXPECT_FALSE(t.bar->Visible());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(t.top->Height(), 0);
    EXPECT_EQ(t.bar->DockedTo(), t.top); // hidden, not freed nor floated
}

TEST(ToolbarDock, doubleClicksFloatAndDockBackToTheSameRow) {
    Bench t;
    secondBar(t, "Bar2", 0, 0);
    t.bar->SetDockRow(1);
    t.bar->SetDockPos(40);
    ShowAndActivate(&t.form);
    SendDoubleClick(t.bar, 3, 5); // the handle
    ProcessEvents();
    ASSERT_FALSE(t.bar->Docked());
    EXPECT_EQ(t.bar->LastDock(), t.top);
    EXPECT_EQ(t.top->Height(), 27); // only the other bar's row is left
    ASSERT_NE(t.bar->FloatingForm(), nullptr);
    SendDoubleClick(t.bar, 1, 1); // the floating bar, off its buttons
    ProcessEvents();
    EXPECT_EQ(t.bar->DockedTo(), t.top);
    EXPECT_EQ(t.bar->DockRow(), 1);
    EXPECT_EQ(t.bar->DockPos(), 40);
    EXPECT_EQ(t.bar->Left(), 40);
    // Without a last dock it goes before every bar of the default dock's
    // first row.
    t.bar->SetUseLastDock(false);
    t.bar->SetDockedTo(nullptr);
    t.bar->DefaultDock = t.bottom;
    auto* lone = secondBar(t, "Bar3", 0, 0);
    lone->SetDockedTo(t.bottom);
    SendDoubleClick(t.bar, 1, 1);
    ProcessEvents();
    EXPECT_EQ(t.bar->DockedTo(), t.bottom);
    EXPECT_EQ(t.bar->Left(), 0);
    EXPECT_EQ(lone->Left(), t.bar->Width());
    // A bar that may not float stays on its dock.
    t.bar->DockMode = dmCannotFloat;
    SendDoubleClick(t.bar, 3, 5);
    EXPECT_EQ(t.bar->DockedTo(), t.bottom);
    SendMouseDown(t.bar, 3, 5);
    TPoint far = t.bar->ScreenToClient(t.form.ClientToScreen(TPoint(200, 150)));
    SendMouseMove(t.bar, far.X, far.Y);
    SendMouseUp(t.bar, far.X, far.Y);
    EXPECT_EQ(t.bar->DockedTo(), t.bottom);
}

TEST(ToolbarDock, aDockThatRefusesLetsTheWindowFloat) {
    Bench t;
    ShowAndActivate(&t.form);
    int asked = 0;
    t.bottom->OnRequestDock = [&](TObject*, TCustomToolWindow97* bar, bool& accept) {
        EXPECT_EQ(bar, t.bar);
        ++asked;
        accept = false;
    };
    t.bar->BeginMove(3, 5);
    t.bar->MoveTo(t.bottom->ClientToScreen(TPoint(60, -4)));
    t.bar->EndMove(true);
    EXPECT_GT(asked, 0);
    EXPECT_FALSE(t.bar->Docked());
    // Nor does a dock of a position the window may not go to take it.
    t.bottom->OnRequestDock = nullptr;
    t.bar->DockableTo = TDockableTo{dpTop};
    t.bar->BeginMove(3, 5);
    t.bar->MoveTo(t.bottom->ClientToScreen(TPoint(60, -4)));
    t.bar->EndMove(true);
    EXPECT_FALSE(t.bar->Docked());
}

TEST(ToolbarFloating, aNarrowFloatingToolbarWrapsItsGroupsIntoRows) {
    Bench t;
    ShowAndActivate(&t.form);
    auto* sep = dynamic_cast<TToolbarSep97*>(t.bar->Controls(1));
    ASSERT_NE(sep, nullptr);
    t.bar->SetDockedTo(nullptr);
    // One row: margins 4, 2, 4, 1 round the controls.
    EXPECT_EQ(t.bar->Width(), 4 + 72 + 4);
    EXPECT_EQ(t.bar->Height(), 2 + 23 + 1);
    t.bar->FloatingRightX = 40;
    t.bar->ArrangeControls();
    EXPECT_EQ(t.a->Top(), 2);
    // The second group starts a row 6 pixels further down; the separator
    // that ended the first row takes no room.
    EXPECT_EQ(t.b->Left(), 4);
    EXPECT_EQ(t.b->Top(), 2 + 23 + 6);
    EXPECT_EQ(sep->Width(), 0);
    // A wrap inside a group: no gap.
    EXPECT_EQ(t.plain->Left(), 4);
    EXPECT_EQ(t.plain->Top(), t.b->Top() + 23);
    EXPECT_EQ(t.bar->Width(), 4 + 22 + 4);
    EXPECT_EQ(t.bar->Height(), t.plain->Top() + 23 + 1);
    // Docked again it never wraps.
    t.bar->SetDockedTo(t.top);
    EXPECT_EQ(t.b->Top(), t.a->Top());
    EXPECT_EQ(sep->Width(), 6);
}


TEST(ToolbarFloating, buttonsClickAndSeparatorsDragTheBar) {
    Bench t;
    ShowAndActivate(&t.form);
    int clicks = 0;
    t.plain->OnClick = [&](TObject*) { ++clicks; };
    auto* sep = t.bar->Controls(1);
    // Docked, a press on a separator drags the bar as its handle does.
    int heldY = sep->Top() + 5;
    DragTo(sep, TPoint(3, 5), t.form.ClientToScreen(TPoint(200, 150)));
    ASSERT_FALSE(t.bar->Docked());
    // The bar floats under the pointer, held at the same relative place:
    // 7 of the docked bar's 27 rows down is 13 of the floating window's 50.
    ASSERT_EQ(heldY, 7);
    TPoint pointer = t.form.ClientToScreen(TPoint(200, 150));
    TRect whole = t.bar->WindowRect();
    EXPECT_EQ(whole.Height(), 50);
    EXPECT_TRUE(PtInRect(whole, pointer));
    EXPECT_EQ(pointer.Y - whole.Top, 13);
    // Floating, a button press is the button's, not a drag of the bar.
    TPoint before = t.bar->FloatingPosition();
    SendClick(t.plain);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(t.bar->FloatingPosition(), before);
    EXPECT_FALSE(t.bar->Moving());
}

TEST(ToolbarFloating, captionDragsDoubleClickDocksAndCloseButtonHides) {
    Bench t;
    t.bar->SetCaption("一个很长很长的浮动工具栏标题");
    ShowAndActivate(&t.form);
    t.bar->SetFloatingPosition(TPoint(300, 300));
    t.bar->SetDockedTo(nullptr);
    TToolWindowFloatingForm* host = t.bar->FloatingForm();
    ASSERT_NE(host, nullptr);
    ProcessEvents();
    TToolWindowFloatingFrame* frame = host->Frame;
    // Border 4 all round and the caption band on top.
    EXPECT_EQ(host->ClientWidth(), t.bar->Width() + 8);
    EXPECT_EQ(host->ClientHeight(), t.bar->Height() + 8 + SmallCaptionHeight);
    EXPECT_EQ(t.bar->Top(), 4 + SmallCaptionHeight);
    TRect cap = frame->CaptionRect(), close = frame->CloseButtonRect();
    EXPECT_EQ(cap, TRect(4, 4, host->ClientWidth() - 4 - 15, 19));
    EXPECT_EQ(close, TRect(cap.Right, 4, host->ClientWidth() - 4, 19));
    // Dragged by its caption.
    TPoint grab = frame->ClientToScreen(TPoint(10, 8));
    DragTo(frame, TPoint(10, 8), TPoint(grab.X + 40, grab.Y + 30));
    EXPECT_EQ(host->Left(), 340);
    EXPECT_EQ(host->Top(), 330);
    // The close button asks first; released off it nothing closes.
    bool allow = false;
    t.bar->OnCloseQuery = [&](TObject*, bool& can) { can = allow; };
    SendClick(frame, close.Left + 7, close.Top + 7);
    EXPECT_TRUE(host->Visible());
    allow = true;
    SendMouseDown(frame, close.Left + 7, close.Top + 7);
    SendMouseUp(frame, 10, 8);
    EXPECT_TRUE(host->Visible());
    SendClick(frame, close.Left + 7, close.Top + 7);
    EXPECT_FALSE(host->Visible());
    EXPECT_FALSE(t.bar->Visible());
    // Shown again it floats where it was; a double click on the caption
    // docks it where it came from.
    t.bar->Show();
    ProcessEvents();
    ASSERT_TRUE(host->Visible());
    SendDoubleClick(frame, 10, 8);
    ProcessEvents();
    EXPECT_EQ(t.bar->DockedTo(), t.top);
    EXPECT_FALSE(host->Visible());
}

TEST(ToolbarFloating, aLongCaptionEndsInDotsAfterAtLeastOneCharacter) {
    TBitmap b;
    b.SetSize(10, 10);
    TCanvas* c = b.Canvas();
    c->Font()->SetName("宋体");
    c->Font()->SetHeight(-11);
    std::string caption = "预览工具栏";
    EXPECT_EQ(FitCaption(c, caption, 1000), caption);
    int full = c->TextWidth(caption);
    std::string cut = FitCaption(c, caption, full - 1);
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_LE(c->TextWidth(cut), full - 1);
    EXPECT_EQ(cut.rfind("预览", 0), 0u);
    EXPECT_EQ(FitCaption(c, caption, 1), "预..."); // the first character stays
}

} // namespace
