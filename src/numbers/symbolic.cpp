#include "numbers/symbolic.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>

template <class T>
ZEM_symbolic_number_impl<T>::ZEM_symbolic_number_impl(const pointer_to_objects<T>& coefficients, const T& constant,
                                                      const char* names)
    : coefficients(coefficients), constant(constant), names(static_cast<int>(std::strlen(names ? names : "")) + 1)
{
    // Null letters are no letters, as a null ZEM_string is the empty text.
    if (names) std::memcpy(this->names.block(), names, static_cast<std::size_t>(this->names.count()));
}

template <class T>
char* ZEM_symbolic_number_impl<T>::give_name(int n, int k) const
{
    char* name = new char[20];
    if (n <= names.count() - 1)
        std::snprintf(name, 20, "%c", names[k]);
    else
        std::snprintf(name, 20, "%c%d", names[0], k);
    return name;
}

template <class T>
ZEM_symbolic_number<T>::ZEM_symbolic_number() : ZEM_symbolic_number("xyzuvw")
{
}

template <class T>
ZEM_symbolic_number<T>::ZEM_symbolic_number(const char* names)
    : ZEM_symbolic_number(pointer_to_objects<T>(), T(), names)
{
}

template <class T>
ZEM_symbolic_number<T>::ZEM_symbolic_number(const pointer_to_objects<T>& coefficients, const T& constant,
                                            const char* names)
{
    this->attach(new ZEM_symbolic_number_impl<T>(coefficients, constant, names));
}

template <class T>
ZEM_object* ZEM_symbolic_number<T>::copy_object() const
{
    return new ZEM_symbolic_number<T>(*this);
}

template <class T>
void ZEM_symbolic_number<T>::print(std::ostream& out) const
{
    _print(out);
}

template <class T>
ZEM_type ZEM_symbolic_number<T>::type() const
{
    return tp_symbolic_number(T().type());
}

ZEM_type tp_symbolic_number(const ZEM_type& element) { return ZEM_type("symbolic_number", 1, &element); }

namespace {

int sign_of(const ZEM_int& v) { return (v.value() > 0) - (v.value() < 0); }
int sign_of(const ZEM_fraction& v) { return (v.numerator() > 0) - (v.numerator() < 0); }

long long magnitude_of(int v) { return v < 0 ? -static_cast<long long>(v) : v; }

bool magnitude_is_one(const ZEM_int& v) { return magnitude_of(v.value()) == 1; }
bool magnitude_is_one(const ZEM_fraction& v) { return magnitude_of(v.numerator()) == 1 && v.denominator() == 1; }

// Written from the parts, since the negation of the smallest int has no int.
void write_magnitude(std::ostream& out, const ZEM_int& v) { out << magnitude_of(v.value()); }
void write_magnitude(std::ostream& out, const ZEM_fraction& v)
{
    out << magnitude_of(v.numerator());
    if (v.denominator() != 1) out << '/' << v.denominator();
}

template <class T>
void write_sign(std::ostream& out, const T& v, bool after_term)
{
    if (after_term)
        out << (sign_of(v) > 0 ? " + " : " - ");
    else if (sign_of(v) < 0)
        out << '-';
}

template <class T>
void write_name(std::ostream& out, const ZEM_symbolic_number_impl<T>& body, int n, int k)
{
    const std::unique_ptr<char[]> name(body.give_name(n, k));
    out << name.get();
}

template <class T>
void print_signed(std::ostream& out, const ZEM_symbolic_number_impl<T>& body)
{
    const int n = body.coefficients.count();
    bool printed = false;
    for (int k = 0; k < n; ++k) {
        const T& c = body.coefficients[k];
        if (sign_of(c) == 0) continue;
        write_sign(out, c, printed);
        if (!magnitude_is_one(c)) {
            write_magnitude(out, c);
            out << '*';
        }
        write_name(out, body, n, k);
        printed = true;
    }
    if (sign_of(body.constant) != 0) {
        write_sign(out, body.constant, printed);
        write_magnitude(out, body.constant);
        printed = true;
    }
    if (!printed) out << '0';
}

void print_bracketed(std::ostream& out, const ZEM_symbolic_number_impl<ZEM_cyclotomic_number>& body)
{
    const ZEM_cyclotomic_number zero, one(1);
    const int n = body.coefficients.count();
    bool printed = false;
    for (int k = 0; k < n; ++k) {
        const ZEM_cyclotomic_number& c = body.coefficients[k];
        if (c == zero) continue;
        if (printed) out << " + ";
        if (c != one) out << '[' << c << "]*";
        write_name(out, body, n, k);
        printed = true;
    }
    if (body.constant != zero) {
        if (printed) out << " + ";
        out << '[' << body.constant << ']';
        printed = true;
    }
    if (!printed) out << '0';
}

}

