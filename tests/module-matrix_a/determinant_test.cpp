#include "module-matrix_a/determinant.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <vector>

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

TEST(Determinant, WorkedExamples)
{
    EXPECT_EQ(determinant(matrix_of<ZEM_int>({{1, 2}, {3, 4}})), -2);
    EXPECT_EQ(determinant(matrix_of<ZEM_fraction>({{ZEM_fraction(1, 2), ZEM_fraction(1, 3)},
                                                   {ZEM_fraction(1, 4), ZEM_fraction(1, 5)}})),
              ZEM_fraction(1, 60));
    EXPECT_EQ(determinant(matrix_of<ZEM_int>({{1, 0, 0}, {0, 1, 0}, {0, 0, -1}})), -1);
    EXPECT_EQ(determinant(ZEM_matrix<ZEM_fraction>(4, 4, ZEM_fraction(1))), ZEM_fraction(1));
    EXPECT_EQ(determinant(matrix_of<ZEM_int>({{0, 1, 0}, {1, 0, 0}, {0, 0, 1}})), -1);
    EXPECT_EQ(determinant(matrix_of<ZEM_int>({{0, 5}, {0, 7}})), 0);
    EXPECT_EQ(determinant(matrix_of<ZEM_fraction>({{ZEM_fraction(-3, 4)}})), ZEM_fraction(-3, 4));
    EXPECT_EQ(determinant(ZEM_matrix<ZEM_int>(0, 0, ZEM_int(1))), 0);
    EXPECT_EQ(failure_of([] { determinant(ZEM_matrix<ZEM_int>(3, 2, ZEM_int(1))); }),
              run_time("determinant: rows != columns"));
}

// The expansion against the sum over all permutations, in 64 bits.
TEST(Determinant, AgreesWithTheSumOverPermutations)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> entry(-9, 9), size(1, 5), zero(0, 3);
    for (int trial = 0; trial < 150; ++trial) {
        const int n = size(random);
        pointer_to_objects<ZEM_int> a(n * n);
        for (ZEM_int& x : a) x = zero(random) == 0 ? 0 : entry(random);
        const ZEM_matrix<ZEM_int> m(n, n, a);
        std::vector<int> p(static_cast<std::size_t>(n));
        std::iota(p.begin(), p.end(), 0);
        std::int64_t expected = 0;
        do {
            int inversions = 0;
            for (int i = 0; i < n; ++i)
                for (int j = i + 1; j < n; ++j) inversions += p[i] > p[j];
            std::int64_t term = inversions % 2 ? -1 : 1;
            for (int i = 0; i < n; ++i) term *= a[i * n + p[i]].value();
            expected += term;
        } while (std::next_permutation(p.begin(), p.end()));
        EXPECT_EQ(determinant(m).value(), expected);
    }
}

}
