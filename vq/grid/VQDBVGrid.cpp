// The record grid, its rows, link and selection. The data column only ever
// shows the link's active record, so nothing here reads another record
// except the deletion of the selected ones.
#include "VQDBVGrid.h"

#include <algorithm>

#include "Dialogs.h"
#include "Forms.h"
#include "SysUtils.h"
#include "vq/controls/VqQueryDate.h"
#include "vq/data/VqFieldLookup.h"

using enum TDBVGridOption;

namespace {

TCanvas* MeasureCanvas(const TFont* font) {
    static TBitmap* bmp = [] {
        auto* b = new TBitmap;
        b->SetSize(1, 1);
        return b;
    }();
    if (font) bmp->Canvas()->Font()->Assign(const_cast<TFont*>(font));
    return bmp->Canvas();
}

bool SameTextCI(const std::string& a, const std::string& b) { return AnsiCompareText(a, b) == 0; }

void WriteText(TCanvas* c, const TRect& r, const std::string& text, TAlignment align, int margin) {
    const int w = c->TextWidth(text);
    int x = r.Left + margin;
    if (align == taRightJustify)
        x = r.Right - w - margin;
    else if (align == taCenter)
        x = r.Left + (r.Width() - w) / 2;
    const int y = r.Top + (r.Height() - c->TextHeight(text)) / 2;
    c->TextRect(r, x, y, text);
}

std::vector<std::string> SplitFieldNames(const std::string& names) {
    std::vector<std::string> out;
    std::string cur;
    for (char ch : names + ";") {
        if (ch == ';') {
            if (!Trim(cur).empty()) out.push_back(Trim(cur));
            cur.clear();
        } else {
            cur += ch;
        }
    }
    return out;
}

bool DateKind(TField* f) { return f && (f->DataType() == ftTime || f->DataType() == ftDateTime); }

} // namespace

// ------------------------------------------------------------ TVColumnTitle

std::string TVColumnTitle::GetCaption() const {
    if (captionAssigned_) return caption_;
    if (TField* f = column_->Field()) return f->DisplayName();
    return column_->FieldName();
}

void TVColumnTitle::SetCaption(const std::string& v) {
    if (column_->writesThrough()) {
        column_->Field()->SetDisplayLabel(v);
        column_->changed();
        return;
    }
    if (captionAssigned_ && caption_ == v) return;
    caption_ = v;
    captionAssigned_ = true;
    column_->changed();
}

void TVColumnTitle::SetAlignment(TAlignment v) {
    alignment_ = v;
    column_->changed();
}

void TVColumnTitle::SetColor(TColor v) {
    color_ = v;
    column_->changed();
}

TFont* TVColumnTitle::Font() const {
    TVQCustomDBVGrid* g = column_->Grid();
    return g ? g->TitleFont() : column_->Font();
}

void TVColumnTitle::RestoreDefaults() {
    caption_.clear();
    captionAssigned_ = false;
    alignment_ = taLeftJustify;
    color_ = clBtnFace;
    column_->changed();
}

// ------------------------------------------------------------ TVColumn

TVColumn::TVColumn(TVQDBVGridColumns* owner, bool generated)
    : TVQColumnCore(generated), owner_(owner), title_(std::make_unique<TVColumnTitle>(this)) {}

TVColumn::~TVColumn() = default;

TVQCustomDBVGrid* TVColumn::Grid() const { return owner_ ? owner_->Grid() : nullptr; }
TVQCustomGrid* TVColumn::hostGrid() const { return Grid(); }

TDataSet* TVColumn::hostDataSet() const {
    TVQCustomDBVGrid* g = Grid();
    return g ? g->DataSet() : nullptr;
}

bool TVColumn::hostReadOnly() const {
    TVQCustomDBVGrid* g = Grid();
    return g && g->ReadOnly();
}

bool TVColumn::linkActive() const {
    TVQCustomDBVGrid* g = Grid();
    return g && g->DataLink()->Active();
}

bool TVColumn::writesThrough() const { return generated_ && linkActive() && Field(); }

int TVColumn::Index() const {
    const auto& items = owner_->items_;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == this) return int(i);
    return -1;
}

void TVColumn::SetIndex(int v) {
    auto& items = owner_->items_;
    const int from = Index();
    if (v < 0 || v >= int(items.size()) || v == from) return;
    // A generated row takes its field along: the data set's field order is
    // what generated rows follow.
    if (writesThrough())
        if (TField* target = items[size_t(v)]->Field()) Field()->SetIndex(target->Index());
    auto c = std::move(items[size_t(from)]);
    items.erase(items.begin() + from);
    items.insert(items.begin() + v, std::move(c));
    changed(true);
}

int TVColumn::DefaultWidth() const {
    TVQCustomDBVGrid* g = Grid();
    if (!g) return 64;
    TField* f = Field();
    return f ? fieldTextWidth(f) : g->DefaultColWidth();
}

int TVColumn::GetWidth() const { return assigned_.Contains(cvWidth) ? width_ : DefaultWidth(); }

