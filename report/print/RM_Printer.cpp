#include "report/print/RM_Printer.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "Graphics.h"
#include "Printers.h"
#include "SysUtils.h"
#include "report/model/RM_Class.h"

const std::vector<TRMPaperInfo>& RMPaperTable() {
    static const std::vector<TRMPaperInfo> t = {
        {1, "Letter, 8 1/2 x 11\"", 2159, 2794},
        {2, "Letter small, 8 1/2 x 11\"", 2159, 2794},
        {3, "Tabloid, 11 x 17\"", 2794, 4318},
        {4, "Ledger, 17 x 11\"", 4318, 2794},
        {5, "Legal, 8 1/2 x 14\"", 2159, 3556},
        {6, "Statement, 5 1/2 x 8 1/2\"", 1397, 2159},
        {7, "Executive, 7 1/4 x 10 1/2\"", 1842, 2667},
        {8, "A3 297 x 420 mm", 2970, 4200},
        {9, "A4 210 x 297 mm", 2100, 2970},
        {10, "A4 small sheet, 210 x 297 mm", 2100, 2970},
        {11, "A5 148 x 210 mm", 1480, 2100},
        {12, "B4 250 x 354 mm", 2500, 3540},
        {13, "B5 182 x 257 mm", 1820, 2570},
        {14, "Folio, 8 1/2 x 13\"", 2159, 3302},
        {15, "Quarto Sheet, 215 x 275 mm", 2150, 2750},
        {16, "10 x 14\"", 2540, 3556},
        {17, "11 x 17\"", 2794, 4318},
        {18, "Note, 8 1/2 x 11\"", 2159, 2794},
        {19, "9 Envelope, 3 7/8 x 8 7/8\"", 984, 2254},
        {20, "#10 Envelope, 4 1/8  x 9 1/2\"", 1048, 2413},
        {21, "#11 Envelope, 4 1/2 x 10 3/8\"", 1143, 2635},
        {22, "#12 Envelope, 4 3/4 x 11\"", 1206, 2794},
        {23, "#14 Envelope, 5 x 11 1/2\"", 1270, 2921},
        {24, "C Sheet, 17 x 22\"", 4318, 5588},
        {25, "D Sheet, 22 x 34\"", 5588, 8636},
        {26, "E Sheet, 34 x 44\"", 8636, 11176},
        {27, "DL Envelope, 110 x 220 mm", 1100, 2200},
        {28, "C5 Envelope, 162 x 229 mm", 1620, 2290},
        {29, "C3 Envelope,  324 x 458 mm", 3240, 4580},
        {30, "C4 Envelope,  229 x 324 mm", 2290, 3240},
        {31, "C6 Envelope,  114 x 162 mm", 1140, 1620},
        {32, "C65 Envelope, 114 x 229 mm", 1140, 2290},
        {33, "B4 Envelope,  250 x 353 mm", 2500, 3530},
        {34, "B5 Envelope,  176 x 250 mm", 1760, 2500},
        {35, "B6 Envelope,  176 x 125 mm", 1760, 1250},
        {36, "Italy Envelope, 110 x 230 mm", 1100, 2300},
        {37, "Monarch Envelope, 3 7/8 x 7 1/2\"", 984, 1905},
        {38, "6 3/4 Envelope, 3 5/8 x 6 1/2\"", 920, 1651},
        {39, "US Std Fanfold, 14 7/8 x 11\"", 3778, 2794},
        {40, "German Std Fanfold, 8 1/2 x 12\"", 2159, 3048},
        {41, "German Legal Fanfold, 8 1/2 x 13\"", 2159, 3302},
        {42, "B4 (ISO) 250 x 353 mm", 2500, 3530},
        {43, "Japanese Postcard 100 x 148 mm", 1000, 1480},
        {44, "9 x 11\"", 2286, 2794},
        {45, "10 x 11\"", 2540, 2794},
        {46, "15 x 11\"", 3810, 2794},
        {47, "Envelope Invite 220 x 220 mm", 2200, 2200},
        {50, "Letter Extra 9/275 x 12\"", 2413, 3048},
        {51, "Legal Extra 9/275 x 15\"", 2413, 3810},
        {52, "Tabloid Extra 11.69 x 18\"", 2969, 4572},
        {53, "A4 Extra 9.27 x 12.69\"", 2355, 3223},
        {54, "Letter Transverse 8/275 x 11\"", 2102, 2794},
        {55, "A4 Transverse 210 x 297 mm", 2100, 2970},
        {56, "Letter Extra Transverse 9/275 x 12\"", 2413, 3048},
        {57, "SuperASuperAA4 227 x 356 mm", 2270, 3560},
        {58, "SuperBSuperBA3 305 x 487 mm", 3050, 4870},
        {59, "Letter Plus 8.5 x 12.69\"", 2159, 3223},
        {60, "A4 Plus 210 x 330 mm", 2100, 3300},
        {61, "A5 Transverse 148 x 210 mm", 1480, 2100},
        {62, "B5 (JIS) Transverse 182 x 257 mm", 1820, 2570},
        {63, "A3 Extra 322 x 445 mm", 3220, 4450},
        {64, "A5 Extra 174 x 235 mm", 1740, 2350},
        {65, "B5 (ISO) Extra 201 x 276 mm", 2010, 2760},
        {66, "A2 420 x 594 mm", 4200, 5940},
        {67, "A3 Transverse 297 x 420 mm", 2970, 4200},
        {68, "A3 Extra Transverse 322 x 445 mm", 3220, 4450},
        {256, "自定义", 0, 0},
    };
    return t;
}

