#include "numbers/cyclotomic.h"

#include <gtest/gtest.h>
#include <climits>
#include <memory>

#include "numbers/cyclotomic_support.h"
#include "support/failure.h"

namespace {

using namespace cyclotomic_testing;

std::vector<ZEM_fraction> fractions_of(const ZEM_cyclotomic_number& x)
{
    return std::vector<ZEM_fraction>(x.coefficients.begin(), x.coefficients.end());
}

const ZEM_cyclotomic_number i_unit = terms({1}, {1}, {4});

TEST(CyclotomicNumbers, ReductionTable)
{
    struct row {
        int order;
        std::vector<std::pair<int, ZEM_fraction>> given;
        int expected_order;
        std::vector<ZEM_fraction> expected;
    };
    const ZEM_fraction one(1), a(3, 7), b(-2, 5);
    const std::vector<row> rows = {
        {3, {{0, one}, {1, one}, {2, one}}, 1, {0}},
        {4, {{2, one}}, 1, {-1}},
        {5, {{1, one}, {2, one}, {3, one}, {4, one}}, 1, {-1}},
        {15, {{1, one}, {2, one}, {4, one}, {7, one}, {8, one}, {11, one}, {13, one}, {14, one}}, 1, {1}},
        {1, {{0, ZEM_fraction(-7, 3)}}, 1, {ZEM_fraction(-7, 3)}},
        {15, {{0, ZEM_fraction(5, 2)}}, 1, {ZEM_fraction(5, 2)}},
        {2, {{0, a}, {1, b}}, 1, {a - b}},
        {12, {}, 1, {0}},
        {6, {{1, one}}, 3, {0, 0, -1}},
        {10, {{1, one}}, 5, {0, 0, 0, -1, 0}},
        {18, {{1, one}}, 9, {0, 0, 0, 0, 0, -1, 0, 0, 0}},
        {6, {{2, one}}, 3, {0, 1, 0}},
        {12, {{3, one}}, 4, {0, 1, 0, 0}},
        {9, {{3, one}}, 3, {0, 1, 0}},
        {20, {{4, one}}, 5, {0, 1, 0, 0, 0}},
        {21, {{7, one}}, 3, {0, 1, 0}},
        {9, {{0, one}}, 1, {1}},
        {9, {{1, one}}, 9, {0, 0, 0, 0, -1, 0, 0, -1, 0}},
        {9, {{1, one}, {8, one}}, 9, {0, 0, -1, 0, -1, -1, 0, -1, 0}},
        {12, {{1, one}}, 12, {0, 0, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0}},
        {8, {{5, one}}, 8, {0, -1, 0, 0, 0, 0, 0, 0}},
        {8, {{1, one}, {3, -one}}, 8, {0, 1, 0, -1, 0, 0, 0, 0}},
    };
    for (const row& r : rows) {
        ZEM_cyclotomic_number x = working(r.order, r.given);
        x.reduce();
        SCOPED_TRACE(printed(x));
        EXPECT_EQ(x.order, r.expected_order);
        EXPECT_EQ(fractions_of(x), r.expected);
    }
}

TEST(CyclotomicNumbers, AdmissibleIndicesFollowTheirDefinition)
{
    const std::vector<std::pair<int, std::vector<int>>> table = {
        {1, {0}}, {3, {1, 2}}, {4, {0, 1}}, {5, {1, 2, 3, 4}}, {8, {0, 1, 2, 3}}, {9, {2, 3, 4, 5, 6, 7}},
        {12, {4, 7, 8, 11}}, {15, {1, 2, 4, 7, 8, 11, 13, 14}}, {16, {0, 1, 2, 3, 4, 5, 6, 7}},
        {20, {1, 4, 8, 9, 12, 13, 16, 17}}, {24, {1, 8, 11, 14, 16, 17, 19, 22}},
        {28, {3, 4, 8, 11, 12, 15, 16, 19, 20, 23, 24, 27}}, {36, {1, 8, 12, 16, 17, 20, 21, 24, 25, 28, 29, 33}},
    };
    for (const auto& [n, indices] : table) {
        std::vector<int> found;
        const std::vector<bool> ok = admissible(n);
        for (int k = 0; k < n; ++k)
            if (ok[static_cast<std::size_t>(k)]) found.push_back(k);
        EXPECT_EQ(found, indices) << "order " << n;
    }
}

// Sum over l of zeta^(j + l*n/p) is zero for every prime p of n: adding random
// multiples of these changes the representation, never the value.
void add_random_relations(std::mt19937& random, ZEM_cyclotomic_number& x)
{
    const int n = x.order;
    std::uniform_int_distribution<int> index(0, n - 1), factor(-3, 3);
    for (int p : primes_of(n))
        for (int times = 0; times < 3; ++times) {
            const int j = index(random);
            const ZEM_fraction c(factor(random), 2);
            for (int l = 0; l < p; ++l) x.coefficients[(j + l * (n / p)) % n] += c;
        }
}

TEST(CyclotomicNumbers, ReductionIsCanonicalOnRandomValues)
{
    std::mt19937 random(20240611);
    const std::vector<int> orders = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 14, 15, 16, 18, 20, 21, 24, 25,
                                     27, 28, 30, 33, 35, 36, 42, 45, 48, 60, 63, 72, 84, 90, 105};
    std::uniform_int_distribution<int> multiple(1, 7);
    for (int round = 0; round < 20; ++round)
        for (int n : orders) {
            const double density = round % 3 == 0 ? 0.15 : 0.8;
            const ZEM_cyclotomic_number given = random_working(random, n, 5, 4, density);
            ZEM_cyclotomic_number x = given;
            x.reduce();
            SCOPED_TRACE(printed(given));
            ASSERT_TRUE(is_canonical(x)) << printed(x);
            EXPECT_TRUE(near(value(x), value(given)));
            EXPECT_TRUE(order_is_minimal(x)) << printed(x);

            ZEM_cyclotomic_number again = x;
            again.reduce();
            EXPECT_EQ(again, x);

            // The same value at a multiple order, in another representation.
            const int k = multiple(random);
            ZEM_cyclotomic_number lifted(n * k, 0);
            for (int j = 0; j < n; ++j) lifted.coefficients[j * k] = given.coefficients[j];
            add_random_relations(random, lifted);
            EXPECT_TRUE(near(value(lifted), value(given)));
            lifted.reduce();
            EXPECT_EQ(lifted, x) << printed(lifted);
            EXPECT_EQ(hash(lifted), hash(x));
        }
}

