// Docks, toolbars and tool windows: a dock along one side of a form holds
// tool windows in rows; a tool window is dragged by its handle along its
// row, into another row or dock, or out of the docks to float in a small
// window of its own, whose close box hides it.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "Controls.h"
#include "DragOutline.h"
#include "Forms.h"
#include "report/toolkit/RM_TB97Ctls.h"

class TCustomToolWindow97;
class TDock97;

using TDockableTo = TSet<TDockPosition>;
// How a tool window lies: not docked, along a top or bottom dock, down a
// left or right one.
enum TBarDockType { bdNone, bdHorizontal, bdVertical };
TBarDockType DockTypeOf(const TDock97* dock);

// The sides of a dock that carry a one-pixel etched bound line.
enum TDockBoundLinesValues { blTop, blBottom, blLeft, blRight };
using TDockBoundLines = TSet<TDockBoundLinesValues>;

class TDock97 : public TCustomControl {
public:
    TDock97(TComponent* owner, TDockPosition position = dpTop);
    ~TDock97() override;
    std::string ClassName() const override { return "TDock97"; }
    std::string Version() const { return Toolbar97VersionText; }

    TDockPosition Position() const { return position_; }
    // Refused while the dock holds controls.
    void SetPosition(TDockPosition p);
    bool Vertical() const { return position_ == dpLeft || position_ == dpRight; }
    void SetParent(TWinControl* p) override;
    // An empty dock keeps a thickness of 1 instead of 0.
    bool FixAlign = false;
    bool AllowDrag = true;
    // Every tool window goes onto row 0 at the next arrangement.
    bool LimitToOneRow = false;
    // A tool window started (true) or stopped being shown on the dock.
    std::function<void(TObject* sender, bool inserting, TCustomToolWindow97* bar)> OnInsertRemoveBar;
    // Asked during a drag before the dock is taken as the target.
    std::function<void(TObject* sender, TCustomToolWindow97* bar, bool& accept)> OnRequestDock;

    // Every tool window of the dock, docked on it or having it as last dock,
    // in row order, then position order.
    std::vector<TCustomToolWindow97*> ToolWindows() const;
    // The tool windows shown on the dock now.
    int VisibleBarCount() const { return int(shown_.size()); }
    TCustomToolWindow97* VisibleBars(int i) const { return shown_[size_t(i)]; }
    int RowCount() const { return LastRowIndex() + 1; }
    int LastRowIndex() const;
    // Lays the rows out and sizes the dock to them. With clip the fitted
    // positions are stored, so a bar pushed back by a narrow dock stays
    // there; without, the bars return to their places when the dock grows.
    void ArrangeBars(bool clip = false);
    void LockArrange() { ++lock_; }
    void UnlockArrange();
    // The row an offset across the dock falls into; insertBefore says that
    // the offset lies within five pixels of a row band's edge, where a new
    // row opens.
    int RowAtOffset(int offset, bool& insertBefore) const;
    int RowContaining(int offset) const;
    void OpenRowAt(int row);
    int CountBarsInRow(int row, const TCustomToolWindow97* except) const;
    // Thickness of a row's bars, without their frames (0 for a row of none).
    int RowThickness(int row) const;
    bool Shows(const TCustomToolWindow97* bar) const {
        return std::find(shown_.begin(), shown_.end(), bar) != shown_.end();
    }

