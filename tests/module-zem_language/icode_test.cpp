#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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
    run_on({run_on({}, new icode_objVar("t_x")).release()}, new icode_objAssign("t_y", tp_int()));
    run_on({str("a")}, new icode_objAssign("t_x", tp_string()));
    const var_symtab::var_symtabelt* x = global_objects.lookup("t_x");
    const var_symtab::var_symtabelt* y = global_objects.lookup("t_y");
    EXPECT_EQ(printed(*x->object) + " " + x->type.text(), "a string");
    EXPECT_EQ(printed(*y->object) + " " + y->type.text(), "3 int");
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
    test_builtin fails("t_fails", "", "", failing_proc, 1, types);
    EXPECT_EQ(printed(*run_on({str("a"), str("b"), str("c")}, new icode_callFunc("t_join3", 3))), "abc");
    auto deletions = std::make_shared<int>(0);
    EXPECT_EQ(failure_of([&] { run_on({new tracked(deletions)}, new icode_callProc("t_fails", 1)); }),
              run_time("procedure failed"));
    EXPECT_EQ(*deletions, 1);
    EXPECT_EQ(failure_of([] { run_on({}, new icode_callProc("t_missing", 0)); }),
              run_time("[icode_callProc] no built-in named 't_missing'"));
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
    std::ostringstream contents;
    contents << std::ifstream(path).rdbuf();
    EXPECT_EQ(contents.str(), "7");

    alert_recorder alerts;
    const std::string missing = (dir / "no such dir" / "out.txt").string();
    run_on({num(7), str(missing.c_str())}, new icode_file);
    EXPECT_EQ(alerts.alerts, std::vector<std::string>{"\ncannot create " + missing});
    EXPECT_EQ(failure_of([] { run_on({str("value"), num(1)}, new icode_file); }),
              run_time("[icode_file] the file name is not a string"));
    std::filesystem::remove_all(dir);
}

TEST(BasicInstructions, IncludeNeedsAnInstalledRunnerAndAStringListItsStrings)
{
    const command_file_runner previous = install_command_file_runner(nullptr);
    EXPECT_EQ(failure_of([] { run_on({str("a.zem")}, new icode_input); }),
              run_time("[icode_input] no command-file runner in this program"));
    install_command_file_runner(previous);
    EXPECT_EQ(failure_of([] { run_on({str("x"), num(1)}, new icode_string_list(2)); }),
              run_time("[icode_string_list] an element is not a string"));
}

}
