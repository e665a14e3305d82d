#include "gridlib/grid/DBLookupGridsEh.h"

#include <algorithm>
#include <chrono>

#include "DB.h"
#include "ExtCtrls.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "gridlib/edits/DBCtrlsEh.h"

namespace {

uint64_t steadyMs() {
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// One timestamp for every lookup grid of the program: a pause in any of
// them starts the next search afresh.
uint64_t lastTypeAheadTick = 0;

std::string joinNames(const std::vector<TField*>& fields) {
    std::string s;
    for (TField* f : fields) {
        if (!s.empty()) s += ";";
        s += f->FieldName();
    }
    return s;
}

int charCount(const std::string& s) {
    int n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

void appendUtf8(std::string& s, char32_t k) {
    if (k < 0x80) {
        s += char(k);
    } else if (k < 0x800) {
        s += char(0xC0 | (k >> 6));
        s += char(0x80 | (k & 0x3F));
    } else if (k < 0x10000) {
        s += char(0xE0 | (k >> 12));
        s += char(0x80 | ((k >> 6) & 0x3F));
        s += char(0x80 | (k & 0x3F));
    } else {
        s += char(0xF0 | (k >> 18));
        s += char(0x80 | ((k >> 12) & 0x3F));
        s += char(0x80 | ((k >> 6) & 0x3F));
        s += char(0x80 | (k & 0x3F));
    }
}

} // namespace

std::function<uint64_t()> TDBLookupGridEh::TypeAheadClock = steadyMs;

// ================================================================ data link

void TLookupGridDataLinkEh::ActiveChanged() { grid_->BindDataFields(); }
void TLookupGridDataLinkEh::LayoutChanged() { grid_->BindDataFields(); }
void TLookupGridDataLinkEh::RecordChanged(TField* field) { grid_->DataFieldChanged(field); }

void TLookupGridDataLinkEh::FocusControl(TField** field) {
    if (!field || !*field || grid_->dataFields_.empty() || *field != grid_->dataFields_.front()) return;
    if (grid_->CanFocus()) {
        grid_->SetFocus();
        *field = nullptr;
    }
}

// ================================================================ the grid

// ================================================================ columns and their special-row cells

TGridColumnSpecCellEh::TGridColumnSpecCellEh(TDBLookupGridColumnEh* column)
    : column_(column), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this](TObject*) {
        if (copyingFont_) return;
        fontAssigned_ = true;
        changed();
    };
}

TGridColumnSpecCellEh::~TGridColumnSpecCellEh() { font_->OnChange = nullptr; }

TPersistent* TGridColumnSpecCellEh::GetOwner() const { return column_; }

TSpecRowEh* TGridColumnSpecCellEh::gridSpecRow() const {
    auto* g = dynamic_cast<TDBLookupGridEh*>(column_->Grid());
    return g ? g->SpecRow() : nullptr;
}

void TGridColumnSpecCellEh::changed() {
    if (TCustomDBGridEh* g = column_->Grid()) g->Invalidate();
}

std::string TGridColumnSpecCellEh::Text() const {
    if (textAssigned_) return text_;
    TSpecRowEh* row = gridSpecRow();
    return row ? row->CellTextAt(column_->Index()) : text_;
}

void TGridColumnSpecCellEh::SetText(const std::string& v) {
    if (v == Text()) return;
    text_ = v;
    textAssigned_ = true;
    changed();
}

TColor TGridColumnSpecCellEh::Color() const {
    if (colorAssigned_) return color_;
    TSpecRowEh* row = gridSpecRow();
    return row ? row->Color() : color_;
}

void TGridColumnSpecCellEh::SetColor(TColor v) {
    if (v == Color()) return;
    color_ = v;
    colorAssigned_ = true;
    changed();
}

TFont* TGridColumnSpecCellEh::Font() const {
    TSpecRowEh* row = gridSpecRow();
    if (!fontAssigned_ && row) {
        // Follow the special row without becoming the cell's own.
        auto* self = const_cast<TGridColumnSpecCellEh*>(this);
        self->copyingFont_ = true;
        ScopeExit done([self] { self->copyingFont_ = false; });
        self->font_->Assign(row->Font());
    }
    return font_.get();
}

void TGridColumnSpecCellEh::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TGridColumnSpecCellEh*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    SetText(s->Text());
    SetColor(s->Color());
    if (s->FontAssigned()) SetFont(s->Font());
}

TDBLookupGridColumnEh::TDBLookupGridColumnEh(TCollection* collection)
    : TColumnEh(collection), specCell_(std::make_unique<TGridColumnSpecCellEh>(this)) {}

void TDBLookupGridColumnEh::SetWidth(int v) {
    TCustomDBGridEh* g = Grid();
    const bool fit = g && g->AutoFitColWidths() && v > 0;
    const int oldBase = AutoFitBaseWidth, oldWidth = Width();
    if (fit) {
        // Before the width's own change lays the grid out, which reads it.
        int w = v;
        if (MaxWidth() > 0 && w > MaxWidth()) w = MaxWidth();
        if (MinWidth() > 0 && w < MinWidth()) w = MinWidth();
        AutoFitBaseWidth = w;
    }
    TColumnEh::SetWidth(v);
    if (fit && Width() == oldWidth && AutoFitBaseWidth != oldBase) g->LayoutChanged();
}

// ================================================================ the grid

TDBLookupGridEh::TDBLookupGridEh(TComponent* AOwner)
    : TCustomDBGridEh(AOwner, [](TCollection*) { return new TDBLookupGridColumnEh(nullptr); }), dataLink_(std::make_unique<TLookupGridDataLinkEh>(this)) {
    SetParentColor(false);
    internalSource_ = new TDataSource(this);
    specRow_ = std::make_unique<TSpecRowEh>(this);
    specRow_->OnInternalChange = [this](TObject*) { SpecRowUpdated(); };
    keyValue_ = Null();
    BeginLayout();
    TCustomDBGridEh::SetOptions(TDBGridOptions{dgColLines, dgRowSelect});
    TDBGridEhOptions eh = OptionsEh();
    eh << dghTraceColSizing;
    TCustomDBGridEh::SetOptionsEh(eh);
    SetFlat(true);
    SetDrawMemoText(true);
    SetTabStop(false);
    TCustomDBGridEh::SetAutoFitColWidths(false);
    SetVTitleMargin(5);
    EndLayout();
    TGridOptions go = TCustomGrid::Options();
    go << goThumbTracking;
    TCustomGrid::SetOptions(go);
    scrollTimer_ = new TTimer(this);
    scrollTimer_->SetEnabled(false);
    scrollTimer_->OnTimer = [this](TObject*) { selectionAutoScroll(); };
    SetDisplayRows(displayRows_);
}

