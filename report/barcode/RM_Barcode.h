// TRMBarcode: turns a text into the bars of one of 23 symbologies and paints
// them, turned by an angle, on any canvas. It knows nothing of reports: the
// barcode report object and its editor set its properties and let it paint.
// The symbologies themselves are plain functions in BarcodeSymbols.h; the
// human-readable line under the bars belongs to the caller (see
// PaintBarcodeLabel for the layout the report object and editor share).
#pragma once

#include <array>
#include <string>

#include "Classes.h"
#include "Graphics.h"
#include "report/barcode/BarcodeSymbols.h"

// Width in pixels and kind of one bar-string character.
struct TRMBarWidth {
    int Width = 0;
    int Kind = 0; // 0 space, 1 bar, 2 short bar (two fifths high)
};

class TRMBarcode : public TComponent {
public:
    explicit TRMBarcode(TComponent* AOwner = nullptr);
    std::string ClassName() const override { return "TRMBarcode"; }

    // Writes notify (NotifyChange) only when the value differs.
    int Height() const { return height_; }
    void SetHeight(int v);
    const std::string& Text() const { return text_; }
    void SetText(const std::string& v);
    int Top() const { return top_; }
    void SetTop(int v);
    int Left() const { return left_; }
    void SetLeft(int v);
    // Only 1 to 49 are taken (and then always notify); others are ignored.
    int Modul() const { return modul_; }
    void SetModul(int v);
    double Ratio() const { return ratio_; }
    void SetRatio(double v);
    TRMBarcodeType Typ() const { return typ_; }
    void SetTyp(TRMBarcodeType v);
    bool Checksum() const { return checksum_; }
    void SetChecksum(bool v);
    TRMCheckSumMethod CheckSumMethod() const { return checkSumMethod_; }
    void SetCheckSumMethod(TRMCheckSumMethod v) { checkSumMethod_ = v; }
    double Angle() const { return angle_; }
    void SetAngle(double v);
    // Encodes and sums the element widths; raises what EncodeBars raises.
    int Width();
    // Scales Modul so that the symbol comes near v pixels (Modul * v div
    // Width); a result outside 1..49 is ignored, as any Modul write is.
    void SetWidth(int v);
    TColor Color() const { return color_; }
    void SetColor(TColor v) { color_ = v; }
    TColor ColorBar() const { return colorBar_; }
    void SetColorBar(TColor v) { colorBar_ = v; }

    TNotifyEvent OnChange;
    virtual void NotifyChange();

    // Module widths w0..w3 in pixels, clamping Ratio first. They are plain
    // ints: narrow 49 at ratio 3 is already 147 pixels wide, and w3 twice that.
    void PrepareModuleWidths();
    const std::array<int, 4>& ModuleWidths() const { return widths_; }

    // The bar string of Text in Typ. Trims Text for numeric-only types and
    // stores what the encoder made of it (fitted digits, check digit).
    // Encoding again the text it stored encodes the same symbol: an EAN-128
    // check digit is appended once, not once more on every paint.
    // Raises Exception ("Barcode must be numeric", "%s: wrong BarcodeType",
    // the encoders' texts); Text keeps what had been stored before the fault.
    std::string EncodeBars();
    // Raises "%s: internal Error" for a character outside the bar alphabet.
    TRMBarWidth BarWidthOf(char ch) const;
    // One filled polygon per element, spaces in Color, rotated by Angle
    // about the symbol's box at (Left, Top).
    void DrawBars(const std::string& bars, TCanvas* canvas);
    // Encodes and draws; the canvas gets its font, pen and brush back, also
    // when encoding fails.
    void PaintBarcode(TCanvas* canvas);

private:
    int height_ = 0;
    std::string text_;
    int top_ = 0;
    int left_ = 0;
    int modul_ = 1;
    double ratio_ = 2.0;
    TRMBarcodeType typ_ = bcCodeEAN13;
    bool checksum_ = false;
    TRMCheckSumMethod checkSumMethod_ = csmModulo10;
    double angle_ = 0.0;
    TColor color_ = clWhite;
    TColor colorBar_ = clBlack;
    std::array<int, 4> widths_{1, 2, 3, 4};
    // What the last encoding took and stored, and under which settings.
    bool encoded_ = false;
    std::string encodedFrom_;
    std::string encodedTo_;
    TRMBarcodeType encodedTyp_ = bcCodeEAN13;
    bool encodedChecksum_ = false;
    TRMCheckSumMethod encodedMethod_ = csmModulo10;
};

// The label layout of the barcode report object and its editor sample, on
// an area of q x r pixels at the canvas origin: the bars take the area less
// a 14-pixel band for the text when humanReadable, the band lying under the
// bars as the symbol reads at 0, 90, 180 or 270 degrees; the text (Text
// after encoding) is "Courier New", 12 pixels, black, turned with the bars
// and centred along them. Sets the barcode's Left, Top and Height.
void PaintBarcodeLabel(TRMBarcode& barcode, TCanvas* canvas, int q, int r, bool humanReadable);
