#include "module-object/object.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "module-object/error.h"
#include "module-object/pointer_to_objects.h"
#include "module-object/string.h"
#include "support/alert_recorder.h"
#include "support/child_process.h"
#include "support/failure.h"
#include "support/memory_limit.h"

namespace {

int bodies_destroyed = 0;

struct counted_body : ZEM_referenced_object {
    ~counted_body() { ++bodies_destroyed; }
};

struct failing_body : ZEM_referenced_object {
    failing_body() { ZEM_FAIL("[failing_body] no"); }
};

class counted_handle : public ZEM_referencing_object<counted_body> {
public:
    counted_handle() = default;
    explicit counted_handle(int) { attach(new counted_body); }
    int count() const { return body()->reference_count; }
    ZEM_object* copy_object() const override { return new counted_handle(*this); }
    void print(std::ostream&) const override {}
    ZEM_type type() const override { return ZEM_type("counted", 0); }
};

TEST(Objects, HandlesTrailingBlocksViewsTypesAndStrings)
{
    for (int order = 0; order < 2; ++order) {
        bodies_destroyed = 0;
        auto* a = new counted_handle(1);
        auto* b = new counted_handle(*a);
        counted_handle* all[] = {a, b, static_cast<counted_handle*>(b->copy_object())};
        for (int i = 0; i < 3; ++i) {
            delete all[order == 0 ? i : 2 - i];
            EXPECT_EQ(bodies_destroyed, i == 2 ? 1 : 0);
        }
    }
    // Assignment releases the old body, also from an empty handle; self-assignment keeps it.
    bodies_destroyed = 0;
    counted_handle c(1), d(1), empty;
    const counted_handle& same = c;
    c = same;
    c = d;
    EXPECT_EQ(bodies_destroyed, 1);
    c = empty;
    EXPECT_FALSE(c.has_body());
    EXPECT_EQ(d.count(), 1);

    auto* body = new_with_trailing<counted_body, double>(3);
    double* elements = trailing_elements<double>(body);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(elements) % alignof(double), 0u);
    EXPECT_GE(reinterpret_cast<char*>(elements), reinterpret_cast<char*>(body) + sizeof(counted_body));
    for (int i = 0; i < 3; ++i) elements[i] = i;  // within the block: the sanitizer run checks it
    delete body;
    // operator new(size, extra) gives size + extra bytes; a body whose
    // constructor fails gives its block back (the sanitizer run checks both).
    auto* block = static_cast<char*>(ZEM_referenced_object::operator new(5, 7));
    std::fill(block, block + 12, 'x');
    ZEM_referenced_object::operator delete(block);
    EXPECT_EQ(failure_of([] { (void)ZEM_referenced_object::operator new(sizeof(counted_body), SIZE_MAX); }),
              run_time("out of memory"));
    EXPECT_EQ(failure_of([] { new_with_trailing<failing_body, double>(3); }), run_time("[failing_body] no"));

    // Views belong to the program's other library; the computation alone has none.
    EXPECT_EQ(failure_of([] { ZEM_string("x").create_view(); }),
              run_time("[create_view] no views in this program"));
    EXPECT_EQ(ZEM_type(nullptr, 0).text(), "unknown");
    // A string's hash sums its signed bytes; a null text is empty.
    EXPECT_EQ(hash(ZEM_string("abc")), 294);
    EXPECT_EQ(hash(ZEM_string("\xE9")), -23);
    EXPECT_EQ(ZEM_string(nullptr).length(), 0);
}

int live = 0;
int copies_before_failure = -1;  // negative: copies never fail

struct tracked {
    int id = 0;
    tracked() { ++live; }
    ~tracked() { --live; }
    tracked& operator=(const tracked& other)
    {
        if (copies_before_failure-- == 0) throw std::runtime_error("copy failed");
        id = other.id;
        return *this;
    }
};

