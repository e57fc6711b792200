#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include "support/mouse.h"

#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <gtest/gtest.h>
#include <new>

#include "module-misc_amulet/popup_driver.h"
#include "module-misc_amulet/window_parts.h"
#include "support/failing_allocation.h"
#include "support/failure.h"
#include "support/memory_limit.h"
#include "support/screenshot.h"

namespace {

// Where a pop-up's buttons stand in it: "label x,y".
std::vector<std::string> layout_of(QWidget* popup)
{
    std::vector<std::string> parts;
    for (auto* b : popup->findChildren<QPushButton*>()) {
        const QPoint at = b->mapTo(popup, QPoint(0, 0));
        parts.push_back(b->text().toStdString() + " " + std::to_string(at.x()) + "," + std::to_string(at.y()));
    }
    return parts;
}

bool lies_within_screen(QMessageBox* box)
{
    if (!QTest::qWaitForWindowExposed(box)) return false;
    const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
    bool within = box->screen()->availableGeometry().contains(box->frameGeometry()) && label &&
                  box->rect().contains(label->geometry()) && label->height() >= label->sizeHint().height() &&
                  !box->button(QMessageBox::Ok)->visibleRegion().isEmpty();
    for (const QString& line : box->text().split(u'\n'))
        within = within && label->fontMetrics().horizontalAdvance(line) <= label->contentsRect().width();
    return within;
}

// The text without line breaks: an alert breaks lines too wide for it.
std::string unbroken(std::string text)
{
    std::erase(text, '\n');
    return text;
}

// Whether an alert `shown` shows the head of `text`, ending in a line "...".
bool shows_head_of(const std::string& shown, const std::string& text)
{
    return shown.ends_with("\n...") && unbroken(text).starts_with(unbroken(shown.substr(0, shown.size() - 4)));
}

// Answers each alert as a user does, noting its text and whether the reserve
// was still held while it was open. With `keep` set, it maps that many bytes
// while an alert is open and keeps them, as the toolkit keeps what it loaded.
class alert_answerer {
public:
    alert_answerer() : previous_(install_alert_seam(&dialogs_))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(5);
    }
    ~alert_answerer() { install_alert_seam(previous_); }
    alert_answerer(const alert_answerer&) = delete;
    alert_answerer& operator=(const alert_answerer&) = delete;

    std::vector<std::string> texts;
    std::vector<bool> held;
    // Whether each alert lay within the screen, its OK button in view and each
    // line of its text shown whole.
    std::vector<bool> within;
    std::size_t keep = 0;
    void* kept = nullptr;

private:
    void answer()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        texts.push_back(box->text().toStdString());
        held.push_back(alert_reserve_held());
        within.push_back(lies_within_screen(box));
        if (keep)
            kept = ::mmap(nullptr, std::exchange(keep, 0), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        box->button(QMessageBox::Ok)->click();
    }

    qt_alert_seam dialogs_;
    alert_seam* previous_;
    QTimer timer_;
};

// Whether `line` stands on a line of its own in `written`, among the toolkit's own lines.
bool written_line(const std::string& written, const std::string& line)
{
    return ("\n" + written).find("\n" + line + "\n") != std::string::npos;
}

// As the program starts, then with little memory left: every alert is drawn in
// the reserve's room; once the toolkit has kept part of it, alerts go to the
// error stream and questions fail as out of memory, until room is back.
[[noreturn]] void alerts_short_of_memory()
{
    // An alert drawn without room may hang the toolkit: the test fails instead.
    ::alarm(60);
    alert_answerer user;
    hold_alert_reserve();
    prepare_alerts();
    limit_growth(1 << 20);
    message("run-time exception: [frac-operator %] n <= 0\n");
    user.keep = std::size_t(6) << 20;
    message("OK, resuming main loop");
    const bool kept = user.kept != MAP_FAILED && user.kept && !alert_reserve_held();
    testing::internal::CaptureStderr();
    message("run-time exception: out of memory\n");
    const bool written = written_line(testing::internal::GetCapturedStderr(), "run-time exception: out of memory");
    const bool asked = failure_of([] { ask_choice("file", {"Overwrite", "Append", "Cancel"}); }) ==
                           run_time("out of memory") &&
                       failure_of([] { ask_text("Please enter file name", ""); }) == run_time("out of memory");
    if (kept) ::munmap(user.kept, std::size_t(6) << 20);
    message("room back");
    const bool drawn = user.texts == std::vector<std::string>{"run-time exception: [frac-operator %] n <= 0\n",
                                                              "OK, resuming main loop", "room back"} &&
                       user.held == std::vector<bool>(3, false);
    std::exit(kept && written && asked && drawn && alert_reserve_held() ? 0 : 1);
}

}

