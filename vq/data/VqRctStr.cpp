#include "vq/data/VqRctStr.h"

#include <algorithm>

#include "Dialogs.h"
#include "SysUtils.h"
#include "vq/data/VqTextUtils.h"
#include "vq/grid/VQDBGrid.h"

namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return s;
}

bool SameName(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

std::string Trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

bool IsNumericField(const TField* f) {
    switch (f->DataType()) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
    case ftBCD: return true;
    default: return false;
    }
}

bool IsBlobField(const TField* f) {
    switch (f->DataType()) {
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftParadoxOle:
    case ftDBaseOle:
    case ftTypedBinary: return true;
    default: return false;
    }
}

} // namespace

// ---- sections

std::string TMstSection::Alias() const {
    const auto p = FieldName.find(" as ");
    return p == std::string::npos ? FieldName : FieldName.substr(p + 4);
}

std::string TMstSection::Source() const {
    // The blank before "as" stays: the lookup SQL has always had it.
    const auto p = FieldName.find(" as ");
    if (p != std::string::npos) return FieldName.substr(0, p + 1);
    const auto open = LookUp.find('[');
    if (open != std::string::npos) {
        const auto close = LookUp.find(']', open);
        return LookUp.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
    }
    return FieldName;
}

std::string TMstSection::LookupTable() const { return LookUp.substr(0, LookUp.find('[')); }

TMstSection* TMstSections::Add() {
    items_.emplace_back();
    return &items_.back();
}

void TMstSections::Delete(int index) {
    if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
}

void TMstSections::Exchange(int a, int b) {
    if (a < 0 || b < 0 || a >= Count() || b >= Count()) return;
    std::swap(items_[size_t(a)], items_[size_t(b)]);
}

TFindsection* TFindsections::Add() {
    items_.emplace_back();
    return &items_.back();
}

int IndexOfSection(const TMstSections& sections, const std::string& name) {
    for (int i = 0; i < sections.Count(); ++i)
        if (SameName(sections.Items(i)->Alias(), name)) return i;
    return -1;
}

// ---- the table

TVQRctStr::TVQRctStr(TComponent* AOwner) : TVqMemTable(AOwner) {}

void TVQRctStr::ClearStructure() {
    mstSections_.Clear();
    findSections_.Clear();
    MstTableName.clear();
    MstCondition.clear();
    GenCondition.clear();
    mstSql_.clear();
    SQLMstSQL.clear();
    GenMstSQL.clear();
}

// The structures live in the shared data module's system database, which
// this system never assigns: nothing is read or written, and the code of
// the last loaded structure stays as it was.
bool TVQRctStr::LoadStructure(const std::string&) { return false; }
bool TVQRctStr::SaveStructure(const std::string&) { return false; }
bool TVQRctStr::ReadStructure(TDataSet*) { return false; }
int TVQRctStr::OpenStructureQuery(const std::string&, TDataSet*) { return 0; }

void TVQRctStr::PrepareFromStructure(const std::string& billCode, bool) {
    if (billCode.empty()) ShowMessage("RctStr 不能为空");
}

bool TVQRctStr::SaveToMasterTable(const std::string&, bool) { return false; }

std::string TVQRctStr::MasterQueryText(const std::string& condition, const std::string& top) const {
    std::string sql = MstSQL();
    if (!top.empty()) sql.insert(std::min<size_t>(6, sql.size()), " " + top + " ");
    if (!condition.empty()) {
        const auto where = Upper(sql).find("WHERE");
        if (where == std::string::npos)
            sql += " Where " + condition;
        else
            sql.insert(where + 5, " " + condition + " and ");
    }
    return sql;
}

void TVQRctStr::OpenMasterQuery(const std::string& condition, TADOQuery* query, const std::string& top) {
    if (!query) return;
    query->Close();
    query->SQL()->SetText(MasterQueryText(condition, top));
    query->Open();
}

