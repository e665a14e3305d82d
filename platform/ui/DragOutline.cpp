#include "DragOutline.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <array>

namespace {
// One side of the frame: a checkerboard of black and white pixels, as the
// inverting pattern brush of the desktop would show over most windows.
class Strip : public QWidget {
public:
    Strip() {
        setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                       Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint);
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        setAttribute(Qt::WA_TransparentForMouseEvents, true);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        // The pattern stays put on the screen while the strip moves.
        p.setBrushOrigin(-pos());
        p.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
    }
};
} // namespace

struct TDragOutline::Impl {
    std::array<QPointer<Strip>, 4> strips;
    TRect rect;
    int thickness = 0;
    bool visible = false;
};

TDragOutline::TDragOutline() : d_(new Impl) {}

TDragOutline::~TDragOutline() {
    for (auto& s : d_->strips) delete s.data();
}

void TDragOutline::Show(const TRect& r, int thickness) {
    if (r.Right <= r.Left || r.Bottom <= r.Top || thickness <= 0) {
        Hide();
        return;
    }
    d_->rect = r;
    d_->thickness = thickness;
    d_->visible = true;
    const int t = std::min({thickness, (r.Right - r.Left + 1) / 2, (r.Bottom - r.Top + 1) / 2});
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const QRect sides[4] = {
        QRect(r.Left, r.Top, w, t),                  // top
        QRect(r.Left, r.Bottom - t, w, t),           // bottom
        QRect(r.Left, r.Top + t, t, h - 2 * t),      // left
        QRect(r.Right - t, r.Top + t, t, h - 2 * t), // right
    };
    for (int i = 0; i < 4; ++i) {
        if (!d_->strips[size_t(i)]) d_->strips[size_t(i)] = new Strip;
        Strip* s = d_->strips[size_t(i)];
        if (sides[i].isEmpty()) {
            s->hide();
            continue;
        }
        s->setGeometry(sides[i]);
        if (!s->isVisible()) s->show();
        s->raise();
        s->update();
    }
}

void TDragOutline::Hide() {
    d_->visible = false;
    for (auto& s : d_->strips)
        if (s) s->hide();
}

bool TDragOutline::Visible() const { return d_->visible; }
TRect TDragOutline::Rect() const { return d_->visible ? d_->rect : TRect(); }
int TDragOutline::Thickness() const { return d_->visible ? d_->thickness : 0; }
