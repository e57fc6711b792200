#include "numbers/cyclotomic.h"
#include "numbers/symbolic.h"
#include "numbers/word.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <climits>
#include <functional>
#include <gmpxx.h>
#include <memory>
#include <numeric>
#include <tuple>

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

TEST(CyclotomicNumbers, ConstructedValuesTheirPrintedFormsHashesAndFailures)
{
    const C zero = working(1, {});
    const ZEM_fraction half(1, 2);
    const std::string i_text = "1 * exp(2*pi*i*1/4) + 0";
    const std::vector<std::tuple<C, C, std::string, int>> rows = {
        {terms({1, -1}, {1, 5}, {4, 4}), zero, "0", 0},
        {terms({half, half}, {1, 1}, {4, 4}), i_unit, i_text, 1},
        // Only the shortest list's terms are summed; every denominator counts for the order.
        {terms({1, 5}, {1}, {4, 3, 7}), i_unit, i_text, 1},
        {terms({-2, 3}, {1, 0}, {4, 1}), working(4, {{0, 3}, {1, -2}}), "-2 * exp(2*pi*i*1/4) + 3", -2},
        // Numerators far beyond the order land on the root of their residue.
        {terms({1}, {INT_MIN}, {-7}), working(7, {{2, 1}}), "1 * exp(2*pi*i*2/7) + 0", 2},
        // 2 * 2^30 wraps to the smallest int.
        {terms({1 << 30}, {2}, {3}), working(3, {{2, 1 << 30}}), "1073741824 * exp(2*pi*i*2/3) + 0", INT_MIN},
        // The order of the terms changes nothing, even where adding them one by one overflows.
        {terms({INT_MAX, -INT_MAX, INT_MAX}, {1, 1, 1}, {4, 4, 4}), working(4, {{1, INT_MAX}}),
         "2147483647 * exp(2*pi*i*1/4) + 0", INT_MAX},
        {terms({INT_MAX, INT_MAX, -INT_MAX}, {1, 1, 1}, {4, 4, 4}), working(4, {{1, INT_MAX}}),
         "2147483647 * exp(2*pi*i*1/4) + 0", INT_MAX},
        // -2^31 is 2^31 * (zeta_3 + zeta_3^2) at order 3.
        {terms({INT_MIN}, {0}, {3}), working(1, {{0, INT_MIN}}), "-2147483648", 0},
    };
    for (const auto& [x, expected, text, h] : rows) {
        EXPECT_EQ(x, expected) << text;
        EXPECT_EQ(printed(x), text);
        EXPECT_EQ(hash(x), h) << text;
    }

    // Failures instead of wrapping.
    const std::string overflow = "[ZEM_fraction] overflow", too_large = "[ZEM_cyclotomic_number] order too large";
    const C big = ZEM_fraction(1 << 20) * root_of_unity(1, 5);
    const C largest = ZEM_fraction(INT_MAX) * i_unit, smallest = ZEM_fraction(INT_MIN) * i_unit;
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { terms({1}, {1}, {4, 0}); }, "[ZEM_cyclotomic_number] denominator == 0"},
        {[] { terms({1}, {1}, {INT_MIN}); }, too_large},
        {[] { terms({1}, {1}, {65536, 59049}); }, too_large},
        {[] { C(46349 * 2, 0); }, too_large},
        {[] { C(0, 0); }, "[ZEM_cyclotomic_number] order < 1"},
        {[] { invert(C()); }, "[ZEM_fraction::simple_fraction] denominator == 0"},
        {[&] { big * big; }, overflow},
        {[&] { big * ZEM_fraction(1 << 12); }, overflow},
        {[&] { largest + largest; }, overflow},
        {[] { terms({INT_MAX, -INT_MAX, 1, INT_MAX}, {1, 1, 1, 1}, {4, 4, 4, 4}); }, overflow},
        {[&] { -smallest; }, overflow},
        {[&] { complex_conjugate(smallest); }, overflow},
        // Lifting to a common order must not leave what the canonical form holds.
        {[] { root_of_unity(1, 46337) + root_of_unity(1, 3); }, too_large},
    };
    for (const auto& [action, message] : cases) EXPECT_EQ(failure_of(action), run_time(message));
}

