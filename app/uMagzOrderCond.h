// The subscription condition dialog: code, ISSN, title, class (picker, F5),
// publisher, editorial office, postal code, serial number, frequency,
// contact and telephone. OK keeps what was typed in Condition; the list
// turns it into its statement (MagzOrderConditionSql).
#pragma once

#include "PeriodicalRules.h"
#include "uBaseCond.h"

class TEdit;
class TComboBox;
class TSpeedButton;

class TFrmMagzOrderCond : public TFrmBaseCond {
public:
    explicit TFrmMagzOrderCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzOrderCond"; }

    void FormShow(TObject* Sender) override;
    void BtConfirmClick(TObject* Sender);
    void SbtSortClick(TObject* Sender);
    void EditSortKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    TEdit* EditCode;
    TEdit* EditISBN;
    TEdit* EditName;
    TEdit* EditSort;
    TSpeedButton* SbtSort;
    TEdit* EditPublisher;
    TEdit* EditWriter;
    TEdit* EditPostNo;
    TEdit* EditPubNo;
    TComboBox* Cmbpubfreq;
    TEdit* EditLinkMan;
    TEdit* EditTel;

    TMagzOrderCondition Condition;
};
