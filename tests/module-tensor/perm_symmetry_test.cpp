#include "module-tensor/perm_symmetry.h"

#include <climits>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "module-tensor/index_set.h"
#include "module-tensor/symmetry_enumeration.h"
#include "support/failure.h"
#include "support/index_tuple.h"

namespace {

std::string printed(const perm_symmetry_type& s)
{
    std::ostringstream out;
    s.print(out);
    return out.str();
}

std::string nested(int depth, const std::string& inside, bool closed = true)
{
    return std::string(std::size_t(depth), '(') + inside + (closed ? std::string(std::size_t(depth), ')') : "");
}

// A copy, taken before the original goes, prints the canonical form; a fault
// gives its message and leaves no sequence.
TEST(PermSymmetryStrings, CanonicalFormsOrTheFault)
{
    const std::string zeros(5000, '0');  // a digit run longer than any fixed buffer
    const std::string none = "(none)";
    const std::string illegal = "illegal character in permutation symmetry string";
    const std::string no_indices = "no indices in permutation string";
    const std::string once = "each index should occur exactly once";
    const std::string empty = "empty permutation sequence";
    const std::string rpar = "oops, while attempting to read `( ... )', ')' expected";
    const std::string deep = "permutation symmetry string nested too deeply";
    struct {
        std::string text, message;
        int n_indices;
        std::string form;
    } cases[] = {
        {"(0 1) 2", none, 3, "(0 1) 2"}, {"(0)(1)", none, 2, "(0) (1)"}, {" (0  1)\t[2 \t3] ", none, 4, "(0 1) [2 3]"},
        {"007 1 2 3 4 5 6 0", none, 8, "7 1 2 3 4 5 6 0"}, {zeros + "1 " + zeros, none, 2, "1 0"},
        {"[(0 1) (2 3)] 4", none, 5, "[(0 1) (2 3)] 4"},
        {"(0 (1 2))", none, 3, "(0 (1 2))"},  // unequal parts are found only when enumerating
        {nested(1000, "0 1"), none, 2, nested(1000, "0 1")},  // the deepest nesting taken
        {"", no_indices, 0, ""}, {"()", no_indices, 0, ""}, {"0,1", illegal, 0, ""}, {"0\n1", illegal, 0, ""},
        {"01", once, 2, ""}, {"0 0", once, 1, ""}, {"0 2", once, 3, ""}, {") 0", empty, 1, ""}, {"0 [ ] 1", empty, 2, ""},
        {"(0 1", rpar, 2, ""}, {"(0 1]", rpar, 2, ""},
        {"[0 1)", "oops, while attempting to read `[ ... ]', ']' expected", 2, ""},
        // Tokens after the top-level sequence are refused, not dropped.
        {"0 1 ) 2", "unmatched `)' or `]' in permutation symmetry string", 3, ""},
        // Counting occurrences by value would need gigabytes here.
        {"0 2147483646", once, 2147483647, ""}, {"0 99999999999999999999999", once, 2147483647, ""},
        // Nesting is refused before the stack overflows.
        {nested(1001, "0"), deep, 0, ""}, {nested(1000000, "0", false), deep, 0, ""},
        {std::string("[").append(nested(1000, "0 1")).append("]"), deep, 0, ""},
    };
    for (const auto& c : cases) {
        auto* s = new perm_symmetry_type{ZEM_string(c.text.c_str())};
        const perm_symmetry_type copy(*s);
        delete s;
        EXPECT_EQ((copy.error ? std::string(copy.error) : none) + " " + printed(copy), c.message + " " + c.form)
            << c.text.substr(0, 40);
        EXPECT_EQ(copy.seq == nullptr, c.form.empty()) << c.text.substr(0, 40);
        if (c.message != deep) {
            EXPECT_EQ(copy.n_indices, c.n_indices) << c.text;
        }
    }
}

// Tokens written as "0:7" (type and value), separated by blanks.
std::string tokens_of(const perm_token_list& tokens)
{
    std::string text;
    for (perm_token_iterator it(tokens); it.token(); it.advance())
        text.append(text.empty() ? "" : " ")
            .append(std::to_string(it.token()->get_toktype()) + ":" + std::to_string(it.token()->get_value()));
    return text;
}

TEST(PermSymmetryStrings, TokenizerKeepsWhatItReadBeforeAFault)
{
    const struct {
        const char* text;
        const char* error;
        const char* tokens;
    } cases[] = {
        {" (0  1)\t[2 \t3] ", nullptr, "1:-1 0:0 0:1 2:-1 3:-1 0:2 0:3 4:-1"},
        {"007(01", nullptr, "0:7 1:-1 0:1"},
        {"", nullptr, ""},
        {"(0 1,2", "illegal character in permutation symmetry string", "1:-1 0:0 0:1"},
    };
    for (const auto& c : cases) {
        perm_token_list tokens;
        const char* error = nullptr;
        tokenize_it(c.text, tokens, &error);
        EXPECT_EQ(tokens_of(tokens), c.tokens) << c.text;
        EXPECT_STREQ(error, c.error) << c.text;
        EXPECT_EQ(tokens.head() == nullptr, tokens.tail() == nullptr) << c.text;
        if (tokens.tail()) {
            EXPECT_EQ(tokens.tail()->next, nullptr);
            EXPECT_EQ(tokens.head()->previous, nullptr);
        }
    }
}

// Each rule run alone on the tokens of a text: its message, or what it read and
// the token it stopped at.
TEST(PermSymmetryStrings, GrammarRulesGuardTheirOwnStart)
{
    using sequence_rule = perm_symmetry_type_seq* (*)(int, perm_token_iterator&, const char**);
    using element_rule = perm_symmetry_type_base* (*)(int, perm_token_iterator&, const char**);
    const std::string none = "(none)";
    auto run = [&](auto rule, const char* text) {
        perm_token_list tokens;
        const char* error = nullptr;
        tokenize_it(text, tokens, &error);
        perm_token_iterator it(tokens);
        std::unique_ptr<std::remove_pointer_t<decltype(rule(0, it, &error))>> read(rule(10, it, &error));
        std::ostringstream out;
        if (read) read->print(out);
        EXPECT_EQ(read == nullptr, error != nullptr) << text;
        return (error ? std::string(error) : none) + " | " + out.str() + " | " + std::to_string(it.toktype());
    };
    const sequence_rule start = recursive_descent_start, sequence = recursive_descent_perm_symm_sequence;
    const element_rule element = recursive_descent_perm_symm_element, symm = recursive_descent_symm,
                       anti = recursive_descent_anti_symm;
    EXPECT_EQ(run(sequence, "0 (1 2) ) 3"), none + " | 0 (1 2) | 2");
    EXPECT_EQ(run(start, "0 (1 2) ) 3"), "unmatched `)' or `]' in permutation symmetry string |  | 2");
    EXPECT_EQ(run(start, "[(0 1) (2 3)]"), none + " | [(0 1) (2 3)] | -1");
    EXPECT_EQ(run(sequence, "]"), "empty permutation sequence |  | 4");
    EXPECT_EQ(run(element, "[0 1] 2"), none + " | [0 1] | 0");
    EXPECT_EQ(run(element, ""), "unexpected end of string while attempting to read symmetry element |  | -1");
    EXPECT_EQ(run(element, ") 0"), "oops, attempting to read symmetry element, <int>, `(' or `[' expected |  | 2");
    EXPECT_EQ(run(symm, "[0 1]"), "oops, while attempting to read `( ... )', '(' expected |  | 3");
    EXPECT_EQ(run(symm, "(0 1]"), "oops, while attempting to read `( ... )', ')' expected |  | 4");
    EXPECT_EQ(run(anti, "(0 1)"), "oops, while attempting to read `[ ... ]', '[' expected |  | 1");
    EXPECT_EQ(run(anti, "[0 1"), "oops, while attempting to read `[ ... ]', ']' expected |  | -1");
    // A sequence never holds more elements than there are indices.
    EXPECT_EQ(run(sequence, "0 1 2 3 4 5 6 7 8 9 10"), "each index should occur exactly once |  | -1");
}

// Only the direct elements of the top level are marked, by the symmetry and on its copies.
TEST(PermSymmetryStrings, TopElementsAreMarked)
{
    perm_token_list tokens;
    const char* error = nullptr;
    tokenize_it("(0 1) 2", tokens, &error);
    std::unique_ptr<perm_symmetry_type_seq> parsed(parse_it(3, tokens, &error));
    ASSERT_NE(parsed, nullptr);
    EXPECT_EQ((*parsed)[0].at_top + (*parsed)[1].at_top, 0);
    parsed->set_at_top();
    EXPECT_EQ((*parsed)[0].at_top + (*parsed)[1].at_top, 2);

    const perm_symmetry_type original{ZEM_string("[(0 1) (2 3)] 4")};
    const perm_symmetry_type copy(original);
    for (const perm_symmetry_type* s : {&original, &copy}) {
        const auto& group = dynamic_cast<const perm_symmetry_type_group&>((*s->seq)[0]);
        EXPECT_EQ(group.at_top + (*s->seq)[1].at_top, 2);
        EXPECT_EQ(group.parts()[0].at_top + group.parts()[1].at_top, 0);
    }
}

// Reports written as "(1,2,3)+", separated by blanks.
void record(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    auto& text = *static_cast<std::string*>(data);
    text += text.empty() ? "(" : " (";
    for (int k = 0; k < image.count(); ++k) text.append(k ? "," : "").append(std::to_string(image[k]));
    text += sign == permsym_plus ? ")+" : sign == permsym_minus ? ")-" : ")?";
}

std::string reports(const std::string& symmetry, const std::vector<int>& tuple, int all)
{
    // Through a copy: it must keep the marks of the top elements, or the all mode reports more.
    const perm_symmetry_type parsed{ZEM_string(symmetry.c_str())};
    const perm_symmetry_type s(parsed);
    std::string seen;
    s.for_all_symmetrical_with_do(record, tuple_of(tuple), &seen, all);
    return seen;
}

// Every report twice, as the chains report each image in the all mode.
std::string twice(const std::string& reports)
{
    std::istringstream in(reports);
    std::string out;
    for (std::string item; in >> item;) out += (out.empty() ? "" : " ") + item + " " + item;
    return out;
}

TEST(SymmetryEnumeration, WorkedOrdersInBothModes)
{
    // In the all mode the pair (2 3) inside the bracket group reports x, x, x', x',
    // and the pair (0 1) runs it twice for each of its own tuples.
    auto block = [](const std::string& x, const std::string& y) {
        return twice(x) + " " + twice(x) + " " + twice(y) + " " + twice(y);
    };
    struct {
        std::string symmetry;
        std::vector<int> tuple;
        std::string distinct, all;  // all empty: each distinct report twice
    } cases[] = {
        {"0 [1 2]", {1, 2, 3}, "(1,2,3)+ (1,3,2)-", ""},
        {"[0 1 2]", {1, 2, 3}, "(1,2,3)+ (1,3,2)- (2,1,3)- (2,3,1)+ (3,2,1)- (3,1,2)+", ""},
        {"(0 1 2)", {1, 1, 2}, "(1,1,2)+ (1,2,1)+ (2,1,1)+", ""},
        {"[(0 1) (2 3)]", {1, 2, 3, 4},
         "(1,2,3,4)+ (1,2,4,3)+ (2,1,3,4)+ (2,1,4,3)+ (3,4,1,2)- (3,4,2,1)- (4,3,1,2)- (4,3,2,1)-",
         "(1,2,3,4)+ " + block("(1,2,3,4)+ (1,2,4,3)+", "(2,1,3,4)+ (2,1,4,3)+") + " (3,4,1,2)- " +
             block("(3,4,1,2)- (3,4,2,1)-", "(4,3,1,2)- (4,3,2,1)-")},
        {"[0 1]", {1, 1}, "(1,1)+", "(1,1)+ (1,1)+ (1,1)-"},
    };
    for (const auto& c : cases) {
        const std::string all = c.all.empty() ? twice(c.distinct) : c.all;
        EXPECT_EQ(reports(c.symmetry, c.tuple, 0), c.distinct) << c.symmetry;
        EXPECT_EQ(reports(c.symmetry, c.tuple, 7), all) << c.symmetry;
    }
    // The deepest nesting taken enumerates like its innermost group.
    EXPECT_EQ(reports(std::string(1000, '(') + "0 1" + std::string(1000, ')'), {1, 2}, 0), "(1,2)+ (2,1)+");
}

// The exchanges of the parts of the first top-level group from position i: each
// exchanged tuple is reported and then again by the chain of its single-index parts.
TEST(SymmetryEnumeration, ExchangesOfPartsFromAPosition)
{
    const std::string unequal = run_time("[permswap] |swap1| not eq. to |swap2|");
    // Each inner group reports its tuple and its exchanged tuple twice, once for
    // itself and once through its chain; the pair (0 1) runs it twice per tuple.
    const std::string x = twice("(3,4,1,2)- (3,4,2,1)-"), y = twice("(4,3,1,2)- (4,3,2,1)-");
    struct {
        std::string symmetry;
        int i;
        std::vector<int> tuple;
        permsym_plusmin sign;
        std::string reports;
    } cases[] = {
        {"(0 1 2)", 0, {1, 1, 2}, permsym_plus, "(1,2,1)+ (1,2,1)+ (2,1,1)+ (2,1,1)+"},
        {"[0 1 2]", 1, {1, 2, 3}, permsym_plus, "(1,3,2)- (1,3,2)-"},
        {"[0 1 2]", 1, {1, 2, 3}, permsym_minus, "(1,3,2)+ (1,3,2)+"},
        {"[0 1 2]", 2, {1, 2, 3}, permsym_plus, ""},
        {"[0 1]", 0, {1, 1}, permsym_plus, "(1,1)-"},
        {"[0 1]", 0, {1, 1}, permsym_minus, ""},
        {"[(0 1) (2 3)]", 0, {1, 2, 3, 4}, permsym_plus, "(3,4,1,2)- " + x + " " + x + " " + y + " " + y},
        {"(0 (1 2))", 0, {1, 2, 3}, permsym_plus, unequal},
    };
    for (const auto& c : cases) {
        const perm_symmetry_type s{ZEM_string(c.symmetry.c_str())};
        const auto& group = dynamic_cast<const perm_symmetry_type_group&>((*s.seq)[0]);
        const auto exchanges = group.is_antisymmetric() ? fhups_antisym : fhups_sym;
        std::string seen;
        const std::string failure =
            failure_of([&] { exchanges(c.i, record, tuple_of(c.tuple), c.sign, &seen, group.part_list()); });
        EXPECT_EQ(failure == "(no failure)" ? seen : failure, c.reports) << c.symmetry << " from " << c.i;
    }
}

void fail_on_minus(const pointer_to_objects<int>&, permsym_plusmin sign, void*)
{
    if (sign == permsym_minus) ZEM_FAIL("stop");
}

TEST(SymmetryEnumeration, FailuresPassThroughAfterTheReportsBeforeThem)
{
    perm_symmetry_type unequal{ZEM_string("(0 (1 2))")};
    std::string seen;
    EXPECT_EQ(failure_of([&] { unequal.for_all_symmetrical_with_do(record, tuple_of({1, 2, 3}), &seen, 0); }),
              run_time("[permswap] |swap1| not eq. to |swap2|"));
    EXPECT_EQ(seen, "(1,2,3)+ (1,3,2)+");
    perm_symmetry_type anti{ZEM_string("[0 1]")};
    EXPECT_EQ(failure_of([&] { anti.for_all_symmetrical_with_do(fail_on_minus, tuple_of({1, 2}), nullptr, 0); }),
              run_time("stop"));
    EXPECT_EQ(failure_of([&] { anti.n_symmetrical_with(tuple_of({1})); }),
              run_time("[perm_symmetry_type] fewer indices in the tuple than in the symmetry"));
}

// Tuples with repeated indices reach each image along factorially many paths; the
// walk tries a number of exchanges that grows with the images times the rank only.
TEST(SymmetryEnumeration, WorkGrowsWithTheImagesReported)
{
    for (int rank : {8, 12}) {
        std::string text;
        std::vector<int> tuple;
        for (int k = 0; k < rank; ++k) {
            text.append(k ? " " : "").append(std::to_string(k));
            tuple.push_back(k < rank / 2 ? 0 : 1);
        }
        const perm_symmetry_type s{ZEM_string(("(" + text + ")").c_str())};
        walk_memo memo;
        int images = 0;
        for_all_distinct_images_do(s, nsw1, tuple_of(tuple), &images, memo);
        EXPECT_LE(memo.exchanges_tried(), 3LL * rank * images) << rank;
        EXPECT_EQ(images, rank == 8 ? 70 : 924);
    }
}

// The bucket is the sum of k * t[k] over the positions, wrapping in 32 bits.
TEST(SymmetryEnumeration, IndexSetHashesByWeightedSum)
{
    const std::pair<std::vector<int>, int> cases[] = {
        {{1, 2}, 2}, {{7}, 0}, {{}, 0}, {{1, 2, 3}, 8}, {{0, -1}, 45}, {{5, INT_MIN}, 48}, {{0, 30, 11}, 2},
    };
    for (const auto& [values, bucket] : cases) {
        const pointer_to_objects<int> t = tuple_of(values);
        EXPECT_EQ(index_set::hash_func(&t, 50), bucket) << values.size();
    }
    // (1 2) and (3 2) share a bucket and stay apart.
    index_set set;
    set.set(tuple_of({1, 2}));
    EXPECT_EQ(set.is_set(tuple_of({1, 2})), 1);
    EXPECT_EQ(set.is_set(tuple_of({3, 2})), 0);
}

}
