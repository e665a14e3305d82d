// The lending desk base; see uMDIBase.h.
#include "uMDIBase.h"

#include "ADODB.h"
#include "ActnList.h"
#include "Build.h"
#include "Buttons.h"
#include "DBGrids.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "Shell.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uDMData.h"
#include "uFindReader.h"
#include "uSetInterface.h"
#include "uGlobal.h"
#include "uReaderDetail.h"

#include <memory>

std::function<bool(const std::string&)> TMDIBase::EditGridLayout = ::EditGridLayout;

namespace {

constexpr TColor kPanelColor = RGB(208, 243, 255);
constexpr TColor kFixedColor = RGB(255, 227, 170);
constexpr TColor kAccentColor = RGB(204, 102, 51);
} // namespace

TMDIBase::TMDIBase(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("MDIBase");
    SetBorderStyle(bsSizeable);
    SetBounds(0, 0, 820, 580);
    if (Application->MainForm() && Application->MainForm() != this && Application->MainForm()->FormStyle() == fsMDIForm)
        SetFormStyle(fsMDIChild);
    SetKeyPreview(true);

    TBuild b(this);
    Adoqtemp = b.Add<TADOQuery>("Adoqtemp");
    AdoqTemp1 = b.Add<TADOQuery>("AdoqTemp1");
    Adoqueryset = b.Add<TADOQuery>("Adoqueryset");
    // Desk lines live only here until a save writes its own statements.
    AdoqData = b.Add<TADOQuery>("AdoqData")
                   .Set(&TADOQuery::SetCursorType, ctStatic)
                   .Set(&TADOQuery::SetLockType, ltBatchOptimistic);
    AdoCommSave = b.Add<TADOCommand>("AdoCommSave");
    TADOConnection* conn = DMData ? DMData->ADOConnection1 : nullptr;
    for (TADOQuery* q : {Adoqtemp, AdoqTemp1, Adoqueryset, AdoqData}) q->SetConnection(conn);
    AdoCommSave->SetConnection(conn);
    DSdata = b.Add<TDataSource>("DSdata");
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
    TBuild b(this);
    Panel5 = b.Add<TPanel>("Panel5").Align(alTop).Height(34).Caption("");
    auto bar = b.In(Panel5).Across(4, 4, 26, 2);
    using Row = TToolRow<TMDIBase>;
    BtSave = bar.Add<TBitBtn>(Row{"BtSave", " 保存(F2/ENTER)", "", 150, &TMDIBase::BtSaveClick}).TabStop(false);
    BtClear = bar.Add<TBitBtn>(Row{"BtClear", " 清空数据(F3)", "清空数据,快捷键F3", 104, &TMDIBase::BtClearClick})
                  .TabStop(false);
    BtExit = bar.Add<TBitBtn>(Row{"BtExit", " 取消退出(F4)", "取消操作并退出,快捷键F4", 104, &TMDIBase::BtExitClick})
                 .TabStop(false);
    SbtDest = bar.Add<TSpeedButton>(Row{"SbtDest", " 查看预约(F6)", "查看预约,快捷键F6", 104, &TMDIBase::SbtDestClick});
    SbtReaderinfo = bar.Add<TSpeedButton>(
        Row{"SbtReaderinfo", " 读者资料(F7)", "当前读者资料,快捷键F7", 104, &TMDIBase::SbtReaderinfoClick});
    BtInterface =
        bar.Add<TBitBtn>(Row{"BtInterface", "界面(F8)", "表格显示控制,快捷键F8", 80, &TMDIBase::BtInterfaceClick})
            .TabStop(false);
    BtHelp = bar.Add<TBitBtn>(Row{"BtHelp", "帮助(F1)", "显示当前帮助,快捷键F1", 80, &TMDIBase::BtHelpClick})
                 .TabStop(false)
                 .Visible(false);
}

