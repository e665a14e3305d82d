// The operator query of periodicals: as uQryOperator on the periodical loans.
#pragma once

#include "uQryOperator.h"

class TFrmQryOperator1 : public TFrmQryOperator {
public:
    explicit TFrmQryOperator1(TComponent* AOwner) : TFrmQryOperator(AOwner, true) {}
    std::string ClassName() const override { return "TFrmQryOperator1"; }
};
