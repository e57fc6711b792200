#include "module-misc_amulet/stacker.h"

#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sstream>
#include <sys/stat.h>

#include "module-misc_amulet/alerts.h"
#include "module-misc_amulet/object_windows.h"
#include "module-misc_amulet/window_parts.h"
#include "module-misc_amulet/wrapper.h"
#include "module-object/file_output.h"
#include "module-object/string.h"
#include "module-object/text_stream.h"

void default_create_window_method_proc(const ZEM_object& value, const char* title) { zem_object_window(value, title); }

std::ostream& operator<<(std::ostream& out, const to_window_method& method)
{
    if (method == default_create_window_method) return out << "default_create_window_method";
    text_stream address;
    address << std::hex << reinterpret_cast<std::uintptr_t>(method);
    return out << "(to_window_method) " << address.str();
}

// The partners

namespace {

QSpinBox* editor_of(const QObject* self) { return partner<QSpinBox>(*self, STACKER_OBJNUM_EDITOR); }
QStackedWidget* deck_of(const QObject* self) { return partner<QStackedWidget>(*self, STACKER_DECK); }
QWidget* group_of(const QObject* self) { return partner<QWidget>(*self, STACKER_GROUP); }
int n_parts(const QObject* self) { return group_of(self)->property(STACKER_N_PARTS).toInt(); }
int number_on_show(const QObject* self) { return editor_of(self)->value(); }

}

// What follows the number on show and the page count

bool stacker_next_is_active_proc(const QObject* command) { return number_on_show(command) < n_parts(command) - 1; }
bool stacker_previous_is_active_proc(const QObject* command) { return number_on_show(command) > 0; }
bool stacker_to_window_is_active_proc(const QObject* command) { return n_parts(command) > 0; }
bool stacker_to_file_is_active_proc(const QObject* command) { return n_parts(command) > 0; }
bool stacker_delete_is_active_proc(const QObject* command) { return n_parts(command) > 0; }
int stacker_value_of_main_window_proc(const QObject* deck) { return n_parts(deck) - number_on_show(deck) - 1; }
int stacker_value_2_proc(const QObject* editor) { return n_parts(editor) - 1; }

void stacker_next_is_active(QWidget* command) { command->setEnabled(stacker_next_is_active_proc(command)); }
void stacker_previous_is_active(QWidget* command) { command->setEnabled(stacker_previous_is_active_proc(command)); }
void stacker_to_window_is_active(QWidget* command) { command->setEnabled(stacker_to_window_is_active_proc(command)); }
void stacker_to_file_is_active(QWidget* command) { command->setEnabled(stacker_to_file_is_active_proc(command)); }
void stacker_delete_is_active(QWidget* command) { command->setEnabled(stacker_delete_is_active_proc(command)); }

void stacker_value_of_main_window(QStackedWidget* deck)
{
    const int shown = stacker_value_of_main_window_proc(deck);
    deck->setCurrentIndex(shown);
    // The inner area follows the page on show, not the largest page: the others count for nothing.
    for (int k = 0; k < deck->count(); ++k)
        deck->widget(k)->setSizePolicy(k == shown ? QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred)
                                                  : QSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored));
}

// An empty deck's maximum, -1, would drag the minimum with it: the editor keeps showing 0.
void stacker_value_2(QSpinBox* editor) { editor->setMaximum(std::max(stacker_value_2_proc(editor), 0)); }

namespace {

// The control column's buttons, top to bottom: what each runs and what switches it.
const struct {
    const char* label;
    void (*method)(QObject* command);
    void (*is_active)(QWidget* command);
} controls[] = {
    {"Next", stacker_do_next, stacker_next_is_active},
    {"Previous", stacker_do_previous, stacker_previous_is_active},
    {"To window", stacker_do_to_window, stacker_to_window_is_active},
    {"To file", stacker_do_to_file, stacker_to_file_is_active},
    {"Delete", stacker_do_delete, stacker_delete_is_active},
};

void recompute(QWidget* group)
{
    stacker_value_2(editor_of(group));
    stacker_value_of_main_window(deck_of(group));
    for (const auto& control : controls) control.is_active(group->findChild<QPushButton*>(control.label));
}

// Every widget of the deck finds the group, the editor and the deck through it.
void set_partners(QObject* widget, QWidget* group, QSpinBox* editor, QStackedWidget* deck)
{
    if (widget != editor) set_partner(widget, STACKER_OBJNUM_EDITOR, editor);
    if (widget != deck) set_partner(widget, STACKER_DECK, deck);
    if (widget != group) set_partner(widget, STACKER_GROUP, group);
}

}

