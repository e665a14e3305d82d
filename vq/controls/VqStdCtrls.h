// The library's basic controls: keyboard-walking check box and group box,
// a check list with three-state items and images, a label with raised or
// recessed text, a flat glyph button with an optional drop-down arrow part,
// a panel that tiles a picture continued from its parent panels, and the
// flat bitmap button. The import wizard and the library's dialogs are made
// of them; the grid, pads and calendars live in their own units.
#pragma once

#include "Buttons.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "StdCtrls.h"

#include <memory>
#include <string>
#include <vector>

class TImageList;
class TPicture;

// Moves the focus from control to the next (or previous) dialog control of
// its form, as Enter and the arrow keys of the library's controls do.
void VqSelectNext(TWinControl* control, bool forward);

class TVQPopupMenu : public TPopupMenu {
public:
    explicit TVQPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) { SetAutoHotkeys(maManual); }
    std::string ClassName() const override { return "TVQPopupMenu"; }
};

// Enter or Down -> next control, Up -> previous; keypad "+" or Ctrl toggles.
class TVQCheckBox : public TCheckBox {
public:
    explicit TVQCheckBox(TComponent* AOwner) : TCheckBox(AOwner) {}
    std::string ClassName() const override { return "TVQCheckBox"; }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
};

// Enter or Right -> next control, Left -> previous.
class TVQGroupBox : public TGroupBox {
public:
    explicit TVQGroupBox(TComponent* AOwner) : TGroupBox(AOwner) {}
    std::string ClassName() const override { return "TVQGroupBox"; }

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
};

enum TVQListBoxStyleItem { lbsCheckBox, lbsBitmap };
class TVQListBoxStyle {
public:
    TVQListBoxStyle() = default;
    TVQListBoxStyle(std::initializer_list<TVQListBoxStyleItem> items) {
        for (auto i : items) bits_ |= 1u << i;
    }
    bool Contains(TVQListBoxStyleItem i) const { return bits_ & (1u << i); }

private:
    unsigned bits_ = 0;
};

// A check list: every item has a state (unchecked, checked, grayed), an
// enabled flag and an image index. A click in the first 15 pixels of a row,
// Space, keypad "+", Ctrl or a double click toggle the current item; Enter
// moves on to the next control. States follow items by position.
class TVQListBox : public TListBox {
public:
    explicit TVQListBox(TComponent* AOwner);
    std::string ClassName() const override { return "TVQListBox"; }

    bool GetChecked(int index) const { return GetState(index) == cbChecked; }
    void SetChecked(int index, bool v) { SetState(index, v ? cbChecked : cbUnchecked); }
    TCheckBoxState GetState(int index) const;
    void SetState(int index, TCheckBoxState v);
    bool GetItemEnabled(int index) const;
    void SetItemEnabled(int index, bool v);
    // Reading or writing past the list pads it with "0" entries first.
    int GetImageIndex(int index);
    void SetImageIndex(int index, int value);
    int ImageIndexCount() const { return int(imageIndexes_.size()); }
    // Unchecked -> grayed (AllowGrayed) or checked; checked -> unchecked;
    // grayed -> checked; then OnClickCheck. Only for an existing, enabled
    // item.
    void ToggleClickCheck(int index);

    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool v) { allowGrayed_ = v; }
    bool Flat() const { return flat_; }
    void SetFlat(bool v) { flat_ = v; }
    TVQListBoxStyle ListBoxStyle() const { return style_; }
    void SetListBoxStyle(TVQListBoxStyle v) {
        style_ = v;
        Invalidate();
    }
    TImageList* ImageList() const { return images_; }
    void SetImageList(TImageList* v) {
        images_ = v;
        Invalidate();
    }
    TNotifyEvent OnClickCheck;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DblClick() override;

private:
    struct ItemState {
        TCheckBoxState state = cbUnchecked;
        bool enabled = true;
    };
    ItemState* record(int index);
    const ItemState* record(int index) const;
    void drawItem(int index, TRect rect, TOwnerDrawState state);
    std::vector<ItemState> states_;
    std::vector<std::string> imageIndexes_;
    bool allowGrayed_ = false;
    bool flat_ = true;
    TVQListBoxStyle style_;
    TImageList* images_ = nullptr;
};

enum TVQTextStyle { tsNone, tsRaised, tsRecessed, tsShadow, tsFrame };
enum TVQFrameSide { fsTop, fsBottom, fsLeft, fsRight };
class TVQFrameStyle {
public:
    TVQFrameStyle() = default;
    TVQFrameStyle(std::initializer_list<TVQFrameSide> items) {
        for (auto i : items) bits_ |= 1u << i;
    }
    bool Contains(TVQFrameSide i) const { return bits_ & (1u << i); }

private:
    unsigned bits_ = 0;
};

