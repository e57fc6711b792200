#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "module-zem_language/tree.h"

namespace {

char* text(const char* s) { return std::strcpy(new char[std::strlen(s) + 1], s); }

// The vector literal [value] at column `column`, named `name` if given.
tTree vector_of(unsigned column, int value, const char* name)
{
    tTree t = mvector({1, column}, mobj1(mobj2(), mfr1({1, column}, mnumber({1, column}, value))));
    if (name) t->object.Name = text(name);
    return t;
}

}

// A subtree referenced twice is copied once and freed once (the sanitizers
// see a double free or a leak); attributes are copied, absent ones stay absent.
TEST(Tree, CopyKeepsSharingAndReleaseFreesEveryNodeOnce)
{
    tTree shared = mstringconst({2, 7}, mstring({2, 7}, text("name")));
    shared->object.Type = new ZEM_type(tp_string());
    shared->object.Name = text("untitled");
    tTree source = mfile_stmnt({2, 1}, shared, mfile_stmnt({3, 1}, shared, vector_of(20, 1, nullptr)));

    tTree copy = CopyTree(source);
    EXPECT_TRUE(IsEqualTree(source, copy));
    EXPECT_NE(copy->file_stmnt.file_name, shared);
    EXPECT_EQ(copy->file_stmnt.file_name, copy->file_stmnt.object->file_stmnt.file_name);
    EXPECT_NE(copy->file_stmnt.file_name->object.Name, shared->object.Name);
    EXPECT_EQ(copy->file_stmnt.object->file_stmnt.object->object.Type, nullptr);
    ReleaseTree(source);
    ReleaseTree(copy);
}

TEST(Tree, EqualityComparesPositionsAttributesAndValues)
{
    tTree base = vector_of(1, 3, "x");
    struct Case {
        tTree other;
        bool equal;
    };
    for (const Case& c : std::vector<Case>{{vector_of(1, 3, "x"), true}, {vector_of(2, 3, "x"), false},
                                           {vector_of(1, 4, "x"), false}, {vector_of(1, 3, "y"), false},
                                           {vector_of(1, 3, nullptr), false}}) {
        EXPECT_EQ(IsEqualTree(base, c.other), c.equal);
        ReleaseTree(c.other);
    }
    tTree nan = mreal({1, 1}, std::numeric_limits<double>::quiet_NaN()), nan2 = CopyTree(nan);
    EXPECT_FALSE(IsEqualTree(nan, nan2));
    EXPECT_TRUE(IsEqualTree(nan, nan));
    for (tTree t : {base, nan, nan2}) ReleaseTree(t);
}

// Every whole-tree walk follows a long list in a loop: half a million
// statements neither exhaust the stack nor leak.
TEST(Tree, LongStatementListsAreWalkedWithoutRecursion)
{
    const unsigned count = 500000;
    tTree list = mstatements_2();
    for (unsigned line = 1; line <= count; ++line)
        list = mstatements_1(list, mobj_assignment({line, 1}, midentifier({line, 1}, text("a")),
                                                   mfr1({line, 5}, mnumber({line, 5}, 1))));
    list = ReverseTree(list);
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
