// The dialog seam: every modal form show, message box, input box,
// open/save/print dialog and beep of the program passes through
// TDialogSeam. Without a script it shows the real window; with a script (a
// test) it answers from the script, records every text shown and reports
// anything unexpected as a failure instead of waiting for a person.
// The keys and clicks a test sends come from the test kit
// (platform/testkit/TestKit.h), which the program does not link.
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
    // The expectations still unused when the last script was uninstalled;
    // taking them clears them (the after-test check reads them).
    std::vector<TSeamAnswer> TakeLeftOver() { return std::exchange(leftOver_, {}); }
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
    // kind is OpenDialog or SaveDialog; fileName is in/out. A save dialog
    // asks before replacing an existing file only when confirmOverwrite.
    bool FileDialog(TSeamKind kind, const std::string& title, const std::string& filter, const std::string& initialDir,
                    std::string& fileName, bool confirmOverwrite = false);
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
    std::vector<TSeamAnswer> leftOver_;
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

// The control named name among root's owned components, searched through
// owned components recursively (case-insensitive), or nullptr.
TControl* FindControl(TComponent* root, const std::string& name);
