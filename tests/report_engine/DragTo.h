// A drag as a hand makes it: a press at a point of the control, a move and
// a release at a point of the screen. The release lands where the pointer
// is, wherever the control has gone meanwhile (a toolbar that floated off
// its dock, say).
#pragma once

#include "TestKit.h"

inline void DragTo(TControl* c, TPoint from, TPoint screen) {
    SendMouseDown(c, from.X, from.Y);
    TPoint p = c->ScreenToClient(screen);
    SendMouseMove(c, p.X, p.Y);
    p = c->ScreenToClient(screen);
    SendMouseUp(c, p.X, p.Y);
    ProcessEvents();
}
