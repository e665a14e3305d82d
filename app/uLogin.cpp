// The login dialog; see uLogin.h. Every statement quotes the typed text,
// so a quote in a code or password is compared as text and cannot change
// the statement.
#include "uLogin.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"

#include <memory>

std::string LoginCode;

namespace {
const TColor Cream = RGB(255, 242, 222);
} // namespace

TFrmLogin::TFrmLogin(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmLogin");
    SetCaption("用户登陆");
    SetClientWidth(300);
    SetClientHeight(170);

    TBuild b(this);
    Panel1 = b.Add<TPanel>("Panel1").Caption("").At(0, 0, 300, 120);
    auto panel = b.In(Panel1);
    const TFieldColumn column{30, 110, 160, 20, 4, 72, 12};
    auto enterMovesOn = [this](TObject* s, Word& key, TShiftState) {
        if (key != VK_RETURN) return;
        key = 0;
        SelectNext(static_cast<TWinControl*>(s), true, true);
    };
    CmbId = panel.Field<TComboBox>(column, "Label1", "用户编号：", "CmbId", 18, &Label1)
                .Set(&TComboBox::SetStyle, csDropDownList)
                .TabOrder(0)
                .OnChange(&TFrmLogin::CmbIdChange)
                .OnKeyDown(enterMovesOn);
    EditName = panel.Field<TEdit>(column, "Label2", "用户名称：", "EditName", 50, &Label2)
                   .ReadOnly()
                   .TabOrder(1)
                   .OnKeyDown(enterMovesOn);
    EditPassword = panel.Field<TEdit>(column, "Label3", "用户密码:", "EditPassword", 82, &Label3)
                       .PasswordChar('*')
                       .TabOrder(2)
                       .OnKeyDown([this](TObject*, Word& key, TShiftState) {
                           if (key != VK_RETURN) return;
                           key = 0;
                           BitBtn1->SetFocus();
                       });
    auto [ok, cancel] = b.OkCancel<TBitBtn>({"BitBtn1", "确定", 60}, {"BitBtn2", "取消", 165}, 132, 75, 25);
    BitBtn1 = ok.TabOrder(1).OnClick(&TFrmLogin::BitBtn1Click);
    BitBtn2 = cancel.TabOrder(2).OnClick(&TFrmLogin::BitBtn2Click);

    ADOQueryPass = b.Add<TADOQuery>("ADOQueryPass");
    if (DMData) ADOQueryPass->SetConnection(DMData->ADOConnection1);
}

void TFrmLogin::InitForm() {
    TFrmBaseD::InitForm();
    Panel1->SetColor(Cream);
    SetCaption("用户登陆");
}

void TFrmLogin::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    ADOQueryPass->Close();
    ADOQueryPass->SQL()->SetText("select usecode from SystemUser");
    ADOQueryPass->Open();
    CmbId->Items()->Clear();
    for (ADOQueryPass->First(); !ADOQueryPass->Eof(); ADOQueryPass->Next())
        CmbId->Items()->Add(ADOQueryPass->FieldByName("usecode")->AsString());
    ADOQueryPass->Close();
    SetActiveControl(CmbId);
    if (Showing() && CmbId->CanFocus()) CmbId->SetFocus();
}

void TFrmLogin::CmbIdChange(TObject*) {
    ADOQueryPass->SetStatement({"select Usename from SystemUser where usecode=?", {CmbId->Text()}});
    ADOQueryPass->Open();
    if (!ADOQueryPass->IsEmpty()) EditName->SetText(ADOQueryPass->FieldByName("UseName")->AsString());
    ADOQueryPass->Close();
}

void TFrmLogin::BitBtn1Click(TObject*) {
    if (CmbId->Text().empty()) return;
    const std::string code = Trim(CmbId->Text());
    ADOQueryPass->SetStatement({"select * from SystemUser where Usecode=?", {code}});
    ADOQueryPass->Open();
    const bool found = !ADOQueryPass->IsEmpty() &&
                       PasswordMatches(ADOQueryPass->FieldByName("Passwords")->Value(), EditPassword->Text());
    if (found) LoginCode = ADOQueryPass->FieldByName("usecode")->AsString();
    ADOQueryPass->Close();
    if (found) {
        SetModalResult(mrOk);
        return;
    }
    Application->MessageBox("输入错误，请重新输入!", Application->Title(), MB_OK);
    EditPassword->SetFocus();
}

void TFrmLogin::BitBtn2Click(TObject*) {
    LoginCode.clear();
    SetModalResult(mrCancel);
}

bool PasswordMatches(const Variant& stored, const std::string& typed) { return VarToStr(stored) == typed; }

void RunLogin(std::string& code) {
    std::unique_ptr<TFrmLogin> form(new TFrmLogin(Application));
    form->ShowModal();
    code = LoginCode;
}
