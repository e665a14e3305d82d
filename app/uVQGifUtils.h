// Drawing helpers of the picture buttons: a bitmap drawn with one colour
// left out, and the part of a parent's background that lies under a
// control (so a control can look transparent).
#pragma once

#include "Graphics.h"

class TControl;

// Draws the source rectangle of bitmap (empty: all of it) at (x, y),
// stretched to destWidth x destHeight when both are non-zero, leaving the
// pixels of transparent unpainted. clNone draws plainly; clDefault takes
// the bitmap's bottom-left pixel as the transparent colour.
void DrawTransparentBitmap(TCanvas* canvas, int x, int y, TColor transparent, TBitmap* bitmap, TRect source = TRect{},
                           int destWidth = 0, int destHeight = 0);

// Paints into canvas what lies under control on its parent: the parent's
// background and painting and the siblings below it that overlap it, each
// at its place relative to the control.
void PaintParentImage(TControl* control, TCanvas* canvas);
