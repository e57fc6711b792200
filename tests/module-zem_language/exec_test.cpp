#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "front-end-support/memory.h"
#include "front-end-support/stringmem.h"
#include "module-matrix/matrix.h"
#include "module-zem_language/exec.h"
#include "module-zem_language/parser.h"
#include "module-zem_language/symtab.h"
#include "support/alert_recorder.h"
#include "support/child_process.h"
#include "support/failing_allocation.h"
#include "support/failure.h"
#include "support/file_size_limit.h"
#include "support/memory_limit.h"
#include "support/printed.h"

#if defined(__SANITIZE_ADDRESS__)
#define ZARN_LEAK_CHECK 1
#elif defined(__has_feature)
#define ZARN_LEAK_CHECK __has_feature(address_sanitizer)
#endif
#if ZARN_LEAK_CHECK
#include <sanitizer/lsan_interface.h>
#endif

namespace {

namespace fs = std::filesystem;

// Command files in a directory of their own, removed with it.
class command_files : public ::testing::Test {
protected:
    command_files() : dir(fs::temp_directory_path() / ("zarn_exec_" + std::to_string(::getpid())))
    {
        fs::create_directories(dir);
    }
    ~command_files() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::string& text)
    {
        const fs::path path = dir / name;
        std::ofstream(path) << text;
        return path.string();
    }
    std::string quoted(const std::string& file) const { return std::string(1, '"').append(dir / file) + '"'; }

    int run(const std::string& text) { return exec_zem_commandfile(write("main.zem", text).c_str()); }

    fs::path dir;
    alert_recorder alerts;
};

// The variable's type and printed value; it is forgotten, so that each test starts without it.
std::string take(const char* name)
{
    const var_symtab::var_symtabelt* entry = global_objects.lookup(name);
    const std::string value = entry ? entry->type.text() + " " + printed(*entry->object) : "(none)";
    global_objects.remove(name);
    return value;
}

// A file's contents, or "(none)".
std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(none)";
}

std::vector<std::string> resuming(const std::string& failure) { return {run_time(failure), "OK, resuming main loop"}; }

// The alerts without their line feeds and "line,column: Error       ".
std::vector<std::string> shown(alert_recorder& alerts)
{
    std::vector<std::string> lines;
    const std::string head = "Error       ";
    for (const std::string& line : alerts.alerts) {
        std::size_t at = line.find(head);
        lines.push_back(line.substr(at == std::string::npos ? 0 : at + head.size()));
        lines.back().pop_back();
    }
    alerts.alerts.clear();
    return lines;
}

}

