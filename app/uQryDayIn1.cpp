// The daily list of the items registered that day, periodicals; see uQryDayIn1.h.
#include "uQryDayIn1.h"

TFrmQryDayIn1::TFrmQryDayIn1(TComponent* AOwner)
    : TFrmQryDayList(AOwner, "FrmQryDayIn1", "每日进书", TDailyList::Intake, true) {}
