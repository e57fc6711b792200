#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "module-matrix/matrix.h"
#include "module-scalar/integer.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/symtab.h"
#include "module-zem_language/vm_support.h"
#include "support/alert_recorder.h"
#include "support/failure.h"

namespace {

// The arguments that reached a test built-in, in order.
std::vector<std::string> received;

ZEM_object* record_args(int n, const ZEM_object** args)
{
    received.clear();
    for (int k = 0; k < n; ++k) received.push_back(static_cast<const ZEM_string*>(args[k])->c_str());
    return new ZEM_int(n);
}

void record_proc(int n, const ZEM_object** args) { delete record_args(n, args); }

TEST(BuiltinRegistry, RegistersOnceAndRefusesASecondDefinitionOfTheName)
{
    const ZEM_type types[] = {tp_string()};
    test_builtin first("t_twice", "short", "long", record_args, name_untitled, tp_int(), 1, types);
    EXPECT_EQ(failure_of([&] { builtin_func_definition again("t_twice", "", "", record_proc, 0, types); }),
              run_time("[builtin_func_definition::add_to_functable] name already defined as function"));
    const func_symtab::func_symtabelt* entry = global_functions.lookup("t_twice");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->kind, 1);
    EXPECT_EQ(entry->definition, &first.definition);
    EXPECT_EQ(global_functions.helpmsg1("t_twice"), ZEM_string("short"));
    EXPECT_EQ(global_functions.helpmsg2("t_twice"), ZEM_string("long"));
    EXPECT_TRUE(global_functions.all_funcs().is_elt("t_twice"));
}

TEST(BuiltinRegistry, ChecksArgumentCountAndTypes)
{
    const ZEM_type types[] = {tp_int(), tp_matrix(tp_int()), tp_string()};
    test_builtin three("t_three", "", "", record_args, name_untitled, tp_int(), 3, types);
    test_builtin none("t_none", "", "", record_proc, 0, types);
    struct {
        const builtin_func_definition& definition;
        std::vector<ZEM_type> written;
        int result;
        std::vector<int> flags;
    } cases[] = {
        {three.definition, {tp_int(), tp_matrix(tp_int()), tp_string()}, 0, {0, 0, 0}},
        {three.definition, {tp_int(), tp_matrix(tp_fraction()), tp_string()}, 1, {0, 1, 0}},
        {three.definition, {tp_string(), tp_int(), tp_int()}, 3, {1, 1, 1}},
        {three.definition, {tp_int(), tp_matrix(tp_int())}, -1, {0, 0, 0}},
        {none.definition, {}, 0, {0, 0, 0}},
        {none.definition, {tp_int()}, -1, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        pointer_to_objects<ZEM_type> written(static_cast<int>(c.written.size()));
        for (int k = 0; k < written.count(); ++k) written[k] = c.written[k];
        std::vector<int> flags(3, 0);
        EXPECT_EQ(c.definition.check_arg_types(written.count(), written, flags.data()), c.result);
        EXPECT_EQ(flags, c.flags);
    }
}

TEST(BuiltinRegistry, CallsPassArgumentsInOrderAndAWrongCountOnlyAlerts)
{
    const ZEM_type types[] = {tp_string(), tp_string()};
    test_builtin func("t_func", "", "", record_args, name_untitled, tp_int(), 2, types);
    test_builtin proc("t_proc", "", "", record_proc, 2, types);
    ZEM_string a("a"), b("b");
    const ZEM_object* args[] = {&a, &b};

    alert_recorder alerts;
    std::unique_ptr<ZEM_object> result(func.definition.call_func(2, args));
    EXPECT_EQ(static_cast<ZEM_int&>(*result).value(), 2);
    EXPECT_EQ(received, (std::vector<std::string>{"a", "b"}));
    received.clear();
    EXPECT_EQ(func.definition.call_func(1, args), nullptr);
    proc.definition.call_proc(3, args);
    EXPECT_TRUE(received.empty());
    EXPECT_EQ(alerts.alerts, (std::vector<std::string>{"call of function t_func: wrong number of arguments",
                                                       "call of procedure t_proc: wrong number of arguments"}));

    std::unique_ptr<char[]> first(name_untitled(0, nullptr)), second(func.definition.name_of_result(0, nullptr));
    EXPECT_STREQ(first.get(), "untitled");
    EXPECT_STREQ(second.get(), "untitled");
    EXPECT_NE(first.get(), second.get());
    EXPECT_TRUE(proc.definition.is_procedure());
    EXPECT_EQ(proc.definition.result_type, tp_void());
    EXPECT_EQ(failure_of([&] { proc.definition.call_func(2, args); }),
              run_time("[builtin_func_definition::call_func] 't_proc' is a procedure"));
    EXPECT_EQ(failure_of([&] { func.definition.call_proc(2, args); }),
              run_time("[builtin_func_definition::call_proc] 't_func' is a function"));
}

TEST(SymbolTables, AreMadeOnFirstUseAndAssignmentReplacesValueAndType)
{
    var_symtab vars;
    EXPECT_EQ(vars.lookup("x"), nullptr);
    EXPECT_EQ(vars.is_in_table("x"), 0);
    EXPECT_EQ(vars.all_vars().n_elements(), 0);

    auto deletions = std::make_shared<int>(0);
    tracked first(deletions);
    vars.add("x", &first, ZEM_type("tracked", 0));
    vars.add("x", nullptr, tp_string());
    EXPECT_EQ(*deletions, 1);
    const var_symtab::var_symtabelt* x = vars.lookup("x");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->object, nullptr);
    EXPECT_EQ(x->type, tp_string());
    EXPECT_EQ(vars.all_vars().n_elements(), 1);
    vars.remove("y");
    vars.remove("x");
    EXPECT_EQ(vars.lookup("x"), nullptr);

    func_symtab funcs;
    EXPECT_EQ(funcs.all_funcs().n_elements(), 0);
    int data = 0;
    funcs.add("user", &data);
    EXPECT_EQ(funcs.lookup("user")->kind, 0);
    EXPECT_EQ(funcs.helpmsg1("user"), ZEM_string("Help message-1 which is never asked for"));
    EXPECT_EQ(funcs.helpmsg2("user"), ZEM_string("Help message-2 which is never asked for"));
    EXPECT_EQ(funcs.helpmsg1("missing"), ZEM_string(""));
    EXPECT_EQ(funcs.helpmsg2("missing"), ZEM_string(""));
}

}
