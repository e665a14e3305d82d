#include "report/toolkit/RM_TB97Ctls.h"

#include <algorithm>
#include <map>
#include <set>

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

namespace {
std::unique_ptr<TGlyphCache> gCache;

uint32_t rgbOf(TColor c) { return ColorToRGB(c) & 0xFFFFFF; }
uint32_t pixelOf(TBitmap* b, int x, int y) { return rgbOf(b->Canvas()->Pixels(x, y)); }

void checkImageSize(TBitmap* image, int w, int h) {
    if (image->Width() < w || image->Height() < h) throw EInvalidOperation("Invalid image size");
}
} // namespace

TGlyphCache* GlyphCache() { return gCache.get(); }

int TGlyphList::ReserveIndex() {
    for (size_t i = 0; i < used_.size(); ++i)
        if (!used_[i]) {
            used_[i] = true;
            return int(i);
        }
    used_.push_back(true);
    images_.push_back(nullptr);
    return int(used_.size()) - 1;
}

void TGlyphList::replace(int index, TBitmap* image, const std::vector<bool>& transparent) {
    // Transparent pixels take a colour that no opaque pixel has, which the
    // drawing then leaves out.
    auto b = std::make_unique<TBitmap>();
    b->SetSize(width_, height_);
    TCanvas* c = b->Canvas();
    c->CopyRect(TRect(0, 0, width_, height_), image->Canvas(), TRect(0, 0, width_, height_));
    std::set<uint32_t> opaque;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (!transparent[size_t(y * width_ + x)]) opaque.insert(pixelOf(b.get(), x, y));
    uint32_t key = 0xFF00FF;
    while (opaque.count(key)) --key;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            if (transparent[size_t(y * width_ + x)]) c->SetPixels(x, y, TColor(key));
    b->SetTransparentMode(tmFixed);
    b->SetTransparentColor(TColor(key));
    b->SetTransparent(true);
    images_[size_t(index)] = std::move(b);
}

int TGlyphList::AddImage(TBitmap* image, TBitmap* mask) {
    checkImageSize(image, width_, height_);
    std::vector<bool> clear(size_t(width_ * height_), false);
    if (mask && !mask->Empty())
        for (int y = 0; y < std::min(height_, mask->Height()); ++y)
            for (int x = 0; x < std::min(width_, mask->Width()); ++x)
                clear[size_t(y * width_ + x)] = pixelOf(mask, x, y) == 0xFFFFFF;
    int i = ReserveIndex();
    replace(i, image, clear);
    ++count_;
    return i;
}

int TGlyphList::AddImageMasked(TBitmap* image, TColor maskColor) {
    checkImageSize(image, width_, height_);
    uint32_t key = maskColor == clDefault ? pixelOf(image, 0, height_ - 1) : rgbOf(maskColor);
    std::vector<bool> clear(size_t(width_ * height_));
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) clear[size_t(y * width_ + x)] = pixelOf(image, x, y) == key;
    int i = ReserveIndex();
    replace(i, image, clear);
    ++count_;
    return i;
}

void TGlyphList::ReleaseIndex(int index) {
    if (index < 0 || index >= int(used_.size()) || !used_[size_t(index)]) return;
    used_[size_t(index)] = false;
    --count_;
}

void TGlyphList::Draw(TCanvas* c, int x, int y, int index) const {
    if (index >= 0 && index < int(images_.size()) && images_[size_t(index)]) c->Draw(x, y, images_[size_t(index)].get());
}

TColor TGlyphList::Pixel(int index, int x, int y) const {
    TBitmap* b = images_.at(size_t(index)).get();
    TColor c = b->Canvas()->Pixels(x, y);
    return rgbOf(c) == rgbOf(b->TransparentColor()) ? clNone : c;
}

TGlyphList* TGlyphCache::ListForSize(int width, int height) {
    for (auto it = lists_.rbegin(); it != lists_.rend(); ++it)
        if ((*it)->Width() == width && (*it)->Height() == height) return it->get();
    lists_.push_back(std::make_unique<TGlyphList>(width, height));
    return lists_.back().get();
}

void TGlyphCache::ReleaseList(TGlyphList* list) {
    if (!list || list->Count() != 0) return;
    std::erase_if(lists_, [list](auto& l) { return l.get() == list; });
}

TButtonGlyph::TButtonGlyph() {
    if (!gCache) gCache = std::make_unique<TGlyphCache>();
}

