#include <QLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>

#include "module-main_zarn/main_window.h"
#include "module-main_zarn/tensor_checks.h"
#include "module-main_zarn/tensorprog.h"
#include "module-main_zarn/workbench_config.h"
#include "module-misc_amulet/stacker.h"
#include "module-misc_amulet/view.h"
#include "module-misc_amulet/widget_support.h"
#include "support/alert_recorder.h"
#include "support/failure.h"
#include "support/memory_limit.h"
#include "support/screenshot.h"

namespace {

// A main window and one tensor workbench opened from it, on the test configuration.
struct workbench_under_test {
    workbench_configuration config;
    std::unique_ptr<QWidget> main{create_main_window("zarn")};
    QWidget* bench = (button(main.get(), "Tensor")->click(), window_titled("Tensor"));

    // Closing deletes the workbench and the windows it opened.
    ~workbench_under_test() { close_windows(); }

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
    int pages() const { return main_stacker(main.get())->findChild<QStackedWidget*>()->count(); }
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

// The result's text is checked, byte for byte, by the whole sessions.
TEST(TensorWorkbench, ScreenshotsBeforeAndAfterARequestAndCloseKeepsTheDeck)
{
    workbench_under_test w;
    ASSERT_TRUE(w.bench);
    EXPECT_EQ(w.bench->geometry().topLeft(), QPoint(100, 100));
    w.fill(3, 2, "m-3m", "(0 1)", "identity");
    EXPECT_TRUE(save_screenshot(w.bench, "tensor_workbench.png"));
    w.press("Tensor");
    w.main->resize(800, 600);
    EXPECT_TRUE(save_screenshot(w.main.get(), "main_window_with_result.png"));
    w.press("View point group");
    EXPECT_TRUE(window_titled("m-3m"));
    const QPointer<QWidget> bench = w.bench;
    w.press("Close");
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(bench);
    EXPECT_EQ(w.pages(), 1);
}

// Each formula as its widget holds it: the checks read the text and the number
// input the slot keys name; the colour and the activity read only the validity
// the inputs hold, whatever their text.
TEST(TensorWorkbench, TheFormulasReadTheirInputsThroughTheSlotKeysOfTheirWidget)
{
    workbench_under_test w;
    QAbstractButton* tensor = button(w.bench, "Tensor");
    const QObject* perm = button(w.bench, "Perm. symmetry");
    const QObject* transformation = button(w.bench, "Basis transformation");
    QLineEdit* inputs[] = {partner<QLineEdit>(*tensor, POINT_GROUP_TEXT_EDITOR),
                           partner<QLineEdit>(*tensor, PERM_SYMMETRY_EDITOR),
                           partner<QLineEdit>(*tensor, TRANSFORMATION_TEXT_EDITOR)};
    ASSERT_EQ(inputs[0], w.input("point group"));
    ASSERT_EQ(inputs[1], w.input("perm symmetry"));
    ASSERT_EQ(inputs[2], w.input("basis transformation"));
    const struct { int dimension, rank; const char *group, *symmetry, *transformation, *values; } cases[] = {
        {3, 2, "m-3m", "(0 1)", "identity", "111 11"},
        {3, 3, "m-3m cycl", "(0 1) 2", "cyclo", "111 01"},
        {2, 2, "m-3m", "(0 1)", "identity", "010 11"},
        {3, 2, "matrix", "0 1 1", "flat", "000 11"},
        {3, 2, "ghost", "1 2", "minus", "001 11"},
    };
    for (const auto& c : cases) {
        w.fill(c.dimension, c.rank, c.group, c.symmetry, c.transformation);
        std::string values;
        for (bool value : {is_valid_point_group_proc(*inputs[0]), is_valid_perm_symmetry_proc(*inputs[1]),
                           is_valid_transformation_proc(*inputs[2])})
            values += value ? "1" : "0";
        values += " ";
        for (bool value : {perm_symmetry_is_active_proc(*perm), transformation_is_active_proc(*transformation)})
            values += value ? "1" : "0";
        EXPECT_EQ(values, c.values) << c.group << " / " << c.symmetry << " / " << c.transformation;
    }
    for (int valid = 0; valid < 8; ++valid) {
        for (int k = 0; k < 3; ++k) inputs[k]->setProperty(CONTAINS_VALID_VALUE, bool(valid >> k & 1));
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(color_of_text_editor_proc(*inputs[k]), valid >> k & 1 ? QColor(Qt::white) : QColor(Qt::red));
        EXPECT_EQ(view_is_active_proc(*button(w.bench, "View point group")), bool(valid & 1));
        EXPECT_EQ(execute_is_active_proc(*tensor), valid == 7);
        EXPECT_EQ(execute_is_active_proc(*button(w.bench, "Pseudo tensor")), valid == 7);
    }
}

// Every button and input is half the row wide, less the spacing, whichever
// way the window's width goes; the height stays that of the contents, also
// when more is asked for.
TEST(TensorWorkbench, ButtonsAndInputsFollowTheWindowsWidthBothWays)
{
    workbench_under_test w;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w.bench));
    const int height = w.bench->height();
    EXPECT_EQ(height, w.bench->layout()->sizeHint().height());
    QList<QWidget*> parts;
    for (auto* b : w.bench->findChildren<QAbstractButton*>()) parts << b;
    for (const char* name : {"point group", "perm symmetry", "basis transformation"}) parts << w.input(name);
    for (const char* name : {"dimension", "rank"}) parts << w.number(name)->parentWidget();
    // Each width, asked for with the same height or 300 pixels more.
    for (const QSize asked : {QSize(400, 0), QSize(1600, 300), QSize(800, 0), QSize(400, 300)}) {
        const int width = asked.width();
        w.bench->resize(width, height + asked.height());
        const auto follows = [&] {
            return w.bench->width() == width &&
                   std::all_of(parts.begin(), parts.end(), [&](QWidget* p) { return p->width() == width / 2 - 15; });
        };
        EXPECT_TRUE(QTest::qWaitFor(follows, 2000)) << width << ": " << w.bench->width() << " wide, "
                                                    << button(w.bench, "Close")->width() << " the last button";
        EXPECT_EQ(w.bench->height(), height);
        if (width == 1600) {
            EXPECT_TRUE(save_screenshot(w.bench, "tensor_workbench_wide.png"));
        }
    }
}

