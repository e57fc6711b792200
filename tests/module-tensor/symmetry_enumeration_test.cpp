#include "module-tensor/symmetry_enumeration.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "module-tensor/tensor_basis.h"
#include "support/failure.h"
#include "support/index_tuple.h"

namespace {

// Reports written as "(1,2,3)+", separated by blanks.
void record(const pointer_to_objects<int>& image, permsym_plusmin sign, void* data)
{
    auto& text = *static_cast<std::string*>(data);
    text += text.empty() ? "(" : " (";
    for (int k = 0; k < image.count(); ++k) {
        if (k) text += ',';
        text += std::to_string(image[k]);
    }
    text += sign == permsym_plus ? ")+" : sign == permsym_minus ? ")-" : ")?";
}

std::string reports(const char* symmetry, const std::vector<int>& tuple, int all)
{
    // Through a copy: it must keep the marks of the top elements, or the all mode reports more.
    const perm_symmetry_type parsed{ZEM_string(symmetry)};
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
        const char* symmetry;
        std::vector<int> tuple;
        std::string distinct, all;  // all empty: each distinct report twice
    } cases[] = {
        {"(0 1) 2", {1, 2, 3}, "(1,2,3)+ (2,1,3)+", ""},
        {"0 [1 2]", {1, 2, 3}, "(1,2,3)+ (1,3,2)-", ""},
        {"[0 1 2]", {1, 2, 3}, "(1,2,3)+ (1,3,2)- (2,1,3)- (2,3,1)+ (3,2,1)- (3,1,2)+", ""},
        {"(0 1 2)", {1, 1, 2}, "(1,1,2)+ (1,2,1)+ (2,1,1)+", ""},
        {"[(0 1) (2 3)]", {1, 2, 3, 4},
         "(1,2,3,4)+ (1,2,4,3)+ (2,1,3,4)+ (2,1,4,3)+ (3,4,1,2)- (3,4,2,1)- (4,3,1,2)- (4,3,2,1)-",
         "(1,2,3,4)+ " + block("(1,2,3,4)+ (1,2,4,3)+", "(2,1,3,4)+ (2,1,4,3)+") + " (3,4,1,2)- " +
             block("(3,4,1,2)- (3,4,2,1)-", "(4,3,1,2)- (4,3,2,1)-")},
        {"[0 1]", {1, 1}, "(1,1)+", "(1,1)+ (1,1)+ (1,1)-"},
        {"(0 1)", {1, 2}, "(1,2)+ (2,1)+", ""},
        {"0 1 2", {1, 2, 3}, "(1,2,3)+", ""},
    };
    for (const auto& c : cases) {
        const std::string all = c.all.empty() ? twice(c.distinct) : c.all;
        EXPECT_EQ(reports(c.symmetry, c.tuple, 0), c.distinct) << c.symmetry;
        EXPECT_EQ(reports(c.symmetry, c.tuple, 1), all) << c.symmetry;
        EXPECT_EQ(reports(c.symmetry, c.tuple, 7), all) << c.symmetry;
    }
}

void fail_on_minus(const pointer_to_objects<int>&, permsym_plusmin sign, void*)
{
    if (sign == permsym_minus) _zem_error_("test", 0, "stop");
}

TEST(SymmetryEnumeration, FailuresPassThroughAfterTheReportsBeforeThem)
{
    perm_symmetry_type unequal{ZEM_string("(0 (1 2))")};
    std::string seen;
    const std::string swap = run_time("[permswap] |swap1| not eq. to |swap2|");
    EXPECT_EQ(failure_of([&] { unequal.for_all_symmetrical_with_do(record, tuple_of({1, 2, 3}), &seen, 0); }), swap);
    EXPECT_EQ(seen, "(1,2,3)+ (1,3,2)+");
    pointer_to_objects<int> t = tuple_of({1, 2, 3});
    EXPECT_EQ(failure_of([&] { permswap(t, tuple_of({0}), tuple_of({1, 2})); }), swap);
    EXPECT_TRUE(t == tuple_of({1, 2, 3}));

    perm_symmetry_type anti{ZEM_string("[0 1]")};
    EXPECT_EQ(failure_of([&] { anti.for_all_symmetrical_with_do(fail_on_minus, tuple_of({1, 2}), nullptr, 0); }),
              run_time("stop"));
    EXPECT_EQ(failure_of([&] { anti.n_symmetrical_with(tuple_of({1})); }),
              run_time("[perm_symmetry_type] fewer indices in the tuple than in the symmetry"));
    perm_symmetry_type faulty{ZEM_string("0 0")};
    EXPECT_EQ(failure_of([&] { faulty.n_symmetrical_with(tuple_of({1, 2})); }),
              run_time("each index should occur exactly once"));
}

