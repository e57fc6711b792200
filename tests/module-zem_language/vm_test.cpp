#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "module-object/string.h"
#include "module-zem_language/icode.h"
#include "module-zem_language/vm.h"
#include "module-zem_language/vm_support.h"
#include "support/failure.h"

namespace {

const std::string empty_pop = run_time("[ObjectStack::pop] pop of empty stack");

TEST(ObjectStack, IsLastInFirstOutAndFailsWhenPoppedEmpty)
{
    ZEM_vm vm;
    EXPECT_EQ(vm.topOfObjectStack(), nullptr);
    EXPECT_EQ(failure_of([&] { vm.popObjectStack(); }), empty_pop);
    ZEM_string a("a"), b("b");
    vm.pushObjectStack(&a);
    vm.pushObjectStack(nullptr);
    vm.pushObjectStack(&b);
    EXPECT_EQ(vm.topOfObjectStack(), &b);
    EXPECT_EQ(vm.popObjectStack(), &b);
    EXPECT_EQ(vm.popObjectStack(), nullptr);
    EXPECT_EQ(vm.popObjectStack(), &a);
    EXPECT_EQ(failure_of([&] { vm.popObjectStack(); }), empty_pop);
}

TEST(ObjectStack, TheMachineDeletesWhatIsLeftOnceAndEvenAVeryDeepStack)
{
    auto deletions = std::make_shared<int>(0);
    std::unique_ptr<ZEM_object> popped;
    {
        ZEM_vm vm;
        for (int k = 0; k < 4; ++k) vm.pushObjectStack(new tracked(deletions));
        popped.reset(vm.popObjectStack());
    }
    EXPECT_EQ(*deletions, 3);
    popped.reset();
    EXPECT_EQ(*deletions, 4);

    auto vm = std::make_unique<ZEM_vm>();
    for (int k = 0; k < 1 << 21; ++k) vm->pushObjectStack(nullptr);
    vm.reset();
}

TEST(InstructionLists, RunInOrderUntilAFailureAndOwnTheirInstructions)
{
    auto deletions = std::make_shared<int>(0);
    {
        icode_instr_list list;
        ZEM_vm vm;
        vm.execute(list);
        EXPECT_EQ(vm.topOfObjectStack(), nullptr);
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
