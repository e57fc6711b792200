// The result deck: one page per result (a comment above the printed value),
// leafed through by number. Entries are numbered 0 (oldest) to n-1 (newest);
// the deck keeps its pages newest first, so entry e is the page at n-1-e.
// The number editor holds the entry on show, and every change of it or of the
// page count recomputes the page on show and which buttons are active.
#pragma once

#include <QMetaType>
#include <QWidget>
#include <iosfwd>

class QPushButton;
class QSpinBox;
class QStackedWidget;
class ZEM_object;

// Opens a window on a value under a title; the value stays the caller's.
using to_window_method = void (*)(const ZEM_object& value, const char* title);

// Properties: the method "To window" calls, on the stacker group; the wrapped
// copy of a page's comment, on a page that has one.
inline constexpr const char* STACKER_WINDOW_METHOD = "STACKER_WINDOW_METHOD";
inline constexpr const char* STACKER_COMMENT = "STACKER_COMMENT";

// Opens the extended window (zem_object_window).
void default_create_window_method(const ZEM_object& value, const char* title);

// As the toolkit prints its own methods: the default by its name, any other
// as its type and its address in hex.
std::ostream& operator<<(std::ostream& out, const to_window_method& method);

// A new, empty deck with the default window method; the caller places it.
QWidget* create_stacker();
// Adds a page holding copies of the value and of the comment (null: none) and
// shows it as the newest entry. `stacker` comes from create_stacker.
void add_to_stacker(QWidget* stacker, const ZEM_object& value, const char* comment);
// Asks what to do with a file that exists already: 0 overwrite, 1
// append, 2 cancel (also when the question is closed without an answer).
int overwrite_or_append(const char* name);

class stacker_group : public QWidget {
    Q_OBJECT
public:
    stacker_group();
    void add(const ZEM_object& value, const char* comment);

private:
    void recompute();
    void stacker_do_next();
    void stacker_do_previous();
    void stacker_do_to_window();
    void stacker_do_to_file();
    void stacker_do_delete();

    QSpinBox* objnum_editor;
    QStackedWidget* deck;
    QPushButton* next;
    QPushButton* previous;
    QPushButton* to_window;
    QPushButton* to_file;
    QPushButton* remove;
};

Q_DECLARE_METATYPE(to_window_method)
