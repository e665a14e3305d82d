// The engine's print dialog and page setup dialog. Both are plain forms
// shown modally through the dialog seam; a test fills their named fields.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "report/print/RM_Printer.h"

class TRMReport;

// Printer (switched as soon as it is chosen, and back on Cancel), what
// its queue says of itself, its properties; copies, collate and the
// pages: all, the current one, or a list such as "1,3-5"; all, odd or
// even ones; a scale in percent or a paper to scale every page to; the
// print offsets and whether background pictures stay off the paper.
class TRMPrintDialogForm : public TForm {
public:
    TRMPrintDialogForm(TComponent* owner, int pageCount, int currentPage);
    std::string ClassName() const override { return "TRMPrintDialogForm"; }
    TComboBox* CmbPrinters;
    TButton* BtnPrinterProp;
    TLabel *LblStatus, *LblType, *LblPosition, *LblCommon;
    TCheckBox* ChkTaoda; // do not print background pictures
    TEdit* EdtCopies;
    TCheckBox* ChkCollate;
    TRadioButton* RbAll;
    TRadioButton* RbCurrent;
    TRadioButton* RbPages;
    TEdit* EdtPages;
    TComboBox* CmbPrintAll; // all, odd or even pages
    TEdit* EdtScale;        // percent
    TComboBox* CmbScalePapers; // "无缩放", then the chosen printer's papers
    TEdit* EdtOffsetTop;    // centimetres
    TEdit* EdtOffsetLeft;
    TButton* BtnOK;
    TButton* BtnCancel;

    // What was chosen, once OK was pressed: the page numbers (odd or even
    // ones only when so chosen), copies, the scale in percent (1 to 1000)
    // and the offsets in screen pixels.
    std::vector<int> Pages;
    int Copies = 1;
    bool Collate = true;
    int Scale = 100;
    int OffsetTop = 0, OffsetLeft = 0;
    bool PrintVisible = false;
    // The paper every page is scaled to: size code -1 for none, else the
    // code and its size in tenths of a millimetre (portrait).
    int ScalePaperSize = -1, ScalePaperWidth = 0, ScalePaperHeight = 0;
    void SetOffsets(int topPx, int leftPx);
    // The engine printer entry of a combo item and back.
    static int EntryOfItem(int item) { return item <= 0 ? 0 : item + 1; }
    static int ItemOfEntry(int entry) { return entry > 1 ? entry - 1 : 0; }
    // Puts back the printer chosen before the dialog (Cancel).
    void RestorePrinter();

protected:
    void DoClose(TCloseAction& action) override;

private:
    int pageCount_, current_;
    int oldEntry_ = 0, oldPlatform_ = -1;
    void okClick();
    void printerChanged();
    void applyPrinter();
    void showPrinterInfo();
    void fillScalePapers();
};

// The status line of a print queue: "打印" with jobs waiting, else "空闲";
// a status that is exactly one of the single states names it instead; the
// number of waiting jobs follows after ":".
std::string RMPrinterStatusText(unsigned status, int jobs);

// The paper one print job runs on: a built page's paper, or the paper
// every page is scaled to, in the page's orientation (tenths of a
// millimetre, width across as printed), and the tray it asks for.
struct RMJobPaper {
    int WidthTenths = 0, HeightTenths = 0;
    std::string Source;
    friend bool operator==(const RMJobPaper&, const RMJobPaper&) = default;
};
struct TRMEMFPageRec;
class TPrinter;
RMJobPaper RMJobPaperOf(const TRMEMFPageRec& page, int scalePaper, int scaleWidth, int scaleHeight);
// Sets the platform printer up for a job on that paper (a paper of its
// own list when one is within a millimetre, else a custom size).
void RMApplyJobPaper(TPrinter* printer, const RMJobPaper& paper);
// The file of the job-th job (from 2) of one print on the PDF printer:
// "list.pdf" gives "list-2.pdf".
std::string RMNumberedJobFile(const std::string& firstFile, const std::string& title, int job);

// The page settings the page setup dialog edits: paper in tenths of a
// millimetre (orientation applied), margins and column gap in
// millimetres. The setters refuse what makes no sense.
struct TRMPageSetting {
    std::string Title, PrinterName;
    int PaperSize = 9;
    int PaperWidth = 2100, PaperHeight = 2970;
    int Orientation = 0;
    int Bin = 0xFFFF;
    double MarginLeft = 10, MarginTop = 10, MarginRight = 10, MarginBottom = 10;
    int ColCount = 1;
    double ColGap = 0;
    bool PrintToPrevPage = false, UnlimitedHeight = false, DoublePass = false, PrintVisible = false,
         PrintBackColor = true;
    // 0 left, 1 top, 2 right, 3 bottom, 4 column gap; negative is ignored.
    void SetMargin(int index, double mm);
    void SetColCount(int n);
    // Swaps width and height when the orientation changes.
    void SetOrientation(int o);
};

class TRMPageSetupForm;
// The paper thumbnail of the page setup dialog.
class TRMPageImage : public TGraphicControl {
public:
    TRMPageImage(TComponent* owner, TRMPageSetupForm* form);
    std::string ClassName() const override { return "TRMPageImage"; }
    void DrawPage();

protected:
    void Paint() override;

private:
    TRMPageSetupForm* form_;
    TBitmap bmp_;
};

class TRMSpinEdit;
class TPageControl;
class TTabSheet;
class TListBox;

// Page setup: printer and paper (by name or a custom size in centimetres),
// orientation, paper source, margins in centimetres, columns and the build
// options, with a thumbnail of the paper. With a report it starts from the
// report's first page and OK applies the setting to every report page.
class TRMPageSetupForm : public TForm {
public:
    explicit TRMPageSetupForm(TComponent* owner, TRMReport* report = nullptr);
    std::string ClassName() const override { return "TRMPageSetupForm"; }
    TRMPageSetting Setting;

    TPageControl* PageControl1;
    TTabSheet *TabSheet1, *TabSheet4, *TabSheet2, *TabSheet3;
    TComboBox* cmbPrinterNames;
    TComboBox* cmbPaperNames;
    TRMSpinEdit *edtWidth, *edtHeight;
    TRadioButton *rdbPortrait, *rdbLandscape;
    TCheckBox* chkUnlimitedHeight;
    TEdit* edtTitle;
    TListBox* lstBinNames;
    TRMSpinEdit *edtTop, *edtBottom, *edtLeft, *edtRight;
    TRMSpinEdit *edtColCount, *edtColGap;
    TCheckBox *chkPrintToPrevPage, *chkDoublePass, *chkTaoda, *chkPrintBackColor;
    TGroupBox* grbPreview;
    TRMPageImage* PageImage;
    TButton* btnOK;
    TButton* btnCancel;

    // Fills the controls from Setting (call after changing Setting).
    void ShowSetting();
    void PrinterChanged();
    void ReadPaperSize();
    void ReadMargins();
    // The printer entries: "默认打印机", "虚拟打印机", then the platform's.
    int ChosenPrinter() const;

protected:
    void DoShow() override;

private:
    TRMReport* report_;
    bool showing_ = false;
    bool cancelling() const;
    const TRMPrinterInfo& chosenInfo() const;
    void fill();
    void okClick();
    void applyToReport();
};

// The papers of the virtual printer (the table papers, the extra papers
// and the custom size last).
const std::vector<TRMPaperInfo>& RMPapers();
// The paper whose size matches within 1 mm either way, or 256 (custom).
int RMPaperCodeOf(int width01mm, int height01mm);
