// The loan statistics by class of periodicals ("期刊借阅分类统计"): as
// uQryBorrowS on the periodical loans.
#pragma once

#include "uQryBorrowS.h"

class TFrmQryBorrowqS : public TFrmQryBorrowS {
public:
    explicit TFrmQryBorrowqS(TComponent* AOwner) : TFrmQryBorrowS(AOwner, true) {}
    std::string ClassName() const override { return "TFrmQryBorrowqS"; }
};
