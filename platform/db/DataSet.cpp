// TDataSet: the cursor, the edit buffer, calculated and lookup fields,
// filtering, bookmarks and searching over whatever records a derived class
// stores (see the record store protocol in DB.h).
// Not here: the filter-text evaluator (Filter.cpp), data links (DataLink.cpp).
#include "DB.h"
#include "DataSet_p.h"

#include <algorithm>
#include <cmath>

#include "SysUtils.h"
#include "ScopeExit.h"

namespace {

bool isNullish(const Variant& v) { return v.IsNull() || v.IsEmpty(); }

bool isTextField(const TField* f) {
    switch (f->DataType()) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftMemo:
    case ftFmtMemo: return true;
    default: return false;
    }
}

// Restores a passing state when the scope ends, also on an exception.
struct StateGuard {
    TDataSetState& state;
    TDataSetState saved;
    StateGuard(TDataSetState& s, TDataSetState temp) : state(s), saved(s) { s = temp; }
    ~StateGuard() { state = saved; }
};

// A blob field's bytes as a stream; a writable stream puts its bytes back
// into the field when it is destroyed.
class TFieldBlobStream : public TMemoryStream {
public:
    TFieldBlobStream(TField* field, TBlobStreamMode mode) : field_(field), mode_(mode) {
        if (mode == bmWrite) {
            modified_ = true;
        } else if (!field->IsNull()) {
            data_ = VarToStr(field->Value());
        }
    }
    ~TFieldBlobStream() override {
        if (mode_ == bmRead || !modified_) return;
        try {
            field_->SetAsVariant(data_.empty() ? Null() : Variant(data_));
        } catch (...) {
            // A destructor cannot report; the field keeps its value.
        }
    }
    int64_t Write(const void* buffer, int64_t count) override {
        if (mode_ == bmRead) throw EWriteError("Stream write error");
        modified_ = true;
        return TMemoryStream::Write(buffer, count);
    }
    void SetSize(int64_t size) override {
        if (mode_ != bmRead) modified_ = true;
        TMemoryStream::SetSize(size);
    }

private:
    TField* field_;
    TBlobStreamMode mode_;
    bool modified_ = false;
};

} // namespace

TDataSet::TDataSet(TComponent* owner) : TComponent(owner), d_(std::make_unique<TDataSetPrivate>()) {
    d_->fields_.owner_ = this;
}

bool TDataSet::Active() const { return d_->state_ != dsInactive; }
TDataSetState TDataSet::State() const { return d_->state_; }
bool TDataSet::Eof() const { return d_->eof_; }
bool TDataSet::Bof() const { return d_->bof_; }
bool TDataSet::Modified() const { return d_->modified_; }
bool TDataSet::ControlsDisabled() const { return d_->disableCount_ > 0; }
const std::string& TDataSet::Filter() const { return d_->filterText_; }
bool TDataSet::Filtered() const { return d_->filtered_; }
TFilterOptions TDataSet::FilterOptions() const { return d_->filterOptions_; }
TFields& TDataSet::Fields() { return d_->fields_; }
const TFields& TDataSet::Fields() const { return d_->fields_; }
int TDataSet::FieldCount() const { return d_->fields_.Count(); }
TField* TDataSet::FindField(const std::string& name) const { return d_->fields_.FindField(name); }
TField* TDataSet::FieldByName(const std::string& name) const { return d_->fields_.FieldByName(name); }
TFieldDefs& TDataSet::FieldDefs() { return d_->fieldDefs_; }
const TFieldDefs& TDataSet::FieldDefs() const { return d_->fieldDefs_; }
bool TDataSet::DefaultFields() const { return d_->defaultFields_; }
bool TDataSet::AutoCalcFields() const { return d_->autoCalcFields_; }
void TDataSet::SetAutoCalcFields(bool v) { d_->autoCalcFields_ = v; }
std::vector<Variant>& TDataSet::KeyBuffer() { return d_->keyBuffer_; }
int TDataSet::StoreFieldCount() const { return d_->storeFieldCount_; }
int TDataSet::CursorIndex() const { return d_->cursor_; }

TDataSet::~TDataSet() {
    // A derived class closes in its own destructor (StoreClose is gone by
    // now); this only lets go of everything that points here.
    Destroying();
    if (d_->state_ != dsInactive) {
        d_->state_ = dsInactive;
        unbindFields();
    }
    for (TDataSource* ds : std::vector<TDataSource*>(d_->dataSources_)) ds->SetDataSet(nullptr);
    for (TField* f : std::vector<TField*>(d_->fields_.list_)) {
        if (f->Owner() == this)
            delete f;
        else
            f->dataSet_ = nullptr;
    }
    d_->fields_.list_.clear();
}

void TDataSet::CheckActive() const {
    if (d_->state_ == dsInactive) DatabaseError("Cannot perform this operation on a closed dataset", this);
}

