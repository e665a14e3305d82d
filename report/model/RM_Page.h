// A design page: paper, margins, columns, a background picture, its script
// and the objects drawn in list order. TRMPages is the report's list of
// design pages and reads and writes the body of a report stream.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "report/model/RM_Class.h"

class TRMReport;

class TRMPage : public TRMObject {
public:
    explicit TRMPage(TRMReport* report = nullptr);
    ~TRMPage() override;

    TRMReport* Report = nullptr;
    uint8_t PageType = 0; // 0 report page, 1 dialog page
    // A dialog page's form: caption, bounds, colour, border and position.
    std::string Caption = "Form";
    std::string Name;
    int DlgLeft = 220, DlgTop = 180, DlgWidth = 380, DlgHeight = 300;
    TColor Color = TColor(0x8000000F);
    uint8_t BorderStyle = 3;
    uint8_t Position = 4;
    int32_t PaperSize = 9;                             // A4
    int32_t PaperWidth = 210000, PaperHeight = 297000; // 0.001 mm, portrait
    int32_t MarginLeft = 15000, MarginTop = 20000, MarginRight = 15000, MarginBottom = 20000;
    uint8_t Orientation = 0;
    bool PrintToPrevPage = false;
    int32_t Columns = 1;
    int32_t ColumnGap = 0; // 0.001 mm
    int32_t Bin = 0xFFFF;
    TRMLines Script;
    TRMPictureData BackPicture;
    int32_t BackGroundLeft = 0, BackGroundTop = 0, BackGroundWidth = 0, BackGroundHeight = 0;
    bool AutoHCenter = false;
    // The background picture is shown (not stored).
    bool ShowBackPicture = true;
    // Some sub-report object prints this page: its left margin stays put.
    bool SubReportTarget = false;
    bool IsSubReportPage = false;
    // An invisible page builds nothing; its page script, which runs first,
    // may change that ("VISIBLE").
    bool Visible = true;

    std::vector<std::unique_ptr<TRMView>> Objects;

    // Paper in screen pixels, orientation applied.
    int PaperWidthPx() const;
    int PaperHeightPx() const;
    TRect MarginRectPx() const;
    // Printable area: paper less margins, in pixels.
    int PrintableLeft() const;
    int PrintableTop() const;
    int PrintableWidth() const;
    int PrintableHeight() const;
    // A known paper code takes its own size; the custom size 256 (or a
    // code no printer knows) takes width and height (0.001 mm, portrait).
    // Bin -1 is stored as 0xFFFF.
    void ChangePaper(int size, int width, int height, int bin, uint8_t orientation);
    // The printable area's sides in pixels: the left and top margins, the
    // paper less the right and bottom margins (less the page footer while
    // a build runs).
    int GetPrintableRight() const;
    int GetPrintableBottom() const;
    // Margins from a pixel rectangle; the objects move with the left (not
    // on a sub-report target page) and top margins.
    void SetMarginRect(const TRect& px);
    void SetLeftMargin(int px);
    void SetTopMargin(int px);
    // Copies the picture and records its size in 96-dpi pixels.
    void SetBackPicture(const TRMPictureData& picture);

    TRMView* Add(std::unique_ptr<TRMView> v);
    // Removes without freeing (bring to front, undo).
    std::unique_ptr<TRMView> Remove(TRMView* v);
    void Delete(TRMView* v);
    void Clear() { Objects.clear(); }
    TRMView* FindObject(const std::string& name) const;
    TRMView* FindObjectByID(uint32_t id) const;
    int IndexOf(const TRMView* v) const;

    void SetPropValue(const std::string& name, const Variant& value) override;
    Variant GetPropValue(const std::string& name) override;
    void DefineProperties() override;
    // "LOADFROMFILE" (file name), "CHANGEPAPER", "SETVIEWPROP" (object
    // index, property, value); the arguments arrive as written.
    Variant DoMethod(const std::string& name, const std::vector<Variant>& params) override;

    // While the report builds this page, for its OnManualBuild handler:
    // a band of the page prints at the current position (breaking the
    // page when it does not fit), and a new page starts with its headers.
    // Outside a build they do nothing.
    void ShowBand(TRMView* band);
    void ShowBandByName(const std::string& name);
    void NewPage();
    // The next free position on the built page (pixels), -1 outside a build.
    int CurY() const;

    void LoadFromStream(TStream& s, int reportSub2);
    void SaveToStream(TStream& s);
};

class TRMPages {
public:
    explicit TRMPages(TRMReport* report) : report_(report) {}
    int Count() const { return int(pages_.size()); }
    TRMPage* operator[](int i) const { return pages_[size_t(i)].get(); }
    TRMPage* Add();
    void Delete(int i);
    void Move(int from, int to);
    void Clear() { pages_.clear(); }
    void RemoveRegions();

private:
    TRMReport* report_;
    std::vector<std::unique_ptr<TRMPage>> pages_;
};