TDBLookupGridEh::~TDBLookupGridEh() {
    specRow_->OnInternalChange = nullptr;
    dataLink_->SetDataSource(nullptr);
}

TDataSet* TDBLookupGridEh::listDataSet() const {
    return TCustomDBGridEh::DataLink()->Active() ? TCustomDBGridEh::DataLink()->DataSet() : nullptr;
}

void TDBLookupGridEh::checkListSettable() const {
    if (lookupMode_) DatabaseError("Property already defined by lookup field");
}

void TDBLookupGridEh::checkNotCircular() const {
    TDataSet* list = listDataSet();
    if (list && dataLink_->DataSource() && list->IsLinkedTo(dataLink_->DataSource()))
        DatabaseError("Circular datalinks are not allowed");
}

// ---- setters

void TDBLookupGridEh::SetListSource(TDataSource* v) {
    checkListSettable();
    TCustomDBGridEh::SetDataSource(v);
}

void TDBLookupGridEh::SetKeyField(const std::string& v) {
    checkListSettable();
    if (v == keyField_) return;
    keyField_ = v;
    BindListFields();
    FitRowsAndWidths();
}

void TDBLookupGridEh::SetListField(const std::string& v) {
    if (v == listField_) return;
    listField_ = v;
    BindListFields();
    FitRowsAndWidths();
}

void TDBLookupGridEh::SetDataSource(TDataSource* v) {
    dataLink_->SetDataSource(v);
    if (v) v->FreeNotification(this);
}

void TDBLookupGridEh::SetDataField(const std::string& v) {
    if (v == dataField_) return;
    dataField_ = v;
    BindDataFields();
}

void TDBLookupGridEh::Notification(TComponent* component, TOperation operation) {
    TCustomDBGridEh::Notification(component, operation);
    if (operation == opRemove && dataLink_ && component == dataLink_->DataSource()) SetDataSource(nullptr);
}

void TDBLookupGridEh::SetKeyValue(const Variant& v) {
    if (VariantsEqual(v, keyValue_)) return;
    keyValue_ = v;
    KeyValueUpdated();
}

void TDBLookupGridEh::SetOptions(TDBLookupGridEhOptions v) {
    lookupOptions_ = v;
    TDBGridOptions o = TCustomDBGridEh::Options();
    auto put = [&](bool on, TDBGridOption bit) {
        if (on)
            o << bit;
        else
            o >> bit;
    };
    put(v.Contains(dlgColumnResizeEh), dgColumnResize);
    put(v.Contains(dlgColLinesEh), dgColLines);
    put(v.Contains(dlgRowLinesEh), dgRowLines);
    TDBGridEhOptions eh = OptionsEh();
    if (v.Contains(dlgAutoSortMarkingEh))
        eh << dghAutoSortMarking;
    else
        eh >> dghAutoSortMarking;
    if (v.Contains(dlgMultiSortMarkingEh))
        eh << dghMultiSortMarking;
    else
        eh >> dghMultiSortMarking;
    TCustomDBGridEh::SetOptions(o);
    TCustomDBGridEh::SetOptionsEh(eh);
    SetDisplayRows(displayRows_);
}

void TDBLookupGridEh::SetUseMultiTitle(bool v) {
    TCustomDBGridEh::SetUseMultiTitle(v);
    SetDisplayRows(displayRows_);
}

void TDBLookupGridEh::SetAutoFitColWidths(bool v) {
    TCustomDBGridEh::SetAutoFitColWidths(v);
    SetDisplayRows(displayRows_);
}

void TDBLookupGridEh::SetShowTitles(bool v) {
    if (v == ShowTitles()) return;
    TDBGridOptions o = TCustomDBGridEh::Options();
    if (v)
        o << dgTitles;
    else
        o >> dgTitles;
    TCustomDBGridEh::SetOptions(o);
    SetDisplayRows(displayRows_);
}

// ---- sizes

int TDBLookupGridEh::BorderSize() const { return std::max(0, Height() - ClientHeight()); }

int TDBLookupGridEh::RecordRowHeight() const {
    const int lw = TCustomDBGridEh::Options().Contains(dgRowLines) ? GridLineWidth() : 0;
    return DataRowHeightPx() + lw;
}

int TDBLookupGridEh::SpecRowHeight() const { return specRow_->Visible() ? RecordRowHeight() : 0; }

namespace {
int titleBand(const TDBLookupGridEh* g, int titleHeight, int lineWidth) {
    return g->ShowTitles() ? titleHeight + lineWidth : 0;
}
} // namespace

void TDBLookupGridEh::SetDisplayRows(int v) {
    displayRows_ = std::clamp(v, 1, 100);
    if (settingBounds_) return;
    LayoutChanged();
    const int lw = TCustomDBGridEh::Options().Contains(dgRowLines) ? GridLineWidth() : 0;
    const int h = titleBand(this, TitleRowHeightPx(), lw) + displayRows_ * RecordRowHeight() + BorderSize() +
                  SpecRowHeight();
    settingBounds_ = true;
    TCustomDBGridEh::SetBounds(Left(), Top(), Width(), h);
    settingBounds_ = false;
    LayoutChanged();
}

