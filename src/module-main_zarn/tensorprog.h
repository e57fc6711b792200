// The tensor workbench: one window per call in which the user states a
// dimension, a rank, a point group, an index symmetry and a basis
// transformation, and asks for the general invariant tensor or pseudo-tensor,
// which goes to the result deck `stacker` with a three-line comment.
#pragma once

class QWidget;

// Opens a new, independent workbench window and returns it.
QWidget* tensorprog(QWidget* stacker);