void TVQRctStr::BuildGridColumns(TVQCustomDBGrid* grid, TVQRctStr* structure) {
    if (!grid) return;
    TVQRctStr* s = structure ? structure : this;
    TDataSet* ds = grid->DataSet();
    grid->Columns()->Clear();
    for (int i = 0; i < s->MstSections().Count(); ++i) {
        const TMstSection& sec = *s->MstSections().Items(i);
        // The operator's missing rights are the module's list: nothing is
        // withheld without it.
        const std::string alias = sec.Alias();
        TField* f = ds ? ds->FindField(alias) : nullptr;
        if (!f) {
            ShowMessage(alias + "不存在!!");
            continue;
        }
        if (sec.Visible) {
            TVQColumn* c = grid->Columns()->Add();
            c->SetFieldName(f->FieldName());
            c->Title()->SetCaption(sec.CFieldName);
            c->SetReadOnly(sec.IsReadOnly);
            const bool itemName = SameName(f->FieldName(), "ItemName");
            c->IMEControl = itemName;
            if (!sec.CanNull) c->Title()->Font()->SetColor(clNavy);
            if (sec.displaySize > 0) c->SetWidth(sec.displaySize);
            const bool modifiable = !c->ReadOnly() && !s->ReadOnly();
            if ((modifiable && !sec.ActionType.empty()) ||
                (modifiable && f->DataType() == ftDateTime) || f->DataType() == ftMemo)
                c->SetButtonStyle(TVQColumnButtonStyle::cbsEllipsis);
            if (itemName) c->SetReadOnly(false);
            if (SameName(f->FieldName(), "ItemIndex")) {
                c->SetAlignment(taCenter);
                c->Font()->SetSize(12);
                c->Font()->SetStyle(TFontStyles{fsBold});
                c->SetReadOnly(true);
            }
        }
        if (!sec.CanNull) f->SetRequired(true);
    }
    const int n = grid->Columns()->Count();
    if (n > 0) {
        TVQColumn* last = grid->Columns()->Items(n - 1);
        const int w = last->GetWidth();
        last->SetWidth(w - 1);
        last->SetWidth(w);
    }
}

void TVQRctStr::SaveGridLayoutToRctStr(TVQCustomDBGrid* grid, TVQRctStr* structure, const std::string& billCode,
                                       bool) {
    if (!grid) return;
    TVQRctStr* s = structure ? structure : this;
    int matched = 0;
    for (int i = 0; i < grid->Columns()->Count(); ++i) {
        TVQColumn* c = grid->Columns()->Items(i);
        const int j = IndexOfSection(s->MstSections(), c->FieldName());
        if (j < 0) continue;
        int pos = j;
        if (i < s->MstSections().Count()) {
            s->MstSections().Exchange(i, j);
            pos = i;
        }
        TMstSection* sec = s->MstSections().Items(pos);
        // Whether to hide a hidden column for good is the module's question;
        // without it the section's visibility stays. A hidden column has no
        // width to give (-1): its section keeps the one it had.
        const int w = c->GetWidth();
        if (w >= 0) sec->displaySize = w;
        ++matched;
    }
    if (matched > 0) s->SaveStructure(billCode);
}

// Following lookups asks the shared data module's business database for the
// columns the other sections want; without the module no row ever comes
// back, which the rules below handle as "not found".
void TVQRctStr::SetTextWithLookups(TField* field, const std::string& text) {
    if (!field) return;
    auto take = [&] { field->SetAsString(text); };
    if (IsNumericField(field)) return take();
    const int si = IndexOfSection(mstSections_, field->FieldName());
    if (si < 0) return take();
    const TMstSection& sec = *mstSections_.Items(si);
    const std::string table = sec.LookupTable();
    const bool hasAction = !sec.ActionType.empty();
    if (hasAction && text == field->AsString()) return;
    const bool follow = (!table.empty() && !SameName(table, sec.TableName)) || hasAction;
    if (!follow) return take();
    std::vector<int> wanting;
    for (int i = 0; i < mstSections_.Count(); ++i) {
        if (i == si) continue;
        const TMstSection& x = *mstSections_.Items(i);
        const auto open = x.LookupKey.find('[');
        if (open != std::string::npos) {
            if (SameName(Trimmed(x.LookupKey.substr(0, open)), field->FieldName())) wanting.push_back(i);
        } else if (!x.LookupKey.empty() && SameName(x.LookupKey, field->FieldName())) {
            wanting.push_back(i);
        }
    }
    if (wanting.empty()) return take();
    if (!text.empty()) {
        const std::string name = Upper(field->FieldName());
        // The item picker that would follow is the module's as well.
        if (name == "ITEMCODE" || name == "CCODE" || name == "SCODE" || name == "SITEMCODE") return take();
    }
    for (int i : wanting) {
        TField* xf = FindField(mstSections_.Items(i)->Alias());
        if (!xf) continue;
        xf->Clear();
        if (xf->OnSetText && !SameName(xf->FieldName(), "ItemName")) xf->OnSetText(xf, xf->AsString());
    }
    take();
}

