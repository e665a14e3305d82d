// The book editor; see uBookDataEdit.h.
#include "uBookDataEdit.h"

#include "ADODB.h"
#include "BookRules.h"
#include "Build.h"
#include "Buttons.h"
#include "Catalogue.h"
#include "DBCtrls.h"
#include "ExtCtrls.h"
#include "ScopeExit.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uBookMemo.h"
#include "uBookMemo1.h"
#include "uFindBookSet.h"
#include "uFindPublish.h"
#include "uFindSupplier.h"
#include "uGlobal.h"
#include "uSortSet.h"

#include <algorithm>
#include <memory>

namespace {
const char* const DuplicateCode = "该图书已有重码！请重新录入";
constexpr TColor EditBlue = RGB(204, 236, 255);
} // namespace

const std::vector<const char*>& TFrmBookDataEdit::CopiedColumns() {
    static const std::vector<const char*> columns = {
        "Name",      "YName",     "CodeSet",  "Scode",  "SortCode", "Publisher", "Writer",   "PubDate", "BookPrice",
        "AvePrice",  "BookPage",  "BookIsbn", "Translator", "Attach", "language", "Print",  "Size",    "Grade",
        "Supplier",  "RegDate",   "Remarks",  "BookPosi", "IsLimit",  "SortNum",   "PubNum", "Remarks1"};
    return columns;
}

TFrmBookDataEdit::TFrmBookDataEdit(TComponent* AOwner) : TFrmBookDataEdit(AOwner, "Bookinfo") {}

