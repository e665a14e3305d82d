// The daily list of the write-offs of the day, periodicals ("每日报损").
#pragma once

#include "uQryDayList.h"

class TFrmQryDayReject1 : public TFrmQryDayList {
public:
    explicit TFrmQryDayReject1(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryDayReject1"; }
};
