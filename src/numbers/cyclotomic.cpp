#include "numbers/cyclotomic.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <numeric>
#include <optional>
#include <utility>
#include <vector>

#include <gmpxx.h>

#include "module-collections/linkedlist.h"
#include "module-object/error.h"
#include "module-object/string.h"

namespace {

long long largest_prime_factor(long long n)
{
    long long largest = 1;
    for (long long p = 2; p * p <= n; ++p)
        while (n % p == 0) {
            largest = p;
            n /= p;
        }
    return n > 1 ? n : largest;
}

std::uint64_t products_formed = 0;

}

cyclotomic_coefficients& cyclotomic_coefficients::operator=(const cyclotomic_coefficients& other)
{
    if (count_ == other.count_) {
        std::copy(other.begin(), other.end(), begin());
    } else if (this != &other) {
        cyclotomic_coefficients copy(other);
        swap(copy);
    }
    return *this;
}

void cyclotomic_coefficients::swap(cyclotomic_coefficients& other) noexcept
{
    if (on_heap() && other.on_heap()) {
        std::swap(heap_, other.heap_);
    } else if (!on_heap() && !other.on_heap()) {
        std::swap(single_, other.single_);
    } else {
        cyclotomic_coefficients& single = on_heap() ? other : *this;
        cyclotomic_coefficients& many = on_heap() ? *this : other;
        const ZEM_fraction kept = single.single_;
        ZEM_fraction* const block = many.heap_;
        std::destroy_at(&single.single_);
        single.heap_ = block;
        std::construct_at(&many.single_, kept);
    }
    std::swap(count_, other.count_);
}

std::uint64_t cyclotomic_coefficient_products() { return products_formed; }

ZEM_cyclotomic_number::ZEM_cyclotomic_number(int v) { coefficients[0] = ZEM_fraction(v); }

ZEM_cyclotomic_number::ZEM_cyclotomic_number(const ZEM_fraction& f) { coefficients[0] = f; }

ZEM_cyclotomic_number::ZEM_cyclotomic_number(int n, int)
{
    check_order(n);
    order = n;
    coefficients = cyclotomic_coefficients(n);
}

void ZEM_cyclotomic_number::check_order(long long n)
{
    if (n < 1) ZEM_FAIL("[ZEM_cyclotomic_number] order < 1");
    // The canonical form reaches indices up to n times the largest prime of n.
    if (n > INT_MAX || n * largest_prime_factor(n) > INT_MAX)
        ZEM_FAIL("[ZEM_cyclotomic_number] order too large");
}

ZEM_object* ZEM_cyclotomic_number::copy_object() const { return new ZEM_cyclotomic_number(*this); }

void ZEM_cyclotomic_number::print(std::ostream& out) const
{
    for (int k = 1; k < order; ++k) {
        if (coefficients[k].is_zero()) continue;
        coefficients[k].print(out);
        out << " * exp(2*pi*i*" << k << '/' << order << ')' << " + ";
    }
    coefficients[0].print(out);
}

ZEM_type ZEM_cyclotomic_number::type() const { return tp_cyclotomic(); }

ZEM_type tp_cyclotomic() { return ZEM_type("cyclotomic", 0); }

void ZEM_cyclotomic_number::reduce()
{
    convert_to_base();
    reduce_base();
}

namespace {

bool is_zero(const ZEM_fraction& c) { return c.is_zero(); }
bool is_zero(const mpz_class& c) { return sgn(c) == 0; }
bool is_zero(const mpq_class& c) { return sgn(c) == 0; }
bool is_zero(long long c) { return c == 0; }

// Rewrites the n coefficients c over the admissible indices of order n. Index sums
// stay under 3n, inside 32 bits by check_order; long long only spares the reader
// that argument.
template <class Coefficient>
void rewrite_over_base(Coefficient* c, long long n)
{
    long long rem = n;
    if (n % 2 == 0) {
        // zeta^j = -zeta^(j + n/2) clears the upper half of each residue class mod q.
        long long q = 2;
        while (n % (2 * q) == 0) q *= 2;
        const long long m = n / q;
        rem = m;
        for (long long t = 0; t < n; t += q)
            for (long long l = q / 2; l < q; ++l) {
                const long long j = (t + l * m) % n;
                if (is_zero(c[j])) continue;
                c[(j + n / 2) % n] -= c[j];
                c[j] = Coefficient();
            }
    }
    for (long long p = 3; p <= rem; p += 2) {
        if (rem % p != 0) continue;
        long long power = p;
        while (rem % (power * p) == 0) power *= p;
        rem /= power;
        // The p roots zeta^(j + l*n/p) sum to 0, so a window of residues mod p^e
        // around each multiple of p^e is spread over the other p - 1 cosets.
        const long long r = n / power;
        const long long h = (power / p - 1) / 2;
        const long long step = n / p;
        for (long long t = 0; t < n; t += power)
            for (long long d = -h; d <= h; ++d) {
                const long long j = (t + d * r + n) % n;
                if (is_zero(c[j])) continue;
                const Coefficient moved = c[j];
                for (long long l = 1; l < p; ++l) c[(j + l * step) % n] -= moved;
                c[j] = Coefficient();
            }
    }
}

}

