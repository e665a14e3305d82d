// The class library's grid base: an owner-drawn table of cells painted on
// the control's TCanvas (never a Qt item view), with fixed rows and columns,
// per-cell-line extents, scrolling by whole cells, selection, mouse sizing
// and moving, and a host for one in-place editor. It holds no data itself:
// TDrawGrid hands every cell to OnDrawCell, TStringGrid keeps strings, and
// the data grid (DBGrids.h) reads a data set through a data link.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "Controls.h"
#include "Graphics.h"
#include "System.h"

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TSet<TGridOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

// A cell address: X is the column, Y the row.
struct TGridCoord {
    int X = 0;
    int Y = 0;
    friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// A block of cells, all bounds inclusive.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

// Index and size faults of a grid: "Grid index out of range", "Fixed column
// count must be less than column count", ...
class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
};

// How one axis (columns across, rows down) lies in the client area right
// now. Boundaries are pixels from the client edge; a cell occupies its
// extent plus EffectiveLineWidth (an extent of -1 swallows the line too).
struct TGridAxisDrawInfo {
    int EffectiveLineWidth = 0;
    int FixedBoundary = 0;       // end of the fixed cells
    int GridBoundary = 0;        // end of the last visible cell, or GridExtent
    int GridExtent = 0;          // client width or height
    int LastFullVisibleCell = 0; // last scrolling cell wholly inside
    int FullVisBoundary = 0;     // end of that cell
    int FixedCellCount = 0;
    int FirstGridCell = 0; // LeftCol or TopRow
    int GridCellCount = 0; // ColCount or RowCount
    std::function<int(int)> GetExtent;
};

struct TGridDrawInfo {
    TGridAxisDrawInfo Horz;
    TGridAxisDrawInfo Vert;
};

class TCustomGrid;
struct TInplaceEditPrivate;

// What the editor offers besides typing: nothing, a "..." button that runs
// the grid's EditButtonClick (also Ctrl+Enter), a drop-down list of values
// (its button, or Alt+Down), or a drop-down arrow whose press (or Alt+Down)
// runs EditButtonClick, for a grid that drops a window of its own.
enum TEditStyle { esSimple, esEllipsis, esPickList, esDropDown };

// The one-line editor a grid shows over its current cell. The grid creates
// it (CreateEditor), loads it from GetEditText/GetEditMask/GetEditLimit and
// stores its text back through SetEditText on every change and when it
// hides. Navigation keys (Up, Down, PgUp, PgDn, Tab, Esc, and Left/Right at
// the text's edges with goAlwaysShowEditor) go to the grid.
class TInplaceEdit : public TWinControl {
public:
    explicit TInplaceEdit(TComponent* AOwner);
    ~TInplaceEdit() override;
    std::string ClassName() const override { return "TInplaceEdit"; }

    TCustomGrid* Grid() const;
    std::string GetText() const override;
    void SetText(const std::string& v) override;
    const std::string& EditMask() const;
    void SetEditMask(const std::string& v);
    // Characters; 0 means no limit, -1 (from GetEditLimit) a read-only cell.
    int MaxLength() const;
    void SetMaxLength(int v);
    void SelectAll();
    // Caret to the end of the text, nothing selected.
    void Deselect();
    // Places the editor over r (grid client coordinates) and shows it; an
    // empty r hides it.
    void Move(const TRect& r);
    // Hides without storing (the grid stores first).
    void HideEditor();
    // Reloads text, mask and limit of the grid's current cell.
    virtual void UpdateContents();
    // The selection in characters: where it starts (the caret when nothing
    // is selected) and how many characters it holds. SetSel selects Length
    // characters from Start and leaves the caret at Start, so what is typed
    // next goes after the caret and replaces the selected rest.
    int SelStart() const;
    int SelLength() const;
    void SetSel(int Start, int Length);
    // True when the selection starts at 0 and is empty or covers all text.
    bool CaretAtLeft() const;
    bool CaretAtRight() const;
    // Several lines with the words wrapped at the editor's width, for a
    // cell that shows its text wrapped (a masked cell stays one line). Off
    // by default; on or off, the text stays the same.
    bool WordWrap() const;
    void SetWordWrap(bool v);
    // Lines as the editor wraps them: how many, and the one (from 0) that
    // holds the caret or the selection's start.
    int LineCount() const;
    int CaretLine() const;

