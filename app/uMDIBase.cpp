// The lending desk base; see uMDIBase.h.
#include "uMDIBase.h"

#include "ADODB.h"
#include "ActnList.h"
#include "Buttons.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "Shell.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/DBCtrlsEh.h"
#include "uDMData.h"
#include "uFindReader.h"
#include "uGlobal.h"
#include "uReaderDetail.h"

#include <memory>

std::function<bool(const std::string&)> TMDIBase::EditGridLayout;

namespace {

constexpr TColor kPanelColor = RGB(208, 243, 255);
constexpr TColor kFixedColor = RGB(255, 227, 170);
constexpr TColor kAccentColor = RGB(204, 102, 51);

template <class T>
T* Make(TComponent* owner, TWinControl* parent, const char* name) {
    T* c = new T(owner);
    c->SetName(name);
    c->SetParent(parent);
    return c;
}

TLabel* MakeLabel(TComponent* owner, TWinControl* parent, const char* name, const char* text, int x, int y) {
    TLabel* l = Make<TLabel>(owner, parent, name);
    l->SetCaption(text);
    l->SetLeft(x);
    l->SetTop(y);
    return l;
}

TEdit* MakeBox(TComponent* owner, TWinControl* parent, const char* name, int x, int y, int w, bool readOnly) {
    TEdit* e = Make<TEdit>(owner, parent, name);
    e->SetBounds(x, y, w, 21);
    e->SetReadOnly(readOnly);
    if (readOnly) e->SetTabStop(false);
    return e;
}

} // namespace

TMDIBase::TMDIBase(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("MDIBase");
    SetBorderStyle(bsSizeable);
    SetBounds(0, 0, 820, 580);
    if (Application->MainForm() && Application->MainForm() != this && Application->MainForm()->FormStyle() == fsMDIForm)
        SetFormStyle(fsMDIChild);
    SetKeyPreview(true);

    Adoqtemp = new TADOQuery(this);
    Adoqtemp->SetName("Adoqtemp");
    AdoqTemp1 = new TADOQuery(this);
    AdoqTemp1->SetName("AdoqTemp1");
    Adoqueryset = new TADOQuery(this);
    Adoqueryset->SetName("Adoqueryset");
    AdoqData = new TADOQuery(this);
    AdoqData->SetName("AdoqData");
    // Desk lines live only here until a save writes its own statements.
    AdoqData->SetCursorType(ctStatic);
    AdoqData->SetLockType(ltBatchOptimistic);
    AdoCommSave = new TADOCommand(this);
    AdoCommSave->SetName("AdoCommSave");
    TADOConnection* conn = DMData ? DMData->ADOConnection1 : nullptr;
    for (TADOQuery* q : {Adoqtemp, AdoqTemp1, Adoqueryset, AdoqData}) q->SetConnection(conn);
    AdoCommSave->SetConnection(conn);
    DSdata = new TDataSource(this);
    DSdata->SetName("DSdata");
    DSdata->SetDataSet(AdoqData);

    buildToolbar();
    buildModePanel();
    buildReaderPanel();
    buildGridAndFooter();

    OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
    OnActivate = [this](TObject* s) { FormActivate(s); };
}

TMDIBase::~TMDIBase() = default;

