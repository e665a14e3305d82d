#include "report/preview/RM_View.h"

#include <algorithm>
#include <cmath>

#include "Cursors.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Metafile.h"
#include "Printers.h"
#include "SysUtils.h"
#include "report/model/RM_Report.h"
#include "report/preview/RM_Preview.h"
#include "report/print/RM_PrintDialog.h"
#include "report/toolkit/RM_Common.h"

namespace {
constexpr int kGap = 10;

bool isWordByte(unsigned char c) { return isalnum(c) || c == '_'; }

// A small arrow for the page buttons of the bar panel.
void arrowGlyph(TToolbarButton97* b, bool up) {
    TBitmap bmp;
    bmp.SetSize(9, 6);
    bmp.Canvas()->Brush()->SetColor(clFuchsia);
    bmp.Canvas()->FillRect(TRect(0, 0, 9, 6));
    bmp.Canvas()->Brush()->SetColor(clBlack);
    bmp.Canvas()->Pen()->SetColor(clBlack);
    // Two chevrons: "to the previous/next page", not "scroll a line".
    for (int k = 0; k < 2; ++k) {
        int y = k * 3;
        if (up)
            bmp.Canvas()->Polygon({TPoint(4, y), TPoint(8, y + 3), TPoint(0, y + 3)});
        else
            bmp.Canvas()->Polygon({TPoint(0, y), TPoint(8, y), TPoint(4, y + 3)});
    }
    bmp.SetTransparentMode(tmFixed);
    bmp.SetTransparentColor(clFuchsia);
    b->SetGlyph(&bmp);
}
} // namespace

bool RMMatchWholeWord(const std::string& text, const std::string& what) {
    if (what.empty()) return false;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        size_t end = at + what.size();
        // Chinese text has no blanks between words: a double-byte neighbour
        // counts as a word boundary, as a blank, a hyphen or the text's end do.
        bool after = end >= text.size() || !isWordByte(uint8_t(text[end]));
        bool before = at == 0 || !isWordByte(uint8_t(text[at - 1]));
        if (after && before) return true;
    }
    return false;
}

// ------------------------------------------------------------ draw panel

TRMDrawPanel::TRMDrawPanel(TComponent* owner, TRMPreview* preview) : TCustomControl(owner), preview_(preview) {
    SetColor(TColor(0x808080));
    SetTabStop(true);
}

