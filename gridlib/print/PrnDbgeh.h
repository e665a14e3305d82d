// Grid printing: lays a TDBGridEh out as a paginated table on a
// TVirtualPrinter (the system printer for PrintDirect, the preview's
// recording printer for ShowPreview): page header and footer with macros,
// the Title text, column titles (plain or multi-level) repeated on every
// page, data rows, and the grid's footer rows with sums over the printed
// rows. Columns wider than a sheet split into bands printed on their own
// sheets; with pghFitGridToPageWidth the table shrinks to the page width.
// Margins are in centimetres ("MM") or inches, from the sheet's edge.
// Not here: rich text before and after the table (no caller sets it; the
// lists print as plain lines).
//
//   auto* print = new TPrintDBGridEh(form);
//   print->SetDBGridEh(grid);
//   print->PageHeader()->CenterText()->Add("图书馆");
//   print->ShowPreview();                     // modal; returns when closed
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "System.h"

class TDBGridEh;
class TCustomDBGridEh;
class TVirtualPrinter;
class TColumnEh;

enum TPrintDBGridEhOption {
    pghFitGridToPageWidth,
    pghColored,
    pghRowAutoStretch,
    pghFitingByColWidths,
    pghOptimalColWidths
};
using TPrintDBGridEhOptions = TSet<TPrintDBGridEhOption>;

enum TMeasureUnits { MM, Inches };
enum TPageColontitleLineType { pcltNon, pcltSingleLine, pcltDoubleLine };

class TPageParams : public TPersistent {
public:
    std::string ClassName() const override { return "TPageParams"; }
    void Assign(TPersistent* Source) override;
    Currency BottomMargin = Currency(2);
    Currency LeftMargin = Currency(2);
    Currency RightMargin = Currency(2);
    Currency TopMargin = Currency(2);
};

class TPageColontitle : public TPersistent {
public:
    TPageColontitle();
    std::string ClassName() const override { return "TPageColontitle"; }
    // Left, centre and right texts and the font (not the line type).
    void Assign(TPersistent* Source) override;
    TStrings* CenterText() const { return center_.get(); }
    TStrings* LeftText() const { return left_.get(); }
    TStrings* RightText() const { return right_.get(); }
    TFont* Font() const { return font_.get(); }
    TPageColontitleLineType LineType = pcltNon;

private:
    std::unique_ptr<TStringList> center_, left_, right_;
    std::unique_ptr<TFont> font_;
};

class TPrintDBGridEh : public TComponent {
public:
    explicit TPrintDBGridEh(TComponent* AOwner);
    ~TPrintDBGridEh() override;
    std::string ClassName() const override { return "TPrintDBGridEh"; }

    TCustomDBGridEh* DBGridEh() const { return grid_; }
    void SetDBGridEh(TCustomDBGridEh* v);
    TPrintDBGridEhOptions Options() const { return options_; }
    void SetOptions(TPrintDBGridEhOptions v) { options_ = v; }
    TPageParams* Page() const { return page_.get(); }
    TPageColontitle* PageHeader() const { return header_.get(); }
    TPageColontitle* PageFooter() const { return footer_.get(); }
    const std::string& PrintFontName() const { return printFontName_; }
    void SetPrintFontName(const std::string& v) { printFontName_ = v; }
    TStrings* Title() const { return title_.get(); }
    TStrings* BeforeGridText() const { return before_.get(); }
    TStrings* AfterGridText() const { return after_.get(); }
    TMeasureUnits Units() const { return units_; }
    // Converts the margins (x 0.3937 to inches, x 2.54 to centimetres,
    // rounded to four decimals).
    void SetUnits(TMeasureUnits v);

    // Renders into the preview window and shows it modally.
    void ShowPreview();
    // One print job on the system's current printer, no dialog.
    void PrintDirect();
    // Lays out and draws one printout. Raises EAbort after the job was
    // closed when the printer reports Aborted.
    void RenderGridPages(TVirtualPrinter* printer);
    bool ShowSetupDialog();
    void SetupAndPreview();
    // Whether a printout is running now (the owner window must not close).
    bool Printing() const { return printing_; }
    // Pages of the last printout.
    int LastPageCount() const { return lastPageCount_; }

    TNotifyEvent OnAfterPrint;
    TNotifyEvent OnBeforePrint;
    TNotifyEvent OnPrinterSetupDialog;

    void Notification(TComponent* component, TOperation operation) override;

    // "&[Page]" .. replaced ignoring case; "&&[Page]" prints as written.
    static std::string ExpandMacros(const std::string& text, int page, int pages);
    // Whether any header or footer text uses "&[Pages]" (any letter case).
    bool UsesPagesMacro() const;

private:
    struct Render;
    TCustomDBGridEh* grid_ = nullptr;
    TPrintDBGridEhOptions options_;
    std::unique_ptr<TPageParams> page_;
    std::unique_ptr<TPageColontitle> header_, footer_;
    std::unique_ptr<TStringList> title_, before_, after_;
    std::string printFontName_;
    TMeasureUnits units_ = MM;
    bool printing_ = false;
    int lastPageCount_ = 0;
};

// The print setup dialog: margins, fitting, colours, the print font.
class TfPrnDBGridEhSetupDialog;