// Every result in canonical form and with the value the complex doubles give.
void expect_result(const C& result, std::complex<double> expected, const char* what)
{
    EXPECT_TRUE(is_canonical(result)) << what << ": " << printed(result);
    EXPECT_TRUE(near(value(result), expected)) << what << ": " << printed(result);
}

TEST(CyclotomicNumbers, ReductionAndArithmeticAgreeWithComplexDoublesOnRandomValues)
{
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> multiple(1, 7), factor(-3, 3);
    for (int round = 0; round < 20; ++round)
        for (int n : {1, 2, 3, 4, 5, 6, 8, 9, 10, 12, 15, 16, 18, 20, 21, 24, 25, 27, 28, 30, 36, 45, 60, 63, 105}) {
            const C given = random_value(random, n, 5, 4, round % 3 == 0 ? 0.15 : 0.8, false);
            C x = given;
            x.reduce();
            SCOPED_TRACE(printed(given));
            ASSERT_TRUE(is_canonical(x)) << printed(x);
            EXPECT_TRUE(near(value(x), value(given)));
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

        // The pivot size is the mean of |sigma(x)|^2 over the Galois conjugates sigma.
        std::vector<double> norms;
        for (int a = 1; a <= x.order; ++a)
            if (std::gcd(a, x.order) == 1) norms.push_back(std::norm(value(x, a)));
        const double mean = std::accumulate(norms.begin(), norms.end(), 0.0) / double(norms.size());
        EXPECT_NEAR(as_double(pivot_size(x)), mean, 1e-9);
        if ((complex_conjugate(x) * x).order == 1) {
            EXPECT_NEAR(as_double(abs_value_squared(x)), std::norm(vx), 1e-9);
        }
    }

    // A product multiplies only the non-zero coefficients: its work does not grow
    // with the order, so large orders stay cheap. 46337 is the largest prime order
    // the canonical form holds: 46337 * 46337 < 2^31.
    const std::vector<std::tuple<C, C, int>> cases = {
        {root_of_unity(1, 46337), root_of_unity(2, 46337), 1},
        {terms({1, 2}, {1, 1}, {12, 4}), terms({3, -1}, {1, 2}, {5, 5}), 2 * 2},
    };
    for (const auto& [x, y, products] : cases) {
        const std::uint64_t before = cyclotomic_coefficient_products();
        EXPECT_EQ(x * y, y * x);
        EXPECT_EQ(cyclotomic_coefficient_products() - before, std::uint64_t(2 * products)) << printed(x);
    }
    EXPECT_EQ(root_of_unity(1, 46337) * root_of_unity(2, 46337), root_of_unity(3, 46337));
    EXPECT_EQ(invert(root_of_unity(1, 1009)) * root_of_unity(1, 1009), C(1));
}

// An independent exact view for products and quotients: a value of order n as a
// polynomial in zeta of degree below phi(n), reduced by the cyclotomic polynomial,
// over GMP.
using polynomial = std::vector<mpq_class>;

// The monic cyclotomic polynomial of order n: x^n - 1 over those of the other divisors.
polynomial cyclotomic_polynomial(int n)
{
    polynomial p(static_cast<std::size_t>(n) + 1);
    p[0] = -1;
    p[static_cast<std::size_t>(n)] = 1;
    for (int d = 1; d < n; ++d) {
        if (n % d != 0) continue;
        const polynomial q = cyclotomic_polynomial(d);
        polynomial quotient(p.size() - q.size() + 1);
        for (std::size_t top = p.size(); top-- >= q.size();) {
            const mpq_class c = p[top];
            quotient[top + 1 - q.size()] = c;
            for (std::size_t j = 0; j < q.size(); ++j) p[top + 1 - q.size() + j] -= c * q[j];
        }
        p = quotient;
    }
    return p;
}

struct power_basis {
    int n;
    polynomial modulus = cyclotomic_polynomial(n);
    std::size_t degree() const { return modulus.size() - 1; }

