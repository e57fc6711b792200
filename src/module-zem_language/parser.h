// The parser of the command language: reads the whole file opened by BeginFile,
// builds its syntax tree into TreeRoot (statements in source order) and returns
// the number of syntax errors. It never stops early: each error is reported, the
// input is resynchronised and repaired by inserted tokens, and parsing goes on,
// so TreeRoot is set even when errors occurred. The scanner's counted errors
// (numbers out of range and the like) count as well.
//
// The one exception: brackets, parentheses and braces open more than
// max_nesting deep are "expression nested too deeply", one error at the bracket
// that goes too deep; the rest of the file is read without being parsed, and
// TreeRoot is an empty list. So nothing after the parser (checks, code, the
// tree's own walks) ever meets a deeper tree than that.
#pragma once

#include "module-zem_language/scanner.h"

// The names of the token codes, as the messages "expected tokens" and
// "token inserted " write them.
extern const char* const Parser_TokenName[tkCount];

constexpr int max_nesting = 256;

int Parser();
void BeginParser();
void CloseParser();
