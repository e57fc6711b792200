#include "module-mgrp+tensor/action_matrix.h"

#include <climits>
#include <gtest/gtest.h>
#include <random>
#include <type_traits>
#include <vector>

#include "module-matrix/matrix_builders.h"
#include "support/exact.h"
#include "support/printed.h"
#include "support/tensor_action.h"

namespace {

using rows = std::vector<std::vector<ZEM_fraction>>;

template <class T>
class ActionMatrix : public ::testing::Test {};

using instances = ::testing::Types<ZEM_int, ZEM_fraction, ZEM_cyclotomic_number>;
TYPED_TEST_SUITE(ActionMatrix, instances);

// Column k holds what each basis component gives target k; the whole matrix, and
// its columns one walk at a time, for the three scalars.
TYPED_TEST(ActionMatrix, WorkedExamples)
{
    using T = TypeParam;
    const rows g = {{1, 2}, {3, 4}};
    const struct {
        int rank;
        const char* symmetry;
        rows g, expected;
    } cases[] = {
        {1, "0", g, {{1, 3}, {2, 4}}},  // the transpose of g
        {2, "(0 1)", g, {{1, 3, 9}, {4, 10, 24}, {4, 8, 16}}},
        {2, "[0 1]", g, {{-2}}},  // 1 * 4 - 2 * 3
        {3, "[0 1 2]", g, {}},    // every component identically zero
        {3, "[0 1] 2", {{-1, 0}, {0, -1}}, {{-1, 0}, {0, -1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.symmetry);
        const tensor_basis basis(2, c.rank, perm_symmetry_type{ZEM_string(c.symmetry)});
        pointer_to_objects<int> position, representative, list;
        basis.mk_basis_tabs(position, representative, list);
        const int n = basis.n_basis;
        const ZEM_matrix<T> expected = matrix_from<T>(c.expected), acting = matrix_from<T>(c.g);
        EXPECT_EQ(printed(action_matrix(2, c.rank, acting, position, representative, basis, n)), printed(expected));

        pointer_to_objects<ZEM_vector<T>> columns(n);
        pointer_to_objects<T> row(n);
        pointer_to_objects<int> target(c.rank), source(c.rank);
        int flat = 0;
        f_act1(flat, 0, target, source, row, 2, c.rank, acting, columns, position, representative, basis, n);
        EXPECT_EQ(printed(matrix_from_columns(columns)), printed(expected));
        EXPECT_EQ(flat, 1 << c.rank);

        // The source walk alone, for the last basis target, each term times the factor -1.
        if (n == 0) continue;
        tensor_index_to_indices(2, c.rank, list[n - 1], target);
        pointer_to_objects<T> last(n);
        f_act2(0, 2, c.rank, target, source, acting, last, T(-1), position, representative, basis);
        for (int j = 0; j < n; ++j) EXPECT_EQ(printed(last[j]), printed(T(0) - expected.elements()[j * n + n - 1])) << j;
    }
}

// Entries of g whose products and partial sums leave 32 bits: against each entry
// (j, k) in GMP, the sum over the sources s in the class of basis component j of
// sign(s) * g(t_0, s_0) * ... * g(t_(r-1), s_(r-1)), t the tuple of component k,
// only an entry that leaves 32 bits fails.
TYPED_TEST(ActionMatrix, FailsOnlyWhenAnEntryLeaves32Bits)
{
    using T = TypeParam;
    const bool integers = std::is_same_v<T, ZEM_int>;
    auto check = [&](const std::vector<ZEM_fraction>& g, int dimension, int rank, const char* symmetry) {
        const tensor_basis basis(dimension, rank, perm_symmetry_type{ZEM_string(symmetry)});
        pointer_to_objects<int> position, representative, list;
        basis.mk_basis_tabs(position, representative, list);
        const int n = basis.n_basis;
        std::vector<mpq_class> expected(std::size_t(n * n));
        for (int k = 0; k < n; ++k)
            for (int m = 0; m < basis.entry_count(); ++m) {
                const int status = basis.get_at(m).status;
                if (status < tensor_basis_component || status > tensor_basis_minus_image) continue;
                mpq_class term = status == tensor_basis_minus_image ? -1 : 1;
                for (int l = 0, t = list[k], s = m; l < rank; ++l, t /= dimension, s /= dimension)
                    term *= exact(g[std::size_t(t % dimension * dimension + s % dimension)]);
                const int j = position[status == tensor_basis_component ? m : representative[m]];
                expected[std::size_t(j * n + k)] += term;
            }
        pointer_to_objects<T> entries(dimension * dimension);
        std::transform(g.begin(), g.end(), entries.begin(), from_fraction<T>);
        const ZEM_matrix<T> acting(dimension, dimension, entries);
        EXPECT_EQ(outcome([&] {
                      return printed_values(
                          action_matrix(dimension, rank, acting, position, representative, basis, n).elements(), n * n);
                  }),
                  printed_if_fit<T>(expected, integers ? "[ZEM_int] overflow" : "[ZEM_fraction] overflow"))
            << symmetry << printed(acting);
    };
    // 46341 * 46341 - 46340 * 46341 = 46341, its first product beyond 32 bits.
    check({46341, 46340, 46341, 46341}, 2, 2, "[0 1]");
    // Columns whose sums leave 32 bits part-way and then cancel to zero at a position.
    check({1, -2, -1, 2, 65536, -2, -2, 46340, 2}, 3, 2, "[0 1]");
    check({1, -46341, -46341, 1, -2147483647, -2147483647, -1, 46341, 46341}, 3, 2, "[0 1]");
    const ZEM_fraction palette[] = {0, 1, -1, 2, 46341, -46340, 1 << 16, INT_MAX, ZEM_fraction(1, 46341),
                                    ZEM_fraction(-1, 65536)};
    const struct {
        int dimension, rank;
        const char* symmetry;
    } shapes[] = {{2, 1, "0"}, {2, 2, "0 1"}, {2, 2, "(0 1)"}, {2, 2, "[0 1]"}, {3, 2, "[0 1]"}, {2, 3, "(0 1) 2"}};
    std::mt19937 random(29);
    for (int trial = 0; trial < 120; ++trial) {
        const auto& shape = shapes[trial % 6];
        std::vector<ZEM_fraction> g;
        while (int(g.size()) < shape.dimension * shape.dimension)
            if (const ZEM_fraction x = palette[random() % 10]; !integers || x.denominator() == 1) g.push_back(x);
        check(g, shape.dimension, shape.rank, shape.symmetry);
    }
}

}
