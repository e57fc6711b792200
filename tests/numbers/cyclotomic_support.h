// Independent views of a cyclotomic number for the tests: its complex value, the
// admissible indices of an order enumerated from their definition, and the checks
// that a value is in canonical form.
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

inline std::complex<double> root(long long k, long long n)
{
    return std::polar(1.0, 2.0 * std::numbers::pi * static_cast<double>(k % n) / static_cast<double>(n));
}

inline double as_double(const ZEM_fraction& f) { return double(f.numerator()) / double(f.denominator()); }

// The value under exp(2*pi*i/n) -> exp(2*pi*i*a/n), a coprime to the order.
inline std::complex<double> value(const ZEM_cyclotomic_number& x, long long a = 1)
{
    std::complex<double> sum = 0;
    for (int k = 0; k < x.order; ++k) sum += as_double(x.coefficients[k]) * root(a * k, x.order);
    return sum;
}

inline bool near(std::complex<double> a, std::complex<double> b) { return std::abs(a - b) < 1e-9 * (1 + std::abs(a)); }

inline int gcd(int a, int b) { return b == 0 ? a : gcd(b, a % b); }

inline std::vector<int> primes_of(int n)
{
    std::vector<int> primes;
    for (int p = 2; p <= n; ++p)
        if (n % p == 0) {
            primes.push_back(p);
            while (n % p == 0) n /= p;
        }
    return primes;
}

// Marks the excluded sets of every prime of n as they are defined, one by one.
inline std::vector<bool> admissible(int n)
{
    std::vector<bool> ok(static_cast<std::size_t>(n), true);
    for (int p : primes_of(n)) {
        int power = 1;
        while (n % (power * p) == 0) power *= p;
        const int rest = n / power;
        if (p == 2) {
            for (int t = 0; t < n; t += power)
                for (int l = power / 2; l < power; ++l) ok[static_cast<std::size_t>((t + l * rest) % n)] = false;
        } else {
            const int h = (power / p - 1) / 2;
            for (int t = 0; t < n; t += power)
                for (int d = -h; d <= h; ++d) ok[static_cast<std::size_t>(((t + d * rest) % n + n) % n)] = false;
        }
    }
    return ok;
}

inline bool is_canonical(const ZEM_cyclotomic_number& x)
{
    if (x.order < 1 || x.order % 4 == 2 || x.coefficients.count() != x.order) return false;
    const std::vector<bool> ok = admissible(x.order);
    for (int k = 0; k < x.order; ++k) {
        const ZEM_fraction& c = x.coefficients[k];
        if (c.denominator() <= 0 || gcd(std::abs(c.numerator()), c.denominator()) != 1) return false;
        if (!c.is_zero() && !ok[static_cast<std::size_t>(k)]) return false;
    }
    return true;
}

// No smaller field holds x: for every prime p of the order some Galois element
// fixing exp(2*pi*i*p/order) moves x.
inline bool order_is_minimal(const ZEM_cyclotomic_number& x)
{
    const int n = x.order;
    for (int p : primes_of(n)) {
        bool moved = false;
        for (long long a = 1 + n / p; a < n && !moved; a += n / p)
            if (gcd(static_cast<int>(a), n) == 1 && !near(value(x, a), value(x))) moved = true;
        if (!moved) return false;
    }
    return true;
}

// Order n with every coefficient drawn from -range .. range over a denominator from 1 .. denominators.
inline ZEM_cyclotomic_number random_working(std::mt19937& random, int n, int range, int denominators = 1,
                                            double density = 0.7)
{
    std::uniform_int_distribution<int> numerator(-range, range);
    std::uniform_int_distribution<int> denominator(1, denominators);
    std::bernoulli_distribution present(density);
    ZEM_cyclotomic_number x(n, 0);
    for (int k = 0; k < n; ++k)
        if (present(random)) x.coefficients[k] = ZEM_fraction(numerator(random), denominator(random));
    return x;
}

inline ZEM_cyclotomic_number random_value(std::mt19937& random, int n, int range, int denominators = 1,
                                          double density = 0.7)
{
    ZEM_cyclotomic_number x = random_working(random, n, range, denominators, density);
    x.reduce();
    return x;
}

inline ZEM_cyclotomic_number working(int n, std::vector<std::pair<int, ZEM_fraction>> terms)
{
    ZEM_cyclotomic_number x(n, 0);
    for (const auto& [k, c] : terms) x.coefficients[k] += c;
    return x;
}

}
