// A symbolic number: constant + the sum of coefficient_k * parameter k over the
// parameters 0 .. count - 1, all of one scalar type T, with a text of letters that
// names the parameters when printed (the letters take no part in the value). Only
// the non-zero coefficients are stored, as terms in ascending parameter order: an
// invariant tensor of thousands of parameters has a handful in each component. The
// count stays part of the value, as the dense array it stands for would keep it:
// it decides how parameters are named and which numbers are equal.
// A handle on a shared body that is built complete and never changed; every
// operation builds a new body.
// Values and arithmetic exist over ZEM_fraction and ZEM_cyclotomic_number; over
// ZEM_int the class prints and names its parameters, and no arithmetic exists.
#pragma once

#include <algorithm>
#include <vector>

#include "module-object/pointer_to_objects.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"

// A non-zero coefficient and the parameter that it multiplies.
template <class T>
struct symbolic_term {
    int parameter;
    T coefficient;
};

// The coefficients as the dense array they stand for, read in place: count()
// of them, T's zero for a parameter without a term.
template <class T>
class symbolic_coefficients {
public:
    symbolic_coefficients(const std::vector<symbolic_term<T>>& terms, int count) : terms_(&terms), count_(count) {}
    int count() const { return count_; }
    // A search among the terms; callers that walk every parameter read terms() instead.
    const T& operator[](int k) const
    {
        auto found = std::lower_bound(terms_->begin(), terms_->end(), k,
                                      [](const symbolic_term<T>& term, int p) { return term.parameter < p; });
        if (found != terms_->end() && found->parameter == k) return found->coefficient;
        static const T zero;
        return zero;
    }

private:
    const std::vector<symbolic_term<T>>* terms_;
    int count_;
};

template <class T>
class ZEM_symbolic_number_impl : public ZEM_referenced_object {
public:
    // From the dense array: its zeros are left out.
    ZEM_symbolic_number_impl(const pointer_to_objects<T>& coefficients, const T& constant, const char* names);
    // Terms in ascending parameter order, each below count; zero coefficients are left out.
    ZEM_symbolic_number_impl(int count, std::vector<symbolic_term<T>> terms, const T& constant, const char* names);

    // The name of parameter k of a number with n coefficients: letter k of the text
    // while n (at least 1) fits the text, else its first letter followed by k. A new[] block of
    // 20 chars that the caller frees with delete[].
    char* give_name(int n, int k) const;

    // The number of parameters, zeros included.
    int count;
    std::vector<symbolic_term<T>> terms;
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
    ZEM_symbolic_number(int count, std::vector<symbolic_term<T>> terms, const T& constant, const char* names);
    ZEM_symbolic_number(const ZEM_symbolic_number& other) = default;
    ZEM_symbolic_number& operator=(const ZEM_symbolic_number& other) = default;

    ZEM_object* copy_object() const override;
    void print(std::ostream& out) const override;
    ZEM_type type() const override;

    // Over integers and fractions "a - 1/2*b + 3*d - 1"; over cyclotomic numbers
    // every term is joined by " + " and every coefficient but 1 is bracketed.
    void _print(std::ostream& out) const;

    symbolic_coefficients<T> coefficients() const { return {this->body()->terms, this->body()->count}; }
    const std::vector<symbolic_term<T>>& terms() const { return this->body()->terms; }
    const T& constant() const { return this->body()->constant; }
    const char* names() const { return this->body()->names.block(); }
};

ZEM_type tp_symbolic_number(const ZEM_type& element);

// The sum has as many coefficients as the longer operand and the names of b;
// terms that cancel leave the count as it is.
template <class T>
ZEM_symbolic_number<T> operator+(const ZEM_symbolic_number<T>& a, const ZEM_symbolic_number<T>& b);
// Negates every coefficient and the constant.
template <class T>
ZEM_symbolic_number<T> operator-(const ZEM_symbolic_number<T>& a);
template <class T>
ZEM_symbolic_number<T> operator*(const T& s, const ZEM_symbolic_number<T>& a);

// Equal counts, terms and constants; the names do not count.
template <class T>
int operator==(const ZEM_symbolic_number<T>& a, const ZEM_symbolic_number<T>& b);
// The sum of k * hash(coefficient k) plus hash(constant), wrapping in 32 bits.
template <class T>
int hash(const ZEM_symbolic_number<T>& a);

extern template class ZEM_symbolic_number<ZEM_int>;
extern template class ZEM_symbolic_number<ZEM_fraction>;
extern template class ZEM_symbolic_number<ZEM_cyclotomic_number>;
