#include "module-scalar/integer.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <random>

#include "support/failure.h"
#include "support/printed.h"

namespace {

const std::string overflow = run_time("[ZEM_int] overflow");

// The result of an operation as text, or its failure.
std::string outcome(const std::function<ZEM_int()>& operation)
{
    std::string result;
    std::string failure = failure_of([&] { result = printed(operation()); });
    return failure == "(no failure)" ? result : failure;
}

std::string expected(std::int64_t value)
{
    return value < INT_MIN || value > INT_MAX ? overflow : std::to_string(value);
}

TEST(Integers, ArithmeticAgreesWith64BitsAndFailsOnOverflow)
{
    std::mt19937 engine(707);
    const int extremes[] = {INT_MIN, INT_MIN + 1, INT_MAX, -1, 0, 1, 2, 46341, -46341};
    auto pick = [&] {
        switch (engine() % 3) {
        case 0: return static_cast<int>(engine() % 201) - 100;
        case 1: return static_cast<int>(engine());
        default: return extremes[engine() % std::size(extremes)];
        }
    };
    int failures = 0;
    for (int round = 0; round < 20000; ++round) {
        const int a = pick(), b = pick();
        const std::int64_t x = a, y = b;
        ASSERT_EQ(outcome([&] { return ZEM_int(a) + ZEM_int(b); }), expected(x + y));
        ASSERT_EQ(outcome([&] { return ZEM_int(a) - ZEM_int(b); }), expected(x - y));
        ASSERT_EQ(outcome([&] { return ZEM_int(a) * ZEM_int(b); }), expected(x * y));
        ASSERT_EQ(outcome([&] { return -ZEM_int(a); }), expected(-x));
        std::string quotient = b == 0 ? run_time("[ZEM_int] division by zero") : expected(x / y);
        ASSERT_EQ(outcome([&] { return ZEM_int(a) / ZEM_int(b); }), quotient) << a << " / " << b;
        ASSERT_EQ(outcome([&] { ZEM_int c(a); c /= ZEM_int(b); return c; }), quotient);
        if (quotient[0] == 'r') ++failures;
        ASSERT_EQ(ZEM_int(a) < ZEM_int(b), a < b);
        ASSERT_EQ(ZEM_int(a) == ZEM_int(b), a == b);
        ASSERT_EQ(hash(ZEM_int(a)), a);
    }
    EXPECT_GT(failures, 100);
}

TEST(Integers, KnownValuesAndFailures)
{
    EXPECT_EQ(printed(ZEM_int(-7)), "-7");
    EXPECT_EQ(hash(ZEM_int(-7)), -7);
    EXPECT_EQ(printed(ZEM_int(-7) / ZEM_int(2)), "-3");
    EXPECT_EQ(printed(ZEM_int()), "0");
    EXPECT_EQ(failure_of([] { (void)(ZEM_int(INT_MIN) / ZEM_int(-1)); }), overflow);
    EXPECT_EQ(failure_of([] { (void)(ZEM_int(5) / ZEM_int(0)); }), run_time("[ZEM_int] division by zero"));
    EXPECT_EQ(ZEM_int(3).type(), tp_int());

    ZEM_int x(6);
    EXPECT_EQ(failure_of([&] { x *= ZEM_int(INT_MAX); }), overflow);
    EXPECT_EQ(x.value(), 6);
    x += x;
    EXPECT_EQ(x.value(), 12);
    x -= x;
    EXPECT_EQ(x.value(), 0);
}

TEST(Reals, EqualityIsWithinAnAbsoluteToleranceAndNotTransitive)
{
    const struct {
        double a, b;
        bool equal;
    } cases[] = {
        {1.0, 1.000000005, true},   {1.0, 1.00000002, false}, {0.0, 3e-09, true},
        {0.0, -9e-09, true},        {3e-09, -9e-09, false},   {1e20, 1e20 + 1e5, false},
        {NAN, NAN, false},          {NAN, 0.0, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ZEM_real(c.a) == ZEM_real(c.b), c.equal) << c.a << " " << c.b;
        EXPECT_EQ(ZEM_real(c.b) == ZEM_real(c.a), c.equal);
        EXPECT_EQ(ZEM_real(c.a) != ZEM_real(c.b), !c.equal);
    }
}

TEST(Reals, CannotBeHashedAndPrintAsTheStreamDoes)
{
    EXPECT_EQ(failure_of([] { (void)hash(ZEM_real(1.5)); }), run_time("[hash(real)] cannot be implemented"));
    EXPECT_EQ(printed(ZEM_real(1.5)), "1.5");
    EXPECT_EQ(printed(ZEM_real(-0.25)), "-0.25");
    EXPECT_EQ(printed(ZEM_real(1e20)), "1e+20");
    EXPECT_EQ(printed(ZEM_real()), "0");

    auto* source = new ZEM_real(2.5);
    std::unique_ptr<ZEM_object> copy(source->copy_object());
    delete source;
    EXPECT_EQ(printed(*copy), "2.5");
    EXPECT_EQ(copy->type().text(), "real");
}

}
