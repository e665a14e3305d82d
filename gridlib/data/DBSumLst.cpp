// The sum list engine and the per-data-set hub through which every producer
// watching a data set receives its events.
#include "gridlib/data/DBSumLst.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "SysUtils.h"

namespace {

// Fixed point: every stored step is taken to a whole unit, halves to even
// (the default rounding mode of nearbyint), in extended precision.
int64_t nearest(long double v) { return int64_t(std::nearbyintl(v)); }

long double scaled(TField* f) { return (long double)f->AsFloat() * 10000.0L; }

// One summing step: nearest(total + value × 10000), ties to even. Below
// 2^52 a double holds the total and its half-units exactly, and the x87
// long double costs several times more per record.
int64_t addScaled(int64_t total, TField* f) {
    double x = f->AsFloat() * 10000.0;
    if (total > -(int64_t(1) << 52) && total < (int64_t(1) << 52) && std::fabs(x) < 4.0e15) {
        double r = std::nearbyint(double(total) + x);
        // An exact tie has to be decided on the exact sum, which the double
        // may have rounded; the long double path decides those.
        if (r - (double(total) + x) != 0.5 && r - (double(total) + x) != -0.5) return int64_t(r);
    }
    return nearest((long double)total + scaled(f));
}

} // namespace

// ---------------------------------------------------------------- the hub

// One per watched data set: saves the data set's own handlers once,
// installs its dispatchers, and hands each event to the producers in the
// order they hooked. The data set's own handler keeps its place in the
// chain (first or last, as each event asks). The last producer to leave
// puts the saved handlers back.
struct TDBSumHub : public TComponent {
    explicit TDBSumHub(TDataSet* ds);
    ~TDBSumHub() override;
    void Notification(TComponent* component, TOperation operation) override;
    void add(TDBSumListProducer* p) { producers.push_back(p); }
    // True when no producer is left (the hub then restored the handlers).
    bool remove(TDBSumListProducer* p);
    static TDBSumHub* find(TDataSet* ds);
    template <typename F>
    void each(F f) {
        // The common case, one producer, walks nothing (an event per record
        // of every walk comes through here); nothing of the hub is read
        // after the call, which may unhook it.
        if (producers.size() == 1) {
            f(producers.front());
            return;
        }
        // A handler may unhook a producer (or all): walk a copy.
        const auto copy = producers;
        for (TDBSumListProducer* p : copy)
            if (std::find(producers.begin(), producers.end(), p) != producers.end()) f(p);
    }
    void restore();

    TDataSet* dataSet;
    TDataSet* master = nullptr;
    std::vector<TDBSumListProducer*> producers;
    TDataSetNotifyEvent afterEdit, afterInsert, afterOpen, afterPost, afterScroll, beforeDelete, afterClose,
        afterCancel, masterAfterScroll;
};

namespace {
std::map<TDataSet*, TDBSumHub*>& hubs() {
    static std::map<TDataSet*, TDBSumHub*> m;
    return m;
}
} // namespace

TDBSumHub* TDBSumHub::find(TDataSet* ds) {
    auto it = hubs().find(ds);
    return it == hubs().end() ? nullptr : it->second;
}

