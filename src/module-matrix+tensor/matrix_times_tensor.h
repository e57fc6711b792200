// A square matrix g times a tensor or pseudo-tensor t of dimension d: the tensor
// of t's dimension, rank and symmetry whose component at i is the sum over every
// tuple j of g(i_0, j_0) * ... * g(i_(r-1), j_(r-1)) * t(j), the matrix entries
// multiplied in from the left, last index first; a pseudo-tensor is multiplied
// by det(g) besides. A symbolic result carries as many coefficients as the
// longest component of t and the names of t's last one, as the sum of every
// term would. The values are formed one index at a time, skipping zeros.
// Instances: fraction and cyclotomic matrices times tensors of their own scalar
// or of symbolic numbers over it; pseudo-tensors of those symbolic numbers.
#pragma once

#include <type_traits>

#include "module-matrix/matrix.h"
#include "module-object/pointer_to_objects.h"
#include "module-scalar/fraction.h"
#include "module-tensor/tensor.h"
#include "numbers/cyclotomic.h"
#include "numbers/symbolic.h"

template <class S, class T>
inline constexpr bool matrix_times_tensor_instance =
    (std::is_same_v<S, ZEM_fraction> || std::is_same_v<S, ZEM_cyclotomic_number>) &&
    (std::is_same_v<T, S> || std::is_same_v<T, ZEM_symbolic_number<S>>);

// A g that is not d x d fails with
// "[operator * (matrix, tensor)] incorrect number of rows and/or columns".
template <class S, class T>
    requires matrix_times_tensor_instance<S, T>
ZEM_tensor<T> operator*(const ZEM_matrix<S>& g, const ZEM_tensor<T>& t);

template <class S, class T>
    requires matrix_times_tensor_instance<S, T> && tensor_from_parsed<T>
ZEM_pseudo_tensor<T> operator*(const ZEM_matrix<S>& g, const ZEM_pseudo_tensor<T>& t);

// Fills the component of every target tuple that agrees with `target` before
// `position`, writing the target places from `position` on.
template <class S, class T>
    requires matrix_times_tensor_instance<S, T>
void f_op_mul_1(int rank, int dim, pointer_to_objects<int>& target, pointer_to_objects<int>& source, int position,
                const ZEM_matrix<S>& g, const ZEM_tensor<T>& t, pointer_to_objects<T>& values);
template <class S, class T>
    requires matrix_times_tensor_instance<S, T> && tensor_from_parsed<T>
void f_op_mul_1(int rank, int dim, pointer_to_objects<int>& target, pointer_to_objects<int>& source, int position,
                const ZEM_matrix<S>& g, const ZEM_pseudo_tensor<T>& t, pointer_to_objects<T>& values);

// The sum of the terms of `target` over every source tuple that agrees with
// `source` before `position`, writing the source places from `position` on.
template <class S, class T>
    requires matrix_times_tensor_instance<S, T>
T f_op_mul_2(int rank, int dim, pointer_to_objects<int>& target, pointer_to_objects<int>& source, int position,
             const ZEM_matrix<S>& g, const ZEM_tensor<T>& t);
template <class S, class T>
    requires matrix_times_tensor_instance<S, T> && tensor_from_parsed<T>
T f_op_mul_2(int rank, int dim, pointer_to_objects<int>& target, pointer_to_objects<int>& source, int position,
             const ZEM_matrix<S>& g, const ZEM_pseudo_tensor<T>& t);
