// Printing built pages through the platform printer (a queue or the
// built-in PDF printer) and the two dialogs the preview and report use.
#include <algorithm>
#include <cmath>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Printers.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"
#include "report/print/RM_PrintDialog.h"

const std::vector<TRMPaperInfo>& RMPapers() { return RMPrinters()->GetPrinterInfo(1).Papers; }

int RMPaperCodeOf(int w, int h) {
    if (w > h) std::swap(w, h);
    for (auto& p : RMPapers())
        if (p.Code != 256 && std::abs(p.Width - w) <= 10 && std::abs(p.Height - h) <= 10) return p.Code;
    return 256;
}

namespace {
TButton* button(TForm* f, const char* name, const char* caption, int l, int t) {
    auto* b = new TButton(f);
    b->SetName(name);
    b->SetParent(f);
    b->SetCaption(caption);
    b->SetBounds(l, t, 75, 25);
    return b;
}
TEdit* edit(TForm* f, TWinControl* parent, const char* name, int l, int t, int w = 60) {
    auto* e = new TEdit(f);
    e->SetName(name);
    e->SetParent(parent);
    e->SetBounds(l, t, w, 21);
    return e;
}
void label(TForm* f, TWinControl* parent, const char* caption, int l, int t) {
    auto* x = new TLabel(f);
    x->SetParent(parent);
    x->SetCaption(caption);
    x->SetBounds(l, t + 3, 80, 16);
}
TRadioButton* radio(TForm* f, TWinControl* parent, const char* name, const char* caption, int l, int t, int w = 90) {
    auto* r = new TRadioButton(f);
    r->SetName(name);
    r->SetParent(parent);
    r->SetCaption(caption);
    r->SetBounds(l, t, w, 20);
    return r;
}
std::string fmt1(double v, const char* f = "0.0#") { return FormatFloat(f, v); }
} // namespace

// ---------------------------------------------------------------- print dialog

TRMPrintDialogForm::TRMPrintDialogForm(TComponent* owner, int pageCount, int currentPage)
    : TForm(owner), pageCount_(pageCount), current_(currentPage) {
    SetName("RMPrintDialogForm");
    SetCaption("打印");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(400);
    SetClientHeight(300);
    auto* gp = new TGroupBox(this);
    gp->SetParent(this);
    gp->SetCaption("打印机");
    gp->SetBounds(8, 8, 384, 54);
    label(this, gp, "名称:", 10, 20);
    CmbPrinters = new TComboBox(this);
    CmbPrinters->SetName("CmbPrinters");
    CmbPrinters->SetParent(gp);
    CmbPrinters->SetStyle(csDropDownList);
    CmbPrinters->SetBounds(60, 20, 310, 21);
    // The engine's printers less the virtual one, which cannot print.
    for (int i = 0; i < RMPrinters()->Count(); ++i)
        if (i != 1) CmbPrinters->Items()->Add(RMPrinters()->Name(i));
    CmbPrinters->SetItemIndex(Printer()->PrinterIndex() < 0 ? 0 : Printer()->PrinterIndex() + 1);

    auto* gr = new TGroupBox(this);
    gr->SetParent(this);
    gr->SetCaption("页码范围");
    gr->SetBounds(8, 70, 230, 110);
    RbAll = radio(this, gr, "RbAll", "全部", 10, 18);
    RbCurrent = radio(this, gr, "RbCurrent", "当前页", 10, 42);
    RbPages = radio(this, gr, "RbPages", "页码:", 10, 66, 60);
    EdtPages = edit(this, gr, "EdtPages", 74, 66, 140);
    RbAll->SetChecked(true);
    EdtPages->OnChange = [this](TObject*) {
        if (!EdtPages->Text().empty()) RbPages->SetChecked(true);
    };
    auto* hint = new TLabel(this);
    hint->SetParent(gr);
    hint->SetCaption("例如：1,3,5-12");
    hint->SetBounds(74, 90, 140, 16);

    auto* gc = new TGroupBox(this);
    gc->SetParent(this);
    gc->SetCaption("副本");
    gc->SetBounds(246, 70, 146, 110);
    label(this, gc, "份数:", 10, 20);
    EdtCopies = edit(this, gc, "EdtCopies", 60, 20, 60);
    EdtCopies->SetText("1");
    ChkCollate = new TCheckBox(this);
    ChkCollate->SetName("ChkCollate");
    ChkCollate->SetParent(gc);
    ChkCollate->SetCaption("逐份打印");
    ChkCollate->SetBounds(10, 54, 120, 20);
    ChkCollate->SetChecked(true);

    label(this, this, "打印:", 16, 188);
    CmbPrintAll = new TComboBox(this);
    CmbPrintAll->SetName("CmbPrintAll");
    CmbPrintAll->SetParent(this);
    CmbPrintAll->SetStyle(csDropDownList);
    CmbPrintAll->SetBounds(60, 188, 100, 21);
    for (const char* t : {"全部页", "奇数页", "偶数页"}) CmbPrintAll->Items()->Add(t);
    CmbPrintAll->SetItemIndex(0);
    label(this, this, "缩放比例:", 176, 188);
    EdtScale = edit(this, this, "EdtScale", 246, 188, 50);
    EdtScale->SetText("100");
    label(this, this, "上偏移(厘米):", 16, 220);
    EdtOffsetTop = edit(this, this, "EdtOffsetTop", 110, 220, 50);
    label(this, this, "左偏移(厘米):", 176, 220);
    EdtOffsetLeft = edit(this, this, "EdtOffsetLeft", 270, 220, 50);
    SetOffsets(0, 0);

    BtnOK = button(this, "BtnOK", "确定", 236, 262);
    BtnOK->SetDefault(true);
    BtnOK->OnClick = [this](TObject*) { okClick(); };
    BtnCancel = button(this, "BtnCancel", "取消", 317, 262);
    BtnCancel->SetCancel(true);
    BtnCancel->SetModalResult(mrCancel);
}

