// The forwarding printer, the recording preview printer, the page view and
// the preview window.
#include "gridlib/print/PrViewEh.h"

#include <algorithm>
#include <cmath>

#include "ComCtrls.h"
#include "Menus.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "gridlib/print/PrnDbgeh.h"

// ================================================================ printers

TVirtualPrinter* SharedVirtualPrinter() {
    static TVirtualPrinter shared;
    return &shared;
}

TPrinterPreview::TPrinterPreview() : printer_(std::make_unique<TPrinter>()) {}

TPrinterPreview::~TPrinterPreview() = default;

// Without any printer the preview still works on an A4 sheet at 600 dpi.
int TPrinterPreview::GetPageWidth() { return printer_->Printers().empty() ? 4676 : printer_->PageWidth(); }
int TPrinterPreview::GetPageHeight() { return printer_->Printers().empty() ? 6744 : printer_->PageHeight(); }
int TPrinterPreview::GetFullPageWidth() {
    return printer_->Printers().empty() ? 4676 + 2 * 130
                                        : printer_->PageWidth() + 2 * printer_->GetDeviceCaps(PHYSICALOFFSETX);
}
int TPrinterPreview::GetFullPageHeight() {
    return printer_->Printers().empty() ? 6744 + 2 * 150
                                        : printer_->PageHeight() + 2 * printer_->GetDeviceCaps(PHYSICALOFFSETY);
}
int TPrinterPreview::GetXDpi() { return printer_->Printers().empty() ? 600 : printer_->XDpi(); }
int TPrinterPreview::GetYDpi() { return printer_->Printers().empty() ? 600 : printer_->YDpi(); }

void TPrinterPreview::newCanvas() {
    canvas_.reset(); // completes the previous page's metafile
    auto mf = std::make_unique<TMetafile>();
    mf->SetWidth(GetPageWidth());
    mf->SetHeight(GetPageHeight());
    canvas_ = std::make_unique<TMetafileCanvas>(mf.get());
    // Fonts keep their point size at the printer's resolution.
    canvas_->Font()->SetPixelsPerInch(std::min(GetXDpi(), GetYDpi()));
    pages_.push_back(std::move(mf));
}

void TPrinterPreview::BeginDoc() {
    canvas_.reset();
    pages_.clear();
    newCanvas();
    pageNumber_ = 1;
    aborted_ = false;
    printing_ = true;
    if (box_) {
        box_->SetPageCount(1);
        box_->SetPageNumber(1);
        if (box_->OnPrinterPreviewChanged) box_->OnPrinterPreviewChanged(box_);
    }
}

void TPrinterPreview::NewPage() {
    newCanvas();
    ++pageNumber_;
    if (box_) {
        if (pages_.size() == 2) box_->LayOutPage();
        box_->SetPageCount(int(pages_.size()) - 1);
        if (box_->OnOpenPreviewer) box_->OnOpenPreviewer(this);
        if (box_->OnPrinterPreviewChanged) box_->OnPrinterPreviewChanged(box_);
    }
}

void TPrinterPreview::EndDoc() {
    // Keep the metafile's frame: the canvas hands its records over as it goes.
    canvas_.reset();
    pageNumber_ = -1;
    printing_ = false;
    if (!box_) return;
    box_->SetPageCount(int(pages_.size()));
    if (pages_.size() == 1) box_->LayOutPage();
    box_->OnPrinterSetupDialog = PendingSetupDialog;
    PendingSetupDialog = nullptr;
    box_->SetPrintDBGridEh(PrintDBGridEh);
    PrintDBGridEh = nullptr;
    if (box_->OnOpenPreviewer) box_->OnOpenPreviewer(this);
    if (box_->OnPrinterPreviewChanged) box_->OnPrinterPreviewChanged(box_);
}

void TPrinterPreview::DrawPage(TCanvas* canvas, int n) {
    if (n < 1 || n > int(pages_.size())) return;
    TMetafile* mf = pages_[size_t(n - 1)].get();
    mf->Draw(canvas, Rect(0, 0, mf->Width(), mf->Height()));
}

// ================================================================ TPreviewBox

TPreviewBox::TPreviewBox(TComponent* AOwner) : TCustomControl(AOwner), printer_(std::make_unique<TPrinterPreview>()) {
    printer_->SetPreviewBox(this);
    SetScrollBars(ssBoth);
    SetColor(clAppWorkSpace);
}