void TVColumn::restoreTitleDefaults() { title_->RestoreDefaults(); }

// One row changed repaints that row; a change of the set rebuilds.
void TVColumn::changed(bool all) {
    TVQCustomDBVGrid* g = Grid();
    if (!g) return;
    if (all)
        g->LayoutChanged();
    else if (const int r = Index() + g->IndicatorOffset(); r >= 0 && r < g->RowCount())
        g->InvalidateRow(r);
}

// ------------------------------------------------------------ TVQDBVGridColumns

TVColumn* TVQDBVGridColumns::Add() {
    if (State() == vcsDefault) items_.clear();
    items_.push_back(std::make_unique<TVColumn>(this, false));
    grid_->LayoutChanged();
    return items_.back().get();
}

TVColumn* TVQDBVGridColumns::GetColumn(int i) const {
    if (i < 0 || i >= Count()) throw EListError(Format("List index out of bounds (%d)", i));
    return items_[size_t(i)].get();
}

void TVQDBVGridColumns::Delete(int i) {
    GetColumn(i);
    items_.erase(items_.begin() + i);
    grid_->LayoutChanged();
}

void TVQDBVGridColumns::Clear() {
    items_.clear();
    grid_->LayoutChanged();
}

TVQDBGridColumnsState TVQDBVGridColumns::State() const {
    return !items_.empty() && !items_.front()->Generated() ? vcsCustomized : vcsDefault;
}

// ------------------------------------------------------------ TVGridDataLink

void TVGridDataLink::ActiveChanged() { grid_->LinkActive(Active()); }
void TVGridDataLink::DataSetChanged() { grid_->DataChanged(); }
void TVGridDataLink::DataSetScrolled(int distance) { grid_->Scroll(distance); }
void TVGridDataLink::LayoutChanged() { grid_->LayoutChanged(); }
void TVGridDataLink::EditingChanged() { grid_->EditingChanged(); }
void TVGridDataLink::RecordChanged(TField* field) { grid_->RecordChanged(field); }
void TVGridDataLink::UpdateData() { grid_->UpdateData(); }

// ------------------------------------------------------------ TVBookmarkList

TDataSet* TVBookmarkList::dataSet() const {
    if (!grid_->DataLink()->Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
    return grid_->DataSet();
}

bool TVBookmarkList::CurrentRowSelected() const {
    TDataSet* ds = dataSet();
    if (items_.empty() || ds->IsEmpty()) return false;
    const TBookmark b = ds->GetBookmark();
    return std::any_of(items_.begin(), items_.end(),
                       [&](const TBookmark& m) { return ds->CompareBookmarks(m, b) == 0; });
}

void TVBookmarkList::SetCurrentRowSelected(bool v) {
    TDataSet* ds = dataSet();
    const TBookmark b = ds->GetBookmark();
    if (b.empty()) return;
    auto it = std::find_if(items_.begin(), items_.end(),
                           [&](const TBookmark& m) { return ds->CompareBookmarks(m, b) == 0; });
    if ((it != items_.end()) == v) return;
    if (v)
        items_.push_back(b);
    else
        items_.erase(it);
    grid_->InvalidateRow(grid_->Row());
}

void TVBookmarkList::Clear() {
    if (items_.empty()) return;
    items_.clear();
    grid_->Invalidate();
}

void TVBookmarkList::Delete() {
    TDataSet* ds = dataSet();
    TDisableControls still(ds);
    for (auto it = items_.rbegin(); it != items_.rend(); ++it) {
        if (!ds->BookmarkValid(*it)) continue;
        ds->GotoBookmark(*it);
        ds->Delete();
    }
    items_.clear();
}

// ------------------------------------------------------------ TDBVGridInplaceEdit

TDBVGridInplaceEdit::TDBVGridInplaceEdit(TVQCustomDBVGrid* grid) : TInplaceEdit(grid), grid_(grid) {}

void TDBVGridInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!ListVisible()) {
        if (EditStyle() == esEllipsis && Shift.Empty() && (Key == VK_DOWN || Key == VK_ADD)) {
            grid_->EditButtonClick();
            Key = 0;
            return;
        }
        if (Key == VK_RETURN && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
            grid_->UpdateData();
            grid_->stepRow(Shift.Contains(ssShift));
            Key = 0;
            return;
        }
    }
    TInplaceEdit::KeyDown(Key, Shift);
}

// ------------------------------------------------------------ TVQCustomDBVGrid

