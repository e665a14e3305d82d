// Data sets, fields, data sources and data links: the one framework that every
// table-like object of the program shares (the ADO queries over SQLite, the
// in-memory table, the grids and data-aware edits that show them).
// Not here: SQL and the database connection (ADODB.h), the storage of any
// particular data set (derived classes store their own records through the
// record store protocol documented on TDataSet below).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "ScopeExit.h"
#include "System.h"
#include "Variants.h"

class TDataSet;
class TDataSetPrivate;
class TDataSource;
class TDataLink;
class TField;
class TFields;
class TFieldDef;
class TFieldDefs;

enum TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
    dsOldValue,
    dsCurValue,
    dsBlockRead,
    dsInternalCalc,
    dsOpening
};

// Numbered as the class library numbers them (0..37): stored table formats
// keep these numbers.
enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo,
    ftParadoxOle,
    ftDBaseOle,
    ftTypedBinary,
    ftCursor,
    ftFixedChar,
    ftWideString,
    ftLargeint,
    ftADT,
    ftArray,
    ftReference,
    ftDataSet,
    ftOraBlob,
    ftOraClob,
    ftVariant,
    ftInterface,
    ftIDispatch,
    ftGuid,
    ftTimeStamp,
    ftFMTBcd
};
// "Unknown", "String", "SmallInt", ... by type number.
const char* FieldTypeName(TFieldType t);

enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

enum TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    dePropertyChange,
    deFieldListChange,
    deFocusControl,
    deParentScroll,
    deConnectChange,
    deReconcileError,
    deDisabledStateChange
};

enum TDataAction { daFail, daAbort, daRetry };
enum TBlobStreamMode { bmRead, bmWrite, bmReadWrite };

enum TLocateOption { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned; // bit set of TLocateOption

enum TFilterOption { foCaseInsensitive = 1, foNoPartialCompare = 2 };
using TFilterOptions = unsigned;

enum TFieldAlignment { faLeftJustify, faRightJustify, faCenter };

// A bookmark is plain text so that callers may keep it in a string list and
// compare it with ==; what it encodes belongs to the data set that made it.
// The empty string is "no bookmark".
using TBookmark = std::string;
using TBookmarkStr = std::string;

// Identifies one stored record of a data set for as long as the record
// exists, whatever the order the records are shown in. Chosen by the derived
// data set; negative values are reserved for the base class.
using TRecordId = int64_t;
constexpr TRecordId kNoRecord = -1;
// Stands for the record being edited or inserted (the edit buffer).
constexpr TRecordId kEditBuffer = -2;

using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
using TDataSetErrorEvent = std::function<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;
using TFilterRecordEvent = std::function<void(TDataSet* DataSet, bool& Accept)>;
using TFieldNotifyEvent = std::function<void(TField* Sender)>;
using TFieldGetTextEvent = std::function<void(TField* Sender, std::string& Text, bool DisplayText)>;
using TFieldSetTextEvent = std::function<void(TField* Sender, const std::string& Text)>;
using TDataChangeEvent = std::function<void(TObject* Sender, TField* Field)>;

// Raises EDatabaseError with the message; with a component, the message is
// prefixed by "<component name>: " as the class library does.
[[noreturn]] void DatabaseError(const std::string& message, const TComponent* component = nullptr);

// ---------------------------------------------------------------- fields --

// One column of a data set. The value lives in the data set (its stored
// record, its edit buffer or its calculated-field buffer); the field holds
// only the column's description and converts values. Default fields are
// made and owned by the data set while it is open; persistent fields are
// made by the caller (owner: a form or the data set), attached with
// SetDataSet before the data set opens, and survive Close.
class TField : public TComponent {
public:
    explicit TField(TComponent* owner, TFieldType type = ftUnknown);
    ~TField() override;
    std::string ClassName() const override { return "TField"; }

    TDataSet* DataSet() const { return dataSet_; }
    // Attaches the field to a closed data set (or detaches it with nullptr).
    void SetDataSet(TDataSet* ds);

    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& name) { fieldName_ = name; }
    TFieldType DataType() const { return dataType_; }
    TFieldKind FieldKind() const { return fieldKind_; }
    void SetFieldKind(TFieldKind k) { fieldKind_ = k; }
    bool Calculated() const { return fieldKind_ == fkCalculated; }
    bool Lookup() const { return fieldKind_ == fkLookup; }
    // Position in Fields (0-based); SetIndex moves the field.
    int Index() const;
    void SetIndex(int index);
    // 1-based number of the field definition it is bound to; 0 when none.
    int FieldNo() const { return fieldNo_; }
    int Size() const { return size_; }
    void SetSize(int size) { size_ = size; }

