// What the eight daily lists share: a date picker that starts on the
// business date, the list of that day run at once when shown, and the find
// button that runs it again for the picked date. Each list is a window of
// its own (uQryDayBorrow, uQryDayLent, uQryDayIn, uQryDayReject and their
// periodical twins ending in 1); they differ in caption and statement.
#pragma once

#include "uBaseQuery.h"

#include "QueryConditions.h"

class TDateTimePicker;

class TFrmQryDayList : public TMDIBaseQuery {
public:
    std::string ClassName() const override { return "TFrmQryDayList"; }

    void InitForm() override;
    void BtFindClick(TObject* Sender) override;

    TDateTimePicker* DTPDate;

protected:
    TFrmQryDayList(TComponent* AOwner, const char* name, const char* caption, TDailyList list, bool periodicals);
    TDailyList List;
    bool Periodicals;

private:
    bool started_ = false;
};
