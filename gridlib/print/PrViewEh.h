// The printer the grid printing draws on, and the preview that records it.
// TVirtualPrinter forwards to the platform's Printer() (CUPS queues and the
// built-in "PDF" printer); TPrinterPreview records every page as a TMetafile
// at the printer's resolution; TPreviewBox shows them one at a time and
// TPreviewFormEh is the window around it.
//
//   printer: idle --BeginDoc--> page 1 --NewPage--> page n --EndDoc--> idle
//   preview PageCount: 1 while page 1 draws, completed pages after, all
//   after EndDoc; Abort only raises the flag the renderer polls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"
#include "Metafile.h"
#include "Printers.h"

class TPrintDBGridEh;
class TPreviewBox;
class TToolBar;
class TToolButton;
class TStatusBar;
class TPopupMenu;
class TMenuItem;

class TVirtualPrinter : public TObject {
public:
    ~TVirtualPrinter() override = default;
    std::string ClassName() const override { return "TVirtualPrinter"; }
    virtual bool GetAborted() { return Printer()->Aborted(); }
    virtual TCanvas* GetCanvas() { return Printer()->Canvas(); }
    virtual int GetNumCopies() { return Printer()->Copies(); }
    virtual TPrinterOrientation GetOrientation() { return Printer()->Orientation(); }
    virtual int GetPageHeight() { return Printer()->PageHeight(); }
    virtual int GetPageWidth() { return Printer()->PageWidth(); }
    virtual int GetPageNumber() { return Printer()->PageNumber(); }
    virtual bool GetPrinting() { return Printer()->Printing(); }
    virtual std::string GetTitle() { return Printer()->Title(); }
    virtual int GetFullPageWidth() { return GetPageWidth() + 2 * Printer()->GetDeviceCaps(PHYSICALOFFSETX); }
    virtual int GetFullPageHeight() { return GetPageHeight() + 2 * Printer()->GetDeviceCaps(PHYSICALOFFSETY); }
    virtual int GetPrinterIndex() { return Printer()->PrinterIndex(); }
    virtual std::vector<std::string> GetPrinters() { return Printer()->Printers(); }
    virtual int GetXDpi() { return Printer()->XDpi(); }
    virtual int GetYDpi() { return Printer()->YDpi(); }
    virtual void SetPrinterIndex(int v) { Printer()->SetPrinterIndex(v); }
    virtual void SetNumCopies(int v) { Printer()->SetCopies(v); }
    virtual void SetOrientation(TPrinterOrientation v) { Printer()->SetOrientation(v); }
    virtual void SetTitle(const std::string& v) { Printer()->SetTitle(v); }
    virtual void Abort() { Printer()->Abort(); }
    virtual void BeginDoc() { Printer()->BeginDoc(); }
    virtual void EndDoc() { Printer()->EndDoc(); }
    virtual void NewPage() { Printer()->NewPage(); }
};

// The one forwarding printer of the program (PrintDirect prints on it).
TVirtualPrinter* SharedVirtualPrinter();

// Records pages as metafiles, in device pixels of its own printer.
class TPrinterPreview : public TVirtualPrinter {
public:
    TPrinterPreview();
    ~TPrinterPreview() override;
    std::string ClassName() const override { return "TPrinterPreview"; }

    bool GetAborted() override { return aborted_; }
    TCanvas* GetCanvas() override { return canvas_.get(); }
    int GetNumCopies() override { return printer_->Copies(); }
    TPrinterOrientation GetOrientation() override { return printer_->Orientation(); }
    int GetPageHeight() override;
    int GetPageWidth() override;
    int GetPageNumber() override { return pageNumber_; }
    bool GetPrinting() override { return printing_; }
    std::string GetTitle() override { return printer_->Title(); }
    int GetFullPageWidth() override;
    int GetFullPageHeight() override;
    int GetPrinterIndex() override { return printer_->PrinterIndex(); }
    std::vector<std::string> GetPrinters() override { return printer_->Printers(); }
    int GetXDpi() override;
    int GetYDpi() override;
    void SetPrinterIndex(int v) override { printer_->SetPrinterIndex(v); }
    void SetNumCopies(int v) override { printer_->SetCopies(v); }
    void SetOrientation(TPrinterOrientation v) override { printer_->SetOrientation(v); }
    void SetTitle(const std::string& v) override { printer_->SetTitle(v); }
    void Abort() override { aborted_ = true; }
    void BeginDoc() override;
    void EndDoc() override;
    void NewPage() override;

