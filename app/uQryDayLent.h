// The daily list of the returns of the day, books ("每日还书").
#pragma once

#include "uQryDayList.h"

class TFrmQryDayLent : public TFrmQryDayList {
public:
    explicit TFrmQryDayLent(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryDayLent"; }
};
