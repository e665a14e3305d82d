// The barcode component: properties, module widths, the numeric-text rule
// and the rotated drawing. What each symbology's bars are lives in
// BarcodeSymbols.cpp; this unit only sizes and paints them.
#include "report/barcode/RM_Barcode.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>
#include <numbers>

#include "System.h"

namespace {

// Rounds half to even, as the drawing and width rules ask.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

bool RatioClamped(TRMBarcodeType t) { return t <= bcCode39Extended || (t >= bcCodeCodabar && t <= bcCodeUPC_Supp5); }

// Wider than any printable module, small enough that a symbol's summed
// width stays far inside int.
constexpr int kMaxModuleWidth = 1000;

std::string ReplaceClassName(const char* format, const std::string& name) {
    std::string s = format;
    s.replace(s.find("%s"), 2, name);
    return s;
}

} // namespace

TRMBarcode::TRMBarcode(TComponent* AOwner) : TComponent(AOwner) {}

void TRMBarcode::SetHeight(int v) {
    if (v == height_) return;
    height_ = v;
    NotifyChange();
}

void TRMBarcode::SetText(const std::string& v) {
    encoded_ = false;
    if (v == text_) return;
    text_ = v;
    NotifyChange();
}

void TRMBarcode::SetTop(int v) {
    if (v == top_) return;
    top_ = v;
    NotifyChange();
}

void TRMBarcode::SetLeft(int v) {
    if (v == left_) return;
    left_ = v;
    NotifyChange();
}

void TRMBarcode::SetModul(int v) {
    if (v < 1 || v > 49) return;
    modul_ = v;
    NotifyChange();
}

void TRMBarcode::SetRatio(double v) {
    if (v == ratio_) return;
    ratio_ = v;
    NotifyChange();
}

void TRMBarcode::SetTyp(TRMBarcodeType v) {
    if (v == typ_) return;
    typ_ = v;
    NotifyChange();
}

void TRMBarcode::SetChecksum(bool v) {
    if (v == checksum_) return;
    checksum_ = v;
    NotifyChange();
}

void TRMBarcode::SetAngle(double v) {
    if (v == angle_) return;
    angle_ = v;
    NotifyChange();
}

void TRMBarcode::NotifyChange() {
    if (OnChange) OnChange(this);
}

void TRMBarcode::PrepareModuleWidths() {
    if (typ_ == bcCode_2_5_matrix || RatioClamped(typ_)) {
        double low = typ_ == bcCode_2_5_matrix ? 2.25 : 2.0;
        double r = ratio_;
        if (std::isnan(r) || r < low) r = low;
        if (r > 3.0) r = 3.0;
        SetRatio(r);
    }
    double wide = std::nearbyint(modul_ * ratio_);
    // Unclamped types take any ratio; a wide element of zero or negative
    // width, or of billions of pixels, draws nothing sensible.
    if (!(wide >= 1)) wide = 1;
    if (wide > kMaxModuleWidth) wide = kMaxModuleWidth;
    int w1 = static_cast<int>(wide);
    widths_ = {modul_, w1, w1 * 3 / 2, w1 * 2};
}

std::string TRMBarcode::EncodeBars() {
    PrepareModuleWidths();
    if (static_cast<int>(typ_) < 0 || static_cast<int>(typ_) >= BarcodeTypeCount)
        throw Exception(ReplaceClassName("%s: wrong BarcodeType", ClassName()));
    if (BarcodeTypeTable[typ_].Num) {
        auto blank = [](char ch) { return static_cast<unsigned char>(ch) <= ' '; };
        size_t first = 0, last = text_.size();
        while (first < last && blank(text_[first])) ++first;
        while (last > first && blank(text_[last - 1])) --last;
        text_ = text_.substr(first, last - first);
        for (char ch : text_)
            if (ch < '0' || ch > '9') throw Exception("Barcode must be numeric");
    }
    // Width, DrawBars and every repaint encode again; the text stored last
    // time already carries its check digit and must not get another.
    bool same = encoded_ && text_ == encodedTo_ && typ_ == encodedTyp_ && checksum_ == encodedChecksum_ &&
                checkSumMethod_ == encodedMethod_;
    std::string input = same ? encodedFrom_ : text_;
    barcode::Encoded e = barcode::Encode(typ_, input, checksum_, checkSumMethod_, ClassName());
    text_ = e.Text;
    encoded_ = true;
    encodedFrom_ = input;
    encodedTo_ = e.Text;
    encodedTyp_ = typ_;
    encodedChecksum_ = checksum_;
    encodedMethod_ = checkSumMethod_;
    return e.Bars;
}