    TEditStyle EditStyle() const;
    // The button at the right edge (editor coordinates), left of the outer
    // buttons; empty for esSimple.
    TRect ButtonRect() const;
    // Pixels at the editor's right edge that a derived editor fills with
    // buttons of its own: the button and the text stay left of them.
    int OuterButtonsWidth() const;
    void SetOuterButtonsWidth(int px);
    // The button's width (16 unless set) and whether it shows pressed (a
    // derived editor holds it down while its drop-down is open).
    int ButtonWidth() const;
    void SetButtonWidth(int px);
    bool ButtonDown() const;
    void SetButtonDown(bool v);
    // The drop-down list of an esPickList editor. The focus stays in the
    // editor: Up/Down walk the list, Enter (or a click on an item) takes the
    // item, Esc drops the list and keeps the text.
    void DropDown();
    void CloseUp(bool Accept);
    bool ListVisible() const;
    const std::vector<std::string>& PickList() const;
    // The highlighted item of the open list, -1 when none.
    int ItemIndex() const;
    // Highlights item i of the open list (-1: none), as typing into the
    // list does.
    void SetItemIndex(int i);
    // The item the last accepted close-up took, -1 when none: a list whose
    // items stand for other values (a lookup's keys) maps it back.
    int ChosenIndex() const;
    // Rows the list shows at most (7 unless set).
    int DropDownRows() const;
    void SetDropDownRows(int v);
    // Items of h pixels (or a line of the editor's font where that is
    // taller) with a 2-pixel border round the list, so that it is rows x h
    // + 4 high; 0 (the default) gives every item a line of the editor's
    // font with a little air.
    int ListItemHeight() const;
    void SetListItemHeight(int h);
    // Where the open list is, in screen coordinates; empty when closed.
    TRect ListRect() const;

protected:
    friend class TCustomGrid;
    virtual void BoundsChanged() {}
    // Up or Down in a word-wrap editor: true keeps the key, which moves the
    // caret between lines; false hands it to the grid. The grid takes it
    // from the first line (Up), the last (Down), or when all is selected.
    virtual bool KeepsLineKey(Word Key) const;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void DblClick() override;
    void DoExit() override;
    bool WantReturns() const override { return true; }
    bool WantTabs() const override { return true; }

private:
    void textEdited();
    // Every paste goes through here, so that the grid may take it over.
    void pasteFromClipboard();
    void layoutButton();
    void buttonClicked();
    friend struct TInplaceEditPrivate;
    // The control's one private part, typed (Grids.cpp).
    TInplaceEditPrivate* ed() const;
};

struct TCustomGridPrivate;

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, std::string& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const std::string& Value)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;

// The grid base.
//
// Mouse states (FGridState), each entered by a left press and left by the
// release (or a cancel, e.g. losing the capture):
//
//                     press on a cell (no goEditing)
//            +-------------------------------------------> gsSelecting
//            |        press on a title line (goColSizing)     |
//            +-------------------------------------------> gsColSizing
//            |        press on a row line (goRowSizing)       |
//   gsNormal +-------------------------------------------> gsRowSizing
//       ^    |        press on a fixed-row cell (goColMoving) |
//       |    +-------------------------------------------> gsColMoving
//       |    |        press on a fixed-col cell (goRowMoving) |
//       |    +-------------------------------------------> gsRowMoving
//       |                                                     |
//       +------------- MouseUp / CancelMode <-----------------+
//
//   gsSelecting: moves extend the selection; the 60 ms timer scrolls while
//                the pointer is outside the cells (TimedScroll).
//   gsColSizing / gsRowSizing: the sizing line follows the pointer; the
//                release sets ColWidths/RowHeights when the new extent > 1.
//   gsColMoving / gsRowMoving: the drop line follows; the timer scrolls at
//                the edges; the release calls MoveColumn/MoveRow.
//
// Invariants: FixedCols <= LeftCol, FixedRows <= TopRow, Col/Row and the
// anchor lie inside the counts and never in the fixed band (unless a grid
// with frozen columns put them there with SetFrozenCol); with goRowSelect
// the selection spans every scrolling column.
//
// Column widths: 0 hides a column but keeps its grid line; -1 hides the
// line as well. Index faults raise EInvalidGridOperation.
class TCustomGrid : public TCustomControl {
public:
    explicit TCustomGrid(TComponent* AOwner);
    ~TCustomGrid() override;
    std::string ClassName() const override { return "TCustomGrid"; }

