// The character-table workbench: a window in which the user picks a character
// table of the configuration, loads its characters into a list, chooses some of
// them as numbered arguments and applies the character operations to them. New
// characters join the list; decompositions and copies go to the main stacker.
// The chosen rows always carry the argument numbers 1 to count, each once:
// new rows start unchosen, choosing hands out count + 1, only the holder of
// count can be unchosen, and reset and clear set every number to 0.
//
// A button is its own command: what its method and its activity read stands in
// its dynamic properties under the slot keys below, partners as QObject
// pointers. Every method takes that command; a `_proc` holds the behaviour and
// the name without it is what the widget runs (methods) or what applies the
// value to the widget when the inputs change (formulas).
#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <ostream>
#include <vector>

#include "module-chartab/chartab.h"
#include "module-misc_amulet/window_parts.h"
#include "module-object/pointer_to_objects.h"
#include "module-object/string.h"

class QAbstractButton;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;

// Slot keys. CHARTAB_TEXT_EDITOR, CHARACTER_BUTTON and CHARACTER_COMMENT are
// also the object names of the text input, a row's button and its comment.
inline constexpr const char* CHARTAB_TEXT_EDITOR = "CHARTAB_TEXT_EDITOR";
inline constexpr const char* CHARACTER_WINDOW = "CHARACTER_WINDOW";
inline constexpr const char* CHTAB_CONTAINS_VALID_VALUE = "CHTAB_CONTAINS_VALID_VALUE";
inline constexpr const char* CHARTAB_SELECTION_WINDOW = "CHARTAB_SELECTION_WINDOW";
inline constexpr const char* CHARTAB_VARIABLE_NAME = "CHARTAB_VARIABLE_NAME";
inline constexpr const char* CHARACTER_GROUP = "CHARACTER_GROUP";
inline constexpr const char* CHARACTER_ARG_NUM = "CHARACTER_ARG_NUM";
inline constexpr const char* SELECTED_CHARACTER_TABLE = "SELECTED_CHARACTER_TABLE";
inline constexpr const char* STORED_CHARACTER = "STORED_CHARACTER";
inline constexpr const char* CHARACTER_BUTTON = "CHARACTER_BUTTON";
inline constexpr const char* CHARTAB_STACKER = "CHARTAB_STACKER";
inline constexpr const char* CHARTAB_N_EDITOR = "CHARTAB_N_EDITOR";
inline constexpr const char* CHARACTER_COMMENT = "CHARACTER_COMMENT";
inline constexpr const char* CHARTAB_NAME = "CHARTAB_NAME";

// Opens a new, independent workbench whose results go to `stacker` (made by create_stacker).
void chartabprog(QWidget* stacker);

// One entry of the character list: its selection button, list position,
// character and comment, left to right. The character is held in
// STORED_CHARACTER; the argument number is the button's CHARACTER_ARG_NUM,
// which the row's own CHARACTER_ARG_NUM follows.
class character_row : public QWidget {
    Q_OBJECT
public:
    character_row(QObject* group, int position, const ZEM_character& character, const ZEM_string& comment);

    int arg_num() const;
    const ZEM_character& stored_character() const;
    const ZEM_string& comment() const { return comment_; }
    QPushButton* button() const { return button_; }

protected:
    // Relabels the button whenever its argument number changes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ZEM_string comment_;
    QPushButton* button_;
};

// The rows of the character list, top to bottom in the order they were added.
// Its slots: CHARACTER_ARG_NUM, the count of chosen rows; CHARTAB_NAME, the
// name the table was accepted under; SELECTED_CHARACTER_TABLE, once accepted.
class character_group : public QWidget {
    Q_OBJECT
public:
    character_group();

    void add_to_character_group(const ZEM_character& character, const ZEM_string& comment);
    // Removes every row; the next one added is at list position 1.
    void clear_character_group();

    // The chosen characters in argument order, each with its list position.
    void get_characters_from_group(pointer_to_objects<ZEM_character>& characters,
                                   pointer_to_objects<int>& positions) const;
    // One line per chosen row, in list order, numbered from 1.
    void get_comment_from_group(std::ostream& out) const;
    const ZEM_character_table& get_chartab_from_group() const;
    bool has_character_table() const;

    ZEM_string chartab_name() const;
    int arg_num() const;
    std::vector<character_row*> rows() const;

signals:
    // The rows or one of the group's slots changed.
    void changed();

protected:
    bool event(QEvent* event) override;
};

class chartab_window : public QWidget {
    Q_OBJECT
public:
    explicit chartab_window(QWidget* stacker);

    QLineEdit* chartab_text_editor() const { return text_editor_; }
    QSpinBox* n_editor() const { return n_editor_; }
    character_group* group() const { return group_; }
    // The eight operation buttons in their order from the top.
    QList<QPushButton*> operations() const;

private:
    QLineEdit* text_editor_;
    QSpinBox* n_editor_;
    character_group* group_;
    QScrollArea* operation_pane_;
};

// Methods, each given its command. "Point group" and every entry of a chooser
// pop-up: the name in CHARTAB_VARIABLE_NAME is a table's name (written into
// CHARTAB_TEXT_EDITOR) or a list of labels and further names, offered in a
// pop-up over the one in CHARTAB_SELECTION_WINDOW, as deep as the lists go.
void do_choose_character_table_proc(QObject& command);
void do_choose_character_table(QObject& command);
// Ends the wait of the pop-up in CHARTAB_SELECTION_WINDOW without a choice.
void do_cancel_character_table_proc(QObject& command);
void do_cancel_character_table(QObject& command);
void do_view_character_table_proc(QObject& command);
void do_view_character_table(QObject& command);
// Empties the list, then fills it with the table's rows, its determinant and
// its vector character, none chosen.
void do_accept_character_table_proc(QObject& command);
void do_accept_character_table(QObject& command);
// A press on a row's button: chooses it as the next argument or unchooses the last.
void do_select_character_proc(QObject& command);
void do_select_character(QObject& command);
// Unchooses every row and keeps the list.
void do_reset_character_list_proc(QObject& command);
void do_reset_character_list(QObject& command);
void do_close_character_window_proc(QObject& command);
void do_close_character_window(QObject& command);
// Runs the operation the command's label names on the chosen characters in
// argument order: a new character joins the list, a decomposition or a copy
// goes to the deck, each with its comment. Does nothing while it is not active.
void do_character_operation_proc(QObject& command);

// Formulas. The text input: whether its text names a character table, and
// its fill; "View character table" and "Accept character table": whether the
// text input they hold is valid.
bool is_valid_character_table_proc(const QLineEdit& text_editor);
QColor chtab_color_of_text_editor_proc(const QObject& text_editor);
bool view_chartable_is_active_proc(const QObject& command);
void is_valid_character_table(QLineEdit& text_editor);
void chtab_color_of_text_editor(QWidget& text_editor);
void view_chartable_is_active(QAbstractButton& command);
// A row's button: its argument number, or nothing while it is not chosen.
QString label_of_character_selection_button_proc(const QObject& command);
void label_of_character_selection_button(QAbstractButton& button);
// An operation button: whether the choice and n fit its operation; a label
// that names no operation is never active.
bool operation_is_active_proc(const QObject& command);
void operation_is_active(QAbstractButton& button);

// The operation pane: one button per operation, from the top, each carrying
// the group, the deck that receives decompositions and copies, and the input
// "n". The caller places and sizes it.
QScrollArea* create_operations(character_group* group, QWidget* stacker, QSpinBox* n_editor);
