#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "module-chartab/example_tables.h"
#include "module-matrix+tensor/matrix_times_tensor.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/symtab.h"
#include "support/failure.h"
#include "support/matrices.h"
#include "support/printed.h"

namespace {

const builtin_func_definition& definition(const char* name)
{
    const func_symtab::func_symtabelt* entry = global_functions.lookup(name);
    if (!entry) throw std::invalid_argument(std::string("no built-in ") + name);
    return *entry->definition;
}

std::unique_ptr<ZEM_object> call(const char* name, std::vector<const ZEM_object*> args)
{
    return std::unique_ptr<ZEM_object>(
        definition(name).call_func(static_cast<int>(args.size()), const_cast<const ZEM_object**>(args.data())));
}

std::string printed_call(const char* name, std::vector<const ZEM_object*> args) { return printed(*call(name, args)); }

std::string types_of(const builtin_func_definition& d)
{
    std::ostringstream out;
    for (int k = 0; k < d.nargs; ++k) out << (k ? " " : "") << d.arg_types[k];
    out << " -> " << d.result_type;
    return out.str();
}

TEST(BuiltinFunctions, RegisteredWithTheirSignaturesAndHelpTexts)
{
    struct row {
        const char* name;
        const char* signature;
        const char* short_help;
        const char* long_help;
    };
    const row rows[] = {
        {"exit", " -> void", "exit the program", "the procedure exit terminates the program normally"},
        {"imat_mul", "matrix<int> matrix<int> -> matrix<int>", "mulitiplication of integer matrices",
         "imat function imat_mul calculates the product of it's arguments"},
        {"cycmat_mul", "matrix<cyclotomic> matrix<cyclotomic> -> matrix<cyclotomic>",
         "mulitiplication of cycl. matrices", "cycmat function cycmat_mul calculates the product of it's arguments"},
        {"matrix_determinant", "matrix<fraction> -> fraction", "determinant of a matrix",
         "The function matrix_determinant calculates the determinant of it's argument."},
        {"word", "string -> word", "create a word",
         "The function word creates a word from a string, e.g. word(\"aaBcD\")"},
        {"cn_plus", "cyclotomic cyclotomic -> cyclotomic", "sum of cyclotomics",
         "the functions cn_plus calculates the sum of two cyclotomics"},
        {"cn_minus", "cyclotomic cyclotomic -> cyclotomic", "difference of cyclotomics",
         "the functions cn_minus calculates the difference of two cyclotomics"},
        {"cn_mul", "cyclotomic cyclotomic -> cyclotomic", "product of cyclotomics",
         "the functions cn_mul calculates the product of two cyclotomics"},
        {"cn_divide", "cyclotomic cyclotomic -> cyclotomic", "quotient of cyclotomics",
         "the functions cn_divide calculates the quotient of two cyclotomics"},
        {"chartab_row", "character_table int -> character", "extract row from char.table",
         "The function chartab_row extracts a row from a character table."},
        {"character_product", "character_table character character -> character", "product of 2 characters",
         "The product of two characters is defined as the vector which contains the products of the components "
         "of the operands."},
        {"character_add", "character_table character character -> character", "don't know", "don't know"},
        {"character_scalar_product", "character_table character character -> cyclotomic", "don't know",
         "don't know"},
        {"character_decompose", "character_table character -> linkedlist<cyclotomic>", "don't know", "don't know"},
        {"character_power", "character_table character int -> character", "don't know", "don't know"},
        {"tens_mul", "matrix<fraction> tensor<fraction> -> tensor<fraction>", "multiplication of matrix and tensor",
         "The function tens_mul calculates the product of it's arguments"},
        {"cyctens_mul", "matrix<cyclotomic> tensor<cyclotomic> -> tensor<cyclotomic>",
         "multiplication of matrix and tensor", "The function cyctens_mul calculates the product of it's arguments"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        const builtin_func_definition& d = definition(r.name);
        EXPECT_EQ(types_of(d), r.signature);
        EXPECT_STREQ(d.short_help.c_str(), r.short_help);
        EXPECT_STREQ(d.long_help.c_str(), r.long_help);
        if (!d.is_procedure()) {
            std::unique_ptr<char[]> result_name(d.name_of_result(0, nullptr));
            EXPECT_STREQ(result_name.get(), "untitled");
        }
    }
}

TEST(BuiltinFunctions, WordSpellsGeneratorsAndTheirInverses)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "word()"}, {"aaBcD", "word(aaBcD)"}, {"a1B", "word(a?B)"}, {"zZ_", "word(zZ?)"}};
    for (const auto& [spelling, expected] : cases) {
        ZEM_string s(spelling);
        EXPECT_EQ(printed_call("word", {&s}), expected) << spelling;
    }
}

