#include "report/model/RM_Dictionary.h"

#include <algorithm>

#include "DB.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Gbk.h"
#include "ScopeExit.h"
#include "SysUtils.h"
#include "report/io/RM_Stream.h"
#include "report/model/RM_Report.h"
#include "report/model/RM_Utils.h"

namespace {
const char* const kDictSig = "VodidiVerovev Dictionary File\x1A";

// The system variables of the old layout, by their number.
const char* const kOldSystemNames[] = {"Page#",     "ApplicationPath#", "Date#",    "Time#",   "DateTime#",
                                       "Line#",     "LineThough#",      "Column#",  "Current#", "TotalPages#"};

const TRMVariable* findIn(const std::vector<TRMVariable>& list, const std::string& name) {
    for (auto& v : list)
        if (SameText(v.Name, name)) return &v;
    return nullptr;
}

// A name with the value of the list entry, appended when missing.
void setIn(std::vector<TRMVariable>& list, const std::string& name, const std::string& value) {
    for (auto& v : list)
        if (SameText(v.Name, name)) {
            v.Value = value;
            return;
        }
    list.push_back({name, value});
}

// The first entry name whose value is the alias, or the alias itself.
std::string realName(const std::vector<TRMVariable>& list, const std::string& alias) {
    for (auto& v : list)
        if (SameText(v.Value, alias)) return v.Name;
    return alias;
}

// The old layout's short string: a length byte and the bytes.
std::string readShortString(TStream& s) {
    uint8_t n = RMReadByte(s);
    return GbkToUtf8(RMReadBytes(s, n));
}

void replaceSorted(TStrings* list, std::vector<std::string> names) {
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return AnsiCompareText(a, b) < 0; });
    list->Clear();
    for (auto& n : names) list->Add(n);
}
} // namespace

TComponent* TRMDataDictionary::componentOwner() const { return report_ ? report_->Owner() : nullptr; }

void TRMDataDictionary::Clear() {
    Variables.clear();
    FieldAliases.clear();
    DataSourceAliases.clear();
}

const TRMVariable* TRMDataDictionary::FindVariable(const std::string& name) const {
    for (auto& v : Variables)
        if (!v.Name.empty() && v.Name[0] != ' ' && SameText(v.Name, name)) return &v;
    return nullptr;
}
bool TRMDataDictionary::IsVariable(const std::string& name) const { return FindVariable(name) != nullptr; }

void TRMDataDictionary::SetVariable(const std::string& name, const std::string& value) {
    setIn(Variables, name, value);
}

// ---------------------------------------------------------------- streams

void TRMDataDictionary::LoadFromStream(TStream& s) { LoadFromStream(s, RMStreamVersion); }

void TRMDataDictionary::LoadFromStream(TStream& s, int version) {
    Clear();
    Version = version;
    if (Version < 0)
        readOld(s);
    else
        readCurrent(s, false);
    afterRead();
}

void TRMDataDictionary::readCurrent(TStream& s, bool merge) {
    if (Version > 30) RMReadWord(s);
    for (auto* list : {&Variables, &FieldAliases, &DataSourceAliases}) {
        int n = RMReadInteger(s);
        // Each entry takes at least six bytes: a count beyond what the
        // stream holds is a damaged file, not a reason to allocate.
        if (n < 0 || n > (s.Size() - s.Position()) / 6) throw EReadError("Stream read error");
        for (int i = 0; i < n; ++i) {
            std::string name = RMReadString(s);
            std::string value = RMReadString(s);
            if (merge)
                setIn(*list, name, value);
            else
                list->push_back({std::move(name), std::move(value)});
        }
    }
}

