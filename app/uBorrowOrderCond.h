// The reader ranking's condition dialog: the loan dates (from the first
// day of the business month to the business date), the least number of
// loans in them and the least number of overdue returns. The boxes start
// at 0 and a box left empty counts as 0. OK leaves the thresholds and the
// lines of the window's labels.
#pragma once

#include "uBaseCond.h"

#include "System.h"

class TDateTimePicker;
class TDBNumberEditEh;

class TFrmBorrowOrderCond : public TFrmBaseCond {
public:
    explicit TFrmBorrowOrderCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBorrowOrderCond"; }

    void InitForm() override;
    void BtConfirmClick(TObject* Sender);
    // Leaving an empty number box puts 0 in it.
    void EditQtyExit(TObject* Sender);

    TDateTimePicker* DateFrom;
    TDateTimePicker* DateTo;
    TDBNumberEditEh* EditQty1;
    TDBNumberEditEh* EditQty2;

    TDateTime From = 0;
    TDateTime To = 0;
    int MinLoans = 0;
    int MinOverdue = 0;
    std::string Caption;
    std::string ThresholdLine;
};
