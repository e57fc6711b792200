#include <sys/mman.h>
#include <unistd.h>

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <new>

#include "module-misc_amulet/popup_driver.h"
#include "module-misc_amulet/window_parts.h"
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
    std::size_t keep = 0;
    void* kept = nullptr;

private:
    void answer()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        texts.push_back(box->text().toStdString());
        held.push_back(alert_reserve_held());
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
