#include "module-object/object.h"

#include <gtest/gtest.h>
#include <sstream>

#include "module-object/string.h"
#include "support/alert_recorder.h"
#include "support/failure.h"

namespace {

int bodies_destroyed = 0;

struct counted_body : ZEM_referenced_object {
    explicit counted_body(int v) : value(v) {}
    ~counted_body() { ++bodies_destroyed; }
    int value;
};

class counted_handle : public ZEM_referencing_object<counted_body> {
public:
    counted_handle() = default;
    explicit counted_handle(int v) { attach(new counted_body(v)); }
    int count() const { return body()->reference_count; }
    int value() const { return body()->value; }
    const counted_body* address() const { return body(); }
    ZEM_object* copy_object() const override { return new counted_handle(*this); }
    void print(std::ostream& out) const override { out << value(); }
    ZEM_type type() const override { return ZEM_type("counted", 0); }
};

TEST(Handles, CopiesShareOneBodyDestroyedOnceInAnyOrder)
{
    for (int order = 0; order < 2; ++order) {
        bodies_destroyed = 0;
        auto* a = new counted_handle(7);
        auto* b = new counted_handle(*a);
        auto* c = new counted_handle(*b);
        auto* d = static_cast<counted_handle*>(c->copy_object());
        EXPECT_EQ(a->count(), 4);
        EXPECT_EQ(d->address(), a->address());
        counted_handle* all[] = {a, b, c, d};
        for (int i = 0; i < 4; ++i) {
            delete all[order == 0 ? i : 3 - i];
            EXPECT_EQ(bodies_destroyed, i == 3 ? 1 : 0);
        }
    }
}

TEST(Handles, AssignmentReleasesTheOldBodyAndSelfAssignmentChangesNothing)
{
    bodies_destroyed = 0;
    counted_handle a(1), b(2);
    auto& same = a;
    a = same;
    EXPECT_EQ(a.count(), 1);
    EXPECT_EQ(a.value(), 1);
    a = b;
    EXPECT_EQ(bodies_destroyed, 1);
    EXPECT_EQ(a.count(), 2);
    EXPECT_EQ(a.value(), 2);
    counted_handle c(b);
    a = c;  // another handle on the same body
    EXPECT_EQ(a.count(), 3);
}

TEST(Handles, EmptyHandlesCopyAndAssignAsEmpty)
{
    counted_handle empty;
    counted_handle copy(empty);
    EXPECT_FALSE(copy.has_body());
    counted_handle full(3);
    full = empty;
    EXPECT_FALSE(full.has_body());
    bodies_destroyed = 0;
    { counted_handle nothing; }
    EXPECT_EQ(bodies_destroyed, 0);
}

struct wide_body : ZEM_referenced_object {
    char tag;
};

TEST(Handles, TrailingElementsAreAlignedInTheSameBlock)
{
    auto room = trailing_extra<wide_body, double>(3);
    auto* body = new (room) wide_body;
    double* elements = trailing_elements<double>(body);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(elements) % alignof(double), 0u);
    EXPECT_GE(reinterpret_cast<char*>(elements), reinterpret_cast<char*>(body) + sizeof(wide_body));
    for (int i = 0; i < 3; ++i) elements[i] = i;  // within the block: the sanitizer run checks it
    EXPECT_EQ(body->reference_count, 0);
    delete body;
}

TEST(Failures, ThrowTheMessageWithItsPrefixAndNewline)
{
    EXPECT_EQ(failure_of([] { _zem_error_("anywhere", 12, "[frac-operator %] n <= 0"); }),
              "run-time exception: [frac-operator %] n <= 0\n");
    EXPECT_EQ(failure_of([] { _zem_error_("x", 0, ""); }), "run-time exception: \n");
}

TEST(Failures, MessageGoesThroughTheInstalledSeamUnchanged)
{
    alert_recorder recorder;
    message("first\n");
    message("second");
    ASSERT_EQ(recorder.alerts.size(), 2u);
    EXPECT_EQ(recorder.alerts[0], "first\n");
    EXPECT_EQ(recorder.alerts[1], "second");
}

}
