// The class library's base classes as this program uses them: persistent
// objects, the pointer list, string lists, collections, components with
// ownership and free notification, and byte streams (memory, file, string).
// Properties are methods: `Count()`, `Name()`/`SetName(v)`, indexed ones
// `Strings(i)`/`SetStrings(i, v)`; events are public std::function fields.
// Not here: windows and controls (platform/ui), data sets (platform/db).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "System.h"

class TStream;

class EComponentError : public Exception {
public:
    using Exception::Exception;
};

// ------------------------------------------------------------- TPersistent

class TPersistent : public TObject {
public:
    std::string ClassName() const override { return "TPersistent"; }
    // Copies Source into this object. The default asks Source->AssignTo,
    // whose default raises EConvertError "Cannot assign a TSource to a
    // TDest" ("Cannot assign a nil to a TDest" for a null Source).
    virtual void Assign(TPersistent* Source);

protected:
    virtual void AssignTo(TPersistent* Dest);
};

// -------------------------------------------------------------------- TList

// A list of untyped pointers; it owns nothing. Index errors raise
// EListError "List index out of bounds (%d)".
class TList : public TObject {
public:
    std::string ClassName() const override { return "TList"; }
    int Add(void* item);
    void Insert(int index, void* item);
    void Delete(int index);
    // Removes the first occurrence; returns its former index or -1.
    int Remove(void* item);
    void* Extract(void* item);
    int IndexOf(void* item) const;
    void Clear();
    int Count() const { return int(items_.size()); }
    void* Items(int index) const;
    void SetItems(int index, void* item);
    void* operator[](int index) const { return Items(index); }
    void* First() const;
    void* Last() const;
    void Exchange(int index1, int index2);
    void Move(int curIndex, int newIndex);
    // Drops null entries.
    void Pack();
    // compare returns <0, 0, >0.
    void Sort(const std::function<int(void*, void*)>& compare);
    std::vector<void*>& List() { return items_; }

private:
    void check(int index) const;
    std::vector<void*> items_;
};

// ----------------------------------------------------------------- TStrings

enum TDuplicates { dupIgnore, dupAccept, dupError };

// The abstract string list: a window's list items or memo lines derive from
// it and store the strings where they like; everything else is built on
// the small virtual protocol below. Each string may carry a TObject* the
// list does not own.
class TStrings : public TPersistent {
public:
    TStrings() = default;
    TStrings(const TStrings&) = delete;
    TStrings& operator=(const TStrings&) = delete;
    std::string ClassName() const override { return "TStrings"; }

    // --- the protocol a subclass implements
    virtual int Count() const = 0;
    virtual std::string Strings(int index) const = 0;
    virtual void SetStrings(int index, const std::string& s);
    virtual TObject* Objects(int index) const;
    virtual void SetObjects(int index, TObject* object);
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void InsertObject(int index, const std::string& s, TObject* object);
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // Called with true by the first BeginUpdate, false by the last EndUpdate.
    virtual void SetUpdateState(bool /*updating*/) {}

    // --- built on it
    virtual int Add(const std::string& s);
    virtual int AddObject(const std::string& s, TObject* object);
    void Append(const std::string& s) { Add(s); }
    void AddStrings(const TStrings* strings);
    void AddStrings(const std::vector<std::string>& strings);
    std::string operator[](int index) const { return Strings(index); }
    // Case-insensitive unless the list says otherwise (TStringList).
    virtual int IndexOf(const std::string& s) const;
    int IndexOfName(const std::string& name) const;
    int IndexOfObject(const TObject* object) const;
    virtual void Exchange(int index1, int index2);
    virtual void Move(int curIndex, int newIndex);
    bool Equals(const TStrings* other) const;
    void Assign(TPersistent* Source) override;
    std::vector<std::string> ToVector() const;

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

