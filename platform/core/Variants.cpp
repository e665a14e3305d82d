// Variant storage and the conversion rules. Strings convert to numbers with
// "." as the decimal separator; dates convert to text as "yyyy-MM-dd" (with
// the time when there is one), like every other date in the program.
#include "Variants.h"

#include <cmath>

#include "SysUtils.h"

struct Variant::ArrayData {
    int low = 0;
    std::vector<Variant> items;
};

namespace {

[[noreturn]] void invalidConversion() { throw EVariantError("Invalid variant type conversion"); }

bool isIntegerType(int t) {
    switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: return true;
    default: return false;
    }
}

} // namespace

Variant::Variant(bool v) : type_(varBoolean), i_(v ? 1 : 0) {}
Variant::Variant(int16_t v) : type_(varSmallint), i_(v) {}
Variant::Variant(int v) : type_(varInteger), i_(v) {}
Variant::Variant(unsigned v) : type_(v <= 0x7FFFFFFFu ? varInteger : varInt64), i_(v) {}
Variant::Variant(long v) : type_(varInt64), i_(v) {}
Variant::Variant(long long v) : type_(varInt64), i_(v) {}
Variant::Variant(unsigned long v) : type_(varInt64), i_(int64_t(v)) {}
Variant::Variant(float v) : type_(varSingle), d_(v) {}
Variant::Variant(double v) : type_(varDouble), d_(v) {}
Variant::Variant(Currency v) : type_(varCurrency), i_(v.Raw()) {}
Variant::Variant(TDateTime v) : type_(varDate), d_(v.Val) {}
Variant::Variant(const char* v) : type_(varString), s_(v ? v : "") {}
Variant::Variant(std::string v) : type_(varString), s_(std::move(v)) {}
Variant::Variant(std::string_view v) : type_(varString), s_(v) {}
Variant::Variant(const Variant& o) = default;
Variant::Variant(Variant&& o) noexcept
    : type_(o.type_), i_(o.i_), d_(o.d_), s_(std::move(o.s_)), arr_(std::move(o.arr_)) {
    o.type_ = varEmpty;
}
Variant& Variant::operator=(const Variant& o) = default;
Variant& Variant::operator=(Variant&& o) noexcept {
    if (this != &o) {
        type_ = o.type_;
        i_ = o.i_;
        d_ = o.d_;
        s_ = std::move(o.s_);
        arr_ = std::move(o.arr_);
        o.type_ = varEmpty;
    }
    return *this;
}
Variant::~Variant() = default;

std::string Variant::AsString() const {
    if (isIntegerType(type_)) return IntToStr(i_);
    switch (type_) {
    case varEmpty: return "";
    case varString: return s_;
    case varBoolean: return i_ ? "True" : "False";
    case varSingle:
    case varDouble: return FloatToStr(d_);
    case varCurrency: return CurrToStr(Currency::FromRaw(i_));
    case varDate: return DateTimeToStr(TDateTime(d_));
    default: invalidConversion();
    }
}

double Variant::AsDouble() const {
    if (isIntegerType(type_)) return double(i_);
    switch (type_) {
    case varEmpty: return 0;
    case varBoolean: return i_ ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate: return d_;
    case varCurrency: return Currency::FromRaw(i_).ToDouble();
    case varString: {
        double v;
        if (!TryStrToFloat(s_, v)) invalidConversion();
        return v;
    }
    default: invalidConversion();
    }
}

int64_t Variant::AsInt64() const {
    if (isIntegerType(type_)) return i_;
    switch (type_) {
    case varEmpty: return 0;
    case varBoolean: return i_ ? -1 : 0;
    case varCurrency: return ::Round(Currency::FromRaw(i_).ToDouble());
    case varString: {
        int64_t v;
        if (TryStrToInt64(s_, v)) return v;
        double d;
        if (!TryStrToFloat(s_, d)) invalidConversion();
        return ::Round(d);
    }
    default: {
        double d = AsDouble();
        if (!std::isfinite(d) || std::fabs(d) > 9.2e18) invalidConversion();
        return ::Round(d);
    }
    }
}

int Variant::AsInteger() const {
    int64_t v = AsInt64();
    if (v > 2147483647LL || v < -2147483648LL) throw EVariantError("Arithmetic overflow");
    return int(v);
}

Currency Variant::AsCurrency() const {
    if (isIntegerType(type_)) return Currency(int64_t(i_));
    switch (type_) {
    case varEmpty: return Currency();
    case varBoolean: return Currency(i_ ? -1 : 0);
    case varCurrency: return Currency::FromRaw(i_);
    case varString: {
        Currency c;
        if (!TryStrToCurr(s_, c)) invalidConversion();
        return c;
    }
    default: return Currency::FromDouble(AsDouble());
    }
}