void TVQRctStr::ApplyDefaults() {
    for (int i = 0; i < FieldCount(); ++i) {
        TField* f = Fields().Fields(i);
        if (f->DataType() == ftAutoInc || IsBlobField(f)) continue;
        const int si = IndexOfSection(mstSections_, f->FieldName());
        if (si < 0) continue;
        const bool boolean = f->DataType() == ftBoolean;
        if (boolean) f->SetAsBoolean(false);
        std::string v = mstSections_.Items(si)->DefaultValue;
        if (v.empty()) continue;
        v.erase(std::remove(v.begin(), v.end(), '\''), v.end());
        v = Trimmed(v);
        if (boolean) {
            f->SetAsBoolean(v == "1" || SameName(v, "True"));
            continue;
        }
        if ((f->DataType() == ftDateTime || f->DataType() == ftDate) && v == "系统时间")
            f->SetAsDateTime(Date());
        else
            f->SetAsString(v);
        if (f->OnSetText) f->OnSetText(f, f->AsString());
    }
}

void TVQRctStr::DoAfterOpen() {
    TVqMemTable::DoAfterOpen();
    for (int i = 0; i < FieldCount(); ++i) {
        TField* f = Fields().Fields(i);
        if (f->DataType() == ftCurrency || f->DataType() == ftBCD) f->SetDisplayFormat("#.##0.00");
    }
}

// New lines: the defaults, then the line number after the last.
void TVQRctStr::DoOnNewRecord() {
    TVqMemTable::DoOnNewRecord();
    ApplyDefaults();
    if (!ItemField.empty())
        if (TField* f = FindField(ItemField)) f->SetAsInteger(RecordCount() + 1);
}

void TVQRctStr::DoAfterDelete() {
    TVqMemTable::DoAfterDelete();
    if (!ItemField.empty() && !renumbering_) Renumber();
}

// Lines keep their order; only the numbers close the gap. In place, one
// pass: the numbers only ever go down, so an index on them keeps its order.
void TVQRctStr::Renumber() {
    TField* f = FindField(ItemField);
    if (!f) return;
    renumbering_ = true;
    ScopeExit done([&] { renumbering_ = false; });
    const int at = RecNo();
    {
        TDisableControls quiet(this);
        int n = 1;
        for (First(); !Eof(); Next(), ++n) {
            if (f->IsNull() || f->AsInteger() != n) {
                Edit();
                f->SetAsInteger(n);
                Post();
            }
        }
        if (at > 0 && at <= RecordCount()) SetRecNo(at);
        else if (RecordCount() > 0) Last();
    }
}

// ------------------------------------------------------------ streaming

namespace {

struct RctStrStreamClass {
    RctStrStreamClass() {
        RegisterVQStreamClass("TVQRctStr", [](TComponent* owner) { return new TVQRctStr(owner); });
    }
} registerRctStr;

} // namespace

