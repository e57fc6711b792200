#include "numbers/cyclotomic.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <climits>
#include <memory>
#include <numeric>

#include "numbers/cyclotomic_support.h"
#include "support/failure.h"

namespace {

using namespace cyclotomic_testing;
using C = ZEM_cyclotomic_number;

// A value of order n with the given coefficients at the given indices, not reduced.
C working(int n, const std::vector<std::pair<int, ZEM_fraction>>& given)
{
    C x(n, 0);
    for (const auto& [k, c] : given) x.coefficients[k] += c;
    return x;
}

const C i_unit = working(4, {{1, 1}});

TEST(CyclotomicNumbers, ReductionTable)
{
    const ZEM_fraction a(3, 7), b(-2, 5);
    const C zero = working(1, {}), one = working(1, {{0, 1}}), minus_one = working(1, {{0, -1}});
    const C omega = working(3, {{1, 1}});
    const std::vector<std::pair<C, C>> rows = {
        {working(3, {{0, 1}, {1, 1}, {2, 1}}), zero},
        {working(4, {{2, 1}}), minus_one},
        {working(5, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}), minus_one},
        {working(15, {{1, 1}, {2, 1}, {4, 1}, {7, 1}, {8, 1}, {11, 1}, {13, 1}, {14, 1}}), one},
        {working(1, {{0, a}}), working(1, {{0, a}})},
        {working(15, {{0, ZEM_fraction(5, 2)}}), working(1, {{0, ZEM_fraction(5, 2)}})},
        {working(2, {{0, a}, {1, b}}), working(1, {{0, a - b}})},
        {working(12, {}), zero},
        {working(6, {{1, 1}}), working(3, {{2, -1}})},
        {working(10, {{1, 1}}), working(5, {{3, -1}})},
        {working(18, {{1, 1}}), working(9, {{5, -1}})},
        {working(6, {{2, 1}}), omega},
        {working(12, {{3, 1}}), working(4, {{1, 1}})},
        {working(9, {{3, 1}}), omega},
        {working(20, {{4, 1}}), working(5, {{1, 1}})},
        {working(21, {{7, 1}}), omega},
        {working(9, {{0, 1}}), one},
        {working(9, {{1, 1}}), working(9, {{4, -1}, {7, -1}})},
        {working(9, {{1, 1}, {8, 1}}), working(9, {{2, -1}, {4, -1}, {5, -1}, {7, -1}})},
        {working(12, {{1, 1}}), working(12, {{7, -1}})},
        {working(8, {{5, 1}}), working(8, {{1, -1}})},
        {working(8, {{1, 1}, {3, -1}}), working(8, {{1, 1}, {3, -1}})},
    };
    for (const auto& [given, expected] : rows) {
        C x = given;
        x.reduce();
        EXPECT_EQ(x, expected) << printed(given) << " at order " << given.order << " gave " << printed(x);
    }
}

TEST(CyclotomicNumbers, ReductionIsCanonicalOnRandomValues)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> multiple(1, 7), factor(-3, 3);
    const std::vector<int> orders = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 15, 16, 18, 20, 21, 24, 25,
                                     27, 28, 30, 33, 35, 36, 42, 45, 48, 60, 63, 72, 84, 90, 105};
    for (int round = 0; round < 20; ++round)
        for (int n : orders) {
            const C given = random_value(random, n, 5, 4, round % 3 == 0 ? 0.15 : 0.8, false);
            C x = given;
            x.reduce();
            SCOPED_TRACE(printed(given));
            ASSERT_TRUE(is_canonical(x)) << printed(x);
            EXPECT_TRUE(near(value(x), value(given)));
            C again = x;
            again.reduce();
            EXPECT_EQ(again, x);

            // The same value at a multiple order N, plus random multiples of the vanishing
            // sums zeta^j + zeta^(j + N/d) + ... + zeta^(j + (d-1)*N/d) for the divisors d of N.
            const int k = multiple(random), big = n * k;
            C lifted(big, 0);
            for (int j = 0; j < n; ++j) lifted.coefficients[j * k] = given.coefficients[j];
            for (int d = 2; d <= big; ++d) {
                if (big % d != 0) continue;
                const int j = std::uniform_int_distribution<int>(0, big - 1)(random);
                const ZEM_fraction c(factor(random), 2);
                for (int l = 0; l < d; ++l) lifted.coefficients[(j + l * (big / d)) % big] += c;
            }
            lifted.reduce();
            EXPECT_EQ(lifted, x) << printed(lifted);
        }
}

