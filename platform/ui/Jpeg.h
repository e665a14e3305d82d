// JPEG pictures, decoded and encoded with libjpeg. The image keeps the file's
// bytes and decodes them only when pixels are needed, so loading and saving
// an untouched picture writes back exactly what was read. Not here: EXIF
// orientation or colour profiles (ignored, as the class library did).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Graphics.h"

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum TJPEGPixelFormat { jf24Bit, jf8Bit };

// Errors libjpeg reports come out as EInvalidGraphic carrying libjpeg's own
// message ("Not a JPEG file: starts with 0x.. 0x..", and for a file cut
// short "Premature end of JPEG file"). A corrupt file never crashes:
// libjpeg's error exit returns here through longjmp.
//
// The image holds encoded bytes, decoded pixels, or both (invariant: at
// least one while not Empty, and both describe the same picture):
//   bytes only  --DIBNeeded (Width, Draw, AssignTo)-->  both
//   pixels only --JPEGNeeded (SaveToStream, Data)---->  both
//   any --LoadFromStream--> both (decoded at once)
//   any --Assign(bitmap)--> pixels only
//   both --SetScale/SetGrayscale/SetPerformance--> bytes only (re-decoded
//          with the new setting when next needed)
class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    std::string ClassName() const override { return "TJPEGImage"; }
    // From a TBitmap (compressed on the next save) or another TJPEGImage.
    void Assign(TPersistent* Source) override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    // 1..100, used when compressing; default 90.
    int CompressionQuality() const { return quality_; }
    void SetCompressionQuality(int v);
    bool Grayscale() const { return grayscale_; }
    void SetGrayscale(bool v);
    TJPEGScale Scale() const { return scale_; }
    void SetScale(TJPEGScale v);
    TJPEGPerformance Performance() const { return performance_; }
    void SetPerformance(TJPEGPerformance v);
    bool ProgressiveDisplay() const { return progressiveDisplay_; }
    void SetProgressiveDisplay(bool v) { progressiveDisplay_ = v; }
    bool ProgressiveEncoding() const { return progressiveEncoding_; }
    void SetProgressiveEncoding(bool v) { progressiveEncoding_ = v; }
    TJPEGPixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TJPEGPixelFormat v) { pixelFormat_ = v; }

    // Decodes now (throws EInvalidGraphic on bad data).
    void DIBNeeded();
    // Encodes the pixels now if they changed since the last encode.
    void JPEGNeeded();
    void Compress() { JPEGNeeded(); }
    // The decoded pixels as a bitmap (a copy).
    void AssignToBitmap(TBitmap* bitmap);

    // Reads the whole stream from its position; the bytes are checked by
    // decoding the header at once, so a non-JPEG throws here, not later.
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    void Draw(TCanvas* canvas, const TRect& r) override;

    // The encoded bytes (encoding first if need be).
    const std::vector<uint8_t>& Data();

protected:
    // Lets TBitmap::Assign(jpeg) decode into the bitmap.
    void AssignTo(TPersistent* Dest) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int quality_ = 90;
    bool grayscale_ = false;
    TJPEGScale scale_ = jsFullSize;
    TJPEGPerformance performance_ = jpBestQuality;
    bool progressiveDisplay_ = false;
    bool progressiveEncoding_ = false;
    TJPEGPixelFormat pixelFormat_ = jf24Bit;
};
