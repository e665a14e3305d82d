// The report object model: every element of a design is a TRMObject whose
// properties read and write by name; everything placed on a page is a
// TRMView (text, picture, line, band, sub-report, total, add-in). Pages hold
// views; the report (RM_Report.h) holds pages. Geometry is in screen pixels
// at 96 per inch; paper and margins in thousandths of a millimetre.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Graphics.h"
#include "Variants.h"
#include "report/io/RM_Stream.h"

class TRMReport;
class TRMPage;
class TRMView;
class TRMBand;
class TPopupMenu;
struct TRMFont;

// Object type bytes of the stream.
enum : uint8_t {
    rmgtMemo = 0,
    rmgtPicture = 1,
    rmgtBand = 2,
    rmgtSubReport = 3,
    rmgtLine = 4,
    rmgtCalcMemo = 5,
    rmgtMoney = 7,
    rmgtRegion = 8,
    rmgtAddIn = 10,
};

// Property kinds of the inspector.
enum : uint16_t {
    rmdtString = 1,
    rmdtInteger = 2,
    rmdtFloat = 4,
    rmdtBoolean = 8,
    rmdtColor = 16,
    rmdtEnum = 32,
    rmdtHasEditor = 64,
    rmdtPixels = 128,
    rmdtOneObject = 256,
};

// The designer's editors as objects open them from property editors and
// popup items. Empty until the designer installs its own; calling an
// empty hook does nothing. The object is the one to edit (null: the
// designer's current or top selected object).
using TRMEditorHook = std::function<void(TRMView*)>;
struct TRMEditorHooksRec {
    TRMEditorHook FrameEditor, MemoEditor, PictureEditor, PagePictureEditor, TagEditor, RestrictionsEditor,
        HighlightEditor, DataFieldEditor, BandDataSourceEditor, CrossDataSourceEditor, GroupEditor, FontEditor,
        CalcMemoEditor, BeforePrintScriptEditor, AfterPrintScriptEditor;
    static void Call(const TRMEditorHook* h, TRMView* v = nullptr) {
        if (h && *h) (*h)(v);
    }
};
extern TRMEditorHooksRec RMEditorHooks;

struct TRMPropRec {
    std::string Name;
    uint16_t PropType = 0;
    std::vector<std::string> Enums;
    std::vector<Variant> EnumValues; // empty: the positions 0, 1, 2...
    // The hook a property with an editor opens (null: none).
    const TRMEditorHook* Editor = nullptr;
};

constexpr TColor clTransparentRM = TColor(0x1FFFFFFF);

// View flags of the base.
enum : uint16_t {
    flStretched = 0x0001,
    flWordWrap = 0x0002,
    flWordBreak = 0x0004,
    flAutoWidth = 0x0008,
    flTextOnly = 0x0010,
    flSuppress = 0x0020,
    flHideZeros = 0x0040,
    flUnderlines = 0x0080,
    flHasLinked = 0x0100,
    flRTLReading = 0x0200,
    flPrintFrame = 0x0400,
    flPrintVisible = 0x0800,
    flMergeRepeated = 0x1000,
    flWatcher = 0x8000,
};

class TRMObject {
public:
    virtual ~TRMObject();
    // Names compare case-insensitively; an unknown name reads Null and
    // writes nothing.
    virtual void SetPropValue(const std::string& name, const Variant& value) {}
    virtual Variant GetPropValue(const std::string& name) { return Null(); }
    virtual Variant DoMethod(const std::string& name, const std::vector<Variant>& params) { return Null(); }
    virtual void DefineProperties() {}

    // A property with an editor is bound to the hook of its name.
    void AddProperty(const std::string& name, uint16_t type);
    void AddProperty(const std::string& name, uint16_t type, const TRMEditorHook* editor);
    void AddEnumProperty(const std::string& name, const std::string& namesText, std::vector<Variant> values = {});
    void DelProperty(const std::string& name);
    void ClearProperties() { props_.clear(); }
    const TRMPropRec* FindProperty(const std::string& name) const;
    const std::vector<TRMPropRec>& Properties() const { return props_; }
    // The property list, made by DefineProperties when it is empty.
    void EnsureProperties() {
        if (props_.empty()) DefineProperties();
    }

