// The inverse of a matrix from its diagonal form: with D = L * A * R, the
// inverse is R * E * L, E holding the reciprocals of D's diagonal in the
// transposed shape. Exact over fractions and cyclotomic numbers for a non-zero
// determinant; over the integers only for determinant 1 or -1, and any other
// integer matrix fails rather than yield a non-inverse.
#pragma once

#include <algorithm>

#include "module-matrix/matrix.h"
#include "module-matrix/matrix_arithmetic.h"
#include "module-matrix_a/reduction.h"
#include "module-object/error.h"
#include "module-scalar/integer.h"

// A zero entry fails in the division.
template <class T>
T reciprocal_entry(const T& d)
{
    return T(1) / d;
}

inline ZEM_int reciprocal_entry(const ZEM_int& d)
{
    if (d.value() != 1 && d.value() != -1)
        ZEM_FAIL("[inverse] integer matrix whose determinant is not 1 or -1");
    return d;
}

template <class T>
ZEM_matrix<T> inverse(const ZEM_matrix<T>& A)
{
    ZEM_matrix<T> L, D, R;
    diagonize(A, L, D, R);
    const int m = D.rows();
    const int n = D.columns();
    fresh_matrix<T> e(m, n);
    for (int k = 0; k < std::min(m, n); ++k) e.elements()[k * m + k] = reciprocal_entry(D.elements()[k * n + k]);
    return (R * e.finish()) * L;
}