QWidget* create_stacker()
{
    auto* group = new QWidget;
    group->resize(500, 500);
    auto* deck = new QStackedWidget;
    deck->setObjectName(STACKER_DECK);
    auto* editor = new QSpinBox;
    editor->setObjectName(STACKER_OBJNUM_EDITOR);
    editor->setFixedWidth(150);
    editor->setRange(0, 0);
    set_fill(editor, white);
    set_partners(group, group, editor, deck);
    group->setProperty(STACKER_N_PARTS, 0);
    group->setProperty(STACKER_WINDOW_METHOD, QVariant::fromValue(default_create_window_method));
    set_partners(editor, group, editor, deck);
    set_partners(deck, group, editor, deck);

    auto* column = new QVBoxLayout;
    column->setSpacing(10);
    for (const auto& control : controls) {
        QPushButton* button = gray_button(control.label, 150);
        button->setObjectName(control.label);
        set_partners(button, group, editor, deck);
        QObject::connect(button, &QPushButton::clicked, button, [button, method = control.method] { method(button); });
        if (control.method == stacker_do_to_window) follow_slot(button, STACKER_WINDOW_METHOD, group);
        column->addWidget(button);
    }
    column->addWidget(editor);
    column->addStretch(1);
    QObject::connect(editor, &QSpinBox::valueChanged, group, [group] { recompute(group); });

    auto* row = new QHBoxLayout(group);
    row->setSpacing(10);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(column);
    auto* around_area = new QVBoxLayout;
    around_area->setContentsMargins(20, 20, 20, 20);
    around_area->addWidget(scrolling_area(deck));
    row->addLayout(around_area, 1);

    recompute(group);
    return group;
}

void add_to_stacker(QWidget* stacker, const ZEM_object& value, const char* comment)
{
    auto page = std::make_unique<QWidget>();
    auto* lines = new QVBoxLayout(page.get());
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(0);
    lines->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    page->setProperty(ZEM_OBJECT, Am_ZEM_object(new Am_ZEM_object_Data(value)));
    if (comment) {
        const ZEM_string text(comment);
        page->setProperty(STACKER_COMMENT, Am_ZEM_object(new Am_ZEM_object_Data(text)));
        lines->addWidget(text.create_view());
    }
    lines->addWidget(value.create_view());

    const int n = stacker->property(STACKER_N_PARTS).toInt();
    deck_of(stacker)->insertWidget(0, page.release());
    stacker->setProperty(STACKER_N_PARTS, n + 1);
    QSpinBox* editor = editor_of(stacker);
    stacker_value_2(editor);
    editor->setValue(n);
    recompute(stacker);
}

int overwrite_or_append(const char* name)
{
    const question_methods answering({do_overwrite, do_append, do_cancel_tofile}, STACKER_OVERWRITE_OR_CANCEL_WINDOW);
    const int answer = ask_choice(name, {"Overwrite", "Append", "Cancel"});
    return answer < 0 ? 2 : answer;
}

namespace {

QObject* question_of(const QObject* command) { return partner<QObject>(*command, STACKER_OVERWRITE_OR_CANCEL_WINDOW); }

}

void do_overwrite_proc(QObject* command) { finish_pop_up_waiting(question_of(command), 0); }
void do_append_proc(QObject* command) { finish_pop_up_waiting(question_of(command), 1); }
void do_cancel_tofile_proc(QObject* command) { finish_pop_up_waiting(question_of(command), 2); }

// Ending a wait cannot fail: these need no guard.
void do_overwrite(QObject* command) { do_overwrite_proc(command); }
void do_append(QObject* command) { do_append_proc(command); }
void do_cancel_tofile(QObject* command) { do_cancel_tofile_proc(command); }

// The buttons' work

