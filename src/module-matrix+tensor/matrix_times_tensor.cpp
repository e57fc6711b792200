#include "module-matrix+tensor/matrix_times_tensor.h"

#include <algorithm>
#include <type_traits>
#include <vector>

#include "module-matrix_a/determinant.h"
#include "module-matrix_a/entry_size.h"
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

void require_shape(int dim, int rows, int columns)
{
    if (dim != rows || dim != columns)
        _zem_error_(module, __LINE__, "[operator * (matrix, tensor)] incorrect number of rows and/or columns");
}

// The law is linear in each index, so g is applied to one index at a time:
// rank * dim^(rank+1) products instead of dim^(2*rank) terms of rank+1 factors,
// with the same exact values. Zero entries and zero values are skipped.
template <class S>
void apply_to_every_index(const ZEM_matrix<S>& g, int dim, int rank, std::vector<S>& values)
{
    if (values.empty()) return;  // dimension 0: no components, and no stride to divide
    const S* entries = g.elements();
    std::vector<S> image(values.size());
    std::size_t stride = values.size();
    for (int axis = 0; axis < rank; ++axis) {
        const std::size_t block = stride;
        stride /= static_cast<std::size_t>(dim);
        std::fill(image.begin(), image.end(), S());
        for (std::size_t base = 0; base < values.size(); base += block)
            for (std::size_t offset = base; offset < base + stride; ++offset)
                for (int y = 0; y < dim; ++y) {
                    const S& x = values[offset + static_cast<std::size_t>(y) * stride];
                    if (is_zero_entry(x)) continue;
                    for (int i = 0; i < dim; ++i) {
                        const S& factor = entries[i * dim + y];
                        if (is_zero_entry(factor)) continue;
                        S& target = image[offset + static_cast<std::size_t>(i) * stride];
                        target = target + factor * x;
                    }
                }
        values.swap(image);
    }
}

// The components of g * t, each multiplied by `factor` when one is given.
template <class S, class T, class Handle>
pointer_to_objects<T> transformed_components(const ZEM_matrix<S>& g, const Handle& t, const S* factor = nullptr)
{
    const int dim = t.dim();
    const int rank = t.rank();
    require_shape(dim, g.rows(), g.columns());
    const pointer_to_objects<T>& given = t.values();
    pointer_to_objects<T> result(given.count());
    auto finish = [&](std::vector<S>& values) {
        apply_to_every_index(g, dim, rank, values);
        if (factor)
            for (S& x : values) x = *factor * x;
    };
    if constexpr (std::is_same_v<T, S>) {
        std::vector<S> values(given.begin(), given.end());
        finish(values);
        std::copy(values.begin(), values.end(), result.begin());
    } else {
        // A symbolic number is its constant and coefficients: each is transformed
        // alone, and the numbers are built once at the end. A sum of symbolic
        // numbers has the longest operand's coefficient count and the names of
        // the last one, here of t's last component.
        std::size_t count = 0;
        for (const T& x : given) count = std::max(count, static_cast<std::size_t>(x.coefficients().count()));
        const std::size_t n = static_cast<std::size_t>(given.count());
        std::vector<std::vector<S>> slots(count + 1, std::vector<S>(n));
        for (std::size_t c = 0; c < n; ++c) {
            const T& x = given[static_cast<int>(c)];
            slots[0][c] = x.constant();
            for (const auto& [k, v] : x.terms()) slots[static_cast<std::size_t>(k) + 1][c] = v;
        }
        for (std::vector<S>& slot : slots) finish(slot);
        const T last = n > 0 ? given[given.count() - 1] : T();
        pointer_to_objects<S> coefficients(static_cast<int>(count));
        for (std::size_t c = 0; c < n; ++c) {
            for (std::size_t k = 0; k < count; ++k) coefficients[static_cast<int>(k)] = slots[k + 1][c];
            result[static_cast<int>(c)] = T(coefficients, slots[0][c], last.names());
        }
    }
    return result;
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
    require_shape(t.dim(), g.rows(), g.columns());
    const S d = determinant(g);
    return ZEM_pseudo_tensor<T>(t.dim(), t.rank(), transformed_components<S, T>(g, t, &d), t.symmetry());
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
