// Printing built pages through the platform printer (a queue or the
// built-in PDF printer) and the two dialogs the preview and report use.
#include <algorithm>
#include <cmath>
#include <optional>

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
// Each caption is the engine's numbered text; the text given here stands
// when the table has none.
void caption(TControl* c, const char* text, int id) {
    c->SetCaption(text);
    RMSetStrProp(c, "Caption", id);
}
TButton* button(TForm* f, const char* name, const char* text, int id, int l, int t) {
    auto* b = new TButton(f);
    b->SetName(name);
    b->SetParent(f);
    caption(b, text, id);
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
void label(TForm* f, TWinControl* parent, const char* text, int id, int l, int t) {
    auto* x = new TLabel(f);
    x->SetParent(parent);
    caption(x, text, id);
    x->SetBounds(l, t + 3, 80, 16);
}
TRadioButton* radio(TForm* f, TWinControl* parent, const char* name, const char* text, int id, int l, int t,
                    int w = 90) {
    auto* r = new TRadioButton(f);
    r->SetName(name);
    r->SetParent(parent);
    caption(r, text, id);
    r->SetBounds(l, t, w, 20);
    return r;
}
std::string fmt1(double v, const char* f = "0.0#") { return FormatFloat(f, v); }
} // namespace

// ---------------------------------------------------------------- print dialog

std::string RMPrinterStatusText(unsigned status, int jobs) {
    // Status values of the queue and the numbers of their texts.
    static const std::pair<unsigned, int> kStates[] = {
        {1, 46848},      {2, 46835},      {4, 46849},      {8, 46845},      {16, 46846},     {32, 46838},
        {64, 46847},     {128, 46841},    {256, 46837},    {512, 46833},    {1024, 46850},   {2048, 46843},
        {4096, 46840},   {8192, 46854},   {16384, 46851},  {32768, 46836},  {65536, 46855},  {131072, 46852},
        {262144, 46839}, {524288, 46844}, {1048576, 46853}, {2097152, 46842}, {4194304, 46834},
    };
    std::string t = RMLoadStr(jobs > 0 ? 46864 : 46865);
    for (auto& [bit, text] : kStates)
        if (status == bit) t = RMLoadStr(text);
    if (jobs > 0) {
        if (!t.empty()) t += ":";
        t += Format(RMLoadStr(46856), jobs);
    }
    return t;
}

