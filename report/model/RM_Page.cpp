#include "report/model/RM_Page.h"

#include <algorithm>
#include <cmath>

#include "SysUtils.h"
#include "report/model/RM_Report.h"

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
    if (width > 0) PaperWidth = width;
    if (height > 0) PaperHeight = height;
    Bin = bin;
    Orientation = orientation;
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
    std::string n = UpperCase(name);
    if (n == "NAME")
        Name = VarToStr(v);
    else if (n == "CAPTION")
        Caption = VarToStr(v);
    else if (n == "COLUMNS")
        Columns = std::max(1, v.AsInteger());
    else if (n == "ORIENTATION")
        Orientation = uint8_t(v.AsInteger());
    else if (n == "LEFTMARGIN")
        MarginLeft = v.AsInteger();
    else if (n == "TOPMARGIN")
        MarginTop = v.AsInteger();
    else if (n == "RIGHTMARGIN")
        MarginRight = v.AsInteger();
    else if (n == "BOTTOMMARGIN")
        MarginBottom = v.AsInteger();
    else if (n == "AUTOHCENTER")
        AutoHCenter = v.AsBoolean();
    else if (n == "PRINTTOPREVPAGE")
        PrintToPrevPage = v.AsBoolean();
    else if (n == "VISIBLE")
        Visible = v.AsBoolean();
}

Variant TRMPage::GetPropValue(const std::string& name) {
    std::string n = UpperCase(name);
    if (n == "NAME") return Name;
    if (n == "CAPTION") return Caption;
    if (n == "TYPE") return int(PageType);
    if (n == "COLUMNS") return Columns;
    if (n == "ORIENTATION") return int(Orientation);
    if (n == "PAGEWIDTH") return PaperWidthPx();
    if (n == "PAGEHEIGHT") return PaperHeightPx();
    if (n == "LEFTMARGIN") return MarginLeft;
    if (n == "TOPMARGIN") return MarginTop;
    if (n == "RIGHTMARGIN") return MarginRight;
    if (n == "BOTTOMMARGIN") return MarginBottom;
    if (n == "AUTOHCENTER") return AutoHCenter;
    if (n == "PRINTTOPREVPAGE") return PrintToPrevPage;
    if (n == "VISIBLE") return Visible;
    return Null();
}

void TRMPage::DefineProperties() {
    ClearProperties();
    AddProperty("Name", rmdtString);
    AddProperty("Type", 0);
    AddProperty("Columns", rmdtInteger);
    AddProperty("Orientation", rmdtInteger);
    AddProperty("AutoHCenter", rmdtBoolean);
    AddProperty("PrintToPrevPage", rmdtBoolean);
    AddProperty("BackGround", rmdtHasEditor);
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
