#include "module-main_zarn/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstring>

#include "module-main_zarn/chartabprog.h"
#include "module-main_zarn/config_error.h"
#include "module-main_zarn/tensorprog.h"
#include "module-misc_amulet/object_windows.h"
#include "module-misc_amulet/stacker.h"
#include "module-misc_amulet/window_parts.h"

namespace {

// Closing the main window from its frame acts as "Quit": the loop ends even
// while workbench windows are still open.
class main_window : public QWidget {
public:
    QWidget* stacker = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->accept();
        QCoreApplication::quit();
    }
};

// The main stacker's "To window" opens the plain object window, not the extended view.
void zarn_create_window_method_proc(const ZEM_object& value, const char* title) { zarn_object_window(value, title); }

void do_quit_proc(QWidget* window) { window->close(); }
void do_tensor_proc(QWidget* stacker) { workbench_action([&] { tensorprog(stacker); }); }
void do_chartab_proc(QWidget* stacker) { workbench_action([&] { chartabprog(stacker); }); }

}

std::string program_name(const char* path)
{
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

QWidget* create_main_window(const std::string& title)
{
    auto* window = new main_window;
    set_up_window(window, QString::fromStdString(title));
    window->setGeometry(50, 50, 800, 600);

    QWidget* stacker = create_stacker();
    stacker->setProperty(STACKER_WINDOW_METHOD, QVariant::fromValue<to_window_method>(zarn_create_window_method_proc));
    window->stacker = stacker;

    QPushButton* quit = gray_button("Quit", 150);
    QPushButton* tensor = gray_button("Tensor", 150);
    QPushButton* character = gray_button("Character", 150);
    QObject::connect(quit, &QPushButton::clicked, window, [window] { do_quit_proc(window); });
    QObject::connect(tensor, &QPushButton::clicked, window, [stacker] { do_tensor_proc(stacker); });
    QObject::connect(character, &QPushButton::clicked, window, [stacker] { do_chartab_proc(stacker); });

    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->addWidget(quit);
    row->addWidget(tensor);
    row->addWidget(character);
    row->addStretch(1);

    auto* column = new QVBoxLayout(window);
    column->setSpacing(10);
    column->setContentsMargins(10, 10, 10, 10);
    column->addLayout(row);
    column->addWidget(stacker, 1);
    return window;
}

QWidget* main_stacker(QWidget* window) { return static_cast<main_window*>(window)->stacker; }