    TPrinter* OwnPrinter() const { return printer_.get(); }
    TPreviewBox* PreviewBox() const { return box_; }
    void SetPreviewBox(TPreviewBox* b) { box_ = b; }
    int PageCount() const { return int(pages_.size()); }
    TMetafile* Page(int i) const { return pages_.at(size_t(i)).get(); }
    // Draws page n (1-based) on canvas at (0, 0).
    void DrawPage(TCanvas* canvas, int n);
    TPrintDBGridEh* PrintDBGridEh = nullptr;
    TNotifyEvent PendingSetupDialog;

private:
    void newCanvas();
    std::unique_ptr<TPrinter> printer_;
    std::vector<std::unique_ptr<TMetafile>> pages_;
    std::unique_ptr<TMetafileCanvas> canvas_;
    TPreviewBox* box_ = nullptr;
    int pageNumber_ = 0;
    bool printing_ = false;
    bool aborted_ = false;
};

enum TViewMode { vm500, vm200, vm150, vm100, vm75, vm50, vm25, vm10, vmPageWidth, vmFullPage };

// The page view: one recorded page on a grey desk, zoomed; PgUp/PgDn,
// Home/End, the wheel (turns pages when the page fits) and clicks (whole
// page <-> 100 %).
class TPreviewBox : public TCustomControl {
public:
    explicit TPreviewBox(TComponent* AOwner);
    ~TPreviewBox() override;
    std::string ClassName() const override { return "TPreviewBox"; }
    TPrinterPreview* Printer() const { return printer_.get(); }
    int PageCount() const { return pageCount_; }
    void SetPageCount(int v);
    int PageNumber() const { return pageNumber_; }
    void SetPageNumber(int v);
    TViewMode ViewMode() const { return viewMode_; }
    void SetViewMode(TViewMode v);
    // Percent shown (page width and whole page give their computed zoom).
    int Zoom() const;
    void LayOutPage() { Invalidate(); }
    TPrintDBGridEh* PrintDBGridEh() const { return printDBGridEh_; }
    void SetPrintDBGridEh(TPrintDBGridEh* v) { printDBGridEh_ = v; }
    // Sends the recorded pages from..to (1-based) to the platform printer.
    void Print(int fromPage, int toPage);

    TNotifyEvent OnPrinterPreviewChanged;
    TNotifyEvent OnPrinterSetupDialog;
    TNotifyEvent OnOpenPreviewer;

protected:
    void Paint() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) override;
    void Resize() override;

private:
    TRect pageRect() const;
    void updateScroll();
    std::unique_ptr<TPrinterPreview> printer_;
    int pageCount_ = 0;
    int pageNumber_ = 1;
    TViewMode viewMode_ = vmFullPage;
    int scrollX_ = 0;
    int scrollY_ = 0;
    TPoint panFrom_;
    TPrintDBGridEh* printDBGridEh_ = nullptr;
};

// The preview window: tool bar (print, setup, zoom, pages, stop, close),
// the page view and the status line "Page %d of %d".
class TPreviewFormEh : public TForm {
public:
    explicit TPreviewFormEh(TComponent* AOwner);
    std::string ClassName() const override { return "TPreviewFormEh"; }
    TPreviewBox* PreviewEh1 = nullptr;
    TToolBar* ToolBar1 = nullptr;
    TToolButton* tbtPrint = nullptr;
    TToolButton* tbtPrinterSetupDialog = nullptr;
    TToolButton* tbtScale = nullptr;
    TToolButton* tbtPrevPage = nullptr;
    TToolButton* tbtNextPage = nullptr;
    TToolButton* tbStop = nullptr;
    TToolButton* tbClose = nullptr;
    TStatusBar* StatusBar1 = nullptr;
    TPopupMenu* pmnScale = nullptr;
    // Refreshes buttons and status from the page view.
    void PreviewChanged();

protected:
    void DoShow() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
};

// The preview printer of the one preview window (made on first use).
TPrinterPreview* GetPreviewPrinter();
TPreviewFormEh* PreviewForm();