void TRMDrawPanel::Paint() {
    TRMPreview* pv = preview_;
    TCanvas* c = Canvas();
    TRect client(0, 0, Width(), Height());
    if (!pv->paintAllowed_ || !pv->report_ || pv->PageCount() == 0) {
        c->Brush()->SetColor(pv->PageCount() == 0 ? clBtnFace : Color());
        c->FillRect(client);
        return;
    }
    auto& pages = pv->report_->EMFPages;
    TRect clip = c->ClipRect();
    int n = pv->PageCount();
    // The grey desk first, around the pages, so pages never flicker.
    int saved = c->SaveDC();
    std::vector<bool> vis(size_t(n), false);
    for (int i = 0; i < n; ++i) {
        TRect r = pv->rects_[size_t(i)];
        r.Left += pv->offsetX_;
        r.Right += pv->offsetX_;
        r.Top += pv->offsetY_;
        r.Bottom += pv->offsetY_;
        // Pages below the panel's own height are off screen; the panel, not
        // a fixed 2000 pixels, is the limit.
        bool v = !(r.Top > Height() || r.Bottom < 0) && !(r.Right < clip.Left || r.Left > clip.Right) &&
                 !(r.Bottom < clip.Top || r.Top > clip.Bottom);
        vis[size_t(i)] = v;
        pages[i].Visible = v;
        if (v) c->ExcludeClipRect(TRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1));
    }
    c->Brush()->SetColor(Color());
    c->FillRect(client);
    lastLeft_ = lastRight_ = 0;
    for (int i = 0; i < n; ++i) {
        if (!vis[size_t(i)]) continue;
        TRect r = pv->rects_[size_t(i)];
        r.Left += pv->offsetX_;
        r.Right += pv->offsetX_;
        r.Top += pv->offsetY_;
        r.Bottom += pv->offsetY_;
        // Shadow and frame on the desk.
        c->Brush()->SetColor(TColor(0x404040));
        c->FillRect(TRect(r.Right, r.Top + 3, r.Right + 3, r.Bottom + 3));
        c->FillRect(TRect(r.Left + 3, r.Bottom, r.Right + 3, r.Bottom + 3));
        c->Brush()->SetColor(clBlack);
        c->FrameRect(r);
        lastLeft_ = r.Left;
        lastRight_ = r.Right;
    }
    c->RestoreDC(saved);
    for (int i = 0; i < n; ++i) {
        if (!vis[size_t(i)]) {
            if (pages[i].Page) pages.FreeUnpacked(i);
            continue;
        }
        TRect r = pv->rects_[size_t(i)];
        r.Left += pv->offsetX_;
        r.Right += pv->offsetX_;
        r.Top += pv->offsetY_;
        r.Bottom += pv->offsetY_;
        TRect in(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
        c->Brush()->SetColor(clWhite);
        c->FillRect(in);
        // Margin marks at the printable area's corners.
        const TRect& m = pages[i].Margins;
        if (m.Left || m.Top || m.Right || m.Bottom) {
            double s = pv->scale_;
            int l = r.Left + int(std::lround(m.Left * s)), t = r.Top + int(std::lround(m.Top * s));
            int rr = r.Right - int(std::lround(m.Right * s)), b = r.Bottom - int(std::lround(m.Bottom * s));
            c->Pen()->SetColor(clGray);
            c->Pen()->SetWidth(1);
            int k = std::max(4, int(10 * s));
            for (auto [x, y, dx, dy] : {std::array<int, 4>{l, t, -1, -1}, std::array<int, 4>{rr, t, 1, -1},
                                        std::array<int, 4>{l, b, -1, 1}, std::array<int, 4>{rr, b, 1, 1}}) {
                c->MoveTo(x, y);
                c->LineTo(x + dx * k, y);
                c->MoveTo(x, y);
                c->LineTo(x, y + dy * k);
            }
        }
        pages.Draw(i, c, r);
        if (pv->markPage_ == i && pv->found_) {
            double s = pv->scale_;
            TRect f = pv->foundRect_;
            TRect h(r.Left + int(std::lround(f.Left * s)) - 1, r.Top + int(std::lround(f.Top * s)) - 1,
                    r.Left + int(std::lround(f.Right * s)) + 1, r.Top + int(std::lround(f.Bottom * s)) + 1);
            c->Pen()->SetColor(clRed);
            c->Pen()->SetWidth(2);
            c->Brush()->SetStyle(bsClear);
            c->Rectangle(h);
            c->Brush()->SetStyle(bsSolid);
            c->Pen()->SetWidth(1);
        }
    }
}

void TRMDrawPanel::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TCustomControl::MouseDown(b, s, x, y);
    if (b != mbLeft) return;
    if (ignorePress_) {
        ignorePress_ = false;
        return;
    }
    press_ = TPoint(x, y);
    last_ = press_;
    int p = preview_->pageAt(TPoint(x - preview_->offsetX_, y - preview_->offsetY_));
    if (p >= 0 && preview_->report_) {
        // A click on an object that the report listens for is its own.
        int cursor = 0;
        if (preview_->report_->EMFPages.DoObjectEvent(p, preview_->pagePoint(p, x, y), cursor, true)) return;
    }
    dragging_ = true;
    if (p >= 0 && p + 1 != preview_->curPage_) {
        preview_->curPage_ = p + 1;
        preview_->report_->EMFPages.CurPageNo = p + 1;
    }
    preview_->updatePageStatus();
}

