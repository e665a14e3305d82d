// The field classes: conversion between the typed accessors and the Variant
// kept by the data set, edit and display text, range and character checks.
// Not here: where values are kept (DataSet.cpp) or how they reach a database.
#include "DB.h"

#include <cmath>

#include "SysUtils.h"

namespace {

const char* const kTypeNames[] = {
    "Unknown",    "String",    "SmallInt",  "Integer",    "Word",      "Boolean",     "Float",   "Currency",
    "BCD",        "Date",      "Time",      "DateTime",   "Bytes",     "VarBytes",    "AutoInc", "Blob",
    "Memo",       "Graphic",   "FmtMemo",   "ParadoxOle", "DBaseOle",  "TypedBinary", "Cursor",  "FixedChar",
    "WideString", "LargeInt",  "ADT",       "Array",      "Reference", "DataSet",     "OraBlob", "OraClob",
    "Variant",    "Interface", "IDispatch", "Guid",       "TimeStamp", "FMTBcd"};

// Cuts UTF-8 text after `chars` characters.
std::string cutChars(const std::string& s, int chars) {
    if (chars <= 0) return s;
    size_t i = 0;
    int n = 0;
    while (i < s.size()) {
        if (n == chars) return s.substr(0, i);
        unsigned char c = static_cast<unsigned char>(s[i]);
        i += c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        ++n;
    }
    return s;
}

bool isNullish(const Variant& v) { return v.IsNull() || v.IsEmpty(); }

} // namespace

const char* FieldTypeName(TFieldType t) {
    int i = int(t);
    return i >= 0 && i < int(std::size(kTypeNames)) ? kTypeNames[i] : "Unknown";
}

void DatabaseError(const std::string& message, const TComponent* component) {
    if (component && !component->Name().empty()) throw EDatabaseError(component->Name() + ": " + message);
    throw EDatabaseError(message);
}

// ------------------------------------------------------------------ TField

TField::TField(TComponent* owner, TFieldType type) : TComponent(owner), dataType_(type) {}

TField::~TField() {
    if (dataSet_) dataSet_->removeField(this);
}

void TField::SetDataSet(TDataSet* ds) {
    if (ds == dataSet_) return;
    if ((dataSet_ && dataSet_->Active()) || (ds && ds->Active()))
        DatabaseError("Cannot perform this operation on an open dataset", ds ? ds : dataSet_);
    if (dataSet_) dataSet_->removeField(this);
    dataSet_ = nullptr;
    if (ds) {
        ds->addField(this);
        dataSet_ = ds;
    }
}

void TField::SetLookupDataSet(TDataSet* ds) {
    if (ds == lookupDataSet_) return;
    if (lookupDataSet_) lookupDataSet_->RemoveFreeNotification(this);
    lookupDataSet_ = ds;
    if (ds) ds->FreeNotification(this);
}

void TField::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == lookupDataSet_) lookupDataSet_ = nullptr;
}

int TField::Index() const { return dataSet_ ? dataSet_->Fields().IndexOf(this) : -1; }

void TField::SetIndex(int index) {
    if (!dataSet_) return;
    auto& list = dataSet_->Fields().list_;
    int cur = Index();
    if (index < 0) index = 0;
    if (index >= int(list.size())) index = int(list.size()) - 1;
    if (cur < 0 || cur == index) return;
    list.erase(list.begin() + cur);
    list.insert(list.begin() + index, this);
    dataSet_->DataEvent(deLayoutChange);
}

int TField::DisplayWidth() const {
    if (displayWidth_ > 0) return displayWidth_;
    switch (dataType_) {
    case ftString:
    case ftFixedChar:
    case ftWideString: return size_ > 0 ? size_ : 20;
    case ftBoolean: return 5;
    case ftDate: return 10;
    case ftTime: return 10;
    case ftDateTime: return 18;
    case ftSmallint: return 6;
    default: return 10;
    }
}

TFieldAlignment TField::Alignment() const { return alignment_; }

Variant TField::GetValue() const {
    if (!dataSet_) DatabaseError("Field '" + fieldName_ + "' has no dataset");
    return dataSet_->GetFieldValue(this);
}

