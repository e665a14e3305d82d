// The in-memory table: a data set whose records live only in memory, kept in
// slots and presented in the order of the current index (insertion order by
// default, or sorted by key fields). It supports unique and descending
// indexes, indexed Locate and key searches, a master-detail key filter,
// blob streams with compression events and its two file formats. Not here: the byte formats themselves (VqMemTableFormat.h), the
// cursor, edit buffer, calculated fields and data links (TDataSet in DB.h).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "DB.h"
#include "vq/VqMemTableError.h"
#include "vq/VqMemTableFormat.h"

enum TVqMemTableCompareOption { mtcoDescending = 1, mtcoCaseInsensitive = 2, mtcoPartialKey = 4 };
using TVqMemTableCompareOptions = unsigned;

// Bit 0 first, as stored.
enum TVqMemTableSaveFlag : uint16_t {
    mtfSaveData = 1 << 0,
    mtfSaveCalculated = 1 << 1,
    mtfSaveLookup = 1 << 2,
    mtfSaveNonVisible = 1 << 3,
    mtfSaveBlobs = 1 << 4,
    mtfSaveDef = 1 << 5,
    mtfSaveIndexDef = 1 << 6,
    mtfSkipRest = 1 << 7,
    mtfSaveFiltered = 1 << 8,
    mtfSaveInLocalFormat = 1 << 9,
};
using TVqMemTableSaveFlags = uint16_t;

enum TVqMemTablePersistentSaveFormat { mtsfBinary = 0, mtsfCSV = 1 };
using TVqMemTableStorageType = int; // 3 text, 4 binary

using TSWOnLoadRecord = std::function<void(TDataSet* DataSet, bool& Accept)>;
using TSWOnSaveRecord = std::function<void(TDataSet* DataSet, bool& Accept)>;
using TSWOnLoadField = std::function<void(TDataSet* DataSet, int FieldNo, TField* Field)>;
using TSWOnSaveField = std::function<void(TDataSet* DataSet, int FieldNo, TField* Field)>;
using TSWOnSave = std::function<void(TDataSet* DataSet, TVqMemTableStorageType Type, TStream* Stream)>;
using TSWOnLoad = TSWOnSave;
using TSWOnCompress = std::function<void(TStream* Uncompressed, TStream* Compressed)>;
using TSWOnDeCompress = std::function<void(TStream* Compressed, TStream* Decompressed)>;

class TVQCustomMemTable;

// One index: the slots of the stored records in key order (or insertion
// order for the row-order index).
struct TVqIndex {
    std::string Name;
    std::string FieldList; // "A;B"
    std::vector<TField*> KeyFields;
    TIndexOptions Options = 0;
    bool RowOrder = false;
    bool Valid = false;
    std::vector<int32_t> Refs; // slot numbers
    // With one stored 32-bit integer key field, Keys[i] holds the ordering
    // rank of Refs[i]'s key (33 bits) above its slot (31 bits), so that a
    // search reads one compact array instead of reaching into every record.
    bool FastKeys = false;
    std::vector<uint64_t> Keys;
    // Coarse copies of Keys, rebuilt on demand after a change (see
    // FastLowerBound).
    std::vector<std::vector<uint64_t>> Samples;
    bool SampleValid = false;
};

// The engine. Records are addressed by slot number (the record id of the
// data-set framework): a slot stays the record's for its whole life, so a
// bookmark survives re-sorting; deleted slots are reused, most recent first.
//
// States are TDataSet's (closed, browse, edit, insert). Invariant while
// open: every index that is Valid holds each stored slot exactly once, in
// order of (key, slot); the current index is always Valid.
class TVQCustomMemTable : public TDataSet {
public:
    explicit TVQCustomMemTable(TComponent* owner);
    ~TVQCustomMemTable() override;
    std::string ClassName() const override { return "TVQCustomMemTable"; }

    // Drops every record (a pending edit is cancelled first); the table stays
    // open and goes before the first record.
    void EmptyTable();
    // Builds the field definitions from the persistent fields when there are
    // none; the table must be closed.
    void CreateTable();

