// The fading picture button; see uVQGifButton.h.
#include "uVQGifButton.h"

#include "ExtCtrls.h"
#include "Graphics.h"
#include "uVQGifUtils.h"
#include "uVQGifWavctrl.h"
#include "uVQGifffBmp.h"

tVQGifButton::tVQGifButton(TComponent* AOwner)
    : TEffectGControl(AOwner), timer_(new TTimer(this)), downGlyph_(new TBitmap), upGlyph_(new TBitmap),
      activeGlyph_(new TBitmap) {
    SetBounds(0, 0, 100, 100);
    SetColor(clWindow);
    timer_->SetEnabled(false);
    timer_->SetInterval(100);
}

tVQGifButton::~tVQGifButton() {
    timer_->SetEnabled(false);
    delete downGlyph_;
    delete upGlyph_;
    delete activeGlyph_;
}

void tVQGifButton::SetUpGlyph(TBitmap* v) {
    upGlyph_->Assign(v);
    Redraw();
}

void tVQGifButton::SetDownGlyph(TBitmap* v) {
    downGlyph_->Assign(v);
    Redraw();
}

void tVQGifButton::SetActiveGlyph(TBitmap* v) {
    activeGlyph_->Assign(v);
    Redraw();
}

void tVQGifButton::SetGlyphsTransparent(bool v) {
    glyphsTransparent_ = v;
    Redraw();
}

unsigned tVQGifButton::Interval() const { return unsigned(timer_->Interval()); }

void tVQGifButton::SetInterval(unsigned ms) { timer_->SetInterval(int(ms)); }

void tVQGifButton::SetClickSound(TepWavePlayer* v) {
    clickSound_ = v;
    if (v) v->FreeNotification(this);
}

void tVQGifButton::SetActiveSound(TepWavePlayer* v) {
    activeSound_ = v;
    if (v) v->FreeNotification(this);
}

void tVQGifButton::Notification(TComponent* component, TOperation operation) {
    TEffectGControl::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == clickSound_) clickSound_ = nullptr;
    if (component == activeSound_) activeSound_ = nullptr;
}

bool tVQGifButton::hasDown() const { return !downGlyph_->Empty(); }

void tVQGifButton::PaintEffect(TCanvas* canvas) {
    if (upGlyph_->Empty() || activeGlyph_->Empty()) return;
    if (inside_ && pressed_ && hasDown()) {
        if (glyphsTransparent_)
            DrawTransparentBitmap(canvas, 0, 0, clDefault, downGlyph_);
        else
            canvas->Draw(0, 0, downGlyph_);
        return;
    }
    const int w = upGlyph_->Width(), h = upGlyph_->Height();
    TBitmap up, active;
    up.SetSize(w, h);
    active.SetSize(w, h);
    up.Canvas()->Draw(0, 0, upGlyph_);
    active.Canvas()->Draw(0, 0, activeGlyph_);
    TEffectBmp upBuffer(&up), activeBuffer(&active);
    upBuffer.Blend(activeBuffer, level_);
    if (glyphsTransparent_) {
        upBuffer.Draw(up.Canvas(), 0, 0);
        DrawTransparentBitmap(canvas, 0, 0, clDefault, &up);
    } else {
        upBuffer.Draw(canvas, 0, 0);
    }
}

void tVQGifButton::startFade(bool in) {
    timer_->OnTimer = [this, in](TObject*) { in ? fadeInTick() : fadeOutTick(); };
    timer_->SetEnabled(true);
}

void tVQGifButton::fadeInTick() {
    if (level_ >= 1) {
        timer_->SetEnabled(false);
        level_ = 1;
        return;
    }
    level_ += 0.1;
    Redraw();
}

void tVQGifButton::fadeOutTick() {
    if (level_ > 0) {
        level_ -= 0.1;
        Redraw();
        return;
    }
    timer_->SetEnabled(false);
    level_ = 0;
}

void tVQGifButton::MouseEnter() {
    inside_ = true;
    if (!pressed_ || !hasDown()) {
        startFade(true);
    } else {
        level_ = 1;
        Redraw();
    }
    if (activeSound_) activeSound_->Play();
    TEffectGControl::MouseEnter();
}

void tVQGifButton::MouseLeave() {
    inside_ = false;
    if (pressed_ && hasDown()) {
        level_ = 1;
        Redraw();
    }
    startFade(false);
    TEffectGControl::MouseLeave();
}

void tVQGifButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && !pressed_) {
        pressed_ = true;
        inside_ = true;
        if (hasDown()) {
            timer_->SetEnabled(false);
            Redraw();
        }
    }
    TEffectGControl::MouseDown(Button, Shift, X, Y);
}

void tVQGifButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && pressed_) {
        pressed_ = false;
        // The pointer may have left without a leave event while captured.
        inside_ = X >= 0 && Y >= 0 && X < Width() && Y < Height();
        if (hasDown() && !timer_->Enabled()) {
            level_ = inside_ ? 1 : 0;
            Redraw();
        }
    }
    TEffectGControl::MouseUp(Button, Shift, X, Y);
}

// The window layer calls this after a left release inside the button (never
// for a release outside), so the click sound comes first and then OnClick.
void tVQGifButton::Click() {
    if (clickSound_) clickSound_->Play();
    TEffectGControl::Click();
}
