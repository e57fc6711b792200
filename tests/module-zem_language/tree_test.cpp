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