    // A bitmap tiled over the dock and, with BackgroundOnToolbars, over the
    // tool windows docked on it; the tiles line up from the client origin of
    // the dock's parent, so neighbouring docks and bars make one picture.
    TBitmap* Background() { return &background_; }
    void SetBackground(TBitmap* b) { background_.Assign(b); }
    bool HasBackground() const { return !background_.Empty(); }
    bool BackgroundOnToolbars() const { return onToolbars_; }
    void SetBackgroundOnToolbars(bool v);
    // The background's bottom-left colour shows the dock's Color instead.
    bool BackgroundTransparent() const { return transparent_; }
    void SetBackgroundTransparent(bool v);
    // Tiles the background over rect of canvas (whose origin is control's
    // top-left), the tiles starting from the dock parent's client origin.
    void TileBackground(TCanvas* c, const TRect& rect, const TControl* control);
    // Repaints the dock and the tool windows that show its background.
    void RepaintBackgrounds();
    // Etched lines along the chosen sides, drawn while the dock shows bars;
    // each takes a pixel off the room of the rows.
    TDockBoundLines BoundLines() const { return boundLines_; }
    void SetBoundLines(TDockBoundLines v);

protected:
    void Paint() override;
    void Resize() override;
    void ColorChanged() override;

private:
    friend class TCustomToolWindow97;
    TDockPosition position_;
    TBitmap background_;
    // The background with its transparent colour in the dock's Color, made
    // when first painted.
    std::unique_ptr<TBitmap> transparentCache_;
    bool onToolbars_ = true, transparent_ = false;
    TDockBoundLines boundLines_;
    // Bound lines across (top, bottom) and along (left, right) the dock.
    int ncWidth() const;
    int ncHeight() const;
    int rowOrigin() const;
    void backgroundChanged();
    int lock_ = 0;
    bool arranging_ = false, arrangeNeeded_ = false, clipPending_ = false;
    std::vector<TCustomToolWindow97*> members_, shown_;
    std::vector<int> rowThickness_;
    void compactRows();
    void measureRows();
    void setMembership(bool insert, TCustomToolWindow97* bar);
    void updateBarShown(TCustomToolWindow97* bar, bool forceRemoval = false);
};

enum TDragHandleStyle { dhDouble, dhNone, dhSingle };

// The raised frame and small caption of a floating tool window: the
// caption drags the window and a double click on it docks it back; its
// close button hides the window.
class TToolWindowFloatingFrame : public TCustomControl {
public:
    TToolWindowFloatingFrame(TComponent* owner, TCustomToolWindow97* tw);
    std::string ClassName() const override { return "TToolWindowFloatingFrame"; }
    // Window coordinates of the caption (without the close button) and of
    // the close button; empty when not shown.
    TRect CaptionRect() const;
    TRect CloseButtonRect() const;
    // The sizing edge under a frame point (0 left, 1 right, 2 top, 3
    // top-left, 4 top-right, 5 bottom, 6 bottom-left, 7 bottom-right), -1
    // off the sizing zones or when the window is not resizable.
    int SizingEdgeAt(int x, int y) const;

protected:
    void Paint() override;
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
    void MouseMove(TShiftState s, int x, int y) override;
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;

private:
    TCustomToolWindow97* tw_;
    bool closeDown_ = false, closePressed_ = false;
};

// The host a floating tool window sits in, inside its frame.
class TToolWindowFloatingForm : public TForm {
public:
    TToolWindowFloatingForm(TComponent* owner, TCustomToolWindow97* tw);
    std::string ClassName() const override { return "TToolWindowFloatingForm"; }
    TCustomToolWindow97* ToolWindow;
    TToolWindowFloatingFrame* Frame;
};

// The height of a floating window's caption band.
constexpr int SmallCaptionHeight = 16;
// A caption cut to a width: "..." follows as many of its characters as fit,
// and always the first one.
std::string FitCaption(TCanvas* c, const std::string& caption, int width);

// The position of the dock the control's tool window is docked on, or
// DockPositionNone.
int DockPositionOfControl(const TControl* c);

enum TToolWindowDockMode { dmCanFloat, dmCannotFloat, dmCannotFloatOrChangeDocks };
// Floating, the window stays above its form (and goes with it when the form
// is hidden or minimised), or above every window.
enum TToolWindowFloatingMode { fmOnTopOfParentForm, fmOnTopOfAllForms };
enum TToolWindowOption { twoAlignChildren, twoEightWaySizing, twoClipCursorWhileSizing };
using TToolWindowOptions = TSet<TToolWindowOption>;