void TMDIBase::buildToolbar() {
    Panel5 = Make<TPanel>(this, this, "Panel5");
    Panel5->SetAlign(alTop);
    Panel5->SetHeight(34);
    Panel5->SetCaption("");
    struct B {
        TBitBtn** field;
        const char* name;
        const char* caption;
        const char* hint;
        int width;
        void (TMDIBase::*handler)(TObject*);
    };
    int x = 4;
    auto bitBtn = [&](const B& b) {
        TBitBtn* btn = Make<TBitBtn>(this, Panel5, b.name);
        btn->SetCaption(b.caption);
        btn->SetHint(b.hint);
        btn->SetShowHint(*b.hint != 0);
        btn->SetTabStop(false);
        btn->SetBounds(x, 4, b.width, 26);
        x += b.width + 2;
        auto h = b.handler;
        btn->OnClick = [this, h](TObject* s) { (this->*h)(s); };
        *b.field = btn;
    };
    auto speedBtn = [&](TSpeedButton*& field, const char* name, const char* caption, const char* hint, int width,
                        void (TMDIBase::*h)(TObject*)) {
        field = Make<TSpeedButton>(this, Panel5, name);
        field->SetCaption(caption);
        field->SetHint(hint);
        field->SetShowHint(true);
        field->SetBounds(x, 4, width, 26);
        x += width + 2;
        field->OnClick = [this, h](TObject* s) { (this->*h)(s); };
    };
    bitBtn({&BtSave, "BtSave", " 保存(F2/ENTER)", "", 150, &TMDIBase::BtSaveClick});
    bitBtn({&BtClear, "BtClear", " 清空数据(F3)", "清空数据,快捷键F3", 104, &TMDIBase::BtClearClick});
    bitBtn({&BtExit, "BtExit", " 取消退出(F4)", "取消操作并退出,快捷键F4", 104, &TMDIBase::BtExitClick});
    speedBtn(SbtDest, "SbtDest", " 查看预约(F6)", "查看预约,快捷键F6", 104, &TMDIBase::SbtDestClick);
    speedBtn(SbtReaderinfo, "SbtReaderinfo", " 读者资料(F7)", "当前读者资料,快捷键F7", 104,
             &TMDIBase::SbtReaderinfoClick);
    bitBtn({&BtInterface, "BtInterface", "界面(F8)", "表格显示控制,快捷键F8", 80, &TMDIBase::BtInterfaceClick});
    bitBtn({&BtHelp, "BtHelp", "帮助(F1)", "显示当前帮助,快捷键F1", 80, &TMDIBase::BtHelpClick});
    BtHelp->SetVisible(false);
}

void TMDIBase::buildModePanel() {
    Panel2 = Make<TPanel>(this, this, "Panel2");
    Panel2->SetAlign(alTop);
    Panel2->SetHeight(30);
    Panel2->SetCaption("");
    Panel2->SetTop(Panel5->Height());
    Rb1 = Make<TRadioButton>(this, Panel2, "Rb1");
    Rb1->SetCaption("借书(F9)");
    Rb1->SetBounds(12, 5, 90, 20);
    Rb2 = Make<TRadioButton>(this, Panel2, "Rb2");
    Rb2->SetCaption("续借(F10)");
    Rb2->SetBounds(112, 5, 90, 20);
    Rb3 = Make<TRadioButton>(this, Panel2, "Rb3");
    Rb3->SetCaption("还书(F11)");
    Rb3->SetBounds(212, 5, 90, 20);
    for (TRadioButton* rb : {Rb1, Rb2, Rb3}) rb->SetTabStop(false);
    Rb1->SetChecked(true);

    ActionList1 = new TActionList(this);
    ActionList1->SetName("ActionList1");
    auto action = [this](const char* name, Word key) {
        TAction* a = new TAction(this);
        a->SetName(name);
        a->SetShortCut(ShortCut(key, {}));
        a->SetActionList(ActionList1);
        return a;
    };
    AtBorrow = action("AtBorrow", VK_F9);
    AtRenew = action("AtRenew", VK_F10);
    AtReturn = action("AtReturn", VK_F11);
}

