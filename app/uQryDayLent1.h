// The daily list of the returns of the day, periodicals ("每日还书").
#pragma once

#include "uQryDayList.h"

class TFrmQryDayLent1 : public TFrmQryDayList {
public:
    explicit TFrmQryDayLent1(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryDayLent1"; }
};
