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
    set_partner(close, ZARN_OBJECT_WINDOW, window);
    QObject::connect(close, &QPushButton::clicked, close, [close] { do_close_zarn_window(close); });
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
    // The entry belongs to the window, which its method closes.
    auto* close = new QAction("Close", window);
    close->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    bar->addMenu("Window")->addAction(close);
    QObject::connect(close, &QAction::triggered, close, [close] { do_close(close); });
    window->setCentralWidget(view.release());
    window->show();
}

void do_close_zarn_window_proc(QObject* command) { partner<QWidget>(*command, ZARN_OBJECT_WINDOW)->close(); }

void do_close_proc(QObject* command)
{
    if (!command) return;
    if (auto* window = qobject_cast<QWidget*>(command->parent())) window->close();
}

// Closing cannot fail: these need no guard.
void do_close_zarn_window(QObject* command) { do_close_zarn_window_proc(command); }
void do_close(QObject* command) { do_close_proc(command); }
