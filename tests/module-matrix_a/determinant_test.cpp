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
    EXPECT_EQ(determinant(matrix_of<F>({{F(-3, 4)}})), F(-3, 4));
    EXPECT_EQ(determinant(matrix_of<I>({{0, 1, 0}, {1, 0, 0}, {0, 0, 1}})), -1);
    EXPECT_EQ(determinant(matrix_of<C>({{0, 1}, {1, 0}})), C(-1));
    EXPECT_EQ(determinant(ZEM_matrix<I>(0, 0, I(1))), 0);
    EXPECT_EQ(failure_of([] { determinant(ZEM_matrix<I>(3, 2, I(1))); }), run_time("determinant: rows != columns"));
}

// The expansion against the sum over all permutations, in 64 bits.
TEST(Determinant, AgreesWithTheSumOverPermutations)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> entry(-9, 9), size(1, 5), zero(0, 3);
    for (int trial = 0; trial < 150; ++trial) {
        const int n = size(random);
        pointer_to_objects<I> a(n * n);
        for (I& x : a) x = zero(random) == 0 ? 0 : entry(random);
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
    }
}

}
