// Cyclotomic numbers: the elements of the fields Q(zeta_n), zeta_n = exp(2*pi*i/n).
//
// Representation. A value of `order` n holds n fraction coefficients c_0 .. c_(n-1)
// and stands for the sum of c_k * zeta_n^k. The roots zeta_n^k are not independent
// (they span a space of dimension phi(n)), so each value is kept in one canonical
// form over a basis of phi(n) of them:
//
//   - the order is the smallest n whose field holds the value: never 2 mod 4
//     (zeta_2m = -zeta_m^((m+1)/2) for odd m), and 1 for every rational value;
//   - only the admissible indices of n carry non-zero coefficients. For each prime
//     power q = p^e exactly dividing n, with r = n / q, the index t + d*r (mod n),
//     t a multiple of q, is excluded for q/2 <= d < q when p = 2, and for
//     |d| <= (q/p - 1)/2 when p is odd. The indices excluded by no prime power are
//     the admissible ones: phi(n) of them, and their roots form a basis of Q(zeta_n).
//
// So two values are equal exactly when their orders and coefficient arrays are
// equal, and hash alike. Zero is order 1 with coefficient 0/1.
//
// Why all n coefficients are stored, the excluded ones held at zero: coefficient k
// belongs to zeta_n^k itself, so lifting to a multiple order N moves it to k*N/n,
// a product adds c_j * d_m at j + m, and a Galois conjugate moves it to a*k, all
// by plain index arithmetic with no translation to and from basis positions. The
// working values between those steps are not in the basis; convert_to_base and
// reduce_base bring them back. A single coefficient (every rational) is held in
// place, so the common rational values cost no allocation.
//
// Arithmetic is the checked 32-bit fraction arithmetic: an overflow fails with
// "[ZEM_fraction] overflow" instead of wrapping. When a 32-bit step overflows,
// a product is formed again in wide integers, invert and division modulo a few
// primes, and a literal, a sum, a difference and the sizes exactly, so only a
// result that leaves 32 bits fails.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <gmp.h>
#include <memory>

#include "module-object/allocation.h"
#include "module-object/pointer_to_objects.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"

template <class T>
class ZEM_linkedlist;

// The coefficients of a cyclotomic number, counted from 0. A single coefficient
// (every rational value, zero above all) is held in place, more on the heap.
class cyclotomic_coefficients {
public:
    explicit cyclotomic_coefficients(int n = 1) : count_(n)
    {
        if (on_heap()) {
            heap_ = fresh_block(n);
            std::uninitialized_value_construct_n(heap_, n);
        } else {
            std::construct_at(&single_);
        }
    }
    cyclotomic_coefficients(const cyclotomic_coefficients& other) : count_(other.count_)
    {
        if (on_heap()) {
            heap_ = fresh_block(count_);
            std::uninitialized_copy(other.begin(), other.end(), heap_);
        } else {
            std::construct_at(&single_, other.single_);
        }
    }
    cyclotomic_coefficients(cyclotomic_coefficients&& other) noexcept : cyclotomic_coefficients() { swap(other); }
    cyclotomic_coefficients& operator=(const cyclotomic_coefficients& other);
    cyclotomic_coefficients& operator=(cyclotomic_coefficients&& other) noexcept
    {
        swap(other);
        return *this;
    }
    ~cyclotomic_coefficients()
    {
        if (on_heap()) {
            std::destroy_n(heap_, count_);
            release_block(heap_);
        } else {
            std::destroy_at(&single_);
        }
    }
    void swap(cyclotomic_coefficients& other) noexcept;

    int count() const { return count_; }
    ZEM_fraction* block() { return on_heap() ? heap_ : &single_; }
    const ZEM_fraction* block() const { return on_heap() ? heap_ : &single_; }
    ZEM_fraction& operator[](int k) { return block()[k]; }
    const ZEM_fraction& operator[](int k) const { return block()[k]; }
    ZEM_fraction* begin() { return block(); }
    ZEM_fraction* end() { return block() + count_; }
    const ZEM_fraction* begin() const { return block(); }
    const ZEM_fraction* end() const { return block() + count_; }

private:
    bool on_heap() const { return count_ > 1; }
    // Room for n coefficients from the system's allocator, not yet made.
    static ZEM_fraction* fresh_block(int n)
    {
        return static_cast<ZEM_fraction*>(allocate_elements_or_fail(static_cast<std::size_t>(n), sizeof(ZEM_fraction)));
    }

    union {
        ZEM_fraction single_;
        ZEM_fraction* heap_;
    };
    int count_;
};

class ZEM_cyclotomic_number : public ZEM_copied_object {
public:
    ZEM_cyclotomic_number() = default;
    ZEM_cyclotomic_number(int v);
    ZEM_cyclotomic_number(const ZEM_fraction& f);
    // The working value of the arithmetic: order n, n zero coefficients, not reduced.
    // The second argument has no effect.
    ZEM_cyclotomic_number(int n, int);
    // The sum of c_j * exp(2*pi*i*a_j/d_j) over the terms that all three lists hold;
    // the order comes from every denominator. A zero denominator, or an order the
    // canonical form cannot hold in 32 bits, fails.
    ZEM_cyclotomic_number(const ZEM_linkedlist<ZEM_fraction>& c, const ZEM_linkedlist<ZEM_int>& a,
                          const ZEM_linkedlist<ZEM_int>& d);
    ZEM_cyclotomic_number(const ZEM_cyclotomic_number& other) = default;
    ZEM_cyclotomic_number& operator=(const ZEM_cyclotomic_number& other) = default;

