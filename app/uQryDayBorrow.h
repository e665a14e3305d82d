// The daily list of the loans of the day, books ("每日借阅").
#pragma once

#include "uQryDayList.h"

class TFrmQryDayBorrow : public TFrmQryDayList {
public:
    explicit TFrmQryDayBorrow(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryDayBorrow"; }
};
