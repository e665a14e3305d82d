// The help text of label printing, opened from the label-printing window.
#pragma once

#include "uBaseD.h"

class TMemo;
class TBitBtn;

class TFrmBarHelp : public TFrmBaseD {
public:
    explicit TFrmBarHelp(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBarHelp"; }

    void BitBtn1Click(TObject* Sender);

    TMemo* Memo1;
    TBitBtn* BitBtn1;
};
