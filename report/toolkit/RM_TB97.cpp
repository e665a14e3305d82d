#include "report/toolkit/RM_TB97.h"

#include <algorithm>
#include <climits>
#include <map>

#include "ScopeExit.h"
#include "SysUtils.h"
#include "WindowWatch.h"

// ------------------------------------------------------------ dock

TBarDockType DockTypeOf(const TDock97* dock) {
    if (!dock) return bdNone;
    return dock->Vertical() ? bdVertical : bdHorizontal;
}

TDock97::TDock97(TComponent* owner, TDockPosition position) : TCustomControl(owner), position_(position) {
    static const TAlign aligns[] = {alTop, alBottom, alLeft, alRight};
    SetAlign(aligns[position]);
    SetColor(clBtnFace);
    SetTabStop(false);
    background_.OnChange = [this](TObject*) { backgroundChanged(); };
    ArrangeBars();
}

int TDock97::ncWidth() const { return int(boundLines_.Contains(blLeft)) + int(boundLines_.Contains(blRight)); }
int TDock97::ncHeight() const { return int(boundLines_.Contains(blTop)) + int(boundLines_.Contains(blBottom)); }

void TDock97::SetBoundLines(TDockBoundLines v) {
    if (v == boundLines_) return;
    boundLines_ = v;
    ArrangeBars();
    Invalidate();
}

void TDock97::SetBackgroundOnToolbars(bool v) {
    if (v == onToolbars_) return;
    onToolbars_ = v;
    RepaintBackgrounds();
}

void TDock97::SetBackgroundTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    if (HasBackground()) backgroundChanged();
}

void TDock97::backgroundChanged() {
    transparentCache_.reset();
    RepaintBackgrounds();
}

void TDock97::ColorChanged() {
    // The transparent copy shows the old colour.
    if (HasBackground()) backgroundChanged();
    TCustomControl::ColorChanged();
}

void TDock97::RepaintBackgrounds() {
    Invalidate();
    for (auto* t : shown_) t->Invalidate();
}

void TDock97::TileBackground(TCanvas* c, const TRect& rect, const TControl* control) {
    TBitmap* tile = &background_;
    if (transparent_) {
        if (!transparentCache_) {
            transparentCache_ = std::make_unique<TBitmap>();
            transparentCache_->SetSize(background_.Width(), background_.Height());
            TCanvas* tc = transparentCache_->Canvas();
            tc->Brush()->SetColor(Color());
            tc->FillRect(TRect(0, 0, background_.Width(), background_.Height()));
            TBitmap keyed;
            keyed.Assign(&background_);
            keyed.SetTransparentMode(tmFixed);
            keyed.SetTransparentColor(background_.Canvas()->Pixels(0, background_.Height() - 1));
            keyed.SetTransparent(true);
            tc->Draw(0, 0, &keyed);
        }
        tile = transparentCache_.get();
    }
    int w = tile->Width(), h = tile->Height();
    if (w <= 0 || h <= 0) return;
    TPoint origin = Parent() ? control->ScreenToClient(Parent()->ClientToScreen(TPoint(0, 0))) : TPoint(0, 0);
    // The first tile that reaches into rect.
    auto first = [](int o, int from, int size) { return from - (((from - o) % size) + size) % size; };
    int saved = c->SaveDC();
    c->IntersectClipRect(rect);
    for (int y = first(origin.Y, rect.Top, h); y < rect.Bottom; y += h)
        for (int x = first(origin.X, rect.Left, w); x < rect.Right; x += w) c->Draw(x, y, tile);
    c->RestoreDC(saved);
}

void TDock97::SetPosition(TDockPosition p) {
    if (p == position_) return;
    if (ControlCount() > 0) throw EInvalidOperation("Cannot change Position of a TDock97 if it already contains controls");
    position_ = p;
    static const TAlign aligns[] = {alTop, alBottom, alLeft, alRight};
    SetAlign(aligns[p]);
    ArrangeBars();
}

void TDock97::SetParent(TWinControl* p) {
    if (dynamic_cast<TCustomToolWindow97*>(p) || dynamic_cast<TDock97*>(p))
        throw EInvalidOperation("A TDock97 control cannot be placed inside a tool window or another TDock97");
    TCustomControl::SetParent(p);
}

std::vector<TCustomToolWindow97*> TDock97::ToolWindows() const {
    auto v = members_;
    std::stable_sort(v.begin(), v.end(),
                     [](auto* a, auto* b) { return a->row_ != b->row_ ? a->row_ < b->row_ : a->pos_ < b->pos_; });
    return v;
}

int TDock97::LastRowIndex() const {
    int last = -1;
    for (auto* t : members_) last = std::max(last, t->row_);
    return last;
}

void TDock97::UnlockArrange() {
    if (lock_ > 0 && --lock_ == 0 && arrangeNeeded_) ArrangeBars(clipPending_);
}

void TDock97::setMembership(bool insert, TCustomToolWindow97* bar) {
    auto it = std::find(members_.begin(), members_.end(), bar);
    if (insert && it == members_.end()) members_.push_back(bar);
    if (!insert && it != members_.end()) members_.erase(it);
    updateBarShown(bar);
}

void TDock97::updateBarShown(TCustomToolWindow97* bar, bool forceRemoval) {
    bool should = !forceRemoval && bar->dock_ == this && bar->Visible();
    auto it = std::find(shown_.begin(), shown_.end(), bar);
    bool is = it != shown_.end();
    if (should == is) return;
    if (should)
        shown_.push_back(bar);
    else
        shown_.erase(it);
    ArrangeBars();
    if (OnInsertRemoveBar) OnInsertRemoveBar(this, should, bar);
}

void TDock97::compactRows() {
    // Rows nobody uses close up, so the used ones are 0, 1, 2, ...; hidden
    // members keep their rows.
    int last = LastRowIndex();
    for (int j = 0; j <= last;) {
        bool used = std::any_of(members_.begin(), members_.end(), [j](auto* t) { return t->row_ == j; });
        if (used) {
            ++j;
            continue;
        }
        for (auto* t : members_)
            if (t->row_ > j) --t->row_;
        --last;
    }
}

void TDock97::OpenRowAt(int row) {
    for (auto* t : members_)
        if (t->row_ >= row) ++t->row_;
}

int TDock97::CountBarsInRow(int row, const TCustomToolWindow97* except) const {
    int n = 0;
    for (auto* t : members_)
        if (t != except && t->row_ == row) ++n;
    return n;
}

void TDock97::measureRows() {
    rowThickness_.assign(size_t(std::max(0, LastRowIndex() + 1)), 0);
    for (auto* t : shown_) {
        if (t->row_ < 0) continue;
        TSize s = t->sizeOn(this);
        // The docked frame is two pixels on each side.
        int thick = std::max(8, (Vertical() ? s.cx : s.cy) - 4);
        int& r = rowThickness_[size_t(t->row_)];
        r = std::max(r, thick);
    }
}

int TDock97::RowThickness(int row) const {
    return row >= 0 && row < int(rowThickness_.size()) ? rowThickness_[size_t(row)] : 0;
}

// Offsets are in the dock's client area, whose rows start inside the
// leading bound line.
int TDock97::rowOrigin() const { return boundLines_.Contains(Vertical() ? blLeft : blTop) ? 1 : 0; }

int TDock97::RowAtOffset(int offset, bool& insertBefore) const {
    offset -= rowOrigin();
    int last = LastRowIndex(), start = 0;
    for (int r = 0; r <= last; ++r) {
        int thick = RowThickness(r);
        if (!thick) continue;
        int end = start + thick + 4;
        if (offset < start + 5) {
            insertBefore = true;
            return r;
        }
        if (offset < end - 5) {
            insertBefore = false;
            return r;
        }
        start = end;
    }
    insertBefore = false;
    return last + 1;
}