    bool EnableIndexes() const { return enableIndexes_; }
    void SetEnableIndexes(bool v) { enableIndexes_ = v; }
    TIndexDefs& IndexDefs() { return indexDefs_; }
    const std::string& IndexName() const { return indexName_; }
    // On an open table: "" selects the row order; an unknown name raises
    // "Index %s does not exist".
    void SetIndexName(const std::string& name);
    const std::string& IndexFieldNames() const { return indexFieldNames_; }
    // On an open table: "" selects the row order; a list no index has changes
    // nothing.
    void SetIndexFieldNames(const std::string& fields);
    // Removes indexes whose definition is gone, adds the new ones, rebuilds
    // the invalid ones.
    void RefreshIndexes();
    bool RecalcOnIndex() const { return recalcOnIndex_; }

    // Shares the records of another table (closing this one first): both see
    // and change the same records, each in the order of its own indexes.
    // Raises "Cant attach memorytable to it self." and "Cant attach to
    // another table which itself is an attachment.".
    TVQCustomMemTable* AttachedTo() const { return attachedTo_; }
    void SetAttachedTo(TVQCustomMemTable* master);
    // Refresh the tables that share the records after a post or delete.
    bool AttachedAutoRefresh = true;

    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }

    // Master-detail: the first key fields of the current index follow the
    // master's MasterFields ("A;B").
    TDataSource* MasterSource() const { return masterLink_.DataSource(); }
    void SetMasterSource(TDataSource* ds);
    const std::string& MasterFields() const { return masterFields_; }
    void SetMasterFields(const std::string& f);

    bool Persistent() const { return persistent_; }
    void SetPersistent(bool v) { persistent_ = v; }
    std::string PersistentFile;
    TVqMemTableSaveFlags PersistentSaveOptions = mtfSaveData | mtfSaveNonVisible;
    TVqMemTablePersistentSaveFormat PersistentSaveFormat = mtsfBinary;
    TVqMemTableSaveFlags CommaTextOptions = mtfSaveData;
    std::string SortFields;
    TVqMemTableCompareOptions SortOptions = 0;

    // Files. Writers walk the presented records; readers parse and check the
    // whole input first and change nothing when it is damaged (raising
    // EMemTableError). A text file with a definition block, or a binary file
    // with field definitions, replaces the fields and records; otherwise its
    // records are appended to the open table.
    void SaveToStream(TStream* stream, TVqMemTableSaveFlags flags);
    void SaveToBinaryStream(TStream* stream, TVqMemTableSaveFlags flags);
    void LoadFromStream(TStream* stream);
    void LoadFromBinaryStream(TStream* stream);
    void SaveToFile(const std::string& fileName, TVqMemTableSaveFlags flags);
    void SaveToBinaryFile(const std::string& fileName, TVqMemTableSaveFlags flags);
    void LoadFromFile(const std::string& fileName);
    void LoadFromBinaryFile(const std::string& fileName);
    // The same on byte strings.
    std::string SaveToText(TVqMemTableSaveFlags flags);
    std::string SaveToBinary(TVqMemTableSaveFlags flags);
    void LoadFromText(std::string_view bytes);
    void LoadFromBinary(std::string_view bytes);

    // Appends the source's records to `destination` (this table when null),
    // copying fields of the same name; at most `limit` when positive. Returns
    // the number of source records taken.
    int LoadFromDataSet(TDataSet* source, TVQCustomMemTable* destination = nullptr, int limit = 0);

    // Both search the current index by halving when the key fields are its
    // key fields (and the case rule is its own); otherwise they scan.
    bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options = 0) override;
    Variant Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields) override;

    // Key searches on the current index. SetKey (empty key) and EditKey (the
    // last key kept) enter dsSetKey, where field writes fill the key buffer;
    // GotoKey and GotoNearest leave it and search. A search uses the first
    // KeyFieldCount key fields, or when that is 0 the key fields up to the
    // last one given a value, so that a key on the leading fields of a
    // compound index finds the first record that starts with it. Records
    // hidden by the master key are skipped. Without a current index (row
    // order) they raise "No index currently active".
    void SetKey();
    void EditKey();
    // Goes to the first record whose key equals the key; false (and no move)
    // when none.
    bool GotoKey();
    // Goes to the first record whose key is at or after the key in index
    // order, or to the last record when none is.
    void GotoNearest();
    // SetKey, the values into the first key fields, then GotoKey/GotoNearest
    // on as many key fields as there are values.
    bool FindKey(const std::vector<Variant>& keyValues);
    void FindNearest(const std::vector<Variant>& keyValues);
    int KeyFieldCount = 0;

    TSWOnLoadRecord OnLoadRecord;
    TSWOnSaveRecord OnSaveRecord;
    TSWOnLoadField OnLoadField;
    TSWOnSaveField OnSaveField;
    TSWOnSave OnSave;
    TSWOnLoad OnLoad;
    // Streams pass through these when assigned: a save hands its whole
    // content to OnCompressSave, which writes the target; a load reads what
    // OnDecompressLoad made of the whole source.
    TSWOnCompress OnCompressSave;
    TSWOnDeCompress OnDecompressLoad;
    // Blob streams pass through these when assigned: the stored bytes are
    // what OnCompressBlobStream made of the whole stream when it was freed,
    // and a stream opened for reading holds what OnDecompressBlobStream made
    // of a copy of them. Field values (AsString, files) are the stored bytes.
    TSWOnCompress OnCompressBlobStream;
    TSWOnDeCompress OnDecompressBlobStream;

    // Modes other than bmRead raise "Field %s is read only" (not while a file
    // is being loaded) and then "Dataset is not in edit mode." outside edit
    // and insert. A modified stream writes the field when it is freed; a
    // failure then goes to the application's exception handler.
    std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode) override;

