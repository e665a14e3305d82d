// The holdings by class of periodicals ("馆藏期刊分类统计"): as
// uQryBookDataS on the periodicals.
#pragma once

#include "uQryBookDataS.h"

class TFrmQryMagzDataS : public TFrmQryBookDataS {
public:
    explicit TFrmQryMagzDataS(TComponent* AOwner) : TFrmQryBookDataS(AOwner, true) {}
    std::string ClassName() const override { return "TFrmQryMagzDataS"; }
};
