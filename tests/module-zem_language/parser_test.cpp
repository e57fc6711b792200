#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module-zem_language/command_text.h"
#include "module-zem_language/parser.h"
#include "support/alert_recorder.h"
#include "support/failure.h"

namespace {

using lines = std::vector<std::string>;

struct parse_result {
    int errors;
    std::string tree;
    lines messages;
};

parse_result parse(const std::string& text)
{
    command_file file(text);
    alert_recorder alerts;
    BeginFile(file.path().c_str());
    TreeRoot = NoTree;
    parse_result result{Parser(), printed_tree(TreeRoot), {}};
    for (const std::string& line : alerts.alerts) result.messages.push_back(line.substr(0, line.size() - 1));
    ReleaseTree(TreeRoot);
    TreeRoot = NoTree;
    return result;
}

// The tree printed has no missing or misplaced node.
bool whole(const std::string& tree) { return tree.find("<NoTree>") == tree.npos && tree.find("<kind") == tree.npos; }

}

// Lists in source order; errors reported, the input resynchronised and repaired.
TEST(Parser, TreesAndErrorRecovery)
{
    struct Case {
        std::string text;
        int errors;
        lines messages;
        std::string tree;
    };
    // The tokens that start an object.
    const std::string object_starts = "identifier string number real { # [ matrix int_matrix_group matrix_group "
                                      "representation_group cyclotomic character_table tensor ";
    const std::vector<Case> cases = {
        // An empty list prints as nothing; a missing root would not.
        {"", 0, {}, ""},
        {"a = 1/2 ; b = # 3 ; d = -2.5 ; p(a g(b) c) ; ;", 0, {}, "a = 1/2 ; b = #3 ; d = -2.5 ; p(a g(b) c) ; ;"},
        // The tensor's value list keeps the entry written last first.
        {"x = tensor(3 2 \"ij\" | (1 1 = a) (2 2 = c)) ;", 0, {}, "x = tensor(3 2 \"ij\")((2 2 = c) (1 1 = a)) ;"},
        {"a = 1\nb = 2 ;", 1,
         {"2,1: Error       syntax error", "2,1: Information expected tokens: ; ", "2,1: Repair      token inserted : ;"},
         "a = 1 ; b = 2 ;"},
        {"} a = 1 ;", 1,
         {"1,1: Error       syntax error", "1,1: Information expected tokens: _EndOfFile identifier file include ; ",
          "1,3: Information restart point"}, "a = 1 ;"},
        {"a = ;\nb = = 3 ;", 2,
         {"1,5: Error       syntax error", "1,5: Information expected tokens: " + object_starts,
          "1,5: Repair      token inserted : identifier", "2,5: Error       syntax error",
          "2,5: Information expected tokens: " + object_starts, "2,7: Information restart point"},
         "a = --identifier-- ; b = 3 ;"},
        {"a = 1", 1,
         {"1,6: Error       syntax error", "1,6: Information expected tokens: / ; ",
          "1,6: Repair      token inserted : ;"},
         "a = 1 ;"},
        {"a = 1 ; ) ) ) b = 2 ;", 1,
         {"1,9: Error       syntax error", "1,9: Information expected tokens: _EndOfFile identifier file include ; ",
          "1,15: Information restart point"},
         "a = 1 ; b = 2 ;"},
    };
    for (const Case& c : cases) {
        parse_result result = parse(c.text);
        EXPECT_EQ(result.errors, c.errors) << c.text;
        EXPECT_EQ(result.messages, c.messages) << c.text;
        EXPECT_EQ(result.tree, c.tree) << c.text;
    }
}

