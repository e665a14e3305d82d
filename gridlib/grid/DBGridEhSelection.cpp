// The selection objects of the data grid: the bookmark list of selected
// records (in the data set's presented order), the rectangle and the column
// selections, and the one-kind-at-a-time dispatch between them.
#include <algorithm>

#include "ScopeExit.h"
#include "gridlib/grid/DBGridEh.h"

// ================================================================ TBookmarkListEh

int TBookmarkListEh::compare(const TBookmark& a, const TBookmark& b) const {
    TDataSet* ds = grid_->DataLink()->DataSet();
    return ds ? ds->CompareBookmarks(a, b) : (a < b ? -1 : a == b ? 0 : 1);
}

TBookmark TBookmarkListEh::CurrentBookmark() const {
    if (!grid_->DataLink()->Active()) throw EInvalidGridOperation("Cannot perform this operation on a closed dataset");
    return grid_->DataLink()->DataSet()->GetBookmark();
}

bool TBookmarkListEh::Locate(const TBookmark& b, int& index) {
    if (lastIndex_ != -1 && b == lastSought_) {
        index = lastIndex_;
        return lastFound_;
    }
    int lo = 0, hi = int(list_.size()) - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int c = compare(list_[size_t(mid)], b);
        if (c < 0)
            lo = mid + 1;
        else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                lo = mid;
            }
        }
    }
    index = lo;
    lastSought_ = b;
    lastIndex_ = lo;
    lastFound_ = found;
    return found;
}

bool TBookmarkListEh::CurrentSelected() {
    int i;
    return Locate(CurrentBookmark(), i);
}

void TBookmarkListEh::SetCurrentSelected(bool v) {
    const TBookmark b = CurrentBookmark();
    if (b.empty()) return;
    int i;
    if (Locate(b, i) == v) return;
    if (v)
        list_.insert(list_.begin() + i, b);
    else
        list_.erase(list_.begin() + i);
    lastIndex_ = -1;
    grid_->InvalidateRow(grid_->Row());
    TDBGridEhSelection* sel = grid_->Selection();
    if (sel->Kind() != gstRecordBookmarks && !list_.empty()) {
        // Entering the records kind drops another kind's selection, not the
        // record just added.
        auto keep = list_;
        sel->Clear();
        list_ = keep;
        sel->ChangeKind(gstRecordBookmarks);
    }
    sel->DropEmptyKind();
    grid_->Invalidate();
}

void TBookmarkListEh::Insert(const TBookmark& b) {
    if (b.empty()) return;
    int i;
    if (Locate(b, i)) return;
    list_.insert(list_.begin() + i, b);
    lastIndex_ = -1;
}

void TBookmarkListEh::AssignOrdered(std::vector<TBookmark>&& ordered) {
    list_ = std::move(ordered);
    list_.erase(std::remove_if(list_.begin(), list_.end(), [](const TBookmark& b) { return b.empty(); }), list_.end());
    lastIndex_ = -1;
    if (list_.empty()) grid_->Selection()->DropEmptyKind();
    grid_->Invalidate();
}

void TBookmarkListEh::Empty() {
    if (list_.empty()) return;
    list_.clear();
    lastIndex_ = -1;
    grid_->Selection()->DropEmptyKind();
    grid_->Invalidate();
}

void TBookmarkListEh::LinkActiveChanged(bool v) {
    Empty();
    grid_->Selection()->DropEmptyKind();
    linkActive_ = v;
}

void TBookmarkListEh::DeleteRecords() {
    TDataSet* ds = grid_->DataLink()->DataSet();
    if (!ds) return;
    ds->DisableControls();
    ScopeExit restore([&] {
        ds->EnableControls();
        grid_->Selection()->DropEmptyKind();
    });
    for (int i = int(list_.size()) - 1; i >= 0; --i) {
        if (ds->BookmarkValid(list_[size_t(i)])) {
            ds->GotoBookmark(list_[size_t(i)]);
            ds->Delete();
        }
        list_.erase(list_.begin() + i);
        lastIndex_ = -1;
    }
}

