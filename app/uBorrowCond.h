// The loan query's condition dialog: the loan dates (from the first day of
// the business month to the business date), a reader and an item matched
// anywhere in their codes, a department matched exactly, and the state
// (all, still out, returned). OK leaves the condition in Where (values
// bound) and its line in Caption. The return dialog (uLentCond) and the
// operator dialog (uOperCond) are its siblings.
#pragma once

#include "uBaseCond.h"

#include "ADODB.h"
#include "QueryConditions.h"

class TDateTimePicker;
class TEdit;
class TSpeedButton;
class TComboBox;
class TRadioButton;

class TFrmBorrowCond : public TFrmBaseCond {
public:
    explicit TFrmBorrowCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBorrowCond"; }

    void InitForm() override;
    void BtConfirmClick(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    // What the boxes hold now.
    TLoanCondition Condition() const;

    TDateTimePicker* DateFrom;
    TDateTimePicker* DateTo;
    TEdit* EditRcode;
    TSpeedButton* SpeedButton1;
    TEdit* EditBcode;
    TSpeedButton* SpeedButton2;
    TComboBox* CmbDepartment;
    TRadioButton* Rb1;
    TRadioButton* Rb2;
    TRadioButton* Rb3;

    TBoundSql Where;
    std::string Caption;
};