TPreviewBox::~TPreviewBox() { printer_->SetPreviewBox(nullptr); }

void TPreviewBox::SetPageCount(int v) {
    pageCount_ = v;
    Invalidate();
}

void TPreviewBox::SetPageNumber(int v) {
    v = std::clamp(v, 1, std::max(1, pageCount_));
    if (v == pageNumber_) return;
    pageNumber_ = v;
    Invalidate();
    if (OnPrinterPreviewChanged) OnPrinterPreviewChanged(this);
}

void TPreviewBox::SetViewMode(TViewMode v) {
    viewMode_ = v;
    scrollX_ = scrollY_ = 0;
    updateScroll();
    Invalidate();
    if (OnPrinterPreviewChanged) OnPrinterPreviewChanged(this);
}

int TPreviewBox::Zoom() const {
    static const int percents[] = {500, 200, 150, 100, 75, 50, 25, 10};
    if (viewMode_ < vmPageWidth) return percents[viewMode_];
    // Zoom is relative to the page's physical size on a 96 dpi screen.
    const double pageWmm = printer_->GetFullPageWidth() * 25.4 / std::max(1, printer_->GetXDpi());
    const double pageHmm = printer_->GetFullPageHeight() * 25.4 / std::max(1, printer_->GetYDpi());
    const TRect c = ClientRect();
    const double wpx = pageWmm * 96 / 25.4, hpx = pageHmm * 96 / 25.4;
    const double zw = (c.Width() - 20) * 100.0 / wpx, zh = (c.Height() - 20) * 100.0 / hpx;
    return std::max(1, int(viewMode_ == vmPageWidth ? zw : std::min(zw, zh)));
}

// The sheet in client coordinates at the current zoom and scroll.
TRect TPreviewBox::pageRect() const {
    const double z = Zoom() / 100.0;
    const int w = int(printer_->GetFullPageWidth() * 96.0 / std::max(1, printer_->GetXDpi()) * z);
    const int h = int(printer_->GetFullPageHeight() * 96.0 / std::max(1, printer_->GetYDpi()) * z);
    const TRect c = ClientRect();
    const int left = w + 20 < c.Width() ? (c.Width() - w) / 2 : 10 - scrollX_;
    const int top = h + 20 < c.Height() ? (c.Height() - h) / 2 : 10 - scrollY_;
    return Bounds(left, top, w, h);
}

void TPreviewBox::updateScroll() {
    const TRect p = pageRect();
    const TRect c = ClientRect();
    SetScrollRange(sbHorizontal, 0, std::max(0, p.Width() + 20 - c.Width()), c.Width());
    SetScrollRange(sbVertical, 0, std::max(0, p.Height() + 20 - c.Height()), c.Height());
    SetScrollPos(sbHorizontal, scrollX_);
    SetScrollPos(sbVertical, scrollY_);
}

void TPreviewBox::Resize() {
    TCustomControl::Resize();
    updateScroll();
}

void TPreviewBox::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clAppWorkSpace);
    c->FillRect(ClientRect());
    if (pageCount_ < 1 || printer_->PageCount() < 1) return;
    const TRect p = pageRect();
    c->Brush()->SetColor(clGray);
    c->FillRect(Bounds(p.Left + 4, p.Top + 4, p.Width(), p.Height()));
    c->Brush()->SetColor(clWhite);
    c->FillRect(p);
    c->Pen()->SetColor(clBlack);
    c->FrameRect(p);
    const int n = std::min(pageNumber_, printer_->PageCount());
    TMetafile* mf = printer_->Page(n - 1);
    // The printable area sits inside the sheet by the physical offsets.
    const double sx = double(p.Width()) / printer_->GetFullPageWidth();
    const double sy = double(p.Height()) / printer_->GetFullPageHeight();
    const int offX = (printer_->GetFullPageWidth() - printer_->GetPageWidth()) / 2;
    const int offY = (printer_->GetFullPageHeight() - printer_->GetPageHeight()) / 2;
    const TRect area{p.Left + int(offX * sx), p.Top + int(offY * sy), p.Left + int((offX + mf->Width()) * sx),
                     p.Top + int((offY + mf->Height()) * sy)};
    mf->Draw(c, area);
}

