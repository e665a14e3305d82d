// The periodical editor; see uMagzDataEdit.h.
#include "uMagzDataEdit.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "Catalogue.h"
#include "DBCtrls.h"
#include "ExtCtrls.h"
#include "PeriodicalRules.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uFindSupplier.h"
#include "uGlobal.h"
#include "uMagzMemo.h"
#include "uSortSet.h"

#include <memory>

namespace {

const char* const DuplicateCode = "该图书已有重码！请重新录入";

const char* const Frequencies[] = {"周刊", "半月刊", "月刊", "双月刊", "季刊", "日报", "周报", "旬报", "半月报", "月报"};

struct Box {
    TDBEdit** box;
    const char* name;
    const char* caption;
    const char* field;
};

} // namespace

TFrmMagzDataEdit::TFrmMagzDataEdit(TComponent* AOwner) : TFrmBaseDataEdit(AOwner) {
    SetName("FrmMagzDataEdit");
    SetClientWidth(700);
    SetClientHeight(500);
    Panel1->SetBounds(8, 8, 684, 446);
    for (TButton* b : {BtSaveAdd, BtSaveExit, BtCancelExit}) {
        b->SetTop(464);
        b->SetLeft(b->Left() + 120);
    }

    TBuild b(this);
    auto bind = [this](auto* box, const char* field) {
        box->SetDataSource(DSEdit);
        box->SetDataField(field);
    };
    auto group = [&](const char* name, const char* caption, int left, int top, int width, int height) {
        return b.In(Panel1).Add<TGroupBox>(name).Caption(caption).At(left, top, width, height);
    };

    // Group 1: the issue and its periodical.
    TGroupBox* g1 = group("GroupBox1", "", 4, 2, 336, 408);
    auto one = b.In(g1);
    Rbg = one.Add<TRadioButton>("Rbg").Caption("过刊").At(116, 16, 60, 20).Checked(true).OnClick(&TFrmMagzDataEdit::RbxClick);
    Rbx = one.Add<TRadioButton>("Rbx").Caption("现刊").At(190, 16, 60, 20).OnClick(&TFrmMagzDataEdit::RbxClick);
    const TFieldColumn col1{8, 116, 200, 21, 3, 106, 14};
    int top = 40;
    for (Box x : {Box{&EditCode, "EditCode", "期刊编号:(条形码)", "Code"}, Box{&EditISBN, "EditISBN", "ISSN号:", "BookIsbn"},
                  Box{&DBEdit2, "DBEdit2", "统一刊号:", "PubNo"}, Box{&DBEdit8, "DBEdit8", "邮发代号:", "PostNo"},
                  Box{&EditSort, "EditSort", "分类号:", "SortCode"}, Box{&DBEdit12, "DBEdit12", "书次号:", "SortNum"},
                  Box{&EditSCode, "EditSCode", "索刊号:", "Scode"}, Box{&EditName, "EditName", "名  称:", "Name"},
                  Box{&DBEdit1, "DBEdit1", "编辑部:", "Writer"}}) {
        const std::string label = std::string("Lb") + x.name;
        TFieldColumn at = col1;
        if (x.box == &EditSort) at.Width = 176;
        *x.box = one.Field<TDBEdit>(at, label.c_str(), x.caption, x.name, top);
        bind(*x.box, x.field);
        top += 24;
    }
    EditCode->OnExit = [this](TObject* s) { EditCodeExit(s); };
    EditISBN->OnExit = [this](TObject* s) { EditISBNExit(s); };
    EditSort->OnExit = [this](TObject* s) { EditSortExit(s); };
    EditSort->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { PickerKeyDown(s, k, sh); };
    EditSort->SetHint("点击按钮或按F5键选择分类");
    EditSort->SetShowHint(true);
    SpeedButton1 = one.Add<TSpeedButton>("SpeedButton1").Caption("...").At(294, EditSort->Top(), 22, 21).OnClick(
        &TFrmMagzDataEdit::SpeedButton1Click);
    DBComboBoxEh1 = one.Field<TDBComboBoxEh>(col1, "LbPubfreq", "出版周期:", "DBComboBoxEh1", top);
    for (const char* f : Frequencies) DBComboBoxEh1->Items()->Add(f);
    bind(DBComboBoxEh1, "Pubfreq");
    top += 24;
    for (Box x : {Box{&Edityear, "Edityear", "订购年度:", "Orderyear"}, Box{&DBEdit10, "DBEdit10", "期 号:", "PeriodNo"}}) {
        const std::string label = std::string("Lb") + x.name;
        *x.box = one.Field<TDBEdit>(col1, label.c_str(), x.caption, x.name, top);
        bind(*x.box, x.field);
        top += 24;
    }
    DBEdit11 = one.Field<TDBEdit>(col1, "LbZPeriodNo", "总期号:", "DBEdit11", top, &LbZPeriodNo);
    bind(DBEdit11, "ZPeriodNo");
    top += 24;
    DBEdit9 = one.Field<TDBEdit>(col1, "LbPeriodSt", "缺 期:", "DBEdit9", top, &LbPeriodSt);
    bind(DBEdit9, "PeriodSt");

    // Group 2: the word lists.
    TGroupBox* g2 = group("GroupBox2", "", 344, 2, 336, 100);
    auto two = b.In(g2);
    struct Combo {
        TDBComboBox** box;
        const char* name;
        const char* caption;
        const char* field;
        int left, top;
    };
    for (Combo x : {Combo{&CmbPosi, "CmbPosi", "架位:", "BookPosi", 8, 14}, Combo{&CmbLang, "CmbLang", "语言:", "language", 172, 14},
                    Combo{&CmbPrint, "CmbPrint", "印刷:", "Print", 8, 38}, Combo{&CmbSize, "CmbSize", "尺寸:", "Size", 172, 38},
                    Combo{&CmbGrade, "CmbGrade", "等级:", "Grade", 8, 62},
                    Combo{&CmbAttach, "CmbAttach", "附件:", "Attach", 172, 62}}) {
        const std::string label = std::string("Lb") + x.name;
        const TFieldColumn at{x.left, x.left + 40, 112, 21, 3, 36, 14};
        *x.box = two.Field<TDBComboBox>(at, label.c_str(), x.caption, x.name, x.top);
        bind(*x.box, x.field);
    }

    // Group 3: dates, prices and the copy's circulation (shown only).
    TGroupBox* g3 = group("GroupBox3", "", 344, 104, 336, 306);
    auto three = b.In(g3);
    const TFieldColumn left3{8, 70, 90, 21, 3, 60, 14};
    const TFieldColumn right3{170, 232, 94, 21, 3, 60, 14};
    DBDateTimeEditEh1 = three.Field<TDBDateTimeEditEh>(left3, "LbPubDate", "出版日期:", "DBDateTimeEditEh1", 14);
    DBEdit4 = three.Field<TDBEdit>(right3, "LbIsOut", "借阅状况:", "DBEdit4", 14).ReadOnly().TabStop(false);
    DTPRegDate = three.Field<TDBDateTimeEditEh>(left3, "LbRegDate", "登记日期:", "DTPRegDate", 40);
    DBEdit5 = three.Field<TDBEdit>(right3, "LbBorrowDate", "最后借出:", "DBEdit5", 40).ReadOnly().TabStop(false);
    EditPrice = three.Field<TDBNumberEditEh>(left3, "LbPrice", "期刊价格:", "EditPrice", 66);
    DBEdit6 = three.Field<TDBEdit>(right3, "LbTimes", "借阅次数:", "DBEdit6", 66).ReadOnly().TabStop(false);
    EditAvePrice = three.Field<TDBNumberEditEh>(left3, "LbAvePrice", "成本价:", "EditAvePrice", 92);
    DBEdit3 = three.Field<TDBEdit>(right3, "LbBorrowman", "借书人:", "DBEdit3", 92).ReadOnly().TabStop(false);
    DBEdit7 = three.Field<TDBEdit>(left3, "LbBookPage", "期刊页码:", "DBEdit7", 118);
    DBComboBox6 = three.Field<TDBComboBox>(right3, "LbIsLimit", "限制外借:", "DBComboBox6", 118);
    DBComboBox6->Items()->Add("限制");
    EditSupplier = three.Field<TDBEdit>({8, 70, 232, 21, 3, 60, 14}, "LbSupplier", "供应商:", "EditSupplier", 144);
    EditSupplier->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { PickerKeyDown(s, k, sh); };
    EditSupplier->SetHint("点击按钮或按F5键选择供应商");
    EditSupplier->SetShowHint(true);
    SpeedButton2 = three.Add<TSpeedButton>("SpeedButton2").Caption("...").At(304, 144, 22, 21).OnClick(
        &TFrmMagzDataEdit::SpeedButton2Click);
    three.Add<TLabel>("LbRemarks").Caption("目  录:").At(8, 173);
    EditRemarks = three.Add<TDBMemo>("EditRemarks")
                      .At(70, 170, 256, 118)
                      .Hint("双击打开窗口")
                      .OnKeyDown(&TFrmMagzDataEdit::EditRemarksKeyDown)
                      .OnDblClick(&TFrmMagzDataEdit::EditRemarksDblClick);
    for (auto [box, field] :
         {std::pair<TDBEdit*, const char*>{DBEdit4, "IsOut"}, {DBEdit5, "BorrowDate"}, {DBEdit6, "Times"}, {DBEdit3, "Borrowman"}, {DBEdit7, "BookPage"},
          {EditSupplier, "Supplier"}})
        bind(box, field);
    bind(DBDateTimeEditEh1, "PubDate");
    bind(DTPRegDate, "RegDate");
    for (auto [box, field] : {std::pair{EditPrice, "BookPrice"}, std::pair{EditAvePrice, "AvePrice"}}) {
        bind(box, field);
        box->SetDecimalPlaces(4);
        box->SetAlignment(taRightJustify);
    }
    bind(DBComboBox6, "IsLimit");
    bind(EditRemarks, "Remarks");

    ChkCopy = b.In(Panel1).Add<TCheckBox>("ChkCopy").Caption("新增时是否复制上一本书信息").At(8, 418, 240, 20);
}

