// The determinant of a square matrix, exact. Small matrices (the elements of
// point groups) expand by cofactors down the first column, where zero entries
// form no minor; larger ones, whose expansion would take n! terms, are reduced
// by fraction-free elimination, which gives the same value in n^3 steps.
//
// Only a determinant that leaves 32 bits fails. The steps between may be far
// larger (the elimination multiplies minors, and scales each row of fractions by
// the common multiple of its denominators), so they are taken in wide numbers
// (numbers/wide_numbers.h) wherever the system's own may overflow. A determinant that
// leaves 32 bits fails as before: above order 4 over integers and fractions with
// "[determinant] overflow", otherwise with the overflow message of its scalars.
#pragma once

#include <climits>
#include <utility>
#include <vector>

#include "module-matrix/matrix.h"
#include "module-matrix/matrix_builders.h"
#include "module-matrix_a/entry_size.h"
#include "numbers/wide_numbers.h"
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

// Bareiss's elimination on the n x n entries of `a`, which it overwrites: after
// step k every entry below and right of the pivot is a minor of order k + 2 of
// the matrix, so each division by the previous pivot is exact.
template <class W>
W determinant_by_elimination(W* a, int n)
{
    W previous(1);
    bool negated = false;
    for (int k = 0; k + 1 < n; ++k) {
        if (is_zero_entry(a[k * n + k])) {
            int r = k + 1;
            while (r < n && is_zero_entry(a[r * n + k])) ++r;
            if (r == n) return W();
            for (int j = k; j < n; ++j) std::swap(a[k * n + j], a[r * n + j]);
            negated = !negated;
        }
        for (int i = k + 1; i < n; ++i) {
            for (int j = k + 1; j < n; ++j)
                a[i * n + j] = (a[i * n + j] * a[k * n + k] - a[i * n + k] * a[k * n + j]) / previous;
            a[i * n + k] = W();
        }
        previous = a[k * n + k];
    }
    if (n == 0) return W();
    return negated ? W() - a[n * n - 1] : a[n * n - 1];
}

// The determinant eliminated in wide numbers.
template <class T>
wide_of<T> widened_determinant(const ZEM_matrix<T>& A)
{
    std::vector<wide_of<T>> a = widened(A.elements(), A.rows() * A.rows());
    return determinant_by_elimination(a.data(), A.rows());
}

// The same, narrowed to T with T's overflow message.
template <class T>
T wide_determinant(const ZEM_matrix<T>& A)
{
    return narrow(widened_determinant(A));
}

// Whether a failure of determinant() is the determinant leaving 32 bits.
inline bool is_determinant_overflow(const ZEM_string& failure)
{
    return is_overflow(failure) || failed_with(failure, "[determinant] overflow");
}

inline int narrowed_determinant(const wide_integer& d)
{
    if (compare(d, INT_MIN) < 0 || compare(d, INT_MAX) > 0) determinant_overflow();
    return d.narrow();
}

// Over cyclotomic numbers: in their own arithmetic while no step overflows.
template <class T>
T eliminated_determinant(const ZEM_matrix<T>& A)
{
    return narrow_or_wide(
        [&] {
            const int n = A.rows();
            pointer_to_objects<T> a(n * n);
            for (int k = 0; k < n * n; ++k) a[k] = A.elements()[k];
            return determinant_by_elimination(a.block(), n);
        },
        [&] { return wide_determinant(A); });
}

inline ZEM_int eliminated_determinant(const ZEM_matrix<ZEM_int>& A)
{
    const int n = A.rows();
    std::vector<wide_integer> a = widened(A.elements(), n * n);
    return ZEM_int(narrowed_determinant(determinant_by_elimination(a.data(), n)));
}

// On whole numbers: each row times the least common multiple of its denominators,
// which keeps the entries of the elimination as small as the matrix allows.
inline ZEM_fraction eliminated_determinant(const ZEM_matrix<ZEM_fraction>& A)
{
    const int n = A.rows();
    std::vector<wide_integer> a(static_cast<std::size_t>(n) * static_cast<std::size_t>(n));
    wide_integer scale(1);
    for (int i = 0; i < n; ++i) {
        const ZEM_fraction* row = A.elements() + i * n;
        wide_integer multiple(1);
        for (int j = 0; j < n; ++j) {
            const wide_integer d(row[j].denominator());
            multiple = multiple * (d / gcd(multiple, d));
        }
        for (int j = 0; j < n; ++j) {
            const wide_integer numerator(row[j].numerator()), denominator(row[j].denominator());
            a[std::size_t(i * n + j)] = numerator * (multiple / denominator);
        }
        scale = scale * multiple;
    }
    const wide_rational d(determinant_by_elimination(a.data(), n), scale);
    return ZEM_fraction(narrowed_determinant(d.numerator()), narrowed_determinant(d.denominator()));
}

template <class T>
T expanded_determinant(const ZEM_matrix<T>& A)
{
    const int n = A.rows();
    if (n == 1) return A.element(1, 1);
    const T zero;
    const T minus_one(-1);
    T sign(1);
    T sum;
    for (int j = 1; j <= n; ++j) {
        const T& a = A.element(1, j);
        if (a != zero) sum = sum + sign * a * expanded_determinant(without_column_and_row(A, 1, j));
        sign = minus_one * sign;
    }
    return sum;
}

template <class T>
T determinant(const ZEM_matrix<T>& A)
{
    if (A.rows() != A.columns()) ZEM_FAIL("determinant: rows != columns");
    if (A.rows() > largest_expanded_determinant) return eliminated_determinant(A);
    return narrow_or_wide([&] { return expanded_determinant(A); }, [&] { return wide_determinant(A); });
}
