#include "module-misc_amulet/view.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <sstream>

#include "module-object/object.h"
#include "module-object/text_stream.h"

QWidget* generic_view(const ZEM_object& value)
{
    text_stream printed;
    value.print(printed);
    const std::string text = printed.str();

    auto* group = new QWidget;
    auto* layout = new QVBoxLayout(group);
    layout->setSpacing(4);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto add_line = [&](std::size_t from, std::size_t to) {
        auto* label = new QLabel(QString::fromUtf8(text.data() + from, static_cast<qsizetype>(to - from)));
        label->setTextFormat(Qt::PlainText);
        layout->addWidget(label, 0, Qt::AlignLeft);
    };

    // Only the newline separates lines; a text ending in one gives no empty last line.
    std::size_t start = 0;
    if (text.find('\n') == std::string::npos) {
        add_line(0, text.size());
    } else {
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) {
                add_line(start, text.size());
                break;
            }
            add_line(start, end);
            start = end + 1;
        }
    }
    return group;
}

void install_views() { install_view_factory(generic_view); }
