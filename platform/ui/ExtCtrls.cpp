// The extra controls. Panels, bevels, shapes, images and splitters paint on
// their TCanvas like the class library's do, so they look the same on
// screen, in a PNG and in the recorder.
#include "ExtCtrls.h"

#include <QTimer>
#include <algorithm>

#include "Controls_p.h"

// ------------------------------------------------------------ panel

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
    d_->widget->setFocusPolicy(Qt::NoFocus);
    d_->tabStop = false;
    SetColor(clBtnFace);
    SetBounds(0, 0, 185, 41);
}

void TPanel::SetText(const std::string& v) {
    d_->text = v;
    Invalidate();
}

static void Bevel(TCanvas* c, TRect& r, TBevelCut cut, int width) {
    if (cut == bvNone) return;
    for (int i = 0; i < width; ++i) {
        if (cut != bvSpace) {
            TColor tl = cut == bvRaised ? clBtnHighlight : clBtnShadow;
            TColor br = cut == bvRaised ? clBtnShadow : clBtnHighlight;
            c->Pen()->SetColor(tl);
            c->MoveTo(r.Left, r.Bottom - 1);
            c->LineTo(r.Left, r.Top);
            c->LineTo(r.Right - 1, r.Top);
            c->Pen()->SetColor(br);
            c->LineTo(r.Right - 1, r.Bottom - 1);
            c->LineTo(r.Left, r.Bottom - 1);
        }
        InflateRect(r, -1, -1);
    }
}

void TPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    Bevel(c, r, bevelOuter_, bevelWidth_);
    InflateRect(r, -borderWidth_, -borderWidth_);
    Bevel(c, r, bevelInner_, bevelWidth_);
    if (!d_->text.empty()) {
        c->Font()->Assign(Font());
        c->Brush()->SetStyle(bsClear);
        unsigned fmt = DT_VCENTER | DT_SINGLELINE |
                       (alignment_ == taCenter         ? DT_CENTER
                        : alignment_ == taRightJustify ? DT_RIGHT
                                                       : DT_LEFT);
        c->DrawText(d_->text, -1, r, fmt);
        c->Brush()->SetStyle(bsSolid);
    }
    TCustomControl::Paint();
}

void TPanel::AlignControls(TRect& r) {
    int edge = borderWidth_ + (bevelOuter_ != bvNone ? bevelWidth_ : 0) + (bevelInner_ != bvNone ? bevelWidth_ : 0);
    InflateRect(r, -edge, -edge);
    TWinControl::AlignControls(r);
}

// ------------------------------------------------------------ bevel, shape

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 50, 50); }

void TBevel::Paint() {
    TCanvas* c = Canvas();
    TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
    TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
    const int w = Width(), h = Height();
    auto line = [c](TColor col, int x1, int y1, int x2, int y2) {
        c->Pen()->SetColor(col);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    switch (shape_) {
    case bsBox:
        line(first, 0, h - 1, 0, 0), line(first, 0, 0, w - 1, 0);
        line(second, w - 1, 0, w - 1, h - 1), line(second, w - 1, h - 1, 0, h - 1);
        break;
    case bsFrame:
        line(first, 0, 0, w - 1, 0), line(first, 0, 0, 0, h - 1), line(first, w - 2, 1, w - 2, h - 2),
            line(first, 1, h - 2, w - 2, h - 2);
        line(second, 1, 1, w - 2, 1), line(second, 1, 1, 1, h - 2), line(second, w - 1, 0, w - 1, h),
            line(second, 0, h - 1, w, h - 1);
        break;
    case bsTopLine: line(first, 0, 0, w, 0), line(second, 0, 1, w, 1); break;
    case bsBottomLine: line(first, 0, h - 2, w, h - 2), line(second, 0, h - 1, w, h - 1); break;
    case bsLeftLine: line(first, 0, 0, 0, h), line(second, 1, 0, 1, h); break;
    case bsRightLine: line(first, w - 2, 0, w - 2, h), line(second, w - 1, 0, w - 1, h); break;
    case bsSpacer: break;
    }
}

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner), pen_(new TPen), brush_(new TBrush) {
    pen_->OnChange = [this](TObject*) { Invalidate(); };
    brush_->OnChange = [this](TObject*) { Invalidate(); };
    SetBounds(0, 0, 65, 65);
}

TShape::~TShape() {
    delete pen_;
    delete brush_;
}

