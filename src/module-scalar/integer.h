// ZEM_int: a 32-bit signed integer value; arithmetic fails with a bracketed
// message rather than wrap. ZEM_real: a double, read, stored and printed only;
// reals compare within 1e-08 and cannot be hashed.
#pragma once

#include "module-object/object.h"

class ZEM_int : public ZEM_copied_object {
public:
    ZEM_int() = default;
    ZEM_int(int value) : value_(value) {}
    ZEM_int(const ZEM_int& other) = default;
    ZEM_int& operator=(const ZEM_int& other) = default;

    int value() const { return value_; }

    ZEM_object* copy_object() const override;
    void print(std::ostream& out) const override;
    ZEM_type type() const override;

    ZEM_int& operator+=(const ZEM_int& b);
    ZEM_int& operator-=(const ZEM_int& b);
    ZEM_int& operator*=(const ZEM_int& b);
    ZEM_int& operator/=(const ZEM_int& b);

private:
    int value_ = 0;
};

ZEM_int operator+(const ZEM_int& a, const ZEM_int& b);
ZEM_int operator-(const ZEM_int& a, const ZEM_int& b);
ZEM_int operator*(const ZEM_int& a, const ZEM_int& b);
// Truncates towards zero.
ZEM_int operator/(const ZEM_int& a, const ZEM_int& b);
ZEM_int operator-(const ZEM_int& a);

inline bool operator==(const ZEM_int& a, const ZEM_int& b) { return a.value() == b.value(); }
inline bool operator!=(const ZEM_int& a, const ZEM_int& b) { return a.value() != b.value(); }
inline bool operator<(const ZEM_int& a, const ZEM_int& b) { return a.value() < b.value(); }
inline bool operator<=(const ZEM_int& a, const ZEM_int& b) { return a.value() <= b.value(); }
inline bool operator>(const ZEM_int& a, const ZEM_int& b) { return a.value() > b.value(); }
inline bool operator>=(const ZEM_int& a, const ZEM_int& b) { return a.value() >= b.value(); }

inline int hash(const ZEM_int& a) { return a.value(); }

class ZEM_real : public ZEM_copied_object {
public:
    ZEM_real() = default;
    ZEM_real(double value) : value_(value) {}
    ZEM_real(const ZEM_real& other) = default;
    ZEM_real& operator=(const ZEM_real& other) = default;

    double value() const { return value_; }

    ZEM_object* copy_object() const override;
    void print(std::ostream& out) const override;
    ZEM_type type() const override;

private:
    double value_ = 0.0;
};

// The negated double; the negative of 0.0 is -0.0.
ZEM_real operator-(const ZEM_real& a);
// Within an absolute 1e-08; not transitive.
bool operator==(const ZEM_real& a, const ZEM_real& b);
inline bool operator!=(const ZEM_real& a, const ZEM_real& b) { return !(a == b); }
// Always fails: "[hash(real)] cannot be implemented".
int hash(const ZEM_real& a);
