// The in-memory table's record store, indexes, master-detail filter and file
// loading and saving. Cursor, edit buffer, calculated fields, bookmarks and
// data-link traffic are TDataSet's; this unit only keeps records in slots and
// orders them.
#include "vq/VqMemTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "Forms.h"
#include "Gbk.h"
#include "SysUtils.h"
#include "ScopeExit.h"

using namespace VqMemFile;

namespace {

[[noreturn]] void Fail(const std::string& text) { throw EMemTableError(text); }

bool IsStringType(TFieldType t) { return t == ftString || t == ftFixedChar || t == ftWideString; }

bool IsIndexableType(TFieldType t) {
    switch (t) {
    case ftString:
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftBoolean:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftBytes:
    case ftAutoInc:
    case ftFixedChar:
    case ftWideString:
    case ftLargeint:
    case ftADT:
    case ftArray: return true;
    default: return false;
    }
}

bool IsSevenBit(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 128) return false;
    return true;
}

// The locale's text order without copying for the common all-ASCII case:
// letters compared without regard to case first, then lower case before
// upper case unless `ignoreCase`.
int CompareText(const std::string& a, const std::string& b, bool ignoreCase) {
    if (!IsSevenBit(a) || !IsSevenBit(b)) return ignoreCase ? AnsiCompareText(a, b) : AnsiCompareStr(a, b);
    const size_t n = std::min(a.size(), b.size());
    auto up = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
    for (size_t i = 0; i < n; ++i) {
        const int x = up(uint8_t(a[i])), y = up(uint8_t(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    if (ignoreCase) return 0;
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return a[i] >= 'a' && a[i] <= 'z' ? -1 : 1;
    return 0;
}

template <class T>
int Cmp(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

constexpr unsigned kCaseInsensitive = 1, kPartial = 2;

std::vector<std::string> SplitNames(const std::string& list) {
    std::vector<std::string> r;
    size_t s = 0;
    while (s <= list.size()) {
        size_t e = list.find(';', s);
        if (e == std::string::npos) e = list.size();
        std::string n = Trim(list.substr(s, e - s));
        if (!n.empty()) r.push_back(n);
        s = e + 1;
    }
    return r;
}

// Restores a flag on every way out of a scope.
struct FlagGuard {
    bool& flag;
    bool saved;
    FlagGuard(bool& f, bool v) : flag(f), saved(f) { f = v; }
    ~FlagGuard() { flag = saved; }
};

std::string ReadWholeStream(TStream* s) {
    std::string data;
    char buf[8192];
    for (;;) {
        const int64_t n = s->Read(buf, sizeof buf);
        if (n <= 0) break;
        data.append(buf, size_t(n));
    }
    return data;
}

} // namespace

// ------------------------------------------------------------ lifecycle --

TVQCustomMemTable::TVQCustomMemTable(TComponent* owner) : TDataSet(owner), store_(std::make_shared<Store>()) {
    store_->Users.push_back(this);
    TVqIndex row;
    row.Name = "__MT__ROWORDER";
    row.RowOrder = true;
    row.Valid = true;
    indexes_.push_back(std::move(row));
}

TVQCustomMemTable::~TVQCustomMemTable() {
    masterLink_.SetDataSource(nullptr);
    try {
        Close();
    } catch (...) {}
    for (TVQCustomMemTable* u : std::vector<TVQCustomMemTable*>(store_->Users))
        if (u->attachedTo_ == this) u->SetAttachedTo(nullptr);
    std::erase(store_->Users, this);
}

std::vector<TVQCustomMemTable*> TVQCustomMemTable::Sharers() const {
    std::vector<TVQCustomMemTable*> r;
    for (TVQCustomMemTable* u : store_->Users)
        if (u != this && u->Active()) r.push_back(u);
    return r;
}

void TVQCustomMemTable::SetAttachedTo(TVQCustomMemTable* master) {
    if (master == this) Fail("Cant attach memorytable to it self.");
    if (master && master->attachedTo_) Fail("Cant attach to another table which itself is an attachment.");
    if (master == attachedTo_) return;
    Close();
    if (attachedTo_) {
        std::erase(store_->Users, this);
        store_ = std::make_shared<Store>();
        store_->Users.push_back(this);
    }
    attachedTo_ = master;
    if (master) {
        std::erase(store_->Users, this);
        store_ = master->store_;
        store_->Users.push_back(this);
        if (master->FieldDefs().Count() == 0) master->CreateTable();
        FieldDefs() = master->FieldDefs();
    }
}

void TVQCustomMemTable::CreateTable() {
    if (Active()) DatabaseError("Cannot perform this operation on an open dataset", this);
    if (FieldDefs().Count() == 0) {
        for (TField* f : Fields()) {
            if (f->FieldKind() != fkData) continue;
            TFieldType t = f->DataType();
            if (t == ftWideString) t = ftString;
            if (t == ftBCD) t = ftCurrency;
            FieldDefs().Add(f->FieldName(), t, IsStringType(t) ? f->Size() : 0, f->Required());
        }
    }
}

void TVQCustomMemTable::StoreOpen() {
    if (FieldDefs().Count() == 0) CreateTable();
    for (const TFieldDef& d : FieldDefs()) {
        const bool supported = (d.DataType >= ftString && d.DataType <= ftTypedBinary) || d.DataType == ftFixedChar ||
                               d.DataType == ftWideString || d.DataType == ftLargeint;
        if (!supported)
            Fail("Fielddef " + d.Name + " (" + d.Name + ") Datatype " + std::to_string(int(d.DataType)) +
                 " not supported.)");
    }
    if (FieldDefs().Count() > 256) Fail("A table holds at most 256 fields.");
    FreeAllRecords();
    indexes_.resize(1);
    current_ = 0;
    BuildIndex(indexes_[0]); // the records of the tables it shares them with
}

void TVQCustomMemTable::StoreClose() {
    FreeAllRecords();
    indexes_.resize(1);
    current_ = 0;
    masterActive_ = false;
}

// Frees the records unless another open table shares them; empties this
// table's indexes either way.
void TVQCustomMemTable::FreeAllRecords() {
    if (Sharers().empty()) {
        store_->Slots.clear();
        store_->FreeSlots.clear();
    }
    ClearIndexes();
}

void TVQCustomMemTable::ClearIndexes() {
    for (auto& ix : indexes_) {
        ix.Refs.clear();
        ix.Keys.clear();
        ix.SampleValid = false;
        ix.Valid = true;
    }
    maxAutoInc_ = -1;
}

void TVQCustomMemTable::DoAfterOpen() {
    // Fields are bound now: the user indexes can resolve their key fields.
    MakeUserIndexes();
    if (!indexFieldNames_.empty()) {
        const std::string f = indexFieldNames_;
        indexFieldNames_.clear();
        SetIndexFieldNames(f);
    } else if (!indexName_.empty()) {
        const std::string n = indexName_;
        indexName_.clear();
        SetIndexName(n);
    }
    if (masterLink_.Active()) MasterChanged();
    if (persistent_ && !PersistentFile.empty() && FileExists(PersistentFile)) {
        if (PersistentSaveFormat == mtsfBinary)
            LoadFromBinaryFile(PersistentFile);
        else
            LoadFromFile(PersistentFile);
        First();
    }
    TDataSet::DoAfterOpen();
}

void TVQCustomMemTable::WriteFieldValue(TField* f, const Variant& v) {
    if (!loading_ && f->ReadOnly() && (State() == dsEdit || State() == dsInsert))
        DatabaseError("Field " + f->DisplayName() + " is read only", this);
    TDataSet::WriteFieldValue(f, v);
}

void TVQCustomMemTable::DoBeforeClose() {
    TDataSet::DoBeforeClose();
    if (persistent_ && !PersistentFile.empty() && !ComponentState().Contains(csDesigning)) {
        if (PersistentSaveFormat == mtsfBinary)
            SaveToBinaryFile(PersistentFile, PersistentSaveOptions);
        else
            SaveToFile(PersistentFile, PersistentSaveOptions);
    }
}

void TVQCustomMemTable::EmptyTable() {
    if (!Active()) return;
    TDisableControls still(this);
    Cancel();
    store_->Slots.clear();
    store_->FreeSlots.clear();
    ClearIndexes();
    for (TVQCustomMemTable* u : Sharers()) {
        u->Cancel();
        u->ClearIndexes();
        u->Resync();
    }
    Resync();
    First();
}

// ---------------------------------------------------------- blob streams --

// A blob field's bytes as a stream, passed through the table's blob
// compression events; a modified stream stores its bytes in the field when
// it is freed.
class TVQBlobStream : public TMemoryStream {
public:
    TVQBlobStream(TField* field, TVQCustomMemTable* table, TBlobStreamMode mode)
        : field_(field), table_(table), mode_(mode) {
        if (mode == bmWrite) {
            modified_ = true;
            return;
        }
        if (field->IsNull()) return;
        const std::string stored = field->AsString();
        if (table->OnDecompressBlobStream) {
            TMemoryStream compressed;
            compressed.WriteBuffer(stored);
            compressed.Seek(0, soFromBeginning);
            // What the event writes is the content, not a change by the user.
            filling_ = true;
            table->OnDecompressBlobStream(&compressed, this);
            filling_ = false;
        } else {
            data_ = stored;
        }
        Seek(0, soFromBeginning);
    }
    ~TVQBlobStream() override {
        if (mode_ == bmRead || !modified_) return;
        try {
            std::string stored = data_;
            if (table_->OnCompressBlobStream) {
                TMemoryStream compressed;
                Seek(0, soFromBeginning);
                table_->OnCompressBlobStream(this, &compressed);
                stored = compressed.Bytes();
            }
            field_->SetAsVariant(data_.empty() ? Null() : Variant(stored));
        } catch (const Exception& e) {
            // A destructor cannot throw; the user still hears of it.
            Application->HandleException(table_, e);
        } catch (...) {}
    }
    int64_t Write(const void* buffer, int64_t count) override {
        if (mode_ == bmRead && !filling_) throw EWriteError("Stream write error");
        if (!filling_) modified_ = true;
        return TMemoryStream::Write(buffer, count);
    }
    void SetSize(int64_t size) override {
        if (mode_ != bmRead && !filling_) modified_ = true;
        TMemoryStream::SetSize(size);
    }

private:
    TField* field_;
    TVQCustomMemTable* table_;
    TBlobStreamMode mode_;
    bool modified_ = false;
    bool filling_ = false;
};

std::unique_ptr<TStream> TVQCustomMemTable::CreateBlobStream(TField* field, TBlobStreamMode mode) {
    CheckActive();
    if (mode != bmRead) {
        if (!loading_ && field->ReadOnly()) DatabaseError("Field " + field->DisplayName() + " is read only", this);
        if (State() != dsEdit && State() != dsInsert) DatabaseError("Dataset is not in edit mode.", this);
    }
    return std::make_unique<TVQBlobStream>(field, this, mode);
}

// ---------------------------------------------------------------- cells --

TVQCustomMemTable::Cell TVQCustomMemTable::ToCell(const TField& f, const Variant& v) const {
    if (v.IsNull() || v.IsEmpty()) return std::monostate{};
    switch (f.DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint: return int64_t(v.AsInt64());
    case ftBoolean: return v.AsBoolean();
    case ftFloat: return v.AsDouble();
    case ftDate:
    case ftTime:
    case ftDateTime: return double(v.AsDateTime());
    case ftCurrency:
    case ftBCD: return int64_t(v.AsCurrency().Raw());
    default: return v.AsString();
    }
}

Variant TVQCustomMemTable::FromCell(const TField& f, const Cell& c) const {
    if (std::holds_alternative<std::monostate>(c)) return Null();
    switch (f.DataType()) {
    case ftSmallint: return Variant(int16_t(std::get<int64_t>(c)));
    case ftInteger:
    case ftWord:
    case ftAutoInc: return Variant(int(std::get<int64_t>(c)));
    case ftLargeint: return Variant((long long)std::get<int64_t>(c));
    case ftBoolean: return Variant(std::get<bool>(c));
    case ftFloat: return Variant(std::get<double>(c));
    case ftDate:
    case ftTime:
    case ftDateTime: return Variant(TDateTime(std::get<double>(c)));
    case ftCurrency:
    case ftBCD: return Variant(Currency::FromRaw(std::get<int64_t>(c)));
    default: return Variant(std::get<std::string>(c));
    }
}

int TVQCustomMemTable::CompareCells(const TField& f, const Cell& a, const Cell& b, unsigned flags) const {
    const bool na = std::holds_alternative<std::monostate>(a);
    const bool nb = std::holds_alternative<std::monostate>(b);
    if (na || nb) return na && nb ? 0 : (na ? -1 : 1);
    switch (f.DataType()) {
    case ftString:
    case ftFixedChar:
    case ftWideString: {
        const std::string& x = std::get<std::string>(a);
        const std::string& y = std::get<std::string>(b);
        if (flags & kPartial) {
            // The stored text is cut to the key's length, in characters.
            const int len = Utf8Length(x);
            if (Utf8Length(y) > len) return CompareText(x, Utf8Copy(y, 1, len), flags & kCaseInsensitive);
        }
        return CompareText(x, y, flags & kCaseInsensitive);
    }
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
    case ftCurrency: return Cmp(std::get<int64_t>(a), std::get<int64_t>(b));
    case ftBoolean: return Cmp(std::get<bool>(a), std::get<bool>(b));
    case ftFloat:
    case ftDate:
    case ftTime:
    case ftDateTime: return Cmp(std::get<double>(a), std::get<double>(b));
    default: return 0; // BCD, bytes and blobs do not order
    }
}

Variant TVQCustomMemTable::StoreValue(TRecordId id, const TField& field) const {
    if (id < 0 || size_t(id) >= store_->Slots.size() || !store_->Slots[size_t(id)]) return Null();
    const auto& cells = store_->Slots[size_t(id)]->Cells;
    const int si = field.StoreIndex();
    if (si < 0 || size_t(si) >= cells.size()) return Null();
    return FromCell(field, cells[size_t(si)]);
}

// ---------------------------------------------------------------- store --

int TVQCustomMemTable::StoreRecordCount() const { return int(Current().Refs.size()); }

TRecordId TVQCustomMemTable::StoreRecordId(int pos) const { return Current().Refs[size_t(pos)]; }

int TVQCustomMemTable::StorePosition(TRecordId id) const {
    const auto& cur = Current();
    if (cur.FastKeys && size_t(lastPos_) < cur.Keys.size() && int64_t(cur.Keys[size_t(lastPos_)] & 0x7FFFFFFF) == id)
        return lastPos_;
    if (!cur.FastKeys && size_t(lastPos_) < cur.Refs.size() && cur.Refs[size_t(lastPos_)] == id) return lastPos_;
    if (id < 0 || size_t(id) >= store_->Slots.size() || !store_->Slots[size_t(id)]) return -1;
    return FindSlotInIndex(Current(), int32_t(id));
}

int32_t TVQCustomMemTable::StoreNewRecord(std::vector<Cell> cells) {
    int32_t slot;
    if (!store_->FreeSlots.empty()) {
        slot = store_->FreeSlots.back();
        store_->FreeSlots.pop_back();
    } else {
        if (store_->Slots.size() >= 0x7FFFFFCFu)
            Fail("Bookmark counter is out of range. Please close and reopen table.");
        slot = int32_t(store_->Slots.size());
        store_->Slots.emplace_back();
    }
    store_->Slots[size_t(slot)] = std::make_unique<Record>(Record{std::move(cells)});
    return slot;
}

TRecordId TVQCustomMemTable::StorePost(const PostRequest& r) {
    std::vector<Cell> cells(r.values.size());
    for (TField* f : Fields()) {
        const int si = f->StoreIndex();
        if (si >= 0 && size_t(si) < cells.size()) cells[size_t(si)] = ToCell(*f, r.values[size_t(si)]);
    }
    const int32_t self = r.inserting ? -1 : int32_t(r.id);
    std::vector<TVQCustomMemTable*> users{this};
    for (TVQCustomMemTable* u : Sharers()) users.push_back(u);
    for (TVQCustomMemTable* u : users)
        if (u->enableIndexes_) u->CheckUnique(cells, self);
    for (TField* f : Fields())
        if (f->DataType() == ftAutoInc && f->StoreIndex() >= 0) {
            const Cell& c = cells[size_t(f->StoreIndex())];
            if (const auto* i = std::get_if<int64_t>(&c)) maxAutoInc_ = std::max(maxAutoInc_, *i);
            break;
        }
    if (r.inserting) {
        const int32_t slot = StoreNewRecord(std::move(cells));
        for (TVQCustomMemTable* u : users)
            for (size_t i = 0; i < u->indexes_.size(); ++i)
                u->InsertIntoIndex(u->indexes_[i], slot, u == this && int(i) == current_ ? r.position : -1);
        return slot;
    }
    const int32_t slot = int32_t(r.id);
    // Out of every sorted index under the old key, back in under the new.
    std::vector<std::pair<TVQCustomMemTable*, size_t>> touched;
    for (TVQCustomMemTable* u : users)
        for (size_t i = 1; i < u->indexes_.size(); ++i) {
            auto& ix = u->indexes_[i];
            if (!ix.Valid) continue;
            if (!u->enableIndexes_ || (ix.Options & ixNonMaintained)) {
                ix.Valid = false;
                continue;
            }
            const int pos = u->FindSlotInIndex(ix, slot);
            if (pos < 0) Fail("Could'nt perform operation since key fields changed.");
            u->EraseAt(ix, size_t(pos));
            touched.emplace_back(u, i);
        }
    store_->Slots[size_t(slot)]->Cells = std::move(cells);
    for (auto& [u, i] : touched) u->InsertIntoIndex(u->indexes_[i], slot, -1);
    for (TVQCustomMemTable* u : users)
        if (!u->Current().Valid) u->BuildIndex(u->Current());
    return slot;
}

void TVQCustomMemTable::StoreDelete(TRecordId id) {
    const int32_t slot = int32_t(id);
    for (auto& ix : indexes_) RemoveFromIndex(ix, slot);
    for (TVQCustomMemTable* u : Sharers())
        for (auto& ix : u->indexes_) u->RemoveFromIndex(ix, slot);
    store_->Slots[size_t(slot)].reset();
    store_->FreeSlots.push_back(slot);
}

void TVQCustomMemTable::RefreshSharers() {
    if (!AttachedAutoRefresh) return;
    for (TVQCustomMemTable* u : Sharers())
        if (u->State() == dsBrowse) u->Resync();
}

void TVQCustomMemTable::DoAfterPost() {
    RefreshSharers();
    TDataSet::DoAfterPost();
}

void TVQCustomMemTable::DoAfterDelete() {
    RefreshSharers();
    TDataSet::DoAfterDelete();
}

void TVQCustomMemTable::DoOnNewRecord() {
    if (masterActive_ && masterLink_.DataSet()) {
        const auto names = SplitNames(masterFields_);
        for (size_t i = 0; i < names.size() && i < Current().KeyFields.size(); ++i)
            Current().KeyFields[i]->SetAsVariant(masterLink_.DataSet()->FieldByName(names[i])->AsVariant());
    }
    TDataSet::DoOnNewRecord();
}

// -------------------------------------------------------------- indexes --

std::vector<TField*> TVQCustomMemTable::ResolveKeyFields(const std::string& list, bool forIndex) {
    std::vector<TField*> r;
    bool calc = false;
    for (const auto& n : SplitNames(list)) {
        TField* f = FieldByName(n);
        const bool kindOk =
            f->FieldKind() == fkData || f->FieldKind() == fkCalculated || f->FieldKind() == fkInternalCalc;
        if (!kindOk || !IsIndexableType(f->DataType())) DatabaseError("Can't index on field " + f->DisplayName(), this);
        calc |= f->FieldKind() != fkData;
        r.push_back(f);
    }
    if (forIndex) recalcOnIndex_ = calc;
    return r;
}

const TVQCustomMemTable::Cell& TVQCustomMemTable::KeyCell(int32_t slot, const TField& f, Cell& scratch) const {
    const int si = f.StoreIndex();
    if (f.FieldKind() == fkData && si >= 0) {
        const auto& cells = store_->Slots[size_t(slot)]->Cells;
        if (size_t(si) < cells.size()) return cells[size_t(si)];
    }
    scratch = ToCell(f, RecordValue(slot, &f));
    return scratch;
}

int TVQCustomMemTable::CompareSlots(const TVqIndex& ix, int32_t a, int32_t b) const {
    const unsigned flags = (ix.Options & ixCaseInsensitive) ? kCaseInsensitive : 0;
    Cell sa, sb;
    for (TField* f : ix.KeyFields) {
        int c = CompareCells(*f, KeyCell(a, *f, sa), KeyCell(b, *f, sb), flags);
        if (c) return (ix.Options & ixDescending) ? -c : c;
    }
    return Cmp(a, b);
}

int TVQCustomMemTable::CompareKey(const TVqIndex& ix, const std::vector<Cell>& key, int32_t slot, size_t n,
                                  unsigned flags) const {
    Cell scratch;
    for (size_t i = 0; i < n && i < ix.KeyFields.size(); ++i) {
        const TField& f = *ix.KeyFields[i];
        int c = CompareCells(f, key[i], KeyCell(slot, f, scratch), flags);
        if (c) return (ix.Options & ixDescending) ? -c : c;
    }
    return 0;
}

// Rank of a key among the values of a fast-key index, ascending in the
// index's order: null first (ascending) or last (descending).
uint64_t TVQCustomMemTable::FastRank(const TVqIndex& ix, const Cell& c) const {
    const auto* i = std::get_if<int64_t>(&c);
    const uint64_t rank = i ? uint64_t(*i + (int64_t(1) << 31) + 1) : 0;
    return (ix.Options & ixDescending) ? (uint64_t(1) << 32) + 1 - rank : rank;
}

uint64_t TVQCustomMemTable::FastRankOf(const TVqIndex& ix, int32_t slot) const {
    return FastRank(ix, store_->Slots[size_t(slot)]->Cells[size_t(ix.KeyFields[0]->StoreIndex())]);
}

void TVQCustomMemTable::SetKeyFields(TVqIndex& ix) {
    ix.KeyFields = ResolveKeyFields(ix.FieldList, true);
    const TFieldType t = ix.KeyFields.size() == 1 ? ix.KeyFields[0]->DataType() : ftUnknown;
    ix.FastKeys = ix.KeyFields.size() == 1 && ix.KeyFields[0]->FieldKind() == fkData &&
                  (t == ftSmallint || t == ftInteger || t == ftWord || t == ftAutoInc);
    ix.Keys.clear();
    ix.SampleValid = false;
    ix.Valid = false;
}

size_t TVQCustomMemTable::FastLowerBound(TVqIndex& ix, uint64_t rank) {
    // Sample levels, each holding every 16th entry of the level below, keep a
    // search to about one cache line per level, the small upper levels staying
    // in the cache.
    constexpr size_t kStep = 16;
    const auto& k = ix.Keys;
    if (!ix.SampleValid) {
        ix.Samples.clear();
        const std::vector<uint64_t>* below = &k;
        while (below->size() > kStep * kStep) {
            std::vector<uint64_t> level;
            level.reserve(below->size() / kStep + 1);
            for (size_t i = 0; i < below->size(); i += kStep) level.push_back((*below)[i]);
            ix.Samples.push_back(std::move(level));
            below = &ix.Samples.back();
        }
        ix.SampleValid = true;
    }
    // The first position in `a` with a[pos] >= rank, knowing from the coarser
    // level that it lies after entry (coarse - 1) * kStep and at or before
    // entry coarse * kStep.
    auto narrow = [rank](const std::vector<uint64_t>& a, size_t coarse) {
        const size_t lo = coarse == 0 ? 0 : (coarse - 1) * kStep + 1;
        const size_t hi = std::max(lo, std::min(coarse * kStep, a.size()));
        return size_t(std::lower_bound(a.begin() + ptrdiff_t(lo), a.begin() + ptrdiff_t(hi), rank) - a.begin());
    };
    if (ix.Samples.empty()) return size_t(std::lower_bound(k.begin(), k.end(), rank) - k.begin());
    const auto& top = ix.Samples.back();
    size_t j = size_t(std::lower_bound(top.begin(), top.end(), rank) - top.begin());
    for (size_t l = ix.Samples.size() - 1; l-- > 0;) j = narrow(ix.Samples[l], j);
    return narrow(k, j);
}

void TVQCustomMemTable::InsertAt(TVqIndex& ix, size_t pos, int32_t slot) {
    ix.SampleValid = false;
    ix.Refs.insert(ix.Refs.begin() + ptrdiff_t(pos), slot);
    if (ix.FastKeys) ix.Keys.insert(ix.Keys.begin() + ptrdiff_t(pos), (FastRankOf(ix, slot) << 31) | uint64_t(slot));
}

void TVQCustomMemTable::EraseAt(TVqIndex& ix, size_t pos) {
    ix.SampleValid = false;
    ix.Refs.erase(ix.Refs.begin() + ptrdiff_t(pos));
    if (ix.FastKeys) ix.Keys.erase(ix.Keys.begin() + ptrdiff_t(pos));
}

// One stored text key: each key is turned once into the bytes the locale
// order compares (code page, letters folded) in one buffer, and the sort
// compares the first eight of them as one integer, touching the buffer only
// on a tie; equal folded keys fall back to the full comparison. Null keys
// come first (last when descending), by slot.
void TVQCustomMemTable::SortByText(TVqIndex& ix) {
    const TField& f = *ix.KeyFields[0];
    const size_t si = size_t(f.StoreIndex());
    const bool desc = ix.Options & ixDescending;
    const bool ci = ix.Options & ixCaseInsensitive;
    struct Key {
        uint64_t prefix;
        uint32_t off, len;
        int32_t slot;
    };
    std::vector<Key> keys;
    std::vector<int32_t> nulls;
    std::string buf;
    keys.reserve(ix.Refs.size());
    buf.reserve(ix.Refs.size() * 12);
    for (int32_t s : ix.Refs) {
        const auto* str = std::get_if<std::string>(&store_->Slots[size_t(s)]->Cells[si]);
        if (!str) {
            nulls.push_back(s);
            continue;
        }
        const size_t off = buf.size();
        if (IsSevenBit(*str))
            buf += *str;
        else
            buf += Utf8ToGbk(*str);
        uint64_t prefix = 0;
        for (size_t i = off; i < buf.size(); ++i) {
            char& ch = buf[i];
            if (ch >= 'a' && ch <= 'z') ch = char(ch - 32);
            if (i - off < 8) prefix |= uint64_t(uint8_t(ch)) << (56 - 8 * (i - off));
        }
        keys.push_back({prefix, uint32_t(off), uint32_t(buf.size() - off), s});
    }
    auto compare = [&](const Key& a, const Key& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix ? -1 : 1;
        int c = 0;
        if (a.len > 8 && b.len > 8)
            c = std::string_view(buf.data() + a.off + 8, a.len - 8)
                    .compare(std::string_view(buf.data() + b.off + 8, b.len - 8));
        else if (a.len != b.len)
            c = a.len < b.len ? -1 : 1;
        if (c == 0 && !ci)
            c = CompareText(std::get<std::string>(store_->Slots[size_t(a.slot)]->Cells[si]),
                            std::get<std::string>(store_->Slots[size_t(b.slot)]->Cells[si]), false);
        return c;
    };
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        const int c = compare(a, b);
        return c ? (desc ? c > 0 : c < 0) : a.slot < b.slot;
    });
    size_t i = 0;
    if (!desc)
        for (int32_t s : nulls) ix.Refs[i++] = s;
    for (const Key& k : keys) ix.Refs[i++] = k.slot;
    if (desc)
        for (int32_t s : nulls) ix.Refs[i++] = s;
}

// Any key: every record's key fields are encoded once into bytes whose
// plain order is the index order (nulls first, integers and floats as
// order-preserving big-endian bits, texts folded as the locale compares
// them, descending fields inverted); records whose bytes are equal are
// ordered by the full comparison, which also breaks ties by slot.
void TVQCustomMemTable::SortByComposite(TVqIndex& ix) {
    const bool desc = ix.Options & ixDescending;
    auto put64 = [](std::string& out, uint64_t v) {
        for (int i = 7; i >= 0; --i) out.push_back(char(uint8_t(v >> (8 * i))));
    };
    struct Key {
        std::string bytes;
        int32_t slot;
    };
    std::vector<Key> keys;
    keys.reserve(ix.Refs.size());
    Cell scratch;
    for (int32_t s : ix.Refs) {
        std::string k;
        for (TField* f : ix.KeyFields) {
            const size_t start = k.size();
            const Cell& c = KeyCell(s, *f, scratch);
            if (std::holds_alternative<std::monostate>(c)) {
                k.push_back(0);
            } else {
                k.push_back(1);
                if (const auto* i = std::get_if<int64_t>(&c)) {
                    put64(k, uint64_t(*i) ^ (uint64_t(1) << 63));
                } else if (const auto* d = std::get_if<double>(&c)) {
                    uint64_t bits;
                    std::memcpy(&bits, d, 8);
                    put64(k, (bits >> 63) ? ~bits : bits | (uint64_t(1) << 63));
                } else if (const auto* b = std::get_if<bool>(&c)) {
                    k.push_back(*b ? 1 : 0);
                } else if (const auto* str = std::get_if<std::string>(&c); str && IsStringType(f->DataType())) {
                    const std::string folded = IsSevenBit(*str) ? *str : Utf8ToGbk(*str);
                    for (char ch : folded) {
                        uint8_t u = uint8_t(ch);
                        if (u >= 'a' && u <= 'z') u = uint8_t(u - 32);
                        if (u <= 1) {
                            k.push_back(1);
                            k.push_back(char(u + 1));
                        } else {
                            k.push_back(char(u));
                        }
                    }
                    k.push_back(0);
                }
            }
            if (desc)
                for (size_t i = start; i < k.size(); ++i) k[i] = char(~uint8_t(k[i]));
        }
        keys.push_back({std::move(k), s});
    }
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        const int c = a.bytes.compare(b.bytes);
        return c ? c < 0 : CompareSlots(ix, a.slot, b.slot) < 0;
    });
    for (size_t i = 0; i < keys.size(); ++i) ix.Refs[i] = keys[i].slot;
}