TEST(AlertsDeathTest, ShortOfMemoryEveryAlertIsDrawnWithRoomOrWrittenToTheErrorStream)
{
    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(alerts_short_of_memory(), testing::ExitedWithCode(0), "");
}

// A failure that a handler of the toolkit lets out while an alert waits ends
// that alert, whose text goes to the error stream; with no alert waiting it is
// shown as the failure of a window's work. The program goes on.
TEST(Alerts, AFailureTheToolkitLetsOutEndsTheAlertNotTheProgram)
{
    qt_alert_seam dialogs;
    alert_seam* previous = install_alert_seam(&dialogs);
    QTimer::singleShot(0, [] { throw std::bad_alloc(); });
    testing::internal::CaptureStderr();
    message("lost");
    EXPECT_TRUE(written_line(testing::internal::GetCapturedStderr(), "lost"));
    EXPECT_EQ(popup_driver::open_popups(), 0);
    install_alert_seam(previous);

    alert_answerer user;
    QTimer::singleShot(0, [] { throw std::bad_alloc(); });
    QTest::qWait(50);
    message("shown");
    EXPECT_EQ(user.texts, (std::vector<std::string>{"run-time exception: out of memory\n", "shown"}));
}

TEST(SelectionPopup, StacksTheEntriesWithCancelToTheRightAtItsPlace)
{
    std::vector<std::string> layout;
    QRect frame, panel_button, cancel;
    Qt::CursorShape cursor = Qt::BlankCursor;
    QTimer::singleShot(0, [&] {
        cursor = QApplication::overrideCursor()->shape();
        QWidget* popup = QApplication::activeModalWidget();
        frame = QRect(popup->pos(), popup->size());
        panel_button = button(popup, "hexagonal")->geometry();
        cancel = button(popup, "cancel")->geometry();
        layout = layout_of(popup);
        save_screenshot(popup, "selection_popup.png");
        button(popup, "cancel")->click();
    });
    popup_driver none({});
    {
        // Asked inside a button's work: the arrow while it is open, then the wait cursor again.
        const cursor_shown waiting(Qt::WaitCursor);
        EXPECT_EQ(ask_selection("point group", {"cubic", "hexagonal"}, [](int) { return true; }), -1);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(cursor, Qt::ArrowCursor);

    const int h = panel_button.height(), w = panel_button.width();
    EXPECT_EQ(layout, (std::vector<std::string>{"cubic 10,10", "hexagonal 10," + std::to_string(20 + h),
                                                 "cancel " + std::to_string(20 + w) + ",10"}));
    EXPECT_EQ(frame.topLeft(), QPoint(300, 200));
    EXPECT_EQ(frame.size(), QSize(30 + w + cancel.width(), 30 + 2 * h));
}

TEST(SelectionPopup, NestedPopupsOpenOverTheirParentCloseInnermostFirstAndPassOnAFailure)
{
    std::vector<std::string> log;
    const auto inner = [&](int) {
        const int k = ask_selection("inner", {"deep"}, [&](int) {
            log.push_back("deep chosen");
            return true;
        });
        log.push_back("inner closed with " + std::to_string(k));
        return k >= 0;
    };
    // "class" opens the inner pop-up; "leaf" gives nothing, so its pop-up stays.
    const auto outer = [&] {
        return ask_selection("outer", {"class", "leaf"}, [&](int k) { return k == 0 && inner(k); });
    };

    popup_driver chosen({"class", "cancel", "leaf", "class", "deep"});
    EXPECT_EQ(outer(), 0);
    EXPECT_EQ(chosen.seen, (std::vector<std::string>{"outer 1", "inner 2", "outer 1", "outer 1", "inner 2"}));
    EXPECT_EQ(log, (std::vector<std::string>{"inner closed with -1", "deep chosen", "inner closed with 0"}));
    EXPECT_EQ(popup_driver::open_popups(), 0);

    popup_driver framed({"class", "(frame)", "(frame)"});
    EXPECT_EQ(outer(), -1);
    EXPECT_EQ(framed.seen, (std::vector<std::string>{"outer 1", "inner 2", "outer 1"}));

    // A failure of a choice closes every level and passes on, once out of the pop-ups' event loops.
    popup_driver driver({"class", "deep"});
    EXPECT_EQ(failure_of([] {
                  ask_selection("outer", {"class"}, [](int) {
                      return ask_selection("inner", {"deep"}, [](int) -> bool { throw ZEM_string("broken"); }) >= 0;
                  });
              }),
              "broken");
    EXPECT_EQ(driver.seen, (std::vector<std::string>{"outer 1", "inner 2"}));
    EXPECT_EQ(popup_driver::open_popups(), 0);
}

// An alert lies within the screen, each line of its text shown whole, a word
// too wide for it broken. Where its text does not fit, it shows the head, cut
// at 40 lines or 2,000 bytes at the most and never inside a character a reader
// sees, and writes the whole text to the error stream.
TEST(Alerts, ALongAlertShowsWhatFitsTheScreenAndWritesTheWholeText)
{
    std::string lines, forty;
    for (int k = 1; k <= 100; ++k) lines += "line " + std::to_string(k) + "\n";
    for (int k = 1; k <= 40; ++k) forty += "row " + std::to_string(k) + "\n";
    const std::string name = "run-time exception: variable '" + std::string(1900, 'W') + "' not defined\n";
    // The cut at 2,000 bytes falls between a letter and its accent, and on the third byte of "€".
    std::string accents;
    for (int k = 0; k < 667; ++k) accents += "i\u0301";
    accents += "\n";
    const std::string wider = std::string(1998, 'i') + "\u20ac" + "\n";
    const std::vector<std::string> texts = {lines, forty, name, accents, wider, "short\n"};
    alert_answerer user;
    testing::internal::CaptureStderr();
    for (const std::string& text : texts) message(text.c_str());
    const std::string written = testing::internal::GetCapturedStderr();
    ASSERT_EQ(user.texts.size(), texts.size());
    EXPECT_EQ(user.within, std::vector<bool>(texts.size(), true));
    for (std::size_t k = 0; k < texts.size(); ++k) {
        const std::string& text = texts[k];
        if (user.texts[k].ends_with("\n...")) {
            EXPECT_TRUE(shows_head_of(user.texts[k], text)) << k;
            EXPECT_TRUE(written_line(written, text.substr(0, text.size() - 1))) << k;
        } else {
            // Shown whole, and not written.
            EXPECT_EQ(unbroken(user.texts[k]), unbroken(text)) << k;
            EXPECT_FALSE(written_line(written, text.substr(0, text.size() - 1))) << k;
        }
    }
    EXPECT_TRUE(shows_head_of(user.texts[0], lines));
    EXPECT_EQ(unbroken(user.texts[3]), accents.substr(0, 1998) + "...");
    EXPECT_EQ(unbroken(user.texts[4]), std::string(1998, 'i') + "...");
    EXPECT_EQ(user.texts[5], "short\n");
}

// A long alert reaches the user once: written whole, with its head drawn or,
// where the dialog finds no room, not drawn. Its copy, then the dialog's first
// allocation fail, and then none (a failure deeper inside the toolkit's
// constructors leaves it locked).
TEST(Alerts, ALongAlertIsWrittenOnceWhereItsDialogCannotBeBuilt)
{
    const std::string text = std::string(5000, 'n') + "\n";
    alert_answerer user;
    for (const std::size_t k : {1, 2, 0}) {
        testing::internal::CaptureStderr();
        fail_allocation(k);
        message(text.c_str());
        fail_allocation(0);
        const std::string written = testing::internal::GetCapturedStderr();
        const std::size_t first = written.find(text);
        EXPECT_NE(first, std::string::npos) << k;
        EXPECT_EQ(written.find(text, first + 1), std::string::npos) << k;
    }
    ASSERT_EQ(user.texts.size(), 1u);
    EXPECT_TRUE(shows_head_of(user.texts[0], text));
}

// A question whose dialog cannot be built leaves no wait open behind it: a
// failure that a handler lets out afterwards, with no alert open, is shown at
// once as the failure of a window's work.
TEST(Alerts, AQuestionWhoseDialogCannotBeBuiltLeavesNoWaitOpen)
{
    alert_answerer user;
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    const std::string prompt = "Please enter file name", initial;
    // The first allocation inside the wait builds the question's dialog.
    fail_allocation(1);
    EXPECT_THROW(ask_text(prompt, initial), std::bad_alloc);
    EXPECT_TRUE(allocation_failed());
    fail_allocation(0);
    QTimer::singleShot(0, [] { throw std::bad_alloc(); });
    QTest::qWait(50);
    EXPECT_EQ(user.texts, std::vector<std::string>{"run-time exception: out of memory\n"});
    message("shown");
    EXPECT_EQ(user.texts.back(), "shown");
}

// A pop-up taller than the screen scrolls: the window stays within the
// screen, and the last of thousands of entries is reached and pressed.
TEST(SelectionPopup, ThousandsOfEntriesScrollWithinTheScreen)
{
    std::vector<std::string> entries;
    for (int k = 0; k < 5000; ++k) entries.push_back("group " + std::to_string(k));
    QSize size;
    bool cancel_shown = false;
    QTimer::singleShot(0, [&] {
        QWidget* popup = QApplication::activeModalWidget();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
        size = popup->size();
        cancel_shown = !button(popup, "cancel")->visibleRegion().isEmpty();
        auto* area = popup->findChild<QScrollArea*>();
        QAbstractButton* last = button(popup, "group 4999");
        area->ensureWidgetVisible(last);
        QTest::qWait(20);
        save_screenshot(popup, "selection_popup_scrolled.png");
        QTest::mouseClick(last, Qt::LeftButton, {}, last->rect().center());
    });
    qt_alert_seam dialogs;
    alert_seam* previous = install_alert_seam(&dialogs);
    EXPECT_EQ(ask_selection("point group", entries, [](int) { return true; }), 4999);
    install_alert_seam(previous);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(size.height(), screen.height());
    EXPECT_GT(size.height(), screen.height() / 2);
    EXPECT_TRUE(cancel_shown);
}

// Pop-ups of entries as tall as the screen, of labels too wide for
// it, and of both, lie within the screen, show every entry whole across, and
// "cancel" can be pressed. A label shows its first line, cut at 200 bytes,
// and cut further, with "...", where the screen is too narrow for it.
TEST(SelectionPopup, TallAndWidePopupsLieWithinTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const std::unique_ptr<QPushButton> sample(gray_button("entry"));
    const std::vector<std::string> tall(screen.height() / (sample->sizeHint().height() + 10), "entry");
    const std::string wide(1000, 'W'), lines = "first line\nsecond line\n", dots(1000, '.');
    std::vector<std::string> both = tall;
    both.push_back(wide);
    for (const auto& entries : {tall, {wide, lines, dots}, both}) {
        QRect frame;
        int hidden = 0;
        std::vector<std::string> labels;
        QTimer::singleShot(0, [&] {
            QWidget* popup = QApplication::activeModalWidget();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
            frame = popup->geometry();
            for (auto* b : popup->findChildren<QPushButton*>()) {
                labels.push_back(b->text().toStdString());
                // Across; a long list hides entries below only.
                const QRect shown = b->visibleRegion().boundingRect();
                if (!shown.isEmpty()) hidden = std::max(hidden, b->width() - shown.width());
            }
            click(button(popup, "cancel"));
        });
        qt_alert_seam dialogs;
        alert_seam* previous = install_alert_seam(&dialogs);
        EXPECT_EQ(ask_selection("point group", entries, [](int) { return true; }), -1) << entries.size();
        install_alert_seam(previous);
        EXPECT_TRUE(screen.contains(frame)) << entries.size();
        EXPECT_EQ(hidden, 0) << entries.size();
        if (entries.size() != 3) continue;
        ASSERT_EQ(labels.size(), 4u);
        EXPECT_TRUE(labels[0].starts_with("WWW") && labels[0].ends_with("W...") && labels[0].size() < 203)
            << labels[0];
        EXPECT_EQ(labels[1], "first line...");
        // Where 200 bytes of dots fit, they are what is shown.
        const int room = sample->fontMetrics().horizontalAdvance(QString(203, '.'));
        const std::size_t shown_dots = labels[2].size() - 3;
        EXPECT_EQ(labels[2], std::string(shown_dots, '.') + "...");
        EXPECT_TRUE(room < frame.width() / 2 ? shown_dots == 200 : shown_dots <= 200) << labels[2].size();
    }
}

// A label cut at 200 bytes, or to the screen's width, keeps each letter with
// its accent: the cut falls between two characters a reader sees.
TEST(SelectionPopup, LabelsAreCutBetweenTheCharactersAReaderSees)
{
    std::string accents, wide;
    for (int k = 0; k < 67; ++k) accents += "i\u0301";
    for (int k = 0; k < 66; ++k) wide += "W\u0301";
    std::vector<std::string> labels;
    QTimer::singleShot(0, [&] {
        QWidget* popup = QApplication::activeModalWidget();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
        for (auto* b : popup->findChildren<QPushButton*>()) labels.push_back(b->text().toStdString());
        click(button(popup, "cancel"));
    });
    qt_alert_seam dialogs;
    alert_seam* previous = install_alert_seam(&dialogs);
    EXPECT_EQ(ask_selection("point group", {accents, wide}, [](int) { return true; }), -1);
    install_alert_seam(previous);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[0], accents.substr(0, 198) + "...");
    // Cut only where the screen is too narrow for it.
    if (labels[1] != wide) {
        const std::string head = labels[1].substr(0, labels[1].size() - 3);
        EXPECT_TRUE(labels[1].ends_with("\u0301...") && wide.starts_with(head)) << labels[1];
    }
}