TRMPrintDialogForm::TRMPrintDialogForm(TComponent* owner, int pageCount, int currentPage)
    : TForm(owner), pageCount_(pageCount), current_(currentPage) {
    SetName("RMPrintDialogForm");
    caption(this, "打印", 45040);
    RMSetDialogFont(Font());
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetClientWidth(512);
    SetClientHeight(418);
    auto* gp = new TGroupBox(this);
    gp->SetParent(this);
    caption(gp, "打印机", 45041);
    gp->SetBounds(8, 8, 496, 132);
    label(this, gp, "名称(&N):", 45049, 10, 20);
    CmbPrinters = new TComboBox(this);
    CmbPrinters->SetName("CmbPrinters");
    CmbPrinters->SetParent(gp);
    CmbPrinters->SetStyle(csDropDownList);
    CmbPrinters->SetBounds(80, 20, 310, 21);
    // The engine's printers less the virtual one, which cannot print.
    for (int i = 0; i < RMPrinters()->Count(); ++i)
        if (i != 1) CmbPrinters->Items()->Add(RMPrinters()->Name(i));
    oldEntry_ = RMPrinter()->PrinterIndex();
    oldPlatform_ = Printer()->PrinterIndex();
    CmbPrinters->SetItemIndex(ItemOfEntry(oldEntry_));
    CmbPrinters->OnChange = [this](TObject*) { printerChanged(); };
    BtnPrinterProp = button(this, "BtnPrinterProp", "属性", 45042, 400, 18);
    BtnPrinterProp->SetParent(gp);
    // The platform's printer settings stand in for the driver's own.
    BtnPrinterProp->OnClick = [this](TObject*) {
        TPrinterSetupDialog d(this);
        d.Execute();
        showPrinterInfo();
    };
    auto info = [&](const char* text, int id, const char* name, int top) {
        label(this, gp, text, id, 10, top);
        auto* l = new TLabel(this);
        l->SetName(name);
        l->SetParent(gp);
        l->SetCaption("");
        l->SetBounds(80, top + 3, 300, 16);
        return l;
    };
    LblStatus = info("状态:", 45056, "LblStatus", 44);
    LblType = info("类型:", 45057, "LblType", 62);
    LblPosition = info("位置:", 45058, "LblPosition", 80);
    LblCommon = info("备注:", 46831, "LblCommon", 98);
    ChkTaoda = new TCheckBox(this);
    ChkTaoda->SetName("ChkTaoda");
    ChkTaoda->SetParent(gp);
    caption(ChkTaoda, "不打印背景图", 45375);
    ChkTaoda->SetBounds(370, 98, 120, 20);

    auto* gr = new TGroupBox(this);
    gr->SetParent(this);
    caption(gr, "页范围", 45044);
    gr->SetBounds(8, 146, 300, 120);
    RbAll = radio(this, gr, "RbAll", "全部(&A)", 45045, 10, 18);
    RbCurrent = radio(this, gr, "RbCurrent", "当前页(&g)", 45046, 10, 42);
    RbPages = radio(this, gr, "RbPages", "页(&P):", 45047, 10, 66, 60);
    EdtPages = edit(this, gr, "EdtPages", 74, 66, 200);
    RbAll->SetChecked(true);
    EdtPages->OnChange = [this](TObject*) {
        if (!EdtPages->Text().empty()) RbPages->SetChecked(true);
    };
    auto* hint = new TLabel(this);
    hint->SetParent(gr);
    caption(hint, "输入页号或页范围,逗号分隔.例如: 1,3,5-12", 45048);
    hint->SetBounds(10, 92, 285, 16);

    auto* gc = new TGroupBox(this);
    gc->SetParent(this);
    caption(gc, "打印份数", 45043);
    gc->SetBounds(316, 146, 188, 120);
    label(this, gc, "打印份数:", 45050, 10, 20);
    EdtCopies = edit(this, gc, "EdtCopies", 90, 20, 60);
    EdtCopies->SetText("1");
    ChkCollate = new TCheckBox(this);
    ChkCollate->SetName("ChkCollate");
    ChkCollate->SetParent(gc);
    caption(ChkCollate, "逐份打印", 45051);
    ChkCollate->SetBounds(10, 54, 120, 20);
    ChkCollate->SetChecked(true);

    label(this, this, "打印:", 45052, 16, 272);
    CmbPrintAll = new TComboBox(this);
    CmbPrintAll->SetName("CmbPrintAll");
    CmbPrintAll->SetParent(this);
    CmbPrintAll->SetStyle(csDropDownList);
    CmbPrintAll->SetBounds(60, 272, 100, 21);
    for (int id = 45053; id <= 45055; ++id) CmbPrintAll->Items()->Add(RMLoadStr(id));
    CmbPrintAll->SetItemIndex(0);

    auto* gs = new TGroupBox(this);
    gs->SetParent(this);
    caption(gs, "缩放", 46860);
    gs->SetBounds(8, 300, 300, 78);
    label(this, gs, "缩放比例:", 46863, 10, 16);
    EdtScale = edit(this, gs, "EdtScale", 96, 16, 60);
    EdtScale->SetText("100");
    label(this, gs, "按纸型缩放:", 46861, 10, 42);
    CmbScalePapers = new TComboBox(this);
    CmbScalePapers->SetName("CmbScalePapers");
    CmbScalePapers->SetParent(gs);
    CmbScalePapers->SetStyle(csDropDownList);
    CmbScalePapers->SetBounds(96, 42, 190, 21);

    auto* go = new TGroupBox(this);
    go->SetParent(this);
    caption(go, "打印偏移", 45414);
    go->SetBounds(316, 300, 188, 78);
    label(this, go, "上偏移(厘米):", 45370, 10, 16);
    EdtOffsetTop = edit(this, go, "EdtOffsetTop", 110, 16, 60);
    label(this, go, "左偏移(厘米):", 45404, 10, 42);
    EdtOffsetLeft = edit(this, go, "EdtOffsetLeft", 110, 42, 60);
    SetOffsets(0, 0);

    BtnOK = button(this, "BtnOK", "确认", 47000, 348, 386);
    BtnOK->SetDefault(true);
    BtnOK->OnClick = [this](TObject*) { okClick(); };
    BtnCancel = button(this, "BtnCancel", "取消", 47001, 429, 386);
    BtnCancel->SetCancel(true);
    BtnCancel->SetModalResult(mrCancel);
    printerChanged();
}

