// The loan query of periodicals: as uQryBorrow on the periodical loans;
// "有预约" keeps periodicals that have a periodical reservation.
#pragma once

#include "uQryBorrow.h"

class TFrmQryBorrow1 : public TFrmQryBorrow {
public:
    explicit TFrmQryBorrow1(TComponent* AOwner) : TFrmQryBorrow(AOwner, true) {}
    std::string ClassName() const override { return "TFrmQryBorrow1"; }
};