namespace {

// Closes each real pop-up once it is shown and painted, counting those painted.
class popup_closer {
public:
    popup_closer() : previous_(install_alert_seam(&dialogs_))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* front = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!front || !front->isVisible()) return;
            if (QTest::qWaitForWindowExposed(front)) {
                front->repaint();
                ++painted;
            }
            front->reject();
        });
        timer_.start(5);
    }
    ~popup_closer() { install_alert_seam(previous_); }
    popup_closer(const popup_closer&) = delete;
    popup_closer& operator=(const popup_closer&) = delete;

    int painted = 0;

private:
    qt_alert_seam dialogs_;
    alert_seam* previous_;
    QTimer timer_;
};

// Whether a pop-up of `entries` was painted and answered (1), failed as out
// of memory (0), or neither (-1).
int popup_outcome(popup_closer& user, const std::vector<std::string>& entries)
{
    const int painted = user.painted;
    int chosen = 0;
    const std::string failure =
        failure_of([&] { chosen = ask_selection("point group", entries, [](int) { return true; }); });
    if (failure == run_time("out of memory")) return 0;
    return failure == "(no failure)" && chosen == -1 && user.painted == painted + 1 ? 1 : -1;
}

// As the program starts, then with room given back two megabytes at a time: a
// pop-up of 500 long labels, wider than the screen, is painted and
// answered or fails as out of memory, every time. Labels cut alike ask alike
// room, however long they were: those of 2,000 bytes are painted by the step
// after those of 201 at the latest.
[[noreturn]] void popups_painted_in_little_room()
{
    ::alarm(60);
    popup_closer user;
    hold_alert_reserve();
    prepare_alerts();
    const std::vector<std::string> longest(500, std::string(2000, 'W')), longer(500, std::string(201, 'W'));
    constexpr std::size_t step = 2 << 20, steps = 24;
    limit_growth(steps * step);
    auto* taken = static_cast<char*>(
        ::mmap(nullptr, steps * step, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0));
    if (taken == MAP_FAILED) ::_exit(2);
    int first_painted[2] = {-1, -1};
    bool each = true;
    for (std::size_t k = 1; k <= steps; ++k) {
        ::munmap(taken + (steps - k) * step, step);
        for (int n : {0, 1}) {
            const int outcome = popup_outcome(user, n == 0 ? longest : longer);
            each = each && outcome >= 0 && (outcome == 1 || k < steps);
            if (outcome == 1 && first_painted[n] < 0) first_painted[n] = int(k);
        }
    }
    ::_exit(each && first_painted[0] > 0 && first_painted[0] <= first_painted[1] + 1 ? 0 : 1);
}

