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

// Closing the main window from its frame acts as "Quit".
class main_window : public QWidget {
public:
    QWidget* stacker = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->accept();
        do_quit(this);
    }
};

}

void zarn_create_window_method_proc(const ZEM_object& value, const char* title) { zarn_object_window(value, title); }

void do_quit_proc(QObject*) { QCoreApplication::quit(); }
void do_tensor_proc(QObject* command) { tensorprog(partner<QWidget>(*command, MAIN_STACKER)); }
void do_chartab_proc(QObject* command) { chartabprog(partner<QWidget>(*command, MAIN_STACKER)); }

void do_quit(QObject* command) { do_quit_proc(command); }
void do_tensor(QObject* command) { workbench_action([&] { do_tensor_proc(command); }); }
void do_chartab(QObject* command) { workbench_action([&] { do_chartab_proc(command); }); }

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
    stacker->setProperty(STACKER_WINDOW_METHOD, QVariant::fromValue(zarn_create_window_method));
    window->stacker = stacker;

    QPushButton* quit = gray_button("Quit", 150);
    QPushButton* tensor = gray_button("Tensor", 150);
    QPushButton* character = gray_button("Character", 150);
    set_partner(tensor, MAIN_STACKER, stacker);
    set_partner(character, MAIN_STACKER, stacker);
    QObject::connect(quit, &QPushButton::clicked, quit, [quit] { do_quit(quit); });
    QObject::connect(tensor, &QPushButton::clicked, tensor, [tensor] { do_tensor(tensor); });
    QObject::connect(character, &QPushButton::clicked, character, [character] { do_chartab(character); });

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
