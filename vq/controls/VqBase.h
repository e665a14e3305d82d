// The two form classes the library's dialogs derive from. TFrmBase: 宋体
// 9 pt, key preview, Esc closes, and every show runs DoBeforeShow, the
// decoration pass and DoAfterShow. TFrmDlgBase adds the top tool panel with
// the "退出" button and frees itself when it closes, so a caller that shows
// one modally reads its results before it closes (or from where it wrote).
#pragma once

#include "Forms.h"

class TVQPanel;
class TVqButton;

class TFrmBase : public TForm {
public:
    explicit TFrmBase(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBase"; }

    // Bound to OnShow; a descendant that binds its own handler calls this
    // first.
    void FormShow(TObject* Sender);
    // Esc closes the form wherever the focus is; other keys pass on.
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
    void FormCreate(TObject*) {}
    // The shared data module's message box: there is none here.
    TComponent* GetMsgBox() const { return nullptr; }

protected:
    virtual void DoBeforeShow() {}
    virtual void DoAfterShow() {}
};

class TFrmDlgBase : public TFrmBase {
public:
    explicit TFrmDlgBase(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmDlgBase"; }

    void BtnCloseClick(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);

    TVQPanel* PnlTop;
    TVQPanel* PnlLeft;
    TVQPanel* Pnlcenter;
    TVQPanel* PnlRight;
    TVqButton* BtnClose;
};
