// The text value: a zero-terminated copy of its characters, copied whole.
// It is also what every failure throws. A string made by `borrowed` refers to
// text in static storage instead, so that it and its copies allocate nothing.
#pragma once

#include "module-object/object.h"
#include "module-object/pointer_to_objects.h"

class ZEM_string : public ZEM_copied_object {
public:
    // A null text is the empty string.
    ZEM_string(const char* text = "");
    ZEM_string(const ZEM_string& other) = default;
    ZEM_string& operator=(const ZEM_string& other) = default;

    // `text` must outlive every copy; the failure "out of memory" is thrown so.
    static ZEM_string borrowed(const char* text);

    operator const char*() const { return c_str(); }
    const char* c_str() const { return borrowed_ ? borrowed_ : text_.block(); }
    int length() const;

    ZEM_object* copy_object() const override;
    void print(std::ostream& out) const override;
    ZEM_type type() const override;

private:
    struct no_copy {};
    ZEM_string(no_copy, const char* text) : borrowed_(text) {}

    pointer_to_objects<char> text_;
    const char* borrowed_ = nullptr;
};

ZEM_string operator+(const ZEM_string& a, const ZEM_string& b);
bool operator==(const ZEM_string& a, const ZEM_string& b);
inline bool operator!=(const ZEM_string& a, const ZEM_string& b) { return !(a == b); }
// The sum of the characters as signed bytes, wrapping in 32 bits.
int hash(const ZEM_string& s);