TEST_F(command_files, LiteralsRunOrFailWithTheirMessages)
{
    const std::string tensor = "tensor<fraction> tensor<fraction>(\n  dim = 2 rank = 2\n  permutation symmetry: ",
                      t32 = "tensor ( #3 #2 \"0 1\" | ", refused = "[icode_tensor::execute] ",
                      typeless = "[gen_i_code] the values of a tensor should all have one type: int, real, "
                                 "fraction or cyclotomic";
    const std::string one = "cyclotomic ( 1 | #0 | #1 ) ",
                      table = "character_table ( \"1a\" \"2a\" | #1 #1 | #1 #2 | " + one + one + one +
                              "cyclotomic ( -1 | #0 | #1 ) | { #1 } { #1 } | " + one + one + "| " + one + one + ")";
    const std::pair<std::string, std::string> literals[] = {
        {"4", "fraction 4"},
        {"#4", "int 4"},
        {"6/-4", "fraction -3/2"},
        {"2.5", "real 2.5"},
        {"[ #1 #2 #3 ]", "vector<int> vector<int>(1  2  3)\n"},
        {"{ \"a\" \"b\" }", "linkedlist<string> linkedlist<string>(\n1: a\n2: b\n)\n"},
        {"matrix ( [ #1 #2 ] [ #3 ] )", "matrix<int> matrix<int>(\n1   2\n3   0\n)\n"},
        // Terms sum in any order; negative exponents and denominators are one way of writing.
        {"cyclotomic ( 1 | #1 | #-3 )", "cyclotomic 1 * exp(2*pi*i*2/3) + 0"},
        {"cyclotomic ( 1 2 | #1 #1 | #4 #3 )",
         "cyclotomic 2 * exp(2*pi*i*4/12) + -1 * exp(2*pi*i*7/12) + -1 * exp(2*pi*i*11/12) + 0"},
        {"cyclotomic ( 2147483647 2147483647 -2147483647 | #1 #1 #1 | #4 #4 #4 )",
         "cyclotomic 2147483647 * exp(2*pi*i*1/4) + 0"},
        // Each entry is spread by the symmetry, and of two entries for one component the later wins.
        {"tensor ( #2 #2 \"[0 1]\" | ( #0 #1 = 5 ) ( #1 #0 = 7 ) )",
         tensor + "\"[0 1]\"\n  xx = yy = 0\n  xy = -7\n  yx = 7\n)"},
        {"tens_mul ( matrix ( [ 0 1 ] [ 1 0 ] ) tensor ( #2 #2 \"0 1\" | ( #0 #1 = 5 ) ) )",
         tensor + "\"0 1\"\n  xx = xy = yy = 0\n  yx = 5\n)"},
        // A table's parts reach the table in the order written.
        {"word ( \"a1B\" )", "word word(a?B)"},
        {"character_power ( " + table + " chartab_row ( " + table + " #2 ) #0 )", "character character(1 1)"},
        {"chartab_row ( " + table + " #2 )", "character character(1 -1)"},
        // Failures, each before a value is made.
        {"1/0", "[ZEM_fraction::simple_fraction] denominator == 0"},
        {"cyclotomic ( 1 | #1 | #0 )", "[ZEM_cyclotomic_number] denominator == 0"},
        {t32 + "( #0 #1 #2 = 5 ) ( #0 #1 = 5 ) )", refused + "entry 1 has 3 indices for rank 2"},
        // The entry written last is the head of the value list.
        {"tensor ( #10 #1 \"0\" | ( #0 = #7 ) ( #1 #2 = #2 ) )", refused + "entry 2 has 2 indices for rank 1"},
        {t32 + "( #0 #1 = 5 ) ( #2 = 5 ) )", refused + "entry 2 has 1 indices for rank 2"},
        {t32 + "( #0 #3 = 5 ) )", "tensor index out of bounds"},
        {t32 + "( #-1 #0 = 5 ) )", "tensor index out of bounds"},
        {"tensor ( #0 #1 \"0\" | ( #0 = 5 ) )", refused + "dimension below 1"},
        {"tensor ( #3 #0 \"\" | ( #0 = 5 ) )", refused + "rank below 1"},
        {"tensor ( #3 #2 \"0\" | ( #0 #0 = 5 ) )", refused + "the symmetry names 1 indices for rank 2"},
        {"tensor ( #3 #2 \"0 0\" | ( #0 #0 = 5 ) )", "each index should occur exactly once"},
        // A tensor without values has none to build from; with values of mixed types it has no element type.
        {"tensor ( #2 #1 \"0\" | )", "[gen_i_code] a tensor needs at least one entry"},
        {"tensor ( #2 #1 \"0\" | ( #0 = 1 ) ( #1 = #1 ) )", typeless},
    };
    for (const auto& [literal, value] : literals) {
        const bool fails = value.starts_with("[") || value.starts_with("each") || value.starts_with("tensor index");
        EXPECT_EQ(run("x = " + literal + " ;\n"), fails ? 1 : 0) << literal;
        EXPECT_EQ(take("x"), fails ? "(none)" : value) << literal;
        EXPECT_EQ(alerts.alerts, fails ? resuming(value) : std::vector<std::string>{}) << literal;
        alerts.alerts.clear();
    }

    // A later statement sees the earlier one's variable and keeps a copy of its
    // value; `file` writes the value, not the name, with the usual permissions.
    const std::string unwritable = (dir / "no such dir" / "out.txt").string();
    const mode_t old_mask = ::umask(0);
    EXPECT_EQ(run("s1 = #3 ;\ns2 = s1 ;\nfile ( s2 " + quoted("s2.txt") + " ) ;\ns1 = 1 ;\nfile ( s1 \"" + unwritable
                  + "\" ) ;\n"),
              0);
    ::umask(old_mask);
    EXPECT_EQ(take("s2"), "int 3");
    EXPECT_EQ(take("s1"), "fraction 1");
    std::ifstream in(dir / "s2.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "3");
    EXPECT_EQ(fs::status(dir / "s2.txt").permissions() & fs::perms::all, fs::perms(0664));
    EXPECT_EQ(alerts.alerts, std::vector<std::string>{"\ncannot create " + unwritable});
}

// A file with syntax errors counts them and runs nothing; else statements run
// up to the first failure, which counts one. Included files keep their counts
// but not their variables. Each include runs a file already parsed whole, so the
// scanner's own limit on nested files never stops a file that includes itself;
// the runner's does.
TEST_F(command_files, CountErrorsAndStopAtTheFirstFailureAlsoInIncludedFiles)
{
    EXPECT_EQ(run("e1 = #1 ;\ne2 = = #2 ;\n"), 1);
    EXPECT_EQ(take("e1"), "(none)");
    EXPECT_EQ(run("file ( u1 u2 ) ;\ne3 = #3 ;\n"), 2);
    EXPECT_EQ(take("e3"), "(none)");
    alerts.alerts.clear();

    // After the failure not even the semantic check runs: u3 is not counted.
    EXPECT_EQ(run("f1 = #1 ;\nf2 = imat_mul ( matrix ( [ #1 #2 ] ) matrix ( [ #1 #2 ] ) ) ;\nf3 = u3 ;\n"), 1);
    EXPECT_EQ(take("f1"), "int 1");
    EXPECT_EQ(take("f3"), "(none)");
    EXPECT_EQ(alerts.alerts, resuming("[operator * (m1, m2)] wrong size"));

    alerts.alerts.clear();
    write("failing.zem", "i1 = #1 ;\ni2 = matrix_determinant ( matrix ( [ 1 2 ] ) ) ;\n");
    EXPECT_EQ(run("include ( " + quoted("failing.zem") + " ) ;\ni3 = #3 ;\n"), 0);
    EXPECT_EQ(take("i1"), "int 1");
    EXPECT_EQ(take("i3"), "int 3");
    EXPECT_EQ(alerts.alerts, resuming("determinant: rows != columns"));

    alerts.alerts.clear();
    EXPECT_EQ(run("include ( " + quoted("missing.zem") + " ) ;\ni4 = #4 ;\n"), 1);
    EXPECT_EQ(take("i4"), "(none)");
    const std::string missing = "scanner failed: cannot open input file " + (dir / "missing.zem").string();
    EXPECT_EQ(alerts.alerts, resuming(missing));
    EXPECT_EQ(failure_of([&] { exec_zem_commandfile((dir / "missing.zem").c_str()); }), run_time(missing));

    alerts.alerts.clear();
    EXPECT_EQ(exec_zem_commandfile(write("self.zem", "include ( " + quoted("self.zem") + " ) ;\n").c_str()), 0);
    EXPECT_EQ(alerts.alerts, resuming("[exec_zem_commandfile] too many nested include files"));
}

// A "/*" inside a comment is one unit, so its star cannot begin the comment's end.
TEST_F(command_files, ASlashStarInsideACommentIsOneUnit)
{
    EXPECT_EQ(run("a = #1 ; /* note /*/ b = #2 ; */\nc = #3 ;\n"), 0);
    EXPECT_EQ(alerts.alerts, std::vector<std::string>());
    EXPECT_EQ(take("a"), "int 1");
    EXPECT_EQ(take("b"), "(none)");
    EXPECT_EQ(take("c"), "int 3");
}

TEST_F(command_files, ExitEndsTheProgramBeforeLaterStatements)
{
    EXPECT_EXIT(run("exit ( ) ;\nfile ( #1 " + quoted("after.txt") + " ) ;\n"), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(fs::exists(dir / "after.txt"));
}

// Each type rule's messages, in the order the checks produce them and each
// counted; a statement without them runs and gives its variable the checked type.
TEST_F(command_files, SemanticMessagesOfTheTypeRules)
{
    const std::string vector_msg
        = "Objects in the definition of a vector should be of type int, fraction, real or cyclotomic";
    const std::string matrix_msg = "illegal type in row of matrix definition";
    const std::string long_name(1000, 'n');
    struct Case {
        std::string text;
        std::vector<std::string> messages;
        std::string type = "";
    };
    const std::vector<Case> cases = {
        {R"(v = {"a" 1} ;)", {"Objects in the definition of a string_list should be of type string"}},
        {"v = [] ;", {vector_msg}},
        {"v = [#1 2] ;", {vector_msg}},
        {"v = matrix([#1] [1]) ;", {matrix_msg}},
        {"v = matrix([nowhere]) ;", {"variable 'nowhere' not defined", vector_msg, matrix_msg}},
        {"v = [no_such_function()] ;", {"function 'no_such_function' not defined", vector_msg}},
        {"v = int_matrix_group(matrix([1])) ;", {"`matrix<int>' expected as type for elements of int. matrix group"}},
        {"v = matrix_group(matrix([#1])) ;", {"`matrix<fraction>' expected as type for elements of matrix group"}},
        {"v = representation_group(matrix([#1])) ;",
         {"`matrix<cyclotomic>' expected as type for elements of representation group"}},
        {"v = cyclotomic(1 2 | #1 #2 3 | #1 #2) ;",
         {"number sequences in the definition of a cyclotomic should be of equal length",
          "numerators of exponents in the definition of a cyclotomic should be of type int"}},
        {"v = cyclotomic(1 | #1 | #3 #4) ;",
         {"number sequences in the definition of a cyclotomic should be of equal length"}},
        {"v = cyclotomic(#1 | #1 | 1) ;",
         {"factors in the definition of a cyclotomic should be of type fraction",
          "denominators of exponents in the definition of a cyclotomic should be of type int"}},
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
          "cyclotomic"}},
        {R"(v = tensor(#3 #1 "0" | (#1 = 1)) ;)", {}, "tensor<fraction>"},
        {R"(v = tensor("3" 2 #1 | ( = 1)) ;)",
         {"permutation should have type string", "at least one index required", "indices should all have type int",
          "Dimension should have type int", "rank should have type int"}},
        // Calls of built-ins: count, types and kind.
        {"m = matrix([1]) ; v = matrix_determinant(m) ;", {}, "fraction"},
        {"v = matrix_determinant(matrix([1]) 2) ;", {"function 'matrix_determinant': wrong number of arguments"}},
        {"v = matrix_determinant(matrix([#1])) ;", {"function 'matrix_determinant': wrong argument types"}},
        {"v = exit() ;", {"function 'exit': procedure used as function"}},
        {"matrix_determinant(matrix([1])) ;", {"procedure 'matrix_determinant': function used as procedure"}},
        {"exit(1) ;", {"procedure 'exit': wrong number of arguments"}},
        // The kind is checked only once count and types have passed.
        {"v = exit(#1) ;", {"function 'exit': wrong number of arguments"}},
        {"word() ;", {"procedure 'word': wrong number of arguments"}},
        {"word(#1) ;", {"procedure 'word': wrong argument types"}},
        {"no_such_procedure() ;", {"procedure 'no_such_procedure' not defined"}},
        // Each variable has the type its last assignment gave it.
        {"y = x ;", {"variable 'x' not defined"}},
        {"y = " + long_name + " ;", {"variable '" + long_name + "' not defined"}},
        {"x = 1 ; x = [1] ; v = x ;", {}, "vector<fraction>"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.text), static_cast<int>(c.messages.size())) << c.text;
        EXPECT_EQ(shown(alerts), c.messages) << c.text;
        const std::string value = take("v");
        EXPECT_EQ(value.substr(0, value.find(' ')), c.type.empty() ? "(none)" : c.type) << c.text;
        for (const char* name : {"m", "x"}) global_objects.remove(name);
    }

    // Messages stand at the checking node, power maps checked last first.
    EXPECT_EQ(run("v = character_table(\"1a\" | #1 | #1 | 1 |\n  {1}\n  {2} | 1 | 1) ;\n"), 5);
    EXPECT_EQ(alerts.alerts.at(1),
              "3,3: Error       Powers in the definition of a character table should be of type int\n");
    alerts.alerts.clear();

    int user_data = 0;
    global_functions.add("t_sem_user", &user_data);
    EXPECT_EQ(run("v = t_sem_user() ;"), 1);
    EXPECT_EQ(alerts.alerts, resuming("user defined functions not implemented (yet)"));
    global_functions.remove("t_sem_user");
}