TFrmBookDataEdit::TFrmBookDataEdit(TComponent* AOwner, std::string table)
    : TFrmBaseDataEdit(AOwner), Table(std::move(table)) {
    SetName("FrmBookDataEdit");
    SetClientWidth(760);
    SetClientHeight(520);
    Panel1->SetBounds(8, 8, 744, 468);
    AdoqEdit->SQL()->SetText("select top 10 * from " + Table);

    TBuild b(this);
    auto panel = b.In(Panel1);
    auto bind = [this](auto* box, const char* field) {
        box->SetDataSource(DSEdit);
        box->SetDataField(field);
    };
    auto picker = [&](TBuild<TFrmBookDataEdit> in, const char* name, int left, int top,
                      void (TFrmBookDataEdit::*click)(TObject*)) {
        return in.Add<TSpeedButton>(name).Caption("...").Hint("点击按钮或按+/F5键选择设定数据").At(left, top, 22, 21).OnClick(
            click);
    };

    GroupBox1 = panel.Add<TGroupBox>("GroupBox1").Caption("").At(6, 4, 360, 344);
    auto g1 = b.In(GroupBox1);
    const TFieldColumn c1{8, 116, 210};
    struct Text {
        TDBEdit** edit;
        const char* label;
        const char* caption;
        const char* name;
        const char* field;
        int top;
        int width;
    };
    for (Text t : {Text{&EditCode, "LbCode", "书籍编号:(条形码)", "EditCode", "Code", 14, 210},
                   Text{&EditSet, "LbSet", "卷册号：", "EditSet", "CodeSet", 40, 210},
                   Text{&EditISBN, "LbISBN", "ISBN号:", "EditISBN", "BookIsbn", 66, 210},
                   Text{&EditSort, "LbSort", "分类号:", "EditSort", "SortCode", 92, 186},
                   Text{&DBEdit8, "LbSortNum", "书次号:", "DBEdit8", "SortNum", 118, 210},
                   Text{&EditSCode, "LbSCode", "索书号:", "EditSCode", "Scode", 144, 210},
                   Text{&EditName, "LbName", "中文名称:", "EditName", "Name", 170, 210},
                   Text{&EditYName, "LbYName", "原文名称:", "EditYName", "YName", 196, 210},
                   Text{&EditPublisher, "LbPublisher", "出版社:", "EditPublisher", "Publisher", 222, 186},
                   Text{&DBEdit1, "LbWriter", "作  者:", "DBEdit1", "Writer", 248, 210},
                   Text{&DBEdit2, "LbTranslator", "译  者:", "DBEdit2", "Translator", 274, 210}}) {
        TFieldColumn col = c1;
        col.Width = t.width;
        *t.edit = g1.Field<TDBEdit>(col, t.label, t.caption, t.name, t.top);
        bind(*t.edit, t.field);
    }
    SpeedButton1 = picker(g1, "SpeedButton1", 304, 92, &TFrmBookDataEdit::SpeedButton1Click);
    SpeedButton3 = picker(g1, "SpeedButton3", 304, 222, &TFrmBookDataEdit::SpeedButton3Click);
    EditCode->OnExit = [this](TObject* s) { EditCodeExit(s); };
    EditSort->OnExit = [this](TObject* s) { EditSortExit(s); };
    EditISBN->OnKeyPress = [this](TObject* s, char32_t& k) { EditISBNKeyPress(s, k); };
    for (TDBEdit* e : {EditSort, EditPublisher}) e->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) {
        PickerKeyDown(s, k, sh);
    };
    ChkSet = g1.Add<TCheckBox>("ChkSet").Caption("套录").Checked().At(8, 296, 60, 17);
    Rb2 = g1.Add<TRadioButton>("Rb2").Caption("预编库").Checked().At(80, 296, 70, 17);
    Rb1 = g1.Add<TRadioButton>("Rb1").Caption("图书库").At(156, 296, 70, 17);

    GroupBox2 = panel.Add<TGroupBox>("GroupBox2").Caption("").At(372, 4, 366, 100);
    auto g2 = b.In(GroupBox2);
    struct Combo {
        TDBComboBox** box;
        const char* label;
        const char* caption;
        const char* name;
        const char* field;
        int left, top;
    };
    for (Combo c : {Combo{&CmbPosi, "LbPosi", "架位:", "CmbPosi", "BookPosi", 0, 12},
                    Combo{&CmbLang, "LbLang", "语言:", "CmbLang", "language", 180, 12},
                    Combo{&CmbPrint, "LbPrint", "印刷:", "CmbPrint", "Print", 0, 36},
                    Combo{&CmbSize, "LbSize", "尺寸:", "CmbSize", "Size", 180, 36},
                    Combo{&CmbGrade, "LbGrade", "等级:", "CmbGrade", "Grade", 0, 60},
                    Combo{&CmbAttach, "LbAttach", "附件:", "CmbAttach", "Attach", 180, 60}}) {
        *c.box = g2.Field<TDBComboBox>({c.left + 8, c.left + 50, 120}, c.label, c.caption, c.name, c.top);
        bind(*c.box, c.field);
    }

    GroupBox3 = panel.Add<TGroupBox>("GroupBox3").Caption("").At(372, 108, 366, 240);
    auto g3 = b.In(GroupBox3);
    DBEdit9 = g3.Field<TDBEdit>({8, 68, 100}, "LbPubDate", "出版日期:", "DBEdit9", 14);
    bind(DBEdit9, "PubDate");
    DTPRegDate = g3.Field<TDBDateTimeEditEh>({188, 248, 100}, "LbRegDate", "登记日期:", "DTPRegDate", 14);
    bind(DTPRegDate, "RegDate");
    EditPrice = g3.Field<TDBNumberEditEh>({8, 68, 100}, "LbPrice", "书籍价格:", "EditPrice", 40);
    EditAvePrice = g3.Field<TDBNumberEditEh>({188, 248, 100}, "LbAvePrice", "成本价:", "EditAvePrice", 40);
    for (auto [e, f] : {std::pair{EditPrice, "BookPrice"}, std::pair{EditAvePrice, "AvePrice"}}) {
        bind(e, f);
        e->SetDecimalPlaces(4);
        e->SetAlignment(taRightJustify);
    }
    DBEdit7 = g3.Field<TDBEdit>({8, 68, 100}, "LbPage", "书籍页码:", "DBEdit7", 66);
    bind(DBEdit7, "BookPage");
    DBEdit10 = g3.Field<TDBEdit>({188, 248, 100}, "LbPubNum", "版次:", "DBEdit10", 66);
    bind(DBEdit10, "PubNum");
    DBComboBox6 = g3.Field<TDBComboBox>({8, 68, 100}, "LbIsLimit", "限制外借:", "DBComboBox6", 92);
    bind(DBComboBox6, "IsLimit");
    DBComboBox6->Items()->Add("限制");
    for (Text t : {Text{&DBEdit4, "LbIsOut", "借阅状况:", "DBEdit4", "IsOut", 92, 100},
                   Text{&DBEdit5, "LbBorrowDate", "最后借出:", "DBEdit5", "BorrowDate", 118, 100},
                   Text{&DBEdit6, "LbTimes", "借阅次数:", "DBEdit6", "Times", 118, 100},
                   Text{&DBEdit3, "LbBorrowman", "借书人:", "DBEdit3", "Borrowman", 144, 100}}) {
        const int left = (t.edit == &DBEdit4 || t.edit == &DBEdit6) ? 180 : 0;
        *t.edit = g3.Field<TDBEdit>({left + 8, left + 68, t.width}, t.label, t.caption, t.name, t.top).ReadOnly().TabStop(
            false);
        bind(*t.edit, t.field);
    }
    EditSupplier = g3.Field<TDBEdit>({8, 68, 256}, "LbSupplier", "供应商:", "EditSupplier", 170);
    bind(EditSupplier, "Supplier");
    EditSupplier->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { PickerKeyDown(s, k, sh); };
    SpeedButton2 = picker(g3, "SpeedButton2", 326, 170, &TFrmBookDataEdit::SpeedButton2Click);
    ChkCopy = g3.Add<TCheckBox>("ChkCopy").Caption("新增时是否复制上一本书信息").At(8, 200, 250, 17);

    EditRemarks = panel.Field<TDBMemo>({8, 76, 290, 100}, "LbRemarks", "内容简介:", "EditRemarks", 356).Hint(
        "双击打开窗口");
    EditRemarks1 = panel.Field<TDBMemo>({380, 440, 290, 100}, "LbRemarks1", "摘  要:", "EditRemarks1", 356).Hint(
        "双击打开窗口");
    for (auto [m, f] : {std::pair{EditRemarks, "Remarks"}, std::pair{EditRemarks1, "Remarks1"}}) {
        bind(m, f);
        m->OnKeyPress = [this](TObject* s, char32_t& k) { EditRemarksKeyPress(s, k); };
    }
    EditRemarks->OnDblClick = [this](TObject* s) { EditRemarksDblClick(s); };
    EditRemarks1->OnDblClick = [this](TObject* s) { EditRemarks1DblClick(s); };
    // Enter walks on through the boxes (the ISBN box runs its look-up
    // instead, the memos go to 保存增加, the pickers' boxes add F5).
    for (TWinControl* box : std::initializer_list<TWinControl*>{
             EditCode, EditSet, DBEdit8, EditSCode, EditName, EditYName, DBEdit1, DBEdit2, CmbPosi, CmbLang, CmbPrint,
             CmbSize, CmbGrade, CmbAttach, DBEdit9, DTPRegDate, EditPrice, EditAvePrice, DBEdit7, DBEdit10,
             DBComboBox6})
        box->OnKeyDown = KeyDownHandler();
    for (TButton* bt : {BtSaveAdd, BtSaveExit, BtCancelExit}) bt->SetTop(486);
    BtSaveAdd->SetLeft(300);
    BtSaveExit->SetLeft(412);
    BtCancelExit->SetLeft(524);
}

