// A small application on the window layer, driven with real key and mouse
// events under the offscreen platform: an MDI frame with a main menu and a
// child, a modal dialog answered by the script, Enter and Esc conventions,
// menu and action shortcuts, and the silent and the shown exception.
#include <gtest/gtest.h>

#include "support/TestNames.h"

#include "ActnList.h"
#include "Build.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "TestKit.h"

namespace {

// The dialog most windows of the program resemble: two edits, OK and Cancel.
class TFrmDialog : public TForm {
public:
    TEdit* EditCode;
    TEdit* EditName;
    TButton* BtOk;
    TButton* BtCancel;
    int cancelClicks = 0;

    explicit TFrmDialog(TComponent* owner) : TForm(owner) {
        SetName("FrmDialog");
        SetCaption("读者查询");
        SetClientWidth(300);
        SetClientHeight(120);
        SetKeyPreview(true);
        TBuild b(this);
        EditCode = b.Add<TEdit>("EditCode").At(10, 10);
        EditName = b.Add<TEdit>("EditName").At(10, 40);
        BtOk = b.Add<TButton>("BtOk").At(130, 80).Caption("确定(&O)").ModalResult(mrOk);
        BtCancel = b.Add<TButton>("BtCancel")
                       .At(210, 80)
                       .Caption("取消(&C)")
                       .Cancel()
                       .ModalResult(mrCancel)
                       .OnClick([this](TObject*) { ++cancelClicks; });
        // Enter moves on to the next control, as the editors do.
        OnKeyDown = [this](TObject*, Word& key, TShiftState) {
            if (key == VK_RETURN && ActiveControl() != BtOk && ActiveControl() != BtCancel) key = VK_TAB;
        };
    }
};

class TFrmChild : public TForm {
public:
    explicit TFrmChild(TComponent* owner) : TForm(owner) {
        SetName("FrmChild");
        SetCaption("超期列表");
        SetFormStyle(fsMDIChild);
        SetBounds(0, 0, 300, 200);
        OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
    }
};

class TFrmMain : public TForm {
public:
    TMainMenu* MainMenu1;
    TMenuItem* MnuSystem;
    TMenuItem* MnuOpen;
    TMenuItem* MnuLocked;
    TActionList* ActionList1;
    TAction* ActClock;
    TEdit* EditScan;
    TButton* BtAbort;
    TButton* BtFail;
    std::vector<std::string> ran;

    explicit TFrmMain(TComponent* owner) : TForm(owner) {
        SetName("FrmMain");
        SetCaption("图书馆管理系统");
        SetFormStyle(fsMDIForm);
        SetBounds(0, 0, 800, 600);
        MainMenu1 = new TMainMenu(this);
        MnuSystem = item("MnuSystem", "系统(&S)");
        MainMenu1->Items()->Add(MnuSystem);
        MnuOpen = item("MnuOpen", "超期列表(&O)");
        MnuOpen->SetShortCut(TextToShortCut("Ctrl+O"));
        MnuSystem->Add(MnuOpen);
        MnuLocked = item("MnuLocked", "数据清理");
        MnuLocked->SetEnabled(false);
        MnuSystem->Add(MnuLocked);
        SetMenu(MainMenu1);
        ActionList1 = new TActionList(this);
        ActClock = new TAction(ActionList1);
        ActClock->SetShortCut(ShortCut(VK_F2, {ssCtrl}));
        ActClock->OnExecute = [this](TObject*) { ran.push_back("ActClock"); };
        auto* panel = new TEdit(this);
        EditScan = panel;
        EditScan->SetName("EditScan");
        EditScan->SetParent(this);
        EditScan->SetAlign(alTop);
        BtAbort = new TButton(this);
        BtAbort->SetName("BtAbort");
        BtAbort->SetParent(this);
        BtAbort->SetAlign(alBottom);
        BtAbort->OnClick = [](TObject*) { Abort(); };
        BtFail = new TButton(this);
        BtFail->SetName("BtFail");
        BtFail->SetParent(this);
        BtFail->SetAlign(alBottom);
        BtFail->OnClick = [](TObject*) { throw EDatabaseError("连接失败,请重新设置数据连接！"); };
    }

    TMenuItem* item(const char* name, const char* caption) {
        auto* it = new TMenuItem(this);
        it->SetName(name);
        it->SetCaption(caption);
        it->OnClick = [this, name](TObject*) { ran.push_back(name); };
        return it;
    }
};

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
    }
    void TearDown() override { ProcessEvents(); }
    TSeamScript script;
};

