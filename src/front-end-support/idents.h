// The identifier table: every text entered gets a number, and equal texts get
// the same number. Texts are kept whole, whatever their length, for the whole run.
#pragma once

#include <string>

using tIdent = int;

// The identifier of the empty text.
constexpr tIdent NoIdent = 1;

tIdent MakeIdent(const char* text, int length);
// Copies the text and a terminating NUL; the buffer must hold its length + 1 bytes.
void GetString(tIdent ident, char* buffer);
// The text itself, valid for the rest of the run.
const std::string& GetStringRef(tIdent ident);
