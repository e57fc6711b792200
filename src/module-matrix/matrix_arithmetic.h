// The exact operations on matrices: difference, scalar times matrix, product.
// Entries use the checked arithmetic of their scalars, so an overflow fails with
// the scalar's message instead of wrapping; every result has a body of its own.
// A sum of the product whose running value overflows is formed again in wide
// numbers (numbers/wide_numbers.h), so that only an entry that leaves 32 bits fails.
#pragma once

#include "module-matrix/matrix.h"
#include "numbers/wide_numbers.h"
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

// The product of the rows x inner entries a and the inner x columns entries b,
// numbers of type V, each entry narrowed to T by `narrow`.
template <class T, class V, class Narrow>
ZEM_matrix<T> product_of_entries(int rows, int inner, int columns, const V* a, const V* b, Narrow narrow)
{
    fresh_matrix<T> result(columns, rows);
    for (int j = 0; j < columns; ++j)
        for (int i = 0; i < rows; ++i) {
            V sum{};
            for (int k = 0; k < inner; ++k) sum = sum + a[i * inner + k] * b[k * columns + j];
            result.elements()[i * columns + j] = narrow(sum);
        }
    return result.finish();
}

template <class T>
ZEM_matrix<T> operator*(const ZEM_matrix<T>& m1, const ZEM_matrix<T>& m2)
{
    if (m1.columns() != m2.rows()) ZEM_FAIL("[operator * (m1, m2)] wrong size");
    const int rows = m1.rows(), inner = m1.columns(), columns = m2.columns();
    return narrow_or_wide(
        [&] {
            return product_of_entries<T>(rows, inner, columns, m1.elements(), m2.elements(),
                                         [](const T& x) -> const T& { return x; });
        },
        [&] {
            const auto a = widened(m1.elements(), rows * inner), b = widened(m2.elements(), inner * columns);
            return product_of_entries<T>(rows, inner, columns, a.data(), b.data(),
                                         [](const wide_of<T>& x) { return narrow(x); });
        });
}