TEST_F(FormsTest, mdiFrameHoldsChildrenAndAChildFreesItselfOnClose) {
    auto* main = new TFrmMain(Application);
    ShowAndActivate(main);
    auto* child = new TFrmChild(Application);
    child->Show();
    ProcessEvents();
    ASSERT_EQ(main->MDIChildCount(), 1);
    EXPECT_EQ(main->MDIChildren(0), child);
    EXPECT_TRUE(dynamic_cast<TFrmChild*>(main->MDIChildren(0)) != nullptr);
    // The aligned edit and buttons take their room; the MDI area the rest.
    EXPECT_EQ(main->EditScan->Width(), main->ClientWidth());
    EXPECT_EQ(main->EditScan->Top(), 0);
    EXPECT_EQ(main->BtAbort->Top() + main->BtAbort->Height(), main->ClientHeight());

    child->Close();
    ProcessEvents();
    EXPECT_EQ(main->MDIChildCount(), 0);
    delete main;
}

// Tells when its own destructor has run, and counts the focus handlers
// called after that: those would run on what is left of the form.
class TFrmWatched : public TForm {
public:
    TEdit* EditFirst;
    TEdit* EditSecond;

    TFrmWatched(TComponent* owner, bool mdiChild, bool* gone, int* lateCalls) : TForm(owner), gone_(gone) {
        SetName("FrmWatched");
        if (mdiChild) SetFormStyle(fsMDIChild);
        SetBounds(0, 0, 300, 200);
        EditFirst = edit("EditFirst", 10, lateCalls);
        EditSecond = edit("EditSecond", 40, lateCalls);
    }
    ~TFrmWatched() override { *gone_ = true; }

private:
    bool* gone_;
    TEdit* edit(const char* name, int y, int* lateCalls) {
        auto* e = new TEdit(this);
        e->SetName(name);
        e->SetParent(this);
        e->SetTop(y);
        auto late = [gone = gone_, lateCalls](TObject*) {
            if (*gone) ++*lateCalls;
        };
        e->OnEnter = late;
        e->OnExit = late;
        return e;
    }
};

TEST_F(FormsTest, focusHandlersAreNotCalledOnAFormBeingDestroyed) {
    bool gone = false;
    int lateCalls = 0;
    auto* form = new TFrmWatched(nullptr, false, &gone, &lateCalls);
    ShowAndActivate(form);
    form->EditFirst->SetFocus();
    ProcessEvents();
    ASSERT_EQ(form->ActiveControl(), form->EditFirst);
    delete form;
    EXPECT_TRUE(gone);
    EXPECT_EQ(lateCalls, 0);
}

TEST_F(FormsTest, focusHandlersAreNotCalledOnAnMdiChildBeingDestroyed) {
    auto* main = new TFrmMain(Application);
    ShowAndActivate(main);
    bool gone = false;
    int lateCalls = 0;
    auto* child = new TFrmWatched(Application, true, &gone, &lateCalls);
    child->Show();
    ProcessEvents();
    child->EditFirst->SetFocus();
    ProcessEvents();
    ASSERT_EQ(child->ActiveControl(), child->EditFirst);
    delete child;
    EXPECT_TRUE(gone);
    EXPECT_EQ(lateCalls, 0);
    delete main;
}

TEST_F(FormsTest, modalDialogAnsweredByTheScriptSetsItsFields) {
    script.ExpectForm("TFrmDialog", mrOk, {{"EditCode", "R0001"}, {"EditName", "张三"}});
    TFrmDialog dlg(nullptr);
    EXPECT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_EQ(dlg.EditCode->Text(), "R0001");
    EXPECT_EQ(dlg.EditName->Text(), "张三");
    EXPECT_FALSE(dlg.Visible());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].Caption, "读者查询");
    EXPECT_EQ(script.Shown()[0].FormClass, "TFrmDialog");
    EXPECT_TRUE(script.Unused().empty());
}

TEST_F(FormsTest, enterMovesTheFocusToTheNextControlInTabOrder) {
    TFrmDialog dlg(nullptr);
    ShowAndActivate(&dlg);
    dlg.EditCode->SetFocus();
    ProcessEvents();
    ASSERT_EQ(dlg.ActiveControl(), dlg.EditCode);
    SendKeyToFocus(&dlg, VK_RETURN);
    EXPECT_EQ(dlg.ActiveControl(), dlg.EditName);
    SendKeyTo(&dlg, "EditName", VK_RETURN);
    EXPECT_EQ(dlg.ActiveControl(), dlg.BtOk);
    // Shift+Tab goes back.
    SendKeyToFocus(&dlg, VK_TAB, {ssShift});
    EXPECT_EQ(dlg.ActiveControl(), dlg.EditName);
}

