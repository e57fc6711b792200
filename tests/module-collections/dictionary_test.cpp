#include "module-collections/dictionary.h"

#include <climits>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "module-object/string.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/failure.h"
#include "support/printed.h"
#include "support/walked.h"

namespace {

using strings = std::vector<std::string>;
using names = ZEM_dictionary<ZEM_string, ZEM_string>;

std::string looked_up(const names& d, const char* key)
{
    const ZEM_string* found = d.lookup(key);
    return found ? found->c_str() : "(absent)";
}

// A value that counts how many of its kind are alive.
int live_values = 0;
class counted_value : public ZEM_int {
public:
    counted_value(int v = 0) : ZEM_int(v) { ++live_values; }
    counted_value(const counted_value& other) : ZEM_int(other) { ++live_values; }
    ~counted_value() override { --live_values; }
};

TEST(Dictionaries, NewDictionariesAreEmptyAndTyped)
{
    names d;
    EXPECT_EQ(d.n_elements(), 0);
    EXPECT_EQ(printed(d), "dictionary<string,string>(\n)\n");
    EXPECT_EQ(looked_up(d, "a"), "(absent)");
    EXPECT_EQ((ZEM_dictionary<ZEM_fraction, ZEM_int>().type().text()), "dictionary<fraction,int>");
    EXPECT_EQ((ZEM_dictionary<ZEM_int, ZEM_int>().type().text()), "dictionary<int,int>");
    EXPECT_EQ((ZEM_dictionary<ZEM_real, ZEM_int>().type().text()), "dictionary<real,int>");
    EXPECT_EQ(d.type(), tp_dictionary(tp_string(), tp_string()));
}

TEST(Dictionaries, TheLastValueGivenUnderAKeyWins)
{
    names d;
    d.add_elt("a", "x");
    d.add_elt("a", "y");
    EXPECT_EQ(looked_up(d, "a"), "y");
    EXPECT_EQ(d.n_elements(), 1);
    EXPECT_EQ(printed(d), "dictionary<string,string>(\n1: y\n)\n");
    EXPECT_EQ(looked_up(d, "b"), "(absent)");
    EXPECT_EQ(d.n_elements(), 1);

    live_values = 0;
    {
        ZEM_dictionary<ZEM_int, counted_value> counted;
        counted.add_elt(1, counted_value(10));
        EXPECT_EQ(live_values, 1);
        counted.add_elt(1, counted_value(20));
        EXPECT_EQ(live_values, 1);  // the replaced association has been deleted, once
        EXPECT_EQ(counted.lookup(1)->value(), 20);
        EXPECT_EQ(live_values, 1);  // the probe's default value is gone too
    }
    EXPECT_EQ(live_values, 0);
}

TEST(Dictionaries, LookedUpValuesSurviveGrowth)
{
    ZEM_dictionary<ZEM_int, ZEM_int> d;
    d.add_elt(0, 100);
    const ZEM_int* first = d.lookup(0);
    for (int k = 1; k <= 60; ++k) d.add_elt(k, 100 + k);
    EXPECT_EQ(d.lookup(0), first);
    EXPECT_EQ(first->value(), 100);
    for (int k = 0; k <= 60; ++k) ASSERT_EQ(d.lookup(k)->value(), 100 + k);
    // Buckets of 100 now: values in key order.
    strings expected;
    for (int k = 0; k <= 60; ++k) expected.push_back(std::to_string(100 + k));
    EXPECT_EQ(walked(d), expected);
}

TEST(Dictionaries, KeysOfEachTypeCompareAndHashAsTheirValues)
{
    ZEM_dictionary<ZEM_int, ZEM_int> ints;
    for (int key : {3, -3, 53, INT_MIN}) ints.add_elt(key, key == INT_MIN ? 0 : key);
    EXPECT_EQ(walked(ints), (strings{"53", "-3", "3", "0"}));  // 3 and -3 and 53 share bucket 3
    EXPECT_EQ(ints.lookup(-3)->value(), -3);
    EXPECT_EQ(ints.lookup(INT_MIN)->value(), 0);

    ZEM_dictionary<ZEM_fraction, ZEM_int> fractions;
    fractions.add_elt(ZEM_fraction(1, 2), 7);
    EXPECT_EQ(fractions.lookup(ZEM_fraction(2, 4))->value(), 7);
    EXPECT_EQ(fractions.lookup(ZEM_fraction(-1, 2)), nullptr);
    EXPECT_EQ(printed(fractions), "dictionary<fraction,int>(\n1: 7\n)\n");

    ZEM_dictionary<ZEM_int, ZEM_int> seven;
    seven.add_elt(7, 3);
    EXPECT_EQ(printed(seven), "dictionary<int,int>(\n1: 3\n)\n");
}

TEST(Dictionaries, RealKeysCannotBeStoredOrLookedUp)
{
    ZEM_dictionary<ZEM_real, ZEM_int> reals;
    const std::string cannot = run_time("[hash(real)] cannot be implemented");
    EXPECT_EQ(failure_of([&] { reals.add_elt(1.5, 1); }), cannot);
    EXPECT_EQ(failure_of([&] { (void)reals.lookup(1.5); }), cannot);
    EXPECT_EQ(reals.n_elements(), 0);
    EXPECT_EQ(printed(reals), "dictionary<real,int>(\n)\n");
    ZEM_dictionary<ZEM_real, ZEM_int> copy(reals);
    EXPECT_EQ(printed(copy), "dictionary<real,int>(\n)\n");
}

TEST(Dictionaries, IteratorFailures)
{
    const std::string at_end = run_time("[ZEM_dictionary<key_tp, value_tp>::create_iter_at_end] not implemented");
    names d;
    EXPECT_EQ(failure_of([&] { delete d.create_iter_at_end(); }), at_end);
    EXPECT_EQ(failure_of([] { delete ZEM_dictionary<ZEM_int, ZEM_int>().create_iter_at_end(); }), at_end);
    EXPECT_EQ(failure_of([] { delete ZEM_dictionary<ZEM_real, ZEM_int>().create_iter_at_end(); }), at_end);

    ZEM_iterator<ZEM_string> none(d.create_iter_at_begin());
    EXPECT_FALSE(none);
    EXPECT_EQ(failure_of([&] { (void)*none; }), run_time("[ZEMiter_list_impl::operator*] dereference of invalid iterator"));

    d.add_elt("a", "x");
    d.add_elt("b", "y");
    std::unique_ptr<ZEM_iterator_impl<ZEM_string>> body(d.create_iter_at_begin());
    const std::string backwards = run_time("phtab_iterator::operator --] operation not implemented");
    EXPECT_EQ(failure_of([&] { --*body; }), backwards);
    EXPECT_EQ(failure_of([&] { (*body)--; }), backwards);
    std::unique_ptr<ZEM_iterator_impl<ZEM_string>> copy(body->copy());
    (*body)++;
    EXPECT_EQ(printed(**copy), "x");
    EXPECT_EQ(printed(**body), "y");
    ++*body;
    EXPECT_FALSE(*body);
}

TEST(Dictionaries, CopiesOwnTheirAssociationsAndReverseEachBucket)
{
    names d;
    for (const char* key : {"ab", "ba", "z"}) d.add_elt(key, (std::string("value of ") + key).c_str());
    EXPECT_EQ(walked(d), (strings{"value of z", "value of ba", "value of ab"}));
    names copy(d);
    EXPECT_EQ(walked(copy), (strings{"value of z", "value of ab", "value of ba"}));
    copy.add_elt("new", "n");
    copy.add_elt("ab", "changed");
    EXPECT_EQ(looked_up(d, "ab"), "value of ab");
    EXPECT_EQ(d.n_elements(), 3);
    EXPECT_EQ(looked_up(copy, "ab"), "changed");

    std::unique_ptr<ZEM_object> object(d.copy_object());
    EXPECT_EQ(walked(dynamic_cast<const names&>(*object)), (strings{"value of z", "value of ab", "value of ba"}));

    names& same = d;
    d = same;
    EXPECT_EQ(walked(d), (strings{"value of z", "value of ba", "value of ab"}));
    copy = d;
    EXPECT_EQ(looked_up(copy, "new"), "(absent)");
    EXPECT_EQ(walked(copy), (strings{"value of z", "value of ab", "value of ba"}));

    // An array of dictionaries, one per dimension, each built with the default.
    std::vector<names> per_dimension(3);
    per_dimension[1] = d;
    EXPECT_EQ(looked_up(per_dimension[1], "z"), "value of z");
    EXPECT_EQ(per_dimension[0].n_elements(), 0);
}

TEST(Dictionaries, AgreeWithAStandardMap)
{
    std::mt19937 engine(1111);
    ZEM_dictionary<ZEM_int, ZEM_int> d;
    std::map<int, int> model;
    for (int step = 0; step < 5000; ++step) {
        const int key = static_cast<int>(engine() % 400) - 200;
        if (engine() % 2) {
            const int value = static_cast<int>(engine() % 1000);
            d.add_elt(key, value);
            model[key] = value;
        }
        const ZEM_int* found = d.lookup(key);
        auto at = model.find(key);
        ASSERT_EQ(found != nullptr, at != model.end());
        if (found) {
            ASSERT_EQ(found->value(), at->second);
        }
    }
    EXPECT_EQ(d.n_elements(), static_cast<int>(model.size()));
}

}