void TDataSet::CheckEditing() const {
    if (d_->state_ != dsEdit && d_->state_ != dsInsert && d_->state_ != dsSetKey)
        DatabaseError("Dataset not in edit or insert mode", this);
}

void TDataSet::addField(TField* f) {
    d_->fields_.list_.push_back(f);
    d_->defaultFields_ = false;
}

void TDataSet::removeField(TField* f) {
    auto& l = d_->fields_.list_;
    l.erase(std::remove(l.begin(), l.end(), f), l.end());
}

TField* TDataSet::CreateDefaultField(const TFieldDef& def) { return def.CreateField(this); }

// ------------------------------------------------------------ open / close

void TDataSet::bindFields() {
    d_->defaultFields_ = d_->fields_.list_.empty();
    if (d_->defaultFields_) {
        for (const TFieldDef& d : d_->fieldDefs_) {
            TField* f = CreateDefaultField(d);
            f->defaultField_ = true;
            f->fieldNo_ = d.FieldNo;
            d_->fields_.list_.push_back(f);
            f->dataSet_ = this;
        }
    }
    int stored = d_->fieldDefs_.Count();
    int calc = 0;
    for (TField* f : d_->fields_.list_) {
        f->storeIndex_ = f->calcIndex_ = -1;
        switch (f->FieldKind()) {
        case fkData: {
            int i = d_->fieldDefs_.IndexOf(f->FieldName());
            if (i >= 0) {
                f->fieldNo_ = i + 1;
                f->storeIndex_ = i;
            } else if (d_->fieldDefs_.Count() > 0) {
                DatabaseError("Field '" + f->FieldName() + "' not found", this);
            } else {
                f->fieldNo_ = 0;
                f->storeIndex_ = stored++;
            }
            break;
        }
        case fkInternalCalc: f->storeIndex_ = stored++; break;
        default: f->calcIndex_ = calc++; break;
        }
    }
    d_->storeFieldCount_ = stored;
    d_->calcFieldCount_ = calc;
    d_->calcBuffer_.assign(size_t(calc), Null());
    d_->keyBuffer_.assign(size_t(stored), Null());
    d_->calcValid_ = false;
}

void TDataSet::unbindFields() {
    for (TField* f : std::vector<TField*>(d_->fields_.list_)) {
        if (f->defaultField_) {
            removeField(f);
            f->dataSet_ = nullptr;
            delete f;
        } else {
            f->storeIndex_ = f->calcIndex_ = -1;
        }
    }
    if (d_->defaultFields_) d_->fields_.list_.clear();
    d_->editBuffer_.clear();
    d_->oldBuffer_.clear();
    d_->keyBuffer_.clear();
    d_->calcBuffer_.clear();
    d_->changed_.clear();
    d_->view_.clear();
    d_->viewActive_ = false;
    d_->calcValid_ = false;
}

void TDataSet::Open() {
    if (Active()) return;
    DoBeforeOpen();
    d_->state_ = dsOpening;
    try {
        StoreOpen();
        bindFields();
        d_->state_ = dsBrowse;
        rebuildView();
    } catch (...) {
        d_->state_ = dsInactive;
        try {
            StoreClose();
        } catch (...) {}
        unbindFields();
        throw;
    }
    setCursor(presentedCount() > 0 ? 0 : -1);
    d_->bof_ = true;
    d_->eof_ = d_->cursor_ < 0;
    d_->modified_ = false;
    d_->linkReadSet_ = false;
    notifyLinks(deUpdateState, 0);
    DoAfterOpen();
    if (!IsEmpty()) DoAfterScroll();
}

void TDataSet::Close() {
    if (!Active()) return;
    DoBeforeClose();
    if (d_->state_ == dsEdit || d_->state_ == dsInsert) StoreCancel();
    d_->state_ = dsInactive;
    d_->linkReadSet_ = false;
    notifyLinks(deUpdateState, 0);
    {
        ScopeExit restore([&] { unbindFields(); });
        StoreClose();
    }
    d_->cursor_ = -1;
    d_->insertIndex_ = -1;
    d_->bof_ = d_->eof_ = true;
    d_->modified_ = false;
    DoAfterClose();
}

// ------------------------------------------------------ presented records

bool TDataSet::filterActive() const {
    if (d_->state_ == dsInactive) return false;
    return (d_->filtered_ && (d_->filterExpr_ || OnFilterRecord)) || StoreNeedsFilter();
}

void TDataSet::setCursor(int index) {
    RT_ASSERT(d_->state_ != dsInactive);
    RT_ASSERT(index == -1 ? presentedCount() == 0 : index >= 0 && index < presentedCount());
    d_->cursor_ = index;
}

int TDataSet::presentedCount() const {
    if (d_->state_ == dsInactive) return 0;
    return d_->viewActive_ ? int(d_->view_.size()) : StoreRecordCount();
}

