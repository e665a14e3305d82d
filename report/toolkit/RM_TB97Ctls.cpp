#include "report/toolkit/RM_TB97Ctls.h"

#include <algorithm>
#include <map>

#include "Forms.h"
#include "HintHook.h"
#include "ScopeExit.h"

const char* const Toolbar97VersionText = "Toolbar97 version 1.78";

// ------------------------------------------------------------ hook service

namespace {
struct HookRec {
    const void* id;
    THookCallback proc;
    std::vector<THookProcKind> kinds;
    int refs = 1;
};
std::vector<HookRec>& hooks() {
    static std::vector<HookRec> h;
    return h;
}
} // namespace

void RegisterHookCallback(const void* id, THookCallback proc, std::vector<THookProcKind> kinds, bool designing) {
    if (designing) return;
    for (auto& h : hooks())
        if (h.id == id) {
            ++h.refs;
            return;
        }
    hooks().push_back({id, std::move(proc), std::move(kinds)});
}

void UnregisterHookCallback(const void* id) {
    auto& hs = hooks();
    for (auto it = hs.begin(); it != hs.end(); ++it)
        if (it->id == id) {
            if (--it->refs == 0) hs.erase(it);
            return;
        }
}

bool HookInstalled(THookProcKind kind) {
    for (auto& h : hooks())
        if (std::find(h.kinds.begin(), h.kinds.end(), kind) != h.kinds.end()) return true;
    return false;
}

void RMHookDispatch(THookProcKind kind, intptr_t wParam) {
    // A copy: a callback may unregister itself or others.
    auto snapshot = hooks();
    for (auto& h : snapshot) {
        if (std::find(h.kinds.begin(), h.kinds.end(), kind) == h.kinds.end()) continue;
        try {
            h.proc(kind, wParam);
        } catch (...) {}
    }
}

bool IsApplicationActive() { return Screen->ActiveForm() != nullptr; }

std::function<int(const TControl*)> DockPositionQuery;

// ------------------------------------------------------------ glyphs

TButtonGlyph::TButtonGlyph() = default;

void TButtonGlyph::Changed() {
    cells_.clear();
    if (OnChange) OnChange();
}

bool TButtonGlyph::HasGlyph() const {
    if (Images && ImageIndex >= 0 && ImageIndex < Images->Count()) return true;
    return !glyph_.Empty();
}

TSize TButtonGlyph::GlyphSize() const {
    if (Images && ImageIndex >= 0 && ImageIndex < Images->Count()) return {Images->Width(), Images->Height()};
    if (glyph_.Empty()) return {0, 0};
    return {glyph_.Width() / std::max(1, NumGlyphs), glyph_.Height()};
}

TBitmap* TButtonGlyph::Cell(TToolbarButtonState state) {
    if (glyph_.Empty()) return nullptr;
    if (cells_.empty()) cells_.resize(5);
    int idx = int(state);
    auto& slot = cells_[size_t(idx)];
    if (slot) return slot.get();
    TSize sz = GlyphSize();
    int n = std::max(1, NumGlyphs);
    // The strip's cells: up, disabled, pressed, latched, hot.
    int src = idx < n ? idx : 0;
    auto b = std::make_unique<TBitmap>();
    b->SetSize(sz.cx, sz.cy);
    TColor transparent = glyph_.TransparentColor();
    b->Canvas()->Brush()->SetColor(transparent);
    b->Canvas()->FillRect(TRect(0, 0, sz.cx, sz.cy));
    b->Canvas()->CopyRect(TRect(0, 0, sz.cx, sz.cy), glyph_.Canvas(), TRect(src * sz.cx, 0, (src + 1) * sz.cx, sz.cy));
    if (!mask_.Empty()) {
        // White mask pixels are transparent.
        for (int y = 0; y < sz.cy; ++y)
            for (int x = 0; x < sz.cx; ++x)
                if (ColorToRGB(mask_.Canvas()->Pixels(src * sz.cx + x, y)) == 0xFFFFFF)
                    b->Canvas()->SetPixels(x, y, transparent);
    }
    if (state == tbsDisabled && idx >= n) {
        // No disabled cell: emboss. Dark pixels (all of them, or only the
        // black ones in the old style) become a highlight shifted by one
        // and a shadow in place; the rest goes transparent.
        auto e = std::make_unique<TBitmap>();
        e->SetSize(sz.cx, sz.cy);
        e->Canvas()->Brush()->SetColor(transparent);
        e->Canvas()->FillRect(TRect(0, 0, sz.cx, sz.cy));
        auto dark = [&](int x, int y) {
            TColor c = b->Canvas()->Pixels(x, y);
            if (c == transparent) return false;
            uint32_t rgb = ColorToRGB(c);
            if (OldDisabledStyle) return rgb == 0;
            int r = rgb & 0xFF, g = (rgb >> 8) & 0xFF, bl = (rgb >> 16) & 0xFF;
            return (r * 30 + g * 59 + bl * 11) / 100 < 192;
        };
        for (int y = 0; y < sz.cy; ++y)
            for (int x = 0; x < sz.cx; ++x)
                if (dark(x, y) && x + 1 < sz.cx && y + 1 < sz.cy) e->Canvas()->SetPixels(x + 1, y + 1, clBtnHighlight);
        for (int y = 0; y < sz.cy; ++y)
            for (int x = 0; x < sz.cx; ++x)
                if (dark(x, y)) e->Canvas()->SetPixels(x, y, clBtnShadow);
        b = std::move(e);
    }
    b->SetTransparentMode(tmFixed);
    b->SetTransparentColor(transparent);
    b->SetTransparent(true);
    slot = std::move(b);
    return slot.get();
}

