#include "module-object/file_output.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

bool write_all(int file, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(file, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += std::size_t(written);
    }
    return true;
}

// The rest of the file from where its handle stands.
bool read_all(int file, std::string& text)
{
    char block[65536];
    for (;;) {
        const ssize_t got = ::read(file, block, sizeof block);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        text.append(block, std::size_t(got));
    }
}

// Some file systems report a failed write only when the file is closed.
bool write_and_close(int file, const std::string& text)
{
    const bool written = write_all(file, text);
    return ::close(file) == 0 && written;
}

file_write_failure append(const std::string& path, const std::string& text)
{
    struct stat old;
    const bool regular = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    const int file = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (file < 0) return file_write_failure::cannot_create;
    const bool written = write_all(file, text);
    if (::close(file) == 0 && written) return file_write_failure::none;
    if (regular) (void)::truncate(path.c_str(), old.st_size);
    return file_write_failure::cannot_write;
}

// The file a path names once its symbolic links are followed; empty when it is gone.
std::string real_path(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

// Closes a file however the writer leaves, a failure for want of memory included.
class file_handle {
public:
    explicit file_handle(int file) noexcept : file_(file) {}
    ~file_handle()
    {
        if (file_ >= 0) ::close(file_);
    }
    file_handle(const file_handle&) = delete;
    file_handle& operator=(const file_handle&) = delete;

    int get() const noexcept { return file_; }
    // For a writer that closes the file itself.
    int release() noexcept { return std::exchange(file_, -1); }

private:
    int file_;
};

// A new file beside the target, closed and removed however the writer leaves,
// unless it has taken the target's place.
class new_file {
public:
    new_file(int file, std::string name) noexcept : file_(file), name_(std::move(name)) {}
    ~new_file()
    {
        if (!name_.empty()) ::unlink(name_.c_str());
    }
    new_file(const new_file&) = delete;
    new_file& operator=(const new_file&) = delete;

    int get() const noexcept { return file_.get(); }
    int release() noexcept { return file_.release(); }
    bool rename_over(const std::string& target)
    {
        if (::rename(name_.c_str(), target.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

private:
    file_handle file_;
    std::string name_;
};

// A new file in the target's directory, where a rename can put it in the
// target's place; none (no descriptor) when it cannot be created.
new_file create_beside(const std::string& target)
{
    static unsigned count = 0;
    const std::string directory = target.substr(0, target.rfind('/') + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name =
            directory + ".zarn-new-" + std::to_string(::getpid()) + "-" + std::to_string(count++);
        const int file = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0664);
        if (file >= 0) return new_file(file, std::move(name));
        if (errno != EEXIST) break;
    }
    return new_file(-1, {});
}

// The names of a file's extended attributes, each ended by a zero byte; false when they cannot be read.
bool attribute_names(int file, std::vector<char>& names)
{
    for (;;) {
        const ssize_t size = ::flistxattr(file, nullptr, 0);
        if (size < 0) {
            names.clear();
            return errno == ENOTSUP;  // a file system without them: nothing to carry
        }
        names.resize(std::size_t(size));
        const ssize_t got = size > 0 ? ::flistxattr(file, names.data(), names.size()) : 0;
        if (got >= 0) {
            names.resize(std::size_t(got));
            return true;
        }
        if (errno != ERANGE) return false;
    }
}

// Gives the new file every extended attribute of the old one (its access
// control list is one of them) and no other: a new file can be born with some,
// as the directory's default access control list; false when any of them
// cannot be carried over or taken away.
bool copy_attributes(int from, int to)
{
    std::vector<char> names, value;
    if (!attribute_names(to, names)) return false;
    for (std::size_t at = 0; at < names.size(); at += std::char_traits<char>::length(&names[at]) + 1) {
        const char* name = &names[at];
        if (::fgetxattr(from, name, nullptr, 0) < 0 && (errno != ENODATA || ::fremovexattr(to, name) != 0))
            return false;
    }
    if (!attribute_names(from, names)) return false;
    for (std::size_t at = 0; at < names.size(); at += std::char_traits<char>::length(&names[at]) + 1) {
        const char* name = &names[at];
        ssize_t size;
        for (;;) {
            size = ::fgetxattr(from, name, nullptr, 0);
            if (size < 0) return false;
            value.resize(std::size_t(size));
            size = size > 0 ? ::fgetxattr(from, name, value.data(), value.size()) : 0;
            if (size >= 0 || errno != ERANGE) break;
        }
        if (size < 0 || ::fsetxattr(to, name, value.data(), std::size_t(size), 0) != 0) return false;
    }
    return true;
}

// Writes beside the target and renames over it, so that a reader sees the old
// file or the whole new one. Refused (nothing touched, false) where the new
// file could not take the target's owner, group, mode and extended attributes.
bool replace_by_rename(const std::string& target, int old_file, const struct stat& old, const std::string& text,
                       file_write_failure* failure)
{
    new_file file = create_beside(target);
    if (file.get() < 0) return false;
    struct stat made;
    const bool taken = ::fstat(file.get(), &made) == 0 &&
                       (made.st_gid == old.st_gid || ::fchown(file.get(), uid_t(-1), old.st_gid) == 0) &&
                       ::fchmod(file.get(), old.st_mode & 07777) == 0 && copy_attributes(old_file, file.get());
    if (!taken) return false;
    const bool written = write_and_close(file.release(), text);
    if (written && file.rename_over(target))
        *failure = file_write_failure::none;
    else
        *failure = written ? file_write_failure::cannot_create : file_write_failure::cannot_write;
    return true;
}

// Whether the file can take `length` bytes from its start: within the
// file-size limit, and with the blocks it lacks reserved for it, or free on its
// file system where that cannot reserve; `unknown` where the file system tells
// neither. Neither size nor contents change.
bool room_for(int file, std::size_t length, bool unknown)
{
    rlimit limit;
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
    // A reservation that keeps the size is not held to the limit.
    if (limit.rlim_cur != RLIM_INFINITY && length > limit.rlim_cur) return false;
    if (length == 0) return true;
    int reserved;
    do {
        reserved = ::fallocate(file, FALLOC_FL_KEEP_SIZE, 0, off_t(length));
    } while (reserved != 0 && errno == EINTR);
    if (reserved == 0) return true;
    const int why = errno;
    struct stat now;
    if (::fstat(file, &now) != 0) return false;
    if (why != EOPNOTSUPP && why != ENOSYS && why != EINVAL) {
        // Blocks a reservation took before it ran short would stay past the end.
        (void)::ftruncate(file, now.st_size);
        return false;
    }
    struct statvfs space;
    if (::fstatvfs(file, &space) != 0) return unknown;
    const unsigned long long block = space.f_frsize ? space.f_frsize : space.f_bsize;
    if (block == 0 || space.f_blocks == 0) return unknown;
    const unsigned long long held = static_cast<unsigned long long>(now.st_blocks) * 512;
    if (length <= held) return true;
    // The superuser may take the blocks kept back for it. One block more for
    // the file system's own records of the new ones.
    const unsigned long long available = ::geteuid() == 0 ? space.f_bfree : space.f_bavail;
    return (length - held + block - 1) / block + 1 <= available;
}

// Overwrites the file through its own handle, keeping its owner, links and
// mode. Nothing is written unless the whole text fits: a file its writer may
// not read cannot have its old bytes held. Where they are held, they go back
// when the write fails all the same. Some file systems report a failed write
// only when the data reach the disk, so that is waited for while the old bytes
// can still go back.
file_write_failure overwrite(int file, const std::string& text)
{
    std::string old;
    const bool held = read_all(file, old);
    // Held bytes can go back, so a file system that tells nothing of its room is written.
    if (!room_for(file, text.size(), held)) return file_write_failure::cannot_write;
    if (::lseek(file, 0, SEEK_SET) == 0 && write_all(file, text) && ::ftruncate(file, off_t(text.size())) == 0 &&
        (::fsync(file) == 0 || errno == EINVAL))
        return file_write_failure::none;
    if (held && ::lseek(file, 0, SEEK_SET) == 0 && write_all(file, old)) (void)::ftruncate(file, off_t(old.size()));
    return file_write_failure::cannot_write;
}

// The target is opened for writing first, as any writer would open it: this
// follows symbolic links (creating the file that a dangling one names), fails
// on a loop, and refuses a file or directory the user may not write before
// anything is written.
file_write_failure replace(const std::string& path, const std::string& text)
{
    struct stat before;
    const bool existed = ::stat(path.c_str(), &before) == 0;
    // Reading too only where the old bytes may have to be held: a pipe opened
    // so would take its own writes.
    const bool regular = existed && S_ISREG(before.st_mode);
    int opened = ::open(path.c_str(), (regular ? O_RDWR : O_WRONLY) | O_CREAT | O_CLOEXEC, 0664);
    if (opened < 0 && regular && errno == EACCES) opened = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (opened < 0) return file_write_failure::cannot_create;
    file_handle file(opened);
    struct stat old;
    if (::fstat(file.get(), &old) != 0 || !S_ISREG(old.st_mode)) {
        // A device: written as it comes.
        return write_and_close(file.release(), text) ? file_write_failure::none : file_write_failure::cannot_write;
    }
    if (!existed) {
        if (write_and_close(file.release(), text)) return file_write_failure::none;
        // The half-made file goes: through a link, the file the link names.
        const std::string made = real_path(path);
        if (!made.empty()) ::unlink(made.c_str());
        return file_write_failure::cannot_write;
    }
    // A rename would part a second link from the new text, and give another
    // owner's file to this writer.
    file_write_failure failure = file_write_failure::none;
    if (old.st_nlink == 1 && old.st_uid == ::geteuid()) {
        const std::string target = real_path(path);
        if (!target.empty() && replace_by_rename(target, file.get(), old, text, &failure)) return failure;
    }
    return overwrite(file.get(), text);
}

// While it lives, a write past the file-size limit fails with EFBIG instead of
// ending the process, so that the writer's own recovery runs in any program.
class file_size_signal_ignored {
public:
    file_size_signal_ignored()
    {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        ::sigemptyset(&ignore.sa_mask);
        restore_ = ::sigaction(SIGXFSZ, &ignore, &previous_) == 0;
    }
    ~file_size_signal_ignored()
    {
        if (restore_) ::sigaction(SIGXFSZ, &previous_, nullptr);
    }
    file_size_signal_ignored(const file_size_signal_ignored&) = delete;
    file_size_signal_ignored& operator=(const file_size_signal_ignored&) = delete;

private:
    struct sigaction previous_ = {};
    bool restore_ = false;
};

}

file_write_failure write_whole_file(const std::string& path, const std::string& text, file_write_mode mode)
{
    const file_size_signal_ignored guard;
    return mode == file_write_mode::append ? append(path, text) : replace(path, text);
}

std::string write_failure_text(file_write_failure failure, const std::string& path)
{
    return (failure == file_write_failure::cannot_write ? "cannot write " : "cannot create ") + path;
}
