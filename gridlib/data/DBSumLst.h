// Sums, averages and counts of data-set fields kept current while the data
// set opens, scrolls, edits, posts, deletes, filters and closes. Values are
// fixed point (value x 10000, every step rounded half to even); only a
// change of the data set's shape (open, filter, master scroll, a changed
// item) walks the records, posts and deletes apply their difference.
//
// The producer is shared by the stand-alone TDBSumList (the list windows'
// price total) and the grid's own sum list (its footers). Both may watch
// one data set at once: they hook its events through one per-data-set hub,
// so either can be unhooked or destroyed first without dropping the other.
//
//   auto* sums = new TDBSumList(this);
//   auto* s = sums->SumCollection()->Add(); s->SetFieldName("BookPrice");
//   sums->SetDataSet(query);               // hooks and recalculates
//   Currency total = Currency::FromRaw(sums->SumCollection()->Items(0)->SumValue);
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "DB.h"
#include "Variants.h"

enum TGroupOperation : uint8_t { goSum, goAvg, goCount };

class TDBSumCollection;
class TDBSumListProducer;

// One aggregate. FieldName empty is meaningful only for goCount (every
// record); a sum or average without a field, or naming a field the data set
// lacks, is inactive and stays 0.
class TDBSum : public TCollectionItem {
public:
    explicit TDBSum(TCollection* collection);
    std::string ClassName() const override { return "TDBSum"; }
    void Assign(TPersistent* Source) override;

    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& v);
    TGroupOperation GroupOperation() const { return groupOperation_; }
    void SetGroupOperation(TGroupOperation v);

    // The result x 10000 (a count of 12 is 120000).
    int64_t SumValue = 0;
    int64_t OldValue = 0;
    int64_t AvgSumValue = 0;
    int32_t NotNullCount = 0;
    Variant OldVarValue;

private:
    std::string fieldName_;
    TGroupOperation groupOperation_ = goSum;
};

class TDBSumCollection : public TCollection {
public:
    explicit TDBSumCollection(TDBSumListProducer* producer);
    std::string ClassName() const override { return "TDBSumCollection"; }
    TDBSum* Add() { return static_cast<TDBSum*>(TCollection::Add()); }
    // EListError outside 0..Count-1.
    TDBSum* Items(int index) const { return static_cast<TDBSum*>(TCollection::Items(index)); }
    TDBSum* GetItem(int index) const { return Items(index); }
    // First item with the operation and the field name (case ignored).
    TDBSum* FindSum(TGroupOperation op, const std::string& fieldName) const;
    TPersistent* Owner() const override;

protected:
    void Update(TCollectionItem* item) override;

private:
    TDBSumListProducer* producer_;
};

struct TDBSumHub;

// The engine. Owner is the component whose loading and design state govern
// it (the TDBSumList or the grid).
//
//   inactive --SetActive(true)--> active: hooked when a data set is set
//   active --SetActive(false)--> inactive: unhooked, values 0
//   hooked: open/filter/master scroll -> RecalcAll; edit/post/delete ->
//           difference only; close -> values 0
class TDBSumListProducer : public TPersistent {
public:
    TDBSumListProducer(TComponent* owner, bool designTimeWork);
    ~TDBSumListProducer() override;
    std::string ClassName() const override { return "TDBSumListProducer"; }
    // Active, ExternalRecalc, the items, the data set and both events.
    void Assign(TPersistent* Source) override;

    bool Active() const { return active_; }
    void SetActive(bool v);
    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* ds);
    bool ExternalRecalc() const { return externalRecalc_; }
    void SetExternalRecalc(bool v);
    bool VirtualRecords() const { return virtualRecords_; }
    void SetVirtualRecords(bool v);
    TDBSumCollection* SumCollection() const { return sums_.get(); }
    void SetSumCollection(TDBSumCollection* v);
    bool Hooked() const { return hooked_; }
    bool Recalculating() const { return recalculating_; }
    TComponent* OwnerComponent() const { return owner_; }
    // Full walks done so far (posts and deletes never walk).
    int RecalcCount() const { return recalcCount_; }

    void Activate(bool recalc);
    void Deactivate(bool clear);
    void Loaded();
    virtual void ClearSumValues();
    // Walks the data set with its controls disabled and puts the cursor
    // back on the record it was on.
    virtual void RecalcAll();
    virtual void HookDataSetEvents();
    virtual void RestoreDataSetEvents();
    virtual int FindBookmarkIndex(const TBookmark& b);
    // Record numbering for the grid's scroll bar (virtual records when the
    // data set is not sequenced).
    int GetRecNo();
    void SetRecNo(int n);
    int GetRecordCount() const;
    bool IsSequenced() const;
    const std::vector<TBookmark>& Bookmarks() const { return bookmarks_; }

    TNotifyEvent SumListChanged;
    TNotifyEvent OnRecalcAll;

    // The hub calls these (the data set's events, in their chain order).
    void DataSetAfterEdit(TDataSet*);
    void DataSetAfterInsert(TDataSet*);
    void DataSetAfterOpen(TDataSet*);
    void DataSetAfterPost(TDataSet*);
    void DataSetAfterScroll(TDataSet*);
    void DataSetBeforeDelete(TDataSet*);
    void DataSetAfterClose(TDataSet*);
    void DataSetAfterCancel(TDataSet*);
    void MasterAfterScroll(TDataSet*);
    // The data set is going away: unhook, keep nothing of it.
    void DataSetDestroying();

protected:
    void DoSumListChanged();
    bool passive() const;
    bool hooked_ = false;

private:
    friend class TDBSumCollection;
    TField* activeField(const TDBSum* s) const;
    bool itemActive(const TDBSum* s) const;
    TComponent* owner_;
    bool designTimeWork_;
    bool virtualRecords_ = false;
    bool recalculating_ = false;
    bool active_ = true;
    bool externalRecalc_ = false;
    bool pendingBookmark_ = false;
    TDataSet* dataSet_ = nullptr;
    std::string snapshotFilter_;
    bool snapshotFiltered_ = false;
    int lastFoundIndex_ = -1;
    int recalcCount_ = 0;
    std::unique_ptr<TDBSumCollection> sums_;
    std::vector<TBookmark> bookmarks_;
};

// The non-visual component the list and query windows drop on a form.
class TDBSumList : public TComponent {
public:
    explicit TDBSumList(TComponent* owner);
    ~TDBSumList() override;
    std::string ClassName() const override { return "TDBSumList"; }

    bool Active() const { return producer_->Active(); }
    void SetActive(bool v) { producer_->SetActive(v); }
    TDataSet* DataSet() const { return producer_->DataSet(); }
    void SetDataSet(TDataSet* ds);
    bool ExternalRecalc() const { return producer_->ExternalRecalc(); }
    void SetExternalRecalc(bool v) { producer_->SetExternalRecalc(v); }
    bool VirtualRecords() const { return producer_->VirtualRecords(); }
    void SetVirtualRecords(bool v) { producer_->SetVirtualRecords(v); }
    TDBSumCollection* SumCollection() const { return producer_->SumCollection(); }
    TDBSumCollection* GetSumCollection() const { return producer_->SumCollection(); }
    TDBSumListProducer* Producer() const { return producer_.get(); }
    virtual void ClearSumValues() { producer_->ClearSumValues(); }
    virtual void RecalcAll() { producer_->RecalcAll(); }

    void SetSumListChanged(TNotifyEvent e) { producer_->SumListChanged = std::move(e); }
    void SetOnRecalcAll(TNotifyEvent e) { producer_->OnRecalcAll = std::move(e); }

    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    std::unique_ptr<TDBSumListProducer> producer_;
};
