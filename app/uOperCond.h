// The operator query's condition dialog: the loan dates (from the first
// day of the business month to the business date), an operator's name and
// an item code, each matched anywhere. OK leaves the condition in Where
// (values bound) and its line in Caption.
#pragma once

#include "uBaseCond.h"

#include "ADODB.h"
#include "QueryConditions.h"

class TDateTimePicker;
class TEdit;
class TSpeedButton;
class TComboBox;

class TFrmOperCond : public TFrmBaseCond {
public:
    explicit TFrmOperCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmOperCond"; }

    void InitForm() override;
    void BtConfirmClick(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    TLoanCondition Condition() const;

    TDateTimePicker* DateFrom;
    TDateTimePicker* DateTo;
    TComboBox* CbxOper;
    TEdit* EditBcode;
    TSpeedButton* SpeedButton2;

    TBoundSql Where;
    std::string Caption;
};
