// Small picture files whose headers declare far more pixels than the file
// holds, as a damaged or hostile photo might: a few kilobytes that claim
// 65,500 x 65,500 pixels. Header only: each test folder is a program of
// its own.
#pragma once

#include <cstdint>
#include <string>

#include "Graphics.h"
#include "Jpeg.h"

// A real JPEG of w x h pixels; progressive when asked.
inline std::string SmallJpeg(int w = 16, int h = 16, bool progressive = false) {
    TBitmap b;
    b.SetSize(w, h);
    b.Canvas()->Brush()->SetColor(clRed);
    b.Canvas()->FillRect(Rect(0, 0, w / 2, h));
    TJPEGImage j;
    j.Assign(&b);
    j.SetProgressiveEncoding(progressive);
    TMemoryStream ms;
    j.SaveToStream(ms);
    return ms.Bytes();
}

// That JPEG with the frame header (SOF0 baseline, SOF2 progressive) saying
// height x width instead.
inline std::string JpegDeclaring(int width, int height, bool progressive = false) {
    std::string bytes = SmallJpeg(16, 16, progressive);
    const std::string marker = progressive ? "\xff\xc2" : "\xff\xc0";
    const size_t at = bytes.find(marker);
    if (at == std::string::npos) return bytes;
    bytes[at + 5] = char(height >> 8);
    bytes[at + 6] = char(height & 0xff);
    bytes[at + 7] = char(width >> 8);
    bytes[at + 8] = char(width & 0xff);
    return bytes;
}

namespace crafted_detail {
inline void put16(std::string& s, uint16_t v) {
    s += char(v & 0xff);
    s += char(v >> 8);
}
inline void put32(std::string& s, uint32_t v) {
    put16(s, uint16_t(v & 0xffff));
    put16(s, uint16_t(v >> 16));
}
// A BITMAPINFOHEADER of a 24-bit picture, then a few bytes of pixels.
inline std::string dib(int32_t width, int32_t height) {
    std::string s;
    put32(s, 40);
    put32(s, uint32_t(width));
    put32(s, uint32_t(height));
    put16(s, 1);
    put16(s, 24);
    put32(s, 0);
    put32(s, 0);
    put32(s, 2835);
    put32(s, 2835);
    put32(s, 0);
    put32(s, 0);
    s += std::string(64, '\x7f');
    return s;
}
} // namespace crafted_detail

// A BMP file whose header declares width x height 24-bit pixels.
inline std::string BmpDeclaring(int32_t width, int32_t height) {
    std::string body = crafted_detail::dib(width, height);
    std::string s = "BM";
    crafted_detail::put32(s, uint32_t(14 + body.size()));
    crafted_detail::put32(s, 0);
    crafted_detail::put32(s, 54);
    return s + body;
}

// An icon file of one image whose bitmap header declares width x height
// (the directory entry says 0, which means 256).
inline std::string IcoDeclaring(int32_t width, int32_t height) {
    std::string image = crafted_detail::dib(width, height * 2);
    std::string s;
    crafted_detail::put16(s, 0);
    crafted_detail::put16(s, 1);
    crafted_detail::put16(s, 1);
    s += '\0'; // width 256
    s += '\0'; // height 256
    s += '\0';
    s += '\0';
    crafted_detail::put16(s, 1);
    crafted_detail::put16(s, 24);
    crafted_detail::put32(s, uint32_t(image.size()));
    crafted_detail::put32(s, 22);
    return s + image;
}
