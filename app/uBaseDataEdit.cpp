// The record editor base; see uBaseDataEdit.h.
#include "uBaseDataEdit.h"

#include "ADODB.h"
#include "Build.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uDMData.h"
#include "uGlobal.h"

namespace {
constexpr TColor EditBlue = RGB(204, 236, 255);
} // namespace

TFrmBaseDataEdit::TFrmBaseDataEdit(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmBaseDataEdit");
    SetBorderStyle(bsDialog);
    SetColor(EditBlue);
    SetClientWidth(460);
    SetClientHeight(305);
    // Enter and Esc work wherever the focus is, not only where a box
    // passes them on.
    SetKeyPreview(true);

    TBuild b(this);
    Panel1 = b.Add<TPanel>("Panel1")
                 .Caption("")
                 .Set(&TPanel::SetBevelOuter, bvNone)
                 .Set(&TPanel::SetBorderStyle, bsSingle)
                 .At(8, 8, 444, 250);
    auto buttons = b.Across(122, 268, 25, 10);
    using Row = TToolRow<TFrmBaseDataEdit>;
    BtSaveAdd = buttons.Add<TButton>(
        Row{"BtSaveAdd", "保存增加(&A)", "保存操作并新增一条记录", 100, &TFrmBaseDataEdit::BtSaveAddClick});
    BtSaveExit = buttons.Add<TButton>(
        Row{"BtSaveExit", "保存退出(&S)", "保存操作并退出", 100, &TFrmBaseDataEdit::BtSaveExitClick});
    BtCancelExit = buttons.Add<TButton>(
        Row{"BtCancelExit", "取消退出(&E)", "取消操作并退出", 100, &TFrmBaseDataEdit::BtCancelExitClick});

    AdoqEdit = b.Add<TADOQuery>("AdoqEdit");
    Adoqtemp = b.Add<TADOQuery>("Adoqtemp");
    if (DMData) {
        AdoqEdit->SetConnection(DMData->ADOConnection1);
        Adoqtemp->SetConnection(DMData->ADOConnection1);
    }
    DSEdit = b.Add<TDataSource>("DSEdit");
    DSEdit->SetDataSet(AdoqEdit);
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
        // A button takes Enter as a press, a memo as its own (a line break
        // or the memo's handler).
        TWinControl* focused = ActiveControl();
        if (dynamic_cast<TButton*>(focused) || dynamic_cast<TMemo*>(focused)) return;
        SelectNext(focused, true, true);
        Key = 0;
    }
}

bool TFrmBaseDataEdit::ValidateRecord() { return true; }

void TFrmBaseDataEdit::BeforePost() {}

void TFrmBaseDataEdit::SaveRecord() {
    // A save by a button's key (Alt+S) leaves the focus in the box still
    // being typed in; its text belongs to the row that is checked and saved.
    if (AdoqEdit->State() == dsEdit || AdoqEdit->State() == dsInsert) AdoqEdit->UpdateRecord();
    if (!ValidateRecord()) Abort();
    TADOConnection* conn = AdoqEdit->Connection();
    if (!conn->Connected()) conn->Open();
    try {
        TTransaction tx(conn);
        BeforePost();
        AdoqEdit->Post();
        tx.Commit();
    } catch (...) {
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
