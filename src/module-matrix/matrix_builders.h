// Matrices assembled from vectors (as rows or as columns), from a stack of
// matrices of one shape, and the minor without one column and one row. Each
// result is a new body; positions no input reaches hold T's zero.
#pragma once

#include <algorithm>

#include "module-matrix/matrix.h"
#include "module-object/error.h"
#include "module-vector/vector.h"

namespace matrix_builders {

template <class T>
int longest(const pointer_to_objects<ZEM_vector<T>>& vectors)
{
    int length = 0;
    for (const ZEM_vector<T>& v : vectors) length = std::max(length, v.length());
    return length;
}

}

// Vector i becomes row i; the longest vector sets the width.
template <class T>
ZEM_matrix<T> matrix_from_rows(const pointer_to_objects<ZEM_vector<T>>& rows)
{
    const int width = matrix_builders::longest(rows);
    fresh_matrix<T> result(width, rows.count());
    for (int i = 0; i < rows.count(); ++i)
        for (int j = 0; j < rows[i].length(); ++j) result.elements()[i * width + j] = rows[i][j];
    return result.finish();
}

// Vector i becomes column i; the longest vector sets the height.
template <class T>
ZEM_matrix<T> matrix_from_columns(const pointer_to_objects<ZEM_vector<T>>& columns)
{
    const int n = columns.count();
    fresh_matrix<T> result(n, matrix_builders::longest(columns));
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < columns[i].length(); ++j) result.elements()[j * n + i] = columns[i][j];
    return result.finish();
}

// The blocks one above the other, the first on top; all must share one shape.
template <class T>
ZEM_matrix<T> matrix_from_stack_of_matrices(const pointer_to_objects<ZEM_matrix<T>>& blocks)
{
    if (blocks.count() < 1) ZEM_FAIL("[matrix_from_stack_of_matrices] empty matrix list");
    const int c = blocks[0].columns();
    const int r = blocks[0].rows();
    for (int b = 1; b < blocks.count(); ++b) {
        if (blocks[b].columns() != c)
            ZEM_FAIL("[matrix_from_stack_of_matrices] different number of columns");
        if (blocks[b].rows() != r) ZEM_FAIL("[matrix_from_stack_of_matrices] different number of rows");
    }
    const int block_size = c * r;
    fresh_matrix<T> result(c, matrix_element_count(r, blocks.count()));
    for (int b = 0; b < blocks.count(); ++b)
        std::copy(blocks[b].elements(), blocks[b].elements() + block_size, result.elements() + b * block_size);
    return result.finish();
}

// M without column k and row l, both counted from 1; later rows and columns move up.
template <class T>
ZEM_matrix<T> without_column_and_row(ZEM_matrix<T> M, int k, int l)
{
    const int c = M.columns();
    if (k < 1 || k > c || l < 1 || l > M.rows())
        ZEM_FAIL("[without_column_and_row] column or row out of range");
    fresh_matrix<T> result(c - 1, M.rows() - 1);
    T* target = result.elements();
    for (int i = 1; i <= M.rows(); ++i) {
        if (i == l) continue;
        for (int j = 1; j <= c; ++j)
            if (j != k) *target++ = M.element(j, i);
    }
    return result.finish();
}
