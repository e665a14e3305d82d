#include "report/toolkit/RM_TB97.h"

#include <algorithm>
#include <climits>
#include <map>

#include "ScopeExit.h"
#include "SysUtils.h"

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
    ArrangeBars();
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

int TDock97::RowAtOffset(int offset, bool& insertBefore) const {
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
        int W = Width(), H = Height();
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
        for (int r = 0; r <= LastRowIndex(); ++r) {
            int thick = RowThickness(r);
            int band = thick ? thick + 4 : 0;
            for (auto* t : shown_) {
                if (t->row_ != r) continue;
                TSize s = t->sizeOn(this);
                int P = t->FullSize ? 0 : fitted[t];
                t->arranging_ = true;
                if (Vertical())
                    t->SetBounds(across, P, band, t->FullSize ? H : s.cy);
                else
                    t->SetBounds(P, across, t->FullSize ? W : s.cx, band);
                t->arranging_ = false;
            }
            across += band;
        }
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
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
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

TToolWindowFloatingForm::TToolWindowFloatingForm(TComponent* owner, TCustomToolWindow97* tw)
    : TForm(owner), ToolWindow(tw) {
    SetBorderStyle(bsToolWindow);
    SetCaption(tw->Caption());
    OnCloseQuery = [this](TObject*, bool& canClose) {
        if (ToolWindow->OnCloseQuery) ToolWindow->OnCloseQuery(ToolWindow, canClose);
    };
    OnClose = [this](TObject*, TCloseAction& a) {
        // The close box hides the tool window; the host stays for later.
        a = caHide;
        ToolWindow->TCustomControl::SetVisible(false);
        if (ToolWindow->OnClose) ToolWindow->OnClose(ToolWindow);
        if (ToolWindow->OnVisibleChanged) ToolWindow->OnVisibleChanged(ToolWindow);
    };
}

// ------------------------------------------------------------ tool window

TCustomToolWindow97::TCustomToolWindow97(TComponent* owner) : TCustomControl(owner) {
    SetColor(clBtnFace);
    SetTabStop(false);
}

TCustomToolWindow97::~TCustomToolWindow97() {
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

void TCustomToolWindow97::float_() {
    if (!floating_) floating_ = new TToolWindowFloatingForm(Owner() ? Owner() : this, this);
    floating_->SetCaption(Caption());
    TCustomControl::SetParent(floating_);
    TSize s = OrderControls(false);
    SetBounds(0, 0, s.cx, s.cy);
    floating_->SetClientWidth(s.cx);
    floating_->SetClientHeight(s.cy);
    floating_->SetLeft(floatPos_.X);
    floating_->SetTop(floatPos_.Y);
    if (Visible()) floating_->Show();
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
    if (floating_ && !dock_) {
        if (v)
            floating_->Show();
        else
            floating_->Hide();
    }
    if (dock_) dock_->updateBarShown(this);
    if (changed && OnVisibleChanged) OnVisibleChanged(this);
}

void TCustomToolWindow97::SetText(const std::string& v) {
    TCustomControl::SetText(v);
    if (floating_) floating_->SetCaption(v);
}

void TCustomToolWindow97::UnlockLayout() {
    if (lock_ > 0 && --lock_ == 0) ArrangeControls();
}

void TCustomToolWindow97::ArrangeControls() {
    if (lock_) return;
    if (dock_) {
        dock_->ArrangeBars();
    } else {
        TSize s = OrderControls(false);
        arranging_ = true;
        SetBounds(Left(), Top(), s.cx, s.cy);
        arranging_ = false;
        if (floating_) {
            floating_->SetClientWidth(s.cx);
            floating_->SetClientHeight(s.cy);
        }
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
        TRect b = DockedCloseButtonRect();
        TRect f = b;
        c->DrawEdge(f, closeDown_ ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
        // The cross.
        int o = closeDown_ ? 1 : 0;
        c->Pen()->SetColor(clBtnText);
        for (int d = 0; d < 2; ++d) {
            c->MoveTo(b.Left + 3 + o + d, b.Top + 3 + o);
            c->LineTo(b.Right - 3 + o + d, b.Bottom - 2 + o);
            c->MoveTo(b.Right - 4 + o + d, b.Top + 3 + o);
            c->LineTo(b.Left + 2 + o + d, b.Bottom - 2 + o);
        }
    }
}

TDock97* TCustomToolWindow97::dockAt(TPoint screen) const {
    TComponent* o = Owner();
    if (!o) return nullptr;
    // The docks in the order they are searched: top, bottom, left, right.
    std::vector<TDock97*> docks;
    if (DockMode == dmCannotFloatOrChangeDocks) {
        if (dock_) docks.push_back(dock_);
    } else {
        for (int i = 0; i < o->ComponentCount(); ++i)
            if (auto* d = dynamic_cast<TDock97*>(o->Components(i))) docks.push_back(d);
        std::stable_sort(docks.begin(), docks.end(), [](auto* a, auto* b) { return a->Position() < b->Position(); });
    }
    for (auto* d : docks) {
        if (!d->AllowDrag || !d->Showing() || !DockableTo.Contains(d->Position())) continue;
        TPoint p = d->ScreenToClient(screen);
        // A dock catches the window a little outside its edge too, so that
        // an empty (thin) dock can be reached.
        TRect r(0, 0, d->Width(), d->Height());
        int grow = 12;
        if (d->Vertical())
            r = TRect(d->Position() == dpRight ? -grow : 0, 0, d->Width() + (d->Position() == dpLeft ? grow : 0),
                      d->Height());
        else
            r = TRect(0, d->Position() == dpBottom ? -grow : 0, d->Width(),
                      d->Height() + (d->Position() == dpTop ? grow : 0));
        if (p.X < r.Left || p.X >= r.Right || p.Y < r.Top || p.Y >= r.Bottom) continue;
        bool accept = true;
        if (d->OnRequestDock) d->OnRequestDock(d, const_cast<TCustomToolWindow97*>(this), accept);
        if (accept) return d;
    }
    return nullptr;
}

void TCustomToolWindow97::BeginMove(int x, int y) {
    moving_ = true;
    grab_ = TPoint(x, y);
    startDock_ = dock_;
    startRow_ = row_;
    startPos_ = pos_;
    startFloat_ = floatPos_;
    SetMouseCapture(true);
}

void TCustomToolWindow97::MoveTo(TPoint screen) {
    if (!moving_) return;
    TDock97* d = dockAt(screen);
    if (d) {
        TPoint p = d->ScreenToClient(screen);
        TSize s = sizeOn(d);
        int along = d->Vertical() ? p.Y - grab_.Y : p.X - grab_.X;
        // The row is the one under the window's centre across the dock;
        // near a row band's edge a new row opens there.
        int centre = d->Vertical() ? p.X - grab_.X + s.cx / 2 : p.Y - grab_.Y + s.cy / 2;
        bool before = false;
        int row = d->RowAtOffset(centre, before);
        if (before) {
            d->OpenRowAt(row);
        } else if (FullSize && d->CountBarsInRow(row, this) > 0) {
            d->OpenRowAt(++row);
        }
        bool changed = d != dock_;
        pos_ = along;
        row_ = row;
        d->LockArrange();
        {
            ScopeExit unlock([d] { d->UnlockArrange(); });
            if (changed) SetDockedTo(d);
            d->ArrangeBars(true);
        }
    } else if (DockMode == dmCanFloat) {
        floatPos_ = TPoint(screen.X - grab_.X, screen.Y - grab_.Y);
        if (dock_)
            SetDockedTo(nullptr);
        else if (floating_) {
            floating_->SetLeft(floatPos_.X);
            floating_->SetTop(floatPos_.Y);
        }
    }
    if (OnMove) OnMove(this);
}

void TCustomToolWindow97::EndMove(bool accept) {
    if (!moving_) return;
    moving_ = false;
    SetMouseCapture(false);
    if (!accept) {
        // Esc puts the window back where the move started.
        row_ = startRow_;
        pos_ = startPos_;
        floatPos_ = startFloat_;
        if (startDock_ != dock_)
            SetDockedTo(startDock_);
        else if (dock_)
            dock_->ArrangeBars(true);
        else
            SetFloatingPosition(floatPos_);
    }
}

void TCustomToolWindow97::doubleClicked() {
    if (dock_) {
        if (DockMode == dmCanFloat) SetDockedTo(nullptr);
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

void TCustomToolWindow97::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TCustomControl::MouseDown(b, s, x, y);
    if (b != mbLeft || (dock_ && !dock_->AllowDrag) || (!dock_ && !floating_)) return;
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
    if (dock_) {
        // Docked, the window is dragged by its handle.
        int h = DragHandleSize();
        if (vertical() ? y >= h + 2 : x >= h + 2) return;
    }
    if (CanFocus()) SetFocus();
    BeginMove(x, y);
}

void TCustomToolWindow97::MouseMove(TShiftState s, int x, int y) {
    TCustomControl::MouseMove(s, x, y);
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

void TCustomToolWindow97::KeyDown(Word& key, TShiftState s) {
    if (moving_ && key == VK_ESCAPE) {
        EndMove(false);
        key = 0;
        return;
    }
    TCustomControl::KeyDown(key, s);
}

// ------------------------------------------------------------ toolbar

TToolbar97::TToolbar97(TComponent* owner) : TCustomToolWindow97(owner) {
    CloseButton = false;
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
    lineSeps_.clear();
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
                    trailing->SetBounds(trailing->Left(), trailing->Top(), 0, trailing->Height());
                    lineSeps_.push_back({y, trailing->Blank});
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
            if (!vert) {
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

void TToolbarSep97::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TGraphicControl::MouseDown(b, s, x, y);
    // The toolbar is dragged by its separators as by its handle.
    auto* bar = dynamic_cast<TToolbar97*>(Parent());
    if (!bar || !bar->DragThroughChild(this)) return;
    if (b != mbLeft || (bar->Docked() && !bar->DockedTo()->AllowDrag)) return;
    if (s.Contains(ssDouble)) {
        bar->doubleClicked();
        return;
    }
    TPoint p = bar->ScreenToClient(ClientToScreen(TPoint(x, y)));
    bar->BeginMove(p.X, p.Y);
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

TSize TToolWindow97::OrderControls(bool vert) {
    int b = border(), h = DragHandleSize();
    int w = std::max(MinClientWidth, ClientAreaWidth), hh = std::max(MinClientHeight, ClientAreaHeight);
    return vert ? TSize{w + 2 * b, hh + 2 * b + h} : TSize{w + 2 * b + h, hh + 2 * b};
}