void TFrmMagzDataEdit::InitForm() {
    TFrmBaseDataEdit::InitForm();
    SetCaption("期刊信息");
}

int64_t TFrmMagzDataEdit::selfId() const {
    TField* id = AdoqEdit->FieldByName("Id");
    return EditMode == 1 || id->IsNull() ? 0 : id->AsInteger();
}

void TFrmMagzDataEdit::newRowDefaults() {
    AdoqEdit->FieldByName("RegDate")->SetAsDateTime(BusinessDate);
    OldCode.clear();
}

void TFrmMagzDataEdit::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    if (EditMode == 1) {
        AdoqEdit->Close();
        AdoqEdit->SetStatement({"select * from Magzinfo where 1=0", {}});
        AdoqEdit->Open();
        AdoqEdit->Append();
        newRowDefaults();
        Word y, m, d;
        DecodeDate(BusinessDate, y, m, d);
        AdoqEdit->FieldByName("Orderyear")->SetAsString(IntToStr(int(y)));
    } else {
        AdoqEdit->Close();
        AdoqEdit->SetStatement({"select * from Magzinfo where Id=?", {EditId}});
        AdoqEdit->Open();
        AdoqEdit->Edit();
        OldCode = AdoqEdit->FieldByName("Code")->AsString();
        loadedSort_ = AdoqEdit->FieldByName("SortCode")->AsString();
    }
    if (Rbx->Checked()) RbxClick(Rbx);
    struct WordList {
        TDBComboBox* box;
        const char* table;
    };
    for (WordList w : {WordList{CmbPosi, "Bookposi"}, WordList{CmbLang, "Booklang"}, WordList{CmbPrint, "BookPrint"},
                       WordList{CmbSize, "Booksize"}, WordList{CmbGrade, "BookGrade"}, WordList{CmbAttach, "Bookattch"}}) {
        w.box->Items()->Clear();
        TRowLookup rows(AdoqEdit->Connection(), std::string("select Code from ") + w.table, {});
        for (TADOQuery& q = rows.Query(); !q.Eof(); q.Next()) w.box->Items()->Add(q.FieldByName("Code")->AsString());
    }
    SetActiveControl(EditCode);
}

