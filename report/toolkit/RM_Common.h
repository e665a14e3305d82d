// Tool windows that remember where they were, a docked tool window that is
// made wider or taller by dragging its inner edge, and the numeric spin
// edit of the report dialogs.
#pragma once

#include <initializer_list>
#include <memory>

#include "ComCtrls.h"
#include "StdCtrls.h"
#include "report/toolkit/RM_TB97.h"

// The engine's settings root below the current user.
extern const char* const RMRegRootKey;

// Toolbars under "ToolBar\<name>", resizeable tool windows under
// "Form\<class>": visibility, position (dock position and row when
// docked), size, the dock's name and whether docked.
void SaveToolWindowPosition(TCustomToolWindow97* w);
void RestoreToolWindowPosition(TCustomToolWindow97* w);
void SaveToolWindowPositions(std::initializer_list<TCustomToolWindow97*> ws);
void RestoreToolWindowPositions(std::initializer_list<TCustomToolWindow97*> ws);

class TRMResizeableToolWindow : public TToolWindow97 {
public:
    explicit TRMResizeableToolWindow(TComponent* owner);
    std::string ClassName() const override { return "TRMResizeableToolWindow"; }
    void SavePosition();
    void RestorePosition();
    // Client point on a sizing edge: 1 top, 2 left, 3 bottom, 4 right, 0
    // none (always 0 while floating).
    int SizeHitTest(int x, int y) const;
    // The edge drag, also driven by tests.
    void BeginSizing(int edge, TPoint screen);
    void SizeTo(TPoint screen);
    void EndSizing(bool accept);
    bool Sizing() const { return edge_ != 0; }
    TSize OrderControls(bool vertical) override;

protected:
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
    void MouseMove(TShiftState s, int x, int y) override;
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;
    void KeyDown(Word& key, TShiftState s) override;

private:
    int edge_ = 0, startSize_ = 0, startCoord_ = 0;
    struct StartSize {
        TToolWindow97* window;
        int width, height;
    };
    std::vector<StartSize> starts_;
    void apply(int size);
};

enum TRMValueType { rmvtInteger, rmvtFloat };

// The spin edit's arrow pair: the upper half steps up, the lower down; it
// never holds a position of its own.
class TRMUpDown : public TGraphicControl {
public:
    explicit TRMUpDown(TComponent* owner);
    std::string ClassName() const override { return "TRxUpDown"; }
    std::function<void(bool up)> OnStep;

protected:
    void Paint() override;
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;

private:
    int pressed_ = 0; // 1 upper, 2 lower
};

// A number edit with up and down arrows; Up/Down keys step too.
class TRMSpinEdit : public TEdit {
public:
    explicit TRMSpinEdit(TComponent* owner);
    std::string ClassName() const override { return "TRMSpinEdit"; }

    TRMValueType ValueType() const { return valueType_; }
    void SetValueType(TRMValueType v);
    int Decimal() const { return decimal_; }
    void SetDecimal(int v);
    double Increment = 1;
    double MaxValue = 2147483647;
    double MinValue = 0;
    bool ArrowKeys = true;
    bool EditorEnabled = true;

    double Value() const;
    void SetValue(double v);
    int AsInteger() const { return int(Value()); }
    double CheckValue(double v) const;
    void UpClick();
    void DownClick();
    virtual bool IsValidChar(char32_t c) const;
    TRMUpDown* Button() const { return button_; }

    TNotifyEvent OnTopClick;
    TNotifyEvent OnBottomClick;

    void SetBounds(int l, int t, int w, int h) override;
    void SetParent(TWinControl* p) override;
    void SetEnabled(bool v) override;
    void SetVisible(bool v) override;

protected:
    void KeyDown(Word& key, TShiftState s) override;
    void KeyPress(char32_t& key) override;
    void DoExit() override;

private:
    TRMValueType valueType_ = rmvtInteger;
    int decimal_ = 2;
    TRMUpDown* button_;
    bool stepping_ = false;
    void step(double by);
    void placeButton();
};
