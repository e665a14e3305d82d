// The login dialog; see uLogin.h. Every statement quotes the typed text,
// so a quote in a code or password is compared as text and cannot change
// the statement.
#include "uLogin.h"

#include "ADODB.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"

#include <memory>

std::string LoginCode;

namespace {
const TColor Cream = RGB(255, 242, 222);

TLabel* makeLabel(TFrmLogin* form, TWinControl* parent, const char* name, const char* caption, int left, int top) {
    auto* l = new TLabel(form);
    l->SetName(name);
    l->SetParent(parent);
    l->SetCaption(caption);
    l->SetBounds(left, top, 72, 12);
    return l;
}
} // namespace

TFrmLogin::TFrmLogin(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmLogin");
    SetCaption("用户登陆");
    SetClientWidth(300);
    SetClientHeight(170);

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetBounds(0, 0, 300, 120);

    Label1 = makeLabel(this, Panel1, "Label1", "用户编号：", 30, 22);
    Label2 = makeLabel(this, Panel1, "Label2", "用户名称：", 30, 54);
    Label3 = makeLabel(this, Panel1, "Label3", "用户密码:", 30, 86);

    CmbId = new TComboBox(this);
    CmbId->SetName("CmbId");
    CmbId->SetParent(Panel1);
    CmbId->SetStyle(csDropDownList);
    CmbId->SetBounds(110, 18, 160, 20);
    CmbId->SetTabOrder(0);

    EditName = new TEdit(this);
    EditName->SetName("EditName");
    EditName->SetParent(Panel1);
    EditName->SetReadOnly(true);
    EditName->SetBounds(110, 50, 160, 20);
    EditName->SetTabOrder(1);

    EditPassword = new TEdit(this);
    EditPassword->SetName("EditPassword");
    EditPassword->SetParent(Panel1);
    EditPassword->SetPasswordChar('*');
    EditPassword->SetBounds(110, 82, 160, 20);
    EditPassword->SetTabOrder(2);

    BitBtn1 = new TBitBtn(this);
    BitBtn1->SetName("BitBtn1");
    BitBtn1->SetParent(this);
    BitBtn1->SetCaption("确定");
    BitBtn1->SetBounds(60, 132, 75, 25);
    BitBtn1->SetTabOrder(1);

    BitBtn2 = new TBitBtn(this);
    BitBtn2->SetName("BitBtn2");
    BitBtn2->SetParent(this);
    BitBtn2->SetCaption("取消");
    BitBtn2->SetCancel(true);
    BitBtn2->SetBounds(165, 132, 75, 25);
    BitBtn2->SetTabOrder(2);

    ADOQueryPass = new TADOQuery(this);
    ADOQueryPass->SetName("ADOQueryPass");
    if (DMData) ADOQueryPass->SetConnection(DMData->ADOConnection1);

    CmbId->OnChange = [this](TObject* s) { CmbIdChange(s); };
    auto enterMovesOn = [this](TObject* s, Word& key, TShiftState) {
        if (key != VK_RETURN) return;
        key = 0;
        SelectNext(static_cast<TWinControl*>(s), true, true);
    };
    CmbId->OnKeyDown = enterMovesOn;
    EditName->OnKeyDown = enterMovesOn;
    EditPassword->OnKeyDown = [this](TObject*, Word& key, TShiftState) {
        if (key != VK_RETURN) return;
        key = 0;
        BitBtn1->SetFocus();
    };
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
    BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };
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
    ADOQueryPass->Close();
    ADOQueryPass->SQL()->SetText("select Usename from SystemUser where usecode=" + QuotedStr(CmbId->Text()));
    ADOQueryPass->Open();
    if (!ADOQueryPass->IsEmpty()) EditName->SetText(ADOQueryPass->FieldByName("UseName")->AsString());
    ADOQueryPass->Close();
}

void TFrmLogin::BitBtn1Click(TObject*) {
    if (CmbId->Text().empty()) return;
    const std::string code = Trim(CmbId->Text());
    const std::string password = Trim(EditPassword->Text());
    std::string sql = "select * from SystemUser where Usecode=" + QuotedStr(code);
    if (!password.empty())
        sql += " and Passwords=" + QuotedStr(password);
    else
        sql += " and (Passwords='' or Isnull(Passwords))";
    ADOQueryPass->Close();
    ADOQueryPass->SQL()->SetText(sql);
    ADOQueryPass->Open();
    const bool found = !ADOQueryPass->IsEmpty();
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

void RunLogin(std::string& code) {
    std::unique_ptr<TFrmLogin> form(new TFrmLogin(Application));
    form->ShowModal();
    code = LoginCode;
}
