// Wide working numbers for exact computations whose intermediate values may
// leave 32 bits although their results do not. Each is
// exact, so a reduction carried in them takes the same pivots and steps as one
// in the system's own numbers and gives the same results wherever those do not
// overflow; only what is handed back is narrowed, and fails when it leaves 32 bits.
//
// wide_integer holds a value below 2^62 in magnitude in one word and anything
// larger as a GMP integer; wide_rational is a fraction of two of them in lowest
// terms with a positive denominator; wide_cyclotomic is a wide_rational when its
// value is rational, else a cyclotomic number of the system's own, or, once an
// operation on those overflows, one with coefficients of any size.
//
// The determinant, the matrix product, the action matrix and matrix times tensor
// run in the system's own numbers and, when a step overflows, once more in these
// (narrow_or_wide), so that only a value they return can leave 32 bits.
#pragma once

#include <cstdint>
#include <gmp.h>
#include <optional>
#include <utility>
#include <vector>

#include "module-object/string.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"

class wide_integer {
public:
    wide_integer() = default;
    wide_integer(std::int64_t x) : word_(fits_small(x) ? small_word(x) : small_word(0))
    {
        if (!fits_small(x)) set_big(x);
    }
    wide_integer(const wide_integer& other) : word_(other.word_)
    {
        if (!other.is_small()) copy_big(other);
    }
    wide_integer(wide_integer&& other) noexcept : word_(other.word_) { other.word_ = small_word(0); }
    wide_integer& operator=(const wide_integer& other)
    {
        wide_integer copy(other);
        std::swap(word_, copy.word_);
        return *this;
    }
    wide_integer& operator=(wide_integer&& other) noexcept
    {
        std::swap(word_, other.word_);
        return *this;
    }
    ~wide_integer()
    {
        if (!is_small()) release();
    }

    static wide_integer copy_of(mpz_srcptr x);

    bool is_zero() const { return word_ == small_word(0); }
    bool is_one() const { return word_ == small_word(1); }
    int sign() const;
    // The value as an int; fails with "[ZEM_int] overflow" when it leaves 32 bits.
    int narrow() const;

    // Two small values sum below 2^63, so only the result's form is in question.
    friend wide_integer operator+(const wide_integer& a, const wide_integer& b)
    {
        if (a.is_small() && b.is_small()) return wide_integer(a.small() + b.small());
        return big_sum(a, b);
    }
    friend wide_integer operator-(const wide_integer& a, const wide_integer& b)
    {
        if (a.is_small() && b.is_small()) return wide_integer(a.small() - b.small());
        return big_difference(a, b);
    }
    friend wide_integer operator*(const wide_integer& a, const wide_integer& b)
    {
        std::int64_t product;
        if (a.is_small() && b.is_small() && !__builtin_mul_overflow(a.small(), b.small(), &product))
            return wide_integer(product);
        return big_product(a, b);
    }
    // Truncates toward zero.
    friend wide_integer operator/(const wide_integer& a, const wide_integer& b);
    friend wide_integer operator-(const wide_integer& a) { return wide_integer(0) - a; }
    // a - b * c, in one step.
    friend wide_integer minus_product(const wide_integer& a, const wide_integer& b, const wide_integer& c)
    {
        std::int64_t product, difference;
        if (a.is_small() && b.is_small() && c.is_small() && !__builtin_mul_overflow(b.small(), c.small(), &product) &&
            !__builtin_sub_overflow(a.small(), product, &difference))
            return wide_integer(difference);
        return big_minus_product(a, b, c);
    }
    friend int compare(const wide_integer& a, const wide_integer& b)
    {
        if (a.is_small() && b.is_small()) return a.small() < b.small() ? -1 : a.small() > b.small();
        return big_compare(a, b);
    }
    friend wide_integer gcd(const wide_integer& a, const wide_integer& b);
    friend bool operator==(const wide_integer& a, const wide_integer& b) { return compare(a, b) == 0; }
    friend bool operator<(const wide_integer& a, const wide_integer& b) { return compare(a, b) < 0; }

private:
    // A small value v is the odd word 2v + 1; a large one the address of its GMP
    // integer, which is even. Every value that fits is held small.
    static constexpr std::int64_t small_limit = std::int64_t(1) << 62;
    static constexpr std::int64_t small_word(std::int64_t v) { return v * 2 + 1; }
    static bool fits_small(std::int64_t v) { return v >= -small_limit && v < small_limit; }
    bool is_small() const { return (word_ & 1) != 0; }
    std::int64_t small() const { return word_ >> 1; }
    mpz_ptr big() const { return reinterpret_cast<mpz_ptr>(word_); }
    void release();
    void set_big(std::int64_t x);
    void copy_big(const wide_integer& other);
    static wide_integer big_sum(const wide_integer& a, const wide_integer& b);
    static wide_integer big_difference(const wide_integer& a, const wide_integer& b);
    static wide_integer big_product(const wide_integer& a, const wide_integer& b);
    static int big_compare(const wide_integer& a, const wide_integer& b);
    static wide_integer big_minus_product(const wide_integer& a, const wide_integer& b, const wide_integer& c);
    static wide_integer from_gmp(mpz_ptr taken);
    template <class Operation>
    static wide_integer through_gmp(const wide_integer& a, const wide_integer& b, Operation operation);
    friend class gmp_view;

