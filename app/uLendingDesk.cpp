// The shared work of the two lending desks; see uLendingDesk.h.
#include "uLendingDesk.h"

#include "ADODB.h"
#include "ActnList.h"
#include "Build.h"
#include "Buttons.h"
#include "DBGrids.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uBookDest.h"
#include "uDMData.h"
#include "uFindBook.h"
#include "uFindHuanDate.h"
#include "uFindMagz.h"
#include "uGlobal.h"
#include "ScopeExit.h"

#include <memory>

namespace {

struct TModeTexts {
    const char* Table;
    const char* Book; // table code at the book desk; "" when it has none
    const char* CountLabel;
    const char* SaveCaption;
    const char* GridHint;
};

const TModeTexts kModes[] = {
    {"Borrowinfo1", "Borrowinfo", "本次借书:", "确定借书(F2/ENTER)", "双击记录,修改还书日!"},
    {"", "Renewinfo", "本次续借:", "确定续借(F2/ENTER)", "双击记录,续借此书!"},
    {"Returninfo1", "Returninfo", "本次还书:", "确定还书(F2/ENTER)", "双击记录,归还此书!"},
};

TADOConnection* Conn() { return DMData->ADOConnection1; }

} // namespace

TLendingDesk::TLendingDesk(TComponent* AOwner, TItemKind kind) : TMDIBase(AOwner) {
    Kind = kind;
    BillTableCode = kind == TItemKind::Book ? "Borrowinfo" : "Borrowinfo1";
    auto bind = [this](TRadioButton* rb, TAction* at, TDeskMode mode) {
        TBuild b(this);
        b.Wire(rb).OnClick([this, mode](TObject*) { SetMode(mode); });
        b.Wire(at).OnExecute([this, mode](TObject*) { SetMode(mode); });
    };
    bind(Rb1, AtBorrow, dmBorrow);
    bind(Rb2, AtRenew, dmRenew);
    bind(Rb3, AtReturn, dmReturn);
    if (kind == TItemKind::Periodical) {
        // No renewal of periodicals: the return button takes its place.
        Rb2->SetVisible(false);
        Rb3->SetLeft(Rb2->Left());
        LbBCode->SetCaption("期刊编号 (条形码):");
    }
}

TDeskMode TLendingDesk::Mode() const { return mode_; }

void TLendingDesk::setModeTexts(TDeskMode mode, bool initial) {
    const TModeTexts& t = kModes[mode];
    mode_ = mode;
    // The grid layout and the reader's limits are kept per table code.
    BillTableCode = Kind == TItemKind::Book ? t.Book : t.Table;
    LbQty->SetCaption(t.CountLabel);
    BtSave->SetCaption(initial ? "确定借书(F2/Enter)" : t.SaveCaption);
    DBGrid1->SetHint(t.GridHint);
}

void TLendingDesk::InitForm() {
    TMDIBase::InitForm();
    // Later shows (the main window raising an open desk) keep the mode and
    // the bill the operator is working on.
    if (started_) return;
    started_ = true;
    setModeTexts(dmBorrow, true);
    SetupColumns(BillTableCode);
}

void TLendingDesk::SetMode(TDeskMode mode) {
    if (switching_) return;
    if (Kind == TItemKind::Periodical && mode == dmRenew) return;
    switching_ = true;
    ScopeExit restore([&] { switching_ = false; });
    (mode == dmBorrow ? Rb1 : mode == dmRenew ? Rb2 : Rb3)->SetChecked(true);
    setModeTexts(mode, false);
    BtClearClick(this);
    SetupColumns(BillTableCode);
}

