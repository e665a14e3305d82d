// The drawing vocabulary of every window, report and barcode: colours, the
// font/pen/brush triple, the canvas that draws with them, and the raster
// pictures (bitmap, icon, the picture holder that picks a class by file
// extension). The canvas draws on whatever platform code binds it to: a
// widget being painted, a bitmap, a printer page or the metafile recorder
// (see Metafile.h), so screen, print and tests share one path.
// Not here: JPEG (Jpeg.h), metafiles (Metafile.h), printers (Printers.h).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "System.h"

// ---------------------------------------------------------------- geometry

struct TPoint {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const TSize&, const TSize&) = default;
};

// Right and Bottom are exclusive, as everywhere in the class library:
// Rect(0, 0, 10, 10) covers pixels 0..9 in both directions.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    TPoint TopLeft() const { return {Left, Top}; }
    TPoint BottomRight() const { return {Right, Bottom}; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

inline TPoint Point(int x, int y) { return {x, y}; }
inline TRect Rect(int left, int top, int right, int bottom) { return {left, top, right, bottom}; }
inline TRect Bounds(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }
inline bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
inline bool PtInRect(const TRect& r, const TPoint& p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
// Both return false and set dst empty (all zero) when the result is empty.
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
inline void OffsetRect(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}
inline void InflateRect(TRect& r, int dx, int dy) {
    r.Left -= dx;
    r.Right += dx;
    r.Top -= dy;
    r.Bottom += dy;
}

// ------------------------------------------------------------------ colours

// $00BBGGRR: red in the low byte. A set high bit marks a system colour whose
// low byte is the system colour index (clBtnFace = 0x8000000F).
using TColor = int32_t;

constexpr TColor RGB(int r, int g, int b) { return TColor((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16)); }
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor SystemColor(int index) { return TColor(uint32_t(0x80000000u) | uint32_t(index)); }
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);

// The plain $00BBGGRR value of any colour: system colours resolve through
// the fixed classic scheme (clBtnFace = RGB(212, 208, 200)), so drawings do
// not depend on the desktop theme; clNone resolves to black and clDefault to
// clWindow, as the class library does.
TColor ColorToRGB(TColor color);
// Colour names as the class library writes them ("clRed", "clBtnFace"); a
// colour without a name comes back as "$00BBGGRR".
std::string ColorToString(TColor color);
// Accepts names and "$hex"/decimal numbers; throws EConvertError otherwise.
TColor StringToColor(const std::string& s);

// -------------------------------------------------- font, pen, brush

class TCanvas;
class TBitmap;
class TGraphic;
class TStream;

// Common base of font, pen and brush: a change of any property fires
// OnChange, which the owning canvas or control listens to.
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;
    std::string ClassName() const override { return "TGraphicsObject"; }

protected:
    void Changed();
};

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles: Style() << fsBold adds, Contains(fsItalic) asks.
using TFontStyles = TSet<TFontStyle>;

enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;
constexpr TFontCharset GB2312_CHARSET = 134;

// Size is in points, Height in device pixels at PixelsPerInch: a negative
// Height is the character height without internal leading (the usual form;
// "宋体" 9 pt is Height -12 at 96 dpi). Setting one recomputes the other.
// A printer canvas raises PixelsPerInch so that Size stays what was asked.
class TFont : public TGraphicsObject {
public:
    TFont();
    std::string ClassName() const override { return "TFont"; }
    // Copies every property; across different PixelsPerInch the Size is
    // kept, not the Height. Throws EConvertError for a non-font source.
    void Assign(TPersistent* Source) override;

    const std::string& Name() const { return name_; }
    void SetName(const std::string& v);
    int Height() const { return height_; }
    void SetHeight(int v);
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles v);
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    TFontCharset Charset() const { return charset_; }
    void SetCharset(TFontCharset v);
    TFontPitch Pitch() const { return pitch_; }
    void SetPitch(TFontPitch v);
    // Escapement in tenths of a degree, counter-clockwise (900 = upwards).
    int Orientation() const { return orientation_; }
    void SetOrientation(int tenths);
    int PixelsPerInch() const { return ppi_; }
    void SetPixelsPerInch(int v);

private:
    std::string name_ = "宋体";
    int height_ = -12;
    TFontStyles style_;
    TColor color_ = clWindowText;
    TFontCharset charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = fpDefault;
    int orientation_ = 0;
    int ppi_ = 96;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// Binary raster operations of a pen against what is already drawn.
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

class TPen : public TGraphicsObject {
public:
    std::string ClassName() const override { return "TPen"; }
    void Assign(TPersistent* Source) override;
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    int Width() const { return width_; }
    void SetWidth(int v);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle v);
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode v);

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

