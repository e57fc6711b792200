// What the units of built-in functions share: reading an argument as the type
// it was registered with. The semantic pass and call_func have tested count and
// types before a built-in runs, so no built-in tests them again.
#pragma once

#include "module-object/object.h"

template <class T>
const T& argument(const ZEM_object** args, int k)
{
    return static_cast<const T&>(*args[k]);
}
