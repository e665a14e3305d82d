// The small buttons the library's edits carry at their right edge: their
// settings (main button and additional buttons), the button control with
// the up/down auto-repeat, and the painter of button faces with its
// process-wide cache of pre-painted faces. Which control places the buttons
// and what a press does belongs to the owning edit (DBCtrlsEh).
#pragma once

#include "Buttons.h"
#include "ComCtrls.h"
#include "Graphics.h"
#include "Variants.h"

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

// Gives a button control its picture: Glyph for the glyph style, else the
// face of its style painted W x H over ParentColor.
void SetButtonFace(TEditButtonControlEh* Button, TEditButtonStyleEh Style, TBitmap* Glyph, int W, int H,
                   TColor ParentColor, bool Flat, bool Active, bool Enabled);

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
    // As many items as other has, each a copy of its counterpart; one
    // change is reported for the whole collection.
    void Assign(const TEditButtonsEh& other);
    // Fired with the changed item, or nullptr for the whole collection.
    std::function<void(TEditButtonEh*)> OnInternalChange;

private:
    std::vector<std::unique_ptr<TVisibleEditButtonEh>> items_;
};

// ------------------------------------------------- drop-down pieces --

class TField;
class TDataSet;
class TStringList;
class TFont;

// Whoever drops a window down and is closed by it (the edits, the grid's
// in-place editor).
class IDropDownOwnerEh {
public:
    virtual ~IDropDownOwnerEh() = default;
    virtual void CloseUp(bool Accept) = 0;
};

// Messages between a drop-down and the control that shows it.
constexpr unsigned SizeGripSideMessage = WM_USER + 100; // WParam: 0 left, 1 right, 2 top, 3 bottom

// A press on a drop-down's button (or on the edit that dropped it down)
// dragged into the open drop-down goes on there as the drop-down's own
// press: the drop-down follows the pointer and the release there chooses,
// as a click would. The control that took the press keeps getting the
// mouse and passes on what it gets.
class TDropDownMouseTrackEh {
public:
    // A move to (X, Y) of Source with the button held. Nothing happens
    // until the pointer first lies in Area (DropDown's client coordinates);
    // then DropDown takes the press there, and every later move. True while
    // a drop-down has the press.
    bool Move(TControl* Source, TControl* DropDown, const TRect& Area, int X, int Y);
    // The release at (X, Y) of Source: passed on (true) while a drop-down
    // has the press.
    bool Release(TControl* Source, int X, int Y);
    bool Tracking() const { return target_ != nullptr; }
    void Cancel() { target_ = nullptr; }

private:
    TControl* target_ = nullptr;
};

// The press that closes a button's drop-down (a menu, a calendar) lands on
// the button once the drop-down has gone; it must not open it again. Post
// marks the button for the events already waiting; Take, at the button's
// next press, answers whether that press is the closing one.
class TReleaseButtonEh {
public:
    void Post(TControl* Owner, TObject* Button);
    bool Take(TObject* Button);

private:
    TObject* pending_ = nullptr;
    unsigned serial_ = 0;
};

// Pops Menu up at Button's bottom-left corner. Once it has gone the button
// is let up (no click: the menu took the press's release) and Release marks
// the press that may have closed it.
void PopupButtonMenu(TPopupMenu* Menu, TControl* Owner, TControl* Button, TReleaseButtonEh& Release);

// An extra first row of a drop-down list with its own texts and key value
// (a "none" or "all" entry).
class TSpecRowEh : public TPersistent {
public:
    // Owner: the control whose colour and font the row follows until it
    // gets its own; may be nullptr.
    explicit TSpecRowEh(TControl* Owner);
    ~TSpecRowEh() override;
    std::string ClassName() const override { return "TSpecRowEh"; }
    // Copies everything but ShortCut, the colour through its getter.
    void Assign(TPersistent* Source) override;