// Bitmap, when set, is an 8x8 pattern that replaces Color and Style for
// fills; the brush does not own it.
class TBrush : public TGraphicsObject {
public:
    std::string ClassName() const override { return "TBrush"; }
    void Assign(TPersistent* Source) override;
    TColor Color() const { return color_; }
    void SetColor(TColor v);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle v);
    TBitmap* Bitmap() const { return bitmap_; }
    void SetBitmap(TBitmap* v);

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
    TBitmap* bitmap_ = nullptr;
};

// --------------------------------------------------------------- canvas

// Raster operations of CopyRect (ternary ROP codes of the class library).
using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

// DrawText format flags.
constexpr unsigned DT_TOP = 0x0000;
constexpr unsigned DT_LEFT = 0x0000;
constexpr unsigned DT_CENTER = 0x0001;
constexpr unsigned DT_RIGHT = 0x0002;
constexpr unsigned DT_VCENTER = 0x0004;
constexpr unsigned DT_BOTTOM = 0x0008;
constexpr unsigned DT_WORDBREAK = 0x0010;
constexpr unsigned DT_SINGLELINE = 0x0020;
constexpr unsigned DT_EXPANDTABS = 0x0040;
constexpr unsigned DT_TABSTOP = 0x0080;
constexpr unsigned DT_NOCLIP = 0x0100;
constexpr unsigned DT_EXTERNALLEADING = 0x0200;
constexpr unsigned DT_CALCRECT = 0x0400;
constexpr unsigned DT_NOPREFIX = 0x0800;
constexpr unsigned DT_INTERNAL = 0x1000;
constexpr unsigned DT_EDITCONTROL = 0x2000;
constexpr unsigned DT_PATH_ELLIPSIS = 0x4000;
constexpr unsigned DT_END_ELLIPSIS = 0x8000;
constexpr unsigned DT_MODIFYSTRING = 0x10000;
constexpr unsigned DT_RTLREADING = 0x20000;
constexpr unsigned DT_WORD_ELLIPSIS = 0x40000;
constexpr unsigned DT_HIDEPREFIX = 0x100000;

// DrawEdge edges and border flags.
constexpr unsigned BDR_RAISEDOUTER = 0x0001;
constexpr unsigned BDR_SUNKENOUTER = 0x0002;
constexpr unsigned BDR_RAISEDINNER = 0x0004;
constexpr unsigned BDR_SUNKENINNER = 0x0008;
constexpr unsigned BDR_OUTER = 0x0003;
constexpr unsigned BDR_INNER = 0x000C;
constexpr unsigned BDR_RAISED = 0x0005;
constexpr unsigned BDR_SUNKEN = 0x000A;
constexpr unsigned EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr unsigned EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr unsigned EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr unsigned BF_LEFT = 0x0001;
constexpr unsigned BF_TOP = 0x0002;
constexpr unsigned BF_RIGHT = 0x0004;
constexpr unsigned BF_BOTTOM = 0x0008;
constexpr unsigned BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr unsigned BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr unsigned BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr unsigned BF_MIDDLE = 0x0800;
constexpr unsigned BF_SOFT = 0x1000;
constexpr unsigned BF_ADJUST = 0x2000;
constexpr unsigned BF_FLAT = 0x4000;
constexpr unsigned BF_MONO = 0x8000;

// DrawFrameControl kinds and states.
constexpr unsigned DFC_CAPTION = 1;
constexpr unsigned DFC_MENU = 2;
constexpr unsigned DFC_SCROLL = 3;
constexpr unsigned DFC_BUTTON = 4;
constexpr unsigned DFCS_BUTTONCHECK = 0x0000;
constexpr unsigned DFCS_BUTTONRADIO = 0x0004;
constexpr unsigned DFCS_BUTTON3STATE = 0x0008;
constexpr unsigned DFCS_BUTTONPUSH = 0x0010;
constexpr unsigned DFCS_SCROLLUP = 0x0000;
constexpr unsigned DFCS_SCROLLDOWN = 0x0001;
constexpr unsigned DFCS_SCROLLLEFT = 0x0002;
constexpr unsigned DFCS_SCROLLRIGHT = 0x0003;
constexpr unsigned DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr unsigned DFCS_CAPTIONCLOSE = 0x0000;
constexpr unsigned DFCS_INACTIVE = 0x0100;
constexpr unsigned DFCS_PUSHED = 0x0200;
constexpr unsigned DFCS_CHECKED = 0x0400;
constexpr unsigned DFCS_ADJUSTRECT = 0x2000;
constexpr unsigned DFCS_FLAT = 0x4000;
constexpr unsigned DFCS_MONO = 0x8000;

