#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "module-tensor/tensor.h"
#include "module-zem_language/exec.h"
#include "module-zem_language/symtab.h"
#include "support/alert_recorder.h"
#include "support/failure.h"
#include "support/printed.h"

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
    std::string quoted(const std::string& name) const
    {
        std::string text = (dir / name).string();
        return text.insert(0, 1, '"') + '"';
    }

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

std::vector<std::string> resuming(const std::string& failure) { return {run_time(failure), "OK, resuming main loop"}; }

}

TEST_F(command_files, CountSyntaxErrorsElseTheFirstFailureAndRunNothingAfterIt)
{
    EXPECT_EQ(run(""), 0);
    EXPECT_EQ(run(";\n;  ;"), 0);
    EXPECT_TRUE(alerts.alerts.empty());

    EXPECT_EQ(run("e1 = #1 ;\ne2 = = #2 ;\n"), 1);
    EXPECT_EQ(take("e1"), "(none)");
    EXPECT_EQ(run("file ( u1 u2 ) ;\ne3 = #3 ;\n"), 2);
    EXPECT_EQ(take("e3"), "(none)");
    alerts.alerts.clear();

    EXPECT_EQ(run("f1 = #1 ;\nf2 = imat_mul ( matrix ( [ #1 #2 ] ) matrix ( [ #1 #2 ] ) ) ;\nf3 = #3 ;\n"), 1);
    EXPECT_EQ(take("f1"), "int 1");
    EXPECT_EQ(take("f3"), "(none)");
    EXPECT_EQ(alerts.alerts, resuming("[operator * (m1, m2)] wrong size"));
}

TEST_F(command_files, LiteralsAndStatementsRunInSourceOrder)
{
    const std::pair<const char*, const char*> literals[] = {
        {"4", "fraction 4"},
        {"#4", "int 4"},
        {"6/4", "fraction 3/2"},
        {"6/-4", "fraction -3/2"},
        {"0/5", "fraction 0"},
        {"2.5", "real 2.5"},
        {"[ #1 #2 #3 ]", "vector<int> vector<int>(1  2  3)\n"},
        {"{ \"a\" \"b\" }", "linkedlist<string> linkedlist<string>(\n1: a\n2: b\n)\n"},
    };
    for (const auto& [literal, value] : literals) {
        EXPECT_EQ(run(std::string("x = ") + literal + " ;\n"), 0) << literal;
        EXPECT_EQ(take("x"), value);
    }
    EXPECT_EQ(run("x = 1/0 ;\n"), 1);
    EXPECT_EQ(alerts.alerts, resuming("[ZEM_fraction::simple_fraction] denominator == 0"));

    // A later statement sees the earlier one's variable; `file` writes the value, not the name.
    EXPECT_EQ(run("s1 = #3 ;\ns2 = s1 ;\nfile ( s2 " + quoted("s2.txt") + " ) ;\n"), 0);
    EXPECT_EQ(take("s2"), "int 3");
    std::ifstream in(dir / "s2.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "3");

    // Of two entries for one component the later wins.
    EXPECT_EQ(run("t = tensor ( #2 #2 \"0 1\" | ( #0 #1 = 5 ) ( #0 #1 = 7 ) ) ;\n"), 0);
    EXPECT_EQ(printed(static_cast<const ZEM_tensor<ZEM_fraction>&>(*global_objects.lookup("t")->object).values()[1]),
              "7");
}

// Without values, or with values of mixed types, a tensor literal has no
// element type: a counted failure rather than a variable of type tensor<void>.
TEST_F(command_files, TensorWithoutOneValueTypeFails)
{
    for (const char* values : {"", "( #0 = 1 ) ( #1 = #1 )"}) {
        alerts.alerts.clear();
        EXPECT_EQ(run(std::string("bad = tensor ( #2 #1 \"0\" | ") + values + " ) ;\n"), 1);
        EXPECT_EQ(take("bad"), "(none)");
        EXPECT_EQ(alerts.alerts, resuming("[gen_i_code] the values of a tensor should all have one type: int, real, "
                                          "fraction or cyclotomic"));
    }
}

TEST_F(command_files, IncludedFilesKeepTheirCountsButNotTheirVariables)
{
    write("failing.zem", "i1 = #1 ;\ni2 = matrix_determinant ( matrix ( [ 1 2 ] ) ) ;\n");
    EXPECT_EQ(run("include ( " + quoted("failing.zem") + " ) ;\ni3 = #3 ;\n"), 0);
    EXPECT_EQ(take("i1"), "int 1");
    EXPECT_EQ(take("i3"), "int 3");
    EXPECT_EQ(alerts.alerts, resuming("determinant: rows != columns"));

    alerts.alerts.clear();
    EXPECT_EQ(run("include ( " + quoted("missing.zem") + " ) ;\ni4 = #4 ;\n"), 1);
    EXPECT_EQ(take("i4"), "(none)");
    EXPECT_EQ(alerts.alerts, resuming("scanner failed"));
    EXPECT_EQ(failure_of([&] { exec_zem_commandfile((dir / "missing.zem").c_str()); }), run_time("scanner failed"));
}

// Each include runs a file already parsed whole, so the scanner's own limit on
// nested files never stops a file that includes itself; the runner's does.
TEST_F(command_files, SelfInclusionStopsAtTheNestingLimit)
{
    const std::string path = write("self.zem", "include ( " + quoted("self.zem") + " ) ;\n");
    EXPECT_EQ(exec_zem_commandfile(path.c_str()), 0);
    EXPECT_EQ(alerts.alerts, resuming("[exec_zem_commandfile] too many nested include files"));
}

TEST_F(command_files, ExitEndsTheProgramBeforeLaterStatements)
{
    const std::string path = write("exit.zem", "exit ( ) ;\nfile ( #1 " + quoted("after.txt") + " ) ;\n");
    EXPECT_EXIT(exec_zem_commandfile(path.c_str()), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(fs::exists(dir / "after.txt"));
}

TEST_F(command_files, BuiltinsRunOnLiterals)
{
    const char* one = "cyclotomic ( 1 | #0 | #1 ) ";
    const std::string table = std::string("t = character_table ( \"1a\" \"2a\" | #1 #1 | #1 #2 | ") + one + one + one +
                              "cyclotomic ( -1 | #0 | #1 ) | { #1 } { #1 } | " + one + one + "| " + one + one + ") ;\n";
    EXPECT_EQ(run("w = word ( \"a1B\" ) ;\n" + table + "row = chartab_row ( t #2 ) ;\n"
                  "ones = character_power ( t row #0 ) ;\n"),
              0);
    EXPECT_EQ(take("w"), "word word(a?B)");
    EXPECT_EQ(take("row"), "character character(1 -1)");
    EXPECT_EQ(take("ones"), "character character(1 1)");
}
