// The semantic pass over one statement of a command file: it gives every value
// node its type and the name of its result, every list its element count and
// the common type of its elements, checks the language's type rules and
// resolves names against global_objects and global_functions. Each violation
// is a message of class Error at the checking node's position, counted in
// semantic_errors; the pass never stops at one. The attributes stay in the
// tree, which owns them, for code generation to read.
#pragma once

#include "front-end-support/positions.h"
#include "module-zem_language/tree.h"

// The errors counted for the statement checked last.
extern int semantic_errors;

void BeginSemantics();
// Checks one statement (not a statement list).
void Semantics(tTree statement);
void CloseSemantics();

// The attribute evaluation of a node and everything below it.
void yyVisit1(tTree node);

// Whether `name` called as a procedure with the `count` arguments of the list
// `arguments` is acceptable: 1, or 0 after a message at `position` (the caller
// counts the error).
int check_procedure(const char* name, tTree arguments, tPosition position, int count);
