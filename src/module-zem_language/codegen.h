// Code generation (the module Trafo): turns the checked syntax tree of one
// statement into the instruction list that the stack machine runs. The walk is
// post-order with the children, and the elements of every list, emitted last
// to first, so that the first part of a value lies on top of the stack when the
// instruction that builds the value pops its parts. Only literal constants and
// counts are worked out here; every value is built when the list runs.
#pragma once

#include "module-object/type.h"
#include "module-zem_language/tree.h"
#include "module-zem_language/vm.h"

// Appends the code of `t` (a statement, or any node below one) to `code`.
void gen_i_code(Tree_Node* t, icode_instr_list* code);

// The type attribute of each element of an objects list, in list order, into
// types[0], types[1], ...; the caller's array has room for every element.
void collect_types_from_tree(int count, Tree_Node* list, ZEM_type* types);
// A new[] copy of the name attribute of each element, in list order; the
// caller frees them. When one cannot be copied, none is left.
void collect_names_from_tree(int count, Tree_Node* list, char** names);

// Called after an internal inconsistency of the tree has been reported;
// ends the process.
extern void (*Trafo_Exit)();

void BeginTrafo();
void CloseTrafo();
