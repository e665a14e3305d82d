// Floating tool windows: sized by their frames (a toolbar snapping to the
// sizes its wrapped rows allow), the move loop's outline, Ctrl and reach
// rules, and how a floating window keeps out of the activation and follows
// its form and the application. Driven through the window system.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestKit.h"
#include "WindowWatch.h"
#include "report/toolkit/RM_TB97.h"

namespace {

// A form with a top dock and a toolbar of three groups of two buttons.
struct Desk {
    TForm form{nullptr};
    TDock97* top;
    TToolbar97* bar;
    std::vector<TToolbarButton97*> buttons;
    Desk() {
        form.SetName("FloatForm");
        form.SetClientWidth(500);
        form.SetClientHeight(300);
        form.SetLeft(100);
        form.SetTop(100);
        top = new TDock97(&form, dpTop);
        top->SetParent(&form);
        bar = new TToolbar97(&form);
        bar->SetCaption("预览");
        bar->LockLayout();
        bar->SetDockedTo(top);
        static const char* captions[] = {"首", "上", "下", "末", "放", "缩"};
        for (int i = 0; i < 6; ++i) {
            if (i == 2 || i == 4) (new TToolbarSep97(&form))->SetParent(bar);
            auto* b = new TToolbarButton97(&form);
            b->SetParent(bar);
            b->SetCaption(captions[i]);
            buttons.push_back(b);
        }
        bar->UnlockLayout();
    }
    TToolWindowFloatingFrame* floatAt(TPoint p) {
        bar->SetFloatingPosition(p);
        bar->SetDockedTo(nullptr);
        ProcessEvents();
        return bar->FloatingForm()->Frame;
    }
    int rows() const {
        std::vector<int> tops;
        for (auto* b : buttons)
            if (std::find(tops.begin(), tops.end(), b->Top()) == tops.end()) tops.push_back(b->Top());
        return int(tops.size());
    }
};

TEST(FloatingToolbarSize, theWrappedSizesRunFromOneRowToOneColumn) {
    Desk t;
    ShowAndActivate(&t.form);
    t.floatAt(TPoint(200, 400));
    TSize before{t.bar->Width(), t.bar->Height()};
    std::vector<TSize> sizes = t.bar->CollectFloatingSizes();
    // One row, two rows (4 + 2 buttons), three rows (one group each); then
    // a single column. Each narrower and taller than the one before.
    ASSERT_GE(sizes.size(), 3u);
    EXPECT_EQ(sizes.front(), before);
    for (size_t i = 1; i < sizes.size(); ++i) {
        EXPECT_LT(sizes[i].cx, sizes[i - 1].cx);
        EXPECT_GT(sizes[i].cy, sizes[i - 1].cy);
    }
    // Measuring moved no button and kept the wrap limit.
    EXPECT_EQ(t.bar->FloatingRightX, 0);
    EXPECT_EQ(t.rows(), 1);
    EXPECT_EQ(TSize(t.bar->Width(), t.bar->Height()), before);
}

TEST(FloatingToolbarSize, theRightEdgeSnapsToTwoRowsAndTheReleaseKeepsThem) {
    Desk t;
    ShowAndActivate(&t.form);
    TToolWindowFloatingFrame* frame = t.floatAt(TPoint(200, 400));
    TCustomForm* host = t.bar->FloatingForm();
    std::vector<TSize> sizes = t.bar->CollectFloatingSizes();
    ASSERT_GE(sizes.size(), 2u);
    TSize two = t.bar->AddFloatingFrame(sizes[1]);
    const TRect start = t.bar->WindowRect();
    // The right border sizes (a toolbar sizes by its four sides only).
    const int W = frame->Width(), H = frame->Height(), B = t.bar->FloatingBorderSize();
    EXPECT_EQ(frame->SizingEdgeAt(W - 2, H / 2), 1);
    EXPECT_EQ(frame->SizingEdgeAt(1, H / 2), 0);
    EXPECT_EQ(frame->SizingEdgeAt(W / 2, H - 2), 5);
    EXPECT_EQ(frame->SizingEdgeAt(1, H - 2), 0);
    EXPECT_EQ(frame->SizingEdgeAt(W / 2, B + 4), -1); // the caption drags
    const int grabX = W - 2, grabY = H / 2;
    SendMouseDown(frame, grabX, grabY);
    ASSERT_TRUE(t.bar->Sizing());
    // A few pixels are within the snap: nothing changes.
    SendMouseMove(frame, grabX - 4, grabY);
    EXPECT_EQ(t.bar->SizingRect(), start);
    // Past the two-row width, the outline takes the two-row size; the
    // window itself waits for the release.
    SendMouseMove(frame, grabX - (start.Width() - two.cx) + 3, grabY);
    TRect r = t.bar->SizingRect();
    EXPECT_EQ(r.Left, start.Left);
    EXPECT_EQ(r.Top, start.Top);
    EXPECT_EQ(TSize(r.Width(), r.Height()), two);
    EXPECT_TRUE(t.bar->Outline().Visible());
    EXPECT_EQ(t.bar->Outline().Rect(), r);
    EXPECT_EQ(host->Width(), start.Width());
    TRect around = start;
    InflateRect(around, 20, 40);
    EXPECT_TRUE(SaveScreenPng(around, BUILD_DIR "/test-output/screens/toolbar-floating-sizing-outline.png"));
    SendMouseUp(frame, grabX - (start.Width() - two.cx) + 3, grabY);
    ProcessEvents();
    EXPECT_FALSE(t.bar->Sizing());
    EXPECT_FALSE(t.bar->Outline().Visible());
    EXPECT_EQ(t.bar->FloatingRightX, sizes[1].cx);
    EXPECT_EQ(t.rows(), 2);
    EXPECT_EQ(host->Width(), two.cx);
    EXPECT_EQ(host->Height(), two.cy);
    EXPECT_EQ(host->Left(), start.Left);
    std::filesystem::create_directories(BUILD_DIR "/test-output/screens");
    EXPECT_TRUE(SaveFormPng(host, BUILD_DIR "/test-output/screens/toolbar-floating-two-rows.png"));
    // Dragging the right edge back out gives one row again, without a
    // wrap limit.
    SendMouseDown(frame, host->Width() - 2, grabY);
    SendMouseMove(frame, host->Width() + 200, grabY);
    SendMouseUp(frame, host->Width() + 200, grabY);
    EXPECT_EQ(t.bar->FloatingRightX, 0);
    EXPECT_EQ(t.rows(), 1);
}

TEST(FloatingToolbarSize, theBottomEdgeGivesTallerSizesAndEscKeepsTheSize) {
    Desk t;
    ShowAndActivate(&t.form);
    TToolWindowFloatingFrame* frame = t.floatAt(TPoint(200, 300));
    const TRect start = t.bar->WindowRect();
    const int x = frame->Width() / 2, y = frame->Height() - 2;
    SendMouseDown(frame, x, y);
    SendMouseMove(frame, x, y + 200);
    // Taller means narrower: the bottom edge walks the same sizes.
    TRect r = t.bar->SizingRect();
    EXPECT_GT(r.Height(), start.Height());
    EXPECT_LT(r.Width(), start.Width());
    EXPECT_EQ(r.Top, start.Top);
    // Esc, wherever the keyboard is, gives the drag up.
    SendKeyToFocus(&t.form, VK_ESCAPE);
    EXPECT_FALSE(t.bar->Sizing());
    EXPECT_FALSE(t.bar->Outline().Visible());
    SendMouseUp(frame, x, y + 200);
    EXPECT_EQ(t.bar->WindowRect(), start);
    EXPECT_EQ(t.bar->FloatingRightX, 0);
}

TEST(FloatingToolWindowSize, cornersSizeBothWaysAndTheMinimumKeepsTheFarCorner) {
    TForm form(nullptr);
    form.SetClientWidth(300);
    form.SetClientHeight(200);
    auto* dock = new TDock97(&form, dpTop);
    dock->SetParent(&form);
    auto* tw = new TToolWindow97(&form);
    tw->SetCaption("属性");
    tw->ClientAreaWidth = 120;
    tw->ClientAreaHeight = 90;
    tw->SetDockedTo(dock);
    ShowAndActivate(&form);
    tw->SetFloatingPosition(TPoint(300, 300));
    tw->SetDockedTo(nullptr);
    ProcessEvents();
    TToolWindowFloatingFrame* frame = tw->FloatingForm()->Frame;
    const int W = frame->Width(), H = frame->Height();
    // Eight ways: the corners reach along the sides.
    struct Case {
        int x, y, edge;
    } cases[] = {{1, 1, 3}, {1, 15, 3}, {1, H / 2, 0}, {1, H - 2, 6}, {W - 2, 1, 4}, {W / 2, 1, 2},
                 {W - 2, H / 2, 1}, {W - 2, H - 2, 7}, {W / 2, H - 2, 5}, {W - 10, H - 2, 7}};
    for (auto& c : cases) EXPECT_EQ(frame->SizingEdgeAt(c.x, c.y), c.edge) << c.x << "," << c.y;
    // The bottom-right corner grows both ways.
    const TRect start = tw->WindowRect();
    SendMouseDown(frame, W - 2, H - 2);
    SendMouseMove(frame, W + 28, H + 18);
    SendMouseUp(frame, W + 28, H + 18);
    EXPECT_EQ(tw->ClientAreaWidth, 150);
    EXPECT_EQ(tw->ClientAreaHeight, 110);
    EXPECT_EQ(tw->WindowRect(), TRect(start.Left, start.Top, start.Right + 30, start.Bottom + 20));
    // The top-left corner dragged past the minimum stops there, with the
    // bottom-right corner where it was.
    const TRect grown = tw->WindowRect();
    SendMouseDown(frame, 1, 1);
    SendMouseMove(frame, 400, 400);
    SendMouseUp(frame, 400, 400);
    EXPECT_EQ(tw->ClientAreaWidth, tw->MinClientWidth);
    EXPECT_EQ(tw->ClientAreaHeight, tw->MinClientHeight);
    TRect now = tw->WindowRect();
    EXPECT_EQ(now.Right, grown.Right);
    EXPECT_EQ(now.Bottom, grown.Bottom);
    // Without Resizable the frame sizes nothing.
    tw->Resizable = false;
    EXPECT_EQ(frame->SizingEdgeAt(1, 1), -1);
}

TEST(ToolWindowMove, theWindowWaitsForTheReleaseAndCtrlKeepsItFromDocking) {
    Desk t;
    ShowAndActivate(&t.form);
    TToolWindowFloatingFrame* frame = t.floatAt(TPoint(250, 330));
    TCustomForm* host = t.bar->FloatingForm();
    const TRect start = t.bar->WindowRect();
    // Held by the caption with Ctrl down and brought over the (empty) top
    // dock; the caption follows the mouse wherever it goes.
    TPoint over = t.form.ClientToScreen(TPoint(100, 0));
    SendMouseDown(frame, 10, 8, mbLeft, {ssCtrl});
    SendMouseMove(&t.form, 100, 0, {ssCtrl});
    EXPECT_EQ(t.bar->MoveTarget(), nullptr);
    EXPECT_EQ(t.bar->Outline().Thickness(), t.bar->FloatingBorderSize());
    // Still where it was: only the outline follows the pointer.
    EXPECT_EQ(t.bar->WindowRect(), start);
    EXPECT_EQ(t.bar->Outline().Rect().Left, over.X - 10);
    // Ctrl let go: the dock takes it at once, without a move.
    SendKeyToFocus(&t.form, VK_CONTROL);
    EXPECT_EQ(t.bar->MoveTarget(), t.top);
    EXPECT_EQ(t.bar->Outline().Thickness(), 1);
    EXPECT_FALSE(t.bar->Docked());
    SendMouseUp(&t.form, 100, 0);
    ProcessEvents();
    EXPECT_EQ(t.bar->DockedTo(), t.top);
    EXPECT_FALSE(host->Visible());
    EXPECT_FALSE(t.bar->Outline().Visible());
    // A second press during a drag gives it up.
    TRect docked = t.bar->WindowRect();
    SendMouseDown(t.bar, 3, 5);
    TPoint far = t.bar->ScreenToClient(TPoint(docked.Left + 150, docked.Top + 200));
    SendMouseMove(t.bar, far.X, far.Y);
    EXPECT_TRUE(t.bar->Moving());
    TPoint onForm = t.form.ScreenToClient(TPoint(docked.Left + 150, docked.Top + 200));
    SendMouseDown(&t.form, onForm.X, onForm.Y);
    EXPECT_FALSE(t.bar->Moving());
    SendMouseUp(&t.form, onForm.X, onForm.Y);
    EXPECT_EQ(t.bar->DockedTo(), t.top);
}

TEST(ToolWindowMove, aBarThatCannotFloatShowsNoOutlineAwayFromTheDocks) {
    Desk t;
    ShowAndActivate(&t.form);
    t.bar->DockMode = dmCannotFloat;
    SendMouseDown(t.bar, 3, 5);
    TPoint far = t.bar->ScreenToClient(t.form.ClientToScreen(TPoint(250, 200)));
    SendMouseMove(t.bar, far.X, far.Y);
    EXPECT_TRUE(IsRectEmpty(t.bar->MoveRect()));
    EXPECT_FALSE(t.bar->Outline().Visible());
    EXPECT_EQ(t.bar->Cursor(), crNo);
    SendMouseUp(t.bar, far.X, far.Y);
    EXPECT_EQ(t.bar->DockedTo(), t.top);
    EXPECT_EQ(t.bar->Cursor(), crDefault);
}

TEST(ToolWindowMove, aWindowDroppedOffTheScreenStaysWithinReach) {
    Desk t;
    ShowAndActivate(&t.form);
    TToolWindowFloatingFrame* frame = t.floatAt(TPoint(250, 330));
    const TRect work = Screen->WorkAreaRect();
    const int B = t.bar->FloatingBorderSize();
    // Held at its lower right corner and dropped beyond the screen's left
    // edge: the border and four pixels stay on the screen.
    const int W = frame->Width(), H = frame->Height();
    t.bar->BeginMove(W - 1 - t.bar->Left(), H - 2 - t.bar->Top());
    t.bar->MoveTo(TPoint(work.Left - 500, work.Top + 200));
    EXPECT_EQ(t.bar->MoveRect().Right, work.Left + B + 4);
    // Held low and dropped above the top: the caption's lower four pixels
    // stay.
    t.bar->MoveTo(TPoint(work.Left + 200, work.Top - 300));
    EXPECT_EQ(t.bar->MoveRect().Top, work.Top + 4 - (B + SmallCaptionHeight));
    t.bar->EndMove(true);
    EXPECT_EQ(t.bar->WindowRect().Top, work.Top + 4 - (B + SmallCaptionHeight));
    // A window wholly off the work area comes back; one partly on it stays.
    t.bar->SetFloatingPosition(TPoint(work.Right + 300, work.Bottom + 300));
    t.bar->KeepOnScreen();
    TRect r = t.bar->WindowRect();
    EXPECT_EQ(r.Right, work.Right);
    EXPECT_EQ(r.Bottom, work.Bottom);
    t.bar->SetFloatingPosition(TPoint(work.Right - 10, work.Top + 50));
    t.bar->KeepOnScreen();
    EXPECT_EQ(t.bar->WindowRect().Left, work.Right - 10);
    t.bar->KeepOnScreen(false);
    EXPECT_EQ(t.bar->WindowRect().Right, work.Right);
}

TEST(FloatingToolWindow, neverTakesTheActivationAndFollowsItsForm) {
    Desk t;
    ShowAndActivate(&t.form);
    int clicks = 0;
    t.buttons[0]->OnClick = [&](TObject*) { ++clicks; };
    TToolWindowFloatingFrame* frame = t.floatAt(TPoint(250, 330));
    TCustomForm* host = t.bar->FloatingForm();
    EXPECT_TRUE(host->Visible());
    EXPECT_TRUE(host->NoActivate());
    EXPECT_TRUE(TakesKeys(&t.form));
    // A click on its button and on its caption leaves the form active.
    SendClick(t.buttons[0]);
    SendClick(frame, 10, 8);
    ProcessEvents();
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(TakesKeys(&t.form));
    EXPECT_TRUE(t.form.Active());
    // It goes and comes with its form.
    t.form.Hide();
    ProcessEvents();
    EXPECT_FALSE(host->Visible());
    t.form.Show();
    ProcessEvents();
    EXPECT_TRUE(host->Visible());
    // Above every window instead, it stays when the form goes.
    t.bar->SetFloatingMode(fmOnTopOfAllForms);
    EXPECT_EQ(host->FormStyle(), fsStayOnTop);
    t.form.Hide();
    ProcessEvents();
    EXPECT_TRUE(host->Visible());
    t.form.Show();
    t.bar->SetFloatingMode(fmOnTopOfParentForm);
    EXPECT_EQ(host->FormStyle(), fsNormal);
    // Hidden by the program, it stays hidden when its form comes back.
    t.bar->Hide();
    t.form.Hide();
    t.form.Show();
    ProcessEvents();
    EXPECT_FALSE(host->Visible());
}

TEST(FloatingToolWindow, hidesWhileTheApplicationIsInactiveOrGreysItsCaption) {
    Desk t;
    ShowAndActivate(&t.form);
    t.floatAt(TPoint(250, 330));
    TCustomForm* host = t.bar->FloatingForm();
    ASSERT_TRUE(host->Visible());
    // The keyboard leaves the program.
    SendApplicationDeactivate();
    ASSERT_FALSE(ApplicationActive());
    EXPECT_FALSE(host->Visible());
    EXPECT_FALSE(t.bar->CaptionInactive());
    // Kept shown instead, its caption turns inactive.
    t.bar->SetHideWhenInactive(false);
    EXPECT_TRUE(host->Visible());
    EXPECT_TRUE(t.bar->CaptionInactive());
    // Back in the program, all is as before.
    t.bar->SetHideWhenInactive(true);
    ShowAndActivate(&t.form);
    EXPECT_TRUE(ApplicationActive());
    EXPECT_TRUE(host->Visible());
    EXPECT_FALSE(t.bar->CaptionInactive());
}

} // namespace