int TDock97::RowContaining(int offset) const {
    offset -= rowOrigin();
    int last = LastRowIndex(), end = 0;
    for (int r = 0; r <= last; ++r) {
        int thick = RowThickness(r);
        if (thick) end += thick + 4;
        if (offset < end) return r;
    }
    return last + 1;
}

void TDock97::ArrangeBars(bool clip) {
    if (clip) clipPending_ = true;
    if (lock_ || arranging_) {
        arrangeNeeded_ = true;
        return;
    }
    arranging_ = true;
    ScopeExit done([this] {
        arranging_ = false;
        arrangeNeeded_ = clipPending_ = false;
    });
    bool clipNow = clipPending_;
    int across = 0;
    if (!shown_.empty()) {
        // The outer size: the client area may not have followed a resize
        // yet while the dock hears of it.
        int W = std::max(0, Width() - ncWidth()), H = std::max(0, Height() - ncHeight());
        if (LimitToOneRow)
            for (auto* t : members_) t->row_ = 0;
        compactRows();
        auto byPlace = [](auto* a, auto* b) { return a->row_ != b->row_ ? a->row_ < b->row_ : a->pos_ < b->pos_; };
        std::stable_sort(members_.begin(), members_.end(), byPlace);
        std::stable_sort(shown_.begin(), shown_.end(), byPlace);
        // A full-size window has its row to itself: the others move down.
        for (int r = 0; r <= LastRowIndex(); ++r)
            for (auto* t : members_)
                if (t->row_ == r && t->FullSize && CountBarsInRow(r, t) > 0) {
                    for (auto* o : members_)
                        if (o != t && o->row_ >= r) ++o->row_;
                    break;
                }
        std::stable_sort(shown_.begin(), shown_.end(), byPlace);
        measureRows();
        auto lengthOf = [this](TCustomToolWindow97* t) {
            TSize s = t->sizeOn(this);
            return Vertical() ? s.cy : s.cx;
        };
        // Bars never overlap and keep their order; gaps left between them
        // stay.
        int L = Vertical() ? H : W;
        std::map<TCustomToolWindow97*, int> fitted;
        for (int r = 0; r <= LastRowIndex(); ++r) {
            std::vector<TCustomToolWindow97*> row;
            for (auto* t : shown_)
                if (t->row_ == r) row.push_back(t);
            int p = 0;
            for (auto* t : row) {
                if (t->FullSize)
                    t->pos_ = 0;
                else if (p >= t->pos_)
                    t->pos_ = p;
                else
                    p = t->pos_;
                p += lengthOf(t);
            }
            // Bars pushed past the far end slide back, never before 0.
            for (auto* t : row) fitted[t] = t->pos_;
            int q = L;
            for (auto it = row.rbegin(); it != row.rend(); ++it) {
                if ((*it)->FullSize) continue;
                q -= lengthOf(*it);
                fitted[*it] = std::min(fitted[*it], q);
                q = fitted[*it];
            }
            q = 0;
            for (auto* t : row) {
                if (t->FullSize) continue;
                fitted[t] = std::max(fitted[t], q);
                q = fitted[t] + lengthOf(t);
            }
        }
        if (clipNow)
            for (auto& [t, p] : fitted) t->pos_ = p;
        // The rows start inside the bound lines.
        int ox = boundLines_.Contains(blLeft) ? 1 : 0, oy = boundLines_.Contains(blTop) ? 1 : 0;
        for (int r = 0; r <= LastRowIndex(); ++r) {
            int thick = RowThickness(r);
            int band = thick ? thick + 4 : 0;
            for (auto* t : shown_) {
                if (t->row_ != r) continue;
                TSize s = t->sizeOn(this);
                int P = t->FullSize ? 0 : fitted[t];
                t->arranging_ = true;
                if (Vertical())
                    t->SetBounds(ox + across, oy + P, band, t->FullSize ? H : s.cy);
                else
                    t->SetBounds(ox + P, oy + across, t->FullSize ? W : s.cx, band);
                t->arranging_ = false;
            }
            across += band;
        }
        across += Vertical() ? ncWidth() : ncHeight();
    } else if (FixAlign) {
        across = 1;
    }
    if (Vertical()) {
        if (Width() != across) SetWidth(across);
    } else if (Height() != across) {
        SetHeight(across);
    }
    Invalidate();
}

void TDock97::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(TRect(0, 0, Width(), Height()));
    TRect client(boundLines_.Contains(blLeft) ? 1 : 0, boundLines_.Contains(blTop) ? 1 : 0,
                 Width() - (boundLines_.Contains(blRight) ? 1 : 0), Height() - (boundLines_.Contains(blBottom) ? 1 : 0));
    if (HasBackground()) TileBackground(c, client, this);
    if (!boundLines_.Empty() && !shown_.empty()) {
        // Shadow above and left, highlight below and right.
        auto line = [c](TColor color, int x1, int y1, int x2, int y2) {
            c->Pen()->SetColor(color);
            c->MoveTo(x1, y1);
            c->LineTo(x2, y2);
        };
        int R = Width() - 1, B = Height() - 1;
        if (boundLines_.Contains(blTop)) line(clBtnShadow, 0, 0, Width(), 0);
        if (boundLines_.Contains(blLeft)) line(clBtnShadow, 0, 0, 0, Height());
        if (boundLines_.Contains(blBottom)) line(clBtnHighlight, 0, B, Width(), B);
        if (boundLines_.Contains(blRight)) line(clBtnHighlight, R, 0, R, Height());
    }
}

void TDock97::Resize() {
    TCustomControl::Resize();
    // Positions are not stored: bars pushed back by a narrower dock return
    // to their places when it grows again.
    if (!arranging_) ArrangeBars();
}

TDock97::~TDock97() {
    // The windows that knew this dock forget it.
    for (auto* t : members_) {
        if (t->dock_ == this) t->dock_ = nullptr;
        if (t->lastDock_ == this) t->lastDock_ = nullptr;
        if (t->DefaultDock == this) t->DefaultDock = nullptr;
    }
}

// ------------------------------------------------------------ floating host

