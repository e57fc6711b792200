// What the reduction to diagonal form needs to know of an element type: when an
// entry is zero, how large it is (to choose pivots and order the diagonal), and
// the quotient a sweep subtracts by. Sizes are compared exactly: an integer by
// its magnitude, a fraction by cross products in 64 bits, so no size wraps; a
// cyclotomic number by its pivot size, which is positive for every non-zero
// number, so that a zero never counts as small as a non-zero entry.
#pragma once

#include <climits>
#include <cstdint>
#include <utility>

#include "module-object/error.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"

inline bool is_zero_entry(const ZEM_int& x) { return x.value() == 0; }
inline bool is_zero_entry(const ZEM_fraction& x) { return x.is_zero(); }
// The canonical zero is the only zero.
inline bool is_zero_entry(const ZEM_cyclotomic_number& x) { return x.order == 1 && x.coefficients[0].is_zero(); }

inline std::uint64_t entry_magnitude(int x)
{
    return x < 0 ? std::uint64_t(0) - static_cast<std::uint64_t>(static_cast<std::int64_t>(x))
                 : static_cast<std::uint64_t>(x);
}

// |x|, which orders integers as their squares do.
inline std::uint64_t entry_size(const ZEM_int& x) { return entry_magnitude(x.value()); }

// |numerator| / denominator, which orders fractions as their squares do.
struct fraction_size {
    std::uint64_t numerator;
    std::uint64_t denominator;
};

inline fraction_size entry_size(const ZEM_fraction& x)
{
    return {entry_magnitude(x.numerator()), static_cast<std::uint64_t>(x.denominator())};
}

// Both products stay below 2^62.
inline bool operator<(const fraction_size& a, const fraction_size& b)
{
    return a.numerator * b.denominator < b.numerator * a.denominator;
}

// The whole-number quotient truncated toward zero.
inline ZEM_int sweep_quotient(const ZEM_int& a, const ZEM_int& pivot) { return a / pivot; }

// The exact quotient a / pivot truncated toward zero, formed in 64 bits so that
// only a quotient that itself leaves 32 bits fails.
inline ZEM_fraction sweep_quotient(const ZEM_fraction& a, const ZEM_fraction& pivot)
{
    if (pivot.is_zero()) ZEM_FAIL("[ZEM_fraction::simple_fraction] denominator == 0");
    const std::int64_t numerator = std::int64_t(a.numerator()) * pivot.denominator();
    const std::int64_t denominator = std::int64_t(a.denominator()) * pivot.numerator();
    const std::int64_t q = numerator / denominator;
    if (q < INT_MIN || q > INT_MAX) ZEM_FAIL("[ZEM_fraction] overflow");
    return ZEM_fraction(static_cast<int>(q));
}

inline ZEM_fraction entry_size(const ZEM_cyclotomic_number& x) { return pivot_size(x); }

// The exact quotient: the sweeps over cyclotomic numbers eliminate over the field.
inline ZEM_cyclotomic_number sweep_quotient(const ZEM_cyclotomic_number& a, const ZEM_cyclotomic_number& pivot)
{
    return a / pivot;
}

template <class T>
void swap_entries(T& a, T& b)
{
    std::swap(a, b);
}

// Without copying the coefficients.
inline void swap_entries(ZEM_cyclotomic_number& a, ZEM_cyclotomic_number& b)
{
    std::swap(a.order, b.order);
    a.coefficients.swap(b.coefficients);
}
