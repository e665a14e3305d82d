#include "report/model/RM_Page.h"

#include <algorithm>
#include <cmath>

#include "SysUtils.h"
#include "report/model/RM_Report.h"
#include "report/print/RM_Printer.h"
#include "report/script/RM_Parser.h"

TRMPage::TRMPage(TRMReport* report) : Report(report) {}
TRMPage::~TRMPage() = default;

int TRMPage::PaperWidthPx() const { return RMToPixels((Orientation ? PaperHeight : PaperWidth) / 1000.0); }
int TRMPage::PaperHeightPx() const { return RMToPixels((Orientation ? PaperWidth : PaperHeight) / 1000.0); }
TRect TRMPage::MarginRectPx() const {
    return TRect(RMToPixels(MarginLeft / 1000.0), RMToPixels(MarginTop / 1000.0), RMToPixels(MarginRight / 1000.0),
                 RMToPixels(MarginBottom / 1000.0));
}
int TRMPage::PrintableLeft() const { return MarginRectPx().Left; }
int TRMPage::PrintableTop() const { return MarginRectPx().Top; }
int TRMPage::PrintableWidth() const {
    TRect m = MarginRectPx();
    return PaperWidthPx() - m.Left - m.Right;
}
int TRMPage::PrintableHeight() const {
    TRect m = MarginRectPx();
    return PaperHeightPx() - m.Top - m.Bottom;
}

void TRMPage::ChangePaper(int size, int width, int height, int bin, uint8_t orientation) {
    PaperSize = size;
    bool known = false;
    if (size != RMCustomPaper)
        for (const auto& p : RMPaperTable())
            if (p.Code == size) {
                PaperWidth = p.Width * 100;
                PaperHeight = p.Height * 100;
                known = true;
                break;
            }
    if (!known) {
        PaperSize = RMCustomPaper;
        if (width > 0) PaperWidth = width;
        if (height > 0) PaperHeight = height;
    }
    Bin = bin == -1 ? RMDefaultBin : bin;
    Orientation = orientation;
}

int TRMPage::GetPrintableRight() const { return PaperWidthPx() - MarginRectPx().Right; }

int TRMPage::GetPrintableBottom() const {
    int b = PaperHeightPx() - MarginRectPx().Bottom;
    if (RMPreparedMode)
        for (auto& o : Objects)
            if (o->ObjectType == rmgtBand && static_cast<TRMBandView*>(o.get())->BandType() == bkPageFooter) {
                b -= o->Height;
                break;
            }
    return b;
}

namespace {
int32_t thousandths(int px) { return int32_t(std::lround(RMFromPixels(px) * 1000)); }
// Marked, or named by a sub-report object of the report.
bool subReportTarget(const TRMPage* page) {
    if (page->SubReportTarget) return true;
    if (!page->Report) return false;
    int index = -1;
    for (int i = 0; i < page->Report->Pages.Count(); ++i)
        if (page->Report->Pages[i] == page) index = i;
    for (int i = 0; i < page->Report->Pages.Count(); ++i)
        for (auto& o : page->Report->Pages[i]->Objects)
            if (o->ObjectType == rmgtSubReport && static_cast<TRMSubReportView*>(o.get())->SubPage == index)
                return index >= 0;
    return false;
}
} // namespace

void TRMPage::SetMarginRect(const TRect& px) {
    TRect old = MarginRectPx();
    int dx = subReportTarget(this) ? 0 : px.Left - old.Left, dy = px.Top - old.Top;
    MarginLeft = thousandths(px.Left);
    MarginTop = thousandths(px.Top);
    MarginRight = thousandths(px.Right);
    MarginBottom = thousandths(px.Bottom);
    for (auto& o : Objects) {
        o->Left += dx;
        o->Top += dy;
    }
}

void TRMPage::SetLeftMargin(int px) {
    if (subReportTarget(this)) return;
    TRect m = MarginRectPx();
    m.Left = px;
    SetMarginRect(m);
}

void TRMPage::SetTopMargin(int px) {
    TRect m = MarginRectPx();
    m.Top = px;
    SetMarginRect(m);
}

void TRMPage::SetBackPicture(const TRMPictureData& picture) {
    BackPicture = picture;
    BackGroundWidth = BackGroundHeight = 0;
    if (auto g = BackPicture.Decode()) {
        BackGroundWidth = g->Width();
        BackGroundHeight = g->Height();
    }
}

TRMView* TRMPage::Add(std::unique_ptr<TRMView> v) {
    v->Parent = this;
    Objects.push_back(std::move(v));
    return Objects.back().get();
}

std::unique_ptr<TRMView> TRMPage::Remove(TRMView* v) {
    for (auto it = Objects.begin(); it != Objects.end(); ++it)
        if (it->get() == v) {
            auto p = std::move(*it);
            Objects.erase(it);
            return p;
        }
    return nullptr;
}

