#include <cstring>

#include <gtest/gtest.h>

#include "module-zem_language/tree.h"

namespace {

char* text(const char* s) { return std::strcpy(new char[std::strlen(s) + 1], s); }

}

// Every whole-tree walk follows a long list in a loop: half a million
// statements neither exhaust the stack nor leak. A subtree referenced by the
// first and the last is copied once and freed once (the sanitizers see a
// double free or a leak); attributes are copied, absent ones stay absent.
TEST(Tree, LongListsWithASharedSubtreeAreCopiedComparedAndFreedWithoutRecursion)
{
    const unsigned count = 500000;
    tTree shared = mstringconst({1, 6}, mstring({1, 6}, text("name")));
    shared->object.Name = text("untitled");
    tTree list = mstatements_2();
    for (unsigned line = 1; line <= count; ++line) {
        tTree name = line == 1 || line == count ? shared : mstringconst({line, 6}, mstring({line, 6}, text("name")));
        list = mstatements_1(list, mfile_stmnt({line, 1}, name, mfr1({line, 5}, mnumber({line, 5}, 1))));
    }
    list = ReverseTree(list);
    tTree copy = CopyTree(list);
    EXPECT_TRUE(IsEqualTree(list, copy));
    tTree last = copy;
    while (last->statements_1.statements->Kind == kstatements_1) last = last->statements_1.statements;
    tTree statement = last->statements_1.statement, name = copy->statements_1.statement->file_stmnt.file_name;
    EXPECT_EQ(statement->statement.Pos.Line, count);
    EXPECT_EQ(statement->file_stmnt.file_name, name);
    EXPECT_NE(name->object.Name, shared->object.Name);
    EXPECT_EQ(name->object.Type, nullptr);
    // Values count.
    tTree value = statement->file_stmnt.object;
    value->fr1.number->number.Value = 2;
    EXPECT_FALSE(IsEqualTree(list, copy));
    ReleaseTree(list);
    ReleaseTree(copy);
}

// Nesting through any child, not only list links, costs no depth in the walks.
// Kinds count as their ancestors; reversal leaves single elements and ends as
// they are; empty nodes have every child NoTree.
TEST(Tree, KindsReversalAndDeepNesting)
{
    tTree fr2 = mfr2({1, 1}, mnumber({1, 1}, 1), mnumber({1, 3}, 2));
    const std::pair<int, bool> kinds[] = {{kfr2, true},     {kfraction, true}, {kobject, true},
                                          {kfr1, false},    {kinteger, false}, {kobjects, false}};
    for (auto [kind, is] : kinds) {
        EXPECT_EQ(Tree_IsType(fr2, kind), is) << kind;
        EXPECT_FALSE(Tree_IsType(NoTree, kind));
    }
    tTree end = mobj2(), one = mobj1(end, fr2);
    EXPECT_EQ(ReverseTree(one), one);
    EXPECT_EQ(one->obj1.objects, end);
    EXPECT_EQ(ReverseTree(end), end);
    EXPECT_EQ(ReverseTree(NoTree), NoTree);
    tTree empty = nchartab();
    EXPECT_EQ(empty->Kind, kchartab);
    EXPECT_EQ(empty->chartab.powers, NoTree);
    EXPECT_EQ(Tree_NodeSize[ktensorval], sizeof(ytensorval));

    tTree nested = mnumber({1, 1}, 0);
    for (unsigned depth = 1; depth <= 100000; ++depth)
        nested = mstring_list({depth, 1}, mobj1(mobj2(), depth % 2 ? minteger({depth, 1}, nested) : nested));
    tTree copy = CopyTree(nested);
    EXPECT_TRUE(IsEqualTree(nested, copy));
    copy->string_list.Pos.Column = 2;
    EXPECT_FALSE(IsEqualTree(nested, copy));
    ReleaseTree(nested);
    ReleaseTree(copy);
    ReleaseTree(one);
    ReleaseTree(empty);
}
