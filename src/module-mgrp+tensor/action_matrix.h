// The action of a square matrix g on the basis components of the tensors of one
// dimension, rank and permutation symmetry, as an n x n matrix over g's scalars
// (n the basis count). With (g.X)(t) the sum over all s of
// g(t_0, s_0) * ... * g(t_(r-1), s_(r-1)) * X(s), entry (j, k) is what basis
// component j contributes to basis component k of g.X: column k belongs to
// target k, so the result is the transpose of the map on the basis values.
// Exists over ZEM_int, ZEM_fraction and ZEM_cyclotomic_number, in the checked
// arithmetic of each.
#pragma once

#include <functional>
#include <vector>

#include "module-matrix/matrix.h"
#include "module-object/pointer_to_objects.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "module-tensor/tensor_basis.h"
#include "module-vector/vector.h"
#include "numbers/cyclotomic.h"
#include "numbers/wide_numbers.h"

// The tables are the position and representative tables of `basis`
// (mk_basis_tabs), n its basis count. A g that is not dimension x dimension
// fails with "[action_matrix] dimension != g.rows() || dimension != g.columns()".
template <class T>
ZEM_matrix<T> action_matrix(int dimension, int rank, const ZEM_matrix<T>& g, const pointer_to_objects<int>& position,
                            const pointer_to_objects<int>& representative, const tensor_basis& basis, int n);

// Fails as action_matrix does unless the matrix is dimension x dimension.
void require_action_shape(int dimension, int rows, int columns);

// The columns of action_matrix one at a time, without building the matrix: for
// each basis target k in increasing order, column(k, row, touched) finds the
// coefficients of target k in `row`, every position that may be non-zero listed
// in `touched` (a position whose terms cancelled and came back, twice), and must
// leave those positions zero. Fails as action_matrix does, unless `wide_column`
// is given: a column with a coefficient that leaves 32 bits then goes there
// instead, in wide numbers, on the same terms.
template <class T>
using action_column_sink = std::function<void(int k, pointer_to_objects<T>& row, const std::vector<int>& touched)>;
template <class T>
using wide_action_column_sink =
    std::function<void(int k, std::vector<wide_of<T>>& row, const std::vector<int>& touched)>;
template <class T>
void for_each_action_column(int dimension, int rank, const ZEM_matrix<T>& g, const pointer_to_objects<int>& position,
                            const pointer_to_objects<int>& representative, const tensor_basis& basis, int n,
                            const action_column_sink<T>& column,
                            const wide_action_column_sink<T>* wide_column = nullptr);

// Walks the target tuples from `level` on in flat order, `flat` counting them;
// for each basis target k, column vector k receives its coefficients.
template <class T>
void f_act1(int& flat, int level, pointer_to_objects<int>& target, pointer_to_objects<int>& source,
            pointer_to_objects<T>& row, int dimension, int rank, const ZEM_matrix<T>& g,
            pointer_to_objects<ZEM_vector<T>>& columns, const pointer_to_objects<int>& position,
            const pointer_to_objects<int>& representative, const tensor_basis& basis, int n);

// Walks the source tuples from `level` on, `factor` the product of the entries
// of g chosen above, and adds each complete source's product, with its sign, to
// the row entry of its basis component.
template <class T>
void f_act2(int level, int dimension, int rank, pointer_to_objects<int>& target, pointer_to_objects<int>& source,
            const ZEM_matrix<T>& g, pointer_to_objects<T>& row, T factor, const pointer_to_objects<int>& position,
            const pointer_to_objects<int>& representative, const tensor_basis& basis);
