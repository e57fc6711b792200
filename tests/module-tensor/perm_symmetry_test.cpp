#include "module-tensor/perm_symmetry.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "support/failure.h"

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
    struct {
        const char* text;
        int n_indices;
        const char* form;
    } cases[] = {
        {"0", 1, "0"},
        {"(0 1) 2", 3, "(0 1) 2"},
        {"(0)(1)", 2, "(0) (1)"},
        {"1 0", 2, "1 0"},
        {"[(0 1) (2 3)]", 4, "[(0 1) (2 3)]"},
        {"(0 (1 2))", 3, "(0 (1 2))"},
        {" (0  1)\t[2 \t3] ", 4, "(0 1) [2 3]"},
        {"( 0   1 )", 2, "(0 1)"},
        {"007 1 2 3 4 5 6 0", 8, "7 1 2 3 4 5 6 0"},
        {"((0 1) [2 3])", 4, "((0 1) [2 3])"},
        {"[[0]]", 1, "[[0]]"},
    };
    for (const auto& c : cases) {
        perm_symmetry_type s{ZEM_string(c.text)};
        EXPECT_EQ(error_of(s), "(none)") << c.text;
        EXPECT_EQ(s.n_indices, c.n_indices) << c.text;
        EXPECT_EQ(printed(s), c.form) << c.text;
        ASSERT_NE(s.seq, nullptr);
        // Reading the canonical form back gives the same form.
        EXPECT_EQ(printed(perm_symmetry_type{ZEM_string(printed(s).c_str())}), c.form);
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
    const std::string unmatched = "unmatched `)' or `]' in permutation symmetry string";
    struct {
        const char* text;
        std::string message;
        int n_indices;
    } cases[] = {
        {"", no_indices, 0},
        {"   \t ", no_indices, 0},
        {"()", no_indices, 0},
        {"[]()", no_indices, 0},
        {"0,1", illegal, 0},
        {"0-1", illegal, 0},
        {"0\n1", illegal, 0},
        {"x", illegal, 0},
        {"(0 1) a", illegal, 0},
        {"01", once, 2},
        {"0 0", once, 1},
        {"0 2", once, 3},
        {"1", once, 2},
        {") 0", empty, 1},
        {"0 [ ] 1", empty, 2},
        {"(0 1", rpar, 2},
        {"(0 1]", rpar, 2},
        {"[0 1", rbracket, 2},
        {"[0 1)", rbracket, 2},
        {"0 1 ) 2", unmatched, 3},
        {"(0 1)] 2", unmatched, 3},
        {"0 ( 1", rpar, 2},
    };
    for (const auto& c : cases) {
        perm_symmetry_type s{ZEM_string(c.text)};
        EXPECT_EQ(error_of(s), c.message) << c.text;
        EXPECT_EQ(s.n_indices, c.n_indices) << c.text;
        EXPECT_EQ(s.seq, nullptr) << c.text;
    }
}

TEST(PermSymmetryStrings, DigitRunsHaveNoLengthLimitAndHugeIndicesAllocateNothing)
{
    // A run far longer than any fixed buffer still reads as one number.
    std::string zeros(5000, '0');
    perm_symmetry_type long_run{ZEM_string((zeros + "1 " + zeros).c_str())};
    EXPECT_EQ(error_of(long_run), "(none)");
    EXPECT_EQ(printed(long_run), "1 0");

    // Counting occurrences by value would need gigabytes here.
    for (const char* text : {"0 2147483646", "0 99999999999999999999999", "(0 1) 2000000000"}) {
        perm_symmetry_type s{ZEM_string(text)};
        EXPECT_EQ(error_of(s), "each index should occur exactly once") << text;
        EXPECT_GT(s.n_indices, 1000000) << text;
    }
}