class TCustomToolWindow97 : public TCustomControl {
public:
    explicit TCustomToolWindow97(TComponent* owner);
    ~TCustomToolWindow97() override;
    std::string ClassName() const override { return "TCustomToolWindow97"; }
    std::string Version() const { return Toolbar97VersionText; }

    TDock97* DockedTo() const { return dock_; }
    // nullptr floats the window at FloatingLeft/Top.
    void SetDockedTo(TDock97* dock);
    // Only a dock or a form (which floats the window) may hold it.
    void SetParent(TWinControl* p) override;
    bool Docked() const { return dock_ != nullptr; }
    int DockRow() const { return row_; }
    void SetDockRow(int r);
    int DockPos() const { return pos_; }
    void SetDockPos(int p);
    TPoint FloatingPosition() const { return floatPos_; }
    void SetFloatingPosition(TPoint p);
    TToolWindowFloatingForm* FloatingForm() const { return floating_; }
    // The dock a floating window returns to; while UseLastDock holds the
    // window stays one of its members, keeping its row and position.
    TDock97* LastDock() const { return lastDock_; }
    void SetLastDock(TDock97* d);
    bool UseLastDock() const { return useLastDock_; }
    void SetUseLastDock(bool v);
    // Where a double click docks a floating window that has no last dock.
    TDock97* DefaultDock = nullptr;
    TToolWindowDockMode DockMode = dmCanFloat;
    TDockableTo DockableTo{dpTop, dpBottom, dpLeft, dpRight};

    bool CloseButton = true;
    TToolWindowFloatingMode FloatingMode() const { return floatingMode_; }
    void SetFloatingMode(TToolWindowFloatingMode v);
    // A floating window hides while another program has the keyboard;
    // otherwise its caption turns inactive.
    bool HideWhenInactive() const { return hideWhenInactive_; }
    void SetHideWhenInactive(bool v);
    // A click on the floating window brings its form forward (the window
    // itself never takes the activation).
    bool ActivateParent = true;
    // Whether the floating window should show now: shown, and its form (for
    // fmOnTopOfParentForm) shown and not minimised, and, with
    // HideWhenInactive, the application active.
    bool ShouldBeShown() const;
    // Shows or hides the floating window to match ShouldBeShown.
    void RefreshVisibility();
    // Whether the floating caption paints as inactive.
    bool CaptionInactive() const { return captionInactive_; }
    // Moves a floating window back onto the work area: only when no part of
    // it is on it, or whenever it sticks out.
    void KeepOnScreen(bool onlyWhenFullyOffScreen = true);
    // The form a floating window belongs to.
    TCustomForm* ParentForm() const;
    // A close button in the docked drag handle.
    bool CloseButtonWhenDocked() const { return closeWhenDocked_; }
    void SetCloseButtonWhenDocked(bool v);
    TDragHandleStyle DragHandleStyle = dhDouble;
    bool FullSize = false;
    bool Resizable = true;
    // Floating, the window shows its caption band.
    bool ShowCaption = true;
    // The frame round a floating window: its border on every side and the
    // caption band on top.
    int FloatingBorderSize() const { return Resizable ? 4 : 3; }
    TSize AddFloatingFrame(TSize client) const;
    // The band at the start of a docked window that it is dragged by: none
    // on a dock that allows no dragging, and always room for the close
    // button when it has one.
    int DragHandleSize() const;
    // Where the docked close button is (window coordinates); empty without.
    TRect DockedCloseButtonRect() const;
    // Hides the window as its close button does, unless OnCloseQuery
    // refuses.
    bool CloseWindow();

    void SetVisible(bool v) override;
    void SetText(const std::string& v) override;
    // Layout changes between Lock and Unlock are applied once, at the end.
    void LockLayout() { ++lock_; }
    void UnlockLayout();
    void ArrangeControls();

