// The return query of periodicals: as uQryLent on the periodical loans.
#pragma once

#include "uQryLent.h"

class TFrmQryLent1 : public TFrmQryLent {
public:
    explicit TFrmQryLent1(TComponent* AOwner) : TFrmQryLent(AOwner, true) {}
    std::string ClassName() const override { return "TFrmQryLent1"; }
};
