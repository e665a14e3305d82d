// The data grid, its columns, headings, link, selection, title menu and
// find box. Every row shown is one window row of the link's buffer, read by
// setting ActiveRecord for the paint of that row; nothing here walks the
// data set except the title menu's "全部选定" and the exports.
#include "VQDBGrid.h"

#include <algorithm>
#include <chrono>
#include <cctype>

#include "Dialogs.h"
#include "Forms.h"
#include "Gbk.h"
#include "ScopeExit.h"
#include "Sound.h"
#include "VQDBGDlg.h"
#include "SysUtils.h"
#include "vq/controls/VqQueryDate.h"
#include "vq/data/VqFieldLookup.h"
#include "vq/export/VQWordExport.h"

using enum TVQDBGridOption;

namespace {

constexpr int kIndicatorWidth = 20;
constexpr int kHeadingGap = 5;

// Text measurements outside a paint: a canvas over a 1x1 bitmap.
TCanvas* MeasureCanvas(const TFont* font) {
    static TBitmap* bmp = [] {
        auto* b = new TBitmap;
        b->SetSize(1, 1);
        return b;
    }();
    if (font) bmp->Canvas()->Font()->Assign(const_cast<TFont*>(font));
    return bmp->Canvas();
}

TAlignment FromFieldAlignment(TFieldAlignment a) {
    switch (a) {
    case faRightJustify: return taRightJustify;
    case faCenter: return taCenter;
    default: return taLeftJustify;
    }
}

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return s;
}

bool SameTextCI(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

// Data cells 2 pixels in; right-aligned text ends 3 pixels before the edge;
// vertically centred.
void WriteCellText(TCanvas* c, const TRect& r, const std::string& text, TAlignment align, int offset) {
    const int w = c->TextWidth(text);
    int x = r.Left + offset;
    if (align == taRightJustify)
        x = r.Right - w - 3;
    else if (align == taCenter)
        x = r.Left + (r.Width() - w) / 2;
    const int y = r.Top + (r.Height() - c->TextHeight(text)) / 2;
    c->TextRect(r, x, y, text);
}

// A heading's own height: its caption wrapped to (width - 4) pixels + 5.
int CaptionHeight(const std::string& caption, int width, const TFont* font) {
    if (caption.empty()) return 0;
    TCanvas* c = MeasureCanvas(font);
    TRect r{0, 0, std::max(1, width - 4), 0};
    return c->DrawText(caption, -1, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_CENTER) + kHeadingGap;
}

// The first "_"-separated word and the rest; rest is empty without "_".
void SplitFirstWord(const std::string& s, std::string& first, std::string& rest) {
    const auto p = s.find('_');
    if (p == std::string::npos) {
        first = s;
        rest.clear();
    } else {
        first = s.substr(0, p);
        rest = s.substr(p + 1);
    }
}

} // namespace

// ------------------------------------------------------------ TVQCustomGrid

TVQCustomGrid::TVQCustomGrid(TComponent* AOwner) : TCustomGrid(AOwner) {
    SetDefaultRowHeight(30);
    SetBounds(0, 0, 5 * DefaultColWidth(), 5 * DefaultRowHeight());
}

void TVQCustomGrid::KeyPress(char32_t& Key) {
    if (Key == U'+') {
        Key = 0;
        return;
    }
    TCustomGrid::KeyPress(Key);
}

// ------------------------------------------------------------ TVQColumnTitle

std::string TVQColumnTitle::DefaultCaption() const {
    if (TField* f = column_->Field()) return f->DisplayName();
    return column_->FieldName();
}

std::string TVQColumnTitle::GetCaption() const {
    return column_->assigned_.Contains(cvTitleCaption) ? caption_ : DefaultCaption();
}

void TVQColumnTitle::SetCaption(const std::string& v) {
    if (column_->generated_) {
        TVQCustomDBGrid* g = column_->Grid();
        if (TField* f = column_->Field(); f && g && g->DataLink()->Active()) f->SetDisplayLabel(v);
        column_->changed(true);
        return;
    }
    if (column_->assigned_.Contains(cvTitleCaption) && caption_ == v) return;
    caption_ = v;
    column_->assigned_ << cvTitleCaption;
    column_->changed(true);
}

void TVQColumnTitle::SetAlignment(TAlignment v) {
    alignment_ = v;
    column_->assigned_ << cvTitleAlignment;
    column_->changed();
}

TColor TVQColumnTitle::Color() const {
    if (column_->assigned_.Contains(cvTitleColor)) return color_;
    TVQCustomDBGrid* g = column_->Grid();
    return g ? g->FixedColor() : clBtnFace;
}

void TVQColumnTitle::SetColor(TColor v) {
    color_ = v;
    column_->assigned_ << cvTitleColor;
    column_->changed();
}

TFont* TVQColumnTitle::Font() const {
    TVQCustomDBGrid* g = column_->Grid();
    return g ? g->TitleFont() : column_->Font();
}

void TVQColumnTitle::RestoreDefaults() {
    column_->assigned_ >> cvTitleColor;
    column_->assigned_ >> cvTitleCaption;
    column_->assigned_ >> cvTitleAlignment;
    column_->assigned_ >> cvTitleFont;
    caption_.clear();
    alignment_ = taLeftJustify;
    column_->changed(true);
}

// ------------------------------------------------------------ TVQColumnCore

TVQColumnCore::~TVQColumnCore() = default;

void TVQColumnCore::SetFieldName(const std::string& v) {
    fieldName_ = v;
    changed(true);
}

TField* TVQColumnCore::Field() const {
    TDataSet* ds = hostDataSet();
    return ds && ds->Active() && !fieldName_.empty() ? ds->FindField(fieldName_) : nullptr;
}

int TVQColumnCore::fieldTextWidth(TField* f) const {
    return MeasureCanvas(Font())->TextWidth("0") * f->DisplayWidth() + 4;
}

void TVQColumnCore::SetWidth(int v) {
    if (v == -1) return;
    if (generated_) {
        // A generated column also tells its field how wide it shows.
        if (TField* f = Field()) {
            const int avg = std::max(1, MeasureCanvas(Font())->TextWidth("0"));
            f->SetDisplayWidth(std::max(1, (v + avg / 2 - 3) / avg));
        }
    }
    if (v != DefaultWidth() || assigned_.Contains(cvWidth)) {
        width_ = v;
        assigned_ << cvWidth;
    }
    changed();
}

TAlignment TVQColumnCore::Alignment() const {
    if (assigned_.Contains(cvAlignment)) return alignment_;
    if (TField* f = Field()) return FromFieldAlignment(f->Alignment());
    return taLeftJustify;
}

void TVQColumnCore::SetAlignment(TAlignment v) {
    if (writesThrough()) {
        if (TField* f = Field())
            f->SetAlignment(v == taRightJustify ? faRightJustify : v == taCenter ? faCenter : faLeftJustify);
    } else {
        alignment_ = v;
        assigned_ << cvAlignment;
    }
    changed();
}

TColor TVQColumnCore::Color() const {
    if (assigned_.Contains(cvColor)) return color_;
    TVQCustomGrid* g = hostGrid();
    return g ? g->Color() : clWindow;
}

void TVQColumnCore::SetColor(TColor v) {
    color_ = v;
    assigned_ << cvColor;
    changed();
}

TFont* TVQColumnCore::Font() const {
    TVQCustomGrid* g = hostGrid();
    return g ? g->Font() : MeasureCanvas(nullptr)->Font();
}

bool TVQColumnCore::ReadOnly() const {
    if (assigned_.Contains(cvReadOnly)) return readOnly_;
    if (hostReadOnly()) return true;
    TField* f = Field();
    return f && f->ReadOnly();
}

void TVQColumnCore::SetReadOnly(bool v) {
    if (writesThrough()) {
        if (TField* f = Field(); f && linkActive()) f->SetReadOnly(v);
    } else if (v != ReadOnly() || assigned_.Contains(cvReadOnly)) {
        readOnly_ = v;
        assigned_ << cvReadOnly;
    }
    changed();
}

std::vector<std::string>* TVQColumnCore::GetPickList() {
    if (!pickList_) pickList_ = std::make_unique<std::vector<std::string>>();
    return pickList_.get();
}

void TVQColumnCore::SetButtonStyle(TVQColumnButtonStyle v) {
    buttonStyle_ = v;
    changed();
}

void TVQColumnCore::RestoreDefaults() {
    restoreTitleDefaults();
    assigned_ = {};
    pickList_.reset();
    buttonStyle_ = TVQColumnButtonStyle::cbsAuto;
    changed(true);
}

// ------------------------------------------------------------ TVQColumn

TVQColumn::TVQColumn(TVQDBGridColumns* owner, bool stored)
    : TVQColumnCore(!stored), owner_(owner), title_(std::make_unique<TVQColumnTitle>(this)) {}

TVQColumn::~TVQColumn() = default;

TVQCustomDBGrid* TVQColumn::Grid() const { return owner_ ? owner_->Grid() : nullptr; }
TVQCustomGrid* TVQColumn::hostGrid() const { return Grid(); }

TDataSet* TVQColumn::hostDataSet() const {
    TVQCustomDBGrid* g = Grid();
    return g ? g->DataSet() : nullptr;
}

bool TVQColumn::hostReadOnly() const {
    TVQCustomDBGrid* g = Grid();
    return g && g->ReadOnly();
}

bool TVQColumn::linkActive() const {
    TVQCustomDBGrid* g = Grid();
    return g && g->DataLink()->Active();
}

