// Operators and rights on a real database through the real windows: a new
// operator's 35 rows, "全选" then "授权(&R)", the boxes following the current
// operator by keyboard, renaming that carries the rights rows, quotes in
// typed values, the protected Admin, and the password change.
#include "AdminFixture.h"

#include "ADODB.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "DBGrids.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uChangePassword.h"
#include "app/uDMData.h"
#include "app/uGlobal.h"
#include "app/uRightSet.h"
#include "app/useradd.h"

#include <functional>
#include <memory>

namespace {

std::function<void(TCustomForm*)> fillEditor(const std::string& code, const std::string& name, int duty,
                                             const std::string& password) {
    return [=](TCustomForm* f) {
        auto* e = static_cast<TFrmUseradd*>(f);
        e->EditCode->SetText(code);
        e->Editname->SetText(name);
        e->ComboBox1->SetItemIndex(duty);
        e->Editpassword->SetText(password);
        e->EditPassword1->SetText(password);
        e->BitBtn1->Click();
    };
}

class RightsAdminTest : public AdminFixture {
protected:
    void TearDown() override {
        delete form;
        AdminFixture::TearDown();
    }
    void open() {
        form = new TFrmRightSet(nullptr);
        ShowAndActivate(form);
        ProcessEvents();
    }
    void addOperatorThroughEditor(const std::string& code) {
        script.ExpectForm("TFrmUseradd", mrNone, {}, fillEditor(code, code + "名", 0, "pw"));
        script.ExpectMessage("是否确定完成!", IDYES);
        form->ToolButton1Click(form->ToolButton1);
    }
    // Rows of an operator as "ModuleId|flag" with flag 1 or 0.
    std::vector<std::string> rights(const std::string& code) {
        return Rows("select ModuleId, iif(Ifcheck, 1, 0) from UserModule where Usecode=" + QuotedStr(code) +
                    " order by ModuleId");
    }
    static std::vector<std::string> all(int governed, int other = 0) {
        std::vector<std::string> rows;
        for (int id = 0; id < ModuleCount; ++id)
            rows.push_back(std::to_string(id) + "|" + std::to_string(id == 8 || id == 11 ? other : governed));
        return rows;
    }
    void insertOperator(const std::string& code, int flag) {
        Exec("insert into SystemUser (UseCode, UseName, Duty, Passwords) values (" + QuotedStr(code) +
             ", 'n', '操作员', '')");
        for (int id = 0; id < ModuleCount; ++id)
            Exec("insert into UserModule (Usecode, ModuleId, Ifcheck) values (" + QuotedStr(code) + ", " +
                 std::to_string(id) + ", " + std::to_string(flag) + ")");
    }
    std::vector<bool> boxStates() const {
        std::vector<bool> s;
        for (const TRightBox& b : RightBoxes()) s.push_back(form->Box(b.ModuleId)->Checked());
        return s;
    }
    TFrmRightSet* form = nullptr;
};

TEST_F(RightsAdminTest, windowShowsThirtyThreeBoxesOnFivePagesAndTheSystemPage) {
    open();
    EXPECT_EQ(form->Caption(), "权限设置");
    EXPECT_EQ(RightBoxes().size(), 33u);
    EXPECT_EQ(form->PageControl1->PageCount(), 5);
    EXPECT_EQ(form->PageControl1->ActivePage()->Caption(), "系统管理");
    EXPECT_EQ(form->Box(8), nullptr);
    EXPECT_EQ(form->Box(11), nullptr);
    EXPECT_EQ(form->Box(34)->Caption(), "图书预编");
    EXPECT_EQ(form->ShownOperator(), "Admin");
    // For a look by eye.
    EXPECT_TRUE(SaveFormPng(form, BUILD_DIR "/test-output/screens/rights-window.png"));
}

TEST_F(RightsAdminTest, newOperatorGetsThirtyFiveRowsAllFalse) {
    open();
    addOperatorThroughEditor("bob");
    EXPECT_EQ(Rows("select UseCode, UseName, Duty, Passwords from SystemUser where UseCode='bob'"),
              std::vector<std::string>{"bob|bob名|操作员|pw"});
    EXPECT_EQ(rights("bob"), all(0));
    EXPECT_EQ(form->ShownOperator(), "bob");
    EXPECT_EQ(boxStates(), std::vector<bool>(33, false));
    EXPECT_TRUE(script.Unused().empty());
}

TEST_F(RightsAdminTest, cancelledAddInsertsNoRows) {
    open();
    script.ExpectForm("TFrmUseradd", mrNone, {},
                      [](TCustomForm* f) { static_cast<TFrmUseradd*>(f)->BitBtn2->Click(); });
    form->ToolButton1Click(form->ToolButton1);
    EXPECT_EQ(Scalar("select count(*) from UserModule where Usecode<>'Admin'"), "0");
    EXPECT_EQ(Scalar("select count(*) from SystemUser"), "1");
}

TEST_F(RightsAdminTest, selectAllThenAuthoriseMakesEveryGovernedRowTrue) {
    open();
    addOperatorThroughEditor("bob");
    form->Btall->Click();
    form->ToolButton4->Click();
    EXPECT_EQ(rights("bob"), all(1, 0));
    form->Btclear->Click();
    form->ToolButton4->Click();
    EXPECT_EQ(rights("bob"), all(0, 0));
}

// The boxes used to reload only on a mouse click: after moving with the
// keyboard, "授权(&R)" wrote the previous operator's boxes onto the new one.
TEST_F(RightsAdminTest, keyboardMoveOfTheCurrentOperatorReloadsTheBoxes) {
    insertOperator("b1", -1);
    insertOperator("b2", 0);
    open();
    ASSERT_EQ(form->ShownOperator(), "Admin");
    SendKey(form->DBGrid1, VK_DOWN);
    ASSERT_EQ(DMData->AdoQueryUser->FieldByName("UseCode")->AsString(), "b1");
    EXPECT_EQ(form->ShownOperator(), "b1");
    EXPECT_EQ(boxStates(), std::vector<bool>(33, true));
    SendKey(form->DBGrid1, VK_DOWN);
    EXPECT_EQ(form->ShownOperator(), "b2");
    EXPECT_EQ(boxStates(), std::vector<bool>(33, false));
    form->ToolButton4->Click();
    EXPECT_EQ(rights("b2"), all(0));
    EXPECT_EQ(rights("b1"), all(1, 1));
}

TEST_F(RightsAdminTest, operatorWithoutRowsShowsNoBoxesOfThePreviousOne) {
    insertOperator("b1", -1);
    Exec("insert into SystemUser (UseCode, UseName, Duty, Passwords) values ('b2', 'n', '操作员', '')");
    open();
    SendKey(form->DBGrid1, VK_DOWN);
    ASSERT_EQ(boxStates(), std::vector<bool>(33, true));
    SendKey(form->DBGrid1, VK_DOWN);
    EXPECT_EQ(form->ShownOperator(), "b2");
    EXPECT_EQ(boxStates(), std::vector<bool>(33, false));
}

// Renaming used to leave the rights rows under the old code.
TEST_F(RightsAdminTest, renamingAnOperatorRenamesItsRightsRows) {
    insertOperator("bob", -1);
    open();
    ASSERT_TRUE(DMData->AdoQueryUser->Locate("UseCode", Variant(std::string("bob"))));
    script.ExpectForm("TFrmUseradd", mrNone, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmUseradd*>(f);
        EXPECT_EQ(e->EditCode->Text(), "bob");
        EXPECT_EQ(e->EditPassword1->Text(), "");
        e->EditCode->SetText("rob");
        e->EditPassword1->SetText(e->Editpassword->Text());
        e->BitBtn1->Click();
    });
    script.ExpectMessage("是否确定完成!", IDYES);
    form->ToolButton2Click(form->ToolButton2);
    EXPECT_EQ(rights("rob"), all(1, 1));
    EXPECT_EQ(rights("bob"), std::vector<std::string>{});
    EXPECT_EQ(Scalar("select count(*) from SystemUser where UseCode='bob'"), "0");
}

