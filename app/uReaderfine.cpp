// Fine collection; see uReaderfine.h.
#include "uReaderfine.h"

#include "ADODB.h"
#include "Build.h"
#include "Buttons.h"
#include "DB.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "gridlib/grid/DBGridEh.h"
#include "uDMData.h"
#include "uFindReader.h"
#include "uGlobal.h"

#include <memory>

namespace {
constexpr TColor Cream = RGB(255, 242, 222);

std::string money(Currency c) { return CurrToStrF(c, ffFixed, 2); }
} // namespace

TFrmReaderFine::TFrmReaderFine(TComponent* AOwner) : TFrmReaderFine(AOwner, TItemKind::Book) {}

TFrmReaderFine::TFrmReaderFine(TComponent* AOwner, TItemKind kind) : TFrmBaseD(AOwner), Kind(kind) {
    const bool book = kind == TItemKind::Book;
    SetName(book ? "FrmReaderFine" : "FrmReaderFine1");
    SetCaption("罚款管理");
    SetClientWidth(640);
    SetClientHeight(470);

    TBuild b(this);
    AdoqFine = b.Add<TADOQuery>("AdoqFine");
    if (DMData) AdoqFine->SetConnection(DMData->ADOConnection1);
    DataSource1 = b.Add<TDataSource>("DataSource1");
    DataSource1->SetDataSet(AdoqFine);

    auto box = [&](const char* label, const char* caption, const char* name, int left, int top, int width) {
        b.Add<TLabel>(std::string("Lb") + name).Caption(caption).At(left - 64, top + 4);
        (void)label;
        return b.Add<TEdit>(name).At(left, top, width, 21).ReadOnly().TabStop(false).OnKeyDown(KeyDownHandler());
    };
    b.Add<TLabel>("LbCode").Caption("读者编号:").At(16, 14);
    EditCode = b.Add<TEdit>("EditCode").At(80, 10, 120, 21).OnKeyDown(&TFrmReaderFine::EditCodeKeyDown);
    SbtReader = b.Add<TSpeedButton>("SbtReader").Caption("...").At(202, 9, 22, 23).OnClick(
        &TFrmReaderFine::SbtReaderClick);
    b.Add<TLabel>("LbHint").Caption("(输入编号按回车)").At(232, 14);
    EditName = box("", "读者姓名:", "EditName", 80, 38, 120);
    EditSax = box("", "性  别:", "EditSax", 280, 38, 60);
    EditSortcode = box("", book ? "读者类别:" : "读者类型:", "EditSortcode", 420, 38, 120);
    EditTel = box("", "电  话:", "EditTel", 80, 66, 120);
    EditDept = box("", "部  门:", "EditDept", 280, 66, 260);

    std::vector<TColumnRow> columns = {{"Code", book ? "图书编号" : "期刊编号", 90},
                                       {"Name", book ? "名称" : "期刊名称", 160}};
    if (!book) {
        columns.push_back({"Orderyear", "年度", 50});
        columns.push_back({"PeriodNo", "期号", 50});
    }
    for (TColumnRow r : std::vector<TColumnRow>{{"ExceedDay", "逾期天数", 70},
                                                {"ExceedFund", "应罚金额", 70},
                                                {"BorrowDate", "借书日", 80},
                                                {"ReturnDate", "还书日", 80}})
        columns.push_back(r);
    DBGridEh1 = b.Add<TDBGridEh>("DBGridEh1")
                    .At(8, 96, 624, 196)
                    .OnDblClick(&TFrmReaderFine::DBGridEh1DblClick)
                    .OnKeyDown(KeyDownHandler())
                    .Columns(columns);
    DBGridEh1->SetDataSource(DataSource1);
    DBGridEh1->SetReadOnly(true);
    DBGridEh1->SetAllowedOperations({});
    DBGridEh1->SetOptions(TDBGridOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
                                         dgRowSelect, dgAlwaysShowSelection});
    b.Add<TLabel>("LbNote").Caption("注意:请选择以上本次要罚款图书,双击!").At(8, 298);

    EditBCode = box("", book ? "图书编号:" : "期刊编号:", "EditBCode", 80, 320, 120);
    EditBName = box("", book ? "图书名称:" : "期刊名称:", "EditBName", 280, 320, 260);
    auto number = [&](const char* caption, const char* name, int left, int top, bool readOnly) {
        b.Add<TLabel>(std::string("Lb") + name).Caption(caption).At(left - 64, top + 4);
        TDBNumberEditEh* e = b.Add<TDBNumberEditEh>(name).At(left, top, 90, 21);
        e->SetReadOnly(readOnly);
        e->SetTabStop(!readOnly);
        e->SetDecimalPlaces(2);
        return e;
    };
    EditExceedDay = number("逾期天数:", "EditExceedDay", 80, 348, true);
    EditExceedDay->SetDecimalPlaces(0);
    Editprice = number("罚款单价:", "Editprice", 240, 348, true);
    EditExceedFund = number("应罚金额:", "EditExceedFund", 400, 348, true);
    EditMinDay = number("扣减天数:", "EditMinDay", 80, 376, false);
    EditMinDay->SetDecimalPlaces(0);
    EditMinDay->OnExit = [this](TObject* s) { EditMinDayExit(s); };
    EditMinDay->OnKeyDown = [this](TObject* s, Word& k, TShiftState sh) { EditMinDayKeyDown(s, k, sh); };
    EditMinFund = number("扣减金额:", "EditMinFund", 240, 376, true);
    EditRealFund = number("实际罚金:", "EditRealFund", 400, 376, true);
    EditTotal = number("罚金合计:", "EditTotal", 80, 404, true);
    if (!book) {
        Edityear = box("", "年  度:", "Edityear", 240, 404, 90);
        EditNo = box("", "期  号:", "EditNo", 400, 404, 90);
    }
    BtSave = b.Add<TBitBtn>("BtSave").Caption("罚款(&O)").At(440, 434, 90, 27).OnClick(&TFrmReaderFine::BtSaveClick);
    BtCancel = b.Add<TBitBtn>("BtCancel")
                   .Caption("退出(&C)")
                   .At(540, 434, 90, 27)
                   .Cancel()
                   .OnClick(&TFrmReaderFine::BtCancelClick);
}

