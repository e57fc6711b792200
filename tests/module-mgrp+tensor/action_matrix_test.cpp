#include "module-mgrp+tensor/action_matrix.h"

#include <gtest/gtest.h>
#include <vector>

#include "module-matrix/matrix_builders.h"
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

}