void TVQCustomMemTable::BuildIndex(TVqIndex& ix) {
    ix.Refs.clear();
    ix.Keys.clear();
    ix.SampleValid = false;
    ix.Refs.reserve(store_->Slots.size());
    for (size_t s = 0; s < store_->Slots.size(); ++s)
        if (store_->Slots[s]) ix.Refs.push_back(int32_t(s));
    if (!ix.RowOrder && !ix.KeyFields.empty()) {
        const unsigned flags = (ix.Options & ixCaseInsensitive) ? kCaseInsensitive : 0;
        const bool oneStored = ix.KeyFields.size() == 1 && ix.KeyFields[0]->FieldKind() == fkData;
        if (ix.FastKeys) {
            // Rank (33 bits) above slot (31 bits): one integer sort orders by key,
            // then by slot.
            const size_t n = ix.Refs.size();
            const size_t si = size_t(ix.KeyFields[0]->StoreIndex());
            const bool desc = ix.Options & ixDescending;
            const auto& slots = store_->Slots;
            std::vector<uint64_t>& packed = ix.Keys;
            packed.resize(n);
            for (size_t k = 0; k < n; ++k) {
                const int32_t s = ix.Refs[k];
                const auto* i = std::get_if<int64_t>(&slots[size_t(s)]->Cells[si]);
                uint64_t rank = i ? uint64_t(*i + (int64_t(1) << 31) + 1) : 0;
                if (desc) rank = (uint64_t(1) << 32) + 1 - rank;
                packed[k] = (rank << 31) | uint64_t(s);
            }
            // The slots arrive ascending, so a stable sort on the 33 rank bits
            // alone is enough: two 17-bit counting passes, there and back.
            std::unique_ptr<uint64_t[]> tmp(new uint64_t[n ? n : 1]);
            std::vector<uint32_t> count(size_t(1) << 17);
            auto pass = [&](const uint64_t* from, uint64_t* to, int shift) {
                std::fill(count.begin(), count.end(), 0);
                for (size_t k = 0; k < n; ++k) ++count[(from[k] >> shift) & 0x1FFFF];
                uint32_t sum = 0;
                for (auto& c : count) {
                    const uint32_t m = c;
                    c = sum;
                    sum += m;
                }
                for (size_t k = 0; k < n; ++k) to[count[(from[k] >> shift) & 0x1FFFF]++] = from[k];
            };
            pass(packed.data(), tmp.get(), 31);
            pass(tmp.get(), packed.data(), 48);
            for (size_t k = 0; k < n; ++k) ix.Refs[k] = int32_t(packed[k] & 0x7FFFFFFF);
        } else if (oneStored && IsStringType(ix.KeyFields[0]->DataType())) {
            SortByText(ix);
        } else {
            SortByComposite(ix);
        }
        if (ix.Options & ixUnique)
            for (size_t i = 1; i < ix.Refs.size(); ++i) {
                std::vector<Cell> key;
                Cell scratch;
                for (TField* f : ix.KeyFields) key.push_back(KeyCell(ix.Refs[i - 1], *f, scratch));
                if (CompareKey(ix, key, ix.Refs[i], key.size(), flags) == 0)
                    Fail("Duplicate index value. Operation aborted.");
            }
    }
    ix.Valid = true;
}