void TButtonGlyph::drawGlyph(TCanvas* c, int x, int y, TToolbarButtonState state) {
    if (Images && ImageIndex >= 0 && ImageIndex < Images->Count()) {
        Images->Draw(c, x, y, ImageIndex, state != tbsDisabled);
        return;
    }
    if (TBitmap* b = Cell(state)) c->Draw(x, y, b);
}

void TButtonGlyph::Draw(TCanvas* c, const TRect& client, TPoint offset, const std::string& caption,
                        TButtonLayout layout, int margin, int spacing, TToolbarButtonState state, TAlignment align,
                        TButtonDisplayMode mode, bool wordWrap, TColor faceColor) {
    bool showGlyph = mode != dmTextOnly && HasGlyph();
    bool showText = mode != dmGlyphOnly && !caption.empty();
    TSize g = showGlyph ? GlyphSize() : TSize{0, 0};
    TRect area = client;
    c->Font()->SetColor(state == tbsDisabled ? clGrayText : c->Font()->Color());
    unsigned fmt = wordWrap ? DT_WORDBREAK : DT_SINGLELINE;
    TSize t{0, 0};
    if (showText) {
        TRect tr(0, 0, std::max(1, area.Width() - (layout <= blGlyphRight ? g.cx : 0)), 0);
        TRect m = tr;
        c->DrawText(caption, -1, m, fmt | DT_CALCRECT);
        t = {m.Width(), m.Height()};
    }
    int sp = showGlyph && showText ? (spacing < 0 ? 4 : spacing) : 0;
    bool horiz = layout == blGlyphLeft || layout == blGlyphRight;
    int totalW = horiz ? g.cx + sp + t.cx : std::max(g.cx, t.cx);
    int totalH = horiz ? std::max(g.cy, t.cy) : g.cy + sp + t.cy;
    int x0, y0;
    if (margin < 0) {
        x0 = area.Left + (area.Width() - totalW) / 2;
        y0 = area.Top + (area.Height() - totalH) / 2;
    } else {
        x0 = area.Left + margin;
        y0 = area.Top + margin;
        if (!horiz) x0 = area.Left + (area.Width() - totalW) / 2;
        if (horiz) y0 = area.Top + (area.Height() - totalH) / 2;
    }
    if (showText && !showGlyph && margin < 0) {
        if (align == taLeftJustify) x0 = area.Left + 2;
        if (align == taRightJustify) x0 = area.Right - 2 - t.cx;
    }
    x0 += offset.X;
    y0 += offset.Y;
    TPoint gp, tp;
    switch (layout) {
    case blGlyphLeft:
        gp = {x0, y0 + (totalH - g.cy) / 2};
        tp = {x0 + g.cx + sp, y0 + (totalH - t.cy) / 2};
        break;
    case blGlyphRight:
        tp = {x0, y0 + (totalH - t.cy) / 2};
        gp = {x0 + t.cx + sp, y0 + (totalH - g.cy) / 2};
        break;
    case blGlyphTop:
        gp = {x0 + (totalW - g.cx) / 2, y0};
        tp = {x0 + (totalW - t.cx) / 2, y0 + g.cy + sp};
        break;
    case blGlyphBottom:
        tp = {x0 + (totalW - t.cx) / 2, y0};
        gp = {x0 + (totalW - g.cx) / 2, y0 + t.cy + sp};
        break;
    }
    if (showGlyph) drawGlyph(c, gp.X, gp.Y, state);
    if (showText) {
        c->Brush()->SetStyle(bsClear);
        TRect tr(tp.X, tp.Y, tp.X + t.cx, tp.Y + t.cy);
        if (state == tbsDisabled) {
            // Etched text: highlight one pixel down-right under the grey.
            TRect hr = tr;
            hr.Left++;
            hr.Right++;
            hr.Top++;
            hr.Bottom++;
            c->Font()->SetColor(clBtnHighlight);
            c->DrawText(caption, -1, hr, fmt | DT_CENTER);
            c->Font()->SetColor(clBtnShadow);
        }
        c->DrawText(caption, -1, tr, fmt | DT_CENTER);
        c->Brush()->SetStyle(bsSolid);
    }
    (void)faceColor;
}

