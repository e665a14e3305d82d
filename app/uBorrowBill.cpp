// The book lending desk; see uBorrowBill.h.
#include "uBorrowBill.h"

TFrmBorrowBill::TFrmBorrowBill(TComponent* AOwner) : TLendingDesk(AOwner, TItemKind::Book) {
    SetName("FrmBorrowBill");
    SetCaption("借还图书");
}