    TCloseQueryEvent OnCloseQuery;
    TNotifyEvent OnClose;
    TNotifyEvent OnDockChanging;
    // Before a change of parent, with the dock it goes to (nullptr floats).
    std::function<void(TObject* sender, TDock97* dockingTo)> OnDockChangingEx;
    TNotifyEvent OnDockChanged;
    TNotifyEvent OnVisibleChanged;
    TNotifyEvent OnMove;
    // Called when a size drag starts (edge 0 left, 1 right, 2 top, 3
    // top-left, 4 top-right, 5 bottom, 6 bottom-left, 7 bottom-right) and
    // ends (accepted or not); SizingAdjust may change each new rectangle
    // (screen coordinates of the whole floating window) the drag proposes.
    virtual void SizingStarted(int) {}
    virtual void SizingEnded(bool) {}
    virtual void SizingAdjust(TRect&, const TRect&) {}
    virtual TToolWindowOptions GetToolWindowOptions() const {
        return {twoAlignChildren, twoEightWaySizing, twoClipCursorWhileSizing};
    }
    // The smallest size of the window inside the floating frame.
    virtual TSize GetMinimumClientSize() const { return {0, 0}; }

    // The move loop, also driven by tests: a press on the handle at a
    // client point, moves to screen points, and the release. The window
    // stays where it is until the release; an outline shows where it goes.
    void BeginMove(int x, int y);
    void MoveTo(TPoint screen);
    void EndMove(bool accept = true);
    bool Moving() const { return moving_; }
    // Where a release now would put the window (screen coordinates; empty
    // where it cannot go) and on which dock (nullptr: floating).
    TRect MoveRect() const { return moveRect_; }
    TDock97* MoveTarget() const { return target_; }
    // Ctrl held keeps the window from docking.
    void SetMoveCtrl(bool held);
    // The sizing loop of a floating window, also driven by tests: a press
    // on a frame edge at a screen point, moves, and the release.
    void BeginSizing(int edge, TPoint screen);
    void SizeTo(TPoint screen);
    void EndSizing(bool accept = true);
    bool Sizing() const { return sizeEdge_ >= 0; }
    // The rectangle a release now would give the floating window.
    TRect SizingRect() const { return sizeNew_; }
    // The whole window on the screen: the floating frame, or the docked bar.
    TRect WindowRect() const;
    // The drag's outline on the screen.
    const TDragOutline& Outline() const { return outline_; }

    // Whether a press on this child still drags the window.
    virtual bool DragThroughChild(TControl*) const { return false; }

protected:
    // Places the child controls for the dock's direction and returns the
    // size the window needs (client area, handle and border included).
    virtual TSize OrderControls(bool vertical);
    // The size OrderControls would give on dock d (nullptr: floating),
    // without moving a control.
    TSize Measure(const TDock97* d);
    bool Measuring() const { return measuring_; }
    // A size drag set the window (inside the floating frame) to w by h.
    virtual void BoundsSizeChanging(int, int) {}
    // The pointer's screen position in the size drag running.
    TPoint SizingCursor() const { return sizeLast_; }
    int SizingEdge() const { return sizeEdge_; }
    void Paint() override;
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
    void MouseMove(TShiftState s, int x, int y) override;
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;
    void AlignControls(TRect& r) override;
    bool vertical() const { return dock_ && dock_->Vertical(); }
    int border() const { return dock_ ? 2 : 1; }

private:
    friend class TDock97;
    friend class TToolWindowFloatingForm;
    friend class TToolWindowFloatingFrame;
    TDock97* dock_ = nullptr;
    TDock97* lastDock_ = nullptr;
    bool useLastDock_ = true, closeWhenDocked_ = false, closeDown_ = false;
    int row_ = 0, pos_ = -1, lock_ = 0;
    TPoint floatPos_{100, 100};
    TToolWindowFloatingForm* floating_ = nullptr;
    bool moving_ = false, arranging_ = false;
    bool measuring_ = false;
    TToolWindowFloatingMode floatingMode_ = fmOnTopOfParentForm;
    bool hideWhenInactive_ = true, captionInactive_ = false;
    TDragOutline outline_;
    // The move loop: the grab point in window coordinates, the window's
    // extent less one, the docks it may go to with the size it would have
    // on each, its floating size, Ctrl, the control that holds the mouse.
    TPoint grab_, extent_, lastCursor_;
    std::vector<std::pair<TDock97*, TSize>> targets_;
    TSize floatSize_;
    bool ctrl_ = false;
    TControl* moveSource_ = nullptr;
    TCursor savedCursor_ = 0;
    TRect moveRect_;
    TDock97* target_ = nullptr;
    // The size loop.
    int sizeEdge_ = -1;
    TRect sizeStart_, sizeNew_;
    TPoint sizeFrom_, sizeLast_;
    TSize sizeMin_, nonClient_;
    void trackMove(TPoint p);
    bool canDockAt(TDock97* d, TSize s, TPoint p) const;
    TRect rectAt(TPoint p, TSize s) const;
    void finishMove();
    void trackSize(TPoint p);
    void applyFloatingMode();
    void activateParent();
    void float_();
    void placeFloating(TSize s);
    void attach(TDock97* d);
    void doubleClicked();
    TControl* childAt(int x, int y) const;
    std::vector<TDock97*> dockTargets() const;
    TSize sizeOn(const TDock97* d);
};

