// The base window classes through small derived windows on the test
// database: InitForm on every show and Esc, Enter as Tab in condition
// dialogs, what a lookup returns, and the record editor's transactional
// save (side updates and the row together or not at all).
#include "AdminFixture.h"

#include "ADODB.h"
#include "ComCtrls.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uBaseCond.h"
#include "app/uBaseD.h"
#include "app/uBaseDataEdit.h"
#include "app/uDMData.h"
#include "app/uFindCode.h"

namespace {

struct CountingWindow : TFrmBaseD {
    using TFrmBaseD::TFrmBaseD;
    void InitForm() override {
        TFrmBaseD::InitForm();
        ++inits;
    }
    int inits = 0;
};

using BaseWindowsAdminTest = AdminFixture;

TEST_F(BaseWindowsAdminTest, rootWindowInitialisesOnEveryShowAndClosesOnEsc) {
    std::unique_ptr<CountingWindow> w(new CountingWindow(nullptr));
    EXPECT_EQ(w->BorderStyle(), bsSingle);
    EXPECT_EQ(w->Position(), poScreenCenter);
    EXPECT_EQ(w->Font()->Name(), "宋体");
    EXPECT_EQ(w->Font()->Size(), 9);
    EXPECT_EQ(w->Font()->Charset(), GB2312_CHARSET);
    w->Show();
    w->Hide();
    w->Show();
    EXPECT_EQ(w->inits, 2);
    Word key = VK_RETURN;
    w->FormKeyDown(w.get(), key, {});
    EXPECT_TRUE(w->Visible());
    key = VK_ESCAPE;
    w->FormKeyDown(w.get(), key, {});
    ProcessEvents();
    EXPECT_FALSE(w->Visible());
}

TEST_F(BaseWindowsAdminTest, conditionDialogTurnsEnterIntoTabAndCancelCloses) {
    std::unique_ptr<TFrmBaseCond> d(new TFrmBaseCond(nullptr));
    d->Show();
    EXPECT_EQ(d->Caption(), "查询条件");
    EXPECT_EQ(d->Color(), RGB(255, 242, 222));
    EXPECT_EQ(d->Panel1->Color(), RGB(255, 242, 222));
    EXPECT_EQ(d->Label1->Caption(), "请输入查询条件(空格为所有):");
    EXPECT_EQ(d->BtConfirm->ModalResult(), mrOk);
    Word key = VK_RETURN;
    d->FormKeyDown(d.get(), key, {});
    EXPECT_EQ(key, Word(VK_TAB));
    d->BtCancelClick(d->BtCancel);
    ProcessEvents();
    EXPECT_FALSE(d->Visible());
}

struct UserLookup : TFrmFindCode {
    UserLookup(const std::string& sql) : TFrmFindCode(nullptr) {
        ADOQuery1->SQL()->SetText(sql);
        ADOQuery1->Open();
    }
};

struct LookupCase {
    const char* name;
    const char* sql;
    const char* expectedCode;
    const char* expectedName;
};

class Lookup : public AdminFixture, public ::testing::WithParamInterface<LookupCase> {};

TEST_P(Lookup, confirmReturnsTheCurrentRow) {
    const LookupCase& c = GetParam();
    std::unique_ptr<UserLookup> d(new UserLookup(c.sql));
    d->Show();
    EXPECT_EQ(d->SearchMode, 0);
    EXPECT_EQ(d->TbCaption->Caption(), "按编码查找");
    d->ChosenCode = "before";
    d->ChosenName = "earlier";
    d->BtConfirmClick(d->BtConfirm);
    EXPECT_EQ(d->ChosenCode, c.expectedCode);
    EXPECT_EQ(d->ChosenName, c.expectedName);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Lookup,
    ::testing::Values(
        LookupCase{"twoColumns", "select UseCode as code, UseName as Name from SystemUser", "Admin", "管理员"},
        LookupCase{"singleColumnKeepsTheName", "select UseCode as code from SystemUser", "Admin", "earlier"},
        LookupCase{"emptyListChangesNothing", "select UseCode as code, UseName as Name from SystemUser where 1=0",
                   "before", "earlier"}),
    RowName());

TEST_F(BaseWindowsAdminTest, lookupCancelClearsTheChoiceAndClosesTheQuery) {
    std::unique_ptr<UserLookup> d(new UserLookup("select UseCode as code, UseName as Name from SystemUser"));
    d->Show();
    d->ChosenCode = "x";
    d->ChosenName = "y";
    d->BtCancelClick(d->BtCancel);
    EXPECT_EQ(d->ChosenCode, "");
    EXPECT_EQ(d->ChosenName, "");
    EXPECT_FALSE(d->ADOQuery1->Active());
}

// An operator editor whose side update and validation the test controls.
struct UserEditor : TFrmBaseDataEdit {
    UserEditor() : TFrmBaseDataEdit(nullptr) { AdoqEdit->SQL()->SetText("select * from SystemUser"); }
    bool ValidateRecord() override { return valid; }
    void BeforePost() override {
        DMData->ADOConnection1->Execute("insert into UserModule (Usecode, ModuleId, Ifcheck) values (" +
                                        QuotedStr(AdoqEdit->FieldByName("UseCode")->AsString()) + ", 99, 1)");
        if (failInBeforePost) throw EDatabaseError("side update failed");
    }
    void fill(const std::string& code) {
        AdoqEdit->FieldByName("UseCode")->SetAsString(code);
        AdoqEdit->FieldByName("UseName")->SetAsString(code + "名");
    }
    bool valid = true;
    bool failInBeforePost = false;
};

TEST_F(BaseWindowsAdminTest, saveAndAddLeavesTheEditorAddingAFreshRow) {
    auto* e = new UserEditor;
    e->EditMode = 2;
    e->KeyField = "UseCode";
    e->KeyValue = "admin";
    e->Show();
    ASSERT_EQ(e->AdoqEdit->State(), dsEdit);
    EXPECT_EQ(e->AdoqEdit->FieldByName("UseCode")->AsString(), "Admin");
    e->AdoqEdit->FieldByName("UseName")->SetAsString("改名");
    e->BtSaveAddClick(e->BtSaveAdd);
    EXPECT_EQ(e->EditMode, 1);
    EXPECT_EQ(e->AdoqEdit->State(), dsInsert);
    EXPECT_EQ(e->AdoqEdit->FieldByName("UseCode")->AsString(), "");
    EXPECT_EQ(Scalar("select UseName from SystemUser where UseCode='Admin'"), "改名");
    e->fill("new1");
    e->BtSaveExitClick(e->BtSaveExit);
    ProcessEvents();
    EXPECT_EQ(Rows("select UseCode, UseName from SystemUser where UseCode='new1'"),
              std::vector<std::string>{"new1|new1名"});
    EXPECT_EQ(Scalar("select count(*) from UserModule where ModuleId=99"), "2");
}

TEST_F(BaseWindowsAdminTest, failureInsideBeforePostLeavesNeitherTheSideUpdateNorTheRow) {
    std::unique_ptr<UserEditor> e(new UserEditor);
    e->EditMode = 1;
    e->Show();
    e->fill("bad");
    e->failInBeforePost = true;
    script.ExpectMessage("存盘失败！", IDOK, "信息");
    EXPECT_THROW(e->SaveRecord(), EAbort);
    EXPECT_EQ(Scalar("select count(*) from SystemUser where UseCode='bad'"), "0");
    EXPECT_EQ(Scalar("select count(*) from UserModule where ModuleId=99"), "0");
    EXPECT_FALSE(DMData->ADOConnection1->InTransaction());
    EXPECT_EQ(e->AdoqEdit->State(), dsInsert);
    EXPECT_TRUE(script.Unused().empty());
}

TEST_F(BaseWindowsAdminTest, failedValidationStopsSilently) {
    std::unique_ptr<UserEditor> e(new UserEditor);
    e->EditMode = 1;
    e->Show();
    e->fill("nope");
    e->valid = false;
    EXPECT_THROW(e->SaveRecord(), EAbort);
    EXPECT_TRUE(script.Shown().empty());
    EXPECT_EQ(Scalar("select count(*) from SystemUser where UseCode='nope'"), "0");
    EXPECT_EQ(e->AdoqEdit->State(), dsInsert);
}

} // namespace