void TRMPage::Delete(TRMView* v) { Remove(v); }

TRMView* TRMPage::FindObject(const std::string& name) const {
    for (auto& o : Objects)
        if (SameText(o->Name, name)) return o.get();
    return nullptr;
}
TRMView* TRMPage::FindObjectByID(uint32_t id) const {
    for (auto& o : Objects)
        if (o->ID == id) return o.get();
    return nullptr;
}
int TRMPage::IndexOf(const TRMView* v) const {
    for (size_t i = 0; i < Objects.size(); ++i)
        if (Objects[i].get() == v) return int(i);
    return -1;
}

void TRMPage::SetPropValue(const std::string& name, const Variant& v) {
    std::string n = UpperCase(Trim(name));
    const bool dialog = PageType == 1;
    auto px = [&] { return int(std::lround(RMToNumber(v))); };
    if (n == "NAME")
        Name = VarToStr(v);
    else if (n == "CAPTION")
        Caption = VarToStr(v);
    else if (n == "TYPE") {
        PageType = uint8_t(v.AsInteger() == 1 ? 1 : 0);
        if (PageType == 1) SetBackPicture({});
    } else if (n == "LEFT")
        DlgLeft = px();
    else if (n == "TOP")
        DlgTop = px();
    else if (n == "WIDTH" || n == "HEIGHT") {
        if (dialog) {
            (n == "WIDTH" ? DlgWidth : DlgHeight) = px();
        } else {
            // The paper as it lies: across, its width is the long side.
            bool across = (n == "WIDTH") != (Orientation != 0);
            (across ? PaperWidth : PaperHeight) = thousandths(px());
        }
    } else if (n == "BORDERSTYLE")
        BorderStyle = uint8_t(v.AsInteger());
    else if (n == "COLOR")
        Color = TColor(v.AsInteger());
    else if (n == "POSITION")
        Position = uint8_t(v.AsInteger());
    else if (n == "SIZE")
        PaperSize = v.AsInteger();
    else if (n == "LEFTMARGIN")
        MarginLeft = thousandths(px());
    else if (n == "TOPMARGIN")
        MarginTop = thousandths(px());
    else if (n == "RIGHTMARGIN")
        MarginRight = thousandths(px());
    else if (n == "BOTTOMMARGIN")
        MarginBottom = thousandths(px());
    else if (n == "ORIENTATION")
        Orientation = uint8_t(v.AsInteger() ? 1 : 0);
    else if (n == "PRINTTOPREVPAGE")
        PrintToPrevPage = v.AsBoolean();
    else if (n == "COLUMNS")
        Columns = std::max(1, v.AsInteger());
    else if (n == "COLUMNGAP")
        ColumnGap = thousandths(px());
    else if (n == "VISIBLE")
        Visible = v.AsBoolean();
    else if (n == "BACKGROUNDLEFT")
        BackGroundLeft = px();
    else if (n == "BACKGROUNDTOP")
        BackGroundTop = px();
    else if (n == "AUTOHCENTER")
        AutoHCenter = v.AsBoolean();
    else if (n == "PRINTPAGEPERPAGE") {
        if (Report) Report->PrintPagePerPage = v.AsBoolean();
    } else if (n == "SHOWBACKPICTURE")
        ShowBackPicture = v.AsBoolean();
}

Variant TRMPage::GetPropValue(const std::string& name) {
    std::string n = UpperCase(Trim(name));
    const bool dialog = PageType == 1;
    if (n == "NAME") return Name;
    if (n == "CAPTION") return Caption;
    if (n == "TYPE") return int(PageType);
    if (n == "LEFT") return DlgLeft;
    if (n == "TOP") return DlgTop;
    if (n == "WIDTH") return dialog ? DlgWidth : PaperWidthPx();
    if (n == "HEIGHT") return dialog ? DlgHeight : PaperHeightPx();
    if (n == "BORDERSTYLE") return int(BorderStyle);
    if (n == "COLOR") return int(Color);
    if (n == "POSITION") return int(Position);
    if (n == "SIZE") return PaperSize;
    if (n == "LEFTMARGIN") return RMPreparedMode ? PrintableLeft() : MarginRectPx().Left;
    if (n == "TOPMARGIN") return RMPreparedMode ? PrintableTop() : MarginRectPx().Top;
    if (n == "RIGHTMARGIN") return RMPreparedMode ? GetPrintableRight() : MarginRectPx().Right;
    if (n == "BOTTOMMARGIN") return RMPreparedMode ? GetPrintableBottom() : MarginRectPx().Bottom;
    if (n == "ORIENTATION") return int(Orientation);
    if (n == "PRINTTOPREVPAGE") return PrintToPrevPage;
    if (n == "COLUMNS") return Columns;
    if (n == "COLUMNGAP") return RMToPixels(ColumnGap / 1000.0);
    if (n == "VISIBLE") return Visible;
    if (n == "BACKGROUNDLEFT") return BackGroundLeft;
    if (n == "BACKGROUNDTOP") return BackGroundTop;
    if (n == "AUTOHCENTER") return AutoHCenter;
    if (n == "PRINTPAGEPERPAGE") return Report ? Report->PrintPagePerPage : false;
    if (n == "SHOWBACKPICTURE") return ShowBackPicture;
    if (n == "OBJECTS.COUNT") return int(Objects.size());
    if (n == "PAGEWIDTH") return PaperWidthPx();
    if (n == "PAGEHEIGHT") return PaperHeightPx();
    return Null();
}

