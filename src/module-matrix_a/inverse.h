// The inverse of a matrix from its diagonal form: with D = L * A * R, the
// inverse is R * E * L, E holding the reciprocals of D's diagonal in the
// transposed shape. Exact over fractions and cyclotomic numbers for a non-zero
// determinant; over the integers only for determinant 1 or -1, and any other
// integer matrix fails rather than yield a non-inverse. The reduction's L and R
// may leave 32 bits where the inverse does not (the inverse of [[1, -2^31],
// [0, -1]] is itself, its R holds 2^31), so an overflow sends the whole
// computation once more through wide numbers, and only an entry of the inverse
// that leaves 32 bits fails.
#pragma once

#include <algorithm>
#include <vector>

#include "module-matrix/matrix.h"
#include "module-matrix/matrix_arithmetic.h"
#include "module-matrix_a/reduction.h"
#include "module-object/error.h"
#include "module-scalar/integer.h"
#include "numbers/wide_numbers.h"

[[noreturn]] inline void integer_inverse_failure()
{
    ZEM_FAIL("[inverse] integer matrix whose determinant is not 1 or -1");
}

// A zero entry fails in the division.
template <class T>
T reciprocal_entry(const T& d)
{
    return T(1) / d;
}

inline ZEM_int reciprocal_entry(const ZEM_int& d)
{
    if (d.value() != 1 && d.value() != -1) integer_inverse_failure();
    return d;
}

inline wide_integer reciprocal_entry(const wide_integer& d)
{
    if (!d.is_one() && !(d == wide_integer(-1))) integer_inverse_failure();
    return d;
}

// R * E * L, the reduction carried in wide numbers.
template <class T>
ZEM_matrix<T> wide_inverse(const ZEM_matrix<T>& A)
{
    using W = wide_of<T>;
    const int m = A.rows();
    const int n = A.columns();
    const auto work = reduction::reduced<T, W>(A, true);
    // R * E (n x m): column k of R times the reciprocal of diagonal entry k.
    std::vector<W> right(static_cast<std::size_t>(n) * std::size_t(m)), left(std::size_t(m) * std::size_t(m));
    for (int k = 0; k < std::min(m, n); ++k) {
        const W e = reciprocal_entry(work.ordered_diagonal(k));
        for (const auto& x : work.right_column(k)) right[std::size_t(x.index * m + k)] = work.value(x) * e;
    }
    for (int p = 0; p < m; ++p)
        for (const auto& x : work.left_row(p)) left[std::size_t(p * m + x.index)] = work.value(x);
    return product_of_entries<T>(n, m, m, right.data(), left.data(), [](const W& x) { return narrow(x); });
}

template <class T>
ZEM_matrix<T> inverse(const ZEM_matrix<T>& A)
{
    return narrow_or_wide(
        [&] {
            // The reduction in T alone: on an overflow the wide pass below reduces once more.
            ZEM_matrix<T> L, D, R;
            reduction::reduce<T, T>(A, &L, D, R);
            const int m = D.rows();
            const int n = D.columns();
            fresh_matrix<T> e(m, n);
            for (int k = 0; k < std::min(m, n); ++k)
                e.elements()[k * m + k] = reciprocal_entry(D.elements()[k * n + k]);
            return (R * e.finish()) * L;
        },
        [&] { return wide_inverse(A); });
}