int TVQColumn::Index() const {
    const auto& items = owner_->items_;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == this) return int(i);
    return -1;
}

void TVQColumn::SetIndex(int v) {
    auto& items = owner_->items_;
    const int from = Index();
    if (v < 0 || v >= int(items.size()) || v == from) return;
    auto c = std::move(items[size_t(from)]);
    items.erase(items.begin() + from);
    items.insert(items.begin() + v, std::move(c));
    changed(true);
}

int TVQColumn::DefaultWidth() const {
    TVQCustomDBGrid* g = Grid();
    if (!g) return 64;
    TField* f = Field();
    if (!f) return g->DefaultColWidth();
    int w = fieldTextWidth(f);
    if (g->Options().Contains(dgTitles)) {
        // The title counts only its last heading word: the heading above
        // spans the group.
        std::string caption = title_->GetCaption();
        if (auto p = caption.rfind('_'); p != std::string::npos) caption = caption.substr(p + 1);
        w = std::max(w, MeasureCanvas(title_->Font())->TextWidth(caption) + 4);
    }
    return w;
}

int TVQColumn::GetWidth() const {
    if (!Showing()) return -1;
    return assigned_.Contains(cvWidth) ? width_ : DefaultWidth();
}

void TVQColumn::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    changed(true);
}

void TVQColumn::SetPickList(const std::vector<std::string>* v) {
    if (!v)
        pickList_.reset();
    else
        *GetPickList() = *v;
}

void TVQColumn::restoreTitleDefaults() { title_->RestoreDefaults(); }

void TVQColumn::changed(bool) {
    if (TVQCustomDBGrid* g = Grid()) g->LayoutChanged();
}

// ------------------------------------------------------------ TVQDBGridColumns

TVQColumn* TVQDBGridColumns::Add() {
    if (State() == vcsDefault) items_.clear();
    items_.push_back(std::make_unique<TVQColumn>(this, true));
    grid_->LayoutChanged();
    return items_.back().get();
}

TVQColumn* TVQDBGridColumns::GetColumn(int i) const {
    if (i < 0 || i >= Count()) throw EListError(Format("List index out of bounds (%d)", i));
    return items_[size_t(i)].get();
}

void TVQDBGridColumns::Delete(int i) {
    GetColumn(i);
    items_.erase(items_.begin() + i);
    grid_->LayoutChanged();
}

void TVQDBGridColumns::Clear() {
    items_.clear();
    grid_->LayoutChanged();
}

TVQDBGridColumnsState TVQDBGridColumns::State() const {
    return !items_.empty() && items_.front()->Stored() ? vcsCustomized : vcsDefault;
}

void TVQDBGridColumns::SetState(TVQDBGridColumnsState v) {
    if (v == State()) return;
    if (v == vcsCustomized)
        RebuildColumns();
    else
        Clear();
}

void TVQDBGridColumns::RebuildColumns() {
    items_.clear();
    if (TDataSet* ds = grid_->DataSet(); ds && ds->Active())
        for (TField* f : ds->Fields()) {
            items_.push_back(std::make_unique<TVQColumn>(this, true));
            items_.back()->fieldName_ = f->FieldName();
        }
    grid_->LayoutChanged();
}

// ------------------------------------------------------------ TVQGridDataLink

void TVQGridDataLink::ActiveChanged() {
    grid_->LinkActive(Active());
    modified_ = false;
}
void TVQGridDataLink::DataSetChanged() {
    grid_->DataChanged();
    modified_ = false;
}
void TVQGridDataLink::DataSetScrolled(int distance) { grid_->Scroll(distance); }
void TVQGridDataLink::LayoutChanged() { grid_->LayoutChanged(); }
void TVQGridDataLink::EditingChanged() { grid_->EditingChanged(); }
void TVQGridDataLink::RecordChanged(TField* field) { grid_->RecordChanged(field); }
void TVQGridDataLink::UpdateData() { grid_->UpdateData(); }

// ------------------------------------------------------------ TVQBookmarkList

TDataSet* TVQBookmarkList::dataSet() const {
    if (!grid_->DataLink()->Active()) throw EDatabaseError("Cannot perform this operation on a closed dataset");
    return grid_->DataSet();
}

bool TVQBookmarkList::Find(const TBookmark& b, int& index) const {
    if (b == cacheKey_ && cacheIndex_ >= 0) {
        index = cacheIndex_;
        return cacheFound_;
    }
    TDataSet* ds = grid_->DataSet();
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const int cmp = ds->CompareBookmarks(items_[size_t(mid)], b);
        if (cmp < 0)
            lo = mid + 1;
        else if (cmp > 0)
            hi = mid - 1;
        else {
            lo = mid;
            found = true;
            break;
        }
    }
    index = lo;
    cacheKey_ = b;
    cacheIndex_ = lo;
    cacheFound_ = found;
    return found;
}

bool TVQBookmarkList::CurrentRowSelected() const {
    TDataSet* ds = dataSet();
    if (items_.empty() || ds->IsEmpty()) return false;
    int i;
    return Find(ds->GetBookmark(), i);
}

void TVQBookmarkList::SetCurrentRowSelected(bool v) {
    TDataSet* ds = dataSet();
    const TBookmark b = ds->GetBookmark();
    if (b.empty()) return;
    int i;
    const bool found = Find(b, i);
    if (found == v) return;
    if (v)
        items_.insert(items_.begin() + i, b);
    else
        items_.erase(items_.begin() + i);
    cacheIndex_ = -1;
    cacheKey_.clear();
    grid_->InvalidateRow(grid_->Row());
}

void TVQBookmarkList::Clear() {
    if (items_.empty()) return;
    items_.clear();
    cacheIndex_ = -1;
    cacheKey_.clear();
    grid_->Invalidate();
}

// ------------------------------------------------------------ TFindEdit

TFindEdit::TFindEdit(TVQCustomDBGrid* grid) : TEdit(grid->Owner()), grid_(grid) {
    SetName(grid->Name() + "FindBox");
    SetAutoSelect(false);
    OnChange = [this](TObject*) { grid_->findStep(); };
}

void TFindEdit::KeyDown(Word& Key, TShiftState Shift) {
    switch (Key) {
    // Editing keys stay in the box: a Delete reaching the grid would
    // delete records.
    case VK_HOME:
    case VK_END:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_DELETE:
    case VK_BACK:
    case VK_INSERT: TEdit::KeyDown(Key, Shift); return;
    case VK_RETURN:
    case VK_ESCAPE: return; // handled as characters
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
        Word k = Key;
        grid_->KeyDown(k, {});
        Key = 0;
        return;
    }
    default: TEdit::KeyDown(Key, Shift);
    }
}

void TFindEdit::KeyPress(char32_t& Key) {
    if (Key == U'\r') {
        endMode_ = 1;
        Key = 0;
        grid_->closeFindBox();
        return;
    }
    if (Key == 27) {
        endMode_ = 2;
        Key = 0;
        grid_->closeFindBox();
        return;
    }
    if (Key != 8 && Key >= 32) {
        TField* f = grid_->SelectedField();
        if (f && !f->IsValidChar(Key)) {
            MessageBeep(0);
            Key = 0;
            return;
        }
    }
    TEdit::KeyPress(Key);
}

void TFindEdit::DoExit() {
    TEdit::DoExit();
    if (Visible()) grid_->closeFindBox();
}

// ------------------------------------------------------------ TVQCustomDBGrid

TVQDBGridOptions TVQCustomDBGrid::DefaultOptions() {
    return TVQDBGridOptions{dgEditing,  dgTitles, dgIndicator,     dgColumnResize, dgColLines,
                            dgRowLines, dgTabs,   dgConfirmDelete, dgCancelOnExit};
}

TVQCustomDBGrid::TVQCustomDBGrid(TComponent* AOwner)
    : TVQCustomGrid(AOwner), dataLink_(std::make_unique<TVQGridDataLink>(this)),
      columns_(std::make_unique<TVQDBGridColumns>(this)), selectedRows_(std::make_unique<TVQBookmarkList>(this)),
      titleFont_(std::make_unique<TFont>()) {
    TCustomGrid::SetDefaultDrawing(false);
    titleFont_->Assign(Font());
    SetScrollBars(ssBoth);
    headRoot_.Caption = "根接点";
    headRoot_.Height = 10;
    LayoutChanged();
}

TVQCustomDBGrid::~TVQCustomDBGrid() {
    DestroyEditor();
    inLayout_ = true;
    dataLink_->SetDataSource(nullptr);
}

TDataSet* TVQCustomDBGrid::DataSet() const { return dataLink_->DataSource() ? dataLink_->DataSet() : nullptr; }

void TVQCustomDBGrid::SetDataSource(TDataSource* v) {
    selectedRows_->Clear();
    dataLink_->SetDataSource(v);
    LinkActive(dataLink_->Active());
}

void TVQCustomDBGrid::SetOptions(TVQDBGridOptions v) {
    if (v.Contains(dgRowSelect)) {
        v >> dgEditing;
        v >> dgAlwaysShowEditor;
    }
    if (v == dbOptions_) return;
    if (!v.Contains(dgMultiSelect)) selectedRows_->Clear();
    dbOptions_ = v;
    LayoutChanged();
}

void TVQCustomDBGrid::SetReadOnly(bool v) {
    readOnly_ = v;
    if (v) HideEditor();
    LayoutChanged();
}

void TVQCustomDBGrid::SetTitleFont(const TFont* v) {
    titleFont_->Assign(const_cast<TFont*>(v));
    LayoutChanged();
}

