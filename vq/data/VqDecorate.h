// The decoration pass every library dialog runs when it shows, and caption
// conversion. The shared data module that would supply colours and the
// conversion table is absent in this system, so captions stay as designed
// and no colour changes; what remains is the relayout of the controls that
// ask for one (the data grid) and the input-method mode, which has no
// per-control meaning on this platform.
#pragma once

#include <string>

class TCustomForm;

// A control that wants to be laid out again when its form is decorated
// (the data grid widens its last column by one and back).
class TVqDecoratable {
public:
    virtual ~TVqDecoratable() = default;
    virtual void DecorateForShow() = 0;
};

// 0 everywhere in this system; 3 would convert captions through the code
// table of the shared data module.
extern int CaptionConvertMode;

// The caption converted by the code table (unchanged without the shared
// data module).
std::string ConvertCaptionByTable(const std::string& text);
// ConvertCaptionByTable when CaptionConvertMode is 3, else the text.
std::string ConvertCaption(const std::string& text);

// Runs over the form's caption and every component it owns, in order.
void DecorateForm(TCustomForm* form);

// Advances the input-method mode; does nothing without the shared data
// module, as here.
void ToggleImeMode();