TDateTime Variant::AsDateTime() const {
    if (type_ == varString) {
        TDateTime d;
        if (!TryStrToDateTime(s_, d)) invalidConversion();
        return d;
    }
    return TDateTime(AsDouble());
}

bool Variant::AsBoolean() const {
    if (isIntegerType(type_) || type_ == varBoolean) return i_ != 0;
    switch (type_) {
    case varEmpty: return false;
    case varCurrency: return i_ != 0;
    case varString: {
        bool b;
        if (!TryStrToBool(s_, b)) invalidConversion();
        return b;
    }
    default: return AsDouble() != 0;
    }
}

Variant& Variant::operator[](int index) {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    if (arr_.use_count() > 1) arr_ = std::make_shared<ArrayData>(*arr_);
    int k = index - arr_->low;
    if (k < 0 || k >= int(arr_->items.size())) throw EVariantError("Variant or safe array index out of bounds");
    return arr_->items[size_t(k)];
}

const Variant& Variant::operator[](int index) const {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    int k = index - arr_->low;
    if (k < 0 || k >= int(arr_->items.size())) throw EVariantError("Variant or safe array index out of bounds");
    return arr_->items[size_t(k)];
}

int Variant::LowBound() const {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    return arr_->low;
}

int Variant::HighBound() const {
    if (!IsArray()) throw EVariantError("Variant is not an array");
    return arr_->low + int(arr_->items.size()) - 1;
}

bool operator==(const Variant& a, const Variant& b) { return VariantsEqual(a, b); }

Variant Null() {
    Variant v;
    v.type_ = varNull;
    return v;
}

Variant Unassigned() { return Variant(); }

int VarType(const Variant& v) { return v.Type(); }
bool VarIsNull(const Variant& v) { return v.IsNull(); }
bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
bool VarIsClear(const Variant& v) { return v.IsEmpty() || v.IsNull(); }
bool VarIsArray(const Variant& v) { return v.IsArray(); }
bool VarIsStr(const Variant& v) { return v.Type() == varString || v.Type() == varOleStr; }
bool VarIsOrdinal(const Variant& v) { return isIntegerType(v.Type()) || v.Type() == varBoolean; }
bool VarIsFloat(const Variant& v) {
    return v.Type() == varSingle || v.Type() == varDouble || v.Type() == varCurrency || v.Type() == varDate;
}
bool VarIsNumeric(const Variant& v) {
    return isIntegerType(v.Type()) || v.Type() == varBoolean || v.Type() == varSingle || v.Type() == varDouble ||
           v.Type() == varCurrency;
}

std::string VarToStr(const Variant& v) {
    if (v.IsNull() || v.IsEmpty() || v.IsArray()) return "";
    return v.AsString();
}

std::string VarToStrDef(const Variant& v, const std::string& ifNull) {
    if (v.IsNull() || v.IsEmpty()) return ifNull;
    return VarToStr(v);
}

TDateTime VarToDateTime(const Variant& v) { return v.AsDateTime(); }

std::string VarTypeAsText(int t) {
    std::string base;
    switch (t & varTypeMask) {
    case varEmpty: base = "Empty"; break;
    case varNull: base = "Null"; break;
    case varSmallint: base = "Smallint"; break;
    case varInteger: base = "Integer"; break;
    case varSingle: base = "Single"; break;
    case varDouble: base = "Double"; break;
    case varCurrency: base = "Currency"; break;
    case varDate: base = "Date"; break;
    case varOleStr: base = "OleStr"; break;
    case varBoolean: base = "Boolean"; break;
    case varVariant: base = "Variant"; break;
    case varShortInt: base = "ShortInt"; break;
    case varByte: base = "Byte"; break;
    case varWord: base = "Word"; break;
    case varLongWord: base = "LongWord"; break;
    case varInt64: base = "Int64"; break;
    case varString: base = "String"; break;
    default: base = "Unknown"; break;
    }
    if (t & varArray) base = "Array " + base;
    return base;
}

Variant VarAsType(const Variant& v, int varType) {
    if (v.IsArray() && varType != v.Type()) invalidConversion();
    switch (varType) {
    case varEmpty: return Variant();
    case varNull: return Null();
    case varSmallint: {
        int x = v.AsInteger();
        if (x < -32768 || x > 32767) throw EVariantError("Arithmetic overflow");
        return Variant(int16_t(x));
    }
    case varInteger: return Variant(v.AsInteger());
    case varInt64: return Variant((long long)v.AsInt64());
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord: {
        Variant r((long long)v.AsInt64());
        r.type_ = varType;
        return r;
    }
    case varSingle: return Variant(float(v.AsDouble()));
    case varDouble: return Variant(v.AsDouble());
    case varCurrency: return Variant(v.AsCurrency());
    case varDate: return Variant(v.AsDateTime());
    case varBoolean: return Variant(v.AsBoolean());
    case varString:
    case varOleStr: return Variant(v.AsString());
    case varVariant: return v;
    default:
        if (varType == v.Type()) return v;
        invalidConversion();
    }
}

