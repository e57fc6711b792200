#include "module-zem_language/builtin.h"

#include <cstring>
#include <string>

#include "module-object/error.h"
#include "module-zem_language/symtab.h"

namespace {

pointer_to_objects<ZEM_type> copy_types(int n, const ZEM_type* types)
{
    pointer_to_objects<ZEM_type> copies(n);
    for (int k = 0; k < n; ++k) copies[k] = types[k];
    return copies;
}

bool wrong_count(const char* kind, const ZEM_string& name, int n, int nargs)
{
    if (n == nargs) return false;
    message((std::string("call of ") + kind + " " + name.c_str() + ": wrong number of arguments").c_str());
    return true;
}

}

builtin_func_definition::builtin_func_definition(const ZEM_string& name, const ZEM_string& short_help,
                                                 const ZEM_string& long_help, builtin_function func,
                                                 result_naming_function name_of_result_func,
                                                 const ZEM_type& result_type, int nargs,
                                                 const ZEM_type* arg_types)
    : name(name), short_help(short_help), long_help(long_help), result_type(result_type), nargs(nargs),
      arg_types(copy_types(nargs, arg_types)), func(func), name_of_result_func(name_of_result_func)
{
    add_to_functable();
}

builtin_func_definition::builtin_func_definition(const ZEM_string& name, const ZEM_string& short_help,
                                                 const ZEM_string& long_help, builtin_procedure proc,
                                                 int nargs, const ZEM_type* arg_types)
    : name(name), short_help(short_help), long_help(long_help), result_type(tp_void()), nargs(nargs),
      arg_types(copy_types(nargs, arg_types)), proc(proc)
{
    add_to_functable();
}

void builtin_func_definition::add_to_functable() const
{
    if (global_functions.is_in_table(name))
        ZEM_FAIL("[builtin_func_definition::add_to_functable] name already defined as function");
    global_functions.add(name, this);
}

void builtin_func_definition::remove_from_functable() const { global_functions.remove(name); }

int builtin_func_definition::check_arg_types(int n, const pointer_to_objects<ZEM_type>& types,
                                             int* mismatch) const
{
    if (n != nargs) return -1;
    int count = 0;
    for (int i = 0; i < n; ++i)
        if (types[i] != arg_types[i]) {
            mismatch[i] = 1;
            ++count;
        }
    return count;
}

ZEM_object* builtin_func_definition::call_func(int n, const ZEM_object** args) const
{
    if (!func)
        ZEM_FAIL(std::string("[builtin_func_definition::call_func] '") + name.c_str() + "' is a procedure");
    if (wrong_count("function", name, n, nargs)) return nullptr;
    return func(n, args);
}

void builtin_func_definition::call_proc(int n, const ZEM_object** args) const
{
    if (!proc)
        ZEM_FAIL(std::string("[builtin_func_definition::call_proc] '") + name.c_str() + "' is a function");
    if (wrong_count("procedure", name, n, nargs)) return;
    proc(n, args);
}

char* builtin_func_definition::name_of_result(int n, const char** names) const
{
    return name_of_result_func ? name_of_result_func(n, names) : name_untitled(n, names);
}

char* name_untitled(int, const char**)
{
    static const char untitled[] = "untitled";
    char* copy = new char[sizeof untitled];
    std::memcpy(copy, untitled, sizeof untitled);
    return copy;
}
