// Exact values for tests of overflow: the system's rational numbers as GMP
// rationals, whose arithmetic never overflows, and back where a value fits.
#pragma once

#include <algorithm>
#include <gmpxx.h>
#include <numeric>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"
#include "support/failure.h"
#include "support/printed.h"

inline mpq_class exact(const ZEM_fraction& x)
{
    return mpq_class(mpz_class(x.numerator()), mpz_class(x.denominator()));
}

// A fraction as a T; a whole one for an integer.
template <class T>
T from_fraction(const ZEM_fraction& x)
{
    if constexpr (std::is_same_v<T, ZEM_int>)
        return ZEM_int(x.numerator());
    else
        return T(x);
}

// The printed Ts of `values`, each followed by a space; the failure with
// `overflow` when one of them does not fit in T.
template <class T>
std::string printed_if_fit(const std::vector<mpq_class>& values, const std::string& overflow)
{
    std::string all;
    for (const mpq_class& q : values) {
        const bool whole = !std::is_same_v<T, ZEM_int> || q.get_den() == 1;
        if (!whole || !q.get_num().fits_sint_p() || !q.get_den().fits_sint_p()) return run_time(overflow);
        all += printed(from_fraction<T>(ZEM_fraction(int(q.get_num().get_si()), int(q.get_den().get_si())))) + ' ';
    }
    return all;
}

// The printed values x[0 .. count-1] as printed_if_fit gives them.
template <class T>
std::string printed_values(const T* x, int count)
{
    std::string all;
    for (int k = 0; k < count; ++k) all += printed(x[k]) + ' ';
    return all;
}

// What `action` returns, or the text of its failure.
template <class Action>
std::string outcome(Action&& action)
{
    std::string value;
    const std::string failure = failure_of([&] { value = action(); });
    return failure == "(no failure)" ? value : failure;
}

// a + b * E(3), E(3) = exp(2*pi*i/3), in GMP rationals: E(3)^2 = -1 - E(3).
struct eisenstein {
    eisenstein(mpq_class whole = 0, mpq_class root = 0) : a(std::move(whole)), b(std::move(root)) {}
    mpq_class a, b;
};

inline eisenstein operator+(const eisenstein& x, const eisenstein& y) { return {x.a + y.a, x.b + y.b}; }

inline eisenstein operator*(const eisenstein& x, const eisenstein& y)
{
    const mpq_class bd = x.b * y.b;
    return {x.a * y.a - bd, x.a * y.b + x.b * y.a - bd};
}

inline eisenstein operator-(const eisenstein& x) { return {-x.a, -x.b}; }

// The sum over all permutations of the n x n entries a.
template <class V>
V permutation_sum(const std::vector<V>& a, int n)
{
    std::vector<int> p(static_cast<std::size_t>(n));
    std::iota(p.begin(), p.end(), 0);
    V sum{};
    do {
        V term{1};
        for (int i = 0; i < n; ++i) {
            term = term * a[std::size_t(i * n + p[std::size_t(i)])];
            for (int j = i + 1; j < n; ++j)
                if (p[std::size_t(i)] > p[std::size_t(j)]) term = -term;
        }
        sum = sum + term;
    } while (std::next_permutation(p.begin(), p.end()));
    return sum;
}

// The value in the canonical form over E(3) and E(3)^2, (b - a) * E(3) - a * E(3)^2;
// its coefficients fit in 32 bits.
inline ZEM_cyclotomic_number cyclotomic(const eisenstein& x)
{
    const auto fraction = [](const mpq_class& q) {
        return ZEM_fraction(int(q.get_num().get_si()), int(q.get_den().get_si()));
    };
    if (x.b == 0) return ZEM_cyclotomic_number(fraction(x.a));
    ZEM_cyclotomic_number r(3, 0);
    r.coefficients[1] = fraction(x.b - x.a);
    r.coefficients[2] = fraction(-x.a);
    r.reduce();
    return r;
}

// The printed values, each followed by a space; the failure with "[ZEM_fraction]
// overflow" when a canonical coefficient of one of them leaves 32 bits.
inline std::string printed_if_fit(const std::vector<eisenstein>& values)
{
    const auto fits = [](const mpq_class& q) { return q.get_num().fits_sint_p() && q.get_den().fits_sint_p(); };
    std::string all;
    for (const eisenstein& x : values) {
        if (x.b == 0 ? !fits(x.a) : !fits(x.b - x.a) || !fits(-x.a)) return run_time("[ZEM_fraction] overflow");
        all += printed(cyclotomic(x)) + ' ';
    }
    return all;
}
