#include "module-object/type.h"

#include <gtest/gtest.h>

namespace {

TEST(Types, PrintNestedWithoutBlanks)
{
    EXPECT_EQ(tp_dictionary(tp_string(), tp_int()).text(), "dictionary<string,int>");
    EXPECT_EQ(tp_set(tp_linkedlist(tp_fraction())).text(), "set<linkedlist<fraction>>");
    EXPECT_EQ(ZEM_type("int", 0).text(), "int");
    EXPECT_EQ(ZEM_type(nullptr, 0).text(), "unknown");
}

TEST(Types, EqualExactlyWhenPrintedFormsAre)
{
    EXPECT_EQ(ZEM_type(), tp_unknown());
    EXPECT_EQ(ZEM_type(nullptr, 0), tp_unknown());
    EXPECT_EQ(ZEM_type("int", 0), tp_int());
    EXPECT_NE(tp_set(tp_int()), tp_set(tp_real()));
    ZEM_type inner = tp_int();
    EXPECT_EQ(ZEM_type("set", 1, &inner), tp_set(tp_int()));
    EXPECT_NE(tp_error(), tp_void());
}

TEST(Types, CopiesAreDeepAndSelfAssignmentKeepsTheText)
{
    auto* source = new ZEM_type(tp_dictionary(tp_string(), tp_set(tp_int())));
    ZEM_type copy(*source);
    delete source;
    EXPECT_EQ(copy.text(), "dictionary<string,set<int>>");
    ZEM_type& same = copy;
    copy = same;
    EXPECT_EQ(copy.text(), "dictionary<string,set<int>>");
}

}
