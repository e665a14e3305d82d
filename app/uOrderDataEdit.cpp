// The ordering editors' shared part; see uOrderDataEdit.h.
#include "uOrderDataEdit.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "DBCtrls.h"
#include "ExtCtrls.h"
#include "OrderRules.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uGlobal.h"
#include "uSortSet.h"

#include <memory>

namespace {
const char* const DuplicateCode = "该编号已有重码！请重新录入";
} // namespace

TFrmOrderDataEdit::TFrmOrderDataEdit(TComponent* AOwner, const std::string& table)
    : TFrmBaseDataEdit(AOwner), table_(table) {
    AdoqEdit->SQL()->SetText("select * from " + table);
    SetClientWidth(640);
    SetClientHeight(450);
    Panel1->SetBounds(8, 8, 624, 396);
    for (TButton* b : {BtSaveAdd, BtSaveExit, BtCancelExit}) {
        b->SetTop(414);
        b->SetLeft(b->Left() + 90);
    }
    TBuild b(this);
    GroupBox1 = b.In(Panel1).Add<TGroupBox>("GroupBox1").Caption("").At(4, 2, 320, 388);
    GroupBox2 = b.In(Panel1).Add<TGroupBox>("GroupBox2").Caption("").At(328, 2, 292, 388);
}

void TFrmOrderDataEdit::AddBoxes(std::initializer_list<TOrderBox> rows, int& top) {
    TBuild b(this);
    auto one = b.In(GroupBox1);
    for (const TOrderBox& x : rows) {
        const std::string label = std::string("Lb") + x.Name;
        *x.Box = one.Field<TDBEdit>({8, 76, x.Picker ? 204 : 228, 21, 3, 66, 14}, label.c_str(), x.Caption, x.Name, top);
        (*x.Box)->SetDataSource(DSEdit);
        (*x.Box)->SetDataField(x.Field);
        top += 24;
    }
}

TSpeedButton* TFrmOrderDataEdit::AddPicker(const char* name, TDBEdit* box) {
    TBuild b(this);
    return b.In(GroupBox1)
        .Add<TSpeedButton>(name)
        .Caption("...")
        .Hint("点击按钮或按+/F5键选择设定数据")
        .At(282, box->Top(), 22, 21);
}

void TFrmOrderDataEdit::AddClassButton() {
    SpeedButton1 = AddPicker("SpeedButton1", EditSort);
    SpeedButton1->OnClick = [this](TObject* s) { SpeedButton1Click(s); };
    EditCode->OnExit = [this](TObject* s) { EditCodeExit(s); };
    EditSort->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { EditSortKeyDown(s, k, sh); };
}

void TFrmOrderDataEdit::BuildOrderBoxes(const char* priceCaption, const char* dateCaption) {
    TBuild b(this);
    auto two = b.In(GroupBox2);
    auto bind = [this](auto* edit, const char* field) {
        edit->SetDataSource(DSEdit);
        edit->SetDataField(field);
    };
    const TFieldColumn col{8, 76, 200, 21, 3, 66, 14};
    CmbLang = two.Field<TDBComboBoxEh>(col, "LbLang", "语  系:", "CmbLang", 14);
    bind(CmbLang, "Language");
    DTPRegDate = two.Field<TDBDateTimeEditEh>(col, "LbRegDate", dateCaption, "DTPRegDate", 39);
    bind(DTPRegDate, "RegDate");
    struct Number {
        TDBNumberEditEh** box;
        const char* name;
        const char* caption;
        const char* field;
        int top;
    };
    for (Number x : {Number{&EditPrice, "EditPrice", priceCaption, "BookPrice", 64},
                     Number{&EditRegQty, "EditRegQty", "订购数量:", "RegQty", 89},
                     Number{&DBNumberEditEh2, "DBNumberEditEh2", "已到数量:", "BeBuy", 114},
                     Number{&DBNumberEditEh3, "DBNumberEditEh3", "订购金额:", "BookSum", 139}}) {
        const std::string label = std::string("Lb") + x.name;
        *x.box = two.Field<TDBNumberEditEh>(col, label.c_str(), x.caption, x.name, x.top);
        bind(*x.box, x.field);
        (*x.box)->SetDecimalPlaces(4);
        (*x.box)->SetAlignment(taRightJustify);
    }
    EditPrice->OnExit = [this](TObject* s) { EditPriceExit(s); };
    EditRegQty->OnExit = [this](TObject* s) { EditPriceExit(s); };
    two.Add<TLabel>("LbRemarks").Caption("备  注:").At(8, 167);
    DBMemo1 = two.Add<TDBMemo>("DBMemo1").At(76, 164, 200, 210).OnKeyDown(&TFrmOrderDataEdit::DBMemo1KeyDown);
    bind(DBMemo1, "Remarks");
}

