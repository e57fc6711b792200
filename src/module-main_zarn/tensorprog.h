// The tensor workbench: one window per call in which the user states a
// dimension, a rank, a point group, an index symmetry and a basis
// transformation, and asks for the general invariant tensor or pseudo-tensor,
// which goes to the result deck `stacker` with a three-line comment.
#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QSpinBox;

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