template <class T>
void ZEM_symbolic_number<T>::_print(std::ostream& out) const
{
    if constexpr (std::is_same_v<T, ZEM_cyclotomic_number>)
        print_bracketed(out, *this->body());
    else
        print_signed(out, *this->body());
}

template <class T>
ZEM_symbolic_number<T> operator+(const ZEM_symbolic_number<T>& a, const ZEM_symbolic_number<T>& b)
{
    const pointer_to_objects<T>& ca = a.coefficients();
    const pointer_to_objects<T>& cb = b.coefficients();
    const int shorter = std::min(ca.count(), cb.count());
    const pointer_to_objects<T>& longer = ca.count() > cb.count() ? ca : cb;
    pointer_to_objects<T> sum(longer.count());
    for (int k = 0; k < shorter; ++k) sum[k] = ca[k] + cb[k];
    for (int k = shorter; k < longer.count(); ++k) sum[k] = longer[k];
    return ZEM_symbolic_number<T>(sum, a.constant() + b.constant(), b.names());
}

template <class T>
ZEM_symbolic_number<T> operator-(const ZEM_symbolic_number<T>& a)
{
    pointer_to_objects<T> negated(a.coefficients().count());
    for (int k = 0; k < negated.count(); ++k) negated[k] = -a.coefficients()[k];
    return ZEM_symbolic_number<T>(negated, -a.constant(), a.names());
}

template <class T>
ZEM_symbolic_number<T> operator*(const T& s, const ZEM_symbolic_number<T>& a)
{
    pointer_to_objects<T> scaled(a.coefficients().count());
    for (int k = 0; k < scaled.count(); ++k) scaled[k] = s * a.coefficients()[k];
    return ZEM_symbolic_number<T>(scaled, s * a.constant(), a.names());
}

template <class T>
int operator==(const ZEM_symbolic_number<T>& a, const ZEM_symbolic_number<T>& b)
{
    return a.coefficients() == b.coefficients() && a.constant() == b.constant();
}

template <class T>
int hash(const ZEM_symbolic_number<T>& a)
{
    unsigned h = static_cast<unsigned>(hash(a.constant()));
    for (int k = 0; k < a.coefficients().count(); ++k)
        h += static_cast<unsigned>(k) * static_cast<unsigned>(hash(a.coefficients()[k]));
    return static_cast<int>(h);
}

template class ZEM_symbolic_number_impl<ZEM_int>;
template class ZEM_symbolic_number_impl<ZEM_fraction>;
template class ZEM_symbolic_number_impl<ZEM_cyclotomic_number>;
template class ZEM_symbolic_number<ZEM_int>;
template class ZEM_symbolic_number<ZEM_fraction>;
template class ZEM_symbolic_number<ZEM_cyclotomic_number>;

#define ZEM_SYMBOLIC_ARITHMETIC(T)                                                                   \
    template ZEM_symbolic_number<T> operator+(const ZEM_symbolic_number<T>&, const ZEM_symbolic_number<T>&); \
    template ZEM_symbolic_number<T> operator-(const ZEM_symbolic_number<T>&);                          \
    template ZEM_symbolic_number<T> operator*(const T&, const ZEM_symbolic_number<T>&);               \
    template int operator==(const ZEM_symbolic_number<T>&, const ZEM_symbolic_number<T>&);           \
    template int hash(const ZEM_symbolic_number<T>&);

ZEM_SYMBOLIC_ARITHMETIC(ZEM_fraction)
ZEM_SYMBOLIC_ARITHMETIC(ZEM_cyclotomic_number)
