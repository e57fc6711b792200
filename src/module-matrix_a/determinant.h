// The determinant of a square matrix, exact. Small matrices (the elements of
// point groups) expand by cofactors down the first column, where zero entries
// form no minor; larger ones, whose expansion would take n! terms, are reduced
// by fraction-free elimination, which gives the same value in n^3 steps.
#pragma once

#include <climits>
#include <utility>

#include "module-matrix/matrix.h"
#include "module-matrix/matrix_builders.h"
#include "module-object/error.h"
#include "module-object/pointer_to_objects.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"

// Above this order elimination takes over from the expansion.
constexpr int largest_expanded_determinant = 4;

[[noreturn]] inline void determinant_overflow()
{
    ZEM_FAIL("[determinant] overflow");
}

// An integer of 128 bits that fails rather than wrap: the elimination's products
// of two minors may leave 32 bits even when the determinant does not.
class determinant_wide_int {
public:
    determinant_wide_int(__int128 value = 0) : value_(value) {}
    __int128 value() const { return value_; }

    friend determinant_wide_int operator*(determinant_wide_int a, determinant_wide_int b)
    {
        __int128 r;
        if (__builtin_mul_overflow(a.value_, b.value_, &r)) determinant_overflow();
        return r;
    }
    friend determinant_wide_int operator-(determinant_wide_int a, determinant_wide_int b)
    {
        __int128 r;
        if (__builtin_sub_overflow(a.value_, b.value_, &r)) determinant_overflow();
        return r;
    }
    friend determinant_wide_int operator-(determinant_wide_int a) { return determinant_wide_int(0) - a; }
    // Exact in the elimination; the divisor is a non-zero earlier pivot.
    friend determinant_wide_int operator/(determinant_wide_int a, determinant_wide_int b)
    {
        return a.value_ / b.value_;
    }
    friend bool operator==(determinant_wide_int a, determinant_wide_int b) { return a.value_ == b.value_; }

private:
    __int128 value_;
};

// Bareiss's elimination on the n x n entries of `a`, which it overwrites: after
// step k every entry below and right of the pivot is a minor of order k + 2 of
// the matrix, so each division by the previous pivot is exact.
template <class W>
W determinant_by_elimination(pointer_to_objects<W>& a, int n)
{
    const W zero(0);
    W previous(1);
    bool negated = false;
    for (int k = 0; k + 1 < n; ++k) {
        if (a[k * n + k] == zero) {
            int r = k + 1;
            while (r < n && a[r * n + k] == zero) ++r;
            if (r == n) return zero;
            for (int j = k; j < n; ++j) std::swap(a[k * n + j], a[r * n + j]);
            negated = !negated;
        }
        for (int i = k + 1; i < n; ++i) {
            for (int j = k + 1; j < n; ++j)
                a[i * n + j] = (a[i * n + j] * a[k * n + k] - a[i * n + k] * a[k * n + j]) / previous;
            a[i * n + k] = zero;
        }
        previous = a[k * n + k];
    }
    const W& last = a[n * n - 1];
    return negated ? -last : last;
}

template <class T>
T eliminated_determinant(const ZEM_matrix<T>& A)
{
    const int n = A.rows();
    pointer_to_objects<T> a(n * n);
    for (int k = 0; k < n * n; ++k) a[k] = A.elements()[k];
    return determinant_by_elimination(a, n);
}

inline int narrowed_determinant(__int128 d)
{
    if (d < INT_MIN || d > INT_MAX) determinant_overflow();
    return static_cast<int>(d);
}

inline ZEM_int eliminated_determinant(const ZEM_matrix<ZEM_int>& A)
{
    const int n = A.rows();
    pointer_to_objects<determinant_wide_int> a(n * n);
    for (int k = 0; k < n * n; ++k) a[k] = A.elements()[k].value();
    return ZEM_int(narrowed_determinant(determinant_by_elimination(a, n).value()));
}

// On whole numbers: each row times the least common multiple of its denominators,
// which keeps the entries of the elimination as small as the matrix allows.
inline ZEM_fraction eliminated_determinant(const ZEM_matrix<ZEM_fraction>& A)
{
    auto gcd = [](__int128 a, __int128 b) {
        if (a < 0) a = -a;
        while (b != 0) {
            __int128 r = a % b;
            a = b;
            b = r;
        }
        return a;
    };
    const int n = A.rows();
    pointer_to_objects<determinant_wide_int> a(n * n);
    determinant_wide_int scale(1);
    for (int i = 0; i < n; ++i) {
        determinant_wide_int multiple(1);
        for (int j = 0; j < n; ++j) {
            const __int128 d = A.elements()[i * n + j].denominator();
            multiple = multiple * determinant_wide_int(d / gcd(multiple.value(), d));
        }
        for (int j = 0; j < n; ++j) {
            const ZEM_fraction& x = A.elements()[i * n + j];
            a[i * n + j] =
                determinant_wide_int(x.numerator()) * determinant_wide_int(multiple.value() / x.denominator());
        }
        scale = scale * multiple;
    }
    const __int128 d = determinant_by_elimination(a, n).value();
    const __int128 g = gcd(d, scale.value());
    return ZEM_fraction(narrowed_determinant(d / g), narrowed_determinant(scale.value() / g));
}

template <class T>
T determinant(const ZEM_matrix<T>& A)
{
    if (A.rows() != A.columns()) ZEM_FAIL("determinant: rows != columns");
    const int n = A.rows();
    if (n > largest_expanded_determinant) return eliminated_determinant(A);
    if (n == 1) return A.element(1, 1);
    const T zero;
    const T minus_one(-1);
    T sign(1);
    T sum;
    for (int j = 1; j <= n; ++j) {
        const T& a = A.element(1, j);
        if (a != zero) sum = sum + sign * a * determinant(without_column_and_row(A, 1, j));
        sign = minus_one * sign;
    }
    return sum;
}