void TMDIBase::buildModePanel() {
    TBuild b(this);
    Panel2 = b.Add<TPanel>("Panel2").Align(alTop).Height(30).Caption("");
    Panel2->SetTop(Panel5->Height());
    auto modes = b.In(Panel2).Across(12, 5, 20, 10);
    Rb1 = modes.Next(modes.Add<TRadioButton>("Rb1").Caption("借书(F9)").TabStop(false), 90);
    Rb2 = modes.Next(modes.Add<TRadioButton>("Rb2").Caption("续借(F10)").TabStop(false), 90);
    Rb3 = modes.Next(modes.Add<TRadioButton>("Rb3").Caption("还书(F11)").TabStop(false), 90);
    Rb1->SetChecked(true);

    ActionList1 = b.Add<TActionList>("ActionList1");
    auto action = [&](const char* name, Word key) {
        return b.Add<TAction>(name)
            .Set(&TAction::SetShortCut, ShortCut(key, {}))
            .Set(&TAction::SetActionList, ActionList1);
    };
    AtBorrow = action("AtBorrow", VK_F9);
    AtRenew = action("AtRenew", VK_F10);
    AtReturn = action("AtReturn", VK_F11);
}

void TMDIBase::buildReaderPanel() {
    TBuild b(this);
    Panel1 = b.Add<TPanel>("Panel1").Align(alTop).Height(128).Caption("");
    Panel1->SetTop(Panel5->Height() + Panel2->Height());
    auto panel = b.In(Panel1);

    // The two boxes the operator types into; Enter and the F5 pickers work
    // from them, the rest of the panel only shows the reader.
    auto typed = [&](TLabel** label, const char* labelName, const char* caption, int labelLeft, const char* name,
                     int left, int top, int width) {
        return panel.Field<TEdit>({labelLeft, left, width, 21, 4}, labelName, caption, name, top, label)
            .OnEnter([](TObject* s) { static_cast<TEdit*>(s)->SetColor(kFixedColor); })
            .OnExit(&TMDIBase::TypedBoxExit);
    };
    auto picker = [&](const char* name, const char* hint, int left, int top, void (TMDIBase::*click)(TObject*)) {
        return panel.Add<TSpeedButton>(name).Caption("...").Hint(hint).At(left, top, 22, 21).OnClick(click);
    };
    EditRCode = typed(nullptr, "LbRCode", "读者编号:", 10, "EditRCode", 76, 8, 120)
                    .TabOrder(0)
                    .OnKeyDown(&TMDIBase::EditRCodeKeyDown);
    SbtReader = picker("SbtReader", "点击按钮或按F5键选择读者", 198, 8, &TMDIBase::SbtReaderClick);

    struct Shown {
        TEdit** field;
        const char* labelName;
        const char* caption;
        int labelLeft;
        const char* name;
        int left, top, width;
    };
    for (const Shown& r : {Shown{&EditRName, "LbRName", "读者姓名:", 236, "EditRName", 302, 8, 110},
                           Shown{&EditRsort, "LbRsort", "读者类别:", 428, "EditRsort", 494, 8, 110},
                           Shown{&EditDept, "LbDept", "读者部门:", 10, "EditDept", 76, 38, 144},
                           Shown{&EditCeQty, "LbCeQty", "允许借出:", 236, "EditCeQty", 302, 38, 110},
                           Shown{&EditBeQty, "LbBeQty", "现已借出:", 428, "EditBeQty", 494, 38, 110},
                           Shown{&EditDepo, "LbDepo", "押  金:", 10, "EditDepo", 76, 68, 144}}) {
        *r.field = panel.Field<TEdit>({r.labelLeft, r.left, r.width, 21, 4}, r.labelName, r.caption, r.name, r.top)
                       .ReadOnly()
                       .TabStop(false)
                       .OnKeyDown(&TMDIBase::ReadOnlyBoxKeyDown);
    }

    PanelPhoto = panel.Add<TPanel>("PanelPhoto").Caption("").Set(&TPanel::SetBevelOuter, bvLowered).At(640, 4, 96, 118);
    Image1 = b.In(PanelPhoto).Add<TImage>("Image1").Align(alClient).Set(&TImage::SetStretch, true);

    EditBCode = typed(&LbBCode, "LbBCode", "图书编号 (条形码):", 10, "EditBCode", 124, 98, 180)
                    .TabOrder(1)
                    .OnKeyDown(&TMDIBase::EditBCodeKeyDown)
                    .OnKeyPress(&TMDIBase::EditBCodeKeyPress);
    SbtBook = picker("SbtBook", "点击按钮或按F5键选择图书", 306, 98, &TMDIBase::SbtBookClick);
    LbHint = panel.Add<TLabel>("LbHint").Caption("(输入编码后按回车)").At(340, 102);
    TFont f;
    f.Assign(LbHint->Font());
    f.SetColor(clRed);
    f.SetStyle(TFontStyles{fsBold});
    LbHint->SetFont(&f);
}

