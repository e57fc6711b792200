#include "module-matrix_a/reduction.h"

#include <climits>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <vector>

#include "module-matrix_a/reduction_support.h"
#include "numbers/cyclotomic_support.h"
#include "support/matrices.h"

namespace {

using namespace reduction_testing;
using I = ZEM_int;
using F = ZEM_fraction;
using C = ZEM_cyclotomic_number;

const C i = cyclotomic_testing::root_of_unity(1, 4);

TEST(PivotChoice, LeastSizeFirstOfEqualFromTheDiagonalOn)
{
    struct case_ {
        ZEM_matrix<I> m;
        int k, pivot;
    } cases[] = {
        {matrix_of<I>({{0, 3, -2, 2, 5}}), 0, 2},
        {matrix_of<I>({{0, 0, 0, 0}, {9, 0, 0, 4}}), 1, 3},
        {matrix_of<I>({{0, 0, 0}, {0, 0, 0}, {5, 0, 7}}), 2, 2},
        // Sizes of large entries are compared exactly, without wrapping.
        {matrix_of<I>({{46341, 3}}), 0, 1},
        {matrix_of<I>({{INT_MIN, 65536}}), 0, 1},
    };
    for (const case_& c : cases) EXPECT_EQ(a_row_sweeper(c.k, array_of(c.m), c.m.columns(), c.m.rows()), c.pivot) << c.m;
    EXPECT_EQ(a_row_sweeper(0, array_of(matrix_of<F>({{F(3, 2), F(-1, 2), F(1, 2)}})), 3, 1), 1);
    EXPECT_EQ(a_row_sweeper(0, array_of(matrix_of<F>({{F(46341, 2), F(65536, 3)}})), 2, 1), 1);
    EXPECT_EQ(a_row_sweeper(0, array_of(matrix_of<F>({{F(65537, 2), F(2147483645, 65536)}})), 2, 1), 1);
    EXPECT_EQ(a_column_sweeper(0, array_of(matrix_of<C>({{2}, {i}})), 1, 2), 1);
    EXPECT_EQ(a_column_sweeper(1, array_of(matrix_of<I>({{1, 1}, {1, 5}, {1, -3}})), 2, 3), 2);
}

// Lines out of range, or equal indices, change nothing.
TEST(ElementaryOperations, WholeLinesWithinRange)
{
    pointer_to_objects<I> P = array_of(matrix_of<I>({{1, 2, 3}, {4, 5, 6}}));
    exchange_columns(P, 0, 3, 3, 2);
    substract_columns(P, I(1), 3, 0, 3, 2);
    exchange_rows(P, 0, 2, 3, 2);
    substract_rows(P, I(1), 2, 0, 3, 2);
    exchange_columns(P, 0, 2, 3, 2);
    substract_columns(P, I(2), 0, 2, 3, 2);
    substract_rows(P, I(-1), 1, 0, 3, 2);
    exchange_rows(P, 1, 0, 3, 2);
    EXPECT_EQ(ZEM_matrix<I>(3, 2, P), matrix_of<I>({{-1, 7, 5}, {1, 2, 1}}));
    P = array_of(matrix_of<I>({{0, 1, 2}, {10, 11, 12}, {20, 21, 22}, {30, 31, 32}}));
    insert_row_before(P, 3, 1, 3, 4);
    insert_row_before(P, 2, 2, 3, 4);
    insert_row_before(P, 4, 1, 3, 4);
    insert_column_before(P, 2, 0, 3, 4);
    insert_column_before(P, 3, 0, 3, 4);
    EXPECT_EQ(ZEM_matrix<I>(3, 4, P), matrix_of<I>({{2, 0, 1}, {32, 30, 31}, {12, 10, 11}, {22, 20, 21}}));
    const pointer_to_objects<I> A = array_of(matrix_of<I>({{1, 0, 5}, {0, 2, 0}, {0, 6, 3}}));
    EXPECT_EQ(still_dirty(0, A, 3, 3) + 2 * still_dirty(1, A, 3, 3) + 4 * still_dirty(2, A, 3, 3), 3);
}

// The ordering of a whole reduction, entry after entry, against the rule as
// stated: the new entry at k is compared afresh with each earlier position i in
// turn and moved there unless the entry at i is strictly larger.
TEST(DiagonalOrdering, PlacingManyEntriesFollowsTheMovesOneByOne)
{
    std::mt19937 rng(11);
    for (int trial = 0; trial < 300; ++trial) {
        reduction::diagonal_order<I> order;
        std::vector<int> values, positions;
        for (int k = 0, length = 1 + int(rng() % 12); k < length; ++k) {
            const int v = int(rng() % 7) - 3;
            order.place(I(v));
            values.push_back(v);
            positions.push_back(k);
            for (int p = 0; p < k; ++p) {
                if (std::abs(values[std::size_t(p)]) > std::abs(values[std::size_t(k)])) continue;
                values.insert(values.begin() + p, values[std::size_t(k)]);
                values.erase(values.begin() + k + 1);
                positions.insert(positions.begin() + p, positions[std::size_t(k)]);
                positions.erase(positions.begin() + k + 1);
            }
            ASSERT_EQ(order.order(), positions) << "trial " << trial << ", entry " << k;
        }
    }
}

}
