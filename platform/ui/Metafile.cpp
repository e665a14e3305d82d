// The metafile: records kept as a display list, played back scaled, and
// stored in a small binary format of our own ("QMF1").
#include "Metafile.h"

#include <QBuffer>
#include <QImage>
#include <cstring>

#include "Canvas_p.h"

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

void TMetafile::Assign(TPersistent* Source) {
    if (!Source) {
        Clear();
        return;
    }
    if (auto* m = dynamic_cast<TMetafile*>(Source)) {
        records_ = m->records_;
        width_ = m->width_;
        height_ = m->height_;
        mmWidth_ = m->mmWidth_;
        mmHeight_ = m->mmHeight_;
        Changed();
        return;
    }
    TPersistent::Assign(Source);
}

int TMetafile::MMWidth() const { return mmWidth_ ? mmWidth_ : width_ * 2540 / 96; }
int TMetafile::MMHeight() const { return mmHeight_ ? mmHeight_ : height_ * 2540 / 96; }

void TMetafile::Clear() {
    records_.clear();
    width_ = height_ = mmWidth_ = mmHeight_ = 0;
    Changed();
}

void TMetafile::SetRecords(std::vector<TMetafileRecord> records) {
    records_ = std::move(records);
    if (width_ == 0 || height_ == 0) {
        TRect all;
        for (auto& r : records_) UnionRect(all, all, r.Bounds);
        if (width_ == 0) width_ = std::max(0, all.Right);
        if (height_ == 0) height_ = std::max(0, all.Bottom);
    }
    Changed();
}

std::vector<const TMetafileRecord*> TMetafile::TextRecords() const {
    std::vector<const TMetafileRecord*> out;
    for (auto& r : records_)
        if (r.Kind == mrText) out.push_back(&r);
    return out;
}

namespace {

// Maps the metafile's frame onto the target rectangle.
struct Mapper {
    TRect target;
    double sx, sy;
    int X(int x) const { return target.Left + int(std::lround(x * sx)); }
    int Y(int y) const { return target.Top + int(std::lround(y * sy)); }
    TPoint P(TPoint p) const { return {X(p.X), Y(p.Y)}; }
    TRect R(const TRect& r) const { return {X(r.Left), Y(r.Top), X(r.Right), Y(r.Bottom)}; }
};

void ApplyStyle(TCanvas* c, const TMetafileRecord& r, const Mapper& m) {
    c->Pen()->SetColor(r.PenColor);
    c->Pen()->SetWidth(std::max(1, int(std::lround(r.PenWidth * std::min(m.sx, m.sy)))));
    c->Pen()->SetStyle(r.PenStyle);
    c->Pen()->SetMode(r.PenMode);
    c->Brush()->SetColor(r.BrushColor);
    c->Brush()->SetStyle(r.BrushStyle);
    c->Font()->SetName(r.FontName);
    int h = int(std::lround(r.FontHeight * m.sy));
    c->Font()->SetHeight(h == 0 ? (r.FontHeight < 0 ? -1 : 1) : h);
    c->Font()->SetStyle(r.FontStyle);
    c->Font()->SetColor(r.FontColor);
    c->Font()->SetOrientation(r.FontOrientation);
}

void Play(TCanvas* c, const TMetafileRecord& r, const Mapper& m) {
    auto pts = r.Points;
    for (auto& p : pts) p = m.P(p);
    TRect b = m.R(r.Bounds);
    switch (r.Kind) {
    case mrLine:
        if (pts.size() == 2) {
            c->MoveTo(pts[0].X, pts[0].Y);
            c->LineTo(pts[1].X, pts[1].Y);
        }
        break;
    case mrPolyline: c->Polyline(pts); break;
    case mrPolygon: c->Polygon(pts); break;
    case mrFillRect: c->FillRect(b); break;
    case mrFrameRect: c->FrameRect(b); break;
    case mrRectangle:
        if (pts.size() == 2) c->Rectangle(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y);
        break;
    case mrEllipse:
        if (pts.size() == 2) c->Ellipse(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y);
        break;
    case mrRoundRect:
        if (pts.size() == 2)
            c->RoundRect(pts[0].X, pts[0].Y, pts[1].X, pts[1].Y, int(std::lround(r.Param1 * m.sx)),
                         int(std::lround(r.Param2 * m.sy)));
        break;
    case mrFocusRect: c->DrawFocusRect(b); break;
    case mrPixel:
        if (!pts.empty()) c->SetPixels(pts[0].X, pts[0].Y, r.Color);
        break;
    case mrText:
        if (!pts.empty()) {
            if (r.Param1 == 0) c->Brush()->SetStyle(bsClear);
            c->TextOut(pts[0].X, pts[0].Y, r.Text);
        }
        break;
    case mrImage: {
        TCopyMode old = c->CopyMode();
        c->SetCopyMode(TCopyMode(uint32_t(r.Param1)));
        if (r.Image && !r.Image->Empty())
            CanvasDrawImage(c, BitmapImage(r.Image.get()), b, r.Param2 != 0, r.Color);
        else if (r.Param1 != int(cmSrcCopy))
            c->CopyRect(b, nullptr, TRect{});
        c->SetCopyMode(old);
        break;
    }
    case mrEdge: c->DrawEdge(b, unsigned(r.Param1), unsigned(r.Param2)); break;
    case mrFrameControl: c->DrawFrameControl(b, unsigned(r.Param1), unsigned(r.Param2)); break;
    }
}

} // namespace