    std::string DisplayLabel() const { return displayLabel_.empty() ? fieldName_ : displayLabel_; }
    void SetDisplayLabel(const std::string& s) { displayLabel_ = s; }
    std::string DisplayName() const { return DisplayLabel(); }
    // Characters; defaults by type (Size for strings, 10 for dates, ...).
    int DisplayWidth() const;
    void SetDisplayWidth(int w) { displayWidth_ = w; }
    const std::string& DisplayFormat() const { return displayFormat_; }
    void SetDisplayFormat(const std::string& s) { displayFormat_ = s; }
    const std::string& EditFormat() const { return editFormat_; }
    void SetEditFormat(const std::string& s) { editFormat_ = s; }
    const std::string& EditMask() const { return editMask_; }
    void SetEditMask(const std::string& s) { editMask_ = s; }
    TFieldAlignment Alignment() const;
    void SetAlignment(TFieldAlignment a) {
        alignment_ = a;
        alignmentSet_ = true;
    }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool Required() const { return required_; }
    void SetRequired(bool v) { required_ = v; }

    // Lookup fields: the value is LookupDataSet->Lookup(LookupKeyFields,
    // values of this data set's KeyFields, LookupResultField).
    const std::string& KeyFields() const { return keyFields_; }
    void SetKeyFields(const std::string& s) { keyFields_ = s; }
    TDataSet* LookupDataSet() const { return lookupDataSet_; }
    // The lookup data set is watched: when it is destroyed the field
    // forgets it (and reads Null).
    void SetLookupDataSet(TDataSet* ds);
    const std::string& LookupKeyFields() const { return lookupKeyFields_; }
    void SetLookupKeyFields(const std::string& s) { lookupKeyFields_ = s; }
    const std::string& LookupResultField() const { return lookupResultField_; }
    void SetLookupResultField(const std::string& s) { lookupResultField_ = s; }

    // Values. Reading needs an open data set; writing needs the edit, insert
    // or set-key state ("Dataset not in edit or insert mode") and a field
    // that is not read-only ("Field '%s' cannot be modified"). Conversions
    // raise EConvertError / EDatabaseError with the class library's texts.
    Variant Value() const { return GetValue(); }
    void SetValue(const Variant& v) { SetAsVariant(v); }
    Variant AsVariant() const { return GetValue(); }
    virtual void SetAsVariant(const Variant& v);
    virtual std::string AsString() const;
    virtual void SetAsString(const std::string& s);
    virtual int AsInteger() const;
    virtual void SetAsInteger(int v);
    virtual int64_t AsLargeInt() const;
    virtual void SetAsLargeInt(int64_t v);
    virtual double AsFloat() const;
    virtual void SetAsFloat(double v);
    virtual Currency AsCurrency() const;
    virtual void SetAsCurrency(Currency v);
    virtual TDateTime AsDateTime() const;
    virtual void SetAsDateTime(TDateTime v);
    virtual bool AsBoolean() const;
    virtual void SetAsBoolean(bool v);
    bool IsNull() const;
    void Clear() { SetAsVariant(Null()); }
    // The stored value before the current edit (Null for an inserted record)
    // and the value in the edit buffer.
    Variant OldValue() const;
    Variant NewValue() const;
    Variant CurValue() const { return OldValue(); }

    // Text for display (DisplayFormat) and for editing (EditFormat), through
    // OnGetText when assigned. SetText goes through OnSetText when assigned.
    std::string DisplayText() const { return GetText(true); }
    std::string Text() const { return GetText(false); }
    void SetText(const std::string& s);

    virtual bool IsBlob() const { return false; }
    // Whether a typed character may go into the field's edit text.
    virtual bool IsValidChar(char32_t c) const { return true; }
    bool CanModify() const;
    // Asks the data-aware control showing this field to take the focus.
    void FocusControl();

    TFieldGetTextEvent OnGetText;
    TFieldSetTextEvent OnSetText;
    TFieldNotifyEvent OnValidate;
    TFieldNotifyEvent OnChange;

    void Notification(TComponent* component, TOperation operation) override;

    // Position among the stored values (data and internal-calculated
    // fields) of the data set's records; -1 for other kinds. A data field
    // bound to a field definition has its definition's position (FieldNo-1);
    // stored fields without a definition follow the definitions. Derived
    // data sets index their record storage with it.
    int StoreIndex() const { return storeIndex_; }
    // Position in the calculated-value buffer (calculated and lookup
    // fields); -1 for other kinds.
    int CalcIndex() const { return calcIndex_; }

protected:
    Variant GetValue() const;
    // Stores v (already converted to the field's kind) into the data set.
    void SetData(const Variant& v);
    // The text of a non-null value; DisplayText selects the display format.
    virtual std::string FormatText(const Variant& v, bool displayText) const;
    // Converts a value assigned through SetAsVariant to the field's kind.
    virtual Variant Convert(const Variant& v) const { return v; }
    std::string GetText(bool displayText) const;
    [[noreturn]] void ConvertError(const std::string& kind) const;

    TFieldType dataType_;
    int size_ = 0;
    TFieldAlignment alignment_ = faLeftJustify;
    bool alignmentSet_ = false;

private:
    friend class TDataSet;
    friend class TFields;
    TDataSet* dataSet_ = nullptr;
    std::string fieldName_, displayLabel_, displayFormat_, editFormat_, editMask_;
    TFieldKind fieldKind_ = fkData;
    int fieldNo_ = 0;
    int displayWidth_ = 0;
    bool visible_ = true, readOnly_ = false, required_ = false;
    bool defaultField_ = false;
    std::string keyFields_, lookupKeyFields_, lookupResultField_;
    TDataSet* lookupDataSet_ = nullptr;
    int storeIndex_ = -1, calcIndex_ = -1;
};

