#include "module-object/pointer_to_objects.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

#include "module-object/string.h"

namespace {

TEST(OwningArrays, EmptyArraysHaveNoBlockAndCompareByBlockThenCount)
{
    pointer_to_objects<int> none, also_none(0);
    pointer_to_objects<int> copy(none);
    EXPECT_EQ(none.block(), nullptr);
    EXPECT_EQ(copy.block(), nullptr);
    EXPECT_TRUE(none == also_none);
    pointer_to_objects<int> one(1);
    one[0] = 0;
    EXPECT_FALSE(none == one);
    pointer_to_objects<int> two(2);
    two[0] = two[1] = 0;
    EXPECT_FALSE(one == two);
}

TEST(OwningArrays, CopiesAreDeep)
{
    pointer_to_objects<ZEM_string> names(2);
    names[0] = "a";
    names[1] = "b";
    pointer_to_objects<ZEM_string> copy(names);
    copy[0] = "changed";
    EXPECT_EQ(names[0], ZEM_string("a"));
    pointer_to_objects<ZEM_string>& same = copy;
    copy = same;
    EXPECT_EQ(copy.count(), 2);
    EXPECT_EQ(copy[0], ZEM_string("changed"));
}

std::vector<int> destroyed;
int copies_until_failure = -1;

struct tracked {
    int id = 0;
    tracked() = default;
    tracked& operator=(const tracked& other)
    {
        if (copies_until_failure == 0) throw std::runtime_error("copy failed");
        if (copies_until_failure > 0) --copies_until_failure;
        id = other.id;
        return *this;
    }
    ~tracked()
    {
        if (id) destroyed.push_back(id);
    }
};

TEST(OwningArrays, ElementsDieLastToFirst)
{
    destroyed.clear();
    {
        pointer_to_objects<tracked> items(3);
        for (int i = 0; i < 3; ++i) items[i].id = i + 1;
    }
    EXPECT_EQ(destroyed, (std::vector<int>{3, 2, 1}));
}

TEST(OwningArrays, FailedAssignmentLeavesTheTargetIntact)
{
    pointer_to_objects<tracked> source(3), target(2);
    for (int i = 0; i < 3; ++i) source[i].id = 10 + i;
    for (int i = 0; i < 2; ++i) target[i].id = 20 + i;
    copies_until_failure = 1;
    EXPECT_THROW(target = source, std::runtime_error);
    copies_until_failure = -1;
    EXPECT_EQ(target.count(), 2);
    EXPECT_EQ(target[0].id, 20);
    EXPECT_EQ(target[1].id, 21);
}

TEST(OwningArrays, HoldersDeleteOnlyWhatWasSet)
{
    destroyed.clear();
    {
        pointer_to_objects<pointer_to_object<tracked>> holders(3);
        auto* first = new tracked;
        first->id = 1;
        auto* last = new tracked;
        last->id = 3;
        holders[0].set(first);
        holders[2].set(last);
        EXPECT_EQ(holders[1].get(), nullptr);
    }
    EXPECT_EQ(destroyed, (std::vector<int>{3, 1}));
}

}
