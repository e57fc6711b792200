#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>

#include "module-main_zarn/main_window.h"
#include "module-main_zarn/workbench_config.h"
#include "module-misc_amulet/widget_support.h"
#include "module-misc_amulet/wrapper.h"
#include "support/alert_recorder.h"

namespace {

TEST(TensorWorkbench, Probe)
{
    workbench_configuration config;
    std::unique_ptr<QWidget> main(create_main_window("zarn"));
    button(main.get(), "Tensor")->click();
    QWidget* bench = windows_titled("Tensor").value(0);
    ASSERT_TRUE(bench);
    bench->findChild<QLineEdit*>("point group")->setText("m-3m");
    bench->findChild<QLineEdit*>("perm symmetry")->setText("(0 1)");
    bench->findChild<QLineEdit*>("basis transformation")->setText("identity");
    button(bench, "Tensor")->click();
    auto* deck = main_stacker(main.get())->findChild<QStackedWidget*>();
    std::cerr << lines(deck->currentWidget()).join("|").toStdString() << "\n";
    std::cerr << printed(Am_ZEM_object(deck->currentWidget()->property(ZEM_OBJECT)).value());
    bench->grab().save("tensor_workbench.png");
    close_all_windows();
}

}
