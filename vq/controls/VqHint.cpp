// The flat hint window; see VqHint.h.
#include "vq/controls/VqHint.h"

#include "Forms.h"

namespace {

// The hint whose colours and font the window uses: the latest one made
// that still exists (the main window's, in this program).
TVqHint* g_current = nullptr;

} // namespace

TVqHint::TVqHint(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
    g_current = this;
    SetHintWindowClass([] { return new TFlatHintWindow(nullptr); });
    SetApplicationShowHint([](std::string& text, bool& canShow, THintInfo& info) {
        if (g_current && g_current->OnShowHint) g_current->OnShowHint(text, canShow, info);
    });
    // Toggled so the application makes its hint window anew with the class.
    Application->SetShowHint(!Application->ShowHint());
    Application->SetShowHint(!Application->ShowHint());
    Application->SetHintShortPause(25);
    Application->SetHintPause(500);
    Application->SetHintHidePause(5000);
}

TVqHint::~TVqHint() {
    if (g_current == this) g_current = nullptr;
}

int FlatHintQuarter(TPoint p, int screenWidth, int screenHeight) {
    const bool left = p.X < screenWidth / 2, top = p.Y < screenHeight / 2;
    if (left && top) return 1;
    if (top) return 0;
    if (left) return 3;
    return 2;
}

TRect FlatHintPlacement(TPoint p, int quarter, int w, int h) {
    const int g = quarter == 1 ? 12 : 5;
    switch (quarter) {
    case 0: return Rect(p.X - w - g, p.Y + g, p.X - g, p.Y + h + g);
    case 1: return Rect(p.X + g, p.Y + g, p.X + w + g, p.Y + h + g);
    case 2: return Rect(p.X - w - g, p.Y - h - g, p.X - g, p.Y - g);
    default: return Rect(p.X + g, p.Y - h - g, p.X + w + g, p.Y - g);
    }
}

TFlatHintWindow::TFlatHintWindow(TComponent* AOwner) : THintWindow(AOwner) { SetName("FlatHintWindow"); }

TRect TFlatHintWindow::CalcHintRect(int, const std::string& Hint) {
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas()->SetFont(Font());
    TRect r = Rect(0, 0, maxHintWidth_ - 22, 0);
    probe.Canvas()->DrawText(Hint, -1, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    r.Right += 22;
    r.Bottom += 6;
    return r;
}

void TFlatHintWindow::ActivateHint(const TRect&, const std::string& Hint) { ActivateHintAt(GetCursorPos(), Hint); }

void TFlatHintWindow::ActivateHintAt(TPoint p, const std::string& Hint) {
    text_ = Hint;
    if (g_current) {
        colors_[0] = g_current->ColorBackground();
        colors_[1] = g_current->ColorBorder();
        colors_[2] = g_current->ColorArrowBackground();
        colors_[3] = g_current->ColorArrow();
        maxHintWidth_ = g_current->MaxHintWidth();
        SetFont(g_current->Font());
    }
    const TRect size = CalcHintRect(maxHintWidth_, Hint);
    quarter_ = FlatHintQuarter(p, Screen->Width(), Screen->Height());
    THintWindow::ActivateHint(FlatHintPlacement(p, quarter_, size.Width(), size.Height()), Hint);
}

void TFlatHintWindow::Paint() { PaintTo(Canvas(), ClientRect()); }

void TFlatHintWindow::PaintTo(TCanvas* c, const TRect& k) {
    const bool rightOfCursor = quarter_ == 1 || quarter_ == 3;
    const TRect a = rightOfCursor ? Rect(k.Left + 1, k.Top + 1, k.Left + 15, k.Bottom - 1)
                                  : Rect(k.Right - 15, k.Top + 1, k.Right - 1, k.Bottom - 1);
    TRect t = rightOfCursor ? Rect(k.Left + 15, k.Top + 1, k.Right - 1, k.Bottom - 1)
                            : Rect(k.Left + 1, k.Top + 1, k.Right - 15, k.Bottom - 1);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(colors_[2]);
    c->FillRect(a);
    c->Brush()->SetColor(colors_[0]);
    c->FillRect(t);
    c->Brush()->SetColor(colors_[1]);
    c->FrameRect(k);
    switch (quarter_) {
    case 0: arrowX_ = a.Right - 3, arrowY_ = a.Top + 2; break;
    case 1: arrowX_ = a.Left + 2, arrowY_ = a.Top + 2; break;
    case 2: arrowX_ = a.Right - 3, arrowY_ = a.Bottom - 3; break;
    default: arrowX_ = a.Left + 2, arrowY_ = a.Bottom - 3; break;
    }
    static const int shape[18][2] = {{0, 0},  {0, 6},  {-1, 6}, {-1, 0}, {-6, 0}, {-6, 1}, {-2, 1}, {-2, 4}, {-5, 7},
                                     {-6, 7}, {-3, 4}, {-3, 3}, {-6, 6}, {-7, 6}, {-3, 2}, {-4, 2}, {-7, 5}, {-7, 6}};
    const int sx = rightOfCursor ? -1 : 1, sy = (quarter_ == 2 || quarter_ == 3) ? -1 : 1;
    std::vector<TPoint> points;
    for (const auto& d : shape) points.push_back(Point(arrowX_ + sx * d[0], arrowY_ + sy * d[1]));
    c->Pen()->SetColor(colors_[3]);
    c->Polyline(points);
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    InflateRect(t, -3, -1);
    c->DrawText(text_, -1, t, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
    c->Brush()->SetStyle(bsSolid);
}
