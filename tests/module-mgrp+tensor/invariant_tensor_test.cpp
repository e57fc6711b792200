#include "module-mgrp+tensor/invariant_tensor.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "numbers/cyclotomic_support.h"
#include "support/exact_rank.h"
#include "support/failure.h"
#include "support/printed.h"
#include "support/random_generator.h"
#include "support/tensor_action.h"

namespace {

template <class T>
using vectors = std::vector<std::vector<T>>;
using rows = vectors<ZEM_fraction>;

// Each basis component spread over the symmetry with its signs: a basis of the
// tensors that satisfy the symmetry.
template <class T>
vectors<T> symmetric_basis(int dim, int rank, const char* symmetry)
{
    const tensor_basis basis(dim, rank, perm_symmetry_type{ZEM_string(symmetry)});
    pointer_to_objects<int> position, representative, list;
    basis.mk_basis_tabs(position, representative, list);
    vectors<T> e(std::size_t(basis.n_basis), std::vector<T>(std::size_t(basis.entry_count())));
    for (int c = 0; c < basis.entry_count(); ++c) {
        const int status = basis.get_at(c).status;
        if (status != 4) e[std::size_t(position[representative[c]])][std::size_t(c)] = T(status == 3 ? -1 : 1);
    }
    return e;
}

// g^T acting on every index, times det(g) for a pseudo-tensor.
template <class T>
std::vector<T> transformed(const ZEM_matrix<T>& g, const std::vector<T>& x, int rank, bool pseudo)
{
    std::vector<T> y = act_on_components(g, x, g.rows(), rank, true);
    if (pseudo)
        for (T& v : y) v = determinant_of(g) * v;
    return y;
}

// Checks that the parameters of a result (parameter j as the tensor of its
// coefficients) are exactly the tensors of the symmetry that the transpose of
// every generator leaves invariant: each satisfies the equations and the symmetry,
// they are independent, and as many as a plain elimination of the equations leaves.
template <class T, class Result>
void checked_parameters(const Result& result, int n_free, const pointer_to_objects<ZEM_matrix<T>>& gens,
                              int rank, const char* symmetry, bool pseudo)
{
    const int n = result.values().count();
    vectors<T> p(static_cast<std::size_t>(n_free), std::vector<T>(static_cast<std::size_t>(n)));
    for (int c = 0; c < n; ++c) {
        const auto& value = result.values()[c];
        EXPECT_EQ(value.constant(), T());
        EXPECT_STREQ(value.names(), "abcd");
        EXPECT_TRUE(value.coefficients().count() == n_free || value.coefficients().count() == 0);
        for (int j = 0; j < n_free && j < value.coefficients().count(); ++j)
            p[std::size_t(j)][std::size_t(c)] = value.coefficients()[j];
    }
    const vectors<T> e = symmetric_basis<T>(gens[0].rows(), rank, symmetry);
    vectors<T> equations;
    for (const ZEM_matrix<T>& g : gens) {
        vectors<T> images;
        for (const auto& ek : e) images.push_back(transformed(g, ek, rank, pseudo));
        for (std::size_t c = 0; c < std::size_t(n); ++c) {
            std::vector<T> row;
            for (std::size_t k = 0; k < e.size(); ++k) row.push_back(images[k][c] - e[k][c]);
            equations.push_back(row);
        }
    }
    EXPECT_EQ(n_free, int(e.size()) - rank_of(equations));
    EXPECT_EQ(rank_of(p), n_free);
    for (const auto& pj : p) {
        for (const ZEM_matrix<T>& g : gens) EXPECT_TRUE(transformed(g, pj, rank, pseudo) == pj);
        vectors<T> with = e;
        with.push_back(pj);
        EXPECT_EQ(rank_of(with), int(e.size()));
    }
}

// Solves for the group of the given generators, checks the result and gives its printed form.
template <class G, bool pseudo, class E>
std::string solved(const std::vector<vectors<E>>& gens, int rank, const char* symmetry, int& n_free)
{
    using T = coefficient_of<G>;
    std::conditional_t<pseudo, ZEM_pseudo_tensor<ZEM_symbolic_number<T>>, ZEM_tensor<ZEM_symbolic_number<T>>> result;
    if constexpr (pseudo)
        invariant_pseudo_tensor(generators_of<G>(gens), rank, ZEM_string(symmetry), &n_free, result);
    else
        invariant_tensor(generators_of<G>(gens), rank, ZEM_string(symmetry), &n_free, result);
    checked_parameters(result, n_free, generators_of<T>(gens), rank, symmetry, pseudo);
    return printed(result);
}

const rows hexagonal = {{1, -1}, {1, 0}};
const rows identity2 = {{1, 0}, {0, 1}};

// The group's own generators, and no place for the count, give the result of the generators.
TEST(InvariantTensorOf, AGroupGivesTheResultOfItsGenerators)
{
    int n_free = -1;
    ZEM_linkedlist<ZEM_matrix<ZEM_int>> list;
    list.add_at_tail(matrix_from<ZEM_int>(hexagonal));
    ZEM_tensor<ZEM_symbolic_number<ZEM_fraction>> via_group;
    invariant_tensor(ZEM_group<ZEM_matrix<ZEM_int>>(list, nullptr, nullptr), 2, ZEM_string("(0 1)"), nullptr, via_group);
    EXPECT_EQ(printed(via_group), (solved<ZEM_int, false>(std::vector<rows>{hexagonal}, 2, "(0 1)", n_free)));
}

TEST(InvariantTensorOf, FailuresLeaveTheOutputsAlone)
{
    ZEM_tensor<ZEM_symbolic_number<ZEM_fraction>> result;
    ZEM_pseudo_tensor<ZEM_symbolic_number<ZEM_fraction>> pseudo_result;
    invariant_tensor(generators_of<ZEM_fraction>(std::vector<rows>{identity2}), 1, ZEM_string("0"), nullptr, result);
    const std::string kept = printed(result);
    int n_free = -7;
    const std::string differs = "] the symmetry's number of indices differs from the rank";
    const std::string shape = "[action_matrix] dimension != g.rows() || dimension != g.columns()";
    struct {
        std::vector<rows> gens;
        int rank;
        const char* symmetry;
        bool pseudo;  // over the integers
        std::string message;
    } cases[] = {
        {{}, 1, "0", false, "[invariant_tensor] group without generators"},
        {{}, 1, "0", true, "[invariant_pseudo_tensor] group without generators"},
        {{identity2}, 3, "(0 1)", false, "[invariant_tensor" + differs},
        {{identity2}, 1, "(0 1)", true, "[invariant_pseudo_tensor" + differs},
        {{identity2, {{1, 0, 0}, {0, 1, 0}}}, 2, "(0 1)", false, shape},
        {{identity2, {{1, 0}, {0, 1}, {0, 0}}}, 2, "(0 1)", false, shape},
        // All arithmetic is checked: an overflow fails instead of giving a wrong count.
        {{{{ZEM_fraction(1, 50000), 0}, {0, 1}}}, 2, "0 1", false, "[ZEM_fraction] overflow"},
        {{{{1, 50000}, {0, 1}}}, 2, "0 1", true, "[ZEM_int] overflow"},
    };
    for (const auto& c : cases) {
        const ZEM_string text(c.symmetry);
        EXPECT_EQ(failure_of([&] {
                      c.pseudo ? invariant_pseudo_tensor(generators_of<ZEM_int>(c.gens), c.rank, text, &n_free, pseudo_result)
                               : invariant_tensor(generators_of<ZEM_fraction>(c.gens), c.rank, text, &n_free, result);
                  }),
                  run_time(c.message));
    }
    EXPECT_EQ(n_free, -7);
    EXPECT_EQ(printed(result), kept);
    EXPECT_FALSE(pseudo_result.has_body());
}

template <class G>
class InvariantTensor : public ::testing::Test {};

using instances = ::testing::Types<ZEM_int, ZEM_fraction, ZEM_cyclotomic_number>;
TYPED_TEST_SUITE(InvariantTensor, instances);

TYPED_TEST(InvariantTensor, RandomGroupsAndSymmetries)
{
    using G = TypeParam;
    using T = coefficient_of<G>;
    constexpr bool cyclotomic = std::is_same_v<G, ZEM_cyclotomic_number>;
    const std::vector<std::vector<const char*>> symmetries = {
        {"0"}, {"0 1", "(0 1)", "[0 1]"}, {"0 1 2", "(0 1) 2", "[0 1] 2", "(0 1 2)", "[0 1 2]", "0 (1 2)", "[0 2] 1"}};
    std::mt19937 rng(2024);
    int with_parameters = 0;
    for (int trial = 0; trial < 120; ++trial) {
        const int dim = 2 + int(rng() % 2);
        const int rank = 1 + int(rng() % (dim == 3 && cyclotomic ? 2 : 3));
        const char* symmetry = symmetries[std::size_t(rank - 1)][rng() % symmetries[std::size_t(rank - 1)].size()];
        const int order = cyclotomic ? 3 + int(rng() % 2) : 2;  // of the units: roots of unity, or +-1
        std::vector<vectors<T>> gens;
        for (int k = 0, count = 1 + int(rng() % 2); k < count; ++k)
            gens.push_back(random_generator<T>(rng, std::size_t(dim), random_unit<T>(order)));
        SCOPED_TRACE(std::string(symmetry) + " dim " + std::to_string(dim) + " trial " + std::to_string(trial));
        int plain = -1, pseudo = -1, over_fractions = -1;
        solved<G, false>(gens, rank, symmetry, plain);
        solved<G, true>(gens, rank, symmetry, pseudo);
        if constexpr (std::is_same_v<G, ZEM_int>) {
            solved<ZEM_fraction, false>(gens, rank, symmetry, over_fractions);
            EXPECT_EQ(plain, over_fractions);
        }
        with_parameters += (plain > 0) + (pseudo > 0);
    }
    EXPECT_GT(with_parameters, 60);
}

}
