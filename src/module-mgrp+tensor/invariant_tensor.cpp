#include "module-mgrp+tensor/invariant_tensor.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "module-matrix_a/determinant.h"
#include "module-matrix_a/entry_size.h"
#include "module-matrix_a/reduction.h"
#include "numbers/wide_numbers.h"
#include "module-mgrp+tensor/action_matrix.h"
#include "module-object/error.h"

namespace {

// An entry of R as a coefficient: integers become fractions over 1.
ZEM_fraction as_coefficient(const ZEM_int& x) { return ZEM_fraction(x.value()); }
template <class G>
const G& as_coefficient(const G& x)
{
    return x;
}

// An entry x of R over the weight of its component, narrowed only then, since x
// may leave 32 bits where the coefficient does not. One that still leaves fails
// as x would have: over the integers with "[ZEM_int] overflow".
ZEM_fraction wide_coefficient(const wide_integer& x, int weight)
{
    const wide_rational q(x, wide_integer(weight));
    return ZEM_fraction(q.numerator().narrow(), q.denominator().narrow());
}
template <class W>
auto wide_coefficient(const W& x, int weight)
{
    return narrow(x / W(weight));
}

// det(g), the factor of a pseudo-tensor's block: in g's numbers, or wide when it
// leaves 32 bits, as may a product of it with an entry of the action matrix.
template <class G>
class block_factor {
public:
    explicit block_factor(const ZEM_matrix<G>& g) : g_(g)
    {
        try {
            own_ = determinant(g);
        } catch (const ZEM_string& failure) {
            if (!is_determinant_overflow(failure)) throw;
        }
    }
    wide_of<G> times(const G& x)
    {
        if (own_) return narrow_or_wide([&] { return widen(*own_ * x); }, [&] { return wide() * widen(x); });
        return wide() * widen(x);
    }
    wide_of<G> times(const wide_of<G>& x) { return wide() * x; }

private:
    const wide_of<G>& wide()
    {
        if (!wide_) wide_ = own_ ? widen(*own_) : widened_determinant(g_);
        return *wide_;
    }
    const ZEM_matrix<G>& g_;
    std::optional<G> own_;
    std::optional<wide_of<G>> wide_;
};

// The blocks factor(g) * A_g - I of every generator, stacked, written straight
// into the sparse reduction: column k of A_g comes from the action walk with its
// non-zero entries listed, so the zeros, nearly all of it, are never visited.
// A column with entries beyond 32 bits comes in wide numbers, as the stack is.
template <class G, bool pseudo>
void stack_blocks(reduction::sparse_reduction<wide_of<G>>& stack, const pointer_to_objects<ZEM_matrix<G>>& generators, int dim,
                  int rank, const tensor_basis& basis, const pointer_to_objects<int>& position,
                  const pointer_to_objects<int>& representative)
{
    const int n = basis.n_basis;
    const G zero;
    for (int i = 0; i < generators.count(); ++i) {
        const ZEM_matrix<G>& g = generators[i];
        require_action_shape(dim, g.rows(), g.columns());
        std::optional<block_factor<G>> factor;
        if constexpr (pseudo) factor.emplace(g);
        const int first_row = i * n;
        const wide_action_column_sink<G> wide_column = [&](int k, std::vector<wide_of<G>>& column,
                                                           const std::vector<int>& touched) {
            for (int j : touched) {
                wide_of<G>& x = column[std::size_t(j)];
                if (is_zero_entry(x)) continue;
                stack.append(first_row + j, k, pseudo ? factor->times(x) : x);
                x = wide_of<G>();
            }
        };
        for_each_action_column<G>(
            dim, rank, g, position, representative, basis, n,
            [&](int k, pointer_to_objects<G>& column, const std::vector<int>& touched) {
                for (int j : touched) {
                    stack.append(first_row + j, k, pseudo ? factor->times(column[j]) : widen(column[j]));
                    column[j] = zero;
                }
            },
            &wide_column);
        for (int j = 0; j < n; ++j) stack.add(first_row + j, j, wide_of<G>(-1));
    }
}

template <class G, class T, bool pseudo, class Result>
void solve(const char* name, const pointer_to_objects<ZEM_matrix<G>>& generators, int rank,
           const ZEM_string& symmetry, int* n_free, Result& result)
{
    if (generators.count() < 1) ZEM_FAIL(std::string("[") + name + "] group without generators");
    const int dim = generators[0].rows();
    perm_symmetry_type parsed(symmetry);
    if (!parsed.error && parsed.n_indices != rank)
        ZEM_FAIL(std::string("[") + name + "] the symmetry's number of indices differs from the rank");
    const tensor_basis basis(dim, rank, parsed);
    const int n = basis.n_basis;
    pointer_to_objects<int> position, representative, list;
    basis.mk_basis_tabs(position, representative, list);

    // Only D's diagonal and R's columns beyond the rank are read, so neither is
    // built as a dense matrix. The reduction is carried in wide numbers, and only
    // the entries of R that become coefficients are narrowed.
    const int m = matrix_element_count(n, generators.count());
    reduction::sparse_reduction<wide_of<G>> stack(m, n, false);
    stack_blocks<G, pseudo>(stack, generators, dim, rank, basis, position, representative);
    stack.reduce();
    int r = 0;
    while (r < std::min(m, n) && !is_zero_entry(stack.ordered_diagonal(r))) ++r;
    const int f = n - r;

    using symbolic = ZEM_symbolic_number<T>;
    pointer_to_objects<tp_tensor_entry<symbolic>> entries(n);
    // The non-zero coefficients of each component, from the free columns of R.
    std::vector<std::vector<std::pair<int, const wide_of<G>*>>> nonzero(static_cast<std::size_t>(n));
    for (int j = 0; j < f; ++j)
        for (const auto& e : stack.right_column(r + j)) nonzero[std::size_t(e.index)].emplace_back(j, &stack.value(e));
    // The weight of a basis component is the number of its distinct images with
    // the plus sign, itself included: the basis has classified them all already.
    std::vector<int> weights(static_cast<std::size_t>(n), 1);
    for (int c = 0; c < basis.entry_count(); ++c)
        if (basis.get_at(c).status == tensor_basis_plus_image) ++weights[std::size_t(position[representative[c]])];
    for (int k = 0; k < n; ++k) {
        tensor_index_to_indices(dim, rank, list[k], entries[k].indices);
        const auto& terms = nonzero[std::size_t(k)];
        std::vector<symbolic_term<T>> coefficients;
        if (!terms.empty()) {
            const T weight(weights[std::size_t(k)]);
            coefficients.reserve(terms.size());
            for (const auto& term : terms) {
                const wide_of<G>& x = *term.second;
                coefficients.push_back({term.first,
                                        narrow_or_wide([&] { return as_coefficient(narrow(x)) / weight; },
                                                       [&] { return wide_coefficient(x, weights[std::size_t(k)]); })});
            }
        }
        entries[k].value = symbolic(f, std::move(coefficients), T(), "abcd");
    }
    const symbolic default_value("abcd");
    result = Result(dim, rank, parsed, entries, &default_value);
    // Last, as a coefficient that leaves 32 bits fails on the way.
    if (n_free) *n_free = f;
}

template <class G>
pointer_to_objects<ZEM_matrix<G>> generators_of(const ZEM_group<ZEM_matrix<G>>& group)
{
    pointer_to_objects<ZEM_matrix<G>> generators(group.n_generators());
    for (int i = 0; i < generators.count(); ++i) generators[i] = group.generator(i);
    return generators;
}

}

