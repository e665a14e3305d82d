// The preview control: a report's built pages laid out in rows on a grey
// desk, with scroll bars, page buttons and the "页 n/N" status, zoom in five
// modes, drag-scrolling, a magnifier click, text search in the rendered
// pages, printing, page setup, load and save of prepared reports and page
// adding and deleting.
#pragma once

#include <string>
#include <vector>

#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "report/toolkit/RM_TB97Ctls.h"

// The preview's magnifier cursor (registered on first use).
TCursor crMagnifier();

class TRMReport;
class TRMPreview;

enum TRMZoomMode { zmPercent, zmPageWidth, zmWholePage, zmTwoPages, zmPrinter };
enum TRMPreviewZoom : int; // RM_Report.h

class TRMDrawPanel : public TCustomControl {
public:
    TRMDrawPanel(TComponent* owner, TRMPreview* preview);
    std::string ClassName() const override { return "TRMDrawPanel"; }

protected:
    void Paint() override;
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
    void MouseMove(TShiftState s, int x, int y) override;
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;
    void DblClick() override;
    bool DoMouseWheel(TShiftState s, int delta, TPoint p) override;

private:
    friend class TRMPreview;
    TRMPreview* preview_;
    bool dragging_ = false, ignorePress_ = false;
    TPoint last_, press_;
    int lastLeft_ = 0, lastRight_ = 0;
};

class TRMPreview : public TPanel {
public:
    explicit TRMPreview(TComponent* owner);
    std::string ClassName() const override { return "TRMPreview"; }

    std::string InitialDir;
    TScrollStyle ScrollBarsStyle() const { return scrollBars_; }
    void SetScrollBarsStyle(TScrollStyle s);
    TNotifyEvent OnPageChanged;
    TNotifyEvent OnStatusChange;

    TRMReport* Report() const { return report_; }
    // Takes the report's built pages, in the zoom its InitialZoom asks for.
    void ShowReport(TRMReport* report);
    void Connect(TRMReport* report) { report_ = report; }
    void Disconnect() {}
    bool CanModifyPages() const;

    int PageCount() const;
    int CurPage() const { return curPage_; }
    void GotoPage(int n);
    void First() { GotoPage(1); }
    void Prior() { GotoPage(curPage_ - 1); }
    void Next() { GotoPage(curPage_ + 1); }
    void Last() { GotoPage(PageCount()); }

    double Zoom() const { return scale_ * 100; }
    void SetZoom(double percent);
    TRMZoomMode ZoomMode() const { return mode_; }
    // Sets the mode without laying out (the window's remembered state).
    void SetZoomModeOnly(TRMZoomMode m) { mode_ = m; }
    double PercentScale() const { return percentScale_; }
    void SetPercentScale(double s) { percentScale_ = s; }
    void PageWidth();
    void OnePage();
    void TwoPages();
    void PrinterZoom();
    bool Magnifier() const { return magnifier_; }
    void SetMagnifier(bool v) { magnifier_ = v; }

    void Print();
    void PrintCurrentPage();
    // The search dialog, then FindNext.
    void Find();
    // Search with the options given, from page 1 (fromStart) or from the
    // current page; true when a hit was shown.
    bool FindText(const std::string& text, bool caseSensitive, bool wholeWords, bool fromStart);
    bool FindNext();
    bool Found() const { return found_; }
    TRect FoundRect() const { return foundRect_; }
    const std::string& SearchText() const { return findText_; }
    void ContinueFromCurrentPage();
    void PageSetup();
    void LoadFromFiles(const std::vector<std::string>& files);
    // Filter index 1 writes a prepared report (".rmp"), 2 and on the
    // registered export filters in order.
    void SaveToFile(const std::string& fileName, int filterIndex);
    bool ExportTo(class TRMExportFilter* filter, const std::string& fileName);
    void AddPage();
    void InsertPageBefore();
    void InsertPageAfter();
    void DeletePage(int index);
    bool EditPage(int index);

    void LayoutPages();
    void RedrawPages(bool reset = false);
    void ScrollToCurrentPage();
    TRect PageRect(int i) const { return rects_[size_t(i)]; }

    TScrollBar* VScrollBar;
    TScrollBar* HScrollBar;
    TLabel* StatusLabel;
    TRMDrawPanel* DrawPanel;
    TToolbarButton97* BtnPgUp;
    TToolbarButton97* BtnPgDn;
    TPanel* RightPanel;
    TPanel* BottomPanel;

protected:
    void Resize() override;

private:
    friend class TRMDrawPanel;
    TRMReport* report_ = nullptr;
    TScrollStyle scrollBars_ = ssBoth;
    int curPage_ = 1;
    int offsetX_ = 0, offsetY_ = 0;
    double scale_ = 1, percentScale_ = 1;
    TRMZoomMode mode_ = zmPercent;
    bool paintAllowed_ = false, magnifier_ = false;
    std::string findText_;
    bool caseSensitive_ = false, wholeWords_ = false, found_ = false;
    int findPage_ = 0, findRecord_ = 0;
    TRect foundRect_;
    int markPage_ = -1;
    std::vector<TRect> rects_;
    bool scrolling_ = false;
    void updatePageStatus();
    void statusChange();
    void vScroll();
    void hScroll();
    int pageAt(TPoint p) const;
    // Panel point (x, y) in page pixels of page.
    TPoint pagePoint(int page, int x, int y) const;
    void setZoomMode(TRMZoomMode m);
};

// Whole-word test of the search: no letter or digit right after the match
// nor right before it.
bool RMMatchWholeWord(const std::string& text, const std::string& what);
