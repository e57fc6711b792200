// Thin wrappers of the runtime for the front end: low-level files, the heap,
// the clock, the command line and process control.
#pragma once

// A descriptor of the file opened read-only; negative on failure.
int OpenInput(const char* file_name);
// A descriptor of the file created or emptied for writing, with read and write
// permission for everybody (less the process's mask); negative on failure.
int OpenOutput(const char* file_name);
// Bytes read (0 at the end of input) or written; negative on error.
int Read(int file, char* buffer, int size);
int Write(int file, const char* buffer, int size);
void Close(int file);
// True when the descriptor is a character device.
bool IsCharacterSpecial(int file);
// A block from the runtime heap; null when the heap is exhausted.
void* SysAlloc(unsigned long size);
// Where SysAlloc takes its blocks: the runtime heap, unless a test has put a
// source in place that can run short at will.
extern void* (*SysAlloc_source)(unsigned long size);
// The processor clock count divided by 1000.
long Time();
// The command line, kept for GetArgCount and GetArgument (nothing stores it,
// so the count reads 0).
void PutArgs(int argc, char** argv);
int GetArgCount();
// Copies argument i and a NUL into the buffer; an empty text for an i out of range.
void GetArgument(int i, char* buffer);
// The runtime's last error number.
int ErrNum();
// Runs the command through the runtime's command processor; its status.
int System(const char* command);
[[noreturn]] void Exit(int status);
