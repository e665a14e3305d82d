// The root of the runtime layer: the object base, the exception family every
// layer raises, and the two value types the whole program counts with:
// TDateTime (days since 1899-12-30) and Currency (exact money).
// Not here: text formatting (SysUtils.h), variants (Variants.h), containers
// and components (Classes.h).
#pragma once

#include <cstdint>
#include <compare>
#include <exception>
#include <functional>
#include <initializer_list>
#include <string>
#include <type_traits>

using Word = uint16_t;

class TObject {
public:
    virtual ~TObject() = default;
    // The class's own name where a subclass bothers to give it; used only
    // in messages ("Cannot assign a TFoo to a TBar").
    virtual std::string ClassName() const { return "TObject"; }
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// Deletes p and leaves the pointer null, so a second free is harmless.
template <class T>
void FreeAndNil(T*& p) {
    T* q = p;
    p = nullptr;
    delete q;
}

// A set of enumeration values (at most 64, numbered from 0), as the class
// library's set types: `TSet<TReplaceFlag>{rfReplaceAll, rfIgnoreCase}`,
// `s.Contains(x)`, `s << x` to include, `s >> x` to exclude.
template <class E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(E e) : bits_(bit(e)) {}
    constexpr TSet(std::initializer_list<E> es) {
        for (E e : es) bits_ |= bit(e);
    }
    constexpr bool Contains(E e) const { return (bits_ & bit(e)) != 0; }
    constexpr TSet& operator<<(E e) {
        bits_ |= bit(e);
        return *this;
    }
    constexpr TSet& operator>>(E e) {
        bits_ &= ~bit(e);
        return *this;
    }
    constexpr TSet operator+(TSet o) const {
        TSet r;
        r.bits_ = bits_ | o.bits_;
        return r;
    }
    constexpr TSet operator-(TSet o) const {
        TSet r;
        r.bits_ = bits_ & ~o.bits_;
        return r;
    }
    constexpr TSet operator*(TSet o) const {
        TSet r;
        r.bits_ = bits_ & o.bits_;
        return r;
    }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr void Clear() { bits_ = 0; }
    constexpr uint64_t Bits() const { return bits_; }
    friend constexpr bool operator==(TSet a, TSet b) = default;

private:
    static constexpr uint64_t bit(E e) { return uint64_t(1) << unsigned(e); }
    uint64_t bits_ = 0;
};

// The one exception family of the program. Every error a user may see is an
// Exception whose Message is the text shown; EAbort is the silent one that
// the event-dispatch boundary swallows without a box.
class Exception : public std::exception {
public:
    std::string Message;
    int HelpContext = 0;
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
};

// Checks an invariant that a comment states (a data set's cursor, a grid's
// current cell, the state a modal loop leaves) at the point the code relies
// on it. A broken invariant is a fault in the program, not an error a user
// can act on: it names the condition and where, and aborts, so a test fails
// at the fault instead of somewhere after it. The build defines
// RT_ASSERTS_ON (cmake -DRT_ASSERTS=OFF leaves it out); the condition must
// have no effects, as it is not evaluated then.
[[noreturn]] void RtAssertFailed(const char* condition, const char* file, int line);
#ifdef RT_ASSERTS_ON
#define RT_ASSERT(cond) ((cond) ? void(0) : RtAssertFailed(#cond, __FILE__, __LINE__))
#else
#define RT_ASSERT(cond) ((void)sizeof(bool(cond)))
#endif

#define RT_DECLARE_EXCEPTION(Name, Base)                                                                               \
    class Name : public Base {                                                                                         \
    public:                                                                                                            \
        using Base::Base;                                                                                              \
    };

