// The data grid: layout of columns, titles, data rows and footers onto the
// grid base's axes, the reactions to the data link, painting, keyboard and
// mouse. The column model is DBGridEhColumns.cpp, selection objects
// DBGridEhSelection.cpp.
//
// Layout protocol: every setter asks for LayoutChanged, which lays out at
// once unless a BeginLayout/EndLayout bracket (or an update lock) is open;
// the last EndLayout then lays out once.
#include "gridlib/grid/DBGridEh.h"
#include "gridlib/data/DBGridEhImpExp.h"
#include "gridlib/edits/DBCtrlsEh.h"
#include "gridlib/grid/DBLookupGridsEh.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "Clipbrd.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Screen.h"
#include "ScopeExit.h"
#include "SysUtils.h"

namespace {

constexpr int kIndicatorWidth = 11;
constexpr TColor kSelectedRowColor = 4210752; // dark grey of selected rows
constexpr int kIncSearchTimeoutMs = 1500;

TCanvas* measureCanvas(const TFont* font) {
    static TBitmap* bmp = [] {
        auto* b = new TBitmap;
        b->SetSize(1, 1);
        return b;
    }();
    bmp->Canvas()->Font()->Assign(const_cast<TFont*>(font));
    return bmp->Canvas();
}

int textHeight(const TFont* f) { return measureCanvas(f)->TextHeight("Wg"); }

// The small figures that number the sort-marked titles.
std::unique_ptr<TFont> sortIndexFont(const TFont* base) {
    auto f = std::make_unique<TFont>();
    f->Assign(const_cast<TFont*>(base));
    f->SetName("Arial");
    f->SetHeight(-8);
    return f;
}

uint64_t tickMs() {
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// Characters (not bytes) of UTF-8 text.
int charCount(const std::string& s) {
    int n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string charPrefix(const std::string& s, int chars) {
    size_t i = 0;
    for (int n = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (n == chars) break;
            ++n;
        }
    }
    return s.substr(0, i);
}

std::string utf8Of(char32_t k) {
    std::string ch;
    if (k < 0x80) {
        ch += char(k);
    } else if (k < 0x800) {
        ch += char(0xC0 | (k >> 6));
        ch += char(0x80 | (k & 0x3F));
    } else if (k < 0x10000) {
        ch += char(0xE0 | (k >> 12));
        ch += char(0x80 | ((k >> 6) & 0x3F));
        ch += char(0x80 | (k & 0x3F));
    } else {
        ch += char(0xF0 | (k >> 18));
        ch += char(0x80 | ((k >> 12) & 0x3F));
        ch += char(0x80 | ((k >> 6) & 0x3F));
        ch += char(0x80 | (k & 0x3F));
    }
    return ch;
}

std::vector<std::string> splitCaption(const std::string& s) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t p = s.find('|', start);
        parts.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    return parts;
}

} // namespace

// ================================================================ TGridDataLinkEh

bool TGridDataLinkEh::AddMapping(const std::string& fieldName) {
    TDataSet* ds = DataSet();
    TField* f = ds ? ds->FindField(fieldName) : nullptr;
    if (!f && !LenientMapping) DatabaseError(Format("Field '%s' not found", fieldName.c_str()));
    if (map_.size() >= (1u << 28) - 1) throw EInvalidGridOperation("Grid requested to display more than 256 columns");
    if (map_.capacity() == map_.size()) map_.reserve(std::max<size_t>(8, map_.size() * 2));
    map_.push_back(f ? f->Index() : -1);
    if (!f) defaultFields_ = false;
    return f != nullptr;
}

void TGridDataLinkEh::ClearMapping() {
    map_.clear();
    defaultFields_ = true;
}

TField* TGridDataLinkEh::Fields(int i) const {
    if (i < 0 || i >= int(map_.size()) || map_[size_t(i)] < 0) return nullptr;
    TDataSet* ds = DataSet();
    if (!ds || map_[size_t(i)] >= ds->FieldCount()) return nullptr;
    return ds->Fields()[map_[size_t(i)]];
}

void TGridDataLinkEh::Reset() {
    if (modified_) {
        modified_ = false;
        grid_->InvalidateEditor();
    } else if (DataSet() && (DataSet()->State() == dsEdit || DataSet()->State() == dsInsert)) {
        DataSet()->Cancel();
    }
}

void TGridDataLinkEh::ActiveChanged() { grid_->LinkActive(Active()); }
void TGridDataLinkEh::DataSetChanged() { grid_->DataChanged(); }
void TGridDataLinkEh::DataSetScrolled(int distance) { grid_->Scroll(distance); }
void TGridDataLinkEh::LayoutChanged() { grid_->LayoutChanged(); }
void TGridDataLinkEh::EditingChanged() { grid_->EditingChanged(); }
void TGridDataLinkEh::RecordChanged(TField* field) { grid_->RecordChanged(field); }
void TGridDataLinkEh::UpdateData() {
    if (inUpdateData_) return;
    inUpdateData_ = true;
    ScopeExit restore([&] { inUpdateData_ = false; });
    grid_->UpdateData();
}
void TGridDataLinkEh::FocusControl(TField** field) {
    if (!field || !*field) return;
    grid_->SetSelectedField(*field);
    if (grid_->SelectedField() == *field && grid_->CanFocus()) {
        grid_->SetFocus();
        *field = nullptr;
    }
}

// ================================================================ TDBGridEhSumList

TDBGridEhSumList::TDBGridEhSumList(TCustomDBGridEh* grid) : TDBSumListProducer(grid, true) { SetActive(false); }

// ================================================================ TDBGridEhScrollBar

void TDBGridEhScrollBar::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TDBGridEhScrollBar*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    SetVisible(s->Visible());
    tracking_ = s->Tracking();
}

void TDBGridEhScrollBar::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    grid_->updateScrollBarStyle();
    if (kind_ == sbVertical) grid_->UpdateScrollBar();
    grid_->LayoutChanged();
}

bool TDBGridEhScrollBar::IsShowing() const {
    const TScrollStyle s = grid_->ScrollBars();
    return visible_ && (s == ssBoth || s == (kind_ == sbVertical ? ssVertical : ssHorizontal));
}

// ================================================================ TCustomDBGridEh

void TCustomDBGridEh::updateScrollBarStyle() {
    // Auto-fitted columns never need the horizontal bar.
    const bool h = horzScrollBar_->Visible() && !autoFitColWidths_;
    const bool v = vertScrollBar_->Visible();
    SetScrollBars(h && v ? ssBoth : h ? ssHorizontal : v ? ssVertical : ssNone);
}

TCustomDBGridEh::TCustomDBGridEh(TComponent* AOwner, TCollection::ItemFactory columnFactory)
    : TCustomGrid(AOwner), dataLink_(std::make_unique<TGridDataLinkEh>(this)),
      columns_(std::make_unique<TDBGridColumnsEh>(this, std::move(columnFactory))), bookmarks_(std::make_unique<TBookmarkListEh>(this)),
      selection_(std::make_unique<TDBGridEhSelection>(this)), sumList_(std::make_unique<TDBGridEhSumList>(this)),
      horzScrollBar_(std::make_unique<TDBGridEhScrollBar>(this, sbHorizontal)),
      vertScrollBar_(std::make_unique<TDBGridEhScrollBar>(this, sbVertical)),
      titleFont_(std::make_unique<TFont>()), footerFont_(std::make_unique<TFont>()),
      headTree_(std::make_unique<THeadTreeNode>("Root", 0, 10)) {
    TCustomGrid::SetDefaultDrawing(false);
    // The flat buttons' width is the library's start-up work; a program may
    // make a grid before any edit.
    if (FlatEditButtonWidth == 0) FlatEditButtonWidth = CalcFlatButtonWidth();
    titleFont_->Assign(Font());
    footerFont_->Assign(Font());
    titleFont_->OnChange = [this](TObject*) {
        if (options_.Contains(dgTitles)) LayoutChanged();
    };
    footerFont_->OnChange = [this](TObject*) {
        if (footerRowCount_ > 0) LayoutChanged();
    };
    sumList_->SumListChanged = [this](TObject*) { SumListChanged(); };
    sumList_->OnRecalcAll = [this](TObject* s) {
        if (OnSumListRecalcAll) OnSumListRecalcAll(s);
    };
    updateScrollBarStyle();
    SetColor(clWindow);
    LayoutChanged();
}

TCustomDBGridEh::~TCustomDBGridEh() {
    droppedGrid_ = nullptr;
    DestroyEditor();
    inLayout_ = true;
    titleFont_->OnChange = nullptr;
    footerFont_->OnChange = nullptr;
    sumList_->SumListChanged = nullptr;
    sumList_->OnRecalcAll = nullptr;
    dataLink_->SetDataSource(nullptr);
    // Footers free their sum items into the sum list: columns go first.
    columns_.reset();
    sumList_.reset();
}

TDataSource* TCustomDBGridEh::DataSource() const { return dataLink_->DataSource(); }

void TCustomDBGridEh::SetDataSource(TDataSource* v) {
    if (v == dataLink_->DataSource()) return;
    selection_->Clear();
    dataLink_->SetDataSource(v);
    if (v) v->FreeNotification(this);
    LinkActive(dataLink_->Active());
}

void TCustomDBGridEh::SetColumns(TDBGridColumnsEh* v) { columns_->Assign(v); }

std::vector<TColumnEh*> TCustomDBGridEh::VisibleColumns() const {
    std::vector<TColumnEh*> v;
    for (int i = 0; i < columns_->Count(); ++i)
        if (columns_->Items(i)->Visible()) v.push_back(columns_->Items(i));
    return v;
}

TColumnEh* TCustomDBGridEh::columnAt(int gridCol) const {
    const int i = gridCol - indicatorOffset_;
    return columns_ && i >= 0 && i < columns_->Count() ? columns_->Items(i) : nullptr;
}

void TCustomDBGridEh::columnsChanged(TCollectionItem* item) {
    if (inLayout_) return;
    LayoutChanged();
}

void TCustomDBGridEh::columnFontChanged() { LayoutChanged(); }

// ---- options

void TCustomDBGridEh::setGridOptions() {
    TGridOptions o;
    if (rowSizingAllowed_) o << goRowSizing;
    if (options_.Contains(dgColLines)) o << goFixedVertLine << goVertLine;
    if (options_.Contains(dgRowLines)) o << goFixedHorzLine << goHorzLine;
    if (options_.Contains(dgColumnResize)) o << goColSizing << goColMoving;
    if (options_.Contains(dgTabs)) o << goTabs;
    if (options_.Contains(dgRowSelect)) o << goRowSelect;
    if (options_.Contains(dgEditing)) o << goEditing;
    if (options_.Contains(dgAlwaysShowEditor)) o << goAlwaysShowEditor;
    TCustomGrid::SetOptions(o);
}

void TCustomDBGridEh::SetOptions(TDBGridOptions v) {
    if (v == options_) return;
    if (v.Contains(dgRowSelect)) {
        v >> dgEditing;
        v >> dgAlwaysShowEditor;
    }
    const TDBGridOptions old = options_;
    options_ = v;
    setGridOptions();
    if (old.Contains(dgMultiSelect) && !v.Contains(dgMultiSelect)) selection_->Clear();
    const TDBGridOptions layoutBits{dgEditing,  dgAlwaysShowEditor, dgTitles,    dgIndicator,
                                    dgColLines, dgRowLines,         dgRowSelect, dgAlwaysShowSelection};
    if (((old - v) + (v - old)).Bits() & layoutBits.Bits()) LayoutChanged();
}

void TCustomDBGridEh::SetOptionsEh(TDBGridEhOptions v) {
    if (v == optionsEh_) return;
    const bool multiSortOff = optionsEh_.Contains(dghMultiSortMarking) && !v.Contains(dghMultiSortMarking);
    if (multiSortOff && sortMarked_.size() > 1) {
        // Unmarked while the marks are still counted together: the first
        // one stays, numbered 1.
        const std::vector<TColumnEh*> others(sortMarked_.begin() + 1, sortMarked_.end());
        for (TColumnEh* o : others) o->Title()->SetSortMarker(smNoneEh);
    }
    optionsEh_ = v;
    LayoutChanged();
}

void TCustomDBGridEh::SetAllowedSelections(TDBGridEhAllowedSelections v) {
    allowedSelections_ = v;
    if (!v.Contains(selection_->Kind()) && selection_->Kind() != gstNon) selection_->Clear();
}

void TCustomDBGridEh::SetReadOnly(bool v) {
    readOnly_ = v;
    if (v) HideEditor();
    Invalidate();
}

void TCustomDBGridEh::SetAutoFitColWidths(bool v) {
    if (v == autoFitColWidths_) return;
    autoFitColWidths_ = v;
    if (v)
        for (int i = 0; i < columns_->Count(); ++i) columns_->Items(i)->AutoFitBaseWidth = columns_->Items(i)->Width();
    updateScrollBarStyle();
    LayoutChanged();
}

void TCustomDBGridEh::SetMinAutoFitWidth(int v) {
    minAutoFitWidth_ = v;
    LayoutChanged();
}

void TCustomDBGridEh::SetDrawMemoText(bool v) {
    drawMemoText_ = v;
    Invalidate();
}

void TCustomDBGridEh::SetFlat(bool v) {
    if (v == flat_) return;
    flat_ = v;
    textMargin_ = v ? 2 : 4;
    SetFlatBorder(v);
    LayoutChanged();
}

int TCustomDBGridEh::FlatBorderWidth() const { return flat_ && BorderStyle() == bsSingle ? 1 : 0; }

void TCustomDBGridEh::SetFrozenCols(int v) {
    if (v < 0 || v == frozenCols_) return;
    frozenCols_ = v;
    LayoutChanged();
}

void TCustomDBGridEh::SetFooterRowCount(int v) {
    if (v < 0 || v == footerRowCount_) return;
    footerRowCount_ = v;
    LayoutChanged();
}

void TCustomDBGridEh::SetFooterColor(TColor v) {
    if (!loading()) parentColor_ = false;
    footerColor_ = v;
    if (footerRowCount_ > 0) Invalidate();
}

void TCustomDBGridEh::SetParentColor(bool v) { parentColor_ = v; }

void TCustomDBGridEh::SetTitleHeight(int v) {
    titleHeight_ = v;
    LayoutChanged();
}

void TCustomDBGridEh::SetTitleLines(int v) {
    titleLines_ = v;
    LayoutChanged();
}

void TCustomDBGridEh::SetRowHeight(int v) {
    if (v < 0) v = 0;
    if (v == rowHeight_) return;
    rowHeight_ = v;
    LayoutChanged();
}

void TCustomDBGridEh::SetRowLines(int v) {
    if (v < 0) v = 0;
    if (v == rowLines_) return;
    rowLines_ = v;
    LayoutChanged();
}

void TCustomDBGridEh::SetRowSizingAllowed(bool v) {
    rowSizingAllowed_ = v;
    setGridOptions();
}

void TCustomDBGridEh::SetUseMultiTitle(bool v) {
    useMultiTitle_ = v;
    LayoutChanged();
}

void TCustomDBGridEh::SetVTitleMargin(int v) {
    vTitleMargin_ = v;
    LayoutChanged();
}

void TCustomDBGridEh::SetTitleImages(TImageList* v) {
    titleImages_ = v;
    LayoutChanged();
}

// ---- position

int TCustomDBGridEh::SelectedIndex() const { return Col() - indicatorOffset_; }

void TCustomDBGridEh::SetSelectedIndex(int v) { moveToColumn(v + indicatorOffset_); }

TField* TCustomDBGridEh::SelectedField() const {
    TColumnEh* c = columnAt(Col());
    return c ? c->Field() : nullptr;
}

void TCustomDBGridEh::SetSelectedField(TField* v) {
    if (!v) return;
    int found = -1;
    for (int i = 0; i < columns_->Count(); ++i)
        if (columns_->Items(i)->Field() == v) found = i;
    if (found >= 0) SetSelectedIndex(found);
}

int TCustomDBGridEh::FirstFooterRow() const { return footerRowCount_ > 0 ? RowCount() - footerRowCount_ : -1; }

THeadTreeNode* TCustomDBGridEh::LeafFieldArr(int dataCol) const {
    return dataCol >= 0 && dataCol < int(leafFieldArr_.size()) ? leafFieldArr_[size_t(dataCol)] : nullptr;
}

int TCustomDBGridEh::footerRowHeight() const { return textHeight(footerFont_.get()) + 3; }

