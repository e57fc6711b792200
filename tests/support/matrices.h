// Small helpers for tests of matrices: a matrix written row by row and a vector
// from its elements.
#pragma once

#include <initializer_list>
#include <stdexcept>

#include "module-matrix/matrix.h"
#include "module-vector/vector.h"
#include "support/printed.h"

template <class T>
ZEM_matrix<T> matrix_of(std::initializer_list<std::initializer_list<T>> rows)
{
    const int n_rows = static_cast<int>(rows.size());
    const int n_columns = n_rows == 0 ? 0 : static_cast<int>(rows.begin()->size());
    pointer_to_objects<T> elements(n_rows * n_columns);
    int k = 0;
    for (const auto& row : rows) {
        if (static_cast<int>(row.size()) != n_columns) throw std::invalid_argument("matrix_of: ragged rows");
        for (const T& x : row) elements[k++] = x;
    }
    return ZEM_matrix<T>(n_columns, n_rows, elements);
}

template <class T>
ZEM_vector<T> vector_of(std::initializer_list<T> values)
{
    pointer_to_objects<T> a(static_cast<int>(values.size()));
    int k = 0;
    for (const T& x : values) a[k++] = x;
    return ZEM_vector<T>(a);
}

