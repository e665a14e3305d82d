// The data grid's pointer over titles, indicator and cells: what a press
// selects (records on the indicator, rectangles on data cells) and the
// records a drag passes, the strip at the foot of a title that selects
// columns by dragging across the titles (scrolling on past the edges), the
// arrows the pointer shows where a press selects, a column that follows
// the pointer while it is sized, a column's own popup menu, and the titles
// drawn afresh at the frozen edge. The mouse handlers that dispatch here
// are in DBGridEh.cpp; the selection objects are DBGridEhSelection.cpp.
#include "gridlib/grid/DBGridEh.h"

#include <algorithm>

#include "Cursors.h"
#include "Menus.h"
#include "ScopeExit.h"

namespace {

TCursor arrowCursor(const std::vector<TPoint>& shape, int hotX, int hotY) {
    TBitmap b;
    b.SetSize(16, 16);
    TCanvas* cv = b.Canvas();
    cv->Brush()->SetColor(clFuchsia);
    cv->FillRect(TRect(0, 0, 16, 16));
    cv->Pen()->SetColor(clWhite);
    cv->Brush()->SetColor(clBlack);
    cv->Polygon(shape);
    b.SetTransparentMode(tmFixed);
    b.SetTransparentColor(clFuchsia);
    return RegisterCursor(&b, hotX, hotY);
}

} // namespace

TCursor DownCursorEh() {
    static const TCursor c =
        arrowCursor({{6, 0}, {10, 0}, {10, 8}, {14, 8}, {8, 15}, {2, 8}, {6, 8}}, 8, 15);
    return c;
}

TCursor RightCursorEh() {
    static const TCursor c =
        arrowCursor({{0, 6}, {8, 6}, {8, 2}, {15, 8}, {8, 14}, {8, 10}, {0, 10}}, 15, 8);
    return c;
}

// ---- presses

// An automatic drag would take every left press before the grid saw it; with
// multi-select the grid handles the press itself (so that it can select) and
// begins the drag on the next move when the press was on the selection.
void TCustomDBGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button != mbLeft || DragMode() != dmAutomatic || !options_.Contains(dgMultiSelect)) {
        mouseDownNow(Button, Shift, X, Y);
        return;
    }
    SetDragMode(dmManual);
    autoDragPress_ = true;
    ScopeExit restore([this] {
        autoDragPress_ = false;
        SetDragMode(dmAutomatic);
    });
    mouseDownNow(Button, Shift, X, Y);
}

// ---- where a press selects

bool TCustomDBGridEh::OverColumnSelectZone(int X, int Y) const {
    if (!dataLink_->Active() || !options_.Contains(dgMultiSelect) || options_.Contains(dgRowSelect) ||
        !allowedSelections_.Contains(gstColumns) || !titleRow_)
        return false;
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.Y != 0 || cell.X < indicatorOffset_ || !columnAt(cell.X)) return false;
    return Y >= CellRect(cell.X, 0).Bottom - kColumnSelectZone;
}

bool TCustomDBGridEh::OverRecordSelectZone(int X, int Y) const {
    if (!dataLink_->Active() || !options_.Contains(dgMultiSelect) || !allowedSelections_.Contains(gstRecordBookmarks) ||
        !indicatorOffset_ || dataLink_->DataSet()->IsEmpty())
        return false;
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.X < 0 || cell.X >= indicatorOffset_ || cell.Y < titleOffset_) return false;
    const int firstFooter = FirstFooterRow();
    if (firstFooter >= 0 && cell.Y >= firstFooter - 1) return false;
    return cell.Y - titleOffset_ < dataLink_->RecordCount();
}

// The grid base has already chosen its pointer (the split arrows over the
// lines that size); the grid's own arrows show only where it chose none.
void TCustomDBGridEh::updateMouseCursor(int X, int Y) {
    if (GridState() != gsNormal || traceSizingCol_ >= 0 || selectingCols_ || selectingRect_ || selectingRows_) return;
    TGridState st;
    int idx, pos, ofs;
    if (CalcSizingState(X, Y, st, idx, pos, ofs)) return;
    if (OverColumnSelectZone(X, Y))
        SetCursor(DownCursorEh());
    else if (OverRecordSelectZone(X, Y))
        SetCursor(RightCursorEh());
}

// ---- presses that select

// A left press on the indicator (or on any cell with whole rows selected)
// selects records: with Shift the range from the anchor to the pressed
// record, with Ctrl (or in a grid that keeps its selection) the pressed
// record turned, else the pressed record alone. Dragging on carries the
// pressed record's new state over the records passed (after Shift, the
// range's end follows the pointer).
void TCustomDBGridEh::recordPress(TShiftState Shift, const TBookmark& before) {
    TDataSet* ds = dataLink_->DataSet();
    if (Shift.Contains(ssShift)) {
        if (rowAnchor_.empty()) rowAnchor_ = before;
        selectRangeTo(ds->GetBookmark());
        rowMarkState_ = true;
    } else {
        if (Shift.Contains(ssCtrl) || !optionsEh_.Contains(dghClearSelection)) {
            bookmarks_->SetCurrentSelected(!bookmarks_->CurrentSelected());
        } else {
            if (selection_->Kind() != gstNon) selection_->Clear();
            bookmarks_->SetCurrentSelected(true);
        }
        rowAnchor_ = ds->GetBookmark();
        rowMarkState_ = bookmarks_->CurrentSelected();
    }
    rowDragEnd_ = ds->GetBookmark();
    selectingRows_ = true;
}