TRecordId TDataSet::idAt(int index) const { return StoreRecordId(d_->viewActive_ ? d_->view_[size_t(index)] : index); }

int TDataSet::StorePosition(TRecordId id) const {
    int n = StoreRecordCount();
    for (int i = 0; i < n; ++i)
        if (StoreRecordId(i) == id) return i;
    return -1;
}

int TDataSet::indexOfId(TRecordId id) const {
    if (id < 0) return -1;
    int pos = StorePosition(id);
    if (pos < 0 || !d_->viewActive_) return pos;
    auto it = std::lower_bound(d_->view_.begin(), d_->view_.end(), pos);
    return it != d_->view_.end() && *it == pos ? int(it - d_->view_.begin()) : -1;
}

bool TDataSet::acceptRecord(TRecordId id) const {
    auto* self = const_cast<TDataSet*>(this);
    StateGuard g(d_->state_, dsFilter);
    TRecordId savedPassing = d_->passingRecord_;
    d_->passingRecord_ = id;
    bool accept = true;
    {
        ScopeExit restore([&] { d_->passingRecord_ = savedPassing; });
        if (StoreNeedsFilter()) accept = StoreAcceptRecord(id);
        if (accept && d_->filtered_ && d_->filterExpr_) accept = evalFilter();
        if (accept && d_->filtered_ && OnFilterRecord) OnFilterRecord(self, accept);
    }
    return accept;
}

void TDataSet::rebuildView() {
    d_->calcValid_ = false;
    if (!filterActive()) {
        d_->viewActive_ = false;
        d_->view_.clear();
        return;
    }
    // Built aside so that the filter reads the store, not a half-made view.
    d_->viewActive_ = false;
    std::vector<int> v;
    int n = StoreRecordCount();
    for (int i = 0; i < n; ++i)
        if (acceptRecord(StoreRecordId(i))) v.push_back(i);
    d_->view_ = std::move(v);
    d_->viewActive_ = true;
}

bool TDataSet::IsEmpty() const { return d_->state_ == dsInactive || (presentedCount() == 0 && d_->state_ != dsInsert); }

int TDataSet::RecordCount() const {
    CheckActive();
    return presentedCount();
}

int TDataSet::RecNo() const {
    if (d_->state_ == dsInactive) return -1;
    TRecordId id;
    if (d_->state_ == dsCalcFields || d_->state_ == dsFilter) {
        id = d_->passingRecord_;
    } else if (d_->linkReadSet_) {
        id = d_->linkRead_;
    } else {
        return d_->state_ == dsInsert || d_->cursor_ < 0 ? -1 : d_->cursor_ + 1;
    }
    if (id == kEditBuffer) return d_->editId_ == kNoRecord ? -1 : d_->cursor_ + 1;
    int i = indexOfId(id);
    return i < 0 ? -1 : i + 1;
}

void TDataSet::SetRecNo(int n) {
    CheckActive();
    CheckBrowseMode();
    if (n < 1 || n > presentedCount() || n == d_->cursor_ + 1) return;
    DoBeforeScroll();
    setCursor(n - 1);
    d_->bof_ = d_->eof_ = false;
    d_->calcValid_ = false;
    notifyLinks(deDataSetChange, 0);
    DoAfterScroll();
}

// ------------------------------------------------------------- navigation

void TDataSet::First() {
    CheckActive();
    CheckBrowseMode();
    DoBeforeScroll();
    if (d_->viewActive_ || filterActive()) rebuildView();
    int n = presentedCount();
    setCursor(n > 0 ? 0 : -1);
    d_->bof_ = true;
    d_->eof_ = n == 0;
    d_->linkReadSet_ = false;
    d_->calcValid_ = false;
    notifyLinks(deDataSetChange, 0);
    DoAfterScroll();
}

void TDataSet::Last() {
    CheckActive();
    CheckBrowseMode();
    DoBeforeScroll();
    if (d_->viewActive_ || filterActive()) rebuildView();
    int n = presentedCount();
    setCursor(n - 1);
    d_->eof_ = true;
    d_->bof_ = n == 0;
    d_->linkReadSet_ = false;
    d_->calcValid_ = false;
    notifyLinks(deDataSetChange, 0);
    DoAfterScroll();
}

int TDataSet::MoveBy(int distance) {
    CheckActive();
    CheckBrowseMode();
    if (distance == 0) return 0;
    DoBeforeScroll();
    int n = presentedCount();
    int moved = 0;
    if (n == 0) {
        d_->bof_ = d_->eof_ = true;
    } else {
        int target = d_->cursor_ + distance;
        if (distance > 0) {
            d_->bof_ = false;
            d_->eof_ = target > n - 1;
            target = std::min(target, n - 1);
        } else {
            d_->eof_ = false;
            d_->bof_ = target < 0;
            target = std::max(target, 0);
        }
        moved = target - d_->cursor_;
        setCursor(target);
    }
    d_->linkReadSet_ = false;
    d_->calcValid_ = false;
    notifyLinks(deDataSetScroll, moved);
    DoAfterScroll();
    return moved;
}

