// The password change; see uChangePassword.h.
#include "uChangePassword.h"
#include "uLogin.h"

#include "ADODB.h"
#include "Build.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"
#include "uGlobal.h"

namespace {
constexpr TColor Cream = RGB(255, 242, 222);
}

TFrmChangePassword::TFrmChangePassword(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmChangePassword");
    SetBorderStyle(bsDialog);
    SetClientWidth(280);
    SetClientHeight(170);

    TBuild b(this);
    Panel1 = b.Add<TPanel>("Panel1").Caption("").At(8, 8, 264, 114);
    struct Row {
        TEdit** field;
        const char* name;
        const char* caption;
        int top;
    };
    auto panel = b.In(Panel1);
    const TFieldColumn column{20, 96, 146, 21, 3, 70, 14};
    for (Row r : {Row{&EditOld, "EditOld", "旧密码:", 14}, Row{&EditNew, "EditNew", "新密码:", 46},
                  Row{&EditNew1, "EditNew1", "确认密码:", 78}}) {
        const std::string label = std::string("Lb") + r.name;
        *r.field = panel.Field<TEdit>(column, label.c_str(), r.caption, r.name, r.top)
                       .PasswordChar('*')
                       .OnKeyDown(&TFrmChangePassword::EditOldKeyDown);
    }
    auto [save, close] = b.OkCancel<TButton>({"BtSave", "确定", 104}, {"BtClose", "取消", 192}, 134, 76, 25);
    BtSave = save.OnClick(&TFrmChangePassword::BtSaveClick);
    BtClose = close.OnClick(&TFrmChangePassword::BtCloseClick);

    ADOQueryPass = b.Add<TADOQuery>("ADOQueryPass");
    ADOQueryPass->SetConnection(DMData->ADOConnection1);
}

void TFrmChangePassword::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(Cream);
    Panel1->SetColor(Cream);
    SetCaption("更改口令");
}

void TFrmChangePassword::BtSaveClick(TObject*) {
    if (EditNew->Text() != EditNew1->Text()) {
        ShowMessage("两次输入密码不一致，请重新输入!");
        if (EditNew->CanFocus()) EditNew->SetFocus();
        return;
    }
    ADOQueryPass->SetStatement({"select * from SystemUser where Usecode=?", {OperatorCode}});
    ADOQueryPass->Open();
    const bool found =
        !ADOQueryPass->IsEmpty() && PasswordMatches(ADOQueryPass->FieldByName("Passwords")->Value(), EditOld->Text());
    ADOQueryPass->Close();
    if (!found) {
        ShowInfoBox("旧密码输入错误，请重新输入!");
        if (EditOld->CanFocus()) EditOld->SetFocus();
        return;
    }
    DMData->ADOConnection1->Execute("update SystemUser set Passwords=? where Usecode=?",
                                    {EditNew->Text(), OperatorCode});
    Close();
}

void TFrmChangePassword::BtCloseClick(TObject*) { Close(); }

void TFrmChangePassword::EditOldKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    FormKeyDown(Sender, Key, Shift);
    if (Key == VK_RETURN) {
        SelectNext(dynamic_cast<TWinControl*>(Sender), true, true);
        Key = 0;
    }
}
