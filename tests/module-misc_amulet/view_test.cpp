#include <QLabel>
#include <QLayout>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

#include "module-object/string.h"

namespace {

std::vector<QString> lines_of(const char* text)
{
    std::unique_ptr<QWidget> view(ZEM_string(text).create_view());
    std::vector<QString> lines;
    for (auto* label : view->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        lines.push_back(label->text());
    }
    return lines;
}

TEST(GenericView, OneLabelPerPrintedLine)
{
    EXPECT_EQ(lines_of("a\n\nb"), (std::vector<QString>{"a", "", "b"}));
    EXPECT_EQ(lines_of("x\n"), (std::vector<QString>{"x"}));
    EXPECT_EQ(lines_of("x"), (std::vector<QString>{"x"}));
    EXPECT_EQ(lines_of(""), (std::vector<QString>{""}));
    EXPECT_EQ(lines_of("\n"), (std::vector<QString>{""}));
    EXPECT_EQ(lines_of("\n\n"), (std::vector<QString>{"", ""}));
    EXPECT_EQ(lines_of("a\nb\n"), (std::vector<QString>{"a", "b"}));
    EXPECT_EQ(lines_of("<b>x</b>\tand\r"), (std::vector<QString>{"<b>x</b>\tand\r"}));
}

TEST(GenericView, ColumnHasSpacingAndMarginsOfFour)
{
    std::unique_ptr<QWidget> view(ZEM_string("a\nb").create_view());
    auto* layout = view->layout();
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->spacing(), 4);
    EXPECT_EQ(layout->contentsMargins(), QMargins(4, 4, 4, 4));
    std::unique_ptr<QWidget> other(ZEM_string("a\nb").create_view());
    EXPECT_NE(view.get(), other.get());
}

}
