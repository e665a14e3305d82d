// The buffered graphic control; see uVQGifVclBase.h.
#include "uVQGifVclBase.h"

#include "uVQGifUtils.h"

TEffectGControl::TEffectGControl(TComponent* AOwner) : TGraphicControl(AOwner) {}

void TEffectGControl::SetTransparent(bool v) {
    transparent_ = v;
    Invalidate();
}

void TEffectGControl::Redraw() { Repaint(); }

void TEffectGControl::PaintEffect(TCanvas*) {}

void TEffectGControl::Paint() {
    TBitmap buffer;
    buffer.SetSize(Width() + 1, Height() + 1);
    TCanvas* c = buffer.Canvas();
    c->SetFont(Font());
    if (transparent_ && Parent()) {
        c->Brush()->SetColor(Parent()->Color());
        c->FillRect(TRect{0, 0, buffer.Width(), buffer.Height()});
        PaintParentImage(this, c);
    } else {
        c->Brush()->SetColor(Color());
        c->FillRect(TRect{0, 0, buffer.Width(), buffer.Height()});
    }
    PaintEffect(c);
    Canvas()->Draw(0, 0, &buffer);
}
