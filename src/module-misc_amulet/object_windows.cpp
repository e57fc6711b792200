#include "module-misc_amulet/object_windows.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <memory>

#include "module-misc_amulet/extended_view.h"
#include "module-misc_amulet/window_parts.h"
#include "module-object/object.h"

namespace {

// Both kinds of window: deleted when closed, placed and filled alike.
template <class Window>
Window* new_window(const char* title)
{
    auto* window = new Window;
    set_up_window(window, QString::fromUtf8(title));
    window->setGeometry(100, 100, 600, 500);
    return window;
}

}

void zarn_object_window(const ZEM_object& value, const char* title)
{
    std::unique_ptr<QWidget> view(value.create_view());
    auto* window = new_window<QWidget>(title);
    auto* column = new QVBoxLayout(window);
    column->setSpacing(10);
    column->setContentsMargins(10, 10, 10, 10);
    column->addWidget(scrolling_area(view.release()), 1);

    QPushButton* close = gray_button("Close");
    QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);
    // The button stays 10 pixels narrower than the column.
    auto* button_row = new QHBoxLayout;
    button_row->setContentsMargins(0, 0, 10, 0);
    button_row->addWidget(close);
    column->addLayout(button_row);
    window->show();
}

void zem_object_window(const ZEM_object& value, const char* title)
{
    std::unique_ptr<QWidget> view(zem_extended_view(value));
    auto* window = new_window<QMainWindow>(title);
    QMenuBar* bar = window->menuBar();
    set_fill(bar, motif_gray);
    QAction* close = bar->addMenu("Window")->addAction("Close");
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    QObject::connect(close, &QAction::triggered, window, &QWidget::close);
    window->setCentralWidget(view.release());
    window->show();
}
