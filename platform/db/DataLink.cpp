// Data sources and data links: how a data set's notifications reach grids
// and data-aware edits, and the record window a grid paints from.
// Not here: the notifications' causes (DataSet.cpp).
#include "DB.h"
#include "DataSet_p.h"
#include "ScopeExit.h"

#include <algorithm>

// ------------------------------------------------------------ TDataSource

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    Destroying();
    for (TDataLink* l : std::vector<TDataLink*>(links_)) l->SetDataSource(nullptr);
    if (dataSet_) dataSet_->removeDataSource(this);
    dataSet_ = nullptr;
}

void TDataSource::SetDataSet(TDataSet* ds) {
    if (ds == dataSet_) return;
    if (dataSet_) dataSet_->removeDataSource(this);
    dataSet_ = ds;
    if (dataSet_) dataSet_->addDataSource(this);
    dataEvent(deUpdateState, 0);
}

void TDataSource::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    dataEvent(deUpdateState, 0);
}

TDataSetState TDataSource::State() const { return enabled_ && dataSet_ ? dataSet_->State() : dsInactive; }

void TDataSource::Edit() {
    if (autoEdit_ && dataSet_ && dataSet_->State() == dsBrowse) dataSet_->Edit();
}

bool TDataSource::IsLinkedTo(TDataSet* ds) const {
    return dataSet_ && ds && ds->IsLinkedTo(const_cast<TDataSource*>(this));
}

void TDataSource::dataEvent(TDataEvent event, intptr_t info) {
    if (event == deUpdateState) {
        TDataSetState s = State();
        if (s == lastState_) return;
        lastState_ = s;
        for (TDataLink* l : std::vector<TDataLink*>(links_)) l->dataEvent(deUpdateState, 0);
        if (OnStateChange) OnStateChange(this);
        return;
    }
    if (State() == dsInactive) return;
    for (TDataLink* l : std::vector<TDataLink*>(links_)) l->dataEvent(event, info);
    switch (event) {
    case deFieldChange:
    case deRecordChange:
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (OnDataChange) OnDataChange(this, event == deFieldChange ? reinterpret_cast<TField*>(info) : nullptr);
        break;
    case deUpdateRecord:
        if (OnUpdateData) OnUpdateData(this);
        break;
    default: break;
    }
}

// -------------------------------------------------------------- TDataLink

TDataLink::TDataLink() = default;

TDataLink::~TDataLink() {
    if (dataSource_) {
        auto& l = dataSource_->links_;
        l.erase(std::remove(l.begin(), l.end(), this), l.end());
        releaseRead();
    }
}

void TDataLink::SetDataSource(TDataSource* ds) {
    if (ds == dataSource_) return;
    if (dataSource_) {
        releaseRead();
        auto& l = dataSource_->links_;
        l.erase(std::remove(l.begin(), l.end(), this), l.end());
    }
    dataSource_ = ds;
    if (dataSource_) dataSource_->links_.push_back(this);
    updateState();
}

TDataSet* TDataLink::DataSet() const { return dataSource_ ? dataSource_->DataSet() : nullptr; }

void TDataLink::releaseRead() {
    TDataSetPrivate* d = TDataSetPrivate::get(DataSet());
    if (d && d->linkReadOwner_ == this) {
        d->linkReadSet_ = false;
        d->linkReadOwner_ = nullptr;
    }
}

int TDataLink::presented() const {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active()) return 0;
    return ds->presentedCount() + (ds->State() == dsInsert ? 1 : 0);
}

int TDataLink::ActiveRecord() const {
    TDataSet* ds = DataSet();
    if (!active_ || !ds) return 0;
    const TDataSetPrivate* d = TDataSetPrivate::get(ds);
    if (d->linkReadSet_ && d->linkReadOwner_ == this) return readRow_;
    return std::max(0, d->cursor_ - first_);
}

void TDataLink::SetActiveRecord(int r) {
    TDataSet* ds = DataSet();
    if (!active_ || !ds) return;
    int index = first_ + r;
    if (r < 0 || index >= presented()) return;
    TDataSetPrivate* d = TDataSetPrivate::get(ds);
    if (index == d->cursor_) {
        releaseRead();
        return;
    }
    TRecordId id;
    if (ds->State() == dsInsert) {
        if (index == d->insertIndex_)
            id = kEditBuffer;
        else
            id = ds->idAt(index > d->insertIndex_ ? index - 1 : index);
    } else {
        id = ds->idAt(index);
    }
    d->linkRead_ = id;
    d->linkReadSet_ = true;
    d->linkReadOwner_ = this;
    readRow_ = r;
}

void TDataLink::SetBufferCount(int n) {
    bufferCount_ = std::max(1, n);
    if (active_) adjustWindow();
}