TDBVGridOptions TVQCustomDBVGrid::DefaultOptions() {
    return TDBVGridOptions{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                           dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
}

TVQCustomDBVGrid::TVQCustomDBVGrid(TComponent* AOwner)
    : TVQCustomGrid(AOwner), dataLink_(std::make_unique<TVGridDataLink>(this)),
      columns_(std::make_unique<TVQDBVGridColumns>(this)), selectedRows_(std::make_unique<TVBookmarkList>(this)),
      titleFont_(std::make_unique<TFont>()) {
    TCustomGrid::SetDefaultDrawing(false);
    titleFont_->Assign(Font());
    SetScrollBars(ssNone);
    SetColCount(2);
    SetRowCount(2);
    SetDefaultColWidth(120);
    LayoutChanged();
}

TVQCustomDBVGrid::~TVQCustomDBVGrid() {
    DestroyEditor();
    inLayout_ = true;
    dataLink_->SetDataSource(nullptr);
}

TDataSet* TVQCustomDBVGrid::DataSet() const { return dataLink_->DataSource() ? dataLink_->DataSet() : nullptr; }

void TVQCustomDBVGrid::SetDataSource(TDataSource* v) {
    selectedRows_->Clear();
    dataLink_->SetDataSource(v);
    LinkActive(dataLink_->Active());
}

void TVQCustomDBVGrid::SetOptions(TDBVGridOptions v) {
    if (v.Contains(dgRowSelect)) {
        v >> dgEditing;
        v >> dgAlwaysShowEditor;
    }
    if (v == dbOptions_) return;
    if (!v.Contains(dgMultiSelect)) selectedRows_->Clear();
    dbOptions_ = v;
    LayoutChanged();
}

void TVQCustomDBVGrid::SetReadOnly(bool v) {
    readOnly_ = v;
    Invalidate();
}

void TVQCustomDBVGrid::SetTitleFont(const TFont* v) {
    titleFont_->Assign(const_cast<TFont*>(v));
    if (dbOptions_.Contains(dgTitles)) LayoutChanged();
}

void TVQCustomDBVGrid::SetTitlesWidth(int v) {
    if (v == titlesWidth_) return;
    titlesWidth_ = v;
    if (dbOptions_.Contains(dgTitles) && ColCount() > 1) SetColWidths(0, v);
}

void TVQCustomDBVGrid::SetSelectedIndex(int i) { moveToRow(i + indicatorOffset_); }

TField* TVQCustomDBVGrid::GetSelectedField() const {
    TVColumn* c = columnAt(Row());
    return c ? c->Field() : nullptr;
}

TVColumn* TVQCustomDBVGrid::columnAt(int gridRow) const {
    const int i = gridRow - indicatorOffset_;
    return i >= 0 && i < columns_->Count() ? columns_->items_[size_t(i)].get() : nullptr;
}

void TVQCustomDBVGrid::setGridOptions() {
    TGridOptions o{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine};
    if (dbOptions_.Contains(dgColumnResize)) o << goColSizing << goRowMoving;
    if (dbOptions_.Contains(dgTabs)) o << goTabs;
    if (dbOptions_.Contains(dgRowSelect)) o << goRowSelect;
    if (dbOptions_.Contains(dgEditing)) o << goEditing;
    if (dbOptions_.Contains(dgAlwaysShowEditor)) o << goAlwaysShowEditor;
    TCustomGrid::SetOptions(o);
}

void TVQCustomDBVGrid::EndLayout() {
    if (layoutLock_ > 0 && --layoutLock_ == 0) LayoutChanged();
}

// Rows from the columns (generated ones from the visible fields), the two
// grid columns, heights from the fonts; the current row stays where it was
// when it still exists.
void TVQCustomDBVGrid::LayoutChanged() {
    if (inLayout_ || layoutLock_ || !columns_) return;
    inLayout_ = true;
    try {
        const int keepIndex = GetSelectedIndex();
        indicatorOffset_ = dbOptions_.Contains(dgIndicator) ? 1 : 0;
        titleOffset_ = dbOptions_.Contains(dgTitles) ? 1 : 0;
        TDataSet* ds = dataLink_->Active() ? DataSet() : nullptr;
        auto& items = columns_->items_;
        if (columns_->State() == vcsDefault) {
            std::vector<std::unique_ptr<TVColumn>> old = std::move(items);
            items.clear();
            if (ds)
                for (TField* f : ds->Fields()) {
                    if (!f->Visible()) continue;
                    auto it = std::find_if(old.begin(), old.end(), [&](const auto& c) {
                        return c && SameTextCI(c->FieldName(), f->FieldName());
                    });
                    if (it != old.end()) {
                        items.push_back(std::move(*it));
                        continue;
                    }
                    items.push_back(std::make_unique<TVColumn>(columns_.get(), true));
                    items.back()->fieldName_ = f->FieldName();
                }
        } else {
            items.erase(std::remove_if(items.begin(), items.end(), [](const auto& c) { return c->Generated(); }),
                        items.end());
        }
        setGridOptions();
        const int rows = std::max(1, columns_->Count()) + indicatorOffset_;
        if (FixedRows() >= rows) SetFixedRows(0);
        SetRowCount(rows);
        SetFixedRows(indicatorOffset_);
        const int cols = titleOffset_ + 1;
        if (FixedCols() >= cols) SetFixedCols(0);
        SetColCount(cols);
        SetFixedCols(titleOffset_);
        const int lw = dbOptions_.Contains(dgRowLines) ? GridLineWidth() : 0;
        int h = MeasureCanvas(Font())->TextHeight("Wg") + 3 + lw;
        if (h < 20) h = 20;
        if (titleOffset_) {
            int th = MeasureCanvas(titleFont_.get())->TextHeight("Wg") + 4;
            h = std::max(h, th);
        }
        SetDefaultRowHeight(h);
        if (indicatorOffset_) SetRowHeights(0, 0);
        // The title column is as wide as TitlesWidth says, at every layout.
        if (titleOffset_) SetColWidths(0, titlesWidth_);
        SetColWidths(titleOffset_, DefaultColWidth());
        const int target = std::clamp(keepIndex + indicatorOffset_, FixedRows(), RowCount() - 1);
        if (target != Row()) MoveCurrent(Col(), target, true, false);
        if (Col() != titleOffset_) MoveCurrent(titleOffset_, Row(), true, false);
    } catch (...) {
        inLayout_ = false;
        throw;
    }
    inLayout_ = false;
    InvalidateEditor();
    Invalidate();
}

// ---- data link reactions

void TVQCustomDBVGrid::LinkActive(bool Active) {
    if (!Active) HideEditor();
    selectedRows_->Clear();
    LayoutChanged();
    if (Active && dbOptions_.Contains(dgAlwaysShowEditor)) ShowEditor();
}

void TVQCustomDBVGrid::DataChanged() {
    if (inLayout_) return;
    if (!dataLink_->Modified()) InvalidateEditor();
    Invalidate();
}

void TVQCustomDBVGrid::EditingChanged() {
    if (!dataLink_->Editing()) dataLink_->Reset();
    Invalidate();
}

void TVQCustomDBVGrid::RecordChanged(TField* Field) {
    if (inLayout_) return;
    if (Field) {
        for (int i = 0; i < columns_->Count(); ++i)
            if (columns_->items_[size_t(i)]->Field() == Field) InvalidateRow(i + indicatorOffset_);
    } else {
        Invalidate();
    }
    TField* cur = GetSelectedField();
    if (!inUpdate_ && cur && (!Field || Field == cur) && (!dataLink_->Modified() || cur->Text() != editText_)) {
        dataLink_->Reset();
        InvalidateEditor();
    }
}

void TVQCustomDBVGrid::Scroll(int Distance) {
    if (inLayout_) return;
    if (Distance) {
        ForgetEditorCell();
        if (!dbOptions_.Contains(dgAlwaysShowEditor)) HideEditor();
        InvalidateEditor();
    }
    Invalidate();
}

void TVQCustomDBVGrid::UpdateData() {
    if (!dataLink_->Modified() || inUpdate_) return;
    TField* f = GetSelectedField();
    dataLink_->Reset();
    if (!f) return;
    TDataSet* ds = DataSet();
    if (ds->State() != dsEdit && ds->State() != dsInsert && !dataLink_->Edit()) return;
    inUpdate_ = true;
    try {
        f->SetText(editText_);
    } catch (...) {
        inUpdate_ = false;
        dataLink_->SetModified(true);
        throw;
    }
    inUpdate_ = false;
}

// ---- editing

std::string TVQCustomDBVGrid::GetEditText(int, int ARow) {
    TVColumn* c = columnAt(ARow);
    TField* f = c ? c->Field() : nullptr;
    if (!f) return {};
    return dataLink_->Modified() && ARow == Row() ? editText_ : f->Text();
}

void TVQCustomDBVGrid::SetEditText(int, int ARow, const std::string& Value) {
    TVColumn* c = columnAt(ARow);
    TField* f = c ? c->Field() : nullptr;
    if (!f) return;
    if (!dataLink_->Modified() && Value == f->Text()) return;
    editText_ = Value;
    dataLink_->SetModified(true);
    InvalidateCell(titleOffset_, ARow);
}

std::string TVQCustomDBVGrid::GetEditMask(int, int ARow) {
    TVColumn* c = columnAt(ARow);
    TField* f = c ? c->Field() : nullptr;
    return f ? f->EditMask() : std::string();
}

int TVQCustomDBVGrid::GetEditLimit() {
    TField* f = GetSelectedField();
    if (f && dynamic_cast<TStringField*>(f)) return f->Size();
    return 0;
}

// cbsEllipsis shows the button; cbsAuto drops a list for a lookup field or
// a pick list.
TEditStyle TVQCustomDBVGrid::GetEditStyle(int, int ARow) {
    TVColumn* c = columnAt(ARow);
    if (!c) return esSimple;
    switch (c->ButtonStyle()) {
    case TVQColumnButtonStyle::cbsEllipsis: return esEllipsis;
    case TVQColumnButtonStyle::cbsAuto:
        if (TField* f = c->Field(); f && f->Lookup()) return esPickList;
        return c->GetPickList()->empty() ? esSimple : esPickList;
    default: return esSimple;
    }
}

std::vector<std::string> TVQCustomDBVGrid::GetPickList(int, int ARow) {
    TVColumn* c = columnAt(ARow);
    if (!c) return {};
    TField* f = c->Field();
    if (c->GetPickList()->empty() && f && f->Lookup() && f->LookupDataSet()) {
        std::vector<std::string> items;
        TDataSet* lds = f->LookupDataSet();
        if (TField* rf = lds->FindField(f->LookupResultField())) {
            const TBookmark b = lds->GetBookmark();
            TDisableControls still(lds);
            for (lds->First(); !lds->Eof(); lds->Next()) items.push_back(rf->AsString());
            if (!b.empty()) lds->GotoBookmark(b);
        }
        return items;
    }
    return *c->GetPickList();
}

void TVQCustomDBVGrid::EditButtonClick() {
    if (OnEditButtonClick) {
        OnEditButtonClick(this);
        return;
    }
    if (readOnly_) return;
    TField* f = GetSelectedField();
    if (!f) return;
    if (DateKind(f))
        SelectFieldDate(f, this);
    else
        ShowFieldLookup(this);
}

TInplaceEdit* TVQCustomDBVGrid::CreateEditor() { return new TDBVGridInplaceEdit(this); }

void TVQCustomDBVGrid::PickListChosen() { UpdateData(); }

bool TVQCustomDBVGrid::CanEditShow() {
    if (layoutLock_ || !dataLink_->Active() || dbOptions_.Contains(dgRowSelect)) return false;
    TField* f = GetSelectedField();
    return f && f->DataType() != ftBoolean && TCustomGrid::CanEditShow();
}

bool TVQCustomDBVGrid::CanEditModify() {
    if (readOnly_ || !dataLink_->Active() || dataLink_->ReadOnly()) return false;
    TVColumn* c = columnAt(Row());
    TField* f = c ? c->Field() : nullptr;
    if (!c || c->ReadOnly() || !f || !f->CanModify()) return false;
    if (IsBlobKind(f->DataType()) && !f->OnSetText) return false;
    if (dataLink_->Editing()) return true;
    return dataLink_->Edit();
}

bool TVQCustomDBVGrid::CanEditAcceptKey(char32_t Key) {
    TField* f = GetSelectedField();
    return dataLink_->Active() && f && f->DataType() != ftBoolean && f->IsValidChar(Key);
}

// A row stepped onto by Enter or Tab: its field can take a value.
bool TVQCustomDBVGrid::fieldEditable(const TVColumn* c) const {
    if (!c || c->ReadOnly() || !dataLink_->Active()) return false;
    TField* f = c->Field();
    if (!f || f->Calculated() || f->ReadOnly()) return false;
    if (f->Lookup()) {
        TDataSet* ds = DataSet();
        for (const std::string& k : SplitFieldNames(f->KeyFields()))
            if (TField* kf = ds->FindField(k); !kf || kf->ReadOnly()) return false;
    }
    return true;
}

bool TVQCustomDBVGrid::rowExitAllowed() {
    if (inRowExit_ || !OnColExit) return true;
    inRowExit_ = true;
    bool can = true;
    try {
        OnColExit(this, can);
    } catch (...) {
        inRowExit_ = false;
        throw;
    }
    inRowExit_ = false;
    return can;
}

bool TVQCustomDBVGrid::moveToRow(int gridRow) {
    UpdateData();
    gridRow = std::clamp(gridRow, FixedRows(), RowCount() - 1);
    if (gridRow == Row()) return true;
    const int before = Row();
    if (!rowExitAllowed()) return false;
    if (Row() != before) return false;
    if (!dbOptions_.Contains(dgAlwaysShowEditor)) HideEditor();
    MoveCurrent(titleOffset_, gridRow, true, true);
    if (OnColEnter) OnColEnter(this);
    InvalidateEditor();
    return true;
}

// The gated record moves: with the editor shown only dmNext lets the record
// change (after the exit check), without it only dmAppend; past the last
// record dmAppend also appends one.
bool TVQCustomDBVGrid::recordMove(int distance, TShiftState shift) {
    if (!dataLink_->Active() || distance == 0) return false;
    TDataSet* ds = DataSet();
    const bool multi = dbOptions_.Contains(dgMultiSelect);
    if (multi) {
        if (shift.Contains(ssShift) && !ds->IsEmpty()) {
            if (!selecting_) {
                selectionAnchor_ = ds->GetBookmark();
                selecting_ = true;
                selectedRows_->SetCurrentRowSelected(true);
            }
        } else {
            selecting_ = false;
            selectedRows_->Clear();
        }
    }
    const bool untouchedNew = ds->State() == dsInsert && !ds->Modified() && !dataLink_->Modified();
    auto gatedMove = [&]() -> bool {
        const bool editorShown = EditorMode() && InplaceEditor() && InplaceEditor()->Visible();
        if (editorShown) {
            UpdateData();
            if (!rowExitAllowed()) return false;
            if (!gridMode_.Contains(dmNext)) return false;
        } else if (!gridMode_.Contains(dmAppend)) {
            return false;
        }
        UpdateData();
        return ds->MoveBy(distance) != 0 || (distance > 0 && ds->Eof());
    };
    bool moved = false;
    if (distance > 0) {
        if (untouchedNew) {
            ds->Cancel();
            return true;
        }
        moved = gatedMove();
        if (moved && ds->Eof()) {
            if (!readOnly_ && dbOptions_.Contains(dgEditing) && ds->CanModify()) {
                if (gridMode_.Contains(dmAppend)) ds->Append();
                HideEditor();
                MoveCurrent(titleOffset_, Row(), true, false);
                if (OnColEnter) OnColEnter(this);
            }
        }
    } else {
        if (untouchedNew && ds->Eof()) {
            ds->Cancel();
            return true;
        }
        moved = gatedMove();
    }
    if (moved && multi && selecting_) selectedRows_->SetCurrentRowSelected(true);
    return moved;
}

// Enter and Tab: the next row whose field takes a value; past the last
// row the record moves on (when the mode lets it) and the search goes on
// from the first row, and back with Shift.
void TVQCustomDBVGrid::stepRow(bool back) {
    if (!dataLink_->Active()) return;
    const int first = FixedRows();
    const int last = RowCount() - 1;
    const int start = Row();
    const int step = back ? -1 : 1;
    int r = start;
    for (int guard = 0; guard <= 2 * (last - first + 2); ++guard) {
        r += step;
        if (r > last) {
            recordMove(1, {});
            r = first;
        } else if (r < first) {
            recordMove(-1, {});
            r = last;
        }
        if (fieldEditable(columnAt(r))) {
            if (r != Row())
                moveToRow(r);
            else
                InvalidateEditor();
            return;
        }
        if (r == start) return;
    }
}

bool TVQCustomDBVGrid::DeleteRecords() {
    if (readOnly_ || !gridMode_.Contains(dmDelete) || !dataLink_->Active()) return false;
    TDataSet* ds = DataSet();
    if (ds->IsEmpty() || !ds->CanModify()) return false;
    const int selected = dbOptions_.Contains(dgMultiSelect) ? selectedRows_->Count() : 0;
    if (dbOptions_.Contains(dgConfirmDelete) &&
        MessageDlg(selected < 2 ? "Delete record?" : "Delete all selected records?", mtConfirmation,
                   TMsgDlgButtons{mbOK, mbCancel}) != mrOk)
        return false;
    if (selected > 0)
        selectedRows_->Delete();
    else
        ds->Delete();
    Invalidate();
    return true;
}

void TVQCustomDBVGrid::toggleBoolean() {
    TField* f = GetSelectedField();
    if (!f || f->DataType() != ftBoolean || !CanEditModify()) return;
    f->SetAsBoolean(f->IsNull() ? true : !f->AsBoolean());
}

// ---- keyboard and mouse

void TVQCustomDBVGrid::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (!Key || !dataLink_->Active()) return;
    TDataSet* ds = DataSet();
    const bool multi = dbOptions_.Contains(dgMultiSelect);
    const bool rowSelect = dbOptions_.Contains(dgRowSelect);
    if (Shift.Contains(ssCtrl)) {
        switch (Key) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            if (multi) selectedRows_->Clear();
            break;
        default: break;
        }
        switch (Key) {
        case VK_PRIOR:
        case VK_LEFT:
        case VK_NEXT:
        case VK_RIGHT:
            // The first or last record of the buffer: the data column holds
            // one record, the current one.
            break;
        case VK_HOME:
            UpdateData();
            ds->First();
            break;
        case VK_END:
            UpdateData();
            ds->Last();
            break;
        case VK_UP: moveToRow(FixedRows()); break;
        case VK_DOWN: moveToRow(RowCount() - 1); break;
        case VK_DELETE: DeleteRecords(); break;
        default: return;
        }
        Key = 0;
        return;
    }
    // A Boolean row has no editor: its keys stay here.
    switch (Key) {
    case VK_TAB:
        if (Shift.Contains(ssAlt)) return;
        stepRow(Shift.Contains(ssShift));
        break;
    case VK_RETURN:
        // The Enter character that follows may open the editor on the row
        // reached (the core's key press).
        stepRow(Shift.Contains(ssShift));
        return;
    case VK_ESCAPE:
        if (dataLink_->Modified()) {
            dataLink_->Reset();
            InvalidateEditor();
        } else if (ds->State() == dsEdit || ds->State() == dsInsert) {
            ds->Cancel();
        }
        if (multi) selectedRows_->Clear();
        if (!dbOptions_.Contains(dgAlwaysShowEditor)) HideEditor();
        break;
    case VK_PRIOR:
    case VK_NEXT:
        if (multi) selectedRows_->Clear();
        UpdateData();
        ds->MoveBy(Key == VK_NEXT ? 1 : -1);
        break;
    case VK_HOME:
    case VK_END:
        if (rowSelect || columns_->Count() == 1) {
            if (multi) selectedRows_->Clear();
            UpdateData();
            if (Key == VK_HOME)
                ds->First();
            else
                ds->Last();
        } else {
            moveToRow(Key == VK_HOME ? FixedRows() : RowCount() - 1);
        }
        break;
    case VK_LEFT: recordMove(-1, Shift); break;
    case VK_RIGHT: recordMove(1, Shift); break;
    case VK_UP:
        if (rowSelect)
            recordMove(-1, {});
        else
            moveToRow(Row() - 1);
        break;
    case VK_DOWN:
        if (GetEditStyle(Col(), Row()) == esEllipsis && EditorMode()) {
            EditButtonClick();
            break;
        }
        if (rowSelect)
            recordMove(1, {});
        else
            moveToRow(Row() + 1);
        break;
    case VK_INSERT:
        if (!Shift.Empty() || readOnly_ || !dbOptions_.Contains(dgEditing) || !ds->CanModify()) return;
        if (multi) selectedRows_->Clear();
        if (gridMode_.Contains(dmInsert)) {
            UpdateData();
            ds->Insert();
        }
        break;
    case VK_ADD:
        // Keypad "+" on a button row opens the field's input help.
        if (GetEditStyle(Col(), Row()) == esEllipsis) EditButtonClick();
        break;
    case VK_F2: SetEditorMode(true); break;
    default: return;
    }
    Key = 0;
}