void TRMPrintDialogForm::SetOffsets(int topPx, int leftPx) {
    EdtOffsetTop->SetText(FormatFloat("0.0#", RMFromPixels(topPx) / 10));
    EdtOffsetLeft->SetText(FormatFloat("0.0#", RMFromPixels(leftPx) / 10));
}

// The chosen printer takes over at once: the engine printer, the
// platform's, the queue's information and the papers to scale to.
void TRMPrintDialogForm::printerChanged() {
    applyPrinter();
    showPrinterInfo();
    fillScalePapers();
}

void TRMPrintDialogForm::applyPrinter() {
    int entry = EntryOfItem(CmbPrinters->ItemIndex());
    RMPrinter()->SetPrinterIndex(entry);
    int platform = RMPrinters()->PlatformIndex(entry);
    if (!Printer()->Printing()) {
        try {
            Printer()->SetPrinterIndex(platform);
        } catch (const Exception&) {
        }
    }
}

void TRMPrintDialogForm::showPrinterInfo() {
    for (TLabel* l : {LblStatus, LblType, LblPosition, LblCommon}) l->SetCaption("");
    int platform = RMPrinters()->PlatformIndex(EntryOfItem(CmbPrinters->ItemIndex()));
    if (platform < 0) return;
    TPrinterQueueInfo q = Printer()->QueueInfo(platform);
    if (!q.Known) return;
    LblType->SetCaption(q.Driver);
    LblPosition->SetCaption(q.Port);
    LblCommon->SetCaption(q.Comment);
    LblStatus->SetCaption(RMPrinterStatusText(q.Status, q.Jobs));
}

void TRMPrintDialogForm::fillScalePapers() {
    CmbScalePapers->Items()->Clear();
    CmbScalePapers->Items()->Add(RMLoadStr(46862));
    const TRMPrinterInfo& info = RMPrinters()->GetPrinterInfo(EntryOfItem(CmbPrinters->ItemIndex()));
    for (int i = 0; i + 1 < info.GetPaperCount(); ++i) CmbScalePapers->Items()->Add(info.Papers[size_t(i)].Name);
    CmbScalePapers->SetItemIndex(0);
}

void TRMPrintDialogForm::RestorePrinter() {
    RMPrinter()->SetPrinterIndex(oldEntry_);
    if (!Printer()->Printing()) {
        try {
            Printer()->SetPrinterIndex(oldPlatform_);
        } catch (const Exception&) {
        }
    }
}

void TRMPrintDialogForm::DoClose(TCloseAction& action) {
    if (ModalResult() != mrOk) RestorePrinter();
    TForm::DoClose(action);
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
    PrintVisible = ChkTaoda->Checked();
    // The printer shown is the one that prints, however it was chosen.
    applyPrinter();
    ScalePaperSize = -1;
    if (CmbScalePapers->ItemIndex() > 0) {
        const TRMPrinterInfo& info = RMPrinters()->GetPrinterInfo(EntryOfItem(CmbPrinters->ItemIndex()));
        for (int i = 0; i + 1 < info.GetPaperCount(); ++i)
            if (info.Papers[size_t(i)].Name == CmbScalePapers->Text()) {
                const TRMPaperInfo& p = info.Papers[size_t(i)];
                ScalePaperSize = p.Code;
                ScalePaperWidth = p.Width;
                ScalePaperHeight = p.Height;
                break;
            }
    }
    SetModalResult(mrOk);
}

// ---------------------------------------------------------------- page setup

// ---------------------------------------------------------------- printing

