#include "report/model/RM_Class.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

#include "Menus.h"
#include "Metafile.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "report/model/RM_Page.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"

uint32_t RMObjectIDCounter = 0;
bool RMPreparedMode = false;
bool RMPrintVisibleJob = false;

const char* const RMBandKindNames[23] = {
    "标题",     "总结",     "页标头",     "页注脚",     "主项标头",   "主项数据", "主项注脚", "细项标头",
    "细项数据", "细项注脚", "子细项标头", "子细项数据", "子细项注脚", "浮动",     "栏目标头", "栏目注脚",
    "分组标头", "分组注脚", "交叉表标头", "交叉表数据", "交叉表注脚", "子栏",     "无"};

int RMToPixels(double mm) { return int(std::lround(mm * 96.0 / 25.4)); }
double RMFromPixels(int px) { return px * 25.4 / 96.0; }

namespace {
double pixelsPerUnit(int units) {
    static const float perMillimetre = 0.03937f;
    return units == rmutMillimeters ? 96.0 * double(perMillimetre) : units == rmutInches ? 96.0 : 1.0;
}
} // namespace

double RMToPixels(int units, double value) { return value * pixelsPerUnit(units); }
double RMFromPixels(int units, double value) { return value / pixelsPerUnit(units); }

// ---------------------------------------------------------------- TRMObject

TRMObject::~TRMObject() = default;

TRMEditorHooksRec RMEditorHooks;

namespace {
const TRMEditorHook* editorOf(const std::string& name) {
    static const std::pair<const char*, TRMEditorHook TRMEditorHooksRec::*> table[] = {
        {"Memo", &TRMEditorHooksRec::MemoEditor},
        {"Tag", &TRMEditorHooksRec::TagEditor},
        {"NewPageCondition", &TRMEditorHooksRec::TagEditor},
        {"Restrictions", &TRMEditorHooksRec::RestrictionsEditor},
        {"Font", &TRMEditorHooksRec::FontEditor},
        {"Highlight", &TRMEditorHooksRec::HighlightEditor},
        {"DataSet", &TRMEditorHooksRec::BandDataSourceEditor},
        {"DataSource", &TRMEditorHooksRec::BandDataSourceEditor},
        {"DataField", &TRMEditorHooksRec::DataFieldEditor},
        {"Picture", &TRMEditorHooksRec::PictureEditor},
        {"BackGround", &TRMEditorHooksRec::PagePictureEditor},
        {"CalcType", &TRMEditorHooksRec::CalcMemoEditor},
        {"OnBeforePrint", &TRMEditorHooksRec::BeforePrintScriptEditor},
        {"OnAfterPrint", &TRMEditorHooksRec::AfterPrintScriptEditor},
        {"FrameTyp", &TRMEditorHooksRec::FrameEditor},
        {"Condition", &TRMEditorHooksRec::GroupEditor},
    };
    for (auto& [n, m] : table)
        if (SameText(n, name)) return &(RMEditorHooks.*m);
    return nullptr;
}
} // namespace

void TRMObject::AddProperty(const std::string& name, uint16_t type) {
    props_.push_back({name, type, {}, {}, (type & rmdtHasEditor) ? editorOf(name) : nullptr});
}

void TRMObject::AddProperty(const std::string& name, uint16_t type, const TRMEditorHook* editor) {
    props_.push_back({name, uint16_t(type | rmdtHasEditor), {}, {}, editor});
}

