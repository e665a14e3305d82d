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

// Images of one size, shared by the glyphs of every button of the process:
// a released slot is only marked free and is overwritten when reserved
// again.
class TGlyphList {
public:
    TGlyphList(int width, int height) : width_(width), height_(height) {}
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Live images; a list without any may be freed by the cache.
    int Count() const { return count_; }
    // Slots made so far, live or free.
    int SlotCount() const { return int(images_.size()); }
    // The first free slot, made when none is free; marked used.
    int ReserveIndex();
    // mask: white marks transparent pixels. Throws EInvalidOperation
    // "Invalid image size" for an image smaller than the list's.
    int AddImage(TBitmap* image, TBitmap* mask);
    // Pixels of maskColor are transparent; clDefault is the image's
    // bottom-left pixel.
    int AddImageMasked(TBitmap* image, TColor maskColor);
    void ReleaseIndex(int index);
    void Draw(TCanvas* c, int x, int y, int index) const;
    // A pixel of a slot's image, clNone where it is transparent.
    TColor Pixel(int index, int x, int y) const;

private:
    int width_, height_, count_ = 0;
    std::vector<bool> used_;
    std::vector<std::unique_ptr<TBitmap>> images_;
    void replace(int index, TBitmap* image, const std::vector<bool>& transparent);
};

// One list per image size, for the whole process.
class TGlyphCache {
public:
    // The list of that size, made when there is none.
    TGlyphList* ListForSize(int width, int height);
    // Frees a list that holds no live image (nothing for nullptr or a used
    // list).
    void ReleaseList(TGlyphList* list);
    bool IsEmpty() const { return lists_.empty(); }
    int ListCount() const { return int(lists_.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> lists_;
};
// The process's cache: made by the first glyph holder, freed when the last
// holder goes and no list is left; nullptr then.
TGlyphCache* GlyphCache();

// A button's picture: a glyph strip of up to five cells (up, disabled,
// pressed, latched, hot) with an optional mask strip, or an image of an
// image list. It builds one image per face state on first use into the
// shared lists; a missing cell falls back to the up cell, a missing
// disabled cell is embossed from the up cell. It also lays the button's
// content out and draws it.
class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TButtonGlyph(const TButtonGlyph&) = delete;
    TButtonGlyph& operator=(const TButtonGlyph&) = delete;

    TBitmap* Glyph() { return &glyph_; }
    TBitmap* GlyphMask() { return &mask_; }
    void SetGlyphBitmap(TBitmap* b);
    void SetMaskBitmap(TBitmap* b);
    int GlyphCount() const { return count_; }
    // 1 with an image list or outside 1..5.
    void SetGlyphCount(int n);
    // A strip that is 1 to 5 squares wide has that many cells; any other
    // has one.
    void DeriveGlyphCount();
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* list);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    bool OldDisabledStyle() const { return oldStyle_; }
    void SetOldDisabledStyle(bool v);
    // The glyph's bottom-left colour, or clNone without a glyph.
    TColor TransparentColor() const { return transparent_; }
    std::function<void()> OnChange;

    // A source changed: the built images go and the button repaints.
    void SourceChanged(bool glyphChanged = false);
    void ReleaseStateImages();
    // The list and slot of a state's image, built on first use; -1 when
    // there is nothing to draw.
    int GetStateImage(TToolbarButtonState state, TGlyphList*& list);
    void DrawGlyphImage(TCanvas* c, TPoint pos, TToolbarButtonState state);

    struct Layout {
        TPoint glyph, arrow;
        TRect caption;
    };
    // Margin and spacing -1 are automatic.
    Layout CalcLayout(TCanvas* c, const TRect& client, TPoint offset, bool showGlyph, bool showText,
                      const std::string& caption, bool wordWrap, TButtonLayout layout, int margin, int spacing,
                      bool dropdownArrow, int arrowWidth) const;
    void DrawContent(TCanvas* c, const TRect& client, TPoint offset, TToolbarButtonState state, bool showGlyph,
                     bool showText, const std::string& caption, bool wordWrap, TAlignment alignment,
                     TButtonLayout layout, int margin, int spacing, bool dropdownArrow, int arrowWidth);
    static void DrawCaptionText(TCanvas* c, const std::string& caption, TRect r, bool wordWrap, TAlignment alignment,
                                TToolbarButtonState state);
    static void DrawDropdownArrow(TCanvas* c, int x, int y, int width, TToolbarButtonState state);

private:
    TBitmap glyph_, mask_;
    TImageList* images_ = nullptr;
    int imageIndex_ = -1, count_ = 1;
    bool oldStyle_ = false;
    TColor transparent_ = clNone;
    // [0] holds the disabled image, [1] the others.
    TGlyphList* lists_[2] = {nullptr, nullptr};
    int slots_[2][5] = {{-1, -1, -1, -1, -1}, {-1, -1, -1, -1, -1}};
    TSize cellSize() const;
    int buildImage(TToolbarButtonState state, TGlyphList* list);
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
    TBitmap* GlyphMask() { return glyph_.GlyphMask(); }
    void SetGlyphMask(TBitmap* b);
    int NumGlyphs() const { return glyph_.GlyphCount(); }
    // 0 is taken as 1, more than 5 as 5.
    void SetNumGlyphs(int n);
    void SetImages(TImageList* images, int index);
    bool OldDisabledStyle() const { return glyph_.OldDisabledStyle(); }
    void SetOldDisabledStyle(bool v) { glyph_.SetOldDisabledStyle(v); }

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
