// The book lending desk ("借还图书"): lends, reserves, renews and takes
// back books for one reader per bill. The work is the shared desk's
// (uLendingDesk) on Bookinfo and Borrowinfo; the main window opens it with
// ShowMdiChild, at most one at a time.
#pragma once

#include "uLendingDesk.h"

class TFrmBorrowBill : public TLendingDesk {
public:
    explicit TFrmBorrowBill(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBorrowBill"; }
};
