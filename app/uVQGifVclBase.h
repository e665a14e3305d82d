// A graphic control that paints through an off-screen buffer and can be
// transparent: the buffer first receives either its own colour or what
// lies under it on its parent, then PaintEffect draws the content, and the
// finished buffer goes onto the screen in one piece (no flicker).
#pragma once

#include "Controls.h"

class TEffectGControl : public TGraphicControl {
public:
    explicit TEffectGControl(TComponent* AOwner);
    std::string ClassName() const override { return "TEffectGControl"; }

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    // Repaints the control at once.
    void Redraw();

protected:
    void Paint() override;
    // Draws the content into the buffer's canvas; empty here.
    virtual void PaintEffect(TCanvas* canvas);

private:
    bool transparent_ = false;
};
