#include "module-matrix_a/reduction.h"

#include "module-matrix_a/determinant.h"
#include "module-matrix_a/inverse.h"

#define ZEM_REDUCTION_INSTANCES(T)                                                                  \
    template void diagonize(const ZEM_matrix<T>&, ZEM_matrix<T>&, ZEM_matrix<T>&, ZEM_matrix<T>&); \
    template void diagonize_without_left(const ZEM_matrix<T>&, ZEM_matrix<T>&, ZEM_matrix<T>&);    \
    template ZEM_matrix<T> inverse(const ZEM_matrix<T>&);                                          \
    template T determinant(const ZEM_matrix<T>&);

ZEM_REDUCTION_INSTANCES(ZEM_int)
ZEM_REDUCTION_INSTANCES(ZEM_fraction)
ZEM_REDUCTION_INSTANCES(ZEM_cyclotomic_number)
