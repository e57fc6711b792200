// A symbolic number: constant + the sum of coefficients[k] * parameter k, all of one
// scalar type T, with a text of letters that names the parameters when printed (the
// letters take no part in the value). A handle on a shared body that is built
// complete and never changed; every operation builds a new body.
// Values and arithmetic exist over ZEM_fraction and ZEM_cyclotomic_number; over
// ZEM_int the class prints and names its parameters, and no arithmetic exists.
#pragma once

#include "module-object/pointer_to_objects.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"

template <class T>
class ZEM_symbolic_number_impl : public ZEM_referenced_object {
public:
    ZEM_symbolic_number_impl(const pointer_to_objects<T>& coefficients, const T& constant, const char* names);

    // The name of parameter k of a number with n coefficients: letter k of the text
    // while n fits the text, else its first letter followed by k. A new[] block of
    // 20 chars that the caller frees with delete[].
    char* give_name(int n, int k) const;

    pointer_to_objects<T> coefficients;
    T constant;
    // The letters with their terminating zero byte.
    pointer_to_objects<char> names;
};

template <class T>
class ZEM_symbolic_number : public ZEM_referencing_object<ZEM_symbolic_number_impl<T>> {
public:
    // Zero, without coefficients, named by "xyzuvw".
    ZEM_symbolic_number();
    // Zero, without coefficients, named by the given letters.
    explicit ZEM_symbolic_number(const char* names);
    ZEM_symbolic_number(const pointer_to_objects<T>& coefficients, const T& constant, const char* names);
    ZEM_symbolic_number(const ZEM_symbolic_number& other) = default;
    ZEM_symbolic_number& operator=(const ZEM_symbolic_number& other) = default;

    ZEM_object* copy_object() const override;
    void print(std::ostream& out) const override;
    ZEM_type type() const override;

    // Over integers and fractions "a - 1/2*b + 3*d - 1"; over cyclotomic numbers
    // every term is joined by " + " and every coefficient but 1 is bracketed.
    void _print(std::ostream& out) const;

    const pointer_to_objects<T>& coefficients() const { return this->body()->coefficients; }
    const T& constant() const { return this->body()->constant; }
    const char* names() const { return this->body()->names.block(); }
};

ZEM_type tp_symbolic_number(const ZEM_type& element);

// The sum has as many coefficients as the longer operand and the names of b.
template <class T>
ZEM_symbolic_number<T> operator+(const ZEM_symbolic_number<T>& a, const ZEM_symbolic_number<T>& b);
// Negates every coefficient and the constant.
template <class T>
ZEM_symbolic_number<T> operator-(const ZEM_symbolic_number<T>& a);
template <class T>
ZEM_symbolic_number<T> operator*(const T& s, const ZEM_symbolic_number<T>& a);

// Equal coefficient arrays (same count) and equal constants; the names do not count.
template <class T>
int operator==(const ZEM_symbolic_number<T>& a, const ZEM_symbolic_number<T>& b);
// The sum of k * hash(coefficient k) plus hash(constant), wrapping in 32 bits.
template <class T>
int hash(const ZEM_symbolic_number<T>& a);

extern template class ZEM_symbolic_number_impl<ZEM_int>;
extern template class ZEM_symbolic_number_impl<ZEM_fraction>;
extern template class ZEM_symbolic_number_impl<ZEM_cyclotomic_number>;
extern template class ZEM_symbolic_number<ZEM_int>;
extern template class ZEM_symbolic_number<ZEM_fraction>;
extern template class ZEM_symbolic_number<ZEM_cyclotomic_number>;
