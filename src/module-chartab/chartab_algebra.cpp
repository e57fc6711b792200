// The character operations of a table: products, sums, scalar products,
// decomposition, powers, the two squares and the physical representation.
#include <cstdint>
#include <string>

#include "module-chartab/chartab.h"
#include "module-object/error.h"
#include "module-scalar/integer.h"
#include "numbers/wide_numbers.h"

namespace {

using values_t = pointer_to_objects<ZEM_cyclotomic_number>;

// A sum of terms can overflow on the way although its value fits: the
// operations that add terms work in the system's numbers first and, when a step
// overflows, once more in wide ones (in_own_or_wide), so that only a value
// they return can leave 32 bits.
struct own_numbers {
    static const ZEM_cyclotomic_number& of(const ZEM_cyclotomic_number& x) { return x; }
    static ZEM_fraction fraction(int numerator, int denominator = 1) { return {numerator, denominator}; }
    static ZEM_cyclotomic_number whole(int k) { return ZEM_cyclotomic_number(ZEM_fraction(k)); }
    static ZEM_cyclotomic_number conjugate(const ZEM_cyclotomic_number& x) { return complex_conjugate(x); }
    static bool equals(const ZEM_cyclotomic_number& x, int k) { return x == whole(k); }
    static const ZEM_cyclotomic_number& result(const ZEM_cyclotomic_number& x) { return x; }
};

struct wide_numbers {
    static wide_cyclotomic of(const ZEM_cyclotomic_number& x) { return widen(x); }
    static wide_cyclotomic fraction(int numerator, int denominator = 1)
    {
        return wide_rational(wide_integer(numerator), wide_integer(denominator));
    }
    static wide_cyclotomic whole(int k) { return wide_cyclotomic(k); }
    // The conjugate of a value that fits can leave 32 bits.
    static wide_cyclotomic conjugate(const ZEM_cyclotomic_number& x)
    {
        return narrow_or_wide([&] { return widen(complex_conjugate(x)); },
                              [&] { return wide_cyclotomic(complex_conjugate(exact_cyclotomic_number(x))); });
    }
    static bool equals(const wide_cyclotomic& x, int k) { return (x - whole(k)).is_zero(); }
    static ZEM_cyclotomic_number result(const wide_cyclotomic& x) { return x.narrow(); }
};

// compute(numbers) with the own numbers, or with the wide ones when a step overflows.
template <class Compute>
auto in_own_or_wide(Compute compute)
{
    return narrow_or_wide([&] { return compute(own_numbers()); }, [&] { return compute(wide_numbers()); });
}

template <class Combine>
ZEM_character combine_values(const ZEM_character& v1, const ZEM_character& v2, const char* failure,
                             Combine combine)
{
    if (v1.length() != v2.length()) ZEM_FAIL(failure);
    values_t result(v1.length());
    for (int c = 0; c < v1.length(); ++c) result[c] = combine(v1.values()[c], v2.values()[c]);
    return ZEM_character(result);
}

}

ZEM_character ZEM_character_table::character_product(const ZEM_character& v1, const ZEM_character& v2) const
{
    return combine_values(v1, v2, "[character_product] size(v1) != size(v2)",
                          [](const ZEM_cyclotomic_number& a, const ZEM_cyclotomic_number& b) { return a * b; });
}

ZEM_character ZEM_character_table::character_add(const ZEM_character& v1, const ZEM_character& v2) const
{
    return combine_values(v1, v2, "[character_add] size(v1) != size(v2)",
                          [](const ZEM_cyclotomic_number& a, const ZEM_cyclotomic_number& b) { return a + b; });
}

int ZEM_character_table::group_order() const
{
    ZEM_int order = 0;
    for (int size : body()->class_sizes) order += size;
    return order.value();
}

// A character of another length has no value for some class, or one too many.
void ZEM_character_table::require_class_length(const char* operation, const ZEM_character& chi) const
{
    if (chi.length() != columns())
        ZEM_FAIL(std::string("[") + operation + "] size(character) != columns()");
}

ZEM_cyclotomic_number ZEM_character_table::character_scalar_product(const ZEM_character& v1,
                                                                    const ZEM_character& v2) const
{
    if (v1.length() != v2.length())
        ZEM_FAIL("[character_scalar_product] size(v1) != size(v2)");
    require_class_length("character_scalar_product", v1);
    const int order = group_order();
    return in_own_or_wide([&](auto numbers) {
        auto sum = numbers.whole(0);
        for (int c = 0; c < v1.length(); ++c)
            sum = sum
                  + (numbers.of(v1.values()[c]) * numbers.fraction(body()->class_sizes[c]))
                        * numbers.conjugate(v2.values()[c]);
        return ZEM_cyclotomic_number(numbers.result(numbers.fraction(1, order) * sum));
    });
}

