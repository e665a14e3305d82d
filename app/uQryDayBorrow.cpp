// The daily list of the loans of the day, books; see uQryDayBorrow.h.
#include "uQryDayBorrow.h"

TFrmQryDayBorrow::TFrmQryDayBorrow(TComponent* AOwner)
    : TFrmQryDayList(AOwner, "FrmQryDayBorrow", "每日借阅", TDailyList::Loans, false) {}
