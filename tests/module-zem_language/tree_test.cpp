#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "module-zem_language/tree.h"

namespace {

char* text(const char* s) { return std::strcpy(new char[std::strlen(s) + 1], s); }

// The object list a parser builds for `values` written on line `line`, last first.
tTree numbers(unsigned line, const std::vector<int>& values)
{
    tTree list = mobj2();
    unsigned column = 1;
    for (int v : values) {
        list = mobj1(list, mfr1({line, column}, mnumber({line, column}, v)));
        column += 2;
    }
    return list;
}

// A statement list of `count` assignments a = 1 ; on lines 1, 2, ..., in source order.
tTree statements(unsigned count)
{
    tTree list = mstatements_2();
    for (unsigned line = 1; line <= count; ++line)
        list = mstatements_1(list, mobj_assignment({line, 1}, midentifier({line, 1}, text("a")),
                                                   mfr1({line, 5}, mnumber({line, 5}, 1))));
    return ReverseTree(list);
}

}

TEST(Tree, KindTestCoversTheKindAndItsAncestors)
{
    tTree fr2 = mfr2({1, 1}, mnumber({1, 1}, 1), mnumber({1, 3}, 2));
    struct Case {
        tTree tree;
        int kind;
        bool is;
    };
    for (const Case& c : std::vector<Case>{{fr2, kfr2, true}, {fr2, kfraction, true}, {fr2, kobject, true},
                                           {fr2, kfr1, false}, {fr2, kinteger, false}, {fr2, kobjects, false},
                                           {NoTree, kobject, false}, {NoTree, kNoTree, false}})
        EXPECT_EQ(Tree_IsType(c.tree, c.kind), c.is) << c.kind;
    ReleaseTree(fr2);
}

TEST(Tree, ReversalGivesSourceOrder)
{
    tTree list = ReverseTree(numbers(1, {10, 20, 30}));
    std::vector<int> order;
    tTree t = list;
    for (; t->Kind == kobj1; t = t->obj1.objects) order.push_back(t->obj1.object->fr1.number->number.Value);
    EXPECT_EQ(order, (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(t->Kind, kobj2);
    ReleaseTree(list);

    tTree one = numbers(1, {5});
    tTree end = one->obj1.objects;
    EXPECT_EQ(ReverseTree(one), one);
    EXPECT_EQ(one->obj1.objects, end);
    EXPECT_EQ(ReverseTree(end), end);
    EXPECT_EQ(ReverseTree(NoTree), NoTree);
    ReleaseTree(one);
}

// A subtree referenced twice is copied once and freed once (the sanitizers
// see a double free or a leak); attributes are copied, absent ones stay absent.
TEST(Tree, CopyKeepsSharingAndReleaseFreesEveryNodeOnce)
{
    tTree shared = mstringconst({2, 7}, mstring({2, 7}, text("name")));
    shared->object.Type = new ZEM_type(tp_string());
    shared->object.Name = text("untitled");
    tTree unfilled = mvector({2, 20}, numbers(2, {1, 2}));
    tTree source = mfile_stmnt({2, 1}, shared, mfile_stmnt({3, 1}, shared, unfilled));

    tTree copy = CopyTree(source);
    EXPECT_TRUE(IsEqualTree(source, copy));
    EXPECT_NE(copy->file_stmnt.file_name, shared);
    EXPECT_EQ(copy->file_stmnt.file_name, copy->file_stmnt.object->file_stmnt.file_name);
    EXPECT_NE(copy->file_stmnt.file_name->object.Name, shared->object.Name);
    EXPECT_EQ(copy->file_stmnt.object->file_stmnt.object->object.Type, nullptr);
    EXPECT_EQ(copy->Head.Mark, 0);
    EXPECT_EQ(source->Head.Mark, 0);
    ReleaseTree(source);
    ReleaseTree(copy);
}

TEST(Tree, EqualityComparesPositionsAttributesAndValues)
{
    auto make = [](unsigned column, int value, const char* name) {
        tTree t = mvector({1, column}, numbers(1, {value}));
        if (name) t->object.Name = text(name);
        return t;
    };
    tTree base = make(1, 3, "x");
    struct Case {
        tTree other;
        bool equal;
    };
    for (const Case& c : std::vector<Case>{{make(1, 3, "x"), true}, {make(2, 3, "x"), false}, {make(1, 4, "x"), false},
                                           {make(1, 3, "y"), false}, {make(1, 3, nullptr), false}}) {
        EXPECT_EQ(IsEqualTree(base, c.other), c.equal);
        ReleaseTree(c.other);
    }
    tTree nan = mreal({1, 1}, std::numeric_limits<double>::quiet_NaN());
    tTree nan2 = CopyTree(nan);
    EXPECT_FALSE(IsEqualTree(nan, nan2));
    EXPECT_TRUE(IsEqualTree(nan, nan));
    EXPECT_FALSE(IsEqualTree(base, NoTree));
    for (tTree t : {base, nan, nan2}) ReleaseTree(t);
}

// Every whole-tree walk follows a long list in a loop: half a million
// statements neither exhaust the stack nor leak.
TEST(Tree, LongStatementListsAreWalkedWithoutRecursion)
{
    const unsigned count = 500000;
    tTree list = statements(count);
    EXPECT_EQ(list->statements_1.statement->statement.Pos.Line, 1U);
    tTree copy = CopyTree(list);
    EXPECT_TRUE(IsEqualTree(list, copy));
    tTree last = copy;
    while (last->statements_1.statements->Kind == kstatements_1) last = last->statements_1.statements;
    EXPECT_EQ(last->statements_1.statement->statement.Pos.Line, count);
    last->statements_1.statement->obj_assignment.object->fr1.number->number.Value = 2;
    EXPECT_FALSE(IsEqualTree(list, copy));
    ReleaseTree(list);
    ReleaseTree(copy);
}
