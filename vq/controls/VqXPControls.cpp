// The per-control flat painting; see VqXPControls.h.
//
// The hook paints after the control's own paint event, so "paint" in the
// message rules below means asking the control to repaint: it paints
// itself, and AfterPaint then draws over it.
#include "vq/controls/VqXPControls.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "vq/controls/VqXPMenu.h"

#include <algorithm>

namespace {

// A control with this Tag keeps the plain look under the true style.
constexpr intptr_t kPlainTag = 1234567890;
// The box of combo arrows, check and radio boxes: the width of a scroll
// bar's thumb.
constexpr int kButtonSize = 16;

TRect inset(TRect r, int dx, int dy) {
    InflateRect(r, -dx, -dy);
    return r;
}

void fill(TCanvas* c, const TRect& r, TColor colour) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(colour);
    c->FillRect(r);
}

void frame(TCanvas* c, const TRect& r, TColor colour) {
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(colour);
    c->FrameRect(r);
}

void line(TCanvas* c, int x1, int y1, int x2, int y2, TColor colour) {
    c->Pen()->SetColor(colour);
    c->Pen()->SetWidth(1);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

TColor parentColour(TControl* c) { return c->Parent() ? c->Parent()->Color() : clBtnFace; }

// The square box of a check or radio box: centred vertically in r, at the
// right when the caption stands at the left.
TRect boxIn(const TRect& r, bool captionLeft, int extra) {
    TRect b;
    b.Top = r.Top + (r.Height() - kButtonSize) / 2;
    b.Bottom = b.Top + kButtonSize - 1 + extra;
    if (captionLeft) {
        b.Right = r.Right;
        b.Left = b.Right - kButtonSize + 1 - extra;
    } else {
        b.Left = r.Left;
        b.Right = b.Left + kButtonSize - 1 + extra;
    }
    return b;
}

} // namespace

TControlSubClass::TControlSubClass(TVQXPMenu* menu, TControl* control)
    : TComponent(menu), menu_(menu), control_(control) {
    if (auto* e = dynamic_cast<TCustomEdit*>(control)) savedSingleBorder_ = e->BorderStyle() == bsSingle;
    AddControlHook(control_, this);
}

TControlSubClass::~TControlSubClass() {
    if (menu_) menu_->subclasses_.erase(this);
    if (control_) {
        RemoveControlHook(control_, this);
        control_->Invalidate();
    }
}

void TControlSubClass::release() {
    // The control's own painting alone from now on; the owner forgets this.
    delete this;
}

void TControlSubClass::paint() {
    ++paintRequests_;
    control_->Invalidate();
}

bool TControlSubClass::trueStyle() const { return menu_->ControlUseTrueXPStyle() && control_->Tag() != kPlainTag; }

void TControlSubClass::HookMessage(TControl*, THookMessage Msg, Word Key, bool) {
    if (Msg == hmDestroy) {
        // The window is gone for good (the platform recreates none).
        control_ = nullptr;
        release();
        return;
    }
    if (!menu_->Active()) {
        release();
        return;
    }
    lastMessage_ = Msg;
    switch (Msg) {
    case hmSetFocus: highlighted_ = true; paint(); break;
    case hmKillFocus: highlighted_ = false; paint(); break;
    case hmPaint: recreating_ = false; break;
    case hmKeyDown:
        if (Key == VK_SPACE) {
            spaceDown_ = true;
            if (!spaceSeen_) paint();
            spaceSeen_ = true;
        }
        break;
    case hmKeyUp:
        if (Key == VK_SPACE) {
            spaceDown_ = false;
            spaceSeen_ = false;
            paint();
        }
        break;
    case hmLButtonDown: pressed_ = true; paint(); break;
    case hmLButtonUp: pressed_ = false; paint(); break;
    case hmLButtonDblClk:
        // The second press of a double click is a press for these.
        if (dynamic_cast<TButton*>(control_) || dynamic_cast<TSpeedButton*>(control_) ||
            dynamic_cast<TCheckBox*>(control_)) {
            pressed_ = true;
            paint();
        }
        break;
    case hmMouseEnter:
        if (control_->Enabled()) {
            highlighted_ = true;
            paint();
        }
        break;
    case hmMouseLeave:
        if (control_->Enabled()) {
            highlighted_ = false;
            paint();
        }
        break;
    case hmEnabledChanged: paint(); break;
    case hmDestroy: break;
    }
}

