// The choosers of the workbenches: modal selection pop-ups, one button per
// entry of a configuration list and "cancel". Entries that name a further list
// open a nested pop-up over the one that shows them; a final choice closes every
// open level, innermost first, "cancel" only its own. Each returns the text to
// write into its input, or nothing when the user cancelled. A configuration
// fault beeps, shows its alert and throws configuration_fault, before anything
// was written.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QObject;
class ZEM_object;

struct chooser_entry {
    std::string label;
    std::string name;
};

// The pairs of label and name of a configuration list of strings, in order. A
// last label without a name is no entry; when `lone_label_fails`, reading its
// name fails as the list's iterator fails past the end.
std::vector<chooser_entry> entries_of(const ZEM_object& list, bool lone_label_fails = false);

// The selection pop-up titled `title`: `choose` runs on the entry pressed while
// the pop-up stays open; the first result it gives closes the pop-up and is
// returned. Nothing when the user cancelled.
std::optional<std::string> wait_for_choice(
    const std::string& title, const std::vector<chooser_entry>& entries,
    const std::function<std::optional<std::string>(const chooser_entry&)>& choose);

// `name` is "point_group" at the workbench, an entry's name inside a pop-up.
// Returns the chosen entry's name.
std::optional<std::string> do_choose_pointgroup_or_pointgroup_class_proc(const std::string& name, int dimension);

// `label` is the button's text ("Basis transformation" at the workbench) and
// the key looked up in the transformation mapping; returns the chosen label.
// Reports nothing: whatever it cannot use it ignores.
std::optional<std::string> do_choose_basis_transformation_proc(const std::string& label, const std::string& name,
                                                               int dimension);

// `name` is "perm_symmetry"; returns the chosen symmetry string.
std::optional<std::string> do_choose_rank_and_permsymm_proc(const std::string& name, int rank);
// A choice of the permutation-symmetry pop-up: its label is the symmetry, as listed.
std::optional<std::string> do_select_perm_symmetry_proc(const chooser_entry& choice);

// What the tensor workbench's chooser buttons run: the chooser of the button's
// VARIABLE_NAME at the dimension or rank of its number input; a choice goes
// into its text input, a fault ends the press and changes nothing.
void do_choose_pointgroup_or_pointgroup_class(const QObject& command);
// The button's own text is the key looked up in the transformation mapping.
void do_choose_basis_transformation(const QObject& command);
void do_choose_rank_and_permsymm(const QObject& command);