const std::vector<TRMPaperInfo>& RMExtraPapers() {
    static const std::vector<TRMPaperInfo> t = {
        {800, "16开(18.4 x 26 厘米)", 1840, 2600},
        {801, "32开(13 x 18.4 厘米)", 1300, 1840},
        {802, "大32开(14 x 20.3 厘米)", 1400, 2030},
        {803, "宽行连续纸", 3778, 2794},
        {804, "窄行连续纸", 2159, 2794},
    };
    return t;
}

namespace {
const TRMPaperInfo* tablePaper(int code) {
    for (auto& p : RMPaperTable())
        if (p.Code == code) return &p;
    return nullptr;
}
} // namespace

int TRMPrinterInfo::GetPaperIndex(int code) const {
    for (size_t i = 0; i < Papers.size(); ++i)
        if (Papers[i].Code == code) return int(i);
    return int(Papers.size()) - 1;
}

int TRMPrinterInfo::GetBin(int index) const {
    return index >= 0 && index < int(Bins.size()) ? Bins[size_t(index)].Number : 0;
}

int TRMPrinterInfo::GetBinIndex(int bin) const {
    for (size_t i = 0; i < Bins.size(); ++i)
        if (Bins[i].Number == bin) return int(i);
    return 0;
}

void TRMPrinterInfo::SetPapers(std::vector<std::string> names, std::vector<int> codes,
                               std::vector<std::pair<int, int>> sizes) {
    if (names.size() > codes.size()) names.resize(codes.size());
    if (names.size() < codes.size()) {
        names.clear();
        for (size_t i = 0; i < codes.size(); ++i) {
            if (const TRMPaperInfo* t = tablePaper(codes[i]))
                names.push_back(t->Name);
            else if (i < sizes.size())
                names.push_back(IntToStr(sizes[i].first / 10) + " x " + IntToStr(sizes[i].second / 10) + " mm");
            else
                names.push_back("Unknown: " + IntToStr(codes[i]));
        }
    }
    Papers.clear();
    for (size_t i = 0; i < codes.size(); ++i) {
        TRMPaperInfo p{codes[i], names[i], 0, 0};
        if (i < sizes.size()) std::tie(p.Width, p.Height) = sizes[i];
        Papers.push_back(p);
    }
    int custom = -1;
    for (size_t i = 0; i < Papers.size() && custom < 0; ++i)
        if (Papers[i].Code == RMCustomPaper) custom = int(i);
    for (size_t i = 0; i < Papers.size() && custom < 0; ++i) {
        std::string u = UpperCase(Papers[i].Name);
        if (u.find("CUSTOM") != std::string::npos || u.find("USER") != std::string::npos) custom = int(i);
    }
    TRMPaperInfo customEntry{RMCustomPaper, "自定义大小", 0, 0};
    if (custom >= 0) {
        customEntry = Papers[size_t(custom)];
        customEntry.Name = "自定义大小";
        Papers.erase(Papers.begin() + custom);
    }
    CustomPaperCode = customEntry.Code;
    for (auto& p : Papers)
        if (p.Width == 0 || p.Height == 0)
            if (const TRMPaperInfo* t = tablePaper(p.Code)) {
                p.Width = t->Width;
                p.Height = t->Height;
            }
    std::erase_if(Papers, [](const TRMPaperInfo& p) { return p.Width == 0 || p.Height == 0; });
    FirstExtraPaper = int(Papers.size());
    for (auto& e : RMExtraPapers()) Papers.push_back(e);
    Papers.push_back(customEntry);
}

