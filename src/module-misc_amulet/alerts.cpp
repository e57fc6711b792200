#include "module-misc_amulet/alerts.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QImage>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <exception>
#include <new>
#include <optional>
#include <utility>

#include "module-misc_amulet/window_parts.h"

namespace {

// A failure that a handler of the toolkit let out while an alert waited,
// kept until that wait has ended.
std::exception_ptr toolkit_failure;
int waits_open = 0;

// Runs the wait of an alert or question; a failure that a handler of the
// toolkit let out meanwhile has ended it, and is thrown here.
template <class Wait>
auto waiting(Wait&& wait)
{
    ++waits_open;
    auto result = wait();
    --waits_open;
    if (toolkit_failure) std::rethrow_exception(std::exchange(toolkit_failure, nullptr));
    return result;
}

// A question or pop-up the toolkit has no room to draw fails as memory that
// has run out, which the failure guard of the work that asked reports.
void need_room(const alert_room& room)
{
    if (!room) ZEM_FAIL("out of memory");
}

}

void qt_alert_seam::show_alert(const std::string& text)
{
    // Drawn without room, the toolkit crashes in its font loading; `message`
    // writes the text to the error stream instead.
    const alert_room room;
    if (!room) throw std::bad_alloc();
    QMessageBox box;
    box.setTextFormat(Qt::PlainText);
    box.setText(QString::fromStdString(text));
    box.setStandardButtons(QMessageBox::Ok);
    const cursor_shown answering(Qt::ArrowCursor, true);
    waiting([&] { return box.exec(); });
}

namespace {

// A gray question at 300, 200 that fits its contents: one row, spaced and
// framed by 10.
QHBoxLayout* gray_row(QDialog& dialog, const std::string& title)
{
    dialog.setWindowTitle(QString::fromStdString(title));
    set_fill(&dialog, motif_gray);
    dialog.move(300, 200);
    auto* row = new QHBoxLayout(&dialog);
    row->setSpacing(10);
    row->setContentsMargins(10, 10, 10, 10);
    row->setSizeConstraint(QLayout::SetFixedSize);
    return row;
}

struct lent_methods {
    std::vector<question_method> methods;
    const char* window_key;
};
std::optional<lent_methods> lent;

}

question_methods::question_methods(std::vector<question_method> methods, const char* window_key)
{
    lent = lent_methods{std::move(methods), window_key};
}

question_methods::~question_methods() { lent.reset(); }

// Accepted codes start at 1, so the frame's close (0) stays apart.
void finish_pop_up_waiting(QObject* question, int answer)
{
    if (auto* dialog = qobject_cast<QDialog*>(question)) dialog->done(answer + 1);
}

int qt_alert_seam::ask_choice(const std::string& title, const std::vector<std::string>& buttons)
{
    // Taken at once, so that a question asked inside this one answers by itself.
    const std::optional<lent_methods> own = std::exchange(lent, std::nullopt);
    const alert_room room;
    need_room(room);
    QDialog dialog;
    QHBoxLayout* row = gray_row(dialog, title);
    for (std::size_t k = 0; k < buttons.size(); ++k) {
        auto* button = new QPushButton(QString::fromStdString(buttons[k]));
        button->setFixedWidth(150);
        button->setAutoDefault(false);
        if (own && k < own->methods.size()) {
            set_partner(button, own->window_key, &dialog);
            QObject::connect(button, &QPushButton::clicked, &dialog,
                             [button, method = own->methods[k]] { method(button); });
        } else {
            QObject::connect(button, &QPushButton::clicked, &dialog,
                             [&dialog, k] { finish_pop_up_waiting(&dialog, int(k)); });
        }
        row->addWidget(button);
    }
    const cursor_shown answering(Qt::ArrowCursor, true);
    return waiting([&] { return dialog.exec(); }) - 1;
}

int qt_alert_seam::ask_selection(const std::string& title, const std::vector<std::string>& entries,
                                 const std::function<bool(int)>& pressed)
{
    const alert_room room;
    need_room(room);
    QDialog dialog;
    QHBoxLayout* row = gray_row(dialog, title);

    auto* panel = new QWidget;
    set_fill(panel, motif_gray);
    auto* column = new QVBoxLayout(panel);
    column->setSpacing(10);
    column->setContentsMargins(0, 0, 0, 0);
    int chosen = -1;
    // A press runs inside the dialog's event loop, which no failure may cross:
    // it closes the dialog and is thrown again once the loop has ended.
    std::exception_ptr failure;
    for (std::size_t k = 0; k < entries.size(); ++k) {
        QPushButton* button = gray_button(QString::fromStdString(entries[k]));
        QObject::connect(button, &QPushButton::clicked, &dialog, [&, k] {
            try {
                if (!pressed(int(k))) return;
                chosen = int(k);
                dialog.accept();
            } catch (...) {
                failure = std::current_exception();
                dialog.reject();
            }
        });
        column->addWidget(button);
    }
    row->addWidget(panel, 0, Qt::AlignTop);

    QPushButton* cancel = gray_button("cancel");
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    row->addWidget(cancel, 0, Qt::AlignTop);

    {
        const cursor_shown answering(Qt::ArrowCursor, true);
        waiting([&] { return dialog.exec(); });
    }
    if (failure) std::rethrow_exception(failure);
    return chosen;
}

std::optional<std::string> qt_alert_seam::ask_text(const std::string& prompt, const std::string& initial)
{
    const alert_room room;
    need_room(room);
    bool ok = false;
    const cursor_shown answering(Qt::ArrowCursor, true);
    const QString text = waiting([&] {
        return QInputDialog::getText(nullptr, QString(), QString::fromStdString(prompt), QLineEdit::Normal,
                                     QString::fromStdString(initial), &ok);
    });
    if (!ok) return std::nullopt;
    return text.toStdString();
}

void qt_alert_seam::beep() { QApplication::beep(); }

void prepare_alerts()
{
    const alert_room room;
    if (!room) return;
    QMessageBox box;
    box.setText("OK, resuming main loop");
    box.setStandardButtons(QMessageBox::Ok);
    box.ensurePolished();
    QImage image(box.sizeHint(), QImage::Format_ARGB32_Premultiplied);
    box.render(&image);
}

bool guarded_application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (waits_open == 0) {
            // Shown as a failure of a window's work is.
            showing_failures([] { throw; }, false, work_kind::quick);
        } else {
            if (!toolkit_failure) toolkit_failure = std::current_exception();
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
        }
        return true;
    }
}
