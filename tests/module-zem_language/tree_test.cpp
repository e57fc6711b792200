#include <cstring>

#include <gtest/gtest.h>

#include "module-zem_language/tree.h"
#include "support/memory_limit.h"

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

// Marking counts the references to each node, through all seven children of a
// character table, also where one node fills two fields, and leaves every
// field as it was: near the root and at the end of a long chain of nesting,
// where the walks keep their way back in the nodes. Release allocates nothing:
// with the heap exhausted, it still frees a long list with a shared subtree
// (as it must while a failure for want of memory unwinds).
TEST(Tree, MarkingCountsReferencesAndReleaseNeedsNoMemory)
{
    for (const unsigned depth : {0u, 1000u}) {
        tTree number = mnumber({1, 1}, 7), rows = mobj2();
        tTree fraction = mfr2({1, 1}, number, number);
        tTree table =
            mchartab({1, 1}, mobj2(), rows, mobj2(), NoTree, mchartab_pow2(), rows, mobj1(mobj2(), fraction));
        tTree list = mobj1(mobj1(mobj2(), fraction), table);
        tTree root = list;
        for (unsigned level = 1; level <= depth; ++level) root = mvector({level, 1}, mobj1(mobj2(), root));
        const tTree fields[] = {table->chartab.classes, table->chartab.element_orders, table->chartab.powers,
                                table->chartab.vector_representation};
        yyMark(root);
        const std::pair<tTree, int> marks[] = {{list, 1},      {table, 1},    {rows, 2},      {fraction, 2},
                                               {number, 2},    {fields[0], 1}, {fields[2], 1}, {list->obj1.objects, 1}};
        for (auto [node, mark] : marks) EXPECT_EQ(node->Head.Mark, mark) << depth << ": " << int(node->Kind);
        EXPECT_EQ(table->chartab.classes, fields[0]);
        EXPECT_EQ(table->chartab.class_sizes, rows);
        EXPECT_EQ(table->chartab.entries, NoTree);
        EXPECT_EQ(table->chartab.determinant, rows);
        EXPECT_EQ(table->chartab.vector_representation, fields[3]);
        EXPECT_EQ(fields[3]->obj1.object, fraction);
        EXPECT_EQ(fraction->fr2.numerator, number);
        EXPECT_EQ(fraction->fr2.denominator, number);
        EXPECT_EQ(list->obj1.object, table);
        // Marks are 0 outside the walks: put them back before releasing.
        for (tTree node = root; node != list; node = node->vector.objects->obj1.object) {
            EXPECT_EQ(node->Head.Mark, 1);
            node->Head.Mark = node->vector.objects->Head.Mark = node->vector.objects->obj1.objects->Head.Mark = 0;
        }
        for (tTree node : {list, list->obj1.objects, list->obj1.objects->obj1.objects, table, rows, fraction, number,
                           fields[0], fields[1], fields[2], fields[3], fields[3]->obj1.objects})
            node->Head.Mark = 0;
        ReleaseTree(root);
    }

    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    EXPECT_IN_FRESH_PROCESS([] {
        tTree shared = mstringconst({1, 5}, mstring({1, 5}, text("shared")));
        tTree statements = mstatements_2();
        for (unsigned line = 1; line <= 100000; ++line)
            statements = mstatements_1(
                statements, mobj_assignment({line, 1}, midentifier({line, 1}, text("x")),
                                            line % 1000 == 1 ? shared : mfr1({line, 5}, mnumber({line, 5}, 1))));
        limit_growth(0);
        take_every_block();
        ReleaseTree(statements);
        // The cells are free again (asked through a volatile pointer, which a compiler may not drop).
        void* volatile cell = std::malloc(sizeof(ystatements_1));
        return cell != nullptr;
    });
}

// Past the walks' array, nodes of many children are taken apart in place: at
// each level of a deep tree the deeper part lies between a subtree in a lower
// field and an empty list or NoTree above it (the sanitizers see a node used
// after it was freed, or freed twice).
TEST(Tree, DeepTreesOfNodesWithManyChildrenAreFreedOnce)
{
    tTree nested = mnumber({1, 1}, 0);
    for (unsigned level = 1; level <= 300; ++level) {
        const tPosition at{level, 1};
        tTree below = minteger(at, mnumber(at, 1));
        if (level % 3 == 0)
            nested = mcyclotomic(at, mobj1(mobj2(), below), mobj1(mobj2(), nested), mobj2());
        else if (level % 3 == 1)
            nested = mchartab(at, mobj1(mobj2(), below), NoTree, mobj1(mobj2(), nested), mobj2(), mchartab_pow2(),
                              NoTree, mobj2());
        else
            nested = mtensor(at, below, nested, NoTree, mtenvals1());
    }
    tTree copy = CopyTree(nested);
    EXPECT_TRUE(IsEqualTree(nested, copy));
    ReleaseTree(nested);
    ReleaseTree(copy);
}