void TControlSubClass::AfterPaint(TControl*, TCanvas* c) {
    if (!control_ || control_->Tag() < 0 || !menu_->Active()) return;
    auto* wc = dynamic_cast<TWinControl*>(control_);
    focused_ = wc && wc->Focused();
    menu_->DerivePalette();
    c->Font()->Assign(control_->Font());
    if (dynamic_cast<TComboBox*>(control_)) paintCombo(c);
    if (dynamic_cast<TCustomEdit*>(control_)) paintEdit(c);
    if (dynamic_cast<TCheckBox*>(control_)) paintCheckBox(c);
    if (dynamic_cast<TRadioButton*>(control_)) paintRadio(c);
    if (dynamic_cast<TBitBtn*>(control_))
        paintBitBtn(c);
    else if (dynamic_cast<TButton*>(control_))
        paintButton(c);
    // An up-down control is hooked but keeps its own look.
    if (dynamic_cast<TSpeedButton*>(control_) && control_->Visible()) paintSpeedButton(c);
    if (lastMessage_ == hmPaint) {
        if (dynamic_cast<TPanel*>(control_)) paintPanel(c);
        if (dynamic_cast<TGroupBox*>(control_)) paintGroupBox(c);
    }
}

void TControlSubClass::paintCombo(TCanvas* c) {
    auto* combo = static_cast<TComboBox*>(control_);
    const auto& p = menu_->CurrentPalette();
    const auto& k = menu_->BtnColors();
    const bool xp = trueStyle();
    const bool enabled = control_->Enabled();
    TColor arrow = enabled ? clBlack : clWhite;
    TColor f = control_->Color(), b = clBtnFace;
    if (highlighted_) {
        f = p.selectFrame;
        b = p.selectFill;
    } else if (focused_) {
        f = XPLighten(p.selectFrame, 60);
        b = p.checkedFill;
    }
    const TColor parent = parentColour(control_);
    TRect r{0, 0, control_->Width(), control_->Height()};
    frame(c, r, parent);
    r = inset(r, 1, 1);
    line(c, r.Left, r.Top, r.Right, r.Top, parent);
    r = inset(r, 0, 1);
    if ((highlighted_ || focused_) && !xp) InflateRect(r, 1, 1);
    frame(c, r, control_->Color());
    r.Bottom += 1;
    frame(c, r, enabled && xp ? k.outLineBorder : f);
    const bool dropped = combo->DroppedDown();
    if (dropped) {
        f = p.selectFrame;
        arrow = clWhite;
        b = p.checkedHotFill;
    }
    r = inset(r, 1, 1);
    TRect btn{r.Right - (kButtonSize + 1), r.Top, r.Right, r.Bottom};
    if ((highlighted_ || focused_) && !xp) btn.Left -= 1;
    if (xp) {
        fill(c, btn, k.surfaceNormal);
        TColor inner = k.innerBorderFocus;
        if (pressed_) inner = k.surfaceDown;
        if (highlighted_) inner = k.comboboxSurfaceMove;
        if (dropped) inner = k.droppedDownSurface;
        const TRect in = inset(btn, 1, 1);
        fill(c, in, inner);
        const int x = in.Left + (in.Width() - 8) / 2, y = in.Top + (in.Height() - 4) / 2;
        c->Pen()->SetColor(k.comboBoxChk);
        c->Pen()->SetWidth(2);
        c->Polyline({{x, y}, {x + 4, y + 4}, {x + 8, y}});
        c->Pen()->SetWidth(1);
    } else {
        fill(c, btn, b);
        fill(c, TRect{btn.Left, btn.Top, btn.Left + 5, btn.Bottom}, control_->Color());
        line(c, btn.Left + 5, btn.Top, btn.Left + 5, btn.Bottom, f);
        const int right = control_->Width() - 10;
        for (int i = 0; i < 3; ++i) line(c, right + i, 10 + i, right + i + 5 - 2 * i, 10 + i, arrow);
    }
}

