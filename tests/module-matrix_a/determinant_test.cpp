#include "module-matrix_a/determinant.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <vector>

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"
#include "numbers/cyclotomic_support.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

using I = ZEM_int;
using F = ZEM_fraction;
using C = ZEM_cyclotomic_number;

TEST(Determinant, WorkedExamples)
{
    EXPECT_EQ(determinant(matrix_of<I>({{1, 2}, {3, 4}})), -2);
    EXPECT_EQ(determinant(matrix_of<F>({{F(1, 2), F(1, 3)}, {F(1, 4), F(1, 5)}})), F(1, 60));
    EXPECT_EQ(determinant(matrix_of<I>({{0, 1, 0}, {1, 0, 0}, {0, 0, 1}})), -1);
    EXPECT_EQ(determinant(matrix_of<C>({{0, 1}, {1, 0}})), C(-1));
    EXPECT_EQ(determinant(ZEM_matrix<I>(0, 0, I(1))), 0);
    EXPECT_EQ(failure_of([] { determinant(ZEM_matrix<I>(3, 2, I(1))); }), run_time("determinant: rows != columns"));
    EXPECT_EQ(failure_of([] { determinant(ZEM_matrix<I>(5, 5, I(1 << 16))); }), run_time("[determinant] overflow"));
}

// The expansion and the elimination against the sum over all permutations, in 64 bits.
TEST(Determinant, AgreesWithTheSumOverPermutations)
{
    std::mt19937 random(3);
    const C root = cyclotomic_testing::root_of_unity(1, 3);
    std::uniform_int_distribution<int> entry(-9, 9), size(1, 7), zero(0, 3);
    for (int trial = 0; trial < 150; ++trial) {
        const int n = size(random);
        pointer_to_objects<I> a(n * n);
        // Sizes past the expansion go through elimination, its zero pivots included.
        for (I& x : a) x = zero(random) == 0 ? 0 : n > 5 ? entry(random) / 3 : entry(random);
        std::vector<int> p(static_cast<std::size_t>(n));
        std::iota(p.begin(), p.end(), 0);
        std::int64_t expected = 0;
        do {
            std::int64_t term = 1;
            for (int i = 0; i < n; ++i) {
                term *= a[i * n + p[i]].value();
                for (int j = i + 1; j < n; ++j) term *= p[i] > p[j] ? -1 : 1;
            }
            expected += term;
        } while (std::next_permutation(p.begin(), p.end()));
        EXPECT_EQ(determinant(ZEM_matrix<I>(n, n, a)).value(), expected);
        // Over the fractions a / 2, and over the cyclotomic numbers a times a root of unity of order 3.
        pointer_to_objects<F> half(n * n);
        pointer_to_objects<C> rotated(n * n);
        C root_power(1);
        for (int k = 0; k < n * n; ++k) {
            half[k] = F(a[k].value(), 2);
            rotated[k] = root * C(a[k].value());
            if (k < n) root_power = root_power * root;
        }
        EXPECT_EQ(determinant(ZEM_matrix<F>(n, n, half)), F(int(expected), 1 << n));
        EXPECT_EQ(determinant(ZEM_matrix<C>(n, n, rotated)), root_power * C(int(expected)));
    }
}

// L * U with L unit lower triangular and U upper triangular of diagonal d, rows then
// permuted: the determinant is the product of d times the permutation's sign.
TEST(Determinant, LargeMatricesByElimination)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> small(-1, 1);
    const int n = 20;
    std::vector<std::int64_t> l(n * n, 0), u(n * n, 0);
    int expected = 1;
    for (int i = 0; i < n; ++i) {
        l[i * n + i] = 1;
        u[i * n + i] = i % 7 == 0 ? 2 : (i % 2 ? -1 : 1);
        expected *= int(u[i * n + i]);
        for (int j = 0; j < i; ++j) l[i * n + j] = small(random);
        for (int j = i + 1; j < n; ++j) u[i * n + j] = small(random);
    }
    std::vector<int> rows(n);
    std::iota(rows.begin(), rows.end(), 0);
    std::shuffle(rows.begin(), rows.end(), random);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j) expected *= rows[i] > rows[j] ? -1 : 1;
    pointer_to_objects<I> a(n * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            std::int64_t sum = 0;
            for (int k = 0; k < n; ++k) sum += l[rows[i] * n + k] * u[k * n + j];
            a[i * n + j] = int(sum);
        }
    const ZEM_matrix<I> m(n, n, a);
    EXPECT_EQ(determinant(m).value(), expected);  // the expansion would take 20! terms

}

}