    polynomial reduced(polynomial p) const
    {
        for (std::size_t top = p.size(); top-- > degree();)
            for (std::size_t j = 0; j < degree(); ++j) p[top - degree() + j] -= p[top] * modulus[j];
        p.resize(degree());
        return p;
    }
    polynomial of(const C& x) const
    {
        polynomial p(static_cast<std::size_t>(n));
        for (int k = 0; k < x.order; ++k)
            p[static_cast<std::size_t>(k * (n / x.order))] =
                mpq_class(mpz_class(x.coefficients[k].numerator()), mpz_class(x.coefficients[k].denominator()));
        return reduced(p);
    }
    polynomial times(const polynomial& a, const polynomial& b) const
    {
        polynomial p(a.size() + b.size());
        for (std::size_t i = 0; i < a.size(); ++i)
            for (std::size_t j = 0; j < b.size(); ++j) p[i + j] += a[i] * b[j];
        return reduced(p);
    }
    // The y with columns[0]*y_0 + columns[1]*y_1 + ... = target, by Gauss-Jordan.
    polynomial solved(std::vector<polynomial> columns, polynomial target) const
    {
        const std::size_t d = degree();
        for (std::size_t c = 0; c < d; ++c) {
            std::size_t row = c;
            while (sgn(columns[c][row]) == 0) ++row;
            for (polynomial& column : columns) std::swap(column[c], column[row]);
            std::swap(target[c], target[row]);
            for (std::size_t r = 0; r < d; ++r) {
                if (r == c || sgn(columns[c][r]) == 0) continue;
                const mpq_class f = columns[c][r] / columns[c][c];
                for (polynomial& column : columns) column[r] -= f * column[c];
                target[r] -= f * target[c];
            }
        }
        for (std::size_t c = 0; c < d; ++c) target[c] /= columns[c][c];
        return target;
    }
    polynomial quotient(const polynomial& x, const polynomial& y) const
    {
        std::vector<polynomial> columns;
        for (std::size_t j = 0; j < degree(); ++j) {
            polynomial unit(degree());
            unit[j] = 1;
            columns.push_back(times(y, unit));
        }
        return solved(columns, x);
    }
    // Whether the canonical form of p fits in 32 bits: its coefficients are, up to
    // sign, p's coordinates over the roots at the admissible indices of n.
    bool fits(const polynomial& p) const
    {
        std::vector<polynomial> columns;
        for (int k = 0; k < n; ++k) {
            C root(n, 0);
            root.coefficients[k] = 1;
            if (is_canonical(root)) columns.push_back(of(root));
        }
        return std::ranges::all_of(solved(columns, p), [](const mpq_class& c) {
            return c.get_num().fits_sint_p() && c.get_den().fits_sint_p();
        });
    }
};

