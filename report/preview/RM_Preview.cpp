#include "report/preview/RM_Preview.h"

#include <algorithm>
#include <cmath>

#include "Dialogs.h"
#include "Metafile.h"
#include "SysUtils.h"
#include "report/model/RM_Report.h"
#include "report/print/RM_PrintDialog.h"

namespace {
constexpr int kGap = 10;
const char* const kZoomItems[] = {"200%", "150%", "100%", "75%", "50%", "25%", "10%", "页宽", "整页", "双页"};

TButton* toolButton(TForm* f, TWinControl* parent, const char* name, const char* caption, int& x, int w = 54) {
    auto* b = new TButton(f);
    b->SetName(name);
    b->SetParent(parent);
    b->SetCaption(caption);
    b->SetBounds(x, 4, w, 26);
    b->SetTabStop(false);
    x += w + 2;
    return b;
}

bool isWordChar(const std::string& s, size_t i) {
    if (i >= s.size()) return false;
    unsigned char c = uint8_t(s[i]);
    return isalnum(c) || c == '_' || c >= 0x80;
}
} // namespace

TRMPreviewForm::TRMPreviewForm(TComponent* owner, TRMReport* report) : TForm(owner), report_(report) {
    SetName("RMPreviewForm");
    std::string title = report->ReportInfo.Title.empty() ? ExtractFileName(report->FileName) : report->ReportInfo.Title;
    SetCaption("预览 - " + title);
    SetClientWidth(900);
    SetClientHeight(640);
    SetKeyPreview(true);
    SetPosition(poScreenCenter);

    ToolBar = new TPanel(this);
    ToolBar->SetName("ToolBar");
    ToolBar->SetParent(this);
    ToolBar->SetAlign(alTop);
    ToolBar->SetHeight(34);
    ToolBar->SetCaption("");
    int x = 4;
    int btns = report->PreviewButtons;
    if (btns & pbZoom) {
        CmbZoom = new TComboBox(this);
        CmbZoom->SetName("CmbZoom");
        CmbZoom->SetParent(ToolBar);
        CmbZoom->SetBounds(x, 6, 80, 21);
        for (const char* z : kZoomItems) CmbZoom->Items()->Add(z);
        CmbZoom->SetItemIndex(2);
        CmbZoom->OnChange = [this](TObject*) { ZoomText(CmbZoom->Text()); };
        CmbZoom->OnKeyDown = [this](TObject*, Word& k, TShiftState) {
            if (k == VK_RETURN) {
                ZoomText(CmbZoom->Text());
                k = 0;
            }
        };
        x += 86;
    } else {
        CmbZoom = nullptr;
    }
    BtnFirst = toolButton(this, ToolBar, "BtnFirst", "首页", x);
    BtnPrior = toolButton(this, ToolBar, "BtnPrior", "上页", x);
    BtnNext = toolButton(this, ToolBar, "BtnNext", "下页", x);
    BtnLast = toolButton(this, ToolBar, "BtnLast", "末页", x);
    x += 8;
    BtnFind = toolButton(this, ToolBar, "BtnFind", "查找", x);
    BtnPrint = toolButton(this, ToolBar, "BtnPrint", "打印", x);
    BtnPageSetup = toolButton(this, ToolBar, "BtnPageSetup", "页面设置", x, 72);
    BtnOpen = toolButton(this, ToolBar, "BtnOpen", "打开", x);
    BtnSave = toolButton(this, ToolBar, "BtnSave", "保存", x);
    x += 8;
    BtnExit = toolButton(this, ToolBar, "BtnExit", "退出", x);
    BtnFind->SetVisible(btns & pbFind);
    BtnPrint->SetVisible(btns & pbPrint);
    BtnPageSetup->SetVisible(btns & pbPageSetup);
    BtnOpen->SetVisible(btns & pbLoad);
    BtnSave->SetVisible(btns & pbSave);
    BtnExit->SetVisible(btns & pbExit);
    BtnFirst->OnClick = [this](TObject*) { GotoPage(1); };
    BtnPrior->OnClick = [this](TObject*) { GotoPage(cur_ - 1); };
    BtnNext->OnClick = [this](TObject*) { GotoPage(cur_ + 1); };
    BtnLast->OnClick = [this](TObject*) { GotoPage(PageCount()); };
    BtnFind->OnClick = [this](TObject*) { ShowFindDialog(); };
    BtnPrint->OnClick = [this](TObject*) { DoPrint(); };
    BtnPageSetup->OnClick = [this](TObject*) { DoPageSetup(); };
    BtnExit->OnClick = [this](TObject*) { Close(); };
    BtnSave->OnClick = [this](TObject*) {
        auto* d = new TSaveDialog(this);
        d->SetFilter("报表文件 (*.rmp)|*.rmp");
        d->SetDefaultExt("rmp");
        if (d->Execute()) {
            std::string f = d->FileName();
            if (!SameText(ExtractFileExt(f), ".rmp")) f = ChangeFileExt(f, ".rmp");
            report_->SavePreparedReport(f);
        }
    };
    BtnOpen->OnClick = [this](TObject*) {
        auto* d = new TOpenDialog(this);
        d->SetFilter("报表文件 (*.rmp)|*.rmp");
        if (d->Execute()) {
            if (!report_->LoadPreparedReport(d->FileName())) ShowMessage("不能打开文件：" + d->FileName());
            cur_ = 1;
            layout();
        }
    };

    StatusBar = new TStatusBar(this);
    StatusBar->SetName("StatusBar");
    StatusBar->SetParent(this);
    StatusBar->SetAlign(alBottom);
    StatusBar->SetSimplePanel(true);

    Box = new TScrollBox(this);
    Box->SetName("Box");
    Box->SetParent(this);
    Box->SetAlign(alClient);
    Box->SetColor(clGray);
    PaintBox = new TPaintBox(this);
    PaintBox->SetName("PaintBox");
    PaintBox->SetParent(Box);
    PaintBox->OnPaint = [this](TObject*) { paint(); };
    OnKeyDown = [this](TObject*, Word& k, TShiftState s) { keyDown(k, s); };
    OnResize = [this](TObject*) {
        if (mode_ != zmPercent) SetZoomMode(mode_);
    };
    report_->PreviewOpened = true;
    layout();
}

