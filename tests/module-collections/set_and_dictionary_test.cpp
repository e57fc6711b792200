#include <gtest/gtest.h>
#include <memory>

#include "module-collections/dictionary.h"
#include "module-collections/set.h"
#include "module-object/string.h"
#include "module-scalar/fraction.h"
#include "module-scalar/integer.h"
#include "support/failure.h"
#include "support/printed.h"

namespace {

TEST(Sets, PrintInTheTableOrderAndCopiesReverseEachBucket)
{
    ZEM_set<ZEM_string> letters(50);
    for (const char* t : {"a", "b", "c", "d"}) letters.add_elt(t);
    EXPECT_EQ(printed(letters), "set<string>(\n1: d\n2: a\n3: b\n4: c\n)\n");
    EXPECT_EQ(printed(ZEM_set<ZEM_string>(50)), "set<string>(\n)\n");

    ZEM_set<ZEM_string> one_bucket(50);
    for (const char* t : {"ab", "ba", "ab"}) one_bucket.add_elt(t);
    EXPECT_EQ(printed(one_bucket), "set<string>(\n1: ba\n2: ab\n)\n");
    std::unique_ptr<ZEM_object> copy(one_bucket.copy_object());
    EXPECT_EQ(printed(*copy), "set<string>(\n1: ab\n2: ba\n)\n");
    EXPECT_TRUE(one_bucket.is_elt("ab"));
    EXPECT_FALSE(one_bucket.is_elt("abc"));
    EXPECT_EQ(failure_of([&] { delete letters.create_iter_at_end(); }),
              run_time("[ZEM_set<elt_tp>::create_iter_at_end] not implemented"));
}

TEST(Dictionaries, TheLastValueGivenUnderAnEqualKeyWinsAndRealKeysFail)
{
    ZEM_dictionary<ZEM_string, ZEM_string> names;
    EXPECT_EQ(printed(names), "dictionary<string,string>(\n)\n");
    names.add_elt("a", "x");
    ZEM_dictionary<ZEM_string, ZEM_string> copy(names);
    names.add_elt("a", "y");
    EXPECT_EQ(*names.lookup("a"), ZEM_string("y"));
    EXPECT_EQ(names.n_elements(), 1);
    EXPECT_EQ(names.lookup("b"), nullptr);
    EXPECT_EQ(*copy.lookup("a"), ZEM_string("x"));

    ZEM_dictionary<ZEM_fraction, ZEM_int> fractions;
    fractions.add_elt(ZEM_fraction(1, 2), 7);
    EXPECT_EQ(fractions.lookup(ZEM_fraction(2, 4))->value(), 7);
    EXPECT_EQ(printed(fractions), "dictionary<fraction,int>(\n1: 7\n)\n");

    ZEM_dictionary<ZEM_real, ZEM_int> reals;
    const std::string cannot = run_time("[hash(real)] cannot be implemented");
    EXPECT_EQ(failure_of([&] { reals.add_elt(1.5, 1); }), cannot);
    EXPECT_EQ(failure_of([&] { (void)reals.lookup(1.5); }), cannot);
    EXPECT_EQ(printed(reals), "dictionary<real,int>(\n)\n");
    EXPECT_EQ(failure_of([&] { delete reals.create_iter_at_end(); }),
              run_time("[ZEM_dictionary<key_tp, value_tp>::create_iter_at_end] not implemented"));
}

TEST(Dictionaries, LookUpEveryKeyAfterGrowthAndReplacement)
{
    ZEM_dictionary<ZEM_int, ZEM_int> squares;
    for (int k = -60; k <= 60; ++k) squares.add_elt(k, k);  // k and -k share a bucket
    for (int k = -60; k <= 60; ++k) squares.add_elt(k, k * k);
    EXPECT_EQ(squares.n_elements(), 121);
    for (int k = -60; k <= 60; ++k) ASSERT_EQ(squares.lookup(k)->value(), k * k) << k;
    EXPECT_EQ(squares.lookup(61), nullptr);
    EXPECT_EQ(squares.type().text(), "dictionary<int,int>");
}

}
