// Variant: the class library's dynamically typed value, as data sets, Locate
// and the report engines pass field values around. Holds empty, null, the
// integer kinds, double, currency, date, UTF-8 string, boolean, or a
// one-dimensional array of variants with its own bounds.
// Not an OLE variant: no interfaces, no multi-dimensional arrays, no by-ref.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "System.h"

// Type codes as the class library numbers them, so stored type numbers and
// VarType() comparisons keep their meaning.
enum : int {
    varEmpty = 0x0000,
    varNull = 0x0001,
    varSmallint = 0x0002,
    varInteger = 0x0003,
    varSingle = 0x0004,
    varDouble = 0x0005,
    varCurrency = 0x0006,
    varDate = 0x0007,
    varOleStr = 0x0008,
    varBoolean = 0x000B,
    varVariant = 0x000C,
    varShortInt = 0x0010,
    varByte = 0x0011,
    varWord = 0x0012,
    varLongWord = 0x0013,
    varInt64 = 0x0014,
    varString = 0x0100,
    varTypeMask = 0x0FFF,
    varArray = 0x2000,
};

class Variant {
public:
    Variant() = default; // Unassigned (varEmpty)
    Variant(bool v);
    Variant(int16_t v); // varSmallint
    Variant(int v);
    Variant(unsigned v);  // varInt64 when it does not fit an int
    Variant(long v);      // varInt64
    Variant(long long v); // varInt64
    Variant(unsigned long v);
    Variant(float v);
    Variant(double v);
    Variant(Currency v);
    Variant(TDateTime v);
    Variant(const char* v);
    Variant(std::string v);
    Variant(std::string_view v);
    Variant(const Variant& o);
    Variant(Variant&& o) noexcept;
    Variant& operator=(const Variant& o);
    Variant& operator=(Variant&& o) noexcept;
    ~Variant();

    // The type code (varInteger, varString, varArray | varVariant, ...).
    int Type() const { return type_; }
    bool IsNull() const { return type_ == varNull; }
    bool IsEmpty() const { return type_ == varEmpty; }
    bool IsArray() const { return (type_ & varArray) != 0; }
    void Clear() { *this = Variant(); }

    // Conversions by the class library's rules. Empty converts to 0, "",
    // false; Null and arrays raise EVariantError "Invalid variant type
    // conversion" (AsString of Null too: use VarToStr for ""); text that is
    // no number raises EVariantError the same way. Booleans become -1/0 as
    // numbers and "True"/"False" as text.
    std::string AsString() const;
    int AsInteger() const;
    int64_t AsInt64() const;
    double AsDouble() const;
    Currency AsCurrency() const;
    TDateTime AsDateTime() const;
    bool AsBoolean() const;

    // Array elements; the index runs from the low bound to the high bound.
    // Raises EVariantError "Variant is not an array" / "Variant or safe
    // array index out of bounds".
    Variant& operator[](int index);
    const Variant& operator[](int index) const;
    int LowBound() const;
    int HighBound() const;
    int ArrayCount() const { return IsArray() ? HighBound() - LowBound() + 1 : 0; }

    // Equality as VariantsEqual.
    friend bool operator==(const Variant& a, const Variant& b);

private:
    struct ArrayData;
    int type_ = varEmpty;
    int64_t i_ = 0; // integer kinds, boolean (0/1), currency raw
    double d_ = 0;  // double, single, date
    std::string s_;
    std::shared_ptr<ArrayData> arr_; // shared until written (copy on write)
    friend Variant VarArrayCreate(int low, int high, int varType);
    friend Variant Null();
    friend Variant VarAsType(const Variant& v, int varType);
    friend void VarArrayRedim(Variant& v, int highBound);
};

Variant Null();
Variant Unassigned();

int VarType(const Variant& v);
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
// Empty or Null.
bool VarIsClear(const Variant& v);
bool VarIsArray(const Variant& v);
bool VarIsStr(const Variant& v);
bool VarIsNumeric(const Variant& v);
bool VarIsOrdinal(const Variant& v);
bool VarIsFloat(const Variant& v);
// The variant's text; "" for Empty, Null and arrays (never raises).
std::string VarToStr(const Variant& v);
// As VarToStr, with `ifNull` for Null and Empty.
std::string VarToStrDef(const Variant& v, const std::string& ifNull);
TDateTime VarToDateTime(const Variant& v);
// A copy of v converted to varType; raises EVariantError as the As* do.
Variant VarAsType(const Variant& v, int varType);
// The type name used in messages: "Empty", "Null", "Integer", "String"...
std::string VarTypeAsText(int varType);

// Arrays of variants. VarArrayCreate fills with Empty; the element type is
// recorded (VarType gives varArray | varType) but elements stay variants.
Variant VarArrayCreate(int low, int high, int varType = varVariant);
Variant VarArrayOf(std::initializer_list<Variant> values);
Variant VarArrayOf(const std::vector<Variant>& values);
// dim is 1 (only one-dimensional arrays exist); raises EVariantError for a
// non-array.
int VarArrayLowBound(const Variant& v, int dim = 1);
int VarArrayHighBound(const Variant& v, int dim = 1);
int VarArrayDimCount(const Variant& v);
// Grows or shrinks to the new high bound, keeping elements.
void VarArrayRedim(Variant& v, int highBound);

// Equality by the class library's comparison: both Empty or both Null are
// equal; Empty/Null never equal a value; numbers compare by value across
// kinds; two strings compare exactly; a string against a number compares as
// numbers when the text is a number, else unequal; arrays element by element.
bool VariantsEqual(const Variant& a, const Variant& b);
// -1, 0, 1 with Null/Empty sorting first; strings by AnsiCompareStr.
int VarCompareValue(const Variant& a, const Variant& b);