// A long object list is checked, compiled and run in loops.
TEST_F(command_files, LongListsNeedNoDeepStack)
{
    std::string text = "v = [";
    for (int k = 0; k < 200000; ++k) text += "#1 ";
    EXPECT_EQ(run(text + "] ;"), 0);
    EXPECT_EQ(take("v").substr(0, 12), "vector<int> ");
}

namespace {

// `open` k times, the leaf, then `close` k times.
std::string nested(const std::string& open, const std::string& leaf, const std::string& close, int k)
{
    std::string text;
    for (int i = 0; i < k; ++i) text += open;
    text += leaf;
    for (int i = 0; i < k; ++i) text += close;
    return text;
}

}

// Nesting of every shape ends in messages, never in a crash: within the bound
// the checks and the code walk it, beyond it the parser refuses it at the
// bracket that goes too deep and nothing of the file runs.
TEST_F(command_files, DeepNestingEndsInAMessage)
{
    const std::string c = "c = cyclotomic ( 1 | #0 | #1 ) ;\n";
    const struct {
        std::string open, leaf, close;
        int opened_per_level;
    } shapes[] = {
        {"[", "1", "]", 1},
        {"[", "cyclotomic ( 1 | #0 | )", "]", 1},
        {"{", "\"a\"", "}", 1},
        {"matrix_group(", "matrix([1])", ")", 1},
        {"word(", "\"a\"", ")", 1},
        {"cyclotomic(", "1", " | #0 | #1)", 1},
        {"tensor(#1 #1 \"0\" | (#0 = ", "1", "))", 2},
        {"cn_plus(", "c", " c)", 1},
    };
    for (const auto& s : shapes) {
        const int within = (max_nesting - 2) / s.opened_per_level;
        const int errors = run(c + "x = " + nested(s.open, s.leaf, s.close, within) + " ;\n");
        EXPECT_EQ(errors == 0, s.open == "cn_plus(") << s.open;
        EXPECT_EQ(take("x").substr(0, 11), errors == 0 ? "cyclotomic " : "(none)") << s.open;
        EXPECT_LE(alerts.alerts.size(), std::size_t(max_shown_alerts + 1)) << s.open;
        alerts.alerts.clear();
        take("c");

        EXPECT_EQ(run(c + "x = " + nested(s.open, s.leaf, s.close, 100000) + " ;\n"), 1) << s.open;
        EXPECT_EQ(take("c"), "(none)");
        ASSERT_EQ(alerts.alerts.size(), 1u) << s.open;
        EXPECT_TRUE(alerts.alerts[0].ends_with(": Error       expression nested too deeply\n")) << alerts.alerts[0];
        alerts.alerts.clear();
    }
}

