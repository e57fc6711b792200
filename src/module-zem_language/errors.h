// Messages about a place in a command file: one line each, "line,column: ",
// a class word of 12 characters, a code text or a message text, and an optional
// ": " with an extra value; shown to the user through the program's alerts.
// Nothing is counted here: counting errors is the callers' business.
#pragma once

#include "front-end-support/positions.h"

// Message classes.
constexpr int xxFatal = 1;
constexpr int xxRestriction = 2;
constexpr int xxError = 3;
constexpr int xxWarning = 4;
constexpr int xxRepair = 5;
constexpr int xxNote = 6;
constexpr int xxInformation = 7;

// Message codes.
constexpr int xxNoText = 0;
constexpr int xxSyntaxError = 1;
constexpr int xxExpectedTokens = 2;
constexpr int xxRestartPoint = 3;
constexpr int xxTokenInserted = 4;
constexpr int xxTooManyErrors = 5;

// Information classes: what the information pointer designates.
constexpr int xxNone = 0;
constexpr int xxInteger = 1;    // int
constexpr int xxShort = 2;      // short
constexpr int xxLong = 3;       // long
constexpr int xxReal = 4;       // float
constexpr int xxBoolean = 5;    // one byte, "T" when not 0
constexpr int xxCharacter = 6;  // char
constexpr int xxString = 7;     // NUL-terminated text
constexpr int xxSet = 8;        // tSet
constexpr int xxIdent = 9;      // tIdent

// Called after a Fatal message has been shown; ends the program with status 1
// unless replaced.
extern void (*Errors_Exit)();

void ErrorMessage(int code, int message_class, tPosition position);
void ErrorMessageI(int code, int message_class, tPosition position, int info_class, const void* info);
void Message(const char* text, int message_class, tPosition position);
void MessageI(const char* text, int message_class, tPosition position, int info_class, const void* info);
// The common worker: with `is_code` the code text of `code_or_ident`, else the
// text of the identifier `code_or_ident`.
void WriteMessage(bool is_code, int code_or_ident, int message_class, tPosition position, int info_class,
                  const void* info);
