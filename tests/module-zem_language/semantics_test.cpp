#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module-matrix/matrix.h"
#include "module-zem_language/command_text.h"
#include "module-zem_language/parser.h"
#include "module-zem_language/semantics.h"
#include "module-zem_language/symtab.h"
#include "module-zem_language/vm_support.h"
#include "support/alert_recorder.h"
#include "support/failure.h"

namespace {

struct statement_check {
    std::vector<std::string> messages;  // without the line feed
    int errors;
    std::string type;  // of an assigned value
    std::string name;
};

struct tree_release {
    void operator()(tTree t) const { ReleaseTree(t); }
};

// Parses `text` and checks each statement in file order, as the runner does.
// A statement that passes and assigns enters its variable with the checked
// type, as running it would; the variables go again at the end.
std::vector<statement_check> check_file(const std::string& text)
{
    command_file file(text);
    alert_recorder recorder;
    BeginFile(file.path().c_str());
    BeginTree();
    EXPECT_EQ(Parser(), 0) << text;
    const std::unique_ptr<Tree_Node, tree_release> tree(TreeRoot);
    TreeRoot = NoTree;
    std::set<std::string> assigned;
    std::vector<statement_check> checks;
    for (tTree s = tree.get(); s->Kind == kstatements_1; s = s->statements_1.statements) {
        tTree statement = s->statements_1.statement;
        recorder.alerts.clear();
        BeginSemantics();
        Semantics(statement);
        CloseSemantics();
        statement_check check{{}, semantic_errors, "", ""};
        for (const std::string& line : recorder.alerts) check.messages.push_back(line.substr(0, line.size() - 1));
        if (statement->Kind == kobj_assignment) {
            tTree value = statement->obj_assignment.object;
            check.type = value->object.Type->text();
            check.name = value->object.Name ? value->object.Name : "(none)";
            const char* variable = statement->obj_assignment.identifier->identifier.Text;
            if (check.errors == 0) {
                assigned.insert(variable);
                global_objects.add(variable, nullptr, *value->object.Type);
            }
        }
        checks.push_back(check);
    }
    for (const std::string& variable : assigned) global_objects.remove(variable.c_str());
    return checks;
}

// The one statement of `text`, with its messages' texts alone.
statement_check check_statement(const std::string& text)
{
    std::vector<statement_check> checks = check_file(text);
    EXPECT_EQ(checks.size(), 1U) << text;
    statement_check check = checks.at(0);
    const std::string head = "Error       ";
    for (std::string& m : check.messages) m = m.substr(m.find(head) + head.size());
    return check;
}

ZEM_object* first_argument(int, const ZEM_object** args) { return args[0]->copy_object(); }
void no_action(int, const ZEM_object**) {}
char* name_first(int, const char** names) { return std::strcpy(new char[std::strlen(names[0]) + 1], names[0]); }

const ZEM_type one_fraction_matrix[] = {tp_matrix(tp_fraction())};

}

