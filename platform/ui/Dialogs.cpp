// Message and common dialogs, all routed through the dialog seam.
#include "Dialogs.h"

#include "DialogSeam.h"

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons b, int) {
    static const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirm"};
    std::string caption = DlgType == mtCustom ? Application->Title() : kCaptions[DlgType];
    unsigned icon = 0;
    switch (DlgType) {
    case mtWarning: icon = MB_ICONWARNING; break;
    case mtError: icon = MB_ICONSTOP; break;
    case mtInformation: icon = MB_ICONINFORMATION; break;
    case mtConfirmation: icon = MB_ICONQUESTION; break;
    default: break;
    }
    // The class library's button order and captions; results are mr* values.
    static const struct {
        TMsgDlgBtn btn;
        TModalResult mr;
        const char* caption;
    } kButtons[] = {
        {mbYes, mrYes, "&Yes"},
        {mbNo, mrNo, "&No"},
        {mbOK, mrOk, "OK"},
        {mbCancel, mrCancel, "Cancel"},
        {mbAbort, mrAbort, "&Abort"},
        {mbRetry, mrRetry, "&Retry"},
        {mbIgnore, mrIgnore, "&Ignore"},
        {mbAll, mrAll, "&All"},
        {mbNoToAll, mrNoToAll, "N&o to All"},
        {mbYesToAll, mrYesToAll, "Yes to &All"},
    };
    std::vector<std::pair<int, std::string>> buttons;
    for (const auto& k : kButtons)
        if (b.Contains(k.btn)) buttons.emplace_back(k.mr, k.caption);
    if (buttons.empty()) buttons.emplace_back(mrOk, "OK");
    return TDialogSeam::Instance().ButtonBox(Msg, caption, icon, buttons);
}

void ShowMessage(const std::string& Msg) { TDialogSeam::Instance().MessageBox(Msg, Application->Title(), MB_OK); }

std::string InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default) {
    std::string v = Default;
    return InputQuery(Caption, Prompt, v) ? v : Default;
}

bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value) {
    std::string v = Value;
    if (!TDialogSeam::Instance().InputQuery(Caption, Prompt, v)) return false;
    Value = v;
    return true;
}

bool TOpenDialog::run(bool save) {
    std::string name = fileName_;
    if (!TDialogSeam::Instance().FileDialog(save ? TSeamKind::SaveDialog : TSeamKind::OpenDialog, title_, filter_,
                                            initialDir_, name, save && options_.Contains(ofOverwritePrompt)))
        return false;
    if (!defaultExt_.empty()) {
        size_t slash = name.find_last_of('/');
        size_t dot = name.find_last_of('.');
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) name += "." + defaultExt_;
    }
    fileName_ = name;
    return true;
}

bool TOpenDialog::Execute() { return run(false); }
bool TSaveDialog::Execute() { return run(true); }
bool TPrintDialog::Execute() { return TDialogSeam::Instance().PrintDialog(title()); }
