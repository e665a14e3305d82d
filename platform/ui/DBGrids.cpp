// The data grid, its columns and its data link. Every row shown is one
// window row of the link's buffer, read by setting ActiveRecord for the
// paint of that row; nothing here ever walks the data set.
#include "DBGrids.h"

#include <algorithm>

#include "Application.h"
#include "SysUtils.h"
#include "ScopeExit.h"

namespace {

constexpr int kIndicatorWidth = 11;

// Text measurements outside a paint: a canvas over a 1x1 bitmap.
TCanvas* MeasureCanvas(const TFont* font) {
    static TBitmap* bmp = [] {
        auto* b = new TBitmap;
        b->SetSize(1, 1);
        return b;
    }();
    bmp->Canvas()->Font()->Assign(const_cast<TFont*>(font));
    return bmp->Canvas();
}

TAlignment FromFieldAlignment(TFieldAlignment a) {
    switch (a) {
    case faRightJustify: return taRightJustify;
    case faCenter: return taCenter;
    default: return taLeftJustify;
    }
}

// Writes text into r with a 2-pixel margin at the aligned side, filling r
// with the canvas brush first.
void WriteText(TCanvas* c, const TRect& r, const std::string& text, TAlignment align) {
    const int w = c->TextWidth(text);
    int x = r.Left + 2;
    if (align == taRightJustify)
        x = r.Right - w - 3;
    else if (align == taCenter)
        x = r.Left + (r.Width() - w) / 2;
    c->TextRect(r, x, r.Top + 2, text);
}

} // namespace

// ------------------------------------------------------------ TColumnTitle

TColumnTitle::TColumnTitle(TColumn* column) : column_(column) {}

std::string TColumnTitle::Caption() const {
    if (captionSet_) return caption_;
    if (TField* f = column_->Field()) return f->DisplayLabel();
    return column_->FieldName();
}

void TColumnTitle::SetCaption(const std::string& v) {
    caption_ = v;
    captionSet_ = true;
    column_->changed();
}

void TColumnTitle::SetAlignment(TAlignment v) {
    alignment_ = v;
    column_->changed();
}

TColor TColumnTitle::Color() const { return color_ == clDefault ? column_->Grid()->FixedColor() : color_; }

void TColumnTitle::SetColor(TColor v) {
    color_ = v;
    column_->changed();
}

TFont* TColumnTitle::Font() const { return font_ ? font_.get() : column_->Grid()->TitleFont(); }

void TColumnTitle::SetFont(const TFont* v) {
    if (!font_) font_ = std::make_unique<TFont>();
    font_->Assign(const_cast<TFont*>(v));
    column_->changed();
}

// ------------------------------------------------------------ TColumn

TColumn::TColumn(TDBGrid* grid) : grid_(grid), title_(std::make_unique<TColumnTitle>(this)) {}

TColumn::~TColumn() = default;

int TColumn::Index() const {
    const auto& items = grid_->Columns()->items_;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == this) return int(i);
    return -1;
}

void TColumn::SetIndex(int v) { grid_->Columns()->move(Index(), v); }

void TColumn::SetFieldName(const std::string& v) {
    fieldName_ = v;
    changed();
}

TField* TColumn::Field() const {
    TDataSet* ds = grid_->DataLink()->Active() ? grid_->DataLink()->DataSet() : nullptr;
    return ds && !fieldName_.empty() ? ds->FindField(fieldName_) : nullptr;
}

int TColumn::Width() const {
    if (width_ >= 0) return width_;
    TField* f = Field();
    if (!f) return 64;
    TCanvas* c = MeasureCanvas(Font());
    int w = f->DisplayWidth() * c->TextWidth("0") + 4;
    if (grid_->Options().Contains(dgTitles)) {
        TCanvas* t = MeasureCanvas(title_->Font());
        w = std::max(w, t->TextWidth(title_->Caption()) + 4);
    }
    return w;
}

void TColumn::SetWidth(int v) {
    width_ = v;
    changed();
}

void TColumn::SetVisible(bool v) {
    visible_ = v;
    changed();
}

TAlignment TColumn::Alignment() const {
    if (alignmentSet_) return alignment_;
    if (TField* f = Field()) return FromFieldAlignment(f->Alignment());
    return taLeftJustify;
}

void TColumn::SetAlignment(TAlignment v) {
    alignment_ = v;
    alignmentSet_ = true;
    changed();
}

TColor TColumn::Color() const { return color_ == clDefault ? grid_->Color() : color_; }

void TColumn::SetColor(TColor v) {
    color_ = v;
    changed();
}

TFont* TColumn::Font() const { return font_ ? font_.get() : grid_->Font(); }