TDBSumHub::TDBSumHub(TDataSet* ds) : TComponent(nullptr), dataSet(ds) {
    hubs()[ds] = this;
    ds->FreeNotification(this);
    if (TDataSource* src = ds->DataSource()) master = src->DataSet();
    afterEdit = ds->AfterEdit;
    afterInsert = ds->AfterInsert;
    afterOpen = ds->AfterOpen;
    afterPost = ds->AfterPost;
    afterScroll = ds->AfterScroll;
    beforeDelete = ds->BeforeDelete;
    afterClose = ds->AfterClose;
    afterCancel = ds->AfterCancel;
    ds->AfterEdit = [this](TDataSet* d) {
        if (afterEdit) afterEdit(d);
        each([d](TDBSumListProducer* p) { p->DataSetAfterEdit(d); });
    };
    ds->AfterInsert = [this](TDataSet* d) {
        each([d](TDBSumListProducer* p) { p->DataSetAfterInsert(d); });
        if (afterInsert) afterInsert(d);
    };
    ds->AfterOpen = [this](TDataSet* d) {
        each([d](TDBSumListProducer* p) { p->DataSetAfterOpen(d); });
        if (afterOpen) afterOpen(d);
    };
    ds->AfterPost = [this](TDataSet* d) {
        each([d](TDBSumListProducer* p) { p->DataSetAfterPost(d); });
        if (afterPost) afterPost(d);
    };
    ds->AfterScroll = [this](TDataSet* d) {
        if (afterScroll) afterScroll(d);
        each([d](TDBSumListProducer* p) { p->DataSetAfterScroll(d); });
    };
    ds->BeforeDelete = [this](TDataSet* d) {
        // The application's handler first: when it cancels the delete (by
        // raising) the values stay as they are.
        if (beforeDelete) beforeDelete(d);
        each([d](TDBSumListProducer* p) { p->DataSetBeforeDelete(d); });
    };
    ds->AfterClose = [this](TDataSet* d) {
        each([d](TDBSumListProducer* p) { p->DataSetAfterClose(d); });
        if (afterClose) afterClose(d);
    };
    ds->AfterCancel = [this](TDataSet* d) {
        if (afterCancel) afterCancel(d);
        each([d](TDBSumListProducer* p) { p->DataSetAfterCancel(d); });
    };
    if (master) {
        master->FreeNotification(this);
        masterAfterScroll = master->AfterScroll;
        master->AfterScroll = [this](TDataSet* d) {
            if (masterAfterScroll) masterAfterScroll(d);
            each([d](TDBSumListProducer* p) { p->MasterAfterScroll(d); });
        };
    }
}

void TDBSumHub::restore() {
    if (!dataSet) return;
    dataSet->AfterEdit = afterEdit;
    dataSet->AfterInsert = afterInsert;
    dataSet->AfterOpen = afterOpen;
    dataSet->AfterPost = afterPost;
    dataSet->AfterScroll = afterScroll;
    dataSet->BeforeDelete = beforeDelete;
    dataSet->AfterClose = afterClose;
    dataSet->AfterCancel = afterCancel;
    dataSet->RemoveFreeNotification(this);
    if (master) {
        master->AfterScroll = masterAfterScroll;
        master->RemoveFreeNotification(this);
    }
}

TDBSumHub::~TDBSumHub() {
    if (dataSet) hubs().erase(dataSet);
}

bool TDBSumHub::remove(TDBSumListProducer* p) {
    producers.erase(std::remove(producers.begin(), producers.end(), p), producers.end());
    if (!producers.empty()) return false;
    restore();
    return true;
}

void TDBSumHub::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == master) {
        master = nullptr;
        return;
    }
    if (component != dataSet) return;
    // The data set's members are gone by now: touch nothing of it.
    hubs().erase(dataSet);
    dataSet = nullptr;
    master = nullptr;
    const auto copy = producers;
    producers.clear();
    for (TDBSumListProducer* p : copy) p->DataSetDestroying();
    delete this;
}

// ---------------------------------------------------------------- TDBSum

TDBSum::TDBSum(TCollection* collection) : TCollectionItem(collection) {}

void TDBSum::SetFieldName(const std::string& v) {
    if (v == fieldName_) return;
    fieldName_ = v;
    Changed(false);
}

void TDBSum::SetGroupOperation(TGroupOperation v) {
    if (v == groupOperation_) return;
    groupOperation_ = v;
    Changed(false);
}

void TDBSum::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TDBSum*>(Source)) {
        SetGroupOperation(s->groupOperation_);
        SetFieldName(s->fieldName_);
        OldValue = s->OldValue;
        SumValue = s->SumValue;
        return;
    }
    TCollectionItem::Assign(Source);
}

// ------------------------------------------------------- TDBSumCollection

