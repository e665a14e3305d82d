// Cursors of the program's own, beside the standard ones of Controls.h.
#pragma once

#include "Controls.h"

class TBitmap;

// The bitmap, its transparent colour left clear, with its hot spot. The
// number it gets (1 and up) is used as any other cursor.
TCursor RegisterCursor(TBitmap* image, int hotX, int hotY);
