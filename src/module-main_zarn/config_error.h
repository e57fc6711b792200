// Faults of the configuration found after it has run: a mapping or chooser list
// that is missing or of the wrong type. The user hears a beep and reads the
// alert; then the fault travels as a configuration_fault, which ends start-up
// but only ends the current action inside a workbench, so no result is lost.
#pragma once

#include <string>

#include "module-misc_amulet/window_parts.h"
#include "module-object/error.h"
#include "module-object/string.h"
#include "module-object/type.h"
#include "module-zem_language/symtab.h"

struct configuration_fault {
    std::string text;
};

// Beeps, shows "configuration error, " + detail and throws.
[[noreturn]] void configuration_error(const std::string& detail);

// The variable of that name when it exists and holds a value, else null.
const var_symtab::var_symtabelt* configuration_variable(const std::string& name);

ZEM_type tp_string_list();

// Runs an action of a workbench, so that no failure reaches Qt's event loop: a
// failure shows its text (after a beep when `beeping`) and the action adds
// nothing; a configuration fault has been shown already. Either way the
// workbench and the deck go on.
template <class Work>
void workbench_action(Work&& work, bool beeping = true, work_kind kind = work_kind::may_take_time)
{
    try {
        showing_failures(work, beeping, kind);
    } catch (const configuration_fault&) {
    }
}

// A command's method: its procedure `proc` under the workbench's failure guard.
template <auto proc, class Command>
void guarded_method(Command& command, bool beeping = true)
{
    workbench_action([&] { proc(command); }, beeping);
}
