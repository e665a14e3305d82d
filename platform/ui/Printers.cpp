// TPrinter over Qt's print support: CUPS queues through QPrinter, the "PDF"
// printer through QPdfWriter; what a queue says of its state and trays
// comes from CUPS itself. The canvas is bound to a painter on the
// device between BeginDoc and EndDoc; outside a document it still measures
// text at the printer's resolution.
#include "Printers.h"

#include <QApplication>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrintEngine>
#include <QPrinterInfo>
#include <cstring>
#include <cmath>
#include <cups/cups.h>

#include "SysUtils.h"
#include "Canvas_p.h"

namespace {

constexpr int kPdfDpi = 600;
const char* const kPdfName = "PDF";

std::vector<TPaperSize> StandardPapers() {
    return {{"A4", 210, 297}, {"A5", 148, 210}, {"B5", 182, 257}, {"Letter", 215.9, 279.4}, {"Legal", 215.9, 355.6}};
}

} // namespace

struct TPrinter::Impl {
    std::vector<std::string> names;
    std::vector<TPaperSize> papers = StandardPapers();
    std::unique_ptr<QPdfWriter> pdf;
    std::unique_ptr<QPrinter> printer;
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<TCanvas> canvas;
    std::string writing; // the PDF file of the document in progress
};

TPrinter::TPrinter() : impl_(std::make_unique<Impl>()) {
    EnsureGuiApplication();
    Refresh();
    SetPrinterIndex(-1);
}

TPrinter::~TPrinter() {
    if (printing_) Abort();
}

const std::vector<std::string>& TPrinter::Printers() const { return impl_->names; }

void TPrinter::Refresh() {
    std::string current = index_ >= 0 && index_ < int(impl_->names.size()) ? impl_->names[size_t(index_)] : "";
    impl_->names.clear();
    for (const QString& n : QPrinterInfo::availablePrinterNames()) impl_->names.push_back(n.toStdString());
    impl_->names.push_back(kPdfName);
    index_ = -1;
    for (size_t i = 0; i < impl_->names.size(); ++i)
        if (impl_->names[i] == current) index_ = int(i);
    if (index_ < 0) index_ = PdfPrinterIndex();
}

int TPrinter::PdfPrinterIndex() const { return int(impl_->names.size()) - 1; }
bool TPrinter::IsPdfPrinter() const { return index_ == PdfPrinterIndex(); }

void TPrinter::SetPrinterIndex(int i) {
    if (printing_) throw EPrinter("Printing in progress");
    if (i == -1) {
        QString def = QPrinterInfo::defaultPrinterName();
        index_ = PdfPrinterIndex();
        for (size_t k = 0; k + 1 < impl_->names.size(); ++k)
            if (!def.isEmpty() && impl_->names[k] == def.toStdString()) index_ = int(k);
        return;
    }
    if (i < 0 || i >= int(impl_->names.size())) throw EPrinter("Printer selected is not valid");
    index_ = i;
}

void TPrinter::SetCopies(int v) {
    if (printing_) throw EPrinter("Printing in progress");
    copies_ = std::max(1, v);
}

void TPrinter::SetOrientation(TPrinterOrientation v) {
    if (printing_) throw EPrinter("Printing in progress");
    orientation_ = v;
}

const std::vector<TPaperSize>& TPrinter::PaperSizes() const { return impl_->papers; }

void TPrinter::SetPaperIndex(int i) {
    if (printing_) throw EPrinter("Printing in progress");
    if (i >= 0 && i < int(impl_->papers.size())) paperIndex_ = i;
}

bool TPrinter::SetPaperByName(const std::string& name) {
    for (size_t i = 0; i < impl_->papers.size(); ++i)
        if (SameText(impl_->papers[i].Name, name)) {
            SetPaperIndex(int(i));
            return true;
        }
    return false;
}

void TPrinter::SetCustomPaper(double widthMM, double heightMM) {
    if (printing_) throw EPrinter("Printing in progress");
    auto& papers = impl_->papers;
    if (papers.back().Name != "Custom")
        papers.push_back({"Custom", widthMM, heightMM});
    else
        papers.back() = {"Custom", widthMM, heightMM};
    paperIndex_ = int(papers.size()) - 1;
}

int TPrinter::XDpi() const {
    if (IsPdfPrinter()) return kPdfDpi;
    if (impl_->printer) return impl_->printer->logicalDpiX();
    return kPdfDpi;
}

int TPrinter::YDpi() const {
    if (IsPdfPrinter()) return kPdfDpi;
    if (impl_->printer) return impl_->printer->logicalDpiY();
    return kPdfDpi;
}

namespace {
int MmToPixels(double mm, int dpi) { return int(std::lround(mm * dpi / 25.4)); }
} // namespace