void TMetafile::Draw(TCanvas* canvas, const TRect& r) {
    if (records_.empty() || width_ <= 0 || height_ <= 0) return;
    Mapper m{r, double(r.Width()) / width_, double(r.Height()) / height_};
    TFont font;
    TPen pen;
    TBrush brush;
    font.SetPixelsPerInch(canvas->Font()->PixelsPerInch());
    font.Assign(canvas->Font());
    pen.Assign(canvas->Pen());
    brush.Assign(canvas->Brush());
    TPoint penPos = canvas->PenPos();
    int saved = canvas->SaveDC();
    for (auto& rec : records_) {
        ApplyStyle(canvas, rec, m);
        if (rec.Clipped) {
            int inner = canvas->SaveDC();
            canvas->IntersectClipRect(m.R(rec.Clip));
            Play(canvas, rec, m);
            canvas->RestoreDC(inner);
        } else {
            Play(canvas, rec, m);
        }
    }
    canvas->RestoreDC(saved);
    canvas->Font()->Assign(&font);
    canvas->Pen()->Assign(&pen);
    canvas->Brush()->Assign(&brush);
    canvas->SetPenPos(penPos);
}

// ---------------------------------------------------------- stream format

namespace {

constexpr char kMagic[4] = {'Q', 'M', 'F', '1'};

struct Writer {
    std::string out;
    void I(int32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }
    void S(const std::string& s) {
        I(int32_t(s.size()));
        out += s;
    }
};

struct Reader {
    const std::string& in;
    size_t at = 0;
    int32_t I() {
        if (at + 4 > in.size()) throw EInvalidGraphic("Metafile is not valid");
        int32_t v;
        std::memcpy(&v, in.data() + at, 4);
        at += 4;
        return v;
    }
    std::string S() {
        int32_t n = I();
        if (n < 0 || at + size_t(n) > in.size()) throw EInvalidGraphic("Metafile is not valid");
        std::string s = in.substr(at, size_t(n));
        at += size_t(n);
        return s;
    }
};

} // namespace

void TMetafile::SaveToStream(TStream& stream) {
    Writer w;
    w.out.append(kMagic, 4);
    w.I(width_);
    w.I(height_);
    w.I(mmWidth_);
    w.I(mmHeight_);
    w.I(int32_t(records_.size()));
    for (auto& r : records_) {
        w.I(r.Kind);
        w.I(int32_t(r.Points.size()));
        for (auto& p : r.Points) {
            w.I(p.X);
            w.I(p.Y);
        }
        w.I(r.Bounds.Left);
        w.I(r.Bounds.Top);
        w.I(r.Bounds.Right);
        w.I(r.Bounds.Bottom);
        w.I(r.Param1);
        w.I(r.Param2);
        w.S(r.Text);
        w.I(r.Color);
        w.I(r.PenColor);
        w.I(r.PenWidth);
        w.I(r.PenStyle);
        w.I(r.PenMode);
        w.I(r.BrushColor);
        w.I(r.BrushStyle);
        w.S(r.FontName);
        w.I(r.FontHeight);
        w.I(int32_t(r.FontStyle.Bits()));
        w.I(r.FontColor);
        w.I(r.FontOrientation);
        w.I(r.Clipped);
        w.I(r.Clip.Left);
        w.I(r.Clip.Top);
        w.I(r.Clip.Right);
        w.I(r.Clip.Bottom);
        std::string png;
        if (r.Image && !r.Image->Empty()) {
            QByteArray bytes;
            QBuffer buf(&bytes);
            buf.open(QIODevice::WriteOnly);
            BitmapImage(r.Image.get()).save(&buf, "BMP");
            png.assign(bytes.constData(), size_t(bytes.size()));
        }
        w.S(png);
    }
    stream.WriteBuffer(w.out.data(), int64_t(w.out.size()));
}

