// The flat menu painter: dropped on a form and made Active, it takes over
// the measuring and drawing of every item of the form's main and pop-up
// menus (an item or main menu with Tag 999 keeps its own look) and paints
// them with a face, an icon column, a framed selection, check marks and
// right-aligned shortcut texts, all from a palette derived at every paint.
// It also paints tool-bar buttons and control-bar bands (ToolbarDrawButton,
// BandPaint) for a bar that hands them its canvas; no window of the system
// has such a bar, and the platform's tool bar draws its own buttons, so
// these are library painters. Ordinary controls of the form (edits, combo
// boxes, check and radio boxes, buttons, panels, group boxes) are painted
// over by a TControlSubClass each (VqXPControls.h) after their own painting.
#pragma once

#include "Classes.h"
#include "Graphics.h"

#include <memory>
#include <set>
#include <string>

class TCustomForm;
class TMenuItem;
class TImageList;
class TControl;
class TControlSubClass;

enum TXPContainer {
    xccForm,
    xccFrame,
    xccToolbar,
    xccCoolbar,
    xccControlbar,
    xccPanel,
    xccScrollBox,
    xccGroupBox,
    xccTabSheet,
    xccPageScroller
};
using TXPContainers = TSet<TXPContainer>;
enum TXPControl {
    xcMainMenu,
    xcPopupMenu,
    xcToolbar,
    xcControlbar,
    xcCombo,
    xcEdit,
    xcMaskEdit,
    xcMemo,
    xcRichEdit,
    xcCheckBox,
    xcRadioButton,
    xcButton,
    xcBitBtn,
    xcSpeedButton,
    xcPanel,
    xcGroupBox
};
using TXPControls = TSet<TXPControl>;

// One tool button as ToolbarDrawButton paints it.
struct TVQXPToolButton {
    TRect Rect;
    bool Hot = false;
    bool Checked = false;
    bool Down = false;
    bool Selected = false;
    bool Indeterminate = false;
    bool Enabled = true;
    bool DropDown = false;
    bool HasMenuItem = false;
    int ImageIndex = -1;
    std::string Caption;
    // The button before it, when that is a separator or divider: its
    // rectangle and Tag (a positive Tag draws a line at its middle).
    bool AfterSeparator = false;
    TRect SeparatorRect;
    int SeparatorTag = 0;
};

// The bar the button stands on.
struct TVQXPToolBar {
    TColor Color = clBtnFace;
    bool Transparent = false;
    bool ShowCaptions = false;
    bool List = false;
    TImageList* Images = nullptr;
    TImageList* HotImages = nullptr;
    TImageList* DisabledImages = nullptr;
};

// Colour arithmetic on the RGB form of a colour.
// darken: red - d, green - d + 2, blue - d, clamped (a negative d lightens).
TColor XPDarken(TColor c, int d);
// lighten: each channel moves p % (capped at 100) of the way to 255.
TColor XPLighten(TColor c, int p);
// grey: the channel mean plus l, at most 240.
TColor XPGrey(TColor c, int l);

class TVQXPMenu : public TComponent {
public:
    // owner is the form whose menus it paints.
    explicit TVQXPMenu(TComponent* AOwner);
    ~TVQXPMenu() override;
    std::string ClassName() const override { return "TVQXPMenu"; }

    bool Active() const { return active_; }
    // Installs (or removes) the hooks on every menu of the form.
    void SetActive(bool v);
    bool OverrideOwnerDraw() const { return overrideOwnerDraw_; }
    void SetOverrideOwnerDraw(bool v);
    bool UseSystemColors() const { return useSystemColors_; }
    void SetUseSystemColors(bool v) { useSystemColors_ = v; }
    bool DrawSelect() const { return drawSelect_; }
    void SetDrawSelect(bool v) { drawSelect_ = v; }
    bool Gradient() const { return gradient_; }
    void SetGradient(bool v) { gradient_ = v; }
    int IconWidth() const { return iconWidth_; }
    void SetIconWidth(int v) { iconWidth_ = v; }
    int DimLevel() const { return dimLevel_; }
    int GrayLevel() const { return grayLevel_; }
    TFont* Font() const { return font_.get(); }
    void SetFont(TFont* v) { font_->Assign(v); }
    TColor Color() const { return color_; }
    void SetColor(TColor v) { color_ = v; }
    TColor IconBackColor() const { return iconBackColor_; }
    void SetIconBackColor(TColor v) { iconBackColor_ = v; }
    TColor MenuBarColor() const { return menuBarColor_; }
    void SetMenuBarColor(TColor v) { menuBarColor_ = v; }
    TColor SelectColor() const { return selectColor_; }
    void SetSelectColor(TColor v) { selectColor_ = v; }
    TColor SelectBorderColor() const { return selectBorderColor_; }
    void SetSelectBorderColor(TColor v) { selectBorderColor_ = v; }
    TColor SelectFontColor() const { return selectFontColor_; }
    void SetSelectFontColor(TColor v) { selectFontColor_ = v; }
    TColor DisabledColor() const { return disabledColor_; }
    void SetDisabledColor(TColor v) { disabledColor_ = v; }
    TColor SeparatorColor() const { return separatorColor_; }
    void SetSeparatorColor(TColor v) { separatorColor_ = v; }
    TColor CheckedColor() const { return checkedColor_; }
    void SetCheckedColor(TColor v) { checkedColor_ = v; }

