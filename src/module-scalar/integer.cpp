#include "module-scalar/integer.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "module-object/error.h"

namespace {

ZEM_int checked(std::int64_t value)
{
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        ZEM_FAIL("[ZEM_int] overflow");
    return ZEM_int(static_cast<int>(value));
}

}

ZEM_object* ZEM_int::copy_object() const { return new ZEM_int(*this); }
void ZEM_int::print(std::ostream& out) const { out << value_; }
ZEM_type ZEM_int::type() const { return tp_int(); }

ZEM_int& ZEM_int::operator+=(const ZEM_int& b) { return *this = *this + b; }
ZEM_int& ZEM_int::operator-=(const ZEM_int& b) { return *this = *this - b; }
ZEM_int& ZEM_int::operator*=(const ZEM_int& b) { return *this = *this * b; }
ZEM_int& ZEM_int::operator/=(const ZEM_int& b) { return *this = *this / b; }

ZEM_int operator+(const ZEM_int& a, const ZEM_int& b) { return checked(std::int64_t(a.value()) + b.value()); }
ZEM_int operator-(const ZEM_int& a, const ZEM_int& b) { return checked(std::int64_t(a.value()) - b.value()); }
ZEM_int operator*(const ZEM_int& a, const ZEM_int& b) { return checked(std::int64_t(a.value()) * b.value()); }
ZEM_int operator-(const ZEM_int& a) { return checked(-std::int64_t(a.value())); }

ZEM_int operator/(const ZEM_int& a, const ZEM_int& b)
{
    if (b.value() == 0) ZEM_FAIL("[ZEM_int] division by zero");
    return checked(std::int64_t(a.value()) / b.value());
}

ZEM_object* ZEM_real::copy_object() const { return new ZEM_real(*this); }
void ZEM_real::print(std::ostream& out) const { out << value_; }
ZEM_type ZEM_real::type() const { return tp_real(); }

ZEM_real operator-(const ZEM_real& a) { return ZEM_real(-a.value()); }

bool operator==(const ZEM_real& a, const ZEM_real& b) { return std::fabs(a.value() - b.value()) < 1e-08; }

int hash(const ZEM_real&) { ZEM_FAIL("[hash(real)] cannot be implemented"); }
