#include "numbers/word.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "support/printed.h"

namespace {

ZEM_word word_of(const std::vector<short>& letters)
{
    return ZEM_word(static_cast<int>(letters.size()), letters.data());
}

TEST(Words, PrintOneCharacterPerLetter)
{
    const std::vector<std::pair<std::vector<short>, std::string>> rows = {
        {{1, 1, -2, 3, -4}, "word(aaBcD)"},
        {{}, "word()"},
        {{26, -26, 1, -1}, "word(zZaA)"},
        {{27, -27, 0, 5, 32767, -32768}, "word(\?\?\?e\?\?)"},
    };
    for (const auto& [letters, text] : rows) EXPECT_EQ(printed(word_of(letters)), text);
    EXPECT_EQ(printed(ZEM_word()), "word()");

    // Values from a list are cut to 16 bits.
    ZEM_linkedlist<ZEM_int> list;
    for (int v : {1, 2, -1, 65536 + 1, -65536 - 2, 65536}) list.add_at_tail(ZEM_int(v));
    EXPECT_EQ(printed(ZEM_word(list)), "word(abAaB?)");
    EXPECT_EQ(printed(ZEM_word(ZEM_linkedlist<ZEM_int>())), "word()");
}

TEST(Words, CopiesOutliveTheFirstHandleAndHaveTheirType)
{
    auto first = std::make_unique<ZEM_word>(word_of({1, 2}));
    const std::unique_ptr<ZEM_object> copy(first->copy_object());
    first.reset();
    EXPECT_EQ(printed(*copy), "word(ab)");
    EXPECT_EQ(copy->type(), tp_word());
    EXPECT_EQ(tp_word().text(), "word");
}

}
