#include <QApplication>
#include <gtest/gtest.h>

#include "module-misc_amulet/alerts.h"
#include "module-misc_amulet/view.h"

int main(int argc, char** argv)
{
    // Offscreen unless a platform is chosen: the tests run again on X11 under Xvfb.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    prepare_threads();
    guarded_application app(argc, argv);
    install_views();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
