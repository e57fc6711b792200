#include <climits>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/failure.h"

namespace {

using wide = __int128;

const std::string overflow = run_time("[ZEM_fraction] overflow");
const std::string int_overflow = run_time("[ZEM_int] overflow");

wide magnitude(wide x) { return x < 0 ? -x : x; }

wide gcd_of(wide a, wide b) { return b == 0 ? magnitude(a) : gcd_of(b, a % b); }

// The printed number, or `failure` when it leaves 32 bits.
std::string fitting(wide x, const std::string& failure)
{
    return x < INT_MIN || x > INT_MAX ? failure : std::to_string(static_cast<long long>(x));
}

// The printed lowest terms of num/den, or the failure they must cause.
std::string expected(wide num, wide den)
{
    if (den == 0) return run_time("[ZEM_fraction::simple_fraction] denominator == 0");
    const wide g = den < 0 ? -gcd_of(num, den) : gcd_of(num, den);
    const std::string n = fitting(num / g, overflow), d = fitting(den / g, overflow);
    return n == overflow || d == overflow ? overflow : d == "1" ? n : n + "/" + d;
}

// What `operation` gives, as text, or the text of its failure.
template <class Operation>
std::string outcome(Operation operation)
{
    std::ostringstream result;
    std::string failure = failure_of([&] { result << operation(); });
    return failure == "(no failure)" ? result.str() : failure;
}

// Small, 16-bit-sized, full-range and extreme values, so that exact results
// and overflows both occur often.
int random_int(std::mt19937& engine)
{
    static const int extremes[] = {INT_MIN, INT_MIN + 1, INT_MAX, 65536, 65537, 46341, -46341, 1, -1, 0};
    const unsigned kind = engine() % 4;
    if (kind == 0) return static_cast<int>(engine() % 41) - 20;
    if (kind == 1) return static_cast<int>(engine() % 140001) - 70000;
    return kind == 2 ? static_cast<int>(engine()) : extremes[engine() % std::size(extremes)];
}

TEST(Scalars, AgreeWithWideArithmeticAndFailOnlyWhenAResultLeaves32Bits)
{
    std::mt19937 engine(202);
    int overflowed = 0;
    for (int round = 0; round < 20000; ++round) {
        const int p = random_int(engine), q = random_int(engine), r = random_int(engine), s = random_int(engine);
        ASSERT_EQ(outcome([&] { return ZEM_fraction(p, q); }), expected(p, q)) << p << " over " << q;
        const wide g = gcd_of(p, r), l = p == 0 ? 0 : magnitude(wide(p) * r) / g;
        ASSERT_EQ(outcome([&] { return greatest_common_divisor(p, r); }),
                  fitting(g, run_time("[greatest_common_divisor] overflow")));
        ASSERT_EQ(outcome([&] { return smallest_common_multiple(p, r); }),
                  fitting(l, run_time("[smallest_common_multiple] overflow")));
        const wide x = p, y = r;
        ASSERT_EQ(outcome([&] { return ZEM_int(p) + ZEM_int(r); }), fitting(x + y, int_overflow));
        ASSERT_EQ(outcome([&] { return ZEM_int(p) - ZEM_int(r); }), fitting(x - y, int_overflow));
        ASSERT_EQ(outcome([&] { return ZEM_int(p) * ZEM_int(r); }), fitting(x * y, int_overflow));
        ASSERT_EQ(outcome([&] { return -ZEM_int(p); }), fitting(-x, int_overflow));
        ASSERT_EQ(outcome([&] { ZEM_int c(p); c /= ZEM_int(r); return c; }),
                  r == 0 ? run_time("[ZEM_int] division by zero") : fitting(x / y, int_overflow)) << p << " / " << r;
        if (q == 0 || s == 0 || expected(p, q) == overflow || expected(r, s) == overflow) continue;

        const ZEM_fraction a(p, q), b(r, s);
        const wide an = a.numerator(), ad = a.denominator(), bn = b.numerator(), bd = b.denominator();
        const int n = engine() % 4 ? 1 + static_cast<int>(engine() % 100) : INT_MAX - static_cast<int>(engine() % 3);
        const wide m = n * ad;
        const struct { const char* name; std::string got; wide num, den; } cases[] = {
            {"+", outcome([&] { return a + b; }), an * bd + bn * ad, ad * bd},
            {"-", outcome([&] { return a - b; }), an * bd - bn * ad, ad * bd},
            {"*", outcome([&] { return a * b; }), an * bn, ad * bd},
            {"/", outcome([&] { return a / b; }), an * bd, ad * bn},
            {"negation", outcome([&] { return -a; }), -an, ad},
            {"%", outcome([&] { return a % n; }), (an % m + m) % m, ad},
            {"round_towards_zero", outcome([&] { return round_towards_zero(a); }), an / ad, 1},
            {"a += a", outcome([&] { ZEM_fraction x = a; x += x; return x; }), 2 * an, ad},
            {"a /= a", outcome([&] { ZEM_fraction x = a; const ZEM_fraction& same = x; x /= same; return x; }), an, an},
        };
        for (const auto& c : cases) {
            const std::string want = expected(c.num, c.den);
            ASSERT_EQ(c.got, want) << a << " " << c.name << " " << b << " " << n;
            overflowed += want == overflow;
        }
        const wide u = an * bd, v = bn * ad;
        ASSERT_EQ((std::vector<bool>{a == b, a != b, a < b, a <= b, a > b, a >= b}),
                  (std::vector<bool>{u == v, u != v, u < v, u <= v, u > v, u >= v}));
        ASSERT_EQ(hash(a), static_cast<int>(static_cast<unsigned>(an * ad)));
    }
    EXPECT_GT(overflowed, 10000);

    // Worked examples and failure messages.
    const std::pair<std::string, std::string> cases[] = {
        {outcome([] { return ZEM_fraction(1, 2) % 0; }), run_time("[frac-operator %] n <= 0")},
        // The smallest 64-bit value is reduced, never negated.
        {outcome([] { return ZEM_fraction::from_wide(1, INT64_MIN); }), overflow},
        {outcome([] { return ZEM_fraction::from_wide(INT64_MIN, INT64_MIN); }), "1"},
        {outcome([] { return ZEM_fraction::from_wide(INT64_MIN, -(INT64_MIN / 2)); }), "-2"},
        {outcome([] { return ZEM_fraction::from_wide(INT_MIN, 1); }), "-2147483648"},
        {outcome([] { return ZEM_fraction::from_wide(INT_MIN, -1); }), overflow},
        // Reals are equal within an absolute tolerance, which is not transitive.
        {outcome([] { return ZEM_real(1.0) == ZEM_real(1.000000005); }), "1"},
        {outcome([] { return ZEM_real(1.0) == ZEM_real(1.00000002); }), "0"},
        {outcome([] { return ZEM_real(9e-09) == ZEM_real(-9e-09); }), "0"},
        {outcome([] { return ZEM_real(1.0) != ZEM_real(NAN); }), "1"},
        // The negative of a real is the negated double, signed zero included.
        {outcome([] { return -ZEM_real(2.5); }), "-2.5"},
        {outcome([] { return -ZEM_real(-1e300); }), "1e+300"},
        {outcome([] { return -ZEM_real(0.0); }), "-0"},
    };
    for (const auto& [got, want] : cases) EXPECT_EQ(got, want);
}

}
