// The periodical write-off editor; see uMagzRejectDataEdit.h.
#include "uMagzRejectDataEdit.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "DBCtrls.h"
#include "ExtCtrls.h"
#include "PeriodicalRules.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uFindMagz.h"
#include "uFindReader.h"
#include "uGlobal.h"

#include <memory>

namespace {
const char* const PickerHint = "点击按钮或按+/F5键选择设定数据";
}

TFrmMagzRejectDataEdit::TFrmMagzRejectDataEdit(TComponent* AOwner) : TFrmBaseDataEdit(AOwner) {
    SetName("FrmMagzRejectDataEdit");
    SetClientHeight(345);
    Panel1->SetHeight(290);
    for (TButton* b : {BtSaveAdd, BtSaveExit, BtCancelExit}) b->SetTop(308);
    AdoqEdit->SQL()->SetText("select * from Magzreject");

    TBuild b(this);
    auto panel = b.In(Panel1);
    const TFieldColumn column{40, 120, 180, 21, 3, 76, 14};
    const TFieldColumn shortColumn{40, 120, 156, 21, 3, 76, 14};
    DTPRejectDate = panel.Field<TDBDateTimeEditEh>(column, "LbRejectDate", "报废日期:", "DTPRejectDate", 10);
    EditRcode = panel.Field<TDBEdit>(shortColumn, "LbRcode", "读者编号:", "EditRcode", 38)
                    .Hint(PickerHint)
                    .OnExit(&TFrmMagzRejectDataEdit::EditRcodeExit)
                    .OnKeyDown(&TFrmMagzRejectDataEdit::EditRcodeKeyDown);
    SpeedButton3 = panel.Add<TSpeedButton>("SpeedButton3").Caption("...").At(278, 38, 22, 21).Hint(PickerHint).OnClick(
        &TFrmMagzRejectDataEdit::SpeedButton3Click);
    EditRName = panel.Field<TEdit>(column, "LbRName", "读者姓名:", "EditRName", 66).ReadOnly().TabStop(false);
    EditBCode = panel.Field<TDBEdit>(shortColumn, "LbBCode", "期刊编号:", "EditBCode", 94)
                    .Hint(PickerHint)
                    .OnExit(&TFrmMagzRejectDataEdit::EditBCodeExit)
                    .OnKeyDown(&TFrmMagzRejectDataEdit::EditBCodeKeyDown);
    SpeedButton1 = panel.Add<TSpeedButton>("SpeedButton1").Caption("...").At(278, 94, 22, 21).Hint(PickerHint).OnClick(
        &TFrmMagzRejectDataEdit::SpeedButton1Click);
    EditBName = panel.Field<TEdit>(column, "LbBName", "期刊名称:", "EditBName", 122).ReadOnly().TabStop(false);
    EditPublisher = panel.Field<TEdit>(column, "LbPublisher", "编辑部:", "EditPublisher", 150).ReadOnly().TabStop(false);
    EditYear = panel.Field<TEdit>({40, 120, 60, 21, 3, 76, 14}, "LbYear", "订购年:", "EditYear", 178).ReadOnly().TabStop(false);
    EditNo = panel.Field<TEdit>({190, 240, 60, 21, 3, 40, 14}, "LbNo", "期号:", "EditNo", 178).ReadOnly().TabStop(false);
    EditRejectsum = panel.Field<TDBNumberEditEh>(column, "LbRejectsum", "报废金额:", "EditRejectsum", 206);
    EditRejectsum->SetDecimalPlaces(4);
    EditRejectsum->SetAlignment(taRightJustify);
    DBEdit1 = panel.Field<TDBEdit>(column, "LbRemarks", "备  注:", "DBEdit1", 234);
    for (auto [box, field] :
         {std::pair<TDBEdit*, const char*>{EditRcode, "RCode"}, {EditBCode, "Code"}, {DBEdit1, "Remarks"}}) {
        box->SetDataSource(DSEdit);
        box->SetDataField(field);
    }
    DTPRejectDate->SetDataSource(DSEdit);
    DTPRejectDate->SetDataField("RejectDate");
    EditRejectsum->SetDataSource(DSEdit);
    EditRejectsum->SetDataField("Finesum");
}

void TFrmMagzRejectDataEdit::InitForm() {
    TFrmBaseDataEdit::InitForm();
    SetCaption("期刊报废");
}

void TFrmMagzRejectDataEdit::FormShow(TObject* Sender) {
    if (EditMode == 1)
        AdoqEdit->SetStatement({"select * from MagzReject where 1=0", {}});
    else
        AdoqEdit->SetStatement({"select * from MagzReject where rowid=?", {RejectRowId}});
    TFrmBaseD::FormShow(Sender);
    AdoqEdit->Open();
    if (EditMode == 1) {
        AdoqEdit->Append();
        AdoqEdit->FieldByName("RejectDate")->SetAsDateTime(BusinessDate);
        OldCode.clear();
    } else {
        AdoqEdit->Edit();
        OldCode = AdoqEdit->FieldByName("Code")->AsString();
        // The stored amount stays: it is what was charged then.
        showCopy(false);
        showReader();
    }
    SetActiveControl(EditRcode);
}

