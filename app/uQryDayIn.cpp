// The daily list of the items registered that day, books; see uQryDayIn.h.
#include "uQryDayIn.h"

TFrmQryDayIn::TFrmQryDayIn(TComponent* AOwner)
    : TFrmQryDayList(AOwner, "FrmQryDayIn", "每日进书", TDailyList::Intake, false) {}