void TDBLookupGridEh::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (settingBounds_) {
        TCustomDBGridEh::SetBounds(ALeft, ATop, AWidth, AHeight);
        return;
    }
    const int lw = TCustomDBGridEh::Options().Contains(dgRowLines) ? GridLineWidth() : 0;
    const int fixed = BorderSize() + titleBand(this, TitleRowHeightPx(), lw) + SpecRowHeight();
    const int rows = std::max(1, (AHeight - fixed) / std::max(1, RecordRowHeight()));
    displayRows_ = std::min(rows, 100);
    settingBounds_ = true;
    TCustomDBGridEh::SetBounds(ALeft, ATop, AWidth, fixed + displayRows_ * RecordRowHeight());
    settingBounds_ = false;
}

void TDBLookupGridEh::FitRowsAndWidths() {
    for (TColumnEh* c : VisibleColumns()) c->AutoFitBaseWidth = c->Width();
    SetDisplayRows(displayRows_);
}

void TDBLookupGridEh::ColWidthsChanged() {
    const bool userSizing = !InLayout() && AutoFitColWidths() && Columns();
    TCustomDBGridEh::ColWidthsChanged();
    if (!userSizing) return;
    for (TColumnEh* c : VisibleColumns()) {
        const int w = ColWidths(DataToRawColumn(c->Index()));
        if (w > 0) c->AutoFitBaseWidth = w;
    }
    const int lines = TCustomDBGridEh::Options().Contains(dgColLines) ? GridLineWidth() : 0;
    const int w = ColumnsWidth() + (IndicatorOffset() ? ColWidths(0) + lines : 0) + (Width() - ClientWidth());
    if (w != Width()) SetBounds(Left(), Top(), w, Height());
}

int TDBLookupGridEh::ColumnsWidth() const {
    const bool lines = TCustomDBGridEh::Options().Contains(dgColLines);
    int w = 0;
    for (TColumnEh* c : VisibleColumns())
        w += (AutoFitColWidths() && c->AutoFitBaseWidth > 0 ? c->AutoFitBaseWidth : c->Width()) + (lines ? 1 : 0);
    return w;
}

int TDBLookupGridEh::specRowGridRow() const { return specRow_->Visible() ? TitleOffset() - 1 : -1; }

TRect TDBLookupGridEh::DataRowsRect() const {
    const int firstRow = specRow_->Visible() ? specRowGridRow() : TitleOffset();
    const int lastRow = TitleOffset() + std::max(0, recordCount_) - 1;
    TRect r = BoxRect(IndicatorOffset(), firstRow, ColCount() - 1, std::max(firstRow, lastRow));
    return r;
}

// ---- binding the data side

void TDBLookupGridEh::BindDataFields() {
    dataFields_.clear();
    receivingFields_.clear();
    receivingNames_.clear();
    if (dataLink_->Active() && !dataField_.empty()) {
        checkNotCircular();
        TDataSet* ds = dataLink_->DataSet();
        dataFields_ = FieldsByNames(ds, this, dataField_);
        if (dataFields_.size() == 1 && dataFields_[0]->Lookup())
            receivingFields_ = FieldsByNames(ds, this, dataFields_[0]->KeyFields());
        else
            receivingFields_ = dataFields_;
        receivingNames_ = joinNames(receivingFields_);
    }
    setLookupMode(dataFields_.size() == 1 && dataFields_[0]->Lookup());
    DataFieldChanged(nullptr);
}

void TDBLookupGridEh::setLookupMode(bool v) {
    if (v == lookupMode_) return;
    if (v) {
        TField* f = dataFields_[0];
        receivingFields_ = FieldsByNames(dataLink_->DataSet(), this, f->KeyFields());
        receivingNames_ = joinNames(receivingFields_);
        internalSource_->SetDataSet(f->LookupDataSet());
        lookupMode_ = true;
        keyField_ = f->LookupKeyFields();
        TCustomDBGridEh::SetDataSource(internalSource_);
    } else {
        lookupMode_ = false;
        TCustomDBGridEh::SetDataSource(nullptr);
        keyField_.clear();
        internalSource_->SetDataSet(nullptr);
        receivingFields_ = dataFields_;
        receivingNames_ = joinNames(receivingFields_);
    }
    BindListFields();
}

void TDBLookupGridEh::DataFieldChanged(TField* Field) {
    if (Field && std::find(receivingFields_.begin(), receivingFields_.end(), Field) == receivingFields_.end()) return;
    if (receivingFields_.empty())
        SetKeyValue(Null());
    else
        SetKeyValue(dataLink_->DataSet()->FieldValues(receivingNames_));
}

// ---- binding the list

void TDBLookupGridEh::BindListFields() {
    listActive_ = false;
    listFieldOfChoice_ = nullptr;
    listFields_.clear();
    keyFields_.clear();
    struct Finally {
        TDBLookupGridEh* g;
        ~Finally() {
            if (g->listActive_)
                g->KeyValueUpdated();
            else
                g->ListStateChanged();
        }
    } finally{this};
    TDataSet* list = listDataSet();
    if (!list || keyField_.empty()) {
        LayoutChanged();
        return;
    }
    checkNotCircular();
    keyFields_ = FieldsByNames(list, this, keyField_);
    try {
        CollectFieldsByNames(&listFields_, list, this, listField_);
    } catch (const Exception&) {
        listFields_.clear();
        DatabaseError(Format("Field '%s' not found", listField_.c_str()));
    }
    if (lookupMode_) {
        listFieldOfChoice_ = list->FieldByName(dataFields_[0]->LookupResultField());
        if (std::find(listFields_.begin(), listFields_.end(), listFieldOfChoice_) == listFields_.end())
            listFields_.insert(listFields_.begin(), listFieldOfChoice_);
    } else {
        if (listFields_.empty()) listFields_ = keyFields_;
        const int i = listFieldIndex_ >= 0 && listFieldIndex_ < int(listFields_.size()) ? listFieldIndex_ : 0;
        listFieldOfChoice_ = listFields_[size_t(i)];
    }
    listActive_ = true;
    LayoutChanged();
}

std::vector<TField*> TDBLookupGridEh::DatasetFieldList() const { return listFields_; }

// ---- the key

