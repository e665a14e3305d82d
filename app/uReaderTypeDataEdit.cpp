// The reader-type editor; see uReaderTypeDataEdit.h.
#include "uReaderTypeDataEdit.h"

#include "ADODB.h"
#include "Build.h"
#include "DBCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uGlobal.h"

namespace {
const char* const DuplicateName = "该类别已有重码！请重新录入";
const char* const limitFields[] = {"CeQty", "LimitDay", "RenewTime", "CeQty1", "LimitDay1"};
} // namespace

TFrmReaderTypeDataEdit::TFrmReaderTypeDataEdit(TComponent* AOwner) : TFrmBaseDataEdit(AOwner) {
    SetName("FrmReaderTypeDataEdit");
    AdoqEdit->SQL()->SetText("select * from ReaderType");

    TBuild b(this);
    auto panel = b.In(Panel1);
    const TFieldColumn column{40, 120, 120, 21, 3, 76, 14};
    EditCode = panel.Field<TDBEdit>(column, "LbCode", "类别名称:", "EditCode", 16);
    EditCode->SetDataSource(DSEdit);
    EditCode->SetDataField("Code");
    EditCode->OnExit = [this](TObject* s) { EditCodeExit(s); };
    struct Box {
        TDBNumberEditEh** edit;
        const char* name;
        const char* caption;
        const char* field;
        int top;
    };
    for (Box x : {Box{&EditLimitDay, "EditLimitDay", "借书天数:", "LimitDay", 48},
                  Box{&EditCeQty, "EditCeQty", "借书册数:", "CeQty", 80},
                  Box{&DBNumberEditEh1, "DBNumberEditEh1", "续借次数:", "RenewTime", 112},
                  Box{&DBNumberEditEh4, "DBNumberEditEh4", "借刊天数:", "LimitDay1", 144},
                  Box{&DBNumberEditEh2, "DBNumberEditEh2", "借刊册数:", "CeQty1", 176}}) {
        const std::string label = std::string("Lb") + x.name;
        *x.edit = panel.Field<TDBNumberEditEh>(column, label.c_str(), x.caption, x.name, x.top);
        (*x.edit)->SetDataSource(DSEdit);
        (*x.edit)->SetDataField(x.field);
        (*x.edit)->SetDecimalPlaces(0);
    }
    Chklimit = panel.Add<TDBCheckBox>("Chklimit").Caption("限制借书").At(120, 210, 100, 20);
    DBCheckBox1 = panel.Add<TDBCheckBox>("DBCheckBox1").Caption("限制借刊").At(240, 210, 100, 20);
    for (auto [box, field] : {std::pair{Chklimit, "IsLimit"}, std::pair{DBCheckBox1, "IsLimit1"}}) {
        box->SetDataSource(DSEdit);
        box->SetDataField(field);
    }
}

void TFrmReaderTypeDataEdit::InitForm() {
    TFrmBaseDataEdit::InitForm();
    SetCaption("读者类别");
}

void TFrmReaderTypeDataEdit::newRowDefaults() {
    AdoqEdit->FieldByName("IsLimit")->SetAsBoolean(false);
    AdoqEdit->FieldByName("IsLimit1")->SetAsBoolean(false);
}

void TFrmReaderTypeDataEdit::FormShow(TObject* Sender) {
    TFrmBaseDataEdit::FormShow(Sender);
    EditCode->SetReadOnly(EditMode != 1);
    if (EditMode == 1) newRowDefaults();
    // A saved type's name is fixed: its rules are what an edit changes.
    SetActiveControl(EditMode == 1 ? static_cast<TWinControl*>(EditCode) : EditLimitDay);
}

bool TFrmReaderTypeDataEdit::nameTaken() {
    if (EditMode != 1) return false;
    const std::string name = Trim(EditCode->Text());
    if (name.empty()) return false;
    TRowLookup row(AdoqEdit->Connection(), "select Code from ReaderType where Code=?", {name});
    return !row.Empty();
}

void TFrmReaderTypeDataEdit::EditCodeExit(TObject*) {
    if (!nameTaken()) return;
    ShowInfoBox(DuplicateName);
    AdoqEdit->FieldByName("Code")->SetAsString("");
    EditCode->SetText("");
}

bool TFrmReaderTypeDataEdit::ValidateRecord() {
    if (Trim(AdoqEdit->FieldByName("Code")->AsString()).empty()) {
        ShowInfoBox("类型名称必须填写！");
        return false;
    }
    if (nameTaken()) {
        ShowInfoBox(DuplicateName);
        return false;
    }
    return true;
}

void TFrmReaderTypeDataEdit::BeforePost() {
    for (const char* f : limitFields) {
        TField* field = AdoqEdit->FieldByName(f);
        if (!field->IsNull() && field->AsInteger() < 0) field->SetAsInteger(0);
    }
}

void TFrmReaderTypeDataEdit::SaveRecord() {
    TFrmBaseDataEdit::SaveRecord();
    LastSavedCode = AdoqEdit->FieldByName("Code")->AsString();
}

void TFrmReaderTypeDataEdit::BtSaveAddClick(TObject* Sender) {
    TFrmBaseDataEdit::BtSaveAddClick(Sender);
    newRowDefaults();
    EditCode->SetReadOnly(false);
    if (EditCode->CanFocus()) EditCode->SetFocus();
}