void ZEM_cyclotomic_number::convert_to_base() { rewrite_over_base(coefficients.block(), order); }

namespace {

// Moves coefficient g*k to k for every k below n/g; the result has order n/g.
template <class Coefficient>
void compress(Coefficient* w, int n, int g)
{
    for (int k = 1; k < n / g; ++k) {
        w[k] = w[g * k];
        w[g * k] = Coefficient();
    }
}

struct order_facts {
    int phi = 1;
    bool squarefree = true;
    int distinct_primes = 0;
};

order_facts facts_of(int n)
{
    order_facts facts;
    facts.phi = n;
    int rem = n;
    for (int d = 2; d <= rem; ++d) {
        if (rem % d != 0) continue;
        facts.phi = facts.phi / d * (d - 1);
        if ((rem / d) % d == 0) facts.squarefree = false;
        ++facts.distinct_primes;
        while (rem % d == 0) rem /= d;
    }
    return facts;
}

// From the n coefficients w that rewrite_over_base gives: the smallest order of
// the value, its coefficients moved to the front of w.
template <class Coefficient>
int smallest_order(Coefficient* w, int n)
{
    int count = 0;
    int g = n;
    Coefficient common{};
    bool all_equal = true;
    for (int k = 0; k < n; ++k) {
        if (is_zero(w[k])) continue;
        ++count;
        if (g != 1) g = greatest_common_divisor(g, k);
        if (is_zero(common))
            common = w[k];
        else if (w[k] != common)
            all_equal = false;
    }

    int current = n;
    if (g > 1) {
        compress(w, n, g);
        current = n / g;
    }

    const order_facts facts = facts_of(current);
    // The primitive roots of a squarefree order sum to mu(order).
    if (count == facts.phi && all_equal && facts.squarefree) {
        w[0] = facts.distinct_primes % 2 == 0 ? common : Coefficient(-common);
        current = 1;
    }

    // A value of a smaller field shows at order N = p * N' (p exactly dividing N) as
    // equal coefficients across each coset k + l*N/p, l = 1 .. p - 1.
    const int bound = greatest_common_divisor(facts.phi, count);
    if (current >= 3) {
        int rem = current;
        for (int p = 3; p <= rem; p += 2) {
            if (p - 1 > bound) break;
            if (rem % p != 0) continue;
            while (rem % p == 0) rem /= p;
            const int big_n = current;
            if (big_n % (p * p) == 0 || count % (p - 1) != 0) continue;
            const int step = big_n / p;
            bool cosets_equal = true;
            for (int k = 0; k < big_n && cosets_equal; k += p) {
                const Coefficient& first = w[(k + step) % big_n];
                for (int l = 2; l < p; ++l)
                    if (w[(k + l * step) % big_n] != first) {
                        cosets_equal = false;
                        break;
                    }
            }
            if (!cosets_equal) continue;
            for (int k = 0; k < big_n; k += p) {
                w[k] = -w[(k + step) % big_n];
                for (int l = 1; l < p; ++l) w[(k + l * step) % big_n] = Coefficient();
            }
            count /= p - 1;
            compress(w, big_n, p);
            current = big_n / p;
        }
    }
    return current;
}

}

void ZEM_cyclotomic_number::reduce_base()
{
    const int current = smallest_order(coefficients.block(), order);
    if (current != order) {
        cyclotomic_coefficients result(current);
        std::copy(coefficients.begin(), coefficients.begin() + current, result.begin());
        coefficients = std::move(result);
    }
    order = current;
}

int operator==(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y)
{
    if (x.order != y.order) return 0;
    for (int k = 0; k < x.order; ++k)
        if (x.coefficients[k] != y.coefficients[k]) return 0;
    return 1;
}

int operator!=(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y) { return (x == y) ? 0 : 1; }

int hash(const ZEM_cyclotomic_number& x)
{
    unsigned h = 0;
    for (int k = 0; k < x.order; ++k)
        h += static_cast<unsigned>(k) * static_cast<unsigned>(hash(x.coefficients[k]));
    return static_cast<int>(h);
}

// Every coefficient operation below is the checked fraction arithmetic, so an
// overflow fails with the fraction's message instead of giving a wrong value.

ZEM_cyclotomic_number operator-(const ZEM_cyclotomic_number& x)
{
    if (x.order == 1) return ZEM_cyclotomic_number(-x.coefficients[0]);
    ZEM_cyclotomic_number r(x.order, 0);
    for (int k = 0; k < x.order; ++k) r.coefficients[k] = -x.coefficients[k];
    r.reduce();
    return r;
}

namespace {

// x and y lifted to the order of their least common multiple and combined
// coefficient by coefficient: r_k op y_m at the positions of y.
template <class Combine>
ZEM_cyclotomic_number lift_and_combine(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y,
                                       Combine combine)
{
    if (x.order == 1 && y.order == 1) {
        ZEM_fraction r = x.coefficients[0];
        combine(r, y.coefficients[0]);
        return ZEM_cyclotomic_number(r);
    }
    const int n = smallest_common_multiple(x.order, y.order);
    ZEM_cyclotomic_number r(n, 0);
    const int sx = n / x.order;
    for (int j = 0; j < x.order; ++j) r.coefficients[j * sx] = x.coefficients[j];
    const int sy = n / y.order;
    for (int m = 0; m < y.order; ++m) combine(r.coefficients[m * sy], y.coefficients[m]);
    r.reduce();
    return r;
}

}