TEST_F(RightsAdminTest, quoteInTypedCodeAndNameIsStoredAsTyped) {
    open();
    script.ExpectForm("TFrmUseradd", mrNone, {}, fillEditor("o'hara", "x','y", 1, "p'w"));
    script.ExpectMessage("是否确定完成!", IDYES);
    form->ToolButton1Click(form->ToolButton1);
    EXPECT_EQ(Rows("select UseCode, UseName, Duty, Passwords from SystemUser where UseName='x'',''y'"),
              std::vector<std::string>{"o'hara|x','y|管理员|p'w"});
    EXPECT_EQ(rights("o'hara"), all(0));
    form->Btall->Click();
    form->ToolButton4->Click();
    EXPECT_EQ(rights("o'hara"), all(1, 0));
}

TEST_F(RightsAdminTest, duplicateCodeIsRefused) {
    open();
    script.ExpectForm("TFrmUseradd", mrNone, {}, [](TCustomForm* f) {
        fillEditor("admin", "again", 0, "")(f);
        static_cast<TFrmUseradd*>(f)->BitBtn2->Click();
    });
    script.ExpectMessage("是否确定完成!", IDYES);
    script.ExpectMessage("用户编码重复，请重新输入", IDOK);
    form->ToolButton1Click(form->ToolButton1);
    EXPECT_EQ(Scalar("select count(*) from SystemUser"), "1");
}

