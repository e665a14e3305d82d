// Message and common dialogs, all routed through the dialog seam.
#include "Dialogs.h"

#include "TestSeam.h"

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons b, int) {
    static const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirm"};
    std::string caption = DlgType == mtCustom ? Application->Title() : kCaptions[DlgType];
    unsigned flags = MB_OK;
    if (b.Contains(mbYes) && b.Contains(mbNo)) flags = b.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
    else if (b.Contains(mbAbort) || b.Contains(mbIgnore)) flags = MB_ABORTRETRYIGNORE;
    else if (b.Contains(mbRetry)) flags = MB_RETRYCANCEL;
    else if (b.Contains(mbOK) && b.Contains(mbCancel)) flags = MB_OKCANCEL;
    else if (b.Contains(mbCancel) && !b.Contains(mbOK)) flags = MB_OKCANCEL;
    switch (DlgType) {
    case mtWarning: flags |= MB_ICONWARNING; break;
    case mtError: flags |= MB_ICONSTOP; break;
    case mtInformation: flags |= MB_ICONINFORMATION; break;
    case mtConfirmation: flags |= MB_ICONQUESTION; break;
    default: break;
    }
    // ID* answers and mr* results share their numbers.
    return TDialogSeam::Instance().MessageBox(Msg, caption, flags);
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
    if (!TDialogSeam::Instance().FileDialog(save ? TSeamKind::SaveDialog : TSeamKind::OpenDialog, title_, filter_, initialDir_, name))
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