void TControlSubClass::paintEdit(TCanvas* c) {
    const auto& p = menu_->CurrentPalette();
    const TColor parent = parentColour(control_);
    TColor border;
    if (highlighted_ || focused_)
        border = XPLighten(p.selectFrame, savedSingleBorder_ ? 60 : 80);
    else
        border = savedSingleBorder_ ? XPDarken(parent, 60) : parent;
    // Setting the colour repaints: only when it differs, or it never ends.
    if (trueStyle() && control_->Color() != menu_->BtnColors().surfaceNormal)
        control_->SetColor(menu_->BtnColors().surfaceNormal);
    c->Brush()->SetStyle(bsClear);
    c->Pen()->SetColor(border);
    c->Pen()->SetWidth(1);
    c->Rectangle(0, 0, control_->Width(), control_->Height());
}

void TControlSubClass::paintCheckBox(TCanvas* c) {
    auto* box = static_cast<TCheckBox*>(control_);
    const auto& p = menu_->CurrentPalette();
    const auto& k = menu_->BtnColors();
    const bool xp = trueStyle();
    TColor fillColour = clWindow, pen = clBtnShadow;
    if (highlighted_ || focused_) {
        fillColour = p.selectFill;
        pen = p.selectFrame;
    }
    if (spaceDown_ || pressed_) fillColour = p.checkedHotFill;
    TRect r = inset(TRect{0, 0, control_->Width(), control_->Height()}, 0, 3);
    TRect b = boxIn(r, box->Alignment() == taLeftJustify, xp ? 1 : 0);
    fill(c, b, control_->Color());
    b = inset(b, 2, 2);
    const bool grayed = box->State() == cbGrayed;
    c->Brush()->SetStyle(bsSolid);
    if (xp) {
        c->Brush()->SetColor(pressed_ ? k.surfaceDown : k.surfaceNormal);
        c->Pen()->SetColor(pressed_ || control_->Enabled() ? k.outLineBorder : k.controlDisabledBorder);
    } else {
        c->Brush()->SetColor(grayed ? RGB(192, 192, 192) : fillColour);
        c->Pen()->SetColor(pen);
    }
    c->Pen()->SetWidth(1);
    c->Rectangle(b);
    if (xp && highlighted_) frame(c, inset(b, 1, 1), k.innerBorderMove);
    if (!box->Checked() && !grayed) return;
    TColor mark = !control_->Enabled()                ? p.disabled
                  : (spaceDown_ || pressed_)          ? clWindow
                  : grayed                            ? RGB(128, 128, 128)
                                                      : clHighlight;
    if (xp) {
        mark = k.rdoChkControlChk;
        b.Left += 1;
    }
    if (grayed) {
        fill(c, TRect{b.Left + 2, b.Top + 3, b.Right - 3, b.Bottom - 3}, k.rdoChkControlChk);
        return;
    }
    c->Pen()->SetColor(mark);
    for (int i = 0; i < 3; ++i)
        c->Polyline({{b.Left + 2, b.Bottom - i - 5}, {b.Left + 4, b.Bottom - i - 3}, {b.Left + 9, b.Bottom - i - 8}});
}