void TShape::Paint() {
    TCanvas* c = Canvas();
    c->SetPen(pen_);
    c->SetBrush(brush_);
    int pw = pen_->Width();
    int x = pw / 2, y = pw / 2;
    int w = Width() - pw + 1, h = Height() - pw + 1;
    if (pw == 0) --w, --h;
    if (shape_ == stSquare || shape_ == stRoundSquare || shape_ == stCircle) {
        int s = std::min(w, h);
        x += (w - s) / 2, y += (h - s) / 2, w = h = s;
    }
    switch (shape_) {
    case stRectangle:
    case stSquare: c->Rectangle(x, y, x + w, y + h); break;
    case stRoundRect:
    case stRoundSquare: c->RoundRect(x, y, x + w, y + h, std::min(w, h) / 4, std::min(w, h) / 4); break;
    case stEllipse:
    case stCircle: c->Ellipse(x, y, x + w, y + h); break;
    }
}

// ------------------------------------------------------------ image

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(new TPicture) {
    picture_->OnChange = [this](TObject*) { pictureChanged(); };
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { delete picture_; }

void TImage::pictureChanged() {
    if (autoSize_ && picture_->Width() > 0) SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    Invalidate();
}

void TImage::Paint() {
    TGraphic* g = picture_->Graphic();
    if (!g || g->Empty()) return;
    const int cw = Width(), ch = Height();
    const int pw = g->Width(), ph = g->Height();
    TRect dest = Rect(0, 0, pw, ph);
    if (stretch_ || (proportional_ && (pw > cw || ph > ch))) {
        if (proportional_ && pw > 0 && ph > 0) {
            double k = std::min(double(cw) / pw, double(ch) / ph);
            dest = Rect(0, 0, int(pw * k), int(ph * k));
        } else {
            dest = Rect(0, 0, cw, ch);
        }
    }
    if (center_) OffsetRect(dest, (cw - dest.Width()) / 2, (ch - dest.Height()) / 2);
    g->SetTransparent(transparent_);
    Canvas()->StretchDraw(dest, g);
}

// ------------------------------------------------------------ timer

class TTimer::Impl {
public:
    QTimer timer;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner), impl_(new Impl) {
    QObject::connect(&impl_->timer, &QTimer::timeout, &impl_->timer, [this] {
        DispatchSafely(this, [this] {
            if (OnTimer) OnTimer(this);
        });
    });
    UpdateTimer();
}

TTimer::~TTimer() { delete impl_; }

void TTimer::SetEnabled(bool v) {
    enabled_ = v;
    UpdateTimer();
}

void TTimer::SetInterval(int ms) {
    interval_ = ms;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    impl_->timer.stop();
    // Started even without OnTimer: handlers are usually assigned after
    // construction, and a tick without a handler does nothing.
    if (enabled_ && interval_ > 0) impl_->timer.start(interval_);
}

// ------------------------------------------------------------ notebook

class TNotebook::PageList : public TStringList {
public:
    std::function<void()> changed;

protected:
    void Changed() override {
        TStringList::Changed();
        if (changed && UpdateCount() == 0) changed();
    }
};

TNotebook::TNotebook(TComponent* AOwner) : TWinControl(AOwner), pages_(new PageList) {
    pages_->changed = [this] { syncPages(); };
    SetBounds(0, 0, 150, 150);
}

TNotebook::~TNotebook() {
    pages_->changed = nullptr;
    delete pages_;
}

TStrings* TNotebook::Pages() const { return pages_; }

TPage* TNotebook::Page(int i) const {
    if (i < 0 || i >= int(pageControls_.size()))
        throw EListError("List index out of bounds (" + std::to_string(i) + ")");
    return pageControls_[size_t(i)];
}

void TNotebook::syncPages() {
    while (int(pageControls_.size()) > pages_->Count()) {
        delete pageControls_.back();
        pageControls_.pop_back();
    }
    while (int(pageControls_.size()) < pages_->Count()) {
        auto* p = new TPage(Owner());
        p->SetParent(this);
        p->SetAlign(alClient);
        p->SetVisible(false);
        pageControls_.push_back(p);
    }
    if (pageIndex_ >= int(pageControls_.size())) pageIndex_ = int(pageControls_.size()) - 1;
    if (pageIndex_ < 0 && !pageControls_.empty()) pageIndex_ = 0;
    for (size_t i = 0; i < pageControls_.size(); ++i) pageControls_[i]->SetVisible(int(i) == pageIndex_);
}

void TNotebook::SetPageIndex(int v) {
    if (v < 0 || v >= int(pageControls_.size()) || v == pageIndex_) return;
    pageIndex_ = v;
    for (size_t i = 0; i < pageControls_.size(); ++i) pageControls_[i]->SetVisible(int(i) == v);
    if (OnPageChanged) OnPageChanged(this);
}

std::string TNotebook::ActivePage() const {
    return pageIndex_ >= 0 && pageIndex_ < pages_->Count() ? pages_->Strings(pageIndex_) : std::string();
}

void TNotebook::SetActivePage(const std::string& name) {
    for (int i = 0; i < pages_->Count(); ++i)
        if (pages_->Strings(i) == name) {
            SetPageIndex(i);
            return;
        }
    throw EInvalidOperation("Notebook page '" + name + "' not found");
}

// ------------------------------------------------------------ radio group

class TRadioGroup::ItemList : public TStringList {
public:
    std::function<void()> changed;

protected:
    void Changed() override {
        TStringList::Changed();
        if (changed && UpdateCount() == 0) changed();
    }
};

TRadioGroup::TRadioGroup(TComponent* AOwner) : TGroupBox(AOwner), items_(new ItemList) {
    items_->changed = [this] { rebuild(); };
}

TRadioGroup::~TRadioGroup() {
    items_->changed = nullptr;
    delete items_;
}

TStrings* TRadioGroup::Items() const { return items_; }

void TRadioGroup::rebuild() {
    for (TRadioButton* b : buttons_) delete b;
    buttons_.clear();
    for (int i = 0; i < items_->Count(); ++i) {
        // Owned by the group itself, so a form's component walk does not
        // meet them as the form's own controls.
        auto* b = new TRadioButton(nullptr);
        b->SetParent(this);
        b->SetCaption(items_->Strings(i));
        b->OnClick = [this, i](TObject*) {
            if (itemIndex_ == i) return;
            itemIndex_ = i;
            Click();
        };
        buttons_.push_back(b);
    }
    if (itemIndex_ >= int(buttons_.size())) itemIndex_ = -1;
    if (itemIndex_ >= 0) {
        int keep = itemIndex_;
        itemIndex_ = -1;
        SetItemIndex(keep);
    }
    arrange();
}

void TRadioGroup::arrange() {
    if (buttons_.empty()) return;
    int cols = std::max(1, columns_);
    int rows = (int(buttons_.size()) + cols - 1) / cols;
    TRect r = ClientRect();
    int cw = r.Width() / cols;
    int rh = std::max(1, r.Height() / std::max(1, rows));
    for (size_t i = 0; i < buttons_.size(); ++i) {
        int col = int(i) / rows, row = int(i) % rows;
        buttons_[i]->SetBounds(4 + col * cw, row * rh + std::max(0, (rh - 17) / 2), cw - 6, 17);
    }
}

void TRadioGroup::Resize() {
    arrange();
    TGroupBox::Resize();
}

void TRadioGroup::SetItemIndex(int v) {
    if (v < -1 || v >= int(buttons_.size())) v = -1;
    if (v == itemIndex_) return;
    itemIndex_ = v;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        QSignalBlocker block(WidgetOf(buttons_[i]));
        buttons_[i]->SetChecked(int(i) == v);
    }
}

