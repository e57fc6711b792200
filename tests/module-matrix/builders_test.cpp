#include "module-matrix/matrix_builders.h"

#include <gtest/gtest.h>

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

pointer_to_objects<ZEM_vector<ZEM_fraction>> ragged()
{
    pointer_to_objects<ZEM_vector<ZEM_fraction>> v(3);
    v[0] = vector_of<ZEM_fraction>({1, 2, 3});
    v[1] = vector_of<ZEM_fraction>({4});
    v[2] = vector_of<ZEM_fraction>({5, 6});
    return v;
}

TEST(MatrixBuilders, RowsAndColumnsPadShortVectorsWithZeros)
{
    EXPECT_EQ(matrix_from_rows(ragged()), matrix_of<ZEM_fraction>({{1, 2, 3}, {4, 0, 0}, {5, 6, 0}}));
    EXPECT_EQ(matrix_from_columns(ragged()), matrix_of<ZEM_fraction>({{1, 4, 5}, {2, 0, 6}, {3, 0, 0}}));
    EXPECT_EQ(matrix_from_rows(ragged()).element(3, 2).denominator(), 1);

    pointer_to_objects<ZEM_vector<ZEM_int>> none;
    EXPECT_EQ(matrix_from_rows(none).columns(), 0);
    EXPECT_EQ(matrix_from_columns(none).rows(), 0);
    pointer_to_objects<ZEM_vector<ZEM_int>> empties(3);
    for (ZEM_vector<ZEM_int>& v : empties) v = vector_of<ZEM_int>({});
    EXPECT_EQ(matrix_from_rows(empties).columns(), 0);
    EXPECT_EQ(matrix_from_rows(empties).rows(), 3);
    EXPECT_EQ(matrix_from_columns(empties).columns(), 3);
    EXPECT_EQ(matrix_from_columns(empties).rows(), 0);

    pointer_to_objects<ZEM_vector<ZEM_real>> reals(2);
    reals[0] = vector_of<ZEM_real>({1.5});
    reals[1] = vector_of<ZEM_real>({2.0, 3.0});
    EXPECT_EQ(printed(matrix_from_rows(reals)), "matrix<real>(\n1.5   0\n2   3\n)\n");
}

TEST(MatrixBuilders, StackPutsTheBlocksTopToBottom)
{
    pointer_to_objects<ZEM_matrix<ZEM_int>> blocks(3);
    for (int b = 0; b < 3; ++b) blocks[b] = matrix_of<ZEM_int>({{b, 1, 2}, {3, 4, b * 10}});
    ZEM_matrix<ZEM_int> stack = matrix_from_stack_of_matrices(blocks);
    ASSERT_EQ(stack.columns(), 3);
    ASSERT_EQ(stack.rows(), 6);
    EXPECT_EQ(stack.element(1, 3), 1);
    EXPECT_EQ(stack.element(3, 4), 10);
    EXPECT_EQ(stack.element(3, 6), 20);

    pointer_to_objects<ZEM_matrix<ZEM_int>> one(1);
    one[0] = blocks[1];
    ZEM_matrix<ZEM_int> single = matrix_from_stack_of_matrices(one);
    EXPECT_EQ(single, blocks[1]);
    EXPECT_NE(single.elements(), blocks[1].elements());

    pointer_to_objects<ZEM_matrix<ZEM_int>> flat(2);
    flat[0] = flat[1] = ZEM_matrix<ZEM_int>(4, 0, ZEM_int(1));
    EXPECT_EQ(matrix_from_stack_of_matrices(flat).columns(), 4);
    EXPECT_EQ(matrix_from_stack_of_matrices(flat).rows(), 0);
}

TEST(MatrixBuilders, StackRefusesMismatchedBlocks)
{
    const std::string columns = run_time("[matrix_from_stack_of_matrices] different number of columns");
    const std::string rows = run_time("[matrix_from_stack_of_matrices] different number of rows");
    struct case_ {
        int shapes[3][2];  // columns, rows
        std::string message;
    } cases[] = {
        {{{3, 2}, {2, 3}, {3, 2}}, columns},
        {{{3, 2}, {3, 3}, {3, 2}}, rows},
        {{{3, 2}, {3, 2}, {3, 1}}, rows},
        {{{3, 2}, {3, 2}, {1, 1}}, columns},
    };
    for (const case_& c : cases) {
        pointer_to_objects<ZEM_matrix<ZEM_int>> blocks(3);
        for (int b = 0; b < 3; ++b) blocks[b] = ZEM_matrix<ZEM_int>(c.shapes[b][0], c.shapes[b][1], ZEM_int(1));
        EXPECT_EQ(failure_of([&] { matrix_from_stack_of_matrices(blocks); }), c.message);
    }
    EXPECT_EQ(failure_of([] { matrix_from_stack_of_matrices(pointer_to_objects<ZEM_matrix<ZEM_int>>()); }),
              run_time("[matrix_from_stack_of_matrices] empty matrix list"));
}

TEST(MatrixBuilders, MinorsLeaveOutOneColumnAndOneRow)
{
    const ZEM_matrix<ZEM_int> m = matrix_of<ZEM_int>({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
    EXPECT_EQ(without_column_and_row(m, 1, 1), matrix_of<ZEM_int>({{5, 6}, {8, 9}}));
    EXPECT_EQ(without_column_and_row(m, 1, 3), matrix_of<ZEM_int>({{2, 3}, {5, 6}}));
    EXPECT_EQ(without_column_and_row(m, 2, 1), matrix_of<ZEM_int>({{4, 6}, {7, 9}}));
    EXPECT_EQ(without_column_and_row(m, 3, 2), matrix_of<ZEM_int>({{1, 2}, {7, 8}}));
    EXPECT_EQ(m, matrix_of<ZEM_int>({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}));
    EXPECT_EQ(without_column_and_row(matrix_of<ZEM_int>({{4}}), 1, 1).rows(), 0);
    ZEM_matrix<ZEM_int> tall = without_column_and_row(matrix_of<ZEM_int>({{1, 2}, {3, 4}, {5, 6}}), 2, 3);
    EXPECT_EQ(tall, matrix_of<ZEM_int>({{1}, {3}}));
    const std::string range = run_time("[without_column_and_row] column or row out of range");
    EXPECT_EQ(failure_of([&] { without_column_and_row(m, 4, 1); }), range);
    EXPECT_EQ(failure_of([&] { without_column_and_row(m, 1, 0); }), range);
}

}
