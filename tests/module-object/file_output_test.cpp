#include "module-object/file_output.h"

#include <fcntl.h>
#include <linux/loop.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

#include "support/child_process.h"
#include "support/file_size_limit.h"

namespace {

namespace fs = std::filesystem;

std::string contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "(none)";
}

fs::path fresh_directory(const std::string& name)
{
    const fs::path dir = fs::temp_directory_path() / (name + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// An extended attribute's value, or "(none)".
std::string attribute(const fs::path& path, const char* name)
{
    std::string value(4096, '\0');
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    return size < 0 ? "(none)" : value.substr(0, std::size_t(size));
}

// Attaches the image to a free loop device, which goes again with its last
// user; the device's open handle (kept until the device is mounted), or -1.
int attach_loop(const fs::path& image, std::string& device)
{
    const int control = ::open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    const int backing = ::open(image.c_str(), O_RDWR | O_CLOEXEC);
    for (int attempt = 0; control >= 0 && backing >= 0 && attempt < 10; ++attempt) {
        const int number = ::ioctl(control, LOOP_CTL_GET_FREE);
        device = "/dev/loop" + std::to_string(number);
        const int loop = number < 0 ? -1 : ::open(device.c_str(), O_RDWR | O_CLOEXEC);
        if (loop < 0) break;
        loop_config config = {};
        config.fd = unsigned(backing);
        config.info.lo_flags = LO_FLAGS_AUTOCLEAR;
        if (::ioctl(loop, LOOP_CONFIGURE, &config) == 0) return loop;
        ::close(loop);
        if (errno != EBUSY) break;  // taken meanwhile by another process
    }
    return -1;
}

enum class mounted_run { done, failed, cannot_mount };

// Runs work in a child process with a file system of `type` mounted on `dir`
// in a mount namespace of its own (which goes, with the mount, when the child
// ends). An ext file system is made by mke2fs with `options` in an image file
// and mounted through a loop device; any other is mounted with `options`.
template <class Work>
mounted_run on_file_system_of_its_own(const std::string& type, const std::string& options, const fs::path& dir,
                                      Work&& work)
{
    const fs::path image = dir.string() + ".image";
    const bool device = type.starts_with("ext");
    if (device) {
        std::ofstream(image).close();
        fs::resize_file(image, 4 << 20);
        const std::string make = "mke2fs -q -F -t " + type + " " + options + " " + image.string() + " >/dev/null 2>&1";
        if (std::system(make.c_str()) != 0) return mounted_run::cannot_mount;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        std::string source = "none";
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_PRIVATE | MS_REC, nullptr) != 0 ||
            (device && attach_loop(image, source) < 0) ||
            ::mount(source.c_str(), dir.c_str(), type.c_str(), 0, device ? nullptr : options.c_str()) != 0)
            ::_exit(2);
        ::_exit(work() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (device) fs::remove(image);
    if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) == 1) return mounted_run::failed;
    return WEXITSTATUS(status) == 0 ? mounted_run::done : mounted_run::cannot_mount;
}

// Fills the file system that holds `path` until it takes no byte more: one
// long file, then files of a byte for the last free blocks, which the long
// file could not take with the blocks of its own records.
bool fill(const fs::path& path)
{
    const std::string block(4096, 'f');
    for (int k = 0;; ++k) {
        const int file = ::open((path.string() + std::to_string(k)).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
        if (file < 0) return k > 0;  // no inode left
        const bool took = ::write(file, block.data(), k == 0 ? block.size() : 1) > 0;
        while (k == 0 && ::write(file, block.data(), block.size()) > 0) {}
        if (::close(file) != 0) return false;
        if (!took) return true;
    }
}


}