    // Every string followed by CR LF. Setting splits at CR LF, LF or CR.
    virtual std::string Text() const;
    virtual void SetText(const std::string& text);
    // Comma-separated; a string holding a blank, comma, quote or control
    // character (or empty) is written in double quotes with inner quotes
    // doubled. Reading splits at commas and at unquoted blanks.
    std::string CommaText() const;
    void SetCommaText(const std::string& text);
    // As CommaText with Delimiter and QuoteChar.
    std::string DelimitedText() const;
    void SetDelimitedText(const std::string& text);
    char Delimiter() const { return delimiter_; }
    void SetDelimiter(char c) { delimiter_ = c; }
    char QuoteChar() const { return quoteChar_; }
    void SetQuoteChar(char c) { quoteChar_ = c; }
    char NameValueSeparator() const { return nameValueSeparator_; }
    void SetNameValueSeparator(char c) { nameValueSeparator_ = c; }

    // "name=value" lines. Names(i) is "" for a line without "=". Values of a
    // missing name are ""; setting "" deletes the line, setting a new name
    // appends it.
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    void SetValueFromIndex(int index, const std::string& value);
    std::string Values(const std::string& name) const;
    void SetValues(const std::string& name, const std::string& value);

    // Files and streams hold GBK text with CR LF line ends; lines read are
    // split at CR LF, LF or CR. LoadFromFile raises EFOpenError, SaveToFile
    // EFCreateError (the old file stays whole: the write is atomic).
    virtual void LoadFromFile(const std::string& fileName);
    virtual void SaveToFile(const std::string& fileName) const;
    virtual void LoadFromStream(TStream* stream);
    virtual void SaveToStream(TStream* stream) const;

protected:
    // Case rule for IndexOf/IndexOfName/Values; TStringList overrides.
    virtual int CompareStrings(const std::string& a, const std::string& b) const;

private:
    std::string quotedJoin(char delimiter, char quote) const;
    void splitQuoted(const std::string& text, char delimiter, char quote);
    int updateCount_ = 0;
    char delimiter_ = ',';
    char quoteChar_ = '"';
    char nameValueSeparator_ = '=';
};

class TStringList;
using TStringListSortCompare = std::function<int(TStringList* list, int index1, int index2)>;

// The string list that keeps its own strings.
//
//  Sorted == false: strings stay where Add/Insert put them.
//  Sorted == true : the list is kept in order (CompareStrings); Add finds
//                   the place and applies Duplicates; Insert raises
//                   EListError "Operation not allowed on sorted list".
//
// OnChanging fires before and OnChange after every change, not while
// BeginUpdate is in force (OnChange then fires once at the last EndUpdate).
class TStringList : public TStrings {
public:
    TStringList() = default;
    std::string ClassName() const override { return "TStringList"; }

    int Count() const override { return int(items_.size()); }
    std::string Strings(int index) const override;
    void SetStrings(int index, const std::string& s) override;
    TObject* Objects(int index) const override;
    void SetObjects(int index, TObject* object) override;
    void Insert(int index, const std::string& s) override;
    void InsertObject(int index, const std::string& s, TObject* object) override;
    void Delete(int index) override;
    void Clear() override;
    int Add(const std::string& s) override;
    int AddObject(const std::string& s, TObject* object) override;
    int IndexOf(const std::string& s) const override;
    void Exchange(int index1, int index2) override;

    // Binary search of a sorted list (linear otherwise): true and the index
    // when found, else false and the index where s would go.
    virtual bool Find(const std::string& s, int& index) const;
    virtual void Sort();
    virtual void CustomSort(const TStringListSortCompare& compare);

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return duplicates_; }
    // dupError makes a duplicate Add raise EStringListError "String list
    // does not allow duplicates"; dupIgnore drops it. Sorted lists only.
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }
    // Off by default: comparisons ignore letter case.
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool on);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool updating) override;
    int CompareStrings(const std::string& a, const std::string& b) const override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item {
        std::string s;
        TObject* obj = nullptr;
    };
    void check(int index) const;
    void insertItem(int index, const std::string& s, TObject* obj);
    std::vector<Item> items_;
    bool sorted_ = false;
    bool caseSensitive_ = false;
    TDuplicates duplicates_ = dupIgnore;
};

