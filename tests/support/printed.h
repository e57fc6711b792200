// The printed form of a value, as a view or a file would receive it.
#pragma once

#include <sstream>
#include <string>

#include "module-object/object.h"

inline std::string printed(const ZEM_object& value)
{
    std::ostringstream out;
    value.print(out);
    return out.str();
}
