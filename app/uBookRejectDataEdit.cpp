// The book write-off editor; see uBookRejectDataEdit.h.
#include "uBookRejectDataEdit.h"

#include "ADODB.h"
#include "BookRules.h"
#include "Build.h"
#include "Buttons.h"
#include "DBCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uFindBook.h"
#include "uFindReader.h"
#include "uGlobal.h"

#include <memory>

TFrmBookRejectDataEdit::TFrmBookRejectDataEdit(TComponent* AOwner) : TFrmBaseDataEdit(AOwner) {
    SetName("FrmBookRejectDataEdit");
    AdoqEdit->SQL()->SetText("select * from BookReject");
    AdoCommSave = new TADOCommand(this);
    AdoCommSave->SetName("AdoCommSave");
    AdoCommSave->SetConnection(AdoqEdit->Connection());

    TBuild b(this);
    auto panel = b.In(Panel1);
    const TFieldColumn column{40, 120, 200};
    DTPRejectDate = panel.Field<TDBDateTimeEditEh>(column, "LbRejectDate", "报废日期:", "DTPRejectDate", 12);
    EditRcode = panel.Field<TDBEdit>({40, 120, 176}, "LbRcode", "读者编号:", "EditRcode", 40)
                    .OnExit(&TFrmBookRejectDataEdit::EditRcodeExit)
                    .OnKeyDown(&TFrmBookRejectDataEdit::EditRcodeKeyDown);
    SpeedButton3 = panel.Add<TSpeedButton>("SpeedButton3")
                       .Caption("...")
                       .Hint("点击按钮或按+/F5键选择设定数据")
                       .At(298, 40, 22, 21)
                       .OnClick(&TFrmBookRejectDataEdit::SpeedButton2Click);
    EditRName = panel.Field<TEdit>(column, "LbRName", "读者姓名:", "EditRName", 68).ReadOnly().TabStop(false);
    EditBCode = panel.Field<TDBEdit>({40, 120, 176}, "LbBCode", "图书编号:", "EditBCode", 96)
                    .OnExit(&TFrmBookRejectDataEdit::EditBCodeExit)
                    .OnKeyDown(&TFrmBookRejectDataEdit::EditBCodeKeyDown);
    SpeedButton1 = panel.Add<TSpeedButton>("SpeedButton1")
                       .Caption("...")
                       .Hint("点击按钮或按+/F5键选择设定数据")
                       .At(298, 96, 22, 21)
                       .OnClick(&TFrmBookRejectDataEdit::SpeedButton1Click);
    EditBName = panel.Field<TEdit>(column, "LbBName", "中文名称:", "EditBName", 124).ReadOnly().TabStop(false);
    EditPublisher = panel.Field<TEdit>(column, "LbPublisher", "出版社:", "EditPublisher", 152).ReadOnly().TabStop(false);
    EditRejectsum = panel.Field<TDBNumberEditEh>(column, "LbRejectsum", "报废金额:", "EditRejectsum", 180);
    EditRejectsum->SetDecimalPlaces(4);
    DBEdit1 = panel.Field<TDBEdit>(column, "LbRemarks", "备  注:", "DBEdit1", 208);
    const std::pair<TDBEdit*, const char*> bound[] = {{EditRcode, "RCode"}, {EditBCode, "Code"}, {DBEdit1, "Remarks"}};
    for (auto [e, f] : bound) {
        e->SetDataSource(DSEdit);
        e->SetDataField(f);
    }
    DTPRejectDate->SetDataSource(DSEdit);
    DTPRejectDate->SetDataField("RejectDate");
    EditRejectsum->SetDataSource(DSEdit);
    EditRejectsum->SetDataField("Finesum");
    for (TWinControl* box : std::initializer_list<TWinControl*>{DTPRejectDate, EditRejectsum, DBEdit1})
        box->OnKeyDown = KeyDownHandler();
}

void TFrmBookRejectDataEdit::InitForm() {
    TFrmBaseDataEdit::InitForm();
    SetCaption("图书报废");
}

void TFrmBookRejectDataEdit::FormShow(TObject* Sender) {
    if (EditMode != 1) {
        // The listed write-off itself: a copy may have several.
        AdoqEdit->Close();
        AdoqEdit->SetStatement({"select * from BookReject where rowid=?", {Variant(EditRejectId)}});
        KeyField = "Code";
        AdoqEdit->Open();
        KeyValue = AdoqEdit->FieldByName("Code")->AsString();
    }
    TFrmBaseDataEdit::FormShow(Sender);
    if (EditMode == 1) AdoqEdit->FieldByName("RejectDate")->SetAsDateTime(BusinessDate);
    loadedCode_ = EditMode == 1 ? std::string() : AdoqEdit->FieldByName("Code")->AsString();
    shownCode_ = loadedCode_;
    if (EditMode != 1) {
        showCopy(loadedCode_, false);
        TRowLookup reader(AdoqEdit->Connection(), "select Name from Readerinfo where Code=?",
                          {AdoqEdit->FieldByName("RCode")->AsString()});
        EditRName->SetText(reader.Empty() ? std::string() : reader.Text("Name"));
    }
    if (EditRcode->CanFocus()) EditRcode->SetFocus();
}