void TVQCustomDBVGrid::KeyPress(char32_t& Key) {
    if (dataLink_->Active()) {
        TField* f = GetSelectedField();
        if (f && f->DataType() == ftBoolean) {
            // Space ticks a Boolean row; nothing is ever typed into one.
            if (Key == U' ') toggleBoolean();
            if (Key != U'\r') {
                Key = 0;
                return;
            }
        }
    }
    if (Key == U'\r' && !dbOptions_.Contains(dgAlwaysShowEditor)) UpdateData();
    TVQCustomGrid::KeyPress(Key);
}

void TVQCustomDBVGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    titleClickRow_ = -1;
    if (!dataLink_->Active()) {
        TVQCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (CanFocus() && !IsActiveControl()) SetFocus();
    if (!IsActiveControl()) return;
    const TGridCoord cell = MouseCoord(X, Y);
    TGridState st;
    int idx, pos, ofs;
    if (CalcSizingState(X, Y, st, idx, pos, ofs) || cell.X < 0 || cell.Y < 0 ||
        (cell.X < titleOffset_ && dbOptions_.Contains(dgColumnResize))) {
        if (cell.X >= 0 && cell.X < titleOffset_ && cell.Y >= indicatorOffset_) titleClickRow_ = cell.Y;
        UpdateData();
        TVQCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (cell.X < titleOffset_) titleClickRow_ = cell.Y;
    const bool wasCurrent = cell.Y == Row();
    HideEdit();
    if (cell.Y >= indicatorOffset_ && cell.Y != Row() && !moveToRow(cell.Y)) return;
    TDataSet* ds = DataSet();
    if (dbOptions_.Contains(dgMultiSelect) && !ds->IsEmpty()) {
        selecting_ = false;
        if (Shift.Contains(ssCtrl))
            selectedRows_->SetCurrentRowSelected(!selectedRows_->CurrentRowSelected());
        else {
            selectedRows_->Clear();
            selectedRows_->SetCurrentRowSelected(true);
        }
    }
    if (Button == mbLeft && cell.X >= titleOffset_) {
        TField* f = GetSelectedField();
        if (wasCurrent && f && f->DataType() == ftBoolean && !Shift.Contains(ssDouble))
            toggleBoolean();
        else if ((wasCurrent || dbOptions_.Contains(dgAlwaysShowEditor)) && !Shift.Contains(ssDouble))
            ShowEditor();
        else
            InvalidateEditor();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TVQCustomDBVGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const int titleRow = titleClickRow_;
    titleClickRow_ = -1;
    const bool wasSizing = GridState() == gsColSizing || GridState() == gsRowSizing;
    TVQCustomGrid::MouseUp(Button, Shift, X, Y);
    if (wasSizing) return;
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.Y < indicatorOffset_) return;
    TVColumn* c = columnAt(cell.Y);
    if (Button == mbRight) {
        if (c && c->PopupMenu && c->PopupMenu->AutoPopup()) {
            const TPoint p = ClientToScreen({X, Y});
            c->PopupMenu->SetPopupComponent(this);
            c->PopupMenu->Popup(p.X, p.Y);
        }
        return;
    }
    if (Button != mbLeft) return;
    if (titleRow >= 0) {
        if (cell.X < titleOffset_ && cell.Y == titleRow && OnTitleClick) OnTitleClick(c);
        return;
    }
    if (cell.X >= titleOffset_ && OnCellClick) OnCellClick(CurrentColumn());
}

bool TVQCustomDBVGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (OnMouseWheel) {
        bool handled = false;
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
        if (handled) return true;
    }
    moveToRow(Row() + (WheelDelta < 0 ? 1 : -1));
    return true;
}