void TFrmReaderFine::InitForm() {
    TFrmBaseD::InitForm();
    SetColor(Cream);
    DBGridEh1->SetFixedColor(RGB(157, 231, 255));
    SetActiveControl(EditCode);
}

Currency TFrmReaderFine::perDay() const { return Kind == TItemKind::Book ? PerFine : PerFine1; }

void TFrmReaderFine::clearPayment() {
    for (TEdit* e : {EditBCode, EditBName, Edityear, EditNo})
        if (e) e->SetText("");
    for (TDBNumberEditEh* e : {EditExceedDay, Editprice, EditExceedFund, EditMinDay, EditMinFund, EditRealFund})
        e->SetText("");
    FineLoanId = 0;
    overdueDays_ = 0;
    amounts_ = {};
}

void TFrmReaderFine::showAmounts() {
    EditExceedFund->SetText(money(amounts_.Due));
    EditMinFund->SetText(money(amounts_.Deducted));
    EditRealFund->SetText(money(amounts_.Real));
}

bool TFrmReaderFine::LoadReader(bool quiet) {
    const std::string code = Trim(EditCode->Text());
    TRowLookup reader(DMData->ADOConnection1, "select * from Readerinfo where Code=?", {code});
    if (reader.Empty()) {
        if (!quiet) {
            ShowInfoBox("没有此读者,请重新输入!");
            EditCode->SetText("");
        }
        return false;
    }
    EditName->SetText(reader.Text("Name"));
    EditSax->SetText(reader.Text("Sax"));
    EditTel->SetText(reader.Text("TelDay"));
    EditSortcode->SetText(reader.Text("Sortcode"));
    EditDept->SetText(reader.Text("Department"));
    // Another reader: nothing picked of the last one may be paid now.
    clearPayment();
    Total = Currency();
    EditTotal->SetText("");
    AdoqFine->Close();
    AdoqFine->SetStatement(UnpaidFinesSql(Kind, code));
    AdoqFine->Open();
    if (DBGridEh1->CanFocus()) DBGridEh1->SetFocus();
    return true;
}

void TFrmReaderFine::EditCodeKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN) {
        Key = 0;
        LoadReader(false);
        return;
    }
    FormKeyDown(Sender, Key, Shift);
}

void TFrmReaderFine::SbtReaderClick(TObject*) {
    std::unique_ptr<TFrmFindReader> find(new TFrmFindReader(this));
    find->ShowModal();
    if (find->ChosenCode.empty()) return;
    const std::string previous = EditCode->Text();
    EditCode->SetText(find->ChosenCode);
    if (!LoadReader(true)) EditCode->SetText(previous);
}

void TFrmReaderFine::DBGridEh1DblClick(TObject*) {
    if (!AdoqFine->Active() || AdoqFine->IsEmpty()) return;
    EditBCode->SetText(AdoqFine->FieldByName("Code")->AsString());
    EditBName->SetText(AdoqFine->FieldByName("Name")->AsString());
    if (Edityear) Edityear->SetText(AdoqFine->FieldByName("Orderyear")->AsString());
    if (EditNo) EditNo->SetText(AdoqFine->FieldByName("PeriodNo")->AsString());
    FineLoanId = AdoqFine->FieldByName("Id")->AsInteger();
    overdueDays_ = AdoqFine->FieldByName("ExceedDay")->AsInteger();
    EditExceedDay->SetText(IntToStr(overdueDays_));
    Editprice->SetText(money(perDay()));
    EditMinDay->SetText("");
    amounts_ = FineAmounts(overdueDays_, 0, perDay());
    showAmounts();
}

void TFrmReaderFine::EditMinDayExit(TObject*) {
    if (EditBCode->Text().empty()) return;
    int days = 0;
    if (!TryStrToInt(Trim(EditMinDay->Text()), days)) days = 0;
    amounts_ = FineAmounts(overdueDays_, days, perDay());
    showAmounts();
}

void TFrmReaderFine::EditMinDayKeyDown(TObject* Sender, Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN) {
        Key = 0;
        BtSave->SetFocus();
        return;
    }
    FormKeyDown(Sender, Key, Shift);
}

void TFrmReaderFine::BtSaveClick(TObject*) {
    if (!EditBCode->Text().empty()) EditMinDayExit(EditMinDay);
    const std::string refusal = FineRefusal(EditCode->Text(), EditBCode->Text(), amounts_);
    if (!refusal.empty()) {
        ShowInfoBox(refusal);
        return;
    }
    TADOConnection* c = DMData->ADOConnection1;
    try {
        if (!c->Connected()) c->Open();
        TTransaction transaction(c);
        // Exactly the picked loan, or the payment did not happen.
        if (c->Execute(FinePaymentSql(Kind, EditCode->Text(), FineLoanId, amounts_.Real)) != 1)
            throw EDatabaseError("the loan is no longer an unpaid fine");
        transaction.Commit();
    } catch (const Exception&) {
        ShowInfoBox("存盘失败！");
        return;
    }
    ShowInfoBox("罚款成功!");
    Total += amounts_.Real;
    EditTotal->SetText(money(Total));
    AdoqFine->Close();
    AdoqFine->Open();
    clearPayment();
}

void TFrmReaderFine::BtCancelClick(TObject*) { Close(); }
