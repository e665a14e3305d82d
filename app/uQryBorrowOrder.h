// The reader ranking of books ("读者排行榜"): every reader passing the
// thresholds of its dialog, ordered by the items on loan now, each row
// numbered with its rank when fetched (a title-click sort keeps the
// numbers). The periodical twin is uQryBorrowOrderq.
#pragma once

#include "uBaseQuery.h"

class TFrmBorrowOrderCond;

class TFrmQryBorrowOrder : public TMDIBaseQuery {
public:
    explicit TFrmQryBorrowOrder(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryBorrowOrder"; }

    void InitForm() override;
    void BtFindClick(TObject* Sender) override;
    void TakeCondition(const TFrmBorrowOrderCond& dialog);

    TLabel* LbCaption1;

protected:
    TFrmQryBorrowOrder(TComponent* AOwner, bool periodicals);
    bool Periodicals;
};