int TVQCustomMemTable::FindSlotInIndex(const TVqIndex& ix, int32_t slot) const {
    const auto& refs = ix.Refs;
    if (ix.Valid && ix.FastKeys && ix.Keys.size() == refs.size()) {
        const uint64_t want = (FastRankOf(ix, slot) << 31) | uint64_t(slot);
        size_t lo = 0, hi = refs.size();
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (ix.Keys[mid] < want)
                lo = mid + 1;
            else
                hi = mid;
        }
        if (lo < refs.size() && refs[lo] == slot) return int(lo);
    } else if (ix.Valid) {
        auto it = ix.RowOrder ? std::lower_bound(refs.begin(), refs.end(), slot)
                              : std::lower_bound(refs.begin(), refs.end(), slot,
                                                 [&](int32_t a, int32_t b) { return CompareSlots(ix, a, b) < 0; });
        if (it != refs.end() && *it == slot) return int(it - refs.begin());
    }
    // Row order after inserts in the middle, or an index out of order.
    auto it = std::find(refs.begin(), refs.end(), slot);
    return it == refs.end() ? -1 : int(it - refs.begin());
}

void TVQCustomMemTable::InsertIntoIndex(TVqIndex& ix, int32_t slot, int cursorPos) {
    if (!ix.RowOrder && (!enableIndexes_ || (ix.Options & ixNonMaintained))) {
        ix.Valid = false;
        return;
    }
    if (ix.RowOrder) {
        if (cursorPos >= 0 && size_t(cursorPos) < ix.Refs.size())
            ix.Refs.insert(ix.Refs.begin() + cursorPos, slot);
        else
            ix.Refs.push_back(slot);
        return;
    }
    if (!ix.Valid) return;
    size_t pos;
    if (ix.FastKeys) {
        const uint64_t want = (FastRankOf(ix, slot) << 31) | uint64_t(slot);
        size_t lo = 0, hi = ix.Refs.size();
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (ix.Keys[mid] < want)
                lo = mid + 1;
            else
                hi = mid;
        }
        pos = lo;
    } else {
        pos = size_t(std::lower_bound(ix.Refs.begin(), ix.Refs.end(), slot,
                                      [&](int32_t a, int32_t b) { return CompareSlots(ix, a, b) < 0; }) -
                     ix.Refs.begin());
    }
    InsertAt(ix, pos, slot);
}

