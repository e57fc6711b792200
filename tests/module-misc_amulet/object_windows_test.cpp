#include "support/mouse.h"

#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "module-misc_amulet/object_windows.h"
#include "module-misc_amulet/stacker.h"
#include "module-misc_amulet/widget_support.h"
#include "module-scalar/fraction.h"
#include "support/alert_recorder.h"
#include "support/failure.h"
#include "support/matrices.h"
#include "support/screenshot.h"

namespace {

struct ObjectWindows : testing::Test {
    void TearDown() override { close_windows(); }
};

TEST_F(ObjectWindows, CloseButtonControlQAndMenuEntryCloseOnlyTheirOwnWindow)
{
    char title[] = "plain";
    zarn_object_window(ZEM_string("one\ntwo"), title);
    title[0] = 'X';
    zem_object_window(ZEM_string("first"), "first");
    zem_object_window(ZEM_string("second"), "second");
    QWidget* plain = window_titled("plain");
    ASSERT_TRUE(plain);
    EXPECT_EQ(lines(plain), QStringList({"one", "two"}));
    for (QLabel* line : plain->findChildren<QLabel*>()) EXPECT_TRUE(can_be_seen(line, true));
    EXPECT_TRUE(save_screenshot(plain, "object_window.png"));
    button(plain, "Close")->click();

    // Made active by the program itself: on X11 without a window manager the
    // server's focus may never follow.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_titled("second")));
    QApplication::setActiveWindow(window_titled("second"));
    ASSERT_EQ(QApplication::activeWindow(), window_titled("second"));
    QTest::keyClick(window_titled("second"), Qt::Key_Q, Qt::ControlModifier);
    ASSERT_TRUE(window_titled("first"));
    QMenu* menu = window_titled("first")->findChild<QMenuBar*>()->actions().front()->menu();
    EXPECT_EQ(menu->title(), "Window");
    menu->actions().front()->trigger();
    EXPECT_FALSE(window_titled("plain") || window_titled("first") || window_titled("second"));
}

TEST_F(ObjectWindows, ExtendedViewOffersTheDeterminantOfAFractionMatrixAndReportsItsFailure)
{
    alert_recorder recorder;
    zem_object_window(matrix_of<ZEM_fraction>({{{1, 2}, 1}, {{1, 3}, 1}}), "square");
    zem_object_window(matrix_of<ZEM_fraction>({{1, 2, 3}, {4, 5, 6}}), "2x3");
    for (const char* title : {"square", "2x3"}) {
        const auto offered = window_titled(title)->findChildren<QPushButton*>();
        ASSERT_EQ(offered.size(), 1);
        EXPECT_EQ(offered.front()->text(), "matrix_determinant");
        offered.front()->click();
    }
    EXPECT_EQ(lines(window_titled("untitled")), QStringList{"1/6"});
    EXPECT_EQ(recorder.alerts, std::vector<std::string>{run_time("determinant: rows != columns")});
}

TEST_F(ObjectWindows, ToWindowOfADefaultDeckOpensTheExtendedWindowAndCloseWithoutACommandDoesNothing)
{
    std::unique_ptr<QWidget> deck(create_stacker());
    add_to_stacker(deck.get(), ZEM_string("shown"), "comment");
    button(deck.get(), "To window")->click();
    QWidget* window = window_titled("window");
    ASSERT_TRUE(qobject_cast<QMainWindow*>(window));
    EXPECT_TRUE(lines(window).contains("shown"));
    do_close_proc(nullptr);
    EXPECT_TRUE(window_titled("window"));
}

TEST_F(ObjectWindows, TheWindowsAndTheDeckShrinkBackAfterGrowing)
{
    zarn_object_window(ZEM_string("plain"), "plain");
    zem_object_window(ZEM_string("extended"), "extended");
    std::unique_ptr<QWidget> deck(create_stacker());
    add_to_stacker(deck.get(), ZEM_string(std::string(300, 'x').c_str()), "a wide page");
    const std::pair<QWidget*, int> cases[] = {{window_titled("plain"), 600}, {window_titled("extended"), 600},
                                              {deck.get(), 500}};
    for (const auto& [window, width] : cases) EXPECT_EQ(width_after_growing(window), width);
    // The plain window's button stays 10 pixels narrower than its column, which has a margin of 10.
    QWidget* plain = window_titled("plain");
    for (const int width : {1600, 600}) {
        plain->resize(width, 500);
        settle();
        EXPECT_EQ(button(plain, "Close")->width(), width - 30);
    }
}

TEST(GenericView, OnePlainTextLabelPerPrintedLine)
{
    const struct { const char* text; std::vector<QString> lines; } cases[] = {
        {"a\n\nb", {"a", "", "b"}}, {"x\n", {"x"}}, {"", {""}}, {"<b>x</b>\t&amp;", {"<b>x</b>\t&amp;"}},
    };
    for (const auto& c : cases) {
        std::unique_ptr<QWidget> view(ZEM_string(c.text).create_view());
        std::vector<QString> lines;
        for (auto* label : view->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
            lines.push_back(label->text());
        }
        EXPECT_EQ(lines, c.lines) << c.text;
    }
}

}