// A toolbar: its controls in one line along the dock (or down a vertical
// dock), after the drag handle.
class TToolbar97 : public TCustomToolWindow97 {
    struct LineSep {
        int y;
        bool blank;
    };
    // The etched lines between the wrapped rows of a floating toolbar.
    std::vector<LineSep> lineSeps_;

public:
    explicit TToolbar97(TComponent* owner);
    std::string ClassName() const override { return "TToolbar97"; }
    // Width in client pixels at which a floating toolbar wraps its groups
    // into further rows; 0 keeps it on one row.
    int FloatingRightX = 0;

    // The bar is dragged by its separators too.
    bool DragThroughChild(TControl* c) const override;
    TToolWindowOptions GetToolWindowOptions() const override { return {}; }
    // The sizes (inside the floating frame) the floating toolbar takes when
    // it wraps at each possible width, widest (one row) first.
    std::vector<TSize> CollectFloatingSizes();
    void SizingStarted(int edge) override;
    void SizingEnded(bool accepted) override;
    // Snaps the dragged edge to the nearest size the toolbar can take.
    void SizingAdjust(TRect& r, const TRect& start) override;

protected:
    TSize OrderControls(bool vertical) override;
    void Paint() override;

private:
    // While a size drag runs: the sizes with their frames, sorted along the
    // dragged dimension, largest first; the wrap limit a release applies;
    // the snap distance; the direction last dragged.
    struct SizingData {
        int edge = 0;
        std::vector<TSize> steps;
        int newRightX = 0, snap = 12;
        bool changed = false, shrinking = false;
    };
    std::unique_ptr<SizingData> sizing_;
};

// A gap with an etched line between a toolbar's groups of controls.
class TToolbarSep97 : public TGraphicControl {
public:
    explicit TToolbarSep97(TComponent* owner);
    std::string ClassName() const override { return "TToolbarSep97"; }
    // Only a toolbar holds separators.
    void SetParent(TWinControl* p) override;
    int SizeHorz = 6, SizeVert = 6;
    bool Blank = false;

protected:
    void Paint() override;
};

// A tool window with a client area its controls align in.
class TToolWindow97 : public TCustomToolWindow97 {
public:
    explicit TToolWindow97(TComponent* owner);
    std::string ClassName() const override { return "TToolWindow97"; }
    int MinClientWidth = 32, MinClientHeight = 32;
    int ClientAreaWidth = 150, ClientAreaHeight = 150;
    TSize GetMinimumClientSize() const override;

protected:
    TSize OrderControls(bool vertical) override;
    void BoundsSizeChanging(int w, int h) override;
};
