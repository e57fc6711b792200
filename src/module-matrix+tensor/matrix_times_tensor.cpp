#include "module-matrix+tensor/matrix_times_tensor.h"

#include "module-matrix_a/determinant.h"
#include "module-object/error.h"

namespace {

const char* const module = "module-matrix+tensor/matrix+tensor-t";

// The two recursions, for either handle.
template <class S, class T, class Handle>
T sum_of_terms(int rank, int dim, pointer_to_objects<int>& target, pointer_to_objects<int>& source, int position,
               const ZEM_matrix<S>& g, const Handle& t)
{
    if (position < rank) {
        T sum;
        for (int y = 0; y < dim; ++y) {
            source[position] = y;
            sum = sum + sum_of_terms<S, T>(rank, dim, target, source, position + 1, g, t);
        }
        return sum;
    }
    T c = t.get_component(source);
    const int n = g.columns();
    for (int k = rank - 1; k >= 0; --k) c = g.elements()[target[k] * n + source[k]] * c;
    return c;
}

template <class S, class T, class Handle>
void fill_components(int rank, int dim, pointer_to_objects<int>& target, pointer_to_objects<int>& source, int position,
                     const ZEM_matrix<S>& g, const Handle& t, pointer_to_objects<T>& values)
{
    if (position < rank) {
        for (int x = 0; x < dim; ++x) {
            target[position] = x;
            fill_components(rank, dim, target, source, position + 1, g, t, values);
        }
        return;
    }
    for (int& j : source) j = 0;
    values[tensor_indices_to_index(dim, rank, target)] = sum_of_terms<S, T>(rank, dim, target, source, 0, g, t);
}

template <class S, class T, class Handle>
pointer_to_objects<T> transformed_components(const ZEM_matrix<S>& g, const Handle& t)
{
    const int dim = t.dim();
    const int rank = t.rank();
    if (dim != g.rows() || dim != g.columns())
        _zem_error_(module, __LINE__, "[operator * (matrix, tensor)] incorrect number of rows and/or columns");
    pointer_to_objects<int> target(rank), source(rank);
    for (int& i : target) i = 0;
    for (int& j : source) j = 0;
    pointer_to_objects<T> values(tensor_component_count(dim, rank));
    fill_components(rank, dim, target, source, 0, g, t, values);
    return values;
}

}

template <class S, class T>
    requires matrix_times_tensor_instance<S, T>
ZEM_tensor<T> operator*(const ZEM_matrix<S>& g, const ZEM_tensor<T>& t)
{
    return ZEM_tensor<T>(t.dim(), t.rank(), transformed_components<S, T>(g, t), t.symmetry());
}

template <class S, class T>
    requires matrix_times_tensor_instance<S, T> && tensor_from_parsed<T>
ZEM_pseudo_tensor<T> operator*(const ZEM_matrix<S>& g, const ZEM_pseudo_tensor<T>& t)
{
    pointer_to_objects<T> values = transformed_components<S, T>(g, t);
    const S d = determinant(g);
    for (T& x : values) x = d * x;
    return ZEM_pseudo_tensor<T>(t.dim(), t.rank(), values, t.symmetry());
}

template <class S, class T>
    requires matrix_times_tensor_instance<S, T>
void f_op_mul_1(int rank, int dim, pointer_to_objects<int>& target, pointer_to_objects<int>& source, int position,
                const ZEM_matrix<S>& g, const ZEM_tensor<T>& t, pointer_to_objects<T>& values)
{
    fill_components(rank, dim, target, source, position, g, t, values);
}

template <class S, class T>
    requires matrix_times_tensor_instance<S, T> && tensor_from_parsed<T>
void f_op_mul_1(int rank, int dim, pointer_to_objects<int>& target, pointer_to_objects<int>& source, int position,
                const ZEM_matrix<S>& g, const ZEM_pseudo_tensor<T>& t, pointer_to_objects<T>& values)
{
    fill_components(rank, dim, target, source, position, g, t, values);
}

template <class S, class T>
    requires matrix_times_tensor_instance<S, T>
T f_op_mul_2(int rank, int dim, pointer_to_objects<int>& target, pointer_to_objects<int>& source, int position,
             const ZEM_matrix<S>& g, const ZEM_tensor<T>& t)
{
    return sum_of_terms<S, T>(rank, dim, target, source, position, g, t);
}

template <class S, class T>
    requires matrix_times_tensor_instance<S, T> && tensor_from_parsed<T>
T f_op_mul_2(int rank, int dim, pointer_to_objects<int>& target, pointer_to_objects<int>& source, int position,
             const ZEM_matrix<S>& g, const ZEM_pseudo_tensor<T>& t)
{
    return sum_of_terms<S, T>(rank, dim, target, source, position, g, t);
}

#define ZARN_MATRIX_TIMES(S, T, Handle)                                                                                \
    template Handle<T> operator*(const ZEM_matrix<S>&, const Handle<T>&);                                              \
    template void f_op_mul_1(int, int, pointer_to_objects<int>&, pointer_to_objects<int>&, int, const ZEM_matrix<S>&,  \
                             const Handle<T>&, pointer_to_objects<T>&);                                                \
    template T f_op_mul_2(int, int, pointer_to_objects<int>&, pointer_to_objects<int>&, int, const ZEM_matrix<S>&,     \
                          const Handle<T>&);

ZARN_MATRIX_TIMES(ZEM_fraction, ZEM_fraction, ZEM_tensor)
ZARN_MATRIX_TIMES(ZEM_cyclotomic_number, ZEM_cyclotomic_number, ZEM_tensor)
ZARN_MATRIX_TIMES(ZEM_fraction, ZEM_symbolic_number<ZEM_fraction>, ZEM_tensor)
ZARN_MATRIX_TIMES(ZEM_cyclotomic_number, ZEM_symbolic_number<ZEM_cyclotomic_number>, ZEM_tensor)
ZARN_MATRIX_TIMES(ZEM_fraction, ZEM_symbolic_number<ZEM_fraction>, ZEM_pseudo_tensor)
ZARN_MATRIX_TIMES(ZEM_cyclotomic_number, ZEM_symbolic_number<ZEM_cyclotomic_number>, ZEM_pseudo_tensor)