void TVQCustomDBGrid::SetFrozenCols(int v) {
    frozenCols_ = std::max(0, v);
    LayoutChanged();
}

TVQColumn* TVQCustomDBGrid::columnAt(int gridCol) const {
    const int i = gridCol - indicatorOffset_;
    return i >= 0 && i < columns_->Count() ? columns_->items_[size_t(i)].get() : nullptr;
}

int TVQCustomDBGrid::GridColumnOf(const TVQColumn* c) const { return c ? c->Index() + indicatorOffset_ : -1; }

int TVQCustomDBGrid::SelectedIndex() const { return Col() - indicatorOffset_; }

void TVQCustomDBGrid::SetSelectedIndex(int v) { moveToColumn(v + indicatorOffset_); }

TField* TVQCustomDBGrid::SelectedField() const {
    TVQColumn* c = columnAt(Col());
    return c ? c->Field() : nullptr;
}

TVQColumn* TVQCustomDBGrid::FindColumnByFieldName(const std::string& name) const {
    for (const auto& c : columns_->items_)
        if (SameTextCI(c->FieldName(), name)) return c.get();
    return nullptr;
}

TVQColumn* TVQCustomDBGrid::FindColumnByCaption(const std::string& text) const {
    for (const auto& c : columns_->items_)
        if (SameTextCI(c->Title()->GetCaption(), text)) return c.get();
    return nullptr;
}

TVQExportSource TVQCustomDBGrid::ExportSource() const {
    TVQExportSource s;
    s.DataSet = DataSet();
    for (const auto& c : columns_->items_) {
        if (!c->Visible()) continue;
        const int gc = GridColumnOf(c.get());
        const int w = gc < ColCount() ? ColWidths(gc) : c->GetWidth();
        s.Columns.push_back({c->Title()->GetCaption(), c->Field(), w > 0 ? w : c->GetWidth()});
    }
    return s;
}

bool TVQCustomDBGrid::ExportToWord(const std::string& heading, const std::string& footer, TVQCustomDBGrid* source) {
    if (!source) return false;
    TSaveDialog dlg(nullptr);
    dlg.SetDefaultExt("rtf");
    dlg.SetFilter("RTF 文档 (*.rtf)|*.rtf");
    dlg.SetOptions(TOpenOptions{ofOverwritePrompt});
    dlg.SetFileName(source->Name() + ".rtf");
    if (!dlg.Execute()) return false;
    try {
        ExportGridToRtf(source, heading, footer, dlg.FileName());
    } catch (const Exception& e) {
        Application->MessageBox(e.Message, "提示", MB_OK | MB_ICONWARNING);
        return false;
    }
    return true;
}

// ---- layout

