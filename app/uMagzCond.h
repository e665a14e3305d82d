// The periodical condition dialog: code, ISSN, title (or its input codes),
// class (with the class picker, F5), call number, editorial office,
// publisher (with the publisher lookup, F5), shelf, year (the business
// year at first), issue number, state, current or back issues (always
// applied) and contents. OK keeps what was typed in Condition; the list
// turns it into its statement (MagzConditionSql).
#pragma once

#include "PeriodicalRules.h"
#include "uBaseCond.h"

class TEdit;
class TComboBox;
class TSpeedButton;
class TRadioButton;

class TFrmMagzCond : public TFrmBaseCond {
public:
    explicit TFrmMagzCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzCond"; }

    void FormShow(TObject* Sender) override;
    void BtConfirmClick(TObject* Sender);
    void SbtSortClick(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void PickerKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    TEdit* EditCode;
    TEdit* EditISBN;
    TEdit* EditName;
    TEdit* EditSort;
    TSpeedButton* SbtSort;
    TEdit* EditScode;
    TEdit* EditWriter;
    TEdit* EditPublisher;
    TSpeedButton* SpeedButton1;
    TComboBox* CmbPosi;
    TEdit* EditYear;
    TEdit* EditNo;
    TComboBox* CmbState;
    TRadioButton* Rbx;
    TRadioButton* Rbg;
    TEdit* EditRemarks;

    TMagzCondition Condition;
};