// A file is either the old one or the whole new one; a failed append leaves
// the old length; each failure says which step failed.
TEST(FileOutput, NoFileIsLeftHalfWritten)
{
    const fs::path dir = fresh_directory("zarn_file_output_");
    const std::string old = "old contents\n", big(100000, 'x'), file = dir / "file", link = dir / "link";
    auto reset = [&] { std::ofstream(file, std::ios::binary) << old; };
    using enum file_write_failure;
    using enum file_write_mode;

    reset();
    fs::permissions(file, fs::perms(0640));
    fs::create_symlink(file, link);
    EXPECT_EQ(write_whole_file(link, "new", replace), none);
    EXPECT_EQ(contents(file), "new");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    EXPECT_EQ(write_whole_file(file, "+", append), none);
    EXPECT_EQ(contents(file), "new+");

    for (const file_write_mode mode : {replace, append}) {
        reset();
        EXPECT_TRUE(under_file_size_limit(1000, [&] { return write_whole_file(file, big, mode) == cannot_write; }));
        EXPECT_EQ(contents(file), old);
    }
    EXPECT_TRUE(
        under_file_size_limit(1000, [&] { return write_whole_file(dir / "new", big, replace) == cannot_write; }));
    EXPECT_FALSE(fs::exists(dir / "new"));
    // A file with a second link is written in place; its old bytes go back.
    fs::create_hard_link(file, dir / "twin");
    reset();
    EXPECT_TRUE(under_file_size_limit(1000, [&] { return write_whole_file(file, big, replace) == cannot_write; }));
    EXPECT_EQ(contents(dir / "twin"), old);
    fs::remove(dir / "twin");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2) << "no new file left beside";

    const std::string missing = dir / "no" / "file";
    EXPECT_EQ(write_whole_file(missing, "x", replace), cannot_create);
    EXPECT_EQ(write_whole_file(dir / "absent", "x", append), cannot_create);
    EXPECT_FALSE(fs::exists(dir / "absent"));
    EXPECT_EQ(write_failure_text(cannot_create, missing), "cannot create " + missing);
    EXPECT_EQ(write_failure_text(cannot_write, "f"), "cannot write f");
    fs::remove_all(dir);
}

// Whether a file may be written is asked of the file itself, before anything
// is written: a read-only file is refused, while a writable file in a
// read-only directory is written. A second link, another owner and the mode
// stay; symbolic links lead to the file they name, and a loop is refused.
TEST(FileOutput, WritesWhatTheUserMayWriteAndKeepsLinksOwnersAndModes)
{
    const fs::path dir = fresh_directory("zarn_file_rights_"), sealed = dir / "sealed";
    const std::string old = "old contents\n";
    const bool root = ::geteuid() == 0;
    auto make = [&](const fs::path& path, int mode, bool given = true) {
        std::ofstream(path, std::ios::binary) << old;
        fs::permissions(path, fs::perms(mode));
        EXPECT_TRUE(!given || give_to_unprivileged_user(path.c_str()));
    };
    fs::permissions(dir, fs::perms::all);
    fs::create_directory(sealed);
    make(dir / "read-only", 0444);
    make(dir / "write-only", 0200);
    make(dir / "write-only-linked", 0200);
    fs::create_hard_link(dir / "write-only-linked", dir / "write-only-twin");
    make(sealed / "writable", 0640);
    EXPECT_TRUE(give_to_unprivileged_user(sealed.c_str()));
    fs::permissions(sealed, fs::perms(0555));
    make(dir / "linked", 0640, false);
    fs::create_hard_link(dir / "linked", dir / "second");
    make(dir / "theirs", 0640);
    fs::create_symlink("made.txt", dir / "dangling");
    fs::create_symlink("loop", dir / "loop");
    using enum file_write_failure;
    using enum file_write_mode;

    const struct { bool unprivileged; fs::path file; file_write_mode mode; file_write_failure failure; fs::path shown;
                   std::string written; } cases[] = {
        {true, dir / "read-only", replace, cannot_create, dir / "read-only", old},
        {true, dir / "read-only", append, cannot_create, dir / "read-only", old},
        // Only root may read it to check.
        {true, dir / "write-only", replace, none, dir / "write-only", root ? "new" : "(none)"},
        {true, dir / "write-only-linked", replace, none, dir / "write-only-twin", root ? "new" : "(none)"},
        {true, sealed / "writable", replace, none, sealed / "writable", "new"},
        {false, dir / "linked", replace, none, dir / "second", "new"},
        {false, dir / "theirs", replace, none, dir / "theirs", "new"},
        {false, dir / "dangling", replace, none, dir / "made.txt", "new"},
        {false, dir / "loop", replace, cannot_create, dir / "loop", "(none)"},
    };
    for (const auto& c : cases) {
        auto write = [&] { return write_whole_file(c.file, "new", c.mode) == c.failure; };
        EXPECT_TRUE(c.unprivileged ? as_unprivileged_user(write) : write()) << c.file;
        EXPECT_EQ(contents(c.shown), c.written) << c.file;
    }
    for (const char* name : {"read-only", "write-only", "write-only-linked", "sealed/writable", "linked", "theirs"}) {
        struct stat file;
        ASSERT_EQ(::stat((dir / name).c_str(), &file), 0);
        const std::string n = name;
        EXPECT_EQ(file.st_mode & 07777, n == "read-only" ? 0444u : n.starts_with("write-only") ? 0200u : 0640u) << n;
        EXPECT_EQ(file.st_nlink, n.ends_with("linked") ? 2u : 1u) << name;
        EXPECT_EQ(file.st_uid, root && n != "linked" ? unprivileged_user : ::geteuid()) << name;
    }
    EXPECT_TRUE(fs::is_symlink(dir / "dangling"));
    EXPECT_TRUE(fs::is_symlink(dir / "loop"));
    fs::permissions(sealed, fs::perms::all);
    fs::remove_all(dir);
}

