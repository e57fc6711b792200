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
    const struct {
        std::vector<short> letters;
        const char* printed;
    } cases[] = {
        {{1, 1, -2, 3, -4}, "word(aaBcD)"},
        {{}, "word()"},
        {{26, -26, 1, -1}, "word(zZaA)"},
        {{27, -27, 0, 5, 32767, -32768}, "word(\?\?\?e\?\?)"},
    };
    for (const auto& c : cases) EXPECT_EQ(printed(word_of(c.letters)), c.printed);
    EXPECT_EQ(printed(ZEM_word()), "word()");
}

TEST(Words, BuiltFromListsCutValuesTo16Bits)
{
    const struct {
        std::vector<int> values;
        const char* printed;
    } cases[] = {
        {{1, 2, -1}, "word(abA)"},
        {{65536 + 1, -65536 - 2, 65536}, "word(aB?)"},
        {{}, "word()"},
    };
    for (const auto& c : cases) {
        ZEM_linkedlist<ZEM_int> list;
        for (int v : c.values) list.add_at_tail(ZEM_int(v));
        EXPECT_EQ(printed(ZEM_word(list)), c.printed);
    }

    // A body asked for more letters than the list holds fills the rest with 0.
    ZEM_linkedlist<ZEM_int> two;
    two.add_at_tail(ZEM_int(3));
    two.add_at_tail(ZEM_int(-3));
    auto* body = new (trailing_extra<ZEM_word_impl, short>(4)) ZEM_word_impl(4, two);
    EXPECT_EQ(body->length, 4);
    EXPECT_EQ(body->reference_count, 0);
    EXPECT_EQ((std::vector<short>(body->letters, body->letters + 4)), (std::vector<short>{3, -3, 0, 0}));
    delete body;
}

class inspected_word : public ZEM_word {
public:
    explicit inspected_word(const ZEM_word& w) : ZEM_word(w) {}
    const ZEM_word_impl* shared() const { return body(); }
};

TEST(Words, CopiesShareOneBody)
{
    auto* first = new ZEM_word(word_of({1, 2}));
    inspected_word second(*first);
    std::unique_ptr<ZEM_object> third(first->copy_object());
    EXPECT_EQ(second.shared()->reference_count, 3);
    EXPECT_EQ(second.shared(), inspected_word(static_cast<const ZEM_word&>(*third)).shared());
    delete first;
    EXPECT_EQ(second.shared()->reference_count, 2);
    EXPECT_EQ(printed(second), "word(ab)");
    EXPECT_EQ(printed(*third), "word(ab)");

    EXPECT_EQ(inspected_word(ZEM_word()).shared()->letters, nullptr);
}

TEST(Words, TypeIsWord)
{
    EXPECT_EQ(tp_word().text(), "word");
    EXPECT_EQ(word_of({1}).type(), tp_word());
    EXPECT_EQ(ZEM_word().type(), ZEM_type("word", 0));
}

}