Variant TDBLookupGridEh::currentListKey() const {
    TDataSet* list = listDataSet();
    if (!list || keyField_.empty() || list->IsEmpty()) return Null();
    return list->FieldValues(keyField_);
}

bool TDBLookupGridEh::FindKeyInList() {
    TDataSet* list = listDataSet();
    if (VarIsNull(keyValue_) || !list || !list->Active() || keyField_.empty()) return false;
    try {
        return list->Locate(keyField_, keyValue_, 0);
    } catch (...) {
        return false;
    }
}

void TDBLookupGridEh::KeyValueUpdated() {
    if (specRow_->Visible()) {
        specRow_->RowSelected = VariantsEqual(keyValue_, specRow_->Value());
        if (!choosing_ && !specRow_->RowSelected && specRow_->ShowIfNotInKeyList()) {
            if (FindKeyInList())
                ListStateChanged();
            else
                specRow_->RowSelected = true;
        }
    } else {
        specRow_->RowSelected = false;
    }
    if (listActive_ && !choosing_) {
        if (FindKeyInList() || specRow_->RowSelected) {
            ListStateChanged();
        } else if (TDataSet* list = listDataSet()) {
            list->First();
            ListStateChanged();
        }
    }
    Invalidate();
}

void TDBLookupGridEh::ListStateChanged() {
    if (listActive_) {
        activeRecord_ = TCustomDBGridEh::DataLink()->ActiveRecord();
        recordCount_ = TCustomDBGridEh::DataLink()->RecordCount();
    } else {
        activeRecord_ = 0;
        recordCount_ = 0;
    }
    UpdateScrollBar();
    UpdateActive();
    Invalidate();
}

std::string TDBLookupGridEh::SelectedText() const {
    if (specRow_->Visible() && specRow_->RowSelected) return specRow_->CellTextAt(listFieldIndex_);
    TDataSet* list = listDataSet();
    if (listActive_ && listFieldOfChoice_ && list && !list->IsEmpty() && !VarIsNull(keyValue_) &&
        VariantsEqual(currentListKey(), keyValue_))
        return listFieldOfChoice_->DisplayText();
    return {};
}

bool TDBLookupGridEh::CanEditValue() const {
    if (!listActive_ || DataReadOnly()) return false;
    if (!dataLink_->DataSource()) return true;
    if (receivingFields_.empty()) return false;
    for (TField* f : receivingFields_)
        if (!f->CanModify()) return false;
    return true;
}

void TDBLookupGridEh::ChooseKeyValue(const Variant& Value) {
    if (receivingFields_.empty()) {
        SetKeyValue(Value);
    } else if (dataLink_->Edit()) {
        AssignFieldValues(dataLink_->DataSet(), receivingNames_, Value);
    }
    UpdateActive();
    Invalidate();
    Click();
}

void TDBLookupGridEh::SelectCurrent() {
    const bool was = choosing_;
    choosing_ = true;
    ScopeExit back([this, was] { choosing_ = was; });
    const Variant k = currentListKey();
    specRow_->RowSelected = false;
    if (!VariantsEqual(k, keyValue_)) ChooseKeyValue(k);
    Invalidate();
}

void TDBLookupGridEh::SelectSpecRow() {
    const bool was = choosing_;
    choosing_ = true;
    ScopeExit back([this, was] { choosing_ = was; });
    if (!VariantsEqual(specRow_->Value(), keyValue_)) ChooseKeyValue(specRow_->Value());
    specRow_->RowSelected = true;
    Invalidate();
}

void TDBLookupGridEh::SelectAt(int X, int Y) {
    const int sr = specRowGridRow();
    if (sr >= 0) {
        const TRect band = CellRect(IndicatorOffset(), sr);
        if (Y >= band.Top && Y < band.Bottom) {
            SelectSpecRow();
            return;
        }
    }
    const TRect first = CellRect(IndicatorOffset(), TitleOffset());
    if (Y < first.Top) return;
    const int y = std::min(Y, ClientHeight() - 1);
    const TGridCoord cell = MouseCoord(std::clamp(X, 0, std::max(0, ClientWidth() - 1)), y);
    TDataSet* list = listDataSet();
    if (!list) return;
    const int row = cell.Y - TitleOffset();
    if (cell.Y >= TitleOffset() && row < TCustomDBGridEh::DataLink()->RecordCount()) {
        list->MoveBy(row - TCustomDBGridEh::DataLink()->ActiveRecord());
        SelectCurrent();
    }
}

void TDBLookupGridEh::SpecRowUpdated() {
    if (loading()) return;
    LayoutChanged();
    SetDisplayRows(displayRows_);
    Invalidate();
}

// ---- reactions of the grid

void TDBLookupGridEh::LinkActive(bool Value) {
    BindListFields();
    TCustomDBGridEh::LinkActive(Value);
    FitRowsAndWidths();
}

void TDBLookupGridEh::DataChanged() {
    TCustomDBGridEh::DataChanged();
    ListStateChanged();
}

void TDBLookupGridEh::Scroll(int Distance) {
    BeginUpdate();
    ScopeExit end([this] { EndUpdate(); });
    TCustomDBGridEh::Scroll(Distance);
    ListStateChanged();
}

void TDBLookupGridEh::UpdateRowCount() {
    if (inUpdateRowCount_) return;
    inUpdateRowCount_ = true;
    ScopeExit back([this] { inUpdateRowCount_ = false; });
    TCustomDBGridEh::UpdateRowCount();
    activeRecord_ = listActive_ ? TCustomDBGridEh::DataLink()->ActiveRecord() : 0;
    recordCount_ = listActive_ ? TCustomDBGridEh::DataLink()->RecordCount() : 0;
}

void TDBLookupGridEh::LayoutChanged() {
    if (!AcquireLayoutLock()) return;
    EndLayout();
}