void TRMDataDictionary::readOld(TStream& s) {
    // Entries of the old layout carry their own values; the names list that
    // follows gives the order, taking each kept value by its name.
    std::vector<TRMVariable> kept;
    int n = RMReadInteger(s);
    if (n < 0 || n > (s.Size() - s.Position()) / 8) throw EReadError("Stream read error");
    for (int i = 0; i < n; ++i) {
        uint8_t kind = RMReadByte(s);
        int32_t number = RMReadInteger(s);
        std::string s1 = readShortString(s), s2 = readShortString(s), s3 = readShortString(s);
        std::string value;
        if (kind == 2)
            value = number == 1 ? s2 : number >= 0 && number < 10 ? kOldSystemNames[number] : "";
        else if (kind == 1)
            value = s1 + ".\"" + s2 + "\"";
        setIn(kept, " " + s3, value);
    }
    for (const std::string& name : RMReadVersionedMemo(s)) {
        const TRMVariable* k = !name.empty() && name[0] == ' ' ? findIn(kept, name) : nullptr;
        Variables.push_back({name, k ? k->Value : std::string()});
    }
}

void TRMDataDictionary::afterRead() {
    // Old dictionaries marked variables, not categories, with the blank: a
    // list that starts with a plain name is turned around.
    if (!Variables.empty() && !Variables[0].Name.empty() && Variables[0].Name[0] != ' ')
        for (auto& v : Variables)
            v.Name = !v.Name.empty() && v.Name[0] == ' ' ? v.Name.substr(1, 255) : " " + v.Name;
    if (Version < 30) {
        // Hidden fields that no longer exist, and data sources without an
        // alias, were kept by older designers: they are dropped.
        TComponent* owner = componentOwner();
        std::erase_if(FieldAliases, [&](const TRMVariable& v) {
            if (!v.Value.empty()) return false;
            TDataSet* ds = nullptr;
            std::string field;
            try {
                RMParseDataField(owner, v.Name, ds, field);
            } catch (const Exception&) {
                field.clear();
            }
            return field.empty();
        });
        std::erase_if(DataSourceAliases, [](const TRMVariable& v) { return v.Value.empty(); });
    }
}

void TRMDataDictionary::SaveToStream(TStream& s) const {
    RMWriteWord(s, 1);
    for (auto* list : {&Variables, &FieldAliases, &DataSourceAliases}) {
        RMWriteInteger(s, int32_t(list->size()));
        for (auto& v : *list) {
            RMWriteString(s, v.Name);
            RMWriteString(s, v.Value);
        }
    }
}

// ---------------------------------------------------------------- files

void TRMDataDictionary::SaveToFile(const std::string& fileName) const {
    std::string f = ExtractFileExt(fileName).empty() ? fileName + ".rmd" : fileName;
    TMemoryStream m;
    RMStreamVersion = 43;
    RMWriteInteger(m, 43);
    RMWriteString(m, kDictSig);
    SaveToStream(m);
    m.SaveToFile(f);
}

bool TRMDataDictionary::LoadFromFile(const std::string& fileName) { return readFile(fileName, false); }
bool TRMDataDictionary::MergeFromFile(const std::string& fileName) { return readFile(fileName, true); }

bool TRMDataDictionary::readFile(const std::string& fileName, bool merge) {
    if (fileName.empty()) return false;
    std::string f = fileName;
    if (!FileExists(f) && ExtractFileExt(f).empty()) f += ".rmd";
    if (!FileExists(f)) return false;
    TMemoryStream m;
    m.LoadFromFile(f);
    // Read into a copy: a file that ends early leaves the dictionary as it
    // was, not half replaced.
    std::vector<TRMVariable> vars = Variables, fields = FieldAliases, sources = DataSourceAliases;
    const int wasVersion = Version;
    const uint8_t wasStreamVersion = RMStreamVersion;
    ScopeExit restoreStreamVersion([&] { RMStreamVersion = wasStreamVersion; });
    try {
        int v = RMReadInteger(m);
        if (v >= 42 && RMReadString(m) != kDictSig) {
            Application->MessageBox(RMLoadStr(47500), RMLoadStr(47206), MB_OK | MB_ICONERROR);
            return false;
        }
        RMStreamVersion = uint8_t(std::clamp(v, 0, 255));
        Version = v;
        if (!merge) Clear();
        readCurrent(m, merge);
        afterRead();
        return true;
    } catch (const Exception&) {
        Variables = std::move(vars);
        FieldAliases = std::move(fields);
        DataSourceAliases = std::move(sources);
        Version = wasVersion;
        return false;
    }
}