    // "FONT.NAME", "FONT.SIZE", "FONT.STYLE" (the stored style number),
    // "FONT.COLOR" of a font, the name upper-cased by the caller. False
    // (and Null) for any other name.
    static bool SetFontProp(TRMFont& font, const std::string& name, const Variant& value);
    static Variant GetFontProp(const TRMFont& font, const std::string& name);

protected:
    std::vector<TRMPropRec> props_;
};

struct TRMFrameLine {
    bool Visible = false;
    uint8_t Style = 0; // pen style in the low bits; 0x10 double line
    TColor Color = clBlack;
    double Width = 1.0;
    friend bool operator==(const TRMFrameLine&, const TRMFrameLine&) = default;
};

// The memo's font as stored: style bits 1 italic, 2 bold, 4 underline,
// 8 strike-out.
struct TRMFont {
    std::string Name = "Arial";
    int Size = 10;
    uint16_t Style = 0;
    TColor Color = clBlack;
    uint16_t Charset = 134;
    friend bool operator==(const TRMFont&, const TRMFont&) = default;
    // Applies to a canvas whose pixels are scale times the 96 dpi ones.
    void ApplyTo(TFont* f, double scale) const;
};
uint16_t RMFontStyleToInt(TFontStyles s);
TFontStyles RMIntToFontStyle(uint16_t v);

// Script methods on a text list property called propName ("MEMO"):
// SETINDEXPROPERTY / GETINDEXPROPERTY (p0 the property, p1 the line, p2 the
// text) and propName + ".ADD" / ".CLEAR" / ".DELETE" / ".INDEXOF"; calc
// evaluates an argument. False when the method is none of these.
bool RMDoStringsMethod(TRMLines& list, const std::string& method, Variant& result, const std::vector<Variant>& params,
                       const std::string& propName, const std::function<Variant(const std::string&)>& calc);

// The lines of a text, broken at its line breaks (CR LF or LF), appended
// to list; an empty text is one empty line.
void RMAddTextLines(TRMLines& list, const std::string& text);

// A built page keeps a wrapped memo's lines as they were measured, each
// ending in this mark, so that every device draws the lines the page was
// built with instead of wrapping them again.
inline constexpr char RMLineEndMark = '\x01';
// Whether any line carries the mark (the lines are prewrapped).
bool RMHasLineEnds(const TRMLines& lines);
// The lines without their marks. A last line that is the mark alone while no
// other line carries one only flags the lines as prewrapped: it is dropped.
TRMLines RMStripLineEnds(const TRMLines& lines);

// Display formats: bits 24-27 kind, 16-23 sub-kind, 8-15 decimals, 0-7 the
// decimal separator.
enum TRMFormatKind { fkText = 0, fkNumber = 1, fkDate = 2, fkTime = 3, fkBoolean = 4 };
std::string RMFormatValue(const Variant& v, int formatCode, const std::string& formatText);
// " #N0.00" at the end of an expression: cuts it off and returns the code
// (and the custom text); false when there is none.
bool RMSplitFormatSuffix(std::string& expr, int& code, std::string& text);

extern uint32_t RMObjectIDCounter;
// True while a report is built or its built pages are shown.
extern bool RMPreparedMode;
// Set while a print job prints "visible" objects only (the print dialog's
// "不打印背景图"): backgrounds, objects without PrintVisible and frames
// without PrintFrame stay off the paper.
extern bool RMPrintVisibleJob;

// The memo's options in Flags2.
enum : int32_t {
    mfMangeTag = 0x01,
    mfScaleFontSize = 0x04,
    mfPrintAtAppendBlank = 0x10,
    mfDataFieldOnly = 0x20,
};

class TRMView : public TRMObject {
public:
    TRMView();
    ~TRMView() override;
    virtual std::string ClassName() const { return "TRMView"; }
    // Script methods: "HIDE", "SHOW" and the text's methods ("MEMO.ADD",
    // "MEMO.CLEAR", "MEMO.DELETE", "MEMO.INDEXOF", SET/GETINDEXPROPERTY).
    // The arguments arrive as written; a method evaluates those it needs.
    Variant DoMethod(const std::string& name, const std::vector<Variant>& params) override;

