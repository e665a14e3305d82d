// The due-date picker; see uFindHuanDate.h.
#include "uFindHuanDate.h"

#include "Build.h"
#include "ComCtrls.h"
#include "SysUtils.h"

TFrmFindHuanDate::TFrmFindHuanDate(TComponent* AOwner) : TFrmBaseD(AOwner) {
    SetName("FrmFindHuanDate");
    SetCaption("选择应还日期");
    SetBorderStyle(bsDialog);
    SetClientWidth(260);
    SetClientHeight(200);
    MonthCalendar1 = TBuild(this)
                         .Add<TMonthCalendar>("MonthCalendar1")
                         .Align(alClient)
                         .OnDblClick(&TFrmFindHuanDate::Choose)
                         .OnKeyDown(KeyDownHandler());
}

void TFrmFindHuanDate::InitForm() {
    TFrmBaseD::InitForm();
    TDateTime d;
    MonthCalendar1->SetDate(TryStrToDate(ChosenDate, d) ? d : Date());
    SetActiveControl(MonthCalendar1);
}

void TFrmFindHuanDate::Choose() {
    ChosenDate = DateToStr(MonthCalendar1->Date());
    SetModalResult(mrOk);
}
