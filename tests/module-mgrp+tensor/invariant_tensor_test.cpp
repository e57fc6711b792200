#include "module-mgrp+tensor/invariant_tensor.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "numbers/cyclotomic_support.h"
#include "support/exact.h"
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
// coefficients, in the numbers E) are exactly the tensors of the symmetry that
// every image(x) leaves invariant: each satisfies the equations and the symmetry,
// they are independent, and as many as a plain elimination of the equations leaves.
template <class E, class Result, class Image>
void checked_parameters_of(const Result& result, int n_free, int dim, const std::vector<Image>& images, int rank,
                           const char* symmetry)
{
    const int n = result.values().count();
    vectors<E> p(static_cast<std::size_t>(n_free), std::vector<E>(static_cast<std::size_t>(n)));
    for (int c = 0; c < n; ++c) {
        const auto& value = result.values()[c];
        EXPECT_TRUE(is_zero_entry(value.constant()));
        EXPECT_STREQ(value.names(), "abcd");
        EXPECT_TRUE(value.coefficients().count() == n_free || value.coefficients().count() == 0);
        for (int j = 0; j < n_free && j < value.coefficients().count(); ++j) {
            if constexpr (std::is_same_v<E, mpq_class>)
                p[std::size_t(j)][std::size_t(c)] = exact(value.coefficients()[j]);
            else
                p[std::size_t(j)][std::size_t(c)] = value.coefficients()[j];
        }
    }
    const vectors<E> e = symmetric_basis<E>(dim, rank, symmetry);
    vectors<E> equations;
    for (const Image& image : images) {
        vectors<E> transformed_basis;
        for (const auto& ek : e) transformed_basis.push_back(image(ek));
        for (std::size_t c = 0; c < std::size_t(n); ++c) {
            std::vector<E> row;
            for (std::size_t k = 0; k < e.size(); ++k) row.push_back(transformed_basis[k][c] - e[k][c]);
            equations.push_back(row);
        }
    }
    EXPECT_EQ(n_free, int(e.size()) - rank_of(equations));
    EXPECT_EQ(rank_of(p), n_free);
    for (const auto& pj : p) {
        for (const Image& image : images) EXPECT_TRUE(image(pj) == pj);
        vectors<E> with = e;
        with.push_back(pj);
        EXPECT_EQ(rank_of(with), int(e.size()));
    }
}

template <class T, class Result>
void checked_parameters(const Result& result, int n_free, const pointer_to_objects<ZEM_matrix<T>>& gens,
                              int rank, const char* symmetry, bool pseudo)
{
    using image = std::function<std::vector<T>(const std::vector<T>&)>;
    std::vector<image> images;
    for (const ZEM_matrix<T>& g : gens)
        images.push_back([&g, rank, pseudo](const std::vector<T>& x) { return transformed(g, x, rank, pseudo); });
    checked_parameters_of<T>(result, n_free, gens[0].rows(), images, rank, symmetry);
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
        // A coefficient that leaves 32 bits fails instead of giving a wrong value.
        {{{{1, INT_MIN}, {0, -1}}}, 3, "(0 1 2)", false, "[ZEM_fraction] overflow"},
        {{{{-1, INT_MIN}, {0, 1}}}, 3, "(0 1 2)", true, "[ZEM_int] overflow"},
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

// The result for the group of one generator g over G, checked by `check`, as
// its coefficients printed.
template <class G, bool pseudo, class Check>
std::string coefficients_solved(const rows& g, int rank, const char* symmetry, Check check)
{
    using T = coefficient_of<G>;
    std::conditional_t<pseudo, ZEM_pseudo_tensor<ZEM_symbolic_number<T>>, ZEM_tensor<ZEM_symbolic_number<T>>> result;
    int n_free = -1;
    if constexpr (pseudo)
        invariant_pseudo_tensor(generators_of<G>(std::vector<rows>{g}), rank, ZEM_string(symmetry), &n_free, result);
    else
        invariant_tensor(generators_of<G>(std::vector<rows>{g}), rank, ZEM_string(symmetry), &n_free, result);
    check(result, n_free);
    std::string all;
    for (const auto& x : result.values())
        for (const auto& [j, c] : x.terms()) all += std::to_string(j) + ":" + printed(c) + " ";
    return all;
}

// g = [[1, -2^31], [0, -1]] and its transpose have order 2. Their action
// matrices and the entries of R leave 32 bits where the coefficients do not
// (2^31 over the weight 2 among them): in GMP over the integers, the same
// coefficients over fractions and cyclotomic numbers.
template <bool pseudo>
void expect_invariants_of_an_involution()
{
    for (const rows& g : {rows{{1, INT_MIN}, {0, -1}}, rows{{1, 0}, {INT_MIN, -1}}})
        for (const char* symmetry : {"0", "(0 1)", "[0 1]", "0 1"}) {
            const int rank = symmetry[1] ? 2 : 1;
            const mpq_class factor = pseudo ? exact(g[0][0] * g[1][1]) : 1;
            const auto image = [&](const std::vector<mpq_class>& x) {
                std::vector<mpq_class> y(x.size());
                for (std::size_t t = 0; t < x.size(); ++t)
                    for (std::size_t s = 0; s < x.size(); ++s) {
                        mpq_class term = factor * x[s];
                        for (int l = 0, tt = int(t), ss = int(s); l < rank; ++l, tt /= 2, ss /= 2)
                            term *= exact(g[std::size_t(ss % 2)][std::size_t(tt % 2)]);
                        y[t] += term;
                    }
                return y;
            };
            SCOPED_TRACE(symmetry);
            const std::string expected = coefficients_solved<ZEM_int, pseudo>(g, rank, symmetry, [&](const auto& r, int n_free) {
                checked_parameters_of<mpq_class>(r, n_free, 2, std::vector{image}, rank, symmetry);
            });
            const auto unchecked = [](const auto&, int) {};
            EXPECT_EQ((coefficients_solved<ZEM_fraction, pseudo>(g, rank, symmetry, unchecked)), expected);
            EXPECT_EQ((coefficients_solved<ZEM_cyclotomic_number, pseudo>(g, rank, symmetry, unchecked)), expected);
        }
}

TEST(InvariantTensorOf, AnInvolutionWithTheSmallestInt)
{
    expect_invariants_of_an_involution<false>();
    expect_invariants_of_an_involution<true>();
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
