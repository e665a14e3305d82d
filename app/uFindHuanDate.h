// The due-date picker: a month calendar that hands back a date text. The
// caller presets ChosenDate, shows it modally and reads ChosenDate back;
// Esc leaves the preset text as it was.
#pragma once

#include "uBaseD.h"

class TMonthCalendar;

class TFrmFindHuanDate : public TFrmBaseD {
public:
    explicit TFrmFindHuanDate(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmFindHuanDate"; }
    void InitForm() override;
    // Takes the calendar's date and closes (double-click or Enter).
    void Choose();

    std::string ChosenDate;
    TMonthCalendar* MonthCalendar1;
};
