#include "numbers/symbolic.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>

#include "module-matrix_a/entry_size.h"
#include "module-object/error.h"

namespace {

// A term list that breaks its order would be read wrongly by every operation.
template <class T>
std::vector<symbolic_term<T>> checked_terms(int count, std::vector<symbolic_term<T>> terms)
{
    std::erase_if(terms, [](const symbolic_term<T>& t) { return is_zero_entry(t.coefficient); });
    int last = -1;
    for (const symbolic_term<T>& t : terms) {
        if (t.parameter <= last || t.parameter >= count)
            ZEM_FAIL("[ZEM_symbolic_number] terms out of order or beyond the count (please report)");
        last = t.parameter;
    }
    return terms;
}

template <class T>
std::vector<symbolic_term<T>> terms_of(const pointer_to_objects<T>& coefficients)
{
    std::vector<symbolic_term<T>> terms;
    for (int k = 0; k < coefficients.count(); ++k)
        if (!is_zero_entry(coefficients[k])) terms.push_back({k, coefficients[k]});
    return terms;
}

}

template <class T>
ZEM_symbolic_number_impl<T>::ZEM_symbolic_number_impl(const pointer_to_objects<T>& coefficients, const T& constant,
                                                      const char* names)
    : ZEM_symbolic_number_impl(coefficients.count(), terms_of(coefficients), constant, names)
{
}

template <class T>
ZEM_symbolic_number_impl<T>::ZEM_symbolic_number_impl(int count, std::vector<symbolic_term<T>> terms,
                                                      const T& constant, const char* names)
    : count(count), terms(checked_terms(count, std::move(terms))), constant(constant),
      names(static_cast<int>(std::strlen(names ? names : "")) + 1)
{
    // Null letters are no letters, as a null ZEM_string is the empty text.
    if (names) std::memcpy(this->names.block(), names, static_cast<std::size_t>(this->names.count()));
}

template <class T>
char* ZEM_symbolic_number_impl<T>::give_name(int n, int k) const
{
    char* name = new char[20];
    // A k outside the text is named by number whatever n says, so no letter past the text is read.
    const int letters = names.count() - 1;
    if (n >= 1 && n <= letters && k >= 0 && k < letters)
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
ZEM_symbolic_number<T>::ZEM_symbolic_number(int count, std::vector<symbolic_term<T>> terms, const T& constant,
                                            const char* names)
{
    this->attach(new ZEM_symbolic_number_impl<T>(count, std::move(terms), constant, names));
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
    bool printed = false;
    for (const auto& [k, c] : body.terms) {
        write_sign(out, c, printed);
        if (!magnitude_is_one(c)) {
            write_magnitude(out, c);
            out << '*';
        }
        write_name(out, body, body.count, k);
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
    const ZEM_cyclotomic_number one(1);
    bool printed = false;
    for (const auto& [k, c] : body.terms) {
        if (printed) out << " + ";
        if (c != one) out << '[' << c << "]*";
        write_name(out, body, body.count, k);
        printed = true;
    }
    if (!is_zero_entry(body.constant)) {
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
    const std::vector<symbolic_term<T>>& ta = a.terms();
    const std::vector<symbolic_term<T>>& tb = b.terms();
    std::vector<symbolic_term<T>> sum;
    sum.reserve(ta.size() + tb.size());
    auto i = ta.begin(), j = tb.begin();
    while (i != ta.end() || j != tb.end()) {
        if (j == tb.end() || (i != ta.end() && i->parameter < j->parameter))
            sum.push_back(*i++);
        else if (i == ta.end() || j->parameter < i->parameter)
            sum.push_back(*j++);
        else {
            T c = i->coefficient + j->coefficient;
            if (!is_zero_entry(c)) sum.push_back({i->parameter, std::move(c)});
            ++i, ++j;
        }
    }
    return ZEM_symbolic_number<T>(std::max(a.coefficients().count(), b.coefficients().count()), std::move(sum),
                                  a.constant() + b.constant(), b.names());
}

template <class T>
ZEM_symbolic_number<T> operator-(const ZEM_symbolic_number<T>& a)
{
    std::vector<symbolic_term<T>> negated(a.terms());
    for (symbolic_term<T>& t : negated) t.coefficient = -t.coefficient;
    return ZEM_symbolic_number<T>(a.coefficients().count(), std::move(negated), -a.constant(), a.names());
}

template <class T>
ZEM_symbolic_number<T> operator*(const T& s, const ZEM_symbolic_number<T>& a)
{
    std::vector<symbolic_term<T>> scaled(a.terms());
    for (symbolic_term<T>& t : scaled) t.coefficient = s * t.coefficient;
    return ZEM_symbolic_number<T>(a.coefficients().count(), std::move(scaled), s * a.constant(), a.names());
}

template <class T>
int operator==(const ZEM_symbolic_number<T>& a, const ZEM_symbolic_number<T>& b)
{
    const std::vector<symbolic_term<T>>& ta = a.terms();
    const std::vector<symbolic_term<T>>& tb = b.terms();
    if (a.coefficients().count() != b.coefficients().count() || ta.size() != tb.size()) return 0;
    for (std::size_t k = 0; k < ta.size(); ++k)
        if (ta[k].parameter != tb[k].parameter || !(ta[k].coefficient == tb[k].coefficient)) return 0;
    return a.constant() == b.constant();
}

// A zero coefficient hashes to 0, so the terms give the dense array's hash.
template <class T>
int hash(const ZEM_symbolic_number<T>& a)
{
    unsigned h = static_cast<unsigned>(hash(a.constant()));
    for (const auto& [k, c] : a.terms()) h += static_cast<unsigned>(k) * static_cast<unsigned>(hash(c));
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
