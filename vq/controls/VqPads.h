// The two small pop-ups the library's edits and grids share: the number
// pad, a four-function calculator whose display follows into the edit
// (Enter accepts, Esc clears or cancels), and the candidate list of the
// library's own input method (up to eight lines "·n: word", the current one
// red). Each shows inside the form that holds its parent, so it is owned by
// that form's window and cannot outlive it.
#pragma once

#include "Controls.h"

#include <memory>
#include <string>

class TStrings;

class TVQNumPad : public TCustomControl {
public:
    static constexpr int NoKey = 19;
    enum TPadState { psResult, psEntering, psError };

    explicit TVQNumPad(TComponent* AOwner);
    std::string ClassName() const override { return "TVQNumPad"; }

    const std::string& DisplayText() const { return text_; }
    // Fires OnValueChange when the display changes.
    void SetDisplayText(const std::string& v);
    // The display as a number; 0 when empty, not a number or an error.
    double Value() const;
    // "%31.16f" without trailing zeros or a trailing separator.
    void SetValue(double v);
    TPadState State() const { return state_; }
    // Shows the pad with its right edge at (x, y) of its parent's client
    // area, kept inside the form.
    void Popup(int x, int y);
    void Accept();
    void Cancel();
    // The calculator: one key's character (digits, the decimal separator,
    // "_" sign change, 8 backspace, 13 Enter, "%", "*", "+", "-", "/", "=",
    // "C").
    void ProcessKey(char32_t key);
    // The key index under a client point, or NoKey.
    static int KeyAt(int x, int y);
    static char32_t KeyChar(int key);

    TNotifyEvent OnAccept;
    TNotifyEvent OnCancel;
    TNotifyEvent OnValueChange;

protected:
    void Paint() override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseLeave() override;
    void DoExit() override;
    bool WantReturns() const override { return true; }
    bool WantEscape() const override { return true; }

private:
    void startEntry();
    int hot_ = NoKey, pressed_ = NoKey;
    bool inside_ = false;
    TPadState state_ = psResult;
    std::string text_ = "0";
    char32_t pending_ = '=';
    double operand_ = 0;
};

class TVqIMEPad : public TCustomControl {
public:
    explicit TVqIMEPad(TComponent* AOwner);
    ~TVqIMEPad() override;
    std::string ClassName() const override { return "TVqIMEPad"; }

    TStrings* Items() const { return items_.get(); }
    // The highlighted line, from 1.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int v);
    TWinControl* EditControl() const { return editControl_; }
    void SetEditControl(TWinControl* v) { editControl_ = v; }
    // The lines shown: at most eight.
    int LineCount() const;
    // Sized to the widest candidate; shown at (x, y) of its parent's client
    // area when there are candidates, hidden when there are none.
    void Popup(int x, int y);

protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;

private:
    std::unique_ptr<TStrings> items_;
    TWinControl* editControl_ = nullptr;
    int itemIndex_ = 1;
};
