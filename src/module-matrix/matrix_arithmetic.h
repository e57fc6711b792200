// The exact operations on matrices: difference, scalar times matrix, product.
// Entries use the checked arithmetic of their scalars, so an overflow fails with
// the scalar's message instead of wrapping; every result has a body of its own.
#pragma once

#include "module-matrix/matrix.h"
#include "module-object/error.h"

template <class T>
ZEM_matrix<T> operator-(const ZEM_matrix<T>& m1, const ZEM_matrix<T>& m2)
{
    if (m1.rows() != m2.rows() || m1.columns() != m2.columns())
        ZEM_FAIL("[matrix-1 - matrix-2] incompatible sizes");
    fresh_matrix<T> result(m1.columns(), m1.rows());
    const int count = m1.columns() * m1.rows();
    for (int p = 0; p < count; ++p) result.elements()[p] = m1.elements()[p] - m2.elements()[p];
    return result.finish();
}

template <class T>
ZEM_matrix<T> operator*(const T& x, const ZEM_matrix<T>& m)
{
    fresh_matrix<T> result(m.columns(), m.rows());
    const int count = m.columns() * m.rows();
    for (int p = 0; p < count; ++p) result.elements()[p] = x * m.elements()[p];
    return result.finish();
}

template <class T>
ZEM_matrix<T> operator*(const ZEM_matrix<T>& m1, const ZEM_matrix<T>& m2)
{
    if (m1.columns() != m2.rows()) ZEM_FAIL("[operator * (m1, m2)] wrong size");
    const int inner = m1.columns();
    const int n_columns = m2.columns();
    fresh_matrix<T> result(n_columns, m1.rows());
    for (int j = 0; j < n_columns; ++j)
        for (int i = 0; i < m1.rows(); ++i) {
            T sum;
            for (int k = 0; k < inner; ++k) sum = sum + m1.elements()[i * inner + k] * m2.elements()[k * n_columns + j];
            result.elements()[i * n_columns + j] = sum;
        }
    return result.finish();
}
