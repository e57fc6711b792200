#include <QString>
#include <QVariant>
#include <gtest/gtest.h>

#include "module-misc_amulet/wrapper.h"
#include "module-object/string.h"

namespace {

TEST(Wrapper, TestNarrowAndAssignmentFindABodyOnlyInAVariantHoldingAWrappedValue)
{
    const Am_ZEM_object wrapped(new Am_ZEM_object_Data(ZEM_string("x")));
    EXPECT_EQ(Am_ZEM_object::Type_ID(), QMetaType::fromType<Am_ZEM_object>().id());
    EXPECT_EQ(wrapped.body()->ID(), Am_ZEM_object::Type_ID());
    EXPECT_TRUE(Am_ZEM_object::Test(wrapped.body()) && !Am_ZEM_object::Test(static_cast<Am_ZEM_object_Data*>(nullptr)));
    const struct { QVariant slot; bool holds; } cases[] = {
        {wrapped, true}, {Am_ZEM_object(), false}, {QVariant(), false}, {QVariant(QString("x")), false}};
    for (const auto& [slot, holds] : cases) {
        EXPECT_EQ(Am_ZEM_object::Test(slot), holds) << slot.typeName();
        EXPECT_EQ(Am_ZEM_object_Data::Narrow(slot), holds ? wrapped.body() : nullptr) << slot.typeName();
        if (slot.metaType().id() == QMetaType::QString) continue;  // stops the program: below
        // Assignment takes the slot's body (count plus one) and releases the one held before.
        Am_ZEM_object narrowed = Am_ZEM_object::Narrow(slot), assigned(new Am_ZEM_object_Data(ZEM_string("y")));
        const Am_ZEM_object before = assigned;
        assigned = slot;
        EXPECT_EQ(narrowed.body(), assigned.body());
        EXPECT_EQ(narrowed.body(), holds ? wrapped.body() : nullptr);
        EXPECT_EQ(wrapped.body()->count(), holds ? 4 : 2);
        EXPECT_EQ(before.body()->count(), 1);
        // The type is registered without a name, and no value is read back from text.
        EXPECT_EQ(assigned.To_String(), nullptr);
        EXPECT_FALSE(assigned.From_String("x").isValid() || before.body()->From_String("x").isValid());
    }
}

TEST(Wrapper, BodyPointersNarrowToThemselvesAndTheHandleTakesOverTheReference)
{
    auto* body = new Am_ZEM_object_Data(ZEM_string("x"));
    EXPECT_EQ(Am_ZEM_object_Data::Narrow(body), body);
    EXPECT_EQ(Am_ZEM_object_Data::Narrow(static_cast<Am_ZEM_object_Data*>(nullptr)), nullptr);
    EXPECT_FALSE(Am_ZEM_object::Narrow(static_cast<Am_ZEM_object_Data*>(nullptr)).Valid());
    EXPECT_EQ(Am_ZEM_object::Narrow(body).body()->count(), 1);  // and the handle frees it
}

TEST(WrapperDeathTest, NarrowOfAVariantOfAnotherTypeStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(Am_ZEM_object::Narrow(QVariant(42)), "not a value");
}

}