    std::string Name;
    std::string BaseName = "View";
    uint8_t ObjectType = rmgtAddIn;
    uint8_t ObjectVersion = 0;
    uint8_t ClassVersion = 0;
    uint32_t ID = 0;
    bool Selected = false;
    bool IsPrinting = false;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    uint16_t Flags = 0x0C00;
    int32_t Flags2 = 0;
    TRMFrameLine LeftFrame, TopFrame, RightFrame, BottomFrame;
    uint16_t DiagonalKind = 0;
    int GapX = 2, GapY = 2;
    TColor FillColor = clTransparentRM;
    uint8_t BandAlign = 0;
    int32_t FormatCode;
    std::string FormatText;
    bool Visible = true;
    uint16_t Restrictions = 0;
    std::string Tag;
    TRMLines Memo, OnBeforePrint, OnAfterPrint, Memo1;
    std::string LinkedObjectName;
    bool PreparedForm = false;
    TRMPage* Parent = nullptr;
    TRMBand* ParentBand = nullptr;
    // The design rectangle the designer keeps while it resizes a group.
    TRect SavedRect;

    // Drawing state: device pixels = view pixels * Scale + Offset.
    double ScaleX = 1.0, ScaleY = 1.0;
    int OffsetX = 0, OffsetY = 0;
    TRect DrawRect;
    TCanvas* Canvas = nullptr;

    TRect Rect() const { return TRect(Left, Top, Left + Width, Top + Height); }
    void SetBounds(int l, int t, int w, int h) {
        Left = l;
        Top = t;
        Width = w;
        Height = h;
    }
    void SaveRect() { SavedRect = Rect(); }
    bool Stretched() const { return Flags & flStretched; }
    void SetFrameAll(bool visible, double width = 1.0, TColor color = clBlack);

    void SetPropValue(const std::string& name, const Variant& value) override;
    Variant GetPropValue(const std::string& name) override;
    void DefineProperties() override;

    virtual void Draw(TCanvas* canvas);
    // Hands the object of a built page to an export: its place and itself.
    virtual void ExportData(class TRMExportFilter* filter);
    // Writes the object's built form into a built page (Part of a build).
    virtual void StreamOut(TStream& s);
    virtual void LoadFromStream(TStream& s);
    virtual void SaveToStream(TStream& s);
    virtual void AfterLoad() {}
    // Runs when the object's page is being left in the designer (the
    // designer's leave-page hook).
    virtual void OnLeavePage() {}
    virtual std::string GetDesignText() const { return {}; }
    virtual int ShowEditor() { return 1; }

    // ---- what the designer and the build tell an object; the base does
    // nothing (or answers no).
    // The designer has pasted the object and named it.
    virtual void AfterPaste() {}
    // The design surface has resized it.
    virtual void AfterResize() {}
    // Its text is edited on the design surface itself.
    virtual bool HasInplaceEditor() const { return false; }
    virtual void CreateInplaceEditor() {}
    virtual void EndInplaceEdit() {}
    // A region object, just before a build takes it out of the design.
    virtual void BeforeRegionRemoval() {}
    // The upper-cased names in use while CreateUniqueName runs; an object
    // that names parts of its own adds theirs.
    virtual void CollectNames(std::vector<std::string>& names) {}
    // An object whose flags carry flWatcher: the build starts it when it
    // sets its page up and shows it every object it writes after that.
    virtual void WatchStart() {}
    virtual void WatchNotify(TRMView* view) {}
    // The designer's popup menu on the object: a separator and "伸展",
    // which sets Stretched on every selected object of the designer's
    // page as one undoable change.
    virtual void DefinePopupMenu(TPopupMenu* popup);
    // The area the object paints, in the pixels it was last drawn at: its
    // rectangle and the outer half of its visible frame lines; extended,
    // 10 pixels more on every side (the designer's selection marks).
    virtual TRect GetClipRgn(bool extended) const;

    // Flag accessors of the base.
    bool GetStretched() const { return Flags & flStretched; }
    void SetStretched(bool v) { Flags = v ? (Flags | flStretched) : (Flags & ~flStretched); }
    // Moved with the object LinkedObjectName names; never a band's.
    bool HasLinkedObject() const { return (Flags & flHasLinked) && ObjectType != rmgtBand; }
    // Only one object of this class may stand on a page.
    bool GetOncePerPage() const { return Flags2 & 2; }
    // The room the frame takes beyond the text: for each visible side of
    // the pair half its width rounded, plus twice its width rounded when
    // it is double.
    int GetFrameExtraHeight() const;
    int GetFrameExtraWidth() const;
    // Region marks: set on the objects a region moves with it.
    uint8_t InRegion = 0;
    uint8_t IsRegion = 0;