void TVQCustomDBGrid::setGridOptions() {
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

int TVQCustomDBGrid::VisibleDataRowCount() const {
    const int lw = dbOptions_.Contains(dgRowLines) ? GridLineWidth() : 0;
    int avail = ClientRect().Height();
    if (titleOffset_ && RowCount() > 0) avail -= RowHeights(0) + lw;
    const int step = std::max(1, DefaultRowHeight() + lw);
    return std::max(1, avail / step);
}

void TVQCustomDBGrid::EndLayout() {
    if (layoutLock_ > 0 && --layoutLock_ == 0) LayoutChanged();
}

// Rebuilds axes, options, widths, heights and headings from the columns,
// the options and the fonts, then puts the current row on the active
// record.
void TVQCustomDBGrid::LayoutChanged() {
    if (inLayout_ || layoutLock_ || !columns_) return;
    inLayout_ = true;
    {
        ScopeExit restore([&] { inLayout_ = false; });
        const int keepIndex = SelectedIndex();
        indicatorOffset_ = dbOptions_.Contains(dgIndicator) ? 1 : 0;
        titleOffset_ = dbOptions_.Contains(dgTitles) ? 1 : 0;
        TDataSet* ds = dataLink_->Active() ? DataSet() : nullptr;
        if (columns_->State() == vcsDefault) {
            // Generated columns follow the data set's visible fields; a
            // column whose field is still there keeps its settings.
            std::vector<std::unique_ptr<TVQColumn>> old = std::move(columns_->items_);
            columns_->items_.clear();
            if (ds)
                for (TField* f : ds->Fields()) {
                    if (!f->Visible()) continue;
                    auto it = std::find_if(old.begin(), old.end(), [&](const auto& c) {
                        return c && SameTextCI(c->FieldName(), f->FieldName());
                    });
                    if (it != old.end()) {
                        columns_->items_.push_back(std::move(*it));
                        continue;
                    }
                    columns_->items_.push_back(std::make_unique<TVQColumn>(columns_.get(), false));
                    columns_->items_.back()->fieldName_ = f->FieldName();
                }
        } else {
            // A customised set keeps only its stored columns.
            auto& items = columns_->items_;
            items.erase(std::remove_if(items.begin(), items.end(), [](const auto& c) { return !c->Stored(); }),
                        items.end());
        }
        setGridOptions();
        const int cols = std::max(indicatorOffset_ + 1, columns_->Count() + indicatorOffset_);
        if (ColCount() < cols) SetColCount(cols);
        // Frozen columns: the first FrozenCols showing data columns, and any
        // hidden ones among them, join the fixed band.
        int frozen = 0;
        for (int seen = 0; frozen < columns_->Count() && seen < frozenCols_; ++frozen)
            if (columns_->items_[size_t(frozen)]->Visible()) ++seen;
        const int fixed = std::min(indicatorOffset_ + frozen, cols - 1);
        if (FixedCols() > fixed) SetFixedCols(fixed);
        SetColCount(cols);
        if (FixedCols() != fixed) SetFixedCols(fixed);
        const int lw = dbOptions_.Contains(dgRowLines) ? GridLineWidth() : 0;
        if (DefaultRowHeight() <= 25) SetDefaultRowHeight(MeasureCanvas(Font())->TextHeight("Wg") + 3 + lw);
        if (DefaultRowHeight() < 20) SetDefaultRowHeight(20);
        if (indicatorOffset_) SetColWidths(0, kIndicatorWidth);
        for (int i = 0; i < columns_->Count(); ++i) {
            TVQColumn* c = columns_->items_[size_t(i)].get();
            SetColWidths(i + indicatorOffset_, c->Visible() ? c->GetWidth() : -1);
            TField* f = c->Field();
            SetTabStops(i + indicatorOffset_,
                        c->Visible() && !c->ReadOnly() && f && !f->Calculated() && !f->ReadOnly() && c->TabStop());
        }
        if (columns_->Count() == 0 && ColCount() > indicatorOffset_) SetColWidths(indicatorOffset_, DefaultColWidth());
        updateRowCount();
        if (titleOffset_) {
            buildHeadings();
            updateRowCount();
        }
        const int target = std::clamp(keepIndex + indicatorOffset_, FixedCols(), ColCount() - 1);
        if (target != Col() && target >= FixedCols()) MoveCurrent(target, Row(), true, false);
        lastCol_ = Col();
        updateActive();
    }
    UpdateScrollRange();
    Invalidate();
}

// The "_" tree: adjacent visible columns whose captions share a first word
// go under one heading with that word, level by level until no caption
// has a "_" left. A column's leaf shows the last word.
void TVQCustomDBGrid::buildHeadings() {
    headRoot_.Children.clear();
    struct Item {
        std::unique_ptr<TVQHeadNode> node;
        std::string rest; // caption still to split
    };
    std::vector<Item> items;
    int pos = 0;
    for (const auto& c : columns_->items_) {
        if (!c->Visible()) continue;
        auto n = std::make_unique<TVQHeadNode>();
        n->Column = c.get();
        n->First = n->Last = pos++;
        n->Width = std::max(0, ColWidths(GridColumnOf(c.get())));
        items.push_back({std::move(n), c->Title()->GetCaption()});
    }
    const int lineW = dbOptions_.Contains(dgColLines) ? GridLineWidth() : 0;
    // Groups one level of siblings; returns the nodes of this level.
    std::function<std::vector<std::unique_ptr<TVQHeadNode>>(std::vector<Item>)> group = [&](std::vector<Item> level) {
        std::vector<std::unique_ptr<TVQHeadNode>> out;
        for (size_t i = 0; i < level.size();) {
            std::string first, rest;
            SplitFirstWord(level[i].rest, first, rest);
            if (rest.empty()) {
                level[i].node->Caption = level[i].rest;
                out.push_back(std::move(level[i].node));
                ++i;
                continue;
            }
            size_t j = i + 1;
            while (j < level.size()) {
                std::string f2, r2;
                SplitFirstWord(level[j].rest, f2, r2);
                if (r2.empty() || f2 != first) break;
                ++j;
            }
            auto head = std::make_unique<TVQHeadNode>();
            head->Caption = first;
            head->First = level[i].node->First;
            head->Last = level[j - 1].node->Last;
            std::vector<Item> members;
            for (size_t k = i; k < j; ++k) {
                head->Width += level[k].node->Width + (k > i ? lineW : 0);
                std::string f2, r2;
                SplitFirstWord(level[k].rest, f2, r2);
                members.push_back({std::move(level[k].node), r2});
            }
            head->Children = group(std::move(members));
            for (auto& ch : head->Children) ch->Parent = head.get();
            out.push_back(std::move(head));
            i = j;
        }
        return out;
    };
    headRoot_.Children = group(std::move(items));
    for (auto& ch : headRoot_.Children) ch->Parent = &headRoot_;
    // Heights: a set is as high as its highest stack; leaves fill their
    // set, a heading keeps what its children's set leaves.
    std::function<int(TVQHeadNode&)> stack = [&](TVQHeadNode& n) {
        int children = 0;
        for (auto& ch : n.Children) children = std::max(children, stack(*ch));
        n.Height = CaptionHeight(n.Caption, n.Width, titleFont_.get());
        return n.Height + children;
    };
    std::function<void(TVQHeadNode&, int)> assign = [&](TVQHeadNode& parent, int setHeight) {
        for (auto& ch : parent.Children) {
            if (ch->Children.empty()) {
                ch->Height = setHeight;
            } else {
                int childSet = 0;
                for (auto& g : ch->Children) childSet = std::max(childSet, stack(*g));
                ch->Height = setHeight - childSet;
                assign(*ch, childSet);
            }
        }
    };
    int total = 0;
    for (auto& ch : headRoot_.Children) total = std::max(total, stack(*ch));
    const int single = MeasureCanvas(titleFont_.get())->TextHeight("Wg") + 4;
    total = std::max(total, single + 1);
    assign(headRoot_, total);
    SetRowHeights(0, total - 1);
}

void TVQCustomDBGrid::updateRowCount() {
    const int oldTop = TopRow();
    int rows = titleOffset_ + 1;
    TDataSet* ds = dataLink_->Active() ? DataSet() : nullptr;
    if (ds && !ds->IsEmpty()) {
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

void TVQCustomDBGrid::updateActive() {
    if (!dataLink_->Active() || inUpdate_) return;
    const int r = titleOffset_ + std::max(0, dataLink_->ActiveRecord());
    if (r != Row() && r < RowCount()) {
        ForgetEditorCell();
        if (!dbOptions_.Contains(dgAlwaysShowEditor)) HideEditor();
        const bool wasInLayout = inLayout_;
        inLayout_ = true;
        MoveCurrent(Col(), r, true, false);
        inLayout_ = wasInLayout;
    }
    if (TopRow() != titleOffset_) SetTopRow(titleOffset_);
    InvalidateEditor();
}

// A sequenced data set: range 1 .. count + visible rows - 1, page = the
// visible rows, position = RecNo; others: 0..4, at 0, 2 or 4.
void TVQCustomDBGrid::UpdateScrollRange() {
    TCustomGrid::UpdateScrollRange();
    const TScrollStyle bars = ScrollBars();
    if (bars != ssVertical && bars != ssBoth) return;
    TDataSet* ds = dataLink_ && dataLink_->Active() ? DataSet() : nullptr;
    if (!ds || ds->IsEmpty()) {
        SetScrollRange(sbVertical, 0, 0, 1);
        SetScrollPos(sbVertical, 0);
        return;
    }
    if (ds->IsSequenced()) {
        const int page = VisibleDataRowCount();
        SetScrollRange(sbVertical, 1, ds->RecordCount() + page - 1, page);
        if (ds->State() != dsInsert) SetScrollPos(sbVertical, ds->RecNo());
    } else {
        SetScrollRange(sbVertical, 0, 4, 1);
        SetScrollPos(sbVertical, ds->Bof() ? 0 : ds->Eof() ? 4 : 2);
    }
}

// ---- data link reactions

void TVQCustomDBGrid::LinkActive(bool Active) {
    if (!Active) HideEditor();
    selectedRows_->Clear();
    LayoutChanged();
    if (Active && dbOptions_.Contains(dgAlwaysShowEditor)) ShowEditor();
}

void TVQCustomDBGrid::DataChanged() {
    if (inLayout_) return;
    updateRowCount();
    updateActive();
    UpdateScrollRange();
    Invalidate();
}

void TVQCustomDBGrid::EditingChanged() {
    if (indicatorOffset_) InvalidateCell(0, Row());
    if (!dataLink_->Editing()) dataLink_->Reset();
}

void TVQCustomDBGrid::RecordChanged(TField* Field) {
    if (inLayout_) return;
    InvalidateRow(Row());
    TVQColumn* c = columnAt(Col());
    if (!inUpdate_ && (!Field || (c && c->Field() == Field))) {
        dataLink_->Reset();
        InvalidateEditor();
    }
}

void TVQCustomDBGrid::Scroll(int Distance) {
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
    const int lw = dbOptions_.Contains(dgRowLines) ? GridLineWidth() : 0;
    ScrollData(0, -Distance * (DefaultRowHeight() + lw));
    if (oldRow - Distance >= titleOffset_ && oldRow - Distance < RowCount()) InvalidateRow(oldRow - Distance);
    InvalidateRow(Row());
    if (indicatorOffset_) InvalidateCol(0);
}

void TVQCustomDBGrid::UpdateData() {
    if (!dataLink_->Modified() || inUpdate_) return;
    TVQColumn* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    dataLink_->Reset();
    if (!f) return;
    TDataSet* ds = DataSet();
    if (ds->State() != dsEdit && ds->State() != dsInsert && !dataLink_->Edit()) return;
    inUpdate_ = true;
    ScopeExit restore([&] { inUpdate_ = false; });
    // A refused text stays in the cell, still to be written.
    ScopeExit refused([&] { dataLink_->SetModified(true); });
    f->SetText(editText_);
    refused.Dismiss();
}

// ---- editing

std::string TVQCustomDBGrid::GetEditText(int ACol, int) {
    TVQColumn* c = columnAt(ACol);
    TField* f = c ? c->Field() : nullptr;
    if (!f) return {};
    return dataLink_->Modified() && ACol == Col() ? editText_ : f->Text();
}

void TVQCustomDBGrid::SetEditText(int ACol, int, const std::string& Value) {
    TVQColumn* c = columnAt(ACol);
    TField* f = c ? c->Field() : nullptr;
    if (!f) return;
    if (!dataLink_->Modified() && Value == f->Text()) return;
    editText_ = Value;
    dataLink_->SetModified(true);
    InvalidateCell(ACol, Row());
}

std::string TVQCustomDBGrid::GetEditMask(int ACol, int) {
    TVQColumn* c = columnAt(ACol);
    TField* f = c ? c->Field() : nullptr;
    return f ? f->EditMask() : std::string();
}

int TVQCustomDBGrid::GetEditLimit() {
    TVQColumn* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    if (f && dynamic_cast<TStringField*>(f)) return f->Size();
    return 0;
}

// cbsAuto: a lookup field or a pick list drops a list; cbsEllipsis shows
// the button.
TEditStyle TVQCustomDBGrid::GetEditStyle(int ACol, int) {
    TVQColumn* c = columnAt(ACol);
    if (!c) return esSimple;
    switch (c->ButtonStyle()) {
    case TVQColumnButtonStyle::cbsEllipsis: return esEllipsis;
    case TVQColumnButtonStyle::cbsAuto: {
        // A lookup field drops its list only where its key can change.
        if (TField* f = c->Field(); f && f->Lookup()) {
            TField* key = DataSet() ? DataSet()->FindField(f->KeyFields()) : nullptr;
            const bool readOnlyColumn = c->AssignedValues().Contains(cvReadOnly) && c->ReadOnly();
            if (key && key->CanModify() && !readOnlyColumn && !readOnly_ && dataLink_->Active() &&
                !dataLink_->ReadOnly())
                return esPickList;
        }
        return !c->GetPickList()->empty() && !c->ReadOnly() ? esPickList : esSimple;
    }
    default: return esSimple;
    }
}

std::vector<std::string> TVQCustomDBGrid::GetPickList(int ACol, int) {
    TVQColumn* c = columnAt(ACol);
    if (!c) return {};
    TField* f = c->Field();
    if (c->GetPickList()->empty() && f && f->Lookup() && f->LookupDataSet()) {
        // A lookup field lists the lookup data set's result values.
        std::vector<std::string> items;
        lookupKeys_.clear();
        TDataSet* lds = f->LookupDataSet();
        TField* kf = lds->FindField(f->LookupKeyFields());
        if (TField* rf = lds->FindField(f->LookupResultField())) {
            const TBookmark b = lds->GetBookmark();
            lds->DisableControls();
            for (lds->First(); !lds->Eof(); lds->Next()) {
                items.push_back(rf->AsString());
                lookupKeys_.push_back(kf ? kf->Value() : Variant());
            }
            if (!b.empty()) lds->GotoBookmark(b);
            lds->EnableControls();
        }
        return items;
    }
    return *c->GetPickList();
}

void TVQCustomDBGrid::EditButtonClick() {
    if (OnEditButtonClick) {
        if (!readOnly_) OnEditButtonClick(this);
        return;
    }
    // A read-only grid would open a nested data set's sub-grid; this
    // platform's data sets have no nested ones.
    if (readOnly_) return;
    TField* f = SelectedField();
    if (!f) return;
    if (f->DataType() == ftTime || f->DataType() == ftDateTime)
        SelectFieldDate(f, this);
    else
        ShowFieldLookup(this);
}

// A lookup cell's list writes the chosen row's key into the key field; a
// pick list's text is already in the cell.
void TVQCustomDBGrid::PickListChosen() {
    TVQColumn* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    if (!f || !f->Lookup()) {
        UpdateData();
        return;
    }
    const int i = InplaceEditor() ? InplaceEditor()->ChosenIndex() : -1;
    TField* key = DataSet() ? DataSet()->FindField(f->KeyFields()) : nullptr;
    if (i < 0 || size_t(i) >= lookupKeys_.size() || !key || !key->CanModify()) return;
    if (!dataLink_->Editing() && !dataLink_->Edit()) return;
    key->SetValue(lookupKeys_[size_t(i)]);
    InvalidateEditor();
}

TInplaceEdit* TVQCustomDBGrid::CreateEditor() { return new TVQDBGridInplaceEdit(this); }

// ------------------------------------------------------------ TVQDBGridInplaceEdit

TVQDBGridInplaceEdit::TVQDBGridInplaceEdit(TVQCustomDBGrid* grid) : TInplaceEdit(grid), grid_(grid) {
    SetColor(clInfoBk);
}

void TVQDBGridInplaceEdit::UpdateContents() {
    TInplaceEdit::UpdateContents();
    SetColor(clInfoBk);
    SetListItemHeight(11);
    searchText_.clear();
    if (TVQColumn* c = grid_->CurrentColumn()) {
        SetFont(c->Font());
        SetDropDownRows(int(c->DropDownRows));
    }
}

void TVQDBGridInplaceEdit::KeyPress(char32_t& Key) {
    if (!ListVisible()) {
        TInplaceEdit::KeyPress(Key);
        return;
    }
    if (Key == 8 || Key == 27) {
        searchText_.clear();
        Key = 0;
        return;
    }
    if (Key < 32) return;
    const uint64_t now = uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                                      std::chrono::steady_clock::now().time_since_epoch())
                                      .count());
    if (now - lastTyped_ > 2000) searchText_.clear();
    lastTyped_ = now;
    if (searchText_.size() < 32) searchText_ += Key;
    Key = 0;
    // The first item that begins with the text typed, case ignored.
    std::string utf8;
    for (char32_t ch : searchText_) Utf8Append(utf8, ch);
    const std::string typed = AnsiUpperCase(utf8);
    const std::vector<std::string>& items = PickList();
    for (size_t i = 0; i < items.size(); ++i)
        if (AnsiUpperCase(items[i]).compare(0, typed.size(), typed) == 0) {
            SetItemIndex(int(i));
            break;
        }
}

void TVQDBGridInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
    const TEditStyle style = EditStyle();
    if (style == esEllipsis && Key == VK_ADD && Shift.Empty()) {
        grid_->EditButtonClick();
        Key = 0;
        return;
    }
    if (style == esPickList && !ListVisible() && (Key == VK_ADD || Key == VK_DOWN) && !Shift.Contains(ssAlt)) {
        DropDown();
        Key = 0;
        return;
    }
    if (ListVisible()) {
        TInplaceEdit::KeyDown(Key, Shift);
        return;
    }
    if (Key == VK_RETURN && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
        grid_->EditorKeyDown(Key, Shift);
        Key = 0;
        return;
    }
    if (Key == 'F' && Shift == TShiftState{ssCtrl}) {
        grid_->EditorKeyDown(Key, Shift);
        Key = 0;
        return;
    }
    if (Key == VK_LEFT && Shift.Empty() && GetText().empty()) {
        // An empty cell: Left goes back a column.
        for (int c = grid_->Col() - 1; c >= grid_->FixedCols(); --c)
            if (grid_->ColWidths(c) > 0) {
                grid_->moveToColumn(c);
                break;
            }
    }
    TInplaceEdit::KeyDown(Key, Shift);
}

