#include "report/toolkit/RM_TB97.h"

#include <algorithm>
#include <map>

// ------------------------------------------------------------ dock

TDock97::TDock97(TComponent* owner, TDockPosition position) : TCustomControl(owner), position_(position) {
    SetPosition(position);
    SetColor(clBtnFace);
    SetTabStop(false);
}

void TDock97::SetPosition(TDockPosition p) {
    position_ = p;
    static const TAlign aligns[] = {alTop, alBottom, alLeft, alRight};
    SetAlign(aligns[p]);
    ArrangeToolbars();
}

std::vector<TCustomToolWindow97*> TDock97::ToolWindows() const {
    auto v = docked_;
    std::stable_sort(v.begin(), v.end(),
                     [](auto* a, auto* b) { return a->row_ != b->row_ ? a->row_ < b->row_ : a->pos_ < b->pos_; });
    return v;
}

int TDock97::RowCount() const {
    std::vector<int> rows;
    for (auto* t : docked_)
        if (t->Visible()) rows.push_back(t->row_);
    std::sort(rows.begin(), rows.end());
    return int(std::unique(rows.begin(), rows.end()) - rows.begin());
}

void TDock97::EndUpdate() {
    if (updating_ > 0 && --updating_ == 0) ArrangeToolbars();
}

int TDock97::RowAt(int across) const {
    int edge = 0, row = 0;
    std::map<int, int> sizes; // row number -> thickness
    for (auto* t : docked_)
        if (t->Visible()) {
            int s = Vertical() ? t->Width() : t->Height();
            sizes[t->row_] = std::max(sizes[t->row_], s);
        }
    for (auto& [r, s] : sizes) {
        if (across < edge + s) return row;
        edge += s;
        ++row;
    }
    return row;
}

void TDock97::ArrangeToolbars() {
    if (updating_ || arranging_) return;
    arranging_ = true;
    // Rows are renumbered 0, 1, ... in their order, dropping empty ones.
    std::map<int, std::vector<TCustomToolWindow97*>> rows;
    for (auto* t : ToolWindows())
        if (t->Visible()) rows[LimitToOneRow ? 0 : t->row_].push_back(t);
    int edge = 0, rowNo = 0;
    int length = Vertical() ? ClientHeight() : ClientWidth();
    for (auto& [r, ws] : rows) {
        int thick = 0;
        for (auto* t : ws) {
            TSize s = t->OrderControls(Vertical());
            t->arranging_ = true;
            t->SetBounds(t->Left(), t->Top(), s.cx, s.cy);
            t->arranging_ = false;
            thick = std::max(thick, Vertical() ? s.cx : s.cy);
        }
        int at = 0;
        for (auto* t : ws) {
            t->row_ = rowNo;
            int len = Vertical() ? t->Height() : t->Width();
            int p = std::max(at, t->pos_);
            if (t->FullSize) p = 0;
            t->pos_ = p;
            t->arranging_ = true;
            if (Vertical())
                t->SetBounds(edge, p, t->FullSize ? thick : t->Width(), t->FullSize ? length : t->Height());
            else
                t->SetBounds(p, edge, t->FullSize ? length : t->Width(), t->FullSize ? thick : t->Height());
            t->arranging_ = false;
            at = p + len;
        }
        edge += thick;
        ++rowNo;
    }
    if (Vertical())
        SetWidth(edge);
    else
        SetHeight(edge);
    arranging_ = false;
    Invalidate();
}

void TDock97::Paint() {
    Canvas()->Brush()->SetColor(Color());
    Canvas()->FillRect(ClientRect());
}

void TDock97::Resize() {
    TCustomControl::Resize();
    if (!arranging_) {
        // Full-size tool windows follow the dock's length.
        for (auto* t : docked_)
            if (t->FullSize) {
                ArrangeToolbars();
                break;
            }
    }
}

// ------------------------------------------------------------ floating host

