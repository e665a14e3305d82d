// The daily list of the loans of the day, periodicals ("每日借阅").
#pragma once

#include "uQryDayList.h"

class TFrmQryDayBorrow1 : public TFrmQryDayList {
public:
    explicit TFrmQryDayBorrow1(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmQryDayBorrow1"; }
};
