#include "module-scalar/fraction.h"

#include <cstdlib>
#include <limits>

#include "module-object/error.h"

namespace {

std::uint64_t gcd_wide(std::uint64_t a, std::uint64_t b)
{
    while (b != 0) {
        std::uint64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

std::uint64_t magnitude(std::int64_t x)
{
    return x < 0 ? std::uint64_t(0) - static_cast<std::uint64_t>(x) : static_cast<std::uint64_t>(x);
}

}

ZEM_fraction::ZEM_fraction(int numerator, int denominator) : numerator_(numerator), denominator_(denominator)
{
    simple_fraction();
}

ZEM_fraction ZEM_fraction::from_wide(std::int64_t numerator, std::int64_t denominator)
{
    if (denominator == 0) ZEM_FAIL("[ZEM_fraction::simple_fraction] denominator == 0");
    ZEM_fraction result;
    if (numerator == 0) return result;
    // On magnitudes, so that the smallest 64-bit value is never negated.
    const bool negative = (numerator < 0) != (denominator < 0);
    std::uint64_t top = magnitude(numerator);
    std::uint64_t bottom = magnitude(denominator);
    const std::uint64_t g = gcd_wide(top, bottom);
    top /= g;
    bottom /= g;
    const std::uint64_t largest = std::uint64_t(std::numeric_limits<int>::max());
    if (top > largest + (negative ? 1 : 0) || bottom > largest)
        ZEM_FAIL("[ZEM_fraction] overflow");
    result.numerator_ = negative ? static_cast<int>(-static_cast<std::int64_t>(top)) : static_cast<int>(top);
    result.denominator_ = static_cast<int>(bottom);
    return result;
}

void ZEM_fraction::simple_fraction() { *this = from_wide(numerator_, denominator_); }

ZEM_object* ZEM_fraction::copy_object() const { return new ZEM_fraction(*this); }

void ZEM_fraction::print(std::ostream& out) const
{
    out << numerator_;
    if (denominator_ != 1) out << '/' << denominator_;
}

ZEM_type ZEM_fraction::type() const { return tp_fraction(); }

ZEM_fraction& ZEM_fraction::operator+=(const ZEM_fraction& b) { return *this = *this + b; }
ZEM_fraction& ZEM_fraction::operator-=(const ZEM_fraction& b) { return *this = *this - b; }
ZEM_fraction& ZEM_fraction::operator*=(const ZEM_fraction& b) { return *this = *this * b; }
ZEM_fraction& ZEM_fraction::operator/=(const ZEM_fraction& b) { return *this = *this / b; }

using wide = std::int64_t;

ZEM_fraction operator+(const ZEM_fraction& a, const ZEM_fraction& b)
{
    if (a.denominator() == b.denominator())
        return ZEM_fraction::from_wide(wide(a.numerator()) + b.numerator(), a.denominator());
    return ZEM_fraction::from_wide(wide(a.numerator()) * b.denominator() + wide(b.numerator()) * a.denominator(),
                                   wide(a.denominator()) * b.denominator());
}

ZEM_fraction operator-(const ZEM_fraction& a, const ZEM_fraction& b)
{
    if (a.denominator() == b.denominator())
        return ZEM_fraction::from_wide(wide(a.numerator()) - b.numerator(), a.denominator());
    return ZEM_fraction::from_wide(wide(a.numerator()) * b.denominator() - wide(b.numerator()) * a.denominator(),
                                   wide(a.denominator()) * b.denominator());
}

ZEM_fraction operator*(const ZEM_fraction& a, const ZEM_fraction& b)
{
    return ZEM_fraction::from_wide(wide(a.numerator()) * b.numerator(), wide(a.denominator()) * b.denominator());
}

ZEM_fraction operator/(const ZEM_fraction& a, const ZEM_fraction& b)
{
    return ZEM_fraction::from_wide(wide(a.numerator()) * b.denominator(), wide(a.denominator()) * b.numerator());
}

ZEM_fraction operator-(const ZEM_fraction& a) { return ZEM_fraction::from_wide(-wide(a.numerator()), a.denominator()); }

static wide cross_difference(const ZEM_fraction& a, const ZEM_fraction& b)
{
    return wide(a.numerator()) * b.denominator() - wide(b.numerator()) * a.denominator();
}

bool operator==(const ZEM_fraction& a, const ZEM_fraction& b)
{
    return a.numerator() == b.numerator() && a.denominator() == b.denominator();
}
bool operator!=(const ZEM_fraction& a, const ZEM_fraction& b) { return !(a == b); }
bool operator<(const ZEM_fraction& a, const ZEM_fraction& b) { return cross_difference(a, b) < 0; }
bool operator<=(const ZEM_fraction& a, const ZEM_fraction& b) { return cross_difference(a, b) <= 0; }
bool operator>(const ZEM_fraction& a, const ZEM_fraction& b) { return b < a; }
bool operator>=(const ZEM_fraction& a, const ZEM_fraction& b) { return b <= a; }

ZEM_fraction operator%(const ZEM_fraction& a, int n)
{
    if (n <= 0) ZEM_FAIL("[frac-operator %] n <= 0");
    if (a.is_zero()) return ZEM_fraction();
    const wide den = a.denominator();
    const wide q = a.numerator() / (den * n) * n;
    wide r = a.numerator() - q * den;  // r / den, the remainder before it is made non-negative
    while (r < 0) r += wide(n) * den;
    return ZEM_fraction::from_wide(r, den);
}

ZEM_fraction round_towards_zero(const ZEM_fraction& a)
{
    const wide num = a.numerator();
    return ZEM_fraction::from_wide(num < 0 ? -((-num) / a.denominator()) : num / a.denominator(), 1);
}

int greatest_common_divisor(int a, int b)
{
    std::uint64_t g = gcd_wide(magnitude(a), magnitude(b));
    if (g > std::uint64_t(std::numeric_limits<int>::max()))
        ZEM_FAIL("[greatest_common_divisor] overflow");
    return static_cast<int>(g);
}

int smallest_common_multiple(int a, int b)
{
    if (a == 0 || b == 0) return 0;
    std::uint64_t g = gcd_wide(magnitude(a), magnitude(b));
    std::uint64_t m = magnitude(a) / g * magnitude(b);
    if (m > std::uint64_t(std::numeric_limits<int>::max()))
        ZEM_FAIL("[smallest_common_multiple] overflow");
    return static_cast<int>(m);
}

int hash(const ZEM_fraction& a)
{
    return static_cast<int>(static_cast<unsigned>(a.numerator()) * static_cast<unsigned>(a.denominator()));
}
