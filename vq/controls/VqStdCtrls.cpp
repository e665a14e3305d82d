// The library's basic controls; see VqStdCtrls.h.
#include "vq/controls/VqStdCtrls.h"

#include "Forms.h"
#include "ImgList.h"
#include "vq/controls/VqStdUtils.h"

#include <algorithm>

void VqSelectNext(TWinControl* control, bool forward) {
    if (TCustomForm* form = GetParentForm(control)) form->SelectNext(control, forward, true);
}

// ------------------------------------------------------------ check box

void TVQCheckBox::KeyDown(Word& Key, TShiftState Shift) {
    TCheckBox::KeyDown(Key, Shift);
    switch (Key) {
    case VK_DOWN:
    case VK_RETURN:
        Key = 0;
        VqSelectNext(this, true);
        break;
    case VK_UP:
        Key = 0;
        VqSelectNext(this, false);
        break;
    case VK_ADD:
    case VK_CONTROL:
        if (Enabled()) SetChecked(!Checked());
        if (Key == VK_ADD) Key = 0;
        break;
    default: break;
    }
}

void TVQGroupBox::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_RETURN || Key == VK_RIGHT) {
        Key = 0;
        VqSelectNext(this, true);
        return;
    }
    if (Key == VK_LEFT) {
        Key = 0;
        VqSelectNext(this, false);
        return;
    }
    TGroupBox::KeyDown(Key, Shift);
}

// ------------------------------------------------------------- list box

namespace {
constexpr int kCheckStrip = 15;
}

TVQListBox::TVQListBox(TComponent* AOwner) : TListBox(AOwner) {
    SetStyle(lbOwnerDrawFixed);
    OnDrawItem = [this](TWinControl*, int index, TRect rect, TOwnerDrawState state) { drawItem(index, rect, state); };
}

TVQListBox::ItemState* TVQListBox::record(int index) {
    if (index < 0 || index >= Items()->Count()) return nullptr;
    if (size_t(index) >= states_.size()) states_.resize(size_t(index) + 1);
    return &states_[size_t(index)];
}

const TVQListBox::ItemState* TVQListBox::record(int index) const {
    if (index < 0 || index >= Items()->Count() || size_t(index) >= states_.size()) return nullptr;
    return &states_[size_t(index)];
}

TCheckBoxState TVQListBox::GetState(int index) const {
    const ItemState* r = record(index);
    return r ? r->state : cbUnchecked;
}

void TVQListBox::SetState(int index, TCheckBoxState v) {
    ItemState* r = record(index);
    if (!r || r->state == v) return;
    r->state = v;
    Invalidate();
}

bool TVQListBox::GetItemEnabled(int index) const {
    const ItemState* r = record(index);
    return r ? r->enabled : true;
}

void TVQListBox::SetItemEnabled(int index, bool v) {
    if (ItemState* r = record(index)) {
        r->enabled = v;
        Invalidate();
    }
}

int TVQListBox::GetImageIndex(int index) {
    if (index < 0) return 0;
    while (imageIndexes_.size() <= size_t(index)) imageIndexes_.push_back("0");
    return std::atoi(imageIndexes_[size_t(index)].c_str());
}

void TVQListBox::SetImageIndex(int index, int value) {
    if (index < 0) return;
    while (imageIndexes_.size() <= size_t(index)) imageIndexes_.push_back("0");
    imageIndexes_[size_t(index)] = std::to_string(value);
    Invalidate();
}

void TVQListBox::ToggleClickCheck(int index) {
    if (index < 0 || index >= Items()->Count() || !GetItemEnabled(index)) return;
    switch (GetState(index)) {
    case cbUnchecked: SetState(index, allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(index, cbUnchecked); break;
    case cbGrayed: SetState(index, cbChecked); break;
    }
    if (OnClickCheck) OnClickCheck(this);
}

void TVQListBox::KeyDown(Word& Key, TShiftState Shift) {
    TListBox::KeyDown(Key, Shift);
    if (Key == VK_RETURN) {
        Key = 0;
        VqSelectNext(this, true);
    } else if (Key == VK_SPACE || Key == VK_ADD || Key == VK_CONTROL) {
        if (Enabled()) ToggleClickCheck(ItemIndex());
        if (Key != VK_CONTROL) Key = 0;
    }
}

void TVQListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TListBox::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft) return;
    const int index = ItemAtPos(Point(X, Y), true);
    if (index >= 0 && X < kCheckStrip) ToggleClickCheck(index);
}

