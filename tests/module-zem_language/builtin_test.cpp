#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "module-scalar/integer.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/symtab.h"
#include "module-zem_language/vm_support.h"
#include "support/alert_recorder.h"
#include "support/failure.h"

namespace {

ZEM_object* count_args(int n, const ZEM_object**) { return new ZEM_int(n); }
void no_action(int, const ZEM_object**) {}

TEST(BuiltinRegistry, RefusesASecondDefinitionAndCallsOfTheWrongKindOrCount)
{
    const ZEM_type types[] = {tp_string(), tp_string()};
    test_builtin func("t_func", "short", "long", count_args, name_untitled, tp_int(), 2, types);
    test_builtin proc("t_proc", "", "", no_action, 2, types);
    EXPECT_EQ(failure_of([&] { builtin_func_definition again("t_func", "", "", no_action, 0, types); }),
              run_time("[builtin_func_definition::add_to_functable] name already defined as function"));
    EXPECT_EQ(global_functions.lookup("t_func")->definition, &func.definition);
    EXPECT_EQ(global_functions.helpmsg2("t_func"), ZEM_string("long"));

    ZEM_string a("a"), b("b");
    const ZEM_object* args[] = {&a, &b};
    alert_recorder alerts;
    EXPECT_EQ(func.definition.call_func(1, args), nullptr);
    proc.definition.call_proc(3, args);
    EXPECT_EQ(alerts.alerts, (std::vector<std::string>{"call of function t_func: wrong number of arguments",
                                                       "call of procedure t_proc: wrong number of arguments"}));
    EXPECT_EQ(failure_of([&] { proc.definition.call_func(2, args); }),
              run_time("[builtin_func_definition::call_func] 't_proc' is a procedure"));
    EXPECT_EQ(failure_of([&] { func.definition.call_proc(2, args); }),
              run_time("[builtin_func_definition::call_proc] 't_func' is a function"));
}

// Assigning again frees the value it replaces; a user entry has stock help texts.
TEST(SymbolTables, AssignmentReplacesValueAndType)
{
    var_symtab vars;
    auto deletions = std::make_shared<int>(0);
    tracked first(deletions);
    vars.add("x", &first, ZEM_type("tracked", 0));
    vars.add("x", nullptr, tp_string());
    EXPECT_EQ(*deletions, 1);
    EXPECT_EQ(vars.lookup("x")->type, tp_string());
    EXPECT_EQ(vars.all_vars().n_elements(), 1);
    vars.remove("x");
    EXPECT_EQ(vars.lookup("x"), nullptr);

    func_symtab funcs;
    int data = 0;
    funcs.add("user", &data);
    EXPECT_EQ(funcs.lookup("user")->kind, 0);
    EXPECT_EQ(funcs.helpmsg1("user"), ZEM_string("Help message-1 which is never asked for"));
    EXPECT_EQ(funcs.helpmsg2("missing"), ZEM_string(""));
}

}