void TPreviewBox::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    switch (Key) {
    case VK_NEXT: SetPageNumber(pageNumber_ + 1); break;
    case VK_PRIOR: SetPageNumber(pageNumber_ - 1); break;
    case VK_HOME:
        if (Shift.Contains(ssCtrl)) SetPageNumber(1);
        break;
    case VK_END:
        if (Shift.Contains(ssCtrl)) SetPageNumber(pageCount_);
        break;
    case VK_DOWN:
        scrollY_ += 20;
        updateScroll();
        Invalidate();
        break;
    case VK_UP:
        scrollY_ = std::max(0, scrollY_ - 20);
        updateScroll();
        Invalidate();
        break;
    default: return;
    }
    Key = 0;
}

void TPreviewBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (CanFocus()) SetFocus();
    panFrom_ = {X, Y};
    // The magnifier: whole page <-> 100 %.
    if (Button == mbLeft && !Shift.Contains(ssDouble)) {
        if (viewMode_ == vmFullPage)
            SetViewMode(vm100);
        else if (viewMode_ == vm100)
            SetViewMode(vmFullPage);
    }
}

void TPreviewBox::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!Shift.Contains(ssLeft)) return;
    // The hand pans the sheet.
    scrollX_ = std::max(0, scrollX_ - (X - panFrom_.X));
    scrollY_ = std::max(0, scrollY_ - (Y - panFrom_.Y));
    panFrom_ = {X, Y};
    updateScroll();
    Invalidate();
}

bool TPreviewBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    const TRect p = pageRect();
    if (p.Height() + 20 <= ClientRect().Height()) {
        SetPageNumber(pageNumber_ + (WheelDelta < 0 ? 1 : -1));
    } else {
        scrollY_ = std::max(0, scrollY_ + (WheelDelta < 0 ? 40 : -40));
        updateScroll();
        Invalidate();
    }
    return true;
}

void TPreviewBox::ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) {
    if (Kind == sbHorizontal)
        scrollX_ = Pos;
    else
        scrollY_ = Pos;
    Invalidate();
}

void TPreviewBox::Print(int fromPage, int toPage) {
    TPrinter* target = ::Printer();
    fromPage = std::max(1, fromPage);
    toPage = std::min(toPage, printer_->PageCount());
    if (fromPage > toPage) return;
    target->SetTitle(printer_->GetTitle());
    target->BeginDoc();
    ScopeExit refused([&] { target->Abort(); });
    for (int n = fromPage; n <= toPage; ++n) {
        if (n > fromPage) target->NewPage();
        TMetafile* mf = printer_->Page(n - 1);
        mf->Draw(target->Canvas(), Rect(0, 0, target->PageWidth(), target->PageHeight()));
    }
    refused.Dismiss();
    target->EndDoc();
}

// ================================================================ the window

namespace {

TPreviewFormEh*& previewFormRef() {
    static TPreviewFormEh* form = nullptr;
    return form;
}

TToolButton* toolButton(TToolBar* bar, TComponent* owner, const std::string& name, const std::string& caption,
                        const std::string& hint, TNotifyEvent onClick) {
    auto* b = new TToolButton(owner);
    b->SetName(name);
    b->SetParent(bar);
    b->SetText(caption);
    b->SetHint(hint);
    b->SetShowHint(true);
    b->OnClick = std::move(onClick);
    return b;
}

} // namespace

