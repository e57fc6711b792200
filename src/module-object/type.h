// A type descriptor: a name and ordered type arguments, printed as
// name<arg,arg>. Two descriptors are equal exactly when their printed forms are.
#pragma once

#include <ostream>
#include <string>
#include <vector>

class ZEM_type {
public:
    ZEM_type();
    // The n further arguments are `const ZEM_type*`, copied deeply in order.
    ZEM_type(const char* name, int n, ...);

    void print(std::ostream& out) const;
    std::string text() const;

private:
    std::string name_;
    std::vector<ZEM_type> arguments_;
};

bool operator==(const ZEM_type& a, const ZEM_type& b);
inline bool operator!=(const ZEM_type& a, const ZEM_type& b) { return !(a == b); }
std::ostream& operator<<(std::ostream& out, const ZEM_type& t);

ZEM_type tp_error();
ZEM_type tp_void();
ZEM_type tp_unknown();
ZEM_type tp_int();
ZEM_type tp_real();
ZEM_type tp_fraction();
ZEM_type tp_string();
ZEM_type tp_set(const ZEM_type& t);
ZEM_type tp_linkedlist(const ZEM_type& t);
ZEM_type tp_dictionary(const ZEM_type& k, const ZEM_type& v);
