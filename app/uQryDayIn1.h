// The daily list of the items registered that day, periodicals ("每日进书").
#pragma once

#include "uQryDayList.h"

class TFrmQryDayIn1 : public TFrmQryDayList {
public:
    explicit TFrmQryDayIn1(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryDayIn1"; }
};
