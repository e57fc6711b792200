#include "module-matrix_a/reduction.h"

#include "module-matrix/matrix_arithmetic.h"

#include <climits>
#include <gtest/gtest.h>
#include <vector>

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/matrices.h"

namespace {

template <class T>
pointer_to_objects<T> array_of(const ZEM_matrix<T>& m)
{
    pointer_to_objects<T> a(m.columns() * m.rows());
    for (int k = 0; k < a.count(); ++k) a[k] = m.elements()[k];
    return a;
}

template <class T>
ZEM_matrix<T> matrix_from(const pointer_to_objects<T>& a, int n_columns, int n_rows)
{
    return ZEM_matrix<T>(n_columns, n_rows, a);
}

template <class T>
pointer_to_objects<T> identity_array(int n)
{
    return array_of(ZEM_matrix<T>(n, n, T(1)));
}

using F = ZEM_fraction;

TEST(PivotChoice, LeastSizeFirstOfEqualFromTheDiagonalOn)
{
    struct case_ {
        ZEM_matrix<ZEM_int> m;
        int k;
        int row_pivot;
    } cases[] = {
        {matrix_of<ZEM_int>({{0, 3, -2, 2, 5}}), 0, 2},
        {matrix_of<ZEM_int>({{1, -1, 2}}), 0, 0},
        {matrix_of<ZEM_int>({{0, 0, 0, 0}, {9, 0, 0, 4}}), 1, 3},
        {matrix_of<ZEM_int>({{0, 0, 0}, {5, 0, 0}}), 1, 1},
        {matrix_of<ZEM_int>({{0, 0, 0}, {0, 0, 0}, {5, 0, 7}}), 2, 2},
        {matrix_of<ZEM_int>({{0, 0, 0}, {0, 0, 0}, {5, 0, 0}}), 2, 2},
        // The sizes of large entries are compared exactly, without wrapping.
        {matrix_of<ZEM_int>({{46341, 3}}), 0, 1},
        {matrix_of<ZEM_int>({{3, 46341}}), 0, 0},
        {matrix_of<ZEM_int>({{INT_MIN, 65536}}), 0, 1},
    };
    for (const case_& c : cases)
        EXPECT_EQ(a_row_sweeper(c.k, array_of(c.m), c.m.columns(), c.m.rows()), c.row_pivot) << c.m << c.k;

    EXPECT_EQ(a_row_sweeper(0, array_of(matrix_of<F>({{F(3, 2), F(-1, 2), F(1, 2)}})), 3, 1), 1);
    EXPECT_EQ(a_row_sweeper(0, array_of(matrix_of<F>({{0, 2, F(1, 3)}})), 3, 1), 2);
    EXPECT_EQ(a_row_sweeper(0, array_of(matrix_of<F>({{F(46341, 2), F(65536, 3)}})), 2, 1), 1);

    const ZEM_matrix<ZEM_int> tall = matrix_of<ZEM_int>({{1, 1}, {1, 5}, {1, -3}});
    EXPECT_EQ(a_column_sweeper(1, array_of(tall), 2, 3), 2);
    EXPECT_EQ(a_column_sweeper(0, array_of(tall), 2, 3), 0);
    EXPECT_EQ(a_column_sweeper(1, array_of(matrix_of<ZEM_int>({{1, 0}, {1, 0}})), 2, 2), 1);
    EXPECT_EQ(a_column_sweeper(3, array_of(tall), 2, 3), 3);
}

TEST(RowSweep, IntegerRowReducedPassByPass)
{
    pointer_to_objects<ZEM_int> A = array_of(matrix_of<ZEM_int>({{4, 6, -7}}));
    pointer_to_objects<ZEM_int> R = identity_array<ZEM_int>(3);
    sweep_a_row(0, A, R, 3, 1);
    EXPECT_EQ(matrix_from(A, 3, 1), matrix_of<ZEM_int>({{4, 2, -3}}));
    EXPECT_EQ(matrix_from(R, 3, 3), matrix_of<ZEM_int>({{1, -1, 1}, {0, 1, 0}, {0, 0, 1}}));
    sweep_a_row(0, A, R, 3, 1);
    EXPECT_EQ(matrix_from(A, 3, 1), matrix_of<ZEM_int>({{2, 0, -1}}));
    sweep_a_row(0, A, R, 3, 1);
    EXPECT_EQ(matrix_from(A, 3, 1), matrix_of<ZEM_int>({{-1, 0, 0}}));
    sweep_a_row(0, A, R, 3, 1);
    EXPECT_EQ(matrix_from(A, 3, 1), matrix_of<ZEM_int>({{-1, 0, 0}}));
    const ZEM_matrix<ZEM_int> expected_r = matrix_of<ZEM_int>({{0, 3, -1}, {1, -2, 3}, {1, 0, 2}});
    EXPECT_EQ(matrix_from(R, 3, 3), expected_r);
    EXPECT_EQ(matrix_of<ZEM_int>({{4, 6, -7}}) * expected_r, matrix_of<ZEM_int>({{-1, 0, 0}}));
}

TEST(RowSweep, WorkedRows)
{
    struct case_ {
        ZEM_matrix<F> before;
        int k;
        ZEM_matrix<F> after;
    } cases[] = {
        {matrix_of<F>({{0, -3, 3}}), 0, matrix_of<F>({{-3, 0, 0}})},
        {matrix_of<F>({{F(2, 3), F(5, 3)}}), 0, matrix_of<F>({{F(2, 3), F(1, 3)}})},
        {matrix_of<F>({{1, F(-7, 2)}}), 0, matrix_of<F>({{1, F(-1, 2)}})},
        // Every row takes part in the column operations.
        {matrix_of<F>({{1, 2}, {3, 4}}), 0, matrix_of<F>({{1, 0}, {3, -2}})},
        // Zero from column k on: nothing changes, whatever stands before.
        {matrix_of<F>({{1, 2, 3}, {5, 0, 0}}), 1, matrix_of<F>({{1, 2, 3}, {5, 0, 0}})},
        // Only the diagonal entry: no exchange, no subtraction.
        {matrix_of<F>({{5, 0, 0}, {1, 2, 3}}), 0, matrix_of<F>({{5, 0, 0}, {1, 2, 3}})},
        // Columns before k are never touched; rows above k take part.
        {matrix_of<F>({{9, 4, 7}, {8, 3, 2}}), 1, matrix_of<F>({{9, 7, -3}, {8, 2, 1}})},
    };
    for (const case_& c : cases) {
        const int n = c.before.columns(), m = c.before.rows();
        pointer_to_objects<F> A = array_of(c.before), R = identity_array<F>(n);
        sweep_a_row(c.k, A, R, n, m);
        EXPECT_EQ(matrix_from(A, n, m), c.after);
        EXPECT_EQ(c.before * matrix_from(R, n, n), c.after);
    }
    pointer_to_objects<F> A = array_of(matrix_of<F>({{1, 2}, {3, 4}})), R = identity_array<F>(2);
    sweep_a_row(0, A, R, 2, 2);
    EXPECT_EQ(matrix_from(R, 2, 2), matrix_of<F>({{1, -2}, {0, 1}}));
}

TEST(ColumnSweep, IntegerColumnWithExchange)
{
    pointer_to_objects<ZEM_int> A = array_of(matrix_of<ZEM_int>({{10, 1}, {4, 3}, {-7, 5}}));
    pointer_to_objects<ZEM_int> L = identity_array<ZEM_int>(3);
    sweep_a_column(0, A, L, 2, 3);
    EXPECT_EQ(matrix_from(A, 2, 3), matrix_of<ZEM_int>({{4, 3}, {2, -5}, {-3, 8}}));
    EXPECT_EQ(matrix_from(L, 3, 3), matrix_of<ZEM_int>({{0, 1, 0}, {1, -2, 0}, {0, 1, 1}}));
}

TEST(ColumnSweep, WorkedColumns)
{
    struct case_ {
        ZEM_matrix<F> before;
        int k;
        ZEM_matrix<F> after;
    } cases[] = {
        {matrix_of<F>({{F(3, 2)}, {F(7, 2)}, {F(-7, 2)}}), 0, matrix_of<F>({{F(3, 2)}, {F(1, 2)}, {F(-1, 2)}})},
        {matrix_of<F>({{F(3, 4)}, {F(-9, 4)}}), 0, matrix_of<F>({{F(3, 4)}, {0}})},
        // Column k zero from the diagonal down: nothing changes, even with row k full.
        {matrix_of<F>({{1, 0, 5}, {2, 0, 6}}), 1, matrix_of<F>({{1, 0, 5}, {2, 0, 6}})},
        // A lower row with a zero in column k is left alone.
        {matrix_of<F>({{2, 1}, {0, 7}, {4, 3}}), 0, matrix_of<F>({{2, 1}, {0, 7}, {0, 1}})},
        // The last row has nothing below it.
        {matrix_of<F>({{1, 2}, {3, 4}}), 1, matrix_of<F>({{1, 2}, {3, 4}})},
        // Whole rows are combined, also left of k; more rows than columns.
        {matrix_of<F>({{1, 1}, {7, 2}, {3, 5}, {0, 0}}), 1, matrix_of<F>({{1, 1}, {7, 2}, {-11, 1}, {0, 0}})},
    };
    for (const case_& c : cases) {
        const int n = c.before.columns(), m = c.before.rows();
        pointer_to_objects<F> A = array_of(c.before), L = identity_array<F>(m);
        sweep_a_column(c.k, A, L, n, m);
        EXPECT_EQ(matrix_from(A, n, m), c.after);
        EXPECT_EQ(matrix_from(L, m, m) * c.before, c.after);
    }
}

TEST(ElementaryOperations, GuardsAndWholeLines)
{
    const ZEM_matrix<ZEM_int> m = matrix_of<ZEM_int>({{1, 2, 3}, {4, 5, 6}});
    pointer_to_objects<ZEM_int> P = array_of(m);
    exchange_columns(P, 0, 3, 3, 2);
    substract_columns(P, ZEM_int(1), 3, 0, 3, 2);
    exchange_rows(P, 0, 2, 3, 2);
    substract_rows(P, ZEM_int(1), 2, 0, 3, 2);
    EXPECT_EQ(matrix_from(P, 3, 2), m);
    exchange_columns(P, 0, 2, 3, 2);
    EXPECT_EQ(matrix_from(P, 3, 2), matrix_of<ZEM_int>({{3, 2, 1}, {6, 5, 4}}));
    substract_columns(P, ZEM_int(2), 0, 2, 3, 2);
    EXPECT_EQ(matrix_from(P, 3, 2), matrix_of<ZEM_int>({{1, 2, 1}, {-2, 5, 4}}));
    substract_rows(P, ZEM_int(-1), 1, 0, 3, 2);
    EXPECT_EQ(matrix_from(P, 3, 2), matrix_of<ZEM_int>({{1, 2, 1}, {-1, 7, 5}}));
    exchange_rows(P, 1, 0, 3, 2);
    EXPECT_EQ(matrix_from(P, 3, 2), matrix_of<ZEM_int>({{-1, 7, 5}, {1, 2, 1}}));
}

TEST(DiagonalOrdering, InsertionMovesRowsOfLAndColumnsOfRAlike)
{
    using I = ZEM_int;
    struct case_ {
        std::vector<int> diagonal;  // the last one is new
        std::vector<int> ordered;
        std::vector<int> from;  // which old position ends at each place
    } cases[] = {
        {{7}, {7}, {0}},
        {{9, 4, 1, 5}, {9, 5, 4, 1}, {0, 3, 1, 2}},
        {{3, 2, 1, -2}, {3, -2, 2, 1}, {0, 3, 1, 2}},
        {{4, 0, 0, 1}, {4, 1, 0, 0}, {0, 3, 2, 1}},
        {{3, 2, -2, 2}, {3, 2, -2, 2}, {0, 3, 2, 1}},
        {{3, 2, 1}, {3, 2, 1}, {0, 1, 2}},
    };
    for (const case_& c : cases) {
        const int k = static_cast<int>(c.diagonal.size()) - 1, n = k + 1;
        pointer_to_objects<I> A(n * n), L = identity_array<I>(n), R = identity_array<I>(n);
        for (int p = 0; p <= k; ++p) A[p * n + p] = c.diagonal[p];
        sort_top_left_matrix(k, A, L, R, n, n);
        for (int p = 0; p <= k; ++p) {
            EXPECT_EQ(A[p * n + p], c.ordered[p]) << "case " << k << " position " << p;
            EXPECT_EQ(L[p * n + c.from[p]], 1) << "L row " << p;
            EXPECT_EQ(R[c.from[p] * n + p], 1) << "R column " << p;
        }
    }
    pointer_to_objects<F> A = array_of(matrix_of<F>({{F(1, 2), 0, 0}, {0, F(1, 3), 0}, {0, 0, F(-1, 2)}}));
    pointer_to_objects<F> L = identity_array<F>(3), R = identity_array<F>(3);
    sort_top_left_matrix(2, A, L, R, 3, 3);
    EXPECT_EQ(matrix_from(A, 3, 3), matrix_of<F>({{F(-1, 2), 0, 0}, {0, F(1, 2), 0}, {0, 0, F(1, 3)}}));
}

TEST(DiagonalOrdering, RowAndColumnInsertion)
{
    const ZEM_matrix<ZEM_int> m = matrix_of<ZEM_int>({{0, 1, 2, 3}, {10, 11, 12, 13}, {20, 21, 22, 23}, {30, 31, 32, 33}});
    pointer_to_objects<ZEM_int> P = array_of(m);
    insert_row_before(P, 3, 1, 4, 4);
    EXPECT_EQ(matrix_from(P, 4, 4), matrix_of<ZEM_int>({{0, 1, 2, 3}, {30, 31, 32, 33}, {10, 11, 12, 13}, {20, 21, 22, 23}}));
    P = array_of(m);
    insert_column_before(P, 2, 0, 4, 4);
    EXPECT_EQ(matrix_from(P, 4, 4), matrix_of<ZEM_int>({{2, 0, 1, 3}, {12, 10, 11, 13}, {22, 20, 21, 23}, {32, 30, 31, 33}}));
    P = array_of(m);
    insert_row_before(P, 2, 2, 4, 4);
    insert_row_before(P, 4, 1, 4, 4);
    insert_row_before(P, 3, 4, 4, 4);
    insert_column_before(P, 4, 0, 4, 4);
    EXPECT_EQ(matrix_from(P, 4, 4), m);
}

TEST(CleanPosition, StillDirtyLooksAtRowAndColumnKOnly)
{
    const pointer_to_objects<ZEM_int> A = array_of(matrix_of<ZEM_int>({{1, 0, 5}, {7, 2, 0}, {0, 0, 3}}));
    EXPECT_EQ(still_dirty(0, A, 3, 3), 1);
    EXPECT_EQ(still_dirty(1, A, 3, 3), 0);
    EXPECT_EQ(still_dirty(2, A, 3, 3), 0);
    const pointer_to_objects<ZEM_int> column_only = array_of(matrix_of<ZEM_int>({{1, 0}, {0, 2}, {0, 4}}));
    EXPECT_EQ(still_dirty(1, column_only, 2, 3), 1);

    pointer_to_objects<ZEM_int> B = array_of(matrix_of<ZEM_int>({{2, 0}, {4, 1}}));
    pointer_to_objects<ZEM_int> L = identity_array<ZEM_int>(2), R = identity_array<ZEM_int>(2);
    clean_row_and_column(0, B, L, R, 2, 2);
    EXPECT_EQ(matrix_from(B, 2, 2), matrix_of<ZEM_int>({{2, 0}, {0, 1}}));
    EXPECT_EQ(matrix_from(L, 2, 2), matrix_of<ZEM_int>({{1, 0}, {-2, 1}}));
    EXPECT_EQ(matrix_from(R, 2, 2), ZEM_matrix<ZEM_int>(2, 2, ZEM_int(1)));
}

}