TEST(PermSymmetryStrings, CopiesAndAssignmentsAreDeepAndFaultyOnesAreSafe)
{
    auto* source = new perm_symmetry_type{ZEM_string("[(0 1) (2 3)] 4")};
    perm_symmetry_type copy(*source);
    perm_symmetry_type assigned{ZEM_string("0")};
    assigned = *source;
    EXPECT_NE(copy.seq, source->seq);
    delete source;
    EXPECT_EQ(printed(copy), "[(0 1) (2 3)] 4");
    EXPECT_EQ(printed(assigned), "[(0 1) (2 3)] 4");
    EXPECT_EQ(assigned.n_indices, 5);

    perm_symmetry_type& same = assigned;
    assigned = same;
    EXPECT_EQ(printed(assigned), "[(0 1) (2 3)] 4");

    perm_symmetry_type faulty{ZEM_string("0 0")};
    perm_symmetry_type faulty_copy(faulty);
    EXPECT_EQ(error_of(faulty_copy), "each index should occur exactly once");
    EXPECT_EQ(faulty_copy.n_indices, 1);
    EXPECT_EQ(printed(faulty_copy), "");
    assigned = faulty;
    EXPECT_EQ(assigned.seq, nullptr);
    EXPECT_EQ(printed(assigned), "");
    assigned = copy;
    EXPECT_EQ(error_of(assigned), "(none)");
    EXPECT_EQ(printed(assigned), "[(0 1) (2 3)] 4");
}

TEST(PermSymmetryStrings, TopElementsAreMarkedAndElementsReportTheirIndices)
{
    perm_symmetry_type s{ZEM_string("[(3 1) (2 0)] 4")};
    ASSERT_EQ(s.seq->count(), 2);
    perm_symmetry_type copy(s);
    for (const perm_symmetry_type* p : {&s, &copy}) {
        const auto& group = dynamic_cast<const perm_symmetry_type_group&>((*p->seq)[0]);
        EXPECT_EQ(group.at_top, 1);
        EXPECT_EQ((*p->seq)[1].at_top, 1);
        EXPECT_EQ(group.parts()[0].at_top, 0);
        EXPECT_EQ(group.n_indices(), 4);
        int count = 1;
        int out[6] = {-1, -1, -1, -1, -1, -1};
        group.get_indices(count, out);
        EXPECT_EQ(count, 5);
        EXPECT_EQ(std::vector<int>(out, out + 6), (std::vector<int>{-1, 3, 1, 2, 0, -1}));
        for (int k = 0; k < 6; ++k) EXPECT_EQ(group.contains_index_number(k), k < 4 ? 1 : 0);
    }
    // A copy of an element keeps its mark.
    const perm_symmetry_type_base* element = (*s.seq)[1].copy();
    EXPECT_EQ(element->at_top, 1);
    delete element;
}

TEST(PermSymmetryStrings, RuleGuardsAndTheAbstractBaseReportThemselves)
{
    struct {
        const char* text;
        perm_symmetry_type_base* (*rule)(int, perm_token_iterator&, const char**);
        std::string message;
    } cases[] = {
        {"0", recursive_descent_symm, "oops, while attempting to read `( ... )', '(' expected"},
        {"(0)", recursive_descent_anti_symm, "oops, while attempting to read `[ ... ]', '[' expected"},
        {"", recursive_descent_perm_symm_element, "unexpected end of string while attempting to read symmetry element"},
        {")", recursive_descent_perm_symm_element,
         "oops, attempting to read symmetry element, <int>, `(' or `[' expected"},
    };
    for (const auto& c : cases) {
        perm_token_list tokens;
        const char* error = nullptr;
        tokenize_it(c.text, tokens, &error);
        ASSERT_EQ(error, nullptr);
        perm_token_iterator it(tokens);
        EXPECT_EQ(c.rule(1, it, &error), nullptr);
        EXPECT_EQ(std::string(error ? error : "(none)"), c.message) << c.text;
    }

    perm_symmetry_type_base base;
    const std::string abstract = run_time("hmm.., this function was meant to be abstract, please report");
    int count = 0;
    EXPECT_EQ(failure_of([&] { base.n_indices(); }), abstract);
    EXPECT_EQ(failure_of([&] { base.copy(); }), abstract);
    EXPECT_EQ(failure_of([&] { base.get_indices(count, nullptr); }), abstract);
    EXPECT_EQ(failure_of([&] { base.contains_index_number(0); }), abstract);
    std::ostringstream out;
    EXPECT_EQ(failure_of([&] { base.print(out); }), abstract);
}

TEST(PermSymmetryStrings, TokenizerKeepsTheTokensBeforeAFault)
{
    perm_token_list tokens;
    const char* error = nullptr;
    tokenize_it("(12 [x", tokens, &error);
    EXPECT_EQ(std::string(error), "illegal character in permutation symmetry string");
    std::vector<std::pair<int, int>> seen;
    for (perm_token_iterator it(tokens); !it.at_end(); it.advance())
        seen.push_back({it.token()->get_toktype(), it.token()->get_value()});
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{1, -1}, {0, 12}, {3, -1}}));
}

}
