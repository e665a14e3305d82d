// The daily list of the items registered that day, books ("每日进书").
#pragma once

#include "uQryDayList.h"

class TFrmQryDayIn : public TFrmQryDayList {
public:
    explicit TFrmQryDayIn(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryDayIn"; }
};
