// Windows and the application object: TCustomForm/TForm (modal and modeless
// show, close actions, MDI frames and children, key preview, default and
// cancel buttons, tab-order traversal), TApplication (the message loop, the
// default exception box, message boxes) and TScreen (cursor, forms, work
// area). Every modal show and message box goes through the dialog seam
// (DialogSeam.h), so tests answer them instead of a person.
#pragma once

#include "Controls.h"

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class TMainMenu;
class TStrings;
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

// Message box flags and answers (Application->MessageBox).
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_ABORTRETRYIGNORE = 0x2,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_RETRYCANCEL = 0x5,
    MB_ICONHAND = 0x10,
    MB_ICONSTOP = 0x10,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON1 = 0x0,
    MB_DEFBUTTON2 = 0x100,
    MB_DEFBUTTON3 = 0x200,
    MB_APPLMODAL = 0x0,
    MB_SYSTEMMODAL = 0x1000,
    MB_TASKMODAL = 0x2000,
    MB_TYPEMASK = 0xF,
    MB_ICONMASK = 0xF0,
    MB_DEFMASK = 0xF00,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

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

class TBorderIcons {
public:
    TBorderIcons() = default;
    TBorderIcons(std::initializer_list<TBorderIcon> items) {
        for (auto i : items) bits_ |= 1u << i;
    }
    bool Contains(TBorderIcon i) const { return bits_ & (1u << i); }
    TBorderIcons& operator<<(TBorderIcon i) {
        bits_ |= 1u << i;
        return *this;
    }
    TBorderIcons& operator>>(TBorderIcon i) {
        bits_ &= ~(1u << i);
        return *this;
    }
    friend bool operator==(const TBorderIcons&, const TBorderIcons&) = default;

private:
    unsigned bits_ = (1u << biSystemMenu) | (1u << biMinimize) | (1u << biMaximize);
};

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
    friend void TFormActivate(TCustomForm*, bool);
    friend void TFormDoClose(TCustomForm*, TCloseAction&);
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

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

// The running program. Created on first use of Application (which also
// starts the window system); lives until the process ends.
class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;
    std::string ClassName() const override { return "TApplication"; }

    void Initialize();
    std::string Title() const;
    void SetTitle(const std::string& v);
    // Creates a form owned by the application; the first becomes MainForm.
    template <class T>
    void CreateForm(T*& Reference) {
        Reference = new T(this);
        FormCreated(Reference);
    }
    TCustomForm* MainForm() const;
    // Shows the main form and runs the message loop until Terminate().
    void Run();
    void Terminate();
    bool Terminated() const;
    // Handles every pending event and returns.
    void ProcessMessages();
    // A message box through the dialog seam; flags are MB_* values, the
    // result an ID* value.
    int MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags = 0);
    // The default handler: OnException when set, else ShowException.
    void HandleException(TObject* Sender, const Exception& E);
    // The error box: the message with the title as caption, MB_ICONSTOP.
    void ShowException(const Exception& E);
    std::string ExeName() const;
    void BringToFront();
    void Minimize();
    void Restore();

    bool ShowHint() const;
    void SetShowHint(bool v);
    TColor HintColor() const;
    void SetHintColor(TColor v);
    int HintPause() const;
    void SetHintPause(int ms);
    int HintHidePause() const;
    void SetHintHidePause(int ms);
    int HintShortPause() const;
    void SetHintShortPause(int ms);
    std::string HelpFile() const;
    void SetHelpFile(const std::string& v);

    TExceptionEvent OnException;

    // Called by CreateForm; public for forms created without it.
    void FormCreated(TCustomForm* Form);
};

// The screen: cursor, forms, work area.
class TScreen : public TComponent {
public:
    TScreen();
    ~TScreen() override;
    std::string ClassName() const override { return "TScreen"; }

    // crHourGlass/crSQLWait show the busy cursor over every window until
    // set back to crDefault.
    TCursor Cursor() const;
    void SetCursor(TCursor v);
    int FormCount() const;
    TCustomForm* Forms(int i) const;
    TCustomForm* ActiveForm() const;
    TWinControl* ActiveControl() const;
    int Width() const;
    int Height() const;
    TRect WorkAreaRect() const;
    int WorkAreaLeft() const { return WorkAreaRect().Left; }
    int WorkAreaTop() const { return WorkAreaRect().Top; }
    int WorkAreaWidth() const { return WorkAreaRect().Width(); }
    int WorkAreaHeight() const { return WorkAreaRect().Height(); }
    int PixelsPerInch() const { return 96; }
    // Installed font families, sorted.
    TStrings* Fonts();

private:
    TCursor cursor_ = crDefault;
    TStrings* fonts_ = nullptr;
};

// Application and Screen read like the class library's globals
// (Application->Title(), new TForm(Application)); the objects are made on
// first use.
template <class T>
class TGlobalRef {
public:
    T* operator->() const { return get(); }
    operator T*() const { return get(); }
    T* get() const;
};
extern TGlobalRef<TApplication> Application;
extern TGlobalRef<TScreen> Screen;

// The parent form of a control (nullptr when none).
TCustomForm* GetParentForm(TControl* Control);
