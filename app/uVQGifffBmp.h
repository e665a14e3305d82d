// A 24-bit pixel buffer (blue, green, red; rows top to bottom, each row
// padded to a multiple of 4 bytes) made from a bitmap, which can blend
// itself with another buffer of the same size and draw itself on a canvas.
// The fading picture button does its cross-fade with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TBitmap;
class TCanvas;

class TEffectBmp {
public:
    // Takes the bitmap's size and pixels.
    explicit TEffectBmp(TBitmap* source);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Bytes of one row: width * 3 + width mod 4.
    int Stride() const { return width_ * 3 + width_ % 4; }
    uint8_t* ScanLine(int row) { return pixels_.data() + std::size_t(row) * std::size_t(Stride()); }
    // Copy width * 3 bytes out of / into a row.
    void GetLine(int row, uint8_t* buffer) const;
    void SetLine(int row, const uint8_t* buffer);
    // The whole buffer at (x, y), unscaled.
    void Draw(TCanvas* canvas, int x, int y) const;
    // Every channel := round((1 - x) * own + x * other's), x clamped to 0..1,
    // ties to even. Does nothing when the sizes differ.
    void Blend(const TEffectBmp& other, double x);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
};
