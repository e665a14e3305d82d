// The subscription list: every subscription by code, a search (code or
// title contain the text), the condition dialog, add and edit through the
// subscription editor, and "清除购齐" (the ordering lists' shared window).
#pragma once

#include "uOrderListData.h"

class TFrmMagzOrderData : public TFrmOrderListData {
public:
    explicit TFrmMagzOrderData(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmMagzOrderData"; }

    void InitForm() override;
    void BtFindClick(TObject* Sender) override;

protected:
    TBoundSql SearchSql(const std::string& typed) const override;
    TFrmOrderDataEdit* CreateEditor() override;
};
