// Writing a whole text to an open file descriptor, for the two places that write
// files (the command statement and the result deck).
#pragma once

#include <string>

// Writes all of `text` to `file`, going on after interrupted writes; false when
// a write fails, so that a short file is never reported as written.
bool write_all(int file, const std::string& text);
