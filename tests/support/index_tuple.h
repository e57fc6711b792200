// Index tuples written as lists in tests.
#pragma once

#include <vector>

#include "module-object/pointer_to_objects.h"

inline pointer_to_objects<int> tuple_of(const std::vector<int>& values)
{
    pointer_to_objects<int> t(static_cast<int>(values.size()));
    for (int k = 0; k < t.count(); ++k) t[k] = values[static_cast<std::size_t>(k)];
    return t;
}