void TVQDBGridInplaceEdit::DoEnter() {
    TInplaceEdit::DoEnter();
    if (!grid_->OnHotKeyHint) return;
    std::string hint;
    if (TVQColumn* c = grid_->CurrentColumn()) {
        if (!c->GetPickList()->empty()) hint = " [↓键]:弹出下拉框 ";
        if (c->ButtonStyle() == TVQColumnButtonStyle::cbsEllipsis)
            hint += " [+键]: 功能相当于点击右边按钮(如弹出对话框选择等)";
    }
    grid_->OnHotKeyHint(grid_, hint);
}

bool TVQCustomDBGrid::CanEditShow() {
    if (layoutLock_ || !dataLink_->Active() || dbOptions_.Contains(dgRowSelect)) return false;
    TVQColumn* c = columnAt(Col());
    return c && c->Field() && c->Field()->DataType() != ftBoolean && TCustomGrid::CanEditShow();
}

bool TVQCustomDBGrid::CanEditModify() {
    if (readOnly_ || !dataLink_->Active() || dataLink_->ReadOnly()) return false;
    TVQColumn* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    if (!c || c->ReadOnly() || !f || !f->CanModify() || IsBlobKind(f->DataType())) return false;
    if (dataLink_->Editing()) return true;
    return dataLink_->Edit();
}

bool TVQCustomDBGrid::CanEditAcceptKey(char32_t Key) {
    TVQColumn* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    return dataLink_->Active() && f && f->IsValidChar(Key);
}

// The column-exit check: OnColExit may refuse with a text, shown under
// "提示"; a refusal keeps both the column and the record.
bool TVQCustomDBGrid::columnExitAllowed() {
    if (inColExit_ || !OnColExit) return true;
    inColExit_ = true;
    bool can = true;
    std::string err;
    {
        ScopeExit restore([&] { inColExit_ = false; });
        OnColExit(this, can, err);
    }
    if (!can && !err.empty()) Application->MessageBox(err, "提示", MB_OK | MB_ICONINFORMATION);
    return can;
}

bool TVQCustomDBGrid::moveToColumn(int gridCol) {
    gridCol = std::clamp(gridCol, FixedCols(), ColCount() - 1);
    if (gridCol == Col()) return true;
    UpdateData();
    const int before = Col();
    if (!columnExitAllowed()) return false;
    if (Col() != before) return false;
    if (!dbOptions_.Contains(dgAlwaysShowEditor)) HideEditor();
    MoveCurrent(gridCol, Row(), true, true);
    if (Col() != lastCol_) {
        lastCol_ = Col();
        if (OnColEnter) OnColEnter(this);
    }
    InvalidateEditor();
    return true;
}

// Up/Down and the other record moves, with Shift extending a range from an
// anchor (only with dgMultiSelect).
void TVQCustomDBGrid::moveRecordBy(int distance, TShiftState shift) {
    if (!dataLink_->Active() || distance == 0) return;
    TDataSet* ds = DataSet();
    const bool multi = dbOptions_.Contains(dgMultiSelect);
    const bool extend = multi && shift.Contains(ssShift) && !ds->IsEmpty();
    if (EditorMode() || dataLink_->Modified()) {
        UpdateData();
        if (!columnExitAllowed()) return;
    }
    if (extend) {
        if (!selecting_) {
            selectionAnchor_ = ds->GetBookmark();
            selecting_ = true;
            selectedRows_->SetCurrentRowSelected(true);
        }
    } else if (multi) {
        selecting_ = false;
        selectedRows_->Clear();
    }
    const bool canAppend = !readOnly_ && dbOptions_.Contains(dgEditing) && ds->CanModify() && distance > 0;
    const bool untouchedNew = ds->State() == dsInsert && !ds->Modified() && !dataLink_->Modified();
    if (distance > 0 && untouchedNew && ds->Eof()) return;
    if (distance < 0 && untouchedNew) {
        ds->Cancel();
        return;
    }
    const TBookmark left = ds->IsEmpty() ? TBookmark() : ds->GetBookmark();
    const int moved = ds->MoveBy(distance);
    if (moved == 0 && distance > 0 && ds->Eof() && canAppend) {
        if (dbOptions_.Contains(dgAllowAdd)) ds->Append();
        HideEditor();
        moveToColumn(FixedCols());
        return;
    }
    if (extend && moved) {
        // Away from the anchor selects the record reached; back towards it
        // unselects the record left.
        const TBookmark now = ds->GetBookmark();
        auto sign = [](int v) { return (v > 0) - (v < 0); };
        const int fromAnchor = sign(ds->CompareBookmarks(left, selectionAnchor_));
        const bool towards = fromAnchor != 0 && sign(ds->CompareBookmarks(now, left)) == -fromAnchor;
        if (!towards) {
            selectedRows_->SetCurrentRowSelected(true);
        } else {
            ds->GotoBookmark(left);
            selectedRows_->SetCurrentRowSelected(false);
            ds->GotoBookmark(now);
        }
        Invalidate();
    }
}

// Enter and Tab: the next column whose tab stop is on; past the last, the
// next record's first column (and back with Shift).
void TVQCustomDBGrid::stepColumn(bool back) {
    if (!dataLink_->Active()) return;
    TDataSet* ds = DataSet();
    const int first = FixedCols();
    const int last = ColCount() - 1;
    auto usable = [&](int c) { return ColWidths(c) > 0 && TabStops(c); };
    const int step = back ? -1 : 1;
    for (int c = Col() + step; c >= first && c <= last; c += step)
        if (usable(c)) {
            moveToColumn(c);
            return;
        }
    if (back ? ds->Bof() || ds->RecNo() <= 1 : ds->Eof() || ds->RecNo() >= ds->RecordCount()) {
        if (!back) moveRecordBy(1, {});
        return;
    }
    moveRecordBy(step, {});
    int target = back ? last : first;
    while (target >= first && target <= last && !usable(target)) target -= step;
    if (target >= first && target <= last) moveToColumn(target);
}