    // ---- geometry
    int ColCount() const;
    void SetColCount(int v);
    int RowCount() const;
    void SetRowCount(int v);
    int FixedCols() const;
    void SetFixedCols(int v);
    int FixedRows() const;
    void SetFixedRows(int v);
    int ColWidths(int ACol) const;
    void SetColWidths(int ACol, int v);
    int RowHeights(int ARow) const;
    void SetRowHeights(int ARow, int v);
    bool TabStops(int ACol) const;
    void SetTabStops(int ACol, bool v);
    int DefaultColWidth() const;
    void SetDefaultColWidth(int v);
    int DefaultRowHeight() const;
    void SetDefaultRowHeight(int v);
    int GridLineWidth() const;
    void SetGridLineWidth(int v);
    TColor FixedColor() const;
    void SetFixedColor(TColor v);
    bool DefaultDrawing() const;
    void SetDefaultDrawing(bool v);
    TGridOptions Options() const;
    virtual void SetOptions(TGridOptions v);
    // Width/height of the cells area (at most the client's).
    int GridWidth() const;
    int GridHeight() const;

    // ---- position
    int Col() const;
    void SetCol(int v);
    int Row() const;
    void SetRow(int v);
    int LeftCol() const;
    void SetLeftCol(int v);
    int TopRow() const;
    void SetTopRow(int v);
    int VisibleColCount() const;
    int VisibleRowCount() const;
    TGridRect Selection() const;
    void SetSelection(const TGridRect& r);
    TGridState GridState() const;

    // Client rectangle of a cell; empty when it is scrolled out of view.
    TRect CellRect(int ACol, int ARow) const;
    // Client rectangle covering the visible part of a block of cells.
    TRect BoxRect(int ALeft, int ATop, int ARight, int ABottom) const;
    // The cell under a client point; (-1, -1) outside the cells.
    TGridCoord MouseCoord(int X, int Y) const;
    void MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    void CalcDrawInfo(TGridDrawInfo& info) const;

    void InvalidateCell(int ACol, int ARow);
    void InvalidateCol(int ACol);
    void InvalidateRow(int ARow);
    void InvalidateGrid();
    void InvalidateRect(const TGridRect& r);
    using TCustomControl::InvalidateRect;

    // ---- the editor
    bool EditorMode() const;
    void SetEditorMode(bool v);
    TInplaceEdit* InplaceEditor() const;
    void ShowEditor();
    void HideEditor();
    void ShowEditorChar(char32_t ch);
    void InvalidateEditor();
    // Writes the editor's text back (SetEditText) when it holds a cell.
    void UpdateText();