void TDataSet::Next() { MoveBy(1); }
void TDataSet::Prior() { MoveBy(-1); }

bool TDataSet::GotoRecord(TRecordId id) {
    CheckActive();
    CheckBrowseMode();
    int i = indexOfId(id);
    if (i < 0) return false;
    DoBeforeScroll();
    setCursor(i);
    d_->bof_ = d_->eof_ = false;
    d_->linkReadSet_ = false;
    d_->calcValid_ = false;
    notifyLinks(deDataSetChange, 0);
    DoAfterScroll();
    return true;
}

void TDataSet::Resync(TRecordId keep) {
    if (!Active()) return;
    TRecordId cur = keep;
    rebuildView();
    int n = presentedCount();
    int i = cur == kNoRecord ? -1 : indexOfId(cur);
    setCursor(i >= 0 ? i : n == 0 ? -1 : std::clamp(d_->cursor_, 0, n - 1));
    if (n == 0) d_->bof_ = d_->eof_ = true;
    d_->linkReadSet_ = false;
    d_->calcValid_ = false;
    notifyLinks(deDataSetChange, 0);
}

void TDataSet::Refresh() {
    CheckActive();
    CheckBrowseMode();
    if (BeforeRefresh) BeforeRefresh(this);
    TRecordId keep = ActiveRecordId();
    StoreRefresh();
    Resync(keep);
    if (AfterRefresh) AfterRefresh(this);
}

// ---------------------------------------------------------------- editing

TRecordId TDataSet::ActiveRecordId() const {
    if (d_->state_ == dsEdit || d_->state_ == dsInsert) return kEditBuffer;
    return d_->cursor_ >= 0 && d_->cursor_ < presentedCount() ? idAt(d_->cursor_) : kNoRecord;
}

void TDataSet::beginInsert(bool append) {
    CheckActive();
    CheckBrowseMode();
    if (!CanModify()) DatabaseError("Cannot modify a read-only dataset", this);
    if (BeforeInsert) BeforeInsert(this);
    DoBeforeScroll();
    int n = presentedCount();
    d_->insertIndex_ = append || d_->cursor_ < 0 ? n : d_->cursor_;
    d_->editBuffer_.assign(size_t(d_->storeFieldCount_), Null());
    d_->oldBuffer_.assign(size_t(d_->storeFieldCount_), Null());
    d_->changed_.assign(size_t(d_->storeFieldCount_), false);
    d_->editId_ = kNoRecord;
    StoreInitRecord(d_->editBuffer_);
    TDataSetState prev = d_->state_;
    int prevCursor = d_->cursor_;
    d_->cursor_ = d_->insertIndex_;
    d_->bof_ = d_->eof_ = false;
    d_->linkReadSet_ = false;
    d_->calcValid_ = false;
    SetState(dsInsert);
    try {
        DoOnNewRecord();
    } catch (...) {
        StoreCancel();
        d_->cursor_ = prevCursor;
        d_->insertIndex_ = -1;
        SetState(prev);
        notifyLinks(deDataSetChange, 0);
        throw;
    }
    d_->modified_ = false;
    notifyLinks(deDataSetChange, 0);
    if (AfterInsert) AfterInsert(this);
    DoAfterScroll();
}

void TDataSet::Insert() { beginInsert(false); }
void TDataSet::Append() { beginInsert(true); }

