// The flat menu painter; see VqXPMenu.h.
#include "vq/controls/VqXPMenu.h"

#include "Buttons.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "vq/controls/VqXPControls.h"
#include "ImgList.h"
#include "Menus.h"
#include "SysUtils.h"

#include <algorithm>
#include <cmath>

namespace {

int clamp255(int v) { return std::clamp(v, 0, 255); }

} // namespace

TColor XPDarken(TColor c, int d) {
    const TColor rgb = ColorToRGB(c);
    return RGB(clamp255(GetRValue(rgb) - d), clamp255(GetGValue(rgb) - d + 2), clamp255(GetBValue(rgb) - d));
}

TColor XPLighten(TColor c, int p) {
    p = std::min(p, 100);
    const TColor rgb = ColorToRGB(c);
    auto ch = [p](int v) { return clamp255(v + int(std::lround((255 - v) * p / 100.0))); };
    return RGB(ch(GetRValue(rgb)), ch(GetGValue(rgb)), ch(GetBValue(rgb)));
}

TColor XPGrey(TColor c, int l) {
    const TColor rgb = ColorToRGB(c);
    const int v = std::min(240, (GetRValue(rgb) + GetGValue(rgb) + GetBValue(rgb)) / 3 + l);
    return RGB(v, v, v);
}

TVQXPMenu::TVQXPMenu(TComponent* AOwner) : TComponent(AOwner), font_(std::make_unique<TFont>()) {
    font_->SetColor(clMenuText);
    selectFontColor_ = font_->Color();
    for (int i = xccForm; i <= xccPageScroller; ++i) xpContainers_ << TXPContainer(i);
    for (int i = xcMainMenu; i <= xcGroupBox; ++i) xpControls_ << TXPControl(i);
    trueXPStyle_ = false;
    SetControlUseTrueXPStyle(true);
}

TVQXPMenu::~TVQXPMenu() {
    if (active_) walk(Owner(), false);
    removeSubClasses();
}

void TVQXPMenu::SetActive(bool v) {
    if (v == active_) return;
    active_ = v;
    walk(Owner(), v);
    // Switching off leaves the subclasses in place: each lets go of its
    // control at the control's next message.
    if (v) subclassControls(Owner());
}

void TVQXPMenu::SetControlUseTrueXPStyle(bool v) {
    if (v)
        btn_ = {RGB(0, 60, 115),    RGB(255, 178, 49),  RGB(140, 174, 231), RGB(255, 251, 247),
                RGB(231, 231, 222), RGB(231, 231, 222), RGB(239, 235, 231), RGB(0, 162, 0),
                RGB(74, 105, 140),  RGB(214, 231, 255), RGB(198, 199, 181), RGB(140, 162, 247)};
    if (v) btnRoundArc_ = 5;
    trueXPStyle_ = v;
}

void TVQXPMenu::SetXPContainers(TXPContainers v) {
    if (v != xpContainers_ && active_) {
        active_ = false;
        walk(Owner(), false);
        removeSubClasses();
        active_ = true;
        xpContainers_ = v;
        walk(Owner(), true);
        subclassControls(Owner());
    }
    xpContainers_ = v;
}

void TVQXPMenu::SetXPControls(TXPControls v) {
    if (v != xpControls_ && active_) {
        active_ = false;
        walk(Owner(), false);
        removeSubClasses();
        active_ = true;
        xpControls_ = v;
        walk(Owner(), true);
        subclassControls(Owner());
    }
    xpControls_ = v;
}

TControlSubClass* TVQXPMenu::SubClassOf(const TControl* control) const {
    for (TControlSubClass* s : subclasses_)
        if (s->Control() == control) return s;
    return nullptr;
}

void TVQXPMenu::removeSubClasses() {
    const std::set<TControlSubClass*> all = subclasses_;
    for (TControlSubClass* s : all) delete s;
    subclasses_.clear();
}

