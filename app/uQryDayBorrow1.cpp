// The daily list of the loans of the day, periodicals; see uQryDayBorrow1.h.
#include "uQryDayBorrow1.h"

TFrmQryDayBorrow1::TFrmQryDayBorrow1(TComponent* AOwner)
    : TFrmQryDayList(AOwner, "FrmQryDayBorrow1", "每日借阅", TDailyList::Loans, true) {}