// Text of at most Size characters (UTF-8 characters, not bytes); longer text
// is cut on assignment. Size 0 means no limit.
class TStringField : public TField {
public:
    explicit TStringField(TComponent* owner, TFieldType type = ftString) : TField(owner, type) { size_ = 20; }
    std::string ClassName() const override { return "TStringField"; }
    void SetAsString(const std::string& s) override;
    int AsInteger() const override;
    double AsFloat() const override;
    bool AsBoolean() const override;

protected:
    Variant Convert(const Variant& v) const override;
};

// Base of the number fields: MinValue/MaxValue range check when either is
// non-zero ("%g is not a valid value for field '%s'. The allowed range is %g to %g").
class TNumericField : public TField {
public:
    using TField::TField;
    double MinValue() const { return minValue_; }
    void SetMinValue(double v) { minValue_ = v; }
    double MaxValue() const { return maxValue_; }
    void SetMaxValue(double v) { maxValue_ = v; }
    bool IsValidChar(char32_t c) const override;

protected:
    void CheckRange(double v) const;
    double minValue_ = 0, maxValue_ = 0;
};

class TIntegerField : public TNumericField {
public:
    explicit TIntegerField(TComponent* owner, TFieldType type = ftInteger) : TNumericField(owner, type) {
        alignment_ = faRightJustify;
    }
    std::string ClassName() const override { return "TIntegerField"; }
    std::string AsString() const override;
    void SetAsString(const std::string& s) override;
    bool IsValidChar(char32_t c) const override;

protected:
    Variant Convert(const Variant& v) const override;
    std::string FormatText(const Variant& v, bool displayText) const override;
};
class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(TComponent* owner) : TIntegerField(owner, ftSmallint) {}
    std::string ClassName() const override { return "TSmallintField"; }
};
class TWordField : public TIntegerField {
public:
    explicit TWordField(TComponent* owner) : TIntegerField(owner, ftWord) {}
    std::string ClassName() const override { return "TWordField"; }
};
class TAutoIncField : public TIntegerField {
public:
    explicit TAutoIncField(TComponent* owner) : TIntegerField(owner, ftAutoInc) {}
    std::string ClassName() const override { return "TAutoIncField"; }
};
class TLargeintField : public TIntegerField {
public:
    explicit TLargeintField(TComponent* owner) : TIntegerField(owner, ftLargeint) {}
    std::string ClassName() const override { return "TLargeintField"; }
};

// Double precision. Currency() switches the default text to money with two
// decimals; Precision is the significant digits of the default text (15).
class TFloatField : public TNumericField {
public:
    explicit TFloatField(TComponent* owner, TFieldType type = ftFloat) : TNumericField(owner, type) {
        alignment_ = faRightJustify;
    }
    std::string ClassName() const override { return "TFloatField"; }
    bool Currency() const { return currency_; }
    void SetCurrency(bool v) { currency_ = v; }
    int Precision() const { return precision_; }
    void SetPrecision(int p) { precision_ = p; }
    std::string AsString() const override;
    void SetAsString(const std::string& s) override;

protected:
    Variant Convert(const Variant& v) const override;
    std::string FormatText(const Variant& v, bool displayText) const override;
    bool currency_ = false;
    int precision_ = 15;
};

// Exact money (Currency, four decimals); values read back are exactly the
// values written.
class TCurrencyField : public TFloatField {
public:
    explicit TCurrencyField(TComponent* owner, TFieldType type = ftCurrency) : TFloatField(owner, type) {
        currency_ = true;
    }
    std::string ClassName() const override { return "TCurrencyField"; }
    void SetAsString(const std::string& s) override;

protected:
    Variant Convert(const Variant& v) const override;
};
class TBCDField : public TCurrencyField {
public:
    explicit TBCDField(TComponent* owner) : TCurrencyField(owner, ftBCD) { currency_ = false; }
    std::string ClassName() const override { return "TBCDField"; }
};

// DisplayValues "True text;False text" (e.g. "是;否") gives the text of both
// values and is accepted back by SetAsString; without it "True"/"False".
class TBooleanField : public TField {
public:
    explicit TBooleanField(TComponent* owner) : TField(owner, ftBoolean) {}
    std::string ClassName() const override { return "TBooleanField"; }
    const std::string& DisplayValues() const { return displayValues_; }
    void SetDisplayValues(const std::string& s) { displayValues_ = s; }
    void SetAsString(const std::string& s) override;

protected:
    Variant Convert(const Variant& v) const override;
    std::string FormatText(const Variant& v, bool displayText) const override;

private:
    std::string displayValues_;
};

