#include "numbers/symbolic.h"

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

template <class T>
void expect_printed(const std::vector<std::tuple<std::vector<T>, T, const char*, std::string>>& rows)
{
    for (const auto& [coefficients, constant, names, text] : rows)
        EXPECT_EQ(printed(number(coefficients, constant, names)), text);
}

TEST(SymbolicNumbers, PrintedForms)
{
    const ZEM_fraction half(-1, 2);
    expect_printed<ZEM_fraction>({
        {{1, half, 0, 3}, -1, "abcd", "a - 1/2*b + 3*d - 1"},
        {{-1, 0, 0, 0}, 0, "abcd", "-a"},
        {{0, 0, -3, 0}, 1, "abcd", "-3*c + 1"},
        {{0, 1, 0, 1}, 0, "abcd", "b + d"},
        {{0, 0, 0, 0, 2}, 0, "abcd", "2*a4"},
        {{}, ZEM_fraction(-2, 3), "abcd", "-2/3"},
        {{0, 0}, 0, "abcd", "0"},
        {{1, 1, 1, 1, 1, 1}, 0, "xyzuvw", "x + y + z + u + v + w"},
        {{1, 0, 0, 0, 0, 0, -1}, 0, "xyzuvw", "x0 - x6"},
        {{ZEM_fraction(INT_MIN), ZEM_fraction(-3, 7)}, INT_MIN, "abcd", "-2147483648*a - 3/7*b - 2147483648"},
    });
    expect_printed<ZEM_int>({{{-1, 2, 0, INT_MIN, 0}, 1, "abcd", "-a0 + 2*a1 - 2147483648*a3 + 1"}});
    const C one(1), minus_one(-1), zero, i = root_of_unity(1, 4);
    expect_printed<C>({
        {{one, minus_one}, zero, "abcd", "a + [-1]*b"},
        {{zero, one}, one, "abcd", "b + [1]"},
        {{minus_one}, minus_one, "abcd", "[-1]*a + [-1]"},
        {{zero, zero, zero}, zero, "abcd", "0"},
        {{}, minus_one, "abcd", "[-1]"},
        {{zero, i}, C(ZEM_fraction(1, 2)), "abcd", "[1 * exp(2*pi*i*1/4) + 0]*b + [1/2]"},
    });
    const ZEM_symbolic_number_impl<ZEM_int> body(pointer_to_objects<ZEM_int>(), ZEM_int(), "abcd");
    EXPECT_STREQ(std::unique_ptr<char[]>(body.give_name(INT_MAX, INT_MAX)).get(), "a2147483647");
}

TEST(SymbolicNumbers, DefaultsTypesAndSharedBodies)
{
    const fraction_number zero;
    EXPECT_EQ(printed(zero), "0");
    EXPECT_STREQ(zero.names(), "xyzuvw");
    EXPECT_STREQ(fraction_number("abcd").names(), "abcd");
    EXPECT_STREQ(fraction_number(nullptr).names(), "");  // as a null ZEM_string is the empty text
    EXPECT_EQ(zero.type().text(), "symbolic_number<fraction>");
    EXPECT_EQ(cyclotomic_number().type().text(), "symbolic_number<cyclotomic>");

    // Copies outlive the handle they were made from; assignment shares, also to itself.
    auto original = std::make_unique<fraction_number>(number<ZEM_fraction>({1, 2}, 3));
    const std::unique_ptr<ZEM_object> heap(original->copy_object());
    fraction_number other = *original;
    original.reset();
    other = static_cast<const fraction_number&>(other);
    EXPECT_EQ(printed(*heap), "a + 2*b + 3");
    EXPECT_EQ(printed(other), "a + 2*b + 3");
}

TEST(SymbolicNumbers, SumsNegationsAndMultiples)
{
    const fraction_number x = number<ZEM_fraction>({1, 2}, 5, "abc");
    const fraction_number y = number<ZEM_fraction>({3}, ZEM_fraction(1, 2), "xyzuvw");
    EXPECT_EQ(printed(x + y), "4*x + 2*y + 11/2");
    EXPECT_EQ(printed(y + x), "4*a + 2*b + 11/2");
    EXPECT_EQ((fraction_number() + fraction_number()).coefficients().count(), 0);

    // The negation takes the constant along, so x + (-x) is zero in every part.
    EXPECT_EQ(printed(-x), "-a - 2*b - 5");
    EXPECT_EQ(x + (-x), number<ZEM_fraction>({0, 0}, 0));
    EXPECT_EQ(ZEM_fraction(0) * x, number<ZEM_fraction>({0, 0}, 0));
    EXPECT_EQ(printed(ZEM_fraction(-2, 3) * x), "-2/3*a - 4/3*b - 10/3");

    fraction_number z = x;
    z = z + y;
    z = -z;
    z = ZEM_fraction(2) * z;
    EXPECT_EQ(printed(z), "-8*x - 4*y - 11");
}

