#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "module-mgrp+tensor/invariant_tensor.h"
#include "module-mgrp+tensor/solver_testing.h"
#include "numbers/cyclotomic_support.h"

namespace {

using namespace solver_testing;

template <class G>
G determinant_of(const ZEM_matrix<G>& g)
{
    const G* a = g.elements();
    if (g.rows() == 2) return a[0] * a[3] - a[1] * a[2];
    return a[0] * (a[4] * a[8] - a[5] * a[7]) - a[1] * (a[3] * a[8] - a[5] * a[6]) + a[2] * (a[3] * a[7] - a[4] * a[6]);
}

// g = P S P^-1: S a permutation matrix with units (unit(rng)) for entries, P a
// product of elementary integer matrices; so g has finite order and, mostly, is
// not orthogonal.
template <class T, class Unit>
std::vector<std::vector<T>> random_generator(std::mt19937& rng, int dim, Unit unit)
{
    const auto n = static_cast<std::size_t>(dim);
    std::vector<std::size_t> perm(n);
    for (std::size_t i = 0; i < n; ++i) perm[i] = i;
    std::shuffle(perm.begin(), perm.end(), rng);
    std::vector<std::vector<T>> s(n, std::vector<T>(n, T(0)));
    for (std::size_t i = 0; i < n; ++i) s[i][perm[i]] = unit(rng);
    for (int step = 0; step < 2; ++step) {
        const std::size_t a = rng() % n, b = (a + 1 + rng() % (n - 1)) % n;
        const T q(int(rng() % 3) - 1);
        // P = I + q e_ab: row a += q * row b, then column b -= q * column a.
        for (std::size_t j = 0; j < n; ++j) s[a][j] = s[a][j] + q * s[b][j];
        for (std::size_t i = 0; i < n; ++i) s[i][b] = s[i][b] - q * s[i][a];
    }
    return s;
}

const std::vector<std::vector<const char*>> symmetries_by_rank = {
    {},
    {"0"},
    {"0 1", "(0 1)", "[0 1]"},
    {"0 1 2", "(0 1) 2", "[0 1] 2", "(0 1 2)", "[0 1 2]", "0 (1 2)", "(0 2) 1", "[0 2] 1"},
};

// The spread of each basis component over the symmetry, with signs.
template <class T>
std::vector<std::vector<T>> basis_tensors(int dim, int rank, const char* text)
{
    perm_symmetry_type symmetry{ZEM_string(text)};
    tensor_basis basis(dim, rank, symmetry);
    pointer_to_objects<int> position, representative, list;
    basis.mk_basis_tabs(position, representative, list);
    std::vector<std::vector<T>> e(std::size_t(basis.n_basis), std::vector<T>(std::size_t(basis.entry_count())));
    for (int c = 0; c < basis.entry_count(); ++c) {
        const int status = basis.get_at(c).status;
        if (status == 4) continue;
        e[std::size_t(position[representative[c]])][std::size_t(c)] = T(status == 3 ? -1 : 1);
    }
    return e;
}

// g^T acting on every index, times det(g) for a pseudo-tensor.
template <class G, class T>
std::vector<T> transformed(const ZEM_matrix<G>& g, const std::vector<T>& x, int dim, int rank, bool pseudo)
{
    std::vector<T> y = act_on_components(g, x, dim, rank, true);
    if (pseudo)
        for (T& v : y) v = determinant_of(g) * v;
    return y;
}

template <class T, class Handle>
void check_result(const Handle& result, int n_free, const pointer_to_objects<ZEM_matrix<T>>& gens, int dim, int rank,
                  const char* text, bool pseudo)
{
    const auto e = basis_tensors<T>(dim, rank, text);
    const int n = static_cast<int>(e.size());

    // The count from the equations on all components, by plain elimination.
    std::vector<std::vector<T>> equations;
    const int components = static_cast<int>(result.values().count());
    for (const ZEM_matrix<T>& g : gens) {
        std::vector<std::vector<T>> images;
        for (const auto& ek : e) images.push_back(transformed(g, ek, dim, rank, pseudo));
        for (int c = 0; c < components; ++c) {
            std::vector<T> row;
            for (int k = 0; k < n; ++k) row.push_back(images[std::size_t(k)][std::size_t(c)] - e[std::size_t(k)][std::size_t(c)]);
            equations.push_back(row);
        }
    }
    ASSERT_EQ(n_free, n - rank_of(equations)) << text;

    const auto p = parameters<T>(result, n_free);
    EXPECT_EQ(rank_of(p), n_free) << text;
    for (const auto& pj : p) {
        for (const ZEM_matrix<T>& g : gens) EXPECT_TRUE(transformed(g, pj, dim, rank, pseudo) == pj) << text;
        // The symmetry: each component is plus or minus its basis component, or zero.
        std::vector<T> spread(static_cast<std::size_t>(components));
        for (const auto& ek : e) {
            T at_basis;
            for (int c = 0; c < components; ++c)
                if (ek[std::size_t(c)] == T(1)) {
                    at_basis = pj[std::size_t(c)];
                    break;
                }
            for (int c = 0; c < components; ++c)
                spread[std::size_t(c)] = spread[std::size_t(c)] + ek[std::size_t(c)] * at_basis;
        }
        EXPECT_TRUE(spread == pj) << text;
    }
    for (const auto& value : result.values()) {
        EXPECT_EQ(value.constant(), T());
        EXPECT_STREQ(value.names(), "abcd");
        EXPECT_TRUE(value.coefficients().count() == n_free || value.coefficients().count() == 0);
    }
}

TEST(InvariantTensorProperties, RandomGroupsAndSymmetries)
{
    std::mt19937 rng(2024);
    int with_parameters = 0;
    for (int trial = 0; trial < 120; ++trial) {
        const int dim = 2 + int(rng() % 2);
        const int rank = 1 + int(rng() % 3);
        const auto& choices = symmetries_by_rank[std::size_t(rank)];
        const char* text = choices[rng() % choices.size()];
        std::vector<std::vector<std::vector<int>>> rows;
        for (int k = 0, count = 1 + int(rng() % 2); k < count; ++k)
            rows.push_back(random_generator<int>(rng, dim, [](std::mt19937& r) { return r() % 2 ? 1 : -1; }));
        const auto as_ints = generators_of<ZEM_int>(rows);
        const auto as_fractions = generators_of<ZEM_fraction>(rows);
        for (bool pseudo : {false, true}) {
            int from_ints = -1, from_fractions = -1;
            if (pseudo) {
                ZEM_pseudo_tensor<ZEM_symbolic_number<ZEM_fraction>> a, b;
                invariant_pseudo_tensor(as_ints, rank, ZEM_string(text), &from_ints, a);
                invariant_pseudo_tensor(as_fractions, rank, ZEM_string(text), &from_fractions, b);
                check_result(a, from_ints, as_fractions, dim, rank, text, true);
                check_result(b, from_fractions, as_fractions, dim, rank, text, true);
            } else {
                ZEM_tensor<ZEM_symbolic_number<ZEM_fraction>> a, b;
                invariant_tensor(as_ints, rank, ZEM_string(text), &from_ints, a);
                invariant_tensor(as_fractions, rank, ZEM_string(text), &from_fractions, b);
                check_result(a, from_ints, as_fractions, dim, rank, text, false);
                check_result(b, from_fractions, as_fractions, dim, rank, text, false);
            }
            EXPECT_EQ(from_ints, from_fractions) << text;
            with_parameters += from_ints > 0;
        }
    }
    EXPECT_GT(with_parameters, 60);
}

TEST(InvariantTensorProperties, RandomCyclotomicGroups)
{
    std::mt19937 rng(77);
    int with_parameters = 0;
    for (int trial = 0; trial < 50; ++trial) {
        const int dim = 2 + int(rng() % 2);
        const int rank = 1 + int(rng() % (dim == 2 ? 3 : 2));
        const auto& choices = symmetries_by_rank[std::size_t(rank)];
        const char* text = choices[rng() % choices.size()];
        // Units of order 3 or 4.
        const int order = rng() % 2 ? 3 : 4;
        const auto root = [order](std::mt19937& r) {
            return cyclotomic_testing::root_of_unity(int(r() % unsigned(order)), order);
        };
        pointer_to_objects<ZEM_matrix<ZEM_cyclotomic_number>> gens(rng() % 3 ? 1 : 2);
        for (auto& g : gens) g = matrix_from<ZEM_cyclotomic_number>(random_generator<ZEM_cyclotomic_number>(rng, dim, root));
        int n_free = -1;
        ZEM_tensor<ZEM_symbolic_number<ZEM_cyclotomic_number>> plain;
        invariant_tensor(gens, rank, ZEM_string(text), &n_free, plain);
        check_result(plain, n_free, gens, dim, rank, text, false);
        with_parameters += n_free > 0;
        ZEM_pseudo_tensor<ZEM_symbolic_number<ZEM_cyclotomic_number>> pseudo;
        invariant_pseudo_tensor(gens, rank, ZEM_string(text), &n_free, pseudo);
        check_result(pseudo, n_free, gens, dim, rank, text, true);
        with_parameters += n_free > 0;
    }
    EXPECT_GT(with_parameters, 25);
}

}