TButtonGlyph::~TButtonGlyph() {
    ReleaseStateImages();
    if (gCache && gCache->IsEmpty()) gCache.reset();
}

void TButtonGlyph::ReleaseStateImages() {
    for (int k = 0; k < 2; ++k) {
        if (!lists_[k]) continue;
        for (int& slot : slots_[k]) {
            lists_[k]->ReleaseIndex(slot);
            slot = -1;
        }
        if (gCache) gCache->ReleaseList(lists_[k]);
        lists_[k] = nullptr;
    }
}

void TButtonGlyph::SourceChanged(bool glyphChanged) {
    if (glyphChanged) transparent_ = glyph_.Empty() ? clNone : glyph_.Canvas()->Pixels(0, glyph_.Height() - 1);
    ReleaseStateImages();
    if (OnChange) OnChange();
}

void TButtonGlyph::SetGlyphBitmap(TBitmap* b) {
    ReleaseStateImages();
    glyph_.Assign(b);
    DeriveGlyphCount();
    SourceChanged(true);
}

void TButtonGlyph::SetMaskBitmap(TBitmap* b) {
    ReleaseStateImages();
    mask_.Assign(b);
    SourceChanged();
}

void TButtonGlyph::DeriveGlyphCount() {
    int w = glyph_.Width(), h = glyph_.Height();
    int n = w > 0 && h > 0 && w % h == 0 && w / h <= 5 ? w / h : 1;
    SetGlyphCount(n);
}

void TButtonGlyph::SetGlyphCount(int n) {
    ReleaseStateImages();
    count_ = images_ || n < 1 || n > 5 ? 1 : n;
    SourceChanged();
}

void TButtonGlyph::SetImages(TImageList* list) {
    images_ = list;
    DeriveGlyphCount();
}

void TButtonGlyph::SetImageIndex(int index) {
    imageIndex_ = index;
    if (images_) SourceChanged();
}

void TButtonGlyph::SetOldDisabledStyle(bool v) {
    oldStyle_ = v;
    SourceChanged();
}

TSize TButtonGlyph::cellSize() const {
    if (images_) return {images_->Width(), images_->Height()};
    return {glyph_.Width() / count_, glyph_.Height()};
}

int TButtonGlyph::GetStateImage(TToolbarButtonState state, TGlyphList*& list) {
    if (state != tbsDisabled && int(state) >= count_) state = tbsUp;
    int k = state == tbsDisabled ? 0 : 1;
    list = lists_[k];
    if (slots_[k][state] != -1) return slots_[k][state];
    if (images_ ? imageIndex_ < 0 || imageIndex_ >= images_->Count() : glyph_.Empty()) return -1;
    TSize cs = cellSize();
    if (!gCache) gCache = std::make_unique<TGlyphCache>();
    if (!lists_[k]) lists_[k] = gCache->ListForSize(cs.cx + (k == 0), cs.cy + (k == 0));
    list = lists_[k];
    slots_[k][state] = buildImage(state, list);
    return slots_[k][state];
}

