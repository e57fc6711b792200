// The choosers of the workbenches: modal selection pop-ups, one button per
// entry of a configuration list and "cancel". Entries that name a further list
// open a nested pop-up over the one that shows them; a final choice writes
// into the input and closes every open level, innermost first, "cancel" only
// its own. A configuration fault beeps, shows its alert and throws
// configuration_fault, before anything was written.
//
// Every level is an object that holds itself under its selection-window key;
// its entry commands hold it too, with the partners their choice needs, as
// the workbench's buttons do. A choice ends a level's wait by finishing it with
// the chosen value; "cancel" finishes it with none.
#pragma once

#include <QObject>
#include <QVariant>
#include <functional>
#include <string>
#include <vector>

class ZEM_object;

struct chooser_entry {
    std::string label;
    std::string name;
};

// The pairs of label and name of a configuration list of strings, in order. A
// last label without a name is no entry; when `lone_label_fails`, reading its
// name fails as the list's iterator fails past the end.
std::vector<chooser_entry> entries_of(const ZEM_object& list, bool lone_label_fails = false);

// Ends the wait of a pop-up level with `value`; an invalid value is "cancel".
void finish_pop_up_waiting(QObject& window, const QVariant& value);

// One level of a selection pop-up, alive while it is waited for.
class selection_level {
public:
    // The level holds itself under `window_key`, so that its cancel finds it,
    // and its entries hold it under `entry_key`, the same unless given.
    explicit selection_level(const char* window_key, const char* entry_key = nullptr);
    selection_level(const selection_level&) = delete;
    selection_level& operator=(const selection_level&) = delete;

    QObject& window() { return window_; }
    // A new entry command, labelled `label` (its "text", as a button's), in order.
    QObject* add_entry(const std::string& label);
    // Shows the level titled `title` and waits: a press runs `choose` on its
    // entry command, and the level stays open until someone finishes its wait.
    // "cancel" and a close through the frame run `cancel` on the level. The
    // value that ended the wait, invalid when cancelled.
    QVariant pop_up_and_wait(const std::string& title, const std::function<void(QObject&)>& choose,
                             const std::function<void(QObject&)>& cancel);

private:
    QObject window_;
    const char* entry_key_;
    std::vector<QObject*> entries_;
};

// Do-methods of the tensor workbench's choosers, given their command: the
// workbench's button or an entry of a pop-up. `_proc` holds the behaviour; the
// name without it, under the workbench's failure guard, is what the button, a
// permutation symmetry's choice and a pop-up's "cancel" or close run. A
// point-group or transformation entry runs the `_proc` itself, so that a fault
// in a nested level ends the whole press.

// VARIABLE_NAME is "point_group" at the workbench, an entry's name inside a
// pop-up; the chosen entry's name goes into POINT_GROUP_TEXT_EDITOR.
void do_choose_pointgroup_or_pointgroup_class_proc(const QObject& command);
void do_choose_pointgroup_or_pointgroup_class(const QObject& command);
// Ends the wait of the pop-up in the source's POINTGROUP_SELECTION_WINDOW without a choice.
void do_cancel_pointgroup_or_pointgroup_class_proc(const QObject& source);
void do_cancel_pointgroup_or_pointgroup_class(const QObject& source);

// The command's own text is the key looked up in the transformation mapping
// and what goes into TRANSFORMATION_TEXT_EDITOR. Reports nothing: whatever it
// cannot use it ignores.
void do_choose_basis_transformation_proc(const QObject& command);
void do_choose_basis_transformation(const QObject& command);
void do_cancel_transformation_proc(const QObject& source);
void do_cancel_transformation(const QObject& source);

// VARIABLE_NAME is "perm_symmetry"; the list for the rank is offered as it is.
void do_choose_rank_and_permsymm_proc(const QObject& command);
void do_choose_rank_and_permsymm(const QObject& command);
// A choice of the permutation-symmetry pop-up: its label is the symmetry, as
// listed, and goes into PERM_SYMMETRY_EDITOR.
void do_select_perm_symmetry_proc(const QObject& command);
void do_select_perm_symmetry(const QObject& command);
