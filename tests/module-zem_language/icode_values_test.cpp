#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "groups/group.h"
#include "module-chartab/example_tables.h"
#include "module-tensor/tensor.h"
#include "module-vector/vector.h"
#include "module-zem_language/icode_values.h"
#include "module-zem_language/vm_support.h"
#include "support/failure.h"
#include "support/printed.h"

namespace {

using cyclotomic_testing::root_of_unity;

// Vectors, matrices and groups take the first written from the top; sizes must be positive.
TEST(ListLiterals, TakeTheFirstWrittenFromTheTop)
{
    auto* row = new ZEM_vector<ZEM_int>(array_of<ZEM_int>(std::vector<int>{1, 2}));
    popped_value m = run_on({row->copy_object(), run_on({num(3)}, new icode_vector<ZEM_int>(1)).release(), row},
                            new icode_matrix<ZEM_int>(3));
    EXPECT_EQ(printed(*m), "matrix<int>(\n1   2\n3   0\n1   2\n)\n");
    ZEM_object* rotation = new ZEM_matrix<ZEM_int>(2, 2, array_of<ZEM_int>(std::vector<int>{0, -1, 1, 0}));
    ZEM_object* reflection = new ZEM_matrix<ZEM_int>(2, 2, array_of<ZEM_int>(std::vector<int>{1, 0, 0, -1}));
    const std::string expected = "group(\ngenerator 0:\n" + printed(*rotation) + "\ngenerator 1:\n"
                                 + printed(*reflection) + "\n)\n";
    EXPECT_EQ(printed(*run_on({rotation, reflection}, new icode_group<ZEM_matrix<ZEM_int>>(2))), expected);

    EXPECT_EQ(failure_of([] { run_on({}, new icode_vector<ZEM_int>(-1)); }),
              run_time("icode_vector::execute] vecsize <= 0"));
    EXPECT_EQ(failure_of([] { run_on({}, new icode_matrix<ZEM_int>(0)); }),
              run_time("[icode_matrix::execute] nrows <= 0"));
    EXPECT_EQ(failure_of([] { run_on({num(1), frac(1)}, new icode_vector<ZEM_int>(2)); }),
              run_time("[icode_vector::execute] an element is not of the vector's type"));
}

struct tensor_entry {
    std::vector<int> indices;
    int value;
};

// A tensor literal of fractions: its stack and its instruction, which learns
// how many indices each entry has.
popped_value run_tensor(int dim, int rank, const char* symmetry, const std::vector<tensor_entry>& entries)
{
    std::vector<ZEM_object*> stack{num(dim), num(rank), str(symmetry)};
    pointer_to_objects<int> written(static_cast<int>(entries.size()));
    for (std::size_t k = 0; k < entries.size(); ++k) {
        for (int index : entries[k].indices) stack.push_back(num(index));
        stack.push_back(frac(entries[k].value));
        written[static_cast<int>(k)] = static_cast<int>(entries[k].indices.size());
    }
    return run_on(stack, new icode_tensor<ZEM_fraction>(written.count(), written));
}

TEST(TensorLiterals, SpreadEachEntryBySymmetryAndTheLaterEntryWins)
{
    for (const char* symmetry : {"(0 1)", "[0 1]"}) {
        popped_value t = run_tensor(3, 2, symmetry, {{{0, 1}, 5}, {{1, 0}, 7}});
        std::vector<int> numerators;
        for (const ZEM_fraction& v : dynamic_cast<const ZEM_tensor<ZEM_fraction>&>(*t).values())
            numerators.push_back(v.numerator());
        const int xy = symmetry[0] == '(' ? 7 : -7;
        EXPECT_EQ(numerators, (std::vector<int>{0, xy, 0, 7, 0, 0, 0, 0, 0})) << symmetry;
    }
}

TEST(TensorLiterals, RefuseWhatHasNoSoundTensorBeforeReadingEntriesOutOfStep)
{
    struct {
        int dim, rank;
        const char* symmetry;
        std::vector<tensor_entry> entries;
        const char* message;
    } cases[] = {
        {3, 2, "0 1", {{{0, 1, 2}, 5}, {{0, 1}, 5}}, "[icode_tensor::execute] entry 1 has 3 indices for rank 2"},
        {3, 2, "0 1", {{{0}, 5}}, "[icode_tensor::execute] entry 1 has 1 indices for rank 2"},
        {3, 2, "0 1", {{{0, 3}, 5}}, "[icode_tensor::execute] tensor index out of bounds"},
        {3, 2, "0 1", {{{-1, 0}, 5}}, "[icode_tensor::execute] tensor index out of bounds"},
        {0, 1, "0", {}, "[icode_tensor::execute] dimension below 1"},
        {3, 0, "", {}, "[icode_tensor::execute] rank below 1"},
        {3, 2, "0", {}, "[icode_tensor::execute] the symmetry names 1 indices for rank 2"},
        {3, 1, "0 1", {}, "[icode_tensor::execute] the symmetry names 2 indices for rank 1"},
        {3, 2, "0 0", {}, "each index should occur exactly once"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(failure_of([&] { run_tensor(c.dim, c.rank, c.symmetry, c.entries); }), run_time(c.message))
            << c.message;
}

struct term {
    ZEM_fraction factor;
    int numerator, denominator;
};

ZEM_cyclotomic_number cyclotomic_literal(const std::vector<term>& terms)
{
    std::vector<ZEM_object*> stack;
    for (const term& t : terms) stack.push_back(new ZEM_fraction(t.factor));
    for (const term& t : terms) stack.push_back(num(t.numerator));
    for (const term& t : terms) stack.push_back(num(t.denominator));
    popped_value value = run_on(stack, new icode_cyclotomic(static_cast<int>(terms.size())));
    return dynamic_cast<const ZEM_cyclotomic_number&>(*value);
}

TEST(CyclotomicLiterals, SumTheTermsInAnyOrder)
{
    struct {
        std::vector<term> terms;
        ZEM_cyclotomic_number value;
    } cases[] = {
        {{{1, -1, 3}}, root_of_unity(2, 3)},
        {{{1, 1, 4}, {1, -1, 4}}, 0},
        {{{2, 1, 3}, {1, 1, 4}}, cyclotomic_literal({{1, 1, 4}, {2, 1, 3}})},
    };
    for (const auto& c : cases) EXPECT_TRUE(cyclotomic_literal(c.terms) == c.value) << printed(c.value);
    EXPECT_EQ(failure_of([] { cyclotomic_literal({{1, 1, 0}}); }),
              run_time("[ZEM_cyclotomic_number] denominator == 0"));
}

// The stack of a character-table literal and its instruction with the counts as written.
popped_value run_chartab(const table_text& t, int entries_per_row)
{
    std::vector<ZEM_object*> stack;
    for (const char* name : t.names) stack.push_back(str(name));
    for (int size : t.sizes) stack.push_back(num(size));
    for (int order : t.orders) stack.push_back(num(order));
    int n_entries = 0;
    for (const auto& row : t.rows)
        for (const ZEM_cyclotomic_number& x : row) {
            stack.push_back(new ZEM_cyclotomic_number(x));
            ++n_entries;
        }
    for (const auto& map : t.powers) {
        stack.push_back(run_on({}, new icode_chartab_pow(static_cast<int>(map.size()))).release());
        for (int c : map) stack.push_back(num(c));
    }
    for (const ZEM_cyclotomic_number& x : t.determinant) stack.push_back(new ZEM_cyclotomic_number(x));
    for (const ZEM_cyclotomic_number& x : t.vector) stack.push_back(new ZEM_cyclotomic_number(x));
    const int n = static_cast<int>(t.orders.size());
    const chartab_part_counts written{static_cast<int>(t.names.size()), static_cast<int>(t.sizes.size()),
                                      n, n_entries, static_cast<int>(t.powers.size()),
                                      static_cast<int>(t.determinant.size()), static_cast<int>(t.vector.size())};
    return run_on(stack, new icode_chartab(n, n_entries / entries_per_row, written));
}

TEST(CharacterTableLiterals, BuildTheTableAsWritten)
{
    const table_text tall{{"a", "b"}, {1, 1}, {1, 2}, {{1, 1}, {1, -1}, {2, 0}}, {{1}, {2, 1, 2, 1}}, {1, 1}, {1, 1}};
    for (const table_text& t : {quaternion_8_text(), tall})
        EXPECT_EQ(printed(*run_chartab(t, static_cast<int>(t.orders.size()))), printed(make_table(t)));
}

TEST(CharacterTableLiterals, RefusePartsThatDoNotFitBeforeBuilding)
{
    struct {
        void (*change)(table_text&);
        const char* message;
    } cases[] = {
        {[](table_text& t) { t.names.pop_back(); }, "class names: 2 given for 3 classes"},
        {[](table_text& t) { t.sizes.push_back(1); }, "class sizes: 4 given for 3 classes"},
        {[](table_text& t) { t.powers.pop_back(); }, "power maps: 2 given for 3 classes"},
        {[](table_text& t) { t.determinant.pop_back(); }, "determinant character: 2 given for 3 classes"},
        {[](table_text& t) { t.vector.push_back(0); }, "vector character: 4 given for 3 classes"},
        {[](table_text& t) { t.rows = {{1, 1, 1}, {1, 1}}; }, "entries: 5 given for 3 classes and 1 rows"},
        {[](table_text& t) { t.powers[1][1] = 4; }, "power-map value outside 1 .. number of classes"},
        {[](table_text& t) { t.powers[0][0] = 0; }, "power-map value outside 1 .. number of classes"},
        {[](table_text& t) { t.sizes[1] = 0; }, "class size below 1"},
        {[](table_text& t) { t.orders[2] = -3; }, "element order below 1"},
    };
    for (const auto& c : cases) {
        table_text t = cyclic_3_text();
        c.change(t);
        EXPECT_EQ(failure_of([&] { run_chartab(t, 3); }), run_time(std::string("[icode_chartab::execute] ") + c.message))
            << c.message;
    }
}

}
