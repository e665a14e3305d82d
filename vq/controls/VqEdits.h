// The library's edit: focus walks on with Enter and Down (back with Up), a
// focused edit takes the info-background colour, ValidChars filters what
// may be typed, and an embedded button at the right edge (clicked, or
// keypad "+") opens the shared number pad or date pad, or runs
// OnButtonClick. The lookups of the find type belong to the shared data
// module, absent here: a find button does nothing without OnButtonClick.
#pragma once

#include "StdCtrls.h"

#include <memory>
#include <string>

class TVQNumPad;
class TVQDatePad;
class TVQEdit;

// Hint of a visible edit button and its hot key.
inline constexpr const char* HotKeyHintButton = " [+键]: 弹出对话框选择 ";

class TVQEditButton : public TGraphicControl {
public:
    explicit TVQEditButton(TVQEdit* edit);
    ~TVQEditButton() override;
    std::string ClassName() const override { return "TVQEditButton"; }
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* v);
    // Empty when hidden or without a glyph: nothing to click then.
    TRect ButtonRect() const;
    void Layout();
    bool Down() const { return down_; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
    TVQEdit* edit_;
    std::unique_ptr<TBitmap> glyph_;
    bool down_ = false;
};

enum TVQEditDataType { edtText, edtNumber, edtDate, edtPickList, edtFind };

class TVQEdit : public TEdit {
public:
    explicit TVQEdit(TComponent* AOwner);
    ~TVQEdit() override;
    std::string ClassName() const override { return "TVQEdit"; }

    const std::string& ValidChars() const { return validChars_; }
    void SetValidChars(const std::string& v) { validChars_ = v; }
    // Enter and Esc never; anything else when ValidChars is empty or has it.
    bool IsValidChar(char32_t c) const;
    bool EditCanModify() const { return !ReadOnly(); }
    TVQEditDataType DataType() const { return dataType_; }
    // Text hides the button; number, date and find show it with their glyph.
    void SetDataType(TVQEditDataType v);
    TVQEditButton* Button() const { return button_; }
    bool DroppedDown() const { return droppedDown_; }
    // OnButtonClick when assigned, else the number or date pad opens (or,
    // open already, closes and the text that was there returns). The date
    // pad shows the edit's day as "2006-3-5" while it moves and writes the
    // short date ("2006-03-05") when accepted.
    virtual void ButtonClick();
    void ShowPopup(bool show);
    void AcceptPopup();
    void CancelPopup();

    TNotifyEvent OnButtonClick;
    std::function<void(TObject* Sender, const std::string& Hint)> OnHotKeyHint;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void DoEnter() override;
    void DoExit() override;
    void DblClick() override;
    void Resize() override;
    void ColorChanged() override;
    void EnabledChanged() override;

private:
    std::string validChars_;
    TVQEditDataType dataType_ = edtText;
    TVQEditButton* button_;
    TColor restoreColor_ = clWindow;
    bool focusColouring_ = false;
    bool droppedDown_ = false;
    std::string savedText_;
};

// The pads all edits share (nullptr until one needs it, and again once its
// owner is gone).
TVQNumPad* SharedNumPad();
TVQDatePad* SharedDatePad();