class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
    using Exception::Exception;
};
RT_DECLARE_EXCEPTION(EDatabaseError, Exception)
RT_DECLARE_EXCEPTION(EConvertError, Exception)
RT_DECLARE_EXCEPTION(EListError, Exception)
RT_DECLARE_EXCEPTION(EStringListError, EListError)
RT_DECLARE_EXCEPTION(EInvalidOperation, Exception)
RT_DECLARE_EXCEPTION(EInvalidPointer, Exception)
RT_DECLARE_EXCEPTION(EVariantError, Exception)
RT_DECLARE_EXCEPTION(EStreamError, Exception)
RT_DECLARE_EXCEPTION(EFOpenError, EStreamError)
RT_DECLARE_EXCEPTION(EFCreateError, EStreamError)
RT_DECLARE_EXCEPTION(EReadError, EStreamError)
RT_DECLARE_EXCEPTION(EWriteError, EStreamError)
RT_DECLARE_EXCEPTION(EInOutError, Exception)
RT_DECLARE_EXCEPTION(EIntError, Exception)
RT_DECLARE_EXCEPTION(EDivByZero, EIntError)
RT_DECLARE_EXCEPTION(EIntOverflow, EIntError)
RT_DECLARE_EXCEPTION(EMathError, Exception)
RT_DECLARE_EXCEPTION(EZeroDivide, EMathError)
RT_DECLARE_EXCEPTION(EOverflow, EMathError)
RT_DECLARE_EXCEPTION(EInvalidOp, EMathError)
RT_DECLARE_EXCEPTION(EOutOfMemory, Exception)
RT_DECLARE_EXCEPTION(EOSError, Exception)
RT_DECLARE_EXCEPTION(EInvalidCast, Exception)
RT_DECLARE_EXCEPTION(EPropertyError, Exception)
#undef RT_DECLARE_EXCEPTION

// Stops the current action without a message: throws EAbort.
[[noreturn]] void Abort();

// A point in time as a day number: the integer part counts days since
// 1899-12-30, the fraction is the time of day. Converts freely to and from
// double so that date arithmetic is plain arithmetic ("Date() + 30").
class TDateTime {
public:
    double Val = 0.0;
    constexpr TDateTime() = default;
    constexpr TDateTime(double v) : Val(v) {}
    constexpr operator double() const { return Val; }
    // yyyy-MM-dd / yyyy-MM-dd hh:nn:ss by the process short date format.
    std::string DateString() const;
    std::string TimeString() const;
    std::string DateTimeString() const;
    // FormatDateTime(format, *this).
    std::string FormatString(const std::string& format) const;
};
using TDate = TDateTime;
using TTime = TDateTime;

// Money: a signed 64-bit count of ten-thousandths. Arithmetic is exact for +
// and -; * and / round the ten-thousandth half to even, as the class library
// does. Never built from a double implicitly: FromDouble says so aloud.
class Currency {
public:
    static constexpr int64_t Scale = 10000;
    constexpr Currency() = default;
    constexpr Currency(int units) : raw_(int64_t(units) * Scale) {}
    constexpr Currency(long units) : raw_(int64_t(units) * Scale) {}
    constexpr Currency(long long units) : raw_(int64_t(units) * Scale) {}
    static constexpr Currency FromRaw(int64_t raw) {
        Currency c;
        c.raw_ = raw;
        return c;
    }
    // Rounds v * 10000 half to even; throws EOverflow outside the range.
    static Currency FromDouble(double v);
    constexpr int64_t Raw() const { return raw_; }
    double ToDouble() const { return double(raw_) / Scale; }
    // Whole units toward zero.
    constexpr int64_t Trunc() const { return raw_ / Scale; }

    constexpr Currency operator-() const { return FromRaw(-raw_); }
    friend constexpr Currency operator+(Currency a, Currency b) { return FromRaw(a.raw_ + b.raw_); }
    friend constexpr Currency operator-(Currency a, Currency b) { return FromRaw(a.raw_ - b.raw_); }
    friend Currency operator*(Currency a, Currency b);
    // Throws EZeroDivide on a zero divisor.
    friend Currency operator/(Currency a, Currency b);
    Currency& operator+=(Currency o) {
        raw_ += o.raw_;
        return *this;
    }
    Currency& operator-=(Currency o) {
        raw_ -= o.raw_;
        return *this;
    }
    Currency& operator*=(Currency o) { return *this = *this * o; }
    Currency& operator/=(Currency o) { return *this = *this / o; }
    friend constexpr bool operator==(Currency a, Currency b) = default;
    friend constexpr auto operator<=>(Currency a, Currency b) = default;

private:
    int64_t raw_ = 0;
};

// Whole-number helpers of the class library. Round is banker's rounding:
// Round(2.5) == 2, Round(3.5) == 4, Round(-2.5) == -2.
int64_t Round(double v);
int64_t Trunc(double v);
double Frac(double v);
double Int(double v);
double Power(double base, double exponent);

template <class A, class B>
constexpr std::common_type_t<A, B> Max(A a, B b) {
    return a < b ? b : a;
}
template <class A, class B>
constexpr std::common_type_t<A, B> Min(A a, B b) {
    return b < a ? b : a;
}
