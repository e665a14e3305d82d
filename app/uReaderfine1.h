// Fine collection for periodical loans: as uReaderfine, with the year and
// issue number of the picked periodical and the periodical rate.
#pragma once

#include "uReaderfine.h"

class TFrmReaderFine1 : public TFrmReaderFine {
public:
    explicit TFrmReaderFine1(TComponent* AOwner) : TFrmReaderFine(AOwner, TItemKind::Periodical) {}
    std::string ClassName() const override { return "TFrmReaderFine1"; }
};