// Each rule's messages, in the order the visits produce them, each counted,
// with the type the value keeps also after a message.
TEST(Semantics, MessagesOfTheTypeRules)
{
    const std::string vector_msg
        = "Objects in the definition of a vector should be of type int, fraction, real or cyclotomic";
    const std::string matrix_msg = "illegal type in row of matrix definition";
    struct Case {
        std::string text;
        std::vector<std::string> messages;
        std::string type;
    };
    const std::vector<Case> cases = {
        {R"(v = {"a" "b"} ;)", {}, "linkedlist<string>"},
        {R"(v = {"a" 1} ;)", {"Objects in the definition of a string_list should be of type string"},
         "linkedlist<string>"},
        {"v = [1/2 3] ;", {}, "vector<fraction>"},
        {"v = [1.5] ;", {}, "vector<real>"},
        {"v = [] ;", {vector_msg}, "vector<void>"},
        {"v = [#1 2] ;", {vector_msg}, "vector<unknown>"},
        {"v = matrix([1] [1 2]) ;", {}, "matrix<fraction>"},
        {"v = matrix([#1] [#2]) ;", {}, "matrix<int>"},
        {"v = matrix([#1] [1]) ;", {matrix_msg}, "error"},
        {"v = matrix([nowhere]) ;", {"variable 'nowhere' not defined", vector_msg, matrix_msg}, "error"},
        {"v = [no_such_function()] ;", {"function 'no_such_function' not defined", vector_msg}, "vector<error>"},
        {"v = int_matrix_group(matrix([1])) ;", {"`matrix<int>' expected as type for elements of int. matrix group"},
         "group<matrix<int>>"},
        {"v = matrix_group(matrix([#1])) ;", {"`matrix<fraction>' expected as type for elements of matrix group"},
         "group<matrix<fraction>>"},
        {"v = representation_group(matrix([#1])) ;",
         {"`matrix<cyclotomic>' expected as type for elements of representation group"}, "group<matrix<int>>"},
        {"v = cyclotomic(1 | #1 | #2) ;", {}, "cyclotomic"},
        {"v = cyclotomic(1 2 | #1 #2 3 | #1 #2) ;",
         {"number sequences in the definition of a cyclotomic should be of equal length",
          "numerators of exponents in the definition of a cyclotomic should be of type int"},
         "cyclotomic"},
        {"v = cyclotomic(#1 | #1 | 1) ;",
         {"factors in the definition of a cyclotomic should be of type fraction",
          "denominators of exponents in the definition of a cyclotomic should be of type int"},
         "cyclotomic"},
        {R"(v = character_table(1 | "1" | "1" | #1 | {} {1} | | ) ;)",
         {"Entries in the definition of the vector representation part of a character table should be of type "
          "cyclotomic",
          "Powers in the definition of a character table should be of type int",
          "Powers in the definition of a character table should be of type int",
          "conj. classes in the definition of a character table should be of type string",
          "conj. class size in the definition of character table should be of type int",
          "orders in the definition of a chararcter table should be of type int",
          "Entries in the definition of a character table should be of type cyclotomic",
          "Entries in the definition of the determinant representation part of a character table should be of type "
          "cyclotomic"},
         "character_table"},
        {R"(v = tensor(#3 #1 "i" | (#1 = 1)) ;)", {}, "tensor<fraction>"},
        {R"(v = tensor("3" 2 #1 | ( = 1)) ;)",
         {"permutation should have type string", "at least one index required", "indices should all have type int",
          "Dimension should have type int", "rank should have type int"},
         "tensor<fraction>"},
        {R"(v = tensor(#3 #1 "i" | (#1 = 1) (#2 = #1)) ;)", {}, "tensor<unknown>"},
        {R"(v = tensor(#3 #1 "i" | ) ;)", {}, "tensor<void>"},
    };
    for (const Case& c : cases) {
        statement_check check = check_statement(c.text);
        EXPECT_EQ(check.messages, c.messages) << c.text;
        EXPECT_EQ(check.errors, static_cast<int>(c.messages.size())) << c.text;
        EXPECT_EQ(check.type, c.type) << c.text;
    }
}

// Messages stand at the checking node; power maps are checked last first.
TEST(Semantics, MessagesStandWhereTheCheckingNodeBegins)
{
    std::vector<statement_check> checks = check_file("v = character_table(\"1a\" | #1 | #1 | 1 |\n"
                                                     "  {1}\n"
                                                     "  {2} | 1 | 1) ;\n"
                                                     "w =\n  [x] ;");
    ASSERT_EQ(checks.size(), 2U);
    const std::string powers = "Error       Powers in the definition of a character table should be of type int";
    ASSERT_EQ(checks[0].messages.size(), 5U);
    EXPECT_EQ(checks[0].messages[0].substr(0, 5), "1,5: ");
    EXPECT_EQ(checks[0].messages[1], "3,3: " + powers);
    EXPECT_EQ(checks[0].messages[2], "2,3: " + powers);
    EXPECT_EQ(checks[1].messages, (std::vector<std::string>{
                                      "5,4: Error       variable 'x' not defined",
                                      "5,3: Error       Objects in the definition of a vector should be of type int, "
                                      "fraction, real or cyclotomic",
                                  }));
}

