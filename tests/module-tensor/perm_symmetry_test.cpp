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

std::string nested(int depth, const std::string& inside, bool closed = true)
{
    return std::string(std::size_t(depth), '(') + inside + (closed ? std::string(std::size_t(depth), ')') : "");
}

TEST(PermSymmetryStrings, ValidStringsPrintInCanonicalFormAndCopyDeeply)
{
    const std::string zeros(5000, '0');  // a digit run longer than any fixed buffer
    struct {
        std::string text;
        int n_indices;
        std::string form;
    } cases[] = {
        {"(0 1) 2", 3, "(0 1) 2"}, {"(0)(1)", 2, "(0) (1)"}, {" (0  1)\t[2 \t3] ", 4, "(0 1) [2 3]"},
        {"007 1 2 3 4 5 6 0", 8, "7 1 2 3 4 5 6 0"}, {zeros + "1 " + zeros, 2, "1 0"},
        {"[(0 1) (2 3)] 4", 5, "[(0 1) (2 3)] 4"},
        {"(0 (1 2))", 3, "(0 (1 2))"},  // unequal parts are found only when enumerating
        {nested(1000, "0 1"), 2, nested(1000, "0 1")},  // the deepest nesting taken
    };
    for (const auto& c : cases) {
        auto* s = new perm_symmetry_type{ZEM_string(c.text.c_str())};
        perm_symmetry_type copy(*s), assigned{ZEM_string("0")};
        assigned = *s;
        delete s;
        EXPECT_EQ(error_of(copy), "(none)") << c.text;
        EXPECT_EQ(assigned.n_indices, c.n_indices) << c.text;
        EXPECT_EQ(printed(copy), c.form) << c.text;
        EXPECT_EQ(printed(assigned), c.form) << c.text;
    }
}

TEST(PermSymmetryStrings, FaultsGiveTheirMessageAndLeaveNoSequence)
{
    const std::string illegal = "illegal character in permutation symmetry string";
    const std::string no_indices = "no indices in permutation string";
    const std::string once = "each index should occur exactly once";
    const std::string empty = "empty permutation sequence";
    const std::string rpar = "oops, while attempting to read `( ... )', ')' expected";
    const std::string deep = "permutation symmetry string nested too deeply";
    struct {
        std::string text, message;
        int n_indices;
    } cases[] = {
        {"", no_indices, 0}, {"()", no_indices, 0}, {"0,1", illegal, 0}, {"0\n1", illegal, 0}, {"01", once, 2},
        {"0 0", once, 1}, {"0 2", once, 3}, {") 0", empty, 1}, {"0 [ ] 1", empty, 2}, {"(0 1", rpar, 2},
        {"(0 1]", rpar, 2}, {"[0 1)", "oops, while attempting to read `[ ... ]', ']' expected", 2},
        // Tokens after the top-level sequence are refused, not dropped.
        {"0 1 ) 2", "unmatched `)' or `]' in permutation symmetry string", 3},
        // Counting occurrences by value would need gigabytes here.
        {"0 2147483646", once, 2147483647}, {"0 99999999999999999999999", once, 2147483647},
        // Nesting is refused before the stack overflows.
        {nested(1001, "0"), deep, 0}, {nested(1000000, "0", false), deep, 0}, {"[" + nested(1000, "0 1") + "]", deep, 0},
    };
    for (const auto& c : cases) {
        const perm_symmetry_type s{ZEM_string(c.text.c_str())};
        const perm_symmetry_type copy(s);
        EXPECT_EQ(error_of(copy), c.message) << c.text.substr(0, 40);
        if (c.message != deep) {
            EXPECT_EQ(s.n_indices, c.n_indices) << c.text;
        }
        EXPECT_EQ(copy.seq, nullptr) << c.text.substr(0, 40);
        EXPECT_EQ(printed(copy), "");
    }
}

}
