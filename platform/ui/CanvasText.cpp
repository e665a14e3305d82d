// Text on a canvas: TextOut/TextRect, measuring, metrics and the DrawText
// layout (alignment, word break, tabs, "&" prefixes, end ellipsis,
// measuring with DT_CALCRECT). Each laid-out line is one text record.
#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "Graphics.h"
#include "CanvasImpl_p.h"
#include "Canvas_p.h"

using namespace canvasimpl;

namespace {

const QPaintDevice* MetricsDevice(const TCanvas* c) {
    auto* d = c->d();
    if (d->external && d->external->device()) return d->external->device();
    if (d->image) return d->image;
    // A recorder alone measures as a 96 dpi screen.
    static QImage reference = [] {
        QImage img(1, 1, QImage::Format_RGB32);
        img.setDotsPerMeterX(3780);
        img.setDotsPerMeterY(3780);
        return img;
    }();
    return &reference;
}

// Grids measure and draw thousands of cells with one font: the Qt font and
// its metrics are kept until the font, the resolution or the device change.
void RefreshFontCache(const TCanvas* c) {
    auto* d = c->d();
    const TFont* f = c->Font();
    std::string key = f->Name() + '\x01' + std::to_string(f->Height()) + '\x01' + std::to_string(f->Style().Bits()) +
                      '\x01' + std::to_string(int(f->Pitch())) + '\x01' + std::to_string(d->dpi);
    const QPaintDevice* device = MetricsDevice(c);
    if (d->metrics && key == d->fontKey && device == d->metricsDevice) return;
    d->fontKey = key;
    d->metricsDevice = device;
    d->qfont = ToQFont(*f, d->dpi);
    d->metrics = std::make_unique<QFontMetrics>(d->qfont, const_cast<QPaintDevice*>(device));
}

const QFont& CanvasFont(const TCanvas* c) {
    RefreshFontCache(c);
    return c->d()->qfont;
}

const QFontMetrics& Metrics(const TCanvas* c) {
    RefreshFontCache(c);
    return *c->d()->metrics;
}

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

// The text cell of one run, and the run painted (when a device is bound)
// and recorded. clip, when given, limits the painting and is recorded.
void TextRun(TCanvas* c, int x, int y, const QString& text, const TRect* clip, bool opaque, int underlineAt = -1) {
    const QFontMetrics& m = Metrics(c);
    int w = m.horizontalAdvance(text);
    int h = m.height();
    TRect cell{x, y, x + w, y + h};
    int orient = c->Font()->Orientation();
    if (orient != 0) {
        double a = -orient * M_PI / 1800.0;
        double cs = std::cos(a), sn = std::sin(a);
        double xs[4] = {0, double(w), 0, double(w)}, ys[4] = {0, 0, double(h), double(h)};
        double minx = 1e9, miny = 1e9, maxx = -1e9, maxy = -1e9;
        for (int i = 0; i < 4; ++i) {
            double px = x + xs[i] * cs - ys[i] * sn, py = y + xs[i] * sn + ys[i] * cs;
            minx = std::min(minx, px);
            maxx = std::max(maxx, px);
            miny = std::min(miny, py);
            maxy = std::max(maxy, py);
        }
        cell = {int(std::floor(minx)), int(std::floor(miny)), int(std::ceil(maxx)), int(std::ceil(maxy))};
    }
    if (c->d()->recorder) {
        auto rec = MakeRecord(c, mrText, cell);
        rec.Points = {{x, y}};
        rec.Text = text.toStdString();
        rec.Param1 = opaque ? 1 : 0;
        if (clip) {
            TRect cr = *clip;
            if (rec.Clipped) IntersectRect(cr, cr, rec.Clip);
            rec.Clipped = true;
            rec.Clip = cr;
        }
        Record(c, std::move(rec));
    }
    QPainter* p = c->d()->painter();
    if (!p) return;
    if (clip) {
        QRegion r(clip->Left, clip->Top, std::max(0, clip->Width()), std::max(0, clip->Height()));
        p->setClipRegion(c->d()->hasClip ? c->d()->clip.intersected(r) : r);
    }
    p->save();
    p->setFont(CanvasFont(c));
    p->translate(x, y);
    if (orient != 0) p->rotate(-orient / 10.0);
    if (opaque) p->fillRect(0, 0, w, h, ToQColor(c->Brush()->Color()));
    p->setPen(ToQColor(c->Font()->Color()));
    p->drawText(QPoint(0, m.ascent()), text);
    if (underlineAt >= 0 && underlineAt < text.size()) {
        int ux = m.horizontalAdvance(text.left(underlineAt));
        int uw = m.horizontalAdvance(text.mid(underlineAt, 1));
        p->fillRect(ux, m.ascent() + 1, uw, 1, ToQColor(c->Font()->Color()));
    }
    p->restore();
}

bool Opaque(const TCanvas* c) { return c->Brush()->Style() != bsClear; }

} // namespace

