// The splash window shown while the program starts: a borderless black
// window holding one picture. It has no behaviour.
#pragma once

#include "Forms.h"

class TPaintBox;

class TFrmStartup : public TForm {
public:
    explicit TFrmStartup(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmStartup"; }
    // The picture: the product name in white over the black ground, with a
    // thin rule, drawn at paint time so no file has to ship with it.
    TPaintBox* Image1;
};