// ================================================================ rectangle

namespace {
TDataSet* gridDataSet(TCustomDBGridEh* g) { return g->DataLink()->Active() ? g->DataLink()->DataSet() : nullptr; }
} // namespace

void TDBGridEhSelectionRect::Select(int col, const TBookmark& row, bool keepAnchor) {
    TDBGridEhSelection* sel = grid_->Selection();
    if (!keepAnchor || AnchorCell.ColumnIndex < 0) AnchorCell = {col, row};
    ShiftCell = {col, row};
    // A single cell is no rectangle.
    if (AnchorCell.ColumnIndex == ShiftCell.ColumnIndex && AnchorCell.RowBookmark == ShiftCell.RowBookmark) {
        if (sel->Kind() == gstRectangle) sel->ChangeKind(gstNon);
    } else if (sel->Kind() != gstRectangle) {
        if (sel->Kind() != gstNon) {
            const TDBCell a = AnchorCell, s = ShiftCell;
            sel->Clear();
            AnchorCell = a;
            ShiftCell = s;
        }
        sel->ChangeKind(gstRectangle);
    }
    grid_->Invalidate();
}

void TDBGridEhSelectionRect::Reset() {
    AnchorCell = {};
    ShiftCell = {};
    grid_->Invalidate();
}

int TDBGridEhSelectionRect::LeftCol() const { return std::min(AnchorCell.ColumnIndex, ShiftCell.ColumnIndex); }
int TDBGridEhSelectionRect::RightCol() const { return std::max(AnchorCell.ColumnIndex, ShiftCell.ColumnIndex); }

TBookmark TDBGridEhSelectionRect::TopRow() const {
    TDataSet* ds = gridDataSet(grid_);
    if (!ds) return AnchorCell.RowBookmark;
    return ds->CompareBookmarks(AnchorCell.RowBookmark, ShiftCell.RowBookmark) <= 0 ? AnchorCell.RowBookmark
                                                                                    : ShiftCell.RowBookmark;
}

TBookmark TDBGridEhSelectionRect::BottomRow() const {
    TDataSet* ds = gridDataSet(grid_);
    if (!ds) return ShiftCell.RowBookmark;
    return ds->CompareBookmarks(AnchorCell.RowBookmark, ShiftCell.RowBookmark) <= 0 ? ShiftCell.RowBookmark
                                                                                    : AnchorCell.RowBookmark;
}

bool TDBGridEhSelectionRect::BoxRect(int& left, TBookmark& top, int& right, TBookmark& bottom) const {
    left = LeftCol();
    right = RightCol();
    top = TopRow();
    bottom = BottomRow();
    return left >= 0;
}

bool TDBGridEhSelectionRect::CellSelected(int col, const TBookmark& row) const {
    if (col < LeftCol() || col > RightCol()) return false;
    TDataSet* ds = gridDataSet(grid_);
    if (!ds) return false;
    return ds->CompareBookmarks(TopRow(), row) <= 0 && ds->CompareBookmarks(row, BottomRow()) <= 0;
}

// ================================================================ columns

bool TDBGridEhSelectionCols::Contains(TColumnEh* c) const {
    return std::find(list_.begin(), list_.end(), c) != list_.end();
}

void TDBGridEhSelectionCols::AddSorted(TColumnEh* c) {
    auto it = std::find_if(list_.begin(), list_.end(), [c](TColumnEh* o) { return o->Index() > c->Index(); });
    list_.insert(it, c);
}

void TDBGridEhSelectionCols::repaintColumn(TColumnEh* c) {
    grid_->InvalidateCol(grid_->DataToRawColumn(c->Index()));
}

