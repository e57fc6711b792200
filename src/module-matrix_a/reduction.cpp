#include "module-matrix_a/reduction.h"

#include "module-matrix_a/determinant.h"
#include "module-matrix_a/inverse.h"

template void diagonize(const ZEM_matrix<ZEM_int>&, ZEM_matrix<ZEM_int>&, ZEM_matrix<ZEM_int>&, ZEM_matrix<ZEM_int>&);
template void diagonize(const ZEM_matrix<ZEM_fraction>&, ZEM_matrix<ZEM_fraction>&, ZEM_matrix<ZEM_fraction>&,
                        ZEM_matrix<ZEM_fraction>&);
template void diagonize_without_left(const ZEM_matrix<ZEM_int>&, ZEM_matrix<ZEM_int>&, ZEM_matrix<ZEM_int>&);
template void diagonize_without_left(const ZEM_matrix<ZEM_fraction>&, ZEM_matrix<ZEM_fraction>&,
                                     ZEM_matrix<ZEM_fraction>&);
template ZEM_matrix<ZEM_int> inverse(const ZEM_matrix<ZEM_int>&);
template ZEM_matrix<ZEM_fraction> inverse(const ZEM_matrix<ZEM_fraction>&);
template ZEM_int determinant(const ZEM_matrix<ZEM_int>&);
template ZEM_fraction determinant(const ZEM_matrix<ZEM_fraction>&);
