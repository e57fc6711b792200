#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "module-chartab/example_tables.h"
#include "module-matrix/matrix_arithmetic.h"
#include "module-tensor/tensor.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/symtab.h"
#include "support/failure.h"
#include "support/matrices.h"
#include "support/printed.h"

namespace {

const builtin_func_definition& definition(const char* name)
{
    return *global_functions.lookup(name)->definition;
}

std::unique_ptr<ZEM_object> call(const char* name, std::vector<const ZEM_object*> args)
{
    return std::unique_ptr<ZEM_object>(
        definition(name).call_func(static_cast<int>(args.size()), const_cast<const ZEM_object**>(args.data())));
}

void no_action(int, const ZEM_object**) {}

// A second definition, a call of the wrong kind and the help of an unknown name
// are refused or empty rather than reaching a missing routine or entry.
TEST(BuiltinFunctions, ASecondDefinitionOfANameIsRefused)
{
    EXPECT_EQ(failure_of([] { builtin_func_definition again("word", "", "", no_action, 0, nullptr); }),
              run_time("[builtin_func_definition::add_to_functable] name already defined as function"));
    EXPECT_EQ(failure_of([] { definition("exit").call_func(0, nullptr); }),
              run_time("[builtin_func_definition::call_func] 'exit' is a procedure"));
    EXPECT_EQ(failure_of([] { definition("cn_plus").call_proc(0, nullptr); }),
              run_time("[builtin_func_definition::call_proc] 'cn_plus' is a function"));
    EXPECT_STREQ(global_functions.helpmsg1("no_such_builtin").c_str(), "");
    EXPECT_STREQ(global_functions.helpmsg2("no_such_builtin").c_str(), "");
}

// Each built-in hands its arguments, in order, to the operation it binds; the
// operations' failures pass unchanged, and rows outside the table and characters
// of another length than the table's class count are refused too. The arguments
// and the result have the types the checks of calls expect.
TEST(BuiltinFunctions, ComputeWithTheirArgumentsInOrderOrFailWithTheirOperationsMessages)
{
    ZEM_string odd("a1B_");
    auto a = matrix_of<ZEM_int>({{1, 2, 3}, {4, 5, 6}});
    auto b = matrix_of<ZEM_int>({{1, 0}, {0, 1}, {1, 1}});
    auto c = matrix_of<ZEM_cyclotomic_number>({{0, 2}, {1, 0}});
    auto square = matrix_of<ZEM_fraction>({{1, 2}, {3, 4}});
    auto three = matrix_of<ZEM_cyclotomic_number>({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    ZEM_tensor<ZEM_cyclotomic_number> tensor(2, 1, ZEM_string("0"), {}, nullptr);
    ZEM_cyclotomic_number x(ZEM_fraction(3, 2)), y(2), zero;
    ZEM_character_table t = make_table(quaternion_8_text());
    ZEM_character chi = t.row(2), regular = character_of({8, 0, 0, 0, 0});
    ZEM_character short_chi = character_of({1, 1}), other = character_of({1, 1, 1});
    ZEM_int n0(0), n1(1), n6(6);
    auto cyclotomic = [](ZEM_fraction f) { return printed(ZEM_cyclotomic_number(f)); };
    struct {
        const char* name;
        std::vector<const ZEM_object*> args;
        std::string value;
    } cases[] = {
        {"word", {&odd}, "word(a?B?)"},
        {"imat_mul", {&a, &b}, printed(matrix_of<ZEM_int>({{4, 5}, {10, 11}}))},
        {"cycmat_mul", {&c, &c}, printed(matrix_of<ZEM_cyclotomic_number>({{2, 0}, {0, 2}}))},
        {"matrix_determinant", {&square}, "-2"},
        {"cn_plus", {&x, &y}, cyclotomic(ZEM_fraction(7, 2))},
        {"cn_minus", {&x, &y}, cyclotomic(ZEM_fraction(-1, 2))},
        {"cn_mul", {&x, &y}, cyclotomic(ZEM_fraction(3))},
        {"cn_divide", {&x, &y}, cyclotomic(ZEM_fraction(3, 4))},
        {"character_product", {&t, &chi, &chi}, printed(t.row(1))},
        {"character_add", {&t, &chi, &chi}, printed(character_of({2, 2, 2, -2, -2}))},
        {"character_scalar_product", {&t, &chi, &chi}, cyclotomic(ZEM_fraction(1))},
        {"character_decompose", {&t, &regular}, printed(t.decompose(regular))},
        {"cn_divide", {&x, &zero}, run_time("[ZEM_fraction::simple_fraction] denominator == 0")},
        {"cyctens_mul", {&three, &tensor},
         run_time("[operator * (matrix, tensor)] incorrect number of rows and/or columns")},
        {"chartab_row", {&t, &n0}, run_time("[row] row number out of range")},
        {"chartab_row", {&t, &n6}, run_time("[row] row number out of range")},
        {"character_product", {&t, &short_chi, &short_chi},
         run_time("[character_product] size(character) != columns()")},
        {"character_product", {&t, &short_chi, &other}, run_time("[character_product] size(v1) != size(v2)")},
        {"character_add", {&t, &short_chi, &short_chi}, run_time("[character_add] size(character) != columns()")},
        {"character_power", {&t, &short_chi, &n0}, run_time("[character_power] size(character) != columns()")},
        {"character_power", {&t, &short_chi, &n1}, run_time("[character_product] size(v1) != size(v2)")},
        {"character_decompose", {&t, &short_chi}, run_time("[decompose] size(character) != columns()")},
    };
    for (const auto& c : cases) {
        const builtin_func_definition& d = definition(c.name);
        ASSERT_EQ(d.nargs, static_cast<int>(c.args.size())) << c.name;
        for (int k = 0; k < d.nargs; ++k) EXPECT_EQ(c.args[k]->type(), d.arg_types[k]) << c.name << k;
        std::unique_ptr<ZEM_object> result;
        const std::string failure = failure_of([&] { result = call(c.name, c.args); });
        EXPECT_EQ(result ? printed(*result) : failure, c.value) << c.name;
        EXPECT_EQ(result ? result->type() : d.result_type, d.result_type) << c.name;
    }
}

}
