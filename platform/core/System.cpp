// Exceptions, money arithmetic and the whole-number helpers declared in
// System.h. Rounding here is the class library's banker's rounding: a tie
// goes to the even neighbour, so sums of many rounded amounts do not drift.
#include "System.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "SysUtils.h"

void Abort() { throw EAbort(); }

void RtAssertFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}

std::string TDateTime::DateString() const { return DateToStr(*this); }
std::string TDateTime::TimeString() const { return TimeToStr(*this); }
std::string TDateTime::DateTimeString() const { return DateTimeToStr(*this); }
std::string TDateTime::FormatString(const std::string& format) const { return FormatDateTime(format, *this); }

namespace {

// n / d rounded half to even; d != 0.
__int128 divRoundEven(__int128 n, __int128 d) {
    if (d < 0) {
        n = -n;
        d = -d;
    }
    __int128 q = n / d;
    __int128 r = n % d;
    if (r < 0) r = -r;
    __int128 twice = r * 2;
    if (twice > d || (twice == d && (q % 2) != 0)) q += (n < 0) ? -1 : 1;
    return q;
}

int64_t checkedCurrency(__int128 v) {
    if (v > std::numeric_limits<int64_t>::max() || v < std::numeric_limits<int64_t>::min())
        throw EOverflow("Floating point overflow");
    return int64_t(v);
}

} // namespace

Currency Currency::FromDouble(double v) {
    if (!std::isfinite(v)) throw EInvalidOp("Invalid floating point operation");
    double scaled = v * double(Scale);
    if (std::fabs(scaled) >= 9.2233720368547758e18) throw EOverflow("Floating point overflow");
    // A double such as 0.00015 scales to 1.4999999999999998: it means the
    // decimal half, so a value within a few ulps of .5 rounds as the half it
    // stands for (to even) instead of as its binary neighbour.
    double f = std::floor(scaled);
    double diff = scaled - f;
    double tol = std::max(1.0, std::fabs(scaled)) * 8 * std::numeric_limits<double>::epsilon();
    if (std::fabs(diff - 0.5) <= tol) return FromRaw(int64_t(f) + (int64_t(f) % 2 != 0 ? 1 : 0));
    return FromRaw(int64_t(diff > 0.5 ? f + 1 : f));
}

Currency operator*(Currency a, Currency b) {
    __int128 p = __int128(a.raw_) * b.raw_;
    return Currency::FromRaw(checkedCurrency(divRoundEven(p, Currency::Scale)));
}

Currency operator/(Currency a, Currency b) {
    if (b.raw_ == 0) throw EZeroDivide("Floating point division by zero");
    __int128 n = __int128(a.raw_) * Currency::Scale;
    return Currency::FromRaw(checkedCurrency(divRoundEven(n, b.raw_)));
}

int64_t Round(double v) {
    double f = std::floor(v);
    double diff = v - f;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(f, 2.0) != 0.0)) f += 1.0;
    return int64_t(f);
}

int64_t Trunc(double v) { return int64_t(v); }
double Frac(double v) { return v - std::trunc(v); }
double Int(double v) { return std::trunc(v); }
double Power(double base, double exponent) { return std::pow(base, exponent); }