void TDBLookupGridEh::UpdateActive() {
    TCustomDBGridEh::UpdateActive();
    keyRowFound_ = false;
    TGridDataLinkEh* link = TCustomDBGridEh::DataLink();
    TDataSet* list = listDataSet();
    if (!list || VarIsNull(keyValue_) || keyField_.empty()) return;
    const int saved = link->ActiveRecord();
    for (int r = 0; r < link->RecordCount(); ++r) {
        link->SetActiveRecord(r);
        if (VariantsEqual(list->FieldValues(keyField_), keyValue_)) {
            keyRowFound_ = true;
            break;
        }
    }
    link->SetActiveRecord(saved);
}

void TDBLookupGridEh::UpdateScrollBar() {
    const TScrollStyle bars = ScrollBars();
    if (bars != ssVertical && bars != ssBoth) return;
    TDataSet* list = listDataSet();
    if (!listActive_ || !list) {
        SetScrollRange(sbVertical, 0, 2, 0);
        SetScrollPos(sbVertical, 0);
        return;
    }
    TGridDataLinkEh* link = TCustomDBGridEh::DataLink();
    if (list->IsSequenced()) {
        const int n = list->RecordCount();
        const int rows = VisibleDataRowCount();
        SetScrollRange(sbVertical, 0, std::max(0, n - 1), rows);
        const TDataSetState st = list->State();
        const int pos = st == dsBrowse || st == dsEdit ? list->RecNo() - link->ActiveRecord() - 1 : 0;
        SetScrollPos(sbVertical, std::max(0, pos));
    } else if (link->RecordCount() < VisibleDataRowCount()) {
        SetScrollRange(sbVertical, 0, 0, 0);
        SetScrollPos(sbVertical, 0);
    } else {
        SetScrollRange(sbVertical, 0, 4, 0);
        SetScrollPos(sbVertical, list->Bof() ? 0 : list->Eof() ? 4 : 2);
    }
}

void TDBLookupGridEh::ScrollBarChanged(TScrollBarKind Kind, TScrollCode Code, int Pos) {
    TDataSet* list = listDataSet();
    if (Kind != sbVertical || !list) {
        TCustomDBGridEh::ScrollBarChanged(Kind, Code, Pos);
        return;
    }
    searchText_.clear();
    TGridDataLinkEh* link = TCustomDBGridEh::DataLink();
    const int rows = VisibleDataRowCount();
    const int active = link->ActiveRecord();
    const int shown = link->RecordCount();
    switch (Code) {
    case scLineUp: list->MoveBy(-active - 1); break;
    case scLineDown: list->MoveBy(shown - active); break;
    case scPageUp: list->MoveBy(-active - rows + 1); break;
    case scPageDown: list->MoveBy(shown - active + rows - 2); break;
    case scTop: list->First(); break;
    case scBottom: list->Last(); break;
    case scPosition:
    case scTrack:
        if (Code == scTrack && list->IsSequenced()) {
            // The first shown record's number follows the thumb.
            const int first = list->RecNo() - active;
            list->MoveBy(Pos + 1 - first);
            break;
        }
        if (Pos <= 0)
            list->First();
        else if (Pos == 1)
            list->MoveBy(-active - rows + 1);
        else if (Pos == 3)
            list->MoveBy(shown - active + rows - 2);
        else if (Pos >= 4)
            list->Last();
        break;
    default: break;
    }
    ListStateChanged();
}

bool TDBLookupGridEh::IsCellHighlighted(int, TGridDrawState, bool) {
    TDataSet* list = listDataSet();
    if (!list || VarIsNull(keyValue_) || keyField_.empty()) return false;
    if (specRow_->Visible() && specRow_->RowSelected) return false;
    // Painting has made the row's record the one fields read.
    return VariantsEqual(list->FieldValues(keyField_), keyValue_);
}

int TDBLookupGridEh::SpecialRowCount() const { return specRow_ && specRow_->Visible() ? 1 : 0; }

void TDBLookupGridEh::DrawSpecialRowCell(TCanvas* c, int ACol, const TRect& r, TGridDrawState) {
    if (ACol < IndicatorOffset()) {
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(FixedColor());
        c->FillRect(r);
        return;
    }
    TColumnEh* col = columnAt(ACol);
    auto* lcol = dynamic_cast<TDBLookupGridColumnEh*>(col);
    c->SetFont(specRow_->Font());
    TColor bg = lcol ? lcol->SpecCell()->Color() : specRow_->Color();
    if (specRow_->RowSelected) {
        bg = clHighlight;
        c->Font()->SetColor(clHighlightText);
    }
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(bg);
    const int th = c->TextHeight("Wg");
    WriteTextEh(c, r, true, 2, std::max(0, (r.Height() - th) / 2),
                lcol ? lcol->SpecCell()->Text() : specRow_->CellTextAt(col ? col->Index() : 0),
                col ? col->Alignment() : taLeftJustify, false, false);
    if (specRow_->RowSelected && col && col == VisibleColumns().back()) {
        const TRect first = CellRect(IndicatorOffset(), TitleOffset() - 1);
        c->DrawFocusRect(TRect{first.Left, r.Top, r.Right, r.Bottom});
    }
}

void TDBLookupGridEh::ColumnMoved(int FromIndex, int ToIndex) {
    const int from = FromIndex - IndicatorOffset(), to = ToIndex - IndicatorOffset();
    const bool customised = Columns()->HasStoredColumns();
    TCustomDBGridEh::ColumnMoved(FromIndex, ToIndex);
    // The special row's texts move with their columns.
    std::vector<std::string> cells = TSpecRowEh::SplitCellsText(specRow_->CellsText());
    if (from >= 0 && to >= 0) {
        const size_t n = size_t(std::max({from, to}) + 1);
        if (cells.size() < n) cells.resize(n);
        std::string moved = cells[size_t(from)];
        cells.erase(cells.begin() + from);
        cells.insert(cells.begin() + to, moved);
        std::string text;
        for (size_t i = 0; i < cells.size(); ++i) {
            if (i) text += ";";
            std::string q = cells[i];
            if (q.find_first_of(";\"") != std::string::npos) q = AnsiQuotedStr(q, '"');
            text += q;
        }
        specRow_->LockChanges();
        specRow_->SetCellsText(text);
        specRow_->UnlockChanges();
    }
    if (customised || !listActive_) return;
    if (listFieldIndex_ == from)
        listFieldIndex_ = to;
    else if (from < listFieldIndex_ && to >= listFieldIndex_)
        --listFieldIndex_;
    else if (from > listFieldIndex_ && to <= listFieldIndex_)
        ++listFieldIndex_;
    // Default columns are the list fields: the fields move the same way.
    std::vector<TField*> order = listFields_;
    if (from < int(order.size()) && to < int(order.size())) {
        TField* f = order[size_t(from)];
        order.erase(order.begin() + from);
        order.insert(order.begin() + to, f);
    }
    listField_ = joinNames(order);
    BindListFields();
}