int TCustomDBGridEh::VisibleDataRowCount() const {
    const int lw = options_.Contains(dgRowLines) ? GridLineWidth() : 0;
    int avail = ClientRect().Height();
    if (titleRow_) avail -= titleRowHeight_ + lw;
    avail -= specRows_ * (dataRowHeight_ + lw);
    if (footerRowCount_ > 0) avail -= footerRowCount_ * (footerRowHeight() + lw) + lw;
    const int step = std::max(1, dataRowHeight_ + lw);
    return std::max(1, avail / step);
}

TRect TCustomDBGridEh::DataAreaRect() const {
    TGridDrawInfo info;
    CalcDrawInfo(info);
    // Frozen columns are data too: the area starts after the indicator.
    const int left = indicatorOffset_ ? ColWidths(0) + (options_.Contains(dgColLines) ? GridLineWidth() : 0) : 0;
    TRect r{left, info.Vert.FixedBoundary, info.Horz.GridBoundary, info.Vert.GridBoundary};
    if (footerRowCount_ > 0 && RowCount() > footerRowCount_ + 1) {
        const TRect sep = CellRect(indicatorOffset_, RowCount() - footerRowCount_ - 1);
        if (!IsRectEmpty(sep)) r.Bottom = sep.Top;
    }
    return r;
}

// ---- automatic scrolling while a selection is dragged past the cells

void TCustomDBGridEh::StartAutoScrollTimer(int Interval) {
    // A 0 ms repeating timer would leave the program nothing else to do.
    Interval = std::max(Interval, kMinAutoScrollInterval);
    if (!autoScrollTimer_) {
        autoScrollTimer_ = new TTimer(this);
        autoScrollTimer_->SetEnabled(false);
        autoScrollTimer_->OnTimer = [this](TObject*) { SelectionAutoScroll(); };
    }
    if (!autoScrollTimer_->Enabled() || Interval != autoScrollInterval_) {
        autoScrollTimer_->SetEnabled(false);
        autoScrollTimer_->SetInterval(Interval);
        autoScrollTimer_->SetEnabled(true);
        autoScrollInterval_ = Interval;
    }
}

void TCustomDBGridEh::StopAutoScrollTimer() {
    if (!AutoScrollTimerOn()) return;
    autoScrollTimer_->SetEnabled(false);
    autoScrollInterval_ = -1;
}

bool TCustomDBGridEh::AutoScrollTimerOn() const { return autoScrollTimer_ && autoScrollTimer_->Enabled(); }

void TCustomDBGridEh::SelectionAutoScroll() {
    if (selectingCols_) {
        columnAutoScroll();
        return;
    }
    if ((!selectingRect_ && !selectingRows_) || !dataLink_->Active()) {
        StopAutoScrollTimer();
        return;
    }
    const TRect r = DataAreaRect();
    const TPoint m = lastMouse_;
    int dy = 0, dx = 0, distY = 0, distX = 0;
    if (selectingRows_) {
        // Records dragged over the indicator: only up or down.
        if (m.Y < r.Top) {
            dy = -1;
            distY = r.Top - m.Y;
        } else if (m.Y >= r.Bottom) {
            dy = 1;
            distY = m.Y - r.Bottom + 1;
        }
        const int step = std::min(distY / 6, 8);
        if (!dy) {
            StopAutoScrollTimer();
            return;
        }
        TDataSet* ds = dataLink_->DataSet();
        if (step) {
            BeginUpdate();
            ScopeExit unlock([this] { EndUpdate(); });
            UpdateData();
            ds->MoveBy(dy * step);
            dragRowsTo(ds->GetBookmark());
        }
        Repaint();
        StartAutoScrollTimer(200 - 15 * distY);
        return;
    }
    if (m.Y < r.Top) {
        dy = -1;
        distY = r.Top - m.Y;
    } else if (m.Y >= r.Bottom) {
        dy = 1;
        distY = m.Y - r.Bottom + 1;
    }
    if (m.X < r.Left) {
        dx = -1;
        distX = r.Left - m.X;
    } else if (m.X >= r.Right) {
        dx = 1;
        distX = m.X - r.Right;
    }
    const int d = std::max(distX, distY);
    const int step = std::min(d / 6, 8);
    if (dx == 0 && dy == 0) {
        StopAutoScrollTimer();
        return;
    }
    TDataSet* ds = dataLink_->DataSet();
    {
        BeginUpdate();
        ScopeExit unlock([this] { EndUpdate(); });
        if (dx < 0 && LeftCol() > FixedCols()) SetLeftCol(LeftCol() - 1);
        if (dx > 0 && VisibleColCount() + LeftCol() < ColCount()) SetLeftCol(LeftCol() + 1);
        if (dx) {
            int c = Col() + dx;
            while (c >= indicatorOffset_ && c < ColCount() && ColWidths(c) <= 0) c += dx;
            if (c >= indicatorOffset_ && c < ColCount()) moveToColumn(c);
        }
        if (dy && step) {
            UpdateData();
            ds->MoveBy(dy * step);
        }
        selection_->Rect()->Select(Col() - indicatorOffset_, ds->GetBookmark(), true);
    }
    Repaint();
    StartAutoScrollTimer(200 - 15 * d);
}

// ---- layout protocol

void TCustomDBGridEh::BeginUpdate() { ++updateLock_; }

void TCustomDBGridEh::EndUpdate() {
    if (updateLock_ > 0) --updateLock_;
}

void TCustomDBGridEh::BeginLayout() {
    BeginUpdate();
    if (layoutLock_ == 0) columns_->BeginUpdate();
    ++layoutLock_;
}

void TCustomDBGridEh::EndLayout() {
    struct Finally {
        TCustomDBGridEh* g;
        ~Finally() {
            if (g->layoutLock_ > 0) {
                if (g->layoutLock_ == 1) {
                    g->inLayout_ = true;
                    g->columns_->EndUpdate();
                    g->inLayout_ = false;
                }
                --g->layoutLock_;
            }
            g->EndUpdate();
        }
    } fin{this};
    if (layoutLock_ == 1) {
        layoutPending_ = false;
        InternalLayout();
    }
}

void TCustomDBGridEh::CancelLayout() {
    if (layoutLock_ == 0) return;
    if (layoutLock_ == 1) {
        inLayout_ = true;
        columns_->EndUpdate();
        inLayout_ = false;
    }
    --layoutLock_;
    EndUpdate();
}

bool TCustomDBGridEh::AcquireLayoutLock() {
    if (updateLock_ == 0 && layoutLock_ == 0 && !inLayout_) {
        BeginLayout();
        return true;
    }
    return false;
}

void TCustomDBGridEh::LayoutChanged() {
    if (!columns_ || loading()) return;
    // The query windows disable the grid while they rebuild its columns;
    // it lays out once when enabled again.
    if (!Enabled()) {
        layoutPending_ = true;
        return;
    }
    if (AcquireLayoutLock())
        EndLayout();
    else
        layoutPending_ = true;
}

void TCustomDBGridEh::DeferLayout() {
    // Queued calls are not available to a library: the layout runs as soon
    // as the lock that prevented it is released (EnabledChanged, EndLayout
    // of the outer bracket) or at once when nothing holds it.
    layoutPending_ = true;
    if (AcquireLayoutLock()) EndLayout();
}

void TCustomDBGridEh::EnabledChanged() {
    TCustomGrid::EnabledChanged();
    // The query windows disable the grid while they rebuild its columns:
    // lay out once when it comes back.
    if (Enabled() && layoutPending_) LayoutChanged();
}

void TCustomDBGridEh::DefineFieldMap() {
    dataLink_->ClearMapping();
    if (columns_->HasStoredColumns()) {
        dataLink_->LenientMapping = true;
        for (int i = 0; i < columns_->Count(); ++i) dataLink_->AddMapping(columns_->Items(i)->FieldName());
    } else {
        dataLink_->LenientMapping = false;
        if (TDataSet* ds = dataLink_->DataSet())
            for (TField* f : ds->Fields())
                if (f->Visible()) dataLink_->AddMapping(f->FieldName());
    }
}

void TCustomDBGridEh::buildTitleTree() {
    headTree_->FreeAllChild();
    leafFieldArr_.assign(size_t(columns_->Count()), nullptr);
    if (!useMultiTitle_) return;
    // Each column adds its caption's words as a path under the root; a
    // neighbour whose path starts with the same words shares those upper
    // cells, but only while every upper word matched too (neighbours under
    // different upper cells never merge).
    std::vector<std::string> prevPath;
    std::vector<THeadTreeNode*> prevNodes;
    const int lw = options_.Contains(dgColLines) ? GridLineWidth() : 0;
    for (int i = 0; i < columns_->Count(); ++i) {
        TColumnEh* c = columns_->Items(i);
        std::vector<std::string> path = splitCaption(c->Title()->Caption());
        std::vector<THeadTreeNode*> nodes;
        THeadTreeNode* host = headTree_.get();
        const int w = c->Visible() ? c->Width() : 0;
        for (size_t lvl = 0; lvl < path.size(); ++lvl) {
            const bool leaf = lvl + 1 == path.size();
            THeadTreeNode* n = nullptr;
            if (!leaf && lvl < prevPath.size() && lvl + 1 < prevPath.size() && prevPath[lvl] == path[lvl] &&
                lvl < prevNodes.size() && prevNodes[lvl]->Host == host && prevNodes[lvl]->Child)
                n = prevNodes[lvl];
            if (n) {
                if (w > 0) n->Width += (n->Width > 0 ? lw : 0) + w;
            } else {
                n = host->AddChild(host, path[lvl], w, 0);
            }
            nodes.push_back(n);
            host = n;
        }
        host->Column = c;
        leafFieldArr_[size_t(i)] = host;
        prevPath = path;
        prevNodes = nodes;
    }
}

int TCustomDBGridEh::titleRowHeight() {
    const int lw = options_.Contains(dgRowLines) ? GridLineWidth() : 0;
    int h = 0;
    if (useMultiTitle_) {
        // Every level one line of the title font plus the margin; the leaf
        // level takes TitleLines when set.
        int levels = 1;
        for (int i = 0; i < columns_->Count(); ++i)
            levels = std::max(levels, int(splitCaption(columns_->Items(i)->Title()->Caption()).size()));
        const int th = textHeight(titleFont_.get());
        const int lines = std::max(1, titleLines_);
        h = (levels - 1) * (th + vTitleMargin_ / 2 + lw) + lines * th + vTitleMargin_ / 2;
    } else {
        int th = textHeight(titleFont_.get());
        for (int i = 0; i < columns_->Count(); ++i) th = std::max(th, textHeight(columns_->Items(i)->Title()->Font()));
        h = (titleLines_ > 0 ? titleLines_ * th : th) + 4;
    }
    return h + titleHeight_;
}

void TCustomDBGridEh::autoFitWidths() {
    std::vector<TColumnEh*> vis = VisibleColumns();
    if (vis.empty()) return;
    const int lw = options_.Contains(dgColLines) ? GridLineWidth() : 0;
    int avail = ClientRect().Width() - (indicatorOffset_ ? kIndicatorWidth + lw : 0) - int(vis.size()) * lw;
    avail = std::max(avail, minAutoFitWidth_);
    int base = 0;
    for (TColumnEh* c : vis) base += std::max(1, c->AutoFitBaseWidth ? c->AutoFitBaseWidth : c->Width());
    if (base <= 0 || avail <= 0) return;
    int used = 0;
    for (size_t i = 0; i < vis.size(); ++i) {
        TColumnEh* c = vis[i];
        const int b = std::max(1, c->AutoFitBaseWidth ? c->AutoFitBaseWidth : c->Width());
        int w = i + 1 == vis.size() ? avail - used : int(int64_t(b) * avail / base);
        if (c->MinWidth() > 0) w = std::max(w, c->MinWidth());
        if (c->MaxWidth() > 0) w = std::min(w, c->MaxWidth());
        used += w;
        SetColWidths(DataToRawColumn(columns_ ? c->Index() : 0), std::max(0, w));
    }
}

void TCustomDBGridEh::InternalLayout() {
    if (inLayout_) return;
    inLayout_ = true;
    ++layoutCount_;
    struct Reset {
        bool& f;
        ~Reset() { f = false; }
    } reset{inLayout_};
    const int keepIndex = SelectedIndex();
    indicatorOffset_ = options_.Contains(dgIndicator) ? 1 : 0;
    titleRow_ = options_.Contains(dgTitles);
    specRows_ = SpecialRowCount();
    titleOffset_ = (titleRow_ ? 1 : 0) + specRows_;
    TDataSet* ds = dataLink_->Active() ? dataLink_->DataSet() : nullptr;
    if (!columns_->HasStoredColumns()) {
        // Default columns follow the data set's visible fields.
        columns_->BeginUpdate();
        for (int i = columns_->Count() - 1; i >= 0; --i)
            if (!columns_->Items(i)->Stored()) columns_->Delete(i);
        if (ds)
            for (TField* f : DatasetFieldList()) columns_->addDefaultColumn(f);
        columns_->EndUpdate();
    }
    DefineFieldMap();
    selection_->Columns()->DropMissingColumns();
    for (int i = 0; i < columns_->Count(); ++i) columns_->Items(i)->RefreshFooters();
    setGridOptions();
    const int dataCols = std::max(1, columns_->Count());
    const int cols = indicatorOffset_ + dataCols;
    if (ColCount() < cols) SetColCount(cols);
    int fixed = indicatorOffset_;
    if (ds || columns_->HasStoredColumns()) fixed += std::min(frozenCols_, dataCols - 1);
    if (FixedCols() > fixed) SetFixedCols(fixed);
    SetColCount(cols);
    if (FixedCols() != fixed) SetFixedCols(fixed);

    // Row height: the font's line ("Wg") plus the margin, or RowHeight /
    // RowLines; fitted to whole text lines when asked.
    const int th = textHeight(Font());
    if (optionsEh_.Contains(dghFitRowHeightToText)) {
        // Whole lines of text below the 3-pixel margin: up from more than
        // half a line, down from half a line or less (never to none).
        const int asked = rowLines_ > 0 ? rowLines_ * th + rowHeight_ + 3 : rowHeight_ > 0 ? rowHeight_ : th + 3;
        const int whole = std::max(0, asked - 3) / th;
        const int rest = std::max(0, asked - 3) % th;
        rowLines_ = rest <= th / 2 && whole != 0 ? whole : whole + 1;
        rowHeight_ = 0;
    }
    if (rowLines_ > 0)
        dataRowHeight_ = rowLines_ * th + rowHeight_ + 3;
    else if (rowHeight_ > 0)
        dataRowHeight_ = rowHeight_;
    else
        dataRowHeight_ = th + 3;
    multiLineRows_ = dataRowHeight_ >= 2 * th;
    SetDefaultRowHeight(dataRowHeight_);

    if (indicatorOffset_) SetColWidths(0, kIndicatorWidth);
    for (int i = 0; i < columns_->Count(); ++i) {
        TColumnEh* c = columns_->Items(i);
        const int w = c->Visible() ? c->Width() : (options_.Contains(dgColLines) ? -1 : 0);
        SetColWidths(i + indicatorOffset_, w);
    }
    if (columns_->Count() == 0) SetColWidths(indicatorOffset_, DefaultColWidth());
    if (autoFitColWidths_) autoFitWidths();
    buildTitleTree();
    titleRowHeight_ = titleRow_ ? titleRowHeight() : 0;
    UpdateRowCount();
    const int target = std::clamp(keepIndex + indicatorOffset_, FixedCols(), ColCount() - 1);
    if (target != Col()) MoveCurrent(target, Row(), true, false);
    lastCol_ = Col();
    inLayout_ = false;
    UpdateActive();
    UpdateScrollBar();
    Invalidate();
}

void TCustomDBGridEh::SetColumnAttributes() {}

std::vector<TField*> TCustomDBGridEh::DatasetFieldList() const {
    std::vector<TField*> v;
    TDataSet* ds = dataLink_->Active() ? dataLink_->DataSet() : nullptr;
    if (ds)
        for (TField* f : ds->Fields())
            if (f->Visible()) v.push_back(f);
    return v;
}

