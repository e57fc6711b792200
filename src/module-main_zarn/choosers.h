// The choosers of the tensor workbench: modal selection pop-ups, one button per
// entry of a configuration list and "cancel". Entries that name a further list
// open a nested pop-up; a final choice closes every open level, "cancel" only
// its own. Each returns the text to write into its input, or nothing when the
// user cancelled. A configuration fault beeps, shows its alert and throws
// configuration_fault, before anything was written.
#pragma once

#include <optional>
#include <string>

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
