// Edit buttons: settings, the auto-repeating button control and the face
// painter with its cache. The faces are drawn with the canvas's frame-control
// and edge primitives so that screen and bitmaps share one drawing path.
#include "ToolCtrlsEh.h"

#include "Controls.h"
#include "ExtCtrls.h"
#include "Menus.h"
#include "DB.h"
#include "ScopeExit.h"
#include "Screen.h"

#include <algorithm>
#include <cmath>

TButtonFaceKindEh FaceKindOfStyle(TEditButtonStyleEh style) {
    static const TButtonFaceKindEh table[] = {fkDropDownEh, fkEllipsisEh, fkUpDownEh, fkUpDownEh, fkPlusEh, fkMinusEh};
    return table[style];
}

// ------------------------------------------------------------ painting --

namespace {

TRect shrunk(TRect r, int d) { return Rect(r.Left + d, r.Top + d, r.Right - d, r.Bottom - d); }

void frame(TCanvas* c, const TRect& r, TColor color) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(color);
    c->FrameRect(r);
}

void fill(TCanvas* c, const TRect& r, TColor color) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(color);
    c->FillRect(r);
}

// The centred square of the shorter side (offset rounds toward zero).
TRect centredSquare(TRect r) {
    int w = r.Right - r.Left, h = r.Bottom - r.Top;
    if (w > h) {
        r.Left += (w - h) / 2;
        r.Right = r.Left + h;
    } else if (h > w) {
        r.Top += (h - w) / 2;
        r.Bottom = r.Top + w;
    }
    return r;
}

void paintDots(TCanvas* c, const std::vector<TRect>& dots, bool enabled) {
    if (enabled) {
        for (auto& d : dots) fill(c, d, clBtnText);
        return;
    }
    for (auto d : dots) fill(c, Rect(d.Left + 1, d.Top + 1, d.Right + 1, d.Bottom + 1), clBtnHighlight);
    for (auto& d : dots) fill(c, d, clBtnShadow);
}

