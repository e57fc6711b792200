// Values and built-ins for tests of the stack machine and its instructions.
#pragma once

#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

#include "module-object/string.h"
#include "module-scalar/integer.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/icode.h"

// A built-in registered for as long as the test holds it.
class test_builtin {
public:
    template <class... Args>
    explicit test_builtin(Args&&... args) : definition(std::forward<Args>(args)...)
    {
    }
    ~test_builtin() { definition.remove_from_functable(); }

    builtin_func_definition definition;
};

// Literal values as code generation pushes them: #3 and "a".
inline ZEM_object* num(int v) { return new ZEM_int(v); }
inline ZEM_object* str(const char* text) { return new ZEM_string(text); }

// Puts `top_first` on a fresh machine (the first given on top), runs `instr`
// and returns what it left; nothing else may be left on the stack.
inline popped_value run_on(const std::vector<ZEM_object*>& top_first, icode_instr* instr)
{
    const std::unique_ptr<icode_instr> owned(instr);
    ZEM_vm vm;
    for (auto value = top_first.end(); value != top_first.begin();) vm.pushObjectStack(*--value);
    instr->execute(vm);
    popped_value result(vm.topOfObjectStack() ? vm.popObjectStack() : nullptr);
    EXPECT_EQ(vm.topOfObjectStack(), nullptr) << "values left on the stack";
    return result;
}