bool TVQCustomDBVGrid::BeginRowDrag(int& Origin, int&, TPoint) { return Origin >= FixedRows(); }

bool TVQCustomDBVGrid::CheckRowDrag(int&, int& Destination, TPoint) { return Destination >= FixedRows(); }

void TVQCustomDBVGrid::RowMoved(int FromIndex, int ToIndex) {
    const int from = FromIndex - indicatorOffset_, to = ToIndex - indicatorOffset_;
    if (from < 0 || to < 0 || from >= columns_->Count() || to >= columns_->Count()) return;
    columns_->items_[size_t(from)]->SetIndex(to);
    if (OnColumnMoved) OnColumnMoved(this, from, to);
}

// The operator sized the data column: every row takes the new width, and
// the grid's default follows it.
void TVQCustomDBVGrid::ColWidthsChanged() {
    TVQCustomGrid::ColWidthsChanged();
    if (inLayout_ || ColCount() <= titleOffset_) return;
    if (titleOffset_ && ColWidths(0) != titlesWidth_) titlesWidth_ = ColWidths(0);
    const int w = ColWidths(titleOffset_);
    if (w <= 0 || w == DefaultColWidth()) return;
    inLayout_ = true;
    SetDefaultColWidth(w);
    for (auto& c : columns_->items_) c->SetWidth(w);
    inLayout_ = false;
}

