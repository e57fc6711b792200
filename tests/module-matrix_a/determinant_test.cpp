#include "module-matrix_a/determinant.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <vector>

#include "module-matrix/matrix_arithmetic.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic_support.h"
#include "support/failure.h"

namespace {

using I = ZEM_int;
using F = ZEM_fraction;
using C = ZEM_cyclotomic_number;

TEST(Determinant, EmptyNonSquareAndOverflowing)
{
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

}
