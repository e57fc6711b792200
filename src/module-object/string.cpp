#include "module-object/string.h"

#include <cstring>

ZEM_string::ZEM_string(const char* text)
{
    if (!text) text = "";
    std::size_t length = std::strlen(text);
    if (length >= 0x7fffffff) ZEM_FAIL("[ZEM_string] text too long");
    text_ = pointer_to_objects<char>(static_cast<int>(length) + 1);
    std::memcpy(text_.block(), text, length + 1);
}

ZEM_string ZEM_string::borrowed(const char* text) { return ZEM_string(no_copy{}, text); }

int ZEM_string::length() const
{
    return borrowed_ ? static_cast<int>(std::strlen(borrowed_)) : text_.count() - 1;
}

ZEM_object* ZEM_string::copy_object() const { return new ZEM_string(*this); }

void ZEM_string::print(std::ostream& out) const { out << c_str(); }

ZEM_type ZEM_string::type() const { return tp_string(); }

ZEM_string operator+(const ZEM_string& a, const ZEM_string& b)
{
    std::size_t la = static_cast<std::size_t>(a.length());
    std::size_t lb = static_cast<std::size_t>(b.length());
    if (la + lb + 1 > 0x7fffffff) ZEM_FAIL("[ZEM_string] text too long");
    pointer_to_objects<char> joined(static_cast<int>(la + lb + 1));
    std::memcpy(joined.block(), a.c_str(), la);
    std::memcpy(joined.block() + la, b.c_str(), lb + 1);
    return ZEM_string(joined.block());
}

bool operator==(const ZEM_string& a, const ZEM_string& b) { return std::strcmp(a, b) == 0; }

int hash(const ZEM_string& s)
{
    unsigned sum = 0;
    for (const char* c = s; *c; ++c) sum += static_cast<unsigned>(static_cast<signed char>(*c));
    return static_cast<int>(sum);
}
