#include "module-scalar/fraction.h"

#include <climits>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>

#include "support/failure.h"
#include "support/printed.h"

namespace {

using wide = __int128;

const std::string overflow = run_time("[ZEM_fraction] overflow");
const std::string zero_denominator = run_time("[ZEM_fraction::simple_fraction] denominator == 0");

wide magnitude(wide x) { return x < 0 ? -x : x; }

wide gcd_of(wide a, wide b)
{
    a = magnitude(a);
    b = magnitude(b);
    while (b != 0) {
        wide r = a % b;
        a = b;
        b = r;
    }
    return a;
}

bool fits(wide x) { return x >= INT_MIN && x <= INT_MAX; }

// What an operation must give for the exact rational num/den: its lowest terms,
// or the failure when they leave 32 bits.
std::string expected(wide num, wide den)
{
    if (den == 0) return zero_denominator;
    if (num == 0) return "0/1";
    if (den < 0) {
        num = -num;
        den = -den;
    }
    wide g = gcd_of(num, den);
    num /= g;
    den /= g;
    if (!fits(num) || !fits(den)) return overflow;
    return std::to_string(static_cast<long long>(num)) + "/" + std::to_string(static_cast<long long>(den));
}

// The fields of what the operation gives, after checking the invariant, or its failure text.
std::string actual(const std::function<ZEM_fraction()>& operation)
{
    std::string result;
    std::string failure = failure_of([&] {
        ZEM_fraction f = operation();
        EXPECT_GE(f.denominator(), 1);
        EXPECT_EQ(gcd_of(f.numerator(), f.denominator()), 1);
        result = std::to_string(f.numerator()) + "/" + std::to_string(f.denominator());
    });
    return failure == "(no failure)" ? result : failure;
}

// Small, 16-bit-sized and full-range values, and the extremes, so that both
// exact results and overflows occur often.
class random_ints {
public:
    explicit random_ints(unsigned seed) : engine_(seed) {}

    int next()
    {
        static const int extremes[] = {INT_MIN, INT_MIN + 1, INT_MAX, INT_MAX - 1, 65536, -65536,
                                       65537,   46340,       46341,   -46341,      1,     -1};
        switch (engine_() % 4) {
        case 0:
            return static_cast<int>(engine_() % 41) - 20;
        case 1:
            return static_cast<int>(engine_() % 140001) - 70000;
        case 2:
            return static_cast<int>(engine_());
        default:
            return extremes[engine_() % std::size(extremes)];
        }
    }

    int non_zero()
    {
        int x;
        do x = next();
        while (x == 0);
        return x;
    }

    // A fraction together with its exact parts.
    ZEM_fraction fraction(wide& num, wide& den)
    {
        for (;;) {
            int n = next(), d = non_zero();
            if (expected(n, d) == overflow) continue;  // only INT_MIN over a negative denominator
            ZEM_fraction f(n, d);
            num = f.numerator();
            den = f.denominator();
            return f;
        }
    }

