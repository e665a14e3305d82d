// Platform-only side of TCanvas: how widget, bitmap, printer and recorder
// code binds a canvas to what it draws on. Not for the application: it
// brings Qt in, which public headers must not.
//
// Binding states of a canvas (invariant: at most one device at a time; a
// recorder may be attached in addition to a device, or alone):
//
//   unbound --CanvasBindPainter--> painter (not owned; widget, printer)
//   unbound --CanvasBindImage----> image   (QPainter opened on first draw,
//                                           closed by CanvasFlush)
//   any     --CanvasUnbind-------> unbound
//   any     --CanvasSetRecorder--> also records every call (nullptr stops)
//
// A widget paints like this:
//   void W::paintEvent(QPaintEvent*) {
//       QPainter p(this);
//       CanvasPainterScope scope(canvas, &p, rect());
//       control->Paint();
//   }
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <memory>
#include <vector>

#include "Graphics.h"
#include "Metafile.h"

struct TCanvasPrivate {
    QPainter* external = nullptr;
    QImage* image = nullptr;
    std::unique_ptr<QPainter> own;
    std::vector<TMetafileRecord>* recorder = nullptr;
    QRect deviceRect;
    int dpi = 96;
    bool hasClip = false;
    QRegion clip;
    struct Saved {
        bool hasClip;
        QRegion clip;
    };
    std::vector<Saved> saved;
    // The current font as Qt sees it, rebuilt when the key changes.
    std::string fontKey;
    QFont qfont;
    std::unique_ptr<QFontMetrics> metrics;
    const QPaintDevice* metricsDevice = nullptr;

    // The painter to draw with, opened on the image if need be, with the
    // clip applied; nullptr when only recording.
    QPainter* painter();
    // Ends a painter this canvas opened, so the image's pixels can be read
    // or replaced directly.
    void flush();
    bool bound() const { return external || image || recorder; }
};

// Binds canvas to an active painter on a device of deviceRect pixels and
// dpi. The painter must outlive the binding.
void CanvasBindPainter(TCanvas* canvas, QPainter* painter, const QRect& deviceRect, int dpi = 96);
// Binds canvas to image (not owned); image must outlive the binding.
void CanvasBindImage(TCanvas* canvas, QImage* image);
void CanvasUnbind(TCanvas* canvas);
void CanvasFlush(TCanvas* canvas);
// Records every drawing call into records (not owned) from now on.
void CanvasSetRecorder(TCanvas* canvas, std::vector<TMetafileRecord>* records);

class CanvasPainterScope {
public:
    CanvasPainterScope(TCanvas* canvas, QPainter* painter, const QRect& deviceRect, int dpi = 96) : canvas_(canvas) {
        CanvasBindPainter(canvas, painter, deviceRect, dpi);
    }
    ~CanvasPainterScope() { CanvasUnbind(canvas_); }
    CanvasPainterScope(const CanvasPainterScope&) = delete;
    CanvasPainterScope& operator=(const CanvasPainterScope&) = delete;

private:
    TCanvas* canvas_;
};

// Makes sure a QApplication exists (fonts and printers need one): creates
// one, offscreen when no display is set, if the program has not. Window
// code that creates its own must reuse QApplication::instance() instead.
void EnsureGuiApplication();

QColor ToQColor(TColor c);
TColor FromQColor(const QColor& c);
// The Qt font for f on a device of dpi (family substitution included).
QFont ToQFont(const TFont& f, int dpi);
// Registers the Chinese-capable substitutes for the family names windows
// ask for ("宋体", "Arial", ...). Idempotent; the canvas calls it on first use.
void InstallFontSubstitutions();

// Paints img stretched into r on canvas (recorded as mrImage); with
// transparent, pixels of transparentColor are left out.
void CanvasDrawImage(TCanvas* canvas, const QImage& img, const TRect& r, bool transparent, TColor transparentColor);
// A copy of what canvas shows inside r (from its image; a painter-bound
// canvas reads its device when it is an image; otherwise a null image).
QImage CanvasGrab(TCanvas* canvas, const TRect& r);

// The most pixels a picture file may declare: 64 Mi, 256 MiB as 32-bit
// pixels, the limit Qt's own image readers apply. A file of a few bytes can
// declare 65,500 x 65,500; such a file is refused as an invalid picture
// before anything is allocated for it.
inline constexpr uint64_t kMaxPicturePixels = uint64_t(64) << 20;

// The pixels behind a bitmap (Format_RGB32, or Format_BGR888 for pf24bit).
QImage& BitmapImage(TBitmap* bitmap);
const QImage& BitmapImage(const TBitmap* bitmap);
void SetBitmapImage(TBitmap* bitmap, const QImage& img);
