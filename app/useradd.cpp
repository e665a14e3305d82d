// The operator editor; see useradd.h.
#include "useradd.h"

#include "ADODB.h"
#include "Buttons.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"
#include "uGlobal.h"
#include "uRightSet.h"

namespace {
constexpr TColor Cream = RGB(255, 242, 222);
}

TFrmUseradd::TFrmUseradd(TComponent* AOwner) : TForm(AOwner) {
    SetName("FrmUseradd");
    SetPosition(poScreenCenter);
    SetBorderStyle(bsDialog);
    SetColor(Cream);
    SetClientWidth(300);
    SetClientHeight(250);
    TFont font;
    font.SetName("宋体");
    font.SetSize(9);
    font.SetCharset(GB2312_CHARSET);
    SetFont(&font);

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetBounds(8, 8, 284, 190);

    auto label = [this](const char* name, const char* caption, int top) {
        auto* l = new TLabel(this);
        l->SetName(name);
        l->SetParent(Panel1);
        l->SetCaption(caption);
        l->SetBounds(20, top + 3, 70, 14);
    };
    auto edit = [this](const char* name, int top) {
        auto* e = new TEdit(this);
        e->SetName(name);
        e->SetParent(Panel1);
        e->SetBounds(96, top, 160, 21);
        e->OnKeyPress = [this](TObject* s, char32_t& k) { EditCodeKeyPress(s, k); };
        return e;
    };
    label("Label1", "用户代码：", 16);
    EditCode = edit("EditCode", 16);
    label("Label2", "用户名称：", 50);
    Editname = edit("Editname", 50);
    label("Label3", "职 务：", 84);
    ComboBox1 = new TComboBox(this);
    ComboBox1->SetName("ComboBox1");
    ComboBox1->SetParent(Panel1);
    ComboBox1->SetBounds(96, 84, 160, 21);
    ComboBox1->SetStyle(csDropDownList);
    for (const char* duty : {"操作员", "管理员", "超级用户"}) ComboBox1->Items()->Add(duty);
    ComboBox1->OnKeyPress = [this](TObject* s, char32_t& k) { EditCodeKeyPress(s, k); };
    label("Label4", "密 码：", 118);
    Editpassword = edit("Editpassword", 118);
    Editpassword->SetPasswordChar('*');
    label("Label5", "密码确认：", 152);
    EditPassword1 = edit("EditPassword1", 152);
    EditPassword1->SetPasswordChar('*');
    EditPassword1->OnExit = [this](TObject* s) { EditPassword1Exit(s); };

    BitBtn1 = new TBitBtn(this);
    BitBtn1->SetName("BitBtn1");
    BitBtn1->SetParent(this);
    BitBtn1->SetCaption("确定");
    BitBtn1->SetBounds(110, 212, 80, 27);
    BitBtn1->OnClick = [this](TObject* s) { BitBtn1Click(s); };
    BitBtn2 = new TBitBtn(this);
    BitBtn2->SetName("BitBtn2");
    BitBtn2->SetParent(this);
    BitBtn2->SetCaption("取消");
    BitBtn2->SetCancel(true);
    BitBtn2->SetBounds(204, 212, 80, 27);
    BitBtn2->OnClick = [this](TObject* s) { BitBtn2Click(s); };

    ADOCommand1 = new TADOCommand(this);
    ADOCommand1->SetName("ADOCommand1");
    ADOCommand1->SetConnection(DMData->ADOConnection1);
    ADOQuery1 = new TADOQuery(this);
    ADOQuery1->SetName("ADOQuery1");
    ADOQuery1->SetConnection(DMData->ADOConnection1);

    // Whichever comes first of show and activation; a message box of the
    // editor's own does not run it again.
    OnShow = [this](TObject* s) { FormActivate(s); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnClose = [this](TObject*, TCloseAction&) { activated_ = false; };
}

void TFrmUseradd::FormActivate(TObject*) {
    if (activated_) return;
    activated_ = true;
    SetColor(Cream);
    Panel1->SetColor(Cream);
    if (UserEditMode == 0) {
        if (EditCode->CanFocus()) EditCode->SetFocus();
        return;
    }
    TADOQuery* users = DMData->AdoQueryUser;
    EditCode->SetText(users->FieldByName("UseCode")->AsString());
    Editname->SetText(users->FieldByName("UseName")->AsString());
    ComboBox1->SetItemIndex(ComboBox1->Items()->IndexOf(users->FieldByName("Duty")->AsString()));
    Editpassword->SetText(users->FieldByName("Passwords")->AsString());
    if (users->FieldByName("Duty")->AsString() == "超级用户") ComboBox1->SetEnabled(false);
    if (EditCode->Text() == "Admin") EditCode->SetEnabled(false);
}

void TFrmUseradd::EditPassword1Exit(TObject*) {
    if (Editpassword->Text() != EditPassword1->Text()) ShowInfoBox("用户密码不一致，请重新输入");
}

void TFrmUseradd::EditCodeKeyPress(TObject* Sender, char32_t& Key) {
    if (Key != U'\r') return;
    Key = 0;
    SelectNext(dynamic_cast<TWinControl*>(Sender), true, true);
}

void TFrmUseradd::BitBtn1Click(TObject*) {
    if (Application->MessageBox("是否确定完成!", "确认", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    const std::string code = EditCode->Text();
    const std::string name = Editname->Text();
    const std::string duty = ComboBox1->Text();
    const std::string password = Editpassword->Text();
    if (code.empty() || name.empty() || duty.empty()) {
        ShowInfoBox("用户数据不完整，请重新输入");
        if (Editpassword->CanFocus()) Editpassword->SetFocus();
        return;
    }
    if (password != EditPassword1->Text()) {
        ShowInfoBox("密码不一致，请重新输入");
        if (Editpassword->CanFocus()) Editpassword->SetFocus();
        return;
    }
    if (UserEditMode == 0) {
        ADOQuery1->Close();
        ADOQuery1->SQL()->SetText("select * from SystemUser where Usecode=" + QuotedStr(code) + " order by UseCode");
        ADOQuery1->Open();
        bool taken = !ADOQuery1->IsEmpty();
        ADOQuery1->Close();
        if (taken) {
            ShowInfoBox("用户编码重复，请重新输入");
            if (EditCode->CanFocus()) EditCode->SetFocus();
            return;
        }
        ADOCommand1->SetCommandText("insert into SystemUser(UseCode,UseName,Duty,Passwords) values(" + QuotedStr(code) +
                                    "," + QuotedStr(name) + "," + QuotedStr(duty) + "," + QuotedStr(password) + ")");
        ADOCommand1->Execute();
    } else {
        const std::string oldCode = DMData->AdoQueryUser->FieldByName("UseCode")->AsString();
        TADOConnection* conn = DMData->ADOConnection1;
        conn->BeginTrans();
        try {
            ADOCommand1->SetCommandText("Update SystemUser set UseCode=" + QuotedStr(code) +
                                        ",UseName=" + QuotedStr(name) + ",Duty=" + QuotedStr(duty) +
                                        ",Passwords=" + QuotedStr(password) + " where UseCode=" + QuotedStr(oldCode));
            ADOCommand1->Execute();
            if (code != oldCode) {
                ADOCommand1->SetCommandText("Update UserModule set Usecode=" + QuotedStr(code) +
                                            " where Usecode=" + QuotedStr(oldCode));
                ADOCommand1->Execute();
            }
            conn->CommitTrans();
        } catch (...) {
            conn->RollbackTrans();
            throw;
        }
    }
    SavedCode = code;
    SetModalResult(mrOk);
    Close();
}

void TFrmUseradd::BitBtn2Click(TObject*) {
    SavedCode.clear();
    Close();
}
