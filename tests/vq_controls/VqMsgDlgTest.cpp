// The library's message box and dialog bases, shown through the dialog seam
// and answered with clicks and keys through the window system.
#include "vq/controls/VqMsgDlg.h"

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TestKit.h"
#include "support/TestNames.h"
#include "vq/controls/VqBase.h"
#include "vq/controls/VqStdCtrls.h"

#include <gtest/gtest.h>

namespace {

const std::string kScreens = BUILD_DIR "/test-output/screens/";

bool saveScreen(TCustomForm* f, const std::string& name) {
    ForceDirectories(kScreens);
    return SaveFormPng(f, kScreens + name);
}

class VqMsgBox : public ::testing::Test {
protected:
    TSeamScript script;
    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    }
    // Runs the box; action sees the shown form.
    int run(TVQMsgdlg& box, std::function<void(TCustomForm*)> action) {
        script.ExpectForm("TFrmVqMsgBox", mrNone, {}, std::move(action));
        return box.Execute();
    }
    static TControl* find(TCustomForm* f, const std::string& name) { return FindControl(f, name); }
};

TEST_F(VqMsgBox, emptyButtonListShowsOneOkButton) {
    TVQMsgdlg box(nullptr);
    box.Message()->Add("已保存");
    int buttons = -1;
    std::string caption;
    const int result = run(box, [&](TCustomForm* f) {
        buttons = 0;
        while (find(f, "btn" + std::to_string(buttons))) ++buttons;
        caption = find(f, "btn0")->Caption();
        SendClick(find(f, "btn0"));
    });
    EXPECT_EQ(buttons, 1);
    EXPECT_EQ(caption, "确定");
    EXPECT_EQ(result, 0);
}

TEST_F(VqMsgBox, trailingEmptyButtonsAreDropped) {
    TVQMsgdlg box(nullptr);
    box.Buttons()->Add("是");
    box.Buttons()->Add("");
    box.Buttons()->Add("");
    box.Message()->Add("继续?");
    run(box, [&](TCustomForm* f) {
        EXPECT_NE(find(f, "btn0"), nullptr);
        EXPECT_EQ(find(f, "btn1"), nullptr);
        SendClick(find(f, "btn0"));
    });
    EXPECT_EQ(box.Buttons()->Count(), 1);
}

TEST_F(VqMsgBox, buttonsAre80By25FivePixelsApartAndCentred) {
    TVQMsgdlg box(nullptr);
    box.Buttons()->Add("是");
    box.Buttons()->Add("否");
    box.Buttons()->Add("取消");
    box.Message()->Add("这是一条相当长的提示文字，用来把对话框撑得比按钮行更宽一些。");
    box.SetIcon(icInformation);
    const int result = run(box, [&](TCustomForm* f) {
        auto* b0 = find(f, "btn0");
        auto* b1 = find(f, "btn1");
        auto* b2 = find(f, "btn2");
        EXPECT_EQ(b0->Width(), 80);
        EXPECT_EQ(b0->Height(), 25);
        EXPECT_EQ(b1->Left() - b0->Left(), 85);
        EXPECT_EQ(b2->Left() - b1->Left(), 85);
        const int need = 16 + 85 * 3;
        EXPECT_EQ(b0->Left(), 8 + (f->ClientWidth() - need) / 2);
        // The text stands right of the 32-pixel icon.
        EXPECT_EQ(find(f, "LbText")->Left(), 10 + 32 + 10);
        SendClick(b1);
    });
    EXPECT_EQ(result, 1);
}

TEST_F(VqMsgBox, defaultButtonHasTheFocus) {
    TVQMsgdlg box(nullptr);
    box.Buttons()->Add("确定");
    box.Buttons()->Add("取消");
    box.Message()->Add("删除?");
    box.SetDefault(1);
    const int result = run(box, [&](TCustomForm* f) {
        ProcessEvents();
        EXPECT_EQ(f->ActiveControl(), find(f, "btn1"));
        SendKeyToFocus(f, VK_SPACE);
    });
    EXPECT_EQ(result, 1);
}

TEST_F(VqMsgBox, defaultOutOfRangeFocusesNoButtonAndRaisesNothing) {
    TVQMsgdlg box(nullptr);
    box.Buttons()->Add("确定");
    box.Buttons()->Add("取消");
    box.Message()->Add("x");
    box.SetDefault(5);
    EXPECT_EQ(run(box, [&](TCustomForm* f) { SendClick(find(f, "btn0")); }), 0);
}