void TRMPage::DefineProperties() {
    ClearProperties();
    AddEnumProperty("Type", "ptReport;ptDialog", {0, 1});
    AddProperty("Visible", rmdtBoolean);
    if (PageType == 1) {
        AddEnumProperty("BorderStyle", "bsDialog;bsSizeable", {3, 2});
        AddProperty("Caption", rmdtString);
        AddProperty("Color", rmdtColor);
        for (const char* p : {"Left", "Top", "Width", "Height"}) AddProperty(p, rmdtInteger | rmdtPixels);
        AddEnumProperty("Position", "poDesigned;poScreenCenter", {0, 4});
        AddProperty("OnActivate", rmdtHasEditor);
        return;
    }
    std::string sizes;
    std::vector<Variant> codes;
    for (const auto& p : RMPaperTable()) {
        sizes += (sizes.empty() ? "" : ";") + p.Name;
        codes.push_back(p.Code);
    }
    AddEnumProperty("Size", sizes, codes);
    for (const char* p : {"Width", "Height", "LeftMargin", "TopMargin", "RightMargin", "BottomMargin"})
        AddProperty(p, rmdtInteger | rmdtPixels);
    AddEnumProperty("Orientation", "poPortrait;poLandscape", {0, 1});
    AddProperty("PrintToPrevPage", rmdtBoolean);
    AddProperty("Columns", rmdtInteger);
    AddProperty("ColumnGap", rmdtInteger | rmdtPixels);
    AddProperty("OnBeforePrint", rmdtHasEditor);
    AddProperty("BackGround", rmdtHasEditor, &RMEditorHooks.PagePictureEditor);
    AddProperty("BackGroundLeft", rmdtInteger | rmdtPixels);
    AddProperty("BackGroundTop", rmdtInteger | rmdtPixels);
    AddProperty("AutoHCenter", rmdtBoolean);
    AddProperty("PrintPagePerPage", rmdtBoolean);
    AddProperty("Objects.Count", 0);
    AddProperty("ShowBackPicture", 0);
}

Variant TRMPage::DoMethod(const std::string& name, const std::vector<Variant>& params) {
    std::string n = UpperCase(Trim(name));
    auto calc = [&](size_t i) -> Variant {
        std::string t = i < params.size() ? VarToStr(params[i]) : std::string();
        if (Trim(t).empty()) return Null();
        return Report ? Report->Calc(t) : Variant(t);
    };
    if (n == "LOADFROMFILE") {
        std::string file = Trim(VarToStr(calc(0)));
        TRMPictureData pic;
        if (!file.empty() && FileExists(file)) {
            pic.Bytes = ReadFileBytes(file);
            pic.Kind = TRMPictureData::KindOf(pic.Bytes);
            if (pic.Kind == pkNone) pic.Bytes.clear();
        }
        SetBackPicture(pic);
        return Null();
    }
    if (n == "CHANGEPAPER") {
        ChangePaper(PaperSize, PaperWidth, PaperHeight, Bin, Orientation);
        return Null();
    }
    if (n == "SETVIEWPROP") {
        int index = int(RMToNumber(calc(0)));
        if (index >= 0 && index < int(Objects.size()))
            Objects[size_t(index)]->SetPropValue(VarToStr(calc(1)), calc(2));
        return Null();
    }
    return TRMObject::DoMethod(name, params);
}