void TDBGridEhSelectionCols::Clear() {
    for (TColumnEh* c : list_) repaintColumn(c);
    list_.clear();
    AnchorColumn = nullptr;
}

void TDBGridEhSelectionCols::ToggleColumn(TColumnEh* c) {
    TDBGridEhSelection* sel = grid_->Selection();
    if (sel->Kind() != gstColumns) sel->Clear();
    auto it = std::find(list_.begin(), list_.end(), c);
    if (it != list_.end())
        list_.erase(it);
    else
        AddSorted(c);
    repaintColumn(c);
    AnchorColumn = ShiftEndColumn = c;
    sel->ChangeKind(list_.empty() ? gstNon : gstColumns);
    ShiftChangedColumns.clear();
}

void TDBGridEhSelectionCols::SelectColumn(TColumnEh* c, bool Keep) {
    TDBGridEhSelection* sel = grid_->Selection();
    if (sel->Kind() != gstColumns && sel->Kind() != gstNon) sel->Clear();
    if (!Keep) Clear();
    if (!Contains(c)) AddSorted(c);
    repaintColumn(c);
    AnchorColumn = ShiftEndColumn = c;
    sel->ChangeKind(gstColumns);
    ShiftChangedColumns.clear();
}

void TDBGridEhSelectionCols::DropMissingColumns() {
    TDBGridColumnsEh* columns = grid_->Columns();
    auto present = [columns](TColumnEh* c) {
        for (int i = 0; i < columns->Count(); ++i)
            if (columns->Items(i) == c) return true;
        return false;
    };
    auto dropFrom = [&](std::vector<TColumnEh*>& v) {
        v.erase(std::remove_if(v.begin(), v.end(), [&](TColumnEh* c) { return !present(c); }), v.end());
    };
    dropFrom(list_);
    dropFrom(ShiftChangedColumns);
    if (AnchorColumn && !present(AnchorColumn)) AnchorColumn = nullptr;
    if (ShiftEndColumn && !present(ShiftEndColumn)) ShiftEndColumn = AnchorColumn;
    std::stable_sort(list_.begin(), list_.end(), [](TColumnEh* a, TColumnEh* b) { return a->Index() < b->Index(); });
    grid_->Selection()->DropEmptyKind();
}

// The walk goes from the old end of the range towards the new one. While it
// extends, every column takes the anchor's state and is remembered; while it
// shrinks back, the remembered columns get their state back. Crossing the
// anchor turns a shrink into an extension on the other side.
void TDBGridEhSelectionCols::ShiftSelectColumn(TColumnEh* c) {
    TDBGridEhSelection* sel = grid_->Selection();
    if (sel->Kind() != gstColumns) sel->Clear();
    if (!AnchorColumn) {
        SelectColumn(c, true);
        AnchorColumn = c;
        return;
    }
    TDBGridColumnsEh* columns = grid_->Columns();
    const int a = AnchorColumn->Index(), o = c->Index();
    const int s = ShiftEndColumn ? ShiftEndColumn->Index() : a;
    int from = o, to = o, cross = -1;
    bool set = true;
    if (a < s && s < o) {
        from = s;
    } else if (a < s && o < s) {
        from = s;
        to = o < a ? o : o + 1;
        set = false;
        if (o < a) cross = a;
    } else if (a > s && o < s) {
        from = s;
    } else if (a > s && o > s) {
        from = s;
        to = o > a ? o : o - 1;
        set = false;
        if (o > a) cross = a;
    } else if (s == a) {
        from = a;
    }
    const bool anchorSelected = Contains(AnchorColumn);
    auto remembered = [this](TColumnEh* x) {
        return std::find(ShiftChangedColumns.begin(), ShiftChangedColumns.end(), x) != ShiftChangedColumns.end();
    };
    auto forget = [this](TColumnEh* x) {
        ShiftChangedColumns.erase(std::remove(ShiftChangedColumns.begin(), ShiftChangedColumns.end(), x),
                                  ShiftChangedColumns.end());
    };
    const int step = to >= from ? 1 : -1;
    for (int i = from;; i += step) {
        if (i == cross) set = !set;
        if (i >= 0 && i < columns->Count()) {
            TColumnEh* x = columns->Items(i);
            const bool listed = Contains(x);
            if (set) {
                bool changed = false;
                if (!anchorSelected && listed && x != AnchorColumn) {
                    list_.erase(std::find(list_.begin(), list_.end(), x));
                    changed = true;
                } else if (anchorSelected && !listed && x->Visible()) {
                    AddSorted(x);
                    changed = true;
                }
                if (changed) {
                    repaintColumn(x);
                    if (!remembered(x)) ShiftChangedColumns.push_back(x);
                }
            } else if (remembered(x)) {
                if (!anchorSelected && !listed && x->Visible()) {
                    AddSorted(x);
                    forget(x);
                } else if (anchorSelected && listed && x != AnchorColumn) {
                    list_.erase(std::find(list_.begin(), list_.end(), x));
                    forget(x);
                }
                repaintColumn(x);
            }
        }
        if (i == to) break;
    }
    ShiftEndColumn = c;
    sel->ChangeKind(list_.empty() ? gstNon : gstColumns);
}