TEST_F(VqMsgBox, longLineMakesABoxSixtyPercentOfTheScreenWide) {
    TVQMsgdlg box(nullptr);
    std::string words;
    for (int i = 0; i < 150; ++i) words += "Word ";
    box.Message()->Add(words);
    run(box, [&](TCustomForm* f) {
        EXPECT_EQ(f->ClientWidth(), int(Screen->Width() * 0.6));
        EXPECT_GT(find(f, "LbText")->Height(), 2 * 14) << "the text wraps onto several lines";
        SendClick(find(f, "btn0"));
    });
}

// Closing by the title bar used to return the previous run's answer, which
// could read as "yes".
TEST_F(VqMsgBox, closedByTitleBarReturnsNoAnswerNotThePreviousOne) {
    TVQMsgdlg box(nullptr);
    box.Buttons()->Add("是");
    box.Buttons()->Add("否");
    box.Message()->Add("确定删除?");
    EXPECT_EQ(run(box, [&](TCustomForm* f) { SendClick(find(f, "btn0")); }), 0);
    EXPECT_EQ(run(box, [&](TCustomForm* f) { SendCloseBox(f); }), -1);
}

TEST_F(VqMsgBox, showOkMessageShowsTitleTextAndBeeps) {
    std::string caption, text;
    script.ExpectForm("TFrmVqMsgBox", mrNone, {}, [&](TCustomForm* f) {
        caption = f->Caption();
        text = find(f, "LbText")->Caption();
        EXPECT_TRUE(saveScreen(f, "vq-message-box.png"));
        SendClick(find(f, "btn0"));
    });
    ShowOkMessage(icInformation, "提示", "书号不能为空！");
    EXPECT_EQ(caption, "提示");
    EXPECT_EQ(text, "书号不能为空！");
    bool beeped = false;
    for (const TSeamRecord& r : script.Shown()) beeped |= r.Kind == TSeamKind::Beep;
    EXPECT_TRUE(beeped);
}

TEST_F(VqMsgBox, askOkCancelModeZeroAnswersFalseWithoutABox) {
    EXPECT_FALSE(AskOkCancel("询问", "您是否确定删除?", 0));
    EXPECT_TRUE(script.Shown().empty());
}

TEST_F(VqMsgBox, askOkCancelModeTwoAsksWithCancelAsDefault) {
    script.ExpectMessage("您是否确定删除?", IDOK, "询问");
    EXPECT_TRUE(AskOkCancel("询问", "您是否确定删除?", 2));
    script.ExpectMessage("您是否确定删除?", IDCANCEL, "询问");
    EXPECT_FALSE(AskOkCancel("询问", "您是否确定删除?", 2));
}

// ------------------------------------------------------------ dialog bases

class ProbeBase : public TFrmBase {
public:
    using TFrmBase::TFrmBase;
    std::vector<std::string> calls;
    TEdit* Edit = nullptr;

protected:
    void DoBeforeShow() override { calls.push_back("before"); }
    void DoAfterShow() override { calls.push_back("after"); }
};

TEST(VqFrmBase, showRunsBothHooksAndEscapeClosesFromAControl) {
    ProbeBase form(nullptr);
    EXPECT_EQ(form.Width(), 544);
    form.Edit = new TEdit(&form);
    form.Edit->SetName("Edit1");
    form.Edit->SetParent(&form);
    ShowAndActivate(&form);
    EXPECT_EQ(form.calls, (std::vector<std::string>{"before", "after"}));
    SendKey(form.Edit, VK_ESCAPE);
    ProcessEvents();
    EXPECT_FALSE(form.Visible());
}

TEST(VqFrmDlgBase, closeButtonClosesAndTheDialogFreesItself) {
    auto* form = new TFrmDlgBase(nullptr);
    bool destroyed = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    ShowAndActivate(form);
    EXPECT_EQ(form->PnlTop->Height(), 39);
    EXPECT_EQ(form->BtnClose->Hint(), "退出当前模块");
    EXPECT_EQ(form->BtnClose->Caption(), "退出");
    EXPECT_TRUE(saveScreen(form, "vq-dialog-base.png"));
    SendClick(form->BtnClose);
    ProcessEvents();
    ProcessEvents();
    EXPECT_TRUE(destroyed);
}

} // namespace
