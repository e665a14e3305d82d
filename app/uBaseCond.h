// The base of the query-condition dialogs: a caption label, a panel the
// derived dialog fills with its condition controls, and OK/cancel buttons.
// The derived dialog's OK handler builds WhereText; the caller reads it
// after a modal result of 1. Not here: any particular condition.
#pragma once

#include "uBaseD.h"

class TLabel;
class TPanel;
class TButton;
class TDateTimePicker;
class TEdit;
class TSpeedButton;

class TFrmBaseCond : public TFrmBaseD {
public:
    explicit TFrmBaseCond(TComponent* AOwner);
    std::string ClassName() const override { return "TFrmBaseCond"; }

    void InitForm() override;
    // Esc closes; Enter becomes Tab so that it moves to the next control.
    void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift) override;
    virtual void BtCancelClick(TObject* Sender);

    TLabel* Label1;
    TPanel* Panel1;
    TButton* BtConfirm;
    TButton* BtCancel;

    // The SQL condition the derived dialog built when OK was pressed.
    std::string WhereText;

protected:
    // Rows the loan condition dialogs share, placed in Panel1: the
    // "<caption>从 … 到 …" dates at its top, and a code box with its picker
    // button at the right.
    void AddDateRange(const char* caption, TDateTimePicker*& from, TDateTimePicker*& to);
    TEdit* AddCodeBox(int top, const char* labelName, const char* caption, const char* editName,
                      const char* buttonName, TSpeedButton*& button, TNotifyEvent onClick);
};
