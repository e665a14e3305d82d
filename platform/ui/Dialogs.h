// Message dialogs, input boxes and the common file and print dialogs. All of
// them go through the dialog seam (DialogSeam.h): tests answer them, the
// program shows real windows.
#pragma once

#include "Forms.h"

#include <initializer_list>
#include <string>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline const TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline const TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline const TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};

// The message box of the class library; returns the modal result of the
// button chosen (mrYes, mrNo, mrOk...). The caption is "Warning", "Error",
// "Information" or "Confirm" by type, the application title for mtCustom.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx = 0);
// An OK box captioned with the application title.
void ShowMessage(const std::string& Msg);
// Returns the text typed, or Default when cancelled.
std::string InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Default);
// Value is in/out; false (Value unchanged) when cancelled.
bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value);

enum TOpenOption {
    ofReadOnly,
    ofOverwritePrompt,
    ofHideReadOnly,
    ofNoChangeDir,
    ofShowHelp,
    ofNoValidate,
    ofAllowMultiSelect,
    ofExtensionDifferent,
    ofPathMustExist,
    ofFileMustExist,
    ofCreatePrompt,
    ofShareAware,
    ofNoReadOnlyReturn,
    ofNoTestFileCreate,
    ofNoNetworkButton,
    ofNoLongNames,
    ofOldStyleDialog,
    ofNoDereferenceLinks,
    ofEnableIncludeNotify,
    ofEnableSizing,
};
using TOpenOptions = TSet<TOpenOption>;

// Filter is "Name (*.ext)|*.ext|...". Execute returns true with FileName
// set when the user chose a file.
class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}
    std::string ClassName() const override { return "TOpenDialog"; }
    std::string Title() const { return title_; }
    void SetTitle(const std::string& v) { title_ = v; }
    std::string InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& v) { initialDir_ = v; }
    std::string Filter() const { return filter_; }
    void SetFilter(const std::string& v) { filter_ = v; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int v) { filterIndex_ = v; }
    std::string FileName() const { return fileName_; }
    void SetFileName(const std::string& v) { fileName_ = v; }
    // Without a leading dot ("xls"); added to a chosen name without one.
    std::string DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& v) { defaultExt_ = v; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions v) { options_ = v; }
    virtual bool Execute();

protected:
    bool run(bool save);
    std::string title_, initialDir_, filter_, fileName_, defaultExt_;
    int filterIndex_ = 1;
    TOpenOptions options_;
};

class TSaveDialog : public TOpenDialog {
public:
    explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
    std::string ClassName() const override { return "TSaveDialog"; }
    bool Execute() override;
};

// The print dialogs: choose the printer and settings of Printer(). Thin: in
// the program they confirm; tests answer them through the seam.
class TPrintDialog : public TComponent {
public:
    explicit TPrintDialog(TComponent* AOwner) : TComponent(AOwner) {}
    std::string ClassName() const override { return "TPrintDialog"; }
    int Copies() const { return copies_; }
    void SetCopies(int v) { copies_ = v; }
    int FromPage() const { return fromPage_; }
    void SetFromPage(int v) { fromPage_ = v; }
    int ToPage() const { return toPage_; }
    void SetToPage(int v) { toPage_ = v; }
    int MinPage() const { return minPage_; }
    void SetMinPage(int v) { minPage_ = v; }
    int MaxPage() const { return maxPage_; }
    void SetMaxPage(int v) { maxPage_ = v; }
    virtual bool Execute();

protected:
    virtual std::string title() const { return "打印"; }
    int copies_ = 1, fromPage_ = 0, toPage_ = 0, minPage_ = 0, maxPage_ = 0;
};

class TPrinterSetupDialog : public TPrintDialog {
public:
    explicit TPrinterSetupDialog(TComponent* AOwner) : TPrintDialog(AOwner) {}
    std::string ClassName() const override { return "TPrinterSetupDialog"; }

protected:
    std::string title() const override { return "打印设置"; }
};

class TPageSetupDialog : public TPrintDialog {
public:
    explicit TPageSetupDialog(TComponent* AOwner) : TPrintDialog(AOwner) {}
    std::string ClassName() const override { return "TPageSetupDialog"; }

protected:
    std::string title() const override { return "页面设置"; }
};