void TDataSet::Edit() {
    CheckActive();
    if (d_->state_ == dsEdit || d_->state_ == dsInsert) return;
    if (presentedCount() == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    if (!CanModify()) DatabaseError("Cannot modify a read-only dataset", this);
    if (BeforeEdit) BeforeEdit(this);
    TRecordId id = idAt(d_->cursor_);
    for (;;) {
        try {
            StoreEdit(id);
            break;
        } catch (EDatabaseError& e) {
            TDataAction action = daFail;
            if (OnEditError) OnEditError(this, e, action);
            if (action == daFail) throw;
            if (action == daAbort) Abort();
        }
    }
    d_->editBuffer_.assign(size_t(d_->storeFieldCount_), Null());
    d_->changed_.assign(size_t(d_->storeFieldCount_), false);
    for (TField* f : d_->fields_.list_)
        if (f->storeIndex_ >= 0) d_->editBuffer_[size_t(f->storeIndex_)] = StoreValue(id, *f);
    d_->oldBuffer_ = d_->editBuffer_;
    d_->editId_ = id;
    d_->linkReadSet_ = false;
    d_->calcValid_ = false;
    SetState(dsEdit);
    d_->modified_ = false;
    notifyLinks(deRecordChange, 0);
    if (AfterEdit) AfterEdit(this);
}

void TDataSet::finishInsertOrEdit() {
    d_->editBuffer_.clear();
    d_->oldBuffer_.clear();
    d_->changed_.clear();
    d_->editId_ = kNoRecord;
    d_->insertIndex_ = -1;
    d_->modified_ = false;
    d_->calcValid_ = false;
    d_->linkReadSet_ = false;
}

void TDataSet::Post() {
    CheckActive();
    UpdateRecord();
    if (d_->state_ == dsSetKey) {
        SetState(dsBrowse);
        return;
    }
    DoBeforePost();
    for (TField* f : d_->fields_.list_) {
        if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->DataType() != ftAutoInc && f->IsNull())
            DatabaseError("Field '" + f->DisplayName() + "' must have a value", this);
    }
    bool inserting = d_->state_ == dsInsert;
    int position;
    if (inserting) {
        int n = presentedCount();
        position = d_->insertIndex_ >= n ? StoreRecordCount()
                                         : (d_->viewActive_ ? d_->view_[size_t(d_->insertIndex_)] : d_->insertIndex_);
    } else {
        position = StorePosition(d_->editId_);
    }
    TRecordId id = kNoRecord;
    for (;;) {
        try {
            PostRequest req{inserting, position, d_->editId_, d_->editBuffer_, d_->oldBuffer_, d_->changed_};
            id = StorePost(req);
            break;
        } catch (EDatabaseError& e) {
            TDataAction action = daFail;
            if (OnPostError) OnPostError(this, e, action);
            if (action == daFail) throw;
            if (action == daAbort) Abort();
        }
    }
    int prevCursor = d_->cursor_;
    finishInsertOrEdit();
    d_->state_ = dsBrowse;
    rebuildView();
    int n = presentedCount();
    int i = indexOfId(id);
    d_->cursor_ = i >= 0 ? i : (n == 0 ? -1 : std::clamp(prevCursor, 0, n - 1));
    d_->bof_ = d_->eof_ = n == 0;
    notifyLinks(deUpdateState, 0);
    notifyLinks(deDataSetChange, 0);
    DoAfterPost();
}

void TDataSet::Cancel() {
    if (d_->state_ == dsSetKey) {
        SetState(dsBrowse);
        return;
    }
    if (d_->state_ != dsEdit && d_->state_ != dsInsert) return;
    if (BeforeCancel) BeforeCancel(this);
    bool inserting = d_->state_ == dsInsert;
    StoreCancel();
    finishInsertOrEdit();
    d_->state_ = dsBrowse;
    int n = presentedCount();
    if (inserting) d_->cursor_ = n == 0 ? -1 : std::min(d_->cursor_, n - 1);
    if (n == 0) d_->bof_ = d_->eof_ = true;
    notifyLinks(deUpdateState, 0);
    notifyLinks(deDataSetChange, 0);
    if (AfterCancel) AfterCancel(this);
}

void TDataSet::Delete() {
    CheckActive();
    if (d_->state_ == dsInsert || d_->state_ == dsSetKey) {
        Cancel();
        return;
    }
    if (presentedCount() == 0) DatabaseError("Cannot perform this operation on an empty dataset", this);
    if (!CanModify()) DatabaseError("Cannot modify a read-only dataset", this);
    notifyLinks(deCheckBrowseMode, 0);
    // A pending edit of the record is dropped, not posted.
    if (d_->state_ == dsEdit) {
        StoreCancel();
        finishInsertOrEdit();
        d_->state_ = dsBrowse;
        notifyLinks(deUpdateState, 0);
    }
    DoBeforeDelete();
    DoBeforeScroll();
    TRecordId id = idAt(d_->cursor_);
    for (;;) {
        try {
            StoreDelete(id);
            break;
        } catch (EDatabaseError& e) {
            TDataAction action = daFail;
            if (OnDeleteError) OnDeleteError(this, e, action);
            if (action == daFail) throw;
            if (action == daAbort) Abort();
        }
    }
    rebuildView();
    int n = presentedCount();
    d_->cursor_ = n == 0 ? -1 : std::min(d_->cursor_, n - 1);
    d_->bof_ = d_->eof_ = n == 0;
    notifyLinks(deDataSetChange, 0);
    DoAfterDelete();
    DoAfterScroll();
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    notifyLinks(deCheckBrowseMode, 0);
    if (d_->state_ == dsEdit || d_->state_ == dsInsert) {
        UpdateRecord();
        if (d_->modified_)
            Post();
        else
            Cancel();
    } else if (d_->state_ == dsSetKey) {
        SetState(dsBrowse);
    }
}

void TDataSet::UpdateRecord() {
    CheckEditing();
    notifyLinks(deUpdateRecord, 0);
}

void TDataSet::SetState(TDataSetState s) {
    if (d_->state_ == s) return;
    d_->state_ = s;
    notifyLinks(deUpdateState, 0);
}

TDataSetState TDataSet::SetTempState(TDataSetState s) {
    TDataSetState old = d_->state_;
    d_->state_ = s;
    return old;
}

