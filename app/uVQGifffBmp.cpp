// The blend buffer; see uVQGifffBmp.h.
#include "uVQGifffBmp.h"

#include "Graphics.h"

#include <algorithm>
#include <cmath>
#include <cstring>

TEffectBmp::TEffectBmp(TBitmap* source) {
    width_ = source ? source->Width() : 0;
    height_ = source ? source->Height() : 0;
    pixels_.assign(size_t(Stride()) * size_t(height_), 0);
    if (width_ == 0 || height_ == 0) return;
    TBitmap copy;
    copy.Assign(source);
    copy.SetPixelFormat(pf24bit);
    for (int y = 0; y < height_; ++y) std::memcpy(ScanLine(y), copy.ScanLine(y), size_t(width_) * 3);
}

void TEffectBmp::GetLine(int row, uint8_t* buffer) const {
    std::memcpy(buffer, pixels_.data() + size_t(row) * size_t(Stride()), size_t(width_) * 3);
}

void TEffectBmp::SetLine(int row, const uint8_t* buffer) { std::memcpy(ScanLine(row), buffer, size_t(width_) * 3); }

void TEffectBmp::Draw(TCanvas* canvas, int x, int y) const {
    if (width_ == 0 || height_ == 0) return;
    TBitmap out;
    out.SetPixelFormat(pf24bit);
    out.SetSize(width_, height_);
    for (int r = 0; r < height_; ++r) GetLine(r, out.ScanLine(r));
    canvas->Draw(x, y, &out);
}

void TEffectBmp::Blend(const TEffectBmp& other, double x) {
    if (other.width_ != width_ || other.height_ != height_) return;
    x = std::clamp(x, 0.0, 1.0);
    std::vector<uint8_t> own(size_t(width_) * 3), theirs(size_t(width_) * 3);
    for (int r = 0; r < height_; ++r) {
        GetLine(r, own.data());
        other.GetLine(r, theirs.data());
        for (size_t i = 0; i < own.size(); ++i) {
            double v = std::nearbyint((1.0 - x) * own[i] + x * theirs[i]);
            own[i] = uint8_t(std::clamp(v, 0.0, 255.0));
        }
        SetLine(r, own.data());
    }
}