// ------------------------------------------------------------ button

namespace {
TToolbarButton97* gHot = nullptr;
std::unique_ptr<TBitmap> gDither;
std::unique_ptr<TTimer> gHotTimer;
int gLiveButtons = 0;
} // namespace

TTimer* TToolbarButton97::HotTimer() { return gHotTimer.get(); }

TBitmap* ToolbarDitherPattern() {
    if (!gDither) {
        gDither = std::make_unique<TBitmap>();
        gDither->SetSize(8, 8);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                gDither->Canvas()->SetPixels(x, y, (x % 2) == (y % 2) ? clBtnHighlight : clBtnFace);
    }
    return gDither.get();
}

TToolbarButton97* TToolbarButton97::HotButton() { return gHot; }

TToolbarButton97::TToolbarButton97(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 22, 23);
    SetColor(clBtnFace);
    glyph_.OnChange = [this] { Redraw(); };
    if (!gHotTimer) {
        gHotTimer = std::make_unique<TTimer>(nullptr);
        gHotTimer->SetEnabled(false);
        gHotTimer->SetInterval(125);
    }
    ++gLiveButtons;
    RegisterHookCallback(
        this,
        [this](THookProcKind kind, intptr_t w) {
            if (gHot != this) return;
            if (kind == hkActivateApp && w == 0 && !ShowBorderWhenInactive) LeaveHot();
            // A move over another control: the mouse has left this one.
            if (kind == hkMouseMove && w != reinterpret_cast<intptr_t>(this)) LeaveHot();
        },
        {hkActivateApp, hkMouseMove}, ComponentState().Contains(csDesigning));
    SetDialogKeyHandler(this, &dialogKeys_);
}

TToolbarButton97::~TToolbarButton97() {
    SetDialogKeyHandler(this, nullptr);
    SetAction(nullptr);
    stopHotTracking();
    UnregisterHookCallback(this);
    if (--gLiveButtons == 0) {
        gDither.reset();
        gHotTimer.reset();
    }
}

void TToolbarButton97::HotTimerTick() {
    if (!MouseIsOver(this)) LeaveHot();
}

void TToolbarButton97::SetDropdownCombo(bool v) {
    if (v == combo_) return;
    combo_ = v;
    if (!ComponentState().Contains(csLoading)) {
        int part = arrowWidth_ + 2;
        int w = Width() + (v ? part : -part);
        SetWidth(w > 0 ? w : 1);
    }
    Redraw();
}

namespace {
// Whether the button's window could take the focus: it and its parents up
// to the form are shown and enabled.
bool parentCanFocus(const TControl* b) {
    if (!b->Parent()) return false;
    for (const TControl* c = b->Parent(); c; c = c->Parent()) {
        if (!c->Visible() || !c->Enabled()) return false;
        if (dynamic_cast<const TCustomForm*>(c)) break;
    }
    return true;
}
} // namespace