TEST(CyclotomicNumbers, ProductInverseAndQuotientFailOnlyWhenTheResultLeaves32Bits)
{
    // (1 + i)/2^16 times (1 - i)/2^15 is 1/2^30, though each term has the denominator 2^31.
    const C one_plus_i = terms({1, 1}, {0, 1}, {1, 4}), one_minus_i = terms({1, -1}, {0, 1}, {1, 4});
    EXPECT_EQ(ZEM_fraction(1, 1 << 16) * one_plus_i * (ZEM_fraction(1, 1 << 15) * one_minus_i), C(ZEM_fraction(1, 1 << 30)));
    // The norms leave 32 bits; the inverses do not.
    const C gaussian = terms({40000, 30000}, {0, 1}, {1, 4});
    const C mixed = terms({ZEM_fraction(-4, 3), 4}, {1, 13}, {5, 15});
    EXPECT_EQ(invert(gaussian), terms({ZEM_fraction(4, 250000), ZEM_fraction(-3, 250000)}, {0, 1}, {1, 4}));
    EXPECT_EQ(C() / gaussian, C());
    EXPECT_EQ(gaussian / gaussian, C(1));
    EXPECT_EQ(invert(mixed), terms({ZEM_fraction(3, 13), ZEM_fraction(3, 52)}, {2, 7}, {15, 15}));
    EXPECT_EQ(mixed * invert(mixed), C(1));
    // Results of a smaller order whose coefficients at the working order leave 32 bits.
    const C near_minus = terms({-(1 << 30), 1}, {0, 1}, {1, 3}), near_plus = terms({-(1 << 30), -1}, {0, 1}, {1, 3});
    EXPECT_EQ(near_minus + near_plus, C(INT_MIN));
    EXPECT_EQ(near_minus - (-near_plus), C(INT_MIN));
    EXPECT_EQ(ZEM_fraction(1 << 16) * root_of_unity(1, 3) * (ZEM_fraction(-(1 << 15)) * root_of_unity(2, 3)), C(INT_MIN));
    // For x = a + b z5, conj(x) x = a^2 + b^2 + ab (z5 + z5^4) leaves 32 bits; its
    // coefficient 0 is 0 and the mean of its conjugates a^2 + b^2 - ab/2 fits.
    const mpz_class a = 40000, b = 30000;
    const C spread = terms({40000, 30000}, {0, 1}, {1, 5});
    EXPECT_EQ(printed(abs_value_squared(spread)) + " " + printed(pivot_size(spread)),
              "0 " + mpz_class(a * a + b * b - a * b / 2).get_str());

    std::mt19937 random(1500);
    const std::string overflow = run_time("[ZEM_fraction] overflow");
    int fitting = 0, leaving = 0;
    for (int round = 0; round < 300; ++round) {
        const int n = std::vector<int>{3, 4, 5, 7, 8, 9, 12, 15}[static_cast<std::size_t>(round % 8)];
        const int range = 1 << (4 + round % 12);
        const C x = random_value(random, n, range, 3, 0.6), y = random_value(random, n, range, 3, 0.6);
        if (x == C()) continue;
        const power_basis basis{n};
        for (const std::string what : {"inverse", "quotient", "product"}) {
            SCOPED_TRACE(what + " of " + printed(x) + " and " + printed(y));
            const polynomial exact = what == "product" ? basis.times(basis.of(y), basis.of(x))
                                                       : basis.quotient(basis.of(what == "inverse" ? C(1) : y), basis.of(x));
            C got;
            const std::string failure =
                failure_of([&] { got = what == "inverse" ? invert(x) : what == "quotient" ? y / x : y * x; });
            if (basis.fits(exact)) {
                ++fitting;
                EXPECT_EQ(failure, "(no failure)");
                EXPECT_TRUE(is_canonical(got)) << printed(got);
                EXPECT_EQ(basis.of(got), exact);
            } else {
                ++leaving;
                EXPECT_EQ(failure, overflow);
            }
        }
    }
    EXPECT_GT(fitting, 100);
    EXPECT_GT(leaving, 100);
}

