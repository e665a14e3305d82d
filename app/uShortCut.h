// The shortcut list: a small window naming the six command keys.
#pragma once

#include "uBaseD.h"

class TLabel;

class TFrmShortCut : public TFrmBaseD {
public:
    explicit TFrmShortCut(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmShortCut"; }

    TLabel* Label1;
    TLabel* Label2;
};