TToolWindowFloatingForm::TToolWindowFloatingForm(TComponent* owner, TCustomToolWindow97* tw)
    : TForm(owner), ToolWindow(tw) {
    SetBorderStyle(bsToolWindow);
    SetCaption(tw->Caption());
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
    if (dock_) {
        auto& v = dock_->docked_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
}

int TCustomToolWindow97::DragHandleSize() const {
    if (!dock_ || DragHandleStyle == dhNone) return 0;
    return DragHandleStyle == dhDouble ? 9 : 6;
}

void TCustomToolWindow97::attach(TDock97* d) {
    if (dock_ == d) return;
    if (dock_) {
        auto& v = dock_->docked_;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        TDock97* old = dock_;
        dock_ = nullptr;
        old->ArrangeToolbars();
    }
    dock_ = d;
    if (d) d->docked_.push_back(this);
}

void TCustomToolWindow97::SetDockedTo(TDock97* dock) {
    if (dock == dock_ && (dock || floating_)) return;
    if (dock) {
        attach(dock);
        SetParent(dock);
        if (floating_) floating_->Hide();
        dock->ArrangeToolbars();
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
    SetParent(floating_);
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
    if (dock_) dock_->ArrangeToolbars();
}

void TCustomToolWindow97::SetDockPos(int p) {
    pos_ = std::max(0, p);
    if (dock_) dock_->ArrangeToolbars();
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
    if (dock_) dock_->ArrangeToolbars();
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
        dock_->ArrangeToolbars();
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
    if (DragHandleStyle == dhNone) return;
    // The grip: one or two raised bars along the handle.
    int bars = DragHandleStyle == dhDouble ? 2 : 1;
    for (int i = 0; i < bars; ++i) {
        TRect g =
            vertical() ? TRect(3, 3 + i * 3, Width() - 3, 6 + i * 3) : TRect(3 + i * 3, 3, 6 + i * 3, Height() - 3);
        c->DrawEdge(g, BDR_RAISEDINNER, BF_RECT);
    }
}

TDock97* TCustomToolWindow97::dockAt(TPoint screen) const {
    TComponent* o = Owner();
    if (!o) return nullptr;
    for (int i = 0; i < o->ComponentCount(); ++i) {
        auto* d = dynamic_cast<TDock97*>(o->Components(i));
        if (!d || !d->AllowDrag || !d->Showing()) continue;
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
        if (p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom) return d;
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
        int along = d->Vertical() ? p.Y - grab_.Y : p.X - grab_.X;
        int across = d->Vertical() ? p.X : p.Y;
        int row = d->RowAt(std::max(0, across));
        // Past the last row (or before the first) starts a new one.
        if (across < 0) {
            for (auto* t : d->docked_) ++t->row_;
            row = 0;
        } else if (row >= d->RowCount()) {
            row = d->RowCount() + (dock_ == d ? 0 : 0);
        }
        bool changed = d != dock_;
        pos_ = std::max(0, along);
        row_ = row;
        if (changed) {
            SetDockedTo(d);
        } else {
            d->ArrangeToolbars();
        }
    } else {
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
            dock_->ArrangeToolbars();
        else
            SetFloatingPosition(floatPos_);
    }
}

void TCustomToolWindow97::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    TCustomControl::MouseDown(b, s, x, y);
    if (b != mbLeft || !dock_ || !dock_->AllowDrag) return;
    int h = DragHandleSize();
    bool onHandle = vertical() ? y < h + 2 : x < h + 2;
    if (onHandle) {
        if (CanFocus()) SetFocus();
        BeginMove(x, y);
    }
}

void TCustomToolWindow97::MouseMove(TShiftState s, int x, int y) {
    TCustomControl::MouseMove(s, x, y);
    if (moving_) MoveTo(ClientToScreen(TPoint(x, y)));
}

void TCustomToolWindow97::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    TCustomControl::MouseUp(b, s, x, y);
    if (b == mbLeft && moving_) EndMove(true);
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

TSize TToolbar97::OrderControls(bool vert) {
    int b = border(), h = DragHandleSize();
    int thick = 0;
    for (int i = 0; i < ControlCount(); ++i)
        if (Controls(i)->Visible()) {
            auto* sep = dynamic_cast<TToolbarSep97*>(Controls(i));
            if (!sep) thick = std::max(thick, vert ? Controls(i)->Width() : Controls(i)->Height());
        }
    if (!thick) thick = 22;
    int at = b + h + (h ? 1 : 0);
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible()) continue;
        auto* sep = dynamic_cast<TToolbarSep97*>(c);
        if (vert) {
            int ch = sep ? sep->SizeVert : c->Height();
            int cw = sep ? thick : c->Width();
            c->SetBounds(b + (thick - cw) / 2, at, cw, ch);
            at += ch;
        } else {
            int cw = sep ? sep->SizeHorz : c->Width();
            int ch = sep ? thick : c->Height();
            c->SetBounds(at, b + (thick - ch) / 2, cw, ch);
            at += cw;
        }
    }
    at += b + 1;
    return vert ? TSize{thick + 2 * b, at} : TSize{at, thick + 2 * b};
}

TToolbarSep97::TToolbarSep97(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 6, 22); }

void TToolbarSep97::Paint() {
    if (Blank) return;
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
