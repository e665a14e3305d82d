// The subscription condition dialog: code, ISSN, title, class (picker, F5),
// publisher, editorial office, postal code, serial number, frequency,
// contact and telephone. OK keeps what was typed in Condition; the list
// turns it into its statement (MagzOrderConditionSql).
#pragma once

#include "PeriodicalRules.h"
#include "uOrderCond.h"

class TComboBox;

class TFrmMagzOrderCond : public TFrmOrderCond {
public:
    explicit TFrmMagzOrderCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzOrderCond"; }

    void BtConfirmClick(TObject* Sender);

    TEdit* EditPublisher;
    TEdit* EditWriter;
    TEdit* EditPostNo;
    TEdit* EditPubNo;
    TComboBox* Cmbpubfreq;
    TEdit* EditLinkMan;
    TEdit* EditTel;

    TMagzOrderCondition Condition;
};