int TPrinter::GetDeviceCaps(int index) const {
    const TPaperSize& p = impl_->papers[size_t(paperIndex_)];
    bool land = orientation_ == poLandscape;
    double wmm = land ? p.HeightMM : p.WidthMM, hmm = land ? p.WidthMM : p.HeightMM;
    // The PDF page has no unprintable margin; a real printer reports its own.
    int offX = 0, offY = 0, resX = MmToPixels(wmm, XDpi()), resY = MmToPixels(hmm, YDpi());
    if (!IsPdfPrinter() && impl_->printer) {
        QRect paper = impl_->printer->paperRect(QPrinter::DevicePixel).toRect();
        QRect page = impl_->printer->pageRect(QPrinter::DevicePixel).toRect();
        offX = page.left() - paper.left();
        offY = page.top() - paper.top();
        resX = page.width();
        resY = page.height();
    }
    switch (index) {
    case HORZSIZE: return int(std::lround(resX * 25.4 / XDpi()));
    case VERTSIZE: return int(std::lround(resY * 25.4 / YDpi()));
    case HORZRES: return resX;
    case VERTRES: return resY;
    case LOGPIXELSX: return XDpi();
    case LOGPIXELSY: return YDpi();
    case PHYSICALWIDTH: return MmToPixels(wmm, XDpi());
    case PHYSICALHEIGHT: return MmToPixels(hmm, YDpi());
    case PHYSICALOFFSETX: return offX;
    case PHYSICALOFFSETY: return offY;
    default: return 0;
    }
}

int TPrinter::PageWidth() const { return GetDeviceCaps(HORZRES); }
int TPrinter::PageHeight() const { return GetDeviceCaps(VERTRES); }

TCanvas* TPrinter::Canvas() {
    if (!impl_->canvas) {
        impl_->canvas = std::make_unique<TCanvas>();
        impl_->canvas->d()->dpi = YDpi();
        impl_->canvas->Font()->SetPixelsPerInch(YDpi());
    }
    return impl_->canvas.get();
}

namespace {
// A queue by name; freed with the holder.
struct Dest {
    cups_dest_t* d = nullptr;
    explicit Dest(const std::string& name) {
        if (name != kPdfName) d = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
    }
    ~Dest() {
        if (d) cupsFreeDests(1, d);
    }
    std::string option(const char* n) const {
        const char* v = d ? cupsGetOption(n, d->num_options, d->options) : nullptr;
        return v ? v : "";
    }
};

// The state reasons a queue gives, as status bits.
unsigned StatusBits(const std::string& state, const std::string& reasons) {
    static const std::pair<const char*, unsigned> kReasons[] = {
        {"paused", 1},           {"media-jam", 8},        {"media-empty", 16},       {"media-needed", 16},
        {"media-low", 64},       {"offline", 128},        {"output-area-full", 2048}, {"shutdown", 4096},
        {"connecting-to-device", 32768}, {"toner-low", 131072}, {"marker-supply-low", 131072},
        {"toner-empty", 262144}, {"marker-supply-empty", 262144}, {"moving-to-paused", 1},
        {"cover-open", 4194304}, {"door-open", 4194304}, {"interlock-open", 4194304},
    };
    unsigned bits = state == "5" ? 1u : state == "4" ? 1024u : 0u;
    size_t i = 0;
    while (i < reasons.size()) {
        size_t j = reasons.find(',', i);
        std::string r = reasons.substr(i, j == std::string::npos ? std::string::npos : j - i);
        i = j == std::string::npos ? reasons.size() : j + 1;
        bool error = false;
        for (const char* suffix : {"-error", "-warning", "-report"})
            if (r.size() > strlen(suffix) && r.compare(r.size() - strlen(suffix), std::string::npos, suffix) == 0) {
                error = std::string(suffix) == "-error";
                r.resize(r.size() - strlen(suffix));
            }
        bool known = false;
        for (auto& [name, bit] : kReasons)
            if (r == name) {
                bits |= bit;
                known = true;
            }
        if (!known && error) bits |= 2;
    }
    return bits;
}
} // namespace

TPrinterQueueInfo TPrinter::QueueInfo(int index) const {
    TPrinterQueueInfo info;
    if (index < 0 || index >= int(impl_->names.size())) return info;
    const std::string& name = impl_->names[size_t(index)];
    Dest dest(name);
    if (!dest.d) return info;
    info.Known = true;
    info.Driver = dest.option("printer-make-and-model");
    info.Port = dest.option("device-uri");
    if (info.Port.empty()) info.Port = dest.option("printer-location");
    info.Comment = dest.option("printer-info");
    info.Status = StatusBits(dest.option("printer-state"), dest.option("printer-state-reasons"));
    cups_job_t* jobs = nullptr;
    int n = cupsGetJobs(&jobs, name.c_str(), 0, CUPS_WHICHJOBS_ACTIVE);
    if (n > 0) info.Jobs = n;
    if (jobs) cupsFreeJobs(n, jobs);
    return info;
}