Variant VarArrayCreate(int low, int high, int varType) {
    if (high < low - 1) throw EVariantError("Variant array bounds error");
    Variant v;
    v.type_ = varArray | (varType & varTypeMask);
    v.arr_ = std::make_shared<Variant::ArrayData>();
    v.arr_->low = low;
    v.arr_->items.resize(size_t(high - low + 1));
    return v;
}

Variant VarArrayOf(std::initializer_list<Variant> values) { return VarArrayOf(std::vector<Variant>(values)); }

Variant VarArrayOf(const std::vector<Variant>& values) {
    Variant v = VarArrayCreate(0, int(values.size()) - 1, varVariant);
    for (size_t i = 0; i < values.size(); ++i) v[int(i)] = values[i];
    return v;
}

int VarArrayLowBound(const Variant& v, int dim) {
    if (dim != 1 || !v.IsArray()) throw EVariantError("Variant array bounds error");
    return v.LowBound();
}

int VarArrayHighBound(const Variant& v, int dim) {
    if (dim != 1 || !v.IsArray()) throw EVariantError("Variant array bounds error");
    return v.HighBound();
}

int VarArrayDimCount(const Variant& v) { return v.IsArray() ? 1 : 0; }

void VarArrayRedim(Variant& v, int highBound) {
    if (!v.IsArray()) throw EVariantError("Variant is not an array");
    if (highBound < v.LowBound() - 1) throw EVariantError("Variant array bounds error");
    if (v.arr_.use_count() > 1) v.arr_ = std::make_shared<Variant::ArrayData>(*v.arr_);
    v.arr_->items.resize(size_t(highBound - v.arr_->low + 1));
}

namespace {

// Numbers compare as numbers; a string against a number compares as a
// number when the text is one. Returns false in `comparable` otherwise.
int compareValues(const Variant& a, const Variant& b, bool& comparable) {
    comparable = true;
    bool aClear = VarIsClear(a), bClear = VarIsClear(b);
    if (aClear || bClear) {
        if (aClear && bClear) {
            if (a.Type() == b.Type()) return 0;
            return a.IsNull() ? -1 : 1; // Null sorts before Empty
        }
        return aClear ? -1 : 1;
    }
    if (a.IsArray() || b.IsArray()) {
        if (!(a.IsArray() && b.IsArray())) {
            comparable = false;
            return a.IsArray() ? 1 : -1;
        }
        int na = a.ArrayCount(), nb = b.ArrayCount();
        for (int i = 0; i < na && i < nb; ++i) {
            int c = compareValues(a[a.LowBound() + i], b[b.LowBound() + i], comparable);
            if (!comparable || c != 0) return c;
        }
        return na < nb ? -1 : (na > nb ? 1 : 0);
    }
    bool aStr = VarIsStr(a), bStr = VarIsStr(b);
    if (aStr && bStr) return AnsiCompareStr(a.AsString(), b.AsString());
    if (a.Type() == varCurrency && b.Type() == varCurrency) {
        Currency x = a.AsCurrency(), y = b.AsCurrency();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    if (isIntegerType(a.Type()) && isIntegerType(b.Type())) {
        int64_t x = a.AsInt64(), y = b.AsInt64();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    double x, y;
    if (aStr) {
        if (!TryStrToFloat(a.AsString(), x)) {
            comparable = false;
            return 1;
        }
    } else {
        x = a.AsDouble();
    }
    if (bStr) {
        if (!TryStrToFloat(b.AsString(), y)) {
            comparable = false;
            return -1;
        }
    } else {
        y = b.AsDouble();
    }
    return x < y ? -1 : (x > y ? 1 : 0);
}

} // namespace

bool VariantsEqual(const Variant& a, const Variant& b) {
    bool comparable;
    int c = compareValues(a, b, comparable);
    return comparable && c == 0;
}

int VarCompareValue(const Variant& a, const Variant& b) {
    bool comparable;
    int c = compareValues(a, b, comparable);
    if (!comparable) {
        // Text that is no number against a number: order by the texts.
        int t = AnsiCompareStr(VarToStr(a), VarToStr(b));
        return t < 0 ? -1 : (t > 0 ? 1 : 0);
    }
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}