void TCustomDBGridEh::UpdateRowCount() {
    const int lw = options_.Contains(dgRowLines) ? GridLineWidth() : 0;
    int dataRows = 1;
    if (dataLink_->Active() && dataLink_->DataSet()) {
        dataLink_->SetBufferCount(VisibleDataRowCount());
        dataRows = std::max(1, dataLink_->RecordCount());
    }
    const int rows = titleOffset_ + dataRows + (footerRowCount_ > 0 ? 1 + footerRowCount_ : 0);
    const bool was = inLayout_;
    inLayout_ = true;
    // Fewer fixed rows first: the current row must never fall into them.
    if (FixedRows() > titleOffset_) SetFixedRows(titleOffset_);
    if (rows != RowCount()) {
        if (Row() >= rows) MoveCurrent(Col(), std::max(titleOffset_, rows - 1), true, false);
        SetRowCount(rows);
    }
    if (FixedRows() != titleOffset_) SetFixedRows(titleOffset_);
    if (titleRow_) SetRowHeights(0, titleRowHeight_);
    for (int r = titleOffset_ - specRows_; r < titleOffset_; ++r)
        if (RowHeights(r) != dataRowHeight_) SetRowHeights(r, dataRowHeight_);
    for (int r = titleOffset_; r < titleOffset_ + dataRows; ++r)
        if (RowHeights(r) != dataRowHeight_) SetRowHeights(r, dataRowHeight_);
    if (footerRowCount_ > 0) {
        const int fh = footerRowHeight();
        for (int i = 0; i < footerRowCount_; ++i) SetRowHeights(rows - footerRowCount_ + i, fh);
        // The separator takes the space left, so the footers stand at the
        // bottom of the client area.
        int used = (titleRow_ ? titleRowHeight_ + lw : 0) + (specRows_ + dataRows) * (dataRowHeight_ + lw) +
                   footerRowCount_ * (fh + lw) + lw;
        const int sep = std::max(0, ClientRect().Height() - used);
        SetRowHeights(rows - footerRowCount_ - 1, sep);
    }
    if (TopRow() != titleOffset_ && RowCount() > titleOffset_) SetTopRow(titleOffset_);
    inLayout_ = was;
}

void TCustomDBGridEh::UpdateScrollBar() {
    const TScrollStyle bars = ScrollBars();
    if (bars != ssVertical && bars != ssBoth) return;
    TDataSet* ds = dataLink_->Active() ? dataLink_->DataSet() : nullptr;
    if (!ds || ds->IsEmpty()) {
        SetScrollRange(sbVertical, 0, 0, 1);
        SetScrollPos(sbVertical, 0);
        return;
    }
    if (sumList_->IsSequenced()) {
        SetScrollRange(sbVertical, 0, std::max(0, sumList_->GetRecordCount() - 1), 1);
        SetScrollPos(sbVertical, std::max(0, sumList_->GetRecNo() - 1));
    } else {
        SetScrollRange(sbVertical, 0, 4, 1);
        SetScrollPos(sbVertical, ds->Bof() ? 0 : ds->Eof() ? 4 : 2);
    }
}

void TCustomDBGridEh::UpdateActive() {
    if (!incSearchMoving_) StopIncSearch();
    if (!dataLink_->Active() || inUpdateData_ || loading() || inLayout_) return;
    const int r = titleOffset_ + std::max(0, dataLink_->ActiveRecord());
    if (r != Row() && r < RowCount()) {
        ForgetEditorCell();
        if (!options_.Contains(dgAlwaysShowEditor)) HideEditor();
        const bool was = inLayout_;
        inLayout_ = true;
        MoveCurrent(Col(), r, false, false);
        inLayout_ = was;
    }
    if (TopRow() != titleOffset_ && RowCount() > titleOffset_) SetTopRow(titleOffset_);
    InvalidateEditor();
}

// ---- data link reactions

void TCustomDBGridEh::LinkActive(bool Value) {
    if (!Value) HideEditor();
    selection_->DataLinkActiveChanged(Value);
    sumList_->SetDataSet(Value && DataSource() ? DataSource()->DataSet() : nullptr);
    LayoutChanged();
    if (Value && options_.Contains(dgAlwaysShowEditor)) ShowEditor();
    UpdateScrollBar();
}

void TCustomDBGridEh::DataChanged() {
    if (inLayout_) return;
    UpdateRowCount();
    UpdateScrollBar();
    UpdateActive();
    InvalidateEditor();
    Invalidate();
}

void TCustomDBGridEh::EditingChanged() {
    if (indicatorOffset_) InvalidateCell(0, Row());
}

void TCustomDBGridEh::RecordChanged(TField* Field) {
    if (inLayout_) return;
    InvalidateRow(Row());
    InvalidateFooters();
    TColumnEh* c = columnAt(Col());
    if (!inUpdateData_ && (!Field || (c && c->Field() == Field))) {
        if (EditorMode() && InplaceEditor() && c && c->Field() && InplaceEditor()->GetText() != c->Field()->Text()) {
            dataLink_->SetModified(false);
            InvalidateEditor();
        }
    }
}

void TCustomDBGridEh::Scroll(int Distance) {
    if (inLayout_) return;
    UpdateRowCount();
    if (Distance) {
        ForgetEditorCell();
        if (!options_.Contains(dgAlwaysShowEditor)) HideEditor();
    }
    UpdateScrollBar();
    UpdateActive();
    // Footers stand below the rows that move: repaint the data area rather
    // than moving pixels through the footers.
    Invalidate();
    if (Distance && options_.Contains(dgAlwaysShowEditor)) ShowEditor();
}

void TCustomDBGridEh::UpdateData() {
    if (!dataLink_->Modified() || inUpdateData_) return;
    TColumnEh* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    dataLink_->SetModified(false);
    if (!f) return;
    TDataSet* ds = dataLink_->DataSet();
    if (ds->State() != dsEdit && ds->State() != dsInsert && !dataLink_->Edit()) return;
    inUpdateData_ = true;
    ScopeExit restore([&] { inUpdateData_ = false; });
    // A refused text stays in the cell, still to be written.
    ScopeExit refused([&] { dataLink_->SetModified(true); });
    switch (c->GetColumnType()) {
    case ctKeyPickList: {
        // The editor shows texts; the field takes the key of the text.
        int idx = c->PickList()->IndexOf(editText_);
        if (idx < 0 && c->OnNotInList) {
            bool recheck = false;
            c->OnNotInList(c, editText_, recheck);
            if (recheck) idx = c->PickList()->IndexOf(editText_);
        }
        if (idx >= 0 && idx < c->KeyList()->Count()) {
            std::string k = c->KeyList()->Strings(idx);
            if (size_t p = k.find(';'); p != std::string::npos) k = k.substr(0, p);
            c->UpdateDataValues(k, Null(), true);
        } else {
            c->UpdateDataValues("", Null(), false);
        }
        break;
    }
    case ctLookupField: {
        // Only a text outside the list is left to write: the column may
        // take it into the list and ask to look again.
        TDataSet* lookup = f->LookupDataSet();
        if (!editText_.empty() && c->OnNotInList && lookup && VarIsNull(ds->FieldValues(f->KeyFields()))) {
            bool recheck = false;
            c->OnNotInList(c, editText_, recheck);
            if (recheck && lookup->Locate(f->LookupResultField(), Variant(editText_), loCaseInsensitive))
                AssignFieldValues(ds, f->KeyFields(), lookup->FieldValues(f->LookupKeyFields()));
        }
        break;
    }
    case ctPickList:
        if (c->PickList()->IndexOf(editText_) < 0 && c->OnNotInList) {
            bool recheck = false;
            c->OnNotInList(c, editText_, recheck);
        }
        c->UpdateDataValues(editText_, Null(), true);
        break;
    default: c->UpdateDataValues(editText_, Null(), true); break;
    }
    refused.Dismiss();
}

// ---- values

std::string TCustomDBGridEh::CellDisplayText(TColumnEh* Column) const { return Column ? Column->DisplayText() : ""; }

std::string TCustomDBGridEh::GetFooterValue(int Row, TColumnEh* Column) {
    TColumnFooterEh* f = Column->FooterOfRow(Row);
    TDataSet* ds = DataSource() ? DataSource()->DataSet() : nullptr;
    switch (f->ValueType()) {
    case fvtNon: return {};
    case fvtSum:
    case fvtAvg: {
        std::string text = "0";
        if (!ds) return text;
        TField* field = ds->FindField(f->FieldName().empty() ? Column->FieldName() : f->FieldName());
        if (!field) return text;
        TDBSum* s = sumList_->SumCollection()->FindSum(f->ValueType() == fvtSum ? goSum : goAvg, field->FieldName());
        if (!s) return text;
        const Currency v = Currency::FromRaw(s->SumValue);
        const std::string& fmt = field->DisplayFormat();
        switch (field->DataType()) {
        case ftSmallint:
        case ftInteger:
        case ftWord:
        case ftAutoInc:
        case ftLargeint:
            if (!fmt.empty()) return FormatFloat(fmt, v.ToDouble());
            return IntToStr(int64_t(std::nearbyint(v.ToDouble())));
        case ftFloat:
        case ftCurrency:
        case ftBCD:
        case ftFMTBcd: {
            if (!fmt.empty()) return FormatFloat(fmt, v.ToDouble());
            auto* ff = dynamic_cast<TFloatField*>(field);
            const bool money = field->DataType() == ftCurrency || (ff && ff->Currency());
            if (money) return FloatToStrF(v.ToDouble(), ffCurrency, 15, FormatSettings.CurrencyDecimals);
            return FloatToStr(v.ToDouble());
        }
        default: return text;
        }
    }
    case fvtCount: {
        TDBSum* s = sumList_->SumCollection()->FindSum(goCount, "");
        return s ? FloatToStr(double(s->SumValue) / 10000.0) : "0";
    }
    case fvtFieldValue: {
        if (!ds || !ds->Active() || f->FieldName().empty()) return {};
        // A footer naming a field the data set lacks stays empty rather
        // than raising on every repaint.
        TField* field = ds->FindField(f->FieldName());
        return field ? field->DisplayText() : std::string();
    }
    case fvtStaticText: return f->Value();
    }
    return {};
}

void TCustomDBGridEh::InvalidateFooters() {
    if (footerRowCount_ <= 0 || inLayout_) return;
    for (int r = RowCount() - footerRowCount_; r < RowCount(); ++r)
        if (r >= 0) InvalidateRow(r);
}

void TCustomDBGridEh::SumListChanged() { InvalidateFooters(); }

// ---- notifications

void TCustomDBGridEh::CellClick(TColumnEh* Column) {
    if (OnCellClick) OnCellClick(Column);
}

void TCustomDBGridEh::TitleClick(TColumnEh* Column) {
    if (OnTitleClick) OnTitleClick(Column);
}

void TCustomDBGridEh::TitleBtnClick(int ACol, TColumnEh* Column) {
    if (OnTitleBtnClick) OnTitleBtnClick(this, ACol, Column);
}

void TCustomDBGridEh::ColEnter() {
    if (OnColEnter) OnColEnter(this);
}

void TCustomDBGridEh::ColExit() {
    if (OnColExit) OnColExit(this);
}

void TCustomDBGridEh::stepSortMarker(TColumnEh* c, bool keepOthers) {
    c->Title()->StepSortMarker(optionsEh_.Contains(dghMultiSortMarking) && keepOthers);
}

int TCustomDBGridEh::SortIndexTextWidth(const TColumnEh* col, int index) const {
    return measureCanvas(sortIndexFont(col->Title()->Font()).get())->TextWidth(IntToStr(index));
}

void TCustomDBGridEh::DefaultApplySorting() {}

void TCustomDBGridEh::Loaded() {
    TCustomGrid::Loaded();
    sortMarked_.clear();
    std::vector<std::pair<int, TColumnEh*>> marked;
    for (int i = 0; i < columns_->Count(); ++i)
        if (int si = columns_->Items(i)->SortIndexInternal; si > 0) marked.emplace_back(si, columns_->Items(i));
    std::sort(marked.begin(), marked.end(), [](auto& a, auto& b) { return a.first < b.first; });
    for (auto& m : marked) sortMarked_.push_back(m.second);
    if (!sortMarked_.empty() && OnSortMarkingChanged) OnSortMarkingChanged(this);
    if (DataSource()) sumList_->Loaded();
    LayoutChanged();
}

void TCustomDBGridEh::Notification(TComponent* component, TOperation operation) {
    TCustomGrid::Notification(component, operation);
    if (operation != opRemove || !dataLink_) return;
    if (component == DataSource()) SetDataSource(nullptr);
}

// ---- editing protocol

std::string TCustomDBGridEh::GetEditText(int ACol, int) {
    TColumnEh* c = columnAt(ACol);
    TField* f = c ? c->Field() : nullptr;
    if (!f) return {};
    if (dataLink_->Modified() && ACol == Col()) return editText_;
    switch (c->GetColumnType()) {
    case ctKeyPickList: return c->DisplayText();
    default: break;
    }
    if (f->DataType() == ftMemo) {
        // The editor is one line: line ends become CR LF as the platform
        // editor keeps them.
        return f->AsString();
    }
    return f->Text();
}

void TCustomDBGridEh::SetEditText(int ACol, int, const std::string& Value) {
    TColumnEh* c = columnAt(ACol);
    if (!c || !c->Field()) return;
    if (!dataLink_->Modified() && Value == GetEditText(ACol, Row())) return;
    editText_ = Value;
    dataLink_->SetModified(true);
    InvalidateCell(ACol, Row());
}

std::string TCustomDBGridEh::GetEditMask(int ACol, int) {
    TColumnEh* c = columnAt(ACol);
    TField* f = c ? c->Field() : nullptr;
    return f ? f->EditMask() : std::string();
}

int TCustomDBGridEh::GetEditLimit() {
    TColumnEh* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    if (f && dynamic_cast<TStringField*>(f) && c->GetColumnType() == ctCommon) return f->Size();
    return 0;
}

std::vector<std::string> TCustomDBGridEh::GetPickList(int ACol, int) {
    TColumnEh* c = columnAt(ACol);
    std::vector<std::string> v;
    if (!c) return v;
    TStrings* l = c->PickList();
    for (int i = 0; i < l->Count(); ++i) v.push_back(l->Strings(i));
    return v;
}

void TCustomDBGridEh::PickListChosen() { UpdateData(); }

bool TCustomDBGridEh::CanEditShow() {
    if (!dataLink_->Active() || options_.Contains(dgRowSelect) || layoutLock_ > 0 || incSearching_) return false;
    if (optionsEh_.Contains(dghClearSelection) && selection_->Kind() != gstNon) return false;
    TColumnEh* c = columnAt(Col());
    if (!c || !c->Field()) return false;
    const TColumnEhValueType t = c->GetColumnType();
    if (t == ctCheckboxes || t == ctKeyImageList) return false;
    return TCustomGrid::CanEditShow();
}

bool TCustomDBGridEh::canModifyDataSet() const {
    TDataSet* ds = dataLink_->Active() ? dataLink_->DataSet() : nullptr;
    return ds && !readOnly_ && !dataLink_->ReadOnly() && ds->CanModify();
}

bool TCustomDBGridEh::CanEditModify() {
    if (TDBGridInplaceEdit* e = InplaceEditorEh(); e && e->ReadOnlyOverridden()) {
        // The cell's parameters decided: a writable cell goes into edit
        // even where the column alone would refuse.
        if (e->ForcedReadOnly() || !dataLink_->Active() || !dataLink_->Edit()) return false;
        dataLink_->SetModified(true);
        return true;
    }
    if (!canModifyDataSet()) return false;
    TColumnEh* c = columnAt(Col());
    if (!c) return false;
    return c->CanModify(true);
}

bool TCustomDBGridEh::CanEditAcceptKey(char32_t Key) {
    // A cell the parameters forced read-only takes nothing; one they forced
    // writable takes what its field allows, as any other.
    const TDBGridInplaceEdit* e = InplaceEditorEh();
    const bool forced = e && e->ReadOnlyOverridden();
    const bool start = forced ? !e->ForcedReadOnly() : true;
    TColumnEh* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    if (!dataLink_->Active() || !f) return forced && start;
    if (c->KeyList()->Count() > 0) return start;
    return start && f->IsValidChar(Key);
}

bool TCustomDBGridEh::SelectCell(int ACol, int ARow) {
    if (droppedGrid_) CloseUpDataGrid(false);
    if (TDBGridInplaceEdit* e = InplaceEditorEh()) e->CloseUp(false);
    if (!inLayout_ && ACol != Col()) ColExit();
    return true;
}

// ---- navigation

void TCustomDBGridEh::moveToColumn(int gridCol) {
    gridCol = std::clamp(gridCol, FixedCols() > indicatorOffset_ ? indicatorOffset_ : FixedCols(), ColCount() - 1);
    if (gridCol < indicatorOffset_) gridCol = indicatorOffset_;
    if (gridCol == Col()) return;
    UpdateData();
    if (!options_.Contains(dgAlwaysShowEditor)) HideEditor();
    if (gridCol < FixedCols()) {
        // A frozen column: the base keeps the cursor out of its fixed band,
        // so only the column index moves.
        SetFrozenCol(gridCol);
    } else {
        MoveCurrent(gridCol, Row(), true, true);
    }
    if (Col() != lastCol_) {
        lastCol_ = Col();
        ColEnter();
    }
    InvalidateEditor();
}