bool TVQCustomDBGrid::DeleteRecords() {
    if (readOnly_ || !dbOptions_.Contains(dgAllowDelete) || !dataLink_->Active()) return false;
    TDataSet* ds = DataSet();
    if (ds->IsEmpty() || !ds->CanModify()) return false;
    if (dbOptions_.Contains(dgConfirmDelete) &&
        Application->MessageBox("您是否确定删除?", "询问", MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) != IDOK)
        return false;
    if (dbOptions_.Contains(dgMultiSelect) && selectedRows_->Count() > 0) {
        const std::vector<TBookmark> marks(selectedRows_->items_.begin(), selectedRows_->items_.end());
        ds->DisableControls();
        ScopeExit restore([&] {
            ds->EnableControls();
            selectedRows_->Clear();
        });
        for (const TBookmark& b : marks) {
            if (!ds->BookmarkValid(b)) continue;
            ds->GotoBookmark(b);
            ds->Delete();
        }
    } else {
        ds->Delete();
    }
    return true;
}

// ---- keyboard and mouse

void TVQCustomDBGrid::KeyDown(Word& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (!Key || !dataLink_->Active()) return;
    TDataSet* ds = DataSet();
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool rowSelect = dbOptions_.Contains(dgRowSelect);
    const bool multi = dbOptions_.Contains(dgMultiSelect);
    auto nextVisible = [&](int from, int step) {
        for (int c = from + step; c >= FixedCols() && c < ColCount(); c += step)
            if (ColWidths(c) > 0) return c;
        return -1;
    };
    if (ctrl) {
        switch (Key) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            if (multi) selectedRows_->Clear();
            UpdateData();
            break;
        default: break;
        }
        switch (Key) {
        case VK_RETURN:
            if (multi && !ds->IsEmpty()) selectedRows_->SetCurrentRowSelected(!selectedRows_->CurrentRowSelected());
            break;
        case VK_UP:
        case VK_PRIOR: ds->MoveBy(-dataLink_->ActiveRecord()); break;
        case VK_DOWN:
        case VK_NEXT: ds->MoveBy(dataLink_->RecordCount() - 1 - dataLink_->ActiveRecord()); break;
        case VK_HOME: ds->First(); break;
        case VK_END: ds->Last(); break;
        case VK_LEFT: moveToColumn(FixedCols()); break;
        case VK_RIGHT: moveToColumn(ColCount() - 1); break;
        case VK_DELETE: DeleteRecords(); break;
        case 'F': {
            TField* f = SelectedField();
            const bool dateKind =
                f && (f->DataType() == ftDate || f->DataType() == ftTime || f->DataType() == ftDateTime);
            if (!dateKind) OpenFindBox();
            break;
        }
        default: return;
        }
        Key = 0;
        return;
    }
    switch (Key) {
    case VK_UP: moveRecordBy(-1, Shift); break;
    case VK_DOWN: moveRecordBy(1, Shift); break;
    case VK_PRIOR:
        if (multi) selectedRows_->Clear();
        moveRecordBy(-VisibleDataRowCount(), {});
        break;
    case VK_NEXT:
        if (multi) selectedRows_->Clear();
        moveRecordBy(VisibleDataRowCount(), {});
        break;
    case VK_HOME:
        if (rowSelect || columns_->Count() == 1) {
            if (multi) selectedRows_->Clear();
            UpdateData();
            ds->First();
        } else if (int c = nextVisible(FixedCols() - 1, 1); c >= 0) {
            moveToColumn(c);
        }
        break;
    case VK_END:
        if (rowSelect || columns_->Count() == 1) {
            if (multi) selectedRows_->Clear();
            UpdateData();
            ds->Last();
        } else if (int c = nextVisible(ColCount(), -1); c >= 0) {
            moveToColumn(c);
        }
        break;
    case VK_LEFT:
        if (rowSelect)
            moveRecordBy(-1, {});
        else if (int c = nextVisible(Col(), -1); c >= 0)
            moveToColumn(c);
        break;
    case VK_RIGHT:
        if (rowSelect)
            moveRecordBy(1, {});
        else if (int c = nextVisible(Col(), 1); c >= 0)
            moveToColumn(c);
        break;
    case VK_TAB:
        // Without dgTabs the key is the form's: it moves the focus on.
        if (Shift.Contains(ssAlt) || !dbOptions_.Contains(dgTabs)) return;
        stepColumn(Shift.Contains(ssShift));
        break;
    case VK_RETURN:
        // Enter acts as Tab; the Enter character that follows may open the
        // editor in the column reached.
        stepColumn(Shift.Contains(ssShift));
        return;
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
    case VK_INSERT:
        if (!Shift.Empty() || readOnly_ || !dbOptions_.Contains(dgEditing) || !dbOptions_.Contains(dgAllowAdd) ||
            !ds->CanModify())
            return;
        selectedRows_->Clear();
        UpdateData();
        ds->Insert();
        break;
    case VK_DELETE:
        if (EditorMode() && InplaceEditor() && InplaceEditor()->Visible()) return;
        DeleteRecords();
        break;
    case VK_ADD:
        if (multi && !ds->IsEmpty()) selectedRows_->SetCurrentRowSelected(!selectedRows_->CurrentRowSelected());
        break;
    case VK_F2: SetEditorMode(true); break;
    default: return;
    }
    Key = 0;
}

void TVQCustomDBGrid::KeyPress(char32_t& Key) {
    // A space in a Boolean cell ticks it: there is no editor over a check
    // box.
    if (Key == U' ' && dataLink_->Active()) {
        TVQColumn* c = columnAt(Col());
        TField* f = c ? c->Field() : nullptr;
        if (f && f->DataType() == ftBoolean && CanEditModify()) {
            f->SetAsBoolean(f->IsNull() ? true : !f->AsBoolean());
            Key = 0;
            return;
        }
    }
    if (Key == U'\r' && EditorMode() && dataLink_->Modified()) {
        TVQCustomGrid::KeyPress(Key);
        UpdateData();
        return;
    }
    TVQCustomGrid::KeyPress(Key);
}

void TVQCustomDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    titleClickCol_ = -1;
    titleRightClick_ = false;
    if (!dataLink_->Active()) {
        TVQCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    const TGridCoord cell = MouseCoord(X, Y);
    if (Button == mbRight && cell.Y >= 0 && cell.Y < titleOffset_) {
        // Remembered for the release, which opens the title menu.
        titleRightClick_ = true;
        if (CanFocus() && !IsActiveControl()) SetFocus();
        return;
    }
    TGridState st;
    int idx, pos, ofs;
    const bool sizing = CalcSizingState(X, Y, st, idx, pos, ofs);
    if (sizing || cell.X < 0 || cell.Y < titleOffset_) {
        if (!sizing && cell.X >= indicatorOffset_ && cell.Y >= 0 && cell.Y < titleOffset_) titleClickCol_ = cell.X;
        UpdateData();
        TVQCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    HideEdit();
    if (CanFocus() && !IsActiveControl()) SetFocus();
    if (!IsActiveControl()) return;
    TDataSet* ds = DataSet();
    if (cell.X < indicatorOffset_) {
        // The indicator toggles the record's selection.
        const int distance = cell.Y - titleOffset_ - dataLink_->ActiveRecord();
        if (distance) {
            UpdateData();
            ds->MoveBy(distance);
        }
        if (dbOptions_.Contains(dgMultiSelect) && Button == mbLeft && !ds->IsEmpty())
            selectedRows_->SetCurrentRowSelected(!selectedRows_->CurrentRowSelected());
        InvalidateCol(0);
        return;
    }
    const bool wasCurrent = cell.X == Col() && cell.Y == Row();
    const int distance = cell.Y - titleOffset_ - dataLink_->ActiveRecord();
    if (distance) {
        UpdateData();
        if (!columnExitAllowed()) return;
        ds->MoveBy(distance);
    }
    if (dbOptions_.Contains(dgMultiSelect) && !ds->IsEmpty()) {
        selecting_ = false;
        if (Shift.Contains(ssCtrl))
            selectedRows_->SetCurrentRowSelected(!selectedRows_->CurrentRowSelected());
        else {
            selectedRows_->Clear();
            selectedRows_->SetCurrentRowSelected(true);
        }
    }
    if (cell.X >= FixedCols() && !moveToColumn(cell.X)) return;
    if (Button == mbLeft) {
        // A click on a Boolean cell ticks it.
        TVQColumn* c = columnAt(Col());
        TField* f = c ? c->Field() : nullptr;
        if (wasCurrent && f && f->DataType() == ftBoolean && !Shift.Contains(ssDouble) && CanEditModify())
            f->SetAsBoolean(f->IsNull() ? true : !f->AsBoolean());
        else if ((wasCurrent || dbOptions_.Contains(dgAlwaysShowEditor)) && !Shift.Contains(ssDouble))
            ShowEditor();
        else
            InvalidateEditor();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TVQCustomDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (titleRightClick_ && Button == mbRight) {
        titleRightClick_ = false;
        const TPoint p = ClientToScreen({X, Y});
        ShowTitleMenu(p.X, p.Y);
        return;
    }
    const int titleCol = titleClickCol_;
    titleClickCol_ = -1;
    const bool wasSizing = GridState() == gsColSizing || GridState() == gsRowSizing;
    TVQCustomGrid::MouseUp(Button, Shift, X, Y);
    if (wasSizing || Button != mbLeft) return;
    const TGridCoord cell = MouseCoord(X, Y);
    if (titleCol >= 0) {
        if (cell.X == titleCol && cell.Y >= 0 && cell.Y < titleOffset_ && OnTitleClick)
            OnTitleClick(columnAt(titleCol));
        return;
    }
    if (cell.X >= indicatorOffset_ && cell.Y >= titleOffset_ && OnCellClick) OnCellClick(columnAt(Col()));
}

void TVQCustomDBGrid::DblClick() {
    // A double click on a title is two title clicks, not an edit.
    TVQCustomGrid::DblClick();
}

bool TVQCustomDBGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    if (OnMouseWheel) {
        bool handled = false;
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
        if (handled) return true;
    }
    if (dataLink_->Active()) moveRecordBy(WheelDelta < 0 ? 1 : -1, {});
    return true;
}

void TVQCustomDBGrid::TimedScroll(bool Left, bool Right, bool Up, bool Down) {
    if (!dataLink_->Active()) return;
    if (Up) moveRecordBy(-1, {});
    if (Down) moveRecordBy(1, {});
    if (Left && Col() > FixedCols()) moveToColumn(Col() - 1);
    if (Right && Col() < ColCount() - 1) moveToColumn(Col() + 1);
}

void TVQCustomDBGrid::ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) {
    if (Kind != sbVertical || !dataLink_->Active()) {
        TVQCustomGrid::ScrollBarChanged(Kind, Code, Pos);
        return;
    }
    if (CanFocus() && !IsActiveControl()) SetFocus();
    TDataSet* ds = DataSet();
    UpdateData();
    switch (Code) {
    case scLineUp: ds->MoveBy(-dataLink_->ActiveRecord() - 1); break;
    case scLineDown: ds->MoveBy(dataLink_->RecordCount() - dataLink_->ActiveRecord()); break;
    case scPageUp: ds->MoveBy(-VisibleDataRowCount()); break;
    case scPageDown: ds->MoveBy(VisibleDataRowCount()); break;
    case scTop: ds->First(); break;
    case scBottom: ds->Last(); break;
    case scTrack:
        if (!TCustomGrid::Options().Contains(goThumbTracking)) break;
        [[fallthrough]];
    case scPosition:
        if (ds->IsSequenced()) {
            if (Pos >= ds->RecordCount())
                ds->Last();
            else if (Pos <= 1)
                ds->First();
            else
                ds->SetRecNo(Pos);
        } else if (Pos <= 0)
            ds->First();
        else if (Pos == 1)
            ds->MoveBy(-VisibleDataRowCount());
        else if (Pos == 3)
            ds->MoveBy(VisibleDataRowCount());
        else if (Pos >= 4)
            ds->Last();
        break;
    default: break;
    }
    UpdateScrollRange();
}

