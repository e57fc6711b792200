// Matrices acting on tensors, computed the plain way for tests: a matrix written
// row by row, a determinant by cofactors, and the action on all components of a
// tensor straight from its definition.
#pragma once

#include <type_traits>
#include <vector>

#include "module-matrix/matrix.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"

// A matrix from its rows; integral fractions become integers for a ZEM_int matrix.
template <class T, class E>
ZEM_matrix<T> matrix_from(const std::vector<std::vector<E>>& rows)
{
    const int n_rows = static_cast<int>(rows.size());
    const int n_columns = n_rows ? static_cast<int>(rows[0].size()) : 0;
    pointer_to_objects<T> e(n_rows * n_columns);
    for (int k = 0; k < e.count(); ++k) {
        const E& x = rows[std::size_t(k / n_columns)][std::size_t(k % n_columns)];
        if constexpr (std::is_same_v<T, ZEM_int> && std::is_same_v<E, ZEM_fraction>)
            e[k] = T(x.numerator());
        else
            e[k] = T(x);
    }
    return ZEM_matrix<T>(n_columns, n_rows, e);
}

// Of a matrix of 1, 2 or 3 rows.
template <class T>
T determinant_of(const ZEM_matrix<T>& g)
{
    const T* a = g.elements();
    if (g.rows() == 1) return a[0];
    if (g.rows() == 2) return a[0] * a[3] - a[1] * a[2];
    return a[0] * (a[4] * a[8] - a[5] * a[7]) - a[1] * (a[3] * a[8] - a[5] * a[6]) + a[2] * (a[3] * a[7] - a[4] * a[6]);
}

// (g.X)(t) = sum over every tuple s of g(t_0, s_0) * ... * X(s), the last index
// fastest. With `transposed`, g(s_l, t_l) in place of g(t_l, s_l).
template <class S, class T>
std::vector<T> act_on_components(const ZEM_matrix<S>& g, const std::vector<T>& x, int dim, int rank,
                                 bool transposed = false)
{
    int n = 1;
    for (int l = 0; l < rank; ++l) n *= dim;
    std::vector<T> y(static_cast<std::size_t>(n));
    for (int t = 0; t < n; ++t) {
        T sum{};
        for (int s = 0; s < n; ++s) {
            S product(1);
            for (int l = 0, tt = t, ss = s; l < rank; ++l, tt /= dim, ss /= dim) {
                const int a = tt % dim, b = ss % dim;
                product = product * (transposed ? g.elements()[b * dim + a] : g.elements()[a * dim + b]);
            }
            sum = sum + product * x[static_cast<std::size_t>(s)];
        }
        y[static_cast<std::size_t>(t)] = sum;
    }
    return y;
}

template <class G, class E>
pointer_to_objects<ZEM_matrix<G>> generators_of(const std::vector<std::vector<std::vector<E>>>& all)
{
    pointer_to_objects<ZEM_matrix<G>> gens(static_cast<int>(all.size()));
    for (int i = 0; i < gens.count(); ++i) gens[i] = matrix_from<G>(all[std::size_t(i)]);
    return gens;
}

// The solver's coefficients: fractions for integer generators.
template <class G>
using coefficient_of = std::conditional_t<std::is_same_v<G, ZEM_int>, ZEM_fraction, G>;