    // Copies everything through a stream at version 43, so a copy equals a
    // load of what was saved.
    void Assign(TRMView* source);
    std::unique_ptr<TRMView> Clone();
    // The smallest BaseName + n (1..10000) that no object of the report
    // holds (the page's objects when there is no report) and no object's
    // CollectNames adds; the name stays empty when all are taken.
    void CreateUniqueName(TRMReport* report);
    // The last band of this view's page whose rectangle (edges included)
    // holds the view's top-left corner; null when none.
    TRMView* FindBand() const;
    // Places the view on its design page by BandAlign, between the page's
    // printable left and right edges (L, R): 1 after its nearest baLeft
    // neighbour on the row (same Top) or at L, 2 before its nearest
    // baRight neighbour or at R, 3 centred, 4 from L to R (a cross band's
    // width inside one), 5 at its band's bottom, 6 at its band's top,
    // 7 over its band whole (6, 4 and 8), 8 over its band's height (the
    // printable height without one), 9 over the rest between its
    // neighbours.
    void ApplyBandAlign();

protected:
    // "LEFTFRAME.xxx" ... "BOTTOMFRAME.xxx" (upper-cased): that side;
    // null for any other name.
    TRMFrameLine* frameSide(const std::string& upperName);
    void BeginDraw(TCanvas* canvas);
    void ShowBackground();
    void ShowFrame();
    // The part of the view record before the class fields, for every
    // version the reader knows.
    void ReadViewRecord(TStream& s);
    void WriteViewRecord(TStream& s);
};

class TRMMemoView : public TRMView {
public:
    TRMMemoView();
    std::string ClassName() const override { return "TRMMemoView"; }

    TRMFont Font;
    int32_t Adjust = 0; // bits 0-1 horizontal, 3-4 vertical
    uint16_t HighlightStyle = 2;
    TColor HighlightColor = clBlack;
    TColor HighlightFill = clWhite;
    std::string HighlightStr;
    int CharSpacing = 0;
    int LineSpacing = 2;
    uint8_t RotationType = 0;
    uint8_t ScaleFontType = 0;
    uint16_t FontScaleWidth = 0;
    std::string MasterMemoView;
    std::string LastValue;
    // Whether the last record the build wrote for this memo carried a new
    // value (a memo naming it as its master merges only when it did not).
    bool ValueChanged = false;

    int Alignment() const { return Adjust & 3; }
    void SetAlignment(int a) { Adjust = (Adjust & ~7) | (a & 7); }
    int Layout() const { return (Adjust >> 3) & 3; }
    void SetLayout(int l) { Adjust = (Adjust & ~0x18) | ((l & 3) << 3); }

    void SetPropValue(const std::string& name, const Variant& value) override;
    Variant GetPropValue(const std::string& name) override;
    void DefineProperties() override;
    void Draw(TCanvas* canvas) override;
    // The object, then each line it prints with its place and the frame
    // sides it shows: 1 right, 2 bottom, 4 left, 8 top. Between the lines
    // of one memo the sides that part them are left out; turned lines
    // carry none.
    void ExportData(class TRMExportFilter* filter) override;
    void LoadFromStream(TStream& s) override;
    void SaveToStream(TStream& s) override;