void stacker_do_next_proc(QObject* command) { editor_of(command)->setValue(number_on_show(command) + 1); }

void stacker_do_previous_proc(QObject* command) { editor_of(command)->setValue(number_on_show(command) - 1); }

void stacker_do_to_window_proc(QObject* command)
{
    QWidget* page = deck_of(command)->currentWidget();
    const auto method = command->property(STACKER_WINDOW_METHOD).value<to_window_method>();
    if (!page || !method) return;
    const Am_ZEM_object value(page->property(ZEM_OBJECT));
    method(value.value(), "window");
}

namespace {

// How "To file" writes: a new file as a whole, an existing one as the user
// answers; nothing when the user cancelled.
std::optional<file_write_mode> mode_for(const std::string& name)
{
    struct stat existing;
    if (::lstat(name.c_str(), &existing) != 0) return file_write_mode::replace;
    switch (overwrite_or_append(name.c_str())) {
    case 0: return file_write_mode::replace;
    case 1: return file_write_mode::append;
    default: return std::nullopt;
    }
}

// The alert text is composed in a buffer of 250 bytes, its terminating NUL
// included, so at most 249 bytes show; a character cut in two goes whole.
std::string cut_to_alert_buffer(std::string text)
{
    constexpr std::size_t buffer_size = 250;
    if (text.size() < buffer_size) return text;
    std::size_t end = buffer_size - 1;
    const auto continuation = [&](std::size_t at) { return (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80; };
    while (end > 0 && continuation(end)) --end;
    text.resize(end);
    return text;
}

}

void stacker_do_to_file_proc(QObject* command)
{
    QWidget* page = deck_of(command)->currentWidget();
    if (!page) return;
    const Am_ZEM_object value(page->property(ZEM_OBJECT));
    const Am_ZEM_object comment(page->property(STACKER_COMMENT));
    const std::optional<std::string> name = ask_text("Please enter file name", "");
    if (!name) return;

    // Printed before the file is touched, so that a failing print leaves no file behind.
    text_stream text;
    if (comment.Valid()) comment.value().print(text);
    value.value().print(text);
    text << "\n\n";

    const std::optional<file_write_mode> mode = mode_for(*name);
    if (!mode) return;
    const file_write_failure failure = write_whole_file(*name, text.str(), *mode);
    if (failure == file_write_failure::none) return;
    beep();
    message(cut_to_alert_buffer(write_failure_text(failure, *name)).c_str());
}

namespace {

// Bytes the C library has handed out, 0 where it does not tell.
std::size_t bytes_in_use()
{
#ifdef __GLIBC__
    return mallinfo2().uordblks;
#else
    return 0;
#endif
}

// glibc keeps what a large value freed for its own reuse; the system gets it back.
void return_freed_memory([[maybe_unused]] std::size_t in_use_before)
{
#ifdef __GLIBC__
    constexpr std::size_t worth_returning = 8 << 20;
    if (in_use_before > bytes_in_use() + worth_returning) malloc_trim(0);
#endif
}

}

void stacker_do_delete_proc(QObject* command)
{
    QStackedWidget* deck = deck_of(command);
    QWidget* page = deck->currentWidget();
    if (!page) return;
    const int e = number_on_show(command);
    QWidget* group = group_of(command);
    const std::size_t in_use = bytes_in_use();
    deck->removeWidget(page);
    // The page owns the only copies of its value and comment.
    delete page;
    return_freed_memory(in_use);
    group->setProperty(STACKER_N_PARTS, n_parts(command) - 1);
    editor_of(command)->setValue(std::max(e - 1, 0));
    recompute(group);
}

void stacker_do_next(QObject* command) { showing_failures([command] { stacker_do_next_proc(command); }); }
void stacker_do_previous(QObject* command) { showing_failures([command] { stacker_do_previous_proc(command); }); }
void stacker_do_to_window(QObject* command) { showing_failures([command] { stacker_do_to_window_proc(command); }); }
void stacker_do_to_file(QObject* command) { showing_failures([command] { stacker_do_to_file_proc(command); }); }
void stacker_do_delete(QObject* command) { showing_failures([command] { stacker_do_delete_proc(command); }); }
