// Raster pictures: the TGraphic base's file handling, TBitmap (BMP files,
// pixel formats, scan lines, transparency), TIcon (.ico) and TPicture, the
// holder that chooses a graphic class by file extension.
#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include "Graphics.h"
#include "Jpeg.h"
#include "Metafile.h"
#include "SysUtils.h"
#include "Canvas_p.h"

namespace {

std::string ReadRest(TStream& stream) {
    int64_t n = stream.Size() - stream.Position();
    std::string bytes(size_t(std::max<int64_t>(0, n)), '\0');
    if (n > 0) stream.ReadBuffer(bytes.data(), n);
    return bytes;
}

// Decodes a BMP or ICO file's bytes; false for a bad file and for one
// whose header declares more than kMaxPicturePixels, which is refused from
// the header alone.
bool ReadPicture(const std::string& bytes, const char* format, QImage& out) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize declared = reader.size();
    if (declared.isValid() && uint64_t(declared.width()) * uint64_t(declared.height()) > kMaxPicturePixels)
        return false;
    out = reader.read();
    return !out.isNull();
}

void WriteAll(TStream& stream, const QByteArray& bytes) {
    if (!bytes.isEmpty()) stream.WriteBuffer(bytes.constData(), bytes.size());
}

} // namespace

// --------------------------------------------------------------- TGraphic

void TGraphic::SetTransparent(bool v) {
    if (v != transparent_) {
        transparent_ = v;
        Changed();
    }
}

void TGraphic::Changed() {
    modified_ = true;
    if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream fs(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(fs);
}

void TGraphic::SaveToFile(const std::string& fileName) {
    TFileStream fs(fileName, fmCreate);
    SaveToStream(fs);
}

// ---------------------------------------------------------------- TBitmap

struct TBitmapPrivate {
    QImage img;
    TPixelFormat format = pfDevice;
    // A size with one side 0 has no image; it is kept so that setting the
    // width and then the height gives the bitmap both.
    int emptyWidth = 0, emptyHeight = 0;
};

namespace {

QImage::Format QtFormat(TPixelFormat f) { return f == pf24bit ? QImage::Format_BGR888 : QImage::Format_RGB32; }

// Black and white only: what is white stays white, everything else turns
// black, as a colour-to-monochrome copy against a white background does.
void ToMonochrome(QImage& img) {
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) line[x] = (line[x] & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFFFFu : 0xFF000000u;
    }
}

} // namespace

TBitmap::TBitmap() : d_(std::make_unique<TBitmapPrivate>()) {}

TBitmap::~TBitmap() {
    if (canvas_) CanvasUnbind(canvas_.get());
}

QImage& BitmapImage(TBitmap* bitmap) {
    if (bitmap->Canvas()) CanvasFlush(bitmap->Canvas());
    return bitmap->d()->img;
}

const QImage& BitmapImage(const TBitmap* bitmap) { return BitmapImage(const_cast<TBitmap*>(bitmap)); }

void SetBitmapImage(TBitmap* bitmap, const QImage& img) {
    TCanvas* c = bitmap->Canvas();
    CanvasFlush(c);
    auto* d = bitmap->d();
    d->img = img.convertToFormat(QtFormat(d->format));
    if (d->format == pf1bit) ToMonochrome(d->img);
    CanvasBindImage(c, &d->img);
}

void TBitmap::Assign(TPersistent* Source) {
    if (!Source) {
        SetBitmapImage(this, QImage());
        Changed();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        if (b == this) return;
        d_->format = b->d_->format;
        SetBitmapImage(this, BitmapImage(b));
        transparent_ = b->transparent_;
        transparentMode_ = b->transparentMode_;
        transparentColor_ = b->transparentColor_;
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        // Any other graphic is rendered onto a white bitmap of its size.
        SetSize(g->Width(), g->Height());
        Canvas()->Brush()->SetColor(clWhite);
        Canvas()->Brush()->SetStyle(bsSolid);
        Canvas()->FillRect(Rect(0, 0, g->Width(), g->Height()));
        Canvas()->Draw(0, 0, g);
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

bool TBitmap::Empty() const { return d_->img.isNull() || d_->img.width() == 0 || d_->img.height() == 0; }
int TBitmap::Width() const { return d_->img.isNull() ? d_->emptyWidth : d_->img.width(); }
int TBitmap::Height() const { return d_->img.isNull() ? d_->emptyHeight : d_->img.height(); }
void TBitmap::SetWidth(int v) { SetSize(v, Height()); }
void TBitmap::SetHeight(int v) { SetSize(Width(), v); }

void TBitmap::SetSize(int w, int h) {
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == Width() && h == Height()) return;
    d_->emptyWidth = w;
    d_->emptyHeight = h;
    // What was drawn stays at the top left; new area is white.
    QImage next(w, h, QtFormat(d_->format));
    next.fill(Qt::white);
    if (!Empty() && w > 0 && h > 0) {
        QImage& old = BitmapImage(this);
        QPainter p(&next);
        p.drawImage(0, 0, old);
    }
    SetBitmapImage(this, next);
    Changed();
}

TPixelFormat TBitmap::PixelFormat() const { return d_->format; }

void TBitmap::SetPixelFormat(TPixelFormat v) {
    if (v == d_->format) return;
    QImage current = BitmapImage(this);
    d_->format = v;
    SetBitmapImage(this, current);
    Changed();
}

uint8_t* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
    modified_ = true;
    return BitmapImage(this).scanLine(row);
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed && transparentColor_ != clDefault) return transparentColor_;
    if (Empty()) return clDefault;
    const QImage& img = BitmapImage(this);
    return FromQColor(img.pixelColor(0, img.height() - 1));
}

