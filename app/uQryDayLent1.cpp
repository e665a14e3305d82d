// The daily list of the returns of the day, periodicals; see uQryDayLent1.h.
#include "uQryDayLent1.h"

TFrmQryDayLent1::TFrmQryDayLent1(TComponent* AOwner)
    : TFrmQryDayList(AOwner, "FrmQryDayLent1", "每日还书", TDailyList::Returns, true) {}