// Numbers beyond 32 bits and strings holding a NUL byte are counted errors,
// so nothing runs; files that cannot be opened or read fail the statement
// naming the file; a device is read as a file.
TEST_F(command_files, CarelessInputIsCountedAndNamed)
{
    const std::string dot = dir.string(), scanner = "scanner failed: ";
    const struct {
        std::string text;
        std::vector<std::string> alerts;
    } cases[] = {
        {"x = #2147483648 ;", {"1,6: Error       number out of range: 2147483648\n"}},
        {"x = #-2147483649 ;", {"1,6: Error       number out of range: -2147483649\n"}},
        {"x = 2147483648/3 ;", {"1,5: Error       number out of range: 2147483648\n"}},
        {std::string("x = #1 ; file ( x \"o\0ut.txt\" ) ;", 32), {"1,21: Error       illegal character: code 0\n"}},
        {"x = #1 ; include ( \"" + dot + "\" ) ;", resuming(scanner + "cannot read input file " + dot)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.text + "\ny = #2 ;\n"), 1) << c.text;
        EXPECT_EQ(alerts.alerts, c.alerts) << c.text;
        EXPECT_EQ(take("y"), "(none)");
        take("x");
        alerts.alerts.clear();
    }
    EXPECT_FALSE(fs::exists("o"));

    // Devices read as files: /dev/null is empty, and /dev/zero ends at the cap
    // on messages, which ends the whole run.
    EXPECT_EQ(run("include ( \"/dev/null\" ) ;\ny = #2 ;\n"), 0);
    EXPECT_EQ(take("y"), "int 2");
    EXPECT_EQ(exec_zem_commandfile("/dev/null"), 0);
    EXPECT_TRUE(alerts.alerts.empty());
    EXPECT_GT(run("x = #1 ; include ( \"/dev/zero\" ) ;\ny = #2 ;\n"), 0);
    EXPECT_EQ(take("y"), "(none)");
    EXPECT_EQ(take("x"), "int 1");
    ASSERT_EQ(alerts.alerts.size(), 22u);
    EXPECT_EQ(alerts.alerts[19], "1,20: Error       illegal character: code 0\n");
    EXPECT_EQ(alerts.alerts[20], "99980 more messages not shown");
    EXPECT_EQ(alerts.alerts[21], "too many messages: reading stopped after 100000");
    EXPECT_GT(exec_zem_commandfile("/dev/zero"), 0);
}

// A scanner fault in the middle of a string, here a string too long for memory
// in an included file, leaves the next file's positions right.
TEST_F(command_files, AScannerFaultInsideAStringLeavesTheNextFilePositionsRight)
{
    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    write("string.zem", "x = \"" + std::string(16 << 20, 'a') + "\" ;\n");
    const std::string including = write("including.zem", "include ( " + quoted("string.zem") + " ) ;\n");
    EXPECT_IN_FRESH_PROCESS([&] {
        limit_growth(4 << 20);
        const bool failed = exec_zem_commandfile(including.c_str()) == 1 &&
                            alerts.alerts == resuming("scanner failed: out of memory");
        alerts.alerts.clear();
        const bool positions_right =
            run("y = #2147483648 ;\n") == 1 &&
            alerts.alerts == std::vector<std::string>{"1,6: Error       number out of range: 2147483648\n"};
        fs::remove_all(dir);
        return failed && positions_right;
    });
}

// A file whose buffer finds no room once it is open fails as out of memory and
// is closed: after more such failures than there are descriptors, files still
// open. In a fresh process with few descriptors, whose heap is taken but for a
// hole too small for a buffer, until the room held back is given back.
TEST_F(command_files, AFileWhoseBufferFindsNoRoomIsClosed)
{
    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    const std::string path = write("small.zem", "x = #1 ;\n");
    EXPECT_IN_FRESH_PROCESS([&] {
        const rlimit descriptors{64, 64};
        // Held through volatile pointers, which a compiler may not drop with their blocks.
        void* volatile room = std::malloc(8 << 20);
        void* volatile hole = std::malloc(12 << 10);
        if (::setrlimit(RLIMIT_NOFILE, &descriptors) != 0 || !room || !hole) return false;
        limit_growth(0);
        take_every_block();
        std::free(hole);
        bool closed = true;
        for (int k = 0; k < 100 && closed; ++k)
            closed = failure_of([&] { exec_zem_commandfile(path.c_str()); }) == run_time("scanner failed: out of memory");
        std::free(room);
        const bool opens = closed && exec_zem_commandfile(path.c_str()) == 0 && take("x") == "int 1";
        fs::remove_all(dir);
        return opens;
    });
}