TRect faceBackground(TCanvas* c, TRect r, bool flat, bool pressed, bool fillRest) {
    if (flat) {
        fill(c, r, clBtnFace);
        return shrunk(r, 1);
    }
    c->DrawEdge(r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
    r = shrunk(r, 2);
    if (fillRest) fill(c, r, clBtnFace);
    return r;
}

void paintEllipsisFace(TCanvas* c, TRect r, bool enabled, bool flat, bool pressed) {
    r = faceBackground(c, r, flat, pressed, false);
    int w = r.Right - r.Left, h = r.Bottom - r.Top;
    int s = w < 8 ? 1 : 2, g = w < 12 ? 1 : 2;
    int x = r.Left + w / 2 - s / 2 + (pressed ? 1 : 0);
    int y = r.Top + h / 2 - s / 2 + (pressed ? 1 : 0);
    std::vector<TRect> dots;
    for (int dx : {x - g - s, x, x + g + s}) dots.push_back(Rect(dx, y, dx + s, y + s));
    paintDots(c, dots, enabled);
}

void paintPlusMinusFace(TCanvas* c, TRect r, bool enabled, bool flat, bool pressed, bool plus) {
    r = faceBackground(c, r, flat, pressed, true);
    int w = r.Right - r.Left, h = r.Bottom - r.Top;
    int m = std::min(w, h);
    int l = std::max(1, m * 4 / 7);
    int t = std::max(1, l / 3);
    if (flat) --l;
    if ((l & 1) != (m & 1)) ++l;
    if (plus && (l & 1) != (t & 1)) l += m < 12 ? 1 : -1;
    int x = r.Left + (w - l) / 2 + (pressed ? 1 : 0);
    int y = r.Top + (h - t) / 2 + (pressed ? 1 : 0);
    std::vector<TRect> bars{Rect(x, y, x + l, y + t)};
    if (plus) {
        int d = l / 2 - t / 2;
        bars.push_back(Rect(x + d, y - d, x + d + t, y - d + l));
    }
    paintDots(c, bars, enabled);
}

void paintButtonFace(TCanvas* c, TButtonFaceKindEh kind, TRect r, bool enabled, bool flat, bool active, bool pressed,
                     bool lowerHalf) {
    int saved = 0;
    if (flat && active) {
        saved = c->SaveDC();
        c->IntersectClipRect(shrunk(r, 1));
    }
    int grow = flat ? (active ? 1 : 2) : 0;
    r = shrunk(r, -grow);
    unsigned state = (pressed ? DFCS_PUSHED : 0) | (flat ? DFCS_FLAT : 0) | (enabled ? 0 : DFCS_INACTIVE);
    switch (kind) {
    case fkDropDownEh: c->DrawFrameControl(r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | state); break;
    case fkUpDownEh: c->DrawFrameControl(r, DFC_SCROLL, (lowerHalf ? DFCS_SCROLLDOWN : DFCS_SCROLLUP) | state); break;
    case fkEllipsisEh: paintEllipsisFace(c, r, enabled, flat, pressed); break;
    case fkPlusEh:
    case fkMinusEh: paintPlusMinusFace(c, r, enabled, flat, pressed, kind == fkPlusEh); break;
    default: break;
    }
    r = shrunk(r, grow);
    if (flat && active) {
        c->RestoreDC(saved);
        c->DrawEdge(r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
}

void paintCheckBoxFace(TCanvas* c, TRect r, int checkState, bool enabled, bool flat) {
    r = centredSquare(r);
    unsigned state = DFCS_BUTTONCHECK;
    if (checkState == 1) state |= DFCS_CHECKED;
    if (checkState == 2) state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
    if (!enabled) state |= DFCS_INACTIVE;
    if (!flat) {
        c->DrawFrameControl(r, DFC_BUTTON, state);
        return;
    }
    TColor selected = c->Brush()->Color();
    int saved = c->SaveDC();
    c->IntersectClipRect(shrunk(r, 2));
    TRect big = shrunk(r, -1);
    c->DrawFrameControl(big, DFC_BUTTON, state);
    c->RestoreDC(saved);
    frame(c, r, clBtnShadow);
    frame(c, shrunk(r, -1), selected);
}

void copyFace(TCanvas* c, const TRect& dest, ButtonFaceKey key) {
    TBitmap* face = ButtonFaceCache().GetFaceBitmap(key);
    if (face->Width() > 0 && face->Height() > 0)
        c->CopyRect(dest, face->Canvas(), Rect(0, 0, face->Width(), face->Height()));
}

ButtonFaceKey keyOf(const TRect& r, TButtonFaceKindEh kind, bool flat) {
    ButtonFaceKey k;
    k.Width = std::max(0, r.Right - r.Left);
    k.Height = std::max(0, r.Bottom - r.Top);
    k.Kind = uint8_t(kind);
    k.Flat = flat;
    return k;
}

} // namespace

struct TButtonsBitmapCache::Entry {
    ButtonFaceKey key;
    std::unique_ptr<TBitmap> bitmap;
};

TButtonsBitmapCache::TButtonsBitmapCache() = default;
TButtonsBitmapCache::~TButtonsBitmapCache() = default;

TBitmap* TButtonsBitmapCache::GetFaceBitmap(ButtonFaceKey key) {
    key.Width = std::max(0, key.Width);
    key.Height = std::max(0, key.Height);
    for (auto& e : entries_)
        if (e->key == key) return e->bitmap.get();
    auto e = std::make_unique<Entry>();
    e->key = key;
    e->bitmap = std::make_unique<TBitmap>();
    e->bitmap->SetSize(key.Width, key.Height);
    if (key.Width > 0 && key.Height > 0) {
        TCanvas* c = e->bitmap->Canvas();
        TRect r = Rect(0, 0, key.Width, key.Height);
        if (key.Kind == fkCheckBoxEh)
            paintCheckBoxFace(c, r, key.Pressed, true, key.Flat);
        else if (key.Kind <= fkMinusEh)
            paintButtonFace(c, TButtonFaceKindEh(key.Kind), r, key.Enabled, key.Flat, key.Active, key.Pressed,
                            key.LowerHalf);
    }
    entries_.push_back(std::move(e));
    return entries_.back()->bitmap.get();
}

void TButtonsBitmapCache::Clear() { entries_.clear(); }

TButtonsBitmapCache& ButtonFaceCache() {
    static TButtonsBitmapCache cache;
    return cache;
}

void FlushButtonFaceCache() { ButtonFaceCache().Clear(); }

void PaintEditButtonFace(TCanvas* canvas, TRect R, TColor parentColor, TButtonFaceKindEh kind, int pressedPart,
                         bool flat, bool active, bool enabled, int checkState) {
    if (kind == fkCheckBoxEh) {
        TRect sq = centredSquare(R);
        if (flat) sq = shrunk(sq, 1);
        ButtonFaceKey k = keyOf(sq, kind, flat);
        k.Pressed = uint8_t(checkState);
        copyFace(canvas, sq, k);
        if (flat) frame(canvas, shrunk(sq, -1), parentColor);
        return;
    }
    if (kind > fkMinusEh || kind < fkDropDownEh) return;
    bool flatIdle = flat && !active;
    if (kind == fkUpDownEh) {
        int h = R.Bottom - R.Top;
        TRect up = Rect(R.Left, R.Top, R.Right, R.Top + h / 2);
        TRect down = Rect(R.Left, R.Bottom - h / 2, R.Right, R.Bottom);
        for (int half = 0; half < 2; ++half) {
            TRect r = half ? down : up;
            if (flatIdle) r = shrunk(r, 1);
            ButtonFaceKey k = keyOf(r, kind, flat);
            k.Pressed = pressedPart == half + 1;
            k.Active = active;
            k.Enabled = enabled;
            k.LowerHalf = uint8_t(half);
            copyFace(canvas, r, k);
        }
        TRect r = flatIdle ? shrunk(R, 1) : R;
        int rh = r.Bottom - r.Top;
        if (rh % 2 != 0 || flatIdle) {
            int mid = (r.Top + r.Bottom) / 2;
            TRect line = Rect(r.Left, mid, r.Right, mid + (rh % 2 != 0 ? 1 : 0));
            if (flatIdle) line = Rect(line.Left, line.Top - 1, line.Right, line.Bottom + 1);
            fill(canvas, line, parentColor);
        }
    } else {
        TRect r = flatIdle ? shrunk(R, 1) : R;
        ButtonFaceKey k = keyOf(r, kind, flat);
        k.Pressed = pressedPart != 0;
        k.Active = active;
        k.Enabled = enabled;
        copyFace(canvas, r, k);
    }
    if (flatIdle) frame(canvas, R, parentColor);
}

int CalcFlatButtonWidth() {
    TBitmap probe;
    probe.SetSize(1, 1);
    TTextMetric tm;
    probe.Canvas()->GetTextMetrics(tm);
    int v = int(std::nearbyint(tm.tmHeight / 3.0 * 2)); // ties to even
    if (v % 2 == 0) --v;
    return std::min(v, kScrollArrowWidth);
}

int FlatEditButtonWidth = 0;

// ------------------------------------------------------ button control --

TEditButtonControlEh::TEditButtonControlEh(TComponent* AOwner) : TSpeedButton(AOwner) {}

void SetButtonFace(TEditButtonControlEh* Button, TEditButtonStyleEh Style, TBitmap* Glyph, int W, int H,
                   TColor ParentColor, bool Flat, bool Active, bool Enabled) {
    if (Style == ebsGlyphEh) {
        Button->SetGlyph(Glyph);
        return;
    }
    if (W <= 0 || H <= 0) return;
    // The speed button shows the painted face as its picture.
    TBitmap face;
    face.SetSize(W, H);
    PaintEditButtonFace(face.Canvas(), Rect(0, 0, W, H), ParentColor, FaceKindOfStyle(Style), 0, Flat, Active, Enabled,
                        0);
    Button->SetGlyph(&face);
}

void TEditButtonControlEh::SetButtonStyle(TEditButtonStyleEh v) {
    if (style_ == v) return;
    style_ = v;
    Invalidate();
}

void TEditButtonControlEh::SetHot(bool v) {
    if (hot_ == v) return;
    hot_ = v;
    Invalidate();
}

void TEditButtonControlEh::SetHeldDown(bool v) {
    if (heldDown_ == v) return;
    heldDown_ = v;
    if (v) {
        SetGroupIndex(1);
        SetDown(true);
        SetAllowAllUp(false);
        pressedPart_ = 1;
    } else {
        SetAllowAllUp(true);
        SetDown(false);
        SetGroupIndex(0);
        pressedPart_ = 0;
    }
    Invalidate();
}

void TEditButtonControlEh::FireOnDown(bool TopButton, bool& AutoRepeat) {
    bool handled = false;
    if (OnDown) OnDown(this, TopButton, AutoRepeat, handled);
}

void TEditButtonControlEh::Click() {
    if (!suppressClick_) TSpeedButton::Click();
}

void TEditButtonControlEh::updatePressedPart(int X, int Y) {
    (void)X;
    int part = 0;
    if (pressed_) {
        if (style_ == ebsUpDownEh) {
            int h = Height();
            part = Y < h / 2 ? 1 : (Y > h - h / 2 ? 2 : 0);
        } else {
            part = 1;
        }
    }
    if (part != pressedPart_) {
        pressedPart_ = part;
        Invalidate();
    }
}

void TEditButtonControlEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    bool autoRepeat = style_ == ebsUpDownEh;
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    pressed_ = true;
    updatePressedPart(X, Y);
    if (pressedPart_ > 0) FireOnDown(pressedPart_ == 1, autoRepeat);
    if (autoRepeat) restartRepeatTimer(400);
}

void TEditButtonControlEh::MouseMove(TShiftState Shift, int X, int Y) {
    TSpeedButton::MouseMove(Shift, X, Y);
    if (style_ != ebsUpDownEh || pressedPart_ == 0) return;
    int h = Height();
    bool onPressedHalf = !((pressedPart_ == 2 && Y < h / 2) || (pressedPart_ == 1 && Y > h - h / 2));
    if (onPressedHalf != pressed_) {
        pressed_ = onPressedHalf;
        Invalidate();
    }
}

void TEditButtonControlEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (style_ == ebsUpDownEh && !pressed_) {
        suppressClick_ = true;
        ScopeExit restore([&] { suppressClick_ = false; });
        TSpeedButton::MouseUp(Button, Shift, X, Y);
    } else {
        TSpeedButton::MouseUp(Button, Shift, X, Y);
    }
    pressed_ = heldDown_;
    updatePressedPart(X, Y);
    if (timer_ && timer_->Enabled()) timer_->SetEnabled(false);
}