TEST_F(RightsAdminTest, adminSuperUserCannotBeDeletedButAnotherOperatorCan) {
    insertOperator("bob", 0);
    open();
    script.ExpectMessage("是否确定删除!", IDYES);
    script.ExpectMessage("此用户不能删除！", IDOK);
    form->ToolButton3Click(form->ToolButton3);
    EXPECT_EQ(Scalar("select count(*) from SystemUser where UseCode='Admin'"), "1");

    ASSERT_TRUE(DMData->AdoQueryUser->Locate("UseCode", Variant(std::string("bob"))));
    script.ExpectMessage("是否确定删除!", IDYES);
    form->ToolButton3Click(form->ToolButton3);
    EXPECT_EQ(Scalar("select count(*) from SystemUser where UseCode='bob'"), "0");
    EXPECT_EQ(rights("bob"), std::vector<std::string>{});
    EXPECT_TRUE(script.Unused().empty());
}

// ------------------------------------------------------------ password change

struct PasswordCase {
    const char* name;
    const char* stored; // nullptr: NULL in the database
    const char* oldText;
    const char* newText;
    const char* newAgain;
    const char* message;  // "" when none
    const char* expected; // stored afterwards ("<null>" for NULL)
};

class PasswordChange : public AdminFixture, public ::testing::WithParamInterface<PasswordCase> {};

TEST_P(PasswordChange, storesOrRefuses) {
    const PasswordCase& c = GetParam();
    Exec("update SystemUser set Passwords=" + (c.stored ? QuotedStr(c.stored) : std::string("NULL")) +
         " where UseCode='Admin'");
    if (*c.message) script.ExpectMessage(c.message, IDOK);
    std::unique_ptr<TFrmChangePassword> f(new TFrmChangePassword(nullptr));
    ShowAndActivate(f.get());
    EXPECT_EQ(f->Caption(), "更改口令");
    f->EditOld->SetText(c.oldText);
    f->EditNew->SetText(c.newText);
    f->EditNew1->SetText(c.newAgain);
    f->BtSave->Click();
    EXPECT_EQ(Scalar("select iif(Passwords is null, '<null>', Passwords) from SystemUser where UseCode='Admin'"),
              c.expected);
    EXPECT_EQ(script.Texts(), *c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordChange,
    ::testing::Values(PasswordCase{"emptyOldMatchesEmpty", "", "", "new", "new", "", "new"},
                      PasswordCase{"emptyOldMatchesNull", nullptr, "", "new", "new", "", "new"},
                      PasswordCase{"blanksAroundOldCount", "abc", " abc ", " n ", " n ", "旧密码输入错误，请重新输入!",
                                   "abc"},
                      PasswordCase{"oldLetterCaseCounts", "abc", "ABC", "n", "n", "旧密码输入错误，请重新输入!", "abc"},
                      PasswordCase{"newStoredAsTypedWithBlanks", "abc", "abc", " n ", " n ", "", " n "},
                      PasswordCase{"wrongOld", "abc", "abd", "n", "n", "旧密码输入错误，请重新输入!", "abc"},
                      PasswordCase{"newBoxesDiffer", "abc", "abc", "n", "n ", "两次输入密码不一致，请重新输入!", "abc"},
                      PasswordCase{"quoteInOldCannotChangeTheStatement", "abc", "x' or '1'='1", "n", "n",
                                   "旧密码输入错误，请重新输入!", "abc"},
                      PasswordCase{"quoteInNewIsStored", "", "", "a'b", "a'b", "", "a'b"}),
    RowName());

} // namespace