void TFrmBookDataEdit::InitForm() {
    TFrmBaseDataEdit::InitForm();
    SetCaption("图书信息");
}

void TFrmBookDataEdit::FormShow(TObject* Sender) {
    TFrmBaseD::FormShow(Sender);
    SetColor(EditBlue);
    Panel1->SetColor(EditBlue);
    AdoqEdit->Close();
    if (EditMode == 1) {
        AdoqEdit->SQL()->SetText("select top 10 * from " + Table);
        AdoqEdit->Open();
        AdoqEdit->Append();
        AdoqEdit->FieldByName("RegDate")->SetAsDateTime(BusinessDate);
        OldCode.clear();
        loadedSort_.clear();
    } else {
        AdoqEdit->SetStatement({"select * from " + Table + " where Id=?", {Variant(EditId)}});
        AdoqEdit->Open();
        AdoqEdit->Edit();
        TField* code = AdoqEdit->FindField("Code");
        OldCode = code ? code->AsString() : std::string();
        loadedSort_ = AdoqEdit->FieldByName("SortCode")->AsString();
    }
    const std::pair<TDBComboBox*, const char*> lists[] = {{CmbPosi, "Bookposi"}, {CmbLang, "Booklang"},
                                                          {CmbPrint, "BookPrint"}, {CmbSize, "Booksize"},
                                                          {CmbGrade, "BookGrade"}, {CmbAttach, "Bookattch"}};
    for (auto [box, table] : lists) {
        box->Items()->Clear();
        Adoqtemp->Close();
        Adoqtemp->SQL()->SetText(std::string("select * from ") + table);
        Adoqtemp->Open();
        for (Adoqtemp->First(); !Adoqtemp->Eof(); Adoqtemp->Next())
            box->Items()->Add(Adoqtemp->FieldByName("Code")->AsString());
        Adoqtemp->Close();
    }
    if (EditCode && EditCode->CanFocus()) EditCode->SetFocus();
}