bool TToolbarButton97::DialogKeys::DialogKey(Word key, TShiftState shift) {
    bool mine = (key == VK_RETURN && b->Default) || (key == VK_ESCAPE && b->Cancel);
    if (!mine || !shift.Empty() || !parentCanFocus(b) || !b->Enabled() || !b->Visible())
        return false;
    b->Click();
    return true;
}

bool TToolbarButton97::DialogKeys::DialogChar(char32_t ch) {
    if (!IsAccel(ch, b->Caption()) || !parentCanFocus(b) || !b->Enabled() || !b->Visible() ||
        b->DisplayMode == dmGlyphOnly)
        return false;
    b->Click();
    return true;
}

void TToolbarButton97::SetAction(TAction* a) {
    if (a == action_) return;
    if (action_) action_->RemoveClient(this);
    action_ = a;
    if (!a) return;
    a->AddClient(this, [this](bool gone) {
        if (gone)
            action_ = nullptr;
        else
            actionChanged();
    });
    actionChanged();
}

void TToolbarButton97::fireClick() {
    // A linked action runs when the button has no click handler of its own.
    if (action_ && !OnClick)
        action_->Execute();
    else
        TGraphicControl::Click();
}

void TToolbarButton97::actionChanged() {
    SetCaption(action_->Caption());
    SetEnabled(action_->Enabled());
    SetVisible(action_->Visible());
    SetHint(action_->Hint());
    if (GroupIndex || !action_->Checked()) SetDown(action_->Checked());
    if (glyph_.ImageIndex != action_->ImageIndex()) {
        glyph_.ImageIndex = action_->ImageIndex();
        if (glyph_.Images) glyph_.Changed();
    }
}

void TToolbarButton97::SetDropdownArrowWidth(int v) {
    v = std::max(7, v);
    if (v == arrowWidth_) return;
    if (combo_ && !ComponentState().Contains(csLoading)) SetWidth(Width() + v - arrowWidth_);
    arrowWidth_ = v;
    Redraw();
}

void TToolbarButton97::SetMargin(int v) {
    if (v < -1) return;
    margin_ = v;
    Redraw();
}

void TToolbarButton97::SetGlyph(TBitmap* b) {
    glyph_.Glyph()->Assign(b);
    glyph_.Glyph()->SetTransparentMode(b->TransparentMode());
    glyph_.Glyph()->SetTransparentColor(b->TransparentColor());
    glyph_.Changed();
}

void TToolbarButton97::SetNumGlyphs(int n) {
    glyph_.NumGlyphs = std::clamp(n, 1, 5);
    glyph_.Changed();
}

void TToolbarButton97::SetImages(TImageList* images, int index) {
    glyph_.Images = images;
    glyph_.ImageIndex = index;
    glyph_.Changed();
}

void TToolbarButton97::Redraw(bool) { Invalidate(); }

void TToolbarButton97::SetDown(bool v) {
    if (GroupIndex == 0) v = false;
    if (v == down_) return;
    if (down_ && !v && !AllowAllUp && !inClick_) {
        // A group's down button goes up only through another one, unless
        // all may be up.
    }
    down_ = v;
    if (Enabled()) state_ = v ? tbsLatched : tbsUp;
    if (v) releaseGroupSiblings();
    Redraw();
}

void TToolbarButton97::releaseGroupSiblings() {
    if (!GroupIndex || !Parent()) return;
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
        auto* b = dynamic_cast<TToolbarButton97*>(Parent()->Controls(i));
        if (b && b != this && b->GroupIndex == GroupIndex && b->down_) {
            b->down_ = false;
            if (b->Enabled()) b->state_ = tbsUp;
            b->Redraw();
        }
    }
}

bool TToolbarButton97::PointInFace(int x, int y) const {
    int w = ClientWidth() - (combo_ && UsesDropdown() ? arrowWidth_ + 2 : 0);
    return x >= 0 && x < w && y >= 0 && y < ClientHeight();
}

void TToolbarButton97::stopHotTracking() {
    if (gHot != this) return;
    gHotTimer->SetEnabled(false);
    gHot = nullptr;
}

void TToolbarButton97::EnterHot() {
    if (!Enabled() || mouseIn_) return;
    mouseIn_ = true;
    if (state_ == tbsUp) state_ = tbsHot;
    if (Flat || NumGlyphs() == 5) Redraw(down_ || NumGlyphs() == 5);
    if (OnMouseEnter) OnMouseEnter(this);
}