// ------------------------------------------------------------ splitter

TSplitter::TSplitter(TComponent* AOwner) : TGraphicControl(AOwner) {
    SetAlign(alLeft);
    SetBounds(0, 0, 3, 100);
    SetCursor(crHSplit);
}

TControl* TSplitter::target() const {
    TWinControl* p = Parent();
    if (!p) return nullptr;
    TAlign a = Align();
    TControl* best = nullptr;
    for (int i = 0; i < p->ControlCount(); ++i) {
        TControl* c = p->Controls(i);
        if (c == this || c->Align() != a || !c->Visible()) continue;
        bool before = false;
        switch (a) {
        case alLeft: before = c->Left() + c->Width() == Left(); break;
        case alRight: before = c->Left() == Left() + Width(); break;
        case alTop: before = c->Top() + c->Height() == Top(); break;
        case alBottom: before = c->Top() == Top() + Height(); break;
        default: break;
        }
        if (before) best = c;
    }
    return best;
}

void TSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseDown(Button, Shift, X, Y);
    TControl* t = target();
    if (Button != mbLeft || !t) return;
    dragging_ = true;
    start_ = ClientToScreen(Point(X, Y));
    startSize_ = (Align() == alLeft || Align() == alRight) ? t->Width() : t->Height();
}

void TSplitter::MouseMove(TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseMove(Shift, X, Y);
    TControl* t = target();
    if (!dragging_ || !t) return;
    TPoint p = ClientToScreen(Point(X, Y));
    int delta = 0;
    switch (Align()) {
    case alLeft: delta = p.X - start_.X; break;
    case alRight: delta = start_.X - p.X; break;
    case alTop: delta = p.Y - start_.Y; break;
    case alBottom: delta = start_.Y - p.Y; break;
    default: return;
    }
    int size = std::max(minSize_, startSize_ + delta);
    if (Align() == alLeft || Align() == alRight)
        t->SetWidth(size);
    else
        t->SetHeight(size);
}

void TSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TGraphicControl::MouseUp(Button, Shift, X, Y);
    if (!dragging_) return;
    dragging_ = false;
    if (OnMoved) OnMoved(this);
}

void TSplitter::Paint() {
    Canvas()->Brush()->SetColor(Parent() ? Parent()->Color() : clBtnFace);
    Canvas()->FillRect(ClientRect());
}
