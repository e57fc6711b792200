// The tensor workbench: one window per call in which the user states a
// dimension, a rank, a point group, an index symmetry and a basis
// transformation, and asks for the general invariant tensor or pseudo-tensor,
// which goes to the result deck `stacker` with a three-line comment.
// Widgets find their partners through the slot keys below, dynamic properties
// that hold the partner; the buttons carry what their methods and activity
// formulas read, the text inputs what their checks read.
#pragma once

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include "module-misc_amulet/window_parts.h"

class QLineEdit;
class QSpinBox;

inline constexpr const char* POINT_GROUP_TEXT_EDITOR = "POINT_GROUP_TEXT_EDITOR";
inline constexpr const char* DIMENSION_EDITOR = "DIMENSION_EDITOR";
inline constexpr const char* RANK_EDITOR = "RANK_EDITOR";
inline constexpr const char* PERM_SYMMETRY_EDITOR = "PERM_SYMMETRY_EDITOR";
// The pop-up level whose wait a choice or "cancel" ends: on the pop-up itself
// and on its commands (a permutation symmetry's choices carry their own key).
inline constexpr const char* POINTGROUP_SELECTION_WINDOW = "POINTGROUP_SELECTION_WINDOW";
inline constexpr const char* PERM_SYMMETRY_SELECTION_WINDOW = "PERM_SYMMETRY_SELECTION_WINDOW";
// A bool, on each text input: its text is valid.
inline constexpr const char* CONTAINS_VALID_VALUE = "CONTAINS_VALID_VALUE";
inline constexpr const char* TRANSFORMATION_TEXT_EDITOR = "TRANSFORMATION_TEXT_EDITOR";
inline constexpr const char* TRANSFORMATION_SELECTION_WINDOW = "TRANSFORMATION_SELECTION_WINDOW";
inline constexpr const char* TENSOR_WINDOW = "TENSOR_WINDOW";
// The deck, held weakly: it goes with the main window.
inline constexpr const char* RESULT_STACKER = "RESULT_STACKER";
// A string, on the chooser buttons: the stem of the chooser's list names.
inline constexpr const char* VARIABLE_NAME = "VARIABLE_NAME";

// Opens a new, independent workbench window and returns it.
QWidget* tensorprog(QWidget* stacker);

// What the "Tensor" and "Pseudo tensor" commands carry: the inputs, read when
// pressed, and the deck that receives the result (gone with the main window).
struct execute_command {
    QLineEdit* point_group_text_editor;
    QLineEdit* perm_symmetry_editor;
    QLineEdit* transformation_text_editor;
    QSpinBox* rank_editor;
    QSpinBox* dimension_editor;
    QPointer<QWidget> result_stacker;
};

// The request for the invariant tensor, or pseudo-tensor, of the inputs: adds
// it to the deck with its comment, or fails and adds nothing.
void do_execute_tensor_proc(const execute_command& command);
void do_execute_pseudo_tensor_proc(const execute_command& command);

// "View point group": opens an object window on the group the command's point
// group names at its dimension, titled by the name as typed.
void do_view_pointgroup_proc(const QObject& command);
// "Close": closes, and so deletes, the command's TENSOR_WINDOW; the deck keeps its pages.
void do_close_tensor_window_proc(const QObject& command);
