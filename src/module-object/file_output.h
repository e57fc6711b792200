// Writing a whole text to a file, for the two places that write files (the
// command statement and the result deck). No data is lost: a file is replaced
// by a complete new one or keeps its old bytes, and a failed append leaves the
// old contents.
#pragma once

#include <string>

enum class file_write_mode { replace, append };

enum class file_write_failure { none, cannot_create, cannot_write };

// Writes all of `text` to the file at `path`, following symbolic links.
// `replace` first opens the target for writing, so that a file or directory
// the user may not write is refused before anything is written. A new file
// gets bits 0664 less the umask. An existing file with one link and this
// writer's owner is replaced by a new file written beside it and renamed over
// it, with its group, mode and extended attributes (its access control list
// among them); any other (more links, another owner, no room for a new file
// in its directory, attributes the new file cannot take) is overwritten in
// place, and only once the whole text is known to fit (the file-size limit,
// blocks reserved for it); its old bytes are held and put back when the write
// still fails (a file the user may write but not read cannot have them held).
// `append` adds to an existing file and cuts it back to its old length when a
// write fails. Opening or creating failed, or writing did; the target is then
// as it was. A device is written in place. A write past the file-size limit
// fails as any other does: the signal it raises is ignored while the writer
// runs.
file_write_failure write_whole_file(const std::string& path, const std::string& text, file_write_mode mode);

// "cannot create " or "cannot write " followed by the path.
std::string write_failure_text(file_write_failure failure, const std::string& path);