int TRMPreviewForm::PageCount() const { return report_->EMFPages.Count(); }

void TRMPreviewForm::layout() {
    pageRects_.clear();
    int n = PageCount();
    int perRow = mode_ == zmTwoPages ? 2 : 1;
    int y = kGap, maxW = 0, rowH = 0, x = kGap;
    for (int i = 0; i < n; ++i) {
        auto& r = report_->EMFPages[i];
        int w = int(r.PageWidth * scale()), h = int(r.PageHeight * scale());
        if (i % perRow == 0) {
            x = kGap;
            if (i) y += rowH + kGap;
            rowH = 0;
        }
        pageRects_.push_back(TRect(x, y, x + w, y + h));
        x += w + kGap;
        rowH = std::max(rowH, h);
        maxW = std::max(maxW, x);
    }
    int totalH = y + rowH + kGap;
    int boxW = std::max(1, Box->ClientWidth());
    // Pages are centred when narrower than the window.
    int shift = maxW < boxW ? (boxW - maxW) / 2 : 0;
    for (auto& r : pageRects_) {
        r.Left += shift;
        r.Right += shift;
    }
    PaintBox->SetBounds(0, 0, std::max(maxW, boxW), std::max(totalH, Box->ClientHeight()));
    PaintBox->Invalidate();
    updateStatus();
}

void TRMPreviewForm::paint() {
    TCanvas* c = PaintBox->Canvas();
    c->Brush()->SetColor(clGray);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(TRect(0, 0, PaintBox->Width(), PaintBox->Height()));
    TRect clip = c->ClipRect();
    for (int i = 0; i < int(pageRects_.size()); ++i) {
        const TRect& r = pageRects_[size_t(i)];
        auto& rec = report_->EMFPages[i];
        // Only pages in view are unpacked; others are released.
        bool visible = !(r.Bottom < clip.Top || r.Top > clip.Bottom);
        if (!visible) {
            if (rec.Page) report_->EMFPages.FreeUnpacked(i);
            rec.Visible = false;
            continue;
        }
        c->Brush()->SetColor(TColor(0x404040));
        c->FillRect(TRect(r.Left + 3, r.Top + 3, r.Right + 3, r.Bottom + 3));
        c->Brush()->SetColor(clWhite);
        c->FillRect(r);
        rec.Visible = true;
        report_->EMFPages.Draw(i, c, r);
        if (markPage_ == i) {
            c->Pen()->SetColor(clRed);
            c->Pen()->SetWidth(2);
            c->Brush()->SetStyle(bsClear);
            c->Rectangle(TRect(r.Left + int(mark_.Left * scale()) - 2, r.Top + int(mark_.Top * scale()) - 2,
                               r.Left + int(mark_.Right * scale()) + 2, r.Top + int(mark_.Bottom * scale()) + 2));
            c->Brush()->SetStyle(bsSolid);
            c->Pen()->SetWidth(1);
        }
    }
}