// ---- keyboard

bool TDBLookupGridEh::StepByKey(Word Key, TShiftState Shift) {
    TDataSet* list = listDataSet();
    if (!CanEditValue() || !list) return false;
    const int rows = VisibleDataRowCount();
    const bool hBar = ScrollBars() == ssHorizontal || ScrollBars() == ssBoth;
    int step = 0;
    switch (Key) {
    case VK_PRIOR: step = 1 - rows; break;
    case VK_NEXT: step = rows - 1; break;
    case VK_END: step = 1; break;
    case VK_HOME: step = -1; break;
    case VK_LEFT: step = hBar && !AutoFitColWidths() ? 0 : -1; break;
    case VK_RIGHT: step = hBar && !AutoFitColWidths() ? 0 : 1; break;
    case VK_UP: step = -1; break;
    case VK_DOWN: step = 1; break;
    default: return false;
    }
    if (step == 0) return false;
    searchText_.clear();
    const bool atFirst = list->Bof() || (list->IsSequenced() && list->RecNo() <= 1);
    if (step < 0 && specRow_->Visible() && (atFirst || specRow_->RowSelected)) {
        SelectSpecRow();
        list->First();
        ListStateChanged();
        return true;
    }
    if (step > 0 && specRow_->Visible() && specRow_->RowSelected) {
        list->First();
        if (Key != VK_END) {
            specRow_->RowSelected = false;
            SelectCurrent();
            ListStateChanged();
            return true;
        }
    }
    if (Key == VK_HOME) {
        list->First();
    } else if (Key == VK_END) {
        list->Last();
    } else {
        // From the chosen record, when it shows.
        TGridDataLinkEh* link = TCustomDBGridEh::DataLink();
        int keyRow = -1;
        if (!VarIsNull(keyValue_)) {
            const int saved = link->ActiveRecord();
            for (int r = 0; r < link->RecordCount() && keyRow < 0; ++r) {
                link->SetActiveRecord(r);
                if (VariantsEqual(list->FieldValues(keyField_), keyValue_)) keyRow = r;
            }
            link->SetActiveRecord(saved);
        }
        if (keyRow >= 0) {
            list->MoveBy(keyRow - link->ActiveRecord());
        } else if (!VarIsNull(keyValue_)) {
            KeyValueUpdated();
            step = 0;
        }
        list->MoveBy(step);
    }
    SelectCurrent();
    ListStateChanged();
    return true;
}

void TDBLookupGridEh::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_ESCAPE || Key == VK_BACK) searchText_.clear();
    if (CanEditValue() && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl) && StepByKey(Key, Shift)) {
        Key = 0;
        return;
    }
    TCustomDBGridEh::KeyDown(Key, Shift);
}

void TDBLookupGridEh::KeyPress(char32_t& Key) {
    TypeAheadChar(Key);
    Key = 0;
}

void TDBLookupGridEh::TypeAheadChar(char32_t Key) {
    TField* f = listFieldOfChoice_;
    if (!f || !dynamic_cast<TStringField*>(f) ||
        (f->FieldKind() != fkData && f->FieldKind() != fkInternalCalc))
        return;
    if (Key == 8 || Key == 27) {
        searchText_.clear();
        return;
    }
    if (Key < 32 || !CanEditValue()) return;
    const uint64_t now = TypeAheadClock();
    if (now - lastTypeAheadTick > uint64_t(kTypeAheadMs)) searchText_.clear();
    lastTypeAheadTick = now;
    if (charCount(searchText_) >= 32) return;
    std::string candidate = searchText_;
    appendUtf8(candidate, Key);
    TDataSet* list = listDataSet();
    try {
        if (list->Locate(f->FieldName(), Variant(candidate), loCaseInsensitive | loPartialKey)) {
            ChooseKeyValue(currentListKey());
            searchText_ = candidate;
            ListStateChanged();
        }
    } catch (const Exception&) {
        searchText_ = candidate;
    }
}

void TDBLookupGridEh::DoEnter() {
    searchText_.clear();
    TCustomDBGridEh::DoEnter();
    Invalidate();
}

void TDBLookupGridEh::DoExit() {
    TCustomDBGridEh::DoExit();
    Invalidate();
}

// ---- mouse

void TDBLookupGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TGridCoord cell = MouseCoord(X, Y);
    const int sr = specRowGridRow();
    const bool onList = cell.X >= IndicatorOffset() && cell.Y >= TitleOffset() &&
                        cell.Y - TitleOffset() < TCustomDBGridEh::DataLink()->RecordCount();
    const bool onSpec = sr >= 0 && cell.Y == sr && cell.X >= IndicatorOffset();
    int idx, pos, ofs;
    TGridState st;
    if ((!onList && !onSpec) || CalcSizingState(X, Y, st, idx, pos, ofs)) {
        TCustomDBGridEh::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
    if (Button != mbLeft) return;
    searchText_.clear();
    if (!IsPopup()) {
        if (CanFocus()) SetFocus();
        if (!Focused()) return;
    }
    if (!CanEditValue()) return;
    if (Shift.Contains(ssDouble) && onList && cell.Y - TitleOffset() == TCustomDBGridEh::DataLink()->ActiveRecord()) {
        DblClick();
        return;
    }
    tracking_ = true;
    mouseY_ = Y;
    SelectAt(X, Y);
}