void TVQCustomMemTable::RemoveFromIndex(TVqIndex& ix, int32_t slot) {
    if (ix.Refs.empty()) return;
    if (!ix.RowOrder && (!enableIndexes_ || (ix.Options & ixNonMaintained) || !ix.Valid)) {
        ix.Valid = false;
        auto it = std::find(ix.Refs.begin(), ix.Refs.end(), slot);
        if (it != ix.Refs.end()) EraseAt(ix, size_t(it - ix.Refs.begin()));
        return;
    }
    const int pos = FindSlotInIndex(ix, slot);
    if (pos >= 0) EraseAt(ix, size_t(pos));
}

void TVQCustomMemTable::CheckUnique(const std::vector<Cell>& cells, int32_t self) const {
    for (size_t i = 1; i < indexes_.size(); ++i) {
        const auto& ix = indexes_[i];
        if (!(ix.Options & ixUnique) || (ix.Options & ixNonMaintained)) continue;
        std::vector<Cell> key;
        for (TField* f : ix.KeyFields) {
            const int si = f->StoreIndex();
            if (f->FieldKind() == fkData && si >= 0 && size_t(si) < cells.size())
                key.push_back(cells[size_t(si)]);
            else
                key.push_back(ToCell(*f, RecordValue(kEditBuffer, f)));
        }
        const unsigned flags = (ix.Options & ixCaseInsensitive) ? kCaseInsensitive : 0;
        auto check = [&](int32_t s) {
            if (s != self && CompareKey(ix, key, s, key.size(), flags) == 0)
                Fail("Duplicate index value. Operation aborted.");
        };
        if (!ix.Valid) {
            for (size_t s = 0; s < store_->Slots.size(); ++s)
                if (store_->Slots[s]) check(int32_t(s));
            continue;
        }
        auto it = std::lower_bound(ix.Refs.begin(), ix.Refs.end(), 0,
                                   [&](int32_t s, int) { return CompareKey(ix, key, s, key.size(), flags) > 0; });
        for (; it != ix.Refs.end() && CompareKey(ix, key, *it, key.size(), flags) == 0; ++it) check(*it);
    }
}

