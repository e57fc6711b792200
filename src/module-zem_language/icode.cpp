#include "module-zem_language/icode.h"

#include <sstream>
#include <vector>

#include "module-collections/linkedlist.h"
#include "module-object/file_output.h"
#include "module-object/text_stream.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/symtab.h"

namespace {

constinit command_file_runner installed_runner = nullptr;

// Pops n values, the first popped at 0; a failing pop frees those already taken.
std::vector<popped_value> pop_values(ZEM_vm& vm, int n)
{
    std::vector<popped_value> values;
    values.reserve(n > 0 ? static_cast<std::size_t>(n) : 0);
    for (int k = 0; k < n; ++k) values.push_back(pop_value(vm));
    return values;
}

// The arguments of a call, popped first argument first; deleted with the holder.
class popped_arguments {
public:
    popped_arguments(ZEM_vm& vm, int n) : values(pop_values(vm, n))
    {
        for (const popped_value& v : values) pointers.push_back(v.get());
    }
    int count() const { return static_cast<int>(pointers.size()); }
    const ZEM_object** array() { return pointers.empty() ? nullptr : pointers.data(); }

private:
    std::vector<popped_value> values;
    std::vector<const ZEM_object*> pointers;
};

const builtin_func_definition& builtin_named(const ZEM_string& name, const char* caller)
{
    const func_symtab::func_symtabelt* entry = global_functions.lookup(name);
    if (!entry)
        ZEM_FAIL(std::string("[") + caller + "] no built-in named '" + name.c_str() + "'");
    if (entry->kind != 1) ZEM_FAIL("user defined functions not implemented (yet)");
    return *entry->definition;
}

}

icode_pushObject::~icode_pushObject() { delete object; }

void icode_pushObject::execute(ZEM_vm& vm) const { vm.pushObjectStack(object ? object->copy_object() : nullptr); }

void icode_objVar::execute(ZEM_vm& vm) const
{
    const var_symtab::var_symtabelt* variable = global_objects.lookup(name);
    if (!variable || !variable->object)
        ZEM_FAIL(std::string("[icode_objVar] variable '") + name.c_str() + "' has no value");
    vm.pushObjectStack(variable->object->copy_object());
}

void icode_objAssign::execute(ZEM_vm& vm) const
{
    const popped_value value = pop_value(vm);
    global_objects.add(name, value.get(), type);
}

void icode_callFunc::execute(ZEM_vm& vm) const
{
    popped_arguments args(vm, nargs);
    ZEM_object* result = builtin_named(name, "icode_callFunc").call_func(args.count(), args.array());
    vm.pushObjectStack(result);
}

void icode_callProc::execute(ZEM_vm& vm) const
{
    popped_arguments args(vm, nargs);
    builtin_named(name, "icode_callProc").call_proc(args.count(), args.array());
}

void icode_file::execute(ZEM_vm& vm) const
{
    const popped_value value = pop_value(vm);
    const popped_value name = pop_value(vm);
    const ZEM_string& path = taken_as<ZEM_string>(name.get(), "[icode_file] the file name is not a string");
    if (!value) ZEM_FAIL("[icode_file] no value to write");
    text_stream text;
    value->print(text);
    const file_write_failure failure = write_whole_file(path.c_str(), text.str(), file_write_mode::replace);
    if (failure != file_write_failure::none)
        failure_message(std::string("\n").append(write_failure_text(failure, path.c_str())).c_str());
}

command_file_runner install_command_file_runner(command_file_runner runner)
{
    command_file_runner previous = installed_runner;
    installed_runner = runner;
    return previous;
}

void icode_input::execute(ZEM_vm& vm) const
{
    const popped_value name = pop_value(vm);
    const ZEM_string& path = taken_as<ZEM_string>(name.get(), "[icode_input] the file name is not a string");
    if (!installed_runner) ZEM_FAIL("[icode_input] no command-file runner in this program");
    installed_runner(path);
}

void icode_string_list::execute(ZEM_vm& vm) const
{
    auto list = std::make_unique<ZEM_linkedlist<ZEM_string>>();
    for (int k = 0; k < n; ++k) {
        const popped_value element = pop_value(vm);
        list->add_at_tail(taken_as<ZEM_string>(element.get(), "[icode_string_list] an element is not a string"));
    }
    vm.pushObjectStack(list.release());
}