void TRMPrinterInfo::SetBins(std::vector<std::string> names, std::vector<int> numbers) {
    size_t n = std::min(names.size(), numbers.size());
    Bins.clear();
    for (size_t i = 0; i < n; ++i) Bins.push_back({names[i], numbers[i]});
    if (std::none_of(Bins.begin(), Bins.end(), [](const TRMBinInfo& b) { return b.Name == "缺省"; }))
        Bins.insert(Bins.begin(), {"缺省", RMDefaultBin});
}

int RMBinNumberOf(const std::string& keyword) {
    static const std::pair<const char*, int> kBins[] = {
        {"top", 1},    {"tray-1", 1},       {"main", 1},     {"bottom", 2},         {"tray-2", 2},
        {"middle", 3}, {"tray-3", 3},       {"manual", 4},   {"envelope", 5},       {"auto", 7},
        {"side", 8},   {"by-pass-tray", 8}, {"large-capacity", 11},
    };
    for (auto& [k, n] : kBins)
        if (keyword == k) return n;
    return 0;
}

// ---------------------------------------------------------------- list

TRMPrinterList::TRMPrinterList() { Refresh(); }

void TRMPrinterList::Refresh() {
    entries_.clear();
    TRMPrinterInfo virt;
    virt.Name = "虚拟打印机";
    virt.Virtual = true;
    std::vector<std::string> names;
    std::vector<int> codes;
    std::vector<std::pair<int, int>> sizes;
    for (auto& p : RMPaperTable()) {
        names.push_back(p.Name);
        codes.push_back(p.Code);
        sizes.push_back({p.Width, p.Height});
    }
    virt.SetPapers(names, codes, sizes);
    virt.SetBins({}, {});

    TPrinter* pr = Printer();
    std::vector<TRMPrinterInfo> devices;
    for (const std::string& n : pr->Printers()) {
        TRMPrinterInfo d;
        d.Name = n;
        std::vector<std::string> dn;
        std::vector<int> dc;
        std::vector<std::pair<int, int>> ds;
        for (const TPaperSize& p : pr->PaperSizes()) {
            if (SameText(p.Name, "Custom")) continue;
            int w = int(std::lround(p.WidthMM * 10)), h = int(std::lround(p.HeightMM * 10));
            int code = RMCustomPaper + 1000; // a size the table does not know
            for (auto& t : RMPaperTable())
                if (t.Code != RMCustomPaper && std::abs(t.Width - w) <= 1 && std::abs(t.Height - h) <= 1) {
                    code = t.Code;
                    break;
                }
            dn.push_back(p.Name);
            dc.push_back(code);
            ds.push_back({w, h});
        }
        d.SetPapers(dn, dc, ds);
        // The trays the queue lists, numbered as sources usually are;
        // one the numbering does not know takes a number of its own.
        std::vector<std::string> bn;
        std::vector<int> bc;
        std::vector<TPaperSource> sources = pr->PaperSources(int(devices.size()));
        for (size_t k = 0; k < sources.size(); ++k) {
            int number = RMBinNumberOf(sources[k].Keyword);
            if (number == 0 || std::find(bc.begin(), bc.end(), number) != bc.end()) number = 256 + int(k);
            bn.push_back(sources[k].Name);
            bc.push_back(number);
        }
        d.SetBins(bn, bc);
        for (size_t k = 0; k < sources.size(); ++k)
            for (auto& b : d.Bins)
                if (b.Number == bc[k]) b.Keyword = sources[k].Keyword;
        devices.push_back(std::move(d));
    }
    // The platform's default printer becomes entry 0's printer.
    default_ = 1;
    int saved = pr->PrinterIndex();
    if (!pr->Printing() && !devices.empty()) {
        try {
            pr->SetPrinterIndex(-1);
            default_ = 2 + pr->PrinterIndex();
            pr->SetPrinterIndex(saved >= 0 ? saved : pr->PrinterIndex());
        } catch (const Exception&) {
        }
    }
    TRMPrinterInfo def = default_ >= 2 ? devices[size_t(default_ - 2)] : virt;
    def.Name = "默认打印机";
    entries_.push_back(std::move(def));
    entries_.push_back(std::move(virt));
    for (auto& d : devices) entries_.push_back(std::move(d));
}