void TRMPage::LoadFromStream(TStream& s, int sub2) {
    const int V = RMStreamVersion;
    if (V > 23) {
        PageType = RMReadByte(s);
        Caption = RMReadString(s);
        Name = RMReadString(s);
    }
    if (V > 24) {
        DlgLeft = RMReadInteger(s);
        DlgTop = RMReadInteger(s);
        DlgWidth = RMReadInteger(s);
        DlgHeight = RMReadInteger(s);
        Color = TColor(RMReadInteger(s));
        BorderStyle = RMReadByte(s);
        if (BorderStyle == 0)
            BorderStyle = 3;
        else if (BorderStyle == 1)
            BorderStyle = 2;
        Position = RMReadByte(s) ? 4 : 0;
    }
    PaperSize = RMReadInteger(s);
    auto oldPx = [](int px) { return int(std::lround(RMFromPixels(px) * 1000)); };
    if (sub2 > 9) {
        PaperWidth = RMReadInteger(s);
        PaperHeight = RMReadInteger(s);
        MarginLeft = RMReadInteger(s);
        MarginTop = RMReadInteger(s);
        MarginRight = RMReadInteger(s);
        MarginBottom = RMReadInteger(s);
    } else {
        PaperWidth = RMReadInteger(s) * 100;
        PaperHeight = RMReadInteger(s) * 100;
        MarginLeft = oldPx(RMReadInteger(s));
        MarginTop = oldPx(RMReadInteger(s));
        MarginRight = oldPx(RMReadInteger(s));
        MarginBottom = oldPx(RMReadInteger(s));
    }
    Orientation = RMReadByte(s);
    if (V < 23) {
        char skip[6];
        s.ReadBuffer(skip, 6);
    }
    PrintToPrevPage = RMReadWordBool(s);
    if (Report && Report->ReportRevision() < 4003) RMReadWord(s);
    Columns = RMReadInteger(s);
    ColumnGap = sub2 > 9 ? RMReadInteger(s) : oldPx(RMReadInteger(s));
    Bin = V >= 24 ? RMReadInteger(s) : 0;
    if (V > 26) Script = RMReadMemo(s);
    if (V > 32) BackPicture = RMReadPicture(s, false);
    if (V > 33) {
        BackGroundLeft = RMReadInteger(s);
        BackGroundTop = RMReadInteger(s);
    }
    if (V > 39) {
        BackGroundWidth = RMReadInteger(s);
        BackGroundHeight = RMReadInteger(s);
    }
    if (Report && Report->ReportRevision() > 4000) AutoHCenter = RMReadBoolean(s);
    if (V == 33) {
        BackGroundLeft = PrintableLeft();
        BackGroundTop = PrintableTop();
    }
    if (V < 40 && !BackPicture.Empty()) {
        if (auto g = BackPicture.Decode()) {
            BackGroundWidth = g->Width();
            BackGroundHeight = g->Height();
        }
    }
}

void TRMPage::SaveToStream(TStream& s) {
    RMWriteByte(s, PageType);
    RMWriteString(s, Caption);
    RMWriteString(s, Name);
    RMWriteInteger(s, DlgLeft);
    RMWriteInteger(s, DlgTop);
    RMWriteInteger(s, DlgWidth);
    RMWriteInteger(s, DlgHeight);
    RMWriteInteger(s, int32_t(Color));
    RMWriteByte(s, BorderStyle);
    RMWriteByte(s, Position);
    RMWriteInteger(s, PaperSize);
    RMWriteInteger(s, PaperWidth);
    RMWriteInteger(s, PaperHeight);
    RMWriteInteger(s, MarginLeft);
    RMWriteInteger(s, MarginTop);
    RMWriteInteger(s, MarginRight);
    RMWriteInteger(s, MarginBottom);
    RMWriteByte(s, Orientation);
    RMWriteWordBool(s, PrintToPrevPage);
    RMWriteInteger(s, Columns);
    RMWriteInteger(s, ColumnGap);
    RMWriteInteger(s, Bin);
    RMWriteMemo(s, Script);
    RMWritePicture(s, BackPicture, false);
    RMWriteInteger(s, BackGroundLeft);
    RMWriteInteger(s, BackGroundTop);
    RMWriteInteger(s, BackGroundWidth);
    RMWriteInteger(s, BackGroundHeight);
    RMWriteBoolean(s, AutoHCenter);
}

TRMPage* TRMPages::Add() {
    pages_.push_back(std::make_unique<TRMPage>(report_));
    return pages_.back().get();
}
void TRMPages::Delete(int i) {
    if (i >= 0 && i < Count()) pages_.erase(pages_.begin() + i);
}
void TRMPages::Move(int from, int to) {
    if (from < 0 || from >= Count() || to < 0 || to >= Count()) return;
    auto p = std::move(pages_[size_t(from)]);
    pages_.erase(pages_.begin() + from);
    pages_.insert(pages_.begin() + to, std::move(p));
}
void TRMPages::RemoveRegions() {
    for (auto& p : pages_) {
        auto& o = p->Objects;
        o.erase(std::remove_if(o.begin(), o.end(), [](auto& v) { return v->ObjectType == rmgtRegion; }), o.end());
    }
}
