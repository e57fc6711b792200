#include "module-mgrp+tensor/action_matrix.h"

#include "module-matrix/matrix_builders.h"
#include "module-object/error.h"

namespace {

const char* const module = "module-mgrp+tensor/mgrp+tensor-t";

}

template <class T>
ZEM_matrix<T> action_matrix(int dimension, int rank, const ZEM_matrix<T>& g, const pointer_to_objects<int>& position,
                            const pointer_to_objects<int>& representative, const tensor_basis& basis, int n)
{
    if (dimension != g.rows() || dimension != g.columns())
        _zem_error_(module, __LINE__, "[action_matrix] dimension != g.rows() || dimension != g.columns()");
    pointer_to_objects<ZEM_vector<T>> columns(n);
    pointer_to_objects<T> row(n);
    pointer_to_objects<int> target(rank);
    pointer_to_objects<int> source(rank);
    int flat = 0;
    f_act1(flat, 0, target, source, row, dimension, rank, g, columns, position, representative, basis, n);
    return matrix_from_columns(columns);
}

template <class T>
void f_act1(int& flat, int level, pointer_to_objects<int>& target, pointer_to_objects<int>& source,
            pointer_to_objects<T>& row, int dimension, int rank, const ZEM_matrix<T>& g,
            pointer_to_objects<ZEM_vector<T>>& columns, const pointer_to_objects<int>& position,
            const pointer_to_objects<int>& representative, const tensor_basis& basis, int n)
{
    if (level < rank) {
        for (int i = 0; i < dimension; ++i) {
            target[level] = i;
            f_act1(flat, level + 1, target, source, row, dimension, rank, g, columns, position, representative, basis, n);
        }
        return;
    }
    // The targets come in flat order, so counting them numbers them.
    const int k = position[flat];
    if (k >= 0) {
        const T zero;
        // Only the entries the previous target reached can differ from zero.
        for (T& x : row)
            if (x != zero) x = zero;
        f_act2(0, dimension, rank, target, source, g, row, T(1), position, representative, basis);
        columns[k] = ZEM_vector<T>(row);
    }
    ++flat;
}

template <class T>
void f_act2(int level, int dimension, int rank, pointer_to_objects<int>& target, pointer_to_objects<int>& source,
            const ZEM_matrix<T>& g, pointer_to_objects<T>& row, T factor, const pointer_to_objects<int>& position,
            const pointer_to_objects<int>& representative, const tensor_basis& basis)
{
    if (level < rank) {
        const T zero;
        const T* g_row = g.elements() + target[level] * g.columns();
        for (int i = 0; i < dimension; ++i) {
            // A zero entry makes every product below it zero, and adding zero
            // changes no entry of the row, so that branch is left out.
            if (!(g_row[i] != zero)) continue;
            source[level] = i;
            f_act2(level + 1, dimension, rank, target, source, g, row, factor * g_row[i], position, representative,
                   basis);
        }
        return;
    }
    const int m = tensor_indices_to_index(dimension, rank, source);
    const int p = position[m];
    if (p >= 0) {
        row[p] = row[p] + factor;
        return;
    }
    switch (basis.get_at(m).status) {
    case tensor_basis_unclassified:
        _zem_error_(module, __LINE__, "[f_act2] hmm... black hole in tensor basis (please report)");
    case tensor_basis_component:
        _zem_error_(module, __LINE__, "[f_act2] hmm... element in tensor basis and not in tensor basis (please report)");
    case tensor_basis_plus_image: {
        const int q = position[representative[m]];
        row[q] = row[q] + factor;
        break;
    }
    case tensor_basis_minus_image: {
        const int q = position[representative[m]];
        row[q] = row[q] - factor;
        break;
    }
    default:
        break;
    }
}

#define ZARN_ACTION_MATRIX(T)                                                                                          \
    template ZEM_matrix<T> action_matrix(int, int, const ZEM_matrix<T>&, const pointer_to_objects<int>&,              \
                                         const pointer_to_objects<int>&, const tensor_basis&, int);                    \
    template void f_act1(int&, int, pointer_to_objects<int>&, pointer_to_objects<int>&, pointer_to_objects<T>&, int,   \
                         int, const ZEM_matrix<T>&, pointer_to_objects<ZEM_vector<T>>&, const pointer_to_objects<int>&, \
                         const pointer_to_objects<int>&, const tensor_basis&, int);                                    \
    template void f_act2(int, int, int, pointer_to_objects<int>&, pointer_to_objects<int>&, const ZEM_matrix<T>&,      \
                         pointer_to_objects<T>&, T, const pointer_to_objects<int>&, const pointer_to_objects<int>&,    \
                         const tensor_basis&);

ZARN_ACTION_MATRIX(ZEM_int)
ZARN_ACTION_MATRIX(ZEM_fraction)
ZARN_ACTION_MATRIX(ZEM_cyclotomic_number)