    unsigned below(unsigned n) { return engine_() % n; }

private:
    std::mt19937 engine_;
};

TEST(Fractions, ConstructionAgreesWithWideArithmetic)
{
    random_ints ints(101);
    for (int round = 0; round < 20000; ++round) {
        int n = ints.next(), d = ints.below(10) == 0 ? 0 : ints.next();
        ASSERT_EQ(actual([&] { return ZEM_fraction(n, d); }), expected(n, d)) << n << " over " << d;
    }
}

TEST(Fractions, ArithmeticAgreesWithWideArithmeticAndFailsOnlyOnOverflow)
{
    random_ints ints(202);
    int exact = 0, overflowed = 0;
    for (int round = 0; round < 20000; ++round) {
        wide an, ad, bn, bd;
        ZEM_fraction a = ints.fraction(an, ad), b = ints.fraction(bn, bd);
        const struct {
            const char* name;
            std::function<ZEM_fraction()> operation;
            wide num, den;
        } cases[] = {
            {"+", [&] { return a + b; }, an * bd + bn * ad, ad * bd},
            {"-", [&] { return a - b; }, an * bd - bn * ad, ad * bd},
            {"*", [&] { return a * b; }, an * bn, ad * bd},
            {"/", [&] { return a / b; }, an * bd, ad * bn},
            {"negation", [&] { return -a; }, -an, ad},
            {"+=", [&] { ZEM_fraction x = a; x += b; return x; }, an * bd + bn * ad, ad * bd},
            {"*=", [&] { ZEM_fraction x = a; x *= b; return x; }, an * bn, ad * bd},
        };
        for (const auto& c : cases) {
            std::string want = expected(c.num, c.den);
            ASSERT_EQ(actual(c.operation), want) << printed(a) << " " << c.name << " " << printed(b);
            (want == overflow ? overflowed : exact)++;
        }
    }
    // Both outcomes must really have been exercised.
    EXPECT_GT(exact, 40000);
    EXPECT_GT(overflowed, 10000);
}

TEST(Fractions, ComparisonsAreExactForAllOperands)
{
    random_ints ints(303);
    for (int round = 0; round < 20000; ++round) {
        wide an, ad, bn, bd;
        ZEM_fraction a = ints.fraction(an, ad);
        ZEM_fraction b = ints.below(8) == 0 ? a : ints.fraction(bn, bd);
        bn = b.numerator();
        bd = b.denominator();
        wide left = an * bd, right = bn * ad;
        ASSERT_EQ(a == b, left == right);
        ASSERT_EQ(a != b, left != right);
        ASSERT_EQ(a < b, left < right);
        ASSERT_EQ(a <= b, left <= right);
        ASSERT_EQ(a > b, left > right);
        ASSERT_EQ(a >= b, left >= right);
    }
}

TEST(Fractions, RemainderAndTruncationAgreeWithWideArithmetic)
{
    random_ints ints(404);
    for (int round = 0; round < 20000; ++round) {
        wide p, q;
        ZEM_fraction a = ints.fraction(p, q);
        int n = ints.below(4) == 0 ? INT_MAX - static_cast<int>(ints.below(3)) : 1 + static_cast<int>(ints.below(100));
        wide m = wide(n) * q;
        ASSERT_EQ(actual([&] { return a % n; }), expected(((p % m) + m) % m, q)) << printed(a) << " % " << n;
        ASSERT_EQ(actual([&] { return round_towards_zero(a); }), expected(p / q, 1)) << printed(a);
    }
}

TEST(Fractions, DivisorsAndMultiplesAgreeWithWideArithmetic)
{
    random_ints ints(505);
    for (int round = 0; round < 20000; ++round) {
        int a = ints.next(), b = ints.next();
        wide g = gcd_of(a, b);
        std::string gcd_want = fits(g) ? "(no failure)" : run_time("[greatest_common_divisor] overflow");
        ASSERT_EQ(failure_of([&] { ASSERT_EQ(greatest_common_divisor(a, b), g); }), gcd_want) << a << ", " << b;

        wide l = (a == 0 || b == 0) ? 0 : magnitude(wide(a) / g * b);
        std::string lcm_want = fits(l) ? "(no failure)" : run_time("[smallest_common_multiple] overflow");
        ASSERT_EQ(failure_of([&] { ASSERT_EQ(smallest_common_multiple(a, b), l); }), lcm_want) << a << ", " << b;
    }
}

TEST(Fractions, HashIsTheWrappedProductOfTheFields)
{
    random_ints ints(606);
    for (int round = 0; round < 20000; ++round) {
        wide p, q;
        ZEM_fraction a = ints.fraction(p, q);
        ASSERT_EQ(hash(a), static_cast<int>(static_cast<unsigned>(p * q)));
    }
    EXPECT_EQ(hash(ZEM_fraction(3, 4)), 12);
    EXPECT_EQ(hash(ZEM_fraction(-3, 4)), -12);
    EXPECT_EQ(hash(ZEM_fraction(2, 4)), hash(ZEM_fraction(1, 2)));
}

TEST(Fractions, KnownValues)
{
    const struct {
        std::function<ZEM_fraction()> operation;
        const char* printed;
    } cases[] = {
        {[] { return ZEM_fraction(6, -4); }, "-3/2"},
        {[] { return ZEM_fraction(0, -5); }, "0"},
        {[] { return ZEM_fraction(1, 2) + ZEM_fraction(1, 3); }, "5/6"},
        {[] { return ZEM_fraction(1, 2) - ZEM_fraction(1, 2); }, "0"},
        {[] { return ZEM_fraction(2, 3) / ZEM_fraction(4, 9); }, "3/2"},
        {[] { return ZEM_fraction(7, 2) % 3; }, "1/2"},
        {[] { return ZEM_fraction(-7, 2) % 3; }, "5/2"},
        {[] { return ZEM_fraction(6) % 3; }, "0"},
        {[] { return ZEM_fraction(0) % 3; }, "0"},
        {[] { return round_towards_zero(ZEM_fraction(7, 2)); }, "3"},
        {[] { return round_towards_zero(ZEM_fraction(-7, 2)); }, "-3"},
        {[] { return ZEM_fraction(3, 1); }, "3"},
        {[] { return -ZEM_fraction(3, 4); }, "-3/4"},
        {[] { return ZEM_fraction(1, 65536) + ZEM_fraction(1, 65536); }, "1/32768"},
        {[] { return ZEM_fraction(INT_MIN, 2); }, "-1073741824"},
        {[] { return ZEM_fraction(INT_MIN, -2); }, "1073741824"},
        {[] { return ZEM_fraction(); }, "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(printed(c.operation()), c.printed);

    EXPECT_EQ(greatest_common_divisor(-12, 18), 6);
    EXPECT_EQ(greatest_common_divisor(7, 0), 7);
    EXPECT_EQ(greatest_common_divisor(0, 0), 0);
    EXPECT_EQ(smallest_common_multiple(4, 6), 12);
    EXPECT_EQ(smallest_common_multiple(-4, 6), 12);
    EXPECT_EQ(smallest_common_multiple(5, 0), 0);
    EXPECT_EQ(smallest_common_multiple(0, 0), 0);

    EXPECT_TRUE(ZEM_fraction(-1, 2) < ZEM_fraction(1, 3));
    EXPECT_TRUE(ZEM_fraction(2, 4) == ZEM_fraction(1, 2));
    EXPECT_TRUE(ZEM_fraction(1, 2) >= ZEM_fraction(1, 2));
    EXPECT_FALSE(ZEM_fraction(65536) < ZEM_fraction(1, 65536));
    // Cross products of these leave 32 bits; the order must still be right.
    EXPECT_TRUE(ZEM_fraction(INT_MAX, 2) > ZEM_fraction(INT_MIN, 3));
    EXPECT_TRUE(ZEM_fraction(1, INT_MAX) < ZEM_fraction(1, INT_MAX - 1));
}

TEST(Fractions, FailuresCarryTheirMessages)
{
    const struct {
        std::function<void()> operation;
        std::string message;
    } cases[] = {
        {[] { ZEM_fraction(5, 0); }, zero_denominator},
        {[] { (void)(ZEM_fraction(1, 2) / ZEM_fraction(0)); }, zero_denominator},
        {[] { (void)(ZEM_fraction(1, 2) % 0); }, run_time("[frac-operator %] n <= 0")},
        {[] { (void)(ZEM_fraction(1, 2) % -3); }, run_time("[frac-operator %] n <= 0")},
        {[] { (void)(ZEM_fraction(0) % 0); }, run_time("[frac-operator %] n <= 0")},
        {[] { (void)(ZEM_fraction(1, 65536) + ZEM_fraction(1, 65537)); }, overflow},
        {[] { (void)(-ZEM_fraction(INT_MIN)); }, overflow},
        {[] { ZEM_fraction(INT_MIN, -1); }, overflow},
        {[] { (void)(ZEM_fraction(INT_MAX) * ZEM_fraction(2)); }, overflow},
        {[] { (void)(ZEM_fraction(1) / ZEM_fraction(INT_MIN)); }, overflow},
        {[] { (void)round_towards_zero(ZEM_fraction(INT_MIN)); }, "(no failure)"},
    };
    for (const auto& c : cases) EXPECT_EQ(failure_of(c.operation), c.message);
}

TEST(Fractions, FailedOperationsLeaveTheTargetUnchanged)
{
    ZEM_fraction x(1, 65536);
    EXPECT_EQ(failure_of([&] { x += ZEM_fraction(1, 65537); }), overflow);
    EXPECT_EQ(failure_of([&] { x /= ZEM_fraction(0); }), zero_denominator);
    EXPECT_EQ(printed(x), "1/65536");
}

TEST(Fractions, AliasedOperandsAndSelfAssignment)
{
    ZEM_fraction x(3, 4), y(1, 6);
    x = x + y;
    EXPECT_EQ(printed(x), "11/12");
    x = y - x;
    EXPECT_EQ(printed(x), "-3/4");
    x += x;
    EXPECT_EQ(printed(x), "-3/2");
    x *= x;
    EXPECT_EQ(printed(x), "9/4");
    x /= x;
    EXPECT_EQ(printed(x), "1");
    x -= x;
    EXPECT_EQ(printed(x), "0");
    ZEM_fraction& same = y;
    y = same;
    EXPECT_EQ(printed(y), "1/6");
}

TEST(Fractions, CopiesAndType)
{
    auto* source = new ZEM_fraction(-5, 15);
    std::unique_ptr<ZEM_object> copy(source->copy_object());
    delete source;
    EXPECT_EQ(printed(*copy), "-1/3");
    EXPECT_EQ(copy->type(), tp_fraction());
    EXPECT_EQ(copy->type().text(), "fraction");
}

}
