// The return query's condition dialog: the return dates (from the first
// day of the business month to the business date), a reader and an item
// matched anywhere in their codes and a department matched exactly. OK
// leaves the condition in Where (values bound) and its line in Caption.
#pragma once

#include "uBaseCond.h"

#include "ADODB.h"
#include "QueryConditions.h"

class TDateTimePicker;
class TEdit;
class TSpeedButton;
class TComboBox;

class TFrmLentCond : public TFrmBaseCond {
public:
    explicit TFrmLentCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmLentCond"; }

    void InitForm() override;
    void BtConfirmClick(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    TLoanCondition Condition() const;

    TDateTimePicker* DateFrom;
    TDateTimePicker* DateTo;
    TEdit* EditRcode;
    TSpeedButton* SpeedButton1;
    TEdit* EditBcode;
    TSpeedButton* SpeedButton2;
    TComboBox* CmbDepartment;

    TBoundSql Where;
    std::string Caption;
};
