// The identifier table: every text entered gets a number, and equal texts get
// the same number. Texts are kept whole, whatever their length, for the whole
// run. Identifiers are 32 bits wide, so the table never runs out of numbers.
#pragma once

#include <cstdio>

#include "front-end-support/stringmem.h"

using tIdent = int;

// The identifier of the empty text.
constexpr tIdent NoIdent = 1;

// 0, with the table as it was, when memory has run out.
tIdent MakeIdent(const char* text, int length);
// Copies the text and a terminating NUL; the buffer must hold its length + 1 bytes.
void GetString(tIdent ident, char* buffer);
// The stored text, valid for the rest of the run.
tStringRef GetStringRef(tIdent ident);
// The highest identifier handed out.
tIdent MaxIdent();
void WriteIdent(std::FILE* file, tIdent ident);
// Every identifier from 1 upward to the standard output: "%5d " and the text.
void WriteIdents();
// Per bucket 0 .. 255: "%5d" bucket, "%5d" chain length, " " and the text of
// each identifier in the chain, a newline; at the end "\nIdents = %5d\n".
void WriteHashTable();
// Empties the table; the empty text becomes NoIdent again.
void InitIdents();
