#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module-matrix/matrix.h"
#include "module-scalar/fraction.h"
#include "module-vector/vector.h"
#include "module-zem_language/semantics.h"
#include "module-zem_language/symtab.h"
#include "module-zem_language/vm_support.h"
#include "support/alert_recorder.h"
#include "support/failure.h"

namespace {

// Statement trees as the parser builds them; every node at line 1, column 1
// unless a test needs to tell places apart.
constexpr tPosition here = {1, 1};

char* text(const char* s) { return std::strcpy(new char[std::strlen(s) + 1], s); }
tTree id(const char* name, tPosition at = here) { return midentifier(at, text(name)); }
tTree list(std::initializer_list<tTree> elements)
{
    tTree l = mobj2();
    for (tTree e : elements) l = mobj1(l, e);
    return ReverseTree(l);
}
tTree fr(int v) { return mfr1(here, mnumber(here, v)); }
tTree inum(int v) { return minteger(here, mnumber(here, v)); }
tTree st(const char* s) { return mstringconst(here, mstring(here, text(s))); }
tTree var(const char* name) { return mobj_id(here, id(name)); }
tTree vec(std::initializer_list<tTree> elements) { return mvector(here, list(elements)); }
tTree mat(std::initializer_list<tTree> rows) { return mmatrix(here, list(rows)); }
tTree call(const char* name, std::initializer_list<tTree> args, tPosition at = here)
{
    return mfunction_call(at, id(name, at), list(args));
}
tTree assign(tTree value) { return mobj_assignment(here, id("v"), value); }
tTree proc(const char* name, std::initializer_list<tTree> args)
{
    return mprocedure_call_stmnt(here, id(name, {1, 3}), list(args));
}
tTree power_maps(std::initializer_list<tTree> maps)
{
    tTree l = mchartab_pow2();
    for (tTree m : maps) l = mchartab_pow1(l, m);
    return ReverseTree(l);
}
// A tensor value list holds its entries last written first.
tTree entries(std::initializer_list<tTree> written)
{
    tTree l = mtenvals1();
    for (tTree e : written) l = mtenvals2(l, e);
    return l;
}

std::string error_line(const std::string& message, tPosition at = here)
{
    return std::to_string(at.Line) + "," + std::to_string(at.Column) + ": Error       " + message + "\n";
}

struct checked {
    std::vector<std::string> alerts;
    int errors;
    std::string type;  // of the assigned value
    std::string name;
};

struct tree_release {
    void operator()(tTree t) const { ReleaseTree(t); }
};

// Checks the statement and frees it, also when the check fails.
checked check(tTree statement)
{
    const std::unique_ptr<Tree_Node, tree_release> owned(statement);
    alert_recorder recorder;
    BeginSemantics();
    Semantics(statement);
    CloseSemantics();
    checked result{recorder.alerts, semantic_errors, "", ""};
    if (statement->Kind == kobj_assignment) {
        tTree value = statement->obj_assignment.object;
        result.type = value->object.Type ? value->object.Type->text() : "(none)";
        result.name = value->object.Name ? value->object.Name : "(none)";
    }
    return result;
}

ZEM_object* first_argument(int, const ZEM_object** args) { return args[0]->copy_object(); }
void no_action(int, const ZEM_object**) { }
char* name_first(int, const char** names) { return text(names[0]); }

const ZEM_type one_fraction_matrix[] = {tp_matrix(tp_fraction())};

}

