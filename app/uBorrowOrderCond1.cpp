// The item ranking's condition dialog; see uBorrowOrderCond1.h.
#include "uBorrowOrderCond1.h"

#include "Build.h"
#include "ComCtrls.h"
#include "ConditionFields.h"
#include "ExtCtrls.h"
#include "QueryConditions.h"
#include "StdCtrls.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "uGlobal.h"

TFrmBorrowOrderCond1::TFrmBorrowOrderCond1(TComponent* AOwner) : TFrmBaseCond(AOwner) {
    SetName("FrmBorrowOrderCond1");
    BtConfirm->OnClick = [this](TObject* s) { BtConfirmClick(s); };

    TBuild b(this);
    auto p = b.In(Panel1);
    p.Add<TLabel>("LbFrom").Caption("借书日期：从").At(10, 14);
    DateFrom = p.Add<TDateTimePicker>("DateFrom").At(90, 10, 110, 21).OnKeyDown(KeyDownHandler());
    p.Add<TLabel>("LbTo").Caption("到").At(210, 14);
    DateTo = p.Add<TDateTimePicker>("DateTo").At(230, 10, 110, 21).OnKeyDown(KeyDownHandler());
    p.Add<TLabel>("LbQty").Caption("借阅次数  大于等于：").At(10, 54);
    EditQty = p.Add<TDBNumberEditEh>("EditQty")
                  .At(130, 50, 100, 21)
                  .OnKeyDown(KeyDownHandler())
                  .OnExit(&TFrmBorrowOrderCond1::EditQtyExit);
    EditQty->SetDecimalPlaces(0);
}

void TFrmBorrowOrderCond1::InitForm() {
    TFrmBaseCond::InitForm();
    DateFrom->SetDate(MonthStart(BusinessDate));
    DateTo->SetDate(BusinessDate);
    EditQty->SetValue(0);
    SetActiveControl(DateFrom);
}

void TFrmBorrowOrderCond1::EditQtyExit(TObject*) {
    if (EditQty->Text().empty()) EditQty->SetValue(0);
}

void TFrmBorrowOrderCond1::BtConfirmClick(TObject*) {
    From = DateFrom->Date();
    To = DateTo->Date();
    MinLoans = ThresholdValue(EditQty->Text());
    Caption = DateRangeCaption("借书日期", From, To);
    ThresholdLine = ItemThresholdLine(MinLoans);
}