void TVQCustomMemTable::MakeUserIndexes() {
    indexes_.resize(1);
    current_ = 0;
    for (const TIndexDef& d : indexDefs_) {
        TVqIndex ix;
        ix.Name = d.Name;
        ix.FieldList = d.Fields;
        ix.Options = d.Options;
        SetKeyFields(ix);
        BuildIndex(ix);
        indexes_.push_back(std::move(ix));
    }
}

void TVQCustomMemTable::RefreshIndexes() {
    if (!Active()) return;
    const std::string currentName = Current().Name;
    for (size_t i = indexes_.size(); i-- > 1;) {
        if (indexDefs_.IndexOf(indexes_[i].Name) < 0) {
            if (int(i) == current_) {
                current_ = 0;
                indexFieldNames_.clear();
                indexName_.clear();
            }
            indexes_.erase(indexes_.begin() + i);
            if (int(i) < current_) --current_;
        }
    }
    for (const TIndexDef& d : indexDefs_) {
        bool have = false;
        for (const auto& ix : indexes_) have |= SameText(ix.Name, d.Name) && !ix.RowOrder;
        if (have) continue;
        TVqIndex ix;
        ix.Name = d.Name;
        ix.FieldList = d.Fields;
        ix.Options = d.Options;
        SetKeyFields(ix);
        indexes_.push_back(std::move(ix));
    }
    for (auto& ix : indexes_)
        if (!ix.Valid || (ix.RowOrder && ix.Refs.size() != store_->Slots.size() - store_->FreeSlots.size()))
            BuildIndex(ix);
    Resync();
}

void TVQCustomMemTable::SelectIndex(int i) {
    if (i == current_) return;
    CheckBrowseMode();
    if (!indexes_[size_t(i)].Valid) BuildIndex(indexes_[size_t(i)]);
    current_ = i;
    const auto& ix = Current();
    indexFieldNames_ = ix.RowOrder ? std::string() : ix.FieldList;
    indexName_ = ix.RowOrder ? std::string() : ix.Name;
    if (!ix.RowOrder) ResolveKeyFields(ix.FieldList, true);
    Resync();
}

void TVQCustomMemTable::SetIndexName(const std::string& name) {
    if (!Active()) {
        indexName_ = name;
        return;
    }
    if (name.empty()) return SelectIndex(0);
    for (size_t i = 1; i < indexes_.size(); ++i)
        if (SameText(indexes_[i].Name, name)) return SelectIndex(int(i));
    Fail("Index " + name + " does not exist");
}

void TVQCustomMemTable::SetIndexFieldNames(const std::string& fields) {
    if (!Active()) {
        indexFieldNames_ = fields;
        return;
    }
    if (fields.empty()) return SelectIndex(0);
    for (size_t i = 1; i < indexes_.size(); ++i)
        if (indexes_[i].FieldList == fields) return SelectIndex(int(i));
}

// --------------------------------------------------------------- search --

// Visits, in index order, the entries of the current index whose key equals
// the values, until `visit` (position, slot) returns true. Returns -1 when
// the current index cannot answer (other fields, other case rule, partial
// keys), else whether a visit returned true.
int TVQCustomMemTable::SearchCurrentIndex(const std::vector<TField*>& fields, const Variant& keyValues,
                                          TLocateOptions options, const std::function<bool(size_t, int32_t)>& visit) {
    const auto& ix = Current();
    const bool sameKeys = !ix.RowOrder && ix.KeyFields == fields;
    const bool sameCase = bool(options & loCaseInsensitive) == bool(ix.Options & ixCaseInsensitive);
    if (!sameKeys || !sameCase || (options & loPartialKey)) return -1;
    std::vector<Cell> key;
    for (size_t i = 0; i < fields.size(); ++i) {
        const Variant v = VarIsArray(keyValues) ? keyValues[VarArrayLowBound(keyValues) + int(i)] : keyValues;
        key.push_back(ToCell(*fields[i], v));
    }
    if (ix.FastKeys && ix.Keys.size() == ix.Refs.size()) {
        const uint64_t rank = FastRank(ix, key[0]);
        for (size_t k = FastLowerBound(Current(), rank << 31); k < ix.Keys.size() && (ix.Keys[k] >> 31) == rank; ++k)
            if (visit(k, int32_t(ix.Keys[k] & 0x7FFFFFFF))) return 1;
        return 0;
    }
    const unsigned flags = (options & loCaseInsensitive) ? kCaseInsensitive : 0;
    auto it = std::lower_bound(ix.Refs.begin(), ix.Refs.end(), 0,
                               [&](int32_t s, int) { return CompareKey(ix, key, s, key.size(), flags) > 0; });
    for (; it != ix.Refs.end() && CompareKey(ix, key, *it, key.size(), flags) == 0; ++it)
        if (visit(size_t(it - ix.Refs.begin()), *it)) return 1;
    return 0;
}

std::vector<TField*> TVQCustomMemTable::SearchFields(const std::string& keyFields, const Variant& keyValues) {
    CheckActive();
    if (VarIsArray(keyValues) && VarArrayDimCount(keyValues) > 1)
        Fail("Values variant array has invalid dimension count");
    auto fields = ResolveKeyFields(keyFields, false);
    if (fields.empty()) Fail("There must be at least one field");
    if (!VarIsArray(keyValues) && fields.size() > 1) Fail("More fields than values");
    return fields;
}

bool TVQCustomMemTable::Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options) {
    const auto fields = SearchFields(keyFields, keyValues);
    CheckBrowseMode();
    const int r = SearchCurrentIndex(fields, keyValues, options, [&](size_t pos, int32_t slot) {
        lastPos_ = int(pos);
        return GotoRecord(slot);
    });
    return r < 0 ? TDataSet::Locate(keyFields, keyValues, options) : r == 1;
}

Variant TVQCustomMemTable::Lookup(const std::string& keyFields, const Variant& keyValues,
                                  const std::string& resultFields) {
    const auto fields = SearchFields(keyFields, keyValues);
    int32_t found = -1;
    const int r = SearchCurrentIndex(fields, keyValues, 0, [&](size_t, int32_t slot) {
        found = slot;
        return true;
    });
    if (r < 0) return TDataSet::Lookup(keyFields, keyValues, resultFields);
    if (found < 0) return Null();
    std::vector<Variant> out;
    for (const auto& n : SplitNames(resultFields)) out.push_back(RecordValue(found, FieldByName(n)));
    return out.size() == 1 ? out[0] : VarArrayOf(out);
}

// ------------------------------------------------------------- key search --

void TVQCustomMemTable::SetKey() {
    CheckBrowseMode();
    std::fill(KeyBuffer().begin(), KeyBuffer().end(), Null());
    SetState(dsSetKey);
}

void TVQCustomMemTable::EditKey() {
    CheckBrowseMode();
    SetState(dsSetKey);
}

bool TVQCustomMemTable::KeySearch(bool nearest, size_t count) {
    CheckActive();
    if (State() == dsSetKey) SetState(dsBrowse);
    CheckBrowseMode();
    const auto& ix = Current();
    if (ix.RowOrder || ix.KeyFields.empty()) DatabaseError("No index currently active", this);
    std::vector<Cell> key;
    size_t given = 0;
    for (TField* f : ix.KeyFields) {
        const int si = f->StoreIndex();
        const Variant v = si >= 0 && size_t(si) < KeyBuffer().size() ? KeyBuffer()[size_t(si)] : Null();
        key.push_back(ToCell(*f, v));
        if (!v.IsNull() && !v.IsEmpty()) given = key.size();
    }
    size_t n = count > 0 ? count : KeyFieldCount > 0 ? size_t(KeyFieldCount) : given;
    n = std::min(n, key.size());
    // A key with no value at all looks for the records whose key is null.
    if (n == 0) n = key.size();
    const unsigned flags = (ix.Options & ixCaseInsensitive) ? kCaseInsensitive : 0;
    auto it = std::lower_bound(ix.Refs.begin(), ix.Refs.end(), 0,
                               [&](int32_t s, int) { return CompareKey(ix, key, s, n, flags) > 0; });
    // Copied: GotoRecord may resynchronise, and a record the filter hides is
    // passed over for the next one.
    const std::vector<int32_t> refs(it, ix.Refs.end());
    for (size_t i = 0; i < refs.size(); ++i) {
        if (!nearest && CompareKey(ix, key, refs[i], n, flags) != 0) break;
        lastPos_ = int(it - ix.Refs.begin()) + int(i);
        if (GotoRecord(refs[i])) return true;
    }
    return false;
}