void TFrmOrderDataEdit::FormShow(TObject* Sender) {
    if (EditMode == 1)
        AdoqEdit->SetStatement({"select * from " + table_ + " where 1=0", {}});
    else
        AdoqEdit->SetStatement({"select * from " + table_ + " where Code=?", {KeyValue}});
    TFrmBaseDataEdit::FormShow(Sender);
    EditCode->SetReadOnly(EditMode != 1);
    if (EditMode == 1) {
        AdoqEdit->FieldByName("RegDate")->SetAsDateTime(BusinessDate);
        SetActiveControl(EditCode);
    } else {
        SetActiveControl(EditName);
    }
    CmbLang->Items()->Clear();
    TRowLookup langs(AdoqEdit->Connection(), "select Code from Booklang", {});
    for (TADOQuery& q = langs.Query(); !q.Eof(); q.Next()) CmbLang->Items()->Add(q.FieldByName("Code")->AsString());
}

bool TFrmOrderDataEdit::codeTaken() {
    if (EditMode != 1) return false;
    return OrderCodeTaken(AdoqEdit->Connection(), table_, Trim(AdoqEdit->FieldByName("Code")->AsString()));
}

void TFrmOrderDataEdit::EditCodeExit(TObject*) {
    if (!codeTaken()) return;
    ShowInfoBox(DuplicateCode);
    AdoqEdit->FieldByName("Code")->SetAsString("");
}

void TFrmOrderDataEdit::SpeedButton1Click(TObject*) {
    std::unique_ptr<TFrmSortSet> picker(new TFrmSortSet(this));
    picker->ShowModal();
    if (!picker->ChosenSortCode.empty()) AdoqEdit->FieldByName("SortCode")->SetAsString(picker->ChosenSortCode);
    if (EditSort->CanFocus()) EditSort->SetFocus();
}

void TFrmOrderDataEdit::EditSortKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_F5 && Key != VK_ADD) return;
    Key = 0;
    SpeedButton1->Click();
}

void TFrmOrderDataEdit::DBMemo1KeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_RETURN) return;
    Key = 0;
    if (BtSaveAdd->CanFocus()) BtSaveAdd->SetFocus();
}

void TFrmOrderDataEdit::EditPriceExit(TObject*) {
    if (EditPrice->Text().empty() || EditRegQty->Text().empty()) return;
    TField* price = AdoqEdit->FieldByName("BookPrice");
    TField* qty = AdoqEdit->FieldByName("RegQty");
    if (price->IsNull() || qty->IsNull()) return;
    AdoqEdit->FieldByName("BookSum")->SetAsCurrency(price->AsCurrency() * qty->AsInteger());
}

bool TFrmOrderDataEdit::ValidateRecord() {
    auto text = [this](const char* f) { return Trim(AdoqEdit->FieldByName(f)->AsString()); };
    if (text("Code").empty() || text("Name").empty()) {
        ShowInfoBox("编号和中文名称必须填写！");
        return false;
    }
    // Again here: a save by a button's key never leaves the code box.
    if (codeTaken()) {
        ShowInfoBox(DuplicateCode);
        return false;
    }
    return true;
}

void TFrmOrderDataEdit::SaveRecord() {
    TFrmBaseDataEdit::SaveRecord();
    LastSavedCode = AdoqEdit->FieldByName("Code")->AsString();
}

void TFrmOrderDataEdit::BtSaveAddClick(TObject* Sender) {
    TFrmBaseDataEdit::BtSaveAddClick(Sender);
    AdoqEdit->FieldByName("RegDate")->SetAsDateTime(BusinessDate);
    EditCode->SetReadOnly(false);
    if (EditCode->CanFocus()) EditCode->SetFocus();
}
