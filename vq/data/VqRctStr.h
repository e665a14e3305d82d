// The bill-structure table: an in-memory table that also carries the
// structure of a bill (its fields with captions, lookups, defaults, rights
// and controls; its search conditions; the master table and the SQL that
// reads it). From a structure it builds a data grid's columns, fills
// defaults and line numbers on new lines, follows lookups when a field is
// typed, and saves a grid's layout back into the structure.
//
// Structures are kept in the shared data module's system database, which
// this system never assigns: loading, saving and the master-table routines
// give their failure values (false, 0, the table unchanged). What works
// without it is everything done on a structure built in code.
#pragma once

#include <string>
#include <vector>

#include "ADODB.h"
#include "vq/VqMemTable.h"
#include "vq/data/VqStream.h"

class TVQCustomDBGrid;
class TVQRctStr;

// One field of a bill. FieldName is as written in the master query and
// may be "expression as alias".
struct TMstSection {
    std::string FieldName;
    std::string TableName;
    std::string CFieldName;
    // The table to look the value up in, then "[column]" compared with it.
    std::string LookUp;
    bool IsReadOnly = false;
    // "系统时间" puts today's date into a date-time field of a new line.
    std::string DefaultValue;
    std::string MaxValue;
    std::string MinValue;
    bool Visible = false;
    bool CanNull = true;
    // The field whose change fills this one: "Name" or "Name[column]".
    std::string LookupKey;
    std::string ActionType;
    int displaySize = 0;
    std::string RightField;
    std::string DBControl;

    // The text after " as ", else FieldName.
    std::string Alias() const;
    // The text before " as " (its blank kept); else, with a "[" in LookUp,
    // the column between "[" and "]"; else FieldName.
    std::string Source() const;
    // LookUp up to "[" (all of it without one).
    std::string LookupTable() const;
};

class TMstSections {
public:
    TMstSection* Add();
    void Delete(int index);
    // Swaps the contents of two items; nothing when either index is
    // negative or past the end.
    void Exchange(int a, int b);
    TMstSection* Items(int i) { return &items_[size_t(i)]; }
    const TMstSection* Items(int i) const { return &items_[size_t(i)]; }
    int Count() const { return int(items_.size()); }
    void Clear() { items_.clear(); }
    void Assign(const TMstSections& other) { items_ = other.items_; }

private:
    std::vector<TMstSection> items_;
};

struct TFindsection {
    std::string FieldName, TableName, CFieldName, logicChar, FieldValue, OperateChar, FieldType, InPutType;
};

class TFindsections {
public:
    TFindsection* Add();
    TFindsection* Items(int i) { return &items_[size_t(i)]; }
    int Count() const { return int(items_.size()); }
    void Clear() { items_.clear(); }
    void Assign(const TFindsections& other) { items_ = other.items_; }

private:
    std::vector<TFindsection> items_;
};

using TVQGetTextEvent = std::function<void(TField* Sender, std::string& Text, bool DisplayText)>;
using TVQSetTextEvent = std::function<void(TField* Sender, const std::string& Text)>;

// The index of the first section whose alias equals name, ignoring case;
// -1 when none.
int IndexOfSection(const TMstSections& sections, const std::string& name);

// Kept in a blob through TVQStream: the structure (master table, SQL,
// conditions, sections and find sections) is what it writes.
class TVQRctStr : public TVqMemTable, public IVQStreamable {
public:
    explicit TVQRctStr(TComponent* AOwner);
    std::string ClassName() const override { return "TVQRctStr"; }

    TVQGetTextEvent OnVQGetText;
    TVQSetTextEvent OnVQSetText;
    TMstSections& MstSections() { return mstSections_; }
    const TMstSections& MstSections() const { return mstSections_; }
    TFindsections& FindSections() { return findSections_; }
    std::string MstTableName;
    std::string MstCondition;
    std::string GenCondition;
    // Reading gives SQLMstSQL; a written value is only kept and copied.
    const std::string& MstSQL() const { return SQLMstSQL; }
    void SetMstSQL(const std::string& v) { mstSql_ = v; }
    std::string SQLMstSQL;
    std::string GenMstSQL;
    // The field holding the line number, or empty.
    std::string ItemField;
    std::string ConditionRemark;
    const std::string& RctCode() const { return rctCode_; }

    void ClearStructure();
    void WriteProperties(TVQWriter& writer) const override;
    void ReadProperty(const std::string& name, TVQReader& reader) override;
    // The structure store is the shared data module's: without it these
    // change nothing and give false (OpenStructureQuery 0).
    bool LoadStructure(const std::string& billCode);
    bool SaveStructure(const std::string& billCode);
    bool ReadStructure(TDataSet* source);
    int OpenStructureQuery(const std::string& billCode, TDataSet* query);
    // An empty code says "RctStr 不能为空"; the master query lives on the
    // absent module, so the table keeps its fields.
    void PrepareFromStructure(const std::string& billCode, bool lineNumbers);
    // Without the module's transaction and work query: false, nothing
    // written, nothing raised.
    bool SaveToMasterTable(const std::string& condition, bool singleRecord);

    // The master query with a top clause after "Select" and the condition
    // joined to its WHERE (or added as one); query closes, takes it and
    // opens. Raises what opening raises.
    void OpenMasterQuery(const std::string& condition, TADOQuery* query, const std::string& top);
    // The master query text OpenMasterQuery would run.
    std::string MasterQueryText(const std::string& condition, const std::string& top) const;

    // Columns of grid from structure (this table's when null): visible
    // sections in order, captions, read-only, navy titles of required
    // fields, widths, ellipsis buttons; a missing field says
    // alias + "不存在!!" and is skipped.
    void BuildGridColumns(TVQCustomDBGrid* grid, TVQRctStr* structure = nullptr);
    // Orders the sections as the grid's columns and keeps each column's
    // width in its section; saving then needs the module (nothing here).
    void SaveGridLayoutToRctStr(TVQCustomDBGrid* grid, TVQRctStr* structure, const std::string& billCode,
                                bool ask);

    // The set-text handler that follows lookups (see the unit).
    void SetTextWithLookups(TField* field, const std::string& text);
    // Defaults of a new line from the sections.
    void ApplyDefaults();

protected:
    void DoAfterOpen() override;
    void DoAfterDelete() override;
    void DoOnNewRecord() override;

private:
    void Renumber();
    TMstSections mstSections_;
    TFindsections findSections_;
    std::string mstSql_;
    std::string rctCode_;
    bool renumbering_ = false;
};
