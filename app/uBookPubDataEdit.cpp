// The publisher editor; see uBookPubDataEdit.h.
#include "uBookPubDataEdit.h"

#include "ADODB.h"
#include "Build.h"
#include "DBCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "uGlobal.h"

namespace {
const char* const DuplicatePrefix = "该出版社Isbn已有重复！请重新录入";
}

TFrmBookPubDataEdit::TFrmBookPubDataEdit(TComponent* AOwner) : TFrmBaseDataEdit(AOwner) {
    SetName("FrmBookPubDataEdit");
    SetClientHeight(170);
    Panel1->SetHeight(110);
    for (TButton* b : {BtSaveAdd, BtSaveExit, BtCancelExit}) b->SetTop(132);
    AdoqEdit->SQL()->SetText("select * from BookPub");

    TBuild b(this);
    auto panel = b.In(Panel1);
    const TFieldColumn column{40, 100, 280, 21, 3, 56, 14};
    EditCode = panel.Field<TDBEdit>(column, "LbCode", "出版社:", "EditCode", 24).TabOrder(0);
    EditIsbn = panel.Field<TDBEdit>(column, "LbIsbn", "Isbn:", "EditIsbn", 60).TabOrder(1);
    for (auto [edit, field] : {std::pair{EditCode, "Code"}, std::pair{EditIsbn, "Isbn"}}) {
        edit->SetDataSource(DSEdit);
        edit->SetDataField(field);
        edit->OnExit = [this](TObject* s) { EditCodeExit(s); };
    }
}

void TFrmBookPubDataEdit::InitForm() {
    TFrmBaseDataEdit::InitForm();
    SetCaption("图书类别");
}

void TFrmBookPubDataEdit::FormShow(TObject* Sender) {
    TFrmBaseDataEdit::FormShow(Sender);
    EditCode->SetReadOnly(EditMode != 1);
    SetActiveControl(EditCode);
}

bool TFrmBookPubDataEdit::prefixTaken() {
    const std::string prefix = Trim(EditIsbn->Text());
    if (prefix.empty()) return false;
    // In edit mode the row's own prefix is no duplicate.
    const std::string self = EditMode == 1 ? std::string() : KeyValue;
    TRowLookup row(AdoqEdit->Connection(), "SELECT Isbn FROM BookPub WHERE Isbn=? and Code<>?", {prefix, self});
    return !row.Empty();
}

void TFrmBookPubDataEdit::EditCodeExit(TObject*) {
    if (!prefixTaken()) return;
    ShowInfoBox(DuplicatePrefix);
    if (EditMode == 1) AdoqEdit->FieldByName("Code")->SetAsString("");
}

bool TFrmBookPubDataEdit::ValidateRecord() {
    if (Trim(AdoqEdit->FieldByName("Code")->AsString()).empty()) {
        ShowInfoBox("名称必须填写！");
        return false;
    }
    if (prefixTaken()) {
        ShowInfoBox(DuplicatePrefix);
        return false;
    }
    return true;
}

void TFrmBookPubDataEdit::BeforePost() {
    const std::string name = AdoqEdit->FieldByName("Code")->AsString();
    if (name.empty()) return;
    std::string py, wbh, wb;
    LookupInputCodes(name, py, wbh, wb);
    AdoqEdit->FieldByName("PY")->SetAsString(py);
    AdoqEdit->FieldByName("WBH")->SetAsString(wbh);
    AdoqEdit->FieldByName("WB")->SetAsString(wb);
}

void TFrmBookPubDataEdit::SaveRecord() {
    const std::string code = AdoqEdit->FieldByName("Code")->AsString();
    TFrmBaseDataEdit::SaveRecord();
    LastSavedCode = code;
}

void TFrmBookPubDataEdit::BtSaveAddClick(TObject* Sender) {
    TFrmBaseDataEdit::BtSaveAddClick(Sender);
    EditCode->SetReadOnly(false);
    if (EditCode->CanFocus()) EditCode->SetFocus();
}