void TRMPreviewForm::updateStatus() {
    if (CmbZoom && !CmbZoom->Focused()) {
        static const char* modes[] = {"", "页宽", "整页", "双页"};
        CmbZoom->SetText(mode_ == zmPercent ? FormatFloat("0", zoom_) + "%" : std::string(modes[mode_]));
    }
    StatusBar->SetSimpleText("页 " + std::to_string(PageCount() ? cur_ : 0) + "/" + std::to_string(PageCount()));
    BtnFirst->SetEnabled(cur_ > 1);
    BtnPrior->SetEnabled(cur_ > 1);
    BtnNext->SetEnabled(cur_ < PageCount());
    BtnLast->SetEnabled(cur_ < PageCount());
}

void TRMPreviewForm::GotoPage(int n) {
    if (PageCount() == 0) return;
    cur_ = std::clamp(n, 1, PageCount());
    report_->EMFPages.CurPageNo = cur_;
    Box->SetVertPosition(pageRects_[size_t(cur_ - 1)].Top - kGap);
    updateStatus();
    PaintBox->Invalidate();
}

void TRMPreviewForm::SetZoom(double percent) {
    mode_ = zmPercent;
    zoom_ = std::clamp(percent, 10.0, 1000.0);
    layout();
    GotoPage(cur_);
}

void TRMPreviewForm::SetZoomMode(TRMZoomMode m) {
    if (PageCount() == 0) return;
    auto& r = report_->EMFPages[cur_ - 1];
    int bw = std::max(50, Box->ClientWidth() - 2 * kGap - 20), bh = std::max(50, Box->ClientHeight() - 2 * kGap);
    double z = 100;
    if (m == zmPageWidth)
        z = 100.0 * bw / r.PageWidth;
    else if (m == zmWholePage)
        z = 100.0 * std::min(double(bw) / r.PageWidth, double(bh) / r.PageHeight);
    else if (m == zmTwoPages)
        z = 100.0 * std::min(double(bw - kGap) / (2 * r.PageWidth), double(bh) / r.PageHeight);
    zoom_ = std::clamp(z, 10.0, 1000.0);
    mode_ = m;
    layout();
    GotoPage(cur_);
}

void TRMPreviewForm::ZoomText(const std::string& t0) {
    std::string t = Trim(t0);
    if (t == "页宽") return SetZoomMode(zmPageWidth);
    if (t == "整页") return SetZoomMode(zmWholePage);
    if (t == "双页") return SetZoomMode(zmTwoPages);
    // "75%" and "75" both mean 75 %.
    if (!t.empty() && t.back() == '%') t.pop_back();
    double z;
    if (TryStrToFloat(Trim(t), z) && z > 0) SetZoom(z);
}

bool TRMPreviewForm::Find(const std::string& text, bool cs, bool word, bool fromStart) {
    findText_ = text;
    findCase_ = cs;
    findWord_ = word;
    if (fromStart) {
        findPage_ = 0;
        findRec_ = -1;
    }
    return FindNext();
}

bool TRMPreviewForm::FindNext() {
    if (findText_.empty()) return false;
    std::string needle = findCase_ ? findText_ : AnsiUpperCase(findText_);
    for (int p = findPage_; p < PageCount(); ++p) {
        auto& rec = report_->EMFPages[p];
        TMetafile mf;
        TMetafileCanvas c(&mf);
        report_->EMFPages.Draw(p, &c, TRect(0, 0, rec.PageWidth, rec.PageHeight));
        auto texts = c.TextRecords();
        for (int k = p == findPage_ ? findRec_ + 1 : 0; k < int(texts.size()); ++k) {
            std::string hay = findCase_ ? texts[size_t(k)]->Text : AnsiUpperCase(texts[size_t(k)]->Text);
            for (size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1)) {
                // A whole word has no word character on either side.
                if (findWord_ && (isWordChar(hay, at + needle.size()) || (at > 0 && isWordChar(hay, at - 1)))) continue;
                findPage_ = p;
                findRec_ = k;
                markPage_ = p;
                mark_ = texts[size_t(k)]->Bounds;
                GotoPage(p + 1);
                return true;
            }
        }
    }
    return false;
}

void TRMPreviewForm::ShowFindDialog() {
    TRMPreviewSearchForm f(this);
    f.Edit1->SetText(findText_);
    if (f.ShowModal() != mrOk || f.Edit1->Text().empty()) return;
    if (!Find(f.Edit1->Text(), f.ChkCase->Checked(), f.ChkWholeWord->Checked(), f.RbFromStart->Checked()))
        ShowMessage("未找到 \"" + f.Edit1->Text() + "\"。");
}

void TRMPreviewForm::DoPrint() {
    report_->EMFPages.CurPageNo = cur_;
    try {
        report_->PrintPreparedReport();
    } catch (const Exception& e) {
        ShowMessage("打印失败：" + e.Message);
    }
}