namespace {
// A small close button: a raised (or, held down, sunken) face with a cross.
void drawCloseButton(TCanvas* c, TRect b, bool down) {
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(b);
    TRect e = b;
    c->DrawEdge(e, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    int o = down ? 1 : 0;
    c->Pen()->SetColor(clBtnText);
    for (int d = 0; d < 2; ++d) {
        c->MoveTo(b.Left + 3 + o + d, b.Top + 3 + o);
        c->LineTo(b.Right - 3 + o + d, b.Bottom - 2 + o);
        c->MoveTo(b.Right - 4 + o + d, b.Top + 3 + o);
        c->LineTo(b.Left + 2 + o + d, b.Bottom - 2 + o);
    }
}
} // namespace

std::string FitCaption(TCanvas* c, const std::string& caption, int width) {
    if (c->TextWidth(caption) <= width) return caption;
    // Characters go from just before the dots, one whole character at a
    // time, until the text fits or only the first is left.
    std::string head = caption;
    auto firstEnd = [&] {
        size_t n = 1;
        while (n < head.size() && (static_cast<unsigned char>(head[n]) & 0xC0) == 0x80) ++n;
        return n;
    };
    while (head.size() > firstEnd() && c->TextWidth(head + "...") > width) {
        size_t n = head.size() - 1;
        while (n > 0 && (static_cast<unsigned char>(head[n]) & 0xC0) == 0x80) --n;
        head.erase(n);
    }
    return head + "...";
}

TToolWindowFloatingFrame::TToolWindowFloatingFrame(TComponent* owner, TCustomToolWindow97* tw)
    : TCustomControl(owner), tw_(tw) {
    SetTabStop(false);
    SetColor(clBtnFace);
}

TRect TToolWindowFloatingFrame::CaptionRect() const {
    if (!tw_->ShowCaption) return {};
    int B = tw_->FloatingBorderSize();
    TRect r(B, B, Width() - B, B + SmallCaptionHeight - 1);
    if (tw_->CloseButton) r.Right -= SmallCaptionHeight - 1;
    return r;
}

TRect TToolWindowFloatingFrame::CloseButtonRect() const {
    if (!tw_->ShowCaption || !tw_->CloseButton) return {};
    int B = tw_->FloatingBorderSize();
    return TRect(Width() - B - (SmallCaptionHeight - 1), B, Width() - B, B + SmallCaptionHeight - 1);
}

int TToolWindowFloatingFrame::SizingEdgeAt(int x, int y) const {
    if (!tw_->Resizable || PtInRect(CaptionRect(), TPoint(x, y)) || PtInRect(CloseButtonRect(), TPoint(x, y)))
        return -1;
    const int B = tw_->FloatingBorderSize(), W = Width(), H = Height();
    int edge = -1;
    // Later bands win where they overlap.
    if (!tw_->GetToolWindowOptions().Contains(twoEightWaySizing)) {
        if (y >= 0 && y < B) edge = 2;
        if (y >= H - B - 1 && y < H) edge = 5;
        if (x >= 0 && x < B) edge = 0;
        if (x >= W - B - 1 && x < W) edge = 1;
        return edge;
    }
    // The corners reach along the sides as far as the caption is high.
    const int K = SmallCaptionHeight - 1 + B;
    if (x >= 0 && x < B) edge = y < K ? 3 : y >= H - K ? 6 : 0;
    if (x >= W - B - 1 && x < W) edge = y < K ? 4 : y >= H - K ? 7 : 1;
    if (y >= 0 && y < B) edge = x < K ? 3 : x >= W - K ? 4 : 2;
    if (y >= H - B - 1 && y < H) edge = x < K ? 6 : x >= W - K ? 7 : 5;
    return edge;
}

void TToolWindowFloatingFrame::Paint() {
    TCanvas* c = Canvas();
    TRect r(0, 0, Width(), Height());
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(r);
    c->DrawEdge(r, EDGE_RAISED, BF_RECT);
    if (!tw_->ShowCaption) return;
    bool active = !tw_->CaptionInactive();
    TRect cap = CaptionRect();
    c->Brush()->SetColor(active ? clActiveCaption : clInactiveCaption);
    c->FillRect(cap);
    c->Font()->SetName("宋体");
    c->Font()->SetHeight(-11);
    c->Font()->SetColor(active ? clCaptionText : clInactiveCaptionText);
    c->Brush()->SetStyle(bsClear);
    TRect text(cap.Left + 1, cap.Top, cap.Right - 1, cap.Bottom);
    c->TextRect(text, text.Left, cap.Top + (cap.Height() - c->TextHeight("Ag")) / 2,
                FitCaption(c, tw_->Caption(), text.Width()));
    c->Brush()->SetStyle(bsSolid);
    TRect close = CloseButtonRect();
    if (IsRectEmpty(close)) return;
    // A frame of the caption's colour round the button.
    c->Brush()->SetColor(active ? clActiveCaption : clInactiveCaption);
    c->FillRect(close);
    InflateRect(close, -1, -1);
    bool down = closeDown_ && closePressed_;
    drawCloseButton(c, close, down);
}

void TToolWindowFloatingFrame::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TCustomControl::MouseDown(b, s, x, y);
    // A second press while a drag runs gives the drag up.
    if (tw_->Moving() || tw_->Sizing()) {
        if (b == mbLeft) tw_->Moving() ? tw_->EndMove(false) : tw_->EndSizing(false);
        return;
    }
    if (b != mbLeft) return;
    tw_->activateParent();
    if (PtInRect(CloseButtonRect(), TPoint(x, y))) {
        closeDown_ = closePressed_ = true;
        Invalidate();
        return;
    }
    if (s.Contains(ssDouble)) {
        tw_->doubleClicked();
        return;
    }
    if (int edge = SizingEdgeAt(x, y); edge >= 0) {
        tw_->BeginSizing(edge, ClientToScreen(TPoint(x, y)));
        return;
    }
    // The caption and the frame drag the window, the grab point taken in
    // the window's own coordinates.
    tw_->SetMoveCtrl(s.Contains(ssCtrl));
    tw_->BeginMove(x - tw_->Left(), y - tw_->Top());
}

void TToolWindowFloatingFrame::MouseMove(TShiftState s, int x, int y) {
    TCustomControl::MouseMove(s, x, y);
    if (tw_->Sizing()) {
        tw_->SizeTo(ClientToScreen(TPoint(x, y)));
        return;
    }
    if (!closeDown_ && !tw_->Moving()) {
        // The frame's edges show which way they size.
        static const TCursor cursors[] = {crSizeWE, crSizeWE, crSizeNS, crSizeNWSE, crSizeNESW, crSizeNS, crSizeNESW, crSizeNWSE};
        int edge = SizingEdgeAt(x, y);
        SetCursor(edge >= 0 ? cursors[edge] : crDefault);
    }
    if (closeDown_) {
        bool in = PtInRect(CloseButtonRect(), TPoint(x, y));
        if (in != closePressed_) {
            closePressed_ = in;
            Invalidate();
        }
    } else if (tw_->Moving()) {
        tw_->MoveTo(ClientToScreen(TPoint(x, y)));
    }
}

void TToolWindowFloatingFrame::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    TCustomControl::MouseUp(b, s, x, y);
    if (b != mbLeft) return;
    if (closeDown_) {
        closeDown_ = false;
        Invalidate();
        // Released off the button, nothing closes.
        if (closePressed_ && PtInRect(CloseButtonRect(), TPoint(x, y))) tw_->CloseWindow();
        closePressed_ = false;
    } else if (tw_->Sizing()) {
        tw_->EndSizing(true);
    } else if (tw_->Moving()) {
        tw_->EndMove(true);
    }
}

TToolWindowFloatingForm::TToolWindowFloatingForm(TComponent* owner, TCustomToolWindow97* tw)
    : TForm(owner), ToolWindow(tw) {
    // The frame and caption are the window's own.
    SetBorderStyle(bsNone);
    // A floating tool window never takes the keyboard from its form.
    SetNoActivate(true);
    SetCaption(tw->Caption());
    Frame = new TToolWindowFloatingFrame(this, tw);
    Frame->SetParent(this);
    OnCloseQuery = [this](TObject*, bool& canClose) {
        if (ToolWindow->OnCloseQuery) ToolWindow->OnCloseQuery(ToolWindow, canClose);
    };
    OnClose = [this](TObject*, TCloseAction& a) {
        // Closing the host hides the tool window; the host stays for later.
        a = caHide;
        ToolWindow->TCustomControl::SetVisible(false);
        if (ToolWindow->OnClose) ToolWindow->OnClose(ToolWindow);
        if (ToolWindow->OnVisibleChanged) ToolWindow->OnVisibleChanged(ToolWindow);
    };
}

// ------------------------------------------------------------ tool window

int DockPositionOfControl(const TControl* c) {
    for (; c; c = c->Parent())
        if (auto* t = dynamic_cast<const TCustomToolWindow97*>(c))
            return t->DockedTo() ? int(t->DockedTo()->Position()) : DockPositionNone;
    return DockPositionNone;
}

