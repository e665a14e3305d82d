// The login dialog against a real database: the operator list, right and
// wrong passwords, blanks around the password, and quotes in the typed
// texts that must be compared as text.
#include "CoreFixture.h"

#include "Buttons.h"
#include "StdCtrls.h"
#include "TestKit.h"
#include "app/uDMData.h"
#include "app/uLogin.h"

#include <memory>

namespace {

class LoginCoreTest : public CoreFixture {
protected:
    TSeamScript script;
    std::unique_ptr<TDMData> dm;

    void SetUp() override {
        CoreFixture::SetUp();
        script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
        Exec("insert into SystemUser (UseCode, UseName, Duty, Passwords) values "
             "('lin', '林芳', '操作员', 'Secret'), ('o''brien', '欧文', '操作员', 'a''b'), "
             "('nopw', '无密码', '操作员', null)");
        dm.reset(new TDMData(nullptr));
        ASSERT_TRUE(dm->Opened());
        LoginCode.clear();
    }
    void TearDown() override {
        dm.reset();
        CoreFixture::TearDown();
    }

    // Picks the code, types the password, presses "确定" once and closes
    // the dialog with Cancel-by-close-box semantics if it is still open.
    static std::function<void(TCustomForm*)> attempt(const std::string& code, const std::string& password) {
        return [code, password](TCustomForm* f) {
            auto* login = static_cast<TFrmLogin*>(f);
            login->CmbId->SetItemIndex(login->CmbId->Items()->IndexOf(code));
            login->EditPassword->SetText(password);
            login->BitBtn1->Click();
        };
    }
    std::string runLogin(const std::string& code, const std::string& password) {
        script.ExpectForm("TFrmLogin", mrNone, {}, attempt(code, password));
        std::string result = "untouched";
        RunLogin(result);
        return result;
    }
};

TEST_F(LoginCoreTest, listsOperatorsAndShowsChosenName) {
    std::vector<std::string> listed;
    std::string name;
    script.ExpectForm("TFrmLogin", mrCancel, {}, [&](TCustomForm* f) {
        auto* login = static_cast<TFrmLogin*>(f);
        for (int i = 0; i < login->CmbId->Items()->Count(); ++i) listed.push_back(login->CmbId->Items()->Strings(i));
        login->CmbId->SetItemIndex(login->CmbId->Items()->IndexOf("lin"));
        name = login->EditName->Text();
        EXPECT_EQ(login->Caption(), "用户登陆");
        EXPECT_EQ(login->ActiveControl(), login->CmbId);
        EXPECT_EQ(login->ClientWidth(), 300);
        EXPECT_EQ(login->ClientHeight(), 170);
    });
    std::string code;
    RunLogin(code);
    // In the order the database returns them: by code.
    EXPECT_EQ(listed, (std::vector<std::string>{"Admin", "lin", "nopw", "o'brien"}));
    EXPECT_EQ(name, "林芳");
}

struct LoginRow {
    const char* name;
    const char* code;
    const char* password;
    const char* expected; // "" = refused with the message
};
class LoginRowsCoreTest : public LoginCoreTest, public ::testing::WithParamInterface<LoginRow> {};

TEST_P(LoginRowsCoreTest, acceptsOrRefuses) {
    const LoginRow& r = GetParam();
    if (!*r.expected) script.ExpectMessage("输入错误，请重新输入!", IDOK);
    const std::string code = runLogin(r.code, r.password);
    if (*r.expected) {
        EXPECT_EQ(code, r.expected);
        EXPECT_EQ(script.Shown().size(), 1u);
    } else {
        // Refused: the dialog stayed open until the script closed it, which
        // leaves the result as it was at start-up (empty).
        EXPECT_EQ(code, "");
        ASSERT_EQ(script.Shown().size(), 2u);
        EXPECT_EQ(script.Shown()[1].Text, "输入错误，请重新输入!");
    }
    EXPECT_TRUE(script.Unused().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LoginRowsCoreTest,
    ::testing::Values(
        LoginRow{"adminEmptyPassword", "Admin", "", "Admin"}, LoginRow{"adminTypedPasswordRefused", "Admin", "x", ""},
        LoginRow{"nullPasswordLogsInEmpty", "nopw", "", "nopw"}, LoginRow{"nullPasswordRefusesTyped", "nopw", "x", ""},
        LoginRow{"rightPassword", "lin", "Secret", "lin"}, LoginRow{"passwordLetterCaseCounts", "lin", "secret", ""},
        LoginRow{"passwordUpperCaseRefused", "lin", "SECRET", ""},
        LoginRow{"blanksAroundPasswordCount", "lin", "  Secret ", ""},
        LoginRow{"trailingBlankAfterPasswordCounts", "lin", "Secret ", ""},
        LoginRow{"blankOnlyPasswordIsNotEmpty", "nopw", " ", ""}, LoginRow{"wrongPassword", "lin", "Secrets", ""},
        LoginRow{"emptyPasswordForPasswordedOperator", "lin", "", ""},
        LoginRow{"quoteInPasswordCannotWidenStatement", "lin", "' or '1'='1", ""},
        LoginRow{"quoteInPasswordCannotEndStatement", "Admin", "x' or Passwords='", ""},
        LoginRow{"quotesInCodeAndPasswordCompareAsText", "o'brien", "a'b", "o'brien"},
        LoginRow{"quoteOperatorWrongPassword", "o'brien", "a", ""}),
    RowName());

TEST_F(LoginCoreTest, refusalKeepsDialogOpenForAnotherTry) {
    script.ExpectMessage("输入错误，请重新输入!", IDOK);
    script.ExpectForm("TFrmLogin", mrNone, {}, [](TCustomForm* f) {
        auto* login = static_cast<TFrmLogin*>(f);
        attempt("lin", "bad")(f);
        EXPECT_TRUE(login->Modal());
        EXPECT_EQ(login->ModalResult(), mrNone);
        login->EditPassword->SetText("Secret");
        login->BitBtn1->Click();
    });
    std::string code;
    RunLogin(code);
    EXPECT_EQ(code, "lin");
}

TEST_F(LoginCoreTest, cancelClearsCode) {
    LoginCode = "lin";
    script.ExpectForm("TFrmLogin", mrNone, {}, [](TCustomForm* f) { static_cast<TFrmLogin*>(f)->BitBtn2->Click(); });
    std::string code = "x";
    RunLogin(code);
    EXPECT_EQ(code, "");
    EXPECT_EQ(LoginCode, "");
}

TEST_F(LoginCoreTest, closingOtherwiseKeepsPreviousCode) {
    LoginCode = "lin";
    script.ExpectForm("TFrmLogin", mrCancel);
    std::string code;
    RunLogin(code);
    EXPECT_EQ(code, "lin");
}

TEST_F(LoginCoreTest, emptyCodeDoesNothing) {
    script.ExpectForm("TFrmLogin", mrNone, {}, [](TCustomForm* f) {
        auto* login = static_cast<TFrmLogin*>(f);
        login->BitBtn1->Click();
        EXPECT_EQ(login->ModalResult(), mrNone);
    });
    std::string code;
    RunLogin(code);
    EXPECT_EQ(code, "");
    EXPECT_EQ(script.Shown().size(), 1u);
}

} // namespace