void TControlSubClass::paintRadio(TCanvas* c) {
    auto* radio = static_cast<TRadioButton*>(control_);
    const auto& p = menu_->CurrentPalette();
    const auto& k = menu_->BtnColors();
    const bool xp = trueStyle();
    TColor fillColour = clWindow, pen = clBtnShadow;
    if (highlighted_) {
        fillColour = p.selectFill;
        pen = p.selectFrame;
    }
    if (focused_) fillColour = p.selectFill;
    TRect r = inset(TRect{0, 0, control_->Width(), control_->Height()}, 0, 4);
    TRect b = boxIn(r, false, xp ? 2 : 0);
    if (xp) b.Bottom = b.Top + kButtonSize + 1;
    fill(c, b, control_->Color());
    b = inset(b, 2, 2);
    c->Brush()->SetStyle(bsSolid);
    if (xp) {
        c->Brush()->SetColor(pressed_ ? k.surfaceDown : k.surfaceNormal);
        c->Pen()->SetColor(pressed_ || control_->Enabled() ? k.outLineBorder : k.controlDisabledBorder);
    } else {
        c->Brush()->SetColor(fillColour);
        c->Pen()->SetColor(pen);
    }
    c->Pen()->SetWidth(1);
    c->Ellipse(b);
    if (xp && highlighted_) {
        c->Brush()->SetStyle(bsClear);
        c->Pen()->SetColor(k.innerBorderMove);
        c->Ellipse(inset(b, 1, 1));
    }
    if (!radio->Checked()) return;
    const TRect dot = inset(b, xp ? 4 : 2, xp ? 4 : 2);
    const TColor colour = xp ? k.rdoChkControlChk : control_->Enabled() ? clHighlight : p.disabled;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(colour);
    c->Pen()->SetColor(colour);
    c->Ellipse(dot);
}

void TControlSubClass::paintButton(TCanvas* c) {
    const auto& p = menu_->CurrentPalette();
    const auto& k = menu_->BtnColors();
    const bool xp = trueStyle();
    const int arc = menu_->BtnRoundArc();
    TColor face = p.iconColumn, base = clBtnShadow;
    if (highlighted_ || spaceDown_) {
        face = XPLighten(clBtnFace, 60);
        base = XPLighten(p.selectFrame, 60);
    } else if (focused_) {
        base = XPLighten(p.selectFrame, 60);
    }
    const TRect r{0, 0, control_->Width(), control_->Height()};
    fill(c, r, parentColour(control_));
    c->Brush()->SetColor(face);
    c->Pen()->SetColor(XPLighten(base, 30));
    c->Pen()->SetWidth(1);
    const bool enabled = control_->Enabled();
    if (xp) {
        c->Brush()->SetColor(k.surfaceNormal);
        c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, arc, arc);
        if (enabled) {
            c->Brush()->SetStyle(bsClear);
            c->Pen()->SetColor(k.outLineBorder);
            c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, arc, arc);
        }
        line(c, r.Left + arc, r.Bottom - 2, r.Right - arc, r.Bottom - 2, k.surfaceBottomLine);
    } else {
        const int corner = dynamic_cast<TBitBtn*>(control_) ? 4 : arc;
        c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, corner, corner);
    }
    if (enabled && xp) {
        auto rings = [&](TColor outer, TColor inner) {
            c->Brush()->SetStyle(bsClear);
            c->Pen()->SetColor(outer);
            c->RoundRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1, arc / 2, arc / 2);
            c->Pen()->SetColor(inner);
            c->RoundRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 2, arc / 2, arc / 2);
        };
        if (pressed_ || spaceDown_) {
            c->Brush()->SetStyle(bsSolid);
            c->Brush()->SetColor(k.surfaceDown);
            c->Pen()->SetColor(k.outLineBorder);
            c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, arc, arc);
            line(c, r.Left + arc, r.Bottom - 2, r.Right - arc, r.Bottom - 2, k.surfaceDownBottomLine);
        } else if (highlighted_) {
            rings(k.innerBorderMove, TColor(int(k.innerBorderMove) + 131584));
        } else if (focused_) {
            rings(k.innerBorderFocus, TColor(int(k.innerBorderFocus) + 131586));
        }
    } else if (enabled) {
        c->Pen()->SetColor(XPDarken(base, 50));
        if ((pressed_ && highlighted_) || spaceDown_)
            c->Polyline({{r.Left, r.Bottom - 2}, {r.Left, r.Top + 1}, {r.Left + 1, r.Top}, {r.Right - 1, r.Top}});
        else
            c->Polyline({{r.Right - 1, r.Top + 1},
                         {r.Right - 1, r.Bottom - 2},
                         {r.Right - 2, r.Bottom - 1},
                         {r.Left, r.Bottom - 1}});
    }
    if (!dynamic_cast<TBitBtn*>(control_)) paintCaption(c, r);
}

