#include <gtest/gtest.h>
#include <memory>

#include "module-main_zarn/config_support.h"
#include "module-main_zarn/main_window.h"
#include "module-main_zarn/startup.h"
#include "module-misc_amulet/widget_support.h"
#include "module-zem_language/exec.h"
#include "support/alert_recorder.h"
#include "support/screenshot.h"

namespace {

int errors_in_file(const char*) { return 2; }
int good_file(const char*) { return 0; }

TEST(Startup, FailuresGoToTheErrorStreamAndStopStartUp)
{
    const struct { commandfile_runner run; bool character_mapping; bool started; const char* error_text; } cases[] = {
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

TEST(MainWindow, OpensAtItsPlaceAndSize)
{
    std::unique_ptr<QWidget> window(create_main_window("zarn"));
    window->show();
    EXPECT_EQ(window->geometry(), QRect(50, 50, 800, 600));
    EXPECT_TRUE(save_screenshot(window.get(), "main_window.png"));
    window.release()->close();
}

}