// Twenty pop-ups in a row, with room for a few more megabytes only: each is
// painted, none leaves a thread or the probe of its room behind.
[[noreturn]] void twenty_popups_in_little_room()
{
    ::alarm(60);
    popup_closer user;
    hold_alert_reserve();
    prepare_alerts();
    std::vector<std::string> entries;
    for (int k = 0; k < 200; ++k) entries.push_back("class " + std::to_string(k));
    limit_growth(std::size_t(16) << 20);
    int painted = 0;
    for (int k = 0; k < 20; ++k) painted += popup_outcome(user, entries) == 1;
    ::_exit(painted == 20 ? 0 : 1);
}

}

TEST(AlertsDeathTest, PopupsInLittleRoomArePaintedOrFailAsOutOfMemory)
{
    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(popups_painted_in_little_room(), testing::ExitedWithCode(0), "");
    EXPECT_EXIT(twenty_popups_in_little_room(), testing::ExitedWithCode(0), "");
}

namespace {

// As the program starts, then with `room` bytes of address space left: a
// pop-up of 5,000 entries, asked inside a window's work, is drawn, or fails as
// out of memory and that failure is drawn or written; an alert of a megabyte
// is drawn, its head in the dialog, and written whole. Never a crash. With
// room enough, both are drawn.
[[noreturn]] void large_dialogs_short_of_memory(std::size_t room, bool room_enough = false)
{
    ::alarm(60);
    std::vector<std::string> entries;
    for (int k = 0; k < 5000; ++k) entries.push_back("class " + std::to_string(k));
    const std::string long_text = "variable '" + std::string(1 << 20, 'n') + "' not defined\n";
    const QString out_of_memory = "run-time exception: out of memory\n";
    std::string written(long_text.size() + 4096, '\0');
    char stderr_name[] = "/tmp/zarn_stderr_XXXXXX";
    const int stderr_file = ::mkstemp(stderr_name);
    ::unlink(stderr_name);
    ::dup2(stderr_file, 2);

    bool popup_drawn = false, failure_drawn = false, alert_drawn = false, alert_cut_right = false;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* front = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!front || !front->isVisible()) return;
        if (auto* box = qobject_cast<QMessageBox*>(front)) {
            (box->text() == out_of_memory ? failure_drawn : alert_drawn) = true;
            alert_cut_right = box->text() == out_of_memory || shows_head_of(box->text().toStdString(), long_text);
            box->button(QMessageBox::Ok)->click();
        } else {
            popup_drawn = true;
            front->reject();
        }
    });
    user.start(5);
    qt_alert_seam dialogs;
    install_alert_seam(&dialogs);
    hold_alert_reserve();
    prepare_alerts();

    limit_growth(room);
    int chosen = 0;
    showing_failures([&] { chosen = ask_selection("point group", entries, [](int) { return true; }); }, false,
                     work_kind::quick);
    message(long_text.c_str());

    const ssize_t size = ::pread(stderr_file, written.data(), written.size(), 0);
    const std::string_view errors(written.data(), size > 0 ? std::size_t(size) : 0);
    const bool popup = chosen == -1 ? popup_drawn
                                    : failure_drawn || errors.find(out_of_memory.toStdString()) != errors.npos;
    const bool alert = errors.find(long_text) != errors.npos && (!alert_drawn || alert_cut_right);
    ::_exit(popup && alert && (!room_enough || (popup_drawn && alert_drawn)) ? 0 : 1);
}