void TDataSet::RestoreState(TDataSetState s) { d_->state_ = s; }

// ----------------------------------------------------------- field values

TRecordId TDataSet::readRecord() const {
    if (d_->state_ == dsBrowse && !d_->linkReadSet_)
        return d_->cursor_ >= 0 && d_->cursor_ < presentedCount() ? idAt(d_->cursor_) : kNoRecord;
    switch (d_->state_) {
    case dsCalcFields:
    case dsFilter: return d_->passingRecord_;
    case dsOldValue: return d_->editId_;
    case dsNewValue: return kEditBuffer;
    default: break;
    }
    if (d_->linkReadSet_) return d_->linkRead_;
    if (d_->state_ == dsEdit || d_->state_ == dsInsert) return kEditBuffer;
    return d_->cursor_ >= 0 && d_->cursor_ < presentedCount() ? idAt(d_->cursor_) : kNoRecord;
}

void TDataSet::ensureCalc(TRecordId id) const {
    if (d_->calcValid_ && d_->calcFor_ == id) return;
    auto* self = const_cast<TDataSet*>(this);
    TRecordId savedPassing = d_->passingRecord_;
    {
        StateGuard g(d_->state_, dsCalcFields);
        d_->passingRecord_ = id;
        d_->calcBuffer_.assign(size_t(d_->calcFieldCount_), Null());
        ScopeExit failed([this, savedPassing] {
            d_->passingRecord_ = savedPassing;
            d_->calcValid_ = false;
        });
        self->CalculateFields();
        failed.Dismiss();
    }
    d_->passingRecord_ = savedPassing;
    d_->calcFor_ = id;
    d_->calcValid_ = true;
}

void TDataSet::CalculateFields() {
    for (TField* f : d_->fields_.list_) {
        if (f->FieldKind() != fkLookup) continue;
        TDataSet* ld = f->LookupDataSet();
        Variant result = Null();
        if (ld && ld->Active() && !f->KeyFields().empty()) {
            Variant keys = FieldValues(f->KeyFields());
            bool anyNull = keys.IsArray() ? false : isNullish(keys);
            if (!anyNull) result = ld->Lookup(f->LookupKeyFields(), keys, f->LookupResultField());
        }
        d_->calcBuffer_[size_t(f->calcIndex_)] = result;
    }
    if (OnCalcFields) OnCalcFields(this);
}

Variant TDataSet::RecordValue(TRecordId id, const TField* f) const {
    if (f->calcIndex_ >= 0) {
        if (d_->state_ == dsCalcFields && id == d_->passingRecord_) return d_->calcBuffer_[size_t(f->calcIndex_)];
        if (id == kNoRecord) return Null();
        ensureCalc(id);
        return d_->calcBuffer_[size_t(f->calcIndex_)];
    }
    if (f->storeIndex_ < 0 || id == kNoRecord) return Null();
    if (id == kEditBuffer) {
        if (size_t(f->storeIndex_) >= d_->editBuffer_.size()) return Null();
        return d_->editBuffer_[size_t(f->storeIndex_)];
    }
    return StoreValue(id, *f);
}

Variant TDataSet::GetFieldValue(const TField* f) const {
    // Browsing the current record of an unfiltered set is what grids and
    // walks do for every value: straight to the store.
    if (d_->state_ == dsBrowse && !d_->linkReadSet_ && !d_->viewActive_ && f->storeIndex_ >= 0) {
        if (d_->cursor_ < 0 || d_->cursor_ >= StoreRecordCount()) return Null();
        return StoreValue(StoreRecordId(d_->cursor_), *f);
    }
    if (d_->state_ == dsInactive) CheckActive();
    if (d_->state_ == dsSetKey && f->storeIndex_ >= 0) return d_->keyBuffer_[size_t(f->storeIndex_)];
    return RecordValue(readRecord(), f);
}

Variant TDataSet::GetOldFieldValue(const TField* f) const {
    CheckActive();
    if (d_->state_ == dsEdit && f->storeIndex_ >= 0) return d_->oldBuffer_[size_t(f->storeIndex_)];
    if (d_->state_ == dsInsert) return Null();
    return GetFieldValue(f);
}

