// The result deck: one page per result (a comment above the printed value),
// leafed through by number. Entries are numbered 0 (oldest) to n-1 (newest);
// the deck keeps its pages newest first, so entry e is the page at n-1-e.
// The number editor holds the entry on show, and every change of it or of the
// page count recomputes the page on show and which buttons are active.
#pragma once

#include <QMetaType>
#include <iosfwd>

class QObject;
class QSpinBox;
class QStackedWidget;
class QWidget;
class ZEM_object;

// Opens a window on a value under a title; the value stays the caller's.
using to_window_method = void (*)(const ZEM_object& value, const char* title);

// Properties by which the deck's widgets find their partners. The stacker
// group holds the editor, the deck, the page count and the window method; the
// editor and the deck hold the group and each other; every button holds the
// editor, the deck and the group, and "To window" the method it calls, which
// follows the group's, also one installed later. A page holds the wrapped
// copy of its comment, when it has one; a button of the overwrite question
// holds the question. The editor and the deck are also named by their keys.
inline constexpr const char* STACKER_OBJNUM_EDITOR = "STACKER_OBJNUM_EDITOR";
inline constexpr const char* STACKER_DECK = "STACKER_DECK";
inline constexpr const char* STACKER_GROUP = "STACKER_GROUP";
inline constexpr const char* STACKER_N_PARTS = "STACKER_N_PARTS";
inline constexpr const char* STACKER_COMMENT = "STACKER_COMMENT";
inline constexpr const char* STACKER_OVERWRITE_OR_CANCEL_WINDOW = "STACKER_OVERWRITE_OR_CANCEL_WINDOW";
inline constexpr const char* STACKER_WINDOW_METHOD = "STACKER_WINDOW_METHOD";

// Opens the extended window (zem_object_window).
void default_create_window_method_proc(const ZEM_object& value, const char* title);
inline constexpr to_window_method default_create_window_method = default_create_window_method_proc;

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

// The buttons' work; each is given its button, the command, and finds the
// editor, the deck and the group through it. Next and Previous check no bound:
// their activity keeps them inside.
void stacker_do_next_proc(QObject* command);
void stacker_do_previous_proc(QObject* command);
// The page on show goes to the command's window method with the title "window".
void stacker_do_to_window_proc(QObject* command);
// Writes the page on show: its comment, its value and two newlines.
void stacker_do_to_file_proc(QObject* command);
// Removes the page on show and shows the next older entry, if any.
void stacker_do_delete_proc(QObject* command);
// What the buttons run: their work under the wait cursor, a failure ending in
// an alert while the deck keeps its pages.
void stacker_do_next(QObject* command);
void stacker_do_previous(QObject* command);
void stacker_do_to_window(QObject* command);
void stacker_do_to_file(QObject* command);
void stacker_do_delete(QObject* command);

// The overwrite question's buttons end its wait with 0, 1 or 2.
void do_overwrite_proc(QObject* command);
void do_append_proc(QObject* command);
void do_cancel_tofile_proc(QObject* command);
// What those buttons run.
void do_overwrite(QObject* command);
void do_append(QObject* command);
void do_cancel_tofile(QObject* command);

// What is recomputed whenever the number on show or the page count changes,
// each on the widget whose state it gives. n is the page count, e the number
// on show.
bool stacker_next_is_active_proc(const QObject* command);      // e < n - 1
bool stacker_previous_is_active_proc(const QObject* command);  // e > 0
bool stacker_to_window_is_active_proc(const QObject* command); // n > 0
bool stacker_to_file_is_active_proc(const QObject* command);   // n > 0
bool stacker_delete_is_active_proc(const QObject* command);    // n > 0
int stacker_value_of_main_window_proc(const QObject* deck);    // n - e - 1, the deck's index on show
int stacker_value_2_proc(const QObject* editor);               // n - 1, the editor's maximum
// Apply those values to the buttons, the deck and the editor.
void stacker_next_is_active(QWidget* command);
void stacker_previous_is_active(QWidget* command);
void stacker_to_window_is_active(QWidget* command);
void stacker_to_file_is_active(QWidget* command);
void stacker_delete_is_active(QWidget* command);
void stacker_value_of_main_window(QStackedWidget* deck);
void stacker_value_2(QSpinBox* editor);

Q_DECLARE_METATYPE(to_window_method)