void TVQRctStr::WriteProperties(TVQWriter& w) const {
    w.WriteString("MstTableName", MstTableName);
    w.WriteString("MstCondition", MstCondition);
    w.WriteString("GenCondition", GenCondition);
    w.WriteString("MstSQL", SQLMstSQL);
    w.WriteString("GenMstSQL", GenMstSQL);
    w.WriteString("ItemField", ItemField);
    w.WriteString("ConditionRemark", ConditionRemark);
    w.WriteCollection("MstSections", mstSections_.Count(), [this](int i, TVQWriter& iw) {
        const TMstSection& m = *mstSections_.Items(i);
        iw.WriteString("FieldName", m.FieldName);
        iw.WriteString("TableName", m.TableName);
        iw.WriteString("CFieldName", m.CFieldName);
        iw.WriteString("LookUp", m.LookUp);
        iw.WriteBoolean("IsReadOnly", m.IsReadOnly);
        iw.WriteString("DefaultValue", m.DefaultValue);
        iw.WriteString("MaxValue", m.MaxValue);
        iw.WriteString("MinValue", m.MinValue);
        iw.WriteBoolean("Visible", m.Visible);
        iw.WriteBoolean("CanNull", m.CanNull);
        iw.WriteString("LookupKey", m.LookupKey);
        iw.WriteString("ActionType", m.ActionType);
        iw.WriteInteger("displaySize", m.displaySize);
        iw.WriteString("RightField", m.RightField);
        iw.WriteString("DBControl", m.DBControl);
    });
    auto& finds = const_cast<TFindsections&>(findSections_);
    w.WriteCollection("FindSections", finds.Count(), [&finds](int i, TVQWriter& iw) {
        const TFindsection& f = *finds.Items(i);
        iw.WriteString("FieldName", f.FieldName);
        iw.WriteString("TableName", f.TableName);
        iw.WriteString("CFieldName", f.CFieldName);
        iw.WriteString("logicChar", f.logicChar);
        iw.WriteString("FieldValue", f.FieldValue);
        iw.WriteString("OperateChar", f.OperateChar);
        iw.WriteString("FieldType", f.FieldType);
        iw.WriteString("InPutType", f.InPutType);
    });
}

void TVQRctStr::ReadProperty(const std::string& name, TVQReader& r) {
    std::string* text = name == "MstTableName"      ? &MstTableName
                        : name == "MstCondition"    ? &MstCondition
                        : name == "GenCondition"    ? &GenCondition
                        : name == "MstSQL"          ? &SQLMstSQL
                        : name == "GenMstSQL"       ? &GenMstSQL
                        : name == "ItemField"       ? &ItemField
                        : name == "ConditionRemark" ? &ConditionRemark
                                                    : nullptr;
    if (text) {
        *text = r.ReadString();
        return;
    }
    if (name == "MstSections") {
        mstSections_.Clear();
        r.ReadCollection([this](int i, const std::string& prop, TVQReader& ir) {
            while (mstSections_.Count() <= i) mstSections_.Add();
            TMstSection& m = *mstSections_.Items(i);
            if (prop == "IsReadOnly") m.IsReadOnly = ir.ReadBoolean();
            else if (prop == "Visible") m.Visible = ir.ReadBoolean();
            else if (prop == "CanNull") m.CanNull = ir.ReadBoolean();
            else if (prop == "displaySize") m.displaySize = int(ir.ReadInteger());
            else if (std::string* t = prop == "FieldName"      ? &m.FieldName
                                      : prop == "TableName"    ? &m.TableName
                                      : prop == "CFieldName"   ? &m.CFieldName
                                      : prop == "LookUp"       ? &m.LookUp
                                      : prop == "DefaultValue" ? &m.DefaultValue
                                      : prop == "MaxValue"     ? &m.MaxValue
                                      : prop == "MinValue"     ? &m.MinValue
                                      : prop == "LookupKey"    ? &m.LookupKey
                                      : prop == "ActionType"   ? &m.ActionType
                                      : prop == "RightField"   ? &m.RightField
                                      : prop == "DBControl"    ? &m.DBControl
                                                               : nullptr)
                *t = ir.ReadString();
            else
                ir.ReadValue();
        });
        return;
    }
    if (name == "FindSections") {
        findSections_.Clear();
        r.ReadCollection([this](int i, const std::string& prop, TVQReader& ir) {
            while (findSections_.Count() <= i) findSections_.Add();
            TFindsection& f = *findSections_.Items(i);
            if (std::string* t = prop == "FieldName"     ? &f.FieldName
                                 : prop == "TableName"   ? &f.TableName
                                 : prop == "CFieldName"  ? &f.CFieldName
                                 : prop == "logicChar"   ? &f.logicChar
                                 : prop == "FieldValue"  ? &f.FieldValue
                                 : prop == "OperateChar" ? &f.OperateChar
                                 : prop == "FieldType"   ? &f.FieldType
                                 : prop == "InPutType"   ? &f.InPutType
                                                         : nullptr)
                *t = ir.ReadString();
            else
                ir.ReadValue();
        });
        return;
    }
    r.ReadValue();
}
