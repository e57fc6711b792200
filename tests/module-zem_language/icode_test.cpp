#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "module-collections/linkedlist.h"
#include "module-zem_language/icode.h"
#include "module-zem_language/symtab.h"
#include "module-zem_language/vm_support.h"
#include "support/alert_recorder.h"
#include "support/failure.h"
#include "support/printed.h"

namespace {

TEST(BasicInstructions, AssignmentKeepsACopyAndReplacesValueAndType)
{
    run_on({num(3)}, new icode_objAssign("t_x", tp_int()));
    run_on({}, new icode_objVar("t_x"));
    run_on({run_on({}, new icode_objVar("t_x")).release()}, new icode_objAssign("t_y", tp_int()));
    run_on({str("a")}, new icode_objAssign("t_x", tp_string()));
    const var_symtab::var_symtabelt* x = global_objects.lookup("t_x");
    const var_symtab::var_symtabelt* y = global_objects.lookup("t_y");
    EXPECT_EQ(printed(*x->object) + " " + x->type.text(), "a string");
    EXPECT_EQ(printed(*y->object) + " " + y->type.text(), "3 int");
    EXPECT_EQ(failure_of([] { run_on({}, new icode_objVar("t_none")); }),
              run_time("[icode_objVar] variable 't_none' has no value"));
    global_objects.remove("t_x");
    global_objects.remove("t_y");
}

ZEM_object* join_args(int n, const ZEM_object** args)
{
    std::string joined;
    for (int k = 0; k < n; ++k) joined += static_cast<const ZEM_string*>(args[k])->c_str();
    return new ZEM_string(joined.c_str());
}

void failing_proc(int, const ZEM_object**) { _zem_error_("test", 0, "procedure failed"); }

TEST(BasicInstructions, CallsTakeTheFirstArgumentFromTheTopAndFreeTheirArguments)
{
    const ZEM_type types[] = {tp_string(), tp_string(), tp_string()};
    test_builtin join3("t_join3", "", "", join_args, name_untitled, tp_string(), 3, types);
    test_builtin join0("t_join0", "", "", join_args, name_untitled, tp_string(), 0, types);
    test_builtin fails("t_fails", "", "", failing_proc, 1, types);
    int data = 0;
    global_functions.add("t_user", &data);

    EXPECT_EQ(printed(*run_on({str("a"), str("b"), str("c")}, new icode_callFunc("t_join3", 3))), "abc");
    EXPECT_EQ(printed(*run_on({}, new icode_callFunc("t_join0", 0))), "");
    auto deletions = std::make_shared<int>(0);
    EXPECT_EQ(failure_of([&] { run_on({new tracked(deletions)}, new icode_callProc("t_fails", 1)); }),
              run_time("procedure failed"));
    EXPECT_EQ(*deletions, 1);
    EXPECT_EQ(failure_of([] { run_on({}, new icode_callFunc("t_user", 0)); }),
              run_time("user defined functions not implemented (yet)"));
    EXPECT_EQ(failure_of([] { run_on({}, new icode_callProc("t_missing", 0)); }),
              run_time("[icode_callProc] no built-in named 't_missing'"));
    global_functions.remove("t_user");
}

std::string contents(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(BasicInstructions, FileWritesThePrintedFormOnlyAndAnUnwritablePathOnlyAlerts)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path()
                                      / ("zarn_icode_file_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "out.txt").string();
    const mode_t old_mask = ::umask(0);
    run_on({str("a longer value"), str(path.c_str())}, new icode_file);
    ::umask(old_mask);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0664));
    run_on({num(7), str(path.c_str())}, new icode_file);
    EXPECT_EQ(contents(path), "7");

    alert_recorder alerts;
    const std::string missing = (dir / "no such dir" / "out.txt").string();
    run_on({num(7), str(missing.c_str())}, new icode_file);
    EXPECT_EQ(alerts.alerts, std::vector<std::string>{"\ncannot create " + missing});
    EXPECT_EQ(failure_of([] { run_on({str("value"), num(1)}, new icode_file); }),
              run_time("[icode_file] the file name is not a string"));
    std::filesystem::remove_all(dir);
}

std::vector<std::string> runs;

int recording_runner(const char* path)
{
    runs.push_back(path);
    return 5;
}

TEST(BasicInstructions, IncludeRunsTheNamedFileThroughTheInstalledRunner)
{
    const command_file_runner previous = install_command_file_runner(nullptr);
    EXPECT_EQ(failure_of([] { run_on({str("a.zem")}, new icode_input); }),
              run_time("[icode_input] no command-file runner in this program"));
    install_command_file_runner(recording_runner);
    run_on({str("~/a.zem")}, new icode_input);
    EXPECT_EQ(runs, std::vector<std::string>{"~/a.zem"});
    EXPECT_EQ(failure_of([] { run_on({num(1)}, new icode_input); }),
              run_time("[icode_input] the file name is not a string"));
    install_command_file_runner(previous);
}

TEST(BasicInstructions, AStringListKeepsTheOrderWritten)
{
    EXPECT_EQ(printed(*run_on({}, new icode_string_list(0))), "linkedlist<string>(\n)\n");
    popped_value list = run_on({str("x"), str("y"), str("z")}, new icode_string_list(3));
    EXPECT_EQ(static_cast<ZEM_linkedlist<ZEM_string>&>(*list).head->elt, ZEM_string("x"));
    EXPECT_EQ(printed(*list), "linkedlist<string>(\n1: x\n2: y\n3: z\n)\n");
    EXPECT_EQ(failure_of([] { run_on({str("x"), num(1)}, new icode_string_list(2)); }),
              run_time("[icode_string_list] an element is not a string"));
}

}
