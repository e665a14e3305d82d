// Image lists as ARGB QImages; transparency is baked in when an image is
// added, so drawing is a plain alpha blend on any canvas.
#include "ImgList.h"

#include <QImage>
#include <QPainter>

#include "Canvas_p.h"

struct TImageList::Impl {
    std::vector<QImage> images;
};

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner), impl_(new Impl) {}
TImageList::~TImageList() { delete impl_; }

int TImageList::Count() const { return int(impl_->images.size()); }

static void Check(int i, int n) {
    if (i < 0 || i >= n) throw EInvalidOperation("Invalid ImageList Index");
}

int TImageList::Add(TBitmap* image, TBitmap* mask) {
    int first = Count();
    QImage src = BitmapImage(image).convertToFormat(QImage::Format_ARGB32);
    QImage m = mask ? BitmapImage(mask).convertToFormat(QImage::Format_RGB32) : QImage();
    int n = std::max(1, src.width() / std::max(1, width_));
    for (int k = 0; k < n; ++k) {
        QImage part = src.copy(k * width_, 0, width_, height_);
        if (!m.isNull()) {
            for (int y = 0; y < part.height(); ++y)
                for (int x = 0; x < part.width(); ++x)
                    if (qGray(m.pixel(std::min(m.width() - 1, k * width_ + x), std::min(m.height() - 1, y))) > 127)
                        part.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
        impl_->images.push_back(part);
    }
    if (OnChange) OnChange(this);
    return first;
}

int TImageList::AddMasked(TBitmap* image, TColor maskColor) {
    int first = Count();
    QImage src = BitmapImage(image).convertToFormat(QImage::Format_ARGB32);
    QRgb key = ToQColor(ColorToRGB(maskColor)).rgb();
    int n = std::max(1, src.width() / std::max(1, width_));
    for (int k = 0; k < n; ++k) {
        QImage part = src.copy(k * width_, 0, width_, height_);
        for (int y = 0; y < part.height(); ++y)
            for (int x = 0; x < part.width(); ++x)
                if ((part.pixel(x, y) & 0xFFFFFF) == (key & 0xFFFFFF)) part.setPixel(x, y, qRgba(0, 0, 0, 0));
        impl_->images.push_back(part);
    }
    if (OnChange) OnChange(this);
    return first;
}

void TImageList::Delete(int i) {
    Check(i, Count());
    impl_->images.erase(impl_->images.begin() + i);
    if (OnChange) OnChange(this);
}

void TImageList::Clear() {
    impl_->images.clear();
    if (OnChange) OnChange(this);
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int i, bool enabled) const {
    Check(i, Count());
    QImage img = impl_->images[size_t(i)];
    if (!enabled) {
        QImage grey = img.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_ARGB32);
        grey.setAlphaChannel(img.convertToFormat(QImage::Format_Alpha8));
        img = grey;
    }
    CanvasDrawImage(canvas, img, Bounds(x, y, img.width(), img.height()), false, clNone);
}

void TImageList::GetBitmap(int i, TBitmap* image) const {
    Check(i, Count());
    QImage flat(width_, height_, QImage::Format_RGB32);
    flat.fill(bkColor_ == clNone ? Qt::white : ToQColor(ColorToRGB(bkColor_)));
    QPainter p(&flat);
    p.drawImage(0, 0, impl_->images[size_t(i)]);
    p.end();
    SetBitmapImage(image, flat);
}

const void* TImageList::ImageHandle(int i) const {
    Check(i, Count());
    return &impl_->images[size_t(i)];
}
