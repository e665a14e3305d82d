// The book ordering condition dialog: code, ISBN, title, class (picker,
// F5), source-language title, author, publisher and translator. OK keeps
// what was typed in Condition; the list turns it into its statement
// (BookShortConditionSql).
#pragma once

#include "OrderRules.h"
#include "uBaseCond.h"

class TEdit;
class TSpeedButton;

class TFrmBookShortCond : public TFrmBaseCond {
public:
    explicit TFrmBookShortCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookShortCond"; }

    void FormShow(TObject* Sender) override;
    void BtConfirmClick(TObject* Sender);
    void SbtSortClick(TObject* Sender);
    void EditSortKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    TEdit* EditCode;
    TEdit* EditISBN;
    TEdit* EditName;
    TEdit* EditSort;
    TSpeedButton* SbtSort;
    TEdit* EditYName;
    TEdit* EditWriter;
    TEdit* EditPublisher;
    TEdit* EditTranslator;

    TBookShortCondition Condition;
};