// Date and time values (TDateTime day numbers). The default text is
// "yyyy-MM-dd" for dates, "hh:nn:ss" for times, both for date-times (the
// time only when there is one).
class TDateTimeField : public TField {
public:
    explicit TDateTimeField(TComponent* owner, TFieldType type = ftDateTime) : TField(owner, type) {}
    std::string ClassName() const override { return "TDateTimeField"; }
    void SetAsString(const std::string& s) override;

protected:
    Variant Convert(const Variant& v) const override;
    std::string FormatText(const Variant& v, bool displayText) const override;
};
class TDateField : public TDateTimeField {
public:
    explicit TDateField(TComponent* owner) : TDateTimeField(owner, ftDate) {}
    std::string ClassName() const override { return "TDateField"; }
};
class TTimeField : public TDateTimeField {
public:
    explicit TTimeField(TComponent* owner) : TDateTimeField(owner, ftTime) {}
    std::string ClassName() const override { return "TTimeField"; }
};

// Bytes of any length, held as a string value. DisplayText shows "(BLOB)",
// "(MEMO)" or "(GRAPHIC)" (the class library's texts); AsString is the bytes.
class TBlobField : public TField {
public:
    explicit TBlobField(TComponent* owner, TFieldType type = ftBlob) : TField(owner, type) { size_ = 0; }
    std::string ClassName() const override { return "TBlobField"; }
    bool IsBlob() const override { return true; }
    std::string AsString() const override;
    void LoadFromStream(TStream* s);
    void SaveToStream(TStream* s) const;
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

protected:
    Variant Convert(const Variant& v) const override;
    std::string FormatText(const Variant& v, bool displayText) const override;
};
class TMemoField : public TBlobField {
public:
    explicit TMemoField(TComponent* owner) : TBlobField(owner, ftMemo) {}
    std::string ClassName() const override { return "TMemoField"; }
};
class TGraphicField : public TBlobField {
public:
    explicit TGraphicField(TComponent* owner) : TBlobField(owner, ftGraphic) {}
    std::string ClassName() const override { return "TGraphicField"; }
};

// Makes the field class the class library uses for a type (TStringField for
// ftString/ftFixedChar/ftWideString, TMemoField for ftMemo/ftFmtMemo, ...).
// Raises EDatabaseError "Field type %s not supported" for the others.
TField* CreateFieldOfType(TFieldType type, TComponent* owner);

// The fields of a data set, in order. Does not own them.
class TFields {
public:
    int Count() const { return int(list_.size()); }
    TField* operator[](int i) const { return list_.at(size_t(i)); }
    TField* Fields(int i) const { return list_.at(size_t(i)); }
    TField* FindField(const std::string& name) const;
    // Raises EDatabaseError "Field '%s' not found" (prefixed by the data set's name).
    TField* FieldByName(const std::string& name) const;
    int IndexOf(const TField* f) const;
    auto begin() const { return list_.begin(); }
    auto end() const { return list_.end(); }

private:
    friend class TDataSet;
    friend class TField;
    TDataSet* owner_ = nullptr;
    std::vector<TField*> list_;
};

// ----------------------------------------------------- field definitions --

class TFieldDef {
public:
    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
    bool Required = false;
    int Precision = 0;
    // 1-based position in the definitions.
    int FieldNo = 0;
    TField* CreateField(TComponent* owner) const;
};

class TFieldDefs {
public:
    int Count() const { return int(defs_.size()); }
    TFieldDef& operator[](int i) { return defs_.at(size_t(i)); }
    const TFieldDef& operator[](int i) const { return defs_.at(size_t(i)); }
    TFieldDef& Items(int i) { return defs_.at(size_t(i)); }
    TFieldDef& Add(const std::string& name, TFieldType type, int size = 0, bool required = false);
    void Clear() { defs_.clear(); }
    // -1 when absent; names match without regard to case.
    int IndexOf(const std::string& name) const;
    TFieldDef* Find(const std::string& name);
    auto begin() { return defs_.begin(); }
    auto end() { return defs_.end(); }
    auto begin() const { return defs_.begin(); }
    auto end() const { return defs_.end(); }

private:
    std::vector<TFieldDef> defs_;
};

enum TIndexOption {
    ixPrimary = 1,
    ixUnique = 2,
    ixDescending = 4,
    ixCaseInsensitive = 8,
    ixExpression = 16,
    ixNonMaintained = 32
};
using TIndexOptions = unsigned;

class TIndexDef {
public:
    std::string Name;
    std::string Fields; // "A;B"
    TIndexOptions Options = 0;
    std::string DescFields; // fields sorted descending
    std::string CaseInsFields;
};

class TIndexDefs {
public:
    int Count() const { return int(defs_.size()); }
    TIndexDef& operator[](int i) { return defs_.at(size_t(i)); }
    const TIndexDef& operator[](int i) const { return defs_.at(size_t(i)); }
    TIndexDef& Add(const std::string& name, const std::string& fields, TIndexOptions options);
    void Clear() { defs_.clear(); }
    int IndexOf(const std::string& name) const;
    TIndexDef* Find(const std::string& name);
    void Delete(int i) { defs_.erase(defs_.begin() + i); }
    auto begin() { return defs_.begin(); }
    auto end() { return defs_.end(); }
    auto begin() const { return defs_.begin(); }
    auto end() const { return defs_.end(); }

private:
    std::vector<TIndexDef> defs_;
};

