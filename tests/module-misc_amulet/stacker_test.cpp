#include <QSpinBox>
#include <QStackedWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include <QTimer>

#include "module-mgrp+tensor/invariant_tensor.h"
#include "module-misc_amulet/alerts.h"
#include "module-misc_amulet/stacker.h"
#include "module-object/error.h"
#include "module-object/string.h"
#include "module-misc_amulet/widget_support.h"
#include "support/alert_recorder.h"
#include "support/failure.h"
#include "support/matrices.h"

namespace {

struct deck_under_test {
    std::unique_ptr<QWidget> group{create_stacker()};
    QSpinBox* editor = group->findChild<QSpinBox*>();
    QStackedWidget* deck = group->findChild<QStackedWidget*>();

    void add(const char* value, const char* comment = nullptr) { add_to_stacker(group.get(), ZEM_string(value), comment); }
    void press(const char* label) { button(group.get(), label)->click(); }
    QStringList shown() const { return lines(deck->currentWidget()); }
    // The number on show, the page on show and which of the five buttons are active.
    QString state() const
    {
        QString text = QString::number(editor->value()) + " [" + shown().join("|") + "] ";
        for (const char* label : {"Next", "Previous", "To window", "To file", "Delete"})
            text += button(group.get(), label)->isEnabled() ? "1" : "0";
        return text;
    }
};

TEST(Stacker, LeafsNewestFirstAndSwitchesButtonsWithEveryChange)
{
    deck_under_test d;
    EXPECT_EQ(d.state(), "0 [] 00000");
    d.add("a");
    EXPECT_EQ(d.state(), "0 [a] 00111");
    d.add("b");
    d.add("c");
    EXPECT_EQ(d.state(), "2 [c] 01111");
    d.press("Previous");
    EXPECT_EQ(d.state(), "1 [b] 11111");
    d.press("Previous");
    EXPECT_EQ(d.state(), "0 [a] 10111");
    d.add("d");
    EXPECT_EQ(d.state(), "3 [d] 01111");
    d.editor->setValue(2);
    EXPECT_EQ(d.state(), "2 [c] 11111");
    d.editor->setValue(9);
    EXPECT_EQ(d.state(), "3 [d] 01111");
}

TEST(Stacker, DeletingShowsTheNextOlderEntryAndRenumbersTheNewerOnes)
{
    const struct {
        int deleted;
        QString after;
        QStringList remaining;
    } cases[] = {
        {1, "0 [a] 10111", {"a", "c"}},
        {0, "0 [b] 10111", {"b", "c"}},
        {2, "1 [b] 01111", {"a", "b"}},
    };
    for (const auto& c : cases) {
        deck_under_test d;
        for (const char* v : {"a", "b", "c"}) d.add(v);
        d.editor->setValue(c.deleted);
        d.press("Delete");
        EXPECT_EQ(d.state(), c.after) << c.deleted;
        EXPECT_EQ(d.editor->maximum(), 1);
        QStringList remaining;
        for (int e = 0; e < 2; ++e) {
            d.editor->setValue(e);
            remaining << d.shown();
        }
        EXPECT_EQ(remaining, c.remaining) << c.deleted;
    }
    deck_under_test d;
    d.add("a", "comment\n");
    d.press("Delete");
    EXPECT_EQ(d.state(), "0 [] 00000");
    EXPECT_EQ(d.deck->count(), 0);
}

std::string window_seen;

void recording_method(const ZEM_object& value, const char* title)
{
    window_seen = std::string(title) + ": " + ZEM_string(static_cast<const ZEM_string&>(value)).c_str();
}

void failing_method(const ZEM_object&, const char*) { _zem_error_("test", 0, "[to window] no screen"); }

TEST(Stacker, ToWindowCallsTheInstalledMethodAndShowsItsFailureInAnAlert)
{
    alert_recorder recorder;
    deck_under_test d;
    std::string comment = "kept\n";
    d.add("x", comment.c_str());
    comment = "changed";
    EXPECT_EQ(d.shown(), QStringList({"kept", "x"}));

    d.group->setProperty(STACKER_WINDOW_METHOD, QVariant::fromValue(to_window_method(recording_method)));
    d.press("To window");
    EXPECT_EQ(window_seen, "window: x");

    d.group->setProperty(STACKER_WINDOW_METHOD, QVariant::fromValue(to_window_method(failing_method)));
    d.press("To window");
    EXPECT_EQ(recorder.alerts, std::vector<std::string>{run_time("[to window] no screen")});
    d.press("Delete");
    EXPECT_EQ(d.state(), "0 [] 00000");
}

TEST(Stacker, OverwriteQuestionClosedByItsFrameMeansCancel)
{
    qt_alert_seam dialogs;
    alert_seam* previous = install_alert_seam(&dialogs);
    const struct {
        const char* pressed;  // null: the window is closed
        int answer;
    } cases[] = {{"Overwrite", 0}, {"Append", 1}, {"Cancel", 2}, {nullptr, 2}};
    for (const auto& c : cases) {
        QString title;
        QTimer::singleShot(0, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            title = dialog->windowTitle();
            c.pressed ? button(dialog, c.pressed)->click() : void(dialog->close());
        });
        EXPECT_EQ(overwrite_or_append("results.txt"), c.answer);
        EXPECT_EQ(title, "results.txt");
    }
    install_alert_seam(previous);
}

