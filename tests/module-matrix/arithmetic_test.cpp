#include "module-matrix/matrix_arithmetic.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <random>

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

ZEM_matrix<ZEM_int> random_int_matrix(std::mt19937& random, int c, int r, int bound)
{
    std::uniform_int_distribution<int> entry(-bound, bound);
    pointer_to_objects<ZEM_int> a(c * r);
    for (ZEM_int& x : a) x = entry(random);
    return ZEM_matrix<ZEM_int>(c, r, a);
}

TEST(MatrixArithmetic, DifferenceKeepsTheShapeAndChecksIt)
{
    const ZEM_matrix<ZEM_fraction> m = matrix_of<ZEM_fraction>({{ZEM_fraction(1, 2), 3}, {-4, ZEM_fraction(2, 3)}});
    ZEM_matrix<ZEM_fraction> d = m - m;
    EXPECT_EQ(d, ZEM_matrix<ZEM_fraction>(2, 2, ZEM_fraction(0)));
    EXPECT_NE(d.elements(), m.elements());
    EXPECT_EQ(m - ZEM_matrix<ZEM_fraction>(2, 2, ZEM_fraction(1, 2)),
              matrix_of<ZEM_fraction>({{0, 3}, {-4, ZEM_fraction(1, 6)}}));
    ZEM_matrix<ZEM_fraction> x = m;
    x = x - ZEM_matrix<ZEM_fraction>(2, 2, ZEM_fraction(1));
    EXPECT_EQ(x.element(2, 2), ZEM_fraction(-1, 3));
    EXPECT_EQ(m.element(2, 2), ZEM_fraction(2, 3));
    EXPECT_EQ(failure_of([] { ZEM_matrix<ZEM_int>(3, 2, ZEM_int(1)) - ZEM_matrix<ZEM_int>(2, 3, ZEM_int(1)); }),
              run_time("[matrix-1 - matrix-2] incompatible sizes"));
    EXPECT_EQ((ZEM_matrix<ZEM_int>(0, 3, ZEM_int(1)) - ZEM_matrix<ZEM_int>(0, 3, ZEM_int(1))).rows(), 3);
}

TEST(MatrixArithmetic, ScalarTimesMatrix)
{
    const ZEM_matrix<ZEM_fraction> m = matrix_of<ZEM_fraction>({{ZEM_fraction(2, 3), -1}});
    EXPECT_EQ(ZEM_fraction(1, 2) * m, matrix_of<ZEM_fraction>({{ZEM_fraction(1, 3), ZEM_fraction(-1, 2)}}));
    EXPECT_EQ(ZEM_fraction(0) * m, ZEM_matrix<ZEM_fraction>(2, 1, ZEM_fraction(0)));
    ZEM_matrix<ZEM_fraction> same = ZEM_fraction(1) * m;
    EXPECT_EQ(same, m);
    EXPECT_NE(same.elements(), m.elements());
    EXPECT_EQ((ZEM_int(3) * ZEM_matrix<ZEM_int>(2, 0, ZEM_int(1))).columns(), 2);
    // Checked entries: the product leaves 32 bits and fails instead of wrapping.
    EXPECT_EQ(failure_of([] { ZEM_int(2) * matrix_of<ZEM_int>({{1073741824}}); }), run_time("[ZEM_int] overflow"));
}

TEST(MatrixArithmetic, ProductShapesAndFailures)
{
    const ZEM_matrix<ZEM_int> wide(3, 2, ZEM_int(1)), tall(2, 3, ZEM_int(1));
    EXPECT_EQ((wide * tall).columns(), 2);
    EXPECT_EQ((wide * tall).rows(), 2);
    EXPECT_EQ((tall * wide).columns(), 3);
    EXPECT_EQ((tall * wide).rows(), 3);
    EXPECT_EQ(failure_of([&] { tall * tall; }), run_time("[operator * (m1, m2)] wrong size"));
    const ZEM_matrix<ZEM_fraction> no_columns(0, 2, ZEM_fraction(1)), no_rows(3, 0, ZEM_fraction(1));
    ZEM_matrix<ZEM_fraction> zeros = no_columns * no_rows;
    EXPECT_EQ(zeros, ZEM_matrix<ZEM_fraction>(3, 2, ZEM_fraction(0)));
    EXPECT_EQ(zeros.element(3, 2).denominator(), 1);
}

// Products of random integer matrices against a plain 64-bit product; the
// identity on either side gives the operand back, and the product associates.
TEST(MatrixArithmetic, ProductAgainstAPlainProduct)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> size(1, 5);
    for (int trial = 0; trial < 200; ++trial) {
        const int a = size(random), b = size(random), c = size(random);
        const ZEM_matrix<ZEM_int> m1 = random_int_matrix(random, b, a, 100);
        const ZEM_matrix<ZEM_int> m2 = random_int_matrix(random, c, b, 100);
        const ZEM_matrix<ZEM_int> m3 = random_int_matrix(random, 2, c, 100);
        const ZEM_matrix<ZEM_int> p = m1 * m2;
        for (int i = 1; i <= a; ++i)
            for (int j = 1; j <= c; ++j) {
                std::int64_t sum = 0;
                for (int k = 1; k <= b; ++k) sum += std::int64_t(m1.element(k, i).value()) * m2.element(j, k).value();
                EXPECT_EQ(p.element(j, i).value(), sum);
            }
        EXPECT_EQ(ZEM_matrix<ZEM_int>(a, a, ZEM_int(1)) * m1, m1);
        EXPECT_EQ(m1 * ZEM_matrix<ZEM_int>(b, b, ZEM_int(1)), m1);
        EXPECT_EQ((m1 * m2) * m3, m1 * (m2 * m3));
    }
}

}
