// The subscription editor; see uMagzOrderDataEdit.h.
#include "uMagzOrderDataEdit.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "DBCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uGlobal.h"
#include "uSortSet.h"

#include <memory>

namespace {

const char* const DuplicateCode = "该编号已有重码！请重新录入";
const char* const Frequencies[] = {"周刊", "半月刊", "月刊", "双月刊", "季刊", "日报", "周报", "旬报", "半月报", "月报"};

struct Box {
    TDBEdit** box;
    const char* name;
    const char* caption;
    const char* field;
};

} // namespace

TFrmMagzOrderDataEdit::TFrmMagzOrderDataEdit(TComponent* AOwner) : TFrmBaseDataEdit(AOwner) {
    SetName("FrmMagzOrderDataEdit");
    SetClientWidth(640);
    SetClientHeight(450);
    Panel1->SetBounds(8, 8, 624, 396);
    for (TButton* b : {BtSaveAdd, BtSaveExit, BtCancelExit}) {
        b->SetTop(414);
        b->SetLeft(b->Left() + 90);
    }
    AdoqEdit->SQL()->SetText("select * from Magzorder");

    TBuild b(this);
    auto bind = [this](auto* box, const char* field) {
        box->SetDataSource(DSEdit);
        box->SetDataField(field);
    };
    TGroupBox* g1 = b.In(Panel1).Add<TGroupBox>("GroupBox1").Caption("").At(4, 2, 320, 388);
    auto one = b.In(g1);
    const TFieldColumn col{8, 76, 228, 21, 3, 66, 14};
    int top = 14;
    auto boxes = [&](std::initializer_list<Box> rows) {
        for (Box x : rows) {
            const std::string label = std::string("Lb") + x.name;
            TFieldColumn at = col;
            if (x.box == &EditSort) at.Width = 204;
            *x.box = one.Field<TDBEdit>(at, label.c_str(), x.caption, x.name, top);
            bind(*x.box, x.field);
            top += 24;
        }
    };
    boxes({Box{&EditCode, "EditCode", "登记编号:", "Code"}, Box{&DBEdit3, "DBEdit3", "ISSN号:", "BookIsbn"},
           Box{&DBEdit2, "DBEdit2", "统一刊号:", "PubNo"}, Box{&DBEdit5, "DBEdit5", "邮发代号:", "PostNo"},
           Box{&EditName, "EditName", "期刊名称:", "Name"}, Box{&EditSort, "EditSort", "分类号:", "SortCode"},
           Box{&DBEdit1, "DBEdit1", "编辑部:", "Writer"}});
    EditCode->OnExit = [this](TObject* s) { EditCodeExit(s); };
    EditSort->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { EditSortKeyDown(s, k, sh); };
    SpeedButton1 = one.Add<TSpeedButton>("SpeedButton1").Caption("...").At(282, EditSort->Top(), 22, 21).OnClick(
        &TFrmMagzOrderDataEdit::SpeedButton1Click);
    DBComboBoxEh1 = one.Field<TDBComboBox>(col, "LbPubfreq", "出版周期:", "DBComboBoxEh1", top);
    for (const char* f : Frequencies) DBComboBoxEh1->Items()->Add(f);
    bind(DBComboBoxEh1, "Pubfreq");
    top += 24;
    boxes({Box{&DBEdit4, "DBEdit4", "起止订期:", "OrderPeriod"}, Box{&DBEdit6, "DBEdit6", "创刊年:", "StartYear"},
           Box{&DBEdit7, "DBEdit7", "联系电话:", "Tel"}, Box{&DBEdit8, "DBEdit8", "联系人:", "LinkMan"},
           Box{&DBEdit11, "DBEdit11", "通信地址:", "Addr"}, Box{&DBEdit9, "DBEdit9", "银行帐号:", "BankNo"},
           Box{&DBEdit10, "DBEdit10", "开户行:", "Bank"}});

    TGroupBox* g2 = b.In(Panel1).Add<TGroupBox>("GroupBox2").Caption("").At(328, 2, 292, 388);
    auto two = b.In(g2);
    const TFieldColumn col2{8, 76, 200, 21, 3, 66, 14};
    CmbLang = two.Field<TDBComboBox>(col2, "LbLang", "语  系:", "CmbLang", 14);
    bind(CmbLang, "Language");
    DTPRegDate = two.Field<TDBEdit>(col2, "LbRegDate", "预订日期:", "DTPRegDate", 39);
    bind(DTPRegDate, "RegDate");
    struct Number {
        TDBNumberEditEh** box;
        const char* name;
        const char* caption;
        const char* field;
        int top;
    };
    for (Number x : {Number{&EditPrice, "EditPrice", "期刊价格:", "BookPrice", 64},
                     Number{&EditRegQty, "EditRegQty", "订购数量:", "RegQty", 89},
                     Number{&DBNumberEditEh2, "DBNumberEditEh2", "已到数量:", "BeBuy", 114},
                     Number{&DBNumberEditEh3, "DBNumberEditEh3", "订购金额:", "BookSum", 139}}) {
        const std::string label = std::string("Lb") + x.name;
        *x.box = two.Field<TDBNumberEditEh>(col2, label.c_str(), x.caption, x.name, x.top);
        bind(*x.box, x.field);
        (*x.box)->SetDecimalPlaces(4);
        (*x.box)->SetAlignment(taRightJustify);
    }
    EditPrice->OnExit = [this](TObject* s) { EditPriceExit(s); };
    EditRegQty->OnExit = [this](TObject* s) { EditPriceExit(s); };
    two.Add<TLabel>("LbRemarks").Caption("备  注:").At(8, 167);
    DBMemo1 = two.Add<TDBMemo>("DBMemo1").At(76, 164, 200, 210).OnKeyDown(&TFrmMagzOrderDataEdit::DBMemo1KeyDown);
    bind(DBMemo1, "Remarks");
}