    // The lines of text as they would print at this width: wrapped at
    // spaces for Latin text and anywhere for Chinese, no mark of
    // RMNoLineStartMarks beginning a line.
    TRMLines WrapLines(const TRMLines& text, int widthPx);
    // Height the wrapped Memo1 needs, in view pixels.
    int CalcHeight();
    // The lines as they print: with MangeTag cut at every grave accent;
    // wrapped with WordWrap; in a build or its pages, with ScaleFontSize,
    // after the font was made smaller until every line fits the width
    // (ByWidth) or the lines fit the height (ByHeight). The caller puts
    // the font size back.
    // Prewrapped lines (with line-end marks) are taken as they are: not
    // cut, not wrapped, not narrowed by ByWidth; ByHeight still applies.
    TRMLines FittedLines(const TRMLines& text, bool along);
    // The lines as a built page keeps them: with MangeTag cut at every
    // grave accent, wrapped with WordWrap at the room the drawing uses,
    // each ending in the line-end mark.
    TRMLines PrewrapLines(const TRMLines& text);
    // The font's line height on the 96 dpi measuring canvas.
    int FontPixelHeight();
    // How many lines of Memo1 fit in a height (0 when not even one).
    int LinesFitting(int height);
    // The width in view pixels the lines need on one line each, gaps and
    // half the side frames included (AutoWidth, "CALCWIDTH").
    int CalcTextWidth(const TRMLines& lines);

protected:
    // With Underlines: a rule under every line the height holds, in the
    // top frame's colour and width.
    void ShowUnderlines();
    // With MangeTag, unturned lines character by character: "~" raises
    // and "_" lowers half-size characters, "|" ends them.
    void ShowMarkedLines(const TRMLines& lines, double y, double lineStep);
    // A line's characters for drawing one at a time. With MangeTag the size
    // marks are left out: "~" sets the characters after it small, "_" small
    // and lowered, "|" back to full size.
    struct MarkedChar {
        std::string Ch;
        bool Small = false, Low = false;
    };
    std::vector<MarkedChar> MarkedChars(const std::string& line) const;
    // Puts the canvas font at the size a marked character takes, in the
    // given orientation; gives how far a lowered one goes down.
    int ApplyMarkedSize(TCanvas* c, const MarkedChar& ch, int orientation) const;
    void ReadMemoFields(TStream& s);
    void WriteMemoFields(TStream& s);
};

enum TRMBandKind : uint8_t {
    bkTitle,
    bkSummary,
    bkPageHeader,
    bkPageFooter,
    bkMasterHeader,
    bkMasterData,
    bkMasterFooter,
    bkDetailHeader,
    bkDetailData,
    bkDetailFooter,
    bkSubDetailHeader,
    bkSubDetailData,
    bkSubDetailFooter,
    bkOverlay,
    bkColumnHeader,
    bkColumnFooter,
    bkGroupHeader,
    bkGroupFooter,
    bkCrossHeader,
    bkCrossData,
    bkCrossFooter,
    bkChild,
    bkNone,
};
extern const char* const RMBandKindNames[23];

// Band flag bits.
enum : uint16_t {
    bfStretched = 0x0001,
    bfFormNewPage = 0x0002,
    bfPrintIfSubsetEmpty = 0x0004,
    bfBreaked = 0x0008,
    bfOnFirstPage = 0x0010,
    bfOnLastPage = 0x0020,
    bfRepeatHeader = 0x0040,
    bfPrintChildIfInvisible = 0x0080,
    bfAutoAppendBlank = 0x0100,
    bfAdjustColumns = 0x0200,
    bfPrintColFirst = 0x0400,
    bfRepeatHeader1 = 0x0800,
    bfPrintIfEmpty = 0x1000,
    bfPrintAtDesignPos = 0x2000,
};

class TRMBandView : public TRMView {
public:
    TRMBandView();
    std::string ClassName() const override { return "TRMBandView"; }

    std::string ChildBand;
    std::string Master;
    int ColumnGap = 20;
    int Columns = 1;
    int ColumnWidth = 200;
    int NewColumnAfter = 1;
    uint16_t LinesPerPage = 0;
    uint8_t RangeBegin = 2;
    uint8_t RangeEnd = 3;
    int32_t RangeEndCount = 0;

    TRMBandKind BandType() const { return TRMBandKind(DiagonalKind & 0x7F); }
    void SetBandType(TRMBandKind k) { DiagonalKind = uint16_t((DiagonalKind & ~0x7F) | k); }
    // Data bands: the data source name; group headers: the condition.
    const std::string& DataSet() const { return FormatText; }
    void SetDataSet(const std::string& v) { FormatText = v; }
    const std::string& NewPageCondition() const { return Tag; }
    void SetColumns(int v) {
        if (v > 0) Columns = std::min(v, 99);
    }