TCursor crMagnifier() {
    // A lens with a plus in it and a handle to the lower right; the hot
    // spot is the lens's middle.
    static TCursor c = [] {
        TBitmap b;
        b.SetSize(32, 32);
        TCanvas* cv = b.Canvas();
        cv->Brush()->SetColor(clFuchsia);
        cv->FillRect(TRect(0, 0, 32, 32));
        cv->Pen()->SetColor(clBlack);
        cv->Pen()->SetWidth(2);
        cv->Brush()->SetColor(clWhite);
        cv->Ellipse(2, 2, 21, 21);
        cv->Pen()->SetWidth(1);
        cv->MoveTo(7, 11);
        cv->LineTo(16, 11);
        cv->MoveTo(11, 7);
        cv->LineTo(11, 16);
        cv->Pen()->SetWidth(4);
        cv->MoveTo(19, 19);
        cv->LineTo(28, 28);
        b.SetTransparentMode(tmFixed);
        b.SetTransparentColor(clFuchsia);
        return RegisterCursor(&b, 11, 11);
    }();
    return c;
}

void TRMDrawPanel::MouseMove(TShiftState s, int x, int y) {
    TCustomControl::MouseMove(s, x, y);
    bool overPage = x >= lastLeft_ && x <= lastRight_;
    SetCursor(preview_->magnifier_ && overPage ? crMagnifier() : crDefault);
    if (!dragging_ && preview_->report_ && preview_->report_->OnMouseOverObject) {
        int p = preview_->pageAt(TPoint(x - preview_->offsetX_, y - preview_->offsetY_));
        int cursor = 0;
        if (p >= 0 && preview_->report_->EMFPages.DoObjectEvent(p, preview_->pagePoint(p, x, y), cursor, false))
            SetCursor(cursor);
    }
    if (dragging_) {
        auto* h = preview_->HScrollBar;
        auto* v = preview_->VScrollBar;
        h->SetPosition(std::clamp(h->Position() + last_.X - x, h->Min(), h->Max()));
        v->SetPosition(std::clamp(v->Position() + last_.Y - y, v->Min(), v->Max()));
        last_ = TPoint(x, y);
    }
}

void TRMDrawPanel::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    TCustomControl::MouseUp(b, s, x, y);
    bool click = dragging_ && std::abs(x - press_.X) < 3 && std::abs(y - press_.Y) < 3;
    dragging_ = false;
    if (b == mbLeft && click && preview_->magnifier_ && x >= lastLeft_ && x <= lastRight_) {
        // The magnifier toggles between the whole page and 100 %.
        if (preview_->mode_ == zmWholePage)
            preview_->SetZoom(100);
        else
            preview_->OnePage();
    }
}

void TRMDrawPanel::DblClick() {
    if (preview_->magnifier_) return;
    dragging_ = false;
    ignorePress_ = true;
    preview_->EditPage(preview_->curPage_ - 1);
}

bool TRMDrawPanel::DoMouseWheel(TShiftState, int delta, TPoint) {
    auto* v = preview_->VScrollBar;
    int step = v->SmallChange() * 3;
    v->SetPosition(std::clamp(v->Position() + (delta > 0 ? -step : step), v->Min(), v->Max()));
    return true;
}

// ------------------------------------------------------------ preview