// Each rule's message, in the order the visits produce them, each counted,
// with the attributes the node keeps.
TEST(Semantics, MessagesOfTheTypeRules)
{
    const std::string vector_msg
        = "Objects in the definition of a vector should be of type int, fraction, real or cyclotomic";
    const std::string matrix_msg = "illegal type in row of matrix definition";
    struct Case {
        const char* what;
        tTree value;
        std::vector<std::string> messages;
        std::string type;
    };
    const std::vector<Case> cases = {
        {"string list", mstring_list(here, list({st("a"), st("b")})), {}, "linkedlist<string>"},
        {"string list of a number", mstring_list(here, list({st("a"), fr(1)})),
            {"Objects in the definition of a string_list should be of type string"}, "linkedlist<string>"},
        {"literals", vec({mfr2(here, mnumber(here, 1), mnumber(here, 2)), fr(3)}), {}, "vector<fraction>"},
        {"real", mfloatobj(here, mreal(here, 0.5)), {}, "real"},
        {"empty vector", vec({}), {vector_msg}, "vector<void>"},
        {"mixed vector", vec({inum(1), fr(2)}), {vector_msg}, "vector<unknown>"},
        {"vector of strings", vec({st("a")}), {vector_msg}, "vector<string>"},
        {"fraction matrix of rows of two lengths", mat({vec({fr(1)}), vec({fr(1), fr(2)})}), {}, "matrix<fraction>"},
        {"int matrix", mat({vec({inum(1)})}), {}, "matrix<int>"},
        {"rows of two types", mat({vec({inum(1)}), vec({fr(1)})}), {matrix_msg}, "error"},
        {"undefined variable in a row", mat({vec({var("nowhere")})}),
            {"variable 'nowhere' not defined", vector_msg, matrix_msg}, "error"},
        {"undefined function in a vector", vec({call("no_such_function", {})}),
            {"function 'no_such_function' not defined", vector_msg}, "vector<error>"},
        {"int matrix group of fractions", mimgroup(here, list({mat({vec({fr(1)})})})),
            {"`matrix<int>' expected as type for elements of int. matrix group"}, "group<matrix<int>>"},
        {"matrix group of ints", mmgroup(here, list({mat({vec({inum(1)})})})),
            {"`matrix<fraction>' expected as type for elements of matrix group"}, "group<matrix<fraction>>"},
        {"representation group of ints", mreprgroup(here, list({mat({vec({inum(1)})})})),
            {"`matrix<cyclotomic>' expected as type for elements of representation group"}, "group<matrix<int>>"},
        {"cyclotomic", mcyclotomic(here, list({fr(1)}), list({inum(1)}), list({inum(2)})), {}, "cyclotomic"},
        {"cyclotomic of three numerators for two factors",
            mcyclotomic(here, list({fr(1), fr(2)}), list({inum(1), inum(2), fr(3)}), list({inum(1), inum(2)})),
            {"number sequences in the definition of a cyclotomic should be of equal length",
                "numerators of exponents in the definition of a cyclotomic should be of type int"},
            "cyclotomic"},
        {"cyclotomic of wrong factors and denominators",
            mcyclotomic(here, list({inum(1)}), list({inum(1)}), list({fr(1)})),
            {"factors in the definition of a cyclotomic should be of type fraction",
                "denominators of exponents in the definition of a cyclotomic should be of type int"},
            "cyclotomic"},
        {"character table with every part wrong",
            mchartab(here, list({fr(1)}), list({st("1")}), list({st("1")}), list({inum(1)}),
                power_maps({mchartab_pow(here, list({})), mchartab_pow(here, list({fr(1)}))}), list({}), list({})),
            {"Entries in the definition of the vector representation part of a character table should be of type "
             "cyclotomic",
                "Powers in the definition of a character table should be of type int",
                "Powers in the definition of a character table should be of type int",
                "conj. classes in the definition of a character table should be of type string",
                "conj. class size in the definition of character table should be of type int",
                "orders in the definition of a chararcter table should be of type int",
                "Entries in the definition of a character table should be of type cyclotomic",
                "Entries in the definition of the determinant representation part of a character table should be of "
                "type "
                "cyclotomic"},
            "character_table"},
        {"tensor", mtensor(here, inum(3), inum(1), st(""), entries({mtensorval(here, list({inum(1)}), fr(1))})), {},
            "tensor<fraction>"},
        {"tensor with wrong parts and an entry without indices",
            mtensor(here, st("3"), fr(2), inum(1), entries({mtensorval(here, list({}), fr(1))})),
            {"permutation should have type string", "at least one index required", "indices should all have type int",
                "Dimension should have type int", "rank should have type int"},
            "tensor<fraction>"},
        {"tensor of mixed values",
            mtensor(here, inum(3), inum(1), st(""),
                entries({mtensorval(here, list({inum(1)}), fr(1)), mtensorval(here, list({inum(2)}), inum(1))})),
            {}, "tensor<unknown>"},
        {"tensor without entries", mtensor(here, inum(3), inum(1), st(""), entries({})), {}, "tensor<void>"},
    };
    for (const Case& c : cases) {
        checked result = check(assign(c.value));
        std::vector<std::string> expected;
        for (const std::string& m : c.messages) expected.push_back(error_line(m));
        EXPECT_EQ(result.alerts, expected) << c.what;
        EXPECT_EQ(result.errors, static_cast<int>(c.messages.size())) << c.what;
        EXPECT_EQ(result.type, c.type) << c.what;
    }
}

// The power maps are checked from the last written to the first.
TEST(Semantics, PowerMapsAreCheckedLastFirst)
{
    tTree table = mchartab(here, list({st("1a")}), list({inum(1)}), list({inum(1)}), list({}),
        power_maps({mchartab_pow({2, 1}, list({fr(1)})), mchartab_pow({3, 1}, list({fr(1)}))}), list({}), list({}));
    std::vector<std::string> alerts = check(assign(table)).alerts;
    ASSERT_EQ(alerts.size(), 5U);
    EXPECT_EQ(alerts[1], error_line("Powers in the definition of a character table should be of type int", {3, 1}));
    EXPECT_EQ(alerts[2], error_line("Powers in the definition of a character table should be of type int", {2, 1}));
}

