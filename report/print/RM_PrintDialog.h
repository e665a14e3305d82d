// The engine's print dialog and page setup dialog. Both are plain forms
// shown modally through the dialog seam; a test fills their named fields.
#pragma once

#include "Forms.h"
#include "StdCtrls.h"

class TRMReport;

// Printer, copies, collate and the pages: all, the current one, or a list
// such as "1,3-5".
class TRMPrintDialogForm : public TForm {
public:
    TRMPrintDialogForm(TComponent* owner, int pageCount, int currentPage);
    std::string ClassName() const override { return "TRMPrintDialogForm"; }
    TComboBox* CmbPrinters;
    TEdit* EdtCopies;
    TCheckBox* ChkCollate;
    TRadioButton* RbAll;
    TRadioButton* RbCurrent;
    TRadioButton* RbPages;
    TEdit* EdtPages;
    TButton* BtnOK;
    TButton* BtnCancel;

    // What was chosen, once OK was pressed: the page numbers and copies.
    std::vector<int> Pages;
    int Copies = 1;
    bool Collate = true;

private:
    int pageCount_, current_;
    void okClick();
};

// Paper (by name or custom size in centimetres), orientation and margins
// (millimetres) of the first design page; OK applies them to every page.
class TRMPageSetupForm : public TForm {
public:
    TRMPageSetupForm(TComponent* owner, TRMReport* report);
    std::string ClassName() const override { return "TRMPageSetupForm"; }
    TComboBox* CmbPaper;
    TEdit* EdtWidth;
    TEdit* EdtHeight;
    TRadioButton* RbPortrait;
    TRadioButton* RbLandscape;
    TEdit* EdtLeft;
    TEdit* EdtTop;
    TEdit* EdtRight;
    TEdit* EdtBottom;
    TButton* BtnOK;
    TButton* BtnCancel;

private:
    TRMReport* report_;
    void paperChange();
    void okClick();
};

// Paper codes and sizes (0.1 mm, portrait) the dialogs offer.
struct TRMPaperInfo {
    int Code;
    const char* Name;
    int Width, Height;
};
const std::vector<TRMPaperInfo>& RMPapers();
// The paper whose size matches within 1 mm either way, or 256 (custom).
int RMPaperCodeOf(int width01mm, int height01mm);