TRMPreview::TRMPreview(TComponent* owner) : TPanel(owner) {
    SetCaption("");
    SetBevelOuter(bvLowered);
    SetBevelInner(bvNone);

    RightPanel = new TPanel(this);
    RightPanel->SetParent(this);
    RightPanel->SetAlign(alRight);
    RightPanel->SetWidth(16);
    RightPanel->SetBevelOuter(bvNone);
    RightPanel->SetCaption("");
    VScrollBar = new TScrollBar(this);
    VScrollBar->SetName("VScrollBar");
    VScrollBar->SetParent(RightPanel);
    VScrollBar->SetKind(sbVertical);
    VScrollBar->SetBounds(0, 0, 16, 100);
    VScrollBar->SetLargeChange(200);
    VScrollBar->SetSmallChange(10);
    VScrollBar->SetMax(32000);
    VScrollBar->OnChange = [this](TObject*) { vScroll(); };
    BtnPgUp = new TToolbarButton97(this);
    BtnPgUp->SetName("BtnPgUp");
    BtnPgUp->SetParent(RightPanel);
    BtnPgUp->SetBounds(0, 184, 16, 16);
    BtnPgUp->SetHint("上一页");
    BtnPgUp->SetShowHint(true);
    arrowGlyph(BtnPgUp, true);
    BtnPgUp->OnClick = [this](TObject*) { Prior(); };
    BtnPgDn = new TToolbarButton97(this);
    BtnPgDn->SetName("BtnPgDn");
    BtnPgDn->SetParent(RightPanel);
    BtnPgDn->SetBounds(0, 200, 16, 16);
    BtnPgDn->SetHint("下一页");
    BtnPgDn->SetShowHint(true);
    arrowGlyph(BtnPgDn, false);
    BtnPgDn->OnClick = [this](TObject*) { Next(); };

    BottomPanel = new TPanel(this);
    BottomPanel->SetParent(this);
    BottomPanel->SetAlign(alBottom);
    BottomPanel->SetHeight(18);
    BottomPanel->SetBevelOuter(bvNone);
    BottomPanel->SetCaption("");
    auto* bevel = new TBevel(this);
    bevel->SetParent(BottomPanel);
    bevel->SetBounds(0, 1, 77, 17);
    StatusLabel = new TLabel(this);
    StatusLabel->SetName("StatusLabel");
    StatusLabel->SetParent(BottomPanel);
    StatusLabel->SetBounds(4, 3, 72, 12);
    HScrollBar = new TScrollBar(this);
    HScrollBar->SetName("HScrollBar");
    HScrollBar->SetParent(BottomPanel);
    HScrollBar->SetKind(sbHorizontal);
    HScrollBar->SetBounds(80, 1, 329, 16);
    HScrollBar->SetLargeChange(200);
    HScrollBar->SetSmallChange(10);
    HScrollBar->SetMax(32000);
    HScrollBar->OnChange = [this](TObject*) { hScroll(); };

    DrawPanel = new TRMDrawPanel(this, this);
    DrawPanel->SetName("DrawPanel");
    DrawPanel->SetParent(this);
    DrawPanel->SetAlign(alClient);
}

void TRMPreview::SetScrollBarsStyle(TScrollStyle s) {
    scrollBars_ = s;
    RightPanel->SetVisible(s == ssVertical || s == ssBoth);
    BottomPanel->SetVisible(s == ssHorizontal || s == ssBoth);
}

bool TRMPreview::CanModifyPages() const { return RMDesignerClass && report_ && report_->ModifyPrepared; }

int TRMPreview::PageCount() const { return report_ ? report_->EMFPages.Count() : 0; }

void TRMPreview::ShowReport(TRMReport* report) {
    Connect(report);
    switch (report->InitialZoom) {
    case pzPageWidth: mode_ = zmPageWidth; break;
    case pzOnePage: mode_ = zmWholePage; break;
    case pzTwoPages: mode_ = zmTwoPages; break;
    default: break;
    }
    curPage_ = 1;
    RedrawPages(true);
}

void TRMPreview::Resize() {
    TPanel::Resize();
    LayoutPages();
}

void TRMPreview::updatePageStatus() {
    if (PageCount() == 0) {
        StatusLabel->SetCaption("");
        return;
    }
    StatusLabel->SetCaption("页 " + std::to_string(curPage_) + "/" + std::to_string(PageCount()));
    if (OnPageChanged) OnPageChanged(this);
}

void TRMPreview::statusChange() {
    if (OnStatusChange) OnStatusChange(this);
}

