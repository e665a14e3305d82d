// Transparent drawing helpers; see uVQGifUtils.h.
#include "uVQGifUtils.h"

#include "Controls.h"
#include "ExtCtrls.h"

void DrawTransparentBitmap(TCanvas* canvas, int x, int y, TColor transparent, TBitmap* bitmap, TRect source,
                           int destWidth, int destHeight) {
    if (!bitmap || bitmap->Empty()) return;
    if (source.Width() <= 0 || source.Height() <= 0) source = TRect{0, 0, bitmap->Width(), bitmap->Height()};
    TBitmap part;
    part.SetSize(source.Width(), source.Height());
    part.Canvas()->CopyRect(TRect{0, 0, source.Width(), source.Height()}, bitmap->Canvas(), source);
    if (transparent != clNone) {
        part.SetTransparentMode(transparent == clDefault ? tmAuto : tmFixed);
        if (transparent != clDefault) part.SetTransparentColor(transparent);
        part.SetTransparent(true);
    }
    if (destWidth != 0 && destHeight != 0)
        canvas->StretchDraw(TRect{x, y, x + destWidth, y + destHeight}, &part);
    else
        canvas->Draw(x, y, &part);
}

void PaintParentImage(TControl* control, TCanvas* canvas) { PaintParentBackground(control, canvas); }