void TMDIBase::buildReaderPanel() {
    Panel1 = Make<TPanel>(this, this, "Panel1");
    Panel1->SetAlign(alTop);
    Panel1->SetHeight(128);
    Panel1->SetCaption("");
    Panel1->SetTop(Panel5->Height() + Panel2->Height());

    MakeLabel(this, Panel1, "LbRCode", "读者编号:", 10, 12);
    EditRCode = MakeBox(this, Panel1, "EditRCode", 76, 8, 120, false);
    SbtReader = Make<TSpeedButton>(this, Panel1, "SbtReader");
    SbtReader->SetCaption("...");
    SbtReader->SetHint("点击按钮或按F5键选择读者");
    SbtReader->SetShowHint(true);
    SbtReader->SetBounds(198, 8, 22, 21);
    SbtReader->OnClick = [this](TObject* s) { SbtReaderClick(s); };

    MakeLabel(this, Panel1, "LbRName", "读者姓名:", 236, 12);
    EditRName = MakeBox(this, Panel1, "EditRName", 302, 8, 110, true);
    MakeLabel(this, Panel1, "LbRsort", "读者类别:", 428, 12);
    EditRsort = MakeBox(this, Panel1, "EditRsort", 494, 8, 110, true);
    MakeLabel(this, Panel1, "LbDept", "读者部门:", 10, 42);
    EditDept = MakeBox(this, Panel1, "EditDept", 76, 38, 144, true);
    MakeLabel(this, Panel1, "LbCeQty", "允许借出:", 236, 42);
    EditCeQty = MakeBox(this, Panel1, "EditCeQty", 302, 38, 110, true);
    MakeLabel(this, Panel1, "LbBeQty", "现已借出:", 428, 42);
    EditBeQty = MakeBox(this, Panel1, "EditBeQty", 494, 38, 110, true);
    MakeLabel(this, Panel1, "LbDepo", "押  金:", 10, 72);
    EditDepo = MakeBox(this, Panel1, "EditDepo", 76, 68, 144, true);

    PanelPhoto = Make<TPanel>(this, Panel1, "PanelPhoto");
    PanelPhoto->SetCaption("");
    PanelPhoto->SetBevelOuter(bvLowered);
    PanelPhoto->SetBounds(640, 4, 96, 118);
    Image1 = Make<TImage>(this, PanelPhoto, "Image1");
    Image1->SetAlign(alClient);
    Image1->SetStretch(true);

    LbBCode = MakeLabel(this, Panel1, "LbBCode", "图书编号 (条形码):", 10, 102);
    EditBCode = MakeBox(this, Panel1, "EditBCode", 124, 98, 180, false);
    SbtBook = Make<TSpeedButton>(this, Panel1, "SbtBook");
    SbtBook->SetCaption("...");
    SbtBook->SetHint("点击按钮或按F5键选择图书");
    SbtBook->SetShowHint(true);
    SbtBook->SetBounds(306, 98, 22, 21);
    SbtBook->OnClick = [this](TObject* s) { SbtBookClick(s); };
    LbHint = MakeLabel(this, Panel1, "LbHint", "(输入编码后按回车)", 340, 102);
    TFont f;
    f.Assign(LbHint->Font());
    f.SetColor(clRed);
    f.SetStyle(TFontStyles{fsBold});
    LbHint->SetFont(&f);

    EditRCode->SetTabOrder(0);
    EditBCode->SetTabOrder(1);

    for (TEdit* e : {EditRCode, EditBCode}) {
        e->OnEnter = [e](TObject*) { e->SetColor(kFixedColor); };
        e->OnExit = [this, e](TObject*) {
            e->SetColor(clWhite);
            if (e == EditRCode && !EditRCode->Text().empty()) LoadReader();
        };
    }
    EditRCode->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { EditRCodeKeyDown(s, k, sh); };
    EditBCode->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { EditBCodeKeyDown(s, k, sh); };
    EditBCode->OnKeyPress = [this](TObject* s, char32_t& k) { EditBCodeKeyPress(s, k); };
    for (TEdit* e : {EditRName, EditRsort, EditDept, EditCeQty, EditBeQty, EditDepo})
        e->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { ReadOnlyBoxKeyDown(s, k, sh); };
}

void TMDIBase::buildGridAndFooter() {
    Panel6 = Make<TPanel>(this, this, "Panel6");
    Panel6->SetAlign(alBottom);
    Panel6->SetHeight(32);
    Panel6->SetCaption("");
    LbQty = MakeLabel(this, Panel6, "LbQty", "共计:", 12, 9);
    EditQty = Make<TDBNumberEditEh>(this, Panel6, "EditQty");
    EditQty->SetBounds(90, 5, 70, 21);
    EditQty->SetDecimalPlaces(0);
    EditQty->SetTabStop(false);
    LbBen = MakeLabel(this, Panel6, "LbBen", "本", 166, 9);

    DBGrid1 = Make<TDBGrid>(this, this, "DBGrid1");
    DBGrid1->SetAlign(alClient);
    DBGrid1->SetDataSource(DSdata);
    DBGrid1->SetReadOnly(true);
    DBGrid1->SetOptions(
        TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgAlwaysShowSelection});
    DBGrid1->SetTabOrder(2);
    DBGrid1->SetShowHint(true);
    DBGrid1->OnDblClick = [this](TObject* s) { DBGrid1DblClick(s); };
    DBGrid1->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { DBGrid1KeyDown(s, k, sh); };

    PopupMenu1 = new TPopupMenu(this);
    PopupMenu1->SetName("PopupMenu1");
    N1 = new TMenuItem(this);
    N1->SetName("N1");
    N1->SetCaption("删除明细");
    N1->OnClick = [this](TObject* s) { N1Click(s); };
    PopupMenu1->Items()->Add(N1);
    DBGrid1->SetPopupMenu(PopupMenu1);

    TFont f;
    f.Assign(LbQty->Font());
    f.SetColor(kAccentColor);
    for (TControl* c : std::initializer_list<TControl*>{LbQty, LbBen, EditQty}) c->SetFont(&f);
    SetQtyValue(0);
}