void TDataSet::WriteFieldValue(TField* f, const Variant& v) {
    CheckActive();
    if (d_->state_ == dsCalcFields) {
        if (f->calcIndex_ < 0) DatabaseError("Dataset not in edit or insert mode", this);
        d_->calcBuffer_[size_t(f->calcIndex_)] = v;
        return;
    }
    if (d_->state_ == dsSetKey) {
        if (f->storeIndex_ >= 0) d_->keyBuffer_[size_t(f->storeIndex_)] = v;
        return;
    }
    if (d_->state_ != dsEdit && d_->state_ != dsInsert && d_->state_ != dsNewValue)
        DatabaseError("Dataset not in edit or insert mode", this);
    if (f->ReadOnly()) DatabaseError("Field '" + f->DisplayName() + "' cannot be modified", this);
    if (f->calcIndex_ >= 0) {
        ensureCalc(kEditBuffer);
        d_->calcBuffer_[size_t(f->calcIndex_)] = v;
        return;
    }
    if (f->storeIndex_ < 0) return;
    size_t si = size_t(f->storeIndex_);
    Variant old = d_->editBuffer_[si];
    bool oldChanged = d_->changed_[si];
    d_->editBuffer_[si] = v;
    d_->changed_[si] = true;
    if (f->OnValidate) {
        ScopeExit refused([&] {
            d_->editBuffer_[si] = old;
            d_->changed_[si] = oldChanged;
        });
        f->OnValidate(f);
        refused.Dismiss();
    }
    d_->modified_ = true;
    if (d_->autoCalcFields_) d_->calcValid_ = false;
    if (f->OnChange) f->OnChange(f);
    notifyLinks(deFieldChange, reinterpret_cast<intptr_t>(f));
}

std::vector<TField*> TDataSet::fieldList(const std::string& names) const {
    std::vector<TField*> out;
    size_t start = 0;
    while (start <= names.size()) {
        size_t p = names.find(';', start);
        std::string n = Trim(names.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (!n.empty()) out.push_back(FieldByName(n));
        if (p == std::string::npos) break;
        start = p + 1;
    }
    return out;
}

Variant TDataSet::FieldValues(const std::string& names) const {
    auto list = fieldList(names);
    if (list.size() == 1) return list[0]->Value();
    std::vector<Variant> vals;
    for (TField* f : list) vals.push_back(f->Value());
    return VarArrayOf(vals);
}

void TDataSet::SetFieldValues(const std::string& names, const Variant& v) {
    auto list = fieldList(names);
    if (list.size() == 1 && !v.IsArray()) {
        list[0]->SetValue(v);
        return;
    }
    for (size_t i = 0; i < list.size(); ++i) list[i]->SetValue(v[v.LowBound() + int(i)]);
}

void TDataSet::GetFieldNames(TStrings* list) const {
    list->Clear();
    if (Active() || !d_->fields_.list_.empty()) {
        for (TField* f : d_->fields_.list_) list->Add(f->FieldName());
    } else {
        for (const TFieldDef& d : d_->fieldDefs_) list->Add(d.Name);
    }
}

std::unique_ptr<TStream> TDataSet::CreateBlobStream(TField* field, TBlobStreamMode mode) {
    CheckActive();
    if (mode != bmRead) {
        if (field->ReadOnly()) DatabaseError("Field '" + field->DisplayName() + "' cannot be modified", this);
        if (d_->state_ != dsEdit && d_->state_ != dsInsert) DatabaseError("Dataset not in edit or insert mode", this);
    }
    return std::make_unique<TFieldBlobStream>(field, mode);
}

// -------------------------------------------------------------- bookmarks

TBookmark TDataSet::StoreBookmark(TRecordId id) const { return std::to_string(id); }

TRecordId TDataSet::StoreBookmarkRecord(const TBookmark& b) const {
    if (b.empty() || b.find_first_not_of("0123456789") != std::string::npos || b.size() > 18) return kNoRecord;
    TRecordId id = std::stoll(b);
    return StorePosition(id) >= 0 ? id : kNoRecord;
}

TBookmark TDataSet::GetBookmark() const {
    if (d_->state_ == dsInactive) return TBookmark();
    // While a data link reads a window row, that row is the record in view
    // (a grid asks which of its rows are selected), as RecNo already says.
    if (d_->linkReadSet_) return d_->linkRead_ >= 0 ? StoreBookmark(d_->linkRead_) : TBookmark();
    if (d_->state_ == dsInsert || d_->cursor_ < 0 || d_->cursor_ >= presentedCount()) return TBookmark();
    return StoreBookmark(idAt(d_->cursor_));
}

void TDataSet::GotoBookmark(const TBookmark& b) {
    CheckActive();
    TRecordId id = StoreBookmarkRecord(b);
    if (id == kNoRecord || !GotoRecord(id)) DatabaseError("Record not found", this);
}

bool TDataSet::BookmarkValid(const TBookmark& b) const {
    if (!Active() || b.empty()) return false;
    TRecordId id = StoreBookmarkRecord(b);
    return id != kNoRecord && indexOfId(id) >= 0;
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const {
    if (a.empty() && b.empty()) return 0;
    if (a.empty()) return 1;
    if (b.empty()) return -1;
    TRecordId ia = StoreBookmarkRecord(a), ib = StoreBookmarkRecord(b);
    if (ia == kNoRecord || ib == kNoRecord) return a < b ? -1 : a == b ? 0 : 1;
    if (ia == ib) return 0;
    // By the order the records are presented in: after an insert or a
    // client sort the ids no longer follow the rows on screen, and a range
    // of selected rows, or their export, must keep the screen's order.
    const int pa = StorePosition(ia), pb = StorePosition(ib);
    if (pa >= 0 && pb >= 0) return pa < pb ? -1 : 1;
    return ia < ib ? -1 : 1;
}

// -------------------------------------------------------- locate / lookup

bool TDataSet::keyMatches(TRecordId id, const std::vector<TField*>& keys, const std::vector<Variant>& values,
                          TLocateOptions options) const {
    for (size_t k = 0; k < keys.size(); ++k) {
        const TField* f = keys[k];
        const Variant& want = values[k];
        Variant have = RecordValue(id, f);
        if (isNullish(want)) {
            if (!isNullish(have)) return false;
            continue;
        }
        if (isNullish(have)) return false;
        if (isTextField(f)) {
            std::string h = VarToStr(have), w = VarToStr(want);
            if (options & loCaseInsensitive) {
                h = AnsiLowerCase(h);
                w = AnsiLowerCase(w);
            }
            if (options & loPartialKey) {
                if (h.compare(0, w.size(), w) != 0) return false;
            } else if (h != w) {
                return false;
            }
            continue;
        }
        Variant conv;
        try {
            conv = f->Convert(want);
        } catch (const Exception&) {
            return false;
        }
        if (!VariantsEqual(have, conv)) return false;
    }
    return true;
}

namespace {
std::vector<Variant> keyValueList(const Variant& keyValues, size_t count) {
    std::vector<Variant> values;
    if (keyValues.IsArray()) {
        for (int i = keyValues.LowBound(); i <= keyValues.HighBound(); ++i) values.push_back(keyValues[i]);
    } else {
        values.push_back(keyValues);
    }
    if (values.size() != count) throw EDatabaseError("Invalid variant type conversion");
    return values;
}
} // namespace

bool TDataSet::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) {
    CheckActive();
    CheckBrowseMode();
    auto keys = fieldList(keyFields);
    auto values = keyValueList(keyValues, keys.size());
    int n = presentedCount();
    for (int i = 0; i < n; ++i) {
        TRecordId id = idAt(i);
        if (!keyMatches(id, keys, values, options)) continue;
        DoBeforeScroll();
        setCursor(i);
        d_->bof_ = d_->eof_ = false;
        d_->linkReadSet_ = false;
        d_->calcValid_ = false;
        notifyLinks(deDataSetChange, 0);
        DoAfterScroll();
        return true;
    }
    return false;
}

Variant TDataSet::Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields) {
    CheckActive();
    auto keys = fieldList(keyFields);
    auto values = keyValueList(keyValues, keys.size());
    auto results = fieldList(resultFields);
    int n = presentedCount();
    for (int i = 0; i < n; ++i) {
        TRecordId id = idAt(i);
        if (!keyMatches(id, keys, values, 0)) continue;
        if (results.size() == 1) return RecordValue(id, results[0]);
        std::vector<Variant> out;
        for (TField* f : results) out.push_back(RecordValue(id, f));
        return VarArrayOf(out);
    }
    return Null();
}

