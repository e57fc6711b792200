#include "module-object/string.h"

#include <gtest/gtest.h>
#include <memory>
#include <sstream>

namespace {

std::string printed(const ZEM_object& value)
{
    std::ostringstream out;
    value.print(out);
    return out.str();
}

TEST(Strings, HashSumsSignedBytes)
{
    EXPECT_EQ(hash(ZEM_string("abc")), 294);
    EXPECT_EQ(hash(ZEM_string("\xE9")), -23);
    EXPECT_EQ(hash(ZEM_string("")), 0);
    EXPECT_NE(hash(ZEM_string("Abc")), hash(ZEM_string("abc")));
    EXPECT_NE(ZEM_string("Abc"), ZEM_string("abc"));
}

TEST(Strings, EmptyAndNullTexts)
{
    ZEM_string empty("");
    EXPECT_EQ(empty.length(), 0);
    EXPECT_EQ(printed(empty), "");
    EXPECT_EQ(ZEM_string(nullptr), empty);
    EXPECT_EQ(ZEM_string(), empty);
}

TEST(Strings, ConcatenationAndIndependentCopies)
{
    EXPECT_EQ(ZEM_string("ab") + ZEM_string("cd"), ZEM_string("abcd"));
    EXPECT_EQ(ZEM_string("") + ZEM_string("x"), ZEM_string("x"));
    EXPECT_EQ(ZEM_string("x") + ZEM_string(""), ZEM_string("x"));

    auto* source = new ZEM_string("text");
    std::unique_ptr<ZEM_object> copy(source->copy_object());
    ZEM_string constructed(*source);
    delete source;
    EXPECT_EQ(printed(*copy), "text");
    EXPECT_EQ(printed(constructed), "text");
    EXPECT_EQ(copy->type(), tp_string());

    ZEM_string& same = constructed;
    constructed = same;
    EXPECT_EQ(printed(constructed), "text");
}

}
