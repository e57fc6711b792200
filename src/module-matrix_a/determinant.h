// The determinant of a square matrix, exact, by cofactor expansion down the
// first column; zero entries of that column form no minor.
#pragma once

#include "module-matrix/matrix.h"
#include "module-matrix/matrix_builders.h"
#include "module-object/error.h"

template <class T>
T determinant(const ZEM_matrix<T>& A)
{
    if (A.rows() != A.columns()) _zem_error_("module-matrix_a/matrix_a-t", __LINE__, "determinant: rows != columns");
    const int n = A.rows();
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