void TToolbarButton97::LeaveHot() {
    if (!Enabled() || !mouseIn_ || mouseDown_) return;
    mouseIn_ = false;
    stopHotTracking();
    TToolbarButtonState old = state_;
    if (state_ == tbsHot || (state_ == tbsPressed && !inClick_)) state_ = down_ && GroupIndex ? tbsLatched : tbsUp;
    if (Flat || NumGlyphs() == 5 || (state_ != old && old != tbsHot)) Redraw();
    if (OnMouseExit) OnMouseExit(this);
}

void TToolbarButton97::MouseEnter() {
    TGraphicControl::MouseEnter();
    becomeHot();
}

void TToolbarButton97::becomeHot() {
    if (gHot != this) {
        if (gHot) gHot->LeaveHot();
        if (ShowBorderWhenInactive || IsApplicationActive()) {
            gHot = this;
            gHotTimer->OnTimer = [this](TObject*) { HotTimerTick(); };
            gHotTimer->SetEnabled(true);
            EnterHot();
        }
    }
}

void TToolbarButton97::MouseLeave() {
    TGraphicControl::MouseLeave();
    LeaveHot();
}

void TToolbarButton97::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
    if (!Enabled()) {
        TGraphicControl::MouseDown(b, s, x, y);
        return;
    }
    if (b != mbLeft) {
        EnterHot();
        TGraphicControl::MouseDown(b, s, x, y);
        return;
    }
    EnterHot();
    menuDown_ = UsesDropdown() && (!combo_ || x >= Width() - arrowWidth_ - 2);
    ScopeExit restore([&] { menuDown_ = false; });
    if (!down_) {
        state_ = tbsPressed;
        Redraw();
    } else if (AllowAllUp) {
        Redraw();
    }
    if (!menuDown_) mouseDown_ = true;
    TGraphicControl::MouseDown(b, s, x, y);
    if (menuDown_) {
        Click();
    } else if (Repeating) {
        Click();
        if (!repeat_) repeat_ = std::make_unique<TTimer>(nullptr);
        repeat_->SetEnabled(false);
        repeat_->SetInterval(RepeatDelay);
        repeat_->OnTimer = [this](TObject*) { repeatTick(); };
        repeat_->SetEnabled(true);
    }
}

void TToolbarButton97::repeatTick() {
    repeat_->SetInterval(RepeatInterval);
    if (Repeating && mouseDown_) {
        Click();
    } else {
        repeat_->SetEnabled(false);
    }
}

void TToolbarButton97::MouseMove(TShiftState s, int x, int y) {
    TGraphicControl::MouseMove(s, x, y);
    RMHookDispatch(hkMouseMove, reinterpret_cast<intptr_t>(this));
    if (!mouseDown_ && x >= 0 && y >= 0 && x < Width() && y < Height()) becomeHot();
    if (!mouseDown_) return;
    TToolbarButtonState old = state_;
    if (down_)
        state_ = tbsLatched;
    else
        state_ = PointInFace(x, y) ? tbsPressed : tbsUp;
    if (repeat_ && PointInFace(x, y) && !repeat_->Enabled()) repeat_->SetEnabled(true);
    if (old != state_) Redraw();
}

void TToolbarButton97::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
    repeat_.reset();
    if (b == mbRight && Enabled()) {
        mouseDown_ = false;
        LeaveHot();
    }
    TGraphicControl::MouseUp(b, s, x, y);
    bool inside = x >= 0 && y >= 0 && x < Width() && y < Height();
    if (b == mbLeft) {
        swallowClick_ = inside && !afterDouble_ && Enabled();
        afterDouble_ = false;
    }
    if (b == mbLeft && mouseDown_) {
        mouseDown_ = false;
        if (PointInFace(x, y) && !Repeating) {
            bool swallow = swallowClick_;
            swallowClick_ = false;
            Click();
            swallowClick_ = swallow;
        } else {
            if (state_ == tbsPressed) state_ = down_ && GroupIndex ? tbsLatched : (mouseIn_ ? tbsHot : tbsUp);
            Redraw();
            if (!PointInFace(x, y)) LeaveHot();
        }
    }
}

void TToolbarButton97::DblClick() {
    afterDouble_ = true;
    if (down_) TGraphicControl::DblClick();
}