protected:
    void StoreOpen() override;
    void StoreClose() override;
    int StoreRecordCount() const override;
    TRecordId StoreRecordId(int pos) const override;
    int StorePosition(TRecordId id) const override;
    Variant StoreValue(TRecordId id, const TField& field) const override;
    TRecordId StorePost(const PostRequest& request) override;
    void StoreDelete(TRecordId id) override;
    bool StoreNeedsFilter() const override;
    bool StoreAcceptRecord(TRecordId id) const override;
    bool GetCanModify() const override { return !readOnly_; }
    TDataSource* GetDataSource() const override { return masterLink_.DataSource(); }
    // Refuses a read-only field with "Field %s is read only" (not while a
    // file is being loaded), then stores through the framework.
    void WriteFieldValue(TField* f, const Variant& v) override;
    void DoAfterOpen() override;
    void DoAfterPost() override;
    void DoAfterDelete() override;
    void DoBeforeClose() override;
    void DoOnNewRecord() override;

private:
    using Cell = VqMemFile::Value;
    struct Record {
        std::vector<Cell> Cells; // by StoreIndex()
    };
    class MasterLink : public TDataLink {
    public:
        explicit MasterLink(TVQCustomMemTable* t) : table_(t) {}

    protected:
        void ActiveChanged() override;
        void RecordChanged(TField* field) override;
        void DataSetScrolled(int) override;

    private:
        TVQCustomMemTable* table_;
    };
    friend class MasterLink;
    friend class TVQBlobStream;

    Cell ToCell(const TField& f, const Variant& v) const;
    Variant FromCell(const TField& f, const Cell& c) const;
    int CompareCells(const TField& f, const Cell& a, const Cell& b, unsigned flags) const;
    const Cell& KeyCell(int32_t slot, const TField& f, Cell& scratch) const;
    int CompareSlots(const TVqIndex& ix, int32_t a, int32_t b) const;
    int CompareKey(const TVqIndex& ix, const std::vector<Cell>& key, int32_t slot, size_t n, unsigned flags) const;
    std::vector<TField*> ResolveKeyFields(const std::string& list, bool forIndex);
    void BuildIndex(TVqIndex& ix);
    void SortByText(TVqIndex& ix);
    void SortByComposite(TVqIndex& ix);
    void SetKeyFields(TVqIndex& ix);
    uint64_t FastRank(const TVqIndex& ix, const Cell& c) const;
    uint64_t FastRankOf(const TVqIndex& ix, int32_t slot) const;
    void InsertAt(TVqIndex& ix, size_t pos, int32_t slot);
    void EraseAt(TVqIndex& ix, size_t pos);
    size_t FastLowerBound(TVqIndex& ix, uint64_t rank);
    void InsertIntoIndex(TVqIndex& ix, int32_t slot, int cursorPos);
    void RemoveFromIndex(TVqIndex& ix, int32_t slot);
    int FindSlotInIndex(const TVqIndex& ix, int32_t slot) const;
    void CheckUnique(const std::vector<Cell>& cells, int32_t self) const;
    void SelectIndex(int i);
    std::vector<TField*> SearchFields(const std::string& keyFields, const Variant& keyValues);
    int SearchCurrentIndex(const std::vector<TField*>& fields, const Variant& keyValues, TLocateOptions options,
                           const std::function<bool(size_t, int32_t)>& visit);
    void MakeUserIndexes();
    // Leaves dsSetKey and goes to the first presented record from where a key
    // search lands (the first equal entry, or with `nearest` the first entry
    // not before the key), comparing `count` key fields (0: see
    // KeyFieldCount); false when there is none.
    bool KeySearch(bool nearest, size_t count = 0);
    void SetKeyValues(const std::vector<Variant>& keyValues);
    int32_t StoreNewRecord(std::vector<Cell> cells);
    void FreeAllRecords();
    void MasterChanged();
    TVqIndex& Current() { return indexes_[current_]; }
    const TVqIndex& Current() const { return indexes_[current_]; }

    // File helpers.
    void WriteOut(TStream* stream, const std::string& bytes);
    std::string ReadIn(TStream* stream);
    std::vector<TField*> SelectedFields(TVqMemTableSaveFlags flags) const;
    VqMemFile::FieldDef FileFieldDef(const TField& f) const;
    std::vector<VqMemFile::IndexDef> FileIndexDefs() const;
    template <class Fn>
    void WalkForSave(TVqMemTableSaveFlags flags, Fn&& perRecord);
    void ReplaceDefinitions(const std::vector<VqMemFile::FieldDef>& fields,
                            const std::vector<VqMemFile::IndexDef>* indexes);
    void AppendRows(std::vector<std::vector<Cell>> rows);
    void AppendRowsWithEvents(std::vector<std::vector<Cell>> rows);
    struct PendingLoad {
        bool Replace = false; // the file brings its own definitions
        std::vector<VqMemFile::FieldDef> Fields;
        bool HasIndexes = false;
        std::vector<VqMemFile::IndexDef> Indexes;
        std::vector<std::vector<Cell>> Rows; // by store index
    };
    void ApplyLoad(PendingLoad& load);
    std::vector<TField*> LoadTargets(const std::vector<VqMemFile::FieldDef>& defs, bool replace,
                                     std::vector<std::unique_ptr<TField>>& scratch, bool& opened);

    // The records, shared by a table and the tables attached to it.
    struct Store {
        std::vector<std::unique_ptr<Record>> Slots;
        std::vector<int32_t> FreeSlots; // most recent last
        std::vector<TVQCustomMemTable*> Users;
    };
    std::shared_ptr<Store> store_;
    TVQCustomMemTable* attachedTo_ = nullptr;
    std::vector<TVQCustomMemTable*> Sharers() const; // the other open users
    void RefreshSharers();
    void ClearIndexes();
    std::vector<TVqIndex> indexes_; // [0] is the row order
    int current_ = 0;
    // Where the last indexed search ended: the framework asks for that
    // record's position right after.
    mutable int lastPos_ = -1;
    TIndexDefs indexDefs_;
    std::string indexName_, indexFieldNames_;
    bool enableIndexes_ = true;
    bool recalcOnIndex_ = false;
    bool readOnly_ = false;
    bool persistent_ = false;
    bool loading_ = false;
    MasterLink masterLink_{this};
    std::string masterFields_;
    std::vector<Cell> masterKey_;
    bool masterActive_ = false;
    int64_t maxAutoInc_ = -1;
};

class TVqMemTable : public TVQCustomMemTable {
public:
    using TVQCustomMemTable::TVQCustomMemTable;
    std::string ClassName() const override { return "TVqMemTable"; }
};