    // Which containers' controls, and which kinds of menus and controls,
    // are taken over. A change while active unhooks everything and hooks
    // again by the new sets.
    TXPContainers XPContainers() const { return xpContainers_; }
    void SetXPContainers(TXPContainers v);
    TXPControls XPControls() const { return xpControls_; }
    void SetXPControls(TXPControls v);
    // Controls painted with the button colour set below (a control whose
    // Tag is 1234567890 keeps the plain look). Turning it on resets the
    // set to its stock values.
    bool ControlUseTrueXPStyle() const { return trueXPStyle_; }
    void SetControlUseTrueXPStyle(bool v);
    int BtnRoundArc() const { return btnRoundArc_; }
    void SetBtnRoundArc(int v) { btnRoundArc_ = v; }
    struct ButtonColors {
        TColor outLineBorder, innerBorderMove, innerBorderFocus, surfaceNormal, surfaceDown, surfaceBottomLine,
            surfaceDownBottomLine, rdoChkControlChk, comboBoxChk, comboboxSurfaceMove, controlDisabledBorder,
            droppedDownSurface;
    };
    const ButtonColors& BtnColors() const { return btn_; }
    // Changes one colour of the set (the dropped-down surface has no
    // property of its own and keeps its stock value).
    ButtonColors& EditBtnColors() { return btn_; }
    // The subclasses the walk made, one per control.
    int SubClassCount() const { return int(subclasses_.size()); }
    TControlSubClass* SubClassOf(const TControl* control) const;

    // The hooks, public so a test can measure and paint an item on a
    // canvas of its own.
    void MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void DrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected);

    // Paints one tool button; the bar then draws nothing of its own
    // (DefaultDraw comes back false).
    void ToolbarDrawButton(TCanvas* ACanvas, const TVQXPToolBar& Bar, const TVQXPToolButton& Button,
                           bool& DefaultDraw);
    // Paints one control-bar band of colour Color; the options come back
    // empty (no frame, no grabber of the bar's own).
    void BandPaint(TCanvas* ACanvas, TColor Color, const TRect& ARect, int& Options);

    // The palette of the last derivation (what DrawItem painted with).
    struct Palette {
        TColor face, iconColumn, selectFill, selectFrame, selectText, bar, disabled, separator, checkFrame, checkedFill,
            checkedHotFill;
    };
    const Palette& CurrentPalette() const { return palette_; }
    void DerivePalette();

private:
    friend class TControlSubClass;
    void walk(TComponent* root, bool install);
    void subclassControls(TComponent* root);
    void removeSubClasses();
    bool controlQualifies(TControl* c) const;
    bool containerQualifies(TControl* parent) const;
    void hookItem(TMenuItem* item, bool install);
    bool isTopLevel(TMenuItem* item) const;
    void drawCheck(TCanvas* c, const TRect& r, bool selected, bool radio, bool enabled);

    std::unique_ptr<TFont> font_;
    std::set<TMenuItem*> drawHooked_, measureHooked_;
    Palette palette_{};
    bool active_ = false;
    bool overrideOwnerDraw_ = false;
    bool useSystemColors_ = true;
    bool drawSelect_ = true;
    bool gradient_ = false;
    int iconWidth_ = 24;
    int dimLevel_ = 30;
    int grayLevel_ = 10;
    TColor color_ = clBtnFace;
    TColor iconBackColor_ = clBtnFace;
    TColor menuBarColor_ = clBtnFace;
    TColor selectColor_ = clHighlight;
    TColor selectBorderColor_ = clHighlight;
    TColor selectFontColor_ = clMenuText;
    TColor disabledColor_ = clInactiveCaption;
    TColor separatorColor_ = clBtnFace;
    TColor checkedColor_ = clHighlight;
    TXPContainers xpContainers_;
    TXPControls xpControls_;
    bool trueXPStyle_ = true;
    int btnRoundArc_ = 5;
    ButtonColors btn_{};
    std::set<TControlSubClass*> subclasses_;
};
