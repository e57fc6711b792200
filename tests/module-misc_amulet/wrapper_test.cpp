#include <QObject>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

#include "module-misc_amulet/wrapper.h"
#include "module-object/string.h"
#include "support/printed.h"

namespace {

std::string printed_handle(const Am_ZEM_object& handle)
{
    std::ostringstream out;
    out << handle;
    return out.str();
}

TEST(Am_ZEM_object, SlotsShareOneBodyHoldingItsOwnCopy)
{
    ZEM_string value("before");
    Am_ZEM_object stored(new Am_ZEM_object_Data(value));
    value = ZEM_string("after");
    auto first = std::make_unique<QObject>(), second = std::make_unique<QObject>();
    first->setProperty(ZEM_OBJECT, stored);
    second->setProperty(ZEM_OBJECT, stored);
    const Am_ZEM_object_Data* body = stored.body();
    stored = Am_ZEM_object();
    EXPECT_EQ(body->count(), 2);

    first.reset();
    const Am_ZEM_object read(second->property(ZEM_OBJECT));
    EXPECT_EQ(read.body(), body);
    EXPECT_EQ(body->count(), 2);
    EXPECT_EQ(printed(read.value()), "before");
    EXPECT_EQ(printed_handle(read), "before");

    const Am_ZEM_object empty(second->property("no such slot"));
    EXPECT_FALSE(empty.Valid());
    EXPECT_EQ(printed_handle(empty), "(Am_ZEM_object)(0L)");
}

TEST(Am_ZEM_object, EqualOnlyWhenHoldingTheSameCopy)
{
    const ZEM_string value("x");
    const Am_ZEM_object a(new Am_ZEM_object_Data(value)), b(new Am_ZEM_object_Data(value));
    const Am_ZEM_object shared = a, empty;
    const struct {
        const Am_ZEM_object& left;
        const Am_ZEM_object& right;
        bool equal;
    } cases[] = {
        {a, b, false}, {a, shared, true}, {a, a, true}, {a, empty, false}, {empty, Am_ZEM_object(), true},
    };
    for (const auto& c : cases) EXPECT_EQ(c.left == c.right, c.equal);
    EXPECT_EQ(QVariant(a), QVariant(shared));
    EXPECT_NE(QVariant(a), QVariant(b));
}

TEST(Am_ZEM_object, MakeUniqueSplitsOnlyASharedBody)
{
    Am_ZEM_object first(new Am_ZEM_object_Data(ZEM_string("x")));
    const Am_ZEM_object_Data* body = first.body();
    first.Make_Unique();
    EXPECT_EQ(first.body(), body);
    Am_ZEM_object second(first);
    second.Make_Unique();
    EXPECT_NE(second.body(), body);
    EXPECT_EQ(first.body()->count(), 1);
    EXPECT_EQ(second.body()->count(), 1);
    EXPECT_EQ(printed(second.value()), "x");
    EXPECT_NE(&second.value(), &first.value());
}

}