void TToolbarButton97::EnabledChanged() {
    TGraphicControl::EnabledChanged();
    if (!Enabled()) {
        state_ = tbsDisabled;
        mouseIn_ = mouseDown_ = false;
        stopHotTracking();
        repeat_.reset();
    } else if (state_ == tbsDisabled) {
        state_ = down_ && GroupIndex ? tbsLatched : tbsUp;
    }
    Redraw();
}

void TToolbarButton97::Click() {
    if (swallowClick_ && !inClick_) {
        swallowClick_ = false;
        return;
    }
    if (!Enabled()) return;
    if (Repeating && !menuDown_) {
        fireClick();
        return;
    }
    inClick_ = true;
    struct Finally {
        TToolbarButton97* b;
        ~Finally() {
            b->inClick_ = false;
            if (b->state_ == tbsPressed) b->state_ = tbsUp;
            b->Redraw();
            b->LeaveHot();
        }
    } fin{this};
    if (GroupIndex && !menuDown_) {
        // A latched group button goes up again only when all may be up.
        if (!down_)
            SetDown(true);
        else if (AllowAllUp)
            SetDown(false);
    }
    bool showMenu = UsesDropdown() && (!combo_ || menuDown_);
    if (state_ == tbsUp || state_ == tbsHot) state_ = tbsPressed;
    if (!showMenu) {
        if (ModalResult)
            if (auto* f = GetParentForm()) f->SetModalResult(ModalResult);
        fireClick();
        return;
    }
    if (!combo_) fireClick();
    SetMouseCapture(false);
    bool show = DropdownMenu != nullptr, removeClicks = true;
    if (OnDropdown) OnDropdown(this, show, removeClicks);
    if (!DropdownMenu || !show) return;
    // The menu opens below the button; beside it when the toolbar stands
    // on a left or right dock, away from the dock's edge.
    TPopupAlignment savedAlignment = DropdownMenu->Alignment();
    ScopeExit restore([&] { DropdownMenu->SetAlignment(savedAlignment); });
    TPoint at(0, Height());
    TPopupAlignment alignment = paLeft;
    int dock = DockPositionQuery && Parent() ? DockPositionQuery(Parent()) : DockPositionNone;
    if (dock == dpLeft) {
        at = TPoint(Width(), 0);
    } else if (dock == dpRight) {
        at = TPoint(0, 0);
        alignment = paRight;
    }
    DropdownMenu->SetAlignment(alignment);
    DropdownMenu->SetPopupComponent(this);
    // The press that closes the menu on this button only closes it.
    if (removeClicks) {
        TPoint tl = ClientToScreen(TPoint(0, 0));
        DropdownMenu->SetCloseClickArea(TRect(tl.X, tl.Y, tl.X + Width(), tl.Y + Height()));
    }
    TPoint p = ClientToScreen(at);
    DropdownMenu->Popup(p.X, p.Y);
}

void TToolbarButton97::drawFace(TCanvas* c, const TRect& r0, bool pressedLook) {
    TRect r = r0;
    bool border = !NoBorder && (!Flat || state_ == tbsHot || state_ == tbsPressed || state_ == tbsLatched || down_);
    if (Opaque || !Flat) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(r);
    }
    if (border) {
        if (pressedLook)
            c->DrawEdge(r, Flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT);
        else
            c->DrawEdge(r, Flat ? BDR_RAISEDINNER : EDGE_RAISED, BF_RECT);
    }
    if (down_ && HighlightWhenDown && state_ != tbsPressed && state_ != tbsDisabled) {
        // The latched face is dithered, as the old toolbars drew it.
        TRect in = r0;
        in.Left += 2;
        in.Top += 2;
        in.Right -= 2;
        in.Bottom -= 2;
        TBitmap* d = ToolbarDitherPattern();
        for (int y = in.Top; y < in.Bottom; y += 8)
            for (int x = in.Left; x < in.Right; x += 8) {
                int w = std::min(8, in.Right - x), h = std::min(8, in.Bottom - y);
                c->CopyRect(TRect(x, y, x + w, y + h), d->Canvas(), TRect(0, 0, w, h));
            }
    }
}

