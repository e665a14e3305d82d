// The reader editor; see uReaderDataEdit.h.
#include "uReaderDataEdit.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "DBCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "ReaderRules.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uFindReaderSort.h"
#include "uGlobal.h"

#include <memory>

namespace {
const char* const DuplicateCode = "该读者已有重码！请重新录入";

// A caption, a box and the field it edits: one line of a column.
struct Line {
    TDBEdit** box;
    const char* label;
    const char* name;
    const char* caption;
    const char* field;
    int top;
};
} // namespace

TFrmReaderDataEdit::TFrmReaderDataEdit(TComponent* AOwner) : TFrmBaseDataEdit(AOwner) {
    SetName("FrmReaderDataEdit");
    SetClientWidth(640);
    SetClientHeight(420);
    Panel1->SetBounds(8, 8, 624, 368);
    for (TButton* b : {BtSaveAdd, BtSaveExit, BtCancelExit}) {
        b->SetTop(386);
        b->SetLeft(b->Left() + 90);
    }
    AdoqEdit->SQL()->SetText("select * from Readerinfo");

    TBuild b(this);
    auto column = [&](const char* name, int left) {
        return b.In(Panel1).Add<TPanel>(name).Caption("").Set(&TPanel::SetBevelOuter, bvNone).At(left, 4, 236, 248);
    };
    TPanel* left = PanelLeft = column("PanelLeft", 4);
    TPanel* middle = PanelMiddle = column("PanelMiddle", 244);
    const TFieldColumn boxes{6, 76, 150, 21, 3, 66, 14};
    auto bind = [this](auto* box, const char* field) {
        box->SetDataSource(DSEdit);
        box->SetDataField(field);
    };

    auto l = b.In(left);
    EditCode = l.Field<TDBEdit>(boxes, "LbCode", "读者编号:", "EditCode", 4).OnExit(&TFrmReaderDataEdit::EditCodeExit);
    EditName = l.Field<TDBEdit>(boxes, "LbName", "读者姓名:", "EditName", 34);
    EditSax = l.Field<TDBComboBoxEh>(boxes, "LbSax", "性  别:", "EditSax", 64);
    for (const char* sex : {"男", "女"}) {
        EditSax->Items()->Add(sex);
        EditSax->KeyItems()->Add(sex);
    }
    EditSort = l.Field<TDBEdit>({6, 76, 128, 21, 3, 66, 14}, "LbSort", "读者类别:", "EditSort", 94)
                   .Hint("点击按钮或按F5键选择读者类别")
                   .OnExit(&TFrmReaderDataEdit::EditSortExit)
                   .OnKeyDown(&TFrmReaderDataEdit::EditSortKeyDown);
    SpeedButton1 =
        l.Add<TSpeedButton>("SpeedButton1").Caption("...").At(205, 94, 21, 21).OnClick(&TFrmReaderDataEdit::SpeedButton1Click);
    DBEdit8 = l.Field<TDBEdit>(boxes, "LbCardId", "身份证号:", "DBEdit8", 124);
    DBEdit9 = l.Field<TDBEdit>(boxes, "LbBornDate", "出生年月:", "DBEdit9", 154);
    CmbDept = l.Field<TDBComboBoxEh>(boxes, "LbDept", "部  门:", "CmbDept", 184);
    DBDateTimeEditEh1 = l.Field<TDBDateTimeEditEh>(boxes, "LbRegDate", "登记日期:", "DBDateTimeEditEh1", 214);
    for (auto [box, field] : {std::pair<TWinControl*, const char*>{EditCode, "Code"}, {EditName, "Name"},
                              {EditSort, "SortCode"}, {DBEdit8, "CardId"}, {DBEdit9, "BornDate"}})
        bind(static_cast<TDBEdit*>(box), field);
    bind(DBDateTimeEditEh1, "RegDate");
    bind(EditSax, "Sax");
    bind(CmbDept, "Department");

    auto m = b.In(middle);
    for (Line x : {Line{&EditTelday, "LbTelDay", "EditTelday", "电话(日):", "TelDay", 4},
                            Line{&DBEdit1, "LbTelNight", "DBEdit1", "电话(夜):", "TelNight", 34},
                            Line{&DBEdit4, "LbHandTel", "DBEdit4", "手  机:", "HandTel", 64},
                            Line{&DBEdit6, "LbEmail", "DBEdit6", "E_mail:", "E_mail", 94}}) {
        *x.box = m.Field<TDBEdit>(boxes, x.label, x.caption, x.name, x.top);
        bind(*x.box, x.field);
    }
    EditDeposum = m.Field<TDBNumberEditEh>(boxes, "LbDeposum", "押金:", "EditDeposum", 124);
    bind(EditDeposum, "DepoSum");
    ChkStop = m.Add<TDBCheckBox>("ChkStop").Caption("停用否").At(76, 156, 100, 20);
    bind(ChkStop, "Isstop");

    // The counters belong to the lending desks: shown here, never typed.
    auto counterRow = b.In(Panel1);
    struct Counter {
        TDBNumberEditEh** box;
        const char* name;
        const char* caption;
        const char* field;
        int left, top;
    };
    for (Counter x : {Counter{&EditBookQty, "EditBookQty", "未还本数(图书):", "BookQty", 10, 316},
                      Counter{&EditTimes, "EditTimes", "借书次数(图书):", "Times", 214, 316},
                      Counter{&EditOverdue, "EditOverdue", "超期次数(图书):", "Overdue", 418, 316},
                      Counter{&EditBookQty1, "EditBookQty1", "未还本数(期刊):", "BookQty1", 10, 342},
                      Counter{&EditTimes1, "EditTimes1", "借书次数(期刊):", "Times1", 214, 342},
                      Counter{&EditOverdue1, "EditOverdue1", "超期次数(期刊):", "Overdue1", 418, 342}}) {
        const std::string label = std::string("Lb") + (x.name + 4);
        const TFieldColumn at{x.left, x.left + 100, 80, 21, 3, 98, 14};
        *x.box = counterRow.Field<TDBNumberEditEh>(at, label.c_str(), x.caption, x.name, x.top).TabStop(false);
        bind(*x.box, x.field);
        (*x.box)->SetDecimalPlaces(0);
        (*x.box)->SetReadOnly(true);
        (*x.box)->SetAlignment(taRightJustify);
    }

    auto p = b.In(Panel1);
    TPanel* photo = p.Add<TPanel>("PanelPhoto").Caption("").Set(&TPanel::SetBevelOuter, bvLowered).At(492, 8, 120, 150);
    Image1 = b.In(photo).Add<TImage>("Image1").Align(alClient).Set(&TImage::SetStretch, true);
    SBtIn = p.Add<TSpeedButton>("SBtIn").Caption("连接相片").At(492, 164, 70, 24).OnClick(&TFrmReaderDataEdit::SBtInClick);
    SpeedButton2 =
        p.Add<TSpeedButton>("SpeedButton2").Caption("取消").At(566, 164, 46, 24).OnClick(&TFrmReaderDataEdit::SpeedButton2Click);
    const TFieldColumn wide{10, 80, 532, 21, 3, 66, 14};
    DBEdit7 = p.Field<TDBEdit>(wide, "LbAddr", "地址:", "DBEdit7", 258);
    DBEdit3 = p.Field<TDBEdit>(wide, "LbRemarks", "备注:", "DBEdit3", 286).OnKeyDown(&TFrmReaderDataEdit::DBEdit3KeyDown);
    bind(DBEdit7, "Addr");
    bind(DBEdit3, "Remarks");

    Opd1 = b.Add<TOpenDialog>("Opd1");
    Opd1->SetTitle("查找相片");
    Opd1->SetFilter("图片文件 (*.bmp;*.jpg;*.jpeg)|*.bmp;*.jpg;*.jpeg|所有文件 (*.*)|*.*");
}