    const std::string& CellsText() const { return cellsText_; }
    void SetCellsText(const std::string& v);
    // Cell Index of the parsed texts; "" outside them.
    std::string CellTextAt(int Index) const;
    int CellCount() const { return int(cells_.size()); }
    TColor Color() const;
    void SetColor(TColor v);
    bool ColorAssigned() const { return colorAssigned_; }
    TFont* Font() const;
    void SetFont(TFont* v);
    bool FontAssigned() const { return fontAssigned_; }
    int ShortCut = 0x8000 | 46; // Alt+Delete
    bool ShowIfNotInKeyList() const { return showIfNotInKeyList_; }
    void SetShowIfNotInKeyList(bool v);
    const Variant& Value() const { return value_; }
    void SetValue(const Variant& v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool RowSelected = false;
    void LockChanges() { ++lock_; }
    void UnlockChanges();

    TNotifyEvent OnInternalChange;

    // The quoted, ";"-separated cell texts (a doubled quote is one quote).
    static std::vector<std::string> SplitCellsText(const std::string& text);

private:
    void notifyChanged();
    TControl* owner_;
    std::string cellsText_;
    std::vector<std::string> cells_;
    TColor color_ = clWindow;
    bool colorAssigned_ = false;
    std::unique_ptr<TFont> font_;
    bool fontAssigned_ = false;
    bool copyingFont_ = false;
    bool showIfNotInKeyList_ = true;
    Variant value_;
    bool visible_ = false;
    int lock_ = 0;
};

enum TGripCornerEh { gcTopLeftEh, gcTopRightEh, gcBottomRightEh, gcBottomLeftEh };

// The resize grip in a corner of a drop-down window. Dragging it resizes the
// parent within the screen's work area; a grip on the top or left side keeps
// the opposite edges where they are.
class TSizeGripEh : public TCustomControl {
public:
    explicit TSizeGripEh(TComponent* AOwner);
    std::string ClassName() const override { return "TSizeGripEh"; }
    TGripCornerEh Corner() const { return corner_; }
    void SetCorner(TGripCornerEh v);
    bool TriangleShape() const { return triangle_; }
    void SetTriangleShape(bool v);
    // Puts the grip into its corner of the parent's client area.
    void SnapToCorner();
    // 0 left, 1 right, 2 top, 3 bottom: moves to that side of the corner.
    void MoveToSide(int Side);
    void ShowGrip(bool v) { SetVisible(v); }
    TNotifyEvent OnParentResized;

    // One drag step in numbers (screen coordinates): from the parent's
    // bounds at the press and the pointer's travel, the new bounds, kept
    // inside work.
    static TRect DragBounds(TGripCornerEh corner, const TRect& atPress, int dx, int dy, const TRect& work);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    virtual void DoParentResized();

private:
    TGripCornerEh corner_ = gcBottomRightEh;
    bool triangle_ = true;
    bool dragging_ = false;
    TPoint pressPos_{0, 0};
    TRect parentAtPress_;
};

// The month calendar a date cell or date edit drops down. Enter or a click
// on a day accepts, Esc cancels; the month buttons keep it open.
class TPopupMonthCalendarEh : public TMonthCalendar {
public:
    explicit TPopupMonthCalendarEh(TComponent* AOwner);
    std::string ClassName() const override { return "TPopupMonthCalendarEh"; }
    // Closes the owner later (after the events already waiting).
    void PostCloseUpMessage(bool Accept);

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void Click() override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;

private:
    void ownerCloseUp(bool Accept);
};

// The fields named in FieldNames (";"-separated), in order, appended to
// List when given; "Field '%s' not found" for the first missing name.
void CollectFieldsByNames(std::vector<TField*>* List, TDataSet* DataSet, const TComponent* ErrorComponent,
                          const std::string& FieldNames);
std::vector<TField*> FieldsByNames(TDataSet* DataSet, const TComponent* ErrorComponent, const std::string& FieldNames);
// Null clears the fields; otherwise one field takes Value, several the
// elements of an array value in order.
void AssignFieldValues(TDataSet* DataSet, const std::string& FieldNames, const Variant& Value);