void TFrmMagzDataEdit::RbxClick(TObject*) {
    const bool current = Rbx->Checked();
    LbPeriodSt->SetVisible(!current);
    DBEdit9->SetVisible(!current);
    LbZPeriodNo->SetVisible(current);
    DBEdit11->SetVisible(current);
}

void TFrmMagzDataEdit::EditCodeExit(TObject*) {
    if (!MagzCodeTaken(AdoqEdit->Connection(), Trim(EditCode->Text()), selfId())) return;
    ShowInfoBox(DuplicateCode);
    AdoqEdit->FieldByName("Code")->SetAsString(EditMode == 1 ? std::string() : OldCode);
}

void TFrmMagzDataEdit::copyFrom(const TBoundSql& source) {
    TRowLookup row(AdoqEdit->Connection(), source);
    if (row.Empty()) return;
    for (const char* column : MagzCopiedColumns()) {
        TField* from = row[column];
        TField* to = AdoqEdit->FieldByName(column);
        if (from->IsNull())
            to->Clear();
        else if (std::string(column) == "BookPrice" || std::string(column) == "AvePrice")
            to->SetAsFloat(from->AsFloat());
        else
            to->SetAsVariant(from->AsVariant());
    }
    // A new copy is registered today, whatever copy it was taken from: the
    // daily lists find it by that date.
    AdoqEdit->FieldByName("RegDate")->SetAsDateTime(BusinessDate);
}

