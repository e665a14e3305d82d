// The book ordering list: every order line by code, a search (code, title
// or source-language title contain the text), the condition dialog, add and
// edit through the order editor, and "清除购齐" (the ordering lists' shared
// window). New book copies count themselves received on the lines of their
// title or ISBN when the book editor saves them.
#pragma once

#include "uOrderListData.h"

class TFrmBookShortData : public TFrmOrderListData {
public:
    explicit TFrmBookShortData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBookShortData"; }

    void InitForm() override;
    void BtFindClick(TObject* Sender) override;

protected:
    TBoundSql SearchSql(const std::string& typed) const override;
    TFrmOrderDataEdit* CreateEditor() override;
};