void TMDIBase::TypedBoxExit(TObject* Sender) {
    auto* e = static_cast<TEdit*>(Sender);
    e->SetColor(clWhite);
    if (e == EditRCode && !EditRCode->Text().empty()) LoadReader();
}

void TMDIBase::buildGridAndFooter() {
    TBuild b(this);
    Panel6 = b.Add<TPanel>("Panel6").Align(alBottom).Height(32).Caption("");
    auto footer = b.In(Panel6);
    LbQty = footer.Add<TLabel>("LbQty").Caption("共计:").At(12, 9);
    EditQty = footer.Add<TDBNumberEditEh>("EditQty")
                  .At(90, 5, 70, 21)
                  .Set(&TDBNumberEditEh::SetDecimalPlaces, 0)
                  .TabStop(false);
    LbBen = footer.Add<TLabel>("LbBen").Caption("本").At(166, 9);

    // Last in tab order, after the reader panel above it: Tab from the item
    // box reaches the bill lines, and Tab from them the reader box again.
    DBGrid1 = b.Add<TDBGrid>("DBGrid1")
                  .Align(alClient)
                  .Set(&TDBGrid::SetDataSource, DSdata)
                  .ReadOnly()
                  .Set(&TDBGrid::SetOptions, TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines,
                                                            dgRowLines, dgAlwaysShowSelection})
                  .Set(&TDBGrid::SetShowHint, true)
                  .OnDblClick(&TMDIBase::DBGrid1DblClick)
                  .OnKeyDown(&TMDIBase::DBGrid1KeyDown);

    PopupMenu1 = b.Add<TPopupMenu>("PopupMenu1");
    N1 = b.Add<TMenuItem>("N1").Caption("删除明细").OnClick(&TMDIBase::N1Click);
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
    for (TEdit* e : {EditRCode, EditRName, EditRsort, EditDept, EditBeQty, EditDepo}) e->SetText("");
    Image1->Picture()->Assign(nullptr);
}

void TMDIBase::LoadReader() {
    const std::string code = EditRCode->Text();
    Adoqtemp->SetStatement({"select * from Readerinfo where code=?", {code}});
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
    if (!photo.empty() && FileExists(photo)) {
        // A photo is no reason to turn a reader away: one that cannot be
        // read is simply not shown.
        try {
            Image1->Picture()->LoadFromFile(photo);
        } catch (const Exception&) {
            Image1->Picture()->Assign(nullptr);
        }
    }
    EditDepo->SetText(Adoqtemp->FieldByName("DepoSum")->AsString());
    if (!Rb3->Checked() && Adoqtemp->FieldByName("Isstop")->AsBoolean()) {
        ShowInfoBox("此读者已经被停用!");
        clearReaderPanel();
        return;
    }
    Adoqtemp->SetStatement({"select * from ReaderType where code=?", {EditRsort->Text()}});
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
    const std::string table = "select * from TableStructure where TableCode=?";
    Adoqueryset->SetStatement({table + " and IsKey=true ", {tableCode}});
    Adoqueryset->Open();
    if (!Adoqueryset->IsEmpty()) KeyColumn = Adoqueryset->FieldByName("ColumnsCode")->AsString();
    Adoqueryset->SetStatement({table + " and IsVisible=true order by TableOrder", {tableCode}});
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
    Adoqueryset->SetStatement(
        {"select * from TableStructure where TableCode=? and IsVisible=true order by TableOrder", {BillTableCode}});
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
    // The desk owns the plain keys only: Ctrl+F2..F7 are the main window's
    // commands and must reach its actions, never save or clear a bill.
    if (Shift.Contains(ssCtrl) || Shift.Contains(ssAlt) || Shift.Contains(ssShift)) return;
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
    try {
        // The grid moves again before any message shows: the guard goes
        // as the exception leaves this block.
        TDisableControls still(AdoqData);
        body();
    } catch (const ELoanConflict& e) {
        ShowInfoBox(e.Message);
        Abort();
    } catch (const EAbort&) {
        throw;
    } catch (const Exception&) {
        ShowInfoBox("存盘失败！");
        Abort();
    }
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