int TButtonGlyph::buildImage(TToolbarButtonState state, TGlyphList* list) {
    const int w = cellSize().cx, h = cellSize().cy;
    const bool hasMask = !images_ && !mask_.Empty();
    // The source cell and its transparent pixels, where they are known: a
    // mask says so, and an image list's image drawn on black and on white
    // differs there.
    TBitmap cell;
    cell.SetSize(w, h);
    std::vector<bool> clear(size_t(w * h), false);
    int src = state == tbsDisabled ? (count_ > 1 ? 1 : 0) : int(state);
    if (images_) {
        TBitmap onWhite;
        onWhite.SetSize(w, h);
        for (TBitmap* b : {&cell, &onWhite}) {
            b->Canvas()->Brush()->SetColor(b == &cell ? clBlack : clWhite);
            b->Canvas()->FillRect(TRect(0, 0, w, h));
            images_->Draw(b->Canvas(), 0, 0, imageIndex_);
        }
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) clear[size_t(y * w + x)] = pixelOf(&cell, x, y) != pixelOf(&onWhite, x, y);
    } else {
        cell.Canvas()->CopyRect(TRect(0, 0, w, h), glyph_.Canvas(), TRect(src * w, 0, src * w + w, h));
        if (hasMask)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) clear[size_t(y * w + x)] = pixelOf(&mask_, src * w + x, y) == 0xFFFFFF;
    }
    if (state != tbsDisabled) {
        if (images_ || hasMask) {
            TBitmap mask;
            mask.SetSize(w, h);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) mask.Canvas()->SetPixels(x, y, clear[size_t(y * w + x)] ? clWhite : clBlack);
            return list->AddImage(&cell, &mask);
        }
        return list->AddImageMasked(&cell, clDefault);
    }
    // Disabled images are a pixel wider and higher; the new column and row
    // are transparent.
    TBitmap target;
    target.SetSize(w + 1, h + 1);
    TBitmap mask;
    mask.SetSize(w + 1, h + 1);
    mask.Canvas()->Brush()->SetColor(clWhite);
    mask.Canvas()->FillRect(TRect(0, 0, w + 1, h + 1));
    const uint32_t transparent = rgbOf(transparent_);
    if (count_ > 1) {
        // The strip's own disabled cell, its white and grey in the
        // system's highlight and shadow.
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint32_t p = pixelOf(&cell, x, y);
                TColor c = p == 0xFFFFFF ? clBtnHighlight : p == 0x808080 ? clBtnShadow : TColor(p);
                target.Canvas()->SetPixels(x, y, c);
                bool isClear = hasMask ? clear[size_t(y * w + x)] : p == transparent;
                mask.Canvas()->SetPixels(x, y, isClear ? clWhite : clBlack);
            }
        return list->AddImage(&target, &mask);
    }
    // Embossed from the up cell: the ink in the shadow colour over a copy
    // in the highlight colour one pixel down and to the right. The new
    // style inks all but the transparent, white and silver pixels; the old
    // one only the black pixels.
    std::vector<bool> ink(size_t(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = pixelOf(&cell, x, y);
            bool isClear = (images_ || hasMask) ? clear[size_t(y * w + x)] : false;
            if (oldStyle_)
                ink[size_t(y * w + x)] = !isClear && p == 0x000000;
            else
                ink[size_t(y * w + x)] =
                    !(isClear || p == 0xFFFFFF || p == 0xC0C0C0 || (!images_ && !hasMask && p == transparent));
        }
    target.Canvas()->Brush()->SetColor(clBtnFace);
    target.Canvas()->FillRect(TRect(0, 0, w + 1, h + 1));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ink[size_t(y * w + x)]) target.Canvas()->SetPixels(x + 1, y + 1, clBtnHighlight);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ink[size_t(y * w + x)]) target.Canvas()->SetPixels(x, y, clBtnShadow);
    return list->AddImageMasked(&target, clBtnFace);
}

void TButtonGlyph::DrawGlyphImage(TCanvas* c, TPoint pos, TToolbarButtonState state) {
    TGlyphList* list = nullptr;
    int i = GetStateImage(state, list);
    if (i >= 0) list->Draw(c, pos.X, pos.Y, i);
}