void TRMPreview::LayoutPages() {
    BtnPgDn->SetTop(std::max(0, RightPanel->Height() - 16));
    BtnPgUp->SetTop(std::max(0, BtnPgDn->Top() - 16));
    VScrollBar->SetHeight(std::max(1, BtnPgUp->Top() - 1));
    HScrollBar->SetWidth(std::max(1, BottomPanel->Width() - HScrollBar->Left() - (RightPanel->Visible() ? 16 : 0)));
    int n = PageCount();
    if (!report_ || n == 0) {
        paintAllowed_ = false;
        DrawPanel->Invalidate();
        return;
    }
    paintAllowed_ = false;
    auto& pages = report_->EMFPages;
    int cur = std::clamp(curPage_, 1, n) - 1;
    int W = std::max(1, pages[cur].PageWidth), H = std::max(1, pages[cur].PageHeight);
    int pw = std::max(1, DrawPanel->Width()), ph = std::max(1, DrawPanel->Height());
    switch (mode_) {
    case zmPageWidth: scale_ = double(pw - 20) / W; break;
    case zmWholePage: scale_ = double(ph - 20) / H; break;
    case zmTwoPages: scale_ = double(pw - 30) / (2.0 * W); break;
    case zmPrinter: scale_ = 600.0 / 96.0; break;
    default: break;
    }
    scale_ = std::clamp(scale_, 0.05, 20.0);
    // As many pages per row as fit, with gaps before, between and after.
    int perRow = 0, run = kGap, count = 0;
    for (int i = 0; i < n; ++i) {
        int cand = run + kGap + int(std::lround(pages[i].PageWidth * scale_));
        if (cand > pw) {
            perRow = std::max(perRow, count);
            run = kGap;
            count = 0;
        } else {
            run = cand;
            ++count;
            if (i == n - 1) perRow = std::max(perRow, count);
        }
    }
    if (perRow == 0) perRow = 1;
    if (mode_ == zmWholePage) perRow = 1;
    if (mode_ == zmTwoPages) perRow = 2;
    rects_.assign(size_t(n), TRect());
    int y = kGap, maxR = 0, maxB = 0;
    for (int i = 0; i < n; i += perRow) {
        int x = kGap, rowH = 0;
        for (int j = i; j < std::min(n, i + perRow); ++j) {
            int w = int(std::lround(pages[j].PageWidth * scale_)), h = int(std::lround(pages[j].PageHeight * scale_));
            int left = perRow == 1 && pw > w ? (pw - w) / 2 : x;
            rects_[size_t(j)] = TRect(left, y, left + w, y + h);
            x += w + kGap;
            rowH = std::max(rowH, h);
            maxR = std::max(maxR, left + w);
            maxB = std::max(maxB, y + h);
        }
        y += rowH + kGap;
    }
    int hmax = maxR - pw, vmax = maxB - ph;
    hmax = hmax < 0 ? 0 : hmax + kGap;
    vmax = vmax < 0 ? 0 : vmax + kGap;
    scrolling_ = true;
    HScrollBar->SetMax(hmax);
    HScrollBar->SetEnabled(hmax != 0);
    VScrollBar->SetMax(vmax);
    VScrollBar->SetEnabled(vmax != 0);
    if (HScrollBar->Position() > hmax) HScrollBar->SetPosition(hmax);
    offsetX_ = -HScrollBar->Position();
    scrolling_ = false;
    ScrollToCurrentPage();
    paintAllowed_ = true;
    DrawPanel->Invalidate();
    statusChange();
}

void TRMPreview::ScrollToCurrentPage() {
    if (!report_ || PageCount() == 0 || rects_.empty()) return;
    report_->EMFPages.CurPageNo = curPage_;
    int target = std::clamp(rects_[size_t(curPage_ - 1)].Top - kGap, 0, VScrollBar->Max());
    scrolling_ = true;
    VScrollBar->SetPosition(target);
    scrolling_ = false;
    offsetY_ = -VScrollBar->Position();
    DrawPanel->Invalidate();
}

void TRMPreview::vScroll() {
    offsetY_ = -VScrollBar->Position();
    DrawPanel->Invalidate();
    if (scrolling_) return;
    // The page at the top line becomes current.
    int line = VScrollBar->Position() + 11;
    for (int i = 0; i < int(rects_.size()); ++i)
        if (rects_[size_t(i)].Top < line && line < rects_[size_t(i)].Bottom) {
            if (curPage_ != i + 1) {
                curPage_ = i + 1;
                if (report_) report_->EMFPages.CurPageNo = curPage_;
                updatePageStatus();
            }
            break;
        }
}

