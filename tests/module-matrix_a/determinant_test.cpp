#include "module-matrix_a/determinant.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "module-matrix/matrix_arithmetic.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic_support.h"
#include "support/exact.h"
#include "support/failure.h"

namespace {

using I = ZEM_int;
using F = ZEM_fraction;
using C = ZEM_cyclotomic_number;

TEST(Determinant, EmptyNonSquareAndOverflowing)
{
    EXPECT_EQ(determinant(ZEM_matrix<I>(0, 0, I(1))), 0);
    EXPECT_EQ(failure_of([] { determinant(ZEM_matrix<I>(3, 2, I(1))); }), run_time("determinant: rows != columns"));
    EXPECT_EQ(failure_of([] { determinant(ZEM_matrix<I>(5, 5, I(1 << 16))); }), run_time("[determinant] overflow"));
}

// The expansion and the elimination against the sum over all permutations, in 64 bits.
TEST(Determinant, AgreesWithTheSumOverPermutations)
{
    std::mt19937 random(3);
    const C root = cyclotomic_testing::root_of_unity(1, 3);
    std::uniform_int_distribution<int> entry(-9, 9), size(1, 7), zero(0, 3);
    for (int trial = 0; trial < 150; ++trial) {
        const int n = size(random);
        pointer_to_objects<I> a(n * n);
        // Sizes past the expansion go through elimination, its zero pivots included.
        for (I& x : a) x = zero(random) == 0 ? 0 : n > 5 ? entry(random) / 3 : entry(random);
        std::vector<int> p(static_cast<std::size_t>(n));
        std::iota(p.begin(), p.end(), 0);
        std::int64_t expected = 0;
        do {
            std::int64_t term = 1;
            for (int i = 0; i < n; ++i) {
                term *= a[i * n + p[i]].value();
                for (int j = i + 1; j < n; ++j) term *= p[i] > p[j] ? -1 : 1;
            }
            expected += term;
        } while (std::next_permutation(p.begin(), p.end()));
        EXPECT_EQ(determinant(ZEM_matrix<I>(n, n, a)).value(), expected);
        // Over the fractions a / 2, and over the cyclotomic numbers a times a root of unity of order 3.
        pointer_to_objects<F> half(n * n);
        pointer_to_objects<C> rotated(n * n);
        C root_power(1);
        for (int k = 0; k < n * n; ++k) {
            half[k] = F(a[k].value(), 2);
            rotated[k] = root * C(a[k].value());
            if (k < n) root_power = root_power * root;
        }
        EXPECT_EQ(determinant(ZEM_matrix<F>(n, n, half)), F(int(expected), 1 << n));
        EXPECT_EQ(determinant(ZEM_matrix<C>(n, n, rotated)), root_power * C(int(expected)));
    }
}

// Against the sum over all permutations in GMP; a determinant that leaves 32 bits
// fails, above order 4 over integers and fractions with the elimination's message.
template <class T>
void expect_exact_determinant(const std::vector<F>& entries, int n)
{
    const bool integers = std::is_same_v<T, I>;
    if (integers && std::any_of(entries.begin(), entries.end(), [](const F& x) { return x.denominator() != 1; }))
        return;
    std::vector<mpq_class> exact_entries;
    pointer_to_objects<T> a(n * n);
    for (int k = 0; k < n * n; ++k) {
        exact_entries.push_back(exact(entries[std::size_t(k)]));
        a[k] = from_fraction<T>(entries[std::size_t(k)]);
    }
    const bool eliminated = n > largest_expanded_determinant && !std::is_same_v<T, C>;
    const std::string overflow =
        eliminated ? "[determinant] overflow" : integers ? "[ZEM_int] overflow" : "[ZEM_fraction] overflow";
    const ZEM_matrix<T> m(n, n, a);
    EXPECT_EQ(outcome([&] { return printed(determinant(m)) + ' '; }),
              printed_if_fit<T>({permutation_sum(exact_entries, n)}, overflow))
        << printed(m);
}

// Steps far beyond 32 bits, the determinant often within: a first row of 1/p
// over the rows of the identity, whose determinant is its first entry; large
// multiples of rows added to others, which keep a small determinant, then rows
// divided by large numbers now and then; and random large entries.
TEST(Determinant, FailsOnlyWhenTheDeterminantLeaves32Bits)
{
    // The second: a wide step that lands exactly on -2^31.
    std::vector<std::pair<int, std::vector<F>>> cases = {{2, {46341, 46340, 46341, 46341}},
                                                         {2, {INT_MIN + 1, INT_MIN, INT_MIN, INT_MIN}}};
    for (const auto& first : {std::vector<int>{2147483647, 2147483629, 2147483587, 2147483579, 2147483563},
                              std::vector<int>{65536, 65537, 65539, 65543, 65551}}) {
        std::vector<F> a(25, F(0));
        for (int j = 0; j < 5; ++j) a[std::size_t(j)] = F(1, first[std::size_t(j)]);
        for (int i = 1; i < 5; ++i) a[std::size_t(i * 6)] = 1;
        cases.push_back({5, a});
        a[6] = F(1, first[1]);  // a determinant of 1 / (p0 * p1)
        cases.push_back({5, a});
    }
    std::mt19937 random(17);
    std::uniform_int_distribution<int> small(-3, 3), any(-INT_MAX, INT_MAX), large(2, INT_MAX), chance(0, 3);
    for (int trial = 0; trial < 240; ++trial) {
        const int n = 1 + trial % 6;
        std::vector<std::int64_t> a(std::size_t(n * n));
        for (std::int64_t& x : a) x = trial % 4 == 3 ? (chance(random) ? any(random) : 0) : small(random);
        for (int step = 0; step < 6 * n && trial % 4 != 3; ++step) {
            const int i = int(random() % n), j = int(random() % n);
            std::int64_t largest = 1;
            for (int c = 0; c < n; ++c) largest = std::max(largest, std::abs(a[std::size_t(j * n + c)]));
            const std::int64_t factor = std::int64_t(any(random)) / 2 / largest;
            bool inside = i != j;
            for (int c = 0; c < n; ++c)
                inside = inside && std::abs(a[std::size_t(i * n + c)] + factor * a[std::size_t(j * n + c)]) <= INT_MAX;
            for (int c = 0; c < n && inside; ++c) a[std::size_t(i * n + c)] += factor * a[std::size_t(j * n + c)];
        }
        std::vector<F> entries;
        for (int i = 0; i < n; ++i) {
            const int divisor = trial % 2 && chance(random) == 0 ? large(random) : 1;
            for (int j = 0; j < n; ++j) entries.push_back(F(int(a[std::size_t(i * n + j)]), divisor));
        }
        cases.push_back({n, entries});
    }
    for (const auto& [n, entries] : cases) {
        expect_exact_determinant<I>(entries, n);
        expect_exact_determinant<F>(entries, n);
        expect_exact_determinant<C>(entries, n);
    }
}

// Irrational entries whose expansion or elimination steps leave 32 bits: against
// the sum over all permutations in Q(E(3)) in GMP. Large multiples of rows, by
// whole numbers or their products with E(3), added to others keep the determinant
// of a small matrix; only a determinant that leaves 32 bits fails.
TEST(Determinant, IrrationalFailsOnlyWhenTheDeterminantLeaves32Bits)
{
    const eisenstein m_root{0, INT_MAX}, zero{0, 0}, one{1, 0};
    // M*E(3) * (M*E(3) + 1) - (M*E(3))^2 = M*E(3); 2M*E(3) leaves 32 bits, here and at order 5.
    std::vector<std::pair<int, std::vector<eisenstein>>> cases = {{2, {m_root, m_root, m_root, m_root + one}},
                                                                  {2, {m_root, zero, zero, {2, 0}}}};
    std::mt19937 random(41);
    std::uniform_int_distribution<int> small(-1, 1), any(-INT_MAX, INT_MAX);
    const auto bounded = [](const eisenstein& x) {
        return abs(x.a) <= INT_MAX / 2 && abs(x.b) <= INT_MAX / 2;
    };
    for (int trial = 0; trial < 60; ++trial) {
        const int n = 2 + trial % 4;
        std::vector<eisenstein> a(std::size_t(n * n));
        for (eisenstein& x : a) x = {small(random), small(random)};
        for (int step = 0; step < 4 * n; ++step) {
            const int i = int(random() % n), j = int(random() % n);
            const eisenstein factor = step % 2 ? eisenstein{any(random) / 4, 0} : eisenstein{0, any(random) / 4};
            std::vector<eisenstein> row(static_cast<std::size_t>(n));
            bool inside = i != j;
            for (int c = 0; c < n; ++c) {
                row[std::size_t(c)] = a[std::size_t(i * n + c)] + factor * a[std::size_t(j * n + c)];
                inside = inside && bounded(row[std::size_t(c)]);
            }
            if (inside) std::copy(row.begin(), row.end(), a.begin() + i * n);
        }
        cases.push_back({n, a});
    }
    std::vector<eisenstein> twice(25, zero);
    for (int k = 0; k < 5; ++k) twice[std::size_t(k * 6)] = one;
    twice[0] = m_root;
    twice[6] = {2, 0};
    cases.push_back({5, twice});
    for (const auto& [n, entries] : cases) {
        pointer_to_objects<C> a(n * n);
        std::transform(entries.begin(), entries.end(), a.begin(), cyclotomic);
        const ZEM_matrix<C> m(n, n, a);
        EXPECT_EQ(outcome([&] { return printed(determinant(m)) + ' '; }),
                  printed_if_fit(std::vector<eisenstein>{permutation_sum(entries, n)}))
            << printed(m);
    }
}

}