void TMetafile::LoadFromStream(TStream& stream) {
    int64_t n = stream.Size() - stream.Position();
    std::string in(size_t(std::max<int64_t>(0, n)), '\0');
    if (n > 0) stream.ReadBuffer(in.data(), n);
    if (in.size() < 4 || std::memcmp(in.data(), kMagic, 4) != 0) throw EInvalidGraphic("Metafile is not valid");
    Reader rd{in, 4};
    int w = rd.I(), h = rd.I(), mw = rd.I(), mh = rd.I();
    int count = rd.I();
    if (count < 0) throw EInvalidGraphic("Metafile is not valid");
    std::vector<TMetafileRecord> recs;
    for (int i = 0; i < count; ++i) {
        TMetafileRecord r;
        int kind = rd.I();
        if (kind < mrLine || kind > mrFrameControl) throw EInvalidGraphic("Metafile is not valid");
        r.Kind = TMetafileRecordKind(kind);
        int np = rd.I();
        if (np < 0 || size_t(np) * 8 > in.size()) throw EInvalidGraphic("Metafile is not valid");
        for (int k = 0; k < np; ++k) {
            int x = rd.I();
            int y = rd.I();
            r.Points.push_back({x, y});
        }
        r.Bounds.Left = rd.I();
        r.Bounds.Top = rd.I();
        r.Bounds.Right = rd.I();
        r.Bounds.Bottom = rd.I();
        r.Param1 = rd.I();
        r.Param2 = rd.I();
        r.Text = rd.S();
        r.Color = rd.I();
        r.PenColor = rd.I();
        r.PenWidth = rd.I();
        r.PenStyle = TPenStyle(rd.I() % 7);
        r.PenMode = TPenMode(rd.I() & 15);
        r.BrushColor = rd.I();
        r.BrushStyle = TBrushStyle(rd.I() & 7);
        r.FontName = rd.S();
        r.FontHeight = rd.I();
        unsigned bits = unsigned(rd.I());
        for (int s = fsBold; s <= fsStrikeOut; ++s)
            if (bits & (1u << s)) r.FontStyle << TFontStyle(s);
        r.FontColor = rd.I();
        r.FontOrientation = rd.I();
        r.Clipped = rd.I() != 0;
        r.Clip.Left = rd.I();
        r.Clip.Top = rd.I();
        r.Clip.Right = rd.I();
        r.Clip.Bottom = rd.I();
        std::string img = rd.S();
        if (!img.empty()) {
            QImage q;
            if (!q.loadFromData(reinterpret_cast<const uchar*>(img.data()), int(img.size()), "BMP"))
                throw EInvalidGraphic("Metafile is not valid");
            r.Image = std::make_shared<TBitmap>();
            SetBitmapImage(r.Image.get(), q);
        }
        recs.push_back(std::move(r));
    }
    records_ = std::move(recs);
    width_ = w;
    height_ = h;
    mmWidth_ = mw;
    mmHeight_ = mh;
    Changed();
}

// --------------------------------------------------------- recording canvas

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, TCanvas* referenceDevice) : metafile_(metafile) {
    CanvasSetRecorder(this, &records_);
    if (referenceDevice) d()->dpi = referenceDevice->d()->dpi;
}

TMetafileCanvas::~TMetafileCanvas() {
    CanvasSetRecorder(this, nullptr);
    if (metafile_) metafile_->SetRecords(std::move(records_));
}

std::vector<const TMetafileRecord*> TMetafileCanvas::TextRecords() const {
    std::vector<const TMetafileRecord*> out;
    for (auto& r : records_)
        if (r.Kind == mrText) out.push_back(&r);
    return out;
}