void TRMPreview::hScroll() {
    offsetX_ = -HScrollBar->Position();
    DrawPanel->Invalidate();
}

TPoint TRMPreview::pagePoint(int page, int x, int y) const {
    const TRect& r = rects_[size_t(page)];
    return TPoint(int(std::lround((x - offsetX_ - r.Left) / scale_)), int(std::lround((y - offsetY_ - r.Top) / scale_)));
}

int TRMPreview::pageAt(TPoint p) const {
    for (int i = 0; i < int(rects_.size()); ++i) {
        const TRect& r = rects_[size_t(i)];
        if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) return i;
    }
    return -1;
}

void TRMPreview::RedrawPages(bool reset) {
    scale_ = percentScale_;
    if (reset) {
        curPage_ = 1;
        offsetX_ = offsetY_ = 0;
        scrolling_ = true;
        HScrollBar->SetPosition(0);
        VScrollBar->SetPosition(0);
        scrolling_ = false;
    }
    updatePageStatus();
    LayoutPages();
    if (report_)
        for (int i = 0; i < PageCount(); ++i) {
            report_->EMFPages[i].Visible = false;
            report_->EMFPages.FreeUnpacked(i);
        }
    DrawPanel->Invalidate();
}

void TRMPreview::GotoPage(int n) {
    if (PageCount() == 0) return;
    curPage_ = std::clamp(n, 1, PageCount());
    ScrollToCurrentPage();
    updatePageStatus();
}

void TRMPreview::SetZoom(double percent) {
    scale_ = std::clamp(percent, 5.0, 2000.0) / 100;
    mode_ = zmPercent;
    percentScale_ = scale_;
    LayoutPages();
    DrawPanel->Repaint();
    statusChange();
}

void TRMPreview::setZoomMode(TRMZoomMode m) {
    mode_ = m;
    LayoutPages();
    DrawPanel->Repaint();
    statusChange();
}

void TRMPreview::PageWidth() { setZoomMode(zmPageWidth); }
void TRMPreview::OnePage() { setZoomMode(zmWholePage); }
void TRMPreview::TwoPages() { setZoomMode(zmTwoPages); }
void TRMPreview::PrinterZoom() { setZoomMode(Printer()->Printers().empty() ? zmPageWidth : zmPrinter); }

void TRMPreview::Print() {
    if (!report_ || PageCount() == 0) return;
    report_->EMFPages.CurPageNo = curPage_;
    try {
        report_->PrintPreparedReport();
    } catch (const Exception& e) {
        ShowMessage("打印失败：" + e.Message);
    }
    RedrawPages();
}

void TRMPreview::PrintCurrentPage() {
    if (!report_ || PageCount() == 0) return;
    bool dlg = report_->ShowPrintDialog;
    report_->ShowPrintDialog = false;
    try {
        report_->PrintPreparedReport(std::to_string(curPage_), 1, report_->DefaultCollate);
    } catch (const Exception& e) {
        ShowMessage("打印失败：" + e.Message);
    }
    report_->ShowPrintDialog = dlg;
    RedrawPages();
}

void TRMPreview::Find() {
    if (!report_) return;
    TRMPreviewSearchForm f(this);
    f.edtSearchTxt->SetText(findText_);
    f.chkCaseSensitive->SetChecked(caseSensitive_);
    f.chkWholewords->SetChecked(wholeWords_);
    if (f.ShowModal() != mrOk || f.edtSearchTxt->Text().empty()) return;
    if (!FindText(f.edtSearchTxt->Text(), f.chkCaseSensitive->Checked(), f.chkWholewords->Checked(),
                  f.rdbFromFirst->Checked()))
        ShowMessage("未找到 \"" + f.edtSearchTxt->Text() + "\"。");
}

