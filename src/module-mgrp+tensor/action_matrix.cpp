#include "module-mgrp+tensor/action_matrix.h"

#include "module-matrix/matrix_builders.h"
#include "module-matrix_a/entry_size.h"
#include "numbers/wide_numbers.h"
#include "module-object/error.h"

namespace {

// The source walk of f_act2, over the entries g of a matrix of `columns` columns
// and a row of numbers of g's type. When `touched` is given, every
// position of the row that a term reaches while it holds zero is listed there,
// so that the row can be read and cleared without sweeping all of it.
template <class V, class Row>
void add_sources(int level, int dimension, int rank, const pointer_to_objects<int>& target,
                 pointer_to_objects<int>& source, const V* g, int columns, Row& row, const V& factor,
                 const pointer_to_objects<int>& position, const pointer_to_objects<int>& representative,
                 const tensor_basis& basis, std::vector<int>* touched)
{
    if (level < rank) {
        const V* g_row = g + target[level] * columns;
        for (int i = 0; i < dimension; ++i) {
            // A zero entry makes every product below it zero, and adding zero
            // changes no entry of the row, so that branch is left out.
            if (is_zero_entry(g_row[i])) continue;
            source[level] = i;
            add_sources(level + 1, dimension, rank, target, source, g, columns, row, factor * g_row[i], position,
                        representative, basis, touched);
        }
        return;
    }
    const int m = tensor_indices_to_index(dimension, rank, source);
    int q = position[m];
    bool minus = false;
    if (q < 0) {
        switch (basis.get_at(m).status) {
        case tensor_basis_unclassified:
            ZEM_FAIL("[f_act2] hmm... black hole in tensor basis (please report)");
        case tensor_basis_component:
            ZEM_FAIL("[f_act2] hmm... element in tensor basis and not in tensor basis (please report)");
        case tensor_basis_plus_image:
            q = position[representative[m]];
            break;
        case tensor_basis_minus_image:
            q = position[representative[m]];
            minus = true;
            break;
        default:
            return;
        }
    }
    if (touched && is_zero_entry(row[q])) touched->push_back(q);
    row[q] = minus ? row[q] - factor : row[q] + factor;
}

// A column whose sums overflow in T is formed again in wide numbers: the entries
// of g and a working row in those, made when a column first needs them.
template <class T>
struct wide_column_work {
    std::vector<wide_of<T>> g;
    std::vector<wide_of<T>> row;
    std::vector<int> touched;
};

// The coefficients of target k in `row`, their positions in `touched`; a
// coefficient that leaves 32 bits fails with T's overflow message. Without
// `wide_column`, that is; with it, a column that overflows goes there in wide
// numbers, and the answer is true.
template <class T>
bool add_column(int dimension, int rank, const pointer_to_objects<int>& target, pointer_to_objects<int>& source,
                const ZEM_matrix<T>& g, pointer_to_objects<T>& row, std::vector<int>& touched,
                const pointer_to_objects<int>& position, const pointer_to_objects<int>& representative,
                const tensor_basis& basis, wide_column_work<T>& wide, int k,
                const wide_action_column_sink<T>* wide_column)
{
    touched.clear();
    return narrow_or_wide(
        [&] {
            add_sources(0, dimension, rank, target, source, g.elements(), dimension, row, T(1), position,
                        representative, basis, &touched);
            return false;
        },
        [&] {
            for (int j : touched) row[j] = T();
            touched.clear();
            if (wide.g.empty()) {
                wide.g = widened(g.elements(), dimension * dimension);
                wide.row.resize(static_cast<std::size_t>(row.count()));
            }
            wide.touched.clear();
            add_sources(0, dimension, rank, target, source, wide.g.data(), dimension, wide.row, wide_of<T>(1),
                        position, representative, basis, &wide.touched);
            if (wide_column) {
                (*wide_column)(k, wide.row, wide.touched);
                return true;
            }
            // A position listed twice is narrowed once, and zero afterwards.
            for (int j : wide.touched) {
                wide_of<T>& x = wide.row[std::size_t(j)];
                if (is_zero_entry(x)) continue;
                const wide_of<T> value = std::move(x);
                x = wide_of<T>();
                row[j] = narrow(value);
                touched.push_back(j);
            }
            return false;
        });
}

// The target walk of f_act1; `column(k)` is called for each basis target k once
// its terms are in the row, and leaves the row zero again.
template <class T, class Column>
void walk_targets(int& flat, int level, pointer_to_objects<int>& target, pointer_to_objects<int>& source,
                  pointer_to_objects<T>& row, std::vector<int>& touched, int dimension, int rank,
                  const ZEM_matrix<T>& g, const pointer_to_objects<int>& position,
                  const pointer_to_objects<int>& representative, const tensor_basis& basis, Column& column,
                  wide_column_work<T>& wide, const wide_action_column_sink<T>* wide_column = nullptr)
{
    if (level < rank) {
        for (int i = 0; i < dimension; ++i) {
            target[level] = i;
            walk_targets(flat, level + 1, target, source, row, touched, dimension, rank, g, position, representative,
                         basis, column, wide, wide_column);
        }
        return;
    }
    // The targets come in flat order, so counting them numbers them.
    const int k = position[flat];
    if (k >= 0 &&
        !add_column(dimension, rank, target, source, g, row, touched, position, representative, basis, wide, k,
                    wide_column))
        column(k, row, touched);
    ++flat;
}

}