TEST(TensorWorkbench, InputsTurnRedOrWhiteAndSwitchTheButtons)
{
    const struct { int dimension, rank; const char *group, *symmetry, *transformation, *state; } cases[] = {
        {3, 2, "", "", "", "000 01100"},
        {3, 2, "m-3m", "(0 1)", "identity", "111 11111"},
        {3, 2, "m-3m", "(0 1)", "gone", "110 11100"},
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

// A failing request is checked by the whole sessions; a configuration fault here.
TEST(TensorWorkbench, AConfigurationFaultBeepsShowsItsTextAndAddsNothing)
{
    workbench_under_test w;
    alert_recorder alerts;
    w.fill(2, 2, "m-3m", "0 1", "identity");
    w.press("Point group");
    EXPECT_EQ(alerts.alerts,
              (std::vector<std::string>{"(beep)", "configuration error, \"point_group_2\" should be of type "
                                                  "linkedlist<string> or group<matrix<int / fraction / cyclotomic>>"}));
    EXPECT_EQ(w.input("point group")->text(), "m-3m");
    EXPECT_TRUE(w.bench->isVisible());
}

// "cancel" and a close through the frame (no answer left) end only their own
// pop-up; a choice writes into the input and ends every open one. Each input
// keeps what the case before chose until a choice replaces it.
TEST(TensorWorkbench, ChoosersCancelOneLevelAndAChoiceEndsThemAll)
{
    workbench_under_test w;
    alert_recorder alerts;
    for (const char* list : {"basis_transformation_3", "perm_symmetry_2"}) global_objects.remove(list);
    w.config.set_list("basis_transformation_3", {"unknown", "x", "minus", "m"});
    w.config.set_list("perm_symmetry_2", {"0 1", " (0 1) "});
    const struct { const char *button, *input, *title; std::deque<int> choices; const char* text; int pop_ups; }
        cases[] = {
            // cubic, cancel; triclinic, "1".
            {"Point group", "point group", "point group", {0, 1, 1, 0}, "1", 4},
            // triclinic, closed; closed.
            {"Point group", "point group", "point group", {1}, "1", 3},
            // A label the mapping lacks keeps its pop-up open.
            {"Basis transformation", "basis transformation", "Basis transformation", {0, 2}, "", 2},
            {"Basis transformation", "basis transformation", "Basis transformation", {0, 1}, "minus", 2},
            {"Perm. symmetry", "perm symmetry", "Permutation symmetry", {1}, " (0 1) ", 1},
            {"Perm. symmetry", "perm symmetry", "Permutation symmetry", {2}, " (0 1) ", 1},
        };
    for (const auto& c : cases) {
        alerts.alerts.clear();
        alerts.choices = c.choices;
        w.press(c.button);
        EXPECT_EQ(w.input(c.input)->text().toStdString(), c.text) << c.button;
        EXPECT_EQ(alerts.alerts, std::vector<std::string>(std::size_t(c.pop_ups), std::string("? ") + c.title))
            << c.button;
    }
}

// The override cursor's shape, -1 for none.
int cursor_now()
{
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor ? cursor->shape() : -1;
}

std::vector<int> cursors_seen;

QWidget* view_noting_the_cursor(const ZEM_object& value)
{
    cursors_seen.push_back(cursor_now());
    return generic_view(value);
}

struct alerts_noting_the_cursor : alert_recorder {
    void show_alert(const std::string& text) override
    {
        cursors_seen.push_back(cursor_now());
        alert_recorder::show_alert(text);
    }
};

TEST(TensorWorkbench, ARequestRunsUnderTheWaitCursorAndAFailureIsShownWithoutIt)
{
    workbench_under_test w;
    alerts_noting_the_cursor alerts;
    const view_factory previous = install_view_factory(view_noting_the_cursor);
    cursors_seen.clear();
    w.fill(3, 2, "m-3m", "(0 1)", "identity");
    w.press("Tensor");
    w.fill(3, 3, "m-3m", "(0 (1 2))", "identity");
    w.press("Tensor");
    install_view_factory(previous);
    // The page's comment and value are made inside the request.
    EXPECT_EQ(cursors_seen, (std::vector<int>{Qt::WaitCursor, Qt::WaitCursor, -1}));
    EXPECT_EQ(cursor_now(), -1);
    EXPECT_EQ(alerts.alerts,
              (std::vector<std::string>{"(beep)", "run-time exception: [permswap] |swap1| not eq. to |swap2|\n"}));
}

// Notes the cursor whenever a check has judged an input.
struct cursor_at_checks : QObject {
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::DynamicPropertyChange) cursors_seen.push_back(cursor_now());
        return false;
    }
};