TBoundSql TLendingDesk::BillStatement(const std::string& reader) const {
    TBoundSql s;
    s.Values = {reader};
    if (Kind == TItemKind::Periodical) {
        if (Mode() == dmReturn)
            s.Text = "select a.code,a.Rcode,a.BorrowDate,a.ReturnDate,a.State,b.Name,b.Bookprice,b.Writer,b.Sortcode,"
                     "a.ExceedDay,a.ExceedFund,b.Orderyear,b.PeriodNo,b.ZPeriodNo,b.PeriodSt  from Borrowinfo1 a left "
                     "join Magzinfo b on a.code=b.code  where (a.State='新还' or a.State='未还') and Rcode=?";
        else
            s.Text = "select a.code,a.Rcode,a.BorrowDate,a.ReturnDate,a.State,b.Name,b.Bookprice,b.Writer,b.Sortcode,"
                     "b.Orderyear,b.PeriodNo,b.ZPeriodNo,b.PeriodSt  from Borrowinfo1 a left join Magzinfo b on "
                     "a.code=b.code  where (a.State='新借'or a.State='未还') and Rcode=?";
        return s;
    }
    if (Mode() == dmBorrow) {
        s.Text = "select a.code,a.Rcode,a.BorrowDate,a.ReturnDate,a.RenewTimes,a.RenewDate,a.State,b.Name,b.Bookprice,"
                 "b.Publisher,b.Sortcode  from Borrowinfo a left join Bookinfo b on a.code=b.code  where "
                 "(a.State='新借'or a.State='未还') and Rcode=?";
        return s;
    }
    const std::string head =
        "select a.code,a.Rcode,a.BorrowDate,a.ReturnDate,a.RenewTimes,a.RenewDate,a.State,b.Name,b.Bookprice,"
        "b.Publisher,b.Sortcode,a.ExceedDay,a.ExceedFund  from Borrowinfo a left join Bookinfo b on a.code=b.code  "
        "where ";
    s.Text = head + (Mode() == dmRenew ? "(a.State='续借' or a.State='未还') and Rcode=?"
                                       : "(a.State='新还' or a.State='未还') and Rcode=?");
    return s;
}

void TLendingDesk::LoadReader() {
    TMDIBase::LoadReader();
    BillSql = BillStatement(EditRCode->Text());
    AdoqData->SetStatement(BillSql);
    AdoqData->Open();
    // Prices read as money beside the fines.
    if (TField* price = AdoqData->FindField("Bookprice")) price->SetDisplayFormat("0.00");
    if (Mode() == dmBorrow) LoanCount = AdoqData->RecordCount();
}

void TLendingDesk::AddItem() {
    switch (Mode()) {
    case dmBorrow: AddBorrowLine(); break;
    case dmRenew: AddRenewLine(); break;
    case dmReturn: AddReturnLine(); break;
    }
}

bool TLendingDesk::CanSave() {
    if (EditRCode->Text().empty()) {
        ShowInfoBox("请输入读者编号,否则不能存盘!");
        return false;
    }
    if (BillEmpty() || (Mode() == dmBorrow && !hasNewBorrowLine())) {
        ShowInfoBox("请输入借书明细资料,否则不能存盘!");
        return false;
    }
    return true;
}

// The reader's loaded loans alone are no lending bill: saving them would
// report a loan that never happened and count a bill.
bool TLendingDesk::hasNewBorrowLine() const {
    for (const TBillLine& line : CollectBill().Lines)
        if (line.State == CircWord::NewLoan || line.State == CircWord::Reserved) return true;
    return false;
}

void TLendingDesk::BtSaveClick(TObject* Sender) {
    TMDIBase::BtSaveClick(Sender);
    switch (Mode()) {
    case dmBorrow: SaveBorrowBill(); break;
    case dmRenew: SaveRenewBill(); break;
    case dmReturn: SaveReturnBill(); break;
    }
    BtClearClick(Sender);
}

void TLendingDesk::BtClearClick(TObject* Sender) {
    TMDIBase::BtClearClick(Sender);
    TEdit* target = Mode() == dmBorrow ? EditRCode : EditBCode;
    if (target->CanFocus()) target->SetFocus();
}

void TLendingDesk::resortBill() { AdoqData->SetSort("State DESC"); }

bool TLendingDesk::locateLine(const std::string& code) {
    return AdoqData->Active() && AdoqData->Locate("code", Variant(code), loCaseInsensitive);
}

void TLendingDesk::appendLine(const std::string& code, const char* state, const TItemInfo& item, bool withDueDate) {
    auto set = [this](const char* name, const std::string& v) {
        if (TField* f = AdoqData->FindField(name)) f->SetAsString(v);
    };
    AdoqData->Append();
    set("code", code);
    set("Rcode", EditRCode->Text());
    set("State", state);
    AdoqData->FieldByName("BorrowDate")->SetAsDateTime(BusinessDate);
    set("Name", item.Name);
    if (Kind == TItemKind::Book) {
        set("Publisher", item.Publisher);
    } else {
        set("Writer", item.Writer);
        set("PeriodNo", item.PeriodNo);
        set("Orderyear", item.Orderyear);
        set("ZPeriodNo", item.ZPeriodNo);
        set("PeriodSt", item.PeriodSt);
    }
    AdoqData->FieldByName("Bookprice")->SetAsCurrency(item.Price);
    if (withDueDate) AdoqData->FieldByName("ReturnDate")->SetAsDateTime(DueDate(BusinessDate, LoanDays));
    AdoqData->Post();
    resortBill();
}

