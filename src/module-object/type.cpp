#include "module-object/type.h"

#include <cstdarg>
#include <sstream>

#include "module-object/text_stream.h"

ZEM_type::ZEM_type() : name_("unknown") {}

ZEM_type::ZEM_type(const char* name, int n, ...) : name_(name ? name : "unknown")
{
    if (n < 1) return;
    std::va_list args;
    va_start(args, n);
    arguments_.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) arguments_.push_back(*va_arg(args, const ZEM_type*));
    va_end(args);
}

void ZEM_type::print(std::ostream& out) const
{
    out << name_;
    if (arguments_.empty()) return;
    out << '<';
    for (std::size_t i = 0; i < arguments_.size(); ++i) {
        if (i > 0) out << ',';
        arguments_[i].print(out);
    }
    out << '>';
}

std::string ZEM_type::text() const
{
    text_stream out;
    print(out);
    return out.str();
}

bool operator==(const ZEM_type& a, const ZEM_type& b) { return a.text() == b.text(); }

std::ostream& operator<<(std::ostream& out, const ZEM_type& t)
{
    t.print(out);
    return out;
}

ZEM_type tp_error() { return ZEM_type("error", 0); }
ZEM_type tp_void() { return ZEM_type("void", 0); }
ZEM_type tp_unknown() { return ZEM_type(); }
ZEM_type tp_int() { return ZEM_type("int", 0); }
ZEM_type tp_real() { return ZEM_type("real", 0); }
ZEM_type tp_fraction() { return ZEM_type("fraction", 0); }
ZEM_type tp_string() { return ZEM_type("string", 0); }
ZEM_type tp_set(const ZEM_type& t) { return ZEM_type("set", 1, &t); }
ZEM_type tp_linkedlist(const ZEM_type& t) { return ZEM_type("linkedlist", 1, &t); }
ZEM_type tp_dictionary(const ZEM_type& k, const ZEM_type& v) { return ZEM_type("dictionary", 2, &k, &v); }