void TFrmMagzDataEdit::EditISBNExit(TObject*) {
    // Only a new copy takes an earlier issue's data: in edit mode it would
    // overwrite the issue being corrected.
    if (EditMode != 1) return;
    const std::string issn = EditISBN->Text();
    if (issn.empty()) return;
    copyFrom({"select * from Magzinfo where BookIsbn=? order by Id", {issn}});
}

bool TFrmMagzDataEdit::classKnown() {
    TRowLookup type(AdoqEdit->Connection(), "select SortCode from Type where Sortcode=?", {EditSort->Text()});
    if (!type.Empty()) return true;
    ShowInfoBox("无此类别!");
    AdoqEdit->FieldByName("SortCode")->SetAsString("");
    EditSort->SetText("");
    return false;
}

void TFrmMagzDataEdit::EditSortExit(TObject*) {
    TADOConnection* c = AdoqEdit->Connection();
    if (!classKnown()) return;
    if (EditMode != 1) return;
    const std::string sort = AdoqEdit->FieldByName("SortCode")->AsString();
    if (sort.empty()) return;
    TRowLookup copies(c, "select Scode from Magzinfo where Scode like ? escape '\\'", {LikeEscaped(sort + "/") + "%"});
    std::vector<std::string> used;
    for (TADOQuery& q = copies.Query(); !q.Eof(); q.Next()) used.push_back(q.FieldByName("Scode")->AsString());
    const TCallNumber next = NextPeriodicalCallNumber(sort, used);
    AdoqEdit->FieldByName("SortNum")->SetAsString(next.SortNum);
    AdoqEdit->FieldByName("Scode")->SetAsString(next.Scode);
}