void TVQListBox::DblClick() {
    TListBox::DblClick();
    ToggleClickCheck(ItemIndex());
}

void TVQListBox::drawItem(int index, TRect rect, TOwnerDrawState state) {
    TCanvas* c = Canvas();
    const bool selected = state.Contains(odSelected);
    c->Brush()->SetColor(selected ? clHighlight : Color());
    c->FillRect(rect);
    TRect text = rect;
    if (style_.Contains(lbsCheckBox)) {
        TRect box = Bounds(rect.Left + (kCheckStrip - 13) / 2, rect.Top + (rect.Height() - 13) / 2, 13, 13);
        unsigned flags = DFCS_BUTTONCHECK;
        const TCheckBoxState st = GetState(index);
        if (st == cbChecked) flags |= DFCS_CHECKED;
        if (st == cbGrayed) flags = DFCS_BUTTON3STATE | DFCS_CHECKED;
        if (!Enabled() || !GetItemEnabled(index)) flags |= DFCS_INACTIVE;
        c->Brush()->SetColor(Color());
        c->FillRect(Rect(rect.Left, rect.Top, rect.Left + kCheckStrip, rect.Bottom));
        c->DrawFrameControl(box, DFC_BUTTON, flags);
        if (flat_) {
            c->Brush()->SetColor(clBtnShadow);
            c->FrameRect(Bounds(box.Left, box.Top, 13, 13));
        }
        text.Left += kCheckStrip;
    }
    if (style_.Contains(lbsBitmap) && images_) {
        images_->Draw(c, text.Left, text.Top + (text.Height() - images_->Height()) / 2, GetImageIndex(index),
                      Enabled() && GetItemEnabled(index));
        text.Left += images_->Width();
    }
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    c->Font()->SetColor(!GetItemEnabled(index) ? clGrayText : selected ? clHighlightText : Font()->Color());
    TRect tr = text;
    tr.Left += 2;
    c->DrawText(Items()->Strings(index), -1, tr, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    c->Brush()->SetStyle(bsSolid);
}

// ---------------------------------------------------------------- label

TVQLabel::TVQLabel(TComponent* AOwner) : TGraphicControl(AOwner) { SetBounds(0, 0, 65, 17); }

void TVQLabel::SetText(const std::string& v) {
    TGraphicControl::SetText(v);
    adjustSize();
    Invalidate();
}

void TVQLabel::SetAutoSize(bool v) {
    autoSize_ = v;
    adjustSize();
}

void TVQLabel::SetTransparent(bool v) {
    transparent_ = v;
    Invalidate();
}

void TVQLabel::SetAlignment(TAlignment v) {
    alignment_ = v;
    Invalidate();
}

void TVQLabel::SetShowAccelChar(bool v) {
    showAccelChar_ = v;
    Invalidate();
}

void TVQLabel::SetTextStyle(TVQTextStyle v) {
    textStyle_ = v;
    Invalidate();
}

void TVQLabel::SetShadowColor(TColor v) {
    shadowColor_ = v;
    Invalidate();
}

void TVQLabel::SetShadowDepth(int v) {
    shadowDepth_ = v;
    adjustSize();
    Invalidate();
}

void TVQLabel::SetFrameStyle(TVQFrameStyle v) {
    frameStyle_ = v;
    Invalidate();
}

void TVQLabel::FontChanged() {
    TGraphicControl::FontChanged();
    adjustSize();
}

void TVQLabel::adjustSize() {
    if (!autoSize_) return;
    TBitmap probe;
    probe.SetSize(1, 1);
    probe.Canvas()->SetFont(Font());
    const std::string text = Caption().empty() ? " " : Caption();
    SetBounds(Left(), Top(), probe.Canvas()->TextWidth(text) + shadowDepth_ + 1,
              probe.Canvas()->TextHeight(text) + shadowDepth_ + 1);
}

void TVQLabel::Paint() {
    TCanvas* c = Canvas();
    const TRect r = ClientRect();
    if (!transparent_) {
        c->Brush()->SetColor(Color());
        c->FillRect(r);
    }
    c->Font()->Assign(Font());
    c->Brush()->SetStyle(bsClear);
    unsigned fmt = DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER |
                   (alignment_ == taCenter         ? DT_CENTER
                    : alignment_ == taRightJustify ? DT_RIGHT
                                                   : DT_LEFT);
    if (!showAccelChar_) fmt |= DT_NOPREFIX;
    auto at = [&](int dx, int dy, TColor color) {
        TRect t = r;
        OffsetRect(t, dx, dy);
        c->Font()->SetColor(color);
        c->DrawText(Caption(), -1, t, fmt);
    };
    const int d = shadowDepth_;
    switch (textStyle_) {
    case tsRaised:
        at(d, d, clBtnShadow);
        at(-d, -d, clBtnHighlight);
        break;
    case tsRecessed:
        at(d, d, clBtnHighlight);
        at(-d, -d, clBtnShadow);
        break;
    case tsShadow: at(d, d, shadowColor_); break;
    default: break;
    }
    at(0, 0, Enabled() ? Font()->Color() : clGrayText);
    c->Brush()->SetStyle(bsSolid);
    c->Pen()->SetColor(Font()->Color());
    if (frameStyle_.Contains(fsTop)) {
        c->MoveTo(r.Left, r.Top);
        c->LineTo(r.Right, r.Top);
    }
    if (frameStyle_.Contains(fsBottom)) {
        c->MoveTo(r.Left, r.Bottom - 1);
        c->LineTo(r.Right, r.Bottom - 1);
    }
    if (frameStyle_.Contains(fsLeft)) {
        c->MoveTo(r.Left, r.Top);
        c->LineTo(r.Left, r.Bottom);
    }
    if (frameStyle_.Contains(fsRight)) {
        c->MoveTo(r.Right - 1, r.Top);
        c->LineTo(r.Right - 1, r.Bottom);
    }
}

void TVQLabel::MouseEnter() {
    TGraphicControl::MouseEnter();
    if (!linkControl_) return;
    textStyle_ = tsRaised;
    Font()->SetStyle({fsBold, fsUnderline});
    Invalidate();
}

void TVQLabel::MouseLeave() {
    TGraphicControl::MouseLeave();
    if (!linkControl_) return;
    textStyle_ = tsNone;
    Font()->SetStyle({});
    Invalidate();
}

void TVQLabel::Click() {
    TGraphicControl::Click();
    if (linkControl_) SetTextStyle(tsRecessed);
}

// --------------------------------------------------------------- button

TVQCustomButton::TVQCustomButton(TComponent* AOwner) : TCustomControl(AOwner), glyph_(std::make_unique<TBitmap>()) {
    SetBounds(0, 0, 32, 22);
    SetColor(clBtnFace);
    SetTabStop(false);
}

TVQCustomButton::~TVQCustomButton() = default;

void TVQCustomButton::SetText(const std::string& v) {
    TCustomControl::SetText(v);
    Invalidate();
}

void TVQCustomButton::SetGlyph(TBitmap* v) {
    if (v)
        glyph_->Assign(v);
    else
        glyph_ = std::make_unique<TBitmap>();
    Invalidate();
}

void TVQCustomButton::SetButtonStyle(TVQButtonStyle v) {
    style_ = v;
    Invalidate();
}

void TVQCustomButton::SetLayout(TVQGlyphLayout v) {
    layout_ = v;
    Invalidate();
}

TRect TVQCustomButton::MainRect() const {
    return Rect(0, 0, std::max(0, ClientWidth() - ArrowWidth()), ClientHeight());
}

TRect TVQCustomButton::ArrowRect() const { return Rect(MainRect().Right, 0, ClientWidth(), ClientHeight()); }

void TVQCustomButton::Click() {
    if (Visible() && Enabled() && main_) TCustomControl::Click();
}

void TVQCustomButton::MouseEnter() {
    TCustomControl::MouseEnter();
    if (Enabled()) hot_ = true;
    Invalidate();
}

void TVQCustomButton::MouseLeave() {
    TCustomControl::MouseLeave();
    hot_ = false;
    Invalidate();
}

void TVQCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft && Enabled()) {
        pressed_ = true;
        hot_ = true;
        main_ = style_ != sbsButtonMenu && X < MainRect().Right;
        Invalidate();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TVQCustomButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (Button != mbLeft || !Enabled()) return;
    pressed_ = false;
    if (hot_ && !main_ && PopupMenu()) {
        const TPoint p = Parent() ? Parent()->ClientToScreen(Point(Left(), Top() + Height())) : Point(0, 0);
        PopupMenu()->SetPopupComponent(this);
        PopupMenu()->Popup(p.X, p.Y);
    }
    if (!PtInRect(ClientRect(), Point(X, Y))) hot_ = false;
    Invalidate();
}