void TCanvas::TextOut(int x, int y, const std::string& text) {
    RequireDevice(this);
    QString s = Q(text);
    TextRun(this, x, y, s, nullptr, Opaque(this));
    penPos_ = {x + Metrics(this).horizontalAdvance(s), y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    RequireDevice(this);
    if (Opaque(this)) FillRect(r);
    TextRun(this, x, y, Q(text), &r, false);
}

int TCanvas::TextWidth(const std::string& text) const { return Metrics(this).horizontalAdvance(Q(text)); }

int TCanvas::TextHeight(const std::string& text) const { return Metrics(this).height(); }

TSize TCanvas::TextExtent(const std::string& text) const {
    const QFontMetrics& m = Metrics(this);
    return {m.horizontalAdvance(Q(text)), m.height()};
}

void TCanvas::GetTextMetrics(TTextMetric& tm) const {
    const QFontMetrics& m = Metrics(this);
    tm.tmAscent = m.ascent();
    tm.tmDescent = m.descent();
    tm.tmHeight = m.ascent() + m.descent();
    tm.tmInternalLeading = std::max(0, tm.tmHeight - CanvasFont(this).pixelSize());
    tm.tmExternalLeading = std::max(0, m.leading());
    tm.tmAveCharWidth = m.averageCharWidth();
    tm.tmMaxCharWidth = m.maxWidth();
}

// ------------------------------------------------------------- DrawText

namespace {

bool IsCjk(QChar ch) { return ch.unicode() >= 0x2E80; }

// Removes "&" prefixes ("&&" is a literal "&"); returns the index of the
// character to underline or -1.
int StripPrefix(QString& s) {
    QString out;
    int underline = -1;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == '&' && i + 1 < s.size()) {
            ++i;
            if (s[i] != '&') underline = int(out.size());
        } else if (s[i] == '&') {
            continue;
        }
        out += s[i];
    }
    s = out;
    return underline;
}

QString ExpandTabs(const QString& line, const QFontMetrics& m) {
    if (!line.contains('\t')) return line;
    int stop = 8 * std::max(1, m.averageCharWidth());
    QString out;
    for (QChar ch : line) {
        if (ch != '\t') {
            out += ch;
            continue;
        }
        int w = m.horizontalAdvance(out);
        int next = (w / stop + 1) * stop;
        do out += ' ';
        while (m.horizontalAdvance(out) < next);
    }
    return out;
}

// Breaks one paragraph into lines no wider than maxWidth where it can:
// between words, after spaces and around any CJK character. A single word
// wider than maxWidth stays whole on its own line.
std::vector<QString> WrapParagraph(const QString& para, int maxWidth, const QFontMetrics& m) {
    std::vector<QString> tokens;
    for (int i = 0; i < para.size();) {
        int j = i + 1;
        if (para[i].isSpace()) {
            while (j < para.size() && para[j].isSpace()) ++j;
        } else if (!IsCjk(para[i])) {
            while (j < para.size() && !para[j].isSpace() && !IsCjk(para[j])) ++j;
        } else if (para[i].isHighSurrogate() && j < para.size()) {
            ++j;
        }
        tokens.push_back(para.mid(i, j - i));
        i = j;
    }
    std::vector<QString> lines;
    QString line;
    for (const QString& t : tokens) {
        bool space = t[0].isSpace();
        if (space) {
            if (!line.isEmpty()) line += t;
            continue;
        }
        QString trial = line + t;
        if (line.isEmpty() || m.horizontalAdvance(trial) <= maxWidth) {
            line = trial;
            continue;
        }
        while (!line.isEmpty() && line.back().isSpace()) line.chop(1);
        lines.push_back(line);
        line = t;
    }
    while (!line.isEmpty() && line.back().isSpace()) line.chop(1);
    lines.push_back(line);
    return lines;
}

QString Ellipsize(const QString& line, int maxWidth, const QFontMetrics& m) {
    if (m.horizontalAdvance(line) <= maxWidth) return line;
    QString s = line;
    while (!s.isEmpty() && m.horizontalAdvance(s + "...") > maxWidth) {
        s.chop(1);
        if (!s.isEmpty() && s.back().isHighSurrogate()) s.chop(1);
    }
    return s + "...";
}