namespace {

// The wide arithmetic: values of the group ring Q[zeta]/(zeta^n - 1) as integers of
// any size over one common denominator, so that a product costs integer
// multiply-adds and no fraction arithmetic. The ring maps onto the field of order
// n, so products can be formed there and only the result brought to canonical form.
struct wide_value {
    std::vector<mpz_class> numerators;
    mpz_class denominator;
};

// x at the order n, a multiple of its own.
wide_value widened(const ZEM_cyclotomic_number& x, std::size_t n)
{
    wide_value w{std::vector<mpz_class>(n), 1};
    const mpz_ptr denominator = w.denominator.get_mpz_t();
    for (const ZEM_fraction& c : x.coefficients)
        if (!c.is_zero()) mpz_lcm_ui(denominator, denominator, static_cast<unsigned long>(c.denominator()));
    const std::size_t step = n / static_cast<std::size_t>(x.order);
    for (int k = 0; k < x.order; ++k) {
        const ZEM_fraction& c = x.coefficients[k];
        if (c.is_zero()) continue;
        w.numerators[static_cast<std::size_t>(k) * step] = w.denominator / c.denominator() * c.numerator();
    }
    return w;
}

wide_value operator*(const wide_value& a, const wide_value& b)
{
    const std::size_t n = a.numerators.size();
    std::vector<std::size_t> nonzero;
    for (std::size_t m = 0; m < n; ++m)
        if (sgn(b.numerators[m]) != 0) nonzero.push_back(m);
    wide_value r{std::vector<mpz_class>(n), a.denominator * b.denominator};
    for (std::size_t j = 0; j < n; ++j) {
        if (sgn(a.numerators[j]) == 0) continue;
        for (std::size_t m : nonzero)
            mpz_addmul(r.numerators[(j + m) % n].get_mpz_t(), a.numerators[j].get_mpz_t(), b.numerators[m].get_mpz_t());
    }
    return r;
}

// The mean of the conjugates of the value with the n coefficients c: the value
// itself when it is rational. The trace over the rationals of zeta^k, divided by
// phi(n), is mu(d)/phi(d) with d = n / gcd(k, n).
template <class Coefficient>
Coefficient mean_of_conjugates(const Coefficient* c, int n)
{
    Coefficient mean{};
    for (int k = 0; k < n; ++k) {
        if (is_zero(c[k])) continue;
        const order_facts facts = facts_of(n / greatest_common_divisor(n, k));
        if (!facts.squarefree) continue;
        mean += c[k] * Coefficient(facts.distinct_primes % 2 == 0 ? 1 : -1, facts.phi);
    }
    return mean;
}

ZEM_fraction narrowed(const mpq_class& c)
{
    if (!c.get_num().fits_sint_p() || !c.get_den().fits_sint_p())
        ZEM_FAIL("[ZEM_fraction] overflow");
    return ZEM_fraction(static_cast<int>(c.get_num().get_si()), static_cast<int>(c.get_den().get_si()));
}

// Canonical form; fails only when a canonical coefficient leaves 32 bits. A value
// of a smaller order can have larger coefficients at this one (a rational c is
// -c * (zeta_3 + zeta_3^2) at order 3), so the order is reduced before narrowing.
ZEM_cyclotomic_number narrowed(wide_value r)
{
    rewrite_over_base(r.numerators.data(), static_cast<int>(r.numerators.size()));
    const int n = smallest_order(r.numerators.data(), static_cast<int>(r.numerators.size()));
    ZEM_cyclotomic_number result(n, 0);
    for (int k = 0; k < n; ++k) {
        const mpz_class& numerator = r.numerators[static_cast<std::size_t>(k)];
        if (sgn(numerator) == 0) continue;
        mpq_class c(numerator, r.denominator);
        c.canonicalize();
        result.coefficients[k] = narrowed(c);
    }
    return result;
}

// The 32-bit arithmetic goes first: where it succeeds its result is exact. When a
// step on the way overflows, the value is formed again exactly, so that only a
// result that leaves 32 bits fails.
template <class Narrow, class Exact>
auto exactly(Narrow narrow, Exact exact) -> decltype(narrow())
{
    try {
        return narrow();
    } catch (const ZEM_string& failure) {
        if (!failed_with(failure, "[ZEM_fraction] overflow")) throw;
    }
    return exact();
}

mpq_class exact_of(const ZEM_fraction& f) { return mpq_class(f.numerator(), f.denominator()); }

}

// The n = order coefficients, canonical between operations.
struct exact_cyclotomic_form {
    int order = 1;
    std::vector<mpq_class> coefficients = std::vector<mpq_class>(1);
};

namespace {

void bring_to_canonical_form(exact_cyclotomic_form& x)
{
    rewrite_over_base(x.coefficients.data(), x.order);
    x.order = smallest_order(x.coefficients.data(), x.order);
    x.coefficients.resize(static_cast<std::size_t>(x.order));
}

// Fails only when a coefficient of the canonical form leaves 32 bits.
ZEM_cyclotomic_number narrowed(const exact_cyclotomic_form& x)
{
    if (x.order == 1) return ZEM_cyclotomic_number(narrowed(x.coefficients[0]));
    ZEM_cyclotomic_number r(x.order, 0);
    for (int k = 0; k < x.order; ++k) {
        const mpq_class& c = x.coefficients[static_cast<std::size_t>(k)];
        if (!is_zero(c)) r.coefficients[k] = narrowed(c);
    }
    return r;
}

}