void TToolbarButton97::Paint() {
    TCanvas* c = Canvas();
    c->SetFont(Font());
    TRect all(0, 0, Width(), Height());
    bool combo = UsesDropdown() && combo_;
    bool arrow = UsesDropdown() && (combo_ || DropdownArrow);
    TRect face = all;
    if (combo) face.Right -= arrowWidth_ + 2;
    bool pressed = state_ == tbsPressed || state_ == tbsLatched || down_;
    if (menuDown_ && combo) pressed = false;
    drawFace(c, face, pressed && !(menuDown_ && !combo && false));
    TRect content = face;
    content.Left += 2;
    content.Top += 2;
    content.Right -= 2;
    content.Bottom -= 2;
    if (arrow && !combo) content.Right -= arrowWidth_;
    TPoint off = pressed ? TPoint(1, 1) : TPoint(0, 0);
    glyph_.Draw(c, content, off, Caption(), Layout, margin_, Spacing, Enabled() ? state_ : tbsDisabled, Alignment,
                DisplayMode, WordWrap, Color());
    if (arrow) {
        TRect ar(Width() - arrowWidth_ - (combo ? 2 : 2), 0, Width(), Height());
        if (combo) {
            TRect cr(face.Right, 0, Width(), Height());
            drawFace(c, cr, menuDown_);
            ar = cr;
        }
        int cx = ar.Left + ar.Width() / 2 + (pressed && !combo ? 1 : 0), cy = Height() / 2 + (pressed ? 1 : 0);
        c->Pen()->SetColor(Enabled() ? clBlack : clGrayText);
        c->Brush()->SetColor(Enabled() ? clBlack : clGrayText);
        c->Polygon({TPoint(cx - 2, cy - 1), TPoint(cx + 2, cy - 1), TPoint(cx, cy + 1)});
    }
}

// ------------------------------------------------------------ flat edit

namespace {
std::vector<TFlatEditTest>& flatEditClasses() {
    static std::vector<TFlatEditTest> v;
    return v;
}
int gLiveEdits = 0;
bool isEdit97(const TControl* c) { return dynamic_cast<const TEdit97*>(c) != nullptr; }
} // namespace

void RegisterFlatEditClass(TFlatEditTest isInstance) { flatEditClasses().push_back(isInstance); }

void UnregisterFlatEditClass(TFlatEditTest isInstance) {
    auto& v = flatEditClasses();
    if (auto it = std::find(v.begin(), v.end(), isInstance); it != v.end()) v.erase(it);
}

bool IsFlatEditClass(const TControl* c) {
    if (!c) return false;
    for (TFlatEditTest t : flatEditClasses())
        if (t(c)) return true;
    return false;
}

TEdit97::TEdit97(TComponent* owner) : TEdit(owner) {
    SetBorderStyle(bsNone);
    SetHeight(19);
    if (gLiveEdits++ == 0) RegisterFlatEditClass(isEdit97);
}

TEdit97::~TEdit97() {
    if (--gLiveEdits == 0) UnregisterFlatEditClass(isEdit97);
}

void TEdit97::FitHeightToFont() {
    TBitmap probe;
    probe.Canvas()->SetFont(Font());
    TTextMetric tm;
    probe.Canvas()->GetTextMetrics(tm);
    SetHeight(tm.tmHeight + 6);
}

void TEdit97::drawBorder() {
    // Under the mouse the border lights only while no flat edit has the
    // focus: the one being typed in keeps the only lit border.
    TWinControl* active = Screen->ActiveControl();
    bool hot = Focused() || (mouseIn_ && !IsFlatEditClass(active));
    SetBorderStyle(hot ? bsSingle : bsNone);
}

void TEdit97::MouseEnter() {
    TEdit::MouseEnter();
    mouseIn_ = true;
    drawBorder();
}

void TEdit97::MouseLeave() {
    TEdit::MouseLeave();
    mouseIn_ = false;
    drawBorder();
}

void TEdit97::DoEnter() {
    TEdit::DoEnter();
    drawBorder();
}

void TEdit97::DoExit() {
    TEdit::DoExit();
    drawBorder();
}

void TEdit97::EnabledChanged() {
    TEdit::EnabledChanged();
    SetColor(Enabled() ? clWindow : clBtnFace);
}

void TEdit97::FontChanged() {
    TEdit::FontChanged();
    if (!ComponentState().Contains(csDesigning) || !ComponentState().Contains(csLoading)) FitHeightToFont();
}