void TFrmMagzDataEdit::SpeedButton1Click(TObject*) {
    std::unique_ptr<TFrmSortSet> picker(new TFrmSortSet(this));
    picker->ShowModal();
    if (!picker->ChosenSortCode.empty()) {
        AdoqEdit->FieldByName("SortCode")->SetAsString(picker->ChosenSortCode);
        EditSort->SetText(picker->ChosenSortCode);
    }
    if (EditSort->CanFocus()) EditSort->SetFocus();
}

void TFrmMagzDataEdit::SpeedButton2Click(TObject*) {
    std::unique_ptr<TFrmFindSupplier> lookup(new TFrmFindSupplier(this));
    lookup->ShowModal();
    if (!lookup->ChosenCode.empty()) {
        AdoqEdit->FieldByName("Supplier")->SetAsString(lookup->ChosenCode);
        EditSupplier->SetText(lookup->ChosenCode);
    }
    if (EditSupplier->CanFocus()) EditSupplier->SetFocus();
}

void TFrmMagzDataEdit::PickerKeyDown(TObject* Sender, Word& Key, TShiftState) {
    if (Key != VK_F5) return;
    Key = 0;
    if (Sender == EditSort)
        SpeedButton1Click(SpeedButton1);
    else
        SpeedButton2Click(SpeedButton2);
}

void TFrmMagzDataEdit::EditRemarksKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key != VK_RETURN) return;
    Key = 0;
    if (BtSaveAdd->CanFocus()) BtSaveAdd->SetFocus();
}

void TFrmMagzDataEdit::EditRemarksDblClick(TObject*) {
    std::unique_ptr<TFrmMagzMemo> memo(new TFrmMagzMemo(this));
    memo->EditBox(EditRemarks);
}

bool TFrmMagzDataEdit::ValidateRecord() {
    if (Trim(EditCode->Text()).empty() || Trim(EditName->Text()).empty() || Trim(EditSort->Text()).empty()) {
        ShowInfoBox("期刊编号、名称和分类号必须填写！");
        return false;
    }
    if (MagzCodeTaken(AdoqEdit->Connection(), Trim(AdoqEdit->FieldByName("Code")->AsString()), selfId())) {
        ShowInfoBox(DuplicateCode);
        return false;
    }
    // Again here: a save by a button's key never leaves the class box. A
    // saved copy whose class has left the tree since stays correctable.
    if (EditMode != 1 && SameText(EditSort->Text(), loadedSort_)) return true;
    return classKnown();
}

void TFrmMagzDataEdit::SaveRecord() {
    const std::string name = AdoqEdit->FieldByName("Name")->AsString();
    if (!name.empty()) {
        std::string py, wbh, wb;
        LookupInputCodes(name, py, wbh, wb);
        AdoqEdit->FieldByName("PY")->SetAsString(py);
        AdoqEdit->FieldByName("WBH")->SetAsString(wbh);
        AdoqEdit->FieldByName("WB")->SetAsString(wb);
    }
    AdoqEdit->FieldByName("IsNew")->SetAsBoolean(Rbx->Checked());
    TFrmBaseDataEdit::SaveRecord();
    LastSavedId = AdoqEdit->FieldByName("Id")->AsString();
    OldCode = AdoqEdit->FieldByName("Code")->AsString();
}

void TFrmMagzDataEdit::BeforePost() {
    TADOConnection* c = AdoqEdit->Connection();
    if (EditMode == 1) {
        CountSubscriptionReceived(c, AdoqEdit->FieldByName("Name")->AsString(),
                                  AdoqEdit->FieldByName("BookIsbn")->AsString());
    } else {
        RenameMagzCode(c, OldCode, AdoqEdit->FieldByName("Code")->AsString());
    }
}

void TFrmMagzDataEdit::BtSaveAddClick(TObject* Sender) {
    TFrmBaseDataEdit::BtSaveAddClick(Sender);
    newRowDefaults();
    if (ChkCopy->Checked() && !LastSavedId.empty())
        copyFrom({"select * from Magzinfo where Id=?", {Variant(int64_t(StrToInt64(LastSavedId)))}});
    if (EditCode->CanFocus()) EditCode->SetFocus();
}