// ------------------------------------------------------------ data set --

// The cursor over a sequence of records.
//
//                    Open                       Edit
//   dsInactive  ───────────────►  dsBrowse  ───────────►  dsEdit
//        ▲        ◄───────────     │  ▲  ▲   ◄───────────
//        │           Close         │  │  │   Post / Cancel
//        │                  Insert │  │  │ Post / Cancel
//        │                 /Append ▼  │  │
//        │                       dsInsert
//   (Close from any state cancels a pending edit first.)
//   Navigation (First/Next/Prior/Last/MoveBy/RecNo/Locate/GotoBookmark) from
//   dsEdit/dsInsert posts a modified record first and cancels an unmodified
//   one (CheckBrowseMode). dsSetKey, dsCalcFields, dsFilter, dsOldValue and
//   dsNewValue are passing states entered by the base class (or a derived
//   class) around one operation and left before it returns.
//
// Invariant while open: 0 <= cursor < presented count, or cursor == -1 and
// the data set is empty (not counting a record being inserted). The
// presented records are the stored ones (store positions 0..n-1) that pass
// the filter, in store order.
//
// ---- Record store protocol (for derived data sets) ----
// The base class owns the cursor, the edit buffer, calculated and lookup
// fields, the filter, bookmarks, Locate/Lookup and every data-link
// notification; a derived class only stores records. It implements:
//   StoreOpen / StoreClose   load or build the records; StoreOpen fills
//                            FieldDefs when the data set has no persistent
//                            data fields; the base then makes the fields.
//   StoreRecordCount         number of stored records, in presentation order.
//   StoreRecordId(pos)       the stable id of the record at position pos.
//   StorePosition(id)        the position of a record, -1 when it is gone.
//   StoreValue(id, field)    the stored value of a data / internal-calc
//                            field (index the record with field.StoreIndex()).
//   StorePost(request)       writes the edit buffer (insert or update) and
//                            returns the stored record's id; may throw
//                            EDatabaseError, the record then stays in edit.
//   StoreDelete(id)          removes the record; may throw.
// and may override the hooks StoreInitRecord, StoreEdit, StoreCancel,
// StoreNeedsFilter/StoreAcceptRecord (extra record filters such as a
// master-detail key), the bookmark trio, GetCanModify, GetDataSource,
// Locate/Lookup (to use an index), CreateBlobStream and IsSequenced.
// When the stored records change outside Post/Delete (a re-sort, a master
// scroll, a refresh), the derived class calls Resync(). A derived class calls
// Close() in its own destructor: by the time ~TDataSet runs, StoreClose is
// gone.
class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* owner);
    ~TDataSet() override;
    std::string ClassName() const override { return "TDataSet"; }

    // Opening: BeforeOpen, StoreOpen, fields made and bound, first record,
    // AfterOpen, AfterScroll. A failure leaves the data set closed and
    // rethrows. Closing: BeforeClose, pending edit cancelled, StoreClose,
    // default fields freed, AfterClose.
    void Open();
    void Close();
    bool Active() const;
    void SetActive(bool v) { v ? Open() : Close(); }
    TDataSetState State() const;

    void First();
    void Last();
    void Next();
    void Prior();
    // Moves up to |distance| records; returns the distance actually moved.
    int MoveBy(int distance);
    bool Eof() const;
    bool Bof() const;
    bool IsEmpty() const;
    // Presented records (a record being inserted not counted).
    virtual int RecordCount() const;
    // 1-based number of the current record; -1 when there is none (empty, or
    // a record being inserted). In OnCalcFields, the record being calculated.
    virtual int RecNo() const;
    // Goes to record n (1..RecordCount); other numbers are ignored.
    virtual void SetRecNo(int n);

    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Posts a modified pending edit, cancels an unmodified one.
    void CheckBrowseMode();
    // Lets data-aware controls write their edited text into the fields.
    void UpdateRecord();
    // Re-reads the records (a derived class's StoreRefresh); keeps the
    // position where the current record still exists.
    void Refresh();
    bool CanModify() const { return GetCanModify(); }
    bool Modified() const;

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const;

    // Filter text: comparisons of fields with literals ('text', numbers),
    // =, <>, <, >, <=, >=, "is null", and/or/not and parentheses; a text
    // literal ending in '*' matches a prefix unless foNoPartialCompare.
    const std::string& Filter() const;
    void SetFilter(const std::string& text);
    bool Filtered() const;
    void SetFiltered(bool v);
    TFilterOptions FilterOptions() const;
    void SetFilterOptions(TFilterOptions o);

    // Bookmarks. GetBookmark of an empty data set or of a record being
    // inserted gives "" (no bookmark); while a data link reads one of its
    // window rows, it gives that row's bookmark, as RecNo gives its number.
    // GotoBookmark raises EDatabaseError "Record not found" when the record
    // is gone.
    TBookmark GetBookmark() const;
    void GotoBookmark(const TBookmark& b);
    void FreeBookmark(TBookmark&) {}
    virtual bool BookmarkValid(const TBookmark& b) const;
    virtual int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;
    TBookmark Bookmark() const { return GetBookmark(); }
    void SetBookmark(const TBookmark& b) { GotoBookmark(b); }

    // keyFields "A;B"; keyValues a single value or a variant array (one
    // element per field). Strings compare exactly unless loCaseInsensitive;
    // loPartialKey matches string prefixes. Found: the record becomes
    // current (scroll events) and true is returned; else nothing moves.
    virtual bool Locate(const std::string& keyFields, const Variant& keyValues, TLocateOptions options = 0);
    // The resultFields value(s) of the first matching record (exact match),
    // a variant array for several fields; Null when none. Does not move.
    virtual Variant Lookup(const std::string& keyFields, const Variant& keyValues, const std::string& resultFields);

    TFields& Fields();
    const TFields& Fields() const;
    int FieldCount() const;
    TField* FindField(const std::string& name) const;
    TField* FieldByName(const std::string& name) const;
    // "A;B" gives a variant array.
    Variant FieldValues(const std::string& names) const;
    void SetFieldValues(const std::string& names, const Variant& v);
    void GetFieldNames(TStrings* list) const;
    TFieldDefs& FieldDefs();
    const TFieldDefs& FieldDefs() const;
    // True when the fields are made at open from FieldDefs (no persistent fields).
    bool DefaultFields() const;
    bool AutoCalcFields() const;
    void SetAutoCalcFields(bool v);

    // Stream over a blob field of the current record; bmWrite and
    // bmReadWrite need the edit or insert state. The written bytes reach the
    // field when the stream is destroyed.
    virtual std::unique_ptr<TStream> CreateBlobStream(TField* field, TBlobStreamMode mode);

    // Whether RecNo and RecordCount are exact positions (false while filtered).
    virtual bool IsSequenced() const { return !filterActive(); }
    // Whether this data set (or its master chain) is fed by the data source.
    bool IsLinkedTo(TDataSource* source) const;
    // The master data source of a detail data set; nullptr when none.
    TDataSource* DataSource() const { return GetDataSource(); }

    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent BeforeRefresh, AfterRefresh;
    TDataSetNotifyEvent OnNewRecord, OnCalcFields;
    TFilterRecordEvent OnFilterRecord;
    TDataSetErrorEvent OnPostError, OnEditError, OnDeleteError;

    // The parsed Filter text (Filter.cpp).
    struct FilterExpr;

    // -- used by TField, TDataSource and TDataLink --
    Variant GetFieldValue(const TField* f) const;
    void SetFieldValue(TField* f, const Variant& v) { WriteFieldValue(f, v); }
    Variant GetOldFieldValue(const TField* f) const;
    void DataEvent(TDataEvent event, intptr_t info = 0);
    // The value of any field (calculated and lookup fields included) of a
    // stored record, or of the edit buffer with kEditBuffer.
    Variant RecordValue(TRecordId id, const TField* f) const;