int64_t TFrmBookDataEdit::ownId() const {
    TField* id = AdoqEdit->FieldByName("Id");
    return EditMode == 1 || id->IsNull() ? 0 : id->AsLargeInt();
}

bool TFrmBookDataEdit::codeTaken() {
    const std::string code = AdoqEdit->FieldByName("Code")->AsString();
    return !code.empty() && BookCodeTaken(AdoqEdit->Connection(), code, ownId());
}

void TFrmBookDataEdit::EditCodeExit(TObject*) {
    if (!codeTaken()) return;
    ShowInfoBox(DuplicateCode);
    AdoqEdit->FieldByName("Code")->SetAsString(EditMode == 1 ? std::string() : OldCode);
}

void TFrmBookDataEdit::EditSortExit(TObject*) {
    if (startingNext_) return;
    const std::string sort = EditSort->Text();
    TRowLookup cls(AdoqEdit->Connection(), "select SortCode from Type where SortCode=?", {sort});
    if (sort.empty() || cls.Empty()) {
        ShowInfoBox("无此分类号!");
        AdoqEdit->FieldByName("SortCode")->SetAsString("");
        return;
    }
    AdoqEdit->FieldByName("SortCode")->SetAsString(sort);
    if (EditMode == 1) numberInClass(sort);
}

void TFrmBookDataEdit::numberInClass(const std::string& sort) {
    std::vector<std::string> used;
    TADOQuery q;
    q.SetConnection(AdoqEdit->Connection());
    q.SetStatement({"select SortNum from " + Table + " where SortCode=?", {sort}});
    q.Open();
    for (q.First(); !q.Eof(); q.Next()) used.push_back(q.FieldByName("SortNum")->AsString());
    const TCallNumber n = NextBookCallNumber(sort, used);
    AdoqEdit->FieldByName("SortNum")->SetAsString(n.SortNum);
    AdoqEdit->FieldByName("Scode")->SetAsString(n.Scode);
}