// Twenty alerts, then one line with the number withheld; the count is that of
// the errors, shown or not. A file too long to be read whole stops, which
// counts for that file; the file including it goes on.
TEST_F(command_files, AlertsStopAfterTwentyAndTheCountStaysRight)
{
    std::string errors;
    for (int k = 0; k < 30; ++k) errors += "a = = 1 ;\n";
    EXPECT_EQ(run(errors), 30);
    EXPECT_EQ(alerts.alerts.size(), 21u);
    EXPECT_EQ(alerts.alerts.back(), "70 more messages not shown");
    alerts.alerts.clear();

    const std::string zeros = write("zeros", std::string(1000000, '\0'));
    EXPECT_EQ(exec_zem_commandfile(zeros.c_str()), 1);
    alerts.alerts.clear();
    // Nothing is read after the stop, /dev/zero included; in a process of its
    // own with a time bound, so that reading on fails the test instead of hanging it.
    const std::string both = write("both.zem", "include ( \"" + zeros + "\" ) ;\ninclude ( \"/dev/zero\" ) ;\n");
    EXPECT_TRUE(in_child_process([&] {
        ::alarm(60);
        const bool stopped = exec_zem_commandfile(both.c_str()) == 1 && alerts.alerts.size() == 22u &&
                             alerts.alerts[19] == "1,20: Error       illegal character: code 0\n" &&
                             alerts.alerts[20] == "99980 more messages not shown" &&
                             alerts.alerts[21] == "too many messages: reading stopped after 100000";
        return stopped;
    }));
    // The same in a string never closed: its quote, then each NUL byte.
    const std::string open_string = write("open_string", "\"" + std::string(1000000, '\0'));
    EXPECT_EQ(exec_zem_commandfile(open_string.c_str()), 1);
    ASSERT_EQ(alerts.alerts.size(), 22u);
    EXPECT_EQ(alerts.alerts[0], "1,1: Error       illegal character: \"\n");
    EXPECT_EQ(alerts.alerts[19], "1,20: Error       illegal character: code 0\n");
    EXPECT_EQ(alerts.alerts[20], "99980 more messages not shown");
    EXPECT_EQ(alerts.alerts[21], "too many messages: reading stopped after 100000");
    alerts.alerts.clear();

    // Checking a statement reads no file, so its messages, however many, stop
    // nothing: one per name not defined, and the list's type.
    std::string names;
    for (int k = 0; k < max_read_messages + 5; ++k) names += "u ";
    EXPECT_EQ(run("x = { " + names + "} ;\n"), max_read_messages + 6);
    EXPECT_EQ(alerts.alerts.size(), 21u);
    EXPECT_EQ(alerts.alerts.back(), "99986 more messages not shown");
}

// The bound decides only what is shown: an including file goes on after any
// number of messages in the file it includes, and a failure withheld, which
// counts no error, stops nothing and is written to the error stream.
TEST_F(command_files, MessagesPastTheBoundChangeNothingThatRuns)
{
    for (const int illegal : {19, 20, 25}) {
        write("illegal.zem", std::string(std::size_t(illegal), '$'));
        EXPECT_EQ(run("include ( " + quoted("illegal.zem") + " ) ;\ny = #2 ;\n"), 0) << illegal;
        EXPECT_EQ(take("y"), "int 2") << illegal;
        EXPECT_EQ(alerts.alerts.size(), std::size_t(illegal <= 20 ? illegal : 21)) << illegal;
        alerts.alerts.clear();
    }
    write("twenty.zem", std::string(20, '$'));
    const std::string nowhere = (dir / "missing" / "out.txt").string();
    testing::internal::CaptureStderr();
    EXPECT_EQ(run("include ( " + quoted("twenty.zem") + " ) ;\nfile ( #1 \"" + nowhere + "\" ) ;\ny = #2 ;\n"), 0);
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(take("y"), "int 2");
    EXPECT_EQ(alerts.alerts.back(), "1 more messages not shown");
    EXPECT_NE(written.find("\ncannot create " + nowhere + "\n"), std::string::npos) << written;
    alerts.alerts.clear();

    // The count reaches the user, shown or written, or its failure for want of
    // memory does (or the message withheld, written where no room was left to
    // withhold it): each of the run's last allocations failing in turn.
    write("one.zem", "$");
    const std::string included =
        write("main.zem", "include ( " + quoted("twenty.zem") + " ) ;\ninclude ( " + quoted("one.zem") + " ) ;\n");
    fail_allocation(std::size_t(-1));
    exec_zem_commandfile(included.c_str());
    const std::size_t total = allocations_since_armed();
    fail_allocation(0);
    for (std::size_t k = total - 10; k <= total; ++k) {
        alerts.alerts.clear();
        testing::internal::CaptureStderr();
        fail_allocation(k);
        exec_zem_commandfile(included.c_str());
        fail_allocation(0);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(std::ranges::find(alerts.alerts, "1 more messages not shown") != alerts.alerts.end() ||
                    said.find("1 more messages not shown\n") != said.npos ||
                    said.find("run-time exception: out of memory\n") != said.npos ||
                    said.find("1,1: Error       illegal character: $\n") != said.npos)
            << k;
    }
}