ZEM_cyclotomic_number::ZEM_cyclotomic_number(const ZEM_linkedlist<ZEM_fraction>& c, const ZEM_linkedlist<ZEM_int>& a,
                                             const ZEM_linkedlist<ZEM_int>& d)
{
    long long n = 1;
    for (ZEM_iterator<ZEM_int> it(d.create_iter_at_begin()); it; it++) {
        const long long denominator = (*it).value();
        if (denominator == 0) ZEM_FAIL("[ZEM_cyclotomic_number] denominator == 0");
        const long long magnitude = denominator < 0 ? -denominator : denominator;
        n = n / greatest_common_divisor(static_cast<int>(n), static_cast<int>(magnitude % n)) * magnitude;
        if (n > INT_MAX) ZEM_FAIL("[ZEM_cyclotomic_number] order too large");
    }
    check_order(n);
    // Each term adds its factor at the position of its root.
    const auto add_terms = [&](auto add) {
        ZEM_iterator<ZEM_fraction> factor(c.create_iter_at_begin());
        ZEM_iterator<ZEM_int> numerator(a.create_iter_at_begin());
        ZEM_iterator<ZEM_int> denominator(d.create_iter_at_begin());
        for (; factor && numerator && denominator; factor++, numerator++, denominator++) {
            long long up = (*numerator).value();
            long long down = (*denominator).value();
            if (down < 0) {
                up = -up;
                down = -down;
            }
            // Reducing the numerator first keeps the position below the order.
            long long residue = up % down;
            if (residue < 0) residue += down;
            add(static_cast<std::size_t>(n / down * residue), *factor);
        }
    };
    *this = exactly(
        [&] {
            ZEM_cyclotomic_number r(static_cast<int>(n), 0);
            add_terms([&](std::size_t k, const ZEM_fraction& f) { r.coefficients[static_cast<int>(k)] += f; });
            r.reduce();
            return r;
        },
        // The sum of the terms does not depend on their order, so neither may its failure.
        [&] {
            exact_cyclotomic_form r;
            r.order = static_cast<int>(n);
            r.coefficients.resize(static_cast<std::size_t>(n));
            add_terms([&](std::size_t k, const ZEM_fraction& f) { r.coefficients[k] += exact_of(f); });
            bring_to_canonical_form(r);
            return narrowed(r);
        });
}

// Coefficients of different orders meet in the rewrite over the common order's
// base, so a sum that fits can overflow on the way.
ZEM_cyclotomic_number operator+(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y)
{
    return exactly([&] { return lift_and_combine(x, y, [](ZEM_fraction& r, const ZEM_fraction& c) { r += c; }); },
                   [&] { return (exact_cyclotomic_number(x) + exact_cyclotomic_number(y)).narrow(); });
}

ZEM_cyclotomic_number operator-(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y)
{
    return exactly([&] { return lift_and_combine(x, y, [](ZEM_fraction& r, const ZEM_fraction& c) { r -= c; }); },
                   [&] { return (exact_cyclotomic_number(x) - exact_cyclotomic_number(y)).narrow(); });
}

namespace {

ZEM_cyclotomic_number narrow_product(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y)
{
    const long long n = smallest_common_multiple(x.order, y.order);
    ZEM_cyclotomic_number r(static_cast<int>(n), 0);
    const long long sx = n / x.order;
    const long long sy = n / y.order;
    // A zero coefficient adds nothing, so only the non-zero ones are multiplied.
    std::vector<int> nonzero;
    for (int m = 0; m < y.order; ++m)
        if (!y.coefficients[m].is_zero()) nonzero.push_back(m);
    for (int j = 0; j < x.order; ++j) {
        if (x.coefficients[j].is_zero()) continue;
        products_formed += nonzero.size();
        for (int m : nonzero) r.coefficients[(sx * j + sy * m) % n] += x.coefficients[j] * y.coefficients[m];
    }
    r.reduce();
    return r;
}

}

ZEM_cyclotomic_number operator*(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y)
{
    // Of two rationals the fraction product, which fails only when the result leaves 32 bits.
    if (x.order == 1 && y.order == 1) {
        ++products_formed;
        return ZEM_cyclotomic_number(x.coefficients[0] * y.coefficients[0]);
    }
    return exactly([&] { return narrow_product(x, y); }, [&] {
        const std::size_t n = static_cast<std::size_t>(smallest_common_multiple(x.order, y.order));
        return narrowed(widened(x, n) * widened(y, n));
    });
}

// A non-zero rational factor keeps every coefficient where it is, so the form stays canonical.
ZEM_cyclotomic_number operator*(const ZEM_fraction& f, const ZEM_cyclotomic_number& x)
{
    if (f.is_zero()) return ZEM_cyclotomic_number();
    ZEM_cyclotomic_number r(x.order, 0);
    for (int k = 0; k < x.order; ++k) r.coefficients[k] = f * x.coefficients[k];
    return r;
}