void TEditButtonControlEh::restartRepeatTimer(int interval) {
    if (!timer_) {
        timer_ = new TTimer(this);
        timer_->SetEnabled(false);
        timer_->OnTimer = [this](TObject*) { RepeatTimerTick(); };
    }
    if (timer_->Enabled() && timer_->Interval() == interval) return;
    timer_->SetEnabled(false);
    timer_->SetInterval(interval);
    timer_->SetEnabled(true);
}

void TEditButtonControlEh::RepeatTimerTick() {
    bool autoRepeat = style_ == ebsUpDownEh;
    if (!pressed_) return;
    if (timer_ && timer_->Interval() == 400) restartRepeatTimer(100);
    FireOnDown(pressedPart_ == 1, autoRepeat);
    if (!autoRepeat && timer_) timer_->SetEnabled(false);
}

// ------------------------------------------------------------ settings --

TEditButtonEh::TEditButtonEh(TWinControl* editControl) : editControl_(editControl), glyph_(new TBitmap) {}
TEditButtonEh::~TEditButtonEh() = default;

void TEditButtonEh::Assign(const TEditButtonEh& o) {
    SetGlyph(o.Glyph());
    SetNumGlyphs(o.NumGlyphs());
    SetStyle(o.Style());
    ShortCut = o.ShortCut;
    SetVisible(o.Visible());
    SetWidth(o.Width());
}