TEST(OwningArrays, CopiesAreDeepAndAFailingElementCopyLeavesTheTargetIntact)
{
    pointer_to_objects<tracked> source(3), target(2);
    for (int i = 0; i < 3; ++i) source[i].id = 10 + i;
    target[1].id = 21;
    pointer_to_objects<tracked> copy(source);
    copy[0].id = 0;
    EXPECT_EQ(source[0].id, 10);
    EXPECT_EQ(copy[2].id, 12);

    copies_before_failure = 1;
    EXPECT_THROW(target = source, std::runtime_error);
    copies_before_failure = 1;
    EXPECT_THROW(pointer_to_objects<tracked> failed(source), std::runtime_error);
    copies_before_failure = -1;
    ASSERT_EQ(target.count(), 2);
    EXPECT_EQ(target[1].id, 21);
    EXPECT_EQ(live, 3 + 2 + 3);

    EXPECT_EQ(failure_of([] { pointer_to_objects<int> negative(-1); }),
              run_time("[pointer_to_objects] negative count"));
    {
        pointer_to_objects<pointer_to_object<tracked>> holders(2);
        auto* held = new tracked;
        holders[0].set(held);
        holders[0].set(held);  // the object already held stays alive
        EXPECT_EQ(live, 3 + 2 + 3 + 1);
    }
    EXPECT_EQ(live, 3 + 2 + 3);
}

}

TEST(FailureRoutine, ThrowsTheMessageAloneWhateverFileAndLineAndNamesNoMachinePath)
{
    EXPECT_EQ(failure_of([] { _zem_error_("module-scalar/frac-c", 12, "[frac-operator %] n <= 0"); }),
              run_time("[frac-operator %] n <= 0"));
    EXPECT_EQ(failure_of([] { _zem_error_(nullptr, 0, std::string()); }), run_time(""));
    // The file a failure names is a path inside the project, as the build maps it
    // (relative to the build directory when a compiler cache rewrites it).
    const std::string file = __FILE__;
    EXPECT_NE(file.front(), '/') << file;
    EXPECT_TRUE(file.ends_with("tests/module-object/object_test.cpp")) << file;
}

// With no memory left at all, "out of memory" is still thrown whole, and its
// copies are as good: building the text would need memory.
TEST(FailureRoutine, OutOfMemoryNeedsNoMemory)
{
    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    EXPECT_IN_FRESH_PROCESS([] {
        limit_growth(1 << 20);
        take_every_block();
        try {
            ZEM_FAIL("out of memory");
        } catch (const ZEM_string& failure) {
            const ZEM_string copy = failure;
            return std::strcmp(copy.c_str(), "run-time exception: out of memory\n") == 0 && copy.length() == 34;
        }
        return false;
    });
}

namespace {

// Draws as the toolkit's seam does, in an alert_room and not without room,
// noting whether the reserve was still held meanwhile; with `keep` set, it
// maps that many bytes while drawing and keeps them, as the toolkit keeps
// what it loaded; a text that starts with "!" cannot be built.
struct drawing_recorder : alert_recorder {
    void show_alert(const std::string& text) override
    {
        const alert_room room;
        if (!room || text.starts_with("!")) throw std::bad_alloc();
        alerts.push_back(text);
        held.push_back(alert_reserve_held());
        if (keep)
            kept = ::mmap(nullptr, std::exchange(keep, 0), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    }
    std::vector<bool> held;
    std::size_t keep = 0;
    void* kept = MAP_FAILED;
};

}

// Every alert is drawn with the reserve given back, whatever it says, and the
// reserve is taken again after it. Where it cannot be (the drawing kept part
// of it), the next alerts go to the standard error stream, as those that
// cannot be built do, until there is room again; then they are drawn.
TEST(Alerts, EveryAlertIsDrawnWithRoomOrWrittenToTheErrorStream)
{
    hold_alert_reserve();
    {
        drawing_recorder seam;
        message("run-time exception: [frac-operator %] n <= 0\n");
        EXPECT_EQ(seam.held, std::vector<bool>{false});
    }
    EXPECT_TRUE(alert_reserve_held());

    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    EXPECT_IN_FRESH_PROCESS([] {
        limit_growth(1 << 20);
        drawing_recorder seam;
        message("run-time exception: [frac-operator %] n <= 0\n");
        seam.keep = std::size_t(6) << 20;
        message("OK, resuming main loop");
        const bool kept = seam.kept != MAP_FAILED && !alert_reserve_held();
        testing::internal::CaptureStderr();
        message("run-time exception: out of memory\n");
        message("OK, resuming main loop");
        message("!not built");
        const std::string written = testing::internal::GetCapturedStderr();
        if (kept) ::munmap(seam.kept, std::size_t(6) << 20);
        message("room back");
        return kept && alert_reserve_held() &&
               written == "run-time exception: out of memory\nOK, resuming main loop\n!not built\n" &&
               seam.alerts == std::vector<std::string>{"run-time exception: [frac-operator %] n <= 0\n",
                                                       "OK, resuming main loop", "room back"} &&
               seam.held == std::vector<bool>(3, false);
    });
}