void TMDIBase::InitForm() {
    TFrmBaseD::InitForm();
    for (TPanel* p : {Panel1, Panel5, Panel6, Panel2}) p->SetColor(kPanelColor);
    DBGrid1->SetFixedColor(kFixedColor);
    TFont f;
    f.Assign(LbHint->Font());
    f.SetColor(kAccentColor);
    LbHint->SetFont(&f);
    if (EditRCode->CanFocus()) EditRCode->SetFocus();
    SetActiveControl(EditRCode);
}

int TMDIBase::QtyValue() const { return EditQty->Text().empty() ? 0 : EditQty->GetValue().AsInteger(); }

void TMDIBase::SetQtyValue(int v) { EditQty->SetValue(Variant(v)); }

void TMDIBase::AddItem() {}

bool TMDIBase::CanSave() { return false; }

bool TMDIBase::BillEmpty() const { return !AdoqData->Active() || AdoqData->IsEmpty(); }

void TMDIBase::clearReaderPanel() {
    for (TEdit* e : {EditRCode, EditRName, EditRsort, EditDept, EditBeQty}) e->SetText("");
}

void TMDIBase::LoadReader() {
    const std::string code = EditRCode->Text();
    Adoqtemp->Close();
    Adoqtemp->SQL()->SetText("select * from Readerinfo where code=" + QuotedStr(code));
    Adoqtemp->Open();
    if (Adoqtemp->IsEmpty()) {
        EditRCode->SetText("");
        return;
    }
    EditRName->SetText(Adoqtemp->FieldByName("Name")->AsString());
    EditRsort->SetText(Adoqtemp->FieldByName("Sortcode")->AsString());
    EditDept->SetText(Adoqtemp->FieldByName("Department")->AsString());
    EditBeQty->SetText(Adoqtemp->FieldByName(CircTables(Kind).ReaderQty)->AsString());
    const std::string photo = Adoqtemp->FieldByName("Photo")->AsString();
    if (!photo.empty() && FileExists(photo)) Image1->Picture()->LoadFromFile(photo);
    EditDepo->SetText(Adoqtemp->FieldByName("DepoSum")->AsString());
    if (!Rb3->Checked() && Adoqtemp->FieldByName("Isstop")->AsBoolean()) {
        ShowInfoBox("此读者已经被停用!");
        clearReaderPanel();
        return;
    }
    Adoqtemp->Close();
    Adoqtemp->SQL()->SetText("select * from ReaderType where code=" + QuotedStr(EditRsort->Text()));
    Adoqtemp->Open();
    if (!Adoqtemp->IsEmpty()) {
        RenewLimit = Adoqtemp->FieldByName("RenewTime")->AsInteger();
        if (BillTableCode == "Borrowinfo" || BillTableCode == "Renewinfo") {
            ReaderIsLimit = Adoqtemp->FieldByName("isLimit")->AsBoolean();
            LoanLimit = Adoqtemp->FieldByName("CeQty")->AsInteger();
            LoanDays = Adoqtemp->FieldByName("LimitDay")->AsInteger();
            EditCeQty->SetText(Adoqtemp->FieldByName("CeQty")->AsString());
        } else if (BillTableCode == "Borrowinfo1") {
            ReaderIsLimit = Adoqtemp->FieldByName("isLimit1")->AsBoolean();
            LoanLimit = Adoqtemp->FieldByName("CeQty1")->AsInteger();
            EditCeQty->SetText(Adoqtemp->FieldByName("CeQty1")->AsString());
            LoanDays = Adoqtemp->FieldByName("LimitDay1")->AsInteger();
        }
    }
    SetQtyValue(0);
}