// The stop on messages ends the reading of the whole run: nothing more of the
// file that stopped, of the files including it, or of files they would include
// runs, `exit` among it; the run fails, and its last lines are shown. So too
// where the file that stopped fails (a comment left open) instead of ending.
TEST_F(command_files, TheStopOnMessagesEndsTheWholeRun)
{
    // Each run in a fresh process, with files of its own.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    write("later.zem", "y = #2 ;\n");
    write("open.zem", "/*" + std::string(std::size_t(max_read_messages), '\xff'));
    // A file never read is never opened: one that is not there says nothing.
    const std::string outer =
        write("outer.zem", "include ( " + quoted("inner.zem") + " ) ;\ninclude ( " + quoted("missing.zem") +
                               " ) ;\ninclude ( " + quoted("later.zem") + " ) ;\nexit ( ) ;\nz = #3 ;\n");
    for (const std::string& stopping : {std::string("\"/dev/zero\""), quoted("open.zem")}) {
        write("inner.zem", "include ( " + stopping + " ) ;\nx = #1 ;\nfile ( x " + quoted("after.txt") + " ) ;\n");
        // Exit status 3 only where the run returned: `exit` would end with 0.
        EXPECT_EXIT(
            {
                ::alarm(60);
                char errors_name[] = "/tmp/zarn_stderr_XXXXXX";
                const int errors = ::mkstemp(errors_name);
                ::unlink(errors_name);
                ::dup2(errors, 2);
                const bool stopped =
                    exec_zem_commandfile(outer.c_str()) > 0 && take("x") == "(none)" && take("y") == "(none)" &&
                    take("z") == "(none)" && !fs::exists(dir / "after.txt") && alerts.alerts.size() == 22u &&
                    alerts.alerts[20] == "99980 more messages not shown" &&
                    alerts.alerts[21] == "too many messages: reading stopped after 100000";
                std::string written(1 << 16, '\0');
                written.resize(std::size_t(std::max<ssize_t>(::pread(errors, written.data(), written.size(), 0), 0)));
                fs::remove_all(dir);
                std::_Exit(stopped && written.find("missing.zem") == std::string::npos ? 3 : 1);
            },
            testing::ExitedWithCode(3), "")
            << stopping;
    }
    // A stop fails the run also where nothing follows the file that stopped.
    write("middle.zem", "include ( " + quoted("open.zem") + " ) ;\n");
    EXPECT_GT(run("include ( " + quoted("middle.zem") + " ) ;\n"), 0);
    EXPECT_EQ(alerts.alerts.back(), "too many messages: reading stopped after 100000");
    // The run counts the errors of the file that stopped, however deep: two
    // statements, and the rest left unread.
    write("errors.zem", "a = = 1 ;\na = = 1 ;\n" + std::string(std::size_t(max_read_messages), '$'));
    write("middle.zem", "include ( " + quoted("errors.zem") + " ) ;\ny = #2 ;\n");
    EXPECT_EQ(run("include ( " + quoted("middle.zem") + " ) ;\n"), 3);
    // A stop on the last byte, with nothing left unread, runs none of the file either.
    EXPECT_EQ(run("x = #1 ;\n" + std::string(std::size_t(max_read_messages), '$')), 1);
    EXPECT_EQ(take("x"), "(none)");
}

// `exit` shows the run's last lines before the program ends, as the end of its file does.
TEST_F(command_files, ExitShowsTheCountOfMessagesNotShown)
{
    // A forked child writes the file where this process reads it.
    GTEST_FLAG_SET(death_test_style, "fast");
    write("illegal.zem", std::string(25, '$'));
    const std::string path =
        write("main.zem", "include ( " + quoted("illegal.zem") + " ) ;\nfile ( #7 " + quoted("after.txt") +
                              " ) ;\nexit ( ) ;\n");
    EXPECT_EXIT(
        {
            // The alerts go to the error stream, where the parent reads them.
            install_alert_seam(nullptr);
            exec_zem_commandfile(path.c_str());
        },
        testing::ExitedWithCode(0), "5 more messages not shown");
    EXPECT_EQ(contents(dir / "after.txt"), "7");
}

// A write that fails part-way leaves the old file byte for byte and says so;
// the statement counts no error, as a file that cannot be created does not.
TEST_F(command_files, AFailedWriteLeavesTheOldFile)
{
    const std::string old = write("old.txt", "old contents");
    const std::string statements =
        write("main.zem", "x = [" + nested("1 ", "", "", 10000) + "] ;\nfile ( x \"" + old + "\" ) ;\n");
    EXPECT_TRUE(under_file_size_limit(1000, [&] {
        return exec_zem_commandfile(statements.c_str()) == 0 &&
               alerts.alerts == std::vector<std::string>{"\ncannot write " + old};
    }));
    std::ifstream in(old);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old contents");
}

// `file` leaves a read-only file as it is, writes a file with a second link in
// place, and refuses a looping symbolic link.
TEST_F(command_files, TheFileStatementKeepsWhatItMayNotReplace)
{
    fs::permissions(dir, fs::perms::all);
    const std::string read_only = write("read-only", "old"), linked = write("linked", "old");
    fs::permissions(read_only, fs::perms(0444));
    EXPECT_TRUE(give_to_unprivileged_user(read_only.c_str()));
    fs::create_hard_link(linked, dir / "second");
    fs::create_symlink("loop", dir / "loop");

    const std::string statements = write("main.zem", "file ( #3 " + quoted("read-only") + " ) ;\n");
    EXPECT_TRUE(as_unprivileged_user([&] {
        return exec_zem_commandfile(statements.c_str()) == 0 &&
               alerts.alerts == std::vector<std::string>{"\ncannot create " + read_only};
    }));
    EXPECT_EQ(run("file ( #3 " + quoted("linked") + " ) ;\nfile ( #3 " + quoted("loop") + " ) ;\n"), 0);
    EXPECT_EQ(alerts.alerts, std::vector<std::string>{"\ncannot create " + (dir / "loop").string()});
    for (const char* name : {"read-only", "second"}) {
        std::ifstream in(dir / name);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), name == std::string("second") ? "3" : "old");
    }
}

