// A fraction is two 32-bit ints in lowest terms with a positive denominator
// (zero is 0/1). Every operation works in 64 bits, normalises, and fails with
// "[ZEM_fraction] overflow" rather than wrap when a result leaves 32 bits.
#pragma once

#include <cstdint>

#include "module-object/object.h"

class ZEM_fraction : public ZEM_copied_object {
public:
    ZEM_fraction() = default;
    ZEM_fraction(int numerator, int denominator = 1);
    ZEM_fraction(const ZEM_fraction& other) = default;
    ZEM_fraction& operator=(const ZEM_fraction& other) = default;

    // Normalises 64-bit parts; fails when the result does not fit in 32 bits.
    static ZEM_fraction from_wide(std::int64_t numerator, std::int64_t denominator);

    int numerator() const { return numerator_; }
    int denominator() const { return denominator_; }
    bool is_zero() const { return numerator_ == 0; }

    void simple_fraction();

    ZEM_object* copy_object() const override;
    void print(std::ostream& out) const override;
    ZEM_type type() const override;

    ZEM_fraction& operator+=(const ZEM_fraction& b);
    ZEM_fraction& operator-=(const ZEM_fraction& b);
    ZEM_fraction& operator*=(const ZEM_fraction& b);
    ZEM_fraction& operator/=(const ZEM_fraction& b);

private:
    int numerator_ = 0;
    int denominator_ = 1;
};

ZEM_fraction operator+(const ZEM_fraction& a, const ZEM_fraction& b);
ZEM_fraction operator-(const ZEM_fraction& a, const ZEM_fraction& b);
ZEM_fraction operator*(const ZEM_fraction& a, const ZEM_fraction& b);
ZEM_fraction operator/(const ZEM_fraction& a, const ZEM_fraction& b);
ZEM_fraction operator-(const ZEM_fraction& a);

bool operator==(const ZEM_fraction& a, const ZEM_fraction& b);
bool operator!=(const ZEM_fraction& a, const ZEM_fraction& b);
bool operator<(const ZEM_fraction& a, const ZEM_fraction& b);
bool operator<=(const ZEM_fraction& a, const ZEM_fraction& b);
bool operator>(const ZEM_fraction& a, const ZEM_fraction& b);
bool operator>=(const ZEM_fraction& a, const ZEM_fraction& b);

// The r with 0 <= r < n and a - r a multiple of n.
ZEM_fraction operator%(const ZEM_fraction& a, int n);
ZEM_fraction round_towards_zero(const ZEM_fraction& a);

int greatest_common_divisor(int a, int b);
int smallest_common_multiple(int a, int b);

// numerator * denominator, wrapping in 32 bits.
int hash(const ZEM_fraction& a);
