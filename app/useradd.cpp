// The operator editor; see useradd.h.
#include "useradd.h"

#include "ADODB.h"
#include "Build.h"
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

    TBuild b(this);
    Panel1 = b.Add<TPanel>("Panel1").Caption("").At(8, 8, 284, 190);
    auto panel = b.In(Panel1);
    const TFieldColumn column{20, 96, 160, 21, 3, 70, 14};
    auto edit = [&](const char* labelName, const char* caption, const char* name, int top) {
        return panel.Field<TEdit>(column, labelName, caption, name, top).OnKeyPress(&TFrmUseradd::EditCodeKeyPress);
    };
    EditCode = edit("Label1", "用户代码：", "EditCode", 16);
    Editname = edit("Label2", "用户名称：", "Editname", 50);
    ComboBox1 = panel.Field<TComboBox>(column, "Label3", "职 务：", "ComboBox1", 84)
                    .Set(&TComboBox::SetStyle, csDropDownList)
                    .OnKeyPress(&TFrmUseradd::EditCodeKeyPress);
    for (const char* duty : {"操作员", "管理员", "超级用户"}) ComboBox1->Items()->Add(duty);
    Editpassword = edit("Label4", "密 码：", "Editpassword", 118).PasswordChar('*');
    EditPassword1 =
        edit("Label5", "密码确认：", "EditPassword1", 152).PasswordChar('*').OnExit(&TFrmUseradd::EditPassword1Exit);

    auto [ok, cancel] = b.OkCancel<TBitBtn>({"BitBtn1", "确定", 110}, {"BitBtn2", "取消", 204}, 212, 80, 27);
    BitBtn1 = ok.OnClick(&TFrmUseradd::BitBtn1Click);
    BitBtn2 = cancel.OnClick(&TFrmUseradd::BitBtn2Click);

    ADOCommand1 = b.Add<TADOCommand>("ADOCommand1");
    ADOCommand1->SetConnection(DMData->ADOConnection1);
    ADOQuery1 = b.Add<TADOQuery>("ADOQuery1");
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

void TFrmUseradd::setUserParameters(const std::string& code, const std::string& name, const std::string& duty,
                                    const std::string& password) {
    TParameters* p = ADOCommand1->Parameters();
    p->ParamByName("UseCode")->SetValue(code);
    p->ParamByName("UseName")->SetValue(name);
    p->ParamByName("Duty")->SetValue(duty);
    p->ParamByName("Passwords")->SetValue(password);
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
        ADOQuery1->SetStatement({"select * from SystemUser where Usecode=? order by UseCode", {code}});
        ADOQuery1->Open();
        bool taken = !ADOQuery1->IsEmpty();
        ADOQuery1->Close();
        if (taken) {
            ShowInfoBox("用户编码重复，请重新输入");
            if (EditCode->CanFocus()) EditCode->SetFocus();
            return;
        }
        ADOCommand1->SetCommandText(
            "insert into SystemUser(UseCode,UseName,Duty,Passwords) values(:UseCode,:UseName,:Duty,:Passwords)");
        setUserParameters(code, name, duty, password);
        ADOCommand1->Execute();
    } else {
        const std::string oldCode = DMData->AdoQueryUser->FieldByName("UseCode")->AsString();
        TTransaction tx(DMData->ADOConnection1);
        ADOCommand1->SetCommandText("Update SystemUser set UseCode=:UseCode,UseName=:UseName,Duty=:Duty,"
                                    "Passwords=:Passwords where UseCode=:OldCode");
        setUserParameters(code, name, duty, password);
        ADOCommand1->Parameters()->ParamByName("OldCode")->SetValue(oldCode);
        ADOCommand1->Execute();
        if (code != oldCode) {
            ADOCommand1->SetCommandText("Update UserModule set Usecode=:UseCode where Usecode=:OldCode");
            ADOCommand1->Execute();
        }
        tx.Commit();
    }
    SavedCode = code;
    SetModalResult(mrOk);
    Close();
}

void TFrmUseradd::BitBtn2Click(TObject*) {
    SavedCode.clear();
    Close();
}
