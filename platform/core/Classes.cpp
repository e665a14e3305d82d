// TPersistent, TList, TStrings/TStringList, TCollection and TComponent.
// String lists compare without regard to case by default (AnsiCompareText),
// as the class library's lists do; files they read and write are GBK.
#include "Classes.h"

#include <algorithm>

#include "Gbk.h"
#include "SysUtils.h"
#include "ScopeExit.h"

namespace {

[[noreturn]] void indexError(int index) {
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

} // namespace

// ------------------------------------------------------------- TPersistent

void TPersistent::Assign(TPersistent* Source) {
    if (Source) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) {
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + Dest->ClassName());
}

// -------------------------------------------------------------------- TList

void TList::check(int index) const {
    if (index < 0 || index >= Count()) indexError(index);
}

int TList::Add(void* item) {
    items_.push_back(item);
    return Count() - 1;
}

void TList::Insert(int index, void* item) {
    if (index < 0 || index > Count()) indexError(index);
    items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index) {
    check(index);
    items_.erase(items_.begin() + index);
}

int TList::Remove(void* item) {
    int i = IndexOf(item);
    if (i >= 0) Delete(i);
    return i;
}

void* TList::Extract(void* item) {
    int i = IndexOf(item);
    if (i < 0) return nullptr;
    Delete(i);
    return item;
}

int TList::IndexOf(void* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : int(it - items_.begin());
}

void TList::Clear() { items_.clear(); }

void* TList::Items(int index) const {
    check(index);
    return items_[size_t(index)];
}

void TList::SetItems(int index, void* item) {
    check(index);
    items_[size_t(index)] = item;
}

void* TList::First() const { return Items(0); }
void* TList::Last() const { return Items(Count() - 1); }

