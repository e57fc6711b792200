// A 3 x 3 matrix of the benchmarks, written row by row.
#pragma once

#include "module-matrix/matrix.h"
#include "module-object/pointer_to_objects.h"

template <class T, class E>
ZEM_matrix<T> matrix_3x3(const E (&rows)[3][3])
{
    pointer_to_objects<T> a(9);
    for (int k = 0; k < 9; ++k) a[k] = T(rows[k / 3][k % 3]);
    return ZEM_matrix<T>(3, 3, a);
}
