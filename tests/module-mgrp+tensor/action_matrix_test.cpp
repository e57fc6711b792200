#include "module-mgrp+tensor/action_matrix.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

#include "module-mgrp+tensor/solver_testing.h"
#include "module-tensor/tensor.h"
#include "numbers/cyclotomic_support.h"
#include "support/failure.h"
#include "support/tensor_action.h"

namespace {

struct basis_with_tables {
    perm_symmetry_type symmetry;
    tensor_basis basis;
    pointer_to_objects<int> position, representative, list;

    basis_with_tables(int dim, int rank, const char* text) : symmetry(ZEM_string(text)), basis(dim, rank, symmetry)
    {
        basis.mk_basis_tabs(position, representative, list);
    }

    template <class T>
    ZEM_matrix<T> action(const ZEM_matrix<T>& g) const
    {
        return action_matrix(basis.dim, basis.rank, g, position, representative, basis, basis.n_basis);
    }
};

template <class T>
ZEM_matrix<T> from_ints(const std::vector<std::vector<int>>& rows)
{
    return solver_testing::matrix_from<T>(rows);
}

template <class T>
class ActionMatrix : public ::testing::Test {};

using scalars = ::testing::Types<ZEM_int, ZEM_fraction, ZEM_cyclotomic_number>;
TYPED_TEST_SUITE(ActionMatrix, scalars);

TYPED_TEST(ActionMatrix, WorkedExamples)
{
    using T = TypeParam;
    const ZEM_matrix<T> g = from_ints<T>({{1, 2}, {3, 4}});
    EXPECT_EQ(basis_with_tables(2, 1, "0").action(g), from_ints<T>({{1, 3}, {2, 4}}));
    EXPECT_EQ(basis_with_tables(2, 2, "(0 1)").action(g), from_ints<T>({{1, 3, 9}, {4, 10, 24}, {4, 8, 16}}));
    EXPECT_EQ(basis_with_tables(2, 2, "[0 1]").action(g), from_ints<T>({{-2}}));

    const ZEM_matrix<T> empty = basis_with_tables(2, 3, "[0 1 2]").action(g);
    EXPECT_EQ(empty.rows(), 0);
    EXPECT_EQ(empty.columns(), 0);

    for (const char* text : {"0 1 2", "(0 1 2)", "[0 1] 2", "(0 2) 1"}) {
        basis_with_tables b(3, 3, text);
        const int n = b.basis.n_basis;
        EXPECT_EQ(b.action(ZEM_matrix<T>(3, 3, T(1))), ZEM_matrix<T>(n, n, T(1))) << text;
        EXPECT_EQ(b.action(ZEM_matrix<T>(3, 3, T(-1))), ZEM_matrix<T>(n, n, T(-1))) << text;
    }
}

TYPED_TEST(ActionMatrix, RefusesAMatrixOfAnotherShape)
{
    using T = TypeParam;
    const std::string message = run_time("[action_matrix] dimension != g.rows() || dimension != g.columns()");
    basis_with_tables three(3, 2, "(0 1)");
    for (auto [columns, rows] : {std::pair{2, 2}, {2, 3}, {3, 2}})
        EXPECT_EQ(failure_of([&] { three.action(ZEM_matrix<T>(columns, rows, T(1))); }), message);
    EXPECT_EQ(failure_of([&] { basis_with_tables(2, 2, "(0 1)").action(ZEM_matrix<T>(3, 3, T(1))); }), message);
}

// y = A^T x: the basis values of g.X from those of X, for random g and X.
template <class T, class Draw>
void check_against_the_definition(Draw draw)
{
    std::mt19937 rng(11);
    const char* symmetries[] = {"0", "0 1", "(0 1)", "[0 1]", "0 1 2", "(0 1) 2", "[0 1 2]", "(0 1 2)", "0 [1 2]",
                                "[0 2] 1"};
    for (const char* text : symmetries) {
        perm_symmetry_type parsed{ZEM_string(text)};
        const int rank = parsed.n_indices;
        for (int dim : {2, 3}) {
            basis_with_tables b(dim, rank, text);
            pointer_to_objects<T> g_entries(dim * dim);
            for (T& x : g_entries) x = draw(rng);
            ZEM_matrix<T> g(dim, dim, g_entries);
            const int n = b.basis.n_basis;
            std::vector<T> x(static_cast<std::size_t>(n));
            // X spread from its basis values over the symmetry, with signs.
            std::vector<T> all(static_cast<std::size_t>(b.basis.entry_count()));
            for (int k = 0; k < n; ++k) x[std::size_t(k)] = draw(rng);
            for (int c = 0; c < b.basis.entry_count(); ++c) {
                const int p = b.position[b.representative[c]];
                const int status = b.basis.get_at(c).status;
                if (status == 1 || status == 2) all[std::size_t(c)] = x[std::size_t(p)];
                if (status == 3) all[std::size_t(c)] = -x[std::size_t(p)];
            }
            const std::vector<T> y = act_on_components(g, all, dim, rank);
            const ZEM_matrix<T> a = b.action(g);
            ASSERT_EQ(a.rows(), n);
            ASSERT_EQ(a.columns(), n);
            // The walk the solvers use gives the same columns, and its listed positions hold every non-zero.
            std::vector<T> walked(std::size_t(n * n));
            for_each_action_column<T>(dim, rank, g, b.position, b.representative, b.basis, n,
                                      [&](int k, pointer_to_objects<T>& row, const std::vector<int>& touched) {
                                          for (int j : touched) {
                                              if (row[j] != T()) walked[std::size_t(j * n + k)] = row[j];
                                              row[j] = T();
                                          }
                                          for (const T& x : row) EXPECT_EQ(x, T());
                                      });
            EXPECT_TRUE(walked == std::vector<T>(a.elements(), a.elements() + n * n)) << text;
            for (int k = 0; k < n; ++k) {
                T sum;
                for (int j = 0; j < n; ++j) sum = sum + a.elements()[j * n + k] * x[std::size_t(j)];
                EXPECT_EQ(sum, y[std::size_t(b.list[k])]) << text << " dim " << dim << " target " << k;
            }
        }
    }
}

TEST(ActionMatrixOf, EveryScalarAgreesWithTheDefinition)
{
    check_against_the_definition<ZEM_int>([](std::mt19937& rng) { return ZEM_int(int(rng() % 7) - 3); });
    check_against_the_definition<ZEM_fraction>(
        [](std::mt19937& rng) { return ZEM_fraction(int(rng() % 9) - 4, 1 + int(rng() % 3)); });
    check_against_the_definition<ZEM_cyclotomic_number>([](std::mt19937& rng) {
        return ZEM_fraction(int(rng() % 5) - 2, 1 + int(rng() % 2)) *
               cyclotomic_testing::root_of_unity(int(rng() % 3), 3);
    });
}

TEST(ActionMatrixOf, IntegerOverflowFails)
{
    basis_with_tables b(2, 2, "0 1");
    EXPECT_EQ(failure_of([&] { b.action(from_ints<ZEM_int>({{46341, 0}, {0, 1}})); }), run_time("[ZEM_int] overflow"));
    const ZEM_matrix<ZEM_fraction> small = ZEM_matrix<ZEM_fraction>(2, 2, ZEM_fraction(1, 65536));
    EXPECT_EQ(failure_of([&] { b.action(small); }), run_time("[ZEM_fraction] overflow"));
}

}
