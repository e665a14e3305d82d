// The panel bar, clicked through the window system: tabs open their
// panels, arrows scroll the buttons, and the layout's edge cases.
#include "vq/controls/VqOutBar.h"

#include "Forms.h"
#include "TestKit.h"

#include <gtest/gtest.h>

namespace {

class OutBar : public ::testing::Test {
protected:
    TForm form{nullptr};
    TImageList* large = new TImageList(&form);
    TVQOutBar* bar = new TVQOutBar(&form);
    std::vector<std::string> clicked;
    void SetUp() override {
        form.SetBounds(100, 100, 300, 260);
        bar->SetName("VQOutBar1");
        bar->SetParent(&form);
        bar->SetAlign(alNone);
        // One open panel: a content area 200 pixels high under a 23-pixel tab
        // and the two frame lines.
        bar->SetBounds(0, 0, 150, 225);
        bar->SetImages(large);
        TSWOutPanel* p = bar->AddPanel("图书");
        p->onClick = [this](TObject*) { clicked.push_back("图书"); };
        for (int i = 0; i < 6; ++i)
            p->AddButton("按钮" + std::to_string(i))->onClick = [this, i](TObject*) {
                clicked.push_back("按钮" + std::to_string(i));
            };
        ShowAndActivate(&form);
        bar->Repaint();
    }
    static TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
};

TEST_F(OutBar, sixButtonsOf44PixelsShowFourAndTheDownArrowThenScrollOneStep) {
    EXPECT_EQ(bar->ContentRect().Bottom - bar->ContentRect().Top + 1, 200);
    EXPECT_EQ(bar->FirstVisibleButton(), 0);
    EXPECT_EQ(bar->LastVisibleButton(), 3);
    EXPECT_FALSE(bar->UpArrowShown());
    ASSERT_TRUE(bar->DownArrowShown());
    const TPoint p = Centre(bar->DownArrowRect());
    SendClick(bar, p.X, p.Y);
    ProcessEvents();
    EXPECT_EQ(bar->FirstVisibleButton(), 1);
    EXPECT_EQ(bar->LastVisibleButton(), 4);
    EXPECT_TRUE(bar->UpArrowShown());
    EXPECT_TRUE(bar->DownArrowShown());
}

TEST_F(OutBar, clickOnAButtonsPictureCallsItsEvent) {
    const TPoint p = Centre(bar->Panels(0)->Buttons(2)->FrameRect);
    SendClick(bar, p.X, p.Y);
    ProcessEvents();
    EXPECT_EQ(clicked, (std::vector<std::string>{"按钮2"}));
}

TEST_F(OutBar, releaseOutsideThePressedTabStillOpensIt) {
    bar->AddPanel("读者")->onClick = [this](TObject*) { clicked.push_back("读者"); };
    bar->Repaint();
    const TPoint p = Centre(bar->Panels(1)->TabRect);
    SendMouseDown(bar, p.X, p.Y);
    SendMouseUp(bar, p.X, p.Y - 100);
    ProcessEvents();
    EXPECT_EQ(bar->PanelIndex(), 1);
    EXPECT_EQ(clicked, (std::vector<std::string>{"读者"}));
}

TEST_F(OutBar, panelWithoutItsImageListShowsNoButtonsAndNoArrows) {
    bar->Panels(0)->SmallImages = true;
    bar->Repaint();
    EXPECT_EQ(bar->LastVisibleButton(), -1);
    EXPECT_FALSE(bar->UpArrowShown());
    EXPECT_FALSE(bar->DownArrowShown());
}

TEST_F(OutBar, deletingTheOpenLastPanelOpensTheNewLastOne) {
    bar->AddPanel("读者");
    bar->SetPanelIndex(1);
    bar->Repaint();
    bar->DeletePanel(1);
    bar->Repaint();
    EXPECT_EQ(bar->PanelIndex(), 0);
}

} // namespace