// Text metrics of the canvas's current font, in device pixels.
struct TTextMetric {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
};

class TMetafile;
struct TCanvasPrivate;

// Draws with its Pen, Brush and Font on the device platform code bound it to
// (see ui_private/Canvas_p.h). Drawing on an unbound canvas throws
// EInvalidOperation "Canvas does not allow drawing". Coordinates are device
// pixels; rectangles exclude their right and bottom edge. Text is UTF-8.
// Canvases are not copyable; the widget, bitmap or printer owns its canvas.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;
    std::string ClassName() const override { return "TCanvas"; }

    TFont* Font() const { return font_.get(); }
    TPen* Pen() const { return pen_.get(); }
    TBrush* Brush() const { return brush_.get(); }
    // These copy the properties (Assign), as the class library's setters do.
    void SetFont(TFont* v) { font_->Assign(v); }
    void SetPen(TPen* v) { pen_->Assign(v); }
    void SetBrush(TBrush* v) { brush_->Assign(v); }

    TPoint PenPos() const { return penPos_; }
    void SetPenPos(TPoint p) { penPos_ = p; }
    TCopyMode CopyMode() const { return copyMode_; }
    void SetCopyMode(TCopyMode v) { copyMode_ = v; }
    // The device handle of Windows code: this canvas itself, so that calls
    // written as DrawText(Canvas->Handle(), ...) keep their shape.
    TCanvas* Handle() { return this; }
    // True when bound to a device or a recorder.
    bool HandleAllocated() const;

    void MoveTo(int x, int y);
    // Draws from PenPos to (x, y), excluding the end point; PenPos moves there.
    void LineTo(int x, int y);
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    // counts[i] points of points form the i-th polyline.
    void PolyPolyline(const std::vector<TPoint>& points, const std::vector<int>& counts);
    void DrawFocusRect(const TRect& r);

    // Pixels outside the device (or on a device that cannot be read, such
    // as a printer) read as clNone.
    TColor Pixels(int x, int y) const;
    void SetPixels(int x, int y, TColor c);

    // Text cells start at (x, y) top-left; the background is filled with the
    // brush colour unless Brush->Style() is bsClear. TextOut moves PenPos to
    // the end of the text.
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    int TextWidth(const std::string& text) const;
    int TextHeight(const std::string& text) const;
    TSize TextExtent(const std::string& text) const;
    void GetTextMetrics(TTextMetric& tm) const;
    // Lays text out in r by the DT_* flags and returns the height of the
    // text drawn. With DT_CALCRECT nothing is drawn: r.Right and r.Bottom
    // grow or shrink to the text's extent. count < 0 means the whole text
    // (count is in bytes, cut back to a whole UTF-8 character).
    int DrawText(const std::string& text, int count, TRect& r, unsigned format);

    // The graphic at (x, y) in its own size / stretched into r; a
    // transparent graphic leaves its transparent colour's pixels untouched,
    // any other raster graphic goes through CopyMode (cmSrcAnd lets what is
    // under a white background show).
    void Draw(int x, int y, TGraphic* graphic);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    // Copies source's sourceRect into dest (stretching) through CopyMode.
    void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);
    void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor transparent);

    // Clipping. ClipRect is the bounding box of the current clip region (or
    // the whole device without one). SaveDC returns a token RestoreDC takes
    // back to that state; the font/pen/brush are not part of it.
    TRect ClipRect() const;
    void IntersectClipRect(const TRect& r);
    void ExcludeClipRect(const TRect& r);
    void SetClipRect(const TRect& r);
    void ResetClip();
    int SaveDC();
    void RestoreDC(int saved);

    // 3-D edges and the classic control frames (check box, radio, push
    // button, scroll arrows, combo arrow) in the fixed classic colours.
    // DrawEdge with BF_ADJUST shrinks r by the edge drawn.
    void DrawEdge(TRect& r, unsigned edge, unsigned flags);
    void DrawFrameControl(TRect& r, unsigned kind, unsigned state);

    // Serialise drawing from several threads; drawing is single-threaded
    // here, so these only count.
    void Lock() { ++lockCount_; }
    void Unlock() { --lockCount_; }
    bool TryLock() {
        ++lockCount_;
        return true;
    }
    int LockCount() const { return lockCount_; }
    void Refresh() {}

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    TCanvasPrivate* d() const { return d_.get(); }

private:
    std::unique_ptr<TFont> font_;
    std::unique_ptr<TPen> pen_;
    std::unique_ptr<TBrush> brush_;
    TPoint penPos_;
    TCopyMode copyMode_ = cmSrcCopy;
    int lockCount_ = 0;
    std::unique_ptr<TCanvasPrivate> d_;
};

