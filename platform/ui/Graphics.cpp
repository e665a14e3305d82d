// Geometry helpers, colours, and the font/pen/brush objects with their
// translation to Qt. Painting itself lives in Canvas.cpp and CanvasText.cpp;
// pictures in Pictures.cpp.
#include "Graphics.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <mutex>

#include "SysUtils.h"
#include "Canvas_p.h"

bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) {
    TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
    if (IsRectEmpty(r)) {
        dst = TRect{};
        return false;
    }
    dst = r;
    return true;
}

bool UnionRect(TRect& dst, const TRect& a, const TRect& b) {
    if (IsRectEmpty(a))
        dst = b;
    else if (IsRectEmpty(b))
        dst = a;
    else
        dst = {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
               std::max(a.Bottom, b.Bottom)};
    if (IsRectEmpty(dst)) {
        dst = TRect{};
        return false;
    }
    return true;
}

// ------------------------------------------------------------------ colours

namespace {

// The classic desktop scheme, fixed so drawings look the same everywhere.
constexpr TColor kSystemColors[] = {
    RGB(212, 208, 200), // scroll bar
    RGB(58, 110, 165),  // background
    RGB(10, 36, 106),   // active caption
    RGB(128, 128, 128), // inactive caption
    RGB(212, 208, 200), // menu
    RGB(255, 255, 255), // window
    RGB(0, 0, 0),       // window frame
    RGB(0, 0, 0),       // menu text
    RGB(0, 0, 0),       // window text
    RGB(255, 255, 255), // caption text
    RGB(212, 208, 200), // active border
    RGB(212, 208, 200), // inactive border
    RGB(128, 128, 128), // application work space
    RGB(10, 36, 106),   // highlight
    RGB(255, 255, 255), // highlight text
    RGB(212, 208, 200), // button face
    RGB(128, 128, 128), // button shadow
    RGB(128, 128, 128), // grey text
    RGB(0, 0, 0),       // button text
    RGB(212, 208, 200), // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(64, 64, 64),    // 3-D dark shadow
    RGB(212, 208, 200), // 3-D light
    RGB(0, 0, 0),       // info text
    RGB(255, 255, 225), // info background
};

struct ColorName {
    TColor color;
    const char* name;
};
constexpr ColorName kColorNames[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
};

} // namespace

TColor ColorToRGB(TColor color) {
    if (color == clNone) return clBlack;
    if (color == clDefault) return ColorToRGB(clWindow);
    if (color < 0) {
        int index = color & 0xFF;
        if (index < int(std::size(kSystemColors))) return kSystemColors[index];
        return clBlack;
    }
    return color & 0xFFFFFF;
}

std::string ColorToString(TColor color) {
    for (const auto& n : kColorNames)
        if (n.color == color) return n.name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", unsigned(color));
    return buf;
}

TColor StringToColor(const std::string& s) {
    for (const auto& n : kColorNames)
        if (SameText(s, n.name)) return n.color;
    try {
        return TColor(StrToInt(s));
    } catch (const EConvertError&) {
        throw EConvertError("'" + s + "' is not a valid integer value");
    }
}

// ------------------------------------------------------ font, pen, brush

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

TFont::TFont() = default;

void TFont::Assign(TPersistent* Source) {
    auto* f = dynamic_cast<TFont*>(Source);
    if (!f) {
        TPersistent::Assign(Source);
        return;
    }
    name_ = f->name_;
    style_ = f->style_;
    color_ = f->color_;
    charset_ = f->charset_;
    pitch_ = f->pitch_;
    orientation_ = f->orientation_;
    if (f->ppi_ == ppi_)
        height_ = f->height_;
    else
        height_ = -int(std::lround(double(f->Size()) * ppi_ / 72.0));
    Changed();
}

void TFont::SetName(const std::string& v) {
    if (v != name_) {
        name_ = v;
        Changed();
    }
}
void TFont::SetHeight(int v) {
    if (v != height_) {
        height_ = v;
        Changed();
    }
}
int TFont::Size() const { return -int(std::lround(double(height_) * 72.0 / ppi_)); }
void TFont::SetSize(int points) { SetHeight(-int(std::lround(double(points) * ppi_ / 72.0))); }
void TFont::SetStyle(TFontStyles v) {
    if (!(v == style_)) {
        style_ = v;
        Changed();
    }
}
void TFont::SetColor(TColor v) {
    if (v != color_) {
        color_ = v;
        Changed();
    }
}
void TFont::SetCharset(TFontCharset v) {
    if (v != charset_) {
        charset_ = v;
        Changed();
    }
}
void TFont::SetPitch(TFontPitch v) {
    if (v != pitch_) {
        pitch_ = v;
        Changed();
    }
}
void TFont::SetOrientation(int tenths) {
    if (tenths != orientation_) {
        orientation_ = tenths;
        Changed();
    }
}

void TFont::SetPixelsPerInch(int v) {
    if (v <= 0 || v == ppi_) return;
    int size = Size();
    ppi_ = v;
    height_ = -int(std::lround(double(size) * ppi_ / 72.0));
    Changed();
}