TDBSumCollection::TDBSumCollection(TDBSumListProducer* producer)
    // Items are made whole before they join: joining reports a change.
    : TCollection([](TCollection*) { return new TDBSum(nullptr); }), producer_(producer) {}

TDBSum* TDBSumCollection::FindSum(TGroupOperation op, const std::string& fieldName) const {
    for (int i = 0; i < Count(); ++i) {
        TDBSum* s = Items(i);
        if (s->GroupOperation() == op && AnsiSameText(s->FieldName(), fieldName)) return s;
    }
    return nullptr;
}

TPersistent* TDBSumCollection::Owner() const { return producer_; }

void TDBSumCollection::Update(TCollectionItem* item) {
    TCollection::Update(item);
    TComponent* owner = producer_->OwnerComponent();
    if (owner && owner->ComponentState().Contains(csLoading)) return;
    producer_->RecalcAll();
}

// ----------------------------------------------------- TDBSumListProducer

TDBSumListProducer::TDBSumListProducer(TComponent* owner, bool designTimeWork)
    : owner_(owner), designTimeWork_(designTimeWork), sums_(std::make_unique<TDBSumCollection>(this)) {}

TDBSumListProducer::~TDBSumListProducer() {
    SumListChanged = nullptr;
    OnRecalcAll = nullptr;
    active_ = false;
    RestoreDataSetEvents();
}

bool TDBSumListProducer::passive() const {
    if (!owner_) return false;
    const auto st = owner_->ComponentState();
    return st.Contains(csLoading) || (st.Contains(csDesigning) && !designTimeWork_);
}

void TDBSumListProducer::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TDBSumListProducer*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    SetActive(s->Active());
    SetExternalRecalc(s->ExternalRecalc());
    sums_->Assign(s->sums_.get());
    SetDataSet(s->DataSet());
    SumListChanged = s->SumListChanged;
    OnRecalcAll = s->OnRecalcAll;
}

void TDBSumListProducer::SetActive(bool v) {
    if (v == active_) return;
    if (v)
        Activate(true);
    else
        Deactivate(true);
}

void TDBSumListProducer::Activate(bool recalc) {
    active_ = true;
    if (passive()) return;
    HookDataSetEvents();
    if (recalc) RecalcAll();
}

void TDBSumListProducer::Deactivate(bool clear) {
    active_ = false;
    if (passive()) return;
    RestoreDataSetEvents();
    if (clear) ClearSumValues();
}

void TDBSumListProducer::Loaded() {
    if (dataSet_ && active_) Activate(true);
}

void TDBSumListProducer::SetDataSet(TDataSet* ds) {
    if (ds && ds->ComponentState().Contains(csDestroying)) {
        // A data set that is going away is never adopted again.
        if (ds == dataSet_) {
            RestoreDataSetEvents();
            dataSet_ = nullptr;
        }
        return;
    }
    if (ds == dataSet_) return;
    if (passive()) {
        dataSet_ = ds;
        return;
    }
    const bool wasActive = active_;
    Deactivate(true);
    dataSet_ = ds;
    if (wasActive) Activate(true);
}

void TDBSumListProducer::DataSetDestroying() {
    hooked_ = false;
    dataSet_ = nullptr;
    bookmarks_.clear();
}

void TDBSumListProducer::SetExternalRecalc(bool v) {
    if (v == externalRecalc_) return;
    externalRecalc_ = v;
    RecalcAll();
}

void TDBSumListProducer::SetVirtualRecords(bool v) {
    if (v == virtualRecords_) return;
    virtualRecords_ = v;
    if (v) RecalcAll();
}

void TDBSumListProducer::SetSumCollection(TDBSumCollection* v) { sums_->Assign(v); }

void TDBSumListProducer::HookDataSetEvents() {
    if (!dataSet_ || hooked_) return;
    TDBSumHub* hub = TDBSumHub::find(dataSet_);
    if (!hub) hub = new TDBSumHub(dataSet_);
    hub->add(this);
    hooked_ = true;
}

