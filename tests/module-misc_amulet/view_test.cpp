#include <QLabel>
#include <QLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "module-object/string.h"

namespace {

TEST(GenericView, OnePlainTextLabelPerPrintedLineInAColumnSpacedByFour)
{
    const struct { const char* text; std::vector<QString> lines; } cases[] = {
        {"a\n\nb", {"a", "", "b"}}, {"x\n", {"x"}}, {"", {""}}, {"\n\n", {"", ""}},
        {"<b>x</b>\t&amp;", {"<b>x</b>\t&amp;"}},
    };
    for (const auto& c : cases) {
        std::unique_ptr<QWidget> view(ZEM_string(c.text).create_view());
        std::vector<QString> lines;
        for (auto* label : view->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
            EXPECT_EQ(label->textFormat(), Qt::PlainText);
            lines.push_back(label->text());
        }
        EXPECT_EQ(lines, c.lines) << c.text;
        ASSERT_NE(view->layout(), nullptr);
        EXPECT_EQ(view->layout()->spacing(), 4);
        EXPECT_EQ(view->layout()->contentsMargins(), QMargins(4, 4, 4, 4));
    }
}

}