TEST_F(FormsTest, escPressesTheCancelButtonOfAModalDialog) {
    script.ExpectForm("FrmDialog", mrNone, {}, [](TCustomForm* f) {
        auto* d = static_cast<TFrmDialog*>(f);
        SendKey(d->EditCode, VK_ESCAPE);
    });
    TFrmDialog dlg(nullptr);
    EXPECT_EQ(dlg.ShowModal(), mrCancel);
    EXPECT_EQ(dlg.cancelClicks, 1);
}

TEST_F(FormsTest, enterOnAFocusedButtonPressesIt) {
    script.ExpectForm("FrmDialog", mrNone, {}, [](TCustomForm* f) {
        auto* d = static_cast<TFrmDialog*>(f);
        SendKey(d->BtOk, VK_RETURN);
    });
    TFrmDialog dlg(nullptr);
    EXPECT_EQ(dlg.ShowModal(), mrOk);
}

TEST_F(FormsTest, disabledMenuItemIgnoresClick) {
    TFrmMain main(nullptr);
    main.MnuLocked->Click();
    main.MnuOpen->Click();
    EXPECT_EQ(main.ran, (std::vector<std::string>{"MnuOpen"}));
}

TEST_F(FormsTest, menuAndActionShortcutsRunWhereverTheFocusIs) {
    TFrmMain main(nullptr);
    ShowAndActivate(&main);
    SendKey(main.EditScan, 'O', {ssCtrl});
    SendKey(main.EditScan, VK_F2, {ssCtrl});
    EXPECT_EQ(main.ran, (std::vector<std::string>{"MnuOpen", "ActClock"}));
    // The shortcut keys never reach the edit as text.
    EXPECT_EQ(main.EditScan->Text(), "");
}

TEST_F(FormsTest, abortFromAHandlerIsSilentAndOtherErrorsShowTheirMessage) {
    Application->SetTitle("图书馆管理系统");
    script.ExpectMessage("连接失败", IDOK);
    TFrmMain main(nullptr);
    ShowAndActivate(&main);
    SendClick(main.BtAbort);
    EXPECT_TRUE(script.Shown().empty());
    SendClick(main.BtFail);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].Text, "连接失败,请重新设置数据连接！");
    EXPECT_EQ(script.Shown()[0].Caption, "图书馆管理系统");
}

TEST_F(FormsTest, unexpectedMessageBoxIsRecordedAsAFailureInsteadOfWaiting) {
    std::vector<std::string> failures;
    script.OnFailure = [&](const std::string& m) { failures.push_back(m); };
    EXPECT_EQ(Application->MessageBox("确定退出？", "提示！", MB_YESNO), IDCANCEL);
    EXPECT_EQ(failures, (std::vector<std::string>{"unexpected message box: [提示！] 确定退出？"}));
}

TEST_F(FormsTest, unexpectedModalFormClosesWithCancelInsteadOfWaiting) {
    std::vector<std::string> failures;
    script.OnFailure = [&](const std::string& m) { failures.push_back(m); };
    TFrmDialog dlg(nullptr);
    EXPECT_EQ(dlg.ShowModal(), mrCancel);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("FrmDialog"), std::string::npos);
}

TEST_F(FormsTest, closeQueryCanKeepAModalDialogOpenUntilItAgrees) {
    int asked = 0;
    script.ExpectForm("FrmDialog", mrNone, {}, [&](TCustomForm* f) {
        auto* d = static_cast<TFrmDialog*>(f);
        SendClick(d->BtOk); // refused: still open
        EXPECT_TRUE(d->Visible());
        SendClick(d->BtOk); // agreed
    });
    TFrmDialog dlg(nullptr);
    dlg.OnCloseQuery = [&](TObject*, bool& can) { can = ++asked >= 2; };
    EXPECT_EQ(dlg.ShowModal(), mrOk);
    EXPECT_EQ(asked, 2);
}

struct KeyPressRow {
    const char* name;
    const char* typed;
    const char* expected;
};

class KeyPressFilter : public ::testing::TestWithParam<KeyPressRow> {};