TCustomToolWindow97::TCustomToolWindow97(TComponent* owner) : TCustomControl(owner) {
    DockPositionQuery = DockPositionOfControl;
    SetColor(clBtnFace);
    SetTabStop(false);
    // A floating window follows its form and the application: shown,
    // hidden, minimised, active or not.
    AddWindowWatch(this, [this](TWindowWatchKind, TCustomForm*) {
        if (!dock_ && floating_) RefreshVisibility();
    });
}

TCustomToolWindow97::~TCustomToolWindow97() {
    RemoveWindowWatch(this);
    if (moving_ || sizeEdge_ >= 0) SetKeyWatch(nullptr);
    for (TDock97* d : {dock_, lastDock_})
        if (d) {
            auto drop = [this](std::vector<TCustomToolWindow97*>& v) { v.erase(std::remove(v.begin(), v.end(), this), v.end()); };
            drop(d->members_);
            drop(d->shown_);
        }
}

int TCustomToolWindow97::DragHandleSize() const {
    if (!dock_ || !dock_->AllowDrag) return 0;
    if (closeWhenDocked_) return 14;
    return DragHandleStyle == dhDouble ? 9 : DragHandleStyle == dhSingle ? 6 : 0;
}

void TCustomToolWindow97::SetCloseButtonWhenDocked(bool v) {
    if (v == closeWhenDocked_) return;
    closeWhenDocked_ = v;
    if (dock_) dock_->ArrangeBars();
    Invalidate();
}

TRect TCustomToolWindow97::DockedCloseButtonRect() const {
    if (!dock_ || !closeWhenDocked_ || !dock_->AllowDrag) return {};
    int s = DragHandleSize() - 3;
    if (vertical()) {
        int x = Width() - 4 - s + 2;
        return TRect(x, 3, x + s, 3 + s);
    }
    return TRect(3, 2, 3 + s, 2 + s);
}

bool TCustomToolWindow97::CloseWindow() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    if (!canClose) return false;
    // Hidden, not freed: the window comes back where it was when shown.
    SetVisible(false);
    if (OnClose) OnClose(this);
    return true;
}

TSize TCustomToolWindow97::sizeOn(const TDock97* d) {
    // The size is measured for the dock's direction with its frame, as the
    // window would stand there.
    TDock97* was = dock_;
    dock_ = const_cast<TDock97*>(d);
    TSize s = OrderControls(d && d->Vertical());
    dock_ = was;
    return s;
}

TSize TCustomToolWindow97::Measure(const TDock97* d) {
    TDock97* was = dock_;
    bool wasMeasuring = measuring_;
    dock_ = const_cast<TDock97*>(d);
    measuring_ = true;
    ScopeExit restore([&] {
        dock_ = was;
        measuring_ = wasMeasuring;
    });
    return OrderControls(d && d->Vertical());
}

void TCustomToolWindow97::SetLastDock(TDock97* d) {
    if (useLastDock_ && dock_) d = dock_;
    if (d == lastDock_) return;
    if (lastDock_ && lastDock_ != dock_) lastDock_->setMembership(false, this);
    lastDock_ = d;
    if (d) {
        useLastDock_ = true;
        d->setMembership(true, this);
    }
}

void TCustomToolWindow97::SetUseLastDock(bool v) {
    if (v == useLastDock_) return;
    useLastDock_ = v;
    SetLastDock(v ? dock_ : nullptr);
}

void TCustomToolWindow97::attach(TDock97* d) {
    if (dock_ == d) return;
    TDock97* old = dock_;
    dock_ = nullptr;
    if (old) {
        old->updateBarShown(this, true);
        if (!useLastDock_) old->setMembership(false, this);
    }
    dock_ = d;
    if (!d) return;
    if (useLastDock_)
        SetLastDock(d);
    else
        d->setMembership(true, this);
    d->updateBarShown(this);
}

void TCustomToolWindow97::SetParent(TWinControl* p) {
    if (!p) {
        attach(nullptr);
        TCustomControl::SetParent(nullptr);
    } else if (auto* d = dynamic_cast<TDock97*>(p)) {
        SetDockedTo(d);
    } else if (p == floating_) {
        TCustomControl::SetParent(p);
    } else if (dynamic_cast<TCustomForm*>(p)) {
        SetDockedTo(nullptr);
    } else {
        throw EInvalidOperation("A tool window can only be placed on a TDock97 or directly on the form");
    }
}

void TCustomToolWindow97::SetDockedTo(TDock97* dock) {
    if (dock == dock_ && (dock || floating_)) return;
    if (OnDockChanging) OnDockChanging(this);
    if (OnDockChangingEx) OnDockChangingEx(this, dock);
    if (dock) {
        dock->LockArrange();
        ScopeExit unlock([dock] { dock->UnlockArrange(); });
        TCustomControl::SetParent(dock);
        attach(dock);
        if (floating_) floating_->Hide();
        dock->ArrangeBars();
    } else {
        attach(nullptr);
        float_();
    }
    Invalidate();
    if (OnDockChanged) OnDockChanged(this);
}

TSize TCustomToolWindow97::AddFloatingFrame(TSize client) const {
    int B = FloatingBorderSize();
    return {client.cx + 2 * B, client.cy + 2 * B + (ShowCaption ? SmallCaptionHeight : 0)};
}

void TCustomToolWindow97::placeFloating(TSize s) {
    int B = FloatingBorderSize();
    arranging_ = true;
    SetBounds(B, B + (ShowCaption ? SmallCaptionHeight : 0), s.cx, s.cy);
    arranging_ = false;
    TSize whole = AddFloatingFrame(s);
    floating_->SetClientWidth(whole.cx);
    floating_->SetClientHeight(whole.cy);
    floating_->Frame->SetBounds(0, 0, whole.cx, whole.cy);
    floating_->Frame->Invalidate();
    // The window lies over the frame's middle, never under it.
    BringToFront();
}

void TCustomToolWindow97::float_() {
    if (!floating_) floating_ = new TToolWindowFloatingForm(Owner() ? Owner() : this, this);
    floating_->SetCaption(Caption());
    TCustomControl::SetParent(floating_);
    applyFloatingMode();
    placeFloating(OrderControls(false));
    floating_->SetLeft(floatPos_.X);
    floating_->SetTop(floatPos_.Y);
    RefreshVisibility();
}

TCustomForm* TCustomToolWindow97::ParentForm() const {
    if (auto* f = dynamic_cast<TCustomForm*>(Owner()); f && f != floating_) return f;
    for (TDock97* d : {lastDock_, DefaultDock})
        if (d)
            if (TCustomForm* f = ::GetParentForm(d)) return f;
    return nullptr;
}

void TCustomToolWindow97::applyFloatingMode() {
    if (!floating_) return;
    if (floatingMode_ == fmOnTopOfAllForms) {
        floating_->SetOwnerForm(nullptr);
        floating_->SetFormStyle(fsStayOnTop);
    } else {
        floating_->SetFormStyle(fsNormal);
        floating_->SetOwnerForm(ParentForm());
    }
}

void TCustomToolWindow97::SetFloatingMode(TToolWindowFloatingMode v) {
    if (v == floatingMode_) return;
    floatingMode_ = v;
    applyFloatingMode();
    RefreshVisibility();
}

void TCustomToolWindow97::SetHideWhenInactive(bool v) {
    if (v == hideWhenInactive_) return;
    hideWhenInactive_ = v;
    RefreshVisibility();
}

