// The reader condition dialog: code, name (or its input codes), type,
// department, telephone and address. OK keeps what was typed in Condition;
// the reader list turns it into its statement (ReaderConditionSql), so the
// typed texts reach the database as values.
#pragma once

#include "ReaderRules.h"
#include "uBaseCond.h"

class TEdit;
class TComboBox;

class TFrmReaderCond : public TFrmBaseCond {
public:
    explicit TFrmReaderCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmReaderCond"; }

    // Fills the type and department lists; focus to the code box.
    void FormShow(TObject* Sender) override;
    void BtConfirmClick(TObject* Sender);

    TEdit* EditCode;
    TEdit* EditName;
    TComboBox* CmbSort;
    TComboBox* CmbDepartment;
    TEdit* EditTel;
    TEdit* EditAddr;

    TReaderCondition Condition;
};
