// The periodical lending desk ("借还期刊"): the book desk's work on
// Magzinfo and Borrowinfo1 and the readers' periodical counters, without
// a renewal mode (F10 does nothing here).
#pragma once

#include "uLendingDesk.h"

class TFrmBorrowBill1 : public TLendingDesk {
public:
    explicit TFrmBorrowBill1(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBorrowBill1"; }
};
