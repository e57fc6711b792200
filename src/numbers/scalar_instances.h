// The scalars that vectors, matrices, groups and tensors are instantiated over,
// and the one place that decides which C++ instance a type descriptor names.
#pragma once

#include "module-object/type.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "numbers/cyclotomic.h"

template <class T>
struct scalar_tag {
    using type = T;
};

// Reals are read, stored and printed only, so most callers leave them out.
enum class scalar_set { exact, with_real };

// Calls `visit(scalar_tag<T>{})` for the scalar T with outer(T's type) == type;
// false when no scalar of the set matches.
template <scalar_set set = scalar_set::exact, class Outer, class Visit>
bool visit_scalar_instance(const ZEM_type& type, Outer&& outer, Visit&& visit)
{
    const auto one = [&]<class T>(scalar_tag<T> tag) {
        if (!(type == outer(T().type()))) return false;
        visit(tag);
        return true;
    };
    if constexpr (set == scalar_set::with_real)
        if (one(scalar_tag<ZEM_real>{})) return true;
    return one(scalar_tag<ZEM_int>{}) || one(scalar_tag<ZEM_fraction>{}) ||
           one(scalar_tag<ZEM_cyclotomic_number>{});
}

template <scalar_set set = scalar_set::exact, class Outer>
bool is_scalar_instance(const ZEM_type& type, Outer&& outer)
{
    return visit_scalar_instance<set>(type, outer, [](auto) {});
}