// -------------------------------------------------------------- collections

class TCollection;

// One owned item of a TCollection. Constructing an item with a collection
// adds it there; deleting it removes it.
class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;
    std::string ClassName() const override { return "TCollectionItem"; }
    TCollection* Collection() const { return collection_; }
    // Moves the item to another collection (or none).
    void SetCollection(TCollection* collection);
    int Index() const;
    void SetIndex(int index);
    // Unique within the collection, never reused.
    int ID() const { return id_; }
    virtual std::string DisplayName() const;
    virtual void SetDisplayName(const std::string&) {}

protected:
    // Tells the collection this item (or with allItems every item) changed.
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

// Owns its items and deletes them. The factory makes the item kind this
// collection holds (the class library's item class).
//
// Update(item) runs after a change of one item, Update(nullptr) after a
// change of the whole collection (add, delete, move, clear), not while
// BeginUpdate is in force; the last EndUpdate runs Update(nullptr) once.
class TCollection : public TPersistent {
public:
    using ItemFactory = std::function<TCollectionItem*(TCollection*)>;
    explicit TCollection(ItemFactory factory = nullptr);
    ~TCollection() override;
    std::string ClassName() const override { return "TCollection"; }

    // A new item from the factory (a plain TCollectionItem without one).
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    // Deletes the item at index; EListError "List index out of bounds (%d)".
    void Delete(int index);
    void Clear();
    int Count() const { return int(items_.size()); }
    TCollectionItem* Items(int index) const;
    TCollectionItem* operator[](int index) const { return Items(index); }
    TCollectionItem* FindItemID(int id) const;
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }
    // Copies item by item through each item's Assign.
    void Assign(TPersistent* Source) override;
    // The persistent that owns this collection (TOwnedCollection), or null.
    virtual TPersistent* Owner() const { return nullptr; }

    // Called after each change as described above.
    std::function<void(TCollectionItem* item)> OnUpdate;

protected:
    virtual void Update(TCollectionItem* item);
    // Hooks for subclasses: an item entered or is about to leave.
    virtual void Added(TCollectionItem*) {}
    virtual void Deleting(TCollectionItem*) {}
    void Changed();

private:
    friend class TCollectionItem;
    void insertItem(TCollectionItem* item, int index);
    void removeItem(TCollectionItem* item);
    ItemFactory factory_;
    std::vector<TCollectionItem*> items_;
    int nextId_ = 0;
    int updateCount_ = 0;
};

class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* owner, ItemFactory factory) : TCollection(std::move(factory)), owner_(owner) {}
    TPersistent* Owner() const override { return owner_; }

private:
    TPersistent* owner_;
};

// --------------------------------------------------------------- TComponent

