// TCanvas: binding to a device, the shape primitives, pixels, clipping,
// CopyRect's raster operations and the classic edges and frame controls.
// Every public call records itself (when a recorder is attached) and then
// paints (when a device is bound). Text output is in CanvasText.cpp.
#include <QPaintEngine>
#include <QPainterPath>
#include <QPolygon>
#include <algorithm>
#include <cmath>

#include "Graphics.h"
#include "CanvasImpl_p.h"
#include "Canvas_p.h"

// ------------------------------------------------------------- binding

QPainter* TCanvasPrivate::painter() {
    QPainter* p = external;
    if (!p && image && !image->isNull()) {
        if (!own) {
            own = std::make_unique<QPainter>(image);
        }
        p = own.get();
    }
    if (!p) return nullptr;
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setRenderHint(QPainter::TextAntialiasing, false);
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (hasClip)
        p->setClipRegion(clip);
    else
        p->setClipping(false);
    return p;
}

void TCanvasPrivate::flush() {
    if (own) {
        own->end();
        own.reset();
    }
}

void CanvasBindPainter(TCanvas* canvas, QPainter* painter, const QRect& deviceRect, int dpi) {
    auto* d = canvas->d();
    d->flush();
    d->external = painter;
    d->image = nullptr;
    d->deviceRect = deviceRect;
    d->dpi = dpi;
    d->hasClip = false;
    d->saved.clear();
    canvas->Font()->SetPixelsPerInch(dpi);
}

void CanvasBindImage(TCanvas* canvas, QImage* image) {
    auto* d = canvas->d();
    d->flush();
    d->external = nullptr;
    d->image = image;
    d->deviceRect = image->rect();
    d->dpi = 96;
    d->hasClip = false;
    d->saved.clear();
}

void CanvasUnbind(TCanvas* canvas) {
    auto* d = canvas->d();
    d->flush();
    d->external = nullptr;
    d->image = nullptr;
    d->hasClip = false;
    d->saved.clear();
}

void CanvasFlush(TCanvas* canvas) { canvas->d()->flush(); }

void CanvasSetRecorder(TCanvas* canvas, std::vector<TMetafileRecord>* records) { canvas->d()->recorder = records; }

// --------------------------------------------------------- pen and brush

