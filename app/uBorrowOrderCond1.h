// The item ranking's condition dialog: the loan dates (from the first day
// of the business month to the business date) and the least number of
// loans in them; the box starts at 0 and counts as 0 when left empty.
#pragma once

#include "uBaseCond.h"

#include "System.h"

class TDateTimePicker;
class TDBNumberEditEh;

class TFrmBorrowOrderCond1 : public TFrmBaseCond {
public:
    explicit TFrmBorrowOrderCond1(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBorrowOrderCond1"; }

    void InitForm() override;
    void BtConfirmClick(TObject* Sender);
    void EditQtyExit(TObject* Sender);

    TDateTimePicker* DateFrom;
    TDateTimePicker* DateTo;
    TDBNumberEditEh* EditQty;

    TDateTime From = 0;
    TDateTime To = 0;
    int MinLoans = 0;
    std::string Caption;
    std::string ThresholdLine;
};