std::string contents(const std::filesystem::path& file)
{
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Stacker, ToFileWritesCommentValueAndTwoNewlinesAsTheAnswersSay)
{
    const auto dir = std::filesystem::temp_directory_path() / ("zarn_stacker_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directory(dir);
    const auto existing = dir / "existing", fresh = dir / "fresh", missing = dir / "no" / "file";
    const auto dangling = dir / "dangling", target = dir / "target";
    std::filesystem::create_symlink(target, dangling);
    const mode_t mask = umask(0);
    umask(mask);
    const std::string page = "The point group used was m-3m\n\nvalue\n\n";
    const struct {
        std::filesystem::path file;
        std::deque<int> answers;  // empty: the question is closed by its frame
        std::string written;      // "-" for no file
        bool asked;
        bool failed;
    } cases[] = {
        {fresh, {}, page, false, false},
        {existing, {0}, page, true, false},
        {existing, {1}, "old\n" + page, true, false},
        {existing, {2}, "old\n", true, false},
        {existing, {}, "old\n", true, false},
        {missing, {0}, "-", true, true},
        {missing, {2}, "-", true, false},
        {dangling, {1}, "-", true, true},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(fresh);
        std::ofstream(existing) << "old\n";
        alert_recorder recorder;
        recorder.texts.push_back(c.file.string());
        recorder.choices = c.answers;
        deck_under_test d;
        d.add("value", "The point group used was m-3m\n\n");
        d.press("To file");
        const auto& written = c.file == dangling ? target : c.file;
        EXPECT_EQ(std::filesystem::exists(written) ? contents(written) : "-", c.written) << c.file;
        EXPECT_EQ(recorder.prompts, std::vector<std::string>{"Please enter file name"});
        EXPECT_EQ(recorder.questions, c.asked ? std::vector<std::string>{c.file.string()} : std::vector<std::string>{});
        EXPECT_EQ(recorder.beeps, c.failed ? 1 : 0) << c.file;
        EXPECT_EQ(recorder.alerts,
                  c.failed ? std::vector<std::string>{"cannot create " + c.file.string()} : std::vector<std::string>{});
        if (c.file == fresh) {
            EXPECT_EQ(std::filesystem::status(fresh).permissions(), std::filesystem::perms(0664 & ~mask));
        }
    }

    alert_recorder recorder;
    recorder.texts = {(dir / "plain").string(), std::nullopt};
    deck_under_test d;
    d.add("value");
    d.press("To file");
    d.press("To file");
    EXPECT_EQ(contents(dir / "plain"), "value\n\n");
    EXPECT_EQ(recorder.question_buttons, std::vector<std::string>{});
    std::filesystem::remove_all(dir);
}

TEST(Stacker, ScreenshotOfADeckHoldingATensorPage)
{
    pointer_to_objects<ZEM_matrix<ZEM_int>> m3m(3);
    m3m[0] = matrix_of<ZEM_int>({{0, -1, 0}, {1, 0, 0}, {0, 0, 1}});
    m3m[1] = matrix_of<ZEM_int>({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}});
    m3m[2] = matrix_of<ZEM_int>({{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}});
    ZEM_tensor<ZEM_symbolic_number<ZEM_fraction>> elastic;
    int n_free = 0;
    invariant_tensor(m3m, 4, "(0 1) (2 3)", &n_free, elastic);
    deck_under_test d;
    d.group->resize(700, 500);
    d.add("earlier result");
    add_to_stacker(d.group.get(), elastic, "The point group used was m-3m\n\n");
    EXPECT_EQ(d.shown().join("\n").toStdString(), "The point group used was m-3m\n\n" + printed(elastic));
    EXPECT_TRUE(d.group->grab().save("deck_with_tensor.png"));
}

}