void TRMPrintDialogForm::SetOffsets(int topPx, int leftPx) {
    EdtOffsetTop->SetText(FormatFloat("0.0#", RMFromPixels(topPx) / 10));
    EdtOffsetLeft->SetText(FormatFloat("0.0#", RMFromPixels(leftPx) / 10));
}

void TRMPrintDialogForm::okClick() {
    // An unreadable scale is 100 %; it stays within 1 to 1000 %.
    int scale = 0;
    Scale = TryStrToInt(Trim(EdtScale->Text()), scale) ? std::clamp(scale, 1, 1000) : 100;
    double top = 0, left = 0;
    if (!TryStrToFloat(Trim(EdtOffsetTop->Text()), top) || !TryStrToFloat(Trim(EdtOffsetLeft->Text()), left)) {
        ShowMessage("打印偏移必须是数字。");
        return;
    }
    OffsetTop = RMToPixels(top * 10);
    OffsetLeft = RMToPixels(left * 10);
    int copies = 0;
    if (!TryStrToInt(Trim(EdtCopies->Text()), copies) || copies < 1) {
        ShowMessage("份数必须是正整数。");
        return;
    }
    // A page list that is not numbers is said, and the dialog stays.
    try {
        if (RbCurrent->Checked())
            Pages = {current_};
        else if (RbPages->Checked())
            Pages = RMParsePageList(EdtPages->Text(), pageCount_);
        else
            Pages = RMParsePageList("", pageCount_);
    } catch (const Exception&) {
        ShowMessage("页码范围无效：" + EdtPages->Text());
        return;
    }
    if (int oe = CmbPrintAll->ItemIndex(); oe == 1 || oe == 2)
        std::erase_if(Pages, [oe](int p) { return (p % 2 == 1) != (oe == 1); });
    if (Pages.empty()) {
        ShowMessage("页码范围内没有页。");
        return;
    }
    Copies = copies;
    Collate = ChkCollate->Checked();
    int k = CmbPrinters->ItemIndex();
    if (k >= 0) {
        Printer()->SetPrinterIndex(k == 0 ? -1 : k - 1);
        RMPrinter()->SetPrinterIndex(k == 0 ? 0 : k + 1);
    }
    SetModalResult(mrOk);
}

