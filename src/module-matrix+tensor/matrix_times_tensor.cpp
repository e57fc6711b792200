#include "module-matrix+tensor/matrix_times_tensor.h"

#include <algorithm>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

#include "module-matrix_a/determinant.h"
#include "module-matrix_a/entry_size.h"
#include "numbers/wide_numbers.h"
#include "module-object/error.h"

namespace {

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
        ZEM_FAIL("[operator * (matrix, tensor)] incorrect number of rows and/or columns");
}

// The law is linear in each index, so g is applied to one index at a time:
// rank * dim^(rank+1) products instead of dim^(2*rank) terms of rank+1 factors,
// with the same exact values. Zero entries and zero values are skipped. The
// values are numbers of g's type, or wide ones: the sums of one index are no
// partial sums of the law, and may leave 32 bits where its results do not.
template <class V>
void apply_to_every_index(const V* entries, int dim, int rank, std::vector<V>& values)
{
    if (values.empty()) return;  // dimension 0: no components, and no stride to divide
    std::vector<V> image(values.size());
    std::size_t stride = values.size();
    for (int axis = 0; axis < rank; ++axis) {
        const std::size_t block = stride;
        stride /= static_cast<std::size_t>(dim);
        std::fill(image.begin(), image.end(), V());
        for (std::size_t base = 0; base < values.size(); base += block)
            for (std::size_t offset = base; offset < base + stride; ++offset)
                for (int y = 0; y < dim; ++y) {
                    const V& x = values[offset + static_cast<std::size_t>(y) * stride];
                    if (is_zero_entry(x)) continue;
                    for (int i = 0; i < dim; ++i) {
                        const V& factor = entries[i * dim + y];
                        if (is_zero_entry(factor)) continue;
                        V& target = image[offset + static_cast<std::size_t>(i) * stride];
                        target = target + factor * x;
                    }
                }
        values.swap(image);
    }
}

// One slot of a tensor of symbolic numbers (the constants, or the coefficients of
// one parameter) as its non-zero values by component, in component order.
template <class V>
using sparse_slot = std::vector<std::pair<int, V>>;

// Applies g to a sparse slot as apply_to_every_index does to a dense one, so that
// the work follows the non-zero values and the non-zero entries of g: each sum
// takes its terms in the same order, which gives the same values.
template <class V>
class slot_transformation {
public:
    slot_transformation(const V* entries, int dim, int rank, int n, const V* factor)
        : dim_(dim), rank_(rank), factor_(factor), columns_(static_cast<std::size_t>(dim)),
          sums_(static_cast<std::size_t>(n)), hit_(static_cast<std::size_t>(n))
    {
        for (int i = 0; i < dim; ++i)
            for (int y = 0; y < dim; ++y)
                if (!is_zero_entry(entries[i * dim + y])) columns_[y].emplace_back(i, entries[i * dim + y]);
    }

    void apply(sparse_slot<V>& slot)
    {
        if (slot.empty()) return;
        int stride = 1;
        for (int axis = 1; axis < rank_; ++axis) stride *= dim_;
        for (int axis = 0; axis < rank_; ++axis, stride /= dim_) {
            for (const auto& [c, x] : slot) {
                const int y = c / stride % dim_;
                for (const auto& [i, entry] : columns_[y]) {
                    const int target = c + (i - y) * stride;
                    if (!hit_[target]) {
                        hit_[target] = 1;
                        touched_.push_back(target);
                    }
                    sums_[target] = sums_[target] + entry * x;
                }
            }
            std::sort(touched_.begin(), touched_.end());
            slot.clear();
            for (int c : touched_) {
                hit_[c] = 0;
                if (!is_zero_entry(sums_[c])) slot.emplace_back(c, sums_[c]);
                sums_[c] = V();
            }
            touched_.clear();
        }
        if (factor_) {
            for (auto& [c, x] : slot) x = *factor_ * x;
            std::erase_if(slot, [](const std::pair<int, V>& value) { return is_zero_entry(value.second); });
        }
    }

private:
    int dim_;
    int rank_;
    const V* factor_;
    // The non-zero entries of each column of g, by row.
    std::vector<std::vector<std::pair<int, V>>> columns_;
    // The sums of one axis and the components that received a term.
    std::vector<V> sums_;
    std::vector<unsigned char> hit_;
    std::vector<int> touched_;
};

// The numbers of g's type S as the working numbers V (S itself, or wide_of<S>),
// and back; S itself is passed on without a copy.
template <class V, class S>
decltype(auto) working(const S& x)
{
    if constexpr (std::is_same_v<V, S>)
        return (x);
    else
        return widen(x);
}

