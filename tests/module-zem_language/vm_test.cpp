#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "module-object/string.h"
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

}
