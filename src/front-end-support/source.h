// Reading source text in blocks. A carriage return directly before a line feed
// is dropped, so files written with two-byte line ends read like any other; a
// carriage return anywhere else reaches the reader unchanged.
#pragma once

// Opens the file read-only; a negative handle when it cannot be opened.
int BeginSource(const char* file_name);
// Reads up to `size` bytes (size above 0) of the file into `buffer`; the count
// read, 0 at the end of the file, negative on a read failure.
int GetLine(int file, char* buffer, int size);
void CloseSource(int file);