void require_action_shape(int dimension, int rows, int columns)
{
    if (dimension != rows || dimension != columns)
        ZEM_FAIL("[action_matrix] dimension != g.rows() || dimension != g.columns()");
}

template <class T>
ZEM_matrix<T> action_matrix(int dimension, int rank, const ZEM_matrix<T>& g, const pointer_to_objects<int>& position,
                            const pointer_to_objects<int>& representative, const tensor_basis& basis, int n)
{
    require_action_shape(dimension, g.rows(), g.columns());
    pointer_to_objects<ZEM_vector<T>> columns(n);
    pointer_to_objects<T> row(n);
    pointer_to_objects<int> target(rank);
    pointer_to_objects<int> source(rank);
    int flat = 0;
    f_act1(flat, 0, target, source, row, dimension, rank, g, columns, position, representative, basis, n);
    return matrix_from_columns(columns);
}

template <class T>
void for_each_action_column(int dimension, int rank, const ZEM_matrix<T>& g, const pointer_to_objects<int>& position,
                            const pointer_to_objects<int>& representative, const tensor_basis& basis, int n,
                            const action_column_sink<T>& column, const wide_action_column_sink<T>* wide_column)
{
    require_action_shape(dimension, g.rows(), g.columns());
    pointer_to_objects<T> row(n);
    pointer_to_objects<int> target(rank);
    pointer_to_objects<int> source(rank);
    std::vector<int> touched;
    wide_column_work<T> wide;
    int flat = 0;
    walk_targets(flat, 0, target, source, row, touched, dimension, rank, g, position, representative, basis, column,
                 wide, wide_column);
}

template <class T>
void f_act1(int& flat, int level, pointer_to_objects<int>& target, pointer_to_objects<int>& source,
            pointer_to_objects<T>& row, int dimension, int rank, const ZEM_matrix<T>& g,
            pointer_to_objects<ZEM_vector<T>>& columns, const pointer_to_objects<int>& position,
            const pointer_to_objects<int>& representative, const tensor_basis& basis, int)
{
    const T zero;
    for (T& x : row)
        if (x != zero) x = zero;
    auto to_vector = [&](int k, pointer_to_objects<T>& terms, const std::vector<int>& touched) {
        columns[k] = ZEM_vector<T>(terms);
        for (int j : touched) terms[j] = zero;
    };
    std::vector<int> touched;
    wide_column_work<T> wide;
    walk_targets(flat, level, target, source, row, touched, dimension, rank, g, position, representative, basis,
                 to_vector, wide);
}

template <class T>
void f_act2(int level, int dimension, int rank, pointer_to_objects<int>& target, pointer_to_objects<int>& source,
            const ZEM_matrix<T>& g, pointer_to_objects<T>& row, T factor, const pointer_to_objects<int>& position,
            const pointer_to_objects<int>& representative, const tensor_basis& basis)
{
    add_sources(level, dimension, rank, target, source, g.elements(), g.columns(), row, factor, position,
                representative, basis, nullptr);
}

#define ZARN_ACTION_MATRIX(T)                                                                                          \
    template ZEM_matrix<T> action_matrix(int, int, const ZEM_matrix<T>&, const pointer_to_objects<int>&,              \
                                         const pointer_to_objects<int>&, const tensor_basis&, int);                    \
    template void for_each_action_column(int, int, const ZEM_matrix<T>&, const pointer_to_objects<int>&,               \
                                         const pointer_to_objects<int>&, const tensor_basis&, int,                     \
                                         const action_column_sink<T>&, const wide_action_column_sink<T>*);             \
    template void f_act1(int&, int, pointer_to_objects<int>&, pointer_to_objects<int>&, pointer_to_objects<T>&, int,   \
                         int, const ZEM_matrix<T>&, pointer_to_objects<ZEM_vector<T>>&, const pointer_to_objects<int>&, \
                         const pointer_to_objects<int>&, const tensor_basis&, int);                                    \
    template void f_act2(int, int, int, pointer_to_objects<int>&, pointer_to_objects<int>&, const ZEM_matrix<T>&,      \
                         pointer_to_objects<T>&, T, const pointer_to_objects<int>&, const pointer_to_objects<int>&,    \
                         const tensor_basis&);

ZARN_ACTION_MATRIX(ZEM_int)
ZARN_ACTION_MATRIX(ZEM_fraction)
ZARN_ACTION_MATRIX(ZEM_cyclotomic_number)
