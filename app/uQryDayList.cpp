// The daily lists' shared part; see uQryDayList.h.
#include "uQryDayList.h"

#include "Build.h"
#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "uGlobal.h"

TFrmQryDayList::TFrmQryDayList(TComponent* AOwner, const char* name, const char* caption, TDailyList list,
                               bool periodicals)
    : TMDIBaseQuery(AOwner), List(list), Periodicals(periodicals) {
    SetName(name);
    SetCaption(caption);
    TBuild b(this);
    DTPDate = b.In(Panel1).Add<TDateTimePicker>("DTPDate").At(60, 10, 110, 21);
    LbCaption->SetTop(14);
}

void TFrmQryDayList::InitForm() {
    TMDIBaseQuery::InitForm();
    HelpTopic = "040301.html";
    // The day picked stays when the window shows again after a dialog.
    if (started_) return;
    started_ = true;
    DTPDate->SetDate(BusinessDate);
    BtFindClick(BtFind);
}

void TFrmQryDayList::BtFindClick(TObject*) {
    const TDateTime day = DTPDate->Date();
    ConditionCaption = DayCaption(day);
    RunQuery(DailyListSql(List, Periodicals, day));
}
