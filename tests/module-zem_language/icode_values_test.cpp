#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "module-chartab/example_tables.h"
#include "module-object/string.h"
#include "module-scalar/integer.h"
#include "module-zem_language/icode.h"
#include "module-zem_language/icode_values.h"
#include "support/failure.h"
#include "support/printed.h"

namespace {

// Literal values as code generation pushes them: #3 and "a".
ZEM_object* num(int v) { return new ZEM_int(v); }
ZEM_object* str(const char* text) { return new ZEM_string(text); }

// Puts `top_first` on a fresh machine (the first given on top), runs `instr`
// and returns what it left; nothing else may be left on the stack.
popped_value run_on(const std::vector<ZEM_object*>& top_first, icode_instr* instr)
{
    const std::unique_ptr<icode_instr> owned(instr);
    ZEM_vm vm;
    for (auto value = top_first.end(); value != top_first.begin();) vm.pushObjectStack(*--value);
    instr->execute(vm);
    popped_value result(vm.topOfObjectStack() ? vm.popObjectStack() : nullptr);
    EXPECT_EQ(vm.topOfObjectStack(), nullptr) << "values left on the stack";
    return result;
}

// A count below one fails with the literal's own message.
TEST(ListLiterals, RefuseCountsBelowOne)
{
    EXPECT_EQ(failure_of([] { run_on({}, new icode_vector<ZEM_int>(-1)); }),
              run_time("icode_vector::execute] vecsize <= 0"));
    EXPECT_EQ(failure_of([] { run_on({}, new icode_matrix<ZEM_int>(0)); }),
              run_time("[icode_matrix::execute] nrows <= 0"));
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
