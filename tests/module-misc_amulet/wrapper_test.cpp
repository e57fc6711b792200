#include <QObject>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

#include "module-misc_amulet/wrapper.h"
#include "module-object/string.h"

namespace {

std::string printed(const Am_ZEM_object& handle) { return (std::ostringstream() << handle).str(); }

TEST(Am_ZEM_object, SlotsShareOneBodyHoldingItsOwnCopy)
{
    ZEM_string value("before");
    Am_ZEM_object stored(new Am_ZEM_object_Data(value)), other(new Am_ZEM_object_Data(value));
    value = ZEM_string("after");
    auto first = std::make_unique<QObject>(), second = std::make_unique<QObject>();
    first->setProperty(ZEM_OBJECT, stored);
    second->setProperty(ZEM_OBJECT, stored);
    first.reset();
    const Am_ZEM_object read(second->property(ZEM_OBJECT));
    EXPECT_EQ(read.body()->count(), 3);
    EXPECT_EQ(printed(read), "before");
    EXPECT_EQ(printed(Am_ZEM_object(second->property("no such slot"))), "(Am_ZEM_object)(0L)");
    // Equal only when holding the very same copy.
    EXPECT_TRUE(read == stored);
    EXPECT_FALSE(read == other);
    stored.Make_Unique();
    EXPECT_FALSE(stored == read);
    EXPECT_EQ(read.body()->count(), 2);
    EXPECT_EQ(stored.body()->count(), 1);
    EXPECT_EQ(printed(stored), "before");
}

}
