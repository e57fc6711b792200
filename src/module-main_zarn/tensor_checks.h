// The judgements of the tensor workbench's inputs, made afresh on every change
// of an input: a name is valid when it can really be used by the request, a
// symmetry when it parses with as many indices as the rank. They only read the
// name mappings and the configuration; they never report anything.
#pragma once

#include <string>

#include "module-object/type.h"

// group<matrix<scalar>>: a point group's type is that of an exact scalar.
ZEM_type matrix_group_of(const ZEM_type& scalar);
bool is_point_group(const ZEM_type& type);

bool is_valid_point_group_proc(const std::string& text, int dimension);
// The matrix must also be dimension x dimension.
bool is_valid_transformation_proc(const std::string& text, int dimension);
bool is_valid_perm_symmetry_proc(const std::string& text, int rank);
// "Perm. symmetry": the list variable_name + "_" + rank exists as a list of strings.
bool perm_symmetry_is_active_proc(const std::string& variable_name, int rank);
// "Basis transformation": the dimension has a transformation mapping.
bool transformation_is_active_proc(int dimension);

// The list name of a chooser: name + "_" + number.
std::string list_name(const std::string& name, int number);