void TVQCustomDBVGrid::DoEnter() {
    TVQCustomGrid::DoEnter();
    Invalidate();
}

// Leaving writes the pending text; with dgCancelOnExit an untouched new
// record goes.
void TVQCustomDBVGrid::DoExit() {
    try {
        if (dataLink_->Active()) {
            UpdateData();
            TDataSet* ds = DataSet();
            if (dbOptions_.Contains(dgCancelOnExit) && ds->State() == dsInsert && !ds->Modified() &&
                !dataLink_->Modified())
                ds->Cancel();
        }
    } catch (...) {
        TVQCustomGrid::DoExit();
        throw;
    }
    TVQCustomGrid::DoExit();
    Invalidate();
}

void TVQCustomDBVGrid::FontChanged() {
    TVQCustomGrid::FontChanged();
    titleFont_->Assign(Font());
    LayoutChanged();
}

// ---- painting

void TVQCustomDBVGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    if (ARow < indicatorOffset_) {
        c->Brush()->SetColor(FixedColor());
        c->FillRect(ARect);
        return;
    }
    TVColumn* col = columnAt(ARow);
    const bool bothLines = dbOptions_.Contains(dgColLines) && dbOptions_.Contains(dgRowLines);
    if (ACol < titleOffset_) {
        TRect r = ARect;
        c->Brush()->SetColor(col ? col->Title()->Color() : FixedColor());
        c->FillRect(r);
        if (bothLines && !dbOptions_.Contains(dgReceiptMode)) {
            TRect e = r;
            c->DrawEdge(e, BDR_RAISEDINNER, BF_RECT);
            r.Left += 1;
            r.Top += 1;
            r.Right -= 1;
            r.Bottom -= 1;
        }
        if (!col) return;
        c->SetFont(col->Title()->Font());
        c->Brush()->SetStyle(bsClear);
        WriteText(c, r, col->Title()->GetCaption(), col->Title()->Alignment(), bothLines ? 1 : 2);
        c->Brush()->SetStyle(bsSolid);
        return;
    }
    TField* f = col ? col->Field() : nullptr;
    if (!col || !dataLink_->Active()) {
        c->Brush()->SetColor(col ? col->Color() : Color());
        c->FillRect(ARect);
        return;
    }
    const bool multiSelected =
        dbOptions_.Contains(dgMultiSelect) && selectedRows_->Count() && selectedRows_->CurrentRowSelected();
    const bool highlight =
        multiSelected || (AState.Contains(gdSelected) && (IsActiveControl() || dbOptions_.Contains(dgAlwaysShowSelection)));
    std::string text = f ? f->DisplayText() : std::string();
    if (f && ARow == Row() && dataLink_->Modified()) text = editText_;
    c->SetFont(col->Font());
    TColor back = col->Color(), fore = col->Font()->Color();
    if (highlight) {
        back = clHighlight;
        fore = clHighlightText;
    }
    if (!Enabled()) fore = clGrayText;
    c->Brush()->SetColor(back);
    c->Font()->SetColor(fore);
    if (defaultDrawing_) {
        c->FillRect(ARect);
        if (f && f->DataType() == ftBoolean && ARow == Row()) {
            // The current Boolean row shows its check box, centred.
            const int x = ARect.Left + (ARect.Width() - 13) / 2, y = ARect.Top + (ARect.Height() - 13) / 2;
            c->Pen()->SetColor(clBlack);
            c->Pen()->SetWidth(1);
            c->Brush()->SetColor(clWindow);
            c->Rectangle(x, y, x + 13, y + 13);
            if (!f->IsNull() && f->AsBoolean()) {
                c->Pen()->SetWidth(2);
                c->MoveTo(x + 3, y + 6);
                c->LineTo(x + 5, y + 9);
                c->LineTo(x + 10, y + 3);
                c->Pen()->SetWidth(1);
            }
            c->Brush()->SetColor(back);
        } else {
            WriteText(c, ARect, text, col->Alignment(), 2);
        }
        if (AState.Contains(gdFocused) && IsActiveControl() && !dbOptions_.Contains(dgRowSelect))
            c->DrawFocusRect(ARect);
    }
    if (OnDrawColumnCell) OnDrawColumnCell(this, ARect, ACol - titleOffset_, col, AState);
}
