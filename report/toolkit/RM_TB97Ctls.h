// The toolbar kit's controls: the glyph holder that draws a button's face
// content, the flat speed button with hot tracking, radio groups, repeat
// and drop-down menus, the flat edit, and the hook service that lets the
// kit's controls hear about mouse moves and the application's activation.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Buttons.h"
#include "Controls.h"
#include "ActnList.h"
#include "DialogKeys.h"
#include "ExtCtrls.h"
#include "Graphics.h"
#include "ImgList.h"
#include "Menus.h"
#include "StdCtrls.h"

// Read-only version text every kit control publishes.
extern const char* const Toolbar97VersionText;

// ------------------------------------------------------------ hook service

enum THookProcKind { hkActivateApp, hkMouseMove, hkWindowPosChanged };
using THookCallback = std::function<void(THookProcKind kind, intptr_t wParam)>;

// Registers a callback for the kinds given. The same id registered twice
// needs two unregistrations; while designing nothing is installed.
void RegisterHookCallback(const void* id, THookCallback proc, std::vector<THookProcKind> kinds, bool designing = false);
void UnregisterHookCallback(const void* id);
// Whether any registration needs the hook of that kind.
bool HookInstalled(THookProcKind kind);
// Delivers one event to every callback registered for its kind; one that
// throws does not keep the others from hearing it.
void RMHookDispatch(THookProcKind kind, intptr_t wParam = 0);
// Whether the application has the focus (read by the hot tracking).
bool IsApplicationActive();

// The edge a dock lies along.
enum TDockPosition { dpTop, dpBottom, dpLeft, dpRight };
// Answers the position of the dock a control stands on (through its tool
// window), 4 when it stands on none; empty until the first tool window is
// made. Buttons ask it where to open their drop-down menus.
constexpr int DockPositionNone = 4;
extern std::function<int(const TControl*)> DockPositionQuery;

// ------------------------------------------------------------ glyphs

enum TToolbarButtonState { tbsUp, tbsDisabled, tbsPressed, tbsLatched, tbsHot };
enum TButtonDisplayMode { dmBoth, dmGlyphOnly, dmTextOnly };

// A glyph strip of up to five cells (up, disabled, pressed, latched, hot),
// or an image of an image list. Missing cells fall back to the up cell; a
// missing disabled cell is made by embossing the up cell.
class TButtonGlyph {
public:
    TButtonGlyph();
    TBitmap* Glyph() { return &glyph_; }
    TBitmap* GlyphMask() { return &mask_; }
    int NumGlyphs = 1;
    TImageList* Images = nullptr;
    int ImageIndex = -1;
    bool OldDisabledStyle = false;
    std::function<void()> OnChange;
    void Changed();
    bool HasGlyph() const;
    TSize GlyphSize() const;
    // Draws glyph and caption into client (which the face border already
    // left), shifted by offset (1,1 while pressed). The drop-down arrow area
    // of width arrowWidth at the right is left out of the content.
    void Draw(TCanvas* c, const TRect& client, TPoint offset, const std::string& caption, TButtonLayout layout,
              int margin, int spacing, TToolbarButtonState state, TAlignment align, TButtonDisplayMode mode,
              bool wordWrap, TColor faceColor);
    // The cell image for a state, made on first use; nullptr without glyph.
    TBitmap* Cell(TToolbarButtonState state);

private:
    TBitmap glyph_, mask_;
    std::vector<std::unique_ptr<TBitmap>> cells_;
    void drawGlyph(TCanvas* c, int x, int y, TToolbarButtonState state);
};

// ------------------------------------------------------------ button

class TToolbarButton97 : public TGraphicControl {
public:
    explicit TToolbarButton97(TComponent* owner);
    ~TToolbarButton97() override;
    std::string ClassName() const override { return "TToolbarButton97"; }
    std::string Version() const { return Toolbar97VersionText; }

    bool AllowAllUp = false;
    int GroupIndex = 0;
    bool DropdownAlways = false;
    bool DropdownArrow = true;
    int DropdownArrowWidth() const { return arrowWidth_; }
    void SetDropdownArrowWidth(int v);
    // A split button: the right part (arrow width + 2) opens the menu, the
    // rest clicks. Switching it on widens the button by that part.
    bool DropdownCombo() const { return combo_; }
    void SetDropdownCombo(bool v);
    TPopupMenu* DropdownMenu = nullptr;
    bool Flat = true;
    bool HighlightWhenDown = true;
    TButtonLayout Layout = blGlyphLeft;
    int Margin() const { return margin_; }
    void SetMargin(int v); // values below -1 are ignored
    TModalResult ModalResult = 0;
    bool NoBorder = false;
    bool Opaque = true;
    bool Repeating = false;
    int RepeatDelay = 400;
    int RepeatInterval = 100;
    bool ShowBorderWhenInactive = false;
    int Spacing = 4;
    bool WordWrap = false;
    TAlignment Alignment = taCenter;
    TButtonDisplayMode DisplayMode = dmBoth;
    // Esc (Cancel) or Enter (Default) anywhere on the form clicks the
    // button, as Alt with its caption's accelerator does.
    bool Cancel = false;
    bool Default = false;