// A comment of illegal bytes reports each, yet ends where it is closed, however
// long; only the cap on messages stops the reading, and says so.
TEST_F(command_files, ALongCommentOfIllegalBytesEndsWhereItIsClosed)
{
    for (const int bytes : {16400, max_read_messages, 150000}) {
        const std::string text = "/*" + std::string(std::size_t(bytes), '\xff') + "*/\nx = #1 ;\n";
        // Only the stop, which leaves the statement unread, counts.
        EXPECT_EQ(run(text), bytes < max_read_messages ? 0 : 1) << bytes;
        EXPECT_EQ(take("x"), bytes < max_read_messages ? "int 1" : "(none)");
        ASSERT_GE(alerts.alerts.size(), 21u) << bytes;
        EXPECT_EQ(alerts.alerts[19], "1,22: Error       illegal character: code 255\n");
        // Shown and withheld add up to the messages read before the stop.
        EXPECT_EQ(alerts.alerts[20],
                  std::to_string(std::min(bytes, max_read_messages) - max_shown_alerts) + " more messages not shown");
        if (bytes < max_read_messages) {
            EXPECT_EQ(alerts.alerts.size(), 21u);
        } else {
            ASSERT_EQ(alerts.alerts.size(), 22u);
            EXPECT_EQ(alerts.alerts[21], "too many messages: reading stopped after 100000");
        }
        alerts.alerts.clear();
    }
    // A stop on the file's last byte leaves nothing unread, and fails the run
    // all the same; a comment still open there is unclosed.
    const std::string last = write("last.zem", std::string(std::size_t(max_read_messages), '\xff'));
    EXPECT_EQ(exec_zem_commandfile(last.c_str()), 1);
    EXPECT_EQ(alerts.alerts.size(), 22u);
    alerts.alerts.clear();
    const std::string open = write("open.zem", "/*" + std::string(std::size_t(max_read_messages), '\xff'));
    EXPECT_EQ(failure_of([&] { exec_zem_commandfile(open.c_str()); }), run_time("unclosed comment"));
    EXPECT_EQ(alerts.alerts.size(), 22u);
    alerts.alerts.clear();
    // What the parser says of a statement the stop cut off is no message of the file.
    EXPECT_GT(run("x = [ " + std::string(150000, '\xff') + " #1 ] ;\n"), 0);
    ASSERT_EQ(alerts.alerts.size(), 22u);
    EXPECT_EQ(alerts.alerts[20], "99980 more messages not shown");
}

