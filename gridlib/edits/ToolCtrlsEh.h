// The small buttons the library's edits carry at their right edge: their
// settings (main button and additional buttons), the button control with
// the up/down auto-repeat, and the painter of button faces with its
// process-wide cache of pre-painted faces. Which control places the buttons
// and what a press does belongs to the owning edit (DBCtrlsEh).
#pragma once

#include "Buttons.h"
#include "Graphics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TTimer;
class TPopupMenu;
class TWinControl;

enum TEditButtonStyleEh { ebsDropDownEh, ebsEllipsisEh, ebsGlyphEh, ebsUpDownEh, ebsPlusEh, ebsMinusEh };
enum TButtonFaceKindEh { fkDropDownEh, fkEllipsisEh, fkUpDownEh, fkCheckBoxEh, fkPlusEh, fkMinusEh };

// The face kind a button style paints (a picture button is painted as a
// speed button and never asks).
TButtonFaceKindEh FaceKindOfStyle(TEditButtonStyleEh style);

using TButtonClickEventEh = std::function<void(TObject* Sender, bool& Handled)>;
using TButtonDownEventEh = std::function<void(TObject* Sender, bool TopButton, bool& AutoRepeat, bool& Handled)>;

// The identity of one cached face; fields a kind does not use stay 0.
struct ButtonFaceKey {
    int32_t Width = 0, Height = 0;
    uint8_t Kind = 0, Flat = 0, Zero1 = 0, Zero2 = 0;
    uint8_t Pressed = 0; // check boxes: the check state 0..2
    uint8_t Active = 0, Enabled = 0, LowerHalf = 0;
    friend bool operator==(const ButtonFaceKey&, const ButtonFaceKey&) = default;
};

// Faces painted once per distinct key and afterwards only copied. Entries
// are never evicted, only dropped all together by Clear.
class TButtonsBitmapCache {
public:
    TButtonsBitmapCache();
    ~TButtonsBitmapCache();
    // The cached face (painted and added on a miss); owned by the cache.
    TBitmap* GetFaceBitmap(ButtonFaceKey key);
    void Clear();
    int Count() const { return int(entries_.size()); }

private:
    struct Entry;
    std::vector<std::unique_ptr<Entry>> entries_;
};

TButtonsBitmapCache& ButtonFaceCache();
void FlushButtonFaceCache();

// Paints a face into R of the canvas; PressedPart 0 none, 1 whole or
// upper half, 2 lower half; CheckState is read for check boxes only.
// Never raises for empty or negative sizes.
void PaintEditButtonFace(TCanvas* canvas, TRect R, TColor parentColor, TButtonFaceKindEh kind, int pressedPart,
                         bool flat, bool active, bool enabled, int checkState);

// Width of a flat button whose own width is 0: two thirds of the screen
// font's height, odd, at most the scroll-arrow width.
int CalcFlatButtonWidth();
extern int FlatEditButtonWidth;
// Width of a non-flat button whose own width is 0.
constexpr int kScrollArrowWidth = 17;

// The painted button inside an edit. Up/down buttons repeat: OnDown at the
// press, again after 400 ms and then every 100 ms while held on the same half.
//
//   up --MouseDown(left)--> down, PressedPart 1|2, OnDown, timer 400
//   down --tick--> OnDown, timer 100 (AutoRepeat false: timer stops)
//   down --MouseMove to the other half--> up (ticks pause)
//   any --MouseUp--> up, timer stops; a release off the pressed half: no click
class TEditButtonControlEh : public TSpeedButton {
public:
    explicit TEditButtonControlEh(TComponent* AOwner);
    std::string ClassName() const override { return "TEditButtonControlEh"; }
    TEditButtonStyleEh ButtonStyle() const { return style_; }
    void SetButtonStyle(TEditButtonStyleEh v);
    bool Hot() const { return hot_; }
    void SetHot(bool v);
    bool HeldDown() const { return heldDown_; }
    void SetHeldDown(bool v);
    int PressedPart() const { return pressedPart_; }
    bool SuppressClick() const { return suppressClick_; }
    TTimer* RepeatTimer() const { return timer_; }
    void FireOnDown(bool TopButton, bool& AutoRepeat);
    void Click() override;
    // The timer's tick, public so that a test can drive the repeat.
    void RepeatTimerTick();

    TButtonDownEventEh OnDown;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    void updatePressedPart(int X, int Y);
    void restartRepeatTimer(int interval);
    TEditButtonStyleEh style_ = ebsDropDownEh;
    bool hot_ = false, heldDown_ = false, suppressClick_ = false;
    // The button is in its down state (pressed and the pointer on the pressed part).
    bool pressed_ = false;
    int pressedPart_ = 0;
    TTimer* timer_ = nullptr;
};

// The settings of one button.
class TEditButtonEh {
public:
    explicit TEditButtonEh(TWinControl* editControl = nullptr);
    virtual ~TEditButtonEh();
    // Copies Glyph, NumGlyphs, Style, ShortCut, Visible and Width.
    void Assign(const TEditButtonEh& other);

    TPopupMenu* DropdownMenu = nullptr;
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(const TBitmap* v);
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v);
    int NumGlyphs() const { return numGlyphs_; }
    // Clamped to 1..4.
    void SetNumGlyphs(int v);
    // Key code with the class library's modifier bits (0x2000 Shift,
    // 0x4000 Ctrl, 0x8000 Alt); 0 none.
    int ShortCut = 0;
    TEditButtonStyleEh Style() const { return style_; }
    void SetStyle(TEditButtonStyleEh v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    // 0 or less: automatic.
    int Width() const { return width_; }
    void SetWidth(int v);
    TWinControl* EditControl() const { return editControl_; }

    TButtonClickEventEh OnClick;
    TButtonDownEventEh OnDown;
    std::function<void(TEditButtonEh*)> OnInternalChange;

protected:
    void NotifyChanged();
    bool visible_ = false;

private:
    TWinControl* editControl_;
    std::unique_ptr<TBitmap> glyph_;
    std::string hint_;
    int numGlyphs_ = 1;
    TEditButtonStyleEh style_ = ebsDropDownEh;
    int width_ = 0;
};

// The main button of a drop-down edit: visible, Alt+Down.
class TVisibleEditButtonEh : public TEditButtonEh {
public:
    explicit TVisibleEditButtonEh(TWinControl* editControl = nullptr);
};

// The additional buttons of an edit, in order.
class TEditButtonsEh {
public:
    TEditButtonsEh() = default;
    TVisibleEditButtonEh* Add();
    int Count() const { return int(items_.size()); }
    TVisibleEditButtonEh* Items(int i) const { return items_.at(size_t(i)).get(); }
    void Clear();
    // Fired with the changed item, or nullptr for the whole collection.
    std::function<void(TEditButtonEh*)> OnInternalChange;

private:
    std::vector<std::unique_ptr<TVisibleEditButtonEh>> items_;
};