void TPen::Assign(TPersistent* Source) {
    auto* p = dynamic_cast<TPen*>(Source);
    if (!p) {
        TPersistent::Assign(Source);
        return;
    }
    color_ = p->color_;
    width_ = p->width_;
    style_ = p->style_;
    mode_ = p->mode_;
    Changed();
}
void TPen::SetColor(TColor v) {
    if (v != color_) {
        color_ = v;
        Changed();
    }
}
void TPen::SetWidth(int v) {
    if (v != width_) {
        width_ = v;
        Changed();
    }
}
void TPen::SetStyle(TPenStyle v) {
    if (v != style_) {
        style_ = v;
        Changed();
    }
}
void TPen::SetMode(TPenMode v) {
    if (v != mode_) {
        mode_ = v;
        Changed();
    }
}

void TBrush::Assign(TPersistent* Source) {
    auto* b = dynamic_cast<TBrush*>(Source);
    if (!b) {
        TPersistent::Assign(Source);
        return;
    }
    color_ = b->color_;
    style_ = b->style_;
    bitmap_ = b->bitmap_;
    Changed();
}
void TBrush::SetColor(TColor v) {
    if (v == color_ && style_ != bsClear) return;
    color_ = v;
    // Giving a clear brush a colour makes it solid again, as windows expect
    // when they set Brush->Color after a transparent text run.
    if (style_ == bsClear) style_ = bsSolid;
    Changed();
}
void TBrush::SetStyle(TBrushStyle v) {
    if (v != style_) {
        style_ = v;
        Changed();
    }
}
void TBrush::SetBitmap(TBitmap* v) {
    if (v != bitmap_) {
        bitmap_ = v;
        Changed();
    }
}

// ----------------------------------------------------------- Qt mapping

QColor ToQColor(TColor c) {
    TColor rgb = ColorToRGB(c);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

void InstallFontSubstitutions() {
    static std::once_flag once;
    std::call_once(once, [] {
        // Song/Ming faces for the serif names, Hei for the sans names; each
        // Latin face is followed by a Chinese one so mixed text never shows
        // empty boxes.
        const QString song = "AR PL UMing CN";
        const QString kai = "AR PL UKai CN";
        const QString hei = "WenQuanYi Zen Hei";
        const QString heiMono = "WenQuanYi Zen Hei Mono";
        QFont::insertSubstitutions("宋体", {song, hei});
        QFont::insertSubstitutions("新宋体", {song, hei});
        QFont::insertSubstitutions("SimSun", {song, hei});
        QFont::insertSubstitutions("NSimSun", {song, hei});
        QFont::insertSubstitutions("仿宋_GB2312", {song, hei});
        QFont::insertSubstitutions("黑体", {hei, song});
        QFont::insertSubstitutions("SimHei", {hei, song});
        QFont::insertSubstitutions("楷体_GB2312", {kai, song});
        QFont::insertSubstitutions("楷体", {kai, song});
        QFont::insertSubstitutions("Arial", {"DejaVu Sans", hei});
        QFont::insertSubstitutions("MS Sans Serif", {"DejaVu Sans", hei});
        QFont::insertSubstitutions("Tahoma", {"DejaVu Sans", hei});
        QFont::insertSubstitutions("Times New Roman", {"DejaVu Serif", song});
        QFont::insertSubstitutions("Courier New", {"DejaVu Sans Mono", heiMono});
        QFont::insertSubstitutions("Fixedsys", {"DejaVu Sans Mono", heiMono});
    });
}

void EnsureGuiApplication() {
    if (QCoreApplication::instance()) return;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY") &&
        !qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillory";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

QFont ToQFont(const TFont& f, int dpi) {
    EnsureGuiApplication();
    InstallFontSubstitutions();
    QFont q(QString::fromStdString(f.Name()));
    q.setStyleStrategy(QFont::NoAntialias);
    q.setHintingPreference(QFont::PreferFullHinting);
    q.setBold(f.Style().Contains(fsBold));
    q.setItalic(f.Style().Contains(fsItalic));
    q.setUnderline(f.Style().Contains(fsUnderline));
    q.setStrikeOut(f.Style().Contains(fsStrikeOut));
    if (f.Pitch() == fpFixed) q.setFixedPitch(true);
    int h = f.Height();
    if (h < 0) {
        q.setPixelSize(std::max(1, -h));
    } else if (h > 0) {
        // A positive height counts the whole cell: scale the em down so that
        // ascent + descent comes out at h.
        q.setPixelSize(h);
        QImage probe(1, 1, QImage::Format_RGB32);
        probe.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
        probe.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
        QFontMetrics m(q, &probe);
        if (m.height() > 0) q.setPixelSize(std::max(1, int(std::lround(double(h) * h / m.height()))));
    } else {
        q.setPixelSize(std::max(1, int(std::lround(9.0 * dpi / 72.0))));
    }
    return q;
}
