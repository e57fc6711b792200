#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

#include "module-main_zarn/main_window.h"
#include "module-main_zarn/startup.h"
#include "module-main_zarn/tensor_checks.h"
#include "module-main_zarn/tensor_request.h"
#include "module-zem_language/exec.h"
#include "module-main_zarn/config_support.h"
#include "module-misc_amulet/widget_support.h"
#include "support/alert_recorder.h"

namespace {

TEST(Startup, ProgramNameIsTheTextAfterTheLastSlash)
{
    const struct {
        const char* path;
        const char* name;
    } cases[] = {{"/usr/bin/zarn", "zarn"}, {"zarn", "zarn"}, {"dir/", ""}, {"a\\b\\zarn", "a\\b\\zarn"}};
    for (const auto& c : cases) EXPECT_EQ(program_name(c.path), c.name);
}

int errors_in_file(const char*) { return 2; }
int good_file(const char*) { return 0; }

TEST(Startup, FailuresGoToTheErrorStreamAndStopStartUp)
{
    const struct {
        commandfile_runner run;
        bool character_mapping;
        bool started;
        const char* error_text;
    } cases[] = {
        {errors_in_file, true, false, "run-time exception: cannot read configuration file\n"},
        {exec_zem_commandfile, true, false,
         "   0,  0: Scanner: cannot open input file\nrun-time exception: scanner failed\n"},
        {good_file, false, false, "configuration error, \"character_table_name_mapping\" is not defined\n"},
        {good_file, true, true, ""},
    };
    for (const auto& c : cases) {
        test_configuration config;
        alert_recorder alerts;
        if (c.character_mapping) config.set_list("character_table_name_mapping", {});
        testing::internal::CaptureStderr();
        EXPECT_EQ(start_up(c.run, "no/such/config"), c.started);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.error_text);
    }
}

// Every entry of the point-group lists under `name` is a class with a list of
// its own or a point group the workbench accepts.
std::string unusable_point_groups(const std::string& name, int dimension)
{
    const var_symtab::var_symtabelt* list = global_objects.lookup(list_name(name, dimension).c_str());
    if (!list) return is_valid_point_group_proc(name, dimension) ? "" : name + " ";
    std::string unusable;
    const auto& strings = static_cast<const ZEM_linkedlist<ZEM_string>&>(*list->object);
    for (const auto* node = strings.head; node && node->next; node = node->next->next)
        unusable += unusable_point_groups(node->next->elt.c_str(), dimension);
    return unusable;
}

TEST(Startup, ShippedConfigurationOffersOnlyUsableChoicesAndAnswersTheCubicRequest)
{
    alert_recorder alerts;
    const std::string path = (std::filesystem::path(__FILE__).parent_path() / "../../data/zarn_config").string();
    ASSERT_TRUE(start_up(exec_zem_commandfile, path.c_str()));
    EXPECT_TRUE(alerts.alerts.empty());
    EXPECT_EQ(group_name_mappings.count(), 3);
    for (int d = 1; d <= 3; ++d) {
        EXPECT_EQ(unusable_point_groups("point_group", d), "") << d;
        const auto& transformations = static_cast<const ZEM_linkedlist<ZEM_string>&>(
            *global_objects.lookup(list_name("basis_transformation", d).c_str())->object);
        for (const auto* node = transformations.head; node; node = node->next->next)
            EXPECT_TRUE(is_valid_transformation_proc(node->elt.c_str(), d)) << node->elt.c_str();
    }
    for (int rank = 1; perm_symmetry_is_active_proc("perm_symmetry", rank); ++rank) {
        const auto& symmetries = static_cast<const ZEM_linkedlist<ZEM_string>&>(
            *global_objects.lookup(list_name("perm_symmetry", rank).c_str())->object);
        for (const auto* node = symmetries.head; node; node = node->next)
            EXPECT_TRUE(is_valid_perm_symmetry_proc(node->elt.c_str(), rank)) << node->elt.c_str();
    }
    EXPECT_EQ(invariant_tensor_request(false, {"m-3m", "(0 1)", "identity", 3, 2}).comment,
              "The point group used was \"m-3m\".\nIts basis was transformed by \"identity\".\n"
              "The number of free parameters is 1.\n\n");
    const ZEM_set<ZEM_string> names = global_objects.all_vars();
    std::unique_ptr<ZEM_iterator_impl<ZEM_string>> name(names.create_iter_at_begin());
    for (; *name; ++*name) global_objects.remove(**name);
}

TEST(MainWindow, ButtonsStandQuitTensorCharacterAboveTheDeck)
{
    std::unique_ptr<QWidget> window(create_main_window("zarn"));
    window->show();
    EXPECT_EQ(window->windowTitle(), "zarn");
    EXPECT_EQ(window->geometry(), QRect(50, 50, 800, 600));
    QAbstractButton* quit = button(window.get(), "Quit");
    QAbstractButton* tensor = button(window.get(), "Tensor");
    QAbstractButton* character = button(window.get(), "Character");
    ASSERT_TRUE(quit && tensor && character);
    EXPECT_LT(quit->x(), tensor->x());
    EXPECT_LT(tensor->x(), character->x());
    EXPECT_LT(quit->y() + quit->height(), main_stacker(window.get())->y());
    EXPECT_EQ(quit->width(), 150);
    window->grab().save("main_window.png");
    window.release()->close();
}

}
