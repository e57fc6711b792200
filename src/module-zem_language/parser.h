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

#include <bitset>
#include <vector>

#include "module-zem_language/scanner.h"

// The names of the token codes, as the messages "expected tokens" and
// "token inserted " write them.
extern const char* const Parser_TokenName[tkCount];

constexpr int max_nesting = 256;

int Parser();
void BeginParser();
void CloseParser();

// The nonterminals, numbered on from the token codes.
enum : int {
    ntRoot = tkCount,
    ntStatements,
    ntStatement,
    ntObject,
    ntObjects,
    ntChartabPowers,
    ntChartabPow,
    ntTensorvals,
    ntTensorval,
};

// What the error recovery asks of the automaton. A stack holds states, the
// start state 0 at the bottom; a set holds token codes. The routines work on
// copies of a stack and leave the stack itself as it is.
using yyStateStack = std::vector<int>;
using yyTerminalSet = std::bitset<tkCount>;

// The state that `state` enters on the token code or nonterminal `symbol`; 0
// when it has no such transition (nothing enters the start state). A reduction
// is no transition.
int yyNext(int state, int symbol);
// Whether the token is really shifted from the stack, after the reductions
// that it causes.
bool yyIsContinuation(int token, const yyStateStack& stack);
// The tokens that yyIsContinuation accepts on the stack.
yyTerminalSet yyComputeContinuation(const yyStateStack& stack);
// The union of the continuation sets of every configuration passed on the way
// from the stack to the stop state along the states' continuation tokens; it
// always holds the end of file.
yyTerminalSet yyComputeRestartPoints(const yyStateStack& stack);
