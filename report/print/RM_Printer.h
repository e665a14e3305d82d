// The engine's printer layer: the list of printers it offers (the default
// printer, a virtual printer that needs no device, then the platform's
// printers, "PDF" among them), each with its papers and paper sources, and
// the engine printer that holds the chosen printer, paper, orientation and
// source and describes the page geometry. Paper sizes are in tenths of a
// millimetre, portrait; paper codes and source numbers are the usual
// numbering of paper sizes and sources (9 A4, 256 a custom size, 65535 the
// device's own source).
#pragma once

#include <functional>
#include <string>
#include <vector>

class TCanvas;
class TObject;
class TPrinter;

struct TRMPaperInfo {
    int Code = 0;
    std::string Name;
    int Width = 0, Height = 0;
};

// The 67 papers a printer may know (codes 1-47, 50-68 and 256).
const std::vector<TRMPaperInfo>& RMPaperTable();
// The papers every printer offers besides its own (codes 800-804).
const std::vector<TRMPaperInfo>& RMExtraPapers();
constexpr int RMCustomPaper = 256;
constexpr int RMDefaultBin = 0xFFFF;

struct TRMBinInfo {
    std::string Name;
    int Number = 0;
    std::string Keyword; // the queue's name of the tray; empty for "缺省"
};
// The usual source number of a queue's tray keyword ("manual" 4, "auto"
// 7, ...); 0 for one it does not know.
int RMBinNumberOf(const std::string& keyword);

class TRMPrinterInfo {
public:
    std::string Name;
    bool Virtual = false;
    std::vector<TRMPaperInfo> Papers;
    std::vector<TRMBinInfo> Bins;
    int FirstExtraPaper = 0;
    int CustomPaperCode = RMCustomPaper;

    int GetPaperCount() const { return int(Papers.size()); }
    // The paper's index; the last entry (the custom size) when absent.
    int GetPaperIndex(int code) const;
    // 0 outside the list.
    int GetBin(int index) const;
    // 0 when absent.
    int GetBinIndex(int bin) const;
    int GetCustomPaperCode() const { return Papers.empty() ? RMCustomPaper : Papers.back().Code; }

    // Takes the papers a device reports and puts them in the engine's
    // order: names rebuilt when fewer than the codes, one custom entry
    // named "自定义大小" last, sizes from the table when missing, papers
    // without a size dropped, the extra papers before the custom one.
    void SetPapers(std::vector<std::string> names, std::vector<int> codes, std::vector<std::pair<int, int>> sizes);
    // Sources cut to the shorter list; "缺省" (65535) first when absent.
    void SetBins(std::vector<std::string> names, std::vector<int> numbers);
};

// Entry 0 "默认打印机", 1 "虚拟打印机", then the platform's printers.
class TRMPrinterList {
public:
    TRMPrinterList();
    int Count() const { return int(entries_.size()); }
    const std::string& Name(int i) const { return entries_[size_t(i)].Name; }
    // Index 0 stands for the default printer's own entry.
    const TRMPrinterInfo& GetPrinterInfo(int i) const;
    // The entry of the platform's default printer (1, the virtual one,
    // when there is none).
    int DefaultIndex() const { return default_; }
    // The platform printer behind an entry; -1 for the virtual printer.
    int PlatformIndex(int i) const;
    int IndexOfName(const std::string& name) const;
    void Refresh();

private:
    std::vector<TRMPrinterInfo> entries_;
    int default_ = 1;
};
TRMPrinterList* RMPrinters();

// The geometry of one page on the current printer.
struct TRMPageInfo {
    int PrinterPageWidth = 0, PrinterPageHeight = 0;
    int ScreenPageWidth = 0, ScreenPageHeight = 0;
    int PrinterOffsetX = 0, PrinterOffsetY = 0;
    int ScreenOffsetX = 0, ScreenOffsetY = 0;
    int PrinterPrintWidth = 0, PrinterPrintHeight = 0;
    int ScreenPrintWidth = 0, ScreenPrintHeight = 0;
};

class TRMPrinter {
public:
    int PrinterIndex() const { return index_; }
    // Switches printer, keeping the paper when the new printer lists one
    // within a tenth of a millimetre of it, else choosing the custom size.
    void SetPrinterIndex(int i);
    const TRMPrinterInfo& Info() const { return RMPrinters()->GetPrinterInfo(index_); }
    bool IsVirtual() const { return Info().Virtual; }

    int PaperSize = 9;
    int Orientation = 0;
    int Bin = RMDefaultBin;
    int Copies = 1;

    // Paper and orientation for the next page; nothing when equal unless
    // force. Code 256 takes width and height as the custom size.
    void SetPrinterInfo(int paperSize, int width, int height, int orientation, int bin, bool force = false);
    bool IsEqualPaper(int paperSize, int width, int height, int orientation, int bin) const;
    // The current paper in tenths of a millimetre, orientation applied.
    int PaperWidth() const;
    int PaperHeight() const;
    void FillPageInfo(TRMPageInfo& info) const;
    // The print service tells nothing of a queue's colour, so every
    // printer is taken to print colour.
    bool IsColor() const { return true; }

private:
    int index_ = 0;
    int customWidth_ = 0, customHeight_ = 0;
    const TRMPaperInfo* currentPaper() const;
};
TRMPrinter* RMPrinter();

// The canvas the engine prints on: the platform printer's canvas, its font
// kept measured at the printer's vertical resolution (a point size stays
// that size on paper) and, on a printer without colour, its text black
// unless the colour asked for is black or white. The font is adapted when
// the canvas is made and after every change of it, as long as this object
// lives.
class TRMPrinterCanvas {
public:
    TRMPrinterCanvas(TPrinter* printer, bool color);
    ~TRMPrinterCanvas();
    TRMPrinterCanvas(const TRMPrinterCanvas&) = delete;
    TRMPrinterCanvas& operator=(const TRMPrinterCanvas&) = delete;
    TCanvas* Canvas() const { return canvas_; }
    bool IsColor() const { return color_; }
    void AdaptFont();

private:
    TPrinter* printer_;
    TCanvas* canvas_;
    bool color_;
    bool adapting_ = false;
    std::function<void(TObject*)> chained_;
};