TEST(TensorWorkbench, InputChecksLeaveTheCursorAloneWhileAButtonShowsTheWaitCursor)
{
    workbench_under_test w;
    cursor_at_checks checks;
    for (const char* name : {"point group", "perm symmetry", "basis transformation"})
        w.input(name)->installEventFilter(&checks);
    const view_factory previous = install_view_factory(view_noting_the_cursor);
    cursors_seen.clear();
    // Each input turns valid once; a step of the rank, then of the dimension,
    // down and back up turns inputs red and white again.
    QTest::keyClicks(w.input("point group"), "m-3m");
    QTest::keyClicks(w.input("perm symmetry"), "(0 1)");
    w.input("basis transformation")->setText("identity");
    for (QSpinBox* number : {w.number("rank"), w.number("dimension")}) {
        number->stepDown();
        number->stepUp();
    }
    EXPECT_EQ(cursors_seen, std::vector<int>(3 + 2 + 4, -1));
    cursors_seen.clear();
    w.press("Tensor");
    install_view_factory(previous);
    EXPECT_EQ(cursors_seen, (std::vector<int>{Qt::WaitCursor, Qt::WaitCursor}));
}

// The procs as the commands call them: the inputs are read at the call, and
// the result goes to the command's deck, or a failure adds nothing.
TEST(TensorWorkbench, TheRequestProcsAddTheirResultToTheCommandsDeckOrFailAndAddNothing)
{
    workbench_configuration config;
    std::unique_ptr<QWidget> deck{create_stacker()};
    QLineEdit group, symmetry, transformation;
    QSpinBox rank, dimension;
    const execute_command command{&group, &symmetry, &transformation, &rank, &dimension, deck.get()};
    group.setText("m-3m"), symmetry.setText("(0 1)"), transformation.setText("minus");
    rank.setValue(2), dimension.setValue(3);
    do_execute_tensor_proc(command);
    // Inversion leaves no invariant pseudo-tensor of even rank.
    do_execute_pseudo_tensor_proc(command);
    dimension.setValue(0);
    EXPECT_EQ(failure_of([&] { do_execute_tensor_proc(command); }),
              run_time("[do_execute_tensor] (internal error) silly dimension"));
    EXPECT_EQ(failure_of([&] { do_execute_pseudo_tensor_proc(command); }),
              run_time("[do_execute_pseudo_tensor] (internal error) silly dimension"));
    auto* pages = deck->findChild<QStackedWidget*>();
    ASSERT_EQ(pages->count(), 2);
    for (const auto& [page, parameters] : {std::pair(1, "1"), {0, "0"}}) {
        const QString shown = lines(pages->widget(page)).join("|");
        EXPECT_TRUE(shown.startsWith("The point group used was \"m-3m\".")) << shown.toStdString();
        EXPECT_TRUE(shown.contains(QString("The number of free parameters is ") + parameters + "."));
    }
}

// A small request, then one of rank 10 without index symmetry under a limit
// that it exceeds; ends the process with 0 when the failure was shown as the
// system's and the deck kept its page.
[[noreturn]] void run_out_of_memory()
{
    workbench_under_test w;
    alert_recorder alerts;
    w.fill(3, 2, "m-3m", "(0 1)", "identity");
    w.press("Tensor");
    limit_growth(16 << 20);
    w.fill(3, 10, "m-3m", "0 1 2 3 4 5 6 7 8 9", "identity");
    w.press("Tensor");
    const bool shown = alerts.alerts == std::vector<std::string>{"(beep)", "run-time exception: out of memory\n"};
    std::exit(shown && w.pages() == 1 ? 0 : 1);
}

TEST(TensorWorkbenchDeathTest, ARequestOutOfMemoryShowsTheSystemsFailureAndTheDeckKeepsItsPages)
{
    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(run_out_of_memory(), testing::ExitedWithCode(0), "");
}

}