// Up, Down, PgUp and PgDn: Shift with multi-select selects as it moves
// (MoveBySelecting), a plain move drops the selection.
void TCustomDBGridEh::moveRecordBy(int distance, TShiftState shift) {
    if (!dataLink_->Active() || distance == 0) return;
    TDataSet* ds = dataLink_->DataSet();
    UpdateData();
    const bool select = shift.Contains(ssShift) && options_.Contains(dgMultiSelect);
    const bool canAppend = !readOnly_ && options_.Contains(dgEditing) && allowedOperations_.Contains(alopAppendEh) &&
                           canModifyDataSet() && distance > 0;
    const bool untouchedNew = ds->State() == dsInsert && !ds->Modified() && !dataLink_->Modified();
    if (untouchedNew && (distance < 0 || ds->Eof())) {
        ds->Cancel();
        return;
    }
    if (!select) dropSelection();
    const TBookmark before = ds->GetBookmark();
    MoveBySelecting(select, distance, false, false);
    if (canAppend && ds->Eof() && ds->State() == dsBrowse && ds->GetBookmark() == before) ds->Append();
}

void TCustomDBGridEh::dropSelection() {
    rowAnchor_.clear();
    if (optionsEh_.Contains(dghClearSelection) && selection_->Kind() != gstNon) selection_->Clear();
}

void TCustomDBGridEh::anchorRectHere() {
    if (selection_->Kind() == gstRectangle) return;
    selection_->Clear();
    selection_->Rect()->Select(Col() - indicatorOffset_, dataLink_->DataSet()->GetBookmark(), false);
}

void TCustomDBGridEh::MoveBySelecting(bool Select, int Distance, bool RecordWise, bool ToEnd) {
    if (!dataLink_->Active() || Distance == 0) return;
    TDataSet* ds = dataLink_->DataSet();
    UpdateData();
    auto move = [&] {
        if (!ToEnd)
            ds->MoveBy(Distance);
        else if (Distance > 0)
            ds->Last();
        else
            ds->First();
    };
    if (RecordWise || options_.Contains(dgRowSelect)) {
        if (!Select || !CanSelectKind(gstRecordBookmarks)) {
            if (options_.Contains(dgMultiSelect)) dropSelection();
            move();
            return;
        }
        // The records from the range's anchor to the one reached, the
        // anchor taken where the range began.
        if (rowAnchor_.empty()) rowAnchor_ = ds->GetBookmark();
        move();
        selectRangeTo(ds->GetBookmark());
        return;
    }
    if (!Select || !CanSelectKind(gstRectangle)) {
        move();
        return;
    }
    anchorRectHere();
    move();
    selection_->Rect()->Select(Col() - indicatorOffset_, ds->GetBookmark(), true);
}

void TCustomDBGridEh::MoveCol(int ACol, int Direction, bool ExtendRect) {
    if (!dataLink_->Active()) return;
    const bool rect = ExtendRect && CanSelectKind(gstRectangle);
    if (rect) anchorRectHere();
    if (Direction != 0) {
        while (ACol >= indicatorOffset_ && ACol < ColCount() && ColWidths(ACol) < 1) ACol += Direction;
        if (ACol < indicatorOffset_ || ACol >= ColCount()) return;
    }
    moveToColumn(ACol);
    if (rect) selection_->Rect()->Select(Col() - indicatorOffset_, dataLink_->DataSet()->GetBookmark(), true);
}

// Selects the records from the row anchor to target, both included.
void TCustomDBGridEh::selectRangeTo(const TBookmark& target) {
    TDataSet* ds = dataLink_->DataSet();
    if (!ds || rowAnchor_.empty() || target.empty()) return;
    if (selection_->Kind() != gstRecordBookmarks) {
        selection_->Clear();
        selection_->ChangeKind(gstRecordBookmarks);
    }
    bookmarks_->Empty();
    selection_->ChangeKind(gstRecordBookmarks);
    const bool down = ds->CompareBookmarks(rowAnchor_, target) <= 0;
    const TBookmark& from = down ? rowAnchor_ : target;
    const TBookmark& to = down ? target : rowAnchor_;
    ds->DisableControls();
    {
        ScopeExit restore([&] { ds->EnableControls(); });
        const TBookmark back = ds->GetBookmark();
        ds->GotoBookmark(from);
        // The records from the first to the last in presented order, read a
        // window of rows at a time through a link of its own: one move per
        // window instead of one per record (every move asks each link of
        // the data set to leave editing), and the list is built whole.
        std::vector<TBookmark> range;
        if (ds->IsSequenced()) range.reserve(size_t(std::max(0, ds->RecordCount())));
        TDataLink window;
        window.SetDataSource(dataLink_->DataSource());
        constexpr int kWindowRows = 4096;
        bool done = false;
        while (!done) {
            // The window starts at the current record where it can.
            window.SetBufferCount(1);
            window.SetBufferCount(kWindowRows);
            const int firstRow = window.ActiveRecord(), rows = window.RecordCount();
            int taken = 0;
            for (int r = firstRow; r < rows; ++r) {
                window.SetActiveRecord(r);
                range.push_back(ds->GetBookmark());
                ++taken;
                if (range.back() == to) {
                    done = true;
                    break;
                }
            }
            window.SetActiveRecord(firstRow); // the current record again: reading ends
            if (!done && (taken == 0 || ds->MoveBy(taken) < taken)) done = true;
        }
        window.SetDataSource(nullptr);
        bookmarks_->AssignOrdered(std::move(range));
        ds->GotoBookmark(back);
    }
    Invalidate();
}

void TCustomDBGridEh::deleteCurrent() {
    if (readOnly_ || !canModifyDataSet() || !allowedOperations_.Contains(alopDeleteEh)) return;
    TDataSet* ds = dataLink_->DataSet();
    if (ds->IsEmpty()) return;
    if (selection_->Kind() != gstNon) {
        ClearSelection();
        return;
    }
    if (options_.Contains(dgConfirmDelete) && MessageDlg("Delete record?", mtConfirmation, {mbOK, mbCancel}, 0) != mrOk)
        return;
    ds->Delete();
}

void TCustomDBGridEh::ClearSelection() {
    TDataSet* ds = dataLink_->Active() ? dataLink_->DataSet() : nullptr;
    if (!ds) return;
    const TDBGridEhSelectionType kind = selection_->Kind();
    if (kind == gstNon) return;
    const bool deletesRecords = kind == gstRecordBookmarks || kind == gstAll;
    // Every kind of mass change asks first when the grid confirms deletes.
    if (options_.Contains(dgConfirmDelete)) {
        const char* text = deletesRecords ? "Delete all selected records?" : "Clear selected cells?";
        if (MessageDlg(text, mtConfirmation, {mbOK, mbCancel}, 0) != mrOk) return;
    }
    if (kind == gstRecordBookmarks) {
        bookmarks_->DeleteRecords();
    } else if (kind == gstAll) {
        ds->DisableControls();
        ScopeExit restore([&] { ds->EnableControls(); });
        ds->First();
        // Stops when a delete does not lower the count (a data set that
        // refuses or re-adds the record).
        while (!ds->IsEmpty()) {
            const int before = ds->RecordCount();
            ds->Delete();
            if (ds->RecordCount() >= before) break;
        }
    } else {
        if (DBGridEhEditActionHooks().ClearCells) DBGridEhEditActionHooks().ClearCells(this);
    }
    selection_->Clear();
}

bool TCustomDBGridEh::CanCopySelection() {
    return dataLink_->Active() && (selection_->Kind() != gstNon || SelectedField() != nullptr);
}

bool TCustomDBGridEh::CanCutSelection() { return CanCopySelection() && CanDeleteSelection(); }

bool TCustomDBGridEh::CanDeleteSelection() {
    if (!canModifyDataSet()) return false;
    switch (selection_->Kind()) {
    case gstRecordBookmarks:
    case gstAll: return allowedOperations_.Contains(alopDeleteEh);
    case gstRectangle:
    case gstColumns: return allowedOperations_.Contains(alopUpdateEh);
    default: return SelectedField() != nullptr && allowedOperations_.Contains(alopUpdateEh);
    }
}

bool TCustomDBGridEh::CanPasteSelection() {
    if (!canModifyDataSet()) return false;
    const bool inserting = dataLink_->DataSet()->State() == dsInsert;
    return inserting || allowedOperations_.Contains(alopUpdateEh);
}

bool TCustomDBGridEh::CanSelectAll() {
    return options_.Contains(dgMultiSelect) && allowedSelections_.Contains(gstAll) && dataLink_->Active();
}

// ---- incremental search

void TCustomDBGridEh::StartIncSearch() {
    incSearching_ = true;
    incSearchText_.clear();
    incSearchTick_ = tickMs();
    HideEditor();
    InvalidateRow(Row());
}

void TCustomDBGridEh::StopIncSearch() {
    if (!incSearching_) return;
    incSearching_ = false;
    incSearchText_.clear();
    if (columns_) InvalidateRow(Row());
}

// Finds the next record (direction 0: from the current one, 1: after it,
// -1: before it) whose current column's text starts with text, ignoring
// letter case; the cursor moves there. False (nothing moves) when none.
bool TCustomDBGridEh::DoIncSearch(const std::string& text, int direction) {
    TColumnEh* c = columnAt(Col());
    TDataSet* ds = dataLink_->Active() ? dataLink_->DataSet() : nullptr;
    if (!c || !c->Field() || !ds || text.empty()) return false;
    // Compared by whole characters: the first as many characters of the
    // cell's text as the search has, both upper-cased.
    const std::string key = AnsiUpperCase(text);
    const auto charsOf = [](const std::string& s) {
        int n = 0;
        for (unsigned char ch : s)
            if ((ch & 0xC0) != 0x80) ++n;
        return n;
    };
    const int want = charsOf(text);
    const auto prefixOf = [want](const std::string& s) {
        int n = 0;
        size_t i = 0;
        for (; i < s.size(); ++i)
            if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 && n++ == want) break;
        return s.substr(0, i);
    };
    std::string matched;
    const auto matches = [&] {
        const std::string p = prefixOf(c->DisplayText());
        if (charsOf(p) != want || AnsiUpperCase(p) != key) return false;
        matched = p;
        return true;
    };
    const TBookmark start = ds->GetBookmark();
    bool found = false;
    // Typing that still fits the current record keeps it.
    if (direction == 0 && matches()) {
        incSearchText_ = matched;
        incSearchTick_ = tickMs();
        Invalidate();
        return true;
    }
    incSearchMoving_ = true;
    ds->DisableControls();
    {
        ScopeExit restore([&] {
            ds->EnableControls();
            incSearchMoving_ = false;
        });
        if (direction > 0) ds->Next();
        if (direction < 0) ds->Prior();
        // A new text is sought from the first record.
        if (direction == 0) ds->First();
        while (!(direction < 0 ? ds->Bof() : ds->Eof())) {
            if (matches()) {
                found = true;
                break;
            }
            if (direction < 0)
                ds->Prior();
            else
                ds->Next();
        }
        if (direction < 0 && !found && ds->Bof()) found = matches();
        if (!found) ds->GotoBookmark(start);
    }
    if (found) {
        incSearchText_ = matched;
        incSearchTick_ = tickMs();
    }
    Invalidate();
    return found;
}

// ---- keyboard