// ---------------------------------------------------------------- values

const TRMCacheItem* TRMDataDictionary::CachedField(const std::string& name) const {
    auto it = fieldCache_.find(UpperCase(name));
    return it == fieldCache_.end() ? nullptr : &it->second;
}

bool TRMDataDictionary::GetValue(const std::string& name, Variant& value) {
    value = Null();
    if (const TRMCacheItem* c = CachedField(name)) {
        if (!c->DataSet->Active()) c->DataSet->Open();
        if (TField* f = c->DataSet->FindField(c->FieldName)) value = RMGetFieldValue(f);
        return true;
    }
    const TRMVariable* dv = FindVariable(name);
    if (!dv) return false;
    if (const Variant* g = RMVariables().Find(name)) return value = *g, true;
    if (report_)
        if (const Variant* r = report_->Variables.Find(name)) return value = *r, true;
    std::string u = UpperCase(name);
    if (evaluating_.count(u)) {
        if (report_) report_->BuildErrors.push_back("变量循环引用: " + name);
        return true;
    }
    if (Trim(dv->Value).empty()) return true;
    if (!report_) return value = dv->Value, true;
    evaluating_.insert(u);
    ScopeExit done([&] { evaluating_.erase(u); });
    // The text is copied: evaluating may assign to this very variable.
    const std::string text = dv->Value;
    value = report_->Calc(text);
    return true;
}

bool TRMDataDictionary::resolveReference(const std::string& name, const std::string& reference) {
    TDataSet* ds = report_ ? RMGetBandDataSet(report_) : nullptr;
    std::string field;
    try {
        RMParseDataField(componentOwner(), reference, ds, field);
    } catch (const Exception&) {
        return false;
    }
    if (!ds || field.empty()) return false;
    fieldCache_[UpperCase(name)] = {ds, field};
    return true;
}

// A variable is always known; its value becomes a cached field when it
// reads as a field reference. Any other name with a "." is taken as
// DataSet.Field, the data set and field possibly given by their aliases.
bool TRMDataDictionary::ResolveField(const std::string& name) {
    if (CachedField(name)) return true;
    if (const TRMVariable* v = FindVariable(name)) {
        if (v->Value.find('.') != std::string::npos) resolveReference(name, v->Value);
        return true;
    }
    const size_t dot = RMLastDotOutsideQuotes(name);
    std::string reference = name;
    if (dot != std::string::npos) {
        std::string dsPart = GetRealDataSetName(name.substr(0, dot));
        std::string fieldPart = RMRemoveQuotes(name.substr(dot + 1));
        const std::string upperDs = UpperCase(dsPart);
        for (auto& a : FieldAliases)
            if (SameText(a.Value, fieldPart) && UpperCase(a.Name).starts_with(upperDs)) {
                fieldPart = a.Name.substr(a.Name.rfind('.') + 1);
                break;
            }
        reference = dsPart + ".\"" + fieldPart + "\"";
    }
    return resolveReference(name, reference);
}

// ---------------------------------------------------------------- names

bool TRMDataDictionary::IsDataSetEnabled(const std::string& name) const {
    for (const std::string& d : DisabledDataSets) {
        if (SameText(d, name)) return false;
        if (!d.empty() && d.back() == '*') {
            std::string prefix = d.substr(0, d.size() - 1);
            if (name.size() >= prefix.size() && SameText(name.substr(0, prefix.size()), prefix)) return false;
        }
    }
    return true;
}

