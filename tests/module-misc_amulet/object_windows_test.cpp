#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <sstream>

#include "module-matrix_a/determinant.h"
#include "module-misc_amulet/object_windows.h"
#include "module-scalar/fraction.h"
#include "module-zem_language/builtin.h"
#include "module-zem_language/symtab.h"
#include "module-misc_amulet/widget_support.h"
#include "support/alert_recorder.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

// A value of a type of its own, so that only the built-ins below offer buttons for it.
class probe : public ZEM_copied_object {
public:
    ZEM_object* copy_object() const override { return new probe(*this); }
    void print(std::ostream& out) const override { out << "probe"; }
    ZEM_type type() const override { return ZEM_type("probe", 0); }
};

int procedure_calls = 0;
ZEM_object* probe_function(int, const ZEM_object**) { return new ZEM_string("made from a probe"); }
void probe_procedure(int, const ZEM_object**) { ++procedure_calls; }

const ZEM_type probe_types[] = {ZEM_type("probe", 0), ZEM_type("probe", 0)};
const builtin_func_definition probe_upper("Probe", "", "", probe_function, name_untitled, tp_string(), 1, probe_types);
const builtin_func_definition probe_lower("probe", "", "", probe_procedure, 1, probe_types);
const builtin_func_definition probe_pair("probe_pair", "", "", probe_procedure, 2, probe_types);

// The real built-in when the program has it, else one of the same name and signature.
ZEM_object* determinant_of(int, const ZEM_object** args)
{
    return new ZEM_fraction(determinant(static_cast<const ZEM_matrix<ZEM_fraction>&>(*args[0])));
}

void ensure_matrix_determinant()
{
    if (global_functions.is_in_table("matrix_determinant")) return;
    static const ZEM_type argument[] = {tp_matrix(tp_fraction())};
    static const builtin_func_definition definition("matrix_determinant", "determinant of a matrix", "",
                                                    determinant_of, name_untitled, tp_fraction(), 1, argument);
}

QStringList button_texts(QWidget* window)
{
    QStringList texts;
    for (auto* b : window->findChildren<QPushButton*>()) texts << b->text();
    return texts;
}

QWidget* only_window(const QString& title)
{
    const QList<QWidget*> found = windows_titled(title);
    return found.size() == 1 ? found.front() : nullptr;
}

class ObjectWindows : public testing::Test {
protected:
    void TearDown() override { close_all_windows(); }
};

TEST_F(ObjectWindows, PlainWindowCopiesItsTitleAndClosesByItsButton)
{
    char title[] = "plain";
    zarn_object_window(ZEM_string("one\ntwo"), title);
    title[0] = 'X';
    QWidget* window = only_window("plain");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(lines(window), QStringList({"one", "two"}));
    EXPECT_EQ(window->grab().save("object_window.png"), true);
    QPointer<QWidget> alive(window);
    button(window, "Close")->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
}

TEST_F(ObjectWindows, ControlQClosesOnlyItsOwnExtendedWindow)
{
    zem_object_window(ZEM_string("first"), "first");
    zem_object_window(ZEM_string("second"), "second");
    auto* second = qobject_cast<QMainWindow*>(only_window("second"));
    ASSERT_NE(second, nullptr);
    QApplication::setActiveWindow(second);
    ASSERT_TRUE(QTest::qWaitForWindowActive(second));
    QTest::keyClick(second, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(windows_titled("second").isEmpty());
    ASSERT_NE(only_window("first"), nullptr);
    QAction* close = only_window("first")->findChild<QMenuBar*>()->actions().front()->menu()->actions().front();
    EXPECT_EQ(close->text(), "Close");
    close->trigger();
    EXPECT_TRUE(windows_titled("first").isEmpty());
}

TEST_F(ObjectWindows, ExtendedViewOffersTheDeterminantOfAFractionMatrixAndReportsItsFailure)
{
    ensure_matrix_determinant();
    alert_recorder recorder;
    const struct {
        ZEM_matrix<ZEM_fraction> matrix;
        QStringList result;
        std::vector<std::string> alerts;
    } cases[] = {
        {matrix_of<ZEM_fraction>({{{1, 2}, 1}, {{1, 3}, 1}}), {"1/6"}, {}},
        {matrix_of<ZEM_fraction>({{1, 2, 3}, {4, 5, 6}}), {}, {run_time("determinant: rows != columns")}},
    };
    for (const auto& c : cases) {
        recorder.alerts.clear();
        zem_object_window(c.matrix, "matrix");
        QWidget* window = only_window("matrix");
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(button_texts(window), QStringList{"matrix_determinant"});
        button(window, "matrix_determinant")->click();
        EXPECT_EQ(lines(only_window("untitled")), c.result);
        EXPECT_EQ(recorder.alerts, c.alerts);
        close_all_windows();
    }
}

TEST_F(ObjectWindows, ExtendedViewButtonsAreSortedAndWorkOnTheirOwnCopy)
{
    alert_recorder recorder;
    int user_data = 0;
    global_functions.add("probe_user", &user_data);
    zem_object_window(probe(), "probe");
    global_functions.remove("probe_user");
    EXPECT_EQ(recorder.alerts, std::vector<std::string>{"[zem_object_window] user defined function not implemented"});
    QWidget* window = only_window("probe");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(button_texts(window), QStringList({"Probe", "probe"}));

    button(window, "probe")->click();
    EXPECT_EQ(procedure_calls, 1);
    EXPECT_TRUE(windows_titled("untitled").isEmpty());
    button(window, "Probe")->click();
    EXPECT_EQ(lines(only_window("untitled")), QStringList{"made from a probe"});
}

}