void TList::Exchange(int index1, int index2) {
    check(index1);
    check(index2);
    std::swap(items_[size_t(index1)], items_[size_t(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    check(curIndex);
    check(newIndex);
    void* p = items_[size_t(curIndex)];
    items_.erase(items_.begin() + curIndex);
    items_.insert(items_.begin() + newIndex, p);
}

void TList::Pack() { items_.erase(std::remove(items_.begin(), items_.end(), nullptr), items_.end()); }

void TList::Sort(const std::function<int(void*, void*)>& compare) {
    std::stable_sort(items_.begin(), items_.end(), [&](void* a, void* b) { return compare(a, b) < 0; });
}

// ----------------------------------------------------------------- TStrings

void TStrings::SetStrings(int index, const std::string& s) {
    TObject* obj = Objects(index);
    BeginUpdate();
    ScopeExit restore([&] { EndUpdate(); });
    Delete(index);
    InsertObject(index, s, obj);
}

TObject* TStrings::Objects(int) const { return nullptr; }
void TStrings::SetObjects(int, TObject*) {}

void TStrings::InsertObject(int index, const std::string& s, TObject* object) {
    Insert(index, s);
    SetObjects(index, object);
}

int TStrings::Add(const std::string& s) {
    int i = Count();
    Insert(i, s);
    return i;
}

int TStrings::AddObject(const std::string& s, TObject* object) {
    int i = Add(s);
    SetObjects(i, object);
    return i;
}

void TStrings::AddStrings(const TStrings* strings) {
    BeginUpdate();
    for (int i = 0; i < strings->Count(); ++i) AddObject(strings->Strings(i), strings->Objects(i));
    EndUpdate();
}

void TStrings::AddStrings(const std::vector<std::string>& strings) {
    BeginUpdate();
    for (const auto& s : strings) Add(s);
    EndUpdate();
}

int TStrings::CompareStrings(const std::string& a, const std::string& b) const { return AnsiCompareText(a, b); }

int TStrings::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Strings(i), s) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i) {
        std::string s = Strings(i);
        size_t at = s.find(nameValueSeparator_);
        if (at != std::string::npos && CompareStrings(s.substr(0, at), name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
    for (int i = 0; i < Count(); ++i)
        if (Objects(i) == object) return i;
    return -1;
}

void TStrings::Exchange(int index1, int index2) {
    BeginUpdate();
    std::string s1 = Strings(index1), s2 = Strings(index2);
    TObject* o1 = Objects(index1);
    TObject* o2 = Objects(index2);
    SetStrings(index1, s2);
    SetObjects(index1, o2);
    SetStrings(index2, s1);
    SetObjects(index2, o1);
    EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex) {
    if (curIndex == newIndex) return;
    BeginUpdate();
    std::string s = Strings(curIndex);
    TObject* o = Objects(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, o);
    EndUpdate();
}

bool TStrings::Equals(const TStrings* other) const {
    if (Count() != other->Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Strings(i) != other->Strings(i)) return false;
    return true;
}

void TStrings::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TStrings*>(Source)) {
        if (src == this) return;
        BeginUpdate();
        Clear();
        AddStrings(src);
        EndUpdate();
        return;
    }
    TPersistent::Assign(Source);
}

std::vector<std::string> TStrings::ToVector() const {
    std::vector<std::string> v;
    v.reserve(size_t(Count()));
    for (int i = 0; i < Count(); ++i) v.push_back(Strings(i));
    return v;
}

void TStrings::BeginUpdate() {
    // The state changes while the count is still zero, so the list's
    // OnChanging fires for the block as a whole.
    if (updateCount_ == 0) SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

std::string TStrings::Text() const {
    std::string r;
    for (int i = 0; i < Count(); ++i) {
        r += Strings(i);
        r += "\r\n";
    }
    return r;
}

void TStrings::SetText(const std::string& text) {
    BeginUpdate();
    ScopeExit restore([&] { EndUpdate(); });
    Clear();
    size_t i = 0;
    while (i < text.size()) {
        size_t j = text.find_first_of("\r\n", i);
        if (j == std::string::npos) {
            Add(text.substr(i));
            break;
        }
        Add(text.substr(i, j - i));
        if (text[j] == '\r' && j + 1 < text.size() && text[j + 1] == '\n') ++j;
        i = j + 1;
    }
}

std::string TStrings::quotedJoin(char delimiter, char quote) const {
    if (Count() == 1 && Strings(0).empty()) return std::string(2, quote);
    std::string r;
    for (int i = 0; i < Count(); ++i) {
        std::string s = Strings(i);
        bool needs = false;
        for (unsigned char c : s)
            if (c <= ' ' || c == uint8_t(delimiter) || c == uint8_t(quote)) needs = true;
        if (i > 0) r += delimiter;
        r += needs ? AnsiQuotedStr(s, quote) : s;
    }
    return r;
}

void TStrings::splitQuoted(const std::string& text, char delimiter, char quote) {
    BeginUpdate();
    ScopeExit restore([&] { EndUpdate(); });
    Clear();
    size_t i = 0, n = text.size();
    auto blank = [&](size_t k) { return k < n && uint8_t(text[k]) <= ' ' && text[k] != delimiter; };
    while (blank(i)) ++i;
    while (i < n) {
        std::string item;
        if (text[i] == quote) {
            ++i;
            while (i < n) {
                if (text[i] == quote) {
                    if (i + 1 < n && text[i + 1] == quote) {
                        item += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item += text[i++];
            }
        } else {
            while (i < n && text[i] != delimiter && uint8_t(text[i]) > ' ') item += text[i++];
        }
        Add(item);
        while (blank(i)) ++i;
        if (i < n && text[i] == delimiter) {
            ++i;
            // A delimiter that ends the text stands for one more empty
            // string.
            if (i >= n) {
                Add("");
                break;
            }
            while (blank(i)) ++i;
        }
    }
}

std::string TStrings::CommaText() const { return quotedJoin(',', '"'); }
void TStrings::SetCommaText(const std::string& text) { splitQuoted(text, ',', '"'); }
std::string TStrings::DelimitedText() const { return quotedJoin(delimiter_, quoteChar_); }
void TStrings::SetDelimitedText(const std::string& text) { splitQuoted(text, delimiter_, quoteChar_); }

std::string TStrings::Names(int index) const {
    std::string s = Strings(index);
    size_t at = s.find(nameValueSeparator_);
    return at == std::string::npos ? "" : s.substr(0, at);
}

std::string TStrings::ValueFromIndex(int index) const {
    std::string s = Strings(index);
    size_t at = s.find(nameValueSeparator_);
    return at == std::string::npos ? "" : s.substr(at + 1);
}

void TStrings::SetValueFromIndex(int index, const std::string& value) {
    if (value.empty()) {
        Delete(index);
        return;
    }
    SetStrings(index, Names(index) + nameValueSeparator_ + value);
}

std::string TStrings::Values(const std::string& name) const {
    int i = IndexOfName(name);
    return i < 0 ? "" : ValueFromIndex(i);
}

void TStrings::SetValues(const std::string& name, const std::string& value) {
    int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0) Delete(i);
        return;
    }
    std::string line = name + nameValueSeparator_ + value;
    if (i < 0)
        Add(line);
    else
        SetStrings(i, line);
}

void TStrings::LoadFromFile(const std::string& fileName) { SetText(FileTextToUtf8(ReadFileBytes(fileName))); }

void TStrings::SaveToFile(const std::string& fileName) const { AtomicWriteFile(fileName, Utf8ToGbk(Text())); }

void TStrings::LoadFromStream(TStream* stream) { SetText(FileTextToUtf8(stream->ReadRest())); }

void TStrings::SaveToStream(TStream* stream) const { stream->WriteBuffer(Utf8ToGbk(Text())); }

// -------------------------------------------------------------- TStringList

void TStringList::check(int index) const {
    if (index < 0 || index >= Count()) indexError(index);
}

std::string TStringList::Strings(int index) const {
    check(index);
    return items_[size_t(index)].s;
}

void TStringList::SetStrings(int index, const std::string& s) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted list");
    check(index);
    Changing();
    items_[size_t(index)].s = s;
    Changed();
}

TObject* TStringList::Objects(int index) const {
    check(index);
    return items_[size_t(index)].obj;
}

void TStringList::SetObjects(int index, TObject* object) {
    check(index);
    Changing();
    items_[size_t(index)].obj = object;
    Changed();
}

void TStringList::insertItem(int index, const std::string& s, TObject* obj) {
    Changing();
    items_.insert(items_.begin() + index, Item{s, obj});
    Changed();
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
    if (sorted_) throw EStringListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count()) indexError(index);
    insertItem(index, s, object);
}