TButtonGlyph::Layout TButtonGlyph::CalcLayout(TCanvas* c, const TRect& client, TPoint offset, bool showGlyph,
                                              bool showText, const std::string& caption, bool wordWrap,
                                              TButtonLayout layout, int margin, int spacing, bool dropdownArrow,
                                              int arrowWidth) const {
    const TPoint size(client.Width(), client.Height());
    TPoint gs(0, 0);
    if (showGlyph) {
        if (images_)
            gs = TPoint(images_->Width(), images_->Height());
        else if (!glyph_.Empty())
            gs = TPoint(glyph_.Width() / count_, glyph_.Height());
    }
    const bool hasGlyph = gs.X && gs.Y;
    const TPoint as = dropdownArrow ? TPoint(arrowWidth, 3) : TPoint(0, 0);
    bool horiz = layout == blGlyphLeft || layout == blGlyphRight;
    if (!horiz && !hasGlyph) {
        layout = blGlyphLeft;
        horiz = true;
    }
    TPoint ts(0, 0);
    if (showText && !caption.empty()) {
        TRect tr(0, 0, size.X - (horiz ? as.X : 0), 0);
        unsigned f = DT_CALCRECT | (wordWrap ? DT_WORDBREAK : DT_SINGLELINE);
        if (wordWrap) {
            if (horiz && hasGlyph) tr.Right -= gs.X + (spacing == -1 ? 4 : spacing);
            tr.Right -= 2 * (margin != -1 ? margin : spacing != -1 ? spacing : 4);
        }
        c->DrawText(caption, -1, tr, f);
        ts = TPoint(tr.Width(), tr.Height());
    }
    TPoint gp(0, 0), tp(0, 0), ap(0, 0);
    if (horiz) {
        gp.Y = (size.Y - gs.Y + 1) / 2;
        tp.Y = (size.Y - ts.Y + 1) / 2;
    } else {
        gp.X = (size.X - gs.X - as.X + 1) / 2;
        tp.X = (size.X - ts.X + 1) / 2;
        ap.X = gp.X + gs.X;
    }
    if (ts.X == 0 || ts.Y == 0 || !hasGlyph) spacing = 0;
    const int S = horiz ? size.X : size.Y;
    const int total = (horiz ? gs.X + ts.X + as.X : gs.Y + ts.Y);
    if (margin == -1 && spacing == -1) {
        margin = (S - total) / 3;
        spacing = margin;
    } else if (margin == -1) {
        margin = (S - (total + spacing) + 1) / 2;
    } else if (spacing == -1) {
        spacing = (S - (margin + (horiz ? gs.X + as.X : gs.Y)) - (horiz ? ts.X : ts.Y)) / 2;
    }
    switch (layout) {
    case blGlyphLeft:
        gp.X = margin;
        tp.X = gp.X + gs.X + spacing;
        ap.X = tp.X + ts.X;
        break;
    case blGlyphRight:
        ap.X = size.X - margin - as.X;
        gp.X = ap.X - gs.X;
        tp.X = gp.X - spacing - ts.X;
        break;
    case blGlyphTop:
        gp.Y = margin;
        tp.Y = gp.Y + gs.Y + spacing;
        break;
    case blGlyphBottom:
        gp.Y = size.Y - margin - gs.Y;
        tp.Y = gp.Y - spacing - ts.Y;
        break;
    }
    ap.X += 1;
    ap.Y = hasGlyph ? gp.Y + (gs.Y - 3) / 2 : tp.Y + (ts.Y - 3) / 2;
    const int dx = client.Left + offset.X, dy = client.Top + offset.Y;
    Layout out;
    out.glyph = TPoint(gp.X + dx, gp.Y + dy);
    out.arrow = TPoint(ap.X + dx, ap.Y + dy);
    out.caption = TRect(tp.X + dx, tp.Y + dy, tp.X + dx + ts.X, tp.Y + dy + ts.Y);
    return out;
}

void TButtonGlyph::DrawContent(TCanvas* c, const TRect& client, TPoint offset, TToolbarButtonState state,
                               bool showGlyph, bool showText, const std::string& caption, bool wordWrap,
                               TAlignment alignment, TButtonLayout layout, int margin, int spacing,
                               bool dropdownArrow, int arrowWidth) {
    Layout l = CalcLayout(c, client, offset, showGlyph, showText, caption, wordWrap, layout, margin, spacing,
                          dropdownArrow, arrowWidth);
    if (showGlyph) DrawGlyphImage(c, l.glyph, state);
    if (showText) DrawCaptionText(c, caption, l.caption, wordWrap, alignment, state);
    if (dropdownArrow) DrawDropdownArrow(c, l.arrow.X, l.arrow.Y, arrowWidth, state);
}

