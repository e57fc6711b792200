// A character of a finite group, given by its values: one cyclotomic number per
// conjugacy class, class 1 first. A handle on a shared body that never changes
// once built, so copies share it freely. The number of values is the length;
// nothing ties a character to a table, the table's operations compare lengths.
#pragma once

#include "module-object/object.h"
#include "module-object/pointer_to_objects.h"
#include "numbers/cyclotomic.h"

class ZEM_character_impl : public ZEM_referenced_object {
public:
    explicit ZEM_character_impl(const pointer_to_objects<ZEM_cyclotomic_number>& values) : values(values) {}

    pointer_to_objects<ZEM_cyclotomic_number> values;
};

class ZEM_character : public ZEM_referencing_object<ZEM_character_impl> {
public:
    // No body: only for arrays of characters that are assigned before any use.
    ZEM_character() = default;
    explicit ZEM_character(const pointer_to_objects<ZEM_cyclotomic_number>& values);
    ZEM_character(const ZEM_character& other) = default;
    ZEM_character& operator=(const ZEM_character& other) = default;

    int length() const { return body()->values.count(); }
    // Value on class c (counted from 1) is element c - 1.
    const pointer_to_objects<ZEM_cyclotomic_number>& values() const { return body()->values; }

    ZEM_object* copy_object() const override;
    // "character(" then the values separated by one blank, then ")".
    void print(std::ostream& out) const override;
    ZEM_type type() const override;
};

ZEM_type tp_character();
