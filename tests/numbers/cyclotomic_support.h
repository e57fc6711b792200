// Independent views of a cyclotomic number for the tests: its complex value, the
// admissible indices of an order enumerated from their definition, and random values.
#pragma once

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "module-collections/linkedlist.h"
#include "numbers/cyclotomic.h"
#include "support/printed.h"

namespace cyclotomic_testing {

// The sum of factors[j] * exp(2*pi*i*numerators[j]/denominators[j]), as a literal gives it.
inline ZEM_cyclotomic_number terms(std::vector<ZEM_fraction> factors, std::vector<int> numerators,
                                   std::vector<int> denominators)
{
    ZEM_linkedlist<ZEM_fraction> c;
    ZEM_linkedlist<ZEM_int> a, d;
    for (const ZEM_fraction& f : factors) c.add_at_tail(f);
    for (int v : numerators) a.add_at_tail(v);
    for (int v : denominators) d.add_at_tail(v);
    return ZEM_cyclotomic_number(c, a, d);
}

inline ZEM_cyclotomic_number root_of_unity(int k, int n) { return terms({1}, {k}, {n}); }

inline double as_double(const ZEM_fraction& f) { return double(f.numerator()) / double(f.denominator()); }

// The value under exp(2*pi*i/n) -> exp(2*pi*i*a/n), a coprime to the order.
inline std::complex<double> value(const ZEM_cyclotomic_number& x, long long a = 1)
{
    std::complex<double> sum = 0;
    for (int k = 0; k < x.order; ++k)
        sum += as_double(x.coefficients[k]) * std::polar(1.0, 2 * std::numbers::pi * double(a * k % x.order) / x.order);
    return sum;
}

inline bool near(std::complex<double> a, std::complex<double> b) { return std::abs(a - b) < 1e-9 * (1 + std::abs(a)); }

// Order never 2 mod 4, one coefficient per root, and zero on the excluded sets of
// every prime power p^e of the order, marked as they are defined, one by one.
inline bool is_canonical(const ZEM_cyclotomic_number& x)
{
    const int n = x.order;
    if (n < 1 || n % 4 == 2 || x.coefficients.count() != n) return false;
    for (int p = 2, left = n; p <= left; ++p) {
        if (left % p != 0) continue;
        int power = 1;
        for (; left % p == 0; left /= p) power *= p;
        const int rest = n / power, high = p == 2 ? power - 1 : (power / p - 1) / 2, low = p == 2 ? power / 2 : -high;
        for (int t = 0; t < n; t += power)
            for (int d = low; d <= high; ++d)
                if (!x.coefficients[((t + d * rest) % n + n) % n].is_zero()) return false;
    }
    return true;
}

// Order n, each coefficient present with the given density and drawn from -range .. range
// over a denominator from 1 .. denominators; brought to canonical form unless asked not to.
inline ZEM_cyclotomic_number random_value(std::mt19937& random, int n, int range, int denominators = 1,
                                          double density = 0.7, bool reduced = true)
{
    std::uniform_int_distribution<int> numerator(-range, range), denominator(1, denominators);
    std::bernoulli_distribution present(density);
    ZEM_cyclotomic_number x(n, 0);
    for (int k = 0; k < n; ++k)
        if (present(random)) x.coefficients[k] = ZEM_fraction(numerator(random), denominator(random));
    if (reduced) x.reduce();
    return x;
}

}