int TDataLink::RecordCount() const {
    if (!active_) return 0;
    return std::clamp(presented() - first_, 0, bufferCount_);
}

int TDataLink::adjustWindow() {
    TDataSet* ds = DataSet();
    int old = first_;
    int n = presented();
    int cur = ds ? ds->CursorIndex() : -1;
    if (cur < 0) {
        first_ = 0;
    } else {
        if (cur < first_) first_ = cur;
        if (cur >= first_ + bufferCount_) first_ = cur - bufferCount_ + 1;
        first_ = std::max(0, std::min(first_, n - bufferCount_));
    }
    return first_ - old;
}

void TDataLink::SetReadOnly(bool v) {
    if (readOnly_ == v) return;
    readOnly_ = v;
    updateState();
}

bool TDataLink::Edit() {
    if (!readOnly_ && dataSource_) dataSource_->Edit();
    return editing_;
}

void TDataLink::UpdateRecord() {
    updating_ = true;
    ScopeExit restore([&] { updating_ = false; });
    UpdateData();
}

bool TDataLink::Eof() const { return active_ ? DataSet()->Eof() : true; }
bool TDataLink::Bof() const { return active_ ? DataSet()->Bof() : true; }
int TDataLink::MoveBy(int distance) { return active_ ? DataSet()->MoveBy(distance) : 0; }

void TDataLink::updateState() {
    bool nowActive = dataSource_ && dataSource_->State() != dsInactive;
    if (nowActive != active_) {
        active_ = nowActive;
        first_ = 0;
        if (active_) adjustWindow();
        ActiveChanged();
    }
    TDataSetState s = dataSource_ ? dataSource_->State() : dsInactive;
    bool nowEditing = active_ && (s == dsEdit || s == dsInsert || s == dsSetKey) && !readOnly_;
    if (nowEditing != editing_) {
        editing_ = nowEditing;
        EditingChanged();
    }
}

void TDataLink::dataEvent(TDataEvent event, intptr_t info) {
    if (event == deUpdateState) {
        updateState();
        return;
    }
    if (!active_) return;
    switch (event) {
    case deFieldChange:
    case deRecordChange:
        if (!updating_) RecordChanged(reinterpret_cast<TField*>(info));
        break;
    case deDataSetChange:
        adjustWindow();
        DataSetChanged();
        break;
    case deDataSetScroll: DataSetScrolled(adjustWindow()); break;
    case deLayoutChange:
        adjustWindow();
        LayoutChanged();
        break;
    case deUpdateRecord: UpdateRecord(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl: FocusControl(reinterpret_cast<TField**>(info)); break;
    default: break;
    }
}

// --------------------------------------------------------- TFieldDataLink

void TFieldDataLink::SetFieldName(const std::string& name) {
    if (name == fieldName_) return;
    fieldName_ = name;
    UpdateField();
}

TField* TFieldDataLink::ResolveField() {
    if (!Active() || fieldName_.empty() || !DataSet()) return nullptr;
    TField* f = DataSet()->FindField(fieldName_);
    if (!f) DatabaseError("Field '" + fieldName_ + "' not found", control_);
    return f;
}

void TFieldDataLink::UpdateField() {
    TField* old = field_;
    // A failed resolution leaves the link without a field.
    field_ = nullptr;
    TField* f = ResolveField();
    if (!f && !old) return;
    field_ = f;
    EditingChanged();
    RecordChanged(nullptr);
}

void TFieldDataLink::SetEditing(bool editing, bool announce) {
    if (editing == fieldEditing_) return;
    fieldEditing_ = editing;
    modified_ = false;
    if (announce && OnEditingChange) OnEditingChange(control_);
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && (!field_ || field_->CanModify()); }

void TFieldDataLink::SetText(const std::string& s) {
    if (!field_) return;
    if (field_->DataType() == ftMemo)
        field_->SetAsString(s);
    else
        field_->SetText(s);
}

void TFieldDataLink::SetValue(const Variant& v) {
    if (field_) field_->SetAsVariant(v);
}

void TFieldDataLink::Reset() { RecordChanged(nullptr); }

void TFieldDataLink::ActiveChanged() {
    UpdateField();
    if (OnActiveChange) OnActiveChange(control_);
}

void TFieldDataLink::EditingChanged() { SetEditing(TDataLink::Editing() && CanModify()); }

void TFieldDataLink::FocusControl(TField** field) {
    if (field && *field && *field == field_ && OnFocusRequest) {
        *field = nullptr;
        OnFocusRequest(control_);
    }
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* field) {
    if (field == nullptr || field == field_) {
        if (OnDataChange) OnDataChange(control_);
        modified_ = false;
    }
}

void TFieldDataLink::UpdateData() {
    if (!modified_) return;
    if (field_ && OnUpdateData) OnUpdateData(control_);
    modified_ = false;
}
