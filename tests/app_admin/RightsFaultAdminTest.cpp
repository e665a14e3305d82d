// Fault injection for the rights writes: a statement that fails on demand
// (a trigger) half-way through "授权(&R)" or an operator rename must leave
// the rows exactly as they were.
#include "AdminFixture.h"

#include "ADODB.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "app/uDMData.h"
#include "app/uRightSet.h"
#include "app/useradd.h"

namespace {

class RightsFaultAdminTest : public AdminFixture {
protected:
    void SetUp() override {
        AdminFixture::SetUp();
        Exec("insert into SystemUser (UseCode, UseName, Duty, Passwords) values ('bob', 'n', '操作员', '')");
        for (int id = 0; id < ModuleCount; ++id)
            Exec("insert into UserModule (Usecode, ModuleId, Ifcheck) values ('bob', " + std::to_string(id) + ", -1)");
        form = new TFrmRightSet(nullptr);
        ShowAndActivate(form);
        ProcessEvents();
        ASSERT_TRUE(DMData->AdoQueryUser->Locate("UseCode", Variant(std::string("bob"))));
    }
    void TearDown() override {
        delete form;
        AdminFixture::TearDown();
    }
    std::string rightsOf(const std::string& code) {
        return Scalar("select count(*) || '/' || sum(iif(Ifcheck, 1, 0)) from UserModule where Usecode=" +
                      QuotedStr(code));
    }
    TFrmRightSet* form = nullptr;
};

TEST_F(RightsFaultAdminTest, authoriseFailingHalfWayKeepsTheOldRights) {
    Exec("create trigger fail_at_20 before insert on UserModule when new.ModuleId = 20 "
         "begin select raise(abort, 'injected'); end");
    form->Btclear->Click();
    EXPECT_THROW(form->ToolButton4Click(form->ToolButton4), EDatabaseError);
    EXPECT_EQ(rightsOf("bob"), "35/35");
    EXPECT_FALSE(DMData->ADOConnection1->InTransaction());
}

TEST_F(RightsFaultAdminTest, renameFailingOnTheRightsRowsKeepsTheOperatorsCode) {
    Exec("create trigger fail_rename before update on UserModule "
         "begin select raise(abort, 'injected'); end");
    script.ExpectForm("TFrmUseradd", mrCancel, {}, [](TCustomForm* f) {
        auto* e = static_cast<TFrmUseradd*>(f);
        e->EditCode->SetText("rob");
        e->EditPassword1->SetText(e->Editpassword->Text());
        e->BitBtn1->Click();
    });
    script.ExpectMessage("是否确定完成!", IDYES);
    script.Expect(TSeamAnswer{TSeamKind::MessageBox, "", "injected", "", IDOK, "", {}, nullptr, true});
    form->ToolButton2Click(form->ToolButton2);
    EXPECT_EQ(Scalar("select count(*) from SystemUser where UseCode='bob'"), "1");
    EXPECT_EQ(Scalar("select count(*) from SystemUser where UseCode='rob'"), "0");
    EXPECT_EQ(rightsOf("bob"), "35/35");
    EXPECT_FALSE(DMData->ADOConnection1->InTransaction());
}

} // namespace