// A file the user may write but not read, which must be written in place (in a
// read-only directory, with a second link, another owner's), has no old bytes
// to put back: a text past the file-size limit is refused before its first byte,
// while one that just fits is written.
TEST(FileOutput, AWriteOnlyFileInPlaceTakesNoTextPastTheLimit)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to become another user";
    const fs::path dir = fresh_directory("zarn_file_in_place_"), sealed = dir / "sealed";
    const std::string old = "old contents\n";
    fs::create_directory(sealed);
    auto make = [&](const fs::path& path, int mode, bool given) {
        std::ofstream(path, std::ios::binary) << old;
        fs::permissions(path, fs::perms(mode));
        EXPECT_TRUE(!given || give_to_unprivileged_user(path.c_str()));
    };
    make(sealed / "write-only", 0200, true);
    EXPECT_TRUE(give_to_unprivileged_user(sealed.c_str()));
    fs::permissions(sealed, fs::perms(0555));
    make(dir / "linked", 0200, true);
    fs::create_hard_link(dir / "linked", dir / "twin");
    make(dir / "theirs", 0602, false);

    for (const fs::path& file : {sealed / "write-only", dir / "linked", dir / "theirs"}) {
        for (const std::size_t length : {std::size_t(2049), std::size_t(2048)}) {
            const std::string text(length, 'n');
            const auto expected = length > 2048 ? file_write_failure::cannot_write : file_write_failure::none;
            EXPECT_TRUE(as_unprivileged_user([&] {
                return under_file_size_limit(2048, [&] {
                    return write_whole_file(file, text, file_write_mode::replace) == expected;
                });
            })) << file << " " << length;
            EXPECT_EQ(contents(file), length > 2048 ? old : text) << file << " " << length;
        }
    }
    fs::permissions(sealed, fs::perms::all);
    fs::remove_all(dir);
}