// The reports of the full walk (all != 0) with every repetition of a tuple, or of
// a tuple and sign, left out.
std::string first_reports(const std::string& all, bool by_sign)
{
    std::istringstream in(all);
    std::vector<std::string> seen;
    std::string out;
    for (std::string item; in >> item;) {
        const std::string key = by_sign ? item : item.substr(0, item.size() - 1);
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        out += (out.empty() ? "" : " ") + item;
    }
    return out;
}

TEST(SymmetryEnumeration, DistinctReportsAreTheFirstOnesOfTheFullWalk)
{
    const std::vector<std::pair<const char*, std::vector<int>>> cases = {
        {"(0 1 2 3)", {1, 1, 2, 2}},         {"[0 1 2 3]", {1, 2, 2, 3}},     {"[(0 1) (2 3)]", {1, 1, 1, 1}},
        {"([0 1] [2 3]) 4", {1, 2, 2, 1, 3}}, {"[(0 1 2) (3 4 5)]", {1, 1, 2, 2, 1, 1}},
        {"((0 1) (2 3) (4 5))", {1, 2, 1, 2, 2, 1}}, {"[[0 1] [2 3]] (4 5)", {3, 3, 1, 2, 1, 2}},
        {"([0 1] (2 3))", {1, 2, 2, 1}},  // parts of unlike shape: found by closure
    };
    for (const auto& [symmetry, tuple] : cases) {
        const std::string all = reports(symmetry, tuple, 1);
        EXPECT_EQ(reports(symmetry, tuple, 0), first_reports(all, false)) << symmetry;
        const perm_symmetry_type s{ZEM_string(symmetry)};
        std::string signed_reports;
        s.for_all_signed_images_do(record, tuple_of(tuple), &signed_reports);
        EXPECT_EQ(signed_reports, first_reports(all, true)) << symmetry;
    }
}

// Tuples with repeated indices reach each image along factorially many paths; the
// walk tries a number of exchanges that grows with the images times the rank only.
TEST(SymmetryEnumeration, WorkGrowsWithTheImagesReported)
{
    for (int rank = 8; rank <= 12; rank += 2) {
        std::string text;
        std::vector<int> tuple;
        for (int k = 0; k < rank; ++k) {
            if (k > 0) text += ' ';
            text += std::to_string(k);
            tuple.push_back(k < rank / 2 ? 0 : 1);
        }
        const perm_symmetry_type s{ZEM_string(("(" + text + ")").c_str())};
        const long long before = symmetry_exchanges_tried();
        const int images = s.n_symmetrical_with(tuple_of(tuple));
        EXPECT_LE(symmetry_exchanges_tried() - before, 3LL * rank * images) << rank;
        EXPECT_EQ(images, rank == 8 ? 70 : rank == 10 ? 252 : 924);
        EXPECT_EQ(tensor_basis(2, rank, s).n_basis, rank + 1);  // one class per number of ones
    }
    // The permutations of 0 .. 7 spread over the buckets instead of a hundred of them.
    std::vector<int> permutation = {0, 1, 2, 3, 4, 5, 6, 7};
    std::set<int> buckets;
    do {
        const pointer_to_objects<int> t = tuple_of(permutation);
        buckets.insert(index_set::hash_func(&t, 1 << 20));
    } while (std::next_permutation(permutation.begin(), permutation.end()));
    EXPECT_GT(buckets.size(), 38000u);
}

}