void TFrmMagzOrderDataEdit::InitForm() {
    TFrmBaseDataEdit::InitForm();
    SetCaption("征订信息");
}

void TFrmMagzOrderDataEdit::FormShow(TObject* Sender) {
    if (EditMode == 1)
        AdoqEdit->SetStatement({"select * from MagzOrder where 1=0", {}});
    else
        AdoqEdit->SetStatement({"select * from MagzOrder where Code=?", {KeyValue}});
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

bool TFrmMagzOrderDataEdit::codeTaken() {
    if (EditMode != 1) return false;
    const std::string code = Trim(AdoqEdit->FieldByName("Code")->AsString());
    if (code.empty()) return false;
    TRowLookup row(AdoqEdit->Connection(), "select Code from MagzOrder where code=?", {code});
    return !row.Empty();
}

void TFrmMagzOrderDataEdit::EditCodeExit(TObject*) {
    if (!codeTaken()) return;
    ShowInfoBox(DuplicateCode);
    AdoqEdit->FieldByName("Code")->SetAsString("");
}

void TFrmMagzOrderDataEdit::SpeedButton1Click(TObject*) {
    std::unique_ptr<TFrmSortSet> picker(new TFrmSortSet(this));
    picker->ShowModal();
    if (!picker->ChosenSortCode.empty()) {
        AdoqEdit->FieldByName("SortCode")->SetAsString(picker->ChosenSortCode);
        EditSort->SetText(picker->ChosenSortCode);
    }
    if (EditSort->CanFocus()) EditSort->SetFocus();
}

void TFrmMagzOrderDataEdit::EditSortKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_F5) return;
    Key = 0;
    SpeedButton1Click(SpeedButton1);
}

void TFrmMagzOrderDataEdit::DBMemo1KeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_RETURN) return;
    Key = 0;
    if (BtSaveAdd->CanFocus()) BtSaveAdd->SetFocus();
}

void TFrmMagzOrderDataEdit::EditPriceExit(TObject*) {
    if (EditPrice->Text().empty() || EditRegQty->Text().empty()) return;
    TField* price = AdoqEdit->FieldByName("BookPrice");
    TField* qty = AdoqEdit->FieldByName("RegQty");
    if (price->IsNull() || qty->IsNull()) return;
    AdoqEdit->FieldByName("BookSum")->SetAsCurrency(price->AsCurrency() * qty->AsInteger());
}

bool TFrmMagzOrderDataEdit::ValidateRecord() {
    if (Trim(EditCode->Text()).empty() || Trim(EditName->Text()).empty()) {
        ShowInfoBox("编号和中文名称必须填写！");
        return false;
    }
    if (codeTaken()) {
        ShowInfoBox(DuplicateCode);
        return false;
    }
    return true;
}

void TFrmMagzOrderDataEdit::SaveRecord() {
    TFrmBaseDataEdit::SaveRecord();
    LastSavedCode = AdoqEdit->FieldByName("Code")->AsString();
}

void TFrmMagzOrderDataEdit::BtSaveAddClick(TObject* Sender) {
    TFrmBaseDataEdit::BtSaveAddClick(Sender);
    AdoqEdit->FieldByName("RegDate")->SetAsDateTime(BusinessDate);
    EditCode->SetReadOnly(false);
    if (EditCode->CanFocus()) EditCode->SetFocus();
}
