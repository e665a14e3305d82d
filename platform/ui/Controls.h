// The control hierarchy every window is built from: TControl (bounds, align,
// colour, font, mouse), TWinControl (children, focus, keys, tab order),
// TCustomControl (a focusable control that paints itself on a TCanvas and may
// carry scroll bars) and TGraphicControl (a painted control without focus).
// Each control owns one widget kept in its private part; nothing here shows a
// Qt type. Forms, standard controls and menus live in their own headers.
#pragma once

#include "Classes.h"
#include "Graphics.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TWinControl;
class TCustomForm;
class TPopupMenu;
class TControlPrivate;
class TCustomControl;
class TGraphicControl;

// Virtual key codes of the keyboard as the class library numbers them.
// Letters and digits are their upper-case ASCII codes ('A', '0').
enum : Word {
    VK_LBUTTON = 0x01,
    VK_RBUTTON = 0x02,
    VK_CANCEL = 0x03,
    VK_MBUTTON = 0x04,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_CLEAR = 0x0C,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SELECT = 0x29,
    VK_PRINT = 0x2A,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_HELP = 0x2F,
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60,
    VK_NUMPAD1,
    VK_NUMPAD2,
    VK_NUMPAD3,
    VK_NUMPAD4,
    VK_NUMPAD5,
    VK_NUMPAD6,
    VK_NUMPAD7,
    VK_NUMPAD8,
    VK_NUMPAD9,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F2,
    VK_F3,
    VK_F4,
    VK_F5,
    VK_F6,
    VK_F7,
    VK_F8,
    VK_F9,
    VK_F10,
    VK_F11,
    VK_F12,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
};

enum TShiftStateItem : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

// The modifier keys and mouse buttons held during an event: a small set.
//   TShiftState s; s << ssCtrl; if (s.Contains(ssCtrl)) ...
using TShiftState = TSet<TShiftStateItem>;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
// Form border styles; a control's border (panel, edit, custom control) uses
// only bsNone and bsSingle.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

using TCursor = int;
enum : TCursor {
    crDefault = 0,
    crNone = -1,
    crArrow = -2,
    crCross = -3,
    crIBeam = -4,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crUpArrow = -10,
    crHourGlass = -11,
    crDrag = -12,
    crNoDrop = -13,
    crHSplit = -14,
    crVSplit = -15,
    crMultiDrag = -16,
    crSQLWait = -17,
    crNo = -18,
    crAppStart = -19,
    crHelp = -20,
    crHandPoint = -21,
    crSizeAll = -22,
};

// Dragging one control onto another inside the program (not the desktop's
// drag and drop between programs).
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// Source: the control the drag began on. X, Y: client coordinates of Sender
// (OnEndDrag: of Target).
using TStartDragEvent = std::function<void(TObject* Sender)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

// Key events. Key is the virtual key code; a handler sets it to 0 to eat the
// key, or to another code (Enter -> VK_TAB moves to the next control).
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
// Character events. Key is one Unicode code point, so Enter is '\r' (13), Esc
// 27, Backspace 8, digits '0'..'9', and a typed Chinese character is its code
// point. A handler sets Key to 0 to swallow the character or replaces it.
using TKeyPressEvent = std::function<void(TObject* Sender, char32_t& Key)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;

// Messages a caller may Perform on a control. Only these are understood.
enum : unsigned {
    WM_SETREDRAW = 0x000B,
    WM_CLOSE = 0x0010,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_HSCROLL = 0x0114,
    WM_VSCROLL = 0x0115,
    // The left button at a point of the control's client area (LParam from
    // MouseLParam): the widget there takes a press, a move with the button
    // held, or the release, so that one control can hand a press it holds
    // on to another (a button's press dragged into its drop-down).
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    MK_LBUTTON = 0x0001, // WParam of WM_MOUSEMOVE: the left button is held
    WM_CUT = 0x0300,
    WM_COPY = 0x0301,
    WM_PASTE = 0x0302,
    WM_CLEAR = 0x0303,
    WM_UNDO = 0x0304,
    EM_SETSEL = 0x00B1,
    EM_SCROLLCARET = 0x00B7,
    WM_USER = 0x0400,
};
constexpr intptr_t MouseLParam(int X, int Y) {
    return intptr_t(uint16_t(int16_t(X))) | (intptr_t(uint16_t(int16_t(Y))) << 16);
}
struct TMessage {
    unsigned Msg = 0;
    intptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

// The base of everything placed on a form.
//
// Ownership: the Owner (a TComponent) frees the control; the Parent (a
// TWinControl) only contains it visually. Bounds are pixels relative to the
// parent's client area. Font and Color follow the parent while ParentFont /
// ParentColor are true; setting them on the control clears those flags.
//
// Every event handler runs behind the dispatch boundary: EAbort thrown from it
// is swallowed, any other exception goes to Application->HandleException.
class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;
    std::string ClassName() const override { return "TControl"; }
    // Also the widget's object name, so tools and tests find it.
    void SetName(const std::string& name) override;

