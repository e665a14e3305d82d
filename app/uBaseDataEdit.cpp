// The record editor base; see uBaseDataEdit.h.
#include "uBaseDataEdit.h"

#include "ADODB.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uDMData.h"
#include "uGlobal.h"

namespace {
constexpr TColor EditBlue = RGB(204, 236, 255);

TButton* makeButton(TFrmBaseDataEdit* form, const char* name, const char* caption, const char* hint, int left) {
    auto* b = new TButton(form);
    b->SetName(name);
    b->SetParent(form);
    b->SetCaption(caption);
    b->SetHint(hint);
    b->SetShowHint(true);
    b->SetBounds(left, 268, 100, 25);
    return b;
}
} // namespace

TFrmBaseDataEdit::TFrmBaseDataEdit(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmBaseDataEdit");
    SetBorderStyle(bsDialog);
    SetColor(EditBlue);
    SetClientWidth(460);
    SetClientHeight(305);

    Panel1 = new TPanel(this);
    Panel1->SetName("Panel1");
    Panel1->SetParent(this);
    Panel1->SetCaption("");
    Panel1->SetBevelOuter(bvNone);
    Panel1->SetBorderStyle(bsSingle);
    Panel1->SetBounds(8, 8, 444, 250);

    BtSaveAdd = makeButton(this, "BtSaveAdd", "保存增加(&A)", "保存操作并新增一条记录", 122);
    BtSaveExit = makeButton(this, "BtSaveExit", "保存退出(&S)", "保存操作并退出", 232);
    BtCancelExit = makeButton(this, "BtCancelExit", "取消退出(&E)", "取消操作并退出", 342);

    AdoqEdit = new TADOQuery(this);
    AdoqEdit->SetName("AdoqEdit");
    Adoqtemp = new TADOQuery(this);
    Adoqtemp->SetName("Adoqtemp");
    if (DMData) {
        AdoqEdit->SetConnection(DMData->ADOConnection1);
        Adoqtemp->SetConnection(DMData->ADOConnection1);
    }
    DSEdit = new TDataSource(this);
    DSEdit->SetName("DSEdit");
    DSEdit->SetDataSet(AdoqEdit);

    BtSaveAdd->OnClick = [this](TObject* s) { BtSaveAddClick(s); };
    BtSaveExit->OnClick = [this](TObject* s) { BtSaveExitClick(s); };
    BtCancelExit->OnClick = [this](TObject* s) { BtCancelExitClick(s); };
    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

void TFrmBaseDataEdit::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(EditBlue);
    Panel1->SetColor(EditBlue);
}

void TFrmBaseDataEdit::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    if (!AdoqEdit->Active()) AdoqEdit->Open();
    if (EditMode == 1) {
        AdoqEdit->Append();
    } else if (AdoqEdit->Locate(KeyField, Variant(KeyValue), loCaseInsensitive)) {
        AdoqEdit->Edit();
    }
}

void TFrmBaseDataEdit::FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    TFrmBaseD::FormKeyDown(Sender, Key, Shift);
    if (Key == VK_RETURN) {
        SelectNext(ActiveControl(), true, true);
        Key = 0;
    }
}

bool TFrmBaseDataEdit::ValidateRecord() { return true; }

void TFrmBaseDataEdit::BeforePost() {}

void TFrmBaseDataEdit::SaveRecord() {
    if (!ValidateRecord()) Abort();
    TADOConnection* conn = AdoqEdit->Connection();
    if (!conn->Connected()) conn->Open();
    conn->BeginTrans();
    try {
        BeforePost();
        AdoqEdit->Post();
        conn->CommitTrans();
    } catch (...) {
        if (conn->InTransaction()) conn->RollbackTrans();
        ShowInfoBox("存盘失败！");
        Abort();
    }
}

void TFrmBaseDataEdit::BtSaveAddClick(TObject*) {
    SaveRecord();
    EditMode = 1;
    AdoqEdit->Append();
}

void TFrmBaseDataEdit::BtSaveExitClick(TObject*) {
    SaveRecord();
    Close();
}

void TFrmBaseDataEdit::cancelPending() {
    if (AdoqEdit->Active() && (AdoqEdit->State() == dsEdit || AdoqEdit->State() == dsInsert)) AdoqEdit->Cancel();
}

void TFrmBaseDataEdit::BtCancelExitClick(TObject*) {
    cancelPending();
    Close();
}

void TFrmBaseDataEdit::FormClose(TObject*, TCloseAction& Action) {
    cancelPending();
    if (AdoqEdit->Active()) AdoqEdit->Close();
    Action = caFree;
}
