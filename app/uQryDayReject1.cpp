// The daily list of the write-offs of the day, periodicals; see uQryDayReject1.h.
#include "uQryDayReject1.h"

TFrmQryDayReject1::TFrmQryDayReject1(TComponent* AOwner)
    : TFrmQryDayList(AOwner, "FrmQryDayReject1", "每日报损", TDailyList::WriteOffs, true) {}