TPreviewFormEh::TPreviewFormEh(TComponent* AOwner) : TForm(AOwner) {
    SetName("PreviewFormEh");
    SetText("Preview");
    SetClientWidth(688);
    SetClientHeight(453);
    SetKeyPreview(true);
    ToolBar1 = new TToolBar(this);
    ToolBar1->SetName("ToolBar1");
    ToolBar1->SetParent(this);
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetShowCaptions(true);
    ToolBar1->SetFlat(true);
    StatusBar1 = new TStatusBar(this);
    StatusBar1->SetName("StatusBar1");
    StatusBar1->SetParent(this);
    StatusBar1->SetAlign(alBottom);
    StatusBar1->SetSimplePanel(true);
    PreviewEh1 = new TPreviewBox(this);
    PreviewEh1->SetName("PreviewEh1");
    PreviewEh1->SetParent(this);
    PreviewEh1->SetAlign(alClient);
    PreviewEh1->OnPrinterPreviewChanged = [this](TObject*) { PreviewChanged(); };

    pmnScale = new TPopupMenu(this);
    pmnScale->SetName("pmnScale");
    const char* scales[] = {"500%", "200%", "150%", "100%", "75%", "50%", "25%", "10%", "Page Width", "Whole Page"};
    for (int i = 0; i < 10; ++i) {
        auto* item = new TMenuItem(this);
        item->SetCaption(scales[i]);
        item->SetTag(i);
        item->SetRadioItem(true);
        item->SetGroupIndex(1);
        item->SetChecked(i == vmFullPage);
        item->OnClick = [this, item](TObject*) {
            item->SetChecked(true);
            PreviewEh1->SetViewMode(TViewMode(item->Tag()));
        };
        pmnScale->Items()->Add(item);
    }

    tbtPrint = toolButton(ToolBar1, this, "tbtPrint", "打印", "打印",
                          [this](TObject*) { PreviewEh1->Print(1, PreviewEh1->Printer()->PageCount()); });
    tbtPrinterSetupDialog =
        toolButton(ToolBar1, this, "tbtPrinterSetupDialog", "打印设置", "打印设置", [this](TObject*) {
            if (PreviewEh1->OnPrinterSetupDialog) PreviewEh1->OnPrinterSetupDialog(PreviewEh1);
        });
    tbtScale = toolButton(ToolBar1, this, "tbtScale", "缩放", "按比例缩放", nullptr);
    tbtScale->SetStyle(tbsDropDown);
    tbtScale->SetDropdownMenu(pmnScale);
    tbtPrevPage = toolButton(ToolBar1, this, "tbtPrevPage", "前页", "前一页",
                             [this](TObject*) { PreviewEh1->SetPageNumber(PreviewEh1->PageNumber() - 1); });
    tbtNextPage = toolButton(ToolBar1, this, "tbtNextPage", "下页", "下一页",
                             [this](TObject*) { PreviewEh1->SetPageNumber(PreviewEh1->PageNumber() + 1); });
    tbStop = toolButton(ToolBar1, this, "tbStop", "停止", "停止", [this](TObject*) { PreviewEh1->Printer()->Abort(); });
    tbClose = toolButton(ToolBar1, this, "tbClose", "关闭", "关闭预览", [this](TObject*) { Close(); });
    PreviewChanged();
}

void TPreviewFormEh::PreviewChanged() {
    TPrinterPreview* p = PreviewEh1->Printer();
    const bool printing = p->GetPrinting();
    tbStop->SetEnabled(printing);
    tbClose->SetEnabled(!printing);
    tbtPrint->SetEnabled(!printing && !p->GetPrinters().empty() && PreviewEh1->PageCount() > 0);
    tbtPrinterSetupDialog->SetEnabled(!printing && PreviewEh1->OnPrinterSetupDialog && PreviewEh1->PrintDBGridEh());
    tbtPrevPage->SetEnabled(PreviewEh1->PageNumber() > 1);
    tbtNextPage->SetEnabled(PreviewEh1->PageNumber() < PreviewEh1->PageCount());
    StatusBar1->SetSimpleText(Format("Page %d of %d", PreviewEh1->PageNumber(), PreviewEh1->PageCount()));
}

void TPreviewFormEh::DoShow() {
    TForm::DoShow();
    SetText("Preview - " + PreviewEh1->Printer()->GetTitle());
    PreviewChanged();
    PreviewEh1->SetFocus();
}

void TPreviewFormEh::KeyDown(Word& Key, TShiftState Shift) {
    TForm::KeyDown(Key, Shift);
    if (Key == VK_ESCAPE) {
        if (PreviewEh1->Printer()->GetPrinting())
            PreviewEh1->Printer()->Abort();
        else
            Close();
        Key = 0;
    }
}

TPreviewFormEh* PreviewForm() {
    TPreviewFormEh*& f = previewFormRef();
    if (!f) f = new TPreviewFormEh(Application);
    return f;
}

TPrinterPreview* GetPreviewPrinter() { return PreviewForm()->PreviewEh1->Printer(); }
