// The report's data dictionary: named variables grouped in categories,
// aliases of data sets, fields and band data sources, data sets not
// offered, and the fields resolved during a build. It answers the value of
// a dictionary name while a report builds and gives the designer's dialogs
// the lists of data sets, fields, data sources and categories as the
// report's author should see them. Stored in the report file and on its
// own in a dictionary file (".rmd").
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "Classes.h"
#include "Variants.h"

class TComponent;
class TDataSet;
class TRMReport;

struct TRMVariable {
    std::string Name;  // a category name starts with one blank
    std::string Value; // a field reference, a system variable's name or an expression
};

// A field reference resolved during a build.
struct TRMCacheItem {
    TDataSet* DataSet = nullptr;
    std::string FieldName;
};

class TRMDataDictionary {
public:
    // report: the report whose value handler evaluates variables and
    // whose owner names the data sets; none for a dictionary on its own.
    explicit TRMDataDictionary(TRMReport* report = nullptr) : report_(report) {}
    TRMDataDictionary(const TRMDataDictionary&) = delete;
    TRMDataDictionary& operator=(const TRMDataDictionary&) = delete;

    std::vector<TRMVariable> Variables, FieldAliases, DataSourceAliases;
    // Names of data sets not offered; one ending in "*" is a prefix.
    std::vector<std::string> DisabledDataSets;
    // The form of the last dictionary read: the report stream's version,
    // -1 for the old layout, or a dictionary file's version.
    int Version = 43;

    // Empties the three lists; the disabled data sets and the field cache
    // stay.
    void Clear();
    // Forgets every resolved field; each build starts with this.
    void ClearCache() { fieldCache_.clear(); }

    // A variable, not a category, of this name (any letter case).
    bool IsVariable(const std::string& name) const;
    const TRMVariable* FindVariable(const std::string& name) const;
    // Sets a variable's value, appending the variable when missing.
    void SetVariable(const std::string& name, const std::string& value);

    // The record as the report stream holds it after marker 0xFC (version:
    // the stream's) or 0xFE (the old layout: version -1).
    void LoadFromStream(TStream& s, int version);
    void LoadFromStream(TStream& s);
    void SaveToStream(TStream& s) const;
    // The dictionary file. A name without extension gets ".rmd". Load and
    // merge return false for an empty name, a missing file, a wrong
    // signature (after the message "不是VodidiVerovev数据字典文件!") or a
    // file that ends early; merge adds to what is there: a name already
    // present takes the file's value, any other is appended.
    bool LoadFromFile(const std::string& fileName);
    bool MergeFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    // The value of a dictionary name during a build: a resolved field's
    // value (its data set opened when closed); for a variable, the
    // engine-wide variable of that name, else the report variable, else
    // its text evaluated as an expression. False (value Null) for a name
    // that is neither, and for a variable met again while it is being
    // evaluated (a variable that refers to itself, directly or through
    // others).
    bool GetValue(const std::string& name, Variant& value);
    // Whether the name stands for a data field (then cached) or is a
    // variable: see the .cpp.
    bool ResolveField(const std::string& name);
    // The resolved field of a name, or nullptr.
    const TRMCacheItem* CachedField(const std::string& name) const;

    bool IsDataSetEnabled(const std::string& name) const;
    // The component name behind an alias (the alias itself when none).
    std::string GetRealDataSetName(const std::string& alias) const;
    std::string GetRealDataSourceName(const std::string& alias) const;
    // The field name behind a field alias: the part after the last ".".
    std::string GetRealFieldName(const std::string& alias) const;
    // The alias of a data set, field or data source name, or the name.
    std::string GetAliasName(const std::string& name) const;

    // The designer's lists; each replaces the list's contents.
    void GetDataSetList(TStrings* list) const;
    void GetFieldList(const std::string& dataSet, TStrings* list) const;
    void GetDataSourceList(TStrings* list) const;
    void GetCategoryList(TStrings* list) const;
    void GetCategoryVariables(const std::string& category, TStrings* list) const;

private:
    TRMReport* report_;
    std::map<std::string, TRMCacheItem> fieldCache_; // upper-cased name
    std::set<std::string> evaluating_;               // upper-cased names
    TComponent* componentOwner() const;
    void readCurrent(TStream& s, bool merge);
    void readOld(TStream& s);
    void afterRead();
    bool readFile(const std::string& fileName, bool merge);
    // Resolves "DataSet."Field"" (with form and component parts as
    // RMParseDataField takes them) against the current band's data set.
    bool resolveReference(const std::string& name, const std::string& reference);
};