TEST(Semantics, CallsOfBuiltinsAreCheckedForCountTypesAndKind)
{
    test_builtin function(
        "t_sem_first", "", "", first_argument, name_first, tp_matrix(tp_fraction()), 1, one_fraction_matrix);
    test_builtin procedure("t_sem_proc", "", "", no_action, 1, one_fraction_matrix);
    const tPosition at = {2, 9};
    tTree fraction_matrix = mat({vec({fr(1)})});

    // The built-in names its result after its argument, here a variable.
    global_objects.add("t_sem_m", nullptr, tp_matrix(tp_fraction()));
    checked named = check(assign(call("t_sem_first", {var("t_sem_m")}, at)));
    global_objects.remove("t_sem_m");
    EXPECT_EQ(named.alerts, std::vector<std::string>{});
    EXPECT_EQ(named.type, "matrix<fraction>");
    EXPECT_EQ(named.name, "t_sem_m");

    struct Case {
        tTree statement;
        std::string message;
        tPosition at;
    };
    const std::vector<Case> cases = {
        {assign(call("t_sem_first", {mat({vec({fr(1)})}), fr(2)}, at)),
            "function 't_sem_first': wrong number of arguments", at},
        {assign(call("t_sem_first", {mat({vec({inum(1)})})}, at)), "function 't_sem_first': wrong argument types", at},
        {assign(call("t_sem_proc", {mat({vec({fr(1)})})}, at)), "function 't_sem_proc': procedure used as function",
            at},
        {proc("t_sem_first", {mat({vec({fr(1)})})}), "procedure 't_sem_first': function used as procedure", {1, 3}},
        {proc("t_sem_proc", {}), "procedure 't_sem_proc': wrong number of arguments", {1, 3}},
        {proc("t_sem_proc", {fr(1)}), "procedure 't_sem_proc': wrong argument types", {1, 3}},
        {proc("no_such_procedure", {}), "procedure 'no_such_procedure' not defined", {1, 3}},
        {proc("t_sem_proc", {CopyTree(fraction_matrix)}), "", {}},
    };
    for (const Case& c : cases) {
        bool is_call = c.statement->Kind == kobj_assignment;
        checked result = check(c.statement);
        EXPECT_EQ(
            result.alerts, c.message.empty() ? std::vector<std::string>{} : std::vector{error_line(c.message, c.at)});
        EXPECT_EQ(result.errors, c.message.empty() ? 0 : 1) << c.message;
        if (is_call) {
            EXPECT_EQ(result.type, "error") << c.message;
            EXPECT_EQ(result.name, "** error **") << c.message;
        }
    }
    ReleaseTree(fraction_matrix);

    int user_data = 0;
    global_functions.add("t_sem_user", &user_data);
    EXPECT_EQ(failure_of([] { check(assign(call("t_sem_user", {}))); }),
        run_time("user defined functions not implemented (yet)"));
    global_functions.remove("t_sem_user");
}

// The pass sees each variable as the statements run so far left it.
TEST(Semantics, VariablesHaveTheTypeOfTheirLastAssignment)
{
    EXPECT_EQ(check(assign(var("t_sem_x"))).alerts, std::vector{error_line("variable 't_sem_x' not defined")});
    ZEM_fraction half(1, 2);
    global_objects.add("t_sem_x", &half, tp_fraction());
    checked first = check(assign(var("t_sem_x")));
    global_objects.add("t_sem_x", nullptr, tp_vector(tp_fraction()));
    checked second = check(assign(var("t_sem_x")));
    global_objects.remove("t_sem_x");
    EXPECT_EQ(first.errors + second.errors, 0);
    EXPECT_EQ(first.type, "fraction");
    EXPECT_EQ(second.type, "vector<fraction>");
    EXPECT_EQ(second.name, "t_sem_x");
}

// A long object list is checked in a loop; its head counts every element.
TEST(Semantics, LongListsAreCountedWithoutRecursion)
{
    tTree l = mobj2();
    for (int k = 0; k < 300000; ++k) l = mobj1(l, inum(k));
    tTree v = mvector(here, ReverseTree(l));
    tTree statement = assign(v);
    BeginSemantics();
    Semantics(statement);
    EXPECT_EQ(semantic_errors, 0);
    EXPECT_EQ(v->vector.objects->obj1.Count, 300000);
    EXPECT_EQ(v->object.Type->text(), "vector<int>");
    ReleaseTree(statement);
}
