#include "numbers/symbolic.h"
#include "numbers/word.h"

#include <gtest/gtest.h>
#include <climits>
#include <memory>
#include <random>

#include "numbers/cyclotomic_support.h"
#include "support/failure.h"

namespace {

using cyclotomic_testing::root_of_unity;
using C = ZEM_cyclotomic_number;
using fraction_number = ZEM_symbolic_number<ZEM_fraction>;
using cyclotomic_number = ZEM_symbolic_number<C>;

template <class T>
ZEM_symbolic_number<T> number(const std::vector<T>& coefficients, const T& constant, const char* names = "abcd")
{
    pointer_to_objects<T> array(static_cast<int>(coefficients.size()));
    for (int k = 0; k < array.count(); ++k) array[k] = coefficients[static_cast<std::size_t>(k)];
    return ZEM_symbolic_number<T>(array, constant, names);
}

ZEM_word word_of(const std::vector<short>& l) { return ZEM_word(static_cast<int>(l.size()), l.data()); }

TEST(SymbolicNumbersAndWords, PrintedFormsEqualityHashAndFailures)
{
    const ZEM_fraction half(-1, 2);
    const C one(1), minus_one(-1), zero, i = root_of_unity(1, 4);
    const fraction_number x = number<ZEM_fraction>({1, 2}, 5, "abc");
    const fraction_number y = number<ZEM_fraction>({3}, ZEM_fraction(1, 2), "xyzuvw");
    ZEM_linkedlist<ZEM_int> letters;
    for (int v : {1, 2, -1, 65536 + 1, -65536 - 2, 65536}) letters.add_at_tail(ZEM_int(v));
    const std::pair<std::string, std::string> rows[] = {
        {printed(number<ZEM_fraction>({1, half, 0, 3}, -1)), "a - 1/2*b + 3*d - 1"},
        {printed(number<ZEM_fraction>({0, 0}, 0)), "0"},
        {printed(number<ZEM_fraction>({ZEM_fraction(INT_MIN), 0}, INT_MIN)), "-2147483648*a - 2147483648"},
        {printed(number<ZEM_int>({-1, 2, 0, INT_MIN, 0}, 1)), "-a0 + 2*a1 - 2147483648*a3 + 1"},
        {printed(number<C>({one, minus_one}, zero)), "a + [-1]*b"},
        {printed(number<C>({zero, i}, C(ZEM_fraction(1, 2)))), "[1 * exp(2*pi*i*1/4) + 0]*b + [1/2]"},
        // A sum is named by its left operand; a negation takes the constant along.
        {printed(x + y), "4*x + 2*y + 11/2"},
        {printed(y + x), "4*a + 2*b + 11/2"},
        {printed(-x), "-a - 2*b - 5"},
        {printed(ZEM_fraction(-2, 3) * x), "-2/3*a - 4/3*b - 10/3"},
        // Words print one character per letter, values from a list cut to 16 bits.
        {printed(word_of({1, 1, -2, 3, -4})) + printed(word_of({})), "word(aaBcD)word()"},
        {printed(word_of({26, -26, 1, -1})), "word(zZaA)"},
        {printed(word_of({27, -27, 0, 5, 32767, -32768})), "word(\?\?\?e\?\?)"},
        {printed(ZEM_word(letters)) + ZEM_word().type().text(), "word(abAaB?)word"},
        {printed(fraction_number()) + fraction_number().names(), "0xyzuvw"},
        {fraction_number(nullptr).names(), ""},  // as a null ZEM_string is the empty text
        {cyclotomic_number().type().text(), "symbolic_number<cyclotomic>"},
    };
    for (const auto& [got, want] : rows) EXPECT_EQ(got, want);
    const ZEM_symbolic_number_impl<ZEM_int> body(pointer_to_objects<ZEM_int>(), ZEM_int(), "abcd");
    EXPECT_STREQ(std::unique_ptr<char[]>(body.give_name(INT_MAX, INT_MAX)).get(), "a2147483647");

    EXPECT_FALSE(number<ZEM_fraction>({1}, 2) == number<ZEM_fraction>({1, 0}, 2));
    EXPECT_FALSE(number<ZEM_fraction>({1}, 2) == number<ZEM_fraction>({1}, 3));
    EXPECT_TRUE(number<ZEM_fraction>({1}, 2, "abcd") == number<ZEM_fraction>({1}, 2, "xyz"));
    EXPECT_EQ(hash(number<ZEM_fraction>({0, ZEM_fraction(2, 3)}, ZEM_fraction(5, 7))), 6 + 35);
    // 2^30 + 2 * 2^30 passes 2^31 - 1 and wraps.
    EXPECT_EQ(hash(number<ZEM_fraction>({0, 1 << 30, 1 << 30}, 0)), -(1 << 30));
    EXPECT_EQ(hash(number<C>({0, i, i}, i)), 1 + 2 + 1);

    const std::string overflow = run_time("[ZEM_fraction] overflow");
    const fraction_number big = number<ZEM_fraction>({INT_MAX}, 0);
    EXPECT_EQ(failure_of([&] { big + big; }), overflow);
    EXPECT_EQ(failure_of([&] { -number<ZEM_fraction>({}, INT_MIN); }), overflow);
}

TEST(SymbolicNumbers, ArithmeticAgreesWithEvaluation)
{
    using namespace cyclotomic_testing;
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
        EXPECT_TRUE(near(at(-a), -at(a)));
        EXPECT_TRUE(near(at(s * a), value(s) * at(a)));
        EXPECT_EQ((a + b).coefficients().count(), std::max(a.coefficients().count(), b.coefficients().count()));
    }
}

}
