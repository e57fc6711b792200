#include "module-collections/set.h"

#include <climits>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "module-object/string.h"
#include "module-scalar/integer.h"
#include "support/failure.h"
#include "support/printed.h"
#include "support/walked.h"

namespace {

using strings = std::vector<std::string>;

ZEM_set<ZEM_string> set_of(const strings& texts)
{
    ZEM_set<ZEM_string> set(50);
    for (const auto& t : texts) set.add_elt(t.c_str());
    return set;
}

// A string of one character whose code is its hash.
std::string of_hash(int h) { return std::string(1, static_cast<char>(h)); }

TEST(Sets, PrintInTableOrder)
{
    EXPECT_EQ(printed(set_of({"a", "b", "c", "d"})), "set<string>(\n1: d\n2: a\n3: b\n4: c\n)\n");
    EXPECT_EQ(printed(set_of({})), "set<string>(\n)\n");
    EXPECT_EQ(ZEM_set<ZEM_string>(50).type().text(), "set<string>");
    EXPECT_EQ(ZEM_set<ZEM_int>(50).type(), tp_set(tp_int()));
}

TEST(Sets, ElementsOfOneBucketComeNewestFirstAndCopiesReverseThem)
{
    ZEM_set<ZEM_string> set = set_of({"ab", "ba", "z"});
    EXPECT_EQ(walked(set), (strings{"z", "ba", "ab"}));
    ZEM_set<ZEM_string> copy(set);
    EXPECT_EQ(walked(copy), (strings{"z", "ab", "ba"}));
    std::unique_ptr<ZEM_object> object(set.copy_object());
    EXPECT_EQ(walked(dynamic_cast<const ZEM_set<ZEM_string>&>(*object)), (strings{"z", "ab", "ba"}));
    std::unique_ptr<ZEM_collection<ZEM_string>> collection(copy.copy_collection());
    EXPECT_EQ(walked(*collection), (strings{"z", "ba", "ab"}));

    ZEM_set<ZEM_string>& same = set;
    set = same;
    EXPECT_EQ(walked(set), (strings{"z", "ba", "ab"}));
    copy = set_of({"q"});
    EXPECT_EQ(walked(copy), strings{"q"});
}

TEST(Sets, AddingAnEqualValueKeepsTheCountAndStoresTheNewCopy)
{
    ZEM_set<ZEM_string> set = set_of({"ab", "ba"});
    const ZEM_string* before = &*ZEM_iterator<ZEM_string>(set.create_iter_at_begin());
    {
        ZEM_string again("ba");
        set.add_elt(again);
        EXPECT_TRUE(set.is_elt(again));
    }
    ZEM_iterator<ZEM_string> it(set.create_iter_at_begin());
    EXPECT_NE(&*it, before);
    EXPECT_EQ(walked(set), (strings{"ba", "ab"}));
    EXPECT_TRUE(set.is_elt("ab"));
    EXPECT_FALSE(set.is_elt("abc"));
}

TEST(Sets, TheFiftyFirstElementDoublesTheBuckets)
{
    ZEM_set<ZEM_string> set(50);
    strings expected;
    for (int h = 1; h <= 50; ++h) set.add_elt(of_hash(h).c_str());
    strings in_table = walked(set);
    EXPECT_EQ(in_table.front(), of_hash(50));  // bucket 0 of 50
    EXPECT_EQ(in_table[1], of_hash(1));
    set.add_elt(of_hash(51).c_str());
    for (int h = 1; h <= 51; ++h) expected.push_back(of_hash(h));
    EXPECT_EQ(walked(set), expected);  // buckets of 100
}

TEST(Sets, NegativeAndSmallestHashesFindTheirBuckets)
{
    EXPECT_EQ(walked(set_of({of_hash(24), "\xE9", of_hash(22)})), (strings{of_hash(22), "\xE9", of_hash(24)}));
    ZEM_set<ZEM_int> ints(50);
    for (int v : {INT_MIN, 48, -48, 47}) ints.add_elt(ZEM_int(v));
    EXPECT_EQ(walked(ints), (strings{"47", "-48", "48", std::to_string(INT_MIN)}));
    EXPECT_TRUE(ints.is_elt(ZEM_int(INT_MIN)));
}

TEST(Sets, IteratorFailures)
{
    ZEM_set<ZEM_string> empty(50);
    ZEM_iterator<ZEM_string> it(empty.create_iter_at_begin());
    EXPECT_FALSE(it);
    EXPECT_EQ(failure_of([&] { (void)*it; }), run_time("[ZEMiter_list_impl::operator*] dereference of invalid iterator"));

    const std::string at_end = run_time("[ZEM_set<elt_tp>::create_iter_at_end] not implemented");
    EXPECT_EQ(failure_of([&] { delete empty.create_iter_at_end(); }), at_end);
    ZEM_set<ZEM_string> set = set_of({"a", "b"});
    EXPECT_EQ(failure_of([&] { delete set.create_iter_at_end(); }), at_end);

    std::unique_ptr<ZEM_iterator_impl<ZEM_string>> body(set.create_iter_at_begin());
    const std::string backwards = run_time("phtab_iterator::operator --] operation not implemented");
    EXPECT_EQ(failure_of([&] { --*body; }), backwards);
    EXPECT_EQ(failure_of([&] { (*body)--; }), backwards);
    std::unique_ptr<ZEM_iterator_impl<ZEM_string>> copy(body->copy());
    ++*body;
    EXPECT_EQ(printed(**copy), "a");
    EXPECT_EQ(printed(**body), "b");
    (*body)++;
    EXPECT_FALSE(*body);
}

TEST(Sets, MembershipAgreesWithAStandardSet)
{
    std::mt19937 engine(1010);
    ZEM_set<ZEM_string> set(50);
    std::set<std::string> model;
    for (int step = 0; step < 3000; ++step) {
        std::string text;
        for (unsigned k = 1 + engine() % 3; k > 0; --k) text += static_cast<char>('a' + engine() % 6);
        if (engine() % 2) {
            set.add_elt(text.c_str());
            model.insert(text);
        }
        ASSERT_EQ(set.is_elt(text.c_str()), static_cast<int>(model.count(text)));
    }
    strings all = walked(set);
    EXPECT_EQ(std::set<std::string>(all.begin(), all.end()), model);
    EXPECT_EQ(all.size(), model.size());
}

}