// Fraction products commute exactly, so both sides give the same coefficients.
ZEM_cyclotomic_number operator*(const ZEM_cyclotomic_number& x, const ZEM_fraction& f) { return f * x; }

ZEM_cyclotomic_number complex_conjugate(const ZEM_cyclotomic_number& x)
{
    const int n = x.order;
    if (n == 1) return x;
    ZEM_cyclotomic_number r(n, 0);
    for (int k = 0; k < n; ++k) r.coefficients[k] = x.coefficients[(n - k) % n];
    r.reduce();
    return r;
}

namespace {

// 1/x is the product of the other Galois conjugates of x divided by the norm,
// their product with x, which is rational. The products stay in 32 bits: where one
// overflows, the exact quotient takes over at once.
ZEM_cyclotomic_number narrow_inverse(const ZEM_cyclotomic_number& x)
{
    const int n = x.order;
    if (n == 1) return ZEM_cyclotomic_number(ZEM_fraction(1) / x.coefficients[0]);
    ZEM_cyclotomic_number others(1);
    for (int k = 2; k < n; ++k) {
        if (greatest_common_divisor(n, k) != 1) continue;
        ZEM_cyclotomic_number conjugate(n, 0);
        for (int j = 0; j < n; ++j)
            if (!x.coefficients[j].is_zero())
                conjugate.coefficients[static_cast<int>(static_cast<long long>(k) * j % n)] = x.coefficients[j];
        others = narrow_product(others, conjugate);
    }
    const ZEM_cyclotomic_number norm = narrow_product(x, others);
    const ZEM_fraction factor = ZEM_fraction(1) / norm.coefficients[0];
    return others * factor;
}

// Arithmetic modulo a prime below 2^31, where a product of two residues fits in 64 bits.
struct prime_field {
    std::uint64_t p;