void TControlSubClass::paintCaption(TCanvas* c, const TRect& r) {
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(control_->Enabled() ? control_->Font()->Color() : menu_->CurrentPalette().disabled);
    TRect t = r;
    std::string text = control_->Caption();
    c->DrawText(text, -1, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void TControlSubClass::paintBitBtn(TCanvas* c) {
    paintButton(c);
    auto* btn = static_cast<TBitBtn*>(control_);
    TBitmap* glyph = btn->Glyph();
    const std::string caption = control_->Caption();
    if (!glyph || glyph->Width() == 0) {
        paintCaption(c, TRect{0, 0, control_->Width(), control_->Height()});
        return;
    }
    const int gw = glyph->Width() / std::max(1, btn->NumGlyphs()), gh = glyph->Height();
    const int spacing = caption.empty() ? 0 : btn->Spacing();
    const int tw = caption.empty() ? 0 : c->TextWidth(caption), th = c->TextHeight(caption.empty() ? " " : caption);
    const int W = control_->Width(), H = control_->Height();
    int gx = 0, gy = 0;
    TRect text{0, 0, W, H};
    switch (btn->Layout()) {
    case blGlyphLeft:
        gx = (W - gw - spacing - tw) / 2;
        gy = (H - gh) / 2;
        text.Left = gx + gw + spacing;
        text.Right = text.Left + tw;
        break;
    case blGlyphRight: {
        const int e = (gw + spacing + tw + W) / 2;
        gx = e - gw;
        gy = (H - gh) / 2;
        text.Right = e - gw - spacing;
        text.Left = text.Right - tw;
        break;
    }
    case blGlyphTop:
        gx = (W - gw) / 2;
        gy = (H - th - gh - spacing) / 2;
        text.Top = gy + gh + spacing;
        text.Bottom = text.Top + th;
        break;
    case blGlyphBottom: {
        const int e = (th + gh + spacing + H) / 2;
        gx = (W - gw) / 2;
        gy = e - gh;
        text.Bottom = e - gh - spacing;
        text.Top = text.Bottom - th;
        break;
    }
    }
    if (highlighted_ && !focused_) {
        --gx;
        --gy;
    }
    TBitmap first;
    first.SetWidth(gw);
    first.SetHeight(gh);
    first.Canvas()->CopyRect(TRect{0, 0, gw, gh}, glyph->Canvas(), TRect{0, 0, gw, gh});
    first.SetTransparent(true);
    c->Draw(gx, gy, &first);
    if (!caption.empty()) paintCaption(c, text);
}

void TControlSubClass::paintSpeedButton(TCanvas* c) {
    auto* btn = static_cast<TSpeedButton*>(control_);
    const auto& p = menu_->CurrentPalette();
    const auto& k = menu_->BtnColors();
    const bool xp = trueStyle();
    const bool down = btn->Down();
    TColor fillColour = p.iconColumn, base = clBtnShadow;
    if (highlighted_) {
        fillColour = p.selectFill;
        base = p.selectFrame;
    }
    if (down) {
        fillColour = highlighted_ ? p.checkedHotFill : p.checkedFill;
        base = p.selectFrame;
    }
    if (!control_->Enabled()) base = clBtnShadow;
    const TRect r{0, 0, control_->Width(), control_->Height()};
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(fillColour);
    c->Pen()->SetColor(XPLighten(base, 30));
    c->Pen()->SetWidth(1);
    if (btn->Flat() && !down && !highlighted_) c->Pen()->SetColor(fillColour);
    c->Rectangle(r);
    if (xp) {
        const int arc = menu_->BtnRoundArc();
        c->Brush()->SetColor(pressed_ || down ? k.surfaceDown : k.surfaceNormal);
        c->Pen()->SetColor(k.outLineBorder);
        c->RoundRect(r.Left, r.Top, r.Right, r.Bottom, arc, arc);
        line(c, r.Left + arc, r.Bottom - 2, r.Right - arc, r.Bottom - 2,
             pressed_ || down ? k.surfaceDownBottomLine : k.surfaceBottomLine);
    } else if (control_->Enabled() && !btn->Flat()) {
        c->Pen()->SetColor(XPDarken(base, 50));
        if (pressed_ || down)
            c->Polyline({{r.Left, r.Bottom - 1}, {r.Left, r.Top}, {r.Right, r.Top}});
        else
            c->Polyline({{r.Right - 1, r.Top}, {r.Right - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}});
    }
    TBitmap* glyph = btn->Glyph();
    if (glyph && glyph->Width() > 0) {
        const int n = std::max(1, btn->NumGlyphs());
        int index = 0;
        if (!control_->Enabled() && n > 1) index = 1;
        if (pressed_ && n > 2) index = 2;
        if (down && n > 3) index = 3;
        const int gw = glyph->Width() / n, gh = glyph->Height();
        TBitmap one;
        one.SetWidth(gw);
        one.SetHeight(gh);
        one.Canvas()->CopyRect(TRect{0, 0, gw, gh}, glyph->Canvas(), TRect{index * gw, 0, index * gw + gw, gh});
        one.SetTransparent(true);
        const std::string caption = control_->Caption();
        const int tw = caption.empty() ? 0 : c->TextWidth(caption);
        const int spacing = caption.empty() ? 0 : 4;
        const int gx = (r.Width() - gw - spacing - tw) / 2, gy = (r.Height() - gh) / 2 - 1;
        c->Draw(gx, gy, &one);
        if (!caption.empty()) paintCaption(c, TRect{gx + gw + spacing, 0, gx + gw + spacing + tw, r.Bottom});
    } else {
        paintCaption(c, r);
    }
}

void TControlSubClass::paintPanel(TCanvas* c) {
    auto* panel = static_cast<TPanel*>(control_);
    const TColor d = XPDarken(control_->Color(), 60), l = XPLighten(control_->Color(), 60);
    TRect r{0, 0, control_->Width(), control_->Height()};
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvNone) return;
        if (cut == bvLowered)
            Frame3D(c, r, d, l, panel->BevelWidth());
        else
            Frame3D(c, r, l, d, panel->BevelWidth());
    };
    bevel(panel->BevelOuter());
    if (panel->BevelInner() != bvNone) {
        r = inset(r, panel->BorderWidth(), panel->BorderWidth());
        bevel(panel->BevelInner());
    }
}

