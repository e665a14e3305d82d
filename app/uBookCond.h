// The book list's condition dialog: one box per criterion, a state list,
// the new-copies tick and a code range; OK turns what was filled in into a
// condition with bound values (BookRules.h), Cancel keeps the list as it
// was. F5 in the class or publisher box opens its picker.
#pragma once

#include "uBaseCond.h"

#include "ADODB.h"

class TEdit;
class TComboBox;
class TCheckBox;
class TSpeedButton;

class TFrmBookCond : public TFrmBaseCond {
public:
    explicit TFrmBookCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookCond"; }

    void FormShow(TObject* Sender) override;
    // Builds Where from the boxes and closes with modal result 1.
    void BtConfirmClick(TObject* Sender);
    void SbtSortClick(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void EditSortKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void EditPublisherKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    TCheckBox* ChkCode;
    TEdit* EditFrom;
    TEdit* EditTo;
    TEdit* EditCode;
    TEdit* EditName;
    TEdit* EditYName;
    TEdit* EditScode;
    TEdit* EditPublisher;
    TSpeedButton* SpeedButton1;
    TEdit* EditRemarks;
    TComboBox* CmbState;
    TEdit* EditISBN;
    TEdit* EditSort;
    TSpeedButton* SbtSort;
    TEdit* EditWriter;
    TEdit* EditTranslator;
    TComboBox* CmbPosi;
    TEdit* EditRemarks1;
    TCheckBox* ChkNew;

    // The condition OK built (WhereText holds its text).
    TBoundSql Where;
};