protected:
    // ---- record store protocol; see the class comment ----
    virtual void StoreOpen() = 0;
    virtual void StoreClose() = 0;
    virtual int StoreRecordCount() const = 0;
    virtual TRecordId StoreRecordId(int pos) const = 0;
    // Default: linear search through StoreRecordId.
    virtual int StorePosition(TRecordId id) const;
    virtual Variant StoreValue(TRecordId id, const TField& field) const = 0;
    struct PostRequest {
        bool inserting;
        // Insert: the store position the record was inserted before
        // (StoreRecordCount() for Append). Edit: the record's position.
        int position;
        // Edit: the record being changed; insert: kNoRecord.
        TRecordId id;
        // Indexed by StoreIndex(); old values are Null for an insert.
        const std::vector<Variant>& values;
        const std::vector<Variant>& oldValues;
        // Which stored values were assigned during the edit.
        const std::vector<bool>& changed;
    };
    virtual TRecordId StorePost(const PostRequest& request) = 0;
    virtual void StoreDelete(TRecordId id) = 0;
    // Defaults of a new record (all Null by default), before OnNewRecord.
    virtual void StoreInitRecord(std::vector<Variant>& values) {}
    virtual void StoreEdit(TRecordId id) {}
    virtual void StoreCancel() {}
    // Re-reads the records; default does nothing.
    virtual void StoreRefresh() {}
    // An extra record filter of the derived class (e.g. a master key); the
    // base filters with it when StoreNeedsFilter() says so.
    virtual bool StoreNeedsFilter() const { return false; }
    virtual bool StoreAcceptRecord(TRecordId id) const { return true; }
    // Bookmark text of a record, and back (kNoRecord when unknown). Default:
    // the id in decimal digits; comparison by id.
    virtual TBookmark StoreBookmark(TRecordId id) const;
    virtual TRecordId StoreBookmarkRecord(const TBookmark& b) const;
    virtual bool GetCanModify() const { return true; }
    virtual TDataSource* GetDataSource() const { return nullptr; }
    // The field class for a definition when default fields are made.
    virtual TField* CreateDefaultField(const TFieldDef& def);
    // Lookup fields, then OnCalcFields; runs in dsCalcFields.
    virtual void CalculateFields();
    // Writes a field value into the edit (or key / calculation) buffer after
    // the state and read-only checks; an override may check more and then
    // call the base.
    virtual void WriteFieldValue(TField* f, const Variant& v);
    // Event dispatch points: each runs its handler; an override may add work
    // before or after (e.g. load a file after opening).
    virtual void DoBeforeOpen() {
        if (BeforeOpen) BeforeOpen(this);
    }
    virtual void DoAfterOpen() {
        if (AfterOpen) AfterOpen(this);
    }
    virtual void DoBeforeClose() {
        if (BeforeClose) BeforeClose(this);
    }
    virtual void DoAfterClose() {
        if (AfterClose) AfterClose(this);
    }
    virtual void DoBeforePost() {
        if (BeforePost) BeforePost(this);
    }
    virtual void DoAfterPost() {
        if (AfterPost) AfterPost(this);
    }
    virtual void DoBeforeDelete() {
        if (BeforeDelete) BeforeDelete(this);
    }
    virtual void DoAfterDelete() {
        if (AfterDelete) AfterDelete(this);
    }
    virtual void DoBeforeScroll() {
        if (BeforeScroll) BeforeScroll(this);
    }
    virtual void DoAfterScroll() {
        if (AfterScroll) AfterScroll(this);
    }
    virtual void DoOnNewRecord() {
        if (OnNewRecord) OnNewRecord(this);
    }

    // ---- services for derived classes ----
    // Re-reads the presented order after the store changed by itself
    // (re-sort, master scroll, reload) and notifies the links. The cursor
    // goes to `keep` (take ActiveRecordId() before changing the store) when
    // that record is still presented, else stays at the nearest position.
    void Resync(TRecordId keep = kNoRecord);
    // Makes a stored record current (scroll events, links told); false
    // when it is not presented (filtered out or gone).
    bool GotoRecord(TRecordId id);
    // Changes the state and tells the links (e.g. dsSetKey until GotoKey).
    void SetState(TDataSetState s);
    // Enters a passing state without telling anyone; RestoreState leaves it.
    TDataSetState SetTempState(TDataSetState s);
    void RestoreState(TDataSetState s);
    // The values written to fields in dsSetKey (indexed by StoreIndex()).
    std::vector<Variant>& KeyBuffer();
    int StoreFieldCount() const;
    // The current record's id, kEditBuffer in edit/insert, kNoRecord when empty.
    TRecordId ActiveRecordId() const;
    // Position of the cursor among the presented records (-1 when none).
    int CursorIndex() const;
    void CheckActive() const;
    void CheckEditing() const;