    TWinControl* Parent() const;
    virtual void SetParent(TWinControl* AParent);
    // The form the control sits on (nullptr while unparented).
    TCustomForm* GetParentForm() const;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void SetLeft(int v);
    void SetTop(int v);
    void SetWidth(int v);
    void SetHeight(int v);
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const;
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientWidth(int v);
    void SetClientHeight(int v);
    virtual TRect ClientRect() const;
    TPoint ClientToScreen(TPoint p) const;
    TPoint ScreenToClient(TPoint p) const;

    TAlign Align() const;
    void SetAlign(TAlign v);
    bool Visible() const;
    virtual void SetVisible(bool v);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible and every parent up to the form visible.
    bool Showing() const;
    bool Enabled() const;
    virtual void SetEnabled(bool v);

    TColor Color() const;
    void SetColor(TColor v);
    bool ParentColor() const;
    void SetParentColor(bool v);
    TFont* Font() const;
    void SetFont(const TFont* v);
    bool ParentFont() const;
    void SetParentFont(bool v);

    // Caption and Text are one string, as in the class library.
    std::string Caption() const { return GetText(); }
    void SetCaption(const std::string& v) { SetText(v); }
    virtual std::string GetText() const;
    virtual void SetText(const std::string& v);
    std::string Text() const { return GetText(); }

    std::string Hint() const;
    void SetHint(const std::string& v);
    bool ShowHint() const;
    void SetShowHint(bool v);
    TCursor Cursor() const;
    void SetCursor(TCursor v);
    TPopupMenu* PopupMenu() const;
    void SetPopupMenu(TPopupMenu* v);

    void Invalidate();
    void Repaint();
    void Refresh() { Repaint(); }
    void Update();
    void BringToFront();
    void SendToBack();
    // Mouse capture: while set, mouse events go to this control wherever the
    // pointer is. A press captures implicitly until the release anyway.
    bool MouseCapture() const;
    void SetMouseCapture(bool v);

    // Dragging. With dmAutomatic a left press begins a drag (MouseDown of
    // this class), which starts once the pointer has moved Threshold pixels
    // (5 by default; Immediate: at once). While it runs the pointer moves
    // nothing but the drag: the control under it is asked by OnDragOver
    // (enter, move, leave) whether it takes the source, and the pointer
    // shows crDrag there, crNoDrop elsewhere. The release drops the source
    // on a control that took it (its OnDragDrop); OnEndDrag then tells the
    // source where it went (Target null: nowhere). A press and release
    // without the move is an ordinary click; Esc gives a running drag up.
    TDragMode DragMode() const;
    void SetDragMode(TDragMode v);
    void BeginDrag(bool Immediate, int Threshold = -1);
    // Ends a running drag: dropped where the pointer is (Drop), or given up.
    void EndDrag(bool Drop);
    // A drag of this control runs (started, not only pending).
    bool Dragging() const;
    TStartDragEvent OnStartDrag;
    TDragOverEvent OnDragOver;
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;

    // Makes the control a drop-down window of its parent's window (a
    // calendar or list under an edit): a borderless window of its own above
    // the others, placed in screen coordinates (SetBounds, Left, Top), that
    // shows without taking the activation or the focus from the window that
    // dropped it down, and that a modal parent window does not block.
    void SetDropDownWindow(bool v);
    bool DropDownWindow() const;
    // Runs fn once the events already waiting have been handled (a message
    // posted to the control's own queue); dropped when the control dies
    // first. fn's exceptions go to Application->HandleException.
    void PostCall(std::function<void()> fn);

    // Sends a message (WM_CHAR, WM_KEYDOWN, WM_PASTE, WM_CLOSE, EM_SETSEL,
    // WM_SETREDRAW, WM_VSCROLL/WM_HSCROLL...) through WndProc; returns Result.
    intptr_t Perform(unsigned Msg, intptr_t WParam = 0, intptr_t LParam = 0);

    // Runs OnClick (buttons and menu items override: ignored when disabled).
    virtual void Click();

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnResize;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    // For subclasses that bring their own widget: dd is adopted (owned).
    TControl(TComponent* AOwner, TControlPrivate* dd);

    virtual void WndProc(TMessage& Message);
    virtual void DblClick();
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Wheel turned over the control; return true when consumed.
    virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
    // The user asked for a context menu at MousePos (client coordinates):
    // true when the control deals with it itself, so that neither its
    // PopupMenu nor a parent's comes up.
    virtual bool DoContextPopup(TPoint MousePos) { return false; }
    virtual void MouseEnter();
    virtual void MouseLeave();
    // The control's size changed (after the children were aligned).
    virtual void Resize();
    // Font or colour changed (own or inherited from the parent).
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void EnabledChanged();

public:
    TMouseWheelEvent OnMouseWheel;

protected:
    TControlPrivate* d_;

private:
    friend class TControlPrivate;
    friend class TWinControl;
};

