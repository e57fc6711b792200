#include <gtest/gtest.h>

#include "numbers/cyclotomic.h"
#include "numbers/cyclotomic_support.h"
#include "support/failure.h"

namespace {

using namespace cyclotomic_testing;

const ZEM_cyclotomic_number i_unit = root_of_unity(1, 4);
const std::vector<int> orders = {1, 3, 4, 5, 7, 8, 9, 12, 15, 16, 20, 21, 24, 35};

// Every result in canonical form and with the value the complex doubles give.
void expect_result(const ZEM_cyclotomic_number& result, std::complex<double> expected, const char* what)
{
    EXPECT_TRUE(is_canonical(result)) << what << ": " << printed(result);
    EXPECT_TRUE(near(value(result), expected)) << what << ": " << printed(result);
}

TEST(CyclotomicArithmetic, AgreesWithComplexDoublesOnRandomValues)
{
    std::mt19937 random(4711);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(orders.size()) - 1);
    std::uniform_int_distribution<int> small(-4, 4);
    for (int round = 0; round < 400; ++round) {
        const ZEM_cyclotomic_number x = random_value(random, orders[pick(random)], 3, 3, 0.5);
        const ZEM_cyclotomic_number y = random_value(random, orders[pick(random)], 3, 3, 0.5);
        const ZEM_cyclotomic_number x_before = x, y_before = y;
        const ZEM_fraction f(small(random), 3);
        const std::complex<double> vx = value(x), vy = value(y);
        SCOPED_TRACE(printed(x) + " and " + printed(y));

        expect_result(-x, -vx, "negation");
        expect_result(x + y, vx + vy, "sum");
        expect_result(x - y, vx - vy, "difference");
        expect_result(x * y, vx * vy, "product");
        expect_result(f * x, as_double(f) * vx, "fraction times");
        expect_result(x * f, as_double(f) * vx, "times fraction");
        expect_result(complex_conjugate(x), std::conj(vx), "conjugate");
        EXPECT_EQ(x + y, y + x);
        EXPECT_EQ(x * y, y * x);
        EXPECT_EQ(x - y, -(y - x));
        EXPECT_EQ(complex_conjugate(complex_conjugate(x)), x);
        EXPECT_EQ(complex_conjugate(x * y), complex_conjugate(x) * complex_conjugate(y));
        EXPECT_EQ(x, x_before);
        EXPECT_EQ(y, y_before);
    }
}

TEST(CyclotomicArithmetic, SmallCases)
{
    const ZEM_cyclotomic_number zero, one(1), minus_one(-1);
    EXPECT_EQ(printed(i_unit * i_unit), "-1");
    EXPECT_EQ(root_of_unity(1, 3) + root_of_unity(2, 3), minus_one);
    EXPECT_EQ((root_of_unity(1, 3) + i_unit).order, 12);
    EXPECT_EQ(printed(invert(i_unit)), "-1 * exp(2*pi*i*1/4) + 0");
    EXPECT_EQ(invert(i_unit), -i_unit);
    EXPECT_EQ(invert(ZEM_cyclotomic_number(2)), ZEM_cyclotomic_number(ZEM_fraction(1, 2)));
    EXPECT_EQ(invert(minus_one), minus_one);
    EXPECT_EQ(complex_conjugate(i_unit), -i_unit);
    EXPECT_EQ(complex_conjugate(ZEM_cyclotomic_number(ZEM_fraction(-5, 3))), ZEM_cyclotomic_number(ZEM_fraction(-5, 3)));
    EXPECT_EQ(ZEM_fraction(0) * i_unit, zero);
    EXPECT_EQ(i_unit * ZEM_fraction(0), zero);
    EXPECT_EQ(ZEM_fraction(1) * i_unit, i_unit);
    EXPECT_EQ(i_unit * ZEM_fraction(1), i_unit);

    const ZEM_cyclotomic_number three_four_i = ZEM_cyclotomic_number(3) + ZEM_fraction(4) * i_unit;
    EXPECT_EQ(abs_value_squared(three_four_i), ZEM_fraction(25));
    EXPECT_EQ(abs_value_squared(ZEM_cyclotomic_number(ZEM_fraction(-2, 3))), ZEM_fraction(4, 9));
    EXPECT_EQ(abs_value_squared(zero), ZEM_fraction(0));
    EXPECT_EQ(abs_value_squared(root_of_unity(3, 7)), ZEM_fraction(1));
}