namespace canvasimpl {

QPainter::CompositionMode PenComposition(TPenMode m) {
    switch (m) {
    case pmNot: return QPainter::RasterOp_NotDestination;
    case pmNotCopy: return QPainter::RasterOp_NotSource;
    case pmMergePenNot: return QPainter::RasterOp_SourceOrNotDestination;
    case pmMaskPenNot: return QPainter::RasterOp_SourceAndNotDestination;
    case pmMergeNotPen: return QPainter::RasterOp_NotSourceOrDestination;
    case pmMaskNotPen: return QPainter::RasterOp_NotSourceAndDestination;
    case pmMerge: return QPainter::RasterOp_SourceOrDestination;
    case pmNotMerge: return QPainter::RasterOp_NotSourceAndNotDestination;
    case pmMask: return QPainter::RasterOp_SourceAndDestination;
    case pmNotMask: return QPainter::RasterOp_NotSourceOrNotDestination;
    case pmXor: return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor: return QPainter::RasterOp_NotSourceXorDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

static QColor ModeColor(TPenMode m, TColor c) {
    if (m == pmBlack) return Qt::black;
    if (m == pmWhite) return Qt::white;
    return ToQColor(c);
}

QPen MakePen(const TPen& pen) {
    if (pen.Style() == psClear || pen.Mode() == pmNop) return QPen(Qt::NoPen);
    QPen q(ModeColor(pen.Mode(), pen.Color()));
    q.setWidth(std::max(1, pen.Width()));
    q.setCapStyle(Qt::FlatCap);
    q.setJoinStyle(Qt::MiterJoin);
    // Styled lines exist only one pixel wide; wider pens draw solid.
    if (pen.Width() <= 1) {
        switch (pen.Style()) {
        case psDash: q.setDashPattern({6, 2}); break;
        case psDot: q.setDashPattern({1, 1}); break;
        case psDashDot: q.setDashPattern({6, 2, 1, 2}); break;
        case psDashDotDot: q.setDashPattern({6, 2, 1, 2, 1, 2}); break;
        default: break;
        }
    }
    return q;
}

QBrush MakeBrush(const TBrush& brush, TPenMode mode) {
    if (brush.Bitmap() && !brush.Bitmap()->Empty()) {
        QImage pattern = BitmapImage(brush.Bitmap()).copy(0, 0, 8, 8);
        return QBrush(pattern);
    }
    QColor c = ModeColor(mode, brush.Color());
    switch (brush.Style()) {
    case bsClear: return QBrush(Qt::NoBrush);
    case bsHorizontal: return QBrush(c, Qt::HorPattern);
    case bsVertical: return QBrush(c, Qt::VerPattern);
    case bsFDiagonal: return QBrush(c, Qt::FDiagPattern);
    case bsBDiagonal: return QBrush(c, Qt::BDiagPattern);
    case bsCross: return QBrush(c, Qt::CrossPattern);
    case bsDiagCross: return QBrush(c, Qt::DiagCrossPattern);
    default: return QBrush(c);
    }
}

// Sets pen, brush and raster mode for a shape.
void Prepare(QPainter* p, const TCanvas* c, bool fill) {
    p->setPen(MakePen(*c->Pen()));
    p->setBrush(fill ? MakeBrush(*c->Brush(), c->Pen()->Mode()) : QBrush(Qt::NoBrush));
    p->setBackgroundMode(Qt::TransparentMode);
    p->setCompositionMode(PenComposition(c->Pen()->Mode()));
}

TMetafileRecord MakeRecord(const TCanvas* c, TMetafileRecordKind kind, const TRect& bounds) {
    TMetafileRecord r;
    r.Kind = kind;
    r.Bounds = bounds;
    r.PenColor = c->Pen()->Color();
    r.PenWidth = c->Pen()->Width();
    r.PenStyle = c->Pen()->Style();
    r.PenMode = c->Pen()->Mode();
    r.BrushColor = c->Brush()->Color();
    r.BrushStyle = c->Brush()->Style();
    r.FontName = c->Font()->Name();
    r.FontHeight = c->Font()->Height();
    r.FontStyle = c->Font()->Style();
    r.FontColor = c->Font()->Color();
    r.FontOrientation = c->Font()->Orientation();
    auto* d = c->d();
    if (d->hasClip) {
        r.Clipped = true;
        QRect b = d->clip.boundingRect();
        r.Clip = {b.left(), b.top(), b.right() + 1, b.bottom() + 1};
    }
    return r;
}

void Record(const TCanvas* c, TMetafileRecord&& r) {
    if (c->d()->recorder) c->d()->recorder->push_back(std::move(r));
}

TRect PointsBounds(const std::vector<TPoint>& pts, int grow) {
    if (pts.empty()) return {};
    TRect b{pts[0].X, pts[0].Y, pts[0].X, pts[0].Y};
    for (auto& p : pts) {
        b.Left = std::min(b.Left, p.X);
        b.Top = std::min(b.Top, p.Y);
        b.Right = std::max(b.Right, p.X);
        b.Bottom = std::max(b.Bottom, p.Y);
    }
    b.Left -= grow / 2;
    b.Top -= grow / 2;
    b.Right += grow - grow / 2;
    b.Bottom += grow - grow / 2;
    return b;
}

QPolygon ToQPolygon(const std::vector<TPoint>& pts) {
    QPolygon poly;
    poly.reserve(int(pts.size()));
    for (auto& p : pts) poly << QPoint(p.X, p.Y);
    return poly;
}

} // namespace canvasimpl

using namespace canvasimpl;

// --------------------------------------------------------------- canvas

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()), pen_(std::make_unique<TPen>()), brush_(std::make_unique<TBrush>()),
      d_(std::make_unique<TCanvasPrivate>()) {}

TCanvas::~TCanvas() { d_->flush(); }

bool TCanvas::HandleAllocated() const { return d_->bound(); }

namespace canvasimpl {
void RequireDevice(const TCanvas* c) {
    if (!c->d()->bound()) throw EInvalidOperation("Canvas does not allow drawing");
    // Owners repaint later, so telling them before the drawing is enough.
    if (c->OnChange) c->OnChange(const_cast<TCanvas*>(c));
}
} // namespace canvasimpl

void TCanvas::MoveTo(int x, int y) { penPos_ = {x, y}; }

void TCanvas::LineTo(int x, int y) {
    RequireDevice(this);
    TPoint from = penPos_;
    penPos_ = {x, y};
    auto rec = MakeRecord(this, mrLine, PointsBounds({from, {x, y}}, pen_->Width()));
    rec.Points = {from, {x, y}};
    Record(this, std::move(rec));
    if (QPainter* p = d_->painter()) {
        Prepare(p, this, false);
        // A flat-capped one-pixel line leaves out its end point, as LineTo must.
        if (from.X != x || from.Y != y) p->drawLine(QPoint(from.X, from.Y), QPoint(x, y));
    }
}

void TCanvas::FillRect(const TRect& r) {
    RequireDevice(this);
    Record(this, MakeRecord(this, mrFillRect, r));
    if (brush_->Style() == bsClear && !brush_->Bitmap()) return;
    if (QPainter* p = d_->painter()) {
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
        p->fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), MakeBrush(*brush_, pmCopy));
    }
}