bool TVQXPMenu::controlQualifies(TControl* c) const {
    const std::string name = c->ClassName();
    const TXPControls& k = xpControls_;
    if (dynamic_cast<TComboBox*>(c)) return k.Contains(xcCombo);
    if (name == "TMaskEdit" || name == "TDBEdit") return k.Contains(xcMaskEdit);
    if (dynamic_cast<TMemo*>(c)) return k.Contains(xcMemo);
    if (dynamic_cast<TCustomEdit*>(c)) return k.Contains(xcEdit);
    if (dynamic_cast<TCheckBox*>(c)) return k.Contains(xcCheckBox);
    if (dynamic_cast<TRadioButton*>(c)) return k.Contains(xcRadioButton);
    if (name == "TBitBtn") return k.Contains(xcBitBtn);
    if (name == "TButton" || name == "TUpDown") return k.Contains(xcButton);
    if (dynamic_cast<TSpeedButton*>(c)) return k.Contains(xcSpeedButton);
    if (dynamic_cast<TPanel*>(c)) return k.Contains(xcPanel);
    if (dynamic_cast<TGroupBox*>(c)) return k.Contains(xcGroupBox);
    return false;
}

bool TVQXPMenu::containerQualifies(TControl* p) const {
    if (!p) return false;
    const std::string name = p->ClassName();
    const TXPContainers& k = xpContainers_;
    if (dynamic_cast<TToolBar*>(p)) return k.Contains(xccToolbar);
    if (dynamic_cast<TPanel*>(p)) return k.Contains(xccPanel);
    if (dynamic_cast<TScrollBox*>(p)) return k.Contains(xccScrollBox);
    if (dynamic_cast<TGroupBox*>(p)) return k.Contains(xccGroupBox);
    if (dynamic_cast<TTabSheet*>(p) || name == "TdxTabSheet") return k.Contains(xccTabSheet);
    if (name == "TFrame" || name == "TDBCtrlPanel") return k.Contains(xccFrame);
    if (dynamic_cast<TCustomForm*>(p)) return k.Contains(xccForm);
    return false;
}

void TVQXPMenu::subclassControls(TComponent* root) {
    if (!root) return;
    for (int i = 0; i < root->ComponentCount(); ++i) {
        TComponent* comp = root->Components(i);
        if (auto* c = dynamic_cast<TControl*>(comp); c && controlQualifies(c) && containerQualifies(c->Parent()) &&
                                                     c->Tag() != 999 && c->Parent()->Tag() != 999) {
            if (!SubClassOf(c)) subclasses_.insert(new TControlSubClass(this, c));
            c->Invalidate();
        }
        if (dynamic_cast<TCustomForm*>(comp) || comp->ClassName() == "TFrame") subclassControls(comp);
    }
}

void TVQXPMenu::SetOverrideOwnerDraw(bool v) {
    overrideOwnerDraw_ = v;
    if (active_) walk(Owner(), true);
}

void TVQXPMenu::walk(TComponent* root, bool install) {
    if (!root) return;
    for (int i = 0; i < root->ComponentCount(); ++i) {
        TComponent* c = root->Components(i);
        if (auto* menu = dynamic_cast<TMainMenu*>(c)) {
            if (menu->Tag() == 999 || !xpControls_.Contains(xcMainMenu)) continue;
            menu->SetOwnerDraw(install);
            for (int k = 0; k < menu->Items()->Count(); ++k) hookItem(menu->Items()->Items(k), install);
        } else if (auto* popup = dynamic_cast<TPopupMenu*>(c)) {
            if (!xpControls_.Contains(xcPopupMenu)) continue;
            popup->SetOwnerDraw(install);
            for (int k = 0; k < popup->Items()->Count(); ++k) hookItem(popup->Items()->Items(k), install);
        } else if (dynamic_cast<TCustomForm*>(c)) {
            walk(c, install);
        }
    }
}

void TVQXPMenu::hookItem(TMenuItem* item, bool install) {
    if (install) {
        if (item->Tag() != 999 && !drawHooked_.count(item)) {
            if (!item->OnDrawItem || overrideOwnerDraw_) {
                item->OnDrawItem = [this](TObject* s, TCanvas* c, TRect r, bool sel) { DrawItem(s, c, r, sel); };
                drawHooked_.insert(item);
            }
            if (!item->OnMeasureItem || overrideOwnerDraw_) {
                item->OnMeasureItem = [this](TObject* s, TCanvas* c, int& w, int& h) { MeasureItem(s, c, w, h); };
                measureHooked_.insert(item);
            }
        }
    } else {
        if (drawHooked_.erase(item)) item->OnDrawItem = nullptr;
        if (measureHooked_.erase(item)) item->OnMeasureItem = nullptr;
    }
    for (int k = 0; k < item->Count(); ++k) hookItem(item->Items(k), install);
}

