// Controls that answer a form's dialog keys themselves, as a window would
// that handles the dialog-key and dialog-character messages: Enter and Esc
// that the focused control does not want, and Alt with a letter or digit
// (a caption's accelerator). The form asks its controls in their order
// (children after their parent) and stops at the first that answers.
#pragma once

#include "Controls.h"

class TDialogKeyHandler {
public:
    virtual ~TDialogKeyHandler() = default;
    // Enter or Esc reached the form; true when the control took it.
    virtual bool DialogKey(Word Key, TShiftState Shift) {
        (void)Key, (void)Shift;
        return false;
    }
    // Alt and a character: Ch is the upper-case letter or the digit.
    virtual bool DialogChar(char32_t Ch) {
        (void)Ch;
        return false;
    }
};

// Lets handler answer for control (not owned; nullptr removes it). The
// control removes its handler before it goes.
void SetDialogKeyHandler(TControl* control, TDialogKeyHandler* handler);

// Whether Ch is the accelerator of Caption: the character after a single
// "&", compared without case ("&&" is a literal ampersand).
bool IsAccel(char32_t Ch, const std::string& Caption);