// Large orders, where the product of the conjugates leaves 32 bits at once even
// when the quotient fits. Each quotient is known in closed form, and fails to fit
// exactly when the closed form does.
TEST(CyclotomicNumbers, QuotientsAtLargeOrdersFailOnlyWhenTheResultLeaves32Bits)
{
    std::mt19937 random(645);
    std::vector<std::tuple<C, C, std::function<C()>>> cases;  // x, y and x / y
    for (const auto& [ny, nq] : {std::pair{105, 105}, {21, 35}, {645, 129}, {1155, 1}}) {
        const C y = random_value(random, ny, 3, 1, 0.3), q = random_value(random, nq, 3, 2, 0.3);
        cases.emplace_back(y * q, y, [q] { return q; });
    }
    // For odd n, (1 + z)(1 - z + z^2 - ... + z^(n-1)) = 2 with z = exp(2*pi*i/n). The
    // first prime of the modular work, 2^31 - 1, divides a denominator or every
    // numerator of the divisors scaled by it.
    for (int n : {105, 645}) {
        std::vector<ZEM_fraction> signs;
        std::vector<int> powers, orders(static_cast<std::size_t>(n), n);
        for (int k = 0; k < n; ++k) {
            signs.push_back(k % 2 == 0 ? 1 : -1);
            powers.push_back(k);
        }
        const C alternating = terms(signs, powers, orders), one_plus_z = terms({1, 1}, {0, 1}, {1, n});
        for (int c : {7, 24}) {
            cases.emplace_back(1, ZEM_fraction(c) * one_plus_z, [=] { return ZEM_fraction(1, 2 * c) * alternating; });
            cases.emplace_back(1, ZEM_fraction(c, INT_MAX) * one_plus_z,
                               [=] { return ZEM_fraction(INT_MAX, 2 * c) * alternating; });
        }
        cases.emplace_back(ZEM_fraction(INT_MAX) * (root_of_unity(3, n) + root_of_unity(4, n)),
                           ZEM_fraction(INT_MAX) * one_plus_z, [=] { return root_of_unity(3, n); });
    }
    // Numerators near 2^30 over denominators near 2^31, times a root: the modular
    // quotient's reconstruction works near its bounds.
    const C divisors[] = {terms({2, 1}, {0, 1}, {1, 3}), terms({1, 2}, {0, 1}, {1, 3}), terms({3, 1}, {0, 1}, {1, 4}),
                          terms({2, 1}, {0, 1}, {1, 4})};
    std::uniform_int_distribution<int> below(1, 1 << 10);
    for (const C& y : divisors)
        for (int k = 0; k < 12; k += 5) {
            const C r = ZEM_fraction((1 << 30) - below(random), INT_MAX - below(random)) * root_of_unity(k, 12);
            C x;
            if (failure_of([&] { x = y * r; }) == "(no failure)") cases.emplace_back(x, y, [r] { return r; });
            if (failure_of([&] { x = y * -r; }) == "(no failure)") cases.emplace_back(x, y, [r] { return -r; });
        }
    // A rational reached through order 3, whose coefficients there are +2^31/b.
    for (int b : {3, 5, 65537, INT_MAX}) {
        const C y = terms({ZEM_fraction(1, 2), ZEM_fraction(1, 2)}, {0, 1}, {1, 3}), r(ZEM_fraction(INT_MIN, b));
        cases.emplace_back(y * r, y, [r] { return r; });
    }
    int fitting = 0;
    for (const auto& one_case : cases) {
        // Named references, not bindings: lambdas capture them in every compiler.
        const C& x = std::get<0>(one_case);
        const C& y = std::get<1>(one_case);
        const std::function<C()>& quotient = std::get<2>(one_case);
        SCOPED_TRACE(printed(x) + " / " + printed(y));
        C got, want;
        const std::string failure = failure_of([&] { want = quotient(); });
        EXPECT_EQ(failure_of([&] { got = x / y; }), failure);
        EXPECT_EQ(got, want);
        if (x == C(1)) {
            EXPECT_EQ(failure_of([&] { got = invert(y); }), failure);
            EXPECT_EQ(got, want);
        }
        fitting += failure == "(no failure)";
    }
    EXPECT_GT(fitting, 10);
    EXPECT_LT(fitting, static_cast<int>(cases.size()));
    // From the command language: 1 / (z3^4 + z43^(2^31 - 1) + 3*z5) leaves 32 bits.
    const C doomed = terms({1, 1, 3}, {4, INT_MAX, 1}, {3, 43, 5});
    EXPECT_EQ(failure_of([&] { C(1) / doomed; }), run_time("[ZEM_fraction] overflow"));
}

using fraction_number = ZEM_symbolic_number<ZEM_fraction>;
using cyclotomic_number = ZEM_symbolic_number<C>;

template <class T>
ZEM_symbolic_number<T> number(const std::vector<T>& coefficients, const T& constant, const char* names = "abcd")
{
    pointer_to_objects<T> array(static_cast<int>(coefficients.size()));
    for (int k = 0; k < array.count(); ++k) array[k] = coefficients[static_cast<std::size_t>(k)];
    return ZEM_symbolic_number<T>(array, constant, names);
}

