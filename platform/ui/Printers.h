// The printer: the print queues CUPS reports plus a "PDF" printer that
// writes a file, so printing always has a target. One document at a time
// is drawn page by page on Canvas() in device pixels.
// Not here: the print and setup dialogs (Dialogs.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Graphics.h"

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

enum TPrinterOrientation { poPortrait, poLandscape };
enum TPrinterState { psNoHandle, psHandleIC, psHandleDC };

// A paper size by name, in millimetres (portrait).
struct TPaperSize {
    std::string Name;
    double WidthMM = 0;
    double HeightMM = 0;
};

// What a print queue tells of itself; nothing (Known false) for the PDF
// printer or a queue that does not answer.
struct TPrinterQueueInfo {
    bool Known = false;
    std::string Driver;  // make and model
    std::string Port;    // the device the queue prints to
    std::string Comment; // the queue's description
    // Status bits as print dialogs number them: 1 paused, 2 error, 8 paper
    // jam, 16 paper out, 64 paper problem, 128 offline, 1024 printing,
    // 2048 output bin full, 4096 not available, 32768 initializing,
    // 131072 toner low, 262144 no toner, 1048576 user intervention,
    // 4194304 door open.
    unsigned Status = 0;
    int Jobs = 0; // jobs waiting or printing
};

// A paper source (input tray) of a queue: the queue's keyword and its
// readable name.
struct TPaperSource {
    std::string Keyword, Name;
};

// GetDeviceCaps indexes.
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;

//   idle --BeginDoc--> printing --NewPage--> printing (next page)
//   printing --EndDoc--> idle (the job is sent / the PDF file written)
//   printing --Abort---> idle (nothing is printed; Aborted() is true)
// BeginDoc while printing throws EPrinter "Printing in progress"; NewPage,
// EndDoc outside a document throw "Printer is not currently printing".
// Settings (index, orientation, paper, copies) change only while idle.
class TPrinter : public TObject {
public:
    TPrinter();
    ~TPrinter() override;
    std::string ClassName() const override { return "TPrinter"; }

    // Printer names: the CUPS queues, then "PDF".
    const std::vector<std::string>& Printers() const;
    // Rereads the CUPS queues, keeping the selected printer if it remains.
    void Refresh();
    int PrinterIndex() const { return index_; }
    // -1 selects the default printer; out of range throws EPrinter
    // "Printer selected is not valid".
    void SetPrinterIndex(int i);
    int PdfPrinterIndex() const;
    bool IsPdfPrinter() const;

    // The file the PDF printer writes; default "<Title or 'output'>.pdf" in
    // the current folder.
    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& v) { fileName_ = v; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& v) { title_ = v; }
    int Copies() const { return copies_; }
    void SetCopies(int v);
    TPrinterOrientation Orientation() const { return orientation_; }
    void SetOrientation(TPrinterOrientation v);

    // A4, A5, B5, Letter, Legal; SetCustomPaper adds "Custom".
    const std::vector<TPaperSize>& PaperSizes() const;
    int PaperIndex() const { return paperIndex_; }
    void SetPaperIndex(int i);
    // Selects a paper by name (case-insensitive); false if unknown.
    bool SetPaperByName(const std::string& name);
    void SetCustomPaper(double widthMM, double heightMM);

    // The queue's state and the sources it lists (asked of CUPS each
    // time); index as PrinterIndex().
    TPrinterQueueInfo QueueInfo(int index) const;
    std::vector<TPaperSource> PaperSources(int index) const;
    // The source the next document feeds from, by keyword; empty leaves
    // the choice to the printer.
    const std::string& PaperSource() const { return source_; }
    void SetPaperSource(const std::string& keyword);

    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return pageNumber_; }
    TCanvas* Canvas();

    // Printable area in device pixels (orientation applied).
    int PageWidth() const;
    int PageHeight() const;
    int XDpi() const;
    int YDpi() const;
    int GetDeviceCaps(int index) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int index_ = -1;
    std::string fileName_;
    std::string title_;
    int copies_ = 1;
    TPrinterOrientation orientation_ = poPortrait;
    int paperIndex_ = 0;
    std::string source_;
    bool printing_ = false;
    bool aborted_ = false;
    int pageNumber_ = 0;
};

// The process-wide printer, created on first use.
TPrinter* Printer();
// Replaces the process-wide printer (takes ownership); returns the old one.
std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> p);