private:
    friend class TDataLink;
    friend class TField;
    friend class TDataSource;
    friend class TFields;

    bool filterActive() const;
    bool evalFilter() const;
    int presentedCount() const;        // stored records passing the filter
    TRecordId idAt(int index) const;   // presented index -> id
    int indexOfId(TRecordId id) const; // id -> presented index, -1
    void rebuildView();
    bool acceptRecord(TRecordId id) const;
    TRecordId readRecord() const; // the record field reads resolve to
    void ensureCalc(TRecordId id) const;
    void bindFields();
    void unbindFields();
    // Makes presented record `index` current (-1: none); checks the
    // invariant stated above the class.
    void setCursor(int index);
    void beginInsert(bool append);
    void finishInsertOrEdit();
    bool keyMatches(TRecordId id, const std::vector<TField*>& keys, const std::vector<Variant>& values,
                    TLocateOptions options) const;
    std::vector<TField*> fieldList(const std::string& names) const;
    void notifyLinks(TDataEvent event, intptr_t info);
    void addDataSource(TDataSource* ds);
    void removeDataSource(TDataSource* ds);
    void addField(TField* f);
    void removeField(TField* f);

    // Everything the cursor keeps (DataSet_p.h), reached by this layer's
    // own units through TDataSetPrivate::get.
    friend class TDataSetPrivate;
    std::unique_ptr<TDataSetPrivate> d_;
};

// Keeps a data set's controls still (DisableControls) until the scope ends,
// on every way out; a null data set is allowed and left alone.
//   TDisableControls still(ds);  ... walk the records ...
class [[nodiscard]] TDisableControls {
public:
    explicit TDisableControls(TDataSet* ds) : enable_(Enable{ds}) {
        if (ds) ds->DisableControls();
    }

private:
    struct Enable {
        TDataSet* ds;
        void operator()() const {
            if (ds) ds->EnableControls();
        }
    };
    ScopeExit<Enable> enable_;
};

// --------------------------------------------- data sources and data links --

// Connects one data set to any number of data links (grids, edits) and
// passes the data set's notifications on.
class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* owner);
    ~TDataSource() override;
    std::string ClassName() const override { return "TDataSource"; }
    TDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(TDataSet* ds);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool AutoEdit() const { return autoEdit_; }
    void SetAutoEdit(bool v) { autoEdit_ = v; }
    // dsInactive without a data set or while disabled.
    TDataSetState State() const;
    // Puts the data set in edit state when AutoEdit and it is browsing.
    void Edit();
    bool IsLinkedTo(TDataSet* ds) const;

    TDataChangeEvent OnDataChange;
    TNotifyEvent OnStateChange;
    TNotifyEvent OnUpdateData;