TEST(CyclotomicNumbers, ConstructedValuesTheirPrintedFormsAndHashes)
{
    const C zero = working(1, {}), minus_i = working(4, {{1, -1}});
    const ZEM_fraction half(1, 2);
    const std::string i_text = "1 * exp(2*pi*i*1/4) + 0", minus_i_text = "-1 * exp(2*pi*i*1/4) + 0";
    const std::vector<std::tuple<C, C, std::string, int>> rows = {
        {C(), zero, "0", 0},
        {C(0), zero, "0", 0},
        {C(ZEM_fraction(0)), zero, "0", 0},
        {terms({}, {}, {}), zero, "0", 0},
        {terms({1, -1}, {1, 5}, {4, 4}), zero, "0", 0},
        {C(4), working(1, {{0, 4}}), "4", 0},
        {C(ZEM_fraction(4, 1)), working(1, {{0, 4}}), "4", 0},
        {C(ZEM_fraction(5, 2)), working(1, {{0, ZEM_fraction(5, 2)}}), "5/2", 0},
        {terms({1}, {5}, {4}), i_unit, i_text, 1},
        {terms({half, half}, {1, 1}, {4, 4}), i_unit, i_text, 1},
        // Only the shortest list's terms are summed; every denominator counts for the order.
        {terms({1, 5}, {1}, {4, 3, 7}), i_unit, i_text, 1},
        {terms({1}, {1}, {-4}), minus_i, minus_i_text, -1},
        {terms({1}, {-1}, {4}), minus_i, minus_i_text, -1},
        {terms({-1, -1}, {1, 0}, {4, 1}), working(4, {{0, -1}, {1, -1}}), "-1 * exp(2*pi*i*1/4) + -1", -1},
        {terms({-2, 3}, {1, 0}, {4, 1}), working(4, {{0, 3}, {1, -2}}), "-2 * exp(2*pi*i*1/4) + 3", -2},
        {terms({half}, {1}, {5}), working(5, {{1, half}}), "1/2 * exp(2*pi*i*1/5) + 0", 2},
        // Numerators far beyond the order land on the root of their residue.
        {terms({1}, {INT_MAX}, {3, 7}), working(3, {{1, 1}}), "1 * exp(2*pi*i*1/3) + 0", 1},
        {terms({1}, {INT_MIN}, {-7}), working(7, {{2, 1}}), "1 * exp(2*pi*i*2/7) + 0", 2},
        // 2 * 2^30 wraps to the smallest int.
        {terms({1 << 30}, {2}, {3}), working(3, {{2, 1 << 30}}), "1073741824 * exp(2*pi*i*2/3) + 0", INT_MIN},
    };
    for (const auto& [x, expected, text, h] : rows) {
        EXPECT_EQ(x, expected) << text;
        EXPECT_EQ(printed(x), text);
        EXPECT_EQ(printed(*std::unique_ptr<ZEM_object>(x.copy_object())), text);
        EXPECT_EQ(hash(x), h) << text;
    }
    EXPECT_NE(i_unit, C(1));
    EXPECT_NE(i_unit, root_of_unity(1, 3));
    // The largest prime order the canonical form holds: 46337 * 46337 < 2^31.
    EXPECT_EQ(terms({1, 1}, {3, 46337 - 3}, {46337, 46337}), terms({1, 1}, {3, -3}, {46337, 46337}));
    EXPECT_EQ(C(3).type(), tp_cyclotomic());
    EXPECT_EQ(tp_cyclotomic().text(), "cyclotomic");

    pointer_to_objects<C> none, also_none(0), one(1), two(2), other_two(2);
    other_two[1] = i_unit;
    EXPECT_TRUE(none == also_none);
    EXPECT_FALSE(one == two);
    EXPECT_FALSE(two == other_two);
}

