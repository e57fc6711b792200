// The text of the failure that `action` throws, or "(no failure)".
#pragma once

#include <string>

#include "module-object/string.h"

template <class Action>
std::string failure_of(Action&& action)
{
    try {
        action();
    } catch (const ZEM_string& thrown) {
        return thrown.c_str();
    }
    return "(no failure)";
}

// The text a failing operation throws for `message`.
inline std::string run_time(const std::string& message) { return "run-time exception: " + message + "\n"; }