enum TOperation { opInsert, opRemove };
enum TComponentStateFlag {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = TSet<TComponentStateFlag>;

// A named, owned object. The owner deletes its components (the last added
// first) when it is deleted; a component deleted earlier leaves its owner's
// list by itself. Components that asked for FreeNotification are told
// (Notification(this, opRemove)) before this one goes, so they can drop
// their pointers to it.
//
// State: csLoading from Loading() until Loaded(); csDestroying from the
// start of the destructor. C++ runs this destructor after the subclass's,
// so a subclass that wants its own Notification override to see its
// components go (or needs csDestroying sooner) calls Destroying() and
// DestroyComponents() first thing in its own destructor.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* owner = nullptr);
    ~TComponent() override;
    std::string ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return owner_; }
    const std::string& Name() const { return name_; }
    // Raises EComponentError "A component named %s already exists" when a
    // sibling has the name (ignoring case). "" is always allowed.
    virtual void SetName(const std::string& name);
    intptr_t Tag() const { return tag_; }
    void SetTag(intptr_t tag) { tag_ = tag; }

    int ComponentCount() const { return int(components_.size()); }
    TComponent* Components(int index) const;
    // Position in the owner's list, -1 without owner.
    int ComponentIndex() const;
    // An owned component by name, ignoring case; null when none.
    TComponent* FindComponent(const std::string& name) const;
    // Takes ownership of component (from its old owner, if any).
    void InsertComponent(TComponent* component);
    // Gives up ownership without deleting it.
    void RemoveComponent(TComponent* component);
    // Deletes every owned component, the last first.
    void DestroyComponents();

    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    TComponentState ComponentState() const { return state_; }
    // Marks this component and its owned components as being loaded.
    virtual void Loading();
    // Ends loading: clears csLoading/csReading; subclasses finish their
    // set-up here and call the base.
    virtual void Loaded();
    // Sets csDestroying here and in every owned component.
    virtual void Destroying();
    void SetDesigning(bool designing);

    // Told of components inserted into / removed from the owner, and of
    // free-notified components going away.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void removeNotification(TComponent* component);
    TComponent* owner_ = nullptr;
    std::string name_;
    intptr_t tag_ = 0;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    TComponentState state_;
};

// ------------------------------------------------------------------ streams

enum : int { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };
enum TSeekOrigin : int { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// A stream of bytes with a position.
class TStream : public TObject {
public:
    std::string ClassName() const override { return "TStream"; }
    // Reads/writes up to count bytes at the position; returns the count
    // moved (short at the end of a read-only stream).
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    // origin: soFromBeginning/soFromCurrent/soFromEnd; returns the new
    // position.
    virtual int64_t Seek(int64_t offset, int origin) = 0;
    int64_t Position() { return Seek(0, soFromCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soFromBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t size);
    // Exactly count bytes or EReadError "Stream read error" /
    // EWriteError "Stream write error".
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    void WriteBuffer(std::string_view bytes) { WriteBuffer(bytes.data(), int64_t(bytes.size())); }
    // count bytes from source's position; count 0 copies the whole source
    // from its start. Returns the bytes copied.
    int64_t CopyFrom(TStream* source, int64_t count);
    // The bytes from the position to the end.
    std::string ReadRest();
};

// Bytes in memory. Memory() stays valid until the size changes.
class TMemoryStream : public TStream {
public:
    std::string ClassName() const override { return "TMemoryStream"; }
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, int origin) override;
    int64_t Size() override { return int64_t(data_.size()); }
    void SetSize(int64_t size) override;
    char* Memory() { return data_.data(); }
    const std::string& Bytes() const { return data_; }
    void Clear();
    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream);
    // EFOpenError / EFCreateError as TFileStream.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);

protected:
    std::string data_;
    int64_t pos_ = 0;
};

// A string as a stream; DataString is the whole content.
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(std::string data = "") { data_ = std::move(data); }
    std::string ClassName() const override { return "TStringStream"; }
    const std::string& DataString() const { return data_; }
    // count bytes from the position (fewer at the end).
    std::string ReadString(int64_t count);
    void WriteString(std::string_view s) { WriteBuffer(s); }
};

enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFFFF,
};

// A file as a stream. fmCreate makes or empties the file for writing
// (EFCreateError "Cannot create file \"%s\""); the open modes need the file
// (EFOpenError "Cannot open file \"%s\""). Share flags are accepted and not
// enforced: several copies of the program share files through the
// database's own locking.
class TFileStream : public TStream {
public:
    TFileStream(const std::string& fileName, uint16_t mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;
    std::string ClassName() const override { return "TFileStream"; }
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, int origin) override;
    void SetSize(int64_t size) override;
    const std::string& FileName() const { return fileName_; }
    int Handle() const { return fd_; }

private:
    std::string fileName_;
    int fd_ = -1;
};
