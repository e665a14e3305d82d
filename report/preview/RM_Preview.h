// The preview window: a dockable toolbar (zoom box and toggles, page
// buttons with the page-number box, find, open, save, print, page setup,
// close) over the preview control, a popup menu with the zoom steps and
// printing, and keys for every command: PgUp/PgDn and arrows scroll,
// Ctrl+PgUp/PgDn (pages), Ctrl+Home/End (first/last), Ctrl+F (find), F3
// (find next), Ctrl+P (print), Ctrl+Alt+P (print the current page),
// Ctrl+S/Ctrl+O (save/open), Ctrl+U (page setup), Ctrl+E (edit page),
// Ctrl+1/2/3/4 (100 %, whole page, page width, two pages), Ctrl+M
// (magnifier), Ctrl+G (the page-number box), Esc (close).
// Also the search dialog and the progress window under which reports
// build and print.
#pragma once

#include <functional>
#include <map>

#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "ImgList.h"
#include "Menus.h"
#include "StdCtrls.h"
#include "Variants.h"
#include "report/preview/RM_View.h"
#include "report/toolkit/RM_Common.h"

class TRMReport;
class TRMExportFilter;

class TRMPreviewForm : public TForm {
public:
    TRMPreviewForm(TComponent* owner, TRMReport* report);
    std::string ClassName() const override { return "TRMPreviewForm"; }

    TDock97* Dock971;
    TDock97* Dock972;
    TToolbar97* ToolbarPreviewStand;
    TComboBox* cmbZoom;
    TToolbarButton97 *btnMagnifier, *btnOnePage, *btn100, *btnPageWidth;
    TToolbarButton97 *btnFirst, *btnPrior, *btnNext, *btnLast;
    TEdit97* edtPageNo;
    TToolbarButton97 *btnFind, *btnOpen, *btnSave, *btnSaveToXLS, *btnPrint, *btnPageSetup, *btnDesign, *btnExit;
    TToolbarSep97 *sepZoom, *sepFind, *sepFile, *sepDesign, *sepExit;
    TPopupMenu* ProcMenu;
    TMenuItem *itmPrint, *itmPrintCurrentPage, *itmNewPage, *itmDeletePage, *itmEditPage;
    TImageList* ImageList1;
    TRMPreview* Preview;

    // Conveniences over the preview control.
    int PageCount() const { return Preview->PageCount(); }
    int CurPage() const { return Preview->CurPage(); }
    double Zoom() const { return Preview->Zoom(); }
    // Sets the zoom from a text such as "75%", "80" or an item's text.
    void ZoomText(const std::string& t);

    // A window shown without waiting (ModalPreview off, MDIPreview) frees
    // itself when closed.
    bool FreeOnClose = false;

    // The settings every preview window starts from.
    static double LastScale;
    static TRMZoomMode LastZoomMode;
    static bool LastMagnifier;

protected:
    void DoShow() override;
    void DoClose(TCloseAction& a) override;

private:
    TRMReport* report_;
    bool syncing_ = false;
    void build();
    void localize();
    void applyButtons();
    void syncToolbar();
    void syncCombo();
    void remember();
    void keyDown(Word& k, TShiftState s);
    void open();
    void save();
    void saveToXLS();
    TRMExportFilter* spreadsheetFilter() const;
    void exitClick();
};

class TRMPreviewSearchForm : public TForm {
public:
    explicit TRMPreviewSearchForm(TComponent* owner);
    std::string ClassName() const override { return "TRMPreviewSearchForm"; }
    TLabel* Label1;
    TEdit* edtSearchTxt;
    TGroupBox* GroupBox1;
    TCheckBox* chkCaseSensitive;
    TCheckBox* chkWholewords;
    TGroupBox* GroupBox2;
    TRadioButton* rdbFromFirst;
    TRadioButton* rdbFromCursor;
    TButton* btnOK;
    TButton* btnCancel;

protected:
    void DoShow() override;
};

// A modal window with a counter and Cancel: Execute shows it and starts
// the work from inside its modal loop; the work closes it by setting the
// modal result (1 done, 2 cancelled); Cancel sets the report's Terminated.
class TRMProgressForm : public TForm {
public:
    explicit TRMProgressForm(TComponent* owner);
    std::string ClassName() const override { return "TRMProgressForm"; }
    TLabel* Label1;
    TLabel* Label2;
    TButton* btnCancel;
    std::function<void(TRMProgressForm*)> OnWork;
    TModalResult Execute(TRMReport* report);
    TRMReport* Report() const { return report_; }

private:
    TRMReport* report_ = nullptr;
    TTimer* start_;
    bool started_ = false;
    void runWork();
};

// The progress window's line for page n of a build: "进行第一次处理:  n"
// in the first pass of two, else "正在处理页:  n", with " 从 " and the
// page count in the final pass of two.
std::string RMProgressText(const TRMReport& report, int pageNo);

// The list windows' report menu in one call: loads the template at path
// and previews (mode 0) or prints (mode 1) it over the TRMDBDataSet
// components already named (RMDBDataSet1 in the templates), with report
// variables such as "馆名" (the library name the templates print); a
// missing template says "报表文件不存在：" with the path. False when nothing
// was shown.
bool RMShowReportFile(const std::string& path, int mode, TComponent* owner = nullptr,
                      const std::map<std::string, Variant>& variables = {});
