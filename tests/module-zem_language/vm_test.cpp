#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "module-object/string.h"
#include "module-scalar/integer.h"
#include "module-zem_language/icode.h"
#include "module-zem_language/vm.h"
#include "support/failure.h"

// The machine deletes what is left on its stack (else the sanitizers see a
// leak), also a stack too deep for a recursive deletion.
TEST(ObjectStack, FailsWhenPoppedEmptyAndTheMachineDeletesWhatIsLeftEvenWhenDeep)
{
    auto vm = std::make_unique<ZEM_vm>();
    EXPECT_EQ(failure_of([&] { vm->popObjectStack(); }), run_time("[ObjectStack::pop] pop of empty stack"));
    for (int k = 0; k < 3; ++k) vm->pushObjectStack(new ZEM_string("left"));
    vm->pushObjectStack(nullptr);
    EXPECT_EQ(vm->popObjectStack(), nullptr);
    for (int k = 0; k < 1 << 21; ++k) vm->pushObjectStack(nullptr);
    vm.reset();
}

// Command text cannot put a non-string where a file name goes (the checks
// refuse it first), but the instructions still check what they pop.
TEST(ObjectStack, FileAndIncludeRefuseOperandsOfTheWrongKind)
{
    const auto run = [](std::vector<ZEM_object*> pushed, const icode_instr& instr) {
        ZEM_vm vm;
        for (ZEM_object* object : pushed) vm.pushObjectStack(object);
        return failure_of([&] { instr.execute(vm); });
    };
    EXPECT_EQ(run({new ZEM_int(1), new ZEM_string("value")}, icode_file()),
              run_time("[icode_file] the file name is not a string"));
    EXPECT_EQ(run({new ZEM_string("name"), nullptr}, icode_file()), run_time("[icode_file] no value to write"));
    EXPECT_EQ(run({new ZEM_int(1)}, icode_input()), run_time("[icode_input] the file name is not a string"));
}
