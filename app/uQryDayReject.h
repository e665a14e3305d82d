// The daily list of the write-offs of the day, books ("每日报损").
#pragma once

#include "uQryDayList.h"

class TFrmQryDayReject : public TFrmQryDayList {
public:
    explicit TFrmQryDayReject(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryDayReject"; }
};