void TLendingDesk::AddBorrowLine() {
    const std::string K = EditBCode->Text();
    if (!AdoqData->Active()) LoadReader();
    TBorrowScan scan;
    scan.Code = K;
    scan.Reader = EditRCode->Text();
    scan.LoanCount = LoanCount;
    scan.LoanLimit = LoanLimit;
    scan.ReaderIsLimit = ReaderIsLimit;
    scan.InBill = locateLine(K);
    TItemInfo item;
    const TBorrowVerdict v = CheckBorrow(Conn(), Kind, scan, item);
    switch (v) {
    case TBorrowVerdict::AskLendAgain:
        if (Application->MessageBox("这本书已经借过了,是否再借一次？", "提示！", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
            RefuseItem("");
        [[fallthrough]];
    case TBorrowVerdict::Lend:
        appendLine(K, CircWord::NewLoan, item, true);
        ++LoanCount;
        SetQtyValue(QtyValue() + 1);
        break;
    case TBorrowVerdict::AskReserve:
        if (Application->MessageBox("这本书被借出了,应还日为" + item.OpenLoanDue + ",是否预约？", "提示！",
                                    MB_YESNO | MB_ICONQUESTION) != IDYES)
            RefuseItem("");
        appendLine(K, CircWord::Reserved, item, false);
        break;
    default: RefuseItem(BorrowRefusalText(v, LoanLimit));
    }
    EditBCode->SetText("");
}

void TLendingDesk::findLoanForScan(const std::string& code) {
    auto refuse = [this](const std::string& text) {
        ShowInfoBox(text);
        EditBCode->SetText("");
        if (EditBCode->CanFocus()) EditBCode->SetFocus();
        Abort();
    };
    const std::string R = EditRCode->Text();
    if (!R.empty()) {
        if (!FindOpenLoan(Conn(), Kind, code, R).Found) refuse("此读者还未借出此书,请重新输入!");
        return;
    }
    const TOpenLoan loan = FindOpenLoan(Conn(), Kind, code, "");
    if (!loan.Found) refuse(Mode() == dmRenew ? "此书未被借出,请重新输入!" : "此书还未借出,请重新输入!");
    EditRCode->SetText(loan.Reader);
    LoadReader();
}

void TLendingDesk::markRenewed() {
    AdoqData->Edit();
    AdoqData->FieldByName("State")->SetAsString(CircWord::Renewed);
    AdoqData->FieldByName("RenewDate")->SetAsDateTime(BusinessDate);
    AdoqData->FieldByName("ReturnDate")->SetAsDateTime(DueDate(BusinessDate, LoanDays));
    AdoqData->Post();
    SetQtyValue(QtyValue() + 1);
    resortBill();
}

void TLendingDesk::markReturned() {
    const TDateTime due = AdoqData->FieldByName("ReturnDate")->AsDateTime();
    const int days = OverdueDays(due, BusinessDate);
    AdoqData->Edit();
    AdoqData->FieldByName("State")->SetAsString(CircWord::NewReturn);
    AdoqData->FieldByName("ExceedDay")->SetAsInteger(days);
    AdoqData->FieldByName("ExceedFund")
        ->SetAsCurrency(OverdueFine(days, Kind == TItemKind::Book ? PerFine : PerFine1, IfFine));
    AdoqData->FieldByName("ReturnDate")->SetAsDateTime(BusinessDate);
    AdoqData->Post();
    SetQtyValue(QtyValue() + 1);
    resortBill();
}

void TLendingDesk::AddRenewLine() {
    const std::string K = EditBCode->Text();
    findLoanForScan(K);
    int renewTimes = 0;
    switch (CheckRenew(Conn(), Kind, K, EditRCode->Text(), BusinessDate, RenewLimit, renewTimes)) {
    case TRenewVerdict::NotLent: RefuseItem("此书未被借出,请重新输入!");
    case TRenewVerdict::ReservedByOther: RefuseItem("此书已经被他人预约,不能续借!");
    case TRenewVerdict::Overdue: RefuseItem("此书已经超期,不能续借!");
    case TRenewVerdict::LimitReached: RefuseItem("此书已经续借" + IntToStr(renewTimes) + "次,不能续借了!");
    case TRenewVerdict::Renew: break;
    }
    if (!locateLine(K)) RefuseItem("");
    if (AdoqData->FieldByName("State")->AsString() != CircWord::Renewed) markRenewed();
    EditBCode->SetText("");
}

void TLendingDesk::AddReturnLine() {
    const std::string K = EditBCode->Text();
    findLoanForScan(K);
    if (!locateLine(K)) RefuseItem("");
    if (AdoqData->FieldByName("State")->AsString() != CircWord::NewReturn) markReturned();
    EditBCode->SetText("");
}

void TLendingDesk::DBGrid1DblClick(TObject*) {
    if (BillEmpty()) return;
    const std::string state = AdoqData->FieldByName("State")->AsString();
    if (state == CircWord::Reserved) return;
    switch (Mode()) {
    case dmBorrow: {
        std::unique_ptr<TFrmFindHuanDate> picker(new TFrmFindHuanDate(this));
        picker->ChosenDate = AdoqData->FieldByName("ReturnDate")->AsString();
        picker->ShowModal();
        if (picker->ChosenDate.empty()) return;
        if (AdoqData->State() != dsEdit) AdoqData->Edit();
        AdoqData->FieldByName("ReturnDate")->SetAsString(picker->ChosenDate);
        AdoqData->Post();
        break;
    }
    case dmRenew: {
        if (state == CircWord::Renewed) return;
        int renewTimes = 0;
        const std::string K = AdoqData->FieldByName("code")->AsString();
        const TBookmark line = AdoqData->GetBookmark();
        const TRenewVerdict v = CheckRenew(Conn(), Kind, K, EditRCode->Text(), BusinessDate, RenewLimit, renewTimes);
        if (v == TRenewVerdict::NotLent) ShowInfoBox("此书未被借出,请重新输入!");
        if (v == TRenewVerdict::ReservedByOther) ShowInfoBox("此书已经被预约,不能续借!");
        if (v == TRenewVerdict::Overdue) ShowInfoBox("此书已经超期,不能续借!");
        if (v == TRenewVerdict::LimitReached) ShowInfoBox("此书已经续借" + IntToStr(renewTimes) + "次,不能续借了!");
        if (v != TRenewVerdict::Renew) Abort();
        AdoqData->GotoBookmark(line);
        markRenewed();
        break;
    }
    case dmReturn:
        if (state == CircWord::NewReturn) return;
        // The fine follows the fine setting here as for a scanned return.
        markReturned();
        break;
    }
}

void TLendingDesk::N1Click(TObject*) {
    if (Mode() == dmBorrow) DeleteBillLine();
}

void TLendingDesk::SbtBookClick(TObject*) {
    if (Mode() == dmBorrow && EditRCode->Text().empty()) {
        ShowInfoBox("请先输入读者编号!");
        return;
    }
    const std::string code = PickItem();
    if (code.empty()) return;
    EditBCode->SetText(code);
    if (EditBCode->CanFocus()) EditBCode->SetFocus();
    AddItem();
}

std::string TLendingDesk::PickItem() {
    std::unique_ptr<TFrmFindCode> find(Kind == TItemKind::Book ? static_cast<TFrmFindCode*>(new TFrmFindBook(this))
                                                               : new TFrmFindMagz(this));
    find->ShowModal();
    return find->ChosenCode;
}

void TLendingDesk::SbtDestClick(TObject*) { ShowReservationList(Kind, ReservationListSql(Kind, EditRCode->Text())); }

void TLendingDesk::SaveBorrowBill() {
    const TBill bill = CollectBill();
    RunSave([&] { ::SaveBorrowBill(Conn(), bill); });
    ShowInfoBox(EditRName->Text() + "借书成功,本次借出" + EditQty->Text() + "本！");
}

void TLendingDesk::SaveRenewBill() {
    const TBill bill = CollectBill();
    RunSave([&] { ::SaveRenewBill(Conn(), bill); });
    ShowInfoBox(EditRName->Text() + "续借成功,本次续借" + EditQty->Text() + "本！");
}

void TLendingDesk::SaveReturnBill() {
    const TBill bill = CollectBill();
    std::vector<std::string> returned;
    RunSave([&] { returned = ::SaveReturnBill(Conn(), bill); });
    ShowInfoBox(EditRName->Text() + "还书成功,本次还书" + EditQty->Text() + "本！");
    if (HasWaitingReservations(Conn(), Kind, returned))
        ShowReservationList(Kind, ReservationsOfCodesSql(Kind, returned));
}