    ZEM_object* copy_object() const override;
    void print(std::ostream& out) const override;
    ZEM_type type() const override;

    // Brings the value to canonical form in place: convert_to_base, then reduce_base.
    void reduce();
    // Rewrites the value over the admissible indices of the current order.
    void convert_to_base();
    // From the output of convert_to_base: the smallest order and its coefficients.
    void reduce_base();

    // The order after the coefficients can share their padding.
    [[no_unique_address]] cyclotomic_coefficients coefficients;
    int order = 1;

    // Orders whose index arithmetic stays inside 32 bits: n * (largest prime of n)
    // must fit. Fails with "[ZEM_cyclotomic_number] order too large" otherwise.
    static void check_order(long long n);
};

ZEM_type tp_cyclotomic();

int operator==(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y);
int operator!=(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y);

// The sum of k * numerator_k * denominator_k, wrapping in 32 bits; 0 for every rational.
int hash(const ZEM_cyclotomic_number& x);

ZEM_cyclotomic_number operator-(const ZEM_cyclotomic_number& x);
ZEM_cyclotomic_number operator+(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y);
ZEM_cyclotomic_number operator-(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y);
ZEM_cyclotomic_number operator*(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y);
ZEM_cyclotomic_number operator*(const ZEM_fraction& f, const ZEM_cyclotomic_number& x);
ZEM_cyclotomic_number operator*(const ZEM_cyclotomic_number& x, const ZEM_fraction& f);
// A zero divisor fails with "[ZEM_fraction::simple_fraction] denominator == 0".
ZEM_cyclotomic_number operator/(const ZEM_cyclotomic_number& x, const ZEM_cyclotomic_number& y);
ZEM_cyclotomic_number invert(const ZEM_cyclotomic_number& x);
ZEM_cyclotomic_number complex_conjugate(const ZEM_cyclotomic_number& x);

// Coefficient 0 of conj(x) * x: |x|^2 whenever that product is rational.
ZEM_fraction abs_value_squared(const ZEM_cyclotomic_number& x);

// The mean of |sigma(x)|^2 over the Galois conjugates sigma of x: positive for
// every non-zero x, and equal to abs_value_squared when x * conj(x) is rational.
// The matrix reduction compares pivots by it.
ZEM_fraction pivot_size(const ZEM_cyclotomic_number& x);

// How many products of two coefficients the arithmetic has formed so far: the
// products skip zero coefficients, so this grows with the non-zero ones.
std::uint64_t cyclotomic_coefficient_products();

// A cyclotomic number in the canonical form above whose coefficients are rationals
// of any size, for wide arithmetic to go on in when the 32-bit one overflows. Its
// arithmetic never overflows; only narrowing a value back can.
struct exact_cyclotomic_form;
class exact_cyclotomic_number {
public:
    explicit exact_cyclotomic_number(const ZEM_cyclotomic_number& x);
    // The rational numerator / denominator; the denominator is not zero.
    exact_cyclotomic_number(mpz_srcptr numerator, mpz_srcptr denominator);
    exact_cyclotomic_number(const exact_cyclotomic_number& other);
    exact_cyclotomic_number(exact_cyclotomic_number&& other) noexcept;
    exact_cyclotomic_number& operator=(const exact_cyclotomic_number& other);
    exact_cyclotomic_number& operator=(exact_cyclotomic_number&& other) noexcept;
    ~exact_cyclotomic_number();

    // The value when it is rational, else null.
    mpq_srcptr rational() const;
    // Fails with "[ZEM_fraction] overflow" when a coefficient leaves 32 bits.
    ZEM_cyclotomic_number narrow() const;
    // pivot_size of the value, into `size`.
    void pivot_size(mpq_ptr size) const;

    friend exact_cyclotomic_number operator+(const exact_cyclotomic_number& x, const exact_cyclotomic_number& y);
    friend exact_cyclotomic_number operator-(const exact_cyclotomic_number& x, const exact_cyclotomic_number& y);
    friend exact_cyclotomic_number operator*(const exact_cyclotomic_number& x, const exact_cyclotomic_number& y);
    // A zero divisor fails with "[ZEM_fraction::simple_fraction] denominator == 0".
    friend exact_cyclotomic_number operator/(const exact_cyclotomic_number& x, const exact_cyclotomic_number& y);
    friend exact_cyclotomic_number complex_conjugate(const exact_cyclotomic_number& x);

private:
    explicit exact_cyclotomic_number(std::unique_ptr<exact_cyclotomic_form> form);
    std::unique_ptr<exact_cyclotomic_form> form_;
};