void TDBSumListProducer::RestoreDataSetEvents() {
    if (!dataSet_ || !hooked_) return;
    if (TDBSumHub* hub = TDBSumHub::find(dataSet_))
        if (hub->remove(this)) delete hub;
    hooked_ = false;
    bookmarks_.clear();
}

void TDBSumListProducer::ClearSumValues() {
    for (int i = 0; i < sums_->Count(); ++i) {
        TDBSum* s = sums_->Items(i);
        s->SumValue = s->OldValue = s->AvgSumValue = 0;
        s->NotNullCount = 0;
    }
    DoSumListChanged();
}

void TDBSumListProducer::DoSumListChanged() {
    if (SumListChanged) SumListChanged(this);
}

// A sum or average naming a field the data set does not have counts as
// inactive: the footers show 0 and no data-set event raises for it.
TField* TDBSumListProducer::activeField(const TDBSum* s) const {
    if (s->FieldName().empty() || !dataSet_) return nullptr;
    return dataSet_->FindField(s->FieldName());
}

bool TDBSumListProducer::itemActive(const TDBSum* s) const {
    if (s->GroupOperation() == goCount) return s->FieldName().empty() || activeField(s);
    return activeField(s) != nullptr;
}

void TDBSumListProducer::RecalcAll() {
    if (passive() || !active_ || !dataSet_ || !dataSet_->Active() || !hooked_) return;
    ClearSumValues();
    lastFoundIndex_ = -1;
    if (OnRecalcAll) OnRecalcAll(this);
    struct Finish {
        TDBSumListProducer* p;
        ~Finish() {
            p->snapshotFiltered_ = p->dataSet_ ? p->dataSet_->Filtered() : false;
            p->snapshotFilter_ = p->dataSet_ ? p->dataSet_->Filter() : std::string();
            p->recalculating_ = false;
            p->DoSumListChanged();
        }
    } finish{this};
    if (externalRecalc_) return;
    std::vector<std::pair<TDBSum*, TField*>> items;
    for (int i = 0; i < sums_->Count(); ++i) {
        TDBSum* s = sums_->Items(i);
        if (itemActive(s)) items.emplace_back(s, activeField(s));
    }
    const bool virt = !dataSet_->IsSequenced() && virtualRecords_;
    if (items.empty() && !virt) return;
    ++recalcCount_;
    TDataSet* ds = dataSet_;
    const TBookmark back = ds->GetBookmark();
    ds->DisableControls();
    struct Enable {
        TDataSet* ds;
        ~Enable() { ds->EnableControls(); }
    } enable{ds};
    bookmarks_.clear();
    recalculating_ = true;
    ds->First();
    while (!ds->Eof()) {
        for (auto& [s, f] : items) {
            switch (s->GroupOperation()) {
            case goSum:
                if (!f->IsNull()) s->SumValue = addScaled(s->SumValue, f);
                break;
            case goAvg:
                if (!f->IsNull()) {
                    ++s->NotNullCount;
                    s->AvgSumValue = addScaled(s->AvgSumValue, f);
                }
                break;
            case goCount:
                if (!f || !f->IsNull()) s->SumValue += 10000;
                break;
            }
        }
        if (virt) bookmarks_.push_back(ds->GetBookmark());
        ds->Next();
    }
    for (auto& [s, f] : items)
        if (s->GroupOperation() == goAvg)
            s->SumValue = s->NotNullCount ? nearest((long double)s->AvgSumValue / s->NotNullCount) : 0;
    // Callers locate a record and then refresh the sums: the cursor goes
    // back to where it stood.
    if (!back.empty() && ds->BookmarkValid(back))
        ds->GotoBookmark(back);
    else
        ds->First();
}

void TDBSumListProducer::DataSetAfterEdit(TDataSet*) {
    if (!active_) return;
    for (int i = 0; i < sums_->Count(); ++i) {
        TDBSum* s = sums_->Items(i);
        if (!itemActive(s)) continue;
        TField* f = activeField(s);
        if (s->GroupOperation() == goCount) {
            s->OldValue = (!f || !f->IsNull()) ? 10000 : 0;
        } else {
            s->OldValue = f->IsNull() ? 0 : nearest(scaled(f));
            s->OldVarValue = f->IsNull() ? Null() : f->AsVariant();
        }
    }
}