// A one-line label that paints its own text: raised, recessed or shadowed,
// with frame lines on chosen sides. With LinkControl it looks like a link
// while the mouse is over it.
class TVQLabel : public TGraphicControl {
public:
    explicit TVQLabel(TComponent* AOwner);
    std::string ClassName() const override { return "TVQLabel"; }
    void SetText(const std::string& v) override;

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    TVQTextStyle TextStyle() const { return textStyle_; }
    void SetTextStyle(TVQTextStyle v);
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor v);
    int ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int v);
    TVQFrameStyle FrameStyle() const { return frameStyle_; }
    void SetFrameStyle(TVQFrameStyle v);
    TControl* LinkControl() const { return linkControl_; }
    void SetLinkControl(TControl* v) { linkControl_ = v; }
    void Click() override;

protected:
    void Paint() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void FontChanged() override;

private:
    void adjustSize();
    bool autoSize_ = true;
    bool transparent_ = false;
    bool showAccelChar_ = true;
    TAlignment alignment_ = taLeftJustify;
    TVQTextStyle textStyle_ = tsNone;
    TColor shadowColor_ = clBtnShadow;
    int shadowDepth_ = 1;
    TVQFrameStyle frameStyle_;
    TControl* linkControl_ = nullptr;
};

enum TVQButtonStyle { sbsRightButton, sbsNormal, sbsButtonMenu };
enum TVQGlyphLayout { GlyphTop, GlyphBottom, GlyphLeft, GlyphRight };

// A flat glyph button: a frame only while the mouse is over it. With
// sbsRightButton a 9-pixel arrow part on the right pops the PopupMenu on
// release instead of clicking; sbsButtonMenu never clicks and pops the menu
// from anywhere on the button.
//
//   Click fires only after a press that started on the main part and a
//   release while the button is visible and enabled.
class TVQCustomButton : public TCustomControl {
public:
    explicit TVQCustomButton(TComponent* AOwner);
    ~TVQCustomButton() override;
    std::string ClassName() const override { return "TVQCustomButton"; }
    void SetText(const std::string& v) override;

    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* v);
    TVQButtonStyle ButtonStyle() const { return style_; }
    void SetButtonStyle(TVQButtonStyle v);
    TVQGlyphLayout Layout() const { return layout_; }
    void SetLayout(TVQGlyphLayout v);
    int ArrowWidth() const { return style_ == sbsNormal ? 0 : 9; }
    TRect MainRect() const;
    TRect ArrowRect() const;
    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }
    void Click() override;

protected:
    void Paint() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void EnabledChanged() override;
    void FontChanged() override;

private:
    void drawCaption(TCanvas* c, const TRect& r, unsigned fmt, int engrave);
    std::unique_ptr<TBitmap> glyph_;
    TVQButtonStyle style_ = sbsRightButton;
    TVQGlyphLayout layout_ = GlyphLeft;
    bool hot_ = false;
    bool pressed_ = false;
    bool main_ = true;
};

class TVqButton : public TVQCustomButton {
public:
    explicit TVqButton(TComponent* AOwner) : TVQCustomButton(AOwner) {}
    std::string ClassName() const override { return "TVqButton"; }
};

// A panel whose background tiles a picture: its own, or the nearest parent
// panel's, continued so the tiles run on seamlessly across nested panels.
class TVQPanel : public TPanel {
public:
    explicit TVQPanel(TComponent* AOwner);
    ~TVQPanel() override;
    std::string ClassName() const override { return "TVQPanel"; }
    TPicture* Picture() const { return picture_.get(); }
    void SetPicture(TPicture* v);
    bool Splitter() const { return splitter_; }
    void SetSplitter(bool v);
    const std::string& ParentName() const { return parentName_; }
    void SetParentName(const std::string& v) { parentName_ = v; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    bool onSizingEdge(int X, int Y) const;
    std::unique_ptr<TPicture> picture_;
    bool splitter_ = false;
    std::string parentName_;
    bool sizing_ = false;
    TPoint sizeStart_;
    int startExtent_ = 0;
};

class TVQBitBtn : public TBitBtn {
public:
    explicit TVQBitBtn(TComponent* AOwner) : TBitBtn(AOwner) {}
    std::string ClassName() const override { return "TVQBitBtn"; }
};