TEST(Semantics, CallsOfBuiltinsAreCheckedForCountTypesAndKind)
{
    test_builtin function("t_sem_first", "", "", first_argument, name_first, tp_matrix(tp_fraction()), 1,
                          one_fraction_matrix);
    test_builtin procedure("t_sem_proc", "", "", no_action, 1, one_fraction_matrix);
    struct Case {
        std::string text, message, type = "", name = "";
    };
    // The built-in names its result after its argument.
    const std::vector<Case> cases = {
        {"m = matrix([1]) ; v = t_sem_first(m) ;", "", "matrix<fraction>", "m"},
        {"v = t_sem_first(matrix([1]) 2) ;", "1,5: Error       function 't_sem_first': wrong number of arguments",
         "error", "** error **"},
        {"v = t_sem_first(matrix([#1])) ;", "1,5: Error       function 't_sem_first': wrong argument types", "error",
         "** error **"},
        {"v = t_sem_proc(matrix([1])) ;", "1,5: Error       function 't_sem_proc': procedure used as function",
         "error", "** error **"},
        {"  t_sem_first(matrix([1])) ;", "1,3: Error       procedure 't_sem_first': function used as procedure"},
        {"  t_sem_proc() ;", "1,3: Error       procedure 't_sem_proc': wrong number of arguments"},
        {"  t_sem_proc(1) ;", "1,3: Error       procedure 't_sem_proc': wrong argument types"},
        {"  no_such_procedure() ;", "1,3: Error       procedure 'no_such_procedure' not defined"},
        {"  t_sem_proc(matrix([1])) ;", ""},
    };
    for (const Case& c : cases) {
        statement_check check = check_file(c.text).back();
        EXPECT_EQ(check.messages, c.message.empty() ? std::vector<std::string>{} : std::vector{c.message}) << c.text;
        EXPECT_EQ(check.errors, c.message.empty() ? 0 : 1) << c.text;
        EXPECT_EQ(check.type, c.type) << c.text;
        EXPECT_EQ(check.name, c.name) << c.text;
    }

    int user_data = 0;
    global_functions.add("t_sem_user", &user_data);
    EXPECT_EQ(failure_of([] { check_file("v = t_sem_user() ;"); }),
              run_time("user defined functions not implemented (yet)"));
    global_functions.remove("t_sem_user");
}

// The pass sees each variable as the statements run before it left it.
TEST(Semantics, VariablesHaveTheTypeOfTheirLastAssignment)
{
    std::vector<statement_check> checks = check_file("y = x ; x = 1 ; z = x ; x = [1] ; w = x ;");
    ASSERT_EQ(checks.size(), 5U);
    EXPECT_EQ(checks[0].messages, std::vector<std::string>{"1,5: Error       variable 'x' not defined"});
    EXPECT_EQ(checks[0].errors, 1);
    EXPECT_EQ(checks[2].errors + checks[4].errors, 0);
    EXPECT_EQ(checks[2].type, "fraction");
    EXPECT_EQ(checks[4].type, "vector<fraction>");
    EXPECT_EQ(checks[4].name, "x");
}

// A long object list is checked in a loop; its head counts every element.
TEST(Semantics, LongListsAreCheckedWithoutRecursion)
{
    std::string text = "v = [";
    for (int k = 0; k < 200000; ++k) text += "#1 ";
    statement_check check = check_statement(text + "] ;");
    EXPECT_EQ(check.errors, 0);
    EXPECT_EQ(check.type, "vector<int>");
}
