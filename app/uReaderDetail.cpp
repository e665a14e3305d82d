// The reader contact card; see uReaderDetail.h.
#include "uReaderDetail.h"

#include "ADODB.h"
#include "ExtCtrls.h"
#include "Shell.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uDMData.h"

#include <memory>

namespace {

TEdit* Box(TFrmReaderDetail* f, TWinControl* parent, const char* name, const char* label, int y, int w) {
    TLabel* l = new TLabel(f);
    l->SetParent(parent);
    l->SetCaption(label);
    l->SetLeft(12);
    l->SetTop(y + 3);
    TEdit* e = new TEdit(f);
    e->SetName(name);
    e->SetParent(parent);
    e->SetReadOnly(true);
    e->SetBounds(80, y, w, 21);
    return e;
}

} // namespace

TFrmReaderDetail::TFrmReaderDetail(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmReaderDetail");
    SetCaption("读者信息");
    SetBorderStyle(bsDialog);
    SetClientWidth(380);
    SetClientHeight(300);
    ADOqReader = new TADOQuery(this);
    ADOqReader->SetName("ADOqReader");
    ADOqReader->SetConnection(DMData ? DMData->ADOConnection1 : nullptr);
    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetAlign(alClient);
    EditCode = Box(this, Panel1, "EditCode", "读者编号:", 10, 120);
    EditName = Box(this, Panel1, "EditName", "读者名称:", 38, 120);
    EditMail = Box(this, Panel1, "EditMail", "E_Mail:", 66, 200);
    BtMail = new TButton(this);
    BtMail->SetName("BtMail");
    BtMail->SetParent(Panel1);
    BtMail->SetCaption("发信");
    BtMail->SetBounds(290, 65, 60, 23);
    BtMail->OnClick = [this](TObject* s) { BtMailClick(s); };
    EditDept = Box(this, Panel1, "EditDept", "部  门:", 94, 200);
    TLabel* la = new TLabel(this);
    la->SetParent(Panel1);
    la->SetCaption("地址:");
    la->SetBounds(12, 125, 60, 16);
    MemoAddr = new TMemo(this);
    MemoAddr->SetName("MemoAddr");
    MemoAddr->SetParent(Panel1);
    MemoAddr->SetReadOnly(true);
    MemoAddr->SetBounds(80, 122, 270, 44);
    TLabel* lt = new TLabel(this);
    lt->SetParent(Panel1);
    lt->SetCaption("电话:");
    lt->SetBounds(12, 177, 60, 16);
    Memo1 = new TMemo(this);
    Memo1->SetName("Memo1");
    Memo1->SetParent(Panel1);
    Memo1->SetReadOnly(true);
    Memo1->SetBounds(80, 174, 270, 64);
    BtClose = new TButton(this);
    BtClose->SetName("BtClose");
    BtClose->SetParent(Panel1);
    BtClose->SetCaption("关闭");
    BtClose->SetBounds(150, 252, 80, 26);
    BtClose->OnClick = [this](TObject*) { Close(); };
    for (TWinControl* c :
         std::initializer_list<TWinControl*>{EditCode, EditName, EditMail, EditDept, MemoAddr, Memo1, BtMail, BtClose})
        c->OnKeyDown = KeyDownHandler();
}

void TFrmReaderDetail::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(RGB(255, 242, 222));
    Panel1->SetColor(RGB(255, 242, 222));
}

void TFrmReaderDetail::ShowRow() {
    auto text = [this](const char* f) {
        return ADOqReader->IsEmpty() ? std::string() : ADOqReader->FieldByName(f)->AsString();
    };
    EditCode->SetText(text("Code"));
    EditName->SetText(text("Name"));
    EditMail->SetText(text("E_mail"));
    EditDept->SetText(text("Department"));
    MemoAddr->SetText(text("Addr"));
}

void TFrmReaderDetail::BtMailClick(TObject*) { ShellExecuteOpen("mailto:" + EditMail->Text()); }

void ShowReaderDetail(const std::string& readerCode) {
    std::unique_ptr<TFrmReaderDetail> card(new TFrmReaderDetail(Application));
    card->ADOqReader->Close();
    card->ADOqReader->SQL()->SetText("select * from Readerinfo where Code=" + QuotedStr(readerCode));
    card->ADOqReader->Open();
    card->ShowRow();
    auto text = [&](const char* f) {
        return card->ADOqReader->IsEmpty() ? std::string() : card->ADOqReader->FieldByName(f)->AsString();
    };
    card->Memo1->Lines()->Add("电话(日):" + text("TelDay"));
    card->Memo1->Lines()->Add("电话(夜):" + text("TelNight"));
    card->Memo1->Lines()->Add("手机:" + text("HandTel"));
    card->ShowModal();
}