void TEditButtonEh::NotifyChanged() {
    if (OnInternalChange) OnInternalChange(this);
}

void TEditButtonEh::SetGlyph(const TBitmap* v) {
    glyph_->Assign(const_cast<TBitmap*>(v));
    NotifyChanged();
}

void TEditButtonEh::SetHint(const std::string& v) {
    if (hint_ == v) return;
    hint_ = v;
    NotifyChanged();
}

void TEditButtonEh::SetNumGlyphs(int v) {
    v = std::clamp(v, 1, 4);
    if (numGlyphs_ == v) return;
    numGlyphs_ = v;
    NotifyChanged();
}

void TEditButtonEh::SetStyle(TEditButtonStyleEh v) {
    if (style_ == v) return;
    style_ = v;
    NotifyChanged();
}

void TEditButtonEh::SetVisible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    NotifyChanged();
}

void TEditButtonEh::SetWidth(int v) {
    if (width_ == v) return;
    width_ = v;
    NotifyChanged();
}

TVisibleEditButtonEh::TVisibleEditButtonEh(TWinControl* editControl) : TEditButtonEh(editControl) {
    visible_ = true;
    ShortCut = 32808; // Alt+Down
}

TVisibleEditButtonEh* TEditButtonsEh::Add() {
    items_.push_back(std::make_unique<TVisibleEditButtonEh>());
    auto* b = items_.back().get();
    b->OnInternalChange = [this](TEditButtonEh* item) {
        if (OnInternalChange) OnInternalChange(item);
    };
    if (OnInternalChange) OnInternalChange(nullptr);
    return b;
}

