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

#include "module-misc_amulet/object_windows.h"
#include "module-misc_amulet/window_parts.h"
#include "module-misc_amulet/wrapper.h"
#include "module-object/file_output.h"
#include "module-object/string.h"

void default_create_window_method(const ZEM_object& value, const char* title) { zem_object_window(value, title); }

std::ostream& operator<<(std::ostream& out, const to_window_method& method)
{
    if (method == default_create_window_method) return out << "default_create_window_method";
    std::ostringstream address;
    address << std::hex << reinterpret_cast<std::uintptr_t>(method);
    return out << "(to_window_method) " << address.str();
}

QWidget* create_stacker() { return new stacker_group; }

void add_to_stacker(QWidget* stacker, const ZEM_object& value, const char* comment)
{
    static_cast<stacker_group*>(stacker)->add(value, comment);
}

int overwrite_or_append(const char* name)
{
    const int answer = ask_choice(name, {"Overwrite", "Append", "Cancel"});
    return answer < 0 ? 2 : answer;
}

namespace {

QPushButton* control_button(const char* label, QWidget* receiver, void (stacker_group::*work)())
{
    QPushButton* button = gray_button(label, 150);
    QObject::connect(button, &QPushButton::clicked, receiver,
                     [receiver, work] { showing_failures([&] { (static_cast<stacker_group*>(receiver)->*work)(); }); });
    return button;
}

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

stacker_group::stacker_group()
{
    setProperty(STACKER_WINDOW_METHOD, QVariant::fromValue(to_window_method(default_create_window_method)));
    resize(500, 500);

    auto* row = new QHBoxLayout(this);
    row->setSpacing(10);
    row->setContentsMargins(0, 0, 0, 0);

    auto* column = new QVBoxLayout;
    column->setSpacing(10);
    next = control_button("Next", this, &stacker_group::stacker_do_next);
    previous = control_button("Previous", this, &stacker_group::stacker_do_previous);
    to_window = control_button("To window", this, &stacker_group::stacker_do_to_window);
    to_file = control_button("To file", this, &stacker_group::stacker_do_to_file);
    remove = control_button("Delete", this, &stacker_group::stacker_do_delete);
    for (QPushButton* button : {next, previous, to_window, to_file, remove}) column->addWidget(button);

    objnum_editor = new QSpinBox;
    objnum_editor->setFixedWidth(150);
    objnum_editor->setRange(0, 0);
    set_fill(objnum_editor, white);
    connect(objnum_editor, &QSpinBox::valueChanged, this, &stacker_group::recompute);
    column->addWidget(objnum_editor);
    column->addStretch(1);
    row->addLayout(column);

    deck = new QStackedWidget;
    auto* area = scrolling_area(deck);
    auto* around_area = new QVBoxLayout;
    around_area->setContentsMargins(20, 20, 20, 20);
    around_area->addWidget(area);
    row->addLayout(around_area, 1);

    recompute();
}

void stacker_group::recompute()
{
    const int n = deck->count();
    objnum_editor->setMaximum(std::max(n - 1, 0));
    const int e = objnum_editor->value();
    deck->setCurrentIndex(n - 1 - e);
    // The inner area follows the page on show, not the largest page: the others count for nothing.
    for (int k = 0; k < n; ++k)
        deck->widget(k)->setSizePolicy(k == n - 1 - e ? QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred)
                                                      : QSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored));
    next->setEnabled(e < n - 1);
    previous->setEnabled(e > 0);
    for (QPushButton* button : {to_window, to_file, remove}) button->setEnabled(n > 0);
}

void stacker_group::add(const ZEM_object& value, const char* comment)
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

    const int n = deck->count();
    deck->insertWidget(0, page.release());
    objnum_editor->setMaximum(n);
    objnum_editor->setValue(n);
    recompute();
}

void stacker_group::stacker_do_next() { objnum_editor->setValue(objnum_editor->value() + 1); }

void stacker_group::stacker_do_previous() { objnum_editor->setValue(objnum_editor->value() - 1); }

void stacker_group::stacker_do_to_window()
{
    QWidget* page = deck->currentWidget();
    if (!page) return;
    const Am_ZEM_object value(page->property(ZEM_OBJECT));
    property(STACKER_WINDOW_METHOD).value<to_window_method>()(value.value(), "window");
}

void stacker_group::stacker_do_to_file()
{
    QWidget* page = deck->currentWidget();
    if (!page) return;
    const Am_ZEM_object value(page->property(ZEM_OBJECT));
    const Am_ZEM_object comment(page->property(STACKER_COMMENT));
    const std::optional<std::string> name = ask_text("Please enter file name", "");
    if (!name) return;

    // Printed before the file is touched, so that a failing print leaves no file behind.
    std::ostringstream text;
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

void stacker_group::stacker_do_delete()
{
    QWidget* page = deck->currentWidget();
    if (!page) return;
    const int e = objnum_editor->value();
    const std::size_t in_use = bytes_in_use();
    deck->removeWidget(page);
    // The page owns the only copies of its value and comment.
    delete page;
    return_freed_memory(in_use);
    objnum_editor->setValue(std::max(e - 1, 0));
    recompute();
}