bool TRMPreview::FindText(const std::string& text, bool cs, bool words, bool fromStart) {
    findText_ = cs ? text : AnsiUpperCase(text);
    caseSensitive_ = cs;
    wholeWords_ = words;
    if (fromStart) {
        findPage_ = 0;
        findRecord_ = 0;
    } else {
        ContinueFromCurrentPage();
    }
    return FindNext();
}

void TRMPreview::ContinueFromCurrentPage() {
    // On the page of the last hit the search goes on after it.
    if (findPage_ != curPage_ - 1) {
        findPage_ = curPage_ - 1;
        findRecord_ = 0;
    }
}

bool TRMPreview::FindNext() {
    found_ = false;
    if (!report_ || findText_.empty()) return false;
    auto& pages = report_->EMFPages;
    for (; findPage_ < PageCount(); ++findPage_) {
        auto& rec = pages[findPage_];
        TMetafile mf;
        TMetafileCanvas c(&mf);
        pages.Draw(findPage_, &c, TRect(0, 0, rec.PageWidth, rec.PageHeight));
        auto texts = c.TextRecords();
        for (int k = findRecord_; k < int(texts.size()); ++k) {
            std::string t = caseSensitive_ ? texts[size_t(k)]->Text : AnsiUpperCase(texts[size_t(k)]->Text);
            bool hit = wholeWords_ ? RMMatchWholeWord(t, findText_) : t.find(findText_) != std::string::npos;
            if (!hit) continue;
            found_ = true;
            foundRect_ = texts[size_t(k)]->Bounds;
            findRecord_ = k + 1;
            markPage_ = findPage_;
            curPage_ = findPage_ + 1;
            pages.CurPageNo = curPage_;
            updatePageStatus();
            // Scroll so that the hit is inside the panel.
            const TRect& R = rects_[size_t(findPage_)];
            int y = int(std::lround(foundRect_.Top * scale_)), h = int(std::lround(foundRect_.Height() * scale_));
            int x = int(std::lround(foundRect_.Left * scale_)), w = int(std::lround(foundRect_.Width() * scale_));
            int ph = DrawPanel->Height(), pw = DrawPanel->Width();
            scrolling_ = true;
            if (y + kGap > ph - h)
                VScrollBar->SetPosition(std::clamp(R.Top + y - ph + kGap + h, 0, VScrollBar->Max()));
            else
                VScrollBar->SetPosition(std::clamp(R.Top - kGap, 0, VScrollBar->Max()));
            if (R.Left + x > pw - w)
                HScrollBar->SetPosition(std::clamp(R.Left + x - pw + kGap + w, 0, HScrollBar->Max()));
            else
                HScrollBar->SetPosition(0);
            scrolling_ = false;
            offsetY_ = -VScrollBar->Position();
            offsetX_ = -HScrollBar->Position();
            paintAllowed_ = true;
            DrawPanel->Invalidate();
            return true;
        }
        rec.Visible = false;
        pages.FreeUnpacked(findPage_);
        findRecord_ = 0;
    }
    return false;
}

void TRMPreview::PageSetup() {
    // Pages opened from a prepared-report file cannot be built again:
    // a rebuild would put the design's pages in their place.
    if (!report_ || PageCount() == 0 || !report_->CanRebuild) return;
    const int printerBefore = RMPrinter()->PrinterIndex();
    TRMPageSetupForm f(this, report_);
    // Columns belong to the design; the preview sets paper and margins.
    f.edtColCount->SetEnabled(false);
    f.edtColGap->SetEnabled(false);
    if (f.ShowModal() != mrOk) return;
    // The report takes the printer chosen, by name, and keeps the new
    // paper and margins in its settings.
    if (f.ChosenPrinter() != printerBefore) report_->ChangePrinter(printerBefore, f.ChosenPrinter());
    report_->SaveReportOptions.SaveReportSetting(report_);
    // The new paper takes effect by building again.
    report_->PrepareReport();
    markPage_ = -1;
    found_ = false;
    RedrawPages(true);
}

