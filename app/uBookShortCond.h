// The book ordering condition dialog: code, ISBN, title, class (picker,
// F5), source-language title, author, publisher and translator. OK keeps
// what was typed in Condition; the list turns it into its statement
// (BookShortConditionSql).
#pragma once

#include "OrderRules.h"
#include "uOrderCond.h"

class TFrmBookShortCond : public TFrmOrderCond {
public:
    explicit TFrmBookShortCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookShortCond"; }

    void BtConfirmClick(TObject* Sender);

    TEdit* EditYName;
    TEdit* EditWriter;
    TEdit* EditPublisher;
    TEdit* EditTranslator;

    TBookShortCondition Condition;
};