// An OnKeyPress that keeps digits only and turns '.' into '-'.
TEST_P(KeyPressFilter, handlerDecidesWhatTheEditReceives) {
    TSeamScript script;
    TForm form(nullptr);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->OnKeyPress = [](TObject*, char32_t& key) {
        if (key == '.' || key == U'借')
            key = '-';
        else if (key < '0' || key > '9')
            key = 0;
    };
    ShowAndActivate(&form);
    SendText(edit, GetParam().typed);
    EXPECT_EQ(edit->Text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, KeyPressFilter,
                         ::testing::Values(KeyPressRow{"digitsPass", "2024", "2024"},
                                           KeyPressRow{"lettersDropped", "a1b2", "12"},
                                           KeyPressRow{"chineseDropped", "第3册", "3"},
                                           KeyPressRow{"chineseReplaced", "借", "-"},
                                           KeyPressRow{"replacedCharacter", "1.5", "1-5"}),
                         RowName());

// Which control keeps Enter for itself and which lets the Default button have it.
struct EnterRow {
    const char* name;
    bool memo;
    bool defaultPressed;
};

class EnterKey : public ::testing::TestWithParam<EnterRow> {};

TEST_P(EnterKey, defaultButtonGetsEnterUnlessTheControlWantsIt) {
    TSeamScript script;
    TForm form(nullptr);
    TWinControl* target;
    if (GetParam().memo)
        target = new TMemo(&form);
    else
        target = new TEdit(&form);
    target->SetParent(&form);
    auto* ok = new TButton(&form);
    ok->SetParent(&form);
    ok->SetDefault(true);
    int pressed = 0;
    ok->OnClick = [&](TObject*) { ++pressed; };
    ShowAndActivate(&form);
    SendKey(target, VK_RETURN);
    EXPECT_EQ(pressed, GetParam().defaultPressed ? 1 : 0);
    if (GetParam().memo) EXPECT_EQ(static_cast<TMemo*>(target)->Lines()->Count(), 2);
}

INSTANTIATE_TEST_SUITE_P(Rows, EnterKey,
                         ::testing::Values(EnterRow{"editPressesDefault", false, true},
                                           EnterRow{"memoKeepsEnter", true, false}),
                         RowName());

TEST_F(FormsTest, keyPreviewLetsTheFormSeeKeysFirst) {
    TForm form(nullptr);
    form.SetKeyPreview(true);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    std::vector<std::string> order;
    form.OnKeyDown = [&](TObject*, Word& key, TShiftState) {
        order.push_back("form");
        if (key == VK_F9) key = 0;
    };
    edit->OnKeyDown = [&](TObject*, Word&, TShiftState) { order.push_back("edit"); };
    ShowAndActivate(&form);
    SendKey(edit, VK_F5);
    SendKey(edit, VK_F9);
    EXPECT_EQ(order, (std::vector<std::string>{"form", "edit", "form"}));
}

TEST_F(FormsTest, fixedBorderFormCanStillBeSizedByCode) {
    TForm form(nullptr);
    form.SetBorderStyle(bsDialog);
    form.SetClientWidth(300);
    form.SetClientHeight(170);
    EXPECT_EQ(form.ClientWidth(), 300);
    EXPECT_EQ(form.ClientHeight(), 170);
    form.SetPosition(poScreenCenter);
    ShowAndActivate(&form);
    EXPECT_EQ(form.ClientWidth(), 300);
}

TEST_F(FormsTest, sampleFormRendersToPng) {
    TFrmDialog dlg(nullptr);
    dlg.EditName->SetText("张三 借书成功");
    auto* label = new TLabel(&dlg);
    label->SetParent(&dlg);
    label->SetCaption("读者编码：");
    label->SetLeft(140);
    label->SetTop(12);
    ShowAndActivate(&dlg);
    std::string path = std::string(BUILD_DIR) + "/test-output/screens/sample-form.png";
    ASSERT_TRUE(SaveFormPng(&dlg, path));
    FILE* f = fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    unsigned char sig[8] = {};
    ASSERT_EQ(fread(sig, 1, 8, f), 8u);
    fclose(f);
    EXPECT_EQ(sig[1], 'P');
}

TEST_F(FormsTest, mdiFrameRendersToPng) {
    auto* main = new TFrmMain(Application);
    main->SetCaption("图书馆管理系统");
    ShowAndActivate(main);
    auto* child = new TFrmChild(Application);
    auto* label = new TLabel(child);
    label->SetParent(child);
    label->SetCaption("超期未还图书：3 册");
    label->SetLeft(20);
    label->SetTop(20);
    child->Show();
    ProcessEvents();
    std::string path = std::string(BUILD_DIR) + "/test-output/screens/mdi-frame.png";
    EXPECT_TRUE(SaveFormPng(main, path));
    delete main;
    // The child outlived its frame: deleting it now must be safe.
    delete child;
}

} // namespace
