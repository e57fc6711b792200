#include "module-tensor/perm_symmetry.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>

namespace {

std::string printed(const perm_symmetry_type& s)
{
    std::ostringstream out;
    s.print(out);
    return out.str();
}

std::string error_of(const perm_symmetry_type& s) { return s.error ? s.error : "(none)"; }

TEST(PermSymmetryStrings, ValidStringsPrintInCanonicalForm)
{
    const std::string zeros(5000, '0');  // a digit run longer than any fixed buffer
    struct {
        std::string text;
        int n_indices;
        const char* form;
    } cases[] = {
        {"0", 1, "0"}, {"(0 1) 2", 3, "(0 1) 2"}, {"(0)(1)", 2, "(0) (1)"}, {"1 0", 2, "1 0"},
        {"[(0 1) (2 3)]", 4, "[(0 1) (2 3)]"}, {" (0  1)\t[2 \t3] ", 4, "(0 1) [2 3]"},
        {"007 1 2 3 4 5 6 0", 8, "7 1 2 3 4 5 6 0"}, {zeros + "1 " + zeros, 2, "1 0"},
        {"(0 (1 2))", 3, "(0 (1 2))"},  // unequal parts are found only when enumerating
    };
    for (const auto& c : cases) {
        perm_symmetry_type s{ZEM_string(c.text.c_str())};
        EXPECT_EQ(error_of(s), "(none)") << c.text;
        EXPECT_EQ(s.n_indices, c.n_indices) << c.text;
        EXPECT_EQ(printed(s), c.form) << c.text;
    }
}

TEST(PermSymmetryStrings, FaultsGiveTheirMessageAndLeaveNoSequence)
{
    const std::string illegal = "illegal character in permutation symmetry string";
    const std::string no_indices = "no indices in permutation string";
    const std::string once = "each index should occur exactly once";
    const std::string empty = "empty permutation sequence";
    const std::string rpar = "oops, while attempting to read `( ... )', ')' expected";
    const std::string rbracket = "oops, while attempting to read `[ ... ]', ']' expected";
    struct {
        const char* text;
        std::string message;
        int n_indices;
    } cases[] = {
        {"", no_indices, 0},  {"   \t ", no_indices, 0}, {"()", no_indices, 0},  {"0,1", illegal, 0},
        {"0-1", illegal, 0},  {"0\n1", illegal, 0},      {"01", once, 2},         {"0 0", once, 1},
        {"0 2", once, 3},     {") 0", empty, 1},         {"0 [ ] 1", empty, 2},   {"(0 1", rpar, 2},
        {"(0 1]", rpar, 2},   {"[0 1)", rbracket, 2},
        // Tokens after the top-level sequence are refused, not dropped.
        {"0 1 ) 2", "unmatched `)' or `]' in permutation symmetry string", 3},
        // Counting occurrences by value would need gigabytes here.
        {"0 2147483646", once, 2147483647},
        {"0 99999999999999999999999", once, 2147483647},
        {"(0 1) 2000000000", once, 2000000001},
    };
    for (const auto& c : cases) {
        perm_symmetry_type s{ZEM_string(c.text)};
        EXPECT_EQ(error_of(s), c.message) << c.text;
        EXPECT_EQ(s.n_indices, c.n_indices) << c.text;
        EXPECT_EQ(s.seq, nullptr) << c.text;
    }
}

TEST(PermSymmetryStrings, CopiesAreDeepAndFaultyOnesCopyAndPrintSafely)
{
    auto* source = new perm_symmetry_type{ZEM_string("[(0 1) (2 3)] 4")};
    perm_symmetry_type copy(*source);
    perm_symmetry_type assigned{ZEM_string("0")};
    assigned = *source;
    delete source;
    EXPECT_EQ(printed(copy), "[(0 1) (2 3)] 4");
    EXPECT_EQ(assigned.n_indices, 5);
    perm_symmetry_type& same = assigned;
    assigned = same;
    EXPECT_EQ(printed(assigned), "[(0 1) (2 3)] 4");

    perm_symmetry_type faulty{ZEM_string("0 0")};
    perm_symmetry_type faulty_copy(faulty);
    EXPECT_EQ(error_of(faulty_copy), "each index should occur exactly once");
    EXPECT_EQ(printed(faulty_copy), "");
    assigned = faulty;
    EXPECT_EQ(assigned.seq, nullptr);
    EXPECT_EQ(printed(assigned), "");
}

std::string nested(int depth, const std::string& inside, bool closed = true)
{
    return std::string(std::size_t(depth), '(') + inside + (closed ? std::string(std::size_t(depth), ')') : "");
}

TEST(PermSymmetryStrings, NestingBeyondAThousandLevelsIsRefusedNotOverflowed)
{
    const std::string deep = "permutation symmetry string nested too deeply";
    for (const std::string& text : {nested(1001, "0"), nested(50000, "0"), nested(1000000, "0", false),
                                    "[" + nested(1000, "0 1") + "]"}) {
        perm_symmetry_type s{ZEM_string(text.c_str())};
        EXPECT_EQ(error_of(s), deep) << text.size();
        EXPECT_EQ(s.seq, nullptr);
    }
    // At the limit it is an ordinary symmetry: parsed, copied, printed and enumerated.
    const perm_symmetry_type s{ZEM_string(nested(1000, "0 1").c_str())};
    ASSERT_EQ(error_of(s), "(none)");
    EXPECT_EQ(printed(perm_symmetry_type(s)), nested(1000, "0 1"));
    pointer_to_objects<int> tuple(2);
    tuple[0] = 1;
    tuple[1] = 2;
    EXPECT_EQ(s.n_symmetrical_with(tuple), 2);
}

}