void TVQCustomButton::EnabledChanged() {
    TCustomControl::EnabledChanged();
    if (!Enabled()) hot_ = false;
    Invalidate();
}

void TVQCustomButton::FontChanged() {
    TCustomControl::FontChanged();
    Invalidate();
}

void TVQCustomButton::drawCaption(TCanvas* c, const TRect& r, unsigned fmt, int engrave) {
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    TRect t = r;
    if (!Enabled()) {
        c->Font()->SetColor(clBtnHighlight);
        c->DrawText(Caption(), -1, t, fmt);
        OffsetRect(t, -engrave, -engrave);
        c->Font()->SetColor(clBtnShadow);
    }
    c->DrawText(Caption(), -1, t, fmt);
    c->Brush()->SetStyle(bsSolid);
}

void TVQCustomButton::Paint() {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    TRect main = MainRect(), arrow = ArrowRect();
    auto raised = [&](TRect r) { Frame3D(c, r, clBtnHighlight, clBtnShadow, 1); };
    auto sunken = [&](TRect r) { Frame3D(c, r, clBtnShadow, clBtnHighlight, 1); };
    if (Enabled()) {
        if (hot_ && !pressed_) {
            raised(main);
            if (ArrowWidth()) raised(arrow);
        } else if (hot_ && pressed_) {
            if (main_) {
                sunken(main);
                if (ArrowWidth()) raised(arrow);
            } else {
                raised(main);
                if (ArrowWidth()) sunken(arrow);
            }
        } else if (pressed_) {
            raised(main);
            if (ArrowWidth()) raised(arrow);
        }
    }
    if (ArrowWidth()) {
        const int x = arrow.Left + 2, y = arrow.Top + arrow.Height() / 2 - 1;
        auto mark = [&](int dy, TColor color) {
            c->Pen()->SetColor(color);
            for (int i = 0; i < 3; ++i) {
                c->MoveTo(x + i, y + i + dy);
                c->LineTo(x + 5 - i, y + i + dy);
            }
        };
        if (Enabled())
            mark(0, Font()->Color());
        else {
            mark(0, clBtnHighlight);
            mark(-1, clBtnShadow);
        }
    }
    const bool hasGlyph = !glyph_->Empty();
    const bool hasText = !Caption().empty();
    const int shift = (hot_ && pressed_ && main_) ? 1 : 0;
    OffsetRect(main, shift, shift);
    auto drawGlyph = [&](int x, int y) {
        if (!hasGlyph) return;
        glyph_->SetTransparent(true);
        c->Draw(x, y, glyph_.get());
    };
    const int gw = hasGlyph ? glyph_->Width() : 0, gh = hasGlyph ? glyph_->Height() : 0;
    if (!hasText) {
        drawGlyph(main.Left + (main.Width() - gw) / 2, main.Top + (main.Height() - gh) / 2);
    } else if (!hasGlyph) {
        drawCaption(c, main, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 2);
    } else {
        c->Font()->Assign(Font());
        const int th = c->TextHeight(Caption());
        const int tw = c->TextWidth(Caption());
        switch (layout_) {
        case GlyphTop:
            drawGlyph(main.Left + (main.Width() - gw) / 2, main.Top + 4);
            drawCaption(c, Rect(main.Left, main.Bottom - th - 2, main.Right, main.Bottom - 2),
                        DT_CENTER | DT_SINGLELINE, 1);
            break;
        case GlyphBottom:
            drawGlyph(main.Left + (main.Width() - gw) / 2, main.Bottom - gh - 4);
            drawCaption(c, Rect(main.Left, main.Top + 2, main.Right, main.Top + 2 + th), DT_CENTER | DT_SINGLELINE, 1);
            break;
        case GlyphLeft:
            drawGlyph(main.Left + 5, main.Top + (main.Height() - gh) / 2);
            drawCaption(c, Rect(main.Left + gw + 10, main.Top, main.Right, main.Bottom),
                        DT_LEFT | DT_VCENTER | DT_SINGLELINE, 1);
            break;
        case GlyphRight:
            drawCaption(c, Rect(main.Left + 5, main.Top, main.Right, main.Bottom), DT_LEFT | DT_VCENTER | DT_SINGLELINE,
                        1);
            drawGlyph(main.Left + tw + 10, main.Top + (main.Height() - gh) / 2);
            break;
        }
    }
}