// A control that can hold other controls, take the focus and receive keys.
//
// Key pipeline for a key pressed while this control has the focus:
//   1. the form's OnKeyDown when the form has KeyPreview, then KeyDown() here
//      (which fires OnKeyDown); Key == 0 stops;
//   2. the form's shortcuts (menus, action lists);
//   3. dialog keys the control does not want: Tab (also a Key changed to
//      VK_TAB) selects the next control, Enter presses the form's Default
//      button, Esc its Cancel button;
//   4. for a character: the form's OnKeyPress (KeyPreview), then KeyPress()
//      here (OnKeyPress); a changed character is what the control receives;
//   5. the widget's own editing.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;
    std::string ClassName() const override { return "TWinControl"; }

    int ControlCount() const;
    TControl* Controls(int i) const;
    // Children that can take the focus, in tab order.
    std::vector<TWinControl*> TabList() const;
    int TabOrder() const;
    void SetTabOrder(int v);
    bool TabStop() const;
    void SetTabStop(bool v);

    bool CanFocus() const;
    virtual void SetFocus();
    bool Focused() const;
    // Lays the aligned children out in the client area again.
    void Realign();
    // Moves the pixels of the client area by (dx, dy) and repaints the
    // uncovered strip; child controls move with them.
    void ScrollBy(int DeltaX, int DeltaY);
    // The control after (or before) CurControl in tab order among this
    // control's descendants, wrapping around; nullptr when none can focus.
    // CurControl may be nullptr (then the first or last one).
    TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const;
    // Focuses FindNextControl(...) when there is one.
    void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyUp;

protected:
    TWinControl(TComponent* AOwner, TControlPrivate* dd);

    virtual void KeyDown(Word& Key, TShiftState Shift);
    virtual void KeyPress(char32_t& Key);
    virtual void KeyUp(Word& Key, TShiftState Shift);
    virtual void DoEnter();
    virtual void DoExit();
    // Which dialog keys the control keeps for itself instead of the form:
    // a multi-line editor wants Enter, a grid with tabs wants Tab.
    virtual bool WantReturns() const { return false; }
    virtual bool WantTabs() const { return false; }
    virtual bool WantEscape() const { return false; }
    // Lays the aligned children out; override to reserve space of your own.
    virtual void AlignControls(TRect& Rect);

private:
    friend class TControl;
    friend class TControlPrivate;
};

// A focusable control that paints itself: override Paint() and draw on
// Canvas(), which is bound to the screen only during Paint (ask for repaints
// with Invalidate/InvalidateRect). Mouse coordinates and ClientRect are those
// of the area inside the border and the scroll bars.
//
// Scroll bars: SetScrollBars(ssVertical...) shows them; SetScrollRange and
// SetScrollPos set them; when the user moves one, ScrollBarChanged is called
// with the code and the new position (the control then scrolls its own data
// and repaints: the bars do not move any pixels themselves).
class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);
    ~TCustomControl() override;
    std::string ClassName() const override { return "TCustomControl"; }

    TCanvas* Canvas() const;
    void InvalidateRect(const TRect& R);
    TBorderStyle BorderStyle() const;
    void SetBorderStyle(TBorderStyle v);
    TRect ClientRect() const override;

    TScrollStyle ScrollBars() const;
    void SetScrollBars(TScrollStyle v);
    void SetScrollRange(TScrollBarKind Kind, int Min, int Max, int PageSize);
    void SetScrollPos(TScrollBarKind Kind, int Pos);
    int GetScrollPos(TScrollBarKind Kind) const;

    // For TPaintBox-like use: runs after Paint().
    TNotifyEvent OnPaint;

protected:
    TCustomControl(TComponent* AOwner, TControlPrivate* dd);
    virtual void Paint();
    virtual void ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos);

private:
    friend class TControlPrivate;
};

// A painted control that never takes the focus (shapes, bevels, paint boxes).
class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);
    ~TGraphicControl() override;
    std::string ClassName() const override { return "TGraphicControl"; }
    TCanvas* Canvas() const;
    TNotifyEvent OnPaint;

protected:
    TGraphicControl(TComponent* AOwner, TControlPrivate* dd);
    virtual void Paint();

private:
    friend class TControlPrivate;
};

// A graphic control whose drawing is all in OnPaint.
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {}
    std::string ClassName() const override { return "TPaintBox"; }
};

// A hint balloon: a borderless top-level window that paints its caption on
// its canvas (subclasses paint their own look in Paint).
class THintWindow : public TCustomControl {
public:
    explicit THintWindow(TComponent* AOwner);
    std::string ClassName() const override { return "THintWindow"; }
    // Shows Hint in Rect (screen coordinates).
    virtual void ActivateHint(const TRect& Rect, const std::string& Hint);
    // The screen-size rectangle (at 0,0) the hint needs, wrapped at MaxWidth.
    virtual TRect CalcHintRect(int MaxWidth, const std::string& Hint);
    void ReleaseHandle();

protected:
    void Paint() override;
};

// Paints into canvas, with the control's top-left at the canvas origin,
// what its parent shows under the control: the parent's background and own
// painting, then the siblings before it that overlap it (each with its
// children). A control that paints this first looks transparent.
void PaintParentBackground(TControl* control, TCanvas* canvas);

// Runs fn behind the event-dispatch boundary: EAbort vanishes, any other
// exception is handed to Application->HandleException. Returns false when
// fn threw.
bool DispatchSafely(TObject* Sender, const std::function<void()>& fn);