void TEditButtonsEh::Assign(const TEditButtonsEh& other) {
    if (&other == this) return;
    {
        // Quiet while the items are rebuilt: one report at the end.
        auto report = std::move(OnInternalChange);
        OnInternalChange = nullptr;
        ScopeExit restore([&] { OnInternalChange = std::move(report); });
        items_.clear();
        for (const auto& item : other.items_) Add()->Assign(*item);
    }
    if (OnInternalChange) OnInternalChange(nullptr);
}

void TEditButtonsEh::Clear() {
    items_.clear();
    if (OnInternalChange) OnInternalChange(nullptr);
}

// ------------------------------------------------------- special row --

TSpecRowEh::TSpecRowEh(TControl* Owner) : owner_(Owner), font_(new TFont), value_(Null()) {
    if (owner_) font_->Assign(owner_->Font());
    font_->OnChange = [this](TObject*) {
        if (copyingFont_) return;
        fontAssigned_ = true;
        notifyChanged();
    };
}

TSpecRowEh::~TSpecRowEh() { font_->OnChange = nullptr; }

std::vector<std::string> TSpecRowEh::SplitCellsText(const std::string& text) {
    std::vector<std::string> cells;
    size_t i = 0, n = text.size();
    auto skipControls = [&] {
        while (i < n && static_cast<unsigned char>(text[i]) >= 1 && static_cast<unsigned char>(text[i]) < 32) ++i;
    };
    skipControls();
    while (i < n) {
        std::string item;
        if (text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            // UTF-8 continuation bytes are all >= 0x80, so a byte scan keeps
            // characters whole.
            while (i < n && text[i] != ';' && static_cast<unsigned char>(text[i]) >= 32) item += text[i++];
        }
        cells.push_back(item);
        skipControls();
        if (i < n && text[i] == ';') {
            ++i;
            skipControls();
        }
    }
    return cells;
}

void TSpecRowEh::SetCellsText(const std::string& v) {
    if (v == cellsText_) return;
    cellsText_ = v;
    cells_ = SplitCellsText(v);
    notifyChanged();
}

std::string TSpecRowEh::CellTextAt(int Index) const {
    if (Index < 0 || Index >= int(cells_.size())) return "";
    return cells_[size_t(Index)];
}

TColor TSpecRowEh::Color() const {
    if (colorAssigned_ || !owner_) return color_;
    return owner_->Color();
}

void TSpecRowEh::SetColor(TColor v) {
    if (colorAssigned_ && v == color_) return;
    if (!colorAssigned_ && v == Color()) return;
    color_ = v;
    colorAssigned_ = true;
    notifyChanged();
}

TFont* TSpecRowEh::Font() const {
    if (!fontAssigned_ && owner_) {
        // Follow the owner without becoming assigned.
        auto* self = const_cast<TSpecRowEh*>(this);
        self->copyingFont_ = true;
        ScopeExit done([self] { self->copyingFont_ = false; });
        self->font_->Assign(owner_->Font());
    }
    return font_.get();
}

void TSpecRowEh::SetFont(TFont* v) { font_->Assign(v); }

void TSpecRowEh::SetShowIfNotInKeyList(bool v) {
    if (v == showIfNotInKeyList_) return;
    showIfNotInKeyList_ = v;
    notifyChanged();
}