void TMDIBase::SetupColumns(const std::string& tableCode) {
    DBGrid1->Columns()->Clear();
    const std::string table = "select * from TableStructure where TableCode=" + QuotedStr(tableCode);
    Adoqueryset->Close();
    Adoqueryset->SQL()->SetText(table + " and IsKey=true ");
    Adoqueryset->Open();
    if (!Adoqueryset->IsEmpty()) KeyColumn = Adoqueryset->FieldByName("ColumnsCode")->AsString();
    Adoqueryset->Close();
    Adoqueryset->SQL()->SetText(table + " and IsVisible=true order by TableOrder");
    Adoqueryset->Open();
    for (Adoqueryset->First(); !Adoqueryset->Eof(); Adoqueryset->Next())
        DBGrid1->Columns()->Add()->SetFieldName(Adoqueryset->FieldByName("ColumnsCode")->AsString());
    for (int i = 0; i < DBGrid1->Columns()->Count(); ++i) {
        TColumn* col = DBGrid1->Columns()->Items(i);
        if (!Adoqueryset->Locate("ColumnsCode", Variant(col->FieldName()), loPartialKey)) continue;
        col->Title()->SetCaption(Adoqueryset->FieldByName("ColumnsName")->AsString());
        col->Title()->SetAlignment(taCenter);
        col->SetWidth(Adoqueryset->FieldByName("ColumnsLength")->AsInteger());
    }
}

void TMDIBase::BtSaveClick(TObject*) {
    if (!CanSave()) Abort();
}

void TMDIBase::BtClearClick(TObject*) {
    for (TEdit* e : {EditRCode, EditRName, EditRsort, EditBCode, EditDept, EditBeQty, EditCeQty, EditDepo})
        e->SetText("");
    Image1->Picture()->Assign(nullptr);
    if (AdoqData->Active()) AdoqData->Close();
    SetQtyValue(0);
}

void TMDIBase::BtExitClick(TObject*) { Close(); }

void TMDIBase::BtHelpClick(TObject*) { WinExecHelp("HH.exe Vozoveraz.chm::" + HelpTopic); }

void TMDIBase::SbtReaderClick(TObject*) {
    const std::string code = PickReader();
    if (code.empty()) return;
    EditRCode->SetText(code);
    LoadReader();
}

void TMDIBase::SbtBookClick(TObject*) {}

std::string TMDIBase::PickReader() {
    std::unique_ptr<TFrmFindReader> find(new TFrmFindReader(this));
    find->ShowModal();
    return find->ChosenCode;
}

void TMDIBase::SbtDestClick(TObject*) {}

void TMDIBase::SbtReaderinfoClick(TObject*) {
    if (!EditRCode->Text().empty()) ShowReaderDetail(EditRCode->Text());
}

void TMDIBase::BtInterfaceClick(TObject*) {
    if (!EditGridLayout || !EditGridLayout(BillTableCode)) Abort();
    DBGrid1->Columns()->Clear();
    Adoqueryset->Close();
    Adoqueryset->SQL()->SetText("select * from TableStructure where TableCode=" + QuotedStr(BillTableCode) +
                                " and IsVisible=true order by TableOrder");
    Adoqueryset->Open();
    for (Adoqueryset->First(); !Adoqueryset->Eof(); Adoqueryset->Next()) {
        TColumn* col = DBGrid1->Columns()->Add();
        col->SetFieldName(Adoqueryset->FieldByName("ColumnsCode")->AsString());
        col->Title()->SetCaption(Adoqueryset->FieldByName("ColumnsName")->AsString());
        col->Title()->SetAlignment(taCenter);
        col->SetWidth(Adoqueryset->FieldByName("ColumnsLength")->AsInteger());
    }
}

void TMDIBase::DeleteBillLine() {
    if (BillEmpty()) return;
    const std::string state = AdoqData->FieldByName("State")->AsString();
    if (state == CircWord::NewLoan) --LoanCount;
    if (state == CircWord::NewLoan || state == CircWord::Renewed || state == CircWord::NewReturn)
        SetQtyValue(QtyValue() - 1);
    AdoqData->Delete();
}

void TMDIBase::N1Click(TObject*) {
    if (!BillEmpty()) AdoqData->Delete();
}

void TMDIBase::DBGrid1DblClick(TObject*) {}

void TMDIBase::FormClose(TObject*, TCloseAction& Action) {
    if (BillEmpty() || ConfirmDiscardExit()) {
        if (AdoqData->Active()) AdoqData->Close();
        Action = caFree;
        return;
    }
    Action = caNone;
    Abort();
}

