// The instructions of everything a statement does besides building structured
// values: constants, variables, calls of built-ins, the `file` and `include`
// statements and string lists. Each pops its operands first operand first
// and owns what it popped until it has deleted it, also when it fails.
#pragma once

#include <memory>
#include <string>

#include "module-object/error.h"
#include "module-object/string.h"
#include "module-object/type.h"
#include "module-zem_language/vm.h"

// A popped value, deleted with its holder.
using popped_value = std::unique_ptr<ZEM_object>;

inline popped_value pop_value(ZEM_vm& vm) { return popped_value(vm.popObjectStack()); }

// `value` read as a T; a value of another class (or none) fails with `message`,
// so that an operand out of step is never read as the wrong kind.
template <class T>
const T& taken_as(const ZEM_object* value, const char* message)
{
    const T* as_t = dynamic_cast<const T*>(value);
    if (!as_t) ZEM_FAIL(message);
    return *as_t;
}

// Pushes a copy of its constant, which it owns.
class icode_pushObject : public icode_instr {
public:
    explicit icode_pushObject(ZEM_object* object) : object(object) {}
    ~icode_pushObject() override;
    void execute(ZEM_vm& vm) const override;

private:
    ZEM_object* object;
};

// Pushes a copy of the variable's value.
class icode_objVar : public icode_instr {
public:
    explicit icode_objVar(const ZEM_string& name) : name(name) {}
    void execute(ZEM_vm& vm) const override;

private:
    ZEM_string name;
};

// Pops a value into the variable, which takes the type fixed at compile time.
class icode_objAssign : public icode_instr {
public:
    icode_objAssign(const ZEM_string& name, const ZEM_type& type) : name(name), type(type) {}
    void execute(ZEM_vm& vm) const override;

private:
    ZEM_string name;
    ZEM_type type;
};

// Pops nargs arguments (the first argument first) and pushes the function's result.
class icode_callFunc : public icode_instr {
public:
    icode_callFunc(const ZEM_string& name, int nargs) : name(name), nargs(nargs) {}
    void execute(ZEM_vm& vm) const override;

private:
    ZEM_string name;
    int nargs;
};

// Pops nargs arguments and calls the procedure; pushes nothing.
class icode_callProc : public icode_instr {
public:
    icode_callProc(const ZEM_string& name, int nargs) : name(name), nargs(nargs) {}
    void execute(ZEM_vm& vm) const override;

private:
    ZEM_string name;
    int nargs;
};

// `file ( value name ) ;`: pops the value, then the file name, and writes the
// value's printed form to the file, created with permission bits 0664 less the
// umask. A file that cannot be created is an alert, not a failure.
class icode_file : public icode_instr {
public:
    void execute(ZEM_vm& vm) const override;
};

// `include ( name ) ;`: pops the file name and runs that command file through
// the installed runner; the nested run's error count is dropped.
class icode_input : public icode_instr {
public:
    void execute(ZEM_vm& vm) const override;
};

// Runs a command file and returns its error count.
using command_file_runner = int (*)(const char* path);
// The command-file execution installs its runner here (from a static
// initialiser, which may run before or after this file's); returns the one
// replaced. Without a runner, `include` fails.
command_file_runner install_command_file_runner(command_file_runner runner);

// Pops n strings (the first written on top) and pushes them as a
// ZEM_linkedlist<ZEM_string> in the order written.
class icode_string_list : public icode_instr {
public:
    explicit icode_string_list(int n) : n(n) {}
    void execute(ZEM_vm& vm) const override;

private:
    int n;
};