bool TVQXPMenu::isTopLevel(TMenuItem* item) const {
    TMenu* menu = item->GetParentMenu();
    return menu && dynamic_cast<TMainMenu*>(menu) && item->Parent() == menu->Items();
}

void TVQXPMenu::DerivePalette() {
    Palette& p = palette_;
    // Every screen here shows at least 16 bits a pixel: the high-colour
    // branch always applies.
    if (useSystemColors_) {
        font_->SetColor(clMenuText);
        p.selectText = clMenuText;
        p.face = XPLighten(clBtnFace, 86);
        p.iconColumn = XPLighten(clBtnFace, 16);
        p.selectFill = XPLighten(clHighlight, 68);
        p.selectFrame = clHighlight;
        p.bar = clBtnFace;
        p.disabled = XPLighten(clBtnShadow, 10);
        p.separator = XPLighten(clBtnShadow, 25);
        p.checkFrame = clHighlight;
        p.checkedFill = XPLighten(clHighlight, 80);
        p.checkedHotFill = XPLighten(clHighlight, 50);
    } else {
        p.face = color_;
        p.iconColumn = iconBackColor_;
        p.selectFill = XPLighten(selectColor_, 68);
        p.checkedFill = XPLighten(selectColor_, 80);
        p.checkedHotFill = XPLighten(selectColor_, 50);
        p.selectFrame = selectBorderColor_;
        p.selectText = selectFontColor_;
        p.bar = menuBarColor_;
        p.disabled = disabledColor_;
        p.checkFrame = checkedColor_;
        p.separator = separatorColor_;
    }
}

void TVQXPMenu::MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!active_ || !item) return;
    const bool separator = item->IsLine();
    std::string text = separator ? "" : item->Caption();
    const std::string shortcut = Trim(ShortCutToText(item->ShortCut()));
    if (!shortcut.empty()) text += shortcut + "WWW";
    ACanvas->SetFont(font_.get());
    int w = ACanvas->TextWidth(text) + 5;
    if (text.find('&') != std::string::npos) w -= ACanvas->TextWidth("&");
    const bool topLevel = isTopLevel(item);
    int glyphW = 0, glyphH = 0;
    TMenu* menu = item->GetParentMenu();
    if (item->ImageIndex() != -1 && menu && menu->Images()) {
        glyphW = menu->Images()->Width();
        glyphH = menu->Images()->Height();
    }
    if (!topLevel) glyphW = std::max(glyphW, iconWidth_);
    if (glyphW > 0) w += glyphW;
    if (w > Width) Width = w;
    if (separator) {
        Height = 4;
        return;
    }
    const int th = ACanvas->TextHeight("W");
    int h = th + int(std::lround(0.75 * th));
    h = std::max(h, glyphH + 6);
    if (h > Height) Height = h;
}

void TVQXPMenu::drawCheck(TCanvas* c, const TRect& r, bool selected, bool radio, bool enabled) {
    const Palette& p = palette_;
    c->Brush()->SetColor(selected ? p.checkedHotFill : p.checkedFill);
    c->Pen()->SetColor(enabled ? p.checkFrame : p.disabled);
    if (radio) {
        c->Ellipse(r);
        return;
    }
    c->Rectangle(r);
    c->Pen()->SetColor(enabled ? clBlack : p.disabled);
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    const int lines[5][4] = {{L + 1, T + 5, L + 4, B - 2},
                             {L + 2, T + 5, L + 4, B - 3},
                             {L + 2, T + 4, L + 5, B - 3},
                             {L + 4, B - 3, R + 2, T - 1},
                             {L + 4, B - 2, R - 2, T + 3}};
    for (const auto& l : lines) {
        c->MoveTo(l[0], l[1]);
        c->LineTo(l[2], l[3]);
    }
}