void TDBLookupGridEh::selectionAutoScroll() {
    TDataSet* list = listDataSet();
    if (!tracking_ || !list) {
        scrollTimer_->SetEnabled(false);
        return;
    }
    int outside = 0;
    if (mouseY_ < 0) {
        outside = -mouseY_;
        if (specRow_->Visible() && list->Bof())
            SelectSpecRow();
        else {
            list->MoveBy(-1);
            SelectCurrent();
        }
    } else if (mouseY_ >= ClientHeight()) {
        outside = mouseY_ - ClientHeight() + 1;
        list->MoveBy(1);
        SelectCurrent();
    } else {
        scrollTimer_->SetEnabled(false);
        return;
    }
    ListStateChanged();
    // A timer of 0 ms would spin the program: the floor is 10 ms.
    scrollTimer_->SetInterval(std::max(10, 200 - 15 * outside));
    scrollTimer_->SetEnabled(true);
}

void TDBLookupGridEh::MouseMove(TShiftState Shift, int X, int Y) {
    if (!tracking_) {
        TCustomDBGridEh::MouseMove(Shift, X, Y);
        return;
    }
    SelectAt(X, Y);
    mouseY_ = Y;
    if (Y < 0 || Y >= ClientHeight()) {
        if (!scrollTimer_->Enabled()) selectionAutoScroll();
    } else {
        scrollTimer_->SetEnabled(false);
    }
}

void TDBLookupGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (!tracking_) {
        TCustomDBGridEh::MouseUp(Button, Shift, X, Y);
        return;
    }
    tracking_ = false;
    scrollTimer_->SetEnabled(false);
    const int titles = TitleOffset() - SpecialRowCount();
    const TRect below = titles > 0 ? CellRect(IndicatorOffset(), 0) : TRect{};
    if (titles == 0 || Y >= below.Bottom) SelectAt(X, Y);
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TDBLookupGridEh::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
    TDataSet* list = listDataSet();
    if (!list) return TCustomDBGridEh::DoMouseWheel(Shift, WheelDelta, MousePos);
    TGridDataLinkEh* link = TCustomDBGridEh::DataLink();
    if (WheelDelta < 0)
        list->MoveBy(link->RecordCount() - link->ActiveRecord());
    else
        list->MoveBy(-link->ActiveRecord() - 1);
    ListStateChanged();
    return true;
}

// ================================================================ pop-up

TPopupDataGridEh::TPopupDataGridEh(TComponent* AOwner) : TDBLookupGridEh(AOwner) {
    SetVisible(false);
    SetDropDownWindow(true);
    SetShowHint(true);
    grip_ = new TSizeGripEh(this);
    grip_->SetParent(this);
    grip_->SetTriangleShape(true);
}

void TPopupDataGridEh::KeyValueUpdated() {
    TDBLookupGridEh::KeyValueUpdated();
    if (userAction_ > 0 && OnUserKeyValueChange) OnUserKeyValueChange(this);
}

void TPopupDataGridEh::KeyDown(Word& Key, TShiftState Shift) {
    ++userAction_;
    ScopeExit back([this] { --userAction_; });
    TDBLookupGridEh::KeyDown(Key, Shift);
}

void TPopupDataGridEh::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    ++userAction_;
    ScopeExit back([this] { --userAction_; });
    TDBLookupGridEh::MouseDown(Button, Shift, X, Y);
}

void TPopupDataGridEh::MouseMove(TShiftState Shift, int X, int Y) {
    ++userAction_;
    ScopeExit back([this] { --userAction_; });
    const bool buttons = Shift.Contains(ssLeft) || Shift.Contains(ssRight) || Shift.Contains(ssMiddle);
    if (!buttons && !DataReadOnly() && !Tracking() && X >= 0 && Y >= 0 && X < ClientWidth() && Y < ClientHeight())
        SelectAt(X, Y);
    TDBLookupGridEh::MouseMove(Shift, X, Y);
}

void TPopupDataGridEh::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TGridState st = GridState();
    const bool sizingOrMoving = st == gsColSizing || st == gsColMoving || st == gsRowSizing;
    TDBLookupGridEh::MouseUp(Button, Shift, X, Y);
    if (sizingOrMoving || Button != mbLeft || !OnMouseCloseUp) return;
    const bool inside = X >= 0 && Y >= 0 && X < Width() && Y < Height();
    if (!inside) {
        OnMouseCloseUp(this, false);
        return;
    }
    const TGridCoord cell = MouseCoord(X, Y);
    const int sr = specRowGridRow();
    const bool onSpec = sr >= 0 && cell.Y == sr;
    const bool onList = cell.Y >= TitleOffset() && cell.Y - TitleOffset() < DataLink()->RecordCount();
    if (cell.X >= IndicatorOffset() && (onSpec || onList)) OnMouseCloseUp(this, true);
}

void TPopupDataGridEh::Resize() {
    TDBLookupGridEh::Resize();
    if (grip_) grip_->SnapToCorner();
    UserResized = true;
}

void TPopupDataGridEh::WndProc(TMessage& Message) {
    if (Message.Msg == SizeGripSideMessage) {
        grip_->MoveToSide(int(Message.WParam & 0xFF));
        return;
    }
    TDBLookupGridEh::WndProc(Message);
}

// ================================================================ columns

TPopupDataGridEh* TColumnEh::DropDownGrid() {
    // Owned by the grid, like the editor it hangs under: the grid's window
    // is its parent and both go together.
    if (!dropDownGrid_) dropDownGrid_ = new TPopupDataGridEh(Grid());
    return dropDownGrid_;
}

TSpecRowEh* TColumnEh::DropDownSpecRow() {
    if (!dropDownSpecRow_) {
        dropDownSpecRow_ = std::make_unique<TSpecRowEh>(Grid());
        dropDownSpecRow_->OnInternalChange = [this](TObject*) { changed(); };
    }
    return dropDownSpecRow_.get();
}

TPersistent* TColumnDropDownBoxEh::GetOwner() const { return column_; }