TEST(CyclotomicNumbers, ConstructorsOfRationalValues)
{
    const ZEM_cyclotomic_number zero;
    for (const ZEM_cyclotomic_number& z : {ZEM_cyclotomic_number(0), ZEM_cyclotomic_number(ZEM_fraction(0)),
                                          terms({}, {}, {}), terms({1, -1}, {1, 5}, {4, 4})}) {
        EXPECT_EQ(z, zero);
        EXPECT_EQ(z.order, 1);
        EXPECT_EQ(hash(z), 0);
        EXPECT_EQ(printed(z), "0");
    }
    EXPECT_EQ(ZEM_cyclotomic_number(4), ZEM_cyclotomic_number(ZEM_fraction(4, 1)));
    EXPECT_EQ(printed(ZEM_cyclotomic_number(4)), "4");
    EXPECT_EQ(printed(ZEM_cyclotomic_number(ZEM_fraction(5, 2))), "5/2");
    EXPECT_EQ(ZEM_cyclotomic_number(3).type(), tp_cyclotomic());
    EXPECT_EQ(tp_cyclotomic().text(), "cyclotomic");
}

TEST(CyclotomicNumbers, SumsOfRootsFromTerms)
{
    const ZEM_cyclotomic_number minus_i = terms({-1}, {1}, {4});
    EXPECT_EQ(minus_i.order, 4);
    EXPECT_EQ(fractions_of(minus_i), std::vector<ZEM_fraction>({0, -1, 0, 0}));
    EXPECT_EQ(fractions_of(i_unit), std::vector<ZEM_fraction>({0, 1, 0, 0}));
    EXPECT_EQ(terms({1}, {1}, {-4}), minus_i);
    EXPECT_EQ(terms({1}, {-1}, {4}), minus_i);
    EXPECT_EQ(terms({1}, {5}, {4}), i_unit);
    EXPECT_EQ(terms({ZEM_fraction(1, 2), ZEM_fraction(1, 2)}, {1, 1}, {4, 4}), i_unit);
    EXPECT_NE(i_unit, ZEM_cyclotomic_number(1));
    EXPECT_NE(i_unit, terms({1}, {1}, {3}));

    // Only the shortest list's terms are summed; every denominator counts for the order.
    const ZEM_cyclotomic_number short_sum = terms({1, 5}, {1}, {4, 3, 7});
    EXPECT_EQ(short_sum, i_unit);
    EXPECT_TRUE(near(value(terms({2, 3}, {1, 2}, {3, 5})), 2.0 * root(1, 3) + 3.0 * root(2, 5)));
}

