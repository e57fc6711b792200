#include <QDialog>
#include <QPushButton>
#include <gtest/gtest.h>

#include "module-misc_amulet/popup_driver.h"
#include "module-misc_amulet/window_parts.h"
#include "support/failure.h"
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