void TSpecRowEh::SetValue(const Variant& v) {
    if (VariantsEqual(v, value_)) return;
    value_ = v;
    notifyChanged();
}

void TSpecRowEh::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    notifyChanged();
}

void TSpecRowEh::UnlockChanges() {
    if (lock_ > 0) --lock_;
    notifyChanged();
}

void TSpecRowEh::notifyChanged() {
    if (lock_ == 0 && OnInternalChange) OnInternalChange(this);
}

void TSpecRowEh::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TSpecRowEh*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    LockChanges();
    ScopeExit unlock([this] { UnlockChanges(); });
    SetCellsText(s->CellsText());
    SetColor(s->Color());
    if (s->FontAssigned()) SetFont(s->Font());
    SetValue(s->Value());
    SetVisible(s->Visible());
    SetShowIfNotInKeyList(s->ShowIfNotInKeyList());
}

// ---------------------------------------------------------- size grip --

TSizeGripEh::TSizeGripEh(TComponent* AOwner) : TCustomControl(AOwner) {
    SetBounds(0, 0, kScrollArrowWidth, kScrollArrowWidth);
    SetColor(clBtnFace);
    SetCursor(crSizeNWSE);
}

void TSizeGripEh::SetCorner(TGripCornerEh v) {
    if (v == corner_) return;
    corner_ = v;
    SetCursor(v == gcBottomRightEh || v == gcTopLeftEh ? crSizeNWSE : crSizeNESW);
    SnapToCorner();
    Invalidate();
}

void TSizeGripEh::SetTriangleShape(bool v) {
    if (v == triangle_) return;
    triangle_ = v;
    Invalidate();
}

void TSizeGripEh::SnapToCorner() {
    TWinControl* p = Parent();
    if (!p) return;
    int cw = p->ClientWidth(), ch = p->ClientHeight();
    int x = corner_ == gcTopRightEh || corner_ == gcBottomRightEh ? cw - Width() : 0;
    int y = corner_ == gcBottomRightEh || corner_ == gcBottomLeftEh ? ch - Height() : 0;
    if (x != Left() || y != Top()) SetBounds(x, y, Width(), Height());
}

void TSizeGripEh::MoveToSide(int Side) {
    static const TGripCornerEh table[4][4] = {
        // from: top-left, top-right, bottom-right, bottom-left
        {gcTopLeftEh, gcTopLeftEh, gcBottomLeftEh, gcBottomLeftEh},     // 0 left
        {gcTopRightEh, gcTopRightEh, gcBottomRightEh, gcBottomRightEh}, // 1 right
        {gcTopLeftEh, gcTopRightEh, gcTopRightEh, gcTopLeftEh},         // 2 top
        {gcBottomLeftEh, gcBottomRightEh, gcBottomRightEh, gcBottomLeftEh}, // 3 bottom
    };
    if (Side < 0 || Side > 3) return;
    SetCorner(table[Side][corner_]);
}

void TSizeGripEh::Paint() {
    TCanvas* c = Canvas();
    int w = Width(), h = Height();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, w, h));
    const TColor pattern[4] = {clBtnHighlight, clBtnShadow, clBtnShadow, clBtnFace};
    bool right = corner_ == gcTopRightEh || corner_ == gcBottomRightEh;
    bool bottom = corner_ == gcBottomRightEh || corner_ == gcBottomLeftEh;
    // Lines parallel to the long side, one pixel nearer the corner each.
    for (int i = 1; i < w; ++i) {
        c->Pen()->SetColor(pattern[(i - 1) % 4]);
        int x0 = i - 1, y0 = h, x1 = w, y1 = i - 1; // bottom-right, from (0,W) to (W,0)
        auto mx = [&](int x) { return right ? x : w - 1 - x; };
        auto my = [&](int y) { return bottom ? y : h - 1 - y; };
        c->MoveTo(mx(x0), my(y0));
        c->LineTo(mx(x1), my(y1));
    }
    if (!triangle_) return;
    // Outside the triangle the parent's colour shows (no window region here).
    TColor back = Parent() ? Parent()->Color() : clWindow;
    c->Pen()->SetColor(back);
    for (int y = 0; y < h; ++y) {
        int yy = bottom ? y : h - 1 - y;
        int filled = w - y * w / std::max(1, h) - 1; // pixels left of the diagonal
        if (filled <= 0) continue;
        int xa = right ? 0 : w - filled, xb = right ? filled : w;
        c->MoveTo(xa, yy);
        c->LineTo(xb, yy);
    }
}

