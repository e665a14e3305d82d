// The root of the application's windows and dialogs: a centred form with a
// single fixed border, button-face colour and "宋体" 9 pt, whose InitForm
// hook runs on every show and whose FormKeyDown closes it on Esc.
// Not here: anything a particular window shows; derived windows add their
// controls and bind FormKeyDown to the controls that should close on Esc.
#pragma once

#include "Forms.h"

class TFrmBaseD : public TForm {
public:
    explicit TFrmBaseD(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBaseD"; }

    // Per-form initialisation, run by FormShow on every show. Overrides call
    // the inherited InitForm first.
    virtual void InitForm();

    // Bound to the form's OnShow.
    virtual void FormShow(TObject* Sender);
    // Bound to the form's OnKeyDown; Esc closes the form.
    virtual void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);

    // A handler for controls' OnKeyDown that runs this form's FormKeyDown.
    TKeyEvent KeyDownHandler();
};
