#include "module-main_zarn/config_error.h"

#include "module-object/error.h"

void configuration_error(const std::string& detail)
{
    const std::string text = "configuration error, " + detail;
    beep();
    message(text.c_str());
    throw configuration_fault{text};
}

const var_symtab::var_symtabelt* configuration_variable(const std::string& name)
{
    const var_symtab::var_symtabelt* entry = global_objects.lookup(ZEM_string(name.c_str()));
    return entry && entry->object ? entry : nullptr;
}

ZEM_type tp_string_list() { return tp_linkedlist(tp_string()); }
