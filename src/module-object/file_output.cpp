#include "module-object/file_output.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool write_all(int file, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(file, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return false;
        done += std::size_t(written);
    }
    return true;
}

// Some file systems report a failed write only when the file is closed.
bool write_and_close(int file, const std::string& text)
{
    const bool written = write_all(file, text);
    return ::close(file) == 0 && written;
}

file_write_failure write_in_place(const std::string& path, const std::string& text, int flags)
{
    const int file = ::open(path.c_str(), O_WRONLY | flags);
    if (file < 0) return file_write_failure::cannot_create;
    return write_and_close(file, text) ? file_write_failure::none : file_write_failure::cannot_write;
}

file_write_failure append(const std::string& path, const std::string& text)
{
    struct stat old;
    const bool regular = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    const file_write_failure failure = write_in_place(path, text, O_APPEND);
    if (regular && failure == file_write_failure::cannot_write) (void)::truncate(path.c_str(), old.st_size);
    return failure;
}

// A new file in the target's directory, where a rename can put it in the
// target's place; its name, or an empty one when it cannot be created.
std::string create_beside(const std::string& target, int* file)
{
    static unsigned count = 0;
    const std::string directory = target.substr(0, target.rfind('/') + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name =
            directory + ".zarn-new-" + std::to_string(::getpid()) + "-" + std::to_string(count++);
        *file = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0664);
        if (*file >= 0) return name;
        if (errno != EEXIST) break;
    }
    return {};
}

file_write_failure replace(const std::string& path, const std::string& text)
{
    struct stat old;
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return write_in_place(path, text, O_TRUNC);
    // Through a symbolic link the file it names is replaced, not the link.
    std::string target = path;
    if (char* real = exists ? ::realpath(path.c_str(), nullptr) : nullptr) {
        target = real;
        std::free(real);
    }
    int file = -1;
    const std::string temporary = create_beside(target, &file);
    if (temporary.empty()) return file_write_failure::cannot_create;
    if (exists) (void)::fchmod(file, old.st_mode & 07777);
    const bool written = write_and_close(file, text);
    if (written && ::rename(temporary.c_str(), target.c_str()) == 0) return file_write_failure::none;
    ::unlink(temporary.c_str());
    return written ? file_write_failure::cannot_create : file_write_failure::cannot_write;
}

}

file_write_failure write_whole_file(const std::string& path, const std::string& text, file_write_mode mode)
{
    return mode == file_write_mode::append ? append(path, text) : replace(path, text);
}

std::string write_failure_text(file_write_failure failure, const std::string& path)
{
    return (failure == file_write_failure::cannot_write ? "cannot write " : "cannot create ") + path;
}
