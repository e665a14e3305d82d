// The dotted frame a window drag shows on the screen: while a tool window
// is moved or sized, it stays where it is and this frame shows where it
// would go, until the button is released. The frame is four thin windows
// in a checker pattern that take no input and never the activation, so the
// pointer and the keyboard stay with the window that runs the drag.
#pragma once

#include "Controls.h"

#include <memory>

class TDragOutline {
public:
    TDragOutline();
    ~TDragOutline();
    TDragOutline(const TDragOutline&) = delete;
    TDragOutline& operator=(const TDragOutline&) = delete;

    // Shows the frame of r (screen coordinates), thickness pixels wide on
    // every side; an empty r hides it.
    void Show(const TRect& r, int thickness);
    void Hide();
    bool Visible() const;
    // Where the frame stands while visible.
    TRect Rect() const;
    int Thickness() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};