bool TCustomToolWindow97::ShouldBeShown() const {
    if (!Visible()) return false;
    if (dock_) return true;
    if (floatingMode_ == fmOnTopOfParentForm) {
        TCustomForm* f = ParentForm();
        if (!f || !f->Visible() || f->WindowState() == wsMinimized) return false;
    }
    return !hideWhenInactive_ || ApplicationActive();
}

void TCustomToolWindow97::RefreshVisibility() {
    bool inactive = !dock_ && !hideWhenInactive_ && !ApplicationActive();
    if (inactive != captionInactive_) {
        captionInactive_ = inactive;
        if (floating_) floating_->Frame->Invalidate();
    }
    if (dock_ || !floating_) return;
    bool show = ShouldBeShown();
    if (show == floating_->Visible()) return;
    if (show) {
        // Shown without taking the keyboard, above its form.
        floating_->Show();
    } else {
        if (moving_) EndMove(false);
        if (sizeEdge_ >= 0) EndSizing(false);
        floating_->Hide();
    }
}

void TCustomToolWindow97::activateParent() {
    if (!ActivateParent || dock_ || floatingMode_ != fmOnTopOfParentForm) return;
    if (TCustomForm* f = ParentForm(); f && f->Visible() && !f->Active()) f->BringToFront();
}

TRect TCustomToolWindow97::WindowRect() const {
    if (!dock_ && floating_) return Bounds(floating_->Left(), floating_->Top(), floating_->Width(), floating_->Height());
    TPoint o = ClientToScreen(TPoint(0, 0));
    return Bounds(o.X, o.Y, Width(), Height());
}

void TCustomToolWindow97::KeepOnScreen(bool onlyWhenFullyOffScreen) {
    if (dock_ || !floating_) return;
    TRect w = Screen->WorkAreaRect(), r = WindowRect(), common;
    if (onlyWhenFullyOffScreen && IntersectRect(common, r, w)) return;
    int dx = 0, dy = 0;
    if (r.Right > w.Right) dx = w.Right - r.Right;
    if (r.Bottom > w.Bottom) dy = w.Bottom - r.Bottom;
    if (r.Left + dx < w.Left) dx = w.Left - r.Left;
    if (r.Top + dy < w.Top) dy = w.Top - r.Top;
    if (dx || dy) SetFloatingPosition(TPoint(r.Left + dx, r.Top + dy));
}

void TCustomToolWindow97::SetFloatingPosition(TPoint p) {
    floatPos_ = p;
    if (floating_ && !dock_) {
        floating_->SetLeft(p.X);
        floating_->SetTop(p.Y);
    }
}

void TCustomToolWindow97::SetDockRow(int r) {
    row_ = std::max(0, r);
    if (dock_) dock_->ArrangeBars();
}

void TCustomToolWindow97::SetDockPos(int p) {
    pos_ = p;
    if (dock_) dock_->ArrangeBars();
}

void TCustomToolWindow97::SetVisible(bool v) {
    bool changed = v != Visible();
    TCustomControl::SetVisible(v);
    if (floating_ && !dock_) RefreshVisibility();
    if (dock_) dock_->updateBarShown(this);
    if (changed && OnVisibleChanged) OnVisibleChanged(this);
}

void TCustomToolWindow97::SetText(const std::string& v) {
    TCustomControl::SetText(v);
    if (floating_) {
        floating_->SetCaption(v);
        floating_->Frame->Invalidate();
    }
}

void TCustomToolWindow97::UnlockLayout() {
    if (lock_ > 0 && --lock_ == 0) ArrangeControls();
}

void TCustomToolWindow97::ArrangeControls() {
    if (lock_) return;
    if (dock_) {
        dock_->ArrangeBars();
    } else if (floating_) {
        placeFloating(OrderControls(false));
    } else {
        TSize s = OrderControls(false);
        arranging_ = true;
        SetBounds(Left(), Top(), s.cx, s.cy);
        arranging_ = false;
    }
    Invalidate();
}

TSize TCustomToolWindow97::OrderControls(bool) { return {Width(), Height()}; }

void TCustomToolWindow97::AlignControls(TRect& r) {
    // Aligned children stay off the border and the handle.
    int b = border();
    r.Left += b + (vertical() ? 0 : DragHandleSize());
    r.Top += b + (vertical() ? DragHandleSize() : 0);
    r.Right -= b;
    r.Bottom -= b;
    TCustomControl::AlignControls(r);
}

void TCustomToolWindow97::Paint() {
    TCanvas* c = Canvas();
    TRect r(0, 0, Width(), Height());
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    if (!dock_) return;
    if (dock_->HasBackground() && dock_->BackgroundOnToolbars()) dock_->TileBackground(c, r, this);
    TRect e = r;
    c->DrawEdge(e, BDR_RAISEDINNER, BF_RECT);
    if (!dock_->AllowDrag) return;
    bool vert = vertical();
    int H = DragHandleSize();
    // Across the handle: the client thickness plus the frame's inner ring.
    int S = (vert ? Width() : Height()) - 2;
    if (DragHandleStyle != dhNone) {
        static const int plain[] = {2, 0, 1}, withClose[] = {3, 0, 5};
        int x0 = 2 + (closeWhenDocked_ ? withClose : plain)[DragHandleStyle];
        int from = 2, to = S;
        // The close button takes the start of a horizontal dock's handle,
        // the end of a vertical one's.
        if (closeWhenDocked_) (vert ? to : from) += vert ? -(H - 2) : H - 2;
        int grips = DragHandleStyle == dhDouble ? 2 : 1;
        for (int i = 0; i < grips; ++i, x0 += 3) {
            TRect g = vert ? TRect(from, x0, to, x0 + 3) : TRect(x0, from, x0 + 3, to);
            c->DrawEdge(g, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
            c->SetPixels(vert ? to - 1 : x0, vert ? x0 : to - 1, clBtnHighlight);
        }
    }
    if (closeWhenDocked_) {
        drawCloseButton(c, DockedCloseButtonRect(), closeDown_);
    }
}

std::vector<TDock97*> TCustomToolWindow97::dockTargets() const {
    std::vector<TDock97*> docks;
    if (DockMode == dmCannotFloatOrChangeDocks) {
        if (dock_) docks.push_back(dock_);
        return docks;
    }
    TComponent* o = Owner();
    if (!o) return docks;
    // The docks in the order they are searched: top, bottom, left, right.
    for (int i = 0; i < o->ComponentCount(); ++i)
        if (auto* d = dynamic_cast<TDock97*>(o->Components(i)))
            if (d->AllowDrag && d->Showing() && DockableTo.Contains(d->Position())) docks.push_back(d);
    std::stable_sort(docks.begin(), docks.end(), [](auto* a, auto* b) { return a->Position() < b->Position(); });
    return docks;
}

namespace {
int mulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    long long p = (long long)a * b;
    return int((p + (p >= 0 ? c / 2 : -c / 2)) / c);
}
} // namespace

TRect TCustomToolWindow97::rectAt(TPoint p, TSize s) const {
    // The grab point keeps its relative place in the window when the size
    // changes.
    return Bounds(p.X - mulDiv(s.cx - 1, grab_.X, extent_.X), p.Y - mulDiv(s.cy - 1, grab_.Y, extent_.Y), s.cx, s.cy);
}

