// TJPEGImage over libjpeg's compress/decompress interfaces. libjpeg reports
// fatal errors through error_exit, which must not return: ours longjmps back
// into the function that called setjmp. Those functions therefore declare
// every C++ object before setjmp and create none after it, so the jump
// skips no destructor.
#include "Jpeg.h"

#include <QImage>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Canvas_p.h"

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace {

struct ErrorMgr {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<ErrorMgr*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    std::longjmp(e->jump, 1);
}

// Warnings are ignored except a file cut short: a truncated photo is a bad
// file, not a half-grey picture.
void EmitMessage(j_common_ptr cinfo, int level) {
    if (level == -1 && cinfo->err->msg_code == JWRN_JPEG_EOF) ErrorExit(cinfo);
}

void OutputMessage(j_common_ptr) {}

void InstallErrors(ErrorMgr& e) {
    jpeg_std_error(&e.pub);
    e.pub.error_exit = ErrorExit;
    e.pub.emit_message = EmitMessage;
    e.pub.output_message = OutputMessage;
    e.message[0] = '\0';
}

// What libjpeg itself may allocate beyond that (a progressive file keeps
// all its coefficients); more fails instead of swapping.
constexpr long kMaxDecoderMemory = 1024L << 20;

// Decodes data into out (Format_RGB32). On failure returns false with
// libjpeg's message (or ours, for a picture too large) in err; out is then
// unspecified.
bool Decode(const std::vector<uint8_t>& data, int scaleDenom, bool fast, bool gray, QImage& out, std::string& err) {
    jpeg_decompress_struct cinfo;
    ErrorMgr jerr;
    std::vector<uint8_t> row;
    std::memset(&cinfo, 0, sizeof cinfo);
    InstallErrors(jerr);
    cinfo.err = &jerr.pub;
    if (setjmp(jerr.jump)) {
        jpeg_destroy_decompress(&cinfo);
        err = jerr.message;
        return false;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (uint64_t(cinfo.image_width) * uint64_t(cinfo.image_height) > kMaxPicturePixels) {
        err = "JPEG image is too large (" + std::to_string(cinfo.image_width) + " x " +
              std::to_string(cinfo.image_height) + " pixels)";
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.scale_num = 1;
    cinfo.scale_denom = unsigned(scaleDenom);
    if (fast) {
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
    }
    bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    if (cmyk)
        cinfo.out_color_space = JCS_CMYK;
    else
        cinfo.out_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    out = QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB32);
    if (out.isNull()) {
        err = "Out of memory for a JPEG image of " + std::to_string(cinfo.output_width) + " x " +
              std::to_string(cinfo.output_height) + " pixels";
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    row.resize(size_t(cinfo.output_width) * size_t(cinfo.output_components));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW r = row.data();
        int y = int(cinfo.output_scanline);
        jpeg_read_scanlines(&cinfo, &r, 1);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (unsigned x = 0; x < cinfo.output_width; ++x) {
            const uint8_t* p = row.data() + size_t(x) * size_t(cinfo.output_components);
            if (cmyk) {
                // Adobe writes CMYK inverted.
                int k = p[3];
                int R = p[0] * k / 255, G = p[1] * k / 255, B = p[2] * k / 255;
                if (gray) R = G = B = (R * 299 + G * 587 + B * 114) / 1000;
                dst[x] = qRgb(R, G, B);
            } else if (cinfo.output_components == 1) {
                dst[x] = qRgb(p[0], p[0], p[0]);
            } else {
                dst[x] = qRgb(p[0], p[1], p[2]);
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool Encode(const QImage& img, int quality, bool gray, bool progressive, std::vector<uint8_t>& out, std::string& err) {
    jpeg_compress_struct cinfo;
    ErrorMgr jerr;
    std::vector<uint8_t> row;
    unsigned char* mem = nullptr;
    unsigned long memSize = 0;
    QImage src = img.convertToFormat(QImage::Format_RGB32);
    std::memset(&cinfo, 0, sizeof cinfo);
    InstallErrors(jerr);
    cinfo.err = &jerr.pub;
    if (setjmp(jerr.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(mem);
        err = jerr.message;
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &mem, &memSize);
    cinfo.image_width = JDIMENSION(src.width());
    cinfo.image_height = JDIMENSION(src.height());
    cinfo.input_components = gray ? 1 : 3;
    cinfo.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    row.resize(size_t(src.width()) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(int(cinfo.next_scanline)));
        for (int x = 0; x < src.width(); ++x) {
            if (gray) {
                row[size_t(x)] = uint8_t((qRed(s[x]) * 299 + qGreen(s[x]) * 587 + qBlue(s[x]) * 114 + 500) / 1000);
            } else {
                row[size_t(x) * 3] = uint8_t(qRed(s[x]));
                row[size_t(x) * 3 + 1] = uint8_t(qGreen(s[x]));
                row[size_t(x) * 3 + 2] = uint8_t(qBlue(s[x]));
            }
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&cinfo, &r, 1);
    }
    jpeg_finish_compress(&cinfo);
    out.assign(mem, mem + memSize);
    jpeg_destroy_compress(&cinfo);
    std::free(mem);
    return true;
}

int ScaleDenom(TJPEGScale s) { return s == jsHalf ? 2 : s == jsQuarter ? 4 : s == jsEighth ? 8 : 1; }

} // namespace

struct TJPEGImage::Impl {
    std::vector<uint8_t> data; // the encoded file, valid when hasData
    QImage image;              // decoded pixels, valid when hasImage
    bool hasData = false;
    bool hasImage = false;
};

TJPEGImage::TJPEGImage() : impl_(std::make_unique<Impl>()) {}
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::Assign(TPersistent* Source) {
    if (!Source) {
        *impl_ = Impl{};
        Changed();
        return;
    }
    if (auto* j = dynamic_cast<TJPEGImage*>(Source)) {
        *impl_ = *j->impl_;
        quality_ = j->quality_;
        grayscale_ = j->grayscale_;
        scale_ = j->scale_;
        performance_ = j->performance_;
        progressiveEncoding_ = j->progressiveEncoding_;
        Changed();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        impl_->image = BitmapImage(b).convertToFormat(QImage::Format_RGB32);
        impl_->hasImage = true;
        impl_->hasData = false;
        impl_->data.clear();
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
    if (auto* b = dynamic_cast<TBitmap*>(Dest)) {
        DIBNeeded();
        b->SetPixelFormat(pf24bit);
        SetBitmapImage(b, impl_->image);
        return;
    }
    TGraphic::AssignTo(Dest);
}

void TJPEGImage::AssignToBitmap(TBitmap* bitmap) { AssignTo(bitmap); }

bool TJPEGImage::Empty() const { return !impl_->hasData && !impl_->hasImage; }

int TJPEGImage::Width() const {
    const_cast<TJPEGImage*>(this)->DIBNeeded();
    return impl_->image.width();
}

int TJPEGImage::Height() const {
    const_cast<TJPEGImage*>(this)->DIBNeeded();
    return impl_->image.height();
}

void TJPEGImage::SetCompressionQuality(int v) { quality_ = std::clamp(v, 1, 100); }

void TJPEGImage::SetGrayscale(bool v) {
    if (v == grayscale_) return;
    grayscale_ = v;
    if (impl_->hasData) impl_->hasImage = false;
    Changed();
}

void TJPEGImage::SetScale(TJPEGScale v) {
    if (v == scale_) return;
    scale_ = v;
    if (impl_->hasData) impl_->hasImage = false;
    Changed();
}

void TJPEGImage::SetPerformance(TJPEGPerformance v) {
    if (v == performance_) return;
    performance_ = v;
    if (impl_->hasData) impl_->hasImage = false;
}

void TJPEGImage::DIBNeeded() {
    if (impl_->hasImage || !impl_->hasData) return;
    QImage img;
    std::string err;
    if (!Decode(impl_->data, ScaleDenom(scale_), performance_ == jpBestSpeed, grayscale_, img, err))
        throw EInvalidGraphic(err);
    impl_->image = img;
    impl_->hasImage = true;
}

void TJPEGImage::JPEGNeeded() {
    if (impl_->hasData || !impl_->hasImage) return;
    std::vector<uint8_t> out;
    std::string err;
    if (!Encode(impl_->image, quality_, grayscale_, progressiveEncoding_, out, err)) throw EInvalidGraphic(err);
    impl_->data = std::move(out);
    impl_->hasData = true;
}

const std::vector<uint8_t>& TJPEGImage::Data() {
    JPEGNeeded();
    return impl_->data;
}

void TJPEGImage::LoadFromStream(TStream& stream) {
    int64_t n = stream.Size() - stream.Position();
    std::vector<uint8_t> bytes(size_t(std::max<int64_t>(0, n)));
    if (n > 0) stream.ReadBuffer(bytes.data(), n);
    // Decoded at once so that a bad file fails here and the image keeps
    // what it held.
    QImage img;
    std::string err;
    if (!Decode(bytes, ScaleDenom(scale_), performance_ == jpBestSpeed, grayscale_, img, err))
        throw EInvalidGraphic(err);
    impl_->data = std::move(bytes);
    impl_->image = img;
    impl_->hasData = impl_->hasImage = true;
    Changed();
}

void TJPEGImage::SaveToStream(TStream& stream) {
    JPEGNeeded();
    if (!impl_->data.empty()) stream.WriteBuffer(impl_->data.data(), int64_t(impl_->data.size()));
}

void TJPEGImage::Draw(TCanvas* canvas, const TRect& r) {
    if (Empty()) return;
    DIBNeeded();
    CanvasDrawImage(canvas, impl_->image, r, false, clNone);
}