void TFrmBookDataEdit::copyFrom(TDataSet* source, const std::vector<std::string>& skip) {
    for (const char* column : CopiedColumns()) {
        if (std::find(skip.begin(), skip.end(), column) != skip.end()) continue;
        TField* from = source->FindField(column);
        if (!from) continue;
        TField* to = AdoqEdit->FieldByName(column);
        if (from->IsNull())
            to->Clear();
        else if (std::string(column) == "BookPrice" || std::string(column) == "AvePrice")
            to->SetAsFloat(from->AsFloat());
        else if (std::string(column) == "RegDate")
            to->SetAsDateTime(from->AsDateTime());
        else
            to->SetAsString(from->AsString());
    }
}

void TFrmBookDataEdit::EditISBNKeyPress(TObject*, char32_t& Key) {
    if (Key != '\r') return;
    const std::string isbn = EditISBN->Text();
    if (isbn.empty()) return;
    AdoqEdit->FieldByName("BookIsbn")->SetAsString(isbn);
    const std::string publisher = PublisherFromIsbn(AdoqEdit->Connection(), isbn);
    if (!publisher.empty()) AdoqEdit->FieldByName("Publisher")->SetAsString(publisher);
    if (!ChkSet->Checked()) return;
    const std::string table = Rb1->Checked() ? "Bookinfo" : "BookinfoPre";
    Adoqtemp->Close();
    Adoqtemp->SetStatement({"select * from " + table + " where BookIsbn=?", {isbn}});
    Adoqtemp->Open();
    if (Adoqtemp->IsEmpty()) return;
    if (Adoqtemp->RecordCount() > 1) {
        std::unique_ptr<TFrmFindBookSet> chooser(new TFrmFindBookSet(this));
        chooser->DataSource1->SetDataSet(Adoqtemp);
        chooser->ShowModal();
        if (!chooser->Confirmed) return;
    }
    // A new copy keeps the business date: an earlier record's date would
    // hide it from the day's intake and from the new-copy test.
    copyFrom(Adoqtemp, EditMode == 1 ? std::vector<std::string>{"RegDate"} : std::vector<std::string>{});
}

void TFrmBookDataEdit::PickerKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN || Key == VK_ESCAPE) {
        FormKeyDown(Sender, Key, Shift);
        return;
    }
    if (Key != VK_F5 && Key != VK_ADD) return;
    Key = 0;
    if (Sender == EditSort) SpeedButton1->Click();
    if (Sender == EditPublisher) SpeedButton3->Click();
    if (Sender == EditSupplier) SpeedButton2->Click();
}

void TFrmBookDataEdit::SpeedButton1Click(TObject*) {
    std::string code;
    if (PickClass(this, code)) AdoqEdit->FieldByName("SortCode")->SetAsString(code);
    if (EditSort->CanFocus()) EditSort->SetFocus();
}

void TFrmBookDataEdit::SpeedButton2Click(TObject*) {
    std::unique_ptr<TFrmFindSupplier> find(new TFrmFindSupplier(this));
    find->ShowModal();
    if (!find->ChosenCode.empty()) AdoqEdit->FieldByName("Supplier")->SetAsString(find->ChosenCode);
    if (EditSupplier->CanFocus()) EditSupplier->SetFocus();
}

void TFrmBookDataEdit::SpeedButton3Click(TObject*) {
    std::unique_ptr<TFrmFindPublish> find(new TFrmFindPublish(this));
    find->ShowModal();
    if (!find->ChosenCode.empty()) AdoqEdit->FieldByName("Publisher")->SetAsString(find->ChosenCode);
    if (EditPublisher->CanFocus()) EditPublisher->SetFocus();
}

void TFrmBookDataEdit::EditRemarksKeyPress(TObject*, char32_t& Key) {
    if (Key != '\r') return;
    Key = 0;
    if (BtSaveAdd->CanFocus()) BtSaveAdd->SetFocus();
}