void TField::SetData(const Variant& v) {
    if (!dataSet_) DatabaseError("Field '" + fieldName_ + "' has no dataset");
    dataSet_->SetFieldValue(this, v);
}

void TField::SetAsVariant(const Variant& v) { SetData(isNullish(v) ? Null() : Convert(v)); }

bool TField::IsNull() const { return isNullish(GetValue()); }

Variant TField::OldValue() const {
    if (!dataSet_) return Null();
    return dataSet_->GetOldFieldValue(this);
}

Variant TField::NewValue() const { return GetValue(); }

std::string TField::FormatText(const Variant& v, bool) const { return VarToStr(v); }

std::string TField::AsString() const {
    Variant v = GetValue();
    if (isNullish(v)) return "";
    return FormatText(v, false);
}

void TField::SetAsString(const std::string& s) { SetAsVariant(Variant(s)); }

void TField::ConvertError(const std::string& kind) const {
    DatabaseError("Cannot access field '" + fieldName_ + "' as type " + kind, dataSet_);
}

int TField::AsInteger() const {
    Variant v = GetValue();
    return isNullish(v) ? 0 : v.AsInteger();
}
void TField::SetAsInteger(int v) { SetAsVariant(Variant(v)); }
int64_t TField::AsLargeInt() const {
    Variant v = GetValue();
    return isNullish(v) ? 0 : v.AsInt64();
}
void TField::SetAsLargeInt(int64_t v) { SetAsVariant(Variant(static_cast<long long>(v))); }
double TField::AsFloat() const {
    Variant v = GetValue();
    return isNullish(v) ? 0.0 : v.AsDouble();
}
void TField::SetAsFloat(double v) { SetAsVariant(Variant(v)); }
Currency TField::AsCurrency() const {
    Variant v = GetValue();
    return isNullish(v) ? Currency() : v.AsCurrency();
}
void TField::SetAsCurrency(Currency v) { SetAsVariant(Variant(v)); }
TDateTime TField::AsDateTime() const {
    Variant v = GetValue();
    return isNullish(v) ? TDateTime() : VarToDateTime(v);
}
void TField::SetAsDateTime(TDateTime v) { SetAsVariant(Variant(v)); }
bool TField::AsBoolean() const {
    Variant v = GetValue();
    return isNullish(v) ? false : v.AsBoolean();
}
void TField::SetAsBoolean(bool v) { SetAsVariant(Variant(v)); }

std::string TField::GetText(bool displayText) const {
    if (OnGetText) {
        std::string text;
        OnGetText(const_cast<TField*>(this), text, displayText);
        return text;
    }
    Variant v = GetValue();
    if (isNullish(v) && !IsBlob()) return "";
    return FormatText(v, displayText);
}

void TField::SetText(const std::string& s) {
    if (OnSetText)
        OnSetText(this, s);
    else
        SetAsString(s);
}

bool TField::CanModify() const {
    if (readOnly_ || !dataSet_) return false;
    if (fieldKind_ != fkData && fieldKind_ != fkInternalCalc) return false;
    return dataSet_->CanModify();
}

void TField::FocusControl() {
    if (!dataSet_ || !dataSet_->Active()) return;
    TField* f = this;
    dataSet_->DataEvent(deFocusControl, reinterpret_cast<intptr_t>(&f));
}

// ------------------------------------------------------------ TStringField

Variant TStringField::Convert(const Variant& v) const {
    std::string s = v.Type() == varBoolean ? (v.AsBoolean() ? "True" : "False") : VarToStr(v);
    return Variant(cutChars(s, size_));
}

void TStringField::SetAsString(const std::string& s) { SetData(Variant(cutChars(s, size_))); }