    std::uint64_t of(long long v) const
    {
        const long long r = v % static_cast<long long>(p);
        return static_cast<std::uint64_t>(r < 0 ? r + static_cast<long long>(p) : r);
    }
    std::uint64_t plus(std::uint64_t a, std::uint64_t b) const { return (a + b) % p; }
    std::uint64_t minus(std::uint64_t a, std::uint64_t b) const { return a >= b ? a - b : a + p - b; }
    std::uint64_t times(std::uint64_t a, std::uint64_t b) const { return a * b % p; }
    std::uint64_t power(std::uint64_t a, std::uint64_t e) const
    {
        std::uint64_t r = 1;
        for (; e > 0; e /= 2, a = times(a, a))
            if (e % 2 == 1) r = times(r, a);
        return r;
    }
    // Of a residue other than 0.
    std::uint64_t inverse(std::uint64_t a) const { return power(a, p - 2); }
};

// Miller-Rabin with the bases 2, 7 and 61 decides every odd v above 61 and below 4759123141.
bool is_prime(std::uint64_t v)
{
    const prime_field field{v};
    std::uint64_t odd = v - 1;
    int twos = 0;
    for (; odd % 2 == 0; odd /= 2) ++twos;
    for (const std::uint64_t base : {2, 7, 61}) {
        std::uint64_t a = field.power(base, odd);
        bool passed = a == 1 || a == v - 1;
        for (int k = 1; k < twos && !passed; ++k) {
            a = field.times(a, a);
            passed = a == v - 1;
        }
        if (!passed) return false;
    }
    return true;
}

// A polynomial modulo the prime, coefficient k belonging to z^k, without leading zeros.
using residues = std::vector<std::uint64_t>;

void trim(residues& a)
{
    while (!a.empty() && a.back() == 0) a.pop_back();
}

// a := a - c * z^shift * b.
void subtract_shifted(residues& a, const residues& b, std::uint64_t c, std::size_t shift, const prime_field& field)
{
    if (a.size() < b.size() + shift) a.resize(b.size() + shift);
    for (std::size_t k = 0; k < b.size(); ++k) a[shift + k] = field.minus(a[shift + k], field.times(c, b[k]));
}

// Divides a by the monic f: returns the quotient and leaves the remainder in a.
residues long_division(residues& a, const residues& f, const prime_field& field)
{
    const std::size_t d = f.size() - 1;
    residues quotient(a.size() > d ? a.size() - d : 0);
    for (std::size_t top = a.size(); top-- > d;) {
        quotient[top - d] = a[top];
        if (a[top] != 0) subtract_shifted(a, f, a[top], top - d, field);
    }
    trim(a);
    trim(quotient);
    return quotient;
}

// p(z^e).
residues stretched(const residues& p, std::size_t e)
{
    residues r((p.size() - 1) * e + 1);
    for (std::size_t k = 0; k < p.size(); ++k) r[k * e] = p[k];
    return r;
}

// Phi_n: Phi_(m*q)(z) = Phi_m(z^q) / Phi_m(z) for a prime q not dividing m, and
// Phi_n(z) = Phi_r(z^(n/r)) for the product r of the primes of n.
residues cyclotomic_polynomial(int n, const prime_field& field)
{
    residues phi{field.p - 1, 1};
    int radical = 1;
    auto join = [&](int q) {
        residues lifted_phi = stretched(phi, static_cast<std::size_t>(q));
        phi = long_division(lifted_phi, phi, field);
        radical *= q;
    };
    int rest = n;
    for (int q = 2; q <= rest / q; ++q) {
        if (rest % q != 0) continue;
        join(q);
        while (rest % q == 0) rest /= q;
    }
    if (rest > 1) join(rest);
    return stretched(phi, static_cast<std::size_t>(n / radical));
}

// The inverse of a modulo the monic f by Euclid's algorithm, keeping r_i = s_i * a
// modulo f; nothing when a and f have a common factor.
std::optional<residues> inverse_modulo(residues a, const residues& f, const prime_field& field)
{
    residues r0 = f, r1 = std::move(a), s0, s1{1};
    trim(r1);
    while (r1.size() > 1) {
        const std::uint64_t lead = field.inverse(r1.back());
        while (r0.size() >= r1.size()) {
            const std::uint64_t c = field.times(r0.back(), lead);
            const std::size_t shift = r0.size() - r1.size();
            subtract_shifted(r0, r1, c, shift, field);
            subtract_shifted(s0, s1, c, shift, field);
            trim(r0);
        }
        trim(s0);
        std::swap(r0, r1);
        std::swap(s0, s1);
    }
    if (r1.empty()) return std::nullopt;
    const std::uint64_t c = field.inverse(r1[0]);
    for (std::uint64_t& v : s1) v = field.times(v, c);
    return s1;
}

// x at the order n modulo f; nothing when the prime divides a denominator.
std::optional<residues> residues_of(const ZEM_cyclotomic_number& x, int n, const residues& f,
                                    const prime_field& field)
{
    residues a(static_cast<std::size_t>(n));
    const int step = n / x.order;
    for (int k = 0; k < x.order; ++k) {
        const ZEM_fraction& c = x.coefficients[k];
        if (c.is_zero()) continue;
        const std::uint64_t down = field.of(c.denominator());
        if (down == 0) return std::nullopt;
        a[static_cast<std::size_t>(k * step)] = field.times(field.of(c.numerator()), field.inverse(down));
    }
    long_division(a, f, field);
    return a;
}

// x / y at the order n modulo the prime, over the admissible indices of n; nothing
// when the prime divides a denominator or y has no inverse modulo it. For every
// other prime the quotient's own coefficients have no factor p in their denominators.
std::optional<residues> quotient_modulo(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y, int n,
                                        const prime_field& field)
{
    const residues f = cyclotomic_polynomial(n, field);
    const std::optional<residues> top = residues_of(x, n, f, field), bottom = residues_of(y, n, f, field);
    if (!top || !bottom) return std::nullopt;
    const std::optional<residues> inverse = inverse_modulo(*bottom, f, field);
    if (!inverse) return std::nullopt;
    residues product(top->size() + inverse->size());
    for (std::size_t j = 0; j < top->size(); ++j)
        for (std::size_t m = 0; m < inverse->size(); ++m)
            product[j + m] = field.plus(product[j + m], field.times((*top)[j], (*inverse)[m]));
    long_division(product, f, field);
    // Each step of the rewrite subtracts into an index at most once, so the residues
    // below 2^31 stay below 2^41 on the way.
    std::vector<long long> c(static_cast<std::size_t>(n));
    std::copy(product.begin(), product.end(), c.begin());
    rewrite_over_base(c.data(), n);
    residues r(c.size());
    for (std::size_t k = 0; k < c.size(); ++k) r[k] = field.of(c[k]);
    return r;
}

// The fraction a/b with |a| <= 2^60 and 0 < b < 2^31 that is u modulo m, when there
// is one; for m above 2^92 there is at most one, the first remainder of Euclid's
// algorithm on m and u at or below 2^60 over its cofactor. The numerator may leave
// 32 bits: at the common order a value of a smaller one can have coefficients
// that its own order does not (-2^31 is 2^31 * (zeta_3 + zeta_3^2)).
std::optional<mpq_class> reconstructed(__int128 u, __int128 m)
{
    __int128 r0 = m, r1 = u, t0 = 0, t1 = 1;
    while (r1 > (__int128(1) << 60)) {
        const __int128 q = r0 / r1;
        r0 = std::exchange(r1, r0 - q * r1);
        t0 = std::exchange(t1, t0 - q * t1);
    }
    if (t1 < 0) {
        r1 = -r1;
        t1 = -t1;
    }
    if (t1 > INT_MAX) return std::nullopt;
    const long long a = static_cast<long long>(r1), b = static_cast<long long>(t1);
    if (std::gcd(a, b) != 1) return std::nullopt;
    mpq_class c(0);
    mpz_set_si(c.get_num_mpz_t(), a);
    mpz_set_si(c.get_den_mpz_t(), b);
    return c;
}

// x / y for a non-zero y, at the cost of a few products modulo primes instead of the
// product of all conjugates, whose numbers grow without bound. The quotient modulo
// three primes above 2^30 fixes every coefficient with a numerator up to 2^60 and a
// 32-bit denominator, so a coefficient that no such fraction matches, or a candidate
// that y does not take back to x, means that the quotient leaves 32 bits.
ZEM_cyclotomic_number modular_quotient(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y)
{
    // The 32-bit inverse of zero fails first; here every prime would be rejected.
    if (y == ZEM_cyclotomic_number()) ZEM_FAIL("[ZEM_fraction::simple_fraction] denominator == 0");
    const int n = smallest_common_multiple(x.order, y.order);
    std::vector<unsigned __int128> joined(static_cast<std::size_t>(n));
    unsigned __int128 modulus = 1;
    for (std::uint64_t p = INT_MAX, found = 0; found < 3; p -= 2) {
        if (!is_prime(p)) continue;
        const prime_field field{p};
        const std::optional<residues> q = quotient_modulo(x, y, n, field);
        if (!q) continue;
        // Chinese remainders: joined stays below modulus, now for modulus * p.
        const std::uint64_t factor = field.inverse(static_cast<std::uint64_t>(modulus % p));
        for (std::size_t k = 0; k < joined.size(); ++k)
            joined[k] += modulus * field.times(field.minus((*q)[k], static_cast<std::uint64_t>(joined[k] % p)), factor);
        modulus *= p;
        ++found;
    }
    exact_cyclotomic_form candidate;
    candidate.order = n;
    candidate.coefficients.resize(static_cast<std::size_t>(n));
    for (std::size_t k = 0; k < joined.size(); ++k) {
        std::optional<mpq_class> c = reconstructed(static_cast<__int128>(joined[k]), static_cast<__int128>(modulus));
        if (!c) ZEM_FAIL("[ZEM_fraction] overflow");
        candidate.coefficients[k] = std::move(*c);
    }
    bring_to_canonical_form(candidate);
    const ZEM_cyclotomic_number r = narrowed(candidate);
    if (y * r != x) ZEM_FAIL("[ZEM_fraction] overflow");
    return r;
}

}

