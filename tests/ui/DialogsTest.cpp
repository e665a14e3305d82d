// Message dialogs, input and file dialogs answered through the seam, and
// the containers that lay controls out (panel borders, notebook pages).
#include <gtest/gtest.h>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "TestKit.h"

namespace {

TEST(Dialogs, messageDlgAsksThroughTheSeamAndReturnsTheModalResult) {
    TSeamScript script;
    script.ExpectMessage("删除", mrYes, "Confirm");
    EXPECT_EQ(MessageDlg("确定删除该记录吗？", mtConfirmation, {mbYes, mbNo}), mrYes);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].Caption, "Confirm");
    EXPECT_EQ(script.Shown()[0].Text, "确定删除该记录吗？");
}

TEST(Dialogs, messageDlgWithAllButtonAnswersMrAll) {
    TSeamScript script;
    script.ExpectMessage("导入", mrAll, "Error");
    EXPECT_EQ(MessageDlg("导入失败：第3行", mtError, {mbYes, mbNo, mbAll}), mrAll);
}

TEST(Dialogs, showMessageUsesTheApplicationTitle) {
    TSeamScript script;
    Application->SetTitle("图书馆管理系统");
    script.ExpectMessage("保存成功", IDOK);
    ShowMessage("保存成功！");
    EXPECT_EQ(script.Shown().at(0).Caption, "图书馆管理系统");
}

TEST(Dialogs, inputBoxKeepsTheDefaultWhenCancelled) {
    TSeamScript script;
    script.ExpectInput("密码", "", false);
    script.ExpectInput("册数", "12");
    EXPECT_EQ(InputBox("密码", "请输入密码：", "abc"), "abc");
    EXPECT_EQ(InputBox("册数", "请输入册数：", "1"), "12");
}

TEST(Dialogs, saveDialogAddsTheDefaultExtension) {
    TSeamScript script;
    script.ExpectFile(TSeamKind::SaveDialog, "/tmp/list");
    script.ExpectFile(TSeamKind::SaveDialog, "/tmp/report.QRP");
    TSaveDialog dlg(nullptr);
    dlg.SetFilter("报表文件 (*.QRP)|*.QRP");
    dlg.SetDefaultExt("xls");
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), "/tmp/list.xls");
    ASSERT_TRUE(dlg.Execute());
    EXPECT_EQ(dlg.FileName(), "/tmp/report.QRP");
}

TEST(Containers, panelKeepsAlignedChildrenInsideItsBevelAndBorder) {
    TForm form(nullptr);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 200, 100);
    panel->SetBorderWidth(4);
    auto* inner = new TPanel(&form);
    inner->SetParent(panel);
    inner->SetAlign(alClient);
    EXPECT_EQ(inner->BoundsRect(), Rect(5, 5, 195, 95));
}

TEST(Containers, notebookShowsOnlyTheActivePageByName) {
    TForm form(nullptr);
    auto* nb = new TNotebook(&form);
    nb->SetParent(&form);
    nb->Pages()->Add("Find");
    nb->Pages()->Add("Condition");
    EXPECT_EQ(nb->ActivePage(), "Find");
    nb->SetActivePage("Condition");
    EXPECT_EQ(nb->PageIndex(), 1);
    EXPECT_FALSE(nb->Page(0)->Visible());
    EXPECT_TRUE(nb->Page(1)->Visible());
    EXPECT_THROW(nb->SetActivePage("Setting"), EInvalidOperation);
}

TEST(Containers, radioGroupItemIndexFollowsAClick) {
    TSeamScript script;
    TForm form(nullptr);
    auto* rg = new TRadioGroup(&form);
    rg->SetParent(&form);
    rg->SetBounds(0, 0, 200, 80);
    rg->Items()->Add("借书");
    rg->Items()->Add("还书");
    int clicks = 0;
    rg->OnClick = [&](TObject*) { ++clicks; };
    ShowAndActivate(&form);
    SendClick(rg->Buttons(1), 5, 5);
    EXPECT_EQ(rg->ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
}

} // namespace

namespace {

TEST(Containers, scrollBoxGrowsItsAreaToHoldFarChildren) {
    TForm form(nullptr);
    auto* box = new TScrollBox(&form);
    box->SetParent(&form);
    box->SetBounds(0, 0, 100, 100);
    auto* far = new TPanel(&form);
    far->SetParent(box);
    far->SetBounds(10, 400, 50, 30);
    box->Realign();
    ShowAndActivate(&form);
    box->ScrollInView(far);
    ProcessEvents();
    EXPECT_GT(box->VertPosition(), 300);
}

TEST(HintWindow, hintRectGrowsWithTheText) {
    THintWindow hint(nullptr);
    TRect small = hint.CalcHintRect(300, "借");
    TRect large = hint.CalcHintRect(300, "借书证号不存在，请重新输入");
    EXPECT_GT(large.Width(), small.Width());
    hint.ActivateHint(Bounds(10, 10, large.Width(), large.Height()), "借书证号不存在，请重新输入");
    EXPECT_TRUE(hint.Showing());
    hint.ReleaseHandle();
    EXPECT_FALSE(hint.Showing());
}

} // namespace
