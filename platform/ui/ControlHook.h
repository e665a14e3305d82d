// Watching another control from outside, as a window-procedure subclass
// would: the hook hears the control's messages and paints over the control
// after the control's own painting, inside the same paint event. The
// control knows nothing of it and keeps its own behaviour.
#pragma once

#include "Controls.h"

enum THookMessage {
    hmSetFocus,
    hmKillFocus,
    // The control has just painted (AfterPaint follows at once).
    hmPaint,
    hmKeyDown,
    hmKeyUp,
    hmLButtonDown,
    hmLButtonUp,
    hmLButtonDblClk,
    hmMouseEnter,
    hmMouseLeave,
    hmEnabledChanged,
    // The control's window is going away; the hook is already detached.
    hmDestroy,
};

class TControlHook {
public:
    virtual ~TControlHook() = default;
    // A message reached control, before the control handled it; Key is the
    // virtual key of hmKeyDown and hmKeyUp, AutoRepeat true for a held key's
    // repeated key-down. Asking for a repaint here (control->Invalidate())
    // is how a hook paints after the message: the control paints itself
    // first, then AfterPaint runs.
    virtual void HookMessage(TControl* control, THookMessage Msg, Word Key, bool AutoRepeat) {
        (void)control, (void)Msg, (void)Key, (void)AutoRepeat;
    }
    // Paints over the control on canvas, whose origin is the control's
    // top-left and whose size is the control's whole window (Width x
    // Height), after the control painted. Child controls stay on top.
    virtual void AfterPaint(TControl* control, TCanvas* canvas) { (void)control, (void)canvas; }
};

// Puts hook in front of control (not owned; a hook already there is not
// added twice). Hooks added later hear messages and paint later.
void AddControlHook(TControl* control, TControlHook* hook);
// Takes hook off control again; nothing when it is not there.
void RemoveControlHook(TControl* control, TControlHook* hook);
bool HasControlHook(const TControl* control, const TControlHook* hook);
