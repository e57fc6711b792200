#include <QString>
#include <QVariant>
#include <gtest/gtest.h>

#include "module-misc_amulet/wrapper.h"
#include "module-object/string.h"

namespace {

TEST(Wrapper, TestAndNarrowFindTheBodyOnlyInAVariantHoldingAWrappedValue)
{
    const Am_ZEM_object wrapped(new Am_ZEM_object_Data(ZEM_string("x")));
    const struct { const char* what; QVariant slot; bool holds; } cases[] = {
        {"wrapped value", wrapped, true},
        {"empty handle", Am_ZEM_object(), false},
        {"empty slot", QVariant(), false},
        {"another type", QVariant(QString("x")), false},
    };
    ASSERT_NE(Am_ZEM_object::Type_ID(), QMetaType::UnknownType);
    EXPECT_EQ(Am_ZEM_object::Type_ID(), QMetaType::fromType<Am_ZEM_object>().id());
    EXPECT_EQ(wrapped.body()->ID(), Am_ZEM_object::Type_ID());
    for (const auto& c : cases) {
        EXPECT_EQ(Am_ZEM_object::Test(c.slot), c.holds) << c.what;
        EXPECT_EQ(Am_ZEM_object_Data::Narrow(c.slot), c.holds ? wrapped.body() : nullptr) << c.what;
        if (c.slot.metaType().id() == QMetaType::QString) continue;  // stops the program: see below
        const int count = wrapped.body()->count();
        const Am_ZEM_object narrowed = Am_ZEM_object::Narrow(c.slot);
        EXPECT_EQ(narrowed.body(), c.holds ? wrapped.body() : nullptr) << c.what;
        EXPECT_EQ(wrapped.body()->count(), count + (c.holds ? 1 : 0)) << c.what;
    }
}

TEST(WrapperDeathTest, NarrowOfAVariantOfAnotherTypeStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(Am_ZEM_object::Narrow(QVariant(42)), "not a value");
}

TEST(Wrapper, BodyPointersNarrowToThemselvesAndTheHandleTakesOverTheReference)
{
    auto* body = new Am_ZEM_object_Data(ZEM_string("x"));
    EXPECT_TRUE(Am_ZEM_object::Test(body));
    EXPECT_FALSE(Am_ZEM_object::Test(static_cast<const Am_ZEM_object_Data*>(nullptr)));
    EXPECT_EQ(Am_ZEM_object_Data::Narrow(body), body);
    EXPECT_EQ(Am_ZEM_object_Data::Narrow(static_cast<Am_ZEM_object_Data*>(nullptr)), nullptr);
    EXPECT_FALSE(Am_ZEM_object::Narrow(static_cast<Am_ZEM_object_Data*>(nullptr)).Valid());
    const Am_ZEM_object handle = Am_ZEM_object::Narrow(body);
    EXPECT_EQ(handle.body(), body);
    EXPECT_EQ(body->count(), 1);
}

TEST(Wrapper, NoTextAndNoValueFromText)
{
    const Am_ZEM_object wrapped(new Am_ZEM_object_Data(ZEM_string("x")));
    for (const Am_ZEM_object& handle : {wrapped, Am_ZEM_object()}) {
        EXPECT_EQ(handle.To_String(), nullptr);
        EXPECT_FALSE(handle.From_String("x").isValid());
    }
    EXPECT_EQ(wrapped.body()->To_String(), nullptr);
    EXPECT_FALSE(wrapped.body()->From_String("x").isValid());
}

TEST(Wrapper, AssignmentFromASlotValueTakesTheNewBodyBeforeReleasingTheOld)
{
    Am_ZEM_object old(new Am_ZEM_object_Data(ZEM_string("old")));
    const Am_ZEM_object other(new Am_ZEM_object_Data(ZEM_string("new")));
    Am_ZEM_object handle = old;
    handle = QVariant(other);
    EXPECT_EQ(handle.body(), other.body());
    EXPECT_EQ(other.body()->count(), 2);
    EXPECT_EQ(old.body()->count(), 1);

    // A slot value holding the handle's own body leaves the count as it was.
    const QVariant slot = handle;
    handle = slot;
    EXPECT_EQ(handle.body(), other.body());
    EXPECT_EQ(other.body()->count(), 3);

    handle = QVariant();
    EXPECT_FALSE(handle.Valid());
    EXPECT_EQ(other.body()->count(), 2);
}

}