// The recovery's questions to the automaton, on the stacks of the file's start
// and of "a =": what follows, and where the input may start again.
TEST(Parser, ContinuationsAndRestartPoints)
{
    auto names = [](const yyTerminalSet& set) {
        std::string out;
        for (int t = 0; t < tkCount; ++t)
            if (set[t]) out += std::string(Parser_TokenName[t]) + " ";
        return out;
    };
    const std::string statement_starts = "_EndOfFile identifier file include ; ";
    const std::string object_starts = "identifier string number real { # [ matrix int_matrix_group matrix_group "
                                      "representation_group cyclotomic character_table tensor ";
    // The start state reduces the empty statement list before it can shift.
    EXPECT_EQ(yyNext(0, tkIdentifier), 0);
    EXPECT_EQ(yyNext(0, ntObject), 0);
    const yyStateStack start = {0};
    yyStateStack assignment = {0, yyNext(0, ntStatements)};
    for (int token : {tkIdentifier, tkEquals}) assignment.push_back(yyNext(assignment.back(), token));
    for (std::size_t k = 1; k < assignment.size(); ++k) EXPECT_NE(assignment[k], 0);
    EXPECT_EQ(yyNext(assignment.back(), tkEquals), 0);
    EXPECT_NE(yyNext(assignment.back(), ntObject), 0);

    EXPECT_EQ(names(yyComputeContinuation(start)), statement_starts);
    EXPECT_EQ(names(yyComputeContinuation({0, assignment[1]})), statement_starts);
    EXPECT_TRUE(yyIsContinuation(tkInclude, start));
    EXPECT_FALSE(yyIsContinuation(tkRightBrace, start));
    EXPECT_EQ(names(yyComputeContinuation(assignment)), object_starts);
    // The shortest completion of "a =" inserts an identifier and ";".
    EXPECT_EQ(names(yyComputeRestartPoints(assignment)),
              "_EndOfFile identifier string number real file include { ( ; # [ matrix int_matrix_group "
              "matrix_group representation_group cyclotomic character_table tensor ");
    EXPECT_EQ(names(yyComputeRestartPoints(start)), statement_starts);
}

// Also while the input is skipped after an error: the skipped token's tree is not released twice.
TEST(Parser, ScannerFailureLeavesNothingBehind)
{
    alert_recorder alerts;
    for (const char* text : {"a = [1 2 /* open", "1/*"}) {
        command_file file(text);
        BeginFile(file.path().c_str());
        EXPECT_EQ(failure_of([] { Parser(); }), run_time("unclosed comment")) << text;
    }
}

// Random token strings and random bytes: the parser always reaches the end of
// the file, counts an error exactly when it reports one, and leaves a whole tree.
TEST(Parser, AnyInputEndsInATree)
{
    const std::vector<std::string> words = {
        "a", "f", "\"s\"", "7", "-2", "1.5", "file", "include", "{", "}", "(", ")", "/", "=", "|", ";", "#", "[",
        "]", "matrix", "int_matrix_group", "matrix_group", "representation_group", "cyclotomic", "character_table",
        "tensor", "/* c */", "\n"};
    std::mt19937 random(14);
    for (int round = 0; round < 5000; ++round) {
        std::string text;
        for (int i = random() % 40; i > 0; --i)
            text += round % 4 == 3 ? std::string(1, char(random() % 256)) : words[random() % words.size()] + " ";
        parse_result result;
        std::string failure = failure_of([&] { result = parse(text); });
        if (failure != "(no failure)") {
            EXPECT_EQ(failure, run_time("unclosed comment")) << text;
            continue;
        }
        int syntax_errors = 0;
        for (const std::string& line : result.messages) syntax_errors += line.ends_with("syntax error");
        EXPECT_EQ(result.errors, syntax_errors) << text;
        EXPECT_TRUE(whole(result.tree)) << text << "\n" << result.tree;
    }
}

// Cut off anywhere, a file is completed by inserted tokens alone: one error,
// or none where the cut falls after a statement, and a whole tree.
TEST(Parser, EveryPrefixIsCompletedByInsertions)
{
    const std::string sample =
        "a = 1 / 2 ; b = # 3 ; d = -2.5 ; f = g ( h \"s\" ) ; l = { \"p\" } ; v = [ 1 [ 2 ] ] ; "
        "m = matrix ( [ 1 ] ) ; i = int_matrix_group ( m ) ; j = matrix_group ( ) ; "
        "k = representation_group ( m ) ; z = cyclotomic ( 1 | 2 | 3 ) ; "
        "t = character_table ( { \"1a\" } | 1 | 1 | 1 | { 1 } { 2 } | 1 | 1 ) ; "
        "x = tensor ( 3 2 \"ij\" | ( 1 1 = a ) ( 1 2 = b ) ) ; include ( \"f\" ) ; file ( v \"o\" ) ; p ( a b ) ; ; ";
    for (std::size_t at = 0; at != std::string::npos; at = sample.find(' ', at + 1)) {
        std::string prefix = sample.substr(0, at);
        parse_result result = parse(prefix);
        EXPECT_EQ(result.errors, prefix.empty() || prefix.back() == ';' ? 0 : 1) << prefix;
        EXPECT_TRUE(whole(result.tree)) << prefix;
    }
}
