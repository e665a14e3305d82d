// A picture button without a window: it shows its up picture, fades to its
// active picture while the mouse is over it and back when it leaves, shows
// its down picture while pressed, and may play a sound on entering and on
// a click. A click is a left press and release both inside the button.
//
//   level 0 --mouse enters: fade in (+0.1 a tick)--> level 1
//   level 1 --mouse leaves: fade out (-0.1 a tick)--> level 0
//   (a leave during a fade in reverses from the level reached)
//
// Visible state: (inside, pressed, level); the fade timer runs only while
// a fade is under way.
#pragma once

#include "uVQGifVclBase.h"

#include <string>

class TBitmap;
class TTimer;
class TepWavePlayer;

class tVQGifButton : public TEffectGControl {
public:
    explicit tVQGifButton(TComponent* AOwner);
    ~tVQGifButton() override;
    std::string ClassName() const override { return "tVQGifButton"; }

    TBitmap* UpGlyph() const { return upGlyph_; }
    TBitmap* DownGlyph() const { return downGlyph_; }
    TBitmap* ActiveGlyph() const { return activeGlyph_; }
    void SetUpGlyph(TBitmap* v);
    void SetDownGlyph(TBitmap* v);
    void SetActiveGlyph(TBitmap* v);
    bool GlyphsTransparent() const { return glyphsTransparent_; }
    void SetGlyphsTransparent(bool v);
    // The fade timer's interval in milliseconds.
    unsigned Interval() const;
    void SetInterval(unsigned ms);
    // Not owned; cleared when the player goes away.
    TepWavePlayer* ClickSound() const { return clickSound_; }
    void SetClickSound(TepWavePlayer* v);
    TepWavePlayer* ActiveSound() const { return activeSound_; }
    void SetActiveSound(TepWavePlayer* v);

    std::string caption;
    int VersionID = 0;

    // 0 = up picture, 1 = active picture.
    double Level() const { return level_; }
    bool Inside() const { return inside_; }
    bool Pressed() const { return pressed_; }
    // The timer that drives the fades (its OnTimer is the running fade).
    TTimer* FadeTimer() const { return timer_; }

    // ClickSound, then OnClick.
    void Click() override;

protected:
    void PaintEffect(TCanvas* canvas) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void startFade(bool in);
    void fadeInTick();
    void fadeOutTick();
    bool hasDown() const;

    double level_ = 0;
    TTimer* timer_;
    TBitmap* downGlyph_;
    TBitmap* upGlyph_;
    TBitmap* activeGlyph_;
    bool inside_ = false;
    bool pressed_ = false;
    TepWavePlayer* clickSound_ = nullptr;
    TepWavePlayer* activeSound_ = nullptr;
    bool glyphsTransparent_ = false;
};