TRect TSizeGripEh::DragBounds(TGripCornerEh corner, const TRect& r0, int dx, int dy, const TRect& work) {
    TRect r = r0;
    bool right = corner == gcTopRightEh || corner == gcBottomRightEh;
    bool bottom = corner == gcBottomRightEh || corner == gcBottomLeftEh;
    if (right) {
        r.Right = std::min(r0.Right + dx, work.Right);
    } else {
        r.Left = std::max(r0.Left + dx, work.Left);
    }
    if (bottom) {
        r.Bottom = std::min(r0.Bottom + dy, work.Bottom);
    } else {
        r.Top = std::max(r0.Top + dy, work.Top);
    }
    if (r.Right - r.Left < kScrollArrowWidth) {
        if (right) r.Right = r.Left + kScrollArrowWidth;
        else r.Left = r.Right - kScrollArrowWidth;
    }
    if (r.Bottom - r.Top < kScrollArrowWidth) {
        if (bottom) r.Bottom = r.Top + kScrollArrowWidth;
        else r.Top = r.Bottom - kScrollArrowWidth;
    }
    return r;
}

namespace {
// The screen rectangle of a control that is a window of its own (a drop-down)
// or sits in one.
TRect screenBounds(TControl* c) {
    if (c->DropDownWindow()) return c->BoundsRect();
    TPoint p = c->ClientToScreen(TPoint{0, 0});
    return Rect(p.X, p.Y, p.X + c->Width(), p.Y + c->Height());
}
} // namespace

void TSizeGripEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !Parent()) return;
    dragging_ = true;
    pressPos_ = ClientToScreen(TPoint{X, Y});
    parentAtPress_ = screenBounds(Parent());
    SetMouseCapture(true);
}

void TSizeGripEh::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    if (!dragging_ || !Parent()) return;
    TPoint p = ClientToScreen(TPoint{X, Y});
    TWinControl* parent = Parent();
    TRect now = screenBounds(parent);
    TRect r = DragBounds(corner_, parentAtPress_, p.X - pressPos_.X, p.Y - pressPos_.Y, Screen->WorkAreaRect());
    if (r == now) return;
    if (parent->DropDownWindow()) {
        parent->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    } else {
        parent->SetBounds(parent->Left() + r.Left - now.Left, parent->Top() + r.Top - now.Top, r.Right - r.Left,
                          r.Bottom - r.Top);
    }
    DoParentResized();
    SnapToCorner();
}

void TSizeGripEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    dragging_ = false;
    SetMouseCapture(false);
}

void TSizeGripEh::DoParentResized() {
    if (OnParentResized) OnParentResized(this);
}

// ------------------------------------------------------ popup calendar --

TPopupMonthCalendarEh::TPopupMonthCalendarEh(TComponent* AOwner) : TMonthCalendar(AOwner) {}

void TPopupMonthCalendarEh::ownerCloseUp(bool Accept) {
    if (auto* o = dynamic_cast<IDropDownOwnerEh*>(Owner())) o->CloseUp(Accept);
}

void TPopupMonthCalendarEh::PostCloseUpMessage(bool Accept) {
    (void)Accept;
    // The owner decides on a later look whether the focus really went
    // elsewhere; a posted close never accepts.
    PostCall([this] { ownerCloseUp(false); });
}

void TPopupMonthCalendarEh::KeyDown(Word& Key, TShiftState Shift) {
    TMonthCalendar::KeyDown(Key, Shift);
    if (Key == VK_RETURN || Key == VK_ESCAPE) {
        bool accept = Key == VK_RETURN;
        Key = 0;
        ownerCloseUp(accept);
    }
}

// The platform reports a click only on a day (also of the neighbouring
// months); the month buttons and the year scroll without one.
void TPopupMonthCalendarEh::Click() {
    TMonthCalendar::Click();
    ownerCloseUp(true);
}

