// The overdue query of periodicals: as uQryBorrowList on the periodical loans.
#pragma once

#include "uQryBorrowList.h"

class TFrmQryBorrowList1 : public TFrmQryBorrowList {
public:
    explicit TFrmQryBorrowList1(TComponent* AOwner) : TFrmQryBorrowList(AOwner, true) {}
    std::string ClassName() const override { return "TFrmQryBorrowList1"; }
};