void TFrmMagzRejectDataEdit::showReader() {
    TRowLookup reader(AdoqEdit->Connection(), "select Name from Readerinfo where code=?", {EditRcode->Text()});
    EditRName->SetText(reader.Empty() ? std::string() : reader.Text("Name"));
}

void TFrmMagzRejectDataEdit::showCopy(bool withPrice) {
    const std::string code = EditBCode->Text();
    shownCopy_ = code;
    TRowLookup copy(AdoqEdit->Connection(), "select * from Magzinfo where code=?", {code});
    const bool found = !copy.Empty();
    EditBName->SetText(found ? copy.Text("Name") : std::string());
    EditPublisher->SetText(found ? copy.Text("Writer") : std::string());
    EditYear->SetText(found ? copy.Text("Orderyear") : std::string());
    EditNo->SetText(found ? copy.Text("PeriodNo") : std::string());
    if (!withPrice) return;
    TField* amount = AdoqEdit->FieldByName("Finesum");
    if (found && !copy["BookPrice"]->IsNull())
        amount->SetAsCurrency(copy["BookPrice"]->AsCurrency());
    else
        amount->Clear();
}

void TFrmMagzRejectDataEdit::EditRcodeExit(TObject*) { showReader(); }

void TFrmMagzRejectDataEdit::EditRcodeKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_RETURN) {
        Key = 0;
        if (EditBCode->CanFocus()) EditBCode->SetFocus();
    } else if (Key == VK_F5 || Key == VK_ADD) {
        Key = 0;
        SpeedButton3Click(SpeedButton3);
    }
}

void TFrmMagzRejectDataEdit::SpeedButton3Click(TObject*) {
    std::unique_ptr<TFrmFindReader> lookup(new TFrmFindReader(this));
    lookup->ShowModal();
    if (!lookup->ChosenCode.empty()) {
        AdoqEdit->FieldByName("RCode")->SetAsString(lookup->ChosenCode);
        showReader();
    }
    if (EditRcode->CanFocus()) EditRcode->SetFocus();
}

void TFrmMagzRejectDataEdit::EditBCodeExit(TObject*) {
    // Leaving the box without changing the copy keeps the amount typed or
    // stored; another copy brings its own price.
    if (EditBCode->Text() == shownCopy_) return;
    showCopy(true);
}

void TFrmMagzRejectDataEdit::EditBCodeKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_RETURN) {
        Key = 0;
        if (EditRejectsum->CanFocus()) EditRejectsum->SetFocus();
    } else if (Key == VK_F5 || Key == VK_ADD) {
        Key = 0;
        SpeedButton1Click(SpeedButton1);
    }
}

void TFrmMagzRejectDataEdit::SpeedButton1Click(TObject*) {
    std::unique_ptr<TFrmFindMagz> lookup(new TFrmFindMagz(this));
    lookup->ShowModal();
    if (!lookup->ChosenCode.empty()) {
        AdoqEdit->FieldByName("Code")->SetAsString(lookup->ChosenCode);
        EditBCode->SetText(lookup->ChosenCode);
        showCopy(true);
    }
    if (EditBCode->CanFocus()) EditBCode->SetFocus();
}

bool TFrmMagzRejectDataEdit::ValidateRecord() {
    const std::string code = Trim(EditBCode->Text());
    if (code.empty()) {
        ShowInfoBox("图书编号必须填写！");
        return false;
    }
    // A copy newly named must exist; a saved write-off whose copy has left
    // the catalogue since can still be corrected.
    if (SameText(code, OldCode)) return true;
    TRowLookup copy(AdoqEdit->Connection(), "select Code from Magzinfo where Code=?", {code});
    if (copy.Empty()) {
        ShowInfoBox("无此期刊编号!");
        return false;
    }
    return true;
}

void TFrmMagzRejectDataEdit::SaveRecord() {
    if (!ValidateRecord()) Abort();
    TADOConnection* conn = AdoqEdit->Connection();
    if (!conn->Connected()) conn->Open();
    try {
        TTransaction tx(conn);
        const std::string code = AdoqEdit->FieldByName("Code")->AsString();
        MoveMagzWriteOff(conn, EditMode == 1 ? std::string() : OldCode, code, RejectRowId);
        AdoqEdit->Post();
        tx.Commit();
    } catch (...) {
        ShowInfoBox("存盘失败！");
        Abort();
    }
    LastSavedCode = AdoqEdit->FieldByName("Code")->AsString();
    OldCode = LastSavedCode;
}

void TFrmMagzRejectDataEdit::BtSaveAddClick(TObject* Sender) {
    TFrmBaseDataEdit::BtSaveAddClick(Sender);
    AdoqEdit->FieldByName("RejectDate")->SetAsDateTime(BusinessDate);
    OldCode.clear();
    shownCopy_.clear();
    for (TEdit* e : {EditRName, EditBName, EditPublisher, EditYear, EditNo}) e->SetText("");
    if (EditRcode->CanFocus()) EditRcode->SetFocus();
}