void TStringList::Delete(int index) {
    check(index);
    Changing();
    items_.erase(items_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Changing();
    items_.clear();
    Changed();
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, TObject* object) {
    int index;
    if (!sorted_) {
        index = Count();
    } else if (Find(s, index)) {
        switch (duplicates_) {
        case dupIgnore: return index;
        case dupError: throw EStringListError("String list does not allow duplicates");
        case dupAccept: break;
        }
    }
    insertItem(index, s, object);
    return index;
}

int TStringList::IndexOf(const std::string& s) const {
    if (!sorted_) return TStrings::IndexOf(s);
    int index;
    return Find(s, index) ? index : -1;
}

void TStringList::Exchange(int index1, int index2) {
    check(index1);
    check(index2);
    Changing();
    std::swap(items_[size_t(index1)], items_[size_t(index2)]);
    Changed();
}

bool TStringList::Find(const std::string& s, int& index) const {
    if (!sorted_) {
        index = TStrings::IndexOf(s);
        if (index >= 0) return true;
        index = Count();
        return false;
    }
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(items_[size_t(mid)].s, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                // The first of equal strings, so dupAccept adds before them.
                if (duplicates_ != dupAccept) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::Sort() {
    CustomSort([](TStringList* list, int a, int b) {
        return list->CompareStrings(list->items_[size_t(a)].s, list->items_[size_t(b)].s);
    });
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
    if (Count() < 2) return;
    Changing();
    // The comparer sees indexes into the list; sort a permutation and then
    // lay the items out in its order.
    std::vector<int> order(items_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return compare(this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(items_.size());
    for (int i : order) sorted.push_back(std::move(items_[size_t(i)]));
    items_ = std::move(sorted);
    Changed();
}

void TStringList::SetSorted(bool sorted) {
    if (sorted_ == sorted) return;
    if (sorted) Sort();
    sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool on) {
    if (caseSensitive_ == on) return;
    caseSensitive_ = on;
    if (sorted_) Sort();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

void TStringList::SetUpdateState(bool updating) {
    if (updating)
        Changing();
    else
        Changed();
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

// -------------------------------------------------------------- collections

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() {
    if (collection_) collection_->removeItem(this);
}

void TCollectionItem::SetCollection(TCollection* collection) {
    if (collection_ == collection) return;
    if (collection_) collection_->removeItem(this);
    if (collection) collection->insertItem(this, collection->Count());
}

int TCollectionItem::Index() const {
    if (!collection_) return -1;
    auto& v = collection_->items_;
    return int(std::find(v.begin(), v.end(), this) - v.begin());
}

void TCollectionItem::SetIndex(int index) {
    int cur = Index();
    if (cur < 0 || index == cur) return;
    auto& v = collection_->items_;
    if (index < 0) index = 0;
    if (index >= int(v.size())) index = int(v.size()) - 1;
    v.erase(v.begin() + cur);
    v.insert(v.begin() + index, this);
    collection_->Changed();
}

std::string TCollectionItem::DisplayName() const { return ClassName(); }

void TCollectionItem::Changed(bool allItems) {
    if (!collection_ || collection_->updateCount_ > 0) return;
    collection_->Update(allItems ? nullptr : this);
}

TCollection::TCollection(ItemFactory factory) : factory_(std::move(factory)) {}

TCollection::~TCollection() {
    updateCount_ = 1; // no notifications while tearing down
    while (!items_.empty()) delete items_.back();
}

TCollectionItem* TCollection::Add() {
    if (factory_) {
        TCollectionItem* item = factory_(this);
        // A factory may construct the item without a collection.
        if (item->Collection() != this) item->SetCollection(this);
        return item;
    }
    return new TCollectionItem(this);
}

TCollectionItem* TCollection::Insert(int index) {
    TCollectionItem* item = Add();
    item->SetIndex(index);
    return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    ScopeExit restore([&] { EndUpdate(); });
    while (!items_.empty()) delete items_.back();
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count()) indexError(index);
    return items_[size_t(index)];
}

TCollectionItem* TCollection::FindItemID(int id) const {
    for (auto* item : items_)
        if (item->ID() == id) return item;
    return nullptr;
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Changed();
}

void TCollection::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TCollection*>(Source)) {
        if (src == this) return;
        BeginUpdate();
        {
            ScopeExit restore([&] { EndUpdate(); });
            Clear();
            for (auto* item : src->items_) Add()->Assign(item);
        }
        return;
    }
    TPersistent::Assign(Source);
}

void TCollection::Update(TCollectionItem* item) {
    if (OnUpdate) OnUpdate(item);
}

void TCollection::Changed() {
    if (updateCount_ == 0) Update(nullptr);
}

void TCollection::insertItem(TCollectionItem* item, int index) {
    items_.insert(items_.begin() + index, item);
    item->collection_ = this;
    item->id_ = nextId_++;
    Added(item);
    Changed();
}

void TCollection::removeItem(TCollectionItem* item) {
    Deleting(item);
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it != items_.end()) items_.erase(it);
    item->collection_ = nullptr;
    Changed();
}

// --------------------------------------------------------------- TComponent

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // Everyone that keeps a pointer to this component forgets it first.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        auto& theirs = other->freeNotifies_;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    if (!name.empty() && owner_) {
        TComponent* other = owner_->FindComponent(name);
        if (other && other != this) throw EComponentError("A component named " + name + " already exists");
    }
    name_ = name;
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) indexError(index);
    return components_[size_t(index)];
}

