#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <gtest/gtest.h>
#include <memory>

#include "module-main_zarn/main_window.h"
#include "module-main_zarn/workbench_config.h"
#include "module-misc_amulet/widget_support.h"
#include "module-misc_amulet/wrapper.h"
#include "support/alert_recorder.h"

namespace {

// A main window and one tensor workbench opened from it, on the test configuration.
struct workbench_under_test {
    workbench_configuration config;
    std::unique_ptr<QWidget> main{create_main_window("zarn")};
    QWidget* bench = open();
    QStackedWidget* deck = main_stacker(main.get())->findChild<QStackedWidget*>();

    // Closing deletes the workbench and the windows it opened.
    ~workbench_under_test()
    {
        for (auto* window : QApplication::topLevelWidgets())
            if (window->isVisible()) window->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QWidget* open()
    {
        button(main.get(), "Tensor")->click();
        return window_titled("Tensor");
    }
    QLineEdit* input(const char* name) const { return bench->findChild<QLineEdit*>(name); }
    QSpinBox* number(const char* name) const { return bench->findChild<QSpinBox*>(name); }
    void fill(int dimension, int rank, const char* group, const char* symmetry, const char* transformation)
    {
        number("dimension")->setValue(dimension);
        number("rank")->setValue(rank);
        input("point group")->setText(group);
        input("perm symmetry")->setText(symmetry);
        input("basis transformation")->setText(transformation);
    }
    void press(const char* label) { button(bench, label)->click(); }
    // Validity of the three inputs (checked against their colour), then which
    // of the five switched buttons are active.
    std::string state() const
    {
        std::string text;
        for (const char* name : {"point group", "perm symmetry", "basis transformation"}) {
            const bool valid = input(name)->property("CONTAINS_VALID_VALUE").toBool();
            const QColor base = input(name)->palette().color(QPalette::Base);
            text += base == (valid ? QColor(Qt::white) : QColor(Qt::red)) ? (valid ? "1" : "0") : "?";
        }
        text += " ";
        for (const char* label :
             {"View point group", "Perm. symmetry", "Basis transformation", "Tensor", "Pseudo tensor"})
            text += button(bench, label)->isEnabled() ? "1" : "0";
        return text;
    }
};

TEST(TensorWorkbench, CubicRank2GivesOneParameterOnTheDiagonal)
{
    workbench_under_test w;
    ASSERT_TRUE(w.bench);
    EXPECT_EQ(w.bench->geometry().topLeft(), QPoint(100, 100));
    EXPECT_EQ(button(w.bench, "Tensor")->width(), 185);
    w.fill(3, 2, "m-3m", "(0 1)", "identity");
    w.bench->grab().save("tensor_workbench.png");
    w.press("Tensor");
    ASSERT_EQ(w.deck->count(), 1);
    const QStringList shown = lines(w.deck->currentWidget());
    EXPECT_EQ(shown.mid(0, 4),
              QStringList({"The point group used was \"m-3m\".", "Its basis was transformed by \"identity\".",
                           "The number of free parameters is 1.", ""}));
    const auto* tensor = dynamic_cast<const ZEM_tensor<fraction_symbolic>*>(
        &Am_ZEM_object(w.deck->currentWidget()->property(ZEM_OBJECT)).value());
    ASSERT_TRUE(tensor);
    std::string components;
    for (int k = 0; k < 9; ++k) components += printed(tensor->values()[k]) + " ";
    EXPECT_EQ(components, "a 0 0 0 a 0 0 0 a ");
    w.main->resize(800, 600);
    w.main->grab().save("main_window_with_result.png");

    w.press("View point group");
    EXPECT_TRUE(window_titled("m-3m"));
    w.press("Tensor");
    w.press("Close");
    EXPECT_EQ(w.deck->count(), 2);
}

TEST(TensorWorkbench, InputsTurnRedOrWhiteAndSwitchTheButtons)
{
    const struct {
        int dimension, rank;
        const char *group, *symmetry, *transformation, *state;
    } cases[] = {
        {3, 2, "", "", "", "000 01100"},
        {3, 2, "m-3m", "(0 1)", "identity", "111 11111"},
        {3, 3, "m-3m", "(0 1)", "identity", "101 10100"},
        {3, 3, "m-3m cycl", "(0 1) 2", "cyclo", "111 10111"},
        {2, 2, "m-3m", "(0 1)", "identity", "010 01100"},
        {3, 2, "matrix", "0 1 1", "flat", "000 01100"},
        {3, 2, "ghost", "1 2", "minus", "001 01100"},
        {3, 2, "M-3M", "[0 1]", "identity ", "010 01100"},
    };
    workbench_under_test w;
    for (const auto& c : cases) {
        w.fill(c.dimension, c.rank, c.group, c.symmetry, c.transformation);
        EXPECT_EQ(w.state(), c.state) << c.group << " / " << c.symmetry << " / " << c.transformation;
    }
}

TEST(TensorWorkbench, NestedChoosersFillTheInputsAndCancelClosesOneLevel)
{
    const struct {
        const char* chooser;
        std::vector<int> choices;
        const char *input, *text, *popup;
        int popups;
    } cases[] = {
        {"Point group", {0, 0}, "point group", "m-3m", "? point group", 2},
        {"Point group", {0, 1}, "point group", "m-3m frac", "? point group", 2},
        {"Point group", {0, 2, 2}, "point group", "", "? point group", 3},
        {"Point group", {0, 2, 1, 0}, "point group", "1", "? point group", 4},
        {"Basis transformation", {1}, "basis transformation", "minus", "? Basis transformation", 1},
        // The dangling label "odd" is no entry: 2 is "cancel".
        {"Basis transformation", {2, 0}, "basis transformation", "", "? Basis transformation", 1},
        {"Perm. symmetry", {1}, "perm symmetry", "(0 1)", "? Permutation symmetry", 1},
        {"Perm. symmetry", {}, "perm symmetry", "", "? Permutation symmetry", 1},
    };
    for (const auto& c : cases) {
        workbench_under_test w;
        alert_recorder alerts;
        alerts.choices.assign(c.choices.begin(), c.choices.end());
        w.press(c.chooser);
        EXPECT_EQ(w.input(c.input)->text(), c.text) << c.chooser << c.choices.size();
        EXPECT_EQ(alerts.alerts, std::vector<std::string>(std::size_t(c.popups), c.popup)) << c.chooser;
    }
}

TEST(TensorWorkbench, FailuresBeepShowTheirTextAndAddNothing)
{
    const struct {
        int dimension, rank;
        const char *symmetry, *button, *alert;
    } cases[] = {
        {3, 3, "(0 (1 2))", "Tensor", "run-time exception: [permswap] |swap1| not eq. to |swap2|\n"},
        {2, 2, "0 1", "Point group",
         "configuration error, \"point_group_2\" should be of type linkedlist<string> or group<matrix<int / fraction / "
         "cyclotomic>>"},
    };
    for (const auto& c : cases) {
        workbench_under_test w;
        alert_recorder alerts;
        w.fill(c.dimension, c.rank, "m-3m", c.symmetry, "identity");
        w.press(c.button);
        EXPECT_EQ(alerts.alerts, (std::vector<std::string>{"(beep)", c.alert}));
        EXPECT_EQ(w.deck->count(), 0);
        EXPECT_EQ(w.input("point group")->text(), "m-3m");
        EXPECT_TRUE(w.bench->isVisible());
    }
}

}
