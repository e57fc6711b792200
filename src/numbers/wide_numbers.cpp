#include "numbers/wide_numbers.h"

#include <climits>
#include <new>

#include "module-object/error.h"

namespace {

std::uint64_t magnitude_of(std::int64_t x)
{
    return x < 0 ? std::uint64_t(0) - static_cast<std::uint64_t>(x) : static_cast<std::uint64_t>(x);
}

std::uint64_t gcd_of(std::uint64_t a, std::uint64_t b)
{
    while (b != 0) {
        const std::uint64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

}

// A GMP integer to read: the large value itself, or a small one laid over a
// limb of its own, without allocating.
class gmp_view {
public:
    explicit gmp_view(const wide_integer& x)
    {
        if (!x.is_small()) {
            read_ = x.big();
            return;
        }
        const std::int64_t v = x.small();
        limb_ = static_cast<mp_limb_t>(magnitude_of(v));
        read_ = mpz_roinit_n(view_, &limb_, v < 0 ? -1 : v > 0 ? 1 : 0);
    }
    gmp_view(const gmp_view&) = delete;
    gmp_view& operator=(const gmp_view&) = delete;
    mpz_srcptr get() const { return read_; }

private:
    mp_limb_t limb_ = 0;
    mpz_t view_;
    mpz_srcptr read_;
};

static_assert(sizeof(long) == sizeof(std::int64_t) && sizeof(mp_limb_t) == sizeof(std::int64_t) &&
                  sizeof(void*) <= sizeof(std::int64_t),
              "wide_integer keeps a small value in a GMP long and an address in its word");

void wide_integer::set_big(std::int64_t x)
{
    word_ = small_word(0);
    mpz_t big;
    mpz_init_set_si(big, static_cast<long>(x));
    *this = from_gmp(big);
}

void wide_integer::copy_big(const wide_integer& other)
{
    word_ = small_word(0);
    mpz_t copy;
    mpz_init_set(copy, other.big());
    *this = from_gmp(copy);
}

wide_integer wide_integer::copy_of(mpz_srcptr x)
{
    mpz_t copy;
    mpz_init_set(copy, x);
    return from_gmp(copy);
}

void wide_integer::release()
{
    mpz_clear(big());
    ::operator delete(big());
}

// Takes the GMP integer over: held small when it fits, else moved to the heap.
wide_integer wide_integer::from_gmp(mpz_ptr taken)
{
    wide_integer result;
    if (mpz_fits_slong_p(taken) && fits_small(mpz_get_si(taken))) {
        result.word_ = small_word(mpz_get_si(taken));
        mpz_clear(taken);
        return result;
    }
    void* room = ::operator new(sizeof(__mpz_struct), std::nothrow);
    if (!room) {
        mpz_clear(taken);
        ZEM_FAIL("out of memory");
    }
    auto* held = static_cast<mpz_ptr>(room);
    *held = *taken;
    result.word_ = reinterpret_cast<std::int64_t>(held);
    return result;
}

template <class Operation>
wide_integer wide_integer::through_gmp(const wide_integer& a, const wide_integer& b, Operation operation)
{
    const gmp_view x(a), y(b);
    mpz_t r;
    mpz_init(r);
    operation(r, x.get(), y.get());
    return from_gmp(r);
}

int wide_integer::sign() const
{
    if (is_small()) return small() < 0 ? -1 : small() > 0;
    return mpz_sgn(big());
}

int wide_integer::narrow() const
{
    if (!is_small() || small() < INT_MIN || small() > INT_MAX)
        ZEM_FAIL("[ZEM_int] overflow");
    return static_cast<int>(small());
}

wide_integer wide_integer::big_sum(const wide_integer& a, const wide_integer& b) { return through_gmp(a, b, mpz_add); }

wide_integer wide_integer::big_difference(const wide_integer& a, const wide_integer& b)
{
    return through_gmp(a, b, mpz_sub);
}

wide_integer wide_integer::big_product(const wide_integer& a, const wide_integer& b)
{
    return through_gmp(a, b, mpz_mul);
}

wide_integer operator/(const wide_integer& a, const wide_integer& b)
{
    if (b.is_zero()) ZEM_FAIL("[ZEM_int] division by zero");
    if (a.is_small() && b.is_small()) return wide_integer(a.small() / b.small());
    return wide_integer::through_gmp(a, b, mpz_tdiv_q);
}

wide_integer wide_integer::big_minus_product(const wide_integer& a, const wide_integer& b, const wide_integer& c)
{
    const gmp_view x(a), y(b), z(c);
    mpz_t r;
    mpz_init_set(r, x.get());
    mpz_submul(r, y.get(), z.get());
    return from_gmp(r);
}

int wide_integer::big_compare(const wide_integer& a, const wide_integer& b)
{
    const gmp_view x(a), y(b);
    const int c = mpz_cmp(x.get(), y.get());
    return c < 0 ? -1 : c > 0;
}

wide_integer gcd(const wide_integer& a, const wide_integer& b)
{
    if (a.is_small() && b.is_small())
        return wide_integer(static_cast<std::int64_t>(gcd_of(magnitude_of(a.small()), magnitude_of(b.small()))));
    return wide_integer::through_gmp(a, b, mpz_gcd);
}

wide_rational::wide_rational(wide_integer numerator, wide_integer denominator)
    : numerator_(std::move(numerator)), denominator_(std::move(denominator))
{
    if (denominator_.is_zero()) ZEM_FAIL("[ZEM_fraction::simple_fraction] denominator == 0");
    if (denominator_.sign() < 0) {
        numerator_ = -numerator_;
        denominator_ = -denominator_;
    }
    if (denominator_.is_one()) return;
    if (numerator_.is_zero()) {
        denominator_ = wide_integer(1);
        return;
    }
    const wide_integer g = gcd(numerator_, denominator_);
    if (g.is_one()) return;
    numerator_ = numerator_ / g;
    denominator_ = denominator_ / g;
}

ZEM_fraction wide_rational::narrow() const
{
    const auto fits = [](const wide_integer& x) { return compare(x, INT_MIN) >= 0 && compare(x, INT_MAX) <= 0; };
    if (!fits(numerator_) || !fits(denominator_)) ZEM_FAIL("[ZEM_fraction] overflow");
    return ZEM_fraction(numerator_.narrow(), denominator_.narrow());
}

// Whole numbers, the common case of the solvers, skip the normalisation.
wide_rational operator+(const wide_rational& a, const wide_rational& b)
{
    if (a.denominator_.is_one() && b.denominator_.is_one()) return wide_rational(a.numerator_ + b.numerator_);
    return {a.numerator_ * b.denominator_ + b.numerator_ * a.denominator_, a.denominator_ * b.denominator_};
}

wide_rational operator-(const wide_rational& a, const wide_rational& b)
{
    if (a.denominator_.is_one() && b.denominator_.is_one()) return wide_rational(a.numerator_ - b.numerator_);
    return {a.numerator_ * b.denominator_ - b.numerator_ * a.denominator_, a.denominator_ * b.denominator_};
}

wide_rational operator*(const wide_rational& a, const wide_rational& b)
{
    if (a.denominator_.is_one() && b.denominator_.is_one()) return wide_rational(a.numerator_ * b.numerator_);
    return {a.numerator_ * b.numerator_, a.denominator_ * b.denominator_};
}

wide_rational minus_product(const wide_rational& a, const wide_rational& b, const wide_rational& c)
{
    if (a.denominator_.is_one() && b.denominator_.is_one() && c.denominator_.is_one())
        return wide_rational(minus_product(a.numerator_, b.numerator_, c.numerator_));
    return a - b * c;
}

wide_rational operator/(const wide_rational& a, const wide_rational& b)
{
    return {a.numerator_ * b.denominator_, a.denominator_ * b.numerator_};
}

bool operator<(const wide_rational& a, const wide_rational& b)
{
    return compare(a.numerator_ * b.denominator_, b.numerator_ * a.denominator_) < 0;
}

wide_rational magnitude(const wide_rational& x)
{
    wide_rational result = x;
    if (result.numerator_.sign() < 0) result.numerator_ = -result.numerator_;
    return result;
}

wide_rational whole_quotient(const wide_rational& a, const wide_rational& b)
{
    const wide_integer divisor = a.denominator_ * b.numerator_;
    if (divisor.is_zero()) ZEM_FAIL("[ZEM_fraction::simple_fraction] denominator == 0");
    return wide_rational((a.numerator_ * b.denominator_) / divisor);
}

namespace {

wide_rational widened(mpq_srcptr x)
{
    return {wide_integer::copy_of(mpq_numref(x)), wide_integer::copy_of(mpq_denref(x))};
}

}

void irrational_value::release()
{
    delete own();
    delete exact();
}

wide_cyclotomic::wide_cyclotomic(const ZEM_cyclotomic_number& x)
{
    if (x.order == 1)
        rational_ = wide_rational(x.coefficients[0]);
    else
        irrational_ = irrational_value(x);
}

wide_cyclotomic::wide_cyclotomic(exact_cyclotomic_number x)
{
    if (const mpq_srcptr rational = x.rational())
        rational_ = widened(rational);
    else
        irrational_ = irrational_value(std::move(x));
}

exact_cyclotomic_number wide_cyclotomic::exactly() const
{
    if (irrational_.exact()) return *irrational_.exact();
    if (irrational_.own()) return exact_cyclotomic_number(*irrational_.own());
    const gmp_view numerator(rational_.numerator()), denominator(rational_.denominator());
    return exact_cyclotomic_number(numerator.get(), denominator.get());
}

ZEM_cyclotomic_number wide_cyclotomic::narrow() const
{
    if (irrational_.own()) return *irrational_.own();
    if (irrational_.exact()) return irrational_.exact()->narrow();
    return ZEM_cyclotomic_number(rational_.narrow());
}

const ZEM_cyclotomic_number& wide_cyclotomic::own_form(std::optional<ZEM_cyclotomic_number>& made) const
{
    if (irrational_.own()) return *irrational_.own();
    return made.emplace(rational_.narrow());
}

wide_rational wide_cyclotomic::size() const
{
    if (irrational_.own()) return wide_pivot_size(*irrational_.own());
    if (!irrational_.exact()) return rational_ * rational_;
    mpq_t size;
    mpq_init(size);
    irrational_.exact()->pivot_size(size);
    wide_rational result = widened(size);
    mpq_clear(size);
    return result;
}

// A value with an irrational part is worked in the system's cyclotomic numbers
// while they do not overflow, and exactly after; rational values stay wide.
template <class Operation>
wide_cyclotomic wide_cyclotomic::irrational_combined(const wide_cyclotomic& a, const wide_cyclotomic& b,
                                                     Operation operation)
{
    if (!a.irrational_.exact() && !b.irrational_.exact()) {
        std::optional<ZEM_cyclotomic_number> made_a, made_b;
        try {
            return operation(a.own_form(made_a), b.own_form(made_b));
        } catch (const ZEM_string& failure) {
            if (!is_overflow(failure)) throw;
        }
    }
    return wide_cyclotomic(operation(a.exactly(), b.exactly()));
}

wide_cyclotomic operator+(const wide_cyclotomic& a, const wide_cyclotomic& b)
{
    if (!a.irrational_ && !b.irrational_) return a.rational_ + b.rational_;
    return wide_cyclotomic::irrational_combined(a, b, [](const auto& x, const auto& y) { return x + y; });
}

wide_cyclotomic operator-(const wide_cyclotomic& a, const wide_cyclotomic& b)
{
    if (!a.irrational_ && !b.irrational_) return a.rational_ - b.rational_;
    return wide_cyclotomic::irrational_combined(a, b, [](const auto& x, const auto& y) { return x - y; });
}

wide_cyclotomic operator*(const wide_cyclotomic& a, const wide_cyclotomic& b)
{
    if (!a.irrational_ && !b.irrational_) return a.rational_ * b.rational_;
    return wide_cyclotomic::irrational_combined(a, b, [](const auto& x, const auto& y) { return x * y; });
}

// A zero divisor fails in the quotient's own arithmetic.
wide_cyclotomic operator/(const wide_cyclotomic& a, const wide_cyclotomic& b)
{
    if (!a.irrational_ && !b.irrational_) return a.rational_ / b.rational_;
    return wide_cyclotomic::irrational_combined(a, b, [](const auto& x, const auto& y) { return x / y; });
}

bool is_overflow(const ZEM_string& failure)
{
    return failed_with(failure, "[ZEM_int] overflow") || failed_with(failure, "[ZEM_fraction] overflow");
}

wide_rational wide_pivot_size(const ZEM_cyclotomic_number& x)
{
    try {
        return wide_rational(pivot_size(x));
    } catch (const ZEM_string& failure) {
        if (!is_overflow(failure)) throw;
    }
    return wide_cyclotomic(exact_cyclotomic_number(x)).size();
}