bool TCustomToolWindow97::canDockAt(TDock97* d, TSize s, TPoint p) const {
    TPoint o = d->ClientToScreen(TPoint(0, 0));
    TRect R = Bounds(o.X, o.Y, d->Width(), d->Height());
    // An empty dock is still one pixel either side of its line.
    if (R.Width() <= 0 || R.Height() <= 0) {
        if (d->Vertical())
            InflateRect(R, 1, 0);
        else
            InflateRect(R, 0, 1);
    }
    // The pointer may stray 32 pixels across and 20 along beyond the dock,
    // shared before and after it as the window was grabbed.
    int sx = mulDiv(32, grab_.X, extent_.X);
    if (p.X < R.Left - (32 - sx) || p.X > R.Right - 1 + sx) return false;
    if (d->Vertical() && (p.Y < R.Top || p.Y >= R.Bottom)) return false;
    int sy = mulDiv(20, grab_.Y, extent_.Y);
    if (p.Y < R.Top - (20 - sy) || p.Y > R.Bottom - 1 + sy) return false;
    TRect common;
    return IntersectRect(common, R, rectAt(p, s));
}

void TCustomToolWindow97::BeginMove(int x, int y) {
    if (moving_ || sizeEdge_ >= 0) return;
    TRect w = WindowRect();
    // The grab point in the whole window's coordinates: floating, the
    // frame lies before the window.
    grab_ = (!dock_ && floating_) ? TPoint(x + Left(), y + Top()) : TPoint(x, y);
    extent_ = TPoint(std::max(1, w.Width() - 1), std::max(1, w.Height() - 1));
    targets_.clear();
    for (TDock97* d : dockTargets())
        targets_.push_back({d, d == dock_ ? TSize{Width(), Height()} : Measure(d)});
    floatSize_ = AddFloatingFrame(Measure(nullptr));
    moving_ = true;
    moveRect_ = TRect();
    target_ = nullptr;
    moveSource_ = this;
    if (floating_ && !dock_ && !PtInRect(Bounds(0, 0, Width(), Height()), TPoint(x, y))) moveSource_ = floating_->Frame;
    savedCursor_ = moveSource_->Cursor();
    // The control pressed follows the mouse until the release.
    moveSource_->SetMouseCapture(true);
    // The keyboard is read by the drag while it runs, wherever it is.
    SetKeyWatch([this](Word key, bool down, TShiftState) {
        if (key == VK_CONTROL) {
            if (down != ctrl_) {
                ctrl_ = down;
                trackMove(lastCursor_);
            }
        } else if (key == VK_ESCAPE && down) {
            EndMove(false);
        }
        return true;
    });
    trackMove(ClientToScreen(TPoint(x, y)));
}

void TCustomToolWindow97::SetMoveCtrl(bool held) {
    if (held == ctrl_) return;
    ctrl_ = held;
    if (moving_) trackMove(lastCursor_);
}

void TCustomToolWindow97::trackMove(TPoint p) {
    lastCursor_ = p;
    TDock97* target = nullptr;
    TSize size = floatSize_;
    if (!ctrl_)
        for (auto& [d, s] : targets_) {
            if (!canDockAt(d, s, p)) continue;
            bool accept = true;
            if (d->OnRequestDock) d->OnRequestDock(d, this, accept);
            if (!accept) continue;
            target = d;
            size = s;
            break;
        }
    TRect work = Screen->WorkAreaRect();
    if (!target) {
        p.X = std::clamp(p.X, work.Left, work.Right - 1);
        p.Y = std::clamp(p.Y, work.Top, work.Bottom - 1);
    }
    TRect r = rectAt(p, size);
    if (!target) {
        // Some of the window stays within reach: the border and four
        // pixels, and the lower four pixels of its caption.
        TRect a = work;
        int B = FloatingBorderSize();
        InflateRect(a, -(B + 4), -(B + 4));
        if (r.Bottom <= a.Top) OffsetRect(r, 0, a.Top - r.Bottom);
        if (r.Top >= a.Bottom) OffsetRect(r, 0, a.Bottom - r.Top);
        if (r.Right <= a.Left) OffsetRect(r, a.Left - r.Right, 0);
        if (r.Left >= a.Right) OffsetRect(r, a.Right - r.Left, 0);
        int top = work.Top + 4 - (B + (ShowCaption ? SmallCaptionHeight : 0));
        if (r.Top < top) OffsetRect(r, 0, top - r.Top);
    }
    bool nowhere = !target && DockMode != dmCanFloat;
    if (nowhere) r = TRect();
    if (moveSource_) moveSource_->SetCursor(nowhere ? TCursor(crNo) : savedCursor_);
    moveRect_ = r;
    target_ = target;
    outline_.Show(r, target ? 1 : FloatingBorderSize());
}

void TCustomToolWindow97::MoveTo(TPoint screen) {
    if (moving_) trackMove(screen);
}

void TCustomToolWindow97::EndMove(bool accept) {
    if (!moving_) return;
    moving_ = false;
    SetKeyWatch(nullptr);
    if (moveSource_) {
        moveSource_->SetMouseCapture(false);
        moveSource_->SetCursor(savedCursor_);
    }
    moveSource_ = nullptr;
    outline_.Hide();
    ctrl_ = false;
    if (accept && !IsRectEmpty(moveRect_)) finishMove();
    targets_.clear();
}

void TCustomToolWindow97::finishMove() {
    TRect r = moveRect_;
    if (TDock97* d = target_) {
        TPoint tl = d->ScreenToClient(TPoint(r.Left, r.Top));
        TRect c = Bounds(tl.X, tl.Y, r.Width(), r.Height());
        // The row is the one under the window's centre across the dock;
        // near a row band's edge a new row opens there.
        int centre = d->Vertical() ? (c.Left + c.Right) / 2 : (c.Top + c.Bottom) / 2;
        bool before = false;
        int row = d->RowAtOffset(centre, before);
        if (before)
            d->OpenRowAt(row);
        else if (FullSize && d->CountBarsInRow(row, this) > 0)
            d->OpenRowAt(++row);
        row_ = row;
        pos_ = d->Vertical() ? c.Top : c.Left;
        d->LockArrange();
        {
            ScopeExit unlock([d] { d->UnlockArrange(); });
            if (d != dock_) SetDockedTo(d);
            d->ArrangeBars(true);
        }
    } else {
        floatPos_ = TPoint(r.Left, r.Top);
        if (dock_)
            SetDockedTo(nullptr);
        else
            SetFloatingPosition(floatPos_);
    }
    KeepOnScreen(true);
    if (OnMove) OnMove(this);
}

void TCustomToolWindow97::BeginSizing(int edge, TPoint screen) {
    if (dock_ || !floating_ || moving_ || sizeEdge_ >= 0 || edge < 0 || edge > 7) return;
    TSize min = GetMinimumClientSize();
    nonClient_ = {floating_->Width() - Width(), floating_->Height() - Height()};
    sizeMin_ = {min.cx + nonClient_.cx, min.cy + nonClient_.cy};
    sizeEdge_ = edge;
    sizeStart_ = sizeNew_ = WindowRect();
    sizeFrom_ = sizeLast_ = screen;
    SizingStarted(edge);
    floating_->Frame->SetMouseCapture(true);
    SetKeyWatch([this](Word key, bool down, TShiftState) {
        if (key == VK_ESCAPE && down) EndSizing(false);
        return true;
    });
    outline_.Show(sizeNew_, FloatingBorderSize());
}

void TCustomToolWindow97::SizeTo(TPoint screen) {
    if (sizeEdge_ >= 0) trackSize(screen);
}

