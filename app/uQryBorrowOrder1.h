// The item ranking of books ("借书排行榜"): every book lent at least as
// often as its dialog asks in the loan dates, most lent first, each row
// numbered with its rank when fetched. The periodical twin is
// uQryBorrowOrderq1.
#pragma once

#include "uBaseQuery.h"

class TFrmBorrowOrderCond1;

class TFrmQryBorrowOrder1 : public TMDIBaseQuery {
public:
    explicit TFrmQryBorrowOrder1(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryBorrowOrder1"; }

    void InitForm() override;
    void BtFindClick(TObject* Sender) override;
    void TakeCondition(const TFrmBorrowOrderCond1& dialog);

    TLabel* LbCaption1;

protected:
    TFrmQryBorrowOrder1(TComponent* AOwner, bool periodicals);
    bool Periodicals;
};
