// The periodical ranking: as uQryBorrowOrder1 on the periodical loans.
#pragma once

#include "uQryBorrowOrder1.h"

class TFrmQryBorrowOrderq1 : public TFrmQryBorrowOrder1 {
public:
    explicit TFrmQryBorrowOrderq1(TComponent* AOwner) : TFrmQryBorrowOrder1(AOwner, true) {}
    std::string ClassName() const override { return "TFrmQryBorrowOrderq1"; }
};