// The Windows-style free functions, for code written against a device handle.
int DrawText(TCanvas* dc, const std::string& text, int count, TRect& r, unsigned format);
bool DrawEdge(TCanvas* dc, TRect& r, unsigned edge, unsigned flags);
bool DrawFrameControl(TCanvas* dc, TRect& r, unsigned kind, unsigned state);
bool DrawFocusRect(TCanvas* dc, const TRect& r);
// A 3-D frame of width lines: top/left in topColor, bottom/right in
// bottomColor; r shrinks by the frame.
void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width);

// --------------------------------------------------------------- graphics

// A picture file or stream that is not what its class reads.
class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// Common face of bitmaps, icons, JPEG images and metafiles. Loading is
// all-or-nothing: a failed LoadFromFile/LoadFromStream throws and leaves the
// graphic as it was. Missing files throw EFOpenError, unreadable content
// EInvalidGraphic.
class TGraphic : public TPersistent {
public:
    std::string ClassName() const override { return "TGraphic"; }
    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int v) = 0;
    virtual void SetHeight(int v) = 0;
    virtual bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool v);
    bool Modified() const { return modified_; }
    void SetModified(bool v) { modified_ = v; }

    virtual void LoadFromFile(const std::string& fileName);
    virtual void SaveToFile(const std::string& fileName);
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;

    TNotifyEvent OnChange;

    // Paints the graphic stretched into r; the canvas calls this from Draw
    // and StretchDraw.
    virtual void Draw(TCanvas* canvas, const TRect& r) = 0;

protected:
    void Changed();
    bool transparent_ = false;
    bool modified_ = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

struct TBitmapPrivate;

// An off-screen raster picture with a canvas. pfDevice and pf32bit rows are
// 4 bytes a pixel (B, G, R, unused); pf24bit rows are 3 bytes a pixel
// (B, G, R), as a 24-bit top-down DIB; pf1bit keeps only black and white
// (in the 32-bit layout). ScanLine pointers stay valid until the next size,
// format or load change. Files are Windows BMP.
class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    std::string ClassName() const override { return "TBitmap"; }
    void Assign(TPersistent* Source) override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    void SetSize(int w, int h);
    TPixelFormat PixelFormat() const;
    void SetPixelFormat(TPixelFormat v);
    bool Monochrome() const { return PixelFormat() == pf1bit; }
    void SetMonochrome(bool v) { SetPixelFormat(v ? pf1bit : pfDevice); }
    uint8_t* ScanLine(int row);
    // Bottom-left pixel with tmAuto, TransparentColor as set with tmFixed.
    TColor TransparentColor() const;
    void SetTransparentColor(TColor c);
    TTransparentMode TransparentMode() const { return transparentMode_; }
    void SetTransparentMode(TTransparentMode m) { transparentMode_ = m; }

    TCanvas* Canvas();
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    void Dormant() {}
    void FreeImage() {}

    TBitmapPrivate* d() const { return d_.get(); }

private:
    std::unique_ptr<TBitmapPrivate> d_;
    std::unique_ptr<TCanvas> canvas_;
    TTransparentMode transparentMode_ = tmAuto;
    TColor transparentColor_ = clDefault;
};

struct TIconPrivate;

// An icon read from a .ico file (the largest image in it); drawn with its
// own transparency.
class TIcon : public TGraphic {
public:
    TIcon();
    ~TIcon() override;
    std::string ClassName() const override { return "TIcon"; }
    void Assign(TPersistent* Source) override;
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int v) override;
    void SetHeight(int v) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Draw(TCanvas* canvas, const TRect& r) override;
    TIconPrivate* d() const { return d_.get(); }

private:
    std::unique_ptr<TIconPrivate> d_;
};

// Holds one graphic of whichever class the file asks for. LoadFromFile picks
// the class by extension (.bmp, .jpg, .jpeg, .ico, .wmf, .emf); any other
// extension throws EInvalidGraphic "Unknown picture file extension (.xyz)".
// A failed load leaves the previous graphic in place.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    std::string ClassName() const override { return "TPicture"; }
    // Copies a picture or graphic (nullptr clears).
    void Assign(TPersistent* Source) override;

    TGraphic* Graphic() const { return graphic_.get(); }
    // Takes a copy of graphic (nullptr clears), as the class library does.
    void SetGraphic(TGraphic* graphic);
    // The held bitmap; replaces any other graphic with an empty bitmap.
    TBitmap* Bitmap();
    TIcon* Icon();
    int Width() const;
    int Height() const;
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

    TNotifyEvent OnChange;

private:
    void Changed();
    std::unique_ptr<TGraphic> graphic_;
};
