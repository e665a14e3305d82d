// Windows: TCustomForm/TForm (modal and modeless show, close actions, MDI
// frames and children, key preview, default and cancel buttons, tab-order
// traversal) and TScrollBox. The application object is in Application.h,
// the screen in Screen.h; both come with this header for the units that
// use all three. Every modal show goes through the dialog seam
// (DialogSeam.h), so tests answer them instead of a person.
#pragma once

#include "Application.h"
#include "Controls.h"
#include "Screen.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class TMainMenu;
class TIcon;

using TModalResult = int;
enum : TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter,
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };

// A new form has {biSystemMenu, biMinimize, biMaximize}.
using TBorderIcons = TSet<TBorderIcon>;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

// A top-level window, an MDI frame or an MDI child.
//
//            Show()/Visible                 Close(): OnCloseQuery, OnClose
//   hidden -------------------> shown ------------------------------------+
//     ^  ^                        |  caHide: hidden   caFree: Release()   |
//     |  +------------------------+  caNone: stays    caMinimize: minimised
//     |
//     |  ShowModal(): shown modally; the nested loop runs until ModalResult
//     +-- is set non-zero and CloseQuery/OnClose allow it; returns it.
//
// OnCreate runs once: from Application->CreateForm, or else before the
// first show. OnShow runs on every show. Closing the main form ends the
// application. Release() deletes the form once its events have returned.
class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;
    std::string ClassName() const override { return "TCustomForm"; }

    void SetText(const std::string& v) override;
    std::string GetText() const override;
    void SetVisible(bool v) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TRect ClientRect() const override;

    TFormBorderStyle BorderStyle() const;
    void SetBorderStyle(TFormBorderStyle v);
    TBorderIcons BorderIcons() const;
    void SetBorderIcons(TBorderIcons v);
    TPosition Position() const;
    void SetPosition(TPosition v);
    TWindowState WindowState() const;
    void SetWindowState(TWindowState v);
    TFormStyle FormStyle() const;
    // fsMDIChild needs Application->MainForm to be an fsMDIForm.
    void SetFormStyle(TFormStyle v);
    // A window that never takes the activation (a floating tool window):
    // shown and clicked, it leaves the keyboard with the window that has it.
    bool NoActivate() const;
    void SetNoActivate(bool v);
    // The form this window belongs to: the window system keeps it above
    // that form's window (nullptr: none).
    void SetOwnerForm(TCustomForm* owner);
    bool KeyPreview() const;
    void SetKeyPreview(bool v);
    TModalResult ModalResult() const;
    void SetModalResult(TModalResult v);
    // The control holding the focus inside the form (or to get it on show).
    TWinControl* ActiveControl() const;
    void SetActiveControl(TWinControl* v);
    TMainMenu* Menu() const;
    void SetMenu(TMainMenu* v);
    TIcon* Icon() const;
    bool Active() const;
    // True while inside ShowModal.
    bool Modal() const;

    void Show();
    void Hide();
    // Shows the form modally through the dialog seam and returns its
    // ModalResult (mrCancel when closed otherwise). Throws
    // EInvalidOperation "Cannot make a visible window modal" when shown.
    TModalResult ShowModal();
    void Close();
    // OnCloseQuery of the form (and, for an MDI frame, of every child first).
    virtual bool CloseQuery();
    // Deletes the form after the current event returns.
    void Release();
    void SetFocus() override;
    void BringToFront();
    // Runs OnCreate unless it has run.
    void DoCreate();
    // Menu and action-list shortcut; true when a command ran.
    virtual bool IsShortCut(Word Key, TShiftState Shift);

    // MDI frame side.
    int MDIChildCount() const;
    TCustomForm* MDIChildren(int i) const;
    TCustomForm* ActiveMDIChild() const;
    void Cascade();
    void Tile();
    void Next();
    void Previous();

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnDestroy;

protected:
    virtual void DoShow();
    virtual void DoHide();
    virtual void Activate();
    virtual void Deactivate();
    virtual void DoClose(TCloseAction& Action);
    void AlignControls(TRect& Rect) override;
    bool WantEscape() const override { return false; }

private:
    friend class TApplication;
    friend class TControlPrivate;
    friend class TFormPrivate;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* AOwner) : TCustomForm(AOwner) {}
    std::string ClassName() const override { return "TForm"; }
};

// A container that scrolls when its children reach beyond it.
class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);
    std::string ClassName() const override { return "TScrollBox"; }
    TBorderStyle BorderStyle() const;
    void SetBorderStyle(TBorderStyle v);
    int HorzPosition() const;
    void SetHorzPosition(int v);
    int VertPosition() const;
    void SetVertPosition(int v);
    // Scrolls so that the whole of control (a child) is visible.
    void ScrollInView(TControl* AControl);
    TRect ClientRect() const override;

protected:
    void AlignControls(TRect& Rect) override;
};

// The parent form of a control (nullptr when none).
TCustomForm* GetParentForm(TControl* Control);