void TCustomDBGridEh::KeyDown(Word& Key, TShiftState Shift) {
    if (droppedGrid_) {
        // The dropped data grid takes the moving keys; the focus stays in
        // the cell's editor.
        switch (Key) {
        case VK_ESCAPE:
            CloseUpDataGrid(false);
            Key = 0;
            return;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            if (Shift.Contains(ssAlt)) {
                CloseUpDataGrid(true);
            } else {
                droppedGrid_->StepByKey(Key, Shift);
            }
            Key = 0;
            return;
        default: CloseUpDataGrid(false); break;
        }
    }
    TCustomControl::KeyDown(Key, Shift); // OnKeyDown first: Esc closes a query window
    if (!Key || !dataLink_->Active()) return;
    TDataSet* ds = dataLink_->DataSet();
    const bool ctrl = Shift.Contains(ssCtrl);
    const bool rowSelect = options_.Contains(dgRowSelect);
    auto nextVisible = [&](int from, int step) {
        for (int c = from + step; c >= indicatorOffset_ && c < ColCount(); c += step)
            if (ColWidths(c) > 0) return c;
        return -1;
    };
    if (incSearching_) {
        // Ctrl+Enter is the next match and Ctrl+Shift+Enter the previous:
        // only a plain Enter ends the search.
        if ((Key == VK_RETURN || Key == VK_ESCAPE || Key == VK_F2) && !ctrl && !Shift.Contains(ssShift) &&
            !Shift.Contains(ssAlt)) {
            StopIncSearch();
            Key = 0;
            return;
        }
        // Pasting during a search adds the clipboard's text to the search.
        const bool paste = (Key == 'V' && Shift == TShiftState{ssCtrl}) ||
                           (Key == VK_INSERT && Shift == TShiftState{ssShift});
        if (paste) {
            DoIncSearch(incSearchText_ + Clipboard()->AsText(), 0);
            Key = 0;
            return;
        }
        if (Key == VK_BACK && Shift.Empty()) {
            // Takes back the last whole character typed; the record stays.
            size_t n = incSearchText_.size();
            while (n > 0 && (static_cast<unsigned char>(incSearchText_[n - 1]) & 0xC0) == 0x80) --n;
            incSearchText_.resize(n > 0 ? n - 1 : 0);
            incSearchTick_ = tickMs();
            InvalidateRow(Row());
            Key = 0;
            return;
        }
        if (ctrl && (Key == VK_RETURN || Key == VK_DOWN || Key == VK_UP)) {
            const bool back = Key == VK_UP || (Key == VK_RETURN && Shift.Contains(ssShift));
            DoIncSearch(incSearchText_, back ? -1 : 1);
            Key = 0;
            return;
        }
    }
    // Shift with multi-select selects as the keys move: records with whole
    // rows selected, else a rectangle of cells.
    const bool select = Shift.Contains(ssShift) && options_.Contains(dgMultiSelect);
    if (ctrl) {
        switch (Key) {
        case VK_UP:
        case VK_PRIOR:
        case VK_DOWN:
        case VK_NEXT: {
            if (!Shift.Contains(ssShift)) dropSelection();
            const bool up = Key == VK_UP || Key == VK_PRIOR;
            const int distance =
                up ? -dataLink_->ActiveRecord() : dataLink_->RecordCount() - 1 - dataLink_->ActiveRecord();
            if (select) {
                MoveBySelecting(true, distance, false, false);
            } else {
                UpdateData();
                ds->MoveBy(distance);
            }
            break;
        }
        case VK_HOME:
        case VK_END:
            if (!Shift.Contains(ssShift)) dropSelection();
            if (select) {
                MoveBySelecting(true, Key == VK_END ? 1 : -1, false, true);
            } else {
                UpdateData();
                if (Key == VK_END)
                    ds->Last();
                else
                    ds->First();
            }
            break;
        case VK_LEFT: MoveCol(indicatorOffset_, 1, false); break;
        case VK_RIGHT: MoveCol(ColCount() - 1, -1, false); break;
        case 'C':
        case VK_INSERT:
            if (!editActions_.Contains(geaCopyEh) || !DBGridEhEditActionHooks().Copy) return;
            DBGridEhEditActionHooks().Copy(this);
            break;
        case 'X':
            if (!editActions_.Contains(geaCutEh) || !DBGridEhEditActionHooks().Cut) return;
            DBGridEhEditActionHooks().Cut(this);
            break;
        case 'V':
            if (!editActions_.Contains(geaPasteEh) || !DBGridEhEditActionHooks().Paste) return;
            DBGridEhEditActionHooks().Paste(this);
            break;
        case 'A':
            if (!editActions_.Contains(geaSelectAllEh) || !CanSelectAll()) return;
            selection_->SelectWholeGrid();
            break;
        case 'F':
            if (!optionsEh_.Contains(dghIncSearch)) return;
            StartIncSearch();
            break;
        case VK_DELETE:
            if (selection_->Kind() != gstNon && editActions_.Contains(geaDeleteEh))
                ClearSelection();
            else
                deleteCurrent();
            break;
        default: return;
        }
        Key = 0;
        return;
    }
    switch (Key) {
    case VK_UP: moveRecordBy(-1, Shift); break;
    case VK_DOWN: moveRecordBy(1, Shift); break;
    case VK_PRIOR: moveRecordBy(-VisibleDataRowCount(), Shift); break;
    case VK_NEXT: moveRecordBy(VisibleDataRowCount(), Shift); break;
    case VK_HOME:
    case VK_END: {
        const bool end = Key == VK_END;
        if (!rowSelect && ColCount() - indicatorOffset_ > 1) {
            if (!select) dropSelection();
            MoveCol(end ? ColCount() - 1 : indicatorOffset_, end ? -1 : 1, select);
        } else if (select) {
            MoveBySelecting(true, end ? 1 : -1, false, true);
        } else {
            dropSelection();
            UpdateData();
            if (end)
                ds->Last();
            else
                ds->First();
        }
        break;
    }
    case VK_LEFT:
    case VK_RIGHT: {
        const int step = Key == VK_LEFT ? -1 : 1;
        if (rowSelect) {
            // Whole rows have no current column to move: the arrows bring
            // the columns off screen into view instead.
            if (step < 0 ? LeftCol() > FixedCols() : LeftCol() + VisibleColCount() < ColCount())
                SetLeftCol(LeftCol() + step);
        } else {
            if (!select) dropSelection();
            if (int c = nextVisible(Col(), step); c >= 0) MoveCol(c, step, select);
        }
        break;
    }
    case VK_RETURN:
        if (!optionsEh_.Contains(dghEnterAsTab)) return;
        [[fallthrough]];
    case VK_TAB: {
        if (Key == VK_TAB && (!options_.Contains(dgTabs) || Shift.Contains(ssAlt))) return;
        const bool back = Shift.Contains(ssShift);
        // Shift here walks back: the walk selects nothing.
        dropSelection();
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
    case VK_DELETE: {
        TColumnEh* c = columnAt(Col());
        const TColumnEhValueType t = c ? c->GetColumnType() : ctCommon;
        if ((t == ctCheckboxes || t == ctKeyImageList) && Shift.Empty()) {
            // A check box or image cell has no editor: Delete empties it.
            if (c->Field() && !c->Field()->Required() && c->CanModify(true)) c->UpdateDataValues("", Null(), false);
            break;
        }
        if (Shift.Contains(ssShift) && editActions_.Contains(geaCutEh) && DBGridEhEditActionHooks().Cut) {
            DBGridEhEditActionHooks().Cut(this);
            break;
        }
        return;
    }
    case VK_INSERT:
        if (Shift.Contains(ssShift) && editActions_.Contains(geaPasteEh) && DBGridEhEditActionHooks().Paste) {
            DBGridEhEditActionHooks().Paste(this);
            break;
        }
        if (!Shift.Empty() || readOnly_ || !options_.Contains(dgEditing) || !canModifyDataSet()) return;
        dropSelection();
        UpdateData();
        if (allowedOperations_.Contains(alopInsertEh))
            ds->Insert();
        else if (allowedOperations_.Contains(alopAppendEh))
            ds->Append();
        break;
    case VK_ESCAPE:
        if (dataLink_->Modified() || ds->State() == dsEdit || ds->State() == dsInsert) {
            dataLink_->Reset();
            dataLink_->SetModified(false);
            if (ds->State() == dsEdit || ds->State() == dsInsert) ds->Cancel();
        }
        dropSelection();
        if (!options_.Contains(dgAlwaysShowEditor)) HideEditor();
        // Esc while a column or row is sized or moved ends that without acting.
        if (GridState() != gsNormal || traceSizingCol_ >= 0) CancelMode();
        break;
    case VK_F2:
        if (InplaceEditor() && EditorMode()) break;
        SetEditorMode(true);
        if (InplaceEditor()) InplaceEditor()->Deselect();
        break;
    case VK_SPACE: {
        TColumnEh* c = columnAt(Col());
        if (!c) return;
        const TColumnEhValueType t = c->GetColumnType();
        if (t != ctCheckboxes && t != ctKeyImageList) return;
        c->SetNextFieldValue(Shift.Contains(ssShift) ? -1 : 1);
        break;
    }
    default: return;
    }
    Key = 0;
}

void TCustomDBGridEh::KeyUp(Word& Key, TShiftState Shift) { TCustomGrid::KeyUp(Key, Shift); }

// ---- typing, deleting and pasting in list cells
//
// A lookup cell and a key list cell take only texts of their lists (unless
// the column has OnNotInList, which is asked when the record is written):
// what is typed or pasted completes to the first entry it begins (in any
// letter case), with the rest of the entry selected; a lookup writes the
// entry's key at once. A plain pick list completes the same way but takes
// any other text as typed.

TCustomDBGridEh::ListCell TCustomDBGridEh::listCellHere(TColumnEh*& c) {
    c = nullptr;
    TDBGridInplaceEdit* ed = InplaceEditorEh();
    if (!ed || !ed->Visible() || !EditorMode()) return lcNone;
    c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    if (!f) return lcNone;
    const TInplaceEditStyleEh style = ed->EditStyleEh();
    switch (c->GetColumnType()) {
    case ctLookupField: {
        TDataSet* lookup = f->LookupDataSet();
        if ((style != iesDataGridEh && style != iesDropDownEh) || !lookup || !lookup->Active() ||
            f->LookupResultField().empty())
            return lcNone;
        return lcLookup;
    }
    case ctKeyPickList: return style == iesPickListEh ? lcKeyPick : lcNone;
    case ctPickList: return style == iesPickListEh ? lcPick : lcNone;
    default: return lcNone;
    }
}

bool TCustomDBGridEh::listCellMayChange() {
    TDataSet* ds = dataLink_->Active() ? dataLink_->DataSet() : nullptr;
    if (!ds || (!allowedOperations_.Contains(alopUpdateEh) && ds->State() != dsInsert)) return false;
    // A lookup field itself is never writable: its key fields are, which
    // its drop-down style already asked.
    TColumnEh* c = nullptr;
    return listCellHere(c) == lcLookup || CanEditModify();
}

// The first item of the column's pick list that is Text (in any letter
// case) or, with Partial, begins with it; a key list offers only the items
// that have keys. -1 when none.
int TCustomDBGridEh::locateInPickList(TColumnEh* c, const std::string& Text, bool Partial) {
    const TStrings* items = c->PickList();
    int n = items->Count();
    if (c->GetColumnType() == ctKeyPickList) n = std::min(n, c->KeyList()->Count());
    const int want = charCount(Text);
    for (int i = 0; i < n; ++i) {
        const std::string& item = items->Strings(i);
        if (AnsiSameText(Partial ? charPrefix(item, want) : item, Text)) return i;
    }
    return -1;
}

// The lookup entry whose shown text begins with (Partial) or is Text, in
// any letter case; false when none.
bool TCustomDBGridEh::locateLookup(TField* f, const std::string& Text, bool Partial) {
    TLocateOptions opts = loCaseInsensitive;
    if (Partial) opts |= loPartialKey;
    try {
        return f->LookupDataSet()->Locate(f->LookupResultField(), Variant(Text), opts);
    } catch (const Exception&) {
        return false;
    }
}

// Shows a list entry found for what was typed or pasted: the lookup's key
// goes into the key fields, a key list's text waits to be written.
void TCustomDBGridEh::showListEntry(TColumnEh* c, ListCell kind, const std::string& entry, int index, int typedChars) {
    TInplaceEdit* ed = InplaceEditor();
    TField* f = c->Field();
    if (kind == lcLookup) {
        TDataSet* lookup = f->LookupDataSet();
        TDataSet* ds = f->DataSet();
        const Variant key = lookup->FieldValues(f->LookupKeyFields());
        if (!VariantsEqual(key, ds->FieldValues(f->KeyFields()))) AssignFieldValues(ds, f->KeyFields(), key);
        // The key is written: nothing of the text is left to write.
        dataLink_->SetModified(false);
        if (droppedGrid_) droppedGrid_->SetKeyValue(key);
    } else {
        dataLink_->SetModified(true);
        if (TPopupListboxEh* l = openPickList()) l->SetItemIndex(index);
    }
    editText_ = entry;
    ed->SetText(entry);
    ed->SetSel(typedChars, charCount(entry) - typedChars);
    InvalidateCell(Col(), Row());
}

// A text outside the list, in a column that takes such texts: no key until
// OnNotInList has had its say when the record is written.
void TCustomDBGridEh::completeListCell(TColumnEh* c, ListCell kind, const std::string& wanted,
                                       const std::string& notInList, int typedChars) {
    TField* f = c->Field();
    int index = -1;
    const bool found = kind == lcLookup ? locateLookup(f, wanted, true) : (index = locateInPickList(c, wanted, true)) >= 0;
    if (!found && !c->OnNotInList) return;
    if (!dataLink_->Edit()) return;
    if (found)
        showListEntry(c, kind,
                      kind == lcLookup ? f->LookupDataSet()->FieldByName(f->LookupResultField())->AsString()
                                       : c->PickList()->Strings(index),
                      index, typedChars);
    else
        showListText(c, kind, notInList, typedChars);
}

void TCustomDBGridEh::showListText(TColumnEh* c, ListCell kind, const std::string& text, int caret) {
    if (kind == lcLookup) {
        writeLookupText(c, text, caret);
    } else {
        editText_ = text;
        dataLink_->SetModified(true);
        InplaceEditor()->SetText(text);
        InplaceEditor()->SetSel(caret, 0);
        if (TPopupListboxEh* l = openPickList()) l->SetItemIndex(locateInPickList(c, text, false));
    }
    InvalidateCell(Col(), Row());
}

bool TCustomDBGridEh::completeListText(char32_t& Key) {
    if (Key < 32 && Key != 8) return false;
    TColumnEh* c = nullptr;
    const ListCell kind = listCellHere(c);
    if (kind == lcNone) return false;
    TInplaceEdit* ed = InplaceEditor();
    const char32_t typed = Key;
    const std::string text = ed->GetText();
    const int caret = ed->SelStart();
    if (kind == lcPick) {
        // Backspace and characters that continue no item are typed as they are.
        if (typed == 8 || !listCellMayChange()) return false;
        const std::string wanted = charPrefix(text, caret) + utf8Of(typed);
        const int i = locateInPickList(c, wanted, true);
        if (i < 0 || !dataLink_->Edit()) return false;
        Key = 0;
        showListEntry(c, kind, c->PickList()->Strings(i), i, charCount(wanted));
        return true;
    }
    Key = 0;
    if (!listCellMayChange()) return true;
    if (typed == 8) {
        if (c->OnNotInList) {
            // The text is the column's own: one character goes.
            if (caret == 0 || !dataLink_->Edit()) return true;
            const std::string rest = text.substr(charPrefix(text, caret + ed->SelLength()).size());
            showListText(c, kind, charPrefix(text, caret - 1) + rest, caret - 1);
        } else if (caret > 0) {
            ed->SetSel(caret - 1, charCount(text) - caret + 1);
        }
        return true;
    }
    const std::string wanted = charPrefix(text, caret) + utf8Of(typed);
    completeListCell(c, kind, wanted, wanted + text.substr(charPrefix(text, caret + ed->SelLength()).size()),
                     charCount(wanted));
    return true;
}

// Delete in a lookup or key list cell: on the whole text it empties the
// cell (a lookup's key fields become Null); on part of it, only a column
// that takes texts outside its list lets the part go, and the key follows
// the text that is left.
void TCustomDBGridEh::EditorKeyDownFirst(Word& Key, TShiftState Shift) {
    if (TDBGridInplaceEdit* e = InplaceEditorEh()) e->HandleKeyDown(Key, Shift);
    if (Key != VK_DELETE || !Shift.Empty()) return;
    TColumnEh* c = nullptr;
    const ListCell kind = listCellHere(c);
    if (kind != lcLookup && kind != lcKeyPick) return;
    Key = 0;
    if (!listCellMayChange()) return;
    TInplaceEdit* ed = InplaceEditor();
    TField* f = c->Field();
    const std::string text = ed->GetText();
    const int len = charCount(text), start = ed->SelStart(), sel = ed->SelLength();
    if (len == 0) return;
    if (start == 0 && sel == len) {
        if (!dataLink_->Edit()) return;
        if (kind == lcLookup) {
            TDataSet* ds = f->DataSet();
            if (!VarIsNull(ds->FieldValues(f->KeyFields()))) AssignFieldValues(ds, f->KeyFields(), Null());
            dataLink_->SetModified(false);
            if (droppedGrid_) droppedGrid_->SetKeyValue(Null());
        } else {
            dataLink_->SetModified(true);
            if (TPopupListboxEh* l = openPickList()) l->SetItemIndex(-1);
        }
        editText_.clear();
        ed->SetText("");
        InvalidateCell(Col(), Row());
        return;
    }
    if (!c->OnNotInList || !dataLink_->Edit()) return;
    // The selection goes, or without one the character after the caret.
    const int gone = sel > 0 ? sel : (start < len ? 1 : 0);
    if (!gone) return;
    const std::string kept = charPrefix(text, start) + text.substr(charPrefix(text, start + gone).size());
    if (kind == lcLookup && locateLookup(f, kept, false)) {
        TDataSet* ds = f->DataSet();
        const Variant key = f->LookupDataSet()->FieldValues(f->LookupKeyFields());
        if (!VariantsEqual(key, ds->FieldValues(f->KeyFields()))) AssignFieldValues(ds, f->KeyFields(), key);
        dataLink_->SetModified(false);
        editText_ = kept;
        ed->SetText(kept);
        ed->SetSel(start, 0);
        if (droppedGrid_) droppedGrid_->SetKeyValue(key);
        InvalidateCell(Col(), Row());
        return;
    }
    showListText(c, kind, kept, start);
}

// A paste into a lookup or key list cell completes like typing: the text
// before the selection, the clipboard's text and the text after it must
// begin a list entry, unless the column takes texts outside its list.
bool TCustomDBGridEh::EditorPaste(const std::string& Text) {
    TColumnEh* c = nullptr;
    const ListCell kind = listCellHere(c);
    if (kind != lcLookup && kind != lcKeyPick) return !listCellMayChange();
    if (!listCellMayChange() || Text.empty()) return true;
    TInplaceEdit* ed = InplaceEditor();
    const std::string text = ed->GetText();
    const int start = ed->SelStart();
    const std::string before = charPrefix(text, start) + Text;
    const std::string wanted = before + text.substr(charPrefix(text, start + ed->SelLength()).size());
    completeListCell(c, kind, wanted, wanted, charCount(before));
    return true;
}

void TCustomDBGridEh::writeLookupText(TColumnEh* c, const std::string& text, int caret) {
    TField* f = c->Field();
    TDataSet* ds = f->DataSet();
    if (!VarIsNull(ds->FieldValues(f->KeyFields()))) AssignFieldValues(ds, f->KeyFields(), Null());
    editText_ = text;
    dataLink_->SetModified(true);
    InplaceEditor()->SetText(text);
    InplaceEditor()->SetSel(caret, 0);
    if (droppedGrid_) droppedGrid_->SetKeyValue(Null());
}

void TCustomDBGridEh::KeyPress(char32_t& Key) {
    if (droppedGrid_ && Key == '\r') {
        CloseUpDataGrid(true);
        Key = 0;
        return;
    }
    if (TDBGridInplaceEdit* e = InplaceEditorEh(); e && e->Visible() && EditorMode()) e->HandleKeyPress(Key);
    if (completeListText(Key)) return;
    // A read-only column has nothing to type into, so with dghIncSearch the
    // typing seeks a record there at once.
    TColumnEh* col = columnAt(Col());
    const bool columnEditable = col && col->CanModify(false) && options_.Contains(dgEditing);
    const bool toSearch =
        optionsEh_.Contains(dghIncSearch) &&
        (!columnEditable || (optionsEh_.Contains(dghPreferIncSearch) && !options_.Contains(dgAlwaysShowEditor) &&
                             !EditorMode()));
    if (incSearching_ || (toSearch && Key >= 32)) {
        if (Key < 32) return;
        if (incSearching_ && tickMs() - incSearchTick_ > kIncSearchTimeoutMs) incSearchText_.clear();
        if (!incSearching_) StartIncSearch();
        const std::string ch = utf8Of(Key);
        // A character that matches no record is not added.
        DoIncSearch(incSearchText_ + ch, 0);
        Key = 0;
        return;
    }
    if (Key == '\r' && EditorMode() && dataLink_->Modified()) {
        TCustomGrid::KeyPress(Key);
        UpdateData();
        return;
    }
    TCustomGrid::KeyPress(Key);
}

// ---- mouse

void TCustomDBGridEh::FrozenSizingHitTest(int X, int Y, int& Offset, int& Position, int& Index, int& State) const {
    State = 0;
    Index = -1;
    if (!options_.Contains(dgColumnResize)) return;
    const int lineH = options_.Contains(dgRowLines) ? GridLineWidth() : 0;
    int titleBottom = 0;
    for (int r = 0; r < titleOffset_ && r < RowCount(); ++r) titleBottom += RowHeights(r) + lineH;
    if (Y < 0 || Y >= titleBottom) return;
    const int line = options_.Contains(dgColLines) ? GridLineWidth() : 0;
    const int zone = std::max(line, 7);
    const int before = line > 6 ? 0 : (7 - line) / 2;
    int x = 0;
    for (int c = 0; c < indicatorOffset_; ++c) x += ColWidths(c) + line;
    int overflowing = -1;
    for (int c = indicatorOffset_; c < FixedCols(); ++c) {
        x += ColWidths(c);
        if (x > GridWidth()) {
            overflowing = c;
            break;
        }
        if (X >= x - before && X < x - before + zone) {
            State = 6;
            Position = x;
            Offset = x - X;
            Index = c;
            return;
        }
        x += line;
    }
    const int cw = ClientWidth();
    if (overflowing >= 0 && GridWidth() == cw && X >= cw - before && X < cw) {
        State = 6;
        Position = cw;
        Offset = cw - X;
        Index = overflowing;
    }
}

bool TCustomDBGridEh::OverFrozenSizingLine(int X, int Y) const {
    if (GridState() == gsColSizing && sizingFrozen_) return true;
    int ofs, pos, idx, st;
    FrozenSizingHitTest(X, Y, ofs, pos, idx, st);
    return st == 6;
}

// A press that loses the mouse (the focus went elsewhere, a window came up)
// ends without acting: no title click, no sizing, no more auto-scroll.
void TCustomDBGridEh::CancelMode() {
    TCustomGrid::CancelMode();
    StopAutoScrollTimer();
    if (titlePressCol_ >= 0) InvalidateCell(titlePressCol_, 0);
    titlePressCol_ = -1;
    titlePressed_ = false;
    selectingRect_ = false;
    selectingRows_ = false;
    selectingCols_ = false;
    sizingFrozen_ = false;
    dragPending_ = false;
    rightColDrag_ = false;
    if (traceSizingCol_ >= 0) {
        // A column sized live gets its width back.
        const int col = traceSizingCol_;
        traceSizingCol_ = -1;
        if (col < ColCount()) SetColWidths(col, traceSizingWidth_);
    }
}

bool TCustomDBGridEh::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) {
    const bool r = TCustomGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs);
    if (!r) {
        // A frozen column's title line sizes it; the grid base then carries
        // the drag, its line and the new width as for any other column.
        int st = 0;
        FrozenSizingHitTest(X, Y, SizingOfs, SizingPos, Index, st);
        if (st == 6) {
            State = gsColSizing;
            return true;
        }
        return false;
    }
    // Rows are sized only over the indicator column.
    if (r && State == gsRowSizing) {
        if (!indicatorOffset_ || X >= kIndicatorWidth) {
            State = gsNormal;
            return false;
        }
    }
    return r;
}

