#include "module-tensor/symmetry_enumeration.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "support/failure.h"
#include "support/index_tuple.h"

namespace {

// Reports written as "(1,2,3)+".
void record(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    std::ostringstream out;
    out << '(';
    for (int k = 0; k < image.count(); ++k) out << (k ? "," : "") << image[k];
    out << ')' << (sign == permsym_plus ? '+' : sign == permsym_minus ? '-' : '?');
    static_cast<std::vector<std::string>*>(data)->push_back(out.str());
}

std::vector<std::string> reports(const char* symmetry, const std::vector<int>& tuple, int all)
{
    perm_symmetry_type s{ZEM_string(symmetry)};
    std::vector<std::string> seen;
    s.for_all_symmetrical_with_do(record, tuple_of(tuple), &seen, all);
    return seen;
}

// Every report repeated: the chains below report each image twice in the all mode.
std::vector<std::string> twice(const std::vector<std::string>& items)
{
    std::vector<std::string> out;
    for (const auto& item : items) out.insert(out.end(), {item, item});
    return out;
}

std::vector<std::string> joined(std::vector<std::vector<std::string>> parts)
{
    std::vector<std::string> out;
    for (const auto& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(SymmetryEnumeration, WorkedOrdersInBothModes)
{
    // In the all mode a parenthesis pair (2 3) inside the bracket group reports
    // each of its tuples x, x, x', x', and the pair (0 1) runs it twice per tuple.
    auto block = [](const char* a, const char* a2, const char* b, const char* b2, char sign) {
        std::vector<std::string> one;
        for (const char* t : {a, a, a2, a2}) one.push_back(std::string(t) + sign);
        std::vector<std::string> two;
        for (const char* t : {b, b, b2, b2}) two.push_back(std::string(t) + sign);
        return joined({one, one, two, two});
    };
    struct {
        const char* symmetry;
        std::vector<int> tuple;
        std::vector<std::string> distinct;
        std::vector<std::string> all;
    } cases[] = {
        {"(0 1) 2", {1, 2, 3}, {"(1,2,3)+", "(2,1,3)+"}, {"(1,2,3)+", "(1,2,3)+", "(2,1,3)+", "(2,1,3)+"}},
        {"0 [1 2]", {1, 2, 3}, {"(1,2,3)+", "(1,3,2)-"}, {"(1,2,3)+", "(1,2,3)+", "(1,3,2)-", "(1,3,2)-"}},
        {"[0 1 2]",
         {1, 2, 3},
         {"(1,2,3)+", "(1,3,2)-", "(2,1,3)-", "(2,3,1)+", "(3,2,1)-", "(3,1,2)+"},
         twice({"(1,2,3)+", "(1,3,2)-", "(2,1,3)-", "(2,3,1)+", "(3,2,1)-", "(3,1,2)+"})},
        {"(0 1 2)",
         {1, 1, 2},
         {"(1,1,2)+", "(1,2,1)+", "(2,1,1)+"},
         twice({"(1,1,2)+", "(1,2,1)+", "(2,1,1)+"})},
        {"[(0 1) (2 3)]",
         {1, 2, 3, 4},
         {"(1,2,3,4)+", "(1,2,4,3)+", "(2,1,3,4)+", "(2,1,4,3)+", "(3,4,1,2)-", "(3,4,2,1)-", "(4,3,1,2)-",
          "(4,3,2,1)-"},
         joined({{"(1,2,3,4)+"},
                 block("(1,2,3,4)", "(1,2,4,3)", "(2,1,3,4)", "(2,1,4,3)", '+'),
                 {"(3,4,1,2)-"},
                 block("(3,4,1,2)", "(3,4,2,1)", "(4,3,1,2)", "(4,3,2,1)", '-')})},
        {"[0 1]", {1, 1}, {"(1,1)+"}, {"(1,1)+", "(1,1)+", "(1,1)-"}},
        {"(0 1)", {1, 2}, {"(1,2)+", "(2,1)+"}, {"(1,2)+", "(1,2)+", "(2,1)+", "(2,1)+"}},
        {"0 1 2", {1, 2, 3}, {"(1,2,3)+"}, {"(1,2,3)+", "(1,2,3)+"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(reports(c.symmetry, c.tuple, 0), c.distinct) << c.symmetry;
        EXPECT_EQ(reports(c.symmetry, c.tuple, 1), c.all) << c.symmetry;
        EXPECT_EQ(reports(c.symmetry, c.tuple, 7), c.all) << c.symmetry;
    }
}

TEST(SymmetryEnumeration, CountsOnlyImagesWithThePlusSign)
{
    struct {
        const char* symmetry;
        std::vector<int> tuple;
        int count;
    } cases[] = {
        {"[0 1]", {1, 2}, 1},      {"(0 1)", {1, 2}, 2},         {"(0 1)", {1, 1}, 1},
        {"[0 1 2]", {1, 2, 3}, 3}, {"(0 1 2)", {1, 2, 3}, 6},     {"0 1 2", {1, 2, 3}, 1},
        {"[0 1]", {1, 1}, 1},      {"(0 1) 2", {5, 6, 7, 8}, 2}, {"[(0 1) (2 3)]", {1, 2, 3, 4}, 4},
    };
    for (const auto& c : cases) {
        perm_symmetry_type s{ZEM_string(c.symmetry)};
        EXPECT_EQ(s.n_symmetrical_with(tuple_of(c.tuple)), c.count) << c.symmetry;
    }
}

TEST(SymmetryEnumeration, UnequalPartsFailOnlyWhenAnExchangePairsThem)
{
    perm_symmetry_type s{ZEM_string("(0 (1 2))")};
    EXPECT_EQ(s.error, nullptr);
    std::vector<std::string> seen;
    EXPECT_EQ(failure_of([&] { s.for_all_symmetrical_with_do(record, tuple_of({1, 2, 3}), &seen, 0); }),
              run_time("[permswap] |swap1| not eq. to |swap2|"));
    EXPECT_EQ(seen, (std::vector<std::string>{"(1,2,3)+", "(1,3,2)+"}));

    pointer_to_objects<int> t = tuple_of({1, 2, 3});
    EXPECT_EQ(failure_of([&] { permswap(t, tuple_of({0}), tuple_of({1, 2})); }),
              run_time("[permswap] |swap1| not eq. to |swap2|"));
    EXPECT_TRUE(t == tuple_of({1, 2, 3}));
    permswap(t, tuple_of({0, 1}), tuple_of({2, 0}));
    EXPECT_TRUE(t == tuple_of({2, 3, 1}));
}

void fail_on_minus(const pointer_to_objects<int>&, permsym_plusmin sign, void*)
{
    if (sign == permsym_minus) _zem_error_("test", 0, "stop");
}

TEST(SymmetryEnumeration, FailuresOfCallbacksAndCallersPassThrough)
{
    perm_symmetry_type s{ZEM_string("[0 1]")};
    EXPECT_EQ(failure_of([&] { s.for_all_symmetrical_with_do(fail_on_minus, tuple_of({1, 2}), nullptr, 0); }),
              run_time("stop"));
    EXPECT_EQ(failure_of([&] { s.n_symmetrical_with(tuple_of({1})); }),
              run_time("[perm_symmetry_type] fewer indices in the tuple than in the symmetry"));
    perm_symmetry_type faulty{ZEM_string("0 0")};
    EXPECT_EQ(failure_of([&] { faulty.n_symmetrical_with(tuple_of({1, 2})); }),
              run_time("each index should occur exactly once"));
    EXPECT_EQ(flip(permsym_plus), permsym_minus);
    EXPECT_EQ(flip(permsym_minus), permsym_plus);
    EXPECT_EQ(flip(static_cast<permsym_plusmin>(0)), permsym_plus);
}

TEST(SymmetryEnumeration, GroupsOfUnlikePartsReachTheWholeOrbitWithBothSigns)
{
    // T_ijkl = T_jikl = -T_ijlk = T_klij, so T_ijkl = T_lkij = T_ijlk = -T_ijkl.
    for (const char* symmetry : {"((0 1) [2 3])", "([0 1] (2 3))", "[(0 1) [2 3]]"}) {
        auto all = reports(symmetry, {1, 2, 3, 4}, 1);
        EXPECT_EQ(all.front(), "(1,2,3,4)+") << symmetry;
        EXPECT_NE(std::find(all.begin(), all.end(), "(1,2,3,4)-"), all.end()) << symmetry;
        auto distinct = reports(symmetry, {1, 2, 3, 4}, 0);
        EXPECT_EQ(distinct.size(), 8u) << symmetry;
    }
    // Parts of different shape without a sign conflict: exchanging the parts carries
    // the full permutation group of 4 5 6 7 onto 0 1 2 3, so each half takes all
    // 24 orderings of 1 2 3 4.
    auto distinct = reports("(((0 1) (2 3)) ((4 5 6 7)))", {1, 2, 3, 4, 1, 2, 3, 4}, 0);
    EXPECT_EQ(distinct.size(), 24u * 24u);
}

TEST(IndexSets, HoldCopiesAndHashByWeightedSums)
{
    index_set set;
    pointer_to_objects<int> t = tuple_of({1, 2});
    EXPECT_EQ(set.is_set(t), 0);
    set.set(t);
    t[0] = 9;
    EXPECT_EQ(set.is_set(tuple_of({1, 2})), 1);
    EXPECT_EQ(set.is_set(t), 0);
    EXPECT_EQ(set.is_set(tuple_of({1, 2, 0})), 0);
    for (int k = 0; k < 200; ++k) set.set(tuple_of({k, -k, 3 * k}));
    for (int k = 0; k < 200; ++k) EXPECT_EQ(set.is_set(tuple_of({k, -k, 3 * k})), 1);

    struct {
        std::vector<int> tuple;
        int bucket;
    } buckets[] = {{{5, 7, 9}, 25}, {{3, -2, 4}, 6}, {{0, -1}, 45}, {{0, 0, -1}, 44}, {{99}, 0}};
    for (const auto& b : buckets) {
        pointer_to_objects<int> u = tuple_of(b.tuple);
        EXPECT_EQ(index_set::hash_func(&u, 50), b.bucket);
    }
}

}