TEST(CyclotomicNumbers, TermsRejectWhatTheyCannotHold)
{
    const std::string zero_denominator = run_time("[ZEM_cyclotomic_number] denominator == 0");
    const std::string too_large = run_time("[ZEM_cyclotomic_number] order too large");
    EXPECT_EQ(failure_of([] { terms({1}, {1}, {0}); }), zero_denominator);
    EXPECT_EQ(failure_of([] { terms({1}, {1}, {4, 0}); }), zero_denominator);
    EXPECT_EQ(failure_of([] { terms({1}, {1}, {INT_MAX}); }), too_large);
    EXPECT_EQ(failure_of([] { terms({1}, {1}, {INT_MIN}); }), too_large);
    EXPECT_EQ(failure_of([] { terms({1}, {1}, {65536, 59049}); }), too_large);
    EXPECT_EQ(failure_of([] { C(46349 * 2, 0); }), too_large);
    EXPECT_EQ(failure_of([] { C(0, 0); }), run_time("[ZEM_cyclotomic_number] order < 1"));
}

// Every result in canonical form and with the value the complex doubles give.
void expect_result(const C& result, std::complex<double> expected, const char* what)
{
    EXPECT_TRUE(is_canonical(result)) << what << ": " << printed(result);
    EXPECT_TRUE(near(value(result), expected)) << what << ": " << printed(result);
}

TEST(CyclotomicArithmetic, AgreesWithComplexDoublesOnRandomValues)
{
    std::mt19937 random(4711);
    const std::vector<int> orders = {1, 3, 4, 5, 7, 8, 9, 12, 15, 16, 20, 21, 24, 35};
    std::uniform_int_distribution<int> pick(0, static_cast<int>(orders.size()) - 1), small(-4, 4);
    for (int round = 0; round < 400; ++round) {
        const C x = random_value(random, orders[pick(random)], 3, 3, 0.5);
        const C y = random_value(random, orders[pick(random)], 3, 3, 0.5);
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
        EXPECT_EQ(complex_conjugate(complex_conjugate(x)), x);

        // Results may overwrite their operands.
        C z = x;
        const C& same = z;
        z = same;
        z = z + y;
        z = z * z;
        EXPECT_EQ(z, (x + y) * (x + y));
        z = z - z;
        EXPECT_EQ(z, C());

        // The pivot size is the mean of |sigma(x)|^2 over the Galois conjugates sigma.
        double mean = 0;
        int units = 0;
        for (int a = 1; a <= x.order; ++a)
            if (std::gcd(a, x.order) == 1) {
                mean += std::norm(value(x, a));
                ++units;
            }
        EXPECT_NEAR(as_double(pivot_size(x)), mean / units, 1e-9);
        EXPECT_EQ(pivot_size(x) > ZEM_fraction(0), x != C());
        if ((complex_conjugate(x) * x).order == 1) {
            EXPECT_NEAR(as_double(abs_value_squared(x)), std::norm(vx), 1e-9);
        }
    }
}

TEST(CyclotomicArithmetic, WorkedExamples)
{
    const C zero, minus_one(-1), omega = root_of_unity(1, 3);
    EXPECT_EQ(printed(i_unit * i_unit), "-1");
    EXPECT_EQ(printed(invert(i_unit)), "-1 * exp(2*pi*i*1/4) + 0");
    EXPECT_EQ((omega + i_unit).order, 12);
    const std::vector<std::pair<C, C>> rows = {
        {omega + omega * omega, minus_one},
        {invert(i_unit), -i_unit},
        {invert(C(2)), C(ZEM_fraction(1, 2))},
        {invert(minus_one), minus_one},
        {complex_conjugate(i_unit), -i_unit},
        {complex_conjugate(C(ZEM_fraction(-5, 3))), C(ZEM_fraction(-5, 3))},
        {ZEM_fraction(0) * i_unit, zero},
        {i_unit * ZEM_fraction(0), zero},
        {ZEM_fraction(1) * i_unit, i_unit},
    };
    for (std::size_t k = 0; k < rows.size(); ++k) EXPECT_EQ(rows[k].first, rows[k].second) << "row " << k;
    EXPECT_EQ(abs_value_squared(C(3) + ZEM_fraction(4) * i_unit), ZEM_fraction(25));
    EXPECT_EQ(abs_value_squared(root_of_unity(3, 7)), ZEM_fraction(1));
}

