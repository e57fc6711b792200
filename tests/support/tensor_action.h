// The action of a matrix on all components of a tensor, straight from its
// definition: (g.X)(t) = sum over every tuple s of g(t_0, s_0) * ... * X(s), the
// last index fastest. With `transposed`, g(s_l, t_l) in place of g(t_l, s_l).
#pragma once

#include <vector>

#include "module-matrix/matrix.h"

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
