#include <QSpinBox>
#include <QStackedWidget>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <sys/stat.h>

#include "module-mgrp+tensor/invariant_tensor.h"
#include "module-misc_amulet/alerts.h"
#include "module-misc_amulet/popup_driver.h"
#include "module-misc_amulet/stacker.h"
#include "module-misc_amulet/widget_support.h"
#include "module-misc_amulet/window_parts.h"
#include "support/alert_recorder.h"
#include "support/failing_allocation.h"
#include "support/failure.h"
#include "support/matrices.h"
#include "support/screenshot.h"

namespace {

struct deck_under_test {
    std::unique_ptr<QWidget> group{create_stacker()};
    QSpinBox* editor = group->findChild<QSpinBox*>(STACKER_OBJNUM_EDITOR);

    void add(const char* value, const char* comment = nullptr) { add_to_stacker(group.get(), ZEM_string(value), comment); }
    void press(const char* label) { button(group.get(), label)->click(); }
    QStringList shown() const { return lines(group->findChild<QStackedWidget*>(STACKER_DECK)->currentWidget()); }
    // The number, the page on show, and which of Next, Previous, To window, To file, Delete are active.
    QString state() const
    {
        QString text = QString::number(editor->value()) + " [" + shown().join("|") + "] ";
        for (const char* label : {"Next", "Previous", "To window", "To file", "Delete"})
            text += button(group.get(), label)->isEnabled() ? "1" : "0";
        return text;
    }
};

TEST(Stacker, LeafsNewestFirstDeletesAndSwitchesButtonsWithEveryChange)
{
    deck_under_test d;
    const std::pair<std::function<void()>, QString> steps[] = {
        {[] {}, "0 [] 00000"},
        {[&] { d.add("a"); }, "0 [a] 00111"},
        {[&] { d.add("b"), d.add("c"); }, "2 [c] 01111"},
        {[&] { d.press("Previous"); }, "1 [b] 11111"},
        {[&] { d.press("Previous"); }, "0 [a] 10111"},
        {[&] { d.add("d"); }, "3 [d] 01111"},
        {[&] { d.editor->setValue(2); }, "2 [c] 11111"},
        {[&] { d.editor->setValue(9); }, "3 [d] 01111"},
        // Deleting shows the next older entry and renumbers the newer ones.
        {[&] { d.editor->setValue(1), d.press("Delete"); }, "0 [a] 10111"},
        {[&] { d.editor->setValue(2); }, "2 [d] 01111"},
        {[&] { d.press("Delete"); }, "1 [c] 01111"},
    };
    for (const auto& [step, state] : steps) {
        step();
        EXPECT_EQ(d.state(), state);
    }
}

TEST(Stacker, WhatFollowsTheNumberOnShowAndThePageCount)
{
    // n pages, entry e on show: Next, Previous, To window, To file, Delete
    // active; the deck's index on show; the editor's maximum.
    const struct { int n, e; const char* active; int shown, maximum; } cases[] = {
        {0, 0, "00000", -1, -1}, {1, 0, "00111", 0, 0}, {3, 0, "10111", 2, 2},
        {3, 1, "11111", 1, 2},   {3, 2, "01111", 0, 2},
    };
    for (const auto& c : cases) {
        QWidget group;
        QObject command;
        QSpinBox editor;
        editor.setRange(-5, 5);
        editor.setValue(c.e);
        group.setProperty(STACKER_N_PARTS, c.n);
        for (QObject* self : {&command, static_cast<QObject*>(&editor)}) {
            set_partner(self, STACKER_GROUP, &group);
            set_partner(self, STACKER_OBJNUM_EDITOR, &editor);
        }
        std::string active;
        for (auto* is_active : {stacker_next_is_active_proc, stacker_previous_is_active_proc,
                                stacker_to_window_is_active_proc, stacker_to_file_is_active_proc,
                                stacker_delete_is_active_proc})
            active += is_active(&command) ? "1" : "0";
        EXPECT_EQ(active, c.active) << c.n << " " << c.e;
        EXPECT_EQ(stacker_value_of_main_window_proc(&command), c.shown) << c.n << " " << c.e;
        EXPECT_EQ(stacker_value_2_proc(&editor), c.maximum) << c.n;
    }
}

void failing_method(const ZEM_object&, const char*) { ZEM_FAIL("[to window] no screen"); }
void exhausting_method(const ZEM_object&, const char*) { throw std::bad_alloc(); }

TEST(Stacker, AFailureOfToWindowIsShownInAnAlertWithTheCursorRestoredAndTheDeckKept)
{
    const std::pair<to_window_method, std::string> cases[] = {{failing_method, run_time("[to window] no screen")},
                                                              {exhausting_method, run_time("out of memory")}};
    for (const auto& [method, shown] : cases) {
        alert_recorder recorder;
        deck_under_test d;
        d.add("x");
        d.group->setProperty(STACKER_WINDOW_METHOD, QVariant::fromValue(method));
        // The command's own method follows the one installed on the deck.
        EXPECT_EQ(button(d.group.get(), "To window")->property(STACKER_WINDOW_METHOD).value<to_window_method>(), method);
        d.press("To window");
        EXPECT_EQ(recorder.alerts, std::vector<std::string>{shown});
        EXPECT_EQ(d.state(), "0 [x] 00111");
        EXPECT_FALSE(QApplication::overrideCursor());
    }
}

// A value that counts its live copies.
struct counted : ZEM_copied_object {
    static inline int live = 0;
    counted() { ++live; }
    counted(const counted&) : ZEM_copied_object() { ++live; }
    ~counted() override { --live; }
    ZEM_object* copy_object() const override { return new counted(*this); }
    void print(std::ostream& out) const override { out << "counted"; }
    ZEM_type type() const override { return tp_string(); }
};

TEST(Stacker, DeleteFreesThePagesValue)
{
    deck_under_test d;
    for (const char* comment : {"first", "second"}) add_to_stacker(d.group.get(), counted(), comment);
    EXPECT_EQ(counted::live, 2);
    d.press("Delete");
    EXPECT_EQ(counted::live, 1);
    d.press("Delete");
    EXPECT_EQ(counted::live, 0);
}

TEST(Stacker, OverwriteQuestionClosedByItsFrameMeansCancel)
{
    const std::pair<const char*, int> cases[] = {{"Overwrite", 0}, {"Append", 1}, {"Cancel", 2}, {"(frame)", 2}};
    for (const auto& [pressed, answer] : cases) {
        popup_driver driver({pressed});
        EXPECT_EQ(overwrite_or_append("results.txt"), answer);
        EXPECT_EQ(driver.seen, std::vector<std::string>{"results.txt 1"});
    }
}

TEST(Stacker, ToFileWritesCommentValueAndTwoNewlinesAsTheAnswersSay)
{
    const auto dir = std::filesystem::temp_directory_path() / ("zarn_stacker_" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string old = "old\n", page = "m-3m\n\nvalue\n\n", existing = dir / "existing", fresh = dir / "fresh",
                      missing = dir / "no" / "file", dangling = dir / "dangling", target = dir / "target",
                      loop = dir / "loop";
    std::filesystem::create_symlink(target, dangling);
    std::filesystem::create_symlink(loop, loop);
    // No answers: the question is closed by its frame.
    const struct { std::string file; std::deque<int> answers; const char* comment; std::string written;
                   std::vector<std::string> shown; } cases[] = {
        {fresh, {}, "m-3m\n\n", page, {}},
        {fresh, {}, nullptr, "value\n\n", {}},
        {existing, {0}, "m-3m\n\n", page, {"? " + existing}},
        {existing, {1}, "m-3m\n\n", old + page, {"? " + existing}},
        {existing, {2}, "m-3m\n\n", old, {"? " + existing}},
        {existing, {}, "m-3m\n\n", old, {"? " + existing}},
        // A missing directory: no question, nothing to overwrite.
        {missing, {}, "m-3m\n\n", "(none)", {"(beep)", "cannot create " + missing}},
        {dangling, {1}, "m-3m\n\n", "(none)", {"? " + dangling, "(beep)", "cannot create " + dangling}},
        // "Overwrite" follows the link and makes the file it names; a loop names none.
        {dangling, {0}, "m-3m\n\n", page, {"? " + dangling}},
        {loop, {0}, "m-3m\n\n", "(none)", {"? " + loop, "(beep)", "cannot create " + loop}},
    };
    const mode_t mask = umask(0);
    umask(mask);
    for (const auto& c : cases) {
        std::filesystem::remove(fresh);
        std::ofstream(existing) << old;
        alert_recorder recorder;
        recorder.texts = {c.file};
        recorder.choices = c.answers;
        deck_under_test d;
        d.add("value", c.comment);
        d.press("To file");
        EXPECT_EQ(contents(c.file == dangling ? target : c.file), c.written) << c.file;
        recorder.alerts.erase(recorder.alerts.begin());  // the file-name prompt
        EXPECT_EQ(recorder.alerts, c.shown);
        if (c.file == fresh) {
            EXPECT_EQ(std::filesystem::status(fresh).permissions(), std::filesystem::perms(0664 & ~mask));
        }
    }
    std::filesystem::remove_all(dir);
}

// Short of memory, "To file" writes the page whole or not at all: a text that
// cannot grow fails as out of memory instead of being written cut short.
TEST(Stacker, ToFileShortOfMemoryWritesThePageWholeOrNotAtAll)
{
    const std::string file =
        std::filesystem::temp_directory_path() / ("zarn_stacker_short_" + std::to_string(getpid()));
    const std::string value(100000, 'v');
    deck_under_test d;
    d.add(value.c_str(), "comment\n");
    bool refused = false;
    for (std::size_t k = 1; k < 1000; ++k) {
        std::filesystem::remove(file);
        alert_recorder recorder;
        recorder.texts = {file};
        fail_allocation(k);
        d.press("To file");
        const bool failed = allocation_failed();
        fail_allocation(0);
        const std::string written = contents(file);
        EXPECT_TRUE(written == "(none)" || written == "comment\n" + value + "\n\n") << k;
        refused |= written == "(none)";
        if (!failed) break;
    }
    EXPECT_TRUE(refused);
    std::filesystem::remove(file);
}

TEST(Stacker, TheCannotCreateAlertIsCutTo249BytesWithoutSplittingACharacter)
{
    const std::string missing = std::filesystem::temp_directory_path() / ("zarn_missing_" + std::to_string(getpid())) / "";
    // A name padded to make an alert text of `length` bytes; a two-byte character ends the last one.
    const auto text = [&](std::size_t length, const std::string& tail = "") {
        return "cannot create " + missing + std::string(length - 14 - missing.size() - tail.size(), 'x') + tail;
    };
    const std::pair<std::string, std::string> cases[] = {
        {text(249), text(249)}, {text(250), text(249)}, {text(400), text(249)},
        {text(250, "\xc3\xa9"), text(248)}};
    for (const auto& [whole, shown] : cases) {
        alert_recorder recorder;
        recorder.texts = {whole.substr(14)};
        deck_under_test d;
        d.add("value");
        d.press("To file");
        EXPECT_EQ(recorder.alerts, (std::vector<std::string>{"? Please enter file name", "(beep)", shown}));
    }
}

TEST(Stacker, WindowMethodsPrintAsTheToolkitsMethodsDo)
{
    deck_under_test d;
    std::ostringstream out, address;
    out << d.group->property(STACKER_WINDOW_METHOD).value<to_window_method>() << ' ' << to_window_method(failing_method)
        << ' ' << 10;
    address << std::hex << reinterpret_cast<std::uintptr_t>(&failing_method);
    EXPECT_EQ(out.str(), "default_create_window_method (to_window_method) " + address.str() + " 10");
}

TEST(Stacker, ScreenshotOfADeckHoldingATensorPage)
{
    pointer_to_objects<ZEM_matrix<ZEM_int>> m3m(2);
    m3m[0] = matrix_of<ZEM_int>({{0, -1, 0}, {1, 0, 0}, {0, 0, 1}});
    m3m[1] = matrix_of<ZEM_int>({{0, 0, 1}, {1, 0, 0}, {0, 1, 0}});
    ZEM_tensor<ZEM_symbolic_number<ZEM_fraction>> elastic;
    invariant_tensor(m3m, 4, "(0 1) (2 3)", nullptr, elastic);
    deck_under_test d;
    d.group->resize(700, 500);
    add_to_stacker(d.group.get(), elastic, "The point group used was 432\n\n");
    EXPECT_TRUE(save_screenshot(d.group.get(), "deck_with_tensor.png"));
}

}