int TComponent::ComponentIndex() const {
    if (!owner_) return -1;
    auto& v = owner_->components_;
    return int(std::find(v.begin(), v.end(), this) - v.begin());
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->owner_ == this) return;
    if (!component->name_.empty()) {
        TComponent* other = FindComponent(component->name_);
        if (other) throw EComponentError("A component named " + component->name_ + " already exists");
    }
    if (component->owner_) component->owner_->RemoveComponent(component);
    components_.push_back(component);
    component->owner_ = this;
    Notification(component, opInsert);
    for (size_t i = 0; i + 1 < components_.size(); ++i) components_[i]->Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find(components_.begin(), components_.end(), component);
    if (it == components_.end()) return;
    components_.erase(it);
    component->owner_ = nullptr;
    Notification(component, opRemove);
    // A sibling may delete others in its handler: walk a snapshot and skip
    // the ones gone meanwhile.
    std::vector<TComponent*> snapshot = components_;
    for (TComponent* c : snapshot)
        if (std::find(components_.begin(), components_.end(), c) != components_.end())
            c->Notification(component, opRemove);
}

void TComponent::DestroyComponents() {
    while (!components_.empty()) {
        TComponent* c = components_.back();
        RemoveComponent(c);
        delete c;
    }
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
        freeNotifies_.push_back(component);
    auto& theirs = component->freeNotifies_;
    if (std::find(theirs.begin(), theirs.end(), this) == theirs.end()) theirs.push_back(this);
    state_ << csFreeNotification;
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), component), freeNotifies_.end());
    auto& theirs = component->freeNotifies_;
    theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
}

void TComponent::Loading() {
    state_ << csLoading << csReading;
    for (TComponent* c : components_) c->Loading();
}

void TComponent::Loaded() { state_ >> csLoading >> csReading; }

void TComponent::Destroying() {
    if (state_.Contains(csDestroying)) return;
    state_ << csDestroying;
    for (TComponent* c : components_) c->Destroying();
}

void TComponent::SetDesigning(bool designing) {
    if (designing)
        state_ << csDesigning;
    else
        state_ >> csDesigning;
    for (TComponent* c : components_) c->SetDesigning(designing);
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::removeNotification(TComponent* component) { RemoveFreeNotification(component); }
