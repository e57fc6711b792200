// A hash that spreads the values of the exact numbers, for the tables that must
// not crowd: the system's own hash of a cyclotomic number is 0 for every rational
// value and weighs coefficients by their position only. This one mixes what
// equality compares (the order and every coefficient), so it agrees with it.
#pragma once

#include <cstdint>

#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"

inline std::uint64_t hash_mix(std::uint64_t h, std::uint64_t v)
{
    h ^= v + 0x9e3779b97f4a7c15u + (h << 6) + (h >> 2);
    h *= 0xff51afd7ed558ccdu;
    return h ^ (h >> 33);
}

inline std::uint64_t spread_hash(const ZEM_int& x) { return static_cast<std::uint32_t>(x.value()); }

inline std::uint64_t spread_hash(const ZEM_fraction& x)
{
    return hash_mix(static_cast<std::uint32_t>(x.numerator()), static_cast<std::uint32_t>(x.denominator()));
}

// No text is formed.
inline std::uint64_t spread_hash(const ZEM_cyclotomic_number& x)
{
    std::uint64_t h = static_cast<std::uint32_t>(x.order);
    for (const ZEM_fraction& c : x.coefficients) h = hash_mix(h, spread_hash(c));
    return h;
}