TEST(BuiltinFunctions, MatrixProductsAndDeterminant)
{
    auto a = matrix_of<ZEM_int>({{1, 2, 3}, {4, 5, 6}});
    auto b = matrix_of<ZEM_int>({{1, 0}, {0, 1}, {1, 1}});
    EXPECT_EQ(printed_call("imat_mul", {&a, &b}), printed(matrix_of<ZEM_int>({{4, 5}, {10, 11}})));
    auto ba = call("imat_mul", {&b, &a});
    EXPECT_EQ(static_cast<ZEM_matrix<ZEM_int>&>(*ba).rows(), 3);
    EXPECT_EQ(static_cast<ZEM_matrix<ZEM_int>&>(*ba).columns(), 3);
    EXPECT_EQ(failure_of([&] { call("imat_mul", {&a, &a}); }), run_time("[operator * (m1, m2)] wrong size"));

    auto c = matrix_of<ZEM_cyclotomic_number>({{0, 1}, {1, 0}});
    EXPECT_EQ(printed_call("cycmat_mul", {&c, &c}), printed(matrix_of<ZEM_cyclotomic_number>({{1, 0}, {0, 1}})));

    auto one = matrix_of<ZEM_fraction>({{ZEM_fraction(-3, 4)}});
    auto square = matrix_of<ZEM_fraction>({{1, 2}, {3, 4}});
    auto wide = matrix_of<ZEM_fraction>({{1, 2, 3}, {4, 5, 6}});
    EXPECT_EQ(printed_call("matrix_determinant", {&one}), printed(ZEM_fraction(-3, 4)));
    EXPECT_EQ(printed_call("matrix_determinant", {&square}), printed(ZEM_fraction(-2)));
    EXPECT_EQ(failure_of([&] { call("matrix_determinant", {&wide}); }), run_time("determinant: rows != columns"));
}

TEST(BuiltinFunctions, CyclotomicArithmetic)
{
    ZEM_cyclotomic_number x(ZEM_fraction(3, 2)), y(2), zero;
    const std::pair<const char*, ZEM_fraction> cases[] = {
        {"cn_plus", ZEM_fraction(7, 2)}, {"cn_minus", ZEM_fraction(-1, 2)},
        {"cn_mul", ZEM_fraction(3)}, {"cn_divide", ZEM_fraction(3, 4)}};
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(printed_call(name, {&x, &y}), printed(ZEM_cyclotomic_number(expected))) << name;
    EXPECT_EQ(failure_of([&] { call("cn_divide", {&x, &zero}); }),
              run_time("[ZEM_fraction::simple_fraction] denominator == 0"));
}

TEST(BuiltinFunctions, CharacterOperations)
{
    ZEM_character_table t = make_table(quaternion_8_text());
    ZEM_int two(2), zero(0);
    auto row2 = call("chartab_row", {&t, &two});
    EXPECT_EQ(printed(*row2), printed(t.row(2)));
    EXPECT_EQ(printed_call("character_power", {&t, row2.get(), &zero}), printed(t.row(1)));
    EXPECT_EQ(printed_call("character_product", {&t, row2.get(), row2.get()}), printed(t.row(1)));
    EXPECT_EQ(printed_call("character_add", {&t, row2.get(), row2.get()}),
              printed(character_of({2, 2, 2, -2, -2})));
    EXPECT_EQ(printed_call("character_scalar_product", {&t, row2.get(), row2.get()}),
              printed(ZEM_cyclotomic_number(1)));
    ZEM_character regular = character_of({8, 0, 0, 0, 0});
    EXPECT_EQ(printed_call("character_decompose", {&t, &regular}), printed(t.decompose(regular)));
}

// Rows outside the table and characters of another length than the table's
// class count are refused with the operation's name, not answered.
TEST(BuiltinFunctions, CharacterArgumentsOutsideTheTableFail)
{
    ZEM_character_table t = make_table(cyclic_3_text());
    ZEM_int zero(0), one(1), four(4);
    ZEM_character short_chi = character_of({1, 1}), other = character_of({1, 1, 1});
    struct {
        const char* name;
        std::vector<const ZEM_object*> args;
        const char* message;
    } cases[] = {
        {"chartab_row", {&t, &zero}, "[row] row number out of range"},
        {"chartab_row", {&t, &four}, "[row] row number out of range"},
        {"character_product", {&t, &short_chi, &short_chi}, "[character_product] size(character) != columns()"},
        {"character_product", {&t, &short_chi, &other}, "[character_product] size(v1) != size(v2)"},
        {"character_add", {&t, &short_chi, &short_chi}, "[character_add] size(character) != columns()"},
        {"character_power", {&t, &short_chi, &zero}, "[character_power] size(character) != columns()"},
        {"character_power", {&t, &short_chi, &one}, "[character_product] size(v1) != size(v2)"},
        {"character_decompose", {&t, &short_chi}, "[decompose] size(character) != columns()"},
    };
    for (const auto& c : cases) EXPECT_EQ(failure_of([&] { call(c.name, c.args); }), run_time(c.message)) << c.name;
}

TEST(BuiltinFunctions, MatrixTimesTensor)
{
    using fraction_tensor = ZEM_tensor<ZEM_fraction>;
    fraction_tensor::entries entries(1);
    entries[0].indices = array_of<int>(std::vector<int>{0, 1});
    entries[0].value = ZEM_fraction(5);
    fraction_tensor t(2, 2, ZEM_string("(0 1)"), entries, nullptr);
    auto swap = matrix_of<ZEM_fraction>({{0, 1}, {1, 0}});
    auto wrong = matrix_of<ZEM_fraction>({{1, 0, 0}, {0, 1, 0}, {0, 0, 1}});
    EXPECT_EQ(printed_call("tens_mul", {&swap, &t}), printed(swap * t));
    EXPECT_EQ(failure_of([&] { call("tens_mul", {&wrong, &t}); }),
              run_time("[operator * (matrix, tensor)] incorrect number of rows and/or columns"));
}

}