std::vector<TPaperSource> TPrinter::PaperSources(int index) const {
    std::vector<TPaperSource> out;
    if (index < 0 || index >= int(impl_->names.size())) return out;
    Dest dest(impl_->names[size_t(index)]);
    if (!dest.d) return out;
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.d);
    if (!info) return out;
    if (ipp_attribute_t* a = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest.d, info, CUPS_MEDIA_SOURCE))
        for (int i = 0; i < ippGetCount(a); ++i) {
            const char* kw = ippGetString(a, i, nullptr);
            if (!kw) continue;
            const char* nm = cupsLocalizeDestValue(CUPS_HTTP_DEFAULT, dest.d, info, CUPS_MEDIA_SOURCE, kw);
            out.push_back({kw, nm && *nm ? nm : kw});
        }
    cupsFreeDestInfo(info);
    return out;
}

void TPrinter::SetPaperSource(const std::string& keyword) {
    if (printing_) throw EPrinter("Printing in progress");
    source_ = keyword;
}

void TPrinter::BeginDoc() {
    if (printing_) throw EPrinter("Printing in progress");
    const TPaperSize& paper = impl_->papers[size_t(paperIndex_)];
    QPageSize size(QSizeF(paper.WidthMM, paper.HeightMM), QPageSize::Millimeter, QString::fromStdString(paper.Name),
                   QPageSize::FuzzyMatch);
    QPageLayout::Orientation orient = orientation_ == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    QPaintDevice* device = nullptr;
    if (IsPdfPrinter()) {
        std::string file = fileName_.empty() ? (title_.empty() ? "output" : title_) + ".pdf" : fileName_;
        impl_->pdf = std::make_unique<QPdfWriter>(QString::fromStdString(file));
        impl_->pdf->setResolution(kPdfDpi);
        impl_->pdf->setTitle(QString::fromStdString(title_));
        impl_->pdf->setPageLayout(QPageLayout(size, orient, QMarginsF(0, 0, 0, 0)));
        impl_->writing = file;
        device = impl_->pdf.get();
    } else {
        impl_->printer = std::make_unique<QPrinter>(
            QPrinterInfo::printerInfo(QString::fromStdString(impl_->names[size_t(index_)])), QPrinter::HighResolution);
        impl_->printer->setDocName(QString::fromStdString(title_));
        impl_->printer->setCopyCount(copies_);
        impl_->printer->setPageSize(size);
        impl_->printer->setPageOrientation(orient);
        if (!source_.empty()) {
            // Qt's CUPS engine hands these options to the job as they are.
            const auto cupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
            QStringList opts = impl_->printer->printEngine()->property(cupsOptions).toStringList();
            opts << "media-source" << QString::fromStdString(source_);
            impl_->printer->printEngine()->setProperty(cupsOptions, opts);
        }
        device = impl_->printer.get();
    }
    impl_->painter = std::make_unique<QPainter>();
    if (!impl_->painter->begin(device)) {
        impl_->painter.reset();
        impl_->pdf.reset();
        impl_->printer.reset();
        throw EPrinter("Printer selected is not valid");
    }
    TCanvas* c = Canvas();
    CanvasBindPainter(c, impl_->painter.get(), QRect(0, 0, PageWidth(), PageHeight()), YDpi());
    printing_ = true;
    aborted_ = false;
    pageNumber_ = 1;
}

void TPrinter::NewPage() {
    if (!printing_) throw EPrinter("Printer is not currently printing");
    if (impl_->pdf)
        impl_->pdf->newPage();
    else if (impl_->printer)
        impl_->printer->newPage();
    Canvas()->ResetClip();
    ++pageNumber_;
}

void TPrinter::EndDoc() {
    if (!printing_) throw EPrinter("Printer is not currently printing");
    CanvasUnbind(Canvas());
    impl_->painter->end();
    impl_->painter.reset();
    impl_->pdf.reset();
    impl_->printer.reset();
    impl_->writing.clear();
    printing_ = false;
}

void TPrinter::Abort() {
    if (!printing_) throw EPrinter("Printer is not currently printing");
    CanvasUnbind(Canvas());
    if (impl_->printer) impl_->printer->abort();
    impl_->painter->end();
    impl_->painter.reset();
    impl_->pdf.reset();
    impl_->printer.reset();
    // Nothing of an aborted document reaches the reader.
    if (!impl_->writing.empty()) QFile::remove(QString::fromStdString(impl_->writing));
    impl_->writing.clear();
    printing_ = false;
    aborted_ = true;
}

namespace {
std::unique_ptr<TPrinter>& GlobalPrinter() {
    static std::unique_ptr<TPrinter> p;
    return p;
}
} // namespace

TPrinter* Printer() {
    auto& p = GlobalPrinter();
    if (!p) p = std::make_unique<TPrinter>();
    return p.get();
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> p) {
    auto old = std::move(GlobalPrinter());
    GlobalPrinter() = std::move(p);
    return old;
}