void TFrmBookDataEdit::EditRemarksDblClick(TObject*) { EditBookSynopsis(this, EditRemarks); }

void TFrmBookDataEdit::EditRemarks1DblClick(TObject*) { EditBookAbstract(this, EditRemarks1); }

bool TFrmBookDataEdit::ValidateRecord() {
    auto text = [this](const char* f) { return Trim(AdoqEdit->FieldByName(f)->AsString()); };
    if (text("Code").empty() || text("Name").empty() || text("SortCode").empty()) {
        ShowInfoBox("图书编号、中文名称和类别必须填写！");
        return false;
    }
    // Again here: a save that never left the code box must not slip a
    // duplicate barcode past the check on exit.
    if (codeTaken()) {
        ShowInfoBox(DuplicateCode);
        return false;
    }
    // Nor an unknown class past the check on leaving the class box; a new
    // copy saved from that box still gets its call number.
    const std::string sort = text("SortCode");
    if (EditMode != 1 && SameText(sort, loadedSort_)) return true;
    if (TRowLookup(AdoqEdit->Connection(), "select SortCode from Type where SortCode=?", {sort}).Empty()) {
        ShowInfoBox("无此分类号!");
        AdoqEdit->FieldByName("SortCode")->SetAsString("");
        return false;
    }
    if (EditMode == 1 && text("Scode").empty()) numberInClass(sort);
    return true;
}

void TFrmBookDataEdit::SaveRecord() {
    // A box whose key saved the record (Alt+S) still holds its text.
    AdoqEdit->UpdateRecord();
    const std::string name = AdoqEdit->FieldByName("Name")->AsString();
    if (!name.empty()) {
        std::string py, wbh, wb;
        LookupInputCodes(name, py, wbh, wb);
        AdoqEdit->FieldByName("PY")->SetAsString(py);
        AdoqEdit->FieldByName("WBH")->SetAsString(wbh);
        AdoqEdit->FieldByName("WB")->SetAsString(wb);
    }
    TFrmBaseDataEdit::SaveRecord();
    LastSavedId = AdoqEdit->FieldByName("Id")->AsString();
    TField* code = AdoqEdit->FindField("Code");
    OldCode = code ? code->AsString() : std::string();
}

void TFrmBookDataEdit::BeforePost() {
    auto text = [this](const char* f) { return AdoqEdit->FieldByName(f)->AsString(); };
    BookSaveSideUpdates(AdoqEdit->Connection(), EditMode == 1, OldCode, text("Code"), text("Name"), text("BookIsbn"));
}

void TFrmBookDataEdit::BtSaveAddClick(TObject* Sender) {
    TFrmBaseDataEdit::BtSaveAddClick(Sender);
    OldCode.clear();
    AdoqEdit->FieldByName("RegDate")->SetAsDateTime(BusinessDate);
    if (ChkCopy->Checked() && !LastSavedId.empty()) {
        Adoqtemp->Close();
        Adoqtemp->SetStatement({"select * from " + Table + " where Id=?", {Variant(StrToIntDef(LastSavedId, 0))}});
        Adoqtemp->Open();
        if (!Adoqtemp->IsEmpty()) copyFrom(Adoqtemp, {});
        Adoqtemp->Close();
    }
    // Saved by its key from the class box, the focus leaves that box on the
    // new, still empty record: nothing there to check yet.
    startingNext_ = true;
    ScopeExit started([this] { startingNext_ = false; });
    if (EditCode && EditCode->CanFocus()) EditCode->SetFocus();
}

void TFrmBookDataEdit::FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN && ActiveControl() == EditISBN) {
        char32_t enter = '\r';
        EditISBNKeyPress(EditISBN, enter);
        Key = 0;
        return;
    }
    TFrmBaseDataEdit::FormKeyDown(Sender, Key, Shift);
}
