#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "module-object/string.h"

namespace {

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