RMJobPaper RMJobPaperOf(const TRMEMFPageRec& r, int scalePaper, int scaleW, int scaleH) {
    RMJobPaper p;
    int w = scalePaper >= 0 ? scaleW : r.PaperWidth, h = scalePaper >= 0 ? scaleH : r.PaperHeight;
    p.WidthTenths = r.Orientation ? h : w;
    p.HeightTenths = r.Orientation ? w : h;
    // The tray the page asks for, when the queue has it.
    for (auto& b : RMPrinter()->Info().Bins)
        if (b.Number == r.Bin && r.Bin != RMDefaultBin) p.Source = b.Keyword;
    return p;
}

void RMApplyJobPaper(TPrinter* pr, const RMJobPaper& p) {
    double wmm = p.WidthTenths / 10.0, hmm = p.HeightTenths / 10.0;
    pr->SetOrientation(poPortrait);
    pr->SetPaperSource(p.Source);
    for (int i = 0; i < int(pr->PaperSizes().size()); ++i) {
        const TPaperSize& ps = pr->PaperSizes()[size_t(i)];
        if (std::fabs(ps.WidthMM - std::min(wmm, hmm)) < 1 && std::fabs(ps.HeightMM - std::max(wmm, hmm)) < 1) {
            pr->SetPaperIndex(i);
            pr->SetOrientation(wmm > hmm ? poLandscape : poPortrait);
            return;
        }
    }
    pr->SetCustomPaper(wmm, hmm);
}

std::string RMNumberedJobFile(const std::string& firstFile, const std::string& title, int job) {
    // The name the PDF printer gives a document without one.
    std::string f = firstFile.empty() ? (title.empty() ? "output" : title) + ".pdf" : firstFile;
    std::string ext = ExtractFileExt(f);
    return f.substr(0, f.size() - ext.size()) + "-" + std::to_string(job) + ext;
}