    std::int64_t word_ = small_word(0);
};

class wide_rational {
public:
    wide_rational() = default;
    wide_rational(std::int64_t x) : numerator_(x) {}
    explicit wide_rational(wide_integer whole) : numerator_(std::move(whole)) {}
    wide_rational(const ZEM_fraction& f) : numerator_(f.numerator()), denominator_(f.denominator()) {}
    // In lowest terms from any parts with a non-zero denominator.
    wide_rational(wide_integer numerator, wide_integer denominator);

    const wide_integer& numerator() const { return numerator_; }
    const wide_integer& denominator() const { return denominator_; }
    bool is_zero() const { return numerator_.is_zero(); }
    // Fails with "[ZEM_fraction] overflow" when a part leaves 32 bits.
    ZEM_fraction narrow() const;

    friend wide_rational operator+(const wide_rational& a, const wide_rational& b);
    friend wide_rational operator-(const wide_rational& a, const wide_rational& b);
    friend wide_rational operator*(const wide_rational& a, const wide_rational& b);
    friend wide_rational operator/(const wide_rational& a, const wide_rational& b);
    friend wide_rational minus_product(const wide_rational& a, const wide_rational& b, const wide_rational& c);
    friend bool operator<(const wide_rational& a, const wide_rational& b);
    friend bool operator==(const wide_rational& a, const wide_rational& b)
    {
        return a.numerator_ == b.numerator_ && a.denominator_ == b.denominator_;
    }
    // |x|, which orders values as their squares do.
    friend wide_rational magnitude(const wide_rational& x);
    // a / b truncated toward zero.
    friend wide_rational whole_quotient(const wide_rational& a, const wide_rational& b);

private:
    wide_integer numerator_;
    wide_integer denominator_{1};
};

// The irrational value of a wide_cyclotomic, owned: a cyclotomic number of the
// system's own or, once arithmetic on those overflowed, an exact one. One word,
// whose low bit tells which, keeps the entries of the reduction small.
class irrational_value {
public:
    irrational_value() = default;
    explicit irrational_value(const ZEM_cyclotomic_number& x) : word_(address(new ZEM_cyclotomic_number(x))) {}
    explicit irrational_value(exact_cyclotomic_number x)
        : word_(address(new exact_cyclotomic_number(std::move(x))) | 1)
    {
    }
    irrational_value(const irrational_value& other)
        : word_(other.own()     ? address(new ZEM_cyclotomic_number(*other.own()))
                : other.exact() ? address(new exact_cyclotomic_number(*other.exact())) | 1
                                : 0)
    {
    }
    irrational_value(irrational_value&& other) noexcept : word_(std::exchange(other.word_, 0)) {}
    irrational_value& operator=(const irrational_value& other)
    {
        irrational_value copy(other);
        std::swap(word_, copy.word_);
        return *this;
    }
    irrational_value& operator=(irrational_value&& other) noexcept
    {
        std::swap(word_, other.word_);
        return *this;
    }
    ~irrational_value()
    {
        if (word_ != 0) release();
    }

    explicit operator bool() const { return word_ != 0; }
    const ZEM_cyclotomic_number* own() const
    {
        return word_ & 1 ? nullptr : reinterpret_cast<const ZEM_cyclotomic_number*>(word_);
    }
    const exact_cyclotomic_number* exact() const
    {
        return word_ & 1 ? reinterpret_cast<const exact_cyclotomic_number*>(word_ - 1) : nullptr;
    }

private:
    static std::uintptr_t address(const void* x) { return reinterpret_cast<std::uintptr_t>(x); }
    void release();
    std::uintptr_t word_ = 0;
};

class wide_cyclotomic {
public:
    wide_cyclotomic() = default;
    wide_cyclotomic(int x) : rational_(x) {}
    wide_cyclotomic(wide_rational x) : rational_(std::move(x)) {}
    wide_cyclotomic(const ZEM_cyclotomic_number& x);
    explicit wide_cyclotomic(exact_cyclotomic_number x);

