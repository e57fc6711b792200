#include "module-chartab/character.h"

ZEM_character::ZEM_character(const pointer_to_objects<ZEM_cyclotomic_number>& values)
{
    attach(new ZEM_character_impl(values));
}

ZEM_object* ZEM_character::copy_object() const { return new ZEM_character(*this); }

void ZEM_character::print(std::ostream& out) const
{
    out << "character(";
    const auto& v = values();
    for (int c = 0; c < v.count(); ++c) {
        if (c > 0) out << ' ';
        v[c].print(out);
    }
    out << ')';
}

ZEM_type ZEM_character::type() const { return tp_character(); }

ZEM_type tp_character() { return ZEM_type("character", 0); }