bool TPopupMonthCalendarEh::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    (void)Shift;
    (void)MousePos;
    SetDate(TDateTime(double(Date()) + (WheelDelta < 0 ? 1 : -1)));
    return true;
}

// ----------------------------------------- presses into drop-downs --

bool TDropDownMouseTrackEh::Move(TControl* Source, TControl* DropDown, const TRect& Area, int X, int Y) {
    if (target_) {
        const TPoint p = target_->ScreenToClient(Source->ClientToScreen(TPoint{X, Y}));
        target_->Perform(WM_MOUSEMOVE, MK_LBUTTON, MouseLParam(p.X, p.Y));
        return true;
    }
    if (!DropDown || !DropDown->Visible()) return false;
    const TPoint p = DropDown->ScreenToClient(Source->ClientToScreen(TPoint{X, Y}));
    if (!PtInRect(Area, p)) return false;
    target_ = DropDown;
    DropDown->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MouseLParam(p.X, p.Y));
    return true;
}

bool TDropDownMouseTrackEh::Release(TControl* Source, int X, int Y) {
    TControl* target = target_;
    if (!target) return false;
    target_ = nullptr;
    const TPoint p = target->ScreenToClient(Source->ClientToScreen(TPoint{X, Y}));
    target->Perform(WM_LBUTTONUP, 0, MouseLParam(p.X, p.Y));
    return true;
}

void TReleaseButtonEh::Post(TControl* Owner, TObject* Button) {
    pending_ = Button;
    const unsigned serial = ++serial_;
    // Two turns of the queue: a press that closed a menu is handed back to
    // the window under it only after the menu has gone.
    Owner->PostCall([this, Owner, serial] {
        Owner->PostCall([this, serial] {
            if (serial_ == serial) pending_ = nullptr;
        });
    });
}

bool TReleaseButtonEh::Take(TObject* Button) {
    if (!pending_ || pending_ != Button) return false;
    pending_ = nullptr;
    return true;
}

void PopupButtonMenu(TPopupMenu* Menu, TControl* Owner, TControl* Button, TReleaseButtonEh& Release) {
    const TPoint at = Button->ClientToScreen(TPoint{0, Button->Height()});
    Menu->SetPopupComponent(Button);
    Menu->Popup(at.X, at.Y, Owner, [Owner, Button, &Release] {
        // The menu took the release: the button is let up off its face.
        Button->Perform(WM_LBUTTONUP, 0, MouseLParam(-1, -1));
        Release.Post(Owner, Button);
    });
}

// ------------------------------------------------------ field lists --

void CollectFieldsByNames(std::vector<TField*>* List, TDataSet* DataSet, const TComponent* ErrorComponent,
                          const std::string& FieldNames) {
    size_t pos = 0;
    while (pos <= FieldNames.size()) {
        size_t semi = FieldNames.find(';', pos);
        std::string name = FieldNames.substr(pos, semi == std::string::npos ? std::string::npos : semi - pos);
        pos = semi == std::string::npos ? FieldNames.size() + 1 : semi + 1;
        // Blanks around a name are no part of it.
        size_t b = name.find_first_not_of(' '), e = name.find_last_not_of(' ');
        name = b == std::string::npos ? "" : name.substr(b, e - b + 1);
        if (name.empty()) continue;
        TField* f = DataSet ? DataSet->FindField(name) : nullptr;
        if (!f) DatabaseError("Field '" + name + "' not found", ErrorComponent);
        if (List) List->push_back(f);
    }
}

std::vector<TField*> FieldsByNames(TDataSet* DataSet, const TComponent* ErrorComponent, const std::string& FieldNames) {
    std::vector<TField*> out;
    CollectFieldsByNames(&out, DataSet, ErrorComponent, FieldNames);
    return out;
}

void AssignFieldValues(TDataSet* DataSet, const std::string& FieldNames, const Variant& Value) {
    std::vector<TField*> fields = FieldsByNames(DataSet, nullptr, FieldNames);
    if (VariantsEqual(Value, Null())) {
        for (TField* f : fields) f->Clear();
        return;
    }
    if (fields.size() == 1) {
        fields[0]->SetValue(Value);
        return;
    }
    for (size_t i = 0; i < fields.size(); ++i) fields[i]->SetValue(Value[Value.LowBound() + int(i)]);
}
