// The reader ranking's condition dialog; see uBorrowOrderCond.h.
#include "uBorrowOrderCond.h"

#include "Build.h"
#include "ComCtrls.h"
#include "ConditionFields.h"
#include "ExtCtrls.h"
#include "QueryConditions.h"
#include "StdCtrls.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uGlobal.h"

TFrmBorrowOrderCond::TFrmBorrowOrderCond(TComponent* AOwner) : TFrmBaseCond(AOwner) {
    SetName("FrmBorrowOrderCond");
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };

    TBuild b(this);
    auto p = b.In(Panel1);
    p.Add<TLabel>("LbFrom").Caption("借书日期：从").At(10, 14);
    DateFrom = p.Add<TDateTimePicker>("DateFrom").At(90, 10, 110, 21).OnKeyDown(KeyDownHandler());
    p.Add<TLabel>("LbTo").Caption("到").At(210, 14);
    DateTo = p.Add<TDateTimePicker>("DateTo").At(230, 10, 110, 21).OnKeyDown(KeyDownHandler());
    p.Add<TLabel>("LbQty1").Caption("借阅本数 大于等于：").At(10, 54);
    EditQty1 = p.Add<TDBNumberEditEh>("EditQty1")
                   .At(130, 50, 100, 21)
                   .OnKeyDown(KeyDownHandler())
                   .OnExit(&TFrmBorrowOrderCond::EditQtyExit);
    p.Add<TLabel>("LbQty2").Caption("逾期本数 大于等于：").At(10, 88);
    EditQty2 = p.Add<TDBNumberEditEh>("EditQty2")
                   .At(130, 84, 100, 21)
                   .OnKeyDown(KeyDownHandler())
                   .OnExit(&TFrmBorrowOrderCond::EditQtyExit);
    for (TDBNumberEditEh* e : {EditQty1, EditQty2}) e->SetDecimalPlaces(0);
}

void TFrmBorrowOrderCond::InitForm() {
    TFrmBaseCond::InitForm();
    DateFrom->SetDate(MonthStart(BusinessDate));
    DateTo->SetDate(BusinessDate);
    EditQty1->SetValue(0);
    EditQty2->SetValue(0);
    SetActiveControl(DateFrom);
}

void TFrmBorrowOrderCond::EditQtyExit(TObject* Sender) {
    auto* box = static_cast<TDBNumberEditEh*>(Sender);
    if (box->Text().empty()) box->SetValue(0);
}

void TFrmBorrowOrderCond::BtConfirmClick(TObject*) {
    From = DateFrom->Date();
    To = DateTo->Date();
    MinLoans = ThresholdValue(EditQty1->Text());
    MinOverdue = ThresholdValue(EditQty2->Text());
    Caption = DateRangeCaption("借书日期", From, To);
    ThresholdLine = ReaderThresholdLine(MinLoans, MinOverdue);
}