void TVQCustomMemTable::SetKeyValues(const std::vector<Variant>& keyValues) {
    SetKey();
    const auto& ix = Current();
    ScopeExit refused([&] { SetState(dsBrowse); });
    for (size_t i = 0; i < keyValues.size() && i < ix.KeyFields.size(); ++i)
        ix.KeyFields[i]->SetAsVariant(keyValues[i]);
    refused.Dismiss();
}

bool TVQCustomMemTable::GotoKey() { return KeySearch(false); }

void TVQCustomMemTable::GotoNearest() {
    if (!KeySearch(true)) Last();
}

bool TVQCustomMemTable::FindKey(const std::vector<Variant>& keyValues) {
    SetKeyValues(keyValues);
    return KeySearch(false, keyValues.size());
}

void TVQCustomMemTable::FindNearest(const std::vector<Variant>& keyValues) {
    SetKeyValues(keyValues);
    if (!KeySearch(true, keyValues.size())) Last();
}

// -------------------------------------------------------- master-detail --

void TVQCustomMemTable::SetMasterSource(TDataSource* ds) {
    if (ds && ds->DataSet() == this) DatabaseError("Selfreferencing master/detail relations not allowed.", this);
    masterLink_.SetDataSource(ds);
    if (!ds) {
        masterActive_ = false;
        if (Active()) Resync();
    }
}

void TVQCustomMemTable::SetMasterFields(const std::string& f) {
    masterFields_ = f;
    if (Active() && masterLink_.Active()) MasterChanged();
}

void TVQCustomMemTable::MasterLink::ActiveChanged() {
    if (table_->Active()) table_->MasterChanged();
}
void TVQCustomMemTable::MasterLink::RecordChanged(TField* field) {
    if (!field && table_->Active()) table_->MasterChanged();
}
void TVQCustomMemTable::MasterLink::DataSetScrolled(int) {
    if (table_->Active()) table_->MasterChanged();
}

void TVQCustomMemTable::MasterChanged() {
    const auto names = SplitNames(masterFields_);
    if (names.empty()) return;
    TDataSet* master = masterLink_.DataSet();
    if (!masterLink_.Active() || !master) {
        masterActive_ = false;
        Resync();
        First();
        return;
    }
    if (Current().KeyFields.size() < names.size())
        DatabaseError("Number of masterfields doesn't correspond to number of indexfields.", this);
    std::vector<Cell> key;
    for (size_t i = 0; i < names.size(); ++i)
        key.push_back(ToCell(*Current().KeyFields[i], master->FieldByName(names[i])->AsVariant()));
    if (masterActive_ && key == masterKey_) return;
    masterKey_ = std::move(key);
    masterActive_ = true;
    CheckBrowseMode();
    Resync();
    First();
}

bool TVQCustomMemTable::StoreNeedsFilter() const { return masterActive_ && !Current().KeyFields.empty(); }

bool TVQCustomMemTable::StoreAcceptRecord(TRecordId id) const {
    if (!masterActive_) return true;
    return CompareKey(Current(), masterKey_, int32_t(id), masterKey_.size(), 0) == 0;
}

// ------------------------------------------------------------ data copy --

int TVQCustomMemTable::LoadFromDataSet(TDataSet* source, TVQCustomMemTable* destination, int limit) {
    TVQCustomMemTable* dest = destination ? destination : this;
    if (!source || source == dest) return 0;
    std::vector<std::pair<TField*, TField*>> map;
    for (TField* d : dest->Fields()) {
        if (d->FieldKind() != fkData && d->FieldKind() != fkCalculated) continue;
        if (TField* s = source->FindField(d->FieldName())) map.emplace_back(d, s);
    }
    int taken = 0;
    source->First();
    while (!source->Eof()) {
        bool accept = true;
        if (source == this && OnSaveRecord) OnSaveRecord(this, accept);
        if (accept) {
            dest->Append();
            int pos = 0;
            for (auto& [d, s] : map) {
                if (d->DataType() != ftAutoInc && d->FieldKind() == fkData) d->SetAsVariant(s->AsVariant());
                if (source == this && OnSaveField) OnSaveField(this, pos, s);
                if (dest == this && OnLoadField) OnLoadField(this, pos, d);
                ++pos;
            }
            bool post = true;
            if (dest == this && OnLoadRecord) OnLoadRecord(this, post);
            post ? dest->Post() : dest->Cancel();
        }
        ++taken;
        source->Next();
        if (limit > 0 && taken >= limit) break;
    }
    return taken;
}

// ---------------------------------------------------------------- files --

std::vector<TField*> TVQCustomMemTable::SelectedFields(TVqMemTableSaveFlags flags) const {
    std::vector<TField*> r;
    for (TField* f : Fields()) {
        bool sel;
        if (IsBlobLike(int(f->DataType()))) {
            sel = flags & mtfSaveBlobs;
        } else {
            switch (f->FieldKind()) {
            case fkData: sel = flags & mtfSaveData; break;
            case fkCalculated: sel = flags & mtfSaveCalculated; break;
            case fkLookup: sel = flags & mtfSaveLookup; break;
            default: sel = true;
            }
        }
        if (!f->Visible() && !(flags & mtfSaveNonVisible)) sel = false;
        r.push_back(sel ? f : nullptr);
    }
    return r;
}

FieldDef TVQCustomMemTable::FileFieldDef(const TField& f) const {
    FieldDef d;
    d.Name = f.FieldName();
    d.Type = int(f.DataType());
    d.Size = f.Size();
    d.DisplayName = f.DisplayLabel();
    d.EditMask = f.EditMask();
    d.DisplayWidth = f.DisplayWidth();
    d.Required = f.Required();
    d.ReadOnly = f.ReadOnly();
    return d;
}

std::vector<IndexDef> TVQCustomMemTable::FileIndexDefs() const {
    std::vector<IndexDef> r;
    for (const TIndexDef& d : indexDefs_) {
        IndexDef x;
        x.Name = x.DisplayName = d.Name;
        x.Fields = d.Fields;
        x.Descending = d.Options & ixDescending;
        x.CaseInsensitive = d.Options & ixCaseInsensitive;
        x.NonMaintained = d.Options & ixNonMaintained;
        x.Unique = d.Options & ixUnique;
        r.push_back(std::move(x));
    }
    return r;
}

// Walks the presented records from the first for a writer: perRecord(bool
// isLast) runs per record the OnSaveRecord handler accepts. The position,
// the filter and the controls are restored on every way out.
template <class Fn>
void TVQCustomMemTable::WalkForSave(TVqMemTableSaveFlags flags, Fn&& perRecord) {
    CheckActive();
    CheckBrowseMode();
    const bool wasFiltered = Filtered();
    const TBookmark mark = GetBookmark();
    TDisableControls still(this);
    // Runs before the controls come back (guards undo in reverse order).
    ScopeExit back([&] {
        if (Filtered() != wasFiltered) SetFiltered(wasFiltered);
        if (!mark.empty() && BookmarkValid(mark)) GotoBookmark(mark);
    });
    if ((flags & mtfSaveFiltered) && wasFiltered) SetFiltered(false);
    First();
    while (!Eof()) {
        bool accept = true;
        if (OnSaveRecord) OnSaveRecord(this, accept);
        Next();
        const bool last = Eof();
        if (accept) {
            if (!last) Prior();
            perRecord(last);
            if (!last) Next();
        }
    }
}

std::string TVQCustomMemTable::SaveToText(TVqMemTableSaveFlags flags) {
    CheckActive();
    const auto sel = SelectedFields(flags);
    const bool skipRest = flags & mtfSkipRest;
    TextWriter w;
    if (flags & mtfSaveDef) {
        std::vector<FieldDef> defs;
        for (size_t i = 0; i < sel.size(); ++i)
            if (sel[i] || !skipRest) defs.push_back(FileFieldDef(*Fields()[int(i)]));
        const auto idx = FileIndexDefs();
        w.DefinitionBlock(defs, (flags & mtfSaveIndexDef) ? &idx : nullptr);
    }
    std::vector<std::string> names;
    for (size_t i = 0; i < sel.size(); ++i)
        if (sel[i] || !skipRest) names.push_back(Fields()[int(i)]->DisplayLabel());
    w.NamesLine(names);
    bool lastWritten = false;
    WalkForSave(flags, [&](bool last) {
        w.BeginRecord();
        for (size_t i = 0; i < sel.size(); ++i) {
            TField* f = sel[i];
            if (!f) {
                if (!skipRest) w.NullCell();
                continue;
            }
            if (OnSaveField) OnSaveField(this, int(i), f);
            const Variant v = f->AsVariant();
            if (v.IsNull() || v.IsEmpty()) {
                w.NullCell();
                continue;
            }
            const int type = int(f->DataType());
            if ((flags & mtfSaveInLocalFormat) && !IsTextType(type) && !IsBytesType(type)) {
                w.Cell(QuoteCell(f->AsString()));
                continue;
            }
            Cell c = ToCell(*f, v);
            if (auto* raw = std::get_if<int64_t>(&c); raw && (type == ftCurrency || type == ftBCD))
                c = double(*raw) / 10000.0;
            std::string t, fl;
            if (auto* b = dynamic_cast<TBooleanField*>(f); b && !b->DisplayValues().empty()) {
                const auto& dv = b->DisplayValues();
                const size_t semi = dv.find(';');
                t = dv.substr(0, semi);
                fl = semi == std::string::npos ? std::string() : dv.substr(semi + 1);
            }
            w.Cell(ValueToCell(type, c, t, fl));
        }
        lastWritten = last;
    });
    return w.Finish(lastWritten);
}