void TCustomToolWindow97::trackSize(TPoint p) {
    if (p == sizeLast_) return;
    sizeLast_ = p;
    const int e = sizeEdge_;
    const bool changeX = e != 2 && e != 5, leftSide = e == 0 || e == 3 || e == 6;
    const bool changeY = e >= 2, topSide = e == 2 || e == 3 || e == 4;
    TRect r = sizeStart_;
    int dx = p.X - sizeFrom_.X, dy = p.Y - sizeFrom_.Y;
    if (changeX) (leftSide ? r.Left : r.Right) += dx;
    if (changeY) (topSide ? r.Top : r.Bottom) += dy;
    // Below the minimum, the dragged edge goes back.
    if (r.Width() < sizeMin_.cx) {
        if (leftSide)
            r.Left = r.Right - sizeMin_.cx;
        else
            r.Right = r.Left + sizeMin_.cx;
    }
    if (r.Height() < sizeMin_.cy) {
        if (topSide)
            r.Top = r.Bottom - sizeMin_.cy;
        else
            r.Bottom = r.Top + sizeMin_.cy;
    }
    SizingAdjust(r, sizeStart_);
    sizeNew_ = r;
    outline_.Show(r, FloatingBorderSize());
}

void TCustomToolWindow97::EndSizing(bool accept) {
    if (sizeEdge_ < 0) return;
    SetKeyWatch(nullptr);
    if (floating_) floating_->Frame->SetMouseCapture(false);
    outline_.Hide();
    TRect r = sizeNew_;
    sizeEdge_ = -1;
    if (!accept || !floating_ || dock_) {
        SizingEnded(false);
        return;
    }
    LockLayout();
    {
        ScopeExit unlock([this] { UnlockLayout(); });
        floatPos_ = TPoint(r.Left, r.Top);
        BoundsSizeChanging(r.Width() - nonClient_.cx, r.Height() - nonClient_.cy);
        SizingEnded(true);
    }
    floating_->SetLeft(floatPos_.X);
    floating_->SetTop(floatPos_.Y);
    KeepOnScreen(true);
    if (OnMove) OnMove(this);
}

void TCustomToolWindow97::doubleClicked() {
    if (dock_) {
        if (DockMode == dmCanFloat) {
            SetDockedTo(nullptr);
            KeepOnScreen(true);
        }
    } else if (lastDock_) {
        // Back to the row and place it had there.
        SetDockedTo(lastDock_);
    } else if (DefaultDock) {
        // Before every bar of the first row.
        row_ = 0;
        pos_ = -8;
        SetDockedTo(DefaultDock);
    }
}

TControl* TCustomToolWindow97::childAt(int x, int y) const {
    for (int i = ControlCount() - 1; i >= 0; --i) {
        TControl* c = Controls(i);
        if (c->Visible() && PtInRect(Bounds(c->Left(), c->Top(), c->Width(), c->Height()), TPoint(x, y))) return c;
    }
    return nullptr;
}

void TCustomToolWindow97::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TCustomControl::MouseDown(b, s, x, y);
    // A second press while a drag runs gives the drag up.
    if (moving_) {
        if (b == mbLeft) EndMove(false);
        return;
    }
    if (b != mbLeft || (dock_ && !dock_->AllowDrag) || (!dock_ && !floating_)) return;
    activateParent();
    // A press a child takes (it reaches the window too) is the child's;
    // only the ones that let the window be dragged through them count.
    if (TControl* c = childAt(x, y); c && !DragThroughChild(c)) return;
    bool throughChild = childAt(x, y) != nullptr;
    if (PtInRect(DockedCloseButtonRect(), TPoint(x, y))) {
        // The close button closes on a release over it.
        closeDown_ = true;
        SetMouseCapture(true);
        Invalidate();
        return;
    }
    if (s.Contains(ssDouble)) {
        doubleClicked();
        return;
    }
    if (dock_ && !throughChild) {
        // Docked, the window is dragged by its handle.
        int h = DragHandleSize();
        if (vertical() ? y >= h + 2 : x >= h + 2) return;
    }
    ctrl_ = s.Contains(ssCtrl);
    BeginMove(x, y);
}

void TCustomToolWindow97::MouseMove(TShiftState s, int x, int y) {
    TCustomControl::MouseMove(s, x, y);
    // Ctrl is read at the press and from the keyboard after it.
    if (moving_) MoveTo(ClientToScreen(TPoint(x, y)));
}

void TCustomToolWindow97::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    TCustomControl::MouseUp(b, s, x, y);
    if (b != mbLeft) return;
    if (closeDown_) {
        closeDown_ = false;
        SetMouseCapture(false);
        Invalidate();
        if (PtInRect(DockedCloseButtonRect(), TPoint(x, y))) CloseWindow();
        return;
    }
    if (moving_) EndMove(true);
}

// ------------------------------------------------------------ toolbar

TToolbar97::TToolbar97(TComponent* owner) : TCustomToolWindow97(owner) {
    SetBounds(0, 0, 100, 28);
}

bool TToolbar97::DragThroughChild(TControl* c) const { return dynamic_cast<TToolbarSep97*>(c) != nullptr; }

TSize TToolbar97::OrderControls(bool vert) {
    TDock97* dock = DockedTo();
    const bool floating = !dock;
    vert = vert && !floating;
    // Floating, the controls keep off the frame; docked, the frame and the
    // handle are all.
    const int ml = floating ? 4 : 0, mt = floating ? 2 : 0, mr = floating ? 4 : 0, mb = floating ? 1 : 0;
    const int fl = floating ? 0 : 2 + (vert ? 0 : DragHandleSize()), ft = floating ? 0 : 2 + (vert ? DragHandleSize() : 0);
    const int fr = floating ? 0 : 2, fb = floating ? 0 : 2;
    std::vector<TControl*> cs;
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Visible()) cs.push_back(Controls(i));
    auto sepOf = [](TControl* c) { return dynamic_cast<TToolbarSep97*>(c); };
    int T = 8, widest = 0;
    for (auto* c : cs)
        if (!sepOf(c)) {
            T = std::max(T, vert ? c->Width() : c->Height());
            widest = std::max(widest, c->Width());
        }
    // Bars of one dock row are centred on the row's thickness.
    int K = T;
    if (dock && dock->Shows(this)) K = std::max(T, dock->RowThickness(DockRow()));
    const int wrap = floating && FloatingRightX > 0 ? std::max(FloatingRightX, widest + 8) : INT_MAX;
    // Groups end with a separator.
    std::vector<std::vector<TControl*>> groups(cs.empty() ? 0 : 1);
    for (size_t i = 0; i < cs.size(); ++i) {
        groups.back().push_back(cs[i]);
        if (sepOf(cs[i]) && i + 1 < cs.size()) groups.emplace_back();
    }
    // Measuring moves no control.
    const bool place = !Measuring();
    if (place) lineSeps_.clear();
    int x = ml, y = mt, E = ml, beforeSep = ml;
    bool newRow = false;
    TToolbarSep97* trailing = nullptr;
    for (size_t g = 0; g < groups.size(); ++g) {
        int L = 0;
        for (auto* c : groups[g])
            if (!sepOf(c)) L += vert ? c->Height() : c->Width();
        if (floating && (newRow || x + L + mr > wrap)) {
            newRow = false;
            x = ml;
            if (g > 0 && !groups[g - 1].empty()) {
                y += T + 6;
                if (trailing) {
                    // The separator that ended the row gives way to a line.
                    E = beforeSep;
                    if (place) {
                        trailing->SetBounds(trailing->Left(), trailing->Top(), 0, trailing->Height());
                        lineSeps_.push_back({y, trailing->Blank});
                    }
                }
            }
        }
        E = std::max(E, x);
        trailing = nullptr;
        for (auto* c : groups[g]) {
            TToolbarSep97* sep = sepOf(c);
            int size = sep ? (vert ? sep->SizeVert : sep->SizeHorz) : (vert ? c->Height() : c->Width());
            if (floating && !sep && x + size + mr > wrap) {
                x = ml;
                y += T;
                newRow = true;
            }
            if (!place) {
            } else if (!vert) {
                if (sep)
                    c->SetBounds(fl + x, ft + y, sep->SizeHorz, K);
                else
                    c->SetBounds(fl + x, ft + y + (K - c->Height()) / 2, c->Width(), c->Height());
            } else if (sep) {
                c->SetBounds(fl + y, ft + x, K, sep->SizeVert);
            } else {
                c->SetBounds(fl + y + (K - c->Width()) / 2, ft + x, c->Width(), c->Height());
            }
            int before = E;
            x += size;
            E = std::max(E, x);
            if (sep) {
                beforeSep = before;
                trailing = sep;
            }
        }
    }
    if (groups.empty()) E = ml + 8;
    TSize client = vert ? TSize{y + K + mb, E + mr} : TSize{E + mr, y + (floating ? T : K) + mb};
    return {client.cx + fl + fr, client.cy + ft + fb};
}