void TBitmap::SetTransparentColor(TColor c) {
    transparentColor_ = c;
    transparentMode_ = c == clDefault ? tmAuto : tmFixed;
    Changed();
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TCanvas>();
        CanvasBindImage(canvas_.get(), &d_->img);
        canvas_->OnChange = [this](TObject*) {
            modified_ = true;
            if (OnChange) OnChange(this);
        };
    }
    return canvas_.get();
}

void TBitmap::LoadFromStream(TStream& stream) {
    std::string bytes = ReadRest(stream);
    QImage img;
    if (bytes.size() < 2 || bytes[0] != 'B' || bytes[1] != 'M' || !ReadPicture(bytes, "BMP", img))
        throw EInvalidGraphic("Bitmap image is not valid");
    d_->format = img.depth() == 24 ? pf24bit : img.depth() == 1 ? pf1bit : pfDevice;
    SetBitmapImage(this, img);
    Changed();
}

void TBitmap::SaveToStream(TStream& stream) {
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    BitmapImage(this).convertToFormat(QImage::Format_RGB888).save(&buf, "BMP");
    WriteAll(stream, out);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
    if (Empty()) return;
    CanvasDrawImage(canvas, BitmapImage(this), r, Transparent(), TransparentColor());
}

// ------------------------------------------------------------------ TIcon

struct TIconPrivate {
    QImage img;
    QByteArray bytes;
};

TIcon::TIcon() : d_(std::make_unique<TIconPrivate>()) {}
TIcon::~TIcon() = default;

void TIcon::Assign(TPersistent* Source) {
    if (!Source) {
        *d_ = TIconPrivate{};
        Changed();
        return;
    }
    if (auto* i = dynamic_cast<TIcon*>(Source)) {
        *d_ = *i->d_;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

bool TIcon::Empty() const { return d_->img.isNull(); }
int TIcon::Width() const { return d_->img.width(); }
int TIcon::Height() const { return d_->img.height(); }
void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }

void TIcon::LoadFromStream(TStream& stream) {
    std::string bytes = ReadRest(stream);
    QImage img;
    // An icon file starts with reserved 0 and type 1.
    bool header = bytes.size() >= 6 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 1 && bytes[3] == 0;
    if (!header || !ReadPicture(bytes, "ICO", img)) throw EInvalidGraphic("Icon image is not valid");
    d_->img = img.convertToFormat(QImage::Format_ARGB32);
    d_->bytes = QByteArray(bytes.data(), qsizetype(bytes.size()));
    Changed();
}

void TIcon::SaveToStream(TStream& stream) {
    if (!d_->bytes.isEmpty()) {
        WriteAll(stream, d_->bytes);
        return;
    }
    QByteArray out;
    QBuffer buf(&out);
    buf.open(QIODevice::WriteOnly);
    d_->img.save(&buf, "ICO");
    WriteAll(stream, out);
}

void TIcon::Draw(TCanvas* canvas, const TRect& r) {
    if (Empty()) return;
    CanvasDrawImage(canvas, d_->img, r, false, clNone);
}

// --------------------------------------------------------------- TPicture

namespace {

std::unique_ptr<TGraphic> NewGraphicLike(TGraphic* g) {
    if (dynamic_cast<TBitmap*>(g)) return std::make_unique<TBitmap>();
    if (dynamic_cast<TJPEGImage*>(g)) return std::make_unique<TJPEGImage>();
    if (dynamic_cast<TIcon*>(g)) return std::make_unique<TIcon>();
    if (dynamic_cast<TMetafile*>(g)) return std::make_unique<TMetafile>();
    return std::make_unique<TBitmap>();
}

} // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
    // Drawing on the held bitmap, or loading into it, is a change of the
    // picture too: a control showing it repaints.
    if (graphic_ && !graphic_->OnChange)
        graphic_->OnChange = [this](TObject*) {
            if (OnChange) OnChange(this);
        };
    if (OnChange) OnChange(this);
}

void TPicture::Assign(TPersistent* Source) {
    if (!Source) {
        SetGraphic(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        if (p != this) SetGraphic(p->Graphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::SetGraphic(TGraphic* graphic) {
    if (!graphic) {
        graphic_.reset();
        Changed();
        return;
    }
    if (graphic == graphic_.get()) return;
    auto copy = NewGraphicLike(graphic);
    copy->Assign(graphic);
    graphic_ = std::move(copy);
    Changed();
}

TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(graphic_.get())) {
        graphic_ = std::make_unique<TBitmap>();
        Changed();
    }
    return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon() {
    if (!dynamic_cast<TIcon*>(graphic_.get())) {
        graphic_ = std::make_unique<TIcon>();
        Changed();
    }
    return static_cast<TIcon*>(graphic_.get());
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::LoadFromFile(const std::string& fileName) {
    std::string ext = ExtractFileExt(fileName);
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    std::string lower = LowerCase(ext);
    std::unique_ptr<TGraphic> next;
    if (lower == "bmp")
        next = std::make_unique<TBitmap>();
    else if (lower == "jpg" || lower == "jpeg")
        next = std::make_unique<TJPEGImage>();
    else if (lower == "ico")
        next = std::make_unique<TIcon>();
    else if (lower == "wmf" || lower == "emf")
        next = std::make_unique<TMetafile>();
    else
        throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    // Loads aside and swaps only on success, so a bad file leaves the
    // picture showing what it showed.
    next->LoadFromFile(fileName);
    graphic_ = std::move(next);
    Changed();
}

void TPicture::SaveToFile(const std::string& fileName) {
    if (graphic_) graphic_->SaveToFile(fileName);
}