void TDBSumListProducer::DataSetAfterInsert(TDataSet* ds) {
    if (!active_) return;
    for (int i = 0; i < sums_->Count(); ++i) {
        TDBSum* s = sums_->Items(i);
        if (!itemActive(s)) continue;
        s->OldValue = 0;
        if (s->GroupOperation() != goCount) s->OldVarValue = Null();
    }
    if (!ds->IsSequenced() && virtualRecords_) {
        const TBookmark b = ds->GetBookmark();
        if (!b.empty())
            bookmarks_.push_back(b);
        else
            pendingBookmark_ = true;
    }
}

void TDBSumListProducer::DataSetAfterOpen(TDataSet*) {
    if (active_) RecalcAll();
}

void TDBSumListProducer::DataSetAfterPost(TDataSet* ds) {
    if (!active_) return;
    for (int i = 0; i < sums_->Count(); ++i) {
        TDBSum* s = sums_->Items(i);
        if (!itemActive(s)) continue;
        TField* f = activeField(s);
        switch (s->GroupOperation()) {
        case goSum:
            if (f->IsNull())
                s->SumValue -= s->OldValue;
            else
                s->SumValue = nearest(scaled(f) + s->SumValue - s->OldValue);
            break;
        case goAvg:
            if (f->IsNull()) {
                if (!s->OldVarValue.IsNull() && !s->OldVarValue.IsEmpty()) --s->NotNullCount;
                s->AvgSumValue -= s->OldValue;
            } else {
                if (s->OldVarValue.IsNull() || s->OldVarValue.IsEmpty()) ++s->NotNullCount;
                s->AvgSumValue = nearest(scaled(f) + s->AvgSumValue - s->OldValue);
            }
            s->SumValue = s->NotNullCount ? nearest((long double)s->AvgSumValue / s->NotNullCount) : 0;
            break;
        case goCount:
            if (f && f->IsNull())
                s->SumValue -= s->OldValue;
            else
                s->SumValue = s->SumValue - s->OldValue + 10000;
            break;
        }
        // The record now counts as posted: a second post without an edit
        // in between must not add it again.
        s->OldValue = s->GroupOperation() == goCount ? ((!f || !f->IsNull()) ? 10000 : 0)
                                                     : (f->IsNull() ? 0 : nearest(scaled(f)));
        if (s->GroupOperation() != goCount) s->OldVarValue = f->IsNull() ? Null() : f->AsVariant();
    }
    if (!ds->IsSequenced() && virtualRecords_ && pendingBookmark_) {
        const TBookmark b = ds->GetBookmark();
        int pos = int(bookmarks_.size());
        for (int i = 0; i < int(bookmarks_.size()); ++i)
            if (ds->CompareBookmarks(bookmarks_[size_t(i)], b) > 0) {
                pos = i;
                break;
            }
        bookmarks_.insert(bookmarks_.begin() + pos, b);
        pendingBookmark_ = false;
    }
    DoSumListChanged();
}

void TDBSumListProducer::DataSetAfterScroll(TDataSet* ds) {
    if (!active_ || recalculating_) return;
    if (ds->Filtered() != snapshotFiltered_ || (ds->Filtered() && ds->Filter() != snapshotFilter_)) RecalcAll();
}

