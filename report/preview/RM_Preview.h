// The preview window: the built pages one under the other on a grey desk,
// a toolbar (first/prior/next/last page, zoom, find, print, page setup,
// open, save, close), "页 n/N" in the status bar, and keys: PgUp/PgDn and
// Ctrl+PgUp/PgDn (pages), Ctrl+Home/End (first/last), Ctrl+F (find), F3
// (find next), Ctrl+P (print), Ctrl+S/Ctrl+O (save/open), Esc (close).
#pragma once

#include <map>

#include "ComCtrls.h"
#include "Variants.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TRMReport;

enum TRMZoomMode { zmPercent, zmPageWidth, zmWholePage, zmTwoPages };

class TRMPreviewForm : public TForm {
public:
    TRMPreviewForm(TComponent* owner, TRMReport* report);
    std::string ClassName() const override { return "TRMPreviewForm"; }

    TPanel* ToolBar;
    TButton *BtnFirst, *BtnPrior, *BtnNext, *BtnLast, *BtnFind, *BtnPrint, *BtnPageSetup, *BtnOpen, *BtnSave, *BtnExit;
    TComboBox* CmbZoom;
    TScrollBox* Box;
    TPaintBox* PaintBox;
    TStatusBar* StatusBar;

    int PageCount() const;
    int CurPage() const { return cur_; } // 1-based
    void GotoPage(int n);
    void SetZoom(double percent);
    void SetZoomMode(TRMZoomMode m);
    double Zoom() const { return zoom_; }
    // Text search from the current position; true when found (the page
    // is shown and the text marked).
    bool Find(const std::string& text, bool caseSensitive, bool wholeWord, bool fromStart);
    bool FindNext();
    void ShowFindDialog();
    void DoPrint();
    void DoPageSetup();
    // Sets the zoom from a text such as "75%", "80" or a mode name.
    void ZoomText(const std::string& t);

private:
    TRMReport* report_;
    int cur_ = 1;
    double zoom_ = 100;
    TRMZoomMode mode_ = zmPercent;
    std::string findText_;
    bool findCase_ = false, findWord_ = false;
    int findPage_ = 0, findRec_ = -1;
    TRect mark_;
    int markPage_ = -1;
    std::vector<TRect> pageRects_; // in paint box pixels
    void layout();
    void paint();
    void updateStatus();
    void keyDown(Word& key, TShiftState shift);
    double scale() const { return zoom_ / 100.0; }
};

// Search options form, shown modally by the preview.
class TRMPreviewSearchForm : public TForm {
public:
    explicit TRMPreviewSearchForm(TComponent* owner);
    std::string ClassName() const override { return "TRMPreviewSearchForm"; }
    TEdit* Edit1;
    TCheckBox* ChkCase;
    TCheckBox* ChkWholeWord;
    TRadioButton* RbFromStart;
    TRadioButton* RbFromCurrent;
    TButton* BtnOK;
    TButton* BtnCancel;
};

// The list windows' report menu in one call: loads the template at path
// and previews (mode 0) or prints (mode 1) it over the TRMDBDataSet
// components already named (RMDBDataSet1 in the templates), with report
// variables such as "馆名" (the library name the templates print); a
// missing template says "报表文件不存在：" with the path. False when nothing
// was shown.
bool RMShowReportFile(const std::string& path, int mode, TComponent* owner = nullptr,
                      const std::map<std::string, Variant>& variables = {});
