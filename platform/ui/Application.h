// The running program: TApplication (the main form, the message loop, the
// default exception box, message boxes through the dialog seam) and the
// Application global. Units that only show a message box or hand an
// exception on include this, not Forms.h.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "Graphics.h"

class TCustomForm;
class TApplicationPrivate;

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

private:
    friend class TApplicationPrivate;
    std::unique_ptr<TApplicationPrivate> d_;
};

extern TGlobalRef<TApplication> Application;
