// Writing a whole text to a file, for the two places that write files (the
// command statement and the result deck). No data is lost: a file is replaced
// only by a complete new one, and a failed append leaves the old contents.
#pragma once

#include <string>

enum class file_write_mode { replace, append };

enum class file_write_failure { none, cannot_create, cannot_write };

// Writes all of `text` to the file at `path`. `replace` writes a new file beside
// the target (bits 0664 less the umask, or those of the file it replaces) and
// renames it over the target once every byte is written and closed; `append`
// adds to an existing file and cuts it back to its old length when a write
// fails. Opening or creating failed, or writing did; the target is then as it
// was. A target that is no regular file (a device) is written in place.
file_write_failure write_whole_file(const std::string& path, const std::string& text, file_write_mode mode);

// "cannot create " or "cannot write " followed by the path.
std::string write_failure_text(file_write_failure failure, const std::string& path);