ZEM_cyclotomic_number invert(const ZEM_cyclotomic_number& x)
{
    return exactly([&] { return narrow_inverse(x); }, [&] { return modular_quotient(ZEM_cyclotomic_number(1), x); });
}

ZEM_cyclotomic_number operator/(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y)
{
    if (x.order == 1 && y.order == 1) return ZEM_cyclotomic_number(x.coefficients[0] / y.coefficients[0]);
    return exactly([&] { return narrow_product(x, narrow_inverse(y)); }, [&] { return modular_quotient(x, y); });
}

// The trace of the positive x * conj(x) is the sum of |sigma(x)|^2.
ZEM_fraction pivot_size(const ZEM_cyclotomic_number& x)
{
    if (x.order == 1) return x.coefficients[0] * x.coefficients[0];
    return exactly(
        [&] {
            const ZEM_cyclotomic_number product = complex_conjugate(x) * x;
            return mean_of_conjugates(product.coefficients.block(), product.order);
        },
        [&] {
            mpq_class size;
            exact_cyclotomic_number(x).pivot_size(size.get_mpq_t());
            return narrowed(size);
        });
}

namespace {

using exact_form = std::unique_ptr<exact_cyclotomic_form>;

// Order n with n zero coefficients, not reduced.
exact_form working_form(int n)
{
    ZEM_cyclotomic_number::check_order(n);
    auto r = std::make_unique<exact_cyclotomic_form>();
    r->order = n;
    r->coefficients.resize(static_cast<std::size_t>(n));
    return r;
}

// x lifted to the order n, a multiple of its own, with a zero array to combine into.
exact_form lifted(const exact_cyclotomic_form& x, int n)
{
    exact_form r = working_form(n);
    const std::size_t step = static_cast<std::size_t>(n / x.order);
    for (std::size_t k = 0; k < x.coefficients.size(); ++k) r->coefficients[k * step] = x.coefficients[k];
    return r;
}

template <class Combine>
exact_form exact_combined(const exact_cyclotomic_form& x, const exact_cyclotomic_form& y, Combine combine)
{
    const int n = smallest_common_multiple(x.order, y.order);
    exact_form r = lifted(x, n);
    const std::size_t step = static_cast<std::size_t>(n / y.order);
    for (std::size_t m = 0; m < y.coefficients.size(); ++m) combine(r->coefficients[m * step], y.coefficients[m]);
    bring_to_canonical_form(*r);
    return r;
}

exact_form exact_product(const exact_cyclotomic_form& x, const exact_cyclotomic_form& y)
{
    const std::size_t n = static_cast<std::size_t>(smallest_common_multiple(x.order, y.order));
    exact_form r = working_form(static_cast<int>(n));
    const std::size_t sx = n / static_cast<std::size_t>(x.order), sy = n / static_cast<std::size_t>(y.order);
    for (std::size_t j = 0; j < x.coefficients.size(); ++j) {
        if (is_zero(x.coefficients[j])) continue;
        for (std::size_t m = 0; m < y.coefficients.size(); ++m)
            if (!is_zero(y.coefficients[m]))
                r->coefficients[(sx * j + sy * m) % n] += x.coefficients[j] * y.coefficients[m];
    }
    bring_to_canonical_form(*r);
    return r;
}

// The conjugate zeta -> zeta^k of x, k prime to its order.
exact_form exact_conjugate(const exact_cyclotomic_form& x, int k)
{
    const long long n = x.order;
    exact_form r = working_form(x.order);
    for (long long j = 0; j < n; ++j)
        r->coefficients[static_cast<std::size_t>(k * j % n)] = x.coefficients[static_cast<std::size_t>(j)];
    bring_to_canonical_form(*r);
    return r;
}

exact_form exact_form_of(const ZEM_cyclotomic_number& x)
{
    auto r = std::make_unique<exact_cyclotomic_form>();
    r->order = x.order;
    r->coefficients.resize(static_cast<std::size_t>(x.order));
    for (int k = 0; k < x.order; ++k) {
        const ZEM_fraction& c = x.coefficients[k];
        if (!c.is_zero()) r->coefficients[static_cast<std::size_t>(k)] = exact_of(c);
    }
    return r;
}

// 1/x: the product of the other Galois conjugates of x over the norm, their
// (rational) product with x. The coefficients grow, but exactly.
exact_form exact_inverse(const exact_cyclotomic_form& x)
{
    if (x.order == 1 && is_zero(x.coefficients[0])) ZEM_FAIL("[ZEM_fraction::simple_fraction] denominator == 0");
    exact_form others = std::make_unique<exact_cyclotomic_form>();
    others->coefficients[0] = 1;
    for (int k = 2; k < x.order; ++k)
        if (greatest_common_divisor(x.order, k) == 1) others = exact_product(*others, *exact_conjugate(x, k));
    const exact_form norm = exact_product(x, *others);
    const mpq_class factor = 1 / norm->coefficients[0];
    for (mpq_class& c : others->coefficients) c *= factor;
    return others;
}

}