TEST(CyclotomicArithmetic, InversesOfRandomValuesAndOfZero)
{
    std::mt19937 random(12345);
    const ZEM_cyclotomic_number one(1);
    for (int n : {1, 3, 4, 5, 7, 8, 9, 12, 15}) {
        for (int round = 0; round < 12; ++round) {
            ZEM_cyclotomic_number x = random_value(random, n, 2, 2, 0.6);
            if (x == ZEM_cyclotomic_number()) continue;
            SCOPED_TRACE(printed(x));
            const ZEM_cyclotomic_number inverse = invert(x);
            expect_result(inverse, 1.0 / value(x), "inverse");
            EXPECT_EQ(x * inverse, one);
            EXPECT_EQ(x / x, one);
            const ZEM_cyclotomic_number y = random_value(random, n, 2, 2);
            expect_result(y / x, value(y) / value(x), "quotient");
        }
    }
    const std::string no_inverse = run_time("[ZEM_fraction::simple_fraction] denominator == 0");
    const ZEM_cyclotomic_number zero;
    EXPECT_EQ(failure_of([&] { invert(zero); }), no_inverse);
    EXPECT_EQ(failure_of([&] { i_unit / zero; }), no_inverse);
    EXPECT_EQ(failure_of([&] { i_unit / (i_unit - i_unit); }), no_inverse);
}

TEST(CyclotomicArithmetic, OverflowFailsInsteadOfWrapping)
{
    const std::string overflow = run_time("[ZEM_fraction] overflow");
    const ZEM_cyclotomic_number big = ZEM_fraction(1 << 20) * root_of_unity(1, 5);
    EXPECT_EQ(failure_of([&] { big * big; }), overflow);
    EXPECT_EQ(failure_of([&] { big * ZEM_fraction(1 << 12); }), overflow);
    EXPECT_EQ(failure_of([&] { ZEM_fraction(1 << 12) * big; }), overflow);
    const ZEM_cyclotomic_number largest = ZEM_fraction(INT_MAX) * i_unit;
    EXPECT_EQ(failure_of([&] { largest + largest; }), overflow);
    EXPECT_EQ(failure_of([&] { largest - (-largest); }), overflow);
    const ZEM_cyclotomic_number smallest = ZEM_fraction(INT_MIN) * i_unit;
    EXPECT_EQ(failure_of([&] { -smallest; }), overflow);
    EXPECT_EQ(failure_of([&] { complex_conjugate(smallest); }), overflow);
    // Lifting to a common order must not leave what the canonical form holds.
    EXPECT_EQ(failure_of([] { root_of_unity(1, 46337) + root_of_unity(1, 3); }),
              run_time("[ZEM_cyclotomic_number] order too large"));
}

TEST(CyclotomicArithmetic, ResultsMayOverwriteTheirOperands)
{
    std::mt19937 random(5);
    for (int n : {1, 4, 5, 9, 12, 15}) {
        const ZEM_cyclotomic_number x0 = random_value(random, n, 2, 2, 1.0), y = random_value(random, 12, 2, 2);
        ZEM_cyclotomic_number x = x0;
        const ZEM_cyclotomic_number& same = x;
        x = same;
        EXPECT_EQ(x, x0);
        x = x + y;
        x = y + x;
        EXPECT_EQ(x, y + (x0 + y));
        x = x * x;
        EXPECT_EQ(x, (y + (x0 + y)) * (y + (x0 + y)));
        x = x0;
        x = invert(x);
        EXPECT_EQ(x, invert(x0));
        x = x - x;
        EXPECT_EQ(x, ZEM_cyclotomic_number());
    }
}

// The mean of |sigma(x)|^2 over the units a of the order, in complex doubles.
double mean_of_conjugates(const ZEM_cyclotomic_number& x)
{
    double sum = 0;
    int units = 0;
    for (int a = 1; a <= x.order; ++a)
        if (gcd(a, x.order) == 1) {
            sum += std::norm(value(x, a));
            ++units;
        }
    return sum / units;
}

TEST(CyclotomicArithmetic, PivotSizeIsTheMeanOverConjugates)
{
    std::mt19937 random(31337);
    for (int n : {1, 3, 4, 5, 7, 8, 9, 12, 15, 16, 20, 21, 24, 27, 32, 35, 45}) {
        for (int round = 0; round < 10; ++round) {
            const ZEM_cyclotomic_number x = random_value(random, n, 3, 3, round % 2 ? 0.3 : 0.8);
            SCOPED_TRACE(printed(x));
            const ZEM_fraction size = pivot_size(x);
            EXPECT_NEAR(as_double(size), mean_of_conjugates(x), 1e-9);
            if (x == ZEM_cyclotomic_number())
                EXPECT_EQ(size, ZEM_fraction(0));
            else
                EXPECT_GT(size, ZEM_fraction(0));
            // A power of 2 or a rational x * conj(x) gives the squared modulus itself.
            if ((complex_conjugate(x) * x).order == 1 || (x.order & (x.order - 1)) == 0) {
                EXPECT_EQ(size, abs_value_squared(x));
            }
            const ZEM_cyclotomic_number on_circle = x * root_of_unity(round, 7);
            EXPECT_EQ(pivot_size(on_circle), size);
        }
    }
    // Roots of unity and their rational multiples have |x|^2 rational at every order.
    for (int n : {5, 9, 15, 21}) {
        const ZEM_cyclotomic_number x = ZEM_fraction(-3, 2) * root_of_unity(1, n);
        EXPECT_EQ(pivot_size(x), ZEM_fraction(9, 4));
        EXPECT_EQ(abs_value_squared(x), ZEM_fraction(9, 4));
    }
}

}