std::string TRMDataDictionary::GetRealDataSetName(const std::string& alias) const {
    return realName(FieldAliases, alias);
}

std::string TRMDataDictionary::GetRealDataSourceName(const std::string& alias) const {
    return realName(DataSourceAliases, alias);
}

std::string TRMDataDictionary::GetRealFieldName(const std::string& alias) const {
    std::string n = GetRealDataSetName(alias);
    size_t dot = n.rfind('.');
    return dot == std::string::npos ? n : n.substr(dot + 1);
}

std::string TRMDataDictionary::GetAliasName(const std::string& name) const {
    const TRMVariable* f = findIn(FieldAliases, name);
    if (f && !f->Value.empty()) return f->Value;
    const TRMVariable* d = findIn(DataSourceAliases, name);
    if (d && !d->Value.empty()) return d->Value;
    return name;
}

// ---------------------------------------------------------------- lists

void TRMDataDictionary::GetDataSetList(TStrings* list) const {
    TStringList found;
    RMGetComponents(componentOwner(), [](const TComponent* c) { return dynamic_cast<const TDataSet*>(c) != nullptr; },
                    &found, nullptr);
    std::vector<std::string> names;
    for (int i = 0; i < found.Count(); ++i) {
        const std::string n = found.Strings(i);
        if (!IsDataSetEnabled(n)) continue;
        if (FieldAliases.empty()) {
            names.push_back(n);
        } else if (const TRMVariable* a = findIn(FieldAliases, n)) {
            names.push_back(a->Value.empty() ? n : a->Value);
        }
    }
    replaceSorted(list, std::move(names));
}

void TRMDataDictionary::GetFieldList(const std::string& dataSet, TStrings* list) const {
    TComponent* owner = componentOwner();
    std::string real = dataSet;
    TDataSet* ds = nullptr;
    try {
        ds = dynamic_cast<TDataSet*>(RMFindComponentIn(owner, dataSet));
        if (!ds) {
            real = GetRealDataSetName(dataSet);
            ds = dynamic_cast<TDataSet*>(RMFindComponentIn(owner, real));
        }
    } catch (const Exception&) {
        ds = nullptr;
    }
    TStringList fields;
    if (ds) RMGetFieldNames(ds, &fields);
    list->Clear();
    for (int i = 0; i < fields.Count(); ++i) {
        const std::string f = fields.Strings(i);
        const TRMVariable* a = findIn(FieldAliases, real + "." + f);
        if (!a)
            list->Add(f);
        else if (!a->Value.empty())
            list->Add(a->Value);
    }
}

void TRMDataDictionary::GetDataSourceList(TStrings* list) const {
    TStringList found;
    RMGetComponents(
        componentOwner(), [](const TComponent* c) { return dynamic_cast<const TRMDataset*>(c) != nullptr; }, &found,
        nullptr);
    std::vector<std::string> names;
    for (int i = 0; i < found.Count(); ++i) {
        const std::string n = found.Strings(i);
        if (DataSourceAliases.empty()) {
            names.push_back(n);
        } else if (const TRMVariable* a = findIn(DataSourceAliases, n)) {
            names.push_back(a->Value.empty() ? n : a->Value);
        }
    }
    replaceSorted(list, std::move(names));
}

void TRMDataDictionary::GetCategoryList(TStrings* list) const {
    list->Clear();
    for (auto& v : Variables)
        if (!v.Name.empty() && v.Name[0] == ' ') list->Add(v.Name.substr(1));
}

void TRMDataDictionary::GetCategoryVariables(const std::string& category, TStrings* list) const {
    list->Clear();
    size_t i = 0;
    while (i < Variables.size() && !SameText(Variables[i].Name, " " + category)) ++i;
    for (++i; i < Variables.size(); ++i) {
        const std::string& n = Variables[i].Name;
        if (n.empty() || n[0] == ' ') break;
        list->Add(n);
    }
}
