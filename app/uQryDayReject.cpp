// The daily list of the write-offs of the day, books; see uQryDayReject.h.
#include "uQryDayReject.h"

TFrmQryDayReject::TFrmQryDayReject(TComponent* AOwner)
    : TFrmQryDayList(AOwner, "FrmQryDayReject", "每日报损", TDailyList::WriteOffs, false) {}