    // Moving whole columns/rows; widths and the current cell follow.
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);
    void DeleteColumn(int ACol);
    void DeleteRow(int ARow);

    TSelectCellEvent OnSelectCell;
    TNotifyEvent OnTopLeftChanged;

    // Hooks the editor calls (public so TInplaceEdit reaches them).
    virtual bool CanEditAcceptKey(char32_t Key) { return true; }
    virtual bool CanGridAcceptKey(Word Key, TShiftState Shift) { return true; }
    virtual bool CanEditModify();
    void EditorKeyDown(Word& Key, TShiftState Shift) { KeyDown(Key, Shift); }
    void EditorKeyPress(char32_t& Key) { KeyPress(Key); }
    void EditorKeyUp(Word& Key, TShiftState Shift) { KeyUp(Key, Shift); }
    void EditorDblClick() { DblClick(); }
    void EditorExit();
    void EditorTextChanged(const std::string& text);
    // Asked first with every key that goes down in the editor, before the
    // editor's own handling: a grid that deals with the key itself clears
    // it, and the editor does nothing more with it.
    virtual void EditorKeyDownFirst(Word& Key, TShiftState Shift) {}
    // A paste into the editor (Ctrl+V, Shift+Insert or its context menu)
    // of the clipboard's text: true when the grid dealt with it, so that
    // the editor pastes nothing itself.
    virtual bool EditorPaste(const std::string& Text) { return false; }

protected:
    // For a grid that brings a larger private part (derived from
    // TCustomGridPrivate); dd is adopted.
    TCustomGrid(TComponent* AOwner, TCustomGridPrivate* dd);

    // ---- overridable behaviour
    virtual bool CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs);
    virtual TInplaceEdit* CreateEditor();
    virtual bool CanEditShow();
    virtual std::string GetEditText(int ACol, int ARow) { return {}; }
    virtual void SetEditText(int ACol, int ARow, const std::string& Value) {}
    virtual std::string GetEditMask(int ACol, int ARow) { return {}; }
    virtual int GetEditLimit() { return 0; }
    virtual TEditStyle GetEditStyle(int ACol, int ARow) { return esSimple; }
    virtual std::vector<std::string> GetPickList(int ACol, int ARow) { return {}; }
    // The editor's "..." button was pressed (or Ctrl+Enter typed).
    virtual void EditButtonClick() {}
    // An item of the drop-down list was taken (the editor's ChosenIndex);
    // when CanEditModify allowed it, its text is already in the editor and
    // went through SetEditText.
    virtual void PickListChosen() {}
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) = 0;
    virtual bool SelectCell(int ACol, int ARow);
    virtual void ColumnMoved(int FromIndex, int ToIndex) {}
    virtual void RowMoved(int FromIndex, int ToIndex) {}
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void TopLeftChanged();
    virtual void SizeChanged(int OldColCount, int OldRowCount) {}
    virtual bool BeginColumnDrag(int& Origin, int& Destination, TPoint MousePt) { return true; }
    virtual bool CheckColumnDrag(int& Origin, int& Destination, TPoint MousePt) { return true; }
    virtual bool EndColumnDrag(int& Origin, int& Destination, TPoint MousePt) { return true; }
    virtual bool BeginRowDrag(int& Origin, int& Destination, TPoint MousePt) { return true; }
    virtual bool CheckRowDrag(int& Origin, int& Destination, TPoint MousePt) { return true; }
    virtual bool EndRowDrag(int& Origin, int& Destination, TPoint MousePt) { return true; }
    // One auto-scroll step while selecting with the pointer outside the
    // cells (a 60 ms timer): moves the anchor one cell per direction.
    virtual void TimedScroll(bool Left, bool Right, bool Up, bool Down);

    // Moves the current cell (and the anchor when MoveAnchor or without
    // goRangeSelect); Show scrolls it into view. Throws "Grid index out of
    // range" outside the counts; SelectCell may refuse (no change).
    void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
    void MoveAnchor(const TGridCoord& NewAnchor);
    void MoveTopLeft(int ALeft, int ATop);
    // Scrolls the least needed to show the cell whole.
    void ClampInView(const TGridCoord& Coord);
    // Moves to a cell as a click would: editor update, then OnClick.
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    void UpdateEdit();
    void HideEdit();
    // Frees the editor without letting it call back (for destructors: the
    // editor's focus loss must not reach a grid being torn down).
    void DestroyEditor();
    void ScrollData(int DX, int DY);
    virtual void UpdateScrollRange();
    // Whether the grid or its editor has the focus.
    bool IsActiveControl() const;

    void Paint() override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
    void Resize() override;
    // The client area (inside border and scroll bars) changed size.
    virtual void ClientResized();
    void DoEnter() override;
    void DoExit() override;
    bool WantTabs() const override;
    bool WantReturns() const override;
    void ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) override;
    void FontChanged() override;
    // Ends a press in progress (selecting, sizing, moving) without acting
    // on it, and lets the mouse go: the grid lost the focus or the mouse
    // while the button was down. A grid with mouse states of its own ends
    // them here too.
    virtual void CancelMode();
    void ChangeSize(int NewColCount, int NewRowCount);

    // The editor's text no longer belongs to the cell it was loaded from
    // (the record under it moved): nothing is written back from it, and the
    // next show loads the current cell afresh.
    void ForgetEditorCell();
    // A flat grid's border: a 1-pixel sunken edge round the outside of the
    // cells (in the frame, not the client area) in place of the 2-pixel 3-D
    // edge, while the border style is bsSingle.
    void SetFlatBorder(bool Flat);
    bool FlatBorder() const;
    // Puts the current cell and the anchor in column ACol of the fixed band,
    // for a grid whose frozen columns take the cursor; nothing scrolls.
    void SetFrozenCol(int ACol);