void TRMPreview::LoadFromFiles(const std::vector<std::string>& files) {
    if (!report_ || files.empty()) return;
    if (!report_->LoadPreparedReport(files[0])) ShowMessage("不能打开文件：" + files[0]);
    // Further files are appended page by page.
    for (size_t i = 1; i < files.size(); ++i) {
        if (!FileExists(files[i])) continue;
        TRMReport other;
        if (!other.LoadPreparedReport(files[i])) continue;
        TMemoryStream m;
        other.EMFPages.SaveToStream(m);
        int before = report_->EMFPages.Count();
        TRMReport tmp;
        m.SetPosition(0);
        tmp.EMFPages.LoadFromStream(m);
        for (int p = 0; p < tmp.EMFPages.Count(); ++p) {
            report_->EMFPages.InsertPage(before + p, before + p - 1 >= 0 ? before + p - 1 : 0);
            auto& dst = report_->EMFPages[before + p];
            auto& src = tmp.EMFPages[p];
            dst.Stream = src.Stream;
            dst.PageWidth = src.PageWidth;
            dst.PageHeight = src.PageHeight;
            dst.PaperSize = src.PaperSize;
            dst.PaperWidth = src.PaperWidth;
            dst.PaperHeight = src.PaperHeight;
            dst.Orientation = src.Orientation;
            dst.Margins = src.Margins;
            dst.BkPictureIndex = 255;
        }
    }
    curPage_ = 1;
    markPage_ = -1;
    found_ = false;
    RedrawPages(true);
}

void TRMPreview::SaveToFile(const std::string& fileName, int filterIndex) {
    if (!report_ || PageCount() == 0) return;
    if (filterIndex >= 2 && filterIndex - 2 < RMGetExportFilterCount()) {
        // An export filter's entry: the file takes the filter's extension
        // ("*.xlsx" gives ".xlsx").
        const TRMExportFilterInfo& f = RMGetExportFilter(filterIndex - 2);
        std::string ext = f.Mask.size() > 1 ? f.Mask.substr(1) : "";
        ExportTo(f.Filter, ChangeFileExt(fileName, ext));
        return;
    }
    // The prepared-report entry always writes ".rmp".
    report_->SavePreparedReport(ChangeFileExt(fileName, ".rmp"));
}

bool TRMPreview::ExportTo(TRMExportFilter* filter, const std::string& fileName) {
    if (!report_ || PageCount() == 0) return false;
    bool ok = false;
    try {
        ok = report_->ExportTo(filter, fileName);
    } catch (const Exception& e) {
        ShowMessage("导出失败：" + e.Message);
    }
    RedrawPages();
    return ok;
}

void TRMPreview::AddPage() {
    if (!report_ || PageCount() == 0) return;
    report_->EMFPages.InsertPage(PageCount(), PageCount() - 1);
    RedrawPages();
}

void TRMPreview::InsertPageBefore() {
    if (!report_ || PageCount() == 0) return;
    int at = std::min(curPage_, PageCount()) - 1;
    report_->EMFPages.InsertPage(at, at);
    report_->Modified = true;
    RedrawPages();
}

void TRMPreview::InsertPageAfter() {
    if (!report_ || PageCount() == 0) return;
    if (curPage_ > PageCount()) {
        AddPage();
    } else {
        report_->EMFPages.InsertPage(curPage_, curPage_ - 1);
        RedrawPages();
    }
    report_->Modified = true;
}

void TRMPreview::DeletePage(int index) {
    if (!report_ || index < 0 || index >= PageCount() || PageCount() <= 1) return;
    if (Application->MessageBox("删除该页吗?", "确认", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    report_->EMFPages.Delete(index);
    report_->Modified = true;
    RedrawPages(true);
}

bool TRMPreview::EditPage(int index) {
    if (!CanModifyPages() || index < 0 || index >= PageCount()) return false;
    bool r = report_->EditPreparedPage(index);
    RedrawPages();
    return r;
}