void TDBSumListProducer::DataSetBeforeDelete(TDataSet* ds) {
    if (!active_) return;
    for (int i = 0; i < sums_->Count(); ++i) {
        TDBSum* s = sums_->Items(i);
        if (!itemActive(s)) continue;
        TField* f = activeField(s);
        switch (s->GroupOperation()) {
        case goSum:
            if (!f->IsNull()) s->SumValue = nearest(s->SumValue - scaled(f));
            break;
        case goAvg:
            if (!f->IsNull()) {
                s->AvgSumValue = nearest(s->AvgSumValue - scaled(f));
                --s->NotNullCount;
            }
            s->SumValue = s->NotNullCount ? nearest((long double)s->AvgSumValue / s->NotNullCount) : 0;
            break;
        case goCount:
            if (!f || !f->IsNull()) s->SumValue -= 10000;
            break;
        }
    }
    if (!ds->IsSequenced() && virtualRecords_) {
        const int i = FindBookmarkIndex(ds->GetBookmark());
        if (i >= 0) bookmarks_.erase(bookmarks_.begin() + i);
    }
    DoSumListChanged();
}

void TDBSumListProducer::DataSetAfterClose(TDataSet*) {
    if (!active_) return;
    ClearSumValues();
    DoSumListChanged();
    recalculating_ = false;
}

void TDBSumListProducer::DataSetAfterCancel(TDataSet*) { pendingBookmark_ = false; }

void TDBSumListProducer::MasterAfterScroll(TDataSet*) {
    if (active_ && !recalculating_) RecalcAll();
}

int TDBSumListProducer::FindBookmarkIndex(const TBookmark& b) {
    if (lastFoundIndex_ < 0) lastFoundIndex_ = 0;
    if (bookmarks_.empty() || !dataSet_) return -1;
    if (lastFoundIndex_ >= int(bookmarks_.size())) lastFoundIndex_ = 0;
    const int c = dataSet_->CompareBookmarks(bookmarks_[size_t(lastFoundIndex_)], b);
    if (c == 0) return lastFoundIndex_;
    const int step = c > 0 ? -1 : 1;
    for (int i = lastFoundIndex_ + step; i >= 0 && i < int(bookmarks_.size()); i += step) {
        lastFoundIndex_ = i;
        if (dataSet_->CompareBookmarks(bookmarks_[size_t(i)], b) == 0) return i;
    }
    return -1;
}

int TDBSumListProducer::GetRecNo() {
    if (!dataSet_) return 0;
    if (!dataSet_->IsSequenced() && virtualRecords_ && active_) return FindBookmarkIndex(dataSet_->GetBookmark()) + 1;
    return dataSet_->RecNo();
}

void TDBSumListProducer::SetRecNo(int n) {
    if (!dataSet_) return;
    if (!dataSet_->IsSequenced() && virtualRecords_ && active_) {
        if (n < 1 || n > int(bookmarks_.size())) throw EListError(Format("List index out of bounds (%d)", n - 1));
        dataSet_->GotoBookmark(bookmarks_[size_t(n - 1)]);
        return;
    }
    dataSet_->SetRecNo(n);
}

int TDBSumListProducer::GetRecordCount() const {
    if (!dataSet_) return 0;
    if (!dataSet_->IsSequenced() && virtualRecords_ && active_) return int(bookmarks_.size());
    return dataSet_->RecordCount();
}

bool TDBSumListProducer::IsSequenced() const {
    if (!dataSet_) return false;
    if (dataSet_->IsSequenced()) return true;
    return virtualRecords_ && active_ && (!bookmarks_.empty() || (dataSet_->Bof() && dataSet_->Eof()));
}

// ------------------------------------------------------------- TDBSumList

TDBSumList::TDBSumList(TComponent* owner)
    : TComponent(owner), producer_(std::make_unique<TDBSumListProducer>(this, false)) {}

TDBSumList::~TDBSumList() {
    if (producer_->DataSet()) producer_->DataSet()->RemoveFreeNotification(this);
    producer_.reset();
}

void TDBSumList::SetDataSet(TDataSet* ds) {
    if (TDataSet* old = producer_->DataSet(); old && old != ds) old->RemoveFreeNotification(this);
    producer_->SetDataSet(ds);
    if (ds && producer_->DataSet() == ds) ds->FreeNotification(this);
}

void TDBSumList::Loaded() {
    TComponent::Loaded();
    producer_->Loaded();
}

void TDBSumList::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && producer_ && component == producer_->DataSet()) producer_->DataSetDestroying();
}
