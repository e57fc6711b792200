#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "module-object/string.h"
#include "module-zem_language/icode.h"
#include "module-zem_language/vm.h"
#include "module-zem_language/vm_support.h"
#include "support/failure.h"

namespace {

TEST(ObjectStack, FailsWhenPoppedEmptyAndTheMachineDeletesWhatIsLeftEvenWhenDeep)
{
    auto deletions = std::make_shared<int>(0);
    std::unique_ptr<ZEM_object> popped;
    {
        ZEM_vm vm;
        EXPECT_EQ(failure_of([&] { vm.popObjectStack(); }), run_time("[ObjectStack::pop] pop of empty stack"));
        for (int k = 0; k < 4; ++k) vm.pushObjectStack(new tracked(deletions));
        vm.pushObjectStack(nullptr);
        EXPECT_EQ(vm.popObjectStack(), nullptr);
        popped.reset(vm.popObjectStack());
    }
    EXPECT_EQ(*deletions, 3);
    auto vm = std::make_unique<ZEM_vm>();
    for (int k = 0; k < 1 << 21; ++k) vm->pushObjectStack(nullptr);
    vm.reset();
}

// Each run pushes a fresh copy; a failure stops the list, and the list frees its instructions.
TEST(InstructionLists, RunInOrderUntilAFailureAndOwnTheirInstructions)
{
    auto deletions = std::make_shared<int>(0);
    {
        icode_instr_list list;
        ZEM_vm vm;
        list.add(new icode_pushObject(new tracked(deletions)));
        vm.execute(list);
        vm.execute(list);
        const popped_value second(vm.popObjectStack()), first(vm.popObjectStack());
        EXPECT_NE(first.get(), second.get());

        list.add(new icode_objVar("t_undefined"));
        list.add(new icode_pushObject(new tracked(deletions)));
        EXPECT_EQ(failure_of([&] { vm.execute(list); }),
                  run_time("[icode_objVar] variable 't_undefined' has no value"));
        const popped_value ran(vm.popObjectStack());
        EXPECT_EQ(vm.topOfObjectStack(), nullptr);
        EXPECT_EQ(*deletions, 0);
    }
    EXPECT_EQ(*deletions, 5);
}

}
