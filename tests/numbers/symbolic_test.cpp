#include "numbers/symbolic.h"

#include <gtest/gtest.h>
#include <climits>
#include <memory>
#include <random>

#include "module-collections/dictionary.h"
#include "numbers/cyclotomic_support.h"
#include "support/failure.h"
#include "support/printed.h"

namespace {

using fraction_number = ZEM_symbolic_number<ZEM_fraction>;
using cyclotomic_number = ZEM_symbolic_number<ZEM_cyclotomic_number>;

template <class T>
pointer_to_objects<T> array_of(const std::vector<T>& values)
{
    pointer_to_objects<T> array(static_cast<int>(values.size()));
    for (int k = 0; k < array.count(); ++k) array[k] = values[static_cast<std::size_t>(k)];
    return array;
}

fraction_number over_fractions(const std::vector<ZEM_fraction>& coefficients, ZEM_fraction constant,
                               const char* names = "abcd")
{
    return fraction_number(array_of(coefficients), constant, names);
}

cyclotomic_number over_cyclotomics(const std::vector<ZEM_cyclotomic_number>& coefficients,
                                   ZEM_cyclotomic_number constant, const char* names = "abcd")
{
    return cyclotomic_number(array_of(coefficients), constant, names);
}

// Reads the body's count, which only a handle may see.
template <class T>
struct counted : ZEM_symbolic_number<T> {
    using ZEM_symbolic_number<T>::ZEM_symbolic_number;
    int count() const { return this->body()->reference_count; }
};

TEST(SymbolicNumbers, PrintedFormsOverFractions)
{
    const ZEM_fraction half(-1, 2);
    const std::vector<std::tuple<std::vector<ZEM_fraction>, ZEM_fraction, std::string>> rows = {
        {{1, half, 0, 3}, -1, "a - 1/2*b + 3*d - 1"},
        {{-1, 0, 0, 0}, 0, "-a"},
        {{0, 0, -3, 0}, 1, "-3*c + 1"},
        {{0, 1, 0, 1}, 0, "b + d"},
        {{0, 0, 0, 0, 2}, 0, "2*a4"},
        {{}, ZEM_fraction(-2, 3), "-2/3"},
        {{0, 0}, 0, "0"},
        {{}, 5, "5"},
        {{}, -1, "-1"},
        {{0, -1}, -1, "-b - 1"},
        {{ZEM_fraction(INT_MIN), ZEM_fraction(-3, 7)}, INT_MIN, "-2147483648*a - 3/7*b - 2147483648"},
    };
    for (const auto& [coefficients, constant, text] : rows)
        EXPECT_EQ(printed(over_fractions(coefficients, constant)), text);
}

TEST(SymbolicNumbers, PrintedFormsOverIntegers)
{
    const std::vector<std::tuple<std::vector<ZEM_int>, ZEM_int, std::string>> rows = {
        {{1, -2, 0, 3}, -1, "a - 2*b + 3*d - 1"},
        {{-1, 0, 0, 0, 0}, 1, "-a0 + 1"},
        {{INT_MIN}, INT_MIN, "-2147483648*a - 2147483648"},
    };
    for (const auto& [coefficients, constant, text] : rows)
        EXPECT_EQ(printed(ZEM_symbolic_number<ZEM_int>(array_of(coefficients), constant, "abcd")), text);
}

TEST(SymbolicNumbers, PrintedFormsOverCyclotomicNumbers)
{
    const ZEM_cyclotomic_number one(1), minus_one(-1), zero;
    const ZEM_cyclotomic_number i = cyclotomic_testing::root_of_unity(1, 4);
    const std::vector<std::tuple<std::vector<ZEM_cyclotomic_number>, ZEM_cyclotomic_number, std::string>> rows = {
        {{one, minus_one}, zero, "a + [-1]*b"},
        {{zero, one}, one, "b + [1]"},
        {{minus_one}, minus_one, "[-1]*a + [-1]"},
        {{zero, zero, zero}, zero, "0"},
        {{}, minus_one, "[-1]"},
        {{zero, i}, ZEM_cyclotomic_number(ZEM_fraction(1, 2)), "[1 * exp(2*pi*i*1/4) + 0]*b + [1/2]"},
    };
    for (const auto& [coefficients, constant, text] : rows)
        EXPECT_EQ(printed(over_cyclotomics(coefficients, constant)), text);
}

TEST(SymbolicNumbers, ParameterNames)
{
    struct row {
        const char* letters;
        int count;
        std::vector<std::string> names;
    };
    const std::vector<row> rows = {
        {"abcd", 4, {"a", "b", "c", "d"}},
        {"abcd", 5, {"a0", "a1", "a2", "a3", "a4"}},
        {"xyzuvw", 6, {"x", "y", "z", "u", "v", "w"}},
        {"xyzuvw", 7, {"x0", "x1", "x2", "x3", "x4", "x5", "x6"}},
        {"q", 2, {"q0", "q1"}},
    };
    for (const row& r : rows) {
        const ZEM_symbolic_number_impl<ZEM_fraction> body(pointer_to_objects<ZEM_fraction>(r.count), ZEM_fraction(),
                                                          r.letters);
        for (int k = 0; k < r.count; ++k) {
            const std::unique_ptr<char[]> name(body.give_name(r.count, k));
            EXPECT_EQ(name.get(), r.names[static_cast<std::size_t>(k)]);
        }
    }
    const ZEM_symbolic_number_impl<ZEM_int> body(pointer_to_objects<ZEM_int>(), ZEM_int(), "abcd");
    const std::unique_ptr<char[]> widest(body.give_name(INT_MAX, INT_MAX));
    EXPECT_STREQ(widest.get(), "a2147483647");

}

TEST(SymbolicNumbers, DefaultsAndTypes)
{
    const fraction_number zero;
    EXPECT_EQ(printed(zero), "0");
    EXPECT_EQ(zero.coefficients().block(), nullptr);
    EXPECT_STREQ(zero.names(), "xyzuvw");
    EXPECT_STREQ(fraction_number("abcd").names(), "abcd");
    EXPECT_EQ(zero.type().text(), "symbolic_number<fraction>");
    EXPECT_EQ(cyclotomic_number().type().text(), "symbolic_number<cyclotomic>");
    EXPECT_EQ(printed(cyclotomic_number("abcd")), "0");
}

TEST(SymbolicNumbers, HandlesShareOneBody)
{
    auto original = std::make_unique<counted<ZEM_fraction>>(array_of<ZEM_fraction>({1, 2}), ZEM_fraction(3), "abcd");
    counted<ZEM_fraction> copy(*original);
    const std::unique_ptr<ZEM_object> heap(copy.copy_object());
    EXPECT_EQ(copy.count(), 3);
    original.reset();
    EXPECT_EQ(copy.count(), 2);
    EXPECT_EQ(printed(*heap), "a + 2*b + 3");

    counted<ZEM_fraction> other("xyzuvw");
    const counted<ZEM_fraction>& same = other;
    other = same;
    EXPECT_EQ(other.count(), 1);
    other = copy;
    EXPECT_EQ(copy.count(), 3);
}

TEST(SymbolicNumbers, SumsNegationsAndMultiples)
{
    const fraction_number x = over_fractions({1, 2}, 5, "abc");
    const fraction_number y = over_fractions({3}, ZEM_fraction(1, 2), "xyzuvw");
    const fraction_number sum = x + y;
    EXPECT_EQ(sum, over_fractions({4, 2}, ZEM_fraction(11, 2)));
    EXPECT_STREQ(sum.names(), "xyzuvw");
    EXPECT_EQ(printed(sum), "4*x + 2*y + 11/2");
    EXPECT_EQ(printed(y + x), "4*a + 2*b + 11/2");

    const fraction_number nothing = fraction_number() + fraction_number();
    EXPECT_EQ(nothing.coefficients().count(), 0);
    EXPECT_EQ(nothing.constant(), ZEM_fraction(0));

    // The negation takes the constant along, so x + (-x) is zero in every part.
    const fraction_number cancelled = x + (-x);
    EXPECT_EQ(cancelled, over_fractions({0, 0}, 0));
    EXPECT_EQ(printed(-x), "-a - 2*b - 5");
    EXPECT_STREQ((-x).names(), "abc");

    const fraction_number none = ZEM_fraction(0) * x;
    EXPECT_EQ(none, over_fractions({0, 0}, 0));
    EXPECT_EQ(ZEM_fraction(-2, 3) * x, over_fractions({ZEM_fraction(-2, 3), ZEM_fraction(-4, 3)}, ZEM_fraction(-10, 3)));
    EXPECT_STREQ((ZEM_fraction(2) * x).names(), "abc");

    const ZEM_cyclotomic_number i = cyclotomic_testing::root_of_unity(1, 4);
    const cyclotomic_number c = over_cyclotomics({i, 1}, i);
    EXPECT_EQ(i * c, over_cyclotomics({-1, i}, -1));
    EXPECT_EQ(c + (-c), over_cyclotomics({0, 0}, 0));
    EXPECT_EQ(printed(-c), "[-1 * exp(2*pi*i*1/4) + 0]*a + [-1]*b + [-1 * exp(2*pi*i*1/4) + 0]");
}

TEST(SymbolicNumbers, EqualityAndHash)
{
    EXPECT_FALSE(over_fractions({1}, 2) == over_fractions({1, 0}, 2));
    EXPECT_TRUE(over_fractions({1}, 2, "abcd") == over_fractions({1}, 2, "xyz"));
    EXPECT_EQ(hash(over_fractions({1}, 2, "abcd")), hash(over_fractions({1}, 2, "xyz")));
    EXPECT_FALSE(over_fractions({1}, 2) == over_fractions({1}, 3));
    EXPECT_TRUE(fraction_number() == fraction_number("abcd"));
    for (int v : {-7, 1, 12345}) EXPECT_EQ(hash(over_fractions({v}, 0)), 0);
    EXPECT_EQ(hash(over_fractions({0, ZEM_fraction(2, 3)}, ZEM_fraction(5, 7))), 6 + 35);
    // 2^30 + 2 * 2^30 passes 2^31 - 1 and wraps.
    EXPECT_EQ(hash(over_fractions({0, 1 << 30, 1 << 30}, 0)), -(1 << 30));

    const ZEM_cyclotomic_number i = cyclotomic_testing::root_of_unity(1, 4);
    EXPECT_EQ(hash(over_cyclotomics({0, i, i}, i)), 1 + 2 + 1);
    EXPECT_TRUE(over_cyclotomics({i}, 0) == over_cyclotomics({i}, 0, "xyz"));
    EXPECT_FALSE(over_cyclotomics({i}, 0) == over_cyclotomics({-i}, 0));
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
    std::mt19937 random(2718);
    std::uniform_int_distribution<int> length(0, 5), order(0, 3);
    std::uniform_real_distribution<double> point(-2, 2);
    const int orders[] = {1, 3, 4, 12};
    auto draw = [&] {
        std::vector<ZEM_cyclotomic_number> coefficients(static_cast<std::size_t>(length(random)));
        for (auto& c : coefficients) c = cyclotomic_testing::random_value(random, orders[order(random)], 3, 3);
        return over_cyclotomics(coefficients, cyclotomic_testing::random_value(random, orders[order(random)], 3, 3));
    };
    for (int round = 0; round < 200; ++round) {
        const cyclotomic_number a = draw(), b = draw();
        const ZEM_cyclotomic_number s = cyclotomic_testing::random_value(random, orders[order(random)], 3, 2);
        std::vector<double> parameters(5);
        for (double& p : parameters) p = point(random);
        const auto near = [](std::complex<double> u, std::complex<double> v) { return cyclotomic_testing::near(u, v); };
        EXPECT_TRUE(near(evaluate(a + b, parameters), evaluate(a, parameters) + evaluate(b, parameters)));
        EXPECT_TRUE(near(evaluate(-a, parameters), -evaluate(a, parameters)));
        EXPECT_TRUE(near(evaluate(s * a, parameters), cyclotomic_testing::value(s) * evaluate(a, parameters)));
        EXPECT_EQ((a + b).coefficients().count(), std::max(a.coefficients().count(), b.coefficients().count()));
        EXPECT_TRUE(a + b == b + a);
        EXPECT_EQ(hash(a + b), hash(b + a));
        EXPECT_TRUE(-(-a) == a);
    }
}

TEST(SymbolicNumbers, ResultsMayReplaceTheirOperands)
{
    fraction_number x = over_fractions({1, 2}, 3);
    const fraction_number y = over_fractions({5}, -1, "xyz");
    x = x + y;
    EXPECT_EQ(printed(x), "6*x + 2*y + 2");
    x = y + x;
    EXPECT_EQ(printed(x), "11*x + 2*y + 1");
    x = -x;
    EXPECT_EQ(printed(x), "-11*x - 2*y - 1");
    x = ZEM_fraction(2) * x;
    EXPECT_EQ(printed(x), "-22*x - 4*y - 2");
    EXPECT_EQ(printed(y), "5*x - 1");
}

TEST(SymbolicNumbers, ScalarFailuresPassThrough)
{
    const std::string overflow = run_time("[ZEM_fraction] overflow");
    const fraction_number big = over_fractions({INT_MAX}, 0);
    EXPECT_EQ(failure_of([&] { big + big; }), overflow);
    EXPECT_EQ(failure_of([&] { ZEM_fraction(2) * big; }), overflow);
    EXPECT_EQ(failure_of([&] { -over_fractions({}, INT_MIN); }), overflow);
    EXPECT_EQ(printed(big), "2147483647*a");
}

TEST(SymbolicNumbers, ExactNumbersKeyDictionaries)
{
    ZEM_dictionary<ZEM_cyclotomic_number, ZEM_int> by_number;
    by_number.add_elt(cyclotomic_testing::terms({1, 1}, {1, 2}, {3, 3}), 7);
    by_number.add_elt(cyclotomic_testing::root_of_unity(1, 4), 8);
    EXPECT_EQ(*by_number.lookup(ZEM_cyclotomic_number(-1)), ZEM_int(7));
    EXPECT_EQ(*by_number.lookup(cyclotomic_testing::root_of_unity(5, 4)), ZEM_int(8));
    EXPECT_EQ(by_number.type().text(), "dictionary<cyclotomic,int>");

    ZEM_dictionary<fraction_number, ZEM_int> by_form;
    by_form.add_elt(over_fractions({1, 2}, 0), 1);
    by_form.add_elt(over_fractions({1, 2}, 0, "xyz") + fraction_number(), 2);
    EXPECT_EQ(by_form.n_elements(), 1);
    EXPECT_EQ(*by_form.lookup(over_fractions({1, 2}, 0)), ZEM_int(2));
    EXPECT_EQ(by_form.lookup(over_fractions({1, 2, 0}, 0)), nullptr);
}

}
