// Random generators of finite matrix groups, for the solver tests.
#pragma once

#include <cstddef>
#include <numeric>
#include <random>
#include <type_traits>
#include <vector>

#include "numbers/cyclotomic_support.h"

// g = P S P^-1: S a permutation matrix with units for entries, P a product of
// elementary integer matrices; so g has finite order and is mostly not orthogonal.
template <class T, class Unit>
std::vector<std::vector<T>> random_generator(std::mt19937& rng, std::size_t n, Unit unit)
{
    std::vector<std::size_t> perm(n);
    std::iota(perm.begin(), perm.end(), 0);
    std::shuffle(perm.begin(), perm.end(), rng);
    std::vector<std::vector<T>> g(n, std::vector<T>(n, T(0)));
    for (std::size_t i = 0; i < n; ++i) g[i][perm[i]] = unit(rng);
    for (int step = 0; step < 2; ++step) {
        const std::size_t a = rng() % n, b = (a + 1 + rng() % (n - 1)) % n;
        const T q(int(rng() % 3) - 1);
        for (std::size_t j = 0; j < n; ++j) g[a][j] = g[a][j] + q * g[b][j];  // row a += q * row b
        for (std::size_t i = 0; i < n; ++i) g[i][b] = g[i][b] - q * g[i][a];  // column b -= q * column a
    }
    return g;
}

// Units of the given finite order: roots of unity for cyclotomic entries, else +-1.
template <class T>
auto random_unit(int order)
{
    return [order](std::mt19937& r) {
        const int k = int(r() % unsigned(order));
        if constexpr (std::is_same_v<T, ZEM_cyclotomic_number>)
            return cyclotomic_testing::root_of_unity(k, order);
        else
            return T(1 - 2 * k);
    };
}