bool TRMReport::PrintPreparedReport(const std::string& pages, int copies, int collateArg) {
    if (EMFPages.Count() == 0) return false;
    // 0 copies and collate -1 stand for the report's defaults.
    if (copies == 0) copies = DefaultCopies;
    copies = std::max(1, copies);
    bool collate = collateArg < 0 ? DefaultCollate : collateArg != 0;
    std::vector<int> list;
    double scale = 1; // kept fractional: 90 % at 600 dpi is 5.625 dots a pixel
    bool visibleJob = false;
    int scalePaper = -1, scaleW = 0, scaleH = 0; // every page scaled to this paper
    if (ShowPrintDialog) {
        TRMPrintDialogForm d(nullptr, EMFPages.Count(), EMFPages.CurPageNo);
        if (!pages.empty()) {
            d.RbPages->SetChecked(true);
            d.EdtPages->SetText(pages);
        }
        d.EdtCopies->SetText(std::to_string(copies));
        d.ChkCollate->SetChecked(collate);
        d.SetOffsets(PrintOffsetTop, PrintOffsetLeft);
        d.ChkTaoda->SetChecked(PrintVisibleDefault);
        if (d.ShowModal() != mrOk) {
            d.RestorePrinter();
            return false;
        }
        visibleJob = d.PrintVisible;
        scalePaper = d.ScalePaperSize;
        scaleW = d.ScalePaperWidth;
        scaleH = d.ScalePaperHeight;
        list = d.Pages;
        copies = d.Copies;
        collate = d.Collate;
        scale = d.Scale / 100.0;
        bool offsetChanged = PrintOffsetTop != d.OffsetTop || PrintOffsetLeft != d.OffsetLeft;
        PrintOffsetTop = d.OffsetTop;
        PrintOffsetLeft = d.OffsetLeft;
        // New offsets are the report's from now on.
        if (offsetChanged) SaveReportOptions.SaveReportSetting(this);
    } else {
        list = RMParsePageList(pages, EMFPages.Count());
    }
    if (list.empty()) return false;
    TPrinter* pr = Printer();
    pr->SetTitle(ReportInfo.Title.empty() ? ExtractFileName(FileName) : ReportInfo.Title);
    Terminated = false;
    if (OnPrintReport) OnPrintReport();
    // "Print visible" leaves background pictures and the objects not marked
    // for it off the paper, for this job only.
    RMPrintVisibleJob = visibleJob;
    ScopeExit jobEnd([] { RMPrintVisibleJob = false; });
    // A page on other paper than the page before ends the job and starts
    // one on its paper. The PDF printer writes one file a job, so a later
    // job goes to a file numbered after the first rather than over it.
    const std::string firstFile = pr->FileName();
    ScopeExit fileBack([&] { pr->SetFileName(firstFile); });
    bool printed = false;
    auto work = [&] {
        std::optional<RMJobPaper> current;
        int jobs = 0, done = 0;
        // A failure leaves no document half printed: it is dropped.
        ScopeExit unfinished([&] {
            if (pr->Printing()) pr->Abort();
        });
        double sx = 1, sy = 1;
        int ox = 0, oy = 0;
        std::optional<TRMPrinterCanvas> canvas;
        auto printPage = [&](int i) {
            TRMEMFPageRec& r = EMFPages[i];
            RMJobPaper paper = RMJobPaperOf(r, scalePaper, scaleW, scaleH);
            if (!current || !(paper == *current)) {
                if (pr->Printing()) pr->EndDoc();
                RMApplyJobPaper(pr, paper);
                if (jobs > 0 && pr->IsPdfPrinter())
                    pr->SetFileName(RMNumberedJobFile(firstFile, pr->Title(), jobs + 1));
                pr->BeginDoc();
                canvas.emplace(pr, RMPrinter()->IsColor());
                ++jobs;
                current = paper;
                sx = pr->XDpi() / 96.0 * scale;
                sy = pr->YDpi() / 96.0 * scale;
                ox = pr->GetDeviceCaps(PHYSICALOFFSETX);
                oy = pr->GetDeviceCaps(PHYSICALOFFSETY);
            } else {
                pr->NewPage();
            }
            // Offsets move the page; the scale sizes it.
            int l = -ox + int(PrintOffsetLeft * sx / scale), t = -oy + int(PrintOffsetTop * sy / scale);
            TRect rect(l, t, l + int(std::lround(r.PageWidth * sx)), t + int(std::lround(r.PageHeight * sy)));
            if (scalePaper >= 0) {
                // The whole page onto the whole scale paper, at the scale.
                int pw = pr->GetDeviceCaps(PHYSICALWIDTH), ph = pr->GetDeviceCaps(PHYSICALHEIGHT);
                rect = TRect(l, t, l + int(std::lround(pw * scale)), t + int(std::lround(ph * scale)));
            }
            r.Visible = true;
            EMFPages.Draw(i, canvas->Canvas(), rect);
            r.Visible = false;
            EMFPages.FreeUnpacked(i);
            // The progress window names the page printed; Cancel is
            // seen here, between pages.
            if (OnProgress) OnProgress(++done);
        };
        // After a page (or its copies, uncollated) the handler sees its
        // index and may name another: the pages go on after the one it
        // names. Its page ends the document; the next page begins a new
        // one (on the PDF printer a file of its own), and no empty
        // document is left when none follows.
        auto nextPosition = [&](size_t pos, int i) -> size_t {
            if (!OnEndPrintPage) return pos + 1;
            if (pr->Printing()) pr->EndDoc();
            current.reset();
            int j = i;
            OnEndPrintPage(j);
            if (j == i) return pos + 1;
            size_t q = 0;
            while (q < list.size() && list[q] - 1 <= j) ++q;
            return q;
        };
        const int rounds = collate ? copies : 1, each = collate ? 1 : copies;
        for (int c = 0; c < rounds; ++c)
            for (size_t pos = 0; pos < list.size();) {
                int i = list[pos] - 1;
                for (int k = 0; k < each && !Terminated; ++k) printPage(i);
                if (Terminated) {
                    if (pr->Printing()) pr->Abort();
                    return;
                }
                pos = nextPosition(pos, i);
            }
        if (pr->Printing()) pr->EndDoc();
        printed = true;
    };
    if (ShowProgress && !OnProgress && RMProgressRunner) {
        ProgressStatus = "正在打印页:";
        ScopeExit statusBack([this] { ProgressStatus.clear(); });
        RMProgressRunner(this, "正在准备报表" + (ReportInfo.Title.empty() ? "" : " - " + ReportInfo.Title), work);
    } else {
        work();
    }
    return printed;
}

void TRMReport::PrintReport() {
    if (PrepareReport()) PrintPreparedReport("", DefaultCopies, DefaultCollate);
}