// ---------------------------------------------------------------- page setup

// ---------------------------------------------------------------- printing

bool TRMReport::PrintPreparedReport(const std::string& pages, int copies, bool collate) {
    if (EMFPages.Count() == 0) return false;
    std::vector<int> list;
    double scale = 1; // kept fractional: 90 % at 600 dpi is 5.625 dots a pixel
    if (ShowPrintDialog) {
        TRMPrintDialogForm d(nullptr, EMFPages.Count(), EMFPages.CurPageNo);
        if (!pages.empty()) {
            d.RbPages->SetChecked(true);
            d.EdtPages->SetText(pages);
        }
        d.EdtCopies->SetText(std::to_string(copies));
        d.SetOffsets(PrintOffsetTop, PrintOffsetLeft);
        if (d.ShowModal() != mrOk) return false;
        list = d.Pages;
        copies = d.Copies;
        collate = d.Collate;
        scale = d.Scale / 100.0;
        PrintOffsetTop = d.OffsetTop;
        PrintOffsetLeft = d.OffsetLeft;
    } else {
        list = RMParsePageList(pages, EMFPages.Count());
    }
    if (list.empty()) return false;
    TPrinter* pr = Printer();
    // One document takes the paper of its first page.
    TRMEMFPageRec& first = EMFPages[list[0] - 1];
    pr->SetOrientation(poPortrait);
    double wmm = (first.Orientation ? first.PaperHeight : first.PaperWidth) / 10.0;
    double hmm = (first.Orientation ? first.PaperWidth : first.PaperHeight) / 10.0;
    bool named = false;
    for (int i = 0; i < int(pr->PaperSizes().size()); ++i) {
        const TPaperSize& ps = pr->PaperSizes()[size_t(i)];
        if (std::fabs(ps.WidthMM - std::min(wmm, hmm)) < 1 && std::fabs(ps.HeightMM - std::max(wmm, hmm)) < 1) {
            pr->SetPaperIndex(i);
            pr->SetOrientation(wmm > hmm ? poLandscape : poPortrait);
            named = true;
            break;
        }
    }
    if (!named) pr->SetCustomPaper(wmm, hmm);
    pr->SetTitle(ReportInfo.Title.empty() ? ExtractFileName(FileName) : ReportInfo.Title);
    std::vector<int> order;
    if (collate)
        for (int c = 0; c < copies; ++c) order.insert(order.end(), list.begin(), list.end());
    else
        for (int pg : list)
            for (int c = 0; c < copies; ++c) order.push_back(pg);
    Terminated = false;
    pr->BeginDoc();
    // A failure leaves no document half printed: it is dropped.
    ScopeExit unfinished([&] {
        if (pr->Printing()) pr->Abort();
    });
    double sx = pr->XDpi() / 96.0 * scale, sy = pr->YDpi() / 96.0 * scale;
    int ox = pr->GetDeviceCaps(PHYSICALOFFSETX), oy = pr->GetDeviceCaps(PHYSICALOFFSETY);
    for (size_t k = 0; k < order.size(); ++k) {
        if (Terminated) {
            pr->Abort();
            return false;
        }
        if (k) pr->NewPage();
        int i = order[k] - 1;
        TRMEMFPageRec& r = EMFPages[i];
        // Offsets move the page; the scale sizes it.
        int l = -ox + int(PrintOffsetLeft * sx / scale), t = -oy + int(PrintOffsetTop * sy / scale);
        TRect rect(l, t, l + int(std::lround(r.PageWidth * sx)), t + int(std::lround(r.PageHeight * sy)));
        r.Visible = true;
        EMFPages.Draw(i, pr->Canvas(), rect);
        r.Visible = false;
        EMFPages.FreeUnpacked(i);
    }
    pr->EndDoc();
    return true;
}

void TRMReport::PrintReport() {
    if (PrepareReport()) PrintPreparedReport();
}