// ================================================================ selection

TDBGridEhSelection::TDBGridEhSelection(TCustomDBGridEh* grid)
    : grid_(grid), rect_(std::make_unique<TDBGridEhSelectionRect>(grid)),
      cols_(std::make_unique<TDBGridEhSelectionCols>(grid)) {}

TDBGridEhSelection::~TDBGridEhSelection() = default;

TBookmarkListEh* TDBGridEhSelection::Rows() const { return grid_->SelectedRows(); }

void TDBGridEhSelection::Clear() {
    const TDBGridEhSelectionType old = kind_;
    struct Finally {
        TDBGridEhSelection* s;
        ~Finally() {
            s->kind_ = gstNon;
            if (s->grid_->Options().Contains(dgAlwaysShowEditor)) s->grid_->ShowEditor();
        }
    } fin{this};
    switch (old) {
    case gstRecordBookmarks: Rows()->Empty(); break;
    case gstRectangle: rect_->Reset(); break;
    case gstColumns: cols_->Clear(); break;
    case gstAll: grid_->Invalidate(); break;
    default: break;
    }
}

void TDBGridEhSelection::ChangeKind(TDBGridEhSelectionType k) {
    if (k == kind_) return;
    kind_ = k;
    if (k == gstNon && grid_->Options().Contains(dgAlwaysShowEditor))
        grid_->ShowEditor();
    else
        grid_->HideEditor();
}

bool TDBGridEhSelection::DataCellSelected(int columnIndex, const TBookmark& row) {
    switch (kind_) {
    case gstRecordBookmarks: return Rows()->Find(row);
    case gstRectangle: return columnIndex >= 0 && rect_->CellSelected(columnIndex, row);
    case gstColumns:
        return columnIndex >= 0 && columnIndex < grid_->Columns()->Count() &&
               cols_->Contains(grid_->Columns()->Items(columnIndex));
    case gstAll: return true;
    default: return false;
    }
}

void TDBGridEhSelection::SelectWholeGrid() {
    if (kind_ == gstAll) return;
    if (kind_ != gstNon) Clear();
    kind_ = gstAll;
    grid_->HideEditor();
    grid_->Invalidate();
}

void TDBGridEhSelection::DropEmptyKind() {
    if ((kind_ == gstRecordBookmarks && Rows()->Count() == 0) || (kind_ == gstColumns && cols_->Count() == 0)) {
        kind_ = gstNon;
        grid_->Invalidate();
    }
}

void TDBGridEhSelection::DataLinkActiveChanged(bool v) {
    Rows()->LinkActiveChanged(v);
    Clear();
}