void TRMObject::AddEnumProperty(const std::string& name, const std::string& namesText, std::vector<Variant> values) {
    TRMPropRec r{name, rmdtEnum, {}, {}};
    size_t start = 0;
    for (;;) {
        size_t p = namesText.find(';', start);
        r.Enums.push_back(namesText.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    if (!values.empty() && !VarIsNull(values[0])) r.EnumValues = std::move(values);
    props_.push_back(std::move(r));
}

void TRMObject::DelProperty(const std::string& name) {
    auto it = std::find_if(props_.begin(), props_.end(), [&](auto& p) { return SameText(p.Name, name); });
    if (it != props_.end()) props_.erase(it);
}

const TRMPropRec* TRMObject::FindProperty(const std::string& name) const {
    for (auto& p : props_)
        if (SameText(p.Name, name)) return &p;
    return nullptr;
}

// ---------------------------------------------------------------- fonts

uint16_t RMFontStyleToInt(TFontStyles s) {
    return uint16_t((s.Contains(fsItalic) ? 1 : 0) | (s.Contains(fsBold) ? 2 : 0) | (s.Contains(fsUnderline) ? 4 : 0) |
                    (s.Contains(fsStrikeOut) ? 8 : 0));
}
TFontStyles RMIntToFontStyle(uint16_t v) {
    TFontStyles s;
    if (v & 1) s << fsItalic;
    if (v & 2) s << fsBold;
    if (v & 4) s << fsUnderline;
    if (v & 8) s << fsStrikeOut;
    return s;
}

void TRMFont::ApplyTo(TFont* f, double scale) const {
    f->SetName(Name);
    f->SetHeight(-std::max(1, int(std::lround(Size * 96.0 / 72.0 * scale))));
    f->SetStyle(RMIntToFontStyle(Style));
    f->SetColor(Color);
    f->SetCharset(TFontCharset(Charset));
}

// ---------------------------------------------------------------- formats

namespace {
std::string plainText(const Variant& v) {
    if (VarType(v) == varDouble || VarType(v) == varSingle) return FormatFloat("0.########", v.AsDouble());
    return VarToStr(v);
}
} // namespace

std::string RMFormatValue(const Variant& v, int code, const std::string& ftext) {
    if (VarIsClear(v)) return {};
    if (VarIsStr(v) && Trim(VarToStr(v)).empty()) return {};
    int kind = (code >> 24) & 0x0F, sub = (code >> 16) & 0xFF, dec = (code >> 8) & 0xFF;
    char sep = char(code & 0xFF);
    try {
        switch (kind) {
        case fkNumber: {
            TFormatSettings fs = FormatSettings;
            if (sep) fs.DecimalSeparator = sep;
            double d = VarIsStr(v) ? StrToFloat(VarToStr(v)) : v.AsDouble();
            switch (sub) {
            case 0: return FormatFloat("##0." + std::string(size_t(dec), '#'), d, fs);
            case 1: return FloatToStrF(d, ffFixed, 15, dec, fs);
            case 2: return FormatFloat("#,##0." + std::string(size_t(dec), '#'), d, fs);
            case 3: return FloatToStrF(d, ffNumber, 15, dec, fs);
            default: return FormatFloat(ftext, d, fs);
            }
        }
        case fkDate: {
            static const char* fmts[] = {"yy.mm.dd",   "yyyy.mm.dd",      "yyyy'年'mm'月'dd'日'",   "yyyy MM dd",
                                         "yyyy/mm/dd", "dddd yyyy MM dd", "dddd yyyy'年'M'月'd'日'"};
            std::string f = sub <= 6 ? fmts[sub] : ftext;
            TFormatSettings fs = FormatSettings;
            if (f.find('/') != std::string::npos) fs.DateSeparator = '/';
            return FormatDateTime(f, VarToDateTime(v), fs);
        }
        case fkTime: {
            static const char* fmts[] = {"hh:nn:ss", "h:nn:ss", "hh:nn", "h:nn"};
            std::string f = sub == 4 || sub > 4 ? ftext : fmts[sub];
            return FormatDateTime(f, VarToDateTime(v));
        }
        case fkBoolean: {
            static const char* pairs[] = {"0;1", "否;是", "_;x", "假;真"};
            std::string f = sub >= 4 ? ftext : pairs[sub];
            size_t p = f.find(';');
            bool b = VarIsStr(v) ? (VarToStr(v) != "0" && !SameText(VarToStr(v), "false")) : v.AsBoolean();
            if (p == std::string::npos) return f;
            return b ? f.substr(p + 1) : f.substr(0, p);
        }
        default: return plainText(v);
        }
    } catch (const Exception&) {
        return VarToStr(v);
    }
}

bool RMSplitFormatSuffix(std::string& expr, int& code, std::string& text) {
    size_t p = expr.find(" #");
    if (p == std::string::npos) return false;
    text = expr.substr(p + 2);
    expr = expr.substr(0, p);
    if (text.empty()) return true;
    char c = text[0];
    if (isdigit(uint8_t(c)) || c == 'N' || c == 'n')
        code = 0x0104002E;
    else if (c == 'D' || c == 'd')
        code = 0x02070000;
    else if (c == 'T' || c == 't')
        code = 0x03040000;
    else if (c == 'B' || c == 'b')
        code = 0x04040000;
    else
        return true;
    text.erase(0, 1);
    return true;
}

// ---------------------------------------------------------------- TRMView

TRMView::TRMView() : ID(++RMObjectIDCounter) { FormatCode = uint8_t(FormatSettings.DecimalSeparator) + 0x200; }
TRMView::~TRMView() = default;

void TRMView::SetFrameAll(bool visible, double width, TColor color) {
    for (TRMFrameLine* f : {&LeftFrame, &TopFrame, &RightFrame, &BottomFrame}) {
        f->Visible = visible;
        f->Width = width;
        f->Color = color;
    }
}

void RMAddTextLines(TRMLines& list, const std::string& t) {
    size_t start = 0;
    for (;;) {
        size_t p = t.find('\n', start);
        std::string line = t.substr(start, p == std::string::npos ? std::string::npos : p - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        list.push_back(line);
        if (p == std::string::npos) break;
        start = p + 1;
    }
}

namespace {
std::string up(const std::string& s) { return UpperCase(s); }

// A whole text into a list: its lines, without their line breaks.
void setLines(TRMLines& list, const std::string& t) {
    list.clear();
    RMAddTextLines(list, t);
}

std::string joinLines(const TRMLines& list) {
    std::string t;
    for (size_t i = 0; i < list.size(); ++i) t += (i ? "\r\n" : "") + list[i];
    return t;
}
} // namespace

// "LEFTFRAME.xxx" ... "BOTTOMFRAME.xxx": the side; null for other names.
TRMFrameLine* TRMView::frameSide(const std::string& upperName) {
    size_t dot = upperName.find('.');
    if (dot == std::string::npos) return nullptr;
    std::string side = upperName.substr(0, dot);
    return side == "LEFTFRAME"     ? &LeftFrame
           : side == "TOPFRAME"    ? &TopFrame
           : side == "RIGHTFRAME"  ? &RightFrame
           : side == "BOTTOMFRAME" ? &BottomFrame
                                   : nullptr;
}

void TRMView::SetPropValue(const std::string& name, const Variant& v) {
    std::string n = up(name);
    if (n == "NAME")
        Name = VarToStr(v);
    else if (n == "LEFT")
        Left = v.AsInteger();
    else if (n == "TOP")
        Top = v.AsInteger();
    else if (n == "WIDTH")
        Width = v.AsInteger();
    else if (n == "HEIGHT")
        Height = v.AsInteger();
    else if (n == "VISIBLE")
        Visible = v.AsBoolean();
    else if (n == "FILLCOLOR")
        FillColor = TColor(v.AsInteger());
    else if (n == "GAPX")
        GapX = v.AsInteger();
    else if (n == "GAPY")
        GapY = v.AsInteger();
    else if (n == "TAG")
        Tag = VarToStr(v);
    else if (n == "RESTRICTIONS")
        Restrictions = uint16_t(v.AsInteger());
    else if (n == "BANDALIGN")
        BandAlign = uint8_t(v.AsInteger());
    else if (n == "DIAGONALKIND")
        DiagonalKind = uint16_t(v.AsInteger());
    else if (n == "PRINTFRAME")
        Flags = v.AsBoolean() ? (Flags | flPrintFrame) : (Flags & ~flPrintFrame);
    else if (n == "PRINTVISIBLE")
        Flags = v.AsBoolean() ? (Flags | flPrintVisible) : (Flags & ~flPrintVisible);
    else if (n == "STRETCHED")
        SetStretched(v.AsBoolean());
    else if (n == "FLAGS")
        Flags = uint16_t(v.AsInteger());
    else if (n == "MEMO" || n == "MEMO1" || n == "DATAFIELD")
        setLines(n == "MEMO1" ? Memo1 : Memo, VarToStr(v));
    else if (n == "FRAMETYP") {
        int t = v.AsInteger();
        TopFrame.Visible = t & 8;
        LeftFrame.Visible = t & 4;
        BottomFrame.Visible = t & 2;
        RightFrame.Visible = t & 1;
    } else if (n == "FRAMEWIDTH") {
        for (auto* f : {&LeftFrame, &TopFrame, &RightFrame, &BottomFrame}) f->Width = v.AsDouble();
    } else if (n == "FRAMECOLOR") {
        for (auto* f : {&LeftFrame, &TopFrame, &RightFrame, &BottomFrame}) f->Color = TColor(v.AsInteger());
    } else if (n == "FRAMESTYLE") {
        for (auto* f : {&LeftFrame, &TopFrame, &RightFrame, &BottomFrame}) f->Style = uint8_t(v.AsInteger());
    } else if (TRMFrameLine* f = frameSide(n)) {
        std::string field = n.substr(n.find('.') + 1);
        if (field == "VISIBLE")
            f->Visible = v.AsBoolean();
        else if (field == "WIDTH")
            f->Width = v.AsDouble();
        else if (field == "COLOR")
            f->Color = TColor(v.AsInteger());
        else if (field == "STYLE")
            f->Style = uint8_t(v.AsInteger());
    } else if (n == "FORMATCODE")
        FormatCode = v.AsInteger();
    else if (n == "FORMATTEXT")
        FormatText = VarToStr(v);
}

Variant TRMView::GetPropValue(const std::string& name) {
    std::string n = up(name);
    if (n == "NAME") return Name;
    if (n == "LEFT") return Left;
    if (n == "TOP") return Top;
    if (n == "WIDTH") return Width;
    if (n == "HEIGHT") return Height;
    if (n == "VISIBLE") return Visible;
    if (n == "FILLCOLOR") return int(FillColor);
    if (n == "GAPX") return GapX;
    if (n == "GAPY") return GapY;
    if (n == "TAG") return Tag;
    if (n == "RESTRICTIONS") return int(Restrictions);
    if (n == "BANDALIGN") return int(BandAlign);
    if (n == "DIAGONALKIND") return int(DiagonalKind);
    if (n == "PRINTFRAME") return bool(Flags & flPrintFrame);
    if (n == "PRINTVISIBLE") return bool(Flags & flPrintVisible);
    if (n == "FRAMETYP")
        return (TopFrame.Visible ? 8 : 0) | (LeftFrame.Visible ? 4 : 0) | (BottomFrame.Visible ? 2 : 0) |
               (RightFrame.Visible ? 1 : 0);
    // The whole frame reads as its top side.
    if (n == "FRAMEWIDTH") return TopFrame.Width;
    if (n == "FRAMECOLOR") return int(TopFrame.Color);
    if (n == "FRAMESTYLE") return int(TopFrame.Style);
    if (n == "FORMATCODE") return FormatCode;
    if (n == "FORMATTEXT") return FormatText;
    if (n == "STRETCHED") return GetStretched();
    if (n == "FLAGS") return int(Flags);
    if (n == "ISPRINTING") return IsPrinting;
    if (n == "MEMO") return joinLines(Memo);
    if (n == "MEMO1") return joinLines(Memo1);
    if (n == "MEMO.COUNT") return int(Memo.size());
    if (n == "DATAFIELD") return Memo.empty() ? std::string() : Memo[0];
    if (TRMFrameLine* f = frameSide(n)) {
        std::string field = n.substr(n.find('.') + 1);
        if (field == "VISIBLE") return f->Visible;
        if (field == "WIDTH") return f->Width;
        if (field == "COLOR") return int(f->Color);
        if (field == "STYLE") return int(f->Style);
    }
    return Null();
}

void TRMView::DefineProperties() {
    ClearProperties();
    AddProperty("Name", rmdtString | rmdtOneObject);
    for (const char* p : {"Left", "Top", "Height", "Width"}) AddProperty(p, rmdtPixels);
    AddProperty("Flags", 0);
    AddProperty("IsPrinting", 0);
    for (const char* field : {"Visible", "Width", "Color", "Style"})
        for (const char* side : {"LeftFrame.", "TopFrame.", "RightFrame.", "BottomFrame."})
            AddProperty(std::string(side) + field, 0);
    // Bands and sub-reports have no frame, fill or alignment of their own.
    if (ObjectType != rmgtBand && ObjectType != rmgtSubReport) {
        AddProperty("FrameTyp", rmdtInteger);
        AddProperty("FrameWidth", rmdtFloat | rmdtPixels);
        AddProperty("FrameColor", rmdtColor);
        AddEnumProperty("FrameStyle", "psSolid;psDash;psDot;psDashDot;psDashDotDot;psDouble", {0, 1, 2, 3, 4, 7});
        AddProperty("FillColor", rmdtColor);
        AddProperty("Tag", rmdtOneObject | rmdtHasEditor);
        AddEnumProperty("BandAlign", "baNone;baLeft;baRight;baCenter;baWidth;baBottom;baClient;baHeight;baRest",
                        {0, 1, 2, 3, 4, 5, 7, 8, 9});
        AddProperty("PrintFrame", rmdtBoolean);
        AddProperty("PrintVisible", rmdtBoolean);
    }
    AddProperty("Visible", rmdtBoolean);
    AddProperty("Memo", rmdtOneObject | rmdtHasEditor);
    AddProperty("Memo.Count", 0);
    AddProperty("Restrictions", rmdtHasEditor);
    AddProperty("Memo1", 0);
}

TRect TRMView::GetClipRgn(bool extended) const {
    // Left, Top, Width and Height are those of the last BeginDraw while a
    // drawing runs, the design ones otherwise.
    auto half = [&](const TRMFrameLine& f, double scale) {
        return f.Visible ? int(std::lround((scale * f.Width - 1) / 2)) : 0;
    };
    TRect r(Left - (LeftFrame.Visible ? int(std::lround(ScaleX * LeftFrame.Width / 2)) : 0),
            Top - (TopFrame.Visible ? int(std::lround(ScaleY * TopFrame.Width / 2)) : 0),
            Left + Width + 1 + half(RightFrame, ScaleX), Top + Height + 1 + half(BottomFrame, ScaleY));
    if (extended) r = TRect(r.Left - 10, r.Top - 10, r.Right + 10, r.Bottom + 10);
    return r;
}

namespace {
int frameExtra(const TRMFrameLine& a, const TRMFrameLine& b) {
    int e = 0;
    for (const TRMFrameLine* f : {&a, &b}) {
        if (!f->Visible) continue;
        e += int(std::lround(f->Width / 2));
        if (f->Style & 0x10) e += int(std::lround(f->Width * 2));
    }
    return e;
}
} // namespace

int TRMView::GetFrameExtraHeight() const { return frameExtra(BottomFrame, TopFrame); }
int TRMView::GetFrameExtraWidth() const { return frameExtra(RightFrame, LeftFrame); }

void TRMView::DefinePopupMenu(TPopupMenu* popup) {
    auto* sep = new TMenuItem(popup);
    sep->SetCaption("-");
    popup->Items()->Add(sep);
    auto* item = new TMenuItem(popup);
    item->SetCaption("伸展");
    item->SetChecked(GetStretched());
    item->OnClick = [item](TObject*) {
        if (!CurDesigner) return;
        CurDesigner->RecordChangeForUndo();
        item->SetChecked(!item->Checked());
        if (TRMPage* page = CurDesigner->GetDesignPage())
            for (auto& o : page->Objects)
                if (o->Selected) o->SetStretched(item->Checked());
        CurDesigner->ChangeDone();
    };
    popup->Items()->Add(item);
}

bool TRMObject::SetFontProp(TRMFont& font, const std::string& n, const Variant& v) {
    if (n == "FONT.NAME")
        font.Name = VarToStr(v);
    else if (n == "FONT.SIZE")
        font.Size = v.AsInteger();
    else if (n == "FONT.STYLE")
        font.Style = uint16_t(v.AsInteger());
    else if (n == "FONT.COLOR")
        font.Color = TColor(v.AsInteger());
    else
        return false;
    return true;
}

Variant TRMObject::GetFontProp(const TRMFont& font, const std::string& n) {
    if (n == "FONT.NAME") return font.Name;
    if (n == "FONT.SIZE") return font.Size;
    if (n == "FONT.STYLE") return int(font.Style);
    if (n == "FONT.COLOR") return int(font.Color);
    return Null();
}

void TRMView::BeginDraw(TCanvas* canvas) {
    Canvas = canvas;
    int l = int(std::lround(Left * ScaleX)) + OffsetX, t = int(std::lround(Top * ScaleY)) + OffsetY;
    int r = int(std::lround((Left + Width) * ScaleX)) + OffsetX,
        b = int(std::lround((Top + Height) * ScaleY)) + OffsetY;
    DrawRect = TRect(l, t, r, b);
}

void TRMView::ShowBackground() {
    if (FillColor == clTransparentRM || FillColor == clNone) return;
    Canvas->Brush()->SetStyle(bsSolid);
    Canvas->Brush()->SetColor(FillColor);
    Canvas->FillRect(DrawRect);
}

void TRMView::ShowFrame() {
    if (RMPrintVisibleJob && !(Flags & flPrintFrame)) return;
    auto pen = [&](const TRMFrameLine& f) {
        static const TPenStyle styles[] = {psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame};
        int idx = f.Style & ~0x90;
        Canvas->Pen()->SetStyle(idx > 6 ? psSolid : styles[idx]);
        Canvas->Pen()->SetColor(f.Color);
        Canvas->Pen()->SetWidth(std::max(1, int(std::lround(f.Width * ScaleX))));
    };
    const TRect& r = DrawRect;
    // (dx, dy) points inside the object: a double side repeats its line
    // twice its width further in.
    auto line = [&](const TRMFrameLine& f, int x1, int y1, int x2, int y2, int dx, int dy) {
        if (!f.Visible) return;
        pen(f);
        Canvas->MoveTo(x1, y1);
        Canvas->LineTo(x2, y2);
        if (!(f.Style & 0x10)) return;
        int d = int(std::lround(2 * f.Width * ScaleX));
        Canvas->MoveTo(x1 + dx * d, y1 + dy * d);
        Canvas->LineTo(x2 + dx * d, y2 + dy * d);
    };
    line(TopFrame, r.Left, r.Top, r.Right, r.Top, 0, 1);
    line(LeftFrame, r.Left, r.Top, r.Left, r.Bottom, 1, 0);
    line(BottomFrame, r.Left, r.Bottom, r.Right + 1, r.Bottom, 0, -1);
    line(RightFrame, r.Right, r.Top, r.Right, r.Bottom, -1, 0);
    if (DiagonalKind >= 1 && DiagonalKind <= 6 && ObjectType != rmgtBand) {
        Canvas->Pen()->SetStyle(psSolid);
        Canvas->Pen()->SetColor(clBlack);
        Canvas->Pen()->SetWidth(1);
        int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom, W = r.Width(), H = r.Height();
        auto seg = [&](int a, int b2, int c, int d) {
            Canvas->MoveTo(a, b2);
            Canvas->LineTo(c, d);
        };
        switch (DiagonalKind) {
        case 1: seg(L, T, R, B); break;
        case 3: seg(L, T, R, B); [[fallthrough]];
        case 2:
            seg(L, T, L + W / 2, B);
            seg(L, T, R, T + H / 2);
            break;
        case 4: seg(L, B, R, T); break;
        case 6: seg(L, B, R, T); [[fallthrough]];
        case 5:
            seg(L, T + H / 2, R, T);
            seg(L + W / 2, B, R, T);
            break;
        }
    }
}

void TRMView::ExportData(TRMExportFilter* filter) { filter->OnData(Left, Top, this); }

void TRMView::Draw(TCanvas* canvas) {
    BeginDraw(canvas);
    ShowBackground();
    ShowFrame();
}

void TRMView::StreamOut(TStream& s) {
    RMWriteByte(s, ObjectType);
    if (ObjectType == rmgtAddIn) RMWriteString(s, ClassName());
    bool was = PreparedForm;
    PreparedForm = true;
    SaveToStream(s);
    PreparedForm = was;
}

void TRMView::ReadViewRecord(TStream& s) {
    const int V = RMStreamVersion;
    auto readFrameOld = [&](int frameTyp, double width, TColor color, int style) {
        SetPropValue("FrameTyp", frameTyp);
        SetPropValue("FrameWidth", width);
        SetPropValue("FrameColor", int(color));
        SetPropValue("FrameStyle", style);
        if (ObjectType == rmgtBand)
            DiagonalKind = uint16_t(frameTyp);
        else
            DiagonalKind = (frameTyp & 0x20) ? 1 : (frameTyp & 0x40) ? 2 : 0;
    };
    if (V < 25) {
        if (V == 24 || (V == 23 && !PreparedForm)) Name = RMReadString(s);
        ObjectVersion = ClassVersion = 0;
        Left = RMReadInteger(s);
        Top = RMReadInteger(s);
        Width = RMReadInteger(s);
        Height = RMReadInteger(s);
        Flags = RMReadWord(s);
        int ft = RMReadWord(s);
        float fw;
        s.ReadBuffer(&fw, 4);
        TColor fc = TColor(RMReadInteger(s));
        int fs = RMReadWord(s);
        FillColor = TColor(RMReadInteger(s));
        if (V > 23) {
            GapX = RMReadInteger(s);
            GapY = RMReadInteger(s);
        }
        if (!PreparedForm) {
            FormatCode = RMReadInteger(s);
            FormatText = RMReadVersionedString(s);
        }
        Memo = RMReadVersionedMemo(s);
        if (V > 22 && !PreparedForm) {
            OnBeforePrint = RMReadVersionedMemo(s);
            Visible = RMReadWordBool(s);
        }
        readFrameOld(ft, fw, fc, fs);
        return;
    }
    Name = RMReadString(s);
    ObjectVersion = ClassVersion = 0;
    if (V > 28) {
        ObjectVersion = RMReadByte(s);
        ClassVersion = RMReadByte(s);
    }
    const int W = V * 100 + ObjectVersion * 10;
    Left = RMReadInteger(s);
    Top = RMReadInteger(s);
    Width = RMReadInteger(s);
    Height = RMReadInteger(s);
    Flags = RMReadWord(s);
    if (ObjectVersion >= 10) Flags2 = RMReadInteger(s);
    bool old = W < 3830;
    int ft = 0, fs = 0;
    double fw = 1;
    TColor fc = clBlack;
    if (old) {
        ft = RMReadWord(s);
        if (V < 30) {
            float f;
            s.ReadBuffer(&f, 4);
            fw = f;
        } else {
            fw = RMStrToFloat(RMReadString(s));
        }
        fc = TColor(RMReadInteger(s));
        RMReadWord(s);
        fs = RMReadWord(s);
        GapX = RMReadInteger(s);
        GapY = RMReadWord(s);
    } else {
        for (TRMFrameLine* f : {&LeftFrame, &TopFrame, &RightFrame, &BottomFrame}) {
            f->Visible = RMReadByte(s) != 0;
            f->Style = RMReadByte(s);
            f->Color = TColor(RMReadInteger(s));
            f->Width = RMReadInteger(s) / 1000.0;
        }
        DiagonalKind = RMReadWord(s);
        GapX = RMReadInteger(s);
        GapY = RMReadInteger(s);
    }
    FillColor = TColor(RMReadInteger(s));
    if (V > 27) BandAlign = RMReadByte(s);
    if (!PreparedForm) {
        FormatCode = RMReadInteger(s);
        FormatText = RMReadString(s);
    }
    Memo = RMReadMemo(s);
    if (!PreparedForm) {
        OnBeforePrint = RMReadMemo(s);
        if (V > 25) OnAfterPrint = RMReadMemo(s);
        Visible = RMReadWordBool(s);
    }
    if (V > 28) {
        Restrictions = RMReadWord(s);
        Tag = RMReadString(s);
    }
    if (old) readFrameOld(ft, fw, fc, fs);
}

void TRMView::WriteViewRecord(TStream& s) {
    RMWriteString(s, Name);
    RMWriteByte(s, ObjectVersion);
    RMWriteByte(s, ClassVersion);
    RMWriteInteger(s, Left);
    RMWriteInteger(s, Top);
    RMWriteInteger(s, Width);
    RMWriteInteger(s, Height);
    RMWriteWord(s, Flags);
    // The reader takes Flags2 only from records of object version 10 or
    // more; writing it under a lower version would shift every later field.
    if (ObjectVersion >= 10) RMWriteInteger(s, Flags2);
    for (const TRMFrameLine* f : {&LeftFrame, &TopFrame, &RightFrame, &BottomFrame}) {
        RMWriteByte(s, f->Visible ? 1 : 0);
        RMWriteByte(s, f->Style);
        RMWriteInteger(s, int32_t(f->Color));
        RMWriteInteger(s, int32_t(std::lround(f->Width * 1000)));
    }
    RMWriteWord(s, DiagonalKind);
    RMWriteInteger(s, GapX);
    RMWriteInteger(s, GapY);
    RMWriteInteger(s, int32_t(FillColor));
    RMWriteByte(s, BandAlign);
    if (!PreparedForm) {
        RMWriteInteger(s, FormatCode);
        RMWriteString(s, FormatText);
    }
    RMWriteMemo(s, PreparedForm ? Memo1 : Memo);
    if (!PreparedForm) {
        RMWriteMemo(s, OnBeforePrint);
        RMWriteMemo(s, OnAfterPrint);
        RMWriteWordBool(s, Visible);
    }
    RMWriteWord(s, Restrictions);
    RMWriteString(s, Tag);
}

void TRMView::LoadFromStream(TStream& s) { ReadViewRecord(s); }
void TRMView::SaveToStream(TStream& s) {
    ObjectVersion = 10;
    WriteViewRecord(s);
}

void TRMView::Assign(TRMView* source) {
    if (!source || source == this) return;
    Name = source->Name;
    ObjectType = source->ObjectType;
    Selected = source->Selected;
    // Always the design form, so that what only the design keeps (scripts,
    // formats, highlight) comes along from an object of a built page too.
    bool sourcePrepared = std::exchange(source->PreparedForm, false);
    PreparedForm = false;
    uint8_t v = std::exchange(RMStreamVersion, RMCurrentVersion);
    ScopeExit restore([&] {
        source->PreparedForm = sourcePrepared;
        RMStreamVersion = v;
    });
    TMemoryStream m;
    source->SaveToStream(m);
    m.SetPosition(0);
    LoadFromStream(m);
}

std::unique_ptr<TRMView> TRMView::Clone() {
    auto c = RMCreateObject(ObjectType, ClassName());
    c->Assign(this);
    c->Parent = Parent;
    return c;
}

void TRMView::CreateUniqueName(TRMReport* report) {
    Name.clear();
    std::vector<std::string> names;
    auto collect = [&](TRMPage* page) {
        for (auto& o : page->Objects) {
            if (o.get() != this) names.push_back(UpperCase(o->Name));
            o->CollectNames(names);
        }
    };
    if (report)
        for (int p = 0; p < report->Pages.Count(); ++p) collect(report->Pages[p]);
    else if (Parent)
        collect(Parent);
    std::sort(names.begin(), names.end());
    for (int i = 1; i <= 10000; ++i) {
        std::string n = BaseName + std::to_string(i);
        if (!std::binary_search(names.begin(), names.end(), UpperCase(n))) {
            SetPropValue("Name", n);
            return;
        }
    }
}

TRMView* TRMView::FindBand() const {
    if (!Parent) return nullptr;
    TRMView* found = nullptr;
    for (auto& o : Parent->Objects)
        if (o->ObjectType == rmgtBand && o.get() != this && Left >= o->Left && Left <= o->Left + o->Width &&
            Top >= o->Top && Top <= o->Top + o->Height)
            found = o.get();
    return found;
}

void TRMView::ApplyBandAlign() {
    TRMPage* page = Parent;
    if (!page || BandAlign == 0) return;
    int L = page->PrintableLeft(), R = page->GetPrintableRight();
    // The neighbours on the row: the nearest baLeft object to the left and
    // the nearest baRight object to the right.
    TRMView *leftOf = nullptr, *rightOf = nullptr;
    for (auto& o : page->Objects) {
        if (o.get() == this || o->ObjectType == rmgtBand || o->Top != Top) continue;
        if (o->BandAlign == 1 && o->Left < Left && (!leftOf || o->Left > leftOf->Left)) leftOf = o.get();
        if (o->BandAlign == 2 && o->Left > Left && (!rightOf || o->Left < rightOf->Left)) rightOf = o.get();
    }
    TRMView* band = FindBand();
    auto acrossWidth = [&] {
        auto* b = static_cast<TRMBandView*>(band);
        if (b && b->BandType() >= bkCrossHeader && b->BandType() <= bkCrossFooter) {
            Left = b->Left;
            Width = b->Width;
        } else {
            Left = L;
            Width = R - L;
        }
    };
    auto toBandTop = [&] {
        if (band) Top = band->Top;
    };
    auto acrossHeight = [&] {
        if (band) {
            Top = band->Top;
            Height = band->Height;
        } else {
            Top = page->PrintableTop();
            Height = page->GetPrintableBottom() - Top - 1;
        }
    };
    switch (BandAlign) {
    case 1: Left = leftOf ? leftOf->Left + leftOf->Width : L; break; // the width stays what it was
    case 2: Left = rightOf ? rightOf->Left - Width - 1 : R - Width; break;
    case 3: Left = L + (R - L - Width) / 2; break;
    case 4: acrossWidth(); break;
    case 5:
        if (band) Top = band->Top + band->Height - Height;
        break;
    case 6: toBandTop(); break;
    case 7:
        toBandTop();
        acrossWidth();
        acrossHeight();
        break;
    case 8: acrossHeight(); break;
    case 9:
        Left = leftOf ? leftOf->Left + leftOf->Width : L;
        Width = rightOf ? rightOf->Left - Left - 1 : R - Left;
        break;
    default: break;
    }
}

// ---------------------------------------------------------------- memo

TRMMemoView::TRMMemoView() {
    ObjectType = rmgtMemo;
    BaseName = "Memo";
    Flags |= flHideZeros;
}

void TRMMemoView::SetPropValue(const std::string& name, const Variant& v) {
    std::string n = up(name);
    auto bit = [&](uint16_t b) { Flags = v.AsBoolean() ? (Flags | b) : (Flags & ~b); };
    auto bit2 = [&](int32_t b) { Flags2 = v.AsBoolean() ? (Flags2 | b) : (Flags2 & ~b); };
    if (SetFontProp(Font, n, v))
        return;
    else if (n == "ALIGNMENT")
        Adjust = (Adjust & ~7) | (v.AsInteger() & 7);
    else if (n == "LAYOUT")
        SetLayout(v.AsInteger());
    else if (n == "LINESPACING")
        LineSpacing = v.AsInteger();
    else if (n == "CHARSPACING")
        CharSpacing = v.AsInteger();
    else if (n == "STRETCHED")
        bit(flStretched);
    else if (n == "WORDWRAP")
        bit(flWordWrap);
    else if (n == "WORDBREAK" || n == "AUTOWIDTH") {
        // A width that follows the text, or words kept whole, leave the
        // font its size.
        bit(n == "WORDBREAK" ? flWordBreak : flAutoWidth);
        if (v.AsBoolean()) Flags2 &= ~mfScaleFontSize;
    } else if (n == "MANGETAG")
        bit2(mfMangeTag);
    else if (n == "SCALEFONTSIZE")
        bit2(mfScaleFontSize);
    else if (n == "PRINTATAPPENDBLANK")
        bit2(mfPrintAtAppendBlank);
    else if (n == "DATAFIELDONLY")
        bit2(mfDataFieldOnly);
    else if (n == "FONTSCALEWIDTH")
        FontScaleWidth = uint16_t(v.AsInteger());
    else if (n == "TEXTONLY")
        bit(flTextOnly);
    else if (n == "SUPPRESS")
        bit(flSuppress);
    else if (n == "HIDEZEROS")
        bit(flHideZeros);
    else if (n == "UNDERLINES")
        bit(flUnderlines);
    else if (n == "RTLREADING")
        bit(flRTLReading);
    else if (n == "MERGEREPEATED")
        bit(flMergeRepeated);
    else if (n == "ROTATIONTYPE")
        RotationType = uint8_t(v.AsInteger());
    else if (n == "SCALEFONTTYPE")
        ScaleFontType = uint8_t(v.AsInteger());
    else if (n == "MASTERMEMOVIEW")
        MasterMemoView = VarToStr(v);
    else if (n == "LASTVALUE")
        LastValue = VarToStr(v);
    else
        TRMView::SetPropValue(name, v);
}

Variant TRMMemoView::GetPropValue(const std::string& name) {
    std::string n = up(name);
    if (n.rfind("FONT.", 0) == 0) return GetFontProp(Font, n);
    if (n == "ALIGNMENT") return int(Adjust & 7);
    if (n == "LAYOUT") return Layout();
    if (n == "LINESPACING") return LineSpacing;
    if (n == "CHARSPACING") return CharSpacing;
    if (n == "STRETCHED") return bool(Flags & flStretched);
    if (n == "WORDWRAP") return bool(Flags & flWordWrap);
    if (n == "WORDBREAK") return bool(Flags & flWordBreak);
    if (n == "AUTOWIDTH") return bool(Flags & flAutoWidth);
    if (n == "TEXTONLY") return bool(Flags & flTextOnly);
    if (n == "SUPPRESS") return bool(Flags & flSuppress);
    if (n == "HIDEZEROS") return bool(Flags & flHideZeros);
    if (n == "UNDERLINES") return bool(Flags & flUnderlines);
    if (n == "RTLREADING") return bool(Flags & flRTLReading);
    if (n == "MERGEREPEATED") return bool(Flags & flMergeRepeated);
    if (n == "MANGETAG") return bool(Flags2 & mfMangeTag);
    if (n == "SCALEFONTSIZE") return bool(Flags2 & mfScaleFontSize);
    if (n == "PRINTATAPPENDBLANK") return bool(Flags2 & mfPrintAtAppendBlank);
    if (n == "DATAFIELDONLY") return bool(Flags2 & mfDataFieldOnly);
    if (n == "FONTSCALEWIDTH") return int(FontScaleWidth);
    if (n == "ROTATIONTYPE") return int(RotationType);
    if (n == "SCALEFONTTYPE") return int(ScaleFontType);
    if (n == "MASTERMEMOVIEW") return MasterMemoView;
    if (n == "LINES.COUNT") return int(Memo.size());
    if (n == "LINES1.COUNT") return int(Memo1.size());
    if (n == "CALCVALUE") return Memo1.empty() ? std::string() : Memo1[0];
    if (n == "LASTVALUE") return LastValue;
    if (n == "VALUECHANGED") return ValueChanged;
    return TRMView::GetPropValue(name);
}

void TRMMemoView::DefineProperties() {
    TRMView::DefineProperties();
    for (const char* p : {"Font.Name", "Font.Size", "Font.Style", "Font.Color"}) AddProperty(p, 0);
    AddProperty("Font", rmdtHasEditor);
    AddEnumProperty("Alignment", "taLeftJustify;taRightJustify;taCenter;taJustify", {0, 1, 2, 3});
    AddEnumProperty("Layout", "tlTop;tlCenter;tlBottom", {0, 1, 2});
    AddProperty("DisplayFormat", rmdtHasEditor);
    AddProperty("Highlight", rmdtHasEditor);
    for (const char* p : {"LineSpacing", "CharSpacing", "Gapx", "Gapy"}) AddProperty(p, rmdtInteger);
    for (const char* p :
         {"Stretched", "Wordwrap", "AutoWidth", "TextOnly", "Suppress", "HideZeros", "Underlines", "RTLReading",
          "WordBreak", "MangeTag", "MergeRepeated", "ScaleFontSize", "PrintAtAppendBlank", "DataFieldOnly"})
        AddProperty(p, rmdtBoolean);
    AddEnumProperty("RotationType", "rtNone;rt90;rt180;rt270;rt360");
    AddEnumProperty("ScaleFontType", "ByWidth;ByHeight");
    AddProperty("FontScaleWidth", rmdtInteger);
    AddProperty("MasterMemoView", rmdtEnum);
}

void TRMMemoView::ReadMemoFields(TStream& s) {
    const int V = RMStreamVersion;
    Font.Name = RMReadVersionedString(s);
    Font.Size = RMReadInteger(s);
    Font.Style = RMReadWord(s);
    Font.Color = TColor(RMReadInteger(s));
    Adjust = RMReadInteger(s);
    Font.Charset = RMReadWord(s);
    if (V < 23) Font.Charset = 134;
    if (!PreparedForm) {
        HighlightStyle = RMReadWord(s);
        HighlightColor = TColor(RMReadInteger(s));
        HighlightFill = TColor(RMReadInteger(s));
        HighlightStr = RMReadVersionedString(s);
    } else if (V < 29) {
        RMReadByte(s);
    }
    if (V > 23) {
        CharSpacing = RMReadInteger(s);
        LineSpacing = RMReadInteger(s);
    }
    if (ObjectVersion < 10) {
        if (Adjust & 4) RotationType = 1;
        Adjust &= ~4;
    } else {
        RotationType = RMReadByte(s);
    }
    if (ClassVersion > 9) ScaleFontType = RMReadByte(s);
    if (ClassVersion > 10) FontScaleWidth = RMReadWord(s);
    if (ClassVersion > 11) MasterMemoView = RMReadString(s);
    if (V == 21) Flags |= 0x0002;
    if (!PreparedForm) {
        if (V < 32)
            FormatCode += 3;
        else if (V == 32)
            FormatCode += 2;
    }
}

void TRMMemoView::WriteMemoFields(TStream& s) {
    RMWriteString(s, Font.Name);
    RMWriteInteger(s, Font.Size);
    RMWriteWord(s, Font.Style);
    RMWriteInteger(s, int32_t(Font.Color));
    RMWriteInteger(s, Adjust);
    RMWriteWord(s, Font.Charset);
    if (!PreparedForm) {
        RMWriteWord(s, HighlightStyle);
        RMWriteInteger(s, int32_t(HighlightColor));
        RMWriteInteger(s, int32_t(HighlightFill));
        RMWriteString(s, HighlightStr);
    }
    RMWriteInteger(s, CharSpacing);
    RMWriteInteger(s, LineSpacing);
    RMWriteByte(s, RotationType);
    RMWriteByte(s, ScaleFontType);
    RMWriteWord(s, FontScaleWidth);
    RMWriteString(s, MasterMemoView);
}

void TRMMemoView::LoadFromStream(TStream& s) {
    ReadViewRecord(s);
    ReadMemoFields(s);
}

void TRMMemoView::SaveToStream(TStream& s) {
    ObjectVersion = 10;
    ClassVersion = 12;
    WriteViewRecord(s);
    WriteMemoFields(s);
}

namespace {
// Marks that may not begin a line.
const char* const kNoLineStart[] = {"。", "，", "、", "；", "：", "？", "！", "…",  "—",  "·",  "ˉ",  "‘",  "’",  "“",
                                    "”",  "～", "∶",  "＂", "＇", "｀", "｜", "〔", "〕", "〈", "〉", "《", "》", "「",
                                    "」", "『", "』", "．", "〖", "〗", "【", "】", "（", "）", "［", "］", "｛", "｝"};
bool noLineStart(const std::string& ch) {
    for (const char* m : kNoLineStart)
        if (ch == m) return true;
    return false;
}
size_t utf8Len(uint8_t c) { return c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4; }
std::vector<std::string> utf8Chars(const std::string& s) {
    std::vector<std::string> out;
    for (size_t i = 0; i < s.size();) {
        size_t n = std::min(utf8Len(uint8_t(s[i])), s.size() - i);
        out.push_back(s.substr(i, n));
        i += n;
    }
    return out;
}

// The shared measuring canvas: 96 dpi metrics.
TCanvas* scratchCanvas() {
    static TMetafile mf;
    static TMetafileCanvas c(&mf);
    c.Clear();
    return &c;
}
} // namespace

TRMLines TRMMemoView::WrapLines(const TRMLines& text, int widthPx) {
    TCanvas* c = scratchCanvas();
    Font.ApplyTo(c->Font(), 1.0);
    TRMLines out;
    for (const std::string& para : text) {
        if (para.empty() || widthPx <= 0 || c->TextWidth(para) + CharSpacing * int(para.size()) <= widthPx) {
            out.push_back(para);
            continue;
        }
        // Units: a CJK character alone, a run of Latin characters up to and
        // including a space or hyphen.
        std::vector<std::string> units;
        for (size_t i = 0; i < para.size();) {
            size_t n = utf8Len(uint8_t(para[i]));
            if (n > 1) {
                units.push_back(para.substr(i, n));
                i += n;
                continue;
            }
            size_t j = i;
            while (j < para.size() && uint8_t(para[j]) < 0x80) {
                char ch = para[j++];
                if (ch == ' ' || ch == '-') break;
            }
            units.push_back(para.substr(i, j - i));
            i = j;
        }
        std::string line;
        for (size_t k = 0; k < units.size(); ++k) {
            std::string u = units[k];
            std::string trial = line + u;
            if (line.empty() || c->TextWidth(trial) <= widthPx) {
                if (line.empty() && c->TextWidth(u) > widthPx && u.size() > 1 && uint8_t(u[0]) < 0x80) {
                    // An over-long word is cut between characters.
                    for (char ch : u) {
                        if (!line.empty() && c->TextWidth(line + ch) > widthPx) {
                            out.push_back(line);
                            line.clear();
                        }
                        line += ch;
                    }
                    continue;
                }
                line = trial;
                continue;
            }
            // With WordBreak a no-line-start mark pulls the previous
            // character down.
            if ((Flags & flWordBreak) && noLineStart(u)) {
                size_t p = line.size();
                while (p > 0 && (uint8_t(line[p - 1]) & 0xC0) == 0x80) --p;
                if (p > 0) --p;
                std::string last = line.substr(p);
                if (p > 0 && utf8Len(uint8_t(last[0])) > 1) {
                    line.erase(p);
                    out.push_back(line);
                    line = last + u;
                    continue;
                }
            }
            while (!line.empty() && line.back() == ' ') line.pop_back();
            out.push_back(line);
            line = u == " " ? std::string() : u;
        }
        out.push_back(line);
    }
    return out;
}

int TRMMemoView::FontPixelHeight() {
    TCanvas* c = scratchCanvas();
    Font.ApplyTo(c->Font(), 1.0);
    return c->TextHeight("字Wg");
}

bool RMHasLineEnds(const TRMLines& lines) {
    for (const std::string& l : lines)
        if (l.find(RMLineEndMark) != std::string::npos) return true;
    return false;
}

TRMLines RMStripLineEnds(const TRMLines& lines) {
    TRMLines out;
    for (const std::string& l : lines) {
        std::string t = l;
        std::erase(t, RMLineEndMark);
        out.push_back(std::move(t));
    }
    bool flagOnly = !lines.empty() && lines.back() == std::string(1, RMLineEndMark);
    for (size_t i = 0; flagOnly && i + 1 < lines.size(); ++i)
        if (lines[i].find(RMLineEndMark) != std::string::npos) flagOnly = false;
    if (flagOnly) out.pop_back();
    return out;
}

TRMLines TRMMemoView::FittedLines(const TRMLines& text, bool along) {
    const int room = along ? Height - GapY * 2 : Width - GapX * 2;
    const bool scale = RMPreparedMode && (Flags2 & mfScaleFontSize);
    const bool prewrapped = RMHasLineEnds(text);
    if (scale && ScaleFontType == 0 && room > 9 && !prewrapped) {
        // Each line makes the font smaller until it fits the width.
        TCanvas* c = scratchCanvas();
        for (const std::string& line : text)
            for (;;) {
                Font.ApplyTo(c->Font(), 1.0);
                if (Font.Size <= 1 || c->TextWidth(line) + CharSpacing * int(utf8Chars(line).size()) <= room) break;
                --Font.Size;
            }
    }
    TRMLines pieces;
    if ((Flags2 & mfMangeTag) && !prewrapped) {
        // A grave accent ends a line.
        for (const std::string& line : text)
            for (size_t from = 0;;) {
                size_t g = line.find('`', from);
                pieces.push_back(line.substr(from, g == std::string::npos ? std::string::npos : g - from));
                if (g == std::string::npos) break;
                from = g + 1;
            }
    }
    const TRMLines& source = (Flags2 & mfMangeTag) ? pieces : text;
    const bool wrap = (Flags & flWordWrap) && !prewrapped;
    TRMLines lines = prewrapped ? RMStripLineEnds(text) : wrap ? WrapLines(source, room) : source;
    if (scale && ScaleFontType == 1) {
        // The lines make the font smaller until they fit the height.
        auto height = [&] { return int(lines.size()) * (FontPixelHeight() + LineSpacing) - LineSpacing; };
        while (height() > std::abs(Height - 2 * GapY) && Font.Size > 5) {
            --Font.Size;
            if (wrap) lines = WrapLines(source, room);
        }
    }
    return lines;
}

TRMLines TRMMemoView::PrewrapLines(const TRMLines& text) {
    if (RMHasLineEnds(text)) return text;
    const bool along = RotationType >= 1 && RotationType <= 3;
    const int size = Font.Size;
    const uint16_t flags2 = Flags2;
    // The font is measured as designed: the page keeps its own size.
    Flags2 &= ~mfScaleFontSize;
    TRMLines lines = FittedLines(text, along);
    Flags2 = flags2;
    Font.Size = size;
    for (std::string& l : lines) l += RMLineEndMark;
    return lines;
}

int TRMMemoView::CalcHeight() {
    const int size = Font.Size;
    TRMLines lines = FittedLines(Memo1, false);
    int lh = FontPixelHeight() + LineSpacing;
    Font.Size = size;
    int n = std::max<int>(1, int(lines.size()));
    return n * lh - LineSpacing + GapY * 2 + 2;
}

int TRMMemoView::LinesFitting(int height) {
    TCanvas* c = scratchCanvas();
    Font.ApplyTo(c->Font(), 1.0);
    int lh = c->TextHeight("字Wg") + LineSpacing;
    return lh > 0 ? std::max(0, (height - GapY * 2 - 2 + LineSpacing) / lh) : 0;
}

std::vector<TRMMemoView::MarkedChar> TRMMemoView::MarkedChars(const std::string& line) const {
    std::vector<MarkedChar> out;
    bool small = false, low = false;
    const bool marks = Flags2 & mfMangeTag;
    for (auto& ch : utf8Chars(line)) {
        if (marks && (ch == "~" || ch == "_")) {
            small = true;
            low = ch == "_";
        } else if (marks && ch == "|") {
            small = low = false;
        } else {
            out.push_back({ch, small, low});
        }
    }
    return out;
}

int TRMMemoView::ApplyMarkedSize(TCanvas* c, const MarkedChar& ch, int orientation) const {
    TRMFont f = Font;
    if (ch.Small) f.Size = std::max(6, Font.Size / 2);
    f.ApplyTo(c->Font(), ScaleY);
    c->Font()->SetOrientation(orientation);
    return ch.Low ? int(std::lround((Font.Size / 2.0 + 2) * ScaleY)) : 0;
}

void TRMMemoView::ShowMarkedLines(const TRMLines& lines, double y, double lineStep) {
    // "~" starts raised small characters, "_" lowered ones, "|" goes back
    // to the full size; the marks themselves take no room.
    TCanvas* c = Canvas;
    const int extra = int(std::lround(CharSpacing * ScaleX));
    const int smallSize = std::max(6, Font.Size / 2);
    const int drop = int(std::lround((Font.Size / 2.0 + 2) * ScaleY));
    auto setSize = [&](int size) {
        TRMFont f = Font;
        f.Size = size;
        f.ApplyTo(c->Font(), ScaleY);
    };
    auto walk = [&](const std::string& line, const std::function<void(const std::string&, bool, bool)>& each) {
        for (const MarkedChar& ch : MarkedChars(line)) each(ch.Ch, ch.Small, ch.Low);
    };
    for (const std::string& line : lines) {
        int w = 0, n = 0;
        walk(line, [&](const std::string& ch, bool small, bool) {
            setSize(small ? smallSize : Font.Size);
            w += c->TextWidth(ch) + extra;
            ++n;
        });
        // A justified line spreads its room between the characters the
        // marks leave.
        int spread = 0;
        if (Alignment() == 3 && n > 1)
            spread = std::max(0, (DrawRect.Width() - int(GapX * 2 * ScaleX) - w) / (n - 1));
        int x = DrawRect.Left + int(std::lround(GapX * ScaleX));
        const int L = int(std::lround(Left * ScaleX)) + OffsetX, W = int(std::lround(Width * ScaleX));
        const int gx = int(std::lround(GapX * ScaleX));
        if (Alignment() == 1)
            x = L + W - gx - w - 1;
        else if (Alignment() == 2)
            x = L + gx + (W - 2 * gx - w) / 2;
        const int top = int(std::lround(y));
        walk(line, [&](const std::string& ch, bool small, bool low) {
            setSize(small ? smallSize : Font.Size);
            c->TextOut(x, top + (low ? drop : 0), ch);
            x += c->TextWidth(ch) + extra + spread;
        });
        setSize(Font.Size);
        y += lineStep;
    }
}

void TRMMemoView::ShowUnderlines() {
    if (!(Flags & flUnderlines)) return;
    const int fh = int(std::lround(FontPixelHeight() * ScaleY));
    const int h = int(std::lround(LineSpacing * ScaleY)) + fh;
    if (h <= 0) return;
    Canvas->Pen()->SetStyle(psSolid);
    Canvas->Pen()->SetColor(TopFrame.Color);
    Canvas->Pen()->SetWidth(std::max(1, int(std::lround(TopFrame.Width * ScaleX))));
    const TRect& r = DrawRect;
    for (int i = 0, n = r.Height() / h; i < n; ++i) {
        int y = r.Top + int(std::lround(GapY * ScaleY)) + h * i + int(std::lround(2 * ScaleY)) + fh;
        Canvas->MoveTo(r.Left, y);
        Canvas->LineTo(r.Right - 1, y);
    }
}

void TRMMemoView::Draw(TCanvas* canvas) {
    if (RMPreparedMode && (Flags & flAutoWidth) && !Memo.empty()) {
        // The object takes the width of its text; a right-aligned one
        // keeps its right edge.
        int w = CalcTextWidth(Memo);
        if (Adjust & 4) {
            Height = w;
        } else {
            if (Adjust & 1) Left += Width - w;
            Width = w;
        }
    }
    const int fontSize = Font.Size;
    ScopeExit restoreSize([&] { Font.Size = fontSize; });
    BeginDraw(canvas);
    ShowBackground();
    ShowUnderlines();
    const TRMLines& text = Memo;
    if (!text.empty()) {
        // Turned text runs along the height of the object.
        bool along = RotationType >= 1 && RotationType <= 3;
        TRMLines lines = FittedLines(text, along);
        Font.ApplyTo(canvas->Font(), ScaleY);
        TCanvas* m = scratchCanvas();
        Font.ApplyTo(m->Font(), 1.0);
        int lh96 = m->TextHeight("字Wg") + LineSpacing;
        double lh = lh96 * ScaleY;
        double total = lines.size() * lh - LineSpacing * ScaleY;
        int inner = DrawRect.Height() - int(GapY * 2 * ScaleY);
        double y = DrawRect.Top + GapY * ScaleY;
        if (Layout() == 1)
            y += (inner - total) / 2;
        else if (Layout() == 2)
            y += inner - total;
        int saved = canvas->SaveDC();
        canvas->IntersectClipRect(TRect(DrawRect.Left, DrawRect.Top, DrawRect.Right + 1, DrawRect.Bottom + 1));
        canvas->Brush()->SetStyle(bsClear);
        int gx = int(GapX * ScaleX), gy = int(GapY * ScaleY);
        if (RotationType == 1 || RotationType == 3) {
            // Lines turned a quarter: rt90 reads upwards with lines from the
            // left, rt270 downwards with lines from the right; the layout
            // places the block across, the alignment along the height.
            bool up = RotationType == 1;
            canvas->Font()->SetOrientation(up ? 900 : 2700);
            double step = lh96 * ScaleX;
            int th = int(std::lround(lines.size() * step - LineSpacing * ScaleX));
            const TRect& R = DrawRect;
            double x;
            if (up)
                x = Layout() == 0 ? R.Left + gx : Layout() == 1 ? R.Left + (R.Width() - th) / 2.0 : R.Right - th - gx;
            else
                x = Layout() == 0 ? R.Right - gx : Layout() == 1 ? R.Right - (R.Width() - th) / 2.0 : R.Left + gx + th;
            const int orientation = up ? 900 : 2700;
            for (const std::string& line : lines) {
                int a = Alignment();
                // A justified line goes character by character; with MangeTag
                // its size marks are read, not drawn, and take no room.
                auto chars = MarkedChars(a == 3 ? line : std::string());
                int n = int(chars.size());
                int w = 0;
                if (a == 3) {
                    for (auto& ch : chars) {
                        ApplyMarkedSize(canvas, ch, orientation);
                        w += canvas->TextWidth(ch.Ch);
                    }
                    ApplyMarkedSize(canvas, MarkedChar{}, orientation);
                } else {
                    w = canvas->TextWidth(line);
                }
                int room = R.Height() - w - 2 * gy;
                int start;
                if (up)
                    start = a == 1 ? R.Top + gy + w : a == 2 ? R.Bottom - room / 2 : R.Bottom - gy;
                else
                    start = a == 1 ? R.Bottom - w - gy : a == 2 ? R.Top + room / 2 : R.Top + gy;
                int xi = int(std::lround(x));
                if (a == 3 && n > 1) {
                    int sp = std::max(0, room / (n - 1));
                    int pos = start;
                    for (auto& ch : chars) {
                        // A lowered character moves towards the foot of the
                        // turned glyphs.
                        int drop = ApplyMarkedSize(canvas, ch, orientation);
                        canvas->TextOut(xi + (up ? drop : -drop), pos, ch.Ch);
                        pos += (up ? -1 : 1) * (canvas->TextWidth(ch.Ch) + sp);
                    }
                    ApplyMarkedSize(canvas, MarkedChar{}, orientation);
                } else {
                    canvas->TextOut(xi, start, line);
                }
                x += up ? step : -step;
            }
            canvas->Font()->SetOrientation(0);
        } else if (RotationType == 4) {
            // Each character turned a quarter, set side by side along
            // lines that run down the object as unturned ones do.
            canvas->Font()->SetOrientation(900);
            int fh = canvas->TextHeight("字");
            double yy = y + fh;
            for (const std::string& line : lines) {
                auto chars = MarkedChars(line);
                int n = int(chars.size());
                int w = 0;
                for (auto& ch : chars) {
                    ApplyMarkedSize(canvas, ch, 900);
                    w += canvas->TextHeight(ch.Ch);
                }
                int room = DrawRect.Width() - w - 2 * gy;
                int a = Alignment();
                int cx = a == 1 ? DrawRect.Right - w - gx
                                : a == 2 ? DrawRect.Left + (DrawRect.Width() - w) / 2 : DrawRect.Left + gx;
                int sp = a == 3 && n > 1 ? std::max(0, room / (n - 1)) : 0;
                for (auto& ch : chars) {
                    int drop = ApplyMarkedSize(canvas, ch, 900);
                    canvas->TextOut(cx, int(std::lround(yy)) + drop, ch.Ch);
                    cx += canvas->TextHeight(ch.Ch) + sp;
                }
                yy += lh;
            }
            Font.ApplyTo(canvas->Font(), ScaleY);
            canvas->Font()->SetOrientation(0);
        } else if (RotationType == 2) {
            // Vertical writing: upright characters down each column, the
            // columns from right to left.
            int colW = canvas->TextHeight("字");
            int x = DrawRect.Right - int(GapX * ScaleX) - colW;
            if (Layout() == 1) x = DrawRect.Left + (DrawRect.Width() + int(lines.size()) * colW) / 2 - colW;
            for (const std::string& line : lines) {
                auto chars = MarkedChars(line);
                int H = 0;
                for (auto& ch : chars) {
                    ApplyMarkedSize(canvas, ch, 0);
                    H += canvas->TextHeight(ch.Ch);
                }
                int yy = DrawRect.Top + int(GapY * ScaleY);
                int availH = DrawRect.Height() - int(GapY * 2 * ScaleY);
                if (Alignment() == 1)
                    yy += availH - H;
                else if (Alignment() == 2)
                    yy += (availH - H) / 2;
                for (auto& ch : chars) {
                    int drop = ApplyMarkedSize(canvas, ch, 0);
                    canvas->TextOut(x + (colW - canvas->TextWidth(ch.Ch)) / 2, yy + drop, ch.Ch);
                    yy += canvas->TextHeight(ch.Ch);
                }
                x -= int(std::lround(lh));
            }
            Font.ApplyTo(canvas->Font(), ScaleY);
        } else if (Flags2 & mfMangeTag) {
            ShowMarkedLines(lines, y, lh);
        } else {
            int extra = int(std::lround(CharSpacing * ScaleX));
            for (const std::string& line : lines) {
                auto chars = utf8Chars(line);
                int n = int(chars.size());
                int w = canvas->TextWidth(line) + extra * std::max(0, n - 1);
                int x = DrawRect.Left + int(GapX * ScaleX);
                int avail = DrawRect.Width() - int(GapX * 2 * ScaleX);
                if (Alignment() == 1)
                    x += avail - w;
                else if (Alignment() == 2)
                    x += (avail - w) / 2;
                if (Alignment() == 3 || extra) {
                    // Character by character: the character spacing, and for
                    // a justified line the room spread between characters.
                    int s = 0;
                    if (Alignment() == 3 && n > 1) s = std::max(0, (avail - w) / (n - 1));
                    int cx = x;
                    for (auto& ch : chars) {
                        canvas->TextOut(cx, int(std::lround(y)), ch);
                        cx += canvas->TextWidth(ch) + extra + s;
                    }
                } else {
                    canvas->TextOut(x, int(std::lround(y)), line);
                }
                y += lh;
            }
        }
        canvas->RestoreDC(saved);
        canvas->Brush()->SetStyle(bsSolid);
    }
    ShowFrame();
}

void TRMMemoView::ExportData(TRMExportFilter* filter) {
    TRMView::ExportData(filter);
    if (Memo.empty()) return;
    const int fontSize = Font.Size;
    ScopeExit restoreSize([&] { Font.Size = fontSize; });
    const bool turned = RotationType >= 1 && RotationType <= 4;
    TRMLines lines = FittedLines(Memo, RotationType >= 1 && RotationType <= 3);
    TCanvas* c = scratchCanvas();
    Font.ApplyTo(c->Font(), 1.0);
    const int lh = c->TextHeight("字Wg") + LineSpacing;
    const int total = int(lines.size()) * lh - LineSpacing;
    const TRect R(Left, Top, Left + Width, Top + Height);
    int y = Top + GapY;
    if (Layout() == 1)
        y += (Height - 2 * GapY - total) / 2;
    else if (Layout() == 2)
        y += Height - 2 * GapY - total;
    int sides = (RightFrame.Visible ? 1 : 0) | (BottomFrame.Visible ? 2 : 0) | (LeftFrame.Visible ? 4 : 0) |
                (TopFrame.Visible ? 8 : 0);
    for (size_t i = 0; i < lines.size(); ++i) {
        int mask = turned ? 0 : sides;
        if (lines.size() > 1) mask &= i == 0 ? ~2 : i + 1 == lines.size() ? ~8 : ~10;
        int w = c->TextWidth(lines[i]);
        int x = Left + GapX;
        if (Alignment() == 1)
            x = Left + Width - GapX - w;
        else if (Alignment() == 2)
            x = Left + (Width - w) / 2;
        filter->OnText(R, x, y, lines[i], mask);
        y += lh;
    }
}

// ---------------------------------------------------------------- band

TRMBandView::TRMBandView() {
    ObjectType = rmgtBand;
    BaseName = "Band";
    Flags = bfOnFirstPage | bfOnLastPage | bfPrintColFirst;
}

void TRMBandView::SetPropValue(const std::string& name, const Variant& v) {
    std::string n = up(name);
    auto bit = [&](uint16_t b) { Flags = v.AsBoolean() ? (Flags | b) : (Flags & ~b); };
    if (n == "BANDTYPE")
        SetBandType(TRMBandKind(v.AsInteger()));
    else if (n == "DATASET" || n == "DATASOURCE" || n == "CONDITION")
        FormatText = VarToStr(v);
    else if (n == "NEWPAGECONDITION")
        Tag = VarToStr(v);
    else if (n == "CHILDBAND")
        ChildBand = VarToStr(v);
    else if (n == "MASTER")
        Master = VarToStr(v);
    else if (n == "COLUMNS")
        SetColumns(v.AsInteger());
    else if (n == "COLUMNWIDTH")
        ColumnWidth = v.AsInteger();
    else if (n == "COLUMNGAP")
        ColumnGap = v.AsInteger();
    else if (n == "NEWCOLUMNAFTER")
        NewColumnAfter = v.AsInteger();
    else if (n == "LINESPERPAGE" || n == "GROUPSPERPAGE")
        LinesPerPage = uint16_t(v.AsInteger());
    else if (n == "RANGEBEGIN")
        RangeBegin = uint8_t(v.AsInteger());
    else if (n == "RANGEEND")
        RangeEnd = uint8_t(v.AsInteger());
    else if (n == "RANGEENDCOUNT")
        RangeEndCount = v.AsInteger();
    else if (n == "STRETCHED")
        bit(bfStretched);
    else if (n == "FORMNEWPAGE")
        bit(bfFormNewPage);
    else if (n == "PRINTIFSUBSETEMPTY")
        bit(bfPrintIfSubsetEmpty);
    else if (n == "BREAKED")
        bit(bfBreaked);
    else if (n == "ONFIRSTPAGE")
        bit(bfOnFirstPage);
    else if (n == "ONLASTPAGE")
        bit(bfOnLastPage);
    else if (n == "REPEATHEADER")
        bit(bfRepeatHeader);
    else if (n == "PRINTCHILDIFINVISIBLE")
        bit(bfPrintChildIfInvisible);
    else if (n == "AUTOAPPENDBLANK")
        bit(bfAutoAppendBlank);
    else if (n == "PRINTCOLFIRST")
        bit(bfPrintColFirst);
    else if (n == "PRINTIFEMPTY")
        bit(bfPrintIfEmpty);
    else if (n == "PRINTATDESIGNPOS")
        bit(bfPrintAtDesignPos);
    else if (n == "ADJUSTCOLUMNS")
        bit(bfAdjustColumns);
    else if (n == "REPEATHEADER1") {
        // The page and column headers have no other repeat: theirs is one.
        bit(bfRepeatHeader1);
        if (BandType() == bkPageHeader || BandType() == bkColumnHeader) bit(bfRepeatHeader);
    } else {
        TRMView::SetPropValue(name, v);
        return;
    }
    if (RMPreparedMode && Parent && Parent->Report) Parent->Report->BandRunChanged(this, n);
}

Variant TRMBandView::GetPropValue(const std::string& name) {
    std::string n = up(name);
    if (n == "ROWCOUNT" || n == "ROWNO" || n == "EOF") {
        // Only a build has rows; outside one a band is at its end.
        Variant v;
        if (Parent && Parent->Report && Parent->Report->BandRunValue(this, n, v)) return v;
        return n == "EOF" ? Variant(true) : Null();
    }
    if (n == "BANDTYPE") return int(BandType());
    if (n == "DATASET" || n == "DATASOURCE" || n == "CONDITION") return FormatText;
    if (n == "NEWPAGECONDITION") return Tag;
    if (n == "CHILDBAND") return ChildBand;
    if (n == "MASTER") return Master;
    if (n == "COLUMNS") return Columns;
    if (n == "COLUMNWIDTH") return ColumnWidth;
    if (n == "COLUMNGAP") return ColumnGap;
    if (n == "LINESPERPAGE" || n == "GROUPSPERPAGE") return int(LinesPerPage);
    if (n == "STRETCHED") return bool(Flags & bfStretched);
    if (n == "FORMNEWPAGE") return bool(Flags & bfFormNewPage);
    if (n == "ONFIRSTPAGE") return bool(Flags & bfOnFirstPage);
    if (n == "ONLASTPAGE") return bool(Flags & bfOnLastPage);
    if (n == "REPEATHEADER") return bool(Flags & bfRepeatHeader);
    if (n == "REPEATHEADER1") return bool(Flags & bfRepeatHeader1);
    if (n == "PRINTCOLFIRST") return bool(Flags & bfPrintColFirst);
    if (n == "PRINTATDESIGNPOS") return bool(Flags & bfPrintAtDesignPos);
    if (n == "ADJUSTCOLUMNS") return bool(Flags & bfAdjustColumns);
    if (n == "PRINTIFEMPTY") return bool(Flags & bfPrintIfEmpty);
    if (n == "PRINTIFSUBSETEMPTY") return bool(Flags & bfPrintIfSubsetEmpty);
    if (n == "BREAKED") return bool(Flags & bfBreaked);
    if (n == "PRINTCHILDIFINVISIBLE") return bool(Flags & bfPrintChildIfInvisible);
    if (n == "AUTOAPPENDBLANK") return bool(Flags & bfAutoAppendBlank);
    if (n == "NEWCOLUMNAFTER") return NewColumnAfter;
    if (n == "RANGEBEGIN") return int(RangeBegin);
    if (n == "RANGEEND") return int(RangeEnd);
    if (n == "RANGEENDCOUNT") return RangeEndCount;
    return TRMView::GetPropValue(name);
}

Variant TRMBandView::DoMethod(const std::string& name, const std::vector<Variant>& params) {
    Variant r = TRMView::DoMethod(name, params);
    if (Parent && Parent->Report) Parent->Report->BandRunMethod(this, up(Trim(name)), params);
    return r;
}

void TRMBandView::DefineProperties() {
    TRMView::DefineProperties();
    // Each kind offers what the page builder reads of it.
    const int k = BandType();
    auto in = [k](std::initializer_list<int> kinds) { return std::find(kinds.begin(), kinds.end(), k) != kinds.end(); };
    const bool data = in({bkMasterData, bkDetailData, bkSubDetailData});
    const bool header = in({bkMasterHeader, bkDetailHeader, bkSubDetailHeader, bkGroupHeader, bkCrossHeader});
    auto flag = [this](const char* name, bool offered) {
        if (offered) AddProperty(name, rmdtBoolean);
    };
    if (k != bkPageFooter) {
        AddProperty("ChildBand", rmdtEnum);
        AddProperty("PrintChildIfInvisible", rmdtBoolean);
    }
    flag("Stretched", in({0, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 18, 21}));
    flag("FormNewPage", in({0, 1, 5, 6, 8, 9, 11, 12, 16}));
    flag("PrintIfSubsetEmpty", in({bkMasterData, bkDetailData}));
    flag("Breaked", in({0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 21}));
    flag("OnFirstPage", in({bkPageHeader, bkPageFooter}));
    flag("OnLastPage", k == bkPageFooter);
    flag("RepeatHeader", header);
    flag("RepeatHeader1", header || in({bkPageHeader, bkColumnHeader}));
    if (k == bkCrossData) AddProperty("DataSource", rmdtHasEditor, &RMEditorHooks.CrossDataSourceEditor);
    if (data) {
        AddProperty("Columns", rmdtInteger);
        AddProperty("ColumnWidth", rmdtInteger | rmdtPixels);
        AddProperty("ColumnGap", rmdtInteger | rmdtPixels);
        AddProperty("DataSource", rmdtHasEditor, &RMEditorHooks.BandDataSourceEditor);
        AddProperty("LinesPerPage", rmdtInteger);
        AddProperty("PrintColFirst", rmdtBoolean);
        AddEnumProperty("RangeBegin", "rbFirst;rbCurrent;rbDefault", {0, 1, 2});
        AddEnumProperty("RangeEnd", "reLast;reCurrent;reCount;reDefault", {0, 1, 2, 3});
        AddProperty("RangeEndCount", rmdtInteger);
        AddProperty("PrintIfEmpty", rmdtBoolean);
        AddProperty("NewPageCondition", rmdtHasEditor);
        AddProperty("PrintAtDesignPos", rmdtBoolean);
        AddProperty("AdjustColumns", rmdtBoolean);
        AddProperty("RowNo", 0);
        AddProperty("RowCount", 0);
    }
    if (k == bkGroupHeader) {
        AddProperty("Condition", rmdtString);
        AddProperty("Master", rmdtEnum);
        AddProperty("GroupsPerPage", rmdtInteger);
    }
    AddProperty("EOF", 0);
    flag("AutoAppendBlank", data);
    AddProperty("OnBeforePrint", rmdtHasEditor | rmdtOneObject);
    AddProperty("OnAfterPrint", rmdtHasEditor | rmdtOneObject);
    // A band's own lines are not edited.
    DelProperty("Memo");
}

void TRMBandView::Draw(TCanvas* canvas) {
    // Bands draw nothing of their own in built pages; in design a light
    // frame shows their extent.
    if (RMPreparedMode) return;
    BeginDraw(canvas);
    canvas->Pen()->SetStyle(psDot);
    canvas->Pen()->SetColor(clGray);
    canvas->Pen()->SetWidth(1);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(DrawRect);
    canvas->Brush()->SetStyle(bsSolid);
}

void TRMBandView::LoadFromStream(TStream& s) {
    ReadViewRecord(s);
    const int V = RMStreamVersion;
    const int Q = V * 100 + ObjectVersion * 10 + ClassVersion;
    if (V > 23) {
        ChildBand = RMReadString(s);
        ColumnGap = RMReadInteger(s);
        SetColumns(RMReadInteger(s));
        ColumnWidth = RMReadInteger(s);
    }
    if (V > 28) Master = RMReadString(s);
    if (Q > 3600) LinesPerPage = RMReadWord(s);
    if (Q < 3700) Flags |= 0x0400;
    if (Q < 3701) {
        uint16_t f = Flags;
        Flags &= ~(0x1000 | 0x2000 | 0x4000 | 0x0100 | 0x0200 | 0x0400);
        if (f & 0x1000) Flags |= 0x0100;
        if (f & 0x2000) Flags |= 0x0200;
        if (f & 0x4000) Flags |= 0x0400;
    }
    if (Q > 3701) {
        RangeBegin = RMReadByte(s);
        RangeEnd = RMReadByte(s);
        RangeEndCount = RMReadInteger(s);
    }
}

void TRMBandView::SaveToStream(TStream& s) {
    ObjectVersion = 10;
    ClassVersion = 0;
    WriteViewRecord(s);
    RMWriteString(s, ChildBand);
    RMWriteInteger(s, ColumnGap);
    RMWriteInteger(s, Columns);
    RMWriteInteger(s, ColumnWidth);
    RMWriteString(s, Master);
    RMWriteWord(s, LinesPerPage);
    RMWriteByte(s, RangeBegin);
    RMWriteByte(s, RangeEnd);
    RMWriteInteger(s, RangeEndCount);
}

// ---------------------------------------------------------------- others

TRMSubReportView::TRMSubReportView() {
    ObjectType = rmgtSubReport;
    BaseName = "SubReport";
}
void TRMSubReportView::LoadFromStream(TStream& s) {
    ReadViewRecord(s);
    SubPage = RMReadInteger(s);
}
void TRMSubReportView::SaveToStream(TStream& s) {
    ObjectVersion = 10;
    ClassVersion = 0;
    WriteViewRecord(s);
    RMWriteInteger(s, SubPage);
}

TRMPictureView::TRMPictureView() {
    ObjectType = rmgtPicture;
    BaseName = "Picture";
    Flags |= uint16_t(flStretched | uint16_t(pfKeepAspect));
    // Scripts name the kinds of picture a blob field holds.
    static const char* const kinds[] = {"btBMP", "btJPG", "btICO", "btWMF", "btGIF"};
    for (int i = 0; i < 5; ++i) RMGetConstants().SetVariable(kinds[i], i);
}

void TRMPictureView::SetPropValue(const std::string& name, const Variant& v) {
    std::string n = up(name);
    auto bit = [&](uint16_t b) { Flags = v.AsBoolean() ? (Flags | b) : (Flags & ~b); };
    if (n == "STRETCHED")
        bit(flStretched);
    else if (n == "CENTER")
        bit(pfCenter);
    else if (n == "KEEPASPECT")
        bit(pfKeepAspect);
    else if (n == "TRANSPARENT")
        bit(pfTransparent);
    else if (n == "BLOBTYPE")
        BlobType = uint8_t(v.AsInteger());
    else if (n == "DATAFIELD")
        Memo = {VarToStr(v)}; // the field the picture is read from, "[...]"
    else
        TRMView::SetPropValue(name, v);
}
Variant TRMPictureView::GetPropValue(const std::string& name) {
    std::string n = up(name);
    if (n == "STRETCHED") return Stretched();
    if (n == "CENTER") return Center();
    if (n == "KEEPASPECT") return KeepAspect();
    if (n == "TRANSPARENT") return Transparent();
    if (n == "BLOBTYPE") return int(BlobType);
    if (n == "DATAFIELD") return Memo.empty() ? std::string() : Memo[0];
    return TRMView::GetPropValue(name);
}

void TRMPictureView::DefineProperties() {
    TRMView::DefineProperties();
    AddProperty("Picture", rmdtHasEditor, &RMEditorHooks.PictureEditor);
    for (const char* p : {"Stretched", "Center", "KeepAspect"}) AddProperty(p, rmdtBoolean);
    AddProperty("DataField", rmdtString | rmdtHasEditor | rmdtOneObject, &RMEditorHooks.DataFieldEditor);
    AddEnumProperty("BlobType", "btBMP;btJPG;btICO;btWMF;btGIF");
    AddProperty("Transparent", rmdtBoolean);
    AddProperty("OnBeforePrint", rmdtHasEditor | rmdtOneObject, &RMEditorHooks.BeforePrintScriptEditor);
    AddProperty("OnAfterPrint", rmdtHasEditor | rmdtOneObject, &RMEditorHooks.AfterPrintScriptEditor);
}

Variant TRMPictureView::DoMethod(const std::string& name, const std::vector<Variant>& params) {
    if (UpperCase(Trim(name)) != "LOADFROMFILE") return TRMView::DoMethod(name, params);
    // A name that is empty or names no file leaves the picture empty.
    std::string t = params.empty() ? std::string() : VarToStr(params[0]);
    std::string file = Trim(t).empty() ? std::string()
                                       : Trim(VarToStr(Parent && Parent->Report ? Parent->Report->Calc(t) : Variant(t)));
    Picture = TRMPictureData();
    if (!file.empty() && FileExists(file)) {
        Picture.Bytes = ReadFileBytes(file);
        Picture.Kind = TRMPictureData::KindOf(Picture.Bytes);
        if (Picture.Kind == pkNone) Picture.Bytes.clear();
    }
    return Null();
}

void TRMPictureView::GetBlob(const Variant& value, bool noData) {
    Picture = TRMPictureData();
    if (noData || VarIsNull(value) || VarIsClear(value)) return;
    std::string bytes = VarToStr(value);
    if (bytes.empty()) return;
    static const std::string jfif("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10);
    uint8_t kind = TRMPictureData::KindOf(bytes);
    if (bytes.compare(0, jfif.size(), jfif) == 0) {
        kind = pkJpeg;
        BlobType = 1;
    } else if (kind == pkNone) {
        static const uint8_t byName[] = {pkBitmap, pkJpeg, pkIcon, pkMetafile};
        kind = BlobType < 4 ? byName[BlobType] : pkNone;
    }
    Picture.Kind = kind;
    Picture.Bytes = std::move(bytes);
}

void TRMPictureView::Draw(TCanvas* canvas) {
    BeginDraw(canvas);
    auto g = Picture.Decode();
    if (!g || g->Width() <= 0 || g->Height() <= 0) {
        ShowBackground();
        // Design shows where the picture goes; bytes we cannot show (a
        // Windows metafile) keep the mark in built pages too.
        if (!Picture.Empty() || !RMPreparedMode) {
            canvas->Font()->SetName("宋体");
            canvas->Font()->SetHeight(-12);
            canvas->Font()->SetColor(clBlack);
            canvas->Font()->SetStyle({});
            canvas->Brush()->SetStyle(bsClear);
            canvas->TextOut(DrawRect.Left + 20, DrawRect.Top + 3, GetDesignText());
            canvas->Brush()->SetStyle(bsSolid);
        }
        ShowFrame();
        return;
    }
    const TRect& d = DrawRect;
    TRect r = d;
    const int pw = g->Width(), ph = g->Height();
    if (Stretched()) {
        if (KeepAspect()) {
            double kx = double(d.Width()) / pw, ky = double(d.Height()) / ph;
            if (kx >= ky)
                r.Right = r.Left + int(std::lround(pw * ky));
            else
                r.Bottom = r.Top + int(std::lround(ph * kx));
            if (Center()) OffsetRect(r, (d.Width() - r.Width()) / 2, (d.Height() - r.Height()) / 2);
        }
    } else {
        // The picture in its own size, scaled as the page is.
        int w = int(std::lround(pw * ScaleX)), h = int(std::lround(ph * ScaleY));
        r = TRect(d.Left, d.Top, d.Left + w, d.Top + h);
        if (Center()) OffsetRect(r, (d.Width() - w) / 2, (d.Height() - h) / 2);
    }
    ShowBackground();
    {
        const TCopyMode mode = canvas->CopyMode();
        int saved = canvas->SaveDC();
        ScopeExit restore([&] {
            canvas->RestoreDC(saved);
            canvas->SetCopyMode(mode);
        });
        canvas->SetCopyMode(Transparent() ? cmSrcAnd : cmSrcCopy);
        canvas->IntersectClipRect(d);
        canvas->StretchDraw(r, g.get());
    }
    ShowFrame();
}

void TRMPictureView::LoadFromStream(TStream& s) {
    ReadViewRecord(s);
    Picture = RMReadPicture(s, true, &BlobType);
}
void TRMPictureView::SaveToStream(TStream& s) {
    ObjectVersion = 10;
    ClassVersion = 0;
    WriteViewRecord(s);
    RMWritePicture(s, Picture, true, BlobType);
}

TRMLineView::TRMLineView() {
    ObjectType = rmgtLine;
    BaseName = "Line";
    LeftFrame.Visible = true;
}
void TRMLineView::Draw(TCanvas* canvas) {
    // The line is the top side of a flat object or the left side of a
    // narrow one, and the object takes that shape.
    const bool horizontal = Height < Width;
    if (horizontal)
        Height = 0;
    else
        Width = 0;
    TopFrame.Visible = horizontal;
    LeftFrame.Visible = !horizontal;
    RightFrame.Visible = BottomFrame.Visible = false;
    BeginDraw(canvas);
    ShowFrame();
}
void TRMLineView::LoadFromStream(TStream& s) { ReadViewRecord(s); }
void TRMLineView::SaveToStream(TStream& s) {
    ObjectVersion = 10;
    WriteViewRecord(s);
}

TRMCalcMemoView::TRMCalcMemoView() {
    ObjectType = rmgtCalcMemo;
    BaseName = "CalcMemo";
    // Scripts name the kinds of total.
    static const char* const kinds[] = {"rmdcSum", "rmdcCount", "rmdcAvg", "rmdcMax", "rmdcMin", "rmdcUser"};
    for (int i = 0; i < 6; ++i) RMGetConstants().SetVariable(kinds[i], i);
}
void TRMCalcMemoView::SetPropValue(const std::string& name, const Variant& v) {
    std::string n = up(name);
    auto bit = [&](uint16_t b, bool on) { Flags = on ? (Flags | b) : (Flags & ~b); };
    if (n == "DBCALCTYPE")
        DBCalcType = uint8_t(std::clamp(v.AsInteger(), 0, 5));
    else if (n == "DATABAND")
        DataBand = VarToStr(v);
    else if (n == "RESETAFTERPRINT")
        ResetAfterPrint = !TotalCalc() && v.AsBoolean(); // a grand total never restarts
    else if (n == "FILTER")
        Filter = VarToStr(v);
    else if (n == "TOTALCALC") {
        bit(0x2000, v.AsBoolean());
        if (v.AsBoolean()) ResetAfterPrint = 0;
    } else if (n == "CALCNOVISIBLE")
        bit(0x4000, v.AsBoolean());
    else if (n == "INTALIZEVALUE")
        IntalizeValue = VarToStr(v);
    else if (n == "AGGREGATEVALUE")
        AggregateValue = VarToStr(v);
    else if (n == "OUTBIGNUM")
        Flags2 = v.AsBoolean() ? (Flags2 | 0x08) : (Flags2 & ~0x08);
    else if (n == "CALCVALUE") {
        // Only while the final (or only) pass builds.
        if (RMPreparedMode && (!Parent || !Parent->Report || Parent->Report->FinalPass)) CalcValue = RMToNumber(v);
    } else if (n == "COUNT" || n == "CALCTYPE" || n == "STRETCHED" || n == "WORDWRAP" || n == "AUTOWIDTH" ||
               n == "MASTERMEMOVIEW") {
        // Read-only, or not a property of a total.
    } else
        TRMMemoView::SetPropValue(name, v);
}

Variant TRMCalcMemoView::GetPropValue(const std::string& name) {
    std::string n = up(name);
    if (n == "DBCALCTYPE") return int(DBCalcType);
    if (n == "DATABAND") return DataBand;
    if (n == "RESETAFTERPRINT") return bool(ResetAfterPrint);
    if (n == "FILTER") return Filter;
    if (n == "TOTALCALC") return TotalCalc();
    if (n == "CALCNOVISIBLE") return CalcNoVisible();
    if (n == "COUNT") return AvgCount;
    if (n == "INTALIZEVALUE") return IntalizeValue;
    if (n == "AGGREGATEVALUE") return AggregateValue;
    if (n == "OUTBIGNUM") return OutBigNum();
    if (n == "CALCVALUE") return GetValue();
    if (n == "CALCTYPE") return std::string("(CalcType)");
    if (n == "STRETCHED" || n == "WORDWRAP" || n == "AUTOWIDTH" || n == "MASTERMEMOVIEW") return Null();
    return TRMMemoView::GetPropValue(name);
}

void TRMCalcMemoView::DefineProperties() {
    TRMMemoView::DefineProperties();
    for (const char* p : {"Stretched", "Wordwrap", "AutoWidth", "MasterMemoView"}) DelProperty(p);
    AddEnumProperty("DBCalcType", "rmdcSum;rmdcCount;rmdcAvg;rmdcMax;rmdcMin;rmdcUser", {0, 1, 2, 3, 4, 5});
    AddProperty("DataBand", rmdtEnum);
    AddProperty("CalcType", rmdtHasEditor, &RMEditorHooks.CalcMemoEditor);
    AddProperty("ResetAfterPrint", rmdtBoolean);
    AddProperty("Filter", rmdtString);
    AddProperty("TotalCalc", rmdtBoolean);
    AddProperty("CalcNoVisible", rmdtBoolean);
    AddProperty("Count", rmdtInteger);
    AddProperty("IntalizeValue", rmdtString);
    AddProperty("AggregateValue", rmdtString);
    AddProperty("OutBigNum", rmdtBoolean);
    AddProperty("CalcValue", rmdtFloat);
}

Variant TRMCalcMemoView::DoMethod(const std::string& name, const std::vector<Variant>& params) {
    if (up(name) == "RESET") {
        Reset();
        return Null();
    }
    return TRMMemoView::DoMethod(name, params);
}

void TRMCalcMemoView::LoadFromStream(TStream& s) {
    TRMMemoView::LoadFromStream(s);
    const int Q = RMStreamVersion * 100 + ObjectVersion * 10 + ClassVersion;
    if (ClassVersion > 10) RMReadByte(s);
    ResetAfterPrint = RMReadByte(s);
    DBCalcType = RMReadByte(s);
    DataBand = RMReadString(s);
    Filter = Q > 3420 ? RMReadString(s) : std::string();
    if (Q <= 3800) Flags |= 0x4000;
    if (Q > 4000) {
        IntalizeValue = RMReadString(s);
        AggregateValue = RMReadString(s);
    }
}
void TRMCalcMemoView::SaveToStream(TStream& s) {
    TRMMemoView::SaveToStream(s);
    RMWriteByte(s, 1);
    RMWriteByte(s, ResetAfterPrint);
    RMWriteByte(s, DBCalcType);
    RMWriteString(s, DataBand);
    RMWriteString(s, Trim(Filter));
    RMWriteString(s, IntalizeValue);
    RMWriteString(s, AggregateValue);
}

// ---------------------------------------------------------------- money view

TRMMoneyView::TRMMoneyView() {
    ObjectType = rmgtMoney;
    BaseName = "MoneyMemo";
}

void TRMMoneyView::LoadFromStream(TStream& s) {
    TRMMemoView::LoadFromStream(s);
    DecimalLineColor = TColor(RMReadInteger(s));
    ThousandsLineColor = TColor(RMReadInteger(s));
    LineColor = TColor(RMReadInteger(s));
    ShowTitle = RMReadBoolean(s);
    LineWidth = RMReadInteger(s);
    Digits = RMReadInteger(s);
    Decimals = RMReadInteger(s);
    CurrencySymbol = RMReadString(s);
}

void TRMMoneyView::SaveToStream(TStream& s) {
    TRMMemoView::SaveToStream(s);
    RMWriteInteger(s, int32_t(DecimalLineColor));
    RMWriteInteger(s, int32_t(ThousandsLineColor));
    RMWriteInteger(s, int32_t(LineColor));
    RMWriteBoolean(s, ShowTitle);
    RMWriteInteger(s, LineWidth);
    RMWriteInteger(s, Digits);
    RMWriteInteger(s, Decimals);
    RMWriteString(s, CurrencySymbol);
}

void TRMMoneyView::DefineProperties() {
    TRMMemoView::DefineProperties();
    AddProperty(" 标题", rmdtBoolean);
    AddProperty(" 货币符号", rmdtString);
    for (const char* p : {" 数字位数", " 小数点位数", " 分割线宽度"}) AddProperty(p, rmdtInteger);
    for (const char* p : {" 分割线颜色", " 千位分割线颜色", " 小数点分割线颜色"}) AddProperty(p, rmdtColor);
}

void TRMMoneyView::SetPropValue(const std::string& name, const Variant& v) {
    std::string n = up(name);
    if (n == " 标题")
        ShowTitle = v.AsBoolean();
    else if (n == " 货币符号")
        CurrencySymbol = v.AsString();
    else if (n == " 数字位数")
        Digits = v.AsInteger();
    else if (n == " 小数点位数")
        Decimals = v.AsInteger();
    else if (n == " 分割线宽度")
        LineWidth = v.AsInteger();
    else if (n == " 分割线颜色")
        LineColor = TColor(v.AsInteger());
    else if (n == " 千位分割线颜色")
        ThousandsLineColor = TColor(v.AsInteger());
    else if (n == " 小数点分割线颜色")
        DecimalLineColor = TColor(v.AsInteger());
    else
        TRMMemoView::SetPropValue(name, v);
}

Variant TRMMoneyView::GetPropValue(const std::string& name) {
    std::string n = up(name);
    if (n == " 标题") return ShowTitle;
    if (n == " 货币符号") return CurrencySymbol;
    if (n == " 数字位数") return Digits;
    if (n == " 小数点位数") return Decimals;
    if (n == " 分割线宽度") return LineWidth;
    if (n == " 分割线颜色") return int(LineColor);
    if (n == " 千位分割线颜色") return int(ThousandsLineColor);
    if (n == " 小数点分割线颜色") return int(DecimalLineColor);
    return TRMMemoView::GetPropValue(name);
}

TColor TRMMoneyView::SeparatorColor(int i) const {
    if (i == Digits - Decimals) return DecimalLineColor;
    return (Digits - Decimals - i) % 3 != 0 ? LineColor : ThousandsLineColor;
}

std::vector<std::string> TRMMoneyView::AmountCells(const std::string& text0, int& firstCell) const {
    const int D = std::max(1, Digits), P = std::clamp(Decimals, 0, D);
    std::string t = Trim(text0);
    if (P == 0) {
        // The whole-number part, cut towards zero.
        double d = RMStrToFloat(t);
        t = std::to_string(int64_t(std::trunc(d)));
    }
    t = Trim(t);
    size_t dot = t.find('.');
    if (dot != std::string::npos && t.size() > dot + 1 + size_t(P)) t.resize(dot + 1 + size_t(P));
    if (dot == std::string::npos && P > 0)
        t += "." + std::string(size_t(P), '0');
    else if (dot != std::string::npos)
        while (int(t.size() - dot - 1) < P) t += '0';
    int L = int(t.size());
    bool symbol = !CurrencySymbol.empty();
    if ((symbol && L - 1 >= D) || (!symbol && L - 1 > D))
        t = std::string(size_t(std::max(0, D - P - (symbol ? 1 : 0))), '*') + "." + std::string(size_t(P), '*');
    L = int(t.size());
    if (P > 0 && L - P - 1 >= 0) t.erase(size_t(L - P - 1), 1);
    firstCell = P > 0 ? D - L : D - L - 1;
    std::vector<std::string> cells;
    if (symbol) cells.push_back(CurrencySymbol);
    for (char c : t) cells.push_back(std::string(1, c));
    if (!symbol) ++firstCell;
    return cells;
}

void TRMMoneyView::Draw(TCanvas* canvas) {
    BeginDraw(canvas);
    ShowBackground();
    // A money view with no cells would divide by zero: it shows as a frame.
    const int D = Digits, P = Decimals, LW = std::max(0, LineWidth);
    TRect r = DrawRect;
    if (D >= 1) {
        int W = r.Width();
        CellWidth = (W - (D - 1) * LW) / D;
        CellRest = W - (D - 1) * LW - CellWidth * D;
        auto x = [&](int i) { return r.Left + CellRest + i * (CellWidth + LW); };
        auto lines = [&] {
            for (int i = 1; i < D; ++i) {
                canvas->Pen()->SetColor(SeparatorColor(i));
                canvas->Pen()->SetWidth(std::max(1, LW));
                canvas->MoveTo(x(i) - LW, r.Top);
                canvas->LineTo(x(i) - LW, r.Bottom);
            }
            canvas->Pen()->SetWidth(1);
        };
        lines();
        Font.ApplyTo(canvas->Font(), ScaleY);
        canvas->Brush()->SetStyle(bsClear);
        auto cellText = [&](int cell, const std::string& t) {
            int dx = (CellWidth - canvas->TextWidth(t)) / 2, dy = (r.Height() - canvas->TextHeight(t)) / 2 + 1;
            canvas->TextOut(x(cell) + dx, r.Top + dy, t);
        };
        if (ShowTitle) {
            int N = D - P;
            if (D < 20 && P <= 5 && P >= 0)
                for (int g = 0; g < D; ++g) {
                    // Captions past the unit lists stay blank.
                    size_t k = g < N ? size_t(N - g - 1) : size_t(g - N);
                    const auto& list = g < N ? IntegerUnits : DecimalUnits;
                    if (k < list.size()) cellText(g, list[k]);
                }
        } else {
            std::string text;
            for (auto& l : Memo) text += l;
            if (!Trim(text).empty()) {
                int first = 0;
                auto cells = AmountCells(text, first);
                for (size_t i = 0; i < cells.size(); ++i) {
                    int cell = first + int(i);
                    if (cell >= 0 && cell < D) cellText(cell, cells[i]);
                }
            }
        }
        canvas->Brush()->SetStyle(bsSolid);
        lines();
    }
    ShowFrame();
}

TRMRegionView::TRMRegionView() {
    ObjectType = rmgtRegion;
    BaseName = "Region";
    Visible = false;
    IsRegion = 1;
}

void TRMRegionView::DefineProperties() {
    TRMView::DefineProperties();
    for (const char* p : {"BandAlign", "FillColor", "FrameWidth", "FrameTyp", "FrameStyle", "FrameColor", "PrintVisible"})
        DelProperty(p);
}

void TRMRegionView::MoveContents(TRMPage* page, int dx, int dy) {
    if (!page) return;
    bool after = false;
    for (auto& o : page->Objects) {
        if (o.get() == this) {
            after = true;
            continue;
        }
        if (!after) {
            o->InRegion = 0;
            continue;
        }
        if (o->Left >= Left && o->Top >= Top && o->Left + o->Width <= Left + Width &&
            o->Top + o->Height <= Top + Height) {
            o->InRegion = 1;
            o->Left += dx;
            o->Top += dy;
        }
    }
}
void TRMRegionView::LoadFromStream(TStream& s) { ReadViewRecord(s); }
void TRMRegionView::SaveToStream(TStream& s) {
    ObjectVersion = 10;
    WriteViewRecord(s);
}

// ---------------------------------------------------------------- registry

namespace {
std::vector<TRMAddInObjectInfo>* addIns = nullptr;
}

void RMRegisterObjectByRes(const std::string& className, TRMViewFactory create, const std::string& bitmapName,
                           const std::string& hint, TRMObjEditorClass editorClass, bool isControl) {
    if (!addIns) addIns = new std::vector<TRMAddInObjectInfo>;
    for (auto& a : *addIns)
        if (SameText(a.ClassName, className)) return;
    addIns->push_back({className, std::move(create), bitmapName, hint, isControl, std::move(editorClass)});
}

int RMGetAddInCount() { return addIns ? int(addIns->size()) : -1; }
const TRMAddInObjectInfo* RMGetAddIn(int i) {
    return addIns && i >= 0 && i < int(addIns->size()) ? &(*addIns)[size_t(i)] : nullptr;
}

void RMRegisterBuiltInAddIns(); // RM_BarCodeView.cpp

std::unique_ptr<TRMView> RMCreateObject(uint8_t type, const std::string& className) {
    std::unique_ptr<TRMView> v;
    switch (type) {
    case rmgtMemo: v = std::make_unique<TRMMemoView>(); break;
    case rmgtPicture: v = std::make_unique<TRMPictureView>(); break;
    case rmgtBand: v = std::make_unique<TRMBandView>(); break;
    case rmgtSubReport: v = std::make_unique<TRMSubReportView>(); break;
    case rmgtLine: v = std::make_unique<TRMLineView>(); break;
    case rmgtCalcMemo: v = std::make_unique<TRMCalcMemoView>(); break;
    case rmgtMoney: v = std::make_unique<TRMMoneyView>(); break;
    case rmgtRegion: v = std::make_unique<TRMRegionView>(); break;
    case rmgtAddIn: {
        RMRegisterBuiltInAddIns();
        if (addIns)
            for (auto& a : *addIns)
                if (SameText(a.ClassName, className)) {
                    v = a.Create();
                    break;
                }
        if (!v) throw EClassNotFound(className);
        break;
    }
    default: throw EClassNotFound("Object type " + std::to_string(type));
    }
    return v;
}

// ---------------------------------------------------------------- script methods

bool RMDoStringsMethod(TRMLines& list, const std::string& method, Variant& result, const std::vector<Variant>& params,
                       const std::string& propName, const std::function<Variant(const std::string&)>& calc) {
    auto text = [&](size_t i) { return i < params.size() ? VarToStr(params[i]) : std::string(); };
    auto value = [&](size_t i) { return calc(text(i)); };
    std::string m = UpperCase(method);
    if ((m == "SETINDEXPROPERTY" || m == "GETINDEXPROPERTY") && SameText(Trim(text(0)), propName)) {
        int line = int(RMToNumber(value(1)));
        if (m == "SETINDEXPROPERTY") {
            if (line >= 0 && line < int(list.size()))
                list[size_t(line)] = VarToStr(value(2));
            else if (line == int(list.size()))
                list.push_back(VarToStr(value(2)));
            result = Null();
        } else {
            result = line >= 0 && line < int(list.size()) ? Variant(list[size_t(line)]) : Variant(std::string());
        }
        return true;
    }
    if (m == propName + ".ADD") {
        list.push_back(VarToStr(value(0)));
        result = Null();
        return true;
    }
    if (m == propName + ".CLEAR") {
        list.clear();
        result = Null();
        return true;
    }
    if (m == propName + ".DELETE") {
        int line = int(RMToNumber(value(0)));
        if (line >= 0 && line < int(list.size())) list.erase(list.begin() + line);
        result = Null();
        return true;
    }
    if (m == propName + ".INDEXOF") {
        std::string t = VarToStr(value(0));
        auto it = std::find(list.begin(), list.end(), t);
        result = it == list.end() ? -1 : int(it - list.begin());
        return true;
    }
    return false;
}

Variant TRMView::DoMethod(const std::string& name, const std::vector<Variant>& params) {
    Variant r = TRMObject::DoMethod(name, params);
    auto calc = [this](const std::string& e) -> Variant {
        if (Parent && Parent->Report) return Parent->Report->Calc(e);
        return e;
    };
    if (VarIsNull(r) && RMDoStringsMethod(Memo, name, r, params, "MEMO", calc)) return r;
    std::string n = UpperCase(Trim(name));
    if (n == "HIDE") SetPropValue("Visible", false);
    if (n == "SHOW") SetPropValue("Visible", true);
    return r;
}

int TRMMemoView::CalcTextWidth(const TRMLines& lines) {
    TCanvas* c = scratchCanvas();
    Font.ApplyTo(c->Font(), 1.0);
    // One measure of the lines joined, as a single line would print (the
    // line ends take no room).
    std::string t;
    for (auto& l : RMStripLineEnds(lines)) t += l;
    int count = 0;
    for (size_t i = 0; i < t.size(); i += RMUtf8CharLen(uint8_t(t[i]))) ++count;
    int w = t.empty() ? 0 : c->TextWidth(t) + CharSpacing * count;
    return int(std::lround(w + 2 * GapX + LeftFrame.Width / 2 + RightFrame.Width / 2 + 1 - CharSpacing));
}