const TRMPrinterInfo& TRMPrinterList::GetPrinterInfo(int i) const {
    if (i < 0 || i >= Count()) i = 1;
    return entries_[size_t(i)];
}

int TRMPrinterList::PlatformIndex(int i) const {
    if (i == 0) return default_ >= 2 ? default_ - 2 : -1;
    return i >= 2 && i < Count() ? i - 2 : -1;
}

int TRMPrinterList::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(entries_[size_t(i)].Name, name)) return i;
    return -1;
}

TRMPrinterList* RMPrinters() {
    static TRMPrinterList list;
    return &list;
}

// ---------------------------------------------------------------- printer

TRMPrinter* RMPrinter() {
    static TRMPrinter p;
    return &p;
}

const TRMPaperInfo* TRMPrinter::currentPaper() const {
    const TRMPrinterInfo& info = Info();
    if (info.Papers.empty()) return nullptr;
    return &info.Papers[size_t(info.GetPaperIndex(PaperSize))];
}

int TRMPrinter::PaperWidth() const {
    const TRMPaperInfo* p = currentPaper();
    int w = p && p->Code != Info().CustomPaperCode ? p->Width : customWidth_;
    int h = p && p->Code != Info().CustomPaperCode ? p->Height : customHeight_;
    return Orientation ? h : w;
}

int TRMPrinter::PaperHeight() const {
    const TRMPaperInfo* p = currentPaper();
    int w = p && p->Code != Info().CustomPaperCode ? p->Width : customWidth_;
    int h = p && p->Code != Info().CustomPaperCode ? p->Height : customHeight_;
    return Orientation ? w : h;
}

void TRMPrinter::SetPrinterIndex(int i) {
    if (i < 0 || i == index_ || i >= RMPrinters()->Count() || Printer()->Printing()) return;
    int w = 0, h = 0;
    if (currentPaper()) {
        w = Orientation ? PaperHeight() : PaperWidth();
        h = Orientation ? PaperWidth() : PaperHeight();
    }
    index_ = i;
    if (w <= 0 || h <= 0) return;
    PaperSize = RMCustomPaper;
    for (auto& p : Info().Papers)
        if (p.Code != Info().CustomPaperCode && std::abs(p.Width - w) <= 1 && std::abs(p.Height - h) <= 1) {
            PaperSize = p.Code;
            return;
        }
    customWidth_ = w;
    customHeight_ = h;
}

bool TRMPrinter::IsEqualPaper(int paperSize, int width, int height, int orientation, int bin) const {
    return paperSize == PaperSize && orientation == Orientation && (bin == Bin || bin == RMDefaultBin) &&
           std::abs(PaperWidth() - width) <= 1 && std::abs(PaperHeight() - height) <= 1;
}

