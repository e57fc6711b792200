#include "support/mouse.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "module-chartab/example_tables.h"
#include "module-main_zarn/chartabprog.h"
#include "module-main_zarn/config_support.h"
#include "module-misc_amulet/stacker.h"
#include "module-misc_amulet/widget_support.h"
#include "support/alert_recorder.h"
#include "support/printed.h"
#include "support/screenshot.h"

namespace {

// The point group 3m, its rows in the order A1, A2, E.
table_text three_m()
{
    return {{"1a", "2a", "3a"}, {1, 3, 2}, {1, 2, 3}, {{1, 1, 1}, {1, -1, 1}, {2, 0, -1}},
            {{1}, {2, 1}, {3, 3, 1}}, {1, -1, 1}, {3, 1, 0}};
}

struct workbench : testing::Test {
    test_configuration config;
    alert_recorder alerts;
    std::unique_ptr<QWidget> stacker{create_stacker()};
    std::unique_ptr<chartab_window> window{new chartab_window(stacker.get())};

    workbench() { config.set("X3_3m", make_table(three_m())), character_table_mapping.add_elt("3m", "X3_3m"); }

    void press(const char* label) { button(window.get(), label)->click(); }
    void accept() { window->chartab_text_editor()->setText("3m"), press("Accept character table"); }
    void choose(std::initializer_list<int> rows)
    {
        for (int p : rows) window->group()->rows()[p - 1]->button()->click();
    }
    // The deck's pages, the newest first: each page's comment and printed value.
    std::vector<std::string> pages() const
    {
        std::vector<std::string> texts;
        auto* deck = stacker->findChild<QStackedWidget*>();
        for (int k = 0; k < deck->count(); ++k) texts.push_back(lines(deck->widget(k)).join("|").toStdString());
        return texts;
    }
    // The buttons' labels, "." for none, and the count of chosen rows.
    std::string labels() const
    {
        std::string text;
        for (const character_row* row : window->group()->rows())
            text += row->button()->text().isEmpty() ? "." : row->button()->text().toStdString();
        return text + " " + std::to_string(window->group()->arg_num());
    }
};

TEST_F(workbench, AcceptingFillsTheListAndOperationsAddRowsOrSendResultsToTheDeck)
{
    // Only the mapping's key names the table, not the variable it maps to.
    window->chartab_text_editor()->setText("X3_3m");
    EXPECT_FALSE(button(window.get(), "Accept character table")->isEnabled());
    accept();
    // The comments, each behind the list position its row shows.
    const auto comments = [&] {
        std::string text;
        for (const character_row* row : window->group()->rows())
            text += lines(row).front().toStdString() + " " + std::string(row->comment()) + "\n";
        return text;
    };
    const std::string accepted = "1 [ Row 1 of 3m ]\n2 [ Row 2 of 3m ]\n3 [ Row 3 of 3m ]\n"
                                 "4 [ Determinant character of 3m ]\n5 [ Vector character of 3m ]\n";
    EXPECT_EQ(comments(), accepted);
    // Only the last chosen row can be unchosen.
    choose({3, 1, 5, 1, 5});
    EXPECT_EQ(labels(), "2.1.. 2");
    // Results sent to the deck are checked by the whole sessions.
    press("Reset character list");
    choose({2, 5, 1});
    press("Add");
    const character_row* row = window->group()->rows().back();
    EXPECT_EQ(std::string(row->comment()) + " " + printed(row->stored_character()),
              "[ Add(2, 5, 1), n = 2 ]   (3m) " + printed(character_of({5, 1, 2})));
    // The same table again, with rows chosen and a result added: the list starts over.
    accept();
    EXPECT_EQ(comments(), accepted);
    EXPECT_EQ(labels(), "..... 0");
    window->resize(800, 600);
    EXPECT_TRUE(save_screenshot(window.get(), "chartab_workbench.png"));
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(workbench, OperationsAreActiveForTheArgumentsTheyTake)
{
    accept();
    // Add, Product, Power, Decompose, the two squares, Physical representation, Copy.
    const struct { std::initializer_list<int> chosen; int n; const char* active; } cases[] = {
        {{}, 2, "00000000"},  {{1}, 2, "00111111"},    {{3}, 0, "00011111"},
        {{4}, 2, "00111101"}, {{3, 1}, 2, "11000001"},
    };
    for (const auto& c : cases) {
        press("Reset character list");
        choose(c.chosen);
        window->n_editor()->setValue(c.n);
        std::string active;
        for (const QPushButton* b : window->operations()) {
            EXPECT_EQ(operation_is_active_proc(*b), b->isEnabled()) << b->text().toStdString();
            active += b->isEnabled() ? "1" : "0";
        }
        EXPECT_EQ(active, c.active) << c.n;
    }
}

TEST_F(workbench, CreateOperationsStacksTheEightButtonsAndAMouseClickReachesTheOperation)
{
    accept();
    choose({3, 1});
    std::unique_ptr<QScrollArea> pane{create_operations(window->group(), stacker.get(), window->n_editor())};
    QStringList labels;
    for (const QPushButton* b : pane->widget()->findChildren<QPushButton*>()) labels << b->text();
    EXPECT_EQ(labels.join("|").toStdString(), "Add|Product|Power|Decompose|Symmetric square|Anti symmetric square|"
                                              "Physical representation|Copy");
    pane->resize(300, 200);
    pane->show();
    click(button(pane.get(), "Product"));
    click(button(pane.get(), "Copy"));
    ASSERT_EQ(window->group()->rows().size(), 6u);
    EXPECT_EQ(std::string(window->group()->rows().back()->comment()), "[ Product(3, 1), n = 2 ]   (3m)");
    EXPECT_EQ(pages().size(), 1u);
    // The pane's buttons follow the choice like the window's own.
    press("Reset character list");
    EXPECT_FALSE(button(pane.get(), "Copy")->isEnabled());
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(workbench, TheOperationProcRunsTheOperationItsLabelNamesWhileItIsActive)
{
    accept();
    choose({3});
    // A command as create_operations makes it.
    const auto command = [&](const char* label) {
        auto b = std::make_unique<QPushButton>(label);
        set_partner(b.get(), CHARACTER_GROUP, window->group());
        set_partner(b.get(), CHARTAB_STACKER, stacker.get());
        set_partner(b.get(), CHARTAB_N_EDITOR, window->n_editor());
        return b;
    };
    do_character_operation_proc(*command("Decompose"));
    do_character_operation_proc(*command("Symmetric square"));
    // No operation of these names; Add needs two characters.
    for (const char* label : {"decompose", "Copy ", "", "Add"}) {
        EXPECT_FALSE(operation_is_active_proc(*command(label)));
        do_character_operation_proc(*command(label));
    }
    EXPECT_EQ(window->group()->rows().size(), 6u);
    EXPECT_EQ(std::string(window->group()->rows().back()->comment()), "[ Symmetric square(3), n = 2 ]   (3m)");
    ASSERT_EQ(pages().size(), 1u);
    EXPECT_EQ(pages()[0].rfind("[ Decompose(3), n = 2 ]   (3m)|", 0), 0u) << pages()[0];
}

TEST_F(workbench, AFailureEndsInAnAlertAndChangesNothing)
{
    accept();
    choose({3});
    window->n_editor()->setValue(40);
    press("Power");
    EXPECT_EQ(window->group()->rows().size(), 5u);

    // The configuration changes under a name that was valid when typed.
    config.set("X_other", make_table(three_m()));
    character_table_mapping.add_elt("other", "X_other");
    window->chartab_text_editor()->setText("other");
    config.set("X_other", ZEM_int(1));
    press("Accept character table");
    global_objects.remove("X_other");
    press("Accept character table");
    EXPECT_EQ(alerts.alerts,
              (std::vector<std::string>{
                  "run-time exception: [ZEM_fraction] overflow\n",
                  "run-time exception: [do_accept_pointgroup] cannot find character table (3), please report..\n",
                  "run-time exception: [do_accept_pointgroup] cannot find character table (2), please report..\n"}));
    EXPECT_EQ(labels(), "..1.. 1");
    EXPECT_EQ(std::string(window->group()->chartab_name()), "3m");
}

TEST_F(workbench, TheChooserWalksNestedListsAndReportsConfigurationFaults)
{
    config.set_list("character_table_list",
                    {"trigonal", "trigonal_list", "broken", "nowhere", "lost", "ghost", "odd", "odd_list"});
    config.set_list("odd_list", {"a"});
    config.set_list("trigonal_list", {"3m1", "3m"});
    character_table_mapping.add_elt("ghost", "X_ghost");
    const struct { std::deque<int> choices; std::vector<std::string> alerts; } cases[] = {
        // Cancel in the nested pop-up returns to the first, which is cancelled in turn.
        {{0, 1, 4}, {"? character table", "? character table", "? character table"}},
        {{1},
         {"? character table", "(beep)",
          "configuration error, \"nowhere\" should be of type linkedlist<string> or character_table"}},
        {{2}, {"? character table", "(beep)", "configuration error, cannot locate \"ghost\""}},
        {{3},
         {"? character table",
          "run-time exception: [ZEM_iter_list_impl::operator*] dereference of invalid iterator\n"}},
    };
    for (const auto& c : cases) {
        window->chartab_text_editor()->clear();
        alerts.alerts.clear();
        alerts.choices = c.choices;
        press("Point group");
        EXPECT_TRUE(window->chartab_text_editor()->text().isEmpty());
        EXPECT_EQ(alerts.alerts, c.alerts);
    }
}

TEST_F(workbench, TheFormulasFollowTheirInputs)
{
    config.set("X_int", ZEM_int(1));
    character_table_mapping.add_elt("not a table", "X_int");
    character_table_mapping.add_elt("ghost", "X_ghost");
    auto* input = window->findChild<QLineEdit*>(CHARTAB_TEXT_EDITOR);
    ASSERT_EQ(input, window->chartab_text_editor());
    const QColor red(255, 0, 0), white(255, 255, 255);
    // A variable's own name, a key without a variable, a variable of another type.
    const struct { const char* text; bool valid; } names[] = {
        {"3m", true}, {"X3_3m", false}, {"ghost", false}, {"not a table", false}, {"", false}, {"3m ", false},
    };
    for (const auto& c : names) {
        input->setText(c.text);
        EXPECT_EQ(is_valid_character_table_proc(*input), c.valid) << c.text;
        EXPECT_EQ(chtab_color_of_text_editor_proc(*input), c.valid ? white : red) << c.text;
        EXPECT_EQ(input->palette().color(QPalette::Base), c.valid ? white : red) << c.text;
        for (const char* label : {"View character table", "Accept character table"}) {
            EXPECT_EQ(view_chartable_is_active_proc(*button(window.get(), label)), c.valid) << c.text;
            EXPECT_EQ(button(window.get(), label)->isEnabled(), c.valid) << c.text;
        }
    }
    QObject command;
    for (const auto& [k, label] : {std::pair(0, ""), {1, "1"}, {12, "12"}, {-1, ""}}) {
        command.setProperty(CHARACTER_ARG_NUM, k);
        EXPECT_EQ(label_of_character_selection_button_proc(command).toStdString(), label) << k;
    }
}

TEST_F(workbench, ViewShowsTheTableUnderItsNameAndCloseLeavesTheDeck)
{
    QPointer<chartab_window> other = new chartab_window(stacker.get());
    other->show();
    other->chartab_text_editor()->setText("3m");
    button(other, "View character table")->click();
    EXPECT_TRUE(window_titled("3m"));
    button(other, "Accept character table")->click();
    other->group()->rows()[0]->button()->click();
    button(other, "Copy")->click();
    button(other, "Close")->click();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(other.isNull());
    EXPECT_EQ(pages().size(), 1u);
    close_windows();
    EXPECT_TRUE(alerts.alerts.empty());
}

TEST_F(workbench, TheWidthsFollowTheWindowBothWays)
{
    accept();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QWidget* character_pane = window->group()->parentWidget()->parentWidget();
    QWidget* operation_pane = window->operations().front()->parentWidget()->parentWidget()->parentWidget();
    const QWidget* quarter_wide[] = {button(window.get(), "Point group"), window->chartab_text_editor(),
                                     button(window.get(), "Accept character table"),
                                     window->n_editor()->parentWidget(), button(window.get(), "Close")};
    for (const int width : {800, 1600, 800, 700}) {
        window->resize(width, 600);
        QTest::qWait(50);
        ASSERT_EQ(window->width(), width);
        const int row = width - 20;
        for (const QWidget* part : quarter_wide) EXPECT_EQ(part->width(), row / 4) << width;
        EXPECT_EQ(character_pane->width(), row * 3 / 5 - 15) << width;
        EXPECT_EQ(operation_pane->width(), row * 2 / 5 - 15) << width;
        EXPECT_EQ(character_pane->height(), operation_pane->height());
        const QString shot = QString("chartab_%1_%2.png").arg(width).arg(QApplication::platformName());
        EXPECT_TRUE(save_screenshot(window.get(), shot.toUtf8().constData()));
    }
}

}
