#include <cstring>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "module-tensor/tensor.h"
#include "module-zem_language/codegen.h"
#include "module-zem_language/symtab.h"
#include "support/failure.h"
#include "support/matrices.h"
#include "support/printed.h"

// Trees as the parser and the semantic pass leave them, built by hand: these
// tests run code generation on its own.
namespace {

const tPosition at{1, 1};

char* text(const char* s) { return std::strcpy(new char[std::strlen(s) + 1], s); }

tTree typed(tTree object, const ZEM_type& type)
{
    object->object.Type = new ZEM_type(type);
    object->object.Name = text("untitled");
    return object;
}

tTree number(int value) { return mnumber(at, value); }
tTree integer(int value) { return typed(minteger(at, number(value)), tp_int()); }
tTree fraction(int value) { return typed(mfr1(at, number(value)), tp_fraction()); }
tTree string(const char* s) { return typed(mstringconst(at, mstring(at, text(s))), tp_string()); }

// An objects list in source order, each cell counting the elements from it on.
tTree objects(std::initializer_list<tTree> elements)
{
    tTree list = mobj2();
    for (auto e = std::rbegin(elements); e != std::rend(elements); ++e) {
        const int count = list->objects.Count + 1;
        list = mobj1(list, *e);
        list->objects.Count = count;
    }
    return list;
}

// `tensor ( dim rank symmetry | entries )`, the entries linked from the last.
tTree tensor(int dim, int rank, const char* symmetry, std::initializer_list<tTree> entries, const ZEM_type& type)
{
    tTree values = mtenvals1();
    for (tTree entry : entries) {
        const int count = values->tensorvals.Count + 1;
        values = mtenvals2(values, entry);
        values->tensorvals.Count = count;
    }
    return typed(mtensor(at, integer(dim), integer(rank), string(symmetry), values), tp_tensor(type));
}

tTree entry(std::initializer_list<tTree> indices, tTree value) { return mtensorval(at, objects(indices), value); }

// Compiles and runs the statement, then frees its tree.
void run(tTree statement)
{
    struct release {
        tTree t;
        ~release() { ReleaseTree(t); }
    } owner{statement};
    icode_instr_list code;
    ZEM_vm machine;
    gen_i_code(statement, &code);
    machine.execute(code);
    EXPECT_EQ(machine.topOfObjectStack(), nullptr);
}

void assign(const char* name, tTree object)
{
    run(mobj_assignment(at, midentifier(at, text(name)), object));
}

std::string variable(const char* name)
{
    const var_symtab::var_symtabelt* entry = global_objects.lookup(name);
    return entry ? entry->type.text() + " " + printed(*entry->object) : "(none)";
}

}

TEST(CodeGeneration, LiteralsBecomeTheirValues)
{
    struct {
        tTree object;
        const char* value;
    } cases[] = {
        {fraction(4), "fraction 4"},
        {integer(4), "int 4"},
        {typed(mfr2(at, number(6), number(4)), tp_fraction()), "fraction 3/2"},
        {typed(mfr2(at, number(6), number(-4)), tp_fraction()), "fraction -3/2"},
        {typed(mfr2(at, number(0), number(5)), tp_fraction()), "fraction 0"},
        {typed(mfloatobj(at, mreal(at, 2.5)), tp_real()), "real 2.5"},
        {string("a b"), "string a b"},
    };
    for (const auto& c : cases) {
        assign("codegen_x", c.object);
        EXPECT_EQ(variable("codegen_x"), c.value);
    }
    global_objects.remove("codegen_x");
    EXPECT_EQ(failure_of([] { assign("codegen_x", typed(mfr2(at, number(1), number(0)), tp_fraction())); }),
              run_time("[ZEM_fraction::simple_fraction] denominator == 0"));
    EXPECT_EQ(variable("codegen_x"), "(none)");
}

TEST(CodeGeneration, PartsAndElementsComeOutInSourceOrder)
{
    assign("codegen_v", typed(mvector(at, objects({integer(1), integer(2), integer(3)})), tp_vector(tp_int())));
    EXPECT_EQ(variable("codegen_v"), "vector<int> " + printed(vector_of<ZEM_int>({1, 2, 3})));

    // The later entry of the same component wins.
    assign("codegen_t", tensor(2, 2, "0 1",
                               {entry({integer(0), integer(1)}, fraction(5)),
                                entry({integer(0), integer(1)}, fraction(7))},
                               tp_fraction()));
    const auto& t = static_cast<const ZEM_tensor<ZEM_fraction>&>(*global_objects.lookup("codegen_t")->object);
    EXPECT_EQ(printed(t.values()[1]), "7");

    const char* path = "codegen_test_file.txt";
    run(mfile_stmnt(at, integer(42), string(path)));
    std::ifstream written(path);
    std::stringstream contents;
    contents << written.rdbuf();
    EXPECT_EQ(contents.str(), "42");
    std::remove(path);
}

// A tensor literal without values, or with values of mixed types, has no
// element type to build a tensor of.
TEST(CodeGeneration, TensorWithoutOneValueTypeFails)
{
    const std::string message =
        run_time("[gen_i_code] the values of a tensor should all have one type: int, real, fraction or cyclotomic");
    EXPECT_EQ(failure_of([] { assign("codegen_bad", tensor(2, 1, "0", {}, tp_void())); }), message);
    EXPECT_EQ(failure_of([] {
                  assign("codegen_bad", tensor(2, 1, "0", {entry({integer(0)}, fraction(1)), entry({integer(1)}, integer(1))},
                                               tp_unknown()));
              }),
              message);
    EXPECT_EQ(variable("codegen_bad"), "(none)");
}

TEST(CodeGeneration, CollectorsReadTypesAndNamesInListOrder)
{
    tTree list = objects({integer(1), string("s")});
    list->obj1.objects->obj1.object->object.Name[0] = 'U';
    ZEM_type types[2];
    char* names[2];
    collect_types_from_tree(2, list, types);
    collect_names_from_tree(2, list, names);
    EXPECT_EQ(types[0], tp_int());
    EXPECT_EQ(types[1], tp_string());
    EXPECT_STREQ(names[0], "untitled");
    EXPECT_STREQ(names[1], "Untitled");
    delete[] names[0];
    delete[] names[1];
    ReleaseTree(list);
}