template <class S, class V>
decltype(auto) returned(const V& x)
{
    if constexpr (std::is_same_v<V, S>)
        return (x);
    else
        return narrow(x);
}

// The components of g * t, each multiplied by `factor` when one is given, worked
// in the numbers V: g's entries are `entries`, the factor `factor`.
template <class S, class T, class V, class Handle>
pointer_to_objects<T> transformed_in(const V* entries, const Handle& t, const V* factor)
{
    const int dim = t.dim();
    const int rank = t.rank();
    const pointer_to_objects<T>& given = t.values();
    pointer_to_objects<T> result(given.count());
    if constexpr (std::is_same_v<T, S>) {
        std::vector<V> values;
        values.reserve(static_cast<std::size_t>(given.count()));
        for (const S& x : given) values.push_back(working<V>(x));
        apply_to_every_index(entries, dim, rank, values);
        if (factor)
            for (V& x : values) x = *factor * x;
        for (int c = 0; c < given.count(); ++c) result[c] = returned<S>(values[std::size_t(c)]);
    } else {
        // A symbolic number is its constant and terms: each slot is transformed
        // alone, and its values join the terms of their components in parameter
        // order. A sum of symbolic numbers has the longest operand's coefficient
        // count and the names of the last one, here of t's last component.
        const int n = given.count();
        int count = 0;
        for (const T& x : given) count = std::max(count, x.coefficients().count());
        std::vector<sparse_slot<V>> slots(static_cast<std::size_t>(count) + 1);
        for (int c = 0; c < n; ++c) {
            const T& x = given[c];
            if (!is_zero_entry(x.constant())) slots[0].emplace_back(c, working<V>(x.constant()));
            for (const auto& [k, v] : x.terms()) slots[static_cast<std::size_t>(k) + 1].emplace_back(c, working<V>(v));
        }
        slot_transformation<V> transformation(entries, dim, rank, n, factor);
        std::vector<S> constants(static_cast<std::size_t>(n));
        std::vector<std::vector<symbolic_term<S>>> terms(static_cast<std::size_t>(n));
        for (std::size_t k = 0; k < slots.size(); ++k) {
            transformation.apply(slots[k]);
            for (auto& [c, v] : slots[k]) {
                if (k == 0)
                    constants[c] = returned<S>(v);
                else
                    terms[c].push_back({static_cast<int>(k) - 1, returned<S>(v)});
            }
            sparse_slot<V>().swap(slots[k]);
        }
        const T last = n > 0 ? given[n - 1] : T();
        for (int c = 0; c < n; ++c) result[c] = T(count, std::move(terms[c]), constants[c], last.names());
    }
    return result;
}

// The components of g * t worked in wide numbers, each multiplied by `factor`
// when one is given.
template <class S, class T, class Handle>
pointer_to_objects<T> widely_transformed(const ZEM_matrix<S>& g, const Handle& t, const wide_of<S>* factor)
{
    const std::vector<wide_of<S>> entries = widened(g.elements(), g.rows() * g.columns());
    return transformed_in<S, T>(entries.data(), t, factor);
}

// The components of g * t, each multiplied by `factor` when one is given: in g's
// numbers, and when a sum there overflows, all again in wide numbers.
template <class S, class T, class Handle>
pointer_to_objects<T> transformed_components(const ZEM_matrix<S>& g, const Handle& t, const S* factor = nullptr)
{
    require_shape(t.dim(), g.rows(), g.columns());
    return narrow_or_wide([&] { return transformed_in<S, T>(g.elements(), t, factor); },
                          [&] {
                              const wide_of<S> wide_factor = factor ? widen(*factor) : wide_of<S>();
                              return widely_transformed<S, T>(g, t, factor ? &wide_factor : nullptr);
                          });
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
    // det(g) may leave 32 bits where the components do not (diag(65536, 65536, 1)
    // times (0, 0, 1/2^30) gives (0, 0, 4)): then it stays wide, as does all the work.
    std::optional<S> d;
    try {
        d = determinant(g);
    } catch (const ZEM_string& failure) {
        if (!is_determinant_overflow(failure)) throw;
    }
    if (!d) {
        const wide_of<S> wide_d = widened_determinant(g);
        return ZEM_pseudo_tensor<T>(t.dim(), t.rank(), widely_transformed<S, T>(g, t, &wide_d), t.symmetry());
    }
    return ZEM_pseudo_tensor<T>(t.dim(), t.rank(), transformed_components<S, T>(g, t, &*d), t.symmetry());
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
