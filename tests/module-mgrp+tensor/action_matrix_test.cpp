#include "module-mgrp+tensor/action_matrix.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/failure.h"
#include "support/tensor_action.h"

namespace {

template <class T>
ZEM_matrix<T> action(int dim, int rank, const char* symmetry, const ZEM_matrix<T>& g)
{
    const tensor_basis basis(dim, rank, perm_symmetry_type{ZEM_string(symmetry)});
    pointer_to_objects<int> position, representative, list;
    basis.mk_basis_tabs(position, representative, list);
    return action_matrix(dim, rank, g, position, representative, basis, basis.n_basis);
}

template <class T>
class ActionMatrix : public ::testing::Test {};

using scalars = ::testing::Types<ZEM_int, ZEM_fraction, ZEM_cyclotomic_number>;
TYPED_TEST_SUITE(ActionMatrix, scalars);

TYPED_TEST(ActionMatrix, WorkedExamples)
{
    using T = TypeParam;
    using rows = std::vector<std::vector<int>>;
    const ZEM_matrix<T> g = matrix_from<T>(rows{{1, 2}, {3, 4}});
    EXPECT_EQ(action(2, 1, "0", g), matrix_from<T>(rows{{1, 3}, {2, 4}}));
    EXPECT_EQ(action(2, 2, "(0 1)", g), matrix_from<T>(rows{{1, 3, 9}, {4, 10, 24}, {4, 8, 16}}));
    EXPECT_EQ(action(2, 2, "[0 1]", g), matrix_from<T>(rows{{-2}}));
    const ZEM_matrix<T> empty = action(2, 3, "[0 1 2]", g);
    EXPECT_EQ(empty.rows(), 0);
    EXPECT_EQ(empty.columns(), 0);
    // The identity and its negative: (+-1)^rank on the basis components.
    for (const char* text : {"0 1 2", "(0 1 2)", "[0 1] 2", "(0 2) 1"}) {
        const int n = tensor_basis(3, 3, perm_symmetry_type{ZEM_string(text)}).n_basis;
        EXPECT_EQ(action(3, 3, text, ZEM_matrix<T>(3, 3, T(1))), ZEM_matrix<T>(n, n, T(1))) << text;
        EXPECT_EQ(action(3, 3, text, ZEM_matrix<T>(3, 3, T(-1))), ZEM_matrix<T>(n, n, T(-1))) << text;
    }

    for (int columns : {2, 3, 4})
        EXPECT_EQ(failure_of([&] { action(3, 2, "(0 1)", ZEM_matrix<T>(columns, columns == 3 ? 2 : 3, T(1))); }),
                  run_time("[action_matrix] dimension != g.rows() || dimension != g.columns()"));
}

}