    void SetPropValue(const std::string& name, const Variant& value) override;
    // While a build prints the band: "ROWCOUNT", "ROWNO", "EOF" (true
    // outside a build, where ROWCOUNT and ROWNO are Null).
    Variant GetPropValue(const std::string& name) override;
    // While a build prints the band: "FIRST", "NEXT", "PRIOR" and
    // "MOVEBY" (its argument evaluated) move its data set.
    Variant DoMethod(const std::string& name, const std::vector<Variant>& params) override;
    void DefineProperties() override;
    void Draw(TCanvas* canvas) override;
    void LoadFromStream(TStream& s) override;
    void SaveToStream(TStream& s) override;
};

class TRMSubReportView : public TRMView {
public:
    TRMSubReportView();
    std::string ClassName() const override { return "TRMSubReportView"; }
    int SubPage = 0;
    void Draw(TCanvas*) override {}
    void LoadFromStream(TStream& s) override;
    void SaveToStream(TStream& s) override;
};

// The picture's options in Flags (Stretched is the base's bit).
enum : uint16_t {
    pfCenter = 0x0002,
    pfKeepAspect = 0x0004,
    pfTransparent = 0x0008,
};

class TRMPictureView : public TRMView {
public:
    // Stretched and keeping its aspect.
    TRMPictureView();
    std::string ClassName() const override { return "TRMPictureView"; }
    TRMPictureData Picture;
    uint8_t BlobType = 0;
    bool Center() const { return Flags & pfCenter; }
    bool KeepAspect() const { return Flags & pfKeepAspect; }
    // Drawn through the paper's colours (white shows what is under it).
    bool Transparent() const { return Flags & pfTransparent; }
    // "Stretched", "Center", "KeepAspect", "Transparent", "BlobType".
    void SetPropValue(const std::string& name, const Variant& value) override;
    Variant GetPropValue(const std::string& name) override;
    void DefineProperties() override;
    // "LOADFROMFILE": its argument evaluated gives the file; a name that is
    // empty or names no file empties the picture.
    Variant DoMethod(const std::string& name, const std::vector<Variant>& params) override;
    std::string GetDesignText() const override { return "[图片]"; }
    // Takes the picture from a blob field's bytes: the content decides
    // where it tells (JPEG, bitmap, icon, metafile), else BlobType does:
    // 0 bitmap, 1 JPEG, 2 icon, 3 metafile. Null or no data empties it.
    void GetBlob(const Variant& value, bool noData);
    void Draw(TCanvas* canvas) override;
    void LoadFromStream(TStream& s) override;
    void SaveToStream(TStream& s) override;
};

class TRMLineView : public TRMView {
public:
    TRMLineView();
    // Flat objects (Height < Width) draw their top side, others their left
    // side; the object becomes 0 high or 0 wide.
    std::string ClassName() const override { return "TRMLineView"; }
    void Draw(TCanvas* canvas) override;
    void LoadFromStream(TStream& s) override;
    void SaveToStream(TStream& s) override;
};

// A memo that accumulates its own total while the bands print.
enum TRMDBCalcType : uint8_t { rmdcSum, rmdcCount, rmdcAvg, rmdcMax, rmdcMin, rmdcUser };
class TRMCalcMemoView : public TRMMemoView {
public:
    TRMCalcMemoView();
    std::string ClassName() const override { return "TRMCalcMemoView"; }
    uint8_t ResetAfterPrint = 1;
    uint8_t DBCalcType = rmdcSum;
    std::string DataBand, Filter, IntalizeValue, AggregateValue;
    // The accumulator, kept by the page builder.
    double CalcValue = 0;
    bool Started = false;
    double AvgTotal = 0;
    int AvgCount = 0;
    std::string CalcExpression;
    // Values the first pass of a two-pass build leaves for the final one.
    std::vector<double> SavedValues;
    int SavedIndex = 0;
    bool TotalCalc() const { return Flags & 0x2000; }
    bool CalcNoVisible() const { return Flags & 0x4000; }
    bool OutBigNum() const { return Flags2 & 0x08; }
    void Reset() { Started = false; }
    double GetValue() const {
        return SavedIndex >= 0 && SavedIndex < int(SavedValues.size()) ? SavedValues[size_t(SavedIndex)] : CalcValue;
    }
    // "DBCalcType", "DataBand", "ResetAfterPrint", "Filter", "TotalCalc",
    // "CalcNoVisible", "Count", "IntalizeValue", "AggregateValue",
    // "OutBigNum", "CalcValue" (written only in a build's final pass, so a
    // user aggregate can read and set its own running value); the script
    // method "RESET" starts the accumulator again.
    void SetPropValue(const std::string& name, const Variant& value) override;
    Variant GetPropValue(const std::string& name) override;
    void DefineProperties() override;
    Variant DoMethod(const std::string& name, const std::vector<Variant>& params) override;
    void LoadFromStream(TStream& s) override;
    void SaveToStream(TStream& s) override;
};

