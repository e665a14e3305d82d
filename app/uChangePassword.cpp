// The password change; see uChangePassword.h.
#include "uChangePassword.h"

#include "ADODB.h"
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

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetBounds(8, 8, 264, 114);

    auto row = [this](const char* name, const char* caption, int top) {
        auto* l = new TLabel(this);
        l->SetName(std::string("Lb") + name);
        l->SetParent(Panel1);
        l->SetCaption(caption);
        l->SetBounds(20, top + 3, 70, 14);
        auto* e = new TEdit(this);
        e->SetName(name);
        e->SetParent(Panel1);
        e->SetPasswordChar('*');
        e->SetBounds(96, top, 146, 21);
        e->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { EditOldKeyDown(s, k, sh); };
        return e;
    };
    EditOld = row("EditOld", "旧密码:", 14);
    EditNew = row("EditNew", "新密码:", 46);
    EditNew1 = row("EditNew1", "确认密码:", 78);

    BtSave = new TButton(this);
    BtSave->SetName("BtSave");
    BtSave->SetParent(this);
    BtSave->SetCaption("确定");
    BtSave->SetBounds(104, 134, 76, 25);
    BtSave->OnClick = [this](TObject* s) { BtSaveClick(s); };
    BtClose = new TButton(this);
    BtClose->SetName("BtClose");
    BtClose->SetParent(this);
    BtClose->SetCaption("取消");
    BtClose->SetCancel(true);
    BtClose->SetBounds(192, 134, 76, 25);
    BtClose->OnClick = [this](TObject* s) { BtCloseClick(s); };

    ADOQueryPass = new TADOQuery(this);
    ADOQueryPass->SetName("ADOQueryPass");
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
    const std::string old = Trim(EditOld->Text());
    std::string sql = "select * from SystemUser where Usecode=" + QuotedStr(OperatorCode) + " and ";
    sql += EditOld->Text().empty() ? std::string("(Passwords='' or Passwords is null)") : "Passwords=" + QuotedStr(old);
    ADOQueryPass->Close();
    ADOQueryPass->SQL()->SetText(sql);
    ADOQueryPass->Open();
    const bool found = !ADOQueryPass->IsEmpty();
    ADOQueryPass->Close();
    if (!found) {
        ShowInfoBox("旧密码输入错误，请重新输入!");
        if (EditOld->CanFocus()) EditOld->SetFocus();
        return;
    }
    DMData->ADOConnection1->Execute("update SystemUser set Passwords=" + QuotedStr(Trim(EditNew->Text())) +
                                    " where Usecode=" + QuotedStr(OperatorCode));
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