TDBGridColumnsEh* TColumnDropDownBoxEh::Columns() const { return column_->DropDownGrid()->Columns(); }

TColumnDefValuesEh& TColumnDropDownBoxEh::ColumnDefValues() const { return column_->DropDownGrid()->ColumnDefValues(); }

TCheckTitleEhBtnEvent& TColumnEh::OnDropDownBoxCheckButton() { return DropDownGrid()->OnCheckButton; }
TDrawColumnEhCellEvent& TColumnEh::OnDropDownBoxDrawColumnCell() { return DropDownGrid()->OnDrawColumnCell; }
TGetCellEhParamsEvent& TColumnEh::OnDropDownBoxGetCellParams() { return DropDownGrid()->OnGetCellParams; }
TNotifyEvent& TColumnEh::OnDropDownBoxSortMarkingChanged() { return DropDownGrid()->OnSortMarkingChanged; }
TTitleEhClickEvent& TColumnEh::OnDropDownBoxTitleBtnClick() { return DropDownGrid()->OnTitleBtnClick; }

unsigned TColumnDropDownBoxEh::Options() const {
    const TDBLookupGridEhOptions o = column_->DropDownGrid()->Options();
    unsigned bits = 0;
    for (int i = dlgColumnResizeEh; i <= dlgMultiSortMarkingEh; ++i)
        if (o.Contains(TDBLookupGridEhOption(i))) bits |= 1u << i;
    return bits;
}

void TColumnDropDownBoxEh::SetOptions(unsigned v) {
    TDBLookupGridEhOptions o;
    for (int i = dlgColumnResizeEh; i <= dlgMultiSortMarkingEh; ++i)
        if (v & (1u << i)) o << TDBLookupGridEhOption(i);
    column_->DropDownGrid()->SetOptions(o);
}

void TColumnDropDownBoxEh::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TColumnDropDownBoxEh*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    AutoFitColWidths = s->AutoFitColWidths;
    UseMultiTitle = s->UseMultiTitle;
    if (s->column_->HasDropDownGrid() || column_->HasDropDownGrid()) {
        TPopupDataGridEh* from = s->column_->DropDownGrid();
        TPopupDataGridEh* to = column_->DropDownGrid();
        to->ColumnDefValues() = from->ColumnDefValues();
        if (from->Columns()->HasStoredColumns())
            to->Columns()->Assign(from->Columns());
        else
            to->Columns()->Clear();
        to->SetOptions(from->Options());
    }
}

// ================================================================ the data grid's drop-down

void TCustomDBGridEh::DropDownDataGrid() {
    if (droppedGrid_ || !InplaceEditor() || !EditorMode()) return;
    TColumnEh* c = columnAt(Col());
    TField* f = c ? c->Field() : nullptr;
    if (!f || !f->Lookup() || !f->LookupDataSet()) return;
    TDataSet* lookup = f->LookupDataSet();
    TPopupDataGridEh* g = c->DropDownGrid();
    if (g->Parent() != this) g->SetParent(this);
    g->SetColor(Color());
    g->Font()->Assign(Font());
    g->SpecRow()->Assign(c->DropDownSpecRow());
    int rows = c->DropDownRows();
    if (lookup->IsSequenced() && lookup->RecordCount() > 0 && lookup->RecordCount() < rows)
        rows = lookup->RecordCount();
    g->SetShowTitles(c->DropDownShowTitles());
    if (!dropDownSource_) dropDownSource_ = new TDataSource(this);
    dropDownSource_->SetDataSet(lookup);
    g->SetListFieldIndex(0);
    g->SetListField(c->LookupDisplayFields().empty() ? f->LookupResultField() : c->LookupDisplayFields());
    g->SetKeyField(f->LookupKeyFields());
    g->TCustomDBGridEh::SetUseMultiTitle(c->DropDownBox()->UseMultiTitle);
    g->TCustomDBGridEh::SetAutoFitColWidths(c->DropDownBox()->AutoFitColWidths);
    g->SetListSource(dropDownSource_);
    g->SetDisplayRows(rows);
    const int editorWidth = InplaceEditor()->Width();
    int w = editorWidth;
    if (c->DropDownWidth() == -1)
        w = g->ColumnsWidth() + (g->Width() - g->ClientWidth());
    else if (c->DropDownWidth() > 0)
        w = c->DropDownWidth();
    g->SetBounds(g->Left(), g->Top(), std::max(w, editorWidth), g->Height());
    g->SetKeyValue(f->DataSet()->FieldValues(f->KeyFields()));
    g->OnMouseCloseUp = [this](TObject*, bool accept) { CloseUpDataGrid(accept); };
    PlaceDropDown(InplaceEditor(), g, daLeft);
    g->SetVisible(true);
    g->SizeGrip()->ShowGrip(c->DropDownSizing());
    g->UserResized = false;
    droppedGrid_ = g;
}

void TCustomDBGridEh::CloseUpDataGrid(bool Accept) {
    TPopupDataGridEh* g = droppedGrid_;
    if (!g) return;
    droppedGrid_ = nullptr;
    g->SetVisible(false);
    TColumnEh* c = columnAt(Col());
    if (c && g->UserResized) {
        c->SetDropDownRows(g->DisplayRows());
        c->SetDropDownWidth(g->Width());
    }
    TField* f = c ? c->Field() : nullptr;
    const Variant key = g->KeyValue();
    ScopeExit detach([this] {
        if (dropDownSource_) dropDownSource_->SetDataSet(nullptr);
    });
    if (!Accept || !f || !f->Lookup() || !canModifyDataSet()) return;
    TDataSet* ds = f->DataSet();
    if (VariantsEqual(key, ds->FieldValues(f->KeyFields()))) return;
    for (TField* k : FieldsByNames(ds, this, f->KeyFields()))
        if (!k->CanModify()) return;
    if (!DataLink()->Edit()) return;
    AssignFieldValues(ds, f->KeyFields(), key);
    if (InplaceEditor() && EditorMode()) {
        InplaceEditor()->UpdateContents();
        InplaceEditor()->SelectAll();
    }
    Invalidate();
}