std::string TVQCustomMemTable::SaveToBinary(TVqMemTableSaveFlags flags) {
    CheckActive();
    const auto sel = SelectedFields(flags);
    ValueWriter w;
    w.Signature();
    w.Integer(200);
    w.ListBegin();
    if (flags & mtfSaveDef)
        for (TField* f : sel) {
            if (!f) continue;
            const FieldDef d = FileFieldDef(*f);
            w.Text(d.Name);
            w.Text(TypeName(d.Type));
            w.Integer(d.Size);
            w.Text(d.DisplayName);
            w.Text(d.EditMask);
            w.Integer(d.DisplayWidth);
            w.Boolean(d.Required);
            w.Boolean(d.ReadOnly);
        }
    w.ListEnd();
    w.ListBegin();
    if (flags & mtfSaveIndexDef)
        for (const auto& d : FileIndexDefs()) {
            w.Text(d.Name);
            w.Text(d.Fields);
            w.Text(d.DisplayName);
            w.Boolean(d.Descending);
            w.Boolean(d.CaseInsensitive);
            w.Boolean(d.NonMaintained);
            w.Boolean(d.Unique);
        }
    w.ListEnd();
    w.ListBegin();
    WalkForSave(flags, [&](bool) {
        for (size_t i = 0; i < sel.size(); ++i) {
            TField* f = sel[i];
            if (!f) continue;
            if (OnSaveField) OnSaveField(this, int(i), f);
            const int type = int(f->DataType());
            Cell c = ToCell(*f, f->AsVariant());
            if (auto* raw = std::get_if<int64_t>(&c); raw && (type == ftCurrency || type == ftBCD))
                c = double(*raw) / 10000.0;
            WriteBinaryValue(w, type, c);
        }
    });
    w.ListEnd();
    return w.Bytes();
}

void TVQCustomMemTable::ReplaceDefinitions(const std::vector<FieldDef>& fields, const std::vector<IndexDef>* indexes) {
    Close();
    FieldDefs().Clear();
    for (TField* f : std::vector<TField*>(Fields().begin(), Fields().end())) {
        f->SetDataSet(nullptr);
        delete f;
    }
    if (indexes) {
        indexDefs_.Clear();
        for (const auto& d : *indexes) {
            TIndexOptions o = 0;
            if (d.Descending) o |= ixDescending;
            if (d.CaseInsensitive) o |= ixCaseInsensitive;
            if (d.NonMaintained) o |= ixNonMaintained;
            if (d.Unique) o |= ixUnique;
            indexDefs_.Add(d.Name, d.Fields, o);
        }
    }
    for (const auto& d : fields) {
        const TFieldType t = TFieldType(d.Type);
        FieldDefs().Add(d.Name, t, IsStringType(t) ? d.Size : 0, d.Required);
        TField* f = CreateFieldOfType(t, this);
        f->SetFieldName(d.Name);
        if (IsStringType(t)) f->SetSize(d.Size);
        f->SetRequired(d.Required);
        f->SetDisplayLabel(d.DisplayName);
        f->SetEditMask(d.EditMask);
        f->SetReadOnly(d.ReadOnly);
        f->SetDisplayWidth(d.DisplayWidth);
        f->SetVisible(!d.Invisible);
        f->SetDataSet(this);
    }
    Open();
}

// Stores converted rows at the end, then rebuilds the indexes once. A
// duplicate in a unique index takes the new rows out again.
void TVQCustomMemTable::AppendRows(std::vector<std::vector<Cell>> rows) {
    std::vector<int32_t> added;
    added.reserve(rows.size());
    ScopeExit refused([&] {
        for (int32_t s : added) {
            store_->Slots[size_t(s)].reset();
            store_->FreeSlots.push_back(s);
        }
        auto& row = indexes_[0].Refs;
        row.resize(row.size() - std::min(row.size(), added.size()));
        for (size_t i = 1; i < indexes_.size(); ++i) indexes_[i].Valid = false;
        for (auto& ix : indexes_)
            if (!ix.Valid) BuildIndex(ix);
        Resync();
    });
    for (auto& r : rows) {
        const int32_t slot = StoreNewRecord(std::move(r));
        added.push_back(slot);
        indexes_[0].Refs.push_back(slot);
    }
    for (size_t i = 1; i < indexes_.size(); ++i) indexes_[i].Valid = false;
    RefreshIndexes();
    for (TVQCustomMemTable* u : Sharers()) {
        for (int32_t s : added) u->indexes_[0].Refs.push_back(s);
        for (size_t i = 1; i < u->indexes_.size(); ++i) u->indexes_[i].Valid = false;
        u->RefreshIndexes();
    }
    refused.Dismiss();
}

namespace {

// A parsed value in the form the table stores for a field of `type`.
VqMemFile::Value StoredForm(TField& f, VqMemFile::Value v) {
    const TFieldType t = f.DataType();
    if (auto* d = std::get_if<double>(&v); d && (t == ftCurrency || t == ftBCD)) {
        if (!(std::fabs(*d) < 9.2e14)) Fail("Value out of range for field '" + f.FieldName() + "'");
        return int64_t(std::llround(*d * 10000.0));
    }
    if (auto* s = std::get_if<std::string>(&v); s && IsStringType(t) && f.Size() > 0 && Utf8Length(*s) > f.Size())
        return Utf8Copy(*s, 1, f.Size());
    return v;
}

} // namespace

namespace {

TIndexOptions OptionsOf(const IndexDef& d) {
    TIndexOptions o = 0;
    if (d.Descending) o |= ixDescending;
    if (d.CaseInsensitive) o |= ixCaseInsensitive;
    if (d.NonMaintained) o |= ixNonMaintained;
    if (d.Unique) o |= ixUnique;
    return o;
}

// The texts a Boolean field is written and read with, besides True/False.
void BooleanTexts(TField* f, std::string& t, std::string& fl) {
    if (auto* b = dynamic_cast<TBooleanField*>(f); b && !b->DisplayValues().empty()) {
        const auto& dv = b->DisplayValues();
        const size_t semi = dv.find(';');
        t = dv.substr(0, semi);
        fl = semi == std::string::npos ? std::string() : dv.substr(semi + 1);
    }
}

} // namespace

// Both readers end here with a file that is read and converted completely.
// Definitions are checked (names, index fields, unique keys on a scratch
// table) before this table changes; a failure while the rows go in takes
// them out again.
void TVQCustomMemTable::ApplyLoad(PendingLoad& load) {
    if (load.Replace && (!load.HasIndexes || load.Indexes.empty())) {
        // A file without index definitions keeps the table's own, as far as
        // their fields still exist.
        load.Indexes.clear();
        for (const TIndexDef& d : indexDefs_) {
            bool ok = true;
            for (const auto& n : SplitNames(d.Fields)) {
                bool found = false;
                for (const auto& f : load.Fields) found |= SameText(f.Name, n);
                ok &= found;
            }
            if (!ok) continue;
            IndexDef x;
            x.Name = x.DisplayName = d.Name;
            x.Fields = d.Fields;
            x.Descending = d.Options & ixDescending;
            x.CaseInsensitive = d.Options & ixCaseInsensitive;
            x.NonMaintained = d.Options & ixNonMaintained;
            x.Unique = d.Options & ixUnique;
            load.Indexes.push_back(std::move(x));
        }
        load.HasIndexes = true;
    }
    if (load.Replace) {
        if (load.Fields.empty()) Fail("The table file defines no fields.");
        std::vector<std::string> names;
        for (const auto& d : load.Fields) {
            if (d.Name.empty()) Fail("Field definition without a name in table file.");
            for (const auto& n : names)
                if (SameText(n, d.Name)) Fail("Duplicate field name (" + d.Name + ") in table file.");
            names.push_back(d.Name);
        }
        // A scratch table proves that the definitions open and that the rows
        // satisfy the unique indexes.
        TVqMemTable probe(nullptr);
        probe.ReplaceDefinitions(load.Fields, load.HasIndexes ? &load.Indexes : nullptr);
        probe.AppendRows(load.Rows);
    }
    FlagGuard loading(loading_, true);
    FlagGuard noPersist(persistent_, false);
    if (load.Replace) ReplaceDefinitions(load.Fields, load.HasIndexes ? &load.Indexes : nullptr);
    if (!Active()) return;
    CheckBrowseMode();
    TIndexDefs oldIndexDefs = indexDefs_;
    if (!load.Replace && load.HasIndexes) {
        indexDefs_.Clear();
        for (const auto& d : load.Indexes) indexDefs_.Add(d.Name, d.Fields, OptionsOf(d));
    }
    TDisableControls still(this);
    // A failed load takes back only the indexes it brought.
    ScopeExit refused([&] {
        if (!load.Replace && load.HasIndexes) {
            indexDefs_ = oldIndexDefs;
            RefreshIndexes();
        }
    });
    if (OnLoadRecord || OnLoadField)
        AppendRowsWithEvents(std::move(load.Rows));
    else
        AppendRows(std::move(load.Rows));
    First();
    refused.Dismiss();
}