void TButtonGlyph::DrawCaptionText(TCanvas* c, const std::string& caption, TRect r, bool wordWrap,
                                   TAlignment alignment, TToolbarButtonState state) {
    unsigned fmt = (alignment == taLeftJustify ? DT_LEFT : alignment == taRightJustify ? DT_RIGHT : DT_CENTER) |
                   DT_VCENTER | (wordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    c->Brush()->SetStyle(bsClear);
    TColor saved = c->Font()->Color();
    if (state == tbsDisabled) {
        // Etched: the highlight a pixel down and right under the shadow.
        TRect hr(r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1);
        c->Font()->SetColor(clBtnHighlight);
        c->DrawText(caption, -1, hr, fmt);
        c->Font()->SetColor(clBtnShadow);
    }
    c->DrawText(caption, -1, r, fmt);
    c->Font()->SetColor(saved);
    c->Brush()->SetStyle(bsSolid);
}

void TButtonGlyph::DrawDropdownArrow(TCanvas* c, int x, int y, int width, TToolbarButtonState state) {
    const int cx = x + width / 2;
    auto triangle = [c](TColor color, TPoint a, TPoint b, TPoint d) {
        c->Pen()->SetColor(color);
        c->Brush()->SetColor(color);
        c->Brush()->SetStyle(bsSolid);
        c->Polygon({a, b, d});
    };
    if (state == tbsDisabled) {
        triangle(clBtnHighlight, TPoint(cx - 1, y + 1), TPoint(cx + 3, y + 1), TPoint(cx + 1, y + 3));
        triangle(clBtnShadow, TPoint(cx - 2, y), TPoint(cx + 2, y), TPoint(cx, y + 2));
    } else {
        triangle(c->Font()->Color(), TPoint(cx - 2, y), TPoint(cx + 2, y), TPoint(cx, y + 2));
    }
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
    if (glyph_.ImageIndex() != action_->ImageIndex()) glyph_.SetImageIndex(action_->ImageIndex());
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
    glyph_.SetGlyphBitmap(b);
}

void TToolbarButton97::SetGlyphMask(TBitmap* b) { glyph_.SetMaskBitmap(b); }

void TToolbarButton97::SetNumGlyphs(int n) {
    n = std::clamp(n, 1, 5);
    if (n != glyph_.GlyphCount()) glyph_.SetGlyphCount(n);
}

void TToolbarButton97::SetImages(TImageList* images, int index) {
    glyph_.SetImageIndex(index);
    glyph_.SetImages(images);
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

void TToolbarButton97::Paint() {
    // An opaque or raised button is drawn off screen and copied in one go;
    // a transparent flat one straight over what its parent painted.
    const bool useBuffer = Opaque || !Flat;
    TBitmap buffer;
    TCanvas* c = Canvas();
    if (useBuffer) {
        buffer.SetSize(Width(), Height());
        c = buffer.Canvas();
        c->Brush()->SetColor(Color());
        c->FillRect(TRect(0, 0, Width(), Height()));
    }
    c->SetFont(Font());
    TRect r(0, 0, Width(), Height());
    const TToolbarButtonState state = Enabled() ? state_ : tbsDisabled;
    const bool downFace = state == tbsPressed || state == tbsLatched;
    const bool comboShown = combo_ && UsesDropdown();
    const bool drawDown = state == tbsLatched || (state == tbsPressed && !(comboShown && menuDown_));
    const bool drawBorder = ComponentState().Contains(csDesigning) ||
                            (!NoBorder && (!Flat || downFace || (mouseIn_ && state != tbsDisabled)));
    auto edge = [&](TRect e, bool down) {
        if (Flat)
            c->DrawEdge(e, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        else
            c->DrawEdge(e, down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
    };
    if (comboShown) {
        if (drawBorder) edge(TRect(r.Right - arrowWidth_ - 2, r.Top, r.Right - 2, r.Bottom), downFace && menuDown_);
        r.Right -= arrowWidth_ + 2;
    }
    if (drawBorder) edge(r, drawDown);
    if (!NoBorder) {
        int in = Flat ? 1 : 2;
        r = TRect(r.Left + in, r.Top + in, r.Right - in, r.Bottom - in);
    }
    TPoint offset(0, 0);
    if (drawDown) {
        if (state == tbsLatched && !(Flat && mouseIn_) && !menuDown_ && HighlightWhenDown) {
            // The latched face is dithered.
            TBitmap* d = ToolbarDitherPattern();
            for (int y = r.Top; y < r.Bottom; y += 8)
                for (int x = r.Left; x < r.Right; x += 8) {
                    int w = std::min(8, r.Right - x), h = std::min(8, r.Bottom - y);
                    c->CopyRect(TRect(x, y, x + w, y + h), d->Canvas(), TRect(0, 0, w, h));
                }
        }
        offset = TPoint(1, 1);
    }
    glyph_.DrawContent(c, r, offset, state, DisplayMode != dmTextOnly, DisplayMode != dmGlyphOnly, Caption(), WordWrap,
                       Alignment, Layout, margin_, Spacing, DropdownArrow && !combo_ && UsesDropdown(), arrowWidth_);
    if (comboShown)
        TButtonGlyph::DrawDropdownArrow(c, Width() - arrowWidth_ - 2, Height() / 2 - 1, arrowWidth_, state);
    if (useBuffer) Canvas()->Draw(0, 0, &buffer);
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
