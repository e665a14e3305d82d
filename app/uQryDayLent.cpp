// The daily list of the returns of the day, books; see uQryDayLent.h.
#include "uQryDayLent.h"

TFrmQryDayLent::TFrmQryDayLent(TComponent* AOwner)
    : TFrmQryDayList(AOwner, "FrmQryDayLent", "每日还书", TDailyList::Returns, false) {}
