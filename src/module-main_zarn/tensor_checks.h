// The judgements of the tensor workbench's inputs, made afresh on every change
// of an input: a name is valid when it can really be used by the request, a
// symmetry when it parses with as many indices as the rank. Each `_proc` takes
// the widget that holds the formula and reads its inputs through the widget's
// slot keys; the function of the same name without `_proc` puts its value on
// that widget (a property, a colour, the enabled state). They only read the
// name mappings and the configuration; they never report anything.
#pragma once

#include <QColor>
#include <string>

#include "module-object/type.h"

class QObject;
class QWidget;

// group<matrix<scalar>>: a point group's type is that of an exact scalar.
ZEM_type matrix_group_of(const ZEM_type& scalar);
bool is_point_group(const ZEM_type& type);

// On a text input: its text against the mappings of the DIMENSION_EDITOR's
// dimension (a transformation must also be a dimension x dimension matrix),
// or, for a symmetry, against the RANK_EDITOR's rank.
bool is_valid_point_group_proc(const QObject& self);
bool is_valid_transformation_proc(const QObject& self);
bool is_valid_perm_symmetry_proc(const QObject& self);
// On a text input: white while its CONTAINS_VALID_VALUE holds, red otherwise.
QColor color_of_text_editor_proc(const QObject& self);
// On the buttons: "View point group" while its POINT_GROUP_TEXT_EDITOR is
// valid; "Tensor" and "Pseudo tensor" while all three inputs are; "Perm.
// symmetry" while the list VARIABLE_NAME + "_" + rank exists as a list of
// strings; "Basis transformation" while the dimension has a transformation
// mapping.
bool view_is_active_proc(const QObject& self);
bool execute_is_active_proc(const QObject& self);
bool perm_symmetry_is_active_proc(const QObject& self);
bool transformation_is_active_proc(const QObject& self);

void is_valid_point_group(QWidget* self);
void is_valid_transformation(QWidget* self);
void is_valid_perm_symmetry(QWidget* self);
void color_of_text_editor(QWidget* self);
void view_is_active(QWidget* self);
void execute_is_active(QWidget* self);
void perm_symmetry_is_active(QWidget* self);
void transformation_is_active(QWidget* self);

// The list name of a chooser: name + "_" + number.
std::string list_name(const std::string& name, int number);
