#include <gtest/gtest.h>
#include <memory>

#include "module-object/string.h"
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