private:
    friend class TInplaceEdit;
    friend struct TCustomGridPrivate;
    void calcAxis(TGridAxisDrawInfo& axis) const;
    int maxTopLeft(const TGridAxisDrawInfo& axis) const;
    bool cellStart(const TGridAxisDrawInfo& axis, int cell, int& start) const;
    void invalidateGridRect(const TGridRect& r);
    void selectionMoved(const TGridRect& oldSel);
    void topLeftMoved(const TGridCoord& oldTopLeft);
    void drawLines(const TGridAxisDrawInfo& horz, const TGridAxisDrawInfo& vert, bool doHorz, bool doVert, int firstCol,
                   int firstRow, const TRect& area, TColor lineColor, TColor fillColor);
    void drawCells(int firstCol, int firstRow, const TRect& area, const TGridDrawInfo& info, TColor color,
                   TGridDrawState includeState, const TRect& clip);
    void timerTick();
    void moveAndScroll(const TGridDrawInfo& info, int mouse, int cellHit, bool cols, const TPoint& pt);
    void drawSizingLine();
    // The control's one private part, typed: everything the grid keeps
    // (Grids.cpp; TCustomGridPrivate::get from outside the class).
    TCustomGridPrivate* gd() const;
};

// A grid whose cells the program paints in OnDrawCell.
class TDrawGrid : public TCustomGrid {
public:
    explicit TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}
    std::string ClassName() const override { return "TDrawGrid"; }
    // The block of cells ACol, ARow reach; the grid keeps no spans.
    TRect CellRectOf(int ACol, int ARow) const { return CellRect(ACol, ARow); }

    TDrawCellEvent OnDrawCell;
    TGetEditEvent OnGetEditMask;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    std::string GetEditMask(int ACol, int ARow) override;
    bool SelectCell(int ACol, int ARow) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    void TopLeftChanged() override;
};

// A grid that keeps a string and an object pointer per cell (objects are
// not owned). Cells grow with the counts; text is drawn 2 pixels in.
class TStringGrid : public TDrawGrid {
public:
    explicit TStringGrid(TComponent* AOwner);
    std::string ClassName() const override { return "TStringGrid"; }

    std::string Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const std::string& v);
    TObject* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, TObject* v);
    // A whole column / row as a list (copies); setting replaces the cells
    // from index 0 on.
    std::vector<std::string> Cols(int ACol) const;
    void SetCols(int ACol, const std::vector<std::string>& v);
    std::vector<std::string> Rows(int ARow) const;
    void SetRows(int ARow, const std::vector<std::string>& v);

protected:
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    void SizeChanged(int OldColCount, int OldRowCount) override;

private:
    struct Cell {
        std::string text;
        TObject* object = nullptr;
    };
    Cell* cellAt(int ACol, int ARow);
    const Cell* cellAt(int ACol, int ARow) const;
    std::vector<std::vector<Cell>> rows_; // [row][col], grown on demand
};