exact_cyclotomic_number::exact_cyclotomic_number(std::unique_ptr<exact_cyclotomic_form> form) : form_(std::move(form))
{
}

exact_cyclotomic_number::exact_cyclotomic_number(const ZEM_cyclotomic_number& x) : form_(exact_form_of(x)) {}

exact_cyclotomic_number::exact_cyclotomic_number(mpz_srcptr numerator, mpz_srcptr denominator)
    : form_(std::make_unique<exact_cyclotomic_form>())
{
    mpq_class& c = form_->coefficients[0];
    mpz_set(c.get_num_mpz_t(), numerator);
    mpz_set(c.get_den_mpz_t(), denominator);
    c.canonicalize();
}

exact_cyclotomic_number::exact_cyclotomic_number(const exact_cyclotomic_number& other)
    : form_(std::make_unique<exact_cyclotomic_form>(*other.form_))
{
}

exact_cyclotomic_number::exact_cyclotomic_number(exact_cyclotomic_number&& other) noexcept = default;

exact_cyclotomic_number& exact_cyclotomic_number::operator=(const exact_cyclotomic_number& other)
{
    exact_cyclotomic_number copy(other);
    return *this = std::move(copy);
}

exact_cyclotomic_number& exact_cyclotomic_number::operator=(exact_cyclotomic_number&& other) noexcept = default;

exact_cyclotomic_number::~exact_cyclotomic_number() = default;

mpq_srcptr exact_cyclotomic_number::rational() const
{
    return form_->order == 1 ? form_->coefficients[0].get_mpq_t() : nullptr;
}

ZEM_cyclotomic_number exact_cyclotomic_number::narrow() const { return narrowed(*form_); }

// As pivot_size does it: the mean of the conjugates of x * conj(x).
void exact_cyclotomic_number::pivot_size(mpq_ptr size) const
{
    const exact_form product = exact_product(*form_, *exact_conjugate(*form_, form_->order - 1));
    const mpq_class mean = mean_of_conjugates(product->coefficients.data(), product->order);
    mpq_set(size, mean.get_mpq_t());
}

exact_cyclotomic_number operator+(const exact_cyclotomic_number& x, const exact_cyclotomic_number& y)
{
    const auto combine = [](mpq_class& r, const mpq_class& c) { r += c; };
    return exact_cyclotomic_number(exact_combined(*x.form_, *y.form_, combine));
}

exact_cyclotomic_number operator-(const exact_cyclotomic_number& x, const exact_cyclotomic_number& y)
{
    const auto combine = [](mpq_class& r, const mpq_class& c) { r -= c; };
    return exact_cyclotomic_number(exact_combined(*x.form_, *y.form_, combine));
}

exact_cyclotomic_number operator*(const exact_cyclotomic_number& x, const exact_cyclotomic_number& y)
{
    return exact_cyclotomic_number(exact_product(*x.form_, *y.form_));
}

exact_cyclotomic_number operator/(const exact_cyclotomic_number& x, const exact_cyclotomic_number& y)
{
    return exact_cyclotomic_number(exact_product(*x.form_, *exact_inverse(*y.form_)));
}

exact_cyclotomic_number complex_conjugate(const exact_cyclotomic_number& x)
{
    return exact_cyclotomic_number(exact_conjugate(*x.form_, x.form_->order - 1));
}

// Coefficient 0 can fit where the others of the product do not.
ZEM_fraction abs_value_squared(const ZEM_cyclotomic_number& x)
{
    if (x.order == 1) return x.coefficients[0] * x.coefficients[0];
    return exactly([&] { return (complex_conjugate(x) * x).coefficients[0]; },
                   [&] {
                       const exact_form e = exact_form_of(x);
                       return narrowed(exact_product(*exact_conjugate(*e, x.order - 1), *e)->coefficients[0]);
                   });
}