void TFrmBookRejectDataEdit::showCopy(const std::string& code, bool warnUnknown) {
    TRowLookup copy(AdoqEdit->Connection(), "select Name, Publisher, BookPrice from Bookinfo where Code=?", {code});
    EditBName->SetText(copy.Empty() ? std::string() : copy.Text("Name"));
    EditPublisher->SetText(copy.Empty() ? std::string() : copy.Text("Publisher"));
    if (code == shownCode_) return;
    shownCode_ = code;
    if (copy.Empty()) {
        AdoqEdit->FieldByName("Finesum")->Clear();
        // Nothing would be written off: say so before the save.
        if (warnUnknown && !code.empty()) ShowInfoBox("无此图书!");
        return;
    }
    AdoqEdit->FieldByName("Finesum")->SetAsFloat(copy["BookPrice"]->AsFloat());
}

void TFrmBookRejectDataEdit::EditRcodeExit(TObject*) {
    TRowLookup reader(AdoqEdit->Connection(), "select Name from Readerinfo where Code=?", {EditRcode->Text()});
    EditRName->SetText(reader.Empty() ? std::string() : reader.Text("Name"));
}

void TFrmBookRejectDataEdit::EditBCodeExit(TObject*) { showCopy(EditBCode->Text(), true); }

void TFrmBookRejectDataEdit::EditRcodeKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_ESCAPE) {
        FormKeyDown(this, Key, {});
    } else if (Key == VK_RETURN) {
        Key = 0;
        if (EditBCode->CanFocus()) EditBCode->SetFocus();
    } else if (Key == VK_F5 || Key == VK_ADD) {
        Key = 0;
        SpeedButton3->Click();
    }
}

void TFrmBookRejectDataEdit::EditBCodeKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_ESCAPE) {
        FormKeyDown(this, Key, {});
    } else if (Key == VK_RETURN) {
        Key = 0;
        if (EditRejectsum->CanFocus()) EditRejectsum->SetFocus();
    } else if (Key == VK_F5 || Key == VK_ADD) {
        Key = 0;
        SpeedButton1->Click();
    }
}

void TFrmBookRejectDataEdit::SpeedButton1Click(TObject*) {
    std::unique_ptr<TFrmFindBook> find(new TFrmFindBook(this));
    find->ShowModal();
    if (!find->ChosenCode.empty()) {
        AdoqEdit->FieldByName("Code")->SetAsString(find->ChosenCode);
        showCopy(find->ChosenCode, true);
    }
    if (EditBCode->CanFocus()) EditBCode->SetFocus();
}

void TFrmBookRejectDataEdit::SpeedButton2Click(TObject*) {
    std::unique_ptr<TFrmFindReader> find(new TFrmFindReader(this));
    find->ShowModal();
    if (!find->ChosenCode.empty()) {
        AdoqEdit->FieldByName("RCode")->SetAsString(find->ChosenCode);
        EditRcodeExit(EditRcode);
    }
    if (EditRcode->CanFocus()) EditRcode->SetFocus();
}

bool TFrmBookRejectDataEdit::ValidateRecord() {
    const std::string code = Trim(AdoqEdit->FieldByName("Code")->AsString());
    if (code.empty()) {
        ShowInfoBox("图书编号必须填写！");
        return false;
    }
    // A copy newly named must exist, or the write-off would take nothing out
    // of service; a saved write-off whose copy has left the catalogue since
    // can still be corrected.
    if (!SameText(code, loadedCode_)) {
        TRowLookup copy(AdoqEdit->Connection(), "select Code from Bookinfo where Code=?", {code});
        if (copy.Empty()) {
            ShowInfoBox("无此图书!");
            return false;
        }
    }
    return true;
}

void TFrmBookRejectDataEdit::SaveRecord() {
    // A box whose key saved the record (Alt+S) still holds its text.
    AdoqEdit->UpdateRecord();
    if (!ValidateRecord()) Abort();
    TADOConnection* conn = AdoqEdit->Connection();
    if (!conn->Connected()) conn->Open();
    const std::string code = AdoqEdit->FieldByName("Code")->AsString();
    try {
        TTransaction tx(conn);
        WriteOffSideUpdates(conn, code, loadedCode_);
        AdoqEdit->Post();
        tx.Commit();
    } catch (...) {
        ShowInfoBox("存盘失败！");
        Abort();
    }
    LastSavedCode = code;
    loadedCode_ = code;
}

void TFrmBookRejectDataEdit::BtSaveAddClick(TObject* Sender) {
    TFrmBaseDataEdit::BtSaveAddClick(Sender);
    loadedCode_.clear();
    shownCode_.clear();
    EditBName->SetText("");
    EditPublisher->SetText("");
    EditRName->SetText("");
    AdoqEdit->FieldByName("RejectDate")->SetAsDateTime(BusinessDate);
    if (EditRcode->CanFocus()) EditRcode->SetFocus();
}