void TVQXPMenu::DrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!active_ || !item) return;
    TCanvas* c = ACanvas;
    ARect.Bottom += 1;
    DerivePalette();
    const Palette& p = palette_;
    const bool separator = item->IsLine();
    const bool topLevel = isTopLevel(item);
    const bool enabled = item->Enabled();
    c->SetFont(font_.get());
    const std::string text = " " + item->Caption();

    TRect icon = Rect(ARect.Left, ARect.Top, ARect.Left + iconWidth_, ARect.Bottom);
    TRect check = Bounds(icon.Left + (icon.Width() - 10) / 2, icon.Top + (icon.Height() - 10) / 2, 10, 10);
    if (topLevel) check.Top -= 1;
    TRect textRect = ARect;
    textRect.Left = ARect.Left + (topLevel ? 4 : iconWidth_);
    if (topLevel) textRect = ARect;

    c->Brush()->SetStyle(bsSolid);
    if (topLevel) {
        c->Brush()->SetColor(p.bar);
        c->FillRect(ARect);
    } else {
        c->Brush()->SetColor(p.face);
        c->FillRect(ARect);
        c->Brush()->SetColor(p.iconColumn);
        c->FillRect(icon);
    }
    TColor textColor = enabled ? font_->Color() : disabledColor_;
    if (Selected && drawSelect_) {
        if (topLevel) {
            c->Brush()->SetColor(p.selectFill);
            c->FillRect(ARect);
            c->Pen()->SetColor(p.selectFrame);
            c->Brush()->SetStyle(bsClear);
            c->Rectangle(ARect);
            c->Brush()->SetStyle(bsSolid);
        } else if (enabled) {
            TRect sel = ARect;
            sel.Top += 1;
            sel.Bottom -= 1;
            c->Brush()->SetColor(p.selectFill);
            c->FillRect(sel);
            c->Brush()->SetColor(p.selectFrame);
            c->FrameRect(sel);
            textColor = p.selectText;
        }
    }
    if (item->Checked()) drawCheck(c, check, Selected, item->RadioItem(), enabled);
    if (TMenu* menu = item->GetParentMenu(); menu && menu->Images() && item->ImageIndex() >= 0) {
        TImageList* images = menu->Images();
        const int gx = icon.Left + std::max(0, (iconWidth_ - images->Width()) / 2 - 1);
        const int shift = (Selected && enabled && !item->Checked() && !topLevel) ? -1 : 0;
        images->Draw(c, gx + shift, ARect.Top + 3 + shift, item->ImageIndex(), enabled);
    }
    if (separator) {
        c->Pen()->SetColor(p.separator);
        const int y = ARect.Top + int(std::lround((ARect.Bottom - ARect.Top) / 2.0));
        c->MoveTo(textRect.Left + 7, y);
        c->LineTo(textRect.Right, y);
    } else {
        textRect.Left += 3;
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(textColor);
        TRect t = textRect;
        const int th = c->TextHeight("W");
        t.Top += (t.Height() - th) / 2;
        c->DrawText(text, -1, t, DT_LEFT | DT_SINGLELINE | (topLevel ? DT_CENTER : 0u));
        const std::string shortcut = ShortCutToText(item->ShortCut());
        if (!shortcut.empty()) {
            c->Font()->SetColor(XPDarken(textColor, -40));
            TRect s = t;
            s.Right -= 10;
            c->DrawText(shortcut + " ", -1, s, DT_RIGHT | DT_SINGLELINE);
        }
        c->Brush()->SetStyle(bsSolid);
    }
    // Items added since the walk are drawn the same way.
    if (TMenuItem* parent = item->Parent())
        for (int k = 0; k < parent->Count(); ++k) hookItem(parent->Items(k), true);
}

// ------------------------------------------------------------ tool bars