void TCanvas::FrameRect(const TRect& r) {
    RequireDevice(this);
    Record(this, MakeRecord(this, mrFrameRect, r));
    if (IsRectEmpty(r)) return;
    if (QPainter* p = d_->painter()) {
        QBrush b = MakeBrush(*brush_, pmCopy);
        if (b.style() == Qt::NoBrush) return;
        p->fillRect(QRect(r.Left, r.Top, r.Width(), 1), b);
        p->fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), b);
        p->fillRect(QRect(r.Left, r.Top, 1, r.Height()), b);
        p->fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), b);
    }
}

namespace {
// The shape rectangle Qt strokes so that a one-pixel outline covers
// x1..x2-1 and y1..y2-1; without a pen the fill covers the same pixels.
QRect ShapeRect(const TCanvas* c, int x1, int y1, int x2, int y2) {
    if (x2 < x1) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
    bool noPen = c->Pen()->Style() == psClear || c->Pen()->Mode() == pmNop;
    int shrink = noPen ? 0 : 1;
    int w = c->Pen()->Width();
    if (c->Pen()->Style() == psInsideFrame && w > 1) {
        // Keeps the whole stroke inside the rectangle.
        return QRect(x1 + w / 2, y1 + w / 2, x2 - x1 - w, y2 - y1 - w);
    }
    return QRect(x1, y1, x2 - x1 - shrink, y2 - y1 - shrink);
}
} // namespace

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    RequireDevice(this);
    auto rec = MakeRecord(this, mrRectangle, {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
    rec.Points = {{x1, y1}, {x2, y2}};
    Record(this, std::move(rec));
    if (QPainter* p = d_->painter()) {
        Prepare(p, this, true);
        p->drawRect(ShapeRect(this, x1, y1, x2, y2));
    }
}

void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int x3, int y3) {
    RequireDevice(this);
    auto rec = MakeRecord(this, mrRoundRect, {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
    rec.Points = {{x1, y1}, {x2, y2}};
    rec.Param1 = x3;
    rec.Param2 = y3;
    Record(this, std::move(rec));
    if (QPainter* p = d_->painter()) {
        Prepare(p, this, true);
        p->drawRoundedRect(ShapeRect(this, x1, y1, x2, y2), x3 / 2.0, y3 / 2.0, Qt::AbsoluteSize);
    }
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    RequireDevice(this);
    auto rec = MakeRecord(this, mrEllipse, {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
    rec.Points = {{x1, y1}, {x2, y2}};
    Record(this, std::move(rec));
    if (QPainter* p = d_->painter()) {
        Prepare(p, this, true);
        p->drawEllipse(ShapeRect(this, x1, y1, x2, y2));
    }
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
    RequireDevice(this);
    auto rec = MakeRecord(this, mrPolygon, PointsBounds(points, std::max(1, pen_->Width())));
    rec.Points = points;
    Record(this, std::move(rec));
    if (points.empty()) return;
    if (QPainter* p = d_->painter()) {
        Prepare(p, this, true);
        p->drawPolygon(ToQPolygon(points), Qt::OddEvenFill);
    }
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
    RequireDevice(this);
    auto rec = MakeRecord(this, mrPolyline, PointsBounds(points, std::max(1, pen_->Width())));
    rec.Points = points;
    Record(this, std::move(rec));
    if (points.size() < 2) return;
    if (QPainter* p = d_->painter()) {
        Prepare(p, this, false);
        p->drawPolyline(ToQPolygon(points));
    }
}

void TCanvas::PolyPolyline(const std::vector<TPoint>& points, const std::vector<int>& counts) {
    size_t at = 0;
    for (int n : counts) {
        if (n < 0 || at + size_t(n) > points.size()) break;
        Polyline(std::vector<TPoint>(points.begin() + long(at), points.begin() + long(at + n)));
        at += size_t(n);
    }
}

void TCanvas::DrawFocusRect(const TRect& r) {
    RequireDevice(this);
    Record(this, MakeRecord(this, mrFocusRect, r));
    if (IsRectEmpty(r)) return;
    if (QPainter* p = d_->painter()) {
        // Every other pixel of the border inverted, so a second call erases.
        p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        for (int x = r.Left; x < r.Right; ++x) {
            if ((x - r.Left) % 2 == 0) {
                p->fillRect(x, r.Top, 1, 1, Qt::white);
                if (r.Bottom - 1 != r.Top) p->fillRect(x, r.Bottom - 1, 1, 1, Qt::white);
            }
        }
        for (int y = r.Top + 1; y < r.Bottom - 1; ++y) {
            if ((y - r.Top) % 2 == 0) {
                p->fillRect(r.Left, y, 1, 1, Qt::white);
                if (r.Right - 1 != r.Left) p->fillRect(r.Right - 1, y, 1, 1, Qt::white);
            }
        }
        p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

TColor TCanvas::Pixels(int x, int y) const {
    const QImage* img = d_->image;
    if (!img && d_->external && d_->external->device() && d_->external->device()->devType() == QInternal::Image)
        img = static_cast<const QImage*>(d_->external->device());
    if (!img) return clNone;
    d_->flush();
    if (!img->valid(x, y)) return clNone;
    return FromQColor(QColor(img->pixel(x, y)));
}

void TCanvas::SetPixels(int x, int y, TColor c) {
    RequireDevice(this);
    auto rec = MakeRecord(this, mrPixel, {x, y, x + 1, y + 1});
    rec.Points = {{x, y}};
    rec.Color = c;
    Record(this, std::move(rec));
    if (d_->image && !d_->external) {
        d_->flush();
        if (d_->hasClip && !d_->clip.contains(QPoint(x, y))) return;
        if (d_->image->valid(x, y)) d_->image->setPixelColor(x, y, ToQColor(c));
        return;
    }
    if (QPainter* p = d_->painter()) p->fillRect(x, y, 1, 1, ToQColor(c));
}

// ------------------------------------------------------------- clipping

TRect TCanvas::ClipRect() const {
    QRect b = d_->hasClip ? d_->clip.boundingRect() : d_->deviceRect;
    if (b.isEmpty()) return {};
    return {b.left(), b.top(), b.right() + 1, b.bottom() + 1};
}

void TCanvas::IntersectClipRect(const TRect& r) {
    QRegion add(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
    d_->clip = d_->hasClip ? d_->clip.intersected(add) : QRegion(d_->deviceRect).intersected(add);
    d_->hasClip = true;
}

void TCanvas::ExcludeClipRect(const TRect& r) {
    QRegion cut(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
    d_->clip = (d_->hasClip ? d_->clip : QRegion(d_->deviceRect)).subtracted(cut);
    d_->hasClip = true;
}

void TCanvas::SetClipRect(const TRect& r) {
    d_->clip = QRegion(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
    d_->hasClip = true;
}

void TCanvas::ResetClip() {
    d_->hasClip = false;
    d_->clip = QRegion();
}

int TCanvas::SaveDC() {
    d_->saved.push_back({d_->hasClip, d_->clip});
    return int(d_->saved.size());
}

void TCanvas::RestoreDC(int saved) {
    // A negative token counts back from the latest save, as Windows does.
    int index = saved < 0 ? int(d_->saved.size()) + saved + 1 : saved;
    if (index < 1 || index > int(d_->saved.size())) return;
    d_->hasClip = d_->saved[size_t(index - 1)].hasClip;
    d_->clip = d_->saved[size_t(index - 1)].clip;
    d_->saved.resize(size_t(index - 1));
}

// ------------------------------------------------------------ raster ops

QImage CanvasGrab(TCanvas* canvas, const TRect& r) {
    auto* d = canvas->d();
    const QImage* img = d->image;
    if (!img && d->external && d->external->device() && d->external->device()->devType() == QInternal::Image)
        img = static_cast<const QImage*>(d->external->device());
    if (!img) return QImage();
    d->flush();
    return img->copy(r.Left, r.Top, r.Width(), r.Height()).convertToFormat(QImage::Format_RGB32);
}

namespace {

// Evaluates a ternary raster operation bitwise on 32-bit pixels: bit i of
// the operation's index byte is the result for pattern/source/destination
// bits (i>>2, (i>>1)&1, i&1).
inline uint32_t Rop3(uint8_t op, uint32_t pat, uint32_t src, uint32_t dst) {
    uint32_t out = 0;
    for (int i = 0; i < 8; ++i) {
        if (!(op & (1u << i))) continue;
        uint32_t t = (i & 4 ? pat : ~pat) & (i & 2 ? src : ~src) & (i & 1 ? dst : ~dst);
        out |= t;
    }
    return out;
}

bool UsesSource(uint8_t op) { return ((op >> 2) & 0x33) != (op & 0x33); }

QPainter::CompositionMode RopComposition(TCopyMode mode, bool& ok) {
    ok = true;
    switch (mode) {
    case cmSrcCopy: return QPainter::CompositionMode_Source;
    case cmSrcAnd: return QPainter::RasterOp_SourceAndDestination;
    case cmSrcInvert: return QPainter::RasterOp_SourceXorDestination;
    case cmSrcPaint: return QPainter::RasterOp_SourceOrDestination;
    case cmNotSrcCopy: return QPainter::RasterOp_NotSource;
    case cmSrcErase: return QPainter::RasterOp_SourceAndNotDestination;
    case cmNotSrcErase: return QPainter::RasterOp_NotSourceAndNotDestination;
    case cmMergePaint: return QPainter::RasterOp_NotSourceOrDestination;
    default: ok = false; return QPainter::CompositionMode_Source;
    }
}

} // namespace

namespace {

// Puts src (already grabbed; null when the operation ignores the source)
// into dest through mode. Image-bound canvases get the exact ternary
// operation; painters on a raster device the matching composition mode;
// other devices (PDF, printers) cannot combine with what is on the page,
// so SRCAND there drops white pixels instead, which is what it looks like
// on white paper.
void Blit(TCanvas* c, QImage src, const TRect& dest, TCopyMode mode) {
    auto* d = c->d();
    uint8_t op = uint8_t((mode >> 16) & 0xFF);
    if (IsRectEmpty(dest)) return;
    if (UsesSource(op) && src.isNull()) return;
    if (!src.isNull()) src = src.convertToFormat(QImage::Format_RGB32);
    if (!src.isNull() && (src.width() != dest.Width() || src.height() != dest.Height()))
        src = src.scaled(dest.Width(), dest.Height(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const TBrush* brush = c->Brush();
    uint32_t pat = brush->Style() == bsClear ? 0 : uint32_t(ToQColor(brush->Color()).rgb());

    if (d->image && !d->external) {
        d->flush();
        QImage& dst = *d->image;
        bool bgr24 = dst.format() == QImage::Format_BGR888;
        if (bgr24) dst = dst.convertToFormat(QImage::Format_RGB32);
        QRect area = QRect(dest.Left, dest.Top, dest.Width(), dest.Height()).intersected(dst.rect());
        if (d->hasClip) area = area.intersected(d->clip.boundingRect());
        for (int y = area.top(); y <= area.bottom(); ++y) {
            auto* line = reinterpret_cast<uint32_t*>(dst.scanLine(y));
            const uint32_t* sline =
                src.isNull() ? nullptr : reinterpret_cast<const uint32_t*>(src.constScanLine(y - dest.Top));
            for (int x = area.left(); x <= area.right(); ++x) {
                if (d->hasClip && !d->clip.contains(QPoint(x, y))) continue;
                uint32_t s = sline ? sline[x - dest.Left] : 0;
                line[x] = 0xFF000000u | (Rop3(op, pat, s, line[x]) & 0xFFFFFF);
            }
        }
        if (bgr24) dst = dst.convertToFormat(QImage::Format_BGR888);
        return;
    }
    QPainter* p = d->painter();
    if (!p) return;
    QRect target(dest.Left, dest.Top, dest.Width(), dest.Height());
    bool raster = p->paintEngine() && p->paintEngine()->type() == QPaintEngine::Raster;
    bool ok = false;
    QPainter::CompositionMode cm = RopComposition(mode, ok);
    if (mode == cmWhiteness)
        p->fillRect(target, Qt::white);
    else if (mode == cmBlackness)
        p->fillRect(target, Qt::black);
    else if (mode == cmPatCopy)
        p->fillRect(target, MakeBrush(*brush, pmCopy));
    else if (mode == cmDstInvert) {
        if (raster) {
            p->setCompositionMode(QPainter::RasterOp_NotDestination);
            p->fillRect(target, Qt::white);
        }
    } else if (ok && raster) {
        p->setCompositionMode(cm);
        p->drawImage(target, src);
    } else if (mode == cmSrcAnd) {
        QImage keyed = src.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < keyed.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
            for (int x = 0; x < keyed.width(); ++x)
                if ((line[x] & 0xFFFFFF) == 0xFFFFFF) line[x] = 0;
        }
        p->drawImage(target, keyed);
    } else {
        // The rest combine the source with the brush alone here.
        QImage mixed = src;
        for (int y = 0; y < mixed.height(); ++y) {
            auto* line = reinterpret_cast<uint32_t*>(mixed.scanLine(y));
            for (int x = 0; x < mixed.width(); ++x) line[x] = 0xFF000000u | (Rop3(op, pat, line[x], 0) & 0xFFFFFF);
        }
        p->drawImage(target, mixed);
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

} // namespace

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
    RequireDevice(this);
    uint8_t op = uint8_t((copyMode_ >> 16) & 0xFF);
    QImage src;
    if (UsesSource(op) && source) src = CanvasGrab(source, sourceRect);
    if (d_->recorder) {
        auto rec = MakeRecord(this, mrImage, dest);
        rec.Param1 = int(copyMode_);
        if (!src.isNull()) {
            rec.Image = std::make_shared<TBitmap>();
            SetBitmapImage(rec.Image.get(), src);
        }
        Record(this, std::move(rec));
    }
    Blit(this, src, dest, copyMode_);
}

void CanvasDrawImage(TCanvas* canvas, const QImage& img, const TRect& r, bool transparent, TColor transparentColor) {
    RequireDevice(canvas);
    auto* d = canvas->d();
    if (d->recorder) {
        auto rec = MakeRecord(canvas, mrImage, r);
        rec.Param1 = int(transparent ? cmSrcCopy : canvas->CopyMode());
        rec.Param2 = transparent ? 1 : 0;
        rec.Color = transparent ? transparentColor : clNone;
        rec.Image = std::make_shared<TBitmap>();
        SetBitmapImage(rec.Image.get(), img.convertToFormat(QImage::Format_RGB32));
        Record(canvas, std::move(rec));
    }
    if (img.isNull() || IsRectEmpty(r)) return;
    // Pictures go through the canvas's copy mode like CopyRect, unless they
    // carry their own transparency.
    if (!transparent && !img.hasAlphaChannel() && canvas->CopyMode() != cmSrcCopy) {
        Blit(canvas, img, r, canvas->CopyMode());
        return;
    }
    QPainter* p = d->painter();
    if (!p) return;
    QImage shown = img;
    if (transparent) {
        shown = img.convertToFormat(QImage::Format_ARGB32);
        QRgb key = ToQColor(transparentColor).rgb() & 0xFFFFFF;
        for (int y = 0; y < shown.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(shown.scanLine(y));
            for (int x = 0; x < shown.width(); ++x)
                if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
        }
    }
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawImage(QRect(r.Left, r.Top, r.Width(), r.Height()), shown);
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
    if (!graphic || graphic->Empty()) return;
    graphic->Draw(this, r);
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor transparent) {
    if (!bitmap || bitmap->Empty()) return;
    QImage part = BitmapImage(bitmap).copy(source.Left, source.Top, source.Width(), source.Height());
    // The transparent colour's pixels take the brush colour.
    QImage under(part.size(), QImage::Format_RGB32);
    under.fill(ToQColor(brush_->Color()));
    QPainter p(&under);
    QImage keyed = part.convertToFormat(QImage::Format_ARGB32);
    QRgb key = ToQColor(transparent).rgb() & 0xFFFFFF;
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            if ((line[x] & 0xFFFFFF) == key) line[x] = 0;
    }
    p.drawImage(0, 0, keyed);
    p.end();
    CanvasDrawImage(this, under, dest, false, clNone);
}

// -------------------------------------------------- edges and frame controls

namespace {

void HLine(QPainter* p, int x1, int x2, int y, TColor c) {
    if (x2 > x1) p->fillRect(x1, y, x2 - x1, 1, ToQColor(c));
}
void VLine(QPainter* p, int x, int y1, int y2, TColor c) {
    if (y2 > y1) p->fillRect(x, y1, 1, y2 - y1, ToQColor(c));
}

// One ring of an edge: top/left in tl, bottom/right in br; r shrinks by one.
void Ring(QPainter* p, TRect& r, unsigned flags, TColor tl, TColor br) {
    if (p) {
        if (flags & BF_TOP) HLine(p, r.Left, r.Right, r.Top, tl);
        if (flags & BF_LEFT) VLine(p, r.Left, r.Top, r.Bottom, tl);
        if (flags & BF_BOTTOM) HLine(p, r.Left, r.Right, r.Bottom - 1, br);
        if (flags & BF_RIGHT) VLine(p, r.Right - 1, r.Top, r.Bottom, br);
    }
    if (flags & BF_TOP) ++r.Top;
    if (flags & BF_LEFT) ++r.Left;
    if (flags & BF_BOTTOM) --r.Bottom;
    if (flags & BF_RIGHT) --r.Right;
}

void PaintEdge(QPainter* p, TRect& r, unsigned edge, unsigned flags) {
    TRect inner = r;
    unsigned outer = edge & BDR_OUTER, in = edge & BDR_INNER;
    if (flags & (BF_FLAT | BF_MONO)) {
        TColor c = (flags & BF_MONO) ? clWindowFrame : clBtnShadow;
        if (outer) Ring(p, inner, flags, c, c);
        if (in)
            Ring(p, inner, flags, (flags & BF_MONO) ? clWindow : clBtnFace, (flags & BF_MONO) ? clWindow : clBtnFace);
    } else {
        if (outer == BDR_RAISEDOUTER)
            Ring(p, inner, flags, cl3DLight, cl3DDkShadow);
        else if (outer == BDR_SUNKENOUTER)
            Ring(p, inner, flags, clBtnShadow, clBtnHighlight);
        if (in == BDR_RAISEDINNER)
            Ring(p, inner, flags, clBtnHighlight, clBtnShadow);
        else if (in == BDR_SUNKENINNER)
            Ring(p, inner, flags, cl3DDkShadow, cl3DLight);
    }
    if (p && (flags & BF_MIDDLE) && !IsRectEmpty(inner))
        p->fillRect(inner.Left, inner.Top, inner.Width(), inner.Height(), ToQColor(clBtnFace));
    if (flags & BF_ADJUST) r = inner;
}

void Arrow(QPainter* p, const TRect& r, int dir, TColor c) {
    // dir: 0 up, 1 down, 2 left, 3 right.
    int cx = (r.Left + r.Right) / 2, cy = (r.Top + r.Bottom) / 2;
    int s = std::max(2, std::min(r.Width(), r.Height()) / 4);
    QPolygon t;
    if (dir == 0) t << QPoint(cx - s, cy + s / 2) << QPoint(cx + s, cy + s / 2) << QPoint(cx, cy - s / 2 - 1);
    if (dir == 1) t << QPoint(cx - s, cy - s / 2) << QPoint(cx + s, cy - s / 2) << QPoint(cx, cy + s / 2 + 1);
    if (dir == 2) t << QPoint(cx + s / 2, cy - s) << QPoint(cx + s / 2, cy + s) << QPoint(cx - s / 2 - 1, cy);
    if (dir == 3) t << QPoint(cx - s / 2, cy - s) << QPoint(cx - s / 2, cy + s) << QPoint(cx + s / 2 + 1, cy);
    p->setPen(Qt::NoPen);
    p->setBrush(ToQColor(c));
    p->drawPolygon(t);
}

void PaintFrameControl(QPainter* p, TRect& r, unsigned kind, unsigned state) {
    bool inactive = state & DFCS_INACTIVE, pushed = state & DFCS_PUSHED, checked = state & DFCS_CHECKED;
    bool flat = state & (DFCS_FLAT | DFCS_MONO);
    if (kind == DFC_BUTTON && (state & 0x1F) == DFCS_BUTTONPUSH) {
        TRect b = r;
        PaintEdge(p, b, (pushed || checked) ? EDGE_SUNKEN : EDGE_RAISED,
                  BF_RECT | BF_MIDDLE | BF_ADJUST | (flat ? BF_FLAT : 0));
        if (state & DFCS_ADJUSTRECT) r = b;
        return;
    }
    if (kind == DFC_BUTTON && (state & DFCS_BUTTONRADIO)) {
        int size = std::min(r.Width(), r.Height());
        QRect box(r.Left, r.Top, size - 1, size - 1);
        p->setRenderHint(QPainter::Antialiasing, false);
        p->setPen(ToQColor(flat ? clBtnShadow : clBtnShadow));
        p->setBrush(ToQColor(inactive || pushed ? clBtnFace : clWindow));
        p->drawEllipse(box);
        if (checked) {
            p->setPen(Qt::NoPen);
            p->setBrush(ToQColor(inactive ? clGrayText : clWindowText));
            p->drawEllipse(box.adjusted(size / 3, size / 3, -size / 3, -size / 3));
        }
        return;
    }
    if (kind == DFC_BUTTON) {
        // Check box: a 13x13 box is the classic size; larger rects draw larger.
        TRect b = r;
        if (flat) {
            PaintEdge(p, b, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_ADJUST);
        } else {
            PaintEdge(p, b, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        }
        bool grey = inactive || pushed || (state & DFCS_BUTTON3STATE);
        p->fillRect(b.Left, b.Top, b.Width(), b.Height(), ToQColor(grey ? clBtnFace : clWindow));
        if (checked) {
            QColor mark = ToQColor(inactive ? clGrayText : clWindowText);
            int w = b.Width(), h = b.Height();
            int x0 = b.Left + w * 2 / 9, y0 = b.Top + h * 4 / 9;
            for (int i = 0; i < 3 && i * 3 < w; ++i) {
                p->fillRect(x0 + i, y0 + i, 1, 3, mark);
            }
            for (int i = 0; i < 4 && i * 2 < w; ++i) {
                p->fillRect(x0 + 3 + i, y0 + 1 - i, 1, 3, mark);
            }
        }
        return;
    }
    if (kind == DFC_SCROLL) {
        TRect b = r;
        PaintEdge(p, b, pushed ? BDR_SUNKENOUTER : EDGE_RAISED,
                  BF_RECT | BF_MIDDLE | BF_ADJUST | ((pushed || flat) ? BF_FLAT : 0));
        unsigned part = state & 0xFF;
        int dir = part == DFCS_SCROLLUP ? 0 : part == DFCS_SCROLLLEFT ? 2 : part == DFCS_SCROLLRIGHT ? 3 : 1;
        if (pushed) OffsetRect(b, 1, 1);
        Arrow(p, b, dir, inactive ? clGrayText : clBtnText);
        return;
    }
    TRect b = r;
    PaintEdge(p, b, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_ADJUST);
}

} // namespace

void TCanvas::DrawEdge(TRect& r, unsigned edge, unsigned flags) {
    RequireDevice(this);
    auto rec = MakeRecord(this, mrEdge, r);
    rec.Param1 = int(edge);
    rec.Param2 = int(flags);
    Record(this, std::move(rec));
    QPainter* p = d_->painter();
    PaintEdge(p, r, edge, flags);
}

void TCanvas::DrawFrameControl(TRect& r, unsigned kind, unsigned state) {
    RequireDevice(this);
    auto rec = MakeRecord(this, mrFrameControl, r);
    rec.Param1 = int(kind);
    rec.Param2 = int(state);
    Record(this, std::move(rec));
    if (QPainter* p = d_->painter()) PaintFrameControl(p, r, kind, state);
}

bool DrawEdge(TCanvas* dc, TRect& r, unsigned edge, unsigned flags) {
    dc->DrawEdge(r, edge, flags);
    return true;
}

bool DrawFrameControl(TCanvas* dc, TRect& r, unsigned kind, unsigned state) {
    dc->DrawFrameControl(r, kind, state);
    return true;
}

bool DrawFocusRect(TCanvas* dc, const TRect& r) {
    dc->DrawFocusRect(r);
    return true;
}

int DrawText(TCanvas* dc, const std::string& text, int count, TRect& r, unsigned format) {
    return dc->DrawText(text, count, r, format);
}

void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width) {
    TPen* pen = canvas->Pen();
    TColor old = pen->Color();
    int oldWidth = pen->Width();
    pen->SetWidth(1);
    --r.Bottom;
    --r.Right;
    for (int i = 0; i < width; ++i) {
        pen->SetColor(topColor);
        canvas->Polyline({{r.Left, r.Bottom}, {r.Left, r.Top}, {r.Right, r.Top}});
        pen->SetColor(bottomColor);
        canvas->Polyline({{r.Right, r.Top}, {r.Right, r.Bottom}, {r.Left - 1, r.Bottom}});
        InflateRect(r, -1, -1);
    }
    ++r.Bottom;
    ++r.Right;
    pen->SetColor(old);
    pen->SetWidth(oldWidth);
}
