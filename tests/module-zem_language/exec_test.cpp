#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

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
    command_files() : dir(fs::temp_directory_path() / ("zarn_exec_" + std::to_string(::getpid()))) { fs::create_directories(dir); }
    ~command_files() override { fs::remove_all(dir); }

    std::string write(const std::string& name, const std::string& text)
    {
        const fs::path path = dir / name;
        std::ofstream(path) << text;
        return path.string();
    }

    int run(const std::string& text) { return exec_zem_commandfile(write("main.zem", text).c_str()); }

    static std::string value(const char* name)
    {
        const var_symtab::var_symtabelt* entry = global_objects.lookup(name);
        return entry && entry->object ? printed(*entry->object) : "(none)";
    }

    static void forget(std::initializer_list<const char*> names)
    {
        for (const char* name : names) global_objects.remove(name);
    }

    fs::path dir;
    alert_recorder alerts;
};

const std::vector<std::string> resuming(const std::string& failure)
{
    return {run_time(failure), "OK, resuming main loop"};
}

}

TEST_F(command_files, CountsNothingForEmptyFiles)
{
    EXPECT_EQ(run(""), 0);
    EXPECT_EQ(run(";\n;  ;"), 0);
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(command_files, SyntaxErrorAnywhereRunsNoStatement)
{
    forget({"e1"});
    EXPECT_EQ(run("e1 = #1 ;\ne2 = = #2 ;\n"), 1);
    EXPECT_EQ(value("e1"), "(none)");
}

TEST_F(command_files, FailingStatementStopsTheFileAfterItsPredecessorsRan)
{
    forget({"f1", "f3"});
    EXPECT_EQ(run("f1 = #1 ;\nm = matrix ( [ #1 #2 #3 ] [ #4 #5 #6 ] ) ;\n"
                  "f2 = imat_mul ( m m ) ;\nf3 = #3 ;\n"),
              1);
    EXPECT_EQ(value("f1"), "1");
    EXPECT_EQ(value("f3"), "(none)");
    EXPECT_EQ(alerts.alerts, resuming("[operator * (m1, m2)] wrong size"));
}

TEST_F(command_files, LaterStatementsSeeEarlierAssignments)
{
    forget({"s1", "s2"});
    const fs::path written = dir / "s2.txt";
    EXPECT_EQ(run("s1 = #3 ;\ns2 = s1 ;\nfile ( s2 \"" + written.string() + "\" ) ;\n"), 0);
    EXPECT_EQ(value("s2"), "3");
    std::ifstream in(written);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "3");
}

TEST_F(command_files, IncludedFilesRunWithCountsOfTheirOwn)
{
    forget({"i1", "i2", "i3", "i4"});
    write("failing.zem", "i1 = #1 ;\ni2 = matrix_determinant ( matrix ( [ 1 2 ] ) ) ;\n");
    EXPECT_EQ(run("include ( \"" + (dir / "failing.zem").string() + "\" ) ;\ni3 = #3 ;\n"), 0);
    EXPECT_EQ(value("i1"), "1");
    EXPECT_EQ(value("i3"), "3");
    EXPECT_EQ(alerts.alerts, resuming("determinant: rows != columns"));

    alerts.alerts.clear();
    EXPECT_EQ(run("include ( \"" + (dir / "missing.zem").string() + "\" ) ;\ni4 = #4 ;\n"), 1);
    EXPECT_EQ(value("i4"), "(none)");
    EXPECT_EQ(alerts.alerts, resuming("scanner failed"));

    EXPECT_EQ(failure_of([&] { exec_zem_commandfile((dir / "missing.zem").c_str()); }), run_time("scanner failed"));
}

// Each include runs a file that has been parsed whole, so nothing in the
// scanner stops a file from including itself; the nesting limit does.
TEST_F(command_files, SelfInclusionStopsAtTheNestingLimit)
{
    const std::string path = write("self.zem", "");
    write("self.zem", "include ( \"" + path + "\" ) ;\n");
    EXPECT_EQ(exec_zem_commandfile(path.c_str()), 0);
    EXPECT_EQ(alerts.alerts, resuming("[exec_zem_commandfile] too many nested include files"));
}

TEST_F(command_files, ExitEndsTheProgramBeforeLaterStatements)
{
    const fs::path after = dir / "after.txt";
    const std::string path =
        write("exit.zem", "exit ( ) ;\nfile ( #1 \"" + after.string() + "\" ) ;\n");
    EXPECT_EXIT(exec_zem_commandfile(path.c_str()), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(fs::exists(after));
}

TEST_F(command_files, BuiltinsRunOnLiterals)
{
    forget({"w", "row", "ones"});
    EXPECT_EQ(run("w = word ( \"a1B\" ) ;\n"
                  "t = character_table ( \"1a\" \"2a\" | #1 #1 | #1 #2 | "
                  "cyclotomic ( 1 | #0 | #1 ) cyclotomic ( 1 | #0 | #1 ) "
                  "cyclotomic ( 1 | #0 | #1 ) cyclotomic ( -1 | #0 | #1 ) | { #1 } { #1 } | "
                  "cyclotomic ( 1 | #0 | #1 ) cyclotomic ( 1 | #0 | #1 ) | "
                  "cyclotomic ( 2 | #0 | #1 ) cyclotomic ( 0 | #0 | #1 ) ) ;\n"
                  "row = chartab_row ( t #2 ) ;\nones = character_power ( t row #0 ) ;\n"),
              0);
    EXPECT_EQ(value("w"), "word(a?B)");
    EXPECT_EQ(value("row"), "character(1 -1)");
    EXPECT_EQ(value("ones"), "character(1 1)");
}
