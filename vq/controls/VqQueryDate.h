// The date-picking dialog of the grids' date buttons: a month calendar; a
// double click or Enter writes the day into the field as short-date text
// (putting its data set into edit mode first), Esc leaves the field alone.
#pragma once

#include "vq/controls/VqBase.h"

class TField;
class TMonthCalendar;

class TFrmSetQueryDate : public TFrmDlgBase {
public:
    explicit TFrmSetQueryDate(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmSetQueryDate"; }
    void MonthCalendarDblClick(TObject* Sender);

    TMonthCalendar* MonthCalendar;
    TField* Field = nullptr;

protected:
    void DoAfterShow() override;
};

// Shows the dialog for field and returns control.
TControl* SelectFieldDate(TField* field, TControl* control);
