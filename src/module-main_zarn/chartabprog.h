// The character-table workbench: a window in which the user picks a character
// table of the configuration, loads its characters into a list, chooses some of
// them as numbered arguments and applies the character operations to them. New
// characters join the list; decompositions and copies go to the main stacker.
// The chosen rows always carry the argument numbers 1 to count, each once:
// new rows start unchosen, choosing hands out count + 1, only the holder of
// count can be unchosen, and reset and clear set every number to 0.
#pragma once

#include <QPointer>
#include <QWidget>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "module-chartab/chartab.h"
#include "module-object/pointer_to_objects.h"
#include "module-object/string.h"

class QLineEdit;
class QPushButton;
class QScrollArea;
class QSpinBox;

// Opens a new, independent workbench whose results go to `stacker` (made by create_stacker).
void chartabprog(QWidget* stacker);

// True exactly when the name maps to a configuration variable holding a character table.
bool is_valid_character_table(const ZEM_string& name);

// One entry of the character list: its selection button, list position,
// character and comment, left to right.
class character_row : public QWidget {
    Q_OBJECT
public:
    character_row(int position, const ZEM_character& character, const ZEM_string& comment);

    int arg_num() const { return arg_num_; }
    // Also relabels the button: the number when chosen, nothing otherwise.
    void set_arg_num(int k);
    const ZEM_character& stored_character() const { return stored_character_; }
    const ZEM_string& comment() const { return comment_; }
    QPushButton* button() const { return button_; }

private:
    int arg_num_ = 0;
    ZEM_character stored_character_;
    ZEM_string comment_;
    QPushButton* button_;
};

// The rows of the character list, top to bottom in the order they were added,
// with the accepted table and the name it was accepted under.
class character_group : public QWidget {
    Q_OBJECT
public:
    character_group();

    void add_to_character_group(const ZEM_character& character, const ZEM_string& comment);
    // Removes every row; the next one added is at list position 1.
    void clear_character_group();
    // Unchooses every row and keeps the list.
    void do_reset_character_list();
    // A press on a row's button.
    void do_select_character(character_row* row);

    // The chosen characters in argument order, each with its list position.
    void get_characters_from_group(pointer_to_objects<ZEM_character>& characters,
                                   pointer_to_objects<int>& positions) const;
    // One line per chosen row, in list order, numbered from 1.
    void get_comment_from_group(std::ostream& out) const;
    const ZEM_character_table& get_chartab_from_group() const { return *selected_character_table_; }
    bool has_character_table() const { return selected_character_table_.has_value(); }

    void set_character_table(const ZEM_string& name, const ZEM_character_table& table);
    const ZEM_string& chartab_name() const { return chartab_name_; }
    int arg_num() const { return arg_num_; }
    std::vector<character_row*> rows() const;

signals:
    // The rows or the choice changed.
    void changed();

private:
    int arg_num_ = 0;
    ZEM_string chartab_name_;
    std::optional<ZEM_character_table> selected_character_table_;
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

    // The chooser for `name`, a table's name (put into the text input) or a
    // list of labels and further names (offered in a pop-up, as deep as the
    // lists go): the name finally chosen, or nothing when the user cancelled.
    std::optional<ZEM_string> do_choose_character_table(const ZEM_string& name);
    void do_view_character_table();
    void do_accept_character_table();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void recompute_validity();

    QLineEdit* text_editor_;
    QSpinBox* n_editor_;
    QWidget* n_input_;
    character_group* group_;
    QScrollArea* character_pane_;
    QScrollArea* operation_pane_;
    QPushButton* view_button_;
    QPushButton* accept_button_;
    std::vector<QPushButton*> quarter_wide_;
};

// What an operation button's command carries: the label, which alone names the
// operation, the character list it works on, the deck that receives
// decompositions and copies (gone with the main window), and the input "n".
struct operation_command {
    std::string label;
    character_group* group;
    QPointer<QWidget> stacker;
    QSpinBox* n_editor;
};

// The operation pane: one button per operation, from the top, each pressed
// through do_character_operation_proc and active while operation_is_active_proc
// holds for the current choice and n. The caller places and sizes it.
QScrollArea* create_operations(character_group* group, QWidget* stacker, QSpinBox* n_editor);
// A label that names no operation is never active.
bool operation_is_active_proc(const operation_command& command);
// Runs the operation on the chosen characters in argument order: a new
// character joins the list, a decomposition or a copy goes to the deck, each
// with its comment. Does nothing while the command is not active.
void do_character_operation_proc(const operation_command& command);
