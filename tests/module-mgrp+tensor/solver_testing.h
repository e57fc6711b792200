// Reading a solver's result as its parameters: parameter j as the tensor of the
// coefficients of j in every component, so that each can be put back into the
// invariance equations and the symmetry, and the parameters into an independent
// elimination.
#pragma once

#include <string>
#include <type_traits>
#include <vector>

#include "module-matrix/matrix.h"
#include "module-tensor/tensor.h"
#include "support/tensor_action.h"

namespace solver_testing {

// A matrix written row by row, each entry converted to G.
template <class G, class E>
ZEM_matrix<G> matrix_from(const std::vector<std::vector<E>>& rows)
{
    const int n_rows = static_cast<int>(rows.size());
    const int n_columns = n_rows ? static_cast<int>(rows[0].size()) : 0;
    pointer_to_objects<G> e(n_rows * n_columns);
    for (int k = 0; k < e.count(); ++k) e[k] = G(rows[std::size_t(k / n_columns)][std::size_t(k % n_columns)]);
    return ZEM_matrix<G>(n_columns, n_rows, e);
}

template <class G, class E = int>
pointer_to_objects<ZEM_matrix<G>> generators_of(const std::vector<std::vector<std::vector<E>>>& all)
{
    pointer_to_objects<ZEM_matrix<G>> gens(static_cast<int>(all.size()));
    for (int i = 0; i < gens.count(); ++i) gens[i] = matrix_from<G>(all[std::size_t(i)]);
    return gens;
}

// The scalar of a solver's coefficients for a group over G.
template <class G>
using coefficient_of = std::conditional_t<std::is_same_v<G, ZEM_int>, ZEM_fraction, G>;

// parameters[j][c]: the coefficient of parameter j in component c (zero where
// the component has fewer coefficients).
template <class T, class Handle>
std::vector<std::vector<T>> parameters(const Handle& result, int n_free)
{
    const pointer_to_objects<ZEM_symbolic_number<T>>& values = result.values();
    std::vector<std::vector<T>> p(std::size_t(n_free), std::vector<T>(std::size_t(values.count())));
    for (int c = 0; c < values.count(); ++c) {
        const pointer_to_objects<T>& coefficients = values[c].coefficients();
        for (int j = 0; j < n_free && j < coefficients.count(); ++j) p[std::size_t(j)][std::size_t(c)] = coefficients[j];
    }
    return p;
}

// The flat number of a component named by letters of "xyzuvw".
inline int component(const std::string& name, int dim)
{
    int flat = 0;
    for (char letter : name) flat = flat * dim + static_cast<int>(std::string("xyzuvw").find(letter));
    return flat;
}

// The rank of rows of exact numbers, by plain elimination.
template <class T>
int rank_of(std::vector<std::vector<T>> rows)
{
    const T zero{};
    int rank = 0;
    const std::size_t width = rows.empty() ? 0 : rows[0].size();
    for (std::size_t c = 0; c < width && rank < static_cast<int>(rows.size()); ++c) {
        std::size_t pivot = std::size_t(rank);
        while (pivot < rows.size() && !(rows[pivot][c] != zero)) ++pivot;
        if (pivot == rows.size()) continue;
        std::swap(rows[pivot], rows[std::size_t(rank)]);
        const std::vector<T>& p = rows[std::size_t(rank)];
        for (std::size_t i = std::size_t(rank) + 1; i < rows.size(); ++i) {
            if (!(rows[i][c] != zero)) continue;
            const T q = rows[i][c] / p[c];
            for (std::size_t k = c; k < width; ++k) rows[i][k] = rows[i][k] - q * p[k];
        }
        ++rank;
    }
    return rank;
}

}
