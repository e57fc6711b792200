// The character operations of a table: products, sums, scalar products,
// decomposition, powers, the two squares and the physical representation.
#include <cstdint>
#include <string>

#include "module-chartab/chartab.h"
#include "module-object/error.h"
#include "module-scalar/integer.h"

namespace {

using values_t = pointer_to_objects<ZEM_cyclotomic_number>;

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
    ZEM_cyclotomic_number sum;
    for (int c = 0; c < v1.length(); ++c)
        sum = sum + (v1.values()[c] * ZEM_fraction(body()->class_sizes[c])) * complex_conjugate(v2.values()[c]);
    return ZEM_fraction(1, group_order()) * sum;
}

ZEM_linkedlist<ZEM_cyclotomic_number> ZEM_character_table::decompose(const ZEM_character& chi) const
{
    require_class_length("decompose", chi);
    ZEM_linkedlist<ZEM_cyclotomic_number> multiplicities;
    int order = group_order();
    for (int i = 1; i <= rows(); ++i) {
        ZEM_cyclotomic_number sum;
        for (int c = 1; c <= columns(); ++c)
            sum = sum
                  + (ZEM_fraction(body()->class_sizes[c - 1]) * entry(c, i))
                        * complex_conjugate(chi.values()[c - 1]);
        multiplicities.add_at_tail(sum / ZEM_cyclotomic_number(ZEM_fraction(order)));
    }
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
        ZEM_cyclotomic_number q = chi.values()[c - 1] * chi.values()[c - 1];
        ZEM_cyclotomic_number t = symmetric ? q + chi.values()[s - 1] : q - chi.values()[s - 1];
        result[c - 1] = ZEM_fraction(1, 2) * t;
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
    values_t result(chi.length());
    int order = group_order();
    ZEM_cyclotomic_number indicator;
    for (int c = 1; c <= columns(); ++c) {
        int s = index_of_nth_power(c, 2);
        indicator = indicator + ZEM_fraction(body()->class_sizes[c - 1]) * chi.values()[s - 1];
    }
    indicator = indicator / ZEM_cyclotomic_number(ZEM_fraction(order));
    const values_t& v = chi.values();
    if (indicator == ZEM_cyclotomic_number(ZEM_fraction(0))) {
        for (int c = 0; c < columns(); ++c) result[c] = v[c] + complex_conjugate(v[c]);
    } else if (indicator == ZEM_cyclotomic_number(ZEM_fraction(1))) {
        for (int c = 0; c < columns(); ++c) result[c] = v[c];
    } else if (indicator == ZEM_cyclotomic_number(ZEM_fraction(-1))) {
        for (int c = 0; c < columns(); ++c) result[c] = v[c] + v[c];
    }
    return ZEM_character(result);
}