    bool is_zero() const { return !irrational_ && rational_.is_zero(); }
    // Fails with "[ZEM_fraction] overflow" when a coefficient leaves 32 bits.
    ZEM_cyclotomic_number narrow() const;
    // The pivot size of the cyclotomic numbers, |x|^2 for a rational x.
    wide_rational size() const;

    friend wide_cyclotomic operator+(const wide_cyclotomic& a, const wide_cyclotomic& b);
    friend wide_cyclotomic operator-(const wide_cyclotomic& a, const wide_cyclotomic& b);
    friend wide_cyclotomic operator*(const wide_cyclotomic& a, const wide_cyclotomic& b);
    friend wide_cyclotomic operator/(const wide_cyclotomic& a, const wide_cyclotomic& b);

private:
    exact_cyclotomic_number exactly() const;
    // For a value without an exact form: the held number itself, or the rational
    // value made into `made`; no copy of a held number.
    const ZEM_cyclotomic_number& own_form(std::optional<ZEM_cyclotomic_number>& made) const;
    template <class Operation>
    static wide_cyclotomic irrational_combined(const wide_cyclotomic& a, const wide_cyclotomic& b,
                                               Operation operation);

    // The value when irrational_ is empty.
    wide_rational rational_;
    irrational_value irrational_;
};

// What the reduction needs of each (entry_size.h gives the same for the
// system's own numbers).
inline bool is_zero_entry(const wide_integer& x) { return x.is_zero(); }
inline bool is_zero_entry(const wide_rational& x) { return x.is_zero(); }
inline bool is_zero_entry(const wide_cyclotomic& x) { return x.is_zero(); }

inline wide_integer entry_size(const wide_integer& x) { return x.sign() < 0 ? -x : x; }
inline wide_rational entry_size(const wide_rational& x) { return magnitude(x); }
inline wide_rational entry_size(const wide_cyclotomic& x) { return x.size(); }

inline wide_integer sweep_quotient(const wide_integer& a, const wide_integer& pivot) { return a / pivot; }
inline wide_rational sweep_quotient(const wide_rational& a, const wide_rational& pivot)
{
    return whole_quotient(a, pivot);
}
inline wide_cyclotomic sweep_quotient(const wide_cyclotomic& a, const wide_cyclotomic& pivot) { return a / pivot; }

// The wide number of each of the system's element types, and the conversions.
template <class T>
struct wide_of_impl;
template <>
struct wide_of_impl<ZEM_int> {
    using type = wide_integer;
};
template <>
struct wide_of_impl<ZEM_fraction> {
    using type = wide_rational;
};
template <>
struct wide_of_impl<ZEM_cyclotomic_number> {
    using type = wide_cyclotomic;
};
template <class T>
using wide_of = typename wide_of_impl<T>::type;

inline wide_integer widen(const ZEM_int& x) { return wide_integer(x.value()); }
inline wide_rational widen(const ZEM_fraction& x) { return wide_rational(x); }
inline wide_cyclotomic widen(const ZEM_cyclotomic_number& x) { return wide_cyclotomic(x); }

inline ZEM_int narrow(const wide_integer& x) { return ZEM_int(x.narrow()); }
inline ZEM_fraction narrow(const wide_rational& x) { return x.narrow(); }
inline ZEM_cyclotomic_number narrow(const wide_cyclotomic& x) { return x.narrow(); }

// The values x[0 .. count-1] as wide numbers.
template <class T>
std::vector<wide_of<T>> widened(const T* x, int count)
{
    std::vector<wide_of<T>> result;
    result.reserve(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) result.push_back(widen(x[k]));
    return result;
}

// Whether a failure is a value of the system's numbers leaving 32 bits
// ("[ZEM_int] overflow" or "[ZEM_fraction] overflow"): the one failure that
// forming the value in wide numbers can avoid.
bool is_overflow(const ZEM_string& failure);

// What own() returns, or, when a step of it overflows, what wide() returns.
// own() works in the system's own numbers, wide() forms the same value in wide
// numbers and narrows only its result, so the two agree wherever own()
// succeeds: what succeeded before keeps its value and its speed, and only a
// result that leaves 32 bits still fails. Every other failure passes.
template <class Own, class Wide>
auto narrow_or_wide(Own&& own, Wide&& wide) -> decltype(own())
{
    try {
        return own();
    } catch (const ZEM_string& failure) {
        if (!is_overflow(failure)) throw;
    }
    return wide();
}

// The pivot size of x, exact where the system's own overflows.
wide_rational wide_pivot_size(const ZEM_cyclotomic_number& x);