void TColumn::SetFont(const TFont* v) {
    if (!font_) font_ = std::make_unique<TFont>();
    font_->Assign(const_cast<TFont*>(v));
    changed();
}

void TColumn::changed() { grid_->LayoutChanged(); }

// ------------------------------------------------------------ TDBGridColumns

TColumn* TDBGridColumns::Add() {
    if (state_ == csDefault) {
        items_.clear();
        state_ = csCustomized;
    }
    items_.push_back(std::make_unique<TColumn>(grid_));
    grid_->LayoutChanged();
    return items_.back().get();
}

TColumn* TDBGridColumns::Items(int i) const {
    if (i < 0 || i >= Count()) throw EListError(Format("List index out of bounds (%d)", i));
    return items_[size_t(i)].get();
}

void TDBGridColumns::Delete(int i) {
    Items(i);
    items_.erase(items_.begin() + i);
    grid_->LayoutChanged();
}

void TDBGridColumns::Clear() {
    items_.clear();
    grid_->LayoutChanged();
}

void TDBGridColumns::SetState(TDBGridColumnsState v) {
    if (v == state_) return;
    state_ = v;
    if (v == csDefault) items_.clear();
    grid_->LayoutChanged();
}

void TDBGridColumns::RebuildColumns() {
    items_.clear();
    state_ = csCustomized;
    if (TDataSet* ds = grid_->DataLink()->Active() ? grid_->DataLink()->DataSet() : nullptr) {
        for (TField* f : ds->Fields()) {
            if (!f->Visible()) continue;
            items_.push_back(std::make_unique<TColumn>(grid_));
            items_.back()->fieldName_ = f->FieldName();
        }
    }
    grid_->LayoutChanged();
}

