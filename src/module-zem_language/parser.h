// The parser of the command language: reads the whole file opened by BeginFile,
// builds its syntax tree into TreeRoot (statements in source order) and returns
// the number of syntax errors. It never stops early: each error is reported, the
// input is resynchronised and repaired by inserted tokens, and parsing goes on,
// so TreeRoot is set even when errors occurred.
#pragma once

#include "module-zem_language/scanner.h"

// The names of the token codes, as the messages "expected tokens" and
// "token inserted " write them.
extern const char* const Parser_TokenName[tkCount];

int Parser();
void BeginParser();
void CloseParser();
