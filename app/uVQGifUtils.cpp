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

void PaintParentImage(TControl* control, TCanvas* canvas) {
    TWinControl* parent = control->Parent();
    if (!parent) return;
    const TRect mine = control->BoundsRect();
    for (int i = 0; i < parent->ControlCount(); ++i) {
        TControl* sibling = parent->Controls(i);
        if (sibling == control) break;
        auto* image = dynamic_cast<TImage*>(sibling);
        if (!image || !image->Visible() || !image->Picture()->Graphic()) continue;
        const TRect r = image->BoundsRect();
        if (r.Right <= mine.Left || r.Left >= mine.Right || r.Bottom <= mine.Top || r.Top >= mine.Bottom) continue;
        const int dx = r.Left - mine.Left, dy = r.Top - mine.Top;
        TGraphic* g = image->Picture()->Graphic();
        if (image->Stretch())
            canvas->StretchDraw(TRect{dx, dy, dx + r.Width(), dy + r.Height()}, g);
        else
            canvas->Draw(dx, dy, g);
    }
}