// Written in place, a file leaves neither a descriptor open nor a new file
// beside it: one with a second link, and one whose group its writer is not in,
// which a new file cannot take.
TEST(FileOutput, InPlaceWritesLeaveNothingOpenOrBehind)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a file a group its writer is not in";
    const fs::path dir = fresh_directory("zarn_file_left_");
    fs::permissions(dir, fs::perms::all);
    std::ofstream(dir / "linked") << "old";
    fs::create_hard_link(dir / "linked", dir / "twin");
    std::ofstream(dir / "grouped") << "old";
    ASSERT_EQ(::chown((dir / "grouped").c_str(), unprivileged_user, 0), 0);
    auto written = [&](const char* name) {
        const auto descriptors = [] {
            return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
        };
        const auto open_before = descriptors();
        return write_whole_file(dir / name, "new", file_write_mode::replace) == file_write_failure::none &&
               descriptors() == open_before;
    };
    EXPECT_TRUE(written("linked"));
    EXPECT_TRUE(as_unprivileged_user([&] { return written("grouped"); }));
    EXPECT_EQ(contents(dir / "twin"), "new");
    EXPECT_EQ(contents(dir / "grouped"), "new");
    struct stat grouped;
    EXPECT_TRUE(::stat((dir / "grouped").c_str(), &grouped) == 0 && grouped.st_gid == 0);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3) << "no new file left beside";
    fs::remove_all(dir);
}

// A file replaced keeps its extended attributes, its access control list among
// them, so that the user it lets write the file still may; and gains none, not
// even the directory's default access control list.
TEST(FileOutput, ReplacedFileKeepsItsExtendedAttributes)
{
    const fs::path dir = fresh_directory("zarn_file_attributes_"), file = dir / "file", plain = dir / "plain";
    std::ofstream(file, std::ios::binary) << "old";
    std::ofstream(plain, std::ios::binary) << "old";
    fs::permissions(file, fs::perms(0644));
    fs::permissions(plain, fs::perms(0640));
    if (::setxattr(file.c_str(), "user.note", "kept", 4, 0) != 0) GTEST_SKIP() << "no user attributes here";
    // An access control list as the kernel stores it (little-endian): version 2, then the owner, the
    // unprivileged user and the mask rw-, the group and others r--, each as tag, bits and user or group.
    std::string acl = {2, 0, 0, 0};
    const unsigned entries[][3] = {{0x01, 6, ~0u}, {0x02, 6, unprivileged_user}, {0x04, 4, ~0u}, {0x10, 6, ~0u},
                                   {0x20, 4, ~0u}};
    for (const auto& [tag, bits, id] : entries)
        for (const unsigned word : {tag | bits << 16, id})
            for (int k = 0; k < 4; ++k) acl.push_back(char(word >> 8 * k));
    const bool with_acl = ::setxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0 &&
                          ::setxattr(dir.c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0) == 0;
    const fs::perms mode = fs::status(file).permissions();
    using enum file_write_failure;

    EXPECT_EQ(write_whole_file(file, "new", file_write_mode::replace), none);
    EXPECT_EQ(contents(file), "new");
    EXPECT_EQ(attribute(file, "user.note"), "kept");
    EXPECT_EQ(fs::status(file).permissions(), mode);
    if (with_acl) {
        EXPECT_EQ(attribute(file, "system.posix_acl_access"), acl);
        EXPECT_TRUE(
            as_unprivileged_user([&] { return write_whole_file(file, "theirs", file_write_mode::replace) == none; }));
        EXPECT_EQ(contents(file), "theirs");
        EXPECT_EQ(write_whole_file(plain, "new", file_write_mode::replace), none);
        EXPECT_EQ(contents(plain), "new");
        EXPECT_LT(::getxattr(plain.c_str(), "system.posix_acl_access", nullptr, 0), 0);
        EXPECT_EQ(fs::status(plain).permissions(), fs::perms(0640));
    }
    fs::remove_all(dir);
}