void TRMPrinter::SetPrinterInfo(int paperSize, int width, int height, int orientation, int bin, bool force) {
    if (Printer()->Printing()) return;
    if (paperSize == RMCustomPaper) paperSize = Info().CustomPaperCode;
    if (!force && IsEqualPaper(paperSize, width, height, orientation, bin)) return;
    PaperSize = paperSize;
    Orientation = orientation;
    Bin = bin;
    if (paperSize == Info().CustomPaperCode) {
        // Width and height arrive with the orientation applied.
        customWidth_ = orientation ? height : width;
        customHeight_ = orientation ? width : height;
    }
}

void TRMPrinter::FillPageInfo(TRMPageInfo& info) const {
    int wPx = RMToPixels(PaperWidth() / 10.0), hPx = RMToPixels(PaperHeight() / 10.0);
    info.ScreenPageWidth = wPx;
    info.ScreenPageHeight = hPx;
    int platform = RMPrinters()->PlatformIndex(index_);
    if (IsVirtual() || platform < 0) {
        info.ScreenOffsetX = info.ScreenOffsetY = 18;
        info.ScreenPrintWidth = wPx - 36;
        info.ScreenPrintHeight = hPx - 36;
        info.PrinterPageWidth = wPx;
        info.PrinterPageHeight = hPx;
        info.PrinterOffsetX = info.PrinterOffsetY = 18;
        info.PrinterPrintWidth = wPx - 36;
        info.PrinterPrintHeight = hPx - 36;
        return;
    }
    // Screen pixels are exactly 96 to the inch.
    TPrinter* pr = Printer();
    double dx = std::max(1, pr->XDpi()), dy = std::max(1, pr->YDpi());
    double kx = 96.0 / dx, ky = 96.0 / dy;
    info.PrinterPageWidth = int(std::lround(PaperWidth() / 254.0 * dx));
    info.PrinterPageHeight = int(std::lround(PaperHeight() / 254.0 * dy));
    info.PrinterOffsetX = pr->GetDeviceCaps(PHYSICALOFFSETX);
    info.PrinterOffsetY = pr->GetDeviceCaps(PHYSICALOFFSETY);
    info.ScreenOffsetX = int(std::lround(info.PrinterOffsetX * kx));
    info.ScreenOffsetY = int(std::lround(info.PrinterOffsetY * ky));
    info.PrinterPrintWidth = info.PrinterPageWidth - 2 * info.PrinterOffsetX;
    info.PrinterPrintHeight = info.PrinterPageHeight - 2 * info.PrinterOffsetY;
    info.ScreenPrintWidth = int(std::lround(info.PrinterPrintWidth * kx));
    info.ScreenPrintHeight = int(std::lround(info.PrinterPrintHeight * ky));
}

// ---------------------------------------------------------------- printer canvas

TRMPrinterCanvas::TRMPrinterCanvas(TPrinter* printer, bool color)
    : printer_(printer), canvas_(printer->Canvas()), color_(color) {
    // The font tells of its changes; the canvas's own listener still runs
    // first.
    chained_ = canvas_->Font()->OnChange;
    canvas_->Font()->OnChange = [this](TObject* sender) {
        if (chained_) chained_(sender);
        AdaptFont();
    };
    AdaptFont();
}

TRMPrinterCanvas::~TRMPrinterCanvas() { canvas_->Font()->OnChange = chained_; }

void TRMPrinterCanvas::AdaptFont() {
    if (adapting_) return;
    adapting_ = true;
    TFont* f = canvas_->Font();
    int dpi = printer_->YDpi();
    if (dpi > 0 && f->PixelsPerInch() != dpi) {
        int size = f->Size();
        f->SetPixelsPerInch(dpi);
        f->SetSize(size);
    }
    if (!color_ && f->Color() != clBlack && f->Color() != clWhite) f->SetColor(clBlack);
    adapting_ = false;
}