TEST(CyclotomicNumbers, TermsRejectWhatTheyCannotHold)
{
    EXPECT_EQ(failure_of([] { terms({1}, {1}, {0}); }), run_time("[ZEM_cyclotomic_number] denominator == 0"));
    EXPECT_EQ(failure_of([] { terms({1}, {1}, {4, 0}); }), run_time("[ZEM_cyclotomic_number] denominator == 0"));
    const std::string too_large = run_time("[ZEM_cyclotomic_number] order too large");
    EXPECT_EQ(failure_of([] { terms({1}, {1}, {INT_MAX}); }), too_large);
    EXPECT_EQ(failure_of([] { terms({1}, {1}, {INT_MIN}); }), too_large);
    EXPECT_EQ(failure_of([] { terms({1}, {1}, {65536, 59049}); }), too_large);
    EXPECT_EQ(failure_of([] { ZEM_cyclotomic_number(46349 * 2, 0); }), too_large);
    EXPECT_EQ(failure_of([] { ZEM_cyclotomic_number(0, 0); }), run_time("[ZEM_cyclotomic_number] order < 1"));

    // Numerators far beyond the order land on the root of their residue.
    EXPECT_EQ(terms({1}, {INT_MAX}, {3, 7}), terms({1}, {1}, {3}));
    EXPECT_EQ(terms({1}, {INT_MIN}, {3, 7}), terms({1}, {1}, {3}));
    EXPECT_EQ(terms({1}, {INT_MIN}, {-7}), terms({1}, {2}, {7}));
    EXPECT_EQ(terms({1}, {INT_MAX}, {-4}), i_unit);
    // The largest prime order the canonical form holds: 46337 * 46337 < 2^31.
    const ZEM_cyclotomic_number wide = terms({1, 1}, {3, 46337 - 3}, {46337, 46337});
    EXPECT_EQ(wide, terms({1, 1}, {3, -3}, {46337, 46337}));
    EXPECT_EQ(wide.order, 46337);
}

TEST(CyclotomicNumbers, PrintedForm)
{
    EXPECT_EQ(printed(i_unit), "1 * exp(2*pi*i*1/4) + 0");
    EXPECT_EQ(printed(terms({-1, -1}, {1, 0}, {4, 1})), "-1 * exp(2*pi*i*1/4) + -1");
    EXPECT_EQ(printed(terms({-2, 3}, {1, 0}, {4, 1})), "-2 * exp(2*pi*i*1/4) + 3");
    EXPECT_EQ(printed(terms({ZEM_fraction(1, 2)}, {1}, {5})), "1/2 * exp(2*pi*i*1/5) + 0");
    std::unique_ptr<ZEM_object> copy(i_unit.copy_object());
    EXPECT_EQ(printed(*copy), "1 * exp(2*pi*i*1/4) + 0");
}

TEST(CyclotomicNumbers, HashAndArrays)
{
    EXPECT_EQ(hash(i_unit), 1);
    EXPECT_EQ(hash(terms({-2, 3}, {1, 0}, {4, 1})), -2);
    EXPECT_EQ(hash(ZEM_cyclotomic_number(ZEM_fraction(7, 3))), 0);
    // 2 * 2^30 wraps to the smallest int.
    EXPECT_EQ(hash(terms({1 << 30}, {2}, {3})), INT_MIN);

    pointer_to_objects<ZEM_cyclotomic_number> none, also_none(0), one(1), two(2), other_two(2);
    other_two[1] = i_unit;
    EXPECT_TRUE(none == also_none);
    EXPECT_FALSE(one == two);
    EXPECT_FALSE(two == other_two);
}

}