// A press on a data cell. A plain one drops the selection (unless the grid
// keeps it, or it is a right press on the selection, which keeps it for a
// menu). A left press anchors a rectangle at the cell; with Shift it
// stretches the rectangle there from its anchor, or from the cell that was
// current when there was none; dragging on stretches it further.
void TCustomDBGridEh::cellPress(TMouseButton Button, TShiftState Shift, int gridCol, const TDBCell& previous) {
    TDataSet* ds = dataLink_->DataSet();
    const TBookmark here = ds->GetBookmark();
    const int dataCol = gridCol - indicatorOffset_;
    const bool extend = Shift.Contains(ssShift);
    if (!extend && !Shift.Contains(ssCtrl) && optionsEh_.Contains(dghClearSelection) &&
        selection_->Kind() != gstNon && !(Button == mbRight && selection_->DataCellSelected(dataCol, here)))
        selection_->Clear();
    if (!extend) rowAnchor_ = here;
    if (Button != mbLeft || !CanSelectKind(gstRectangle) || ds->IsEmpty()) return;
    selectingRect_ = true;
    if (selection_->Kind() != gstRectangle && selection_->Kind() != gstNon) selection_->Clear();
    TDBGridEhSelectionRect* rect = selection_->Rect();
    if (extend && selection_->Kind() != gstRectangle) rect->Select(previous.ColumnIndex, previous.RowBookmark, false);
    rect->Select(dataCol, here, extend);
}

bool TCustomDBGridEh::CanSelectKind(TDBGridEhSelectionType Kind) const {
    if (Kind == gstNon) return true;
    if (!options_.Contains(dgMultiSelect) || !allowedSelections_.Contains(Kind)) return false;
    return !((Kind == gstRectangle || Kind == gstColumns) && options_.Contains(dgRowSelect));
}

// ---- records dragged over on the indicator

// Steps from where the drag was to target one record at a time: a record
// the step leaves while going back towards the anchor gets the state the
// pressed record had before the press, a record reached going away from it
// gets the pressed record's new state.
void TCustomDBGridEh::dragRowsTo(const TBookmark& target) {
    TDataSet* ds = dataLink_->DataSet();
    if (!ds || rowAnchor_.empty() || rowDragEnd_.empty() || target.empty()) return;
    const int dir = ds->CompareBookmarks(target, rowDragEnd_);
    if (dir == 0) return;
    const int step = dir < 0 ? -1 : 1;
    ds->DisableControls();
    ScopeExit restore([&] {
        ds->GotoBookmark(target);
        ds->EnableControls();
    });
    ds->GotoBookmark(rowDragEnd_);
    for (;;) {
        const int side = ds->CompareBookmarks(ds->GetBookmark(), rowAnchor_);
        const bool back = side != 0 && (side < 0 ? -1 : 1) == -step;
        if (back) bookmarks_->SetCurrentSelected(!rowMarkState_);
        if (ds->MoveBy(step) == 0) break;
        if (!back) bookmarks_->SetCurrentSelected(rowMarkState_);
        if (ds->CompareBookmarks(ds->GetBookmark(), target) == 0) break;
    }
    rowDragEnd_ = target;
}

// ---- the titles when the view leaves or reaches the frozen columns

// The scroll moves only the pixels right of the frozen columns; titles
// whose drawing depends on what shows beside the frozen part (a caption
// spanning both) are drawn afresh when the view leaves that edge or comes
// back to it.
void TCustomDBGridEh::TopLeftChanged() {
    const bool atEdge = LeftCol() <= FixedCols();
    if (atEdge != leftAtFrozenEdge_) {
        leftAtFrozenEdge_ = atEdge;
        for (int r = 0; r < titleOffset_; ++r) InvalidateRow(r);
    }
    TCustomGrid::TopLeftChanged();
}

// ---- columns selected by dragging over the titles

void TCustomDBGridEh::columnSelectPress(int gridCol, TShiftState Shift) {
    TColumnEh* c = columnAt(gridCol);
    InvalidateCol(gridCol);
    selectingCols_ = true;
    colScrollOutside_ = false;
    lastMouse_ = pressPoint_;
    StartAutoScrollTimer(60);
    TDBGridEhSelectionCols* cols = selection_->Columns();
    if (Shift.Contains(ssShift)) {
        cols->ShiftSelectColumn(c);
    } else if (Shift.Contains(ssCtrl)) {
        cols->ToggleColumn(c);
    } else {
        Invalidate();
        cols->SelectColumn(c, false);
    }
}

