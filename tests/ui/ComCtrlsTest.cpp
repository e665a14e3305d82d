// Common controls: pages, status bar panels, tool bar layout, progress,
// up-down, dates and the lazily filled tree.
#include <gtest/gtest.h>

#include <QAbstractSpinBox>
#include <QImage>
#include <QWidget>

#include "ComCtrls.h"
#include "StdCtrls.h"
#include "TestKit.h"
#include "Controls_p.h"

namespace {

TEST(PageControl, changingCanRefuseAndActivePageFollowsCode) {
    TForm form(nullptr);
    auto* pc = new TPageControl(&form);
    pc->SetParent(&form);
    TTabSheet* sheets[3];
    const char* names[] = {"基本信息", "借阅权限", "其他"};
    for (int i = 0; i < 3; ++i) {
        sheets[i] = new TTabSheet(&form);
        sheets[i]->SetCaption(names[i]);
        sheets[i]->SetPageControl(pc);
    }
    EXPECT_EQ(pc->PageCount(), 3);
    EXPECT_EQ(pc->ActivePage(), sheets[0]);
    bool allow = false;
    int changes = 0;
    pc->OnChanging = [&](TObject*, bool& a) { a = allow; };
    pc->OnChange = [&](TObject*) { ++changes; };
    pc->SelectNextPage(true);
    EXPECT_EQ(pc->ActivePage(), sheets[0]);
    allow = true;
    pc->SelectNextPage(true);
    EXPECT_EQ(pc->ActivePage(), sheets[1]);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(sheets[1]->Visible());
    EXPECT_FALSE(sheets[0]->Visible());
    sheets[2]->SetTabVisible(false);
    pc->SelectNextPage(true);
    EXPECT_EQ(pc->ActivePage(), sheets[0]);
}

TEST(StatusBar, ownerDrawnPanelIsPaintedByItsHandler) {
    TForm form(nullptr);
    form.SetClientWidth(400);
    form.SetClientHeight(100);
    auto* sb = new TStatusBar(&form);
    sb->SetParent(&form);
    const int widths[] = {250, 100, 50};
    for (int w : widths) sb->Panels()->Add()->SetWidth(w);
    sb->Panels()->Items(0)->SetText("操作员：张三");
    sb->Panels()->Items(1)->SetStyle(psOwnerDraw);
    TRect drawn;
    sb->OnDrawPanel = [&](TStatusBar* bar, TStatusPanel* p, const TRect& r) {
        drawn = r;
        bar->Canvas()->Brush()->SetColor(clRed);
        bar->Canvas()->FillRect(r);
    };
    ShowAndActivate(&form);
    EXPECT_EQ(sb->Top() + sb->Height(), form.ClientHeight());
    QImage shot = WidgetOf(sb)->grab().toImage();
    EXPECT_EQ(drawn.Left, 251);
    EXPECT_EQ(shot.pixelColor(300, 10), QColor(255, 0, 0));
    EXPECT_NE(shot.pixelColor(100, 10), QColor(255, 0, 0));
    // The last panel takes the rest of the width.
    EXPECT_EQ(sb->PanelRect(2).Right, 398);
}

TEST(ToolBar, buttonsSitLeftToRightInTheirOrder) {
    TForm form(nullptr);
    auto* tb = new TToolBar(&form);
    tb->SetParent(&form);
    TToolButton* b[3];
    for (auto*& x : b) {
        x = new TToolButton(&form);
        x->SetParent(tb);
    }
    b[1]->SetStyle(tbsSeparator);
    EXPECT_EQ(b[0]->Left(), 2);
    EXPECT_EQ(b[1]->Left(), 25);
    EXPECT_EQ(b[2]->Left(), 33);
    int clicks = 0;
    b[2]->OnClick = [&](TObject*) { ++clicks; };
    ShowAndActivate(&form);
    SendClick(b[2]);
    EXPECT_EQ(clicks, 1);
}

TEST(ProgressBar, stepItWrapsAfterMax) {
    TForm form(nullptr);
    auto* pb = new TProgressBar(&form);
    pb->SetParent(&form);
    pb->SetMax(25);
    pb->SetStep(10);
    pb->StepIt();
    pb->StepIt();
    EXPECT_EQ(pb->Position(), 20);
    pb->StepIt();
    EXPECT_EQ(pb->Position(), 4);
}

TEST(UpDown, arrowsStepTheAssociatedEditWithinTheRange) {
    TForm form(nullptr);
    auto* e = new TEdit(&form);
    e->SetParent(&form);
    auto* ud = new TUpDown(&form);
    ud->SetParent(&form);
    ud->SetMin(1);
    ud->SetMax(50);
    ud->SetPosition(1);
    ud->SetAssociate(e);
    EXPECT_EQ(e->Text(), "1");
    ud->ClickButton(btPrev);
    EXPECT_EQ(e->Text(), "1");
    e->SetText("49");
    ud->ClickButton(btNext);
    ud->ClickButton(btNext);
    EXPECT_EQ(e->Text(), "50");
}

TEST(DateTimePicker, dateIsADayNumberShownAsIsoDate) {
    TForm form(nullptr);
    auto* dp = new TDateTimePicker(&form);
    dp->SetParent(&form);
    int changes = 0;
    dp->OnChange = [&](TObject*) { ++changes; };
    dp->SetDate(45000); // 2023-03-15
    EXPECT_EQ(double(dp->Date()), 45000.0);
    EXPECT_EQ(FromQt(static_cast<QAbstractSpinBox*>(WidgetOf(dp))->text()), "2023-03-15");
    EXPECT_GE(changes, 1);
    auto* cal = new TMonthCalendar(&form);
    cal->SetParent(&form);
    cal->SetDate(45000.75);
    EXPECT_EQ(double(cal->Date()), 45000.0);
}

TEST(TreeView, childrenAreAddedWhenANodeIsFirstExpanded) {
    TForm form(nullptr);
    auto* tv = new TTreeView(&form);
    tv->SetParent(&form);
    int tag = 7;
    TTreeNode* root = tv->Items()->AddObject(nullptr, "中图分类", &tag);
    root->SetHasChildren(true);
    int asked = 0;
    tv->OnExpanding = [&](TObject*, TTreeNode* n, bool& allow) {
        ++asked;
        if (n->Count() == 0) {
            tv->Items()->AddChild(n, "A 马克思主义");
            tv->Items()->AddChild(n, "B 哲学、宗教");
        }
        allow = true;
    };
    EXPECT_TRUE(root->HasChildren());
    root->Expand(false);
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(root->Count(), 2);
    EXPECT_EQ(root->Item(1)->Text(), "B 哲学、宗教");
    EXPECT_EQ(root->Item(1)->Level(), 1);
    EXPECT_EQ(root->Data(), &tag);
    EXPECT_EQ(tv->Items()->Count(), 3);
    EXPECT_EQ(root->GetNext(), root->Item(0));
    TTreeNode* seen = nullptr;
    tv->OnChange = [&](TObject*, TTreeNode* n) { seen = n; };
    tv->SetSelected(root->Item(0));
    EXPECT_EQ(seen, root->Item(0));
    root->Item(0)->Delete();
    EXPECT_EQ(root->Count(), 1);
}

TEST(TreeView, expandingCanBeRefused) {
    TForm form(nullptr);
    auto* tv = new TTreeView(&form);
    tv->SetParent(&form);
    TTreeNode* root = tv->Items()->Add(nullptr, "root");
    tv->Items()->AddChild(root, "child");
    tv->OnExpanding = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
    root->Expand(false);
    EXPECT_FALSE(root->Expanded());
}

} // namespace