// -------------------------------------------------- controls and sources

void TDataSet::DisableControls() {
    if (d_->disableCount_ == 0) d_->disableState_ = d_->state_;
    ++d_->disableCount_;
}

void TDataSet::EnableControls() {
    if (d_->disableCount_ == 0) return;
    if (--d_->disableCount_ > 0) return;
    if (d_->disableState_ != d_->state_) notifyLinks(deUpdateState, 0);
    if (d_->disableState_ != dsInactive && d_->state_ != dsInactive) notifyLinks(deDataSetChange, 0);
}

void TDataSet::DataEvent(TDataEvent event, intptr_t info) {
    if (event == deDataSetChange || event == deLayoutChange) d_->calcValid_ = false;
    notifyLinks(event, info);
}

void TDataSet::notifyLinks(TDataEvent event, intptr_t info) {
    if (d_->disableCount_ > 0 && event != deFocusControl && event != deUpdateRecord && event != deCheckBrowseMode)
        return;
    for (TDataSource* ds : std::vector<TDataSource*>(d_->dataSources_)) ds->dataEvent(event, info);
}

void TDataSet::addDataSource(TDataSource* ds) { d_->dataSources_.push_back(ds); }

void TDataSet::removeDataSource(TDataSource* ds) {
    d_->dataSources_.erase(std::remove(d_->dataSources_.begin(), d_->dataSources_.end(), ds), d_->dataSources_.end());
}

bool TDataSet::IsLinkedTo(TDataSource* source) const {
    const TDataSet* ds = this;
    for (int guard = 0; ds && guard < 64; ++guard) {
        TDataSource* master = ds->GetDataSource();
        if (!master) return false;
        if (master == source) return true;
        ds = master->DataSet();
    }
    return false;
}