void TMDIBase::FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    const Word key = Key;
    TWinControl* focus = ActiveControl();
    switch (key) {
    case VK_F1:
        Key = 0;
        BtHelpClick(Sender);
        break;
    case VK_F2:
        Key = 0;
        BtSave->Click();
        break;
    case VK_F3:
        Key = 0;
        BtClear->Click();
        break;
    case VK_F4:
        Key = 0;
        BtExitClick(Sender);
        break;
    case VK_F5:
        if (focus == EditRCode) {
            Key = 0;
            SbtReaderClick(Sender);
        } else if (focus == EditBCode) {
            Key = 0;
            SbtBookClick(Sender);
        }
        break;
    case VK_F6:
        Key = 0;
        SbtDestClick(Sender);
        break;
    case VK_F7:
        Key = 0;
        SbtReaderinfoClick(Sender);
        break;
    case VK_F8:
        Key = 0;
        BtInterfaceClick(Sender);
        break;
    case VK_ESCAPE:
        Key = 0;
        Close();
        break;
    default: break;
    }
}

void TMDIBase::EditRCodeKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_RETURN) Key = VK_TAB;
}

void TMDIBase::EditBCodeKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_UP) {
        Key = 0;
        EditRCode->SetFocus();
    }
}

void TMDIBase::EditBCodeKeyPress(TObject*, char32_t& Key) {
    if (Key != U'\r') return;
    Key = 0;
    // An empty box saves, and the save refuses a bill without a reader.
    if (EditBCode->Text().empty()) {
        BtSave->Click();
        return;
    }
    if (BorrowMode() && EditRCode->Text().empty()) {
        ShowInfoBox("请先输入读者编号!");
        EditBCode->SetText("");
        return;
    }
    AddItem();
}

void TMDIBase::DBGrid1KeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_DELETE) {
        Key = 0;
        DeleteBillLine();
    } else if (Key == VK_RETURN) {
        Key = 0;
        BtSave->Click();
    }
}

void TMDIBase::ReadOnlyBoxKeyDown(TObject*, Word& Key, TShiftState) {
    if (Key == VK_RETURN) {
        Key = 0;
        BtSave->Click();
    }
}

void TMDIBase::RefuseItem(const std::string& message) {
    if (!message.empty()) ShowInfoBox(message);
    EditBCode->SetText("");
    Abort();
}

void TMDIBase::RunSave(const std::function<void()>& body) {
    AdoqData->DisableControls();
    try {
        body();
    } catch (const ELoanConflict& e) {
        AdoqData->EnableControls();
        ShowInfoBox(e.Message);
        Abort();
    } catch (const EAbort&) {
        AdoqData->EnableControls();
        throw;
    } catch (const Exception&) {
        AdoqData->EnableControls();
        ShowInfoBox("存盘失败！");
        Abort();
    }
    AdoqData->EnableControls();
}

TBill TMDIBase::CollectBill() const {
    TBill bill;
    bill.Kind = Kind;
    bill.Reader = EditRCode->Text();
    bill.ReaderName = EditRName->Text();
    bill.Operator = OperatorName;
    bill.BusinessDate = BusinessDate;
    if (!AdoqData->Active()) return bill;
    const TBookmark here = AdoqData->GetBookmark();
    auto date = [this](const char* name) {
        TField* f = AdoqData->FindField(name);
        return f && !f->IsNull() ? f->AsDateTime() : TDateTime();
    };
    for (AdoqData->First(); !AdoqData->Eof(); AdoqData->Next()) {
        TBillLine line;
        line.Code = AdoqData->FieldByName("code")->AsString();
        line.State = AdoqData->FieldByName("State")->AsString();
        line.BorrowDate = date("BorrowDate");
        line.ReturnDate = date("ReturnDate");
        line.RenewDate = date("RenewDate");
        if (TField* f = AdoqData->FindField("ExceedDay")) line.ExceedDay = f->IsNull() ? 0 : int(f->AsFloat());
        if (TField* f = AdoqData->FindField("ExceedFund")) line.ExceedFund = f->IsNull() ? Currency() : f->AsCurrency();
        bill.Lines.push_back(line);
    }
    if (!here.empty() && AdoqData->BookmarkValid(here)) AdoqData->GotoBookmark(here);
    return bill;
}
