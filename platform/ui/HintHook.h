// The application's hint window: by default a control's hint shows as the
// toolkit's own tool-tip; once a hint-window class is set, every hint of
// the program is shown in a window of that class instead (ActivateHint with
// the rectangle CalcHintRect gave, placed at the cursor), after the
// application's show-hint event had its say. Kept apart from Application so
// the hint machinery is one small unit.
#pragma once

#include "Controls.h"

#include <functional>
#include <string>

struct THintInfo {
    TPoint CursorPos; // screen coordinates
    int HintMaxWidth = 0;
};
// May change the text, forbid the show (CanShow = false) or the width.
using TShowHintEvent = std::function<void(std::string& HintStr, bool& CanShow, THintInfo& HintInfo)>;
// Makes the hint window (owned by the hint machinery from then on).
using THintWindowClass = std::function<THintWindow*()>;

void SetHintWindowClass(THintWindowClass make);
void SetApplicationShowHint(TShowHintEvent event);
// The window the current class made (nullptr before the first hint).
THintWindow* ApplicationHintWindow();
// Shows the hint text at the cursor position as the hint pause would; what
// the tool-tip event runs. False when the show-hint event forbade it or no
// class is set.
bool ShowApplicationHint(const std::string& text, TPoint cursor);
void HideApplicationHint();
// The mouse cursor in screen coordinates.
TPoint GetCursorPos();
// Whether the mouse is over the control now, as the window system last
// said by its enter and leave events (a child control over it takes the
// mouse from it).
bool MouseIsOver(const TControl* c);