int TStringField::AsInteger() const {
    std::string s = AsString();
    if (s.empty()) return 0;
    int v;
    if (!TryStrToInt(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
    return v;
}

double TStringField::AsFloat() const {
    std::string s = AsString();
    if (s.empty()) return 0;
    return StrToFloat(s);
}

bool TStringField::AsBoolean() const {
    std::string s = UpperCase(Trim(AsString()));
    if (s.empty()) return false;
    return s[0] == 'T' || s[0] == 'Y';
}

// ----------------------------------------------------------- number fields

bool TNumericField::IsValidChar(char32_t c) const {
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E';
}

void TNumericField::CheckRange(double v) const {
    if ((minValue_ != 0 || maxValue_ != 0) && (v < minValue_ || v > maxValue_))
        DatabaseError(Format("%g is not a valid value for field '%s'. The allowed range is %g to %g", v, DisplayName(),
                             minValue_, maxValue_));
}

bool TIntegerField::IsValidChar(char32_t c) const { return (c >= '0' && c <= '9') || c == '+' || c == '-'; }

Variant TIntegerField::Convert(const Variant& v) const {
    int64_t n;
    if (VarIsStr(v)) {
        std::string s = Trim(VarToStr(v));
        if (!TryStrToInt64(s, n))
            DatabaseError("'" + s + "' is not a valid integer value for field '" + DisplayName() + "'");
    } else if (VarIsFloat(v) || v.Type() == varCurrency || v.Type() == varDate) {
        n = Round(v.AsDouble());
    } else {
        n = v.AsInt64();
    }
    double lo = minValue_, hi = maxValue_;
    if (lo == 0 && hi == 0) {
        if (dataType_ == ftSmallint)
            lo = -32768, hi = 32767;
        else if (dataType_ == ftWord)
            lo = 0, hi = 65535;
        else if (dataType_ != ftLargeint)
            lo = -2147483648.0, hi = 2147483647.0;
    }
    if ((lo != 0 || hi != 0) && (double(n) < lo || double(n) > hi))
        DatabaseError(Format("%g is not a valid value for field '%s'. The allowed range is %g to %g", double(n),
                             DisplayName(), lo, hi));
    if (dataType_ == ftLargeint) return Variant(static_cast<long long>(n));
    return Variant(int(n));
}

void TIntegerField::SetAsString(const std::string& s) {
    if (Trim(s).empty()) {
        Clear();
        return;
    }
    SetAsVariant(Variant(s));
}

std::string TIntegerField::AsString() const {
    Variant v = GetValue();
    return isNullish(v) ? "" : IntToStr(static_cast<long long>(v.AsInt64()));
}

std::string TIntegerField::FormatText(const Variant& v, bool displayText) const {
    const std::string& fmt = displayText || EditFormat().empty() ? DisplayFormat() : EditFormat();
    if (fmt.empty()) return IntToStr(static_cast<long long>(v.AsInt64()));
    return FormatFloat(fmt, double(v.AsInt64()));
}

Variant TFloatField::Convert(const Variant& v) const {
    double d;
    if (VarIsStr(v)) {
        std::string s = Trim(VarToStr(v));
        if (!TryStrToFloat(s, d)) DatabaseError("'" + s + "' is not a valid floating point value");
    } else {
        d = v.AsDouble();
    }
    CheckRange(d);
    return Variant(d);
}

void TFloatField::SetAsString(const std::string& s) {
    if (Trim(s).empty()) {
        Clear();
        return;
    }
    SetAsVariant(Variant(s));
}

std::string TFloatField::AsString() const {
    Variant v = GetValue();
    if (isNullish(v)) return "";
    if (v.Type() == varCurrency) return CurrToStr(v.AsCurrency());
    return FloatToStr(v.AsDouble());
}

std::string TFloatField::FormatText(const Variant& v, bool displayText) const {
    const std::string& fmt = displayText || EditFormat().empty() ? DisplayFormat() : EditFormat();
    if (v.Type() == varCurrency) {
        ::Currency c = v.AsCurrency();
        if (!fmt.empty()) return FormatCurr(fmt, c);
        if (currency_) return CurrToStrF(c, displayText ? ffCurrency : ffFixed, FormatSettings.CurrencyDecimals);
        return CurrToStr(c);
    }
    double d = v.AsDouble();
    if (!fmt.empty()) return FormatFloat(fmt, d);
    if (currency_)
        return FloatToStrF(d, displayText ? ffCurrency : ffFixed, precision_, FormatSettings.CurrencyDecimals);
    return FloatToStrF(d, ffGeneral, precision_, 0);
}

Variant TCurrencyField::Convert(const Variant& v) const {
    ::Currency c;
    if (VarIsStr(v)) {
        std::string s = Trim(VarToStr(v));
        if (!TryStrToCurr(s, c)) DatabaseError("'" + s + "' is not a valid floating point value");
    } else if (v.Type() == varCurrency) {
        c = v.AsCurrency();
    } else if (VarIsOrdinal(v)) {
        c = ::Currency(static_cast<long long>(v.AsInt64()));
    } else {
        c = ::Currency::FromDouble(v.AsDouble());
    }
    CheckRange(c.ToDouble());
    return Variant(c);
}

void TCurrencyField::SetAsString(const std::string& s) {
    if (Trim(s).empty()) {
        Clear();
        return;
    }
    SetAsVariant(Variant(s));
}

// ---------------------------------------------------------- TBooleanField

namespace {
void boolTexts(const std::string& displayValues, std::string& t, std::string& f) {
    if (displayValues.empty()) {
        t = "True";
        f = "False";
        return;
    }
    size_t p = displayValues.find(';');
    t = displayValues.substr(0, p);
    f = p == std::string::npos ? "" : displayValues.substr(p + 1);
}
} // namespace

Variant TBooleanField::Convert(const Variant& v) const {
    if (VarIsStr(v)) {
        std::string s = Trim(VarToStr(v)), t, f;
        boolTexts(displayValues_, t, f);
        if (AnsiSameText(s, t)) return Variant(true);
        if (AnsiSameText(s, f)) return Variant(false);
        if (SameText(s, "True") || s == "1" || s == "-1") return Variant(true);
        if (SameText(s, "False") || s == "0") return Variant(false);
        DatabaseError("'" + s + "' is not a valid boolean value for field '" + DisplayName() + "'");
    }
    return Variant(v.AsBoolean());
}

void TBooleanField::SetAsString(const std::string& s) {
    if (Trim(s).empty()) {
        Clear();
        return;
    }
    SetAsVariant(Variant(s));
}

std::string TBooleanField::FormatText(const Variant& v, bool) const {
    std::string t, f;
    boolTexts(displayValues_, t, f);
    return v.AsBoolean() ? t : f;
}

// --------------------------------------------------------- date and time

Variant TDateTimeField::Convert(const Variant& v) const {
    TDateTime d;
    if (VarIsStr(v)) {
        std::string s = Trim(VarToStr(v));
        bool ok = dataType_ == ftTime ? TryStrToTime(s, d) : TryStrToDateTime(s, d);
        if (!ok) {
            if (dataType_ == ftTime) throw EConvertError("'" + s + "' is not a valid time");
            throw EConvertError("'" + s + "' is not a valid date and time");
        }
    } else {
        d = VarToDateTime(v);
    }
    if (dataType_ == ftDate) d = TDateTime(std::floor(d.Val));
    if (dataType_ == ftTime) d = TDateTime(d.Val - std::floor(d.Val));
    return Variant(d);
}

void TDateTimeField::SetAsString(const std::string& s) {
    if (Trim(s).empty()) {
        Clear();
        return;
    }
    SetAsVariant(Variant(s));
}

std::string TDateTimeField::FormatText(const Variant& v, bool displayText) const {
    TDateTime d = VarToDateTime(v);
    if (displayText && !DisplayFormat().empty()) return FormatDateTime(DisplayFormat(), d);
    switch (dataType_) {
    case ftDate: return DateToStr(d);
    case ftTime: return TimeToStr(d);
    default: return DateTimeToStr(d);
    }
}

// ------------------------------------------------------------------ blobs

std::string TBlobField::AsString() const {
    Variant v = GetValue();
    return isNullish(v) ? "" : VarToStr(v);
}

Variant TBlobField::Convert(const Variant& v) const { return Variant(VarToStr(v)); }

std::string TBlobField::FormatText(const Variant& v, bool displayText) const {
    if (!displayText && (dataType_ == ftMemo || dataType_ == ftFmtMemo)) return VarToStr(v);
    std::string name = FieldTypeName(dataType_);
    if (!isNullish(v) && !VarToStr(v).empty()) name = UpperCase(name);
    return "(" + name + ")";
}

void TBlobField::LoadFromStream(TStream* s) {
    s->SetPosition(0);
    std::string bytes = s->ReadRest();
    SetAsVariant(bytes.empty() ? Null() : Variant(bytes));
}

void TBlobField::SaveToStream(TStream* s) const {
    std::string bytes = IsNull() ? std::string() : VarToStr(GetValue());
    s->WriteBuffer(bytes);
}

void TBlobField::LoadFromFile(const std::string& path) {
    TFileStream f(path, fmOpenRead);
    LoadFromStream(&f);
}

void TBlobField::SaveToFile(const std::string& path) const {
    TFileStream f(path, fmCreate);
    SaveToStream(&f);
}

// --------------------------------------------------------------- factories

TField* CreateFieldOfType(TFieldType type, TComponent* owner) {
    switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString: return new TStringField(owner, type);
    case ftSmallint: return new TSmallintField(owner);
    case ftInteger: return new TIntegerField(owner);
    case ftWord: return new TWordField(owner);
    case ftAutoInc: return new TAutoIncField(owner);
    case ftLargeint: return new TLargeintField(owner);
    case ftBoolean: return new TBooleanField(owner);
    case ftFloat: return new TFloatField(owner);
    case ftCurrency: return new TCurrencyField(owner);
    case ftBCD:
    case ftFMTBcd: return new TBCDField(owner);
    case ftDate: return new TDateField(owner);
    case ftTime: return new TTimeField(owner);
    case ftDateTime:
    case ftTimeStamp: return new TDateTimeField(owner);
    case ftMemo:
    case ftFmtMemo: return new TMemoField(owner);
    case ftGraphic: return new TGraphicField(owner);
    case ftBlob:
    case ftBytes:
    case ftVarBytes:
    case ftTypedBinary:
    case ftParadoxOle:
    case ftDBaseOle: return new TBlobField(owner, type);
    default: DatabaseError(std::string("Field type ") + FieldTypeName(type) + " not supported");
    }
}

TField* TFieldDef::CreateField(TComponent* owner) const {
    TField* f = CreateFieldOfType(DataType, owner);
    f->SetFieldName(Name);
    if (DataType == ftString || DataType == ftFixedChar || DataType == ftWideString || Size > 0) f->SetSize(Size);
    f->SetRequired(Required);
    if (auto* ff = dynamic_cast<TFloatField*>(f); ff && Precision > 0 && DataType == ftFloat)
        ff->SetPrecision(Precision);
    return f;
}

// -------------------------------------------------------- lists of fields

TField* TFields::FindField(const std::string& name) const {
    for (TField* f : list_)
        if (AnsiSameText(f->FieldName(), name)) return f;
    return nullptr;
}

TField* TFields::FieldByName(const std::string& name) const {
    TField* f = FindField(name);
    if (!f) DatabaseError("Field '" + name + "' not found", owner_);
    return f;
}

int TFields::IndexOf(const TField* f) const {
    for (size_t i = 0; i < list_.size(); ++i)
        if (list_[i] == f) return int(i);
    return -1;
}

TFieldDef& TFieldDefs::Add(const std::string& name, TFieldType type, int size, bool required) {
    TFieldDef d;
    d.Name = name;
    d.DataType = type;
    d.Size = size;
    d.Required = required;
    d.FieldNo = int(defs_.size()) + 1;
    defs_.push_back(d);
    return defs_.back();
}

int TFieldDefs::IndexOf(const std::string& name) const {
    for (size_t i = 0; i < defs_.size(); ++i)
        if (AnsiSameText(defs_[i].Name, name)) return int(i);
    return -1;
}

TFieldDef* TFieldDefs::Find(const std::string& name) {
    int i = IndexOf(name);
    return i < 0 ? nullptr : &defs_[size_t(i)];
}

TIndexDef& TIndexDefs::Add(const std::string& name, const std::string& fields, TIndexOptions options) {
    TIndexDef d;
    d.Name = name;
    d.Fields = fields;
    d.Options = options;
    defs_.push_back(d);
    return defs_.back();
}

int TIndexDefs::IndexOf(const std::string& name) const {
    for (size_t i = 0; i < defs_.size(); ++i)
        if (AnsiSameText(defs_[i].Name, name)) return int(i);
    return -1;
}

TIndexDef* TIndexDefs::Find(const std::string& name) {
    int i = IndexOf(name);
    return i < 0 ? nullptr : &defs_[size_t(i)];
}