void TCustomDBGridEh::mouseDownNow(TMouseButton Button, TShiftState Shift, int X, int Y) {
    HideTooltip();
    if (droppedGrid_) CloseUpDataGrid(false);
    titlePressCol_ = -1;
    titlePressed_ = false;
    pressPoint_ = {X, Y};
    if (!dataLink_->Active()) {
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    StopIncSearch();
    TGridState st;
    int idx, pos, ofs;
    const TGridCoord cell = MouseCoord(X, Y);
    const bool sizing = CalcSizingState(X, Y, st, idx, pos, ofs);
    if (sizing && traceSizingPress(Button, X, Y)) {
        if (CanFocus() && !IsActiveControl()) SetFocus();
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (sizing) {
        sizingFrozen_ = st == gsColSizing && idx < FixedCols();
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (cell.X < 0 || cell.Y < 0) {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (CanFocus() && !IsActiveControl()) SetFocus();
    if (Button == mbLeft && !Shift.Contains(ssDouble) && OverColumnSelectZone(X, Y)) {
        UpdateData();
        columnSelectPress(cell.X, Shift);
        return;
    }
    // Top-left cell: everything, or nothing when something is selected.
    if (cell.Y < titleOffset_ && cell.X < indicatorOffset_) {
        if (Button == mbLeft && CanSelectAll()) {
            if (selection_->Kind() != gstNon)
                selection_->Clear();
            else
                selection_->SelectWholeGrid();
        }
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (cell.Y < titleOffset_) {
        if (Button == mbRight && options_.Contains(dgColumnResize) && columnAt(cell.X)) {
            // The right button moves columns as the left one does, but is
            // no title press.
            rightColDrag_ = true;
            TCustomGrid::MouseDown(mbLeft, Shift, X, Y);
            return;
        }
        titlePressCol_ = cell.X;
        titlePressed_ = true;
        InvalidateCell(cell.X, cell.Y);
        TCustomGrid::MouseDown(Button, Shift, X, Y);
        return;
    }
    const int firstFooter = FirstFooterRow();
    if (firstFooter >= 0 && cell.Y >= firstFooter - 1) {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    HideEdit();
    const bool wasCurrent = cell.X == Col() && cell.Y == Row();
    const int beforeCol = Col();
    TDataSet* ds = dataLink_->DataSet();
    const int distance = cell.Y - titleOffset_ - dataLink_->ActiveRecord();
    const TBookmark before = ds->GetBookmark();
    if (distance) {
        UpdateData();
        ds->MoveBy(distance);
    }
    if (autoDragPress_ && Button == mbLeft && !Shift.Contains(ssShift) &&
        selection_->DataCellSelected(cell.X >= indicatorOffset_ ? cell.X - indicatorOffset_ : -1, ds->GetBookmark())) {
        // A press on the selection drags it on the next move.
        if (cell.X >= indicatorOffset_) moveToColumn(cell.X);
        dragPending_ = true;
        return;
    }
    const bool onIndicator = cell.X < indicatorOffset_;
    if (options_.Contains(dgMultiSelect) && (onIndicator || options_.Contains(dgRowSelect))) {
        if (Button == mbLeft && allowedSelections_.Contains(gstRecordBookmarks)) recordPress(Shift, before);
    } else if (!onIndicator) {
        cellPress(Button, Shift, cell.X, {beforeCol - indicatorOffset_, before});
    }
    if (cell.X >= indicatorOffset_) moveToColumn(cell.X);
    if (Button == mbLeft) {
        TColumnEh* c = columnAt(Col());
        const TColumnEhValueType t = c ? c->GetColumnType() : ctCommon;
        const bool editorMay =
            cell.X >= indicatorOffset_ && !Shift.Contains(ssDouble) && selection_->Kind() == gstNon &&
            (wasCurrent || options_.Contains(dgAlwaysShowEditor) || (c && c->AlwaysShowEditButton()));
        if ((t == ctCheckboxes || t == ctKeyImageList) && !c->DblClickNextVal() && cell.X >= indicatorOffset_ &&
            !Shift.Contains(ssDouble))
            c->SetNextFieldValue(1);
        // A press on the cell's buttons shows the editor and goes to its
        // button under the point.
        else if (!(editorMay && pressCellButton(X, Y)) && (wasCurrent || options_.Contains(dgAlwaysShowEditor)) &&
                 !Shift.Contains(ssDouble) && selection_->Kind() == gstNon)
            ShowEditor();
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomDBGridEh::MouseMove(TShiftState Shift, int X, int Y) {
    // A press handed to the editor's button stays the button's.
    if (TDBGridInplaceEdit* ed = InplaceEditorEh(); ed && ed->ButtonHeld()) {
        ed->ButtonMouseMove(Shift, X - ed->Left(), Y - ed->Top());
        return;
    }
    if (Shift.Contains(ssLeft) || Shift.Contains(ssRight) || Shift.Contains(ssMiddle) || Shift.Contains(ssCtrl) ||
        MouseCapture()) {
        HideTooltip();
    } else if ((!tipWindow_ || !tipWindow_->Visible() || !PtInRect(tipCell_, TPoint{X, Y})) &&
               !PtInRect(pendingTipCell_, TPoint{X, Y})) {
        std::string text;
        TRect cell;
        TPoint at;
        if (CellTooltipAt(X, Y, text, cell, at)) {
            // Cut-off texts follow the pointer at once from cell to cell; a
            // title's own hint waits the application's hint pause, as every
            // other hint of the program does.
            const TGridCoord mc = MouseCoord(X, Y);
            TColumnEh* col = columnAt(mc.X);
            const bool ownHint = titleRow_ && mc.Y == 0 && col && !col->Title()->Hint().empty();
            const int pause = ownHint ? Application->HintPause() : 0;
            if (pause > 0) {
                HideTooltip();
                if (!tipTimer_) {
                    tipTimer_ = new TTimer(this);
                    tipTimer_->SetEnabled(false);
                    tipTimer_->OnTimer = [this](TObject*) {
                        tipTimer_->SetEnabled(false);
                        const TRect cellNow = pendingTipCell_;
                        pendingTipCell_ = TRect{};
                        showTooltip(pendingTipText_, cellNow, pendingTipAt_);
                    };
                }
                pendingTipText_ = text;
                pendingTipCell_ = cell;
                pendingTipAt_ = at;
                tipTimer_->SetInterval(pause);
                tipTimer_->SetEnabled(true);
            } else {
                showTooltip(text, cell, at);
            }
        } else {
            HideTooltip();
        }
    }
    if (dragPending_) {
        dragPending_ = false;
        BeginDrag(true);
        return;
    }
    if (traceSizingCol_ >= 0) {
        traceSizingMove(X);
        TCustomControl::MouseMove(Shift, X, Y);
        return;
    }
    if (selectingCols_ && Shift.Contains(ssLeft) && dataLink_->Active()) {
        columnSelectMove(X, Y);
        TCustomControl::MouseMove(Shift, X, Y);
        return;
    }
    if (titlePressed_ && titlePressCol_ >= 0 && options_.Contains(dgColumnResize) && std::abs(X - pressPoint_.X) > 3) {
        // The press turned into a column drag: no title click follows.
        titlePressed_ = false;
        InvalidateCell(titlePressCol_, 0);
    }
    if (selectingRows_ && Shift.Contains(ssLeft) && dataLink_->Active()) {
        const TGridCoord cell = MouseCoord(std::max(0, std::min(X, ClientWidth() - 1)), Y);
        const int firstFooter = FirstFooterRow();
        const int dataRow = cell.Y - titleOffset_;
        if (cell.Y >= titleOffset_ && (firstFooter < 0 || cell.Y < firstFooter - 1) && dataRow >= 0 &&
            dataRow < dataLink_->RecordCount() && dataRow != dataLink_->ActiveRecord()) {
            dataLink_->DataSet()->MoveBy(dataRow - dataLink_->ActiveRecord());
            dragRowsTo(dataLink_->DataSet()->GetBookmark());
        }
        lastMouse_ = {X, Y};
        const TRect area = DataAreaRect();
        if (Y >= area.Top && Y < area.Bottom)
            StopAutoScrollTimer();
        else if (!AutoScrollTimerOn())
            SelectionAutoScroll();
        TCustomControl::MouseMove(Shift, X, Y);
        return;
    }
    if (selectingRect_ && Shift.Contains(ssLeft) && dataLink_->Active()) {
        const TGridCoord cell = MouseCoord(X, Y);
        const int firstFooter = FirstFooterRow();
        if (cell.X >= indicatorOffset_ && cell.Y >= titleOffset_ && (firstFooter < 0 || cell.Y < firstFooter - 1) &&
            cell.Y - titleOffset_ < dataLink_->RecordCount()) {
            // The current cell follows the pointer and the rectangle's far
            // corner with it, as when the grid scrolls on by itself.
            if (const int distance = cell.Y - titleOffset_ - dataLink_->ActiveRecord()) {
                UpdateData();
                dataLink_->DataSet()->MoveBy(distance);
            }
            if (cell.X != Col()) moveToColumn(cell.X);
            selection_->Rect()->Select(cell.X - indicatorOffset_, dataLink_->DataSet()->GetBookmark(), true);
        }
        // Beyond the data cells the rectangle goes on growing by itself.
        lastMouse_ = {X, Y};
        const TRect area = DataAreaRect();
        if (PtInRect(area, lastMouse_))
            StopAutoScrollTimer();
        else if (!AutoScrollTimerOn())
            SelectionAutoScroll();
        TCustomControl::MouseMove(Shift, X, Y);
        return;
    }
    TCustomGrid::MouseMove(Shift, X, Y);
    updateMouseCursor(X, Y);
}

void TCustomDBGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (TDBGridInplaceEdit* ed = InplaceEditorEh(); ed && ed->ButtonHeld() && Button == mbLeft) {
        ed->ButtonMouseUp(Button, Shift, X - ed->Left(), Y - ed->Top());
        return;
    }
    if (rightColDrag_ && Button == mbRight) {
        rightColDrag_ = false;
        SetMouseCapture(false);
        MouseUp(mbLeft, Shift, X, Y);
        // A right click that moved nothing still asks for the column's menu.
        if (std::abs(X - pressPoint_.X) <= 3)
            if (TColumnEh* c = columnPopupAt(X, Y)) popupColumnMenu(c, X, Y);
        return;
    }
    const int titleCol = titlePressCol_;
    const bool pressed = titlePressed_;
    const bool selectedCols = selectingCols_;
    titlePressCol_ = -1;
    titlePressed_ = false;
    selectingRect_ = false;
    selectingRows_ = false;
    selectingCols_ = false;
    sizingFrozen_ = false;
    StopAutoScrollTimer();
    if (traceSizingCol_ >= 0) {
        // The column has its width already.
        traceSizingCol_ = -1;
        updateMouseCursor(X, Y);
        return;
    }
    if (Button == mbRight && columnPopupRelease(Shift, X, Y)) return;
    if (dragPending_) {
        // The press on the selection was a click after all.
        dragPending_ = false;
        if (Shift.Contains(ssCtrl) && options_.Contains(dgRowSelect))
            bookmarks_->SetCurrentSelected(!bookmarks_->CurrentSelected());
        else if (optionsEh_.Contains(dghClearSelection))
            selection_->Clear();
    }
    if (selectedCols) {
        TCustomGrid::MouseUp(Button, Shift, X, Y);
        return;
    }
    TCustomGrid::MouseUp(Button, Shift, X, Y);
    const TGridCoord cell = MouseCoord(X, Y);
    if (titleCol >= 0) {
        InvalidateCell(titleCol, 0);
        if (pressed && Button == mbLeft && cell.X == titleCol && cell.Y >= 0 && cell.Y < titleOffset_) {
            TColumnEh* c = columnAt(titleCol);
            if (c && c->Title()->TitleButton()) {
                bool enabled = true;
                if (OnCheckButton) OnCheckButton(this, titleCol - indicatorOffset_, c, enabled);
                if (enabled) {
                    if (optionsEh_.Contains(dghAutoSortMarking)) {
                        stepSortMarker(c, Shift.Contains(ssCtrl));
                        if (!Shift.Contains(ssCtrl) && OnSortMarkingChanged) OnSortMarkingChanged(this);
                    }
                    TitleBtnClick(titleCol - indicatorOffset_, c);
                }
            }
            TitleClick(c);
        }
        return;
    }
    if (Button == mbLeft && dataLink_->Active() && cell.Y >= titleOffset_ && cell.X >= indicatorOffset_) {
        const int firstFooter = FirstFooterRow();
        if (firstFooter < 0 || cell.Y < firstFooter - 1) CellClick(columnAt(Col()));
    }
}

void TCustomDBGridEh::DblClick() {
    TColumnEh* c = columnAt(Col());
    if (c && c->DblClickNextVal()) {
        const TColumnEhValueType t = c->GetColumnType();
        if (t == ctCheckboxes || t == ctKeyImageList || t == ctPickList || t == ctKeyPickList) c->SetNextFieldValue(1);
    }
    TCustomGrid::DblClick();
}

bool TCustomDBGridEh::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    // While the editor's drop-down is open the wheel moves nothing.
    if (TDBGridInplaceEdit* e = InplaceEditorEh(); e && e->DroppedDown()) return true;
    if (OnMouseWheel) {
        bool handled = false;
        OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
        if (handled) return true;
    }
    // One record per notch.
    if (dataLink_->Active()) moveRecordBy(WheelDelta < 0 ? 1 : -1, {});
    return true;
}

void TCustomDBGridEh::TimedScroll(bool Left, bool Right, bool Up, bool Down) {
    if (!dataLink_->Active()) return;
    if (Up) moveRecordBy(-1, {});
    if (Down) moveRecordBy(1, {});
    if (Left && Col() > FixedCols()) moveToColumn(Col() - 1);
    if (Right && Col() < ColCount() - 1) moveToColumn(Col() + 1);
}

void TCustomDBGridEh::ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) {
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
        if (!vertScrollBar_->Tracking() && !TCustomGrid::Options().Contains(goThumbTracking)) break;
        [[fallthrough]];
    case scPosition:
        if (sumList_->IsSequenced())
            sumList_->SetRecNo(Pos + 1);
        else if (Pos <= 0)
            ds->First();
        else if (Pos >= 4)
            ds->Last();
        break;
    default: break;
    }
    UpdateScrollBar();
}

bool TCustomDBGridEh::BeginColumnDrag(int& Origin, int& Destination, TPoint) { return Origin >= FixedCols(); }

bool TCustomDBGridEh::CheckColumnDrag(int& Origin, int& Destination, TPoint) { return Destination >= FixedCols(); }

void TCustomDBGridEh::ColumnMoved(int FromIndex, int ToIndex) {
    titlePressCol_ = -1;
    const bool was = inLayout_;
    inLayout_ = true;
    columns_->Items(FromIndex - indicatorOffset_)->SetIndex(ToIndex - indicatorOffset_);
    inLayout_ = was;
    buildTitleTree();
    if (OnColumnMoved) OnColumnMoved(this, FromIndex - indicatorOffset_, ToIndex - indicatorOffset_);
    Invalidate();
}

void TCustomDBGridEh::ColWidthsChanged() {
    if (!inLayout_ && columns_) {
        // A user's sizing writes the widths back to the columns.
        const bool was = inLayout_;
        inLayout_ = true;
        for (int i = 0; i < columns_->Count(); ++i) {
            const int w = ColWidths(i + indicatorOffset_);
            TColumnEh* c = columns_->Items(i);
            if (w > 0 && w != c->Width()) {
                c->SetWidth(w);
                if (autoFitColWidths_) c->AutoFitBaseWidth = w;
            }
            // A column sized past its MinWidth or MaxWidth shows the width
            // it keeps, not the one dragged.
            if (w > 0 && c->Width() != w) SetColWidths(i + indicatorOffset_, c->Width());
        }
        buildTitleTree();
        inLayout_ = was;
        if (OnColWidthsChanged) OnColWidthsChanged(this);
    }
    TCustomGrid::ColWidthsChanged();
}

void TCustomDBGridEh::RowHeightsChanged() {
    if (!inLayout_ && rowSizingAllowed_ && Row() >= titleOffset_) {
        // A sized data row sets the height of every row.
        const int h = RowHeights(Row());
        if (h > 0 && h != dataRowHeight_) {
            rowHeight_ = h;
            rowLines_ = 0;
            LayoutChanged();
        }
    }
    TCustomGrid::RowHeightsChanged();
}

void TCustomDBGridEh::ClientResized() {
    TCustomGrid::ClientResized();
    if (inLayout_ || !dataLink_ || updateLock_) return;
    if (autoFitColWidths_) {
        LayoutChanged();
        return;
    }
    UpdateRowCount();
    UpdateActive();
    UpdateScrollBar();
    Invalidate();
}

void TCustomDBGridEh::DoEnter() {
    if (options_.Contains(dgRowSelect)) Invalidate();
    TCustomGrid::DoEnter();
}

void TCustomDBGridEh::DoExit() {
    HideTooltip();
    if (droppedGrid_) CloseUpDataGrid(false);
    const bool toEditor = InplaceEditor() && InplaceEditor()->Focused();
    if (!toEditor && dataLink_->Active()) {
        TDataSet* ds = dataLink_->DataSet();
        // A failed post keeps the focus in the grid.
        ScopeExit refused([&] {
            if (CanFocus()) SetFocus();
        });
        if (options_.Contains(dgCancelOnExit) && ds->State() == dsInsert && !ds->Modified() && !dataLink_->Modified())
            ds->Cancel();
        else
            dataLink_->UpdateDataPublic();
        refused.Dismiss();
    }
    StopIncSearch();
    if (options_.Contains(dgRowSelect)) Invalidate();
    TCustomGrid::DoExit();
}

void TCustomDBGridEh::FontChanged() {
    TCustomGrid::FontChanged();
    BeginLayout();
    ScopeExit restore([&] { EndLayout(); });
    for (int i = 0; columns_ && i < columns_->Count(); ++i) columns_->Items(i)->RefreshDefaultFont();
}

void TCustomDBGridEh::ColorChanged() {
    TCustomGrid::ColorChanged();
    if (parentColor_) footerColor_ = Color();
    Invalidate();
}

void TCustomDBGridEh::invalidateSelectionArea() { Invalidate(); }

// ================================================================ painting

bool TCustomDBGridEh::IsCellHighlighted(int DataCol, TGridDrawState State, bool rowSelected) {
    if (rowSelected) return true;
    if (!State.Contains(gdSelected)) return false;
    if (updateLock_ > 0 && layoutLock_ == 0) return false;
    const bool focused = IsActiveControl() || options_.Contains(dgAlwaysShowSelection);
    if (!focused) return false;
    if (options_.Contains(dgRowSelect)) return true;
    if (optionsEh_.Contains(dghRowHighlight)) return true;
    return !EditorMode() && optionsEh_.Contains(dghHighlightFocus);
}

void TCustomDBGridEh::Paint() { PaintTo(Canvas()); }

// Paints every visible cell and the grid lines on c. The rows all fit the
// client area (the link's buffer is what shows), so only columns scroll.
void TCustomDBGridEh::PaintTo(TCanvas* c) {
    paintCanvas_ = c;
    struct Restore {
        TCanvas*& p;
        ~Restore() { p = nullptr; }
    } restore{paintCanvas_};
    const TRect client = ClientRect();
    const int lwH = options_.Contains(dgColLines) ? GridLineWidth() : 0;
    const int lwV = options_.Contains(dgRowLines) ? GridLineWidth() : 0;
    // Column origins.
    struct Span {
        int index, left, right;
    };
    std::vector<Span> cols;
    int x = 0;
    for (int i = 0; i < ColCount() && x < client.Right; ++i) {
        if (i == FixedCols()) i = std::max(i, LeftCol());
        if (i >= ColCount()) break;
        const int w = ColWidths(i);
        if (w < 0) continue;
        cols.push_back({i, x, x + w});
        x += w + lwH;
    }
    const int gridRight = x;
    std::vector<Span> rows;
    int y = 0;
    for (int r = 0; r < RowCount() && y < client.Bottom; ++r) {
        if (r == FixedRows()) r = std::max(r, TopRow());
        if (r >= RowCount()) break;
        const int h = RowHeights(r);
        if (h < 0) continue;
        rows.push_back({r, y, y + h});
        y += h + lwV;
    }
    const int gridBottom = y;
    const int firstFooter = FirstFooterRow();
    const int sepRow = firstFooter >= 0 ? firstFooter - 1 : -1;
    const TColor fixedLine = flat_ ? clGray : clBlack;
    TColor dataLine = clSilver;
    if (ColorToRGB(Color()) == clSilver) dataLine = clGray;

    // Background beyond the cells.
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    if (gridRight < client.Right) c->FillRect({gridRight, 0, client.Right, client.Bottom});
    if (gridBottom < client.Bottom) c->FillRect({0, gridBottom, gridRight, client.Bottom});

    for (const Span& rs : rows) {
        for (const Span& cs : cols) {
            TRect r{cs.left, rs.left, cs.right, rs.right};
            TGridDrawState st;
            if (cs.index < FixedCols() || rs.index < FixedRows()) st << gdFixed;
            if (cs.index == Col() && rs.index == Row()) st << gdFocused;
            const TGridRect sel = TCustomGrid::Selection();
            if (cs.index >= sel.Left && cs.index <= sel.Right && rs.index >= sel.Top && rs.index <= sel.Bottom)
                st << gdSelected;
            if (rs.index == sepRow) {
                // The row between records and footers is data area (its
                // indicator too, unless frozen cells are raised) and shows
                // what is selected as the footers do.
                const bool indicator = cs.index < indicatorOffset_;
                const TDBGridEhSelectionType kind = selection_->Kind();
                TColumnEh* col = indicator ? nullptr : columnAt(cs.index);
                TColor bg = indicator && optionsEh_.Contains(dghFrozen3D) ? FixedColor() : Color();
                if (indicator && kind == gstAll && dataLink_->Active())
                    bg = kSelectedRowColor;
                else if (col && (kind == gstAll || (kind == gstColumns && selection_->Columns()->Contains(col))))
                    bg = clHighlight;
                c->Brush()->SetColor(bg);
                c->FillRect(r);
                continue;
            }
            DrawCell(cs.index, rs.index, r, st);
        }
    }
    // Grid lines: black in the fixed band, silver among the data; the footer
    // band gets a line above it.
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    for (const Span& cs : cols) {
        if (!lwH) break;
        const bool fixed = cs.index < FixedCols();
        for (const Span& rs : rows) {
            const bool fixedRow = rs.index < FixedRows();
            c->Pen()->SetColor(fixed || fixedRow ? fixedLine : dataLine);
            c->MoveTo(cs.right, rs.left);
            c->LineTo(cs.right, rs.right + lwV);
        }
    }
    for (const Span& rs : rows) {
        if (!lwV) break;
        if (rs.index == sepRow) continue;
        for (const Span& cs : cols) {
            const bool fixed = cs.index < FixedCols() || rs.index < FixedRows();
            c->Pen()->SetColor(fixed ? fixedLine : dataLine);
            c->MoveTo(cs.left, rs.right);
            c->LineTo(cs.right + lwH, rs.right);
        }
    }
    if (firstFooter >= 0) {
        for (const Span& rs : rows)
            if (rs.index == firstFooter) {
                c->Pen()->SetColor(fixedLine);
                c->MoveTo(0, rs.left - 1);
                c->LineTo(gridRight, rs.left - 1);
            }
    }
    // The current row's focus rectangle with row selection.
    if ((options_.Contains(dgRowSelect) || optionsEh_.Contains(dghRowHighlight)) && IsActiveControl() &&
        dataLink_->Active()) {
        for (const Span& rs : rows)
            if (rs.index == Row() && !cols.empty()) {
                int left = cols.front().left;
                for (const Span& cs : cols)
                    if (cs.index >= indicatorOffset_) {
                        left = cs.left;
                        break;
                    }
                c->DrawFocusRect({left, rs.left, cols.back().right, rs.right});
            }
    }
}

void TCustomDBGridEh::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    TCanvas* c = paintCanvas_ ? paintCanvas_ : Canvas();
    if (ARow < titleOffset_ && ARow >= titleOffset_ - specRows_) {
        DrawSpecialRowCell(c, ACol, ARect, AState);
        return;
    }
    if (ARow < titleOffset_) {
        if (ACol < indicatorOffset_) {
            c->Brush()->SetColor(FixedColor());
            c->FillRect(ARect);
            if (optionsEh_.Contains(dghFixed3D)) {
                TRect r = ARect;
                c->DrawEdge(r, BDR_RAISEDINNER, BF_RECT);
            }
            return;
        }
        drawTitleCell(c, ACol, ARect, AState);
        return;
    }
    const int firstFooter = FirstFooterRow();
    if (firstFooter >= 0 && ARow >= firstFooter) {
        drawFooterCell(c, ACol, ARow - firstFooter, ARect, AState);
        return;
    }
    if (ACol < indicatorOffset_) {
        drawIndicator(c, ARect, ARow - titleOffset_);
        return;
    }
    drawDataCell(c, ACol, ARow, ARect, AState);
}

void TCustomDBGridEh::drawIndicator(TCanvas* c, const TRect& r, int dataRow) {
    bool rowSelected = false;
    const bool hasRecord = dataLink_->Active() && dataRow < dataLink_->RecordCount();
    if (hasRecord && options_.Contains(dgMultiSelect) && selection_->Kind() != gstNon) {
        const int saved = dataLink_->ActiveRecord();
        dataLink_->SetActiveRecord(dataRow);
        ScopeExit back([&] { dataLink_->SetActiveRecord(saved); });
        rowSelected = selection_->DataCellSelected(-1, dataLink_->DataSet()->GetBookmark());
    } else if (dataLink_->Active()) {
        // Rows without a record belong to everything selected.
        rowSelected = selection_->Kind() == gstAll;
    }
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(rowSelected ? kSelectedRowColor : FixedColor());
    c->FillRect(r);
    if (optionsEh_.Contains(dghFixed3D)) {
        TRect e = r;
        c->DrawEdge(e, BDR_RAISEDINNER, BF_RECT);
    }
    if (!hasRecord || dataRow != dataLink_->ActiveRecord()) return;
    const TDataSetState st = dataLink_->DataSet()->State();
    const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
    const TColor ink = rowSelected ? clWhite : clBlack;
    c->Pen()->SetColor(ink);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    if (st == dsInsert) {
        c->Brush()->SetStyle(bsClear);
        c->Font()->SetColor(ink);
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
        // The search marks its row in yellow.
        c->Brush()->SetColor(incSearching_ ? clYellow : ink);
        if (incSearching_) c->Pen()->SetColor(clBlack);
        c->Polygon({{cx - 2, cy - 4}, {cx + 2, cy}, {cx - 2, cy + 4}});
    }
}

void TCustomDBGridEh::drawTitleCell(TCanvas* c, int ACol, const TRect& r, TGridDrawState st) {
    TColumnEh* col = columnAt(ACol);
    if (!col) {
        c->Brush()->SetColor(FixedColor());
        c->FillRect(r);
        return;
    }
    const bool pressed = titlePressed_ && titlePressCol_ == ACol;
    const bool d3 = optionsEh_.Contains(dghFixed3D);
    auto frame = [&](TRect box) {
        if (!d3) return;
        c->DrawEdge(box, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    };
    const int lw = options_.Contains(dgColLines) ? GridLineWidth() : 0;
    TRect leafRect = r;
    THeadTreeNode* leaf = LeafFieldArr(col->Index());
    if (useMultiTitle_ && leaf) {
        // Upper levels: each node spans its leaves; this cell draws the part
        // of the span that lies over its own column, clipped.
        std::vector<THeadTreeNode*> chain;
        for (THeadTreeNode* n = leaf->Host; n && n != headTree_.get(); n = n->Host) chain.insert(chain.begin(), n);
        const int th = textHeight(titleFont_.get());
        const int levelH = th + vTitleMargin_ / 2;
        int top = r.Top;
        for (THeadTreeNode* n : chain) {
            // Span start: this cell's left minus the widths of the node's
            // leaves before this column.
            int before = 0, after = 0;
            bool seen = false;
            std::function<void(THeadTreeNode*)> walk = [&](THeadTreeNode* p) {
                for (THeadTreeNode* ch : p->Children()) {
                    if (ch->Child) {
                        walk(ch);
                        continue;
                    }
                    if (ch == leaf) {
                        seen = true;
                        continue;
                    }
                    const int w =
                        ch->Column && ch->Column->Visible() ? ColWidths(DataToRawColumn(ch->Column->Index())) : 0;
                    if (w <= 0) continue;
                    (seen ? after : before) += w + lw;
                }
            };
            walk(n);
            TRect span{r.Left - before, top, r.Right + after, top + levelH};
            const int saved = c->SaveDC();
            c->IntersectClipRect({r.Left, top, r.Right, top + levelH});
            c->Brush()->SetColor(col->Title()->Color());
            c->Brush()->SetStyle(bsSolid);
            c->SetFont(titleFont_.get());
            WriteTextEh(c, span, true, 0, (levelH - th) / 2, n->Text, taCenter, false, false);
            if (d3) {
                TRect e = span;
                c->DrawEdge(e, BDR_RAISEDINNER, BF_RECT);
            }
            c->Pen()->SetColor(flat_ ? clGray : clBlack);
            c->MoveTo(span.Left, span.Bottom);
            c->LineTo(span.Right, span.Bottom);
            c->RestoreDC(saved);
            top += levelH + lw;
        }
        leafRect.Top = top;
    }
    c->Brush()->SetColor(col->Title()->Color());
    c->Brush()->SetStyle(bsSolid);
    c->SetFont(col->Title()->Font());
    TColor bg = col->Title()->Color();
    TSortMarkerEh marker = col->Title()->SortMarker();
    if (OnGetBtnParams && col->Field()) OnGetBtnParams(this, col, c->Font(), bg, marker, pressed);
    c->Brush()->SetColor(bg);
    // The handler sees the title font once more; only the font counts now.
    if (OnGetBtnParams && col->Field()) {
        TColor bg2 = bg;
        TSortMarkerEh marker2 = marker;
        OnGetBtnParams(this, col, c->Font(), bg2, marker2, pressed);
    }
    // Selected columns (and everything under Ctrl+A) show in their titles.
    const TDBGridEhSelectionType kind = selection_->Kind();
    if (kind == gstAll || (kind == gstColumns && selection_->Columns()->Contains(col))) {
        c->Brush()->SetColor(kSelectedRowColor);
        c->Font()->SetColor(clWhite);
    }
    std::string caption = useMultiTitle_ && leaf ? leaf->Text : col->Title()->Caption();
    TRect tr = leafRect;
    // Room for the marker and, with two or more marked columns, its index;
    // a narrow title gives up the marker first, then the number.
    int markerW = 0, indexW = 0;
    bool showMarker = marker != smNoneEh, showIndex = false;
    std::unique_ptr<TFont> indexFont;
    if (showMarker) {
        markerW = 16;
        if (sortMarked_.size() >= 2 && col->Title()->SortIndex() > 0) {
            indexFont = sortIndexFont(c->Font());
            indexW = measureCanvas(indexFont.get())->TextWidth(IntToStr(col->Title()->SortIndex()));
            showIndex = true;
            markerW += indexW;
        }
        if (tr.Width() - 4 < markerW) {
            markerW -= 14;
            showMarker = false;
        }
        if (tr.Width() - 4 < markerW) {
            markerW = 0;
            showIndex = false;
        }
    }
    const int th = c->TextHeight("Wg");
    const bool multi = titleLines_ > 1 || (useMultiTitle_ && leafRect.Height() > 2 * th);
    const int dy = multi ? 2 : std::max(0, (tr.Height() - th) / 2);
    const int off = pressed ? 1 : 0;
    if (col->Title()->Orientation() == tohVertical)
        WriteTextVerticalEh(c, tr, true, 2, 2, caption, col->Title()->Alignment(), false);
    else
        WriteTextEh(c, tr, true, 2 + off, dy + off, caption, col->Title()->Alignment(), multi,
                    col->Title()->EndEllipsis(), 0, markerW);
    const int my = tr.Top + tr.Height() / 2;
    if (showMarker) {
        // A small triangle at the right, down or up, left of the index.
        const int mx = tr.Right - indexW - 2 - 8 + off;
        c->Pen()->SetColor(clGray);
        c->Brush()->SetColor(clGray);
        if (marker == smDownEh)
            c->Polygon({{mx - 4, my - 2 + off}, {mx + 4, my - 2 + off}, {mx, my + 3 + off}});
        else
            c->Polygon({{mx - 4, my + 3 + off}, {mx + 4, my + 3 + off}, {mx, my - 2 + off}});
    }
    if (showIndex) {
        const TColor ink = c->Font()->Color();
        c->SetFont(indexFont.get());
        c->Font()->SetColor(ink);
        c->Brush()->SetStyle(bsClear);
        c->TextOut(tr.Right - indexW - 2 + off, my - 6 + off, IntToStr(col->Title()->SortIndex()));
        c->Brush()->SetStyle(bsSolid);
    }
    frame(leafRect);
}

void TCustomDBGridEh::drawDataCell(TCanvas* c, int ACol, int ARow, const TRect& r, TGridDrawState st) {
    TColumnEh* col = columnAt(ACol);
    const int dataRow = ARow - titleOffset_;
    if (!col || !dataLink_->Active() || dataRow >= dataLink_->RecordCount()) {
        c->Brush()->SetColor(col ? col->Color() : Color());
        c->Brush()->SetStyle(bsSolid);
        c->FillRect(r);
        return;
    }
    // The editor covers the current cell.
    if (st.Contains(gdFocused) && EditorMode() && InplaceEditor() && InplaceEditor()->Visible()) return;
    const int saved = dataLink_->ActiveRecord();
    dataLink_->SetActiveRecord(dataRow);
    struct Back {
        TGridDataLinkEh* l;
        int s;
        ~Back() { l->SetActiveRecord(s); }
    } back{dataLink_.get(), saved};
    bool rowSelected = false;
    if (selection_->Kind() != gstNon) {
        TBookmark b;
        if (selection_->Kind() == gstRecordBookmarks || selection_->Kind() == gstRectangle)
            b = dataLink_->DataSet()->GetBookmark();
        rowSelected = selection_->DataCellSelected(col->Index(), b);
    }
    const bool hl = IsCellHighlighted(ACol - indicatorOffset_, st, rowSelected);
    c->SetFont(col->Font());
    TColor bg = col->Color();
    if (hl) {
        bg = rowSelected ? kSelectedRowColor : clHighlight;
        c->Font()->SetColor(rowSelected ? clWhite : clHighlightText);
    }
    if (OnGetCellParams) OnGetCellParams(this, col, c->Font(), bg, st);
    TColCellParamsEh params;
    params.Background = bg;
    params.Font = c->Font();
    params.Alignment = col->Alignment();
    params.Text = col->DisplayText();
    params.Row = ARow;
    params.Col = ACol;
    params.State = st;
    if (col->GetColumnType() == ctCheckboxes) params.CheckboxState = col->CheckboxState();
    if (col->OnGetCellParams) col->OnGetCellParams(col, false, &params);
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(params.Background);
    if (st.Contains(gdFocused) && dataLink_->Modified() && ACol == Col()) params.Text = editText_;
    // A cell that always shows its buttons keeps them off its text.
    const int buttons = col->AlwaysShowEditButton() ? std::min(col->EditButtonsWidth(), r.Width()) : 0;
    const TRect tr{r.Left, r.Top, r.Right - buttons, r.Bottom};
    if (DefaultDrawing() && tr.Width() > 0) {
        if (col->GetColumnType() == ctCheckboxes) {
            c->FillRect(tr);
            const int sz = std::min({13, tr.Width() - 2, tr.Height() - 2});
            if (sz > 2) {
                TRect box{tr.Left + (tr.Width() - sz) / 2, tr.Top + (tr.Height() - sz) / 2, 0, 0};
                box.Right = box.Left + sz;
                box.Bottom = box.Top + sz;
                unsigned state = DFCS_BUTTONCHECK;
                if (params.CheckboxState == 1) state |= DFCS_CHECKED;
                if (params.CheckboxState == 2) state |= DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_INACTIVE;
                c->DrawFrameControl(box, DFC_BUTTON, state);
            }
        } else {
            const int th = c->TextHeight("Wg");
            const bool wrap = multiLineRows_ && col->WordWrap();
            const int dy = wrap ? 1 : std::max(0, (r.Height() - th) / 2);
            WriteTextEh(c, tr, true, 2, dy, params.Text, params.Alignment, wrap, col->EndEllipsis());
            // The incremental search shows what matched: black on yellow.
            if (incSearching_ && !incSearchText_.empty() && ACol == Col() && dataRow == saved &&
                params.Alignment == taLeftJustify) {
                const std::string pre = params.Text.substr(0, std::min(params.Text.size(), incSearchText_.size()));
                c->Brush()->SetColor(clYellow);
                c->Font()->SetColor(clBlack);
                TRect pr{r.Left + 2, r.Top + dy, r.Left + 2 + c->TextWidth(pre), r.Top + dy + th};
                IntersectRect(pr, pr, tr);
                c->FillRect(pr);
                c->Brush()->SetStyle(bsClear);
                c->TextOut(r.Left + 2, r.Top + dy, pre);
                c->Brush()->SetStyle(bsSolid);
            }
        }
    }
    if (DefaultDrawing()) {
        if (buttons > 0) drawCellButtons(c, col, r, tr.Right);
        if (optionsEh_.Contains(dghData3D)) {
            TRect e = r;
            c->DrawEdge(e, BDR_RAISEDINNER, BF_RECT);
        }
    }
    if (OnDrawDataCell && !columns_->HasStoredColumns()) OnDrawDataCell(this, r, col->Field(), st);
    if (OnDrawColumnCell) OnDrawColumnCell(this, r, ACol - indicatorOffset_, col, st);
}

void TCustomDBGridEh::DefaultDrawColumnCell(const TRect& Rect, int DataCol, TColumnEh* Column, TGridDrawState State) {
    TCanvas* c = paintCanvas_ ? paintCanvas_ : Canvas();
    WriteTextEh(c, Rect, true, 2, 2, Column ? Column->DisplayText() : "", Column ? Column->Alignment() : taLeftJustify,
                false, false);
}

void TCustomDBGridEh::drawFooterCell(TCanvas* c, int ACol, int footerRow, const TRect& r, TGridDrawState st) {
    TColumnEh* col = columnAt(ACol);
    c->Brush()->SetStyle(bsSolid);
    if (!col) {
        c->Brush()->SetColor(ACol < indicatorOffset_ ? FixedColor() : FooterColor());
        c->FillRect(r);
        if (ACol < indicatorOffset_ && optionsEh_.Contains(dghFixed3D)) {
            TRect e = r;
            c->DrawEdge(e, BDR_RAISEDINNER, BF_RECT);
        }
        return;
    }
    TColumnFooterEh* f = col->FooterOfRow(footerRow);
    std::string text = dataLink_->Active() ? GetFooterValue(footerRow, col) : std::string();
    c->SetFont(f->Font());
    TColor bg = f->Color();
    TAlignment align = f->Alignment();
    if (OnGetFooterParams)
        OnGetFooterParams(this, ACol - indicatorOffset_, footerRow, col, c->Font(), bg, align, st, text);
    c->Brush()->SetColor(bg);
    if (DefaultDrawing()) {
        const int th = c->TextHeight("Wg");
        WriteTextEh(c, r, true, 2, std::max(0, (r.Height() - th) / 2), text, align, f->WordWrap(), f->EndEllipsis());
        if (optionsEh_.Contains(dghFooter3D)) {
            TRect e = r;
            c->DrawEdge(e, BDR_RAISEDINNER, BF_RECT);
        }
    }
    if (OnDrawFooterCell) OnDrawFooterCell(this, ACol - indicatorOffset_, footerRow, col, r, st);
}

void TCustomDBGridEh::DefaultDrawFooterCell(const TRect& Rect, int DataCol, int Row, TColumnEh* Column,
                                            TGridDrawState State) {
    TCanvas* c = paintCanvas_ ? paintCanvas_ : Canvas();
    TColumnFooterEh* f = Column->FooterOfRow(Row);
    WriteTextEh(c, Rect, true, 2, 2, GetFooterValue(Row, Column), f->Alignment(), f->WordWrap(), f->EndEllipsis());
}

// ================================================================ hooks

TDBGridEhEditActionHooks& DBGridEhEditActionHooks() {
    static TDBGridEhEditActionHooks hooks = MakeDBGridEhImpExpHooks();
    return hooks;
}

// ================================================================ tooltips

TFont* TCustomDBGridEh::TooltipFont() {
    if (!tooltipFont_) tooltipFont_ = std::make_unique<TFont>();
    return tooltipFont_.get();
}

void TCustomDBGridEh::showTooltip(const std::string& text, const TRect& cell, const TPoint& at) {
    HideTooltip();
    if (!tipWindow_) tipWindow_ = new THintWindow(this);
    tipWindow_->Font()->Assign(TooltipFont());
    tipWindow_->Font()->SetColor(clWindowText);
    TRect r = tipWindow_->CalcHintRect(Screen->Width(), text);
    const TPoint p = ClientToScreen(at);
    r = Rect(p.X, p.Y, p.X + r.Width(), p.Y + r.Height());
    tipWindow_->ActivateHint(r, text);
    tipCell_ = cell;
}

void TCustomDBGridEh::MouseLeave() {
    // A hint still waiting for its pause never comes once the pointer left;
    // a tooltip already up stays (it stands under the pointer itself).
    pendingTipCell_ = TRect{};
    if (tipTimer_) tipTimer_->SetEnabled(false);
    TCustomGrid::MouseLeave();
}

void TCustomDBGridEh::HideTooltip() {
    if (tipWindow_ && tipWindow_->Visible()) tipWindow_->ReleaseHandle();
    tipCell_ = TRect{};
    pendingTipCell_ = TRect{};
    if (tipTimer_) tipTimer_->SetEnabled(false);
}

bool TCustomDBGridEh::TextExceedsCell(const std::string& text, const TRect& r, bool wrap) {
    TBitmap b;
    b.Canvas()->Font()->Assign(TooltipFont());
    const int width = r.Width() - (wrap ? 2 : 0) - 2;
    TRect m{0, 0, std::max(1, width), 0};
    b.Canvas()->DrawText(text, -1, m, DT_CALCRECT | DT_NOPREFIX | (wrap ? DT_WORDBREAK : 0u));
    return m.Width() > width || m.Height() > r.Height() - textMargin_ + 1;
}

std::string TCustomDBGridEh::CellTipText(TColumnEh* Column) {
    if (!Column) return {};
    const TColumnEhValueType t = Column->GetColumnType();
    if (t == ctCheckboxes || t == ctKeyImageList) {
        int index = -1;
        if (t == ctCheckboxes) {
            index = Column->CheckboxState();
        } else if (TField* f = Column->Field()) {
            const std::string v = f->AsString();
            for (int i = 0; i < Column->KeyList()->Count(); ++i)
                if (Column->KeyList()->Strings(i) == v) index = i;
        }
        const TStrings* pick = Column->PickList();
        return index >= 0 && index < pick->Count() ? pick->Strings(index) : std::string();
    }
    return Column->Field() ? CellDisplayText(Column) : std::string();
}

bool TCustomDBGridEh::CellTooltipAt(int X, int Y, std::string& Text, TRect& CellRect, TPoint& TextPos) {
    const TGridCoord cell = MouseCoord(X, Y);
    if (cell.X < indicatorOffset_ || cell.Y < 0) return false;
    TColumnEh* col = columnAt(cell.X);
    if (!col) return false;
    const bool title = titleRow_ && cell.Y == 0;
    const int firstFooter = FirstFooterRow();
    const bool data = cell.Y >= titleOffset_ && (firstFooter < 0 || cell.Y < firstFooter - 1);
    TRect r = this->CellRect(cell.X, cell.Y);
    CellRect = r;
    if (title && !col->Title()->Hint().empty()) {
        // A title's own hint: its short part, at the pointer.
        const std::string& h = col->Title()->Hint();
        Text = h.substr(0, h.find('|'));
        TextPos = TPoint{X, r.Bottom};
        return true;
    }
    if (title ? !col->Title()->ToolTips() : !(data && col->ToolTips() && dataLink_->Active())) return false;
    int rightLimit = r.Left + col->Width();
    bool wrap = false;
    TAlignment alignment;
    if (title) {
        THeadTreeNode* leaf = useMultiTitle_ ? LeafFieldArr(col->Index()) : nullptr;
        if (leaf) {
            Text = leaf->Text;
            r.Top = r.Bottom - leaf->Height + 1;
            if (Y < r.Top) return false;
        } else {
            Text = col->Title()->Caption();
        }
        wrap = useMultiTitle_ || titleHeight_ != 0 || titleLines_ != 0;
        alignment = col->Title()->Alignment();
        TooltipFont()->Assign(col->Title()->Font());
    } else {
        const int row = cell.Y - titleOffset_;
        if (row >= dataLink_->RecordCount()) return false;
        const int saved = dataLink_->ActiveRecord();
        dataLink_->SetActiveRecord(row);
        struct Back {
            TGridDataLinkEh* l;
            int s;
            ~Back() { l->SetActiveRecord(s); }
        } back{dataLink_.get(), saved};
        Text = CellTipText(col);
        const TColumnEhValueType t = col->GetColumnType();
        const bool keyed = t == ctCheckboxes || t == ctKeyImageList;
        alignment = keyed ? taLeftJustify : col->Alignment();
        wrap = col->WordWrap() && multiLineRows_;
        TooltipFont()->Assign(col->Font());
        TColor bg = col->Color();
        if (OnGetCellParams) OnGetCellParams(this, col, TooltipFont(), bg, TGridDrawState{});
        TColCellParamsEh params;
        params.Background = bg;
        params.Font = TooltipFont();
        params.Alignment = alignment;
        params.Text = Text;
        params.Row = cell.Y;
        params.Col = cell.X;
        if (col->OnGetCellParams) col->OnGetCellParams(col, false, &params);
        Text = params.Text;
        alignment = params.Alignment;
        if (keyed) {
            if (Text.empty()) return false;
            CellRect = r;
            TextPos = TPoint{r.Left - 1, r.Top - (flat_ ? 2 : 1)};
            return true;
        }
    }
    if (Text.empty()) return false;
    const bool need = TextExceedsCell(Text, r, wrap);
    if (!need && !(alignment == taRightJustify && r.Right < rightLimit - 2)) return false;
    TBitmap b;
    b.Canvas()->Font()->Assign(TooltipFont());
    const int tw = b.Canvas()->TextWidth(Text);
    const int f = flat_ ? 2 : 1;
    switch (alignment) {
    case taRightJustify: TextPos = TPoint{rightLimit - tw - 6, r.Top - f}; break;
    case taCenter: TextPos = TPoint{rightLimit - tw - 5 + tw / 2 - (rightLimit - r.Left - 4) / 2, r.Top - f}; break;
    default: TextPos = TPoint{r.Left - 1, r.Top - f}; break;
    }
    CellRect = r;
    return true;
}