template <class G, class T>
    requires invariant_solver_instance<G, T>
void invariant_tensor(const pointer_to_objects<ZEM_matrix<G>>& generators, int rank, const ZEM_string& symmetry,
                      int* n_free, ZEM_tensor<ZEM_symbolic_number<T>>& result)
{
    solve<G, T, false>("invariant_tensor", generators, rank, symmetry, n_free, result);
}

template <class G, class T>
    requires invariant_solver_instance<G, T>
void invariant_pseudo_tensor(const pointer_to_objects<ZEM_matrix<G>>& generators, int rank,
                             const ZEM_string& symmetry, int* n_free,
                             ZEM_pseudo_tensor<ZEM_symbolic_number<T>>& result)
{
    solve<G, T, true>("invariant_pseudo_tensor", generators, rank, symmetry, n_free, result);
}

template <class G, class T>
    requires invariant_solver_instance<G, T>
void invariant_tensor(const ZEM_group<ZEM_matrix<G>>& group, int rank, const ZEM_string& symmetry, int* n_free,
                      ZEM_tensor<ZEM_symbolic_number<T>>& result)
{
    invariant_tensor(generators_of(group), rank, symmetry, n_free, result);
}

template <class G, class T>
    requires invariant_solver_instance<G, T>
void invariant_pseudo_tensor(const ZEM_group<ZEM_matrix<G>>& group, int rank, const ZEM_string& symmetry,
                             int* n_free, ZEM_pseudo_tensor<ZEM_symbolic_number<T>>& result)
{
    invariant_pseudo_tensor(generators_of(group), rank, symmetry, n_free, result);
}

#define ZARN_INVARIANT_TENSOR(G, T)                                                                                    \
    template void invariant_tensor<G, T>(const pointer_to_objects<ZEM_matrix<G>>&, int, const ZEM_string&, int*,       \
                                         ZEM_tensor<ZEM_symbolic_number<T>>&);                                         \
    template void invariant_pseudo_tensor<G, T>(const pointer_to_objects<ZEM_matrix<G>>&, int, const ZEM_string&,      \
                                                int*, ZEM_pseudo_tensor<ZEM_symbolic_number<T>>&);                     \
    template void invariant_tensor<G, T>(const ZEM_group<ZEM_matrix<G>>&, int, const ZEM_string&, int*,                \
                                         ZEM_tensor<ZEM_symbolic_number<T>>&);                                         \
    template void invariant_pseudo_tensor<G, T>(const ZEM_group<ZEM_matrix<G>>&, int, const ZEM_string&, int*,         \
                                                ZEM_pseudo_tensor<ZEM_symbolic_number<T>>&);

ZARN_INVARIANT_TENSOR(ZEM_fraction, ZEM_fraction)
ZARN_INVARIANT_TENSOR(ZEM_cyclotomic_number, ZEM_cyclotomic_number)
ZARN_INVARIANT_TENSOR(ZEM_int, ZEM_fraction)