// An amount in a row of digit cells, as vouchers print it: one digit per
// cell, the decimals last, the currency symbol before the first digit;
// with ShowTitle the row of place captions (元 十 百 … 角 分) instead.
class TRMMoneyView : public TRMMemoView {
public:
    TRMMoneyView();
    std::string ClassName() const override { return "TRMMoneyView"; }
    bool ShowTitle = false;
    std::string CurrencySymbol = "￥";
    int32_t Digits = 12;
    int32_t Decimals = 2;
    int32_t LineWidth = 1;
    TColor LineColor = TColor(0xC0C0C0);
    TColor ThousandsLineColor = TColor(0);
    TColor DecimalLineColor = TColor(0x0000FF);
    std::vector<std::string> IntegerUnits{"元", "十", "百", "千", "万", "十", "百", "千",
                                          "亿", "十", "百", "千", "万", "兆", "十"};
    std::vector<std::string> DecimalUnits{"角", "分", "厘", "毫", "微"};
    int CellWidth = 0, CellRest = 0;

    // The characters of the amount, one per cell from the first used cell
    // (the symbol cell, when there is a symbol), and that cell's index.
    std::vector<std::string> AmountCells(const std::string& text, int& firstCell) const;
    // The colour of the line before cell i (1 .. Digits-1).
    TColor SeparatorColor(int i) const;

    void SetPropValue(const std::string& name, const Variant& value) override;
    Variant GetPropValue(const std::string& name) override;
    void DefineProperties() override;
    void Draw(TCanvas* canvas) override;
    void LoadFromStream(TStream& s) override;
    void SaveToStream(TStream& s) override;
};

// Design-only grouping frame; removed before a build.
class TRMRegionView : public TRMView {
public:
    TRMRegionView();
    std::string ClassName() const override { return "TRMRegionView"; }
    void DefineProperties() override;
    // Moves by dx, dy every object after the region in the page's list
    // whose rectangle lies wholly inside the region (edges included), and
    // marks those with InRegion; the objects before it lose the mark.
    void MoveContents(TRMPage* page, int dx, int dy);
    void Draw(TCanvas*) override {}
    void LoadFromStream(TStream& s) override;
    void SaveToStream(TStream& s) override;
};

// The add-in registry: class names made by name (case-insensitive), each
// with the editor dialog the designer opens on such an object (none: the
// object's own ShowEditor).
class TRMObjEditorForm; // RM_Register.h
using TRMViewFactory = std::function<std::unique_ptr<TRMView>()>;
using TRMObjEditorClass = std::function<std::unique_ptr<TRMObjEditorForm>()>;
struct TRMAddInObjectInfo {
    std::string ClassName;
    TRMViewFactory Create;
    std::string BitmapName;
    std::string Hint;
    bool IsControl = false;
    TRMObjEditorClass EditorClass;
};
void RMRegisterObjectByRes(const std::string& className, TRMViewFactory create, const std::string& bitmapName,
                           const std::string& hint, TRMObjEditorClass editorClass = {}, bool isControl = false);
// -1 until something was registered.
int RMGetAddInCount();
const TRMAddInObjectInfo* RMGetAddIn(int index);

class EClassNotFound : public Exception {
public:
    using Exception::Exception;
};
// Raises EClassNotFound for an unknown add-in class or type byte.
std::unique_ptr<TRMView> RMCreateObject(uint8_t type, const std::string& className);

// Units.
int RMToPixels(double mm);
double RMFromPixels(int px);
// Lengths as the designer shows them in its unit: 0 screen pixels (as
// they are), 1 millimetres (pixels = mm * 96 * 0.03937, the factor as
// stored in single precision), 2 inches (pixels = inches * 96); any other
// unit leaves the value as it is.
enum TRMUnitType { rmutScreenPixels, rmutMillimeters, rmutInches };
double RMToPixels(int units, double value);
double RMFromPixels(int units, double value);
