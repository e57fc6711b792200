#include <QApplication>
#include <gtest/gtest.h>
#include <unistd.h>

#include "module-main_zarn/startup.h"
#include "module-misc_amulet/alerts.h"
#include "module-misc_amulet/view.h"
#include "support/start_up_check.h"

int main(int argc, char** argv)
{
    // Offscreen unless a platform is chosen: the tests run again on X11 under Xvfb.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsSet(start_up_check)) {
        ::alarm(60);
        return zarn_main(argc, argv, check_start_up);
    }
    prepare_threads();
    guarded_application app(argc, argv);
    install_views();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
