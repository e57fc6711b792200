// The string store: texts are stored once, for the whole run, in blocks of
// 20480 bytes or more from the front end's pool. A stored string is its length
// (a 32-bit count, so a text of any length is kept whole) followed by its bytes,
// with no terminating NUL; a string reference is its address.
#pragma once

#include <cstdio>
#include <string_view>

using tStringRef = const char*;

// A reference to a new stored copy of text[0 .. length); null, with the store
// as it was, when memory has run out.
tStringRef PutString(const char* text, int length);
// Copies the text and a NUL into the buffer (room for its length + 1).
void StGetString(tStringRef string, char* buffer);
// True when the stored bytes equal the first that many bytes of text.
bool IsEqualSt(tStringRef string, const char* text);
int LengthSt(tStringRef string);
// The stored text itself.
std::string_view StText(tStringRef string);
void WriteString(std::FILE* file, tStringRef string);
// Every stored string, newest block first: "%8lx " with its address, the text
// and a newline; at the end "\n%5ld Bytes\n" with the bytes the strings take.
void WriteStringMemory();
void InitStringMemory();
