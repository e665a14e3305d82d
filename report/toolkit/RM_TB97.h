// Docks, toolbars and tool windows: a dock along one side of a form holds
// tool windows in rows; a tool window is dragged by its handle along its
// row, into another row or dock, or out of the docks to float in a small
// window of its own, whose close box hides it.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "Controls.h"
#include "Forms.h"
#include "report/toolkit/RM_TB97Ctls.h"

class TCustomToolWindow97;

enum TDockPosition { dpTop, dpBottom, dpLeft, dpRight };

class TDock97 : public TCustomControl {
public:
    TDock97(TComponent* owner, TDockPosition position = dpTop);
    std::string ClassName() const override { return "TDock97"; }
    std::string Version() const { return Toolbar97VersionText; }

    TDockPosition Position() const { return position_; }
    void SetPosition(TDockPosition p);
    bool Vertical() const { return position_ == dpLeft || position_ == dpRight; }
    // Keep the align that goes with the position whatever else sets it.
    bool FixAlign = false;
    bool AllowDrag = true;
    bool LimitToOneRow = false;

    // The docked tool windows in row order, then position order.
    std::vector<TCustomToolWindow97*> ToolWindows() const;
    int RowCount() const;
    // Lays the rows out and sizes the dock to them (0 across when empty).
    void ArrangeToolbars();
    void BeginUpdate() { ++updating_; }
    void EndUpdate();
    // The row a point (dock client coordinates) falls into; RowCount() when
    // it lies past the last row.
    int RowAt(int across) const;

protected:
    void Paint() override;
    void Resize() override;

private:
    friend class TCustomToolWindow97;
    TDockPosition position_;
    int updating_ = 0;
    bool arranging_ = false;
    std::vector<TCustomToolWindow97*> docked_;
};

enum TDragHandleStyle { dhDouble, dhNone, dhSingle };

// The host a floating tool window sits in.
class TToolWindowFloatingForm : public TForm {
public:
    TToolWindowFloatingForm(TComponent* owner, TCustomToolWindow97* tw);
    std::string ClassName() const override { return "TToolWindowFloatingForm"; }
    TCustomToolWindow97* ToolWindow;
};

class TCustomToolWindow97 : public TCustomControl {
public:
    explicit TCustomToolWindow97(TComponent* owner);
    ~TCustomToolWindow97() override;
    std::string ClassName() const override { return "TCustomToolWindow97"; }
    std::string Version() const { return Toolbar97VersionText; }

    TDock97* DockedTo() const { return dock_; }
    // nullptr floats the window at FloatingLeft/Top.
    void SetDockedTo(TDock97* dock);
    bool Docked() const { return dock_ != nullptr; }
    int DockRow() const { return row_; }
    void SetDockRow(int r);
    int DockPos() const { return pos_; }
    void SetDockPos(int p);
    TPoint FloatingPosition() const { return floatPos_; }
    void SetFloatingPosition(TPoint p);
    TToolWindowFloatingForm* FloatingForm() const { return floating_; }

    bool CloseButton = true;
    TDragHandleStyle DragHandleStyle = dhDouble;
    bool FullSize = false;
    bool Resizable = true;
    int DragHandleSize() const;

    void SetVisible(bool v) override;
    void SetText(const std::string& v) override;
    // Layout changes between Lock and Unlock are applied once, at the end.
    void LockLayout() { ++lock_; }
    void UnlockLayout();
    void ArrangeControls();

    TNotifyEvent OnClose;
    TNotifyEvent OnDockChanged;
    TNotifyEvent OnVisibleChanged;
    TNotifyEvent OnMove;
    // Called when a size drag starts (edge 0 left, 1 right, 2 top, 5
    // bottom) and ends (accepted or not).
    virtual void SizingStarted(int) {}
    virtual void SizingEnded(bool) {}

    // The move loop, also driven by tests: a press on the handle at a
    // client point, moves to screen points, and the release.
    void BeginMove(int x, int y);
    void MoveTo(TPoint screen);
    void EndMove(bool accept = true);
    bool Moving() const { return moving_; }

protected:
    // Places the child controls for the dock's direction and returns the
    // size the window needs (client area, handle and border included).
    virtual TSize OrderControls(bool vertical);
    void Paint() override;
    void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
    void MouseMove(TShiftState s, int x, int y) override;
    void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;
    void KeyDown(Word& key, TShiftState s) override;
    void AlignControls(TRect& r) override;
    bool vertical() const { return dock_ && dock_->Vertical(); }
    int border() const { return dock_ ? 2 : 1; }

private:
    friend class TDock97;
    friend class TToolWindowFloatingForm;
    TDock97* dock_ = nullptr;
    int row_ = 0, pos_ = 0, lock_ = 0;
    TPoint floatPos_{100, 100};
    TToolWindowFloatingForm* floating_ = nullptr;
    bool moving_ = false, arranging_ = false;
    TPoint grab_;
    // Where the move started, for Esc.
    TDock97* startDock_ = nullptr;
    int startRow_ = 0, startPos_ = 0;
    TPoint startFloat_;
    void float_();
    void attach(TDock97* d);
    TDock97* dockAt(TPoint screen) const;
};

// A toolbar: its controls in one line along the dock (or down a vertical
// dock), after the drag handle.
class TToolbar97 : public TCustomToolWindow97 {
public:
    explicit TToolbar97(TComponent* owner);
    std::string ClassName() const override { return "TToolbar97"; }

protected:
    TSize OrderControls(bool vertical) override;
};

// A gap with an etched line between a toolbar's groups of controls.
class TToolbarSep97 : public TGraphicControl {
public:
    explicit TToolbarSep97(TComponent* owner);
    std::string ClassName() const override { return "TToolbarSep97"; }
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

protected:
    TSize OrderControls(bool vertical) override;
};