private:
    friend class TDataSet;
    friend class TDataLink;
    void dataEvent(TDataEvent event, intptr_t info);
    TDataSet* dataSet_ = nullptr;
    bool enabled_ = true, autoEdit_ = true;
    TDataSetState lastState_ = dsInactive;
    std::vector<TDataLink*> links_;
};

// The base of everything that shows a data set: grids set BufferCount to
// their visible rows and read row r by setting ActiveRecord = r; the window
// of BufferCount records follows the current record (DataSetScrolled tells
// how far it moved). Reading a row costs the same whatever the data set's size.
class TDataLink {
public:
    TDataLink();
    virtual ~TDataLink();
    TDataSource* DataSource() const { return dataSource_; }
    void SetDataSource(TDataSource* ds);
    TDataSet* DataSet() const;
    bool Active() const { return active_; }
    // Row of the current record inside the window (0..BufferCount-1).
    int ActiveRecord() const;
    // Makes row r of the window the one that field reads see, until set
    // back; r outside the window's records is ignored.
    void SetActiveRecord(int r);
    int BufferCount() const { return bufferCount_; }
    void SetBufferCount(int n);
    // Records in the window (at most BufferCount).
    int RecordCount() const;
    bool Editing() const { return editing_; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v);
    // Puts the data set in edit state through the data source (AutoEdit);
    // returns Editing().
    bool Edit();
    // Asks this link (and every other) to write its edits into the fields.
    void UpdateRecord();
    bool Eof() const;
    bool Bof() const;
    int MoveBy(int distance);

protected:
    virtual void ActiveChanged() {}
    virtual void CheckBrowseMode() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int distance) { DataSetChanged(); }
    virtual void EditingChanged() {}
    virtual void FocusControl(TField** field) {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* field) {}
    virtual void UpdateData() {}

private:
    friend class TDataSource;
    friend class TDataSet;
    void dataEvent(TDataEvent event, intptr_t info);
    void updateState();
    // Keeps the current record inside the window; returns how far it moved.
    int adjustWindow();
    // Records the window can show: the presented ones plus one being inserted.
    int presented() const;
    // Gives field reads back to the current record.
    void releaseRead();
    int readRow_ = 0;
    TDataSource* dataSource_ = nullptr;
    int bufferCount_ = 1;
    int first_ = 0; // presented index of window row 0
    bool active_ = false, editing_ = false, readOnly_ = false, updating_ = false;
};

// Links one field to one data-aware control. The field is looked up by
// FieldName when the link becomes active; a missing field raises
// "<control name>: Field '<name>' not found".
//
// A library's own field link extends this one through two hooks:
// ResolveField (which field the link shows, if any) and SetText/SetValue
// (where a value the control writes is kept); CanModify, the data link's
// notifications and SetEditing let it keep an edit mode of its own.
class TFieldDataLink : public TDataLink {
public:
    TField* Field() const { return field_; }
    const std::string& FieldName() const { return fieldName_; }
    void SetFieldName(const std::string& name);
    TComponent* Control() const { return control_; }
    // Editing, and the field can be modified.
    bool Editing() const { return fieldEditing_; }
    void SetControl(TComponent* c) { control_ = c; }
    bool Modified() const { return modified_; }
    // Marks the control's text as changed (to be written by UpdateData).
    void Modify() { modified_ = true; }
    // Re-shows the field's value, dropping the control's changes.
    void Reset();
    virtual bool CanModify() const;
    // Writes what the control holds: into the field by default, which
    // converts and checks it (its errors reach the caller and the field
    // keeps its old value); without a field nothing is written. A memo
    // takes the text as it stands.
    virtual void SetText(const std::string& s);
    virtual void SetValue(const Variant& v);

    TNotifyEvent OnDataChange;
    TNotifyEvent OnEditingChange;
    TNotifyEvent OnUpdateData;
    TNotifyEvent OnActiveChange;
    // Called when the data set asks the control of this field to take the focus.
    TNotifyEvent OnFocusRequest;

protected:
    // The field the link shows: by default the data set's field named
    // FieldName while the link is active, else nullptr; raises when the
    // data set has no such field.
    virtual TField* ResolveField();
    // Resolves the field again; when a field comes, goes or is resolved
    // afresh, re-announces the editing state and the record.
    void UpdateField();
    // Enters or leaves editing; a change clears Modified and, when
    // `announce`, fires OnEditingChange.
    void SetEditing(bool editing, bool announce = true);
    void SetModified(bool v) { modified_ = v; }
    void ActiveChanged() override;
    void EditingChanged() override;
    void FocusControl(TField** field) override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    bool fieldEditing_ = false;
    TField* field_ = nullptr;
    std::string fieldName_;
    TComponent* control_ = nullptr;
    bool modified_ = false;
};