TEST(SymbolicNumbers, EqualityAndHash)
{
    EXPECT_FALSE(number<ZEM_fraction>({1}, 2) == number<ZEM_fraction>({1, 0}, 2));
    EXPECT_FALSE(number<ZEM_fraction>({1}, 2) == number<ZEM_fraction>({1}, 3));
    EXPECT_TRUE(number<ZEM_fraction>({1}, 2, "abcd") == number<ZEM_fraction>({1}, 2, "xyz"));
    EXPECT_EQ(hash(number<ZEM_fraction>({1}, 2, "abcd")), hash(number<ZEM_fraction>({1}, 2, "xyz")));
    EXPECT_EQ(hash(number<ZEM_fraction>({12345}, 0)), 0);
    EXPECT_EQ(hash(number<ZEM_fraction>({0, ZEM_fraction(2, 3)}, ZEM_fraction(5, 7))), 6 + 35);
    // 2^30 + 2 * 2^30 passes 2^31 - 1 and wraps.
    EXPECT_EQ(hash(number<ZEM_fraction>({0, 1 << 30, 1 << 30}, 0)), -(1 << 30));
    const C i = root_of_unity(1, 4);
    EXPECT_EQ(hash(number<C>({0, i, i}, i)), 1 + 2 + 1);
    EXPECT_FALSE(number<C>({i}, 0) == number<C>({-i}, 0));
}

// The value of a linear form at given parameter values, in complex doubles.
std::complex<double> evaluate(const cyclotomic_number& x, const std::vector<double>& parameters)
{
    std::complex<double> sum = cyclotomic_testing::value(x.constant());
    for (int k = 0; k < x.coefficients().count(); ++k)
        sum += cyclotomic_testing::value(x.coefficients()[k]) * parameters[static_cast<std::size_t>(k)];
    return sum;
}

TEST(SymbolicNumbers, ArithmeticAgreesWithEvaluation)
{
    using cyclotomic_testing::near;
    std::mt19937 random(2718);
    std::uniform_int_distribution<int> length(0, 5), order(0, 3);
    std::uniform_real_distribution<double> point(-2, 2);
    const int orders[] = {1, 3, 4, 12};
    auto scalar = [&] { return cyclotomic_testing::random_value(random, orders[order(random)], 3, 3); };
    auto draw = [&] {
        std::vector<C> coefficients(static_cast<std::size_t>(length(random)));
        for (C& c : coefficients) c = scalar();
        return number<C>(coefficients, scalar());
    };
    for (int round = 0; round < 200; ++round) {
        const cyclotomic_number a = draw(), b = draw();
        const C s = scalar();
        std::vector<double> at(5);
        for (double& p : at) p = point(random);
        EXPECT_TRUE(near(evaluate(a + b, at), evaluate(a, at) + evaluate(b, at)));
        EXPECT_TRUE(near(evaluate(-a, at), -evaluate(a, at)));
        EXPECT_TRUE(near(evaluate(s * a, at), cyclotomic_testing::value(s) * evaluate(a, at)));
        EXPECT_EQ((a + b).coefficients().count(), std::max(a.coefficients().count(), b.coefficients().count()));
        EXPECT_TRUE(a + b == b + a);
    }
}

TEST(SymbolicNumbers, ScalarFailuresPassThrough)
{
    const std::string overflow = run_time("[ZEM_fraction] overflow");
    const fraction_number big = number<ZEM_fraction>({INT_MAX}, 0);
    EXPECT_EQ(failure_of([&] { big + big; }), overflow);
    EXPECT_EQ(failure_of([&] { ZEM_fraction(2) * big; }), overflow);
    EXPECT_EQ(failure_of([&] { -number<ZEM_fraction>({}, INT_MIN); }), overflow);
}

}
