// The display-format dialog: a memo's values shown as text, or as a
// number, date, time or yes/no value in one of the offered forms or a
// custom format. It edits a format code (category, form, decimals,
// separator) and the custom format text.
#pragma once

#include "Forms.h"
#include "StdCtrls.h"

class TRMFmtForm : public TForm {
public:
    explicit TRMFmtForm(TComponent* owner);
    std::string ClassName() const override { return "TRMFmtForm"; }
    int FormatCode = 0;
    std::string FormatText;

    TGroupBox* GroupBox1;
    TListBox* lstCat;
    TListBox* lstType;
    TLabel* lblDec;
    TEdit* edtDec;
    TLabel* lblSpl;
    TEdit* edtSpl;
    TLabel* lblFormat;
    TEdit* edtForamt;
    TButton* btnOK;
    TButton* btnCancel;

protected:
    void DoShow() override;

private:
    int shownCat_ = -1;
    void chooseCategory(int cat);
    void updateFields();
    void okClick();
};