void TFrmReaderDataEdit::InitForm() {
    TFrmBaseDataEdit::InitForm();
    SetCaption("读者信息");
    PanelLeft->SetColor(Panel1->Color());
    PanelMiddle->SetColor(Panel1->Color());
}

void TFrmReaderDataEdit::newRowDefaults() {
    AdoqEdit->FieldByName("RegDate")->SetAsDateTime(BusinessDate);
    AdoqEdit->FieldByName("Isstop")->SetAsBoolean(false);
    OldCode.clear();
    PhotoPath.clear();
    photoChanged_ = false;
    Image1->Picture()->Assign(nullptr);
}

void TFrmReaderDataEdit::FormShow(TObject* Sender) {
    // One row, not the table: the editor edits one reader.
    if (EditMode == 1) {
        AdoqEdit->SetStatement({"select * from Readerinfo where 1=0", {}});
    } else {
        AdoqEdit->SetStatement({"select * from Readerinfo where Code=?", {KeyValue}});
    }
    TFrmBaseDataEdit::FormShow(Sender);
    if (EditMode == 1) {
        newRowDefaults();
    } else {
        OldCode = AdoqEdit->FieldByName("Code")->AsString();
        loadedType_ = AdoqEdit->FieldByName("SortCode")->AsString();
        PhotoPath = AdoqEdit->FieldByName("Photo")->AsString();
        showStoredPhoto();
    }
    CmbDept->Items()->Clear();
    TRowLookup depts(AdoqEdit->Connection(), "select Code from Readerdept", {});
    for (TADOQuery& q = depts.Query(); !q.Eof(); q.Next()) CmbDept->Items()->Add(q.FieldByName("Code")->AsString());
    SetActiveControl(EditCode);
}