// ---------------------------------------------------------------- panel

TVQPanel::TVQPanel(TComponent* AOwner) : TPanel(AOwner), picture_(std::make_unique<TPicture>()) {
    picture_->OnChange = [this](TObject*) { Invalidate(); };
}

TVQPanel::~TVQPanel() = default;

void TVQPanel::SetPicture(TPicture* v) {
    picture_->Assign(v);
    Invalidate();
}

void TVQPanel::SetSplitter(bool v) {
    splitter_ = v;
    Realign();
    Invalidate();
}

namespace {

int edgeWidth(const TPanel* p) {
    return p->BorderWidth() + (p->BevelOuter() != bvNone ? p->BevelWidth() : 0) +
           (p->BevelInner() != bvNone ? p->BevelWidth() : 0);
}

void bevel(TCanvas* c, TRect& r, TBevelCut cut, int width) {
    if (cut == bvNone) return;
    if (cut == bvLowered)
        Frame3D(c, r, clBtnShadow, clBtnHighlight, width);
    else if (cut == bvRaised)
        Frame3D(c, r, clBtnHighlight, clBtnShadow, width);
    else
        InflateRect(r, -width, -width);
}

} // namespace

void TVQPanel::Paint() {
    TCanvas* c = Canvas();
    TRect r = ClientRect();
    // The nearest panel with a picture, and where this panel's client area
    // lies in that panel's tiling.
    TGraphic* tile = nullptr;
    int offX = 0, offY = 0;
    for (TControl* p = this; p; p = p->Parent()) {
        auto* panel = dynamic_cast<TVQPanel*>(p);
        if (!panel) break;
        if (panel->picture_->Graphic() && !panel->picture_->Graphic()->Empty()) {
            tile = panel->picture_->Graphic();
            offX += edgeWidth(panel);
            offY += edgeWidth(panel);
            break;
        }
        offX -= p->Left();
        offY -= p->Top();
    }
    c->Brush()->SetColor(Color());
    c->FillRect(r);
    if (tile) {
        const int tw = tile->Width(), th = tile->Height();
        // Tiles start at the picture owner's client origin inside its edges.
        int startX = ((offX % tw) + tw) % tw;
        int startY = ((offY % th) + th) % th;
        if (startX > 0) startX -= tw;
        if (startY > 0) startY -= th;
        for (int y = startY; y < r.Bottom; y += th)
            for (int x = startX; x < r.Right; x += tw) c->Draw(x, y, tile);
    }
    bevel(c, r, BevelOuter(), BevelWidth());
    InflateRect(r, -BorderWidth(), -BorderWidth());
    bevel(c, r, BevelInner(), BevelWidth());
    if (!Caption().empty()) {
        c->Font()->Assign(Font());
        c->Brush()->SetStyle(bsClear);
        unsigned fmt = DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS |
                       (Alignment() == taCenter         ? DT_CENTER
                        : Alignment() == taRightJustify ? DT_RIGHT
                                                        : DT_LEFT);
        c->DrawText(Caption(), -1, r, fmt);
        c->Brush()->SetStyle(bsSolid);
    }
    if (OnPaint) OnPaint(this);
}