void TCustomDBGridEh::columnSelectMove(int X, int Y) {
    lastMouse_ = {X, Y};
    const TRect area = DataAreaRect();
    // The column under the pointer wherever it is vertically: the drag
    // goes on along the titles even below or above the grid.
    const int gridCol = X >= area.Left && X < area.Right ? MouseCoord(X, 0).X : -1;
    TColumnEh* c = gridCol >= indicatorOffset_ ? columnAt(gridCol) : nullptr;
    if (!c) {
        // Past an edge: one column at once, then the timer carries on.
        if (!colScrollOutside_) columnAutoScroll();
        colScrollOutside_ = true;
        return;
    }
    colScrollOutside_ = false;
    if (c != selection_->Columns()->ShiftEndColumn) selection_->Columns()->ShiftSelectColumn(c);
}

// One step with the pointer left or right of the data cells: the view moves
// one column that way and the selection reaches the column that came into
// view; the further out the pointer, the sooner the next step.
void TCustomDBGridEh::columnAutoScroll() {
    const TRect r = DataAreaRect();
    const TPoint p = lastMouse_;
    int target;
    if (p.X >= r.Right) {
        if (VisibleColCount() + LeftCol() < ColCount()) {
            SetLeftCol(LeftCol() + 1);
            target = std::min(LeftCol() + VisibleColCount(), ColCount() - 1);
        } else {
            target = LeftCol() + VisibleColCount() - 1;
        }
        StartAutoScrollTimer(200 - 10 * (p.X - r.Right));
    } else if (p.X < r.Left) {
        if (LeftCol() > FixedCols()) SetLeftCol(LeftCol() - 1);
        target = LeftCol();
        StartAutoScrollTimer(200 - 10 * (r.Left - p.X));
    } else {
        return;
    }
    if (TColumnEh* c = target >= indicatorOffset_ ? columnAt(target) : nullptr)
        selection_->Columns()->ShiftSelectColumn(c);
    Update();
}

// ---- a column sized live

// With dghTraceColSizing a left press on a column's sizing line sizes the
// column itself from then on; true when it took the press.
bool TCustomDBGridEh::traceSizingPress(TMouseButton Button, int X, int Y) {
    if (Button != mbLeft || !optionsEh_.Contains(dghTraceColSizing)) return false;
    TGridState st;
    int idx, pos, ofs;
    if (!CalcSizingState(X, Y, st, idx, pos, ofs) || st != gsColSizing) return false;
    UpdateData();
    HideEdit();
    traceSizingCol_ = idx;
    traceSizingOfs_ = pos - X;
    traceSizingLeft_ = CellRect(idx, 0).Left;
    traceSizingWidth_ = ColWidths(idx);
    SetCursor(crHSplit);
    return true;
}

void TCustomDBGridEh::traceSizingMove(int X) {
    int position = X + traceSizingOfs_;
    if (autoFitColWidths_) {
        // The columns right of the sized one keep at least a line's width
        // each, besides their lines.
        const int line = options_.Contains(dgColLines) ? GridLineWidth() : 0;
        int after = 0;
        for (int c = traceSizingCol_ + 1; c < ColCount(); ++c)
            if (ColWidths(c) > 0) ++after;
        position = std::min(position, ClientWidth() - after * 2 * std::max(line, 1));
    }
    const int width = std::max(position - traceSizingLeft_, 1);
    if (width != ColWidths(traceSizingCol_)) {
        SetColWidths(traceSizingCol_, width);
        Update();
    }
}

// ---- a column's own popup menu

TColumnEh* TCustomDBGridEh::columnPopupAt(int X, int Y) const {
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.X < indicatorOffset_ || cell.Y < 0) return nullptr;
    TColumnEh* c = columnAt(cell.X);
    return c && c->PopupMenu() && c->PopupMenu()->AutoPopup() ? c : nullptr;
}

// A right release over a column with a menu of its own brings that menu up
// at the pointer, the grid as its popup component; true when it did.
bool TCustomDBGridEh::columnPopupRelease(TShiftState Shift, int X, int Y) {
    TColumnEh* c = columnPopupAt(X, Y);
    if (!c) return false;
    TCustomGrid::MouseUp(mbRight, Shift, X, Y);
    popupColumnMenu(c, X, Y);
    return true;
}

void TCustomDBGridEh::popupColumnMenu(TColumnEh* c, int X, int Y) {
    CancelMode();
    TPopupMenu* menu = c->PopupMenu();
    menu->SetPopupComponent(this);
    const TPoint at = ClientToScreen({X, Y});
    menu->Popup(at.X, at.Y);
}

bool TCustomDBGridEh::DoContextPopup(TPoint MousePos) {
    // The column's menu comes up on the release; neither the grid's own
    // menu nor a parent's shows over that column.
    return columnPopupAt(MousePos.X, MousePos.Y) != nullptr;
}