// With the heap full to its last block, an alert still finds room to be
// drawn: the reserve's, given back before the alert's text is even copied.
[[noreturn]] void alert_with_the_heap_full()
{
    ::alarm(60);
    alert_answerer user;
    hold_alert_reserve();
    prepare_alerts();
    limit_growth(0);
    take_every_block();
    message("run-time exception: [frac-operator %] n <= 0\n");
    ::_exit(user.texts.size() == 1 && user.texts[0] == "run-time exception: [frac-operator %] n <= 0\n" ? 0 : 1);
}

}

TEST(AlertsDeathTest, AnAlertIsDrawnInTheReserveWithTheHeapFull)
{
    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(alert_with_the_heap_full(), testing::ExitedWithCode(0), "");
}

TEST(AlertsDeathTest, LargePopupsAndLongAlertsShortOfMemoryAreDrawnOrFailWithoutACrash)
{
    if (address_sanitizer) GTEST_SKIP() << "the sanitizer's own reservations leave no room for a limit";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (std::size_t room = 0; room <= std::size_t(16) << 20; room += 512 << 10)
        EXPECT_EXIT(large_dialogs_short_of_memory(room), testing::ExitedWithCode(0), "") << room;
    EXPECT_EXIT(large_dialogs_short_of_memory(std::size_t(128) << 20, true), testing::ExitedWithCode(0), "");
}