TEST(SymbolicNumbersAndWords, PrintedFormsEqualityHashAndFailures)
{
    const C i = root_of_unity(1, 4);
    const fraction_number x = number<ZEM_fraction>({1, 2}, 5, "abc");
    const fraction_number y = number<ZEM_fraction>({3}, ZEM_fraction(1, 2), "xyzuvw");
    ZEM_linkedlist<ZEM_int> letters;
    for (int v : {1, 2, -1, 65536 + 1, -65536 - 2, 65536}) letters.add_at_tail(ZEM_int(v));
    const std::pair<std::string, std::string> rows[] = {
        {printed(number<ZEM_fraction>({ZEM_fraction(INT_MIN), 0}, INT_MIN)), "-2147483648*a - 2147483648"},
        {printed(number<ZEM_int>({-1, 2, 0, INT_MIN, 0}, 1)), "-a0 + 2*a1 - 2147483648*a3 + 1"},
        {printed(number<C>({C(), i}, C(ZEM_fraction(1, 2)))), "[1 * exp(2*pi*i*1/4) + 0]*b + [1/2]"},
        // A sum is named by its right operand.
        {printed(x + y) + printed(y + x), "4*x + 2*y + 11/24*a + 2*b + 11/2"},
        // Words print one character per letter, values from a list cut to 16 bits.
        {printed(ZEM_word(letters)) + ZEM_word().type().text(), "word(abAaB?)word"},
        {printed(fraction_number()) + fraction_number().names(), "0xyzuvw"},
        {fraction_number(nullptr).names(), ""},  // as a null ZEM_string is the empty text
    };
    for (const auto& [got, want] : rows) EXPECT_EQ(got, want);
    const ZEM_symbolic_number_impl<ZEM_int> body(pointer_to_objects<ZEM_int>(), ZEM_int(), "abcd");
    // Letter k only for 1 <= n <= 4 and a k among the letters; else the first letter and k.
    const std::tuple<int, int, const char*> names[] = {
        {INT_MAX, INT_MAX, "a2147483647"}, {0, 1, "a1"}, {0, 7, "a7"}, {-3, 0, "a0"}, {4, 3, "d"},
        {1, 2, "c"}, {2, 7, "a7"}, {4, -1, "a-1"}, {5, 2, "a2"}};
    for (const auto& [n, k, want] : names)
        EXPECT_STREQ(std::unique_ptr<char[]>(body.give_name(n, k)).get(), want) << n << ' ' << k;

    EXPECT_FALSE(number<ZEM_fraction>({1}, 2) == number<ZEM_fraction>({1, 0}, 2));
    // Only non-zero terms are kept; the count stays and still tells numbers apart.
    const fraction_number cancelled = x + -x;
    EXPECT_TRUE(cancelled.terms().empty());
    EXPECT_TRUE(cancelled == number<ZEM_fraction>({0, 0}, 0));
    EXPECT_EQ(cancelled.coefficients().count(), 2);
    EXPECT_EQ(number<ZEM_fraction>({0, 3, 0}, 0).coefficients()[1], ZEM_fraction(3));
    EXPECT_EQ(failure_of([] { fraction_number(2, {{1, 1}, {0, 1}}, 0, "abcd"); }),
              run_time("[ZEM_symbolic_number] terms out of order or beyond the count (please report)"));
    EXPECT_TRUE(number<ZEM_fraction>({1}, 2, "abcd") == number<ZEM_fraction>({1}, 2, "xyz"));
    // 2^30 + 2 * 2^30 passes 2^31 - 1 and wraps; the constant 5/7 adds 35.
    EXPECT_EQ(hash(number<ZEM_fraction>({0, 1 << 30, 1 << 30}, ZEM_fraction(5, 7))), -(1 << 30) + 35);

    const std::string overflow = run_time("[ZEM_fraction] overflow");
    const fraction_number big = number<ZEM_fraction>({INT_MAX}, 0);
    EXPECT_EQ(failure_of([&] { big + big; }), overflow);
    EXPECT_EQ(failure_of([&] { -number<ZEM_fraction>({}, INT_MIN); }), overflow);
}

TEST(SymbolicNumbers, ArithmeticAgreesWithEvaluation)
{
    std::mt19937 random(2718);
    // Up to five parameters; values of orders 12 and its divisors.
    auto draw = [&](std::size_t parameters) {
        std::vector<C> c(parameters + 1);
        for (C& x : c) x = random_value(random, 12, 3, 3, 0.2);
        return number<C>({c.begin() + 1, c.end()}, c[0]);
    };
    // The value with sqrt(k + 2) for the k-th parameter, in complex doubles.
    auto at = [](const cyclotomic_number& x) {
        std::complex<double> sum = value(x.constant());
        for (int k = 0; k < x.coefficients().count(); ++k) sum += value(x.coefficients()[k]) * std::sqrt(k + 2.0);
        return sum;
    };
    for (int round = 0; round < 200; ++round) {
        const cyclotomic_number a = draw(random() % 6), b = draw(random() % 6);
        const C s = draw(0).constant();
        EXPECT_TRUE(near(at(a + b), at(a) + at(b)));
        EXPECT_TRUE(near(at(s * a), value(s) * at(a)));
        EXPECT_EQ((a + b).coefficients().count(), std::max(a.coefficients().count(), b.coefficients().count()));
    }
}

}