// The rows one by one through Append and Post, so that OnLoadField sees each
// value in its field and OnLoadRecord can refuse the record. Read-only fields
// take their values while loading.
void TVQCustomMemTable::AppendRowsWithEvents(std::vector<std::vector<Cell>> rows) {
    std::vector<std::pair<TField*, bool>> readOnly;
    for (TField* f : Fields()) readOnly.emplace_back(f, f->ReadOnly());
    FlagGuard writable(readOnly_, false);
    ScopeExit restoreReadOnly([&] {
        for (auto& [f, ro] : readOnly) f->SetReadOnly(ro);
    });
    for (auto& [f, ro] : readOnly) f->SetReadOnly(false);
    std::vector<TBookmark> posted;
    // A failure takes out the records this load posted.
    ScopeExit refused([&] {
        Cancel();
        for (auto it = posted.rbegin(); it != posted.rend(); ++it) {
            if (!BookmarkValid(*it)) continue;
            GotoBookmark(*it);
            Delete();
        }
    });
    for (auto& row : rows) {
        Append();
        int pos = 0;
        for (TField* f : Fields()) {
            const int si = f->StoreIndex();
            if (f->FieldKind() == fkData && si >= 0 && size_t(si) < row.size()) {
                f->SetAsVariant(FromCell(*f, row[size_t(si)]));
                if (OnLoadField) OnLoadField(this, pos, f);
            }
            ++pos;
        }
        bool accept = true;
        if (OnLoadRecord) OnLoadRecord(this, accept);
        if (accept) {
            Post();
            posted.push_back(GetBookmark());
        } else {
            Cancel();
        }
    }
    refused.Dismiss();
}

// The fields the cells of a file go to, by position: made from the file's
// own definitions, or the table's fields. Opens a closed table that has
// definitions of its own; `opened` tells the caller to close it again when
// the file turns out bad.
std::vector<TField*> TVQCustomMemTable::LoadTargets(const std::vector<FieldDef>& defs, bool replace,
                                                    std::vector<std::unique_ptr<TField>>& scratch, bool& opened) {
    std::vector<TField*> target;
    opened = false;
    if (replace) {
        for (const auto& d : defs) {
            scratch.emplace_back(CreateFieldOfType(TFieldType(d.Type), nullptr));
            scratch.back()->SetFieldName(d.Name);
            if (IsStringType(TFieldType(d.Type))) scratch.back()->SetSize(d.Size);
            target.push_back(scratch.back().get());
        }
        return target;
    }
    if (!Active()) {
        if (FieldDefs().Count() == 0 && FieldCount() == 0) Fail("The table has no fields to load into.");
        Open();
        opened = true;
    }
    for (TField* f : Fields()) target.push_back(f);
    return target;
}

void TVQCustomMemTable::LoadFromText(std::string_view bytes) {
    const TextFile file = ParseTextFile(bytes);
    PendingLoad load;
    load.Replace = file.DefinitionBlock;
    load.Fields = file.Fields;
    load.HasIndexes = file.DefinitionBlock && file.IndexBlock;
    load.Indexes = file.Indexes;
    std::vector<std::unique_ptr<TField>> scratch;
    bool opened = false;
    const auto target = LoadTargets(file.Fields, load.Replace, scratch, opened);
    ScopeExit refused([&] {
        if (opened) Close();
    });
    const size_t width = load.Replace ? target.size() : size_t(FieldDefs().Count());
    load.Rows.reserve(file.Rows.size());
    for (const auto& line : file.Rows) {
        std::vector<Cell> cells(width);
        for (size_t i = 0; i < line.size() && i < target.size(); ++i) {
            TField* f = target[i];
            const int si = load.Replace ? int(i) : f->StoreIndex();
            if (!line[i] || si < 0 || size_t(si) >= width || f->FieldKind() != fkData) continue;
            std::string t, fl;
            BooleanTexts(f, t, fl);
            cells[size_t(si)] =
                StoredForm(*f, CellToValue(int(f->DataType()), f->Size(), *line[i], f->FieldName(), t, fl));
        }
        load.Rows.push_back(std::move(cells));
    }
    ApplyLoad(load);
    refused.Dismiss();
}

void TVQCustomMemTable::LoadFromBinary(std::string_view bytes) {
    const BinaryFile file =
        ParseBinaryFile(bytes, Active() ? FieldCount() : (FieldDefs().Count() ? FieldDefs().Count() : FieldCount()));
    PendingLoad load;
    load.Replace = !file.Fields.empty();
    load.Fields = file.Fields;
    load.HasIndexes = !file.Indexes.empty();
    load.Indexes = file.Indexes;
    if (!load.Replace && file.Rows.empty() && !load.HasIndexes) {
        if (!Active() && (FieldDefs().Count() || FieldCount())) Open();
        return;
    }
    std::vector<std::unique_ptr<TField>> scratch;
    bool opened = false;
    const auto target = LoadTargets(file.Fields, load.Replace, scratch, opened);
    ScopeExit refused([&] {
        if (opened) Close();
    });
    if (!load.Replace && !file.Rows.empty() && file.Rows[0].size() != target.size())
        Fail("Binary table file does not match the table's fields.");
    if (!load.Replace)
        for (const auto& d : file.Indexes)
            for (const auto& n : SplitNames(d.Fields))
                if (!FindField(n)) Fail("Index " + d.Name + " names a field the table lacks (" + n + ").");
    const size_t width = load.Replace ? target.size() : size_t(FieldDefs().Count());
    load.Rows.reserve(file.Rows.size());
    for (const auto& line : file.Rows) {
        std::vector<Cell> cells(width);
        for (size_t i = 0; i < line.size() && i < target.size(); ++i) {
            TField* f = target[i];
            const int si = load.Replace ? int(i) : f->StoreIndex();
            if (si < 0 || size_t(si) >= width || f->FieldKind() != fkData) continue;
            cells[size_t(si)] = StoredForm(*f, BinaryToValue(int(f->DataType()), line[i], f->FieldName()));
        }
        load.Rows.push_back(std::move(cells));
    }
    ApplyLoad(load);
    refused.Dismiss();
}

void TVQCustomMemTable::WriteOut(TStream* stream, const std::string& bytes) {
    if (!OnCompressSave) {
        stream->WriteBuffer(bytes.data(), int64_t(bytes.size()));
        return;
    }
    TMemoryStream plain;
    plain.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    plain.SetPosition(0);
    OnCompressSave(&plain, stream);
}

std::string TVQCustomMemTable::ReadIn(TStream* stream) {
    if (!OnDecompressLoad) return ReadWholeStream(stream);
    TMemoryStream plain;
    OnDecompressLoad(stream, &plain);
    plain.SetPosition(0);
    return ReadWholeStream(&plain);
}

void TVQCustomMemTable::SaveToStream(TStream* stream, TVqMemTableSaveFlags flags) {
    WriteOut(stream, SaveToText(flags));
}

void TVQCustomMemTable::SaveToBinaryStream(TStream* stream, TVqMemTableSaveFlags flags) {
    WriteOut(stream, SaveToBinary(flags));
}

void TVQCustomMemTable::LoadFromStream(TStream* stream) { LoadFromText(ReadIn(stream)); }

void TVQCustomMemTable::LoadFromBinaryStream(TStream* stream) { LoadFromBinary(ReadIn(stream)); }

void TVQCustomMemTable::SaveToFile(const std::string& fileName, TVqMemTableSaveFlags flags) {
    // Built before the file is touched, so a failing save leaves the old file.
    const std::string b = SaveToText(flags);
    // Made in memory and written the atomic way, so that a failure leaves the
    // previous file whole.
    TMemoryStream s;
    if (OnSave) OnSave(this, 3, &s);
    WriteOut(&s, b);
    AtomicWriteFile(fileName, std::string_view(s.Memory(), size_t(s.Size())));
}

void TVQCustomMemTable::SaveToBinaryFile(const std::string& fileName, TVqMemTableSaveFlags flags) {
    const std::string b = SaveToBinary(flags);
    // Made in memory and written the atomic way, so that a failure leaves the
    // previous file whole.
    TMemoryStream s;
    if (OnSave) OnSave(this, 4, &s);
    WriteOut(&s, b);
    AtomicWriteFile(fileName, std::string_view(s.Memory(), size_t(s.Size())));
}

void TVQCustomMemTable::LoadFromFile(const std::string& fileName) {
    TFileStream s(fileName, fmOpenRead | fmShareDenyNone);
    if (OnLoad) OnLoad(this, 3, &s);
    LoadFromStream(&s);
}

void TVQCustomMemTable::LoadFromBinaryFile(const std::string& fileName) {
    TFileStream s(fileName, fmOpenRead | fmShareDenyNone);
    if (OnLoad) OnLoad(this, 4, &s);
    LoadFromBinaryStream(&s);
}