void TControlSubClass::paintGroupBox(TCanvas* c) {
    const std::string caption = control_->Caption();
    const int th = c->TextHeight(caption.empty() ? " " : caption);
    const int tw = c->TextWidth(caption);
    const int h = th / 2;
    const TColor colour = control_->Color();
    const TColor d = XPDarken(colour, 60), l = XPLighten(colour, 60);
    const TRect client{0, 0, control_->Width(), control_->Height()};
    TRect old = inset(client, 1, 1);
    old.Top = th;
    frame(c, old, colour);
    line(c, client.Left + 1, h - 1, client.Left + 1, client.Bottom, colour);
    TRect f = client;
    f.Top = h - 1;
    Frame3D(c, f, l, d, 1);
    fill(c, TRect{client.Left, client.Top, client.Right, h + 2}, parentColour(control_));
    fill(c, TRect{client.Left + 9, h + 2, client.Left + 9 + tw, 2 * h + 3}, colour);
    line(c, client.Right - 2, h + 2, client.Right - 2, th, colour);
    c->Brush()->SetStyle(bsClear);
    c->Font()->SetColor(control_->Font()->Color());
    TRect text{client.Left + 9, 0, client.Left + 9 + tw, th};
    c->DrawText(caption, -1, text, DT_LEFT | DT_SINGLELINE);
    line(c, client.Left, h + 1, client.Left + 9, h + 1, l);
    line(c, client.Left + 9 + tw, h + 1, client.Right - 1, h + 1, l);
}