TEST(CyclotomicArithmetic, InversesOfRandomValuesAndOfZero)
{
    std::mt19937 random(12345);
    for (int n : {1, 3, 4, 5, 7, 8, 9, 12, 15})
        for (int round = 0; round < 12; ++round) {
            const C x = random_value(random, n, 2, 2, 0.6), y = random_value(random, n, 2, 2);
            if (x == C()) continue;
            SCOPED_TRACE(printed(x));
            C inverse = x;
            inverse = invert(inverse);
            expect_result(inverse, 1.0 / value(x), "inverse");
            EXPECT_EQ(x * inverse, C(1));
            expect_result(y / x, value(y) / value(x), "quotient");
        }
    const std::string no_inverse = run_time("[ZEM_fraction::simple_fraction] denominator == 0");
    EXPECT_EQ(failure_of([] { invert(C()); }), no_inverse);
    EXPECT_EQ(failure_of([] { i_unit / (i_unit - i_unit); }), no_inverse);
}

TEST(CyclotomicArithmetic, OverflowFailsInsteadOfWrapping)
{
    const std::string overflow = run_time("[ZEM_fraction] overflow");
    const C big = ZEM_fraction(1 << 20) * root_of_unity(1, 5);
    const C largest = ZEM_fraction(INT_MAX) * i_unit, smallest = ZEM_fraction(INT_MIN) * i_unit;
    EXPECT_EQ(failure_of([&] { big * big; }), overflow);
    EXPECT_EQ(failure_of([&] { big * ZEM_fraction(1 << 12); }), overflow);
    EXPECT_EQ(failure_of([&] { ZEM_fraction(1 << 12) * big; }), overflow);
    EXPECT_EQ(failure_of([&] { largest + largest; }), overflow);
    EXPECT_EQ(failure_of([&] { largest - (-largest); }), overflow);
    EXPECT_EQ(failure_of([&] { -smallest; }), overflow);
    EXPECT_EQ(failure_of([&] { complex_conjugate(smallest); }), overflow);
    // Lifting to a common order must not leave what the canonical form holds.
    EXPECT_EQ(failure_of([] { root_of_unity(1, 46337) + root_of_unity(1, 3); }),
              run_time("[ZEM_cyclotomic_number] order too large"));
}

}

namespace {

int nonzero_count(const C& x)
{
    return int(std::count_if(x.coefficients.begin(), x.coefficients.end(), [](const ZEM_fraction& c) { return !c.is_zero(); }));
}

// A product multiplies only the non-zero coefficients: its work does not grow
// with the order, so large orders stay cheap.
TEST(CyclotomicArithmetic, ProductsFormOnlyNonZeroCoefficientProducts)
{
    const C e1009 = root_of_unity(1, 1009);
    const std::vector<std::pair<C, C>> cases = {
        {root_of_unity(1, 1009), root_of_unity(2, 1009)},
        {root_of_unity(1, 46337), root_of_unity(2, 46337)},
        {C(ZEM_fraction(3, 2)), root_of_unity(3, 7)},
        {C(5), C(ZEM_fraction(-1, 4))},
        {terms({1, 2}, {1, 1}, {12, 4}), terms({3, -1}, {1, 2}, {5, 5})},
    };
    for (const auto& [x, y] : cases) {
        const std::uint64_t before = cyclotomic_coefficient_products();
        const C product = x * y;
        EXPECT_EQ(cyclotomic_coefficient_products() - before, std::uint64_t(nonzero_count(x) * nonzero_count(y)))
            << printed(x) << " times " << printed(y);
        EXPECT_EQ(printed(product), printed(y * x));
    }
    EXPECT_EQ(root_of_unity(1, 46337) * root_of_unity(2, 46337), root_of_unity(3, 46337));
    EXPECT_EQ(invert(e1009) * e1009, C(1));
}

}