    // The linked action gives the button its caption, enabled and visible
    // state, Down (from Checked), hint and image, and a click executes it.
    TAction* Action() const { return action_; }
    void SetAction(TAction* a);

    TButtonGlyph& GlyphHolder() { return glyph_; }
    TBitmap* Glyph() { return glyph_.Glyph(); }
    void SetGlyph(TBitmap* b);
    int NumGlyphs() const { return glyph_.NumGlyphs; }
    void SetNumGlyphs(int n);
    void SetImages(TImageList* images, int index);

    bool Down() const { return down_; }
    void SetDown(bool v);
    TToolbarButtonState State() const { return state_; }
    bool UsesDropdown() const { return DropdownAlways || DropdownMenu; }
    bool PointInFace(int x, int y) const;

    // Before the menu drops down: may cancel it and keep the clicks.
    std::function<void(TObject* sender, bool& showMenu, bool& removeClicks)> OnDropdown;
    TNotifyEvent OnMouseExit;

    void Click() override;
    void Redraw(bool erase = true);
    void EnterHot();
    void LeaveHot();
    // The hot button of the process, nullptr when none.
    static TToolbarButton97* HotButton();
    // The process's hot timer: while a button is hot it checks every 125 ms
    // that the cursor is still on it. nullptr while no button lives.
    static TTimer* HotTimer();
    void HotTimerTick();

protected:
    void Paint() override;
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
    void MouseMove(TShiftState s, int x, int y) override;
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void DblClick() override;
    void EnabledChanged() override;

private:
    TButtonGlyph glyph_;
    TToolbarButtonState state_ = tbsUp;
    bool down_ = false, inClick_ = false, mouseIn_ = false, mouseDown_ = false, menuDown_ = false;
    // The window layer clicks a control on a left release inside it (not
    // after a double click); the button raises its own clicks instead.
    bool swallowClick_ = false, afterDouble_ = false, combo_ = false;
    int arrowWidth_ = 9, margin_ = -1;
    TAction* action_ = nullptr;
    void actionChanged();
    void fireClick();
    void showDropdownMenu();
    struct DialogKeys : TDialogKeyHandler {
        TToolbarButton97* b;
        explicit DialogKeys(TToolbarButton97* b) : b(b) {}
        bool DialogKey(Word key, TShiftState shift) override;
        bool DialogChar(char32_t ch) override;
    } dialogKeys_{this};
    std::unique_ptr<TTimer> repeat_;
    void repeatTick();
    void releaseGroupSiblings();
    void stopHotTracking();
    void becomeHot();
    void drawFace(TCanvas* c, const TRect& r, bool pressedLook);
};

// Three-state dither used for latched buttons: pixels whose x and y have
// the same parity are the highlight colour, the rest the face colour.
TBitmap* ToolbarDitherPattern();

// ------------------------------------------------------------ flat edit

// A single-line edit with a sunken border only while it has the focus or
// the mouse is over it.
class TEdit97 : public TEdit {
public:
    explicit TEdit97(TComponent* owner);
    ~TEdit97() override;
    // The height the font needs: its cell height and 6 for the border.
    void FitHeightToFont();
    std::string ClassName() const override { return "TEdit97"; }
    std::string Version() const { return Toolbar97VersionText; }
    bool BorderShown() const { return BorderStyle() != bsNone; }

protected:
    void MouseEnter() override;
    void MouseLeave() override;
    void DoEnter() override;
    void DoExit() override;
    void EnabledChanged() override;
    void FontChanged() override;

private:
    bool mouseIn_ = false;
    void drawBorder();
};

// The classes of flat edits: while one of them has the focus, the others do
// not light their border under the mouse. A class counts for its
// descendants too. TEdit97 is registered while any TEdit97 lives.
using TFlatEditTest = bool (*)(const TControl*);
void RegisterFlatEditClass(TFlatEditTest isInstance);
void UnregisterFlatEditClass(TFlatEditTest isInstance);
bool IsFlatEditClass(const TControl* c);
