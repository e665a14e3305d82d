// The reader ranking of periodicals: as uQryBorrowOrder on the periodical loans,
// by the periodicals on loan now; the overdue threshold counts periodical overdues.
#pragma once

#include "uQryBorrowOrder.h"

class TFrmQryBorrowOrderq : public TFrmQryBorrowOrder {
public:
    explicit TFrmQryBorrowOrderq(TComponent* AOwner) : TFrmQryBorrowOrder(AOwner, true) {}
    std::string ClassName() const override { return "TFrmQryBorrowOrderq"; }
};
