// The library's message box, built at run time from its settings: an icon,
// the text (wrapped when wider than 60 % of the screen), and a centred row
// of 80 x 25 buttons whose index Execute returns. Shown modally through the
// dialog seam as the form "VqMsgDlgForm" (class TFrmVqMsgBox); its buttons
// are named btn0, btn1, ...
//
// Also the system-box questions (QueryOkCancel, QueryYesNo, ShowError) and
// the two helpers the data grid uses, ShowOkMessage and AskOkCancel.
#pragma once

#include "Classes.h"
#include "Forms.h"
#include "Graphics.h"

#include <memory>
#include <string>

enum TDefaultIcons { icWarning, icError, icInformation, icConfirmation, icNone };
enum TWAV { wavCustom, wavAsterisk, wavExclamation, wavQuestion, wavDefault };

class TVQMsgdlg : public TComponent {
public:
    explicit TVQMsgdlg(TComponent* AOwner);
    ~TVQMsgdlg() override;
    std::string ClassName() const override { return "TVQMsgdlg"; }

    TStrings* Buttons() const { return buttons_.get(); }
    void SetButtons(TStrings* v);
    TStrings* Message() const { return message_.get(); }
    void SetMessage(TStrings* v);
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v) { title_ = v; }
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* v);
    TDefaultIcons Icon() const { return icon_; }
    void SetIcon(TDefaultIcons v) { icon_ = v; }
    TWAV WAV() const { return wav_; }
    void SetWAV(TWAV v) { wav_ = v; }
    int Default() const { return default_; }
    void SetDefault(int v) { default_ = v; }

    // Builds, shows modally and frees the box; the index of the button
    // clicked, or -1 when the box was closed otherwise (its title bar, Esc):
    // never an answer left over from an earlier run.
    int Execute();

    // System boxes; none reads the component's settings. Mode 1: OK (Yes)
    // is the default button, Mode 2: Cancel (No); any other mode shows
    // nothing and returns 0. The answer is IDOK/IDCANCEL, IDYES/IDNO.
    static int QueryOkCancel(const std::string& Text, const std::string& Title, int Mode);
    static int QueryYesNo(const std::string& Text, const std::string& Title, int Mode);
    static int ShowError(const std::string& Text, const std::string& Title);

    // The bitmap of an icon (32 x 32, transparent), drawn in code because the
    // program carries no bitmap resources; empty for icNone.
    static void LoadIcon(TDefaultIcons icon, TBitmap* bitmap);

private:
    std::unique_ptr<TStrings> buttons_;
    std::unique_ptr<TStrings> message_;
    std::string title_;
    std::unique_ptr<TFont> font_;
    TDefaultIcons icon_ = icNone;
    TWAV wav_ = wavCustom;
    int default_ = 0;
    int result_ = 0;
};

// One "确定" button, the text as its only line, WAV default.
void ShowOkMessage(TDefaultIcons Icon, const std::string& Title, const std::string& Text);
// The system OK/Cancel question (Mode 1: OK default; Mode 2: Cancel
// default); true only when OK was chosen. Any other mode asks nothing and
// answers false.
bool AskOkCancel(const std::string& Title, const std::string& Text, int Mode);