// Written in place (here through a second link), a file takes the text only
// where it has room for all of it. A reservation that runs short gives back the
// blocks it took; without reservations, the blocks the file holds count, up to
// a text exactly as long, and so do those kept back for the superuser, for the
// superuser alone; a file system that tells nothing of its
// room is written only where the old bytes are held to go back.
TEST(FileOutput, InPlaceWritesCheckTheRoomOnFileSystemsOfTheirOwn)
{
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount file systems of its own";
    const fs::path dir = fresh_directory("zarn_file_room_");
    const std::string old = "old contents\n";
    using enum file_write_failure;
    auto linked = [&](const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        fs::create_hard_link(dir / name, dir / (name + "-twin"));
    };
    auto written = [&](const std::string& name, const std::string& text, file_write_failure failure) {
        return write_whole_file(dir / name, text, file_write_mode::replace) == failure &&
               contents(dir / (name + "-twin")) == (failure == none ? text : old);
    };
    auto short_reservation = [&] {
        linked("file", old);
        // An extent tree may keep a block of its own; the reservation took megabytes.
        struct stat after;
        return written("file", std::string(8 << 20, 'n'), cannot_write) &&
               ::stat((dir / "file").c_str(), &after) == 0 && after.st_blocks * 512 < 64 << 10;
    };
    auto same_length_when_full = [&](std::size_t length) {
        return [&, length] {
            linked("file", std::string(length, 'o'));
            return fill(dir / "filler") && written("file", std::string(length, 'n'), none);
        };
    };
    auto reserved_blocks = [&] {
        linked("file", old);
        fs::permissions(dir, fs::perms::all);
        return as_unprivileged_user([&] { return fill(dir / "filler"); }) &&
               written("file", std::string(20000, 'n'), none);
    };
    // Other users may not take the reserved blocks: a file they may write but
    // not read, whose old bytes could not go back, is left as it is (a page
    // long, so that a write would change its first page before running short).
    auto reserved_blocks_not_for_users = [&] {
        const std::string page(4096, 'o');
        linked("file", page);
        fs::permissions(dir / "file", fs::perms(0200));
        fs::permissions(dir, fs::perms::all);
        return give_to_unprivileged_user((dir / "file").c_str()) && as_unprivileged_user([&] {
                   return fill(dir / "filler") && write_whole_file(dir / "file", std::string(20000, 'n'),
                                                                   file_write_mode::replace) == cannot_write;
               }) && contents(dir / "file-twin") == page;
    };
    auto unknown_room = [&] {
        for (const char* name : {"unread", "read"}) {
            linked(name, old);
            fs::permissions(dir / name, fs::perms(name == std::string("read") ? 0600 : 0200));
            if (!give_to_unprivileged_user((dir / name).c_str())) return false;
        }
        return as_unprivileged_user([&] {
                   return write_whole_file(dir / "unread", "new", file_write_mode::replace) == cannot_write &&
                          write_whole_file(dir / "read", "new", file_write_mode::replace) == none;
               }) &&
               contents(dir / "unread") == old && contents(dir / "read-twin") == "new";
    };
    const struct {
        const char* type;
        const char* options;
        std::function<bool()> work;
    } rows[] = {
        // tmpfs gives a short reservation back itself, ext4 does not.
        {"tmpfs", "size=1m", short_reservation},
        {"ext4", "", short_reservation},
        // ext2 cannot reserve, and keeps blocks back for the superuser.
        {"ext2", "", same_length_when_full(20000)},
        // Exactly the blocks the file holds (12 of 1 KB, or 3 of 4 KB).
        {"ext2", "", same_length_when_full(12288)},
        {"ext2", "-m 20", reserved_blocks},
        {"ext2", "-m 20", reserved_blocks_not_for_users},
        // ramfs can neither reserve nor tell its room.
        {"ramfs", "", unknown_room},
    };
    std::string skipped;
    for (const auto& row : rows) {
        const mounted_run run = on_file_system_of_its_own(row.type, row.options, dir, row.work);
        if (run == mounted_run::cannot_mount)
            skipped += std::string(" ") + row.type;
        else
            EXPECT_EQ(run, mounted_run::done) << row.type << " " << row.options;
    }
    fs::remove_all(dir);
    if (!skipped.empty()) GTEST_SKIP() << "could not mount (no mount namespace, loop device or mke2fs):" << skipped;
}
