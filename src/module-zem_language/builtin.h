// A built-in function or procedure of the command language: its name, two help
// texts, its signature and its entry point. Each definition is a file-scope
// static of a unit of built-ins whose constructor enters it into
// global_functions; the table points at the definition and never owns it.
//
// Linking: such a unit is referenced by nothing but its own statics, so a
// linker taking objects from an archive would drop it. The programs therefore
// link zarn_core whole (WHOLE_ARCHIVE in CMakeLists.txt); a unit of built-ins
// needs no registration call, only to be a source file of zarn_core.
// Built-ins are plain functions: they test neither count nor types (the
// semantic pass and call_func/call_proc do) and return a new heap value that
// the caller owns.
#pragma once

#include "module-object/object.h"
#include "module-object/pointer_to_objects.h"
#include "module-object/string.h"
#include "module-object/type.h"

using builtin_function = ZEM_object* (*)(int n, const ZEM_object** args);
using builtin_procedure = void (*)(int n, const ZEM_object** args);
// Names the result of a call from the names of its arguments: a new[] text.
using result_naming_function = char* (*)(int n, const char** names);

class builtin_func_definition {
public:
    // A function; registers itself. arg_types holds at least nargs types.
    builtin_func_definition(const ZEM_string& name, const ZEM_string& short_help, const ZEM_string& long_help,
                            builtin_function func, result_naming_function name_of_result_func,
                            const ZEM_type& result_type, int nargs, const ZEM_type* arg_types);
    // A procedure: result type "void", no result naming; registers itself.
    builtin_func_definition(const ZEM_string& name, const ZEM_string& short_help, const ZEM_string& long_help,
                            builtin_procedure proc, int nargs, const ZEM_type* arg_types);
    builtin_func_definition(const builtin_func_definition&) = delete;
    builtin_func_definition& operator=(const builtin_func_definition&) = delete;

    // Fails when the name is already registered.
    void add_to_functable() const;
    void remove_from_functable() const;

    bool is_procedure() const { return proc != nullptr; }
    // -1 when n differs from nargs (flags untouched); else the number of
    // arguments whose type differs, each with its flag set to 1.
    int check_arg_types(int n, const pointer_to_objects<ZEM_type>& types, int* mismatch) const;
    // With a wrong count: an alert and null (nothing for a procedure), the
    // built-in not entered. The arguments stay the caller's.
    ZEM_object* call_func(int n, const ZEM_object** args) const;
    void call_proc(int n, const ZEM_object** args) const;
    // A new[] text that the caller frees with delete[].
    char* name_of_result(int n, const char** names) const;

    const ZEM_string name;
    const ZEM_string short_help;
    const ZEM_string long_help;
    const ZEM_type result_type;
    const int nargs;
    const pointer_to_objects<ZEM_type> arg_types;

private:
    const builtin_function func = nullptr;
    const builtin_procedure proc = nullptr;
    const result_naming_function name_of_result_func = nullptr;
};

// The result naming of every built-in: a new[] "untitled" whatever the arguments.
char* name_untitled(int n, const char** names);