void TFrmReaderDataEdit::showStoredPhoto() {
    Image1->Picture()->Assign(nullptr);
    TField* f = AdoqEdit->FieldByName("PhotoBmp");
    const std::string bytes = f->IsNull() ? std::string() : f->AsString();
    if (bytes.size() < 4) return;
    TMemoryStream stream;
    stream.Write(bytes.data(), int64_t(bytes.size()));
    stream.Seek(0, soFromBeginning);
    // A stored picture that does not decode shows nothing; the reader is
    // still editable.
    try {
        if ((unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xD8) {
            TJPEGImage jpeg;
            jpeg.LoadFromStream(stream);
            Image1->Picture()->SetGraphic(&jpeg);
        } else {
            TBitmap bmp;
            bmp.LoadFromStream(stream);
            Image1->Picture()->SetGraphic(&bmp);
        }
    } catch (const Exception&) {
        Image1->Picture()->Assign(nullptr);
    }
}

void TFrmReaderDataEdit::EditCodeExit(TObject*) {
    const std::string code = Trim(EditCode->Text());
    if (!ReaderCodeTaken(AdoqEdit->Connection(), code, OldCode)) return;
    ShowInfoBox(DuplicateCode);
    AdoqEdit->FieldByName("Code")->SetAsString(EditMode == 1 ? std::string() : OldCode);
}

bool TFrmReaderDataEdit::typeKnown() {
    TRowLookup type(AdoqEdit->Connection(), "select Code from ReaderType where code=?", {EditSort->Text()});
    if (!type.Empty()) return true;
    ShowInfoBox("无此类别!");
    AdoqEdit->FieldByName("SortCode")->SetAsString("");
    EditSort->SetText("");
    return false;
}

void TFrmReaderDataEdit::EditSortExit(TObject*) { typeKnown(); }

void TFrmReaderDataEdit::EditSortKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_F5) return;
    Key = 0;
    SpeedButton1Click(SpeedButton1);
}