bool TVQCustomDBGrid::BeginColumnDrag(int& Origin, int&, TPoint) { return Origin >= FixedCols(); }

bool TVQCustomDBGrid::CheckColumnDrag(int&, int& Destination, TPoint) { return Destination >= FixedCols(); }

void TVQCustomDBGrid::ColumnMoved(int FromIndex, int ToIndex) {
    titleClickCol_ = -1;
    auto& items = columns_->items_;
    const int from = FromIndex - indicatorOffset_, to = ToIndex - indicatorOffset_;
    if (from >= 0 && from < int(items.size()) && to >= 0 && to < int(items.size()) && from != to) {
        auto c = std::move(items[size_t(from)]);
        items.erase(items.begin() + from);
        items.insert(items.begin() + to, std::move(c));
    }
    LayoutChanged();
    if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TVQCustomDBGrid::ColWidthsChanged() {
    if (!inLayout_) {
        for (int i = 0; i < columns_->Count(); ++i) {
            const int w = ColWidths(i + indicatorOffset_);
            TVQColumn* c = columns_->items_[size_t(i)].get();
            if (w > 0 && w != c->GetWidth()) {
                c->width_ = w;
                c->assigned_ << cvWidth;
            }
        }
        if (titleOffset_) {
            inLayout_ = true;
            buildHeadings();
            inLayout_ = false;
        }
    }
    TVQCustomGrid::ColWidthsChanged();
}

void TVQCustomDBGrid::ClientResized() {
    TVQCustomGrid::ClientResized();
    if (!inLayout_ && dataLink_) {
        updateRowCount();
        updateActive();
        UpdateScrollRange();
        Invalidate();
    }
}

void TVQCustomDBGrid::DoEnter() {
    if (OnHotKeyHint && !(InplaceEditor() && InplaceEditor()->Visible()))
        OnHotKeyHint(this, " [+键]: 选择当前记录  [CTRL键] + [F键]: 查找当前列 ");
    TVQCustomGrid::DoEnter();
}

void TVQCustomDBGrid::DoExit() {
    const bool toEditor = InplaceEditor() && InplaceEditor()->Focused();
    if (!toEditor && dataLink_->Active()) {
        TDataSet* ds = DataSet();
        if (dbOptions_.Contains(dgCancelOnExit) && ds->State() == dsInsert && !ds->Modified() && !dataLink_->Modified())
            ds->Cancel();
        else
            UpdateData();
    }
    TVQCustomGrid::DoExit();
}

void TVQCustomDBGrid::FontChanged() {
    TVQCustomGrid::FontChanged();
    LayoutChanged();
}

// ---- title menu

std::function<void(TVQCustomDBGrid*)> TVQCustomDBGrid::DefaultExportDialog;
std::function<void(TVQCustomDBGrid*)> TVQCustomDBGrid::DefaultChartDialog;

namespace {
struct TitleMenuEntry {
    int tag;
    const char* caption;
};
constexpr TitleMenuEntry kTitleMenu[] = {
    {0, "输入及显示控制"}, {1, "数据转入转出"}, {2, "数据定位"}, {3, "全部选定"}, {4, "清除所选"}, {10, "-"},
    {5, "保存设置"},       {6, "恢复设置"},     {7, "-"},        {8, "数据输出"}, {9, "数据图表"},
};
} // namespace

void TVQCustomDBGrid::ShowTitleMenu(int X, int Y) {
    if (!titleMenu_) {
        titleMenu_ = new TPopupMenu(this);
        titleMenu_->SetName(Name() + "TitleMenu");
    }
    // Made anew at each opening.
    titleMenu_->Items()->Clear();
    for (const auto& e : kTitleMenu) {
        auto* item = new TMenuItem(titleMenu_);
        item->SetCaption(e.caption);
        item->SetTag(e.tag);
        const int tag = e.tag;
        if (tag == 3 || tag == 4) item->SetEnabled(dbOptions_.Contains(dgMultiSelect));
        item->OnClick = [this, tag](TObject*) { TitleMenuAction(tag); };
        titleMenu_->Items()->Add(item);
    }
    titleMenu_->SetPopupComponent(this);
    titleMenu_->Popup(X, Y);
}

void TVQCustomDBGrid::TitleMenuAction(int tag) {
    switch (tag) {
    case 0:
    case 1:
        if (OnColumnDialog)
            OnColumnDialog(this);
        else
            ShowGridColumnDialog(this, tag);
        break;
    case 2: OpenFindBox(); break;
    case 3: SelectAll(); break;
    case 4: selectedRows_->Clear(); break;
    case 5:
        if (OnSaveTitleClick) OnSaveTitleClick(this);
        break;
    case 8:
        if (OnExportDialog)
            OnExportDialog(this);
        else if (DefaultExportDialog)
            DefaultExportDialog(this);
        break;
    case 9:
        if (OnChartDialog)
            OnChartDialog(this);
        else if (DefaultChartDialog)
            DefaultChartDialog(this);
        break;
    default: break; // "恢复设置": nothing says what it restores
    }
}

void TVQCustomDBGrid::SelectAll() {
    if (!dbOptions_.Contains(dgMultiSelect) || !dataLink_->Active()) return;
    TDataSet* ds = DataSet();
    if (!ds || (ds->Bof() && ds->Eof()) || ds->IsEmpty()) return;
    TVQDisabledControls disabled(ds);
    const TBookmark back = ds->GetBookmark();
    for (ds->First(); !ds->Eof(); ds->Next()) {
        const TBookmark b = ds->GetBookmark();
        int i;
        if (!selectedRows_->Find(b, i)) {
            selectedRows_->items_.insert(selectedRows_->items_.begin() + i, b);
            selectedRows_->cacheIndex_ = -1;
            selectedRows_->cacheKey_.clear();
        }
    }
    ds->GotoBookmark(back);
    Invalidate();
}

// ---- find box

void TVQCustomDBGrid::OpenFindBox() {
    TDataSet* ds = dataLink_->Active() ? DataSet() : nullptr;
    TVQColumn* col = columnAt(Col());
    if (!ds || ds->IsEmpty() || !col || !col->Field() || !Parent()) {
        MessageBeep(0);
        return;
    }
    if (!findBox_) {
        findBox_ = new TFindEdit(this);
        findBox_->SetParent(Parent());
    }
    findBox_->SetFont(titleFont_.get());
    const TRect cell = CellRect(Col(), 0);
    const int h = findBox_->Height();
    findBox_->SetBounds(Left() + cell.Left, Top() + cell.Bottom - h, std::max(40, cell.Width()), h);
    findBookmark_ = ds->GetBookmark();
    findBox_->endMode_ = 0;
    findBox_->OnChange = nullptr;
    findBox_->SetText("");
    findBox_->OnChange = [this](TObject*) { findStep(); };
    findBox_->SetColor(clInfoBk);
    findBox_->Show();
    findBox_->BringToFront();
    findBox_->SetFocus();
}

// Locates the first record whose current-column text begins with the box's
// text, letter case ignored; a lookup field is found through its lookup
// data set. Beeps only when nothing matches.
void TVQCustomDBGrid::findStep() {
    TDataSet* ds = DataSet();
    TField* f = SelectedField();
    if (!ds || !f || !findBox_) return;
    const std::string text = findBox_->Text();
    if (text.empty()) return;
    bool found = false;
    try {
        if (f->Lookup() && f->LookupDataSet()) {
            TDataSet* lds = f->LookupDataSet();
            const std::string result = f->LookupResultField();
            const std::string firstResult = result.substr(0, result.find(';'));
            if (lds->Locate(firstResult, Variant(text), loCaseInsensitive | loPartialKey)) {
                const Variant keys = lds->FieldValues(f->LookupKeyFields());
                found = ds->Locate(f->KeyFields(), keys, 0);
            }
        } else {
            found = ds->Locate(f->FieldName(), Variant(text), loCaseInsensitive | loPartialKey);
        }
    } catch (const Exception&) {
        found = false;
    }
    if (!found) MessageBeep(0);
}

void TVQCustomDBGrid::closeFindBox() {
    if (!findBox_ || !findBox_->Visible()) return;
    TDataSet* ds = DataSet();
    if (findBox_->endMode_ == 2 && ds && ds->Active() && !findBookmark_.empty() && ds->BookmarkValid(findBookmark_))
        ds->GotoBookmark(findBookmark_);
    findBookmark_.clear();
    findBox_->Hide();
    findBox_->SelectAll();
    findBox_->endMode_ = 0;
    Invalidate();
    if (CanFocus()) SetFocus();
}

// ---- painting

void TVQCustomDBGrid::drawIndicator(const TRect& r, int dataRow) {
    TCanvas* c = Canvas();
    c->Brush()->SetColor(FixedColor());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(r);
    if (!dbOptions_.Contains(dgReceiptMode)) {
        TRect e = r;
        c->DrawEdge(e, BDR_RAISEDINNER, BF_RECT);
    }
    if (!dataLink_->Active() || dataRow < 0 || dataRow >= dataLink_->RecordCount()) return;
    const int saved = dataLink_->ActiveRecord();
    bool multiSelected = false;
    if (dbOptions_.Contains(dgMultiSelect) && selectedRows_->Count()) {
        dataLink_->SetActiveRecord(dataRow);
        multiSelected = selectedRows_->CurrentRowSelected();
        dataLink_->SetActiveRecord(saved);
    }
    const bool current = dataRow == saved;
    if (!current && !multiSelected) return;
    const int cx = r.Right - 9, cy = r.Top + r.Height() / 2 + 1;
    c->Pen()->SetColor(clBlack);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->Brush()->SetColor(clBlack);
    const TDataSetState st = DataSet()->State();
    if (multiSelected) {
        c->Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
    } else if (st == dsInsert) {
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
        c->Polygon({{cx - 2, cy - 4}, {cx + 2, cy}, {cx - 2, cy + 4}});
    }
}

// A title cell: its own (last) caption word at the bottom, as high as its
// leaf; the headings above it across their whole span.
void TVQCustomDBGrid::drawTitle(int ACol, const TRect& r, TGridDrawState state) {
    TCanvas* c = Canvas();
    TVQColumn* col = columnAt(ACol);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(FixedColor());
    c->FillRect(r);
    if (!col) {
        if (!dbOptions_.Contains(dgReceiptMode)) {
            TRect e = r;
            c->DrawEdge(e, BDR_RAISEDINNER, BF_RECT);
        }
        return;
    }
    // Find the leaf of this column.
    std::function<const TVQHeadNode*(const TVQHeadNode&)> find =
        [&](const TVQHeadNode& n) -> const TVQHeadNode* {
        for (const auto& ch : n.Children) {
            if (ch->Column == col) return ch.get();
            if (const TVQHeadNode* f = find(*ch)) return f;
        }
        return nullptr;
    };
    const TVQHeadNode* leaf = find(headRoot_);
    const bool receipt = dbOptions_.Contains(dgReceiptMode);
    c->SetFont(titleFont_.get());
    auto paintBox = [&](TRect box, const std::string& caption, bool clipped) {
        c->Brush()->SetColor(FixedColor());
        c->FillRect(box);
        TRect t = box;
        t.Left += 1;
        t.Right -= 1;
        // Wrapped text centred vertically by hand: DT_VCENTER holds for
        // single lines only.
        TRect m = t;
        const int h = c->DrawText(caption, -1, m, DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        t.Top += std::max(0, (t.Height() - h) / 2);
        c->Brush()->SetStyle(bsClear);
        c->DrawText(caption, -1, t, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        c->Brush()->SetStyle(bsSolid);
        if (!receipt) {
            TRect e = box;
            c->DrawEdge(e, BDR_RAISEDINNER, clipped ? (BF_TOP | BF_RIGHT | BF_BOTTOM) : BF_RECT);
        } else {
            c->Pen()->SetColor(LineColor());
            c->MoveTo(box.Left, box.Bottom - 1);
            c->LineTo(box.Right, box.Bottom - 1);
        }
    };
    if (!leaf) {
        paintBox(r, col->Title()->GetCaption(), false);
        return;
    }
    const int saveDC = c->SaveDC();
    // Headings of scrolling columns never paint over the fixed band.
    TGridDrawInfo info;
    CalcDrawInfo(info);
    const bool fixedCell = ACol < FixedCols();
    TRect clip{fixedCell ? 0 : info.Horz.FixedBoundary, r.Top, ClientWidth(), r.Bottom};
    c->IntersectClipRect(clip);
    const int lineW = dbOptions_.Contains(dgColLines) ? GridLineWidth() : 0;
    TRect own{r.Left, r.Bottom - leaf->Height, r.Right, r.Bottom};
    if (own.Top < r.Top) own.Top = r.Top;
    paintBox(own, leaf->Caption, false);
    // Visible-column position of this column, for the spans above.
    int myPos = leaf->First;
    int bottom = own.Top;
    for (const TVQHeadNode* h = leaf->Parent; h && h != &headRoot_; h = h->Parent) {
        int left = r.Left, right = r.Right;
        // Widths of the span's other members, from the columns themselves.
        int pos = 0;
        for (const auto& cc : columns_->items_) {
            if (!cc->Visible()) continue;
            const int w = std::max(0, ColWidths(GridColumnOf(cc.get()))) + lineW;
            if (pos >= h->First && pos < myPos) left -= w;
            if (pos > myPos && pos <= h->Last) right += w;
            ++pos;
        }
        TRect box{left, bottom - h->Height, right, bottom};
        if (box.Top < r.Top) box.Top = r.Top;
        paintBox(box, h->Caption, false);
        bottom = box.Top;
    }
    c->RestoreDC(saveDC);
    (void)state;
}

void TVQCustomDBGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas* c = Canvas();
    if (ARow < titleOffset_) {
        if (ACol < indicatorOffset_) {
            drawIndicator(ARect, -1);
            return;
        }
        drawTitle(ACol, ARect, AState);
        return;
    }
    const int dataRow = ARow - titleOffset_;
    if (ACol < indicatorOffset_) {
        drawIndicator(ARect, dataRow);
        return;
    }
    TVQColumn* col = columnAt(ACol);
    if (!col || !dataLink_->Active() || dataRow >= dataLink_->RecordCount()) {
        c->Brush()->SetColor(col ? col->Color() : Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(ARect);
        return;
    }
    const int saved = dataLink_->ActiveRecord();
    dataLink_->SetActiveRecord(dataRow);
    ScopeExit restore([&] { dataLink_->SetActiveRecord(saved); });
    TField* f = col->Field();
    const int dataCol = ACol - indicatorOffset_;
    const bool frozen = ACol < FixedCols();
    std::string text = f ? f->DisplayText() : std::string();
    if (f && AState.Contains(gdFocused) && dataLink_->Modified() && col == columnAt(Col())) text = editText_;
    c->SetFont(col->Font());
    TColor back = col->Color();
    TColor fore = col->Font()->Color();
    const bool multiSelected =
        dbOptions_.Contains(dgMultiSelect) && selectedRows_->Count() && selectedRows_->CurrentRowSelected();
    bool highlight = false;
    if (!frozen) {
        if (multiSelected)
            highlight = !dbOptions_.Contains(dgSelectedBar);
        else
            highlight = AState.Contains(gdSelected) &&
                        (IsActiveControl() || dbOptions_.Contains(dgAlwaysShowSelection)) &&
                        (dbOptions_.Contains(dgRowSelect) || dataRow == saved);
    }
    if (highlight) {
        back = clHighlight;
        fore = clHighlightText;
    } else if (multiSelected && dbOptions_.Contains(dgSelectedBar) && !frozen) {
        back = cl3DLight;
        fore = clBlack;
    }
    if (OnGetCellTextStyle) {
        TColor asked = fore;
        std::string shown = text;
        OnGetCellTextStyle(this, col->FieldName(), shown, asked);
        if (asked != fore) {
            c->Font()->SetStyle(c->Font()->Style() + TFontStyles{fsBold});
            back = cl3DLight;
            fore = asked;
        }
        text = shown;
    }
    if (!Enabled()) fore = clGrayText;
    if (frozen) {
        back = Color();
        fore = clBlack;
    }
    c->Brush()->SetColor(back);
    c->Brush()->SetStyle(bsSolid);
    c->Font()->SetColor(fore);
    if (defaultDrawing_) {
        c->FillRect(ARect);
        if (f && f->DataType() == ftBoolean) {
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
            WriteCellText(c, ARect, text, col->Alignment(), 2);
        }
        if (AState.Contains(gdFocused) && !dbOptions_.Contains(dgRowSelect) && IsActiveControl())
            c->DrawFocusRect(ARect);
    }
    if (OnDrawColumnCell) OnDrawColumnCell(this, ARect, dataCol, col, AState);
}
