#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "module-zem_language/tree.h"

namespace {

char* text(const char* s) { return std::strcpy(new char[std::strlen(s) + 1], s); }


}

// A subtree referenced twice is copied once and freed once (the sanitizers
// see a double free or a leak); attributes are copied, absent ones stay absent.
TEST(Tree, CopyKeepsSharingAndReleaseFreesEveryNodeOnce)
{
    tTree shared = mstringconst({2, 7}, mstring({2, 7}, text("name")));
    shared->object.Type = new ZEM_type(tp_string());
    shared->object.Name = text("untitled");
    tTree unfilled = mvector({2, 20}, mobj1(mobj2(), mfr1({2, 20}, mnumber({2, 20}, 1))));
    tTree source = mfile_stmnt({2, 1}, shared, mfile_stmnt({3, 1}, shared, unfilled));

    tTree copy = CopyTree(source);
    EXPECT_TRUE(IsEqualTree(source, copy));
    EXPECT_NE(copy->file_stmnt.file_name, shared);
    EXPECT_EQ(copy->file_stmnt.file_name, copy->file_stmnt.object->file_stmnt.file_name);
    EXPECT_NE(copy->file_stmnt.file_name->object.Name, shared->object.Name);
    EXPECT_EQ(copy->file_stmnt.object->file_stmnt.object->object.Type, nullptr);
    ReleaseTree(source);
    ReleaseTree(copy);
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
    // Values and positions both count.
    tTree value = last->statements_1.statement->obj_assignment.object;
    value->fr1.number->number.Value = 2;
    EXPECT_FALSE(IsEqualTree(list, copy));
    value->fr1.number->number.Value = 1;
    value->object.Pos.Column = 6;
    EXPECT_FALSE(IsEqualTree(list, copy));
    ReleaseTree(list);
    ReleaseTree(copy);
}