void TFrmReaderDataEdit::SpeedButton1Click(TObject*) {
    std::unique_ptr<TFrmFindReaderSort> lookup(new TFrmFindReaderSort(this));
    lookup->ShowModal();
    if (!lookup->ChosenCode.empty()) {
        AdoqEdit->FieldByName("SortCode")->SetAsString(lookup->ChosenCode);
        EditSort->SetText(lookup->ChosenCode);
    }
    if (EditSort->CanFocus()) EditSort->SetFocus();
}

void TFrmReaderDataEdit::DBEdit3KeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_RETURN) return;
    Key = 0;
    if (BtSaveAdd->CanFocus()) BtSaveAdd->SetFocus();
}

void TFrmReaderDataEdit::SBtInClick(TObject*) {
    Opd1->SetInitialDir(ExeDir() + "Bmp");
    Opd1->SetFileName("");
    if (!Opd1->Execute()) return;
    try {
        Image1->Picture()->LoadFromFile(Opd1->FileName());
    } catch (const Exception&) {
        ShowInfoBox("无法读取相片文件!");
        return;
    }
    PhotoPath = Opd1->FileName();
    photoChanged_ = true;
}

void TFrmReaderDataEdit::SpeedButton2Click(TObject*) {
    PhotoPath.clear();
    Image1->Picture()->Assign(nullptr);
    photoChanged_ = true;
}

void TFrmReaderDataEdit::storePhoto() {
    AdoqEdit->FieldByName("Photo")->SetAsString(PhotoPath);
    if (!photoChanged_) return;
    TField* blob = AdoqEdit->FieldByName("PhotoBmp");
    // Only a bitmap is kept in the row; the file path names any other kind.
    auto* bitmap = dynamic_cast<TBitmap*>(Image1->Picture()->Graphic());
    if (!bitmap || bitmap->Empty()) {
        blob->Clear();
        return;
    }
    TMemoryStream stream;
    bitmap->SaveToStream(stream);
    blob->SetAsString(stream.Bytes());
}

bool TFrmReaderDataEdit::ValidateRecord() {
    if (Trim(EditCode->Text()).empty() || Trim(EditName->Text()).empty() || Trim(EditSort->Text()).empty()) {
        ShowInfoBox("读者编号、姓名和类别必须填写！");
        return false;
    }
    if (ReaderCodeTaken(AdoqEdit->Connection(), Trim(AdoqEdit->FieldByName("Code")->AsString()), OldCode)) {
        ShowInfoBox(DuplicateCode);
        return false;
    }
    // Again here: a save by a button's key never leaves the type box, and a
    // reader of no type would reach the desks without lending limits. A
    // saved reader whose type has gone since stays correctable.
    if (EditMode != 1 && SameText(EditSort->Text(), loadedType_)) return true;
    return typeKnown();
}

void TFrmReaderDataEdit::SaveRecord() {
    const std::string name = AdoqEdit->FieldByName("Name")->AsString();
    if (!name.empty()) {
        std::string py, wbh, wb;
        LookupInputCodes(name, py, wbh, wb);
        AdoqEdit->FieldByName("PY")->SetAsString(py);
        AdoqEdit->FieldByName("WBH")->SetAsString(wbh);
        AdoqEdit->FieldByName("WB")->SetAsString(wb);
    }
    storePhoto();
    TFrmBaseDataEdit::SaveRecord();
    LastSavedCode = AdoqEdit->FieldByName("Code")->AsString();
    OldCode = LastSavedCode;
    photoChanged_ = false;
}

void TFrmReaderDataEdit::BeforePost() {
    if (EditMode == 1) return;
    RenameReaderCode(AdoqEdit->Connection(), OldCode, AdoqEdit->FieldByName("Code")->AsString());
}

void TFrmReaderDataEdit::BtSaveAddClick(TObject* Sender) {
    TFrmBaseDataEdit::BtSaveAddClick(Sender);
    newRowDefaults();
    if (EditCode->CanFocus()) EditCode->SetFocus();
}
