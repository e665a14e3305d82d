// The dialog seam: every modal form show, message box, input box,
// open/save/print dialog and beep of the program passes through
// TDialogSeam. Without a script it shows the real window; with a script (a
// test) it answers from the script, records every text shown and reports
// anything unexpected as a failure instead of waiting for a person.
// Also here: helpers that drive real windows with real key and mouse events
// and render a form to a PNG file.
//
// Example (GoogleTest):
//
//   TEST(Login, wrongPasswordSaysSo) {
//       TSeamScript script;                       // installs, clears
//       script.OnFailure = [](const std::string& m) { ADD_FAILURE() << m; };
//       script.ExpectForm("TFrmLogin", mrOk, {{"EditPassword", "x"}});
//       script.ExpectMessage("密码错误！", IDOK);
//       RunLogin();                               // code under test
//       EXPECT_EQ(script.Texts(), (std::vector<std::string>{"密码错误！"}));
//       EXPECT_TRUE(script.Unused().empty());
//   }
//
//   // Keys go through the same pipeline as a person's typing:
//   ShowAndActivate(form);
//   SendKey(form->Edit1, VK_RETURN);
//   EXPECT_EQ(form->ActiveControl(), form->Edit2);
//   SaveFormPng(form, BUILD_DIR "/login.png");
#pragma once

#include "Controls.h"
#include "Forms.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

enum class TSeamKind { MessageBox, ModalForm, InputQuery, OpenDialog, SaveDialog, PrintDialog, Beep };

// One thing the program showed.
struct TSeamRecord {
    TSeamKind Kind;
    std::string Caption;
    std::string Text;     // message text, input prompt, dialog title
    std::string FormName; // modal forms: the form's Name
    std::string FormClass;
};

// One scripted answer. Empty match fields match anything; Text matches when
// the shown text contains it; Form matches the form's Name, its ClassName()
// or its C++ class name ("TFrmLogin").
struct TSeamAnswer {
    TSeamKind Kind = TSeamKind::MessageBox;
    std::string Caption;
    std::string Text;
    std::string Form;
    // ID* for boxes, a modal result for forms, non-zero = accepted for the
    // input, file and print dialogs.
    int Result = 0;
    // The text an input box returns; the file name a file dialog returns.
    std::string Value;
    // Modal forms: component name -> value, set before Action runs. Check
    // boxes and radio buttons take "True"/"False", other controls the text.
    std::vector<std::pair<std::string, std::string>> Fields;
    // Modal forms: runs on the shown form (may send keys, click buttons, set
    // ModalResult itself). The form closes with Result if it is still open.
    std::function<void(TCustomForm*)> Action;
    // Answers every matching show, not only the first.
    bool Repeat = false;
};

class TDialogSeam {
public:
    static TDialogSeam& Instance();

    // ---- script (tests)
    void Install();
    void Uninstall();
    bool Scripted() const { return scripted_; }
    void Expect(TSeamAnswer answer);
    const std::vector<TSeamRecord>& Shown() const { return shown_; }
    const std::vector<std::string>& Failures() const { return failures_; }
    // Expectations not used yet (Repeat ones excluded).
    std::vector<TSeamAnswer> Unused() const;
    // Called at once for every failure (a test hooks ADD_FAILURE here).
    std::function<void(const std::string&)> OnFailure;

    // ---- routing (the layer calls these)
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
    // A box with the given buttons (result, caption) and MB_ICON* flags;
    // returns the result of the button chosen (a script answers it like a
    // message box).
    int ButtonBox(const std::string& text, const std::string& caption, unsigned iconFlags,
                  const std::vector<std::pair<int, std::string>>& buttons);
    TModalResult ShowModal(TCustomForm* form);
    bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
    // kind is OpenDialog or SaveDialog; fileName is in/out.
    bool FileDialog(TSeamKind kind, const std::string& title, const std::string& filter, const std::string& initialDir,
                    std::string& fileName);
    bool PrintDialog(const std::string& title);
    void Beep(unsigned type);
    // Records a failure (and calls OnFailure) when scripted.
    void ReportFailure(const std::string& message) { fail(message); }

private:
    TSeamAnswer* match(TSeamKind kind, const std::string& caption, const std::string& text, TCustomForm* form);
    void fail(const std::string& message);
    void record(TSeamRecord r) { shown_.push_back(std::move(r)); }

    struct Entry {
        TSeamAnswer answer;
        bool used = false;
    };
    bool scripted_ = false;
    std::vector<Entry> script_;
    std::vector<TSeamRecord> shown_;
    std::vector<std::string> failures_;
};

// A test's script: installs the seam on construction (clearing what an
// earlier test left) and uninstalls it on destruction.
class TSeamScript {
public:
    TSeamScript();
    ~TSeamScript();
    TSeamScript(const TSeamScript&) = delete;
    TSeamScript& operator=(const TSeamScript&) = delete;

    void ExpectMessage(const std::string& textContains, int result, const std::string& caption = "");
    void ExpectForm(const std::string& form, TModalResult result,
                    std::vector<std::pair<std::string, std::string>> fields = {},
                    std::function<void(TCustomForm*)> action = nullptr);
    void ExpectInput(const std::string& caption, const std::string& value, bool ok = true);
    void ExpectFile(TSeamKind kind, const std::string& fileName, bool ok = true);
    void Expect(TSeamAnswer a) { TDialogSeam::Instance().Expect(std::move(a)); }

    const std::vector<TSeamRecord>& Shown() const { return TDialogSeam::Instance().Shown(); }
    // The texts of everything shown, in order.
    std::vector<std::string> Texts() const;
    const std::vector<std::string>& Failures() const { return TDialogSeam::Instance().Failures(); }
    std::vector<TSeamAnswer> Unused() const { return TDialogSeam::Instance().Unused(); }
    std::function<void(const std::string&)>& OnFailure = TDialogSeam::Instance().OnFailure;
};

// ---- driving real windows

// Handles pending events (posted deletes, layouts, paints) and returns.
void ProcessEvents();
// Shows the form and makes it the active window, so focus and keys work.
void ShowAndActivate(TCustomForm* form);
// The control named name among root's owned components, searched through
// owned components recursively (case-insensitive), or nullptr.
TControl* FindControl(TComponent* root, const std::string& name);
// Focuses target and sends a press and release of vk with shift, exactly as
// the keyboard would (the key pipeline, shortcuts and Default/Cancel run).
void SendKey(TWinControl* target, Word vk, TShiftState shift = {});
// Sends the key to whatever control of the form has the focus.
void SendKeyToFocus(TCustomForm* form, Word vk, TShiftState shift = {});
// Types text (UTF-8) into target, one character per key event.
void SendText(TWinControl* target, const std::string& text);
// A press and release at (x, y) of the control (its centre by default).
void SendClick(TControl* target, int x = -1, int y = -1, TMouseButton button = mbLeft);
void SendDoubleClick(TControl* target, int x = -1, int y = -1);
// The same, finding the control by component name under root; a missing
// or unfocusable name is reported as a seam failure.
void SendKeyTo(TComponent* root, const std::string& name, Word vk, TShiftState shift = {});
void SendTextTo(TComponent* root, const std::string& name, const std::string& text);
void SendClickTo(TComponent* root, const std::string& name);
// Renders the form as it would show on screen into a PNG file; true when
// written.
bool SaveFormPng(TCustomForm* form, const std::string& path);
