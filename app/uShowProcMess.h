// The small progress window of long database work: a message label and a
// bar from 0 to 100. It has no behaviour of its own; the caller creates it,
// sets the text, shows it without a modal loop, moves the bar and frees it.
#pragma once

#include "uBaseD.h"

class TLabel;
class TProgressBar;

class TFrmShowProcMess : public TFrmBaseD {
public:
    explicit TFrmShowProcMess(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmShowProcMess"; }

    TLabel* Lb;
    TProgressBar* PB;
};
