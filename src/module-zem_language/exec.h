// Running a command file: the whole file is scanned and parsed, then each
// statement in turn is checked, compiled and run on a machine of its own. This
// is the one place where a failure is caught: the statement counts as one
// error, its text and then "OK, resuming main loop" are shown, and the rest of
// the file is skipped.
#pragma once

#include "module-zem_language/tree.h"

// The file's error count: its syntax errors if it has any (then nothing runs);
// else, for the first statement that goes wrong, its semantic errors, or 1 if
// it failed while checked, compiled or run; else 0. Memory running out counts as
// the failure "out of memory". A file that cannot be opened or read fails with
// "scanner failed: " and the scanner's fault, which names the file; one that
// runs out of memory while parsed fails with "out of memory". The path is used
// as given.
int exec_zem_commandfile(const char* path);
// The same; the runner of the include statement, which drops the count:
// errors inside an included file have been shown there. A failure that leaves
// it (a file that cannot be opened) fails the include statement.
int exec_zem_expanded_commandfile(const char* path);

// Runs the statements of a statement list in order, adding to *nerr.
void exec_zem_statements(Tree_Node* list, int* nerr);
// Checks, compiles and runs one statement, unless *nerr is already non-zero.
void exec_zem_statement(Tree_Node* statement, int* nerr);

// At most this many command files run at once, the outermost counted; an
// include beyond fails, so a file that includes itself ends instead of
// exhausting the stack.
constexpr int max_nested_command_files = 16;

// A run shows at most this many alerts, those of the files it includes
// counted; after them one line says how many more were not shown. The bound
// decides only what is shown: a failure withheld is written to the standard
// error stream, and what runs is as without the bound.
constexpr int max_shown_alerts = 20;
// After this many messages, shown or not, the reading of the whole run stops,
// and a last line says so: a file of endless illegal characters such as
// /dev/zero ends. Nothing more is read or run, neither of that file nor of the
// files including it, and the run fails: its count is that of the file that
// stopped, or 1. Messages of checking a statement read no file; past the
// bound, the next message of a file being read stops the run.
constexpr int max_read_messages = 100000;

// Shows the lines that the run being read has still to show (how many messages
// it withheld, that its reading stopped), as its end would; the program ending
// in the middle of a run calls it first.
void report_withheld_messages();

// Called after an internal inconsistency of the tree has been reported; ends the process.
extern void (*exec_Exit)();

void Beginexec();
void Closeexec();