// Memory running out while an included file is parsed fails the include; while
// one of its statements is checked, compiled or run, that statement. Each counts
// as the failure "out of memory", and the run goes on. A file whose parse runs out
// fails, and the next file is read afresh. Each limit is tried in a fresh process,
// whose heap holds nothing that earlier tests freed. A token too long for memory
// is the scanner's own fault.
TEST_F(command_files, RunningOutOfMemoryIsCountedAndTheRunGoesOn)
{
    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string elements;
    for (int k = 0; k < 200000; ++k) elements += "1 ";
    const std::string big = write("big.zem", "v = [ " + elements + "] ;\n");
    const auto short_of_memory = [&](std::size_t megabytes, int count, const char* after) {
        limit_growth(megabytes << 20);
        const bool counted = run("include ( " + quoted("big.zem") + " ) ;\nw = #2 ;\n") == count &&
                             alerts.alerts == resuming("out of memory") && take("w") == after;
        const bool parse_fails = failure_of([&] { exec_zem_commandfile(big.c_str()); }) == run_time("out of memory");
        const bool goes_on = run("a = #1 ;\n") == 0 && take("a") == "int 1";
        fs::remove_all(dir);
        std::exit(counted && (count == 0 || parse_fails) && goes_on ? 0 : 1);
    };
    EXPECT_EXIT(short_of_memory(4, 1, "(none)"), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(short_of_memory(40, 0, "int 2"), testing::ExitedWithCode(0), "");

    const std::string token = write("token.zem", "x = " + std::string(16 << 20, 'a') + " ;\n");
    // In a fresh process too: a forked one may scan it in what the tests before freed.
    const auto token_fails = [&] {
        limit_growth(4 << 20);
        const bool fails =
            failure_of([&] { exec_zem_commandfile(token.c_str()); }) == run_time("scanner failed: out of memory");
        fs::remove_all(dir);
        std::exit(fails ? 0 : 1);
    };
    EXPECT_EXIT(token_fails(), testing::ExitedWithCode(0), "");
}

// A long file runs out of memory while it is parsed or while one of its
// statements runs, read directly or through an include: at every limit the run
// ends by itself (its tree is freed without memory, also while the failure
// unwinds), and the failure counts once as "out of memory", with room for its
// alerts. Each run is a fresh process, as above.
TEST_F(command_files, ALongFileRunningOutOfMemoryEndsByItself)
{
    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::string statements;
    for (int k = 0; k < 100000; ++k) statements += "x = #1 ;\n";
    const std::string long_file = write("long.zem", statements);
    const std::string including = write("including.zem", "include ( " + quoted("long.zem") + " ) ;\nw = #2 ;\n");
    const auto short_of_memory = [&](std::size_t megabytes, const std::string& path) {
        hold_alert_reserve();
        limit_growth(megabytes << 20);
        int count = -1;
        const std::string failure = failure_of([&] { count = exec_zem_commandfile(path.c_str()); });
        const bool counted =
            path == long_file
                ? (failure == run_time("out of memory") && alerts.alerts.empty()) ||
                      (count == 1 && alerts.alerts == resuming("out of memory"))
                : alerts.alerts == resuming("out of memory") && count == (take("w") == "(none)" ? 1 : 0);
        fs::remove_all(dir);
        std::exit(counted ? 0 : 1);
    };
    for (const std::size_t megabytes : {4, 12, 20, 24, 28}) {
        EXPECT_EXIT(short_of_memory(megabytes, long_file), testing::ExitedWithCode(0), "") << megabytes << " MB";
        EXPECT_EXIT(short_of_memory(megabytes, including), testing::ExitedWithCode(0), "") << megabytes << " MB";
    }
}

// Each allocation of a file's parse, and of the start of its run, failing in
// turn (tree nodes, texts, the parser's stacks, messages, a file written): the
// failure is "out of memory" each time, the run ends as one that failed there
// (the parse's failure thrown, or the statement's counted) or as it ends
// without the failure, each alert and the file written are whole or not there,
// and nothing is left behind: the heap holds what it held before, and the
// sanitizer finds no leak. Runs of many allocations fail some thousands of them,
// spread evenly from the first to the last.
TEST_F(command_files, EachAllocationFailingInTurnFailsAsOutOfMemoryAndLeavesNothing)
{
    const auto repeated = [](const std::string& text, int n) {
        std::string all;
        for (int k = 0; k < n; ++k) all += text;
        return all;
    };
    const std::string one = "cyclotomic ( 1 | #1 | #3 ) ";
    std::string matrix = "matrix ( ";
    for (int i = 0; i < 10; ++i) matrix += "[ " + repeated(std::to_string(i) + " ", 10) + "] ";
    const fs::path out = dir / "out.txt";
    const std::string files[] = {
        "x = " + repeated("[ ", 250) + "#1 " + repeated("] ", 250) + ";\n",
        "x = " + repeated("cn_plus ( ", 40) + one + repeated(one + ") ", 40) + ";\n",
        "x = " + matrix + ") ;\n",
        "x = { \"a\" \"b\" \"c\" } ;\ny = x ;\n;\n",
        // Messages, inserted tokens, skipped ones.
        "x = [ 1 2 $ 3 ] ;\ny = ( a b ;\nz = character_table ( \"1a\" | ;\n",
        // A text printed long, so that it grows many times.
        "x = #1 ;\nfile ( \"" + repeated("printed ", 20000) + "\" \"" + out.string() + "\" ) ;\n",
    };
    for (const std::string& text : files) {
        const std::string path = write("file.zem", text);
        // Without a failure: once as the caches fill, then counting its allocations.
        exec_zem_commandfile(path.c_str());
        take("x");
        take("y");
        alerts.alerts.clear();
        fail_allocation(std::size_t(-1));
        const int count = exec_zem_commandfile(path.c_str());
        const std::size_t total = allocations_since_armed();
        fail_allocation(0);
        const std::string x = take("x"), written = contents(out);
        take("y");
        const std::vector<std::string> whole = alerts.alerts;
        alerts.alerts.clear();
        const std::size_t heap = heap_in_use();
        const long blocks = blocks_in_use();
        const auto descriptors = [] {
            return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
        };
        const auto open_before = descriptors();
        // Up to a bound on the allocations of all the runs, so that a long run is tried less often.
        constexpr std::size_t first = 100, budget = 40'000'000;
        const std::size_t tries = std::min({total, std::size_t(3000), std::max(first, budget / total)});
        // Alerts that find no room go to the standard error stream.
        testing::internal::CaptureStderr();
        for (std::size_t i = 1; i <= tries; ++i) {
            const std::size_t k = i <= first ? i : first + (i - first) * (total - first) / (tries - first);
            // An existing file is replaced, through its path made whole.
            std::ofstream(out) << "old";
            fail_allocation(k);
            int failed_count = -1;
            const std::string failure = failure_of([&] { failed_count = exec_zem_commandfile(path.c_str()); });
            fail_allocation(0);
            const std::string failed_x = take("x");
            take("y");
            // A statement that failed leaves those before it run.
            const bool ran = failed_count == count ? failed_x == x
                                                   : failed_count == 1 && (failed_x == x || failed_x == "(none)");
            EXPECT_TRUE(failure == "(no failure)" ? ran : failure == run_time("out of memory"))
                << k << ": " << failure << failed_count;
            for (const std::string& alert : alerts.alerts) {
                // A run cut short withholds fewer messages.
                EXPECT_TRUE(std::ranges::find(whole, alert) != whole.end() || alert == run_time("out of memory") ||
                            alert == "OK, resuming main loop" || alert.ends_with(" more messages not shown"))
                    << k << ": " << alert;
            }
            const std::string failed_written = contents(out);
            EXPECT_TRUE(failed_written == written || failed_written == "old") << k << ": " << failed_written.size();
            alerts.alerts.clear();
        }
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(blocks_in_use(), blocks) << text.substr(0, 20);
        EXPECT_EQ(descriptors(), open_before) << text.substr(0, 20);
        if (!address_sanitizer) {
            EXPECT_LE(heap_in_use(), heap + (64 << 10)) << text.substr(0, 20);
        }
    }
#if ZARN_LEAK_CHECK
    EXPECT_EQ(__lsan_do_recoverable_leak_check(), 0);
#endif
}

// A statement of 40000 undefined names has 40000 messages, each a text of its
// own for the front end's store, and one for the vector they make. Where the
// system has no room for the store, the first message fails as out of memory,
// counted once.
TEST_F(command_files, AStatementWhoseMessagesFindNoRoomFailsAsOutOfMemory)
{
    std::string names;
    for (int k = 0; k < 40000; ++k) names += "nameless" + std::to_string(k) + " ";
    const std::string statement = "v = [ " + names + "] ;\n";
    EXPECT_IN_FRESH_PROCESS([&] {
        // The store starts afresh, with no room left over from earlier tests.
        InitMemory();
        InitStringMemory();
        refuse_system_allocations(true);
        const int count = run(statement);
        refuse_system_allocations(false);
        fs::remove_all(dir);
        return count == 1 && alerts.alerts == resuming("out of memory");
    });
    // With room for some hundred texts, the failure comes past the bound on
    // alerts, withheld with the messages: it is written to the error stream.
    EXPECT_IN_FRESH_PROCESS([&] {
        InitMemory();
        InitStringMemory();
        PutString("", 0);
        refuse_system_allocations(true);
        testing::internal::CaptureStderr();
        const int count = run(statement);
        const std::string written = testing::internal::GetCapturedStderr();
        refuse_system_allocations(false);
        fs::remove_all(dir);
        return count == 1 && alerts.alerts.size() == 21u && alerts.alerts.back().ends_with(" more messages not shown") &&
               written.find("run-time exception: out of memory\n") != std::string::npos;
    });
    EXPECT_EQ(run(statement), 40001);
}