TRMBarWidth TRMBarcode::BarWidthOf(char ch) const {
    if (ch >= '0' && ch <= '3') return {widths_[ch - '0'], 0};
    if (ch >= '5' && ch <= '8') return {widths_[ch - '5'], 1};
    if (ch >= 'A' && ch <= 'D') return {widths_[ch - 'A'], 2};
    throw Exception(ReplaceClassName("%s: internal Error", ClassName()));
}

int TRMBarcode::Width() {
    std::string bars = EncodeBars();
    long long sum = 0;
    for (char ch : bars) sum += BarWidthOf(ch).Width;
    return static_cast<int>(std::min<long long>(sum, INT_MAX));
}

void TRMBarcode::SetWidth(int v) {
    int w = Width();
    if (w > 0) SetModul(static_cast<int>(static_cast<long long>(modul_) * v / w));
}

void TRMBarcode::DrawBars(const std::string& bars, TCanvas* canvas) {
    double theta = angle_ / 180.0 * std::numbers::pi;
    int w = Width();
    int h = height_;
    double s = std::sin(theta), c = std::cos(theta);

    int ox = left_, oy = top_;
    if (s >= 0 && c >= 0) {
        oy += RoundEven(w * s);
    } else if (s >= 0) {
        ox += -RoundEven(w * c);
        oy += RoundEven(w * s - h * c);
    } else if (c >= 0) {
        ox += -RoundEven(h * s);
    } else {
        ox += -RoundEven(w * c) - RoundEven(h * s);
        oy += -RoundEven(h * c);
    }
    auto rotate = [&](int x, int y) { return TPoint{RoundEven(x * c + y * s) + ox, RoundEven(-x * s + y * c) + oy}; };

    canvas->Pen()->SetWidth(1);
    int x = 0;
    for (char ch : bars) {
        TRMBarWidth bw = BarWidthOf(ch);
        TColor colour = bw.Kind == 0 ? color_ : colorBar_;
        canvas->Pen()->SetColor(colour);
        canvas->Brush()->SetColor(colour);
        int bh = bw.Kind == 2 ? height_ * 2 / 5 : height_;
        canvas->Polygon({rotate(x, 0), rotate(x, bh), rotate(x + bw.Width - 1, bh), rotate(x + bw.Width - 1, 0)});
        x += bw.Width;
    }
}

void TRMBarcode::PaintBarcode(TCanvas* canvas) {
    TFont font;
    TPen pen;
    TBrush brush;
    font.Assign(canvas->Font());
    pen.Assign(canvas->Pen());
    brush.Assign(canvas->Brush());
    struct Restore {
        TCanvas* canvas;
        TFont* font;
        TPen* pen;
        TBrush* brush;
        ~Restore() {
            canvas->SetFont(font);
            canvas->SetPen(pen);
            canvas->SetBrush(brush);
        }
    } restore{canvas, &font, &pen, &brush};
    DrawBars(EncodeBars(), canvas);
}

void PaintBarcodeLabel(TRMBarcode& barcode, TCanvas* canvas, int q, int r, bool humanReadable) {
    int angle = RoundEven(barcode.Angle());
    bool upright = angle == 90 || angle == 270;
    int band = humanReadable ? 14 : 0;
    int v = (upright ? q : r) - band;
    barcode.SetLeft(0);
    barcode.SetTop(0);
    barcode.SetHeight(v);
    if (angle == 180) barcode.SetTop(r - v);
    if (angle == 270) barcode.SetLeft(q - v);
    barcode.PaintBarcode(canvas);
    if (!humanReadable) return;

    TFont saved;
    saved.Assign(canvas->Font());
    TFont* f = canvas->Font();
    f->SetName("Courier New");
    f->SetHeight(12);
    f->SetColor(clBlack);
    f->SetStyle({});
    f->SetOrientation(angle * 10);
    TBrushStyle brushStyle = canvas->Brush()->Style();
    canvas->Brush()->SetStyle(bsClear);
    const std::string& text = barcode.Text();
    int t = canvas->TextWidth(text);
    int x, y;
    switch (angle) {
    case 0:
        x = (q - t) / 2;
        y = r - 12;
        break;
    case 90:
        x = q - 12;
        y = r - (r - t) / 2;
        break;
    case 180:
        x = q - (q - t) / 2;
        y = 12;
        break;
    default:
        x = 12;
        y = (r - t) / 2;
        break;
    }
    canvas->TextOut(x, y, text);
    canvas->Brush()->SetStyle(brushStyle);
    canvas->SetFont(&saved);
}
