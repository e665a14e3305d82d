// The periodical lending desk; see uBorrowBill1.h.
#include "uBorrowBill1.h"

TFrmBorrowBill1::TFrmBorrowBill1(TComponent* AOwner) : TLendingDesk(AOwner, TItemKind::Periodical) {
    SetName("FrmBorrowBill1");
    SetCaption("借还期刊");
}