std::vector<TSize> TToolbar97::CollectFloatingSizes() {
    const int keep = FloatingRightX;
    ScopeExit restore([&] { FloatingRightX = keep; });
    std::vector<TSize> sizes;
    FloatingRightX = 0;
    TSize one = Measure(nullptr);
    sizes.push_back(one);
    // Every narrower wrap limit the toolbar fills exactly is a size it can
    // take; of sizes with one height only the narrowest stays.
    for (int i = one.cx - 1; i > 7;) {
        FloatingRightX = i;
        TSize m = Measure(nullptr);
        if (m.cx > i) break;
        if (m.cx < i) {
            i = m.cx;
            continue;
        }
        if (std::find(sizes.begin(), sizes.end(), m) == sizes.end()) {
            if (sizes.size() > 1 && sizes.back().cy == m.cy)
                sizes.back() = m;
            else
                sizes.push_back(m);
        }
        --i;
    }
    return sizes;
}

void TToolbar97::SizingStarted(int edge) {
    sizing_ = std::make_unique<SizingData>();
    sizing_->edge = edge;
    sizing_->newRightX = FloatingRightX;
    for (TSize s : CollectFloatingSizes()) sizing_->steps.push_back(AddFloatingFrame(s));
    const bool vert = edge == 2 || edge == 5;
    auto along = [vert](TSize s) { return vert ? s.cy : s.cx; };
    std::stable_sort(sizing_->steps.begin(), sizing_->steps.end(),
                     [&](TSize a, TSize b) { return along(a) > along(b); });
    // The snap never reaches the neighbouring sizes.
    TRect w = WindowRect();
    TSize now{w.Width(), w.Height()};
    auto& st = sizing_->steps;
    for (size_t i = 0; i < st.size(); ++i) {
        if (st[i] != now) continue;
        if (i > 0) sizing_->snap = std::min(sizing_->snap, std::abs(along(st[i - 1]) - along(now)) - 1);
        if (i + 1 < st.size()) sizing_->snap = std::min(sizing_->snap, std::abs(along(st[i + 1]) - along(now)) - 1);
        break;
    }
    sizing_->snap = std::max(0, sizing_->snap);
}

void TToolbar97::SizingAdjust(TRect& r, const TRect& start) {
    if (!sizing_ || sizing_->steps.empty()) return;
    SizingData& sd = *sizing_;
    const int edge = sd.edge;
    const bool vert = edge == 2 || edge == 5;
    if (!vert && edge != 0 && edge != 1) return;
    TPoint c = SizingCursor();
    // The pointer's distance from the edge that stays.
    int p = edge == 0 ? start.Right - c.X : edge == 1 ? c.X - start.Left : edge == 2 ? start.Bottom - c.Y : c.Y - start.Top;
    int size = vert ? start.Height() : start.Width();
    bool shrinking = size > p;
    if (!sd.changed || shrinking != sd.shrinking) {
        sd.shrinking = shrinking;
        sd.changed = false;
        if (size - sd.snap <= p && p < size + sd.snap) p = size;
    }
    auto along = [vert](TSize s) { return vert ? s.cy : s.cx; };
    const int n = int(sd.steps.size());
    int taken = -1;
    if (p > size) {
        // Growing: the smallest size beyond the pointer.
        for (int i = 0; i < n; ++i)
            if (i == 0 || along(sd.steps[size_t(i)]) > p) taken = i;
    } else {
        // Shrinking: the largest size within it.
        for (int i = n - 1; i >= 0; --i)
            if (i == n - 1 || along(sd.steps[size_t(i)]) <= p) taken = i;
    }
    TSize st = sd.steps[size_t(taken)];
    // The one-row size wraps nowhere.
    bool oneRow = vert ? taken == n - 1 : taken == 0;
    sd.newRightX = oneRow ? 0 : st.cx - 2 * FloatingBorderSize();
    r = start;
    switch (edge) {
    case 0: r.Left = r.Right - st.cx; break;
    case 1: r.Right = r.Left + st.cx; break;
    case 2: r.Top = r.Bottom - st.cy; break;
    default: r.Bottom = r.Top + st.cy; break;
    }
    if (vert)
        r.Right = r.Left + st.cx;
    else
        r.Bottom = r.Top + st.cy;
    sd.changed = r != start;
}

void TToolbar97::SizingEnded(bool accepted) {
    if (accepted && sizing_) FloatingRightX = sizing_->newRightX;
    sizing_.reset();
}

void TToolbar97::Paint() {
    TCustomToolWindow97::Paint();
    if (Docked()) return;
    TCanvas* c = Canvas();
    for (auto& l : lineSeps_) {
        if (l.blank) continue;
        c->Pen()->SetColor(clBtnShadow);
        c->MoveTo(1, l.y - 4);
        c->LineTo(ClientWidth() - 1, l.y - 4);
        c->Pen()->SetColor(clBtnHighlight);
        c->MoveTo(1, l.y - 3);
        c->LineTo(ClientWidth() - 1, l.y - 3);
    }
}

TToolbarSep97::TToolbarSep97(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 6, 22); }

void TToolbarSep97::SetParent(TWinControl* p) {
    if (p && !dynamic_cast<TToolbar97*>(p)) throw EInvalidOperation("TToolbarSep97 can only be placed on a TToolbar97");
    TGraphicControl::SetParent(p);
}

void TToolbarSep97::Paint() {
    if (Blank || Width() == 0) return;
    TCanvas* c = Canvas();
    bool across = Width() >= Height(); // in a vertical toolbar the line lies flat
    TRect r = across ? TRect(2, Height() / 2 - 1, Width() - 2, Height() / 2 + 1)
                     : TRect(Width() / 2 - 1, 2, Width() / 2 + 1, Height() - 2);
    c->DrawEdge(r, EDGE_ETCHED, across ? BF_TOP : BF_LEFT);
}

// ------------------------------------------------------------ tool window

TToolWindow97::TToolWindow97(TComponent* owner) : TCustomToolWindow97(owner) {}

TSize TToolWindow97::GetMinimumClientSize() const {
    int b = border();
    return {MinClientWidth + 2 * b, MinClientHeight + 2 * b};
}

void TToolWindow97::BoundsSizeChanging(int w, int h) {
    int b = border();
    ClientAreaWidth = std::max(MinClientWidth, w - 2 * b);
    ClientAreaHeight = std::max(MinClientHeight, h - 2 * b);
}

TSize TToolWindow97::OrderControls(bool vert) {
    int b = border(), h = DragHandleSize();
    int w = std::max(MinClientWidth, ClientAreaWidth), hh = std::max(MinClientHeight, ClientAreaHeight);
    return vert ? TSize{w + 2 * b, hh + 2 * b + h} : TSize{w + 2 * b + h, hh + 2 * b};
}