void TDBGridColumns::move(int from, int to) {
    if (from < 0 || from >= Count() || to < 0 || to >= Count() || from == to) return;
    auto c = std::move(items_[size_t(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(c));
}

// ------------------------------------------------------------ TGridDataLink

void TGridDataLink::Reset() { modified_ = false; }
void TGridDataLink::ActiveChanged() { grid_->LinkActive(Active()); }
void TGridDataLink::DataSetChanged() { grid_->DataChanged(); }
void TGridDataLink::DataSetScrolled(int distance) { grid_->Scroll(distance); }
void TGridDataLink::LayoutChanged() { grid_->LayoutChanged(); }
void TGridDataLink::EditingChanged() { grid_->EditingChanged(); }
void TGridDataLink::RecordChanged(TField* field) { grid_->RecordChanged(field); }
void TGridDataLink::UpdateData() { grid_->UpdateData(); }
void TGridDataLink::CheckBrowseMode() {}

// ------------------------------------------------------------ TBookmarkList

bool TBookmarkList::CurrentRowSelected() const {
    TDataSet* ds = grid_->DataLink()->Active() ? grid_->DataLink()->DataSet() : nullptr;
    return ds && Find(ds->GetBookmark());
}

void TBookmarkList::SetCurrentRowSelected(bool v) {
    TDataSet* ds = grid_->DataLink()->Active() ? grid_->DataLink()->DataSet() : nullptr;
    if (!ds) return;
    const TBookmark b = ds->GetBookmark();
    if (b.empty()) return;
    auto it = std::find(items_.begin(), items_.end(), b);
    if (v && it == items_.end()) items_.push_back(b);
    if (!v && it != items_.end()) items_.erase(it);
    grid_->InvalidateRow(grid_->Row());
}

bool TBookmarkList::Find(const TBookmark& b) const {
    return !b.empty() && std::find(items_.begin(), items_.end(), b) != items_.end();
}

void TBookmarkList::Clear() {
    if (items_.empty()) return;
    items_.clear();
    grid_->Invalidate();
}

void TBookmarkList::Delete() {
    TDataSet* ds = grid_->DataLink()->Active() ? grid_->DataLink()->DataSet() : nullptr;
    if (!ds) return;
    TDisableControls still(ds);
    for (const TBookmark& b : items_) {
        if (!ds->BookmarkValid(b)) continue;
        ds->GotoBookmark(b);
        ds->Delete();
    }
    items_.clear();
}

// ------------------------------------------------------------ TDBGrid

TDBGrid::TDBGrid(TComponent* AOwner)
    : TCustomGrid(AOwner), dataLink_(std::make_unique<TGridDataLink>(this)),
      columns_(std::make_unique<TDBGridColumns>(this)), selectedRows_(std::make_unique<TBookmarkList>(this)),
      titleFont_(std::make_unique<TFont>()) {
    titleFont_->Assign(Font());
    LayoutChanged();
}

TDBGrid::~TDBGrid() {
    DestroyEditor();
    inLayout_ = true;
    dataLink_->SetDataSource(nullptr);
}

void TDBGrid::SetDataSource(TDataSource* v) {
    dataLink_->SetDataSource(v);
    LinkActive(dataLink_->Active());
}

void TDBGrid::SetOptions(TDBGridOptions v) {
    if (v.Contains(dgRowSelect)) {
        v >> dgEditing;
        v >> dgAlwaysShowEditor;
    }
    if (v == dbOptions_) return;
    if (!v.Contains(dgMultiSelect)) selectedRows_->Clear();
    dbOptions_ = v;
    LayoutChanged();
}

void TDBGrid::SetReadOnly(bool v) {
    readOnly_ = v;
    if (v) HideEditor();
}

void TDBGrid::SetTitleFont(const TFont* v) {
    titleFont_->Assign(const_cast<TFont*>(v));
    LayoutChanged();
}

TColumn* TDBGrid::columnAt(int gridCol) const {
    const int i = gridCol - indicatorOffset_;
    return i >= 0 && i < columns_->Count() ? columns_->items_[size_t(i)].get() : nullptr;
}

int TDBGrid::SelectedIndex() const { return Col() - indicatorOffset_; }

void TDBGrid::SetSelectedIndex(int v) { moveToColumn(v + indicatorOffset_); }

TField* TDBGrid::SelectedField() const {
    TColumn* c = columnAt(Col());
    return c ? c->Field() : nullptr;
}

void TDBGrid::SetSelectedField(TField* v) {
    if (!v) return;
    for (int i = 0; i < columns_->Count(); ++i)
        if (columns_->items_[size_t(i)]->Field() == v) {
            SetSelectedIndex(i);
            return;
        }
}

TField* TDBGrid::Fields(int i) const {
    TColumn* c = columnAt(i + indicatorOffset_);
    return c ? c->Field() : nullptr;
}

// ---- layout

void TDBGrid::setGridOptions() {
    TGridOptions o;
    if (dbOptions_.Contains(dgColLines)) o << goFixedVertLine << goVertLine;
    if (dbOptions_.Contains(dgRowLines)) o << goFixedHorzLine << goHorzLine;
    if (dbOptions_.Contains(dgColumnResize)) o << goColSizing << goColMoving;
    if (dbOptions_.Contains(dgTabs)) o << goTabs;
    if (dbOptions_.Contains(dgRowSelect)) o << goRowSelect;
    if (dbOptions_.Contains(dgEditing)) o << goEditing;
    if (dbOptions_.Contains(dgAlwaysShowEditor)) o << goAlwaysShowEditor;
    TCustomGrid::SetOptions(o);
}

int TDBGrid::VisibleDataRowCount() const {
    const int lw = dbOptions_.Contains(dgRowLines) ? GridLineWidth() : 0;
    int avail = ClientRect().Height();
    if (titleOffset_ && RowCount() > 0) avail -= RowHeights(0) + lw;
    const int step = std::max(1, DefaultRowHeight() + lw);
    return std::max(1, avail / step);
}

// Rebuilds axes, options, widths and heights from the columns, the options
// and the fonts, then places the current row on the active record.
void TDBGrid::LayoutChanged() {
    if (inLayout_ || !columns_) return;
    inLayout_ = true;
    {
        ScopeExit restore([&] { inLayout_ = false; });
        const int keepIndex = SelectedIndex();
        indicatorOffset_ = dbOptions_.Contains(dgIndicator) ? 1 : 0;
        titleOffset_ = dbOptions_.Contains(dgTitles) ? 1 : 0;
        if (columns_->State() == csDefault) {
            columns_->items_.clear();
            if (TDataSet* ds = dataLink_->Active() ? dataLink_->DataSet() : nullptr)
                for (TField* f : ds->Fields()) {
                    if (!f->Visible()) continue;
                    columns_->items_.push_back(std::make_unique<TColumn>(this));
                    columns_->items_.back()->fieldName_ = f->FieldName();
                }
        }
        setGridOptions();
        const int cols = std::max(indicatorOffset_ + 1, columns_->Count() + indicatorOffset_);
        if (ColCount() < cols) SetColCount(cols);
        if (FixedCols() != indicatorOffset_) SetFixedCols(indicatorOffset_);
        SetColCount(cols);
        const int lw = dbOptions_.Contains(dgRowLines) ? GridLineWidth() : 0;
        SetDefaultRowHeight(MeasureCanvas(Font())->TextHeight("Wg") + 3 + lw);
        if (indicatorOffset_) SetColWidths(0, kIndicatorWidth);
        for (int i = 0; i < columns_->Count(); ++i) {
            TColumn* c = columns_->items_[size_t(i)].get();
            const int w = c->Visible() ? c->Width() : (dbOptions_.Contains(dgColLines) ? -1 : 0);
            SetColWidths(i + indicatorOffset_, w);
        }
        if (columns_->Count() == 0 && ColCount() > indicatorOffset_) SetColWidths(indicatorOffset_, DefaultColWidth());
        updateRowCount();
        if (titleOffset_) {
            int h = MeasureCanvas(titleFont_.get())->TextHeight("Wg") + 4;
            for (const auto& c : columns_->items_)
                h = std::max(h, MeasureCanvas(c->Title()->Font())->TextHeight("Wg") + 4);
            SetRowHeights(0, h + lw);
            updateRowCount();
        }
        const int target = std::clamp(keepIndex + indicatorOffset_, indicatorOffset_, ColCount() - 1);
        if (target != Col() && target >= FixedCols()) MoveCurrent(target, Row(), true, false);
        lastCol_ = Col();
        updateActive();
    }
    UpdateScrollRange();
    Invalidate();
}

void TDBGrid::updateRowCount() {
    const int oldTop = TopRow();
    int rows = titleOffset_ + 1;
    if (dataLink_->Active() && dataLink_->DataSet() && !dataLink_->DataSet()->IsEmpty()) {
        dataLink_->SetBufferCount(VisibleDataRowCount());
        rows = titleOffset_ + std::max(1, dataLink_->RecordCount());
    }
    const bool wasInLayout = inLayout_;
    inLayout_ = true;
    if (rows != RowCount()) SetRowCount(rows);
    if (FixedRows() != titleOffset_) SetFixedRows(titleOffset_);
    if (TopRow() != titleOffset_ && oldTop != titleOffset_) SetTopRow(titleOffset_);
    inLayout_ = wasInLayout;
}

void TDBGrid::updateActive() {
    if (!dataLink_->Active() || inUpdate_) return;
    const int r = titleOffset_ + std::max(0, dataLink_->ActiveRecord());
    if (r != Row() && r < RowCount()) {
        // The editor's text belonged to the record just left (already
        // written by UpdateData); it must not reach the new one.
        ForgetEditorCell();
        if (!dbOptions_.Contains(dgAlwaysShowEditor)) HideEditor();
        const bool wasInLayout = inLayout_;
        inLayout_ = true;
        MoveCurrent(Col(), r, true, false);
        inLayout_ = wasInLayout;
    }
    // The visible rows always fit, so the current row needs no scrolling.
    if (TopRow() != titleOffset_) SetTopRow(titleOffset_);
    InvalidateEditor();
}

void TDBGrid::UpdateScrollRange() {
    TCustomGrid::UpdateScrollRange();
    const TScrollStyle bars = ScrollBars();
    if (bars != ssVertical && bars != ssBoth) return;
    TDataSet* ds = dataLink_ && dataLink_->Active() ? dataLink_->DataSet() : nullptr;
    if (!ds || ds->IsEmpty()) {
        SetScrollRange(sbVertical, 0, 0, 1);
        SetScrollPos(sbVertical, 0);
        return;
    }
    if (ds->IsSequenced()) {
        SetScrollRange(sbVertical, 0, std::max(0, ds->RecordCount() - 1), 1);
        SetScrollPos(sbVertical, std::max(0, ds->RecNo() - 1));
    } else {
        SetScrollRange(sbVertical, 0, 4, 1);
        SetScrollPos(sbVertical, ds->Bof() ? 0 : ds->Eof() ? 4 : 2);
    }
}

// ---- data link reactions

void TDBGrid::LinkActive(bool Active) {
    if (!Active) HideEditor();
    selectedRows_->Clear();
    LayoutChanged();
    if (Active && dbOptions_.Contains(dgAlwaysShowEditor)) ShowEditor();
}

void TDBGrid::DataChanged() {
    if (inLayout_) return;
    updateRowCount();
    updateActive();
    UpdateScrollRange();
    Invalidate();
}

void TDBGrid::EditingChanged() {
    if (indicatorOffset_) InvalidateCell(0, Row());
    if (!dataLink_->Editing()) dataLink_->Reset();
}

void TDBGrid::RecordChanged(TField* Field) {
    if (inLayout_) return;
    InvalidateRow(Row());
    TColumn* c = columnAt(Col());
    if (!inUpdate_ && (!Field || (c && c->Field() == Field))) {
        dataLink_->Reset();
        InvalidateEditor();
    }
}

void TDBGrid::Scroll(int Distance) {
    if (inLayout_) return;
    const int oldRow = Row();
    updateRowCount();
    if (Distance) {
        ForgetEditorCell();
        if (!dbOptions_.Contains(dgAlwaysShowEditor)) HideEditor();
    }
    updateActive();
    UpdateScrollRange();
    if (Distance == 0) {
        InvalidateRow(oldRow);
        InvalidateRow(Row());
        return;
    }
    if (std::abs(Distance) >= VisibleDataRowCount()) {
        Invalidate();
        return;
    }
    // The window moved by Distance rows: move their pixels instead of
    // painting them again; the rows that came in and the cursor rows repaint.
    const int lw = dbOptions_.Contains(dgRowLines) ? GridLineWidth() : 0;
    ScrollData(0, -Distance * (DefaultRowHeight() + lw));
    if (oldRow - Distance >= titleOffset_ && oldRow - Distance < RowCount()) InvalidateRow(oldRow - Distance);
    InvalidateRow(Row());
}

void TDBGrid::UpdateData() {
    if (!dataLink_->Modified() || inUpdate_) return;
    TColumn* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    dataLink_->Reset();
    if (!f) return;
    TDataSet* ds = dataLink_->DataSet();
    if (ds->State() != dsEdit && ds->State() != dsInsert && !dataLink_->Edit()) return;
    // A refused text stays pending, to be corrected in the editor.
    ScopeExit refused([this] { dataLink_->SetModified(true); });
    inUpdate_ = true;
    ScopeExit done([this] { inUpdate_ = false; });
    f->SetText(editText_);
    refused.Dismiss();
}

// ---- editing

std::string TDBGrid::GetEditText(int ACol, int) {
    TColumn* c = columnAt(ACol);
    TField* f = c ? c->Field() : nullptr;
    if (!f) return {};
    return dataLink_->Modified() && ACol == Col() ? editText_ : f->Text();
}

void TDBGrid::SetEditText(int ACol, int, const std::string& Value) {
    TColumn* c = columnAt(ACol);
    TField* f = c ? c->Field() : nullptr;
    if (!f) return;
    if (!dataLink_->Modified() && Value == f->Text()) return;
    editText_ = Value;
    dataLink_->SetModified(true);
    InvalidateCell(ACol, Row());
}

std::string TDBGrid::GetEditMask(int ACol, int) {
    TColumn* c = columnAt(ACol);
    TField* f = c ? c->Field() : nullptr;
    return f ? f->EditMask() : std::string();
}

int TDBGrid::GetEditLimit() {
    TColumn* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    if (f && dynamic_cast<TStringField*>(f)) return f->Size();
    return 0;
}

TEditStyle TDBGrid::GetEditStyle(int ACol, int) {
    TColumn* c = columnAt(ACol);
    if (!c) return esSimple;
    switch (c->ButtonStyle()) {
    case cbsEllipsis: return esEllipsis;
    case cbsAuto: return c->PickList().empty() ? esSimple : esPickList;
    default: return esSimple;
    }
}

std::vector<std::string> TDBGrid::GetPickList(int ACol, int) {
    TColumn* c = columnAt(ACol);
    return c ? c->PickList() : std::vector<std::string>{};
}

void TDBGrid::EditButtonClick() {
    if (OnEditButtonClick) OnEditButtonClick(this);
}

// A value taken from the list is a finished entry, as if typed and
// confirmed: it goes to the field at once.
void TDBGrid::PickListChosen() { UpdateData(); }

bool TDBGrid::CanEditShow() {
    if (!dataLink_->Active() || dbOptions_.Contains(dgRowSelect)) return false;
    TColumn* c = columnAt(Col());
    return c && c->Field() && TCustomGrid::CanEditShow();
}

bool TDBGrid::CanEditModify() {
    if (readOnly_ || !dataLink_->Active() || dataLink_->ReadOnly()) return false;
    TColumn* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    if (!c || c->ReadOnly() || !f || !f->CanModify()) return false;
    if (dataLink_->Editing()) return true;
    return dataLink_->Edit();
}

bool TDBGrid::SelectCell(int ACol, int ARow) {
    if (!inLayout_ && ACol != Col()) ColExit();
    return true;
}

void TDBGrid::ColExit() {
    if (OnColExit) OnColExit(this);
}

void TDBGrid::ColEnter() {
    if (OnColEnter) OnColEnter(this);
}

void TDBGrid::moveToColumn(int gridCol) {
    gridCol = std::clamp(gridCol, indicatorOffset_, ColCount() - 1);
    if (gridCol == Col()) return;
    UpdateData();
    if (!dbOptions_.Contains(dgAlwaysShowEditor)) HideEditor();
    MoveCurrent(gridCol, Row(), true, true);
    if (Col() != lastCol_) {
        lastCol_ = Col();
        ColEnter();
    }
    InvalidateEditor();
}

void TDBGrid::moveRecordBy(int distance, TShiftState shift) {
    if (!dataLink_->Active() || distance == 0) return;
    TDataSet* ds = dataLink_->DataSet();
    UpdateData();
    const bool extend = dbOptions_.Contains(dgMultiSelect) && shift.Contains(ssShift);
    if (extend)
        selectedRows_->SetCurrentRowSelected(true);
    else if (dbOptions_.Contains(dgMultiSelect))
        selectedRows_->Clear();
    // Down from the last record of an editable grid starts a new one; an
    // untouched new record at the end stays where it is.
    const bool canAppend = !readOnly_ && dbOptions_.Contains(dgEditing) && ds->CanModify() && distance > 0;
    const bool untouchedNew = ds->State() == dsInsert && !ds->Modified() && !dataLink_->Modified();
    if (canAppend && untouchedNew && ds->Eof()) return;
    // Up from an untouched new record only drops it: the cursor is back on
    // the record it was started from.
    if (distance < 0 && untouchedNew) {
        ds->Cancel();
        return;
    }
    const int moved = ds->MoveBy(distance);
    if (canAppend && moved == 0 && ds->Eof() && ds->State() == dsBrowse) ds->Append();
    if (extend) selectedRows_->SetCurrentRowSelected(true);
}

void TDBGrid::deleteCurrent() {
    if (readOnly_ || !dataLink_->Active()) return;
    TDataSet* ds = dataLink_->DataSet();
    if (ds->IsEmpty() || !ds->CanModify()) return;
    const bool many = dbOptions_.Contains(dgMultiSelect) && selectedRows_->Count() > 1;
    if (dbOptions_.Contains(dgConfirmDelete)) {
        const char* text = many ? "Delete all selected records?" : "Delete record?";
        if (Application->MessageBox(text, "Confirm", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
    }
    if (many)
        selectedRows_->Delete();
    else
        ds->Delete();
}

// ---- keyboard and mouse

void TDBGrid::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (!Key || !dataLink_->Active()) return;
    TDataSet* ds = dataLink_->DataSet();
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool rowSelect = dbOptions_.Contains(dgRowSelect);
    auto nextVisible = [&](int from, int step) {
        for (int c = from + step; c >= indicatorOffset_ && c < ColCount(); c += step)
            if (ColWidths(c) > 0) return c;
        return -1;
    };
    switch (Key) {
    case VK_UP: moveRecordBy(-1, Shift); break;
    case VK_DOWN: moveRecordBy(1, Shift); break;
    case VK_PRIOR: moveRecordBy(-VisibleDataRowCount(), Shift); break;
    case VK_NEXT: moveRecordBy(VisibleDataRowCount(), Shift); break;
    case VK_HOME:
        if (ctrl || rowSelect) {
            UpdateData();
            ds->First();
        } else if (int c = nextVisible(indicatorOffset_ - 1, 1); c >= 0) {
            moveToColumn(c);
        }
        break;
    case VK_END:
        if (ctrl || rowSelect) {
            UpdateData();
            ds->Last();
        } else if (int c = nextVisible(ColCount(), -1); c >= 0) {
            moveToColumn(c);
        }
        break;
    case VK_LEFT:
        if (rowSelect)
            moveRecordBy(-1, Shift);
        else if (int c = nextVisible(Col(), -1); c >= 0)
            moveToColumn(c);
        break;
    case VK_RIGHT:
        if (rowSelect)
            moveRecordBy(1, Shift);
        else if (int c = nextVisible(Col(), 1); c >= 0)
            moveToColumn(c);
        break;
    case VK_TAB: {
        if (!dbOptions_.Contains(dgTabs) || Shift.Contains(ssAlt)) return;
        const bool back = Shift.Contains(ssShift);
        int c = nextVisible(Col(), back ? -1 : 1);
        if (c >= 0 && !rowSelect) {
            moveToColumn(c);
        } else if (back ? !ds->Bof() && ds->RecNo() != 1 : !ds->Eof() && ds->RecNo() != ds->RecordCount()) {
            moveRecordBy(back ? -1 : 1, {});
            if (!rowSelect) {
                int wrap = back ? nextVisible(ColCount(), -1) : nextVisible(indicatorOffset_ - 1, 1);
                if (wrap >= 0) moveToColumn(wrap);
            }
        }
        break;
    }
    case VK_DELETE:
        if (!ctrl) return;
        deleteCurrent();
        break;
    case VK_INSERT:
        if (!Shift.Empty() || readOnly_ || !dbOptions_.Contains(dgEditing) || !ds->CanModify()) return;
        UpdateData();
        ds->Insert();
        break;
    case VK_ESCAPE:
        if (dataLink_->Modified()) {
            dataLink_->Reset();
            InvalidateEditor();
        } else if (ds->State() == dsEdit || ds->State() == dsInsert) {
            ds->Cancel();
        }
        if (!dbOptions_.Contains(dgAlwaysShowEditor)) HideEditor();
        selectedRows_->Clear();
        break;
    case VK_F2: SetEditorMode(true); break;
    default: return;
    }
    Key = 0;
}

void TDBGrid::KeyPress(char32_t& Key) {
    if (Key == '\r' && EditorMode() && dataLink_->Modified()) {
        TCustomGrid::KeyPress(Key);
        UpdateData();
        return;
    }
    TCustomGrid::KeyPress(Key);
}

void TDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    titleClickCol_ = -1;
    if (!dataLink_->Active()) {
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    TGridState st;
    int idx, pos, ofs;
    const TGridCoord cell = MouseCoord(X, Y);
    const bool sizing = CalcSizingState(X, Y, st, idx, pos, ofs);
    if (sizing || cell.X < 0 || cell.Y < titleOffset_) {
        if (!sizing && cell.X >= indicatorOffset_ && cell.Y >= 0 && cell.Y < titleOffset_) titleClickCol_ = cell.X;
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    HideEdit();
    if (CanFocus() && !IsActiveControl()) SetFocus();
    const bool wasCurrent = cell.X == Col() && cell.Y == Row();
    TDataSet* ds = dataLink_->DataSet();
    const int distance = cell.Y - titleOffset_ - dataLink_->ActiveRecord();
    if (distance) {
        UpdateData();
        ds->MoveBy(distance);
    }
    if (dbOptions_.Contains(dgMultiSelect)) {
        if (Shift.Contains(ssCtrl))
            selectedRows_->SetCurrentRowSelected(!selectedRows_->CurrentRowSelected());
        else {
            selectedRows_->Clear();
            selectedRows_->SetCurrentRowSelected(true);
        }
    }
    if (cell.X >= indicatorOffset_) moveToColumn(cell.X);
    if (Button == mbLeft) {
        if ((wasCurrent || dbOptions_.Contains(dgAlwaysShowEditor)) && !Shift.Contains(ssDouble)) ShowEditor();
        CellClick(columnAt(Col()));
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const int titleCol = titleClickCol_;
    titleClickCol_ = -1;
    TCustomGrid::MouseUp(Button, Shift, X, Y);
    if (titleCol >= 0 && Button == mbLeft) {
        const TGridCoord cell = MouseCoord(X, Y);
        if (cell.X == titleCol && cell.Y >= 0 && cell.Y < titleOffset_) TitleClick(columnAt(titleCol));
    }
}

bool TDBGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (OnMouseWheel) {
        bool handled = false;
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
        if (handled) return true;
    }
    if (dataLink_->Active()) moveRecordBy(WheelDelta < 0 ? 1 : -1, {});
    return true;
}

void TDBGrid::TimedScroll(bool Left, bool Right, bool Up, bool Down) {
    if (!dataLink_->Active()) return;
    if (Up) moveRecordBy(-1, {});
    if (Down) moveRecordBy(1, {});
    if (Left && Col() > indicatorOffset_) moveToColumn(Col() - 1);
    if (Right && Col() < ColCount() - 1) moveToColumn(Col() + 1);
}

void TDBGrid::ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) {
    if (Kind != sbVertical || !dataLink_->Active()) {
        TCustomGrid::ScrollBarChanged(Kind, Code, Pos);
        return;
    }
    if (CanFocus() && !IsActiveControl()) SetFocus();
    TDataSet* ds = dataLink_->DataSet();
    UpdateData();
    switch (Code) {
    case scLineUp: ds->MoveBy(-1); break;
    case scLineDown: ds->MoveBy(1); break;
    case scPageUp: ds->MoveBy(-VisibleDataRowCount()); break;
    case scPageDown: ds->MoveBy(VisibleDataRowCount()); break;
    case scTop: ds->First(); break;
    case scBottom: ds->Last(); break;
    case scTrack:
        if (!TCustomGrid::Options().Contains(goThumbTracking)) break;
        [[fallthrough]];
    case scPosition:
        if (ds->IsSequenced())
            ds->SetRecNo(Pos + 1);
        else if (Pos <= 0)
            ds->First();
        else if (Pos >= 4)
            ds->Last();
        break;
    default: break;
    }
    UpdateScrollRange();
}

void TDBGrid::CellClick(TColumn* Column) {
    if (OnCellClick) OnCellClick(Column);
}

void TDBGrid::TitleClick(TColumn* Column) {
    if (OnTitleClick) OnTitleClick(Column);
}

bool TDBGrid::BeginColumnDrag(int& Origin, int& Destination, TPoint) { return Origin >= indicatorOffset_; }

bool TDBGrid::CheckColumnDrag(int& Origin, int& Destination, TPoint) { return Destination >= indicatorOffset_; }

void TDBGrid::ColumnMoved(int FromIndex, int ToIndex) {
    titleClickCol_ = -1;
    columns_->move(FromIndex - indicatorOffset_, ToIndex - indicatorOffset_);
    if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TDBGrid::ColWidthsChanged() {
    if (!inLayout_) {
        for (int i = 0; i < columns_->Count(); ++i) {
            const int w = ColWidths(i + indicatorOffset_);
            if (w > 0) columns_->items_[size_t(i)]->width_ = w;
        }
    }
    TCustomGrid::ColWidthsChanged();
}

void TDBGrid::ClientResized() {
    TCustomGrid::ClientResized();
    if (!inLayout_ && dataLink_) {
        updateRowCount();
        updateActive();
        UpdateScrollRange();
        Invalidate();
    }
}

void TDBGrid::DoExit() {
    const bool toEditor = InplaceEditor() && InplaceEditor()->Focused();
    if (!toEditor && dataLink_->Active()) {
        TDataSet* ds = dataLink_->DataSet();
        if (dbOptions_.Contains(dgCancelOnExit) && ds->State() == dsInsert && !ds->Modified() && !dataLink_->Modified())
            ds->Cancel();
        else
            UpdateData();
    }
    TCustomGrid::DoExit();
}

void TDBGrid::FontChanged() {
    TCustomGrid::FontChanged();
    LayoutChanged();
}

// ---- painting

void TDBGrid::drawIndicator(const TRect& r, int dataRow) {
    if (!dataLink_->Active() || dataRow != dataLink_->ActiveRecord()) return;
    TCanvas* c = Canvas();
    const TDataSetState st = dataLink_->DataSet()->State();
    const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    if (st == dsInsert) {
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(clBlack);
        c->TextOut(cx - c->TextWidth("*") / 2, cy - c->TextHeight("*") / 2, "*");
        c->Brush()->SetStyle(bsSolid);
    } else if (st == dsEdit) {
        c->MoveTo(cx, cy - 4);
        c->LineTo(cx, cy + 5);
        c->MoveTo(cx - 2, cy - 4);
        c->LineTo(cx + 3, cy - 4);
        c->MoveTo(cx - 2, cy + 4);
        c->LineTo(cx + 3, cy + 4);
    } else {
        c->Brush()->SetColor(clBlack);
        c->Polygon({{cx - 2, cy - 4}, {cx + 2, cy}, {cx - 2, cy + 4}});
    }
}

void TDBGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas* c = Canvas();
    if (ARow < titleOffset_) {
        TColumn* col = columnAt(ACol);
        if (!col) return;
        c->SetFont(col->Title()->Font());
        c->Brush()->SetColor(col->Title()->Color());
        c->Brush()->SetStyle(bsSolid);
        WriteText(c, ARect, col->Title()->Caption(), col->Title()->Alignment());
        return;
    }
    const int dataRow = ARow - titleOffset_;
    if (ACol < indicatorOffset_) {
        drawIndicator(ARect, dataRow);
        return;
    }
    TColumn* col = columnAt(ACol);
    if (!col || !dataLink_->Active() || dataRow >= dataLink_->RecordCount()) {
        // No record behind the row (an empty or closed data set): a blank
        // cell, never one that looks selected as if a record were there.
        c->Brush()->SetColor(col ? col->Color() : Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(ARect);
        return;
    }
    const int saved = dataLink_->ActiveRecord();
    dataLink_->SetActiveRecord(dataRow);
    ScopeExit restore([&] { dataLink_->SetActiveRecord(saved); });
    bool highlight = AState.Contains(gdSelected) && (IsActiveControl() || dbOptions_.Contains(dgAlwaysShowSelection));
    // The row being painted is the data set's record in view here, so
    // every selected row shows as such, not only the current one.
    if (dbOptions_.Contains(dgMultiSelect) && selectedRows_->Count() && selectedRows_->CurrentRowSelected())
        highlight = true;
    c->SetFont(col->Font());
    if (highlight) {
        c->Brush()->SetColor(clHighlight);
        c->Font()->SetColor(clHighlightText);
    } else {
        c->Brush()->SetColor(col->Color());
    }
    c->Brush()->SetStyle(bsSolid);
    if (DefaultDrawing()) DefaultDrawColumnCell(ARect, ACol - indicatorOffset_, col, AState);
    if (OnDrawColumnCell) OnDrawColumnCell(this, ARect, ACol - indicatorOffset_, col, AState);
}

void TDBGrid::DefaultDrawColumnCell(const TRect& Rect, int, TColumn* Column, TGridDrawState State) {
    std::string text;
    if (TField* f = Column ? Column->Field() : nullptr) text = f->DisplayText();
    if (Column && State.Contains(gdFocused) && dataLink_->Modified() && Column == columnAt(Col())) text = editText_;
    WriteText(Canvas(), Rect, text, Column ? Column->Alignment() : taLeftJustify);
}