bool TVQPanel::onSizingEdge(int X, int Y) const {
    if (!splitter_) return false;
    const int band = BorderWidth() > 0 ? BorderWidth() + 2 : 3;
    switch (Align()) {
    case alTop: return Y >= Height() - band;
    case alBottom: return Y < band;
    case alLeft: return X >= Width() - band;
    case alRight: return X < band;
    default: return false;
    }
}

void TVQPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TPanel::MouseDown(Button, Shift, X, Y);
    if (Button != mbLeft || !onSizingEdge(X, Y)) return;
    sizing_ = true;
    sizeStart_ = ClientToScreen(Point(X, Y));
    startExtent_ = (Align() == alTop || Align() == alBottom) ? Height() : Width();
}

void TVQPanel::MouseMove(TShiftState Shift, int X, int Y) {
    TPanel::MouseMove(Shift, X, Y);
    if (!sizing_) {
        const bool edge = onSizingEdge(X, Y);
        SetCursor(!edge ? crDefault : (Align() == alTop || Align() == alBottom) ? crSizeNS : crSizeWE);
        return;
    }
    const TPoint p = ClientToScreen(Point(X, Y));
    const int dx = p.X - sizeStart_.X, dy = p.Y - sizeStart_.Y;
    switch (Align()) {
    case alTop: SetHeight(std::max(1, startExtent_ + dy)); break;
    case alBottom: SetHeight(std::max(1, startExtent_ - dy)); break;
    case alLeft: SetWidth(std::max(1, startExtent_ + dx)); break;
    case alRight: SetWidth(std::max(1, startExtent_ - dx)); break;
    default: break;
    }
    if (Parent()) Parent()->Realign();
}

void TVQPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TPanel::MouseUp(Button, Shift, X, Y);
    sizing_ = false;
}
