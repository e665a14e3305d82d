// Text, font and drawing helpers; see VqStdUtils.h.
#include "vq/controls/VqStdUtils.h"

#include "Gbk.h"

#include <cmath>

namespace {

// A screen-like canvas to measure fonts on.
TCanvas* measureCanvas() {
    static TBitmap bitmap;
    if (bitmap.Empty()) bitmap.SetSize(8, 8);
    return bitmap.Canvas();
}

} // namespace

int DoubleByteTextWidth(TCanvas* canvas, const std::string& text) {
    const std::string gbk = Utf8ToGbk(text);
    int width = 0;
    for (size_t i = 0; i < gbk.size();) {
        const size_t n = (uint8_t(gbk[i]) > 160 && i + 1 < gbk.size()) ? 2 : 1;
        width += canvas->TextWidth(GbkToUtf8(gbk.substr(i, n)));
        i += n;
    }
    return width;
}

void SwapWords(uint16_t& a, uint16_t& b) { std::swap(a, b); }

TTextMetric GetFontMetrics(TFont* font) {
    TCanvas* c = measureCanvas();
    c->SetFont(font);
    TTextMetric tm;
    c->GetTextMetrics(tm);
    return tm;
}

int FontLineHeight(TFont* font) {
    const int h = GetFontMetrics(font).tmHeight;
    return int(std::nearbyint(h + h / 8.0));
}

int FontAvgCharWidth(TFont* font) { return GetFontMetrics(font).tmAveCharWidth; }

void BroadcastToSiblings(TControl* control, unsigned msg, intptr_t param) {
    TWinControl* parent = control ? control->Parent() : nullptr;
    if (!parent) return;
    for (int i = 0; i < parent->ControlCount(); ++i)
        parent->Controls(i)->Perform(msg, reinterpret_cast<intptr_t>(control), param);
}

void DrawButtonFace(TCanvas* canvas, const TRect& r, bool pressed) {
    canvas->Brush()->SetColor(clBtnFace);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(r);
    TRect edge = r;
    if (pressed)
        Frame3D(canvas, edge, clBtnShadow, clBtnHighlight, 1);
    else
        Frame3D(canvas, edge, clBtnHighlight, clBtnShadow, 1);
}

void DrawTextFormat(TCanvas* canvas, const std::string& text, int length, unsigned format, TRect r) {
    canvas->DrawText(text, length, r, format);
}

void StretchBitmap(TCanvas* canvas, TBitmap* bitmap, TColor transparent, TRect src, int x, int y, int w, int h) {
    if (!bitmap || bitmap->Empty()) return;
    if (src.Width() < 1 || src.Height() < 1) src = Rect(0, 0, bitmap->Width(), bitmap->Height());
    if (w < 1) w = bitmap->Width();
    if (h < 1) h = bitmap->Height();
    const TRect dest = Bounds(x, y, w, h);
    if (transparent == clTransparentNone) {
        canvas->CopyRect(dest, bitmap->Canvas(), src);
        return;
    }
    TColor key = transparent;
    if (bitmap->Monochrome())
        key = clWhite;
    else if (transparent == clTransparentDefault)
        key = bitmap->Canvas()->Pixels(0, bitmap->Height() - 1);
    canvas->BrushCopy(dest, bitmap, src, key);
}

void DrawBitmapInRect(TCanvas* canvas, int x, int y, int w, int h, TColor transparent, TBitmap* bitmap,
                      const TRect& src) {
    StretchBitmap(canvas, bitmap, transparent, src, x, y, w, h);
}