void TRMPreviewForm::DoPageSetup() {
    TRMPageSetupForm f(this, report_);
    if (f.ShowModal() != mrOk) return;
    // The new paper takes effect by building again.
    int keep = cur_;
    report_->PrepareReport();
    cur_ = std::min(keep, std::max(1, PageCount()));
    markPage_ = -1;
    if (mode_ != zmPercent)
        SetZoomMode(mode_);
    else
        layout();
    GotoPage(cur_);
}

void TRMPreviewForm::keyDown(Word& k, TShiftState s) {
    bool ctrl = s.Contains(ssCtrl);
    switch (k) {
    case VK_NEXT: GotoPage(ctrl ? PageCount() : cur_ + 1); break;
    case VK_PRIOR: GotoPage(ctrl ? 1 : cur_ - 1); break;
    case VK_HOME:
        if (!ctrl) return;
        GotoPage(1);
        break;
    case VK_END:
        if (!ctrl) return;
        GotoPage(PageCount());
        break;
    case VK_F3:
        if (!FindNext()) ShowMessage("未找到 \"" + findText_ + "\"。");
        break;
    case VK_ESCAPE:
        SetModalResult(mrCancel);
        Close();
        break;
    case 'F':
        if (!ctrl) return;
        ShowFindDialog();
        break;
    case 'P':
        if (!ctrl) return;
        DoPrint();
        break;
    case 'S':
        if (!ctrl) return;
        BtnSave->Click();
        break;
    case 'O':
        if (!ctrl) return;
        BtnOpen->Click();
        break;
    default: return;
    }
    k = 0;
}

TRMPreviewSearchForm::TRMPreviewSearchForm(TComponent* owner) : TForm(owner) {
    SetName("RMPreviewSearchForm");
    SetCaption("查找");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(340);
    SetClientHeight(150);
    auto* l = new TLabel(this);
    l->SetParent(this);
    l->SetCaption("查找内容:");
    l->SetBounds(10, 14, 70, 16);
    Edit1 = new TEdit(this);
    Edit1->SetName("Edit1");
    Edit1->SetParent(this);
    Edit1->SetBounds(80, 10, 250, 21);
    ChkCase = new TCheckBox(this);
    ChkCase->SetName("ChkCase");
    ChkCase->SetParent(this);
    ChkCase->SetCaption("区分大小写");
    ChkCase->SetBounds(10, 44, 140, 20);
    ChkWholeWord = new TCheckBox(this);
    ChkWholeWord->SetName("ChkWholeWord");
    ChkWholeWord->SetParent(this);
    ChkWholeWord->SetCaption("全字匹配");
    ChkWholeWord->SetBounds(10, 70, 140, 20);
    RbFromStart = new TRadioButton(this);
    RbFromStart->SetName("RbFromStart");
    RbFromStart->SetParent(this);
    RbFromStart->SetCaption("从首页开始");
    RbFromStart->SetBounds(170, 44, 150, 20);
    RbFromStart->SetChecked(true);
    RbFromCurrent = new TRadioButton(this);
    RbFromCurrent->SetName("RbFromCurrent");
    RbFromCurrent->SetParent(this);
    RbFromCurrent->SetCaption("从当前位置开始");
    RbFromCurrent->SetBounds(170, 70, 150, 20);
    BtnOK = new TButton(this);
    BtnOK->SetName("BtnOK");
    BtnOK->SetParent(this);
    BtnOK->SetCaption("确定");
    BtnOK->SetBounds(174, 112, 75, 25);
    BtnOK->SetDefault(true);
    BtnOK->SetModalResult(mrOk);
    BtnCancel = new TButton(this);
    BtnCancel->SetName("BtnCancel");
    BtnCancel->SetParent(this);
    BtnCancel->SetCaption("取消");
    BtnCancel->SetBounds(255, 112, 75, 25);
    BtnCancel->SetCancel(true);
    BtnCancel->SetModalResult(mrCancel);
}

// ---------------------------------------------------------------- report entry points

void TRMReport::ShowPreparedReport() {
    TRMPreviewForm f(nullptr, this);
    f.ShowModal();
    PreviewOpened = false;
}

void TRMReport::ShowReport() {
    if (PrepareReport()) ShowPreparedReport();
}

bool RMShowReportFile(const std::string& path, int mode, TComponent* owner,
                      const std::map<std::string, Variant>& variables) {
    TRMReport r(owner);
    for (auto& [k, v] : variables) r.Variables[UpperCase(k)] = v;
    if (!r.LoadFromFile(path)) {
        if (!FileExists(r.FileName)) ShowMessage("报表文件不存在：" + r.FileName);
        return false;
    }
    if (mode == 1) {
        r.PrintReport();
    } else {
        r.ShowReport();
    }
    return true;
}