ZEM_linkedlist<ZEM_cyclotomic_number> ZEM_character_table::decompose(const ZEM_character& chi) const
{
    require_class_length("decompose", chi);
    ZEM_linkedlist<ZEM_cyclotomic_number> multiplicities;
    int order = group_order();
    for (int i = 1; i <= rows(); ++i)
        multiplicities.add_at_tail(in_own_or_wide([&](auto numbers) {
            auto sum = numbers.whole(0);
            for (int c = 1; c <= columns(); ++c)
                sum = sum
                      + (numbers.fraction(body()->class_sizes[c - 1]) * numbers.of(entry(c, i)))
                            * numbers.conjugate(chi.values()[c - 1]);
            return ZEM_cyclotomic_number(numbers.result(sum / numbers.whole(order)));
        }));
    return multiplicities;
}

ZEM_character ZEM_character_table::character_power(const ZEM_character& chi, int n) const
{
    // Widened first: the smallest int has no positive counterpart in 32 bits.
    std::int64_t times = n < 0 ? -std::int64_t(n) : std::int64_t(n);
    values_t ones(columns());
    for (ZEM_cyclotomic_number& one : ones) one = ZEM_cyclotomic_number(1);
    ZEM_character power(ones);
    // Square and multiply: exact products give what |n| single products give,
    // without 2^31 steps for the largest exponents.
    ZEM_character base = chi;
    // The first product of the plain loop would refuse a character of another length.
    if (times > 0 && chi.length() != columns())
        ZEM_FAIL("[character_product] size(v1) != size(v2)");
    while (times > 0) {
        if (times & 1) power = character_product(power, base);
        times >>= 1;
        if (times > 0) base = character_product(base, base);
    }
    if (n >= 0) return power;
    values_t inverses(columns());
    for (int c = 0; c < columns(); ++c) inverses[c] = invert(power.values()[c]);
    return ZEM_character(inverses);
}

ZEM_character ZEM_character_table::square(const ZEM_character& chi, bool symmetric) const
{
    require_class_length(symmetric ? "character_symmetric_square" : "character_anti_symmetric_square", chi);
    values_t result(chi.length());
    for (int c = 1; c <= columns(); ++c) {
        int s = index_of_nth_power(c, 2);
        // The square alone can leave 32 bits where half the sum does not.
        result[c - 1] = in_own_or_wide([&](auto numbers) {
            auto q = numbers.of(chi.values()[c - 1]) * numbers.of(chi.values()[c - 1]);
            auto t = symmetric ? q + numbers.of(chi.values()[s - 1]) : q - numbers.of(chi.values()[s - 1]);
            return ZEM_cyclotomic_number(numbers.result(numbers.fraction(1, 2) * t));
        });
    }
    return ZEM_character(result);
}

ZEM_character ZEM_character_table::character_symmetric_square(const ZEM_character& chi) const
{
    return square(chi, true);
}

ZEM_character ZEM_character_table::character_anti_symmetric_square(const ZEM_character& chi) const
{
    return square(chi, false);
}

ZEM_character ZEM_character_table::character_physical_representation(const ZEM_character& chi) const
{
    require_class_length("character_physical_representation", chi);
    int order = group_order();
    const values_t& v = chi.values();
    return in_own_or_wide([&](auto numbers) {
        values_t result(chi.length());
        auto indicator = numbers.whole(0);
        for (int c = 1; c <= columns(); ++c) {
            int s = index_of_nth_power(c, 2);
            indicator = indicator + numbers.fraction(body()->class_sizes[c - 1]) * numbers.of(v[s - 1]);
        }
        indicator = indicator / numbers.whole(order);
        // An indicator that leaves 32 bits is none of the three.
        if (numbers.equals(indicator, 0)) {
            for (int c = 0; c < columns(); ++c) result[c] = numbers.result(numbers.of(v[c]) + numbers.conjugate(v[c]));
        } else if (numbers.equals(indicator, 1)) {
            for (int c = 0; c < columns(); ++c) result[c] = v[c];
        } else if (numbers.equals(indicator, -1)) {
            for (int c = 0; c < columns(); ++c) result[c] = numbers.result(numbers.of(v[c]) + numbers.of(v[c]));
        }
        return ZEM_character(result);
    });
}