// What DT_CALCRECT found for a text: its widest line and its height.
// A grid's headings and a window's captions are measured again each time a
// window is built, and shaping the text is the dear part; the result
// depends only on the font, the device's resolution, the format, the width
// and the text, which make the key.
struct Measured {
    int width;
    int height;
};

std::unordered_map<std::string, Measured>& MeasuredTexts() {
    static std::unordered_map<std::string, Measured> kept;
    return kept;
}

constexpr size_t kMeasuredLimit = 4096;

std::string MeasureKey(const TCanvas* c, const std::string& bytes, unsigned format, int width) {
    const QPaintDevice* device = c->d()->metricsDevice;
    std::string key = c->d()->fontKey;
    key += '\x02';
    key += std::to_string(device ? device->logicalDpiX() : 0) + ',' + std::to_string(device ? device->logicalDpiY() : 0);
    key += ',' + std::to_string(format) + ',' + std::to_string(width) + '\x02';
    key += bytes;
    return key;
}

} // namespace

int TCanvas::DrawText(const std::string& text, int count, TRect& r, unsigned format) {
    std::string bytes = text;
    if (count >= 0 && size_t(count) < bytes.size()) {
        size_t n = size_t(count);
        while (n > 0 && (uint8_t(bytes[n]) & 0xC0) == 0x80) --n;
        bytes.resize(n);
    }
    std::string measureKey;
    if (format & DT_CALCRECT) {
        RefreshFontCache(this);
        measureKey = MeasureKey(this, bytes, format, r.Width());
        auto& kept = MeasuredTexts();
        if (auto at = kept.find(measureKey); at != kept.end()) {
            r.Right = r.Left + at->second.width;
            r.Bottom = r.Top + at->second.height;
            return at->second.height;
        }
    }
    QString s = Q(bytes);
    int underline = -1;
    if (!(format & DT_NOPREFIX)) {
        underline = StripPrefix(s);
        if (format & DT_HIDEPREFIX) underline = -1;
    }
    const QFontMetrics& m = Metrics(this);
    int lineHeight = m.height() + ((format & DT_EXTERNALLEADING) ? std::max(0, m.leading()) : 0);
    int width = r.Width();

    std::vector<QString> lines;
    if (format & DT_SINGLELINE) {
        s.remove('\r');
        s.remove('\n');
        lines.push_back(s);
    } else {
        s.replace("\r\n", "\n");
        s.replace('\r', '\n');
        for (const QString& para : s.split('\n')) {
            QString p = (format & DT_EXPANDTABS) ? ExpandTabs(para, m) : para;
            if ((format & DT_WORDBREAK) && width > 0) {
                for (auto& l : WrapParagraph(p, width, m)) lines.push_back(l);
            } else {
                lines.push_back(p);
            }
        }
        if (lines.size() > 1) underline = -1;
    }
    if ((format & DT_SINGLELINE) && (format & DT_EXPANDTABS)) lines[0] = ExpandTabs(lines[0], m);
    if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))
        for (auto& l : lines) {
            QString e = Ellipsize(l, width, m);
            if (e != l) underline = -1;
            l = e;
        }

    int maxWidth = 0;
    for (auto& l : lines) maxWidth = std::max(maxWidth, m.horizontalAdvance(l));
    int textHeight = int(lines.size()) * lineHeight;

    if (format & DT_CALCRECT) {
        auto& kept = MeasuredTexts();
        if (kept.size() >= kMeasuredLimit) kept.clear();
        kept.emplace(std::move(measureKey), Measured{maxWidth, textHeight});
        r.Right = r.Left + maxWidth;
        r.Bottom = r.Top + textHeight;
        return textHeight;
    }
    RequireDevice(this);
    int y = r.Top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = r.Top + (r.Height() - lineHeight) / 2;
        else if (format & DT_BOTTOM)
            y = r.Bottom - lineHeight;
    }
    const TRect* clip = (format & DT_NOCLIP) ? nullptr : &r;
    for (auto& l : lines) {
        int w = m.horizontalAdvance(l);
        int x = r.Left;
        if (format & DT_CENTER)
            x = r.Left + (r.Width() - w) / 2;
        else if (format & DT_RIGHT)
            x = r.Right - w;
        TextRun(this, x, y, l, clip, Opaque(this), underline);
        y += lineHeight;
    }
    if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) return y - r.Top;
    return textHeight;
}