void TVQXPMenu::ToolbarDrawButton(TCanvas* c, const TVQXPToolBar& bar, const TVQXPToolButton& b, bool& DefaultDraw) {
    DefaultDraw = false;
    DerivePalette();
    const TColor hot = useSystemColors_ ? palette_.selectFill : XPLighten(selectColor_, 68);
    const TColor barColor = XPLighten(bar.Color, 16);
    TRect r = b.Rect;
    c->Brush()->SetStyle(bsSolid);
    if (!bar.Transparent) {
        c->Brush()->SetColor(barColor);
        c->FillRect(r);
    }
    bool fill = false, frame = false;
    if (b.Hot) {
        c->Brush()->SetColor(b.Checked || b.Down || b.Selected ? palette_.checkedHotFill : hot);
        fill = frame = true;
    } else if (b.Checked) {
        c->Brush()->SetColor(palette_.checkedFill);
        fill = frame = true;
    } else if (b.Indeterminate) {
        c->Brush()->SetColor(hot);
        fill = true;
    } else if (b.HasMenuItem) {
        c->Brush()->SetColor(barColor);
        fill = !bar.Transparent;
    }
    if (fill) c->FillRect(TRect{r.Left, r.Top + 1, r.Right, r.Bottom});
    if (frame) {
        c->Pen()->SetColor(palette_.selectFrame);
        c->Pen()->SetWidth(1);
        auto outline = [&](int left, int right) {
            c->Brush()->SetStyle(bsClear);
            c->Rectangle(left, r.Top + 1, right, r.Bottom);
            c->Brush()->SetStyle(bsSolid);
        };
        if (b.DropDown) {
            outline(r.Left, r.Right - 14);
            outline(r.Right - 14, r.Right);
        } else {
            outline(r.Left, r.Right);
        }
    }
    if (b.DropDown) {
        // A black arrow of three lines, 5, 3 and 1 pixels wide.
        c->Pen()->SetColor(clBlack);
        const int y = r.Top + r.Height() / 2 - 1;
        for (int i = 0; i < 3; ++i) {
            c->MoveTo(r.Right - 10 + i, y + i);
            c->LineTo(r.Right - 10 + 5 - i, y + i);
        }
    }
    // The glyph area: a drop-down button loses 12 pixels at the right.
    TRect glyphArea = r;
    if (b.DropDown) glyphArea.Right -= 12;
    TImageList* images = bar.Images;
    if (b.Hot && bar.HotImages && b.ImageIndex >= 0 && b.ImageIndex < bar.HotImages->Count()) images = bar.HotImages;
    if (!b.Enabled && bar.DisabledImages && b.ImageIndex >= 0 && b.ImageIndex < bar.DisabledImages->Count())
        images = bar.DisabledImages;
    int glyphWidth = 0;
    if (images && b.ImageIndex >= 0 && b.ImageIndex < images->Count()) {
        glyphWidth = images->Width();
        const int x = bar.List ? glyphArea.Left + 3 : glyphArea.Left + (glyphArea.Width() - glyphWidth + 1) / 2;
        images->Draw(c, x, glyphArea.Top + 2, b.ImageIndex, b.Enabled);
    }
    if (bar.ShowCaptions && !b.Caption.empty()) {
        c->SetFont(font_.get());
        c->Font()->SetColor(!b.Enabled ? palette_.disabled : b.Selected ? palette_.selectText : clBtnText);
        c->Brush()->SetStyle(bsClear);
        const int th = c->TextHeight(b.Caption), tw = c->TextWidth(b.Caption);
        if (!bar.List || b.HasMenuItem)
            c->TextOut(glyphArea.Left + (glyphArea.Width() - tw) / 2, bar.List ? glyphArea.Top + (glyphArea.Height() - th) / 2
                                                                               : glyphArea.Bottom - th - 6,
                       b.Caption);
        else
            c->TextOut(glyphArea.Left + glyphWidth + 3, glyphArea.Top + (glyphArea.Height() - th) / 2, b.Caption);
        c->Brush()->SetStyle(bsSolid);
    }
    if (b.AfterSeparator) {
        const TRect& s = b.SeparatorRect;
        if (!bar.Transparent) {
            c->Brush()->SetColor(barColor);
            c->FillRect(s);
        }
        if (b.SeparatorTag > 0) {
            c->Pen()->SetColor(XPDarken(bar.Color, 30));
            const int mid = s.Left + s.Width() / 2;
            c->MoveTo(mid, s.Top + 2);
            c->LineTo(mid, s.Bottom - 1);
        }
    }
}

// A grip of three-pixel lines on every even row from top + 5 to
// bottom - 5, the first darkened by 30 and each further line 7 more.
void TVQXPMenu::BandPaint(TCanvas* c, TColor color, const TRect& r, int& Options) {
    DerivePalette();
    Options = 0;
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(XPLighten(color, 6));
    c->FillRect(r);
    int d = 30;
    for (int y = r.Top + 5 + ((r.Top + 5) & 1); y <= r.Bottom - 5; y += 2, d += 7) {
        c->Pen()->SetColor(XPDarken(color, d));
        c->MoveTo(r.Left + 3, y);
        c->LineTo(r.Left + 6, y);
    }
}
